#include "BesFramelessDialog.h"

BesFramelessDialog::BesFramelessDialog(QWidget *parent)
    : BesShadowDialog(parent)
    , BesFramelessFrame(this, CrossCornersFree)
{
    SetFrameBorder(8);
    setMinimumSize(80, 100);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                   | Qt::MaximizeUsingFullscreenGeometryHint);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
}

void BesFramelessDialog::SetFrameBorder(int nBorder)
{
    BesFramelessFrame::border = nBorder;
    SetShadowBorder(nBorder);
}

void BesFramelessDialog::mousePressEvent(QMouseEvent *event)
{
    if (!framePress(event))
        BesShadowDialog::mousePressEvent(event);
}

void BesFramelessDialog::mouseReleaseEvent(QMouseEvent *event)
{
    frameRelease(event);
}

void BesFramelessDialog::mouseMoveEvent(QMouseEvent *event)
{
    frameMove(event);
    BesShadowDialog::mouseMoveEvent(event);
}
