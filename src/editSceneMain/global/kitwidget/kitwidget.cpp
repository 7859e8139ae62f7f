#include "kitwidget.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "iconhelper.h"
#include "kitconfig.h"
#include "kitinputbox.h"
#include "kitmessagebox.h"

namespace {
struct StyleEntry
{
    const char *text;
    KitWidget::Style style;
    const char *qssFile;
};

// The style menu's entries: action text, style applied, sheet name announced.
const StyleEntry g_kitStyles[] = {
    {"银色", KitWidget::Style_Silvery, ":/qss/silvery.css"},
    {"蓝色", KitWidget::Style_Blue, ":/qss/blue.css"},
    {"浅蓝色", KitWidget::Style_LightBlue, ":/qss/lightblue.css"},
    {"深蓝色", KitWidget::Style_DarkBlue, ":/qss/darkblue.css"},
    {"灰色", KitWidget::Style_Gray, ":/qss/gray.css"},
    {"浅灰色", KitWidget::Style_LightGray, ":/qss/lightgray.css"},
    {"深灰色", KitWidget::Style_DarkGray, ":/qss/darkgray.css"},
    {"黑色", KitWidget::Style_Black, ":/qss/black.css"},
    {"浅黑色", KitWidget::Style_LightBlack, ":/qss/lightblack.css"},
    {"深黑色", KitWidget::Style_DarkBlack, ":/qss/darkblack.css"},
    {"墨黑色", KitWidget::Style_InkBlack, ":/qss/inkblack.css"},
    {"黑色扁平", KitWidget::Style_FlatBlack, ":/qss/flatblack.css"},
    {"白色扁平", KitWidget::Style_FlatWhite, ":/qss/flatwhite.css"},
};
} // namespace

KitWidget::KitWidget(QWidget *parent)
    : QDialog(parent)
{
    initControl();
    initForm();
}

KitWidget::~KitWidget()
{
    delete widgetMain;
}

QSize KitWidget::sizeHint() const
{
    return QSize(600, 450);
}

QSize KitWidget::minimumSizeHint() const
{
    return QSize(200, 150);
}

void KitWidget::initControl()
{
    setObjectName(QStringLiteral("KitWidget"));
    resize(900, 750);
    verticalLayout1 = new QVBoxLayout(this);
    verticalLayout1->setSpacing(0);
    verticalLayout1->setObjectName(QStringLiteral("verticalLayout1"));
    verticalLayout1->setContentsMargins(1, 1, 1, 1);

    widgetMain = new QWidget(this);
    widgetMain->setObjectName(QStringLiteral("widgetMain"));
    verticalLayout2 = new QVBoxLayout(widgetMain);
    verticalLayout2->setSpacing(0);
    verticalLayout2->setObjectName(QStringLiteral("verticalLayout2"));
    verticalLayout2->setContentsMargins(0, 0, 0, 0);

    widgetTitle = new QWidget(widgetMain);
    widgetTitle->setObjectName(QStringLiteral("widgetTitle"));
    widgetTitle->setSizePolicy(QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed));
    widgetTitle->setMinimumSize(QSize(0, 30));
    horizontalLayout4 = new QHBoxLayout(widgetTitle);
    horizontalLayout4->setSpacing(0);
    horizontalLayout4->setObjectName(QStringLiteral("horizontalLayout4"));
    horizontalLayout4->setContentsMargins(0, 0, 0, 0);

    labIco = new QLabel(widgetTitle);
    labIco->setObjectName(QStringLiteral("labIco"));
    labIco->setMinimumSize(QSize(30, 0));
    labIco->setAlignment(Qt::AlignCenter);
    horizontalLayout4->addWidget(labIco);

    labTitle = new QLabel(widgetTitle);
    labTitle->setObjectName(QStringLiteral("labTitle"));
    labTitle->setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred));
    labTitle->setAlignment(Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter);
    horizontalLayout4->addWidget(labTitle);

    widgetMenu = new QWidget(widgetTitle);
    widgetMenu->setObjectName(QStringLiteral("widgetMenu"));
    horizontalLayout = new QHBoxLayout(widgetMenu);
    horizontalLayout->setSpacing(0);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setContentsMargins(0, 0, 0, 0);

    btnMenu = new QToolButton(widgetMenu);
    btnMenu->setObjectName(QStringLiteral("btnMenu"));
    btnMenu->setPopupMode(QToolButton::InstantPopup);

    btnMenu_Min = new QPushButton(widgetMenu);
    btnMenu_Min->setObjectName(QStringLiteral("btnMenu_Min"));
    btnMenu_Max = new QPushButton(widgetMenu);
    btnMenu_Max->setObjectName(QStringLiteral("btnMenu_Max"));
    btnMenu_Close = new QPushButton(widgetMenu);
    btnMenu_Close->setObjectName(QStringLiteral("btnMenu_Close"));

    const QList<QAbstractButton *> menuButtons = {btnMenu, btnMenu_Min, btnMenu_Max, btnMenu_Close};
    for (QAbstractButton *btn : menuButtons) {
        btn->setSizePolicy(QSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding));
        btn->setMinimumSize(QSize(30, 0));
        btn->setMaximumSize(QSize(30, 16777215));
        btn->setFocusPolicy(Qt::NoFocus);
        if (btn != btnMenu)
            btn->setCursor(QCursor(Qt::ArrowCursor));
        horizontalLayout->addWidget(btn);
    }

    horizontalLayout4->addWidget(widgetMenu);
    verticalLayout2->addWidget(widgetTitle);

    widget = new QWidget(widgetMain);
    widget->setObjectName(QStringLiteral("widget"));
    verticalLayout3 = new QVBoxLayout(widget);
    verticalLayout3->setSpacing(0);
    verticalLayout3->setObjectName(QStringLiteral("verticalLayout3"));
    verticalLayout3->setContentsMargins(0, 0, 0, 0);
    verticalLayout2->addWidget(widget);
    verticalLayout1->addWidget(widgetMain);

    connect(btnMenu_Min, &QPushButton::clicked, this, &KitWidget::on_btnMenu_Min_clicked);
    connect(btnMenu_Max, &QPushButton::clicked, this, &KitWidget::on_btnMenu_Max_clicked);
    connect(btnMenu_Close, &QPushButton::clicked, this, &KitWidget::on_btnMenu_Close_clicked);
}

void KitWidget::initForm()
{
    setIcon(Lab_Ico, KitConfig::IconMain, 11);
    setIcon(BtnMenu, KitConfig::IconMenu);
    setIcon(BtnMenu_Min, KitConfig::IconMin);
    setIcon(BtnMenu_Normal, KitConfig::IconNormal);
    setIcon(BtnMenu_Close, KitConfig::IconClose);

    max = false;
    location = geometry();

    setProperty("form", true);
    widgetTitle->setProperty("form", "title");
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint);

    // Only the member: the label and the window title stay empty until setTitle.
    title = QStringLiteral("Kit Demo");
    alignment = Qt::AlignLeft | Qt::AlignVCenter;
    minHide = false;
    mainWidget = nullptr;

    setVisible(BtnMenu, false);

    installEventFilter(this);
    widgetTitle->installEventFilter(this);

    for (const StyleEntry &entry : g_kitStyles) {
        QAction *action = new QAction(QString::fromUtf8(entry.text), this);
        btnMenu->addAction(action);
        connect(action, &QAction::triggered, this, QOverload<>::of(&KitWidget::changeStyle));
    }
}

void KitWidget::changeStyle()
{
    QAction *action = qobject_cast<QAction *>(sender());
    const QString name = action ? action->text() : QString();
    for (const StyleEntry &entry : g_kitStyles) {
        if (name == QString::fromUtf8(entry.text)) {
            setStyle(entry.style);
            emit changeStyle(QString::fromLatin1(entry.qssFile));
            return;
        }
    }
    emit changeStyle(QStringLiteral(":/qss/blue.css"));
}

bool KitWidget::eventFilter(QObject *watched, QEvent *event)
{
    static QPoint mousePoint;
    static bool mousePressed = false;

    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        QMouseEvent *mouseEvent = static_cast<QMouseEvent *>(event);
        if (mouseEvent->button() == Qt::LeftButton) {
            mousePressed = true;
            mousePoint = mouseEvent->globalPos() - pos();
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        mousePressed = false;
        return true;
    case QEvent::MouseMove: {
        QMouseEvent *mouseEvent = static_cast<QMouseEvent *>(event);
        if (!max && mousePressed && mouseEvent->buttons() != Qt::NoButton) {
            move(mouseEvent->globalPos() - mousePoint);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (!btnMenu_Max->isHidden()) {
            on_btnMenu_Max_clicked();
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

QLabel *KitWidget::getLabIco() const { return labIco; }
QLabel *KitWidget::getLabTitle() const { return labTitle; }
QToolButton *KitWidget::getBtnMenu() const { return btnMenu; }
QPushButton *KitWidget::getBtnMenuMin() const { return btnMenu_Min; }
QPushButton *KitWidget::getBtnMenuMax() const { return btnMenu_Max; }
QPushButton *KitWidget::getBtnMenuMClose() const { return btnMenu_Close; }
QString KitWidget::getTitle() const { return title; }
Qt::Alignment KitWidget::getAlignment() const { return alignment; }

void KitWidget::on_btnMenu_Min_clicked()
{
    if (minHide)
        hide();
    else
        showMinimized();
}

void KitWidget::on_btnMenu_Max_clicked()
{
    if (max) {
        setGeometry(location);
        setIcon(BtnMenu_Normal, KitConfig::IconNormal, 9);
    } else {
        location = geometry();
        QScreen *screen = QGuiApplication::primaryScreen();
        if (screen)
            setGeometry(screen->availableGeometry());
        setIcon(BtnMenu_Max, KitConfig::IconMax, 9);
    }
    max = !max;
}

void KitWidget::on_btnMenu_Close_clicked()
{
    // Closing the dialog closes only this window: the program ends the usual
    // way, when its last window has gone, with every clean-up run.
    emit closing();
    close();
}

void KitWidget::setIcon(KitWidget::Widget widget, QChar str, quint32 size)
{
    switch (widget) {
    case Lab_Ico:
        setIconMain(str, size);
        break;
    case BtnMenu:
        KitConfig::IconMenu = str;
        IconHelper::Instance()->setIcon(btnMenu, str, size);
        break;
    case BtnMenu_Min:
        KitConfig::IconMin = str;
        IconHelper::Instance()->setIcon(btnMenu_Min, str, size);
        break;
    case BtnMenu_Max:
        KitConfig::IconMax = str;
        IconHelper::Instance()->setIcon(btnMenu_Max, str, size);
        break;
    case BtnMenu_Normal:
        KitConfig::IconNormal = str;
        IconHelper::Instance()->setIcon(btnMenu_Max, str, size);
        break;
    case BtnMenu_Close:
        KitConfig::IconClose = str;
        IconHelper::Instance()->setIcon(btnMenu_Close, str, size);
        break;
    }
}

void KitWidget::setIconMain(QChar str, quint32 size)
{
    KitConfig::IconMain = str;
    IconHelper::Instance()->setIcon(labIco, str, size);
    KitMessageBox::Instance()->setIconMain(str, size);
    KitInputBox::Instance()->setIconMain(str, size);
}

void KitWidget::setPixmap(KitWidget::Widget widget, const QString &file, const QSize &size)
{
    const QPixmap pix = QPixmap(file).scaled(size, Qt::KeepAspectRatio, Qt::FastTransformation);
    switch (widget) {
    case Lab_Ico:
        labIco->setPixmap(pix);
        break;
    case BtnMenu:
        btnMenu->setIcon(QIcon(file));
        break;
    case BtnMenu_Min:
        btnMenu_Min->setIcon(QIcon(file));
        break;
    case BtnMenu_Max:
        btnMenu_Max->setIcon(QIcon(file));
        break;
    case BtnMenu_Close:
        btnMenu_Close->setIcon(QIcon(file));
        break;
    default:
        break;
    }
}

void KitWidget::setVisible(KitWidget::Widget widget, bool visible)
{
    switch (widget) {
    case Lab_Ico:
        labIco->setVisible(visible);
        break;
    case BtnMenu:
        btnMenu->setVisible(visible);
        break;
    case BtnMenu_Min:
        btnMenu_Min->setVisible(visible);
        break;
    case BtnMenu_Max:
        btnMenu_Max->setVisible(visible);
        break;
    case BtnMenu_Close:
        btnMenu_Close->setVisible(visible);
        break;
    default:
        break;
    }
}

void KitWidget::setOnlyCloseBtn()
{
    btnMenu->setVisible(false);
    btnMenu_Min->setVisible(false);
    btnMenu_Max->setVisible(false);
}

void KitWidget::setTitleHeight(int height)
{
    widgetTitle->setFixedHeight(height);
}

void KitWidget::setBtnWidth(int width)
{
    labIco->setFixedWidth(width);
    btnMenu->setFixedWidth(width);
    btnMenu_Min->setFixedWidth(width);
    btnMenu_Max->setFixedWidth(width);
    btnMenu_Close->setFixedWidth(width);
}

void KitWidget::setTitle(const QString &title)
{
    if (this->title != title) {
        this->title = title;
        labTitle->setText(title);
        setWindowTitle(labTitle->text());
    }
}

void KitWidget::setAlignment(Qt::Alignment alignment)
{
    if (this->alignment != alignment) {
        this->alignment = alignment;
        labTitle->setAlignment(alignment);
    }
}

void KitWidget::setMinHide(bool minHide)
{
    this->minHide = minHide;
}

void KitWidget::setMainWidget(QWidget *mainWidget)
{
    if (this->mainWidget)
        return;
    widget->layout()->addWidget(mainWidget);
    resize(mainWidget->width(), mainWidget->height() + widgetTitle->height());
    this->mainWidget = mainWidget;
}
