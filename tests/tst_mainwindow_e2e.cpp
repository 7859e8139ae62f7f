// The device list window against simulated devices on loopback: discovery,
// the switch, the start-up reads, the records, the editor, a dropped link and
// shut-down with connected workers.
#include "TestMain.h"

#include <QApplication>
#include <QDialog>
#include <QScopeGuard>

#include "BesMessageBox.h"
#include "DeviceControl.h"
#include "DeviceSimulator.h"
#include "CardProgramWidget.h"
#include "DeviceItem.h"
#include "FileListWidget.h"
#include "LayoutListWidget.h"
#include "OtherWidget.h"
#include "ProgramListWidget.h"
#include "PropertyStack.h"
#include "EditSceneMain.h"
#include "GbkCodec.h"
#include "QorGlobal.h"
#include "RecvDeviceThread.h"
#include "SwitchButton.h"
#include "TcpDeviceThread.h"
#include "globalObserver.h"
#include "mainwindow.h"
#include "zinferface.h"

#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidgetItem>
#include <QUdpSocket>

#include <memory>
#include "SimDeviceList.h"
#include "SimTestUtil.h"
#include "TestUtil.h"

using SimTest::freeUdpPort;
using SimTest::commandOrder;

namespace {

class NameSpy : public QObject
{
    Q_OBJECT
public:
    QStringList deviceNames;
    QStringList zDeviceNames;
    NameSpy()
    {
        globalObserver::getGlobalObserver()->attach(QStringLiteral("slot_updateDeviceName"), this,
                                                    "slot_updateDeviceName");
        globalObserver::getGlobalObserver()->attach(QStringLiteral("slot_updateZDeviceName"), this,
                                                    "slot_updateZDeviceName");
    }
    ~NameSpy() override
    {
        globalObserver::getGlobalObserver()->detach(QStringLiteral("slot_updateDeviceName"), this);
        globalObserver::getGlobalObserver()->detach(QStringLiteral("slot_updateZDeviceName"), this);
    }
public slots:
    void slot_updateDeviceName(QString strName) { deviceNames << strName; }
    void slot_updateZDeviceName(QString strName, QString strSerial) { zDeviceNames << strName << strSerial; }
};

QPushButton *editButton(CDeviceControl *pControl)
{
    return pControl->findChild<QPushButton *>(QStringLiteral("btnEdit"));
}

// Collects the warnings printed while it lives.
class WarningCatcher
{
public:
    WarningCatcher() { s_listWarnings.clear(); m_prev = qInstallMessageHandler(&WarningCatcher::handler); }
    ~WarningCatcher() { qInstallMessageHandler(m_prev); }
    QStringList warnings() const { return s_listWarnings; }

private:
    static void handler(QtMsgType type, const QMessageLogContext &, const QString &strMsg)
    {
        if (type == QtWarningMsg)
            s_listWarnings << strMsg;
    }
    static QStringList s_listWarnings;
    QtMessageHandler m_prev = nullptr;
};
QStringList WarningCatcher::s_listWarnings;

// Unblocks a GUI thread that waits for a worker's loop: after the grace time it forbids the
// worker to connect, which ends the loop, and notes that it had to.
class LoopWatchdog : public QThread
{
public:
    explicit LoopWatchdog(CTcpDeviceThread *pDevice) : m_pDevice(pDevice) {}
    void release() { m_done.release(); }
    std::atomic<bool> bFired{false};

protected:
    void run() override
    {
        if (!m_done.tryAcquire(1, 3000)) {
            bFired = true;
            m_pDevice->setCanConnected(false);
        }
    }

private:
    CTcpDeviceThread *m_pDevice;
    QSemaphore m_done;
};

} // namespace

class TestMainWindowE2E : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void tarnDeviceLifecycle();
    void zDeviceStartupAndEditor();
    void zRowsFollowARestartWhileThePollIsPaused();
    void serialDeviceReadWhileANetworkDeviceLinks();
    void deviceNameLandsOnItsOwnRow();
    void lostTarnLinkIsHandledBeforeTheBox();
    void oneBoxAndNoticePerLoss_data();
    void oneBoxAndNoticePerLoss();
    void lostLinkBoxGoesWhenTheLinkIsBack_data();
    void lostLinkBoxGoesWhenTheLinkIsBack();
    void reannouncedAddressIsDialled();
    void endedLoopRestartsWithoutWaiting();

private:
    quint16 m_nDiscoveryPort = 0;
};

void TestMainWindowE2E::initTestCase()
{
    m_nDiscoveryPort = freeUdpPort();
    MainWindow::setDiscoveryPort(m_nDiscoveryPort, QHostAddress::LocalHost);
    MainWindow::setSerialPortLister([]() { return QStringList(); });
    BesMessageBox::setTestAnswer(QMessageBox::Cancel);
}

void TestMainWindowE2E::init()
{
    g_strDevType = QStringLiteral("Tarn");
    g_nConnectionType = 0;
    BesMessageBox::clearTestRecords();
}

void TestMainWindowE2E::cleanup()
{
    QFile::remove(QStringLiteral("Morvane.ini"));
}

void TestMainWindowE2E::tarnDeviceLifecycle()
{
    CDeviceSimulator sim(CSimDeviceModel::Tarn, 4, 2);
    sim.setSerial(QStringLiteral("SN1"));
    QVERIFY(sim.listen(QHostAddress(QStringLiteral("127.0.0.2")), 0));
    MainWindow::setDevicePort(sim.port());

    auto *pWindow = new MainWindow;
    MainWindow &w = *pWindow;
    QTRY_VERIFY_WITH_TIMEOUT(w.recvDevice()->boundPort() != 0, 3000);

    // Announcements until the row appears; repeated ones keep one row.
    sim.startAnnouncing(m_nDiscoveryPort, 50);
    QTRY_VERIFY_WITH_TIMEOUT(w.checkR4Exist(QStringLiteral("SN1")), 3000);
    QTest::qWait(200);
    sim.stopAnnouncing();
    QCOMPARE(w.rootItem()->childCount(), 1);
    QCOMPARE(w.deviceList().size(), 1);
    QTreeWidgetItem *pRow = w.rootItem()->child(0);
    QCOMPARE(pRow->text(0), QStringLiteral("127.0.0.2"));
    QCOMPARE(pRow->text(1), QStringLiteral("Tarn-3"));
    CDeviceControl *pControl = w.checkR4Exist(QStringLiteral("SN1"));
    CTcpDeviceThread *pDevice = w.getCurrentDevice(QStringLiteral("SN1"));
    QVERIFY(!sim.hasClient());

    NameSpy names;
    // Switch on by a click: the worker connects; the system settings read
    // comes first, then the family's start-up reads.
    QTest::mouseClick(pControl->switchButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(sim.hasClient(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(pControl->statusText(), QStringLiteral("在线"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(commandOrder(sim).size() >= 4, 5000);
    QCOMPARE(commandOrder(sim).mid(0, 4), (QList<int>{41, 0, 33, 40}));
    const QList<CSimRequest> listReq = sim.requestsWithoutHeartbeat();
    QCOMPARE(listReq.at(0).nSub, 10);
    QCOMPARE(listReq.at(0).nReadOrWrite, 1);
    QCOMPARE(listReq.at(0).payload, QByteArray());
    QCOMPARE(listReq.at(1).payload, QByteArray::fromHex("01"));
    QCOMPARE(listReq.at(2).payload, QByteArray::fromHex("01"));
    QCOMPARE(listReq.at(3).payload, QByteArray());
    QCOMPARE(g_nConnectionType, 0);

    // The replies fill the records and the row.
    QTRY_COMPARE_WITH_TIMEOUT(pDevice->getDeviceInfo()->vectorInput.size(), 4, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(pRow->text(2), QStringLiteral("演示设备"), 5000);
    QCOMPARE(pControl->getStrDeviceName(), QStringLiteral("演示设备"));
    QCOMPARE(pDevice->getDeviceInfo()->strDevName, QStringLiteral("Tarn-3"));

    // A command from any panel reaches this device by its serial.
    sim.clearRequests();
    QByteArray byte = QByteArray::fromHex("01");
    int nRead = 1;
    int nSub = 0;
    const QString strSerial = QStringLiteral("SN1");
    const QString strCmd = QStringLiteral("场景操作");
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_setDeviceCmd"), Q_ARG(QString, strSerial),
                                                Q_ARG(QString, strCmd), Q_ARG(QByteArray &, byte),
                                                Q_ARG(int, nRead), Q_ARG(int, nSub));
    QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(35, 0), 5000);

    // The edit button opens the Tarn frame on this device.
    editButton(pControl)->click();
    QVERIFY(BesMessageBox::testRecords().isEmpty());
    QVERIFY(w.editSceneMain()->isVisible());
    QCOMPARE(w.editSceneMain()->currentDevice(), pDevice->getDeviceInfo());
    QCOMPARE(names.deviceNames, QStringList{QStringLiteral("演示设备")});
    QCOMPARE(g_strDevType, QStringLiteral("Tarn"));

    // Switch off: the worker stops and drops the link.
    QTest::mouseClick(pControl->switchButton(), Qt::LeftButton);
    QCOMPARE(pControl->statusText(), QStringLiteral("离线"));
    QTRY_VERIFY_WITH_TIMEOUT(!pDevice->isRunning(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!sim.hasClient(), 5000);
    QVERIFY(!pDevice->isConnected());

    // On again: connected anew, the system settings asked again.
    sim.clearRequests();
    QTest::mouseClick(pControl->switchButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(pDevice->isConnected(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(41, 10), 5000);

    // A dropped link: offline; the next announcement reconnects while the
    // switch is still on, and the start-up reads go out again.
    sim.model().strDeviceName = QStringLiteral("新名称"); // back with another name
    sim.dropClients();
    QTRY_COMPARE_WITH_TIMEOUT(pControl->statusText(), QStringLiteral("离线"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!pDevice->isConnected(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!pDevice->isRunning(), 5000);
    QVERIFY(pControl->getSwitchBtnState());
    sim.clearRequests();
    sim.announce(m_nDiscoveryPort);
    QTRY_VERIFY_WITH_TIMEOUT(pDevice->isConnected(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(pControl->statusText(), QStringLiteral("在线"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(0) && sim.hasRequest(33), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(pRow->text(2), QStringLiteral("新名称"), 5000);
    QCOMPARE(names.deviceNames.last(), QStringLiteral("新名称")); // the frame editing it
    QVERIFY(pDevice->isRunning());
    QCOMPARE(w.rootItem()->childCount(), 1);

    // Closing the window with a connected worker ends cleanly.
    w.show();
    QVERIFY(w.close());
    QTRY_VERIFY_WITH_TIMEOUT(!sim.hasClient(), 5000);
    QVERIFY(!w.editSceneMain());
    delete pWindow;
}

void TestMainWindowE2E::zDeviceStartupAndEditor()
{
    CDeviceSimulator sim(CSimDeviceModel::Z, 3, 2);
    sim.setSerial(QStringLiteral("ZSN"));
    QVERIFY(sim.listen(QHostAddress(QStringLiteral("127.0.0.3")), 0));
    MainWindow::setDevicePort(sim.port());
    auto *pWindow = new MainWindow;
    pWindow->slot_newDevice({QStringLiteral("127.0.0.3"), QString(), QStringLiteral("Z7"), QStringLiteral("ZSN")});
    CDeviceControl *pControl = pWindow->checkR4Exist(QStringLiteral("ZSN"));
    CTcpDeviceThread *pDevice = pWindow->getCurrentDevice(QStringLiteral("ZSN"));

    NameSpy names;
    pDevice->setHeartbeatInterval(500);
    sim.injectFault(CDeviceSimulator::BadCheck, 33); // a start-up read answered garbled is asked again
    QTest::mouseClick(pControl->switchButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(commandOrder(sim).size() >= 3, 5000);
    // The Z family asks no OSD settings at start; its frame is made hidden.
    QCOMPARE(commandOrder(sim).mid(0, 3), (QList<int>{41, 0, 33}));
    QVERIFY(!sim.hasRequest(40));
    QVERIFY(pWindow->zInterface() && pWindow->zInterface()->isHidden());
    QTRY_COMPARE_WITH_TIMEOUT(pDevice->getDeviceInfo()->vectorInput.size(), 3, 5000);

    // Edit: the layer read goes out, the Z frame shows, the settings page gets
    // the name first and the serial second.
    editButton(pControl)->click();
    QVERIFY(pWindow->zInterface()->isVisible());
    QCOMPARE(pWindow->zInterface()->currentDevice(), pDevice->getDeviceInfo());
    QCOMPARE(names.zDeviceNames.value(1), QStringLiteral("ZSN"));
    QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(34, 0), 5000);

    // The event loop may end without this window being closed: destroying it
    // stops and waits for the connected worker first.
    delete pWindow;
    QTRY_VERIFY_WITH_TIMEOUT(!sim.hasClient(), 5000);
}

// A preview pauses the Z frame's poll; the device restarts with more inputs and another name: the
// re-link's reads show the new inputs with their names and the name whole, and the frame starts as
// at a first start: no card previewed, the live one marked, the poll running.
void TestMainWindowE2E::zRowsFollowARestartWhileThePollIsPaused()
{
    CDeviceSimulator sim(CSimDeviceModel::Z, 3, 2);
    sim.setSerial(QStringLiteral("ZSN"));
    sim.model().strDeviceName = QStringLiteral("ZoneHall");
    QVERIFY(sim.listen(QHostAddress(QStringLiteral("127.0.0.6")), 0));
    MainWindow::setDevicePort(sim.port());
    MainWindow w;
    QTRY_VERIFY_WITH_TIMEOUT(w.recvDevice()->boundPort() != 0, 3000);
    w.slot_newDevice({QStringLiteral("127.0.0.6"), QString(), QStringLiteral("Z7"), QStringLiteral("ZSN")});
    CDeviceControl *pControl = w.checkR4Exist(QStringLiteral("ZSN"));
    CTcpDeviceThread *pDevice = w.getCurrentDevice(QStringLiteral("ZSN"));
    QTest::mouseClick(pControl->switchButton(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(pDevice->getDeviceInfo()->vectorInput.size(), 3, 5000);
    SimTest::settle(*pDevice, sim);
    editButton(pControl)->click();
    Zinferface *pFrame = w.zInterface();
    QVERIFY(pFrame->isVisible());
    auto *pName = pFrame->propertyStack()->tipsWidget()->findChild<QLineEdit *>(QStringLiteral("lineEditstrSerial"));
    QCOMPARE(pName->text(), QStringLiteral("ZoneHall"));
    CFileListWidget *pPanel = pFrame->fileListWidget();
    auto rowNames = [pPanel]() {
        QStringList list;
        for (int r = 0; r < pPanel->layoutList()->rowCount(); ++r)
            list << pPanel->layoutList()->itemAt(r)->findChild<QLabel *>(QStringLiteral("labelName"))->text().section(
                QStringLiteral("\r\n"), 0, 0);
        return list;
    };
    QTRY_COMPARE(rowNames(), (QStringList{"IN1", "IN2", "IN3"}));
    QTRY_COMPARE_WITH_TIMEOUT(pFrame->programListWidget()->cards().size() >= 2, true, 5000);
    QTest::mouseClick(pFrame->programListWidget()->cards().at(1), Qt::LeftButton); // not the live one
    QVERIFY(!pPanel->isPolling());
    SimTest::settle(*pDevice, sim);

    for (int nId : {3, 4}) {
        CSimInput in;
        in.nId = nId;
        in.strName = QStringLiteral("Cam%1").arg(nId + 1);
        sim.model().inputs.append(in);
    }
    sim.model().strDeviceName = QString::fromUtf8("北京控制中心");
    sim.dropClients();
    QTRY_VERIFY_WITH_TIMEOUT(!pDevice->isConnected(), 5000);
    sim.announce(m_nDiscoveryPort);
    QTRY_VERIFY_WITH_TIMEOUT(pDevice->isConnected(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(rowNames(), (QStringList{"IN1", "IN2", "IN3", "Cam4", "Cam5"}), 8000);
    QTRY_COMPARE(pName->text(), QString::fromUtf8("北京控制中心"));
    QVERIFY(pPanel->isPolling());
    for (CCardProgramWidget *pCard : pFrame->programListWidget()->cards()) {
        QVERIFY(!pCard->isSelected());
        if (pCard->checkCardIsUse())
            QCOMPARE(pCard->takeText(), QString::fromUtf8(pCard->getCardId() == sim.model().nTakeScene ? "已调用" : "未调用"));
    }
}

// A network device links while the TypeC connect waits for its device's first answer: the serial
// device is read whole all the same, and its frame opens on it.
void TestMainWindowE2E::serialDeviceReadWhileANetworkDeviceLinks()
{
    CDeviceSimulator net(CSimDeviceModel::Tarn, 2, 1);
    QVERIFY(net.listen(QHostAddress(QStringLiteral("127.0.0.7")), 0));
    MainWindow::setDevicePort(net.port());
    CDeviceSimulator line(CSimDeviceModel::Z, 3, 2);
    QVERIFY(line.openPty());
    const QString strPort = line.ptyName();
    MainWindow::setSerialPortLister([strPort]() { return QStringList{strPort}; });
    const auto noPorts = qScopeGuard([]() { MainWindow::setSerialPortLister([]() { return QStringList(); }); });
    MainWindow w;
    w.slot_newDevice({QStringLiteral("127.0.0.7"), QString(), QStringLiteral("Tarn-3"), QStringLiteral("SN7")});
    CDeviceControl *pControl = w.checkR4Exist(QStringLiteral("SN7"));
    CTcpDeviceThread *pNet = w.getCurrentDevice(QStringLiteral("SN7"));
    CTcpDeviceThread *pSerial = w.getCurrentDevice(strPort);
    QVERIFY(pControl && pNet && pSerial);

    line.setReplyDelay(1500); // the line's first answer comes after the network link's start
    w.findChild<QPushButton *>(QStringLiteral("SertalportBtn"))->click();
    QTest::mouseClick(pControl->switchButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(pNet->isConnected() && net.hasRequest(0), 5000);
    line.setReplyDelay(0);
    QTRY_VERIFY_WITH_TIMEOUT(w.zInterface() && w.zInterface()->isVisible(), 10000);
    QCOMPARE(w.zInterface()->currentDevice(), pSerial->getDeviceInfo());
    QTRY_COMPARE_WITH_TIMEOUT(pSerial->getDeviceInfo()->vectorInput.size(), 3, 5000);
    QVERIFY(line.hasRequest(33) && line.hasRequest(41, 10));
    QTRY_COMPARE_WITH_TIMEOUT(pNet->getDeviceInfo()->vectorInput.size(), 2, 5000);
}

void TestMainWindowE2E::deviceNameLandsOnItsOwnRow()
{
    // Two devices on the one device port, at two loopback addresses.
    CSimDeviceList list(2);
    QVERIFY(list.isListening());
    CDeviceSimulator *pSimA = &list.sim(0), *pSimB = &list.sim(1);
    pSimA->model().strDeviceName = QStringLiteral("甲设备");
    pSimB->model().strDeviceName = QStringLiteral("乙设备");
    MainWindow *pWindow = &list.window();
    list.announce(0);
    list.announce(1);
    QCOMPARE(pWindow->rowItems().size(), 2);
    QTreeWidgetItem *pRowA = pWindow->rowItems().at(0), *pRowB = pWindow->rowItems().at(1);
    QCOMPARE(pRowA->text(0), list.address(0));

    QVERIFY(list.switchOn(0) && list.switchOn(1));
    QTRY_COMPARE_WITH_TIMEOUT(pRowA->text(2), QStringLiteral("甲设备"), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(pRowB->text(2), QStringLiteral("乙设备"), 5000);

    // B was switched on last; a later name reply of A still lands on A's row.
    pSimA->model().strDeviceName = QStringLiteral("甲改名");
    QByteArray empty;
    int nRead = 1;
    int nSub = 10;
    const QString strSerial = list.serial(0);
    const QString strCmd = QStringLiteral("系统设置");
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_setDeviceCmd"), Q_ARG(QString, strSerial),
                                                Q_ARG(QString, strCmd), Q_ARG(QByteArray &, empty),
                                                Q_ARG(int, nRead), Q_ARG(int, nSub));
    QTRY_COMPARE_WITH_TIMEOUT(pRowA->text(2), QStringLiteral("甲改名"), 5000);
    QCOMPARE(pRowB->text(2), QStringLiteral("乙设备"));
    QCOMPARE(pWindow->checkR4Exist(strSerial)->getStrDeviceName(), QStringLiteral("甲改名"));

    // A new name written while the Tarn frame edits A: once A took it, A's row and the frame's
    // name field show it; B's row keeps B's.
    QTRY_COMPARE_WITH_TIMEOUT(pWindow->getCurrentDevice(strSerial)->getDeviceInfo()->vectorInput.size(), 2, 5000);
    NameSpy names;
    editButton(pWindow->checkR4Exist(strSerial))->click();
    QCOMPARE(names.deviceNames, QStringList{QStringLiteral("甲改名")});
    QByteArray name = g_toGbkField(QStringLiteral("甲新名"), 12);
    int nWrite = 2;
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_setDeviceCmd"), Q_ARG(QString, strSerial),
                                                Q_ARG(QString, strCmd), Q_ARG(QByteArray &, name),
                                                Q_ARG(int, nWrite), Q_ARG(int, nSub));
    QTRY_COMPARE_WITH_TIMEOUT(pRowA->text(2), QStringLiteral("甲新名"), 5000);
    QCOMPARE(pSimA->model().strDeviceName, QStringLiteral("甲新名"));
    QCOMPARE(pWindow->checkR4Exist(strSerial)->getStrDeviceName(), QStringLiteral("甲新名"));
    QCOMPARE(names.deviceNames.last(), QStringLiteral("甲新名"));
    QCOMPARE(pRowB->text(2), QStringLiteral("乙设备"));

    list.closeWindow();
    QTRY_VERIFY_WITH_TIMEOUT(!pSimA->hasClient() && !pSimB->hasClient(), 5000);
}

void TestMainWindowE2E::lostTarnLinkIsHandledBeforeTheBox()
{
    CSimDeviceList list;
    CDeviceSimulator &sim = list.sim();
    CTcpDeviceThread *pDevice = list.switchOn();
    QVERIFY(pDevice);
    CDeviceControl *pControl = list.window().checkR4Exist(QStringLiteral("SN1"));
    QTRY_COMPARE_WITH_TIMEOUT(pControl->statusText(), QStringLiteral("在线"), 5000);

    // The box stays open a while, running its own event loop as a real one does.
    QStringList listStatusAtBox;
    QList<bool> listConnectedAtBox;
    BesMessageBox::setTestAnswerHook([&](const BesMessageRecord &) {
        listStatusAtBox << pControl->statusText();
        listConnectedAtBox << pDevice->isConnected();
        QEventLoop loop;
        QTimer::singleShot(150, &loop, &QEventLoop::quit);
        loop.exec();
        return int(QMessageBox::Cancel);
    });
    WarningCatcher catcher;
    sim.dropClients();
    QTRY_VERIFY_WITH_TIMEOUT(!BesMessageBox::testRecords().isEmpty(), 5000);
    QTest::qWait(200);
    BesMessageBox::clearTestAnswer();
    BesMessageBox::setTestAnswer(QMessageBox::Cancel);

    // The loss was handled before the box opened; the box names the device.
    QCOMPARE(listStatusAtBox.value(0), QStringLiteral("离线"));
    QCOMPARE(listConnectedAtBox.value(0, true), false);
    const BesMessageRecord record = BesMessageBox::testRecords().first();
    QCOMPARE(record.title, QStringLiteral("网络连接出错"));
    QVERIFY(record.text.startsWith(QStringLiteral("网络通讯断开，请重新连接")));
    QVERIFY(record.text.contains(QStringLiteral("127.0.0.2")) && record.text.contains(QStringLiteral("SN1")));
    for (const QString &strWarning : catcher.warnings())
        QVERIFY2(!strWarning.contains(QStringLiteral("QSocketNotifier")), qPrintable(strWarning));

    // Reconnection is armed: the next announcement brings the link back.
    list.announce();
    QTRY_VERIFY_WITH_TIMEOUT(pDevice->isConnected() && sim.hasClient(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(pControl->statusText(), QStringLiteral("在线"), 5000);
}

// A device switched on that goes away is dialled again on every announcement: one that refuses
// the connection, or one that accepts it and answers nothing (frozen), which loses each link it is
// given. The operator hears of each loss once, a box and a notice of the write it took with it,
// not of each attempt; contact is back when the device answers again.
void TestMainWindowE2E::oneBoxAndNoticePerLoss_data()
{
    QTest::addColumn<bool>("bFrozen");
    QTest::newRow("refusing") << false;
    QTest::newRow("frozen, accepting") << true;
}

void TestMainWindowE2E::oneBoxAndNoticePerLoss()
{
    QFETCH(bool, bFrozen);
    CSimDeviceList list;
    CDeviceSimulator *pSim = &list.sim();
    CTcpDeviceThread *pDevice = list.switchOn();
    QVERIFY(pDevice);
    // A frozen device loses each link after 3 s: its endings are further apart than a burst.
    pDevice->setHeartbeatInterval(1000);
    QSignalSpy errors(pDevice, &CTcpDeviceThread::error);
    auto boxes = []() { return TestUtil::said(QStringLiteral("tipInfor"), QStringLiteral("SN1"), QStringLiteral("网络连接出错")); };
    auto notices = []() { return TestUtil::said(QStringLiteral("notice"), QStringLiteral("SN1"), QStringLiteral("设备未连接")); };
    // The write that left with the link is said only once the device back shows the old name.
    auto notMade = []() { return TestUtil::said(QStringLiteral("notice"), QStringLiteral("SN1"), QStringLiteral("修改未生效")); };
    auto write = [&]() {
        pDevice->setMcuCommand(QStringLiteral("系统设置"), g_toGbkField(QStringLiteral("新名"), 12), 2, 10);
    };
    auto announceAndWait = [&]() {
        const int nErrors = errors.size();
        list.announce();
        QTRY_VERIFY_WITH_TIMEOUT(errors.size() > nErrors || pDevice->isConnected(), 5000);
        QTest::qWait(30); // a box is opened on the next pass of the event loop
    };

    for (int nLoss = 1; nLoss <= 2; ++nLoss) {
        QTRY_VERIFY_WITH_TIMEOUT(pDevice->isDeviceHeard() && !pDevice->hasCommandInFlight(), 5000);
        // The device goes away with a write of the operator's in flight.
        if (bFrozen)
            pSim->setAnswering(false);
        else {
            SimTest::settle(*pDevice, *pSim);
            pSim->injectFault(CDeviceSimulator::NoAnswer, 41);
        }
        write();
        if (!bFrozen) {
            QTRY_VERIFY_WITH_TIMEOUT(!pSim->requests(41, 10).isEmpty() && pSim->requests(41, 10).last().nReadOrWrite == 2, 5000);
            list.remove();
        }
        QTRY_COMPARE_WITH_TIMEOUT(boxes(), nLoss, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!pDevice->isConnected(), 5000);
        for (int i = 0; i < (bFrozen ? 2 : 3); ++i) {
            announceAndWait();
            if (!bFrozen)
                continue;
            // Linked again, the frozen device loses this link too, with another write.
            write();
            QTRY_VERIFY_WITH_TIMEOUT(!pDevice->isConnected(), 5000);
        }
        QVERIFY(!pDevice->isConnected());
        QCOMPARE(boxes(), nLoss);
        QTRY_COMPARE_WITH_TIMEOUT(notices(), bFrozen ? nLoss : 0, 5000);
        if (!bFrozen)
            QCOMPARE(notMade(), nLoss - 1);

        // Back again: the link comes up on the next announcement.
        if (bFrozen) {
            pSim->setAnswering(true);
        } else {
            QVERIFY((pSim = list.bringBack()));
        }
        announceAndWait();
        QTRY_VERIFY_WITH_TIMEOUT(pDevice->isConnected() && pSim->hasClient() && pDevice->isDeviceHeard(), 5000);
        QCOMPARE(boxes(), nLoss);
        QCOMPARE(notices(), bFrozen ? nLoss : 0);
        if (!bFrozen)
            QTRY_COMPARE_WITH_TIMEOUT(notMade(), nLoss, 5000);
    }
}

// A lost-link box still open when the device is back goes away by itself: when it answers on the
// new link, not when it merely accepts one (a frozen device does). Devices lost at once each have
// their box, none covering another, each going when its own device is back and no other's.
void TestMainWindowE2E::lostLinkBoxGoesWhenTheLinkIsBack_data()
{
    QTest::addColumn<bool>("bFrozen");
    QTest::addColumn<int>("nDevices");
    QTest::newRow("dropped") << false << 1;
    QTest::newRow("frozen, linked again before it answers") << true << 1;
    QTest::newRow("two dropped at once") << false << 2;
    QTest::newRow("two frozen at once") << true << 2;
}

void TestMainWindowE2E::lostLinkBoxGoesWhenTheLinkIsBack()
{
    QFETCH(bool, bFrozen);
    QFETCH(int, nDevices);
    CSimDeviceList list(nDevices);
    QList<CTcpDeviceThread *> listDevices;
    for (int n = 0; n < nDevices; ++n) {
        listDevices << list.switchOn(n);
        QVERIFY(listDevices.last());
        listDevices.last()->setHeartbeatInterval(300); // a frozen device loses its link after 1.5 s
    }
    BesMessageBox::clearTestAnswer(); // real boxes, each running its own event loop
    const auto restore = qScopeGuard([]() { BesMessageBox::setTestAnswer(QMessageBox::Cancel); });
    const auto boxOf = [&](int n) { return TestUtil::shownBoxes(list.serial(n)).value(0); };
    // Runs inside the boxes' loops: once every box shows, the devices announce themselves again,
    // each once the box of the one before went; a frozen one answers again once it is linked with
    // its box still there. A box still there long after is closed here so that the test can end.
    int nPolls = 0, nAnnounced = 0, nBack = 0; // devices announced again; whose box went
    QStringList listSeen; // boxes covering one another; the boxes left as each device's went
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&]() {
        int nShown = 0;
        for (int n = 0; n < nDevices; ++n)
            nShown += boxOf(n) ? 1 : 0;
        if (nBack == nDevices || (nAnnounced == nBack && nShown < nDevices - nBack))
            return;
        for (int n = 0; nAnnounced == 0 && n + 1 < nDevices; ++n)
            if (boxOf(n)->frameGeometry().intersects(boxOf(n + 1)->frameGeometry()))
                listSeen << QStringLiteral("covered");
        if (nAnnounced == nBack)
            list.announce(nAnnounced++);
        if (bFrozen && listDevices.at(nBack)->isConnected())
            list.sim(nBack).setAnswering(true);
        if (!boxOf(nBack))
            listSeen << QStringLiteral("%1 back: %2 left").arg(++nBack).arg(nShown);
        if (++nPolls > 400 && QApplication::activeModalWidget())
            QApplication::activeModalWidget()->close();
    });
    poll.start(20);
    for (int n = 0; n < nDevices; ++n)
        bFrozen ? list.sim(n).setAnswering(false) : list.sim(n).dropClients();
    QTRY_VERIFY_WITH_TIMEOUT(nBack == nDevices && !QApplication::activeModalWidget(), 15000);
    QVERIFY(nPolls <= 400);
    QCOMPARE(listSeen, (nDevices == 1 ? QStringList{"1 back: 0 left"} : QStringList{"1 back: 1 left", "2 back: 0 left"}));
    for (CTcpDeviceThread *pDevice : listDevices)
        QVERIFY(pDevice->isConnected() && pDevice->isDeviceHeard());
}

void TestMainWindowE2E::reannouncedAddressIsDialled()
{
    CSimDeviceList list;
    QVERIFY(list.isListening());
    CDeviceSimulator &sim = list.sim();
    MainWindow &w = list.window();
    // First seen where nothing answers; switched on, the attempt fails there.
    w.slot_newDevice({QStringLiteral("127.0.0.7"), QString(), QStringLiteral("Tarn-3"), QStringLiteral("SN1")});
    CTcpDeviceThread *pDevice = w.getCurrentDevice(QStringLiteral("SN1"));
    QTest::mouseClick(w.checkR4Exist(QStringLiteral("SN1"))->switchButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!BesMessageBox::testRecords().isEmpty(), 5000);
    QVERIFY(!pDevice->isConnected());

    // Announced at its new address: the next connection goes there.
    list.announce();
    QCOMPARE(pDevice->getDeviceIp(), QStringLiteral("127.0.0.2"));
    QCOMPARE(pDevice->getDeviceInfo()->strIp, QStringLiteral("127.0.0.2"));
    QCOMPARE(w.rowItems().at(0)->text(0), QStringLiteral("127.0.0.2"));
    QTRY_VERIFY_WITH_TIMEOUT(pDevice->isConnected() && sim.hasClient(), 5000);

    // Moved while connected: the link that is up stays; after a switch off and on the new
    // address is dialled.
    CDeviceSimulator simMoved(CSimDeviceModel::Tarn, 2, 1);
    QVERIFY(simMoved.listen(QHostAddress(QStringLiteral("127.0.0.8")), sim.port()));
    w.slot_newDevice({QStringLiteral("127.0.0.8"), QString(), QStringLiteral("Tarn-3"), QStringLiteral("SN1")});
    QVERIFY(pDevice->isConnected());
    QTest::mouseClick(w.checkR4Exist(QStringLiteral("SN1"))->switchButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!sim.hasClient(), 5000);
    QTest::mouseClick(w.checkR4Exist(QStringLiteral("SN1"))->switchButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(pDevice->isConnected() && simMoved.hasClient(), 5000);
    QVERIFY(!sim.hasClient());
}

void TestMainWindowE2E::endedLoopRestartsWithoutWaiting()
{
    CSimDeviceList list;
    CTcpDeviceThread *pDevice = list.switchOn();
    QVERIFY(pDevice);

    // The loop ends; before the GUI thread hears of it the link has started a new one.
    pDevice->setCanConnected(false);
    QVERIFY(pDevice->wait(3000));
    pDevice->setCanConnected(true);
    pDevice->start();
    LoopWatchdog watchdog(pDevice);
    watchdog.start();
    QTest::qWait(100);
    watchdog.release();
    QVERIFY(watchdog.wait(5000));
    QVERIFY2(!watchdog.bFired, "the GUI thread waited for the running loop");
    QVERIFY(pDevice->isRunning());
    QVERIFY(pDevice->isConnected());
}

VISTEL_TEST_MAIN(TestMainWindowE2E)
#include "tst_mainwindow_e2e.moc"
