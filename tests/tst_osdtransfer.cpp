#include "TestMain.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QSignalSpy>

#include "BesMessageBox.h"
#include "DeviceSimulator.h"
#include "HubSpy.h"
#include "OSDBitmap.h"
#include "OSDTransfer.h"
#include "QorGlobal.h"
#include "SimTestUtil.h"
#include "TcpDeviceThread.h"
#include "globalObserver.h"

// Hands the worker's OSD notifications to one transfer, as the property stack does.
class CTransferHost : public QObject
{
    Q_OBJECT
public:
    explicit CTransferHost(COSDTransfer *pTransfer) : m_pTransfer(pTransfer)
    {
        globalObserver *pHub = globalObserver::getGlobalObserver();
        pHub->attach("slot_sendbeginOSDdate", this, "slot_sendbeginOSDdate");
        pHub->attach("slot_sendOSDdate", this, "slot_sendOSDdate");
    }
    ~CTransferHost() override
    {
        globalObserver *pHub = globalObserver::getGlobalObserver();
        pHub->detach("slot_sendbeginOSDdate", this);
        pHub->detach("slot_sendOSDdate", this);
    }
public slots:
    void slot_sendbeginOSDdate() { m_pTransfer->sendBegin(); }
    void slot_sendOSDdate(int n) { m_pTransfer->sendPacket(n); }
private:
    COSDTransfer *m_pTransfer;
};

// A W x H picture with text and a diagonal, white on black.
static QImage testImage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setPen(Qt::white);
    p.drawLine(0, 0, w - 1, h - 1);
    p.drawText(img.rect(), Qt::AlignCenter, "OSD 0123");
    return img;
}

// The pixels a packed bitmap stands for, lit = white.
static QImage unpack(const QByteArray &bits, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int i = 0; i < w * h; ++i) {
        const bool bLit = (uchar(bits.at(i / 8)) >> (i % 8)) & 1;
        img.setPixel(i % w, i / w, bLit ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
    return img;
}

// The picture as the device shows it: green of 50 and more lit.
static QImage threshold(const QImage &src)
{
    QImage img = src.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qGreen(img.pixel(x, y)) >= 50 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return img;
}

static COSDBitmap::Params params(int w, int h)
{
    COSDBitmap::Params p;
    p.nIndex = 2;
    p.nW = w;
    p.nH = h;
    p.fontColor = Qt::white;
    p.bkColor = QColor(80, 70, 255);
    return p;
}

class TestOsdTransfer : public QObject
{
    Q_OBJECT
private:
    // A connected worker with fast timing, the simulator, the hub routing and one transfer.
    struct Rig
    {
        CDeviceSimulator sim{CSimDeviceModel::Tarn, 2, 1};
        CTcpDeviceThread worker;
        CHubSpy spy;
        COSDTransfer transfer;
        CTransferHost host{&transfer};
        QSignalSpy finished{&transfer, &COSDTransfer::sig_finished};
        bool ok = false;
        Rig()
        {
            worker.setHeartbeatInterval(100);
            transfer.setHeaderDelay(20);
            transfer.setResendInterval(150);
            transfer.setRetryLimit(3);
            ok = sim.listen(QHostAddress("127.0.0.1"), 0) && SimTest::connectWorker(worker, sim, "SN1");
            spy.setRouteTo(&worker);
        }
        ~Rig()
        {
            worker.slot_stopDeviceThread();
            worker.wait(3000);
        }
    };

private slots:
    void initTestCase() { BesMessageBox::setTestAnswer(QMessageBox::Ok); } // the link-lost box

    void init()
    {
        g_OSDindex = 2;
        g_nOSDSpeed = 3;
    }

    // Bit order, threshold and counts of the packed bitmap.
    void packing_data()
    {
        QTest::addColumn<int>("lit");      // lit pixel in the first run of eight (-1: none)
        QTest::addColumn<int>("green");
        QTest::addColumn<int>("byte");
        QTest::newRow("leftmost lit") << 0 << 255 << 0x01;
        QTest::newRow("rightmost lit") << 7 << 255 << 0x80;
        QTest::newRow("green 49 is dark") << 3 << 49 << 0x00;
        QTest::newRow("green 50 is lit") << 3 << 50 << 0x08;
    }
    void packing()
    {
        QFETCH(int, lit);
        QFETCH(int, green);
        QFETCH(int, byte);
        QImage img(16, 8, QImage::Format_RGB32);
        img.fill(Qt::black);
        img.setPixel(lit, 0, qRgb(0, green, 0));
        const QByteArray bits = COSDBitmap::pack(img);
        QCOMPARE(bits.size(), 16);
        QCOMPARE(int(uchar(bits.at(0))), byte);
        QCOMPARE(bits.mid(1), QByteArray(15, '\0'));
    }

    void payloads()
    {
        QCOMPARE(COSDBitmap::headerPayload(2, 1, 16), QByteArray::fromHex("020000000100000010"));
        QCOMPARE(COSDBitmap::byteCount(200, 16), 400);
        QCOMPARE(COSDBitmap::packetCount(400), 4);
        const QByteArray bits(400, '\x5A');
        QCOMPARE(COSDBitmap::packetPayload(2, bits, 0).size(), 7 + 128);
        const QByteArray last = COSDBitmap::packetPayload(2, bits, 3);
        QCOMPARE(last.left(7), QByteArray::fromHex("02000000030010"));
        QCOMPARE(last.size(), 7 + 16);
        QVERIFY(COSDBitmap::packetPayload(2, bits, 4).isEmpty());
        QVERIFY(COSDBitmap::packetPayload(2, bits, -1).isEmpty());
        COSDBitmap::Params p = params(1920, 108);
        p.nFontTrans = 200;
        p.nBkTrans = 100;
        p.nSpeed = 3;
        p.nX = 10;
        p.nY = 300;
        QCOMPARE(COSDBitmap::paramsPayload(p), QByteArray::fromHex("0200C864 03 000A 012C 0780 006C FFFFFF 5046FF"));
        // an image of no pixels packs to nothing, and nothing is started for it
        COSDTransfer t;
        QVERIFY(!t.start("SN1", p, QImage()));
        QVERIFY(!t.isActive());
    }

    // The whole road against the simulated device: every bit arrives where it belongs, the OSD is
    // switched on and 100 is reported once; with a packet refused by NAK and by status, and a
    // packet whose reply is lost on the way.
    void transferAgainstDevice_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("faultPacket");
        QTest::addColumn<int>("fault");
        QTest::newRow("one packet") << 16 << 8 << -1 << 0;
        QTest::newRow("four packets") << 200 << 16 << -1 << 0;
        QTest::newRow("NAK on packet 2") << 200 << 16 << 2 << int(CDeviceSimulator::Nak);
        QTest::newRow("lost reply to packet 1") << 200 << 16 << 1 << int(CDeviceSimulator::NoAnswer);
        QTest::newRow("lost reply to the last packet") << 200 << 16 << 3 << int(CDeviceSimulator::NoAnswer);
    }
    void transferAgainstDevice()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, faultPacket);
        QFETCH(int, fault);
        Rig rig;
        QVERIFY(rig.ok);
        if (faultPacket >= 0)
            rig.sim.injectOsdPacketFault(faultPacket, CDeviceSimulator::Fault(fault));
        const QImage img = testImage(width, height);
        QVERIFY(rig.transfer.start("SN1", params(width, height), img));
        QTRY_COMPARE_WITH_TIMEOUT(rig.finished.count(), 1, 8000);
        QCOMPARE(rig.finished.first().at(0).toBool(), true);
        QVERIFY(rig.sim.model().osdComplete());
        QCOMPARE(rig.sim.model().nOsdBytes, COSDBitmap::byteCount(width, height));
        QCOMPARE(unpack(rig.sim.model().osdBitmap, width, height), unpack(COSDBitmap::pack(img), width, height));
        QCOMPARE(unpack(rig.sim.model().osdBitmap, width, height), threshold(img));
        QCOMPARE(rig.sim.model().nOsdOn, 1);
        QCOMPARE(rig.spy.last("slot_GetOSDsendprogress"), QVariantList({100}));
        QVERIFY(!rig.spy.records("slot_GetOSDsendprogress").contains(QVariantList({-1})));
        // the wire order: parameters, off, header, the packets, end, on
        QList<int> subs;
        for (const CSimRequest &r : rig.sim.requests(40))
            if (subs.isEmpty() || subs.last() != r.nSub)
                subs.append(r.nSub);
        QCOMPARE(subs, QList<int>({1, 2, 10, 11, 12, 2}));
        QCOMPARE(rig.sim.requests(40, 1).first().payload.left(1), QByteArray(1, '\x02'));
        QVERIFY(!rig.transfer.isActive());
        QVERIFY(!COSDTransfer::activeTransfer());
    }

    // Failures end with a message, progress -1 for the page, the OSD switched on again and the
    // source poll resumed; never 100.
    void transferFailures_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("dead device") << "dead";
        QTest::newRow("header always refused") << "header";
        QTest::newRow("packet always refused") << "packet";
        QTest::newRow("end always refused") << "end";
    }
    void transferFailures()
    {
        QFETCH(QString, how);
        Rig rig;
        QVERIFY(rig.ok);
        if (how == "dead")
            rig.sim.setAnswering(false);
        else if (how == "header")
            rig.sim.injectFault(CDeviceSimulator::Nak, 40, 1000);
        else if (how == "packet")
            rig.sim.model().nOsdRefusePackets = 1000;
        else if (how == "end")
            rig.sim.model().bOsdRefuseEnd = true;
        QVERIFY(rig.transfer.start("SN1", params(200, 16), testImage(200, 16)));
        if (how == "header") {
            // the parameters and the switch are refused too; from the header on, all of them
            QTRY_VERIFY(rig.sim.hasRequest(40, 10));
        }
        QTRY_COMPARE_WITH_TIMEOUT(rig.finished.count(), 1, 10000);
        QCOMPARE(rig.finished.first().at(0).toBool(), false);
        QVERIFY(!rig.finished.first().at(1).toString().isEmpty());
        QVERIFY(!rig.spy.records("slot_GetOSDsendprogress").contains(QVariantList({100})));
        QVERIFY(rig.spy.records("slot_GetOSDsendprogress").contains(QVariantList({-1})));
        QCOMPARE(rig.spy.last("slot_IsZReflash"), QVariantList({true, "SN1"}));
        QCOMPARE(rig.spy.last("slot_SetOSDTextSpeed"), QVariantList({3}));
        // the switch-on was handed to the worker
        const QList<QVariantList> cmds = rig.spy.records("slot_setDeviceCmd");
        QVERIFY(cmds.contains(QVariantList({"SN1", QString::fromUtf8("OSD参数设置"), QByteArray::fromHex("0102"), 2, 2})));
        QVERIFY(!rig.transfer.isActive());
        // late replies change nothing now
        const int nProgress = rig.spy.count("slot_GetOSDsendprogress");
        rig.worker.injectReceivedData(CDeviceSimulator::replyFrame(40, 2, 11, QByteArray::fromHex("020000000001")));
        QCOMPARE(rig.spy.count("slot_GetOSDsendprogress"), nProgress);
    }

    // The link lost mid-transfer ends it at once, within one watchdog period, saying so; never
    // 100. The switch-on waits for the link: once it is back the device shows an OSD again, and
    // nothing of the dead transfer reaches it. Lost once the device took the OSD on, it succeeded.
    void linkLostMidTransfer_data()
    {
        QTest::addColumn<int>("packet"); // the packet whose reply is the link going down; -1: the parameters
        QTest::addColumn<bool>("held"); // the header waits in the queue behind an unanswered command
        QTest::addColumn<bool>("off"); // switched off and on again before the link is back
        QTest::newRow("while starting") << -1 << false << false;
        QTest::newRow("first packet") << 0 << false << false;
        QTest::newRow("last packet") << 3 << false << false;
        QTest::newRow("header still queued") << -1 << true << false;
        QTest::newRow("first packet, switched off and on") << 0 << false << true;
        QTest::newRow("finishing, OSD on taken, device restarted") << -2 << false << false;
    }
    void linkLostMidTransfer()
    {
        QFETCH(int, packet);
        QFETCH(bool, held);
        QFETCH(bool, off);
        const bool bFinishing = packet == -2;
        Rig rig;
        QVERIFY(rig.ok);
        QSignalSpy lost(&rig.worker, &CTcpDeviceThread::disconnected);
        rig.transfer.setResendInterval(4000);
        if (held) {
            // no heartbeat to give up on the unanswered read: the header stays queued behind it
            rig.worker.setHeartbeatInterval(60000);
            rig.sim.injectFault(CDeviceSimulator::NoAnswer, 41);
            QVERIFY(rig.transfer.start("SN1", params(200, 16), testImage(200, 16)));
            rig.worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
            QTRY_VERIFY(rig.sim.hasRequest(41) && rig.transfer.phase() == COSDTransfer::Announced);
            QCOMPARE(rig.worker.queuedCommandCount(), 1);
            rig.sim.dropClients();
        } else if (bFinishing) {
            QVERIFY(rig.transfer.start("SN1", params(200, 16), testImage(200, 16)));
            QTRY_VERIFY(rig.transfer.phase() == COSDTransfer::Finishing && rig.sim.model().nOsdOn && !rig.worker.hasCommandInFlight());
            rig.sim.model().nOsdOn = 0;
            rig.sim.dropClients();
        } else {
            if (packet < 0)
                rig.sim.injectFault(CDeviceSimulator::DropConnection, 40);
            else
                rig.sim.injectOsdPacketFault(packet, CDeviceSimulator::DropConnection);
            QVERIFY(rig.transfer.start("SN1", params(200, 16), testImage(200, 16)));
        }
        QVERIFY(lost.count() > 0 || lost.wait(3000));
        QElapsedTimer t;
        t.start();
        QTRY_COMPARE_WITH_TIMEOUT(rig.finished.count(), 1, 4000);
        QVERIFY(t.elapsed() < rig.transfer.resendInterval());
        QCOMPARE(rig.finished.first().at(0).toBool(), bFinishing);
        QCOMPARE(rig.finished.first().at(1).toString(), bFinishing ? QString() : QString::fromUtf8("与设备的连接已断开"));
        QCOMPARE(rig.spy.records("slot_GetOSDsendprogress").contains(QVariantList({100})), bFinishing);
        QCOMPARE(rig.spy.last("slot_IsZReflash"), QVariantList({true, "SN1"}));
        QCOMPARE(rig.sim.model().nOsdOn, 0);

        QTRY_VERIFY(rig.worker.isFinished());
        rig.sim.clearRequests();
        if (off) {
            rig.worker.setCanConnected(false);
            rig.worker.setCanConnected(true);
        }
        QSignalSpy connected(&rig.worker, &CTcpDeviceThread::connected);
        rig.worker.reConnected();
        QVERIFY(connected.wait(3000));
        rig.worker.start();
        SimTest::settle(rig.worker, rig.sim);
        QCOMPARE(rig.sim.model().nOsdOn, int(!bFinishing));
        for (int nSub : {10, 11, 12})
            QVERIFY2(!rig.sim.hasRequest(40, nSub), qPrintable(QString("sub %1 after the link came back").arg(nSub)));
    }

    // One transfer at a time: a second one is refused while the first runs.
    void oneTransferAtATime()
    {
        COSDTransfer a, b;
        a.setHeaderDelay(100000);
        QVERIFY(a.start("SN1", params(16, 8), testImage(16, 8)));
        QCOMPARE(COSDTransfer::activeTransfer(), &a);
        QVERIFY(!b.start("SN1", params(16, 8), testImage(16, 8)));
        // notifications meant for a running transfer do nothing to one that does not run
        b.sendBegin();
        b.sendPacket(0);
        b.packetAnswered(true);
        b.endAnswered();
        QVERIFY(!b.isActive());
        a.linkLost();
        QVERIFY(!COSDTransfer::activeTransfer());
        QVERIFY(b.start("SN1", params(16, 8), testImage(16, 8)));
    }
};

VISTEL_TEST_MAIN(TestOsdTransfer)
#include "tst_osdtransfer.moc"
