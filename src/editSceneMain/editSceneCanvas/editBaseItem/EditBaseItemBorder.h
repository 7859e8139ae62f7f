#ifndef EDITBASEITEMBORDER_H
#define EDITBASEITEMBORDER_H

// The mouse tools of the scene. The scene does not handle the mouse itself: on every press,
// move and release it asks findTool() for the tool of the current kind (m_sBorderType) and hands
// the event and itself to that tool. A tool registers itself in the base constructor; the
// selection tool and the rotation tool are objects of static storage duration, made in that
// order in one source file, and live until the program ends.
//
// The base keeps the press and move positions that all tools share; a concrete tool overrides
// the three handlers and calls the base ones first.

#include <QCursor>
#include <QList>
#include <QPointF>

class CEditBaseScene;
class QGraphicsSceneMouseEvent;

enum BorderType
{
    selection = 0,
    rotation = 1,
    line = 2,
    rectangle = 3,
    roundrect = 4,
    ellipse = 5,
    bezier = 6,
    polygon = 7,
    polyline = 8
};

// The current mouse action of the tools.
enum SelectMode
{
    none = 0,
    netSelect = 1,
    move = 2,
    size = 3,
    rotate = 4,
    editor = 5
};

extern SelectMode g_selectMode;
extern int g_nDragHandle; // direction of the handle grabbed at the press, 0 when none

// Sets the cursor on the scene's view; nothing when the scene is shown in no view.
void setCursor(CEditBaseScene *pScene, const QCursor &cursor);

class CEditBaseItemBorder
{
public:
    explicit CEditBaseItemBorder(BorderType type);
    virtual ~CEditBaseItemBorder();

    virtual void mousePressEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene);
    virtual void mouseMoveEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene);
    virtual void mouseReleaseEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene);

    // The first registered tool of that kind, or null.
    static CEditBaseItemBorder *findTool(BorderType type);
    // Every tool, in construction order.
    static QList<CEditBaseItemBorder *> &tools();

    BorderType borderType() const { return m_BorderType; }

    static QPointF m_down;
    static QPointF m_sLast;
    static int m_nMagneticX;
    static int m_nMagneticY;
    static BorderType m_sBorderType;

protected:
    BorderType m_BorderType;
    bool m_hoverSizer = false;
};

#endif // EDITBASEITEMBORDER_H
