#include "OsdReplySink.h"

COsdReplySink *COsdReplySink::s_pReceiver = nullptr;
QString COsdReplySink::s_strSerial;

COsdReplySink::~COsdReplySink()
{
    stopReceiving();
}

COsdReplySink *COsdReplySink::forDevice(const QString &strSerial)
{
    return s_pReceiver && s_strSerial == strSerial ? s_pReceiver : nullptr;
}

void COsdReplySink::receiveFrom(const QString &strSerial)
{
    s_pReceiver = this;
    s_strSerial = strSerial;
}

void COsdReplySink::stopReceiving()
{
    if (s_pReceiver != this)
        return;
    s_pReceiver = nullptr;
    s_strSerial.clear();
}
