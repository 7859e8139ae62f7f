#ifndef BESFRAMELESSFRAME_H
#define BESFRAMELESSFRAME_H

#include <QPoint>

class QMouseEvent;
class QWidget;

// Moving and edge resizing shared by the frameless windows (BesFramelessDialog
// and BesFramelessWidget). Not a QObject: each window inherits it beside its
// Qt base, passes itself in, and forwards its mouse handlers here.
class BesFramelessFrame
{
public:
    enum Direction { UP = 0, DOWN, LEFT, RIGHT, LEFTTOP, LEFTBOTTOM, RIGHTBOTTOM, RIGHTTOP, NONE };

    // How far the two cross corners (LEFTBOTTOM, RIGHTTOP) respect the
    // minimum size: the dialog lets them pass it, the widget keeps to it.
    enum CrossCorners { CrossCornersFree, CrossCornersKeepMinimum };

    int getFrameBorder() const;

    // Hit test of a global pointer position: sets dir and the cursor.
    void region(const QPoint &cursorGlobalPoint);

protected:
    BesFramelessFrame(QWidget *pWindow, CrossCorners eCrossCorners);
    ~BesFramelessFrame() = default;
    BesFramelessFrame(const BesFramelessFrame &) = delete;
    BesFramelessFrame &operator=(const BesFramelessFrame &) = delete;

    // Returns false when the press is not the left button (the caller hands
    // it on to its base class).
    bool framePress(QMouseEvent *event);
    void frameRelease(QMouseEvent *event);
    void frameMove(QMouseEvent *event);

    bool isLeftPressDown;
    QPoint dragPosition;
    Direction dir;
    int border;

private:
    QWidget *m_pWindow;
    CrossCorners m_eCrossCorners;
};

#endif // BESFRAMELESSFRAME_H
