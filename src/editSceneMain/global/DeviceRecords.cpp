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
    s_listHolders.removeAll(this);
}
