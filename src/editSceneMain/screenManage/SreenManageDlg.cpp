#include "SreenManageDlg.h"
#include "ui_SreenManageDlg.h"

#include "BesMessageBox.h"
#include "FrameStyles.h"
#include "TitleHelper.h"
#include "globalObserver.h"

#include <QIntValidator>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>


CSreenManageDlg::CSreenManageDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CSreenManageDlg)
{
    ui->setupUi(this);
    initUIData();
    setWindowOpacity(0.95);
    setStyleSheet(QStringLiteral("QDialog{background-color:#232326;color: rgb(255, 255, 255);};"));
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                   | Qt::MaximizeUsingFullscreenGeometryHint);
    setMinimumSize(480, 300);
}

CSreenManageDlg::~CSreenManageDlg()
{
    delete ui;
}

void CSreenManageDlg::initUIData()
{
    m_titleHelper = new CTitleHelper(this, this);
    m_titleHelper->setTitleHeight(ui->widgetTitle->height());
    connect(ui->widgetTitle, &CTitleWidget::doubleClicked, this, &CSreenManageDlg::slot_doubleclick_max);
    ui->labelLogo->setPixmap(QPixmap(QStringLiteral(":/res/res/image/kelvo.ico"))
                                 .scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    ui->btnMin->setStyleSheet(QLatin1String(FrameStyles::kMin));
    ui->btnNormalMax->setStyleSheet(QLatin1String(FrameStyles::kNormal));
    ui->btnClose->setStyleSheet(QLatin1String(FrameStyles::kClose));

    // Position may be negative (a screen left of or above the primary one);
    // a size must be a positive number, so no zero size reaches the canvas.
    ui->editX->setValidator(new QIntValidator(-50000, 50000, this));
    ui->editY->setValidator(new QIntValidator(-50000, 50000, this));
    ui->editW->setValidator(new QIntValidator(1, 50000, this));
    ui->editH->setValidator(new QIntValidator(1, 50000, this));

    connect(ui->comboBoxCard, &QComboBox::textActivated, this,
            [this](const QString &strText) {
                const QStringList parts = strText.split(QLatin1Char('*'));
                m_strWidth = parts.value(0);
                m_strHeight = parts.value(1);
                ui->editW->setText(m_strWidth);
                ui->editH->setText(m_strHeight);
                m_nIndex = ui->comboBoxCard->currentIndex();
            });
    connect(ui->editName, &QLineEdit::textEdited, this, [this](const QString &s) { m_strName = s; });
    connect(ui->editX, &QLineEdit::textEdited, this, [this](const QString &s) { m_strX = s; });
    connect(ui->editY, &QLineEdit::textEdited, this, [this](const QString &s) { m_strY = s; });
    connect(ui->editW, &QLineEdit::textEdited, this, [this](const QString &s) { m_strWidth = s; });
    connect(ui->editH, &QLineEdit::textEdited, this, [this](const QString &s) { m_strHeight = s; });
}

void CSreenManageDlg::setDlgData(QList<QRect> &listScreen, QRect &rect)
{
    for (const QRect &screen : qAsConst(listScreen)) {
        ui->comboBoxCard->addItem(QStringLiteral("%1*%2").arg(screen.width()).arg(screen.height()));
        ui->editName->setText(QStringLiteral("screen1"));
    }
    m_strX = QString::number(rect.x());
    m_strY = QString::number(rect.y());
    m_strWidth = QString::number(rect.width());
    m_strHeight = QString::number(rect.height());
    ui->editX->setText(m_strX);
    ui->editY->setText(m_strY);
    ui->editW->setText(m_strWidth);
    ui->editH->setText(m_strHeight);
}

bool CSreenManageDlg::editedRect(QRect &rect)
{
    rect = QRect();
    rect.setX(m_strX.toInt());
    rect.setY(m_strY.toInt());
    bool bWidthOk = false;
    bool bHeightOk = false;
    const int nWidth = m_strWidth.toInt(&bWidthOk);
    const int nHeight = int(m_strHeight.toUInt(&bHeightOk));
    if (!bWidthOk || !bHeightOk || nWidth <= 0 || nHeight <= 0) {
        BesMessageBox::information(tr("屏幕管理"), tr("宽度和高度必须是大于0的整数"));
        (!bWidthOk || nWidth <= 0 ? ui->editW : ui->editH)->setFocus();
        return false;
    }
    rect.setWidth(nWidth);
    rect.setHeight(nHeight);
    return true;
}

void CSreenManageDlg::on_btnApply_clicked()
{
    QRect rect;
    if (!editedRect(rect))
        return;
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_resizePlayWnd"), Q_ARG(QRect &, rect));
}

void CSreenManageDlg::on_btnOk_clicked()
{
    QRect rect;
    if (!editedRect(rect))
        return;
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_resizePlayWnd"), Q_ARG(QRect &, rect));
    accept();
}

void CSreenManageDlg::on_btnCancel_clicked()
{
    reject();
}

void CSreenManageDlg::on_btnClose_clicked()
{
    close();
}

void CSreenManageDlg::on_btnMin_clicked()
{
    showMinimized();
}

void CSreenManageDlg::on_btnNormalMax_clicked()
{
    if (!isMaximized()) {
        showMaximized();
        ui->btnNormalMax->setStyleSheet(QLatin1String(FrameStyles::kMax));
    } else {
        showNormal();
        ui->btnNormalMax->setStyleSheet(QLatin1String(FrameStyles::kNormal));
    }
}

void CSreenManageDlg::slot_doubleclick_max()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void CSreenManageDlg::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRect(1, 1, width() - 2, height() - 2);
    painter.setPen(QColor(255, 170, 0));
    painter.drawPath(path);
    QDialog::paintEvent(event);
}

void CSreenManageDlg::region(const QPoint &cursorGlobalPoint)
{
    const QRect rect = this->rect();
    const QPoint tl = mapToGlobal(rect.topLeft());
    const QPoint rb = mapToGlobal(rect.bottomRight());
    const int x = cursorGlobalPoint.x();
    const int y = cursorGlobalPoint.y();
    const bool bLeft = x >= tl.x() && x <= tl.x() + border;
    const bool bRight = x >= rb.x() - border && x <= rb.x();
    const bool bTop = y >= tl.y() && y <= tl.y() + border;
    const bool bBottom = y >= rb.y() - border && y <= rb.y();

    if (bLeft && bTop) {
        dir = Screen_LEFTTOP;
        setCursor(Qt::SizeFDiagCursor);
    } else if (bRight && bBottom) {
        dir = Screen_RIGHTBOTTOM;
        setCursor(Qt::SizeFDiagCursor);
    } else if (bLeft && bBottom) {
        dir = Screen_LEFTBOTTOM;
        setCursor(Qt::SizeBDiagCursor);
    } else if (bRight && bTop) {
        dir = Screen_RIGHTTOP;
        setCursor(Qt::SizeBDiagCursor);
    } else if (bLeft) {
        dir = Screen_LEFT;
        setCursor(Qt::SizeHorCursor);
    } else if (bRight) {
        dir = Screen_RIGHT;
        setCursor(Qt::SizeHorCursor);
    } else if (bTop) {
        dir = Screen_UP;
        setCursor(Qt::SizeVerCursor);
    } else if (bBottom) {
        dir = Screen_DOWN;
        setCursor(Qt::SizeVerCursor);
    } else {
        dir = Screen_NONE;
        setCursor(Qt::ArrowCursor);
    }
}

void CSreenManageDlg::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    isLeftPressDown = true;
    if (dir == Screen_NONE)
        dragPosition = event->globalPos() - frameGeometry().topLeft();
}

void CSreenManageDlg::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint g = event->globalPos();
    const QRect rect = this->rect();
    const QPoint tl = mapToGlobal(rect.topLeft());
    const QPoint rb = mapToGlobal(rect.bottomRight());

    if (!isLeftPressDown) {
        region(g);
    } else if (dir == Screen_NONE) {
        move(g - dragPosition);
        event->accept();
    } else {
        QRect rMove(tl, rb);
        switch (dir) {
        case Screen_LEFT:
            if (rb.x() - g.x() <= minimumWidth())
                rMove.setX(tl.x());
            else
                rMove.setX(g.x());
            break;
        case Screen_RIGHT:
            rMove.setWidth(g.x() - tl.x());
            break;
        case Screen_UP:
            if (rb.y() - g.y() <= minimumHeight())
                rMove.setY(tl.y());
            else
                rMove.setY(g.y());
            break;
        case Screen_DOWN:
            rMove.setHeight(g.y() - tl.y());
            break;
        case Screen_LEFTTOP:
            rMove.setX(rb.x() - g.x() <= minimumWidth() ? tl.x() : g.x());
            rMove.setY(rb.y() - g.y() <= minimumHeight() ? tl.y() : g.y());
            break;
        case Screen_RIGHTTOP:
            rMove.setWidth(g.x() - tl.x());
            rMove.setY(rb.y() - g.y() <= minimumHeight() ? tl.y() : g.y());
            break;
        case Screen_LEFTBOTTOM:
            rMove.setX(rb.x() - g.x() >= minimumWidth() ? g.x() : tl.x());
            rMove.setHeight(g.y() - tl.y());
            break;
        case Screen_RIGHTBOTTOM:
            rMove.setWidth(g.x() - tl.x());
            rMove.setHeight(g.y() - tl.y());
            break;
        default:
            break;
        }
        setGeometry(rMove);
    }
    QDialog::mouseMoveEvent(event);
}

void CSreenManageDlg::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        isLeftPressDown = false;
        if (dir != Screen_NONE) {
            releaseMouse();
            setCursor(Qt::ArrowCursor);
        }
    }
    QDialog::mouseReleaseEvent(event);
}
