#include "BesButton.h"

BesButton::BesButton(QWidget *parent)
    : QPushButton(parent)
{
}

void BesButton::enterEvent(QEvent *event)
{
    setCursor(Qt::PointingHandCursor);
    QPushButton::enterEvent(event);
}

void BesButton::leaveEvent(QEvent *event)
{
    unsetCursor();
    QPushButton::leaveEvent(event);
}
