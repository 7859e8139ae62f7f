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
    if (m_serial->isOpen())
        m_serial->write(data);
}

void SerislPort::ReceivedSerialData()
{
    const QByteArray data = m_serial->readAll();
    if (!data.isEmpty())
        emit receivedData(data);
}

void SerislPort::Slot_DisconnectSerialPort()
{
    if (!m_serial->isOpen())
        return;
    m_serial->close();
    emit CloseSerialPort();
}
