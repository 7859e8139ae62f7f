#include "SwitchButton.h"

#include "globalObserver.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

SwitchButton::SwitchButton(QWidget *parent)
    : QWidget(parent)
    , m_bgColorOn(QColor(21, 156, 119))
    , m_bgColorOff(QColor(111, 122, 126))
    , m_sliderColorOn(Qt::white)
    , m_sliderColorOff(Qt::white)
    , m_textColor(Qt::white)
    , m_textOn(tr("可连接"))
    , m_textOff(tr("已断开"))
    , m_font(QStringLiteral("Microsoft Yahei"), 12)
{
    m_timer = new QTimer(this);
    m_timer->setInterval(30);
    connect(m_timer, &QTimer::timeout, this, &SwitchButton::UpdateValue);
    setToolTip(tr("设备连接"));
}

SwitchButton::~SwitchButton() = default;

bool SwitchButton::isSliding() const
{
    return m_timer->isActive();
}

QSize SwitchButton::sizeHint() const
{
    return QSize(105, 30);
}

void SwitchButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    drawBg(&painter);
    drawText(&painter);
    drawSlider(&painter);
}

void SwitchButton::drawBg(QPainter *painter)
{
    painter->save();
    painter->setPen(Qt::NoPen);
    QColor bgColor = m_checked ? m_bgColorOn : m_bgColorOff;
    if (isEnabled())
        bgColor.setAlpha(140);
    painter->setBrush(bgColor);

    const int side = qMin(width(), height());
    QPainterPath path1;
    path1.addEllipse(0, 0, side, side);
    QPainterPath path2;
    path2.addEllipse(width() - side, 0, side, side);
    QPainterPath path3;
    path3.addRect(side / 2, 0, width() - side, height());
    painter->drawPath(path1.united(path2).united(path3));
    painter->restore();
}

void SwitchButton::drawText(QPainter *painter)
{
    // The state texts are drawn whatever m_showText says.
    painter->save();
    painter->setFont(m_font);
    painter->setPen(m_textColor);
    const int w = qMin(width(), height()) - 2 * m_space - 5;
    if (m_checked)
        painter->drawText(QRect(0, 0, width() - w, height()), Qt::AlignCenter, m_textOn);
    else
        painter->drawText(QRect(w, 0, width() - w, height()), Qt::AlignCenter, m_textOff);
    painter->restore();
}

void SwitchButton::drawSlider(QPainter *painter)
{
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(m_checked ? m_sliderColorOn : m_sliderColorOff);
    const int d = qMin(width(), height()) - 2 * m_space;
    painter->drawEllipse(QRect(m_space + m_startX, m_space, d, d));
    painter->restore();
}

void SwitchButton::mousePressEvent(QMouseEvent *)
{
    m_checked = !m_checked;
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_switchDeviceConnect"),
                                                Q_ARG(QString, m_strSerial),
                                                Q_ARG(bool, m_checked),
                                                Q_ARG(int, m_nID));
    m_step = width() / 10;
    m_endX = m_checked ? width() - height() : 0;
    if (m_animation) {
        m_timer->start();
    } else {
        m_startX = m_endX;
        update();
    }
}

// A language switch re-translates the state texts and the tool tip in place.
void SwitchButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        m_textOn = tr("可连接");
        m_textOff = tr("已断开");
        setToolTip(tr("设备连接"));
        update();
    }
    QWidget::changeEvent(event);
}

void SwitchButton::UpdateValue()
{
    if (m_checked && m_startX < m_endX) {
        m_startX += m_step;
    } else if (!m_checked && m_startX > m_endX) {
        m_startX -= m_step;
    } else {
        m_startX = m_endX;
        m_timer->stop();
    }
    update();
}

void SwitchButton::setSpace(int space)
{
    if (m_space != space) {
        m_space = space;
        update();
    }
}

void SwitchButton::setRadius(int radius)
{
    if (m_radius != radius) {
        m_radius = radius;
        update();
    }
}

void SwitchButton::setChecked(bool checked)
{
    if (m_checked != checked) {
        m_checked = checked;
        update();
    }
}

void SwitchButton::setShowText(bool show)
{
    if (m_showText != show) {
        m_showText = show;
        update();
    }
}

void SwitchButton::setShowCircle(bool show)
{
    if (m_showCircle != show) {
        m_showCircle = show;
        update();
    }
}

void SwitchButton::setAnimation(bool ok)
{
    if (m_animation != ok) {
        m_animation = ok;
        update();
    }
}

void SwitchButton::setBgColorOn(const QColor &color)
{
    if (m_bgColorOn != color) {
        m_bgColorOn = color;
        update();
    }
}

void SwitchButton::setBgColorOff(const QColor &color)
{
    if (m_bgColorOff != color) {
        m_bgColorOff = color;
        update();
    }
}

void SwitchButton::setSliderColorOn(const QColor &color)
{
    if (m_sliderColorOn != color) {
        m_sliderColorOn = color;
        update();
    }
}

void SwitchButton::setSliderColorOff(const QColor &color)
{
    if (m_sliderColorOff != color) {
        m_sliderColorOff = color;
        update();
    }
}

void SwitchButton::setTextColor(const QColor &color)
{
    if (m_textColor != color) {
        m_textColor = color;
        update();
    }
}

void SwitchButton::setTextOn(const QString &text)
{
    if (m_textOn != text) {
        m_textOn = text;
        update();
    }
}

void SwitchButton::setTextOff(const QString &text)
{
    if (m_textOff != text) {
        m_textOff = text;
        update();
    }
}
