#include "TestMain.h"

#include <QDropEvent>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "BaseSlider.h"
#include "BesMessageBox.h"
#include "DeviceFrame.h"
#include "DeviceItem.h"
#include "DeviceSimulator.h"
#include "EditBaseItemBorder.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSceneCanvas.h"
#include "EditSingleTextItem.h"
#include "HubSpy.h"
#include "QorGlobal.h"
#include "SceneTestUtil.h"
#include "SimTestUtil.h"
#include "TarnSceneStore.h"
#include "TcpDeviceThread.h"
#include "globalObserver.h"

namespace {

// One device command as the canvas, its scenes and items notify it.
struct Cmd
{
    QString strName;
    QByteArray payload;
    int nRw;
    int nSub;
};

// Records the topics the canvas sends to its neighbours.
class CCanvasSpy : public QObject
{
    Q_OBJECT
public:
    CCanvasSpy()
    {
        for (const char *pszTopic : {"slot_setDeviceCmd", "slot_propertyDataChange", "slot_updateItemPos",
                                     "slot_updateLayoutTakeStatus", "slot_destroySceneMain", "slot_updateProgramLayout"})
            globalObserver::getGlobalObserver()->attach(pszTopic, this, pszTopic);
    }
    ~CCanvasSpy() override
    {
        for (const char *pszTopic : {"slot_setDeviceCmd", "slot_propertyDataChange", "slot_updateItemPos",
                                     "slot_updateLayoutTakeStatus", "slot_destroySceneMain", "slot_updateProgramLayout"})
            globalObserver::getGlobalObserver()->detach(pszTopic, this);
    }
    QList<Cmd> cmds;
    QList<QGraphicsItem *> properties;
    QList<int> takeStatus;
    QStringList takeSerials;
    int nItemPos = 0;
    int nDestroyMain = 0;
    int nProgramLayout = 0;
    void clear()
    {
        cmds.clear();
        properties.clear();
        takeStatus.clear();
        takeSerials.clear();
        nItemPos = nDestroyMain = nProgramLayout = 0;
    }
    QList<Cmd> named(const QString &strName, int nSub) const
    {
        QList<Cmd> list;
        for (const Cmd &c : cmds)
            if (c.strName == strName && c.nSub == nSub)
                list << c;
        return list;
    }

public slots:
    void slot_setDeviceCmd(QString, QString strCmd, QByteArray &data, int nRw, int nSub)
    {
        cmds.append({strCmd, data, nRw, nSub});
    }
    void slot_propertyDataChange(QGraphicsItem *pItem) { properties.append(pItem); }
    void slot_updateItemPos(bool) { ++nItemPos; }
    void slot_updateLayoutTakeStatus(int nId, QString strSerial)
    {
        takeStatus.append(nId);
        takeSerials.append(strSerial);
    }
    void slot_destroySceneMain() { ++nDestroyMain; }
    void slot_updateProgramLayout() { ++nProgramLayout; }
};

const QString LAYER = QString::fromUtf8("图层设置");
const QString SCENE = QString::fromUtf8("场景操作");
const QString OSD = QString::fromUtf8("OSD参数设置");

// The device's scenes as their owner holds them: parentless, deleted by the
// owner alone.
struct Device
{
    std::vector<std::unique_ptr<CEditBaseScene>> scenes;
    QList<CEditBaseScene *> list;

    CEditBaseScene *add(unsigned nId, int nLayerCount = 8, int nCanvasCount = 0, int nLayerUse = 0)
    {
        scenes.emplace_back(new CEditBaseScene);
        CEditBaseScene *pScene = scenes.back().get();
        pScene->setSceneID(nId);
        pScene->setSceneName(QString("S%1").arg(nId));
        pScene->m_nLayerCount = nLayerCount;
        pScene->m_nCanvasCount = nCanvasCount;
        pScene->m_nLayerUse = nLayerUse;
        pScene->m_nWidth = 1920;
        pScene->m_nHeight = 1080;
        list.append(pScene);
        return pScene;
    }
};

// A layer on the source, centred at x (scene units) in the top half.
CEditSingleTextItem *addLayer(CEditBaseScene *pScene, int nSource, qreal dCentreX = 200, int nState = 1)
{
    qreal dDuration = 0;
    const int nId = pScene->createSingleTextItem("", "IN", QSize(int(g_nWidth), int(g_nHeight)), QPointF(0, 0),
                                                 dDuration, nSource);
    auto *pLayer = static_cast<CEditSingleTextItem *>(pScene->itemById(nId));
    pLayer->moveItem(QPointF(dCentreX, g_nHeight / 2.0));
    pLayer->m_nLayerState = nState;
    pLayer->setSelected(false);
    return pLayer;
}

void dropOn(CEditBaseView *pView, const QByteArray &data, const QPoint &pt)
{
    QVERIFY(SceneTest::dropOn(pView, data, pt));
}

int layerCount(CEditBaseScene *pScene)
{
    return pScene->layerItems().size();
}
}

class TestCanvas : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<CEditSceneCanvas> m_pCanvas;
    std::unique_ptr<Device> m_pDevice;
    std::unique_ptr<CCanvasSpy> m_pSpy;

    // A canvas on scenes 1 and 2 of device "SN1", scene 1 live and current.
    CEditBaseScene *start(int nLayerCount = 8, int nCanvasCount = 0)
    {
        m_pDevice->add(1, nLayerCount, nCanvasCount);
        m_pDevice->add(2, nLayerCount, nCanvasCount);
        m_pCanvas->setSceneData("SN1", m_pDevice->list, false, 1);
        m_pSpy->clear();
        return m_pCanvas->currentScene();
    }

private slots:
    void init()
    {
        g_nWidth = 480;
        g_nHeight = 320;
        g_setDefaultDesktop(1920, 1080);
        g_OSDState = false;
        g_bIsPlay = false;
        m_pCanvas.reset(new CEditSceneCanvas);
        m_pCanvas->setDeviceModel("Tarn-2");
        m_pCanvas->resize(800, 600);
        m_pDevice.reset(new Device);
        m_pSpy.reset(new CCanvasSpy);
        BesMessageBox::clearTestRecords();
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
    }

    void cleanup()
    {
        BesMessageBox::clearTestAnswer();
        m_pCanvas.reset();
        m_pDevice.reset();
        m_pSpy.reset();
    }

    // ------------------------------------------------------------ scenes

    void keepsEveryDistinctDeviceScene()
    {
        // Handed over as 2 then 1, the first one again, and another scene
        // claiming id 2: two scenes, with the device's ids.
        CEditBaseScene *p2 = m_pDevice->add(2);
        CEditBaseScene *p1 = m_pDevice->add(1);
        m_pDevice->list.append(p2);
        m_pDevice->add(2);
        m_pCanvas->setSceneData("SN1", m_pDevice->list, false, 1);
        QCOMPARE(m_pCanvas->sceneList(), (QList<CEditBaseScene *>{p2, p1}));
        QCOMPARE(p2->getSceneID(), 2u);
        QCOMPARE(m_pCanvas->currentScene(), p1);
        QCOMPARE(p1->m_strSerial, QString("SN1"));
        QCOMPARE(p1->view(), m_pCanvas->view());
    }

    void readsLayersOfKnownScenesOnly()
    {
        m_pDevice->add(1);
        m_pDevice->add(2, 8, 0, 4);
        m_pDevice->add(3);
        // Records handed to the canvas (a binding, a hand-back after a failed read) are shown,
        // not read again: a read they set off could fail and hand them back once more.
        m_pCanvas->setSceneData("SN1", m_pDevice->list, false, 2);
        m_pCanvas->setSceneData("SN1", m_pDevice->list, false, 2);
        QVERIFY(m_pSpy->cmds.isEmpty());
        QCOMPARE(int(m_pCanvas->currentScene()->getSceneID()), 2);

        m_pCanvas->changeSceneById(9);
        QVERIFY(m_pSpy->cmds.isEmpty());
        QCOMPARE(int(m_pCanvas->currentScene()->getSceneID()), 2);

        // The operator's change of scene reads the scene's layers, once.
        m_pCanvas->slot_changeCanvasScene(3);
        QVERIFY(m_pSpy->cmds.isEmpty());
        m_pCanvas->slot_changeCanvasScene(3);
        QVERIFY(m_pSpy->cmds.isEmpty());
        m_pCanvas->slot_changeCanvasScene(2);
        QList<Cmd> reads = m_pSpy->named(SCENE, 80);
        QCOMPARE(reads.size(), 1);
        QCOMPARE(reads.first().payload, QByteArray::fromHex("020003"));
        QCOMPARE(reads.first().nRw, 1);

        m_pSpy->clear();
        m_pCanvas->slot_updateCurrentData();
        QCOMPARE(m_pSpy->named(SCENE, 0).first().payload, QByteArray::fromHex("02"));
    }

    // A scene whose size the device has not told yet (0 x 0), or a screen
    // size of 0, leaves the scale factors as they were.
    void zeroSizesNeverReachTheScaleFactors()
    {
        CEditBaseScene *pScene = m_pDevice->add(1);
        pScene->m_nWidth = 0;
        pScene->m_nHeight = 0;
        const qreal dW = g_dWScale;
        const qreal dH = g_dHScale;
        m_pCanvas->setSceneData("SN1", m_pDevice->list, false, 1);
        QCOMPARE(g_dWScale, dW);
        QCOMPARE(g_dHScale, dH);
        QRect rt(0, 0, 0, 1080);
        m_pCanvas->slot_resizePlayWnd(rt);
        QCOMPARE(g_dWScale, dW);
        QVERIFY(qIsFinite(g_dHScale) && g_dHScale > 0);
    }

    void answersTakeSceneQueries()
    {
        start();
        globalObserver *pHub = globalObserver::getGlobalObserver();
        bool bTake = false;
        pHub->notify("slot_isTakeScene", Q_ARG(int, 1), Q_ARG(bool &, bTake));
        QVERIFY(bTake);
        pHub->notify("slot_setTakeScene", Q_ARG(int, 2));
        pHub->notify("slot_isTakeScene", Q_ARG(int, 1), Q_ARG(bool &, bTake));
        QVERIFY(!bTake);
        int nTake = 0;
        QString strSerial;
        pHub->notify("getNTakeScene", Q_ARG(int &, nTake), Q_ARG(QString &, strSerial));
        QCOMPARE(nTake, 2);
        QCOMPARE(strSerial, QString("SN1"));
        QVERIFY(m_pSpy->cmds.isEmpty());
    }

    // The owner deletes a scene (the device dropped it): the canvas lets go
    // of it at once and goes on with the rest.
    void sceneDeletedByItsOwnerLeavesTheCanvas()
    {
        CEditBaseScene *pCurrent = start();
        m_pDevice->scenes.front().reset();
        QCOMPARE(m_pCanvas->sceneList().size(), 1);
        QVERIFY(!m_pCanvas->currentScene());
        QVERIFY(pCurrent != m_pCanvas->sceneList().first());
        m_pCanvas->slot_changeCanvasScene(2);
        QCOMPARE(int(m_pCanvas->currentScene()->getSceneID()), 2);
        m_pCanvas->destroyCanvas();
        QVERIFY(m_pCanvas->sceneList().isEmpty());
        // The owner's scene is still whole.
        QCOMPARE(m_pDevice->scenes.back()->getSceneID(), 2u);
    }

    // ------------------------------------------------------------- drops

    void dropOfAnInputSourceAddsALayer()
    {
        CEditBaseScene *pScene = start();
        CEditBaseView *pView = m_pCanvas->view();
        const QPoint pt(30, 40);
        const QPointF ptScene = pView->mapToScene(pt);
        dropOn(pView, CDeviceItem::makeDragData(":/res/res/image/hdmi-en.png", "HDMI1", 2), pt);
        QCOMPARE(layerCount(pScene), 1);
        CEditSingleTextItem *pLayer = pScene->layerItems().first();
        QCOMPARE(pLayer->m_nMainSig, 2);
        QCOMPARE(m_pSpy->named(LAYER, 0).size(), 1);
        QVERIFY(ptScene.x() >= 0 && ptScene.y() >= 0);
        QVERIFY(m_pCanvas->playButton()->isEnabled());
    }

    void malformedDropsAddNothing_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray good = CDeviceItem::makeDragData("f", "IN1", 1);
        QTest::newRow("cut short") << good.left(good.size() - 2);
        QTest::newRow("empty") << QByteArray();
        QByteArray video;
        QDataStream stream(&video, QIODevice::WriteOnly);
        stream << qint32(MediaType_Video) << QString("f") << QString("f") << QString("IN1") << qint32(1);
        QTest::newRow("not an input source") << video;
    }

    void malformedDropsAddNothing()
    {
        QFETCH(QByteArray, data);
        CEditBaseScene *pScene = start();
        dropOn(m_pCanvas->view(), data, QPoint(30, 40));
        QCOMPARE(layerCount(pScene), 0);
        QVERIFY(m_pSpy->cmds.isEmpty());
    }

    void dropReachesTheDeviceAsTheLayerCommand()
    {
        CDeviceSimulator sim(CSimDeviceModel::Tarn);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        CHubSpy router;
        router.setRouteTo(&worker);
        QVERIFY(SimTest::connectWorker(worker, sim, "SN1"));
        SimTest::settle(worker, sim);
        sim.clearRequests();
        start();
        dropOn(m_pCanvas->view(), CDeviceItem::makeDragData("f", "IN3", 3), QPoint(20, 20));
        QTRY_VERIFY(sim.hasRequest(34, 0));
        QCOMPARE(quint8(sim.requests(34, 0).first().payload.at(0)), quint8(0));
    }

    // ---------------------------------------------------- limits, conflicts

    void recallBeforeADrop_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("layers");
        QTest::newRow("declined") << "Tarn-2" << int(QMessageBox::Cancel) << 0;
        QTest::newRow("recalled, then added") << "Tarn-2" << int(QMessageBox::Ok) << 1;
        QTest::newRow("Tarn-3 recalls only") << "Tarn-3" << int(QMessageBox::Ok) << 0;
    }

    void recallBeforeADrop()
    {
        QFETCH(QString, model);
        QFETCH(int, answer);
        QFETCH(int, layers);
        m_pCanvas->setDeviceModel(model);
        start();
        m_pCanvas->slot_changeCanvasScene(2);
        CEditBaseScene *pScene = m_pCanvas->currentScene();
        m_pSpy->clear();
        BesMessageBox::setTestAnswer(answer);
        QPointF pt(10, 10);
        m_pCanvas->slot_addCanvasItem(pt, "f", "IN1", MediaType_SingleText, 1);
        QCOMPARE(layerCount(pScene), layers);
        const QList<Cmd> recalls = m_pSpy->named(SCENE, 20);
        if (answer == QMessageBox::Ok) {
            QCOMPARE(recalls.size(), 1);
            QCOMPARE(recalls.first().payload, QByteArray::fromHex("02"));
            QCOMPARE(m_pCanvas->takeScene(), 2);
            QCOMPARE(m_pSpy->takeStatus, QList<int>{2});
            QCOMPARE(m_pSpy->takeSerials, QStringList{"SN1"});
        } else {
            QVERIFY(recalls.isEmpty());
            QCOMPARE(m_pCanvas->takeScene(), 1);
        }
    }

    void refusesADropWhileOSDIsOn()
    {
        CEditBaseScene *pScene = start();
        g_OSDState = true;
        QPointF pt(10, 10);
        m_pCanvas->slot_addCanvasItem(pt, "f", "IN1", MediaType_SingleText, 1);
        QCOMPARE(layerCount(pScene), 0);
        QCOMPARE(BesMessageBox::testRecords().last().text, QString::fromUtf8("请关闭OSD设置后再添加图层"));
        g_OSDState = false;
    }

    // Two Tarn devices edited in turn on the one canvas: the OSD state and index shown, checked
    // and sent are the edited device's own. SN1 says its OSD is on before any device is edited.
    void osdIsTheEditedDevicesOwn()
    {
        CTarnSceneStore store;
        CTcpDeviceThread t1, t2;
        t1.setDeviceSerial("SN1");
        t2.setDeviceSerial("SN2");
        t1.injectReceivedData(CDeviceFrame::buildReply(40, 1, 2, QByteArray(1, '\x01')));
        QVERIFY(!g_OSDState);
        store.bindDevice(&t1);
        CEditBaseScene *pScene1 = start();
        QVERIFY(pScene1->osdItem());
        g_OSDindex = 5; // the OSD settings dialog's choice for SN1
        Device device2;
        device2.add(1);
        store.bindDevice(&t2);
        m_pCanvas->setSceneData("SN2", device2.list, false, 1);
        CEditBaseScene *pScene2 = m_pCanvas->currentScene();
        QVERIFY(!pScene2->osdItem());
        QPointF pt(10, 10);
        m_pCanvas->slot_addCanvasItem(pt, "f", "IN1", MediaType_SingleText, 1);
        QCOMPARE(layerCount(pScene2), 1);
        g_OSDindex = 3;
        m_pSpy->clear();
        m_pCanvas->slot_selectToolBar(CEditSceneCanvas::ToolBar_Clean);
        QCOMPARE(m_pSpy->named(OSD, 2).first().payload, QByteArray::fromHex("0003"));
        // back on SN1, whose OSD is still on: a drop is refused, and its own index goes out
        store.bindDevice(&t1);
        m_pCanvas->setSceneData("SN1", m_pDevice->list, false, 1);
        QVERIFY(g_OSDState);
        m_pCanvas->slot_addCanvasItem(pt, "f", "IN1", MediaType_SingleText, 1);
        QCOMPARE(layerCount(pScene1), 0);
        m_pSpy->clear();
        m_pCanvas->slot_selectToolBar(CEditSceneCanvas::ToolBar_Clean);
        QCOMPARE(m_pSpy->named(OSD, 2).first().payload, QByteArray::fromHex("0005"));
        g_OSDState = false;
        g_OSDindex = 0;
    }

    // A layer across the middle of a one-canvas scene counts twice; three of
    // them stop every drop.
    void layerLimit_data()
    {
        QTest::addColumn<int>("canvasCount");
        QTest::addColumn<int>("layerCount");
        QTest::addColumn<QList<qreal>>("centres");
        QTest::addColumn<bool>("added");
        const qreal in = 200, across = 480;
        QTest::newRow("one canvas, one across: load 3 of 4") << 1 << 4 << QList<qreal>{in, across} << true;
        QTest::newRow("one canvas, two across: load 4 of 4") << 1 << 4 << QList<qreal>{across, across} << false;
        QTest::newRow("one canvas, three across") << 1 << 99 << QList<qreal>{across, across, across} << false;
        QTest::newRow("two canvases, full") << 0 << 3 << QList<qreal>{in, in, in} << false;
        QTest::newRow("two canvases, room") << 0 << 4 << QList<qreal>{in, across, across} << true;
    }

    void layerLimit()
    {
        QFETCH(int, canvasCount);
        QFETCH(int, layerCount);
        QFETCH(QList<qreal>, centres);
        QFETCH(bool, added);
        CEditBaseScene *pScene = start(layerCount, canvasCount);
        int nSource = 3;
        for (qreal x : centres)
            addLayer(pScene, nSource++ == 5 ? 9 : nSource, x);
        const int nBefore = pScene->m_listItems.size();
        QPointF pt(10, 10);
        m_pCanvas->slot_addCanvasItem(pt, "f", "IN", MediaType_SingleText, 10);
        QCOMPARE(pScene->m_listItems.size(), nBefore + (added ? 1 : 0));
        QCOMPARE(BesMessageBox::testRecords().isEmpty(), added);
        if (!added)
            QCOMPARE(BesMessageBox::testRecords().last().text, QString::fromUtf8("已经到达最大图层上限数量！"));
    }

    void sourceConflicts_data()
    {
        QTest::addColumn<QList<int>>("sources");   // visible layers, ids 0, 1, ...
        QTest::addColumn<int>("changed");          // layer whose source changes, -1 a new one
        QTest::addColumn<int>("source");
        QTest::addColumn<QList<int>>("named");     // layers in the way, in asking order
        QTest::newRow("4K pair") << QList<int>{1} << -1 << 2 << QList<int>{0};
        QTest::newRow("4K zero alone") << QList<int>{1} << -1 << 0 << QList<int>{};
        QTest::newRow("zero twice") << QList<int>{0} << -1 << 0 << QList<int>{0};
        QTest::newRow("free source") << QList<int>{1} << -1 << 5 << QList<int>{};
        QTest::newRow("same 2K source") << QList<int>{5, 5} << -1 << 5 << QList<int>{};
        QTest::newRow("2K partner, later first") << QList<int>{5, 5} << -1 << 6 << QList<int>{1, 0};
        QTest::newRow("own layer is not in its way") << QList<int>{1} << 0 << 2 << QList<int>{};
        QTest::newRow("9 and 10 are free") << QList<int>{7, 8} << -1 << 9 << QList<int>{};
    }

    void sourceConflicts()
    {
        QFETCH(QList<int>, sources);
        QFETCH(int, changed);
        QFETCH(int, source);
        QFETCH(QList<int>, named);
        CEditBaseScene *pScene = start();
        for (int nSig : sources)
            addLayer(pScene, nSig);
        QVector<int> out;
        bool bConflict = false;
        m_pCanvas->getLayerInSrcConflict(changed, source, out, bConflict);
        QCOMPARE(out.toList(), named);
        QCOMPARE(bConflict, !named.isEmpty());
    }

    void forcedConflictSwitchesTheLayersInTheWay_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("declined") << int(QMessageBox::Cancel);
        QTest::newRow("forced") << int(QMessageBox::Ok);
    }

    void forcedConflictSwitchesTheLayersInTheWay()
    {
        QFETCH(int, answer);
        CEditBaseScene *pScene = start();
        addLayer(pScene, 8);
        CEditSingleTextItem *pHidden = addLayer(pScene, 0, 200, 0);
        m_pSpy->clear();
        BesMessageBox::setTestAnswer(answer);
        QPointF pt(10, 10);
        // A hidden layer on source 0 is in nobody's way.
        m_pCanvas->slot_addCanvasItem(pt, "f", "IN", MediaType_SingleText, 0);
        QCOMPARE(layerCount(pScene), 3);
        QVERIFY(BesMessageBox::testRecords().isEmpty());
        m_pSpy->clear();
        m_pCanvas->slot_addCanvasItem(pt, "f", "IN", MediaType_SingleText, 7);
        QCOMPARE(BesMessageBox::testRecords().last().text, QString::fromUtf8("该输入源和图层L1有冲突，是否强制调用？"));
        if (answer == QMessageBox::Ok) {
            QCOMPARE(layerCount(pScene), 4);
            QCOMPARE(pScene->layerItems().first()->m_nMainSig, 3);
            QCOMPARE(m_pSpy->named(LAYER, 3).first().payload, QByteArray::fromHex("0003"));
        } else {
            QCOMPARE(layerCount(pScene), 3);
            QVERIFY(m_pSpy->cmds.isEmpty());
        }
        QCOMPARE(pHidden->m_nMainSig, 0);
    }

    // Three visible layers on sources 0 to 2 name no single layer: the change
    // is refused without asking, and nothing is switched.
    void fullFourKGroupRefusesWithoutNamingALayer()
    {
        CEditBaseScene *pScene = start();
        addLayer(pScene, 0);
        addLayer(pScene, 1);
        addLayer(pScene, 2, 200, 1);
        m_pSpy->clear();
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        bool bRet = true;
        m_pCanvas->slot_changeItemInSrc(-1, 4, bRet);
        QVERIFY(!bRet);
        QCOMPARE(BesMessageBox::testRecords().last().kind, QString("information"));
        QVERIFY(m_pSpy->cmds.isEmpty());
    }

    // ----------------------------------------------------- tool commands

    void cleanSendsBothClearCommands()
    {
        CEditBaseScene *pScene = start();
        g_OSDindex = 3;
        g_OSDState = true; // the device said its OSD is on; the scene has no OSD item
        addLayer(pScene, 1)->setSelected(true);
        QCOMPARE(pScene->m_nLayerUse, 1);
        m_pSpy->clear();
        m_pCanvas->slot_selectToolBar(CEditSceneCanvas::ToolBar_Delete);
        QCOMPARE(layerCount(pScene), 0);
        QCOMPARE(pScene->m_nLayerUse, 0);
        QCOMPARE(m_pSpy->named(OSD, 2).first().payload, QByteArray::fromHex("0003"));
        QVERIFY(!g_OSDState);
        QCOMPARE(m_pSpy->named(LAYER, 41).size(), 1);
        QVERIFY(m_pSpy->named(LAYER, 41).first().payload.isEmpty());
        QCOMPARE(m_pSpy->properties.last(), nullptr);
        g_OSDindex = 0;
    }

    void levelCommands_data()
    {
        QTest::addColumn<int>("selected");   // of three layers
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload"); // empty: nothing sent
        QTest::newRow("up") << 0 << int(CEditSceneCanvas::ToolBar_UpItem) << QByteArray::fromHex("0002");
        QTest::newRow("up at the top") << 2 << int(CEditSceneCanvas::ToolBar_UpItem) << QByteArray();
        QTest::newRow("down") << 2 << int(CEditSceneCanvas::ToolBar_DownItem) << QByteArray::fromHex("0202");
        QTest::newRow("down at the bottom") << 0 << int(CEditSceneCanvas::ToolBar_DownItem) << QByteArray();
        QTest::newRow("to the top") << 0 << -1 << QByteArray::fromHex("0003");
        QTest::newRow("to the top from the top") << 2 << -1 << QByteArray();
        QTest::newRow("to the bottom") << 1 << -2 << QByteArray::fromHex("0101");
        QTest::newRow("to the bottom from the bottom") << 0 << -2 << QByteArray();
    }

    void levelCommands()
    {
        QFETCH(int, selected);
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        CEditBaseScene *pScene = start();
        for (int i = 0; i < 3; ++i)
            addLayer(pScene, 3);
        pScene->layerItems().at(selected)->setSelected(true);
        m_pSpy->clear();
        if (command == -1)
            m_pCanvas->toolBarTopItem();
        else if (command == -2)
            m_pCanvas->toolBarBottomItem();
        else
            m_pCanvas->slot_selectToolBar(command);
        const QList<Cmd> levels = m_pSpy->named(LAYER, 2);
        if (payload.isEmpty()) {
            QVERIFY(m_pSpy->cmds.isEmpty());
        } else {
            QCOMPARE(levels.size(), 1);
            QCOMPARE(levels.first().payload, payload);
            QCOMPARE(m_pSpy->named(SCENE, 0).first().payload, QByteArray::fromHex("01"));
        }
    }

    void stretchCommands_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        // Layer 0 at device (0, 0) 960 x 540 on a 1920 x 1080 device canvas.
        QTest::newRow("fill") << int(CEditSceneCanvas::ToolBar_AutoExpand) << QByteArray::fromHex("00000000000780 0438");
        QTest::newRow("vertical") << int(CEditSceneCanvas::ToolBar_VerticalExpand)
                                  << QByteArray::fromHex("0000000000 03c0 0438");
        QTest::newRow("horizontal") << int(CEditSceneCanvas::ToolBar_HorizontalExpand)
                                    << QByteArray::fromHex("00 0000 0000 0780 021c");
    }

    void stretchCommands()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        CEditBaseScene *pScene = start();
        CEditSingleTextItem *pLayer = addLayer(pScene, 3, 240);
        pLayer->setSelected(true);
        m_pSpy->clear();
        m_pCanvas->slot_selectToolBar(command);
        const QList<Cmd> sent = m_pSpy->named(LAYER, 10);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().payload.toHex(), payload.toHex());
        QCOMPARE(m_pSpy->nItemPos, 1);
    }

    // Only layers have a layer command: a stretched OSD item (media kind 0)
    // is placed on the canvas and nothing goes to the device.
    void stretchingTheOSDItemSendsNoLayerCommand()
    {
        CEditBaseScene *pScene = start(8, 1);
        CEditSingleTextItem *pItem = addLayer(pScene, 3, 240);
        pItem->setItemType(MediaType_Pixmap);
        pItem->setSelected(true);
        m_pSpy->clear();
        m_pCanvas->toolBarAuto();
        QVERIFY(m_pSpy->cmds.isEmpty());
        QVERIFY(BesMessageBox::testRecords().isEmpty());
        QCOMPARE(pItem->width(), qreal(pScene->getBackCanvasRect().width()));
    }

    // On a one-canvas device a fill that makes a layer cross the middle asks
    // first when other layers would go; declined, only the scene is read.
    void fillAcrossTheMiddleAsksFirst()
    {
        CEditBaseScene *pScene = start(8, 1);
        addLayer(pScene, 3, 200);
        CEditSingleTextItem *pLayer = addLayer(pScene, 4, 200);
        pLayer->setSelected(true);
        m_pSpy->clear();
        m_pCanvas->toolBarAuto();
        QCOMPARE(BesMessageBox::testRecords().last().title, QString::fromUtf8("图层数量复位"));
        QVERIFY(m_pSpy->named(LAYER, 10).isEmpty());
        QCOMPARE(m_pSpy->named(SCENE, 0).size(), 1);
    }

    void alignmentMovesOnTheCanvasOnly()
    {
        CEditBaseScene *pScene = start();
        CEditSingleTextItem *pRef = addLayer(pScene, 3, 300);
        CEditSingleTextItem *pOther = addLayer(pScene, 4, 600);
        pRef->setSelected(true);
        pOther->setSelected(true);
        m_pSpy->clear();
        m_pCanvas->slot_selectToolBar(CEditSceneCanvas::ToolBar_LeftAlign);
        QCOMPARE(pRef->sceneBoundingRect().left(), pOther->sceneBoundingRect().left());
        QVERIFY(m_pSpy->cmds.isEmpty());
        m_pCanvas->slot_selectToolBar(17);
        m_pCanvas->slot_selectToolBar(-1);
        QVERIFY(m_pSpy->cmds.isEmpty());
    }

    // ---------------------------------------------------------- document

    void documentRoundTrip()
    {
        CEditBaseScene *pScene = start();
        for (int i = 0; i < 3; ++i)
            addLayer(pScene, 3);
        const QJsonObject doc = m_pCanvas->programToJson();
        QCOMPARE(doc.value("Version").toString(), QString("20230420-V0.1"));
        QCOMPARE(doc.value("SceneCount").toInt(), 2);
        const QJsonObject scene1 = doc.value("view").toObject().value("scene1").toObject();
        QCOMPARE(scene1.value("ItemCount").toInt(), 3);
        QVERIFY(scene1.contains("Item3"));
        QCOMPARE(doc.value("view").toObject().value("scene2").toObject().value("ItemCount").toInt(), 0);

        QTemporaryDir dir;
        const QString path = dir.filePath("kelvo.smt");
        QVERIFY(m_pCanvas->saveProjectFile(path, nullptr));
        QCOMPARE(BesMessageBox::testRecords().last().text, QString::fromUtf8("节目文件保存成功"));
        m_pSpy->clear();
        QVERIFY(m_pCanvas->loadProjectFile(path, nullptr));
        QCOMPARE(m_pSpy->nDestroyMain, 1);
        QCOMPARE(m_pSpy->nProgramLayout, 1);
        QCOMPARE(m_pCanvas->sceneList().size(), 2);
        QCOMPARE(m_pCanvas->sceneList().at(0)->getSceneName(), QString("S1"));
        QCOMPARE(m_pCanvas->sceneList().at(1)->getSceneID(), 2u);
        QCOMPARE(m_pCanvas->currentScene(), m_pCanvas->sceneList().at(1));
        QVERIFY(m_pSpy->cmds.isEmpty());
        // The device's scenes were only let go of.
        QCOMPARE(layerCount(pScene), 3);
    }

    void damagedDocumentsLeaveTheCanvasAsItWas_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("message");
        QTest::newRow("another version") << "version" << QString::fromUtf8("工程文件版本错误");
        QTest::newRow("count larger than present") << "scenes" << QString::fromUtf8("工程文件已损坏");
        QTest::newRow("item without size") << "item" << QString::fromUtf8("工程文件已损坏");
        QTest::newRow("count of a billion") << "billion" << QString::fromUtf8("工程文件已损坏");
        QTest::newRow("truncated JSON") << "truncate" << QString::fromUtf8("文件Json解析失败");
    }

    void damagedDocumentsLeaveTheCanvasAsItWas()
    {
        QFETCH(QString, edit);
        QFETCH(QString, message);
        CEditBaseScene *pScene = start();
        addLayer(pScene, 3);
        QJsonObject doc = m_pCanvas->programToJson();
        QJsonObject view = doc.value("view").toObject();
        QJsonObject scene2 = view.value("scene2").toObject();
        if (edit == "version")
            doc.insert("Version", "20230420-V0.2");
        else if (edit == "scenes")
            doc.insert("SceneCount", 3);
        else if (edit == "billion")
            doc.insert("SceneCount", 1000000000);
        else if (edit == "item") {
            scene2.insert("ItemCount", 1);
            scene2.insert("Item1", QJsonObject{{"Height", 10}, {"Type", 3}});
            view.insert("scene2", scene2);
            doc.insert("view", view);
        }
        QByteArray bytes = QJsonDocument(doc).toJson();
        if (edit == "truncate")
            bytes.chop(bytes.size() / 3);
        QTemporaryDir dir;
        QFile file(dir.filePath("bad.smt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        const QList<CEditBaseScene *> before = m_pCanvas->sceneList();
        CEditBaseScene *pCurrent = m_pCanvas->currentScene();
        QVERIFY(!m_pCanvas->loadProjectFile(file.fileName(), nullptr));
        QCOMPARE(BesMessageBox::testRecords().last().text, message);
        QCOMPARE(m_pCanvas->sceneList(), before);
        QCOMPARE(m_pCanvas->currentScene(), pCurrent);
        QCOMPARE(m_pSpy->nDestroyMain, 0);
    }

    void saveFailureIsReported()
    {
        start();
        QTemporaryDir dir;
        QFile blocker(dir.filePath("plain"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!m_pCanvas->saveProjectFile(dir.filePath("plain/kelvo.smt"), nullptr));
        QVERIFY(BesMessageBox::testRecords().last().text.startsWith(QString::fromUtf8("节目文件保存失败")));
    }

    // -------------------------------------------------- play tool, view

    void playToolStartsDisabledAndMuteToggles()
    {
        QVERIFY(!m_pCanvas->playButton()->isEnabled());
        QVERIFY(!m_pCanvas->stopButton()->isEnabled());
        QVERIFY(!m_pCanvas->updateButton()->isEnabled());
        QVERIFY(m_pCanvas->playButton()->styleSheet().contains("play-pressed.png"));
        QCOMPARE(m_pCanvas->volumeSlider()->value(), 60);
        QCOMPARE(m_pCanvas->volumeValue()->text(), QString("60"));
        m_pCanvas->volumeButton()->click();
        QVERIFY(!m_pCanvas->isVolumeOn());
        QCOMPARE(m_pCanvas->volumeButton()->toolTip(), QString::fromUtf8("取消静音"));
        m_pCanvas->volumeButton()->click();
        QCOMPARE(m_pCanvas->volumeButton()->toolTip(), QString::fromUtf8("静音"));
        m_pCanvas->volumeSlider()->setValue(30);
        QCOMPARE(m_pCanvas->volumeValue()->text(), QString("30"));
        // Nothing to play: playback does not start.
        m_pCanvas->slot_play();
        QVERIFY(!g_bIsPlay);
    }

    void wheelZoomStopsOneStepAfterItsLimits()
    {
        start();
        CEditBaseView *pView = m_pCanvas->view();
        auto wheel = [&](int nDelta) {
            QWheelEvent event(QPointF(10, 10), pView->viewport()->mapToGlobal(QPoint(10, 10)), QPoint(),
                              QPoint(0, nDelta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(pView->viewport(), &event);
        };
        for (int i = 0; i < 60; ++i)
            wheel(-120);
        // Each step is taken while the factor recorded at the step before was
        // above 0.01, so the view ends one step past the first factor at or
        // below it.
        const qreal dLow = pView->transform().m11();
        QVERIFY(dLow <= 0.01 / 1.2 + 1e-12);
        QVERIFY(dLow > 0.01 / 1.44);
        // No delta is a step out, whatever the limit.
        wheel(0);
        QVERIFY(qAbs(pView->transform().m11() - dLow / 1.2) < 1e-12);
    }

    // ---------------------------------------------------------- nested waits

    // Each box and menu raised from the scene's handlers, the mouse tools and the canvas is shown
    // for real; while it is open the store removes the scene (a device reply), then it is
    // answered. The handler stops: it touches nothing of the freed scene (the sanitizer build
    // checks that) and sends the device nothing more.
    void sceneRemovedWhileAWaitIsOpen_data()
    {
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("answer");
        for (const char *psz : {"press", "release", "escape", "delete recall", "drop recall", "drop limit", "drop conflict"})
            QTest::newRow(psz) << psz << "btnOK";
        QTest::newRow("item menu") << "item menu" << QString::fromUtf8("删除图层");
        QTest::newRow("delete notice") << "delete notice" << QString();
    }

    void sceneRemovedWhileAWaitIsOpen()
    {
        QFETCH(QString, site);
        QFETCH(QString, answer);
        BesMessageBox::clearTestAnswer(); // real boxes: their own event loops are the point
        CEditBaseItemBorder::m_sBorderType = selection;
        CTarnSceneStore store;
        QPointer<CEditBaseScene> pScene = store.createScene("SN1", 1, "S1");
        store.createScene("SN1", 2, "S2");
        pScene->m_nCanvasCount = 1; // two outputs: a layer coming to cross the middle is checked
        pScene->m_nLayerCount = site == "drop limit" ? 2 : 8;
        addLayer(pScene, 4, 150);
        CEditSingleTextItem *pLayer = addLayer(pScene, site == "drop conflict" ? 0 : 3, 200);
        QList<CEditBaseScene *> list = store.scenes("SN1");
        m_pCanvas->setSceneData("SN1", list, false, 1);
        if (site == "press" || site.endsWith("recall"))
            m_pCanvas->slot_setTakeScene(2);
        m_pCanvas->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pCanvas.get()));
        auto mouse = [this](QEvent::Type type, const QPointF &pt, Qt::MouseButton button, Qt::MouseButtons buttons) {
            const QPoint vp = m_pCanvas->view()->mapFromScene(pt);
            QMouseEvent e(type, vp, m_pCanvas->view()->viewport()->mapToGlobal(vp), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(m_pCanvas->view()->viewport(), &e);
        };
        bool bSeen = false;
        SceneTest::whenNextWaitOpens([&]() { m_pSpy->clear(); store.deleteScene(pScene); }, answer, bSeen);

        QPointF pt(200, 80); // on the upper layer, away from its handles
        if (site == "press" || site == "item menu") {
            const Qt::MouseButton button = site == "press" ? Qt::LeftButton : Qt::RightButton;
            mouse(QEvent::MouseButtonPress, pt, button, button);
        } else if (site == "release") {
            mouse(QEvent::MouseButtonPress, pt, Qt::LeftButton, Qt::LeftButton);
            mouse(QEvent::MouseMove, pt + QPointF(100, 0), Qt::NoButton, Qt::LeftButton);
            mouse(QEvent::MouseMove, pt + QPointF(300, 0), Qt::NoButton, Qt::LeftButton);
            mouse(QEvent::MouseButtonRelease, pt + QPointF(300, 0), Qt::LeftButton, Qt::NoButton);
        } else if (site == "escape") {
            pLayer->setSelected(true);
            QTest::keyClick(m_pCanvas->view(), Qt::Key_Escape);
        } else if (site.startsWith("delete")) {
            pLayer->setSelected(true);
            m_pCanvas->slot_selectToolBar(CEditSceneCanvas::ToolBar_Delete);
        } else {
            m_pCanvas->slot_addCanvasItem(pt, "f", "IN", MediaType_SingleText, site == "drop conflict" ? 0 : 5);
        }
        QVERIFY(bSeen);
        QTRY_VERIFY(!pScene);
        QVERIFY(m_pSpy->cmds.isEmpty());
        QVERIFY(!m_pCanvas->currentScene());
    }
};

VISTEL_TEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
