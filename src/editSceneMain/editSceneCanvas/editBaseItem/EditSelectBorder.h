#ifndef EDITSELECTBORDER_H
#define EDITSELECTBORDER_H

// The selection tool: the scene's mouse tool of kind `selection`.
//
// A press selects (through the graphics scene's own handling), grabs the single selected item by
// its body (move), by one of its eight handles (resize) or by a control point, or starts a
// rubber-band selection on empty ground. Before anything happens on a scene that the device is
// not showing, the operator is asked whether to recall that scene; that press selects nothing.
//
// A single layer is moved with magnetic snapping: its edges cling to the edges of the other
// layers and of the background canvas within 2 x MAGNETIC_RANGE scene units, the layer is held
// there until the cursor has travelled more than that distance further, and the guide lines are
// announced on "slot_verMagneticLine" / "slot_horMagneticLine".
//
// Whenever the pointer is back at the press point the dragged item is where it was at the press
// (snapped or not), and a release there sends nothing.
//
// On release a moved or resized layer sends its geometry to the device, once. Layers moved
// together as a multi-selection each send theirs. On a screen driven by two outputs a layer
// that did not straddle the middle at the press and straddles it now is handed to the scene's
// layer-limit check instead.
//
// Both questions (the recall, the layer-limit check) are nested waits through CGuardedWait: the
// scene may be gone when they return, and the tool then stops without touching it; the gesture
// is over before the first question is asked.

#include <QList>
#include <QMap>
#include <QPair>
#include <QPointF>
#include <QPointer>
#include <QRectF>

#include "EditBaseItemBorder.h"

class CEditBaseItem;
class CEditBaseItemGroup;
class CEditBaseProxyWidget;
class CEditSingleTextItem;
class QGraphicsItem;

class CEditSelectBorder : public CEditBaseItemBorder
{
public:
    CEditSelectBorder();
    ~CEditSelectBorder() override;

    void mousePressEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene) override;

    // ---- magnetic snapping
    // One drag step of a single layer with snapping; nothing for a null item.
    void moveMagneticItem(QGraphicsSceneMouseEvent *event, CEditBaseItem *pItem, CEditBaseScene *pScene);
    // Collects the candidate rectangles (the scene's other items, then the background canvas)
    // and compares each with the layer's own.
    void magneticCalculation(QGraphicsSceneMouseEvent *event, CEditBaseItem *pItem, CEditBaseScene *pScene);
    // Compares one candidate with the layer: edge flags, targets and guide lines.
    void magneticLine(const QRectF &other, const QRectF &own);
    // Proximity gate: an edge of b comes within 2 x MAGNETIC_RANGE of a parallel edge of a.
    static bool isInMagneticRange(const QRectF &a, const QRectF &b);
    // The integer rectangle an item takes part in snapping with.
    static QRectF magneticRect(const QPointF &centre, qreal width, qreal height);

    // Resize factor of one axis: a over b, 1 where b is (nearly) zero, so a degenerate box never
    // yields an infinite or undefined scale.
    static double stretchFactor(double a, double b);

    static const int PADDING = 3;
    static const int MAGNETIC_RANGE = 3;

private:
    void mousePressBaseItem(const QPointF &pos, CEditBaseScene *pScene);
    void mousePressBaseItemGroup(const QPointF &pos, CEditBaseScene *pScene);
    void mousePressProxyWidget(CEditBaseProxyWidget *pProxy, const QPointF &pos, CEditBaseScene *pScene);
    void mouseMoveItem(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene);
    void mouseMoveBaseItemGroup(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene);
    void mouseMoveProxyWidget(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene);
    void setCurShape(CEditBaseScene *pScene, int nHandle);
    // Handle, mode, opposite point and cursor for an item grabbed at pos.
    template <typename T>
    void grabItem(T *pItem, const QPointF &pos, CEditBaseScene *pScene);
    // The stretch factors of the current resize drag, in the item's own coordinates.
    template <typename T>
    QPointF resizeFactors(T *pItem);
    // Remembers every selected layer of a multi-selection with its place and cross state.
    void rememberSelectedLayers(CEditBaseScene *pScene);
    // Sends a moved or resized layer's geometry, with the two-output check; false when the scene
    // went away while that check's question was open.
    bool sendLayerGeometry(CEditSingleTextItem *pLayer, bool bCrossAtPress, CEditBaseScene *pScene);
    // True when the device shows the scene; otherwise offers the recall (a question) and false.
    bool askRecall(CEditBaseScene *pScene);
    // A single item dragged back to the press point: put where it was at the press, the
    // snapping hold let go.
    void returnToPress(CEditBaseItem *pItem);
    // Forgets the gesture: mode, handle, grabbed items.
    void endGesture();

    QPointF m_ptInitialPositions;
    QPointF m_ptOpposite;
    bool m_bHaveOpposite = false; // m_ptOpposite belongs to the resize under way
    QPointer<CEditBaseProxyWidget> m_pProxyWidgetSelected;
    QMap<int, double> m_mapSelectItem;

    QPointF m_magneticPointTL;
    QPointF m_magneticPointBR;
    bool m_isMagneticMoveX = false;
    bool m_isMagneticMoveY = false;
    bool m_tIsMagnetic = false;
    bool m_bIsMagnetic = false;
    bool m_lIsMagnetic = false;
    bool m_rIsMagnetic = false;
    bool m_bIsCross = false;

    // The layers of a multi-selection at the press: the layer, its centre, whether it straddled
    // the middle of a two-output screen.
    struct PressedLayer
    {
        QPointer<CEditSingleTextItem> pLayer;
        QPointF ptPos;
        bool bCross = false;
    };
    QList<PressedLayer> m_listPressedLayers;
};

#endif // EDITSELECTBORDER_H
