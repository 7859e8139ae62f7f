#include "BesShadowWidget.h"

#include "BesShadowPainter.h"

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
    // Dark body, soft dark shadow band.
    BesShadowPainter::paint(this, border, marginTop, bgColor, QColor(22, 22, 22), 60);
    QWidget::paintEvent(event);
}
