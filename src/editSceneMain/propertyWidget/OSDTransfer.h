#ifndef OSDTRANSFER_H
#define OSDTRANSFER_H

// COSDTransfer - one OSD bitmap transfer to a device: parameters, OSD off,
// (500 ms later) the header, then one 128-byte packet after each
// acknowledgement, the end command, OSD on and, after a finishing delay,
// progress 100 with the held speed restored and the source poll resumed.
//
// The transfer is the one owner of its state: the packet count, the packet in
// flight, the phase and the count of re-sends of the current step. While it
// runs it is the OSD reply sink of its device (COsdReplySink): the device
// worker hands it the replies to its commands (headerAnswered, packetAnswered,
// endAnswered) and the loss of the link (linkLost). The transfer turns them
// into the hub topics of the property stacks: "slot_sendbeginOSDdate" and
// "slot_sendOSDdate" (the stack that started the transfer answers them with
// sendBegin and sendPacket) and "slot_GetOSDsendprogress" for the text page.
//
// A watchdog ticks every resendInterval() ms: a step that heard nothing since
// the last tick is sent again (the header, the same packet, the end command).
// Re-sends of one step, for silence or for a refusal, count together; past
// retryLimit() the transfer fails. A failed transfer turns the OSD on again,
// resumes the source poll, restores the held speed and reports the failure
// (never progress 100). A lost link fails it at once; the switch-on waits in
// the worker's queue and goes out when the link is back. Lost after the end,
// the transfer has succeeded: the switch-on waits for the link only when the
// device did not take it; when it did, what the device holds then is read at
// the next link like any other state. A transfer destroyed
// while it runs (its stack goes) turns the OSD on and resumes the poll, and
// reports nothing. Only one transfer runs at a time in the program.

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>

#include "OSDBitmap.h"
#include "OsdReplySink.h"

class QTimer;

class COSDTransfer : public QObject, public COsdReplySink
{
    Q_OBJECT
public:
    enum Phase { Idle, Starting, Announced, Sending, Ending, Finishing };

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

    QString serial() const { return m_strSerial; }
    const QByteArray &bitmap() const { return m_bitmap; }
    int packetCount() const { return m_nPackets; }
    // The packet the device is asked to take (counted from 0).
    int packetInFlight() const override { return m_nPacket; }

    // ---- the device worker: replies to the transfer's commands, and the link
    void headerAnswered() override;
    // A reply to a packet: taken (status 1), or refused (another status, or a NAK).
    void packetAnswered(bool bTaken) override;
    void endAnswered() override;
    void switchTaken(bool bOn) override;
    void linkLost() override;

    // ---- the stack that started it, on "slot_sendbeginOSDdate" / "slot_sendOSDdate"
    void sendBegin();
    void sendPacket(int nPacket);

    // Timing (defaults: 500 ms before the header, 3000 ms watchdog, 5 re-sends).
    void setHeaderDelay(int nMs) { m_nHeaderDelayMs = nMs; }
    void setResendInterval(int nMs);
    int resendInterval() const { return m_nResendMs; }
    void setRetryLimit(int n) { m_nRetryLimit = n; }
    int retryLimit() const { return m_nRetryLimit; }
    // The wait between the device taking the end and progress 100.
    static int finishDelayMs(int nPackets);

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
    void slot_finishDelayOver();

private:
    void sendCmd(int nSub, const QByteArray &payload);
    void sendPacketNow(int nPacket);
    // Counts one more re-send of the current step; false (and the transfer failed) past the limit.
    bool countRetry();
    QString stepFailure() const;
    void notifyProgress(int nProgress);
    void fail(const QString &strReason);
    void release();

    QString m_strSerial;
    int m_nIndex = 0;
    QByteArray m_bitmap;
    int m_nPackets = 0;
    int m_nPacket = 0;          // the packet in flight (Sending) or the last one (Ending)
    Phase m_phase = Idle;
    int m_nRetries = 0;         // re-sends of the current step
    bool m_bHeard = false;      // a reply to the current step came since the last tick
    bool m_bRefused = false;    // the last reply to the current step refused it
    bool m_bOnTaken = false;    // Finishing: the device took the switch-on
    int m_nHeaderDelayMs = 500;
    int m_nResendMs = 3000;
    int m_nRetryLimit = 5;
    QTimer *m_pTimer = nullptr;
    QTimer *m_pHeaderTimer = nullptr;
    QTimer *m_pFinishTimer = nullptr;
    static COSDTransfer *s_pActive;
};

#endif // OSDTRANSFER_H
