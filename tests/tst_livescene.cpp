// The Tarn canvas against a simulated device: clean, delete, drops and recalls leave the device's
// live scene and the canvas's copy of it alike (layers by id and geometry), and a scene that is
// not live is never changed.
#include "TestMain.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QToolButton>

#include <memory>

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
#include "ProgramListWidget.h"
#include "ProgramSpy.h"
#include "SceneTestUtil.h"
#include "SimTestUtil.h"
#include "SwitchButton.h"
#include "TarnSceneStore.h"
#include "TcpDeviceThread.h"
#include "ToolBar.h"
#include "mainwindow.h"

class TestLiveScene : public QObject
{
    Q_OBJECT

    std::unique_ptr<CDeviceSimulator> m_pSim;
    MainWindow *m_pWindow = nullptr;

    // A Tarn device with scenes 1 (two layers, live) and 2 (nScene2Layers stored layers), its
    // frame open and quiet.
    bool open(int nScene2Layers = 2)
    {
        bool bListening = false;
        for (int i = 0; i < 20 && !bListening; ++i) {
            m_pSim.reset(new CDeviceSimulator(CSimDeviceModel::Tarn, 4, 2));
            m_pSim->setSerial("TSN");
            bListening = m_pSim->listen(QHostAddress("127.0.0.8"), 0);
        }
        m_pSim->model().scenes[1].layers.resize(nScene2Layers);
        MainWindow::setDevicePort(m_pSim->port());
        m_pWindow = new MainWindow;
        m_pWindow->slot_newDevice({"127.0.0.8", QString(), "Tarn-3", "TSN"});
        QTest::mouseClick(m_pWindow->checkR4Exist("TSN")->switchButton(), Qt::LeftButton);
        if (!QTest::qWaitFor([this]() { return worker()->getDeviceInfo()->vectorInput.size() == 4; }, 5000))
            return false;
        m_pWindow->checkR4Exist("TSN")->findChild<QPushButton *>("btnEdit")->click();
        if (!QTest::qWaitFor([this]() { return scene(1) && scene(1)->layerItems().size() == 2; }, 5000))
            return false;
        quiet();
        return true;
    }

    CTcpDeviceThread *worker() const { return m_pWindow->getCurrentDevice("TSN"); }
    CEditSceneCanvas *canvas() const { return m_pWindow->editSceneMain()->canvas(); }
    CEditBaseScene *scene(int nId) const { return CTarnSceneStore::instance()->scene("TSN", nId); }
    CCardProgramWidget *card(int nId) const
    {
        return ProgramTest::card(*m_pWindow->editSceneMain()->programListWidget(), nId);
    }
    void quiet() { SimTest::settle(*worker(), *m_pSim, 300); }
    void deleteButton() { canvas()->toolStrip()->findChild<QAbstractButton *>("btnDelete")->click(); }

    QStringList deviceLayers(int nId)
    {
        QStringList list;
        for (const CSimLayer &l : m_pSim->model().scenes.at(nId - 1).layers)
            list << QString("L%1 %2,%3 %4x%5").arg(l.nIndex).arg(l.nX).arg(l.nY).arg(l.nWidth).arg(l.nHeight);
        list.sort();
        return list;
    }
    QStringList canvasLayers(int nId)
    {
        QStringList list;
        for (CEditSingleTextItem *p : scene(nId)->layerItems()) {
            int x, y, w, h;
            p->getItemPos(x, y);
            p->getItemSize(w, h);
            list << QString("L%1 %2,%3 %4x%5").arg(p->getItemId()).arg(x).arg(y).arg(w).arg(h);
        }
        list.sort();
        return list;
    }
    // The live scene and its layers, as the canvas shows them and as the device holds them.
    void liveSceneMatches()
    {
        quiet();
        int nTake = -1;
        QString strSerial;
        canvas()->getNTakeScene(nTake, strSerial);
        QCOMPARE(nTake, m_pSim->model().nTakeScene);
        QCOMPARE(canvasLayers(nTake), deviceLayers(nTake));
        QCOMPARE(scene(nTake)->m_nLayerUse, m_pSim->model().scenes.at(nTake - 1).layers.size());
    }
    bool dropAt(const QPointF &ptScene)
    {
        CEditBaseView *pView = canvas()->view();
        const QPoint pt = pView->mapFromScene(ptScene);
        CDeviceItem *pRow = m_pWindow->editSceneMain()->findChild<CDeviceItem *>();
        return pView->viewport()->rect().contains(pt)
               && SceneTest::dropOn(pView, CDeviceItem::makeDragData(pRow->getDeviceImage(), pRow->dragCaption(), pRow->getInputSrcIndex()), pt);
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
        BesMessageBox::clearTestRecords();
        delete m_pWindow;
        m_pWindow = nullptr;
        m_pSim.reset();
        CTcpDeviceThread::setEditedDeviceSerial(QString());
        QFile::remove("Morvane.ini");
    }

    // Clean, and Delete of the last layer, on a scene that is not live only offer the recall:
    // neither scene loses a layer, whatever the answer. On the live scene, after a clean and a
    // recall that brought the stored layers back, Delete takes the selected layer alone.
    void cleanAndDeleteNeverTouchAnotherScene_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("live");   // the live scene's layer ids on the device
        QTest::addColumn<int>("take");
        const QStringList both{"L0", "L1"};
        QTest::newRow("clean scene 2, no") << "clean" << 2 << false << both << 1;
        QTest::newRow("clean scene 2, yes") << "clean" << 2 << true << QStringList{"L0"} << 2;
        QTest::newRow("delete last of scene 2, no") << "delete" << 2 << false << both << 1;
        QTest::newRow("delete last of scene 2, yes") << "delete" << 2 << true << QStringList{"L0"} << 2;
        QTest::newRow("delete on scene 1 after clean and recall") << "clean, recall, delete" << 1 << true
                                                                  << QStringList{"L1"} << 1;
    }

    void cleanAndDeleteNeverTouchAnotherScene()
    {
        QFETCH(QString, action);
        QFETCH(int, shown);
        QFETCH(bool, yes);
        QFETCH(QStringList, live);
        QFETCH(int, take);
        QVERIFY(open(1));
        BesMessageBox::setTestAnswer(yes ? QMessageBox::Ok : QMessageBox::Cancel);
        QTest::mouseClick(card(shown), Qt::LeftButton);
        QTRY_COMPARE(canvas()->currentScene(), scene(shown));
        quiet();
        m_pSim->clearRequests();
        if (action == "clean") {
            canvas()->cleanButton()->click();
        } else if (action == "delete") {
            deleteButton();
        } else {
            canvas()->cleanButton()->click();
            QVERIFY(ProgramTest::chooseEntry(card(1), QString::fromUtf8("调用场景")));
            QTRY_COMPARE_WITH_TIMEOUT(scene(1)->layerItems().size(), 2, 5000);
            quiet();
            CEditBaseView *pView = canvas()->view();
            QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::NoModifier,
                              pView->mapFromScene(scene(1)->itemById(0)->sceneBoundingRect().center()));
            QTRY_VERIFY(scene(1)->itemById(0)->isSelected());
            deleteButton();
        }
        liveSceneMatches();
        QCOMPARE(m_pSim->model().nTakeScene, take);
        QStringList ids;
        for (const CSimLayer &l : m_pSim->model().scenes.at(take - 1).layers)
            ids << QString("L%1").arg(l.nIndex);
        QCOMPARE(ids, live);
        QCOMPARE(m_pSim->model().scenes.at(0).layers.size() + m_pSim->model().scenes.at(1).layers.size(),
                 action.startsWith("clean,") ? 2 : 3);
        if (action != "clean, recall, delete")
            QVERIFY(!m_pSim->hasRequest(34, 41) && !m_pSim->hasRequest(34, 40));
        QCOMPARE(canvasLayers(shown), deviceLayers(shown));
    }

    // A drop in the grey margin beside the canvas makes no layer (the device is not sent it);
    // a drop on the canvas makes one on both.
    void dropBesideTheCanvasMakesNoLayer_data()
    {
        QTest::addColumn<int>("dx");       // from the canvas's right edge, in scene units
        QTest::addColumn<int>("layers");
        QTest::newRow("margin") << 20 << 2;
        QTest::newRow("canvas") << -100 << 3;
    }

    void dropBesideTheCanvasMakesNoLayer()
    {
        QFETCH(int, dx);
        QFETCH(int, layers);
        QVERIFY(open());
        QVERIFY(dropAt(QPointF(scene(1)->getBackCanvasRect().right() + 1 + dx, 20)));
        liveSceneMatches();
        QCOMPARE(scene(1)->layerItems().size(), layers);
        QCOMPARE(m_pSim->model().scenes.at(0).layers.size(), layers);
    }

    // L0 of two deleted: the canvas holds L1 alone, as the device does, and the next drop
    // takes the free id 0 instead of replacing L1.
    void deletedLayerStaysGone()
    {
        QVERIFY(open());
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        const QStringList before = deviceLayers(1);
        CEditBaseView *pView = canvas()->view();
        QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::NoModifier,
                          pView->mapFromScene(scene(1)->itemById(0)->sceneBoundingRect().center()));
        QTRY_VERIFY(scene(1)->itemById(0)->isSelected());
        deleteButton();
        QTRY_COMPARE_WITH_TIMEOUT(m_pSim->model().scenes.at(0).layers.size(), 1, 5000);
        liveSceneMatches();
        QCOMPARE(canvasLayers(1), QStringList{before.at(1)});

        QVERIFY(dropAt(QPointF(100, 20)));
        liveSceneMatches();
        QCOMPARE(canvasLayers(1).size(), 2);
        QVERIFY(canvasLayers(1).contains(before.at(1)));
    }

    // After a recall the canvas shows what the device stored: unsaved edits and a clean are
    // undone, and a scene stored without layers reads back empty.
    void recallReadsTheSceneBack_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("recalled");
        QTest::newRow("unsaved move") << "move" << 1;
        QTest::newRow("clean") << "clean" << 1;
        QTest::newRow("layer added to an empty scene") << "drop" << 2;
    }

    void recallReadsTheSceneBack()
    {
        QFETCH(QString, before);
        QFETCH(int, recalled);
        QVERIFY(open(0));
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        QTest::mouseDClick(card(recalled), Qt::LeftButton);
        QTest::mouseClick(card(recalled), Qt::LeftButton);
        QTRY_COMPARE(canvas()->currentScene(), scene(recalled));
        const QStringList stored = deviceLayers(recalled);
        CEditBaseView *pView = canvas()->view();
        if (before == "move") {
            const QPoint pt = pView->mapFromScene(scene(1)->itemById(0)->sceneBoundingRect().center());
            const auto mouse = [pView](QEvent::Type type, const QPoint &at, Qt::MouseButtons buttons) {
                QMouseEvent e(type, at, pView->viewport()->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
                QApplication::sendEvent(pView->viewport(), &e);
            };
            mouse(QEvent::MouseButtonPress, pt, Qt::LeftButton);
            mouse(QEvent::MouseMove, pt + QPoint(10, 15), Qt::LeftButton);
            mouse(QEvent::MouseMove, pt + QPoint(20, 30), Qt::LeftButton);
            mouse(QEvent::MouseButtonRelease, pt + QPoint(20, 30), Qt::NoButton);
        } else if (before == "clean") {
            canvas()->cleanButton()->click();
        } else {
            QVERIFY(dropAt(QPointF(100, 20)));
        }
        quiet();
        QVERIFY(deviceLayers(recalled) != stored);

        QVERIFY(ProgramTest::chooseEntry(card(recalled), QString::fromUtf8("调用场景")));
        liveSceneMatches();
        QCOMPARE(canvasLayers(recalled), stored);
    }
};

VISTEL_TEST_MAIN(TestLiveScene)
#include "tst_livescene.moc"
