#include "OSDTransfer.h"

#include "DeviceLog.h"
#include "QorGlobal.h"
#include "globalObserver.h"

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
}

COSDTransfer::~COSDTransfer()
{
    if (s_pActive == this) {
        // The owner goes mid-transfer: the worker must not drive a transfer nobody answers.
        s_pActive = nullptr;
        g_ncountpack = 0;
        g_ncurrentserial = 0;
    }
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
    m_nRetries = 0;
    m_nLastSeen = -1;
    m_phase = Starting;
    s_pActive = this;
    g_ncurrentserial = 0;
    g_ncountpack = 0;
    sendCmd(1, COSDBitmap::paramsPayload(params));
    sendCmd(2, COSDBitmap::switchPayload(m_nIndex, false));
    m_pHeaderTimer->start(m_nHeaderDelayMs);
    return true;
}

void COSDTransfer::slot_sendHeader()
{
    if (m_phase != Starting)
        return;
    g_ncountpack = m_nPackets;
    g_ncurrentserial = 0;
    m_phase = Announced;
    m_nRetries = 0;
    sendCmd(10, COSDBitmap::headerPayload(m_nIndex, m_nPackets, m_bitmap.size()));
    m_pTimer->start();
    emit sig_headerSent();
}

void COSDTransfer::sendBegin()
{
    if (m_phase != Announced)
        return; // a late answer to a header sent again
    m_phase = Sending;
    m_nRetries = 0;
    m_nLastSeen = g_ncurrentserial;
    m_pTimer->start(); // a full period for the first packet
    sendPacketNow(g_ncurrentserial);
}

void COSDTransfer::sendPacket(int nPacket)
{
    if (m_phase != Sending)
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

void COSDTransfer::progress(int nProgress)
{
    if (!isActive())
        return;
    if (nProgress < 0) {
        fail(tr("设备拒绝了OSD数据"), false);
        return;
    }
    if (nProgress == 100) {
        finish();
        return;
    }
    if (m_phase == Sending && g_ncurrentserial >= m_nPackets) {
        m_phase = Ending;
        m_nRetries = 0;
        const int nQuot = m_nPackets / 256;
        const int nDelay = nQuot > 0 ? nQuot * 800 : 1000;
        m_nEndWaitTicks = nDelay / m_nResendMs + 2;
        m_pTimer->start();
        emit sig_allPacketsTaken();
    }
}

void COSDTransfer::slot_tick()
{
    switch (m_phase) {
    case Announced:
        if (++m_nRetries > m_nRetryLimit) {
            fail(tr("设备未应答OSD数据头"), true);
            return;
        }
        CDeviceLog::write({QString("OSD header again"), m_nRetries});
        sendCmd(10, COSDBitmap::headerPayload(m_nIndex, m_nPackets, m_bitmap.size()));
        break;
    case Sending: {
        const int nSerial = g_ncurrentserial;
        if (nSerial >= m_nPackets) {
            progress(99);
            return;
        }
        if (nSerial != m_nLastSeen) {
            // a packet was acknowledged since the last tick
            m_nLastSeen = nSerial;
            m_nRetries = 0;
            return;
        }
        if (++m_nRetries > m_nRetryLimit) {
            fail(tr("设备未确认OSD数据包%1").arg(nSerial), true);
            return;
        }
        CDeviceLog::write({QString::fromUtf8("丢包补发"), nSerial});
        sendPacketNow(nSerial);
        break;
    }
    case Ending:
        if (g_ncurrentserial > m_nPackets) {
            // the end was taken; the worker reports 100 after its finishing delay
            if (--m_nEndWaitTicks < 0)
                fail(tr("设备未完成OSD数据下发"), true);
            return;
        }
        if (++m_nRetries > m_nRetryLimit) {
            fail(tr("设备未应答OSD数据结束"), true);
            return;
        }
        sendCmd(12, COSDBitmap::endPayload(m_nIndex));
        break;
    default:
        break;
    }
}

void COSDTransfer::abort(const QString &strReason)
{
    if (isActive())
        fail(strReason, true);
}

void COSDTransfer::fail(const QString &strReason, bool bNotifyProgress)
{
    m_pTimer->stop();
    m_pHeaderTimer->stop();
    m_phase = Idle;
    if (s_pActive == this)
        s_pActive = nullptr;
    g_ncountpack = 0;
    g_ncurrentserial = 0;
    CDeviceLog::write({QString("OSD transfer failed:"), strReason});
    globalObserver *pHub = globalObserver::getGlobalObserver();
    if (bNotifyProgress) {
        int nProgress = -1;
        pHub->notify("slot_GetOSDsendprogress", Q_ARG(int, nProgress));
    }
    // Leave the device showing an OSD and the console polling again, as after a transfer.
    sendCmd(2, COSDBitmap::switchPayload(m_nIndex, true));
    bool bReflash = true;
    pHub->notify("slot_IsZReflash", Q_ARG(bool, bReflash));
    int nSpeed = g_nOSDSpeed;
    pHub->notify("slot_SetOSDTextSpeed", Q_ARG(int, nSpeed));
    emit sig_finished(false, strReason);
}

void COSDTransfer::finish()
{
    m_pTimer->stop();
    m_pHeaderTimer->stop();
    m_phase = Idle;
    if (s_pActive == this)
        s_pActive = nullptr;
    emit sig_finished(true, QString());
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
