#include "LockWidget.h"
#include "ui_LockWidget.h"

#include "globalObserver.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>
#include <QKeyEvent>

CLockWidget::CLockWidget(QRect rect, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::LockWidget)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setMouseTracking(true);
    setGeometry(rect);
    setWindowOpacity(0.8);
    QColor black(0, 0, 0, 255);
    setBgColor(black);
    ui->pushButtonLock->setFixedSize(250, 250);
    ui->pushButtonLock->setStyleSheet(QStringLiteral(
        "QPushButton{background:transparent;border-image: url(:/res/res/videoTool/unlock-normal.png);}"
        "QPushButton:hover{background:transparent;border-image: url(:/res/res/videoTool/unlock-hover.png);}"
        "QPushButton:pressed{background:transparent;border-image: url(:/res/res/videoTool/unlock-hover.png);}"));
}

CLockWidget::~CLockWidget()
{
    delete ui;
}

void CLockWidget::setOpacity(double dOpacity)
{
    setWindowOpacity(dOpacity);
}

void CLockWidget::setBgColor(QColor &color)
{
    QPalette pal = palette();
    pal.setBrush(QPalette::Window, QBrush(color));
    setPalette(pal);
    setAutoFillBackground(true);
}

void CLockWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier) {
        qInfo().noquote() << QStringLiteral("[%1]: ").arg(QDateTime::currentDateTime().toString(
                                 QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                 + QStringLiteral("alt + F4 关闭窗口");
        event->ignore();
    }
    QWidget::keyPressEvent(event);
}

// Neither the window system nor Alt+F4 closes the overlay.
void CLockWidget::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

void CLockWidget::on_pushButtonLock_clicked()
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->notify(QStringLiteral("slot_unLock"));
    bool bLock = false;
    pHub->notify(QStringLiteral("slot_setLock"), Q_ARG(bool, bLock));
}
