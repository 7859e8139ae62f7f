#ifndef OSDBITMAP_H
#define OSDBITMAP_H

// The one-bit OSD bitmap the device shows, and the payloads that carry it.
//
// Pixels go row by row from the top, left to right within a row; each run of
// eight pixels is one byte whose least significant bit is the leftmost pixel.
// A pixel is lit when its green component is at least 50. Multi-byte numbers
// are big-endian.

#include <QByteArray>
#include <QColor>
#include <QImage>

class COSDBitmap
{
public:
    enum { PacketSize = 128 };

    // What the OSD parameter command carries.
    struct Params
    {
        int nIndex = 0;        // device OSD slot
        int nFontTrans = 255;  // text alpha
        int nBkTrans = 255;    // background alpha of the item
        int nSpeed = 0;        // the item's scroll speed
        int nX = 0, nY = 0, nW = 0, nH = 0;
        QColor fontColor;
        QColor bkColor;
    };

    // The packed bitmap of an image (its whole size).
    static QByteArray pack(const QImage &image);
    // Byte and packet counts for a bitmap of w x h pixels.
    static int byteCount(int nWidth, int nHeight);
    static int packetCount(int nBytes);

    // Sub-command 1: the 19-byte OSD parameters.
    static QByteArray paramsPayload(const Params &params);
    // Sub-command 2: OSD off (0) or on (1).
    static QByteArray switchPayload(int nIndex, bool bOn);
    // Sub-command 10: packet and byte counts.
    static QByteArray headerPayload(int nIndex, int nPackets, int nBytes);
    // Sub-command 11: packet nPacket of the bitmap (empty when it has no such packet).
    static QByteArray packetPayload(int nIndex, const QByteArray &bitmap, int nPacket);
    // Sub-command 12: end of the bitmap.
    static QByteArray endPayload(int nIndex);
};

#endif // OSDBITMAP_H
