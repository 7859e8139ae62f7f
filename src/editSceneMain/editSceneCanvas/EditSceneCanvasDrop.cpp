// Drops of input sources, the layer limit, input-source conflicts, OSD items
// and the item menu of the editing canvas.

#include "EditSceneCanvas.h"

#include "EditBaseItem.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSingleTextItem.h"
#include "GuardedWait.h"
#include "QorGlobal.h"
#include "TarnSceneStore.h"
#include "globalObserver.h"

#include <QDateTime>
#include <QMenu>
#include <QtDebug>

namespace {
globalObserver *hub()
{
    return globalObserver::getGlobalObserver();
}

}

void CEditSceneCanvas::slot_addCanvasItem(QPointF &ptPos, const QString &strFile, const QString &strText, int nType,
                                          int nSourceId, bool bPos)
{
    if (!m_pCurrentScene)
        return;
    // Each box below lets replies in: the drop goes on only while the canvas
    // and the scene it was made on are there and that scene is still current.
    CEditBaseScene *pScene = m_pCurrentScene;
    CGuardedWait wait{this, pScene};
    const auto stillHere = [&]() { return wait.alive() && pScene == m_pCurrentScene; };
    const QSize size{int(g_nWidth), int(g_nHeight)};
    bool bTake = false;
    slot_isTakeScene(int(pScene->getSceneID()), bTake);
    if (!bTake) {
        // The recall alone; the decision stays no, so the drop adds nothing
        // on a model whose sources are not checked.
        const bool bRecalled = wait.recallScene(m_strSerial, int(pScene->getSceneID()), tr("场景未调用"),
                                                tr("该场景未调用，是否立即调用？"), tr("确定"), tr("取消"));
        if (!bRecalled || !stillHere())
            return;
    }
    if (CTarnSceneStore::osdOn(m_strSerial)) {
        wait.information(tr("添加失败"), tr("请关闭OSD设置后再添加图层"));
        return;
    }
    if (isMaxLayer())
        return;
    if (!stillHere())
        return;
    if (m_strModel.contains(QStringLiteral("Tarn-3"))) {
        qInfo().noquote() << QStringLiteral("[%1]: ").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                 + QStringLiteral("Tarn-3 sources are not checked for conflicts");
    } else {
        slot_changeItemInSrc(-1, nSourceId, bTake);
        if (!stillHere())
            return;
    }
    if (!bTake)
        return;
    pScene->addCanvasItem(ptPos, strFile, strText, size, nType, nSourceId, bPos);
    if (!wait.alive())
        return;
    if (!g_bIsPlay)
        setPlayBtnStatus(true);
    g_setGlobalChange();
}

bool CEditSceneCanvas::isMaxLayer()
{
    if (!m_pCurrentScene)
        return true;
    const QList<QGraphicsItem *> &listItems = m_pCurrentScene->m_listItems;
    bool bMax = false;
    if (m_pCurrentScene->m_nCanvasCount == 1) {
        // A layer across the middle of a two-output canvas takes two layers.
        int nCross = 0;
        for (QGraphicsItem *pItem : listItems) {
            CEditSingleTextItem *pLayer = CEditSingleTextItem::fromItem(pItem);
            if (pLayer && pLayer->isCrossCanvas())
                ++nCross;
        }
        bMax = nCross > 2 || listItems.size() + nCross >= m_pCurrentScene->m_nLayerCount;
    } else {
        bMax = listItems.size() >= m_pCurrentScene->m_nLayerCount;
    }
    if (bMax)
        CGuardedWait{this}.information(tr("添加失败"), tr("已经到达最大图层上限数量！"));
    return bMax;
}

void CEditSceneCanvas::getLayerInSrcConflict(int nInId, int nInSrc, QVector<int> &vectorOutId, bool &bReturn)
{
    bReturn = false;
    if (!m_pCurrentScene)
        return;
    struct Visible
    {
        int nId;
        int nSig;
    };
    QVector<Visible> list4K;
    QVector<Visible> list2K;
    for (QGraphicsItem *pItem : m_pCurrentScene->m_listItems) {
        CEditSingleTextItem *pLayer = CEditSingleTextItem::fromItem(pItem);
        if (!pLayer || pLayer->m_nLayerState == 0)
            continue;
        const int nSig = pLayer->m_nMainSig;
        if (nSig >= 0 && nSig <= 2)
            list4K.append({pLayer->getItemId(), nSig});
        else if (nSig >= 5 && nSig <= 8)
            list2K.append({pLayer->getItemId(), nSig});
    }
    // More than two layers on the 4K sources: nothing more may change.
    if (list4K.size() > 2) {
        bReturn = true;
        return;
    }
    if (nInSrc >= 0 && nInSrc <= 2) {
        for (const Visible &v : list4K) {
            if (v.nId == nInId)
                continue;
            const bool bSame = nInSrc == 0 ? v.nSig == 0 : (v.nSig == 1 || v.nSig == 2);
            if (bSame) {
                vectorOutId.append(v.nId);
                bReturn = true;
                return;
            }
        }
        return;
    }
    int nPartner = -1;
    switch (nInSrc) {
    case 5: nPartner = 6; break;
    case 6: nPartner = 5; break;
    case 7: nPartner = 8; break;
    case 8: nPartner = 7; break;
    default: return;
    }
    for (int i = list2K.size() - 1; i >= 0; --i)
        if (list2K.at(i).nSig == nPartner && list2K.at(i).nId != nInId)
            vectorOutId.append(list2K.at(i).nId);
    bReturn = !vectorOutId.isEmpty();
}

void CEditSceneCanvas::slot_changeItemInSrc(int nInId, int nInSrc, bool &bRet)
{
    if (!m_pCurrentScene)
        return;
    CEditBaseScene *pScene = m_pCurrentScene;
    QVector<int> vectorOutId;
    bool bConflict = false;
    getLayerInSrcConflict(nInId, nInSrc, vectorOutId, bConflict);
    if (!bConflict) {
        bRet = true;
        return;
    }
    if (vectorOutId.isEmpty()) {
        // No single layer is in the way (the 4K sources are all taken), so
        // there is nothing to switch away: the change is refused.
        bRet = false;
        CGuardedWait{this}.information(tr("输入源冲突"), tr("4K输入源已被占满，无法调用该输入源"));
        return;
    }
    // bRet is the caller's: it stays writable whatever goes during the box.
    bRet = false;
    CGuardedWait wait{this, pScene};
    const bool bYes = wait.confirm(tr("输入源冲突"),
                                   tr("该输入源和图层L%1有冲突，是否强制调用？").arg(vectorOutId.first() + 1),
                                   tr("确定"), tr("取消"));
    // A scene that went takes the conflict with it: nothing is switched, and the
    // change waiting for the answer is refused.
    if (!bYes)
        return;
    // The layers are looked up again: the box let replies change the scene.
    for (int nId : qAsConst(vectorOutId)) {
        for (QGraphicsItem *pItem : pScene->m_listItems) {
            CEditSingleTextItem *pLayer = CEditSingleTextItem::fromItem(pItem);
            if (pLayer && pLayer->getItemId() == nId) {
                pLayer->setLayerSig(3);
                pLayer->setItemUpdateNow();
                break;
            }
        }
    }
    bRet = true;
}

void CEditSceneCanvas::slot_addCanvasOSDItem(QPointF &ptPos, const QString &strText, int nselect)
{
    if (!m_pCurrentScene)
        return;
    const QSize size{int(2 * g_nWidth), int(g_nHeight / 5)};
    const int nId = m_pCurrentScene->createOSDItem(strText, size, ptPos);
    if (nselect != 0) {
        if (nId >= 1)
            hub()->notify(QStringLiteral("slot_itemPress"), Q_ARG(int, nId));
    } else {
        hub()->notify(QStringLiteral("slot_itemPress"), Q_ARG(int, -1));
    }
}

void CEditSceneCanvas::checkSceneVideoCount()
{
    if (m_listScene.isEmpty())
        return;
    int nCount = 0;
    for (CEditBaseScene *pScene : qAsConst(m_listScene))
        for (QGraphicsItem *pItem : pScene->m_listItems)
            if (pItem->type() == EditItemType_Proxy)
                ++nCount;
    g_nVideoItem = nCount;
}

void CEditSceneCanvas::slot_showItemMenu(QPoint pos)
{
    setMenu(pos);
}

void CEditSceneCanvas::setMenu(QPoint pos)
{
    QMenu menu;
    menu.setStyleSheet(QStringLiteral(
        "QMenu {background-color: rgb(57, 65, 69);color: rgb(255,255,255); font: 14pt;border: 1px solid rgb(172, 172, "
        "172);border-radius: 3px; }QMenu::item {background-color: transparent;border-bottom: 1px solid rgb(172, 172, "
        "172);padding:5px 10px;margin:0px 0px; }QMenu::item:selected {background-color: rgb(26, 171, 169); }"));
    QAction *pDelete = menu.addAction(tr("删除图层"));
    QAction *pUp = menu.addAction(tr("上移一层"));
    QAction *pDown = menu.addAction(tr("下移一层"));
    QAction *pTop = menu.addAction(tr("置顶图层"));
    QAction *pBottom = menu.addAction(tr("置底图层"));
    QAction *pAuto = menu.addAction(tr("全屏图层"));
    // The entries act on the scene the menu was opened on: none when it went or
    // is no longer the current one once the menu closes.
    CEditBaseScene *pScene = m_pCurrentScene;
    CGuardedWait wait{this, pScene};
    QAction *pChosen = wait.exec(menu, m_pBaseView->mapToGlobal(pos));
    if (!pChosen || pScene != m_pCurrentScene)
        return;
    if (pChosen == pDelete)
        toolBarDelete();
    else if (pChosen == pUp)
        toolBarUpItem();
    else if (pChosen == pDown)
        toolBarDownItem();
    else if (pChosen == pTop)
        toolBarTopItem();
    else if (pChosen == pBottom)
        toolBarBottomItem();
    else if (pChosen == pAuto)
        toolBarAuto();
}
