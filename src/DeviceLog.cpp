#include "DeviceLog.h"

#include <QDateTime>
#include <QDebug>
#include <QLoggingCategory>

QString CDeviceLog::format(std::initializer_list<QVariant> items)
{
    QString strLine = QString("[%1]: ").arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss"));
    bool bFirst = true;
    for (const QVariant &v : items) {
        if (!bFirst)
            strLine += ' ';
        bFirst = false;
        if (v.type() == QVariant::String || v.type() == QVariant::ByteArray)
            strLine += '"' + v.toString() + '"';
        else
            strLine += v.toString();
    }
    return strLine;
}

void CDeviceLog::write(std::initializer_list<QVariant> items)
{
    if (!QLoggingCategory::defaultCategory()->isInfoEnabled())
        return;
    qInfo().noquote() << format(items);
}

QString CDeviceLog::hex(const QByteArray &data)
{
    return QString::fromLatin1(data.toHex(' ').toUpper());
}
