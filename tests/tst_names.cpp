// Names the operator gives the device (the screen page's device name, the Z page's device name,
// a scene card's rename and the input-name dialog), pasted, typed or committed by an input
// method, as they arrive on the simulated device's wire.
#include "TestMain.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

#include "BackCanvasWidget.h"
#include "BesMessageBox.h"
#include "CardProgramWidget.h"
#include "DeviceItem.h"
#include "DeviceSimulator.h"
#include "EditBaseScene.h"
#include "FileListWidget.h"
#include "GbkCodec.h"
#include "HubSpy.h"
#include "InputSetDlg.h"
#include "LayoutListWidget.h"
#include "OtherWidget.h"
#include "ProgramListWidget.h"
#include "ProgramSpy.h"
#include "SceneBackCanvas.h"
#include "SimTestUtil.h"
#include "TcpDeviceThread.h"
#include "TestUtil.h"
#include "globalObserver.h"

using SimTest::connectWorker;
using SimTest::settle;

namespace {
// The text reaches the edit as the operator's hands would bring it.
void enter(QLineEdit *pEdit, const QString &strMode, const QString &strText)
{
    pEdit->setFocus();
    pEdit->selectAll();
    if (strMode == "paste") {
        QGuiApplication::clipboard()->setText(strText);
        pEdit->paste();
    } else if (strMode == "typed") {
        pEdit->del();
        QTest::keyClicks(pEdit, strText);
    } else {
        pEdit->del();
        QInputMethodEvent commit;
        commit.setCommitString(strText);
        QCoreApplication::sendEvent(pEdit, &commit);
    }
}

// The refusal names the field, then what was refused.
QString refused(const QString &strField, const char *pszWhat)
{
    return QString::fromUtf8(strField == "input" ? "输入名称" : strField == "card" ? "场景名称" : "设备名称") + QString::fromUtf8(pszWhat);
}
const char *const kTooLong = "不能超过12个字节（一个汉字占2个字节）";
}

class TestNames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { BesMessageBox::setTestAnswer(QMessageBox::Ok); }
    void init() { BesMessageBox::clearTestRecords(); }

    // field: screen, z, card or input; held: the name the device's field then holds; refusal:
    // the operator's word instead, with nothing sent. A limit never leaves half a character.
    void nameOnTheWire_data()
    {
        for (const char *c : {"field", "mode", "text", "held", "refusal"})
            QTest::addColumn<QString>(c);
        QList<QStringList> rows;
        for (const QString f : {"screen", "z", "card", "input"})
            rows << QStringList{f, "paste", "ab\ncd", "", refused(f, "含有设备不支持的字符：换行")} << QStringList{f, "ime", "x\ty", "", refused(f, "含有设备不支持的字符：制表符")}
                 << QStringList{f, "ime", QString::fromUtf8("a\xF0\x9F\x98\x80" "b"), "", refused(f, "含有设备不支持的字符：“\xF0\x9F\x98\x80”")}
                 << QStringList{f, "typed", "%1%3", "%1%3", ""}
                 << QStringList{f, "ime", QString::fromUtf8("大厅"), QString::fromUtf8("大厅"), ""};
        // The device name fields hold what the 12 bytes hold, whole, and refuse more: no count of
        // characters cuts a name.
        rows << QStringList{"screen", "ime", QString::fromUtf8("一二三四五六七"), "", refused("screen", kTooLong)}
             << QStringList{"screen", "ime", QString::fromUtf8("一二三四五六"), QString::fromUtf8("一二三四五六"), ""}
             << QStringList{"screen", "ime", QChar(0) + QString("Q"), "", refused("screen", "含有设备不支持的字符：控制字符 U+0000")}
             << QStringList{"screen", "paste", "LeftWall1234", "LeftWall1234", ""}
             << QStringList{"z", "typed", "ABCDEFG", "ABCDEFG", ""}
             << QStringList{"z", "typed", "ABCDEFGHIJKLM", "", refused("z", kTooLong)}
             << QStringList{"z", "ime", QString::fromUtf8("北京控制中心"), QString::fromUtf8("北京控制中心"), ""}
             << QStringList{"card", "typed", "ABCDEFGHIJKLMNO", "", refused("card", kTooLong)}
             << QStringList{"card", "paste", "ab\r\ncd", "", "Scene name contains a character the device does not support: line break."}
             << QStringList{"z", "paste", "a\x1b", "", "Device name contains a character the device does not support: control character U+001B."}
             << QStringList{"input", "typed", "ABCDEFGHIJKLM", "", refused("input", kTooLong)}
             << QStringList{"input", "ime", QString::fromUtf8("输入源名称六"), QString::fromUtf8("输入源名称六"), ""};
        for (const QStringList &r : rows)
            QTest::newRow(qPrintable(r.mid(0, 3).join(' ').replace('\n', "\\n").replace('\r', "\\r").replace('\x1b', "\\e").replace('\t', "\\t").replace(QChar(0), "\\0")))
                << r[0] << r[1] << r[2] << r[3] << r[4];
    }
    void nameOnTheWire()
    {
        QFETCH(QString, field);
        QFETCH(QString, mode);
        QFETCH(QString, text);
        QFETCH(QString, held);
        QFETCH(QString, refusal);
        const bool bZ = field == "z";
        // An English refusal is said with the English translation installed.
        QTranslator english;
        const bool bEnglish = refusal.contains("the device does not support");
        if (bEnglish) {
            QVERIFY(english.load(TestUtil::buildDir() + "/Tranlate_EN.qm"));
            QCoreApplication::installTranslator(&english);
        }
        g_strDevType = bZ ? "Z" : "Tarn";
        CTcpDeviceThread::setEditedDeviceSerial(QString());
        CDeviceSimulator sim(bZ ? CSimDeviceModel::Z : CSimDeviceModel::Tarn, 3, 2);
        QVERIFY(sim.listen(QHostAddress("127.0.0.1"), 0));
        CTcpDeviceThread worker;
        if (bZ)
            worker.setDeviceType("Z");
        CHubSpy router;
        router.setRouteTo(&worker);
        CProgramSpy live; // scene 1, the one edited, is the live one
        live.nTaken = 1;
        QVERIFY(connectWorker(worker, sim, "SN1"));
        worker.setMcuCommand(QString::fromUtf8("设备信息"), QByteArray::fromHex("01"), 1, 0);
        worker.setMcuCommand(QString::fromUtf8("源及场景数"), QByteArray::fromHex("01"), 1, 0);
        settle(worker, sim);
        sim.clearRequests();

        int nCmd = 41, nSub = 10;
        if (field == "screen") {
            CEditBaseScene scene;
            scene.setSceneID(1);
            scene.m_strSerial = "SN1";
            QRect rt(0, 0, 1920, 1080);
            scene.createBackCanvas(rt);
            CBackCanvasWidget page;
            page.setWidgetData(scene.m_pBackCanvas);
            enter(page.findChild<QLineEdit *>("lineEditstrSerial"), mode, text);
            page.sendDeviceCmd();
        } else if (bZ) {
            COtherWidget page;
            page.slot_updateZDeviceName("dev", "SN1");
            enter(page.findChild<QLineEdit *>("lineEditstrSerial"), mode, text);
            page.sendZDeviceCmd();
        } else if (field == "card") {
            nCmd = 35;
            nSub = 40;
            CProgramListWidget strip;
            strip.addUsedCardItem(1, "S1", "SN1", 1, 8);
            CCardProgramWidget *pCard = ProgramTest::card(strip, 1);
            QVERIFY(ProgramTest::chooseEntry(pCard, QCoreApplication::translate("CCardProgramWidget", "重命名场景")));
            enter(pCard->nameEditor(), mode, text);
            QTest::keyClick(pCard->nameEditor(), Qt::Key_Return);
            // refused, the editor stays open with the name as it was entered
            QCOMPARE(pCard->isEditingName(), !refusal.isEmpty());
        } else {
            nCmd = 31;
            nSub = 2;
            CFileListWidget panel;
            panel.addDeviceToList(worker.getDeviceInfo(), "SN1");
            panel.slot_IsZReflash(false);
            QAction *pRename = nullptr;
            for (QAction *a : panel.layoutList()->itemAt(1)->menu()->actions())
                pRename = a->text() == QString::fromUtf8("修改输入名称") ? a : pRename;
            QVERIFY(pRename);
            QTimer::singleShot(50, [&] {
                auto *pDlg = qobject_cast<CInputSetDlg *>(QApplication::activeModalWidget());
                QVERIFY(pDlg);
                enter(pDlg->findChild<QLineEdit *>("lineEditName"), mode, text);
                pDlg->findChild<QPushButton *>("btnOk")->click();
                if (pDlg->isVisible()) // refused: the dialog stays for another try
                    pDlg->reject();
            });
            pRename->trigger();
        }

        if (refusal.isEmpty()) {
            QTRY_VERIFY(sim.hasRequest(nCmd, nSub));
            const QByteArray payload = sim.requests(nCmd, nSub).first().payload;
            QCOMPARE(payload.right(12), g_toGbkField(held, 12));
            QVERIFY(BesMessageBox::testRecords().isEmpty());
        } else {
            settle(worker, sim);
            QVERIFY(!sim.hasRequest(nCmd, nSub));
            QVERIFY(!BesMessageBox::testRecords().isEmpty());
            QCOMPARE(BesMessageBox::testRecords().last().text, refusal);
            if (field == "card")
                QCOMPARE(BesMessageBox::testRecords().last().title, QString::fromUtf8(bEnglish ? "Notice" : "提示"));
        }
        if (field == "input" && refusal.isEmpty()) {
            settle(worker, sim); // the name the device took comes back whole in the source caption
            QVERIFY(worker.getMainSigInputSource(1).startsWith(held + " : "));
        }
    }
};

VISTEL_TEST_MAIN(TestNames)
#include "tst_names.moc"
