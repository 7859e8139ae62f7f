#ifndef RECVDEVICETHREAD_H
#define RECVDEVICETHREAD_H

// Device discovery: listens for the devices' UDP announcements (port 11502, address sharing) on a
// thread of its own and turns every valid one into the hub topic "slot_newDevice" (a QStringList
// of the text's fields, delivered queued to the GUI thread).
//
// Announcement: AA 55 | N(2) | N bytes of ":"-separated text | check(2) = sum of all bytes before it.
// Fields: 0 IPv4 address, 1 unused, 2 device type, 3 serial, more passed on unread. A datagram is
// accepted only with a valid dotted address and at least four fields, the serial not empty.
//
// The thread sleeps in the system's poll until a datagram arrives or it is stopped (at once, from
// any thread). Port and bind address can be set before start() (tests use an ephemeral port: 0, then
// boundPort()).

#include <QByteArray>
#include <QHostAddress>
#include <QStringList>
#include <QThread>

#include <atomic>

class QUdpSocket;

class CRecvDeviceThread : public QThread
{
    Q_OBJECT
public:
    explicit CRecvDeviceThread(QObject *parent = nullptr);
    ~CRecvDeviceThread() override;

    void setListenPort(quint16 uPort) { m_uPort = uPort; }
    void setBindAddress(const QHostAddress &address) { m_bindAddress = address; }
    // The port actually bound (0 until bound, or when the bind failed).
    quint16 boundPort() const { return m_uBoundPort; }

    // Checks one datagram; on success fills the text fields.
    static bool parshUdpData(const QByteArray &datagram, QStringList *pFields);
    // A dotted IPv4 address of four groups, each 0 to 255.
    static bool isVaildIp(const QString &strIp);

signals:
    void sig_deviceAnnounced(QStringList fields);

public slots:
    void slot_recvStop();

protected:
    void run() override;

private:
    enum { kMaxDatagramBytes = 256, kReceiveBufferBytes = 1 << 20 };
    void readPending(QUdpSocket &socket);

    QUdpSocket *m_pUdpSocket = nullptr;
    std::atomic<bool> m_bStop{false};
    int m_nWakeFd = -1;   // written by slot_recvStop to wake the loop
    quint16 m_uPort = 11502;
    QHostAddress m_bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    std::atomic<quint16> m_uBoundPort{0};
};

#endif // RECVDEVICETHREAD_H
