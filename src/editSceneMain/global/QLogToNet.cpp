#include "QLogToNet.h"

#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

#include <atomic>

class QLogToNet::QLogToNetPrivate
{
public:
    mutable QMutex m_mutex;
    QTcpServer *mp_server = nullptr;
    QList<QTcpSocket *> m_lstTcpSocket;
    quint16 m_port = 0;
    std::atomic<quint16> m_listenPort{0};
};

QLogToNet::QLogToNet(quint16 port, QObject *parent)
    : QObject(parent), d(new QLogToNetPrivate)
{
    d->m_port = port;
    d->mp_server = new QTcpServer(this);
    connect(d->mp_server, &QTcpServer::newConnection, this, &QLogToNet::slot_newConnection);
}

QLogToNet::~QLogToNet()
{
    if (d->mp_server->isListening())
        d->mp_server->close();
    delete d;
}

void QLogToNet::slot_listen()
{
    if (d->mp_server->isListening())
        return;
    // A failure to listen (port taken) is not reported: logging stays local.
    if (d->mp_server->listen(QHostAddress::LocalHost, d->m_port))
        d->m_listenPort = d->mp_server->serverPort();
}

quint16 QLogToNet::serverPort() const
{
    return d->m_listenPort;
}

int QLogToNet::clientCount() const
{
    QMutexLocker locker(&d->m_mutex);
    return d->m_lstTcpSocket.size();
}

void QLogToNet::slot_newConnection()
{
    QMutexLocker locker(&d->m_mutex);
    while (d->mp_server->hasPendingConnections()) {
        QTcpSocket *socket = d->mp_server->nextPendingConnection();
        connect(socket, &QTcpSocket::disconnected, this, &QLogToNet::slot_disconnected);
        d->m_lstTcpSocket.append(socket);
    }
}

void QLogToNet::slot_disconnected()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (!socket)
        return;
    QMutexLocker locker(&d->m_mutex);
    d->m_lstTcpSocket.removeAll(socket);
    socket->deleteLater();
}

void QLogToNet::slot_toNet(const QString &log)
{
    const QByteArray bytes = log.toUtf8();
    QMutexLocker locker(&d->m_mutex);
    for (QTcpSocket *socket : qAsConst(d->m_lstTcpSocket)) {
        socket->write(bytes);
        socket->flush();
    }
}
