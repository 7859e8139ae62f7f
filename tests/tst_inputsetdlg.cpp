#include "TestMain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "BesMessageBox.h"
#include "InputSetDlg.h"

// The input settings dialog: how it fills from a record, what each field
// stores, which rows each show type keeps, and what OK writes or refuses.
class TestInputSetDlg : public QObject
{
    Q_OBJECT

    static QLineEdit *edit(CInputSetDlg &dlg, const char *name)
    {
        return dlg.findChild<QLineEdit *>(name);
    }
    static QComboBox *combo(CInputSetDlg &dlg, const char *name)
    {
        return dlg.findChild<QComboBox *>(name);
    }
    static bool hidden(CInputSetDlg &dlg, const char *name)
    {
        QWidget *w = dlg.findChild<QWidget *>(name);
        return w && w->isHidden();
    }

private slots:
    void init()
    {
        BesMessageBox::clearTestRecords();
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
    }
    void cleanup()
    {
        BesMessageBox::clearTestAnswer();
    }

    void recordWithoutSignalOpensAt1080p60()
    {
        InputSource in;
        in.strName = "HDMI1";
        CInputSetDlg dlg;
        dlg.setInputData(&in);
        QCOMPARE(edit(dlg, "lineEditName")->text(), QString("HDMI1"));
        QCOMPARE(edit(dlg, "lineEditW")->text(), QString("1920"));
        QCOMPARE(edit(dlg, "lineEditH")->text(), QString("1080"));
        QCOMPARE(edit(dlg, "lineEditHZ")->text(), QString("60"));
        QCOMPARE(combo(dlg, "cmbStandard")->currentText(), QString("1920X1080"));
        dlg.slot_ok();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(in.nWidth, 1920);
        QCOMPARE(in.nHeight, 1080);
        QCOMPARE(in.nHz, 60);
        QCOMPARE(dlg.getResouIndex(), 8);
        QCOMPARE(dlg.getShowType(), 0);
    }

    void unlistedResolutionKeepsRecordValues()
    {
        InputSource in;
        in.strName = "DP";
        in.nWidth = 1600;
        in.nHeight = 900;
        in.nHz = 50;
        CInputSetDlg dlg;
        dlg.setInputData(&in);
        QCOMPARE(combo(dlg, "cmbStandard")->currentText(), QString("800X600"));
        QCOMPARE(edit(dlg, "lineEditW")->text(), QString("1600"));
        dlg.slot_ok();
        QCOMPARE(in.nWidth, 1600);
        QCOMPARE(in.nHeight, 900);
        QCOMPARE(in.nHz, 50);
        QCOMPARE(dlg.getResouIndex(), 0);
    }

    void customSizeIsWhatTheFieldsShow()
    {
        // A standard entry picked first, then the custom type: what is sent is
        // what the custom fields show.
        InputSource in;
        in.nWidth = 1600;
        in.nHeight = 900;
        in.nHz = 60;
        in.nSig = 1;
        CInputSetDlg dlg;
        dlg.setInputData(&in);
        dlg.setShowType(2);
        combo(dlg, "cmbStandard")->setCurrentIndex(13);
        combo(dlg, "cmbType")->setCurrentIndex(1);
        dlg.slot_ok();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.getShowType(), 1);
        QCOMPARE(dlg.getWidth(), 1600);
        QCOMPARE(in.nWidth, 1600);
        QCOMPARE(in.nHeight, 900);
    }

    void showTypesAndTypeSwitch()
    {
        CInputSetDlg one;
        one.setShowType(1);
        for (const char *name : {"cmbType", "cmbStandard", "lineEditW", "lineEditHZ"})
            QVERIFY2(hidden(one, name), name);
        QVERIFY(!hidden(one, "lineEditName"));

        CInputSetDlg two;
        two.setShowType(2);
        QVERIFY(hidden(two, "lineEditName") && hidden(two, "lineEditW"));
        QVERIFY(!hidden(two, "cmbStandard") && !hidden(two, "lineEditHZ"));
        combo(two, "cmbType")->setCurrentIndex(1);
        QVERIFY(!hidden(two, "lineEditW") && hidden(two, "cmbStandard"));
        QCOMPARE(two.findChild<QLabel *>("labelStandard")->text(), QString("自定义分辨率："));
    }

    void badValuesAreRefused_data()
    {
        QTest::addColumn<int>("showType");
        QTest::addColumn<bool>("custom");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("hz");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("letters as rate") << 0 << false << "HDMI1" << "1920" << "1080" << "abc" << false;
        QTest::newRow("rate 300") << 2 << false << "HDMI1" << "1920" << "1080" << "300" << false;
        QTest::newRow("rate 0") << 2 << false << "HDMI1" << "1920" << "1080" << "0" << false;
        QTest::newRow("rate 255") << 2 << false << "HDMI1" << "1920" << "1080" << "255" << true;
        QTest::newRow("width 70000") << 2 << true << "HDMI1" << "70000" << "1080" << "60" << false;
        QTest::newRow("width 65535") << 2 << true << "HDMI1" << "65535" << "1080" << "60" << true;
        QTest::newRow("negative height") << 0 << true << "HDMI1" << "1920" << "-5" << "60" << false;
        QTest::newRow("empty width") << 2 << true << "HDMI1" << "" << "1080" << "60" << false;
        // 12 bytes of GBK: six Chinese characters fit, seven do not.
        QTest::newRow("name of 12 bytes") << 1 << false << "输入源名称六" << "" << "" << "" << true;
        QTest::newRow("name of 14 bytes") << 1 << false << "输入源名称六七" << "" << "" << "" << false;
        QTest::newRow("name of 13 ascii") << 0 << false << "ABCDEFGHIJKLM" << "1" << "1" << "60" << false;
        QTest::newRow("name outside GBK") << 1 << false << QString::fromUtf8("HDMI\xF0\x9F\x98\x80") << ""
                                          << "" << "" << false;
        QTest::newRow("markup name fits") << 1 << false << "<b>x</b>" << "" << "" << "" << true;
        QTest::newRow("empty name") << 1 << false << "" << "" << "" << "" << true;
        // Hidden rows are not checked.
        QTest::newRow("long name, timing only") << 2 << false << "ABCDEFGHIJKLMNOP" << "1" << "1"
                                                << "60" << true;
        QTest::newRow("bad rate, name only") << 1 << false << "HDMI" << "1" << "1" << "999" << true;
    }

    void badValuesAreRefused()
    {
        QFETCH(int, showType);
        QFETCH(bool, custom);
        QFETCH(QString, name);
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, hz);
        QFETCH(bool, accepted);

        InputSource in;
        in.strName = "HDMI1";
        in.nWidth = 1280;
        in.nHeight = 720;
        in.nHz = 50;
        in.nSig = 1;
        CInputSetDlg dlg;
        dlg.setInputData(&in);
        dlg.setShowType(showType);
        combo(dlg, "cmbType")->setCurrentIndex(custom ? 1 : 0);
        // Texts set in code bypass the validators, as a paste of anything would.
        edit(dlg, "lineEditName")->setText(name);
        edit(dlg, "lineEditW")->setText(width);
        edit(dlg, "lineEditH")->setText(height);
        edit(dlg, "lineEditHZ")->setText(hz);
        dlg.slot_ok();

        QCOMPARE(dlg.result() == QDialog::Accepted, accepted);
        if (accepted) {
            QVERIFY(BesMessageBox::testRecords().isEmpty());
        } else {
            QCOMPARE(BesMessageBox::testRecords().size(), 1);
            QCOMPARE(BesMessageBox::testRecords().first().kind, QString("information"));
            // Nothing reached the record.
            QCOMPARE(in.strName, QString("HDMI1"));
            QCOMPARE(in.nWidth, 1280);
            QCOMPARE(in.nHz, 50);
        }
    }

};

VISTEL_TEST_MAIN(TestInputSetDlg)
#include "tst_inputsetdlg.moc"
