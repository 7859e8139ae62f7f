#ifndef BESFRAMELESSDIALOG_H
#define BESFRAMELESSDIALOG_H

#include "BesFramelessFrame.h"
#include "BesShadowDialog.h"

// Frameless shadow dialog that the operator moves by dragging its surface and
// resizes from its edges and corners (the 8 px glow band).
class BesFramelessDialog : public BesShadowDialog, public BesFramelessFrame
{
    Q_OBJECT
public:
    explicit BesFramelessDialog(QWidget *parent = nullptr);

    void SetFrameBorder(int nBorder);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
};

#endif // BESFRAMELESSDIALOG_H
