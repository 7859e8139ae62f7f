#include "kitinputbox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QMutex>
#include <QMutexLocker>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimer>
#include <QVBoxLayout>

#include "iconhelper.h"
#include "kitconfig.h"

KitInputBox *KitInputBox::self = nullptr;

KitInputBox *KitInputBox::Instance()
{
    if (!self) {
        static QMutex mutex;
        QMutexLocker locker(&mutex);
        if (!self)
            self = new KitInputBox;
    }
    return self;
}

KitInputBox::KitInputBox(QWidget *parent)
    : QDialog(parent)
{
    initControl();
    initForm();
}

KitInputBox::~KitInputBox()
{
    if (self == this)
        self = nullptr;
    delete widgetMain;
}

void KitInputBox::initControl()
{
    setObjectName(QStringLiteral("KitInputBox"));
    resize(280, 150);
    verticalLayout1 = new QVBoxLayout(this);
    verticalLayout1->setSpacing(0);
    verticalLayout1->setObjectName(QStringLiteral("verticalLayout1"));
    verticalLayout1->setContentsMargins(1, 1, 1, 1);

    widgetTitle = new QWidget(this);
    widgetTitle->setObjectName(QStringLiteral("widgetTitle"));
    widgetTitle->setSizePolicy(QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed));
    widgetTitle->setMinimumSize(QSize(0, 30));
    horizontalLayout1 = new QHBoxLayout(widgetTitle);
    horizontalLayout1->setSpacing(0);
    horizontalLayout1->setObjectName(QStringLiteral("horizontalLayout1"));
    horizontalLayout1->setContentsMargins(0, 0, 0, 0);

    labIco = new QLabel(widgetTitle);
    labIco->setObjectName(QStringLiteral("labIco"));
    labIco->setMinimumSize(QSize(30, 0));
    labIco->setAlignment(Qt::AlignCenter);
    horizontalLayout1->addWidget(labIco);

    labTitle = new QLabel(widgetTitle);
    labTitle->setObjectName(QStringLiteral("labTitle"));
    labTitle->setStyleSheet(QString());
    labTitle->setAlignment(Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter);
    labTitle->setText(QStringLiteral("输入框"));
    horizontalLayout1->addWidget(labTitle);

    labTime = new QLabel(widgetTitle);
    labTime->setObjectName(QStringLiteral("labTime"));
    labTime->setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred));
    labTime->setAlignment(Qt::AlignCenter);
    horizontalLayout1->addWidget(labTime);

    widgetMenu = new QWidget(widgetTitle);
    widgetMenu->setObjectName(QStringLiteral("widgetMenu"));
    horizontalLayout2 = new QHBoxLayout(widgetMenu);
    horizontalLayout2->setSpacing(0);
    horizontalLayout2->setObjectName(QStringLiteral("horizontalLayout2"));
    horizontalLayout2->setContentsMargins(0, 0, 0, 0);

    btnMenu_Close = new QPushButton(widgetMenu);
    btnMenu_Close->setObjectName(QStringLiteral("btnMenu_Close"));
    btnMenu_Close->setSizePolicy(QSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding));
    btnMenu_Close->setMinimumSize(QSize(30, 0));
    btnMenu_Close->setMaximumSize(QSize(30, 16777215));
    btnMenu_Close->setCursor(QCursor(Qt::ArrowCursor));
    btnMenu_Close->setFocusPolicy(Qt::NoFocus);
    btnMenu_Close->setFlat(true);
    horizontalLayout2->addWidget(btnMenu_Close);
    horizontalLayout1->addWidget(widgetMenu);
    verticalLayout1->addWidget(widgetTitle);

    widgetMain = new QWidget(this);
    widgetMain->setObjectName(QStringLiteral("widgetMain"));
    widgetMain->setStyleSheet(QString());
    verticalLayout2 = new QVBoxLayout(widgetMain);
    verticalLayout2->setSpacing(5);
    verticalLayout2->setObjectName(QStringLiteral("verticalLayout2"));
    verticalLayout2->setContentsMargins(5, 5, 5, 5);

    frame = new QFrame(widgetMain);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    verticalLayout3 = new QVBoxLayout(frame);
    verticalLayout3->setObjectName(QStringLiteral("verticalLayout3"));

    labInfo = new QLabel(frame);
    labInfo->setObjectName(QStringLiteral("labInfo"));
    labInfo->setScaledContents(false);
    labInfo->setWordWrap(true);
    verticalLayout3->addWidget(labInfo);

    txtValue = new QLineEdit(frame);
    txtValue->setObjectName(QStringLiteral("txtValue"));
    verticalLayout3->addWidget(txtValue);

    cboxValue = new QComboBox(frame);
    cboxValue->setObjectName(QStringLiteral("cboxValue"));
    verticalLayout3->addWidget(cboxValue);

    lay = new QHBoxLayout();
    lay->setObjectName(QStringLiteral("lay"));
    horizontalSpacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    lay->addItem(horizontalSpacer);
    btnOk = new QPushButton(frame);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setMinimumSize(QSize(80, 0));
    btnOk->setStyleSheet(QString());
    btnOk->setIcon(QIcon(":/res/res/image/btn_ok.png"));
    btnOk->setText(QStringLiteral("确定"));
    lay->addWidget(btnOk);
    btnCancel = new QPushButton(frame);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setMinimumSize(QSize(80, 0));
    btnCancel->setStyleSheet(QString());
    btnCancel->setIcon(QIcon(":/res/res/image/btn_close.png"));
    btnCancel->setText(QStringLiteral("取消"));
    lay->addWidget(btnCancel);
    verticalLayout3->addLayout(lay);

    verticalLayout2->addWidget(frame);
    verticalLayout1->addWidget(widgetMain);

    QWidget::setTabOrder(txtValue, btnOk);
    QWidget::setTabOrder(btnOk, btnCancel);

    connect(btnOk, &QPushButton::clicked, this, &KitInputBox::on_btnOk_clicked);
    connect(btnMenu_Close, &QPushButton::clicked, this, &KitInputBox::on_btnMenu_Close_clicked);
    connect(btnCancel, &QPushButton::clicked, this, &KitInputBox::on_btnMenu_Close_clicked);
}

void KitInputBox::initForm()
{
    IconHelper::Instance()->setIcon(labIco, KitConfig::IconMain, quint32(KitConfig::FontSize + 2));
    IconHelper::Instance()->setIcon(btnMenu_Close, KitConfig::IconClose, quint32(KitConfig::FontSize));

    setProperty("form", true);
    widgetTitle->setProperty("form", "title");
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowStaysOnTopHint);
    setFixedSize(280, 150);
    setWindowTitle(labTitle->text());

    const QList<QPushButton *> btns = frame->findChildren<QPushButton *>();
    for (QPushButton *btn : btns) {
        btn->setMinimumWidth(80);
        btn->setIconSize(QSize(18, 18));
    }

    closeSec = 0;
    currentSec = 0;

    QTimer *timer = new QTimer(this);
    timer->setInterval(1000);
    connect(timer, &QTimer::timeout, this, &KitInputBox::checkSec);
    timer->start();

    installEventFilter(this);
}

void KitInputBox::checkSec()
{
    if (closeSec == 0)
        return;

    if (currentSec < closeSec)
        currentSec++;
    else
        close();

    labTime->setText(QString("关闭倒计时 %1 s").arg(closeSec - currentSec + 1));
}

void KitInputBox::setParameter(const QString &title, int type, int closeSec, QString defaultValue,
                               bool pwd)
{
    this->closeSec = closeSec;
    currentSec = 0;
    labTime->clear();
    labInfo->setText(title);
    checkSec();

    // Each question sets up its own field: a shared box keeps neither the
    // hidden field, the typed text, the mask nor the choices of its last use.
    if (type == 0) {
        txtValue->setVisible(true);
        cboxValue->setVisible(false);
        txtValue->clear();
        txtValue->setPlaceholderText(defaultValue);
        txtValue->setEchoMode(pwd ? QLineEdit::Password : QLineEdit::Normal);
    } else if (type == 1) {
        txtValue->setVisible(false);
        cboxValue->setVisible(true);
        cboxValue->clear();
        cboxValue->addItems(defaultValue.split("|"));
    }
}

QString KitInputBox::getValue() const
{
    return value;
}

void KitInputBox::setIconMain(QChar str, quint32 size)
{
    IconHelper::Instance()->setIcon(labIco, str, size);
}

void KitInputBox::closeEvent(QCloseEvent *)
{
    closeSec = 0;
    currentSec = 0;
}

bool KitInputBox::eventFilter(QObject *watched, QEvent *event)
{
    static QPoint mousePoint;
    static bool mousePressed = false;

    if (event->type() == QEvent::MouseButtonPress) {
        QMouseEvent *mouseEvent = static_cast<QMouseEvent *>(event);
        if (mouseEvent->button() == Qt::LeftButton) {
            mousePressed = true;
            mousePoint = mouseEvent->globalPos() - pos();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        mousePressed = false;
        return true;
    } else if (event->type() == QEvent::MouseMove) {
        QMouseEvent *mouseEvent = static_cast<QMouseEvent *>(event);
        if (mousePressed && mouseEvent->buttons() != Qt::NoButton) {
            move(mouseEvent->globalPos() - mousePoint);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void KitInputBox::on_btnOk_clicked()
{
    // Visibility is read from the box's own settings, so that a box that was
    // never shown still answers from the field it set up.
    if (!txtValue->isHidden())
        value = txtValue->text();
    else if (!cboxValue->isHidden())
        value = cboxValue->currentText();

    done(ResultOk);
    close();
}

void KitInputBox::on_btnMenu_Close_clicked()
{
    done(ResultCancel);
    close();
}
