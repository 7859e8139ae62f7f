#ifndef DEVICESIMULATOR_H
#define DEVICESIMULATOR_H

// CDeviceSimulator - a simulated LED video processor for end-to-end tests and tools/devsim.
//
// It speaks the device protocol for real (own frame code, independent of the console's):
// it listens for the console on TCP, announces itself on UDP, or serves a pseudo terminal as
// its serial line; it answers every request of either family from a small device model
// (CSimDeviceModel: device information, inputs with signal states, scenes and layers, OSD,
// outputs, system name), applies writes to the model, and records every request byte for byte.
// Everything runs in the thread that owns the object (normally the test's GUI thread), so tests
// drive it with QTRY_* / QSignalSpy::wait.
//
//   CDeviceSimulator sim(CSimDeviceModel::Tarn, 4, 2);     // family, inputs, scenes
//   sim.setSerial("SN1");
//   QVERIFY(sim.listen(QHostAddress("127.0.0.2"), 0));     // 0 = ephemeral; sim.port()
//   sim.announce(uDiscoveryPort);                          // one datagram to 127.0.0.1
//   worker.connectToServer(sim.address().toString(), sim.port());
//   QTRY_VERIFY(sim.hasRequest(41, 10));                   // command 41, sub 10 arrived
//   sim.requests();                                        // CSimRequest list: bytes, cmd, rw, sub, payload
//   sim.injectFault(CDeviceSimulator::Nak, 34);            // the next reply to 34 is a NAK
//   sim.model().inputs[0].nSig = 0;                        // change the device's state
//
// Serial side: openPty() creates a pseudo-terminal pair; the console opens ptyName() (e.g.
// "/dev/pts/5") with QSerialPort; the simulator serves the master side. closePty() hangs up.
//
// Fault injection (injectFault(kind, command, count)): the next `count` replies to `command`
// (-1: to any command but the heartbeat 27) are
//   SplitBytes      written one byte at a time (1 ms apart)
//   MergeWithNext   held back and written together with the following reply in one write
//   BadCheck        sent with a check that is off by one
//   ForeignType     sent with a request's type field (byte 4 = 0x08)
//   Nak             answered with the payload C5 C0 (the model is not changed)
//   NoAnswer        not answered at all (the model is not changed)
//   TakenNoAnswer   taken (the model is changed) and not answered
//   DropConnection  the link is closed instead of answering
//   GarbageBefore   preceded by a few stray bytes (including a lone 55)
//   AfterNext       held back and written after the following reply (a slow one overtaken)
//   NakAfterNext    answered with a NAK, held back so (the model is not changed)
//   TakenLate       taken at once (the model is changed) and answered setLateAnswerDelay() ms
//                   later, out of turn: every reply to the requests after it goes first (a delay
//                   below 0: when releaseLateAnswers() is called)
//   RefusedLate     the same, but refused (NAK) and the model not changed
// injectOsdPacketFault(packet, fault) does the same for the first reply to one OSD bitmap packet.
// setNextReplyPayload(cmd, sub, payload) replaces the model's payload of the next reply to that
// command and sub-command (-1: any); setReplyDelay(ms) delays every reply (setAnswersInTurn: one
// after the other).

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include "DeviceSimModel.h"

class QTcpServer;
class QTcpSocket;
class QSocketNotifier;
class QUdpSocket;
class QTimer;

struct CSimRequest
{
    QByteArray bytes;      // the whole request frame as received
    int nCmd = -1;
    int nReadOrWrite = 0;
    int nSub = -1;
    QByteArray payload;
    qint64 nTimeMs = 0;    // milliseconds since the simulator was made
    bool bSerial = false;  // came over the pty
};

class CDeviceSimulator : public QObject
{
    Q_OBJECT
public:
    enum Fault { NoFault, SplitBytes, MergeWithNext, BadCheck, ForeignType, Nak, NoAnswer, DropConnection, GarbageBefore, AfterNext,
                 TakenNoAnswer, TakenLate, NakAfterNext, RefusedLate };

    explicit CDeviceSimulator(CSimDeviceModel::Family family = CSimDeviceModel::Tarn, int nInputs = 4, int nScenes = 2,
                              QObject *parent = nullptr);
    ~CDeviceSimulator() override;

    CSimDeviceModel &model() { return m_model; }
    void setSerial(const QString &strSerial) { m_strSerial = strSerial; }
    QString serial() const { return m_strSerial; }
    // The device-type text of the announcement (default: the model text, "Tarn-3" or "Z7").
    void setDeviceType(const QString &strType) { m_strType = strType; }
    QString deviceType() const { return m_strType.isEmpty() ? m_model.strModel : m_strType; }

    // ---- TCP
    bool listen(const QHostAddress &address = QHostAddress(QStringLiteral("127.0.0.1")), quint16 uPort = 0);
    // Two devices on the one device port the console dials, at two loopback addresses: a free
    // port for the first, the same for the second, another one when the second address has it
    // taken already.
    static bool listenOnOnePort(CDeviceSimulator &first, const QHostAddress &firstAddress, CDeviceSimulator &second,
                                const QHostAddress &secondAddress);
    QHostAddress address() const { return m_address; }
    quint16 port() const;
    bool hasClient() const;
    void dropClients();          // closes every TCP link now

    // ---- UDP announcement ("<address>:x:<type>:<serial>" unless setAnnouncementText was called)
    static QByteArray announcementDatagram(const QString &strText);
    QString announcementText() const;
    void setAnnouncementText(const QString &strText) { m_strAnnounceText = strText; }
    void announce(quint16 uPort, const QHostAddress &target = QHostAddress(QStringLiteral("127.0.0.1")));
    void startAnnouncing(quint16 uPort, int nIntervalMs, const QHostAddress &target = QHostAddress(QStringLiteral("127.0.0.1")));
    void stopAnnouncing();

    // ---- serial (pseudo terminal)
    bool openPty();
    QString ptyName() const { return m_strPtyName; }
    void closePty();

    // ---- requests
    QList<CSimRequest> requests() const { return m_listRequest; }
    QList<CSimRequest> requests(int nCmd, int nSub = -1) const;   // without heartbeats unless asked
    QList<CSimRequest> requestsWithoutHeartbeat() const;
    bool hasRequest(int nCmd, int nSub = -1) const { return !requests(nCmd, nSub).isEmpty(); }
    int requestCount(int nCmd = -1) const;                          // -1: all but heartbeats
    void clearRequests() { m_listRequest.clear(); }

    // ---- faults and timing
    void injectFault(Fault fault, int nCmd = -1, int nCount = 1);
    void clearFaults();
    // The reply to the first request for OSD bitmap packet nPacket (40, sub 11) gets the fault.
    void injectOsdPacketFault(int nPacket, Fault fault);
    void setNextReplyPayload(int nCmd, int nSub, const QByteArray &payload);
    void setReplyDelay(int nMs) { m_nReplyDelayMs = nMs; }
    // With the delay set, each request is answered that long after the answer before it (or after it
    // arrived, when that is later): one at a time, as a device on a serial line works.
    void setAnswersInTurn(bool bInTurn) { m_bAnswersInTurn = bInTurn; }
    void setAnswering(bool bAnswer) { m_bAnswering = bAnswer; }   // false: a device that never answers
    void setLateAnswerDelay(int nMs) { m_nLateAnswerMs = nMs; }
    int lateAnswersPending() const { return m_nLateAnswersPending; } // late answers not written yet
    void releaseLateAnswers(); // writes the late answers held (delay below 0), in the order made

    // Builds a reply frame as a device does (55 AA, type 10 00, echoing rw and sub).
    static QByteArray replyFrame(int nCmd, int nReadOrWrite, int nSub, const QByteArray &payload);

signals:
    void requestReceived(int nCmd, int nReadOrWrite, int nSub);
    void clientConnected();
    void clientDisconnected();

private slots:
    void slot_newConnection();
    void slot_tcpReadyRead();
    void slot_ptyReadable();

private:
    struct Channel;
    struct PendingFault { Fault fault; int nCmd; int nCount; };
    struct Override { int nCmd; int nSub; QByteArray payload; };

    void consume(Channel *pChannel);
    void handleRequest(Channel *pChannel, const CSimRequest &req);
    Channel *channelById(int nId) const;
    void sendReply(Channel *pChannel, const CSimRequest &req);
    void writeBytes(Channel *pChannel, const QByteArray &bytes);
    Fault takeFault(int nCmd);

    CSimDeviceModel m_model;
    QString m_strSerial = QStringLiteral("SIM0001");
    QString m_strType;
    QString m_strAnnounceText;
    QTcpServer *m_pServer = nullptr;
    QHostAddress m_address;
    QList<Channel *> m_listChannel;
    QUdpSocket *m_pUdp = nullptr;
    QTimer *m_pAnnounceTimer = nullptr;
    int m_nPtyMaster = -1;
    int m_nPtySlave = -1;
    QString m_strPtyName;
    QSocketNotifier *m_pPtyNotifier = nullptr;
    Channel *m_pPtyChannel = nullptr;
    QList<CSimRequest> m_listRequest;
    QList<PendingFault> m_listFault;
    QList<QPair<int, Fault>> m_listOsdPacketFault;
    QList<Override> m_listOverride;
    int m_nReplyDelayMs = 0;
    int m_nLateAnswerMs = 2500;
    int m_nLateAnswersPending = 0;
    QList<QPair<int, QByteArray>> m_listLateHeld; // channel id, frame
    bool m_bAnswersInTurn = false;
    qint64 m_nBusyUntilMs = 0; // in turn: when the last answer scheduled goes out (since m_nStartMs)
    bool m_bAnswering = true;
    qint64 m_nStartMs = 0;
};

#endif // DEVICESIMULATOR_H
