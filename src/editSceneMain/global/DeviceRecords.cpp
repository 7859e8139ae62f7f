#include "DeviceRecords.h"

QList<CDeviceRecords *> CDeviceRecords::s_listHolders;

CDeviceRecords::~CDeviceRecords()
{
    unlistRecords();
}

const CDeviceRecords *CDeviceRecords::find(const QString &strSerial)
{
    if (strSerial.isEmpty())
        return nullptr;
    for (const CDeviceRecords *pHolder : qAsConst(s_listHolders))
        if (pHolder->recordSerial() == strSerial)
            return pHolder;
    return nullptr;
}

void CDeviceRecords::listRecords()
{
    if (!s_listHolders.contains(this))
        s_listHolders.append(this);
}

void CDeviceRecords::unlistRecords()
{
    // Listed once at most: the search ends where it is found, at once for holders that go in
    // the order they came (the device list's workers at close).
    s_listHolders.removeOne(this);
}
