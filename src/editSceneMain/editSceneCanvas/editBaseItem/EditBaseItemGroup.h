#ifndef EDITBASEITEMGROUP_H
#define EDITBASEITEMGROUP_H

// Several canvas items bound into one that is selected, moved, stretched and copied as a
// whole. Its rectangle is the united rectangle of its members; stretching and coordinate
// updates pass on to the members. Members are the child items other than the handles (which
// are rectangle items, type 3). Outside normal show mode only the left- and right-centre
// handles work.

#include <QGraphicsItemGroup>
#include <QObject>

#include "EditBaseItem.h"

class CEditBaseItemGroup : public QObject, public CEditAbstractItem<QGraphicsItemGroup>
{
    Q_OBJECT
public:
    enum { Type = EditItemType_Group };

    explicit CEditBaseItemGroup(QGraphicsItem *parent = nullptr);
    ~CEditBaseItemGroup() override;

    int type() const override { return Type; }
    QRectF boundingRect() const override { return itemsBoundingRect; }
    QString displayName() const override;
    QGraphicsItem *duplicate() const override;
    void control(int dir, const QPointF &point) override;
    void stretch(int dir, double sx, double sy, const QPointF &origin) override;
    void updateCoordinate() override;
    void updatehandles() override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    void setItemState(EditSelectionHandleState state);
    void moveItem(const QPointF &pos);
    CEditBaseItemGroup *createGroup(const QList<QGraphicsItem *> &items) const;
    QList<QGraphicsItem *> duplicateItems() const;
    // The members: child items other than the handles.
    QList<QGraphicsItem *> members() const;

    QGraphicsItem *m_parent = nullptr;
    QRectF itemsBoundingRect;
    QRectF m_initialRect;

signals:
    void sig_selectedChange(QGraphicsItem *item);

protected:
    void dragEnterEvent(QGraphicsSceneDragDropEvent *event) override;
    void dragLeaveEvent(QGraphicsSceneDragDropEvent *event) override;
};

#endif // EDITBASEITEMGROUP_H
