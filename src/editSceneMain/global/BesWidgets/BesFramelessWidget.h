#ifndef BESFRAMELESSWIDGET_H
#define BESFRAMELESSWIDGET_H

#include "BesShadowWidget.h"

// Frameless top-level widget, moved by dragging its surface and resized from
// its edges and corners (the widget twin of BesFramelessDialog).
class BesFramelessWidget : public BesShadowWidget
{
    Q_OBJECT
public:
    enum Direction { UP = 0, DOWN, LEFT, RIGHT, LEFTTOP, LEFTBOTTOM, RIGHTBOTTOM, RIGHTTOP, NONE };

    explicit BesFramelessWidget(QWidget *parent = nullptr);

    void SetFrameBorder(int nBorder);
    int getFrameBorder() const;
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

#endif // BESFRAMELESSWIDGET_H
