#ifndef LOCKWIDGET_H
#define LOCKWIDGET_H

#include <QWidget>

namespace Ui {
class LockWidget;
}

// The overlay with which an editor frame locks itself: a frameless,
// semi-transparent black window laid over the frame, with one large unlock
// button in its middle. The window system cannot close it; only the button
// unlocks, and the frame hides it then.
class CLockWidget : public QWidget
{
    Q_OBJECT
public:
    CLockWidget(QRect rect, QWidget *parent = nullptr);
    ~CLockWidget() override;

    void setOpacity(double dOpacity);
    void setBgColor(QColor &color);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButtonLock_clicked();

private:
    Ui::LockWidget *ui;
};

#endif // LOCKWIDGET_H
