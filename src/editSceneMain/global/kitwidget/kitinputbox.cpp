#include "kitinputbox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QMutexLocker>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimer>
#include <QVBoxLayout>

#include "iconhelper.h"
#include "kitboxframe.h"

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

    titleRow = KitBoxFrame::buildTitleRow(this, "horizontalLayout1", "horizontalLayout2");
    titleRow.labTitle->setText(QStringLiteral("输入框"));
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
    KitBoxFrame::addOkCancel(frame, lay, btnOk, btnCancel);
    verticalLayout3->addLayout(lay);

    verticalLayout2->addWidget(frame);
    verticalLayout1->addWidget(widgetMain);

    QWidget::setTabOrder(txtValue, btnOk);
    QWidget::setTabOrder(btnOk, btnCancel);

    connect(btnOk, &QPushButton::clicked, this, &KitInputBox::on_btnOk_clicked);
    connect(titleRow.btnMenu_Close, &QPushButton::clicked, this, &KitInputBox::on_btnMenu_Close_clicked);
    connect(btnCancel, &QPushButton::clicked, this, &KitInputBox::on_btnMenu_Close_clicked);
}

void KitInputBox::initForm()
{
    KitBoxFrame::setUpForm(this, titleRow, frame);

    closeSec = 0;
    currentSec = 0;

    QTimer *timer = new QTimer(this);
    timer->setInterval(1000);
    connect(timer, &QTimer::timeout, this, &KitInputBox::checkSec);
    timer->start();
}

void KitInputBox::checkSec()
{
    KitBoxFrame::countDown(this, closeSec, currentSec, titleRow.labTime);
}

void KitInputBox::setParameter(const QString &title, int type, int closeSec, QString defaultValue,
                               bool pwd)
{
    this->closeSec = closeSec;
    currentSec = 0;
    titleRow.labTime->clear();
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
    IconHelper::Instance()->setIcon(titleRow.labIco, str, size);
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

    if (KitBoxFrame::dragFilter(this, event, mousePoint, mousePressed))
        return true;
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
