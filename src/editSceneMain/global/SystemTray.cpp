#include "SystemTray.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QMenu>
#include <QUrl>

#include "QorGlobal.h"

SystemTray::SystemTray(QWidget *parent)
    : QSystemTrayIcon(parent)
{
    myMenu = new QMenu();
    showWidget = new QAction(tr("显示窗口 "), myMenu);
    minWidget = new QAction(tr("隐藏窗口 "), myMenu);
    aboutSoftWare = new QAction(tr("关于软件 "), myMenu);
    exitSoftWare = new QAction(tr("退出软件 "), myMenu);
    myMenu->addAction(showWidget);
    myMenu->addAction(minWidget);
    myMenu->addAction(aboutSoftWare);
    myMenu->addAction(exitSoftWare);

    setIcon(QIcon(GlobalSpace::LOGO_PATH));
    setToolTip(tr("Brightpaneer"));
    connect(exitSoftWare, &QAction::triggered, qApp, &QApplication::quit);
    connect(aboutSoftWare, &QAction::triggered, this, &SystemTray::aboutSlot);
    setContextMenu(myMenu);
    if (QSystemTrayIcon::isSystemTrayAvailable())
        show();
}

SystemTray::~SystemTray()
{
    delete myMenu; // the menu has no parent
}

QAction *SystemTray::getShowWidget() const
{
    return showWidget;
}

QAction *SystemTray::getMinWidget() const
{
    return minWidget;
}

QAction *SystemTray::getAboutSoftWare() const
{
    return aboutSoftWare;
}

void SystemTray::aboutSlot()
{
    QDesktopServices::openUrl(QUrl("https://www.example.com/"));
}
