#include "OSDTransfer.h"

#include "DeviceLog.h"
#include "QorGlobal.h"
#include "globalObserver.h"

#include <QPointer>
#include <QTimer>

COSDTransfer *COSDTransfer::s_pActive = nullptr;

COSDTransfer::COSDTransfer(QObject *parent)
    : QObject(parent)
{
    m_pTimer = new QTimer(this);
    m_pTimer->setInterval(m_nResendMs);
    connect(m_pTimer, &QTimer::timeout, this, &COSDTransfer::slot_tick);
    m_pHeaderTimer = new QTimer(this);
    m_pHeaderTimer->setSingleShot(true);
    connect(m_pHeaderTimer, &QTimer::timeout, this, &COSDTransfer::slot_sendHeader);
    m_pFinishTimer = new QTimer(this);
    m_pFinishTimer->setSingleShot(true);
    connect(m_pFinishTimer, &QTimer::timeout, this, &COSDTransfer::slot_finishDelayOver);
}

COSDTransfer::~COSDTransfer()
{
    if (!isActive())
        return;
    // The owner goes mid-transfer: nobody is left to finish it, so the device gets its OSD back
    // and the console polls again. Nothing is reported: whoever would show it is going.
    const bool bSwitchedOn = m_phase == Finishing;
    release();
    CDeviceLog::write({QString("OSD transfer given up: its owner went")});
    if (!bSwitchedOn)
        sendCmd(2, COSDBitmap::switchPayload(m_nIndex, true));
    g_setSourcePoll(true, m_strSerial);
}

COSDTransfer *COSDTransfer::activeTransfer()
{
    return s_pActive;
}

void COSDTransfer::setResendInterval(int nMs)
{
    m_nResendMs = std::max(1, nMs);
    m_pTimer->setInterval(m_nResendMs);
}

int COSDTransfer::finishDelayMs(int nPackets)
{
    const int nQuot = nPackets / 256;
    return nQuot > 0 ? nQuot * 800 : 1000;
}

bool COSDTransfer::start(const QString &strSerial, const COSDBitmap::Params &params, const QImage &image)
{
    if (s_pActive)
        return false;
    QByteArray bitmap = COSDBitmap::pack(image);
    if (bitmap.isEmpty())
        return false;
    m_strSerial = strSerial;
    m_nIndex = params.nIndex;
    m_bitmap = bitmap;
    m_nPackets = COSDBitmap::packetCount(m_bitmap.size());
    m_nPacket = 0;
    m_nRetries = 0;
    m_bHeard = false;
    m_bRefused = false;
    m_bOnTaken = false;
    m_phase = Starting;
    s_pActive = this;
    receiveFrom(m_strSerial);
    sendCmd(1, COSDBitmap::paramsPayload(params));
    sendCmd(2, COSDBitmap::switchPayload(m_nIndex, false));
    m_pHeaderTimer->start(m_nHeaderDelayMs);
    return true;
}

void COSDTransfer::slot_sendHeader()
{
    if (m_phase != Starting)
        return;
    m_phase = Announced;
    m_nRetries = 0;
    m_bHeard = false;
    sendCmd(10, COSDBitmap::headerPayload(m_nIndex, m_nPackets, m_bitmap.size()));
    m_pTimer->start();
    emit sig_headerSent();
}

void COSDTransfer::headerAnswered()
{
    if (m_phase != Announced)
        return; // a late answer to a header sent again
    m_bHeard = true;
    globalObserver::getGlobalObserver()->notify("slot_sendbeginOSDdate");
}

void COSDTransfer::sendBegin()
{
    if (m_phase != Announced)
        return;
    m_phase = Sending;
    m_nPacket = 0;
    m_nRetries = 0;
    m_bHeard = true;
    m_bRefused = false;
    m_pTimer->start(); // a full period for the first packet
    sendPacketNow(m_nPacket);
}

void COSDTransfer::sendPacket(int nPacket)
{
    // Only the packet the transfer asked for: a stack answering late asks for nothing else.
    if (m_phase != Sending || nPacket != m_nPacket)
        return;
    sendPacketNow(nPacket);
}

void COSDTransfer::sendPacketNow(int nPacket)
{
    const QByteArray payload = COSDBitmap::packetPayload(m_nIndex, m_bitmap, nPacket);
    if (payload.isEmpty())
        return;
    if (nPacket == m_nPackets - 1)
        CDeviceLog::write({QString("lastpack"), payload.size() - 7});
    sendCmd(11, payload);
}

void COSDTransfer::packetAnswered(bool bTaken)
{
    if (m_phase != Sending)
        return; // no packet in flight: a late or repeated reply
    m_bHeard = true;
    const bool bLast = m_nPacket >= m_nPackets - 1;
    if (!bTaken) {
        CDeviceLog::write({QString("whilteret"), 0, m_nPacket});
        m_bRefused = true;
        if (!countRetry())
            return;
        int nPacket = m_nPacket;
        globalObserver::getGlobalObserver()->notify("slot_sendOSDdate", Q_ARG(int, nPacket));
        if (bLast)
            notifyProgress(99);
        return;
    }
    m_nRetries = 0;
    m_bRefused = false;
    if (bLast) {
        m_phase = Ending;
        m_pTimer->start(); // a full period for the end
        sendCmd(12, COSDBitmap::endPayload(m_nIndex));
        CDeviceLog::write({QString("endret"), 1});
        QPointer<COSDTransfer> self(this);
        notifyProgress(99);
        if (self)
            emit sig_allPacketsTaken();
        return;
    }
    ++m_nPacket;
    const int nStep = m_nPackets > 100 ? m_nPackets / 100 : 1;
    if (m_nPacket / nStep <= 99)
        notifyProgress(m_nPacket / nStep);
    CDeviceLog::write({QString("whilteret"), 1, m_nPacket});
    int nPacket = m_nPacket;
    globalObserver::getGlobalObserver()->notify("slot_sendOSDdate", Q_ARG(int, nPacket));
}

void COSDTransfer::endAnswered()
{
    if (m_phase != Ending)
        return; // no end in flight: a late or repeated reply
    m_phase = Finishing;
    m_pTimer->stop();
    sendCmd(2, COSDBitmap::switchPayload(m_nIndex, true));
    m_pFinishTimer->start(finishDelayMs(m_nPackets));
}

void COSDTransfer::switchTaken(bool bOn)
{
    // In the finishing wait a switch the device takes is the transfer's switch-on.
    if (m_phase == Finishing && bOn)
        m_bOnTaken = true;
}

void COSDTransfer::slot_finishDelayOver()
{
    if (m_phase != Finishing)
        return;
    release();
    QPointer<COSDTransfer> self(this);
    globalObserver *pHub = globalObserver::getGlobalObserver();
    int nProgress = 100;
    int nItem = -1;
    int nSpeed = g_nOSDSpeed;
    const QString strSerial = m_strSerial; // the receivers below may take the transfer down
    pHub->notify("slot_GetOSDsendprogress", Q_ARG(int, nProgress));
    pHub->notify("slot_itemPress", Q_ARG(int, nItem));
    pHub->notify("slot_SetOSDTextSpeed", Q_ARG(int, nSpeed));
    g_setSourcePoll(true, strSerial);
    if (self)
        emit sig_finished(true, QString());
}

void COSDTransfer::linkLost()
{
    switch (m_phase) {
    case Idle:
        return;
    case Finishing:
        // The device has the whole bitmap.
        if (m_bOnTaken) {
            // And it showed it: done. Whatever it holds when it is back (a restarted one may hold
            // no bitmap) is what its OSD read then says; nothing switches it on again.
            CDeviceLog::write({QString("OSD transfer: link lost while finishing, the device had taken the OSD on")});
            slot_finishDelayOver();
            return;
        }
        // The switch-on may have gone down with the link.
        CDeviceLog::write({QString("OSD transfer: link lost while finishing, OSD on again when it is back")});
        sendCmd(2, COSDBitmap::switchPayload(m_nIndex, true));
        return;
    default:
        fail(tr("与设备的连接已断开"));
        return;
    }
}

void COSDTransfer::slot_tick()
{
    if (m_phase != Announced && m_phase != Sending && m_phase != Ending)
        return;
    if (m_bHeard) {
        m_bHeard = false;
        return;
    }
    if (!countRetry())
        return;
    switch (m_phase) {
    case Announced:
        CDeviceLog::write({QString("OSD header again"), m_nRetries});
        sendCmd(10, COSDBitmap::headerPayload(m_nIndex, m_nPackets, m_bitmap.size()));
        break;
    case Sending:
        CDeviceLog::write({QString::fromUtf8("丢包补发"), m_nPacket});
        sendPacketNow(m_nPacket);
        break;
    case Ending:
        CDeviceLog::write({QString("OSD end again"), m_nRetries});
        sendCmd(12, COSDBitmap::endPayload(m_nIndex));
        break;
    default:
        break;
    }
}

bool COSDTransfer::countRetry()
{
    if (++m_nRetries <= m_nRetryLimit)
        return true;
    fail(stepFailure());
    return false;
}

QString COSDTransfer::stepFailure() const
{
    switch (m_phase) {
    case Announced:
        return tr("设备未应答OSD数据头");
    case Ending:
        return tr("设备未应答OSD数据结束");
    default:
        return m_bRefused ? tr("设备拒绝了OSD数据") : tr("设备未确认OSD数据包%1").arg(m_nPacket);
    }
}

void COSDTransfer::notifyProgress(int nProgress)
{
    globalObserver::getGlobalObserver()->notify("slot_GetOSDsendprogress", Q_ARG(int, nProgress));
}

void COSDTransfer::fail(const QString &strReason)
{
    release();
    CDeviceLog::write({QString("OSD transfer failed:"), strReason});
    // Leave the device showing an OSD and the console polling again, as after a transfer. With
    // the link lost, the switch-on waits in the device's queue until the link is back.
    sendCmd(2, COSDBitmap::switchPayload(m_nIndex, true));
    QPointer<COSDTransfer> self(this);
    const QString strSerial = m_strSerial; // the receivers below may take the transfer down
    notifyProgress(-1);
    globalObserver *pHub = globalObserver::getGlobalObserver();
    g_setSourcePoll(true, strSerial);
    int nSpeed = g_nOSDSpeed;
    pHub->notify("slot_SetOSDTextSpeed", Q_ARG(int, nSpeed));
    if (self)
        emit sig_finished(false, strReason);
}

void COSDTransfer::release()
{
    m_pTimer->stop();
    m_pHeaderTimer->stop();
    m_pFinishTimer->stop();
    m_phase = Idle;
    if (s_pActive == this)
        s_pActive = nullptr;
    stopReceiving();
}

void COSDTransfer::sendCmd(int nSub, const QByteArray &payload)
{
    QString strSerial = m_strSerial;
    QString strCmd = QStringLiteral("OSD参数设置");
    QByteArray data = payload;
    int nWrite = 2;
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial), Q_ARG(QString, strCmd),
                                                Q_ARG(QByteArray &, data), Q_ARG(int, nWrite), Q_ARG(int, nSub));
}
