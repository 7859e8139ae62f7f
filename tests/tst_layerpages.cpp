// The screen page and the layer pages of the property stack: what each edit sends.
#include "TestMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTextCodec>

#include "BackCanvasWidget.h"
#include "BaseSlider.h"
#include "BesMessageBox.h"
#include "EditBaseScene.h"
#include "EditSingleTextItem.h"
#include "HubSpy.h"
#include "SceneBackCanvas.h"
#include "TestUtil.h"
#include "TextWidget.h"
#include "WndLineWidget.h"
#include "WndPosWidget.h"
#include "editosditem.h"
#include "globalObserver.h"

template <typename T>
static T *child(QObject *pParent, const char *pszName)
{
    T *p = pParent->findChild<T *>(QString::fromLatin1(pszName));
    if (!p)
        qFatal("no %s", pszName);
    return p;
}

// Answers whether a scene is live, and source changes.
class CCanvasStandIn : public QObject
{
    Q_OBJECT
public:
    CCanvasStandIn()
    {
        globalObserver *pHub = globalObserver::getGlobalObserver();
        pHub->attach("slot_isTakeScene", this, "slot_isTakeScene");
        pHub->attach("slot_setTakeScene", this, "slot_setTakeScene");
        pHub->attach("slot_changeItemInSrc", this, "slot_changeItemInSrc");
    }
    ~CCanvasStandIn() override
    {
        globalObserver *pHub = globalObserver::getGlobalObserver();
        pHub->detach("slot_isTakeScene", this);
        pHub->detach("slot_setTakeScene", this);
        pHub->detach("slot_changeItemInSrc", this);
    }
    int m_nTaken = 1;
    bool m_bAllowSource = true;
public slots:
    void slot_isTakeScene(int nId, bool &bTaken) { bTaken = nId == m_nTaken; }
    void slot_setTakeScene(int nId) { m_nTaken = nId; }
    void slot_changeItemInSrc(int nLayer, int nSource, bool &bOk) { Q_UNUSED(nLayer) Q_UNUSED(nSource) bOk = m_bAllowSource; }
};

// A scene of a device canvas of 1920 x 1080 (scale 1) with one layer window.
struct LayerScene
{
    CEditBaseScene scene;
    CEditSingleTextItem *pLayer = nullptr;
    explicit LayerScene(int nId = 1)
    {
        scene.setSceneID(nId);
        scene.m_strSerial = "SN1";
        QRect rt(0, 0, 1920, 1080);
        scene.createBackCanvas(rt);
        pLayer = new CEditSingleTextItem(QRect(0, 0, 400, 200), true);
        pLayer->setItemType(MediaType_SingleText);
        pLayer->setItemId(0);
        pLayer->m_strSerial = "SN1";
        scene.addItem(pLayer);
        scene.m_listItems.append(pLayer);
        pLayer->updateCoordinate();
        pLayer->setPos(300, 200);
    }
    // Deletes the layer as something else than the page would.
    void dropLayer()
    {
        scene.m_listItems.removeAll(pLayer);
        delete pLayer;
    }
};

static QByteArray geometry(int x, int y, int w, int h)
{
    QByteArray p(1, '\0');
    for (int v : {x, y, w, h}) {
        p.append(char(v >> 8));
        p.append(char(v & 0xFF));
    }
    return p;
}

class TestLayerPages : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        g_nWidth = 960;
        g_nHeight = 540;
        g_setDefaultDesktop(1920, 1080); // scale 1
        g_strSerialDevType = "Tarn-4";
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        BesMessageBox::clearTestRecords();
    }
    void cleanup() { BesMessageBox::clearTestAnswer(); }

    // The canvas size and refresh rate derived from a typed screen size.
    void screenRule_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("canvasW");
        QTest::addColumn<int>("hz");
        QTest::newRow("3840x2160") << 3840 << 2160 << 3840 << 60;
        QTest::newRow("exactly 13,000,000") << 5000 << 2600 << 5000 << 60;
        QTest::newRow("7680x2160") << 7680 << 2160 << 8320 << 60;
        QTest::newRow("18600x1080") << 18600 << 1080 << 18816 << 55;
        QTest::newRow("18600x8192") << 18600 << 8192 << 0 << 7;
    }
    void screenRule()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, canvasW);
        QFETCH(int, hz);
        CBackCanvasWidget page;
        child<QLineEdit>(&page, "lineScreenEditW")->setText(QString::number(w));
        child<QLineEdit>(&page, "lineScreenEditH")->setText(QString::number(h));
        if (canvasW)
            QCOMPARE(child<QLineEdit>(&page, "lineEditW")->text(), QString::number(canvasW));
        QVERIFY(child<QLineEdit>(&page, "lineEditW")->text().toInt() >= w);
        QCOMPARE(child<QLineEdit>(&page, "lineEditH")->text(), QString::number(h));
        QCOMPARE(page.refreshRate(), hz);
        QVERIFY(page.isArmed());
        // a normal screen afterwards goes back to 60
        child<QLineEdit>(&page, "lineScreenEditH")->setText("1080");
        child<QLineEdit>(&page, "lineScreenEditW")->setText("1920");
        QCOMPARE(page.refreshRate(), 60);
    }

    void screenRuleOutOfRange_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::newRow("width 499") << 499 << 1080;
        QTest::newRow("width 18601") << 18601 << 1080;
        QTest::newRow("height 99") << 1920 << 99;
        QTest::newRow("height 8193") << 1920 << 8193;
    }
    void screenRuleOutOfRange()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        CBackCanvasWidget page;
        child<QLineEdit>(&page, "lineScreenEditW")->setText(QString::number(w));
        child<QLineEdit>(&page, "lineScreenEditH")->setText(QString::number(h));
        QVERIFY(child<QLineEdit>(&page, "lineEditW")->text().isEmpty());
        QVERIFY(!page.isArmed());
    }

    // Binding a canvas arms nothing: a name-only apply sends the name alone and clears no layer.
    void bindingArmsNothing()
    {
        CHubSpy spy;
        CCanvasStandIn canvas;
        LayerScene s;
        CBackCanvasWidget page;
        page.setWidgetData(s.scene.m_pBackCanvas);
        QVERIFY(!page.isArmed());
        QCOMPARE(child<QLineEdit>(&page, "lineScreenEditW")->text(), QString::number(int(s.scene.m_pBackCanvas->getWidth() * g_dWScale)));
        auto *pName = child<QLineEdit>(&page, "lineEditstrSerial");
        pName->setText(QString::fromUtf8("大厅屏幕左侧")); // six two-byte characters
        pName->setModified(true);
        page.sendDeviceCmd();
        QCOMPARE(spy.count("slot_setDeviceCmd"), 1);
        const QVariantList cmd = spy.last("slot_setDeviceCmd");
        QCOMPARE(cmd.at(1).toString(), QString::fromUtf8("系统设置"));
        QCOMPARE(cmd.at(4).toInt(), 10);
        QCOMPARE(cmd.at(2).toByteArray().size(), 12);
        QCOMPARE(cmd.at(2).toByteArray(), QTextCodec::codecForName("GBK")->fromUnicode(QString::fromUtf8("大厅屏幕左侧")));
        QCOMPARE(s.scene.layerItems().size(), 1);
        // an empty name: twelve zero bytes
        pName->setText("");
        pName->setModified(true);
        page.sendDeviceCmd();
        QCOMPARE(spy.last("slot_setDeviceCmd").at(2).toByteArray(), QByteArray(12, '\0'));
    }

    // A large screen: layers cleared, "大屏宽高" with the canvas size and rate, two outputs.
    void applyLargeScreen()
    {
        CHubSpy spy;
        CCanvasStandIn canvas;
        LayerScene s;
        CBackCanvasWidget page;
        page.setWidgetData(s.scene.m_pBackCanvas);
        child<QLineEdit>(&page, "lineScreenEditW")->setText("7680");
        child<QLineEdit>(&page, "lineScreenEditH")->setText("2160");
        page.sendDeviceCmd();
        QList<QVariantList> cmds = spy.records("slot_setDeviceCmd");
        QCOMPARE(cmds.size(), 2);
        QCOMPARE(cmds.at(0), QVariantList({"SN1", QString::fromUtf8("图层设置"), QByteArray(), 2, 41}));
        QCOMPARE(cmds.at(1), QVariantList({"SN1", QString::fromUtf8("大屏宽高"), QByteArray::fromHex("2080087 03C"), 2, 0}));
        QVERIFY(s.scene.layerItems().isEmpty());
        QCOMPARE(s.scene.m_pBackCanvas->getCanvasCount(), 1);
        QCOMPARE(s.scene.m_pBackCanvas->getNFactScreenWidth(), 7680);
        QCOMPARE(page.refreshRate(), 60);
        QVERIFY(!page.isArmed());
    }

    // A canvas size out of range, or screen fields typed out of range (after a valid prefix, or
    // never valid), are refused before any layer is cleared.
    void applyInvalidSizeClearsNothing_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::newRow("canvas width 300") << "lineEditW" << "300";
        QTest::newRow("screen width typed past 1920") << "lineScreenEditW" << "19200";
        QTest::newRow("screen width never valid") << "lineScreenEditW" << "400";
        QTest::newRow("screen height emptied") << "lineScreenEditH" << "";
    }
    void applyInvalidSizeClearsNothing()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        CHubSpy spy;
        CCanvasStandIn canvas;
        LayerScene s;
        CBackCanvasWidget page;
        page.setWidgetData(s.scene.m_pBackCanvas);
        child<QCheckBox>(&page, "checkBox")->setChecked(true);
        QVERIFY(!child<QLineEdit>(&page, "lineEditW")->isReadOnly());
        TestUtil::retype(child<QLineEdit>(&page, qPrintable(field)), typed);
        page.sendDeviceCmd();
        QCOMPARE(spy.count("slot_setDeviceCmd"), 0);
        QCOMPARE(s.scene.layerItems().size(), 1);
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
    }

    // Not the live scene: the recall question; OK recalls, and nothing of the apply is sent.
    void applyOnSceneNotLive()
    {
        CHubSpy spy;
        CCanvasStandIn canvas;
        canvas.m_nTaken = 2;
        LayerScene s(1);
        CBackCanvasWidget page;
        page.setWidgetData(s.scene.m_pBackCanvas);
        TestUtil::retype(child<QLineEdit>(&page, "lineScreenEditW"), "3840");
        page.sendDeviceCmd();
        QCOMPARE(spy.records("slot_setDeviceCmd"), QList<QVariantList>({{"SN1", QString::fromUtf8("场景操作"), QByteArray(1, '\x01'), 2, 20}}));
        QCOMPARE(s.scene.layerItems().size(), 1);
        // the page shows the screen again, and a second apply sends nothing of the typed size
        QCOMPARE(child<QLineEdit>(&page, "lineScreenEditW")->text(), QString("1920"));
        QVERIFY(!page.isArmed());
    }

    // While the top-left handle is dragged (before the release re-centres the layer) the page
    // shows the corner and size as drawn.
    void positionPageDuringResize()
    {
        LayerScene s;
        CWndPosWidget page;
        page.setItemData(s.pLayer);
        s.pLayer->stretch(1, 1.1, 1.2, s.pLayer->opposite(1));
        page.setItemPos(true);
        const QRect shown = s.pLayer->mapRectToScene(s.pLayer->rect()).toRect();
        QCOMPARE(shown, QRect(60, 60, 440, 240));
        QCOMPARE(QRect(child<QSpinBox>(&page, "spinBoxX")->value(), child<QSpinBox>(&page, "spinBoxY")->value(),
                       child<QSpinBox>(&page, "spinBoxW")->value(), child<QSpinBox>(&page, "spinBoxH")->value()),
                 shown);
    }

    // The position page: complete values only, the live-scene check at each edit, source ids.
    void positionPage()
    {
        CHubSpy spy;
        CCanvasStandIn canvas;
        LayerScene s;
        CWndPosWidget page;
        InputSource a, b, c;
        a.nId = 0; a.strName = "IN1";
        b.nId = 2; b.strName = "IN3";
        c.nId = 5; c.strName = "IN6";
        QVector<InputSource *> inputs{&a, &b, &c};
        page.setInputSource(inputs);
        s.pLayer->setItemMainSig(2);
        page.setItemData(s.pLayer);
        page.setItemPos(true);
        auto *pX = child<QSpinBox>(&page, "spinBoxX");
        QCOMPARE(pX->value(), 100);
        QCOMPARE(child<QSpinBox>(&page, "spinBoxW")->value(), 400);
        QCOMPARE(child<QComboBox>(&page, "cmbMainSig")->currentText(), QString("IN3"));
        QCOMPARE(spy.count("slot_setDeviceCmd"), 0);
        // typing sends nothing until the value is complete
        pX->setFocus();
        pX->selectAll();
        QTest::keyClicks(pX, "192");
        QCOMPARE(spy.count("slot_setDeviceCmd"), 0);
        QTest::keyClick(pX, Qt::Key_Return);
        QCOMPARE(spy.count("slot_setDeviceCmd"), 1);
        QCOMPARE(spy.last("slot_setDeviceCmd"), QVariantList({"SN1", QString::fromUtf8("图层设置"), geometry(192, 100, 400, 200), 2, 10}));
        // a layer that would overhang the screen goes out cut to it; page and canvas show the cut
        pX->selectAll();
        QTest::keyClicks(pX, "1521");
        QTest::keyClick(pX, Qt::Key_Return);
        QCOMPARE(spy.last("slot_setDeviceCmd"), QVariantList({"SN1", QString::fromUtf8("图层设置"), geometry(1521, 100, 399, 200), 2, 10}));
        QCOMPARE(child<QSpinBox>(&page, "spinBoxW")->value(), 399);
        QCOMPARE(s.pLayer->mapRectToScene(s.pLayer->rect()).toRect(), QRect(1521, 100, 399, 200));
        // choosing a source sends its id, not its place in the list
        child<QComboBox>(&page, "cmbMainSig")->setCurrentIndex(2);
        QCOMPARE(spy.last("slot_setDeviceCmd"), QVariantList({"SN1", QString::fromUtf8("图层设置"), QByteArray::fromHex("0005"), 2, 3}));
        QCOMPARE(s.pLayer->m_nMainSig, 5);
        // a refill picks nothing and sends nothing
        spy.clear();
        page.setInputSource(inputs);
        QCOMPARE(spy.count("slot_setDeviceCmd"), 0);
        // another scene recalled since: the next edit asks; OK recalls, the edit is not applied and
        // the page shows the layer's height again
        canvas.m_nTaken = 7;
        child<QSpinBox>(&page, "spinBoxH")->setValue(100);
        QCOMPARE(spy.records("slot_setDeviceCmd"), QList<QVariantList>({{"SN1", QString::fromUtf8("场景操作"), QByteArray(1, '\x01'), 2, 20}}));
        QCOMPARE(s.pLayer->rect().height(), 200.0);
        QCOMPARE(child<QSpinBox>(&page, "spinBoxH")->value(), 200);
        // so does a typed X; typed again once the scene is live, it goes out
        canvas.m_nTaken = 7;
        for (const int nShown : {1521, 250}) {
            pX->selectAll();
            QTest::keyClicks(pX, "250");
            QTest::keyClick(pX, Qt::Key_Return);
            QCOMPARE(pX->value(), nShown);
        }
        QCOMPARE(spy.last("slot_setDeviceCmd"), QVariantList({"SN1", QString::fromUtf8("图层设置"), geometry(250, 100, 399, 200), 2, 10}));
        // now live: the next edit goes through without asking again
        BesMessageBox::clearTestRecords();
        child<QSpinBox>(&page, "spinBoxH")->setValue(120);
        QCOMPARE(BesMessageBox::testRecords().size(), 0);
        QCOMPARE(s.pLayer->rect().height(), 120.0);
        // a source the list does not hold selects nothing and leaves the layer alone
        s.pLayer->m_nMainSig = 3;
        page.setItemData(s.pLayer);
        QCOMPARE(child<QComboBox>(&page, "cmbMainSig")->currentIndex(), -1);
        QCOMPARE(s.pLayer->m_nMainSig, 3);
        // the layer deleted under the page
        s.dropLayer();
        spy.clear();
        child<QSpinBox>(&page, "spinBoxY")->setValue(50);
        page.setItemPos(true);
        QCOMPARE(spy.count("slot_setDeviceCmd"), 0);
        int x = -1, y = -1;
        globalObserver::getGlobalObserver()->notify("slot_Getposinformation", Q_ARG(int &, x), Q_ARG(int &, y));
        QCOMPARE(y, 50);
    }

    // A typed transparency goes out once, with its final value, on Return; an arrow step once more.
    void typedTransparencySentOnce_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("sub");
        QTest::newRow("layer") << "spinBoxTrans" << QString::fromUtf8("图层设置") << 30;
        QTest::newRow("OSD text") << "FontspinBoxTrans" << QString::fromUtf8("OSD参数设置") << 3;
        QTest::newRow("OSD background") << "spinBoxTrans" << QString::fromUtf8("OSD参数设置") << 4;
    }
    void typedTransparencySentOnce()
    {
        QFETCH(QString, field);
        QFETCH(QString, name);
        QFETCH(int, sub);
        g_OSDindex = 0; // OSD payloads then begin with 00, as the layer's (id 0) do
        CHubSpy spy;
        CCanvasStandIn canvas;
        LayerScene s;
        EditOSDItem osd(QRect(0, 0, 200, 16), true);
        osd.m_strSerial = "SN1";
        CWndLineWidget layerPage;
        layerPage.setCurrentItem(s.pLayer);
        CTextWidget textPage;
        textPage.setItemData(&osd);
        auto *pSpin = child<QSpinBox>(sub == 30 ? static_cast<QWidget *>(&layerPage) : &textPage, qPrintable(field));
        TestUtil::retype(pSpin, "200");
        QTest::keyClick(pSpin, Qt::Key_Return);
        QTest::keyClick(pSpin, Qt::Key_Up);
        QCOMPARE(spy.records("slot_setDeviceCmd"), QList<QVariantList>({{"SN1", name, QByteArray::fromHex("00C8"), 2, sub},
                                                                        {"SN1", name, QByteArray::fromHex("00C9"), 2, sub}}));
    }

    // The transparency page: loading sends nothing, each change is sent once, clamped; on a
    // scene that is not live only the recall question, and Cancel sends nothing.
    void transparencyPage()
    {
        CHubSpy spy;
        CCanvasStandIn canvas;
        LayerScene s;
        s.pLayer->m_nTransNum = 120;
        CWndLineWidget page;
        page.setCurrentItem(s.pLayer);
        QCOMPARE(child<QSpinBox>(&page, "spinBoxTrans")->value(), 120);
        QCOMPARE(child<QSlider>(&page, "sliderTrans")->value(), 120);
        QCOMPARE(spy.count("slot_setDeviceCmd"), 0);
        child<QSpinBox>(&page, "spinBoxTrans")->setValue(200);
        QCOMPARE(spy.count("slot_setDeviceCmd"), 1);
        QCOMPARE(spy.last("slot_setDeviceCmd").at(2).toByteArray(), QByteArray::fromHex("00C8"));
        QCOMPARE(child<QSlider>(&page, "sliderTrans")->value(), 200);
        // a release past the slider's end reports 300: 255 is sent, once
        spy.clear();
        emit child<CBaseSlider>(&page, "sliderTrans")->rSliderValueManulChange(300);
        QCOMPARE(spy.count("slot_setDeviceCmd"), 1);
        QCOMPARE(spy.last("slot_setDeviceCmd").at(2).toByteArray(), QByteArray::fromHex("00FF"));
        QCOMPARE(s.pLayer->m_nTransNum, 255);
        QCOMPARE(child<QSpinBox>(&page, "spinBoxTrans")->value(), 255);
        canvas.m_nTaken = 2;
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
        child<QSpinBox>(&page, "spinBoxTrans")->setValue(40);
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
        QCOMPARE(spy.count("slot_setDeviceCmd"), 1);
        QCOMPARE(child<QSpinBox>(&page, "spinBoxTrans")->value(), 255);
        // before any layer and after the layer went, nothing is sent
        CWndLineWidget unbound;
        child<QSpinBox>(&unbound, "spinBoxTrans")->setValue(50);
        s.dropLayer();
        child<QSpinBox>(&page, "spinBoxTrans")->setValue(10);
        QCOMPARE(spy.count("slot_setDeviceCmd"), 1);
    }
};

VISTEL_TEST_MAIN(TestLayerPages)
#include "tst_layerpages.moc"
