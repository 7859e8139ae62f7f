#include "CustomLabel.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

CCustomLabel::CCustomLabel(QWidget *parent)
    : QLabel(parent)
    , m_pLabelName(nullptr)
    , m_nId(-1)
    , m_nType(0)
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &CCustomLabel::slot_showContextMenu);

    m_pLabelName = new QLabel(this);
    m_pLabelName->setObjectName("programName");
    m_pLabelName->setFixedSize(75, 20);
    m_pLabelName->setAlignment(Qt::AlignCenter);
}

void CCustomLabel::setMaterialData(const QString &strFile, const QString &strIcon, int nType)
{
    m_strFile = strFile;
    m_strIcon = strIcon;
    m_nType = nType;
}

void CCustomLabel::setToolData(const QString &strFile, const QString &strIcon, toolType nType)
{
    m_strFile = strFile;
    m_strIcon = strIcon;
    m_nType = nType;
}

int CCustomLabel::getLabelype() const
{
    return m_nType;
}

QString CCustomLabel::getLabelFile() const
{
    return m_strFile;
}

QString CCustomLabel::getIconFile() const
{
    return m_strIcon;
}

void CCustomLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit sig_leftClicked();
    else if (event->button() == Qt::RightButton)
        emit sig_rightClicked(this);
    QLabel::mousePressEvent(event);
}

void CCustomLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit sig_release();
    QLabel::mouseReleaseEvent(event);
}

void CCustomLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit sig_doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

void CCustomLabel::slot_showContextMenu(const QPoint &pos)
{
    QMenu menu(this);
    menu.setStyleSheet(
        "QMenu {background-color: rgb(57, 65, 69);color: rgb(255,255,255); font: 14pt;border: 1px "
        "solid rgb(172, 172, 172);border-radius: 3px; }QMenu::item {background-color: "
        "transparent;border-bottom: 1px solid rgb(172, 172, 172);padding:5px 10px;margin:0px 0px; "
        "}QMenu::item:selected {background-color: rgb(26, 171, 169); }");
    menu.addAction("修改名称");
    menu.addAction("修改分辨率");
    menu.exec(mapToGlobal(pos)); // the entries do nothing
}

void CCustomLabel::drawFrame()
{
    QPainter painter(this);
    painter.setPen(QPen(Qt::red, 2.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.drawRect(0, 0, width(), height());
}
