// frameshots - shows the console's windows one after another with simulated devices, for
// tools/screenshots.sh: the device list with a Tarn and a Z device switched on, then the Tarn
// editor frame and the Z editor frame opened on them, each at its default size, in Chinese and
// then in English (the "-en" shots). For each window it prints
//   shot <name> <X window id>
// and waits for a line on its standard input before going on; "done" ends the list.

#include <QApplication>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <iostream>
#include <string>

#include "DeviceControl.h"
#include "DeviceSimulator.h"
#include "EditSceneMain.h"
#include "ConsoleStart.h"
#include "SwitchButton.h"
#include "TcpDeviceThread.h"
#include "mainwindow.h"
#include "zinferface.h"

static bool waitFor(const std::function<bool()> &fnDone, int nMs)
{
    QElapsedTimer t;
    t.start();
    while (!fnDone() && t.elapsed() < nMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return fnDone();
}

static void settle(int nMs)
{
    waitFor([]() { return false; }, nMs);
}

// Prints the window and waits for the caller to take its picture.
static void shot(const char *pszName, QWidget *pWindow)
{
    pWindow->raise();
    settle(600);
    std::printf("shot %s %llu\n", pszName, static_cast<unsigned long long>(pWindow->winId()));
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
}

int main(int argc, char *argv[])
{
    g_prepareConsoleApplication();
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules("*.info=false");

    CDeviceSimulator simTarn(CSimDeviceModel::Tarn, 4, 2);
    CDeviceSimulator simZ(CSimDeviceModel::Z, 3, 2);
    simTarn.setSerial("SIM1");
    simZ.setSerial("SIM2");
    bool bListening = false;
    for (int i = 0; i < 20 && !bListening; ++i)
        bListening = simTarn.listen(QHostAddress("127.0.0.2"), 0)
                     && simZ.listen(QHostAddress("127.0.0.3"), simTarn.port());
    if (!bListening) {
        std::fprintf(stderr, "frameshots: the simulated devices could not listen\n");
        return 1;
    }
    MainWindow::setDevicePort(simTarn.port());
    MainWindow::setDiscoveryPort(0, QHostAddress::LocalHost);

    // Started as the program starts: style sheet first, then the device list shown.
    MainWindow *pWindow = g_startConsole(app);

    pWindow->slot_newDevice({"127.0.0.2", QString(), "Tarn-3", "SIM1"});
    pWindow->slot_newDevice({"127.0.0.3", QString(), "Z7", "SIM2"});
    for (const char *pszSerial : {"SIM1", "SIM2"}) {
        QWidget *pSwitch = pWindow->checkR4Exist(pszSerial)->switchButton();
        const QPoint at = pSwitch->rect().center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, pSwitch->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(pSwitch, &event);
        }
    }
    const bool bRead = waitFor(
        [pWindow]() {
            return pWindow->getCurrentDevice("SIM1")->getDeviceInfo()->vectorInput.size() == 4
                   && pWindow->getCurrentDevice("SIM2")->getDeviceInfo()->vectorInput.size() == 3;
        },
        8000);
    if (!bRead) {
        std::fprintf(stderr, "frameshots: the simulated devices were not read\n");
        return 1;
    }
    shot("devicelist", pWindow);

    pWindow->checkR4Exist("SIM1")->findChild<QPushButton *>("btnEdit")->click();
    shot("tarnframe", pWindow->editSceneMain());
    pWindow->editSceneMain()->hide();

    pWindow->checkR4Exist("SIM2")->findChild<QPushButton *>("btnEdit")->click();
    // the strip shows the main source once its state was read
    pWindow->getCurrentDevice("SIM2")->setInputSrcCmd();
    settle(800);
    shot("zframe", pWindow->zInterface());
    pWindow->zInterface()->hide();

    // The same frames in English; the language goes back to Chinese afterwards, as it is stored.
    QMetaObject::invokeMethod(pWindow, "on_comboBoxLanguage_activated", Q_ARG(int, 1));
    settle(300);
    pWindow->checkR4Exist("SIM1")->findChild<QPushButton *>("btnEdit")->click();
    shot("tarnframe-en", pWindow->editSceneMain());
    pWindow->editSceneMain()->hide();
    pWindow->checkR4Exist("SIM2")->findChild<QPushButton *>("btnEdit")->click();
    settle(300);
    shot("zframe-en", pWindow->zInterface());
    pWindow->zInterface()->hide();
    QMetaObject::invokeMethod(pWindow, "on_comboBoxLanguage_activated", Q_ARG(int, 0));

    std::printf("done\n");
    std::fflush(stdout);
    delete pWindow;
    return 0;
}
