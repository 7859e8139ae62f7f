#include "TestMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include "BesMessageBox.h"
#include "DeviceSimulator.h"
#include "HubSpy.h"
#include "OtherWidget.h"
#include "SceneSaveAsDlg.h"
#include "SimTestUtil.h"
#include "TcpDeviceThread.h"
#include "TestUtil.h"
#include "globalObserver.h"

using SimTest::connectWorker;
using SimTest::settle;

// Two Z devices connected at once, each with its own settings page: what a page sends reaches
// its device (and the device keeps it), and what a device answers reaches its page alone.
class TestZSettingsSim : public QObject
{
    Q_OBJECT

    struct Device
    {
        Device(const QString &serial, int nLayerWidth)
            : sim(CSimDeviceModel::Z, 3, 2)
        {
            strSerial = serial;
            sim.setSerial(serial);
            sim.model().nLayerWidth = nLayerWidth;
            worker.setDeviceType("Z");
            page.slot_updateZDeviceName("dev", serial);
        }
        QString strSerial;
        CDeviceSimulator sim;
        CTcpDeviceThread worker;
        COtherWidget page;
    };

    static QLineEdit *edit(COtherWidget &w, const char *name) { return w.findChild<QLineEdit *>(name); }
    static void type(COtherWidget &w, const char *name, const QString &text)
    {
        edit(w, name)->setText(text);
        edit(w, name)->setModified(true);
    }
    static void readLayer(Device &d)
    {
        d.worker.setMcuCommand(QString::fromUtf8("图层设置"), QByteArray(1, '\0'), 1, 0);
        settle(d.worker, d.sim);
    }
    // A connected device whose counts, scenes and live settings worker and page have read.
    static bool connectAndRead(Device &d, CHubSpy &spy)
    {
        spy.setRouteTo(&d.worker);
        if (!d.sim.listen(QHostAddress("127.0.0.1"), 0) || !connectWorker(d.worker, d.sim, d.strSerial))
            return false;
        d.worker.setMcuCommand(QString::fromUtf8("源及场景数"), QByteArray(1, 1), 1, 0);
        settle(d.worker, d.sim);
        readLayer(d);
        return true;
    }
    // Canvas, offset, input crop, scale mode and mute (1 sound on): as the page shows them, as
    // the worker's record and as the device hold them.
    static QList<int> shown(COtherWidget &w)
    {
        QList<int> list;
        for (const char *name : {"lineEditW", "lineEditH", "lineEditXDeflection", "lineEditYDeflection",
                                 "lineEditCutX", "lineEditCutY", "lineEditCutW", "lineEditCutH"})
            list << edit(w, name)->text().toInt();
        return list << w.findChild<QComboBox *>("ScalecomboBox")->currentIndex()
                    << int(w.findChild<QToolButton *>("SilenttoolButton")->styleSheet().contains("volume.png"))
                    << w.findChild<QSlider *>("brightnessSlider")->value() << w.findChild<QSlider *>("SoundSlider")->value();
    }
    static QList<int> recorded(const SystemInfo &s)
    {
        return {s.nLayerWidth, s.nLayerHeight, s.nXDeflection, s.nYDeflection, s.nXinput,
                s.nYinput, s.ninputWidth, s.ninputHeight, s.nScaleMode, s.nsilent, s.nbrightness, s.nsound};
    }
    static QList<int> held(const CSimDeviceModel &m)
    {
        return {m.nLayerWidth, m.nLayerHeight, m.nXDeflection, m.nYDeflection, m.nInX,
                m.nInY, m.nInW, m.nInH, m.nScaleMode, m.nSilent, m.nBrightness, m.nSound};
    }

private slots:
    void initTestCase()
    {
        g_strDevType = "Z";
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
    }

    void eachPageActsOnItsOwnDevice()
    {
        CHubSpy spy;
        Device a("ZA", 1920), b("ZB", 1280);
        a.sim.model().scenes[1].nCropX = 99;
        b.sim.model().scenes[1].nCropX = 55;
        spy.setRouteTo(&a.worker);
        spy.addRouteTo(&b.worker);
        for (Device *d : {&a, &b}) {
            QVERIFY(d->sim.listen(QHostAddress("127.0.0.1"), 0));
            QVERIFY(connectWorker(d->worker, d->sim, d->strSerial));
            d->worker.setMcuCommand(QString::fromUtf8("源及场景数"), QByteArray(1, 1), 1, 0);
            settle(d->worker, d->sim);
            readLayer(*d);
        }

        // each page shows its device's record and scenes
        QCOMPARE(a.page.systemInfo(), a.worker.getSystemInfo());
        QCOMPARE(b.page.systemInfo(), b.worker.getSystemInfo());
        QCOMPARE(edit(a.page, "lineEditW")->text(), QString("1920"));
        QCOMPARE(edit(b.page, "lineEditW")->text(), QString("1280"));
        a.page.slot_setZDeviceScenepreview(2);
        b.page.slot_setZDeviceScenepreview(2);
        QCOMPARE(edit(a.page, "lineEditCutX")->text(), QString("99"));
        QCOMPARE(edit(b.page, "lineEditCutX")->text(), QString("55"));

        // every command of page A, applied and immediate
        b.sim.clearRequests();
        type(a.page, "lineEditstrSerial", "Hall");
        type(a.page, "lineEditW", "1280");
        type(a.page, "lineEditH", "720");
        type(a.page, "lineEditXDeflection", "10");
        type(a.page, "lineEditYDeflection", "20");
        type(a.page, "lineEditCutX", "4");
        type(a.page, "lineEditCutW", "640");
        type(a.page, "lineEditoutCutX", "0");
        type(a.page, "lineEditoutCutW", "1280");
        type(a.page, "lineEditoutCutH", "720");
        a.page.sendZDeviceCmd();
        a.page.findChild<QComboBox *>("ScalecomboBox")->setCurrentIndex(1);
        a.page.findChild<QToolButton *>("SilenttoolButton")->click();
        QSlider *bright = a.page.findChild<QSlider *>("brightnessSlider");
        bright->setValue(55);
        emit bright->sliderReleased();
        QSlider *sound = a.page.findChild<QSlider *>("SoundSlider");
        sound->setValue(66);
        emit sound->sliderReleased();
        settle(a.worker, a.sim);

        const CSimDeviceModel &m = a.sim.model();
        QCOMPARE(m.strDeviceName, QString("Hall"));
        QCOMPARE(QList<int>({m.nLayerWidth, m.nLayerHeight, m.nXDeflection, m.nYDeflection}), QList<int>({1280, 720, 10, 20}));
        QCOMPARE(QList<int>({m.nInX, m.nInW}), QList<int>({4, 640}));
        QCOMPARE(QList<int>({m.nOutX, m.nOutY, m.nOutW, m.nOutH}), QList<int>({0, 0, 1280, 720}));
        QCOMPARE(QList<int>({m.nScaleMode, m.nSilent, m.nBrightness, m.nSound}), QList<int>({1, 0, 55, 66}));
        QCOMPARE(b.sim.requestCount(), 0);
        QCOMPARE(b.sim.model().nLayerWidth, 1280);
        QCOMPARE(b.sim.model().strDeviceName, QString::fromUtf8("演示设备"));

        // read back: the page shows what the device kept
        edit(a.page, "lineEditW")->clear();
        readLayer(a);
        QCOMPARE(edit(a.page, "lineEditW")->text(), QString("1280"));
        QCOMPARE(edit(a.page, "lineEditYDeflection")->text(), QString("20"));
        QCOMPARE(edit(a.page, "lineEditCutW")->text(), QString("640"));
        QCOMPARE(edit(a.page, "lineEditoutCutH")->text(), QString("720"));
        QCOMPARE(a.page.findChild<QComboBox *>("ScalecomboBox")->currentIndex(), 1);
        QCOMPARE(bright->value(), 55);
        QVERIFY(a.page.findChild<QToolButton *>("SilenttoolButton")->styleSheet().contains("mute.png"));
        QCOMPARE(edit(b.page, "lineEditW")->text(), QString("1280"));
        QCOMPARE(edit(b.page, "lineEditCutX")->text(), QString("55"));

        // saving arms only device A: B's count reply keeps its ordinary handling
        spy.clear();
        b.sim.model().nTakeScene = 2;
        b.worker.setMcuCommand(QString::fromUtf8("源及场景数"), QByteArray(1, 1), 1, 0);
        // the device's counts reach the open dialog; then the live values are saved into scene 2
        QTimer::singleShot(0, [&a] {
            CSceneSaveAsDlg *d = a.page.sceneSaveAsDlg();
            if (!QTest::qWaitFor([d] { return d->sceneCount() == 2; }, 5000)) {
                d->close();
                return;
            }
            d->findChild<QLineEdit *>("lineEditIndex")->setText("2");
            d->on_pushButtonOk_clicked();
        });
        a.page.findChild<QPushButton *>("SavescenepushButton")->click();
        settle(a.worker, a.sim);
        settle(b.worker, b.sim);
        QCOMPARE(a.page.sceneSaveAsDlg()->takeScene(), 1);
        QCOMPARE(spy.count("slot_getZScenedate"), 1);
        QCOMPARE(spy.last("slot_getZScenedate"), QVariantList({2, 1, QString("ZA")}));
        QVERIFY(b.sim.hasRequest(35, 0));
        QCOMPARE(b.worker.getDeviceInfo()->nTakeScene, 2);
        const CSimScene &saved = a.sim.model().scenes.at(1);
        QCOMPARE(QList<int>({saved.nCropX, saved.nCropW, saved.nBrightness, saved.nSound, saved.nScaleMode}),
                 QList<int>({4, 640, 55, 66, 1}));
        QCOMPARE(a.worker.getZSceneList().at(1)->ninputWidth, 640);
    }

    // A page bound to another device shows that device's records at once, without waiting for an
    // answer: none of the previous device's values, no blanks.
    void reboundPageShowsTheNewDevice()
    {
        CHubSpy spy;
        Device a("ZA", 1920), b("ZB", 1280);
        std::tie(b.sim.model().nBrightness, b.sim.model().nSound, b.sim.model().nSilent) = std::make_tuple(30, 20, 0);
        QVERIFY(connectAndRead(b, spy));
        QVERIFY(connectAndRead(a, spy));
        b.sim.setAnswering(false);
        a.page.setServedDevice("ZB", "Z");
        QCOMPARE(shown(a.page), held(b.sim.model()));
        QCOMPARE(a.page.systemInfo(), b.worker.getSystemInfo());
    }

    // After each action page and record show what the device holds: a write it refuses, or a
    // take of a scene stored muted with another scale mode, leaves them at the device's values; a
    // write it takes is recorded; a canvas of width 0 is refused by the page and never sent. The
    // next mute click then turns over the device's mute.
    void pageShowsTheDevice_data()
    {
        QTest::addColumn<int>("refusedCmd"); // -1: nothing refused
        QTest::addColumn<QString>("field");  // typed and applied; "mute" clicked; "take" of scene 2
        QTest::addColumn<QString>("text");
        QTest::newRow("canvas size refused") << 30 << "lineEditH" << "720";
        QTest::newRow("offset refused") << 34 << "lineEditXDeflection" << "100";
        QTest::newRow("mute refused") << 34 << "mute" << "";
        QTest::newRow("canvas size taken") << -1 << "lineEditH" << "720";
        QTest::newRow("canvas width 0") << -1 << "lineEditW" << "0";
        QTest::newRow("take") << -1 << "take" << "";
        // the live settings read after the take goes unanswered, and the operator mutes while it is
        // on its way: it is asked again, and page and record show the scene taken
        QTest::newRow("take, its read unanswered, mute at once") << -1 << "takemute" << "";
        // three takes on one link, each one's live settings read unanswered once: each is asked
        // again, and the page shows the scene as the device holds it, not as last read
        QTest::newRow("three takes, each one's read unanswered once") << -1 << "take3" << "";
        // a mute queued, then one write too many at the queue's bound (said, the page shown the
        // records): once the device takes the mute the page shows it
        QTest::newRow("mute queued, one too many") << 0 << "bound" << "";
        // A click on the groove beside the handle (a page step) and a wheel turn send what they show.
        QTest::newRow("sliders moved") << -1 << "sliders" << "";
        // Input 0 (scene 1's main input) renamed: the page's preview of scene 1 names it anew.
        QTest::newRow("input renamed") << -1 << "rename" << "Cam";
        // A frame's binding reads the live settings (answered 300 ms late, in order), and the
        // operator presses before the answer comes: the answer, made before the device took the
        // press, never puts the old value back, whether the press is in flight behind the read or
        // still queued.
        QTest::newRow("mute before the binding's read is answered") << -1 << "bind" << "mute";
        QTest::newRow("scale before the binding's read is answered") << -1 << "bind" << "scale";
        QTest::newRow("canvas height before the binding's read is answered") << -1 << "bind" << "lineEditH";
    }
    void pageShowsTheDevice()
    {
        QFETCH(int, refusedCmd);
        QFETCH(QString, field);
        QFETCH(QString, text);
        CHubSpy spy;
        Device a("ZA", 1920);
        a.sim.model().scenes[1].nSilent = 0;
        a.sim.model().scenes[1].nScaleMode = 1;
        QVERIFY(connectAndRead(a, spy));
        const QList<int> before = held(a.sim.model());
        if (refusedCmd > 0)
            a.sim.injectFault(CDeviceSimulator::Nak, refusedCmd);
        BesMessageBox::clearTestRecords();
        QToolButton *pMute = a.page.findChild<QToolButton *>("SilenttoolButton");
        if (field == "bound") {
            SimTest::holdQueue(a.worker, a.sim, 1023);
            QTest::mouseClick(pMute, Qt::LeftButton);
            QVERIFY(!a.worker.setMcuCommand(QString::fromUtf8("图层设置"), QByteArray::fromHex("0001"), 2, 43));
            QTRY_COMPARE(BesMessageBox::testRecords().size(), 1);
            QCOMPARE(shown(a.page), before);
            a.sim.setAnswering(true);
            QTRY_VERIFY_WITH_TIMEOUT(a.sim.hasRequest(34, 44), 10000);
        } else if (field == "bind") {
            // the last answer a live settings read's (none of a heartbeat after it): the gate lets
            // the press follow the binding's read; a name read between holds it in the queue
            a.worker.setHeartbeatInterval(60000);
            readLayer(a);
            a.sim.setReplyDelay(300);
            QVERIFY(a.worker.askOwnRead(QString::fromUtf8("图层设置"), QByteArray(1, '\0'), 0));
            if (text == "mute") {
                QTest::mouseClick(pMute, Qt::LeftButton);
            } else if (text == "scale") {
                a.page.findChild<QComboBox *>("ScalecomboBox")->setCurrentIndex(1);
            } else {
                a.worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10);
                TestUtil::retype(edit(a.page, qPrintable(text)), "720");
                a.page.sendZDeviceCmd();
            }
        } else if (field == "mute") {
            QTest::mouseClick(pMute, Qt::LeftButton);
        } else if (field == "sliders") {
            a.page.show();
            QSlider *pBright = a.page.findChild<QSlider *>("brightnessSlider");
            QSlider *pSound = a.page.findChild<QSlider *>("SoundSlider");
            QTRY_VERIFY(pBright->isVisible() && pBright->width() > 20);
            QTest::mouseClick(pBright, Qt::LeftButton, {}, QPoint(3, pBright->height() / 2));
            const QPoint pt = pSound->rect().center();
            QWheelEvent wheel(pt, pSound->mapToGlobal(pt), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(pSound, &wheel);
        } else if (field == "rename") {
            a.worker.setMcuCommand(QString::fromUtf8("输入设置"), QByteArray(2, '\0') + text.toLatin1().leftJustified(12, '\0'), 2, 2);
        } else if (field == "take3") {
            a.worker.setHeartbeatInterval(300); // its reply ends the read left unanswered
            a.sim.model().scenes[0].nBrightness = 70; // not what the worker read of the scenes
            a.sim.model().scenes[1].nBrightness = 80;
            for (const int nScene : {2, 1, 2}) {
                a.sim.injectFault(CDeviceSimulator::NoAnswer, 34);
                a.worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, char(nScene)), 2, 20);
                settle(a.worker, a.sim);
                QCOMPARE(a.sim.model().nTakeScene, nScene);
                QCOMPARE(shown(a.page), held(a.sim.model()));
            }
        } else if (field == "take" || field == "takemute") { // as a scene card takes it
            const int nReads = a.sim.requests(34, 0).size();
            QMetaObject::Connection muteOnTheRead;
            if (field == "takemute") {
                a.worker.setHeartbeatInterval(300); // its reply ends the read left unanswered
                a.sim.injectFault(CDeviceSimulator::NoAnswer, 34);
                muteOnTheRead = connect(&a.sim, &CDeviceSimulator::requestReceived, this, [&a, pMute](int nCmd, int nRw, int nSub) {
                    if (nCmd == 34 && nRw == 1 && nSub == 0 && !a.sim.hasRequest(34, 44))
                        QTest::mouseClick(pMute, Qt::LeftButton);
                });
            }
            QByteArray take(1, char(2));
            QString strSerial = a.strSerial, strOp = QString::fromUtf8("场景操作");
            globalObserver *pHub = globalObserver::getGlobalObserver();
            pHub->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial), Q_ARG(QString, strOp),
                         Q_ARG(QByteArray &, take), Q_ARG(int, 2), Q_ARG(int, 20));
            pHub->notify("slot_setZDeviceSceneTake", Q_ARG(int, 2));
            if (field == "takemute") {
                settle(a.worker, a.sim);
                disconnect(muteOnTheRead);
                QCOMPARE(a.sim.requests(34, 44).size(), 1);
                QCOMPARE(a.sim.requests(34, 0).size() - nReads, 2);
            }
        } else {
            TestUtil::retype(edit(a.page, qPrintable(field)), text);
            QTest::keyClick(edit(a.page, qPrintable(field)), Qt::Key_Return);
            a.page.sendZDeviceCmd();
        }
        settle(a.worker, a.sim);
        QCOMPARE(held(a.sim.model()) != before, refusedCmd <= 0 && text != "0" && field != "rename");
        // a refused write is said, as is a width of 0
        QCOMPARE(BesMessageBox::testRecords().size(), int(text == "0") + int(refusedCmd >= 0));
        QCOMPARE(shown(a.page), held(a.sim.model()));
        QCOMPARE(recorded(*a.worker.getSystemInfo()), held(a.sim.model()));
        const int nSilent = a.sim.model().nSilent;
        QTest::mouseClick(pMute, Qt::LeftButton);
        settle(a.worker, a.sim);
        QCOMPARE(a.sim.model().nSilent, 1 - nSilent);
        QCOMPARE(shown(a.page), held(a.sim.model()));
        // the page names a scene's main input as the device does
        a.page.slot_setZDeviceScenepreview(1);
        QCOMPARE(spy.last("slot_previewCurrentZDeviceDate").value(0).toString(), a.sim.model().inputs[0].strName);
    }

    // Saving into a stored scene stores the device's live settings, and the scene's record ends as
    // the device holds it, never as the page shows it: after a delete answered while the dialog
    // was open (number 1 then names the old scene 2), and after a preview, which puts another
    // scene's stored values on the page without sending them.
    void saveToRecordsWhatTheDeviceStored_data()
    {
        QTest::addColumn<bool>("bDelete");
        QTest::addColumn<int>("nTarget");
        QTest::newRow("after a delete") << true << 1;
        QTest::newRow("after a preview") << false << 2;
    }
    void saveToRecordsWhatTheDeviceStored()
    {
        QFETCH(bool, bDelete);
        QFETCH(int, nTarget);
        CHubSpy spy;
        Device a("ZA", 1920);
        CSimDeviceModel &m = a.sim.model();
        m.scenes.append(m.scenes.at(1));
        for (int i = 0; i < 3; ++i) {
            m.scenes[i].nCropX = 11 * (i + 1);
            m.scenes[i].nBrightness = 10 * (i + 1);
            m.scenes[i].nScaleMode = 1;
        }
        m.nInX = 5;
        m.nBrightness = 90;
        m.nScaleMode = 0;
        spy.setRouteTo(&a.worker);
        QVERIFY(a.sim.listen(QHostAddress("127.0.0.1"), 0));
        QVERIFY(connectWorker(a.worker, a.sim, a.strSerial));
        a.worker.setMcuCommand(QString::fromUtf8("源及场景数"), QByteArray(1, 1), 1, 0);
        settle(a.worker, a.sim);
        readLayer(a);
        QCOMPARE(a.worker.getZSceneList().size(), 3);
        if (bDelete) {
            type(a.page, "lineEditCutX", "7");
            QByteArray del(1, char(1));
            QString strSerial = a.strSerial, strOp = QString::fromUtf8("场景操作");
            globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial), Q_ARG(QString, strOp),
                                                        Q_ARG(QByteArray &, del), Q_ARG(int, 2), Q_ARG(int, 30));
        } else {
            a.page.slot_setZDeviceScenepreview(3);
            QCOMPARE(edit(a.page, "lineEditCutX")->text(), QString("33"));
        }
        const int nScenes = bDelete ? 2 : 3;
        bool bAnswered = false;
        QTimer::singleShot(0, [&] {
            CSceneSaveAsDlg *d = a.page.sceneSaveAsDlg();
            settle(a.worker, a.sim);
            QLineEdit *e = d->findChild<QLineEdit *>("lineEditIndex");
            e->clear();
            QTest::keyClicks(e, QString::number(nTarget));
            // the delete, the counts and the re-read have all been answered by now
            bAnswered = d->sceneCount() == nScenes && a.worker.getZSceneList().size() == nScenes;
            QTest::mouseClick(d->findChild<QPushButton *>("pushButtonOk"), Qt::LeftButton);
            if (d->isVisible())
                d->close();
        });
        a.page.findChild<QPushButton *>("SavescenepushButton")->click();
        settle(a.worker, a.sim);

        QVERIFY(bAnswered);
        const QList<CSimRequest> saves = a.sim.requests(35, 10);
        QCOMPARE(saves.size(), 1);
        QCOMPARE(saves.at(0).payload, QByteArray::fromHex("00") + char(nTarget));
        // the device stored its live settings; the record holds them, the other scenes keep theirs
        const CSimScene &stored = m.scenes.at(nTarget - 1);
        QCOMPARE(QList<int>({stored.nCropX, stored.nBrightness, stored.nScaleMode}), QList<int>({5, 90, 0}));
        const QList<ZSceneInfo *> &list = a.worker.getZSceneList();
        QCOMPARE(list.size(), nScenes);
        for (int i = 0; i < nScenes; ++i) {
            const ZSceneInfo &r = *list.at(i);
            const CSimScene &held = m.scenes.at(i);
            QCOMPARE(r.nSceneIndex, i + 1);
            QCOMPARE(QList<int>({r.nXinput, r.nYinput, r.ninputWidth, r.ninputHeight, r.nMainSig, r.nScaleMode,
                                 r.nsilent, r.nsound, r.nbrightness}),
                     QList<int>({held.nCropX, held.nCropY, held.nCropW, held.nCropH, held.nMainSig, held.nScaleMode,
                                 held.nSilent, held.nSound, held.nBrightness}));
        }
        QCOMPARE(list.last()->nXinput, 33);
        // the page's copies follow: its preview of the scene shows what the device stored
        edit(a.page, "lineEditCutX")->clear();
        a.page.slot_setZDeviceScenepreview(nTarget);
        QCOMPARE(edit(a.page, "lineEditCutX")->text(), QString("5"));
    }
};

VISTEL_TEST_MAIN(TestZSettingsSim)
#include "tst_zsettings_sim.moc"
