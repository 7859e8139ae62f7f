#ifndef BESFRAMELESSWIDGET_H
#define BESFRAMELESSWIDGET_H

#include "BesFramelessFrame.h"
#include "BesShadowWidget.h"

// Frameless top-level widget, moved by dragging its surface and resized from
// its edges and corners (the widget twin of BesFramelessDialog; its two cross
// corners keep to the minimum size).
class BesFramelessWidget : public BesShadowWidget, public BesFramelessFrame
{
    Q_OBJECT
public:
    explicit BesFramelessWidget(QWidget *parent = nullptr);

    void SetFrameBorder(int nBorder);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
};

#endif // BESFRAMELESSWIDGET_H
