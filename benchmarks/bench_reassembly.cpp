// Reply stream reassembly and parsing throughput, against a plain memcpy of the same bytes.
//
// The stream is a mix of typical replies (input states, layer reads, scene records, ACKs and
// heartbeat replies) with a little noise between some frames, delivered in 1460-byte chunks
// (one TCP segment) and in 16-byte chunks (a serial line). Reassembly + parsing = the frame
// reader finds, checks and cuts every frame and its fields are split out (CReplyFrame).
// Reader and memcpy rounds alternate and each figure is the median of its rounds, timed by the
// thread's CPU time (on a shared, loaded machine the wall clock also counts other programs' turns).
// A third figure runs the whole reply path of a worker (handlers included, logging off).

#include <QCoreApplication>
#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "BenchUtil.h"
#include "DeviceFrame.h"
#include "TcpDeviceThread.h"

namespace {

QByteArray makeStream(int nBytes)
{
    QRandomGenerator rng(12345);
    QByteArray stream;
    while (stream.size() < nBytes) {
        QByteArray payload;
        int nCmd = 27, nSub = 0;
        switch (rng.bounded(5)) {
        case 0: // input state, 8 inputs
            nCmd = 32; nSub = 1;
            for (int i = 0; i < 8; ++i)
                payload += QByteArray::fromHex("0107800438 3C01");
            break;
        case 1: // layer read, 4 layers
            nCmd = 35; nSub = 80;
            payload = QByteArray(1, 1) + QByteArray(4 * 23, '\x11');
            break;
        case 2: // scene record
            nCmd = 35; nSub = 0;
            payload = QByteArray(39, '\x02');
            break;
        case 3: // ACK
            nCmd = 34; nSub = 10;
            payload = QByteArray::fromHex("C5C3");
            break;
        default: // heartbeat reply
            break;
        }
        if (rng.bounded(16) == 0)
            stream += QByteArray::fromHex("001355");
        stream += CDeviceFrame::buildReply(nCmd, 1, nSub, payload);
    }
    return stream;
}

// bParse: each frame is also split into its fields, as the worker does first.
double readerRun(const QByteArray &stream, int nChunk, int nRounds, long *pFrames, bool bParse = true)
{
    const qint64 nStart = Bench::threadCpuNs();
    long nFrames = 0;
    for (int r = 0; r < nRounds; ++r) {
        CDeviceFrameReader reader;
        QByteArray frame;
        for (int nPos = 0; nPos < stream.size(); nPos += nChunk) {
            reader.append(stream.constData() + nPos, qMin(nChunk, stream.size() - nPos));
            while (reader.next(frame) != CDeviceFrameReader::NeedMore) {
                if (bParse) {
                    const CReplyFrame f = CReplyFrame::fromFrame(frame);
                    nFrames += f.payload.size() >= 0 ? 1 : 0;
                } else {
                    nFrames += frame.size() > 0 ? 1 : 0;
                }
            }
        }
    }
    *pFrames = nFrames;
    return (Bench::threadCpuNs() - nStart) / 1e9;
}

double memcpyRun(const QByteArray &stream, int nChunk, int nRounds)
{
    std::vector<char> dst(size_t(stream.size()));
    const qint64 nStart = Bench::threadCpuNs();
    for (int r = 0; r < nRounds; ++r) {
        for (int nPos = 0; nPos < stream.size(); nPos += nChunk)
            std::memcpy(dst.data() + nPos, stream.constData() + nPos, size_t(qMin(nChunk, stream.size() - nPos)));
        asm volatile("" : : "r"(dst.data()) : "memory");
    }
    return (Bench::threadCpuNs() - nStart) / 1e9;
}

using Bench::median;

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules("*.info=false");
    const QByteArray stream = makeStream(8 * 1024 * 1024);
    const double dMB = stream.size() / 1e6;
    const int nRounds = 11;
    for (int nChunk : {1460, 16}) {
        long nFrames = 0;
        readerRun(stream, nChunk, 1, &nFrames); // warm up
        std::vector<double> reader, alone, copy;
        for (int r = 0; r < nRounds; ++r) {
            long nIgnored = 0;
            alone.push_back(readerRun(stream, nChunk, 1, &nIgnored, false));
            reader.push_back(readerRun(stream, nChunk, 1, &nFrames));
            copy.push_back(memcpyRun(stream, nChunk, 1));
        }
        const double dReader = median(reader);
        const double dReaderMBs = dMB / dReader;
        const double dCopyMBs = dMB / median(copy);
        std::printf("chunks of %4d bytes: reassembly+parsing %8.1f MB/s (%ld frames/s), memcpy %8.1f MB/s, "
                    "ratio memcpy/reassembly %.1f (median of %d)\n",
                    nChunk, dReaderMBs, long(nFrames / dReader),
                    dCopyMBs, dCopyMBs / dReaderMBs, nRounds);
        std::printf("                     reassembly alone   %8.1f MB/s%s, ratio memcpy/reassembly %.1f\n",
                    dMB / median(alone), nChunk == 1460 ? " (target >= 1500)" : "", dCopyMBs / (dMB / median(alone)));
    }
    // The whole reply path of a worker, handlers included (logging off).
    {
        const QByteArray part = stream.left(2 * 1024 * 1024);
        CTcpDeviceThread worker;
        worker.setDeviceSerial("BENCH");
        QElapsedTimer t;
        t.start();
        for (int nPos = 0; nPos < part.size(); nPos += 1460)
            worker.injectReceivedData(part.mid(nPos, 1460));
        const double d = t.nsecsElapsed() / 1e9;
        std::printf("worker reply path (reassembly, checks, handlers): %.1f MB/s\n", part.size() / 1e6 / d);
    }
    return 0;
}
