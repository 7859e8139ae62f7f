#include "TestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTranslator>

#include "CardProgramWidget.h"
#include "DeviceFrame.h"
#include "DeviceItem.h"
#include "FileListWidget.h"
#include "FlowLayout.h"
#include "LayoutCardWidget.h"
#include "LayoutListWidget.h"
#include "ProgramListWidget.h"
#include "TcpDeviceThread.h"
#include "TestUtil.h"
#include "globalObserver.h"

// Records what the source panels notify on the hub, in order.
class PanelSpy : public QObject
{
    Q_OBJECT
public:
    struct Cmd
    {
        QString serial, name;
        QByteArray payload;
        int rw, sub;
    };
    QStringList events;
    QList<Cmd> cmds;
    QList<int> mainSigs;

    PanelSpy()
    {
        for (const char *t : kTopics)
            globalObserver::getGlobalObserver()->attach(t, this, t);
    }
    ~PanelSpy() override
    {
        for (const char *t : kTopics)
            globalObserver::getGlobalObserver()->detach(t, this);
    }

public slots:
    void slot_setDeviceCmd(QString serial, QString name, QByteArray &payload, int rw, int sub)
    {
        events << "slot_setDeviceCmd";
        cmds.append({serial, name, payload, rw, sub});
    }
    void slot_refreshinputName() { events << "slot_refreshinputName"; }
    void slot_refreshinputName(QString) { events << "slot_refreshinputName"; }
    void slot_WaitupdateCurrentZDeviceDate() { events << "slot_WaitupdateCurrentZDeviceDate"; }
    void slot_GetZMainSig(int n)
    {
        events << "slot_GetZMainSig";
        mainSigs << n;
    }
    void slot_GetZMainSig(int n, QString) { slot_GetZMainSig(n); }

private:
    static constexpr const char *kTopics[] = {"slot_setDeviceCmd", "slot_refreshinputName",
                                              "slot_WaitupdateCurrentZDeviceDate", "slot_GetZMainSig"};
};

// A device record as a device worker would hold it.
struct FakeDevice
{
    DeviceInfo info;
    QList<InputSource *> owned;

    FakeDevice(const QString &serial, const QList<int> &ids)
    {
        info.strSerial = serial;
        for (int id : ids) {
            auto *in = new InputSource;
            in->nId = id;
            in->strName = QString("IN%1").arg(id);
            in->strType = "HDMI";
            in->nWidth = 1920;
            in->nHeight = 1080;
            in->nHz = 60;
            in->nSig = 1;
            info.vectorInput.append(in);
            owned.append(in);
        }
        info.nSrcNum = ids.size();
    }
    ~FakeDevice() { qDeleteAll(owned); }
};

static QList<int> rowIds(CLayoutListWidget *list)
{
    QList<int> ids;
    for (int r = 0; r < list->rowCount(); ++r)
        ids << (list->itemAt(r) ? list->itemAt(r)->getInputSrcIndex() : -100);
    return ids;
}

class TestFileList : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_strDevType = "Tarn";
        g_nOpenCount = 1;
    }

    // ---- list page ----

    void listMatchesRowsByInputId()
    {
        CLayoutListWidget list;
        list.initValue();
        FakeDevice dev("SN1", {0, 1, 2});
        for (InputSource *in : dev.info.vectorInput)
            list.addListItem("SN1", in);
        QCOMPARE(rowIds(&list), QList<int>({0, 1, 2}));

        // The same id again updates its row in place.
        InputSource again = *dev.info.vectorInput[1];
        again.strName = "Renamed";
        list.addListItem("SN1", &again);
        QCOMPARE(list.rowCount(), 3);
        QCOMPARE(list.itemAt(1)->getDeviceInput(), &again);
        QCOMPARE(list.itemAt(1)->findChild<QLabel *>("labelName")->text(), QString("Renamed\r\n1920x1080@60"));

        list.deleteExtraItem(5);
        QCOMPARE(list.rowCount(), 3);
        list.deleteExtraItem(2);
        QCOMPARE(rowIds(&list), QList<int>({0, 1}));
        list.deleteItemById(0);
        QCOMPARE(rowIds(&list), QList<int>({1}));
        list.deleteItemById(7); // no such position
        QCOMPARE(list.rowCount(), 1);
        list.deleteAllItem();
        QCOMPARE(list.rowCount(), 0);
        list.deleteExtraItem(0);
        QCOMPARE(list.rowCount(), 0);
    }

    // ---- panel ----

    void pollSendsStatusReadAndRefreshesNamesOnTick11()
    {
        PanelSpy spy;
        CFileListWidget panel;
        FakeDevice dev("SN1", {0, 1});
        panel.addDeviceToList(&dev.info, "SN1");
        for (int tick = 1; tick <= 31; ++tick)
            panel.slot_updateInputSrc();

        QCOMPARE(spy.cmds.size(), 31);
        for (const PanelSpy::Cmd &c : spy.cmds) {
            QCOMPARE(c.serial, QString("SN1"));
            QCOMPARE(c.name, QString("获取输入状态"));
            QVERIFY(c.payload.isEmpty());
            QCOMPARE(c.rw, 1);
            QCOMPARE(c.sub, 1);
        }
        // The name refresh comes just before the status read of ticks 11, 21, 31.
        QList<int> refreshTicks;
        int tick = 0;
        for (const QString &e : spy.events) {
            if (e == "slot_setDeviceCmd")
                ++tick;
            else if (e == "slot_refreshinputName")
                refreshTicks << tick + 1;
        }
        QCOMPARE(refreshTicks, QList<int>({11, 21, 31}));

        // The Z family never refreshes names: its counter is never reset.
        g_strDevType = "Z";
        spy.events.clear();
        for (int i = 0; i < 20; ++i)
            panel.slot_updateInputSrc();
        QVERIFY(!spy.events.contains("slot_refreshinputName"));
        QCOMPARE(panel.pollCount(), 21);
    }

    void refreshClickAndPollPause()
    {
        PanelSpy spy;
        CFileListWidget panel;
        FakeDevice dev("SN1", {0});
        panel.addDeviceToList(&dev.info, "SN1");

        bool bFalse = false;
        globalObserver::getGlobalObserver()->notify("slot_IsZReflash", Q_ARG(bool, bFalse));
        QVERIFY(!panel.isPolling());
        panel.findChild<QPushButton *>("btnReflash")->click();
        QCOMPARE(spy.events, QStringList({"slot_refreshinputName", "slot_setDeviceCmd"}));
        QVERIFY(panel.isPolling()); // the click resumes a paused poll
        QCOMPARE(panel.pollCount(), 0);
    }

    // Two frames, two devices: a Z preview pauses the Z device's poll only, the Z live card
    // restarts it; a Tarn layer reply pauses the Tarn device's poll only.
    void pollPauseReachesItsOwnDevicesPanelOnly()
    {
        FakeDevice tarnDev("T1", {0, 1}), zDev("Z1", {0, 1});
        CFileListWidget tarnPanel, zPanel;
        tarnPanel.setDeviceFamily("Tarn");
        zPanel.setDeviceFamily("Z");
        tarnPanel.addDeviceToList(&tarnDev.info, "T1");
        zPanel.addDeviceToList(&zDev.info, "Z1");
        CProgramListWidget strip;
        strip.setDeviceFamily("Z");
        for (int nId : {1, 2})
            strip.addUsedCardItem(nId, QString("S%1").arg(nId), "Z1", 1, 8);
        CCardProgramWidget *pLive = strip.cards().at(0);
        CCardProgramWidget *pOther = strip.cards().at(1);
        QCOMPARE(pOther->getCardId(), 2);

        QTest::mouseClick(pOther, Qt::LeftButton); // a preview
        QVERIFY(!zPanel.isPolling());
        QVERIFY(tarnPanel.isPolling());
        QTest::mouseClick(pLive, Qt::LeftButton);
        QVERIFY(zPanel.isPolling());

        CTcpDeviceThread worker;
        worker.setDeviceSerial("T1");
        worker.injectReceivedData(CDeviceFrame::buildReply(34, 2, 10, QByteArray::fromHex("C5C3")));
        QVERIFY(!tarnPanel.isPolling());
        QVERIFY(zPanel.isPolling());
    }

    void bindingFewerInputsTrimsRows()
    {
        CFileListWidget panel;
        FakeDevice five("SN5", {0, 1, 2, 3, 4});
        FakeDevice three("SN3", {0, 1, 2});
        panel.addDeviceToList(&five.info, "SN5");
        QCOMPARE(rowIds(panel.layoutList()), QList<int>({0, 1, 2, 3, 4}));
        panel.addDeviceToList(&three.info, "SN3");
        QCOMPARE(rowIds(panel.layoutList()), QList<int>({0, 1, 2}));
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(panel.layoutList()->itemAt(r)->getDeviceInput(), three.info.vectorInput[r]);
            QCOMPARE(panel.layoutList()->itemAt(r)->getDeviceSerial(), QString("SN3"));
        }
        QCOMPARE(panel.serial(), QString("SN3"));
    }

    void rowsOfInputsTheDeviceLacksAreRemoved()
    {
        CFileListWidget panel;
        FakeDevice high("SNA", {4, 5, 6, 7});
        FakeDevice low("SNB", {0, 1, 2, 3});
        panel.addDeviceToList(&high.info, "SNA");
        panel.addDeviceToList(&low.info, "SNB");
        // No stale row of the first device (whose menus would address it) stays.
        QCOMPARE(rowIds(panel.layoutList()), QList<int>({0, 1, 2, 3}));
        for (int r = 0; r < 4; ++r)
            QCOMPARE(panel.layoutList()->itemAt(r)->getDeviceSerial(), QString("SNB"));

        // Inputs that stay keep their places; a vanished one leaves a gap-free list.
        FakeDevice mixed("SNB", {3, 1, 9});
        panel.addDeviceToList(&mixed.info, "SNB");
        QCOMPARE(rowIds(panel.layoutList()), QList<int>({1, 3, 9}));

        // Two inputs with one id share a row, which shows the later one.
        FakeDevice dup("SNB", {1, 1});
        dup.info.vectorInput[1]->strName = "Second";
        panel.addDeviceToList(&dup.info, "SNB");
        QCOMPARE(rowIds(panel.layoutList()), QList<int>({1}));
        QCOMPARE(panel.layoutList()->itemAt(0)->getDeviceInput()->strName, QString("Second"));

        panel.addDeviceToList(nullptr, "X"); // ignored
        QCOMPARE(panel.serial(), QString("SNB"));
    }

    void inputQueryAnswers()
    {
        QString text = "unchanged";
        int nId = 1;
        {
            CFileListWidget panel;
            globalObserver::getGlobalObserver()->notify("slot_getMainSigInputSource", Q_ARG(int, nId),
                                                        Q_ARG(QString &, text));
            QCOMPARE(text, QString("unchanged")); // unbound: no answer

            FakeDevice dev("SN1", {0, 1});
            dev.info.vectorInput[1]->strName = "HDMI1";
            panel.addDeviceToList(&dev.info, "SN1");
            globalObserver::getGlobalObserver()->notify("slot_getMainSigInputSource", Q_ARG(int, nId),
                                                        Q_ARG(QString &, text));
            QCOMPARE(text, QString("HDMI1 : 1920x1080@60"));

            dev.info.vectorInput[1]->nSig = 0;
            globalObserver::getGlobalObserver()->notify("slot_getMainSigInputSource", Q_ARG(int, nId),
                                                        Q_ARG(QString &, text));
            QCOMPARE(text, QString("HDMI1 : 无输入"));

            int nMissing = 9;
            globalObserver::getGlobalObserver()->notify("slot_getMainSigInputSource", Q_ARG(int, nMissing),
                                                        Q_ARG(QString &, text));
            QCOMPARE(text, QString());
        }
    }

    void onlyTheOwningPanelAnswersASerialQuery()
    {
        CFileListWidget tarnPanel;
        CFileListWidget zPanel; // attached later: its answer would win without the serial
        FakeDevice tarn("TARN", {0});
        FakeDevice z("ZDEV", {0});
        tarn.info.vectorInput[0]->strName = "TarnIn";
        z.info.vectorInput[0]->strName = "ZIn";
        tarnPanel.addDeviceToList(&tarn.info, "TARN");
        zPanel.addDeviceToList(&z.info, "ZDEV");

        QString text;
        int nId = 0;
        QString serial = "TARN";
        globalObserver::getGlobalObserver()->notify("slot_getMainSigInputSource", Q_ARG(int, nId),
                                                    Q_ARG(QString &, text), Q_ARG(QString, serial));
        QCOMPARE(text, QString("TarnIn : 1920x1080@60"));
        serial = "ZDEV";
        globalObserver::getGlobalObserver()->notify("slot_getMainSigInputSource", Q_ARG(int, nId),
                                                    Q_ARG(QString &, text), Q_ARG(QString, serial));
        QCOMPARE(text, QString("ZIn : 1920x1080@60"));
        text = "kept";
        serial = "NOBODY";
        globalObserver::getGlobalObserver()->notify("slot_getMainSigInputSource", Q_ARG(int, nId),
                                                    Q_ARG(QString &, text), Q_ARG(QString, serial));
        QCOMPARE(text, QString("kept"));
    }

    void zPressMakesTheInputTheMainSourceOfItsOwnDevice()
    {
        g_strDevType = "Z";
        PanelSpy spy;
        CFileListWidget tarnPanel;
        CFileListWidget zPanel;
        FakeDevice tarn("TARN", {0, 1, 2});
        FakeDevice z("ZDEV", {0, 1, 2});
        tarnPanel.addDeviceToList(&tarn.info, "TARN");
        zPanel.addDeviceToList(&z.info, "ZDEV");

        // A left press on input 2 of the Z panel; under offscreen the drag
        // ends at once, as an undropped drag would.
        CDeviceItem *row = zPanel.layoutList()->itemAt(2);
        QTest::mousePress(row, Qt::LeftButton);

        QCOMPARE(spy.events, QStringList({"slot_setDeviceCmd", "slot_WaitupdateCurrentZDeviceDate",
                                          "slot_GetZMainSig"}));
        QCOMPARE(spy.cmds.size(), 1);
        QCOMPARE(spy.cmds[0].serial, QString("ZDEV"));
        QCOMPARE(spy.cmds[0].name, QString("图层设置"));
        QCOMPARE(spy.cmds[0].payload, QByteArray::fromHex("0002"));
        QCOMPARE(spy.cmds[0].rw, 2);
        QCOMPARE(spy.cmds[0].sub, 3);
        QCOMPARE(spy.mainSigs, QList<int>({2}));
    }

    void tarnPressResumesThePoll()
    {
        PanelSpy spy;
        CFileListWidget panel;
        FakeDevice dev("SN1", {0});
        panel.addDeviceToList(&dev.info, "SN1");
        panel.slot_IsZReflash(false);
        QTest::mousePress(panel.layoutList()->itemAt(0), Qt::LeftButton);
        QVERIFY(panel.isPolling());
        QVERIFY(spy.events.isEmpty());

        // A drag named for another device is not this panel's.
        panel.slot_IsZReflash(false);
        panel.slot_startDrag(":/res/res/image/hdmi-en.png", "x", 0, "OTHER");
        QVERIFY(!panel.isPolling());
    }

    void foldingSharesTheCounter()
    {
        CFileListWidget a;
        CFileListWidget b;
        a.resize(163, 342);
        const int maxBefore = a.maximumHeight();
        QPushButton *foldA = a.findChild<QPushButton *>("btnMaterial");
        QPushButton *foldB = b.findChild<QPushButton *>("btnMaterial");

        foldA->click();
        QVERIFY(!a.isOpen());
        QCOMPARE(g_nOpenCount, 2);
        QVERIFY(a.findChild<QStackedWidget *>("stackedWidget")->isHidden());
        QVERIFY(foldA->styleSheet().contains("close.png"));
        QCOMPARE(a.maximumHeight(), a.findChild<QFrame *>("frame")->height());

        foldB->click(); // another section is folded: nothing happens
        QVERIFY(b.isOpen());
        QCOMPARE(g_nOpenCount, 2);

        foldA->click();
        QVERIFY(a.isOpen());
        QCOMPARE(g_nOpenCount, 1);
        QCOMPARE(a.maximumHeight(), maxBefore);
        QVERIFY(foldA->styleSheet().contains("open.png"));
        foldB->click();
        QVERIFY(!b.isOpen());
        foldB->click();
        QCOMPARE(g_nOpenCount, 1);
    }

    void documentKeysStayInert()
    {
        CFileListWidget panel;
        QJsonObject obj;
        panel.fileListToJson(obj);
        QVERIFY(obj.isEmpty());

        // A hostile count is not walked: the entries present bound the reading.
        QString doc = R"({"fileCount": 2000000000, "fileList": {"filePath1": "/tmp/a.png"}})";
        QElapsedTimer t;
        t.start();
        panel.jsonToFileList(doc);
        QVERIFY(t.elapsed() < 2000);
        QVERIFY(panel.materialFiles().isEmpty());
        QString bad = "not json";
        panel.jsonToFileList(bad);
        QVERIFY(panel.materialFiles().isEmpty());
        QVERIFY(!panel.checkVectorFile("/tmp/a.png"));

        panel.slot_selectItem(3);
        panel.slot_deleteItemById(0); // no rows, no cards: nothing breaks
        panel.deleteAllItem();
        QCOMPARE(panel.layoutList()->rowCount(), 0);
    }

    void languageSwitch()
    {
        const QString qm = TestUtil::buildDir() + "/Tranlate_EN.qm";
        QVERIFY(QFile::exists(qm));
        QFile::remove("Tranlate_EN.qm");
        QVERIFY(QFile::copy(qm, "Tranlate_EN.qm"));

        CFileListWidget panel;
        FakeDevice dev("SN1", {0});
        dev.info.vectorInput[0]->nSig = 0;
        panel.addDeviceToList(&dev.info, "SN1");
        int nLanguage = 1;
        globalObserver::getGlobalObserver()->notify("slot_updateFileListlanguage", Q_ARG(int, nLanguage));
        QCOMPARE(panel.findChild<QLabel *>("labelName")->text(), QString("Input sources"));
        QCOMPARE(panel.findChild<QPushButton *>("btnReflash")->toolTip(), QString("Refresh input sources"));
        QString text;
        int nId = 0;
        panel.slot_getMainSigInputSource(nId, text);
        QCOMPARE(text, QString("IN0 : No input"));

        // Rows take the language when they are refreshed.
        panel.addDeviceToList(&dev.info, "SN1");
        QCOMPARE(panel.layoutList()->itemAt(0)->menu()->actions().first()->text(),
                 QString("Modify input settings"));

        nLanguage = 0; // no Chinese file here: the source texts show
        panel.slot_updateFileListlanguage(nLanguage);
        QCOMPARE(panel.findChild<QLabel *>("labelName")->text(), QString("输入源"));
    }

    // ---- card page ----

    void cardPage()
    {
        CLayoutCardWidget page;
        page.deleteAllItem(); // no flow layout yet: nothing happens
        page.deleteItemById(0);
        page.initValue();
        FlowLayout *flow = page.flowLayout();
        QVERIFY(flow);
        page.initValue();
        QCOMPARE(page.flowLayout(), flow);
        QCOMPARE(page.cardCount(), 0);

        page.addCardItem();
        page.addCardItem();
        QCOMPARE(page.cardCount(), 2);
        QVERIFY(page.checkItemExist("card file"));
        QVERIFY(!page.checkItemExist("other"));
        QCOMPARE(page.cardCount(), 2); // looking takes no card out
        page.deleteItemById(0);
        QCOMPARE(page.cardCount(), 1);
        page.deleteAllItem();
        QCOMPARE(page.cardCount(), 0);
    }
};

VISTEL_TEST_MAIN(TestFileList)
#include "tst_filelist.moc"
