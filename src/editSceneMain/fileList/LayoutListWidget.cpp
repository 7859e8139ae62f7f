#include "LayoutListWidget.h"
#include "ui_LayoutListWidget.h"

#include <QHeaderView>
#include <QScrollBar>

#include "BaseTableWidget.h"
#include "CustomHeaderView.h"
#include "DeviceItem.h"
#include "SongsTableDelegate.h"

CLayoutListWidget::CLayoutListWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::LayoutListWidget)
{
    ui->setupUi(this);
}

CLayoutListWidget::~CLayoutListWidget()
{
    delete ui;
}

void CLayoutListWidget::initValue()
{
    CBaseTableWidget *pTable = ui->tableWidgetFile;
    pTable->setColumnCount(1);
    pTable->setStyleSheet(
        "QTableWidget{border-radius:8px;border:1px solid #353535;font-size:9pt;color:white;"
        "background-color:#232323;outline:none;}"
        "QTableWidget::item{border-bottom:1px solid #232323;}"
        "QTableWidget::item:!alternate{background-color:#232323;}"
        "QTableWidget::item:alternate{background-color:#353535;}"
        "QTableWidget::item:selected{background-color:#353535;color:white;}");

    deviceTableDelegate = new SongsTableDelegate(this);
    pTable->setItemDelegate(deviceTableDelegate);

    deviceTableHeaderView = new CustomHeaderView(Qt::Horizontal, this);
    pTable->setHorizontalHeader(deviceTableHeaderView);
    deviceTableHeaderView->setSortIndicator(currentSortColumn, currentSortOrder);
    deviceTableHeaderView->setSectionsClickable(true);
    deviceTableHeaderView->setHighlightSections(false);
    deviceTableHeaderView->setSectionResizeMode(QHeaderView::Fixed);
    deviceTableHeaderView->setMinimumSectionSize(20);
    deviceTableHeaderView->setStyleSheet(
        "QHeaderView{background-color:#232323;border:none;}"
        "QHeaderView::section{background-color:#232323;color:#AFAFAF;border:none;}");
    deviceTableHeaderView->hide();

    pTable->setColumnWidth(0, 260);
    deviceTableHeaderView->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    deviceTableHeaderView->setStretchLastSection(true);
    pTable->verticalHeader()->setDefaultSectionSize(65);

    pTable->setVerScrollBarSuspension(9, 9, true);
    // The scroll bar lies over the rows' right edge: the list is as wide as a row shows its
    // input whole beside it.
    CDeviceItem row;
    row.ensurePolished();
    pTable->setMinimumWidth(row.minimumSizeHint().width() + pTable->verticalScrollBar()->width()
                            + 2 * pTable->frameWidth());
    pTable->setHorScrollBarSuspension(56, 9, true);
}

CBaseTableWidget *CLayoutListWidget::table() const
{
    return ui->tableWidgetFile;
}

int CLayoutListWidget::rowCount() const
{
    return ui->tableWidgetFile->rowCount();
}

CDeviceItem *CLayoutListWidget::itemAt(int nRow) const
{
    if (nRow < 0 || nRow >= ui->tableWidgetFile->rowCount())
        return nullptr;
    return qobject_cast<CDeviceItem *>(ui->tableWidgetFile->cellWidget(nRow, 0));
}

void CLayoutListWidget::setDeviceFamily(const QString &strFamily)
{
    m_strFamily = strFamily;
    for (int nRow = 0; nRow < rowCount(); ++nRow)
        if (CDeviceItem *pItem = itemAt(nRow))
            pItem->setDeviceFamily(strFamily);
}

void CLayoutListWidget::fillItem(CDeviceItem *pItem, const QString &strSerial, InputSource *pInput)
{
    pItem->setDeviceSerial(strSerial);
    pItem->setDeviceInput(pInput);
    pItem->setDeviceType(pInput->strType);
    if (!m_strFamily.isEmpty())
        pItem->setDeviceFamily(m_strFamily);
    pItem->setMenuName();
}

void CLayoutListWidget::addListItem(const QString &strSerial, InputSource *pInput)
{
    if (!pInput)
        return;
    CBaseTableWidget *pTable = ui->tableWidgetFile;
    for (int nRow = 0; nRow < pTable->rowCount(); ++nRow) {
        CDeviceItem *pItem = itemAt(nRow);
        if (pItem && pItem->getInputSrcIndex() == pInput->nId) {
            fillItem(pItem, strSerial, pInput);
            return;
        }
    }
    const int nRow = pTable->rowCount();
    pTable->insertRow(nRow);
    CDeviceItem *pItem = new CDeviceItem();
    fillItem(pItem, strSerial, pInput);
    pTable->setItemWidget(nRow, 0, pItem, false);
}

void CLayoutListWidget::deleteExtraItem(int nCount)
{
    CBaseTableWidget *pTable = ui->tableWidgetFile;
    if (pTable->rowCount() < 1 || pTable->rowCount() <= nCount)
        return;
    while (pTable->rowCount() > qMax(nCount, 0))
        pTable->removeRow(pTable->rowCount() - 1);
}

void CLayoutListWidget::deleteItemsNotIn(const QSet<int> &ids)
{
    CBaseTableWidget *pTable = ui->tableWidgetFile;
    for (int nRow = pTable->rowCount() - 1; nRow >= 0; --nRow) {
        CDeviceItem *pItem = itemAt(nRow);
        if (!pItem || !ids.contains(pItem->getInputSrcIndex()))
            pTable->removeRow(nRow);
    }
}

void CLayoutListWidget::deleteAllItem()
{
    CBaseTableWidget *pTable = ui->tableWidgetFile;
    const int nCount = pTable->rowCount();
    for (int i = 0; i < nCount; ++i)
        pTable->removeRow(0);
}

void CLayoutListWidget::deleteItemById(int nIndex)
{
    CBaseTableWidget *pTable = ui->tableWidgetFile;
    if (nIndex < 0 || nIndex >= pTable->rowCount())
        return;
    pTable->removeRow(nIndex);
}
