#include "BesShadowDialog.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

BesShadowDialog::BesShadowDialog(QWidget *parent)
    : QDialog(parent)
    , bgColor(35, 35, 38)
    , marginTop(0)
    , border(4)
{
    setWindowOpacity(0.95);
}

void BesShadowDialog::SetShadowBorder(int nBorder)
{
    border = nBorder;
}

void BesShadowDialog::SetMarginTop(int nMarginTop)
{
    marginTop = nMarginTop;
}

void BesShadowDialog::SetBackgroundColor(QColor color)
{
    bgColor = color;
}

void BesShadowDialog::paintEvent(QPaintEvent *event)
{
    const int b = border;
    const int m = marginTop;
    const int w = width();
    const int h = height();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);

    QPainterPath body;
    body.setFillRule(Qt::WindingFill);
    body.addRect(b, b + m, w - 2 * b, h - 2 * b - m);
    painter.fillPath(body, QBrush(bgColor));

    // The glow: one outline per pixel of the band, fading outward.
    QColor glow(255, 170, 0);
    for (int i = 0; i < b; ++i) {
        const int d = b - i;
        QPainterPath outline;
        outline.addRect(d, m + d, w - 2 * d, h - m - 2 * d);
        glow.setAlpha(static_cast<int>(80 - 20 * qSqrt(i)));
        painter.setPen(glow);
        painter.drawPath(outline);
    }
    painter.end();

    QDialog::paintEvent(event);
}
