#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "BesMessageBox.h"
#include "DeviceControl.h"
#include "EditSceneCanvas.h"
#include "EditSceneMain.h"
#include "FileListWidget.h"
#include "ProgramListWidget.h"
#include "PropertyStack.h"
#include "TarnSceneStore.h"
#include "QorGlobal.h"
#include "RecvDeviceThread.h"
#include "TcpDeviceThread.h"
#include "TcpSocket.h"
#include "globalObserver.h"
#include "zinferface.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QCloseEvent>
#include <QCursor>
#include <QDateTime>
#include <QHeaderView>
#include <QMenu>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSettings>
#include <QTcpSocket>
#include <QTimer>
#include <QWindow>
#include <QTranslator>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <future>

namespace {

int s_nDevicePort = 8089;
quint16 s_nDiscoveryPort = 11502;
QHostAddress s_discoveryAddress = QHostAddress(QHostAddress::AnyIPv4);
std::function<QStringList()> s_serialPortLister;

// How long shut-down waits for one thread to leave its loop.
constexpr unsigned long kThreadStopWaitMs = 5000;

// How long after the device list is first shown the Tarn frame is built: long
// enough for the list's first paint to reach the screen, short against any reach
// for the edit button.
constexpr int kEditFrameDelayMs = 50;

// True while the worker's TCP transport is still looking up or connecting.
bool isConnecting(CTcpDeviceThread *pDevice)
{
    CTcpSocket *pTransport = pDevice->getTcpTransport();
    if (!pTransport || !pTransport->getTcpSocket())
        return false;
    const QAbstractSocket::SocketState state = pTransport->getTcpSocket()->state();
    return state == QAbstractSocket::HostLookupState || state == QAbstractSocket::ConnectingState;
}

const char *const kConfigFile = "Morvane.ini";
const char *const kLanguageKey = "/Set/Language";

void logInfo(const QString &strMessage)
{
    qInfo().noquote() << QStringLiteral("[%1]: ")
                                 .arg(QDateTime::currentDateTime().toString(
                                     QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                             + strMessage;
}

QByteArray payloadOf(const char *pBytes, int nLen)
{
    return QByteArray(pBytes, nLen);
}

} // namespace

// ------------------------------------------------------------------ seams

void MainWindow::setDevicePort(int nPort)
{
    s_nDevicePort = nPort;
}

int MainWindow::devicePort()
{
    return s_nDevicePort;
}

void MainWindow::setDiscoveryPort(quint16 nPort, const QHostAddress &bindAddress)
{
    s_nDiscoveryPort = nPort;
    s_discoveryAddress = bindAddress;
}

void MainWindow::setSerialPortLister(std::function<QStringList()> lister)
{
    s_serialPortLister = std::move(lister);
}

QStringList MainWindow::listSerialPorts()
{
    if (s_serialPortLister)
        return s_serialPortLister();
    QStringList listNames;
    const QList<QSerialPortInfo> listPorts = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : listPorts)
        listNames.append(info.portName());
    // Ports the system does not list (a pseudo terminal, such as the simulator's serial line),
    // named by path in VISTEL_SERIAL_PORTS, separated by ':'.
    const QStringList listExtra = QString::fromLocal8Bit(qgetenv("VISTEL_SERIAL_PORTS")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &strPort : listExtra)
        if (!listNames.contains(strPort))
            listNames.append(strPort);
    return listNames;
}

// ------------------------------------------------------- start and stop

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    // The serial ports are listed on a thread of their own while the window
    // builds itself: the platform's list looks at every terminal device of the
    // system and takes a while.
    std::future<QStringList> portsListed = std::async(std::launch::async, &MainWindow::listSerialPorts);
    ui->setupUi(this);
    // Every window of the program shows the program's icon.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/res/res/image/kelvo.ico")));
    initTree();

    m_pTranslator = new QTranslator(this);
    m_pSerialPort = new QSerialPort(this);
    setMenu();
    setWindowTitle(QStringLiteral("Vistel-V1.1(20250108)"));

    // The one owner of the Tarn scenes, before the frames that show them. The
    // Tarn frame itself is built once the list has been shown (see showEvent),
    // or the moment something needs it earlier (editSceneMain).
    new CTarnSceneStore(this);
    m_nTreeWidgetItemId = 0;
    m_nCurrentlyTreeWidgetItemId = -1;
    m_nLanguage = 0;

    m_pRecvDevice = new CRecvDeviceThread(nullptr);
    m_pRecvDevice->setListenPort(s_nDiscoveryPort);
    m_pRecvDevice->setBindAddress(s_discoveryAddress);
    connect(this, &MainWindow::sig_stopThread, m_pRecvDevice, &CRecvDeviceThread::slot_recvStop);
    m_pRecvDevice->start(QThread::InheritPriority);

    // One worker per serial port present now, keyed by the port name; they are
    // started only when their port is connected on the TypeC tab.
    const QStringList listPorts = portsListed.get();
    for (const QString &strPort : listPorts) {
        auto *pDevice = new CTcpDeviceThread(this);
        pDevice->setDeviceSerial(strPort);
        connect(this, &MainWindow::sig_stopThread, pDevice, &CTcpDeviceThread::slot_stopDeviceThread);
        // A line lost (pulled, or its device gone) can be connected again.
        connect(pDevice, &CTcpDeviceThread::disconnected, this, [this, pDevice]() {
            if (pSerislportDevice != pDevice || !ui)
                return;
            m_nConnectingType = 0;
            ui->SertalportBtn->setText(tr("串口连接"));
            ui->SertalportBtn->setEnabled(true);
        });
        addWorker(pDevice);
    }
    ui->portBox->addItems(listPorts);
    ui->RefreshPushButton->setStyleSheet(QStringLiteral(
        "QPushButton{border-image:url(:/res/res/image/reset-normal.png);background:transparent;}"
        "QPushButton:hover{border-image:url(:/res/res/image/reset-hover.png);background:transparent;}"
        "QPushButton:pressed{border-image:url(:/res/res/image/reset-hover.png);background:transparent;}"));

    const int nLanguage = readStoredLanguage().contains(QStringLiteral("英文")) ? 1 : 0;
    on_comboBoxLanguage_activated(nLanguage);

    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->attach(QStringLiteral("slot_newDevice"), this, "slot_newDevice");
    pHub->attach(QStringLiteral("slot_setDeviceCmd"), this, "slot_setDeviceCmd");
    pHub->attach(QStringLiteral("slot_updateCurrentDevice"), this, "slot_updateCurrentDevice");
    pHub->attach(QStringLiteral("slot_switchDeviceConnect"), this, "slot_switchDeviceConnect");
    pHub->attach(QStringLiteral("slot_getSystemDeviceName"), this, "slot_getSystemDeviceName");
    pHub->attach(QStringLiteral("slot_updateCurrentZDevice"), this, "slot_updateCurrentZDevice");
    pHub->attach(QStringLiteral("slot_getEditSingleTextItemstrTextLanguage"), this,
                 "slot_getEditSingleTextItemstrTextLanguage");
    pHub->attach(QStringLiteral("slot_getConnectingType"), this, "slot_getConnectingType");
    pHub->attach(QStringLiteral("slot_setButtonEnable"), this, "slot_setButtonEnable");
}

MainWindow::~MainWindow()
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->detach(QStringLiteral("slot_newDevice"), this);
    pHub->detach(QStringLiteral("slot_setDeviceCmd"), this);
    pHub->detach(QStringLiteral("slot_switchDeviceConnect"), this);
    pHub->detach(QStringLiteral("slot_updateCurrentDevice"), this);
    pHub->detach(QStringLiteral("slot_getSystemDeviceName"), this);
    pHub->detach(QStringLiteral("slot_updateCurrentZDevice"), this);
    pHub->detach(QStringLiteral("slot_getEditSingleTextItemstrTextLanguage"), this);
    pHub->detach(QStringLiteral("slot_getConnectingType"), this);
    pHub->detach(QStringLiteral("slot_setButtonEnable"), this);

    // The event loop may have ended without this window being closed (the Tarn
    // frame quits the program directly): every thread is stopped and waited
    // for here, before anything that it uses is deleted.
    stopAllThreads();

    m_bFramesClosed = true;
    delete m_pEditSceneMain;
    m_pEditSceneMain = nullptr;
    delete m_pZinterface;
    m_pZinterface = nullptr;
    delete ui;
    ui = nullptr;
}

// Stops every device worker and the discovery thread and waits (bounded) for
// their loops to end; then deletes them. A thread that does not end within the
// bound is left alive (and leaked) rather than destroyed while it runs.
void MainWindow::stopAllThreads()
{
    if (m_bThreadsStopped)
        return;
    m_bThreadsStopped = true;

    for (CTcpDeviceThread *pDevice : qAsConst(m_listDevice)) {
        disconnect(pDevice, nullptr, this, nullptr);
        pDevice->disconnect(SIGNAL(sig_deviceStatus(bool)));
        pDevice->setCanConnected(false);
        pDevice->slot_stopDeviceThread();
    }
    if (m_pRecvDevice)
        m_pRecvDevice->slot_recvStop();

    const QList<CTcpDeviceThread *> listDevice = m_listDevice;
    m_listDevice.clear();
    m_workerOfSerial.clear();
    for (CTcpDeviceThread *pDevice : listDevice) {
        pDevice->quit();
        if (pDevice->wait(kThreadStopWaitMs)) {
            delete pDevice;
        } else {
            logInfo(QStringLiteral("The device thread of %1 did not stop; it is left running")
                        .arg(pDevice->getDeviceSerial()));
            pDevice->setParent(nullptr);
        }
    }
    if (pSerislportDevice) {
        // Not in m_listDevice any more when closeEvent released it already.
        pSerislportDevice = nullptr;
    }
    if (m_pRecvDevice) {
        m_pRecvDevice->quit();
        if (m_pRecvDevice->wait(kThreadStopWaitMs))
            delete m_pRecvDevice;
        else
            logInfo(QStringLiteral("The discovery thread did not stop; it is left running"));
        m_pRecvDevice = nullptr;
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    emit sig_stopThread();
    globalObserver::getGlobalObserver()->notify(QStringLiteral("Slot_DisconnectSerialPort"));

    m_bFramesClosed = true;
    delete m_pEditSceneMain;
    m_pEditSceneMain = nullptr;
    if (m_pZinterface) {
        delete m_pZinterface;
        m_pZinterface = nullptr;
    }

    if (pSerislportDevice) {
        CTcpDeviceThread *pDevice = pSerislportDevice;
        pSerislportDevice = nullptr;
        removeWorker(pDevice);
        pDevice->quit();
        if (pDevice->wait(kThreadStopWaitMs))
            delete pDevice;
        else
            pDevice->setParent(nullptr);
    }

    // Every other worker and the discovery thread are waited for as well, so
    // that nothing is destroyed with its thread still running.
    stopAllThreads();
    QMainWindow::closeEvent(event);
}

// ------------------------------------------------------- the Tarn frame

CEditSceneMain *MainWindow::editSceneMain()
{
    if (!m_pEditSceneMain && !m_bFramesClosed) {
        m_pEditSceneMain = new CEditSceneMain(nullptr);
        applyLanguageToEditSceneMain();
    } else if (m_pEditSceneMain) {
        m_pEditSceneMain->completeBuild();
    }
    return m_pEditSceneMain;
}

// The frame built after the first paint leaves its property stack for the
// first need: editSceneMain() and the frame's first show add it.
void MainWindow::buildEditSceneMainAfterPaint()
{
    if (m_pEditSceneMain || m_bFramesClosed)
        return;
    m_pEditSceneMain = new CEditSceneMain(nullptr, CEditSceneMain::PropertyStackLater);
    applyLanguageToEditSceneMain();
}

// The frame and its panels in the language in force, as a language switch
// reaches them (the panels in the order of the switch's topics).
void MainWindow::applyLanguageToEditSceneMain()
{
    CEditSceneMain *pFrame = m_pEditSceneMain;
    const int nLanguage = m_nLanguage;
    if (CProgramListWidget *pList = pFrame->programListWidget())
        pList->slot_updatelanguage(nLanguage);
    if (CFileListWidget *pFiles = pFrame->fileListWidget())
        pFiles->slot_updateFileListlanguage(nLanguage);
    if (CPropertyStack *pStack = pFrame->propertyStack())
        pStack->slot_updatePropertyStacklanguage(nLanguage);
    pFrame->initLanguage(nLanguage);
    if (CEditSceneCanvas *pCanvas = pFrame->canvas())
        pCanvas->slot_updateEditSceneCanvaslanguage(nLanguage);
}

// The device list is shown first; the Tarn frame is built a moment after the
// list's window is first exposed (and so painted), unless something has built
// it already.
void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_bEditFrameScheduled || m_pEditSceneMain)
        return;
    if (QWindow *pWindow = windowHandle()) {
        m_bEditFrameScheduled = true;
        pWindow->installEventFilter(this);
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed()) {
        watched->removeEventFilter(this);
        QTimer::singleShot(kEditFrameDelayMs, this, [this]() { buildEditSceneMainAfterPaint(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- the tree

void MainWindow::initTree()
{
    QTreeWidget *pTree = ui->treeWidget;
    if (!m_pRoot) {
        pTree->setColumnCount(4);
        pTree->setSelectionBehavior(QAbstractItemView::SelectRows);
        pTree->setColumnWidth(0, 260);
        pTree->setColumnWidth(1, 120);
        pTree->setColumnWidth(2, 200);
        pTree->setColumnWidth(3, 260);
        m_pRoot = new QTreeWidgetItem(pTree);
        m_pRoot->setExpanded(true);
    }
    // A language switch re-translates the header and the root in place: the
    // rows, their ids and their workers stay as they are.
    pTree->setHeaderLabels(QStringList() << tr("IP地址") << tr("设备类型") << tr("设备名称")
                                         << QString());
    m_pRoot->setText(0, tr("网络设备"));
}

void MainWindow::setMenu()
{
    m_pMenu = new QMenu(ui->treeWidget);
    m_pMenu->setStyleSheet(QStringLiteral(
        "QMenu{background-color:rgb(57, 65, 69);color:white;font-size:12pt;"
        "border:1px solid rgb(172, 172, 172);border-radius:3px;}"
        "QMenu::item{border-bottom:1px solid rgb(172, 172, 172);padding:5px 10px;}"
        "QMenu::item:selected{background-color:rgb(26, 171, 169);}"));
    const QStringList listActions = {QStringLiteral("刷新"), QStringLiteral("电源"),
                                     QStringLiteral("锁屏"), QStringLiteral("3D"),
                                     QStringLiteral("互动通知")};
    for (const QString &strAction : listActions) {
        QAction *pAction = m_pMenu->addAction(strAction);
        connect(pAction, &QAction::triggered, this, [this, strAction]() { menuAction(strAction); });
    }
}

void MainWindow::slot_ContextMenu()
{
    QTreeWidgetItem *pItem = ui->treeWidget->currentItem();
    if (pItem && !pItem->text(1).isEmpty())
        m_pMenu->exec(QCursor::pos());
}

// The tree menu's actions look the worker up by the text of the device name
// column and act only on a connected worker.
void MainWindow::menuAction(const QString &strAction)
{
    QTreeWidgetItem *pItem = ui->treeWidget->currentItem();
    if (!pItem)
        return;
    CTcpDeviceThread *pDevice = getCurrentDevice(pItem->text(2));
    if (!pDevice)
        return;
    if (!pDevice->isConnected()) {
        if (strAction == QStringLiteral("刷新"))
            logInfo(QStringLiteral("Current device %1 is disconnected!")
                        .arg(pDevice->getDeviceInfo()->strIp));
        return;
    }
    QByteArray byte = payloadOf("\x01", 1);
    if (strAction == QStringLiteral("刷新")) {
        pDevice->setMcuCommand(QStringLiteral("设备信息"), byte, 1, 0);
        QByteArray byte2 = payloadOf("\x01", 1);
        pDevice->setMcuCommand(QStringLiteral("源及场景数"), byte2, 1, 0);
    } else if (strAction == QStringLiteral("互动通知")) {
        pDevice->setMcuCommand(strAction, byte, 1, 0);
    } else {
        pDevice->setMcuCommand(strAction, byte, 2, 0);
    }
}

CTcpDeviceThread *MainWindow::getCurrentDevice(const QString &strSerial) const
{
    return m_workerOfSerial.value(strSerial, nullptr);
}

// Workers are looked up by serial; the first one made for a serial wins, as a
// walk of m_listDevice from its start would find it.
void MainWindow::addWorker(CTcpDeviceThread *pDevice)
{
    m_listDevice.append(pDevice);
    const QString strSerial = pDevice->getDeviceSerial();
    if (!m_workerOfSerial.contains(strSerial))
        m_workerOfSerial.insert(strSerial, pDevice);
}

void MainWindow::removeWorker(CTcpDeviceThread *pDevice)
{
    m_listDevice.removeAll(pDevice);
    const QString strSerial = pDevice->getDeviceSerial();
    if (m_workerOfSerial.value(strSerial) != pDevice)
        return;
    m_workerOfSerial.remove(strSerial);
    for (CTcpDeviceThread *pOther : qAsConst(m_listDevice)) {
        if (pOther->getDeviceSerial() == strSerial) {
            m_workerOfSerial.insert(strSerial, pOther);
            break;
        }
    }
}

CDeviceControl *MainWindow::checkR4Exist(const QString &strSerial) const
{
    const int nRow = rowIdOfSerial(strSerial);
    return nRow >= 0 ? m_listRowControls.at(nRow).data() : nullptr;
}

int MainWindow::rowIdOfSerial(const QString &strSerial) const
{
    return m_rowOfSerial.value(strSerial, -1);
}

// --------------------------------------------------------- announcements

void MainWindow::slot_newDevice(QStringList deviceInfo)
{
    // An announcement still queued when the window shut down makes no worker.
    if (deviceInfo.size() < 4 || m_bThreadsStopped)
        return;
    const QString &strSerial = deviceInfo.at(3);
    CDeviceControl *pControl = checkR4Exist(strSerial);
    CTcpDeviceThread *pDevice = pControl ? getCurrentDevice(strSerial) : nullptr;
    // A device announced at a new address is reached there from its next connection on.
    const bool bMoved = pDevice && pDevice->getDeviceIp() != deviceInfo.at(0);
    if (bMoved)
        pDevice->setDeviceAddress(deviceInfo.at(0));
    if (pControl && pControl->getSwitchBtnState()) {
        // A connection attempt already under way is left to finish: starting
        // it again on every announcement could keep it from ever completing.
        // One still going to the old address is given up for the new one.
        if (pDevice && !pDevice->isConnected() && (bMoved || !isConnecting(pDevice))) {
            pDevice->reConnected();
            logInfo(QStringLiteral("The device %1 had reconnected").arg(deviceInfo.at(0)));
        }
    }
    if (pControl) {
        const int nRow = rowIdOfSerial(strSerial);
        if (nRow >= 0) {
            m_listitems.at(nRow)->setText(0, deviceInfo.at(0));
            m_listitems.at(nRow)->setText(1, deviceInfo.at(2));
        }
        return;
    }
    if (deviceInfo.at(2).contains(QStringLiteral("Tarn")))
        addR4Device(deviceInfo);
    else
        addZ7Device(deviceInfo);
}

void MainWindow::addR4Device(const QStringList &deviceInfo)
{
    addDeviceRow(deviceInfo, true);
}

void MainWindow::addZ7Device(const QStringList &deviceInfo)
{
    addDeviceRow(deviceInfo, false);
}

void MainWindow::addDeviceRow(const QStringList &deviceInfo, bool bTarn)
{
    if (checkR4Exist(deviceInfo.at(3)))
        return;

    auto *pItem = new QTreeWidgetItem(m_pRoot);
    pItem->setText(0, deviceInfo.at(0));
    pItem->setText(1, deviceInfo.at(2));
    for (int i = 0; i < 3; ++i)
        pItem->setTextAlignment(i, Qt::AlignCenter);

    auto *pControl = new CDeviceControl(nullptr);
    pControl->setDeviceId(m_nTreeWidgetItemId);
    pControl->setDeviceSerial(deviceInfo.at(3));
    pControl->setStrDeviceType(deviceInfo.at(2));
    pControl->slot_setDeviceStatus(false);
    ui->treeWidget->setItemWidget(pItem, 3, pControl);

    auto *pDevice = new CTcpDeviceThread(this);
    connect(this, &MainWindow::sig_stopThread, pDevice, &CTcpDeviceThread::slot_stopDeviceThread);
    connect(pDevice, &CTcpDeviceThread::connected, this,
            [this, pDevice, bTarn]() { startupReads(pDevice, bTarn); }, Qt::DirectConnection);
    // The worker's loop starts once the link is up, so that its first frame
    // (the heartbeat) is never written to a socket that is still connecting.
    connect(pDevice, &CTcpDeviceThread::connected, this,
            [pDevice]() {
                if (!pDevice->isRunning())
                    pDevice->start(QThread::InheritPriority);
            }, Qt::DirectConnection);
    // A link that comes up again while the previous loop is on its way out finds the thread
    // still running and starts nothing: once that loop has ended, start it again for the link.
    // By the time this runs the link may have started a new loop already: start() then returns
    // at once (it waits only for an ending thread's own clean-up), where waiting for the thread
    // would wait for that new loop, which ends only when the GUI thread stops it.
    connect(pDevice, &QThread::finished, pDevice,
            [pDevice]() {
                if (pDevice->isConnected() && pDevice->canConnected())
                    pDevice->start(QThread::InheritPriority);
            }, Qt::QueuedConnection);
    // The worker parses this device's replies by the family of its announcement.
    pDevice->setDeviceType(bTarn ? QStringLiteral("Tarn") : QStringLiteral("Z"));
    pDevice->connectToServer(deviceInfo.at(0), s_nDevicePort);
    pDevice->setDeviceSerial(deviceInfo.at(3));
    addWorker(pDevice);

    connect(pDevice, &CTcpDeviceThread::sig_deviceStatus, pControl, &CDeviceControl::slot_setDeviceStatus);
    connect(pControl, &CDeviceControl::sig_editScene, this,
            [this](QString strSerial, QString strName, QString strType) {
                slot_editScene(strSerial, strName, strType, 0);
            });

    m_rowOfSerial.insert(deviceInfo.at(3), m_listitems.size());
    ++m_nTreeWidgetItemId;
    m_listitems.append(pItem);
    m_listRowControls.append(pControl);
    if (!m_pRoot->isExpanded())
        m_pRoot->setExpanded(true);
}

// The family's start-up reads once a worker's TCP link is up.
void MainWindow::startupReads(CTcpDeviceThread *pDevice, bool bTarn)
{
    g_nConnectionType = 0;
    if (!bTarn) {
        g_strDevType = QStringLiteral("Z");
        if (!m_pZinterface)
            m_pZinterface = new Zinferface(nullptr);
    }
    // What a switch-on reads, a link made again reads too: the device may have come back with
    // another name (the switch-on's read, queued before its link, is this one). Each is asked
    // again should it go unanswered.
    pDevice->askStartupRead(QStringLiteral("系统设置"), QByteArray(), 10);
    QByteArray byteInfo = payloadOf("\x01", 1);
    pDevice->askStartupRead(QStringLiteral("设备信息"), byteInfo, 0);
    QByteArray byteCount = payloadOf("\x01", 1);
    pDevice->askStartupRead(QStringLiteral("源及场景数"), byteCount, 0);
    if (bTarn) {
        QByteArray byteOsd;
        pDevice->askStartupRead(QStringLiteral("OSD参数设置"), byteOsd, 0);
    } else if (CTcpDeviceThread::editedDeviceSerial(QStringLiteral("Z")) == pDevice->getDeviceSerial()) {
        // Back after a switch-off or a loss with the Z frame on it: its page shows the live
        // settings the device holds now.
        QByteArray byteLive = payloadOf("\x00", 1);
        pDevice->askStartupRead(QStringLiteral("图层设置"), byteLive, 0);
    }
    // As at a first start, the device shows its live scene: a preview the frame showed before the
    // link went is over, and the source poll it paused runs again.
    if (!bTarn && m_pZinterface)
        m_pZinterface->linkBegan(pDevice->getDeviceSerial());
    g_setSourcePoll(true, pDevice->getDeviceSerial());
}

// ----------------------------------------------------------- the switch

void MainWindow::slot_switchDeviceConnect(QString strSerial, bool bConnected, int nId)
{
    if (m_bFramesClosed)
        return;
    CTcpDeviceThread *pDevice = getCurrentDevice(strSerial);
    if (!pDevice)
        return;
    pDevice->setCanConnected(bConnected);
    if (bConnected) {
        if (pDevice->isConnected())
            return;
        // The device's replies from its first reads on (OSD, output and audio
        // settings) go to the Tarn frame's panels: the frame is there before the link.
        editSceneMain();
        // The thread starts when the link comes up (see addDeviceRow); the
        // system settings read waits in the queue until then.
        pDevice->reConnected();
        QByteArray byte;
        int nRead = 1;
        int nSub = 10;
        QString strCmd = QStringLiteral("系统设置");
        globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_setDeviceCmd"),
                                                    Q_ARG(QString, strSerial),
                                                    Q_ARG(QString, strCmd),
                                                    Q_ARG(QByteArray &, byte),
                                                    Q_ARG(int, nRead), Q_ARG(int, nSub));
        m_nCurrentlyTreeWidgetItemId = nId;
    } else if (pDevice->isConnected()) {
        pDevice->slot_stopDeviceThread();
    } else if (isConnecting(pDevice)) {
        // A connection attempt still under way is abandoned: left alone, the
        // link would come up with the switch off, and the next switch-on would
        // find the worker "connected" with no loop running.
        pDevice->getTcpTransport()->getTcpSocket()->abort();
        pDevice->slot_stopDeviceThread();
    }
}

// ------------------------------------------------------- command routing

void MainWindow::slot_setDeviceCmd(QString strSerial, QString strCmd, QByteArray &byte,
                                   int nReadOrWrite, int nSubIndex3)
{
    logInfo(QStringLiteral("Add the device to main window %1").arg(strSerial));
    CTcpDeviceThread *pDevice = getCurrentDevice(strSerial);
    if (!pDevice)
        return;
    // A write the worker refuses (switched off, link lost, queue full) it says and undoes itself:
    // the panels are handed what the device holds.
    if (strCmd == QStringLiteral("获取输入状态"))
        pDevice->setInputSrcCmd();
    else
        pDevice->setMcuCommand(strCmd, byte, nReadOrWrite, nSubIndex3);
}

// ----------------------------------------------------------- the editor

void MainWindow::slot_editScene(QString strSerial, QString strDeviceName, QString strDeviceType,
                                int m_nConnectingType)
{
    if (m_bFramesClosed)
        return;
    CTcpDeviceThread *pDevice = getCurrentDevice(strSerial);
    logInfo(QStringLiteral("Current devicesie 0x%1")
                .arg(quintptr(pDevice), 0, 16));

    if (strDeviceType.contains(QStringLiteral("Tarn"))) {
        g_strDevType = QStringLiteral("Tarn");
    } else {
        g_strDevType = QStringLiteral("Z");
        // Only a device that has a worker can be asked for its live settings: a read of the
        // console's own, asked again when its answer is lost, said when given up.
        if (pDevice)
            pDevice->askOwnRead(QStringLiteral("图层设置"), payloadOf("\x00", 1), 0);
    }

    if (!pDevice || !pDevice->isConnected()) {
        BesMessageBox::information(tr("设备不在线"), tr("设备离线中，请等待！"));
        return;
    }
    DeviceInfo *pInfo = pDevice->getDeviceInfo();
    if (!pInfo || pInfo->vectorInput.isEmpty()) {
        BesMessageBox::information(tr("没有发现输入源"), tr("该设备正在被控制，或者连接异常！"));
        return;
    }

    // The device-wide topics of the workers now act on this device.
    CTcpDeviceThread::setEditedDeviceSerial(strSerial, g_strDevType);
    // The name the device holds (read or acknowledged); the row's only while it was never read. A
    // serial device has no row: what it was opened with is its model, no name.
    if (!pDevice->deviceNameRecord(strDeviceName) && m_nConnectingType == 1)
        strDeviceName.clear();
    if (g_strDevType == QStringLiteral("Tarn")) {
        CEditSceneMain *pFrame = editSceneMain();
        if (!pFrame)
            return;
        if (CTarnSceneStore *pStore = CTarnSceneStore::instance())
            pStore->bindDevice(pDevice);
        pFrame->initSceneData(pInfo, pDevice->getSceneList());
        pFrame->slot_activateMain(false);
        // Its pages took the name the records hold when bound; one never read waits for the read,
        // which reaches the frame editing the device.
        if (!strDeviceName.isEmpty()) {
            globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_updateDeviceName"),
                                                        Q_ARG(QString, strDeviceName));
        }
        retranslateForm();
        pFrame->show();
    } else {
        if (!m_pZinterface)
            m_pZinterface = new Zinferface(nullptr);
        m_pZinterface->initSceneData(pInfo, pDevice->getZSceneList());
        m_pZinterface->slot_activateMain(false);
        globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_updateZDeviceName"),
                                                    Q_ARG(QString, strDeviceName),
                                                    Q_ARG(QString, strSerial));
        // The settings page has dropped the previous device's values: hand it this device's scenes
        // and input names (its settings arrive with the layer read queued above).
        QList<ZSceneInfo> listScene = pDevice->zSceneValues();
        QList<QString> listNames = pDevice->getInputNameList();
        globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_setListZDeviceScene"),
                                                    Q_ARG(QList<ZSceneInfo>, listScene), Q_ARG(QString, strSerial));
        globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_setZDeviceinputname"),
                                                    Q_ARG(QList<QString>, listNames), Q_ARG(QString, strSerial));
        m_pZinterface->show();
    }
}

void MainWindow::slot_updateCurrentDevice(QString strSerial)
{
    // A frame not built yet shows no device: it reads the scenes when one is bound.
    if (!m_pEditSceneMain)
        return;
    // Switched off too: a refused write hands the frame the scenes and live scene the device
    // held when it was last read.
    CTcpDeviceThread *pDevice = getCurrentDevice(strSerial);
    if (pDevice)
        editSceneMain()->updateSceneData(strSerial, pDevice->getSceneList());
}

void MainWindow::slot_updateCurrentZDevice(QString strSerial)
{
    if (!m_pZinterface)
        return;
    CTcpDeviceThread *pDevice = getCurrentDevice(strSerial);
    if (pDevice)
        m_pZinterface->updateZSceneData(strSerial, pDevice->getZSceneList());
}

// ------------------------------------------------------- the device name

// Without a serial the name goes to the row of the device last switched on; with a serial port
// open it may be the serial device's, which has no row, and it goes nowhere. No page takes a
// name from here: the worker tells the frame editing its device.
void MainWindow::slot_getSystemDeviceName(QString strDeviceName)
{
    if (m_nConnectingType == 1)
        return;
    setDeviceNameOnRow(m_nCurrentlyTreeWidgetItemId, strDeviceName);
}

// With the serial of the replying device the name lands on that device's row,
// whichever device was switched on last, a serial port open or not.
void MainWindow::slot_getSystemDeviceName(QString strDeviceName, QString strSerial)
{
    setDeviceNameOnRow(rowIdOfSerial(strSerial), strDeviceName);
}

void MainWindow::setDeviceNameOnRow(int nRowId, const QString &strDeviceName)
{
    if (nRowId < 0 || nRowId >= m_listitems.size())
        return;
    QTreeWidgetItem *pItem = m_listitems.at(nRowId);
    if (!m_pRoot || pItem->parent() != m_pRoot)
        return;
    pItem->setText(2, strDeviceName);
    if (CDeviceControl *pControl = m_listRowControls.at(nRowId))
        pControl->setStrDeviceName(strDeviceName);
}

// --------------------------------------------------------------- language

QString MainWindow::readStoredLanguage()
{
    QSettings settings(QString::fromLatin1(kConfigFile), QSettings::IniFormat);
    settings.setIniCodec("GB2312");
    return settings.value(QString::fromLatin1(kLanguageKey)).toString();
}

void MainWindow::on_comboBoxLanguage_activated(int index)
{
    QCoreApplication::removeTranslator(m_pTranslator);
    if (index == 0) {
        (void)m_pTranslator->load(QStringLiteral("Tranlate_CN.qm"));
        g_strLanguage = QStringLiteral("Chinaese");
    } else {
        (void)m_pTranslator->load(QStringLiteral("Tranlate_EN.qm"));
        ui->comboBoxLanguage->setCurrentIndex(1);
        g_strLanguage = QStringLiteral("English");
    }
    QCoreApplication::installTranslator(m_pTranslator);

    retranslateForm();
    initTree();
    m_nLanguage = index; // asked while the panels switch (the layers' size words)

    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->notify(QStringLiteral("slot_updatelanguage"), Q_ARG(int, index));
    pHub->notify(QStringLiteral("slot_updateFileListlanguage"), Q_ARG(int, index));
    pHub->notify(QStringLiteral("slot_updatePropertyStacklanguage"), Q_ARG(int, index));
    // Both frames may be open on two devices: each follows the switch, whichever
    // family was used last. A Tarn frame not built yet takes the language when
    // it is built.
    if (m_pEditSceneMain)
        m_pEditSceneMain->initLanguage(index);
    pHub->notify(QStringLiteral("slot_updateEditSceneCanvaslanguage"), Q_ARG(int, index));
    pHub->notify(QStringLiteral("slot_updateZMiddleControllanguage"), Q_ARG(int, index));

    QSettings settings(QString::fromLatin1(kConfigFile), QSettings::IniFormat);
    settings.setIniCodec("GB2312");
    settings.setValue(QString::fromLatin1(kLanguageKey),
                      index != 0 ? QStringLiteral("英文") : QStringLiteral("中文"));
    settings.sync();
}

// The form's texts in the current language; the connect button keeps saying
// that the port is open once it is.
void MainWindow::retranslateForm()
{
    ui->retranslateUi(this);
    if (m_nConnectingType == 1)
        ui->SertalportBtn->setText(tr("串口已打开"));
}

// Every panel keeps a translator of its own, and all of them translate every
// text: the form's texts are applied again once every translator has changed
// (the change events are posted after the switch), so that none of the other
// translators still holding the previous language wins.
void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && ui) {
        retranslateForm();
        initTree();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::slot_getEditSingleTextItemstrTextLanguage(int nCanvasType, QString &retTextwidth,
                                                           QString &retTextheight)
{
    if (nCanvasType == 0 && m_nLanguage == 1) {
        retTextwidth = QStringLiteral("Width");
        retTextheight = QStringLiteral("Height");
    } else {
        retTextwidth = QStringLiteral("宽");
        retTextheight = QStringLiteral("高");
    }
}

// ------------------------------------------------------------ TypeC tab

void MainWindow::on_RefreshPushButton_clicked()
{
    ui->portBox->clear();
    ui->portBox->addItems(listSerialPorts());
}

void MainWindow::on_SertalportBtn_clicked()
{
    ui->SertalportBtn->setEnabled(false);
    const QString strPort = ui->portBox->currentText();
    CTcpDeviceThread *pDevice = strPort.isEmpty() ? nullptr : getCurrentDevice(strPort);
    if (!pDevice) {
        // Workers are made for the ports present at start-up only: a port that
        // appeared later (or no port at all) has none. Nothing is touched.
        BesMessageBox::information(tr("串口连接失败"),
                                   tr("该端口不可用，请接入设备后重新启动软件！"));
        ui->SertalportBtn->setEnabled(true);
        return;
    }
    pSerislportDevice = pDevice;
    // As for a device switched on: the frame is there before the device's replies.
    editSceneMain();
    // A line lost before: its loop was told to stop and ends at once.
    if (pDevice->isRunning())
        pDevice->wait(kThreadStopWaitMs);
    // Opening the port sets the worker's connected flag (and clears its stop
    // flag) only when the port opens.
    pDevice->connectToSerislport(strPort);
    if (!pDevice->isConnected())
        return;

    ui->SertalportBtn->setText(tr("串口已打开"));
    pDevice->start(QThread::InheritPriority);
    m_nConnectingType = 1;
    g_nConnectionType = 1;
    // Asked again should it go unanswered; a device that never answers it is a line lost.
    QByteArray byte = payloadOf("\x01", 1);
    pDevice->askStartupRead(QStringLiteral("设备信息"), byte, 0);
}

void MainWindow::slot_setButtonEnable()
{
    ui->SertalportBtn->setEnabled(true);
}

void MainWindow::slot_getConnectingType(QString devicename)
{
    const QString strPort = ui->portBox->currentText();
    if (pSerislportDevice) {
        QByteArray byteEmpty;
        QByteArray byteOne = payloadOf("\x01", 1);
        QByteArray byteSystem;
        // The line's start-up reads: each asked again should it go unanswered.
        if (devicename.contains(QStringLiteral("Tarn"))) {
            g_strDevType = QStringLiteral("Tarn");
            pSerislportDevice->setDeviceType(g_strDevType);
            pSerislportDevice->askStartupRead(QStringLiteral("OSD参数设置"), byteEmpty, 0);
            pSerislportDevice->askStartupRead(QStringLiteral("源及场景数"), byteOne, 0);
            pSerislportDevice->askStartupRead(QStringLiteral("系统设置"), byteSystem, 10);
        } else {
            g_strDevType = QStringLiteral("Z");
            pSerislportDevice->setDeviceType(g_strDevType);
            if (!m_pZinterface)
                m_pZinterface = new Zinferface(nullptr);
            pSerislportDevice->askStartupRead(QStringLiteral("源及场景数"), byteOne, 0);
            pSerislportDevice->askStartupRead(QStringLiteral("系统设置"), byteSystem, 10);
        }
    }
    // Each report opens the editor 2000 ms later with the model known then.
    auto *pTimer = new QTimer(this);
    pTimer->setSingleShot(true);
    // The model is the serial device's own, as known when the timer fires: another device's
    // information reply in between must not decide which editor opens.
    connect(pTimer, &QTimer::timeout, this, [this, pTimer, strPort, devicename]() {
        if (m_pTimer == pTimer)
            m_pTimer = nullptr;
        pTimer->deleteLater();
        QString strModel = devicename;
        if (pSerislportDevice && pSerislportDevice->getDeviceInfo()
            && !pSerislportDevice->getDeviceInfo()->strDevName.isEmpty())
            strModel = pSerislportDevice->getDeviceInfo()->strDevName;
        slot_editScene(strPort, strModel, strModel, 1);
    });
    m_pTimer = pTimer;
    pTimer->start(2000);
}
