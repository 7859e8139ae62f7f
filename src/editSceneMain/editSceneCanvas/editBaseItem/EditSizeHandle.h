#ifndef EDITSIZEHANDLE_H
#define EDITSIZEHANDLE_H

// One of the eight small handles on the border of a selected canvas item. A handle is a child
// item of its owner; the owner places it (updatehandles), shows and hides it (setItemState), and
// the mouse tools find it under the cursor by its direction number:
// 1 top-left, 2 top-centre, 3 top-right, 4 right-centre, 5 bottom-right, 6 bottom-centre,
// 7 bottom-left, 8 left-centre. The opposite of handle d is ((d + 3) mod 8) + 1.

#include <QColor>
#include <QGraphicsRectItem>

enum EditSelectionHandleState
{
    EditSelectionHandleOff = 0,
    EditSelectionHandleInactive = 1,
    EditSelectionHandleActive = 2
};

class CEditSizeHandleRect : public QGraphicsRectItem
{
public:
    CEditSizeHandleRect(QGraphicsItem *parent, int dir, bool controlPoint);

    int dir() const { return m_dir; }
    void move(qreal x, qreal y);
    void setState(EditSelectionHandleState st);
    EditSelectionHandleState state() const { return m_state; }
    QColor borderColor() const { return m_borderColor; }

    // The dot is drawn larger than the 6 x 6 hit rectangle; the bounding rectangle covers it so
    // that no stale pixels stay behind, while shape() keeps the small hit area.
    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;

private:
    const int m_dir;
    QColor m_borderColor;
    bool m_controlPoint;
    EditSelectionHandleState m_state = EditSelectionHandleOff;
};

#endif // EDITSIZEHANDLE_H
