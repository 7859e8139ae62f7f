#include "BesMessageBox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QSpacerItem>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include "BesButton.h"
#include "BesScaleUtil.h"

#include <algorithm>

bool BesMessageBox::isBlackTheme = false;

namespace {
// State of the test answering seam.
bool s_bTestAnswerSet = false;
int s_nTestAnswer = QMessageBox::Cancel;
BesMessageBox::AnswerHook s_testHook;
QList<BesMessageRecord> s_listTestRecords;
// The one notice box, while it is shown, and the notices it lists (each until its own time is up).
// A notice given by its sources is translated each time the box shows it.
struct NoticeEntry
{
    QString title;
    QString text;
    QByteArray context;
    QByteArray sourceTitle;
    QByteArray sourceText;
    QStringList listArgs;
    QElapsedTimer shown;
    int nMs = 0;

    QString shownTitle() const
    {
        return context.isEmpty() ? title : QCoreApplication::translate(context.constData(), sourceTitle.constData());
    }
    QString shownText() const
    {
        return context.isEmpty() ? text
                                 : BesMessageBox::composeMessage(
                                       QCoreApplication::translate(context.constData(), sourceText.constData()), listArgs);
    }
};
QPointer<BesMessageBox> s_pNotice;
QPointer<QTimer> s_pNoticeTimer;
QList<NoticeEntry> s_listNotices;
// Room left between boxes placed beside each other, and the step of boxes placed in a cascade.
constexpr int BoxGap = 4;
constexpr int CascadeStep = 30;
}

BesMessageBox::BesMessageBox(QWidget *parent)
    : BesFramelessDialog(parent)
    , widgetMessageBoxContainer0(nullptr)
    , widgetMessageBoxContainer(nullptr)
    , widgetMessageTop(nullptr)
    , widgetMessageMiddle(nullptr)
    , widgetMessageBottom(nullptr)
    , labelLogoTitle(nullptr)
    , labelMessageTitle(nullptr)
    , btnMessageClose(nullptr)
    , labelMessageIcon(nullptr)
    , labelMessageContent(nullptr)
    , btnOK(nullptr)
    , btnCancel(nullptr)
    , m_pBtnSpacer(nullptr)
    , btnResult(QMessageBox::Cancel)
{
    initLayout();
    initConnection();
}

BesMessageBox::~BesMessageBox() = default;

void BesMessageBox::initLayout()
{
    const double s = BesScaleUtil::scale();
    auto sc = [s](int nBase) { return static_cast<int>(s * nBase); };

    setMinimumHeight(sc(60));
    setMinimumWidth(sc(280));

    QVBoxLayout *pDialogLayout = new QVBoxLayout(this);
    pDialogLayout->setSpacing(0);
    pDialogLayout->setContentsMargins(0, 0, 0, 0);

    widgetMessageBoxContainer0 = new QWidget(this);
    widgetMessageBoxContainer0->setObjectName("widgetMessageBoxContainer");
    pDialogLayout->addWidget(widgetMessageBoxContainer0);

    QVBoxLayout *pLayout0 = new QVBoxLayout(widgetMessageBoxContainer0);
    pLayout0->setSpacing(0);
    pLayout0->setContentsMargins(1, 1, 1, 1);

    widgetMessageBoxContainer = new QWidget(widgetMessageBoxContainer0);
    widgetMessageBoxContainer->setObjectName("widgetMessageBoxContainer");
    pLayout0->addWidget(widgetMessageBoxContainer);

    QVBoxLayout *pContainerLayout = new QVBoxLayout(widgetMessageBoxContainer);
    pContainerLayout->setSpacing(0);
    const int nFrame = getFrameBorder();
    pContainerLayout->setContentsMargins(nFrame, nFrame, nFrame, nFrame);

    // Title bar.
    widgetMessageTop = new QWidget(widgetMessageBoxContainer);
    widgetMessageTop->setObjectName("widgetMessageTop");
    widgetMessageTop->setMinimumHeight(sc(30));
    widgetMessageTop->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    widgetMessageTop->setStyleSheet("QWidget{background-color:#333336};");

    labelLogoTitle = new QLabel(widgetMessageTop);
    labelLogoTitle->setObjectName("labelLogoTitle");
    labelLogoTitle->setText(tr("商标"));
    labelLogoTitle->setPixmap(QPixmap(":/res/res/image/kelvo.ico").scaled(30, 30));

    labelMessageTitle = new QLabel(widgetMessageTop);
    labelMessageTitle->setObjectName("labelMessageTitle");
    labelMessageTitle->setText(tr("标题"));

    btnMessageClose = new BesButton(widgetMessageTop);
    btnMessageClose->setObjectName("btnMessageClose");
    btnMessageClose->setFixedSize(30, 30);
    btnMessageClose->setStyleSheet("QPushButton{border-image: url(:/res/res/image/close_normal.png);}");

    QHBoxLayout *pTopLayout = new QHBoxLayout(widgetMessageTop);
    pTopLayout->setSpacing(0);
    pTopLayout->setContentsMargins(0, 0, 0, 0);
    pTopLayout->addWidget(labelMessageTitle);
    pTopLayout->addSpacerItem(new QSpacerItem(sc(20), 20, QSizePolicy::Expanding, QSizePolicy::Fixed));
    pTopLayout->addWidget(btnMessageClose);
    pTopLayout->addSpacerItem(new QSpacerItem(4, 20, QSizePolicy::Fixed, QSizePolicy::Fixed));

    // Body.
    widgetMessageMiddle = new QWidget(widgetMessageBoxContainer);
    widgetMessageMiddle->setObjectName("widgetMessageMiddle");
    widgetMessageMiddle->setMinimumHeight(sc(60));
    widgetMessageMiddle->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    widgetMessageMiddle->setStyleSheet(
        "QWidget{color:#AfAfAf;font-size:18px;font-family:Microsoft YaHei;};");

    labelMessageContent = new QLabel(widgetMessageMiddle);
    labelMessageContent->setObjectName("labelMessageContent");
    labelMessageContent->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    labelMessageContent->setText("提示内容");
    labelMessageContent->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    QHBoxLayout *pMiddleLayout = new QHBoxLayout(widgetMessageMiddle);
    pMiddleLayout->setSpacing(0);
    pMiddleLayout->addWidget(labelMessageContent);

    // Button row.
    widgetMessageBottom = new QWidget(widgetMessageBoxContainer);
    widgetMessageBottom->setObjectName("widgetMessageBottom");
    widgetMessageBottom->setMinimumHeight(sc(30));
    widgetMessageBottom->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    btnOK = new BesButton(widgetMessageBottom);
    btnOK->setObjectName("btnOK");
    btnOK->setText(tr("确定"));
    btnCancel = new BesButton(widgetMessageBottom);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setText(tr("取消"));
    for (BesButton *pBtn : {btnOK, btnCancel}) {
        pBtn->setMinimumSize(sc(50), sc(20));
        pBtn->setMaximumSize(sc(100), sc(20));
        pBtn->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }

    m_pBtnSpacer = new QSpacerItem(sc(40), 40, QSizePolicy::Fixed, QSizePolicy::Fixed);

    QHBoxLayout *pBottomLayout = new QHBoxLayout(widgetMessageBottom);
    pBottomLayout->setSpacing(0);
    pBottomLayout->addSpacerItem(new QSpacerItem(sc(20), 20, QSizePolicy::Expanding, QSizePolicy::Fixed));
    pBottomLayout->addWidget(btnOK);
    pBottomLayout->addSpacerItem(m_pBtnSpacer);
    pBottomLayout->addWidget(btnCancel);
    pBottomLayout->addSpacerItem(new QSpacerItem(sc(20), 20, QSizePolicy::Expanding, QSizePolicy::Fixed));

    pContainerLayout->addWidget(widgetMessageTop);
    pContainerLayout->addWidget(widgetMessageMiddle);
    pContainerLayout->addWidget(widgetMessageBottom);
}

void BesMessageBox::initConnection()
{
    connect(btnOK, &QPushButton::clicked, this, [this]() {
        btnResult = QMessageBox::Ok;
        accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, [this]() {
        btnResult = QMessageBox::Cancel;
        reject();
    });
    connect(btnMessageClose, &QPushButton::clicked, this, [this]() {
        btnResult = QMessageBox::Cancel;
        close();
    });
}

void BesMessageBox::setIsBlackTheme(bool bBlack)
{
    isBlackTheme = bBlack;
}

void BesMessageBox::limitBoxWidth(BesMessageBox *pBox, const QString &text, bool &bWordWrap)
{
    if (!pBox)
        return;
    const int nWidth = pBox->labelMessageContent->fontMetrics().boundingRect(text).width();
    if (nWidth > 800) {
        bWordWrap = true;
        pBox->setMinimumWidth(1000);
    }
}

bool BesMessageBox::answerForTest(const char *pszKind, const QString &title, const QString &text,
                                  int &nResult)
{
    if (!s_bTestAnswerSet && !s_testHook)
        return false;
    BesMessageRecord record{QString::fromLatin1(pszKind), title, text};
    s_listTestRecords.append(record);
    nResult = s_testHook ? s_testHook(record) : s_nTestAnswer;
    return true;
}

int BesMessageBox::question(const QString &title, const QString &text, QString strYes,
                            QString strNo, bool bShowIcon, bool bWordWrap)
{
    Q_UNUSED(bShowIcon);
    int nTestResult = QMessageBox::Cancel;
    if (answerForTest("question", title, text, nTestResult))
        return nTestResult == QMessageBox::Ok ? QMessageBox::Ok : QMessageBox::Cancel;

    BesMessageBox *pBox = new BesMessageBox(nullptr);
    if (!strYes.isEmpty())
        pBox->btnOK->setText(strYes);
    if (!strNo.isEmpty())
        pBox->btnCancel->setText(strNo);
    limitBoxWidth(pBox, text, bWordWrap);
    pBox->labelMessageTitle->setText(title);
    pBox->labelMessageContent->setText(text);
    pBox->labelMessageContent->setWordWrap(bWordWrap);
    pBox->labelMessageContent->setOpenExternalLinks(true);
    pBox->adjustSize();
    placeApart(pBox);
    pBox->exec();
    const int nResult = pBox->btnResult;
    delete pBox;
    return nResult;
}

int BesMessageBox::information(const QString &title, const QString &text, bool bWordWrap)
{
    int nTestResult = QMessageBox::Cancel;
    if (answerForTest("information", title, text, nTestResult))
        return QMessageBox::Cancel;

    BesMessageBox *pBox = new BesMessageBox(nullptr);
    limitBoxWidth(pBox, text, bWordWrap);
    pBox->labelMessageTitle->setText(title);
    pBox->labelMessageContent->setText(text);
    pBox->labelMessageContent->setWordWrap(bWordWrap);
    pBox->labelMessageContent->setOpenExternalLinks(true);
    pBox->btnCancel->hide();
    pBox->btnOK->hide();
    pBox->m_pBtnSpacer->changeSize(0, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    pBox->widgetMessageBottom->layout()->invalidate();
    pBox->adjustSize();
    placeApart(pBox);
    pBox->exec();
    const int nResult = pBox->btnResult;
    delete pBox;
    return nResult;
}

int BesMessageBox::tipInfor(const QString &title, const QString &text, bool bWordWrap)
{
    Q_UNUSED(bWordWrap);
    return tipInforUntil(title, text, nullptr, nullptr);
}

int BesMessageBox::tipInforUntil(const QString &title, const QString &text, QObject *pSender, const char *pszSignal)
{
    int nTestResult = QMessageBox::Cancel;
    if (answerForTest("tipInfor", title, text, nTestResult))
        return QMessageBox::Cancel;

    BesMessageBox *pBox = new BesMessageBox(nullptr);
    pBox->labelMessageTitle->setText(title);
    pBox->labelMessageContent->setText(text);
    pBox->labelMessageContent->setWordWrap(true);
    pBox->labelMessageContent->setOpenExternalLinks(true);
    pBox->widgetMessageBottom->hide();
    if (pSender) {
        QObject::connect(pSender, pszSignal, pBox, SLOT(reject()));
        QObject::connect(pSender, SIGNAL(destroyed()), pBox, SLOT(reject()));
    }
    pBox->adjustSize();
    placeApart(pBox);
    pBox->exec();
    const int nResult = pBox->btnResult;
    delete pBox;
    return nResult;
}

void BesMessageBox::notice(const QString &title, const QString &text, int nMs)
{
    int nTestResult = QMessageBox::Cancel;
    if (answerForTest("notice", title, text, nTestResult))
        return;
    listNotice(title, text, nMs, nullptr, nullptr, nullptr, QStringList());
}

void BesMessageBox::notice(const char *pszContext, const char *pszTitle, const char *pszText,
                           const QStringList &listArgs, int nMs)
{
    const QString title = QCoreApplication::translate(pszContext, pszTitle);
    const QString text = composeMessage(QCoreApplication::translate(pszContext, pszText), listArgs);
    int nTestResult = QMessageBox::Cancel;
    if (answerForTest("notice", title, text, nTestResult))
        return;
    listNotice(title, text, nMs, pszContext, pszTitle, pszText, listArgs);
}

void BesMessageBox::listNotice(const QString &title, const QString &text, int nMs, const char *pszContext,
                               const char *pszTitle, const char *pszText, const QStringList &listArgs)
{
    // A box closed (by the operator too) lists nothing more: it is on its way out.
    if (!s_pNotice || s_pNotice->isHidden()) {
        s_listNotices.clear();
        BesMessageBox *pBox = new BesMessageBox(nullptr);
        pBox->setAttribute(Qt::WA_DeleteOnClose);
        pBox->setModal(false);
        // It takes no focus: an edit in progress (a name being typed) goes on undisturbed.
        pBox->setAttribute(Qt::WA_ShowWithoutActivating);
        pBox->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
        pBox->labelMessageContent->setWordWrap(true);
        pBox->widgetMessageBottom->hide();
        auto *pTimer = new QTimer(pBox);
        pTimer->setSingleShot(true);
        QObject::connect(pTimer, &QTimer::timeout, pBox, [pBox]() { showNotices(pBox); });
        s_pNotice = pBox;
        s_pNoticeTimer = pTimer;
    }
    // The same notice again is not listed twice: it stays its full time from now.
    auto it = std::find_if(s_listNotices.begin(), s_listNotices.end(), [&](const NoticeEntry &e) {
        return e.shownTitle() == title && e.shownText() == text;
    });
    if (it != s_listNotices.end())
        s_listNotices.erase(it);
    NoticeEntry entry{title, text, pszContext, pszTitle, pszText, listArgs, QElapsedTimer(), std::max(1, nMs)};
    entry.shown.start();
    s_listNotices.append(entry);
    showNotices(s_pNotice);
}

void BesMessageBox::showNotices(BesMessageBox *pBox)
{
    if (!pBox || pBox != s_pNotice)
        return;
    // Each notice is shown for as long as it would be alone; the box closes with the last.
    qint64 nNext = -1;
    for (auto it = s_listNotices.begin(); it != s_listNotices.end();) {
        const qint64 nLeft = it->nMs - it->shown.elapsed();
        if (nLeft <= 0) {
            it = s_listNotices.erase(it);
            continue;
        }
        nNext = nNext < 0 ? nLeft : std::min(nNext, nLeft);
        ++it;
    }
    if (s_listNotices.isEmpty()) {
        pBox->close();
        return;
    }
    QStringList listTitles;
    QStringList listTexts;
    for (const NoticeEntry &e : qAsConst(s_listNotices)) {
        const QString strTitle = e.shownTitle();
        if (!listTitles.contains(strTitle))
            listTitles.append(strTitle);
        listTexts.append(e.shownText());
    }
    pBox->labelMessageTitle->setText(listTitles.join(QStringLiteral(" / ")));
    if (listTexts.size() == 1) {
        pBox->labelMessageContent->setText(listTexts.first());
    } else {
        // Several at once: one under the other, each shown literally.
        QStringList listRich;
        for (const QString &strText : qAsConst(listTexts))
            listRich.append(Qt::mightBeRichText(strText) ? strText : plainMessage(strText));
        pBox->labelMessageContent->setText(listRich.join(QStringLiteral("<hr>")));
    }
    // The size follows the lines listed, once the layouts took the new text in; the box stays
    // clear of the other boxes shown.
    pBox->ensurePolished();
    const QList<QWidget *> listInner = pBox->findChildren<QWidget *>();
    for (auto it = listInner.crbegin(); it != listInner.crend(); ++it)
        if ((*it)->layout())
            (*it)->layout()->activate();
    pBox->resize(pBox->sizeHint().expandedTo(pBox->minimumSize()));
    placeApart(pBox);
    pBox->show();
    pBox->raise();
    s_pNoticeTimer->start(int(nNext));
}

void BesMessageBox::changeEvent(QEvent *event)
{
    BesFramelessDialog::changeEvent(event);
    // A notice shown while the language is switched reads in the new one.
    if (event->type() == QEvent::LanguageChange && this == s_pNotice && isVisible())
        showNotices(this);
}

void BesMessageBox::placeApart(BesMessageBox *pBox)
{
    QList<QRect> listOthers;
    for (QWidget *pWidget : QApplication::topLevelWidgets()) {
        if (pWidget != pBox && pWidget->isVisible() && dynamic_cast<BesMessageBox *>(pWidget))
            listOthers.append(pWidget->frameGeometry());
    }
    // In reading order, so that the same boxes give the same places.
    std::sort(listOthers.begin(), listOthers.end(), [](const QRect &a, const QRect &b) {
        return a.top() != b.top() ? a.top() < b.top() : a.left() < b.left();
    });
    const QScreen *pScreen = QGuiApplication::screenAt(QCursor::pos());
    if (!pScreen)
        pScreen = QGuiApplication::primaryScreen();
    const QRect area = pScreen ? pScreen->availableGeometry() : QRect();
    const auto isFree = [&](const QRect &rect) {
        if (!area.isEmpty() && !area.contains(rect))
            return false;
        return std::none_of(listOthers.cbegin(), listOthers.cend(), [&](const QRect &other) {
            return other.adjusted(-BoxGap, -BoxGap, BoxGap, BoxGap).intersects(rect);
        });
    };
    QRect rect(pBox->geometry().topLeft(), pBox->size());
    // A notice box shown already stays where it is while it covers nothing.
    if (pBox->isVisible() && isFree(rect))
        return;

    QList<QRect> listPlaces;
    rect.moveCenter(area.isEmpty() ? rect.center() : area.center());
    listPlaces.append(rect);
    for (const QRect &other : qAsConst(listOthers)) {
        rect.moveCenter(QPoint(other.center().x(), rect.center().y()));
        rect.moveTop(other.bottom() + 1 + 2 * BoxGap);
        listPlaces.append(rect);
        rect.moveBottom(other.top() - 1 - 2 * BoxGap);
        listPlaces.append(rect);
    }
    for (const QRect &other : qAsConst(listOthers)) {
        rect.moveTop(other.top());
        rect.moveLeft(other.right() + 1 + 2 * BoxGap);
        listPlaces.append(rect);
        rect.moveRight(other.left() - 1 - 2 * BoxGap);
        listPlaces.append(rect);
    }
    auto itPlace = std::find_if(listPlaces.cbegin(), listPlaces.cend(), isFree);
    if (itPlace != listPlaces.cend())
        rect = *itPlace;
    else if (listOthers.isEmpty())
        rect = listPlaces.first();
    else // no room left beside them: a step below and right of the last one
        rect.moveTopLeft(listOthers.last().topLeft() + QPoint(CascadeStep, CascadeStep));
    // On the screen, its top left corner first where it is larger.
    if (!area.isEmpty()) {
        rect.moveRight(std::min(rect.right(), area.right()));
        rect.moveBottom(std::min(rect.bottom(), area.bottom()));
        rect.moveLeft(std::max(rect.left(), area.left()));
        rect.moveTop(std::max(rect.top(), area.top()));
    }
    pBox->move(rect.topLeft());
}

QString BesMessageBox::noticeText()
{
    return s_pNotice && s_pNotice->isVisible() ? s_pNotice->labelMessageContent->text() : QString();
}

QString BesMessageBox::escapeDeviceText(const QString &strText)
{
    return strText.toHtmlEscaped();
}

QString BesMessageBox::plainMessage(const QString &strText)
{
    // Rich text that shows exactly the given characters (line breaks kept).
    return Qt::convertFromPlainText(strText, Qt::WhiteSpaceNormal);
}

QString BesMessageBox::composeMessage(const QString &strTemplate, const QStringList &listTexts)
{
    const bool bRich = Qt::mightBeRichText(strTemplate);
    // Substitute all markers in one pass so that a text containing "%2" is
    // not taken for a marker itself.
    QString strResult;
    strResult.reserve(strTemplate.size());
    for (int i = 0; i < strTemplate.size(); ++i) {
        const QChar ch = strTemplate.at(i);
        if (ch == QLatin1Char('%') && i + 1 < strTemplate.size() && strTemplate.at(i + 1).isDigit()) {
            int j = i + 1;
            int nIndex = 0;
            while (j < strTemplate.size() && strTemplate.at(j).isDigit() && j - i <= 2)
                nIndex = nIndex * 10 + strTemplate.at(j++).digitValue();
            if (nIndex >= 1 && nIndex <= listTexts.size()) {
                const QString &strArg = listTexts.at(nIndex - 1);
                strResult += bRich ? strArg.toHtmlEscaped() : strArg;
                i = j - 1;
                continue;
            }
        }
        strResult += ch;
    }
    if (bRich)
        return strResult;
    // A plain template: the filled text must still show literally even when a
    // device text looks like markup.
    return Qt::mightBeRichText(strResult) ? plainMessage(strResult) : strResult;
}

void BesMessageBox::setTestAnswer(int nAnswer)
{
    s_bTestAnswerSet = true;
    s_nTestAnswer = nAnswer;
}

void BesMessageBox::setTestAnswerHook(AnswerHook hook)
{
    s_testHook = std::move(hook);
}

void BesMessageBox::clearTestAnswer()
{
    s_bTestAnswerSet = false;
    s_nTestAnswer = QMessageBox::Cancel;
    s_testHook = nullptr;
}

QList<BesMessageRecord> BesMessageBox::testRecords()
{
    return s_listTestRecords;
}

void BesMessageBox::clearTestRecords()
{
    s_listTestRecords.clear();
}
