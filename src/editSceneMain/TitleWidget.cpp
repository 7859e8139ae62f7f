#include "TitleWidget.h"

#include <QMouseEvent>

CTitleWidget::CTitleWidget(QWidget *parent)
    : QWidget(parent)
{
}

// Only the left button counts; the event is not handed on, so the window
// behind the title row never sees the double click.
void CTitleWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}
