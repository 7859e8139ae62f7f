#include "kitmessagebox.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QMutex>
#include <QMutexLocker>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimer>
#include <QVBoxLayout>

#include "iconhelper.h"
#include "kitconfig.h"

KitMessageBox *KitMessageBox::self = nullptr;

KitMessageBox *KitMessageBox::Instance()
{
    if (!self) {
        static QMutex mutex;
        QMutexLocker locker(&mutex);
        if (!self)
            self = new KitMessageBox;
    }
    return self;
}

KitMessageBox::KitMessageBox(QWidget *parent)
    : QDialog(parent)
{
    initControl();
    initForm();
    setStyleSheet("QDialog{background-color:#232326;color: rgb(128, 128, 128);};");
}

KitMessageBox::~KitMessageBox()
{
    if (self == this)
        self = nullptr;
    delete widgetMain;
}

void KitMessageBox::initControl()
{
    setObjectName(QStringLiteral("KitMessageBox"));
    resize(280, 150);
    verticalLayout1 = new QVBoxLayout(this);
    verticalLayout1->setSpacing(0);
    verticalLayout1->setObjectName(QStringLiteral("verticalLayout1"));
    verticalLayout1->setContentsMargins(1, 1, 1, 1);

    widgetTitle = new QWidget(this);
    widgetTitle->setObjectName(QStringLiteral("widgetTitle"));
    QSizePolicy titlePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    widgetTitle->setSizePolicy(titlePolicy);
    widgetTitle->setMinimumSize(QSize(0, 30));
    horizontalLayout3 = new QHBoxLayout(widgetTitle);
    horizontalLayout3->setSpacing(0);
    horizontalLayout3->setObjectName(QStringLiteral("horizontalLayout3"));
    horizontalLayout3->setContentsMargins(0, 0, 0, 0);

    labIco = new QLabel(widgetTitle);
    labIco->setObjectName(QStringLiteral("labIco"));
    labIco->setMinimumSize(QSize(30, 0));
    labIco->setAlignment(Qt::AlignCenter);
    horizontalLayout3->addWidget(labIco);

    labTitle = new QLabel(widgetTitle);
    labTitle->setObjectName(QStringLiteral("labTitle"));
    labTitle->setStyleSheet(QString());
    labTitle->setAlignment(Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter);
    horizontalLayout3->addWidget(labTitle);

    labTime = new QLabel(widgetTitle);
    labTime->setObjectName(QStringLiteral("labTime"));
    labTime->setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred));
    labTime->setAlignment(Qt::AlignCenter);
    horizontalLayout3->addWidget(labTime);

    widgetMenu = new QWidget(widgetTitle);
    widgetMenu->setObjectName(QStringLiteral("widgetMenu"));
    horizontalLayout4 = new QHBoxLayout(widgetMenu);
    horizontalLayout4->setSpacing(0);
    horizontalLayout4->setObjectName(QStringLiteral("horizontalLayout4"));
    horizontalLayout4->setContentsMargins(0, 0, 0, 0);

    btnMenu_Close = new QPushButton(widgetMenu);
    btnMenu_Close->setObjectName(QStringLiteral("btnMenu_Close"));
    btnMenu_Close->setSizePolicy(QSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding));
    btnMenu_Close->setMinimumSize(QSize(30, 0));
    btnMenu_Close->setMaximumSize(QSize(30, 16777215));
    btnMenu_Close->setCursor(QCursor(Qt::ArrowCursor));
    btnMenu_Close->setFocusPolicy(Qt::NoFocus);
    btnMenu_Close->setFlat(true);
    horizontalLayout4->addWidget(btnMenu_Close);
    horizontalLayout3->addWidget(widgetMenu);
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
    verticalLayout4 = new QVBoxLayout(frame);
    verticalLayout4->setObjectName(QStringLiteral("verticalLayout4"));
    QMargins margins = verticalLayout4->contentsMargins();
    margins.setTop(9);
    verticalLayout4->setContentsMargins(margins);

    horizontalLayout1 = new QHBoxLayout();
    horizontalLayout1->setObjectName(QStringLiteral("horizontalLayout1"));
    labIcoMain = new QLabel(frame);
    labIcoMain->setObjectName(QStringLiteral("labIcoMain"));
    labIcoMain->setMinimumSize(QSize(30, 30));
    labIcoMain->setMaximumSize(QSize(30, 30));
    labIcoMain->setStyleSheet("border-image: url(:/res/res/image/msg_info.png);");
    horizontalLayout1->addWidget(labIcoMain);
    horizontalSpacer1 = new QSpacerItem(5, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    horizontalLayout1->addItem(horizontalSpacer1);
    labInfo = new QLabel(frame);
    labInfo->setObjectName(QStringLiteral("labInfo"));
    labInfo->setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding));
    labInfo->setMinimumSize(QSize(0, 33));
    labInfo->setScaledContents(false);
    labInfo->setWordWrap(true);
    horizontalLayout1->addWidget(labInfo);
    verticalLayout4->addLayout(horizontalLayout1);

    horizontalLayout2 = new QHBoxLayout();
    horizontalLayout2->setObjectName(QStringLiteral("horizontalLayout2"));
    horizontalSpacer2 = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    horizontalLayout2->addItem(horizontalSpacer2);
    btnOk = new QPushButton(frame);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setMinimumSize(QSize(80, 0));
    btnOk->setStyleSheet(QString());
    btnOk->setIcon(QIcon(":/res/res/image/btn_ok.png"));
    btnOk->setText(QStringLiteral("确定"));
    horizontalLayout2->addWidget(btnOk);
    btnCancel = new QPushButton(frame);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setMinimumSize(QSize(80, 0));
    btnCancel->setStyleSheet(QString());
    btnCancel->setIcon(QIcon(":/res/res/image/btn_close.png"));
    btnCancel->setText(QStringLiteral("取消"));
    horizontalLayout2->addWidget(btnCancel);
    verticalLayout4->addLayout(horizontalLayout2);

    verticalLayout2->addWidget(frame);
    verticalLayout1->addWidget(widgetMain);

    widgetTitle->raise();
    widgetMain->raise();
    frame->raise();

    connect(btnOk, &QPushButton::clicked, this, &KitMessageBox::on_btnOk_clicked);
    connect(btnMenu_Close, &QPushButton::clicked, this, &KitMessageBox::on_btnMenu_Close_clicked);
    connect(btnCancel, &QPushButton::clicked, this, &KitMessageBox::on_btnMenu_Close_clicked);
}

void KitMessageBox::initForm()
{
    IconHelper::Instance()->setIcon(labIco, KitConfig::IconMain, quint32(KitConfig::FontSize + 2));
    IconHelper::Instance()->setIcon(btnMenu_Close, KitConfig::IconClose, quint32(KitConfig::FontSize));

    setProperty("form", true);
    widgetTitle->setProperty("form", "title");
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowStaysOnTopHint);
    setFixedSize(280, 150);
    setWindowTitle(labTitle->text());
    labIcoMain->setFixedSize(30, 30);

    const QList<QPushButton *> btns = frame->findChildren<QPushButton *>();
    for (QPushButton *btn : btns) {
        btn->setMinimumWidth(80);
        btn->setIconSize(QSize(18, 18));
    }

    closeSec = 0;
    currentSec = 0;

    QTimer *timer = new QTimer(this);
    timer->setInterval(1000);
    connect(timer, &QTimer::timeout, this, &KitMessageBox::checkSec);
    timer->start();

    installEventFilter(this);
}

void KitMessageBox::checkSec()
{
    if (closeSec == 0)
        return;

    if (currentSec < closeSec)
        currentSec++;
    else
        close();

    labTime->setText(QString("关闭倒计时 %1 s").arg(closeSec - currentSec + 1));
}

void KitMessageBox::setMessage(const QString &msg, int type, int closeSec)
{
    this->closeSec = closeSec;
    currentSec = 0;
    labTime->clear();
    checkSec();

    // Each kind sets the Cancel button itself: a shared box keeps no button
    // state from its previous message.
    if (type == 0) {
        labIcoMain->setStyleSheet("border-image: url(:/res/res/image/msg_info.png);");
        btnCancel->setVisible(false);
        labTitle->setText("提示");
    } else if (type == 1) {
        labIcoMain->setStyleSheet("border-image: url(:/res/res/image/msg_question.png);");
        btnCancel->setVisible(true);
        labTitle->setText("询问");
    } else if (type == 2) {
        labIcoMain->setStyleSheet("border-image: url(:/res/res/image/msg_error.png);");
        btnCancel->setVisible(false);
        labTitle->setText("错误");
    }

    labInfo->setText(msg);
    setWindowTitle(labTitle->text());
}

void KitMessageBox::setIconMain(QChar str, quint32 size)
{
    IconHelper::Instance()->setIcon(labIco, str, size);
}

void KitMessageBox::closeEvent(QCloseEvent *)
{
    closeSec = 0;
    currentSec = 0;
}

bool KitMessageBox::eventFilter(QObject *watched, QEvent *event)
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

void KitMessageBox::on_btnOk_clicked()
{
    done(ResultOk);
    close();
}

void KitMessageBox::on_btnMenu_Close_clicked()
{
    done(ResultCancel);
    close();
}
