#include "BesFramelessWidget.h"

#include "BesScaleUtil.h"

BesFramelessWidget::BesFramelessWidget(QWidget *parent)
    : BesShadowWidget(parent)
    , BesFramelessFrame(this, CrossCornersKeepMinimum)
{
    SetFrameBorder(8);
    setMinimumSize(BesScaleUtil::scaled(1224), BesScaleUtil::scaled(800));
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                   | Qt::MaximizeUsingFullscreenGeometryHint);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
}

void BesFramelessWidget::SetFrameBorder(int nBorder)
{
    BesFramelessFrame::border = nBorder;
    SetShadowBorder(nBorder);
}

void BesFramelessWidget::mousePressEvent(QMouseEvent *event)
{
    if (!framePress(event))
        BesShadowWidget::mousePressEvent(event);
}

void BesFramelessWidget::mouseReleaseEvent(QMouseEvent *event)
{
    frameRelease(event);
}

void BesFramelessWidget::mouseMoveEvent(QMouseEvent *event)
{
    frameMove(event);
    BesShadowWidget::mouseMoveEvent(event);
}
