#include "TestMain.h"

#include <QComboBox>
#include <QLabel>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "BesMessageBox.h"
#include "DeviceItem.h"
#include "DeviceSimulator.h"
#include "FileListWidget.h"
#include "HubSpy.h"
#include "InputSetDlg.h"
#include "LayoutListWidget.h"
#include "QorGlobal.h"
#include "TcpDeviceThread.h"
#include "globalObserver.h"
#include "SimTestUtil.h"

using SimTest::connectWorker;
using SimTest::settle;

static void answerDialog(std::function<void(CInputSetDlg *)> fn)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, fn, tries] {
        auto *dlg = qobject_cast<CInputSetDlg *>(QApplication::activeModalWidget());
        if (dlg || ++*tries > 400) {
            timer->stop();
            timer->deleteLater();
            if (dlg)
                fn(dlg);
        }
    });
    timer->start();
}

static QAction *entry(CDeviceItem *row, const QString &text)
{
    for (QAction *a : row->menu()->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

static CDeviceItem *rowOf(CFileListWidget &panel, int nId)
{
    for (int r = 0; r < panel.layoutList()->rowCount(); ++r)
        if (panel.layoutList()->itemAt(r)->getInputSrcIndex() == nId)
            return panel.layoutList()->itemAt(r);
    return nullptr;
}

// The name a row shows (its first line).
static QString shownName(CDeviceItem *row)
{
    return row->findChild<QLabel *>("labelName")->text().section("\r\n", 0, 0);
}

// The source panel against the simulated device: the bytes its rows and its
// poll put on the wire, through a real device worker over TCP loopback.
class TestFileListSim : public QObject
{
    Q_OBJECT

    // The one request of a command and sub-command that arrived since the last clear.
    static CSimRequest only(CDeviceSimulator &sim, int nCmd, int nSub)
    {
        const QList<CSimRequest> list = sim.requests(nCmd, nSub);
        return list.size() == 1 ? list.first() : CSimRequest();
    }

private slots:
    void initTestCase()
    {
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
    }

    void init()
    {
        g_strDevType = "Tarn";
        g_nConnectionType = 0;
        CTcpDeviceThread::setEditedDeviceSerial(QString());
    }

    void tarnRowCommandsReachTheDevice()
    {
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 4, 1);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        CHubSpy router; // routes the panel's commands as the device list window does
        router.setRouteTo(&worker);
        QVERIFY(connectWorker(worker, sim, "SN1"));
        worker.setMcuCommand(QString::fromUtf8("设备信息"), QByteArray::fromHex("01"), 1, 0);
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), QByteArray::fromHex("01"), 1, 0);
        settle(worker, sim);
        QCOMPARE(worker.getDeviceInfo()->vectorInput.size(), 4);

        CFileListWidget panel;
        panel.addDeviceToList(worker.getDeviceInfo(), "SN1");
        QCOMPARE(panel.layoutList()->rowCount(), 4);
        QVERIFY(rowOf(panel, 1)->getDeviceImage().startsWith(":/res/res/image/hdmi-"));
        panel.slot_IsZReflash(false); // keep the timer out of the byte counts
        sim.clearRequests();

        // C: custom resolution of input 2.
        answerDialog([](CInputSetDlg *dlg) {
            dlg->findChild<QComboBox *>("cmbType")->setCurrentIndex(1);
            dlg->findChild<QLineEdit *>("lineEditW")->setText("1366");
            dlg->findChild<QLineEdit *>("lineEditH")->setText("768");
            dlg->findChild<QLineEdit *>("lineEditHZ")->setText("60");
            dlg->findChild<QPushButton *>("btnOk")->click();
        });
        entry(rowOf(panel, 2), "修改分辨率")->trigger();
        QTRY_VERIFY(sim.hasRequest(31, 3));
        CSimRequest req = only(sim, 31, 3);
        QCOMPARE(req.payload, QByteArray::fromHex("02FF055603003C"));
        QCOMPARE(req.nReadOrWrite, 2);
        QCOMPARE(sim.model().inputs[2].nEdidWidth, 1366);
        QCOMPARE(sim.model().inputs[2].nEdidHz, 60);
        settle(worker, sim);
        sim.clearRequests();

        // B: a Chinese name, in GBK.
        answerDialog([](CInputSetDlg *dlg) {
            dlg->findChild<QLineEdit *>("lineEditName")->setText(QString::fromUtf8("摄像机"));
            dlg->findChild<QPushButton *>("btnOk")->click();
        });
        entry(rowOf(panel, 1), "修改输入名称")->trigger();
        QTRY_VERIFY(sim.hasRequest(31, 2));
        req = only(sim, 31, 2);
        QCOMPARE(req.payload, QByteArray::fromHex("0100C9E3CFF1BBFA000000000000"));
        QCOMPARE(req.nReadOrWrite, 2);
        QCOMPARE(sim.model().inputs[1].strName, QString::fromUtf8("摄像机"));
        settle(worker, sim);
        // the device's reply names the input the same way
        QCOMPARE(worker.getDeviceInfo()->vectorInput.at(1)->strName, QString::fromUtf8("摄像机"));
        sim.clearRequests();

        // A: everything at once, standard 1920X1080 at 50 Hz.
        answerDialog([](CInputSetDlg *dlg) {
            dlg->findChild<QLineEdit *>("lineEditName")->setText("Cam");
            dlg->findChild<QComboBox *>("cmbStandard")->setCurrentText("1920X1080");
            dlg->findChild<QLineEdit *>("lineEditHZ")->setText("50");
            dlg->findChild<QPushButton *>("btnOk")->click();
        });
        entry(rowOf(panel, 0), "修改输入设置")->trigger();
        QTRY_VERIFY(sim.hasRequest(31, 0));
        req = only(sim, 31, 0);
        QCOMPARE(req.payload, QByteArray::fromHex("000000") + QByteArray("Cam") + QByteArray(9, '\0')
                                  + QByteArray::fromHex("080780043832"));
        QCOMPARE(req.nReadOrWrite, 2);
        const CSimInput &in0 = sim.model().inputs[0];
        QCOMPARE(in0.strName, QString("Cam"));
        QCOMPARE(QList<int>({in0.nResType, in0.nEdidWidth, in0.nEdidHeight, in0.nEdidHz}),
                 QList<int>({8, 1920, 1080, 50}));
        settle(worker, sim);
        sim.clearRequests();

        // D and E: reads of name and resolution.
        sim.model().inputs[3].strName = "Aux";
        entry(rowOf(panel, 3), "更新输入名称")->trigger();
        QTRY_VERIFY(sim.hasRequest(31, 2));
        entry(rowOf(panel, 3), "更新分辨率")->trigger();
        QTRY_VERIFY(sim.hasRequest(31, 3));
        QCOMPARE(only(sim, 31, 2).payload, QByteArray::fromHex("03"));
        QCOMPARE(only(sim, 31, 2).nReadOrWrite, 1);
        QCOMPARE(only(sim, 31, 3).payload, QByteArray::fromHex("03"));
        QCOMPARE(only(sim, 31, 3).nReadOrWrite, 1);
        settle(worker, sim);
        QCOMPARE(worker.getDeviceInfo()->vectorInput.at(3)->strName, QString("Aux"));
        sim.clearRequests();

        // F: factory name, then the inputs are read again.
        entry(rowOf(panel, 3), "恢复出厂设置名称")->trigger();
        QTRY_VERIFY(sim.hasRequest(32, 1));
        const QList<CSimRequest> reqs = sim.requestsWithoutHeartbeat();
        QVERIFY(reqs.size() >= 2);
        QCOMPARE(reqs.at(0).nCmd, 31);
        QCOMPARE(reqs.at(0).nSub, 2);
        QCOMPARE(reqs.at(0).nReadOrWrite, 2);
        QCOMPARE(reqs.at(0).payload.size(), 14);
        QCOMPARE(reqs.at(0).payload.left(2), QByteArray::fromHex("0301"));
        QCOMPARE(sim.model().inputs[3].strName, QString("IN4"));
        QCOMPARE(sim.requests(32, 1).first().payload, QByteArray::fromHex("0003"));
    }

    // A name written from a row shows at once, the worker's record untouched; once the write has
    // ended, the device's panels are told and the row shows what the device holds.
    void nameWriteEndsAsTheDeviceHolds_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("held");
        QTest::newRow("acknowledged, then a write refused") << "ack" << "PC-1";
        QTest::newRow("refused while off") << "off" << "IN2";
        QTest::newRow("dropped from the queue by a switch-off") << "dropped" << "IN2";
        QTest::newRow("refused by the device") << "nak" << "IN2";
        QTest::newRow("never answered") << "silent" << "IN2";
    }
    void nameWriteEndsAsTheDeviceHolds()
    {
        QFETCH(QString, ending);
        QFETCH(QString, held);
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 4, 1);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        CHubSpy router;
        router.setRouteTo(&worker);
        QVERIFY(connectWorker(worker, sim, "SN7"));
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), QByteArray::fromHex("01"), 1, 0);
        settle(worker, sim);
        const InputSource *pRecord = worker.getDeviceInfo()->vectorInput.value(1);
        QVERIFY(pRecord);
        CFileListWidget panel;
        panel.addDeviceToList(worker.getDeviceInfo(), "SN7");
        if (ending == "off")
            worker.setCanConnected(false);
        if (ending == "nak" || ending == "silent")
            sim.injectFault(ending == "nak" ? CDeviceSimulator::Nak : CDeviceSimulator::NoAnswer, 31);
        if (ending == "silent")
            worker.setHeartbeatInterval(300); // the next heartbeat's answer ends the write
        if (ending == "ack") // C5 C3 in the model's place: the model is set below
            sim.setNextReplyPayload(31, 2, QByteArray::fromHex("C5C3"));
        if (ending == "dropped") // the write waits behind a read the device does not answer
            SimTest::holdQueue(worker, sim, 0);
        answerDialog([](CInputSetDlg *dlg) {
            dlg->findChild<QLineEdit *>("lineEditName")->setText("PC-1");
            dlg->findChild<QPushButton *>("btnOk")->click();
        });
        entry(rowOf(panel, 1), "修改输入名称")->trigger();
        panel.slot_IsZReflash(false);
        QCOMPARE(shownName(rowOf(panel, 1)) + pRecord->strName, QString("PC-1IN2"));
        router.clear();
        if (ending == "dropped")
            worker.setCanConnected(false);
        if (ending == "ack") {
            sim.model().inputs[1].strName = "PC-1";
            settle(worker, sim);
            router.clear();
            worker.setCanConnected(false);
            QVERIFY(!worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(12, 'H'), 2, 10));
        }
        // The frame bound to the device hands the rows what it is told.
        QTRY_COMPARE(router.last("slot_updateInputSource").value(1).toString(), QString("SN7"));
        QTRY_COMPARE(pRecord->strName, held);
        panel.addDeviceToList(worker.getDeviceInfo(), "SN7");
        QCOMPARE(shownName(rowOf(panel, 1)), held);
        QCOMPARE(sim.model().inputs[1].strName, held);
    }

    void pollReadsStatusAndRefreshesNamesOnTick11()
    {
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 4, 1);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        CHubSpy router;
        router.setRouteTo(&worker);
        QVERIFY(connectWorker(worker, sim, "SN2"));
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), QByteArray(), 1, 0);
        settle(worker, sim);

        CFileListWidget panel;
        panel.slot_IsZReflash(false);
        panel.addDeviceToList(worker.getDeviceInfo(), "SN2");
        sim.clearRequests();
        for (int i = 0; i < 10; ++i) {
            panel.slot_updateInputSrc();
            QTRY_COMPARE(sim.requests(32, 1).size(), i + 1);
            settle(worker, sim); // answered: the next tick's read is not the one still waiting
        }
        for (const CSimRequest &r : sim.requests(32, 1)) {
            QCOMPARE(r.payload, QByteArray::fromHex("0003"));
            QCOMPARE(r.nReadOrWrite, 1);
        }
        settle(worker, sim);
        QCOMPARE(sim.requests(31).size(), 0); // no name reads in the first ten ticks

        panel.slot_updateInputSrc(); // tick 11
        QTRY_COMPARE(sim.requests(31, 1).size(), 4);
        QStringList ids;
        for (const CSimRequest &r : sim.requests(31, 1))
            ids << r.payload.toHex();
        QCOMPARE(ids, QStringList({"00", "01", "02", "03"}));

        // The device restarted with three inputs: its fourth row goes, and input 4 is read no more.
        sim.model().inputs.resize(3);
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), QByteArray(), 1, 0);
        settle(worker, sim);
        panel.addDeviceToList(worker.getDeviceInfo(), "SN2"); // as the frame does on "slot_updateInputSource"
        QCOMPARE(panel.layoutList()->rowCount(), 3);
        sim.clearRequests();
        panel.findChild<QPushButton *>("btnReflash")->click();
        settle(worker, sim);
        QCOMPARE(only(sim, 32, 1).payload, QByteArray::fromHex("0002"));
        QCOMPARE(sim.requests(31, 1).size(), 3);
    }

    void zPressMakesTheMainSourceOnTheDevice()
    {
        g_strDevType = "Z";
        CDeviceSimulator sim(CSimDeviceModel::Z, 3, 1);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        worker.setDeviceType("Z");
        CHubSpy router;
        router.setRouteTo(&worker);
        QVERIFY(connectWorker(worker, sim, "Z1"));
        CTcpDeviceThread::setEditedDeviceSerial("Z1");

        DeviceInfo info;
        info.strSerial = "Z1";
        QVector<InputSource> inputs(3);
        for (int i = 0; i < 3; ++i) {
            inputs[i].nId = i;
            inputs[i].strName = QString("IN%1").arg(i + 1);
            inputs[i].strType = "HDMI-2K";
            inputs[i].nSig = 1;
            info.vectorInput.append(&inputs[i]);
        }
        CFileListWidget panel;
        panel.slot_IsZReflash(false);
        panel.addDeviceToList(&info, "Z1");
        settle(worker, sim);
        sim.clearRequests();

        QTest::mousePress(rowOf(panel, 2), Qt::LeftButton);
        QTRY_VERIFY(sim.hasRequest(34, 3));
        const CSimRequest req = only(sim, 34, 3);
        QCOMPARE(req.payload, QByteArray::fromHex("0002"));
        QCOMPARE(req.nReadOrWrite, 2);
        QTRY_COMPARE(sim.model().nMainSig, 2);
        QTRY_COMPARE(worker.getSystemInfo()->nMainSignumber, 2);
        CTcpDeviceThread::setEditedDeviceSerial(QString());
    }
};

VISTEL_TEST_MAIN(TestFileListSim)
#include "tst_filelist_sim.moc"
