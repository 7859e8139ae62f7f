#ifndef OSDREPLYSINK_H
#define OSDREPLYSINK_H

// The hand-off between a device worker and the OSD bitmap transfer.
//
// The transfer that sends a bitmap keeps every bit of its state (packets, the one in flight,
// phase, re-sends). The worker keeps none: it hands the replies to the transfer's commands and
// the loss of its link to the sink that takes its device's OSD replies, found here by the
// device serial. At most one sink takes replies at a time, those of one device; a sink takes
// them from when it calls receiveFrom() until it calls stopReceiving(), or goes.
//
// Every call runs on the GUI thread.

#include <QString>

class COsdReplySink
{
public:
    // A sink that goes away stops taking replies, so no worker can call a destroyed sink.
    virtual ~COsdReplySink();

    // The reply to the bitmap header (OSD sub-command 10).
    virtual void headerAnswered() = 0;
    // A reply to a packet (sub-command 11): taken, or refused (another status, or a NAK).
    virtual void packetAnswered(bool bTaken) = 0;
    // The reply to the end command (sub-command 12).
    virtual void endAnswered() = 0;
    // The device took an OSD switch (sub-command 2 written): on or off.
    virtual void switchTaken(bool bOn) = 0;
    // The device's link went down.
    virtual void linkLost() = 0;
    // The packet the device is asked to take (counted from 0), for the worker's log.
    virtual int packetInFlight() const = 0;

    // The sink taking the OSD replies of the device with that serial, or null.
    static COsdReplySink *forDevice(const QString &strSerial);

protected:
    // This sink takes the OSD replies of the device strSerial from now on, in place of any other.
    void receiveFrom(const QString &strSerial);
    // It takes none any more (nothing changes when another sink took over meanwhile).
    void stopReceiving();

private:
    static COsdReplySink *s_pReceiver;
    static QString s_strSerial;
};

#endif // OSDREPLYSINK_H
