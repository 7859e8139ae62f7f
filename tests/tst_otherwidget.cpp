#include "TestMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>

#include <list>

#include "BesMessageBox.h"
#include "DeviceSimModel.h"
#include "OtherWidget.h"
#include "SceneSaveAsDlg.h"
#include "SimTestUtil.h"
#include "TcpDeviceThread.h"
#include "TestUtil.h"
#include "globalObserver.h"

namespace {

QByteArray hex(const char *psz)
{
    return QByteArray::fromHex(psz);
}

struct Cmd
{
    QString serial, name;
    QByteArray payload;
    int rw, sub;
};

// Records what the page sends and tells its neighbours.
class Recorder : public QObject
{
    Q_OBJECT
public:
    Recorder()
    {
        for (const char *t : kTopics)
            globalObserver::getGlobalObserver()->attach(t, this, t);
    }
    ~Recorder() override
    {
        for (const char *t : kTopics)
            globalObserver::getGlobalObserver()->detach(t, this);
    }
    QList<Cmd> cmds;
    QStringList events;

public slots:
    void slot_setDeviceCmd(QString serial, QString name, QByteArray &payload, int rw, int sub)
    {
        cmds.append({serial, name, payload, rw, sub});
    }
    void slot_ChangeScenesize(int w, int h) { events << QString("size %1 %2").arg(w).arg(h); }
    void slot_ChangeXPos(int x, int y) { events << QString("pos %1 %2").arg(x).arg(y); }
    void slot_previewCurrentZDeviceDate(QString name) { events << "preview " + name; }
    void slot_GetZSencedate() { events << "arm all"; }
    void slot_GetZSencedate(QString serial) { events << "arm " + serial; }

private:
    static constexpr const char *kTopics[] = {"slot_setDeviceCmd", "slot_ChangeScenesize", "slot_ChangeXPos",
                                              "slot_previewCurrentZDeviceDate", "slot_GetZSencedate"};
};

// Closes the next modal dialog as soon as it runs.
void closeNextModal(std::function<void()> whileOpen = {})
{
    QTimer::singleShot(0, [whileOpen] {
        if (whileOpen)
            whileOpen();
        if (QWidget *w = QApplication::activeModalWidget())
            w->close();
    });
}

SystemInfo deviceRecord()
{
    SystemInfo s;
    s.nLayerWidth = 1920;
    s.nLayerHeight = 1080;
    s.nXDeflection = 10;
    s.nYDeflection = 20;
    s.nXinput = 1;
    s.nYinput = 2;
    s.ninputWidth = 1280;
    s.ninputHeight = 720;
    s.nXoutput = 0;
    s.nYoutput = 0;
    s.noutputWidth = 1920;
    s.noutputHeight = 1080;
    s.nScaleMode = 1;
    s.nsilent = 1;
    s.nsound = 40;
    s.nbrightness = 80;
    return s;
}

} // namespace

// The Z device page: what each apply group sends and refuses, how filling, preview and take
// show values without sending, and that a page follows only its own device.
class TestOtherWidget : public QObject
{
    Q_OBJECT

    static QLineEdit *edit(COtherWidget &w, const char *name) { return w.findChild<QLineEdit *>(name); }
    // As the operator types, key by key: the field carries the modified mark.
    static void type(COtherWidget &w, const char *name, const QString &text)
    {
        TestUtil::retype(edit(w, name), text);
    }
    // The settings record of a new unconnected worker of the serial holding deviceRecord(); gone after the test.
    std::list<CTcpDeviceThread> m_listDev;
    SystemInfo &record(const QString &serial = "Z1")
    {
        CTcpDeviceThread &dev = m_listDev.emplace_back();
        dev.setDeviceSerial(serial);
        dev.setDeviceType("Z");
        *dev.getSystemInfo() = deviceRecord();
        return *dev.getSystemInfo();
    }
    static void bind(COtherWidget &w, SystemInfo &s, const QString &serial = "Z1")
    {
        w.slot_updateZDeviceName("dev", serial);
        w.slot_initWidgetdate(&s, serial);
    }

private slots:
    void init()
    {
        BesMessageBox::clearTestRecords();
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
    }
    void cleanup() { BesMessageBox::clearTestAnswer(); m_listDev.clear(); }

    // Each group's frame, its record write and its topic; a group is sent once per edit.
    void applyGroupSendsEditedFields_data()
    {
        QTest::addColumn<QStringList>("edits");   // field=value
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("event");
        QTest::newRow("name") << QStringList{"lineEditstrSerial=AB"} << QString::fromUtf8("系统设置") << 10
                              << hex("414200000000000000000000") << QString();
        QTest::newRow("size at the hints' limits") << QStringList{"lineEditW=3840", "lineEditH=2160"}
                                                   << QString::fromUtf8("大屏宽高") << 0 << hex("0f0008703c")
                                                   << QString("size 3840 2160");
        QTest::newRow("size 1080x1920") << QStringList{"lineEditW=1080", "lineEditH=1920"}
                                        << QString::fromUtf8("大屏宽高") << 0 << hex("043807803c") << QString("size 1080 1920");
        QTest::newRow("offset at the layer size") << QStringList{"lineEditXDeflection=1920", "lineEditYDeflection=1080"}
                                                  << QString::fromUtf8("图层设置") << 10 << hex("00078004380780 0438")
                                                  << QString("pos 1920 1080");
        QTest::newRow("input crop") << QStringList{"lineEditCutW=640"} << QString::fromUtf8("图层设置") << 20
                                    << hex("00010001000202800 2d0") << QString();
        QTest::newRow("output crop filling the width")
            << QStringList{"lineEditoutCutX=10", "lineEditoutCutW=1910"} << QString::fromUtf8("图层设置") << 42
            << hex("00000a000007760438") << QString();
    }
    void applyGroupSendsEditedFields()
    {
        QFETCH(QStringList, edits);
        QFETCH(QString, name);
        QFETCH(int, sub);
        QFETCH(QByteArray, payload);
        QFETCH(QString, event);
        Recorder rec;
        SystemInfo &s = record();
        COtherWidget w;
        bind(w, s);
        w.sendZDeviceCmd();
        QVERIFY(rec.cmds.isEmpty());
        for (const QString &e : edits)
            type(w, e.section('=', 0, 0).toLatin1().constData(), e.section('=', 1));
        w.sendZDeviceCmd();
        QCOMPARE(rec.cmds.size(), 1);
        QCOMPARE(rec.cmds[0].serial, QString("Z1"));
        QCOMPARE(rec.cmds[0].name, name);
        QCOMPARE(rec.cmds[0].rw, 2);
        QCOMPARE(rec.cmds[0].sub, sub);
        QCOMPARE(rec.cmds[0].payload.toHex(), payload.toHex());
        QCOMPARE(rec.events, event.isEmpty() ? QStringList() : QStringList{event});
        // the fields were sent: a second apply has nothing to send
        w.sendZDeviceCmd();
        QCOMPARE(rec.cmds.size(), 1);
        QVERIFY(BesMessageBox::testRecords().isEmpty());
    }

    // The apply leaves the record to the device's acknowledgement; the groups after the size
    // are checked and sent with the size of this apply.
    void applyLeavesTheRecordToTheDevice()
    {
        Recorder rec;
        SystemInfo &s = record();
        COtherWidget w;
        bind(w, s);
        type(w, "lineEditW", "1280");
        type(w, "lineEditH", "720");
        type(w, "lineEditXDeflection", "5");
        type(w, "lineEditCutH", "700");
        type(w, "lineEditoutCutY", "20");
        type(w, "lineEditoutCutW", "1280");
        type(w, "lineEditoutCutH", "700");
        const SystemInfo before = s;
        w.sendZDeviceCmd();
        QCOMPARE(rec.cmds.size(), 4);
        QCOMPARE(QList<int>({s.nLayerWidth, s.nXDeflection, s.ninputHeight, s.nYoutput}),
                 QList<int>({before.nLayerWidth, before.nXDeflection, before.ninputHeight, before.nYoutput}));
        // the offset goes out with the layer size of this apply
        QCOMPARE(rec.cmds[1].payload.toHex(), hex("000005001405000 2d0").toHex());
        // an output crop is checked against that size, not the record's
        type(w, "lineEditW", "1000");
        type(w, "lineEditoutCutW", "1100");
        w.sendZDeviceCmd();
        QCOMPARE(rec.cmds.size(), 5);
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
    }

    // Every refusal shows its message, restores the group's fields from the record and sends
    // nothing of that group or of the groups after it.
    void refusalsRestoreAndSendNothing_data()
    {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("restored");   // field=value after the refusal
        const QString size = QString::fromUtf8("请输入正确屏幕宽高！");
        const QString offset = QString::fromUtf8("偏移点需在画布范围内！");
        const QString crop = QString::fromUtf8("截取图像需在画布范围内！");
        const QString input = QString::fromUtf8("截取值需为0到65535的整数！");
        QTest::newRow("width above 3840") << QStringList{"lineEditW=3841"} << size << "lineEditW=1920";
        QTest::newRow("zero height") << QStringList{"lineEditH=0"} << QString::fromUtf8("画布宽高不能为0！")
                                     << "lineEditH=1080";
        QTest::newRow("height above 2160") << QStringList{"lineEditH=3000", "lineEditW=1080"} << size << "lineEditH=1080";
        QTest::newRow("empty width") << QStringList{"lineEditW="} << size << "lineEditW=1920";
        QTest::newRow("width not a number") << QStringList{"lineEditW=12a"} << size << "lineEditW=1920";
        QTest::newRow("y offset past the layer") << QStringList{"lineEditYDeflection=1081"} << offset << "lineEditYDeflection=20";
        QTest::newRow("negative x offset") << QStringList{"lineEditXDeflection=-1"} << offset << "lineEditXDeflection=10";
        QTest::newRow("negative input crop") << QStringList{"lineEditCutX=-1"} << input << "lineEditCutX=1";
        QTest::newRow("input crop not a number") << QStringList{"lineEditCutW=wide"} << input << "lineEditCutW=1280";
        QTest::newRow("output crop past the right edge") << QStringList{"lineEditoutCutX=10", "lineEditoutCutW=1920"}
                                                         << crop << "lineEditoutCutW=1920";
        QTest::newRow("output crop past the bottom") << QStringList{"lineEditoutCutY=1"} << crop << "lineEditoutCutY=0";
        QTest::newRow("output width wider than the layer") << QStringList{"lineEditoutCutW=1921"} << crop
                                                           << "lineEditoutCutW=1920";
        QTest::newRow("output crop whose sums pass 32 bits")
            << QStringList{"lineEditoutCutX=2000000000", "lineEditoutCutW=2000000000"} << crop << "lineEditoutCutX=0";
        QTest::newRow("output crop whose height sum passes 32 bits")
            << QStringList{"lineEditoutCutY=2147483647", "lineEditoutCutH=1"} << crop << "lineEditoutCutY=0";
        QTest::newRow("negative output crop") << QStringList{"lineEditoutCutX=-5", "lineEditoutCutW=100"} << crop
                                              << "lineEditoutCutX=0";
    }
    void refusalsRestoreAndSendNothing()
    {
        QFETCH(QStringList, edits);
        QFETCH(QString, text);
        QFETCH(QString, restored);
        Recorder rec;
        SystemInfo &s = record();
        const SystemInfo before = s;
        COtherWidget w;
        bind(w, s);
        for (const QString &e : edits)
            type(w, e.section('=', 0, 0).toLatin1().constData(), e.section('=', 1));
        w.sendZDeviceCmd();
        QVERIFY(rec.cmds.isEmpty());
        QVERIFY(rec.events.isEmpty());
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
        QCOMPARE(BesMessageBox::testRecords().at(0).text, text);
        QLineEdit *e = edit(w, restored.section('=', 0, 0).toLatin1().constData());
        QCOMPARE(e->text(), restored.section('=', 1));
        QVERIFY(!e->isModified());
        QCOMPARE(s.nLayerWidth, before.nLayerWidth);
        QCOMPARE(s.nXoutput, before.nXoutput);
        QCOMPARE(s.nXinput, before.nXinput);
        // the restored fields are not sent by the next apply
        w.sendZDeviceCmd();
        QVERIFY(rec.cmds.isEmpty());
    }

    void refusedSizeStopsLaterGroupsButNotTheName()
    {
        Recorder rec;
        SystemInfo &s = record();
        COtherWidget w;
        bind(w, s);
        type(w, "lineEditstrSerial", "N");
        type(w, "lineEditW", "5000");
        type(w, "lineEditXDeflection", "1");
        type(w, "lineEditoutCutX", "1");
        w.sendZDeviceCmd();
        QCOMPARE(rec.cmds.size(), 1);
        QCOMPARE(rec.cmds[0].name, QString::fromUtf8("系统设置"));
        QVERIFY(edit(w, "lineEditXDeflection")->isModified());
    }

    // Before the device's values were read nothing that needs them is sent or written.
    void withoutRecordNothingNeedingItIsSent()
    {
        Recorder rec;
        COtherWidget w;
        w.slot_updateZDeviceName("dev", "Z1");
        type(w, "lineEditW", "1280");
        w.sendZDeviceCmd();
        QVERIFY(rec.cmds.isEmpty());
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
        w.slot_setZDeviceSceneTake(1);
        // nor do the immediate commands: each press is said, and its control shows what it showed
        QComboBox *pScale = w.findChild<QComboBox *>("ScalecomboBox");
        QSlider *pSound = w.findChild<QSlider *>("SoundSlider");
        pScale->setCurrentIndex(1);
        w.findChild<QToolButton *>("SilenttoolButton")->click();
        QTest::keyClick(pSound, Qt::Key_PageUp);
        QVERIFY(rec.cmds.isEmpty());
        QCOMPARE(TestUtil::said("notice", QString::fromUtf8("设备参数尚未读取")), 3);
        QCOMPARE(pScale->currentIndex(), 0);
        QCOMPARE(pSound->value(), pSound->minimum());
        QVERIFY(w.findChild<QToolButton *>("SilenttoolButton")->styleSheet().contains("volume.png"));
    }

    // Filling shows the device's values and sends nothing, whatever the combo showed before.
    void fillingShowsValuesAndSendsNothing()
    {
        Recorder rec;
        SystemInfo &s = record();
        s.nsilent = 0;
        COtherWidget w;
        bind(w, s);
        QVERIFY(rec.cmds.isEmpty());
        QCOMPARE(edit(w, "lineEditCutW")->text(), QString("1280"));
        QCOMPARE(edit(w, "lineEditoutCutH")->text(), QString("1080"));
        QCOMPARE(w.findChild<QComboBox *>("ScalecomboBox")->currentIndex(), 1);
        QCOMPARE(w.findChild<QSlider *>("brightnessSlider")->value(), 80);
        QCOMPARE(w.findChild<QSlider *>("SoundSlider")->value(), 40);
        QVERIFY(w.findChild<QToolButton *>("SilenttoolButton")->styleSheet().contains("mute.png"));
        // a scale mode outside the list sends nothing either
        s.nScaleMode = 7;
        w.slot_initWidgetdate(&s, "Z1");
        QVERIFY(rec.cmds.isEmpty());
        // the operator's choice is sent; the record waits for the device
        w.findChild<QComboBox *>("ScalecomboBox")->setCurrentIndex(0);
        QCOMPARE(rec.cmds.size(), 1);
        QCOMPARE(rec.cmds[0].sub, 43);
        QCOMPARE(rec.cmds[0].payload.toHex(), QByteArray("0000"));
        QCOMPARE(s.nScaleMode, 7);
    }

    // The mute button turns over the device's state: sound on mutes first.
    void muteTogglesFromTheDevice_data()
    {
        QTest::addColumn<int>("silent");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("device sound on") << 1 << QByteArray("0000") << QByteArray("0001");
        QTest::newRow("device muted") << 0 << QByteArray("0001") << QByteArray("0000");
    }
    void muteTogglesFromTheDevice()
    {
        QFETCH(int, silent);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        Recorder rec;
        SystemInfo &s = record();
        s.nsilent = silent;
        COtherWidget w;
        bind(w, s);
        QToolButton *b = w.findChild<QToolButton *>("SilenttoolButton");
        b->click();
        b->click();
        QCOMPARE(rec.cmds.size(), 2);
        QCOMPARE(rec.cmds[0].sub, 44);
        QCOMPARE(rec.cmds[0].payload.toHex(), first);
        QCOMPARE(rec.cmds[1].payload.toHex(), second);
        QCOMPARE(s.nsilent, silent);
        QVERIFY(b->styleSheet().contains(silent ? "volume.png" : "mute.png"));
    }

    // Values the page sets send nothing; a key sends at once; a drag sends once, on release.
    void slidersSendOperatorMoves()
    {
        Recorder rec;
        SystemInfo &s = record();
        COtherWidget w;
        bind(w, s);
        QSlider *bright = w.findChild<QSlider *>("brightnessSlider");
        QSlider *sound = w.findChild<QSlider *>("SoundSlider");
        bright->setValue(100);
        sound->setValue(100);
        QVERIFY(rec.cmds.isEmpty());
        QTest::keyClick(bright, Qt::Key_PageDown);
        QCOMPARE(rec.cmds.size(), 1);
        QCOMPARE(rec.cmds[0].sub, 46);
        QCOMPARE(rec.cmds[0].payload.toHex(), QByteArray::number(bright->value(), 16).rightJustified(4, '0'));
        sound->setSliderDown(true);
        sound->setSliderPosition(70);
        sound->setSliderPosition(60);
        QCOMPARE(rec.cmds.size(), 1);
        sound->setSliderDown(false);
        QCOMPARE(rec.cmds.size(), 2);
        QCOMPARE(rec.cmds[1].sub, 45);
        QCOMPARE(rec.cmds[1].payload.toHex(), QByteArray("003c"));
    }

    // Preview and take show a stored scene without sending or writing the record (the take its
    // mute too), found by scene number; numbers of no scene held are ignored.
    void previewAndTake()
    {
        Recorder rec;
        SystemInfo &s = record();
        ZSceneInfo a, b; // scenes 1 and 3: scene 2 not read
        a.nSceneIndex = 1;
        b.nSceneIndex = 3;
        b.nXinput = 9;
        a.nXinput = 7;
        a.nMainSig = 1;
        a.nScaleMode = 0;
        a.nbrightness = 33;
        b.nMainSig = 5;   // no input of that number
        COtherWidget w;
        bind(w, s);
        w.slot_setListZDeviceScene({a, b}, "Z1");
        w.slot_setZDeviceinputname({"IN1", "IN2"}, "Z1");

        w.slot_setZDeviceScenepreview(1);
        QCOMPARE(edit(w, "lineEditCutX")->text(), QString("7"));
        QCOMPARE(w.findChild<QSlider *>("brightnessSlider")->value(), 33);
        QCOMPARE(w.findChild<QComboBox *>("ScalecomboBox")->currentIndex(), 0);
        QCOMPARE(rec.events, QStringList{"preview IN2"});
        for (int n : {0, 2, 4, -1})
            w.slot_setZDeviceScenepreview(n);
        QCOMPARE(edit(w, "lineEditCutX")->text(), QString("7"));
        w.slot_setZDeviceScenepreview(3);
        QCOMPARE(edit(w, "lineEditCutX")->text(), QString("9"));
        QCOMPARE(rec.events.size(), 1);
        QToolButton *pMute = w.findChild<QToolButton *>("SilenttoolButton");
        QVERIFY(pMute->styleSheet().contains("volume.png"));
        w.slot_setZDeviceSceneTake(2);
        w.slot_setZDeviceSceneTake(1);
        QVERIFY(pMute->styleSheet().contains("mute.png"));
        QVERIFY(rec.cmds.isEmpty());
        QCOMPARE(QList<int>({s.nMainSignumber, s.nScaleMode, s.nsilent}), QList<int>({0, 1, 1}));
    }

    // Topics with another device's serial do not reach this page; a new device drops the old one's values.
    void pageFollowsOnlyItsDevice()
    {
        Recorder rec;
        SystemInfo &mine = record("Z1");
        SystemInfo &other = record("Z2");
        other.nLayerWidth = 640;
        ZSceneInfo scene;
        COtherWidget w;
        bind(w, mine, "Z1");
        globalObserver *hub = globalObserver::getGlobalObserver();
        SystemInfo *p = &other;
        QList<ZSceneInfo> list{scene};
        QList<QString> names{"X"};
        hub->notify("slot_initWidgetdate", Q_ARG(SystemInfo *, p), Q_ARG(QString, QString("Z2")));
        hub->notify("slot_setListZDeviceScene", Q_ARG(QList<ZSceneInfo>, list), Q_ARG(QString, QString("Z2")));
        hub->notify("slot_setZDeviceinputname", Q_ARG(QList<QString>, names), Q_ARG(QString, QString("Z2")));
        QCOMPARE(w.systemInfo(), &mine);
        QCOMPARE(edit(w, "lineEditW")->text(), QString("1920"));
        w.slot_setZDeviceScenepreview(1);
        QVERIFY(rec.events.isEmpty());

        // the save arms only this page's device
        closeNextModal();
        w.findChild<QPushButton *>("SavescenepushButton")->click();
        QCOMPARE(rec.events, QStringList{"arm Z1"});
        QCOMPARE(rec.cmds.size(), 1);
        QCOMPARE(rec.cmds[0].name, QString::fromUtf8("源及场景数"));
        QCOMPARE(rec.cmds[0].rw, 1);
        QCOMPARE(rec.cmds[0].sub, 2);
        QCOMPARE(rec.cmds[0].payload.toHex(), QByteArray("01"));

        // another device opened on this page: nothing of Z1 is checked or written any more
        w.slot_updateZDeviceName("other", "Z2");
        QCOMPARE(w.systemInfo(), static_cast<SystemInfo *>(nullptr));
        QVERIFY(edit(w, "lineEditW")->text().isEmpty());
        hub->notify("slot_initWidgetdate", Q_ARG(SystemInfo *, p), Q_ARG(QString, QString("Z2")));
        QCOMPARE(edit(w, "lineEditW")->text(), QString("640"));
        QCOMPARE(w.systemInfo(), &other);
        // its worker gone, the device's records are out of the page's reach
        m_listDev.pop_back();
        QCOMPARE(w.systemInfo(), static_cast<SystemInfo *>(nullptr));
    }

    // The save hands the dialog the device's counts as they arrive; the dialog's save reads the
    // scene back instead of putting what the page shows into its record.
    void saveFillsTheDialog()
    {
        Recorder rec;
        SystemInfo &s = record();
        s.nMainSignumber = 2;
        COtherWidget w;
        bind(w, s);
        CSimDeviceModel device(CSimDeviceModel::Z, 2, 1);
        SimTest::feedScenes(m_listDev.back(), device);
        type(w, "lineEditCutX", "12");
        globalObserver *hub = globalObserver::getGlobalObserver();
        closeNextModal([hub] {
            hub->notify("slot_getZScenedate", Q_ARG(int, 5), Q_ARG(int, 9), Q_ARG(QString, QString("Z2")));
            hub->notify("slot_getZScenedate", Q_ARG(int, 3), Q_ARG(int, 2), Q_ARG(QString, QString("Z1")));
        });
        w.findChild<QPushButton *>("SavescenepushButton")->click();
        CSceneSaveAsDlg *d = w.sceneSaveAsDlg();
        QVERIFY(d && d->isZMode());
        QCOMPARE(d->sceneCount(), 3);
        QCOMPARE(d->takeScene(), 2);
        // OK on the live scene saves it and reads it back; the page's values stay out of its record
        const ZSceneInfo stored = *m_listDev.back().findZScene(1);
        rec.cmds.clear();
        d->findChild<QLineEdit *>("lineEditIndex")->setText("1");
        d->on_pushButtonOk_clicked();
        QCOMPARE(rec.cmds.size(), 2);
        QCOMPARE(QList<int>({rec.cmds[1].rw, rec.cmds[1].sub}), QList<int>({1, 0}));
        QCOMPARE(rec.cmds[1].payload, hex("01"));
        const ZSceneInfo *scene = m_listDev.back().findZScene(1);
        QVERIFY(scene);
        QCOMPARE(QList<int>({scene->nXinput, scene->nMainSig}), QList<int>({stored.nXinput, stored.nMainSig}));
        // a page built after a language switch saves with zeros for what it has not read
        COtherWidget fresh;
        fresh.slot_updateZDeviceName("dev", "Z1");
        closeNextModal();
        fresh.findChild<QPushButton *>("SavescenepushButton")->click();
        QVERIFY(fresh.sceneSaveAsDlg());
    }

    // A language switch keeps the page and the values it shows.
    void languageSwitchKeepsValues()
    {
        SystemInfo &s = record();
        COtherWidget w;
        bind(w, s);
        QTranslator tr;
        QVERIFY(tr.load("Tranlate_EN.qm", TestUtil::buildDir()));
        qApp->installTranslator(&tr);
        QCoreApplication::processEvents();
        const QString english = w.findChild<QComboBox *>("ScalecomboBox")->itemText(1);
        qApp->removeTranslator(&tr);
        QCoreApplication::processEvents();
        QVERIFY(english != QString::fromUtf8("比例缩放"));
        QCOMPARE(w.findChild<QComboBox *>("ScalecomboBox")->currentIndex(), 1);
        QCOMPARE(edit(w, "lineEditW")->text(), QString("1920"));
        QCOMPARE(w.systemInfo(), &s);
    }

    void sectionHeaderTogglesTwice()
    {
        COtherWidget w;
        w.show();
        QToolButton *b = w.findChild<QToolButton *>("inputcutButton");
        QWidget *section = w.findChild<QWidget *>("inputcutwidget");
        b->click();
        QVERIFY(section->isHidden());
        QVERIFY(b->styleSheet().contains("close.png"));
        b->click();
        QVERIFY(!section->isHidden());
        QVERIFY(b->styleSheet().contains("open.png"));
    }

    // The name the page is given is shown whole, whatever its length.
    void deviceNameIsShownWhole()
    {
        COtherWidget w;
        w.slot_updateZDeviceName(QString::fromUtf8("演示设备名称长"), "Z1");
        QCOMPARE(edit(w, "lineEditstrSerial")->text(), QString::fromUtf8("演示设备名称长"));
        QCOMPARE(w.deviceSerial(), QString("Z1"));
    }
};

VISTEL_TEST_MAIN(TestOtherWidget)
#include "tst_otherwidget.moc"
