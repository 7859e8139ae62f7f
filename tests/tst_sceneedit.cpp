#include "TestMain.h"

#include <QFile>
#include <QPainter>
#include <QPointer>
#include <functional>
#include <QTimer>
#include <memory>

#include "BesMessageBox.h"
#include "EditBaseScene.h"
#include "EditSingleTextItem.h"
#include "PlayEndThread.h"
#include "QorGlobal.h"
#include "globalObserver.h"

namespace {
struct Cmd
{
    QString strName;
    QByteArray payload;
    int nRw;
    int nSub;
};

// Answers "slot_isTakeScene" as the canvas would and records what the scene
// sends.
class CSceneSpy : public QObject
{
    Q_OBJECT
public:
    int nTake = 1;
    QList<Cmd> cmds;
    QList<int> takeStatus;
    QStringList takeSerials;
    QList<int> previewDeletes;
    int nCurrentData = 0;
    std::function<void()> onCurrentData;
    const QStringList topics{"slot_isTakeScene", "slot_setTakeScene", "slot_setDeviceCmd",
                             "slot_updateLayoutTakeStatus", "slot_updateCurrentData", "slot_deletePreviewItem"};
    CSceneSpy()
    {
        for (const QString &t : topics)
            globalObserver::getGlobalObserver()->attach(t, this, t.toLatin1().constData());
    }
    ~CSceneSpy() override
    {
        for (const QString &t : topics)
            globalObserver::getGlobalObserver()->detach(t, this);
    }

public slots:
    void slot_isTakeScene(int nId, bool &bTake) { bTake = nId == nTake; }
    void slot_setTakeScene(int nId) { nTake = nId; }
    void slot_setDeviceCmd(QString, QString strCmd, QByteArray &data, int nRw, int nSub)
    {
        cmds.append({strCmd, data, nRw, nSub});
    }
    void slot_updateLayoutTakeStatus(int nId, QString strSerial)
    {
        takeStatus.append(nId);
        takeSerials.append(strSerial);
    }
    void slot_updateCurrentData()
    {
        ++nCurrentData;
        if (onCurrentData)
            onCurrentData();
    }
    void slot_deletePreviewItem(CEditBaseScene *, int nId) { previewDeletes.append(nId); }
};

CEditSingleTextItem *addLayer(CEditBaseScene *pScene, int nSource, QPointF centre = QPointF(200, 160))
{
    qreal dDuration = 0;
    const int nId = pScene->createSingleTextItem("", "IN", QSize(100, 50), QPointF(0, 0), dDuration, nSource);
    auto *pLayer = static_cast<CEditSingleTextItem *>(pScene->itemById(nId));
    pLayer->moveItem(centre);
    pLayer->setSelected(false);
    return pLayer;
}
}

class TestSceneEdit : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<CSceneSpy> m_pSpy;
    std::unique_ptr<CEditBaseScene> m_pScene;

private slots:
    void init()
    {
        g_nWidth = 480;
        g_nHeight = 320;
        g_setDefaultDesktop(1920, 1080);
        g_OSDState = false;
        m_pSpy.reset(new CSceneSpy);
        m_pScene.reset(new CEditBaseScene);
        m_pScene->setSceneID(1);
        m_pScene->m_strSerial = "SN1";
        QRect rt(0, 0, 960, 640);
        m_pScene->createBackCanvas(rt);
        BesMessageBox::clearTestRecords();
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
    }

    void cleanup()
    {
        BesMessageBox::clearTestAnswer();
        m_pScene.reset();
        m_pSpy.reset();
    }

    void deletingALayerOfTheLiveScene()
    {
        addLayer(m_pScene.get(), 1);
        addLayer(m_pScene.get(), 2);
        addLayer(m_pScene.get(), 3);
        m_pSpy->cmds.clear();
        const int nUse = m_pScene->m_nLayerUse;
        m_pScene->deleteItemById(2);
        QCOMPARE(m_pScene->m_nLayerUse, nUse - 1);
        QVERIFY(!m_pScene->itemById(2));
        QCOMPARE(m_pSpy->cmds.size(), 1);
        QCOMPARE(m_pSpy->cmds.first().strName, QString::fromUtf8("图层设置"));
        QCOMPARE(m_pSpy->cmds.first().payload, QByteArray::fromHex("02"));
        QCOMPARE(m_pSpy->cmds.first().nSub, 40);
        QCOMPARE(m_pSpy->nCurrentData, 1);
        // An id no item has deletes and sends nothing.
        m_pSpy->cmds.clear();
        m_pScene->deleteItemById(7);
        QVERIFY(m_pSpy->cmds.isEmpty());
    }

    void deletingInASceneThatIsNotLive_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("declined") << int(QMessageBox::Cancel);
        QTest::newRow("recalled") << int(QMessageBox::Ok);
    }

    void deletingInASceneThatIsNotLive()
    {
        QFETCH(int, answer);
        addLayer(m_pScene.get(), 1);
        m_pSpy->cmds.clear();
        m_pSpy->nTake = 2;
        BesMessageBox::setTestAnswer(answer);
        m_pScene->deleteItemById(0);
        QVERIFY(m_pScene->itemById(0));
        if (answer == QMessageBox::Ok) {
            QCOMPARE(m_pSpy->cmds.size(), 1);
            QCOMPARE(m_pSpy->cmds.first().nSub, 20);
            QCOMPARE(m_pSpy->cmds.first().payload, QByteArray::fromHex("01"));
            QCOMPARE(m_pSpy->nTake, 1);
            QCOMPARE(m_pSpy->takeStatus, QList<int>{1});
            QCOMPARE(m_pSpy->takeSerials, QStringList{"SN1"});
        } else {
            QVERIFY(m_pSpy->cmds.isEmpty());
        }
    }

    // The device takes the scene away while the deletion notice is up: after
    // the notice nothing of the scene is touched.
    void sceneDeletedWhileItsNoticeIsUp()
    {
        addLayer(m_pScene.get(), 1);
        addLayer(m_pScene.get(), 2);
        QPointer<CEditBaseScene> pScene(m_pScene.get());
        QTimer::singleShot(50, this, [this]() { m_pScene.reset(); });
        pScene->deleteItemById(1);
        QVERIFY(!pScene);
        QCOMPARE(m_pSpy->nCurrentData, 0);
    }

    void destroyAllItemAnnouncesEachItem()
    {
        addLayer(m_pScene.get(), 1);
        addLayer(m_pScene.get(), 2);
        m_pSpy->cmds.clear();
        m_pScene->destroyAllItem();
        QVERIFY(m_pScene->m_listItems.isEmpty());
        QCOMPARE(m_pSpy->previewDeletes, (QList<int>{0, 1}));
        QVERIFY(m_pSpy->cmds.isEmpty());
    }

    void crossCanvasCheck_data()
    {
        QTest::addColumn<int>("canvasCount");
        QTest::addColumn<bool>("otherInside");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("positionSends");
        QTest::addColumn<int>("sceneReads");
        QTest::newRow("two canvases: nothing") << 0 << true << int(QMessageBox::Ok) << 0 << 0;
        QTest::newRow("alone: sent at once") << 1 << false << int(QMessageBox::Cancel) << 1 << 0;
        QTest::newRow("others inside, declined") << 1 << true << int(QMessageBox::Cancel) << 0 << 1;
        QTest::newRow("others inside, agreed") << 1 << true << int(QMessageBox::Ok) << 1 << 1;
    }

    void crossCanvasCheck()
    {
        QFETCH(int, canvasCount);
        QFETCH(bool, otherInside);
        QFETCH(int, answer);
        QFETCH(int, positionSends);
        QFETCH(int, sceneReads);
        m_pScene->m_nCanvasCount = canvasCount;
        CEditSingleTextItem *pLayer = addLayer(m_pScene.get(), 1, QPointF(480, 160));
        if (otherInside)
            addLayer(m_pScene.get(), 2, QPointF(100, 100));
        m_pSpy->cmds.clear();
        BesMessageBox::setTestAnswer(answer);
        m_pScene->ifCanChangeLayer(pLayer);
        int nPos = 0, nRead = 0;
        for (const Cmd &c : m_pSpy->cmds) {
            nPos += c.nSub == 10 ? 1 : 0;
            nRead += (c.nSub == 0 && c.nRw == 1) ? 1 : 0;
        }
        QCOMPARE(nPos, positionSends);
        QCOMPARE(nRead, sceneReads);
    }

    // The edge alignments work from the reference's centre cut to a whole
    // number: a box centred at x.5 lines everything up half a unit left.
    void leftAlignmentUsesTheTruncatedCentre()
    {
        CEditSingleTextItem *pRef = addLayer(m_pScene.get(), 1, QPointF(110, 200));
        pRef->setWidth(200);
        pRef->moveItem(QPointF(110, 200));
        CEditSingleTextItem *pItem = addLayer(m_pScene.get(), 2, QPointF(400, 300));
        pRef->setSelected(true);
        pItem->setSelected(true);
        // The reference is the first of the selection as the framework lists it.
        if (m_pScene->selectedItems().first() != pRef)
            std::swap(pRef, pItem);
        const QRectF rtRef = pRef->sceneBoundingRect();
        QVERIFY(rtRef.center().x() != int(rtRef.center().x()));
        QSignalSpy moved(m_pScene.get(), &CEditBaseScene::itemMoved);
        m_pScene->align(LEFT_ALIGN);
        // The reference itself follows its cut centre.
        QCOMPARE(pItem->sceneBoundingRect().left(), rtRef.left() - 0.5);
        QCOMPARE(pRef->sceneBoundingRect().left(), rtRef.left() - 0.5);
        QCOMPARE(moved.count(), 2);
        // Already in place: nothing moves.
        m_pScene->align(LEFT_ALIGN);
        QCOMPARE(moved.count(), 2);
    }

    void evenDistribution()
    {
        CEditSingleTextItem *pA = addLayer(m_pScene.get(), 1, QPointF(50, 200));
        CEditSingleTextItem *pB = addLayer(m_pScene.get(), 2, QPointF(150, 200));
        CEditSingleTextItem *pC = addLayer(m_pScene.get(), 3, QPointF(500, 200));
        for (auto *p : {pA, pB, pC})
            p->setSelected(true);
        const qreal dLeftA = pA->sceneBoundingRect().left();
        const qreal dRightC = pC->sceneBoundingRect().right();
        m_pScene->align(HORZEVEN_ALIGN);
        QCOMPARE(pA->sceneBoundingRect().left(), dLeftA);
        QCOMPARE(pC->sceneBoundingRect().right(), dRightC);
        const qreal dGap1 = pB->sceneBoundingRect().left() - pA->sceneBoundingRect().right();
        const qreal dGap2 = pC->sceneBoundingRect().left() - pB->sceneBoundingRect().right();
        QVERIFY(qAbs(dGap1 - dGap2) < 0.01);
        // One record: nothing to spread, nothing moves.
        pA->setSelected(false);
        pB->setSelected(false);
        const QPointF before = pC->pos();
        m_pScene->align(VERTERVEN_ALIGN);
        QCOMPARE(pC->pos(), before);
    }

    void guideLineGoesAfterASecond()
    {
        m_pScene->setHorMagneticLine(QPoint(0, 10), QPoint(100, 10), true);
        QImage image(200, 100, QImage::Format_ARGB32);
        auto lineShown = [&]() {
            image.fill(Qt::black);
            QPainter painter(&image);
            m_pScene->render(&painter, QRectF(0, 0, 200, 100), QRectF(0, 0, 200, 100));
            return image.pixelColor(50, 10) == QColor(255, 170, 0);
        };
        QVERIFY(lineShown());
        QTRY_VERIFY_WITH_TIMEOUT(!lineShown(), 3000);
    }

    // The OSD item from the "/OSD/" settings: fallbacks for an empty file, one
    // item per scene, and a fresh item once the old one was deleted.
    void osdItemFromTheSettings()
    {
#if __has_include("editosditem.h")
        QFile::remove("Morvane.ini");
        const QColor fontBefore = g_fontColor;
        g_OSDState = false;
        QCOMPARE(m_pScene->createOSDItem("Welcome", QSize(960, 64), QPointF()), 1000);
        CEditBaseItem *pItem = m_pScene->osdItem();
        QVERIFY(pItem);
        QCOMPARE(pItem->getItemId(), 1000);
        QVERIFY(g_OSDState);
        QCOMPARE(qRound(pItem->width() * g_dWScale), 1920);
        QCOMPARE(qRound(pItem->height() * g_dHScale), 108);
        QCOMPARE(pItem->m_nFontSize, 12);
        QCOMPARE(g_fontTransparency, 255);
        QCOMPARE(g_bkColorTransparency, 255);
        QCOMPARE(g_fontColor, fontBefore);
        // While it exists, a second call refreshes it in place; the OSD is on again (the live
        // scene keeps its item when the OSD went off on another scene).
        const QPointF pos = pItem->pos();
        g_OSDState = false;
        QCOMPARE(m_pScene->createOSDItem("Again", QSize(960, 64), QPointF()), -1);
        QCOMPARE(m_pScene->osdItem(), pItem);
        QCOMPARE(pItem->pos(), pos);
        QVERIFY(g_OSDState);
        // Deleted with the OSD switched off, then made again: a new item.
        g_OSDindex = 3;
        m_pSpy->cmds.clear();
        m_pScene->deleteItemById(1000);
        QVERIFY(!g_OSDState);
        QCOMPARE(m_pSpy->cmds.size(), 1);
        QCOMPARE(m_pSpy->cmds.first().strName, QString::fromUtf8("OSD参数设置"));
        QCOMPARE(m_pSpy->cmds.first().payload, QByteArray::fromHex("0003"));
        g_OSDindex = 0;
        QVERIFY(!m_pScene->osdItem());
        g_OSDState = true;
        QCOMPARE(m_pScene->createOSDItem("Back", QSize(960, 64), QPointF()), 1000);
        QVERIFY(m_pScene->osdItem());
        QCOMPARE(m_pScene->m_listItems.size(), 1);
        g_OSDState = false;
#else
        QSKIP("the OSD item is not built yet");
#endif
    }

    void playEndWatcher()
    {
        addLayer(m_pScene.get(), 1);
        // Every item has ended already: the watch ends and marks the scene. It looks at the items
        // on the GUI thread only, so nothing is marked while that thread is busy elsewhere.
        static_cast<CEditBaseItem *>(m_pScene->m_listItems.first())->m_bIsEnd = true;
        m_pScene->playItem();
        QThread::msleep(5 * CPlayEndThread::LOOK_INTERVAL_MS);
        QVERIFY(!m_pScene->isEnd());
        QTRY_VERIFY(m_pScene->isEnd());
        // Played again and stopped at once: no wait on the earlier watch, and
        // the scene goes with its watcher (checked under the sanitizers).
        static_cast<CEditBaseItem *>(m_pScene->m_listItems.first())->m_bIsEnd = false;
        m_pScene->playItem();
        QVERIFY(!m_pScene->isEnd());
        m_pScene->playItem();
        m_pScene->stopItem();
        QVERIFY(m_pScene->isEnd());
        m_pScene->playItem();
        m_pScene.reset();
    }

    void stopOnAnEmptySceneChangesNothing()
    {
        m_pScene->setPlayEnd(false);
        m_pScene->stopItem();
        QVERIFY(!m_pScene->isEnd());
    }

    void playCopyTakesTheLookWithoutItems()
    {
        addLayer(m_pScene.get(), 1);
        m_pScene->setSceneName("Main");
        CEditBaseScene copy;
        copy = *m_pScene;
        QCOMPARE(copy.getSceneID(), 1u);
        QCOMPARE(copy.getSceneName(), QString("Main"));
        QCOMPARE(copy.getSceneType(), int(Scene_PlayWnd));
        QVERIFY(copy.m_pBackCanvas);
        QVERIFY(copy.m_listItems.isEmpty());
    }
};

VISTEL_TEST_MAIN(TestSceneEdit)
#include "tst_sceneedit.moc"
