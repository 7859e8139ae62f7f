// The scene cards against simulated devices, through the device list window and both editor
// frames: each card command's frames as the device receives them, and the device's scene list
// as the frame shows it after the replies. Both frames are open on two devices at once.
#include "TestMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <memory>
#include <tuple>

#include "BesMessageBox.h"
#include "CardProgramWidget.h"
#include "DeviceControl.h"
#include "DeviceSimulator.h"
#include "EditBaseScene.h"
#include "EditSceneCanvas.h"
#include "EditSceneMain.h"
#include "ProgramListWidget.h"
#include "ProgramSpy.h"
#include "QorGlobal.h"
#include "RollLabel.h"
#include "SceneSaveAsDlg.h"
#include "SimTestUtil.h"
#include "SwitchButton.h"
#include "TcpDeviceThread.h"
#include "FileListWidget.h"
#include "OtherWidget.h"
#include "PropertyStack.h"
#include "globalObserver.h"
#include "mainwindow.h"
#include "zinferface.h"
#include "zmiddlecontrol.h"

namespace {
QStringList usedNames(const CProgramListWidget *pStrip)
{
    QStringList names;
    for (CCardProgramWidget *c : pStrip->cards())
        if (c->checkCardIsUse())
            names << c->getCardName();
    return names;
}

QList<int> usedIds(const CProgramListWidget *pStrip) { return ProgramTest::usedIds(*pStrip); }
CCardProgramWidget *card(const CProgramListWidget *pStrip, int nId) { return ProgramTest::card(*pStrip, nId); }
CCardProgramWidget *addCard(const CProgramListWidget *pStrip) { return ProgramTest::addCard(*pStrip); }
bool choose(CCardProgramWidget *pCard, const char *pszEntry)
{
    return ProgramTest::chooseEntry(pCard, QString::fromUtf8(pszEntry));
}

// The scene-operation requests (command 35) a device received, as "rw sub payload".
QStringList sceneOps(const CDeviceSimulator &sim)
{
    QStringList list;
    for (const CSimRequest &r : sim.requests(35))
        list << QString("%1 %2 %3").arg(r.nReadOrWrite).arg(r.nSub).arg(QString::fromLatin1(r.payload.toHex(' ')));
    return list;
}

QStringList simNames(CDeviceSimulator &sim)
{
    QStringList names;
    for (const CSimScene &s : sim.model().scenes)
        names << s.strName;
    return names;
}

// The strip as the operator reads it: "number name" per used card, then the card marked live.
QStringList shown(const CProgramListWidget *pStrip)
{
    QStringList list;
    int nLive = 0;
    for (CCardProgramWidget *c : pStrip->cards()) {
        if (!c->checkCardIsUse())
            continue;
        list << QString("%1 %2").arg(c->indexText(), c->nameLabel()->text());
        if (c->takeText() == QString::fromUtf8("已调用"))
            nLive = c->getCardId();
    }
    return list << QString("live %1").arg(nLive);
}

// The same for what the device holds.
QStringList held(CDeviceSimulator &sim)
{
    QStringList list;
    for (int i = 0; i < sim.model().scenes.size(); ++i)
        list << QString("%1 %2").arg(i + 1).arg(sim.model().scenes.at(i).strName);
    return list << QString("live %1").arg(sim.model().nTakeScene);
}
}

class TestProgramsE2E : public QObject
{
    Q_OBJECT

    std::unique_ptr<CDeviceSimulator> m_pSimT;
    std::unique_ptr<CDeviceSimulator> m_pSimZ;
    MainWindow *m_pWindow = nullptr;

    bool startTwoDevices()
    {
        bool bListening = false;
        for (int i = 0; i < 20 && !bListening; ++i) {
            m_pSimT.reset(new CDeviceSimulator(CSimDeviceModel::Tarn, 2, 2));
            m_pSimZ.reset(new CDeviceSimulator(CSimDeviceModel::Z, 2, 2));
            m_pSimT->setSerial("TSN");
            m_pSimZ->setSerial("ZSN");
            bListening = m_pSimT->listen(QHostAddress("127.0.0.6"), 0)
                         && m_pSimZ->listen(QHostAddress("127.0.0.7"), m_pSimT->port());
        }
        if (!bListening)
            return false;
        MainWindow::setDevicePort(m_pSimT->port());
        m_pWindow = new MainWindow;
        m_pWindow->slot_newDevice({"127.0.0.6", QString(), "Tarn-3", "TSN"});
        m_pWindow->slot_newDevice({"127.0.0.7", QString(), "Z7", "ZSN"});
        QTest::mouseClick(m_pWindow->checkR4Exist("TSN")->switchButton(), Qt::LeftButton);
        QTest::mouseClick(m_pWindow->checkR4Exist("ZSN")->switchButton(), Qt::LeftButton);
        if (!QTest::qWaitFor(
                [this]() {
                    return m_pWindow->getCurrentDevice("TSN")->getDeviceInfo()->vectorInput.size() == 2
                           && m_pWindow->getCurrentDevice("ZSN")->getDeviceInfo()->vectorInput.size() == 2;
                },
                5000))
            return false;
        for (const char *pszSerial : {"TSN", "ZSN"})
            m_pWindow->checkR4Exist(pszSerial)->findChild<QPushButton *>("btnEdit")->click();
        return QTest::qWaitFor([this]() { return usedIds(tarn()).size() == 2 && usedIds(zstrip()).size() == 2; },
                               5000);
    }

    CProgramListWidget *tarn() const { return m_pWindow->editSceneMain()->programListWidget(); }
    CProgramListWidget *zstrip() const { return m_pWindow->zInterface()->programListWidget(); }

    // The strip's refresh button, then the device quiet again: the strip shows what it holds.
    void refreshAndCompare(CProgramListWidget *pStrip, CDeviceSimulator &sim, const char *pszSerial)
    {
        pStrip->findChild<QPushButton *>("btnReflash")->click();
        QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(33, 0), 3000);
        SimTest::settle(*m_pWindow->getCurrentDevice(pszSerial), sim);
        QTRY_COMPARE_WITH_TIMEOUT(shown(pStrip), held(sim), 3000);
    }

private slots:
    void initTestCase()
    {
        MainWindow::setDiscoveryPort(0, QHostAddress::LocalHost);
        MainWindow::setSerialPortLister([]() { return QStringList(); });
    }

    void init()
    {
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        QVERIFY(startTwoDevices());
        SimTest::settle(*m_pWindow->getCurrentDevice("TSN"), *m_pSimT);
        SimTest::settle(*m_pWindow->getCurrentDevice("ZSN"), *m_pSimZ);
        m_pSimT->clearRequests();
        m_pSimZ->clearRequests();
    }

    void cleanup()
    {
        BesMessageBox::clearTestAnswer();
        delete m_pWindow;
        m_pWindow = nullptr;
        m_pSimT.reset();
        m_pSimZ.reset();
        CTcpDeviceThread::setEditedDeviceSerial(QString());
        QFile::remove("Morvane.ini");
    }

    void stripsShowEachDevicesScenes()
    {
        QCOMPARE(usedIds(tarn()), QList<int>({1, 2}));
        QCOMPARE(usedIds(zstrip()), QList<int>({1, 2}));
        QCOMPARE(addCard(tarn())->getCardId(), 3);
        QCOMPARE(card(tarn(), 1)->getSerial(), QString("TSN"));
        QCOMPARE(card(zstrip(), 1)->getSerial(), QString("ZSN"));
        QCOMPARE(usedNames(tarn()), simNames(*m_pSimT));
        QCOMPARE(usedNames(zstrip()), simNames(*m_pSimZ));
        QCOMPARE(card(tarn(), 1)->takeText(), QString::fromUtf8("已调用"));
    }

    void tarnRecallSaveAndUpdate()
    {
        QVERIFY(choose(card(tarn(), 2), "调用场景"));
        QVERIFY(choose(card(tarn(), 1), "保存场景"));
        QVERIFY(choose(card(tarn(), 1), "更新场景"));
        // The update's answer is followed by the worker's own layer read.
        QTRY_COMPARE_WITH_TIMEOUT(sceneOps(*m_pSimT).mid(0, 3), QStringList({"2 20 02", "2 10 01 01", "1 0 01"}), 5000);
        QCOMPARE(m_pSimT->model().nTakeScene, 2);
        QCOMPARE(tarn()->takeScene(), 2);
        QCOMPARE(zstrip()->takeScene(), 1);
        QVERIFY(sceneOps(*m_pSimZ).isEmpty());
    }

    void tarnAddSaveToRenameDelete()
    {
        CProgramSpy canvas; // answers "slot_isTakeScene" as the canvas would
        // Add: the taken scene 1 is stored as scene 3, which is read back.
        QTest::mouseClick(addCard(tarn())->addButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_pSimT->model().scenes.size(), 3, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(usedIds(tarn()), QList<int>({1, 2, 3}), 5000);
        QCOMPARE(addCard(tarn())->getCardId(), 4);
        QTRY_COMPARE_WITH_TIMEOUT(sceneOps(*m_pSimT).mid(0, 2), QStringList({"2 10 01 03", "1 0 03"}), 5000);

        // Save to: card 2 into the next free number 4; the counts are read again.
        m_pSimT->clearRequests();
        QTimer::singleShot(0, []() {
            auto *pDlg = qobject_cast<CSceneSaveAsDlg *>(QApplication::activeModalWidget());
            if (pDlg)
                pDlg->findChild<QPushButton *>("pushButtonYOK")->click();
        });
        QVERIFY(choose(card(tarn(), 2), "保存到场景"));
        QTRY_COMPARE_WITH_TIMEOUT(m_pSimT->model().scenes.size(), 4, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(sceneOps(*m_pSimT).contains("2 10 02 04"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(m_pSimT->hasRequest(33, 0), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(usedIds(tarn()), QList<int>({1, 2, 3, 4}), 5000);

        // Rename of the shown scene: the name reaches the device, filling its 12-byte field.
        canvas.nTaken = 1;
        CCardProgramWidget *pCard = card(tarn(), 1);
        QVERIFY(choose(pCard, "重命名场景"));
        pCard->nameEditor()->setText(QString::fromUtf8("大厅舞台灯光"));
        QTest::keyClick(pCard->nameEditor(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(m_pSimT->model().scenes[0].strName, QString::fromUtf8("大厅舞台灯光"), 5000);

        // Delete scene 3: the device renumbers, the strip follows.
        m_pSimT->clearRequests();
        QVERIFY(choose(card(tarn(), 3), "删除场景"));
        QTRY_COMPARE_WITH_TIMEOUT(m_pSimT->model().scenes.size(), 3, 5000);
        QVERIFY(sceneOps(*m_pSimT).contains("2 30 03"));
        QTRY_COMPARE_WITH_TIMEOUT(usedIds(tarn()).size(), 3, 5000);
        QVERIFY(!m_pSimZ->hasRequest(35));
        QCOMPARE(usedIds(zstrip()), QList<int>({1, 2}));
    }

    void zRecallUpdateAddDelete()
    {
        // Recall scene 2, then update it: the taken card reads the live layer.
        QTest::mouseDClick(card(zstrip(), 2), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_pSimZ->model().nTakeScene, 2, 5000);
        QCOMPARE(zstrip()->takeScene(), 2);
        QCOMPARE(tarn()->takeScene(), 1);
        m_pSimZ->clearRequests();
        QVERIFY(choose(card(zstrip(), 2), "更新场景"));
        QTRY_VERIFY_WITH_TIMEOUT(m_pSimZ->hasRequest(34, 0), 5000);
        QCOMPARE(m_pSimZ->requests(34, 0).first().payload, QByteArray(1, '\0'));

        // Add: stored from the live picture as scene 3, read back into the strip.
        m_pSimZ->clearRequests();
        QTest::mouseClick(addCard(zstrip())->addButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_pSimZ->model().scenes.size(), 3, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(sceneOps(*m_pSimZ).mid(0, 2), QStringList({"2 10 00 03", "1 0 03"}), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(usedIds(zstrip()), QList<int>({1, 2, 3}), 5000);
        QCOMPARE(usedIds(tarn()), QList<int>({1, 2}));

        // Delete scene 1: the device renumbers, the counts and scenes are read again.
        m_pSimZ->clearRequests();
        QVERIFY(choose(card(zstrip(), 1), "删除场景"));
        QTRY_COMPARE_WITH_TIMEOUT(m_pSimZ->model().scenes.size(), 2, 5000);
        QVERIFY(sceneOps(*m_pSimZ).contains("2 30 01"));
        QTRY_COMPARE_WITH_TIMEOUT(usedIds(zstrip()), QList<int>({1, 2}), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(usedNames(zstrip()), simNames(*m_pSimZ), 5000);
        QVERIFY(!m_pSimT->hasRequest(35));

        // Switched off, a recall goes nowhere: the source strip shows the live source again.
        QTest::mouseClick(m_pWindow->checkR4Exist("ZSN")->switchButton(), Qt::LeftButton);
        QTRY_VERIFY(!m_pWindow->getCurrentDevice("ZSN")->isConnected());
        QTest::mouseDClick(card(zstrip(), 1), Qt::LeftButton);
        const QString strLive = QString::fromUtf8("[当前信号源:%1]").arg(m_pSimZ->model().inputs.at(m_pSimZ->model().nMainSig).strName);
        QTRY_COMPARE(m_pWindow->zInterface()->middleControl()->lines().first(), strLive);
        QCOMPARE(zstrip()->takeScene(), m_pSimZ->model().nTakeScene);
        // so does a press of another source: the records keep the live one
        m_pWindow->zInterface()->findChild<CFileListWidget *>()->slot_startDrag(":/res/res/image/hdmi.png", "x", 2, "ZSN");
        QTRY_COMPARE(m_pWindow->zInterface()->middleControl()->lines().first(), strLive);
        QCOMPARE(m_pWindow->getCurrentDevice("ZSN")->getSystemInfo()->nMainSignumber, m_pSimZ->model().nMainSig);
    }

    // A Z scene read goes out, and at once (no answer handled in between) the operator recalls
    // scene 2 on the strip. The device answers in turn, on one link: the read's answer refreshes
    // the strips from the records, still on scene 1, then the recall's acknowledgement moves the
    // records to scene 2. The strip marks the scene the device runs, and the source strip shows
    // its main source.
    void zRecallBehindASceneRead()
    {
        CTcpDeviceThread &worker = *m_pWindow->getCurrentDevice("ZSN");
        CSimDeviceModel &m = m_pSimZ->model();
        m.scenes[1].nMainSig = 1; // the read takes it into the records
        QCOMPARE(shown(zstrip()).last(), QString("live 1"));
        worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, 2), 1, 0);
        QTest::mouseDClick(card(zstrip(), 2), Qt::LeftButton);
        QCOMPARE(shown(zstrip()).last(), QString("live 2")); // the click marks it
        SimTest::settle(worker, *m_pSimZ);
        QCOMPARE(sceneOps(*m_pSimZ).mid(0, 2), QStringList({"1 0 02", "2 20 02"}));
        QCOMPARE(m.nTakeScene, 2);
        QCOMPARE(worker.getDeviceInfo()->nTakeScene, 2);
        QCOMPARE(shown(zstrip()), held(*m_pSimZ));
        QCOMPARE(zstrip()->takeScene(), 2);
        QCOMPARE(m_pWindow->zInterface()->middleControl()->lines().first(),
                 QString::fromUtf8("[当前信号源:%1]").arg(m.inputs.at(1).strName));
        QCOMPARE(shown(tarn()).last(), QString("live 1"));
    }

    // Scene 2 previewed on the Z strip shows its stored values on the settings page; when its card
    // goes (deleted), no scene is previewed: the page shows what the device runs.
    void previewGoneShowsTheLiveSettings()
    {
        CSimDeviceModel &m = m_pSimZ->model();
        std::tie(m.scenes[1].nBrightness, m.scenes[1].nSound, m.scenes[1].nScaleMode) = std::make_tuple(75, 30, 1);
        refreshAndCompare(zstrip(), *m_pSimZ, "ZSN");
        auto *pPage = qobject_cast<COtherWidget *>(m_pWindow->zInterface()->propertyStack()->tipsWidget());
        const auto page = [pPage]() {
            return QList<int>({pPage->findChild<QSlider *>("brightnessSlider")->value(),
                               pPage->findChild<QSlider *>("SoundSlider")->value(),
                               pPage->findChild<QComboBox *>("ScalecomboBox")->currentIndex()});
        };
        QTest::mouseClick(card(zstrip(), 2), Qt::LeftButton);
        QCOMPARE(page(), QList<int>({75, 30, 1}));
        QVERIFY(choose(card(zstrip(), 2), "删除场景"));
        QCOMPARE(page(), QList<int>({m.nBrightness, m.nSound, m.nScaleMode}));
    }

    // A read-back of the same scenes arrives while the delete notice is up: the card stays, scene 2,
    // which the operator chose, is deleted once, and scene 1 stays.
    void tarnDeleteDuringAReadBack()
    {
        QPointer<CCardProgramWidget> pCard = card(tarn(), 2);
        QTimer::singleShot(100, []() {
            QString strSerial = "TSN";
            globalObserver::getGlobalObserver()->notify("slot_updateCurrentDevice", Q_ARG(QString, strSerial));
        });
        QVERIFY(choose(pCard, "删除场景"));
        QVERIFY(pCard); // the read-back held the same scenes: the card stayed
        QTRY_COMPARE_WITH_TIMEOUT(simNames(*m_pSimT), QStringList({"S1"}), 5000);
        QCOMPARE(sceneOps(*m_pSimT).filter("2 30"), QStringList({"2 30 02"}));
        refreshAndCompare(tarn(), *m_pSimT, "TSN");
    }

    // A card's menu or question open while the scene ahead of it is deleted, and the delete ends
    // taken, refused or unanswered: the card stays and follows its scene's number, which it shows,
    // and the entry chosen or the question confirmed then acts on the scene the operator saw (the
    // rename's recall question on "3 S3", confirmed once the strip followed the delete's end).
    void choiceOpenAcrossADelete_data()
    {
        QTest::addColumn<int>("ending"); // the delete's answer: none missing, refused or none
        QTest::addColumn<bool>("bQuestion");
        QTest::addColumn<QList<int>>("between"); // the cards once the delete ended
        QTest::addColumn<QStringList>("after");
        QTest::newRow("menu, delete taken") << int(CDeviceSimulator::NoFault) << false << QList<int>{1, 2}
                                            << QStringList{"1 S2", "2 S3", "live 2"};
        QTest::newRow("menu, delete refused") << int(CDeviceSimulator::Nak) << false << QList<int>{1, 2, 3}
                                              << QStringList{"1 S1", "2 S2", "3 S3", "live 3"};
        QTest::newRow("question, delete unanswered") << int(CDeviceSimulator::NoAnswer) << true << QList<int>{1, 2, 3}
                                                     << QStringList{"1 S1", "2 S2", "3 Neu", "live 3"};
    }
    void choiceOpenAcrossADelete()
    {
        QFETCH(int, ending);
        QFETCH(bool, bQuestion);
        QFETCH(QList<int>, between);
        QFETCH(QStringList, after);
        CTcpDeviceThread &worker = *m_pWindow->getCurrentDevice("TSN");
        m_pSimT->model().scenes.append(m_pSimT->model().scenes.at(1));
        m_pSimT->model().scenes.last().strName = "S3";
        refreshAndCompare(tarn(), *m_pSimT, "TSN");
        QPointer<CCardProgramWidget> pCard = card(tarn(), 3);
        QScopedPointer<QMenu> pMenu(pCard->createMenu());
        if (ending != CDeviceSimulator::NoFault)
            m_pSimT->injectFault(CDeviceSimulator::Fault(ending), 35);
        if (ending == CDeviceSimulator::NoAnswer)
            worker.setHeartbeatInterval(300); // its reply ends the delete left unanswered
        QVERIFY(choose(card(tarn(), 1), "删除场景"));
        bool bFollowed = false;
        if (bQuestion) {
            BesMessageBox::setTestAnswerHook([&](const BesMessageRecord &r) {
                if (r.kind == "question")
                    bFollowed = QTest::qWaitFor([&]() { return usedIds(tarn()) == between; }, 8000);
                return int(QMessageBox::Ok);
            });
            QVERIFY(choose(pCard, "重命名场景"));
            QVERIFY(bFollowed);
            if (pCard && pCard->isEditingName()) {
                pCard->nameEditor()->setText("Neu");
                QTest::keyClick(pCard->nameEditor(), Qt::Key_Return);
            }
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(usedIds(tarn()), between, 8000);
            for (QAction *pEntry : pMenu->actions())
                if (pEntry->text() == QString::fromUtf8("调用场景"))
                    pEntry->trigger();
        }
        QTRY_COMPARE_WITH_TIMEOUT(held(*m_pSimT), after, 8000);
        SimTest::settle(worker, *m_pSimT);
        QTRY_COMPARE_WITH_TIMEOUT(shown(tarn()), after, 5000);
    }

    // The add-card clicked while the delete of scene 2 ("B") is pending: the new scene takes the
    // number after every scene the device may hold, 5, and follows the delete's end as a queued save
    // does (taken late, or its answer lost and its fate told by the count read after it: stored as
    // 4; refused late: as 5). It is a new scene on the device either way, and the strip shows what
    // the device holds; the refusal is the one notice. A Tarn save is made from the live scene:
    // with that one deleted it is not sent, and said.
    void addWhileADeleteIsPending_data()
    {
        QTest::addColumn<bool>("bZ");
        QTest::addColumn<int>("nDeleted");
        QTest::addColumn<int>("ending"); // the delete's fault
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("notices");
        const QStringList taken{"1 A", "2 C", "3 D", "4 S4", "live 1"}, refused{"1 A", "2 B", "3 C", "4 D", "5 S5", "live 1"};
        const QStringList none, notMade{QString::fromUtf8("修改未生效")};
        for (bool bZ : {false, true}) {
            const char *pszFamily = bZ ? "Z" : "Tarn";
            QTest::addRow("%s, delete taken late", pszFamily) << bZ << 2 << int(CDeviceSimulator::TakenLate) << taken << none;
            QTest::addRow("%s, delete refused late", pszFamily) << bZ << 2 << int(CDeviceSimulator::RefusedLate) << refused << notMade;
            QTest::addRow("%s, delete unanswered, its fate counted later", pszFamily)
                << bZ << 2 << int(CDeviceSimulator::TakenNoAnswer) << taken << none;
        }
        QTest::newRow("Tarn, the live scene's delete taken late")
            << false << 1 << int(CDeviceSimulator::TakenLate) << QStringList{"1 B", "2 C", "3 D", "live 0"} << notMade;
    }
    void addWhileADeleteIsPending()
    {
        QFETCH(bool, bZ);
        QFETCH(int, nDeleted);
        QFETCH(int, ending);
        QFETCH(QStringList, after);
        QFETCH(QStringList, notices);
        CProgramListWidget *pStrip = bZ ? zstrip() : tarn();
        CDeviceSimulator &sim = bZ ? *m_pSimZ : *m_pSimT;
        CTcpDeviceThread &worker = *m_pWindow->getCurrentDevice(bZ ? "ZSN" : "TSN");
        QList<CSimScene> &scenes = sim.model().scenes;
        scenes.append(scenes.at(1));
        scenes.append(scenes.at(1));
        for (int i = 0; i < scenes.size(); ++i)
            scenes[i].strName = QString(QChar('A' + i));
        refreshAndCompare(pStrip, sim, bZ ? "ZSN" : "TSN");
        sim.clearRequests();
        BesMessageBox::clearTestRecords();
        sim.injectFault(CDeviceSimulator::Fault(ending), 35);
        sim.setLateAnswerDelay(-1);        // a late answer is written once the new scene was made
        worker.setHeartbeatInterval(60000); // and neither a heartbeat's reply nor a time-out ends
        worker.setReplyTimeout(60000);      // the delete before
        QVERIFY(choose(card(pStrip, nDeleted), "删除场景"));
        QTRY_VERIFY_WITH_TIMEOUT(sim.hasRequest(35, 30), 5000);
        QTest::mouseClick(addCard(pStrip)->addButton(), Qt::LeftButton);
        QCOMPARE(usedIds(pStrip).last(), 5);
        if (ending == CDeviceSimulator::TakenNoAnswer)
            worker.setHeartbeatInterval(300); // its reply ends the delete left unanswered
        else
            sim.releaseLateAnswers();
        QTRY_COMPARE_WITH_TIMEOUT(held(sim), after, 10000);
        SimTest::settle(worker, sim);
        // Stored as a new scene, or not sent at all.
        const int nScenes = after.size() - 1;
        const QStringList save{QString("2 10 %1 0%2").arg(bZ ? "00" : "01").arg(nScenes)};
        QCOMPARE(sceneOps(sim).filter("2 10"), nScenes == 3 ? QStringList() : save);
        QCOMPARE(held(sim), after);
        QTRY_COMPARE_WITH_TIMEOUT(shown(pStrip), after, 5000);
        QCOMPARE(addCard(pStrip)->getCardId(), nScenes + 1);
        QStringList said;
        for (const BesMessageRecord &r : BesMessageBox::testRecords())
            if (r.kind == "notice")
                said << r.title;
        QCOMPARE(said, notices);
    }

    // A scene not live renamed: the recall goes first, and a name typed before its answer is the
    // recalled scene's; the canvas, still showing the scene live before, keeps that one's name.
    void renameTypedBeforeTheRecallsAnswer()
    {
        CEditSceneCanvas *pCanvas = m_pWindow->editSceneMain()->canvas();
        QVERIFY(pCanvas->currentScene() && pCanvas->currentScene()->getSceneID() == 1);
        m_pSimT->setReplyDelay(300);
        CCardProgramWidget *pCard = card(tarn(), 2);
        QVERIFY(choose(pCard, "重命名场景")); // the recall question answered OK
        QVERIFY(pCard->isEditingName());
        pCard->nameEditor()->setText("Neu");
        QTest::keyClick(pCard->nameEditor(), Qt::Key_Return);
        QCOMPARE(pCanvas->currentScene()->getSceneID(), 1u);
        QCOMPARE(pCanvas->currentScene()->getSceneName(), QString("S1"));
        QTRY_COMPARE_WITH_TIMEOUT(simNames(*m_pSimT), QStringList({"S1", "Neu"}), 5000);
        SimTest::settle(*m_pWindow->getCurrentDevice("TSN"), *m_pSimT);
        const auto names = [pCanvas]() {
            QStringList list;
            for (const CEditBaseScene *pScene : pCanvas->sceneList())
                list << QString("%1 %2").arg(pScene->getSceneID()).arg(pScene->getSceneName());
            return list;
        };
        QTRY_COMPARE_WITH_TIMEOUT(names(), QStringList({"1 S1", "2 Neu"}), 5000);
    }

    // A name typed on a card reaches its device, and the strip keeps what the device holds (the
    // 12-byte field) through a refresh. Only that device and strip change: a Z card has nothing
    // to do with the Tarn canvas's live scene.
    void renameHoldsThroughARefresh_data()
    {
        QTest::addColumn<bool>("bZ");
        QTest::newRow("Tarn") << false;
        QTest::newRow("Z") << true;
    }
    void renameHoldsThroughARefresh()
    {
        QFETCH(bool, bZ);
        CProgramListWidget *pStrip = bZ ? zstrip() : tarn();
        CDeviceSimulator &sim = bZ ? *m_pSimZ : *m_pSimT;
        CDeviceSimulator &other = bZ ? *m_pSimT : *m_pSimZ;
        const QStringList otherShown = shown(bZ ? tarn() : zstrip());
        QPointer<CCardProgramWidget> pCard = card(pStrip, 2);
        QTest::mouseDClick(pCard->nameLabel(), Qt::LeftButton); // opens the editor and recalls 2
        // The operator types after the recall and its read-back have landed: the editor is still open.
        QTRY_COMPARE_WITH_TIMEOUT(sim.model().nTakeScene, 2, 5000);
        SimTest::settle(*m_pWindow->getCurrentDevice(bZ ? "ZSN" : "TSN"), sim);
        QVERIFY(pCard && pCard->isEditingName());
        pCard->nameEditor()->selectAll();
        QTest::keyClicks(pCard->nameEditor(), "HallStageLig"); // the 12 bytes the field holds
        QTest::keyClick(pCard->nameEditor(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(sim.model().scenes[1].strName, QString("HallStageLig"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(shown(pStrip), held(sim), 5000);
        refreshAndCompare(pStrip, sim, bZ ? "ZSN" : "TSN");
        QCOMPARE(shown(pStrip).at(1), QString("2 HallStageLig"));
        QCOMPARE(m_pWindow->editSceneMain()->canvas()->takeScene(), bZ ? 1 : 2);
        QCOMPARE(other.model().nTakeScene, 1);
        QVERIFY(!other.hasRequest(35));
        QCOMPARE(shown(bZ ? tarn() : zstrip()), otherShown);
    }

    // Another client deletes scene 1 while scene 2 is live: after a refresh the strip holds the
    // device's scenes, names and live scene, and no card for a scene that is gone. Or it adds two
    // scenes, the last of which is read first, or whose first read goes unanswered once: the strip
    // shows them in the device's order.
    void refreshFollowsAnExternalDelete_data()
    {
        QTest::addColumn<bool>("bZ");
        QTest::addColumn<int>("added"); // 0: none; 1: the last read first; 2: the first's read unanswered once
        for (int nAdded : {0, 1, 2})
            for (bool bZ : {false, true})
                QTest::addRow("%s%s", bZ ? "Z" : "Tarn",
                              nAdded == 1 ? ", two added, the last read first" : nAdded == 2 ? ", two added, one read unanswered" : "")
                    << bZ << nAdded;
    }
    void refreshFollowsAnExternalDelete()
    {
        QFETCH(bool, bZ);
        QFETCH(int, added);
        CProgramListWidget *pStrip = bZ ? zstrip() : tarn();
        CDeviceSimulator &sim = bZ ? *m_pSimZ : *m_pSimT;
        CTcpDeviceThread &worker = *m_pWindow->getCurrentDevice(bZ ? "ZSN" : "TSN");
        if (added > 0) {
            for (char nId : {3, 4})
                sim.model().answer(35, 2, 10, QByteArray(1, 1) + nId);
        }
        if (added == 1) {
            worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, 4), 1, 0);
            SimTest::settle(worker, sim);
        } else if (added == 2) {
            worker.setHeartbeatInterval(300); // its reply ends the read left unanswered
            connect(&sim, &CDeviceSimulator::requestReceived, this, [&sim](int nCmd, int nRw, int nSub) {
                if (nCmd == 35 && nRw == 1 && nSub == 0 && sim.requests().last().payload == QByteArray(1, 3)
                    && sim.requests(35, 0).size() == 3)
                    sim.injectFault(CDeviceSimulator::NoAnswer, 35);
            });
        } else {
            sim.model().nTakeScene = 2;
            sim.model().answer(35, 2, 30, QByteArray(1, 1));
            QCOMPARE(held(sim), QStringList({"1 S2", "live 1"}));
        }
        refreshAndCompare(pStrip, sim, bZ ? "ZSN" : "TSN");
    }
};

VISTEL_TEST_MAIN(TestProgramsE2E)
#include "tst_programs_e2e.moc"
