#ifndef SYSTEMTRAY_H
#define SYSTEMTRAY_H

#include <QSystemTrayIcon>

class QAction;
class QMenu;

// Tray icon with a menu to show, hide, tell about and quit the program.
class SystemTray : public QSystemTrayIcon
{
    Q_OBJECT
public:
    explicit SystemTray(QWidget *parent = nullptr);
    ~SystemTray() override;

    QAction *getShowWidget() const;
    QAction *getMinWidget() const;
    QAction *getAboutSoftWare() const;

signals:
    void showMainWindow();
    void showAboutUs();

public slots:
    void aboutSlot();

private:
    QMenu *myMenu;
    QAction *showWidget;
    QAction *minWidget;
    QAction *aboutSoftWare;
    QAction *exitSoftWare;
};

#endif // SYSTEMTRAY_H
