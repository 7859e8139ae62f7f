#ifndef DEVICERECORDS_H
#define DEVICERECORDS_H

// Where panels find a device's records: by its serial.
//
// A device worker keeps the records of its device (identity and counts, live settings) and is
// listed here while it exists. A page or a dialog keeps the serial of the device it shows, never
// a pointer into its records across an event-loop turn (the worker, and with it the records, may
// go meanwhile), and looks the records up here at the moment it reads them. What it finds is read
// only: the worker alone writes its records, from what the device answers.
//
//   const CDeviceRecords *pDevice = CDeviceRecords::find(m_strSerial);
//   const int nMax = pDevice ? pDevice->deviceRecord()->nSceneMax : 0;
//
// GUI thread only.

#include <QList>
#include <QString>

#include "QorGlobal.h"

class CDeviceRecords
{
public:
    virtual QString recordSerial() const = 0;
    // Never null while the records are listed.
    virtual const DeviceInfo *deviceRecord() const = 0;
    virtual const SystemInfo *systemRecord() const = 0;

    // The records of the device with that serial (the first listed for it), or null.
    static const CDeviceRecords *find(const QString &strSerial);

protected:
    CDeviceRecords() = default;
    CDeviceRecords(const CDeviceRecords &) = delete;
    CDeviceRecords &operator=(const CDeviceRecords &) = delete;
    virtual ~CDeviceRecords();

    // Lists the records (found by the serial recordSerial() gives at each look-up) or takes them
    // off the list. A holder takes them off before it frees them.
    void listRecords();
    void unlistRecords();

private:
    static QList<CDeviceRecords *> s_listHolders; // in the order they were listed
};

#endif // DEVICERECORDS_H
