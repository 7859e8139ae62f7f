#include "EditSizeHandle.h"

#include <QPainter>

namespace {
const qreal kDotRadius = 6.0;
}

CEditSizeHandleRect::CEditSizeHandleRect(QGraphicsItem *parent, int dir, bool controlPoint)
    : QGraphicsRectItem(-3, -3, 6, 6, parent)
    , m_dir(dir)
    , m_borderColor(Qt::white)
    , m_controlPoint(controlPoint)
{
    setAcceptHoverEvents(true);
    setFlag(QGraphicsItem::ItemIgnoresTransformations, true);
    hide();
}

void CEditSizeHandleRect::move(qreal x, qreal y)
{
    setPos(x, y);
}

void CEditSizeHandleRect::setState(EditSelectionHandleState st)
{
    if (st == m_state)
        return;
    if (st == EditSelectionHandleOff)
        hide();
    else
        show();
    m_borderColor = Qt::white;
    m_state = st;
    update();
}

QRectF CEditSizeHandleRect::boundingRect() const
{
    const qreal r = kDotRadius + 1.0; // dot and its outline
    return rect().united(QRectF(-r, -r, 2 * r, 2 * r));
}

QPainterPath CEditSizeHandleRect::shape() const
{
    QPainterPath path;
    path.addRect(rect());
    return path;
}

void CEditSizeHandleRect::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (m_controlPoint) {
        painter->setBrush(QBrush(m_borderColor));
        painter->drawEllipse(rect().center(), kDotRadius, kDotRadius);
    } else {
        painter->setPen(Qt::SolidLine);
        painter->setBrush(QBrush(m_borderColor));
        painter->drawRect(rect());
    }
    painter->restore();
}

void CEditSizeHandleRect::hoverEnterEvent(QGraphicsSceneHoverEvent *event)
{
    m_borderColor = Qt::gray;
    update();
    QGraphicsRectItem::hoverEnterEvent(event);
}

void CEditSizeHandleRect::hoverLeaveEvent(QGraphicsSceneHoverEvent *event)
{
    m_borderColor = Qt::white;
    update();
    QGraphicsRectItem::hoverLeaveEvent(event);
}
