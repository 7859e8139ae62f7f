// Playback, preview and scene copies.
#include "EditBaseScene.h"

#include "EditBaseItem.h"
#include "EditBaseProxyWidget.h"
#include "EditSingleTextItem.h"
#include "PlayEndThread.h"

bool CEditBaseScene::allItemsEnded() const
{
    QMutexLocker lock(&m_itemsMutex);
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
    m_playThread->setPlayScene(this);
    m_playThread->wait();
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
    m_playThread->wait();
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

void CEditBaseScene::setSceneData(CEditBaseScene *pScene)
{
    if (!pScene || pScene == this)
        return;
    m_rtCanvas = pScene->m_rtCanvas;
    m_canvasColor = pScene->m_canvasColor;
    m_nId = pScene->m_nId;
    m_strSceneName = pScene->m_strSceneName;
    createBackCanvas(m_rtCanvas);
    m_nSceneType = Scene_PlayWnd;
}

CEditBaseScene &CEditBaseScene::operator=(CEditBaseScene &newScene)
{
    setSceneData(&newScene);
    m_dScaleRate = newScene.m_dScaleRate;
    return *this;
}

void CEditBaseScene::createPreviewItem(CEditBaseScene *pScene)
{
    Q_UNUSED(pScene)
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
