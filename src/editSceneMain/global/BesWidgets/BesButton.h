#ifndef BESBUTTON_H
#define BESBUTTON_H

#include <QPushButton>

// Push button of the Bes family: shows the pointing hand while hovered.
class BesButton : public QPushButton
{
public:
    explicit BesButton(QWidget *parent = nullptr);

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
};

#endif // BESBUTTON_H
