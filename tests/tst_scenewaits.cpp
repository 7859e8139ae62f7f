// Nested waits of the editor. Each question, notice or menu that the scene's handlers, the mouse
// tools and the canvas raise is really shown; while it is open the store removes the scene (as a
// device reply does), then the wait is answered. The handler stops: it touches nothing of the
// freed scene (the point of running this under AddressSanitizer) and sends the device nothing
// more for it.
#include "TestMain.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <memory>

#include "BesMessageBox.h"
#include "EditBaseItemBorder.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSceneCanvas.h"
#include "EditSingleTextItem.h"
#include "QorGlobal.h"
#include "SceneTestUtil.h"
#include "TarnSceneStore.h"

namespace {

enum Site {
    ToolPressRecall,   // the selection tool's recall question, on a press
    ToolReleaseCross,  // the cross-canvas question, on the release of a drag across the middle
    EscapeFillCross,   // Escape: the fill's cross-canvas question
    RightPressMenu,    // a right press: the item menu, then its delete entry
    DeleteRecall,      // the delete tool on a scene not shown: the recall question
    DeleteNotice,      // the delete tool: the notice while the device removes the layer
    DropRecall,        // a drop on a scene not shown: the recall question
    DropLayerLimit,    // a drop on a full scene: the notice
    DropConflict       // a drop of a source in use: the conflict question
};

} // namespace

class TestSceneWaits : public QObject
{
    Q_OBJECT

    std::unique_ptr<CSceneSpy> m_pSpy;
    std::unique_ptr<CTarnSceneStore> m_pStore;
    std::unique_ptr<CEditSceneCanvas> m_pCanvas;

    // A layer of 100 x 50 scene units centred there; one scene unit is two device pixels and the
    // middle of the two-output canvas lies at x = 480.
    CEditSingleTextItem *layer(CEditBaseScene *pScene, QPointF centre, int nSource = 1)
    {
        qreal dDuration = 0;
        const int nId = pScene->createSingleTextItem("", "IN", QSize(100, 50), QPointF(0, 0), dDuration, nSource);
        auto *pLayer = static_cast<CEditSingleTextItem *>(pScene->itemById(nId));
        pLayer->moveItem(centre);
        pLayer->m_nLayerState = 1;
        pLayer->setSelected(false);
        return pLayer;
    }

    void mouse(QEvent::Type type, const QPointF &pt, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        CEditBaseView *pView = m_pCanvas->view();
        const QPoint vp = pView->mapFromScene(pt);
        QMouseEvent e(type, vp, pView->viewport()->mapToGlobal(vp), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(pView->viewport(), &e);
    }

private slots:
    void init()
    {
        g_nWidth = 480;
        g_nHeight = 320;
        g_setDefaultDesktop(1920, 1080);
        g_OSDState = false;
        g_bIsPlay = false;
        g_strSerialDevType = "Tarn-2";
        g_strLanguage = "Chinaese";
        CEditBaseItemBorder::m_sBorderType = selection;
        // Real boxes: their own event loops are the point.
        BesMessageBox::clearTestAnswer();
        m_pSpy.reset(new CSceneSpy);
        m_pStore.reset(new CTarnSceneStore);
        m_pCanvas.reset(new CEditSceneCanvas);
        m_pCanvas->resize(800, 600);
    }

    void cleanup()
    {
        m_pCanvas.reset();
        m_pStore.reset();
        m_pSpy.reset();
    }

    void sceneRemovedWhileAWaitIsOpen_data()
    {
        QTest::addColumn<int>("site");
        QTest::addColumn<QString>("answer");
        const QString ok = "btnOK";
        QTest::newRow("tool press: recall question") << int(ToolPressRecall) << ok;
        QTest::newRow("tool release: cross-canvas question") << int(ToolReleaseCross) << ok;
        QTest::newRow("Escape: fill's cross-canvas question") << int(EscapeFillCross) << ok;
        QTest::newRow("right press: item menu") << int(RightPressMenu) << QString::fromUtf8("删除图层");
        QTest::newRow("delete tool: recall question") << int(DeleteRecall) << ok;
        QTest::newRow("delete tool: deletion notice") << int(DeleteNotice) << QString();
        QTest::newRow("drop: recall question") << int(DropRecall) << ok;
        QTest::newRow("drop: layer limit notice") << int(DropLayerLimit) << ok;
        QTest::newRow("drop: source conflict question") << int(DropConflict) << ok;
    }

    void sceneRemovedWhileAWaitIsOpen()
    {
        QFETCH(int, site);
        QFETCH(QString, answer);
        const bool bLive = site != ToolPressRecall && site != DeleteRecall && site != DropRecall;
        CEditBaseScene *pScene = m_pStore->createScene("SN1", 1, "S1");
        m_pStore->createScene("SN1", 2, "S2");
        pScene->m_nLayerCount = site == DropLayerLimit ? 2 : 8;
        pScene->m_nCanvasCount = 1; // two outputs: layers across the middle are checked
        const QPointF ptLeft(150, 100);
        CEditSingleTextItem *pLayer = layer(pScene, ptLeft, site == DropConflict ? 0 : 1);
        layer(pScene, QPointF(700, 250), 2);
        QList<CEditBaseScene *> listScenes = m_pStore->scenes("SN1");
        m_pCanvas->setSceneData("SN1", listScenes, false, 1);
        if (!bLive)
            m_pCanvas->slot_setTakeScene(2);
        m_pCanvas->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pCanvas.get()));
        QCOMPARE(m_pCanvas->currentScene(), pScene);
        m_pSpy->clear();

        QPointer<CEditBaseScene> pGuard(pScene);
        CModalDriver driver(
            [&]() {
                m_pSpy->clear();
                m_pStore->deleteScene(pGuard);
            },
            answer);
        QPointF ptDrop(300, 200);
        switch (Site(site)) {
        case ToolPressRecall:
            mouse(QEvent::MouseButtonPress, ptLeft, Qt::LeftButton, Qt::LeftButton);
            break;
        case ToolReleaseCross:
            mouse(QEvent::MouseButtonPress, ptLeft, Qt::LeftButton, Qt::LeftButton);
            mouse(QEvent::MouseMove, ptLeft + QPointF(300, 0), Qt::NoButton, Qt::LeftButton);
            mouse(QEvent::MouseButtonRelease, ptLeft + QPointF(300, 0), Qt::LeftButton, Qt::NoButton);
            break;
        case EscapeFillCross: {
            pLayer->setSelected(true);
            QTest::keyClick(m_pCanvas->view(), Qt::Key_Escape);
            break;
        }
        case RightPressMenu:
            mouse(QEvent::MouseButtonPress, ptLeft, Qt::RightButton, Qt::RightButton);
            break;
        case DeleteRecall:
        case DeleteNotice:
            pLayer->setSelected(true);
            m_pCanvas->slot_selectToolBar(CEditSceneCanvas::ToolBar_Delete);
            break;
        case DropRecall:
        case DropLayerLimit:
        case DropConflict:
            m_pCanvas->slot_addCanvasItem(ptDrop, "f", "IN", MediaType_SingleText, site == DropConflict ? 0 : 3);
            break;
        }
        QVERIFY(driver.sawWait());
        QTRY_VERIFY(!pGuard);
        QVERIFY(driver.answered());
        QCOMPARE(m_pSpy->count("slot_setDeviceCmd"), 0);
        QVERIFY(!m_pCanvas->currentScene());
        QCOMPARE(m_pCanvas->sceneList().size(), 1);
    }
};

VISTEL_TEST_MAIN(TestSceneWaits)
#include "tst_scenewaits.moc"
