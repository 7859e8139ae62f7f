#include "TestMain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>

#include <functional>

#include "AudioSettings.h"
#include "BaseSlider.h"
#include "BesMessageBox.h"
#include "EditSceneMain.h"
#include "OutputSettingDlg.h"
#include "QorGlobal.h"
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

private slots:
    void init()
    {
        BesMessageBox::clearTestRecords();
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        g_strLanguage = "Chinaese";
    }
    void cleanup() { BesMessageBox::clearTestAnswer(); }

    // ---------------------------------------------------------------- output settings

    void portCountFillsSelectorsAndReadsPortOne()
    {
        CmdRecorder rec;
        OutputSettingDlg d;
        d.m_strSerial = "T1";
        d.InitOutputDate(3, "HDMI");
        QCOMPARE(child<QLabel>(d, "Typelabel")->text(), QString("HDMI"));
        for (const char *name : {"selectioncomboBox", "AdvancedcomboBox"}) {
            QComboBox *c = child<QComboBox>(d, name);
            QCOMPARE(c->count(), 3);
            QCOMPARE(c->itemText(2), QString::fromUtf8("输出口3"));
            QCOMPARE(c->currentIndex(), 0);
        }
        QCOMPARE(rec.cmds, QStringList({"1/10:01", "1/21:01", "1/22:01", "1/21:01", "1/22:01"}));
        rec.serials.removeDuplicates();
        QCOMPARE(rec.serials, QStringList{"T1"});
    }

    // No port: nothing to write to; more ports than a byte holds are capped.
    void portCountLimits()
    {
        CmdRecorder rec;
        OutputSettingDlg d;
        d.InitOutputDate(0, "");
        QVERIFY(rec.cmds.isEmpty());
        for (const char *name : {"ApplePushButton", "Advancedapplication", "SetuppushButton"}) {
            QPushButton *b = child<QPushButton>(d, name);
            QVERIFY(!b->isEnabled());
            b->click();
        }
        QVERIFY(rec.cmds.isEmpty());
        d.InitOutputDate(300, "");
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
        d.InitOutputDate(3, "HDMI");
        d.SwitchOutputDate(answer[0], answer[1], answer[2], answer[3], answer[4]);
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
        d.InitOutputDate(3, "HDMI");
        // custom 1280x720 at 75 on port 1
        d.SwitchOutputDate(1, 255, 1280, 720, 75);
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
        d.InitOutputDate(3, "HDMI");
        d.SwitchOutputDate(2, 8, 0, 0, 0);
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
        d.InitOutputDate(3, "HDMI");
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

    // ---------------------------------------------------------------- audio settings

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
        globalObserver::getGlobalObserver()->notify("slot_SetAudio", Q_ARG(int, 100));
        globalObserver::getGlobalObserver()->notify("slot_SetAudioSource", Q_ARG(int, 4));
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
