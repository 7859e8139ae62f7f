#include "LayoutCardWidget.h"
#include "ui_LayoutCardWidget.h"

#include "CardFileWidget.h"
#include "FlowLayout.h"
#include "globalObserver.h"

CLayoutCardWidget::CLayoutCardWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CLayoutCardWidget)
{
    ui->setupUi(this);
}

CLayoutCardWidget::~CLayoutCardWidget()
{
    delete ui;
}

void CLayoutCardWidget::initValue()
{
    if (!m_pFlowLayout)
        m_pFlowLayout = new FlowLayout(ui->scrollAreaWidgetContents, 10, 10, 20);
}

void CLayoutCardWidget::deleteAllItem()
{
    if (m_pFlowLayout)
        m_pFlowLayout->deleteAllItem();
}

void CLayoutCardWidget::deleteItemById(int nIndex)
{
    if (m_pFlowLayout)
        m_pFlowLayout->deleteItemById(nIndex);
}

int CLayoutCardWidget::cardCount() const
{
    return m_pFlowLayout ? m_pFlowLayout->count() : 0;
}

CCardFileWidget *CLayoutCardWidget::addCardItem()
{
    if (!m_pFlowLayout)
        m_pFlowLayout = new FlowLayout(ui->scrollAreaWidgetContents, 1, 10, 10);
    CCardFileWidget *pCard = new CCardFileWidget();
    m_pFlowLayout->addWidget(pCard);
    m_pFlowLayout->update();

    connect(pCard, &CCardFileWidget::sig_startCardDrag, this, [this](CCardFileWidget *pThis) {
        int nIndex = m_pFlowLayout ? m_pFlowLayout->indexOf(pThis) : -1;
        globalObserver::getGlobalObserver()->notify("slot_selectItem", Q_ARG(int, nIndex));
    });
    connect(pCard, &CCardFileWidget::sig_deleteCard, this, [this](CCardFileWidget *pThis) {
        int nIndex = m_pFlowLayout ? m_pFlowLayout->indexOf(pThis) : -1;
        globalObserver::getGlobalObserver()->notify("slot_deleteItemById", Q_ARG(int, nIndex));
    });
    return pCard;
}

void CLayoutCardWidget::updateLayout()
{
    if (m_pFlowLayout)
        m_pFlowLayout->update();
}

bool CLayoutCardWidget::checkItemExist(const QString &strFile) const
{
    if (!m_pFlowLayout)
        return false;
    for (int i = 0; i < m_pFlowLayout->count(); ++i) {
        QLayoutItem *pItem = m_pFlowLayout->itemAt(i);
        auto *pCard = pItem ? qobject_cast<CCardFileWidget *>(pItem->widget()) : nullptr;
        if (pCard && pCard->getCardFile() == strFile)
            return true;
    }
    return false;
}
