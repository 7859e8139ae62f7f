#include "TestMain.h"

#include <QElapsedTimer>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include "BaseThread.h"
#include "EditAnimation.h"
#include "EditBaseScene.h"
#include "EditItemFactory.h"
#include "HubSpy.h"
#include "QorGlobal.h"
#include "editosditem.h"
#include "globalObserver.h"

#include <memory>

// Counts "on_OSDSettingButton_clicked" as the editor frame receives it.
class CSettingsButtonSpy : public QObject
{
    Q_OBJECT
public:
    CSettingsButtonSpy() { globalObserver::getGlobalObserver()->attach("on_OSDSettingButton_clicked", this, "on_OSDSettingButton_clicked"); }
    ~CSettingsButtonSpy() override { globalObserver::getGlobalObserver()->detach("on_OSDSettingButton_clicked", this); }
    int m_nCount = 0;
public slots:
    void on_OSDSettingButton_clicked() { ++m_nCount; }
};

static QImage paintItem(EditOSDItem &item)
{
    QImage img(item.rect().size().toSize(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    QStyleOptionGraphicsItem option;
    item.paint(&p, &option, nullptr);
    return img;
}

static QPixmap textPixmap(int w, int h)
{
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::red);
    return pixmap;
}

class TestOsdItem : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        g_OSDindex = 0;
        g_nOSDSpeed = 0;
        g_dWScale = 2.0;
        g_dHScale = 2.0;
    }

    // The live OSD commands: "OSD参数设置", write, the OSD slot first.
    void commands_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("background transparency") << 0 << 2 << 4 << QByteArray::fromHex("0280");
        QTest::newRow("text colour") << 1 << 0 << 7 << QByteArray::fromHex("00FF0010");
        QTest::newRow("background colour") << 2 << 1 << 8 << QByteArray::fromHex("01FF0010");
        QTest::newRow("text transparency") << 3 << 5 << 3 << QByteArray::fromHex("05C8");
        QTest::newRow("speed") << 4 << 0 << 5 << QByteArray::fromHex("0003");
        QTest::newRow("layer transparency") << 5 << 0 << 4 << QByteArray::fromHex("007B");
    }
    void commands()
    {
        QFETCH(int, which);
        QFETCH(int, index);
        QFETCH(int, sub);
        QFETCH(QByteArray, payload);
        CHubSpy spy;
        EditOSDItem item(QRect(0, 0, 40, 20), true);
        item.m_strSerial = "SN9";
        item.m_nFontTransNum = 200;
        item.m_nTransNum = 123;
        g_OSDindex = index;
        switch (which) {
        case 0: item.setOSDTrans(128); break;
        case 1: item.sendFontColor(QColor(255, 0, 16)); break;
        case 2: item.sendbkColor(QColor(255, 0, 16)); break;
        case 3: item.sendFontTrans(); break;
        case 4: item.sendFontSpeed(3); break;
        default: item.setLayerTrans(); break;
        }
        QCOMPARE(spy.count("slot_setDeviceCmd"), 1);
        QCOMPARE(spy.last("slot_setDeviceCmd"), QVariantList({"SN9", QString::fromUtf8("OSD参数设置"), payload, 2, sub}));
        // the commands leave the item's fields alone
        QCOMPARE(item.m_nFontTransNum, 200);
    }

    void layerCommands()
    {
        CHubSpy spy;
        EditOSDItem item(QRect(0, 0, 40, 20), true);
        item.m_strSerial = "SN9";
        item.setItemId(1000);
        item.setItemMainSig(2);
        item.setLayerSig(2);
        QCOMPARE(spy.count("slot_setDeviceCmd"), 0);
        item.setLayerSig(3);
        QCOMPARE(spy.last("slot_setDeviceCmd"), QVariantList({"SN9", QString::fromUtf8("图层设置"), QByteArray::fromHex("E803"), 2, 3}));
        item.m_nCut = 1;
        item.m_nCutWidth = 1920;
        item.setLayerCut();
        QCOMPARE(spy.last("slot_setDeviceCmd").at(2).toByteArray(), QByteArray::fromHex("E801000000000780 0000"));
    }

    void paintsStillText()
    {
        EditOSDItem item(QRect(0, 0, 120, 30), true);
        item.setItemContent("Hi");
        const QImage img = paintItem(item);
        QCOMPARE(QColor(img.pixel(118, 2)), QColor(80, 70, 255));
        // the text is white, at the left, vertically centred
        bool bWhiteLeft = false, bWhiteRight = false;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 120; ++x)
                if (qRed(img.pixel(x, y)) > 150)
                    (x < 40 ? bWhiteLeft : bWhiteRight) = true;
        QVERIFY(bWhiteLeft);
        QVERIFY(!bWhiteRight);
    }

    void doubleClick()
    {
        CSettingsButtonSpy spy;
        EditOSDItem item(QRect(0, 0, 40, 20), true);
        QGraphicsSceneMouseEvent right(QEvent::GraphicsSceneMouseDoubleClick);
        right.setButton(Qt::RightButton);
        CEditBaseScene scene;
        scene.addItem(&item);
        scene.sendEvent(&item, &right);
        QCOMPARE(spy.m_nCount, 0);
        QGraphicsSceneMouseEvent left(QEvent::GraphicsSceneMouseDoubleClick);
        left.setButton(Qt::LeftButton);
        scene.sendEvent(&item, &left);
        QCOMPARE(spy.m_nCount, 1);
        scene.removeItem(&item);
    }

    void deviceGeometry()
    {
        EditOSDItem item(QRect(0, 0, 40, 20), true);
        item.updateCoordinate();
        item.setPos(100, 50);
        int x = 0, y = 0, w = 0, h = 0;
        item.getItemPos(x, y);
        item.getItemSize(w, h);
        QCOMPARE(QPoint(x, y), QPoint(160, 80));
        QCOMPARE(QSize(w, h), QSize(80, 40));
        double px = 0, py = 0;
        QVERIFY(item.getZoomOutPos(160, 80, px, py));
        QCOMPARE(QPointF(px, py), QPointF(100, 50));
        // the top-middle handle changes the height only and marks the corner as moved
        item.stretch(2, 3.0, 2.0, QPointF(20, 20));
        QCOMPARE(item.rect().width(), 40.0);
        QCOMPARE(item.rect().height(), 40.0);
        QVERIFY(item.m_bIsMove);
        // a resize that starts from a rectangle narrower than 10 does nothing
        EditOSDItem narrow(QRect(0, 0, 8, 20), true);
        narrow.stretch(4, 2.0, 1.0, QPointF(0, 0));
        QCOMPARE(narrow.rect(), QRectF(0, 0, 8, 20));
        // nor does a factor that is not a number
        item.stretch(5, qQNaN(), 1.0, QPointF(0, 0));
        QCOMPARE(item.rect().height(), 40.0);
    }

    void madeByTheFactory()
    {
        std::unique_ptr<CEditBaseItem> pItem(CEditItemFactory::create(MediaType_Pixmap, QRect(0, 0, 40, 20)));
        QVERIFY(dynamic_cast<EditOSDItem *>(pItem.get()));
        QCOMPARE(pItem->getItemType(), int(MediaType_Pixmap));
    }

    // A scroll sends its frames to the item; a new preview restarts it at once; speed 0 ends it;
    // an item destroyed while it scrolls stops its thread first (run under the sanitizers).
    void scrollStopRestartDestroy()
    {
        auto pItem = std::make_unique<EditOSDItem>(QRect(0, 0, 60, 20), true);
        QTRY_VERIFY(pItem->frameThread()->isIdle());
        pItem->setOSDPixmap(textPixmap(60, 20));
        pItem->m_nInSpeed = 1;
        g_nOSDSpeed = 1; // 1100 ms between frames
        pItem->preview();
        QTRY_VERIFY(!pItem->m_drawPixmap.isNull());
        QVERIFY(pItem->isScrolling());
        const QImage frame = pItem->m_drawPixmap.toImage();
        QCOMPARE(frame.size(), QSize(60, 20));
        // restarted without waiting for the frame delay
        QElapsedTimer t;
        t.start();
        pItem->m_drawPixmap = QPixmap();
        pItem->preview();
        QTRY_COMPARE(pItem->frameThread()->drawCount(), 2);
        QTRY_VERIFY(!pItem->m_drawPixmap.isNull());
        QVERIFY(t.elapsed() < 900);
        // still text: the scroll ends and the thread sleeps
        pItem->m_nInSpeed = 0;
        pItem->stopScroll();
        QTRY_VERIFY(!pItem->isScrolling());
        QTRY_VERIFY(pItem->frameThread()->isIdle());
        // destroyed mid-scroll: no wait for the frame delay
        pItem->m_nInSpeed = 3;
        pItem->preview();
        QTRY_VERIFY(pItem->isScrolling());
        t.restart();
        pItem.reset();
        QVERIFY(t.elapsed() < 900);
        // frames still queued for the gone item are dropped with it
        QCoreApplication::sendPostedEvents();
    }

    // A stop right after a preview, before the frame thread has taken it up, still ends the scroll:
    // no frames come after it.
    void stopRightAfterPreview()
    {
        EditOSDItem item(QRect(0, 0, 60, 20), true);
        item.setOSDPixmap(textPixmap(60, 20));
        item.m_nInSpeed = 10;
        g_nOSDSpeed = 10; // 110 ms between frames
        for (int i = 0; i < 20; ++i) {
            item.preview();
            item.stopScroll();
            QTRY_VERIFY(!item.isScrolling() && item.frameThread()->isIdle());
            // A frame rendered before the stop was posted before the thread went idle: take it in.
            QCoreApplication::sendPostedEvents();
            const int nDrawn = item.frameThread()->drawCount();
            item.m_drawPixmap = QPixmap();
            // Room for a frame that must not come; a slow machine only gives it less.
            QTest::qWait(150);
            QVERIFY2(item.frameThread()->drawCount() == nDrawn && item.m_drawPixmap.isNull() && !item.isScrolling(),
                     qPrintable(QString("run %1").arg(i)));
        }
    }

    // The scene refreshing its OSD item for a new text: a running scroll ends (the item is still
    // text again) and the engine renders from the new picture.
    void sceneRefreshStopsScroll()
    {
        CEditBaseScene scene;
        QCOMPARE(scene.createOSDItem("first", QSize(60, 20), QPointF()), 1000);
        auto *pItem = static_cast<EditOSDItem *>(scene.osdItem());
        pItem->m_nInSpeed = 10;
        g_nOSDSpeed = 10;
        pItem->preview();
        QTRY_VERIFY(pItem->isScrolling());
        const QImage before = pItem->animation()->sourceImage();
        const QColor bk = g_bkColor;
        g_bkColor = Qt::darkGreen; // a picture unlike the first
        QCOMPARE(scene.createOSDItem("second", QSize(60, 20), QPointF()), -1);
        g_bkColor = bk;
        QCOMPARE(pItem->m_nInSpeed, 0);
        QTRY_VERIFY(!pItem->isScrolling() && pItem->frameThread()->isIdle());
        QCOMPARE(pItem->animation()->sourceImage(), pItem->m_OSDPixmap.toImage());
        QVERIFY(pItem->animation()->sourceImage() != before);
    }

    // Many items created and destroyed while scrolling, with the source changed underneath.
    void scrollChurn()
    {
        g_nOSDSpeed = 10;
        for (int i = 0; i < 20; ++i) {
            EditOSDItem item(QRect(0, 0, 30, 10), true);
            item.m_nInSpeed = 5;
            item.setOSDPixmap(textPixmap(30, 10));
            item.preview();
            item.setOSDPixmap(textPixmap(30, 10));
            if (i % 2)
                item.preview();
            QTest::qWait(1);
        }
    }
};

VISTEL_TEST_MAIN(TestOsdItem)
#include "tst_osditem.moc"
