#include "BesScaleUtil.h"

#include <QGuiApplication>
#include <QScreen>

QRect BesScaleUtil::getPrimaryScreenRect()
{
    QScreen *pScreen = QGuiApplication::primaryScreen();
    return pScreen ? pScreen->availableGeometry() : QRect();
}

double BesScaleUtil::scaleForHeight(int h)
{
    if (h < 800)
        return h / 800.0;
    if (h <= 1080)
        return 1.0;
    return h / 1080.0;
}

double BesScaleUtil::scale()
{
    const QRect rt = getPrimaryScreenRect();
    if (rt.isEmpty())
        return 1.0; // no screen at all: keep the base sizes
    return scaleForHeight(rt.height());
}

int BesScaleUtil::scaled(int nBase)
{
    return static_cast<int>(scale() * nBase);
}
