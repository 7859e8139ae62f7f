#include "TestMain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "BesMessageBox.h"
#include "DeviceItem.h"
#include "InputSetDlg.h"
#include "globalObserver.h"

// Records the hub notifications a source row sends, in order.
class RowSpy : public QObject
{
    Q_OBJECT
public:
    struct Cmd
    {
        QString serial, name;
        QByteArray payload;
        int rw, sub;
    };
    QStringList events; // topic names in arrival order
    QList<Cmd> cmds;
    QList<QVariantList> drags;

    RowSpy()
    {
        for (const char *t : kTopics)
            globalObserver::getGlobalObserver()->attach(t, this, t);
    }
    ~RowSpy() override
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
    void slot_IsZReflash(bool b) { events << QString("slot_IsZReflash:%1").arg(b); }
    void slot_IsZReflash(bool b, QString serial) { events << QString("slot_IsZReflash:%1:%2").arg(b).arg(serial); }
    void slot_refreshinputName() { events << "slot_refreshinputName"; }
    void slot_refreshinputName(QString) { events << "slot_refreshinputName"; }
    void slot_startDrag(QString file, QString text, int id, QString serial)
    {
        events << "slot_startDrag";
        drags.append({file, text, id, serial});
    }

private:
    static constexpr const char *kTopics[] = {"slot_setDeviceCmd", "slot_IsZReflash",
                                              "slot_refreshinputName", "slot_startDrag"};
};

// Answers the next input settings dialog once it runs modally.
static void answerDialog(std::function<void(CInputSetDlg *)> fn)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, fn, tries] {
        auto *dlg = qobject_cast<CInputSetDlg *>(QApplication::activeModalWidget());
        if (dlg) {
            timer->stop();
            timer->deleteLater();
            fn(dlg);
        } else if (++*tries > 400) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

static void setCustom(CInputSetDlg *dlg, const QString &w, const QString &h, const QString &hz)
{
    dlg->findChild<QComboBox *>("cmbType")->setCurrentIndex(1);
    dlg->findChild<QLineEdit *>("lineEditW")->setText(w);
    dlg->findChild<QLineEdit *>("lineEditH")->setText(h);
    dlg->findChild<QLineEdit *>("lineEditHZ")->setText(hz);
}

static QAction *entry(CDeviceItem &row, const QString &text)
{
    for (QAction *a : row.menu()->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

class TestDeviceItem : public QObject
{
    Q_OBJECT

    InputSource m_in;

    void resetInput()
    {
        m_in = InputSource();
        m_in.strName = "HDMI1";
        m_in.strType = "HDMI";
        m_in.nId = 2;
        m_in.nWidth = 1920;
        m_in.nHeight = 1080;
        m_in.nHz = 60;
        m_in.nSig = 1;
    }

private slots:
    void init()
    {
        g_strDevType = "Tarn";
        resetInput();
        BesMessageBox::clearTestRecords();
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
    }
    void cleanup()
    {
        BesMessageBox::clearTestAnswer();
        g_strDevType = "Tarn";
    }

    void textsAndIndex()
    {
        CDeviceItem row;
        row.setDeviceInput(&m_in);
        QCOMPARE(row.findChild<QLabel *>("labelName")->text(), QString("HDMI1\r\n1920x1080@60"));
        QCOMPARE(row.findChild<QLabel *>("labelIndex")->text(), QString("3"));
        QCOMPARE(row.getInputSrcIndex(), 2);

        // Without a signal the row shows no timing; the record is the worker's and keeps its own.
        m_in.nSig = 0;
        row.setDeviceInput(&m_in);
        QCOMPARE(row.findChild<QLabel *>("labelName")->text(), QString("HDMI1\r\n0x0@0"));
        QCOMPARE(m_in.nWidth, 1920);
        QCOMPARE(m_in.nHz, 60);

        CDeviceItem empty;
        QCOMPARE(empty.getInputSrcIndex(), -1);
    }

    void markupInNamesShowsLiterally()
    {
        m_in.strName = "<b>X</b><a href=\"http://h\">y</a>";
        CDeviceItem row;
        row.setDeviceInput(&m_in);
        auto *label = row.findChild<QLabel *>("labelName");
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(label->text().startsWith("<b>X</b>"));
    }

    void portIcons_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("sig");
        QTest::addColumn<QString>("icon");
        QTest::newRow("hdmi") << "HDMI" << 1 << ":/res/res/image/hdmi-en.png";
        QTest::newRow("hdmi before dvi") << "DVI/HDMI" << 1 << ":/res/res/image/hdmi-en.png";
        QTest::newRow("dvi off") << "DVI-D" << 0 << ":/res/res/image/dvi-un.png";
        QTest::newRow("signal 2 is off") << "VGA" << 2 << ":/res/res/image/vga-un.png";
        QTest::newRow("dp") << "DP1.2" << 1 << ":/res/res/image/dp-en.png";
        QTest::newRow("sdi") << "3G-SDI" << 1 << ":/res/res/image/sdi-en.png";
        QTest::newRow("cvbs") << "CVBS" << 0 << ":/res/res/image/cvbs-un.png";
        QTest::newRow("usb shows dvi") << "USB" << 1 << ":/res/res/image/dvi-en.png";
        QTest::newRow("case matters") << "hdmi" << 1 << "";
        QTest::newRow("unknown") << "SFP" << 1 << "";
    }

    void portIcons()
    {
        QFETCH(QString, type);
        QFETCH(int, sig);
        QFETCH(QString, icon);
        m_in.nSig = sig;
        CDeviceItem row;
        row.setDeviceInput(&m_in);
        row.setDeviceType(type);
        QCOMPARE(row.getDeviceImage(), icon);
        if (!icon.isEmpty()) {
            QVERIFY(QFile::exists(icon));
            QVERIFY(!row.findChild<QLabel *>("labelImage")->pixmap(Qt::ReturnByValue).isNull());
        }
    }

    void menusFollowTheFamily()
    {
        CDeviceItem tarn;
        QStringList texts;
        for (QAction *a : tarn.menu()->actions())
            texts << a->text();
        QCOMPARE(texts, QStringList({"修改输入设置", "修改输入名称", "修改分辨率", "更新输入名称",
                                     "更新分辨率", "恢复出厂设置名称"}));

        g_strDevType = "Z";
        CDeviceItem z;
        texts.clear();
        for (QAction *a : z.menu()->actions())
            texts << a->text();
        QCOMPARE(texts, QStringList({"修改分辨率", "更新分辨率"}));
        z.setMenuName(); // Z entries keep their texts and no Tarn entry appears
        QCOMPARE(z.menu()->actions().size(), 2);

        g_strDevType = "Other";
        CDeviceItem other;
        QVERIFY(other.menu()->actions().isEmpty());
    }

    void entriesOnARowWithoutInputDoNothing()
    {
        RowSpy spy;
        CDeviceItem row;
        row.setDeviceSerial("SN1");
        for (QAction *a : row.menu()->actions())
            a->trigger();
        QVERIFY(spy.events.isEmpty());
        QTest::mousePress(&row, Qt::LeftButton);
        QVERIFY(spy.events.isEmpty());
    }

    void tooLongNameIsRefusedThenCancelled()
    {
        RowSpy spy;
        CDeviceItem row;
        row.setDeviceSerial("SN1");
        row.setDeviceInput(&m_in);
        answerDialog([](CInputSetDlg *dlg) {
            dlg->findChild<QLineEdit *>("lineEditName")->setText("超长的输入名称测试");
            dlg->findChild<QPushButton *>("btnOk")->click(); // refused: the box is answered
            QVERIFY(dlg->isVisible());
            dlg->findChild<QPushButton *>("btnCancel")->click();
        });
        entry(row, "修改输入名称")->trigger();
        QVERIFY(spy.cmds.isEmpty());
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
        QCOMPARE(m_in.strName, QString("HDMI1"));
    }

    void factoryNameRestore()
    {
        RowSpy spy;
        CDeviceItem row;
        row.setDeviceSerial("SN1");
        m_in.strName = "a超长的输入名称"; // 15 bytes of GBK: longer than the field
        row.setDeviceInput(&m_in);
        entry(row, "恢复出厂设置名称")->trigger();
        QCOMPARE(spy.events, QStringList({"slot_setDeviceCmd", "slot_refreshinputName", "slot_setDeviceCmd",
                                          "slot_IsZReflash:1:SN1"}));
        const QByteArray p = spy.cmds[0].payload;
        QCOMPARE(p.size(), 14);
        QCOMPARE(p.left(2), QByteArray::fromHex("0201"));
        // Cut at a character boundary: 11 bytes of name, then a zero.
        QCOMPARE(p.mid(2), QByteArray("a") + QByteArray::fromHex("B3ACB3A4B5C4CAE4C8EB") + QByteArray(1, '\0'));
        QCOMPARE(spy.cmds[0].rw, 2);
        QCOMPARE(spy.cmds[0].sub, 2);
        QCOMPARE(spy.cmds[1].name, QString("获取输入状态"));
        QCOMPARE(spy.cmds[1].payload, QByteArray());
        QCOMPARE(spy.cmds[1].rw, 1);
        QCOMPARE(spy.cmds[1].sub, 1);
    }

    void zFamilyEntries()
    {
        g_strDevType = "Z";
        RowSpy spy;
        CDeviceItem row;
        row.setDeviceSerial("Z1");
        row.setDeviceInput(&m_in);
        answerDialog([](CInputSetDlg *dlg) {
            setCustom(dlg, "1366", "768", "60");
            dlg->findChild<QPushButton *>("btnOk")->click();
        });
        entry(row, "修改分辨率")->trigger();
        entry(row, "更新分辨率")->trigger();
        QCOMPARE(spy.events, QStringList({"slot_setDeviceCmd", "slot_setDeviceCmd"}));
        QCOMPARE(spy.cmds[0].payload, QByteArray::fromHex("02FF055603003C"));
        // shown at once, the record left as the device's reads gave it
        QCOMPARE(row.findChild<QLabel *>("labelName")->text(), QString("HDMI1\r\n1366x768@60"));
        QCOMPARE(m_in.nWidth, 1920);
        QCOMPARE(spy.cmds[1].payload, QByteArray::fromHex("02"));
        QCOMPARE(spy.cmds[1].sub, 3);
    }

    void dragDataLayout()
    {
        const QByteArray data = CDeviceItem::makeDragData(":/res/res/image/hdmi-en.png", "HDMI1 : 1920x1080@60", 5);
        QCOMPARE(data.left(4), QByteArray::fromHex("00000003")); // media type, big-endian
        QDataStream in(data);
        qint32 type = 0, id = 0;
        QString file1, file2, caption;
        in >> type >> file1 >> file2 >> caption >> id;
        QCOMPARE(in.status(), QDataStream::Ok);
        QVERIFY(in.atEnd());
        QCOMPARE(type, qint32(MediaType_SingleText));
        QCOMPARE(file1, QString(":/res/res/image/hdmi-en.png"));
        QCOMPARE(file2, file1);
        QCOMPARE(caption, QString("HDMI1 : 1920x1080@60"));
        QCOMPARE(id, 5);
        QCOMPARE(QString(CDeviceItem::DRAG_MIME_TYPE), QString("editScene/media"));
    }

    void leftPressAsksForTheDrag()
    {
        RowSpy spy;
        CDeviceItem row;
        row.setDeviceSerial("SN1");
        row.setDeviceInput(&m_in);
        row.setDeviceType("HDMI");
        QTest::mousePress(&row, Qt::LeftButton);
        QCOMPARE(spy.drags.size(), 1);
        QCOMPARE(spy.drags[0], QVariantList({":/res/res/image/hdmi-en.png", "HDMI1 : 1920x1080@60", 2, "SN1"}));

        m_in.nSig = 0;
        row.setDeviceInput(&m_in);
        QTest::mousePress(&row, Qt::LeftButton);
        QCOMPARE(spy.drags[1].at(1).toString(), QString("HDMI1 : 无输入"));
    }

    // A name typed in the dialog of the right-click menu's entry reaches the row's device and
    // shows on the row at once, the record left to the worker; when the panel rebinds the row to
    // another device's input, or removes it, meanwhile (while the dialog or the menu is open),
    // nothing is sent. No record changes in any case.
    void rowChangedWhileItsDialogIsOpen_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("entry");
        for (const char *change : {"none", "rebind", "remove"})
            QTest::newRow(change) << change << 1; // 修改输入名称
        QTest::newRow("rebind while the menu is open") << "rebind menu" << 5; // 恢复出厂设置名称
    }
    void rowChangedWhileItsDialogIsOpen()
    {
        QFETCH(QString, change);
        QFETCH(int, entry);
        RowSpy spy;
        InputSource other = m_in;
        QPointer<CDeviceItem> pRow = new CDeviceItem;
        pRow->setDeviceSerial("SN1");
        pRow->setDeviceInput(&m_in);
        pRow->show();
        QTimer::singleShot(20, [&]() {
            auto *pMenu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(pMenu);
            const auto rebind = [&] {
                pRow->setDeviceSerial("SN2");
                pRow->setDeviceInput(&other);
            };
            if (change == "rebind menu")
                rebind();
            else
                answerDialog([&, rebind](CInputSetDlg *dlg) {
                    dlg->findChild<QLineEdit *>("lineEditName")->setText("NEW");
                    if (change == "rebind")
                        rebind();
                    else if (change == "remove")
                        delete pRow;
                    dlg->findChild<QPushButton *>("btnOk")->click();
                });
            pMenu->setActiveAction(pMenu->actions().at(entry));
            QTest::keyClick(pMenu, Qt::Key_Return);
        });
        QTest::mousePress(pRow.data(), Qt::RightButton);
        const bool bSent = change == "none";
        QCOMPARE(spy.cmds.size(), bSent ? 1 : 0);
        QCOMPARE(m_in.strName + other.strName, QString("HDMI1HDMI1"));
        if (bSent) {
            QCOMPARE(spy.cmds[0].serial + spy.cmds[0].payload.mid(2, 3), QString("SN1NEW"));
            QCOMPARE(pRow->findChild<QLabel *>("labelName")->text(), QString("NEW\r\n1920x1080@60"));
        }
        delete pRow;
    }

};

VISTEL_TEST_MAIN(TestDeviceItem)
#include "tst_deviceitem.moc"
