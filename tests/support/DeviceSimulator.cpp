#include "DeviceSimulator.h"

#include <algorithm>
#include <QDateTime>
#include <QPointer>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

struct CDeviceSimulator::Channel
{
    int nId = 0;
    QPointer<QTcpSocket> pSocket;   // null for the pty
    QByteArray buffer;              // received, not yet parsed
    QByteArray held;                // replies held back to be merged with the next one
    QByteArray after;               // replies held back to follow the next one
    // A reply written while the requests are parsed may find the link reset: the channel then
    // goes once the parsing stopped.
    bool bParsing = false;
    bool bGone = false;
};

namespace {

int g_nChannelIds = 0;

quint16 sum16(const char *p, int n)
{
    quint32 s = 0;
    for (int i = 0; i < n; ++i)
        s += uchar(p[i]);
    return quint16(s);
}

} // namespace

CDeviceSimulator::CDeviceSimulator(CSimDeviceModel::Family family, int nInputs, int nScenes, QObject *parent)
    : QObject(parent), m_model(family, nInputs, nScenes)
{
    m_nStartMs = QDateTime::currentMSecsSinceEpoch();
}

CDeviceSimulator::~CDeviceSimulator()
{
    closePty();
    for (Channel *pChannel : m_listChannel) {
        if (pChannel->pSocket) {
            pChannel->pSocket->disconnect(this);
            pChannel->pSocket->abort();
            delete pChannel->pSocket;
        }
        delete pChannel;
    }
}

QByteArray CDeviceSimulator::replyFrame(int nCmd, int nReadOrWrite, int nSub, const QByteArray &payload)
{
    const int n = payload.size();
    QByteArray f(17, '\0');
    f[0] = char(0x55);
    f[1] = char(0xAA);
    f[2] = char((n >> 8) & 0xFF);
    f[3] = char(n & 0xFF);
    f[4] = char(0x10);
    f[6] = char(0x08);
    f[9] = char(nCmd & 0xFF);
    f[11] = char(nReadOrWrite & 0xFF);
    f[13] = char(nSub & 0xFF);
    f.append(payload);
    const quint16 c = sum16(f.constData() + 2, f.size() - 2);
    f.append(char(c >> 8));
    f.append(char(c & 0xFF));
    return f;
}

// ------------------------------------------------------------------ TCP

bool CDeviceSimulator::listen(const QHostAddress &address, quint16 uPort)
{
    if (!m_pServer) {
        m_pServer = new QTcpServer(this);
        connect(m_pServer, &QTcpServer::newConnection, this, &CDeviceSimulator::slot_newConnection);
    }
    m_address = address;
    return m_pServer->listen(address, uPort);
}

bool CDeviceSimulator::listenOnOnePort(CDeviceSimulator &first, const QHostAddress &firstAddress,
                                       CDeviceSimulator &second, const QHostAddress &secondAddress)
{
    for (int i = 0; i < 20; ++i) {
        if (!first.listen(firstAddress, 0))
            continue;
        if (second.listen(secondAddress, first.port()))
            return true;
        first.m_pServer->close();
    }
    return false;
}

quint16 CDeviceSimulator::port() const
{
    return m_pServer ? m_pServer->serverPort() : 0;
}

bool CDeviceSimulator::hasClient() const
{
    for (Channel *pChannel : m_listChannel)
        if (pChannel->pSocket && pChannel->pSocket->state() == QAbstractSocket::ConnectedState)
            return true;
    return false;
}

void CDeviceSimulator::dropClients()
{
    for (Channel *pChannel : m_listChannel)
        if (pChannel->pSocket)
            pChannel->pSocket->disconnectFromHost();
}

void CDeviceSimulator::slot_newConnection()
{
    while (QTcpSocket *pSocket = m_pServer->nextPendingConnection()) {
        pSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        Channel *pChannel = new Channel;
        pChannel->nId = ++g_nChannelIds;
        pChannel->pSocket = pSocket;
        m_listChannel.append(pChannel);
        connect(pSocket, &QTcpSocket::readyRead, this, &CDeviceSimulator::slot_tcpReadyRead);
        connect(pSocket, &QTcpSocket::disconnected, this, [this, pSocket]() {
            for (int i = 0; i < m_listChannel.size(); ++i) {
                if (m_listChannel.at(i)->pSocket == pSocket) {
                    Channel *pGone = m_listChannel.takeAt(i);
                    if (pGone->bParsing)
                        pGone->bGone = true;
                    else
                        delete pGone;
                    break;
                }
            }
            pSocket->deleteLater();
            emit clientDisconnected();
        });
        emit clientConnected();
    }
}

void CDeviceSimulator::slot_tcpReadyRead()
{
    QTcpSocket *pSocket = qobject_cast<QTcpSocket *>(sender());
    for (Channel *pChannel : m_listChannel) {
        if (pChannel->pSocket == pSocket) {
            pChannel->buffer.append(pSocket->readAll());
            pChannel->bParsing = true;
            consume(pChannel);
            pChannel->bParsing = false;
            if (pChannel->bGone)
                delete pChannel;
            return;
        }
    }
}

// ------------------------------------------------------------------ UDP

QByteArray CDeviceSimulator::announcementDatagram(const QString &strText)
{
    const QByteArray text = strText.toUtf8();
    QByteArray d;
    d.append(char(0xAA));
    d.append(char(0x55));
    d.append(char((text.size() >> 8) & 0xFF));
    d.append(char(text.size() & 0xFF));
    d.append(text);
    const quint16 c = sum16(d.constData(), d.size());
    d.append(char(c >> 8));
    d.append(char(c & 0xFF));
    return d;
}

QString CDeviceSimulator::announcementText() const
{
    if (!m_strAnnounceText.isEmpty())
        return m_strAnnounceText;
    const QString strIp = m_address.isNull() ? QStringLiteral("127.0.0.1") : m_address.toString();
    return QString("%1:x:%2:%3").arg(strIp, deviceType(), m_strSerial);
}

void CDeviceSimulator::announce(quint16 uPort, const QHostAddress &target)
{
    if (!m_pUdp)
        m_pUdp = new QUdpSocket(this);
    m_pUdp->writeDatagram(announcementDatagram(announcementText()), target, uPort);
}

void CDeviceSimulator::startAnnouncing(quint16 uPort, int nIntervalMs, const QHostAddress &target)
{
    if (!m_pAnnounceTimer)
        m_pAnnounceTimer = new QTimer(this);
    m_pAnnounceTimer->disconnect();
    connect(m_pAnnounceTimer, &QTimer::timeout, this, [this, uPort, target]() { announce(uPort, target); });
    m_pAnnounceTimer->start(nIntervalMs);
    announce(uPort, target);
}

void CDeviceSimulator::stopAnnouncing()
{
    if (m_pAnnounceTimer)
        m_pAnnounceTimer->stop();
}

// ------------------------------------------------------------------ pty

bool CDeviceSimulator::openPty()
{
    closePty();
    const int nMaster = posix_openpt(O_RDWR | O_NOCTTY);
    if (nMaster < 0)
        return false;
    char name[128] = {0};
    if (grantpt(nMaster) != 0 || unlockpt(nMaster) != 0 || ptsname_r(nMaster, name, sizeof(name)) != 0) {
        ::close(nMaster);
        return false;
    }
    // Keep one handle of the slave side open, in raw mode: the line discipline then neither echoes
    // nor edits, and the master does not see a hang-up while the console has the port closed.
    const int nSlave = ::open(name, O_RDWR | O_NOCTTY);
    if (nSlave < 0) {
        ::close(nMaster);
        return false;
    }
    termios tio;
    if (tcgetattr(nSlave, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(nSlave, TCSANOW, &tio);
    }
    fcntl(nMaster, F_SETFL, fcntl(nMaster, F_GETFL) | O_NONBLOCK);
    m_nPtyMaster = nMaster;
    m_nPtySlave = nSlave;
    m_strPtyName = QString::fromLocal8Bit(name);
    m_pPtyChannel = new Channel;
    m_pPtyChannel->nId = ++g_nChannelIds;
    m_pPtyNotifier = new QSocketNotifier(nMaster, QSocketNotifier::Read, this);
    connect(m_pPtyNotifier, &QSocketNotifier::activated, this, &CDeviceSimulator::slot_ptyReadable);
    return true;
}

void CDeviceSimulator::closePty()
{
    delete m_pPtyNotifier;
    m_pPtyNotifier = nullptr;
    delete m_pPtyChannel;
    m_pPtyChannel = nullptr;
    if (m_nPtySlave >= 0)
        ::close(m_nPtySlave);
    if (m_nPtyMaster >= 0)
        ::close(m_nPtyMaster);
    m_nPtySlave = -1;
    m_nPtyMaster = -1;
    m_strPtyName.clear();
}

void CDeviceSimulator::slot_ptyReadable()
{
    if (m_nPtyMaster < 0 || !m_pPtyChannel)
        return;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_nPtyMaster, buf, sizeof(buf));
        if (n > 0) {
            m_pPtyChannel->buffer.append(buf, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    consume(m_pPtyChannel);
}

// ------------------------------------------------------------------ requests and replies

void CDeviceSimulator::consume(Channel *pChannel)
{
    QByteArray &b = pChannel->buffer;
    for (;;) {
        const int nStart = b.indexOf(QByteArray("\xAA\x55", 2));
        if (nStart < 0) {
            // keep a trailing AA that may start the next frame
            b = (b.endsWith(char(0xAA))) ? QByteArray(1, char(0xAA)) : QByteArray();
            return;
        }
        if (nStart > 0)
            b.remove(0, nStart);
        if (b.size() < 4)
            return;
        const int n = (uchar(b.at(2)) << 8) | uchar(b.at(3));
        if (b.size() < n + 19)
            return;
        const quint16 c = sum16(b.constData() + 2, 15 + n);
        const quint16 got = quint16((uchar(b.at(17 + n)) << 8) | uchar(b.at(18 + n)));
        if (c != got) {
            b.remove(0, 1);
            continue;
        }
        CSimRequest req;
        req.bytes = b.left(n + 19);
        req.nCmd = ((uchar(b.at(8)) << 8) | uchar(b.at(9)));
        req.nReadOrWrite = uchar(b.at(11));
        req.nSub = (uchar(b.at(12)) << 8) | uchar(b.at(13));
        req.payload = b.mid(17, n);
        req.nTimeMs = QDateTime::currentMSecsSinceEpoch() - m_nStartMs;
        req.bSerial = pChannel == m_pPtyChannel;
        b.remove(0, n + 19);
        handleRequest(pChannel, req);
        if (pChannel->bGone)
            return;
    }
}

void CDeviceSimulator::handleRequest(Channel *pChannel, const CSimRequest &req)
{
    m_listRequest.append(req);
    emit requestReceived(req.nCmd, req.nReadOrWrite, req.nSub);
    if (!m_bAnswering)
        return;
    if (m_nReplyDelayMs > 0) {
        const int nId = pChannel->nId;
        int nDelayMs = m_nReplyDelayMs;
        if (m_bAnswersInTurn) {
            const qint64 nNow = QDateTime::currentMSecsSinceEpoch() - m_nStartMs;
            m_nBusyUntilMs = std::max(m_nBusyUntilMs, nNow) + m_nReplyDelayMs;
            nDelayMs = int(m_nBusyUntilMs - nNow);
        }
        // A device answers in order: a coarse timer could let a later request's answer (a heartbeat's)
        // overtake this one.
        QTimer::singleShot(nDelayMs, Qt::PreciseTimer, this, [this, nId, req]() {
            if (Channel *c = channelById(nId))
                sendReply(c, req);
        });
        return;
    }
    sendReply(pChannel, req);
}

CDeviceSimulator::Channel *CDeviceSimulator::channelById(int nId) const
{
    // A reply made later goes to the channel of its request, if that one is still open.
    if (m_pPtyChannel && m_pPtyChannel->nId == nId)
        return m_pPtyChannel;
    for (Channel *c : m_listChannel)
        if (c->nId == nId)
            return c;
    return nullptr;
}

CDeviceSimulator::Fault CDeviceSimulator::takeFault(int nCmd)
{
    for (int i = 0; i < m_listFault.size(); ++i) {
        PendingFault &f = m_listFault[i];
        if (f.nCmd == nCmd || (f.nCmd == -1 && nCmd != 27)) {
            const Fault fault = f.fault;
            if (--f.nCount <= 0)
                m_listFault.removeAt(i);
            return fault;
        }
    }
    return NoFault;
}

void CDeviceSimulator::releaseLateAnswers()
{
    const QList<QPair<int, QByteArray>> listHeld = m_listLateHeld;
    m_listLateHeld.clear();
    for (const QPair<int, QByteArray> &held : listHeld) {
        --m_nLateAnswersPending;
        if (Channel *c = channelById(held.first))
            writeBytes(c, held.second);
    }
}

void CDeviceSimulator::injectOsdPacketFault(int nPacket, Fault fault)
{
    m_listOsdPacketFault.append(qMakePair(nPacket, fault));
}

void CDeviceSimulator::sendReply(Channel *pChannel, const CSimRequest &req)
{
    Fault fault = takeFault(req.nCmd);
    if (fault == NoFault && req.nCmd == 40 && req.nSub == 11 && req.payload.size() >= 5) {
        const QByteArray &p = req.payload;
        const int nPacket = int((quint32(uchar(p.at(1))) << 24) | (quint32(uchar(p.at(2))) << 16)
                                | (quint32(uchar(p.at(3))) << 8) | quint32(uchar(p.at(4))));
        for (int i = 0; i < m_listOsdPacketFault.size(); ++i) {
            if (m_listOsdPacketFault.at(i).first == nPacket) {
                fault = m_listOsdPacketFault.takeAt(i).second;
                break;
            }
        }
    }
    if (fault == NoAnswer)
        return;
    if (fault == TakenNoAnswer) {
        m_model.answer(req.nCmd, req.nReadOrWrite, req.nSub, req.payload);
        return;
    }
    if (fault == TakenLate || fault == RefusedLate) {
        const QByteArray frame =
            replyFrame(req.nCmd, req.nReadOrWrite, req.nSub,
                       fault == RefusedLate ? CSimDeviceModel::nak()
                                            : m_model.answer(req.nCmd, req.nReadOrWrite, req.nSub, req.payload));
        const int nId = pChannel->nId;
        ++m_nLateAnswersPending;
        if (m_nLateAnswerMs < 0) {
            m_listLateHeld.append(qMakePair(nId, frame));
            return;
        }
        QTimer::singleShot(m_nLateAnswerMs, this, [this, nId, frame]() {
            --m_nLateAnswersPending;
            if (Channel *c = channelById(nId))
                writeBytes(c, frame);
        });
        return;
    }
    if (fault == DropConnection) {
        // Deferred: the channel is still being read from.
        if (pChannel->pSocket)
            QTimer::singleShot(0, pChannel->pSocket, [pSocket = pChannel->pSocket]() { pSocket->disconnectFromHost(); });
        else
            QTimer::singleShot(0, this, [this]() { closePty(); });
        return;
    }
    QByteArray payload;
    bool bOverridden = false;
    for (int i = 0; i < m_listOverride.size(); ++i) {
        const Override &o = m_listOverride.at(i);
        if ((o.nCmd == -1 || o.nCmd == req.nCmd) && (o.nSub == -1 || o.nSub == req.nSub)) {
            payload = o.payload;
            m_listOverride.removeAt(i);
            bOverridden = true;
            break;
        }
    }
    if (fault == Nak || fault == NakAfterNext)
        payload = CSimDeviceModel::nak();
    else if (!bOverridden)
        payload = m_model.answer(req.nCmd, req.nReadOrWrite, req.nSub, req.payload);
    QByteArray frame = replyFrame(req.nCmd, req.nReadOrWrite, req.nSub, payload);
    switch (fault) {
    case BadCheck:
        frame[frame.size() - 1] = char(uchar(frame.at(frame.size() - 1)) + 1);
        break;
    case ForeignType: {
        frame[4] = char(0x08);
        const quint16 c = sum16(frame.constData() + 2, frame.size() - 4);
        frame[frame.size() - 2] = char(c >> 8);
        frame[frame.size() - 1] = char(c & 0xFF);
        break;
    }
    case GarbageBefore:
        frame.prepend(QByteArray("\x00\x13\x55\x37\xAA", 5));
        break;
    case MergeWithNext:
        pChannel->held.append(frame);
        return;
    case AfterNext:
    case NakAfterNext: pChannel->after.append(frame); return;
    default:
        break;
    }
    if (!pChannel->held.isEmpty()) {
        frame.prepend(pChannel->held);
        pChannel->held.clear();
    }
    frame += pChannel->after;
    pChannel->after.clear();
    if (fault == SplitBytes) {
        const int nId = pChannel->nId;
        for (int i = 0; i < frame.size(); ++i) {
            const QByteArray one = frame.mid(i, 1);
            QTimer::singleShot(i, this, [this, nId, one]() {
                if (m_pPtyChannel && m_pPtyChannel->nId == nId) {
                    writeBytes(m_pPtyChannel, one);
                    return;
                }
                for (Channel *c : m_listChannel)
                    if (c->nId == nId)
                        writeBytes(c, one);
            });
        }
        return;
    }
    writeBytes(pChannel, frame);
}

void CDeviceSimulator::writeBytes(Channel *pChannel, const QByteArray &bytes)
{
    if (pChannel->pSocket) {
        pChannel->pSocket->write(bytes);
        pChannel->pSocket->flush();
        return;
    }
    if (pChannel == m_pPtyChannel && m_nPtyMaster >= 0) {
        int nDone = 0;
        int nTries = 0;
        while (nDone < bytes.size() && nTries < 1000) {
            const ssize_t n = ::write(m_nPtyMaster, bytes.constData() + nDone, size_t(bytes.size() - nDone));
            if (n > 0) {
                nDone += int(n);
            } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                ++nTries;
                usleep(1000);
            } else {
                break;
            }
        }
    }
}

// ------------------------------------------------------------------ bookkeeping

QList<CSimRequest> CDeviceSimulator::requests(int nCmd, int nSub) const
{
    QList<CSimRequest> list;
    for (const CSimRequest &r : m_listRequest)
        if (r.nCmd == nCmd && (nSub == -1 || r.nSub == nSub))
            list.append(r);
    return list;
}

QList<CSimRequest> CDeviceSimulator::requestsWithoutHeartbeat() const
{
    QList<CSimRequest> list;
    for (const CSimRequest &r : m_listRequest)
        if (r.nCmd != 27)
            list.append(r);
    return list;
}

int CDeviceSimulator::requestCount(int nCmd) const
{
    int nCount = 0;
    for (const CSimRequest &r : m_listRequest)
        if ((nCmd == -1 && r.nCmd != 27) || r.nCmd == nCmd)
            ++nCount;
    return nCount;
}

void CDeviceSimulator::injectFault(Fault fault, int nCmd, int nCount)
{
    m_listFault.append({fault, nCmd, nCount});
}

void CDeviceSimulator::clearFaults()
{
    m_listFault.clear();
    m_listOsdPacketFault.clear();
    m_listOverride.clear();
}

void CDeviceSimulator::setNextReplyPayload(int nCmd, int nSub, const QByteArray &payload)
{
    m_listOverride.append({nCmd, nSub, payload});
}
