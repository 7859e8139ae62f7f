// The property stack following the selection, its OSD page and the OSD apply against the
// simulated device.
#include "TestMain.h"

#include <QCheckBox>
#include <QInputMethodEvent>
#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>
#include <QProgressBar>
#include <QSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QToolButton>

#include <sys/resource.h>

#include "BackCanvasWidget.h"
#include "BesMessageBox.h"
#include "DeviceFrame.h"
#include "DeviceSimulator.h"
#include "DrawerWidget.h"
#include "EditBaseScene.h"
#include "EditSingleTextItem.h"
#include "GbkCodec.h"
#include "HubSpy.h"
#include "OSDBitmap.h"
#include "OSDTransfer.h"
#include "OSDWidget.h"
#include "PropertyStack.h"
#include "SceneBackCanvas.h"
#include "SimTestUtil.h"
#include "TcpDeviceThread.h"
#include "TestUtil.h"
#include "TextWidget.h"
#include "WndOSDPosWidget.h"
#include "WndPosWidget.h"
#include "editosditem.h"
#include "globalObserver.h"
#include "osdsrttingdlg.h"

// Answers the live-scene question and records the OSD item requests of the settings dialog.
class CCanvasStandIn : public QObject
{
    Q_OBJECT
public:
    CCanvasStandIn()
    {
        globalObserver *pHub = globalObserver::getGlobalObserver();
        pHub->attach("slot_isTakeScene", this, "slot_isTakeScene");
        pHub->attach("slot_addCanvasOSDItem", this, "slot_addCanvasOSDItem");
    }
    ~CCanvasStandIn() override
    {
        globalObserver *pHub = globalObserver::getGlobalObserver();
        pHub->detach("slot_isTakeScene", this);
        pHub->detach("slot_addCanvasOSDItem", this);
    }
    bool m_bTaken = true;
    QList<QVariantList> m_listAdd;
public slots:
    void slot_isTakeScene(int nId, bool &bTaken) { Q_UNUSED(nId) bTaken = m_bTaken; }
    void slot_addCanvasOSDItem(QPointF &pos, const QString &strText, int nSelect) { m_listAdd.append({pos, strText, nSelect}); }
};

// A widget of a form by its object name.
template <typename T>
static T *child(QObject *pParent, const char *pszName)
{
    T *p = pParent->findChild<T *>(QString::fromLatin1(pszName));
    if (!p)
        qFatal("no %s", pszName);
    return p;
}

static bool shown(QWidget *w)
{
    return w->isVisibleTo(w->parentWidget());
}

static QImage threshold(const QImage &src)
{
    QImage img = src.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qGreen(img.pixel(x, y)) >= 50 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return img;
}

static QImage unpack(const QByteArray &bits, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int i = 0; i < w * h; ++i)
        img.setPixel(i % w, i / w, ((uchar(bits.at(i / 8)) >> (i % 8)) & 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return img;
}

class TestPropertyStack : public QObject
{
    Q_OBJECT

    // A scene with a background canvas, one layer window and one OSD item.
    struct Scene
    {
        CEditBaseScene scene;
        CEditSingleTextItem *pLayer = nullptr;
        EditOSDItem *pOsd = nullptr;
        Scene(int nOsdWidth = 200, int nOsdHeight = 16)
        {
            scene.setSceneID(1);
            scene.m_strSerial = "SN1";
            QRect rt(0, 0, 1920, 1080);
            scene.createBackCanvas(rt);
            pLayer = new CEditSingleTextItem(QRect(0, 0, 240, 160), true);
            pLayer->setItemType(MediaType_SingleText);
            pLayer->m_strSerial = "SN1";
            scene.addItem(pLayer);
            pLayer->updateCoordinate();
            pLayer->setPos(120, 80);
            pOsd = new EditOSDItem(QRect(0, 0, nOsdWidth, nOsdHeight), true);
            pOsd->setItemType(MediaType_Pixmap);
            pOsd->setItemId(1000);
            pOsd->m_strSerial = "SN1";
            pOsd->setItemContent("OSD 0123");
            scene.addItem(pOsd);
            pOsd->updateCoordinate();
            pOsd->setPos(nOsdWidth / 2.0, nOsdHeight / 2.0);
        }
    };

    static void select(QGraphicsItem *pItem)
    {
        globalObserver::getGlobalObserver()->notify("slot_propertyDataChange", Q_ARG(QGraphicsItem *, pItem));
    }

private slots:
    void init()
    {
        g_dWScale = 1.0;
        g_dHScale = 1.0;
        g_OSDindex = 1;
        g_nOSDSpeed = 0;
        g_fontTransparency = 255;
        g_bkColorTransparency = 255;
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        BesMessageBox::clearTestRecords();
        QFile::remove("Morvane.ini");
    }
    void cleanup() { BesMessageBox::clearTestAnswer(); }

    // The page and the apply buttons of each selection; a selection sends nothing.
    void followsSelection()
    {
        CHubSpy spy;
        CPropertyStack stack;
        Scene s;
                QCOMPARE(child<QStackedWidget>(&stack, "stackedWidget")->count(), 4);
        QCOMPARE(child<QStackedWidget>(&stack, "stackedWidget")->currentWidget(), stack.tipsWidget());
        QCOMPARE(child<QPushButton>(&stack, "btnWindow")->text(), QString::fromUtf8("设备参数"));
        QVERIFY(shown(child<QPushButton>(&stack, "ZApplication")) && !shown(child<QPushButton>(&stack, "Application")) && !shown(child<QPushButton>(&stack, "OSDApplication")) && !shown(child<QPushButton>(&stack, "LayerApplication")));

        select(s.pOsd);
        QCOMPARE(child<QStackedWidget>(&stack, "stackedWidget")->currentWidget(), stack.osdWidget());
        QCOMPARE(child<QPushButton>(&stack, "btnWindow")->text(), QString::fromUtf8("OSD设置"));
        QVERIFY(shown(child<QPushButton>(&stack, "OSDApplication")) && !shown(child<QPushButton>(&stack, "LayerApplication")) && !shown(child<QPushButton>(&stack, "Application")) && !shown(child<QPushButton>(&stack, "ZApplication")));
        QCOMPARE(stack.textWidget()->item(), s.pOsd);
        QCOMPARE(child<QLineEdit>(stack.wndOSDPosWidget(), "editW")->text(), QString("200"));

        select(s.pLayer);
        QCOMPARE(child<QStackedWidget>(&stack, "stackedWidget")->currentWidget(), stack.drawerWidget());
        QCOMPARE(child<QPushButton>(&stack, "btnWindow")->text(), QString::fromUtf8("图层参数"));
        QVERIFY(shown(child<QPushButton>(&stack, "LayerApplication")) && !shown(child<QPushButton>(&stack, "OSDApplication")));
        QCOMPARE(stack.wndPosWidget()->item(), s.pLayer);

        select(s.scene.m_pBackCanvas);
        QCOMPARE(child<QStackedWidget>(&stack, "stackedWidget")->currentWidget(), stack.backCanvasWidget());
        QCOMPARE(stack.backCanvasWidget()->canvas(), s.scene.m_pBackCanvas);
        QVERIFY(shown(child<QPushButton>(&stack, "Application")) && !shown(child<QPushButton>(&stack, "LayerApplication")));

        select(nullptr);
        QCOMPARE(child<QStackedWidget>(&stack, "stackedWidget")->currentWidget(), stack.backCanvasWidget());
        QCOMPARE(child<QPushButton>(&stack, "btnWindow")->text(), QString::fromUtf8("大屏参数"));
        // the title button changes nothing on screen
        child<QPushButton>(&stack, "btnWindow")->click();
        QCOMPARE(child<QStackedWidget>(&stack, "stackedWidget")->currentWidget(), stack.backCanvasWidget());

        QCOMPARE(spy.count("slot_setDeviceCmd"), 0);
    }

    // A selected item deleted under the stack is never touched again.
    void deletedSelection()
    {
        CHubSpy spy;
        CPropertyStack stack;
        Scene s;
        select(s.pLayer);
        delete s.pLayer;
        child<QPushButton>(&stack, "LayerApplication")->click();
        globalObserver::getGlobalObserver()->notify("slot_updateItemPos", Q_ARG(bool, true));
        select(s.pOsd);
        delete s.pOsd;
        globalObserver::getGlobalObserver()->notify("slot_updateItemPos", Q_ARG(bool, true));
        child<QPushButton>(&stack, "OSDApplication")->click();
        QCOMPARE(spy.count("slot_setDeviceCmd"), 0);
        QCOMPARE(BesMessageBox::testRecords().size(), 1); // no OSD item: said so, nothing sent
    }

    // Each switch shows the page shown before, filled by the selection; the device page stays.
    void languageRebuild()
    {
        CPropertyStack stack;
        Scene s;
        select(s.pOsd);
        QWidget *pTips = stack.tipsWidget();
        for (int nLanguage : {1, 0, 7}) {
            globalObserver::getGlobalObserver()->notify("slot_updatePropertyStacklanguage", Q_ARG(int, nLanguage));
            QCOMPARE(child<QStackedWidget>(&stack, "stackedWidget")->count(), 4);
            QCOMPARE(child<QStackedWidget>(&stack, "stackedWidget")->currentWidget(), stack.osdWidget());
            QCOMPARE(stack.currentIndex(), 0);
            QCOMPARE(stack.tipsWidget(), pTips);
        }
        globalObserver *pHub = globalObserver::getGlobalObserver();
        QCOMPARE(pHub->subscriptionCount("slot_GetOSDsendprogress"), 1); // the text page
        QCOMPARE(pHub->subscriptionCount("slot_SetOSDTextSpeed"), 1);
        QCOMPARE(pHub->subscriptionCount("slot_Getposinformation"), 1);
        QCOMPARE(stack.textWidget()->item(), s.pOsd);
        QCOMPARE(child<QLineEdit>(stack.wndOSDPosWidget(), "editW")->text(), QString("200"));
    }

    // A switch in either direction leaves the Tarn frame's column on a Tarn page, filled as the
    // selection fills it; the Z frame's column stays on its device page.
    void languageSwitchKeepsTheFramesPage_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<int>("page");
        QTest::newRow("layer") << "layer" << 0;
        QTest::newRow("screen") << "screen" << 1;
        QTest::newRow("nothing") << "nothing" << 1;
        QTest::newRow("nothing ever") << "" << 1;
    }
    void languageSwitchKeepsTheFramesPage()
    {
        QFETCH(QString, selection);
        QFETCH(int, page);
        CCanvasStandIn canvas;
        CPropertyStack tarn, z;
        tarn.setServedDevice("SN1", "Tarn");
        z.setServedDevice("Z1", "Z");
        Scene s;
        if (selection == "layer")
            select(s.pLayer);
        else if (!selection.isEmpty())
            select(s.scene.m_pBackCanvas);
        if (selection == "nothing")
            select(nullptr);
        const int nLayerW = child<QSpinBox>(tarn.wndPosWidget(), "spinBoxW")->value();
        for (int nLanguage : {1, 0, 1}) {
            globalObserver::getGlobalObserver()->notify("slot_updatePropertyStacklanguage", Q_ARG(int, nLanguage));
            QCOMPARE(tarn.currentIndex(), page);
            QCOMPARE(z.currentIndex(), 2);
            QCOMPARE(child<QStackedWidget>(&z, "stackedWidget")->currentWidget(), z.tipsWidget());
            QWidget *pShown = child<QStackedWidget>(&tarn, "stackedWidget")->currentWidget();
            QPushButton *pApply = child<QPushButton>(&tarn, page == 0 ? "LayerApplication" : "Application");
            QVERIFY(!pApply->isHidden() && child<QPushButton>(&tarn, "ZApplication")->isHidden());
            if (page == 0) {
                QCOMPARE(pShown, tarn.drawerWidget());
                QCOMPARE(tarn.wndPosWidget()->item(), s.pLayer);
                QCOMPARE(child<QSpinBox>(tarn.wndPosWidget(), "spinBoxW")->value(), nLayerW);
                QVERIFY(nLayerW > 0);
            } else {
                QCOMPARE(pShown, tarn.backCanvasWidget());
                const QString strWidth = child<QLineEdit>(tarn.backCanvasWidget(), "lineScreenEditW")->text();
                QCOMPARE(strWidth, selection.isEmpty() ? QString() : QString("1920"));
            }
        }
    }

    // Every name the device's 12 bytes hold is shown whole in both frames' name fields; one longer
    // typed there stays as typed and is refused with the notice, nothing sent.
    void deviceNameShownWhole_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("Latin, 8") << "LeftWall";
        QTest::newRow("Latin, 12 bytes") << "BUSY7000Hall";
        QTest::newRow("Chinese, 12 bytes") << QString::fromUtf8("北京控制中心");
    }
    void deviceNameShownWhole()
    {
        QFETCH(QString, name);
        CHubSpy spy;
        CCanvasStandIn canvas;
        CPropertyStack tarn, z;
        tarn.setServedDevice("SN1", "Tarn");
        z.setServedDevice("Z1", "Z");
        Scene s;
        select(s.scene.m_pBackCanvas);
        QString strName = name, strSerial = "Z1";
        globalObserver::getGlobalObserver()->notify("slot_updateDeviceName", Q_ARG(QString, strName));
        globalObserver::getGlobalObserver()->notify("slot_updateZDeviceName", Q_ARG(QString, strName), Q_ARG(QString, strSerial));
        auto *pTarnName = child<QLineEdit>(tarn.backCanvasWidget(), "lineEditstrSerial");
        auto *pZName = child<QLineEdit>(z.tipsWidget(), "lineEditstrSerial");
        QCOMPARE(pTarnName->text(), name);
        QCOMPARE(pZName->text(), name);
        // and seen whole: the field holds twelve wide letters
        tarn.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tarn));
        QVERIFY(pTarnName->contentsRect().width() > pTarnName->fontMetrics().horizontalAdvance(QString(12, 'W')));
        // The Z frame's stack takes no name from the Tarn frame's topic.
        QCOMPARE(child<QLineEdit>(z.backCanvasWidget(), "lineEditstrSerial")->text(), QString());

        const QString strLong = name + "X"; // 13 bytes or fewer than 12
        const bool bRefused = !g_isDeviceName(strLong);
        for (QLineEdit *pField : {pTarnName, pZName}) {
            BesMessageBox::clearTestRecords();
            // Typed as an input method commits it, Chinese or not.
            pField->selectAll();
            QInputMethodEvent typed;
            typed.setCommitString(strLong);
            QApplication::sendEvent(pField, &typed);
            QCOMPARE(pField->text(), strLong);
            child<QPushButton>(pField == pTarnName ? static_cast<QWidget *>(&tarn) : &z,
                               pField == pTarnName ? "Application" : "ZApplication")->click();
            QCOMPARE(spy.count("slot_setDeviceCmd"), bRefused ? 0 : (pField == pTarnName ? 1 : 2));
            QCOMPARE(BesMessageBox::testRecords().size(), bRefused ? 1 : 0);
            if (bRefused)
                QCOMPARE(BesMessageBox::testRecords().first().text, g_deviceNameRefusal(strLong, ENameField::Device));
            QCOMPARE(pField->text(), strLong);
        }
    }

    // The Z device's name reaches the Z frame's stack; after a language switch the Tarn frame's
    // stack shows its screen page. Its device page, shown by hand, edits no device: its mute sends
    // nothing, and a name applied there is refused with a notice. The Z frame's page sends both.
    void devicePageOfItsOwnFrame()
    {
        CDeviceSimulator sim(CSimDeviceModel::Z, 3, 2);
        sim.setSerial("Z1");
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        worker.setDeviceType("Z");
        CHubSpy router;
        router.setRouteTo(&worker);
        QVERIFY(SimTest::connectWorker(worker, sim, "Z1"));
        CPropertyStack tarn, z;
        tarn.setServedDevice("T1", "Tarn");
        z.setServedDevice("Z1", "Z");
        // the Z page's presses need the device's live settings read
        sim.model().nBrightness = 50;
        worker.setMcuCommand(QString::fromUtf8("图层设置"), QByteArray(1, '\0'), 1, 0);
        SimTest::settle(worker, sim);
        QString strName = "ZDev", strSerial = "Z1";
        int nLanguage = 1;
        globalObserver::getGlobalObserver()->notify("slot_updateZDeviceName", Q_ARG(QString, strName), Q_ARG(QString, strSerial));
        globalObserver::getGlobalObserver()->notify("slot_updatePropertyStacklanguage", Q_ARG(int, nLanguage));
        QCOMPARE(child<QStackedWidget>(&tarn, "stackedWidget")->currentWidget(), tarn.backCanvasWidget());
        child<QStackedWidget>(&tarn, "stackedWidget")->setCurrentWidget(tarn.tipsWidget());
        for (CPropertyStack *pStack : {&tarn, &z}) {
            pStack->show();
            QCOMPARE(child<QStackedWidget>(pStack, "stackedWidget")->currentWidget(), pStack->tipsWidget());
            // Its slider moved every way (handle dragged, wheel, key, groove clicked) stays there.
            auto *p = child<QSlider>(pStack->tipsWidget(), "brightnessSlider");
            const int nValue = p->value();
            QTest::mousePress(p, Qt::LeftButton, {}, QPoint(2, 5));
            QMouseEvent drag(QEvent::MouseMove, p->rect().center(), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(p, &drag);
            QTest::mouseRelease(p, Qt::LeftButton, {}, p->rect().center());
            QWheelEvent wheel(QPointF(5, 5), p->mapToGlobal(QPoint(5, 5)), {}, {0, 120}, {}, {}, Qt::NoScrollPhase, false);
            QApplication::sendEvent(p, &wheel);
            QTest::keyClick(p, Qt::Key_PageUp);
            QTest::mouseClick(p, Qt::LeftButton, {}, QPoint(p->width() - 2, 5));
            QCOMPARE(p->value() == nValue, pStack == &tarn);
            auto *pScale = child<QComboBox>(pStack->tipsWidget(), "ScalecomboBox"); // nor does its scale choice
            QTest::keyClick(pScale, Qt::Key_Down);
            QCOMPARE(pScale->currentIndex(), pStack == &tarn ? 0 : 1);
            QTest::mouseClick(child<QToolButton>(pStack->tipsWidget(), "SilenttoolButton"), Qt::LeftButton);
            SimTest::settle(worker, sim);
            QCOMPARE(sim.hasRequest(34, 46), pStack == &z);
            QCOMPARE(sim.model().nSilent, pStack == &z ? 0 : 1);
            QCOMPARE(child<QLineEdit>(pStack->tipsWidget(), "lineEditstrSerial")->text(), QString(pStack == &z ? "ZDev" : ""));
            BesMessageBox::clearTestRecords();
            TestUtil::retype(child<QLineEdit>(pStack->tipsWidget(), "lineEditstrSerial"), "Typed");
            child<QPushButton>(pStack, "ZApplication")->click();
            SimTest::settle(worker, sim);
            QCOMPARE(sim.model().strDeviceName == "Typed", pStack == &z);
            QCOMPARE(BesMessageBox::testRecords().size(), pStack == &z ? 0 : 1);
        }
    }

    // The text page loads an item without sending; its edits send through the item.
    void textPage()
    {
        CHubSpy spy;
        CPropertyStack stack;
        Scene s;
        s.pOsd->m_nTextSpaceing = 4;
        s.pOsd->m_nInSpeed = 2;
        s.pOsd->m_nTexTransparency = 100;
        select(s.pOsd);
        QCOMPARE(spy.count("slot_setDeviceCmd"), 0);
        QWidget *text = stack.textWidget();
        QCOMPARE(child<QComboBox>(text, "SpeedcomboBox")->currentIndex(), 2);
        QCOMPARE(child<QSpinBox>(text, "FontspinBoxTrans")->value(), 100);

        // letter spacing while a speed is chosen: the speed is held, "静止" chosen, speed 0 sent
        child<QSpinBox>(text, "spinBoxTextSpaceing")->setValue(6);
        QCOMPARE(g_nOSDSpeed, 2);
        QCOMPARE(child<QComboBox>(text, "SpeedcomboBox")->currentIndex(), 0);
        QCOMPARE(s.pOsd->m_nTextSpaceing, 6);
        QCOMPARE(spy.last("slot_setDeviceCmd"), QVariantList({"SN1", QString::fromUtf8("OSD参数设置"), QByteArray::fromHex("0100"), 2, 5}));

        // 三档: stored, sent, and the scroll starts
        spy.clear();
        child<QComboBox>(text, "SpeedcomboBox")->setCurrentIndex(3);
        QCOMPARE(g_nOSDSpeed, 3);
        QCOMPARE(spy.last("slot_setDeviceCmd"), QVariantList({"SN1", QString::fromUtf8("OSD参数设置"), QByteArray::fromHex("0103"), 2, 5}));
        QCOMPARE(QSettings("Morvane.ini", QSettings::IniFormat).value("/OSD/nInSpeed").toInt(), 3);
        QTRY_VERIFY(s.pOsd->isScrolling());
        child<QComboBox>(text, "SpeedcomboBox")->setCurrentIndex(0);
        QTRY_VERIFY(!s.pOsd->isScrolling());

        // ticking "文本透明" sends text transparency 0 once
        spy.clear();
        child<QCheckBox>(text, "FontcheckBoxTrans")->click();
        QCOMPARE(spy.count("slot_setDeviceCmd"), 1);
        QCOMPARE(spy.last("slot_setDeviceCmd").at(2).toByteArray(), QByteArray::fromHex("0100"));
        QCOMPARE(g_fontTransparency, 0);
        // ticking and clearing "背景透明": everything back at 255
        child<QCheckBox>(text, "bKcheckBoxTrans")->click();
        child<QCheckBox>(text, "bKcheckBoxTrans")->click();
        QCOMPARE(child<QSpinBox>(text, "spinBoxTrans")->value(), 255);
        QCOMPARE(s.pOsd->getNBkTransparency(), 255);
        QCOMPARE(s.pOsd->m_bkColor.alpha(), 255);
        QCOMPARE(g_bkColorTransparency, 255);
        // a typed background transparency is kept in the item for the apply
        child<QSpinBox>(text, "spinBoxTrans")->setValue(100);
        QCOMPARE(child<QSlider>(text, "sliderTrans")->value(), 100);
        QCOMPARE(s.pOsd->getNBkTransparency(), 100);
        QCOMPARE(spy.last("slot_setDeviceCmd").at(2).toByteArray(), QByteArray::fromHex("0164"));

        // progress: 0 shows, 50 moves, 100 and a failure hide
        stack.textWidget()->slot_GetOSDsendprogress(0);
        QVERIFY(shown(child<QProgressBar>(text, "OSDProgressBar")));
        stack.textWidget()->slot_GetOSDsendprogress(50);
        QCOMPARE(child<QProgressBar>(text, "OSDProgressBar")->value(), 50);
        stack.textWidget()->slot_GetOSDsendprogress(-1);
        QVERIFY(!shown(child<QProgressBar>(text, "OSDProgressBar")) && !shown(child<QLabel>(text, "OSDProgressLabel")));
    }

    // A value typed into the OSD position pane (scale 2) reaches the item on Return, not before,
    // and the field then shows what the item took; text the field does not accept never does.
    void osdPaneTypedValues_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QRectF>("geometry"); // the item's afterwards, in scene units
        QTest::addColumn<QString>("shown");
        QTest::newRow("X") << "editX" << "100" << QRectF(50, 0, 40, 20) << "100";
        QTest::newRow("X below 0 stops at 0") << "editX" << "-20" << QRectF(0, 0, 40, 20) << "0";
        QTest::newRow("a lone minus") << "editY" << "-" << QRectF(0, 0, 40, 20) << "-";
        QTest::newRow("W") << "editW" << "1920" << QRectF(0, 0, 960, 20) << "1920";
        QTest::newRow("W past the range") << "editW" << "60000" << QRectF(0, 0, 40, 20) << "60000";
        QTest::newRow("H, third digit refused") << "editH" << "300" << QRectF(0, 0, 40, 15) << "30";
    }
    void osdPaneTypedValues()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QRectF, geometry);
        QFETCH(QString, shown);
        g_dWScale = 2.0;
        g_dHScale = 2.0;
        CPropertyStack stack;
        Scene s(40, 20);
        select(s.pOsd);
        auto *pEdit = child<QLineEdit>(stack.wndOSDPosWidget(), qPrintable(field));
        TestUtil::retype(pEdit, typed);
        QCOMPARE(s.pOsd->sceneBoundingRect(), QRectF(0, 0, 40, 20)); // nothing while typing
        QTest::keyClick(pEdit, Qt::Key_Return);
        QCOMPARE(s.pOsd->sceneBoundingRect(), geometry);
        QCOMPARE(pEdit->text(), shown);
    }

    // Showing an item cuts it to 256 device pixels; the apply's width write resizes the item.
    void osdPositionPane()
    {
        g_dWScale = 2.0;
        g_dHScale = 2.0;
        CPropertyStack stack;
        Scene s(40, 20);
        select(s.pOsd);
        QWidget *pane = stack.wndOSDPosWidget();
        // an item taller than 256 device pixels is shown, and cut, at 256
        s.pOsd->setHeight(150);
        stack.wndOSDPosWidget()->setItemData(s.pOsd, true);
        QCOMPARE(child<QLineEdit>(pane, "editH")->text(), QString("256"));
        QCOMPARE(s.pOsd->rect().height(), 128.0);
        stack.wndOSDPosWidget()->setNCurrentWidth(1912);
        QCOMPARE(s.pOsd->rect().width(), 956.0);
        // with nothing bound, a null item is skipped
        WndOSDPosWidget unbound;
        unbound.setItemData(nullptr, true);
        QVERIFY(!unbound.item());
    }

    void settingsDialogAndOsdPage()
    {
        CCanvasStandIn canvas;
        g_strOSD = "Welcome";
        g_OSDindex = 0;
        OSDsrttingdlg dlg;
        dlg.show();
        dlg.findChild<QPushButton *>("ReturnButton")->click();
        QVERIFY(canvas.m_listAdd.isEmpty());
        QCOMPARE(g_strOSD, QString("Welcome"));
        QCOMPARE(g_OSDindex, 0);
        auto *pTabs = dlg.findChild<QTabWidget *>("tabWidget");
        pTabs->setCurrentIndex(3);
        dlg.findChild<QLineEdit *>("lineEdit_4")->setText(QString::fromUtf8("通知"));
        dlg.show();
        dlg.findChild<QPushButton *>("ApplyButton")->click();
        QCOMPARE(g_OSDindex, 3);
        QCOMPARE(g_strOSD, QString::fromUtf8("通知"));
        QCOMPARE(canvas.m_listAdd.size(), 1);
        QCOMPARE(canvas.m_listAdd.first(), QVariantList({QPointF(0, 0), QString::fromUtf8("通知"), 1}));
        QVERIFY(!dlg.isVisible());
        // an empty text is taken as it is
        pTabs->setCurrentIndex(0);
        dlg.findChild<QPushButton *>("ApplyButton")->click();
        QCOMPARE(g_strOSD, QString());

        // the OSD page: panes replaced, never deleted in between
        OSDWidget page;
        QWidget a, b;
        page.add_OSDLocker({&a, &b});
        page.add_OSDLocker({&a, &b});
        QCOMPARE(page.paneLayout()->count(), 3);
        QCOMPARE(a.parentWidget(), page.paneContainer());
        page.add_OSDLocker({});
        QCOMPARE(page.paneLayout()->count(), 1);
        QCOMPARE(a.parentWidget(), nullptr);
    }

    void drawer()
    {
        CDrawerWidget drawer;
        QWidget notTaken;
        drawer.add_locker({"a", "b"}, {&notTaken});
        QVERIFY(drawer.buttons().isEmpty());
        auto *pOne = new QWidget;
        auto *pTwo = new QWidget;
        drawer.add_locker({"one"}, {pOne});
        drawer.add_locker({"two"}, {pTwo});
        QCOMPARE(drawer.buttons().size(), 2);
        drawer.show();
        QVERIFY(pOne->isVisible());
        drawer.buttons().first()->click();
        QVERIFY(!pOne->isVisible());
        QVERIFY(pTwo->isVisible());
        drawer.buttons().first()->click();
        QVERIFY(pOne->isVisible());
    }

    // On a screen smaller than the canvas draws it the OSD item is larger than the OSD itself: the
    // picture for the device and the item's scroll source are drawn at no more than the device's
    // size (here 50000 x 256, where the item is 125000 x 640), so the apply's memory stays bounded.
    void osdRenderAtDeviceSize()
    {
        g_dWScale = 0.4;
        g_dHScale = 0.4;
        CPropertyStack stack;
        Scene s(125000, 640);
        select(s.pOsd);
        QCOMPARE(child<QLineEdit>(stack.wndOSDPosWidget(), "editW")->text(), QString("50000"));
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        child<QPushButton>(&stack, "OSDApplication")->click();
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        QCOMPARE(stack.osdImage().size(), QSize(50000, 256));
        QVERIFY(s.pOsd->m_OSDPixmap.width() <= 50000 && s.pOsd->m_OSDPixmap.height() <= 256);
        // as does the scene's picture of a new OSD text
        s.scene.createOSDItem("OSD", QSize(125000, 640), QPointF());
        QCOMPARE(static_cast<EditOSDItem *>(s.scene.osdItem())->m_OSDPixmap.size(), QSize(50000, 256));
        // a 50000 x 256 picture is 51 MB; one at the item's size alone would be 320 MB
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 250 * 1024,
                 qPrintable(QString("peak grew by %1 kB").arg(after.ru_maxrss - before.ru_maxrss)));
    }

    // An item no larger than the OSD is drawn at its own size and scaled smoothly: its text keeps
    // its weight, lighting about sixteen times the pixels on an OSD four times as wide and high.
    void osdRenderScalesAnItemNoLargerThanTheOSD()
    {
        const auto lit = [](double dScale) {
            g_dWScale = g_dHScale = dScale;
            CPropertyStack stack;
            Scene s(480, 32);
            select(s.pOsd);
            child<QPushButton>(&stack, "OSDApplication")->click();
            const QImage img = threshold(stack.osdImage());
            int n = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    n += qRed(img.pixel(x, y)) != 0;
            return qMakePair(img.size(), n);
        };
        const auto one = lit(1.0);
        const auto four = lit(4.0);
        QCOMPARE(four.first, QSize(1920, 128));
        QVERIFY2(one.second > 0 && four.second > 13 * one.second && four.second < 19 * one.second,
                 qPrintable(QString("%1 lit at 1x, %2 at 4x").arg(one.second).arg(four.second)));
    }

    // The OSD apply against the simulated device: the bitmap the device reassembles is the one
    // rendered, bit for bit; the width is cut to a multiple of 8 and shown as entered again; Apply
    // is enabled again only at the end. The scroll speed is held and given back once, although
    // the other stack's text page shows the item too.
    void osdApplyAgainstDevice()
    {
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 2, 1);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        worker.setHeartbeatInterval(100);
        QVERIFY(SimTest::connectWorker(worker, sim, "SN1"));
        CHubSpy spy;
        spy.setRouteTo(&worker);
        CPropertyStack stack;
        stack.osdTransfer()->setHeaderDelay(50);
        stack.osdTransfer()->setResendInterval(200);
        CPropertyStack other; // a second frame's stack stays out of it
        Scene s(204, 16);
        s.pOsd->m_nInSpeed = 2;
        select(s.pOsd);
        QCOMPARE(other.textWidget()->item(), s.pOsd);
        // typed without completing the edits: the item stops at 0, and so does what is sent
        TestUtil::retype(child<QLineEdit>(stack.wndOSDPosWidget(), "editX"), "-20");
        TestUtil::retype(child<QLineEdit>(stack.wndOSDPosWidget(), "editY"), "-5");
        sim.injectOsdPacketFault(1, CDeviceSimulator::Nak);
        sim.clearRequests();
        QPushButton *pApply = child<QPushButton>(&stack, "OSDApplication");
        pApply->click();
        QVERIFY(!pApply->isEnabled());
        QCOMPARE(child<QLineEdit>(stack.wndOSDPosWidget(), "editX")->text(), QString("0"));
        QCOMPARE(child<QLineEdit>(stack.wndOSDPosWidget(), "editW")->text(), QString("200"));
        QTRY_COMPARE(child<QLineEdit>(stack.wndOSDPosWidget(), "editW")->text(), QString("204"));
        QTRY_VERIFY_WITH_TIMEOUT(spy.records("slot_GetOSDsendprogress").contains(QVariantList({100})), 8000);
        QVERIFY(pApply->isEnabled());
        QVERIFY(sim.model().osdComplete());
        QCOMPARE(stack.osdImage().size(), QSize(200, 16));
        QCOMPARE(unpack(sim.model().osdBitmap, 200, 16), threshold(stack.osdImage()));
        // white text on black: something is lit, not everything
        const int nLit = sim.model().osdBitmap.count('\0');
        QVERIFY(nLit > 0 && nLit < sim.model().osdBitmap.size());
        const CSimRequest params = sim.requests(40, 1).first();
        QCOMPARE(params.payload.left(5), QByteArray::fromHex("0100FFFF00"));
        QCOMPARE(params.payload.mid(5, 8), QByteArray::fromHex("0000000000C80010"));
        QCOMPARE(sim.model().nOsdOn, 1);
        QSettings ini("Morvane.ini", QSettings::IniFormat);
        QCOMPARE(ini.value("/OSD/OSDnW").toInt(), 200);
        QCOMPARE(ini.value("/OSD/OSDnH").toInt(), 16);
        QCOMPARE(ini.value("/OSD/OSDnX").toInt(), 0);
        QCOMPARE(ini.value("/OSD/OSDnY").toInt(), 0);
        QVERIFY(!other.osdTransfer()->isActive());
        SimTest::settle(worker, sim);
        QList<QByteArray> listSpeeds;
        for (const CSimRequest &req : sim.requests(40, 5))
            listSpeeds << req.payload.toHex();
        QCOMPARE(listSpeeds, QList<QByteArray>({"0100", "0102"}));
        worker.slot_stopDeviceThread();
        worker.wait(3000);
    }

    // Nothing leaves for typed values the pane refuses or a bitmap that would be empty: one
    // message, Apply stays enabled.
    void osdApplyRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::newRow("width below 8") << "editW" << "7";
        QTest::newRow("no height") << "editH" << "";
        QTest::newRow("width past the range") << "editW" << "60000";
        QTest::newRow("a lone minus") << "editX" << "-";
    }
    void osdApplyRefused()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        CHubSpy spy;
        CPropertyStack stack;
        Scene s;
        select(s.pOsd);
        TestUtil::retype(child<QLineEdit>(stack.wndOSDPosWidget(), qPrintable(field)), typed);
        child<QPushButton>(&stack, "OSDApplication")->click();
        QCOMPARE(spy.count("slot_setDeviceCmd"), 0);
        QCOMPARE(spy.count("slot_IsZReflash"), 0);
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
        QVERIFY(child<QPushButton>(&stack, "OSDApplication")->isEnabled());
        QVERIFY(!QFile::exists("Morvane.ini"));
    }

    // A device that stops answering: the apply is given up with a message, Apply comes back.
    void osdApplyDeadDevice()
    {
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 2, 1);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        worker.setHeartbeatInterval(100);
        QVERIFY(SimTest::connectWorker(worker, sim, "SN1"));
        CHubSpy spy;
        spy.setRouteTo(&worker);
        CPropertyStack stack;
        stack.osdTransfer()->setHeaderDelay(20);
        stack.osdTransfer()->setResendInterval(100);
        stack.osdTransfer()->setRetryLimit(2);
        Scene s(64, 8);
        select(s.pOsd);
        sim.setAnswering(false);
        child<QPushButton>(&stack, "OSDApplication")->click();
        QTRY_VERIFY_WITH_TIMEOUT(child<QPushButton>(&stack, "OSDApplication")->isEnabled(), 5000);
        QVERIFY(!spy.records("slot_GetOSDsendprogress").contains(QVariantList({100})));
        QVERIFY(!shown(child<QProgressBar>(stack.textWidget(), "OSDProgressBar")));
        QTRY_COMPARE(BesMessageBox::testRecords().size(), 1);
        worker.slot_stopDeviceThread();
        worker.wait(3000);
    }

    // The stack going while its transfer runs: the device gets its OSD back and the poll resumes;
    // nothing is reported, and the replies still on their way touch nothing of it.
    void osdStackDestroyedMidTransfer()
    {
        CDeviceSimulator sim(CSimDeviceModel::Tarn, 2, 1);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        worker.setHeartbeatInterval(100);
        QVERIFY(SimTest::connectWorker(worker, sim, "SN1"));
        CHubSpy spy;
        spy.setRouteTo(&worker);
        Scene s(200, 16);
        auto *pStack = new CPropertyStack;
        pStack->osdTransfer()->setHeaderDelay(20);
        select(s.pOsd);
        sim.setReplyDelay(40);
        child<QPushButton>(pStack, "OSDApplication")->click();
        QTRY_VERIFY(!sim.model().osdPacketsTaken.isEmpty());
        QCOMPARE(sim.model().nOsdOn, 0);
        delete pStack;
        QVERIFY(!COSDTransfer::activeTransfer());
        QCOMPARE(spy.last("slot_IsZReflash"), QVariantList({true, "SN1"}));
        QTRY_COMPARE(sim.model().nOsdOn, 1);
        SimTest::settle(worker, sim);
        QVERIFY(!spy.records("slot_GetOSDsendprogress").contains(QVariantList({100})));
        QCOMPARE(BesMessageBox::testRecords().size(), 0);
        worker.slot_stopDeviceThread();
        worker.wait(3000);
    }

    // A failure found while the worker handles a reply is shown once that handling is over.
    void osdFailureShownAfterReply()
    {
        CHubSpy spy;
        CTcpDeviceThread worker; // never connected: what it is given stays queued
        worker.setDeviceSerial("SN1");
        worker.setDeviceAddress("127.0.0.9");
        spy.setRouteTo(&worker);
        Scene s(64, 8);
        CPropertyStack stack;
        stack.osdTransfer()->setHeaderDelay(0);
        select(s.pOsd);
        child<QPushButton>(&stack, "OSDApplication")->click();
        QTRY_COMPARE(stack.osdTransfer()->phase(), COSDTransfer::Announced);
        worker.injectReceivedData(CDeviceFrame::buildReply(40, 2, 10, QByteArray::fromHex("C5C3")));
        QCOMPARE(stack.osdTransfer()->phase(), COSDTransfer::Sending);
        for (int i = 0; i <= stack.osdTransfer()->retryLimit(); ++i)
            worker.injectReceivedData(CDeviceFrame::buildReply(40, 2, 11, QByteArray::fromHex("C5C0")));
        QVERIFY(!stack.osdTransfer()->isActive());
        QCOMPARE(BesMessageBox::testRecords().size(), 0);
        QTRY_COMPARE(BesMessageBox::testRecords().size(), 1);
        QCOMPARE(BesMessageBox::testRecords().first().text, QString::fromUtf8("OSD数据下发失败：设备拒绝了OSD数据\n127.0.0.9 (SN1)"));
    }
};

VISTEL_TEST_MAIN(TestPropertyStack)
#include "tst_propertystack.moc"
