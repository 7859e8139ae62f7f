// Tool commands of the editing canvas: delete, clean, drag, zoom, align,
// level, stretch, the sliding tool strip and the canvas tool column.

#include "EditSceneCanvas.h"
#include "ui_EditSceneCanvas.h"

#include "EditBaseItem.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSingleTextItem.h"
#include "FrameStyles.h"
#include "GuardedWait.h"
#include "QorGlobal.h"
#include "TarnSceneStore.h"
#include "ToolBar.h"
#include "globalObserver.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QPointer>
#include <QPropertyAnimation>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtDebug>

namespace {
globalObserver *hub()
{
    return globalObserver::getGlobalObserver();
}

QString timeStamp()
{
    return QStringLiteral("[%1]: ").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

}

void CEditSceneCanvas::slot_selectToolBar(int nType)
{
    switch (nType) {
    case ToolBar_Delete: toolBarDelete(); break;
    case ToolBar_Clean: toolBarClean(); break;
    case ToolBar_Drag: toolBarDrag(); break;
    case ToolBar_Center: toolBarCenter(); break;
    case ToolBar_ZoomIn: toolBarZoomIn(); break;
    case ToolBar_ZoomOut: toolBarZoomOut(); break;
    case ToolBar_LeftAlign: toolBarLeftAlign(); break;
    case ToolBar_RightAlign: toolBarRightAlign(); break;
    case ToolBar_HorCenter: toolBarHorCenter(); break;
    case ToolBar_TopAlign: toolBarTopAlign(); break;
    case ToolBar_BottomAlign: toolBarBottomAlign(); break;
    case ToolBar_VerCenter: toolBarVerCenter(); break;
    case ToolBar_UpItem: toolBarUpItem(); break;
    case ToolBar_DownItem: toolBarDownItem(); break;
    case ToolBar_AutoExpand: toolBarAuto(); break;
    case ToolBar_VerticalExpand: toolBarVertical(); break;
    case ToolBar_HorizontalExpand: toolBarHorizontal(); break;
    default: break;
    }
}

void CEditSceneCanvas::slot_toolBarCenter()
{
    toolBarCenter();
}

// A scene the device is not showing is never changed by a tool command (delete, clean, align,
// level, stretch): the operator is offered the recall instead, and nothing else happens either
// way. The selection may outlive the scene's turn as the live one (a card recalled another).
bool CEditSceneCanvas::offerRecallUnlessLive(CEditBaseScene *pScene)
{
    bool bTake = false;
    slot_isTakeScene(int(pScene->getSceneID()), bTake);
    if (bTake)
        return false;
    CGuardedWait wait{this, pScene};
    wait.recallScene(m_strSerial, int(pScene->getSceneID()), tr("场景未调用"), tr("该场景未调用，是否立即调用？"),
                     tr("确定"), tr("取消"));
    return true;
}

void CEditSceneCanvas::toolBarDelete()
{
    if (!m_pBaseView || !m_pCurrentScene)
        return;
    CEditBaseScene *pScene = m_pCurrentScene;
    qInfo().noquote() << timeStamp() + QStringLiteral("set DeleteID mode %1").arg(pScene->m_nLayerUse);
    if (offerRecallUnlessLive(pScene))
        return;
    // Ids first: each delete waits on a notice, during which replies may
    // change the scene or take it away.
    QList<int> listIds;
    for (QGraphicsItem *pItem : pScene->selectedItems())
        if (pItem->type() == EditItemType_Base)
            listIds.append(static_cast<CEditBaseItem *>(pItem)->getItemId());
    // The last layer goes with a clean of the whole scene, but only when the canvas and the
    // device's count agree that it is the last: a stale count must not clear other layers.
    const QList<CEditSingleTextItem *> listLayers = pScene->layerItems();
    if (listLayers.size() == 1 && pScene->m_nLayerUse == 1 && listIds.contains(listLayers.first()->getItemId())) {
        toolBarClean();
        return;
    }
    CGuardedWait wait{pScene};
    for (int nId : qAsConst(listIds))
        if (!wait.run([&] { pScene->deleteItemById(nId); }))
            break;
}

void CEditSceneCanvas::toolBarClean()
{
    if (!m_pBaseView || !m_pCurrentScene)
        return;
    if (offerRecallUnlessLive(m_pCurrentScene))
        return;
    m_pCurrentScene->destroyAllItem();
    m_pCurrentScene->m_nLayerUse = 0;
    hub()->notify(QStringLiteral("slot_destroyAllItem"));
    QByteArray osdOff;
    osdOff.append(char(0));
    osdOff.append(char(CTarnSceneStore::osdIndex(m_strSerial) & 0xFF));
    sendCmd(QStringLiteral("OSD参数设置"), 2, 2, osdOff);
    // The device's OSD goes off with it, also one the scene shown had no item of (an OSD the
    // device said was on).
    CTarnSceneStore::setOsdOn(m_strSerial, false);
    sendCmd(QStringLiteral("图层设置"), 2, 41, QByteArray());
    hub()->notify(QStringLiteral("slot_propertyDataChange"), Q_ARG(QGraphicsItem *, nullptr));
    slot_showToolBar(false);
}

void CEditSceneCanvas::toolBarDrag()
{
    if (!m_pBaseView || !m_pCurrentScene)
        return;
    if (m_pBaseView->dragMode() != QGraphicsView::ScrollHandDrag)
        m_pBaseView->setDragMode(QGraphicsView::ScrollHandDrag);
    else
        m_pBaseView->setDragMode(QGraphicsView::RubberBandDrag);
}

void CEditSceneCanvas::toolBarCenter()
{
    if (!m_pBaseView || !m_pCurrentScene)
        return;
    const QTransform t = m_pBaseView->transform();
    m_pBaseView->setTransform(QTransform(1, t.m12(), t.m21(), 1, t.dx(), t.dy()));
}

void CEditSceneCanvas::toolBarZoomIn()
{
    if (m_pBaseView && m_pCurrentScene)
        m_pBaseView->zoomIn(true);
}

void CEditSceneCanvas::toolBarZoomOut()
{
    if (m_pBaseView && m_pCurrentScene)
        m_pBaseView->zoomOut(true);
}

void CEditSceneCanvas::alignCommand(int nAlign)
{
    if (!m_pBaseView || !m_pCurrentScene || m_pCurrentScene->selectedItems().isEmpty())
        return;
    if (offerRecallUnlessLive(m_pCurrentScene))
        return;
    m_pCurrentScene->align(AlignType(nAlign));
}

void CEditSceneCanvas::toolBarLeftAlign() { alignCommand(LEFT_ALIGN); }
void CEditSceneCanvas::toolBarRightAlign() { alignCommand(RIGHT_ALIGN); }
void CEditSceneCanvas::toolBarHorCenter() { alignCommand(VERT_ALIGN); }
void CEditSceneCanvas::toolBarTopAlign() { alignCommand(TOP_ALIGN); }
void CEditSceneCanvas::toolBarBottomAlign() { alignCommand(BOTTOM_ALIGN); }
void CEditSceneCanvas::toolBarVerCenter() { alignCommand(HORZ_ALIGN); }

void CEditSceneCanvas::toolBarUpItem() { levelCommand(ToolBar_UpItem); }
void CEditSceneCanvas::toolBarDownItem() { levelCommand(ToolBar_DownItem); }
void CEditSceneCanvas::toolBarTopItem() { levelCommand(LevelTop); }
void CEditSceneCanvas::toolBarBottomItem() { levelCommand(LevelBottom); }

// Layer i stands at level i + 1; level 1 is the bottom.
void CEditSceneCanvas::levelCommand(int nCommand)
{
    if (!m_pBaseView || !m_pCurrentScene)
        return;
    const QList<QGraphicsItem *> listSelected = m_pCurrentScene->selectedItems();
    if (listSelected.isEmpty() || offerRecallUnlessLive(m_pCurrentScene))
        return;
    m_pBaseView->setModified(true);
    CEditSingleTextItem *pLayer = CEditSingleTextItem::fromItem(listSelected.first());
    if (!pLayer)
        return;
    const int i = pLayer->getItemId();
    const int n = m_pCurrentScene->m_listItems.size();
    int nLevel = -1;
    switch (nCommand) {
    case ToolBar_UpItem:
        if (i + 2 <= n)
            nLevel = i + 2;
        break;
    case ToolBar_DownItem:
        if (i > 0)
            nLevel = i;
        break;
    case LevelTop:
        if (i + 1 != n)
            nLevel = n;
        break;
    case LevelBottom:
        if (i + 1 != 1)
            nLevel = 1;
        break;
    default:
        break;
    }
    if (nLevel > 0)
        pLayer->setLayerLevel(nLevel);
}

void CEditSceneCanvas::toolBarAuto() { stretchCommand(ToolBar_AutoExpand); }
void CEditSceneCanvas::toolBarVertical() { stretchCommand(ToolBar_VerticalExpand); }
void CEditSceneCanvas::toolBarHorizontal() { stretchCommand(ToolBar_HorizontalExpand); }

void CEditSceneCanvas::stretchCommand(int nCommand)
{
    if (!m_pBaseView || !m_pCurrentScene || m_pCurrentScene->selectedItems().isEmpty())
        return;
    if (offerRecallUnlessLive(m_pCurrentScene))
        return;
    const QRect rtCanvas = m_pCurrentScene->getBackCanvasRect();
    const qreal dBW = rtCanvas.width();
    const qreal dBH = rtCanvas.height();
    if (nCommand == ToolBar_VerticalExpand)
        qInfo().noquote() << timeStamp() + QStringLiteral("set Vertical mode %1").arg(dBH);
    // Items as guarded pointers: the cross-canvas question waits in a nested
    // loop in which replies may delete layers or the scene.
    QList<QPointer<CEditBaseItem>> listItems;
    for (QGraphicsItem *pItem : m_pCurrentScene->selectedItems())
        if (pItem->type() == EditItemType_Base)
            listItems.append(static_cast<CEditBaseItem *>(pItem));
    CEditBaseScene *pScene = m_pCurrentScene;
    CGuardedWait wait{pScene};
    for (const QPointer<CEditBaseItem> &pItem : qAsConst(listItems)) {
        if (!pItem)
            continue;
        CEditSingleTextItem *pLayer = CEditSingleTextItem::fromItem(pItem.data());
        const bool bCross = pLayer && pLayer->isCrossCanvas();
        const QPointF pos = pItem->pos();
        switch (nCommand) {
        case ToolBar_AutoExpand:
            pItem->setWidth(dBW);
            pItem->setHeight(dBH);
            pItem->moveItem(QPointF(dBW / 2, dBH / 2));
            break;
        case ToolBar_VerticalExpand:
            pItem->setHeight(dBH);
            pItem->moveItem(QPointF(int(pos.x()), dBH / 2));
            break;
        default:
            pItem->setWidth(dBW);
            pItem->moveItem(QPointF(dBW / 2, int(pos.y())));
            break;
        }
        pItem->dataChange();
        // Only layers have a layer command; the OSD item is placed on the
        // canvas alone.
        if (!pLayer)
            continue;
        if (pScene->m_nCanvasCount == 1 && !bCross) {
            if (!wait.run([&] { pScene->ifCanChangeLayer(pLayer); }))
                return; // the scene went while its question was open
        } else {
            pLayer->setLayerPosAndSize();
        }
    }
    hub()->notify(QStringLiteral("slot_updateItemPos"), Q_ARG(bool, true));
}

// ------------------------------------------------------------- tool strip

void CEditSceneCanvas::slot_showToolBar(bool bShow)
{
    if (!m_pToolWidget)
        return;
    const QRect rtView = ui->canvasWidget->geometry();
    const QRect rtStrip = m_pToolWidget->rect();
    const int nStartX = rtView.width() + rtStrip.width();
    const int nEndX = rtView.width() - rtStrip.width();
    const int nY = (rtView.height() - rtStrip.height()) / 2;
    if (bShow) {
        if (m_bShowToolBar)
            return;
        qInfo().noquote() << timeStamp() + QStringLiteral("set DeleteID m_nItemType %1").arg(m_nItemType);
        auto *pAnimation = new QPropertyAnimation(m_pToolWidget, "pos", m_pToolWidget);
        pAnimation->setDuration(100);
        pAnimation->setStartValue(QPoint(nStartX, nY));
        pAnimation->setEndValue(QPoint(nEndX, nY));
        pAnimation->setEasingCurve(QEasingCurve::Linear);
        pAnimation->start(QAbstractAnimation::DeleteWhenStopped);
        m_bShowToolBar = true;
        return;
    }
    if (m_pCurrentScene)
        for (QGraphicsItem *pItem : m_pCurrentScene->selectedItems())
            pItem->setSelected(false);
    if (m_bShowToolBar) {
        auto *pAnimation = new QPropertyAnimation(m_pToolWidget, "pos", m_pToolWidget);
        pAnimation->setDuration(100);
        pAnimation->setStartValue(QPoint(nEndX, nY));
        pAnimation->setEndValue(QPoint(nStartX, nY));
        pAnimation->setEasingCurve(QEasingCurve::Linear);
        pAnimation->start(QAbstractAnimation::DeleteWhenStopped);
        m_bShowToolBar = false;
    }
}

void CEditSceneCanvas::createToolStrip()
{
    m_pToolWidget = new CToolBar(this);
}

void CEditSceneCanvas::createCanvasTool()
{
    m_pCanvasWidget = new QWidget(this);
    m_pCanvasWidget->setObjectName(QStringLiteral("canvasToolColumn"));
    m_pCanvasWidget->setFixedSize(32, 120);
    m_pCanvasWidget->setWindowFlags(m_pCanvasWidget->windowFlags() | Qt::FramelessWindowHint);
    m_pCanvasWidget->setAttribute(Qt::WA_TranslucentBackground);
    m_pCanvasWidget->setStyleSheet(QString::fromLatin1(FrameStyles::kFloatingTools));
    auto *pLayout = new QVBoxLayout(m_pCanvasWidget);
    pLayout->addStretch();
    pLayout->addWidget(pBtnClean);
    pLayout->addWidget(pBtnCenter);
    pLayout->addWidget(pBtnZoomIn);
    pLayout->addWidget(pBtnZoomOut);
    pLayout->addStretch();
    pLayout->setContentsMargins(5, 0, 5, 0);
    pBtnClean->setIcon(QIcon(QStringLiteral(":/res/res/toolBar/clean.ico")));
    pBtnDrag->setIcon(QIcon(QStringLiteral(":/res/res/toolBar/drag.ico")));
    pBtnCenter->setIcon(QIcon(QStringLiteral(":/res/res/toolBar/center.ico")));
    pBtnZoomIn->setIcon(QIcon(QStringLiteral(":/res/res/toolBar/zoomIn.ico")));
    pBtnZoomOut->setIcon(QIcon(QStringLiteral(":/res/res/toolBar/zoomOut.ico")));
    setToolTips();
    connect(pBtnClean, &QToolButton::clicked, this, [this]() { slot_selectToolBar(ToolBar_Clean); });
    connect(pBtnDrag, &QToolButton::clicked, this, [this]() { slot_selectToolBar(ToolBar_Drag); });
    connect(pBtnCenter, &QToolButton::clicked, this, [this]() { slot_selectToolBar(ToolBar_Center); });
    connect(pBtnZoomIn, &QToolButton::clicked, this, [this]() { slot_selectToolBar(ToolBar_ZoomIn); });
    connect(pBtnZoomOut, &QToolButton::clicked, this, [this]() { slot_selectToolBar(ToolBar_ZoomOut); });
}
