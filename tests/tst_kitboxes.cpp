#include "TestMain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "kitconfig.h"
#include "kitinputbox.h"
#include "kitmessagebox.h"
#include "kitwidget.h"

// Runs action on the modal box as soon as its nested event loop runs.
static void onNextBox(std::function<void(QDialog *)> action)
{
    QTimer::singleShot(0, [action]() {
        QDialog *pBox = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(pBox);
        action(pBox);
    });
}

template <typename T> static T *child(QWidget *pBox, const char *pszName)
{
    T *p = pBox->findChild<T *>(pszName);
    if (!p)
        qFatal("no child %s", pszName);
    return p;
}

static void click(QWidget *pBox, const char *pszName)
{
    child<QPushButton>(pBox, pszName)->click();
}

static void tick(QDialog *pBox, int count = 1)
{
    for (int i = 0; i < count; ++i)
        QMetaObject::invokeMethod(pBox, "checkSec");
}

static QString timeText(QWidget *pBox)
{
    return child<QLabel>(pBox, "labTime")->text();
}

class TestKitBoxes : public QObject
{
    Q_OBJECT
private slots:
    void countdownCloses()
    {
        KitMessageBox box;
        box.setMessage("m", 0, 3);
        QCOMPARE(timeText(&box), QString("关闭倒计时 3 s"));
        box.show();
        tick(&box);
        QCOMPARE(timeText(&box), QString("关闭倒计时 2 s"));
        tick(&box);
        QCOMPARE(timeText(&box), QString("关闭倒计时 1 s"));
        QVERIFY(box.isVisible());
        tick(&box);
        QVERIFY(!box.isVisible());

        // A modal run closed by the count-down returns 0.
        box.setMessage("m", 0, 2);
        onNextBox([](QDialog *pBox) { tick(pBox, 2); });
        QCOMPARE(box.exec(), 0);
    }

    void noCountdownWithoutCloseSec()
    {
        KitMessageBox box;
        box.setMessage("m", 0);
        box.show();
        tick(&box, 5);
        QVERIFY(box.isVisible());
        QCOMPARE(timeText(&box), QString());
    }

    void okStopsTheCountdown()
    {
        KitMessageBox box;
        box.setMessage("m", 0, 2);
        onNextBox([](QDialog *pBox) { click(pBox, "btnOk"); });
        QCOMPARE(box.exec(), int(KitMessageBox::ResultOk));
        box.show();
        tick(&box, 4);
        QVERIFY(box.isVisible());
        box.setMessage("again", 0, 1);
        QCOMPARE(timeText(&box), QString("关闭倒计时 1 s"));
        tick(&box);
        QVERIFY(!box.isVisible());
    }

    void questionResults()
    {
        onNextBox([](QDialog *pBox) { click(pBox, "btnOk"); });
        QCOMPARE(KitWidget::showMessageBoxQuestion("q"), 0x4000);
        onNextBox([](QDialog *pBox) { click(pBox, "btnCancel"); });
        QCOMPARE(KitWidget::showMessageBoxQuestion("q"), 0x10000);
        onNextBox([](QDialog *pBox) { click(pBox, "btnMenu_Close"); });
        QCOMPARE(KitWidget::showMessageBoxQuestion("q"), 0x10000);
    }

    void messageKinds()
    {
        KitMessageBox box;
        QVERIFY(!child<QPushButton>(&box, "btnCancel")->isHidden());
        const struct
        {
            int type;
            const char *title;
            const char *image;
            bool cancel;
        } kinds[] = {
            {0, "提示", "msg_info", false},
            {1, "询问", "msg_question", true},
            {2, "错误", "msg_error", false},
        };
        for (const auto &k : kinds) {
            box.setMessage("text", k.type);
            QCOMPARE(child<QLabel>(&box, "labTitle")->text(), QString::fromUtf8(k.title));
            QCOMPARE(box.windowTitle(), QString::fromUtf8(k.title));
            QCOMPARE(child<QLabel>(&box, "labInfo")->text(), QString("text"));
            QVERIFY(child<QLabel>(&box, "labIcoMain")->styleSheet().contains(k.image));
            QCOMPARE(!child<QPushButton>(&box, "btnCancel")->isHidden(), k.cancel);
        }
        // An unknown kind keeps the previous look.
        box.setMessage("other", 7);
        QCOMPARE(box.windowTitle(), QString("错误"));
    }

    void sharedMessageBoxKeepsNoCancelState()
    {
        KitWidget::showMessageBoxError("e");
        KitMessageBox *pBox = KitMessageBox::Instance();
        QVERIFY(pBox->isVisible());
        QVERIFY(child<QPushButton>(pBox, "btnCancel")->isHidden());
        pBox->setMessage("q", 1);
        QVERIFY(!child<QPushButton>(pBox, "btnCancel")->isHidden());
        KitWidget::showMessageBoxInfo("i", 3);
        QVERIFY(child<QPushButton>(pBox, "btnCancel")->isHidden());
        QCOMPARE(timeText(pBox), QString("关闭倒计时 3 s"));
        pBox->close();
        QCOMPARE(KitMessageBox::Instance(), pBox);
    }

    void inputTyped()
    {
        bool ok = false;
        onNextBox([](QDialog *pBox) {
            QLineEdit *pEdit = child<QLineEdit>(pBox, "txtValue");
            QCOMPARE(pEdit->placeholderText(), QString("hint"));
            QCOMPARE(pEdit->text(), QString());
            QVERIFY(child<QComboBox>(pBox, "cboxValue")->isHidden());
            click(pBox, "btnOk");
        });
        QCOMPARE(KitWidget::showInputBox(ok, "name?", 0, 0, "hint"), QString());
        QVERIFY(ok);

        onNextBox([](QDialog *pBox) {
            QLineEdit *pEdit = child<QLineEdit>(pBox, "txtValue");
            QCOMPARE(pEdit->echoMode(), QLineEdit::Password);
            pEdit->setText("secret");
            click(pBox, "btnOk");
        });
        QCOMPARE(KitWidget::showInputBox(ok, "pwd?", 0, 0, QString(), true), QString("secret"));
        QVERIFY(ok);
    }

    void inputChoice()
    {
        bool ok = false;
        onNextBox([](QDialog *pBox) {
            QComboBox *pCombo = child<QComboBox>(pBox, "cboxValue");
            QCOMPARE(pCombo->count(), 4);
            QCOMPARE(pCombo->itemText(0), QString("a"));
            QCOMPARE(pCombo->itemText(2), QString());
            QCOMPARE(pCombo->itemText(3), QString("c"));
            QVERIFY(child<QLineEdit>(pBox, "txtValue")->isHidden());
            pCombo->setCurrentIndex(3);
            click(pBox, "btnOk");
        });
        QCOMPARE(KitWidget::showInputBox(ok, "pick", 1, 0, "a|b||c"), QString("c"));
        QVERIFY(ok);
    }

    void inputEndedOtherwise()
    {
        bool ok = true;
        onNextBox([](QDialog *pBox) { click(pBox, "btnCancel"); });
        QCOMPARE(KitWidget::showInputBox(ok, "x"), QString());
        QVERIFY(!ok);

        ok = true;
        onNextBox([](QDialog *pBox) { click(pBox, "btnMenu_Close"); });
        KitWidget::showInputBox(ok, "x");
        QVERIFY(!ok);

        ok = true;
        onNextBox([](QDialog *pBox) {
            child<QLineEdit>(pBox, "txtValue")->setText("typed");
            tick(pBox, 3);
        });
        QCOMPARE(KitWidget::showInputBox(ok, "x", 0, 2), QString());
        QVERIFY(!ok);

        // Cancel keeps the value of the last OK.
        KitInputBox box;
        box.setParameter("x");
        onNextBox([](QDialog *pBox) {
            child<QLineEdit>(pBox, "txtValue")->setText("kept");
            click(pBox, "btnOk");
        });
        QCOMPARE(box.exec(), int(KitInputBox::ResultOk));
        onNextBox([](QDialog *pBox) {
            child<QLineEdit>(pBox, "txtValue")->setText("dropped");
            click(pBox, "btnCancel");
        });
        QCOMPARE(box.exec(), int(KitInputBox::ResultCancel));
        QCOMPARE(box.getValue(), QString("kept"));
    }

    void sharedInputBoxStartsAfresh()
    {
        KitInputBox *pBox = KitInputBox::Instance();
        QCOMPARE(pBox->windowTitle(), QString("输入框"));
        pBox->setParameter("one", 1, 0, "a|b");
        pBox->setParameter("two", 1, 0, "c|d|e");
        QComboBox *pCombo = child<QComboBox>(pBox, "cboxValue");
        QCOMPARE(pCombo->count(), 3);
        QCOMPARE(pCombo->itemText(0), QString("c"));

        pBox->setParameter("pwd", 0, 0, QString(), true);
        QLineEdit *pEdit = child<QLineEdit>(pBox, "txtValue");
        QVERIFY(!pEdit->isHidden());
        QVERIFY(pCombo->isHidden());
        pEdit->setText("typed before");
        pBox->setParameter("plain", 0);
        QCOMPARE(pEdit->echoMode(), QLineEdit::Normal);
        QCOMPARE(pEdit->text(), QString());
        QCOMPARE(child<QLabel>(pBox, "labInfo")->text(), QString("plain"));
    }

    void dragging()
    {
        KitMessageBox box;
        box.move(100, 100);
        box.show();
        auto send = [&box](QEvent::Type type, QPoint global, Qt::MouseButton button,
                           Qt::MouseButtons buttons) {
            QMouseEvent ev(type, box.mapFromGlobal(global), global, button, buttons,
                           Qt::NoModifier);
            QApplication::sendEvent(&box, &ev);
        };
        const QPoint start = box.pos() + QPoint(50, 10);
        send(QEvent::MouseButtonPress, start, Qt::RightButton, Qt::RightButton);
        send(QEvent::MouseMove, start + QPoint(30, 20), Qt::NoButton, Qt::RightButton);
        QCOMPARE(box.pos(), QPoint(100, 100));
        send(QEvent::MouseButtonRelease, start, Qt::RightButton, Qt::NoButton);

        send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, start + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(box.pos(), QPoint(130, 120));
        send(QEvent::MouseButtonRelease, start + QPoint(30, 20), Qt::RightButton, Qt::NoButton);
        send(QEvent::MouseMove, start + QPoint(60, 60), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(box.pos(), QPoint(130, 120));
    }

    void mainGlyphFollowsTheConfiguration()
    {
        KitInputBox box;
        QCOMPARE(child<QLabel>(&box, "labIco")->text(), QString(KitConfig::IconMain));
        QCOMPARE(child<QLabel>(&box, "labIco")->font().pointSize(), KitConfig::FontSize + 2);
        QCOMPARE(child<QPushButton>(&box, "btnMenu_Close")->text(), QString(KitConfig::IconClose));
        box.setIconMain(QChar(0xF015), 14);
        QCOMPARE(child<QLabel>(&box, "labIco")->text(), QString(QChar(0xF015)));
        QCOMPARE(child<QLabel>(&box, "labIco")->font().pointSize(), 14);
    }
};

VISTEL_TEST_MAIN(TestKitBoxes)
#include "tst_kitboxes.moc"
