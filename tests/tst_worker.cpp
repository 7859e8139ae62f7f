#include "TestMain.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>

#include <tuple>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <fcntl.h>

#include "BesMessageBox.h"
#include "DeviceSimulator.h"
#include "GbkCodec.h"
#include "HubSpy.h"
#include "QorGlobal.h"
#include "DeviceFrame.h"
#include "TcpDeviceThread.h"
#include "TcpSocket.h"
#include "globalObserver.h"
#include "SimTestUtil.h"
#include "TestUtil.h"

using SimTest::connectWorker;
using SimTest::settle;
using TestUtil::said;

// The device worker against the simulated device over TCP loopback: exact request bytes, the
// records filled from real replies, reassembly of split/merged/corrupt replies, the pacing gates
// and their releases, and the link's failure paths.
class TestWorker : public QObject
{
    Q_OBJECT

    static QByteArray hex(const char *psz) { return QByteArray::fromHex(psz); }

    // The scene names the worker's records hold, in scene number order (each numbered by its place).
    static QStringList sceneNames(CTcpDeviceThread &worker)
    {
        QStringList list;
        for (const ZSceneInfo *pScene : worker.getZSceneList())
            list << (pScene->nSceneIndex == list.size() + 1 ? pScene->strName : QString("#%1").arg(pScene->nSceneIndex));
        for (const CTarnSceneRecord *pScene : worker.getSceneList())
            list << (pScene->nId == list.size() + 1 ? pScene->strName : QString("#%1").arg(pScene->nId));
        return list;
    }
    static QStringList deviceScenes(CDeviceSimulator &sim)
    {
        QStringList list;
        for (const CSimScene &s : sim.model().scenes)
            list << s.strName;
        return list;
    }
    static QString liveScene(CDeviceSimulator &sim)
    {
        const int nLive = sim.model().nTakeScene;
        return nLive > 0 ? sim.model().scenes.at(nLive - 1).strName : QString("none");
    }

    // The worker linked to the simulated device (a Z one for a row named "Z: ..."), its scenes
    // counted, the heartbeat fast enough that its reply ends a command left unanswered, and no
    // notice said yet.
    // Rows named "Z: ..." run on a Z device, the others on a Tarn one.
    static CSimDeviceModel::Family rowFamily()
    {
        return QByteArray(QTest::currentDataTag()).startsWith("Z: ") ? CSimDeviceModel::Z : CSimDeviceModel::Tarn;
    }

    static bool linkForScenes(CTcpDeviceThread &worker, CDeviceSimulator &sim)
    {
        if (!sim.listen(QHostAddress("127.0.0.1"), 0))
            return false;
        if (sim.model().strModel.startsWith('Z'))
            worker.setDeviceType("Z");
        if (!connectWorker(worker, sim))
            return false;
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0);
        settle(worker, sim);
        worker.setHeartbeatInterval(300);
        BesMessageBox::clearTestRecords();
        return sceneNames(worker).size() == sim.model().scenes.size();
    }

    static qint64 timeOf(const CDeviceSimulator &sim, int nCmd, int nSub = -1)
    {
        const QList<CSimRequest> list = sim.requests(nCmd, nSub);
        return list.isEmpty() ? -1 : list.first().nTimeMs;
    }

    // A heartbeat request arrived after the first request of command nCmd1 and before the first
    // request of command nCmd2 that follows it.
    static bool heartbeatBetween(const CDeviceSimulator &sim, int nCmd1, int nCmd2)
    {
        const QList<CSimRequest> all = sim.requests();
        int i = 0;
        while (i < all.size() && all.at(i).nCmd != nCmd1)
            ++i;
        bool bHeart = false;
        for (++i; i < all.size(); ++i) {
            if (all.at(i).nCmd == 27)
                bHeart = true;
            else if (all.at(i).nCmd == nCmd2)
                return bHeart;
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        g_strDevType = "Tarn";
    }

    void init()
    {
        g_strDevType = "Tarn";
        g_nConnectionType = 0;
        CTcpDeviceThread::setEditedDeviceSerial(QString());
    }

    void requestFramesAreExact()
    {
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        QVERIFY(connectWorker(worker, sim));
        QTRY_VERIFY(sim.hasRequest(27));
        QCOMPARE(sim.requests(27).first().bytes, hex("AA55000008001000001B000100000000000034"));

        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        QTRY_VERIFY(sim.hasRequest(41));
        QCOMPARE(sim.requests(41).first().bytes, hex("AA550000080010000029000100 0A00000000 4C"));

        worker.setMcuCommand(QString::fromUtf8("图层设置"), hex("0000000000078004 38"), 2, 10);
        QTRY_VERIFY(sim.hasRequest(34, 10));
        QCOMPARE(sim.requests(34, 10).first().bytes, hex("AA550009080010000022000200 0A000000 000000000007800438 0112"));

        worker.setMcuCommand(QString::fromUtf8("图层设置"), hex("0102"), 2, 2);
        QTRY_VERIFY(sim.hasRequest(34, 2));
        QCOMPARE(sim.requests(34, 2).first().bytes, hex("AA55000208001000002200020002010000010200 44"));

        // a name that is not in the table is refused, nothing is queued
        QVERIFY(!worker.setMcuCommand(QString::fromUtf8("心跳包 "), QByteArray(), 1, 0));
        // so is a payload longer than the length field can say
        QVERIFY(!worker.setMcuCommand(QString::fromUtf8("OSD参数设置"), QByteArray(70000, 'x'), 2, 11));
        QCOMPARE(worker.queuedCommandCount(), 0);
        // a payload beyond the old 2029-byte buffer goes out whole
        worker.setMcuCommand(QString::fromUtf8("OSD参数设置"), QByteArray(3000, '\x01'), 2, 11);
        QTRY_VERIFY(sim.hasRequest(40, 11));
        QCOMPARE(sim.requests(40, 11).first().payload.size(), 3000);
    }

    void systemNameInGbk()
    {
        CHubSpy spy;
        CDeviceSimulator sim;
        sim.model().strDeviceName = QString::fromUtf8("北京控制中心"); // 6 characters = 12 GBK bytes
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        QVERIFY(connectWorker(worker, sim));
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        QTRY_COMPARE(spy.count("slot_getSystemDeviceName"), 1);
        QCOMPARE(spy.last("slot_getSystemDeviceName").at(0).toString(), QString::fromUtf8("北京控制中心"));
        // the write carries the name as 12 GBK bytes
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray::fromHex("C4CFBEA9000000000000000000"), 2, 10);
        QTRY_COMPARE(sim.model().strDeviceName, QString::fromUtf8("南京"));
    }

    void tarnStartupFillsRecords()
    {
        CHubSpy spy;
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 4, 2);
        sim.model().nScreenWidth = 3840;
        sim.model().nScreenHeight = 2160;
        sim.model().inputs[1].strName = QString::fromUtf8("摄像机");
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        spy.setRouteTo(&worker);
        QVERIFY(connectWorker(worker, sim));
        worker.setMcuCommand(QString::fromUtf8("设备信息"), hex("01"), 1, 0);
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0);
        worker.setMcuCommand(QString::fromUtf8("OSD参数设置"), QByteArray(), 1, 0);
        settle(worker, sim);

        DeviceInfo *pInfo = worker.getDeviceInfo();
        QCOMPARE(pInfo->strDevName, QString("Tarn-3"));
        QCOMPARE(g_strSerialDevType, QString("Tarn-3"));
        QCOMPARE(pInfo->strMcuVer, QString("V1.0.7"));
        QCOMPARE(pInfo->nSrcNum, 4);
        QCOMPARE(pInfo->nSceneNum, 2);
        QCOMPARE(pInfo->nTakeScene, 1);
        QCOMPARE(pInfo->nScreenWidth, 3840);
        QCOMPARE(pInfo->nScreenHeight, 2160);
        QCOMPARE(pInfo->vectorInput.size(), 4);
        QCOMPARE(pInfo->vectorInput.at(1)->strName, QString::fromUtf8("摄像机"));
        QCOMPARE(pInfo->vectorInput.at(1)->strType, QString("HDMI-4K"));
        QCOMPARE(pInfo->vectorInput.at(0)->nWidth, 1920);
        QCOMPARE(pInfo->vectorInput.at(2)->nSig, 0);   // the simulator's third input has no signal
        QCOMPARE(pInfo->vectorInput.at(2)->nWidth, 0);

        // the count reply queued the input-state, screen-size and scene reads, in this order
        const QList<CSimRequest> reqs = sim.requestsWithoutHeartbeat();
        QStringList order;
        for (const CSimRequest &r : reqs)
            order << QString("%1/%2").arg(r.nCmd).arg(r.nSub);
        QCOMPARE(order.mid(0, 7), QStringList({"0/0", "33/0", "40/0", "32/1", "30/0", "35/0", "35/0"}));
        QCOMPARE(sim.requests(32).first().payload, hex("0003"));
        QCOMPARE(sim.requests(35, 0).at(1).payload, hex("02"));
        QCOMPARE(sim.requests(35, 80).first().payload, hex("010001"));
        // every unnamed input for its missing name, then every input for the first refresh
        QStringList inputReads;
        for (const CSimRequest &r : sim.requests(31))
            inputReads << r.payload.toHex();
        QCOMPARE(inputReads, QStringList({"00", "01", "02", "03", "00", "01", "02", "03"}));

        const QList<CTarnSceneRecord *> &scenes = worker.getSceneList();
        QCOMPARE(scenes.size(), 2);
        QCOMPARE(scenes.at(0)->nId, 1);
        QCOMPARE(scenes.at(1)->strName, QString("S2"));
        QCOMPARE(scenes.at(0)->nLayerUse, 2);
        QCOMPARE(scenes.at(0)->vectorLayer.size(), 2);
        QCOMPARE(scenes.at(0)->vectorLayer.at(1).nX, 960);
        QCOMPARE(scenes.at(0)->vectorLayer.at(1).nWidth, 960);
        QVERIFY(spy.count("slot_updateInputSource") >= 2);
        QVERIFY(spy.count("slot_updateCurrentDevice") >= 2);
        QCOMPARE(spy.last("slot_updateCurrentDevice").at(0).toString(), QString("SN1"));
    }

    void zStartupFillsRecords()
    {
        g_strDevType = "Z";
        CHubSpy spy;
        CDeviceSimulator sim(CSimDeviceModel::Z, 3, 2);
        sim.model().nMainSig = 1;
        sim.model().nXDeflection = 12;
        sim.model().scenes[1].nSound = 77;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        worker.setDeviceType("Z");
        spy.setRouteTo(&worker);
        QVERIFY(connectWorker(worker, sim, "Z1"));
        worker.setMcuCommand(QString::fromUtf8("设备信息"), hex("01"), 1, 0);
        worker.setMcuCommand(QString::fromUtf8("图层设置"), hex("00"), 1, 0);
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0);
        settle(worker, sim);

        QCOMPARE(worker.getDeviceInfo()->strDevName, QString("Z7"));
        QCOMPARE(worker.getSystemInfo()->nMainSignumber, 1);
        QCOMPARE(worker.getSystemInfo()->nXDeflection, 12);
        QCOMPARE(spy.count("slot_initWidgetdate"), 1);
        QCOMPARE(worker.getZSceneList().size(), 2);
        QCOMPARE(worker.getZSceneList().at(1)->nsound, 77);
        QCOMPARE(worker.getZSceneList().at(1)->strName, QString("S2"));
        QVERIFY(spy.count("slot_setListZDeviceScene") >= 2);
        QVERIFY(spy.count("slot_updateZEquipmentInputSource") >= 1);
        QVERIFY(spy.count("slot_updateCurrentZDeviceDate") >= 1);
        QCOMPARE(spy.last("slot_updateCurrentZDeviceDate").at(2).toInt(), 1920);
        QCOMPARE(spy.last("slot_updateCurrentZDeviceDate").at(5).toInt(), 12);
        // the names arrive after the first poll; the next poll reports the main source by name
        worker.setInputSrcCmd();
        QTRY_COMPARE(spy.last("slot_updateCurrentZDeviceDate").at(0).toString(), QString("IN2"));
        settle(worker, sim);
        QCOMPARE(worker.getInputNameList(), QList<QString>({"IN1", "IN2", "IN3"}));
        QCOMPARE(worker.getSceneList().size(), 0);

        // a save dialog's count request is answered on the topic and queues nothing
        const int nBefore = sim.requestCount();
        worker.slot_GetZSencedate();
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0);
        QTRY_COMPARE(spy.count("slot_getZScenedate"), 1);
        settle(worker, sim);
        QCOMPARE(sim.requestCount(), nBefore + 1);
    }

    // Replies split into single bytes, two replies in one write, garbage, a wrong check and a
    // foreign type field.
    void repliesAreReassembled()
    {
        CHubSpy spy;
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        QVERIFY(connectWorker(worker, sim));
        const QString strName = QString::fromUtf8("系统设置");

        sim.injectFault(CDeviceSimulator::SplitBytes, 41);
        worker.setMcuCommand(strName, QByteArray(), 1, 10);
        QTRY_COMPARE(spy.count("slot_getSystemDeviceName"), 1);

        // (payloads differ: a read already queued is not queued again)
        sim.injectFault(CDeviceSimulator::MergeWithNext, 41);
        worker.setMcuCommand(strName, QByteArray(), 1, 10);
        worker.setMcuCommand(strName, QByteArray(1, 1), 1, 10);
        QTRY_COMPARE(spy.count("slot_getSystemDeviceName"), 3);

        sim.injectFault(CDeviceSimulator::GarbageBefore, 41);
        worker.setMcuCommand(strName, QByteArray(), 1, 10);
        QTRY_COMPARE(spy.count("slot_getSystemDeviceName"), 4);

        sim.injectFault(CDeviceSimulator::BadCheck, 41);
        sim.injectFault(CDeviceSimulator::ForeignType, 41);
        worker.setMcuCommand(strName, QByteArray(), 1, 10);
        worker.setMcuCommand(strName, QByteArray(1, 1), 1, 10);
        worker.setMcuCommand(strName, QByteArray(1, 2), 1, 10);
        // the two bad replies change nothing; the third command leaves after a heartbeat release
        // and its good reply is taken
        worker.setHeartbeatInterval(200);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count("slot_getSystemDeviceName"), 5, 5000);
        QTest::qWait(100);
        QCOMPARE(spy.count("slot_getSystemDeviceName"), 5);
    }

    // Count replies nobody asked for change the counts only: an operator's command behind them
    // leaves at once, and the device is asked for nothing. The queue itself has a bound.
    void unaskedCountRepliesQueueNothing()
    {
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 4, 2);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        QVERIFY(connectWorker(worker, sim));
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0);
        settle(worker, sim, 100);
        QCOMPARE(sim.requests(35, 0).size(), 2);
        sim.clearRequests();
        const QByteArray unasked = hex("55aa000410000800002100010000000000" "04ffff01" "0241");
        for (int i = 0; i < 10; ++i)
            worker.injectReceivedData(unasked);
        QCOMPARE(worker.queuedCommandCount(), 0);
        QCOMPARE(worker.getSceneList().size(), 2);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        QTRY_VERIFY(sim.hasRequest(41));
        settle(worker, sim, 100);
        QCOMPARE(sim.requestCount(), 1);

        CTcpDeviceThread idle;
        for (int i = 0; i < 1100; ++i)
            idle.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, char(i)), 2, 10);
        QVERIFY(idle.queuedCommandCount() < 1100);
        CTcpDeviceThread reads; // a read already waiting is not queued again, whoever asks
        for (int i = 0; i < 3; ++i)
            reads.setMcuCommand(QString::fromUtf8("场景操作"), hex("020001"), 1, 80);
        QCOMPARE(reads.queuedCommandCount(), 1);
    }

    // A command that is never answered holds the queue until the heartbeat's reply, not until the
    // heartbeat is sent (the last reply before was a heartbeat's, like the one awaited).
    void heartbeatReleasesLostReply()
    {
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        worker.setHeartbeatInterval(400);
        QVERIFY(connectWorker(worker, sim));
        QTRY_VERIFY(sim.hasRequest(27));
        QTest::qWait(50);
        sim.injectFault(CDeviceSimulator::NoAnswer, 33);
        sim.setReplyDelay(200);
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(41), 3000);
        QVERIFY(heartbeatBetween(sim, 33, 41));
        qint64 nHeart = 0;
        for (const CSimRequest &r : sim.requests())
            nHeart = r.nCmd == 27 && r.nTimeMs < timeOf(sim, 41) ? r.nTimeMs : nHeart;
        QVERIFY(timeOf(sim, 41) - nHeart >= 150);
    }

    // The extra holds over TCP: a scene read answered with another scene's id, and a transparency
    // write that is not answered, keep the next command back until the heartbeat's reply; a
    // recall (which records no scene id to wait for) does not.
    void extraGatesOverTcp()
    {
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 2, 3);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        worker.setHeartbeatInterval(600);
        QVERIFY(connectWorker(worker, sim));
        QTRY_VERIFY(sim.hasRequest(27));
        const QString strScene = QString::fromUtf8("场景操作");
        const QString strLayer = QString::fromUtf8("图层设置");
        const QString strSys = QString::fromUtf8("系统设置");

        worker.setMcuCommand(strScene, hex("01"), 1, 0);
        QTRY_VERIFY(sim.hasRequest(35, 0));
        settle(worker, sim, 50);
        // the reply to scene 2 carries scene 1's record
        QByteArray wrong(39, '\0');
        wrong[0] = 1;
        sim.setNextReplyPayload(35, 0, wrong);
        sim.clearRequests();
        worker.setMcuCommand(strScene, hex("02"), 1, 0);
        worker.setMcuCommand(strSys, QByteArray(), 1, 10);
        QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(41), 3000);
        QVERIFY(heartbeatBetween(sim, 35, 41));

        // transparency: the previous layer reply opened the base gate, the hold keeps 41 back
        worker.setMcuCommand(strLayer, hex("000000000001000100"), 2, 10);
        QTRY_VERIFY(sim.hasRequest(34, 10));
        settle(worker, sim, 50);
        sim.clearRequests();
        sim.injectFault(CDeviceSimulator::NoAnswer, 34);
        worker.setMcuCommand(strLayer, hex("0080"), 2, 30);
        worker.setMcuCommand(strSys, QByteArray(), 1, 10);
        QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(41), 3000);
        QVERIFY(heartbeatBetween(sim, 34, 41));

        // a transparency write that is answered releases the hold at once
        settle(worker, sim, 50);
        worker.setHeartbeatInterval(3000);
        QTest::qWait(100);
        sim.clearRequests();
        worker.setMcuCommand(strLayer, hex("0040"), 2, 30);
        worker.setMcuCommand(strSys, QByteArray(), 1, 10);
        QTRY_VERIFY(sim.hasRequest(41));
        QVERIFY(timeOf(sim, 41) - timeOf(sim, 34) < 500);

        // recall and delete: answered by an ACK that carries no scene id; no stall
        settle(worker, sim, 50);
        sim.clearRequests();
        worker.setMcuCommand(strScene, hex("02"), 2, 20);
        worker.setMcuCommand(strSys, QByteArray(), 1, 10);
        QTRY_VERIFY(sim.hasRequest(41));
        QVERIFY(timeOf(sim, 41) - timeOf(sim, 35) < 500);
        QTRY_COMPARE(worker.getDeviceInfo()->nTakeScene, 2);
        QCOMPARE(sim.model().nTakeScene, 2);
    }

    // A NAK releases the queue and is not retried.
    void nakReleasesQueue()
    {
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        QVERIFY(connectWorker(worker, sim));
        QTRY_VERIFY(sim.hasRequest(27));
        sim.injectFault(CDeviceSimulator::Nak, 31);
        worker.setMcuCommand(QString::fromUtf8("输入设置"), hex("01"), 1, 1);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        QTRY_VERIFY(sim.hasRequest(41));
        QVERIFY(timeOf(sim, 41) - timeOf(sim, 31) < 1000);
        QCOMPARE(sim.requests(31).size(), 1);
    }

    // Scene commands sent back to back: each reply is applied to the scene its own command
    // named, so the worker's scenes and live scene end as the device's; after a delete the
    // live scene follows the scene it named. A command queued before a delete's answer names
    // scenes as they were numbered then: it acts on the scene the operator saw, whether the delete
    // is answered or left unanswered ("lost": a count read sent after it tells the device took it).
    // A delete refused lets what waits behind it go, the refusal the only word; a read held back at
    // the queue's bound behind a delete follows it. Rows named "Z: ..." run on a Z device.
    void backToBackSceneCommands_data()
    {
        QTest::addColumn<QByteArrayList>("commands"); // sub (0: a read), then payload, in sending order
        QTest::addColumn<QStringList>("names");       // scene names left, in order
        QTest::addColumn<QString>("live");
        QTest::addColumn<QString>("device"); // "lost": takes the first command, says nothing; "refuses" it; "bound":
                                         // silent until the first is queued and the queue full, reads held back
        QTest::newRow("recall 3, delete 2") << QByteArrayList({hex("1403"), hex("1e02")}) << QStringList({"S1", "S3"}) << "S3" << "";
        QTest::newRow("recall 2, delete 3") << QByteArrayList({hex("1402"), hex("1e03")}) << QStringList({"S1", "S2"}) << "S2" << "";
        QTest::newRow("delete 3, delete 2") << QByteArrayList({hex("1e03"), hex("1e02")}) << QStringList({"S1"}) << "S1" << "";
        QTest::newRow("recall 3, delete 1") << QByteArrayList({hex("1403"), hex("1e01")}) << QStringList({"S2", "S3"}) << "S3" << "";
        QTest::newRow("delete 1, recall 3") << QByteArrayList({hex("1e01"), hex("1403")}) << QStringList({"S2", "S3"}) << "S3" << "";
        QTest::newRow("delete 2, delete 3") << QByteArrayList({hex("1e02"), hex("1e03")}) << QStringList({"S1"}) << "S1" << "";
        QTest::newRow("delete 2, delete 2 again") << QByteArrayList({hex("1e02"), hex("1e02")}) << QStringList({"S1", "S3"}) << "S1" << "";
        QTest::newRow("delete 1, rename 3") << QByteArrayList({hex("1e01"), hex("2803") + g_toGbkField("New", 12), hex("0003")})
                                            << QStringList({"S2", "New"}) << "none" << "";
        QTest::newRow("delete 1 lost, rename 2") << QByteArrayList({hex("1e01"), hex("2802") + g_toGbkField("New", 12), hex("0002")})
                                                 << QStringList({"New", "S3"}) << "none" << "lost";
        // a save names its source and its target: the old S3 is overwritten, no scene added
        QTest::newRow("delete 2, save the live scene to 3") << QByteArrayList({hex("1e02"), hex("0a0003")}) << QStringList({"S1", "S3"})
                                                            << "S1" << "";
        QTest::newRow("delete 2 refused, rename 3") << QByteArrayList({hex("1e02"), hex("2803") + g_toGbkField("New", 12), hex("0003")})
                                                    << QStringList({"S1", "S2", "New"}) << "S1" << "refuses";
        QTest::newRow("delete 1, read 3 held back at the queue's bound") << QByteArrayList({hex("1e01"), hex("0003")})
                                                                         << QStringList({"S2", "S3"}) << "none" << "bound";
        QTest::newRow("Z: delete 1, rename 3") << QByteArrayList({hex("1e01"), hex("2803") + g_toGbkField("New", 12), hex("0003")})
                                               << QStringList({"S2", "New"}) << "none" << "";
    }
    void backToBackSceneCommands()
    {
        QFETCH(QByteArrayList, commands);
        QFETCH(QStringList, names);
        QFETCH(QString, live);
        QFETCH(QString, device);
        CDeviceSimulator sim(rowFamily(), 2, 3);
        CTcpDeviceThread worker;
        QVERIFY(linkForScenes(worker, sim));
        if (device == "lost" || device == "refuses")
            sim.injectFault(device == "lost" ? CDeviceSimulator::TakenNoAnswer : CDeviceSimulator::Nak, 35);
        // the last reply was a scene reply, so the commands may leave back to back and the first
        // reply arrives after the second command was queued (held at the bound, the queue drains
        // one read per answer)
        sim.setReplyDelay(device == "bound" ? 0 : 200);
        const auto make = [&worker](const QByteArray &cmd) {
            worker.setMcuCommand(QString::fromUtf8("场景操作"), cmd.mid(1), cmd.at(0) ? 2 : 1, uchar(cmd.at(0)));
        };
        if (device == "bound")
            SimTest::holdQueue(worker, sim, 1024, [&] {
                worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
                make(commands.first());
            });
        for (const QByteArray &cmd : commands.mid(device == "bound" ? 1 : 0))
            make(cmd);
        sim.setAnswering(true);
        settle(worker, sim);
        QCOMPARE(deviceScenes(sim), names);
        QCOMPARE(sceneNames(worker), names);
        QTRY_COMPARE(worker.getDeviceInfo()->nTakeScene, sim.model().nTakeScene);
        QCOMPARE(live, liveScene(sim));
        QCOMPARE(said("notice"), int(device == "refuses"));
        QCOMPARE(said("notice", "SN1", "修改未生效"), int(device == "refuses"));
        QVERIFY(device != "bound" || sim.requests(35, 0).last().payload == hex("02")); // held back, it followed the delete
    }

    // A scene command made after a delete ended unanswered, the device taking the delete at once
    // and answering it late, heartbeats first: it waits until the count read sent after it (or the
    // delete's late answer or refusal) tells what the device did, then acts on the scene the
    // operator chose. With no count read answered it is not sent, and said not made; made once the
    // count reads were given up, it asks one again. Rows named "Z: ..." run on a Z device.
    void sceneCommandAfterAnUnansweredDelete_data()
    {
        QTest::addColumn<QByteArray>("command"); // sub, then payload; made after the delete of scene 1 ended
        QTest::addColumn<int>("fault");          // of the delete's reply (-1: taken at once, answered late)
        QTest::addColumn<int>("counts");         // count reads left unanswered
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("live");
        QTest::addColumn<QString>("title");      // said, each of "a/b"; empty: nothing
        QTest::addColumn<QString>("when");       // the command made: "" as the count read reaches the device, "given up"
                                                 // once the count reads were (a late answer 4 s late), "replies late"
                                                 // as "" with every reply 400 ms late
        const QByteArray rename2 = hex("2802") + g_toGbkField("SN", 12);
        const int nTaken = CDeviceSimulator::TakenNoAnswer;
        QTest::newRow("rename S2") << rename2 << -1 << 0 << QStringList({"SN", "S3", "S4"}) << "none" << "" << "";
        QTest::newRow("recall S3") << hex("1403") << -1 << 0 << QStringList({"S2", "S3", "S4"}) << "S3" << "" << "";
        QTest::newRow("delete S2") << hex("1e02") << -1 << 0 << QStringList({"S3", "S4"}) << "none" << "" << "";
        QTest::newRow("Z: rename S2") << rename2 << -1 << 0 << QStringList({"SN", "S3", "S4"}) << "none" << "" << "";
        QTest::newRow("rename S2, the delete dropped") << rename2 << int(CDeviceSimulator::NoAnswer) << 0
                                                       << QStringList({"S1", "SN", "S3", "S4"}) << "S1" << "修改未生效" << "";
        QTest::newRow("rename S2, no count read answered") << rename2 << nTaken << 3 << QStringList({"S2", "S3", "S4"}) << "none"
                                                           << "修改未确认/修改未生效" << "";
        // answered right behind the heartbeat's reply that ended it, before its count read: S2 is scene 1
        QTest::newRow("rename S2 as numbered after the late answer") << hex("2801") + g_toGbkField("SN", 12)
                                                                     << int(CDeviceSimulator::AfterNext) << 0
                                                                     << QStringList({"SN", "S3", "S4"}) << "none" << "" << "";
        // the give-up of the count reads leaves the numbering unknown: the rename asks one again
        QTest::newRow("rename S2 once the count reads were given up, the delete answered late")
            << rename2 << -1 << 3 << QStringList({"SN", "S3", "S4"}) << "none" << "修改未确认" << "given up";
        QTest::newRow("Z: rename S2 once the count reads were given up, the delete never answered")
            << rename2 << nTaken << 3 << QStringList({"SN", "S3", "S4"}) << "none" << "修改未确认" << "given up";
        // the count read asked again is answered of unclear owner: sent after the delete, it tells
        QTest::newRow("Z: rename S3, the count read's answer lost once") << hex("2803") + g_toGbkField("SN", 12) << -1 << 1
                                                                          << QStringList({"S2", "SN", "S4"}) << "none" << "" << "";
        // refused right behind the heartbeat's reply that ended it: known not made, nothing left unconfirmed
        QTest::newRow("rename S2, the delete refused late") << rename2 << int(CDeviceSimulator::NakAfterNext) << 3
                                                            << QStringList({"S1", "SN", "S3", "S4"}) << "S1" << "修改未生效" << "";
        // the count read in flight when the rename is made: nothing is given up before its answer
        QTest::newRow("rename S2, the count read answered late") << rename2 << nTaken << 0 << QStringList({"SN", "S3", "S4"})
                                                                 << "none" << "" << "replies late";
    }
    void sceneCommandAfterAnUnansweredDelete()
    {
        QFETCH(QByteArray, command);
        QFETCH(int, fault);
        QFETCH(int, counts);
        QFETCH(QStringList, names);
        QFETCH(QString, live);
        QFETCH(QString, title);
        QFETCH(QString, when);
        CDeviceSimulator sim(rowFamily(), 2, 4);
        CTcpDeviceThread worker;
        QVERIFY(linkForScenes(worker, sim));
        if (counts > 0)
            sim.injectFault(CDeviceSimulator::NoAnswer, 33, counts);
        if (when == "replies late")
            sim.setReplyDelay(400);
        std::function<bool()> fnGivenUp;
        if (when == "given up") {
            sim.setLateAnswerDelay(4000);
            const int nCountReads = sim.requests(33).size() + counts;
            fnGivenUp = [&sim, &worker, nCountReads] {
                return sim.requests(33).size() == nCountReads && worker.queuedCommandCount() == 0 && !worker.hasCommandInFlight();
            };
        }
        QVERIFY(SimTest::afterUnansweredDelete(worker, sim, 1, [&]() {
            worker.setMcuCommand(QString::fromUtf8("场景操作"), command.mid(1), 2, uchar(command.at(0)));
        }, fault, fnGivenUp));
        if (counts > 0) { // nothing told the records the delete was taken: the next count read does
            worker.setMcuCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0);
            settle(worker, sim);
        }
        QCOMPARE(deviceScenes(sim), names);
        QCOMPARE(sceneNames(worker), names);
        QTRY_COMPARE(worker.getDeviceInfo()->nTakeScene, sim.model().nTakeScene);
        QCOMPARE(liveScene(sim), live);
        int nSaid = 0;
        for (const QString &strTitle : title.split('/', Qt::SkipEmptyParts)) {
            QVERIFY2(said("notice", "SN1", strTitle) > 0, qPrintable(strTitle));
            nSaid += said("notice", "SN1", strTitle);
        }
        QCOMPARE(said("notice"), nSaid);
    }

    // The scene count, the scene records and the scenes' audio end as the device holds them (an
    // audio record may be forgotten, never wrong), whatever the scene write's fate and whatever
    // order the scenes another client added were read in. Rows named "Z: ..." run on a Z device.
    void sceneRecordsFollowTheDevice_data()
    {
        QTest::addColumn<int>("sub");          // the scene write; 0: none, the device comes back without its last scene; 33: a count read
        QTest::addColumn<QByteArray>("write");
        QTest::addColumn<int>("fault");        // of its reply; negative: and the link goes before it
        QTest::addColumn<int>("added");        // scenes another client saves first
        QTest::addColumn<QList<int>>("reads"); // scenes the console reads around the write (0: the write)
        const int nTaken = CDeviceSimulator::TakenNoAnswer;
        const QList<int> w = {0};
        QTest::newRow("delete acknowledged") << 30 << hex("02") << 0 << 0 << w;
        QTest::newRow("save to a new scene acknowledged") << 10 << hex("0104") << 0 << 0 << w;
        QTest::newRow("delete taken, never answered") << 30 << hex("02") << nTaken << 0 << w;
        QTest::newRow("delete never answered") << 30 << hex("02") << int(CDeviceSimulator::NoAnswer) << 0 << w;
        QTest::newRow("delete taken, lost with the link") << 30 << hex("01") << -nTaken << 0 << w;
        QTest::newRow("save over a scene taken, never answered") << 10 << hex("0102") << nTaken << 0 << w;
        QTest::newRow("device back with fewer scenes") << 0 << QByteArray() << 0 << 0 << w;
        QTest::newRow("delete of the last scene acknowledged") << 30 << hex("03") << 0 << 0 << w;
        QTest::newRow("save to a new scene taken, never answered") << 10 << hex("0104") << nTaken << 0 << w;
        QTest::newRow("Z: save to a new scene taken, never answered") << 10 << hex("0104") << nTaken << 0 << w;
        QTest::newRow("Z: two added, the last read first, then a delete") << 30 << hex("03") << 0 << 2 << QList<int>({5, 0, 3});
        QTest::newRow("save to a new scene answered after the next reply") << 10 << hex("0104") << int(CDeviceSimulator::AfterNext) << 0 << w;
        QTest::newRow("save beyond the next new scene, one added") << 10 << hex("0105") << 0 << 1 << w;
        QTest::newRow("two added, the last read first, then the counts") << 33 << QByteArray() << 0 << 2 << QList<int>({5, 0});
        QTest::newRow("two added, the last read first, then a delete") << 30 << hex("03") << 0 << 2 << QList<int>({5, 0, 3});
        QTest::newRow("two added, the last read first, back with one less") << 0 << QByteArray() << 0 << 2 << QList<int>({5, 0});
    }
    void sceneRecordsFollowTheDevice()
    {
        QFETCH(int, sub);
        QFETCH(QByteArray, write);
        QFETCH(int, fault);
        QFETCH(int, added);
        QFETCH(QList<int>, reads);
        const bool bZ = rowFamily() == CSimDeviceModel::Z;
        CDeviceSimulator sim(rowFamily(), 2, 3);
        for (int i = 0; i < 3; ++i)
            std::tie(sim.model().scenes[i].nAudioSource, sim.model().scenes[i].nSound) = std::make_tuple(i + 1, 10 * (i + 1));
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        if (bZ)
            worker.setDeviceType("Z");
        QVERIFY(connectWorker(worker, sim));
        worker.setHeartbeatInterval(300); // its reply ends a write left unanswered
        const QString strScene = QString::fromUtf8("场景操作"), strCounts = QString::fromUtf8("源及场景数");
        worker.setMcuCommand(strCounts, hex("01"), 1, 0);
        for (int nRead = 0; nRead < 6; ++nRead) // source and volume of each scene
            worker.setMcuCommand(strScene, QByteArray(1, char(1 + nRead / 2)), 1, 50 + nRead % 2);
        settle(worker, sim);
        QVERIFY(worker.sceneAudioRecord(3) && worker.sceneAudioRecord(3)->nVolume == 30);
        for (int nId = 4; nId < 4 + added; ++nId)
            sim.model().answer(35, 2, 10, QByteArray(1, 1) + char(nId));
        const auto readScenes = [&](const QList<int> &ids) {
            for (int nId : ids)
                worker.setMcuCommand(strScene, QByteArray(1, char(nId)), 1, 0);
            settle(worker, sim);
        };
        readScenes(reads.mid(0, reads.indexOf(0)));
        sim.injectFault(CDeviceSimulator::Fault(qAbs(fault)), 35);
        if (sub == 33)
            worker.setMcuCommand(strCounts, hex("01"), 1, 0);
        else if (sub > 0)
            worker.setMcuCommand(strScene, write, 2, sub);
        if (sub == 10) // as the scene cards do
            worker.setMcuCommand(strScene, write.mid(1), 1, 0);
        if (fault < 0 || sub == 0) {
            QTRY_VERIFY(sub == 0 || sim.hasRequest(35, sub));
            sim.dropClients();
            QTRY_VERIFY(worker.isFinished());
            if (sub == 0)
                sim.model().scenes.removeLast();
            QVERIFY(SimTest::linkAgain(worker));
            worker.setMcuCommand(strCounts, hex("01"), 1, 0); // as the start-up reads ask
        }
        settle(worker, sim);
        readScenes(reads.mid(reads.indexOf(0) + 1));
        const QList<CSimScene> &scenes = sim.model().scenes;
        QCOMPARE(worker.getDeviceInfo()->nSceneNum, scenes.size());
        QCOMPARE(bZ ? worker.getZSceneList().size() : worker.getSceneList().size(), scenes.size());
        for (int nId = 1; nId <= std::max(4, scenes.size() + 1); ++nId) {
            const CSceneAudioRecord *pAudio = worker.sceneAudioRecord(nId);
            const CTarnSceneRecord *pScene = bZ || nId > scenes.size() ? nullptr : worker.getSceneList().at(nId - 1);
            QVERIFY(!pScene || (pScene->nId == nId && pScene->strName == scenes.at(nId - 1).strName));
            const ZSceneInfo *pZScene = bZ ? worker.findZScene(nId) : nullptr;
            QVERIFY(!pZScene || (nId <= scenes.size() && pZScene->strName == scenes.at(nId - 1).strName));
            QVERIFY2(!pAudio || (nId <= scenes.size() && pAudio->nSource == scenes.at(nId - 1).nAudioSource
                                 && pAudio->nVolume == scenes.at(nId - 1).nSound),
                     qPrintable(QString("audio of scene %1").arg(nId)));
        }
    }

    // Scene 3 renamed, its answer lost, a delete queued behind it acknowledged before the rename's
    // read back leaves: the doubt follows the device's numbering with the records. Its read back
    // says it not made when the device dropped it; where nothing is to be said, a panel's read of
    // scene 3 as numbered now (the old scene 4) says nothing of the rename either. A rename of the
    // deleted scene itself is moot.
    void doubtsFollowADelete_data()
    {
        QTest::addColumn<bool>("z");
        QTest::addColumn<int>("fault");     // of the rename's reply
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QString>("title"); // said; empty: nothing
        const int nTaken = CDeviceSimulator::TakenNoAnswer, nDropped = CDeviceSimulator::NoAnswer;
        QTest::newRow("taken, a scene before it deleted") << false << nTaken << 2 << "";
        QTest::newRow("dropped, a scene before it deleted") << false << nDropped << 2 << "修改未生效";
        QTest::newRow("taken, then deleted") << false << nTaken << 3 << "";
        QTest::newRow("dropped, then deleted") << false << nDropped << 3 << "";
        QTest::newRow("Z, taken, a scene before it deleted") << true << nTaken << 2 << "";
        QTest::newRow("Z, dropped, a scene before it deleted") << true << nDropped << 2 << "修改未生效";
    }
    void doubtsFollowADelete()
    {
        QFETCH(bool, z);
        QFETCH(int, fault);
        QFETCH(int, deleted);
        QFETCH(QString, title);
        CDeviceSimulator sim(z ? CSimDeviceModel::Z : CSimDeviceModel::Tarn, 2, 4);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        if (z)
            worker.setDeviceType("Z");
        QVERIFY(connectWorker(worker, sim, "SN1"));
        worker.setHeartbeatInterval(300); // its reply ends the rename
        const QString strScene = QString::fromUtf8("场景操作");
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0);
        settle(worker, sim);
        const auto names = [&]() {
            QStringList list;
            if (z)
                for (const ZSceneInfo *pScene : worker.getZSceneList())
                    list << QString("%1 %2").arg(pScene->nSceneIndex).arg(pScene->strName);
            else
                for (const CTarnSceneRecord *pScene : worker.getSceneList())
                    list << QString("%1 %2").arg(pScene->nId).arg(pScene->strName);
            return list;
        };
        QCOMPARE(names().size(), 4);
        BesMessageBox::clearTestRecords();
        sim.injectFault(CDeviceSimulator::Fault(fault), 35);
        worker.setMcuCommand(strScene, hex("03") + g_toGbkField("New", 12), 2, 40);
        worker.setMcuCommand(strScene, hex("03"), 1, 0); // as the card does
        worker.setMcuCommand(strScene, QByteArray(1, char(deleted)), 2, 30);
        QTRY_VERIFY(sim.hasRequest(35, 30));
        if (title.isEmpty())
            worker.setMcuCommand(strScene, hex("03"), 1, 0);
        settle(worker, sim);
        QStringList device;
        for (int i = 0; i < sim.model().scenes.size(); ++i)
            device << QString("%1 %2").arg(i + 1).arg(sim.model().scenes.at(i).strName);
        QCOMPARE(names(), device);
        QCOMPARE(said("notice"), int(!title.isEmpty()));
        QCOMPARE(said("notice", "SN1", title), int(!title.isEmpty()));
    }

    // A refused delete leaves everything, and its scene id does not answer the next delete. A
    // refused recall takes the layer writes queued behind it along: made for the scene it names,
    // they would land on the scene the device shows.
    void refusedDeleteIsForgotten()
    {
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 2, 3);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        QVERIFY(connectWorker(worker, sim));
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0);
        settle(worker, sim);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10); // the gate closes on a recall
        settle(worker, sim);
        sim.injectFault(CDeviceSimulator::Nak, 35);
        worker.setMcuCommand(QString::fromUtf8("场景操作"), hex("02"), 2, 20);
        worker.setMcuCommand(QString::fromUtf8("图层设置"), hex("000000000001000100"), 2, 10);
        settle(worker, sim);
        QVERIFY(!sim.hasRequest(34, 10));
        sim.injectFault(CDeviceSimulator::Nak, 35);
        worker.setMcuCommand(QString::fromUtf8("场景操作"), hex("03"), 2, 30);
        settle(worker, sim);
        QCOMPARE(worker.getSceneList().size(), 3);
        worker.setMcuCommand(QString::fromUtf8("场景操作"), hex("01"), 2, 30);
        settle(worker, sim);
        QCOMPARE(worker.getSceneList().size(), 2);
        QCOMPARE(worker.getSceneList().at(0)->strName, QString("S2"));
        QCOMPARE(worker.getSceneList().at(1)->strName, QString("S3"));
        // A read of S3 queued behind the delete of S2 follows the device's new numbering.
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        settle(worker, sim);
        BesMessageBox::clearTestRecords();
        sim.clearRequests();
        worker.setMcuCommand(QString::fromUtf8("场景操作"), hex("01"), 2, 30);
        worker.setMcuCommand(QString::fromUtf8("场景操作"), hex("02"), 1, 0);
        settle(worker, sim);
        QCOMPARE(sim.requests(35, 0).size(), 1);
        QCOMPARE(sim.requests(35, 0).first().payload, hex("01"));
        QCOMPARE(worker.getSceneList().size(), 1);
        QCOMPARE(worker.getSceneList().at(0)->strName, QString("S3"));
        QCOMPARE(said("notice"), 0);
    }

    void droppedLinkEndsLoop()
    {
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        QSignalSpy status(&worker, &CTcpDeviceThread::sig_deviceStatus);
        QVERIFY(connectWorker(worker, sim));
        QVERIFY(worker.isConnected());
        sim.injectFault(CDeviceSimulator::DropConnection, 41);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        QTRY_VERIFY(!worker.isConnected());
        QTRY_VERIFY(worker.isFinished());
        QCOMPARE(status.last().at(0).toBool(), false);

        // the link is made again on request
        QSignalSpy connected(&worker, &CTcpDeviceThread::connected);
        worker.reConnected();
        worker.start();
        QVERIFY(connected.wait(3000));
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        QTRY_COMPARE(sim.requests(41).size(), 2);

        worker.slot_stopDeviceThread();
        QTRY_VERIFY(worker.isFinished());
    }

    // A write the worker refuses (switched off, or beyond the queue's bound on a device that stopped
    // answering) is said once, and the panels are handed again what the device holds.
    void refusedWriteHandsBackHeld_data()
    {
        QTest::addColumn<QString>("cmd");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QByteArray>("taken");   // written first: the device takes it (empty: the read at link-up)
        QTest::addColumn<QByteArray>("refused"); // then refused
        QTest::addColumn<QString>("topic");      // what the panel is handed again, with the value taken
        QTest::addColumn<QVariant>("shown");
        QTest::addColumn<bool>("bound");         // at the queue's bound, not switched off
        const QByteArray osd = hex("0100C8FF01000000000080001000FF000000FF");
        QTest::newRow("output delay, off") << "输出口设置" << 21 << hex("01012C") << hex("0101F4") << "slot_outputSettingsHeld" << QVariant("SN1") << false;
        QTest::newRow("audio volume, off") << "场景操作" << 51 << hex("0128") << hex("015A") << "slot_sceneAudioHeld" << QVariant("SN1") << false;
        QTest::newRow("OSD settings, off") << "OSD参数设置" << 1 << osd << QByteArray(19, 1) << "slot_osdSettingsHeld" << QVariant(osd) << false;
        QTest::newRow("OSD background transparency, no apply, off") << "OSD参数设置" << 4 << QByteArray() << hex("0064")
            << "slot_osdSettingsHeld" << QVariant(CSimDeviceModel().osdSettings) << false;
        QTest::newRow("device name, queue full") << "系统设置" << 10 << QByteArray("Hall").leftJustified(12, '\0')
                                                 << QByteArray("Stage").leftJustified(12, '\0') << "slot_getSystemDeviceName" << QVariant("Hall") << true;
    }
    void refusedWriteHandsBackHeld()
    {
        QFETCH(QString, cmd);
        QFETCH(int, sub);
        QFETCH(QByteArray, taken);
        QFETCH(QByteArray, refused);
        QFETCH(QString, topic);
        QFETCH(QVariant, shown);
        QFETCH(bool, bound);
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        QVERIFY(connectWorker(worker, sim, "SN1"));
        QVERIFY(taken.isEmpty() ? worker.setMcuCommand(cmd, taken, 1, 0) : worker.setMcuCommand(cmd, taken, 2, sub));
        settle(worker, sim);
        const QByteArray heldOsd = sim.model().osdSettings; // the OSD the device holds stays
        BesMessageBox::clearTestRecords();
        CHubSpy spy;
        if (bound)
            SimTest::holdQueue(worker, sim);
        else
            worker.setCanConnected(false);
        QVERIFY(!worker.setMcuCommand(cmd, refused, 2, sub));
        QVERIFY(!worker.setMcuCommand(cmd, refused, 2, sub));
        QTRY_VERIFY(spy.count(topic) > 0);
        QVERIFY(spy.last(topic).contains(shown));
        // Nothing goes out again on the reply topics, which name neither device nor scene.
        for (const char *pszReplyTopic : {"Delay", "slot_SetAudio"})
            QCOMPARE(spy.count(pszReplyTopic), 0);
        QCOMPARE(sim.model().osdSettings, heldOsd);
        QCOMPARE(said("notice", "SN1"), 1);
    }

    // A write the device took without answering, or whose answer went with the link, is read back
    // with the read of its kind (on the next link when the link went): the records and the panel
    // that shows the value end with what the device holds, its read back lost once too (asked
    // again, on the next link when the link went with it). Unanswered or lost, nothing calls it
    // not made: the device holds it (unless it comes back holding a third name). A read sent just
    // before it, or a read back's answer that may be such a read's (asked again), tells the old value;
    // a Tarn scene's, asked to its bound so, leaves the write said as not known.
    void writeOfUnknownFateIsReadBack_data()
    {
        QTest::addColumn<QString>("cmd");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QByteArray>("read");    // the read that fills the record first
        QTest::addColumn<QByteArray>("write");
        QTest::addColumn<bool>("lost");          // the link goes before the answer
        QTest::addColumn<QString>("topic");      // the panel told the value read back
        QTest::addColumn<QString>("held");       // the record at the end
        QTest::addColumn<QString>("readBack");   // its read back's first answer: "", "none", "lost" with the link, "other": the device back holding held, "late": a read sent with it, both answered after the next heartbeat's, "inflight": a read sent with it, both left unanswered (it taken), the read's answer coming while its read back, unanswered, is in flight ("behind": the read back answered), or "unclear": a read sent before it and it left unanswered, not taken ("unclearbound": its read back unanswered once too, the doubt given up at the scene reads' bound); "layer": a layer write of the live scene taken between its read back's scene and layer answers
        const QByteArray name = QByteArray("Hall").leftJustified(12, '\0');
        QTest::newRow("device name, unanswered") << "系统设置" << 10 << QByteArray() << name << false << "slot_getSystemDeviceName" << "Hall" << "";
        QTest::newRow("output delay, unanswered") << "输出口设置" << 21 << hex("01") << hex("01002A") << false << "Delay" << "42" << "";
        QTest::newRow("scene volume, unanswered") << "场景操作" << 51 << hex("01") << hex("015A") << false << "slot_SetAudio" << "90" << "";
        QTest::newRow("screen size, unanswered") << "大屏宽高" << 0 << hex("00") << hex("0F0008703C") << false << "slot_tarnScreenHeld" << "3840x2160" << "";
        QTest::newRow("screen size, answered late behind a read of the old size") << "大屏宽高" << 0 << hex("00") << hex("0F0008703C") << false << "slot_tarnScreenHeld" << "3840x2160" << "late";
        // the late answer may be the read back's or the read's: it counts from the read, sent before the write
        QTest::newRow("screen size, answered late while its read back is in flight") << "大屏宽高" << 0 << hex("00") << hex("0F0008703C") << false << "slot_tarnScreenHeld" << "3840x2160" << "inflight";
        // its read back's answer may be the read's, sent before it: showing the new value, it shows it taken
        QTest::newRow("screen size, its read back answered behind a read left unanswered") << "大屏宽高" << 0 << hex("00") << hex("0F0008703C") << false << "slot_tarnScreenHeld" << "3840x2160" << "behind";
        QTest::newRow("output delay, its read back answered behind a read left unanswered") << "输出口设置" << 21 << hex("01") << hex("01002A") << false << "Delay" << "42" << "behind";
        // each answer may be a read's sent before it: at the bound the doubt is said as not known
        QTest::newRow("scene name of a scene without layers, not taken, read back of unclear owner to its bound") << "场景操作" << 40 << hex("01") << hex("01") + name << false << "" << "S1" << "unclearbound";
        const QByteArray osd = hex("0100C8FF01000000000080001000FF000000FF");
        QTest::newRow("OSD settings, unanswered") << "OSD参数设置" << 1 << QByteArray() << osd << false << "slot_osdSettingsHeld" << QString(osd.toHex()) << "";
        QTest::newRow("device name, lost with the link") << "系统设置" << 10 << QByteArray() << name << true << "slot_getSystemDeviceName" << "Hall" << "";
        // back holding neither the old name nor the new one: not made
        QTest::newRow("device name, lost with the link, back with another") << "系统设置" << 10 << QByteArray() << name << true << "slot_getSystemDeviceName" << "Lobby" << "other";
        QTest::newRow("scene name, lost with the link, back with another") << "场景操作" << 40 << hex("01") << hex("01") + name << true << "" << "Lobby" << "other";
        QTest::newRow("output delay, lost with the link") << "输出口设置" << 21 << hex("01") << hex("01002A") << true << "Delay" << "42" << "";
        QTest::newRow("device name, read back unanswered once") << "系统设置" << 10 << QByteArray() << name << false << "slot_getSystemDeviceName" << "Hall" << "none";
        QTest::newRow("output delay, read back lost with the link") << "输出口设置" << 21 << hex("01") << hex("01002A") << false << "Delay" << "42" << "lost";
        QTest::newRow("scene name of a scene without layers, not taken, read back of unclear owner") << "场景操作" << 40 << hex("01") << hex("01") + name << false << "" << "S1" << "unclear";
        // the layer write's read back is the same scene read: the name's doubt still compares the name it held
        QTest::newRow("live scene name, unanswered, a layer write taken before its layers are read back") << "场景操作" << 40 << hex("01") << hex("01") + name << false << "" << "Hall" << "layer";
    }
    void writeOfUnknownFateIsReadBack()
    {
        QFETCH(QString, cmd);
        QFETCH(int, sub);
        QFETCH(QByteArray, read);
        QFETCH(QByteArray, write);
        QFETCH(bool, lost);
        QFETCH(QString, topic);
        QFETCH(QString, held);
        QFETCH(QString, readBack);
        const int nCmd = g_getTexingIndex(cmd);
        const int nReadSub = nCmd == Tx_OSDSet || sub == 40 ? 0 : sub; // a rename by the scene read
        const bool bLate = readBack == "late", bUnclear = readBack.startsWith("unclear");
        const bool bInFlight = readBack == "inflight" || readBack == "behind";
        const bool bSaid = readBack == "other" || bUnclear; // not made (at the bound: not known)
        CDeviceSimulator sim;
        if (bUnclear)
            sim.model().scenes[0].layers.clear(); // no layer read follows its answer
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        if (bLate || bInFlight)
            worker.setHeartbeatInterval(60000); // none but the first until asked
        QVERIFY(connectWorker(worker, sim, "SN1"));
        if (!lost && !bLate && !bInFlight)
            worker.setHeartbeatInterval(300); // its reply ends the write
        CHubSpy spy;
        if (readBack == "layer")
            worker.setMcuCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0); // the live scene
        worker.setMcuCommand(cmd, read, 1, nReadSub);
        settle(worker, sim);
        const auto record = [&]() {
            QString strName;
            switch (g_getTexingIndex(cmd)) {
            case Tx_OSDSet: // kept for the text page, which the topic shows
                return QString(spy.last("slot_osdSettingsHeld").value(1).toByteArray().toHex());
            case Tx_SetSystem: return worker.deviceNameRecord(strName) ? strName : QString();
            case Tx_Outletsetting: return QString::number(worker.outputsRecord().ports.value(1).nDelay);
            case Tx_SceneInfo:
                if (sub == 40)
                    return worker.getSceneList().value(0) ? worker.getSceneList().value(0)->strName : QString();
                return worker.sceneAudioRecord(1) ? QString::number(worker.sceneAudioRecord(1)->nVolume) : QString();
            default: return QString("%1x%2").arg(worker.getDeviceInfo()->nScreenWidth).arg(worker.getDeviceInfo()->nScreenHeight);
            }
        };
        QVERIFY(record() != held || bUnclear);
        BesMessageBox::clearTestRecords();
        spy.clear();
        const QByteArray oldAnswer = readBack == "inflight" ? CDeviceSimulator::replyFrame(nCmd, 1, nReadSub, sim.model().answer(nCmd, 1, nReadSub, read))
                                               : QByteArray();
        if (bInFlight)
            sim.injectFault(CDeviceSimulator::NoAnswer, nCmd); // the read; the write is taken
        // late: the read, then the write, in one millisecond (no gate between them: its id was the last answered)
        sim.injectFault(bLate ? CDeviceSimulator::AfterNext : bUnclear ? CDeviceSimulator::NoAnswer : CDeviceSimulator::TakenNoAnswer, nCmd,
                        bLate || bUnclear ? 2 : 1);
        if (readBack == "none" || readBack == "lost" || readBack == "inflight" || readBack == "unclearbound")
            sim.injectFault(readBack == "lost" ? CDeviceSimulator::DropConnection : CDeviceSimulator::NoAnswer, nCmd);
        QMetaObject::Connection layerWrite; // queued while the scene read back is answered: sent before its layer read
        if (readBack == "layer")
            layerWrite = connect(&sim, &CDeviceSimulator::requestReceived, &sim, [&](int nReqCmd, int nReqRw, int nReqSub) {
                if (nReqCmd == nCmd && nReqRw == 1 && nReqSub == 0) {
                    disconnect(layerWrite);
                    worker.setMcuCommand(QString::fromUtf8("图层设置"), hex("0032"), 2, 30); // layer 0 at transparency 50
                }
            });
        worker.injectClockHeld(bLate);
        if (bLate || bUnclear || bInFlight)
            worker.setMcuCommand(cmd, read, 1, nReadSub);
        worker.setMcuCommand(cmd, write, 2, sub);
        if (lost || bLate || bInFlight)
            QTRY_VERIFY(sim.hasRequest(nCmd, sub) && sim.requests(nCmd, sub).last().nReadOrWrite == 2);
        if (bInFlight) { // a heartbeat's reply ends both; the read's answer comes once the read back is sent
            worker.injectHeartbeatSent();
            QTRY_COMPARE(sim.requests(nCmd).last().nReadOrWrite, 1);
            if (!oldAnswer.isEmpty())
                worker.injectReceivedData(oldAnswer);
        }
        worker.injectClockHeld(false);
        if (bLate)
            worker.setHeartbeatInterval(300);
        if (lost || readBack == "lost") {
            if (lost) {
                sim.dropClients();
                if (readBack == "other")
                    (sub == 40 ? sim.model().scenes[0].strName : sim.model().strDeviceName) = held;
            }
            QTRY_VERIFY(worker.isFinished());
            QVERIFY(SimTest::linkAgain(worker));
            if (sub == 40) // the next link's start reads the scenes
                worker.setMcuCommand(cmd, read, 1, nReadSub);
        }
        QTRY_COMPARE(record(), held);
        settle(worker, sim);
        QCOMPARE(record(), held);
        if (readBack == "layer") {
            QStringList order;
            for (const CSimRequest &r : sim.requests())
                if (r.nCmd == Tx_SetLayer || (r.nCmd == nCmd && r.nReadOrWrite == 1))
                    order << QString("%1/%2").arg(r.nCmd).arg(r.nSub);
            QVERIFY2(order.join(' ').endsWith("35/0 34/30 35/80"), qPrintable(order.join(' ')));
            QCOMPARE(sim.model().scenes[0].layers.at(0).nTrans, 50);
        }
        QStringList shown;
        for (const QVariant &v : spy.last(topic))
            shown << (v.type() == QVariant::ByteArray ? QString(v.toByteArray().toHex()) : v.toString());
        QVERIFY2(topic.isEmpty() || shown.contains(held.section('x', 0, 0)), qPrintable(shown.join(' ')));
        QCOMPARE(said("notice"), int(bSaid));
        QCOMPARE(said("notice", "SN1", QString::fromUtf8(readBack == "unclearbound" ? "修改未确认" : "修改未生效")), int(bSaid));
    }

    // Every write ends taken or said. Taken: the records follow, nothing is said. Refused by the
    // device, lost with the link, never answered, or dropped from the queue by a switch-off: said
    // once (naming the device, the kind in the title), and the panels are shown the records
    // again, which hold what the device holds. A recall or delete that ends so answers nothing
    // later; reads asked again after it are not merged into one queued before the next write.
    void writeEndings_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("title"); // empty: nothing said
        QTest::newRow("acknowledged") << "ack" << "";
        QTest::newRow("acknowledged, behind a read of its command left unanswered") << "kind" << "";
        QTest::newRow("acknowledged, more in flight than their bound") << "burst" << "";
        QTest::newRow("acknowledged after it ended unanswered") << "late" << "";
        QTest::newRow("refused by the device") << "nak" << "修改未生效";
        QTest::newRow("never answered") << "noanswer" << "修改未生效";
        // said by what its read back answers: the device's value, asked again when not answered
        QTest::newRow("taken, never answered") << "taken" << "";
        QTest::newRow("never answered, its read back unanswered once") << "noanswer2" << "修改未生效";
        // the read back's answer may be that read's: asked again, the next answer is the read back's
        QTest::newRow("never answered behind a read of its kind never answered") << "afterread" << "修改未生效";
        // a refusal that may be the unanswered read's is asked again: the answer shows the write
        QTest::newRow("taken, never answered, its read back unanswered, then refused") << "takennak" << "";
        // a refusal of its kind that answers nothing open ends nothing and sends nothing
        QTest::newRow("acknowledged, then a refusal of its kind") << "straynak" << "";
        QTest::newRow("never answered, another answered, then a refusal of it") << "latenak" << "修改未生效";
        // lost in flight: said only by what the next link's read back shows
        QTest::newRow("lost in flight") << "lost" << "修改未生效";
        QTest::newRow("lost in flight, taken") << "losttaken" << "";
        QTest::newRow("of the value held, never answered") << "same" << "";
        QTest::newRow("never answered, its read back given up") << "giveup" << "修改未确认";
        QTest::newRow("rename never answered, its read back unanswered once") << "rename" << "修改未生效";
        QTest::newRow("rename taken, never answered, its read back unanswered once") << "renametaken" << "";
        QTest::newRow("rename lost in flight, the device back with another name") << "renamelost" << "修改未生效";
        QTest::newRow("in flight and queued at a switch-off") << "off" << "设备未连接";
        QTest::newRow("recall never answered, then another") << "recall" << "修改未生效";
        QTest::newRow("recall taken, its live settings read unanswered once") << "recallread" << "";
        QTest::newRow("recall taken, its live settings read refused once") << "recallnak" << "";
        // asked to its bound, then said once: the records hold the scene as stored, not as reported
        QTest::newRow("recall taken, its live settings read never answered") << "recallgiveup" << "修改未确认";
        // the read back merges into the page's read queued behind the recall: that read is ours now
        QTest::newRow("recall taken, the page's live settings read behind it never answered") << "recallpage" << "修改未确认";
        // the operator changed nothing: a start-up read given up is no write's doubt; a recall's read
        // of the same settings given up then is said
        QTest::newRow("the start-up live settings read never answered, then a recall's") << "startup" << "修改未确认";
        // the mute's read back merges into that read: asked as often as before; the scene stored with
        // its sound on, the device holding it shows the mute dropped
        QTest::newRow("recall taken, the mute behind it dropped, its live settings read unanswered twice") << "recallmute" << "修改未生效";
        // the next link's count says the scene is not there
        QTest::newRow("save to a new scene never answered, its read back lost with the link") << "savegone" << "修改未生效";
        // the device refuses to read a scene it does not have; a refusal credited to none is asked again
        QTest::newRow("save to a new scene never answered, its read back refused") << "saverefused" << "修改未生效";
        // the last scene is within the device's count: a count answer says nothing of it
        QTest::newRow("save over the last scene taken, never answered, a count read before its read back") << "saveover" << "";
        // a count read of ours queued behind it shows the scene beyond the count
        QTest::newRow("save to a new scene never answered, a count read then") << "savecount" << "修改未生效";
        QTest::newRow("save to a new scene never answered, a count read then, no scene read answered") << "savecountquiet" << "修改未生效";
        // refused, each time perhaps for the read before it: asked to its bound, then not known
        QTest::newRow("save to a new scene never answered, its read back refused of unclear owner") << "saveunclear" << "修改未确认";
        // a settings read refused there is asked again once the queue has room
        QTest::newRow("queue at its bound") << "bound" << "设备忙";
        // refused by the device, its read back is turned away at the bound: the next link asks it
        QTest::newRow("never answered, its read back at the queue's bound, then lost with the link") << "boundlost" << "修改未生效";
        // an input's name read back stays ours whatever the operator writes since, and shows that input alone
        QTest::newRow("input name never answered, its read back unanswered, another input renamed") << "inputs" << "修改未生效";
        // the name read back tells of the name alone: its EDID, read changed meanwhile, tells nothing of it
        QTest::newRow("input name never answered, its EDID read changed before its read back") << "inputedid" << "修改未生效";
        // no start-up read reads it: the read back is asked on the next link
        QTest::newRow("input name lost in flight") << "inputlost" << "修改未生效";
    }
    void writeEndings()
    {
        QFETCH(QString, ending);
        QFETCH(QString, title);
        CDeviceSimulator sim(CSimDeviceModel::Z, 2, 3);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        worker.setDeviceType("Z");
        QVERIFY(connectWorker(worker, sim, "ZS"));
        const QString strLayer = QString::fromUtf8("图层设置"), strScene = QString::fromUtf8("场景操作");
        const QString strCounts = QString::fromUtf8("源及场景数");
        worker.setMcuCommand(strCounts, hex("01"), 1, 0);
        worker.setMcuCommand(strLayer, hex("00"), 1, 0);
        settle(worker, sim);
        BesMessageBox::clearTestRecords();
        CHubSpy spy;
        if (ending == "nak" || ending.startsWith("lost"))
            sim.injectFault(ending == "nak" ? CDeviceSimulator::Nak
                            : ending == "lost" ? CDeviceSimulator::DropConnection : CDeviceSimulator::TakenNoAnswer, 34);
        if (ending.startsWith("noanswer") || ending == "recall" || ending == "latenak" || ending.startsWith("taken")
            || ending == "giveup" || ending == "same" || ending == "afterread") {
            sim.injectFault(ending.startsWith("taken") ? CDeviceSimulator::TakenNoAnswer : CDeviceSimulator::NoAnswer,
                            ending == "recall" ? 35 : 34, ending == "noanswer2" || ending == "afterread" ? 2 : ending == "giveup" ? 4 : 1);
            worker.setHeartbeatInterval(300); // its reply ends the write
        }
        if (ending == "takennak") {
            sim.injectFault(CDeviceSimulator::NoAnswer, 34);
            sim.injectFault(CDeviceSimulator::Nak, 34);
        }
        if (ending == "off")
            sim.setReplyDelay(400);
        if (ending.startsWith("recall") || ending.startsWith("save") || ending.startsWith("rename"))
            worker.setHeartbeatInterval(300); // its reply ends the write or its read back
        if (ending == "recall") {
            worker.setMcuCommand(strScene, hex("03"), 2, 20);
            QTRY_VERIFY(!BesMessageBox::testRecords().isEmpty());
            worker.setMcuCommand(strScene, hex("02"), 2, 20);
            settle(worker, sim);
            QCOMPARE(sim.model().nTakeScene, 2);
            QCOMPARE(worker.getDeviceInfo()->nTakeScene, sim.model().nTakeScene);
        } else if (ending.startsWith("recall")) { // the scene's brightness is live after it: read again
            std::tie(sim.model().scenes[1].nBrightness, sim.model().scenes[1].nSilent) = std::make_tuple(75, 1); // its sound on
            worker.setMcuCommand(strScene, hex("02"), 1, 0);
            if (ending == "recallgiveup" || ending == "recallmute") { // read at the link's start, as a Z device's live settings are
                sim.model().nSilent = 0; // muted
                worker.askStartupRead(strLayer, hex("00"), 0);
            }
            settle(worker, sim);
            if (ending == "recallmute")
                sim.model().scenes[1].nBrightness = 80; // another client's: the mute's doubt minds the sound alone
            sim.injectFault(ending == "recallnak" ? CDeviceSimulator::Nak : CDeviceSimulator::NoAnswer, 34, ending == "recallread" || ending == "recallnak" ? 1 : ending == "recallpage" ? 4 : 3);
            worker.setMcuCommand(strScene, hex("02"), 2, 20);
            if (ending == "recallmute")
                worker.setMcuCommand(strLayer, hex("0000"), 2, 44);
            if (ending == "recallpage") // the recall's read back merges into it, then is asked three times
                worker.setMcuCommand(strLayer, hex("00"), 1, 0);
            settle(worker, sim);
            QCOMPARE(sim.model().nSilent, 1);
            QCOMPARE(worker.getSystemInfo()->nsilent, 1);
            QCOMPARE(worker.getSystemInfo()->nbrightness, ending == "recallgiveup" ? 75 : sim.model().nBrightness); // given up: as stored
        } else if (ending == "startup") {
            worker.setHeartbeatInterval(300);
            sim.injectFault(CDeviceSimulator::NoAnswer, 34, 3);
            sim.clearRequests();
            worker.askStartupRead(strLayer, hex("00"), 0);
            settle(worker, sim);
            QCOMPARE(sim.requests(34, 0).size(), 3);
            QCOMPARE(said("notice"), 0);
            sim.injectFault(CDeviceSimulator::NoAnswer, 34, 3);
            worker.setMcuCommand(strScene, hex("02"), 2, 20);
            settle(worker, sim);
            QCOMPARE(sim.requests(34, 0).size(), 3 + 3);
        } else if (ending == "saverefused" || ending == "saveunclear" || ending.startsWith("savecount")) {
            // unclear: the read back unanswered too, those asked again refused
            sim.injectFault(CDeviceSimulator::NoAnswer, 35, ending == "saveunclear" ? 2 : ending == "savecount" ? 4 : ending == "savecountquiet" ? 20 : 1);
            worker.setMcuCommand(strScene, hex("0104"), 2, 10);
            if (ending.startsWith("savecount"))
                worker.setMcuCommand(strCounts, hex("01"), 1, 0);
            settle(worker, sim);
            if (ending == "saveunclear")
                QCOMPARE(sim.requests(35, 0).size(), 3 + 3); // the start-up reads of three scenes, then three asks
            QCOMPARE(sim.model().scenes.size(), 3);
        } else if (ending == "savegone") {
            sim.injectFault(CDeviceSimulator::NoAnswer, 35);
            sim.injectFault(CDeviceSimulator::DropConnection, 35);
            worker.setMcuCommand(strScene, hex("0104"), 2, 10);
            QTRY_VERIFY(worker.isFinished());
            QVERIFY(SimTest::linkAgain(worker));
            worker.setMcuCommand(strCounts, hex("01"), 1, 0);
            settle(worker, sim);
            QCOMPARE(sim.model().scenes.size(), 3);
            QCOMPARE(worker.getDeviceInfo()->nSceneNum, 3);
        } else if (ending == "saveover") {
            sim.injectFault(CDeviceSimulator::TakenNoAnswer, 35);
            worker.setMcuCommand(strScene, hex("0103"), 2, 10);
            worker.setMcuCommand(strCounts, hex("01"), 1, 0);
            settle(worker, sim);
        } else if (ending == "rename" || ending == "renametaken") { // its read back unanswered, asked again
            sim.injectFault(ending == "rename" ? CDeviceSimulator::NoAnswer : CDeviceSimulator::TakenNoAnswer, 35);
            sim.injectFault(CDeviceSimulator::NoAnswer, 35);
            worker.setMcuCommand(strScene, hex("02") + g_toGbkField("New", 12), 2, 40);
            settle(worker, sim);
            QCOMPARE(sim.requests(35, 0).size(), 3 + 2); // the start-up reads of three scenes, then two asks
            QCOMPARE(worker.findZScene(2)->strName, sim.model().scenes[1].strName);
        } else if (ending.startsWith("input")) { // input 1 renamed
            const QString strInput = QString::fromUtf8("输入设置");
            worker.setHeartbeatInterval(300);
            sim.injectFault(ending == "inputlost" ? CDeviceSimulator::DropConnection : CDeviceSimulator::NoAnswer, 31, ending == "inputs" ? 2 : 1);
            sim.clearRequests();
            worker.setMcuCommand(strInput, hex("0100") + g_toGbkField("Cam", 12), 2, 2);
            if (ending == "inputs") {
                QTRY_COMPARE(sim.requests(31, 2).size(), 2); // the write and its read back
                worker.setMcuCommand(strInput, hex("0000") + g_toGbkField("Desk", 12), 2, 2);
            } else if (ending == "inputedid") { // queued before the read back
                sim.model().inputs[1].nEdidWidth = 1280;
                worker.setMcuCommand(strInput, hex("01"), 1, 3);
            } else {
                QTRY_VERIFY(worker.isFinished());
                QVERIFY(SimTest::linkAgain(worker));
            }
            settle(worker, sim);
            QCOMPARE(worker.getDeviceInfo()->findInput(1)->strName, sim.model().inputs[1].strName);
            QCOMPARE(worker.getDeviceInfo()->findInput(1)->nEdidWidth, sim.model().inputs[1].nEdidWidth);
        } else if (ending == "boundlost") { // the device falls silent as the read back reaches it
            sim.injectFault(CDeviceSimulator::NoAnswer, 34);
            worker.setHeartbeatInterval(300);
            SimTest::holdQueue(worker, sim, 1024, [&] { worker.setMcuCommand(strLayer, hex("001E"), 2, 45); }, 34); // sound 30
            worker.injectReceivedData(CDeviceSimulator::replyFrame(34, 1, 0, hex("C5C0")));
            sim.dropClients();
            QTRY_VERIFY(worker.isFinished());
            sim.setAnswering(true);
            QVERIFY(SimTest::linkAgain(worker));
            settle(worker, sim);
            QCOMPARE(worker.getSystemInfo()->nsound, 50);
        } else if (ending == "renamelost") { // read back on the next link
            sim.injectFault(CDeviceSimulator::DropConnection, 35);
            worker.setMcuCommand(strScene, hex("02") + g_toGbkField("New", 12), 2, 40);
            QTRY_VERIFY(worker.isFinished());
            sim.model().scenes[1].strName = "Other";
            QVERIFY(SimTest::linkAgain(worker));
            settle(worker, sim);
            QCOMPARE(worker.findZScene(2)->strName, QString("Other"));
        } else if (ending == "late") { // a name (not read back), acknowledged after the next heartbeat's reply
            sim.injectFault(CDeviceSimulator::AfterNext, 41);
            worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray("BBBB").leftJustified(12, '\0'), 2, 10);
            QTRY_COMPARE(spy.last("slot_getSystemDeviceName").value(0).toString(), QString("BBBB"));
        } else {
            if (ending == "bound") {
                SimTest::holdQueue(worker, sim);
                worker.setMcuCommand(strLayer, hex("00"), 1, 0);
                sim.clearRequests();
            }
            if (ending == "kind") { // one answered, then a read of its command left unanswered
                sim.injectFault(CDeviceSimulator::GarbageBefore, 34);
                sim.injectFault(CDeviceSimulator::NoAnswer, 34);
                worker.setMcuCommand(strLayer, hex("0014"), 2, 45);
                worker.setMcuCommand(strLayer, hex("00"), 1, 45);
            }
            for (int i = 0; ending == "burst" && i < 300; ++i)
                worker.setMcuCommand(strLayer, hex("0014"), 2, 45);
            if (ending == "afterread")
                worker.setMcuCommand(strLayer, hex("00"), 1, 0);
            worker.setMcuCommand(strLayer, hex(ending == "same" ? "0032" : "001E"), 2, 45); // sound 30 (50: held)
            if (ending == "losttaken") {
                QTRY_VERIFY(sim.hasRequest(34, 45));
                sim.dropClients();
            }
            if (ending.startsWith("lost")) { // nothing said while away; the next link reads it back
                QTRY_VERIFY(worker.isFinished());
                QCOMPARE(said("notice"), 0);
                QVERIFY(SimTest::linkAgain(worker));
            }
            if (ending == "bound") {
                QTRY_VERIFY(!BesMessageBox::testRecords().isEmpty());
                sim.setAnswering(true);
                QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(34, 0), 10000);
            }
            if (ending == "off") {
                worker.setMcuCommand(strLayer, hex("0050"), 2, 46); // brightness 80, queued
                QTRY_VERIFY(sim.hasRequest(34, 45));
                worker.setCanConnected(false);
                QCOMPARE(worker.queuedCommandCount(), 0);
                worker.disconnectFromServer();
                QTRY_VERIFY(!worker.isConnected());
            } else {
                settle(worker, sim);
            }
            if (ending == "straynak" || ending == "latenak") {
                if (ending == "latenak") {
                    worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
                    settle(worker, sim);
                }
                sim.clearRequests();
                QByteArray nak = CDeviceSimulator::replyFrame(34, 2, 45, hex("C5C0"));
                worker.injectReceivedData(nak);
                settle(worker, sim);
                QCOMPARE(sim.requestCount(), 0);
            }
            QTRY_COMPARE(spy.last("slot_initWidgetdate").value(1).toString(),
                         title.isEmpty() && !ending.startsWith("taken") && ending != "losttaken" && ending != "same" ? QString() : QString("ZS"));
            if (ending != "off") // the device took the one that reached it
                QCOMPARE(worker.getSystemInfo()->nsound, sim.model().nSound);
            QCOMPARE(sim.model().nSound, title.isEmpty() && ending != "same" ? 30 : 50);
            QCOMPARE(worker.getSystemInfo()->nsound, sim.model().nSound);
            QCOMPARE(sim.model().nBrightness, 100);
        }
        QTest::qWait(50);
        QCOMPARE(said("notice"), int(!title.isEmpty()));
        QCOMPARE(said("notice", "ZS", title), int(!title.isEmpty()));
        QCOMPARE(said("tipInfor", "ZS"), int(ending.contains("lost") || ending == "savegone")); // a lost link is a box naming the device
    }

    // Over TCP a device from which nothing came for three heartbeat periods lost its link: the
    // box names it, a write then is refused and said. A device that answers slowly, within the
    // period, stays linked.
    void silentDeviceLosesItsLink()
    {
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        worker.setHeartbeatInterval(600);
        QSignalSpy status(&worker, &CTcpDeviceThread::sig_deviceStatus);
        QVERIFY(connectWorker(worker, sim, "SN1"));
        sim.setReplyDelay(900);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        QTRY_VERIFY_WITH_TIMEOUT(sim.requests(27).size() >= 6, 10000);
        QVERIFY(worker.isConnected());
        BesMessageBox::clearTestRecords();
        sim.setAnswering(false);
        QTRY_VERIFY_WITH_TIMEOUT(!worker.isConnected(), 10000);
        QCOMPARE(status.last().at(0).toBool(), false);
        QTRY_COMPARE(said("tipInfor", "SN1"), 1);
        QVERIFY(!worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray("Hall").leftJustified(12, '\0'), 2, 10));
        QTRY_COMPARE(said("notice"), 1);
    }

    // A device that answers in 400 ms, from a thread of its own, while this thread is held busy
    // for 10 s at the default heartbeat (the heartbeats wait unwritten): the link stays, unsaid.
    void consoleStallIsNoSilence()
    {
        QThread simThread;
        auto *pSim = new CDeviceSimulator;
        QVERIFY(pSim->listen(QHostAddress("127.0.0.1"), 0));
        pSim->moveToThread(&simThread);
        connect(&simThread, &QThread::finished, pSim, &QObject::deleteLater);
        simThread.start();
        const auto stop = qScopeGuard([&simThread] { simThread.quit(); simThread.wait(); });
        CTcpDeviceThread worker;
        QSignalSpy status(&worker, &CTcpDeviceThread::sig_deviceStatus);
        QVERIFY(connectWorker(worker, *pSim, "SN1"));
        QTRY_VERIFY(worker.queuedCommandCount() == 0 && !worker.hasCommandInFlight());
        QMetaObject::invokeMethod(pSim, [pSim] { pSim->setReplyDelay(400); });
        QSignalSpy heard(worker.getTcpTransport(), &CTcpSocket::receivedData);
        QVERIFY(heard.wait(5000)); // a heartbeat answered: nothing is in flight now
        BesMessageBox::clearTestRecords();
        QElapsedTimer busy;
        for (busy.start(); busy.elapsed() < 10000;) {}
        heard.clear();
        QVERIFY(heard.wait(5000)); // the heartbeats written now are answered
        QCOMPARE(status.count(), 1);
        QVERIFY(BesMessageBox::testRecords().isEmpty());
    }

    // Disconnecting while the link is still coming up abandons the attempt: the link never comes up
    // behind the caller's back, and a later connect works as usual.
    void disconnectWhileConnecting()
    {
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        worker.setCanConnected(true);
        QSignalSpy connected(&worker, &CTcpDeviceThread::connected);
        QSignalSpy status(&worker, &CTcpDeviceThread::sig_deviceStatus);
        worker.connectToServer(sim.address().toString(), sim.port());
        QVERIFY(worker.getTcpTransport()->getTcpSocket()->state() != QAbstractSocket::ConnectedState);
        worker.slot_stopDeviceThread();
        QTest::qWait(300);
        QCOMPARE(connected.count(), 0);
        QVERIFY(!worker.isConnected());
        QCOMPARE(worker.getTcpTransport()->getTcpSocket()->state(), QAbstractSocket::UnconnectedState);
        for (const QList<QVariant> &args : status)
            QCOMPARE(args.at(0).toBool(), false);

        worker.connectToServer(sim.address().toString(), sim.port());
        QVERIFY(connected.wait(3000));
        QVERIFY(worker.isConnected());
    }

    // Connecting again while a link is up replaces it: the old link's end does not stop the worker
    // on the new one.
    void connectAgainWhileConnected()
    {
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        QVERIFY(connectWorker(worker, sim));
        QSignalSpy connected(&worker, &CTcpDeviceThread::connected);
        worker.reConnected();
        QVERIFY(connected.wait(3000));
        QVERIFY(worker.isConnected());
        // The loop may have ended with the old link (the device list starts it again on connected()).
        worker.wait(300);
        if (!worker.isRunning())
            worker.start();
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        QTRY_VERIFY(sim.hasRequest(41));
        QVERIFY(worker.isConnected());
        worker.slot_stopDeviceThread();
        QTRY_VERIFY(worker.isFinished());
    }

    // Frames handed over while the link is still coming up go out unchanged once it is up; a failed
    // attempt drops what it held, so nothing of it reaches a later link.
    void framesHeldUntilConnected()
    {
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpSocket socket;
        QSignalSpy errors(&socket, &CTcpSocket::error);
        socket.connectToServer("127.0.0.1", sim.port());
        QVERIFY(socket.getTcpSocket()->state() != QAbstractSocket::ConnectedState);
        const QByteArray name = CDeviceFrame::buildRequest(41, 1, 10, QByteArray());
        const QByteArray info = CDeviceFrame::buildRequest(0, 1, 0, hex("01"));
        socket.sendData(name);
        socket.sendData(info);
        QTRY_VERIFY(sim.hasRequest(0));
        QCOMPARE(sim.requests().size(), 2);
        QCOMPARE(sim.requests().at(0).bytes, name);
        QCOMPARE(sim.requests().at(1).bytes, info);
        QCOMPARE(socket.getTcpSocket()->state(), QAbstractSocket::ConnectedState);
        QCOMPARE(errors.count(), 0);

        quint16 uClosedPort = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress("127.0.0.1"), 0));
            uClosedPort = probe.serverPort();
        }
        socket.connectToServer("127.0.0.1", uClosedPort);
        socket.sendData(CDeviceFrame::buildRequest(33, 1, 0, hex("01")));
        QVERIFY(errors.wait(3000));
        socket.connectToServer("127.0.0.1", sim.port());
        socket.sendData(name);
        QTRY_COMPARE(sim.requests(41).size(), 2);
        QVERIFY(!sim.hasRequest(33));
    }

    // Connecting to a host that does not answer gives up after the connect time-out.
    void connectTimeout()
    {
        // A listening socket with a full backlog leaves further connection attempts unanswered.
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_in addr {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(0x7F000001);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)), 0);
        QCOMPARE(::listen(fd, 0), 0);
        socklen_t len = sizeof(addr);
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
        QList<int> fillers;
        for (int i = 0; i < 4; ++i) {
            const int c = ::socket(AF_INET, SOCK_STREAM, 0);
            ::fcntl(c, F_SETFL, O_NONBLOCK);
            ::connect(c, reinterpret_cast<sockaddr *>(&addr), sizeof(addr));
            fillers << c;
        }
        QTest::qWait(50);

        CTcpDeviceThread worker;
        worker.setConnectTimeout(400);
        worker.setCanConnected(true);
        QSignalSpy errors(&worker, &CTcpDeviceThread::error);
        QSignalSpy connected(&worker, &CTcpDeviceThread::connected);
        QElapsedTimer t;
        t.start();
        worker.connectToServer("127.0.0.1", ntohs(addr.sin_port));
        QVERIFY(errors.wait(3000));
        QVERIFY2(t.elapsed() >= 300, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(connected.count(), 0);
        QVERIFY(!worker.isConnected());
        // the box opens on the next event-loop pass, after the socket finished reporting
        QTRY_VERIFY(!BesMessageBox::testRecords().isEmpty() && BesMessageBox::testRecords().last().kind == "tipInfor");
        for (int c : fillers)
            ::close(c);
        ::close(fd);
    }

    // An idle connected worker sleeps: only heartbeats leave, one per interval.
    void idleWorkerOnlyHeartbeats()
    {
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        worker.setHeartbeatInterval(100);
        QElapsedTimer t;
        t.start();
        QVERIFY(connectWorker(worker, sim));
        QTRY_VERIFY_WITH_TIMEOUT(sim.requests(27).size() >= 4, 10000);
        // never more than one per interval, however long the machine took
        const int nBeats = sim.requests(27).size();
        QVERIFY2(nBeats <= t.elapsed() / 100 + 2, qPrintable(QString("%1 in %2 ms").arg(nBeats).arg(t.elapsed())));
        QCOMPARE(sim.requestCount(), 0);
    }

    // The shared topics act only on the edited device's worker once one is named; the press of a
    // Z source changes no record before the device takes it.
    void sharedTopicsReachEditedDeviceOnly()
    {
        CHubSpy spy;
        CTcpDeviceThread a, b;
        a.setDeviceSerial("A");
        b.setDeviceSerial("B");
        a.setDeviceType("Z");
        b.setDeviceType("Z");
        CTcpDeviceThread::setEditedDeviceSerial("B");
        globalObserver::getGlobalObserver()->notify("slot_GetZSencedate");
        for (CTcpDeviceThread *p : {&a, &b}) {
            p->injectSentCommand(QString::fromUtf8("源及场景数"), hex("01"), 1, 0);
            p->injectReceivedData(CDeviceFrame::buildReply(33, 1, 0, hex("02080201")));
        }
        QCOMPARE(spy.count("slot_getZScenedate"), 1);
        QCOMPARE(spy.last("slot_getZScenedate").last().toString(), QString("B"));
        int nMain = 3;
        globalObserver::getGlobalObserver()->notify("slot_GetZMainSig", Q_ARG(int, nMain));
        QCOMPARE(b.getSystemInfo()->nMainSignumber, 0);
        CTcpDeviceThread::setEditedDeviceSerial(QString());
    }
};

VISTEL_TEST_MAIN(TestWorker)
#include "tst_worker.moc"
