#include "RollLabel.h"

#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimerEvent>

CRollLabel::CRollLabel(QWidget *parent)
    : QLabel(parent)
    , m_nInterval(20)
    , m_nOffset(0)
    , m_nTextWidth(0)
    , m_nLabelWidth(0)
    , m_nDirection(RightToLeft)
    , m_pLineEdit(nullptr)
{
}

CRollLabel::ScrollDirection CRollLabel::getDirection() const
{
    return m_nDirection;
}

void CRollLabel::setDirection(ScrollDirection d)
{
    m_nDirection = d;
    m_nOffset = restOffset();
}

int CRollLabel::getInterval() const
{
    return m_nInterval;
}

void CRollLabel::setInterval(int nMs)
{
    m_nInterval = nMs;
}

void CRollLabel::startRoll()
{
    m_scrollTimer.start(m_nInterval, this);
}

void CRollLabel::stopRoll()
{
    m_scrollTimer.stop();
    m_nOffset = restOffset();
    update();
}

int CRollLabel::restOffset() const
{
    return m_nDirection == RightToLeft ? m_nLabelWidth : m_nTextWidth;
}

void CRollLabel::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_scrollTimer.timerId()) {
        QLabel::timerEvent(event);
        return;
    }
    ++m_nOffset;
    if (m_nOffset > m_nLabelWidth + m_nTextWidth)
        m_nOffset = 5;
    update();
}

void CRollLabel::paintEvent(QPaintEvent *event)
{
    event->accept();
    QPainter painter(this);
    const QFontMetrics fm = painter.fontMetrics();
    const int tw = fm.horizontalAdvance(text());
    const int th = fm.height();
    const int y = (height() + th) / 2 - fm.descent();
    if (tw != m_nTextWidth && tw >= 1) {
        m_nTextWidth = tw;
        m_nOffset = restOffset();
        update();
        return;
    }
    const int x = m_nDirection == RightToLeft ? m_nLabelWidth - m_nOffset : m_nOffset - m_nTextWidth;
    painter.drawText(x, y, text());
}

void CRollLabel::resizeEvent(QResizeEvent *event)
{
    const int nNewWidth = event->size().width();
    if (nNewWidth > 10) {
        const int nOldWidth = m_nLabelWidth;
        m_nLabelWidth = nNewWidth;
        if (nNewWidth < nOldWidth)
            m_nOffset = restOffset();
    }
    QLabel::resizeEvent(event);
}

void CRollLabel::addLineEdit()
{
    m_pLineEdit = new QLineEdit(this);
    m_pLineEdit->setFixedSize(size());
    m_pLineEdit->setToolTip("添加到节目");
    m_pLineEdit->setStyleSheet("QLineEdit{background:rgba(68,68,68,200);border:1px solid rgba(0,0,0,0);}");
    m_pLineEdit->show();
}
