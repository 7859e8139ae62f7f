#include "TcpSocket.h"

#include "DeviceLog.h"

#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

CTcpSocket::CTcpSocket(QObject *parent)
    : QObject(parent)
{
    m_socket = new QTcpSocket(this);
    m_socket->setProxy(QNetworkProxy::NoProxy);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);

    // The platform's own connect time-out is far longer than the console's 3000 ms.
    m_pConnectTimer = new QTimer(this);
    m_pConnectTimer->setSingleShot(true);
    m_pConnectTimer->setInterval(3000);
    connect(m_pConnectTimer, &QTimer::timeout, this, &CTcpSocket::slot_connectTimeout);
    connect(m_socket, &QTcpSocket::connected, m_pConnectTimer, &QTimer::stop);
    connect(m_socket, &QTcpSocket::connected, this, &CTcpSocket::slot_connected);
    connect(m_socket, &QTcpSocket::disconnected, this, [this]() { dropPending("the link was closed"); });

    connect(m_socket, &QTcpSocket::readyRead, this, &CTcpSocket::readData);
    connect(m_socket, &QAbstractSocket::errorOccurred,
            this, &CTcpSocket::displayError);
}

CTcpSocket::~CTcpSocket()
{
    m_pConnectTimer->stop();
}

void CTcpSocket::setConnectTimeout(int nMs)
{
    m_pConnectTimer->setInterval(nMs);
}

int CTcpSocket::connectTimeout() const
{
    return m_pConnectTimer->interval();
}

void CTcpSocket::connectToServer(QString host, int port)
{
    m_strIp = host;
    m_nPort = port;
    m_socket->abort();
    dropPending("a new connection attempt was started");
    m_pConnectTimer->start();
    m_socket->connectToHost(host, quint16(port), QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
}

void CTcpSocket::tcpReConnected()
{
    connectToServer(m_strIp, m_nPort);
}

void CTcpSocket::sendData(QByteArray data)
{
    if (data.isEmpty())
        return;
    switch (m_socket->state()) {
    case QAbstractSocket::ConnectedState:
        writeNow(data);
        break;
    case QAbstractSocket::HostLookupState:
    case QAbstractSocket::ConnectingState:
        m_pendingData.append(data); // written once connected
        break;
    default:
        CDeviceLog::write({QString("The device ") + m_strIp + QString(" send the data is failed!")});
        break;
    }
}

void CTcpSocket::writeNow(const QByteArray &data)
{
    if (m_socket->write(data) < 1) {
        CDeviceLog::write({QString("The device ") + m_strIp + QString(" send the data is failed!")});
        return;
    }
    m_socket->flush(); // one command in flight: do not wait for the next event loop pass to send it
    emit sig_written();
}

void CTcpSocket::slot_connected()
{
    if (m_pendingData.isEmpty())
        return;
    const QByteArray data = m_pendingData;
    m_pendingData.clear();
    writeNow(data);
}

void CTcpSocket::dropPending(const char *pszWhy)
{
    if (m_pendingData.isEmpty())
        return;
    CDeviceLog::write({QString("The device ") + m_strIp + QString(" dropped %1 unsent bytes: ").arg(m_pendingData.size())
                       + QString::fromLatin1(pszWhy)});
    m_pendingData.clear();
}

void CTcpSocket::disconnectFromServer()
{
    m_pConnectTimer->stop();
    dropPending("the link was closed");
    const QAbstractSocket::SocketState eState = m_socket->state();
    if (eState == QAbstractSocket::HostLookupState || eState == QAbstractSocket::ConnectingState) {
        // A plain disconnect only takes effect once the attempt succeeds: the link would come up
        // (connected() emitted) and drop again after the caller gave it up. Abandon it instead.
        m_socket->abort();
        return;
    }
    m_socket->disconnectFromHost();
}

void CTcpSocket::readData()
{
    const QByteArray data = m_socket->readAll();
    if (!data.isEmpty())
        emit receivedData(data);
}

void CTcpSocket::displayError(QAbstractSocket::SocketError socketError)
{
    Q_UNUSED(socketError);
    m_pConnectTimer->stop();
    dropPending("the link failed");
    emit error(m_socket->errorString());
}

void CTcpSocket::slot_connectTimeout()
{
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        return;
    m_socket->abort();
    dropPending("the connection attempt timed out");
    emit error(tr("Connection timed out"));
}
