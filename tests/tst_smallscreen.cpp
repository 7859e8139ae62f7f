// Both editor frames on a laptop's screen, started as the program starts. Runs on Xvfb servers of
// its own (support/onscreen.sh): offscreen's one screen is fixed at 800 x 600.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
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

    // The frame and every button it shows lie within the available area; the buttons named are
    // shown whole, not cut off by their panel (a strip parked outside its panel shows nothing).
    static void checkOnTheScreen(QWidget *pFrame, const QStringList &listNamed)
    {
        QVERIFY(QTest::qWaitForWindowExposed(pFrame));
        for (const QString &strName : listNamed)
            QTRY_VERIFY2_WITH_TIMEOUT(pFrame->findChild<QAbstractButton *>(strName)
                                          && pFrame->findChild<QAbstractButton *>(strName)->isVisible(),
                                      qPrintable(strName), 10000);
        const QRect rtRoom = pFrame->screen()->availableGeometry();
        QVERIFY2(rtRoom.contains(pFrame->frameGeometry()), qPrintable(pFrame->objectName()));
        for (QAbstractButton *pButton : pFrame->findChildren<QAbstractButton *>())
            if (pButton->isVisible() && pButton->window() == pFrame && !pButton->visibleRegion().isEmpty())
                QVERIFY2(rtRoom.contains(QRect(pButton->mapToGlobal(QPoint(0, 0)), pButton->size())),
                         qPrintable(pButton->objectName()));
        for (const QString &strName : listNamed) {
            QWidget *pButton = pFrame->findChild<QAbstractButton *>(strName);
            QVERIFY2(pButton->visibleRegion().boundingRect() == pButton->rect(), qPrintable(strName));
        }
    }

private slots:
    void bothFramesOpenWithinTheScreen()
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QSKIP("needs a screen of a laptop's size (support/onscreen.sh)");
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
        for (const char *pszSerial : {"TSN", "ZSN"}) {
            QTest::mouseClick(pWindow->checkR4Exist(pszSerial)->switchButton(), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!pWindow->getCurrentDevice(pszSerial)->getDeviceInfo()->vectorInput.isEmpty(), 10000);
        }
        pWindow->checkR4Exist("TSN")->findChild<QPushButton *>("btnEdit")->click();
        checkOnTheScreen(pWindow->editSceneMain(), {"btnClose", "btnNormalMax", "Application"});
        pWindow->checkR4Exist("ZSN")->findChild<QPushButton *>("btnEdit")->click();
        checkOnTheScreen(pWindow->zInterface(), {"btnClose", "btnNormalMax", "ZApplication", "SilenttoolButton",
                                                 "SavescenepushButton"});
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
