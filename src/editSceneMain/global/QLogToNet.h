#ifndef QLOGTONET_H
#define QLOGTONET_H

#include <QObject>
#include <QString>

// The log server: every connected TCP client receives each later log text as
// UTF-8, concatenated without separators. Listens on the loopback interface
// only; it lives in a thread of its own and starts listening there.
class QLogToNet : public QObject
{
    Q_OBJECT
public:
    explicit QLogToNet(quint16 port, QObject *parent = nullptr);
    ~QLogToNet() override;

    // The port actually listened on (0 until listening, or when that failed).
    quint16 serverPort() const;
    int clientCount() const;

public slots:
    // Starts listening; called in the server's own thread.
    void slot_listen();
    void slot_toNet(const QString &log);

private slots:
    void slot_newConnection();
    void slot_disconnected();

private:
    class QLogToNetPrivate;
    QLogToNetPrivate *d;
};

#endif // QLOGTONET_H
