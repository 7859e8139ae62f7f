// The scene's drawing aids: alignment of the selection to one reference item,
// the two snapping guide lines, and the background grid.
#include "EditBaseScene.h"

#include <QPainter>
#include <QTimer>
#include <algorithm>

#include "EditBaseItem.h"
#include "EditBaseItemGroup.h"
#include "EditBaseProxyWidget.h"
#include "EditGridTool.h"

namespace {
// The part of the scene a guide line paints, with room for its pen.
QRectF guideRect(const QPoint &ptStart, const QPoint &ptEnd)
{
    return QRectF(QPointF(ptStart), QPointF(ptEnd)).normalized().adjusted(-2, -2, 2, 2);
}
} // namespace

// A guide line changes on nearly every step of a drag: only the old and the
// new line are painted again, never the whole scene with every layer on it.
void CEditBaseScene::setHorMagneticLine(QPoint ptStart, QPoint ptEnd, bool bShow)
{
    m_pTimer->start(GUIDE_LINE_MS);
    if (m_bHorMagnetic)
        update(guideRect(m_ptHorStart, m_ptHorEnd));
    m_ptHorStart = ptStart;
    m_ptHorEnd = ptEnd;
    m_bHorMagnetic = bShow;
    if (bShow)
        update(guideRect(ptStart, ptEnd));
}

void CEditBaseScene::setVerMagneticLine(QPoint ptStart, QPoint ptEnd, bool bShow)
{
    m_pTimer->start(GUIDE_LINE_MS);
    if (m_bVerMagnetic)
        update(guideRect(m_ptVerStart, m_ptVerEnd));
    m_ptVerStart = ptStart;
    m_ptVerEnd = ptEnd;
    m_bVerMagnetic = bShow;
    if (bShow)
        update(guideRect(ptStart, ptEnd));
}

// A line not refreshed for a second goes, and is seen to go.
void CEditBaseScene::slot_guideLineTimeout()
{
    setHorMagneticLine(m_ptHorStart, m_ptHorEnd, false);
    setVerMagneticLine(m_ptVerStart, m_ptVerEnd, false);
    m_pTimer->stop();
}

void CEditBaseScene::drawBackground(QPainter *painter, const QRectF &rect)
{
    QGraphicsScene::drawBackground(painter, rect);
    if (m_pGrid)
        m_pGrid->paintGrid(painter, sceneRect().toRect());
}

void CEditBaseScene::drawForeground(QPainter *painter, const QRectF &rect)
{
    Q_UNUSED(rect)
    if (m_nSceneType != Scene_Edit || (!m_bHorMagnetic && !m_bVerMagnetic))
        return;
    painter->save();
    painter->setPen(QPen(QColor(255, 170, 0), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    if (m_bHorMagnetic)
        painter->drawLine(m_ptHorStart, m_ptHorEnd);
    if (m_bVerMagnetic)
        painter->drawLine(m_ptVerStart, m_ptVerEnd);
    painter->restore();
}

namespace {
// Editable items move through their own move, which the next position
// command follows; other items move plainly.
void moveItemBy(QGraphicsItem *pItem, const QPointF &offset)
{
    if (pItem->type() == EditItemType_Base) {
        auto *pEdit = static_cast<CEditBaseItem *>(pItem);
        pEdit->moveItem(pEdit->pos() + offset);
    } else {
        pItem->moveBy(offset.x(), offset.y());
    }
}

qreal itemWidth(QGraphicsItem *pItem)
{
    if (pItem->type() == EditItemType_Base)
        return static_cast<CEditBaseItem *>(pItem)->width();
    if (pItem->type() == EditItemType_Proxy)
        return static_cast<CEditBaseProxyWidget *>(pItem)->width();
    return pItem->boundingRect().width();
}

qreal itemHeight(QGraphicsItem *pItem)
{
    if (pItem->type() == EditItemType_Base)
        return static_cast<CEditBaseItem *>(pItem)->height();
    if (pItem->type() == EditItemType_Proxy)
        return static_cast<CEditBaseProxyWidget *>(pItem)->height();
    return pItem->boundingRect().height();
}
}

void CEditBaseScene::align(AlignType alignType)
{
    const QList<QGraphicsItem *> listSelected = selectedItems();
    if (listSelected.isEmpty())
        return;
    QGraphicsItem *pRef = listSelected.first();
    if (pRef->type() != EditItemType_Base)
        return;
    const QRectF rtRef = pRef->mapRectToScene(pRef->boundingRect());
    const QPointF ptCentre = rtRef.center();
    const qreal dRefW = itemWidth(pRef);
    const qreal dRefH = itemHeight(pRef);
    const int nLeft = int(ptCentre.x());
    const int nRight = nLeft;
    const int nTop = int(ptCentre.y());
    const int nBottom = nTop;

    if (alignType == HORZEVEN_ALIGN || alignType == VERTERVEN_ALIGN) {
        std::vector<EditBoxSort> records;
        for (QGraphicsItem *pItem : listSelected) {
            QGraphicsItem *pParent = pItem->parentItem();
            if (pParent && pParent->type() == EditItemType_Group)
                continue;
            records.emplace_back(pItem, pItem->mapRectToScene(pItem->boundingRect()), alignType);
        }
        // Nothing to spread with fewer than two boxes.
        if (records.size() < 2)
            return;
        std::sort(records.begin(), records.end());
        float fSpan = 0;
        for (const EditBoxSort &r : records)
            fSpan += float(r.extent());
        const float fDist = float(records.back().max()) - float(records.front().min());
        const float fStep = (fDist - fSpan) / float(records.size() - 1);
        float fPos = float(records.front().min());
        for (const EditBoxSort &r : records) {
            const float fOffset = fPos - float(r.min());
            const QPointF offset = alignType == HORZEVEN_ALIGN ? QPointF(fOffset, 0) : QPointF(0, fOffset);
            moveItemBy(r.item_, offset);
            emit itemMoved(r.item_, offset);
            fPos += float(r.extent()) + fStep;
        }
        return;
    }

    for (QGraphicsItem *pItem : listSelected) {
        if (pItem->parentItem())
            continue;
        const QRectF r = pItem->mapRectToScene(pItem->boundingRect());
        QPointF p = r.center();
        const bool bEditable = pItem->type() == EditItemType_Base;
        auto *pEdit = bEditable ? static_cast<CEditBaseItem *>(pItem) : nullptr;
        switch (alignType) {
        case TOP_ALIGN: p.setY(nTop + (r.height() - rtRef.height()) / 2); break;
        case HORZ_ALIGN: p.setY(ptCentre.y()); break;
        case VERT_ALIGN: p.setX(ptCentre.x()); break;
        case BOTTOM_ALIGN: p.setY(nBottom - (r.height() - rtRef.height()) / 2); break;
        case LEFT_ALIGN: p.setX(nLeft - (rtRef.width() - r.width()) / 2); break;
        case RIGHT_ALIGN: p.setX(nRight + (rtRef.width() - r.width()) / 2); break;
        case CENTER_ALIGN: p = ptCentre; break;
        case WIDTH_ALIGN:
        case HEIGHT_ALIGN:
        case ALL_ALIGN: {
            if (!pEdit)
                continue;
            const qreal fx = pEdit->width() != 0 ? dRefW / pEdit->width() : 1;
            const qreal fy = pEdit->height() != 0 ? dRefH / pEdit->height() : 1;
            int nHandle = 5;
            QPointF scale(fx, fy);
            if (alignType == WIDTH_ALIGN) {
                nHandle = 4;
                scale = QPointF(fx, 1);
            } else if (alignType == HEIGHT_ALIGN) {
                nHandle = 6;
                scale = QPointF(1, fy);
            }
            if (scale != QPointF(1, 1)) {
                pEdit->stretch(nHandle, scale.x(), scale.y(), pEdit->opposite(nHandle));
                pEdit->updateCoordinate();
                emit itemResize(pItem, nHandle, scale);
            }
            break;
        }
        default:
            break;
        }
        const QPointF offset = p - r.center();
        if (!offset.isNull()) {
            moveItemBy(pItem, offset);
            emit itemMoved(pItem, offset);
        }
    }
}
