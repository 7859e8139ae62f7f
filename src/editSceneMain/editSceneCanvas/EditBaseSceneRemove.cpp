// Item removal and the cross-canvas check of the scene. Every wait here (a
// question, the deletion notice) runs a nested event loop in which device
// replies may change or delete this scene: each goes through CGuardedWait, and
// nothing of the scene is touched after a wait it did not outlive.
#include "EditBaseScene.h"

#include <QByteArray>
#include <QDateTime>
#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtDebug>

#include "EditBaseProxyWidget.h"
#include "EditSingleTextItem.h"
#include "GuardedWait.h"
#include "QorGlobal.h"
#include "TarnSceneStore.h"
#include "globalObserver.h"

namespace {
globalObserver *hub()
{
    return globalObserver::getGlobalObserver();
}

QString timeStamp()
{
    return QStringLiteral("[%1]: ").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

int editableId(QGraphicsItem *pItem)
{
    if (pItem->type() == EditItemType_Base)
        return static_cast<CEditBaseItem *>(pItem)->getItemId();
    if (pItem->type() == EditItemType_Proxy)
        return static_cast<CEditBaseProxyWidget *>(pItem)->getItemId();
    return -1;
}
}

void CEditBaseScene::sendSceneCmd(const QString &strName, const QByteArray &payload, int nRw, int nSub)
{
    QString strSerial = m_strSerial;
    QString strCmd = strName;
    QByteArray data = payload;
    hub()->notify(QStringLiteral("slot_setDeviceCmd"), Q_ARG(QString, strSerial), Q_ARG(QString, strCmd),
                  Q_ARG(QByteArray &, data), Q_ARG(int, nRw), Q_ARG(int, nSub));
}

// A short notice that stays on top while the device removes the layer; false
// when the scene went while it was up.
bool CEditBaseScene::showDeleteNotice()
{
    QMessageBox box;
    box.setWindowTitle(QString());
    box.setText(tr("图层删除中请稍等"));
    box.setStyleSheet(QStringLiteral("QLabel{min-width:180px;min-height:40px; font-size:16px;color:black;}"));
    box.setStandardButtons(QMessageBox::Ok);
    if (QAbstractButton *pOk = box.button(QMessageBox::Ok))
        pOk->hide();
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    QTimer::singleShot(DELETE_NOTICE_MS, &box, &QMessageBox::accept);
    CGuardedWait wait{this};
    wait.exec(box);
    return wait.alive();
}

void CEditBaseScene::deleteItemById(int nId)
{
    bool bTaken = false;
    int nScene = int(m_nId);
    hub()->notify(QStringLiteral("slot_isTakeScene"), Q_ARG(int, nScene), Q_ARG(bool &, bTaken));
    if (!bTaken) {
        // The scene is not on the device's output: offer the recall; nothing
        // is deleted either way.
        CGuardedWait wait{this};
        wait.recallScene(m_strSerial, nScene, tr("场景未调用"), tr("该场景未调用，是否立即调用？"), tr("确定"), tr("取消"));
        return;
    }

    QGraphicsItem *pFound = nullptr;
    for (QGraphicsItem *pItem : qAsConst(m_listItems)) {
        if (editableId(pItem) == nId) {
            pFound = pItem;
            break;
        }
    }
    if (!pFound)
        return;
    const QRectF rect = pFound->sceneBoundingRect();
    QString strName;
    if (pFound->type() == EditItemType_Base)
        strName = static_cast<CEditBaseItem *>(pFound)->displayName();
    else
        strName = static_cast<CEditBaseProxyWidget *>(pFound)->displayName();
    qInfo().noquote() << timeStamp()
                             + QStringLiteral("Delete the canvas item successful %1:%2 (%3, %4, %5 x %6)")
                                   .arg(m_strSceneName, strName, QString::number(rect.x()),
                                        QString::number(rect.y()), QString::number(rect.width()),
                                        QString::number(rect.height()));

    if (pFound->type() == EditItemType_Proxy) {
        removeAndDeleteItem(pFound);
        return;
    }
    auto *pItem = static_cast<CEditBaseItem *>(pFound);
    if (pItem->getItemType() == MediaType_Pixmap) {
        // The OSD item: the device switches its OSD off. The item goes with
        // it, so that the next OSD creation makes a fresh one.
        CTarnSceneStore::setOsdOn(m_strSerial, false);
        QByteArray payload;
        payload.append(char(0));
        payload.append(char(CTarnSceneStore::osdIndex(m_strSerial) & 0xFF));
        sendSceneCmd(QStringLiteral("OSD参数设置"), payload, 2, 2);
        removeAndDeleteItem(pItem);
        return;
    }
    removeAndDeleteItem(pItem);
    --m_nLayerUse;
    sendSceneCmd(QStringLiteral("图层设置"), QByteArray(1, char(nId & 0xFF)), 2, 40);
    if (!showDeleteNotice())
        return;
    hub()->notify(QStringLiteral("slot_updateCurrentData"));
    g_setGlobalChange();
}

void CEditBaseScene::destroyAllItem(bool bOsdOff)
{
    stopItem();
    const QList<QGraphicsItem *> items = m_listItems;
    for (QGraphicsItem *pItem : items) {
        const int nId = editableId(pItem);
        if (nId >= 0) {
            CEditBaseScene *pThis = this;
            hub()->notify(QStringLiteral("slot_deletePreviewItem"), Q_ARG(CEditBaseScene *, pThis), Q_ARG(int, nId));
            g_setGlobalChange();
        }
        if (pItem == m_pItem && bOsdOff)
            CTarnSceneStore::setOsdOn(m_strSerial, false);
        removeAndDeleteItem(pItem);
    }
}

void CEditBaseScene::deleteSelectsItem()
{
    const QList<QGraphicsItem *> items = m_listItems;
    for (QGraphicsItem *pItem : items) {
        if (!pItem->isSelected())
            continue;
        // The id is read before the item goes.
        const int nId = editableId(pItem);
        if (nId < 0)
            continue;
        removeAndDeleteItem(pItem);
        CEditBaseScene *pThis = this;
        hub()->notify(QStringLiteral("slot_deletePreviewItem"), Q_ARG(CEditBaseScene *, pThis), Q_ARG(int, nId));
        g_setGlobalChange();
    }
}

bool CEditBaseScene::ifCanChangeLayer(CEditBaseItem *pItemChange)
{
    if (m_nCanvasCount != 1 || !pItemChange)
        return false;
    auto *pLayer = qobject_cast<CEditSingleTextItem *>(pItemChange);
    if (!pLayer)
        return false;
    int nOthers = 0;
    for (CEditSingleTextItem *pOther : layerItems())
        if (pOther->getItemId() != pLayer->getItemId() && !pOther->isCrossCanvas())
            ++nOthers;
    if (nOthers == 0) {
        pLayer->setLayerPosAndSize();
        return false;
    }
    pLayer->setSelected(false);
    CGuardedWait wait{this};
    QPointer<CEditSingleTextItem> pGuard(pLayer);
    const bool bYes = wait.confirm(tr("图层数量复位"), tr("该图层跨画布后，其他非跨画布图层将消失，是否继续？"),
                                   tr("确定"), tr("取消"));
    if (!wait.alive())
        return false;
    if (bYes && pGuard)
        pGuard->setLayerPosAndSize();
    // The device decides what is left; read the scene back whatever the answer.
    sendSceneCmd(QStringLiteral("场景操作"), QByteArray(1, char(m_nId & 0xFF)), 1, 0);
    return false;
}
