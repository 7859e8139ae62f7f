#ifndef SERISLPORT_H
#define SERISLPORT_H

// Serial transport of one device worker: 115200 baud, 8N1, no flow control, DTR on. It writes
// the frames it is handed and delivers every chunk of received bytes; the worker reassembles
// replies. Attached to the hub topic "Slot_DisconnectSerialPort", which closes every open port.
// A port that fails while open (the line pulled, its far end gone) is closed at once and
// reported: LineLost, then CloseSerialPort, as for a port closed on purpose. So is a line whose
// device answers nothing (closeLostLine, which its worker decides).

#include <QByteArray>
#include <QString>
#include <QWidget>

class QSerialPort;

class SerislPort : public QWidget
{
    Q_OBJECT
public:
    explicit SerislPort(QWidget *parent = nullptr);
    ~SerislPort() override;

    // Opens the named port; false (after the operator's message) when it cannot be opened.
    bool SerialPortInits(QString portName);
    bool isOpen() const;
    QString portName() const;
    // Delivers at once what the line holds already (bytes this thread was too busy to take in).
    void takeInPending();
    // The line is lost (its far end answers nothing): closed and reported as a failed line.
    void closeLostLine(const QString &strMessage);

signals:
    void receivedData(QByteArray data);
    void SerialConnectState();
    void CloseSerialPort();
    void LineLost(QString message);
    // A frame was written to the line (the moment it really goes out, not when it was made).
    void sig_written();

public slots:
    void Slot_DisconnectSerialPort();
    void SendSerialData(QByteArray data);

private slots:
    void ReceivedSerialData();
    void slot_portError(int nError);

private:
    QSerialPort *m_serial = nullptr;
};

#endif // SERISLPORT_H
