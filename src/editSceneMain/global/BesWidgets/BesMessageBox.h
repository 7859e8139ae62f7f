#ifndef BESMESSAGEBOX_H
#define BESMESSAGEBOX_H

// The one modal message box of the console.
//
// Callers use the static calls only; each builds, runs (exec) and deletes its
// own box and returns a QMessageBox::StandardButton as int. Count an answer as
// yes only when it equals QMessageBox::Ok.
//   question(title, text, strYes, strNo, bShowIcon, bWordWrap)  -> Ok or Cancel
//   information(title, text, bWordWrap)                          -> Cancel
//   tipInfor(title, text, bWordWrap)                             -> Cancel
//   tipInforUntil(title, text, sender, SIGNAL(...))              -> Cancel
//   notice(title, text)  a box that waits for nothing: lists the notices given, each shown a few seconds
//
// A box opens where it covers no other box shown (centred when it is the only one): two devices
// lost at once, or a notice given while a loss box is up, each stay readable.
//
// Rich text: the content label auto-detects rich text and opens links. Any
// text that comes from a device or the operator (input names, scene names,
// device names) must not be pasted raw into a message:
//   BesMessageBox::composeMessage(tr("场景 %1 ..."), {strSceneName})
// fills %1..%n with the given texts so that they show literally, whether the
// template is plain or rich text. escapeDeviceText() escapes one fragment for a
// template that is already rich text; plainMessage() makes a whole plain text
// show literally.
//
// Test answering seam (for tests only; the program never sets it):
//   BesMessageBox::setTestAnswer(QMessageBox::Ok);   // answer every later box
//   ... code under test ...
//   BesMessageBox::testRecords();                     // what would have been shown
//   BesMessageBox::clearTestAnswer();                 // back to real boxes
// While an answer or a hook is set, no box is built or shown: question()
// returns the answer (Ok when it is Ok, else Cancel), information() and
// tipInfor() return Cancel (as a real box does), and every call is appended to
// testRecords(). A hook is asked for every kind of box. For answers that
// depend on the message, install a hook instead:
//   BesMessageBox::setTestAnswerHook([](const BesMessageRecord &r) {
//       return r.text.contains("删除") ? QMessageBox::Ok : QMessageBox::Cancel; });
// clearTestAnswer() removes both the fixed answer and the hook; it does not
// clear the records (clearTestRecords() does).

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

#include "BesFramelessDialog.h"

class QLabel;
class QSpacerItem;
class BesButton;

// One message as a box call received it (recorded by the test seam).
struct BesMessageRecord
{
    QString kind;   // "question", "information", "tipInfor" or "notice"
    QString title;
    QString text;
};

// Without an object macro of its own: its texts are translated in the context
// of BesFramelessDialog.
class BesMessageBox : public BesFramelessDialog
{
public:
    explicit BesMessageBox(QWidget *parent = nullptr);
    ~BesMessageBox() override;

    static int question(const QString &title, const QString &text, QString strYes = QString(),
                        QString strNo = QString(), bool bShowIcon = true, bool bWordWrap = false);
    static int information(const QString &title, const QString &text, bool bWordWrap = false);
    static int tipInfor(const QString &title, const QString &text, bool bWordWrap = false);
    // A tip that stops being true: the box closes by itself (Cancel) when pSender emits
    // pszSignal (given with SIGNAL()) or is destroyed.
    static int tipInforUntil(const QString &title, const QString &text, QObject *pSender, const char *pszSignal);
    // A notice that runs no event loop of its own: one box for the program, shown at once. It
    // lists every notice still shown, each for nMs from when it was last given (the same title
    // and text given again is listed once), and closes with the last. The test seam records it
    // as "notice".
    static void notice(const QString &title, const QString &text, int nMs = 4000);
    // A notice that follows a language switch while it is shown: title and text as written in the
    // code (marked QT_TRANSLATE_NOOP), translated in pszContext, the text's %1..%n filled with
    // listArgs as composeMessage does. The test seam records it as translated when given.
    static void notice(const char *pszContext, const char *pszTitle, const char *pszText, const QStringList &listArgs,
                       int nMs = 4000);
    // The text the notice box shows now (empty: none shown).
    static QString noticeText();

    static void setIsBlackTheme(bool bBlack);

    // Width rule: a text wider than 800 px (content label font) switches word
    // wrap on and gives the box the minimum width 1000.
    static void limitBoxWidth(BesMessageBox *pBox, const QString &text, bool &bWordWrap);

    // ---- safe composition of messages that carry device or operator texts ----
    static QString escapeDeviceText(const QString &strText);
    static QString plainMessage(const QString &strText);
    static QString composeMessage(const QString &strTemplate, const QStringList &listTexts);

    // ---- test answering seam (see the top of this file) ----
    using AnswerHook = std::function<int(const BesMessageRecord &record)>;
    static void setTestAnswer(int nAnswer);
    static void setTestAnswerHook(AnswerHook hook);
    static void clearTestAnswer();
    static QList<BesMessageRecord> testRecords();
    static void clearTestRecords();

protected:
    void changeEvent(QEvent *event) override;

private:
    void initLayout();
    // Gives the box (sized already) a place on its screen where it covers no other box shown:
    // centred, else beside one of them (below, above, right, left), else a step below and right
    // of the last one. A notice box already shown keeps its place while it covers none.
    static void placeApart(BesMessageBox *pBox);
    // Lists a notice in the notice box, made when none is shown: its texts as given, or (with a
    // context) translated from its sources whenever the box shows them.
    static void listNotice(const QString &title, const QString &text, int nMs, const char *pszContext,
                           const char *pszTitle, const char *pszText, const QStringList &listArgs);
    // The notice box shows the notices whose time is not up, and closes when none is left.
    static void showNotices(BesMessageBox *pBox);
    void initConnection();
    // Answers a call through the test seam; false when no seam is set.
    static bool answerForTest(const char *pszKind, const QString &title, const QString &text,
                              int &nResult);

    QWidget *widgetMessageBoxContainer0;
    QWidget *widgetMessageBoxContainer;
    QWidget *widgetMessageTop;
    QWidget *widgetMessageMiddle;
    QWidget *widgetMessageBottom;
    QLabel *labelLogoTitle;
    QLabel *labelMessageTitle;
    BesButton *btnMessageClose;
    QLabel *labelMessageIcon;
    QLabel *labelMessageContent;
    BesButton *btnOK;
    BesButton *btnCancel;
    QSpacerItem *m_pBtnSpacer;
    QMessageBox::StandardButton btnResult;

    static bool isBlackTheme;
};

#endif // BESMESSAGEBOX_H
