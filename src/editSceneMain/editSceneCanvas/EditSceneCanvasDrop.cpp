// Drops of input sources, the layer limit, input-source conflicts, OSD items
// and the item menu of the editing canvas.

#include "EditSceneCanvas.h"

#include "BesMessageBox.h"
#include "EditBaseItem.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSingleTextItem.h"
#include "QorGlobal.h"
#include "globalObserver.h"

#include <QDateTime>
#include <QMenu>
#include <QPointer>
#include <QtDebug>

namespace {
globalObserver *hub()
{
    return globalObserver::getGlobalObserver();
}

}

// Asks to recall a scene that is not live; true when the operator agreed (the
// recall is then sent and announced).
bool CEditSceneCanvas::askRecall(CEditBaseScene *pScene)
{
    const int nId = int(pScene->getSceneID());
    QPointer<CEditSceneCanvas> self(this);
    const int nAnswer = BesMessageBox::question(tr("场景未调用"), tr("该场景未调用，是否立即调用？"), tr("确定"), tr("取消"));
    if (!self || nAnswer != QMessageBox::Ok)
        return false;
    sendCmd(QStringLiteral("场景操作"), 2, 20, QByteArray(1, char(nId & 0xFF)));
    hub()->notify(QStringLiteral("slot_setTakeScene"), Q_ARG(int, nId));
    hub()->notify(QStringLiteral("slot_updateLayoutTakeStatus"), Q_ARG(int, nId));
    return true;
}

void CEditSceneCanvas::slot_addCanvasItem(QPointF &ptPos, const QString &strFile, const QString &strText, int nType,
                                          int nSourceId, bool bPos)
{
    if (!m_pCurrentScene)
        return;
    QPointer<CEditBaseScene> pScene(m_pCurrentScene);
    const QSize size{int(g_nWidth), int(g_nHeight)};
    bool bTake = false;
    slot_isTakeScene(int(pScene->getSceneID()), bTake);
    if (!bTake) {
        // The recall alone; the decision stays no, so the drop adds nothing
        // on a model whose sources are not checked.
        QPointer<CEditSceneCanvas> self(this);
        const bool bRecalled = askRecall(pScene);
        if (!self || !pScene || pScene != m_pCurrentScene || !bRecalled)
            return;
    }
    if (g_OSDState) {
        BesMessageBox::information(tr("添加失败"), tr("请关闭OSD设置后再添加图层"));
        return;
    }
    QPointer<CEditSceneCanvas> self(this);
    if (isMaxLayer())
        return;
    if (!self || !pScene || pScene != m_pCurrentScene)
        return;
    if (m_strModel.contains(QStringLiteral("Tarn-3"))) {
        qInfo().noquote() << QStringLiteral("[%1]: ").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                 + QStringLiteral("Tarn-3 sources are not checked for conflicts");
    } else {
        slot_changeItemInSrc(-1, nSourceId, bTake);
        if (!self || !pScene || pScene != m_pCurrentScene)
            return;
    }
    if (!bTake)
        return;
    pScene->addCanvasItem(ptPos, strFile, strText, size, nType, nSourceId, bPos);
    if (!self)
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
        BesMessageBox::information(tr("添加失败"), tr("已经到达最大图层上限数量！"));
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
        BesMessageBox::information(tr("输入源冲突"), tr("4K输入源已被占满，无法调用该输入源"));
        bRet = false;
        return;
    }
    QPointer<CEditBaseScene> pScene(m_pCurrentScene);
    QPointer<CEditSceneCanvas> self(this);
    const int nAnswer = BesMessageBox::question(tr("输入源冲突"),
                                                tr("该输入源和图层L%1有冲突，是否强制调用？").arg(vectorOutId.first() + 1),
                                                tr("确定"), tr("取消"));
    if (!self)
        return;
    if (nAnswer != QMessageBox::Ok) {
        bRet = false;
        return;
    }
    // The layers are looked up again: the box let replies change the scene.
    if (pScene) {
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
    QPointer<CEditSceneCanvas> self(this);
    QAction *pChosen = menu.exec(m_pBaseView->mapToGlobal(pos));
    if (!self || !pChosen)
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
