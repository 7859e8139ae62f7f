#include "RecvDeviceThread.h"

#include "globalObserver.h"

#include <QUdpSocket>

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

CRecvDeviceThread::CRecvDeviceThread(QObject *parent)
    : QThread(parent)
    , m_nWakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

CRecvDeviceThread::~CRecvDeviceThread()
{
    slot_recvStop();
    wait();
    if (m_nWakeFd >= 0)
        ::close(m_nWakeFd);
}

// Safe from any thread: the loop leaves at once, also when it has not started
// yet (it then returns on entry).
void CRecvDeviceThread::slot_recvStop()
{
    m_bStop = true;
    if (m_nWakeFd >= 0) {
        const quint64 uOne = 1;
        const ssize_t nWritten = ::write(m_nWakeFd, &uOne, sizeof uOne);
        Q_UNUSED(nWritten); // a counter already at its limit wakes the loop all the same
    }
}

void CRecvDeviceThread::run()
{
    QUdpSocket socket;
    m_pUdpSocket = &socket;
    int nSocketFd = -1;
    if (socket.bind(m_bindAddress, m_uPort, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        // Devices announce in bursts: a larger receive buffer holds a burst
        // while the thread is busy (the system may grant less).
        socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);
        nSocketFd = int(socket.socketDescriptor());
        m_uBoundPort = socket.localPort();
    }
    // The thread sleeps until a datagram arrives or the stop wakes it; a failed
    // bind just receives nothing. Without a wake handle it looks at the stop
    // flag every 100 ms.
    const int nTimeoutMs = m_nWakeFd >= 0 ? -1 : 100;
    while (!m_bStop) {
        pollfd fds[2] = {{m_nWakeFd, POLLIN, 0}, {nSocketFd, POLLIN, 0}};
        const int nReady = ::poll(fds, 2, nTimeoutMs);
        if (nReady < 0 && errno != EINTR)
            break;
        if (nReady > 0 && (fds[1].revents & POLLIN))
            readPending(socket);
    }
    m_pUdpSocket = nullptr;
    m_uBoundPort = 0;
}

void CRecvDeviceThread::readPending(QUdpSocket &socket)
{
    // One byte more than an announcement may have: a longer datagram arrives cut to the buffer
    // and is refused by its length. No separate query of each datagram's size.
    char buffer[kMaxDatagramBytes + 1];
    while (!m_bStop && socket.hasPendingDatagrams()) {
        const qint64 nRead = socket.readDatagram(buffer, sizeof buffer);
        if (nRead < 0)
            break;
        QStringList fields;
        if (!parshUdpData(QByteArray::fromRawData(buffer, int(nRead)), &fields))
            continue;
        emit sig_deviceAnnounced(fields);
        globalObserver::getGlobalObserver()->notify("slot_newDevice", Q_ARG(QStringList, fields));
    }
}

bool CRecvDeviceThread::parshUdpData(const QByteArray &datagram, QStringList *pFields)
{
    const int nSize = datagram.size();
    if (nSize > kMaxDatagramBytes || nSize < 6)
        return false;
    const uchar *p = reinterpret_cast<const uchar *>(datagram.constData());
    if (p[0] != 0xAA || p[1] != 0x55)
        return false;
    const int n = (p[2] << 8) | p[3];
    if (n + 6 > nSize)
        return false;
    quint32 uSum = 0;
    for (int i = 0; i < 4 + n; ++i)
        uSum += p[i];
    if (quint16(uSum & 0xFFFF) != quint16((p[4 + n] << 8) | p[5 + n]))
        return false;
    QByteArray text = datagram.mid(4, n);
    const int nZero = text.indexOf('\0');
    if (nZero >= 0)
        text.truncate(nZero);
    const QStringList fields = QString::fromUtf8(text).split(':', Qt::KeepEmptyParts);
    if (fields.size() < 4 || fields.at(3).isEmpty() || !isVaildIp(fields.at(0)))
        return false;
    if (pFields)
        *pFields = fields;
    return true;
}

bool CRecvDeviceThread::isVaildIp(const QString &strIp)
{
    const QByteArray ip = strIp.toLatin1();
    if (ip.isEmpty() || ip.size() > 15)
        return false;
    int nDots = 0;
    int nDigits = 0;
    int nValue = 0;
    for (char c : ip) {
        if (c == '.') {
            if (nDigits == 0)
                return false;
            ++nDots;
            nDigits = 0;
            nValue = 0;
        } else if (c >= '0' && c <= '9') {
            nValue = nValue * 10 + (c - '0');
            if (++nDigits > 3 || nValue > 255)
                return false;
        } else {
            return false;
        }
    }
    return nDots == 3 && nDigits > 0;
}
