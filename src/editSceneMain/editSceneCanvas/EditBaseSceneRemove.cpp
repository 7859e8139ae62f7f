// Item removal and the cross-canvas check of the scene.
#include "EditBaseScene.h"

#include <QByteArray>

#include "EditBaseProxyWidget.h"
#include "EditSingleTextItem.h"
#include "QorGlobal.h"
#include "globalObserver.h"

void CEditBaseScene::deleteItemById(int nId)
{
    bool bTaken = false;
    int nScene = int(m_nId);
    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->notify("slot_isTakeScene", Q_ARG(int, nScene), Q_ARG(bool &, bTaken));
    if (!bTaken)
        return;
    CEditBaseItem *pItem = itemById(nId);
    if (!pItem || pItem->getItemType() == MediaType_Pixmap)
        return;
    removeAndDeleteItem(pItem);
    --m_nLayerUse;
    QByteArray payload(1, char(nId));
    QString strSerial = m_strSerial;
    QString strCmd = QString::fromUtf8("图层设置");
    int nWrite = 2, nSub = 40;
    pHub->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial), Q_ARG(QString, strCmd), Q_ARG(QByteArray &, payload),
                 Q_ARG(int, nWrite), Q_ARG(int, nSub));
}

void CEditBaseScene::destroyAllItem()
{
    stopItem();
    const QList<QGraphicsItem *> items = m_listItems;
    for (QGraphicsItem *pItem : items)
        removeAndDeleteItem(pItem);
}

void CEditBaseScene::deleteSelectsItem()
{
    const QList<QGraphicsItem *> items = m_listItems;
    for (QGraphicsItem *pItem : items)
        if (pItem->isSelected() && (pItem->type() == EditItemType_Base || pItem->type() == EditItemType_Proxy))
            removeAndDeleteItem(pItem);
}

bool CEditBaseScene::ifCanChangeLayer(CEditBaseItem *pItemChange)
{
    if (m_nCanvasCount != 1 || !pItemChange)
        return false;
    if (CEditSingleTextItem *pLayer = dynamic_cast<CEditSingleTextItem *>(pItemChange))
        pLayer->setLayerPosAndSize();
    return false;
}
