// The play window: its copies (made, cycled, replaced and freed), the preview copy and item
// removal, the snapshot, the control panel, the context menu, and the keys and buttons.
#include "TestMain.h"

#include <QGraphicsView>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "EditBaseScene.h"
#include "EditSingleTextItem.h"
#include "PlayWnd.h"
#include "ProgramSpy.h"
#include "QorGlobal.h"
#include "globalObserver.h"

namespace {
// A scene with nItems layer items (or none).
CEditBaseScene *makeScene(int nId, int nItems, QObject *parent)
{
    auto *pScene = new CEditBaseScene(parent);
    pScene->setSceneID(nId);
    pScene->setSceneName(QString("S%1").arg(nId));
    for (int i = 0; i < nItems; ++i) {
        auto *pItem = new CEditSingleTextItem(QRect(0, 0, 40, 30), true);
        pItem->setItemId(i);
        pScene->addItem(pItem);
        pScene->m_listItems.append(pItem);
    }
    return pScene;
}

// An item of the preview copy, as the editor's preview would put it there.
void addPreviewItem(CEditBaseScene *pPreview, int nId)
{
    auto *pItem = new CEditSingleTextItem(QRect(0, 0, 40, 30), true);
    pItem->setItemId(nId);
    pPreview->addItem(pItem);
    pPreview->m_listItems.append(pItem);
}

QStringList menuTexts(CPlayWnd &wnd)
{
    QStringList list;
    QScopedPointer<QMenu> pMenu(wnd.createMenu());
    for (QAction *a : pMenu->actions())
        list << a->text();
    return list;
}

void chooseEntry(CPlayWnd &wnd, int nIndex)
{
    QScopedPointer<QMenu> pMenu(wnd.createMenu());
    pMenu->actions().at(nIndex)->trigger();
}

void notifyDelete(CEditBaseScene *pScene, int nId)
{
    globalObserver::getGlobalObserver()->notify("slot_deletePreviewItem", Q_ARG(CEditBaseScene *, pScene),
                                                Q_ARG(int, nId));
}
}

class TestPlayWnd : public QObject
{
    Q_OBJECT

private slots:
    void init() { g_bIsPlay = false; }

    void constructionState()
    {
        CPlayWnd wnd(QRect(10, 20, 800, 600));
        QCOMPARE(wnd.windowTitle(), QString("Brightpane-playWnd"));
        QCOMPARE(wnd.lastRect(), QRect(10, 20, 800, 600));
        QVERIFY(wnd.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(wnd.isWindow());
        QVERIFY(wnd.sceneTimer()->isActive());
        QCOMPARE(wnd.sceneTimer()->interval(), 50);
        QVERIFY(!wnd.snapTimer()->isActive());
        QVERIFY(wnd.isPositionLocked());
        QVERIFY(!wnd.isTopMost());
        QVERIFY(wnd.isPanelHidden());
        QCOMPARE(wnd.panelOpacity(), 0.0);
        QVERIFY(wnd.playView()->testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(wnd.minimumSize(), QSize(600, 400));
    }

    // Scenes without items are skipped; the rest are copied, and the copies cycle in order.
    void playCopiesScenesWithItemsAndCycles()
    {
        QObject owner;
        CEditBaseScene *a = makeScene(1, 1, &owner);
        CEditBaseScene *empty = makeScene(2, 0, &owner);
        CEditBaseScene *c = makeScene(3, 2, &owner);
        CPlayWnd wnd(QRect(0, 0, 640, 480));
        wnd.play({a, empty, c});
        QCOMPARE(wnd.playScenes().size(), 2);
        QCOMPARE(wnd.sceneTimer()->interval(), 100);
        QVERIFY(wnd.snapTimer()->isActive());
        CEditBaseScene *p0 = wnd.playScenes().at(0);
        CEditBaseScene *p1 = wnd.playScenes().at(1);
        QVERIFY(p0 != a && p1 != c);
        QCOMPARE(p0->getSceneID(), 1u);
        QCOMPARE(p1->getSceneID(), 3u);
        QCOMPARE(p0->getSceneType(), int(Scene_PlayWnd));
        QCOMPARE(p0->sceneRect(), QRectF(0, 0, 640, 480));
        // The copies carry no items, so each tick switches to the next copy.
        wnd.slot_scenePlayEnd();
        QCOMPARE(wnd.currentPlayScene(), p0);
        QCOMPARE(wnd.playView()->scene(), p0);
        wnd.slot_scenePlayEnd();
        QCOMPARE(wnd.currentPlayScene(), p1);
        wnd.slot_scenePlayEnd();
        QCOMPARE(wnd.currentPlayScene(), p0);
        // The caller's scenes are untouched.
        QCOMPARE(a->m_listItems.size(), 1);
        QCOMPARE(a->getSceneType(), int(Scene_Edit));
    }

    void aCopyWithItemsWaitsForItsEnd()
    {
        QObject owner;
        CPlayWnd wnd(QRect(0, 0, 640, 480));
        wnd.play({makeScene(1, 1, &owner), makeScene(2, 1, &owner)});
        CEditBaseScene *p0 = wnd.playScenes().at(0);
        CEditBaseScene *p1 = wnd.playScenes().at(1);
        addPreviewItem(p0, 7); // the copy now plays an item, with its watcher
        wnd.slot_scenePlayEnd();
        QCOMPARE(wnd.currentPlayScene(), p0);
        p0->setPlayEnd(false);
        wnd.slot_scenePlayEnd();
        QCOMPARE(wnd.currentPlayScene(), p0);
        p0->setPlayEnd(true);
        wnd.slot_scenePlayEnd();
        QCOMPARE(wnd.currentPlayScene(), p1);
        QVERIFY(!p1->isEnd());
    }

    // Playing again and closing free every copy (and stop and join their watchers).
    void copiesAreFreedOnPlayStopAndClose()
    {
        QObject owner;
        CEditBaseScene *a = makeScene(1, 1, &owner);
        CEditBaseScene *b = makeScene(2, 1, &owner);
        auto *pWnd = new CPlayWnd(QRect(0, 0, 640, 480));
        pWnd->play({a, b});
        QList<QPointer<CEditBaseScene>> first;
        for (CEditBaseScene *p : pWnd->playScenes())
            first << p;
        addPreviewItem(first.at(0), 1);
        pWnd->slot_scenePlayEnd(); // the first copy plays, its watcher runs
        pWnd->play({a, b});
        for (const QPointer<CEditBaseScene> &p : first)
            QVERIFY(!p);
        QCOMPARE(pWnd->playScenes().size(), 2);

        QList<QPointer<CEditBaseScene>> second;
        for (CEditBaseScene *p : pWnd->playScenes())
            second << p;
        pWnd->stop();
        QVERIFY(!pWnd->sceneTimer()->isActive());
        QVERIFY(pWnd->playScenes().isEmpty());
        QVERIFY(!pWnd->currentPlayScene());
        for (const QPointer<CEditBaseScene> &p : second)
            QVERIFY(!p);

        pWnd->play({a});
        addPreviewItem(pWnd->playScenes().at(0), 1);
        pWnd->slot_scenePlayEnd();
        QPointer<CEditBaseScene> third = pWnd->playScenes().at(0);
        pWnd->slot_setPreviewScene(b); // a preview copy as well
        QPointer<CEditBaseScene> preview = pWnd->previewScene();
        QVERIFY(preview);
        delete pWnd;
        QVERIFY(!third);
        QVERIFY(!preview);
    }

    void oneCopyReplaysItself()
    {
        QObject owner;
        CPlayWnd wnd(QRect(0, 0, 640, 480));
        wnd.play({makeScene(1, 1, &owner)});
        CEditBaseScene *p0 = wnd.playScenes().at(0);
        wnd.slot_scenePlayEnd();
        wnd.slot_scenePlayEnd();
        QCOMPARE(wnd.currentPlayScene(), p0);
        QCOMPARE(wnd.playView()->scene(), p0);
    }

    void nothingToPlayStillPublishesASnapshot()
    {
        CProgramSpy spy;
        QObject owner;
        CPlayWnd wnd(QRect(0, 0, 640, 480));
        wnd.play({makeScene(1, 0, &owner)});
        QVERIFY(wnd.playScenes().isEmpty());
        wnd.slot_scenePlayEnd();
        QVERIFY(!wnd.currentPlayScene());
        QTRY_VERIFY(spy.nMonitorCount > 0);
    }

    void previewCopiesAndIsReplacedAfterASceneChange()
    {
        QObject owner;
        CEditBaseScene *a = makeScene(4, 1, &owner);
        CEditBaseScene *b = makeScene(5, 1, &owner);
        CPlayWnd wnd(QRect(0, 0, 640, 480));
        globalObserver::getGlobalObserver()->notify("slot_setPreviewScene", Q_ARG(CEditBaseScene *, a));
        QPointer<CEditBaseScene> p = wnd.previewScene();
        QVERIFY(p && p.data() != a);
        QCOMPARE(p->getSceneID(), 4u);
        QCOMPARE(wnd.playView()->scene(), p.data());
        QVERIFY(wnd.snapTimer()->isActive());
        // Without a scene change the same copy takes the new content.
        wnd.slot_setPreviewScene(b);
        QCOMPARE(wnd.previewScene(), p.data());
        QCOMPARE(p->getSceneID(), 5u);
        // After one, a new copy replaces it.
        wnd.setSceneChange();
        wnd.slot_setPreviewScene(a);
        QVERIFY(!p);
        QCOMPARE(wnd.previewScene()->getSceneID(), 4u);
        // Refused while the editor plays.
        g_bIsPlay = true;
        wnd.slot_setPreviewScene(b);
        QCOMPARE(wnd.previewScene()->getSceneID(), 4u);
        g_bIsPlay = false;
        // A play drops the preview copy.
        QPointer<CEditBaseScene> q = wnd.previewScene();
        wnd.play({a});
        QVERIFY(!q);
        QVERIFY(!wnd.previewScene());
    }

    // Only removals in the previewed scene reach the preview copy.
    void itemRemovalMatchesThePreviewedScene()
    {
        QObject owner;
        CEditBaseScene *a = makeScene(1, 1, &owner);
        CEditBaseScene *other = makeScene(2, 1, &owner);
        CPlayWnd wnd(QRect(0, 0, 640, 480));
        notifyDelete(a, 1); // no preview: nothing
        wnd.play({a});
        CEditBaseScene *pPlayCopy = wnd.playScenes().at(0);
        wnd.slot_setPreviewScene(a);
        CEditBaseScene *pPreview = wnd.previewScene();
        addPreviewItem(pPreview, 1);
        addPreviewItem(pPreview, 2);
        notifyDelete(other, 1);
        notifyDelete(pPlayCopy, 1);
        QCOMPARE(pPreview->m_listItems.size(), 2);
        notifyDelete(a, 1);
        QCOMPARE(pPreview->m_listItems.size(), 1);
        notifyDelete(a, 9);
        QCOMPARE(pPreview->m_listItems.size(), 1);
    }

    void resizeKeepsThePositionForRestore()
    {
        QObject owner;
        CPlayWnd wnd(QRect(30, 40, 800, 600));
        wnd.slot_setPreviewScene(makeScene(1, 0, &owner));
        QRect rect(100, 100, 1024, 768);
        wnd.resizePlayWnd(rect);
        QCOMPARE(wnd.lastRect(), QRect(30, 40, 1024, 768));
        QCOMPARE(wnd.size(), QSize(1024, 768));
        QCOMPARE(wnd.previewScene()->sceneRect(), QRectF(0, 0, 1024, 768));
        chooseEntry(wnd, 1); // 复原位置
        QCOMPARE(wnd.geometry(), QRect(30, 40, 1024, 768));
    }

    void menuTogglesLockAndTopMost()
    {
        QWidget parent;
        auto *pWnd = new CPlayWnd(QRect(0, 0, 640, 480), &parent);
        QCOMPARE(menuTexts(*pWnd), QStringList({QString::fromUtf8("取消锁定"), QString::fromUtf8("复原位置"),
                                                QString::fromUtf8("窗口置顶")}));
        chooseEntry(*pWnd, 0);
        QVERIFY(!pWnd->isPositionLocked());
        chooseEntry(*pWnd, 2);
        QVERIFY(pWnd->isTopMost());
        QVERIFY(pWnd->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(menuTexts(*pWnd), QStringList({QString::fromUtf8("锁定播放"), QString::fromUtf8("复原位置"),
                                                QString::fromUtf8("取消置顶")}));
        // Back from top-most it stays a window of its own, not a child of its parent.
        chooseEntry(*pWnd, 2);
        QVERIFY(!pWnd->isTopMost());
        QVERIFY(pWnd->isWindow());
        QVERIFY(!(pWnd->windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(pWnd->windowFlags() & Qt::FramelessWindowHint);
    }

    void panelFadesInAndOutUnlessLocked()
    {
        CPlayWnd wnd(QRect(0, 0, 640, 480));
        wnd.show();
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(&wnd, &enter);
        QVERIFY(!wnd.isPanelHidden());
        QVERIFY(wnd.showTimer()->isActive());
        QCOMPARE(wnd.showTimer()->interval(), 10000);
        QTRY_COMPARE(wnd.panelOpacity(), 1.0);
        QCOMPARE(wnd.controlPanel()->pos(),
                 QPoint(640 / 2 - wnd.controlPanel()->width() / 2, 480 - 2 * wnd.controlPanel()->height()));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&wnd, &leave);
        QVERIFY(wnd.isPanelHidden());
        QVERIFY(!wnd.showTimer()->isActive());
        QCOMPARE(wnd.cursor().shape(), Qt::BlankCursor);
        globalObserver::getGlobalObserver()->notify("slot_setLock", Q_ARG(bool, true));
        QVERIFY(wnd.isPanelLocked());
        QApplication::sendEvent(&wnd, &enter);
        QVERIFY(wnd.isPanelHidden());
    }

    void buttonsAndMouseTellTheEditor()
    {
        CProgramSpy spy;
        CPlayWnd wnd(QRect(0, 0, 640, 480));
        wnd.controlPanel()->findChild<QPushButton *>("btnPlay")->click();
        wnd.controlPanel()->findChild<QPushButton *>("btnStop")->click();
        wnd.controlPanel()->findChild<QPushButton *>("btnReturn")->click();
        QCOMPARE(spy.events, QStringList({"slot_play()", "slot_stop()", "slot_activateMain(true)",
                                          "slot_activateMain(false)"}));
        // A right press brings the editor forward and opens the menu.
        spy.clear();
        bool bMenu = false;
        QTimer::singleShot(20, [&]() {
            if (auto *pMenu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                bMenu = true;
                pMenu->close();
            }
        });
        QTest::mouseClick(&wnd, Qt::RightButton);
        QCOMPARE(spy.events, QStringList({"slot_activateMain(false)"}));
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5));
        QApplication::sendEvent(&wnd, &menuEvent);
        QVERIFY(bMenu);
        // A locked window is not dragged; an unlocked one is.
        const QPoint pos = wnd.pos();
        QTest::mousePress(&wnd, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(&wnd, QPoint(60, 60));
        QTest::mouseRelease(&wnd, Qt::LeftButton, {}, QPoint(60, 60));
        QCOMPARE(wnd.pos(), pos);
    }

    void escapeHidesAndCloseIsRefused()
    {
        CPlayWnd wnd(QRect(0, 0, 640, 480));
        wnd.show();
        QVERIFY(!wnd.close());
        QVERIFY(wnd.isVisible());
        QTest::keyClick(&wnd, Qt::Key_Escape);
        QVERIFY(!wnd.isVisible());
    }
};

VISTEL_TEST_MAIN(TestPlayWnd)
#include "tst_playwnd.moc"
