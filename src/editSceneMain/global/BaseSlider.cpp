#include "BaseSlider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <climits>

CBaseSlider::CBaseSlider(QWidget *parent)
    : QSlider(parent)
{
}

void CBaseSlider::mouseReleaseEvent(QMouseEvent *event)
{
    // A slider without width has no release point to map.
    if (width() <= 0) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    const double per = event->pos().x() * 1.0 / width();
    const double dValue = minimum() + (double(maximum()) - minimum()) * per;
    // Far outside the widget the value could leave the int range.
    const int value = static_cast<int>(qBound(double(INT_MIN), dValue, double(INT_MAX)));
    setValue(value);
    emit rSliderValueManulChange(value);
    QSlider::mouseReleaseEvent(event);
}

void CBaseSlider::wheelEvent(QWheelEvent *event)
{
    // Swallowed: neither the slider nor its parents scroll.
    event->accept();
}

void CBaseSlider::keyPressEvent(QKeyEvent *event)
{
    // The operator moved it: the value it now shows is theirs, as after a release.
    const int nBefore = value();
    QSlider::keyPressEvent(event);
    if (value() != nBefore)
        emit rSliderValueManulChange(value());
}
