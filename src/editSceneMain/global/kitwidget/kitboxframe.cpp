#include "kitboxframe.h"

#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpacerItem>

#include "iconhelper.h"
#include "kitconfig.h"

namespace KitBoxFrame {

TitleRow buildTitleRow(QDialog *pBox, const char *pszTitleLayout, const char *pszMenuLayout)
{
    TitleRow row;
    row.widgetTitle = new QWidget(pBox);
    row.widgetTitle->setObjectName(QStringLiteral("widgetTitle"));
    row.widgetTitle->setSizePolicy(QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed));
    row.widgetTitle->setMinimumSize(QSize(0, 30));
    row.layTitle = new QHBoxLayout(row.widgetTitle);
    row.layTitle->setSpacing(0);
    row.layTitle->setObjectName(QString::fromLatin1(pszTitleLayout));
    row.layTitle->setContentsMargins(0, 0, 0, 0);

    row.labIco = new QLabel(row.widgetTitle);
    row.labIco->setObjectName(QStringLiteral("labIco"));
    row.labIco->setMinimumSize(QSize(30, 0));
    row.labIco->setAlignment(Qt::AlignCenter);
    row.layTitle->addWidget(row.labIco);

    row.labTitle = new QLabel(row.widgetTitle);
    row.labTitle->setObjectName(QStringLiteral("labTitle"));
    row.labTitle->setStyleSheet(QString());
    row.labTitle->setAlignment(Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter);
    row.layTitle->addWidget(row.labTitle);

    row.labTime = new QLabel(row.widgetTitle);
    row.labTime->setObjectName(QStringLiteral("labTime"));
    row.labTime->setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred));
    row.labTime->setAlignment(Qt::AlignCenter);
    row.layTitle->addWidget(row.labTime);

    row.widgetMenu = new QWidget(row.widgetTitle);
    row.widgetMenu->setObjectName(QStringLiteral("widgetMenu"));
    row.layMenu = new QHBoxLayout(row.widgetMenu);
    row.layMenu->setSpacing(0);
    row.layMenu->setObjectName(QString::fromLatin1(pszMenuLayout));
    row.layMenu->setContentsMargins(0, 0, 0, 0);

    row.btnMenu_Close = new QPushButton(row.widgetMenu);
    row.btnMenu_Close->setObjectName(QStringLiteral("btnMenu_Close"));
    row.btnMenu_Close->setSizePolicy(QSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding));
    row.btnMenu_Close->setMinimumSize(QSize(30, 0));
    row.btnMenu_Close->setMaximumSize(QSize(30, 16777215));
    row.btnMenu_Close->setCursor(QCursor(Qt::ArrowCursor));
    row.btnMenu_Close->setFocusPolicy(Qt::NoFocus);
    row.btnMenu_Close->setFlat(true);
    row.layMenu->addWidget(row.btnMenu_Close);
    row.layTitle->addWidget(row.widgetMenu);
    return row;
}

static QPushButton *newBoxButton(QFrame *pFrame, const QString &name, const QString &icon,
                                 const QString &text)
{
    QPushButton *pBtn = new QPushButton(pFrame);
    pBtn->setObjectName(name);
    pBtn->setMinimumSize(QSize(80, 0));
    pBtn->setStyleSheet(QString());
    pBtn->setIcon(QIcon(icon));
    pBtn->setText(text);
    return pBtn;
}

void addOkCancel(QFrame *pFrame, QHBoxLayout *pRow, QPushButton *&pBtnOk, QPushButton *&pBtnCancel)
{
    pBtnOk = newBoxButton(pFrame, QStringLiteral("btnOk"), QStringLiteral(":/res/res/image/btn_ok.png"),
                          QStringLiteral("确定"));
    pRow->addWidget(pBtnOk);
    pBtnCancel = newBoxButton(pFrame, QStringLiteral("btnCancel"),
                              QStringLiteral(":/res/res/image/btn_close.png"), QStringLiteral("取消"));
    pRow->addWidget(pBtnCancel);
}

void setUpForm(QDialog *pBox, const TitleRow &title, QFrame *pFrame)
{
    IconHelper::Instance()->setIcon(title.labIco, KitConfig::IconMain, quint32(KitConfig::FontSize + 2));
    IconHelper::Instance()->setIcon(title.btnMenu_Close, KitConfig::IconClose, quint32(KitConfig::FontSize));

    pBox->setProperty("form", true);
    title.widgetTitle->setProperty("form", "title");
    pBox->setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint | Qt::WindowStaysOnTopHint);
    pBox->setFixedSize(280, 150);
    pBox->setWindowTitle(title.labTitle->text());

    const QList<QPushButton *> btns = pFrame->findChildren<QPushButton *>();
    for (QPushButton *btn : btns) {
        btn->setMinimumWidth(80);
        btn->setIconSize(QSize(18, 18));
    }

    pBox->installEventFilter(pBox);
}

void countDown(QDialog *pBox, const int &closeSec, int &currentSec, QLabel *pLabTime)
{
    if (closeSec == 0)
        return;

    if (currentSec < closeSec)
        currentSec++;
    else
        pBox->close();

    pLabTime->setText(QString("关闭倒计时 %1 s").arg(closeSec - currentSec + 1));
}

bool dragFilter(QWidget *pBox, QEvent *pEvent, QPoint &mousePoint, bool &mousePressed)
{
    if (pEvent->type() == QEvent::MouseButtonPress) {
        QMouseEvent *mouseEvent = static_cast<QMouseEvent *>(pEvent);
        if (mouseEvent->button() == Qt::LeftButton) {
            mousePressed = true;
            mousePoint = mouseEvent->globalPos() - pBox->pos();
            return true;
        }
    } else if (pEvent->type() == QEvent::MouseButtonRelease) {
        mousePressed = false;
        return true;
    } else if (pEvent->type() == QEvent::MouseMove) {
        QMouseEvent *mouseEvent = static_cast<QMouseEvent *>(pEvent);
        if (mousePressed && mouseEvent->buttons() != Qt::NoButton) {
            pBox->move(mouseEvent->globalPos() - mousePoint);
            return true;
        }
    }
    return false;
}

} // namespace KitBoxFrame
