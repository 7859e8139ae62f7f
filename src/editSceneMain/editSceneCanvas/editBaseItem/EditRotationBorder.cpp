#include "EditRotationBorder.h"

#include <QGraphicsPathItem>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPen>
#include <QImage>
#include <QPixmap>

#include <cmath>

#include "EditBaseItem.h"
#include "EditBaseItemGroup.h"
#include "EditBaseProxyWidget.h"
#include "EditBaseScene.h"
#include "EditSelectBorder.h"

namespace {

// The scene's two mouse tools, registered in this order: the selection tool first.
CEditSelectBorder s_selectTool;
CEditRotationBorder s_rotationTool;

// The handle of a canvas item under a scene point, 0 when none or not a canvas item.
int handleAt(QGraphicsItem *pItem, const QPointF &pos)
{
    switch (pItem->type()) {
    case EditItemType_Base:
        return static_cast<CEditBaseItem *>(pItem)->collidesWithHandle(pos);
    case EditItemType_Group:
        return static_cast<CEditBaseItemGroup *>(pItem)->collidesWithHandle(pos);
    case EditItemType_Proxy:
        return static_cast<CEditBaseProxyWidget *>(pItem)->collidesWithHandle(pos);
    default:
        return 0;
    }
}

// A circular arrow, drawn once. Kept as an image: an image outlives the application object
// safely, a pixmap does not.
QCursor rotateCursor()
{
    static const QImage s_image = [] {
        QImage img(24, 24, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        for (int pass = 0; pass < 2; ++pass) {
            // A white halo under a black stroke, readable on any background.
            p.setPen(QPen(pass == 0 ? Qt::white : Qt::black, pass == 0 ? 4.0 : 2.0, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(4, 4, 16, 16), 90 * 16, 270 * 16);
            QPolygonF head;
            head << QPointF(12, 0.5) << QPointF(17, 4) << QPointF(12, 7.5);
            p.setBrush(pass == 0 ? Qt::white : Qt::black);
            p.drawPolygon(head);
        }
        return img;
    }();
    return QCursor(QPixmap::fromImage(s_image), s_image.width() / 2, s_image.height() / 2);
}

} // namespace

CEditRotationBorder::CEditRotationBorder()
    : CEditBaseItemBorder(rotation)
{
}

CEditRotationBorder::~CEditRotationBorder()
{
    // An outline still shown belongs to its scene, which frees it.
    m_pFrameRectItem = nullptr;
}

qreal CEditRotationBorder::angleAround(const QGraphicsItem *pItem, const QPointF &ptScene)
{
    const QPointF c = pItem->mapToScene(pItem->boundingRect().center());
    const QPointF d = ptScene - c;
    return std::atan2(d.y(), d.x()) * 180.0 / 3.1416;
}

qreal CEditRotationBorder::turnedAngle(qreal dRotation, qreal dNowAngle, qreal dLastAngle)
{
    qreal a = dRotation + qreal(int(dNowAngle - dLastAngle));
    if (a > 360)
        a -= 360;
    else if (a < -360)
        a += 360;
    return a;
}

void CEditRotationBorder::removeOutline()
{
    if (m_pFrameRectItem && m_pOutlineScene) {
        m_pOutlineScene->removeItem(m_pFrameRectItem);
        delete m_pFrameRectItem;
    }
    m_pFrameRectItem = nullptr;
    m_pOutlineScene = nullptr;
}

void CEditRotationBorder::mousePressEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene)
{
    CEditBaseItemBorder::mousePressEvent(event, pScene);
    if (!pScene || event->button() != Qt::LeftButton)
        return;
    if (!m_hoverSizer)
        pScene->mouseEvent(event);
    const QList<QGraphicsItem *> selected = pScene->selectedItems();
    if (selected.size() != 1)
        return;
    QGraphicsItem *pItem = selected.first();
    g_nDragHandle = handleAt(pItem, event->scenePos());
    if (g_nDragHandle == 0) {
        // Beside the handles the selection tool takes over, this very press included.
        m_sBorderType = selection;
        if (CEditBaseItemBorder *pTool = findTool(selection))
            pTool->mousePressEvent(event, pScene);
        return;
    }
    lastAngle = angleAround(pItem, m_sLast);
    g_selectMode = rotate;
    removeOutline();
    m_pFrameRectItem = new QGraphicsPathItem(pItem->shape());
    m_pFrameRectItem->setPen(QPen(Qt::DashLine));
    m_pFrameRectItem->setPos(pItem->pos());
    m_pFrameRectItem->setTransformOriginPoint(pItem->transformOriginPoint());
    m_pFrameRectItem->setTransform(pItem->transform());
    m_pFrameRectItem->setRotation(pItem->rotation());
    m_pFrameRectItem->setScale(pItem->scale());
    m_pFrameRectItem->setZValue(pItem->zValue());
    pScene->addItem(m_pFrameRectItem);
    m_pOutlineScene = pScene;
    setCursor(pScene, rotateCursor());
}

void CEditRotationBorder::mouseMoveEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene)
{
    CEditBaseItemBorder::mouseMoveEvent(event, pScene);
    if (!pScene)
        return;
    const QList<QGraphicsItem *> selected = pScene->selectedItems();
    if (selected.size() == 1) {
        QGraphicsItem *pItem = selected.first();
        if (g_nDragHandle != 0 && g_selectMode == rotate) {
            const qreal a = turnedAngle(pItem->rotation(), angleAround(pItem, m_sLast), lastAngle);
            if (QGraphicsPathItem *pOutline = outline())
                pOutline->setRotation(a);
            setCursor(pScene, rotateCursor());
        } else if (handleAt(pItem, event->scenePos()) != 0) {
            setCursor(pScene, rotateCursor());
            m_hoverSizer = true;
        } else {
            setCursor(pScene, Qt::ArrowCursor);
            m_hoverSizer = false;
        }
    }
    pScene->mouseEvent(event);
}

void CEditRotationBorder::mouseReleaseEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene)
{
    CEditBaseItemBorder::mouseReleaseEvent(event, pScene);
    if (!pScene || event->button() != Qt::LeftButton)
        return;
    const QList<QGraphicsItem *> selected = pScene->selectedItems();
    if (selected.size() == 1 && g_nDragHandle != 0 && g_selectMode == rotate) {
        QGraphicsItem *pItem = selected.first();
        const qreal dOld = pItem->rotation();
        const qreal a = turnedAngle(dOld, angleAround(pItem, m_sLast), lastAngle);
        if (pItem->type() == EditItemType_Base)
            static_cast<CEditBaseItem *>(pItem)->setItemRotation(a);
        else
            pItem->setRotation(a);
        emit pScene->itemRotate(pItem, dOld);
    }
    setCursor(pScene, Qt::ArrowCursor);
    g_selectMode = none;
    g_nDragHandle = 0;
    lastAngle = 0;
    m_hoverSizer = false;
    removeOutline();
    pScene->mouseEvent(event);
}
