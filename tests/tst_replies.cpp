#include "TestMain.h"

#include <QtEndian>

#include "BesMessageBox.h"
#include "DeviceFrame.h"
#include "GbkCodec.h"
#include "HubSpy.h"
#include "OSDBitmap.h"
#include "OSDTransfer.h"
#include "QorGlobal.h"
#include "TcpDeviceThread.h"

// The reply handlers on real payloads: what each fills, notifies and queues, and that none reads
// outside its frame's payload.
class TestReplies : public QObject
{
    Q_OBJECT

    static QByteArray hex(const char *psz) { return QByteArray::fromHex(psz); }
    static QByteArray be16(int v) { return QByteArray(1, char(v >> 8)) + QByteArray(1, char(v)); }
    static QByteArray reply(int nCmd, int nRw, int nSub, const QByteArray &payload)
    {
        return CDeviceFrame::buildReply(nCmd, nRw, nSub, payload);
    }
    static QByteArray inputRecord(int nId, int w, int h, int hz, int sig)
    {
        return QByteArray(1, char(nId)) + be16(w) + be16(h) + QByteArray(1, char(hz)) + QByteArray(1, char(sig));
    }
    static QByteArray sceneRecord(int nId, const QString &strName, int nLayerUse)
    {
        QByteArray p(39, '\0');
        p[0] = char(nId);
        p[1] = 1;
        p.replace(2, 12, g_toGbkField(strName));
        p.replace(14, 2, be16(1920));
        p.replace(16, 2, be16(1080));
        p[18] = 60;
        p[21] = char(nLayerUse);
        p[25] = 2;
        p[37] = 40; // Z: sound
        return p;
    }
    static QByteArray layerRecord(int nIndex, int x, int y, int w, int h)
    {
        QByteArray r(23, '\0');
        r[0] = char(nIndex);
        r[1] = 1;
        r[2] = char(nIndex + 1);
        r[3] = 2;
        r[5] = char(200);
        r.replace(6, 2, be16(x));
        r.replace(8, 2, be16(y));
        r.replace(10, 2, be16(w));
        r.replace(12, 2, be16(h));
        r[14] = 1;
        r.replace(15, 2, be16(10));
        r.replace(19, 2, be16(300));
        return r;
    }

    // Records the scene hand-off.
    class RecordingSink : public CTarnSceneSink
    {
    public:
        void sceneRead(CTcpDeviceThread *, const CTarnSceneRecord &s, bool bCreated) override
        {
            events << QString("read %1 %2 %3").arg(s.nId).arg(bCreated ? "new" : "old").arg(s.nLayerUse);
        }
        void layersRead(CTcpDeviceThread *, int nSceneId, const QVector<CTarnLayerRecord> &layers) override
        {
            events << QString("layers %1 %2").arg(nSceneId).arg(layers.size());
        }
        void sceneRemoved(CTcpDeviceThread *, int nSceneId) override { events << QString("removed %1").arg(nSceneId); }
        void sceneRenumbered(CTcpDeviceThread *, int nOld, int nNew) override
        {
            events << QString("renumbered %1 %2").arg(nOld).arg(nNew);
        }
        QStringList events;
    };

private slots:
    void initTestCase()
    {
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
    }

    void init()
    {
        g_strDevType = "Tarn";
        g_nConnectionType = 0;
        g_OSDindex = 0;
        CTarnSceneSink::install(nullptr);
        CTcpDeviceThread::setEditedDeviceSerial(QString());
    }

    void deviceInformation()
    {
        CHubSpy spy;
        CTcpDeviceThread worker;
        const QByteArray model = g_toGbk(QString::fromUtf8("Tarn-3"));
        QByteArray p(16, '\x7F');
        p += QByteArray(1, char(model.size())) + model + QByteArray(1, 6) + QByteArray("V2.3.4") + QByteArray(1, 3) + "abc";
        worker.injectReceivedData(reply(0, 1, 0, p));
        QCOMPARE(worker.getDeviceInfo()->strDevName, QString("Tarn-3"));
        QCOMPARE(worker.getDeviceInfo()->strMcuVer, QString("V2.3.4"));
        QCOMPARE(g_strSerialDevType, QString("Tarn-3"));
        QCOMPARE(spy.count("slot_getConnectingType"), 0);

        // in serial mode only the serial line's worker reports its model (tst_serial); a network
        // device answering meanwhile reports nothing. A length running past the payload is not read
        g_nConnectionType = 1;
        QByteArray q(16, '\0');
        q += QByteArray(1, 2) + "Z7" + QByteArray(1, 40) + "V9";
        worker.injectReceivedData(reply(0, 1, 0, q));
        QCOMPARE(spy.count("slot_getConnectingType"), 0);
        QCOMPARE(worker.getDeviceInfo()->strDevName, QString("Z7"));
        QCOMPARE(worker.getDeviceInfo()->strMcuVer, QString("V2.3.4"));
        // an ACK is no device information
        worker.injectReceivedData(reply(0, 1, 0, hex("C5C3")));
        QCOMPARE(worker.getDeviceInfo()->strDevName, QString("Z7"));
    }

    void screenSize()
    {
        CTcpDeviceThread worker;
        worker.injectReceivedData(reply(30, 1, 0, hex("0F0008703C00")));
        QCOMPARE(worker.getDeviceInfo()->nScreenWidth, 3840);
        QCOMPARE(worker.getDeviceInfo()->nScreenHeight, 2160);
        QCOMPARE(g_rtBackCanvas, QRect(0, 0, 3840, 2160));
        const qreal dW = g_dWScale;
        // a 0 x 0 screen is refused and keeps the scales usable
        worker.injectReceivedData(reply(30, 1, 0, hex("000000003C00")));
        QCOMPARE(worker.getDeviceInfo()->nScreenWidth, 3840);
        QCOMPARE(g_dWScale, dW);
        QVERIFY(g_dWScale > 0);
    }

    // Input state: 7-byte records read only within the payload, with the range check.
    void inputState()
    {
        CHubSpy spy;
        CTcpDeviceThread worker;
        worker.setDeviceSerial("SN1");
        // one whole record plus a stray byte; the check and a following frame are no records
        const QByteArray p = inputRecord(1, 1920, 1080, 60, 1) + hex("05");
        worker.injectReceivedData(reply(32, 1, 1, p) + reply(27, 1, 0, QByteArray()));
        QCOMPARE(worker.getDeviceInfo()->vectorInput.size(), 1);
        InputSource *pIn = worker.getDeviceInfo()->vectorInput.at(0);
        QCOMPARE(pIn->nId, 1);
        QCOMPARE(pIn->nWidth, 1920);
        QCOMPARE(pIn->nHeight, 1080);
        QCOMPARE(pIn->nHz, 60);
        QCOMPARE(pIn->nSig, 1);
        QCOMPARE(spy.last("slot_updateInputSource").at(1).toString(), QString("SN1"));
        // the unnamed input is read twice, as asked: once for its missing name, once by the first
        // refresh of every input's settings
        QCOMPARE(worker.queuedCommandCount(), 2);
        // with a write queued behind it, the read waiting in the queue is still not queued again
        worker.setMcuCommand(QString::fromUtf8("图层设置"), hex("0001"), 2, 1);
        worker.injectReceivedData(reply(32, 1, 1, p));
        QCOMPARE(worker.queuedCommandCount(), 3);
        // behind a write of its own command it is: answered before that write it would tell nothing
        worker.setMcuCommand(QString::fromUtf8("输入设置"), hex("010000") + QByteArray(12, 'A') + hex("00078004383C"), 2, 0);
        worker.injectReceivedData(reply(32, 1, 1, p));
        QCOMPARE(worker.queuedCommandCount(), 5);

        // rate 19: all zero, the signal flag kept (Tarn)
        worker.injectReceivedData(reply(32, 1, 1, inputRecord(1, 1920, 1080, 19, 1)));
        QCOMPARE(pIn->nWidth, 0);
        QCOMPARE(pIn->nHz, 0);
        QCOMPARE(pIn->nSig, 1);
        // a new id is appended, in the order first reported
        worker.injectReceivedData(reply(32, 1, 1, inputRecord(7, 9001, 1080, 60, 1) + inputRecord(1, 100, 100, 20, 1)));
        QCOMPARE(worker.getDeviceInfo()->vectorInput.size(), 2);
        QCOMPARE(worker.getDeviceInfo()->vectorInput.at(1)->nId, 7);
        QCOMPARE(worker.getDeviceInfo()->vectorInput.at(1)->nWidth, 0);
        QCOMPARE(pIn->nWidth, 100);

        // the Z family clears the signal of a 0 x 0 input
        CTcpDeviceThread z;
        z.setDeviceType("Z");
        z.injectReceivedData(reply(32, 1, 1, inputRecord(0, 1920, 1080, 19, 1)));
        QCOMPARE(z.getDeviceInfo()->vectorInput.at(0)->nSig, 0);
        QVERIFY(spy.count("slot_updateZEquipmentInputSource") >= 1);
    }

    void inputSettings()
    {
        CHubSpy spy;
        CTcpDeviceThread worker;
        worker.injectReceivedData(reply(32, 1, 1, inputRecord(0, 1920, 1080, 60, 1) + inputRecord(1, 1920, 1080, 60, 0)));
        InputSource *p0 = worker.getDeviceInfo()->vectorInput.at(0);
        InputSource *p1 = worker.getDeviceInfo()->vectorInput.at(1);
        const int nUpdates = spy.count("slot_updateInputSource");
        QByteArray s = hex("0002 01") + g_toGbkField(QString::fromUtf8("会议室摄像机一号")) + hex("01 0F00 0870 1E");
        worker.injectReceivedData(reply(31, 1, 1, s));
        QCOMPARE(p0->strType, QString("HDMI-4K"));
        QCOMPARE(p0->nCType, 1);
        QCOMPARE(p0->strName, QString::fromUtf8("会议室摄像机"));   // 12 bytes: six characters
        QCOMPARE(p0->nEdidWidth, 3840);
        QCOMPARE(p0->nEdidHeight, 2160);
        QCOMPARE(p0->nEdidHZ, 30);
        QCOMPARE(spy.count("slot_updateInputSource"), nUpdates);     // not the last input
        s[0] = 1;
        s[1] = 9;                                                     // unknown type keeps the text
        p1->strType = "SDI";
        worker.injectReceivedData(reply(31, 1, 1, s));
        QCOMPARE(p1->strType, QString("SDI"));
        QCOMPARE(p1->nInputType, 9);
        QCOMPARE(spy.count("slot_updateInputSource"), nUpdates + 1); // the last input
        // name and EDID writes echoed
        worker.injectReceivedData(reply(31, 2, 2, hex("01") + g_toGbkField("Cam")));
        QCOMPARE(p1->strName, QString("Cam"));
        worker.injectReceivedData(reply(31, 2, 3, hex("01 FF 0556 0300 3C")));
        QCOMPARE(p1->nResouType, 255);
        QCOMPARE(p1->nEdidWidth, 1366);
        QCOMPARE(p1->nEdidHeight, 768);
        // a reply for an input never reported, a short one and an ACK change nothing
        worker.injectReceivedData(reply(31, 2, 2, hex("09") + g_toGbkField("X")));
        worker.injectReceivedData(reply(31, 2, 2, hex("01 41")));
        worker.injectReceivedData(reply(31, 2, 2, hex("C5C3")));
        QCOMPARE(p1->strName, QString("Cam"));
        QCOMPARE(worker.getMainSigInputSource(0), QString::fromUtf8("会议室摄像机 : 1920x1080@60"));
        QCOMPARE(worker.getMainSigInputSource(1), QString::fromUtf8("Cam : 无输入"));
        QCOMPARE(worker.getMainSigInputSource(5), QString());
    }

    void tarnScenes()
    {
        RecordingSink sink;
        CTarnSceneSink::install(&sink);
        CHubSpy spy;
        CTcpDeviceThread worker;
        worker.setDeviceSerial("SN1");
        // counts: 2 sources, 5 scenes -> input state, screen size and five scene reads are queued
        const QString strCounts = QString::fromUtf8("源及场景数");
        worker.injectSentCommand(strCounts, hex("01"), 1, 0);
        worker.injectReceivedData(reply(33, 1, 0, hex("02080501")));
        QCOMPARE(worker.queuedCommandCount(), 7);
        for (int i = 1; i <= 5; ++i)
            worker.injectReceivedData(reply(35, 1, 0, sceneRecord(i, QString("S%1").arg(i), 4)));
        QCOMPARE(worker.getSceneList().size(), 5);
        QCOMPARE(worker.queuedCommandCount(), 12); // a layer read per scene
        // re-reading scene 2 under another name takes the name the device holds now
        worker.injectReceivedData(reply(35, 1, 0, sceneRecord(2, "Other", 4)));
        QCOMPARE(worker.getSceneList().at(1)->strName, QString("Other"));

        // layer read: two records within the payload
        worker.injectReceivedData(reply(35, 1, 80, hex("01") + layerRecord(0, 100, 50, 960, 540) + layerRecord(3, 0, 0, 1920, 1080) + hex("00")));
        const CTarnSceneRecord *pScene = worker.getSceneList().at(0);
        QCOMPARE(pScene->vectorLayer.size(), 2);
        QCOMPARE(pScene->layer(0)->nX, 100);
        QCOMPARE(pScene->layer(0)->nY, 50);
        QCOMPARE(pScene->layer(0)->nTrans, 200);
        QCOMPARE(pScene->layer(0)->nCutWidth, 300);
        QCOMPARE(pScene->layer(3)->nWidth, 1920);
        // the same index again updates in place, whatever the order
        worker.injectReceivedData(reply(35, 1, 80, hex("01") + layerRecord(3, 5, 5, 64, 64) + layerRecord(1, 1, 1, 1, 1)));
        QCOMPARE(pScene->vectorLayer.size(), 3);
        QCOMPARE(pScene->layer(3)->nWidth, 64);
        // a layer read for a scene not held changes nothing
        worker.injectReceivedData(reply(35, 1, 80, hex("09") + layerRecord(0, 1, 1, 1, 1)));
        QVERIFY(sink.events.contains("layers 1 2"));
        QVERIFY(!sink.events.contains("layers 9 1"));

        // fewer layers in use: the surplus goes; none: all go and no layer read is queued
        const int nQueued = worker.queuedCommandCount();
        worker.injectReceivedData(reply(35, 1, 0, sceneRecord(1, "S1", 2)));
        QCOMPARE(pScene->vectorLayer.size(), 2);
        QCOMPARE(pScene->layer(3), nullptr);
        worker.injectReceivedData(reply(35, 1, 0, sceneRecord(1, "S1", 0)));
        QCOMPARE(pScene->vectorLayer.size(), 0);
        QCOMPARE(worker.queuedCommandCount(), nQueued + 1);

        // counts: 3 scenes while 5 are held -> scenes 4 and 5 go; 0 -> every scene goes
        sink.events.clear();
        spy.clear();
        worker.injectSentCommand(strCounts, hex("01"), 1, 0);
        worker.injectReceivedData(reply(33, 1, 0, hex("02080301")));
        QCOMPARE(worker.getSceneList().size(), 3);
        QCOMPARE(sink.events.mid(0, 2), QStringList({"removed 5", "removed 4"}));
        QCOMPARE(spy.count("slot_updateCurrentDevice"), 1);
        worker.injectSentCommand(strCounts, hex("01"), 1, 0);
        worker.injectReceivedData(reply(33, 1, 0, hex("02080000")));
        QCOMPARE(worker.getSceneList().size(), 0);
        CTarnSceneSink::install(nullptr);
    }

    // Each worker parses by its own device's family, whatever device is being edited.
    void familyPerDevice()
    {
        g_strDevType = "Tarn";
        CHubSpy spy;
        CTcpDeviceThread tarn, z;
        z.setDeviceType("Z");
        tarn.injectReceivedData(reply(35, 1, 0, sceneRecord(1, "T1", 1)));
        z.injectReceivedData(reply(35, 1, 0, sceneRecord(1, "Z1", 1)));
        QCOMPARE(tarn.getSceneList().size(), 1);
        QCOMPARE(tarn.getZSceneList().size(), 0);
        QCOMPARE(z.getSceneList().size(), 0);
        QCOMPARE(z.getZSceneList().size(), 1);
        QCOMPARE(z.getZSceneList().at(0)->nsound, 40);
        QCOMPARE(z.getZSceneList().at(0)->nMainSig, 2);
        QCOMPARE(spy.count("slot_setListZDeviceScene"), 1);
        // counts by family: each worker trims its own records to the device's count
        spy.clear();
        z.injectSentCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0);
        tarn.injectSentCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0);
        z.injectReceivedData(reply(33, 1, 0, hex("02080000")));
        tarn.injectReceivedData(reply(33, 1, 0, hex("02080000")));
        QCOMPARE(z.getZSceneList().size(), 0);
        QCOMPARE(tarn.getSceneList().size(), 0);
        QCOMPARE(spy.count("slot_setListZDeviceScene"), 1);
    }

    void layerReplies()
    {
        CHubSpy spy;
        CTcpDeviceThread z;
        z.setDeviceType("Z");
        QByteArray p(35, '\0');
        p[3] = 2;
        p.replace(6, 2, be16(100));
        p.replace(10, 2, be16(1280));
        p.replace(28, 2, be16(1920));
        p[33] = 66;
        z.injectReceivedData(reply(34, 1, 0, p));
        QCOMPARE(z.getSystemInfo()->nMainSignumber, 2);
        QCOMPARE(z.getSystemInfo()->nXDeflection, 100);
        QCOMPARE(z.getSystemInfo()->nLayerWidth, 1280);
        QCOMPARE(z.getSystemInfo()->noutputWidth, 1920);
        QCOMPARE(z.getSystemInfo()->nsound, 66);
        QCOMPARE(spy.count("slot_initWidgetdate"), 1);
        // short settings are not read
        z.injectReceivedData(reply(34, 1, 0, p.left(20)));
        QCOMPARE(spy.count("slot_initWidgetdate"), 1);
        z.injectReceivedData(reply(34, 2, 10, hex("C5C3")));
        QCOMPARE(spy.last("slot_IsZReflash").at(0).toBool(), false);
    }

    void sceneAudio()
    {
        CHubSpy spy;
        CTcpDeviceThread worker;
        worker.injectReceivedData(reply(35, 1, 50, hex("0103")));
        worker.injectReceivedData(reply(35, 1, 51, hex("0164")));
        worker.injectReceivedData(reply(35, 1, 51, hex("6432")));   // scene 100: nothing
        worker.injectReceivedData(reply(35, 1, 51, hex("0165")));   // value 101: nothing
        worker.injectReceivedData(reply(35, 2, 51, hex("C5C3")));   // the write's ACK: nothing
        QCOMPARE(spy.records("slot_SetAudioSource"), QList<QVariantList>({{3}}));
        QCOMPARE(spy.records("slot_SetAudio"), QList<QVariantList>({{100}}));
    }

    void outputPorts()
    {
        CHubSpy spy;
        CTcpDeviceThread worker;
        worker.setDeviceSerial("SN1");
        worker.injectReceivedData(reply(37, 1, 1, hex("0002 03 02")));
        QCOMPARE(spy.last("InitOutputDate"), QVariantList({2, QString::fromUtf8("光口")}));
        QCOMPARE(spy.last("slot_setDeviceCmd"), QVariantList({"SN1", QString::fromUtf8("输出口设置"), hex("01"), 1, 10}));
        worker.injectReceivedData(reply(37, 1, 1, hex("0002 03 00")));  // count 0: ignored
        QCOMPARE(spy.count("InitOutputDate"), 1);
        worker.injectReceivedData(reply(37, 1, 10, hex("02 000001 08 0780 0438 3C")));
        QCOMPARE(spy.last("SwitchOutputDate"), QVariantList({2, 8, 1920, 1080, 60}));
        worker.injectReceivedData(reply(37, 1, 20, hex("01 0780 0898 07D8 0804 0438 0465 043C 0441 3C")));
        QCOMPARE(spy.last("InitAdvancedDate"), QVariantList({1920, 2200, 2008, 2052, 1080, 1125, 1084, 1089, 60}));
        worker.injectReceivedData(reply(37, 1, 21, hex("03 012C")));
        worker.injectReceivedData(reply(37, 1, 22, hex("03 0005")));
        QCOMPARE(spy.last("Delay"), QVariantList({300}));
        QCOMPARE(spy.last("Noisecancellation"), QVariantList({5}));
        worker.injectReceivedData(reply(37, 1, 10, hex("02 0000")));   // short: ignored
        QCOMPARE(spy.count("SwitchOutputDate"), 1);
    }

    void systemNameAndAcks()
    {
        CHubSpy spy;
        CTcpDeviceThread worker;
        worker.injectReceivedData(reply(41, 1, 10, g_toGbkField(QString::fromUtf8("演示设备"))));
        QCOMPARE(spy.last("slot_getSystemDeviceName").at(0).toString(), QString::fromUtf8("演示设备"));
        worker.injectReceivedData(reply(41, 2, 10, hex("C5C3")));
        worker.injectReceivedData(reply(41, 1, 10, hex("4142")));       // shorter than the field
        QCOMPARE(spy.count("slot_getSystemDeviceName"), 1);
        {
            // the name travels with the replying device's serial
            CTcpDeviceThread named;
            named.setDeviceSerial("SN41");
            named.injectReceivedData(reply(41, 1, 10, g_toGbkField("B")));
            QCOMPARE(spy.last("slot_getSystemDeviceName"), (QVariantList{QString("B"), QString("SN41")}));
        }
        // an OSD switch read answered by an ACK queues no follow-up read
        worker.injectReceivedData(reply(40, 1, 0, hex("C5C3")));
        QCOMPARE(spy.count("slot_setDeviceCmd"), 0);
        worker.injectReceivedData(reply(40, 1, 0, hex("01")));
        QCOMPARE(spy.last("slot_setDeviceCmd"), QVariantList({QString(), QString::fromUtf8("OSD参数设置"), QByteArray(), 1, 2}));
        worker.injectReceivedData(reply(40, 1, 2, hex("01")));
        QVERIFY(g_OSDState);
    }

    // A transfer of that many 128-byte packets to SN1, its first packet in flight.
    static void startOsdTransfer(COSDTransfer &transfer, CTcpDeviceThread &worker, CHubSpy &spy, int nPackets)
    {
        transfer.setHeaderDelay(0);
        COSDBitmap::Params params;
        params.nIndex = 2;
        QImage image(1024, nPackets, QImage::Format_RGB32); // 128 bytes a row
        image.fill(Qt::white);
        QVERIFY(transfer.start("SN1", params, image));
        QTRY_COMPARE(transfer.phase(), COSDTransfer::Announced);
        worker.injectReceivedData(reply(40, 2, 10, hex("C5C3")));
        QCOMPARE(spy.count("slot_sendbeginOSDdate"), 1);
        transfer.sendBegin(); // as the stack that started it answers
        QCOMPARE(transfer.phase(), COSDTransfer::Sending);
        spy.clear();
    }

    // The OSD bitmap transfer as the worker hands it the replies: progress steps, the end, a
    // repeated reply, the finishing delay.
    void osdTransfer()
    {
        CHubSpy spy;
        CTcpDeviceThread worker;
        worker.setDeviceSerial("SN1");
        COSDTransfer transfer;
        startOsdTransfer(transfer, worker, spy, 250);
        const QByteArray taken = hex("0200000000 01");
        for (int i = 0; i < 249; ++i)
            worker.injectReceivedData(reply(40, 2, 11, taken));
        QCOMPARE(transfer.packetInFlight(), 249);
        QList<QVariantList> progress = spy.records("slot_GetOSDsendprogress");
        QCOMPARE(progress.first(), QVariantList({0}));   // packet 1, step 2
        QCOMPARE(progress.last(), QVariantList({99}));   // 249 / 2 = 124 is above 99: not reported
        QCOMPARE(spy.last("slot_sendOSDdate"), QVariantList({249}));
        // the last packet's reply ends the transfer
        spy.clear();
        worker.injectReceivedData(reply(40, 2, 11, taken));
        QCOMPARE(spy.last("slot_setDeviceCmd"), QVariantList({"SN1", QString::fromUtf8("OSD参数设置"), hex("02"), 2, 12}));
        QCOMPARE(spy.last("slot_GetOSDsendprogress"), QVariantList({99}));
        QCOMPARE(transfer.phase(), COSDTransfer::Ending);
        // a repeated reply no longer counts nor asks for a packet past the end
        worker.injectReceivedData(reply(40, 2, 11, taken));
        QCOMPARE(spy.count("slot_setDeviceCmd"), 1);
        QCOMPARE(spy.count("slot_sendOSDdate"), 0);
        // end accepted: the switch-on write at once, the final notifications after the delay
        worker.injectReceivedData(reply(40, 2, 12, hex("C5C3")));
        QCOMPARE(spy.last("slot_setDeviceCmd"), QVariantList({"SN1", QString::fromUtf8("OSD参数设置"), hex("0102"), 2, 2}));
        // a repeated end reply switches nothing on again
        worker.injectReceivedData(reply(40, 2, 12, hex("C5C3")));
        QCOMPARE(spy.count("slot_setDeviceCmd"), 2);
        QCOMPARE(spy.count("slot_itemPress"), 0);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count("slot_itemPress"), 1, 2000);
        QCOMPARE(spy.last("slot_GetOSDsendprogress"), QVariantList({100}));
        QCOMPARE(spy.last("slot_IsZReflash"), QVariantList({true, "SN1"}));
        QVERIFY(!transfer.isActive());
        QCOMPARE(COSDTransfer::finishDelayMs(250), 1000);
        QCOMPARE(COSDTransfer::finishDelayMs(300), 800);
        QCOMPARE(COSDTransfer::finishDelayMs(600), 1600);
    }

    // Refusals by status and by NAK send the same packet again, up to the limit; replies of
    // another device and replies after the end do nothing.
    void osdResendLimit()
    {
        CHubSpy spy;
        CTcpDeviceThread worker;
        worker.setDeviceSerial("SN1");
        CTcpDeviceThread other;
        other.setDeviceSerial("SN2");
        COSDTransfer transfer;
        startOsdTransfer(transfer, worker, spy, 3);
        worker.injectReceivedData(reply(40, 2, 11, hex("0200000000 01")));
        other.injectReceivedData(reply(40, 2, 11, hex("0200000001 01")));
        QCOMPARE(transfer.packetInFlight(), 1);
        QCOMPARE(spy.last("slot_sendOSDdate"), QVariantList({1}));
        worker.injectReceivedData(reply(40, 2, 11, hex("0200000001 00")));
        QCOMPARE(spy.last("slot_sendOSDdate"), QVariantList({1}));
        for (int i = 0; i < 4; ++i)
            worker.injectReceivedData(reply(40, 2, 11, hex("C5C0")));
        QCOMPARE(spy.count("slot_sendOSDdate"), 6);
        QVERIFY(transfer.isActive());
        worker.injectReceivedData(reply(40, 2, 11, hex("C5C0")));
        QCOMPARE(spy.count("slot_sendOSDdate"), 6);
        QCOMPARE(spy.last("slot_GetOSDsendprogress"), QVariantList({-1}));
        QVERIFY(!transfer.isActive());
        // with no transfer running, packet replies do nothing
        worker.injectReceivedData(reply(40, 2, 11, hex("0200000001 01")));
        worker.injectReceivedData(reply(40, 2, 11, hex("C5C0")));
        QCOMPARE(spy.count("slot_sendOSDdate"), 6);
    }

    // The tests of a reply: wrong start, short chunk, wrong check, foreign type.
    void acceptanceRules()
    {
        CHubSpy spy;
        CTcpDeviceThread worker;
        const QByteArray good = reply(41, 1, 10, g_toGbkField("Name"));
        QByteArray bad = good;
        bad[bad.size() - 1] = char(bad.at(bad.size() - 1) + 1);
        worker.parseMcuData(bad);
        QByteArray shortChunk = good.left(good.size() - 1);
        worker.parseMcuData(shortChunk);
        QByteArray foreign = good;
        foreign[4] = 0x08;
        const quint16 c = CDeviceFrame::sum16(foreign.constData() + 2, foreign.size() - 4);
        foreign[foreign.size() - 2] = char(c >> 8);
        foreign[foreign.size() - 1] = char(c);
        worker.parseMcuData(foreign);
        QByteArray request = CDeviceFrame::buildRequest(41, 1, 10, g_toGbkField("Name"));
        worker.parseMcuData(request);
        QCOMPARE(spy.count("slot_getSystemDeviceName"), 0);
        QByteArray ok = good;
        worker.parseMcuData(ok);
        QCOMPARE(spy.count("slot_getSystemDeviceName"), 1);
    }
};

VISTEL_TEST_MAIN(TestReplies)
#include "tst_replies.moc"
