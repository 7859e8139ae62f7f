#include "CustomHeaderView.h"

CustomHeaderView::CustomHeaderView(Qt::Orientation orientation, QWidget *parent)
    : QHeaderView(orientation, parent)
{
}

void CustomHeaderView::setHeaderViewWidget(QWidget *widget, int logicalIndex)
{
    headerViewWidgetMap.insert(logicalIndex, widget);
    if (widget)
        widget->setParent(this);
}

void CustomHeaderView::setSectionHidden(int logicalIndex, bool hide)
{
    QHeaderView::setSectionHidden(logicalIndex, hide);
    QWidget *pWidget = headerViewWidgetMap.value(logicalIndex, nullptr);
    if (pWidget)
        pWidget->setVisible(!hide);
}

void CustomHeaderView::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    QHeaderView::paintSection(painter, rect, logicalIndex);
    QWidget *pWidget = headerViewWidgetMap.value(logicalIndex, nullptr);
    if (pWidget) {
        pWidget->setGeometry(rect);
        pWidget->show();
    }
}
