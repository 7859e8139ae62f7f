// The scene's mouse tools on an offscreen view: drags, resizes and rotations by synthetic mouse
// events, the geometry they reach, the one layer command the simulated device receives on
// release, the recall question, and magnetic snapping at its threshold.
#include "TestMain.h"

#include <QGraphicsPathItem>
#include <QHostAddress>
#include <QMouseEvent>
#include <QSignalSpy>

#include <cmath>

#include "BesMessageBox.h"
#include "DeviceSimulator.h"
#include "EditBaseItemGroup.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditRotationBorder.h"
#include "EditSelectBorder.h"
#include "EditSingleTextItem.h"
#include "HubSpy.h"
#include "QorGlobal.h"
#include "SceneBackCanvas.h"
#include "SimTestUtil.h"
#include "TcpDeviceThread.h"
#include "TestUtil.h"
#include "globalObserver.h"

namespace {

// Stands in for the editing canvas: answers which scene is live and records what the tools
// tell it.
class CCanvasStandIn : public QObject
{
    Q_OBJECT
public:
    CCanvasStandIn()
    {
        for (const char *psz : kTopics)
            globalObserver::getGlobalObserver()->attach(psz, this, psz);
    }
    ~CCanvasStandIn() override
    {
        for (const char *psz : kTopics)
            globalObserver::getGlobalObserver()->detach(psz, this);
    }
    int count(const QString &strTopic) const
    {
        int n = 0;
        for (const auto &r : m_listRecord)
            n += r.first == strTopic;
        return n;
    }
    QVariantList last(const QString &strTopic) const
    {
        for (int i = m_listRecord.size() - 1; i >= 0; --i)
            if (m_listRecord.at(i).first == strTopic)
                return m_listRecord.at(i).second;
        return {};
    }
    QStringList topics() const
    {
        QStringList list;
        for (const auto &r : m_listRecord)
            list << r.first;
        return list;
    }
    // The guide lines last shown (a hide clears them).
    QVariantList shownGuide(const QString &strTopic) const
    {
        const QVariantList r = last(strTopic);
        return r.value(2).toBool() ? r : QVariantList();
    }
    void clear() { m_listRecord.clear(); }

    int m_nTake = 1;

public slots:
    void slot_isTakeScene(int nId, bool &bTaken) { bTaken = nId == m_nTake; }
    void slot_setTakeScene(int nId)
    {
        m_nTake = nId;
        rec("slot_setTakeScene", {nId});
    }
    void slot_updateLayoutTakeStatus(int nId, QString strSerial)
    {
        rec("slot_updateLayoutTakeStatus", {nId, strSerial});
    }
    void slot_itemPress(int nId) { rec("slot_itemPress", {nId}); }
    void slot_propertyDataChange(QGraphicsItem *pItem) { rec("slot_propertyDataChange", {quintptr(pItem)}); }
    void slot_updateItemPos(bool bPos) { rec("slot_updateItemPos", {bPos}); }
    void slot_getItemMaxWidth() { rec("slot_getItemMaxWidth", {}); }
    void slot_verMagneticLine(QPoint a, QPoint b, bool bShow) { rec("slot_verMagneticLine", {a, b, bShow}); }
    void slot_horMagneticLine(QPoint a, QPoint b, bool bShow) { rec("slot_horMagneticLine", {a, b, bShow}); }

private:
    void rec(const QString &strTopic, const QVariantList &args) { m_listRecord.append({strTopic, args}); }

    static constexpr const char *kTopics[] = {"slot_isTakeScene", "slot_setTakeScene", "slot_updateLayoutTakeStatus",
                                              "slot_itemPress", "slot_propertyDataChange", "slot_updateItemPos",
                                              "slot_getItemMaxWidth", "slot_verMagneticLine", "slot_horMagneticLine"};
    QList<QPair<QString, QVariantList>> m_listRecord;
};
constexpr const char *CCanvasStandIn::kTopics[];

QByteArray be16(int v)
{
    QByteArray b;
    b.append(char((v >> 8) & 0xFF));
    b.append(char(v & 0xFF));
    return b;
}

// The position command's payload: id, then x, y, width and height in device pixels.
QByteArray posPayload(int nId, int x, int y, int w, int h)
{
    return QByteArray(1, char(nId)) + be16(x) + be16(y) + be16(w) + be16(h);
}

// The layer's rectangle in scene units.
QRectF sceneRect(const CEditBaseItem *p)
{
    return QRectF(p->pos().x() - p->width() / 2, p->pos().y() - p->height() / 2, p->width(), p->height());
}

} // namespace

class TestSelectTool : public QObject
{
    Q_OBJECT

    CDeviceSimulator *m_pSim = nullptr;
    CTcpDeviceThread *m_pWorker = nullptr;
    CHubSpy *m_pRouter = nullptr;
    CCanvasStandIn *m_pCanvas = nullptr;
    CEditBaseScene *m_pScene = nullptr;
    CEditBaseView *m_pView = nullptr;
    int m_nLayerCmd = 0;
    int m_nSceneCmd = 0;

    // A layer with its top-left and size in scene units; one scene unit is four device pixels.
    CEditSingleTextItem *layer(int nId, qreal x, qreal y, qreal w, qreal h)
    {
        CEditSingleTextItem *p = new CEditSingleTextItem(QRect(0, 0, int(w), int(h)), true);
        p->setItemType(MediaType_SingleText);
        p->updateCoordinate();
        m_pScene->addItem(p);
        m_pScene->m_listItems.append(p);
        p->setItemId(nId);
        p->setZValue(nId + 1);
        p->m_strSerial = "SN1";
        p->setPos(x + w / 2, y + h / 2);
        return p;
    }

    void mouse(QEvent::Type type, const QPointF &pt, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        const QPoint vp = m_pView->mapFromScene(pt);
        QMouseEvent e(type, vp, m_pView->viewport()->mapToGlobal(vp), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(m_pView->viewport(), &e);
    }
    void hover(const QPointF &pt) { mouse(QEvent::MouseMove, pt, Qt::NoButton, Qt::NoButton); }
    void press(const QPointF &pt) { mouse(QEvent::MouseButtonPress, pt, Qt::LeftButton, Qt::LeftButton); }
    void moveTo(const QPointF &pt) { mouse(QEvent::MouseMove, pt, Qt::NoButton, Qt::LeftButton); }
    void release(const QPointF &pt) { mouse(QEvent::MouseButtonRelease, pt, Qt::LeftButton, Qt::NoButton); }
    void drag(const QPointF &from, const QPointF &to)
    {
        press(from);
        moveTo(to);
        release(to);
    }

    // Waits for the worker to pass on everything, then returns what the device received.
    QList<CSimRequest> received()
    {
        SimTest::settle(*m_pWorker, *m_pSim, 80);
        return m_pSim->requestsWithoutHeartbeat();
    }
    // The one position command the device received, checked to be the only request.
    QByteArray onlyPositionCommand()
    {
        const QList<CSimRequest> list = received();
        if (list.size() != 1 || list.first().nCmd != m_nLayerCmd || list.first().nSub != 10
            || list.first().nReadOrWrite != 2)
            return QByteArray("not one position command");
        return list.first().payload;
    }

private slots:
    void initTestCase()
    {
        m_nLayerCmd = g_getTexingIndex(QString::fromUtf8("图层设置"));
        m_nSceneCmd = g_getTexingIndex(QString::fromUtf8("场景操作"));
        m_pSim = new CDeviceSimulator(CSimDeviceModel::Tarn, 4, 2);
        QVERIFY(m_pSim->listen(QHostAddress("127.0.0.1"), 0));
        m_pWorker = new CTcpDeviceThread;
        m_pRouter = new CHubSpy;
        m_pRouter->setRouteTo(m_pWorker);
        QVERIFY(SimTest::connectWorker(*m_pWorker, *m_pSim, "SN1"));
        m_pCanvas = new CCanvasStandIn;
    }
    void cleanupTestCase()
    {
        delete m_pCanvas;
        delete m_pRouter;
        delete m_pWorker;
        delete m_pSim;
    }

    void init()
    {
        g_strLanguage = "Chinaese";
        g_rtBackCanvas = QRect(0, 0, 1920, 1080);
        g_dWScale = 4.0;
        g_dHScale = 4.0;
        CEditBaseItemBorder::m_sBorderType = selection;
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
        BesMessageBox::clearTestRecords();
        m_pScene = new CEditBaseScene;
        m_pScene->setSceneID(1);
        m_pScene->m_strSerial = "SN1";
        QRect rt(0, 0, 480, 270);
        m_pScene->createBackCanvas(rt);
        m_pView = new CEditBaseView;
        m_pView->setScene(m_pScene);
        m_pScene->setView(m_pView);
        m_pView->setSceneRect(0, 0, 480, 270);
        m_pView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_pView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_pView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_pView->resize(560, 340);
        m_pView->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pView));
        QCOMPARE(m_pView->mapToScene(m_pView->mapFromScene(QPointF(37, 21))), QPointF(37, 21));
        m_pCanvas->m_nTake = 1;
        SimTest::settle(*m_pWorker, *m_pSim, 50);
        m_pSim->clearRequests();
        m_pCanvas->clear();
    }
    void cleanup()
    {
        delete m_pView;
        delete m_pScene;
        BesMessageBox::clearTestAnswer();
    }

    // A body drag moves the layer by the cursor's travel; the device hears one position command.
    void dragMovesLayerAndSendsOnePositionCommand()
    {
        CEditSingleTextItem *p = layer(3, 20, 10, 100, 50);
        drag(QPointF(70, 35), QPointF(110, 55));
        QCOMPARE(sceneRect(p), QRectF(60, 30, 100, 50));
        QVERIFY(p->isSelected());
        QCOMPARE(m_pCanvas->last("slot_itemPress"), QVariantList({3}));
        QVERIFY(m_pCanvas->count("slot_updateItemPos") >= 1);
        QCOMPARE(onlyPositionCommand(), posPayload(3, 240, 120, 400, 200));
    }

    // A press and release at one point, or a drag that returns to it, leaves the layer where the
    // device holds it and sends nothing: back at the press point the layer is drawn there again,
    // whether snapping held it on the way or not, and whether a move reached that point or only
    // the release did.
    void clickInPlaceSendsNothing_data()
    {
        QTest::addColumn<QPolygonF>("path"); // moves after the press at (70, 35); the release ends it
        QTest::addColumn<bool>("neighbour"); // a layer whose left edge lies 4 units from our right one
        const QPointF at(70, 35);
        QTest::newRow("click") << QPolygonF(QVector<QPointF>{at}) << false;
        QTest::newRow("away and back") << QPolygonF(QVector<QPointF>{at + QPointF(50, 12), at}) << false;
        QTest::newRow("away and back, snapped") << QPolygonF(QVector<QPointF>{at + QPointF(0, 60), at + QPointF(0, 60), at}) << true;
        QTest::newRow("away, released at the press point") << QPolygonF(QVector<QPointF>{at + QPointF(50, 12)}) << false;
    }
    void clickInPlaceSendsNothing()
    {
        QFETCH(QPolygonF, path);
        QFETCH(bool, neighbour);
        CEditSingleTextItem *p = layer(2, 20, 10, 100, 50);
        if (neighbour)
            layer(3, 124, 200, 40, 40);
        press(QPointF(70, 35));
        for (const QPointF &pt : path)
            moveTo(pt);
        if (path.size() > 1) { // drawn where the pointer is, before the release
            QCOMPARE(sceneRect(p), QRectF(20, 10, 100, 50));
            QVERIFY(m_pCanvas->shownGuide("slot_verMagneticLine").isEmpty());
        }
        release(QPointF(70, 35));
        QCOMPARE(sceneRect(p), QRectF(20, 10, 100, 50));
        QVERIFY(p->isSelected());
        if (path.size() > 1)
            QCOMPARE(m_pCanvas->last("slot_updateItemPos"), QVariantList({true}));
        QVERIFY(received().isEmpty());
    }

    // Each handle resizes about the opposite one, which stays put; the release sends the new
    // geometry once.
    void resizeByHandle_data()
    {
        QTest::addColumn<int>("handle");
        QTest::addColumn<QPointF>("grab");
        QTest::addColumn<QPointF>("travel");
        QTest::addColumn<QRectF>("reached");
        QTest::addColumn<bool>("posFieldsToo");
        // The layer: top-left (100, 60), 100 x 50.
        QTest::newRow("bottom-right") << 5 << QPointF(200, 110) << QPointF(40, 20) << QRectF(100, 60, 140, 70) << false;
        QTest::newRow("top-left") << 1 << QPointF(100, 60) << QPointF(-20, -10) << QRectF(80, 50, 120, 60) << true;
        QTest::newRow("right-centre") << 4 << QPointF(200, 85) << QPointF(-30, 7) << QRectF(100, 60, 70, 50) << false;
        QTest::newRow("bottom-centre") << 6 << QPointF(150, 110) << QPointF(9, 30) << QRectF(100, 60, 100, 80) << false;
        QTest::newRow("left-centre") << 8 << QPointF(100, 85) << QPointF(50, 0) << QRectF(150, 60, 50, 50) << true;
    }
    void resizeByHandle()
    {
        QFETCH(int, handle);
        QFETCH(QPointF, grab);
        QFETCH(QPointF, travel);
        QFETCH(QRectF, reached);
        QFETCH(bool, posFieldsToo);
        CEditSingleTextItem *p = layer(4, 100, 60, 100, 50);
        p->setSelected(true);
        hover(grab);
        QCOMPARE(p->collidesWithHandle(grab), handle);
        press(grab);
        QCOMPARE(int(g_selectMode), int(size));
        moveTo(grab + travel);
        QCOMPARE(m_pCanvas->last("slot_updateItemPos"), QVariantList({posFieldsToo}));
        release(grab + travel);
        QCOMPARE(sceneRect(p), reached);
        QVERIFY(p->isSelected());
        QCOMPARE(onlyPositionCommand(), posPayload(4, int(reached.x() * 4), int(reached.y() * 4),
                                                    int(reached.width() * 4), int(reached.height() * 4)));
    }

    // Whatever came before (a fresh drop, a move, a resize over the left and top edges) and
    // whichever handle is dragged, the device ends up holding the part of the layer the canvas
    // shows. The view repaints between the steps of each gesture, as it does for a person.
    void handleResizeReachesDeviceAsShown_data()
    {
        QTest::addColumn<int>("handle");
        QTest::addColumn<int>("before");
        QTest::addColumn<QPointF>("travel");
        const char *const pszBefore[] = {"fresh", "moved", "hanging"};
        for (int nBefore = 0; nBefore < 3; ++nBefore)
            for (int h = 1; h <= 8; ++h)
                QTest::addRow("%s, handle %d", pszBefore[nBefore], h) << h << nBefore << QPointF(-58, 23);
        // Past the opposite corner: the layer stops at the smallest size, on its own side.
        QTest::newRow("folded, handle 5") << 5 << 0 << QPointF(-300, -200);
        QTest::newRow("folded, handle 1") << 1 << 0 << QPointF(300, 200);
    }
    void handleResizeReachesDeviceAsShown()
    {
        QFETCH(int, handle);
        QFETCH(int, before);
        QFETCH(QPointF, travel);
        // The device's live scene: L0 (0, 0) and L1 (960, 540), each 960 x 540; IN2 is dropped
        // at device point (603, 17) and becomes L2 filling the top-left quarter.
        CSimScene &live = m_pSim->model().scenes[0];
        live.layers.resize(2);
        live.layers[1].nX = 960;
        live.layers[1].nY = 540;
        layer(0, 0, 0, 240, 135);
        layer(1, 240, 135, 240, 135);
        QPointF ptDrop(603 / 4.0, 17 / 4.0);
        m_pScene->addCanvasItem(ptDrop, "", "IN2", QSize(240, 135), MediaType_SingleText, 1, true);
        CEditSingleTextItem *p = CEditSingleTextItem::fromItem(m_pScene->itemById(2));
        QVERIFY(p && p->isSelected());
        const auto shown = [p]() { return p->mapRectToScene(p->rect()); };
        const auto gesture = [this, p, shown](int nHandle, const QPointF &travel) {
            const QRectF r = shown();
            const QPointF grab = nHandle == 0 ? r.center() : p->mapToScene(p->handlePos(nHandle));
            hover(grab);
            press(grab);
            for (int i = 1; i <= 4; ++i) {
                moveTo(grab + travel * i / 4);
                m_pView->viewport()->repaint();
            }
            release(grab + travel);
            m_pView->viewport()->repaint();
        };
        if (before == 1)
            gesture(0, QPointF(37, 29));
        else if (before == 2)
            gesture(1, QPointF(-5, -5));
        gesture(handle, travel);
        QVERIFY(shown().width() >= CEditBaseItem::kMinStretchSize && shown().height() >= CEditBaseItem::kMinStretchSize);
        const QRect device = QRectF(shown().topLeft() * 4, shown().size() * 4).toRect() & QRect(0, 0, 1920, 1080);
        received();
        QCOMPARE(live.layers.size(), 3);
        const CSimLayer &held = live.layers[2];
        QCOMPARE(QRect(held.nX, held.nY, held.nWidth, held.nHeight), device);
    }

    // Over a handle of the selected layer the cursor shows the resize arrows; elsewhere the arrow.
    void hoverCursor_data()
    {
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<int>("shape");
        QTest::newRow("top-left") << QPointF(100, 60) << int(Qt::SizeFDiagCursor);
        QTest::newRow("top-centre") << QPointF(150, 60) << int(Qt::SizeVerCursor);
        QTest::newRow("top-right") << QPointF(200, 60) << int(Qt::SizeBDiagCursor);
        QTest::newRow("left-centre") << QPointF(100, 85) << int(Qt::SizeHorCursor);
        QTest::newRow("body") << QPointF(150, 85) << int(Qt::ArrowCursor);
    }
    void hoverCursor()
    {
        QFETCH(QPointF, at);
        QFETCH(int, shape);
        CEditSingleTextItem *p = layer(1, 100, 60, 100, 50);
        p->setSelected(true);
        m_pView->setCursor(Qt::WaitCursor);
        hover(at);
        QCOMPARE(int(m_pView->cursor().shape()), shape);
        hover(QPointF(400, 200));
        QCOMPARE(int(m_pView->cursor().shape()), int(Qt::ArrowCursor));
    }

    // What a press reports: a layer's id; the canvas (with the canvas for the property stack);
    // outside the canvas -1.
    void pressReports()
    {
        layer(5, 20, 10, 100, 50);
        drag(QPointF(30, 20), QPointF(30, 20));
        QCOMPARE(m_pCanvas->last("slot_itemPress"), QVariantList({5}));
        m_pCanvas->clear();
        drag(QPointF(300, 200), QPointF(300, 200));
        QCOMPARE(m_pCanvas->topics(), QStringList({"slot_propertyDataChange", "slot_itemPress"}));
        QCOMPARE(m_pCanvas->last("slot_propertyDataChange"),
                 QVariantList({quintptr(static_cast<QGraphicsItem *>(m_pScene->m_pBackCanvas))}));
        QCOMPARE(m_pCanvas->last("slot_itemPress"), QVariantList({-2}));
        QVERIFY(m_pScene->selectedItems().isEmpty());
        m_pCanvas->clear();
        drag(QPointF(520, 300), QPointF(520, 300));
        QCOMPARE(m_pCanvas->topics(), QStringList({"slot_itemPress"}));
        QCOMPARE(m_pCanvas->last("slot_itemPress"), QVariantList({-1}));
        QVERIFY(received().isEmpty());
    }

    // A press on a scene the device is not showing asks first; "确定" recalls the scene and the
    // press selects nothing; a cancelled question sends nothing. Afterwards presses select.
    void recallQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("ok") << int(QMessageBox::Ok) << "Chinaese" << QString::fromUtf8("该场景未调用，是否立即调用？");
        QTest::newRow("ok, English") << int(QMessageBox::Ok) << "English"
                                     << QString::fromUtf8("This scene is not recalled. Recall it now?");
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << "Chinaese" << QString::fromUtf8("该场景未调用，是否立即调用？");
    }
    void recallQuestion()
    {
        QFETCH(int, answer);
        QFETCH(QString, language);
        QFETCH(QString, text);
        g_strLanguage = language;
        m_pScene->setSceneID(7);
        m_pCanvas->m_nTake = 1;
        CEditSingleTextItem *p = layer(0, 20, 10, 100, 50);
        BesMessageBox::setTestAnswer(answer);
        // questions only: the device here holds no scene 7, and its refusal of the recall is said
        drag(QPointF(50, 30), QPointF(90, 30));
        QCOMPARE(TestUtil::said("question"), 1);
        QCOMPARE(BesMessageBox::testRecords().first().text, text);
        QVERIFY(!p->isSelected());
        QCOMPARE(sceneRect(p), QRectF(20, 10, 100, 50));
        QCOMPARE(m_pCanvas->count("slot_itemPress"), 0);
        const QList<CSimRequest> list = received();
        if (answer == QMessageBox::Ok) {
            QCOMPARE(list.size(), 1);
            QCOMPARE(list.first().nCmd, m_nSceneCmd);
            QCOMPARE(list.first().nReadOrWrite, 2);
            QCOMPARE(list.first().nSub, 20);
            QCOMPARE(list.first().payload, QByteArray(1, char(7)));
            QCOMPARE(m_pCanvas->topics().mid(m_pCanvas->topics().indexOf("slot_setTakeScene")),
                     QStringList({"slot_setTakeScene", "slot_updateLayoutTakeStatus"}));
            QCOMPARE(m_pCanvas->last("slot_updateLayoutTakeStatus"), QVariantList({7, "SN1"}));
            QCOMPARE(m_pCanvas->m_nTake, 7);
            m_pSim->clearRequests();
            drag(QPointF(50, 30), QPointF(50, 30));
            QVERIFY(p->isSelected());
            QCOMPARE(TestUtil::said("question"), 1);
        } else {
            QVERIFY(list.isEmpty());
            QCOMPARE(m_pCanvas->count("slot_setTakeScene"), 0);
        }
    }

    // Several selected layers dragged together all reach the device, each with its own
    // geometry; the scene's move signal needs more than PADDING units of travel.
    void multiSelectionMoveReachesDevice_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("movedSignal");
        QTest::newRow("3 units") << 3 << false;
        QTest::newRow("4 units") << 4 << true;
        QTest::newRow("25 units") << 25 << true;
    }
    void multiSelectionMoveReachesDevice()
    {
        QFETCH(int, step);
        QFETCH(bool, movedSignal);
        CEditSingleTextItem *a = layer(1, 20, 10, 100, 50);
        CEditSingleTextItem *b = layer(2, 200, 100, 60, 40);
        CEditSingleTextItem *c = layer(3, 300, 20, 40, 40); // not selected: stays
        a->setSelected(true);
        b->setSelected(true);
        QSignalSpy moved(m_pScene, &CEditBaseScene::itemMoved);
        press(QPointF(60, 30));
        for (int i = 1; i <= step; ++i)
            moveTo(QPointF(60 + i, 30 + i));
        release(QPointF(60 + step, 30 + step));
        QCOMPARE(sceneRect(a), QRectF(20 + step, 10 + step, 100, 50));
        QCOMPARE(sceneRect(b), QRectF(200 + step, 100 + step, 60, 40));
        QCOMPARE(sceneRect(c), QRectF(300, 20, 40, 40));
        QCOMPARE(moved.count(), movedSignal ? 1 : 0);
        QList<QByteArray> payloads;
        for (const CSimRequest &r : received()) {
            QCOMPARE(r.nCmd, m_nLayerCmd);
            QCOMPARE(r.nSub, 10);
            payloads << r.payload;
        }
        std::sort(payloads.begin(), payloads.end());
        QCOMPARE(payloads, QList<QByteArray>({posPayload(1, (20 + step) * 4, (10 + step) * 4, 400, 200),
                                              posPayload(2, (200 + step) * 4, (100 + step) * 4, 240, 160)}));
    }

    // A drag on empty canvas draws a rubber band that selects the layers it covers; the view
    // leaves rubber-band mode at the release. The two then move together and both reach the device.
    void rubberBandThenMoveTogether()
    {
        CEditSingleTextItem *a = layer(1, 40, 40, 60, 40);
        CEditSingleTextItem *b = layer(2, 120, 60, 50, 30);
        CEditSingleTextItem *c = layer(3, 300, 150, 50, 30);
        press(QPointF(30, 30));
        QCOMPARE(int(g_selectMode), int(netSelect));
        QCOMPARE(m_pView->dragMode(), QGraphicsView::RubberBandDrag);
        moveTo(QPointF(100, 60));
        moveTo(QPointF(200, 100));
        release(QPointF(200, 100));
        QCOMPARE(m_pView->dragMode(), QGraphicsView::NoDrag);
        QVERIFY(a->isSelected() && b->isSelected() && !c->isSelected());
        QVERIFY(received().isEmpty());

        press(QPointF(70, 60));
        moveTo(QPointF(80, 65));
        moveTo(QPointF(90, 70));
        release(QPointF(90, 70));
        QCOMPARE(sceneRect(a), QRectF(60, 50, 60, 40));
        QCOMPARE(sceneRect(b), QRectF(140, 70, 50, 30));
        QList<QByteArray> payloads;
        for (const CSimRequest &r : received())
            payloads << r.payload;
        std::sort(payloads.begin(), payloads.end());
        QCOMPARE(payloads, QList<QByteArray>({posPayload(1, 240, 200, 240, 160), posPayload(2, 560, 280, 200, 120)}));
    }

    // Snapping: an edge that comes within six units of another layer's edge (or the canvas's)
    // jumps onto it and the guide line is announced; at seven units nothing happens.
    void snapAtThreshold_data()
    {
        QTest::addColumn<qreal>("gap");
        QTest::addColumn<bool>("snaps");
        QTest::newRow("6 units: inside") << 6.0 << true;
        QTest::newRow("7 units: outside") << 7.0 << false;
        QTest::newRow("-6 units: inside") << -6.0 << true;
        QTest::newRow("-7 units: outside") << -7.0 << false;
    }
    void snapAtThreshold()
    {
        QFETCH(qreal, gap);
        QFETCH(bool, snaps);
        // The dragged layer A (60 x 40) and B, whose left edge at 200 is the target; the two
        // lie 40 units apart vertically, and far from the canvas's edges.
        CEditSingleTextItem *a = layer(1, 100, 60, 60, 40);
        layer(2, 200, 140, 80, 50);
        const QPointF grab(130, 80);
        const QPointF to = grab + QPointF(100 + gap, 0);
        press(grab);
        moveTo(to);
        QCOMPARE(sceneRect(a).left(), 200 + gap);
        moveTo(to); // the layer is now where the cursor put it; this step catches or not
        release(to);
        QCOMPARE(sceneRect(a).left(), snaps ? 200.0 : 200 + gap);
        QCOMPARE(sceneRect(a).top(), 60.0);
        if (snaps)
            QCOMPARE(m_pCanvas->shownGuide("slot_verMagneticLine"),
                     QVariantList({QPoint(200, 60), QPoint(200, 140), true}));
        else
            QVERIFY(m_pCanvas->shownGuide("slot_verMagneticLine").isEmpty());
        QCOMPARE(onlyPositionCommand(), posPayload(1, int(sceneRect(a).left()) * 4, 240, 240, 160));
    }

    // With no other layer the canvas's edges catch the layer.
    void snapToCanvasEdge()
    {
        CEditSingleTextItem *a = layer(1, 100, 100, 60, 40);
        press(QPointF(130, 120));
        moveTo(QPointF(35, 249)); // left edge 5 from the canvas's left, bottom 1 above its bottom
        moveTo(QPointF(35, 249));
        release(QPointF(35, 249));
        QCOMPARE(sceneRect(a), QRectF(0, 230, 60, 40));
        QCOMPARE(m_pCanvas->shownGuide("slot_horMagneticLine"), QVariantList({QPoint(5, 270), QPoint(0, 270), true}));
        QCOMPARE(onlyPositionCommand(), posPayload(1, 0, 920, 240, 160));
    }

    // A caught layer is held while the cursor travels six units more; the seventh frees it and
    // it jumps by the full travel. A hold that follows at once counts from where it was freed.
    void snapHoldsThenLetsGo()
    {
        CEditSingleTextItem *a = layer(1, 100, 60, 60, 40);
        layer(2, 200, 140, 80, 50);
        layer(3, 212, 0, 50, 30);
        press(QPointF(130, 80));
        moveTo(QPointF(234, 80)); // left edge at 204
        moveTo(QPointF(234, 80)); // caught by B: left edge at 200
        QCOMPARE(sceneRect(a).left(), 200.0);
        moveTo(QPointF(240, 80)); // six more: still held
        QCOMPARE(sceneRect(a).left(), 200.0);
        moveTo(QPointF(241, 80)); // seven: free, by the full travel
        QCOMPARE(sceneRect(a).left(), 207.0);
        moveTo(QPointF(241, 80)); // caught by C's left edge at 212
        QCOMPARE(sceneRect(a).left(), 212.0);
        moveTo(QPointF(244, 80)); // three units on: still held, no leap
        QCOMPARE(sceneRect(a).left(), 212.0);
        release(QPointF(244, 80));
        QCOMPARE(onlyPositionCommand(), posPayload(1, 848, 240, 240, 160));
    }

    // A scene without a background canvas yet: the layers still catch each other.
    void snapWithoutCanvas()
    {
        CSceneBackCanvas *pCanvas = m_pScene->m_pBackCanvas;
        m_pScene->m_pBackCanvas = nullptr; // still in the scene, which frees it
        CEditSingleTextItem *a = layer(1, 100, 60, 60, 40);
        layer(2, 200, 140, 80, 50);
        press(QPointF(130, 80));
        moveTo(QPointF(236, 80));
        moveTo(QPointF(236, 80));
        release(QPointF(236, 80));
        m_pScene->m_pBackCanvas = pCanvas;
        QCOMPARE(sceneRect(a).left(), 200.0);
    }

    // A resize whose grab point lies on the opposite handle's line in one axis gives that axis
    // the factor 1: no infinite or undefined scale reaches the item or the scene's signal.
    void degenerateResizeKeepsFiniteScale()
    {
        QCOMPARE(CEditSelectBorder::stretchFactor(10, 0), 1.0);
        QCOMPARE(CEditSelectBorder::stretchFactor(0, 0), 1.0);
        QCOMPARE(CEditSelectBorder::stretchFactor(15, 10), 1.5);
        QCOMPARE(CEditSelectBorder::stretchFactor(std::nan(""), 10), 1.0);

        layer(1, 100, 60, 100, 50);
        layer(2, 220, 60, 40, 50);
        CEditBaseItemGroup *pGroup = m_pScene->createGroup({m_pScene->itemById(1), m_pScene->itemById(2)}, true);
        QVERIFY(pGroup);
        pGroup->setSelected(true);
        QSignalSpy resized(m_pScene, &CEditBaseScene::itemResize);
        // Outside normal show only the side handles work; the left-centre one sits on the
        // right-centre one's horizontal line, so the vertical factor has nothing to divide by.
        const QPointF side = pGroup->mapToScene(pGroup->handlePos(8));
        hover(side);
        press(side);
        QCOMPARE(g_nDragHandle, 8);
        moveTo(side + QPointF(-10, 0));
        release(side + QPointF(-10, 0));
        QVERIFY(resized.count() >= 1);
        const QPointF f = resized.last().at(2).toPointF();
        QVERIFY(std::isfinite(f.x()) && std::isfinite(f.y()));
        QCOMPARE(f.y(), 1.0);
        QVERIFY(f.x() > 1.0);
        QVERIFY(received().isEmpty());
    }

    // The rotation tool: only the dashed outline turns while dragging, the item turns once at
    // release, by whole degrees; the outline goes with the release.
    void rotationTurnsOnceAtRelease()
    {
        CEditSingleTextItem *p = layer(1, 100, 60, 100, 50);
        p->setSelected(true);
        CEditBaseItemBorder::m_sBorderType = rotation;
        auto *pTool = dynamic_cast<CEditRotationBorder *>(CEditBaseItemBorder::findTool(rotation));
        QVERIFY(pTool);
        QSignalSpy rotated(m_pScene, &CEditBaseScene::itemRotate);
        const QPointF centre = p->mapToScene(p->boundingRect().center());
        const QPointF grab(200, 85); // right-centre handle
        hover(grab);
        press(grab);
        QCOMPARE(int(g_selectMode), int(rotate));
        QVERIFY(pTool->outline());
        QCOMPARE(int(m_pView->cursor().shape()), int(Qt::BitmapCursor));
        QCOMPARE(m_pView->cursor().hotSpot(), QPoint(12, 12));
        // A quarter turn clockwise: the cursor goes below the centre.
        const QPointF to = centre + QPointF(0, 60);
        moveTo(to);
        QCOMPARE(p->rotation(), 0.0);
        const qreal expected = CEditRotationBorder::turnedAngle(
            0, CEditRotationBorder::angleAround(p, to), CEditRotationBorder::angleAround(p, grab));
        QCOMPARE(pTool->outline()->rotation(), expected);
        QVERIFY(expected >= 89 && expected <= 90);
        release(to);
        QCOMPARE(p->rotation(), expected);
        QCOMPARE(rotated.count(), 1);
        QVERIFY(!pTool->outline());
        QCOMPARE(int(g_selectMode), int(none));
        QCOMPARE(int(m_pView->cursor().shape()), int(Qt::ArrowCursor));
        QVERIFY(received().isEmpty());
        CEditBaseItemBorder::m_sBorderType = selection;
    }

    void rotationAngleArithmetic_data()
    {
        QTest::addColumn<qreal>("rotation");
        QTest::addColumn<qreal>("turn");
        QTest::addColumn<qreal>("result");
        QTest::newRow("0.9 degrees turn nothing") << 0.0 << 0.9 << 0.0;
        QTest::newRow("350 + 20 wraps to 10") << 350.0 << 20.0 << 10.0;
        QTest::newRow("0 - 200 stays") << 0.0 << -200.0 << -200.0;
        QTest::newRow("-350 - 20 wraps to -10") << -350.0 << -20.0 << -10.0;
    }
    void rotationAngleArithmetic()
    {
        QFETCH(qreal, rotation);
        QFETCH(qreal, turn);
        QFETCH(qreal, result);
        QCOMPARE(CEditRotationBorder::turnedAngle(rotation, 30 + turn, 30), result);
    }

    // A rotation press beside the handles hands over to the selection tool, which selects.
    void rotationPressBesideHandlesSelects()
    {
        CEditSingleTextItem *p = layer(1, 100, 60, 100, 50);
        CEditSingleTextItem *q = layer(2, 300, 60, 50, 50);
        q->setSelected(true);
        CEditBaseItemBorder::m_sBorderType = rotation;
        drag(QPointF(150, 85), QPointF(150, 85));
        QCOMPARE(CEditBaseItemBorder::m_sBorderType, selection);
        QVERIFY(p->isSelected());
        QVERIFY(!q->isSelected());
        QCOMPARE(p->rotation(), 0.0);
    }
};

VISTEL_TEST_MAIN(TestSelectTool)
#include "tst_selecttool.moc"
