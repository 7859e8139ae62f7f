// Both editor frames against simulated devices: each family's frame opened
// from the device list, both open at once on two devices, each following only
// its own device, and a Z input dragged to become the main source.
#include "TestMain.h"

#include "BackCanvasWidget.h"
#include "BesMessageBox.h"
#include "CardProgramWidget.h"
#include "DeviceControl.h"
#include "DeviceItem.h"
#include "DeviceSimulator.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSceneCanvas.h"
#include "EditSceneMain.h"
#include "EditSingleTextItem.h"
#include "FileListWidget.h"
#include "LayoutListWidget.h"
#include "OtherWidget.h"
#include "PropertyStack.h"
#include "ProgramListWidget.h"
#include "QorGlobal.h"
#include "SceneSaveAsDlg.h"
#include "SceneTestUtil.h"
#include "SimDeviceList.h"
#include "SimTestUtil.h"
#include "SwitchButton.h"
#include "TcpDeviceThread.h"
#include "TestUtil.h"
#include "WndPosWidget.h"
#include "globalObserver.h"
#include "mainwindow.h"
#include "zinferface.h"
#include "zmiddlecontrol.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace {

CDeviceItem *rowOf(CFileListWidget *pPanel, int nId)
{
    for (int r = 0; r < pPanel->layoutList()->rowCount(); ++r)
        if (pPanel->layoutList()->itemAt(r)->getInputSrcIndex() == nId)
            return pPanel->layoutList()->itemAt(r);
    return nullptr;
}

// A read sent through the hub as a panel sends it.
void readThroughHub(QString strSerial, QString strCmd, QByteArray payload, int nSub)
{
    int nRead = 1;
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_setDeviceCmd"), Q_ARG(QString, strSerial),
                                                Q_ARG(QString, strCmd), Q_ARG(QByteArray &, payload),
                                                Q_ARG(int, nRead), Q_ARG(int, nSub));
}

void readInputState(const QString &strSerial)
{
    readThroughHub(strSerial, QStringLiteral("获取输入状态"), QByteArray(), 1);
}

// The Z live settings read (layer settings, sub 0).
void readLiveSettings(const QString &strSerial)
{
    readThroughHub(strSerial, QStringLiteral("图层设置"), QByteArray(1, '\0'), 0);
}

} // namespace

class TestFramesE2E : public QObject
{
    Q_OBJECT

    std::unique_ptr<CDeviceSimulator> m_pSimT;
    std::unique_ptr<CDeviceSimulator> m_pSimZ;
    MainWindow *m_pWindow = nullptr;

    // A window with a Tarn device (4 inputs) on 127.0.0.4 and a Z device
    // (3 inputs) on 127.0.0.5, both switched on and read.
    bool startTwoDevices()
    {
        m_pSimT.reset(new CDeviceSimulator(CSimDeviceModel::Tarn, 4, 2));
        m_pSimZ.reset(new CDeviceSimulator(CSimDeviceModel::Z, 3, 2));
        m_pSimT->setSerial(QStringLiteral("TSN"));
        m_pSimZ->setSerial(QStringLiteral("ZSN"));
        const bool bListening = CDeviceSimulator::listenOnOnePort(*m_pSimT, QHostAddress(QStringLiteral("127.0.0.4")),
                                                                  *m_pSimZ, QHostAddress(QStringLiteral("127.0.0.5")));
        if (!bListening)
            return false;
        MainWindow::setDevicePort(m_pSimT->port());
        m_pWindow = new MainWindow;
        m_pWindow->slot_newDevice({"127.0.0.4", QString(), "Tarn-3", "TSN"});
        m_pWindow->slot_newDevice({"127.0.0.5", QString(), "Z7", "ZSN"});
        QTest::mouseClick(m_pWindow->checkR4Exist("TSN")->switchButton(), Qt::LeftButton);
        QTest::mouseClick(m_pWindow->checkR4Exist("ZSN")->switchButton(), Qt::LeftButton);
        return QTest::qWaitFor(
            [this]() {
                return m_pWindow->getCurrentDevice("TSN")->getDeviceInfo()->vectorInput.size() == 4
                       && m_pWindow->getCurrentDevice("ZSN")->getDeviceInfo()->vectorInput.size() == 3;
            },
            5000);
    }

    // Both devices answered everything sent to them, and the console took the answers in.
    void settleBoth()
    {
        SimTest::settle(*m_pWindow->getCurrentDevice("TSN"), *m_pSimT);
        SimTest::settle(*m_pWindow->getCurrentDevice("ZSN"), *m_pSimZ);
    }

    void edit(const QString &strSerial)
    {
        m_pWindow->checkR4Exist(strSerial)->findChild<QPushButton *>(QStringLiteral("btnEdit"))->click();
    }

    // Both devices read, then the information of strReadLast read again (the
    // program-wide model text becomes its model), then both frames opened:
    // the Tarn frame, or nullptr.
    CEditSceneMain *openBothAfterReading(const QString &strReadLast, const QString &strModel)
    {
        if (!startTwoDevices())
            return nullptr;
        SimTest::settle(*m_pWindow->getCurrentDevice("TSN"), *m_pSimT);
        SimTest::settle(*m_pWindow->getCurrentDevice("ZSN"), *m_pSimZ);
        const QByteArray one(1, '\x01');
        m_pWindow->getCurrentDevice(strReadLast)->setMcuCommand(QStringLiteral("设备信息"), one, 1, 0);
        if (!QTest::qWaitFor([&]() { return g_strSerialDevType == strModel; }, 5000))
            return nullptr;
        edit("TSN");
        edit("ZSN");
        return m_pWindow->editSceneMain();
    }

private slots:
    void initTestCase()
    {
        MainWindow::setDiscoveryPort(0, QHostAddress::LocalHost);
        MainWindow::setSerialPortLister([]() { return QStringList(); });
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
    }

    void cleanup()
    {
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
        BesMessageBox::clearTestRecords();
        QFile::remove(QStringLiteral("Tranlate_EN.qm"));
        QFile::remove(QStringLiteral("Tranlate_CN.qm"));
        delete m_pWindow;
        m_pWindow = nullptr;
        m_pSimT.reset();
        m_pSimZ.reset();
        CTcpDeviceThread::setEditedDeviceSerial(QString());
        QFile::remove(QStringLiteral("Morvane.ini"));
    }

    void bothFramesFollowOnlyTheirOwnDevice()
    {
        QVERIFY(startTwoDevices());
        CTcpDeviceThread *pT = m_pWindow->getCurrentDevice("TSN");
        CTcpDeviceThread *pZ = m_pWindow->getCurrentDevice("ZSN");

        edit("TSN");
        CEditSceneMain *pTarn = m_pWindow->editSceneMain();
        QVERIFY(pTarn->isVisible());
        QCOMPARE(pTarn->fileListWidget()->layoutList()->rowCount(), 4);

        edit("ZSN");
        Zinferface *pZFrame = m_pWindow->zInterface();
        QVERIFY(pZFrame->isVisible() && pTarn->isVisible());
        QCOMPARE(pZFrame->currentDevice(), pZ->getDeviceInfo());
        QCOMPARE(pZFrame->fileListWidget()->layoutList()->rowCount(), 3);
        QCOMPARE(CTcpDeviceThread::editedDeviceSerial("Tarn"), QString("TSN"));
        QCOMPARE(CTcpDeviceThread::editedDeviceSerial("Z"), QString("ZSN"));

        // Input refreshes of both devices: each panel keeps its own device.
        readInputState("TSN");
        readInputState("ZSN");
        QTRY_VERIFY_WITH_TIMEOUT(m_pSimT->hasRequest(32, 1) && m_pSimZ->hasRequest(32, 1), 5000);
        settleBoth();
        QCOMPARE(pTarn->fileListWidget()->deviceInfo(), pT->getDeviceInfo());
        QCOMPARE(pTarn->fileListWidget()->serial(), QString("TSN"));
        QCOMPARE(pZFrame->fileListWidget()->deviceInfo(), pZ->getDeviceInfo());
        QCOMPARE(pTarn->currentDevice(), pT->getDeviceInfo());
        QCOMPARE(pZFrame->fileListWidget()->layoutList()->rowCount(), 3);
        QCOMPARE(pTarn->fileListWidget()->layoutList()->rowCount(), 4);

        // The Tarn device reports fewer inputs (back after a restart): so does its layer page.
        m_pSimT->model().inputs.resize(3);
        pT->setMcuCommand(QStringLiteral("源及场景数"), QByteArray(1, '\x01'), 1, 0);
        QTRY_COMPARE_WITH_TIMEOUT(pTarn->propertyStack()->wndPosWidget()->findChild<QComboBox *>("cmbMainSig")->count(), 3, 5000);
        QVERIFY(!pTarn->canvas()->currentScene()->layerItems().first()->setLayerSig(3)); // nor does a layer write
    }

    // Whichever device's information reply came last, the Tarn frame shows its
    // own device's (a Tarn-3's) buttons and audio sources, and an input dropped
    // onto its canvas follows the Tarn-3's rules: no source-conflict question,
    // and the new layer reaches the device inside its screen.
    void tarnFrameFollowsItsOwnModel_data()
    {
        QTest::addColumn<QString>("readLast");
        QTest::addColumn<QString>("model");
        QTest::newRow("Z read last") << "ZSN" << "Z7";
        QTest::newRow("Tarn read last") << "TSN" << "Tarn-3";
    }

    void tarnFrameFollowsItsOwnModel()
    {
        QFETCH(QString, readLast);
        QFETCH(QString, model);
        CEditSceneMain *pTarn = openBothAfterReading(readLast, model);
        QVERIFY(pTarn && QTest::qWaitForWindowExposed(pTarn));
        QVERIFY(pTarn->findChild<QWidget *>("OSDSettingButton")->isVisible());
        int nAudioSources = -1;
        TestUtil::lookAtNextModal([&](QWidget *pDialog) {
            nAudioSources = pDialog->findChild<QComboBox *>("AudioComboBox")->count();
        });
        pTarn->findChild<QPushButton *>("AudioSettingsButton")->click();
        QCOMPARE(nAudioSources, 5);

        // Input 1 is the source of layer L1 of the live scene already.
        CEditBaseScene *pScene = pTarn->canvas()->currentScene();
        QVERIFY(pScene);
        QTRY_COMPARE_WITH_TIMEOUT(pScene->layerItems().size(), 2, 5000);
        SimTest::settle(*m_pWindow->getCurrentDevice("TSN"), *m_pSimT);
        m_pSimT->clearRequests();
        m_pSimZ->clearRequests();
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        BesMessageBox::clearTestRecords();
        CEditBaseView *pView = pTarn->canvas()->view();
        const QPoint pt = pView->mapFromScene(QRectF(pScene->getBackCanvasRect()).center());
        QVERIFY(pView->viewport()->rect().contains(pt));
        CDeviceItem *pRow = rowOf(pTarn->fileListWidget(), 0);
        QVERIFY(pRow);
        QVERIFY(SceneTest::dropOn(pView, CDeviceItem::makeDragData(pRow->getDeviceImage(), pRow->dragCaption(), 0), pt));

        QTRY_COMPARE_WITH_TIMEOUT(m_pSimT->model().scenes[0].layers.size(), 3, 5000);
        const CSimLayer layer = m_pSimT->model().scenes[0].layers.last();
        QCOMPARE(layer.nMainSig, 0);
        QVERIFY(QRect(0, 0, 1920, 1080).contains(QRect(layer.nX, layer.nY, layer.nWidth, layer.nHeight)));
        settleBoth();
        QVERIFY(BesMessageBox::testRecords().isEmpty());
        QVERIFY(!m_pSimT->hasRequest(34, 3) && !m_pSimZ->hasRequest(34));
    }

    // Whichever device was read last and whichever frame was used last, the
    // Tarn-3 frame's panels act as a Tarn-3's do: its layer page switches a
    // layer to a source another layer shows without a conflict question and
    // leaves the other layer alone, and a press on one of its inputs sends no
    // main-source command.
    void tarnPanelsFollowTheirOwnDevice_data()
    {
        QTest::addColumn<QString>("readLast");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("usedLast");
        QTest::newRow("Z read and used last") << "ZSN" << "Z7" << "Z";
        QTest::newRow("Tarn read and used last") << "TSN" << "Tarn-3" << "Tarn";
    }

    void tarnPanelsFollowTheirOwnDevice()
    {
        QFETCH(QString, readLast);
        QFETCH(QString, model);
        QFETCH(QString, usedLast);
        CEditSceneMain *pTarn = openBothAfterReading(readLast, model);
        QVERIFY(pTarn);
        (usedLast == "Z" ? static_cast<CEditFrameBase *>(m_pWindow->zInterface()) : pTarn)->activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(g_strDevType, usedLast, 3000);

        // Layer L2 of the live scene shows input 2; L1 shows input 1.
        CEditBaseScene *pScene = pTarn->canvas()->currentScene();
        QVERIFY(pScene);
        QTRY_COMPARE_WITH_TIMEOUT(pScene->layerItems().size(), 2, 5000);
        CEditSingleTextItem *pL2 = pScene->layerItems().at(pScene->layerItems().at(0)->getItemId() == 1 ? 0 : 1);
        SimTest::settle(*m_pWindow->getCurrentDevice("TSN"), *m_pSimT);
        m_pSimT->clearRequests();
        m_pSimZ->clearRequests();
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        BesMessageBox::clearTestRecords();
        CEditBaseView *pView = pTarn->canvas()->view();
        QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::NoModifier,
                          pView->mapFromScene(pL2->sceneBoundingRect().center()));
        CWndPosWidget *pPage = pTarn->propertyStack()->wndPosWidget();
        QTRY_COMPARE_WITH_TIMEOUT(pPage->item(), pL2, 3000);
        auto *pSource = pPage->findChild<QComboBox *>("cmbMainSig");
        pSource->setCurrentIndex(pSource->findData(0));

        QTRY_COMPARE_WITH_TIMEOUT(m_pSimT->model().scenes[0].layers[1].nMainSig, 0, 5000);
        settleBoth();
        QVERIFY(BesMessageBox::testRecords().isEmpty());
        QCOMPARE(m_pSimT->model().scenes[0].layers[0].nMainSig, 0);

        // A press on a Tarn input starts a drag only.
        m_pSimT->clearRequests();
        QTest::mousePress(rowOf(pTarn->fileListWidget(), 1), Qt::LeftButton);
        QTest::qWait(300);
        QVERIFY(!m_pSimT->hasRequest(34, 3) && !m_pSimZ->hasRequest(34, 3));

        // Saving one of its scenes to another number asks for the number only.
        bool bZMode = true;
        TestUtil::lookAtNextModal([&](QWidget *pDialog) {
            auto *pSaveAs = qobject_cast<CSceneSaveAsDlg *>(pDialog);
            bZMode = !pSaveAs || pSaveAs->isZMode();
        });
        pTarn->programListWidget()->cards().first()->saveToScene();
        QVERIFY(!bZMode);
        QCOMPARE(g_strDevType, usedLast);
        QCOMPARE(g_strSerialDevType, model);
    }

    // With both frames open, selecting a Tarn layer and then deleting it moves
    // the Tarn frame's property stack only: the Z frame's stack stays on its
    // device page.
    void zStackIgnoresTarnSelection()
    {
        CEditSceneMain *pTarn = openBothAfterReading(QStringLiteral("TSN"), QStringLiteral("Tarn-3"));
        QVERIFY(pTarn);
        CPropertyStack *pZStack = m_pWindow->zInterface()->propertyStack();
        CPropertyStack *pTStack = pTarn->propertyStack();
        auto *pZPages = pZStack->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
        auto *pZTitle = pZStack->findChild<QPushButton *>(QStringLiteral("btnWindow"));
        auto zOnDevicePage = [&]() {
            return pZStack->currentIndex() == 2 && pZPages->currentWidget() == pZStack->tipsWidget()
                   && pZTitle->text() == QString::fromUtf8("设备参数") && !pZStack->selectedItem();
        };
        QVERIFY(zOnDevicePage());

        CEditBaseScene *pScene = pTarn->canvas()->currentScene();
        QVERIFY(pScene);
        QTRY_COMPARE_WITH_TIMEOUT(pScene->layerItems().size(), 2, 5000);
        SimTest::settle(*m_pWindow->getCurrentDevice("TSN"), *m_pSimT);
        CEditSingleTextItem *pLayer = pScene->layerItems().first();
        CEditBaseView *pView = pTarn->canvas()->view();
        QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::NoModifier,
                          pView->mapFromScene(pLayer->sceneBoundingRect().center()));
        QTRY_COMPARE_WITH_TIMEOUT(pTStack->wndPosWidget()->item(), pLayer, 3000);
        QCOMPARE(pTStack->currentIndex(), 0);
        QVERIFY(zOnDevicePage());

        // The selected layer deleted: the Tarn selection clears, the Z page stays.
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        pTarn->canvas()->slot_selectToolBar(CEditSceneCanvas::ToolBar_Delete);
        QTRY_VERIFY_WITH_TIMEOUT(!pTStack->selectedItem(), 5000);
        QCOMPARE(pTStack->currentIndex(), 1);
        QVERIFY(zOnDevicePage());
    }

    // The Tarn frame opened on a device that holds no scene, after one showing its scene 1 with a
    // layer selected, or alone: the strip stands for that device with no live scene, no page keeps
    // the other device's canvas or layer, and a name applied on the screen page writes to neither
    // device: said, and the field shows the device's own name. So does the page a language switch
    // builds again.
    void deviceWithoutScenes_data()
    {
        QTest::addColumn<bool>("after");
        QTest::addColumn<bool>("bSwitch");
        QTest::newRow("after a device showing scene 1") << true << false;
        QTest::newRow("alone") << false << false;
        QTest::newRow("alone, the page built again by a language switch") << false << true;
    }

    void deviceWithoutScenes()
    {
        QFETCH(bool, after);
        QFETCH(bool, bSwitch);
        CSimDeviceList list(2);
        QVERIFY(list.isListening());
        list.sim(1).model().reset(CSimDeviceModel::Tarn, 2, 0);
        list.sim(1).model().strDeviceName = QStringLiteral("乙设备");
        list.sim(1).model().nScreenWidth = 1280;
        CTcpDeviceThread *pA = list.switchOn(0), *pB = list.switchOn(1);
        QVERIFY(pA && pB);
        QTRY_VERIFY_WITH_TIMEOUT(pA->getDeviceInfo()->vectorInput.size() == 2 && pB->getDeviceInfo()->vectorInput.size() == 2, 5000);
        const auto editOf = [&](int n) {
            list.window().checkR4Exist(list.serial(n))->findChild<QPushButton *>(QStringLiteral("btnEdit"))->click();
            return list.window().editSceneMain();
        };
        if (after) {
            CEditSceneMain *pTarn = editOf(0);
            QTRY_VERIFY_WITH_TIMEOUT(pTarn->canvas()->currentScene() && !pTarn->canvas()->currentScene()->layerItems().isEmpty(), 5000);
            QGraphicsItem *pLayer = pTarn->canvas()->currentScene()->layerItems().first();
            globalObserver::getGlobalObserver()->notify("slot_propertyDataChange", Q_ARG(QGraphicsItem *, pLayer));
            QCOMPARE(pTarn->propertyStack()->currentIndex(), 0);
        }
        CEditSceneMain *pTarn = editOf(1);
        CPropertyStack *pStack = pTarn->propertyStack();
        QCOMPARE(pTarn->programListWidget()->serial(), list.serial(1));
        QCOMPARE(pTarn->programListWidget()->takeScene(), 0);
        // its add-card alone, for the device's first scene
        const QList<CCardProgramWidget *> listCards = pTarn->programListWidget()->cards();
        QCOMPARE(listCards.size(), 1);
        QVERIFY(!listCards.first()->checkCardIsUse());
        QCOMPARE(listCards.first()->getSerial(), list.serial(1));
        QVERIFY(!pStack->selectedItem() && !pStack->backCanvasWidget()->canvas());
        QCOMPARE(pStack->currentIndex(), 1);
        if (bSwitch) {
            for (int nLanguage : {1, 0})
                QVERIFY(QMetaObject::invokeMethod(&list.window(), "on_comboBoxLanguage_activated", Q_ARG(int, nLanguage)));
            QCOMPARE(pStack->currentIndex(), 1);
        }

        SimTest::settle(*pA, list.sim(0));
        SimTest::settle(*pB, list.sim(1));
        list.sim(0).clearRequests();
        list.sim(1).clearRequests();
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        BesMessageBox::clearTestRecords();
        auto *pName = pStack->backCanvasWidget()->findChild<QLineEdit *>(QStringLiteral("lineEditstrSerial"));
        TestUtil::retype(pName, QStringLiteral("Typed"));
        pStack->findChild<QPushButton *>(QStringLiteral("Application"))->click();
        SimTest::settle(*pA, list.sim(0));
        SimTest::settle(*pB, list.sim(1));
        for (int n : {0, 1})
            for (const CSimRequest &r : list.sim(n).requestsWithoutHeartbeat())
                QVERIFY2(r.nReadOrWrite == 1, qPrintable(QString("device %1 got %2/%3").arg(n).arg(r.nCmd).arg(r.nSub)));
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
        QCOMPARE(BesMessageBox::testRecords().first().text,
                 QString::fromUtf8("设备 %1 未返回场景，画布显示的可能不是设备上的内容。").arg(pB->noticeName()));
        QCOMPARE(pName->text(), QStringLiteral("乙设备"));
        // the screen fields show the screen the device holds, not the one of the device before
        auto *pScreenW = pStack->backCanvasWidget()->findChild<QLineEdit *>(QStringLiteral("lineScreenEditW"));
        QCOMPARE(pScreenW->text(), QString::number(list.sim(1).model().nScreenWidth));

        // the add-card stores the device's first scene, which the strip shows, the add-card after it
        CProgramListWidget *pStrip = pTarn->programListWidget();
        QTest::mouseClick(pStrip->cards().last()->addButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(list.sim(1).model().scenes.size(), 1, 5000);
        SimTest::settle(*pB, list.sim(1));
        QTRY_COMPARE_WITH_TIMEOUT(pStrip->cards().size(), 2, 5000);
        QVERIFY(pStrip->cards().first()->checkCardIsUse() && !pStrip->cards().last()->checkCardIsUse());
        QCOMPARE(pStrip->cards().first()->getCardId(), 1);
    }

    // With both frames open, a language switch reaches both, whichever family
    // the operator used last.
    void languageSwitchReachesBothFrames_data()
    {
        QTest::addColumn<QString>("family");
        QTest::newRow("Z used last") << "Z";
        QTest::newRow("Tarn used last") << "Tarn";
    }

    void languageSwitchReachesBothFrames()
    {
        QFETCH(QString, family);
        for (const char *psz : {"Tranlate_EN.qm", "Tranlate_CN.qm"})
            QVERIFY(QFile::copy(TestUtil::buildDir() + "/" + psz, psz));
        QVERIFY(startTwoDevices());
        edit("TSN");
        edit("ZSN");
        CEditSceneMain *pTarn = m_pWindow->editSceneMain();
        Zinferface *pZFrame = m_pWindow->zInterface();
        auto *pOutput = pTarn->findChild<QToolButton *>("OutputSettingButton");
        g_strDevType = family;
        QTRY_VERIFY(!pTarn->propertyStack()->backCanvasWidget()->findChild<QLineEdit *>("lineScreenEditW")->text().isEmpty());
        const int nTarnPage = pTarn->propertyStack()->currentIndex();
        QVERIFY(nTarnPage != 2);
        QTRY_VERIFY(pTarn->canvas()->currentScene() && !pTarn->canvas()->currentScene()->layerItems().isEmpty());
        CEditSingleTextItem *pLayer = pTarn->canvas()->currentScene()->layerItems().first();
        QVERIFY(QMetaObject::invokeMethod(m_pWindow, "on_comboBoxLanguage_activated", Q_ARG(int, 1)));
        QVERIFY2(pLayer->labelLines().at(1).startsWith("[Width:"), qPrintable(pLayer->labelLines().at(1)));
        // Each column stays on its frame's page: the Tarn one on a Tarn page, the Z one on its device page.
        QCOMPARE(pTarn->propertyStack()->currentIndex(), nTarnPage);
        QCOMPARE(pZFrame->propertyStack()->currentIndex(), 2);
        QCOMPARE(pOutput->text(), QString("Output settings"));
        QVERIFY2(pZFrame->middleControl()->lines().first().startsWith("[Current source:"),
                 qPrintable(pZFrame->middleControl()->lines().first()));
        // The Tarn frame's pages built again show its device's name and inputs.
        QCOMPARE(pTarn->propertyStack()->backCanvasWidget()->findChild<QWidget *>("lineEditstrSerial")->property("text"), QVariant(m_pSimT->model().strDeviceName));
        QCOMPARE(pTarn->propertyStack()->wndPosWidget()->findChild<QComboBox *>("cmbMainSig")->count(), 4);
        QCOMPARE(pTarn->propertyStack()->backCanvasWidget()->findChild<QLineEdit *>("lineScreenEditW")->text(), QString::number(m_pSimT->model().nScreenWidth));
        QVERIFY(QMetaObject::invokeMethod(m_pWindow, "on_comboBoxLanguage_activated", Q_ARG(int, 0)));
        QCOMPARE(pOutput->text(), QString("输出设置"));
        QVERIFY(pZFrame->middleControl()->lines().first().startsWith("[当前信号源:"));
    }

    // A Z input dragged from the Z frame's panel becomes the device's main
    // source; the strip waits for it and then shows the new source.
    void zInputDragSetsTheMainSource()
    {
        QVERIFY(startTwoDevices());
        edit("TSN");
        edit("ZSN");
        Zinferface *pZFrame = m_pWindow->zInterface();
        // Reads still on their way would answer with the old main source after the press.
        SimTest::settle(*m_pWindow->getCurrentDevice("TSN"), *m_pSimT);
        SimTest::settle(*m_pWindow->getCurrentDevice("ZSN"), *m_pSimZ);
        m_pSimT->clearRequests();
        m_pSimZ->clearRequests();

        QTest::mousePress(rowOf(pZFrame->fileListWidget(), 2), Qt::LeftButton);
        // The strip says so at once; any later input read may already name the new source.
        QCOMPARE(pZFrame->middleControl()->lines().first(), QString("[当前信号源:信号源切换中]"));
        QTRY_VERIFY_WITH_TIMEOUT(m_pSimZ->hasRequest(34, 3), 5000);
        for (const CSimRequest &req : m_pSimZ->requestsWithoutHeartbeat()) {
            if (req.nCmd == 34 && req.nSub == 3)
                QCOMPARE(req.payload, QByteArray::fromHex("0002"));
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_pSimZ->model().nMainSig, 2, 5000);
        QVERIFY(!m_pSimT->hasRequest(34, 3));

        readInputState("ZSN");
        const QString strName = m_pSimZ->model().inputs[2].strName;
        QTRY_COMPARE_WITH_TIMEOUT(pZFrame->middleControl()->lines().first(),
                                  QString("[当前信号源:%1]").arg(strName), 5000);
    }

    // While the Tarn frame is the active one, a press on its inputs acts as
    // the Tarn family does: no main-source command reaches either device.
    void tarnInputPressAfterTheZFrameOpened()
    {
        QVERIFY(startTwoDevices());
        edit("TSN");
        edit("ZSN");
        CEditSceneMain *pTarn = m_pWindow->editSceneMain();
        m_pWindow->zInterface()->activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(g_strDevType, QString("Z"), 3000);
        pTarn->activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(g_strDevType, QString("Tarn"), 3000);
        QTest::qWait(300);
        m_pSimT->clearRequests();
        m_pSimZ->clearRequests();
        QTest::mousePress(rowOf(pTarn->fileListWidget(), 1), Qt::LeftButton);
        QTest::qWait(300);
        QVERIFY(!m_pSimT->hasRequest(34, 3));
        QVERIFY(!m_pSimZ->hasRequest(34, 3));
    }

    // With two Z devices connected, the Z frame and its strip show only the
    // device opened in it, whatever the other one replies: its live source as
    // the records hold it once bound, and as a live-settings answer tells it.
    void zFrameIgnoresTheOtherZDevice()
    {
        std::unique_ptr<CDeviceSimulator> pSimA(new CDeviceSimulator(CSimDeviceModel::Z, 3, 1));
        std::unique_ptr<CDeviceSimulator> pSimB(new CDeviceSimulator(CSimDeviceModel::Z, 3, 1));
        pSimA->setSerial("ZA");
        pSimB->setSerial("ZB");
        QVERIFY(CDeviceSimulator::listenOnOnePort(*pSimA, QHostAddress("127.0.0.6"), *pSimB, QHostAddress("127.0.0.7")));
        for (int i = 0; i < 3; ++i)
            pSimB->model().inputs[i].strName = QString("B-IN%1").arg(i + 1);
        pSimA->model().nMainSig = 1; // not the records' value before they are read
        MainWindow::setDevicePort(pSimA->port());
        m_pWindow = new MainWindow;
        m_pWindow->slot_newDevice({"127.0.0.6", QString(), "Z7", "ZA"});
        m_pWindow->slot_newDevice({"127.0.0.7", QString(), "Z7", "ZB"});
        QTest::mouseClick(m_pWindow->checkR4Exist("ZA")->switchButton(), Qt::LeftButton);
        QTest::mouseClick(m_pWindow->checkR4Exist("ZB")->switchButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_pWindow->getCurrentDevice("ZA")->getDeviceInfo()->vectorInput.size() == 3
                                     && m_pWindow->getCurrentDevice("ZB")->getDeviceInfo()->vectorInput.size() == 3,
                                 5000);
        CTcpDeviceThread *pWorkerA = m_pWindow->getCurrentDevice("ZA");
        SimTest::settle(*pWorkerA, *pSimA);
        SimTest::settle(*m_pWindow->getCurrentDevice("ZB"), *pSimB);
        edit("ZA");
        Zinferface *pZFrame = m_pWindow->zInterface();
        // Bound before the live settings read the edit asks is answered: no source yet, then the
        // one the device names.
        QCOMPARE(pZFrame->middleControl()->lines().first(), QString("[当前信号源:]"));
        const QString strA = QString("[当前信号源:%1]").arg(pSimA->model().inputs[1].strName);
        QTRY_COMPARE_WITH_TIMEOUT(pZFrame->middleControl()->lines().first(), strA, 5000);

        pSimB->clearRequests();
        readInputState("ZB");
        QTRY_VERIFY_WITH_TIMEOUT(pSimB->hasRequest(32, 1), 5000);
        SimTest::settle(*m_pWindow->getCurrentDevice("ZB"), *pSimB);
        QCOMPARE(pZFrame->middleControl()->lines().first(), strA);
        QCOMPARE(pZFrame->fileListWidget()->serial(), QString("ZA"));
        QCOMPARE(pZFrame->fileListWidget()->deviceInfo(), m_pWindow->getCurrentDevice("ZA")->getDeviceInfo());

        // Another main source from a live-settings answer; the source poll held, so no
        // input-state reply tells it instead.
        g_setSourcePoll(false, "ZA");
        SimTest::settle(*pWorkerA, *pSimA);
        const auto liveSource = [&](int nMainSig) {
            pSimA->model().nMainSig = nMainSig;
            pSimA->clearRequests();
            readLiveSettings("ZA");
            SimTest::settle(*pWorkerA, *pSimA);
            return pSimA->hasRequest(34, 0) && !pSimA->hasRequest(32) ? pZFrame->middleControl()->lines().first() : QString();
        };
        QCOMPARE(liveSource(2), QString("[当前信号源:%1]").arg(pSimA->model().inputs[2].strName));
        QCOMPARE(liveSource(7), QString("[当前信号源:]")); // none of its inputs

        // Opened then on ZB, its live settings not read yet: no source, not ZA's.
        liveSource(1);
        edit("ZB");
        QCOMPARE(pZFrame->fileListWidget()->serial(), QString("ZB"));
        QCOMPARE(pZFrame->middleControl()->lines().first(), QString("[当前信号源:]"));
    }

    // The Z frame bound to its device reads the live settings as a read of the console's own: an
    // answer lost, or a silence shorter than a lost link's, is asked again and the page shows what
    // the device holds; never answered, it is said.
    void zBindingReadsTheLiveSettings_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("nLiveScene"); // 0: none
        QTest::newRow("its answer lost once") << "lost" << 1;
        QTest::newRow("its answer lost once, no live scene") << "lost" << 0;
        QTest::newRow("the device silent 1.5 s from the binding") << "silent" << 1;
        QTest::newRow("never answered") << "never" << 1;
        QTest::newRow("refused at every ask") << "refused" << 1;
        // the live settings read after a recall left unanswered until given up: the binding asks
        // it anew all the same
        QTest::newRow("after a recall's read given up") << "recall" << 1;
    }
    void zBindingReadsTheLiveSettings()
    {
        QFETCH(QString, fault);
        QFETCH(int, nLiveScene);
        QVERIFY(startTwoDevices());
        CTcpDeviceThread *pWorker = m_pWindow->getCurrentDevice("ZSN");
        m_pSimZ->model().nTakeScene = nLiveScene;
        std::tie(m_pSimZ->model().nBrightness, m_pSimZ->model().nSound) = std::make_tuple(90, 40);
        pWorker->setMcuCommand(QStringLiteral("源及场景数"), QByteArray(1, '\x01'), 1, 0);
        SimTest::settle(*pWorker, *m_pSimZ);
        QCOMPARE(pWorker->getDeviceInfo()->nTakeScene, nLiveScene);
        BesMessageBox::clearTestRecords();
        if (fault == "silent") {
            m_pSimZ->setAnswering(false);
            QTimer::singleShot(1500, m_pSimZ.get(), [this] { m_pSimZ->setAnswering(true); });
        } else if (fault == "refused") {
            m_pSimZ->injectFault(CDeviceSimulator::Nak, 34, 3);
        } else if (fault == "recall") {
            pWorker->setHeartbeatInterval(300);
            m_pSimZ->injectFault(CDeviceSimulator::NoAnswer, 34, 3);
            pWorker->setMcuCommand(QStringLiteral("场景操作"), QByteArray(1, '\x02'), 2, 20);
            QTRY_COMPARE_WITH_TIMEOUT(TestUtil::said("notice", QString(), QStringLiteral("修改未确认")), 1, 10000);
            SimTest::settle(*pWorker, *m_pSimZ);
            QCOMPARE(m_pSimZ->requests(34, 0).size(), 3);
            m_pSimZ->clearRequests();
            BesMessageBox::clearTestRecords();
            // changed on the device alone: only a read shows it
            std::tie(m_pSimZ->model().nBrightness, m_pSimZ->model().nSound) = std::make_tuple(55, 25);
        } else {
            pWorker->setHeartbeatInterval(300); // its reply ends the read left unanswered
            m_pSimZ->injectFault(CDeviceSimulator::NoAnswer, 34, fault == "never" ? 3 : 1);
        }
        edit("ZSN");
        SimTest::settle(*pWorker, *m_pSimZ);
        const auto *pPage = qobject_cast<COtherWidget *>(m_pWindow->zInterface()->propertyStack()->tipsWidget());
        QVERIFY(pPage);
        const auto shown = [pPage] {
            return QList<int>({pPage->findChild<QSlider *>("brightnessSlider")->value(),
                               pPage->findChild<QSlider *>("SoundSlider")->value()});
        };
        if (fault == "never" || fault == "refused") {
            // the operator changed nothing: what is said is that the settings were not read
            QTRY_COMPARE(TestUtil::said("notice", QStringLiteral("设备参数尚未读取"), QStringLiteral("设备无应答")), 1);
            QCOMPARE(shown(), QList<int>({0, 0})); // nothing read, nothing guessed
        } else {
            QCOMPARE(shown(), QList<int>({m_pSimZ->model().nBrightness, m_pSimZ->model().nSound}));
            QCOMPARE(m_pSimZ->requests(34, 0).size(), fault == "recall" ? 1 : 2);
        }
        QCOMPARE(TestUtil::said("notice"), int(fault == "never" || fault == "refused"));
    }

    // Every window shows the program's icon, and the device list shows which
    // of its two tabs is selected.
    void iconAndSelectedTab()
    {
        MainWindow::setDevicePort(1);
        m_pWindow = new MainWindow;
        QVERIFY(!m_pWindow->windowIcon().isNull());
        QVERIFY(!m_pWindow->editSceneMain()->windowIcon().isNull());
        auto *pTabs = m_pWindow->findChild<QTabWidget *>("CommunicatetabWidget");
        m_pWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWindow));
        const QImage image = pTabs->tabBar()->grab().toImage();
        auto colourOf = [&](int nTab) {
            const QRect rect = pTabs->tabBar()->tabRect(nTab);
            return image.pixelColor(rect.left() + 12, rect.bottom() - 3);
        };
        QVERIFY(colourOf(0) != colourOf(1));
        pTabs->setCurrentIndex(1);
        const QImage after = pTabs->tabBar()->grab().toImage();
        const QRect rect1 = pTabs->tabBar()->tabRect(1);
        QCOMPARE(after.pixelColor(rect1.left() + 12, rect1.bottom() - 3), colourOf(0));
        m_pWindow->hide();
    }

    // Shut-down in both orders: the frames go first (window closed), or the
    // workers go first (window destroyed without a close).
    void shutDownInBothOrders()
    {
        for (int nOrder = 0; nOrder < 2; ++nOrder) {
            QVERIFY(startTwoDevices());
            edit("TSN");
            edit("ZSN");
            if (nOrder == 0) {
                m_pWindow->show();
                QVERIFY(m_pWindow->close());
                QVERIFY(!m_pWindow->editSceneMain() && !m_pWindow->zInterface());
            }
            delete m_pWindow;
            m_pWindow = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT(!m_pSimT->hasClient() && !m_pSimZ->hasClient(), 5000);
        }
    }
};

VISTEL_TEST_MAIN(TestFramesE2E)
#include "tst_frames_e2e.moc"
