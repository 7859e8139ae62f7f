#include "DeviceTree.h"

CDeviceTree::CDeviceTree(QWidget *parent)
    : QTreeWidget(parent)
{
}

void CDeviceTree::rowsInserted(const QModelIndex &parent, int nStart, int nEnd)
{
    Q_UNUSED(parent);
    Q_UNUSED(nStart);
    Q_UNUSED(nEnd);
    // The full layout also rebuilds the rows' branch state and places the row
    // widgets, which is all the immediate handling did.
    scheduleDelayedItemsLayout();
}

void CDeviceTree::updateEditorGeometries()
{
    if (!isVisible()) {
        m_bEditorsPending = true;
        return;
    }
    m_bEditorsPending = false;
    QTreeWidget::updateEditorGeometries();
}

void CDeviceTree::showEvent(QShowEvent *event)
{
    QTreeWidget::showEvent(event);
    if (m_bEditorsPending)
        updateEditorGeometries();
}
