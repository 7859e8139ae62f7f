#include "kitmessagebox.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMutex>
#include <QMutexLocker>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimer>
#include <QVBoxLayout>

#include "iconhelper.h"
#include "kitboxframe.h"

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

    titleRow = KitBoxFrame::buildTitleRow(this, "horizontalLayout3", "horizontalLayout4");
    verticalLayout1->addWidget(titleRow.widgetTitle);

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
    KitBoxFrame::addOkCancel(frame, horizontalLayout2, btnOk, btnCancel);
    verticalLayout4->addLayout(horizontalLayout2);

    verticalLayout2->addWidget(frame);
    verticalLayout1->addWidget(widgetMain);

    titleRow.widgetTitle->raise();
    widgetMain->raise();
    frame->raise();

    connect(btnOk, &QPushButton::clicked, this, &KitMessageBox::on_btnOk_clicked);
    connect(titleRow.btnMenu_Close, &QPushButton::clicked, this, &KitMessageBox::on_btnMenu_Close_clicked);
    connect(btnCancel, &QPushButton::clicked, this, &KitMessageBox::on_btnMenu_Close_clicked);
}

void KitMessageBox::initForm()
{
    KitBoxFrame::setUpForm(this, titleRow, frame);
    labIcoMain->setFixedSize(30, 30);

    closeSec = 0;
    currentSec = 0;

    QTimer *timer = new QTimer(this);
    timer->setInterval(1000);
    connect(timer, &QTimer::timeout, this, &KitMessageBox::checkSec);
    timer->start();
}

void KitMessageBox::checkSec()
{
    KitBoxFrame::countDown(this, closeSec, currentSec, titleRow.labTime);
}

void KitMessageBox::setMessage(const QString &msg, int type, int closeSec)
{
    this->closeSec = closeSec;
    currentSec = 0;
    titleRow.labTime->clear();
    checkSec();

    // Each kind sets the Cancel button itself: a shared box keeps no button
    // state from its previous message.
    if (type == 0) {
        labIcoMain->setStyleSheet("border-image: url(:/res/res/image/msg_info.png);");
        btnCancel->setVisible(false);
        titleRow.labTitle->setText("提示");
    } else if (type == 1) {
        labIcoMain->setStyleSheet("border-image: url(:/res/res/image/msg_question.png);");
        btnCancel->setVisible(true);
        titleRow.labTitle->setText("询问");
    } else if (type == 2) {
        labIcoMain->setStyleSheet("border-image: url(:/res/res/image/msg_error.png);");
        btnCancel->setVisible(false);
        titleRow.labTitle->setText("错误");
    }

    labInfo->setText(msg);
    setWindowTitle(titleRow.labTitle->text());
}

void KitMessageBox::setIconMain(QChar str, quint32 size)
{
    IconHelper::Instance()->setIcon(titleRow.labIco, str, size);
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

    if (KitBoxFrame::dragFilter(this, event, mousePoint, mousePressed))
        return true;
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
