// Playback, preview and scene copies.
#include "EditBaseScene.h"

#include "EditBaseItem.h"
#include "EditBaseProxyWidget.h"
#include "EditSingleTextItem.h"
#include "PlayEndThread.h"
#include "QorGlobal.h"

bool CEditBaseScene::allItemsEnded() const
{
    for (QGraphicsItem *pItem : m_listItems) {
        if (pItem->type() == EditItemType_Base && !static_cast<CEditBaseItem *>(pItem)->isEnd())
            return false;
        if (pItem->type() == EditItemType_Proxy && !static_cast<CEditBaseProxyWidget *>(pItem)->isEnd())
            return false;
    }
    return true;
}

void CEditBaseScene::playItem()
{
    if (m_listItems.isEmpty())
        return;
    m_bIsEnd = false;
    for (QGraphicsItem *pItem : m_listItems) {
        if (pItem->type() == EditItemType_Base)
            static_cast<CEditBaseItem *>(pItem)->play();
        else if (pItem->type() == EditItemType_Proxy)
            static_cast<CEditBaseProxyWidget *>(pItem)->play();
    }
    // A watch still running from an earlier play is ended first.
    m_playThread->stopAndWait();
    m_playThread->setPlayScene(this);
    m_playThread->arm();
    m_playThread->start();
}

void CEditBaseScene::previewItem()
{
    for (QGraphicsItem *pItem : m_listItems) {
        if (pItem->type() == EditItemType_Base)
            static_cast<CEditBaseItem *>(pItem)->preview();
        else if (pItem->type() == EditItemType_Proxy)
            static_cast<CEditBaseProxyWidget *>(pItem)->preview();
    }
}

void CEditBaseScene::pauseItem()
{
    for (QGraphicsItem *pItem : m_listItems) {
        if (pItem->type() == EditItemType_Base)
            static_cast<CEditBaseItem *>(pItem)->pause();
        else if (pItem->type() == EditItemType_Proxy)
            static_cast<CEditBaseProxyWidget *>(pItem)->pause();
    }
}

void CEditBaseScene::stopItem()
{
    if (m_listItems.isEmpty())
        return;
    m_bIsEnd = true;
    emit sig_playEndStop();
    for (QGraphicsItem *pItem : m_listItems) {
        if (pItem->type() == EditItemType_Base)
            static_cast<CEditBaseItem *>(pItem)->stop();
        else if (pItem->type() == EditItemType_Proxy)
            static_cast<CEditBaseProxyWidget *>(pItem)->stop();
    }
}

void CEditBaseScene::updateAllItem()
{
    for (CEditSingleTextItem *pLayer : layerItems())
        pLayer->setItemUpdateNow();
}

void CEditBaseScene::checkVideoCount()
{
    int n = 0;
    for (QGraphicsItem *pItem : m_listItems)
        if (pItem->type() == EditItemType_Proxy)
            ++n;
    m_nVideoCount = n;
}

qint64 CEditBaseScene::getSceneDuration() const
{
    qint64 nMax = 0;
    for (QGraphicsItem *pItem : m_listItems) {
        if (pItem->type() == EditItemType_Base)
            nMax = std::max(nMax, static_cast<CEditBaseItem *>(pItem)->getItemDuraTime());
        else if (pItem->type() == EditItemType_Proxy)
            nMax = std::max(nMax, static_cast<CEditBaseProxyWidget *>(pItem)->getItemDuraTime());
    }
    return nMax;
}

// A preview copy for the play window: the source's look and the data of the
// items both scenes hold.
void CEditBaseScene::setSceneData(CEditBaseScene *pScene)
{
    if (!pScene || pScene == this)
        return;
    m_canvasColor = pScene->m_canvasColor;
    m_nId = pScene->m_nId;
    m_strSceneName = pScene->m_strSceneName;
    m_dScaleRate = pScene->m_dScaleRate;
    QRect rt(0, 0, g_rtBackCanvas.width(), g_rtBackCanvas.height());
    createBackCanvas(rt);
    m_nSceneType = Scene_PlayWnd;
    createPreviewItem(pScene);
    g_bHadChange = false;
}

// A play copy: the source's look without its items.
CEditBaseScene &CEditBaseScene::operator=(CEditBaseScene &newScene)
{
    if (&newScene == this)
        return *this;
    m_pView = newScene.m_pView;
    m_canvasColor = newScene.m_canvasColor;
    m_nId = newScene.m_nId;
    m_strSceneName = newScene.m_strSceneName;
    QRect rt(0, 0, g_rtBackCanvas.width(), g_rtBackCanvas.height());
    createBackCanvas(rt);
    m_playThread->setPlayScene(this);
    m_nSceneType = Scene_PlayWnd;
    for (QGraphicsItem *pItem : qAsConst(newScene.m_listItems)) {
        if (pItem->type() == EditItemType_Base)
            createPlayItem(pItem, static_cast<CEditBaseItem *>(pItem)->getItemType());
        else if (pItem->type() == EditItemType_Proxy)
            createPlayItem(pItem, static_cast<CEditBaseProxyWidget *>(pItem)->getItemType());
    }
    g_bHadChange = false;
    return *this;
}

void CEditBaseScene::createPreviewItem(CEditBaseScene *pScene)
{
    if (!pScene)
        return;
    for (QGraphicsItem *pSrc : qAsConst(pScene->m_listItems)) {
        const int nKind = pSrc->type();
        if (nKind != EditItemType_Base && nKind != EditItemType_Proxy)
            continue;
        const int nId = nKind == EditItemType_Base ? static_cast<CEditBaseItem *>(pSrc)->getItemId()
                                                    : static_cast<CEditBaseProxyWidget *>(pSrc)->getItemId();
        QGraphicsItem *pDes = nullptr;
        for (QGraphicsItem *pMine : qAsConst(m_listItems)) {
            if (pMine->type() != nKind)
                continue;
            const int nMine = nKind == EditItemType_Base ? static_cast<CEditBaseItem *>(pMine)->getItemId()
                                                          : static_cast<CEditBaseProxyWidget *>(pMine)->getItemId();
            if (nMine == nId) {
                pDes = pMine;
                break;
            }
        }
        if (!pDes)
            continue; // items are not made here
        if (nKind == EditItemType_Base) {
            updateItemData(pDes, pSrc, static_cast<CEditBaseItem *>(pSrc)->getItemType());
            continue;
        }
        auto *pProxySrc = static_cast<CEditBaseProxyWidget *>(pSrc);
        auto *pProxy = static_cast<CEditBaseProxyWidget *>(pDes);
        updateItemData(pDes, pSrc, pProxySrc->getItemType());
        const int x = int(pProxySrc->pos().x() * g_dWScale);
        const int y = int(pProxySrc->pos().y() * g_dHScale);
        pProxy->setWidth(int(pProxySrc->width() * g_dWScale));
        pProxy->setHeight(int(pProxySrc->height() * g_dHScale));
        pProxy->moveItem(QPointF(x, y));
        pProxy->update();
    }
}

void CEditBaseScene::updateItemData(QGraphicsItem *pDes, QGraphicsItem *pSrc, int nType)
{
    if (!pDes || !pSrc)
        return;
    if (nType == 1 && pDes->type() == EditItemType_Proxy && pSrc->type() == EditItemType_Proxy)
        static_cast<CEditBaseProxyWidget *>(pDes)->updateItemData(static_cast<CEditBaseProxyWidget *>(pSrc));
    else if (pDes->type() == EditItemType_Base && pSrc->type() == EditItemType_Base)
        static_cast<CEditBaseItem *>(pDes)->updateItemData(static_cast<CEditBaseItem *>(pSrc));
}
