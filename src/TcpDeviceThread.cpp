#include "TcpDeviceThread.h"

#include "BesMessageBox.h"
#include "DeviceLog.h"
#include "GbkCodec.h"
#include "OsdReplySink.h"
#include "WireBytes.h"
#include "TcpSocket.h"
#include "globalObserver.h"
#include "serislport.h"

#include <QDataStream>
#include <QScopedValueRollback>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace {
// A write of nWriteCmd may change what a read of nReadCmd answers: one of its own command, or a
// layer write for a scene read.
bool writeChangesRead(int nWriteCmd, int nReadCmd)
{
    return nWriteCmd == nReadCmd || (nReadCmd == Tx_SceneInfo && nWriteCmd == Tx_SetLayer);
}

// Walking the commands in sending order: whether the read asked (nCmd, nSub, payload) is already
// waiting with no write behind it that changes what it answers, after cmd (bWaiting before it).
bool readStillWaiting(bool bWaiting, const _mcu_cmd &cmd, int nCmd, int nSub, const QByteArray &payload)
{
    if (cmd.nReadOrWrite != 1)
        return bWaiting && !writeChangesRead(cmd.nCmdIndex, nCmd);
    return bWaiting || cmd.isRead(nCmd, nSub, payload);
}

// A read by its command, sub-command and payload.
QByteArray readKey(int nCmd, int nSub, const QByteArray &payload)
{
    QByteArray key;
    key.append(char(nCmd)).append(char(nSub)).append(payload);
    return key;
}

// Keeps a read to ask later, once, in a list of at most nMax; false when the list is full.
bool keepRead(QList<_mcu_cmd> &list, const _mcu_cmd &read, int nMax)
{
    if (std::any_of(list.cbegin(), list.cend(), [&](const _mcu_cmd &r) { return r.isRead(read.nCmdIndex, read.nSubIndex3, read.byte); }))
        return true;
    if (list.size() >= nMax)
        return false;
    list.append(read);
    return true;
}

// The scene commands that name a scene by its number in their first byte (a scene, its layers,
// its audio, a save (its source, then its target), a recall, a delete, a rename).
bool namesSceneBySub(int nCmd, int nSub)
{
    static const int s_anSubs[] = {0, 10, 20, 30, 40, 50, 51, 80};
    return nCmd == Tx_SceneInfo && std::find(std::begin(s_anSubs), std::end(s_anSubs), nSub) != std::end(s_anSubs);
}

bool namesScene(const _mcu_cmd &cmd)
{
    return namesSceneBySub(cmd.nCmdIndex, cmd.nSubIndex3) && !cmd.byte.isEmpty();
}

// A read key or write target naming a scene (a scene, its audio, a save, rename, recall or
// delete), named as the device numbers it after scene nDeleted went: the scenes behind it one
// lower. Empty for the deleted scene itself; anything else as it is.
QByteArray sceneKeyAfterDelete(const QByteArray &key, int nDeleted)
{
    if (key.size() < 3 || !namesSceneBySub(uchar(key.at(0)), uchar(key.at(1))))
        return key;
    const int nScene = uchar(key.at(2));
    if (nScene == nDeleted)
        return QByteArray();
    QByteArray now = key;
    if (nScene > nDeleted)
        now[2] = char(nScene - 1);
    return now;
}

// How many scene numbers a queued command names from its first byte on: one, or a save's two (its
// source, then its target).
int namedScenes(const _mcu_cmd &cmd)
{
    return namesScene(cmd) ? std::min(cmd.nSubIndex3 == 10 ? 2 : 1, cmd.byte.size()) : 0;
}

// The queued command names scene nDeleted, which the device no longer holds: nothing is left for
// it to act on (a save from the live scene names it 0).
bool namesDeletedScene(const _mcu_cmd &cmd, int nDeleted)
{
    for (int i = 0; i < namedScenes(cmd); ++i)
        if (uchar(cmd.byte.at(i)) == nDeleted)
            return true;
    return false;
}

// The scenes a queued command names, as the device numbers them after scene nDeleted went; true
// when one moved.
bool followDelete(_mcu_cmd &cmd, int nDeleted)
{
    bool bMoved = false;
    for (int i = 0; i < namedScenes(cmd); ++i) {
        if (uchar(cmd.byte.at(i)) > nDeleted) {
            cmd.byte[i] = char(uchar(cmd.byte.at(i)) - 1);
            bMoved = true;
        }
    }
    return bMoved;
}

// A save to another scene from scene nDeleted (a Tarn save names the live scene as its source):
// the device no longer holds what it was to store.
bool savesFromDeletedScene(const _mcu_cmd &cmd, int nDeleted)
{
    return namesScene(cmd) && cmd.nSubIndex3 == 10 && cmd.nReadOrWrite != 1 && cmd.byte.size() >= 2
           && uchar(cmd.byte.at(0)) == nDeleted && uchar(cmd.byte.at(1)) != nDeleted;
}

// A packet of the OSD bitmap transfer, whose fate the transfer itself follows and says.
bool isOsdPacket(const _mcu_cmd &cmd)
{
    return cmd.nCmdIndex == Tx_OSDSet && cmd.nSubIndex3 >= 10 && cmd.nSubIndex3 <= 12;
}

// A scene delete of ours, sent or queued.
bool isSceneDelete(const _mcu_cmd &cmd)
{
    return namesScene(cmd) && cmd.nSubIndex3 == 30 && cmd.nReadOrWrite != 1;
}

// A read of the source and scene counts, whose answer tells whether a delete left unanswered was
// taken.
bool isCountRead(const _mcu_cmd &cmd)
{
    return cmd.nCmdIndex == Tx_GetSourceNum && cmd.nReadOrWrite == 1;
}
} // namespace

QString CTcpDeviceThread::s_strEditedSerial;
QHash<QString, QString> CTcpDeviceThread::s_editedSerialByFamily;

using WireBytes::be16;

CTcpDeviceThread::CTcpDeviceThread(QObject *parent)
    : QThread(parent)
{
    m_pMutexRecv = new QMutex();
    m_pMutexSend = new QMutex();
    m_clock.start();
    m_pDeviceInfo = new DeviceInfo();
    m_pSystemInfo = new SystemInfo();
    m_pTcpSocket = new CTcpSocket(this);

    connect(m_pTcpSocket->getTcpSocket(), &QTcpSocket::connected, this, &CTcpDeviceThread::handleConnected);
    connect(m_pTcpSocket->getTcpSocket(), &QTcpSocket::disconnected, this, &CTcpDeviceThread::handleDisconnected);
    connect(m_pTcpSocket, &CTcpSocket::receivedData, this, &CTcpDeviceThread::handleReceivedData);
    connect(m_pTcpSocket, &CTcpSocket::error, this, &CTcpDeviceThread::handleError);
    // Frames are built on the worker thread and reach the transports (GUI thread) as byte copies.
    connect(this, &CTcpDeviceThread::writeData, m_pTcpSocket, &CTcpSocket::sendData);
    m_pSilenceTimer = new QTimer(this);
    m_pSilenceTimer->setSingleShot(true);
    connect(m_pSilenceTimer, &QTimer::timeout, this, &CTcpDeviceThread::slot_linkSilent);
    connect(m_pTcpSocket, &CTcpSocket::sig_written, this, &CTcpDeviceThread::slot_frameWritten);
    m_pReplyTimer = new QTimer(this);
    m_pReplyTimer->setSingleShot(true);
    m_pReplyTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pReplyTimer, &QTimer::timeout, this, &CTcpDeviceThread::slot_replyTimeOut);
    // The serial transport is made when a serial port is first opened: most workers are network
    // devices that never use one.

    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->attach("slot_refreshinputName", this, "slot_refreshinputName");
    pHub->attach("slot_GetZSencedate", this, "slot_GetZSencedate");
    pHub->attach("slot_GetZMainSig", this, "slot_GetZMainSig");
    listRecords();
}

CTcpDeviceThread::~CTcpDeviceThread()
{
    unlistRecords();
    m_bStop = true;
    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->detach("slot_refreshinputName", this);
    pHub->detach("slot_GetZSencedate", this);
    pHub->detach("slot_GetZMainSig", this);
    wakeWorker();
    wait();

    for (CTarnSceneRecord *pScene : m_listScene) {
        if (CTarnSceneSink *pSink = CTarnSceneSink::installed())
            pSink->sceneRemoved(this, pScene->nId);
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
    // Switched off: the next failure after switching on again is news to the operator.
    if (!bCan) {
        m_bLinkLossShown = false;
        linkDown("the device was switched off");
    } else if (isConnected()) {
        linkAttempted(); // switched on again before the link that is still up was closed
    }
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
        linkAttempted();
    }
}

void CTcpDeviceThread::setDeviceAddress(const QString &strHost)
{
    {
        QMutexLocker lock(m_pMutexRecv); // the worker thread reads the address for its log lines
        m_strIp = strHost;
    }
    m_pDeviceInfo->strIp = strHost;
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
    linkAttempted();
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
    linkAttempted();
    if (!m_pSerislPort) {
        m_pSerislPort = new SerislPort();
        connect(this, &CTcpDeviceThread::writeData, m_pSerislPort, &SerislPort::SendSerialData);
        connect(m_pSerislPort, &SerislPort::receivedData, this, &CTcpDeviceThread::handleReceivedData);
        connect(m_pSerislPort, &SerislPort::SerialConnectState, this, &CTcpDeviceThread::handleSerislDisConnected);
        connect(m_pSerislPort, &SerislPort::LineLost, this, &CTcpDeviceThread::handleSerialLineLost);
        connect(m_pSerislPort, &SerislPort::CloseSerialPort, this, &CTcpDeviceThread::handleDisconnected);
        connect(m_pSerislPort, &SerislPort::sig_written, this, &CTcpDeviceThread::slot_frameWritten);
    }
    if (m_pSerislPort->SerialPortInits(Serislport))
        serialLineOpened();
}

void CTcpDeviceThread::serialLineOpened()
{
    m_bIsConnected = true;
    m_bLinkLossShown = false; // a new line: its loss is news again
    // As over TCP: the start-up reads read every input's settings, names included.
    m_bGetEquipmentMessages = true;
    // A device that answers nothing on it for three heartbeat periods, nor when asked once more,
    // is a line lost.
    m_bSilenceConfirming = false;
    m_bSilenceAsked = false;
    m_firstUnheardWrite.invalidate();
    m_pSilenceTimer->start(silenceMs());
    {
        // Nothing of the line before can be answered late on this one.
        QMutexLocker lock(m_pMutexRecv);
        m_ledger.linkBegan();
        m_notices.linkBegan(m_ledger.lastSentSeq());
    }
    ownReadsLinkStart();
    emit connected();         // closes the box of the last loss, still open
    askNextLinkReads();
}

void CTcpDeviceThread::handleConnected()
{
    m_bIsConnected = true;
    m_bLinkDown = false;
    // Contact is regained when the device answers on the link (deviceHeard), not when it accepts
    // the connection: a frozen device still does. Until then its loss is not news again.
    m_bDeviceHeard = false;
    // The start-up reads read every input's settings, names included: a name changed while the
    // device was off, here or elsewhere, shows as soon as they are answered.
    m_bGetEquipmentMessages = true;
    {
        // A new link, its gates open. What the worker sent while it came up goes out on it (the
        // socket writes it once connected): it stays in flight, as do the heartbeats' counts.
        QMutexLocker lock(m_pMutexRecv);
        m_nOpenCountReads = 0;
        m_ledger.linkBegan();
        m_notices.linkBegan(m_ledger.lastSentSeq()); // what left before is of the links before
        m_nRecvIndex = m_nSendIndex;
        m_nRecvExtraVal = m_nSendExtraVal;
        m_nExtraValue2 = m_nExtraValue1;
    }
    m_reader.clear();
    m_bSilenceConfirming = false;
    m_firstUnheardWrite.invalidate();
    if (!m_bCanSerislPortConnected)
        m_pSilenceTimer->start(silenceMs());
    ownReadsLinkStart();
    emit connected();
    emit sig_deviceStatus(true);
    CDeviceLog::write({QString("The device"), m_strIp, QString("had connected")});
    // After the start-up reads (queued on connected()): what they do not read again.
    askNextLinkReads();
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
    linkDown("the link was lost");
    // An OSD bitmap transfer to this device ends now (its packets went with the queue); what the
    // failed transfer queues (the OSD switched on again) waits for the next link, a switch-off
    // in between or not (dropQueuedCommands keeps it).
    if (COsdReplySink *pTransfer = COsdReplySink::forDevice(m_strSerial)) {
        m_bKeepForNextLink = true;
        pTransfer->linkLost();
        m_bKeepForNextLink = false;
    }
}

void CTcpDeviceThread::linkDown(const char *pszWhy)
{
    m_bLinkDown = true;
    m_bDeviceHeard = false;
    m_pSilenceTimer->stop();
    // The next link's start-up reads read everything again, but for what a doubt waits on.
    for (const _mcu_cmd &read : qAsConst(m_listWantedReads))
        if (m_notices.hasDoubt(doubtKeyOfRead(read)))
            keepRead(m_listNextLinkReads, read, MaxWantedReads);
    m_listWantedReads.clear();
    m_hashSceneReadFailures.clear();
    m_pReplyTimer->stop();
    endDeleteInDoubt(); // the next link reads the scenes anew
    CCommandLedger::Outcome out;
    {
        QMutexLocker lock(m_pMutexRecv);
        m_nOpenCountReads = 0;
        out = m_ledger.linkEnded();
    }
    endCommands(out);
    const QList<_mcu_cmd> listDropped = dropQueuedCommands(pszWhy);
    for (const _mcu_cmd &cmd : listDropped)
        commandNotTaken(cmd, Dropped);
}

QList<_mcu_cmd> CTcpDeviceThread::takeQueued(const std::function<bool(const _mcu_cmd &)> &fnTake)
{
    QList<_mcu_cmd> listTaken;
    QList<_mcu_cmd *> listKept;
    QMutexLocker queue(m_pMutexSend);
    for (_mcu_cmd *pCmd : qAsConst(m_listMcuCmd)) {
        if (fnTake(*pCmd)) {
            listTaken.append(*pCmd);
            delete pCmd;
        } else {
            listKept.append(pCmd);
        }
    }
    m_listMcuCmd.swap(listKept);
    return listTaken;
}

void CTcpDeviceThread::linkAttempted()
{
    m_bLinkDown = false;
}

QList<_mcu_cmd> CTcpDeviceThread::dropQueuedCommands(const char *pszWhy)
{
    // What waits for the next link (the OSD switch-on of a failed transfer) stays queued.
    const QList<_mcu_cmd> listDropped = takeQueued([](const _mcu_cmd &cmd) { return !cmd.bKeep; });
    if (!listDropped.isEmpty())
        CDeviceLog::write({QString("The device"), m_strIp, QString("dropped %1 queued commands:").arg(listDropped.size()),
                           QString::fromLatin1(pszWhy)});
    return listDropped;
}

// A write the device did not get may already show in the editor (a dragged layer, a typed
// value): the editor is handed the device's last-read state again, once the handler that sent
// the write has returned.
void CTcpDeviceThread::scheduleShowLastRead()
{
    callOnceLater(m_bShowLastReadPending, &CTcpDeviceThread::showLastReadState);
}

void CTcpDeviceThread::callOnceLater(bool &bPending, void (CTcpDeviceThread::*pCall)())
{
    if (bPending)
        return;
    bPending = true;
    QTimer::singleShot(0, this, [this, &bPending, pCall]() {
        bPending = false;
        (this->*pCall)();
    });
}

void CTcpDeviceThread::showLastReadState()
{
    // Writes still pending may yet be taken: once none is, the panels see what was.
    m_bReshowWhenSettled = hasWritePending();
    const QScopedValueRollback<bool> handing(m_bHandingBack, true);
    handBackHeldState();
    if (isTarn()) {
        // The scene strip and the canvas: names and live scene as the records hold them.
        notifySerial("slot_updateCurrentDevice");
        if (!CTarnSceneSink::installed())
            return;
        // The sink may call back into the records: walk a copy of the scene ids.
        QList<int> listIds;
        for (const CTarnSceneRecord *pScene : qAsConst(m_listScene))
            listIds.append(pScene->nId);
        for (int nId : qAsConst(listIds)) {
            const CTarnSceneRecord *pScene = findTarnScene(nId);
            if (!pScene || !CTarnSceneSink::installed())
                continue;
            const CTarnSceneRecord scene = *pScene;
            CTarnSceneSink::installed()->sceneRead(this, scene, false);
            if (CTarnSceneSink::installed() && findTarnScene(nId))
                CTarnSceneSink::installed()->layersRead(this, nId, scene.vectorLayer);
        }
        return;
    }
    // The Z settings page shows the live settings as last read or acknowledged; the Z strip and
    // the copies pages hold the scenes and live scene of the records.
    SystemInfo *pInfo = m_pSystemInfo;
    QString strSerial = m_strSerial;
    globalObserver::getGlobalObserver()->notify("slot_initWidgetdate", Q_ARG(SystemInfo *, pInfo), Q_ARG(QString, strSerial));
    notifySerial("slot_updateCurrentZDevice");
    notifyZSceneList();
}

void CTcpDeviceThread::notifySerial(const char *pszTopic)
{
    QString strSerial = m_strSerial;
    globalObserver::getGlobalObserver()->notify(pszTopic, Q_ARG(QString, strSerial));
}

// Said on the next event-loop pass, as the notice rules decide; the notice waits for no answer.
void CTcpDeviceThread::commandNotTaken(const _mcu_cmd &cmd, Ending eEnding)
{
    static const char *const s_pszWhy[] = {
        "is switched off or has lost its link, not sent:", "command queue full, not sent:", "refused the command:",
        "lost the link with the command in flight:", "did not answer the command:", "dropped the queued command:"};
    // The OSD bitmap transfer decides itself what follows for its packets (it retries and says).
    const bool bOsdPacket = isOsdPacket(cmd);
    const bool bWrite = cmd.nReadOrWrite != 1 && !bOsdPacket;
    if (bWrite || eEnding == NotSent || eEnding == QueueFull)
        CDeviceLog::write({QString("The device"), m_strIp, QString::fromLatin1(s_pszWhy[eEnding]),
                           cmd.nCmdIndex >= 0 && cmd.nCmdIndex < TX_COMMAND_COUNT ? g_texing_name[cmd.nCmdIndex]
                                                                                   : QString::number(cmd.nCmdIndex),
                           cmd.nSubIndex3});
    // Taken or not, the device did not say (the bytes left, and the link may have gone after the
    // device took them): what it holds is read back, on the next link when the link is down, and
    // the read back's answer decides what is said.
    bool bInDoubt = false;
    if (bWrite && (eEnding == Unanswered || eEnding == LostInFlight)) {
        const QByteArray key = readBackKey(cmd);
        const QByteArray print = key.isEmpty() ? QByteArray() : recordPrint(key, writeTarget(cmd));
        // What the records hold already: the read back cannot tell made from not made, and the
        // device holds that value either way.
        const QByteArray printTaken = key.isEmpty() ? QByteArray() : printIfTaken(cmd, key);
        bInDoubt = !key.isEmpty() && recordsHoldWrite(cmd, printTaken, print);
        if (readBackAfter(cmd) && !key.isEmpty()) {
            // A read of it sent after the write was answered already: the records hold what the
            // device holds since, whatever it did with the write; nothing is guessed.
            if (!bInDoubt && m_hashReadAnsweredSeq.value(key, -1) < cmd.nSeq)
                sayNotice(m_notices.writeInDoubt(key, writeTarget(cmd), print, cmd.nSeq,
                                                 takesWrittenValueAlone(cmd) ? printTaken : QByteArray(), printTaken));
            bInDoubt = true;
        }
    }
    const bool bTarnSceneRead = isTarnSceneRead(cmd);
    if (!bWrite && !bOsdPacket && !bTarnSceneRead && (eEnding == Unanswered || eEnding == LostInFlight || eEnding == Dropped))
        readFailed(cmd);
    if (!bWrite && !bOsdPacket && eEnding == Refused)
        readRefused(cmd, true);
    // Layer writes queued behind a Tarn recall the device did not take were made for the scene it
    // was to show; the device would put them on the scene it shows: they are not sent.
    if (bWrite && isTarn() && cmd.nCmdIndex == Tx_SceneInfo && cmd.nSubIndex3 == 20
        && (eEnding == Refused || eEnding == Unanswered))
        for (const _mcu_cmd &layer :
             takeQueued([](const _mcu_cmd &c) { return c.nCmdIndex == Tx_SetLayer && c.nReadOrWrite != 1; }))
            commandNotTaken(layer, Dropped);
    // A delete the device did not answer may still be taken, or have been: until a count read sent
    // after it (asked above) or its late answer tells, commands naming a scene wait, as they wait
    // while it is in flight, and follow what it did.
    if (isSceneDelete(cmd) && eEnding == Unanswered) {
        QMutexLocker state(m_pMutexRecv);
        m_nDeleteInDoubtSeq = cmd.nSeq;
        m_nDeleteInDoubtScene = uchar(cmd.byte.at(0));
        m_nScenesBeforeDelete = m_pDeviceInfo->nSceneNum;
    }
    // A write the editor may already show, or a scene read meant to put the editor right.
    if (m_bHandingBack)
        return;
    if (!bWrite) {
        if (cmd.nCmdIndex != Tx_SceneInfo)
            return;
        // A Z scene read refused names a scene the device does not hold: not read again.
        if ((bTarnSceneRead && (eEnding == Refused || eEnding == Unanswered))
            || (!isTarn() && cmd.nSubIndex3 == 0 && eEnding == Unanswered))
            sceneReadNotAnswered(cmd, eEnding);
        else if (eEnding != Refused && eEnding != Unanswered)
            scheduleShowLastRead(); // not sent, or gone with the link: the next link reads it again
        return;
    }
    scheduleShowLastRead();
    if (bInDoubt)
        return;
    if (eEnding == Unanswered) {
        // Nothing reads it back: the device did not answer, which is all there is to say.
        sayNotice(m_notices.writeUnanswered(nowMs(), cmd.nSeq));
        return;
    }
    if (eEnding == Dropped && !m_bLinkDown) {
        // Dropped with the link up, it went with a recall the device did not answer or refused, or
        // with a delete it did not answer.
        sayNotice(m_notices.writeWithdrawn(nowMs()));
        return;
    }
    static const CNoticeRules::Ending s_eKnown[] = {CNoticeRules::NotSent, CNoticeRules::QueueFull, CNoticeRules::DeviceRefused,
                                                    CNoticeRules::LostInFlight, CNoticeRules::LostInFlight, CNoticeRules::Dropped};
    const bool bSent = eEnding == Refused || eEnding == LostInFlight;
    sayNotice(m_notices.writeNotTaken(s_eKnown[eEnding], nowMs(), bSent ? cmd.nSeq : 0));
}

void CTcpDeviceThread::endDeleteInDoubt()
{
    {
        QMutexLocker state(m_pMutexRecv);
        if (m_nDeleteInDoubtSeq == 0)
            return;
        m_nDeleteInDoubtSeq = 0;
    }
    wakeWorker();
}

void CTcpDeviceThread::deleteFateCounted()
{
    const qint64 nSeq = m_nDeleteInDoubtSeq; // written on this thread only
    if (nSeq == 0)
        return;
    // A count read asked again may be answered of unclear owner: it tells as well when every read
    // it may answer was sent after the delete.
    const bool bAfter = m_bAnswered ? isCountRead(m_answered) && m_answered.nSeq > nSeq : m_nAnswersSeqFrom > nSeq;
    if (!bAfter)
        return;
    const int nDeleted = m_nDeleteInDoubtScene;
    const bool bTaken = m_pDeviceInfo->nSceneNum == m_nScenesBeforeDelete - 1;
    CDeviceLog::write({QString("The device"), m_strIp, QString("the count read after a delete left unanswered tells it"),
                       nDeleted, bTaken ? QString("taken") : QString("not taken")});
    if (bTaken) {
        // The device answers in order: the delete, sent before the read, is answered now or never
        // (the ledger let it go with the read's answer, whoever's it was credited to), so it is
        // followed here once, as its answer would have been. The counts just read stay the
        // device's.
        const int nCount = m_pDeviceInfo->nSceneNum;
        const int nTake = m_pDeviceInfo->nTakeScene;
        renumberAfterDelete(nDeleted, nSeq);
        sceneRecordsFollowDelete(nDeleted);
        m_pDeviceInfo->nSceneNum = nCount;
        m_pDeviceInfo->nTakeScene = nTake;
    }
    endDeleteInDoubt(); // what waits follows the device's numbering now
}

bool CTcpDeviceThread::deleteFateAsked() const
{
    const qint64 nSeq = m_nDeleteInDoubtSeq;
    {
        QMutexLocker state(m_pMutexRecv);
        for (const _mcu_cmd &sent : m_ledger.inFlight())
            if (isCountRead(sent) && sent.nSeq > nSeq)
                return true;
        QMutexLocker queue(m_pMutexSend);
        for (const _mcu_cmd *pQueued : qAsConst(m_listMcuCmd))
            if (isCountRead(*pQueued))
                return true;
    }
    return std::any_of(m_listWantedReads.cbegin(), m_listWantedReads.cend(), isCountRead);
}

void CTcpDeviceThread::askDeleteFate(bool bOperator)
{
    if (m_nDeleteInDoubtSeq == 0 || deleteFateAsked())
        return;
    const QByteArray payload(1, 1);
    if (bOperator)
        m_hashOwnReads[readKey(Tx_GetSourceNum, 0, payload)] = 0;
    CDeviceLog::write({QString("The device"), m_strIp, QString("a scene command waits for the fate of a delete left unanswered:"),
                       m_nDeleteInDoubtScene});
    if (!askReadBack(Tx_GetSourceNum, payload, 0))
        dropHeldSceneCommandsUnlessAsked();
}

void CTcpDeviceThread::dropHeldSceneCommandsUnlessAsked()
{
    if (m_nDeleteInDoubtSeq == 0 || deleteFateAsked())
        return;
    // Its count reads were given up: by which numbering the device now goes is not known.
    const QList<_mcu_cmd> listDropped = takeQueued([](const _mcu_cmd &c) { return namesScene(c); });
    if (listDropped.isEmpty())
        return;
    CDeviceLog::write({QString("The device"), m_strIp, QString("the fate of a delete left unanswered not known, scene commands waiting not sent:"),
                       m_nDeleteInDoubtScene, listDropped.size()});
    for (const _mcu_cmd &cmd : listDropped)
        commandNotTaken(cmd, Dropped);
}

void CTcpDeviceThread::writeRefusedLate(const _mcu_cmd &sent)
{
    if (isOsdPacket(sent))
        return;
    CDeviceLog::write({QString("The device"), m_strIp, QString("refused late the command it left unanswered:"), sent.nCmdIndex,
                       sent.nSubIndex3});
    const QByteArray key = readBackKey(sent);
    sayNotice(m_notices.writeRefusedLate(key, key.isEmpty() ? QByteArray() : writeTarget(sent), sent.nSeq));
    scheduleShowLastRead();
}

void CTcpDeviceThread::sayNotice(CNoticeRules::Notice eNotice)
{
    if (eNotice == CNoticeRules::Nothing)
        return;
    if (eNotice == CNoticeRules::CanvasNotShown) {
        callOnceLater(m_bCanvasNoticePending, &CTcpDeviceThread::showCanvasNotice);
        return;
    }
    if (!m_listSaidNotices.contains(eNotice))
        m_listSaidNotices.append(eNotice);
    callOnceLater(m_bRefusalNoticePending, &CTcpDeviceThread::showRefusalNotice);
}

void CTcpDeviceThread::sceneReadNotAnswered(const _mcu_cmd &cmd, Ending eEnding)
{
    if (cmd.byte.isEmpty())
        return;
    const int nId = uchar(cmd.byte.at(0));
    if (cmd.nSeq <= m_nSceneDeleteSeq) {
        // Sent before a delete was answered: it named a scene the device has numbered anew (or no
        // longer has). The delete's answer renumbered the records, which the canvas shows.
        CDeviceLog::write({QString("The device"), m_strIp, QString("scene read of the numbering before a delete not answered:"),
                           nId, cmd.nSubIndex3});
        return;
    }
    if (m_bCanSerislPortConnected && eEnding == Unanswered && m_nSentByLastAnswerSeq >= cmd.nSeq
        && m_nLastAnsweredSeq < cmd.nSeq) {
        // The device went on answering what was sent before it: it works through a backlog, and
        // the answer to this one, coming late, is taken then.
        CDeviceLog::write({QString("The device"), m_strIp, QString("scene read behind the device's backlog, answered late:"),
                           nId, cmd.nSubIndex3});
        return;
    }
    int &nFailures = m_hashSceneReadFailures[nId];
    ++nFailures;
    if (nFailures <= MaxSceneReadRetries) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("scene read not answered, read again:"), nId, cmd.nSubIndex3});
        readScene(nId);
        return;
    }
    // A write in doubt that waited for this scene's read waits no longer: its fate is not known.
    const QByteArray key = readKey(Tx_SceneInfo, 0, cmd.byte.left(1));
    sayNotice(m_notices.readGivenUp(key, nowMs()));
    if (nFailures > MaxSceneReadRetries + 1) {
        // Given up on this link already: neither read again nor said again.
        CDeviceLog::write({QString("The device"), m_strIp, QString("scene read not answered, given up before:"), nId});
        return;
    }
    CDeviceLog::write({QString("The device"), m_strIp, QString("scene read not answered, given up:"), nId});
    // The panels take the records again; showing them reads nothing. Every give-up of a scene the
    // canvas may show is said.
    scheduleShowLastRead();
    if (isTarn())
        sayNotice(m_notices.sceneReadGivenUp());
}

void CTcpDeviceThread::sceneReadOfUnclearOwner(const _mcu_cmd &read)
{
    if (read.byte.isEmpty())
        return;
    const int nId = uchar(read.byte.at(0));
    if (layerReadFollows(read))
        return;
    int &nFailures = m_hashSceneReadFailures[nId];
    if (++nFailures <= MaxSceneReadRetries) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("scene read of unclear owner, read again:"), nId, read.nSubIndex3});
        readScene(nId);
        return;
    }
    // The answer filled the records, which the canvas shows: only the doubt's write is not known.
    CDeviceLog::write({QString("The device"), m_strIp, QString("scene read of unclear owner, given up:"), nId});
    sayNotice(m_notices.readGivenUp(doubtKeyOfRead(read), nowMs()));
}

bool CTcpDeviceThread::isTarnSceneRead(const _mcu_cmd &cmd) const
{
    return isTarn() && cmd.nCmdIndex == Tx_SceneInfo && (cmd.nSubIndex3 == 0 || cmd.nSubIndex3 == 80);
}

bool CTcpDeviceThread::layerReadFollows(const _mcu_cmd &read) const
{
    if (!isTarnSceneRead(read) || read.nSubIndex3 != 0 || read.byte.isEmpty())
        return false;
    const CTarnSceneRecord *pScene = findTarnScene(uchar(read.byte.at(0)));
    return pScene && pScene->nLayerUse > 0;
}

bool CTcpDeviceThread::answersSceneRead(int nId, int nSub) const
{
    return m_bAnswered && !m_answered.bEnded && m_answered.nReadOrWrite == 1 && m_answered.nCmdIndex == Tx_SceneInfo
           && m_answered.nSubIndex3 == nSub && !m_answered.byte.isEmpty() && uchar(m_answered.byte.at(0)) == nId;
}

void CTcpDeviceThread::renumberAfterDelete(int nDeleted, qint64 nDeleteSeq)
{
    {
        // Nothing left since the delete's answer came (its commands are being ended).
        QMutexLocker state(m_pMutexRecv);
        m_nSceneDeleteSeq = m_ledger.lastSentSeq();
    }
    m_hashSceneReadFailures.clear(); // the operator acted on the scenes
    // The doubts of writes sent before it name scenes by the numbering it ended. The device answers
    // in order: every write sent before it has ended by now (its doubt made), none ends later.
    const auto now = [nDeleted](const QByteArray &key) { return sceneKeyAfterDelete(key, nDeleted); };
    const QList<QByteArray> listMoved = m_notices.renumbered(nDeleteSeq, now);
    QHash<QByteArray, int> hashOwn; // the reads queued follow below, and their counts with them
    for (auto it = m_hashOwnReads.cbegin(); it != m_hashOwnReads.cend(); ++it) {
        const QByteArray key = now(it.key());
        if (!key.isEmpty())
            hashOwn[key] = std::max(hashOwn.value(key), it.value());
    }
    m_hashOwnReads.swap(hashOwn);
    // What waits in the queue was made by the numbering before it (no command naming a scene
    // leaves while a delete is in flight): it follows, and what names the deleted scene goes. A
    // write of it is moot, said of nowhere; the panels are shown the records.
    const auto ofDeleted = [nDeleted](const _mcu_cmd &c) { return namesDeletedScene(c, nDeleted); };
    const QList<_mcu_cmd> listGone = takeQueued(ofDeleted);
    // A save from the deleted scene (the live one) to another one was the operator's: it is not
    // sent and said not made, naming the scene gone. The read of the new scene it was to add
    // (beyond every scene the records hold) goes with it.
    QList<_mcu_cmd> listNotMade;
    for (const _mcu_cmd &c : listGone)
        if (savesFromDeletedScene(c, nDeleted))
            listNotMade.append(c);
    const int nHeld = isTarn() ? (m_listScene.isEmpty() ? 0 : m_listScene.last()->nId)
                               : (m_listZScene.isEmpty() ? 0 : m_listZScene.last()->nSceneIndex);
    const auto readOfNotMade = [&listNotMade, nHeld](const _mcu_cmd &c) {
        return c.nCmdIndex == Tx_SceneInfo && c.nReadOrWrite == 1 && c.nSubIndex3 == 0 && !c.byte.isEmpty()
               && uchar(c.byte.at(0)) > nHeld
               && std::any_of(listNotMade.cbegin(), listNotMade.cend(),
                              [&c](const _mcu_cmd &save) { return save.byte.at(1) == c.byte.at(0); });
    };
    if (!listNotMade.isEmpty()) {
        takeQueued(readOfNotMade);
        m_listWantedReads.erase(std::remove_if(m_listWantedReads.begin(), m_listWantedReads.end(), readOfNotMade),
                                m_listWantedReads.end());
    }
    int nMoved = 0;
    {
        QMutexLocker queue(m_pMutexSend);
        for (_mcu_cmd *pCmd : qAsConst(m_listMcuCmd))
            nMoved += followDelete(*pCmd, nDeleted);
    }
    m_listWantedReads.erase(std::remove_if(m_listWantedReads.begin(), m_listWantedReads.end(), ofDeleted), m_listWantedReads.end());
    for (_mcu_cmd &read : m_listWantedReads)
        nMoved += followDelete(read, nDeleted);
    if (std::any_of(listGone.cbegin(), listGone.cend(), [](const _mcu_cmd &c) { return c.nReadOrWrite != 1; }))
        scheduleShowLastRead();
    // A moved doubt's read is asked by the new numbering: merged into the one still queued
    // (renumbered above), or asked anew when none waits.
    for (const QByteArray &key : listMoved)
        queueRead(uchar(key.at(0)), key.mid(2), uchar(key.at(1)));
    if (!listGone.isEmpty() || nMoved > 0)
        CDeviceLog::write({QString("The device"), m_strIp, QString("queued scene commands follow the delete of"), nDeleted,
                           QString("dropped, renumbered:"), listGone.size(), nMoved});
    for (const _mcu_cmd &save : qAsConst(listNotMade)) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("save from the deleted scene not sent:"), nDeleted,
                           uchar(save.byte.at(1))});
        BesMessageBox::notice(staticMetaObject.className(), QT_TR_NOOP("修改未生效"), QT_TR_NOOP("场景%1已不存在，请重新输入！"),
                              {QString::number(nDeleted)});
    }
    if (!listNotMade.isEmpty())
        scheduleShowLastRead();
}

void CTcpDeviceThread::showCanvasNotice()
{
    BesMessageBox::notice(staticMetaObject.className(), QT_TR_NOOP("画布未刷新"),
                          QT_TR_NOOP("设备 %1 未返回场景，画布显示的可能不是设备上的内容。"), {noticeName()});
}

QString CTcpDeviceThread::noticeName() const
{
    // A device on a serial line is known by its port (its serial here), one on the network by its
    // address and serial.
    QString strDevice = m_bCanSerislPortConnected ? m_strSerial : m_strIp;
    if (!m_bCanSerislPortConnected && !m_strSerial.isEmpty())
        strDevice += QStringLiteral(" (%1)").arg(m_strSerial);
    return strDevice;
}

void CTcpDeviceThread::showRefusalNotice()
{
    const QString strDevice = noticeName();
    const QList<CNoticeRules::Notice> listNotices = m_listSaidNotices;
    m_listSaidNotices.clear();
    // Given by their sources: a notice still shown when the language is switched reads in the new one.
    for (CNoticeRules::Notice eNotice : listNotices) {
        const char *pszTitle = QT_TR_NOOP("设备未连接");
        const char *pszText = QT_TR_NOOP("设备 %1 未连接，修改未生效。");
        if (eNotice == CNoticeRules::Busy) {
            pszTitle = QT_TR_NOOP("设备忙");
            pszText = QT_TR_NOOP("设备 %1 忙，修改未生效。");
        } else if (eNotice == CNoticeRules::Refused || eNotice == CNoticeRules::NotMade) {
            pszTitle = QT_TR_NOOP("修改未生效");
            pszText = eNotice == CNoticeRules::Refused ? QT_TR_NOOP("设备 %1 拒绝了修改，修改未生效。") : QT_TR_NOOP("设备 %1 未应答，修改未生效。");
        } else if (eNotice == CNoticeRules::Unconfirmed) {
            pszTitle = QT_TR_NOOP("修改未确认");
            pszText = QT_TR_NOOP("设备 %1 未应答，无法确认修改是否生效。");
        } else if (eNotice == CNoticeRules::SettingsNotRead) {
            pszTitle = QT_TR_NOOP("设备无应答");
            pszText = QT_TR_NOOP("设备参数尚未读取，请稍候再试！");
        }
        BesMessageBox::notice(staticMetaObject.className(), pszTitle, pszText, {strDevice});
    }
}

bool CTcpDeviceThread::hasWritePending() const
{
    {
        QMutexLocker state(m_pMutexRecv);
        if (m_ledger.hasWriteInFlight())
            return true;
    }
    return hasWriteQueued();
}

bool CTcpDeviceThread::hasWriteQueued() const
{
    QMutexLocker queue(m_pMutexSend);
    for (const _mcu_cmd *pCmd : m_listMcuCmd)
        if (pCmd->nReadOrWrite != 1)
            return true;
    return false;
}

void CTcpDeviceThread::writeAcknowledged(const _mcu_cmd &sent)
{
    // Taken: a later refusal is news again, and a doubt of its kind is settled.
    const QByteArray key = readBackKey(sent);
    const QByteArray taken = writeTarget(sent);
    m_notices.writeTaken(key, taken,
                         [this, &key, &taken](const QByteArray &target) {
                             // A rename's doubt compares the name alone, which a write of another
                             // target (a layer of the scene) leaves as it was.
                             if (target != taken && isRenameTarget(target))
                                 return QByteArray();
                             // No record prints empty, not the null that keeps a doubt's print.
                             const QByteArray print = recordPrint(key, target);
                             return print.isNull() ? QByteArray("") : print;
                         },
                         sent.nSeq);
    if (m_bReshowWhenSettled && !hasWritePending())
        scheduleShowLastRead();
}

// The read of each kind of write: the input's name (a reply that changes it tells the rows) or its
// EDID fields; the OSD switch by the state read, its settings by the read that carries them; a
// recall or delete by the counts, which say the live scene and how many scenes are left (the reads
// they queue read the scenes); a save or rename by the scene written; a Tarn layer by the live
// scene; on a Z device a layer or screen write by the live settings.
QByteArray CTcpDeviceThread::readBackKey(const _mcu_cmd &sent) const
{
    const QByteArray &p = sent.byte;
    const int nSub = sent.nSubIndex3;
    if (sent.nReadOrWrite == 1)
        return QByteArray();
    if (isZ() && ((sent.nCmdIndex == Tx_LEDWHSet && nSub == 0) || sent.nCmdIndex == Tx_SetLayer))
        return readKey(Tx_SetLayer, 0, QByteArray(1, '\0')); // the live settings
    switch (sent.nCmdIndex) {
    case Tx_SetLayer:
        return isTarn() ? readKey(Tx_SceneInfo, 0, QByteArray(1, char(m_pDeviceInfo->nTakeScene & 0xFF))) : QByteArray();
    case Tx_InputSet:
        return p.isEmpty() ? QByteArray() : readKey(Tx_InputSet, nSub == 3 ? 3 : 2, p.left(1));
    case Tx_SetSystem:
        return nSub == 10 ? readKey(Tx_SetSystem, 10, QByteArray()) : QByteArray();
    case Tx_Outletsetting:
        return (nSub == 10 || nSub == 20 || nSub == 21 || nSub == 22) && !p.isEmpty() ? readKey(Tx_Outletsetting, nSub, p.left(1))
                                                                                       : QByteArray();
    case Tx_LEDWHSet:
        return nSub == 0 ? readKey(Tx_LEDWHSet, 0, QByteArray(1, '\0')) : QByteArray();
    case Tx_OSDSet:
        if (nSub == 2)
            return readKey(Tx_OSDSet, 2, QByteArray());
        return nSub == 1 || (nSub >= 3 && nSub <= 8) ? readKey(Tx_OSDSet, 0, QByteArray()) : QByteArray();
    case Tx_SceneInfo:
        if ((nSub == 50 || nSub == 51) && !p.isEmpty())
            return readKey(Tx_SceneInfo, nSub, p.left(1));
        if (nSub == 20 || nSub == 30)
            return readKey(Tx_GetSourceNum, 0, QByteArray(1, 1));
        if ((nSub == 10 && p.size() >= 2) || (nSub == 40 && !p.isEmpty()))
            return readKey(Tx_SceneInfo, 0, QByteArray(1, p.at(nSub == 10 ? 1 : 0)));
        return QByteArray();
    default:
        return QByteArray();
    }
}

QByteArray CTcpDeviceThread::writeTarget(const _mcu_cmd &sent)
{
    // Command and sub-command name the field; the first payload byte the port, layer, scene or
    // input it is written to, except where the value itself begins there.
    QByteArray target;
    target.append(char(sent.nCmdIndex)).append(char(sent.nSubIndex3));
    if (sent.nCmdIndex != Tx_SetSystem && sent.nCmdIndex != Tx_LEDWHSet)
        target.append(sent.byte.left(1));
    return target;
}

bool CTcpDeviceThread::isRenameTarget(const QByteArray &target)
{
    return target.size() >= 2 && uchar(target.at(0)) == Tx_SceneInfo && uchar(target.at(1)) == 40;
}

QByteArray CTcpDeviceThread::recordPrint(const QByteArray &key, const QByteArray &target) const
{
    QByteArray print;
    if (key.size() < 2)
        return print;
    QDataStream s(&print, QIODevice::WriteOnly);
    const int nCmd = uchar(key.at(0));
    const int nSub = uchar(key.at(1));
    const int nArg = key.size() > 2 ? uchar(key.at(2)) : -1;
    switch (nCmd) {
    case Tx_SetSystem:
        s << m_bNameRead << m_strDeviceName;
        break;
    case Tx_Outletsetting: {
        const COutputPortRecord r = m_outputs.ports.value(nArg);
        s << r.bResolution << r.nStandard << r.nWidth << r.nHeight << r.nHz << r.bTiming << r.bDelay << r.nDelay << r.bNoise << r.nNoise;
        for (int v : r.anTiming)
            s << v;
        break;
    }
    case Tx_SceneInfo:
        if (nSub == 50 || nSub == 51) {
            const CSceneAudioRecord *pAudio = sceneAudioRecord(nArg);
            s << (pAudio ? pAudio->nSource : -2) << (pAudio ? pAudio->nVolume : -2);
        } else if (isRenameTarget(target)) {
            // A rename sets the name alone: the layers, which the operator may change meanwhile,
            // count neither for it nor against it.
            if (isTarn()) {
                if (const CTarnSceneRecord *pScene = findTarnScene(nArg))
                    s << pScene->strName;
            } else if (const ZSceneInfo *z = findZScene(nArg)) {
                s << z->strName;
            }
        } else if (isTarn()) {
            if (const CTarnSceneRecord *pScene = findTarnScene(nArg)) {
                s << pScene->strName << pScene->nLayerUse;
                for (const CTarnLayerRecord &l : pScene->vectorLayer)
                    s << l.nIndex << l.nState << l.nLevel << l.nMainSig << l.nBackupSig << l.nTrans << l.nX << l.nY << l.nWidth
                      << l.nHeight << l.nCut << l.nCutX << l.nCutY << l.nCutWidth << l.nCutHeight;
            }
        } else if (const ZSceneInfo *z = findZScene(nArg)) {
            s << z->strName << z->nMainSig << z->nBackup << z->nXinput << z->nYinput << z->ninputWidth << z->ninputHeight
              << z->nScaleMode << z->nsilent << z->nsound << z->nbrightness;
        }
        break;
    case Tx_GetSourceNum:
        s << m_pDeviceInfo->nTakeScene << (isTarn() ? m_listScene.size() : m_listZScene.size());
        break;
    case Tx_SetLayer: {
        const SystemInfo &i = *m_pSystemInfo;
        s << m_bSystemRead;
        // A Z live settings write sets its own fields alone (applyZSettingsWrite): a recall meanwhile
        // changes the rest.
        const int nWrite = target.size() < 2 || !isZ() ? -1 : uchar(target.at(0));
        switch (nWrite == Tx_LEDWHSet ? 0 : nWrite == Tx_SetLayer ? uchar(target.at(1)) : -1) {
        case 0: s << i.nLayerWidth << i.nLayerHeight; break;
        case 10: s << i.nXDeflection << i.nYDeflection << i.nLayerWidth << i.nLayerHeight; break;
        case 20: s << i.nXinput << i.nYinput << i.ninputWidth << i.ninputHeight; break;
        case 42: s << i.nXoutput << i.nYoutput << i.noutputWidth << i.noutputHeight; break;
        case 3: s << i.nMainSignumber; break;
        case 43: s << i.nScaleMode; break;
        case 44: s << i.nsilent; break;
        case 45: s << i.nsound; break;
        case 46: s << i.nbrightness; break;
        default:
            s << i.nMainSignumber << i.nXDeflection << i.nYDeflection << i.nLayerWidth << i.nLayerHeight << i.nXinput
              << i.nYinput << i.ninputWidth << i.ninputHeight << i.nScaleMode << i.nXoutput << i.nYoutput << i.noutputWidth
              << i.noutputHeight << i.nsilent << i.nsound << i.nbrightness;
            break;
        }
        break;
    }
    case Tx_LEDWHSet:
        s << m_pDeviceInfo->nScreenWidth << m_pDeviceInfo->nScreenHeight;
        break;
    case Tx_OSDSet:
        s << m_bOsdKnown << m_bOsdOn << m_osdSettings;
        break;
    case Tx_InputSet:
        // The input the read names, and of it what the read answers (its name, or its EDID).
        if (const InputSource *pInput = m_pDeviceInfo->findInput(nArg)) {
            if (nSub == 2)
                s << pInput->strName;
            else
                s << pInput->nEdidWidth << pInput->nEdidHeight << pInput->nEdidHZ << pInput->nResouType;
        }
        break;
    default:
        break;
    }
    return print;
}

QByteArray CTcpDeviceThread::printIfTaken(const _mcu_cmd &sent, const QByteArray &key)
{
    // The value is put into the records as if taken, printed, and the records restored: nothing
    // is told meanwhile.
    const QByteArray &p = sent.byte;
    bool bApplied = false;
    QByteArray after;
    const auto printApplied = [&](auto &record, const std::function<bool()> &fnApply) {
        const auto saved = record;
        bApplied = fnApply();
        if (bApplied)
            after = recordPrint(key, writeTarget(sent));
        record = saved;
    };
    if (sent.nCmdIndex == Tx_SetSystem && sent.nSubIndex3 == 10 && p.size() >= 12) {
        const bool bNameRead = m_bNameRead;
        printApplied(m_strDeviceName, [&] {
            m_bNameRead = true;
            m_strDeviceName = g_fromGbkField(p.left(12));
            return true;
        });
        m_bNameRead = bNameRead;
    } else if (isTarn() && sent.nCmdIndex == Tx_LEDWHSet && sent.nSubIndex3 == 0 && p.size() >= 4) {
        printApplied(*m_pDeviceInfo, [&] {
            m_pDeviceInfo->nScreenWidth = be16(p, 0);
            m_pDeviceInfo->nScreenHeight = be16(p, 2);
            return true;
        });
    } else if (sent.nCmdIndex == Tx_Outletsetting) {
        printApplied(m_outputs, [&] { return takeOutputSetting(sent.nSubIndex3, p); });
    } else if (sent.nCmdIndex == Tx_SceneInfo && (sent.nSubIndex3 == 50 || sent.nSubIndex3 == 51)) {
        printApplied(m_sceneAudio, [&] { return takeSceneAudio(sent.nSubIndex3, p); });
    } else if (isZ() && m_bSystemRead && (sent.nCmdIndex == Tx_LEDWHSet || sent.nCmdIndex == Tx_SetLayer)) {
        printApplied(*m_pSystemInfo, [&] { return applyZSettingsWrite(sent, *m_pSystemInfo); });
    } else if (sent.nCmdIndex == Tx_SceneInfo && sent.nSubIndex3 == 40 && p.size() >= 13) {
        const int nId = uchar(p.at(0));
        QString *pName = nullptr;
        if (isTarn()) {
            if (CTarnSceneRecord *pScene = findTarnScene(nId))
                pName = &pScene->strName;
        } else if (ZSceneInfo *pScene = findZScene(nId)) {
            pName = &pScene->strName;
        }
        if (pName)
            printApplied(*pName, [&] {
                *pName = g_fromGbkField(p.mid(1, 12));
                return true;
            });
    }
    return after;
}

bool CTcpDeviceThread::takesWrittenValueAlone(const _mcu_cmd &sent) const
{
    return (sent.nCmdIndex == Tx_SetSystem && sent.nSubIndex3 == 10)
           || (isTarn() && sent.nCmdIndex == Tx_LEDWHSet && sent.nSubIndex3 == 0)
           || (sent.nCmdIndex == Tx_SceneInfo && sent.nSubIndex3 == 40);
}

bool CTcpDeviceThread::recordsHoldWrite(const _mcu_cmd &sent, const QByteArray &printTaken, const QByteArray &print) const
{
    if (!printTaken.isEmpty())
        return printTaken == print;
    const QByteArray &p = sent.byte;
    if (sent.nCmdIndex == Tx_InputSet) {
        const InputSource *pInput = p.isEmpty() ? nullptr : m_pDeviceInfo->findInput(uchar(p.at(0)));
        return pInput && sent.nSubIndex3 == 2 && p.size() >= 14 && p.at(1) == 0 && g_fromGbkField(p.mid(2, 12)) == pInput->strName;
    }
    return false;
}

// A write the device did not answer, or that went with the link, may still have been taken: what
// it wrote is read back with the read readBackKey names, and the reply puts the records and every
// panel that shows them right. With the link down the read is kept for the next link, which asks
// it after its start-up reads (they read no output port, nor an input's name by its own read); a
// Tarn scene is read by them.
bool CTcpDeviceThread::readBackAfter(const _mcu_cmd &sent)
{
    forgetSceneAudioInDoubt(sent); // no read of ours puts the scenes' audio right
    const QByteArray key = readBackKey(sent);
    if (key.size() < 2)
        return false;
    const int nCmd = uchar(key.at(0));
    const int nSub = uchar(key.at(1));
    const QByteArray payload = key.mid(2);
    if (nCmd == Tx_SceneInfo && nSub == 0 && isTarn()) {
        // A Tarn scene is read whole, with its layers (its failures are the scene reads'); the
        // next link reads the scenes. A Z scene is read back as every other read.
        if (m_bLinkDown)
            return true;
        // A Tarn layer write is read back with the live scene only when the records know it.
        if (sent.nCmdIndex == Tx_SetLayer && !findTarnScene(m_pDeviceInfo->nTakeScene))
            return false;
        readScene(uchar(payload.at(0)));
        return true;
    }
    const bool bAsked = askReadBack(nCmd, payload, nSub);
    if (isZ() && sent.nCmdIndex == Tx_SceneInfo && sent.nSubIndex3 == 20)
        askReadBack(Tx_SetLayer, QByteArray(1, '\0'), 0); // the recalled scene's live settings
    return bAsked;
}

bool CTcpDeviceThread::askReadBack(int nCmd, const QByteArray &payload, int nSub)
{
    if (m_bLinkDown)
        return keepRead(m_listNextLinkReads, _mcu_cmd(nCmd, 1, nSub, payload), MaxWantedReads);
    const QByteArray key = readKey(nCmd, nSub, payload);
    if (m_hashOwnReads.value(key) >= MaxOwnReads) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("read-back asked often enough on this link:"), nCmd, nSub});
        return false;
    }
    CDeviceLog::write({QString("The device"), m_strIp, QString("read back:"), nCmd, nSub});
    bool bMerged = false;
    queueRead(nCmd, payload, nSub, true, &bMerged);
    int &nAsked = m_hashOwnReads[key]; // the read waiting is ours now
    if (!bMerged)
        ++nAsked;
    return true;
}

void CTcpDeviceThread::readFailed(const _mcu_cmd &read)
{
    // Only a read the console asked itself to learn what the device holds: a panel's read is the
    // panel's. One a doubt waits on stays the console's, whatever the operator wrote since.
    const QByteArray key = readKey(read.nCmdIndex, read.nSubIndex3, read.byte);
    const bool bStartup = m_setStartupReads.contains(key);
    const bool bDoubt = m_notices.hasDoubt(doubtKeyOfRead(read));
    if (!bStartup && !m_hashOwnReads.contains(key) && !bDoubt)
        return;
    // A start-up read gone with its link: the next link's start reads it again.
    if (bStartup && m_bLinkDown)
        return;
    if (askReadBack(read.nCmdIndex, read.byte, read.nSubIndex3))
        return;
    // Given up, a start-up read is over: the same read asked later (a recall's) is a read of ours.
    m_setStartupReads.remove(key);
    sayNotice(m_notices.readGivenUp(key, nowMs()));
    if (!bStartup && !bDoubt)
        liveSettingsReadGivenUp(key);
    // No heartbeat tells a serial device's silence: one that leaves its start unanswered has none.
    if (bStartup && m_bCanSerislPortConnected)
        callOnceLater(m_bSilentLinePending, &CTcpDeviceThread::closeSilentLine);
}

bool CTcpDeviceThread::askStartupRead(const QString &strName, const QByteArray &payload, int nSubIndex)
{
    if (m_bLinkDown || !g_isTexingName(strName))
        return setMcuCommand(strName, payload, 1, nSubIndex); // refused there, and said or logged
    const int nCmd = g_getTexingIndex(strName);
    m_setStartupReads.insert(readKey(nCmd, nSubIndex, payload));
    return askReadBack(nCmd, payload, nSubIndex);
}

bool CTcpDeviceThread::askOwnRead(const QString &strName, const QByteArray &payload, int nSubIndex)
{
    if (m_bLinkDown || !g_isTexingName(strName))
        return setMcuCommand(strName, payload, 1, nSubIndex); // refused there, and said or logged
    const int nCmd = g_getTexingIndex(strName);
    const QByteArray key = readKey(nCmd, nSubIndex, payload);
    // The operator asked for it now: no start-up read any more (given up, it is said), and asked
    // as often as a read of ours may be.
    m_setStartupReads.remove(key);
    m_setAskedReads.insert(key);
    m_hashOwnReads[key] = 0;
    return askReadBack(nCmd, payload, nSubIndex);
}

void CTcpDeviceThread::closeSilentLine()
{
    if (!m_bCanSerislPortConnected || !m_bIsConnected || !m_pSerislPort)
        return;
    CDeviceLog::write({QString("The device"), m_strSerial, QString("left a start-up read unanswered, the line is lost")});
    closeUnansweredLine();
}

// A serial device that answers nothing: said and closed as a failed line (the port can be
// connected again), the box saying the device is silent, not that the cable is loose. The port
// lives on this thread: it reports the line lost before it returns.
void CTcpDeviceThread::closeUnansweredLine()
{
    if (!m_pSerislPort)
        return;
    m_bClosingSilentLine = true;
    m_pSerislPort->closeLostLine(tr("设备无应答"));
    m_bClosingSilentLine = false;
}

QByteArray CTcpDeviceThread::doubtKeyOfRead(const _mcu_cmd &read) const
{
    // A scene is named by its id alone; a Tarn scene is read whole, its layers (80) with it.
    const bool bScene = read.nCmdIndex == Tx_SceneInfo && (read.nSubIndex3 == 0 || (isTarn() && read.nSubIndex3 == 80));
    return bScene ? readKey(Tx_SceneInfo, 0, read.byte.left(1)) : readKey(read.nCmdIndex, read.nSubIndex3, read.byte);
}

void CTcpDeviceThread::readAnswered(const _mcu_cmd &read, bool bCredited, qint64 nAnswersSeq)
{
    // A Tarn scene is read whole with its layers: its scene read answers for it once no layer read
    // follows.
    if (isTarnSceneRead(read) && (read.byte.isEmpty() || layerReadFollows(read)))
        return;
    const QByteArray key = doubtKeyOfRead(read);
    if (bCredited) {
        // A start-up read answered: the same read asked later is a read of ours like any other.
        const QByteArray asked = readKey(read.nCmdIndex, read.nSubIndex3, read.byte);
        m_setStartupReads.remove(asked);
        m_setAskedReads.remove(asked);
        if (m_hashReadAnsweredSeq.size() > 4 * MaxWantedReads)
            m_hashReadAnsweredSeq.clear(); // a bound: what it keeps only spares a read-back
        qint64 &nLatest = m_hashReadAnsweredSeq[key];
        nLatest = std::max(nLatest, read.nSeq);
    }
    if (m_notices.hasDoubt(key))
        sayNotice(m_notices.readAnswered(key, [this, &key](const QByteArray &target) { return recordPrint(key, target); },
                                         nAnswersSeq, nowMs()));
}

void CTcpDeviceThread::readRefused(const _mcu_cmd &read, bool bCredited)
{
    const QByteArray key = doubtKeyOfRead(read);
    if (bCredited && read.nCmdIndex == Tx_SceneInfo && uchar(key.at(1)) == 0) {
        // The device has no such scene: a save to it, or a rename of it, was not made.
        sayNotice(m_notices.sceneNotHeld(key));
        return;
    }
    // Any other refusal tells nothing of what the device holds: a read of ours, or one a doubt
    // waits for, is asked again within its bound, and given up, said for what it is.
    const QByteArray asked = readKey(read.nCmdIndex, read.nSubIndex3, read.byte);
    const bool bDoubt = m_notices.hasDoubt(key);
    if (!bDoubt && !m_hashOwnReads.contains(asked))
        return;
    if (askReadBack(read.nCmdIndex, key.mid(2), uchar(key.at(1))))
        return;
    sayNotice(m_notices.readGivenUp(key, nowMs()));
    // Refused at every ask, it is given up as one left unanswered is.
    if (!bDoubt && !m_setStartupReads.contains(asked))
        liveSettingsReadGivenUp(asked);
}

void CTcpDeviceThread::liveSettingsReadGivenUp(const QByteArray &key)
{
    // The Z live settings read after a recall, or a frame's binding, given up with no doubt to say
    // it: the records, and the settings page, hold the scene's values as stored (or nothing),
    // not what the device reported.
    if (isZ() && key == readKey(Tx_SetLayer, 0, QByteArray(1, '\0')))
        sayNotice(m_setAskedReads.remove(key) ? m_notices.askedReadGivenUp() : m_notices.ownReadGivenUp(nowMs()));
}

void CTcpDeviceThread::scenesBeyondCountAnswered()
{
    // The device holds no such scene: a save to it, or a rename of it, was not made. The doubt
    // would wait for a scene read that neither the start-up reads nor the strip ever send.
    for (int nId = m_pDeviceInfo->nSceneNum + 1; nId <= 0xFF; ++nId) {
        const QByteArray key = readKey(Tx_SceneInfo, 0, QByteArray(1, char(nId)));
        if (m_notices.hasDoubt(key))
            sayNotice(m_notices.sceneNotHeld(key));
    }
}

void CTcpDeviceThread::askNextLinkReads()
{
    const QList<_mcu_cmd> listReads = m_listNextLinkReads;
    m_listNextLinkReads.clear();
    for (const _mcu_cmd &read : listReads)
        askReadBack(read.nCmdIndex, read.byte, read.nSubIndex3);
}

void CTcpDeviceThread::ownReadsLinkStart()
{
    m_hashOwnReads.clear();
    m_setStartupReads.clear();
    m_setAskedReads.clear();
    m_hashReadAnsweredSeq.clear();
    m_hashSceneReadFailures.clear();
    m_nSceneDeleteSeq = -1;
    m_nSentByLastAnswerSeq = -1;
    m_nLastAnsweredSeq = -1;
}

void CTcpDeviceThread::operatorWrote(int nCmd, int nSub, const QByteArray &payload)
{
    // The reads back of what it writes may be asked again as often as before (a recall or delete is
    // read back by the counts); a read of ours stays ours (failed, it is asked again).
    const bool bCounts = nCmd == Tx_SceneInfo && (nSub == 20 || nSub == 30);
    // A Z device's recall and screen write change its live settings.
    const bool bZSettings = isZ() && (nCmd == Tx_LEDWHSet || (nCmd == Tx_SceneInfo && nSub == 20));
    for (auto it = m_hashOwnReads.begin(); it != m_hashOwnReads.end(); ++it) {
        const int nRead = uchar(it.key().at(0));
        if (nRead == nCmd || (bCounts && nRead == Tx_GetSourceNum) || (bZSettings && nRead == Tx_SetLayer)) {
            it.value() = 0;
            m_setAskedReads.remove(it.key()); // it reads what the write left now
        }
    }
    // The scene it acts on may be read again as often as before.
    if (nCmd == Tx_SetLayer && isTarn()) {
        m_hashSceneReadFailures.remove(m_pDeviceInfo->nTakeScene);
    } else if (nCmd == Tx_SceneInfo && !payload.isEmpty()) {
        if (nSub == 30)
            m_hashSceneReadFailures.clear();
        else if (nSub == 10 && payload.size() >= 2)
            m_hashSceneReadFailures.remove(uchar(payload.at(1)));
        else
            m_hashSceneReadFailures.remove(uchar(payload.at(0)));
    }
}

// Nothing came from the device for three heartbeat periods, and what was written to it went
// unanswered (a frozen device, a cable pulled without a reset, nothing at the far end of a serial
// line; a serial device is asked once more first): the link is lost, as when the socket drops or
// the line fails. A console too busy to write its frames gives the device no blame.
void CTcpDeviceThread::slot_linkSilent()
{
    if (!m_bIsConnected)
        return;
    const qint64 nLeft = silenceLeftMs();
    if (nLeft > 0) {
        m_bSilenceConfirming = false;
        m_pSilenceTimer->start(int(nLeft));
        return;
    }
    if (m_bCanSerislPortConnected) {
        const qint64 nAskLeft = silenceAskLeftMs();
        if (nAskLeft > 0) {
            m_bSilenceConfirming = false;
            m_pSilenceTimer->start(int(std::min<qint64>(nAskLeft, INT_MAX)));
            return;
        }
    }
    if (!m_bSilenceConfirming) {
        // This thread may have been too busy to take in what came: that goes first.
        m_bSilenceConfirming = true;
        if (m_bCanSerislPortConnected && m_pSerislPort)
            m_pSerislPort->takeInPending();
        m_pSilenceTimer->start(SilenceConfirmMs);
        return;
    }
    m_bSilenceConfirming = false;
    CDeviceLog::write({QString("The device"), m_strIp, QString("sent nothing for"), silenceMs(),
                       QString("ms, the link is lost")});
    if (m_bCanSerislPortConnected) {
        closeUnansweredLine();
        return;
    }
    handleError(tr("设备无应答"));
    m_pTcpSocket->getTcpSocket()->abort();
}

// How long the device still has before its silence loses the link, asked when the silence timer
// runs out: it runs three heartbeat periods from the last bytes that came (and only ever longer),
// so what is left is the two periods since the first frame written after them. With nothing
// written since, the device owes no answer: a full period is waited again.
qint64 CTcpDeviceThread::silenceLeftMs() const
{
    const qint64 nSilence = silenceMs();
    if (!m_firstUnheardWrite.isValid())
        return nSilence;
    return nSilence * 2 / 3 - m_firstUnheardWrite.elapsed();
}

// A serial device silent for the period may only have missed one answer (noise on the line, busy
// for a moment): it is asked once more before its line is lost. The first frame written from then
// on (what is queued, else the input-state read) is given the reply time-out; 0 or less: asked,
// and that went unanswered too. Any bytes from the device end the ask (handleReceivedData).
qint64 CTcpDeviceThread::silenceAskLeftMs()
{
    if (!m_bSilenceAsked) {
        m_bSilenceAsked = true;
        m_silenceAskWritten.invalidate();
        CDeviceLog::write({QString("The device"), m_strIp, QString("sent nothing for"), silenceMs(),
                           QString("ms, asked once more")});
        if (queuedCommandCount() == 0)
            setInputSrcCmd(false); // a new frame, even with the lost one still counting
        return m_nReplyTimeoutMs;
    }
    if (!m_silenceAskWritten.isValid()) // waits behind what is in flight, which runs out in turn
        return queuedCommandCount() > 0 || hasCommandInFlight() ? m_nReplyTimeoutMs.load() : 0;
    return m_nReplyTimeoutMs - m_silenceAskWritten.elapsed();
}

void CTcpDeviceThread::slot_frameWritten()
{
    if (!m_firstUnheardWrite.isValid())
        m_firstUnheardWrite.start();
    if (!m_bCanSerislPortConnected)
        return;
    if (m_bSilenceAsked && !m_silenceAskWritten.isValid())
        m_silenceAskWritten.start();
    {
        QMutexLocker lock(m_pMutexRecv);
        m_ledger.written(nowMs());
    }
    armReplyTimer();
}

void CTcpDeviceThread::armReplyTimer()
{
    if (!m_bCanSerislPortConnected)
        return;
    qint64 nLeft;
    {
        QMutexLocker lock(m_pMutexRecv);
        nLeft = m_ledger.msToTimeOut(nowMs(), m_nReplyTimeoutMs);
    }
    if (nLeft < 0)
        m_pReplyTimer->stop();
    else
        m_pReplyTimer->start(int(std::min<qint64>(nLeft, INT_MAX)));
}

// Over a serial line the oldest command, waited for the reply time-out since the device could
// start on it (written, and the one before it answered or ended), ends unanswered.
// What the line holds already was answered in time: it is taken in first.
void CTcpDeviceThread::slot_replyTimeOut()
{
    if (!m_bCanSerislPortConnected)
        return;
    if (m_bDraining) {
        // A handler runs a nested event loop: the frames it left waiting are handled first.
        m_pReplyTimer->start(ReplyTakeInMs);
        return;
    }
    if (m_pSerislPort)
        m_pSerislPort->takeInPending();
    CCommandLedger::Outcome out;
    {
        QMutexLocker lock(m_pMutexRecv);
        out = m_ledger.timedOut(nowMs(), m_nReplyTimeoutMs);
        m_bEndingCommands = true;
    }
    if (!out.listUnanswered.isEmpty())
        CDeviceLog::write({QString("The device"), m_strIp, QString("no reply to command"), out.listUnanswered.last().nCmdIndex,
                           QString("within"), m_nReplyTimeoutMs.load(), QString("ms")});
    endCommands(out);
    endingCommandsDone();
    dropHeldSceneCommandsUnlessAsked();
}

void CTcpDeviceThread::handleSerislDisConnected()
{
    m_bIsConnected = false;
    linkDown("the serial port did not open");
}

// The serial line failed (pulled, or its far end gone); the port closes right after
// (CloseSerialPort), which ends the link as a lost TCP link does.
void CTcpDeviceThread::handleSerialLineLost(QString message)
{
    emit error(message);
    CDeviceLog::write({QString("The device"), m_strSerial, QString("serial line lost:"), message});
    if (m_bLinkLossShown)
        return;
    m_bLinkLossShown = true;
    const bool bSilent = m_bClosingSilentLine;
    QTimer::singleShot(0, this, [this, bSilent]() { showSerialLossBox(bSilent); });
}

// A good frame from the device. The first one on a link regains the contact lost before: its
// next loss is news again, and the box of the last one closes.
void CTcpDeviceThread::deviceHeard()
{
    m_notices.deviceHeard(nowMs());
    if (m_bDeviceHeard)
        return;
    m_bDeviceHeard = true;
    m_bLinkLossShown = false;
    emit sig_deviceHeard();
}

void CTcpDeviceThread::showSerialLossBox(bool bSilent)
{
    if (isConnected())
        return; // connected again before the box could open
    const bool bEnglish = g_strLanguage == QLatin1String("English");
    QString strText;
    if (bSilent)
        strText = tr("设备无应答，请检查设备后重新连接\n%1");
    else
        strText = bEnglish ? QString("The serial cable is loose, please plug it in again!\n%1")
                           : QString::fromUtf8("串口线松动，请重新插拔！\n%1");
    BesMessageBox::tipInforUntil(bEnglish ? QString("Serial connection error") : QString::fromUtf8("串口连接出错"),
                                 BesMessageBox::composeMessage(strText, {m_strSerial}), this, SIGNAL(connected()));
}

void CTcpDeviceThread::handleError(QString message)
{
    emit error(message);
    CDeviceLog::write({QString("The device"), m_strIp, QString("thread error message"), message});
    // A refused or failed attempt leaves the device without a link until the next attempt; what
    // was queued for it since the switch-on (its name read) waits for that attempt.
    if (!m_bIsConnected)
        m_bLinkDown = true;
    // One box per loss: a device that goes on refusing is dialled again on each of its
    // announcements, and each refusal would otherwise open a box of its own; one that accepts
    // the connection but answers nothing loses each link it is given.
    if (m_bLinkLossShown)
        return;
    m_bLinkLossShown = true;
    // The box runs an event loop of its own until the operator closes it. Opened here, inside the
    // socket's error signal, it would hold the socket half closed: the loss not handled yet (row
    // still online, nothing to reconnect) and the socket's notifiers firing on a closed handle.
    // The socket finishes reporting first (disconnected() marks the link lost), then the box opens.
    QTimer::singleShot(0, this, &CTcpDeviceThread::showLinkErrorBox);
}

void CTcpDeviceThread::showLinkErrorBox()
{
    // The device was heard again before the box could open (it waited behind another box):
    // nothing to say. A link it has not answered on is no contact regained.
    if (isConnected() && m_bDeviceHeard)
        return;
    // The box names the device, so that with several devices switched on the operator knows which
    // one was lost.
    const QString strDevice = noticeName();
    if (g_strLanguage == QLatin1String("English"))
        BesMessageBox::tipInforUntil("Network connection error",
                                     BesMessageBox::composeMessage("Network communication is down, please reconnect\n%1", {strDevice}),
                                     this, SIGNAL(sig_deviceHeard()));
    else
        BesMessageBox::tipInforUntil(QString::fromUtf8("网络连接出错"),
                                     BesMessageBox::composeMessage(QString::fromUtf8("网络通讯断开，请重新连接\n%1"), {strDevice}),
                                     this, SIGNAL(sig_deviceHeard()));
}

// ------------------------------------------------------------------ hub topics

// Each family's editor frame edits one device: a worker acts when it is the
// device edited in its family's frame (or when no device was named).
bool CTcpDeviceThread::actsOnSharedTopics() const
{
    const QString strEdited = editedDeviceSerial(deviceType());
    return strEdited.isEmpty() || strEdited == m_strSerial;
}

bool CTcpDeviceThread::drivesTarnCanvas() const
{
    return isTarn() && actsOnSharedTopics();
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

// The source the operator pressed: the records take it when the device acknowledges its write
// (and the source strip then shows it), not before.
void CTcpDeviceThread::slot_GetZMainSig(int nMainSig)
{
    if (actsOnSharedTopics())
        CDeviceLog::write({QString("The device"), m_strIp, QString("main source asked:"), nMainSig});
}

void CTcpDeviceThread::slot_refreshinputName(QString strSerial)
{
    if (strSerial == m_strSerial)
        m_bGetEquipmentMessages = true;
}

void CTcpDeviceThread::slot_GetZSencedate(QString strSerial)
{
    if (strSerial == m_strSerial)
        m_bGetZSencedate = true;
}

void CTcpDeviceThread::slot_GetZMainSig(int nMainSig, QString strSerial)
{
    if (strSerial == m_strSerial)
        slot_GetZMainSig(nMainSig);
}

void CTcpDeviceThread::setEditedDeviceSerial(const QString &strSerial, const QString &strFamily)
{
    if (strFamily.isEmpty()) {
        s_strEditedSerial = strSerial;
        s_editedSerialByFamily.clear();
    } else {
        s_editedSerialByFamily.insert(strFamily, strSerial);
    }
}

QString CTcpDeviceThread::editedDeviceSerial(const QString &strFamily)
{
    return s_editedSerialByFamily.value(strFamily, s_strEditedSerial);
}

void CTcpDeviceThread::setHeartbeatInterval(int nMs)
{
    m_nHeartbeatMs = std::max(1, nMs);
    if (m_pSilenceTimer->isActive() && !m_bSilenceConfirming && QThread::currentThread() == thread())
        m_pSilenceTimer->start(silenceMs());
    wakeWorker();
}

// Three heartbeat periods; never less than 1.5 s, whatever heartbeat a test or tool sets.
int CTcpDeviceThread::silenceMs() const
{
    return std::max(3 * m_nHeartbeatMs.load(), 1500);
}

void CTcpDeviceThread::setReplyTimeout(int nMs)
{
    m_nReplyTimeoutMs = std::max(1, nMs);
    if (QThread::currentThread() == thread())
        armReplyTimer();
    wakeWorker();
}

void CTcpDeviceThread::setConnectTimeout(int nMs)
{
    m_pTcpSocket->setConnectTimeout(nMs);
}

// ------------------------------------------------------------------ queue

bool CTcpDeviceThread::setMcuCommand(const QString &strName, const QByteArray &payload, int nReadOrWrite, int nSubIndex)
{
    // A read already queued or in flight (with no write of its command behind it) is not queued
    // again, whoever asks. A write is the operator's (the reads back of what it changes may be
    // asked again).
    return enqueue(strName, payload, nReadOrWrite, nSubIndex, nReadOrWrite == 1);
}

bool CTcpDeviceThread::queueRead(int nCmd, const QByteArray &payload, int nSubIndex, bool bMerge, bool *pMerged)
{
    return enqueue(g_texing_name[nCmd], payload, 1, nSubIndex, bMerge, pMerged);
}

bool CTcpDeviceThread::enqueue(const QString &strName, const QByteArray &payload, int nReadOrWrite, int nSubIndex, bool bOnce,
                               bool *pMerged)
{
    if (!g_isTexingName(strName)) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("unknown command name, not sent:"), strName});
        return false;
    }
    const int nCmd = g_getTexingIndex(strName);
    if (nReadOrWrite != 1)
        operatorWrote(nCmd, nSubIndex, payload);
    if (payload.size() > CDeviceFrame::MaxRequestPayload) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("command payload too long, not sent:"), strName, payload.size()});
        return false;
    }
    if (m_bLinkDown && !m_bKeepForNextLink) {
        commandNotTaken(_mcu_cmd(nCmd, nReadOrWrite, nSubIndex, payload), NotSent);
        return false;
    }
    // State lock before the queue lock: asked first.
    const bool bInFlight = bOnce && nReadOrWrite == 1 && readInFlight(nCmd, nSubIndex, payload);
    {
        QMutexLocker lock(m_pMutexSend);
        if (bOnce) {
            // The same read waiting (in flight or queued) with no write of its command (or, for a
            // scene read, no layer write) behind it answers for this one too; one with such a write
            // behind it would answer before that write was taken.
            bool bMerged = bInFlight;
            for (const _mcu_cmd *pQueued : qAsConst(m_listMcuCmd))
                bMerged = readStillWaiting(bMerged, *pQueued, nCmd, nSubIndex, payload);
            if (pMerged)
                *pMerged = bMerged;
            if (bMerged)
                return true;
        }
        if (m_listMcuCmd.size() >= MaxQueuedCommands) {
            lock.unlock();
            const _mcu_cmd refused(nCmd, nReadOrWrite, nSubIndex, payload);
            if (nReadOrWrite == 1)
                keepRead(m_listWantedReads, refused, MaxWantedReads);
            commandNotTaken(refused, QueueFull);
            return false;
        }
        _mcu_cmd *pCmd = new _mcu_cmd(nCmd, nReadOrWrite, nSubIndex, payload);
        pCmd->bKeep = m_bLinkDown && m_bKeepForNextLink;
        m_listMcuCmd.append(pCmd);
    }
    wakeWorker();
    if (namesScene(_mcu_cmd(nCmd, nReadOrWrite, nSubIndex, payload)))
        askDeleteFate(nReadOrWrite != 1);
    return true;
}

void CTcpDeviceThread::askWantedReads()
{
    if (m_listWantedReads.isEmpty() || m_bLinkDown || queuedCommandCount() > MaxQueuedCommands / 2)
        return;
    const QList<_mcu_cmd> listWanted = m_listWantedReads;
    m_listWantedReads.clear();
    for (const _mcu_cmd &w : listWanted)
        enqueue(g_texing_name[w.nCmdIndex], w.byte, 1, w.nSubIndex3, true);
}

void CTcpDeviceThread::injectSentCommand(const QString &strName, const QByteArray &payload, int nReadOrWrite, int nSubIndex)
{
    if (!g_isTexingName(strName))
        return;
    {
        QMutexLocker state(m_pMutexRecv);
        _mcu_cmd sent(g_getTexingIndex(strName), nReadOrWrite, nSubIndex, payload);
        // Over a serial line written when injectFrameWritten() says so.
        m_ledger.sent(sent, nowMs(), !m_bCanSerislPortConnected);
        sendMcuCommand(sent.nCmdIndex, payload.size(), payload, nReadOrWrite, nSubIndex);
    }
    armReplyTimer();
}

void CTcpDeviceThread::injectFrameWritten()
{
    slot_frameWritten();
}

void CTcpDeviceThread::injectLinkUp()
{
    if (m_bCanSerislPortConnected)
        serialLineOpened();
    else
        handleConnected();
}

void CTcpDeviceThread::injectHeartbeatSent()
{
    sendHeartbeat();
}

void CTcpDeviceThread::injectClockStep(int nMs)
{
    m_nClockStepMs += std::max(0, nMs);
    slot_replyTimeOut();
}

void CTcpDeviceThread::injectClockHeld(bool bHeld)
{
    m_nClockHeldMs = bHeld ? m_clock.elapsed() + m_nClockStepMs : -1;
}

void CTcpDeviceThread::injectSerialLine(bool bSerial)
{
    m_bCanSerislPortConnected = bSerial;
}

bool CTcpDeviceThread::takeOpenCountRead()
{
    QMutexLocker lock(m_pMutexRecv);
    if (m_nOpenCountReads <= 0)
        return false;
    --m_nOpenCountReads;
    return true;
}

void CTcpDeviceThread::setInputSrcCmd(bool bMerge)
{
    QByteArray payload(2, '\0');
    payload[1] = char((m_pDeviceInfo->nSrcNum - 1) & 0xFF);
    queueRead(Tx_GetInput, payload, 1, bMerge);
}

void CTcpDeviceThread::setScreenSizeCmd()
{
    queueRead(Tx_LEDWHSet, QByteArray(1, '\0'), 0);
}

int CTcpDeviceThread::queuedCommandCount() const
{
    QMutexLocker lock(m_pMutexSend);
    return m_listMcuCmd.size();
}

bool CTcpDeviceThread::hasCommandInFlight() const
{
    // A heartbeat alone is not a command; its answer ends a command that lost its own. Commands
    // of one id follow each other without waiting: the gate being open says nothing of them.
    QMutexLocker lock(m_pMutexRecv);
    return m_ledger.hasInFlight();
}

bool CTcpDeviceThread::readInFlight(int nCmd, int nSub, const QByteArray &payload) const
{
    QMutexLocker lock(m_pMutexRecv);
    bool bFound = false;
    for (const _mcu_cmd &cmd : m_ledger.inFlight())
        bFound = readStillWaiting(bFound, cmd, nCmd, nSub, payload);
    return bFound;
}

bool CTcpDeviceThread::queueHeld() const
{
    QMutexLocker lock(m_pMutexRecv);
    return m_nSendIndex != m_nRecvIndex || m_ledger.inFlightCount() >= MaxInFlight;
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
    m_ledger.heartbeatSent();
    // A command awaiting its reply keeps the gate shut until a reply comes: the heartbeat's id
    // meeting that of the last reply (a heartbeat's) must not open it.
    if (m_nSendIndex != m_nRecvIndex)
        m_nRecvIndex = Tx_none;
    sendMcuCommand(Tx_Heart, 0, QByteArray(), 1, 0);
}

// Returns 0 to be called again at once, a positive number of milliseconds after which a hold
// lapses by itself, or -1 to wait for the next event.
int CTcpDeviceThread::sendCmdList(bool bSerial)
{
    QMutexLocker state(m_pMutexRecv);
    const int nTimeout = m_nReplyTimeoutMs;
    {
        QMutexLocker queue(m_pMutexSend);
        if (m_listMcuCmd.isEmpty())
            return -1;
    }
    if (m_bEndingCommands)
        return -1; // woken once they are ended
    if (m_nSendIndex != m_nRecvIndex) {
        // Over TCP the heartbeat's reply releases a lost command. A serial line has no heartbeat:
        // there the gate opens once what was in flight ended, at the latest at its reply time-out
        // (counted on the GUI thread from when the device could start on it, which wakes this loop).
        if (!bSerial || m_ledger.hasInFlight())
            return -1;
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
    // At the bound the queue waits for replies (or, over a serial line, their time-out): a
    // command in flight may still be answered.
    if (m_ledger.inFlightCount() >= MaxInFlight)
        return -1;
    _mcu_cmd *pCmd = nullptr;
    {
        // Stopping (the link went): what is queued now waits for the next link. Tested under the
        // queue lock, so a command queued after the stop is never taken by this loop.
        QMutexLocker queue(m_pMutexSend);
        if (m_listMcuCmd.isEmpty() || m_bStop)
            return -1;
        // A scene named by number waits while a delete is in flight: the device numbers the
        // scenes behind the deleted one anew, and the delete's answer renumbers what waits.
        int nNext = 0;
        if (namesScene(*m_listMcuCmd.first())) {
            if (std::any_of(m_ledger.inFlight().cbegin(), m_ledger.inFlight().cend(), isSceneDelete))
                return -1;
            // So does one behind a delete left unanswered, until its fate is known; a count read
            // waiting behind it, whose answer tells that fate, goes first.
            if (m_nDeleteInDoubtSeq > 0) {
                const auto it = std::find_if(m_listMcuCmd.cbegin() + 1, m_listMcuCmd.cend(),
                                             [](const _mcu_cmd *pQueued) { return isCountRead(*pQueued); });
                if (it == m_listMcuCmd.cend())
                    return -1;
                nNext = int(it - m_listMcuCmd.cbegin());
            }
        }
        pCmd = m_listMcuCmd.takeAt(nNext);
    }
    m_nSubIndex3 = pCmd->nSubIndex3;
    m_ledger.sent(*pCmd, nowMs(), !bSerial); // over a serial line, written when the port says so
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
    } else if (nCmd == Tx_SceneInfo && nSub == 80) {
        m_nSendExtraVal = (byteAt(0) + 80) % 256;
    } else if (nCmd == Tx_GetSourceNum && nReadOrWrite == 1) {
        ++m_nOpenCountReads;
    }
    m_sentTimer.start();
    emit writeData(frame);
}

// ------------------------------------------------------------------ replies (GUI thread)

void CTcpDeviceThread::handleReceivedData(QByteArray data)
{
    m_firstUnheardWrite.invalidate();
    m_bSilenceAsked = false;
    if (m_pSilenceTimer->isActive()) {
        m_bSilenceConfirming = false;
        m_pSilenceTimer->start(silenceMs()); // any reply counts
    }
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
    dropHeldSceneCommandsUnlessAsked();
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
    deviceHeard();
    const CReplyFrame f = CReplyFrame::fromFrame(data);
    CDeviceLog::write({f.nCmd});
    if (f.nCmd < 0 || f.nCmd >= TX_COMMAND_COUNT) {
        // No command of ours has this id: the reply answers nothing and ends nothing.
        CDeviceLog::write({QString("The device"), m_strIp, QString("reply to an unknown command ignored:"), f.nCmd, f.nSub});
        return;
    }
    CCommandLedger::Outcome out;
    qint64 nLastSent = -1; // the last command that left before the reply came
    {
        // One hold of the state lock with the ledger's decision: the time-out sweep (on this
        // thread too) ends nothing the reply is answering, and nothing leaves meanwhile.
        QMutexLocker lock(m_pMutexRecv);
        m_nSubIndex3 = f.nSub;
        m_nRecvIndex = f.nCmd;
        out = m_ledger.reply(f.nCmd, f.nSub, f.nReadOrWrite == 1, f.isNak(), f.nCmd == Tx_Heart, nowMs(), f.echoedKey());
        nLastSent = m_ledger.lastSentSeq();
        m_bEndingCommands = true;
    }
    const bool bAnswered = out.bAnswered;
    const _mcu_cmd answered = out.answered;
    endCommands(out);
    // Valid while the handlers run (they may run nested event loops; a later reply replaces it).
    m_answered = answered;
    m_bAnswered = bAnswered;
    m_nAnswersSeqFrom = bAnswered ? -1 : out.nAnswersSeqFrom;
    // What the device answered last was sent no later than this, whoever the reply is credited to:
    // a device still answering what was sent before a read works through a backlog.
    if (out.nAnswersSeqBy >= 0) {
        m_nSentByLastAnswerSeq = nLastSent;
        m_nLastAnsweredSeq = out.nAnswersSeqBy;
    }
    if (f.nCmd != Tx_Heart && !bAnswered)
        CDeviceLog::write({QString("The device"), m_strIp, QString("reply answers no open command:"), f.nCmd, f.nSub,
                           f.nReadOrWrite});
    if (f.nCmd != Tx_Heart && f.isNak()) {
        if (f.nCmd == Tx_OSDSet && f.nSub == 11) {
            if (COsdReplySink *pTransfer = COsdReplySink::forDevice(m_strSerial)) {
                CDeviceLog::write({QString::fromUtf8("单独包写入出现的问题"), pTransfer->packetInFlight()});
                pTransfer->packetAnswered(false);
            }
        }
        CDeviceLog::write({QString("The device"), m_strIp, QString("command recv error"), f.nCmd, f.nSub});
        // A refusal of a command of ours still open, reads included (a scene read meant to put
        // the canvas right). One ended as unanswered before was said then; one that answers
        // nothing open ends nothing.
        if (bAnswered && !answered.bEnded)
            commandNotTaken(answered, Refused);
        else if (bAnswered && answered.nReadOrWrite != 1)
            writeRefusedLate(answered);
        else if (!bAnswered && f.nReadOrWrite == 1) // credited to none: it may be a read's of ours a doubt waits for
            for (const _mcu_cmd &read : qAsConst(out.listUnclear))
                if (read.nReadOrWrite == 1)
                    readRefused(read, false);
    }
    // Scene reads queued behind a delete the device took, and the doubts of writes sent before it,
    // name scenes by the numbering before it: they follow the new numbering before the worker may
    // send one.
    if (bAnswered && !f.isNak() && isSceneDelete(answered))
        renumberAfterDelete(uchar(answered.byte.at(0)), answered.nSeq);
    // A delete left unanswered, answered late: its answer tells its fate (taken, followed above).
    if (bAnswered && isSceneDelete(answered) && answered.nSeq == m_nDeleteInDoubtSeq)
        endDeleteInDoubt();
    endingCommandsDone();
    if (f.nCmd != Tx_Heart) {
        if (f.isNak()) {
            if (bAnswered) {
                followZSettingsWrite(f, &answered);
                followTarnLayerWrite(f, &answered);
            }
            releaseExtraGate();
            QMutexLocker lock(m_pMutexRecv);
            m_nSubIndex3 = -1;
            wakeWorker();
            return;
        }
        if (f.isAck()) {
            CDeviceLog::write({QString("The device"), m_strIp, QString("command recv successfully"), f.nCmd, f.nSub});
            if (bAnswered) {
                followZSettingsWrite(f, &answered);
                followTarnLayerWrite(f, &answered);
            }
            releaseExtraGate();
        }
        // Any answer but a NAK to a write of ours is the device taking it. One ended as unanswered
        // had its panels shown the records: they are shown them again, with the write in them.
        if (bAnswered && answered.nReadOrWrite != 1) {
            followHeldWrite(answered);
            writeAcknowledged(answered);
            if (answered.bEnded)
                scheduleShowLastRead();
        }
    }
    CDeviceLog::write({QString("The device"), f.nCmd, QString("command recv successfully")});
    dispatch(f);
    // The read filled the records: a write in doubt that waited for it is said or not.
    if (bAnswered && answered.nReadOrWrite == 1 && !f.isNak()) {
        readAnswered(answered, true, answered.nSeq);
    } else if (!bAnswered && !f.isNak() && f.nReadOrWrite == 1) {
        // Credited to none, it answers one of our reads of its kind all the same, perhaps one sent
        // before a write in doubt: it tells what the device held, not what it did with the write.
        // A doubt it leaves waiting has its read asked again (it may take the answer of its own
        // that follows), within its bound, and given up, is said.
        for (const _mcu_cmd &read : qAsConst(out.listUnclear)) {
            if (read.nReadOrWrite == 1 && read.nCmdIndex == f.nCmd && read.nSubIndex3 == f.nSub) {
                readAnswered(read, false, out.nAnswersSeqFrom);
                if (!m_notices.hasDoubt(doubtKeyOfRead(read)))
                    break;
                if (isTarnSceneRead(read))
                    sceneReadOfUnclearOwner(read);
                else
                    readFailed(read);
                break;
            }
        }
    }
    m_bAnswered = false;
    m_nAnswersSeqFrom = -1;
    {
        QMutexLocker lock(m_pMutexRecv);
        m_nSubIndex3 = -1;
    }
    askWantedReads();
    wakeWorker();
}

void CTcpDeviceThread::endCommands(const CCommandLedger::Outcome &out)
{
    for (const _mcu_cmd &cmd : out.listUnanswered)
        commandNotTaken(cmd, Unanswered);
    for (const _mcu_cmd &cmd : out.listLost)
        commandNotTaken(cmd, LostInFlight);
    // A reply came that may have been theirs or another's: a write may have been taken or not.
    // Nothing is said; what it wrote is read back.
    for (const QList<_mcu_cmd> *pList : {&out.listUnclear, &out.listDoubted}) {
        for (const _mcu_cmd &cmd : *pList) {
            CDeviceLog::write({QString("The device"), m_strIp, QString("answer of unclear owner:"), cmd.nCmdIndex, cmd.nSubIndex3,
                               cmd.nReadOrWrite});
            if (cmd.nReadOrWrite != 1) {
                m_notices.writeUnclear(readBackKey(cmd), writeTarget(cmd));
                readBackAfter(cmd);
            }
        }
    }
}

void CTcpDeviceThread::endingCommandsDone()
{
    {
        QMutexLocker lock(m_pMutexRecv);
        m_bEndingCommands = false;
    }
    armReplyTimer();
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
