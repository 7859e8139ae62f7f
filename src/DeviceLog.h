#ifndef DEVICELOG_H
#define DEVICELOG_H

// Diagnostic lines of the device link: "[yyyy-MM-dd HH:mm:ss]: " followed by the items separated
// by blanks, texts in double quotes, numbers plain; written at information level.

#include <QString>
#include <QVariant>
#include <initializer_list>

class CDeviceLog
{
public:
    static void write(std::initializer_list<QVariant> items);
    static QString format(std::initializer_list<QVariant> items);
    // Bytes as upper-case hex pairs separated by blanks.
    static QString hex(const QByteArray &data);
};

#endif // DEVICELOG_H
