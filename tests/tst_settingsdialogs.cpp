#include "TestMain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>

#include <functional>
#include <memory>

#include "AudioSettings.h"
#include "BaseSlider.h"
#include "BesMessageBox.h"
#include "DeviceSimulator.h"
#include "EditSceneMain.h"
#include "HubSpy.h"
#include "OutputSettingDlg.h"
#include "QorGlobal.h"
#include "SimTestUtil.h"
#include "TcpDeviceThread.h"
#include "globalObserver.h"

namespace {

// "rw/sub:payload" of every command sent.
class CmdRecorder : public QObject
{
    Q_OBJECT
public:
    CmdRecorder() { globalObserver::getGlobalObserver()->attach("slot_setDeviceCmd", this, "slot_setDeviceCmd"); }
    ~CmdRecorder() override { globalObserver::getGlobalObserver()->detach("slot_setDeviceCmd", this); }
    QStringList cmds;
    QStringList serials;

public slots:
    void slot_setDeviceCmd(QString serial, QString, QByteArray &payload, int rw, int sub)
    {
        serials << serial;
        cmds << QString("%1/%2:%3").arg(rw).arg(sub).arg(QString(payload.toHex()));
    }
};

// The answer to a resolution read: port, standard, width, height, refresh rate.
QByteArray resolution(const QList<int> &v)
{
    return QByteArray::fromHex(QString::asprintf("%02x000001%02x%04x%04x%02x", v[0], v[1], v[2], v[3], v[4]).toLatin1());
}

QList<QString> tarn3Sources()
{
    return {QString::fromUtf8("关闭"), "AudioIn", QString::fromUtf8("窗口1"), QString::fromUtf8("窗口2"), QString::fromUtf8("窗口3")};
}

// Closes the next modal dialog once it runs and bReady() holds (looked at every few ms).
void closeNextModal(std::function<bool()> bReady = {})
{
    auto *pPoll = new QTimer(qApp);
    QObject::connect(pPoll, &QTimer::timeout, [pPoll, bReady] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || (bReady && !bReady()))
            return;
        pPoll->stop();
        pPoll->deleteLater();
        w->close();
    });
    pPoll->start(5);
}

} // namespace

// The output settings and audio settings dialogs: what each answer shows, what each button sends,
// and what is refused.
class TestSettingsDialogs : public QObject
{
    Q_OBJECT

    template <typename T>
    static T *child(QObject &o, const char *name)
    {
        return o.findChild<T *>(name);
    }
    static void setText(OutputSettingDlg &d, const char *name, const QString &text) { child<QLineEdit>(d, name)->setText(text); }

    // The device "T1", without a link: its answers are handed to it as they come (the worker puts
    // them into its records and notifies the topics the dialogs take).
    std::unique_ptr<CTcpDeviceThread> m_pDevice;
    void answer(int nCmd, int nSub, const QByteArray &payload)
    {
        m_pDevice->injectReceivedData(CDeviceSimulator::replyFrame(nCmd, 1, nSub, payload));
    }
    // The dialog edits T1, which answers nCount ports of type HDMI.
    void answerPorts(OutputSettingDlg &d, int nCount)
    {
        d.m_strSerial = "T1";
        answer(37, 1, QByteArray(1, char(nCount >> 8)) + char(nCount & 0xFF) + char(4) + char(1));
    }

private slots:
    void init()
    {
        BesMessageBox::clearTestRecords();
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        g_strLanguage = "Chinaese";
        m_pDevice.reset(new CTcpDeviceThread);
        m_pDevice->setDeviceSerial("T1");
        m_pDevice->setDeviceType("Tarn");
    }
    void cleanup() { BesMessageBox::clearTestAnswer(); m_pDevice.reset(); }

    // ---------------------------------------------------------------- output settings

    void portCountFillsSelectorsAndReadsPortOne()
    {
        CmdRecorder rec;
        OutputSettingDlg d;
        answerPorts(d, 3);
        QCOMPARE(child<QLabel>(d, "Typelabel")->text(), QString("HDMI"));
        for (const char *name : {"selectioncomboBox", "AdvancedcomboBox"}) {
            QComboBox *c = child<QComboBox>(d, name);
            QCOMPARE(c->count(), 3);
            QCOMPARE(c->itemText(2), QString::fromUtf8("输出口3"));
            QCOMPARE(c->currentIndex(), 0);
        }
        // the dialog's reads, then the worker's read of port 1
        QCOMPARE(rec.cmds, QStringList({"1/10:01", "1/21:01", "1/22:01", "1/21:01", "1/22:01", "1/10:01"}));
        rec.serials.removeDuplicates();
        QCOMPARE(rec.serials, QStringList{"T1"});
    }

    // No port: nothing to write to; more ports than a byte holds are capped.
    void portCountLimits()
    {
        CmdRecorder rec;
        OutputSettingDlg d;
        answerPorts(d, 0);
        const QStringList workerRead{"1/10:01"};
        QCOMPARE(rec.cmds, workerRead);
        for (const char *name : {"ApplePushButton", "Advancedapplication", "SetuppushButton"}) {
            QPushButton *b = child<QPushButton>(d, name);
            QVERIFY(!b->isEnabled());
            b->click();
        }
        QCOMPARE(rec.cmds, workerRead);
        answerPorts(d, 300);
        QCOMPARE(child<QComboBox>(d, "selectioncomboBox")->count(), 255);
        QVERIFY(child<QPushButton>(d, "ApplePushButton")->isEnabled());
    }

    void resolutionAnswerShowsStandardOrCustom_data()
    {
        QTest::addColumn<QList<int>>("answer");   // port, standard, width, height, Hz
        QTest::addColumn<int>("port");            // selector index afterwards
        QTest::addColumn<bool>("standard");
        QTest::addColumn<QString>("standardText");
        QTest::addColumn<QStringList>("custom");  // width, height, Hz edits
        QTest::newRow("custom") << QList<int>{2, 255, 1280, 720, 50} << 1 << false << "800X600"
                                << QStringList{"1280", "720", "50"};
        QTest::newRow("standard") << QList<int>{1, 8, 640, 480, 30} << 0 << true << "1920X1080"
                                  << QStringList{"1920", "1080", "60"};
        QTest::newRow("standard unknown here") << QList<int>{2, 20, 1024, 600, 60} << 1 << false << "800X600"
                                               << QStringList{"1024", "600", "60"};
        QTest::newRow("port not listed") << QList<int>{9, 255, 800, 600, 60} << 0 << false << "800X600"
                                         << QStringList{"800", "600", "60"};
    }
    void resolutionAnswerShowsStandardOrCustom()
    {
        QFETCH(QList<int>, answer);
        QFETCH(int, port);
        QFETCH(bool, standard);
        QFETCH(QString, standardText);
        QFETCH(QStringList, custom);
        OutputSettingDlg d;
        answerPorts(d, 3);
        this->answer(37, 10, resolution(answer));
        QCOMPARE(child<QComboBox>(d, "selectioncomboBox")->currentIndex(), port);
        QCOMPARE(child<QRadioButton>(d, "preinstallradioButton")->isChecked(), standard);
        QCOMPARE(child<QStackedWidget>(d, "OutSettingstackedWidget")->currentIndex(), standard ? 0 : 1);
        QCOMPARE(child<QComboBox>(d, "cmbStandard")->currentText(), standardText);
        QCOMPARE(QStringList({child<QLineEdit>(d, "CustomWidthlineEdit")->text(), child<QLineEdit>(d, "CustomHeightlineEdit")->text(),
                              child<QLineEdit>(d, "CustomHzlineEdit")->text()}),
                 custom);
    }

    void applyButtonsSendTheirPayloads()
    {
        CmdRecorder rec;
        OutputSettingDlg d;
        answerPorts(d, 3);
        // custom 1280x720 at 75 on port 1
        answer(37, 10, resolution({1, 255, 1280, 720, 75}));
        rec.cmds.clear();
        child<QPushButton>(d, "ApplePushButton")->click();
        // the form's timing on port 1
        child<QPushButton>(d, "Advancedapplication")->click();
        // the second tab works on its own port
        child<QComboBox>(d, "AdvancedcomboBox")->setCurrentIndex(2);
        setText(d, "DelaylineEdit", "300");
        setText(d, "NoiselineEdit", "5");
        child<QPushButton>(d, "SetuppushButton")->click();
        QCOMPARE(rec.cmds, QStringList({"2/10:01000001ff050002d04b", "2/20:010780089807d8080404380465043c04413c",
                                        "1/21:03", "1/22:03", "2/21:03012c", "2/22:030005"}));
    }

    void standardApplyForPortTwo()
    {
        CmdRecorder rec;
        OutputSettingDlg d;
        answerPorts(d, 3);
        answer(37, 10, resolution({2, 8, 0, 0, 0}));
        rec.cmds.clear();
        child<QPushButton>(d, "ApplePushButton")->click();
        QCOMPARE(rec.cmds, QStringList{"2/10:0200000108078004383c"});
    }

    // Values that do not fit their field are refused with a message, and nothing is sent.
    void invalidFieldsAreRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("button");
        QTest::newRow("width not a number") << "CustomWidthlineEdit" << "abc" << "ApplePushButton";
        QTest::newRow("width above 16 bits") << "CustomWidthlineEdit" << "70000" << "ApplePushButton";
        QTest::newRow("refresh rate above a byte") << "CustomHzlineEdit" << "300" << "ApplePushButton";
        QTest::newRow("empty timing") << "VeticalEndlineEdit" << "" << "Advancedapplication";
        QTest::newRow("max rate above a byte") << "MaxHzlineEdit" << "256" << "Advancedapplication";
        QTest::newRow("negative delay") << "DelaylineEdit" << "-1" << "SetuppushButton";
        QTest::newRow("empty noise value") << "NoiselineEdit" << "" << "SetuppushButton";
    }
    void invalidFieldsAreRefused()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, button);
        CmdRecorder rec;
        OutputSettingDlg d;
        // set the text as a paste would, past the validator
        child<QLineEdit>(d, field.toLatin1().constData())->setText(text);
        child<QPushButton>(d, button.toLatin1().constData())->click();
        QVERIFY(rec.cmds.isEmpty());
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
    }

    void portChangeReadsThePageShown()
    {
        CmdRecorder rec;
        OutputSettingDlg d;
        answerPorts(d, 3);
        rec.cmds.clear();
        child<QComboBox>(d, "selectioncomboBox")->setCurrentIndex(1);
        child<QPushButton>(d, "AdvancedpushButton")->click();
        child<QComboBox>(d, "selectioncomboBox")->setCurrentIndex(2);
        child<QPushButton>(d, "Backfirstpace")->click();
        child<QRadioButton>(d, "preinstallradioButton")->click();
        child<QPushButton>(d, "pushButton_8")->click();
        QCOMPARE(rec.cmds, QStringList({"1/10:02", "1/20:02", "1/20:03"}));
    }

    // Each opening reads the ports and leaves nothing attached behind it.
    void openingReadsPortsAndLeavesNothing()
    {
        CmdRecorder rec;
        const int nBefore = globalObserver::getGlobalObserver()->subscriptionCount("InitOutputDate");
        closeNextModal();
        OutputSettingDlg::run("T9");
        QCOMPARE(rec.cmds, QStringList{"1/1:"});
        QCOMPARE(rec.serials, QStringList{"T9"});
        QCOMPARE(globalObserver::getGlobalObserver()->subscriptionCount("InitOutputDate"), nBefore);
    }

    // Device B's dialog shows B's delay: not A's answer to a read, not A's hand-back when A's link
    // drops with a write queued; its apply writes B's own value to B.
    void outputDialogShowsItsOwnDevice()
    {
        CDeviceSimulator simA, simB;
        QVERIFY(simA.listen(QHostAddress("127.0.0.1"), 0));
        QVERIFY(simB.listen(QHostAddress("127.0.0.2"), 0));
        simA.model().outputs[0].nDelay = 300;
        simB.model().outputs[0].nDelay = 500;
        CTcpDeviceThread workerA, workerB;
        workerA.setDeviceType("Tarn");
        workerB.setDeviceType("Tarn");
        QVERIFY(SimTest::connectWorker(workerA, simA, "SNA"));
        QVERIFY(SimTest::connectWorker(workerB, simB, "SNB"));
        CHubSpy spy;
        spy.setRouteTo(&workerA);
        spy.addRouteTo(&workerB);
        OutputSettingDlg d;
        d.m_strSerial = "SNB";
        workerB.setMcuCommand(QString::fromUtf8("输出口设置"), QByteArray(), 1, 1);
        QLineEdit *pDelay = child<QLineEdit>(d, "DelaylineEdit");
        QTRY_COMPARE(pDelay->text(), QString("500"));
        spy.clear();
        workerA.setMcuCommand(QString::fromUtf8("输出口设置"), QByteArray::fromHex("01"), 1, 21);
        QTRY_COMPARE(spy.count("Delay"), 1);
        QCOMPARE(pDelay->text(), QString("500"));
        simA.setAnswering(false);
        workerA.setMcuCommand(QString::fromUtf8("输出口设置"), QByteArray::fromHex("010190"), 2, 21);
        QTRY_VERIFY(workerA.hasCommandInFlight());
        workerA.setMcuCommand(QString::fromUtf8("输出口设置"), QByteArray::fromHex("0101c2"), 2, 21);
        simA.dropClients();
        QTRY_COMPARE(spy.records("slot_outputSettingsHeld"), QList<QVariantList>({{"SNA"}}));
        QCOMPARE(pDelay->text(), QString("500"));
        child<QPushButton>(d, "SetuppushButton")->click();
        SimTest::settle(workerB, simB);
        QCOMPARE(simB.requests(37, 21).last().payload, QByteArray::fromHex("0101f4"));
        QCOMPARE(simA.model().outputs[0].nDelay, 300);
    }

    // Delay 42 applied as the device stops answering; it takes it, and the link goes before its
    // answer: the open dialog shows the records (10) again, and 42 once the next link read it back.
    void outputDialogShowsTheDelayReadBackOnTheNextLink()
    {
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        sim.model().outputs[0].nDelay = 10;
        CTcpDeviceThread worker;
        worker.setDeviceType("Tarn");
        QVERIFY(SimTest::connectWorker(worker, sim, "SN1"));
        CHubSpy spy;
        spy.setRouteTo(&worker);
        OutputSettingDlg d;
        d.m_strSerial = "SN1";
        worker.setMcuCommand(QString::fromUtf8("输出口设置"), QByteArray(), 1, 1);
        QLineEdit *pDelay = child<QLineEdit>(d, "DelaylineEdit");
        QTRY_COMPARE(pDelay->text(), QString("10"));
        SimTest::settle(worker, sim);
        pDelay->setText("42");
        sim.injectFault(CDeviceSimulator::TakenNoAnswer, 37, 2);
        child<QPushButton>(d, "SetuppushButton")->click();
        QTRY_VERIFY(sim.hasRequest(37, 22) && sim.requests(37, 22).last().nReadOrWrite == 2);
        QCOMPARE(sim.model().outputs[0].nDelay, 42);
        sim.dropClients();
        QTRY_VERIFY(worker.isFinished());
        QTRY_COMPARE(pDelay->text(), QString("10"));
        QSignalSpy connected(&worker, &CTcpDeviceThread::connected);
        worker.reConnected();
        QVERIFY(connected.wait(3000));
        worker.start();
        QTRY_COMPARE(pDelay->text(), QString("42"));
        SimTest::settle(worker, sim);
        QCOMPARE(worker.outputsRecord().ports.value(1).nDelay, 42);
    }

    // ---------------------------------------------------------------- audio settings

    // Opened while its device is off for the live scene 2, after scene 1's volume was read: the
    // refused reads hand back the records, and scene 1's volume is not scene 2's.
    void audioDialogShowsItsOwnScene()
    {
        CDeviceSimulator sim;
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        sim.model().scenes[0].nSound = 30;
        sim.model().scenes[1].nSound = 90;
        sim.model().nTakeScene = 2;
        CTcpDeviceThread worker;
        worker.setDeviceType("Tarn");
        QVERIFY(SimTest::connectWorker(worker, sim, "SN1"));
        CHubSpy spy;
        spy.setRouteTo(&worker);
        worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray::fromHex("01"), 1, 51);
        SimTest::settle(worker, sim);
        QCOMPARE(worker.sceneAudioRecord(1)->nVolume, 30);
        worker.setCanConnected(false);
        spy.clear();
        AudioSettings d;
        d.GetSeneceDate(2, "SN1");
        QTRY_COMPARE(spy.records("slot_sceneAudioHeld"), QList<QVariantList>({{"SN1"}}));
        QCOMPARE(child<QSpinBox>(d, "VoiceSpinBox")->value(), 0);
        QCOMPARE(sim.model().scenes[1].nSound, 90);
    }

    void audioOpeningReadsVolumeThenSource()
    {
        CmdRecorder rec;
        AudioSettings d;
        d.GetSeneceDate(3, "T1");
        QCOMPARE(child<QLabel>(d, "scenenumberlabel")->text(), QString::fromUtf8("场景3"));
        d.GetAudioDate(tarn3Sources());
        QComboBox *c = child<QComboBox>(d, "AudioComboBox");
        QCOMPARE(c->count(), 5);
        QCOMPARE(c->currentIndex(), 0);
        QCOMPARE(rec.cmds, QStringList{"1/51:03"});
        QTRY_COMPARE(rec.cmds, QStringList({"1/51:03", "1/50:03"}));
        g_strLanguage = "English";
        d.GetSeneceDate(12, "T1");
        QCOMPARE(child<QLabel>(d, "scenenumberlabel")->text(), QString("Scene12"));
    }

    void audioChangesAreWrittenAtOnce()
    {
        CmdRecorder rec;
        AudioSettings d;
        d.GetSeneceDate(2, "T1");
        d.GetAudioDate(tarn3Sources());
        rec.cmds.clear();
        QSpinBox *spin = child<QSpinBox>(d, "VoiceSpinBox");
        CBaseSlider *slider = child<CBaseSlider>(d, "VoiceSliderTrans");
        spin->setValue(37);
        QCOMPARE(slider->value(), 37);
        child<QComboBox>(d, "AudioComboBox")->setCurrentIndex(3);
        QCOMPARE(rec.cmds, QStringList({"2/51:0225", "2/50:0203"}));

        // a release at three quarters of the slider, then past its right end (the full volume)
        d.show();
        slider->setFixedWidth(200);
        QCoreApplication::processEvents();
        rec.cmds.clear();
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(150, slider->height() / 2));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(260, slider->height() / 2));
        QCOMPARE(spin->value(), 100);
        QCOMPARE(rec.cmds, QStringList({"2/51:024b", "2/51:0264"}));

        // OK and Cancel only close
        child<QPushButton>(d, "OKPushButton")->click();
        child<QPushButton>(d, "CancelpushButton")->click();
        QCOMPARE(rec.cmds.size(), 2);
    }

    // The device's values are shown, never written back; the full volume shows as it is.
    void audioAnswersShowWithoutSending()
    {
        CmdRecorder rec;
        AudioSettings d;
        d.GetSeneceDate(1, "T1");
        d.GetAudioDate(tarn3Sources());
        rec.cmds.clear();
        answer(35, 51, QByteArray::fromHex("0164"));
        answer(35, 50, QByteArray::fromHex("0104"));
        QCOMPARE(child<QSpinBox>(d, "VoiceSpinBox")->value(), 100);
        QCOMPARE(child<CBaseSlider>(d, "VoiceSliderTrans")->value(), 100);
        QCOMPARE(child<QComboBox>(d, "AudioComboBox")->currentText(), QString::fromUtf8("窗口3"));
        QVERIFY(rec.cmds.isEmpty() || rec.cmds == QStringList{"1/50:01"});
        QVERIFY(!rec.cmds.join(' ').contains("2/"));
    }

    void audioOpeningLeavesNothingAttached()
    {
        CmdRecorder rec;
        const int nBefore = globalObserver::getGlobalObserver()->subscriptionCount("slot_SetAudio");
        int nAtClose = -1;
        closeNextModal([&] {
            nAtClose = rec.cmds.size();
            return true;
        });
        AudioSettings::run(4, "T2", {"关闭", "AudioIn", "窗口1"});
        QCOMPARE(rec.cmds.first(), QString("1/51:04"));
        QCOMPARE(rec.cmds.size(), nAtClose);
        QCOMPARE(globalObserver::getGlobalObserver()->subscriptionCount("slot_SetAudio"), nBefore);
        // the source read of a closed dialog never goes out (on a slow machine it may have gone
        // out before the close)
        QTest::qWait(450);
        QCOMPARE(rec.cmds.size(), nAtClose);
    }

    // The Tarn frame's audio button runs one dialog for the live scene and keeps none.
    void tarnFrameAudioButtonRunsOneDialog()
    {
        CmdRecorder rec;
        g_strSerialDevType = "Tarn-3";
        CEditSceneMain frame;
        closeNextModal([&] { return rec.cmds.size() >= 2; });
        frame.findChild<QAbstractButton *>("AudioSettingsButton")->click();
        QCOMPARE(rec.cmds, QStringList({"1/51:00", "1/50:00"}));
        QCOMPARE(frame.findChildren<AudioSettings *>().size(), 0);
    }
};

VISTEL_TEST_MAIN(TestSettingsDialogs)
#include "tst_settingsdialogs.moc"
