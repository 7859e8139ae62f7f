#ifndef EDITROTATIONBORDER_H
#define EDITROTATIONBORDER_H

// The rotation tool: the scene's mouse tool of kind `rotation`. The operator turns the single
// selected item by dragging one of its handles around the item's centre; a dashed outline
// follows the cursor during the drag and the item takes the new angle once, at release. A press
// that hits no handle gives control back to the selection tool.
//
// Angles are whole degrees of difference added to the item's rotation; beyond +-360 they wrap
// once. Scene y grows downwards, so the angle grows clockwise on screen.

#include <QPointF>
#include <QPointer>
#include <QtGlobal>

#include "EditBaseItemBorder.h"

class QGraphicsItem;
class QGraphicsPathItem;

class CEditRotationBorder : public CEditBaseItemBorder
{
public:
    CEditRotationBorder();
    ~CEditRotationBorder() override;

    void mousePressEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene) override;

    // The angle of a scene point around the item's centre, in degrees.
    static qreal angleAround(const QGraphicsItem *pItem, const QPointF &ptScene);
    // The item's rotation turned by the whole degrees between two cursor angles, wrapped once
    // when beyond +-360.
    static qreal turnedAngle(qreal dRotation, qreal dNowAngle, qreal dLastAngle);
    // The dashed outline of the drag under way, null otherwise.
    QGraphicsPathItem *outline() const { return m_pOutlineScene ? m_pFrameRectItem : nullptr; }

private:
    void removeOutline();

    qreal lastAngle = 0;
    QGraphicsPathItem *m_pFrameRectItem = nullptr;
    // The scene that holds the outline: a scene that goes takes the outline with it.
    QPointer<CEditBaseScene> m_pOutlineScene;
};

#endif // EDITROTATIONBORDER_H
