// The TypeC tab: serial ports supplied through the window's port-list seam,
// a simulated device on a pseudo terminal, and ports without a worker.
#include "TestMain.h"

#include "BesMessageBox.h"
#include "DeviceSimulator.h"
#include "BackCanvasWidget.h"
#include "EditSceneMain.h"
#include "DeviceItem.h"
#include "FileListWidget.h"
#include "LayoutListWidget.h"
#include "WndPosWidget.h"
#include "PropertyStack.h"
#include "QorGlobal.h"
#include "TcpDeviceThread.h"
#include "globalObserver.h"
#include "mainwindow.h"
#include "zinferface.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QFile>
#include <QTemporaryDir>

#include <ctime>
#include <memory>

#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSceneCanvas.h"
#include "EditSingleTextItem.h"
#include "SceneTestUtil.h"
#include <QPushButton>
#include <QTreeWidgetItem>
#include <QUdpSocket>
#include "SimTestUtil.h"
#include "TestUtil.h"

using SimTest::freeUdpPort;
using SimTest::commandOrder;

namespace {

QPushButton *connectButton(MainWindow &w)
{
    return w.findChild<QPushButton *>(QStringLiteral("SertalportBtn"));
}

QComboBox *portBox(MainWindow &w)
{
    return w.findChild<QComboBox *>(QStringLiteral("portBox"));
}

class NameSpy : public QObject
{
    Q_OBJECT
public:
    QStringList deviceNames;
    NameSpy()
    {
        globalObserver::getGlobalObserver()->attach(QStringLiteral("slot_updateDeviceName"), this,
                                                    "slot_updateDeviceName");
    }
    ~NameSpy() override
    {
        globalObserver::getGlobalObserver()->detach(QStringLiteral("slot_updateDeviceName"), this);
    }
public slots:
    void slot_updateDeviceName(QString strName) { deviceNames << strName; }
};

// The names the source rows show, in row order.
QStringList rowNames(CFileListWidget *pPanel)
{
    QStringList list;
    for (int r = 0; r < pPanel->layoutList()->rowCount(); ++r)
        list << pPanel->layoutList()->itemAt(r)->findChild<QLabel *>(QStringLiteral("labelName"))->text().section(
            QStringLiteral("\r\n"), 0, 0);
    return list;
}

void dragLayer0Down(CEditSceneCanvas *pCanvas)
{
    CEditBaseView *pView = pCanvas->view();
    const QPoint pt = pView->mapFromScene(pCanvas->currentScene()->itemById(0)->sceneBoundingRect().center());
    SceneTest::dragInView(pView, pt, pt + QPoint(0, 40)); // down only: it stays on its own output
}

} // namespace

class TestTypeC : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void tarnOverSerial();
    void portWithoutWorker();
    void portThatDoesNotOpen();
    void pulledLineAndANewOne();
    void silentLine_data();
    void silentLine();
    void nameStaysWithItsOwnFrame();
};

void TestTypeC::initTestCase()
{
    MainWindow::setDiscoveryPort(freeUdpPort(), QHostAddress::LocalHost);
    BesMessageBox::setTestAnswer(QMessageBox::Cancel);
}

void TestTypeC::init()
{
    g_strDevType = QStringLiteral("Tarn");
    g_strSerialDevType = QStringLiteral("Tarn");
    g_nConnectionType = 0;
    BesMessageBox::clearTestRecords();
}

void TestTypeC::cleanup()
{
    MainWindow::setSerialPortLister([]() { return QStringList(); });
    QFile::remove(QStringLiteral("Morvane.ini"));
}

void TestTypeC::tarnOverSerial()
{
    CDeviceSimulator sim(CSimDeviceModel::Tarn, 4, 2);
    QVERIFY(sim.openPty());
    const QString strPort = sim.ptyName();
    MainWindow::setSerialPortLister([strPort]() { return QStringList{strPort}; });

    auto *pWindow = new MainWindow;
    MainWindow &w = *pWindow;
    QCOMPARE(portBox(w)->count(), 1);
    QCOMPARE(portBox(w)->currentText(), strPort);
    CTcpDeviceThread *pDevice = w.getCurrentDevice(strPort);
    QVERIFY(pDevice);
    QVERIFY(!pDevice->isRunning());

    NameSpy names;
    connectButton(w)->click();
    QVERIFY(BesMessageBox::testRecords().isEmpty());
    QVERIFY(!connectButton(w)->isEnabled());
    QCOMPARE(connectButton(w)->text(), QStringLiteral("串口已打开"));
    QCOMPARE(g_nConnectionType, 1);
    QCOMPARE(w.serialDevice(), pDevice);
    QVERIFY(pDevice->isRunning());

    // The device information read, then (once the model is known) the Tarn
    // family's follow-up reads in their order.
    QTRY_VERIFY_WITH_TIMEOUT(commandOrder(sim).size() >= 4, 5000);
    QCOMPARE(commandOrder(sim).mid(0, 4), (QList<int>{0, 40, 33, 41}));
    const QList<CSimRequest> listReq = sim.requestsWithoutHeartbeat();
    QVERIFY(listReq.at(0).bSerial);
    QCOMPARE(listReq.at(0).payload, QByteArray::fromHex("01"));
    QCOMPARE(listReq.at(3).nSub, 10);
    QVERIFY(!sim.hasRequest(27));
    QCOMPARE(g_strSerialDevType, QStringLiteral("Tarn-3"));
    QCOMPARE(g_strDevType, QStringLiteral("Tarn"));

    // The device name goes to the editor; the tree is not touched.
    QTRY_VERIFY_WITH_TIMEOUT(names.deviceNames.contains(QStringLiteral("演示设备")), 5000);
    QCOMPARE(w.rootItem()->childCount(), 0);

    // 2000 ms after the model report the Tarn frame opens by itself.
    QTRY_VERIFY_WITH_TIMEOUT(w.editSceneMain()->isVisible(), 6000);
    QCOMPARE(w.editSceneMain()->currentDevice(), pDevice->getDeviceInfo());

    // Shut-down closes the port and releases the serial worker.
    QVERIFY(w.close());
    QVERIFY(!w.serialDevice());
    delete pWindow;
}

void TestTypeC::portWithoutWorker()
{
    MainWindow::setSerialPortLister([]() { return QStringList(); });
    MainWindow w;
    QCOMPARE(portBox(w)->count(), 0);

    // Nothing in the combo box: nothing is touched, the operator is told.
    connectButton(w)->click();
    QCOMPARE(BesMessageBox::testRecords().size(), 1);
    QVERIFY(connectButton(w)->isEnabled());
    QCOMPARE(g_nConnectionType, 0);

    // A port plugged in after start-up is listed by a refresh but has no worker.
    MainWindow::setSerialPortLister([]() { return QStringList{QStringLiteral("ttyACM7")}; });
    QMetaObject::invokeMethod(&w, "on_RefreshPushButton_clicked");
    QCOMPARE(portBox(w)->count(), 1);
    QCOMPARE(portBox(w)->currentText(), QStringLiteral("ttyACM7"));
    QCOMPARE(w.deviceList().size(), 0);
    connectButton(w)->click();
    QCOMPARE(BesMessageBox::testRecords().size(), 2);
    QCOMPARE(BesMessageBox::testRecords().at(1).kind, QStringLiteral("information"));
    QVERIFY(connectButton(w)->isEnabled());
    QCOMPARE(connectButton(w)->text(), QStringLiteral("串口连接"));
    QVERIFY(!w.serialDevice());
    QCOMPARE(g_nConnectionType, 0);
}

void TestTypeC::portThatDoesNotOpen()
{
    MainWindow::setSerialPortLister([]() { return QStringList{QStringLiteral("/dev/ttyNONE9")}; });
    MainWindow w;
    CTcpDeviceThread *pDevice = w.getCurrentDevice(QStringLiteral("/dev/ttyNONE9"));
    QVERIFY(pDevice);
    connectButton(w)->click();
    // The transport tells the operator and re-enables the button.
    QVERIFY(!BesMessageBox::testRecords().isEmpty());
    QVERIFY(connectButton(w)->isEnabled());
    QCOMPARE(connectButton(w)->text(), QStringLiteral("串口连接"));
    QVERIFY(!pDevice->isRunning());
    QVERIFY(!pDevice->isConnected());
    QCOMPARE(g_nConnectionType, 0);
}

// The line pulled with the editor open: nothing spins, the operator is told, the tab can connect
// again, and the canvas edits nothing; a new line on the same port then serves the device.
void TestTypeC::pulledLineAndANewOne()
{
    QTemporaryDir dir;
    const QString strPort = dir.filePath(QStringLiteral("ttyTypeC"));
    auto pSim = std::make_unique<CDeviceSimulator>(CSimDeviceModel::Tarn, 4, 2);
    QVERIFY(pSim->openPty());
    QVERIFY(QFile::link(pSim->ptyName(), strPort));
    MainWindow::setSerialPortLister([strPort]() { return QStringList{strPort}; });
    MainWindow w;
    CTcpDeviceThread *pDevice = w.getCurrentDevice(strPort);
    connectButton(w)->click();
    CEditSceneCanvas *pCanvas = w.editSceneMain()->canvas();
    QTRY_VERIFY_WITH_TIMEOUT(w.editSceneMain()->isVisible() && pCanvas->currentScene()->itemById(0), 8000);
    SimTest::settle(*pDevice, *pSim, 300);
    const QStringList listRead = SceneTest::layerTexts(pCanvas->currentScene());

    pSim->closePty();
    const std::clock_t cpuStart = std::clock(); // the process's CPU time, every thread
    QTest::qWait(3000);
    const double dUsed = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    QVERIFY2(dUsed < 0.3, qPrintable(QString::number(dUsed)));
    QTRY_VERIFY_WITH_TIMEOUT(!pDevice->isConnected() && connectButton(w)->isEnabled(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(BesMessageBox::testRecords().size(), 1, 10000);
    QVERIFY(BesMessageBox::testRecords().first().text.contains(strPort));
    QVERIFY(BesMessageBox::testRecords().first().text.startsWith(QStringLiteral("串口线松动")));

    dragLayer0Down(pCanvas);
    QCOMPARE(pDevice->queuedCommandCount(), 0);
    QTRY_COMPARE(SceneTest::layerTexts(pCanvas->currentScene()), listRead);

    // A new line on the same port, its first input renamed meanwhile: the link reads the inputs
    // as a first start does, and the records, the rows and the layer page show the new name.
    QCOMPARE(rowNames(w.editSceneMain()->fileListWidget()).value(0), QStringLiteral("IN1"));
    pSim = std::make_unique<CDeviceSimulator>(CSimDeviceModel::Tarn, 4, 2);
    pSim->model().inputs[0].strName = QStringLiteral("Desk");
    QVERIFY(pSim->openPty());
    QVERIFY(QFile::remove(strPort) && QFile::link(pSim->ptyName(), strPort));
    connectButton(w)->click();
    QTRY_VERIFY_WITH_TIMEOUT(pSim->hasRequest(35, 80), 5000);
    SimTest::settle(*pDevice, *pSim, 300);
    QCOMPARE(pDevice->getDeviceInfo()->findInput(0)->strName, QStringLiteral("Desk"));
    QTRY_COMPARE(rowNames(w.editSceneMain()->fileListWidget()).value(0), QStringLiteral("Desk"));
    auto *pSources = w.editSceneMain()->propertyStack()->wndPosWidget()->findChild<QComboBox *>(QStringLiteral("cmbMainSig"));
    QTRY_COMPARE(pSources->itemText(pSources->findData(0)), QStringLiteral("Desk"));
    const int nY = pSim->model().scenes.at(0).layers.at(0).nY;
    dragLayer0Down(pCanvas);
    QTRY_VERIFY_WITH_TIMEOUT(pSim->model().scenes.at(0).layers.at(0).nY != nY, 5000);
    pSim->closePty(); // pulled again: said again
    QTRY_COMPARE_WITH_TIMEOUT(TestUtil::said("tipInfor", strPort), 2, 10000);
}

// A line whose far end answers nothing, or never answers the connect's first read whole, is a line
// lost: said once, as a device that does not answer (not a loose cable), naming the port; the port
// closes and the tab can connect again. One garbled answer to that read is asked again: the device
// is read and its frame opens.
void TestTypeC::silentLine_data()
{
    QTest::addColumn<int>("garbled"); // answers of the device information read sent garbled; -1: none sent; -2: none once read; -3: a poll missed
    QTest::newRow("answers nothing") << -1;
    QTest::newRow("answers nothing once read") << -2;
    QTest::newRow("misses a poll, answers when asked once more") << -3;
    QTest::newRow("misses a poll twice, answering in between") << -4; // -4: two polls missed
    QTest::newRow("device information garbled at every ask") << 3;
    QTest::newRow("device information garbled once") << 1;
}

void TestTypeC::silentLine()
{
    QFETCH(int, garbled);
    QTemporaryDir dir;
    const QString strPort = dir.filePath(QStringLiteral("ttyTypeC"));
    CDeviceSimulator sim(CSimDeviceModel::Tarn, 4, 2);
    QVERIFY(sim.openPty());
    if (garbled == -1)
        sim.setAnswering(false);
    else if (garbled > 0)
        sim.injectFault(CDeviceSimulator::BadCheck, 0, garbled);
    QVERIFY(QFile::link(sim.ptyName(), strPort));
    MainWindow::setSerialPortLister([strPort]() { return QStringList{strPort}; });
    MainWindow w;
    CTcpDeviceThread *pDevice = w.getCurrentDevice(strPort);
    pDevice->setHeartbeatInterval(500); // silent for 1.5 s
    pDevice->setReplyTimeout(300);
    connectButton(w)->click();
    QTRY_VERIFY(pDevice->isConnected());
    if (garbled == -2) {
        QTRY_VERIFY_WITH_TIMEOUT(w.editSceneMain()->isVisible(), 8000);
        sim.setAnswering(false);
    }
    if (garbled == 1 || garbled <= -3) {
        QTRY_VERIFY_WITH_TIMEOUT(w.editSceneMain()->isVisible(), 8000);
        QCOMPARE(w.editSceneMain()->currentDevice(), pDevice->getDeviceInfo());
        QTRY_COMPARE(pDevice->getDeviceInfo()->vectorInput.size(), 4);
        if (garbled == -3) { // the next source poll goes unanswered, the request after it is: the polls go on
            QTRY_VERIFY(!pDevice->hasCommandInFlight() && pDevice->queuedCommandCount() == 0);
            const int nPolls = sim.requests(32).size();
            connect(&sim, &CDeviceSimulator::requestReceived, &sim,
                    [&sim, nPolls](int nCmd) { sim.setAnswering(nCmd != 32 || sim.requests(32).size() != nPolls + 1); });
            QTRY_VERIFY_WITH_TIMEOUT(sim.requests(32).size() > nPolls + 2 && !pDevice->hasCommandInFlight(), 12000);
        }
        if (garbled == -4) { // the next poll goes unanswered, the ask after it is answered, the next poll not: asked once more too
            QTRY_VERIFY(!pDevice->hasCommandInFlight() && pDevice->queuedCommandCount() == 0);
            const int nPolls = sim.requests(32).size();
            connect(&sim, &CDeviceSimulator::requestReceived, &sim, [&sim, nPolls](int nCmd) {
                const int nPoll = sim.requests(32).size() - nPolls;
                sim.setAnswering(nCmd != 32 || (nPoll != 1 && nPoll != 3));
            });
            QTRY_VERIFY_WITH_TIMEOUT(sim.requests(32).size() > nPolls + 1 && !pDevice->hasCommandInFlight(), 8000);
            pDevice->setInputSrcCmd(); // polled again at once, not at the poll's period
            QTRY_VERIFY_WITH_TIMEOUT(!pDevice->isConnected() || (sim.requests(32).size() > nPolls + 3 && !pDevice->hasCommandInFlight()),
                                     8000);
        }
        QVERIFY(pDevice->isConnected());
        QCOMPARE(TestUtil::said("tipInfor"), 0);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!pDevice->isConnected() && connectButton(w)->isEnabled(), 10000);
    QCOMPARE(connectButton(w)->text(), QStringLiteral("串口连接"));
    QTRY_COMPARE(TestUtil::said("tipInfor", strPort), 1);
    QCOMPARE(TestUtil::said("tipInfor"), 1);
    QCOMPARE(TestUtil::said("tipInfor", QStringLiteral("设备无应答，"), QStringLiteral("串口连接出错")), 1);

    // It answers again: the tab connects.
    sim.setAnswering(true);
    sim.clearFaults();
    connectButton(w)->click();
    QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(35, 80), 8000);
    QVERIFY(pDevice->isConnected());
}

// A Z device on the port a Tarn device used: its name reaches the Z frame only; the Tarn frame,
// still open, shows the name of the device it edited, after a language switch too.
void TestTypeC::nameStaysWithItsOwnFrame()
{
    QTemporaryDir dir;
    const QString strPort = dir.filePath(QStringLiteral("ttyTypeC"));
    auto pSim = std::make_unique<CDeviceSimulator>(CSimDeviceModel::Tarn, 4, 2);
    pSim->model().strDeviceName = QStringLiteral("LeftWall");
    QVERIFY(pSim->openPty());
    QVERIFY(QFile::link(pSim->ptyName(), strPort));
    MainWindow::setSerialPortLister([strPort]() { return QStringList{strPort}; });
    MainWindow w;
    CTcpDeviceThread *pDevice = w.getCurrentDevice(strPort);
    connectButton(w)->click();
    QTRY_VERIFY_WITH_TIMEOUT(w.editSceneMain()->isVisible(), 8000);
    auto tarnName = [&w]() {
        return w.editSceneMain()->propertyStack()->backCanvasWidget()->findChild<QLineEdit *>(
            QStringLiteral("lineEditstrSerial"))->text();
    };
    QTRY_COMPARE(tarnName(), QStringLiteral("LeftWall"));

    pSim->closePty();
    QTRY_VERIFY_WITH_TIMEOUT(!pDevice->isConnected() && connectButton(w)->isEnabled(), 10000);
    pSim = std::make_unique<CDeviceSimulator>(CSimDeviceModel::Z, 3, 2);
    pSim->model().strDeviceName = QStringLiteral("ZoneHall");
    QVERIFY(pSim->openPty());
    QVERIFY(QFile::remove(strPort) && QFile::link(pSim->ptyName(), strPort));
    connectButton(w)->click();
    QTRY_VERIFY_WITH_TIMEOUT(w.zInterface() && w.zInterface()->isVisible(), 8000);
    auto *pZName = w.zInterface()->propertyStack()->tipsWidget()->findChild<QLineEdit *>(
        QStringLiteral("lineEditstrSerial"));
    QTRY_COMPARE(pZName->text(), QStringLiteral("ZoneHall"));
    SimTest::settle(*pDevice, *pSim, 300);
    QVERIFY(w.editSceneMain()->isVisible());
    QCOMPARE(tarnName(), QStringLiteral("LeftWall"));
    QVERIFY(QMetaObject::invokeMethod(&w, "on_comboBoxLanguage_activated", Q_ARG(int, 1)));
    QCOMPARE(tarnName(), QStringLiteral("LeftWall"));
    QCOMPARE(pZName->text(), QStringLiteral("ZoneHall"));
    QVERIFY(w.close());
}

VISTEL_TEST_MAIN(TestTypeC)
#include "tst_typec.moc"
