#include "serislport.h"

#include "BesMessageBox.h"
#include "DeviceLog.h"
#include "globalObserver.h"

#include <QSerialPort>

SerislPort::SerislPort(QWidget *parent)
    : QWidget(parent)
{
    m_serial = new QSerialPort();
    connect(m_serial, &QSerialPort::readyRead, this, &SerislPort::ReceivedSerialData);
    // Queued: the port is closed after it has finished reporting, never inside its own handler.
    connect(m_serial, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError eError) { slot_portError(int(eError)); }, Qt::QueuedConnection);
    globalObserver::getGlobalObserver()->attach("Slot_DisconnectSerialPort", this, "Slot_DisconnectSerialPort");
}

SerislPort::~SerislPort()
{
    globalObserver::getGlobalObserver()->detach("Slot_DisconnectSerialPort", this);
    if (m_serial->isOpen())
        m_serial->close();
    delete m_serial;
}

bool SerislPort::isOpen() const
{
    return m_serial->isOpen();
}

QString SerislPort::portName() const
{
    return m_serial->portName();
}

bool SerislPort::SerialPortInits(QString portName)
{
    if (m_serial->isOpen())
        m_serial->close();
    m_serial->setPortName(portName);
    if (m_serial->open(QIODevice::ReadWrite)) {
        m_serial->setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
        m_serial->setDataBits(QSerialPort::Data8);
        m_serial->setParity(QSerialPort::NoParity);
        m_serial->setStopBits(QSerialPort::OneStop);
        m_serial->setFlowControl(QSerialPort::NoFlowControl);
        m_serial->setDataTerminalReady(true); // fails harmlessly on a pseudo terminal
        m_serial->clearError();
        return true;
    }
    CDeviceLog::write({QString("serial port"), portName, QString("open failed:"), m_serial->errorString()});
    globalObserver::getGlobalObserver()->notify("slot_setButtonEnable");
    BesMessageBox::information(tr("串口打开失败"), tr("串口线松动，请重新插拔！"));
    emit SerialConnectState();
    return false;
}

void SerislPort::SendSerialData(QByteArray data)
{
    if (!m_serial->isOpen())
        return;
    if (m_serial->write(data) < 1)
        CDeviceLog::write({QString("serial port"), m_serial->portName(), QString("write failed:"), m_serial->errorString()});
    m_serial->flush(); // one command in flight: do not wait for the next event loop pass to send it
    emit sig_written();
}

void SerislPort::takeInPending()
{
    if (!m_serial->isOpen())
        return;
    // Reads what the port has buffered already (readyRead then delivers it), without waiting.
    if (!m_serial->waitForReadyRead(0))
        m_serial->clearError(); // nothing there: not a failure of the line
    ReceivedSerialData();
}

void SerislPort::ReceivedSerialData()
{
    const QByteArray data = m_serial->readAll();
    if (!data.isEmpty())
        emit receivedData(data);
}

void SerislPort::slot_portError(int nError)
{
    switch (QSerialPort::SerialPortError(nError)) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    case QSerialPort::OpenError:        // reported by SerialPortInits
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::NotOpenError:
    case QSerialPort::UnsupportedOperationError: // DTR on a pseudo terminal
        return;
    default:
        break;
    }
    if (!m_serial->isOpen())
        return;
    // The line is gone (a pulled cable reports a resource error; a far end that hung up makes
    // every read fail): a port left open would be polled without end.
    closeLostLine(m_serial->errorString());
}

void SerislPort::closeLostLine(const QString &strMessage)
{
    if (!m_serial->isOpen())
        return;
    CDeviceLog::write({QString("serial port"), m_serial->portName(), QString("failed, closed:"), strMessage});
    m_serial->clearError();
    m_serial->close();
    emit LineLost(strMessage);
    emit CloseSerialPort();
}

void SerislPort::Slot_DisconnectSerialPort()
{
    if (!m_serial->isOpen())
        return;
    m_serial->close();
    emit CloseSerialPort();
}
