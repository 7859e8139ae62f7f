#include "TestMain.h"
#include <QScrollArea>

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <QComboBox>
#include <QLineEdit>

#include "BesMessageBox.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSceneCanvas.h"
#include "EditSceneMain.h"
#include "FileListWidget.h"
#include "LockWidget.h"
#include "QorGlobal.h"
#include "TestUtil.h"
#include "CardProgramWidget.h"
#include "ProgramListWidget.h"
#include "TitleWidget.h"
#include "globalObserver.h"
#include "zinferface.h"
#include "zmiddlecontrol.h"

// Receives the topics the frames and the lock overlay notify.
class CFrameTopics : public QObject
{
    Q_OBJECT
public:
    CFrameTopics()
    {
        for (const char *psz : kTopics)
            globalObserver::getGlobalObserver()->attach(psz, this, psz);
    }
    ~CFrameTopics() override
    {
        for (const char *psz : kTopics)
            globalObserver::getGlobalObserver()->detach(psz, this);
    }
    QStringList seen;
    QList<bool> locks;
    QStringList commands;

public slots:
    void Slot_DisconnectSerialPort() { seen << "Slot_DisconnectSerialPort"; }
    void slot_setLock(bool bLock) { locks << bLock; }
    void slot_showToolBar(bool) { seen << "slot_showToolBar"; }
    void slot_toolBarCenter() { seen << "slot_toolBarCenter"; }
    void slot_setDeviceCmd(QString strSerial, QString strCmd, QByteArray &, int nRw, int nSub)
    {
        commands << QString("%1 %2 %3/%4").arg(strSerial, strCmd).arg(nRw).arg(nSub);
    }

private:
    static constexpr const char *kTopics[] = {"Slot_DisconnectSerialPort", "slot_setLock", "slot_showToolBar",
                                              "slot_toolBarCenter", "slot_setDeviceCmd"};
};

// A device record with n inputs, as a worker keeps it.
struct CTestDevice
{
    DeviceInfo info;
    QVector<InputSource> inputs;
    CTestDevice(const QString &strSerial, int n)
    {
        info.strSerial = strSerial;
        inputs.resize(n);
        for (int i = 0; i < n; ++i) {
            inputs[i].nId = i;
            inputs[i].strName = QString("%1-IN%2").arg(strSerial).arg(i + 1);
            inputs[i].strType = "HDMI-2K";
            info.vectorInput.append(&inputs[i]);
        }
    }
};

using TestUtil::lookAtNextModal;

class TestEditorFrames : public QObject
{
    Q_OBJECT

    static QPushButton *button(QWidget &w, const char *psz) { return w.findChild<QPushButton *>(psz); }

private slots:
    void init()
    {
        g_strSerialDevType = "Tarn";
        g_nConnectionType = 0;
        g_strLanguage = "Chinaese";
    }
    void cleanup()
    {
        BesMessageBox::clearTestAnswer();
        BesMessageBox::clearTestRecords();
    }

    // ---------------------------------------------------------------- forms

    void formsHaveTheirWidgetTrees()
    {
        CEditSceneMain tarn;
        Zinferface z;
        const QStringList title = {"widgetTitle", "labelLogo",  "btnFile",      "btnSet",  "btnHelp",
                                   "labelTitle",  "btnLock",    "btnMin",       "btnNormalMax", "btnClose",
                                   "mainWidget",  "statusbar",  "lineTop",      "lineBottom"};
        for (const QString &name : title) {
            QVERIFY2(tarn.findChild<QWidget *>(name), qPrintable("Tarn " + name));
            QVERIFY2(z.findChild<QWidget *>(name), qPrintable("Z " + name));
        }
        for (const char *psz : {"line", "ToolbarWidget", "OutputSettingButton", "OSDSettingButton", "AudioSettingsButton"}) {
            QVERIFY2(tarn.findChild<QWidget *>(psz), psz);
            QVERIFY2(!z.findChild<QWidget *>(psz), psz);
        }
        QVERIFY(qobject_cast<CTitleWidget *>(tarn.findChild<QWidget *>("widgetTitle")));
        QVERIFY(qobject_cast<QToolButton *>(tarn.findChild<QWidget *>("OutputSettingButton")));
        QCOMPARE(tarn.findChildren<QAction *>("helpAbout").size(), 1);
        QCOMPARE(tarn.findChild<QWidget *>("widgetTitle")->height(), 40);
        QCOMPARE(tarn.objectName(), QString("EditSceneMain"));
        QCOMPARE(z.objectName(), QString("Zinferface"));
        QCOMPARE(z.size(), QSize(846, 600));
        // the work area took the placeholder's place; the panels sit in it
        QVERIFY(tarn.findChild<QWidget *>("mainWidget")->isHidden());
        QVERIFY(tarn.fileListWidget() && z.fileListWidget() && z.middleControl());
        for (const char *psz : {"programListPlace", "canvasPlace", "propertyPlace"})
            QVERIFY2(tarn.panelPlace(psz), psz);
        QVERIFY(z.panelPlace("programListPlace") && z.panelPlace("propertyPlace") && !z.panelPlace("canvasPlace"));
        // the menus exist but their buttons are hidden
        QVERIFY(tarn.fileMenu() && tarn.setMenu());
        QVERIFY(button(tarn, "btnFile")->isHidden() && button(tarn, "btnHelp")->isHidden());
        QVERIFY(button(z, "btnLock")->isHidden());
        QVERIFY(!button(tarn, "btnLock")->isHidden());
        QVERIFY(tarn.windowFlags() & Qt::FramelessWindowHint);
    }

    void retranslationResetsTheFormTexts()
    {
        CEditSceneMain tarn;
        button(tarn, "btnSet")->setText("x");
        auto *pAction = tarn.findChild<QAction *>("fileSave");
        pAction->setShortcut(QKeySequence("Ctrl+Q"));
        tarn.initLanguage(0);
        QCOMPARE(button(tarn, "btnSet")->text(), QString("设置"));
        QCOMPARE(pAction->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(pAction->text(), QString("保存工程 Ctrl+S"));
        QVERIFY(tarn.findChild<QLabel *>("labelTitle")->text().isEmpty());
        QCOMPARE(tarn.windowTitle(), QString("EditScene"));
    }

    void versionLabels()
    {
        CEditSceneMain tarn;
        QCOMPARE(tarn.versionLabel()->text(), QString("版本号：V1.0.Vistel-V1.1(20250108)  "));
        g_strLanguage = "English";
        Zinferface z;
        g_strLanguage = "Chinaese";
        QCOMPARE(z.versionLabel()->text(), QString("  Version number：V1.0.Vistel-V1.1(20240604)  "));
        z.show();
        QCOMPARE(z.versionLabel()->text(), QString("  Version number：V1.0.Vistel-V1.1(20240604)  "));
        z.hide();
    }

    // --------------------------------------------------- model-chosen buttons

    // The buttons and the audio sources follow the bound device's own model,
    // whatever device replied last (here a Z device).
    void settingsFollowTheBoundModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("output");
        QTest::addColumn<bool>("osd");
        QTest::addColumn<int>("audioSources");
        QTest::newRow("Tarn-3") << "Tarn-3" << true << true << 5;
        QTest::newRow("Tarn-4") << "Tarn-4" << true << false << 6;
        QTest::newRow("longer text with Tarn-6") << "X-Tarn-6-B" << true << false << 8;
        QTest::newRow("start value") << "Tarn" << false << false << 0;
    }

    void settingsFollowTheBoundModel()
    {
        QFETCH(QString, model);
        QFETCH(bool, output);
        QFETCH(bool, osd);
        QFETCH(int, audioSources);
        g_strSerialDevType = "Z7";
        CTestDevice dev("T1", 2);
        dev.info.strDevName = model;
        CEditSceneMain tarn;
        QList<CTarnSceneRecord *> none;
        tarn.initSceneData(&dev.info, none);
        tarn.show();
        QCOMPARE(tarn.findChild<QWidget *>("OutputSettingButton")->isVisible(), output);
        QCOMPARE(tarn.findChild<QWidget *>("OSDSettingButton")->isVisible(), osd);
        QVERIFY(tarn.findChild<QWidget *>("AudioSettingsButton")->isVisible());
        int nOffered = -1;
        lookAtNextModal([&](QWidget *pDialog) { nOffered = pDialog->findChild<QComboBox *>("AudioComboBox")->count(); });
        button(tarn, "AudioSettingsButton")->click();
        QCOMPARE(nOffered, audioSources);

        // Another device bound to the open frame brings its own buttons.
        CTestDevice other("T2", 1);
        other.info.strDevName = "Tarn-6";
        tarn.initSceneData(&other.info, none);
        QVERIFY(tarn.findChild<QWidget *>("OutputSettingButton")->isVisible());
        QVERIFY(!tarn.findChild<QWidget *>("OSDSettingButton")->isVisible());
        tarn.hide();
    }

    void audioSourcesByModel()
    {
        QCOMPARE(CEditSceneMain::audioSourceNames("Tarn-1 Tarn-6"), QStringList({"关闭", "AudioIn", "窗口1"}));
        QCOMPARE(CEditSceneMain::audioSourceNames("Tarn-4").size(), 6);
        QCOMPARE(CEditSceneMain::audioSourceNames("Tarn-6").last(), QString("窗口6"));
        QVERIFY(CEditSceneMain::audioSourceNames("Tarn").isEmpty());
    }

    void outputButtonReadsTheBoundDevicesOutputs()
    {
        CFrameTopics topics;
        CTestDevice dev("T1", 2);
        CEditSceneMain tarn;
        QList<CTarnSceneRecord *> none;
        tarn.initSceneData(&dev.info, none);
        // the dialog it runs is closed at once
        QTimer::singleShot(0, [] {
            if (QWidget *pModal = QApplication::activeModalWidget())
                pModal->close();
        });
        QTest::mouseClick(tarn.findChild<QToolButton *>("OutputSettingButton"), Qt::LeftButton);
        QCOMPARE(topics.commands, QStringList{"T1 输出口设置 1/1"});
        QCOMPARE(tarn.findChildren<QDialog *>().size(), 0);
    }

    // ---------------------------------------------------------- close paths

    // Closing the Tarn frame ends the program's event loop. The close runs
    // inside that loop, which leaves nothing behind for later event loops.
    static bool closeEndsTheLoop(const std::function<void()> &fnClose)
    {
        QTimer guard;
        guard.callOnTimeout([] { QCoreApplication::exit(1); });
        guard.start(5000);
        QTimer::singleShot(0, fnClose);
        return QCoreApplication::exec() == 0;
    }

    void tarnCloseButtonAndWindowCloseTakeOnePath()
    {
        CFrameTopics topics;
        CEditSceneMain tarn;
        tarn.show();
        QVERIFY(closeEndsTheLoop([&] { QTest::mouseClick(button(tarn, "btnClose"), Qt::LeftButton); }));
        QVERIFY(tarn.isHidden());
        tarn.show();
        bool bClosed = true;
        QVERIFY(closeEndsTheLoop([&] { bClosed = tarn.close(); }));
        QVERIFY(!bClosed); // refused as a close, handled as the frame's own
        QVERIFY(tarn.isHidden());
        QCOMPARE(topics.seen, QStringList({"Slot_DisconnectSerialPort", "Slot_DisconnectSerialPort"}));
    }

    void zCloseHidesOnNetworkAndClosesAllOnSerial()
    {
        CFrameTopics topics;
        Zinferface z;
        QWidget other;
        other.show();
        z.show();
        QTest::mouseClick(button(z, "btnClose"), Qt::LeftButton);
        QVERIFY(z.isHidden());
        QTest::qWait(20);
        QVERIFY(other.isVisible());

        g_nConnectionType = 1;
        z.show();
        z.close();
        QVERIFY(z.isHidden());
        QTRY_VERIFY(!other.isVisible());
        QCOMPARE(topics.seen.count("Slot_DisconnectSerialPort"), 2);
    }

    void maximiseToggle()
    {
        CFrameTopics topics;
        CEditSceneMain tarn;
        tarn.show();
        QTest::mouseClick(button(tarn, "btnNormalMax"), Qt::LeftButton);
        QTRY_VERIFY(tarn.isMaximized());
        QVERIFY(button(tarn, "btnNormalMax")->styleSheet().contains("max_normal.png"));
        QTest::mouseClick(button(tarn, "btnNormalMax"), Qt::LeftButton);
        QTRY_VERIFY(!tarn.isMaximized());
        QCOMPARE(topics.seen, QStringList({"slot_showToolBar", "slot_showToolBar", "slot_toolBarCenter"}));
        QTest::mouseDClick(tarn.findChild<QWidget *>("widgetTitle"), Qt::LeftButton);
        QTRY_VERIFY(tarn.isMaximized());
        QCOMPARE(topics.seen.size(), 3); // the title's double click leaves the tool strip alone
        tarn.hide();
    }

    // The frameless frames move by their title row.
    void titleRowMovesTheFrame()
    {
        Zinferface z;
        z.show();
        QVERIFY(QTest::qWaitForWindowExposed(&z));
        QWidget *pTitle = z.findChild<QWidget *>("widgetTitle");
        const QPoint before = z.pos();
        const QPoint at(300, 20);
        QTest::mousePress(pTitle, Qt::LeftButton, Qt::NoModifier, at);
        const QPoint to = at + QPoint(40, 25);
        QMouseEvent move(QEvent::MouseMove, to, pTitle->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(pTitle, &move);
        QTest::mouseRelease(pTitle, Qt::LeftButton, Qt::NoModifier, to);
        QCOMPARE(z.pos(), before + QPoint(40, 25));
        z.hide();
    }

    // ------------------------------------------------------------- the lock

    void lockOverlayLocksAndOnlyItsButtonUnlocks()
    {
        CFrameTopics topics;
        CEditSceneMain tarn;
        tarn.slot_unLock(); // no overlay yet: nothing
        QVERIFY(!tarn.lockWidget());
        tarn.show();
        QTest::mouseClick(button(tarn, "btnLock"), Qt::LeftButton);
        CLockWidget *pLock = tarn.lockWidget();
        QVERIFY(pLock && pLock->isVisible() && tarn.isLocked());
        QCOMPARE(pLock->geometry(), tarn.geometry());
        QVERIFY(pLock->isWindow());
        QCOMPARE(pLock->parentWidget(), &tarn);

        QVERIFY(!pLock->close()); // the window system cannot close it
        static int s_nLines = 0;
        const QtMessageHandler prev = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &s) {
            s_nLines += s.contains("alt + F4") ? 1 : 0;
        });
        QTest::keyClick(pLock, Qt::Key_F4, Qt::AltModifier);
        QTest::keyClick(pLock, Qt::Key_F4, Qt::AltModifier | Qt::ControlModifier); // no second line
        qInstallMessageHandler(prev);
        QCOMPARE(s_nLines, 1);
        QVERIFY(pLock->isVisible());

        QTest::mouseClick(pLock->findChild<QPushButton *>("pushButtonLock"), Qt::LeftButton);
        QVERIFY(!pLock->isVisible() && !tarn.isLocked());
        QCOMPARE(topics.locks, QList<bool>({true, false}));

        QTest::mouseClick(button(tarn, "btnLock"), Qt::LeftButton);
        QCOMPARE(tarn.lockWidget(), pLock); // one overlay, reused
        tarn.hide();
    }

    void overlayButtonWithoutAFrameLeavesItShown()
    {
        QWidget owner;
        CLockWidget lock(QRect(10, 10, 300, 200), &owner);
        lock.show();
        QTest::mouseClick(lock.findChild<QPushButton *>("pushButtonLock"), Qt::LeftButton);
        QVERIFY(lock.isVisible());
        QCOMPARE(lock.findChild<QPushButton *>("pushButtonLock")->size(), QSize(250, 250));
        QCOMPARE(lock.windowOpacity(), 0.8);
    }

    // ---------------------------------------------------------- the sampler

    // Each frame's sampler thread runs while the frame lives and is stopped and
    // waited for when it goes.
    void samplerThreadEndsWithItsFrame()
    {
        for (int nFamily = 0; nFamily < 2; ++nFamily) {
            QPointer<QThread> pThread;
            QElapsedTimer timer;
            {
                QScopedPointer<QMainWindow> pFrame;
                if (nFamily == 0) {
                    auto *p = new CEditSceneMain;
                    pThread = p->samplerThread();
                    pFrame.reset(p);
                } else {
                    auto *p = new Zinferface;
                    pThread = p->samplerThread();
                    pFrame.reset(p);
                }
                QVERIFY(pThread && pThread->isRunning());
                QTest::qWait(50);
                timer.start();
            }
            QVERIFY(pThread.isNull());
            QVERIFY(timer.elapsed() < 2000);
        }
    }

    // --------------------------------------------------------- the canvas

    // At the frame's default size the canvas column is open: the view is at
    // least 640 x 400 and shows the whole screen canvas of a scene.
    void canvasShowsTheWholeScreenCanvasAtTheDefaultSize()
    {
        CEditSceneMain tarn;
        tarn.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tarn));
        CEditBaseView *pView = tarn.canvas()->view();
        QVERIFY(pView->width() >= 640 && pView->height() >= 400);
        tarn.canvas()->createScene("S1");
        const QRect rtCanvas = pView->mapFromScene(tarn.canvas()->currentScene()->getBackCanvasRect()).boundingRect();
        QVERIFY(!rtCanvas.isEmpty() && pView->viewport()->rect().contains(rtCanvas));
        tarn.hide();
    }

    // Under the program's style sheet. At the default size the scene list shows a device's two
    // scenes and the add card without scrolling, the canvas tools have the room their icons
    // need, and the OSD settings dialog opens over the canvas. A larger frame (maximised) draws the screen canvas larger and gives the source panel
    // and the scene list their shares of the room.
    void workAreaGivesItsRoomAtDefaultAndLargerSizes()
    {
        TestUtil::CProgramStyle style;
        CEditSceneMain tarn;
        tarn.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tarn));
        tarn.canvas()->createScene("S1");
        CProgramListWidget *pStrip = tarn.programListWidget();
        pStrip->addUsedCardItem(1, "StageLeft", "T1", 1, 8);
        pStrip->addUsedCardItem(2, "S2", "T1", 1, 8);
        pStrip->slot_updateProgramLayout();
        QCOMPARE(pStrip->cards().size(), 3);
        QWidget *pViewport = pStrip->findChild<QScrollArea *>("scrollArea")->viewport();
        auto allCardsShown = [&]() {
            for (CCardProgramWidget *pCard : pStrip->cards()) {
                const QRect rt(pCard->mapTo(pViewport, QPoint(0, 0)), pCard->size());
                if (!pViewport->rect().contains(rt))
                    return false;
            }
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(allCardsShown(), 5000);
        for (QLabel *pLabel : pStrip->cards().first()->findChildren<QLabel *>()) {
            if (!pLabel->text().isEmpty())
                QVERIFY2(pLabel->fontMetrics().horizontalAdvance(pLabel->text()) <= pLabel->contentsRect().width(),
                         qPrintable(pLabel->text()));
        }
        const QList<QToolButton *> listTools = tarn.canvas()->findChild<QWidget *>("canvasToolColumn")->findChildren<QToolButton *>();
        QCOMPARE(listTools.size(), 4);
        for (QToolButton *pTool : listTools)
            QVERIFY(pTool->sizeHint().width() <= pTool->width() && pTool->iconSize().width() >= 16);
        // the OSD settings dialog leaves the property panel free, and opens on the edited device's
        // OSD index
        QWidget *pProperty = tarn.panelPlace("propertyPlace");
        QRect rtDialog;
        int nTab = -1;
        g_OSDindex = 4;
        lookAtNextModal([&](QWidget *pDialog) {
            rtDialog = pDialog->frameGeometry();
            nTab = pDialog->findChild<QTabWidget *>("tabWidget")->currentIndex();
        });
        QVERIFY(QMetaObject::invokeMethod(&tarn, "on_OSDSettingButton_clicked"));
        g_OSDindex = 0;
        QCOMPARE(nTab, 4);
        QVERIFY(!rtDialog.isEmpty() && rtDialog.left() >= tarn.frameGeometry().left());
        QVERIFY(!rtDialog.intersects(QRect(pProperty->mapToGlobal(QPoint(0, 0)), pProperty->size())));

        CEditBaseView *pView = tarn.canvas()->view();
        const QRectF rtBack = tarn.canvas()->currentScene()->getBackCanvasRect();
        const int nDrawn = pView->mapFromScene(rtBack).boundingRect().width();
        const int nSources = tarn.findChild<CFileListWidget *>()->height();
        const QSize szStrip = pStrip->size();
        tarn.resize(tarn.width() * 3 / 2, tarn.height() * 3 / 2);
        QTRY_VERIFY_WITH_TIMEOUT(pView->mapFromScene(rtBack).boundingRect().width() > nDrawn * 5 / 4, 5000);
        QVERIFY(pView->viewport()->rect().contains(pView->mapFromScene(rtBack).boundingRect()));
        QTRY_VERIFY_WITH_TIMEOUT(pStrip->width() > szStrip.width() && pStrip->height() > szStrip.height(), 5000);
        QVERIFY(tarn.findChild<CFileListWidget *>()->height() > nSources);
        tarn.hide();
    }

    // ------------------------------------------------------------ Set menu

    void setMenuTogglesAndShowsThePlayWindow()
    {
        CEditSceneMain tarn;
        const QList<QAction *> listItems = tarn.setMenu()->actions();
        QStringList listTexts;
        for (int i = 0; i < 4; ++i) {
            listItems.at(i / 2)->trigger();
            listTexts << listItems.at(i / 2)->text();
        }
        QCOMPARE(listTexts, QStringList({"显示播放窗Ctrl+F3", "隐藏播放窗Ctrl+F4", "后台播放Ctrl+F5", "前台播放Ctrl+F6"}));

        // The screen dialog opens on the play window as it was last set.
        QRect rtPlay(0, 0, 1280, 720);
        tarn.canvas()->slot_resizePlayWnd(rtPlay);
        QStringList listShown;
        lookAtNextModal([&](QWidget *pDialog) {
            for (const char *psz : {"editX", "editY", "editW", "editH"})
                listShown << pDialog->findChild<QLineEdit *>(psz)->text();
        });
        listItems.at(2)->trigger();
        QCOMPARE(listShown, QStringList({"0", "0", "1280", "720"}));
    }

    // ------------------------------------------------------- device binding

    void tarnFollowsOnlyItsBoundDevice()
    {
        CTestDevice a("A", 3);
        CTestDevice b("B", 2);
        CEditSceneMain tarn;
        QList<CTarnSceneRecord *> none;
        globalObserver *pHub = globalObserver::getGlobalObserver();
        DeviceInfo *pB = &b.info;
        pHub->notify("slot_updateInputSource", Q_ARG(DeviceInfo *, pB), Q_ARG(QString, QString("B")));
        QVERIFY(!tarn.fileListWidget()->deviceInfo()); // nothing bound yet
        tarn.initSceneData(&a.info, none);
        tarn.show();
        pHub->notify("slot_updateInputSource", Q_ARG(DeviceInfo *, pB), Q_ARG(QString, QString("B")));
        QCOMPARE(tarn.fileListWidget()->deviceInfo(), &a.info);
        QCOMPARE(tarn.fileListWidget()->serial(), QString("A"));
        tarn.hide();
    }

    void zFollowsOnlyItsBoundDevice()
    {
        CTestDevice a("ZA", 3);
        CTestDevice b("ZB", 2);
        Zinferface z;
        QList<ZSceneInfo *> none;
        z.initSceneData(&a.info, none);
        z.show();
        globalObserver *pHub = globalObserver::getGlobalObserver();
        DeviceInfo *pB = &b.info;
        pHub->notify("slot_updateZEquipmentInputSource", Q_ARG(DeviceInfo *, pB), Q_ARG(QString, QString("ZB")));
        QCOMPARE(z.fileListWidget()->deviceInfo(), &a.info);
        QCOMPARE(z.fileListWidget()->serial(), QString("ZA"));
        DeviceInfo *pA = &a.info;
        a.inputs[0].strName = "renamed";
        pHub->notify("slot_updateZEquipmentInputSource", Q_ARG(DeviceInfo *, pA), Q_ARG(QString, QString("ZA")));
        QCOMPARE(z.fileListWidget()->deviceInfo(), &a.info);
        z.updateZSceneData("ZB", none); // another serial: nothing
        QCOMPARE(z.currentDevice(), &a.info);
        // ZA showing its scene 2, then ZB, which holds no scene: the strip stands for ZB, no scene live.
        ZSceneInfo s1, s2;
        s1.nSceneIndex = 1;
        s2.nSceneIndex = 2;
        a.info.nTakeScene = 2;
        z.initSceneData(&a.info, {&s1, &s2});
        QCOMPARE(z.programListWidget()->takeScene(), 2);
        z.initSceneData(&b.info, none);
        QCOMPARE(z.programListWidget()->serial(), QString("ZB"));
        QCOMPARE(z.programListWidget()->takeScene(), 0);
        z.hide();
    }

    // ------------------------------------------------------ scene documents

    void saveReportsSuccessOnlyForAWholeFile()
    {
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        QTemporaryDir dir;
        CEditSceneMain tarn;
        const QString strGood = dir.filePath("a.smt");
        QVERIFY(tarn.saveProject(strGood));
        QVERIFY(QFile::exists(strGood));
        QCOMPARE(BesMessageBox::testRecords().last().text, QString("节目文件保存成功"));

        // a folder in the way: nothing is written and no success is claimed
        QDir(dir.path()).mkdir("taken.smt");
        QVERIFY(!tarn.saveProject(dir.filePath("taken.smt")));
        QVERIFY(BesMessageBox::testRecords().last().text.startsWith("节目文件保存失败"));
        QVERIFY(!tarn.saveProject(dir.filePath("missing/b.smt")));
        QVERIFY(!QFile::exists(dir.filePath("missing/b.smt")));
    }

    void loadRefusesTextThatIsNotJson()
    {
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        QTemporaryDir dir;
        QFile f(dir.filePath("bad.smt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{ not json");
        f.close();
        CEditSceneMain tarn;
        QVERIFY(!tarn.loadProject(f.fileName()));
        QCOMPARE(BesMessageBox::testRecords().last().text, QString("文件Json解析失败"));
        QVERIFY(!tarn.loadProject(dir.filePath("absent.smt")));
        QVERIFY(BesMessageBox::testRecords().last().text.startsWith(QString("工程文件不存在"))); // says why
    }
};

VISTEL_TEST_MAIN(TestEditorFrames)
#include "tst_editorframes.moc"
