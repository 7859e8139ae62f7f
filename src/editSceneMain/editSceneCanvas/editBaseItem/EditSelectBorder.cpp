#include "EditSelectBorder.h"

#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>

#include <cmath>

#include "EditBaseItem.h"
#include "EditBaseItemGroup.h"
#include "EditBaseProxyWidget.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSingleTextItem.h"
#include "GuardedWait.h"
#include "QorGlobal.h"
#include "SceneBackCanvas.h"
#include "globalObserver.h"

namespace {

globalObserver *hub()
{
    return globalObserver::getGlobalObserver();
}

void notifyBool(const char *pszTopic, bool bValue)
{
    hub()->notify(pszTopic, Q_ARG(bool, bValue));
}

bool isLayer(const CEditBaseItem *pItem)
{
    return pItem && pItem->getItemType() == MediaType_SingleText;
}

} // namespace

CEditSelectBorder::CEditSelectBorder()
    : CEditBaseItemBorder(selection)
{
}

CEditSelectBorder::~CEditSelectBorder()
{
    m_mapSelectItem.clear();
}

double CEditSelectBorder::stretchFactor(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b) || std::fabs(b) < 1e-9)
        return 1.0;
    const double f = a / b;
    return std::isfinite(f) ? f : 1.0;
}

void CEditSelectBorder::setCurShape(CEditBaseScene *pScene, int nHandle)
{
    switch (nHandle) {
    case 0:
        setCursor(pScene, Qt::ArrowCursor);
        m_hoverSizer = false;
        return;
    case 1:
    case 5:
        setCursor(pScene, Qt::SizeFDiagCursor);
        break;
    case 2:
    case 6:
        setCursor(pScene, Qt::SizeVerCursor);
        break;
    case 3:
    case 7:
        setCursor(pScene, Qt::SizeBDiagCursor);
        break;
    case 4:
    case 8:
        setCursor(pScene, Qt::SizeHorCursor);
        break;
    default:
        break; // a control point keeps the cursor it has
    }
    m_hoverSizer = true;
}

// ---------------------------------------------------------------- press

bool CEditSelectBorder::askRecall(CEditBaseScene *pScene)
{
    int nScene = int(pScene->getSceneID());
    bool bTaken = false;
    hub()->notify("slot_isTakeScene", Q_ARG(int, nScene), Q_ARG(bool &, bTaken));
    if (bTaken)
        return true;
    // The press ends here whatever the answer; the scene may be gone once the box closes.
    CGuardedWait wait{pScene};
    // The English texts are the ones the translations give the same question everywhere else.
    if (g_strLanguage == QLatin1String("English"))
        wait.recallScene(pScene->m_strSerial, nScene, QStringLiteral("Scene not recalled"),
                         QStringLiteral("This scene is not recalled. Recall it now?"), QStringLiteral("OK"),
                         QStringLiteral("Cancel"), true, false);
    else
        wait.recallScene(pScene->m_strSerial, nScene, QString::fromUtf8("场景未调用"),
                         QString::fromUtf8("该场景未调用，是否立即调用？"), QString::fromUtf8("确定"),
                         QString::fromUtf8("取消"), true, false);
    return false;
}

void CEditSelectBorder::mousePressEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene)
{
    CEditBaseItemBorder::mousePressEvent(event, pScene);
    if (!pScene)
        return;
    // A scene the device is not showing is recalled first, or left alone; either way this
    // press changes nothing.
    if (!askRecall(pScene))
        return;
    if (event->button() != Qt::LeftButton)
        return;
    // While the cursor rests on a handle the selection stays as it is.
    if (!m_hoverSizer)
        pScene->mouseEvent(event);
    g_nDragHandle = 0;
    g_selectMode = none;
    m_isMagneticMoveX = false;
    m_isMagneticMoveY = false;
    m_bHaveOpposite = false;
    m_mapSelectItem.clear();
    m_listPressedLayers.clear();
    m_pProxyWidgetSelected = nullptr;

    const QPointF pos = event->scenePos();
    if (pScene->selectedItems().isEmpty()) {
        const QList<QGraphicsItem *> under = pScene->items(pos, Qt::IntersectsItemShape, Qt::DescendingOrder);
        for (QGraphicsItem *pItem : under) {
            if (pItem->type() != EditItemType_Proxy)
                continue;
            CEditBaseProxyWidget *pProxy = static_cast<CEditBaseProxyWidget *>(pItem);
            m_pProxyWidgetSelected = pProxy;
            mousePressProxyWidget(pProxy, pos, pScene);
            m_mapSelectItem.insert(pProxy->getItemId(), pProxy->zValue());
            break;
        }
    }
    mousePressBaseItem(pos, pScene);
    mousePressBaseItemGroup(pos, pScene);

    int nPressed = -1;
    if (!m_mapSelectItem.isEmpty()) {
        double dTop = 0;
        bool bFirst = true;
        for (auto it = m_mapSelectItem.constBegin(); it != m_mapSelectItem.constEnd(); ++it) {
            if (bFirst || it.value() > dTop) {
                dTop = it.value();
                nPressed = it.key();
                bFirst = false;
            }
        }
    } else if (pScene->getBackCanvasRect().contains(pos.toPoint())) {
        QGraphicsItem *pCanvas = pScene->m_pBackCanvas;
        hub()->notify("slot_propertyDataChange", Q_ARG(QGraphicsItem *, pCanvas));
        nPressed = -2;
    }
    hub()->notify("slot_itemPress", Q_ARG(int, nPressed));
}

template <typename T>
void CEditSelectBorder::grabItem(T *pItem, const QPointF &pos, CEditBaseScene *pScene)
{
    m_ptInitialPositions = pItem->pos();
    g_nDragHandle = pItem->collidesWithHandle(pos);
    if (g_nDragHandle >= 1 && g_nDragHandle <= 8) {
        g_selectMode = size;
        // The corner opposite the grabbed handle stays where it is while resizing.
        m_ptOpposite = pItem->opposite(g_nDragHandle);
        m_bHaveOpposite = true;
    } else if (g_nDragHandle == 0) {
        g_selectMode = move;
    } else {
        g_selectMode = editor;
    }
    setCurShape(pScene, g_nDragHandle);
}

void CEditSelectBorder::mousePressBaseItem(const QPointF &pos, CEditBaseScene *pScene)
{
    m_bIsCross = false;
    const QList<QGraphicsItem *> selected = pScene->selectedItems();
    if (selected.size() == 1) {
        if (selected.first()->type() != EditItemType_Base)
            return;
        CEditBaseItem *pItem = static_cast<CEditBaseItem *>(selected.first());
        if (isLayer(pItem))
            if (CEditSingleTextItem *pLayer = dynamic_cast<CEditSingleTextItem *>(pItem))
                m_bIsCross = pLayer->isCrossCanvas();
        m_mapSelectItem.insert(pItem->getItemId(), pItem->zValue());
        grabItem(pItem, pos, pScene);
    } else if (selected.size() > 1) {
        g_selectMode = move;
        rememberSelectedLayers(pScene);
    }
    if (g_selectMode == none) {
        g_selectMode = netSelect;
        if (CEditBaseView *pView = pScene->view())
            pView->setDragMode(QGraphicsView::RubberBandDrag);
    }
}

void CEditSelectBorder::mousePressBaseItemGroup(const QPointF &pos, CEditBaseScene *pScene)
{
    const QList<QGraphicsItem *> selected = pScene->selectedItems();
    if (selected.size() != 1 || selected.first()->type() != EditItemType_Group)
        return;
    CEditBaseItemGroup *pGroup = static_cast<CEditBaseItemGroup *>(selected.first());
    m_mapSelectItem.insert(pGroup->getItemId(), pGroup->zValue());
    grabItem(pGroup, pos, pScene);
}

void CEditSelectBorder::mousePressProxyWidget(CEditBaseProxyWidget *pProxy, const QPointF &pos, CEditBaseScene *pScene)
{
    if (pProxy)
        grabItem(pProxy, pos, pScene);
}

void CEditSelectBorder::rememberSelectedLayers(CEditBaseScene *pScene)
{
    m_listPressedLayers.clear();
    for (QGraphicsItem *pItem : pScene->selectedItems()) {
        if (pItem->type() != EditItemType_Base)
            continue;
        CEditBaseItem *pBase = static_cast<CEditBaseItem *>(pItem);
        if (!isLayer(pBase))
            continue;
        if (CEditSingleTextItem *pLayer = dynamic_cast<CEditSingleTextItem *>(pBase)) {
            PressedLayer rec;
            rec.pLayer = pLayer;
            rec.ptPos = pLayer->pos();
            rec.bCross = pLayer->isCrossCanvas();
            m_listPressedLayers << rec;
        }
    }
}

// ---------------------------------------------------------------- move

void CEditSelectBorder::mouseMoveEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene)
{
    CEditBaseItemBorder::mouseMoveEvent(event, pScene);
    if (!pScene)
        return;
    mouseMoveItem(event, pScene);
    mouseMoveBaseItemGroup(event, pScene);
    mouseMoveProxyWidget(event, pScene);
    // Several items move together through the graphics scene's own handling.
    if (g_selectMode != size && pScene->selectedItems().size() > 1)
        pScene->mouseEvent(event);
}

template <typename T>
QPointF CEditSelectBorder::resizeFactors(T *pItem)
{
    if (!m_bHaveOpposite) {
        m_ptOpposite = pItem->opposite(g_nDragHandle);
        m_bHaveOpposite = true;
    }
    const QPointF a = pItem->mapFromScene(m_sLast) - m_ptOpposite;
    const QPointF b = pItem->mapFromScene(m_down) - m_ptOpposite;
    return QPointF(stretchFactor(a.x(), b.x()), stretchFactor(a.y(), b.y()));
}

void CEditSelectBorder::mouseMoveItem(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene)
{
    if (m_pProxyWidgetSelected)
        return;
    const QList<QGraphicsItem *> selected = pScene->selectedItems();
    if (!selected.isEmpty())
        notifyBool("slot_showToolBar", true);
    if (selected.size() != 1 || selected.first()->type() != EditItemType_Base)
        return;
    CEditBaseItem *pItem = static_cast<CEditBaseItem *>(selected.first());

    if (g_nDragHandle != 0 && g_selectMode == size) {
        const QPointF f = resizeFactors(pItem);
        pItem->stretch(g_nDragHandle, f.x(), f.y(), m_ptOpposite);
        pItem->setChange(true);
        if (pItem->m_bShowNormal) {
            const bool bCorner = g_nDragHandle == 1 || g_nDragHandle == 2 || g_nDragHandle == 3 || g_nDragHandle == 7
                || g_nDragHandle == 8;
            notifyBool("slot_updateItemPos", bCorner);
        } else if (g_nDragHandle == 4 || g_nDragHandle == 8) {
            bool bTrue = true;
            hub()->notify("slot_moveItemTime", Q_ARG(bool, bTrue), Q_ARG(CEditBaseItem *, pItem));
        }
    } else if (g_nDragHandle > 8 && g_selectMode == editor) {
        pItem->control(g_nDragHandle, m_sLast);
        pItem->setChange(true);
        emit pScene->itemControl(pItem, g_nDragHandle, m_sLast, m_down);
    } else if (g_nDragHandle == 0) {
        setCurShape(pScene, pItem->collidesWithHandle(event->scenePos()));
    }

    if (g_selectMode == move && m_sLast != m_down) {
        pItem->setChange(true);
        if (pItem->m_bShowNormal) {
            moveMagneticItem(event, pItem, pScene);
            notifyBool("slot_updateItemPos", true);
        } else {
            hub()->notify("slot_getItemMaxWidth");
        }
    } else if (g_selectMode == move) {
        returnToPress(pItem);
    }
}

// The pointer is back where the drag began: the layer is where it was at the press, which is
// where the device holds it, snapped there or not. A release here sends nothing.
void CEditSelectBorder::returnToPress(CEditBaseItem *pItem)
{
    m_isMagneticMoveX = false;
    m_isMagneticMoveY = false;
    m_nMagneticX = int(m_down.x());
    m_nMagneticY = int(m_down.y());
    if (pItem->pos() == m_ptInitialPositions)
        return;
    pItem->setPos(m_ptInitialPositions);
    if (pItem->m_bShowNormal) {
        hub()->notify("slot_verMagneticLine", Q_ARG(QPoint, QPoint()), Q_ARG(QPoint, QPoint()), Q_ARG(bool, false));
        hub()->notify("slot_horMagneticLine", Q_ARG(QPoint, QPoint()), Q_ARG(QPoint, QPoint()), Q_ARG(bool, false));
        notifyBool("slot_updateItemPos", true);
    } else {
        hub()->notify("slot_getItemMaxWidth");
    }
}

void CEditSelectBorder::mouseMoveBaseItemGroup(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene)
{
    const QList<QGraphicsItem *> selected = pScene->selectedItems();
    if (m_pProxyWidgetSelected || selected.size() != 1 || selected.first()->type() != EditItemType_Group)
        return;
    CEditBaseItemGroup *pGroup = static_cast<CEditBaseItemGroup *>(selected.first());
    if (g_nDragHandle != 0 && g_selectMode == size) {
        const QPointF f = resizeFactors(pGroup);
        pGroup->stretch(g_nDragHandle, f.x(), f.y(), m_ptOpposite);
        emit pScene->itemResize(pGroup, g_nDragHandle, f);
    } else if (g_nDragHandle > 8 && g_selectMode == editor) {
        pGroup->control(g_nDragHandle, m_sLast);
        emit pScene->itemControl(pGroup, g_nDragHandle, m_sLast, m_down);
    } else if (g_nDragHandle == 0) {
        setCurShape(pScene, pGroup->collidesWithHandle(event->scenePos()));
    }
    if (g_selectMode == move && (m_sLast != m_down || pGroup->pos() != m_ptInitialPositions)) {
        const QPointF d = m_sLast - m_down;
        pGroup->moveItem(m_ptInitialPositions + d);
        emit pScene->itemMoved(pGroup, d);
    }
}

void CEditSelectBorder::mouseMoveProxyWidget(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene)
{
    const QList<QGraphicsItem *> selected = pScene->selectedItems();
    CEditBaseProxyWidget *pProxy = m_pProxyWidgetSelected.data();
    if (!pProxy && selected.size() == 1 && selected.first()->type() == EditItemType_Proxy)
        pProxy = static_cast<CEditBaseProxyWidget *>(selected.first());
    if (!pProxy) {
        if (selected.size() > 1)
            for (QGraphicsItem *pItem : selected)
                if (pItem->type() == EditItemType_Proxy)
                    static_cast<CEditBaseProxyWidget *>(pItem)->setItemState(EditSelectionHandleActive);
        return;
    }
    if (g_nDragHandle != 0 && g_selectMode == size) {
        const QPointF f = resizeFactors(pProxy);
        pProxy->stretch(g_nDragHandle, f.x(), f.y(), m_ptOpposite);
        emit pScene->itemResize(pProxy, g_nDragHandle, f);
        notifyBool("slot_updateItemPos", true);
    } else if (g_nDragHandle > 8 && g_selectMode == editor) {
        pProxy->control(g_nDragHandle, m_sLast);
        emit pScene->itemControl(pProxy, g_nDragHandle, m_sLast, m_down);
    } else if (g_nDragHandle == 0) {
        setCurShape(pScene, pProxy->collidesWithHandle(event->scenePos()));
    }
    if (g_selectMode == move && (m_sLast != m_down || pProxy->pos() != m_ptInitialPositions)) {
        const QPointF d = m_sLast - m_down;
        pProxy->moveItem(m_ptInitialPositions + d);
        emit pScene->itemMoved(pProxy, d);
        notifyBool("slot_updateItemPos", true);
    }
}

// ---------------------------------------------------------------- release

bool CEditSelectBorder::sendLayerGeometry(CEditSingleTextItem *pLayer, bool bCrossAtPress, CEditBaseScene *pScene)
{
    if (!pLayer)
        return true;
    // A screen driven by two outputs: a layer that comes to straddle the middle needs the
    // scene's consent (the device limits such layers). That is a question, during which the
    // scene may go.
    if (pScene->m_nCanvasCount == 1 && !bCrossAtPress && pLayer->isCrossCanvas()) {
        CGuardedWait wait{pScene};
        return wait.run([&] { pScene->ifCanChangeLayer(pLayer); });
    }
    pLayer->setLayerPosAndSize();
    return true;
}

void CEditSelectBorder::endGesture()
{
    m_mapSelectItem.clear();
    m_listPressedLayers.clear();
    m_nMagneticX = 0;
    m_nMagneticY = 0;
    g_selectMode = none;
    g_nDragHandle = 0;
    m_hoverSizer = false;
    m_ptOpposite = QPointF();
    m_bHaveOpposite = false;
}

void CEditSelectBorder::mouseReleaseEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene)
{
    CEditBaseItemBorder::mouseReleaseEvent(event, pScene);
    if (!pScene || event->button() != Qt::LeftButton)
        return;
    // A release back at the press point with no move reported there first: the layer goes back
    // as a move to that point would have put it.
    if (g_selectMode == move && event->scenePos() == m_down && m_sLast != m_down) {
        m_sLast = m_down;
        const QList<QGraphicsItem *> selected = pScene->selectedItems();
        if (!m_pProxyWidgetSelected && selected.size() == 1 && selected.first()->type() == EditItemType_Base)
            returnToPress(static_cast<CEditBaseItem *>(selected.first()));
    }
    const bool bMoved = m_sLast != m_down;
    const bool bReshaped = (g_selectMode == size || g_selectMode == editor) && bMoved;
    const SelectMode mode = g_selectMode;

    if (CEditBaseProxyWidget *pProxy = m_pProxyWidgetSelected.data()) {
        if (bReshaped)
            pProxy->updateCoordinate();
    }
    m_pProxyWidgetSelected = nullptr;

    CEditBaseItem *pSingle = nullptr;
    QList<PressedLayer> listCarried;
    const QList<QGraphicsItem *> selected = pScene->selectedItems();
    if (selected.size() == 1) {
        QGraphicsItem *pItem = selected.first();
        if (pItem->type() == EditItemType_Base) {
            pSingle = static_cast<CEditBaseItem *>(pItem);
            if (bReshaped) {
                pSingle->updateCoordinate();
                pSingle->dataChange();
                pSingle->setChange(true);
                if (pSingle->m_bShowNormal && std::fabs(m_sLast.x() - m_down.x()) > PADDING)
                    notifyBool("slot_updateItemPos", true);
                else
                    hub()->notify("slot_getItemMaxWidth");
            }
        } else if (pItem->type() == EditItemType_Group && bReshaped) {
            CEditBaseItemGroup *pGroup = static_cast<CEditBaseItemGroup *>(pItem);
            pGroup->updateCoordinate();
            pGroup->dataChange();
            notifyBool("slot_updateItemPos", true);
        }
    } else if (selected.size() > 1 && mode == move && bMoved) {
        const QPointF d = m_sLast - m_down;
        if (std::fabs(d.x()) > PADDING || std::fabs(d.y()) > PADDING)
            emit pScene->itemMoved(nullptr, d);
        listCarried = m_listPressedLayers;
    }
    const bool bSendSingle = pSingle && (mode == move || mode == size) && bMoved && isLayer(pSingle);
    const bool bCrossAtPress = m_bIsCross;
    // The gesture is over before anything below may wait on a question.
    endGesture();

    if (mode == netSelect)
        if (CEditBaseView *pView = pScene->view())
            pView->setDragMode(QGraphicsView::NoDrag);

    // Every layer the drag carried along tells the device where it is now.
    for (const PressedLayer &rec : qAsConst(listCarried)) {
        CEditSingleTextItem *pLayer = rec.pLayer.data();
        if (!pLayer || pLayer->scene() != pScene || pLayer->pos() == rec.ptPos)
            continue;
        if (!sendLayerGeometry(pLayer, rec.bCross, pScene))
            return; // the scene went while its question was open
    }

    if (bSendSingle && !sendLayerGeometry(dynamic_cast<CEditSingleTextItem *>(pSingle), bCrossAtPress, pScene))
        return;
    pScene->mouseEvent(event);
}
