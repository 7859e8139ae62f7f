#include "OSDBitmap.h"
#include "WireBytes.h"

#include <algorithm>

using WireBytes::appendBe16;

namespace {
void put32(QByteArray &out, qint64 v)
{
    const quint32 u = quint32(v);
    out.append(char((u >> 24) & 0xFF));
    out.append(char((u >> 16) & 0xFF));
    out.append(char((u >> 8) & 0xFF));
    out.append(char(u & 0xFF));
}
}

QByteArray COSDBitmap::pack(const QImage &image)
{
    if (image.isNull())
        return QByteArray();
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const int w = img.width();
    const int h = img.height();
    QByteArray out(byteCount(w, h), '\0');
    uchar *pOut = reinterpret_cast<uchar *>(out.data());
    qint64 nBit = 0;
    for (int y = 0; y < h; ++y) {
        const QRgb *pLine = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < w; ++x, ++nBit) {
            if (qGreen(pLine[x]) >= 50)
                pOut[nBit >> 3] |= uchar(1u << (nBit & 7));
        }
    }
    return out;
}

int COSDBitmap::byteCount(int nWidth, int nHeight)
{
    if (nWidth <= 0 || nHeight <= 0)
        return 0;
    const qint64 nBits = qint64(nWidth) * nHeight;
    return int((nBits + 7) / 8);
}

int COSDBitmap::packetCount(int nBytes)
{
    return nBytes <= 0 ? 0 : (nBytes + PacketSize - 1) / PacketSize;
}

QByteArray COSDBitmap::paramsPayload(const Params &p)
{
    QByteArray out;
    out.append(char(p.nIndex & 0xFF));
    out.append(char(0));
    out.append(char(p.nFontTrans & 0xFF));
    out.append(char(p.nBkTrans & 0xFF));
    out.append(char(p.nSpeed & 0xFF));
    appendBe16(out, p.nX);
    appendBe16(out, p.nY);
    appendBe16(out, p.nW);
    appendBe16(out, p.nH);
    out.append(char(p.fontColor.red()));
    out.append(char(p.fontColor.green()));
    out.append(char(p.fontColor.blue()));
    out.append(char(p.bkColor.red()));
    out.append(char(p.bkColor.green()));
    out.append(char(p.bkColor.blue()));
    return out;
}

QByteArray COSDBitmap::switchPayload(int nIndex, bool bOn)
{
    QByteArray out;
    out.append(char(bOn ? 1 : 0));
    out.append(char(nIndex & 0xFF));
    return out;
}

QByteArray COSDBitmap::headerPayload(int nIndex, int nPackets, int nBytes)
{
    QByteArray out;
    out.append(char(nIndex & 0xFF));
    put32(out, nPackets);
    put32(out, nBytes);
    return out;
}

QByteArray COSDBitmap::packetPayload(int nIndex, const QByteArray &bitmap, int nPacket)
{
    const int nPackets = packetCount(bitmap.size());
    if (nPacket < 0 || nPacket >= nPackets)
        return QByteArray();
    const int nFrom = nPacket * PacketSize;
    const int n = std::min<int>(PacketSize, bitmap.size() - nFrom);
    QByteArray out;
    out.reserve(7 + n);
    out.append(char(nIndex & 0xFF));
    put32(out, nPacket);
    appendBe16(out, n);
    out.append(bitmap.constData() + nFrom, n);
    return out;
}

QByteArray COSDBitmap::endPayload(int nIndex)
{
    return QByteArray(1, char(nIndex & 0xFF));
}
