#ifndef BESFRAMELESSDIALOG_H
#define BESFRAMELESSDIALOG_H

#include "BesShadowDialog.h"

// Frameless shadow dialog that the operator moves by dragging its surface and
// resizes from its edges and corners (the 8 px glow band).
class BesFramelessDialog : public BesShadowDialog
{
    Q_OBJECT
public:
    enum Direction { UP = 0, DOWN, LEFT, RIGHT, LEFTTOP, LEFTBOTTOM, RIGHTBOTTOM, RIGHTTOP, NONE };

    explicit BesFramelessDialog(QWidget *parent = nullptr);

    void SetFrameBorder(int nBorder);
    int getFrameBorder() const;

    // Hit test of a global pointer position: sets dir and the cursor.
    void region(const QPoint &cursorGlobalPoint);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

    bool isLeftPressDown;
    QPoint dragPosition;
    Direction dir;
    int border;
};

#endif // BESFRAMELESSDIALOG_H
