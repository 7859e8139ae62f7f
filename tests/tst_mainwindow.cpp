// The device list window without devices on the wire: rows, routing, the
// switch, the edit button's checks, the device name report and shut-down.
#include "TestMain.h"

#include "BesMessageBox.h"
#include "DeviceControl.h"
#include "EditSceneMain.h"
#include "QorGlobal.h"
#include "RecvDeviceThread.h"
#include "SwitchButton.h"
#include "TcpDeviceThread.h"
#include "globalObserver.h"
#include "mainwindow.h"

#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTreeWidgetItem>
#include <QUdpSocket>
#include "SimTestUtil.h"

using SimTest::freeUdpPort;

namespace {

// Records "slot_setDeviceCmd" and "Slot_DisconnectSerialPort".
class HubSpy : public QObject
{
    Q_OBJECT
public:
    QList<QVariantList> cmds;
    int nDisconnectSerial = 0;
    HubSpy()
    {
        globalObserver::getGlobalObserver()->attach(QStringLiteral("slot_setDeviceCmd"), this, "slot_setDeviceCmd");
        globalObserver::getGlobalObserver()->attach(QStringLiteral("Slot_DisconnectSerialPort"), this,
                                                    "Slot_DisconnectSerialPort");
    }
    ~HubSpy() override
    {
        globalObserver::getGlobalObserver()->detach(QStringLiteral("slot_setDeviceCmd"), this);
        globalObserver::getGlobalObserver()->detach(QStringLiteral("Slot_DisconnectSerialPort"), this);
    }
public slots:
    void slot_setDeviceCmd(QString strSerial, QString strCmd, QByteArray &byte, int nRw = 1, int nSub = 0)
    {
        cmds.append({strSerial, strCmd, byte, nRw, nSub});
    }
    void Slot_DisconnectSerialPort() { ++nDisconnectSerial; }
};

QStringList announcement(const QString &strIp, const QString &strType, const QString &strSerial)
{
    return {strIp, QString(), strType, strSerial};
}

void route(const QString &strSerial, const QString &strCmd, QByteArray byte, bool bShort = false)
{
    int nRw = 2;
    int nSub = 7;
    if (bShort)
        globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_setDeviceCmd"), Q_ARG(QString, strSerial),
                                                    Q_ARG(QString, strCmd), Q_ARG(QByteArray &, byte));
    else
        globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_setDeviceCmd"), Q_ARG(QString, strSerial),
                                                    Q_ARG(QString, strCmd), Q_ARG(QByteArray &, byte),
                                                    Q_ARG(int, nRw), Q_ARG(int, nSub));
}

void clickSwitch(MainWindow &w, const QString &strSerial)
{
    QTest::mouseClick(w.checkR4Exist(strSerial)->switchButton(), Qt::LeftButton);
}

// The Tarn frames in existence, counted without asking the window (which builds one).
int tarnFrames()
{
    int nFrames = 0;
    for (QWidget *pWidget : QApplication::topLevelWidgets())
        nFrames += qobject_cast<CEditSceneMain *>(pWidget) != nullptr;
    return nFrames;
}

// The number of Tarn frames when a window is first painted.
class FirstPaintSpy : public QObject
{
public:
    QWidget *pWindow = nullptr;
    int nFramesAtPaint = -1;
    bool eventFilter(QObject *pWatched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && nFramesAtPaint < 0 && pWatched->isWidgetType()
            && static_cast<QWidget *>(pWatched)->window() == pWindow)
            nFramesAtPaint = tarnFrames();
        return false;
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void announcementMakesOneRowPerSerial();
    void routingBySerial();
    void switchOnAsksForSystemSettings();
    void switchOffWhileConnecting();
    void editButtonChecks();
    void deviceNameReport();
    void closeStopsEverything();
    void tarnFrameAfterFirstPaintOrWhenNeeded_data();
    void tarnFrameAfterFirstPaintOrWhenNeeded();
    void thousandDevices();
};

void TestMainWindow::initTestCase()
{
    MainWindow::setDiscoveryPort(freeUdpPort(), QHostAddress(QHostAddress::LocalHost));
    // A port nobody listens on: switching on never connects.
    MainWindow::setDevicePort(1);
    BesMessageBox::setTestAnswer(QMessageBox::Cancel);
}

void TestMainWindow::init()
{
    MainWindow::setSerialPortLister([]() { return QStringList(); });
    BesMessageBox::clearTestRecords();
    g_strDevType = QStringLiteral("Tarn");
}

void TestMainWindow::cleanup()
{
    QFile::remove(QStringLiteral("Morvane.ini"));
}

void TestMainWindow::announcementMakesOneRowPerSerial()
{
    // Serial-port workers come first in the worker list.
    MainWindow::setSerialPortLister([]() { return QStringList{QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB1")}; });
    MainWindow w;
    QCOMPARE(w.deviceList().size(), 2);
    w.slot_newDevice({QStringLiteral("127.0.0.2"), QString(), QStringLiteral("Tarn-3")});
    QCOMPARE(w.rootItem()->childCount(), 0);

    w.slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("SN1")));
    QTreeWidgetItem *pRow = w.rootItem()->child(0);
    QCOMPARE(pRow->text(0), QStringLiteral("127.0.0.2"));
    QCOMPARE(pRow->text(1), QStringLiteral("Tarn-3"));
    QCOMPARE(pRow->text(2), QString());
    CDeviceControl *pControl = w.checkR4Exist(QStringLiteral("SN1"));
    QCOMPARE(pControl->getDeviceId(), 0);
    QCOMPARE(pControl->statusText(), QStringLiteral("离线"));
    CTcpDeviceThread *pDevice = w.getCurrentDevice(QStringLiteral("SN1"));
    QCOMPARE(w.deviceList().indexOf(pDevice), 2);
    QVERIFY(!pDevice->isRunning() && !pDevice->canConnected());
    QCOMPARE(pDevice->getDeviceIp(), QStringLiteral("127.0.0.2"));
    QCOMPARE(pDevice->deviceType(), QStringLiteral("Tarn"));

    // The same serial again: one row, one worker; address and type rewritten,
    // the row widget keeps its type.
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.9"), QStringLiteral("Tarn-6"), QStringLiteral("SN1")));
    QCOMPARE(w.rootItem()->childCount(), 1);
    QCOMPARE(w.deviceList().size(), 3);
    QCOMPARE(pRow->text(0), QStringLiteral("127.0.0.9"));
    QCOMPARE(pRow->text(1), QStringLiteral("Tarn-6"));
    QCOMPARE(pControl->getStrDeviceType(), QStringLiteral("Tarn-3"));

    // Serials and the family test are case-sensitive.
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.3"), QStringLiteral("tarn-3"), QStringLiteral("sn1")));
    QCOMPARE(w.getCurrentDevice(QStringLiteral("sn1"))->deviceType(), QStringLiteral("Z"));
    // The discovery thread's notification is delivered queued.
    const QStringList listInfo = announcement(QStringLiteral("127.0.0.5"), QStringLiteral("Z7"), QStringLiteral("SN5"));
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_newDevice"), Q_ARG(QStringList, listInfo));
    QCOMPARE(w.checkR4Exist(QStringLiteral("SN5"))->getDeviceId(), 2);
    QCOMPARE(w.rowItems().at(2), w.rootItem()->child(2));
}

void TestMainWindow::routingBySerial()
{
    MainWindow w;
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("SN1")));
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.3"), QStringLiteral("Z7"), QStringLiteral("SN2")));
    CTcpDeviceThread *p1 = w.getCurrentDevice(QStringLiteral("SN1"));
    CTcpDeviceThread *p2 = w.getCurrentDevice(QStringLiteral("SN2"));
    const int n1 = p1->queuedCommandCount();
    const int n2 = p2->queuedCommandCount();

    route(QStringLiteral("SN2"), QStringLiteral("图层设置"), QByteArray::fromHex("0001"));
    route(QStringLiteral("SN1"), QStringLiteral("场景操作"), QByteArray::fromHex("01"), true);
    route(QStringLiteral("SN1"), QStringLiteral("获取输入状态"), QByteArray::fromHex("ffff"));
    // Unknown serials, or one that differs in case, are dropped without harm.
    route(QStringLiteral("SN9"), QStringLiteral("图层设置"), QByteArray::fromHex("00"));
    route(QStringLiteral("sn1"), QStringLiteral("图层设置"), QByteArray::fromHex("00"));
    QCOMPARE(p1->queuedCommandCount(), n1 + 2);
    QCOMPARE(p2->queuedCommandCount(), n2 + 1);
}

void TestMainWindow::switchOnAsksForSystemSettings()
{
    MainWindow w;
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("SN1")));
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.3"), QStringLiteral("Tarn-3"), QStringLiteral("SN2")));
    HubSpy spy;
    CTcpDeviceThread *pDevice = w.getCurrentDevice(QStringLiteral("SN2"));

    clickSwitch(w, QStringLiteral("SN2"));
    QCOMPARE(spy.cmds.size(), 1);
    QCOMPARE(spy.cmds.at(0), (QVariantList{QStringLiteral("SN2"), QStringLiteral("系统设置"), QByteArray(), 1, 10}));
    QCOMPARE(w.currentRowId(), 1);
    QVERIFY(pDevice->canConnected());

    clickSwitch(w, QStringLiteral("SN2"));
    QVERIFY(!pDevice->canConnected());
    QCOMPARE(spy.cmds.size(), 1);
}

void TestMainWindow::switchOffWhileConnecting()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress(QStringLiteral("127.0.0.6")), 0));
    MainWindow::setDevicePort(server.serverPort());
    MainWindow w;
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.6"), QStringLiteral("Tarn-3"), QStringLiteral("SN6")));
    MainWindow::setDevicePort(1);
    CTcpDeviceThread *pDevice = w.getCurrentDevice(QStringLiteral("SN6"));
    CDeviceControl *pControl = w.checkR4Exist(QStringLiteral("SN6"));

    // On and off again before the link is up: the link does not come up.
    clickSwitch(w, QStringLiteral("SN6"));
    clickSwitch(w, QStringLiteral("SN6"));
    QTest::qWait(300);
    QVERIFY(!pDevice->isConnected());
    QCOMPARE(pControl->statusText(), QStringLiteral("离线"));

    // On again: the link comes up and the worker's loop runs.
    clickSwitch(w, QStringLiteral("SN6"));
    QTRY_VERIFY(pDevice->isConnected());
    QTRY_VERIFY(pDevice->isRunning());
    QCOMPARE(pControl->statusText(), QStringLiteral("在线"));
}

void TestMainWindow::editButtonChecks()
{
    MainWindow w;
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("SN1")));
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.3"), QStringLiteral("Z7"), QStringLiteral("SN2")));
    CTcpDeviceThread *pZ = w.getCurrentDevice(QStringLiteral("SN2"));
    const int nZQueued = pZ->queuedCommandCount();

    w.checkR4Exist(QStringLiteral("SN1"))->findChild<QPushButton *>(QStringLiteral("btnEdit"))->click();
    QCOMPARE(BesMessageBox::testRecords().size(), 1);
    QCOMPARE(BesMessageBox::testRecords().at(0).kind, QStringLiteral("information"));
    QCOMPARE(BesMessageBox::testRecords().at(0).title, QStringLiteral("设备不在线"));
    QCOMPARE(BesMessageBox::testRecords().at(0).text, QStringLiteral("设备离线中，请等待！"));
    QVERIFY(w.editSceneMain()->isHidden());

    // An offline Z device: the layer read is queued all the same.
    w.checkR4Exist(QStringLiteral("SN2"))->findChild<QPushButton *>(QStringLiteral("btnEdit"))->click();
    QCOMPARE(g_strDevType, QStringLiteral("Z"));
    QCOMPARE(pZ->queuedCommandCount(), nZQueued + 1);

    // A serial that no worker has: nothing is dereferenced, the offline message.
    w.slot_editScene(QStringLiteral("unknown"), QString(), QStringLiteral("Z7"), 0);
    QCOMPARE(BesMessageBox::testRecords().size(), 3);
    QCOMPARE(BesMessageBox::testRecords().at(2).title, QStringLiteral("设备不在线"));
    QVERIFY(!w.zInterface());
}

void TestMainWindow::deviceNameReport()
{
    MainWindow w;
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("SN1")));
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.3"), QStringLiteral("Tarn-3"), QStringLiteral("SN2")));

    // Nothing switched on yet: no current row, the name goes nowhere.
    w.slot_getSystemDeviceName(QStringLiteral("无主"));
    QCOMPARE(w.rootItem()->child(0)->text(2) + w.rootItem()->child(1)->text(2), QString());

    clickSwitch(w, QStringLiteral("SN1"));
    clickSwitch(w, QStringLiteral("SN2"));
    // Without a serial: the row switched on last.
    const QString strName = QStringLiteral("大厅");
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_getSystemDeviceName"), Q_ARG(QString, strName));
    QCOMPARE(w.rootItem()->child(1)->text(2), strName);
    QCOMPARE(w.checkR4Exist(QStringLiteral("SN2"))->getStrDeviceName(), strName);

    // With the serial: that device's own row, whichever was switched on last.
    const QString strName1 = QStringLiteral("展厅");
    const QString strSerial1 = QStringLiteral("SN1");
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_getSystemDeviceName"), Q_ARG(QString, strName1),
                                                Q_ARG(QString, strSerial1));
    QCOMPARE(w.rootItem()->child(0)->text(2), strName1);
    QCOMPARE(w.rootItem()->child(1)->text(2), strName);
    w.slot_getSystemDeviceName(QStringLiteral("x"), QStringLiteral("unknown"));
    QCOMPARE(w.rootItem()->child(0)->text(2), strName1);
}

void TestMainWindow::closeStopsEverything()
{
    HubSpy spy;
    auto *pWindow = new MainWindow;
    QPointer<CEditSceneMain> pFrame = pWindow->editSceneMain();
    QPointer<CRecvDeviceThread> pRecv = pWindow->recvDevice();
    pWindow->slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("SN1")));
    clickSwitch(*pWindow, QStringLiteral("SN1"));
    pWindow->show();
    QVERIFY(pWindow->close());
    QCOMPARE(spy.nDisconnectSerial, 1);
    QVERIFY(pFrame.isNull() && pRecv.isNull());
    QVERIFY(pWindow->deviceList().isEmpty());
    // An announcement still queued at shut-down makes no worker.
    pWindow->slot_newDevice(announcement(QStringLiteral("127.0.0.3"), QStringLiteral("Z7"), QStringLiteral("SN3")));
    QVERIFY(pWindow->deviceList().isEmpty());
    delete pWindow;
}

void TestMainWindow::tarnFrameAfterFirstPaintOrWhenNeeded_data()
{
    QTest::addColumn<QString>("strNeed");
    QTest::addColumn<bool>("bShown");
    QTest::newRow("shown, nobody asks") << QString() << true;
    QTest::newRow("asked before shown") << QStringLiteral("ask") << true;
    QTest::newRow("device switched on before shown") << QStringLiteral("switch") << true;
    QTest::newRow("never shown nor needed") << QString() << false;
}

// The device list is painted before the Tarn frame is built; the frame follows
// without anyone asking, or comes at once when something needs it earlier, and
// only one is ever made.
void TestMainWindow::tarnFrameAfterFirstPaintOrWhenNeeded()
{
    QFETCH(QString, strNeed);
    QFETCH(bool, bShown);
    auto *pWindow = new MainWindow;
    QCOMPARE(tarnFrames(), 0);
    if (strNeed == QLatin1String("ask"))
        QVERIFY(pWindow->editSceneMain());
    if (strNeed == QLatin1String("switch")) {
        pWindow->slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("SN1")));
        clickSwitch(*pWindow, QStringLiteral("SN1"));
    }
    QCOMPARE(tarnFrames(), strNeed.isEmpty() ? 0 : 1);
    if (bShown) {
        FirstPaintSpy spy;
        spy.pWindow = pWindow;
        qApp->installEventFilter(&spy);
        pWindow->show();
        QTRY_VERIFY(spy.nFramesAtPaint >= 0);
        QCOMPARE(spy.nFramesAtPaint, strNeed.isEmpty() ? 0 : 1);
        QTRY_COMPARE(tarnFrames(), 1);
        QTest::qWait(100);
        QCOMPARE(tarnFrames(), 1);
        QVERIFY(pWindow->editSceneMain()->isHidden());
        // Closed, the window has no frame and builds none.
        QVERIFY(pWindow->close());
        QVERIFY(!pWindow->editSceneMain());
    }
    QTest::qWait(100);
    QCOMPARE(tarnFrames(), 0);
    delete pWindow;
}

// A thousand distinct serials make a thousand rows, in order, each with its own
// worker and row widget; announcing them all again makes none. Every row widget
// stands on its row, whether the row came before the window was shown or after.
void TestMainWindow::thousandDevices()
{
    const int nDevices = 1000;
    auto ipOf = [](int i, int nRound) { return QStringLiteral("127.%1.%2.%3").arg(nRound).arg(i / 250).arg(1 + i % 250); };
    auto serialOf = [](int i) { return QStringLiteral("SN%1").arg(i); };
    MainWindow w;
    // Half the rows come before the window is shown, half after.
    for (int i = 0; i < nDevices; ++i) {
        if (i == nDevices / 2)
            w.show();
        w.slot_newDevice(announcement(ipOf(i, 1), i % 3 ? QStringLiteral("Z7") : QStringLiteral("Tarn-3"), serialOf(i)));
    }
    QCOMPARE(w.rootItem()->childCount(), nDevices);
    QCOMPARE(w.deviceList().size(), nDevices);
    for (int nRound = 2; nRound <= 3; ++nRound) {
        for (int i = nDevices - 1; i >= 0; --i)
            w.slot_newDevice(announcement(ipOf(i, nRound), QStringLiteral("Tarn-6"), serialOf(i)));
    }
    QCOMPARE(w.rootItem()->childCount(), nDevices);
    QCOMPARE(w.deviceList().size(), nDevices);
    for (int i : {0, 1, 499, nDevices - 1}) {
        QTreeWidgetItem *pRow = w.rootItem()->child(i);
        QCOMPARE(w.rowItems().at(i), pRow);
        QCOMPARE(pRow->text(0), ipOf(i, 3));
        QCOMPARE(pRow->text(1), QStringLiteral("Tarn-6"));
        CDeviceControl *pControl = w.checkR4Exist(serialOf(i));
        QCOMPARE(pControl->getDeviceId(), i);
        QCOMPARE(pControl->getDeviceSerial(), serialOf(i));
        QCOMPARE(pControl->getStrDeviceType(), i % 3 ? QStringLiteral("Z7") : QStringLiteral("Tarn-3"));
        CTcpDeviceThread *pDevice = w.getCurrentDevice(serialOf(i));
        QCOMPARE(w.deviceList().at(i), pDevice);
        QCOMPARE(pDevice->getDeviceIp(), ipOf(i, 3));
        QVERIFY(!pDevice->getSerialTransport());
    }
    QVERIFY(!w.checkR4Exist(QStringLiteral("SN1000")));

    auto *pTree = w.rootItem()->treeWidget();
    QTreeWidgetItem *pFirst = w.rootItem()->child(0);
    CDeviceControl *pFirstControl = w.checkR4Exist(serialOf(0));
    QTRY_VERIFY(pFirstControl->isVisible());
    QCOMPARE(pTree->itemWidget(pFirst, 3), pFirstControl);
    QVERIFY(pTree->visualItemRect(pFirst).contains(pFirstControl->geometry().center()));
    QTreeWidgetItem *pLast = w.rootItem()->child(nDevices - 1);
    QVERIFY(pTree->visualItemRect(pLast).contains(w.checkR4Exist(serialOf(nDevices - 1))->geometry().center()));
}

VISTEL_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
