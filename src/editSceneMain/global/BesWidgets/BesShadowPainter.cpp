#include "BesShadowPainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <QtMath>

void BesShadowPainter::paint(QWidget *pWidget, int nBorder, int nMarginTop, const QColor &bgColor,
                             QColor bandColor, int nAlphaStart)
{
    const int b = nBorder;
    const int m = nMarginTop;
    const int w = pWidget->width();
    const int h = pWidget->height();

    QPainter painter(pWidget);
    painter.setRenderHint(QPainter::Antialiasing, true);

    QPainterPath body;
    body.setFillRule(Qt::WindingFill);
    body.addRect(b, b + m, w - 2 * b, h - 2 * b - m);
    painter.fillPath(body, QBrush(bgColor));

    // One outline per pixel of the band, fading outward.
    for (int i = 0; i < b; ++i) {
        const int d = b - i;
        QPainterPath outline;
        outline.addRect(d, m + d, w - 2 * d, h - m - 2 * d);
        bandColor.setAlpha(static_cast<int>(nAlphaStart - 20 * qSqrt(i)));
        painter.setPen(bandColor);
        painter.drawPath(outline);
    }
}
