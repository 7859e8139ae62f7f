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

    void standardListAndStartState()
    {
        CInputSetDlg dlg;
        QComboBox *std = combo(dlg, "cmbStandard");
        QCOMPARE(std->count(), 15);
        QCOMPARE(std->itemText(0), QString("800X600"));
        QCOMPARE(std->itemText(8), QString("1920X1080"));
        QCOMPARE(std->itemText(11), QString("2048X1539"));
        QCOMPARE(std->itemText(14), QString("4096X2160"));
        QCOMPARE(dlg.windowFlags() & (Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint),
                 Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
        QVERIFY(!(dlg.windowFlags() & Qt::WindowMinimizeButtonHint));
        // Opens in the standard type: the custom fields are hidden.
        QVERIFY(hidden(dlg, "lineEditW") && hidden(dlg, "lineEditH") && hidden(dlg, "labelX"));
        QCOMPARE(dlg.getWidth(), 1920);
        QCOMPARE(dlg.getHeight(), 1080);
        QCOMPARE(dlg.getHz(), 60);

        combo(dlg, "cmbType")->setCurrentIndex(1);
        QVERIFY(!hidden(dlg, "lineEditW") && hidden(dlg, "cmbStandard"));
        QCOMPARE(dlg.findChild<QLabel *>("labelStandard")->text(), QString("自定义分辨率："));
        combo(dlg, "cmbType")->setCurrentIndex(0);
        QVERIFY(hidden(dlg, "lineEditW") && !hidden(dlg, "cmbStandard"));
        QCOMPARE(dlg.findChild<QLabel *>("labelStandard")->text(), QString("标准分辨率："));
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

    void pickingAnEntrySetsSizeAndPosition()
    {
        InputSource in;
        CInputSetDlg dlg;
        dlg.setInputData(&in);
        combo(dlg, "cmbStandard")->setCurrentIndex(11);
        QCOMPARE(dlg.getWidth(), 2048);
        QCOMPARE(dlg.getHeight(), 1539);
        QCOMPARE(dlg.getResouIndex(), 11);
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

    void showTypes()
    {
        CInputSetDlg one;
        one.setShowType(1);
        for (const char *name : {"labelType", "cmbType", "labelStandard", "cmbStandard", "lineEditW",
                                 "lineEditH", "labelX", "labelHZ", "lineEditHZ"})
            QVERIFY2(hidden(one, name), name);
        for (const char *name : {"labelName", "lineEditName", "btnOk", "btnCancel"})
            QVERIFY2(!hidden(one, name), name);

        CInputSetDlg two;
        two.setShowType(2);
        for (const char *name : {"labelName", "lineEditName", "lineEditW", "lineEditH", "labelX"})
            QVERIFY2(hidden(two, name), name);
        for (const char *name : {"labelType", "cmbType", "labelStandard", "cmbStandard", "labelHZ",
                                 "lineEditHZ"})
            QVERIFY2(!hidden(two, name), name);

        CInputSetDlg all;
        all.setShowType(7);
        QVERIFY(!hidden(all, "lineEditName") && !hidden(all, "cmbType") && !hidden(all, "lineEditHZ"));
    }

    void cancelWritesNothing()
    {
        InputSource in;
        in.strName = "VGA";
        CInputSetDlg dlg;
        dlg.setInputData(&in);
        edit(dlg, "lineEditName")->setText("Other");
        dlg.findChild<QPushButton *>("btnCancel")->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(in.strName, QString("VGA"));
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

    void validatorsKeepLettersOut()
    {
        CInputSetDlg dlg;
        dlg.show();
        QLineEdit *hz = edit(dlg, "lineEditHZ");
        hz->clear();
        QTest::keyClicks(hz, "6x0");
        QCOMPARE(hz->text(), QString("60"));
        QVERIFY(hz->validator());
        QVERIFY(edit(dlg, "lineEditW")->validator());
    }
};

VISTEL_TEST_MAIN(TestInputSetDlg)
#include "tst_inputsetdlg.moc"
