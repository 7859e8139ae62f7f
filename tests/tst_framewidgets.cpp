#include "TestMain.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QTranslator>

#include "BesMessageBox.h"
#include "TestUtil.h"
#include "TitleWidget.h"
#include "globalObserver.h"
#include "osdsrttingdlg.h"
#include "screenManage/ScreenPoperty.h"
#include "screenManage/SreenManageDlg.h"
#include "toolBar/ToolBar.h"
#include "zmiddlecontrol.h"

// Receives the topics the small widgets of the frames notify.
class CWidgetTopics : public QObject
{
    Q_OBJECT
public:
    CWidgetTopics()
    {
        globalObserver::getGlobalObserver()->attach("slot_selectToolBar", this, "slot_selectToolBar");
        globalObserver::getGlobalObserver()->attach("slot_resizePlayWnd", this, "slot_resizePlayWnd");
    }
    ~CWidgetTopics() override
    {
        globalObserver::getGlobalObserver()->detach("slot_selectToolBar", this);
        globalObserver::getGlobalObserver()->detach("slot_resizePlayWnd", this);
    }
    QList<int> tools;
    QList<QRect> rects;

public slots:
    void slot_selectToolBar(int nValue) { tools << nValue; }
    void slot_resizePlayWnd(QRect &rect) { rects << rect; }
};

class TestFrameWidgets : public QObject
{
    Q_OBJECT

    static QPoint globalOf(QWidget &w, QPoint local) { return w.mapToGlobal(local); }

private slots:
    void cleanup() { BesMessageBox::clearTestAnswer(); BesMessageBox::clearTestRecords(); }

    // ------------------------------------------------------------ looks

    // Under the program's style sheet, in both languages: the OSD settings dialog's six tabs lie
    // whole in its tab bar; the canvas tool strip's buttons have the room
    // their icons need.
    void osdSettingsTabsFit_data()
    {
        QTest::addColumn<QString>("qm");
        QTest::newRow("Chinese") << QString();
        QTest::newRow("English") << QString("Tranlate_EN.qm");
    }
    void osdSettingsTabsFit()
    {
        QFETCH(QString, qm);
        QTranslator translator;
        if (!qm.isEmpty()) {
            QVERIFY(translator.load(TestUtil::buildDir() + "/" + qm));
            QCoreApplication::installTranslator(&translator);
        }
        TestUtil::CProgramStyle style;
        OSDsrttingdlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTabBar *pBar = dlg.findChild<QTabBar *>();
        QCOMPARE(pBar->count(), 6);
        for (int i = 0; i < pBar->count(); ++i)
            QVERIFY2(pBar->rect().contains(pBar->tabRect(i)), qPrintable(pBar->tabText(i)));
        dlg.hide();
        QCoreApplication::removeTranslator(&translator);

        CToolBar strip(nullptr);
        strip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip));
        for (QToolButton *pTool : strip.findChildren<QToolButton *>())
            QVERIFY(pTool->sizeHint().width() <= pTool->width() && pTool->iconSize().width() >= 16);
    }

    // ------------------------------------------------------------ title row

    void titleDoubleClickOnlyWithTheLeftButton()
    {
        CTitleWidget title;
        QSignalSpy spy(&title, &CTitleWidget::doubleClicked);
        QTest::mouseDClick(&title, Qt::RightButton);
        QTest::mouseDClick(&title, Qt::MiddleButton);
        QCOMPARE(spy.count(), 0);
        QTest::mouseDClick(&title, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }

    // ------------------------------------------------------------ tool strip

    void toolStripSendsOneValuePerButton()
    {
        CWidgetTopics topics;
        QWidget canvas;
        CToolBar bar(&canvas);
        const QList<QPair<QString, int>> expected = {{"btnDelete", 0},  {"btnUp", 12},         {"btnDown", 13},
                                                     {"btnAuto", 14},   {"btnHorizontal", 16}, {"btnVertical", 15}};
        for (const auto &e : expected) {
            auto *pButton = bar.findChild<QToolButton *>(e.first);
            QVERIFY2(pButton, qPrintable(e.first));
            QVERIFY(!pButton->icon().isNull());
            QVERIFY(!pButton->toolTip().isEmpty());
            topics.tools.clear();
            QTest::mouseClick(pButton, Qt::LeftButton);
            QCOMPARE(topics.tools, QList<int>{e.second});
        }
        QVERIFY(bar.testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(!bar.isWindow());
    }

    // --------------------------------------------------------- screen dialog

    void screenDialogListsScreensAndFillsTheSize()
    {
        CSreenManageDlg dlg;
        auto *pCombo = dlg.findChild<QComboBox *>("comboBoxCard");
        auto *pW = dlg.findChild<QLineEdit *>("editW");
        auto *pH = dlg.findChild<QLineEdit *>("editH");
        auto *pName = dlg.findChild<QLineEdit *>("editName");
        QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 720)};
        QRect play(10, 20, 640, 360);
        dlg.setDlgData(screens, play);
        QCOMPARE(pCombo->count(), 2);
        QCOMPARE(pCombo->itemText(0), QString("1920*1080"));
        QCOMPARE(pCombo->itemText(1), QString("1280*720"));
        QCOMPARE(pName->text(), QString("screen1"));
        QCOMPARE(pW->text(), QString("640"));

        pCombo->setCurrentIndex(1);
        emit pCombo->textActivated(pCombo->currentText());
        QCOMPARE(pW->text(), QString("1280"));
        QCOMPARE(pH->text(), QString("720"));

        CWidgetTopics topics;
        QTest::mouseClick(dlg.findChild<QPushButton *>("btnApply"), Qt::LeftButton);
        QCOMPARE(topics.rects, QList<QRect>{QRect(10, 20, 1280, 720)});
    }

    void screenDialogWithoutScreensKeepsTheName()
    {
        CSreenManageDlg dlg;
        QList<QRect> none;
        QRect play(0, 0, 100, 50);
        dlg.setDlgData(none, play);
        QVERIFY(dlg.findChild<QLineEdit *>("editName")->text().isEmpty());
        CWidgetTopics topics;
        QTest::mouseClick(dlg.findChild<QPushButton *>("btnApply"), Qt::LeftButton);
        QCOMPARE(topics.rects, QList<QRect>{QRect(0, 0, 100, 50)});
    }

    // A size that is not a positive number never reaches the canvas (it would
    // make the scale factors 0): the operator is told, and OK keeps the dialog.
    void screenDialogRefusesANonPositiveSize_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty width") << "editW" << "";
        QTest::newRow("zero height") << "editH" << "0";
        QTest::newRow("minus sign only") << "editH" << "-";
    }

    void screenDialogRefusesANonPositiveSize()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        CSreenManageDlg dlg;
        QList<QRect> screens{QRect(0, 0, 800, 600)};
        QRect play(0, 0, 800, 600);
        dlg.setDlgData(screens, play);
        dlg.show();
        auto *pEdit = dlg.findChild<QLineEdit *>(field);
        pEdit->selectAll();
        QTest::keyClick(pEdit, Qt::Key_Backspace);
        if (!text.isEmpty())
            QTest::keyClicks(pEdit, text);
        CWidgetTopics topics;
        QTest::mouseClick(dlg.findChild<QPushButton *>("btnOk"), Qt::LeftButton);
        QVERIFY(topics.rects.isEmpty());
        QVERIFY(dlg.isVisible());
        QCOMPARE(BesMessageBox::testRecords().size(), 1);
        // letters cannot be typed at all
        QTest::keyClicks(pEdit, "ab");
        QVERIFY(!pEdit->text().contains('a'));
    }

    void screenDialogBorderHitTest_data()
    {
        QTest::addColumn<QPoint>("local");
        QTest::addColumn<int>("dir");
        QTest::newRow("corner pixel") << QPoint(0, 0) << int(Screen_LEFTTOP);
        QTest::newRow("one pixel in") << QPoint(1, 1) << int(Screen_LEFTTOP);
        QTest::newRow("two pixels in") << QPoint(2, 2) << int(Screen_NONE);
        QTest::newRow("left edge") << QPoint(0, 100) << int(Screen_LEFT);
        QTest::newRow("bottom right") << QPoint(479, 299) << int(Screen_RIGHTBOTTOM);
        QTest::newRow("top right") << QPoint(479, 0) << int(Screen_RIGHTTOP);
        QTest::newRow("bottom") << QPoint(200, 299) << int(Screen_DOWN);
    }

    void screenDialogBorderHitTest()
    {
        QFETCH(QPoint, local);
        QFETCH(int, dir);
        CSreenManageDlg dlg;
        dlg.resize(480, 300);
        dlg.region(globalOf(dlg, local));
        QCOMPARE(int(dlg.direction()), dir);
    }

    void screenPanelValidatesItsFields()
    {
        CScreenPoperty panel;
        QRect rect(-10, 20, 300, 200);
        panel.setDlgData(rect);
        QCOMPARE(panel.findChild<QLineEdit *>("editX")->text(), QString("-10"));
        QCOMPARE(panel.findChild<QLineEdit *>("editH")->text(), QString("200"));
        auto *pW = panel.findChild<QLineEdit *>("editW");
        int pos = 0;
        QString minus("-5");
        QCOMPARE(pW->validator()->validate(minus, pos), QValidator::Invalid);
        QString strName("Left");
        panel.setDlgName(strName);
        QCOMPARE(panel.findChild<QLineEdit *>("editName")->text(), QString("Left"));
    }

    // ---------------------------------------------------- source info strip

    void stripFreshShowsFourLines()
    {
        ZMiddleControl strip;
        QCOMPARE(strip.lines(), QStringList({"[当前信号源:HDMI]", "[信号源分辨率:0x0@0HZ]",
                                             "[水平坐标偏移量:0,垂直坐标偏移量:0]", "[画布宽高:0x0]"}));
        QVERIFY(strip.minimumSize() == QSize(850, 750));
    }

    void stripKeepsNumbersWithoutSignal()
    {
        ZMiddleControl strip;
        globalObserver *pHub = globalObserver::getGlobalObserver();
        auto update = [pHub](const QString &name, int sig, int w, int x) {
            pHub->notify("slot_updateCurrentZDeviceDate", Q_ARG(QString, name), Q_ARG(int, sig), Q_ARG(int, w),
                         Q_ARG(int, 1080), Q_ARG(int, 60), Q_ARG(int, x), Q_ARG(int, 5), Q_ARG(int, 1920),
                         Q_ARG(int, 1080));
        };
        update("IN1", 1, 1920, -20);
        QCOMPARE(strip.lines().at(1), QString("[信号源分辨率:1920x1080@60HZ]"));
        QCOMPARE(strip.lines().at(2), QString("[水平坐标偏移量:-20,垂直坐标偏移量:5]"));

        update("IN2", 0, 1280, 7);
        QCOMPARE(strip.lines(), QStringList{"[当前信号源:IN2]"});
        // stored while only the first line shows, shown once the state is full again
        pHub->notify("slot_ChangeScenesize", Q_ARG(int, 640), Q_ARG(int, 480));
        pHub->notify("slot_ChangeXPos", Q_ARG(int, 3), Q_ARG(int, 4));
        QVERIFY(!strip.isFullState());
        update("IN2", 1, 1920, 3);
        QCOMPARE(strip.lines().at(1), QString("[信号源分辨率:1920x1080@60HZ]"));

        pHub->notify("slot_previewCurrentZDeviceDate", Q_ARG(QString, QString()));
        QCOMPARE(strip.lines(), QStringList{"[当前信号源:]"});
        pHub->notify("slot_WaitupdateCurrentZDeviceDate");
        QCOMPARE(strip.lines(), QStringList{"[当前信号源:信号源切换中]"});
        strip.resize(400, 300);
        QVERIFY(!strip.grab().isNull()); // paints in both states
    }

    // English and back: the labels, the waiting text and the tool tips follow
    // the translation; an unknown index keeps the translator as it is.
    void languageSwitchAndBack()
    {
        for (const char *psz : {"Tranlate_EN.qm", "Tranlate_CN.qm"}) {
            QFile::remove(psz);
            QVERIFY(QFile::copy(TestUtil::buildDir() + "/" + psz, psz));
        }
        ZMiddleControl strip;
        globalObserver *pHub = globalObserver::getGlobalObserver();
        pHub->notify("slot_updateZMiddleControllanguage", Q_ARG(int, 1));
        QCOMPARE(strip.lines().first(), QString("[Current source:HDMI]"));
        pHub->notify("slot_updateZMiddleControllanguage", Q_ARG(int, 7));
        QCOMPARE(strip.lines().at(3), QString("[Canvas size:0x0]"));
        pHub->notify("slot_WaitupdateCurrentZDeviceDate");
        QCOMPARE(strip.lines().first(), QString("[Current source:Switching source]"));

        QWidget canvas;
        CToolBar bar(&canvas);
        QCOMPARE(bar.findChild<QToolButton *>("btnUp")->toolTip(), QString("Move up one layer"));

        pHub->notify("slot_updateZMiddleControllanguage", Q_ARG(int, 0));
        QCOMPARE(strip.lines().first(), QString("[当前信号源:Switching source]")); // the name keeps its language
        bar.setBtnTip();
        QCOMPARE(bar.findChild<QToolButton *>("btnUp")->toolTip(), QString("上移一层"));
    }
};

VISTEL_TEST_MAIN(TestFrameWidgets)
#include "tst_framewidgets.moc"
