// The device list window without devices on the wire: rows, routing, the
// switch, the editor button's checks, the device name report and shut-down.
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
#include "zinferface.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QPointer>
#include <QTreeWidget>
#include <QUdpSocket>

namespace {

template<typename T>
T *child(QObject &parent, const char *pName)
{
    return parent.findChild<T *>(QString::fromLatin1(pName));
}

// Records the topics the device list window sends.
class HubSpy : public QObject
{
    Q_OBJECT
public:
    struct Cmd
    {
        QString strSerial;
        QString strCmd;
        QByteArray byte;
        int nRw;
        int nSub;
    };
    QList<Cmd> cmds;
    QStringList deviceNames;
    QStringList zDeviceNames;
    int nDisconnectSerial = 0;

    HubSpy()
    {
        globalObserver *pHub = globalObserver::getGlobalObserver();
        pHub->attach(QStringLiteral("slot_setDeviceCmd"), this, "slot_setDeviceCmd");
        pHub->attach(QStringLiteral("slot_updateDeviceName"), this, "slot_updateDeviceName");
        pHub->attach(QStringLiteral("slot_updateZDeviceName"), this, "slot_updateZDeviceName");
        pHub->attach(QStringLiteral("Slot_DisconnectSerialPort"), this, "Slot_DisconnectSerialPort");
    }
    ~HubSpy() override
    {
        globalObserver *pHub = globalObserver::getGlobalObserver();
        pHub->detach(QStringLiteral("slot_setDeviceCmd"), this);
        pHub->detach(QStringLiteral("slot_updateDeviceName"), this);
        pHub->detach(QStringLiteral("slot_updateZDeviceName"), this);
        pHub->detach(QStringLiteral("Slot_DisconnectSerialPort"), this);
    }

public slots:
    void slot_setDeviceCmd(QString strSerial, QString strCmd, QByteArray &byte, int nRw = 1, int nSub = 0)
    {
        cmds.append({strSerial, strCmd, byte, nRw, nSub});
    }
    void slot_updateDeviceName(QString strName) { deviceNames << strName; }
    void slot_updateZDeviceName(QString strName, QString strSerial)
    {
        zDeviceNames << strName << strSerial;
    }
    void Slot_DisconnectSerialPort() { ++nDisconnectSerial; }
};

quint16 freeUdpPort()
{
    QUdpSocket socket;
    socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
    return socket.localPort();
}

QStringList announcement(const QString &strIp, const QString &strType, const QString &strSerial)
{
    return {strIp, QString(), strType, strSerial};
}

void route(const QString &strSerial, const QString &strCmd, QByteArray byte, int nArgs = 5)
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    int nRw = 2;
    int nSub = 7;
    if (nArgs == 3)
        pHub->notify(QStringLiteral("slot_setDeviceCmd"), Q_ARG(QString, strSerial),
                     Q_ARG(QString, strCmd), Q_ARG(QByteArray &, byte));
    else
        pHub->notify(QStringLiteral("slot_setDeviceCmd"), Q_ARG(QString, strSerial),
                     Q_ARG(QString, strCmd), Q_ARG(QByteArray &, byte), Q_ARG(int, nRw),
                     Q_ARG(int, nSub));
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startsEmptyWithoutPorts();
    void serialWorkersComeFirst();
    void announcementMakesOneRowPerSerial();
    void familyFromTheTypeText();
    void routingBySerial();
    void switchOnAsksForSystemSettings();
    void editButtonChecks();
    void deviceNameReport();
    void closeWithoutDevices();
};

void TestMainWindow::initTestCase()
{
    MainWindow::setDiscoveryPort(freeUdpPort(), QHostAddress::LocalHost);
    // A port nobody listens on: switching on fails to connect, quietly.
    MainWindow::setDevicePort(1);
    BesMessageBox::setTestAnswer(QMessageBox::Cancel);
}

void TestMainWindow::init()
{
    MainWindow::setSerialPortLister([]() { return QStringList(); });
    BesMessageBox::clearTestRecords();
    g_strDevType = QStringLiteral("Tarn");
    g_nConnectionType = 0;
}

void TestMainWindow::cleanup()
{
    QFile::remove(QStringLiteral("Morvane.ini"));
}

void TestMainWindow::startsEmptyWithoutPorts()
{
    MainWindow w;
    QCOMPARE(w.deviceList().size(), 0);
    QCOMPARE(child<QComboBox>(w, "portBox")->count(), 0);
    QCOMPARE(child<QTabWidget>(w, "CommunicatetabWidget")->currentIndex(), 0);
    QCOMPARE(w.rootItem()->text(0), QStringLiteral("网络设备"));
    QCOMPARE(child<QTreeWidget>(w, "treeWidget")->columnCount(), 4);
    QCOMPARE(child<QTreeWidget>(w, "treeWidget")->headerItem()->text(1), QStringLiteral("设备类型"));
    QVERIFY(w.editSceneMain());
    QVERIFY(w.editSceneMain()->isHidden());
    QVERIFY(!w.zInterface());
    QVERIFY(w.recvDevice() && w.recvDevice()->isRunning());
}

void TestMainWindow::serialWorkersComeFirst()
{
    MainWindow::setSerialPortLister([]() {
        return QStringList{QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB1")};
    });
    MainWindow w;
    QCOMPARE(w.deviceList().size(), 2);
    QCOMPARE(w.deviceList().at(0)->getDeviceSerial(), QStringLiteral("ttyUSB0"));
    QCOMPARE(w.deviceList().at(1)->getDeviceSerial(), QStringLiteral("ttyUSB1"));
    QCOMPARE(child<QComboBox>(w, "portBox")->count(), 2);
    QVERIFY(!w.deviceList().at(0)->isRunning());

    w.slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("SN1")));
    QCOMPARE(w.deviceList().size(), 3);
    QCOMPARE(w.deviceList().at(2)->getDeviceSerial(), QStringLiteral("SN1"));
    QCOMPARE(w.getCurrentDevice(QStringLiteral("ttyUSB1")), w.deviceList().at(1));
}

void TestMainWindow::announcementMakesOneRowPerSerial()
{
    MainWindow w;
    w.slot_newDevice({QStringLiteral("127.0.0.2"), QString(), QStringLiteral("Tarn-3")});
    QCOMPARE(w.rootItem()->childCount(), 0);

    w.slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("SN1")));
    QCOMPARE(w.rootItem()->childCount(), 1);
    QTreeWidgetItem *pRow = w.rootItem()->child(0);
    QCOMPARE(pRow->text(0), QStringLiteral("127.0.0.2"));
    QCOMPARE(pRow->text(1), QStringLiteral("Tarn-3"));
    QCOMPARE(pRow->text(2), QString());
    QCOMPARE(int(pRow->textAlignment(0)), int(Qt::AlignCenter));
    CDeviceControl *pControl = w.checkR4Exist(QStringLiteral("SN1"));
    QVERIFY(pControl);
    QCOMPARE(child<QTreeWidget>(w, "treeWidget")->itemWidget(pRow, 3), pControl);
    QCOMPARE(pControl->getDeviceId(), 0);
    QCOMPARE(pControl->getStrDeviceType(), QStringLiteral("Tarn-3"));
    QCOMPARE(pControl->statusText(), QStringLiteral("离线"));
    QVERIFY(!pControl->getSwitchBtnState());
    CTcpDeviceThread *pDevice = w.getCurrentDevice(QStringLiteral("SN1"));
    QVERIFY(pDevice);
    QVERIFY(!pDevice->isRunning());
    QVERIFY(!pDevice->canConnected());
    QCOMPARE(pDevice->getDeviceIp(), QStringLiteral("127.0.0.2"));
    QCOMPARE(pDevice->getDevicePort(), 1);

    // The same serial again: one row, one worker; address and type rewritten,
    // the row widget keeps its type.
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.9"), QStringLiteral("Tarn-6"), QStringLiteral("SN1")));
    QCOMPARE(w.rootItem()->childCount(), 1);
    QCOMPARE(w.deviceList().size(), 1);
    QCOMPARE(pRow->text(0), QStringLiteral("127.0.0.9"));
    QCOMPARE(pRow->text(1), QStringLiteral("Tarn-6"));
    QCOMPARE(pControl->getStrDeviceType(), QStringLiteral("Tarn-3"));

    // Serials are compared exactly.
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.3"), QStringLiteral("Z7"), QStringLiteral("sn1")));
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.4"), QStringLiteral("Z7"), QStringLiteral("SN3")));
    QCOMPARE(w.rootItem()->childCount(), 3);
    QCOMPARE(w.checkR4Exist(QStringLiteral("SN3"))->getDeviceId(), 2);
    QCOMPARE(w.rowItems().size(), 3);
    QCOMPARE(w.rowItems().at(2), w.rootItem()->child(2));

    // The discovery thread's queued notification reaches the window as well.
    const QStringList listInfo = announcement(QStringLiteral("127.0.0.5"), QStringLiteral("Z7"), QStringLiteral("SN5"));
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_newDevice"), Q_ARG(QStringList, listInfo));
    QVERIFY(w.checkR4Exist(QStringLiteral("SN5")));
}

void TestMainWindow::familyFromTheTypeText()
{
    MainWindow w;
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("A")));
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.3"), QStringLiteral("tarn-3"), QStringLiteral("B")));
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.4"), QStringLiteral("Z7"), QStringLiteral("C")));
    QCOMPARE(w.getCurrentDevice(QStringLiteral("A"))->deviceType(), QStringLiteral("Tarn"));
    QCOMPARE(w.getCurrentDevice(QStringLiteral("B"))->deviceType(), QStringLiteral("Z"));
    QCOMPARE(w.getCurrentDevice(QStringLiteral("C"))->deviceType(), QStringLiteral("Z"));
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
    QCOMPARE(p1->queuedCommandCount(), n1);
    QCOMPARE(p2->queuedCommandCount(), n2 + 1);
    route(QStringLiteral("SN1"), QStringLiteral("场景操作"), QByteArray::fromHex("01"), 3);
    QCOMPARE(p1->queuedCommandCount(), n1 + 1);
    route(QStringLiteral("SN1"), QStringLiteral("获取输入状态"), QByteArray::fromHex("ffff"));
    QCOMPARE(p1->queuedCommandCount(), n1 + 2);

    // Unknown serials, or one that differs in case, are dropped without harm.
    route(QStringLiteral("SN9"), QStringLiteral("图层设置"), QByteArray::fromHex("00"));
    route(QStringLiteral("sn1"), QStringLiteral("图层设置"), QByteArray::fromHex("00"));
    route(QString(), QStringLiteral("图层设置"), QByteArray());
    QCOMPARE(p1->queuedCommandCount(), n1 + 2);
    QCOMPARE(p2->queuedCommandCount(), n2 + 1);
}

void TestMainWindow::switchOnAsksForSystemSettings()
{
    MainWindow w;
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("SN1")));
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.3"), QStringLiteral("Tarn-3"), QStringLiteral("SN2")));
    HubSpy spy;
    CDeviceControl *pControl = w.checkR4Exist(QStringLiteral("SN2"));
    CTcpDeviceThread *pDevice = w.getCurrentDevice(QStringLiteral("SN2"));

    QTest::mouseClick(pControl->switchButton(), Qt::LeftButton);
    QCOMPARE(spy.cmds.size(), 1);
    QCOMPARE(spy.cmds.at(0).strSerial, QStringLiteral("SN2"));
    QCOMPARE(spy.cmds.at(0).strCmd, QStringLiteral("系统设置"));
    QCOMPARE(spy.cmds.at(0).byte, QByteArray());
    QCOMPARE(spy.cmds.at(0).nRw, 1);
    QCOMPARE(spy.cmds.at(0).nSub, 10);
    QCOMPARE(w.currentRowId(), 1);
    QVERIFY(pDevice->canConnected());
    // Nothing listens there: the worker's loop waits for a link that never comes.
    QVERIFY(!pDevice->isRunning());

    // Off: connecting is forbidden again; the worker never connected.
    QTest::mouseClick(pControl->switchButton(), Qt::LeftButton);
    QVERIFY(!pDevice->canConnected());
    QCOMPARE(spy.cmds.size(), 1);

    // A switch for a serial without a worker changes nothing.
    const QString strNone = QStringLiteral("none");
    bool bOn = true;
    int nId = 7;
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_switchDeviceConnect"),
                                                Q_ARG(QString, strNone), Q_ARG(bool, bOn), Q_ARG(int, nId));
    QCOMPARE(w.currentRowId(), 1);
    QCOMPARE(spy.cmds.size(), 1);
}

void TestMainWindow::editButtonChecks()
{
    MainWindow w;
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("SN1")));
    w.slot_newDevice(announcement(QStringLiteral("127.0.0.3"), QStringLiteral("Z7"), QStringLiteral("SN2")));
    CTcpDeviceThread *pZ = w.getCurrentDevice(QStringLiteral("SN2"));
    const int nZQueued = pZ->queuedCommandCount();

    // Offline Tarn device.
    w.checkR4Exist(QStringLiteral("SN1"))->findChild<QPushButton *>(QStringLiteral("btnEdit"))->click();
    QCOMPARE(BesMessageBox::testRecords().size(), 1);
    QCOMPARE(BesMessageBox::testRecords().at(0).kind, QStringLiteral("information"));
    QCOMPARE(BesMessageBox::testRecords().at(0).title, QStringLiteral("设备不在线"));
    QCOMPARE(BesMessageBox::testRecords().at(0).text, QStringLiteral("设备离线中，请等待！"));
    QCOMPARE(g_strDevType, QStringLiteral("Tarn"));
    QVERIFY(w.editSceneMain()->isHidden());

    // Offline Z device: the layer read is queued all the same.
    w.checkR4Exist(QStringLiteral("SN2"))->findChild<QPushButton *>(QStringLiteral("btnEdit"))->click();
    QCOMPARE(BesMessageBox::testRecords().size(), 2);
    QCOMPARE(g_strDevType, QStringLiteral("Z"));
    QCOMPARE(pZ->queuedCommandCount(), nZQueued + 1);

    // A serial that no worker has: no dereference, the offline message.
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
    HubSpy spy;

    // Nothing switched on yet: no current row, the name goes nowhere.
    w.slot_getSystemDeviceName(QStringLiteral("无主"));
    QCOMPARE(w.rootItem()->child(0)->text(2), QString());
    QCOMPARE(w.rootItem()->child(1)->text(2), QString());

    QTest::mouseClick(w.checkR4Exist(QStringLiteral("SN1"))->switchButton(), Qt::LeftButton);
    QTest::mouseClick(w.checkR4Exist(QStringLiteral("SN2"))->switchButton(), Qt::LeftButton);
    QCOMPARE(w.currentRowId(), 1);

    // Without a serial: the row switched on last.
    const QString strName = QStringLiteral("大厅");
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_getSystemDeviceName"), Q_ARG(QString, strName));
    QCOMPARE(w.rootItem()->child(1)->text(2), strName);
    QCOMPARE(w.checkR4Exist(QStringLiteral("SN2"))->getStrDeviceName(), strName);

    // With the serial: that device's own row, whichever was switched on last.
    const QString strName1 = QStringLiteral("展厅");
    const QString strSerial1 = QStringLiteral("SN1");
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_getSystemDeviceName"),
                                                Q_ARG(QString, strName1), Q_ARG(QString, strSerial1));
    QCOMPARE(w.rootItem()->child(0)->text(2), strName1);
    QCOMPARE(w.rootItem()->child(1)->text(2), strName);
    QCOMPARE(w.checkR4Exist(QStringLiteral("SN1"))->getStrDeviceName(), strName1);
    w.slot_getSystemDeviceName(QStringLiteral("x"), QStringLiteral("unknown"));
    QCOMPARE(w.rootItem()->child(0)->text(2), strName1);
    QVERIFY(spy.deviceNames.isEmpty());
}

void TestMainWindow::closeWithoutDevices()
{
    HubSpy spy;
    auto *pWindow = new MainWindow;
    QPointer<CEditSceneMain> pFrame = pWindow->editSceneMain();
    QPointer<CRecvDeviceThread> pRecv = pWindow->recvDevice();
    pWindow->slot_newDevice(announcement(QStringLiteral("127.0.0.2"), QStringLiteral("Tarn-3"), QStringLiteral("SN1")));
    QTest::mouseClick(pWindow->checkR4Exist(QStringLiteral("SN1"))->switchButton(), Qt::LeftButton);
    pWindow->show();
    QVERIFY(pWindow->close());
    QCOMPARE(spy.nDisconnectSerial, 1);
    QVERIFY(pFrame.isNull());
    QVERIFY(!pWindow->editSceneMain());
    QVERIFY(pRecv.isNull());
    delete pWindow;
}

VISTEL_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
