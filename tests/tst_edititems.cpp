// The scene's items: layer commands in device pixels, geometry, persistence, and the scene's
// own handling of ids, placement, palette and keys.
#include "TestMain.h"
#include <functional>

#include <QGraphicsSceneMouseEvent>
#include <QJsonDocument>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleOptionGraphicsItem>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "BesMessageBox.h"
#include "EditBaseItemBorder.h"
#include "EditBoxSort.h"
#include "EditBaseItemGroup.h"
#include "EditBaseProxyWidget.h"
#include "EditBaseScene.h"
#include "EditItemFactory.h"
#include "EditSingleTextItem.h"
#include "Json.h"
#include "QorGlobal.h"
#include "SceneBackCanvas.h"
#include "SceneTestUtil.h"

using namespace SceneTest;

namespace {

const QString kLayer = QString::fromUtf8("图层设置");

QByteArray hex(const char *psz)
{
    return QByteArray::fromHex(psz);
}

// A layer of the scene whose top-left and size are the given device pixels.
CEditSingleTextItem *placeLayer(CEditBaseScene &scene, int nId, int x, int y, int w, int h)
{
    CEditSingleTextItem *p = new CEditSingleTextItem(QRect(0, 0, 10, 10), true);
    p->setItemType(MediaType_SingleText);
    p->updateCoordinate();
    scene.addItem(p);
    scene.m_listItems.append(p);
    p->setItemId(nId);
    p->m_strSerial = "SN1";
    p->setWidth(w / g_dWScale);
    p->setHeight(h / g_dHScale);
    double sx = 0, sy = 0;
    p->getZoomOutPos(x, y, sx, sy);
    p->setPos(sx, sy);
    return p;
}

class CTestProxy : public CEditBaseProxyWidget
{
public:
    void setItemFile(const QString &strFile) override { m_strFilePath = strFile; }
    void setVideoMute(bool bMute) override { m_bMute = bMute; }
    void setVideoVolume(double dVolume) override { m_dVolume = dVolume; }
};

// The smallest concrete base item.
class CPlainItem : public CEditBaseItem
{
public:
    QRectF boundingRect() const override { return m_localRect; }
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}
    void setItemState(EditSelectionHandleState state) override { setHandlesState(state); }
    void setItemFile(const QString &strFile) override { m_strFilePath = strFile; }
};

// A mouse tool of a kind no real tool serves, recording what the scene hands it.
class CProbeTool : public CEditBaseItemBorder
{
public:
    CProbeTool() : CEditBaseItemBorder(polyline) {}
    void mousePressEvent(QGraphicsSceneMouseEvent *e, CEditBaseScene *s) override
    {
        CEditBaseItemBorder::mousePressEvent(e, s);
        calls << "press";
        pScene = s;
    }
    void mouseMoveEvent(QGraphicsSceneMouseEvent *e, CEditBaseScene *s) override
    {
        CEditBaseItemBorder::mouseMoveEvent(e, s);
        calls << "move";
    }
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *e, CEditBaseScene *s) override
    {
        CEditBaseItemBorder::mouseReleaseEvent(e, s);
        calls << "release";
    }
    QStringList calls;
    CEditBaseScene *pScene = nullptr;
};

} // namespace

class TestEditItems : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        useDeviceCanvas();
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
        BesMessageBox::clearTestRecords();
    }
    void cleanup() { BesMessageBox::clearTestAnswer(); }

    // Device pixels and back: a layer read at device pixels reports the same pixels.
    void devicePixelsRoundTrip_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::newRow("origin") << 0 << 0 << 1920 << 1080;
        QTest::newRow("quarter") << 960 << 540 << 960 << 540;
        QTest::newRow("odd") << 7 << 13 << 333 << 77;
    }
    void devicePixelsRoundTrip()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, w);
        QFETCH(int, h);
        CEditBaseScene scene;
        CEditSingleTextItem *p = placeLayer(scene, 0, x, y, w, h);
        int px, py, pw, ph;
        p->getItemPos(px, py);
        p->getItemSize(pw, ph);
        QCOMPARE(QList<int>({px, py, pw, ph}), QList<int>({x, y, w, h}));
        // the centre is the position
        QCOMPARE(p->pos(), QPointF(x / g_dWScale + p->width() / 2, y / g_dHScale + p->height() / 2));
    }

    // The position command (sub 10): clamped to the device canvas; nothing wholly outside.
    void positionCommand_data()
    {
        QTest::addColumn<QList<int>>("geometry");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("inside") << QList<int>({100, 50, 400, 300}) << hex("03006400320190012c");
        QTest::newRow("over the right edge") << QList<int>({1800, 0, 300, 100}) << hex("030708000000780064");
        QTest::newRow("left of the canvas") << QList<int>({-50, 0, 300, 100}) << hex("030000000000fa0064");
        QTest::newRow("above and below") << QList<int>({0, -20, 100, 1200}) << hex("030000000000640438");
        QTest::newRow("wholly right") << QList<int>({1920, 0, 100, 100}) << QByteArray();
        QTest::newRow("wholly below") << QList<int>({0, 1100, 100, 100}) << QByteArray();
        QTest::newRow("wholly left") << QList<int>({-400, 0, 300, 100}) << QByteArray();
    }
    void positionCommand()
    {
        QFETCH(QList<int>, geometry);
        QFETCH(QByteArray, payload);
        CEditBaseScene scene;
        CSceneSpy spy;
        CEditSingleTextItem *p = placeLayer(scene, 3, geometry[0], geometry[1], geometry[2], geometry[3]);
        QCOMPARE(p->setLayerPosAndSize(), !payload.isEmpty());
        const QList<QByteArray> sent = spy.payloads(kLayer, 10);
        QCOMPARE(sent.size(), payload.isEmpty() ? 0 : 1);
        if (!payload.isEmpty()) {
            QCOMPARE(sent.first().toHex(), payload.toHex());
            QCOMPARE(spy.last("slot_setDeviceCmd").at(0).toString(), QString("SN1"));
            QCOMPARE(spy.last("slot_setDeviceCmd").at(3).toInt(), 2);
        }
        // the complete command clamps alike
        spy.clear();
        QCOMPARE(p->setLayerAllCmd(), !payload.isEmpty());
        if (!payload.isEmpty())
            QCOMPARE(spy.payloads(kLayer, 0).first().mid(6, 8).toHex(), payload.mid(1).toHex());
    }

    // A width change moves the right edge only: the top-left sent stays where the layer is.
    void widthChangeKeepsTopLeft()
    {
        CEditBaseScene scene;
        CSceneSpy spy;
        CEditSingleTextItem *p = placeLayer(scene, 1, 100, 60, 400, 300);
        p->setWidth(p->width() + 50); // the right edge moved
        QVERIFY(p->setLayerPosAndSize());
        QCOMPARE(spy.payloads(kLayer, 10).last().toHex(), hex("010064003c01f4012c").toHex());
    }

    void roundingHalfAwayFromZero()
    {
        CEditBaseScene scene;
        CEditSingleTextItem *p = placeLayer(scene, 0, 0, 0, 100, 100);
        const QPointF centre = p->pos() - QPointF(p->width() / 2, p->height() / 2);
        p->setPos(p->pos() + QPointF(5.25, 0) - QPointF(centre.x(), 0));
        int x, y;
        p->getItemPos(x, y);
        QCOMPARE(x, 11);
        p->setPos(p->pos() - QPointF(10.5, 0));
        p->getItemPos(x, y);
        QCOMPARE(x, -11);
    }

    void crossCanvas_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("w");
        QTest::addColumn<bool>("cross");
        QTest::newRow("ends at the middle") << 900 << 60 << false;
        QTest::newRow("one past") << 900 << 61 << true;
        QTest::newRow("starts at the middle") << 960 << 100 << false;
    }
    void crossCanvas()
    {
        QFETCH(int, x);
        QFETCH(int, w);
        QFETCH(bool, cross);
        CEditBaseScene scene;
        QCOMPARE(placeLayer(scene, 0, x, 0, w, 100)->isCrossCanvas(), cross);
    }

    // The other layer commands' payloads.
    void layerCommands()
    {
        CEditBaseScene scene;
        scene.setSceneID(4);
        CSceneSpy spy;
        CEditSingleTextItem *p = placeLayer(scene, 2, 0, 0, 960, 540);
        p->setZValue(3);
        p->setItemMainSig(0);
        QCOMPARE(p->m_nBackupSig, 1);
        p->setItemMainSig(5);
        QCOMPARE(p->m_nBackupSig, 4);
        p->setLayerSig(5);
        QVERIFY(spy.payloads(kLayer, 3).isEmpty());
        p->setLayerSig(1);
        QCOMPARE(spy.payloads(kLayer, 3), QList<QByteArray>({hex("0201")}));
        p->setLayerEnable(0);
        QCOMPARE(spy.payloads(kLayer, 1), QList<QByteArray>({hex("0200")}));
        p->m_nTransNum = 128;
        p->setLayerTrans();
        QCOMPARE(spy.payloads(kLayer, 30), QList<QByteArray>({hex("0280")}));
        p->m_nTransNum = 300;
        p->setLayerTrans();
        QCOMPARE(spy.payloads(kLayer, 30).last(), hex("02ff"));
        p->m_nTransNum = 128;
        spy.clear();
        p->setLayerLevel(5);
        const QList<QVariantList> cmds = spy.records("slot_setDeviceCmd");
        QCOMPARE(cmds.size(), 2);
        QCOMPARE(cmds.at(0).at(2).toByteArray(), hex("0205"));
        QCOMPARE(cmds.at(1).at(1).toString(), QString::fromUtf8("场景操作"));
        QCOMPARE(cmds.at(1).at(2).toByteArray(), hex("04"));
        QCOMPARE(cmds.at(1).at(3).toInt(), 1);
        spy.clear();
        QVERIFY(p->setLayerAllCmd());
        QCOMPARE(spy.payloads(kLayer, 0).first().toHex(), hex("0200030104800000000003c0021c000000000000000000").toHex());
    }

    void cropCommand_data()
    {
        QTest::addColumn<QList<int>>("crop");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("whole layer") << QList<int>({0, 0, 960, 540}) << QString();
        QTest::newRow("one wider") << QList<int>({0, 0, 961, 540}) << QString::fromUtf8("输入宽高值不在有效范围内");
        QTest::newRow("negative x") << QList<int>({-1, 0, 10, 10}) << QString::fromUtf8("起始坐标不得为负数");
        QTest::newRow("zero width") << QList<int>({0, 0, 0, 10}) << QString::fromUtf8("输入宽高值不在有效范围内");
        QTest::newRow("past the right") << QList<int>({900, 0, 100, 10}) << QString::fromUtf8("输入宽高值不在有效范围内");
    }
    void cropCommand()
    {
        QFETCH(QList<int>, crop);
        QFETCH(QString, refusal);
        CEditBaseScene scene;
        CSceneSpy spy;
        CEditSingleTextItem *p = placeLayer(scene, 1, 0, 0, 960, 540);
        QCOMPARE(p->setLayerCut(crop[0], crop[1], crop[2], crop[3]), refusal.isEmpty());
        if (refusal.isEmpty()) {
            QByteArray want = hex("0101");
            for (int v : crop)
                want.append(char(v >> 8)).append(char(v & 0xFF));
            QCOMPARE(spy.payloads(kLayer, 20), QList<QByteArray>({want}));
        } else {
            QVERIFY(spy.payloads(kLayer, 20).isEmpty());
            QCOMPARE(BesMessageBox::testRecords().last().text, refusal);
        }
    }

    // The scene's item JSON round trip for every item kind, and damaged objects.
    void jsonRoundTripLayer()
    {
        CEditBaseScene scene;
        CEditSingleTextItem *p = placeLayer(scene, 7, 100, 60, 400, 300);
        p->setZValue(4);
        p->setItemRotation(15);
        p->m_nTransNum = 99;
        p->m_lineColor = QColor(1, 2, 3);
        p->setItemContent("IN2 : 1920x1080@60");
        p->setItemFile("/a/b/c.png");
        const QJsonObject o = p->saveToJson();
        QCOMPARE(o.value("Type").toInt(), 3);
        QCOMPARE(o.value("LineColor").toString(), QString("ff010203"));
        QCOMPARE(o.value("BkColor").toString(), QString("ff81b4d2"));
        QCOMPARE(o.value("TextBkColor").toString(), QString("ff232323"));
        QCOMPARE(o.value("FontName").toString(), QString::fromUtf8("仿宋"));
        QScopedPointer<CEditBaseItem> copy(CEditItemFactory::createFromJson(o));
        QVERIFY(copy);
        CEditSingleTextItem *c = static_cast<CEditSingleTextItem *>(copy.data());
        QCOMPARE(c->getItemId(), 7);
        QCOMPARE(c->zValue(), 4.0);
        QCOMPARE(c->rotation(), 15.0);
        QCOMPARE(c->m_nTransNum, 99);
        QCOMPARE(c->m_lineColor, QColor(1, 2, 3));
        QCOMPARE(c->itemContent(), QString("IN2 : 1920x1080@60"));
        QCOMPARE(c->getItemShowName(), QString("c.png"));
        QCOMPARE(c->saveToJson(), o);
    }

    void jsonGeometryAndTexts()
    {
        CEditBaseScene scene;
        CEditSingleTextItem *p = placeLayer(scene, 0, 0, 0, 200, 100);
        p->setWidth(100.4);
        p->setHeight(50);
        p->setPos(60.4, 40);
        QJsonObject o = p->saveToJson();
        QCOMPARE(o.value("X").toInt(), 10);
        QCOMPARE(o.value("Y").toInt(), 15);
        QCOMPARE(o.value("Width").toInt(), 100);
        p->setPos(-3.7 + 50.2, 40);
        QCOMPARE(p->saveToJson().value("X").toInt(), -3);
        QCOMPARE(g_itemColorFromText("ff00ff00"), QColor(0, 255, 0));
        QCOMPARE(g_itemColorFromText("zz"), QColor(0, 0, 0));
        p->m_timeStart = QTime(13, 5, 9);
        o = p->saveToJson();
        QCOMPARE(o.value("TimeStart").toString(), QString("yyyy-MM-dd 13:05:09"));
        o.insert("TimeStart", "08:30:00");
        Json alone(QString::fromUtf8(QJsonDocument(o).toJson()));
        p->loadFromJson(alone);
        QVERIFY(p->m_timeStart.isNull());
    }

    void damagedJson_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("no width") << QByteArray(R"({"Type":3,"Height":10})");
        QTest::newRow("fractional width") << QByteArray(R"({"Type":3,"Width":10.5,"Height":10})");
        QTest::newRow("negative height") << QByteArray(R"({"Type":3,"Width":10,"Height":-1})");
        QTest::newRow("text type") << QByteArray(R"({"Type":"3","Width":10,"Height":10})");
        QTest::newRow("unknown kind") << QByteArray(R"({"Type":42,"Width":10,"Height":10})");
    }
    void damagedJson()
    {
        QFETCH(QByteArray, text);
        QVERIFY(!CEditItemFactory::createFromJson(QJsonDocument::fromJson(text).object()));
    }

    void jsonGroupAndProxy()
    {
        CEditBaseScene scene;
        CTestProxy *pProxy = new CTestProxy;
        scene.addItem(pProxy);
        pProxy->setPos(10.4, 10.6);
        pProxy->m_lineColor = QColor(9, 8, 7);
        const QJsonObject o = pProxy->saveToJson();
        QVERIFY(o.contains("TranNum")); // literal keys, whatever the language
        QCOMPARE(o.value("X").toInt(), 10);
        QCOMPARE(o.value("Y").toInt(), 11);
        CTestProxy back;
        back.loadFromJson(Json(QString::fromUtf8(QJsonDocument(o).toJson())));
        QCOMPARE(back.m_lineColor, QColor(9, 8, 7));
        pProxy->setItemBorder(&scene, true);
        QVERIFY(pProxy->frameItem());
        QCOMPARE(scene.items().count(pProxy->frameItem()), 1);
        delete pProxy; // its frame goes with it
        for (QGraphicsItem *p : scene.items())
            QVERIFY(p->type() != QGraphicsPathItem::Type);

        CEditSingleTextItem *a = placeLayer(scene, 0, 0, 0, 200, 100);
        CEditSingleTextItem *b = placeLayer(scene, 1, 400, 0, 200, 100);
        CEditBaseItemGroup *pGroup = scene.createGroup({a, b}, true);
        QVERIFY(pGroup);
        QCOMPARE(pGroup->members().size(), 2);
        QCOMPARE(pGroup->getItemId(), 0);
        a->setSelected(true);
        QVERIFY(!a->isSelected());
        pGroup->moveItem(QPointF(0, 0));
        QCOMPARE(pGroup->pos(), QPointF(pGroup->width() / 2 + 5, pGroup->height() / 2 + 20));
    }

    // The scene: ids, Z values, quarters, palette and the item-press announcement.
    void layersFillQuarters()
    {
        CEditBaseScene scene;
        scene.m_strSerial = "SN1";
        CSceneSpy spy;
        const QSize sz(480, 320);
        QList<QPointF> at;
        for (int i = 0; i < 7; ++i) {
            QPointF pt;
            scene.addCanvasItem(pt, QString(), "IN1", sz, 3, 0, false);
            CEditSingleTextItem *p = scene.layerItems().last();
            at << p->pos() - QPointF(p->width() / 2, p->height() / 2);
            QCOMPARE(p->getItemId(), i);
            QCOMPARE(p->zValue(), double(i + 1));
            QCOMPARE(p->itemSelectColor(), scene.getSelectedColor(i));
        }
        QCOMPARE(at.mid(0, 5), QList<QPointF>({{0, 0}, {480, 0}, {0, 320}, {480, 320}, {0, 0}}));
        QCOMPARE(scene.layerItems().at(6)->itemSelectColor(), QColor(99, 57, 116));
        QCOMPARE(spy.records("slot_itemPress").first().at(0).toInt(), 1); // id 0 is not announced
        QCOMPARE(spy.count("slot_itemPress"), 6);
        QCOMPARE(scene.m_nLayerUse, 7);
        QCOMPARE(spy.payloads(kLayer, 0).size(), 7);
        // a drop point picks its quarter; one outside all stays
        QPointF drop(700, 10);
        scene.addCanvasItem(drop, QString(), "IN1", sz, 3, 0, true);
        QCOMPARE(scene.layerItems().last()->pos() - QPointF(240, 160), QPointF(480, 0));
    }

    void newIdSkipsTheOsdId()
    {
        CEditBaseScene scene;
        CEditSingleTextItem *pOsd = placeLayer(scene, 1000, 0, 0, 100, 100);
        pOsd->setItemType(MediaType_Pixmap);
        QCOMPARE(scene.getNewItemID(), 0);
        placeLayer(scene, 0, 0, 0, 100, 100);
        QCOMPARE(scene.getNewItemID(), 1);
        QCOMPARE(scene.getSelectedColor(-1), QColor(0, 0, 143));
    }

    void arrowKeysMoveSelection()
    {
        CEditBaseScene scene;
        CSceneSpy spy;
        CEditSingleTextItem *p = placeLayer(scene, 0, 0, 0, 100, 100);
        p->setSelected(true);
        const QPointF before = p->pos();
        QSignalSpy moved(&scene, &CEditBaseScene::itemMoved);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
        QApplication::sendEvent(&scene, &press);
        QApplication::sendEvent(&scene, &release);
        QCOMPARE(p->pos(), before + QPointF(1, 0));
        QCOMPARE(spy.count("slot_updateItemPos"), 1);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.first().at(1).toPointF(), QPointF(1, 0));
        p->setSelected(false);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&scene, &esc);
        QCOMPARE(spy.last("slot_selectToolBar").at(0).toInt(), 14);
        scene.setSceneType(Scene_TimeLine);
        p->setSelected(true);
        QApplication::sendEvent(&scene, &press);
        QCOMPARE(p->pos(), before + QPointF(1, 0));
    }

    // A right press on a scene shown in no view selects but asks for no menu.
    void rightPressWithoutView()
    {
        CEditBaseScene scene;
        CSceneSpy spy;
        QRect rt(0, 0, 960, 640);
        scene.createBackCanvas(rt);
        CEditSingleTextItem *p = placeLayer(scene, 0, 0, 0, 400, 400);
        QGraphicsSceneMouseEvent e(QEvent::GraphicsSceneMousePress);
        e.setButton(Qt::RightButton);
        e.setScenePos(p->pos());
        QApplication::sendEvent(&scene, &e);
        QVERIFY(p->isSelected());
        QCOMPARE(spy.count("slot_showItemMenu"), 0);
    }

    void backCanvas()
    {
        CSceneBackCanvas canvas(QRect(100, 50, 960, 640));
        QCOMPARE(canvas.rect(), QRectF(0, 0, 960, 640));
        QCOMPARE(canvas.type(), 3);
        QCOMPARE(canvas.zValue(), -100.0);
        g_dWScale = 3841.0 / 960;
        QCOMPARE(canvas.outputLabel(1), QString("Output-1\r\n1920x%1").arg(int(640 * g_dHScale)));
    }

    void handles()
    {
        CEditBaseScene scene;
        CEditSingleTextItem *p = placeLayer(scene, 0, 0, 0, 200, 100);
        QCOMPARE(p->handleCount(), 8);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(p->handles().at(i)->dir(), i + 1);
        QCOMPARE(p->opposite(1), p->handlePos(5));
        QCOMPARE(p->opposite(8), p->handlePos(4));
        QCOMPARE(p->opposite(0), QPointF());
        QCOMPARE(p->opposite(9), QPointF());
        QCOMPARE(p->handlePos(9), QPointF());
        QVERIFY(p->handles().first()->isVisible() == false);
        // a stretch from a rectangle under 10 units wide changes nothing
        CEditSingleTextItem small(QRect(0, 0, 8, 50), true);
        small.stretch(5, 2, 2, QPointF());
        QCOMPARE(small.width(), 8.0);
    }

    void moveItemClamp()
    {
        CEditSingleTextItem p(QRect(0, 0, 100, 50), true);
        p.updateCoordinate();
        p.moveItem(QPointF(10, 10));
        QCOMPARE(p.pos(), QPointF(50, 25));
        p.m_bShowNormal = false;
        p.moveItem(QPointF(10, 10));
        QCOMPARE(p.pos(), QPointF(55, 45));
        p.moveItem(QPointF(5000, 4000));
        QCOMPARE(p.pos(), QPointF(5000, 4000));
        p.setChange(false);
        QVERIFY(!g_bHadChange);
    }

    void fullScreenScaling()
    {
        CEditSingleTextItem p(QRect(0, 0, 10, 10), true);
        p.setWidth(33.3);
        p.setHeight(10);
        p.setPos(10.5, 20.9);
        p.m_nFontSize = 16;
        p.setFullScreen(true);
        QCOMPARE(p.pos(), QPointF(31, 62));
        QCOMPARE(QSizeF(p.width(), p.height()), QSizeF(99, 30));
        QCOMPARE(p.m_nFontSize, 48);
        p.setFullScreen(false);
        QCOMPARE(p.pos(), QPointF(10, 20));
        QCOMPARE(QSizeF(p.width(), p.height()), QSizeF(33, 10));
        QCOMPARE(p.m_nFontSize, 16);
    }

    void xmlAttributes()
    {
        CEditSingleTextItem p(QRect(0, 0, 100, 50), true);
        p.updateCoordinate();
        p.setPos(50, 25);
        QString text;
        QXmlStreamWriter w(&text);
        w.writeStartElement("item");
        p.writeBaseAttributes(&w);
        w.writeEndElement();
        QCOMPARE(text, QString(R"(<item rotate="0" x="50" y="25" z="0" width="100" height="50"/>)"));
    }

    // Both item kinds read their geometry back from the element's attributes; a missing,
    // unreadable or infinite number reads as 0.
    void xmlAttributesRead_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QList<double>>("geometry"); // x, y, z, rotation, width, height
        QTest::newRow("all") << R"(<item rotate="30" x="50.5" y="25" z="2" width="100" height="50"/>)"
                             << QList<double>({50.5, 25, 2, 30, 100, 50});
        QTest::newRow("damaged") << R"(<item rotate="abc" x="inf" y="7" width="nan" height="-4"/>)"
                                 << QList<double>({0, 7, 0, 0, 0, -4});
    }
    void xmlAttributesRead()
    {
        QFETCH(QString, xml);
        QFETCH(QList<double>, geometry);
        auto check = [&](auto &item) {
            QXmlStreamReader r(xml);
            r.readNextStartElement();
            QVERIFY(item.readBaseAttributes(&r));
            const QList<double> got = {item.pos().x(), item.pos().y(), item.zValue(), item.rotation(),
                                       double(item.width()), double(item.height())};
            QCOMPARE(got, geometry);
        };
        CPlainItem item;
        check(item);
        CTestProxy proxy;
        check(proxy);
        QVERIFY(!item.readBaseAttributes(nullptr));
    }

    // An assigned layer and a copied widget item take the other's shown attributes.
    void copiesTakeShownAttributes()
    {
        auto fill = [](auto &item) {
            item.m_bShowNormal = false;
            item.m_lineColor = QColor(1, 2, 3);
            item.m_transColor = QColor(4, 5, 6);
            item.m_nLineWidth = 3;
            item.m_nTransNum = 100;
            item.m_nLightNum = 90;
            item.m_nCmpareNum = 7;
            item.m_timeStart = QTime(1, 2, 3);
            item.m_dWaitTime = 8.5;
            item.m_nShowStyle = 2;
            item.m_nInSpeed = 4;
            item.m_penLine = QPen(QColor(7, 8, 9), 2);
        };
        // the names of the shown attributes in which b differs from a
        auto differ = [](const auto &a, const auto &b) {
            QStringList names;
            auto note = [&names](bool bSame, const char *pszName) {
                if (!bSame)
                    names << pszName;
            };
            note(a.m_bShowNormal == b.m_bShowNormal, "showNormal");
            note(a.m_lineColor == b.m_lineColor, "lineColor");
            note(a.m_transColor == b.m_transColor, "transColor");
            note(a.m_nLineWidth == b.m_nLineWidth, "lineWidth");
            note(a.m_nTransNum == b.m_nTransNum, "trans");
            note(a.m_nLightNum == b.m_nLightNum, "light");
            note(a.m_nCmpareNum == b.m_nCmpareNum, "compare");
            note(a.m_timeStart == b.m_timeStart, "timeStart");
            note(a.m_dWaitTime == b.m_dWaitTime, "waitTime");
            note(a.m_nShowStyle == b.m_nShowStyle, "showStyle");
            note(a.m_nInSpeed == b.m_nInSpeed, "inSpeed");
            note(a.m_penLine == b.m_penLine, "pen");
            return names;
        };
        // (the layer keeps an entry style and speed of its own beside these)
        CEditSingleTextItem from(QRect(0, 0, 10, 10), true);
        CEditSingleTextItem to(QRect(0, 0, 10, 10), true);
        CEditBaseItem &baseFrom = from;
        CEditBaseItem &baseTo = to;
        fill(baseFrom);
        QCOMPARE(differ(baseFrom, baseTo).size(), 12);
        to = from;
        QCOMPARE(differ(baseFrom, baseTo), QStringList());
        CTestProxy proxyFrom;
        CTestProxy proxyTo;
        fill(proxyFrom);
        proxyTo.setParentData(proxyFrom);
        QCOMPARE(differ(proxyFrom, proxyTo), QStringList());
    }

    // Every field of a fresh item has its documented value in the item object.
    void freshItemDefaults()
    {
        CPlainItem item;
        const QJsonObject o = item.saveToJson();
        QCOMPARE(o.size(), 27);
        const QJsonObject want{{"Id", 0}, {"Type", 0}, {"X", 0}, {"Y", 0}, {"Z", 0}, {"Width", 1}, {"Height", 1},
                               {"Rotation", 0}, {"WaitTime", 2}, {"Marins", 0}, {"FilePath", ""}, {"ShowName", ""},
                               {"LineColor", "ff00ff00"}, {"TransColor", "ffffff00"}, {"BkColor", "ff81b4d2"},
                               {"LineWidth", 0}, {"TransNum", 255}, {"LightNum", 255}, {"CmpareNum", 10},
                               {"TimeStart", ""}, {"ShowStyle", 0}, {"InSpeed", 5}, {"OutSpeed", 0}, {"FontSize", 16},
                               {"FontName", QString::fromUtf8("仿宋")}, {"Trans", true}, {"Round", 0}};
        QCOMPARE(o, want);
        QCOMPARE(item.displayName(), QString("AbstractType"));
        QCOMPARE(item.type(), 0x10001);
        CEditBaseItemGroup group;
        QCOMPARE(group.m_nOutSpeed, 0);
        QCOMPARE(group.m_nRound, 0);
        QCOMPARE(group.m_nType, 0);
        QCOMPARE(group.type(), 0x10003);
    }

    // The scene hands presses, moves and releases to the tool of the current kind.
    void mouseGoesToTheCurrentTool()
    {
        CProbeTool probe;
        QCOMPARE(CEditBaseItemBorder::findTool(polyline), &probe);
        QVERIFY(!CEditBaseItemBorder::findTool(bezier));
        CEditBaseScene scene;
        CEditBaseItemBorder::m_sBorderType = polyline;
        for (QEvent::Type t : {QEvent::GraphicsSceneMousePress, QEvent::GraphicsSceneMouseMove, QEvent::GraphicsSceneMouseRelease}) {
            QGraphicsSceneMouseEvent e(t);
            e.setButton(Qt::LeftButton);
            e.setScenePos(QPointF(t == QEvent::GraphicsSceneMousePress ? 12.7 : 40, 30.2));
            QApplication::sendEvent(&scene, &e);
        }
        QCOMPARE(probe.calls, QStringList({"press", "move", "release"}));
        QCOMPARE(probe.pScene, &scene);
        QCOMPARE(CEditBaseItemBorder::m_down, QPointF(12.7, 30.2));
        QCOMPARE(CEditBaseItemBorder::m_sLast, QPointF(40, 30.2));
        QCOMPARE(CEditBaseItemBorder::m_nMagneticX, 12);
        // the release away from the press keeps the kind; one at the press returns to selection
        QCOMPARE(CEditBaseItemBorder::m_sBorderType, polyline);
        QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress), release(QEvent::GraphicsSceneMouseRelease);
        press.setScenePos(QPointF(5, 5));
        release.setScenePos(QPointF(5, 5));
        QApplication::sendEvent(&scene, &press);
        QApplication::sendEvent(&scene, &release);
        QCOMPARE(CEditBaseItemBorder::m_sBorderType, selection);
    }

    void handleStates()
    {
        CEditSizeHandleRect h(nullptr, 3, true);
        QVERIFY(!h.isVisible());
        h.setState(EditSelectionHandleActive);
        QVERIFY(h.isVisible());
        h.setState(EditSelectionHandleOff);
        QVERIFY(!h.isVisible());
        QCOMPARE(h.borderColor(), QColor(Qt::white));
        // the dot drawn is inside the bounding rectangle; the hit area stays 6 x 6
        QVERIFY(h.boundingRect().contains(QRectF(-6, -6, 12, 12)));
        QCOMPARE(h.shape().boundingRect(), QRectF(-3, -3, 6, 6));
    }

    void groupStretch()
    {
        CEditBaseScene scene;
        CEditSingleTextItem *a = placeLayer(scene, 0, 0, 0, 200, 100);
        CEditSingleTextItem *b = placeLayer(scene, 1, 400, 0, 200, 100);
        CEditBaseItemGroup *g = scene.createGroup({a, b}, true);
        const QRectF before = g->boundingRect();
        g->stretch(5, 2, 2, before.topLeft()); // a corner outside normal mode: nothing
        QCOMPARE(g->boundingRect(), before);
        g->stretch(4, 2, 2, before.topLeft()); // right-centre: horizontal only
        QCOMPARE(g->boundingRect().height(), before.height());
        QCOMPARE(g->boundingRect().width(), before.width() * 2);
        g->stretch(4, 2, 2, before.topLeft()); // from the last coordinate update, not compounded
        QCOMPARE(g->boundingRect().width(), before.width() * 2);
    }

    void boxSort()
    {
        const EditBoxSort h(nullptr, QRectF(10, 5, 30, 8), HORZEVEN_ALIGN);
        QCOMPARE(QList<qreal>({h.min(), h.max(), h.extent(), h.anchor}), QList<qreal>({10, 40, 30, 25}));
        const EditBoxSort v(nullptr, QRectF(10, 5, 30, 8), VERTERVEN_ALIGN);
        QCOMPARE(QList<qreal>({v.min(), v.max(), v.extent(), v.anchor}), QList<qreal>({5, 13, 8, 9}));
        const EditBoxSort same(nullptr, QRectF(0, 20, 50, 10), HORZEVEN_ALIGN);
        QVERIFY(!(h < same) && !(same < h));
    }

    // A layer with signal shows its palette colour, one without signal dark grey; a
    // transparency of 0 shows nothing of the fill.
    void painting_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("trans");
        QTest::addColumn<QColor>("fill");
        QTest::newRow("signal") << "IN1 : 1920x1080@60" << 255 << QColor(87, 156, 137);
        QTest::newRow("no signal") << QString::fromUtf8("IN1 : 无输入") << 255 << QColor(35, 35, 35);
        QTest::newRow("transparent") << "IN1 : 1920x1080@60" << 0 << QColor(Qt::white);
    }
    void painting()
    {
        QFETCH(QString, caption);
        QFETCH(int, trans);
        QFETCH(QColor, fill);
        CEditSingleTextItem p(QRect(0, 0, 100, 60), true);
        p.setItemSelectColor(QColor(87, 156, 137));
        p.setItemContent(caption);
        p.m_nTransNum = trans;
        QImage image(100, 60, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QStyleOptionGraphicsItem option;
        p.paint(&painter, &option, nullptr);
        painter.end();
        QCOMPARE(QColor(image.pixel(90, 50)), fill);
        QVERIFY(p.isEnd());
    }

    // The caption comes from the source panel through the serial form of the question.
    void captionAsksWithSerial()
    {
        CEditBaseScene scene;
        CSceneSpy spy;
        CEditSingleTextItem *p = placeLayer(scene, 0, 0, 0, 100, 100);
        p->m_nMainSig = 2;
        p->setItemUpdateNow();
        QTRY_VERIFY(spy.count("slot_getMainSigInputSource") >= 1);
        QCOMPARE(spy.last("slot_getMainSigInputSource"), QVariantList({2, QString("SN1")}));
        QCOMPARE(p->itemContent(), spy.m_strCaption);
    }

    // A refresh that leaves the layer as it was shown repaints nothing; a new caption, or a field
    // changed since without a repaint of its own, is shown at the next refresh.
    void refreshRepaintsChangesOnly()
    {
        CEditBaseScene scene;
        CSceneSpy spy;
        CEditSingleTextItem *p = placeLayer(scene, 0, 0, 0, 100, 100);
        QSignalSpy changed(&scene, &QGraphicsScene::changed);
        const QList<QPair<std::function<void()>, bool>> steps = {
            {[]() {}, true}, {[]() {}, false}, {[&]() { spy.m_strCaption = QString::fromUtf8("IN1 : 无输入"); }, true},
            {[&]() { p->m_nTransNum = 100; }, true}, {[]() {}, false}};
        for (int i = 0; i < steps.size(); ++i) {
            steps.at(i).first();
            const int nAsked = spy.count("slot_getMainSigInputSource");
            changed.clear();
            p->setItemUpdateNow();
            QTRY_VERIFY(spy.count("slot_getMainSigInputSource") > nAsked);
            QCoreApplication::processEvents();
            QVERIFY2(changed.isEmpty() != steps.at(i).second, qPrintable(QString::number(i)));
        }
        QCOMPARE(p->itemContent(), spy.m_strCaption);
    }
};

VISTEL_TEST_MAIN(TestEditItems)
#include "tst_edititems.moc"
