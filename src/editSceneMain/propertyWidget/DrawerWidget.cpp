#include "DrawerWidget.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QVBoxLayout>

CDrawerButton::CDrawerButton(QWidget *parent)
    : QPushButton(parent)
{
    m_imageLabel = new QLabel(this);
    m_imageLabel->setObjectName("imageLabel");
    m_imageLabel->setFixedWidth(60);
    m_imageLabel->setAlignment(Qt::AlignCenter);
    m_textLabel = new QLabel(this);
    m_textLabel->setObjectName("textLabel");
    m_textLabel->setStyleSheet("color:rgb(250,250,250);");
    QFont font(QString::fromUtf8("宋体"), 13, QFont::Normal);
    m_textLabel->setFont(font);
    auto *pLayout = new QHBoxLayout(this);
    pLayout->setSpacing(4);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(m_imageLabel);
    pLayout->addWidget(m_textLabel);
}

void CDrawerButton::SetImageLabel(const QPixmap &pixmap)
{
    m_imageLabel->setPixmap(pixmap);
}

void CDrawerButton::SetTextLabel(const QString &strText)
{
    m_textLabel->setText(strText);
}

CDrawerWidget::CDrawerWidget(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("drawerWidget");
    setStyleSheet("QWidget#drawerWidget{border:1px solid red}");
    pixmap_open = QPixmap(":/res/res/image/open.png");
    pixmap_close = QPixmap(":/res/res/image/close.png");
    mainLayout = new QVBoxLayout(this);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    scrollArea = new QScrollArea(this);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setWidgetResizable(true);
    mainLayout->addWidget(scrollArea);
    scrollWidget = new QWidget(this);
    layout_widgetScroll = new QVBoxLayout(scrollWidget);
    layout_widgetScroll->setContentsMargins(0, 0, 0, 0);
    layout_widgetScroll->setSpacing(0);
    // In place while it is empty, so that filling it moves nothing.
    scrollArea->setWidget(scrollWidget);
}

CDrawerWidget::~CDrawerWidget()
{
    // The sections belong to the drawer, wherever they are parented now.
    for (CDrawerButton *pButton : Buttons)
        delete pButton;
    Buttons.clear();
    QList<QPointer<QWidget>> listWidgets;
    for (QWidget *pWidget : Widgets)
        listWidgets.append(pWidget); // a widget handed over twice is deleted once
    for (const QPointer<QWidget> &pWidget : listWidgets)
        delete pWidget.data();
    Widgets.clear();
}

void CDrawerWidget::add_locker(const QStringList &titles, const QList<QWidget *> &widgets)
{
    if (titles.size() != widgets.size())
        return;
    for (int i = 0; i < titles.size(); ++i) {
        m_Button = new CDrawerButton(scrollWidget);
        m_Button->SetTextLabel(titles.at(i));
        m_Button->SetImageLabel(pixmap_open);
        m_Button->setStyleSheet("#LockerButton{background-color:rgba(195,195,195,0.4)}"
                                "#LockerButton:hover{background-color:rgba(195,195,195,0.4)}"
                                "#LockerButton:pressed{background-color:rgba(127,127,127,0.4)}");
        connect(m_Button, &QPushButton::clicked, this, &CDrawerWidget::slot_btn);
        Buttons.append(m_Button);
        Widgets.append(widgets.at(i));
    }
    deleteAllitemsOfLayout(layout_widgetScroll);
    for (int i = 0; i < Buttons.size(); ++i) {
        layout_widgetScroll->addWidget(Buttons.at(i));
        layout_widgetScroll->addWidget(Widgets.at(i));
    }
    layout_widgetScroll->addStretch();
}

void CDrawerWidget::deleteAllitemsOfLayout(QLayout *layout)
{
    if (!layout)
        return;
    while (QLayoutItem *pItem = layout->takeAt(0)) {
        if (QWidget *pWidget = pItem->widget())
            pWidget->setParent(nullptr);
        else if (QLayout *pChild = pItem->layout())
            deleteAllitemsOfLayout(pChild);
        delete pItem;
    }
}

void CDrawerWidget::slot_btn(bool bChecked)
{
    Q_UNUSED(bChecked)
    auto *pButton = qobject_cast<CDrawerButton *>(sender());
    const int nIndex = Buttons.lastIndexOf(pButton);
    if (!pButton || nIndex < 0)
        return;
    if (pButton->m_bIsOpen) {
        pButton->SetImageLabel(pixmap_close);
        Widgets.at(nIndex)->hide();
    } else {
        pButton->SetImageLabel(pixmap_open);
        Widgets.at(nIndex)->show();
    }
    pButton->m_bIsOpen = !pButton->m_bIsOpen;
}
