#ifndef REPLYBYTES_H
#define REPLYBYTES_H

#include <QByteArray>

// Byte readers for reply payloads. Callers check the payload's size first.
namespace ReplyBytes {

inline int u8(const QByteArray &p, int i)
{
    return uchar(p.at(i));
}

inline int be16(const QByteArray &p, int i)
{
    return (uchar(p.at(i)) << 8) | uchar(p.at(i + 1));
}

} // namespace ReplyBytes

#endif // REPLYBYTES_H
