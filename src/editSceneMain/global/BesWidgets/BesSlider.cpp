#include "BesSlider.h"

#include <QDebug>
#include <QMouseEvent>
#include <QStyle>

BesSlider::BesSlider(QWidget *parent)
    : QSlider(parent)
    , enableMouseEvt(true)
{
    setMouseTracking(true);
}

QRect BesSlider::getHandleRect()
{
    initStyleOption(&qStyleOptionStyle);
    return style()->subControlRect(QStyle::CC_Slider, &qStyleOptionStyle, QStyle::SC_SliderHandle, this);
}

void BesSlider::mousePressEvent(QMouseEvent *event)
{
    if (!enableMouseEvt) {
        event->ignore();
        return;
    }
    const QRect rtHandle = getHandleRect();
    QPoint pos = event->pos();
    if (rtHandle.contains(pos)) {
        click_pos_offset = rtHandle.center() - pos;
        pos = rtHandle.center();
    } else {
        setCursor(Qt::PointingHandCursor);
    }
    qDebug() << "BesSlider::mousePressEvent press" << event->pos() << "handle" << rtHandle
             << "offset" << click_pos_offset;
    QMouseEvent moved(event->type(), QPointF(pos), event->windowPos(), event->screenPos(),
                      event->button(), event->buttons(), event->modifiers());
    QSlider::mousePressEvent(&moved);
    qDebug() << "BesSlider::mousePressEvent value" << value();
    emit sig_clickNotOnHandle(value());
}

void BesSlider::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->pos() + click_pos_offset;
    if (enableMouseEvt && getHandleRect().contains(event->pos()))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    qDebug() << "BesSlider::mouseMoveEvent" << event->pos() << "shifted" << pos << "value" << value();
    QMouseEvent moved(event->type(), QPointF(pos), event->windowPos(), event->screenPos(),
                      event->button(), event->buttons(), event->modifiers());
    QSlider::mouseMoveEvent(&moved);
}

void BesSlider::mouseReleaseEvent(QMouseEvent *event)
{
    if (!enableMouseEvt)
        return;
    QSlider::mouseReleaseEvent(event);
    qDebug() << "BesSlider::mouseReleaseEvent" << event->pos() << "value" << value();
    click_pos_offset = QPoint(0, 0);
}
