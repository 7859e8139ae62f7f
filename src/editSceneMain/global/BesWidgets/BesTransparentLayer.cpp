#include "BesTransparentLayer.h"

#include <QMouseEvent>

BesTransparentLayer::BesTransparentLayer(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
}

void BesTransparentLayer::mousePressEvent(QMouseEvent *event)
{
    emit sig_layerPressed();
    event->accept(); // the press goes no further
}
