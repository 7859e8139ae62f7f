#ifndef DEVICEFRAME_H
#define DEVICEFRAME_H

// Byte layout of the device command frames, widget-free.
//
// Request (console -> device), n + 19 bytes, multi-byte fields big-endian:
//   AA 55 | n(2) | 08 00 | 10 00 | cmd(2) | 00 | rw | sub(2) | sub==2 ? 1 : 0 | 00 00 | payload(n) | check(2)
// Reply (device -> console): the same layout starting 55 AA.
// The check is the 16-bit sum of bytes 2 .. 16 + n (start bytes and the check itself excluded).
//
// CDeviceFrameReader reassembles reply frames from a byte stream: a transport read may hold part
// of a frame, several frames, or garbage between frames.

#include <QByteArray>

class CDeviceFrame
{
public:
    enum {
        HeaderSize = 17,          // bytes before the payload
        Overhead = 19,            // header + check
        MaxRequestPayload = 0xFFFF,
        MaxReplyPayload = 1 + 255 * 23, // the largest reply: a layer read of 255 layers (5,866 bytes)
        TypeRequest = 1,          // window_pc
        TypeDevice = 2            // mcu_type
    };

    // The 16-bit sum of nLen bytes starting at pData.
    static quint16 sum16(const char *pData, int nLen);

    // A request frame; empty when the payload is longer than the length field can say.
    static QByteArray buildRequest(int nCmd, int nReadOrWrite, int nSub, const QByteArray &payload);

    // A frame with arbitrary start bytes and type field (used by the device simulator, tests and tools).
    static QByteArray buildFrame(quint8 uStart0, quint8 uStart1, quint16 uType1, quint16 uType2,
                                 int nCmd, int nReadOrWrite, int nSub, const QByteArray &payload);

    // A reply frame as a device sends it (type field 10 00, echoing the request's rw and sub).
    static QByteArray buildReply(int nCmd, int nReadOrWrite, int nSub, const QByteArray &payload);

    // Reads a 16-bit big-endian value at offset nOff of data (which must hold two bytes there).
    static int be16(const QByteArray &data, int nOff);
};

// One complete, check-verified reply frame, split into its fields.
struct CReplyFrame
{
    int nTypeByte = 0;     // frame byte 4
    int nCmd = -1;         // (byte 8 | byte 9) & 0xFF
    int nReadOrWrite = 0;  // byte 11
    int nSub = -1;         // (byte 12 | byte 13) & 0xFF
    QByteArray payload;    // exactly n bytes

    // Fills the fields from a whole frame (start bytes, length and check already tested).
    static CReplyFrame fromFrame(const QByteArray &frame);
    bool isAck() const;    // payload of at least 2 bytes beginning C5 C3
    bool isNak() const;    // payload of at least 2 bytes beginning C5 C0
    // The key of its request that the reply names in its first byte (the input of 31, the scene
    // of the scene, layer and scene-audio reads of 35, the output port of the port reads of 37),
    // -1 where it names none (another kind, an acknowledgement, an empty payload).
    int echoedKey() const;
    static bool echoesKey(int nCmd, int nSub, bool bRead);
};

class CDeviceFrameReader
{
public:
    enum Result {
        NeedMore,   // no complete frame buffered
        Frame,      // a complete frame with a correct check was taken out
        BadCheck    // a complete frame with a wrong check was found; one byte was dropped to resynchronise
    };

    explicit CDeviceFrameReader(quint8 uStart0 = 0x55, quint8 uStart1 = 0xAA,
                                int nMaxPayload = CDeviceFrame::MaxReplyPayload);

    // Appends received bytes. A partial frame left unfinished for longer than the stale time
    // (default 1000 ms) is given up first: its start pair is skipped and the bytes behind it are
    // searched again for whole frames.
    void append(const QByteArray &data);
    void append(const char *pData, int nLen);

    // Takes the next frame out of the buffer. On Frame, frame holds exactly one whole frame.
    Result next(QByteArray &frame);

    void clear();
    int buffered() const { return m_buffer.size() - m_nPos; }
    void setStaleMs(int nMs) { m_nStaleMs = nMs; }
    qint64 droppedBytes() const { return m_nDropped; }

private:
    enum {
        ReservedBytes = 16 * 1024,  // the array reserved for received bytes
        KeptBytes = 64 * 1024       // the largest array kept once every byte is read
    };

    void compact();
    void emptyBuffer();

    QByteArray m_buffer;
    int m_nPos = 0;            // first unconsumed byte of m_buffer
    quint8 m_uStart0;
    quint8 m_uStart1;
    int m_nMaxPayload;
    int m_nStaleMs = 1000;
    qint64 m_nDropped = 0;
    qint64 m_nLastDataMs = -1;  // when the last bytes arrived (monotonic ms); -1 before any
};

#endif // DEVICEFRAME_H
