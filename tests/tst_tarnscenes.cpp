// The Tarn scenes and layer items built from a device's scene and layer replies through the
// one store that owns them.
#include "TestMain.h"

#include <QPointer>

#include "DeviceSimulator.h"
#include "EditBaseScene.h"
#include "HubSpy.h"
#include "SimTestUtil.h"
#include "EditSingleTextItem.h"
#include "SceneTestUtil.h"
#include "TarnSceneStore.h"
#include "TcpDeviceThread.h"

using namespace SceneTest;

class TestTarnScenes : public QObject
{
    Q_OBJECT

    // A worker (never connected) for serial SN1 whose replies are injected.
    struct Rig
    {
        CTarnSceneStore store;
        CTcpDeviceThread worker;
        Rig()
        {
            worker.setDeviceSerial("SN1");
            store.bindDevice(&worker);
        }
        void feed(const QByteArray &frame) { worker.injectReceivedData(frame); }
        CEditBaseScene *scene(int nId) { return store.scene("SN1", nId); }
    };

    static QList<int> layerIds(CEditBaseScene *pScene)
    {
        QList<int> ids;
        for (CEditSingleTextItem *p : pScene->layerItems())
            ids << p->getItemId();
        std::sort(ids.begin(), ids.end());
        return ids;
    }

private slots:
    void init() { useDeviceCanvas(); }

    void sceneReadCreatesSceneAndFollowsItsName()
    {
        Rig rig;
        rig.feed(sceneReply(scene(2, "Two", 0)));
        QVERIFY(rig.scene(2));
        QCOMPARE(rig.scene(2)->getSceneName(), QString("Two"));
        QCOMPARE(rig.scene(2)->getSceneID(), 2u);
        QCOMPARE(rig.scene(2)->m_strSerial, QString("SN1"));
        QCOMPARE(rig.scene(2)->m_nLayerCount, 16);
        QPointer<CEditBaseScene> pFirst = rig.scene(2);
        rig.feed(sceneReply(scene(2, "Renamed", 0)));
        QCOMPARE(rig.scene(2), pFirst.data());
        QCOMPARE(rig.scene(2)->getSceneName(), QString("Renamed"));
        rig.feed(sceneReply(scene(1, "One", 0))); // read after scene 2, kept before it
        QCOMPARE(rig.store.scenes("SN1"), QList<CEditBaseScene *>({rig.scene(1), rig.scene(2)}));
    }

    // Layers at device pixels come out at device pixels / scale, matched by layer id.
    void layerReadPlacesItemsById()
    {
        Rig rig;
        rig.feed(sceneReply(scene(1, "S1", 2)));
        rig.feed(layerReply(1, {layer(0, 0, 0, 960, 540, 1, 0), layer(1, 960, 108, 480, 270, 2, 3)}));
        CEditBaseScene *s = rig.scene(1);
        QCOMPARE(layerIds(s), QList<int>({0, 1}));
        CEditSingleTextItem *p = static_cast<CEditSingleTextItem *>(s->itemById(1));
        QCOMPARE(p->width(), 240.0);
        QCOMPARE(p->height(), 160.0);
        int x, y, w, h;
        p->getItemPos(x, y);
        p->getItemSize(w, h);
        QCOMPARE(QList<int>({x, y, w, h}), QList<int>({960, 108, 480, 270}));
        QCOMPARE(p->zValue(), 2.0);
        QCOMPARE(p->m_nMainSig, 3);
        QCOMPARE(p->m_strSerial, QString("SN1"));
        QCOMPARE(p->itemSelectColor(), s->getSelectedColor(1));
    }

    // Sparse and repeated layer ids never make duplicates; the seventh and later layers take
    // the palette from the start again.
    void sparseAndRepeatedIdsAndPalette()
    {
        Rig rig;
        rig.feed(sceneReply(scene(1, "S1", 9)));
        rig.feed(layerReply(1, {layer(8, 0, 0, 100, 100), layer(3, 0, 0, 100, 100), layer(6, 0, 0, 100, 100)}));
        rig.feed(layerReply(1, {layer(3, 10, 10, 200, 200), layer(6, 0, 0, 100, 100)}));
        rig.feed(layerReply(1, {layer(8, 0, 0, 100, 100)}));
        CEditBaseScene *s = rig.scene(1);
        QCOMPARE(layerIds(s), QList<int>({3, 6, 8}));
        QCOMPARE(static_cast<CEditSingleTextItem *>(s->itemById(6))->itemSelectColor(), s->getSelectedColor(0));
        QCOMPARE(static_cast<CEditSingleTextItem *>(s->itemById(8))->itemSelectColor(), QColor(199, 94, 14));
    }

    // A scene count that shrinks takes the scenes away; holders see them go.
    void shrinkingSceneCountRemovesScenes()
    {
        Rig rig;
        rig.feed(sceneReply(scene(1, "S1", 0)));
        rig.feed(sceneReply(scene(2, "S2", 0)));
        QPointer<CEditBaseScene> p2 = rig.scene(2);
        QSignalSpy removed(&rig.store, &CTarnSceneStore::sig_sceneRemoved);
        QByteArray counts;
        counts.append(char(4)).append(char(8)).append(char(1)).append(char(1));
        rig.worker.injectSentCommand(QString::fromUtf8("源及场景数"), QByteArray(1, 1), 1, 0);
        rig.feed(CDeviceFrame::buildReply(33, 1, 0, counts));
        QCOMPARE(rig.store.scenes("SN1").size(), 1);
        QCOMPARE(removed.count(), 1);
        QTRY_VERIFY(p2.isNull());
    }

    // Fewer layers in use trims the surplus; a selected layer tells the property stack first.
    void layerDeletedWhileSelected()
    {
        Rig rig;
        CSceneSpy spy;
        rig.feed(sceneReply(scene(1, "S1", 3)));
        rig.feed(layerReply(1, {layer(0, 0, 0, 100, 100), layer(1, 0, 0, 100, 100), layer(2, 0, 0, 100, 100)}));
        QPointer<CEditSingleTextItem> p2 = static_cast<CEditSingleTextItem *>(rig.scene(1)->itemById(2));
        p2->setSelected(true);
        spy.clear();
        rig.feed(sceneReply(scene(1, "S1", 2)));
        QVERIFY(p2.isNull());
        QCOMPARE(spy.count("slot_propertyDataChange"), 1);
        QCOMPARE(spy.last("slot_propertyDataChange").at(0).value<quintptr>(), quintptr(0));
        QCOMPARE(layerIds(rig.scene(1)), QList<int>({0, 1}));
        rig.feed(sceneReply(scene(1, "S1", 0)));
        QVERIFY(rig.scene(1)->layerItems().isEmpty());
    }

    // While the scale factors are unknown, layers wait; binding again builds them.
    void zeroScaleDefersConversion()
    {
        Rig rig;
        g_dWScale = 0;
        rig.feed(sceneReply(scene(1, "S1", 1)));
        rig.feed(layerReply(1, {layer(0, 0, 0, 100, 100)}));
        QVERIFY(rig.scene(1)->layerItems().isEmpty());
        useDeviceCanvas();
        rig.store.bindDevice(&rig.worker);
        QCOMPARE(layerIds(rig.scene(1)), QList<int>({0}));
    }

    // A read of 200 layers (4,601 payload bytes) builds all of them.
    void twoHundredLayerRead()
    {
        Rig rig;
        rig.feed(sceneReply(scene(1, "S1", 200)));
        QList<CTarnLayerRecord> layers;
        for (int i = 0; i < 200; ++i)
            layers << layer(i, (i % 20) * 96, (i / 20) * 108, 96, 108, i + 1);
        rig.feed(layerReply(1, layers));
        QCOMPARE(rig.scene(1)->layerItems().size(), 200);
    }

    // Layer commands of the store's items reach the simulated device; reading the scene back
    // brings the device's state into the same items.
    void layerCommandsReachTheDevice()
    {
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 4, 2);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTarnSceneStore store;
        CTcpDeviceThread worker;
        CHubSpy route;
        route.setRouteTo(&worker);
        QVERIFY(SimTest::connectWorker(worker, sim));
        store.bindDevice(&worker);
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), QByteArray(1, 1), 1, 0);
        SimTest::settle(worker, sim);
        CEditBaseScene *pScene = store.scene("SN1", 1);
        QVERIFY(pScene);
        QCOMPARE(layerIds(pScene), QList<int>({0, 1}));
        CEditSingleTextItem *p = static_cast<CEditSingleTextItem *>(pScene->itemById(1));
        int x, y;
        p->getItemPos(x, y);
        QCOMPARE(x, 960);

        double sx = 0, sy = 0;
        QVERIFY(p->getZoomOutPos(100, 54, sx, sy));
        p->moveItem(QPointF(sx, sy));
        QVERIFY(p->setLayerPosAndSize());
        p->setLayerSig(3);
        p->m_nTransNum = 100;
        p->setLayerTrans();
        QVERIFY(p->setLayerCut(0, 0, 100, 50));
        p->setLayerLevel(5);
        SimTest::settle(worker, sim);
        const CSimLayer &l = sim.model().scenes.at(0).layers.at(1);
        QCOMPARE(QList<int>({l.nX, l.nY, l.nWidth, l.nHeight}), QList<int>({100, 54, 960, 540}));
        QCOMPARE(l.nMainSig, 3);
        QCOMPARE(l.nTrans, 100);
        QCOMPARE(QList<int>({l.nCut, l.nCutWidth, l.nCutHeight}), QList<int>({1, 100, 50}));
        QCOMPARE(l.nLevel, 5);
        // the level change read the scene back: the item shows the device's level
        QTRY_COMPARE(p->zValue(), 5.0);
        QCOMPARE(p->m_nMainSig, 3);
        QCOMPARE(p->m_nTransNum, 100);
    }

    // The worker goes first: its scenes leave the store and holders see them go.
    void shutdownWorkerFirst()
    {
        CTarnSceneStore store;
        QPointer<CEditBaseScene> pScene;
        {
            CTcpDeviceThread worker;
            worker.setDeviceSerial("SN1");
            store.bindDevice(&worker);
            worker.injectReceivedData(sceneReply(scene(1, "S1", 1)));
            worker.injectReceivedData(layerReply(1, {layer(0, 0, 0, 100, 100)}));
            pScene = store.scene("SN1", 1);
            QVERIFY(pScene);
        }
        QVERIFY(store.scenes("SN1").isEmpty());
        QTRY_VERIFY(pScene.isNull());
    }

    // The store goes first: the worker's later hand-offs reach nothing.
    void shutdownStoreFirst()
    {
        CTcpDeviceThread worker;
        worker.setDeviceSerial("SN1");
        {
            CTarnSceneStore store;
            store.bindDevice(&worker);
            worker.injectReceivedData(sceneReply(scene(1, "S1", 1)));
            QCOMPARE(CTarnSceneSink::installed(), &store);
        }
        QVERIFY(!CTarnSceneSink::installed());
        QVERIFY(!CTarnSceneStore::instance());
        worker.injectReceivedData(sceneReply(scene(2, "S2", 0)));
        QCOMPARE(worker.getSceneList().size(), 2);
    }
};

VISTEL_TEST_MAIN(TestTarnScenes)
#include "tst_tarnscenes.moc"
