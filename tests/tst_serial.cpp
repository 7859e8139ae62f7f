#include "TestMain.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSignalSpy>

#include "BesMessageBox.h"
#include "DeviceSimulator.h"
#include "GbkCodec.h"
#include "HubSpy.h"
#include "QorGlobal.h"
#include "SimTestUtil.h"
#include "TcpDeviceThread.h"
#include "TestUtil.h"
#include "globalObserver.h"
#include "serislport.h"

// The worker in serial mode against the simulator over a pseudo-terminal pair: no heartbeat,
// replies arriving in pieces, the reply time-out that replaces the heartbeat's release, the
// one-step holds, and the port's failure and close paths.
class TestSerial : public QObject
{
    Q_OBJECT

    static bool openSerial(CTcpDeviceThread &worker, CDeviceSimulator &sim)
    {
        if (!sim.openPty())
            return false;
        worker.setDeviceSerial(sim.ptyName());
        worker.connectToSerislport(sim.ptyName());
        if (!worker.isConnected())
            return false;
        worker.start();
        return true;
    }

    static qint64 timeOf(const CDeviceSimulator &sim, int nCmd, int nSub = -1)
    {
        const QList<CSimRequest> list = sim.requests(nCmd, nSub);
        return list.isEmpty() ? -1 : list.first().nTimeMs;
    }

private slots:
    void initTestCase()
    {
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
    }

    void init()
    {
        g_strDevType = "Tarn";
        g_nConnectionType = 1;
    }

    void commandsAndRepliesOverPty()
    {
        CHubSpy spy;
        CDeviceSimulator sim;
        CTcpDeviceThread worker;
        QVERIFY(openSerial(worker, sim));
        QVERIFY(worker.isSerialMode());
        worker.setMcuCommand(QString::fromUtf8("设备信息"), QByteArray(1, 1), 1, 0);
        QTRY_COMPARE(spy.count("slot_getConnectingType"), 1);
        QCOMPARE(spy.last("slot_getConnectingType").at(0).toString(), QString("Tarn-3"));
        QCOMPARE(sim.requests(0).first().bytes, QByteArray::fromHex("AA55000108001000000000010000000000 01 001B"));
        QVERIFY(sim.requests(0).first().bSerial);

        // a reply delivered byte by byte, then two in one write
        sim.injectFault(CDeviceSimulator::SplitBytes, 41);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        QTRY_COMPARE(spy.count("slot_getSystemDeviceName"), 1);
        sim.injectFault(CDeviceSimulator::MergeWithNext, 41);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(1, 1), 1, 10); // not the same read
        QTRY_COMPARE(spy.count("slot_getSystemDeviceName"), 3);

        // no heartbeat on a serial line
        QTest::qWait(200);
        QCOMPARE(sim.requests(27).size(), 0);
    }

    // A lost reply holds the queue only until the reply time-out.
    void lostReplyReleasedByTimeout()
    {
        CDeviceSimulator sim(CSimDeviceModel::Z);
        CTcpDeviceThread worker;
        worker.setDeviceType("Z");
        worker.setReplyTimeout(300);
        QVERIFY(openSerial(worker, sim));
        sim.injectFault(CDeviceSimulator::NoAnswer, 33);
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), QByteArray(1, 1), 1, 0);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(41), 3000);
        const qint64 nGap = timeOf(sim, 41) - timeOf(sim, 33);
        QVERIFY2(nGap >= 250 && nGap < 2000, qPrintable(QString::number(nGap)));
        // not sent again before what was queued behind it (asked again, it goes to the back)
        QVERIFY(sim.requests(33).size() == 1 || sim.requests(33).at(1).nTimeMs >= timeOf(sim, 41));
        // a write ends at its own time-out, not at that of a read sent after it with the gate shut behind
        sim.clearRequests();
        sim.injectFault(CDeviceSimulator::NoAnswer, 41);
        sim.injectFault(CDeviceSimulator::NoAnswer, 34);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(12, 'C'), 2, 10);
        QTest::qWait(250);
        worker.setMcuCommand(QString::fromUtf8("图层设置"), QByteArray(1, 0), 1, 0);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
        // said once the name read back shows the old name; the write itself not sent again
        QTRY_VERIFY(TestUtil::said("notice") > 0);
        QCOMPARE(sim.requests(41, 10).size(), 2);
        QCOMPARE(sim.requests(41, 10).at(1).nReadOrWrite, 1);
        SimTest::settle(worker, sim); // the faults below are the next replies' (taken when a reply goes out)
        sim.setReplyDelay(800); // slower than the time-out: each ends at it; a late reply answers its own
        worker.setReplyTimeout(600);
        sim.model().nBrightness = 33; // the read of it is answered after the input poll went out
        worker.setMcuCommand(QString::fromUtf8("图层设置"), QByteArray(1, 0), 1, 0);
        worker.setInputSrcCmd();
        sim.injectFault(CDeviceSimulator::GarbageBefore, 41); // the first name taken, the second not answered
        sim.injectFault(CDeviceSimulator::NoAnswer, 41);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray("AAAA").leftJustified(12, '\0'), 2, 10);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray("BBBB").leftJustified(12, '\0'), 2, 10);
        QString strName;
        QTRY_VERIFY_WITH_TIMEOUT(!worker.hasWritePending() && worker.deviceNameRecord(strName) && strName == "AAAA"
                                     && TestUtil::said("notice", QString::fromUtf8("设备 ") + sim.ptyName()) > 0, 8000);
        QCOMPARE(sim.model().strDeviceName, QString("AAAA"));
        QCOMPARE(worker.getSystemInfo()->nbrightness, 33);
        sim.setReplyDelay(0); // a write the device dropped does not take the answer of the next one
        SimTest::settle(worker, sim);
        sim.injectFault(CDeviceSimulator::NoAnswer, 41);
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray("CCCC").leftJustified(12, '\0'), 2, 10);
        QTRY_VERIFY(!worker.hasWritePending());
        QTest::qWait(1000); // the line silent past the dropped write's second time-out
        worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray("DDDD").leftJustified(12, '\0'), 2, 10);
        QTRY_VERIFY(!worker.hasWritePending() && worker.deviceNameRecord(strName) && strName == "DDDD");
        QCOMPARE(sim.model().strDeviceName, QString("DDDD"));
    }

    // A port opened again starts the ledger: a write left unanswered on it before is not the one a
    // later reply may answer, and the next write takes its own answer.
    void portOpenedAgain()
    {
        CTcpDeviceThread worker; // no port, no loop: the line's events are handed to it
        worker.injectSerialLine(true);
        worker.setReplyTimeout(200);
        QList<CCommandLedger::Event> listEvents;
        worker.commandLedger().setObserver([&listEvents](const _mcu_cmd &, CCommandLedger::Event e) { listEvents << e; });
        const QString strSys = QString::fromUtf8("系统设置");
        worker.injectSentCommand(strSys, QByteArray("AAAA").leftJustified(12, '\0'), 2, 10);
        worker.injectFrameWritten();
        worker.injectClockStep(300);
        QCOMPARE(listEvents, QList<CCommandLedger::Event>() << CCommandLedger::Unanswered);
        worker.injectLinkUp(); // as connectToSerislport() does once the port opened
        worker.injectSentCommand(strSys, QByteArray("BBBB").leftJustified(12, '\0'), 2, 10);
        worker.injectFrameWritten();
        worker.injectReceivedData(CDeviceSimulator::replyFrame(41, 2, 10, QByteArray::fromHex("C5C3")));
        QCOMPARE(listEvents, QList<CCommandLedger::Event>() << CCommandLedger::Unanswered << CCommandLedger::Answered);
        worker.commandLedger().setObserver(nullptr);
    }

    // Two name writes queued back to back, the device in a thread of its own: the first one's
    // answer lost (garbled, or the write dropped), or this thread held busy for three reply
    // time-outs while the device answers in 100 ms (the first write on the line then, the second
    // still waiting to be written). Whose answer came is never guessed: the records end as the
    // device, read back where the console cannot tell. Nothing is said: the device holds the
    // second name, and no answer can show what became of the first.
    void writesOfUnclearFate_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<int>("notices");
        QTest::newRow("first acknowledgement garbled") << "Z" << int(CDeviceSimulator::BadCheck) << false << 0;
        QTest::newRow("first write dropped") << "Tarn" << int(CDeviceSimulator::NoAnswer) << false << 0;
        QTest::newRow("answered while this thread is busy") << "Z" << int(CDeviceSimulator::NoFault) << true << 0;
    }
    void writesOfUnclearFate()
    {
        QFETCH(QString, family);
        QFETCH(int, fault);
        QFETCH(bool, busy);
        QFETCH(int, notices);
        QThread simThread;
        auto *pSim = new CDeviceSimulator(family == "Z" ? CSimDeviceModel::Z : CSimDeviceModel::Tarn);
        QVERIFY(pSim->openPty());
        const QString strPty = pSim->ptyName();
        pSim->moveToThread(&simThread);
        connect(&simThread, &QThread::finished, pSim, &QObject::deleteLater);
        simThread.start();
        const auto stop = qScopeGuard([&simThread] { simThread.quit(); simThread.wait(); });
        const auto onSim = [pSim](const std::function<void()> &fn) {
            QMetaObject::invokeMethod(pSim, fn, Qt::BlockingQueuedConnection);
        };
        CTcpDeviceThread worker;
        worker.setDeviceType(family);
        worker.setReplyTimeout(500);
        worker.setDeviceSerial(strPty);
        worker.connectToSerislport(strPty);
        QVERIFY(worker.isConnected());
        worker.start();
        onSim([pSim] { pSim->setReplyDelay(100); });
        // the last answer not a name's: the second write waits for the first one's ending
        worker.setMcuCommand(QString::fromUtf8("图层设置"), QByteArray(1, 0), 1, 0);
        QTRY_VERIFY(worker.queuedCommandCount() == 0 && !worker.hasCommandInFlight());
        BesMessageBox::clearTestRecords();
        onSim([pSim, fault] { pSim->injectFault(CDeviceSimulator::Fault(fault), 41); });
        const QString strSys = QString::fromUtf8("系统设置");
        const auto hold = [](bool bHold) {
            QElapsedTimer held;
            for (held.start(); bHold && held.elapsed() < 1500;) {}
        };
        worker.setMcuCommand(strSys, QByteArray("AAAA").leftJustified(12, '\0'), 2, 10);
        if (busy) {
            QTRY_VERIFY([&] { bool bHas = false; onSim([&] { bHas = pSim->hasRequest(41, 10); }); return bHas; }());
            hold(true);
        }
        worker.setMcuCommand(strSys, QByteArray("BBBB").leftJustified(12, '\0'), 2, 10);
        hold(busy);
        QString strName, strDevice;
        QTRY_VERIFY_WITH_TIMEOUT(!worker.hasWritePending() && !worker.hasCommandInFlight() && worker.queuedCommandCount() == 0
                                     && worker.deviceNameRecord(strName) && strName == "BBBB",
                                 8000);
        onSim([&] { strDevice = pSim->model().strDeviceName; });
        QCOMPARE(strDevice, QString("BBBB"));
        QCOMPARE(TestUtil::said("notice"), notices);
        QCOMPARE(TestUtil::said("notice", QString::fromUtf8("未应答")), notices);
    }

    // A scene reply that carries another scene id holds the next command for one step only; an
    // unanswered transparency write holds it until the time-out.
    void holdsInSerialMode()
    {
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 2, 2);
        CTcpDeviceThread worker;
        worker.setReplyTimeout(400);
        QVERIFY(openSerial(worker, sim));
        const QString strScene = QString::fromUtf8("场景操作");
        const QString strLayer = QString::fromUtf8("图层设置");
        const QString strSys = QString::fromUtf8("系统设置");
        worker.setMcuCommand(strScene, QByteArray(1, 1), 1, 0);
        QTRY_VERIFY(worker.getSceneList().size() == 1);
        QByteArray wrong(39, '\0');
        wrong[0] = 1;
        sim.setNextReplyPayload(35, 0, wrong);
        sim.clearRequests();
        worker.setMcuCommand(strScene, QByteArray(1, 2), 1, 0);
        worker.setMcuCommand(strSys, QByteArray(), 1, 10);
        QTRY_VERIFY(sim.hasRequest(41));
        QVERIFY(timeOf(sim, 41) - timeOf(sim, 35) < 250);

        worker.setMcuCommand(strLayer, QByteArray::fromHex("000000000001000100"), 2, 10);
        QTRY_VERIFY(sim.hasRequest(34, 10));
        SimTest::settle(worker, sim, 50); // its answer taken: nothing holds the next command
        sim.clearRequests();
        sim.injectFault(CDeviceSimulator::NoAnswer, 34);
        worker.setMcuCommand(strLayer, QByteArray::fromHex("0080"), 2, 30);
        worker.setMcuCommand(strSys, QByteArray(), 1, 10);
        QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(41), 3000);
        const qint64 nGap = timeOf(sim, 41) - timeOf(sim, 34);
        QVERIFY2(nGap >= 300, qPrintable(QString::number(nGap)));
        // A recall left unanswered takes the layer write queued behind it along at its time-out.
        SimTest::settle(worker, sim, 50);
        sim.clearRequests();
        sim.injectFault(CDeviceSimulator::NoAnswer, 35);
        worker.setMcuCommand(strScene, QByteArray(1, 2), 2, 20);
        worker.setMcuCommand(strLayer, QByteArray::fromHex("000000000001000100"), 2, 10);
        QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(35, 20) && !worker.hasWritePending(), 3000);
        SimTest::settle(worker, sim, 50);
        QVERIFY(!sim.hasRequest(34, 10));
    }

    // What a device on the line did without saying so, or slowly, ends as the device holds it, and
    // the console's own reads stay few: a name taken and never answered is read back; 50 layer
    // writes to a device that answers one request per 150 ms (seven per reply time-out) leave the
    // canvas unsaid, none ended unanswered, and the line quiet once it caught up; a garbled answer
    // to a scene read, then an idle line, reads the scene at most three times; a scene read whose
    // answer is lost while the next scene's is answered reads that scene again; a port's delay the
    // device dropped, whose place the next port's acknowledgement took, is read back; a save to a
    // new scene whose acknowledgement came garbled counts the scene once its read answers.
    void deviceWorkOnTheLine_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("name taken, never answered") << "name";
        QTest::newRow("slow device, 50 layer writes") << "slow";
        QTest::newRow("scene read answered garbled") << "garbled";
        QTest::newRow("scene read lost, the next scene's answered") << "scenes";
        QTest::newRow("output delay dropped, the next port's answered") << "ports";
        // each credited its own answer: only the port of the one dropped after them is read back
        QTest::newRow("output delays answered back to back, then one dropped") << "ports2";
        // read back with the live scene, whose layers answer for it: the old level is said
        QTest::newRow("layer level dropped") << "layer";
        // a name read answered after it, of unclear owner, tells what the device held then only
        QTest::newRow("name dropped, a name read sent after it of unclear owner") << "unclear";
        // said only by what the new line's read back shows
        QTest::newRow("name lost with the line, back holding it") << "lineheld";
        QTest::newRow("name lost with the line, back without it") << "linelost";
        // another input renamed meanwhile: its read back shows input 1's old name
        QTest::newRow("input name dropped, another input's taken") << "inputs";
        QTest::newRow("save to a new scene, its acknowledgement garbled") << "save";
        // answers in turn, a name read's past the reply time-out and a scene read's later still:
        // the scene read, ended while the device answered the read before it, is taken late,
        // neither read again nor said
        QTest::newRow("scene read behind a backlog") << "backlog";
        // the port opened again with a write on the line: its refusal is news of its own
        QTest::newRow("write refused on the port opened again") << "reopened";
        // taken at once, answered past the reply time-out: the rename of the scene after it waits
        // for the count read sent after it, and renames the scene the operator chose
        QTest::newRow("delete answered late, a rename made after it ended") << "delete";
        // the delete taken, it and its count reads left unanswered: the rename made after the
        // give-up waits for the count read it asks, and renames the scene the operator chose
        QTest::newRow("delete taken unanswered, its count reads given up, a rename made then") << "silent";
    }
    void deviceWorkOnTheLine()
    {
        QFETCH(QString, kind);
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 2, 2);
        sim.model().scenes[1].layers.clear();
        CTcpDeviceThread worker;
        worker.setDeviceType("Tarn");
        worker.setReplyTimeout(kind == "slow" || kind == "unclear" ? 1000 : 300);
        QVERIFY(openSerial(worker, sim));
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), QByteArray(1, 1), 1, 0);
        SimTest::settle(worker, sim);
        QCOMPARE(worker.getSceneList().size(), 2);
        BesMessageBox::clearTestRecords();
        sim.clearRequests();
        const QString strSys = QString::fromUtf8("系统设置");
        if (kind == "name") {
            sim.injectFault(CDeviceSimulator::TakenNoAnswer, 41);
            worker.setMcuCommand(strSys, QByteArray("Hall").leftJustified(12, '\0'), 2, 10);
            QString strName;
            QTRY_VERIFY_WITH_TIMEOUT(worker.deviceNameRecord(strName) && strName == "Hall", 5000);
            SimTest::settle(worker, sim);
            QCOMPARE(TestUtil::said("notice"), 0); // the device took it
        } else if (kind == "lineheld" || kind == "linelost") {
            worker.setMcuCommand(strSys, QByteArray(), 1, 10);
            SimTest::settle(worker, sim);
            sim.injectFault(kind == "lineheld" ? CDeviceSimulator::TakenNoAnswer : CDeviceSimulator::NoAnswer, 41);
            worker.setMcuCommand(strSys, QByteArray("Hall").leftJustified(12, '\0'), 2, 10);
            QTRY_COMPARE(sim.requests(41, 10).last().nReadOrWrite, 2);
            sim.closePty();
            QTRY_VERIFY_WITH_TIMEOUT(worker.isFinished(), 10000);
            QCOMPARE(TestUtil::said("notice"), 0);
            QVERIFY(sim.openPty());
            worker.connectToSerislport(sim.ptyName());
            worker.start();
            QTRY_COMPARE(sim.requests(41, 10).size(), 3);
            SimTest::settle(worker, sim);
            QString strName;
            QVERIFY(worker.deviceNameRecord(strName));
            QCOMPARE(strName, sim.model().strDeviceName);
            QTRY_COMPARE(TestUtil::said("notice", QString(), QString::fromUtf8("修改未生效")), int(kind == "linelost"));
            QCOMPARE(TestUtil::said("notice"), int(kind == "linelost"));
        } else if (kind == "slow") {
            int nUnanswered = 0;
            worker.commandLedger().setObserver([&nUnanswered](const _mcu_cmd &, CCommandLedger::Event e) {
                nUnanswered += e == CCommandLedger::Unanswered;
            });
            const auto unobserve = qScopeGuard([&worker] { worker.commandLedger().setObserver(nullptr); });
            sim.setReplyDelay(150);
            sim.setAnswersInTurn(true);
            for (int i = 1; i <= 50; ++i)
                worker.setMcuCommand(QString::fromUtf8("图层设置"), QByteArray::fromHex("00") + char(0) + char(i) + QByteArray::fromHex("000003C0021C"), 2, 10);
            // The device caught up, and the line is quiet after the answers that came late.
            QTRY_COMPARE_WITH_TIMEOUT(sim.model().scenes.at(0).layers.at(0).nX, 50, 30000);
            QTRY_VERIFY_WITH_TIMEOUT(worker.queuedCommandCount() == 0 && !worker.hasCommandInFlight(), 30000);
            SimTest::settle(worker, sim, 500);
            QCOMPARE(worker.getSceneList().at(0)->vectorLayer.at(0).nX, 50);
            QVERIFY2(sim.requestCount() <= 56, qPrintable(QString::number(sim.requestCount())));
            QCOMPARE(TestUtil::said("notice", QString(), QString::fromUtf8("画布未刷新")), 0);
            QCOMPARE(nUnanswered, 0); // the device was working through the ones before each
        } else if (kind.startsWith("ports")) {
            // the last answer a port's: the writes go out back to back
            worker.setMcuCommand(QString::fromUtf8("输出口设置"), QByteArray::fromHex("02"), 1, 21);
            SimTest::settle(worker, sim);
            if (kind == "ports")
                sim.injectFault(CDeviceSimulator::NoAnswer, 37);
            worker.setMcuCommand(QString::fromUtf8("输出口设置"), QByteArray::fromHex("01002A"), 2, 21);
            worker.setMcuCommand(QString::fromUtf8("输出口设置"), QByteArray::fromHex("020007"), 2, 21);
            QTRY_VERIFY_WITH_TIMEOUT(worker.outputsRecord().ports.value(1).bDelay && worker.outputsRecord().ports.value(2).bDelay
                                         && !worker.hasWritePending(), 5000);
            SimTest::settle(worker, sim);
            QCOMPARE(sim.model().outputs.at(0).nDelay, kind == "ports" ? 0 : 42);
            QCOMPARE(worker.outputsRecord().ports.value(1).nDelay, sim.model().outputs.at(0).nDelay);
            QCOMPARE(worker.outputsRecord().ports.value(2).nDelay, 7);
            if (kind == "ports2") {
                sim.clearRequests();
                sim.injectFault(CDeviceSimulator::NoAnswer, 37);
                worker.setMcuCommand(QString::fromUtf8("输出口设置"), QByteArray::fromHex("020009"), 2, 21);
                SimTest::settle(worker, sim);
                QCOMPARE(sim.requests(37, 21).size(), 2); // the write and the read of its port
                QCOMPARE(sim.requests(37, 21).last().payload, QByteArray::fromHex("02"));
            }
        } else if (kind == "layer") {
            sim.injectFault(CDeviceSimulator::NoAnswer, 34);
            worker.setMcuCommand(QString::fromUtf8("图层设置"), QByteArray::fromHex("0005"), 2, 2);
            QTRY_COMPARE_WITH_TIMEOUT(TestUtil::said("notice", sim.ptyName()), 1, 5000);
            QVERIFY(sim.hasRequest(35, 80));
        } else if (kind == "unclear") { // the read after it goes out at once: one name read ended before
            sim.injectFault(CDeviceSimulator::NoAnswer, 41, 2);
            worker.setMcuCommand(strSys, QByteArray(), 1, 10);
            SimTest::settle(worker, sim);
            worker.setMcuCommand(strSys, QByteArray("Hall").leftJustified(12, '\0'), 2, 10);
            worker.setMcuCommand(strSys, QByteArray(), 1, 10);
            QTRY_COMPARE_WITH_TIMEOUT(TestUtil::said("notice", sim.ptyName()), 1, 8000);
        } else if (kind == "inputs") {
            sim.injectFault(CDeviceSimulator::NoAnswer, 31);
            worker.setMcuCommand(QString::fromUtf8("输入设置"), QByteArray::fromHex("0100") + g_toGbkField("Cam", 12), 2, 2);
            worker.setMcuCommand(QString::fromUtf8("输入设置"), QByteArray::fromHex("0000") + g_toGbkField("Desk", 12), 2, 2);
            QTRY_COMPARE_WITH_TIMEOUT(TestUtil::said("notice", sim.ptyName(), QString::fromUtf8("修改未生效")), 1, 5000);
            QCOMPARE(worker.getDeviceInfo()->findInput(0)->strName, QString("Desk"));
        } else if (kind == "save") {
            sim.injectFault(CDeviceSimulator::BadCheck, 35);
            worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray::fromHex("0103"), 2, 10);
            worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, 3), 1, 0);
            QTRY_COMPARE_WITH_TIMEOUT(worker.getSceneList().size(), 3, 5000);
            SimTest::settle(worker, sim);
            QCOMPARE(worker.getDeviceInfo()->nSceneNum, sim.model().scenes.size());
        } else if (kind == "scenes") {
            sim.model().scenes[0].strName = "Moved";
            sim.injectFault(CDeviceSimulator::NoAnswer, 35);
            worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, 1), 1, 0);
            worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, 2), 1, 0);
            QTRY_COMPARE_WITH_TIMEOUT(worker.getSceneList().at(0)->strName, QString("Moved"), 5000);
        } else if (kind == "backlog") { // a name read answered last: the next one and the scene read go out back to back
            worker.setMcuCommand(strSys, QByteArray(), 1, 10);
            SimTest::settle(worker, sim);
            sim.model().scenes[1].strName = "Moved";
            sim.setAnswersInTurn(true);
            connect(&sim, &CDeviceSimulator::requestReceived, &sim,
                    [&sim](int nCmd) { sim.setReplyDelay(nCmd == 35 ? 1200 : 400); }); // 300 ms reply time-out
            worker.setMcuCommand(strSys, QByteArray(), 1, 10);
            worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, 2), 1, 0);
            QTRY_COMPARE_WITH_TIMEOUT(worker.getSceneList().at(1)->strName, QString("Moved"), 5000);
            SimTest::settle(worker, sim);
            QCOMPARE(TestUtil::said("notice", QString(), QString::fromUtf8("画布未刷新")), 0);
            QCOMPARE(sim.requests(35, 0).size(), 1);
        } else if (kind == "delete") {
            QVERIFY(SimTest::afterUnansweredDelete(worker, sim, 1, [&worker]() {
                worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, 2) + g_toGbkField("SN", 12), 2, 40);
            }));
            QCOMPARE(sim.model().scenes.size(), 1);
            QCOMPARE(sim.model().scenes.at(0).strName, QString("SN"));
            QCOMPARE(worker.getSceneList().size(), 1);
            QCOMPARE(worker.getSceneList().at(0)->strName, QString("SN"));
        } else if (kind == "silent") {
            sim.injectFault(CDeviceSimulator::TakenNoAnswer, 35);
            sim.injectFault(CDeviceSimulator::NoAnswer, 33, 3);
            worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, 1), 2, 30);
            QTRY_VERIFY_WITH_TIMEOUT(sim.requests(33).size() == 3 && !worker.hasCommandInFlight(), 4000);
            worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, 2) + g_toGbkField("SN", 12), 2, 40);
            SimTest::settle(worker, sim);
            QCOMPARE(sim.model().scenes.at(0).strName, QString("SN"));
            QCOMPARE(worker.getSceneList().size(), 1);
            QCOMPARE(worker.getSceneList().at(0)->strName, QString("SN"));
            QCOMPARE(TestUtil::said("notice", QString(), QString::fromUtf8("修改未生效")), 0);
        } else if (kind == "reopened") {
            const QString strPorts = QString::fromUtf8("输出口设置");
            sim.injectFault(CDeviceSimulator::Nak, 37, 2);
            worker.setMcuCommand(strPorts, QByteArray::fromHex("01002A"), 2, 21);
            QTRY_COMPARE(TestUtil::said("notice", QString(), QString::fromUtf8("修改未生效")), 1);
            connect(&sim, &CDeviceSimulator::requestReceived, &worker, [&worker, &sim](int nCmd) {
                if (nCmd == 37) // the write on the line: the port is opened again before the device refuses it
                    worker.connectToSerislport(sim.ptyName());
            });
            worker.setMcuCommand(strPorts, QByteArray::fromHex("020007"), 2, 21);
            QTRY_COMPARE(TestUtil::said("notice", QString(), QString::fromUtf8("修改未生效")), 2);
        } else {
            sim.injectFault(CDeviceSimulator::BadCheck, 35);
            worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, 2), 1, 0);
            SimTest::settle(worker, sim, 1000);
            QVERIFY2(sim.requests(35).size() <= 3, qPrintable(QString::number(sim.requests(35).size())));
            QVERIFY(TestUtil::said("notice") <= 1);
        }
    }

    void portFailureAndClose()
    {
        CHubSpy spy;
        BesMessageBox::clearTestRecords();
        CTcpDeviceThread worker;
        worker.connectToSerislport("/dev/no-such-serial-port");
        QVERIFY(!worker.isConnected());
        QCOMPARE(spy.count("slot_setButtonEnable"), 1);
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
        QCOMPARE(BesMessageBox::testRecords().first().kind, QString("information"));

        // closing with no port open does nothing
        QSignalSpy closed(worker.getSerialTransport(), &SerislPort::CloseSerialPort);
        globalObserver::getGlobalObserver()->notify("Slot_DisconnectSerialPort");
        QCOMPARE(closed.count(), 0);

        CDeviceSimulator sim;
        CTcpDeviceThread open;
        QVERIFY(openSerial(open, sim));
        QSignalSpy disconnected(&open, &CTcpDeviceThread::disconnected);
        globalObserver::getGlobalObserver()->notify("Slot_DisconnectSerialPort");
        QCOMPARE(disconnected.count(), 1);
        QVERIFY(!open.isConnected());
        QTRY_VERIFY(open.isFinished());
    }
};

VISTEL_TEST_MAIN(TestSerial)
#include "tst_serial.moc"
