// Magnetic snapping of the selection tool: while a single layer is dragged its edges cling to
// the edges of the other layers and of the background canvas.
//
// All distances are scene units. A layer takes part with the integer rectangle built from its
// centre and its truncated size. Per axis the dragged layer is either free (it follows the
// cursor from where it was pressed) or held at a target until the cursor has travelled more
// than 2 x MAGNETIC_RANGE beyond the place where it was last free. Every drag starts free.
#include "EditSelectBorder.h"

#include <QGraphicsSceneMouseEvent>
#include <QPoint>

#include <cmath>

#include "EditBaseItem.h"
#include "EditBaseScene.h"
#include "SceneBackCanvas.h"
#include "globalObserver.h"

namespace {

const int kSnap = 2 * CEditSelectBorder::MAGNETIC_RANGE;

void notifyGuide(const char *pszTopic, const QPoint &ptStart, const QPoint &ptEnd, bool bShow)
{
    globalObserver::getGlobalObserver()->notify(pszTopic, Q_ARG(QPoint, ptStart), Q_ARG(QPoint, ptEnd),
                                                Q_ARG(bool, bShow));
}

int distance(double a, double b)
{
    return int(std::fabs(a - b));
}

} // namespace

QRectF CEditSelectBorder::magneticRect(const QPointF &centre, qreal width, qreal height)
{
    const int w = int(width);
    const int h = int(height);
    const int x = int(centre.x() - w / 2);
    const int y = int(centre.y() - h / 2);
    return QRectF(x, y, w, h);
}

bool CEditSelectBorder::isInMagneticRange(const QRectF &a, const QRectF &b)
{
    // Some edge of b lies within the snap distance of a parallel edge of a. Nearness in the
    // other axis is not asked for: a layer lines up with another across a gap as well.
    auto isClose = [](qreal p, qreal q) { return std::fabs(p - q) < kSnap + 1; };
    return isClose(b.left(), a.left()) || isClose(b.left(), a.right()) || isClose(b.right(), a.left())
        || isClose(b.right(), a.right()) || isClose(b.top(), a.top()) || isClose(b.top(), a.bottom())
        || isClose(b.bottom(), a.top()) || isClose(b.bottom(), a.bottom());
}

void CEditSelectBorder::magneticLine(const QRectF &other, const QRectF &own)
{
    if (!isInMagneticRange(other, own) && !isInMagneticRange(own, other))
        return;
    const int dLL = distance(own.left(), other.left());
    const int dLR = distance(own.left(), other.right());
    const int dRL = distance(own.right(), other.left());
    const int dRR = distance(own.right(), other.right());
    const int dTT = distance(own.top(), other.top());
    const int dTB = distance(own.top(), other.bottom());
    const int dBT = distance(own.bottom(), other.top());
    const int dBB = distance(own.bottom(), other.bottom());

    if (!(m_lIsMagnetic && m_rIsMagnetic)) {
        bool bLeft = true;
        qreal x = 0;
        if (dLL <= kSnap)
            x = other.left();
        else if (dLR <= kSnap)
            x = other.right();
        else
            bLeft = false;
        if (bLeft) {
            m_lIsMagnetic = true;
            m_magneticPointTL.setX(x + own.width() / 2);
            notifyGuide("slot_verMagneticLine", QPoint(int(x), int(own.top())), QPoint(int(x), int(other.top())), true);
        }
        bool bRight = true;
        if (dRL <= kSnap)
            x = other.left();
        else if (dRR <= kSnap)
            x = other.right();
        else
            bRight = false;
        if (bRight) {
            m_rIsMagnetic = true;
            m_magneticPointBR.setX(x + own.width() / 2);
            notifyGuide("slot_verMagneticLine", QPoint(int(x), int(own.top())), QPoint(int(x), int(other.top())), true);
        }
    }

    if (!(m_tIsMagnetic && m_bIsMagnetic)) {
        bool bTop = true;
        qreal y = 0;
        if (dTT <= kSnap)
            y = other.top();
        else if (dTB <= kSnap)
            y = other.bottom();
        else
            bTop = false;
        if (bTop) {
            m_tIsMagnetic = true;
            m_magneticPointTL.setY(y + own.height() / 2);
            notifyGuide("slot_horMagneticLine", QPoint(int(own.left()), int(y)), QPoint(int(other.left()), int(y)), true);
        }
        bool bBottom = true;
        if (dBT <= kSnap)
            y = other.top();
        else if (dBB <= kSnap)
            y = other.bottom();
        else
            bBottom = false;
        if (bBottom) {
            m_bIsMagnetic = true;
            m_magneticPointBR.setY(y + own.height() / 2);
            notifyGuide("slot_horMagneticLine", QPoint(int(own.left()), int(y)), QPoint(int(other.left()), int(y)), true);
        }
    }
}

void CEditSelectBorder::magneticCalculation(QGraphicsSceneMouseEvent *event, CEditBaseItem *pItem, CEditBaseScene *pScene)
{
    Q_UNUSED(event)
    if (!pItem || !pScene)
        return;
    const QRectF own = magneticRect(pItem->pos(), pItem->width(), pItem->height());
    for (QGraphicsItem *pOther : qAsConst(pScene->m_listItems)) {
        if (pOther == pItem || pOther->type() != EditItemType_Base || !pOther->isVisible())
            continue;
        const CEditBaseItem *pBase = static_cast<const CEditBaseItem *>(pOther);
        magneticLine(magneticRect(pBase->pos(), pBase->width(), pBase->height()), own);
    }
    // The screen's edges, once a background canvas exists.
    if (pItem->m_bShowNormal && pScene->m_pBackCanvas) {
        const QRectF canvas = pScene->m_pBackCanvas->mapRectToScene(pScene->m_pBackCanvas->rect());
        magneticLine(canvas, own);
    }
}

void CEditSelectBorder::moveMagneticItem(QGraphicsSceneMouseEvent *event, CEditBaseItem *pItem, CEditBaseScene *pScene)
{
    if (!pItem)
        return;
    notifyGuide("slot_verMagneticLine", QPoint(0, 0), QPoint(0, 0), false);
    notifyGuide("slot_horMagneticLine", QPoint(0, 0), QPoint(0, 0), false);
    magneticCalculation(event, pItem, pScene);

    const int w = int(pItem->width());
    const int h = int(pItem->height());
    const int cx = int(pItem->pos().x());
    const int cy = int(pItem->pos().y());
    const int dx = int(m_sLast.x() - m_down.x());
    const int dy = int(m_sLast.y() - m_down.y());
    int nx = cx;
    int ny = cy;

    if (m_isMagneticMoveX) {
        const int off = int(m_sLast.x() - m_nMagneticX);
        if (std::abs(off) > kSnap) {
            // Free again, from here: a later hold counts the cursor's travel from this point,
            // so the layer never runs ahead of the cursor by travel already spent.
            m_isMagneticMoveX = false;
            nx = cx + off;
            m_nMagneticX = int(m_sLast.x());
        }
    } else if (m_lIsMagnetic) {
        nx = int(m_magneticPointTL.x());
        m_isMagneticMoveX = true;
    } else if (m_rIsMagnetic) {
        nx = int(m_magneticPointBR.x() - w);
        m_isMagneticMoveX = true;
    } else {
        nx = int(m_ptInitialPositions.x() + dx);
        m_nMagneticX = int(m_sLast.x());
    }

    if (m_isMagneticMoveY) {
        const int off = int(m_sLast.y() - m_nMagneticY);
        if (std::abs(off) > kSnap) {
            // Free again, from here: a later hold counts the cursor's travel from this point,
            // so the layer never runs ahead of the cursor by travel already spent.
            m_isMagneticMoveY = false;
            ny = cy + off;
            m_nMagneticY = int(m_sLast.y());
        }
    } else if (m_tIsMagnetic) {
        ny = int(m_magneticPointTL.y());
        m_isMagneticMoveY = true;
    } else if (m_bIsMagnetic) {
        ny = int(m_magneticPointBR.y() - h);
        m_isMagneticMoveY = true;
    } else {
        ny = int(m_ptInitialPositions.y() + dy);
        m_nMagneticY = int(m_sLast.y());
    }

    pItem->moveItem(QPointF(nx, ny));
    m_tIsMagnetic = m_bIsMagnetic = m_lIsMagnetic = m_rIsMagnetic = false;
}
