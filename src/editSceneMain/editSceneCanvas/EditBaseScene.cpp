#include "EditBaseScene.h"

#include <QDateTime>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QMimeData>
#include <QTimer>
#include <QtDebug>

#include "EditBaseItemBorder.h"
#include "EditBaseItemGroup.h"
#include "EditBaseProxyWidget.h"
#include "EditBaseView.h"
#include "EditSingleTextItem.h"
#include "GuardedWait.h"
#include "PlayEndThread.h"
#include "QorGlobal.h"
#include "SceneBackCanvas.h"
#include "globalObserver.h"

CEditBaseScene::CEditBaseScene(QObject *parent)
    : QGraphicsScene(parent)
{
    // Layers move all the time and a scene holds a few hundred items at most: a linear search
    // beats keeping a spatial index up to date.
    setItemIndexMethod(QGraphicsScene::NoIndex);
    m_playThread = new CPlayEndThread();
    connect(this, &CEditBaseScene::sig_playEndStop, m_playThread, &CPlayEndThread::slot_playEndStop,
            Qt::DirectConnection);
    m_pTimer = new QTimer(this);
    m_pTimer->setInterval(1000);
    connect(m_pTimer, &QTimer::timeout, this, &CEditBaseScene::slot_guideLineTimeout);
    m_vectorColor << QColor(99, 57, 116, 255) << QColor(87, 156, 137, 255) << QColor(199, 94, 14, 255)
                  << QColor(121, 92, 11, 255) << QColor(51, 50, 138, 255) << QColor(0, 0, 143, 255);
}

CEditBaseScene::~CEditBaseScene()
{
    // The watcher first: its thread must not outlive the scene it was given.
    emit sig_playEndStop();
    delete m_playThread;
    m_playThread = nullptr;
    QList<QGraphicsItem *> items;
    items.swap(m_listItems);
    // An OSD item taken out of the list is still the scene's to free.
    if (m_pItem && !items.contains(m_pItem))
        items.append(m_pItem);
    m_pItem = nullptr;
    for (QGraphicsItem *pItem : items) {
        if (pItem->scene() == this)
            removeItem(pItem);
        delete pItem;
    }
    m_pBackCanvas = nullptr;
    clear();
}

CEditBaseView *CEditBaseScene::view() const
{
    return m_pView.data();
}

void CEditBaseScene::setView(CEditBaseView *pView)
{
    m_pView = pView;
}

QColor CEditBaseScene::getSelectedColor(int nIndex) const
{
    if (m_vectorColor.isEmpty())
        return QColor();
    const int n = m_vectorColor.size();
    return m_vectorColor.at(((nIndex % n) + n) % n);
}

void CEditBaseScene::showNoniusLine(bool bShow)
{
    m_bShowPosLine = bShow;
    update();
}

// ---------------------------------------------------------------- items

int CEditBaseScene::getNewItemID() const
{
    QList<int> used;
    for (QGraphicsItem *pItem : m_listItems) {
        switch (pItem->type()) {
        case EditItemType_Base:
            used << static_cast<CEditBaseItem *>(pItem)->getItemId();
            break;
        case EditItemType_Proxy:
            used << static_cast<CEditBaseProxyWidget *>(pItem)->getItemId();
            break;
        case EditItemType_Group:
            used << static_cast<CEditBaseItemGroup *>(pItem)->getItemId();
            break;
        default:
            break;
        }
    }
    int nId = 0;
    while (used.contains(nId))
        ++nId;
    return nId;
}

CEditBaseItem *CEditBaseScene::itemById(int nId) const
{
    for (QGraphicsItem *pItem : m_listItems)
        if (pItem->type() == EditItemType_Base && static_cast<CEditBaseItem *>(pItem)->getItemId() == nId)
            return static_cast<CEditBaseItem *>(pItem);
    return nullptr;
}

QList<CEditSingleTextItem *> CEditBaseScene::layerItems() const
{
    QList<CEditSingleTextItem *> list;
    for (QGraphicsItem *pItem : m_listItems)
        if (pItem->type() == EditItemType_Base)
            if (CEditSingleTextItem *pLayer = dynamic_cast<CEditSingleTextItem *>(pItem))
                list << pLayer;
    return list;
}

void CEditBaseScene::removeAndDeleteItem(QGraphicsItem *pItem)
{
    if (!pItem)
        return;
    CEditBaseItem::releaseSelection(pItem);
    m_listItems.removeAll(pItem);
    if (pItem->scene() == this)
        removeItem(pItem);
    if (pItem == m_pItem)
        m_pItem = nullptr;
    delete pItem;
}

int CEditBaseScene::createSingleTextItem(QString strFile, QString strText, QSize sz, QPointF pt, qreal &durTime,
                                         int nSourceId)
{
    CEditSingleTextItem *pItem = new CEditSingleTextItem(QRect(0, 0, sz.width(), sz.height()), true);
    pItem->setItemType(MediaType_SingleText);
    pItem->setItemContent(strText);
    pItem->setItemFile(strFile);
    pItem->setPos(pt);
    pItem->updateCoordinate();
    pItem->setFlag(QGraphicsItem::ItemIsMovable, true);
    pItem->setFlag(QGraphicsItem::ItemIsSelectable, true);
    pItem->setFlag(QGraphicsItem::ItemIsFocusable, true);
    addItem(pItem);
    pItem->setZValue(m_listItems.size() + 1);
    pItem->setItemId(getNewItemID());
    pItem->setItemSelectColor(getSelectedColor(m_listItems.size()));
    durTime = pItem->getItemDuraTime();
    pItem->setItemMainSig(nSourceId);
    pItem->m_strSerial = m_strSerial;
    // A layer the device is not sent (it lies wholly outside the canvas) is not made at all:
    // nothing on the canvas, nothing counted against the layer limit.
    if (!pItem->setLayerAllCmd()) {
        removeItem(pItem);
        delete pItem;
        return -1;
    }
    pItem->setSelected(true);
    m_listItems.append(pItem);
    ++m_nLayerUse;
    qInfo().noquote() << QString("[%1]: ").arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss"))
                             + QString("Add the canvas item successful %1").arg(pItem->getItemId());
    return pItem->getItemId();
}

void CEditBaseScene::addCanvasItem(QPointF &ptPos, QString strFile, QString strText, QSize sz, int nType, int nSourceId,
                                   bool bPos)
{
    if (m_nSceneType != Scene_Edit)
        return;
    const int w = sz.width(), h = sz.height();
    QPointF pt = ptPos;
    if (bPos) {
        const QPoint p = ptPos.toPoint();
        const QRect quarters[4] = {QRect(0, 0, w, h), QRect(w, 0, w, h), QRect(0, h, w, h), QRect(w, h, w, h)};
        for (const QRect &r : quarters) {
            if (r.contains(p)) {
                pt = r.topLeft();
                break;
            }
        }
    } else {
        const int n = m_listItems.size();
        pt = QPointF(n % 2 == 0 ? 0 : w, (n % 4 == 2 || n % 4 == 3) ? h : 0);
    }
    if (nType != MediaType_SingleText)
        return;
    qreal dDuration = 0;
    int nId = createSingleTextItem(strFile, strText, sz, pt, dDuration, nSourceId);
    if (nId > 0)
        globalObserver::getGlobalObserver()->notify("slot_itemPress", Q_ARG(int, nId));
}

void CEditBaseScene::addCanvasItemFromJson(const Json &itemJson, QRect &rtItem, int nType)
{
    Q_UNUSED(itemJson)
    Q_UNUSED(rtItem)
    QString strIcon, strName;
    switch (nType) {
    case 0: strName = QString::fromUtf8("图片"); break;
    case 1: strIcon = ":/res/res/image/hdmi.png"; strName = QString::fromUtf8("视频"); break;
    case 2: strIcon = ":/res/res/image/rich.ico"; strName = QString::fromUtf8("文本"); break;
    case 7: strIcon = ":/res/res/image/audio.png"; strName = QString::fromUtf8("音频"); break;
    case 10: strIcon = ":/res/res/image/analog.ico"; strName = QString::fromUtf8("模拟时钟"); break;
    case 11: strIcon = ":/res/res/image/Digital.ico"; strName = QString::fromUtf8("数字时钟"); break;
    case 12: strIcon = ":/res/res/image/rich.ico"; strName = QString::fromUtf8("富文本"); break;
    case 14: strIcon = ":/res/res/image/zheng.ico"; strName = QString::fromUtf8("正计时"); break;
    case 15: strIcon = ":/res/res/image/dao.ico"; strName = QString::fromUtf8("倒计时"); break;
    case 16: strIcon = ":/res/res/image/weather.ico"; strName = QString::fromUtf8("天气预报"); break;
    default: break;
    }
    qreal dDuration = 0.0;
    int nId = 0;
    globalObserver::getGlobalObserver()->notify("slot_addTimeLineItem", Q_ARG(QString, strIcon), Q_ARG(QString, strName),
                                                Q_ARG(qreal, dDuration), Q_ARG(int, nId));
}

QColor CEditBaseScene::getItemBackColor(int nType) const
{
    switch (nType) {
    case 0: return QColor(99, 57, 116);
    case 1: return QColor(119, 188, 169);
    case 2: return QColor(247, 142, 30);
    case 10: return QColor(176, 58, 46);
    case 11: return QColor(153, 124, 11);
    case 12: return QColor(51, 73, 94);
    case 14: return QColor(255, 159, 28);
    case 15: return QColor(167, 197, 189);
    case 16: return QColor(99, 82, 202);
    default: return QColor();
    }
}

// ---------------------------------------------------------------- background canvas

void CEditBaseScene::createBackCanvas(QRect &rt)
{
    m_rtCanvas = QRect(0, 0, rt.width(), rt.height());
    if (m_pBackCanvas)
        return;
    m_pBackCanvas = new CSceneBackCanvas(m_rtCanvas);
    m_pBackCanvas->setCanvasCount(m_nCanvasCount);
    m_pBackCanvas->setDeviceSerial(m_strSerial);
    addItem(m_pBackCanvas);
}

void CEditBaseScene::SetBackCanvas(QRect &rt)
{
    m_rtCanvas = QRect(0, 0, rt.width(), rt.height());
}

// ---------------------------------------------------------------- groups

CEditBaseItemGroup *CEditBaseScene::createGroup(const QList<QGraphicsItem *> &items, bool isAdd)
{
    if (items.isEmpty())
        return nullptr;
    // The nearest parent of the first item that is also a parent of every other one.
    QGraphicsItem *pAncestor = nullptr;
    for (QGraphicsItem *p = items.first()->parentItem(); p && !pAncestor; p = p->parentItem()) {
        bool bAll = true;
        for (int i = 1; i < items.size() && bAll; ++i)
            bAll = p->isAncestorOf(items.at(i));
        if (bAll)
            pAncestor = p;
    }
    CEditBaseItemGroup *pGroup = new CEditBaseItemGroup(pAncestor);
    if (!pAncestor && isAdd)
        addItem(pGroup);
    QGraphicsItem *pFirst = nullptr;
    qreal dNextX = 0;
    for (QGraphicsItem *pItem : items) {
        pItem->setSelected(false);
        if (pItem->type() == QGraphicsItemGroup::Type)
            continue;
        if (dynamic_cast<QGraphicsItemGroup *>(pItem->parentItem()))
            continue;
        if (pItem->type() == EditItemType_Proxy)
            static_cast<CEditBaseProxyWidget *>(pItem)->setItemBorder(this, false);
        qreal dWidth = pItem->boundingRect().width();
        if (pItem->type() == EditItemType_Base)
            dWidth = static_cast<CEditBaseItem *>(pItem)->width();
        else if (pItem->type() == EditItemType_Proxy)
            dWidth = static_cast<CEditBaseProxyWidget *>(pItem)->width();
        if (!pFirst) {
            pFirst = pItem;
            dNextX = pItem->pos().x() + dWidth;
        } else {
            pItem->setPos(dNextX, pFirst->pos().y());
            dNextX += dWidth;
        }
        pGroup->addToGroup(pItem);
        m_listItems.removeAll(pItem); // the group holds it now
    }
    pGroup->updateCoordinate();
    pGroup->setItemId(getNewItemID());
    m_listItems.append(pGroup);
    return pGroup;
}

void CEditBaseScene::destroyGroup(QGraphicsItemGroup *pGroup)
{
    if (!pGroup)
        return;
    pGroup->setSelected(false);
    const QList<QGraphicsItem *> children = pGroup->childItems();
    for (QGraphicsItem *pChild : children) {
        if (pChild->type() == EditItemType_BackCanvas)
            continue; // a handle of the group
        pChild->setSelected(true);
        pGroup->removeFromGroup(pChild);
        m_listItems.append(pChild);
    }
    m_listItems.removeAll(pGroup);
    removeItem(pGroup);
    delete pGroup;
}

// ---------------------------------------------------------------- mouse and keys

void CEditBaseScene::mouseEvent(QGraphicsSceneMouseEvent *event)
{
    switch (event->type()) {
    case QEvent::GraphicsSceneMousePress:
        QGraphicsScene::mousePressEvent(event);
        break;
    case QEvent::GraphicsSceneMouseMove:
        QGraphicsScene::mouseMoveEvent(event);
        break;
    case QEvent::GraphicsSceneMouseRelease:
        QGraphicsScene::mouseReleaseEvent(event);
        break;
    default:
        break;
    }
}

void CEditBaseScene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // The tool may ask a question (the recall), during which replies can take this scene away.
    CGuardedWait wait{this};
    if (CEditBaseItemBorder *pTool = CEditBaseItemBorder::findTool(CEditBaseItemBorder::m_sBorderType))
        if (!wait.run([&] { pTool->mousePressEvent(event, this); }))
            return;
    m_bRButton = false;
    if (event->button() != Qt::RightButton)
        return;
    QGraphicsItem *pItem = itemAt(event->scenePos(), QTransform());
    if (!pItem || pItem->type() == EditItemType_BackCanvas)
        return;
    m_bRButton = true;
    for (QGraphicsItem *p : m_listItems)
        p->setSelected(false);
    pItem->setSelected(true);
    // The item menu needs a place in a view; a scene shown nowhere has none to offer. The menu
    // waits for the operator: nothing of the scene is touched after it.
    if (CEditBaseView *pView = view()) {
        QPoint pt = pView->mapFromScene(event->scenePos());
        globalObserver::getGlobalObserver()->notify("slot_showItemMenu", Q_ARG(QPoint, pt));
    }
}

void CEditBaseScene::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (CEditBaseItemBorder *pTool = CEditBaseItemBorder::findTool(CEditBaseItemBorder::m_sBorderType))
        pTool->mouseMoveEvent(event, this);
}

void CEditBaseScene::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (CEditBaseItemBorder *pTool = CEditBaseItemBorder::findTool(CEditBaseItemBorder::m_sBorderType))
        pTool->mouseReleaseEvent(event, this);
}

void CEditBaseScene::keyPressEvent(QKeyEvent *event)
{
    m_bMoved = false;
    qreal dx = 0, dy = 0;
    globalObserver *pHub = globalObserver::getGlobalObserver();
    // The fill and the deletion may ask questions, during which replies can take this scene away.
    CGuardedWait wait{this};
    switch (event->key()) {
    case Qt::Key_Escape: {
        int nTool = 14; // automatic layout
        if (!wait.run([&] { pHub->notify("slot_selectToolBar", Q_ARG(int, nTool)); }))
            return;
        break;
    }
    case Qt::Key_Delete:
        m_bMoved = false;
        if (!wait.run([&] { pHub->notify("slot_delTLSelectItem"); }))
            return;
        break;
    case Qt::Key_Left:
        dx = -1;
        m_bMoved = true;
        break;
    case Qt::Key_Up:
        dy = -1;
        m_bMoved = true;
        break;
    case Qt::Key_Right:
        dx = 1;
        m_bMoved = true;
        break;
    case Qt::Key_Down:
        dy = 1;
        m_bMoved = true;
        break;
    default:
        break;
    }
    m_fDx += dx;
    m_fDy += dy;
    if (m_bMoved && m_nSceneType != Scene_TimeLine) {
        const QList<QGraphicsItem *> selected = selectedItems();
        for (QGraphicsItem *pItem : selected) {
            pItem->moveBy(dx, dy);
            bool bPos = true;
            pHub->notify("slot_updateItemPos", Q_ARG(bool, bPos));
        }
    }
    QGraphicsScene::keyPressEvent(event);
}

void CEditBaseScene::keyReleaseEvent(QKeyEvent *event)
{
    if (m_bMoved && !selectedItems().isEmpty())
        emit itemMoved(nullptr, QPointF(m_fDx, m_fDy));
    m_fDx = 0;
    m_fDy = 0;
    QGraphicsScene::keyReleaseEvent(event);
}

void CEditBaseScene::dragEnterEvent(QGraphicsSceneDragDropEvent *event)
{
    if (m_nSceneType == Scene_Edit)
        return;
    if (event->mimeData()->hasFormat("editScene/media"))
        event->accept();
    else
        QGraphicsScene::dragEnterEvent(event);
}

void CEditBaseScene::dragMoveEvent(QGraphicsSceneDragDropEvent *event)
{
    if (m_nSceneType == Scene_Edit)
        return;
    event->accept();
}

void CEditBaseScene::dropEvent(QGraphicsSceneDragDropEvent *event)
{
    if (m_nSceneType == Scene_Edit)
        return;
    QGraphicsScene::dropEvent(event);
}

// ---------------------------------------------------------------- time-line leftovers

void CEditBaseScene::slot_linePosChanged(QPoint newMousePos)
{
    if (m_nSceneType == Scene_Edit)
        return;
    m_mousePos = newMousePos;
    if (m_bShowNonius)
        update();
}

void CEditBaseScene::slot_noniusPosChanged(QPoint newNoniusPos)
{
    if (m_nSceneType == Scene_Edit)
        return;
    m_noniusPos = newNoniusPos;
    if (m_noniusPos.x() > m_dMaxNoniusPos)
        m_noniusPos.setX(int(m_dMaxNoniusPos));
    if (m_bShowNonius)
        update();
}

void CEditBaseScene::getItemMaxWidth()
{
    if (m_nSceneType == Scene_Edit)
        return;
    m_dMaxNoniusPos = 0;
    if (m_noniusPos.x() > 0)
        slot_noniusPosChanged(QPoint(0, 0));
}
