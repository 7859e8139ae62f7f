#include "TestMain.h"

#include <QRandomGenerator>

#include "DeviceFrame.h"

// Frame layout byte for byte, and the reassembly of reply frames from a byte stream.
class TestFrames : public QObject
{
    Q_OBJECT

    static QByteArray hex(const char *psz) { return QByteArray::fromHex(psz); }

    static QList<QByteArray> readAll(CDeviceFrameReader &reader, int *pBadChecks = nullptr)
    {
        QList<QByteArray> frames;
        QByteArray frame;
        for (;;) {
            const CDeviceFrameReader::Result r = reader.next(frame);
            if (r == CDeviceFrameReader::NeedMore)
                break;
            if (r == CDeviceFrameReader::Frame)
                frames << frame;
            else if (pBadChecks)
                ++*pBadChecks;
        }
        return frames;
    }

private slots:
    void requestBytes_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("rw");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("heartbeat") << 27 << 1 << 0 << QByteArray() << hex("AA55000008001000001B000100000000000034");
        QTest::newRow("system settings read") << 41 << 1 << 10 << QByteArray() << hex("AA5500000800100000290001000A000000004C");
        QTest::newRow("count read") << 33 << 1 << 0 << QByteArray() << hex("AA550000080010000021000100000000000 03A");
        QTest::newRow("layer position") << 34 << 2 << 10 << hex("000000000007800438")
                                        << hex("AA5500090800100000220002000A000000000000000007800438 0112");
        QTest::newRow("layer level: byte 14 is 1") << 34 << 2 << 2 << hex("0102") << hex("AA550002080010000022000200020100000102 0044");
        QTest::newRow("input state read") << 32 << 1 << 1 << hex("0003") << hex("AA5500020800100000200001000100000000 03003F");
        QTest::newRow("sub-command low 16 bits") << 35 << 2 << 0x10050 << hex("01") << CDeviceFrame::buildRequest(35, 2, 0x50, hex("01"));
    }

    void requestBytes()
    {
        QFETCH(int, cmd);
        QFETCH(int, rw);
        QFETCH(int, sub);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, frame);
        QCOMPARE(CDeviceFrame::buildRequest(cmd, rw, sub, payload).toHex(' '), frame.toHex(' '));
    }

    // The check is the plain sum of the bytes, for every length and byte value.
    void checkSumOfAnyLength()
    {
        QRandomGenerator rng(99);
        QByteArray bytes(300, '\xFF');
        for (int i = 150; i < bytes.size(); ++i)
            bytes[i] = char(rng.bounded(256));
        for (int nStart : {0, 1, 150}) {
            for (int nLen = 0; nStart + nLen <= bytes.size(); ++nLen) {
                quint32 uSum = 0;
                for (int i = nStart; i < nStart + nLen; ++i)
                    uSum += uchar(bytes.at(i));
                QCOMPARE(CDeviceFrame::sum16(bytes.constData() + nStart, nLen), quint16(uSum));
            }
        }
    }

    void replyBytesAndFields()
    {
        const QByteArray ack = CDeviceFrame::buildReply(34, 2, 10, hex("C5C3"));
        QCOMPARE(ack, hex("55AA0002100008000022000200 0A000000C5C3 01D0"));
        const QByteArray nak = CDeviceFrame::buildReply(40, 2, 11, hex("C5C0"));
        QCOMPARE(nak, hex("55AA00021000080000280002000B000000C5C001D4"));
        const CReplyFrame f = CReplyFrame::fromFrame(hex("55AA000710000800002000010001000000 0107800438 3C01 01 42"));
        QCOMPARE(f.nCmd, 32);
        QCOMPARE(f.nReadOrWrite, 1);
        QCOMPARE(f.nSub, 1);
        QCOMPARE(f.payload, hex("010780043 83C01"));
        QVERIFY(CReplyFrame::fromFrame(ack).isAck());
        QVERIFY(CReplyFrame::fromFrame(nak).isNak());
        // a one-byte payload C5 is neither
        const CReplyFrame one = CReplyFrame::fromFrame(CDeviceFrame::buildReply(34, 2, 10, hex("C5")));
        QVERIFY(!one.isAck() && !one.isNak());
        QCOMPARE(one.payload.size(), 1);
    }

    void payloadLimits()
    {
        QCOMPARE(CDeviceFrame::buildRequest(40, 2, 11, QByteArray(3000, 'x')).size(), 3019);
        QCOMPARE(CDeviceFrame::buildRequest(40, 2, 11, QByteArray(65535, 'x')).size(), 65554);
        QVERIFY(CDeviceFrame::buildRequest(40, 2, 11, QByteArray(65536, 'x')).isEmpty());
    }

    void splitAtEveryByte()
    {
        const QByteArray frame = CDeviceFrame::buildReply(41, 1, 10, QByteArray(12, 'A'));
        for (int nCut = 1; nCut < frame.size(); ++nCut) {
            CDeviceFrameReader reader;
            reader.append(frame.left(nCut));
            QVERIFY(readAll(reader).isEmpty());
            reader.append(frame.mid(nCut));
            QCOMPARE(readAll(reader), QList<QByteArray>({frame}));
            QCOMPARE(reader.buffered(), 0);
        }
        CDeviceFrameReader bytewise;
        QList<QByteArray> got;
        for (char c : frame) {
            bytewise.append(QByteArray(1, c));
            got += readAll(bytewise);
        }
        QCOMPARE(got, QList<QByteArray>({frame}));
    }

    void mergedGarbageAndBadChecks()
    {
        const QByteArray a = CDeviceFrame::buildReply(33, 1, 0, hex("04080201"));
        const QByteArray b = CDeviceFrame::buildReply(27, 1, 0, QByteArray());
        QByteArray bad = CDeviceFrame::buildReply(41, 1, 10, QByteArray(12, 'B'));
        bad[bad.size() - 1] = char(bad.at(bad.size() - 1) + 1);
        CDeviceFrameReader reader;
        int nBad = 0;
        reader.append(hex("0055AA55") + a + b + bad + hex("13") + a + hex("55"));
        QCOMPARE(readAll(reader, &nBad), QList<QByteArray>({a, b, a}));
        QCOMPARE(nBad, 1);
        QCOMPARE(reader.buffered(), 1); // the lone 55 may start the next frame
        reader.append(hex("AA") + b.mid(2));
        QCOMPARE(readAll(reader), QList<QByteArray>({b}));
    }

    // A start pair followed by an unbelievable length is skipped at once instead of waiting
    // for 64 KiB that never come.
    void oversizedLengthIsSkipped()
    {
        const QByteArray a = CDeviceFrame::buildReply(30, 1, 0, hex("0F0008703C00"));
        CDeviceFrameReader reader;
        reader.append(hex("55AAFFFF") + a);
        QCOMPARE(readAll(reader), QList<QByteArray>({a}));
        // the biggest allowed payload still passes
        const QByteArray big = CDeviceFrame::buildReply(35, 1, 80, QByteArray(CDeviceFrame::MaxReplyPayload, '\1'));
        reader.append(big);
        QCOMPARE(readAll(reader), QList<QByteArray>({big}));
        const QByteArray tooBig = CDeviceFrame::buildReply(35, 1, 80, QByteArray(CDeviceFrame::MaxReplyPayload + 1, '\1'));
        reader.append(tooBig + a);
        QCOMPARE(readAll(reader), QList<QByteArray>({a}));
    }

    void stalePartialFrameIsDropped()
    {
        const QByteArray a = CDeviceFrame::buildReply(33, 1, 0, hex("04080201"));
        CDeviceFrameReader reader;
        reader.setStaleMs(50);
        reader.append(a.left(10));
        QTest::qWait(120);
        reader.append(a);
        QCOMPARE(readAll(reader), QList<QByteArray>({a}));
        QVERIFY(reader.droppedBytes() >= 10);
    }

    // A corrupted length field makes the reader wait for bytes that never come; once that frame
    // is given up, the whole reply that arrived behind it is still delivered.
    void replyBehindACorruptedLengthSurvives()
    {
        const QByteArray a = CDeviceFrame::buildReply(33, 1, 0, hex("04080201"));
        const QByteArray b = CDeviceFrame::buildReply(27, 1, 0, hex("C5C3"));
        CDeviceFrameReader reader;
        reader.setStaleMs(50);
        reader.append(hex("55AA0100080010") + a);
        QCOMPARE(readAll(reader), QList<QByteArray>());
        QTest::qWait(120);
        reader.append(b);
        QCOMPARE(readAll(reader), QList<QByteArray>({a, b}));
    }

    // Random frames in random chunks, with random noise between some of them, come out whole
    // and in order.
    void randomStreams()
    {
        QRandomGenerator rng(4711);
        for (int nRound = 0; nRound < 200; ++nRound) {
            QList<QByteArray> frames;
            QByteArray stream;
            const int nFrames = 1 + int(rng.bounded(8));
            for (int i = 0; i < nFrames; ++i) {
                QByteArray payload(int(rng.bounded(60)), '\0');
                for (char &c : payload)
                    c = char(rng.bounded(256));
                const QByteArray f = CDeviceFrame::buildReply(int(rng.bounded(42)), 1 + int(rng.bounded(2)), int(rng.bounded(90)), payload);
                frames << f;
                if (rng.bounded(4) == 0)
                    stream += hex("00FF13"); // noise without a start pair
                stream += f;
            }
            CDeviceFrameReader reader;
            QList<QByteArray> got;
            int nPos = 0;
            while (nPos < stream.size()) {
                const int n = 1 + int(rng.bounded(40));
                reader.append(stream.mid(nPos, n));
                nPos += n;
                got += readAll(reader);
            }
            QCOMPARE(got, frames);
        }
    }
};

VISTEL_TEST_MAIN(TestFrames)
#include "tst_frames.moc"
