#include "BesShadowWidget.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

BesShadowWidget::BesShadowWidget(QWidget *parent)
    : QWidget(parent)
    , bgColor(35, 35, 38)
    , marginTop(0)
    , border(8)
{
    setWindowOpacity(0.95);
}

void BesShadowWidget::SetShadowBorder(int nBorder)
{
    border = nBorder;
}

void BesShadowWidget::SetMarginTop(int nMarginTop)
{
    marginTop = nMarginTop;
}

void BesShadowWidget::SetBackgroundColor(QColor color)
{
    bgColor = color;
}

void BesShadowWidget::paintEvent(QPaintEvent *event)
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

    QColor shadow(22, 22, 22);
    for (int i = 0; i < b; ++i) {
        const int d = b - i;
        QPainterPath outline;
        outline.addRect(d, m + d, w - 2 * d, h - m - 2 * d);
        shadow.setAlpha(static_cast<int>(60 - 20 * qSqrt(i)));
        painter.setPen(shadow);
        painter.drawPath(outline);
    }
    painter.end();

    QWidget::paintEvent(event);
}
