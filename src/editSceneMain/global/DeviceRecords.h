#ifndef DEVICERECORDS_H
#define DEVICERECORDS_H

// Where panels find a device's records: by its serial.
//
// A device worker keeps the records of its device (identity, name and counts, live settings,
// output ports, the audio of each stored scene) and is listed here while it exists. A page or a
// dialog keeps the serial of the device it shows, never a pointer into its records across an
// event-loop turn (the worker, and with it the records, may go meanwhile), and looks the records
// up here at the moment it reads them. What it finds is read only: the worker alone writes its
// records, from what the device answers (reads and acknowledged writes).
//
//   const CDeviceRecords *pDevice = CDeviceRecords::find(m_strSerial);
//   const int nMax = pDevice ? pDevice->deviceRecord()->nSceneMax : 0;
//
// GUI thread only.

#include <QList>
#include <QMap>
#include <QString>

#include "QorGlobal.h"

// One output port as the device holds it; each group is known once it was read or acknowledged.
struct COutputPortRecord
{
    bool bResolution = false;   // standard index (255 custom), width, height, refresh rate
    int nStandard = 0, nWidth = 0, nHeight = 0, nHz = 0;
    bool bTiming = false;       // horizontal active, total, start, end; vertical the same; max rate
    int anTiming[9] = {};
    bool bDelay = false;
    int nDelay = 0;
    bool bNoise = false;
    int nNoise = 0;
};

// The device's output ports: their count and type text (count -1 until read), and each port.
struct COutputsRecord
{
    int nPortCount = -1;
    QString strPortType;
    QMap<int, COutputPortRecord> ports;   // by port number (1..)
};

// The audio of one stored scene; -1 where the device was not asked yet.
struct CSceneAudioRecord
{
    int nSource = -1;
    int nVolume = -1;
};

class CDeviceRecords
{
public:
    virtual QString recordSerial() const = 0;
    // Never null while the records are listed.
    virtual const DeviceInfo *deviceRecord() const = 0;
    virtual const SystemInfo *systemRecord() const = 0;
    // False until the device's live settings were read: the system record holds no values yet.
    virtual bool systemRecordRead() const = 0;
    // The input the device shows as its main source: none before its live settings are read, nor
    // when none of its inputs is the main source.
    const InputSource *liveMainInput() const
    {
        return systemRecordRead() ? deviceRecord()->findInput(systemRecord()->nMainSignumber) : nullptr;
    }
    // The device's own name (not its model); false until read or a write of it acknowledged.
    virtual bool deviceNameRecord(QString &strName) const = 0;
    virtual const COutputsRecord &outputsRecord() const = 0;
    // The audio of stored scene nScene, or null when nothing of it is known.
    virtual const CSceneAudioRecord *sceneAudioRecord(int nScene) const = 0;
    // How notices name the device: one on the network by its address and serial, one on a
    // serial line by its port.
    virtual QString noticeName() const = 0;

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
