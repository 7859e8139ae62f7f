#include "BesShadowDialog.h"

#include "BesShadowPainter.h"

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
    // Dark body, orange glow band.
    BesShadowPainter::paint(this, border, marginTop, bgColor, QColor(255, 170, 0), 80);
    QDialog::paintEvent(event);
}
