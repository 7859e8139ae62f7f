#ifndef TITLEWIDGET_H
#define TITLEWIDGET_H

#include <QWidget>

// The title row of the editor frames and of the screen dialog. A double click
// of the left button asks the window to toggle between maximised and normal;
// moving and resizing are the window's CTitleHelper's work.
class CTitleWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CTitleWidget(QWidget *parent = nullptr);

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

#endif // TITLEWIDGET_H
