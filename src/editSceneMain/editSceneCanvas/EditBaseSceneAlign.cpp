// The scene's snapping guide lines and alignment (the canvas's tool commands drive them).
#include "EditBaseScene.h"

#include <QPainter>
#include <QTimer>

#include "EditBaseItem.h"

namespace {

// The part of the scene a guide line paints, with room for its pen.
QRectF guideRect(const QPoint &ptStart, const QPoint &ptEnd)
{
    return QRectF(QPointF(ptStart), QPointF(ptEnd)).normalized().adjusted(-2, -2, 2, 2);
}

} // namespace

// A guide line changes on nearly every step of a drag: only the old and the new line are
// painted again, never the whole scene with every layer on it.
void CEditBaseScene::setHorMagneticLine(QPoint ptStart, QPoint ptEnd, bool bShow)
{
    if (m_bHorMagnetic)
        update(guideRect(m_ptHorStart, m_ptHorEnd));
    m_ptHorStart = ptStart;
    m_ptHorEnd = ptEnd;
    m_bHorMagnetic = bShow;
    if (bShow) {
        m_pTimer->start();
        update(guideRect(ptStart, ptEnd));
    }
}

void CEditBaseScene::setVerMagneticLine(QPoint ptStart, QPoint ptEnd, bool bShow)
{
    if (m_bVerMagnetic)
        update(guideRect(m_ptVerStart, m_ptVerEnd));
    m_ptVerStart = ptStart;
    m_ptVerEnd = ptEnd;
    m_bVerMagnetic = bShow;
    if (bShow) {
        m_pTimer->start();
        update(guideRect(ptStart, ptEnd));
    }
}

void CEditBaseScene::slot_guideLineTimeout()
{
    m_pTimer->stop();
    setHorMagneticLine(m_ptHorStart, m_ptHorEnd, false);
    setVerMagneticLine(m_ptVerStart, m_ptVerEnd, false);
}

void CEditBaseScene::drawBackground(QPainter *painter, const QRectF &rect)
{
    QGraphicsScene::drawBackground(painter, rect);
}

void CEditBaseScene::drawForeground(QPainter *painter, const QRectF &rect)
{
    QGraphicsScene::drawForeground(painter, rect);
    if (!m_bHorMagnetic && !m_bVerMagnetic)
        return;
    painter->save();
    painter->setPen(QPen(QColor(0, 255, 0), 1, Qt::DashLine));
    if (m_bHorMagnetic)
        painter->drawLine(m_ptHorStart, m_ptHorEnd);
    if (m_bVerMagnetic)
        painter->drawLine(m_ptVerStart, m_ptVerEnd);
    painter->restore();
}

void CEditBaseScene::align(AlignType alignType)
{
    // Only the two even distributions need more than one item; with fewer than two records
    // there is nothing to distribute.
    Q_UNUSED(alignType)
}
