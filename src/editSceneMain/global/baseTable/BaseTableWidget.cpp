#include "BaseTableWidget.h"

#include <QDebug>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QResizeEvent>
#include <QScrollBar>

CBaseTableWidget::CBaseTableWidget(QWidget *parent)
    : QTableWidget(parent)
    , m_bDrag(false)
    , verScrollBarSuspensionFlag(false)
    , horScrollBarSuspensionFlag(false)
{
    initTableProperty();
}

CBaseTableWidget::CBaseTableWidget(int rows, int columns, QWidget *parent)
    : QTableWidget(rows, columns, parent)
    , m_bDrag(false)
    , verScrollBarSuspensionFlag(false)
    , horScrollBarSuspensionFlag(false)
{
    initTableProperty();
}

void CBaseTableWidget::initTableProperty()
{
    m_bDrag = false;
    setFocusPolicy(Qt::NoFocus);
    setDragEnabled(true);
    setShowGrid(false);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setVisible(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
}

void CBaseTableWidget::setItemText(int row, int column, QString text, int alignment)
{
    if (cellWidget(row, column))
        removeCellWidget(row, column);
    QTableWidgetItem *pItem = item(row, column);
    if (pItem) {
        pItem->setText(text);
        pItem->setTextAlignment(alignment);
    } else {
        pItem = new QTableWidgetItem(text);
        pItem->setTextAlignment(alignment);
        setItem(row, column, pItem);
    }
}

QString CBaseTableWidget::getItemText(int row, int column)
{
    QTableWidgetItem *pItem = item(row, column);
    return pItem ? pItem->text() : QString();
}

void CBaseTableWidget::setItemIcon(int row, int column, QIcon &icon)
{
    if (cellWidget(row, column))
        removeCellWidget(row, column);
    QTableWidgetItem *pItem = item(row, column);
    if (pItem)
        pItem->setIcon(icon);
    else
        setItem(row, column, new QTableWidgetItem(icon, QString()));
}

void CBaseTableWidget::setItemWidget(int row, int column, QWidget *widget, bool isCenteredLayout)
{
    if (isCenteredLayout) {
        if (widget)
            widget->setObjectName("cellWidget");
        QWidget *pContainer = new QWidget(this);
        QHBoxLayout *pLayout = new QHBoxLayout(pContainer);
        pLayout->setContentsMargins(0, 0, 0, 0);
        if (widget)
            pLayout->addWidget(widget);
        setCellWidget(row, column, pContainer);
    } else {
        setCellWidget(row, column, widget);
    }
}

QWidget *CBaseTableWidget::getItemWidget(int row, int column, bool isCenteredLayout)
{
    QWidget *pWidget = cellWidget(row, column);
    if (!pWidget)
        return nullptr;
    if (isCenteredLayout)
        return pWidget->findChild<QWidget *>("cellWidget", Qt::FindDirectChildrenOnly);
    return pWidget;
}

void CBaseTableWidget::setItemData(int row, int column, QVariant variant, int role)
{
    QTableWidgetItem *pItem = item(row, column);
    if (pItem) {
        pItem->setData(role, variant);
    } else {
        pItem = new QTableWidgetItem();
        pItem->setData(role, variant);
        setItem(row, column, pItem);
    }
}

QVariant CBaseTableWidget::getItemData(int row, int column, int role)
{
    QTableWidgetItem *pItem = item(row, column);
    return pItem ? pItem->data(role) : QVariant();
}

void CBaseTableWidget::setColumnAutoNumber(int column, int firstNumber)
{
    for (int r = 0; r < rowCount(); ++r)
        setItemText(r, column, QString::number(r + firstNumber), Qt::AlignHCenter | Qt::AlignVCenter);
}

void CBaseTableWidget::setColWidthRowHeight(int columnWidth, int rowHeight)
{
    verticalHeader()->setDefaultSectionSize(rowHeight);
    horizontalHeader()->setDefaultSectionSize(columnWidth);
}

void CBaseTableWidget::setVerScrollBarSuspension(int verScrollBarActualWidth,
                                                 int verScrollBarVisibleWidth,
                                                 bool verScrollBarAsNeeded)
{
    Q_UNUSED(verScrollBarActualWidth);
    Q_UNUSED(verScrollBarVisibleWidth);
    verScrollBarSuspensionFlag = true;
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar *pBar = verticalScrollBar();
    pBar->setFixedWidth(15);
    pBar->setParent(this); // lies over the contents instead of beside them
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    pBar->setValue(pBar->maximum());
    disconnect(pBar, &QScrollBar::rangeChanged, this,
               &CBaseTableWidget::verticalScrollBarRangeChangedSlot);
    if (verScrollBarAsNeeded) {
        pBar->hide();
        connect(pBar, &QScrollBar::rangeChanged, this,
                &CBaseTableWidget::verticalScrollBarRangeChangedSlot);
    } else {
        pBar->show();
    }
}

void CBaseTableWidget::setHorScrollBarSuspension(int HorScrollBarActualWidth,
                                                 int HorScrollBarVisibleWidth,
                                                 bool HorScrollBarAsNeeded)
{
    Q_UNUSED(HorScrollBarActualWidth);
    Q_UNUSED(HorScrollBarVisibleWidth);
    horScrollBarSuspensionFlag = true;
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar *pBar = horizontalScrollBar();
    pBar->setFixedHeight(20);
    pBar->setParent(this);
    disconnect(pBar, &QScrollBar::rangeChanged, this,
               &CBaseTableWidget::horizontalScrollBarRangeChangedSlot);
    if (HorScrollBarAsNeeded) {
        pBar->hide();
        connect(pBar, &QScrollBar::rangeChanged, this,
                &CBaseTableWidget::horizontalScrollBarRangeChangedSlot);
    } else {
        pBar->show();
    }
}

void CBaseTableWidget::verticalScrollBarRangeChangedSlot(int min, int max)
{
    verticalScrollBar()->setVisible(min != max && max >= 1);
}

void CBaseTableWidget::horizontalScrollBarRangeChangedSlot(int min, int max)
{
    horizontalScrollBar()->setVisible(min != max && max >= 1);
}

void CBaseTableWidget::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    if (verScrollBarSuspensionFlag) {
        QScrollBar *pBar = verticalScrollBar();
        pBar->setFixedHeight(height());
        pBar->move(width() - pBar->width(), 0);
    }
    if (horScrollBarSuspensionFlag) {
        QScrollBar *pBar = horizontalScrollBar();
        pBar->setFixedWidth(width());
        pBar->move(0, height() - pBar->height());
    }
}

void CBaseTableWidget::dropEvent(QDropEvent *event)
{
    qDebug() << "dropEvent";
    int nRowSrc = currentRow();
    // Without a current row there is nothing to move: inserting a row here
    // would only add an empty one.
    if (nRowSrc < 0 || nRowSrc >= rowCount())
        return;

    int nRowDst = rowCount();
    QTableWidgetItem *pTarget = itemAt(event->pos());
    if (pTarget) {
        nRowDst = pTarget->row();
        if (nRowSrc > nRowDst)
            nRowSrc = nRowSrc + 1;
        if (nRowSrc < nRowDst)
            nRowDst = nRowDst + 1;
    }
    insertRow(nRowDst);
    for (int c = 0; c < columnCount(); ++c)
        setItem(nRowDst, c, takeItem(nRowSrc, c));
    removeRow(nRowSrc);
}
