#ifndef WIREBYTES_H
#define WIREBYTES_H

#include <QByteArray>

// Byte readers for reply payloads and writers for command payloads; numbers on the wire are
// big-endian. Readers' callers check the payload's size first.
namespace WireBytes {

inline int u8(const QByteArray &p, int i)
{
    return uchar(p.at(i));
}

inline int be16(const QByteArray &p, int i)
{
    return (uchar(p.at(i)) << 8) | uchar(p.at(i + 1));
}

// The low 16 bits of v, high byte first.
inline void appendBe16(QByteArray &out, int v)
{
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
}

} // namespace WireBytes

#endif // WIREBYTES_H
