// Both editor frames on a laptop's screen, started as the program starts (high-DPI handling,
// style sheet). Run on an X server of its own (tests/support/onscreen.sh, tests/CMakeLists.txt):
// the offscreen platform's one screen is fixed at 800 x 600.
#include <QApplication>
#include <QtTest>

#include <QAbstractButton>
#include <QFile>
#include <QPushButton>
#include <QScreen>

#include <memory>

#include "BesMessageBox.h"
#include "ConsoleStart.h"
#include "DeviceControl.h"
#include "DeviceSimulator.h"
#include "EditSceneMain.h"
#include "SwitchButton.h"
#include "TcpDeviceThread.h"
#include "mainwindow.h"
#include "zinferface.h"

class TestSmallScreen : public QObject
{
    Q_OBJECT

    // The frame lies within the available area, and so does every button it shows; the buttons
    // named (close, apply, ...) are shown whole, not cut off by the panel that holds them.
    static void checkOnTheScreen(QWidget *pFrame, const QStringList &listNeeded)
    {
        QVERIFY(QTest::qWaitForWindowExposed(pFrame));
        QList<QAbstractButton *> listButtons;
        for (const QString &strName : listNeeded) {
            listButtons << pFrame->findChild<QAbstractButton *>(strName);
            QVERIFY2(listButtons.last(), qPrintable(strName));
            QTRY_VERIFY2_WITH_TIMEOUT(listButtons.last()->isVisible(), qPrintable(strName), 10000);
        }
        const QRect rtRoom = pFrame->screen()->availableGeometry();
        QVERIFY2(rtRoom.contains(pFrame->frameGeometry()),
                 qPrintable(QString("%1: %2,%3 %4x%5").arg(pFrame->objectName()).arg(pFrame->x()).arg(pFrame->y())
                                .arg(pFrame->width()).arg(pFrame->height())));
        // (a strip parked outside its panel, a button under another, shows nothing)
        for (QAbstractButton *pButton : pFrame->findChildren<QAbstractButton *>()) {
            if (pButton->isVisible() && pButton->window() == pFrame && !pButton->visibleRegion().isEmpty())
                QVERIFY2(rtRoom.contains(QRect(pButton->mapToGlobal(QPoint(0, 0)), pButton->size())),
                         qPrintable(pButton->objectName() + " " + pButton->text()));
        }
        for (QAbstractButton *pButton : listButtons)
            QVERIFY2(pButton->visibleRegion().boundingRect() == pButton->rect(), qPrintable(pButton->objectName()));
    }

private slots:
    void bothFramesOpenWithinTheScreen()
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QSKIP("needs a screen of a laptop's size (tests/support/onscreen.sh)");
        MainWindow::setDiscoveryPort(0, QHostAddress::LocalHost);
        MainWindow::setSerialPortLister([]() { return QStringList(); });
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
        CDeviceSimulator simT(CSimDeviceModel::Tarn, 4, 2);
        CDeviceSimulator simZ(CSimDeviceModel::Z, 3, 2);
        simT.setSerial("TSN");
        simZ.setSerial("ZSN");
        QVERIFY(CDeviceSimulator::listenOnOnePort(simT, QHostAddress("127.0.0.6"), simZ, QHostAddress("127.0.0.7")));
        MainWindow::setDevicePort(simT.port());
        std::unique_ptr<MainWindow> pWindow(g_startConsole(*qApp));
        pWindow->slot_newDevice({"127.0.0.6", QString(), "Tarn-3", "TSN"});
        pWindow->slot_newDevice({"127.0.0.7", QString(), "Z7", "ZSN"});
        QTest::mouseClick(pWindow->checkR4Exist("TSN")->switchButton(), Qt::LeftButton);
        QTest::mouseClick(pWindow->checkR4Exist("ZSN")->switchButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(pWindow->getCurrentDevice("TSN")->getDeviceInfo()->vectorInput.size() == 4
                                     && pWindow->getCurrentDevice("ZSN")->getDeviceInfo()->vectorInput.size() == 3,
                                 10000);

        pWindow->checkR4Exist("TSN")->findChild<QPushButton *>("btnEdit")->click();
        checkOnTheScreen(pWindow->editSceneMain(), {"btnClose", "btnMin", "btnNormalMax", "Application"});
        pWindow->checkR4Exist("ZSN")->findChild<QPushButton *>("btnEdit")->click();
        checkOnTheScreen(pWindow->zInterface(),
                         {"btnClose", "btnMin", "btnNormalMax", "ZApplication", "SilenttoolButton", "SavescenepushButton"});
        pWindow.reset();
        CTcpDeviceThread::setEditedDeviceSerial(QString());
        QFile::remove("Morvane.ini");
    }
};

int main(int argc, char *argv[])
{
    g_prepareConsoleApplication();
    QApplication app(argc, argv);
    TestSmallScreen tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_smallscreen.moc"
