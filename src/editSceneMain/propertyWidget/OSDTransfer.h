#ifndef OSDTRANSFER_H
#define OSDTRANSFER_H

// COSDTransfer - one OSD bitmap transfer to a device, as the property stack runs
// it: parameters, OSD off, (500 ms later) the header, then one 128-byte packet
// after each acknowledgement, then the end command and OSD on, which the device
// worker sends on the replies.
//
// The device worker turns replies into hub notifications; the property stack
// that started the transfer hands them here (sendBegin, sendPacket, progress).
// The program-wide counters g_ncountpack and g_ncurrentserial are shared with
// the worker's reply handler: g_ncurrentserial is the packet in flight, it
// reaches g_ncountpack when the last packet has been taken and g_ncountpack + 1
// when the device took the end command.
//
// A watchdog ticks every resendInterval() ms: a step that made no progress
// since the last tick is sent again (the header, the same packet, the end
// command), at most retryLimit() times in a row; then the transfer fails. A
// failed transfer turns the OSD on again, resumes the source poll, restores the
// held speed and reports the failure (never progress 100). Only one transfer
// runs at a time in the program.

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>

#include "OSDBitmap.h"

class QTimer;

class COSDTransfer : public QObject
{
    Q_OBJECT
public:
    enum Phase { Idle, Starting, Announced, Sending, Ending };

    explicit COSDTransfer(QObject *parent = nullptr);
    ~COSDTransfer() override;

    // Starts a transfer of the packed bitmap of image (already W x H) to the
    // device with that serial. Refused (false, nothing sent) while any transfer
    // runs or when the bitmap would be empty.
    bool start(const QString &strSerial, const COSDBitmap::Params &params, const QImage &image);
    bool isActive() const { return m_phase != Idle; }
    Phase phase() const { return m_phase; }
    // The transfer running in the program, if any.
    static COSDTransfer *activeTransfer();

    const QByteArray &bitmap() const { return m_bitmap; }
    int packetCount() const { return m_nPackets; }

    // Hub notifications of the worker, for the transfer that runs.
    void sendBegin();
    void sendPacket(int nPacket);
    void progress(int nProgress);

    // Gives the transfer up (the device went away, the owner goes).
    void abort(const QString &strReason);

    // Timing (defaults: 500 ms before the header, 3000 ms watchdog, 5 tries).
    void setHeaderDelay(int nMs) { m_nHeaderDelayMs = nMs; }
    void setResendInterval(int nMs);
    int resendInterval() const { return m_nResendMs; }
    void setRetryLimit(int n) { m_nRetryLimit = n; }
    int retryLimit() const { return m_nRetryLimit; }

signals:
    // The header went out (500 ms after the start).
    void sig_headerSent();
    // Every packet has been taken by the device.
    void sig_allPacketsTaken();
    // The transfer ended: ok with progress 100, or failed with a reason.
    void sig_finished(bool bOk, QString strReason);

private slots:
    void slot_tick();
    void slot_sendHeader();

private:
    void sendCmd(int nSub, const QByteArray &payload);
    void sendPacketNow(int nPacket);
    void fail(const QString &strReason, bool bNotifyProgress);
    void finish();

    QString m_strSerial;
    int m_nIndex = 0;
    QByteArray m_bitmap;
    int m_nPackets = 0;
    Phase m_phase = Idle;
    int m_nLastSeen = -1;       // g_ncurrentserial at the last tick
    int m_nRetries = 0;
    int m_nEndWaitTicks = 0;    // ticks still allowed for the finish after the end was taken
    int m_nHeaderDelayMs = 500;
    int m_nResendMs = 3000;
    int m_nRetryLimit = 5;
    QTimer *m_pTimer = nullptr;
    QTimer *m_pHeaderTimer = nullptr;
    static COSDTransfer *s_pActive;
};

#endif // OSDTRANSFER_H
