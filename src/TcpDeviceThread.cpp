#include "TcpDeviceThread.h"

#include "BesMessageBox.h"
#include "DeviceLog.h"
#include "GbkCodec.h"
#include "TcpSocket.h"
#include "globalObserver.h"
#include "serislport.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

QString CTcpDeviceThread::s_strEditedSerial;
CTarnSceneSink *CTcpDeviceThread::s_pTarnSceneSink = nullptr;

namespace {

inline int u8(const QByteArray &p, int i)
{
    return uchar(p.at(i));
}

inline int be16(const QByteArray &p, int i)
{
    return (uchar(p.at(i)) << 8) | uchar(p.at(i + 1));
}

} // namespace

CTcpDeviceThread::CTcpDeviceThread(QObject *parent)
    : QThread(parent)
{
    m_pMutexRecv = new QMutex();
    m_pMutexSend = new QMutex();
    m_pDeviceInfo = new DeviceInfo();
    m_pSystemInfo = new SystemInfo();
    m_pTcpSocket = new CTcpSocket(this);
    m_pSerislPort = new SerislPort();

    connect(m_pTcpSocket->getTcpSocket(), &QTcpSocket::connected, this, &CTcpDeviceThread::handleConnected);
    connect(m_pTcpSocket->getTcpSocket(), &QTcpSocket::disconnected, this, &CTcpDeviceThread::handleDisconnected);
    connect(m_pTcpSocket, &CTcpSocket::receivedData, this, &CTcpDeviceThread::handleReceivedData);
    connect(m_pTcpSocket, &CTcpSocket::error, this, &CTcpDeviceThread::handleError);
    // Frames are built on the worker thread and reach the transports (GUI thread) as byte copies.
    connect(this, &CTcpDeviceThread::writeData, m_pTcpSocket, &CTcpSocket::sendData);
    connect(this, &CTcpDeviceThread::writeData, m_pSerislPort, &SerislPort::SendSerialData);
    connect(m_pSerislPort, &SerislPort::receivedData, this, &CTcpDeviceThread::handleReceivedData);
    connect(m_pSerislPort, &SerislPort::SerialConnectState, this, &CTcpDeviceThread::handleSerislDisConnected);
    connect(m_pSerislPort, &SerislPort::CloseSerialPort, this, &CTcpDeviceThread::handleDisconnected);

    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->attach("slot_refreshinputName", this, "slot_refreshinputName");
    pHub->attach("slot_GetZSencedate", this, "slot_GetZSencedate");
    pHub->attach("slot_GetZMainSig", this, "slot_GetZMainSig");
}

CTcpDeviceThread::~CTcpDeviceThread()
{
    m_bStop = true;
    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->detach("slot_refreshinputName", this);
    pHub->detach("slot_GetZSencedate", this);
    pHub->detach("slot_GetZMainSig", this);
    wakeWorker();
    wait();

    for (CTarnSceneRecord *pScene : m_listScene) {
        if (s_pTarnSceneSink)
            s_pTarnSceneSink->sceneRemoved(this, pScene->nId);
        delete pScene;
    }
    qDeleteAll(m_listZScene);
    qDeleteAll(m_listMcuCmd);
    if (m_pDeviceInfo)
        qDeleteAll(m_pDeviceInfo->vectorInput);
    delete m_pDeviceInfo;
    delete m_pSystemInfo;
    delete m_pSerislPort;
    delete m_pMutexRecv;
    delete m_pMutexSend;
}

// ------------------------------------------------------------------ identity and link

void CTcpDeviceThread::setDeviceSerial(const QString &strSerial)
{
    m_strSerial = strSerial;
    m_pDeviceInfo->strSerial = strSerial;
}

QString CTcpDeviceThread::deviceType() const
{
    return m_strDevType.isEmpty() ? g_strDevType : m_strDevType;
}

bool CTcpDeviceThread::isConnected() const
{
    return m_bIsConnected && !m_bStop;
}

void CTcpDeviceThread::setCanConnected(bool bCan)
{
    m_bCanConnected = bCan;
    wakeWorker();
}

void CTcpDeviceThread::connectToServer(QString host, int port)
{
    m_bStop = false;
    m_bIsConnected = false;
    {
        QMutexLocker lock(m_pMutexRecv); // the worker thread reads the address for its log lines
        m_strIp = host;
    }
    m_nPort = port;
    m_pDeviceInfo->strIp = host;
    if (m_bCanConnected) {
        m_pTcpSocket->connectToServer(host, port);
        // Starting the attempt aborts a link that was still up, whose disconnected() has just
        // stopped the worker: that ending belongs to the old link, not to this attempt.
        m_bStop = false;
        m_bIsConnected = false;
    }
}

void CTcpDeviceThread::reConnected()
{
    if (!m_pTcpSocket || !m_bCanConnected)
        return;
    m_bStop = false;
    m_bIsConnected = false;
    m_pTcpSocket->connectToServer(m_strIp, m_nPort);
    m_bStop = false; // see connectToServer()
    m_bIsConnected = false;
}

void CTcpDeviceThread::disconnectFromServer()
{
    m_pTcpSocket->disconnectFromServer();
}

void CTcpDeviceThread::slot_stopDeviceThread()
{
    m_bStop = true;
    wakeWorker();
    m_pTcpSocket->disconnectFromServer();
    emit sig_deviceStatus(false);
}

void CTcpDeviceThread::connectToSerislport(QString Serislport)
{
    m_bCanSerislPortConnected = true;
    disconnect(this, &CTcpDeviceThread::writeData, m_pTcpSocket, &CTcpSocket::sendData);
    m_bStop = false;
    m_reader.clear();
    if (m_pSerislPort->SerialPortInits(Serislport))
        m_bIsConnected = true;
}

void CTcpDeviceThread::handleConnected()
{
    m_bIsConnected = true;
    m_reader.clear();
    emit connected();
    emit sig_deviceStatus(true);
    CDeviceLog::write({QString("The device"), m_strIp, QString("had connected")});
    wakeWorker();
}

void CTcpDeviceThread::handleDisconnected()
{
    m_bIsConnected = false;
    emit disconnected();
    emit sig_deviceStatus(false);
    m_bStop = true;
    wakeWorker();
    CDeviceLog::write({QString("The device"), m_strIp, QString("is disconnectedness!")});
}

void CTcpDeviceThread::handleSerislDisConnected()
{
    m_bIsConnected = false;
}

void CTcpDeviceThread::handleError(QString message)
{
    emit error(message);
    CDeviceLog::write({QString("The device"), m_strIp, QString("thread error message"), message});
    if (deviceType() == QLatin1String("Tarn")) {
        if (g_strLanguage == QLatin1String("English"))
            BesMessageBox::tipInfor("Network connection error", "Network communication is down, please reconnect");
        else
            BesMessageBox::tipInfor(QString::fromUtf8("网络连接出错"), QString::fromUtf8("网络通讯断开，请重新连接"));
    }
}

// ------------------------------------------------------------------ hub topics

bool CTcpDeviceThread::actsOnSharedTopics() const
{
    return s_strEditedSerial.isEmpty() || s_strEditedSerial == m_strSerial;
}

void CTcpDeviceThread::slot_refreshinputName()
{
    if (actsOnSharedTopics())
        m_bGetEquipmentMessages = true;
}

void CTcpDeviceThread::slot_GetZSencedate()
{
    if (actsOnSharedTopics())
        m_bGetZSencedate = true;
}

void CTcpDeviceThread::slot_GetZMainSig(int nMainSig)
{
    if (actsOnSharedTopics())
        m_pSystemInfo->nMainSignumber = nMainSig;
}

void CTcpDeviceThread::setEditedDeviceSerial(const QString &strSerial)
{
    s_strEditedSerial = strSerial;
}

QString CTcpDeviceThread::editedDeviceSerial()
{
    return s_strEditedSerial;
}

void CTcpDeviceThread::setTarnSceneSink(CTarnSceneSink *pSink)
{
    s_pTarnSceneSink = pSink;
}

CTarnSceneSink *CTcpDeviceThread::tarnSceneSink()
{
    return s_pTarnSceneSink;
}

void CTcpDeviceThread::setHeartbeatInterval(int nMs)
{
    m_nHeartbeatMs = std::max(1, nMs);
    wakeWorker();
}

void CTcpDeviceThread::setReplyTimeout(int nMs)
{
    m_nReplyTimeoutMs = std::max(1, nMs);
    wakeWorker();
}

void CTcpDeviceThread::setConnectTimeout(int nMs)
{
    m_pTcpSocket->setConnectTimeout(nMs);
}

// ------------------------------------------------------------------ queue

bool CTcpDeviceThread::setMcuCommand(const QString &strName, const QByteArray &payload, int nReadOrWrite, int nSubIndex)
{
    if (!g_isTexingName(strName)) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("unknown command name, not sent:"), strName});
        return false;
    }
    if (payload.size() > CDeviceFrame::MaxRequestPayload) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("command payload too long, not sent:"), strName, payload.size()});
        return false;
    }
    _mcu_cmd *pCmd = new _mcu_cmd;
    pCmd->nCmdIndex = g_getTexingIndex(strName);
    pCmd->nReadOrWrite = nReadOrWrite;
    pCmd->nSubIndex3 = nSubIndex;
    pCmd->byte = payload;
    {
        QMutexLocker lock(m_pMutexSend);
        m_listMcuCmd.append(pCmd);
    }
    wakeWorker();
    return true;
}

void CTcpDeviceThread::setInputSrcCmd()
{
    QByteArray payload(2, '\0');
    payload[1] = char((m_pDeviceInfo->nSrcNum - 1) & 0xFF);
    setMcuCommand(g_texing_name[Tx_GetInput], payload, 1, 1);
}

void CTcpDeviceThread::setScreenSizeCmd()
{
    setMcuCommand(g_texing_name[Tx_LEDWHSet], QByteArray(1, '\0'), 1, 0);
}

int CTcpDeviceThread::queuedCommandCount() const
{
    QMutexLocker lock(m_pMutexSend);
    return m_listMcuCmd.size();
}

void CTcpDeviceThread::wakeWorker()
{
    QMutexLocker lock(&m_wakeMutex);
    m_bWake = true;
    m_wakeCond.wakeAll();
}

// ------------------------------------------------------------------ worker thread

void CTcpDeviceThread::run()
{
    const bool bSerial = m_bCanSerislPortConnected;
    QString strIp;
    {
        QMutexLocker lock(m_pMutexRecv);
        strIp = m_strIp;
    }
    QElapsedTimer heartbeat;
    auto running = [&]() {
        return !m_bStop && (bSerial ? m_bCanSerislPortConnected.load() : m_bCanConnected.load());
    };
    while (running()) {
        if (!bSerial && (!heartbeat.isValid() || heartbeat.elapsed() >= m_nHeartbeatMs)) {
            sendHeartbeat();
            heartbeat.start();
        }
        const int nHint = sendCmdList(bSerial);
        if (nHint == 0)
            continue; // something changed: test the gates again at once
        if (!running())
            break;
        // Sleep until an event (new command, reply, stop) or the next deadline.
        long nWait = nHint > 0 ? nHint : -1;
        if (!bSerial) {
            const long nLeft = std::max<long>(0, m_nHeartbeatMs - heartbeat.elapsed());
            nWait = nWait < 0 ? nLeft : std::min(nWait, nLeft);
        }
        QMutexLocker lock(&m_wakeMutex);
        if (!m_bWake && nWait != 0)
            m_wakeCond.wait(&m_wakeMutex, nWait < 0 ? ULONG_MAX : ulong(nWait));
        m_bWake = false;
    }
    CDeviceLog::write({QString("The device"), strIp, QString("Exit the tcp connect thread!")});
}

void CTcpDeviceThread::sendHeartbeat()
{
    QMutexLocker lock(m_pMutexRecv);
    sendMcuCommand(Tx_Heart, 0, QByteArray(), 1, 0);
}

// Returns 0 to be called again at once, a positive number of milliseconds after which a hold
// lapses by itself, or -1 to wait for the next event.
int CTcpDeviceThread::sendCmdList(bool bSerial)
{
    QMutexLocker state(m_pMutexRecv);
    {
        QMutexLocker queue(m_pMutexSend);
        if (m_listMcuCmd.isEmpty())
            return -1;
    }
    const int nTimeout = m_nReplyTimeoutMs;
    if (m_nSendIndex != m_nRecvIndex) {
        // Over TCP the heartbeat's reply releases a lost command; a serial line has no heartbeat,
        // so there the gate opens after the reply time-out.
        if (!bSerial)
            return -1;
        const qint64 nLeft = nTimeout - m_sentTimer.elapsed();
        if (nLeft > 0)
            return int(nLeft);
        CDeviceLog::write({QString("The device"), m_strIp, QString("no reply to command"), m_nSendIndex, QString("within"), nTimeout, QString("ms")});
        m_nRecvIndex = m_nSendIndex;
        m_nRecvExtraVal = m_nSendExtraVal;
        m_nExtraValue2 = m_nExtraValue1;
    }
    const bool bExtraHold = (m_nSendIndex == Tx_InputSet || m_nSendIndex == Tx_SceneInfo)
                            && m_nSendExtraVal != -1 && m_nSendExtraVal != m_nRecvExtraVal;
    const bool bTransHold = m_nSendIndex == Tx_SetLayer && m_nSubIndex3 == 30 && m_nExtraValue1 != m_nExtraValue2;
    if (!bSerial) {
        if (bExtraHold || bTransHold)
            return -1;
    } else {
        if (bExtraHold) {
            m_nSendExtraVal = -1;
            m_nRecvExtraVal = -1;
            return 0;
        }
        if (bTransHold) {
            const qint64 nLeft = nTimeout - m_sentTimer.elapsed();
            if (nLeft > 0)
                return int(nLeft);
            m_nExtraValue2 = m_nExtraValue1;
        }
    }
    _mcu_cmd *pCmd = nullptr;
    {
        QMutexLocker queue(m_pMutexSend);
        if (m_listMcuCmd.isEmpty())
            return -1;
        pCmd = m_listMcuCmd.takeFirst();
    }
    m_nSubIndex3 = pCmd->nSubIndex3;
    sendMcuCommand(pCmd->nCmdIndex, pCmd->byte.size(), pCmd->byte, pCmd->nReadOrWrite, pCmd->nSubIndex3);
    delete pCmd;
    return 0;
}

// Called with the state lock held.
void CTcpDeviceThread::sendMcuCommand(int nCmd, int nLen, const QByteArray &payload, int nReadOrWrite, int nSub)
{
    m_nSendExtraVal = -1;
    const QByteArray body = payload.left(std::max(0, nLen));
    const QByteArray frame = CDeviceFrame::buildRequest(nCmd, nReadOrWrite, nSub, body);
    if (frame.isEmpty()) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("command payload too long, not sent:"), nCmd, body.size()});
        return;
    }
    m_nSendIndex = nCmd;
    auto byteAt = [&body](int i) { return i < body.size() ? int(uchar(body.at(i))) : 0; };
    if (nCmd == Tx_InputSet) {
        m_nSendExtraVal = byteAt(0);
        CDeviceLog::write({QString("The m_nSendExtraVal"), m_nSendExtraVal});
    } else if (nCmd == Tx_SetLayer && nSub == 2) {
        m_nExtraValue1 = byteAt(0);
        m_nExtraValue2 = byteAt(1);
    } else if (nCmd == Tx_SetLayer && nSub == 30) {
        m_nExtraValue1 = byteAt(1);
    } else if (nCmd == Tx_SceneInfo && nSub == 0) {
        m_nSendExtraVal = byteAt(0);
    } else if (nCmd == Tx_SceneInfo && (nSub == 20 || nSub == 30)) {
        m_nExtraValue1 = byteAt(0);
        m_nPendingSceneSub = nSub;
        m_nPendingSceneId = byteAt(0);
    } else if (nCmd == Tx_SceneInfo && nSub == 80) {
        m_nSendExtraVal = (byteAt(0) + 80) % 256;
    }
    m_sentTimer.start();
    emit writeData(frame);
}

// ------------------------------------------------------------------ replies (GUI thread)

void CTcpDeviceThread::handleReceivedData(QByteArray data)
{
    m_reader.append(data);
    if (m_bDraining)
        return; // a handler is running a nested event loop: the outer loop takes these frames
    m_bDraining = true;
    QByteArray frame;
    for (;;) {
        const CDeviceFrameReader::Result r = m_reader.next(frame);
        if (r == CDeviceFrameReader::NeedMore)
            break;
        if (r == CDeviceFrameReader::BadCheck) {
            CDeviceLog::write({QString("The device"), m_strIp, QString("check code error")});
            continue;
        }
        parseMcuData(frame);
    }
    m_bDraining = false;
}

void CTcpDeviceThread::parseMcuData(QByteArray &data)
{
    const int nSize = data.size();
    if (nSize < 4 || uchar(data.at(0)) != 0x55 || uchar(data.at(1)) != 0xAA)
        return;
    const int n = be16(data, 2);
    if (nSize < n + CDeviceFrame::Overhead)
        return;
    const quint16 uSum = CDeviceFrame::sum16(data.constData() + 2, CDeviceFrame::HeaderSize - 2 + n);
    if (uSum != quint16(be16(data, CDeviceFrame::HeaderSize + n))) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("check code error")});
        return;
    }
    if ((uchar(data.at(4)) >> 3) != mcu_type) {
        QMutexLocker lock(m_pMutexRecv);
        m_nSubIndex3 = -1;
        return;
    }
    const CReplyFrame f = CReplyFrame::fromFrame(data);
    CDeviceLog::write({f.nCmd});
    {
        QMutexLocker lock(m_pMutexRecv);
        m_nSubIndex3 = f.nSub;
        m_nRecvIndex = f.nCmd;
    }
    if (f.nCmd != Tx_Heart) {
        if (f.isNak()) {
            if (f.nCmd == Tx_OSDSet && f.nSub == 11) {
                const int nSerial = g_ncurrentserial;
                resendOsdPacket();
                CDeviceLog::write({QString::fromUtf8("单独包写入出现的问题"), nSerial});
            }
            CDeviceLog::write({QString("The device"), m_strIp, QString("command recv error"), f.nCmd, f.nSub});
            releaseExtraGate();
            QMutexLocker lock(m_pMutexRecv);
            m_nSubIndex3 = -1;
            wakeWorker();
            return;
        }
        if (f.isAck()) {
            CDeviceLog::write({QString("The device"), m_strIp, QString("command recv successfully"), f.nCmd, f.nSub});
            releaseExtraGate();
        }
    }
    CDeviceLog::write({QString("The device"), f.nCmd, QString("command recv successfully")});
    dispatch(f);
    {
        QMutexLocker lock(m_pMutexRecv);
        m_nSubIndex3 = -1;
    }
    wakeWorker();
}

// An ACK or NAK to an input-settings or scene command carries no id: it answers the command in
// flight, so it releases that command's extra hold too.
void CTcpDeviceThread::releaseExtraGate()
{
    QMutexLocker lock(m_pMutexRecv);
    if (m_nRecvIndex == m_nSendIndex && (m_nSendIndex == Tx_InputSet || m_nSendIndex == Tx_SceneInfo))
        m_nRecvExtraVal = m_nSendExtraVal;
}

void CTcpDeviceThread::dispatch(const CReplyFrame &f)
{
    const bool bRead = f.nReadOrWrite == 1;
    switch (f.nCmd) {
    case Tx_DevInfo:
        getDeviceInfo(f);
        break;
    case Tx_Power:
        if (bRead)
            CDeviceLog::write({QString("The device"), m_strIp, QString("power return data:"), CDeviceLog::hex(f.payload)});
        break;
    case Tx_LockPin:
        if (bRead)
            CDeviceLog::write({QString("The device"), m_strIp, QString("lock return data:"), CDeviceLog::hex(f.payload)});
        break;
    case Tx_3DFunction:
        if (bRead)
            CDeviceLog::write({QString("The device"), m_strIp, QString("3D function return data:"), CDeviceLog::hex(f.payload)});
        break;
    case Tx_Interaction:
        if (bRead)
            CDeviceLog::write({QString("The device"), m_strIp, QString("interaction return data:"), CDeviceLog::hex(f.payload)});
        break;
    case Tx_LEDWHSet:
        getScreenSize(f);
        break;
    case Tx_InputSet:
        getInputSrcSet(f);
        break;
    case Tx_GetInput:
        getInputSrcState(f);
        break;
    case Tx_GetSourceNum:
        if (isTarn())
            getSceneAndSrcNum(f);
        else
            getZSceneAndSrcNum(f);
        break;
    case Tx_SetLayer:
        getLayerInfo(f);
        break;
    case Tx_SceneInfo:
        getSceneInfo(f);
        break;
    case Tx_Outletsetting:
        getOutletsetting(f);
        break;
    case Tx_OSDSet:
        getOSDInfo(f);
        break;
    case Tx_SetSystem:
        if (bRead)
            getSystemName(f);
        break;
    default:
        break;
    }
}

void CTcpDeviceThread::notifySetDeviceCmd(const QString &strName, const QByteArray &payload, int nReadOrWrite, int nSub)
{
    QString strSerial = m_strSerial;
    QString strCmd = strName;
    QByteArray data = payload;
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial), Q_ARG(QString, strCmd),
                                                Q_ARG(QByteArray &, data), Q_ARG(int, nReadOrWrite), Q_ARG(int, nSub));
}

InputSource *CTcpDeviceThread::findInput(int nId) const
{
    for (InputSource *pInput : m_pDeviceInfo->vectorInput)
        if (pInput->nId == nId)
            return pInput;
    return nullptr;
}

// Device information (0): p[16] = L1, the model text, then L2 and the firmware version.
void CTcpDeviceThread::getDeviceInfo(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.isAck() || p.size() < 17)
        return;
    const int nL1 = u8(p, 16);
    if (17 + nL1 > p.size())
        return;
    const QString strName = g_fromGbk(p.mid(17, nL1));
    m_pDeviceInfo->strDevName = strName;
    g_strSerialDevType = strName;
    CDeviceLog::write({QString::fromUtf8("The osddevice 输出数据"), strName});
    const int nVer = 17 + nL1;
    if (nVer < p.size()) {
        const int nL2 = u8(p, nVer);
        if (nVer + 1 + nL2 <= p.size())
            m_pDeviceInfo->strMcuVer = QString::fromUtf8(p.mid(nVer + 1, nL2));
    }
    if (g_nConnectionType == 1) {
        QString strModel = strName;
        globalObserver::getGlobalObserver()->notify("slot_getConnectingType", Q_ARG(QString, strModel));
    }
}

// Screen size (30).
void CTcpDeviceThread::getScreenSize(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.nReadOrWrite != 1) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("set LED screen successfully!")});
        return;
    }
    if (f.isAck() || p.size() < 4)
        return;
    const int nWidth = be16(p, 0);
    const int nHeight = be16(p, 2);
    if (nWidth <= 0 || nHeight <= 0) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("LED screen size ignored:"), nWidth, nHeight});
        return;
    }
    m_pDeviceInfo->nScreenWidth = nWidth;
    m_pDeviceInfo->nScreenHeight = nHeight;
    g_setDefaultDesktop(nWidth, nHeight);
    CDeviceLog::write({QString("The device"), m_strIp, QString("LED screen return data:"), QString(":"), nWidth, nHeight,
                       p.size() > 4 ? u8(p, 4) : 0, p.size() > 5 ? u8(p, 5) : 0});
}

// Input settings (31).
void CTcpDeviceThread::getInputSrcSet(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.isAck() || p.isEmpty())
        return;
    const int nId = u8(p, 0);
    InputSource *pInput = findInput(nId);
    if (!pInput)
        return;
    const bool bLast = m_pDeviceInfo->vectorInput.last() == pInput;
    switch (f.nSub) {
    case 1:
        if (p.size() >= 21) {
            static const char *const s_types[] = {nullptr, "HDMI-2K", "HDMI-4K", "DP-4K", "DVI(2K)", "VGA", "SDI", "CVBS", "USB"};
            pInput->nInputType = u8(p, 1);
            if (pInput->nInputType >= 1 && pInput->nInputType <= 8)
                pInput->strType = QString::fromLatin1(s_types[pInput->nInputType]);
            pInput->nCType = u8(p, 2);
            pInput->strName = g_fromGbkField(p.mid(3, 12));
            pInput->nResouType = u8(p, 15);
            pInput->nEdidWidth = be16(p, 16);
            pInput->nEdidHeight = be16(p, 18);
            pInput->nEdidHZ = u8(p, 20);
            if (bLast) {
                DeviceInfo *pInfo = m_pDeviceInfo;
                QString strSerial = m_strSerial;
                globalObserver::getGlobalObserver()->notify("slot_updateInputSource", Q_ARG(DeviceInfo *, pInfo), Q_ARG(QString, strSerial));
            }
            if (isZ() && m_inputstrname.size() < m_pDeviceInfo->nSrcNum) {
                m_inputstrname.append(pInput->strName);
                QList<QString> listNames = m_inputstrname;
                globalObserver::getGlobalObserver()->notify("slot_setZDeviceinputname", Q_ARG(QList<QString>, listNames));
            }
        }
        break;
    case 2:
        if (p.size() >= 13)
            pInput->strName = g_fromGbkField(p.mid(1, 12));
        break;
    case 3:
        if (p.size() >= 7) {
            pInput->nResouType = u8(p, 1);
            pInput->nEdidWidth = be16(p, 2);
            pInput->nEdidHeight = be16(p, 4);
            pInput->nEdidHZ = u8(p, 6);
            CDeviceLog::write({QString("The device"), m_strIp, QString("input set edid return data: "), nId,
                               pInput->nResouType, pInput->nEdidWidth, pInput->nEdidHeight, pInput->nEdidHZ});
        }
        break;
    default:
        break;
    }
    {
        QMutexLocker lock(m_pMutexRecv);
        m_nRecvExtraVal = nId;
    }
    CDeviceLog::write({QString("The m_nRecvExtraVal"), nId});
}

// Input state (32): 7-byte records [id, w16, h16, hz, sig] within the payload.
void CTcpDeviceThread::getInputSrcState(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.isAck())
        return;
    const bool bZ = !isTarn();
    for (int i = 0; i + 7 <= p.size(); i += 7) {
        const int nId = u8(p, i);
        int nWidth = be16(p, i + 1);
        int nHeight = be16(p, i + 3);
        int nHz = u8(p, i + 5);
        const int nSig = u8(p, i + 6);
        InputSource *pInput = findInput(nId);
        if (!pInput) {
            pInput = new InputSource();
            m_pDeviceInfo->vectorInput.append(pInput);
        }
        if (nWidth <= 99 || nWidth >= 9001 || nHeight <= 99 || nHeight >= 9001 || nHz < 20) {
            nWidth = 0;
            nHeight = 0;
            nHz = 0;
        }
        pInput->nId = nId;
        pInput->nSig = nSig;
        if (nSig == 1) {
            pInput->nWidth = nWidth;
            pInput->nHeight = nHeight;
            pInput->nHz = nHz;
        } else {
            pInput->nWidth = 0;
            pInput->nHeight = 0;
            pInput->nHz = 0;
        }
        if (bZ && pInput->nWidth == 0 && pInput->nHeight == 0)
            pInput->nSig = 0;
    }
    const QString strSet = g_texing_name[Tx_InputSet];
    for (InputSource *pInput : m_pDeviceInfo->vectorInput)
        if (pInput->strName.isEmpty())
            setMcuCommand(strSet, QByteArray(1, char(pInput->nId)), 1, 1);
    if (m_bGetEquipmentMessages) {
        for (InputSource *pInput : m_pDeviceInfo->vectorInput)
            setMcuCommand(strSet, QByteArray(1, char(pInput->nId)), 1, 1);
        m_bGetEquipmentMessages = false;
    }
    DeviceInfo *pInfo = m_pDeviceInfo;
    QString strSerial = m_strSerial;
    globalObserver *pHub = globalObserver::getGlobalObserver();
    if (isTarn()) {
        pHub->notify("slot_updateInputSource", Q_ARG(DeviceInfo *, pInfo), Q_ARG(QString, strSerial));
        return;
    }
    pHub->notify("slot_updateZEquipmentInputSource", Q_ARG(DeviceInfo *, pInfo), Q_ARG(QString, strSerial));
    InputSource *pMain = findInput(m_pSystemInfo->nMainSignumber);
    if (pMain) {
        QString strName = pMain->strName;
        int nSig = pMain->nSig, nW = pMain->nWidth, nH = pMain->nHeight, nHz = pMain->nHz;
        int nX = m_pSystemInfo->nXDeflection, nY = m_pSystemInfo->nYDeflection;
        int nLW = m_pSystemInfo->nLayerWidth, nLH = m_pSystemInfo->nLayerHeight;
        pHub->notify("slot_updateCurrentZDeviceDate", Q_ARG(QString, strName), Q_ARG(int, nSig), Q_ARG(int, nW),
                     Q_ARG(int, nH), Q_ARG(int, nHz), Q_ARG(int, nX), Q_ARG(int, nY), Q_ARG(int, nLW), Q_ARG(int, nLH));
    }
}

void CTcpDeviceThread::queueStartReads()
{
    QByteArray range(2, '\0');
    range[1] = char((m_pDeviceInfo->nSrcNum - 1) & 0xFF);
    setMcuCommand(g_texing_name[Tx_GetInput], range, 1, 1);
    setMcuCommand(g_texing_name[Tx_LEDWHSet], QByteArray(1, '\0'), 1, 0);
    for (int nId = 1; nId <= m_pDeviceInfo->nSceneNum; ++nId)
        setMcuCommand(g_texing_name[Tx_SceneInfo], QByteArray(1, char(nId)), 1, 0);
}

// The Tarn scene record with this device scene id (the last one, should the device repeat an id).
CTarnSceneRecord *CTcpDeviceThread::findTarnScene(int nId) const
{
    CTarnSceneRecord *pScene = nullptr;
    for (CTarnSceneRecord *s : m_listScene)
        if (s->nId == nId)
            pScene = s;
    return pScene;
}

void CTcpDeviceThread::removeTarnScene(int nIndex)
{
    CTarnSceneRecord *pScene = m_listScene.takeAt(nIndex);
    if (s_pTarnSceneSink)
        s_pTarnSceneSink->sceneRemoved(this, pScene->nId);
    delete pScene;
}

// Source and scene counts (33), Tarn family.
void CTcpDeviceThread::getSceneAndSrcNum(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.isAck() || p.size() < 4)
        return;
    m_pDeviceInfo->nSrcNum = u8(p, 0);
    m_pDeviceInfo->nSceneMax = u8(p, 1);
    m_pDeviceInfo->nSceneNum = u8(p, 2);
    m_pDeviceInfo->nTakeScene = u8(p, 3);
    CDeviceLog::write({QString::fromUtf8("信号源操作，组包发送"), m_pDeviceInfo->nSrcNum});
    CDeviceLog::write({QString::fromUtf8("场景操作，组包发送"), m_pDeviceInfo->nSceneNum});
    queueStartReads();
    const int nKeep = m_pDeviceInfo->nSceneNum;
    if (nKeep == 0)
        CDeviceLog::write({QString("The device"), m_strIp, QString("scene number failure!")});
    bool bTrimmed = false;
    while (m_listScene.size() > nKeep) {
        removeTarnScene(m_listScene.size() - 1);
        bTrimmed = true;
    }
    if (bTrimmed) {
        // Let the editor drop the removed scenes at once.
        QString strSerial = m_strSerial;
        globalObserver::getGlobalObserver()->notify("slot_updateCurrentDevice", Q_ARG(QString, strSerial));
    }
    CDeviceLog::write({QString("The device"), m_strIp, QString("get input source and scene number return: "),
                       m_pDeviceInfo->nSrcNum, m_pDeviceInfo->nSceneMax, m_pDeviceInfo->nSceneNum, m_pDeviceInfo->nTakeScene});
}

// Source and scene counts (33), Z family.
void CTcpDeviceThread::getZSceneAndSrcNum(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.isAck() || p.size() < 4)
        return;
    m_pDeviceInfo->nSrcNum = u8(p, 0);
    m_pDeviceInfo->nSceneMax = u8(p, 1);
    m_pDeviceInfo->nSceneNum = u8(p, 2);
    m_pDeviceInfo->nTakeScene = u8(p, 3);
    if (m_bGetZSencedate) {
        int nNum = m_pDeviceInfo->nSceneNum;
        int nTake = m_pDeviceInfo->nTakeScene;
        m_bGetZSencedate = false;
        globalObserver::getGlobalObserver()->notify("slot_getZScenedate", Q_ARG(int, nNum), Q_ARG(int, nTake));
        return;
    }
    CDeviceLog::write({QString("scenedate"), m_pDeviceInfo->nSceneNum, m_pDeviceInfo->nTakeScene});
    queueStartReads();
}

// Layer replies (34).
void CTcpDeviceThread::getLayerInfo(const CReplyFrame &f)
{
    int nSendIndex;
    {
        QMutexLocker lock(m_pMutexRecv);
        nSendIndex = m_nSendIndex;
    }
    if (nSendIndex == Tx_GetInput)
        return; // an input-state poll went out since the layer command
    const QByteArray &p = f.payload;
    const bool bWrite = f.nReadOrWrite == 2;
    QString strText;
    switch (f.nSub) {
    case 0:
        if (bWrite) {
            strText = "set layer all parameter";
        } else if (isZ() && !f.isAck() && p.size() >= 35) {
            SystemInfo *s = m_pSystemInfo;
            s->nMainSignumber = u8(p, 3);
            s->nXDeflection = be16(p, 6);
            s->nYDeflection = be16(p, 8);
            s->nLayerWidth = be16(p, 10);
            s->nLayerHeight = be16(p, 12);
            s->nXinput = be16(p, 15);
            s->nYinput = be16(p, 17);
            s->ninputWidth = be16(p, 19);
            s->ninputHeight = be16(p, 21);
            s->nScaleMode = u8(p, 23);
            s->nXoutput = be16(p, 24);
            s->nYoutput = be16(p, 26);
            s->noutputWidth = be16(p, 28);
            s->noutputHeight = be16(p, 30);
            s->nsilent = u8(p, 32);
            s->nsound = u8(p, 33);
            s->nbrightness = u8(p, 34);
            globalObserver::getGlobalObserver()->notify("slot_initWidgetdate", Q_ARG(SystemInfo *, s));
        }
        break;
    case 1:
        strText = "set layer state";
        break;
    case 2:
        strText = "set layer level";
        break;
    case 10: {
        strText = "set layer pos";
        bool bReflash = false;
        globalObserver::getGlobalObserver()->notify("slot_IsZReflash", Q_ARG(bool, bReflash));
        break;
    }
    case 20:
        strText = "set layer cut";
        break;
    case 30:
        if (bWrite) {
            strText = "set layer translate";
            QMutexLocker lock(m_pMutexRecv);
            m_nExtraValue2 = m_nExtraValue1;
        }
        break;
    case 40:
        strText = "delete layer";
        break;
    case 41:
        strText = "delete all layer";
        break;
    default:
        break;
    }
    if (f.nSub <= 41)
        CDeviceLog::write({QString("The device"), m_strIp, strText, QString("successfully!"), nSendIndex, f.nSub});
}

// Scene replies (35).
void CTcpDeviceThread::getSceneInfo(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    int nSendIndex;
    {
        QMutexLocker lock(m_pMutexRecv);
        nSendIndex = m_nSendIndex;
    }
    switch (f.nSub) {
    case 0:
        if (f.isAck() || p.isEmpty())
            return;
        if (isTarn())
            getTarnSceneRead(f);
        else
            getZSceneRead(f);
        break;
    case 80:
        if (f.isAck() || p.isEmpty())
            return;
        getTarnLayerRead(f);
        break;
    case 1:
        CDeviceLog::write({QString("The device"), m_strIp, QString("take the scene1 successfully!"), nSendIndex, f.nSub});
        break;
    case 10:
        CDeviceLog::write({QString("The device"), m_strIp, QString("save the scene successfully!"), nSendIndex, f.nSub});
        break;
    case 20:
    case 30: {
        int nPendingSub, nSceneId;
        {
            QMutexLocker lock(m_pMutexRecv);
            nPendingSub = m_nPendingSceneSub;
            nSceneId = m_nPendingSceneId;
            if (nPendingSub == f.nSub)
                m_nPendingSceneSub = -1;
        }
        if (nPendingSub != f.nSub) {
            CDeviceLog::write({QString("The device"), m_strIp, QString("scene reply without its command, ignored:"), f.nSub});
            break;
        }
        if (f.nSub == 20) {
            m_pDeviceInfo->nTakeScene = nSceneId;
            CDeviceLog::write({QString("The device"), m_strIp, QString("take the scene successfully!"), nSendIndex, f.nSub});
            break;
        }
        if (isTarn()) {
            for (int i = 0; i < m_listScene.size(); ++i) {
                if (m_listScene.at(i)->nId == nSceneId) {
                    removeTarnScene(i);
                    break;
                }
            }
            for (int i = 0; i < m_listScene.size(); ++i) {
                const int nOld = m_listScene.at(i)->nId;
                m_listScene.at(i)->nId = i + 1;
                if (nOld != i + 1 && s_pTarnSceneSink)
                    s_pTarnSceneSink->sceneRenumbered(this, nOld, i + 1);
            }
            if (m_pDeviceInfo->nTakeScene == nSceneId)
                m_pDeviceInfo->nTakeScene = 0;
            QString strSerial = m_strSerial;
            globalObserver::getGlobalObserver()->notify("slot_updateCurrentDevice", Q_ARG(QString, strSerial));
            CDeviceLog::write({QString("The device"), m_strIp, QString("delete the "), nSceneId, QString("index scene successfully!"),
                               nSendIndex, f.nSub, m_listScene.size()});
        } else {
            for (int i = 0; i < m_listZScene.size(); ++i) {
                if (m_listZScene.at(i)->nSceneIndex == nSceneId) {
                    delete m_listZScene.takeAt(i);
                    break;
                }
            }
            for (int i = 0; i < m_listZScene.size(); ++i)
                m_listZScene.at(i)->nSceneIndex = i + 1;
            if (m_pDeviceInfo->nTakeScene == nSceneId)
                m_pDeviceInfo->nTakeScene = 0;
            notifySetDeviceCmd(g_texing_name[Tx_GetSourceNum], QByteArray(), 1, 0);
        }
        break;
    }
    case 40:
        CDeviceLog::write({QString("The device"), m_strIp, QString("set the scene name successfully!"), nSendIndex, f.nSub});
        break;
    case 50:
    case 51:
        if (p.size() < 2)
            break;
        if (f.nSub == 50)
            CDeviceLog::write({QString("The device"), m_strIp, QString::fromUtf8("set the scene Audiosuccessfully! 音频索引"), u8(p, 1), u8(p, 0), f.nSub});
        if (u8(p, 0) <= 99 && u8(p, 1) <= 100) {
            int nValue = u8(p, 1);
            globalObserver::getGlobalObserver()->notify(f.nSub == 50 ? "slot_SetAudioSource" : "slot_SetAudio", Q_ARG(int, nValue));
        }
        break;
    default:
        break;
    }
}

void CTcpDeviceThread::getTarnSceneRead(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    const int nId = u8(p, 0);
    if (p.size() >= 26) {
        CTarnSceneRecord *pScene = findTarnScene(nId);
        const bool bCreated = pScene == nullptr;
        if (bCreated) {
            pScene = new CTarnSceneRecord();
            pScene->nId = nId;
            pScene->strName = g_fromGbkField(p.mid(2, 12));
            m_listScene.append(pScene);
        }
        pScene->nSceneState = u8(p, 1);
        pScene->nWidth = be16(p, 14);
        pScene->nHeight = be16(p, 16);
        pScene->nHz = u8(p, 18);
        pScene->nCanvasCount = u8(p, 19);
        pScene->nLayerCount = u8(p, 20);
        pScene->nLayerUse = u8(p, 21);
        pScene->nCanvasType = u8(p, 22);
        pScene->nLight = u8(p, 23);
        pScene->nAudio = u8(p, 24);
        pScene->nMainSig = u8(p, 25);
        if (pScene->nLayerUse > 0) {
            QByteArray read(3, '\0');
            read[0] = char(nId);
            read[2] = char(pScene->nLayerUse - 1);
            setMcuCommand(g_texing_name[Tx_SceneInfo], read, 1, 80);
        }
        std::sort(pScene->vectorLayer.begin(), pScene->vectorLayer.end(),
                  [](const CTarnLayerRecord &a, const CTarnLayerRecord &b) { return a.nIndex < b.nIndex; });
        while (pScene->vectorLayer.size() > pScene->nLayerUse)
            pScene->vectorLayer.removeLast();
        if (s_pTarnSceneSink)
            s_pTarnSceneSink->sceneRead(this, *pScene, bCreated);
        QString strSerial = m_strSerial;
        globalObserver::getGlobalObserver()->notify("slot_updateCurrentDevice", Q_ARG(QString, strSerial));
        CDeviceLog::write({QString("Scene return data: "), nId, pScene->nSceneState, pScene->strName, pScene->nWidth,
                           pScene->nHeight, pScene->nHz, pScene->nCanvasCount, pScene->nLayerCount, pScene->nLayerUse,
                           pScene->nCanvasType, pScene->nLight, pScene->nAudio, pScene->nMainSig});
    } else {
        CDeviceLog::write({QString("The device"), m_strIp, QString("short scene reply ignored, bytes:"), p.size()});
    }
    QMutexLocker lock(m_pMutexRecv);
    m_nRecvExtraVal = nId;
}

void CTcpDeviceThread::getZSceneRead(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    const int nId = u8(p, 0);
    if (p.size() >= 39) {
        ZSceneInfo *pScene = nullptr;
        for (ZSceneInfo *s : m_listZScene)
            if (s->nSceneIndex == nId)
                pScene = s;
        if (!pScene) {
            pScene = new ZSceneInfo();
            pScene->nSceneIndex = nId;
            pScene->strName = g_fromGbkField(p.mid(2, 12));
            m_listZScene.append(pScene);
        }
        if (isZ()) {
            pScene->nMainSig = u8(p, 25);
            pScene->nBackup = u8(p, 26);
            pScene->nXinput = be16(p, 27);
            pScene->nYinput = be16(p, 29);
            pScene->ninputWidth = be16(p, 31);
            pScene->ninputHeight = be16(p, 33);
            pScene->nScaleMode = u8(p, 35);
            pScene->nsilent = u8(p, 36);
            pScene->nsound = u8(p, 37);
            pScene->nbrightness = u8(p, 38);
        }
        QString strSerial = m_strSerial;
        QList<ZSceneInfo *> listScene = m_listZScene;
        globalObserver *pHub = globalObserver::getGlobalObserver();
        pHub->notify("slot_updateCurrentZDevice", Q_ARG(QString, strSerial));
        pHub->notify("slot_setListZDeviceScene", Q_ARG(QList<ZSceneInfo *>, listScene));
    } else {
        CDeviceLog::write({QString("The device"), m_strIp, QString("short scene reply ignored, bytes:"), p.size()});
    }
    QMutexLocker lock(m_pMutexRecv);
    m_nRecvExtraVal = nId;
}

// Layer read (35, sub 80): p[0] scene id, then 23-byte layer records within the payload.
void CTcpDeviceThread::getTarnLayerRead(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    const int nSceneId = u8(p, 0);
    CTarnSceneRecord *pScene = findTarnScene(nSceneId);
    if (!pScene)
        return; // the gate stays closed, as for any reply that answers nothing held
    QVector<CTarnLayerRecord> listRead;
    for (int i = 1; i + 23 <= p.size(); i += 23) {
        CTarnLayerRecord l;
        l.nIndex = u8(p, i);
        l.nState = u8(p, i + 1);
        l.nLevel = u8(p, i + 2);
        l.nMainSig = u8(p, i + 3);
        l.nBackupSig = u8(p, i + 4);
        l.nTrans = u8(p, i + 5);
        l.nX = be16(p, i + 6);
        l.nY = be16(p, i + 8);
        l.nWidth = be16(p, i + 10);
        l.nHeight = be16(p, i + 12);
        l.nCut = u8(p, i + 14);
        l.nCutX = be16(p, i + 15);
        l.nCutY = be16(p, i + 17);
        l.nCutWidth = be16(p, i + 19);
        l.nCutHeight = be16(p, i + 21);
        bool bFound = false;
        for (CTarnLayerRecord &held : pScene->vectorLayer) {
            if (held.nIndex == l.nIndex) {
                held = l;
                bFound = true;
                break;
            }
        }
        if (!bFound)
            pScene->vectorLayer.append(l);
        listRead.append(l);
        CDeviceLog::write({QString("layer data return: "), nSceneId, l.nIndex, l.nState, l.nLevel, l.nMainSig, l.nBackupSig,
                           l.nTrans, l.nX, l.nY, l.nWidth, l.nHeight, l.nCut, l.nCutX, l.nCutY, l.nCutWidth, l.nCutHeight});
    }
    std::sort(pScene->vectorLayer.begin(), pScene->vectorLayer.end(),
              [](const CTarnLayerRecord &a, const CTarnLayerRecord &b) { return a.nIndex < b.nIndex; });
    if (s_pTarnSceneSink)
        s_pTarnSceneSink->layersRead(this, nSceneId, listRead);
    QMutexLocker lock(m_pMutexRecv);
    m_nRecvExtraVal = (80 + nSceneId) % 256;
}

// Output ports (37), read replies only.
void CTcpDeviceThread::getOutletsetting(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.nReadOrWrite != 1 || f.isAck())
        return;
    globalObserver *pHub = globalObserver::getGlobalObserver();
    switch (f.nSub) {
    case 1:
        if (p.size() >= 4 && u8(p, 3) != 0) {
            QString strType;
            switch (u8(p, 2)) {
            case 0: strType = tr("混合"); break;
            case 1: strType = tr("网口"); break;
            case 2: strType = tr("5G-PHY"); break;
            case 3: strType = tr("光口"); break;
            case 4: strType = tr("HDMI"); break;
            default: break;
            }
            int nCount = be16(p, 0);
            pHub->notify("InitOutputDate", Q_ARG(int, nCount), Q_ARG(QString, strType));
            notifySetDeviceCmd(g_texing_name[Tx_Outletsetting], QByteArray(1, 1), 1, 10);
        }
        break;
    case 10:
        if (p.size() >= 10) {
            int a = u8(p, 0), b = u8(p, 4), c = be16(p, 5), d = be16(p, 7), e = u8(p, 9);
            pHub->notify("SwitchOutputDate", Q_ARG(int, a), Q_ARG(int, b), Q_ARG(int, c), Q_ARG(int, d), Q_ARG(int, e));
        }
        break;
    case 20:
        if (p.size() >= 18) {
            int v[9];
            for (int i = 0; i < 8; ++i)
                v[i] = be16(p, 1 + 2 * i);
            v[8] = u8(p, 17);
            pHub->notify("InitAdvancedDate", Q_ARG(int, v[0]), Q_ARG(int, v[1]), Q_ARG(int, v[2]), Q_ARG(int, v[3]),
                         Q_ARG(int, v[4]), Q_ARG(int, v[5]), Q_ARG(int, v[6]), Q_ARG(int, v[7]), Q_ARG(int, v[8]));
        }
        break;
    case 21:
        if (p.size() >= 3) {
            int nDelay = be16(p, 1);
            pHub->notify("Delay", Q_ARG(int, nDelay));
        }
        break;
    case 22:
        if (p.size() >= 3) {
            int nValue = be16(p, 1);
            pHub->notify("Noisecancellation", Q_ARG(int, nValue));
        }
        break;
    default:
        break;
    }
}

void CTcpDeviceThread::abortOsdTransfer()
{
    CDeviceLog::write({QString("The device"), m_strIp, QString("OSD packet refused too often, transfer aborted:"), g_ncurrentserial});
    g_ncountpack = 0;
    g_ncurrentserial = 0;
    m_nOsdRetry = 0;
    m_bOsdLastTaken = false;
    int nProgress = -1;
    globalObserver::getGlobalObserver()->notify("slot_GetOSDsendprogress", Q_ARG(int, nProgress));
    bool bReflash = true;
    globalObserver::getGlobalObserver()->notify("slot_IsZReflash", Q_ARG(bool, bReflash));
}

void CTcpDeviceThread::resendOsdPacket()
{
    if (g_ncountpack <= 0)
        return; // no transfer in progress
    if (++m_nOsdRetry > OsdPacketRetryLimit) {
        abortOsdTransfer();
        return;
    }
    int nSerial = g_ncurrentserial;
    globalObserver::getGlobalObserver()->notify("slot_sendOSDdate", Q_ARG(int, nSerial));
}

// OSD replies (40).
void CTcpDeviceThread::getOSDInfo(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    globalObserver *pHub = globalObserver::getGlobalObserver();
    switch (f.nSub) {
    case 0:
        if (!f.isAck() && !p.isEmpty() && u8(p, 0) != 0)
            notifySetDeviceCmd(g_texing_name[Tx_OSDSet], QByteArray(), 1, 2);
        break;
    case 2:
        if (!f.isAck() && !p.isEmpty() && u8(p, 0) == 1)
            g_OSDState = true;
        break;
    case 10:
        m_nOsdRetry = 0;
        m_bOsdLastTaken = false;
        pHub->notify("slot_sendbeginOSDdate");
        break;
    case 11: {
        if (g_ncountpack <= 0 || m_bOsdLastTaken)
            break; // no transfer in progress (a late or repeated reply)
        const int nStep = g_ncountpack > 100 ? g_ncountpack / 100 : 1;
        const int nStatus = p.size() >= 6 ? u8(p, 5) : 0;
        if (g_ncurrentserial < g_ncountpack - 1) {
            if (nStatus == 1) {
                ++g_ncurrentserial;
                m_nOsdRetry = 0;
                if (g_ncurrentserial / nStep <= 99) {
                    int nProgress = g_ncurrentserial / nStep;
                    pHub->notify("slot_GetOSDsendprogress", Q_ARG(int, nProgress));
                }
                CDeviceLog::write({QString("whilteret"), nStatus, g_ncurrentserial});
                int nSerial = g_ncurrentserial;
                pHub->notify("slot_sendOSDdate", Q_ARG(int, nSerial));
            } else {
                CDeviceLog::write({QString("whilteret"), nStatus, g_ncurrentserial});
                resendOsdPacket();
            }
        } else {
            g_ncurrentserial = g_ncountpack - 1;
            if (nStatus == 1) {
                m_bOsdLastTaken = true;
                m_nOsdRetry = 0;
                notifySetDeviceCmd(g_texing_name[Tx_OSDSet], QByteArray(1, char(g_OSDindex)), 2, 12);
                CDeviceLog::write({QString("endret"), nStatus});
            } else {
                resendOsdPacket();
                if (g_ncountpack <= 0)
                    break; // aborted
            }
            int nProgress = 99;
            pHub->notify("slot_GetOSDsendprogress", Q_ARG(int, nProgress));
        }
        break;
    }
    case 12: {
        QByteArray on(2, '\0');
        on[0] = 1;
        on[1] = char(g_OSDindex);
        notifySetDeviceCmd(g_texing_name[Tx_OSDSet], on, 2, 2);
        const int nQuot = g_ncountpack / 256;
        const int nDelay = nQuot > 0 ? nQuot * 800 : 1000;
        QTimer::singleShot(nDelay, this, []() {
            globalObserver *pHub = globalObserver::getGlobalObserver();
            int nProgress = 100;
            int nItem = -1;
            int nSpeed = g_nOSDSpeed;
            bool bReflash = true;
            pHub->notify("slot_GetOSDsendprogress", Q_ARG(int, nProgress));
            pHub->notify("slot_itemPress", Q_ARG(int, nItem));
            pHub->notify("slot_SetOSDTextSpeed", Q_ARG(int, nSpeed));
            pHub->notify("slot_IsZReflash", Q_ARG(bool, bReflash));
        });
        break;
    }
    default:
        break;
    }
}

// Device name (41), read replies.
void CTcpDeviceThread::getSystemName(const CReplyFrame &f)
{
    if (f.isAck() || f.payload.size() < 12)
        return;
    // With the serial the device list puts the name on this device's row, whichever device was
    // switched on last.
    QString strName = g_fromGbkField(f.payload.left(12));
    QString strSerial = m_strSerial;
    globalObserver::getGlobalObserver()->notify("slot_getSystemDeviceName", Q_ARG(QString, strName),
                                                Q_ARG(QString, strSerial));
}

QString CTcpDeviceThread::getMainSigInputSource(int nId)
{
    InputSource *pInput = findInput(nId);
    if (!pInput)
        return QString();
    if (pInput->nSig == 1)
        return QString("%1 : %2x%3@%4").arg(pInput->strName).arg(pInput->nWidth).arg(pInput->nHeight).arg(pInput->nHz);
    return QString("%1 : %2").arg(pInput->strName, tr("无输入"));
}
