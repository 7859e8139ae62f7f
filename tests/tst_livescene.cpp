// The Tarn canvas against a simulated device: after clean, delete, drops and recalls the device's
// live scene and the canvas's copy of it are alike (layers by id, geometry and transparency), a
// scene that is not live is never changed, and a Z device switched on beside it changes nothing.
#include "PropertyStack.h"
#include "WndPosWidget.h"
#include "TestMain.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QSpinBox>
#include <QToolButton>

#include <memory>
#include <tuple>

#include "BesMessageBox.h"
#include "CardProgramWidget.h"
#include "DeviceControl.h"
#include "DeviceItem.h"
#include "DeviceSimulator.h"
#include "InputSetDlg.h"
#include "RollLabel.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSceneCanvas.h"
#include "EditSceneMain.h"
#include "EditSingleTextItem.h"
#include "OSDTransfer.h"
#include "WndOSDPosWidget.h"
#include "ProgramListWidget.h"
#include "ProgramSpy.h"
#include "SceneTestUtil.h"
#include "SimTestUtil.h"
#include "SwitchButton.h"
#include "TarnSceneStore.h"
#include "TcpDeviceThread.h"
#include "ToolBar.h"
#include "TestUtil.h"
#include "BackCanvasWidget.h"
#include "WndLineWidget.h"
#include "mainwindow.h"

class TestLiveScene : public QObject
{
    Q_OBJECT

    std::unique_ptr<CDeviceSimulator> m_pSim;
    std::unique_ptr<CDeviceSimulator> m_pSimZ;
    std::unique_ptr<MainWindow> m_pWindow;
    QStringList m_listStartLayers; // the device's scene 1 as first read

    CEditSceneCanvas *canvas() const { return m_pWindow->editSceneMain()->canvas(); }
    CEditBaseScene *scene(int nId) const { return CTarnSceneStore::instance()->scene("TSN", nId); }
    void quiet() { SimTest::settle(*m_pWindow->getCurrentDevice("TSN"), *m_pSim, 300); }

    // "L<id> x,y wxh t<transparency>" of each layer of the scene, on the device or on the canvas.
    QStringList layers(int nId, bool bDevice)
    {
        if (!bDevice)
            return SceneTest::layerTexts(scene(nId));
        QStringList list;
        for (const CSimLayer &l : m_pSim->model().scenes.at(nId - 1).layers)
            list << QString("L%1 %2,%3 %4x%5 t%6").arg(l.nIndex).arg(l.nX).arg(l.nY).arg(l.nWidth).arg(l.nHeight).arg(l.nTrans);
        list.sort();
        return list;
    }

    static bool osdShown(CEditBaseScene *pScene) { return pScene && pScene->osdShown(); }

    void step(const QString &strStep)
    {
        CEditBaseView *pView = canvas()->view();
        CProgramListWidget *pStrip = m_pWindow->editSceneMain()->programListWidget();
        const auto at = [&](const QPointF &pt) { return pView->mapFromScene(pt); };
        const QRect rtCanvas = canvas()->currentScene()->getBackCanvasRect();
        if (strStep == "show2") {
            QTest::mouseClick(ProgramTest::card(*pStrip, 2), Qt::LeftButton);
        } else if (strStep == "recall2") { // scene 2 recalled from its card, scene 1 still shown
            QVERIFY(ProgramTest::chooseEntry(ProgramTest::card(*pStrip, 2), QString::fromUtf8("调用场景")));
        } else if (strStep == "trans") { // 100 typed as the selected layer's transparency
            QSpinBox *pSpin = m_pWindow->editSceneMain()->findChild<CWndLineWidget *>()->findChild<QSpinBox *>("spinBoxTrans");
            QTest::keyClick(pSpin, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(pSpin, "100");
            QTest::keyClick(pSpin, Qt::Key_Return);
        } else if (strStep == "zon") { // a Z device of a smaller screen switched on beside it, then refreshed
            m_pSimZ.reset(new CDeviceSimulator(CSimDeviceModel::Z, 3, 2));
            m_pSimZ->setSerial("ZSN");
            std::tie(m_pSimZ->model().nScreenWidth, m_pSimZ->model().nScreenHeight) = std::make_tuple(1280, 720);
            QVERIFY(m_pSimZ->listen(QHostAddress("127.0.0.9"), m_pSim->port()));
            m_pWindow->slot_newDevice({"127.0.0.9", QString(), "Z7", "ZSN"});
            QTest::mouseClick(m_pWindow->checkR4Exist("ZSN")->switchButton(), Qt::LeftButton);
            CTcpDeviceThread *pZ = m_pWindow->getCurrentDevice("ZSN");
            QTRY_COMPARE_WITH_TIMEOUT(pZ->getDeviceInfo()->nScreenWidth, 1280, 5000);
            pZ->setMcuCommand(QStringLiteral("大屏宽高"), QByteArray(1, '\0'), 1, 0);
            SimTest::settle(*pZ, *m_pSimZ, 300);
            QCOMPARE(layers(1, false), layers(1, true));
        } else if (strStep == "recall") {
            const int nShown = int(canvas()->currentScene()->getSceneID());
            QVERIFY(ProgramTest::chooseEntry(ProgramTest::card(*pStrip, nShown), QString::fromUtf8("调用场景")));
        } else if (strStep == "update") {
            QVERIFY(ProgramTest::chooseEntry(ProgramTest::card(*pStrip, 2), QString::fromUtf8("更新场景")));
        } else if (strStep == "clean") {
            canvas()->cleanButton()->click();
        } else if (strStep == "delete" || strStep == "auto") {
            canvas()->toolStrip()->findChild<QToolButton *>(strStep == "auto" ? "btnAuto" : "btnDelete")->click();
        } else if (strStep == "off" || strStep == "on") {
            CTcpDeviceThread *pDevice = m_pWindow->getCurrentDevice("TSN");
            QTest::mouseClick(m_pWindow->checkR4Exist("TSN")->switchButton(), Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(pDevice->isConnected(), strStep == "on", 5000);
        } else if (strStep == "osd") { // an OSD made from the settings dialog and sent, 64 x 16
            QPointF pt(0, 0);
            canvas()->slot_addCanvasOSDItem(pt, QStringLiteral("OSD"), 1);
            CPropertyStack *pStack = m_pWindow->editSceneMain()->propertyStack();
            pStack->wndOSDPosWidget()->findChild<QLineEdit *>("editW")->setText("64");
            pStack->wndOSDPosWidget()->findChild<QLineEdit *>("editH")->setText("16");
            QTRY_VERIFY(pStack->findChild<QPushButton *>("OSDApplication")->isEnabled());
            pStack->findChild<QPushButton *>("OSDApplication")->click();
        } else if (strStep == "osdsent") {
            QTRY_VERIFY_WITH_TIMEOUT(!COSDTransfer::activeTransfer() && m_pSim->model().nOsdOn == 1, 8000);
        } else if (strStep == "full") { // the device stops answering, with its queue at the bound
            SimTest::holdQueue(*m_pWindow->getCurrentDevice("TSN"), *m_pSim);
        } else if (strStep == "split") { // a screen of two outputs; the device refuses its next scene read
            m_pSim->model().bSplitScreen = true;
            m_pSim->injectFault(CDeviceSimulator::Nak, 35);
        } else if (strStep == "answer") {
            m_pSim->setAnswering(true);
        } else if (strStep == "refuse" || strStep == "mute") { // every scene read refused (unanswered), then a page refresh
            BesMessageBox::clearTestRecords();
            m_pSim->clearRequests();
            m_pSim->injectFault(strStep == "refuse" ? CDeviceSimulator::Nak : CDeviceSimulator::NoAnswer, 35, 1000);
            if (strStep == "mute") // the heartbeat's reply ends the read
                m_pWindow->getCurrentDevice("TSN")->setHeartbeatInterval(300);
            canvas()->slot_updateCurrentData();
        } else if (strStep == "refuse2") { // every scene read refused, then card 2 clicked
            BesMessageBox::clearTestRecords();
            m_pSim->clearRequests();
            m_pSim->injectFault(CDeviceSimulator::Nak, 35, 1000);
            step("show2");
        } else if (strStep == "outlined") { // the card outlined is the scene the canvas shows
            const int nShown = int(canvas()->currentScene()->getSceneID());
            for (int nId : ProgramTest::usedIds(*pStrip))
                QCOMPARE(ProgramTest::card(*pStrip, nId)->isSelected(), nId == nShown);
        } else if (strStep == "devname") { // a device name typed on the screen page and applied
            m_pSim->clearRequests();
            CPropertyStack *pStack = m_pWindow->editSceneMain()->propertyStack();
            QLineEdit *pName = pStack->backCanvasWidget()->findChild<QLineEdit *>("lineEditstrSerial");
            TestUtil::retype(pName, "Typed");
            pStack->findChild<QPushButton *>("Application")->click();
            quiet();
            // The field shows the name the device holds unless the device took the one typed.
            bool bNameSent = false;
            for (const CSimRequest &r : m_pSim->requestsWithoutHeartbeat())
                bNameSent |= r.nCmd == g_getTexingIndex(QString::fromUtf8("系统设置")) && r.nReadOrWrite == 2;
            QCOMPARE(m_pSim->model().strDeviceName, QString::fromUtf8(bNameSent ? "Typed" : "演示设备"));
            QTRY_COMPARE(pName->text(), m_pSim->model().strDeviceName);
        } else if (strStep == "given") { // the read and two more, then one notice; the device answers again
            QCOMPARE(m_pSim->requests(35).size(), 3);
            QCOMPARE(TestUtil::said("notice"), 1);
            QCOMPARE(TestUtil::said("notice", QString(), QString::fromUtf8("画布未刷新")), 1);
            m_pSim->clearFaults();
        } else if (strStep == "third") { // the device stores a third scene, a copy of scene 2; the strip is refreshed
            m_pSim->model().scenes.append(m_pSim->model().scenes.at(1));
            m_pSim->model().scenes.last().strName = "S3";
            pStrip->findChild<QPushButton *>("btnReflash")->click();
            QTRY_VERIFY_WITH_TIMEOUT(ProgramTest::card(*pStrip, 3) && ProgramTest::card(*pStrip, 3)->checkCardIsUse(), 5000);
        } else if (strStep == "del2") { // stored scene 2 deleted from its card; nothing is said
            BesMessageBox::clearTestRecords();
            QVERIFY(ProgramTest::chooseEntry(ProgramTest::card(*pStrip, 2), QString::fromUtf8("删除场景")));
            QTRY_COMPARE_WITH_TIMEOUT(m_pSim->model().scenes.size(), 2, 5000);
        } else if (strStep == "unsaid") {
            QCOMPARE(TestUtil::said("notice"), 0);
        } else if (strStep == "osdshown") { // the OSD state and the live scene's OSD item are the device's
            const bool bOn = m_pSim->model().nOsdOn == 1;
            QTRY_COMPARE_WITH_TIMEOUT(CTarnSceneStore::osdOn("TSN"), bOn, 5000);
            QTRY_COMPARE_WITH_TIMEOUT(osdShown(scene(canvas()->takeScene())), bOn, 5000);
        } else if (strStep == "dbl2") { // scene 2 recalled by a double click on its card
            QTest::mouseDClick(ProgramTest::card(*pStrip, 2), Qt::LeftButton);
        } else if (strStep == "rename1") { // scene 1's card renamed "Renamed"
            CCardProgramWidget *pCard = ProgramTest::card(*pStrip, 1);
            QVERIFY(ProgramTest::chooseEntry(pCard, QString::fromUtf8("重命名场景")));
            QTRY_VERIFY(pCard->isEditingName());
            pCard->nameEditor()->setText("Renamed");
            QTest::keyClick(pCard->nameEditor(), Qt::Key_Return);
        } else if (strStep == "name2") { // input 2 named "Stage" from its row
            QTimer::singleShot(0, [] {
                QTRY_VERIFY(qobject_cast<CInputSetDlg *>(QApplication::activeModalWidget()));
                QApplication::activeModalWidget()->findChild<QLineEdit *>("lineEditName")->setText("Stage");
                QApplication::activeModalWidget()->findChild<QPushButton *>("btnOk")->click();
            });
            for (CDeviceItem *pRow : m_pWindow->editSceneMain()->findChildren<CDeviceItem *>())
                for (QAction *pEntry : pRow->menu()->actions())
                    if (pRow->getInputSrcIndex() == 1 && pEntry->text() == QString::fromUtf8("修改输入名称"))
                        pEntry->trigger();
        } else if (strStep == "elsewhere") { // the device's names changed by another client
            m_pSim->model().inputs[1].strName = "Hall";
            m_pSim->model().scenes[0].strName = "Main";
        } else if (strStep == "shown") { // the strip, the canvas and the rows show what the device holds
            const CSimDeviceModel &device = m_pSim->model();
            for (int i = 0; i < device.scenes.size(); ++i) {
                QTRY_COMPARE_WITH_TIMEOUT(ProgramTest::card(*pStrip, i + 1)->nameLabel()->text(), device.scenes.at(i).strName, 5000);
                QCOMPARE(ProgramTest::card(*pStrip, i + 1)->takeText(),
                         QString::fromUtf8(i + 1 == device.nTakeScene ? "已调用" : "未调用"));
            }
            for (CDeviceItem *pRow : m_pWindow->editSceneMain()->findChildren<CDeviceItem *>())
                QTRY_COMPARE_WITH_TIMEOUT(pRow->findChild<QLabel *>("labelName")->text().section("\r\n", 0, 0),
                                          device.inputs.at(pRow->getInputSrcIndex()).strName, 5000);
        } else if (strStep == "screen") { // 3840 x 2160 typed on the screen page and applied
            CPropertyStack *pStack = m_pWindow->editSceneMain()->propertyStack();
            TestUtil::retype(pStack->backCanvasWidget()->findChild<QLineEdit *>("lineScreenEditW"), "3840");
            TestUtil::retype(pStack->backCanvasWidget()->findChild<QLineEdit *>("lineScreenEditH"), "2160");
            pStack->findChild<QPushButton *>("Application")->click();
        } else if (strStep == "screenheld") { // the device's screen: canvas geometry, screen page, OSD item
            const CSimDeviceModel &device = m_pSim->model();
            QCOMPARE(g_rtBackCanvas.size(), QSize(device.nScreenWidth, device.nScreenHeight));
            QCOMPARE(m_pWindow->editSceneMain()->propertyStack()->backCanvasWidget()->findChild<QLineEdit *>("lineScreenEditW")->text(),
                     QString::number(device.nScreenWidth));
            QCOMPARE(osdShown(canvas()->currentScene()), device.nOsdOn == 1);
        } else if (strStep == "kept") { // the device and the canvas still hold scene 1 as first read
            QCOMPARE(layers(1, true), m_listStartLayers);
            QTRY_COMPARE(layers(1, false), m_listStartLayers);
            step("screenheld");
            // and the layer page shows the selected layer where the device keeps it
            CWndPosWidget *pPage = m_pWindow->editSceneMain()->propertyStack()->wndPosWidget();
            if (pPage->item() == canvas()->currentScene()->itemById(0))
                QTRY_COMPARE(pPage->findChild<QSpinBox *>("spinBoxX")->value(), m_pSim->model().scenes.at(0).layers.at(0).nX);
            return;
        } else if (strStep == "back0") { // L0 dragged 50 px away and back to the press point
            QVERIFY(canvas()->currentScene()->itemById(0));
            const QPoint pt = at(canvas()->currentScene()->itemById(0)->sceneBoundingRect().center());
            SceneTest::dragAwayAndBack(pView, pt, pt + QPoint(50, 12));
        } else if (strStep == "select0" || strStep == "move0" || strStep == "away0" || strStep == "drag0") {
            QVERIFY(canvas()->currentScene()->itemById(0));
            const QPoint pt = at(canvas()->currentScene()->itemById(0)->sceneBoundingRect().center());
            const QPoint ptTo = strStep == "move0" || strStep == "drag0" ? pt + QPoint(20, 30)
                : strStep == "away0"               ? at(rtCanvas.bottomRight() + QPointF(400, 300))
                                                   : pt;
            const CSimLayer before = m_pSim->model().scenes.at(0).layers.at(0);
            SceneTest::dragInView(pView, pt, ptTo);
            const auto after = [this]() { return m_pSim->model().scenes.at(0).layers.at(0); };
            if (strStep == "move0") { // a move keeps the layer's size
                QTRY_VERIFY_WITH_TIMEOUT(after().nX != before.nX, 5000);
                QCOMPARE(QSize(after().nWidth, after().nHeight), QSize(before.nWidth, before.nHeight));
            }
        } else { // "drop" on the canvas's first quarter, or "margin": in the grey beside it
            CDeviceItem *pRow = m_pWindow->editSceneMain()->findChild<CDeviceItem *>();
            const QPoint pt = at(strStep == "drop" ? QPointF(20, 20) : QPointF(rtCanvas.right() + 20, 20));
            QVERIFY(pView->viewport()->rect().contains(pt));
            QVERIFY(SceneTest::dropOn(pView, CDeviceItem::makeDragData(pRow->getDeviceImage(), pRow->dragCaption(),
                                                                       pRow->getInputSrcIndex()), pt));
        }
    }

private slots:
    void initTestCase()
    {
        MainWindow::setDiscoveryPort(0, QHostAddress::LocalHost);
        MainWindow::setSerialPortLister([]() { return QStringList(); });
    }

    void cleanup()
    {
        BesMessageBox::clearTestAnswer();
        m_pWindow.reset();
        m_pSim.reset();
        m_pSimZ.reset();
        CTcpDeviceThread::setEditedDeviceSerial(QString());
        QFile::remove("Morvane.ini");
    }

    // Scene 1 (L0, L1) is live; scene 2 holds one layer, or none. Each sequence ends with the
    // device's live scene equal to the canvas's, and the scene shown equal on both.
    void canvasFollowsTheDevice_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("yes");            // the answer to every question box
        QTest::addColumn<int>("scene2");          // layers stored in scene 2
        QTest::addColumn<int>("live");            // the device's live scene at the end
        QTest::addColumn<QString>("liveLayers");  // its layer ids, or its layers written in full
        QTest::addColumn<int>("total");           // layers in both scenes
        // A scene that is not live loses nothing to Clean or Delete: the recall is offered.
        QTest::newRow("clean scene 2, no") << "show2 clean" << false << 1 << 1 << "L0 L1" << 3;
        QTest::newRow("clean scene 2, yes") << "show2 clean" << true << 1 << 2 << "L0" << 3;
        QTest::newRow("delete last of scene 2, no") << "show2 delete" << false << 1 << 1 << "L0 L1" << 3;
        QTest::newRow("delete last of scene 2, yes") << "show2 delete" << true << 1 << 2 << "L0" << 3;
        // A drop the device is not sent makes no layer.
        QTest::newRow("drop beside the canvas") << "margin" << true << 1 << 1 << "L0 L1" << 3;
        QTest::newRow("drop on the canvas") << "drop" << true << 1 << 1 << "L0 L1 L2" << 4;
        // A deleted layer stays gone; the next drop takes its free id and leaves L1 alone.
        QTest::newRow("delete L0, drop") << "select0 delete drop" << true << 1 << 1 << "L0 L1" << 3;
        // A recall shows the stored layers; Delete then takes the selected layer only.
        QTest::newRow("unsaved move, recall") << "move0 recall" << true << 1 << 1 << "L0 L1" << 3;
        QTest::newRow("clean, recall") << "clean recall" << true << 1 << 1 << "L0 L1" << 3;
        QTest::newRow("clean, recall, delete L0") << "clean recall select0 delete" << true << 1 << 1 << "L1" << 2;
        // Layers changed here stay as changed when the device's scenes are read again.
        QTest::newRow("clean, drop, update 2") << "clean drop update" << true << 1 << 1 << "L0" << 2;
        QTest::newRow("delete L0, update 2") << "select0 delete update" << true << 1 << 1 << "L1" << 2;
        QTest::newRow("drag L0 off the canvas") << "away0" << true << 1 << 1 << "L0 L1" << 3;
        // Dragged away and back to where it was pressed: canvas, layer page and device agree.
        QTest::newRow("drag L0 away and back") << "select0 back0 kept" << true << 1 << 1 << "L0 L1" << 3;
        // Dragged across the middle of a split screen, L0 takes L1 off; the read that shows it is refused.
        QTest::newRow("split screen: L0 across, scene read refused") << "split move0" << true << 1 << 1 << "L0" << 2;
        // Edits made while the device is switched off go nowhere; the canvas keeps what was read.
        QTest::newRow("switched off: drag, on") << "select0 off drag0 kept on kept" << true << 1 << 1 << "L0 L1" << 3;
        QTest::newRow("switched off: screen size, on") << "osd osdsent off screen kept on kept" << true << 1 << 1 << "L0 L1" << 3;
        QTest::newRow("screen size taken") << "screen screenheld" << true << 1 << 1 << "" << 1;
        // Scene, card and input edits made while off: every panel shows what the device holds, then
        // what it holds after the switch-on.
        QTest::newRow("switched off: recall, rename, input name, on")
            << "off dbl2 rename1 name2 shown elsewhere on shown" << true << 1 << 1 << "L0 L1" << 3;
        // A layer edit on a scene the device is not showing (a recall is on its way) offers the
        // recall; Cancel sends nothing.
        QTest::newRow("transparency after a recall of 2") << "select0 recall2 trans" << false << 1 << 2 << "L0 0,0 960x540 t255" << 3;
        QTest::newRow("fill the screen, recall of 2 on its way") << "select0 recall2+auto" << true << 1 << 1 << "L0 L1" << 3;
        // Another device's screen leaves the canvas's geometry alone, and drags go out in it.
        QTest::newRow("Z device beside, drag L0") << "zon move0" << true << 1 << 1 << "L0 L1" << 3;
        // An OSD sent while off goes nowhere: neither then nor after the switch-on is one shown.
        QTest::newRow("switched off: OSD made and sent, on") << "off osd osdshown on osdshown" << true << 1 << 1 << "L0 L1" << 3;
        // Clean refused at the queue's bound: the layers and the OSD stay on the device and on screen.
        QTest::newRow("OSD on, clean at the queue's bound")
            << "osd osdsent full+clean+osdshown+answer" << true << 1 << 1 << "L0 L1" << 3;
        QTest::newRow("empty scene: drop, recall") << "show2 recall drop recall" << true << 0 << 2 << "" << 2;
        // Scene reads the device refuses, or leaves unanswered: the read and two more, one notice,
        // and the records handed back to the canvas ask nothing again.
        QTest::newRow("scene reads refused") << "refuse given" << true << 1 << 1 << "L0 L1" << 3;
        QTest::newRow("scene reads unanswered") << "mute given" << true << 1 << 1 << "L0 L1" << 3;
        // Reads of the scene just clicked given up: the strip and the canvas name one scene.
        QTest::newRow("scene 2 reads refused") << "refuse2 given outlined" << true << 1 << 1 << "L0 L1" << 3;
        // A device name typed on the page of a scene not shown on the device, whatever the
        // answer to the recall question.
        QTest::newRow("name typed on scene 2, no") << "show2 devname outlined" << false << 1 << 1 << "L0 L1" << 3;
        QTest::newRow("name typed on scene 2, yes") << "show2 devname outlined" << true << 1 << 2 << "L0" << 3;
        // every give-up said, the second on the link too
        QTest::newRow("scene reads refused, then another scene's") << "refuse given refuse2 given" << true << 1 << 1 << "L0 L1" << 3;
        // A stored scene deleted before the last one: the read of the scene shown next follows the
        // device's new numbering.
        QTest::newRow("third scene, delete 2") << "third del2 unsaid shown" << true << 1 << 1 << "L0 L1" << 3;
    }

    void canvasFollowsTheDevice()
    {
        QFETCH(QString, steps);
        QFETCH(bool, yes);
        QFETCH(int, scene2);
        QFETCH(int, live);
        QFETCH(QString, liveLayers);
        QFETCH(int, total);
        for (int i = 0; i < 20 && !m_pSim; ++i) {
            m_pSim.reset(new CDeviceSimulator(CSimDeviceModel::Tarn, 4, 2));
            if (!m_pSim->listen(QHostAddress("127.0.0.8"), 0))
                m_pSim.reset();
        }
        QVERIFY(m_pSim);
        m_pSim->setSerial("TSN");
        m_pSim->model().scenes[1].layers.resize(scene2);
        MainWindow::setDevicePort(m_pSim->port());
        m_pWindow.reset(new MainWindow);
        m_pWindow->slot_newDevice({"127.0.0.8", QString(), "Tarn-3", "TSN"});
        QTest::mouseClick(m_pWindow->checkR4Exist("TSN")->switchButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_pWindow->getCurrentDevice("TSN")->getDeviceInfo()->vectorInput.size(), 4, 5000);
        m_pWindow->checkR4Exist("TSN")->findChild<QPushButton *>("btnEdit")->click();
        QTRY_VERIFY_WITH_TIMEOUT(scene(1) && scene(1)->layerItems().size() == 2, 5000);
        quiet();
        m_listStartLayers = layers(1, true);
        BesMessageBox::setTestAnswer(yes ? QMessageBox::Ok : QMessageBox::Cancel);
        // Steps joined by '+' follow each other at once: no reply is handled between them.
        for (const QString &strSteps : steps.split(' ')) {
            for (const QString &strStep : strSteps.split('+')) {
                step(strStep);
                if (QTest::currentTestFailed())
                    return;
            }
            quiet();
        }

        const CSimDeviceModel &device = m_pSim->model();
        int nTake = -1;
        QString strSerial;
        canvas()->getNTakeScene(nTake, strSerial);
        QCOMPARE(device.nTakeScene, live);
        QCOMPARE(nTake, live);
        QCOMPARE(layers(live, false), layers(live, true));
        QCOMPARE(scene(live)->m_nLayerUse, device.scenes.at(live - 1).layers.size());
        QStringList ids;
        for (const QString &strLayer : layers(live, true))
            ids << strLayer.section(' ', 0, 0);
        QCOMPARE(liveLayers.contains(',') ? layers(live, true).join(' ') : ids.join(' '), liveLayers);
        QCOMPARE(device.scenes.at(0).layers.size() + device.scenes.at(1).layers.size(), total);
        const int nShown = int(canvas()->currentScene()->getSceneID());
        QCOMPARE(layers(nShown, false), layers(nShown, true));
        step("osdshown");
    }
};

VISTEL_TEST_MAIN(TestLiveScene)
#include "tst_livescene.moc"
