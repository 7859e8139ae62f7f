#include "TestMain.h"

#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

#include <QFile>
#include <QFontDatabase>
#include <QScreen>
#include <QTranslator>

#include "BesFramelessWidget.h"
#include "BesMessageBox.h"
#include "BesScaleUtil.h"
#include "FontSubstitution.h"
#include "TestUtil.h"

// Runs pAction on the modal box as soon as it is shown (the box's own nested
// event loop delivers the zero-delay timer).
static void onNextBox(std::function<void(QWidget *)> action)
{
    QTimer::singleShot(0, [action]() {
        QWidget *pBox = QApplication::activeModalWidget();
        QVERIFY(pBox);
        action(pBox);
    });
}

static void clickChild(QWidget *pBox, const char *pszName)
{
    QPushButton *pBtn = pBox->findChild<QPushButton *>(pszName);
    QVERIFY(pBtn);
    pBtn->click();
}

// Sends a mouse event to the dialog at a global position.
static void mouseAt(QWidget *pWidget, QEvent::Type type, const QPoint &global, Qt::MouseButton button,
                    Qt::MouseButtons buttons)
{
    const QPoint local = pWidget->mapFromGlobal(global);
    QMouseEvent ev(type, QPointF(local), QPointF(local), QPointF(global), button, buttons,
                   Qt::NoModifier);
    QApplication::sendEvent(pWidget, &ev);
}

class TestMessageBox : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        BesMessageBox::clearTestAnswer();
        BesMessageBox::clearTestRecords();
    }

    void scaleRanges()
    {
        QCOMPARE(BesScaleUtil::scaleForHeight(768), 0.96);
        QCOMPARE(static_cast<int>(BesScaleUtil::scaleForHeight(768) * 280), 268);
        QCOMPARE(static_cast<int>(BesScaleUtil::scaleForHeight(768) * 50), 48);
        QCOMPARE(static_cast<int>(BesScaleUtil::scaleForHeight(768) * 20), 19);
        QCOMPARE(BesScaleUtil::scaleForHeight(800), 1.0);
        QCOMPARE(BesScaleUtil::scaleForHeight(1080), 1.0);
        QCOMPARE(static_cast<int>(BesScaleUtil::scaleForHeight(1440) * 280), 373);
        QCOMPARE(static_cast<int>(BesScaleUtil::scaleForHeight(1440) * 50), 66);
        QCOMPARE(static_cast<int>(BesScaleUtil::scaleForHeight(1440) * 20), 26);
        // The live factor follows the primary screen.
        QCOMPARE(BesScaleUtil::scale(),
                 BesScaleUtil::scaleForHeight(BesScaleUtil::getPrimaryScreenRect().height()));
    }

    void questionResults()
    {
        // OK button, Cancel button, title close button, Escape.
        onNextBox([](QWidget *pBox) { clickChild(pBox, "btnOK"); });
        QCOMPARE(BesMessageBox::question("t", "text"), int(QMessageBox::Ok));
        onNextBox([](QWidget *pBox) { clickChild(pBox, "btnCancel"); });
        QCOMPARE(BesMessageBox::question("t", "text"), int(QMessageBox::Cancel));
        onNextBox([](QWidget *pBox) { clickChild(pBox, "btnMessageClose"); });
        QCOMPARE(BesMessageBox::question("t", "text"), int(QMessageBox::Cancel));
        onNextBox([](QWidget *pBox) { QTest::keyClick(pBox, Qt::Key_Escape); });
        QCOMPARE(BesMessageBox::question("t", "text"), int(QMessageBox::Cancel));
    }

    void questionLayoutAndTexts()
    {
        QString strOk, strCancel, strTitle, strContent;
        int nMinWidth = 0, nBtnMinW = 0, nBtnMinH = 0;
        onNextBox([&](QWidget *pBox) {
            strOk = pBox->findChild<QPushButton *>("btnOK")->text();
            strCancel = pBox->findChild<QPushButton *>("btnCancel")->text();
            strTitle = pBox->findChild<QLabel *>("labelMessageTitle")->text();
            strContent = pBox->findChild<QLabel *>("labelMessageContent")->text();
            nMinWidth = pBox->minimumWidth();
            nBtnMinW = pBox->findChild<QPushButton *>("btnOK")->minimumWidth();
            nBtnMinH = pBox->findChild<QPushButton *>("btnOK")->minimumHeight();
            clickChild(pBox, "btnOK");
        });
        BesMessageBox::question("标题A", "内容B", "", "", true, false);
        QCOMPARE(strOk, QStringLiteral("确定"));
        QCOMPARE(strCancel, QStringLiteral("取消"));
        QCOMPARE(strTitle, QStringLiteral("标题A"));
        QCOMPARE(strContent, QStringLiteral("内容B"));
        QCOMPARE(nMinWidth, BesScaleUtil::scaled(280));
        QCOMPARE(nBtnMinW, BesScaleUtil::scaled(50));
        QCOMPARE(nBtnMinH, BesScaleUtil::scaled(20));

        onNextBox([&](QWidget *pBox) {
            strOk = pBox->findChild<QPushButton *>("btnOK")->text();
            strCancel = pBox->findChild<QPushButton *>("btnCancel")->text();
            clickChild(pBox, "btnCancel");
        });
        BesMessageBox::question("t", "x", "是", "否");
        QCOMPARE(strOk, QStringLiteral("是"));
        QCOMPARE(strCancel, QStringLiteral("否"));
    }

    void widthRule()
    {
        BesMessageBox box;
        QLabel *pLabel = box.findChild<QLabel *>("labelMessageContent");
        const QFontMetrics fm = pLabel->fontMetrics();
        // Build one text at most 800 px wide and one just beyond it.
        QString strShort;
        while (fm.boundingRect(strShort + "m").width() <= 800)
            strShort += "m";
        const QString strLong = strShort + "mm";
        QVERIFY(fm.boundingRect(strLong).width() > 800);

        bool bWrap = false;
        const int nMinBefore = box.minimumWidth();
        BesMessageBox::limitBoxWidth(&box, strShort, bWrap);
        QCOMPARE(bWrap, false);
        QCOMPARE(box.minimumWidth(), nMinBefore);
        BesMessageBox::limitBoxWidth(&box, strLong, bWrap);
        QCOMPARE(bWrap, true);
        QCOMPARE(box.minimumWidth(), 1000);

        // Through the static call: the long text wraps and widens the box...
        bool bWordWrap = false;
        int nWidth = 0;
        onNextBox([&](QWidget *pBox) {
            bWordWrap = pBox->findChild<QLabel *>("labelMessageContent")->wordWrap();
            nWidth = pBox->minimumWidth();
            clickChild(pBox, "btnOK");
        });
        BesMessageBox::question("t", strLong);
        QVERIFY(bWordWrap);
        QCOMPARE(nWidth, 1000);

        // ...while tipInfor wraps without widening and shows no button row.
        bool bRowVisible = true;
        onNextBox([&](QWidget *pBox) {
            bWordWrap = pBox->findChild<QLabel *>("labelMessageContent")->wordWrap();
            nWidth = pBox->minimumWidth();
            bRowVisible = pBox->findChild<QWidget *>("widgetMessageBottom")->isVisible();
            clickChild(pBox, "btnMessageClose");
        });
        QCOMPARE(BesMessageBox::tipInfor("t", strLong, false), int(QMessageBox::Cancel));
        QVERIFY(bWordWrap);
        QCOMPARE(nWidth, BesScaleUtil::scaled(280));
        QVERIFY(!bRowVisible);
    }

    void informationHasNoButtons()
    {
        bool bOk = true, bCancel = true, bRow = false;
        onNextBox([&](QWidget *pBox) {
            bOk = pBox->findChild<QPushButton *>("btnOK")->isVisible();
            bCancel = pBox->findChild<QPushButton *>("btnCancel")->isVisible();
            bRow = pBox->findChild<QWidget *>("widgetMessageBottom")->isVisible();
            clickChild(pBox, "btnMessageClose");
        });
        QCOMPARE(BesMessageBox::information("t", "done"), int(QMessageBox::Cancel));
        QVERIFY(!bOk);
        QVERIFY(!bCancel);
        QVERIFY(bRow); // the empty row keeps its height
    }

    void nestedBoxes()
    {
        int nInner = -1;
        onNextBox([&](QWidget *pOuter) {
            onNextBox([](QWidget *pInner) { clickChild(pInner, "btnOK"); });
            nInner = BesMessageBox::question("inner", "inner");
            clickChild(pOuter, "btnCancel");
        });
        QCOMPARE(BesMessageBox::question("outer", "outer"), int(QMessageBox::Cancel));
        QCOMPARE(nInner, int(QMessageBox::Ok));
    }

    // Notices given while one is shown: each readable for its own time, the same one listed once.
    void notices_data()
    {
        QTest::addColumn<QStringList>("given");  // text, or text:ms
        QTest::addColumn<QStringList>("shown");  // listed in the box, then listed once those before had their time
        QTest::newRow("two devices at once") << QStringList{"A refused", "B refused"} << QStringList{"A refused", "B refused"};
        QTest::newRow("the same again") << QStringList{"A refused", "A refused"} << QStringList{"A refused"};
        QTest::newRow("the first's time up") << QStringList{"A refused:300", "B refused"} << QStringList{"B refused"};
    }
    void notices()
    {
        QFETCH(QStringList, given);
        QFETCH(QStringList, shown);
        for (const QString &strGiven : given)
            BesMessageBox::notice("t", strGiven.section(':', 0, 0), strGiven.contains(':') ? strGiven.section(':', 1).toInt() : 4000);
        const auto listed = [](const QString &strText) { return BesMessageBox::noticeText().count(strText); };
        QTRY_VERIFY(listed(given.first().section(':', 0, 0)) == shown.count(given.first().section(':', 0, 0)));
        for (const QString &strText : shown)
            QCOMPARE(listed(strText), 1);
        QVERIFY(BesMessageBox::testRecords().isEmpty());
        // the box is as tall as the lines it lists
        for (QWidget *pBox : QApplication::topLevelWidgets()) {
            if (QLabel *pText = pBox->isVisible() ? pBox->findChild<QLabel *>("labelMessageContent") : nullptr)
                QVERIFY(pText->height() >= pText->heightForWidth(pText->width()));
        }
        for (QWidget *pBox : QApplication::topLevelWidgets())
            if (pBox->inherits("BesFramelessDialog"))
                pBox->close();
    }

    // Boxes shown together: none covers another (a notice that grows is moved clear), each lies on
    // the screen, and each loss box goes when its own device is back, the other staying.
    void boxesShownTogether_data()
    {
        QTest::addColumn<QStringList>("steps"); // "loss N": open until device N is back; "notice N"; "question"
        QTest::newRow("two devices lost at once") << QStringList{"loss 1", "loss 2"};
        QTest::newRow("a notice over a loss box") << QStringList{"loss 1", "notice 1"};
        QTest::newRow("a loss box over a notice") << QStringList{"notice 1", "loss 1"};
        QTest::newRow("a notice growing over a loss box") << QStringList{"notice 1", "loss 1", "notice 2", "notice 3", "notice 4"};
        QTest::newRow("a question over a loss box and a notice") << QStringList{"loss 1", "notice 1", "question"};
    }
    void boxesShownTogether()
    {
        QFETCH(QStringList, steps);
        QObject devices[2];
        QStringList listSeen; // boxes covered or off the screen; for each device back, the loss boxes left
        const auto shown = &TestUtil::shownBoxes;
        std::function<void(int)> openFrom = [&](int nStep) {
            for (; nStep < steps.size() && steps.at(nStep).startsWith("notice"); ++nStep)
                BesMessageBox::notice("t", steps.at(nStep) + " refused a change made here", 60000);
            if (nStep < steps.size()) { // the rest comes while this box runs its loop
                QTimer::singleShot(0, [&openFrom, nStep]() { openFrom(nStep + 1); });
                if (steps.at(nStep) == "question")
                    BesMessageBox::question("t", "a question");
                else
                    BesMessageBox::tipInforUntil("t", steps.at(nStep), &devices[steps.at(nStep).right(1).toInt() - 1],
                                                 SIGNAL(objectNameChanged(QString)));
                return;
            }
            for (QWidget *pBox : shown(QString()))
                for (QWidget *pOther : shown(QString()))
                    if ((pBox != pOther && pBox->frameGeometry().intersects(pOther->frameGeometry()))
                        || !QGuiApplication::primaryScreen()->availableGeometry().contains(pBox->frameGeometry()))
                        listSeen << "covered or off the screen";
            for (QWidget *pBox : shown("a question"))
                pBox->close();
            for (int n = 1; n <= 2 && !shown(QString("loss %1").arg(n)).isEmpty(); ++n) {
                devices[n - 1].setObjectName("back");
                listSeen << QString("%1 back: %2 left").arg(n).arg(shown("loss").size());
            }
        };
        openFrom(0);
        QCOMPARE(listSeen, (steps.contains("loss 2") ? QStringList{"1 back: 1 left", "2 back: 0 left"} : QStringList{"1 back: 0 left"}));
        for (QWidget *pBox : shown(QString()))
            pBox->close();
    }

    void testSeam()
    {
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        QCOMPARE(BesMessageBox::question("q", "sure?"), int(QMessageBox::Ok));
        QCOMPARE(BesMessageBox::information("i", "info"), int(QMessageBox::Cancel));
        QCOMPARE(BesMessageBox::tipInfor("t", "tip"), int(QMessageBox::Cancel));
        const QList<BesMessageRecord> records = BesMessageBox::testRecords();
        QCOMPARE(records.size(), 3);
        QCOMPARE(records.at(0).kind, QString("question"));
        QCOMPARE(records.at(0).title, QString("q"));
        QCOMPARE(records.at(0).text, QString("sure?"));
        QCOMPARE(records.at(1).kind, QString("information"));
        QCOMPARE(records.at(2).kind, QString("tipInfor"));

        BesMessageBox::setTestAnswerHook([](const BesMessageRecord &r) {
            return r.text.contains("yes") ? QMessageBox::Ok : QMessageBox::Cancel;
        });
        QCOMPARE(BesMessageBox::question("q", "say yes"), int(QMessageBox::Ok));
        QCOMPARE(BesMessageBox::question("q", "say no"), int(QMessageBox::Cancel));
        BesMessageBox::clearTestAnswer();
        QCOMPARE(BesMessageBox::testRecords().size(), 5);

        // Cleared: real boxes again.
        onNextBox([](QWidget *pBox) { clickChild(pBox, "btnOK"); });
        QCOMPARE(BesMessageBox::question("q", "real"), int(QMessageBox::Ok));
        QCOMPARE(BesMessageBox::testRecords().size(), 5);
    }

    void deviceTextIsShownLiterally()
    {
        const QString strName = "<a href='http://x'>evil</a>&amp;";
        // Plain template: the result shows the name as written.
        const QString strPlain = BesMessageBox::composeMessage("场景 %1 已删除", {strName});
        QTextDocument doc;
        if (Qt::mightBeRichText(strPlain))
            doc.setHtml(strPlain);
        else
            doc.setPlainText(strPlain);
        QCOMPARE(doc.toPlainText(), QStringLiteral("场景 ") + strName + QStringLiteral(" 已删除"));

        // Rich template: markup of the template stays, the name is escaped.
        const QString strRich = BesMessageBox::composeMessage("<b>%1</b><br>%2", {strName, "%1"});
        QTextDocument docRich;
        docRich.setHtml(strRich);
        QCOMPARE(docRich.toPlainText(), strName + "\n%1");

        // A harmless name leaves a plain message plain.
        QCOMPARE(BesMessageBox::composeMessage("输入 %1", {"HDMI1"}), QString("输入 HDMI1"));
        QCOMPARE(BesMessageBox::escapeDeviceText("a<b>&"), QString("a&lt;b&gt;&amp;"));
    }

    void framelessDialogMovesAndResizes()
    {
        BesFramelessDialog dlg;
        QCOMPARE(dlg.minimumSize(), QSize(80, 100));
        QCOMPARE(dlg.getFrameBorder(), 8);
        dlg.setGeometry(100, 100, 200, 150);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QPoint tl = dlg.mapToGlobal(QPoint(0, 0));

        // The very corner pixel starts a LEFTTOP resize.
        mouseAt(&dlg, QEvent::MouseMove, tl, Qt::NoButton, Qt::NoButton);
        QCOMPARE(dlg.cursor().shape(), Qt::SizeFDiagCursor);
        mouseAt(&dlg, QEvent::MouseButtonPress, tl, Qt::LeftButton, Qt::LeftButton);
        mouseAt(&dlg, QEvent::MouseMove, tl + QPoint(-10, -20), Qt::NoButton, Qt::LeftButton);
        mouseAt(&dlg, QEvent::MouseButtonRelease, tl + QPoint(-10, -20), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(dlg.geometry(), QRect(90, 80, 210, 170));
        QCOMPARE(dlg.cursor().shape(), Qt::ArrowCursor);

        // A left edge dragged to within the minimum width of the right edge stays.
        const QPoint leftMid(dlg.geometry().left() + 3, dlg.geometry().center().y());
        mouseAt(&dlg, QEvent::MouseMove, leftMid, Qt::NoButton, Qt::NoButton);
        QCOMPARE(dlg.cursor().shape(), Qt::SizeHorCursor);
        mouseAt(&dlg, QEvent::MouseButtonPress, leftMid, Qt::LeftButton, Qt::LeftButton);
        const int nRight = dlg.geometry().right();
        mouseAt(&dlg, QEvent::MouseMove, QPoint(nRight - 50, leftMid.y()), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(dlg.geometry().left(), 90);
        mouseAt(&dlg, QEvent::MouseMove, QPoint(nRight - 100, leftMid.y()), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(dlg.geometry().left(), nRight - 100);
        QCOMPARE(dlg.geometry().right(), nRight);
        mouseAt(&dlg, QEvent::MouseButtonRelease, QPoint(nRight - 100, leftMid.y()), Qt::LeftButton,
                Qt::NoButton);

        // Dragging the surface moves the dialog.
        const QRect before = dlg.geometry();
        const QPoint mid = before.center();
        mouseAt(&dlg, QEvent::MouseMove, mid, Qt::NoButton, Qt::NoButton);
        mouseAt(&dlg, QEvent::MouseButtonPress, mid, Qt::LeftButton, Qt::LeftButton);
        mouseAt(&dlg, QEvent::MouseMove, mid + QPoint(15, 10), Qt::NoButton, Qt::LeftButton);
        mouseAt(&dlg, QEvent::MouseButtonRelease, mid + QPoint(15, 10), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(dlg.geometry(), before.translated(15, 10));
    }

    // The dialog lets its two cross corners pass the minimum size (the window
    // then keeps its minimum by growing away from them); the widget keeps them.
    void framelessCrossCorners()
    {
        BesFramelessDialog dlg;
        BesFramelessWidget wgt;
        wgt.setMinimumSize(dlg.minimumSize());
        for (QWidget *pWindow : {static_cast<QWidget *>(&dlg), static_cast<QWidget *>(&wgt)}) {
            const bool bDialog = pWindow == &dlg;
            pWindow->setGeometry(100, 100, 200, 150);
            pWindow->show();
            QVERIFY(QTest::qWaitForWindowExposed(pWindow));

            // LEFTBOTTOM: the left edge dragged to 50 px of the right edge.
            const QPoint lb(100, 249);
            mouseAt(pWindow, QEvent::MouseMove, lb, Qt::NoButton, Qt::NoButton);
            QCOMPARE(pWindow->cursor().shape(), Qt::SizeBDiagCursor);
            mouseAt(pWindow, QEvent::MouseButtonPress, lb, Qt::LeftButton, Qt::LeftButton);
            mouseAt(pWindow, QEvent::MouseMove, QPoint(249, 249), Qt::NoButton, Qt::LeftButton);
            mouseAt(pWindow, QEvent::MouseButtonRelease, QPoint(249, 249), Qt::LeftButton, Qt::NoButton);
            QCOMPARE(pWindow->geometry().left(), bDialog ? 249 : 100);

            // RIGHTTOP: the top edge dragged to 50 px of the bottom edge.
            pWindow->setGeometry(100, 100, 200, 150);
            const QPoint rt(299, 100);
            mouseAt(pWindow, QEvent::MouseMove, rt, Qt::NoButton, Qt::NoButton);
            QCOMPARE(pWindow->cursor().shape(), Qt::SizeBDiagCursor);
            mouseAt(pWindow, QEvent::MouseButtonPress, rt, Qt::LeftButton, Qt::LeftButton);
            mouseAt(pWindow, QEvent::MouseMove, QPoint(299, 199), Qt::NoButton, Qt::LeftButton);
            mouseAt(pWindow, QEvent::MouseButtonRelease, QPoint(299, 199), Qt::LeftButton, Qt::NoButton);
            QCOMPARE(pWindow->geometry().top(), bDialog ? 199 : 100);
            pWindow->hide();
        }
    }

    void imagesLoad()
    {
        for (const char *pszPath : {":/res/res/image/close_normal.png", ":/res/res/image/kelvo.ico",
                                    ":/res/res/image/checked.png", ":/res/res/image/unchecked.png"}) {
            QPixmap pixmap(QString::fromLatin1(pszPath));
            QVERIFY2(!pixmap.isNull(), pszPath);
        }
        QLabel *pLogo = nullptr;
        BesMessageBox box;
        pLogo = box.findChild<QLabel *>("labelLogoTitle");
        QVERIFY(pLogo);
        QCOMPARE(pLogo->pixmap(Qt::ReturnByValue).size(), QSize(30, 30));
    }

    void styleSheetParses()
    {
        QFile file(":/res/res/stylesheet/stylesheet.qss");
        QVERIFY(file.open(QIODevice::ReadOnly));
        static QStringList s_listWarnings;
        s_listWarnings.clear();
        QtMessageHandler old = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &msg) {
                if (type != QtDebugMsg)
                    s_listWarnings << msg;
            });
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
        BesMessageBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.grab();
        qInstallMessageHandler(old);
        qApp->setStyleSheet(QString());
        QVERIFY2(s_listWarnings.isEmpty(), qPrintable(s_listWarnings.join('\n')));
    }

    void englishTexts()
    {
        const QString strQm = qEnvironmentVariable("VISTEL_BUILD_DIR") + "/Tranlate_EN.qm";
        QTranslator translator;
        if (!QFile::exists(strQm) || !translator.load(strQm))
            QSKIP("no English translation file here");
        qApp->installTranslator(&translator);
        QString strOk, strCancel;
        onNextBox([&](QWidget *pBox) {
            strOk = pBox->findChild<QPushButton *>("btnOK")->text();
            strCancel = pBox->findChild<QPushButton *>("btnCancel")->text();
            clickChild(pBox, "btnOK");
        });
        BesMessageBox::question("t", "x");
        qApp->removeTranslator(&translator);
        QCOMPARE(strOk, QString("OK"));
        QCOMPARE(strCancel, QString("Cancel"));
    }

    void fontSubstitution()
    {
        g_installFontSubstitutions();
        const QString strFamily = g_cjkSubstituteFamily();
        if (strFamily.isEmpty())
            QSKIP("no CJK font installed");
        QVERIFY(QFont::substitutes("Microsoft YaHei").contains(strFamily, Qt::CaseInsensitive));
        QVERIFY(QFont::substitutes(QStringLiteral("微软雅黑")).contains(strFamily, Qt::CaseInsensitive));
        QVERIFY(QFont::substitutes(QStringLiteral("宋体")).contains(strFamily, Qt::CaseInsensitive));
        g_installFontSubstitutions(); // a second call adds nothing twice
        QCOMPARE(QFont::substitutes("Microsoft Yahei").count(strFamily.toLower()), 1);
        QFont font("Microsoft YaHei");
        QCOMPARE(QFontInfo(font).family(), strFamily);
        // the Z source strip's family, where it is missing: a plain sans, not whatever the
        // system's matching offers (a calligraphic italic that draws "[" as "/")
        const QFontInfo comic(QFont("Comic Sans MS", 16));
        QVERIFY(QFontDatabase().families().contains("Comic Sans MS")
                || QFont::substitutes("Comic Sans MS").contains(comic.family(), Qt::CaseInsensitive));
    }
};

VISTEL_TEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
