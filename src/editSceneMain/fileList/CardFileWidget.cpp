#include "CardFileWidget.h"
#include "ui_CardFileWidget.h"

#include <QCursor>
#include <QDateTime>
#include <QDebug>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace {
void logLine(const QString &strText)
{
    qInfo().noquote() << QString("[%1]: ").arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss"))
                             + strText;
}
}

CCardFileWidget::CCardFileWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CardFileWidget)
{
    ui->setupUi(this);
    setFixedSize(80, 80);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setMenu();
}

CCardFileWidget::~CCardFileWidget()
{
    delete ui;
}

void CCardFileWidget::setCardPixmap(QPixmap &pixmap)
{
    m_pixmap = pixmap;
    ui->labelIcon->setPixmap(pixmap);
}

void CCardFileWidget::setCardName(const QString &strName)
{
    m_strName = strName;
    const QFontMetrics metrics(ui->labelName->font());
    ui->labelName->setText(metrics.elidedText(strName, Qt::ElideMiddle, width() - 3));
    ui->labelName->setAlignment(Qt::AlignCenter);
}

void CCardFileWidget::updateCardToopTip()
{
    const QString strTip = QStringList{QString("名称：%1 ").arg(m_strName),
                                       QString("时长：%1 ").arg(m_strDur),
                                       QString("宽高：%1 ").arg(m_strResolution),
                                       QString("路径：%1 ").arg(m_strFile)}
                               .join("\n");
    setToolTip(strTip);
    ui->labelName->setToolTip(strTip);
    setStyleSheet("QToolTip{border:1px solid rgb(118, 118, 118); background-color: #323232; "
                  "color:#AFAFAF; font-size:24px;}");
}

QString CCardFileWidget::getCardFile() const
{
    return m_strFile;
}

void CCardFileWidget::setAddBtn()
{
    if (m_pBtnAdd)
        return;
    m_pBtnAdd = new QPushButton(this);
    m_pBtnAdd->setFixedSize(24, 24);
    m_pBtnAdd->setToolTip("添加到节目");
    m_pBtnAdd->setStyleSheet("QPushButton{border-image: url(:/res/res/image/add-pressed.png);}");
    const QRect rtName = ui->labelName->geometry();
    m_pBtnAdd->move(rtName.right() - m_pBtnAdd->width() + 1, rtName.bottom() - m_pBtnAdd->height() + 1);
    m_pBtnAdd->hide();
    connect(m_pBtnAdd, &QPushButton::clicked, this, [this] { emit sig_addCard(this); });
}

void CCardFileWidget::setMenu()
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu menu(this);
        menu.setStyleSheet(
            "QMenu {background-color: rgb(57, 65, 69);color: rgb(255,255,255); font: 12pt;"
            "border: 1px solid rgb(172, 172, 172);border-radius: 3px; }"
            "QMenu::item {background-color: transparent;border-bottom: 1px solid rgb(172, 172, 172);"
            "padding:5px 10px;margin:0px 0px; }"
            "QMenu::item:selected {background-color: rgb(26, 171, 169); }");
        const QStringList entries = {tr("修改输入设置"),   tr("修改输入名称"),
                                     tr("修改标准分辨率"), tr("修改自定义分辨率"),
                                     tr("修改标准分辨率"), tr("修改自定义分辨率")};
        for (int i = 0; i < entries.size(); ++i) {
            QAction *pAction = menu.addAction(entries.at(i));
            if (i < 3) {
                const QString strText = entries.at(i);
                connect(pAction, &QAction::triggered, this, [strText] { logLine(strText); });
            }
        }
        menu.exec(mapToGlobal(pos));
    });
}

void CCardFileWidget::mousePressEvent(QMouseEvent *event)
{
    m_bSelect = true;
    if (event->button() == Qt::LeftButton)
        emit sig_startCardDrag(this);
    update();
    QWidget::mousePressEvent(event);
}

void CCardFileWidget::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
}

void CCardFileWidget::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
}

void CCardFileWidget::focusOutEvent(QFocusEvent *event)
{
    if (!rect().contains(mapFromGlobal(QCursor::pos()))) {
        m_bSelect = false;
        if (m_pBtnAdd)
            m_pBtnAdd->hide();
        update();
    } else {
        setFocus();
    }
    QWidget::focusOutEvent(event);
}

void CCardFileWidget::enterEvent(QEvent *event)
{
    updateCardToopTip();
    if (m_pBtnAdd)
        m_pBtnAdd->hide();
    QWidget::enterEvent(event);
}

void CCardFileWidget::leaveEvent(QEvent *event)
{
    if (m_pBtnAdd)
        m_pBtnAdd->hide();
    QWidget::leaveEvent(event);
}

void CCardFileWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF rt = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.setPen(QPen(QColor(134, 134, 134), 2));
    painter.drawRoundedRect(rt, 6, 6);
    if (m_bSelect) {
        painter.setPen(QPen(m_crSelect, 2));
        painter.drawRoundedRect(rt, 6, 6);
    }
    painter.end();
    QWidget::paintEvent(event);
}
