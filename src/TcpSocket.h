#ifndef TCPSOCKET_H
#define TCPSOCKET_H

// TCP transport of one device worker: writes the frames it is handed and delivers every chunk of
// received bytes. It adds no framing of its own (the worker reassembles replies).
// A connection attempt gives up after the connect time-out (3000 ms): the socket is aborted and
// error() is emitted.
// Frames handed over while the link is still coming up are held and written, in order, as soon as
// it is connected; if the attempt fails (error, time-out, disconnect or a new attempt) they are
// dropped with a log line. Writing into a socket that is still connecting would kill the attempt.

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

class CTcpSocket : public QObject
{
    Q_OBJECT
public:
    explicit CTcpSocket(QObject *parent = nullptr);
    ~CTcpSocket() override;

    QTcpSocket *getTcpSocket() const { return m_socket; }
    void tcpReConnected();

    // Connect time-out in milliseconds (3000 by default).
    void setConnectTimeout(int nMs);
    int connectTimeout() const;

signals:
    void receivedData(QByteArray data);
    void error(QString message);
    // Bytes were handed to the socket (the moment a frame really goes out, not when it was made).
    void sig_written();

public slots:
    void connectToServer(QString host, int port);
    void sendData(QByteArray data);
    void disconnectFromServer();

private slots:
    void readData();
    void displayError(QAbstractSocket::SocketError socketError);
    void slot_connectTimeout();
    void slot_connected();

private:
    void writeNow(const QByteArray &data);
    void dropPending(const char *pszWhy);

    QTcpSocket *m_socket = nullptr;
    QByteArray m_pendingData;   // frames waiting for the link to come up
    QTimer *m_pConnectTimer = nullptr;
    QString m_strIp;
    int m_nPort = 0;
};

#endif // TCPSOCKET_H
