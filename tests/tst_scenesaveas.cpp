// The save-to-scene dialog in both modes and the scene-name picker.
#include "TestMain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "BesMessageBox.h"
#include "DeviceSimModel.h"
#include "ProgramDlg.h"
#include "ProgramSpy.h"
#include "QorGlobal.h"
#include "SceneSaveAsDlg.h"
#include "SimTestUtil.h"
#include "TcpDeviceThread.h"
#include "globalObserver.h"

namespace {
QLineEdit *edit(QWidget *pDlg) { return pDlg->findChild<QLineEdit *>("lineEditIndex"); }
QPushButton *button(QWidget *pDlg, const char *pszName) { return pDlg->findChild<QPushButton *>(pszName); }

// A Z-mode dialog as the settings page of device "SNZ" fills it.
void fillZ(CSceneSaveAsDlg &dlg, const QList<ZSceneInfo> &list)
{
    dlg.setStrSerial("SNZ");
    dlg.setListZDeviceScene(list);
}
}

class TestSceneSaveAs : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        BesMessageBox::clearTestRecords();
    }
    void cleanup()
    {
        BesMessageBox::clearTestAnswer();
    }

    void modeChoosesTheButtons()
    {
        for (const QString &strType : {QString("Z"), QString("Tarn"), QString("other")}) {
            CSceneSaveAsDlg dlg(strType);
            dlg.show();
            const bool bZ = strType == "Z";
            QCOMPARE(dlg.isZMode(), bZ);
            QCOMPARE(button(&dlg, "pushButtonOk")->isVisible(), bZ);
            QCOMPARE(button(&dlg, "pushButtonExit")->isVisible(), bZ);
            QCOMPARE(dlg.findChild<QLabel *>("tipslabel")->isVisible(), bZ);
            QCOMPARE(button(&dlg, "pushButtonYOK")->isVisible(), !bZ);
            QCOMPARE(button(&dlg, "pushButtonCancel")->isVisible(), !bZ);
            // no placeholder before the device's count came
            QCOMPARE(dlg.findChild<QLabel *>("tipslabel")->text(), QString());
        }
    }

    // (count, typed number, commands sent): a save is followed by the read of what the device
    // stored, the counts for a new scene, the scene itself for an existing one. A number the
    // operator typed in the open dialog before the count came is the one saved to.
    void zOkChecksTheRangeAndSaves_data()
    {
        QTest::addColumn<int>("nCount");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("cmds");
        QTest::addColumn<bool>("bTypedFirst");
        const QString op = QString::fromUtf8("场景操作");
        const QString count = QString::fromUtf8("源及场景数");
        QTest::newRow("count 0, new scene 1") << 0 << "1" << QStringList{op + " 00 01 2 10", count + "  1 0"} << false;
        QTest::newRow("count 0, 0") << 0 << "0" << QStringList{} << false;
        QTest::newRow("count 0, 2") << 0 << "2" << QStringList{} << false;
        QTest::newRow("count 4, new scene 5") << 4 << "5" << QStringList{op + " 00 05 2 10", count + "  1 0"} << false;
        QTest::newRow("count 4, existing 4") << 4 << "4" << QStringList{op + " 00 04 2 10", op + " 04 1 0"} << false;
        QTest::newRow("count 4, existing 1") << 4 << "1" << QStringList{op + " 00 01 2 10", op + " 01 1 0"} << false;
        QTest::newRow("no number") << 4 << "3a" << QStringList{} << false;
        QTest::newRow("empty") << 4 << "" << QStringList{} << false;
        // The count has not arrived: nothing is a valid number yet.
        QTest::newRow("before the count") << -1 << "1" << QStringList{} << false;
        QTest::newRow("count 4, 3 typed before it came") << 4 << "3" << QStringList{op + " 00 03 2 10", op + " 03 1 0"}
                                                         << true;
    }
    void zOkChecksTheRangeAndSaves()
    {
        QFETCH(int, nCount);
        QFETCH(QString, typed);
        QFETCH(QStringList, cmds);
        QFETCH(bool, bTypedFirst);
        CProgramSpy spy;
        CTcpDeviceThread dev;
        dev.setDeviceSerial("SNZ");
        dev.setDeviceType("Z");
        CSimDeviceModel device(CSimDeviceModel::Z, 2, 4);
        SimTest::feedScenes(dev, device);
        const QList<ZSceneInfo> before = dev.zSceneValues();
        CSceneSaveAsDlg dlg("Z");
        fillZ(dlg, before);
        if (bTypedFirst) {
            dlg.show();
            QTest::keyClicks(edit(&dlg), typed);
        }
        if (nCount >= 0) {
            dlg.setZsencedate(nCount, 2);
            QCOMPARE(edit(&dlg)->text(), bTypedFirst ? typed : QString("2"));
            QCOMPARE(dlg.findChild<QLabel *>("tipslabel")->text(),
                     QString::fromUtf8("[场景保存范围:1~%1]").arg(nCount + 1));
        }
        dlg.show();
        if (!bTypedFirst)
            edit(&dlg)->setText(typed);
        QTest::mouseClick(button(&dlg, "pushButtonOk"), Qt::LeftButton);

        QStringList got;
        for (const CSpyCmd &c : spy.cmds) {
            QCOMPARE(c.serial, QString("SNZ"));
            got << QString("%1 %2 %3 %4").arg(c.name, QString::fromLatin1(c.payload.toHex(' '))).arg(c.rw).arg(c.sub);
        }
        QCOMPARE(got, cmds);
        QCOMPARE(dlg.isVisible(), cmds.isEmpty());
        if (!cmds.isEmpty()) {
            // the next run's counts fill the edit again, whatever was typed in the last
            dlg.show();
            dlg.setZsencedate(nCount, 1);
            QCOMPARE(edit(&dlg)->text(), QString("1"));
            dlg.close();
        }
        if (cmds.isEmpty()) {
            QCOMPARE(BesMessageBox::testRecords().last().title, QString::fromUtf8("保存失败"));
            QCOMPARE(BesMessageBox::testRecords().last().text, QString::fromUtf8("请输入有效值！"));
            QCOMPARE(edit(&dlg)->text(), typed);
        }
        // the records wait for the device's answer: the dialog writes none of them
        QCOMPARE(dev.getZSceneList().size(), before.size());
        for (int i = 0; i < before.size(); ++i) {
            const ZSceneInfo &r = *dev.getZSceneList().at(i);
            QCOMPARE(QList<int>({r.nXinput, r.nMainSig, r.nbrightness, r.nScaleMode}),
                     QList<int>({before.at(i).nXinput, before.at(i).nMainSig, before.at(i).nbrightness,
                                 before.at(i).nScaleMode}));
        }
    }

    // The dialog numbers the scenes as its device's worker last handed them out: another
    // device's list and a list without a serial are left alone, its own replaces the page's. A
    // number the count allows but whose scene the list no longer holds (deleted while the dialog
    // was open) is refused, and nothing is sent.
    void zOkFollowsTheDevicesSceneList()
    {
        CProgramSpy spy;
        QList<ZSceneInfo> two{ZSceneInfo(), ZSceneInfo()};
        two[0].nSceneIndex = 1;
        two[1].nSceneIndex = 2;
        CSceneSaveAsDlg dlg("Z");
        fillZ(dlg, two);
        dlg.setZsencedate(2, 1);
        globalObserver *hub = globalObserver::getGlobalObserver();
        QList<ZSceneInfo> one = two.mid(0, 1);
        hub->notify("slot_setListZDeviceScene", Q_ARG(QList<ZSceneInfo>, one), Q_ARG(QString, QString("SNX")));
        hub->notify("slot_setListZDeviceScene", Q_ARG(QList<ZSceneInfo>, one));
        QCOMPARE(dlg.listZDeviceScene().size(), 2);
        hub->notify("slot_setListZDeviceScene", Q_ARG(QList<ZSceneInfo>, one), Q_ARG(QString, QString("SNZ")));
        QCOMPARE(dlg.listZDeviceScene().size(), 1);

        dlg.show();
        edit(&dlg)->clear();
        QTest::keyClicks(edit(&dlg), "2");
        QTest::mouseClick(button(&dlg, "pushButtonOk"), Qt::LeftButton);
        QVERIFY(spy.cmds.isEmpty());
        QVERIFY(dlg.isVisible());
        QCOMPARE(BesMessageBox::testRecords().last().title, QString::fromUtf8("保存失败"));
        QCOMPARE(BesMessageBox::testRecords().last().text, QString::fromUtf8("场景2已不存在，请重新输入！"));
        // Exit closes without sending.
        QTest::mouseClick(button(&dlg, "pushButtonExit"), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QVERIFY(spy.cmds.isEmpty());
    }

    // A full device stores no new scene: the range stops at its maximum, the number after the
    // last scene is refused with the reason, a scene it holds is still saved over.
    void zOkStopsAtTheDevicesMaximum()
    {
        CProgramSpy spy;
        CTcpDeviceThread dev;
        dev.setDeviceSerial("SNZ");
        dev.getDeviceInfo()->nSceneMax = 4;
        ZSceneInfo first;
        first.nSceneIndex = 1;
        CSceneSaveAsDlg dlg("Z");
        fillZ(dlg, {first});
        dlg.setZsencedate(4, 2);
        QCOMPARE(dlg.findChild<QLabel *>("tipslabel")->text(), QString::fromUtf8("[场景保存范围:1~4]"));
        for (const char *pszTyped : {"5", "1"}) {
            edit(&dlg)->clear();
            QTest::keyClicks(edit(&dlg), pszTyped);
            QTest::mouseClick(button(&dlg, "pushButtonOk"), Qt::LeftButton);
        }
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
        QCOMPARE(BesMessageBox::testRecords().last().text, QString::fromUtf8("场景数已达上限4，请输入已有场景！"));
        QCOMPARE(spy.cmds.size(), 2);
        QCOMPARE(spy.cmds[0].payload, QByteArray::fromHex("0001"));
        QCOMPARE(spy.cmds[1].payload, QByteArray::fromHex("01"));
    }

    void tarnModeCollectsANumberItOffered()
    {
        CProgramSpy spy;
        CSceneSaveAsDlg dlg("Tarn");
        dlg.setSaveSceneIndex(12);
        QCOMPARE(edit(&dlg)->text(), QString("12"));
        QCOMPARE(dlg.getSaveSceneIndex(), QString("12"));
        QCOMPARE(dlg.getValidSaveSceneIndex(), 12);
        // Typing goes through the validator; what it lets pass on the way is checked at OK.
        edit(&dlg)->clear();
        QTest::keyClicks(edit(&dlg), "130");
        QCOMPARE(edit(&dlg)->text(), QString("13"));
        QCOMPARE(dlg.getSaveSceneIndex(), QString("13"));
        QCOMPARE(dlg.getValidSaveSceneIndex(), 0);
        edit(&dlg)->clear();
        QTest::keyClicks(edit(&dlg), "9x");
        QCOMPARE(dlg.getSaveSceneIndex(), QString("9"));
        // Text the program sets is no operator edit.
        edit(&dlg)->setText("4");
        QCOMPARE(dlg.getSaveSceneIndex(), QString("9"));
        dlg.show();
        QTest::mouseClick(button(&dlg, "pushButtonYOK"), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(spy.cmds.isEmpty());
        // An emptied edit is refused and keeps the dialog open.
        dlg.show();
        dlg.setResult(0);
        edit(&dlg)->clear();
        QTest::keyClick(edit(&dlg), Qt::Key_Backspace);
        QTest::keyClicks(edit(&dlg), "0");
        QCOMPARE(dlg.getValidSaveSceneIndex(), 0);
        QTest::mouseClick(button(&dlg, "pushButtonYOK"), Qt::LeftButton);
        QVERIFY(dlg.isVisible());
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
        QTest::mouseClick(button(&dlg, "pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        // A second proposal replaces the validator.
        dlg.setSaveSceneIndex(3);
        edit(&dlg)->clear();
        QTest::keyClicks(edit(&dlg), "5");
        QCOMPARE(dlg.getValidSaveSceneIndex(), 0);
    }

    void pickerTakesTheChosenOrTypedName()
    {
        {
            CProgramDlg dlg;
            QVERIFY(dlg.getName().isEmpty());
            QStringList names{QString::fromUtf8("大厅"), "Stage"};
            dlg.setName(names);
            QCOMPARE(dlg.getName(), QString::fromUtf8("大厅"));
            auto *pCombo = dlg.findChild<QComboBox *>("cmbName");
            pCombo->setCurrentIndex(1);
            QCOMPARE(dlg.getName(), QString("Stage"));
            pCombo->lineEdit()->clear();
            QTest::keyClicks(pCombo->lineEdit(), "Lobby");
            QCOMPARE(dlg.getName(), QString("Lobby"));
            dlg.show();
            QTest::mouseClick(button(&dlg, "pushButtonOk"), Qt::LeftButton);
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
        {
            CProgramDlg dlg;
            QStringList none;
            dlg.setName(none);
            QVERIFY(dlg.getName().isEmpty());
            dlg.show();
            QTest::mouseClick(button(&dlg, "pushButtonCancel"), Qt::LeftButton);
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
        }
    }
};

VISTEL_TEST_MAIN(TestSceneSaveAs)
#include "tst_scenesaveas.moc"
