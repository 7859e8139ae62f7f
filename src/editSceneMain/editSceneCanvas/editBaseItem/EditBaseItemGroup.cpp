#include "EditBaseItemGroup.h"

#include <QDateTime>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QtDebug>

#include <cmath>

#include "EditBaseProxyWidget.h"

namespace {

// The item interface of a member, whichever base it sits on; null for anything else.
void stretchMember(QGraphicsItem *pItem, int dir, double sx, double sy, const QPointF &origin)
{
    switch (pItem->type()) {
    case EditItemType_Base:
        static_cast<CEditBaseItem *>(pItem)->stretch(dir, sx, sy, origin);
        break;
    case EditItemType_Proxy:
        static_cast<CEditBaseProxyWidget *>(pItem)->stretch(dir, sx, sy, origin);
        break;
    case EditItemType_Group:
        static_cast<CEditBaseItemGroup *>(pItem)->stretch(dir, sx, sy, origin);
        break;
    default:
        break;
    }
}

void updateMember(QGraphicsItem *pItem)
{
    switch (pItem->type()) {
    case EditItemType_Base:
        static_cast<CEditBaseItem *>(pItem)->updateCoordinate();
        break;
    case EditItemType_Proxy:
        static_cast<CEditBaseProxyWidget *>(pItem)->updateCoordinate();
        break;
    case EditItemType_Group:
        static_cast<CEditBaseItemGroup *>(pItem)->updateCoordinate();
        break;
    default:
        break;
    }
}

QGraphicsItem *duplicateMember(const QGraphicsItem *pItem)
{
    switch (pItem->type()) {
    case EditItemType_Base:
        return static_cast<const CEditBaseItem *>(pItem)->duplicate();
    case EditItemType_Proxy:
        return static_cast<const CEditBaseProxyWidget *>(pItem)->duplicate();
    case EditItemType_Group:
        return static_cast<const CEditBaseItemGroup *>(pItem)->duplicate();
    default:
        return nullptr;
    }
}

void logLine(const QString &strText)
{
    qInfo().noquote() << QString("[%1]: ").arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss")) + strText;
}

} // namespace

CEditBaseItemGroup::CEditBaseItemGroup(QGraphicsItem *parent)
    : QObject(nullptr)
    , CEditAbstractItem<QGraphicsItemGroup>(parent)
    , m_parent(parent)
{
    createHandles();
    setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable | QGraphicsItem::ItemSendsGeometryChanges);
    setAcceptHoverEvents(true);
    m_lineColor = QColor(0, 255, 0);
    m_nLineWidth = 0;
    m_penLine = QPen(QBrush(m_lineColor), m_nLineWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    m_bShowNormal = false;
}

CEditBaseItemGroup::~CEditBaseItemGroup() = default;

QList<QGraphicsItem *> CEditBaseItemGroup::members() const
{
    QList<QGraphicsItem *> list;
    for (QGraphicsItem *pChild : childItems())
        if (pChild->type() != EditItemType_BackCanvas)
            list << pChild;
    return list;
}

QString CEditBaseItemGroup::displayName() const
{
    return tr("item group");
}

void CEditBaseItemGroup::control(int dir, const QPointF &point)
{
    Q_UNUSED(point)
    if (dir > 7)
        updatehandles();
}

void CEditBaseItemGroup::updatehandles()
{
    placeHandles(boundingRect(), m_bShowNormal);
}

void CEditBaseItemGroup::setItemState(EditSelectionHandleState state)
{
    for (CEditSizeHandleRect *h : m_handles)
        if (m_bShowNormal || h->dir() == 4 || h->dir() == 8)
            h->setState(state);
    for (QGraphicsItem *pChild : childItems())
        pChild->setSelected(state != EditSelectionHandleOff);
}

void CEditBaseItemGroup::updateCoordinate()
{
    if (itemsBoundingRect.isNull())
        itemsBoundingRect = QGraphicsItemGroup::boundingRect();
    const QPointF origin = mapToScene(transformOriginPoint());
    const QPointF centre = mapToScene(itemsBoundingRect.center());
    const QPointF delta = origin - centre;
    m_initialRect = itemsBoundingRect;
    m_width = itemsBoundingRect.width();
    m_height = itemsBoundingRect.height();
    setTransform(transform().translate(delta.x(), delta.y()));
    setTransformOriginPoint(itemsBoundingRect.center());
    moveBy(-delta.x(), -delta.y());
    for (QGraphicsItem *pMember : members())
        updateMember(pMember);
    updatehandles();
}

void CEditBaseItemGroup::stretch(int dir, double sx, double sy, const QPointF &origin)
{
    if (!m_bShowNormal && dir != 4 && dir != 8)
        return;
    if (dir == 2 || dir == 6)
        sx = 1.0;
    if (dir == 4 || dir == 8)
        sy = 1.0;
    if (!std::isfinite(sx) || !std::isfinite(sy))
        return;
    for (QGraphicsItem *pMember : members())
        stretchMember(pMember, dir, sx, sy, pMember->mapFromParent(origin));
    QTransform trans;
    trans.translate(origin.x(), origin.y());
    trans.scale(sx, sy);
    trans.translate(-origin.x(), -origin.y());
    prepareGeometryChange();
    itemsBoundingRect = trans.mapRect(m_initialRect);
    m_width = itemsBoundingRect.width();
    m_height = itemsBoundingRect.height();
    updatehandles();
}

void CEditBaseItemGroup::moveItem(const QPointF &pos)
{
    QPointF p = pos;
    if (!m_bShowNormal) {
        p.setX(std::max(p.x(), m_width / 2 + 5));
        p.setY(std::max(p.y(), m_height / 2 + 20));
    }
    setPos(p);
}

CEditBaseItemGroup *CEditBaseItemGroup::createGroup(const QList<QGraphicsItem *> &items) const
{
    QList<QGraphicsItem *> ancestors;
    QGraphicsItem *pAncestor = nullptr;
    if (!items.isEmpty()) {
        for (QGraphicsItem *p = items.first()->parentItem(); p; p = p->parentItem())
            ancestors << p;
        if (!ancestors.isEmpty()) {
            for (int i = 1; i < items.size(); ++i) {
                QGraphicsItem *pFound = nullptr;
                for (QGraphicsItem *p = items.at(i); p && !pFound; p = p->parentItem())
                    if (ancestors.contains(p))
                        pFound = p;
                pAncestor = pFound;
                if (!pFound)
                    break;
            }
            if (items.size() == 1)
                pAncestor = ancestors.first();
        }
    }
    CEditBaseItemGroup *pGroup = new CEditBaseItemGroup(pAncestor);
    for (QGraphicsItem *pItem : items) {
        pItem->setSelected(false);
        if (!dynamic_cast<QGraphicsItemGroup *>(pItem->parentItem()))
            pGroup->addToGroup(pItem);
    }
    return pGroup;
}

QList<QGraphicsItem *> CEditBaseItemGroup::duplicateItems() const
{
    QList<QGraphicsItem *> list;
    for (QGraphicsItem *pMember : members())
        if (QGraphicsItem *pCopy = duplicateMember(pMember))
            list << pCopy;
    return list;
}

QGraphicsItem *CEditBaseItemGroup::duplicate() const
{
    CEditBaseItemGroup *pGroup = createGroup(duplicateItems());
    pGroup->setPos(pos());
    pGroup->setPen(pen());
    pGroup->setBrush(brush());
    pGroup->setTransform(transform());
    pGroup->setTransformOriginPoint(transformOriginPoint());
    pGroup->setRotation(rotation());
    pGroup->setScale(scale());
    pGroup->setZValue(zValue() + 0.1);
    pGroup->updateCoordinate();
    pGroup->m_width = m_width;
    pGroup->m_height = m_height;
    return pGroup;
}

void CEditBaseItemGroup::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    if (!(option->state & QStyle::State_Selected))
        return;
    const QRectF unit = painter->transform().mapRect(QRectF(0, 0, 1, 1));
    if (qFuzzyIsNull(std::max(unit.width(), unit.height())))
        return;
    const QRectF bound = painter->transform().mapRect(boundingRect());
    if (std::min(bound.width(), bound.height()) < 1.0)
        return;
    const int pad = m_nLineWidth / 2;
    m_penLine.setColor(m_lineColor);
    m_penLine.setWidth(m_nLineWidth);
    painter->setPen(m_penLine);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(boundingRect().adjusted(-pad, -pad, pad, pad));
}

void CEditBaseItemGroup::dragEnterEvent(QGraphicsSceneDragDropEvent *event)
{
    logLine("item group in");
    QGraphicsItemGroup::dragEnterEvent(event);
}

void CEditBaseItemGroup::dragLeaveEvent(QGraphicsSceneDragDropEvent *event)
{
    logLine("item group out");
    QGraphicsItemGroup::dragLeaveEvent(event);
}
