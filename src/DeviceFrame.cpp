#include "DeviceFrame.h"

#include <QElapsedTimer>

#include <cstring>
#include <time.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {
// Milliseconds of a monotonic clock, read once for every received chunk. The
// stale rule works in hundreds of milliseconds, so the coarse clock (a few
// milliseconds' resolution, a fraction of the cost) is enough where there is one.
qint64 monotonicMs()
{
#ifdef CLOCK_MONOTONIC_COARSE
    timespec ts;
    if (clock_gettime(CLOCK_MONOTONIC_COARSE, &ts) == 0)
        return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
#endif
    static const QElapsedTimer s_clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return s_clock.elapsed();
}
}

quint16 CDeviceFrame::sum16(const char *pData, int nLen)
{
    const uchar *p = reinterpret_cast<const uchar *>(pData);
    quint32 uSum = 0;
    int i = 0;
#ifdef __SSE2__
    // Sixteen bytes at a time: the sum of absolute differences against zero adds
    // each half's eight bytes into a 64-bit lane, which cannot overflow here.
    // The last part of fewer than sixteen bytes is read as the last sixteen
    // bytes, those summed already masked off.
    if (nLen >= 16) {
        alignas(16) static const uchar kTailMask[32] = {
            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        const __m128i zero = _mm_setzero_si128();
        __m128i sums = zero;
        for (; nLen - i >= 16; i += 16)
            sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i)), zero));
        if (i < nLen) {
            const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + nLen - 16));
            const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i *>(kTailMask + (nLen - i)));
            sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_and_si128(last, mask), zero));
            i = nLen;
        }
        sums = _mm_add_epi64(sums, _mm_srli_si128(sums, 8));
        uSum = quint32(_mm_cvtsi128_si32(sums));
    }
#endif
    // Eight bytes at a time: four 16-bit lanes take two bytes each per step (at
    // most 510), and are folded into the sum before 128 steps could overflow them.
    const quint64 uMask = Q_UINT64_C(0x00FF00FF00FF00FF);
    while (nLen - i >= 8) {
        const int nSteps = qMin((nLen - i) / 8, 128);
        quint64 uLanes = 0;
        for (int k = 0; k < nSteps; ++k, i += 8) {
            quint64 uWord;
            std::memcpy(&uWord, p + i, sizeof uWord);
            uLanes += (uWord & uMask) + ((uWord >> 8) & uMask);
        }
        uSum += quint32((uLanes & 0xFFFF) + ((uLanes >> 16) & 0xFFFF) + ((uLanes >> 32) & 0xFFFF) + (uLanes >> 48));
    }
    for (; i < nLen; ++i)
        uSum += p[i];
    return quint16(uSum & 0xFFFF);
}

QByteArray CDeviceFrame::buildFrame(quint8 uStart0, quint8 uStart1, quint16 uType1, quint16 uType2,
                                    int nCmd, int nReadOrWrite, int nSub, const QByteArray &payload)
{
    const int n = payload.size();
    if (n > MaxRequestPayload)
        return QByteArray();
    QByteArray frame(n + Overhead, '\0');
    uchar *p = reinterpret_cast<uchar *>(frame.data());
    p[0] = uStart0;
    p[1] = uStart1;
    p[2] = uchar(n >> 8);
    p[3] = uchar(n);
    p[4] = uchar(uType1 >> 8);
    p[5] = uchar(uType1);
    p[6] = uchar(uType2 >> 8);
    p[7] = uchar(uType2);
    p[8] = uchar((nCmd >> 8) & 0xFF);
    p[9] = uchar(nCmd & 0xFF);
    p[10] = 0;
    p[11] = uchar(nReadOrWrite & 0xFF);
    p[12] = uchar((nSub >> 8) & 0xFF);
    p[13] = uchar(nSub & 0xFF);
    p[14] = (nSub == 2) ? 1 : 0;
    p[15] = 0;
    p[16] = 0;
    if (n > 0)
        std::memcpy(p + HeaderSize, payload.constData(), size_t(n));
    const quint16 uCheck = sum16(frame.constData() + 2, HeaderSize - 2 + n);
    p[HeaderSize + n] = uchar(uCheck >> 8);
    p[HeaderSize + n + 1] = uchar(uCheck);
    return frame;
}

QByteArray CDeviceFrame::buildRequest(int nCmd, int nReadOrWrite, int nSub, const QByteArray &payload)
{
    return buildFrame(0xAA, 0x55, quint16(TypeRequest << 11), quint16(TypeDevice << 11),
                      nCmd, nReadOrWrite, nSub, payload);
}

QByteArray CDeviceFrame::buildReply(int nCmd, int nReadOrWrite, int nSub, const QByteArray &payload)
{
    return buildFrame(0x55, 0xAA, quint16(TypeDevice << 11), quint16(TypeRequest << 11),
                      nCmd, nReadOrWrite, nSub, payload);
}

int CDeviceFrame::be16(const QByteArray &data, int nOff)
{
    return (uchar(data.at(nOff)) << 8) | uchar(data.at(nOff + 1));
}

CReplyFrame CReplyFrame::fromFrame(const QByteArray &frame)
{
    CReplyFrame r;
    if (frame.size() < CDeviceFrame::Overhead)
        return r;
    const uchar *p = reinterpret_cast<const uchar *>(frame.constData());
    const int n = (p[2] << 8) | p[3];
    if (frame.size() < n + CDeviceFrame::Overhead)
        return r;
    r.nTypeByte = p[4];
    r.nCmd = (p[8] | p[9]) & 0xFF;
    r.nReadOrWrite = p[11];
    r.nSub = (p[12] | p[13]) & 0xFF;
    r.payload = QByteArray(frame.constData() + CDeviceFrame::HeaderSize, n);
    return r;
}

bool CReplyFrame::isAck() const
{
    return payload.size() >= 2 && uchar(payload[0]) == 0xC5 && uchar(payload[1]) == 0xC3;
}

bool CReplyFrame::isNak() const
{
    return payload.size() >= 2 && uchar(payload[0]) == 0xC5 && uchar(payload[1]) == 0xC0;
}

bool CReplyFrame::echoesKey(int nCmd, int nSub, bool bRead)
{
    switch (nCmd) {
    case 31: // input settings: [input, ...] whatever the sub-command
        return true;
    case 35: // scene read, layer read, scene audio source and volume: [scene, ...]
        return bRead && (nSub == 0 || nSub == 80 || nSub == 50 || nSub == 51);
    case 37: // one output port's resolution, timing, delay, noise cancellation: [port, ...]
        return bRead && (nSub == 10 || nSub == 20 || nSub == 21 || nSub == 22);
    default:
        return false;
    }
}

int CReplyFrame::echoedKey() const
{
    if (payload.isEmpty() || isAck() || isNak() || !echoesKey(nCmd, nSub, nReadOrWrite == 1))
        return -1;
    return uchar(payload.at(0));
}

CDeviceFrameReader::CDeviceFrameReader(quint8 uStart0, quint8 uStart1, int nMaxPayload)
    : m_uStart0(uStart0), m_uStart1(uStart1), m_nMaxPayload(nMaxPayload)
{
}

void CDeviceFrameReader::append(const QByteArray &data)
{
    append(data.constData(), data.size());
}

void CDeviceFrameReader::append(const char *pData, int nLen)
{
    if (nLen <= 0)
        return;
    const qint64 nNow = monotonicMs();
    if (buffered() > 0 && m_nLastDataMs >= 0 && m_nStaleMs > 0 && nNow - m_nLastDataMs > m_nStaleMs) {
        // The frame in front stopped arriving: give up its start pair only. Whole frames that a
        // corrupted length field made us wait behind are still found by the resynchronisation.
        ++m_nPos;
        ++m_nDropped;
    }
    m_nLastDataMs = nNow;
    // Move the unread rest to the front only now and then, not on every read.
    if (m_nPos > 0 && (m_nPos >= m_buffer.size() || m_nPos > 65536 || m_nPos > m_buffer.size() / 2))
        compact();
    if (m_buffer.capacity() == 0)
        m_buffer.reserve(qMax(nLen, int(ReservedBytes)));
    m_buffer.append(pData, nLen);
}

void CDeviceFrameReader::clear()
{
    emptyBuffer();
    m_nPos = 0;
}

void CDeviceFrameReader::emptyBuffer()
{
    // A reserved array of modest size is kept for the next bytes, so that reads
    // do not allocate one each; a large one is let go.
    if (m_buffer.capacity() > KeptBytes)
        m_buffer.clear();
    else
        m_buffer.resize(0);
}

void CDeviceFrameReader::compact()
{
    if (m_nPos == 0)
        return;
    if (m_nPos >= m_buffer.size())
        emptyBuffer();
    else
        m_buffer.remove(0, m_nPos);
    m_nPos = 0;
}

CDeviceFrameReader::Result CDeviceFrameReader::next(QByteArray &frame)
{
    for (;;) {
        const int nSize = m_buffer.size();
        const uchar *p = reinterpret_cast<const uchar *>(m_buffer.constData());
        // Resynchronise: skip to the next start pair.
        int i = m_nPos;
        while (i + 1 < nSize && !(p[i] == m_uStart0 && p[i + 1] == m_uStart1))
            ++i;
        if (i + 1 >= nSize) {
            // Keep a lone last byte that may begin the next start pair.
            const int nKeep = (i < nSize && p[i] == m_uStart0) ? 1 : 0;
            m_nDropped += (nSize - nKeep) - m_nPos;
            m_nPos = nSize - nKeep;
            compact();
            return NeedMore;
        }
        m_nDropped += i - m_nPos;
        m_nPos = i;
        if (nSize - m_nPos < 4)
            return NeedMore;
        const int n = (p[m_nPos + 2] << 8) | p[m_nPos + 3];
        if (n > m_nMaxPayload) {
            // Not a believable frame: the start pair was part of something else.
            ++m_nPos;
            ++m_nDropped;
            continue;
        }
        const int nFrame = n + CDeviceFrame::Overhead;
        if (nSize - m_nPos < nFrame)
            return NeedMore;
        const quint16 uSum = CDeviceFrame::sum16(m_buffer.constData() + m_nPos + 2, CDeviceFrame::HeaderSize - 2 + n);
        const int nEnd = m_nPos + CDeviceFrame::HeaderSize + n;
        const quint16 uCheck = quint16((p[nEnd] << 8) | p[nEnd + 1]);
        if (uSum != uCheck) {
            ++m_nPos;
            ++m_nDropped;
            return BadCheck;
        }
        // Into the caller's own array when it holds no other copy and has room:
        // no allocation for each frame.
        if (frame.isDetached() && frame.capacity() >= nFrame) {
            frame.resize(nFrame);
            std::memcpy(frame.data(), m_buffer.constData() + m_nPos, size_t(nFrame));
        } else {
            frame = QByteArray(m_buffer.constData() + m_nPos, nFrame);
        }
        m_nPos += nFrame;
        if (m_nPos >= m_buffer.size()) {
            emptyBuffer();
            m_nPos = 0;
        }
        return Frame;
    }
}
