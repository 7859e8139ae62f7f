#include "EditAnimation.h"

#include <QMutexLocker>
#include <QPainter>
#include <QTransform>

namespace {
// A frame of the given size, cleared to transparent.
QImage clearedFrame(const QSize &size)
{
    if (size.isEmpty())
        return QImage();
    QImage frame(size, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    return frame;
}
}

CEditAnimation::CEditAnimation(QObject *parent)
    : QObject(parent)
{
}

CEditAnimation::~CEditAnimation() = default;

void CEditAnimation::setAnimaStart()
{
    m_factor = 0.0f;
    m_bIsFinish.store(false);
    m_bStop.store(false);
    m_bChange.store(false);
}

void CEditAnimation::setAnimaStop()
{
    m_factor = 0.0f;
    m_bIsFinish.store(true);
    m_bStop.store(true);
    m_bChange.store(false);
    QMutexLocker lock(&m_sleepMutex);
    m_sleepCond.wakeAll();
}

void CEditAnimation::requestAbort()
{
    m_bAbort.store(true);
    QMutexLocker lock(&m_sleepMutex);
    m_sleepCond.wakeAll();
}

void CEditAnimation::clearAbort()
{
    m_bAbort.store(false);
}

void CEditAnimation::setSourceImage(const QImage &source)
{
    QMutexLocker lock(&m_sourceMutex);
    m_source = source;
}

QImage CEditAnimation::sourceImage() const
{
    QMutexLocker lock(&m_sourceMutex);
    return m_source;
}

int CEditAnimation::frameDelayMs(int nSpeed)
{
    if (nSpeed <= 0)
        nSpeed = 1;
    const float q = float(1.0 / (nSpeed * 0.1));
    return int(double(q) * 110.0);
}

void CEditAnimation::sleepFrame(int nMs)
{
    QMutexLocker lock(&m_sleepMutex);
    if (stopRequested())
        return;
    m_sleepCond.wait(&m_sleepMutex, ulong(std::max(0, nMs)));
}

void CEditAnimation::renderAnimation(const QRect &rect, const QImage &source, AnimationType effect, int nSpeed)
{
    setSourceImage(source);
    renderAnimation(rect, effect, nSpeed);
}

void CEditAnimation::renderAnimation(const QRect &rect, AnimationType effect, int nSpeed)
{
    setAnimaStart();
    while (!stopRequested()) {
        const QImage source = sourceImage();
        renderFrame(rect, source, effect);
        m_oldPixmap = source;
        if (m_bChange.load()) {
            setAnimaStop();
            emitCleared(rect);
            return;
        }
        m_factor = float(double(m_factor) + 0.02);
        if (double(m_factor) > 1.02)
            m_factor = 0.02f;
        if (nSpeed == 0) {
            setAnimaStop();
            return;
        }
        sleepFrame(frameDelayMs(m_nPace.load()));
    }
}

void CEditAnimation::renderAnimationPreview(const QRect &rect, const QImage &source, AnimationType effect, double dProgress)
{
    setAnimaStart();
    m_factor = float(dProgress);
    if (double(m_factor) > 1.02)
        m_factor = 1.02f;
    renderFrame(rect, source, effect);
    m_oldPixmap = source;
    if (m_bChange.load()) {
        setAnimaStop();
        emitCleared(rect);
    } else {
        setAnimaStop();
    }
}

void CEditAnimation::emitCleared(const QRect &rect)
{
    emit sig_drawFinish(clearedFrame(rect.size()));
}

void CEditAnimation::renderFrame(const QRect &rect, const QImage &source, AnimationType effect)
{
    switch (effect) {
    case MoveLeftEffect:
        moveLeftEffect(rect, source);
        break;
    case MoveRightEffect:
        moveRightEffect(rect, source);
        break;
    case MoveUpEffect:
        moveUpEffect(rect, source);
        break;
    case MoveDownEffect:
        moveDownEffect(rect, source);
        break;
    case FadeEffect:
        fadeEffect(rect, source);
        break;
    case BlindsEffect:
        blindsEffect(rect, source);
        break;
    case FlipRightToLeft:
        flipRightToLeft(rect, source);
        break;
    case OutsideToInside:
        upDownClosed(rect, source);
        break;
    case MoveBottomToLeftUpEffect:
        moveBottomToLeftUpEffect(rect, source);
        break;
    default:
        emit sig_drawFinish(source.copy());
        break;
    }
}

// nDirection: 0 left, 1 right, 2 up, 3 down.
void CEditAnimation::moveEffect(const QRect &rect, const QImage &source, int nDirection)
{
    Q_UNUSED(rect)
    QImage frame = clearedFrame(source.size());
    if (!frame.isNull()) {
        const float p = m_factor > 1.0f ? 1.0f : m_factor;
        // The frame is the source's size, which may be smaller than the item (the item scales
        // the frame into its rectangle): the steps are the frame's.
        const int W = frame.width();
        const int H = frame.height();
        QPoint oldAt, srcAt;
        switch (nDirection) {
        case 0:
            oldAt = QPoint(int(-p * W), 0);
            srcAt = QPoint(int((1 - p) * W), 0);
            break;
        case 1:
            oldAt = QPoint(int(W * p), 0);
            srcAt = QPoint(int((p - 1) * W), 0);
            break;
        case 2:
            oldAt = QPoint(0, int(-p * H));
            srcAt = QPoint(0, int((1 - p) * H));
            break;
        default:
            oldAt = QPoint(0, int(H * p));
            srcAt = QPoint(0, int((p - 1) * H));
            break;
        }
        QPainter painter(&frame);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!m_oldPixmap.isNull())
            painter.drawImage(oldAt, m_oldPixmap);
        painter.drawImage(srcAt, source);
    }
    emit sig_drawFinish(frame);
}

void CEditAnimation::moveLeftEffect(const QRect &rect, const QImage &source) { moveEffect(rect, source, 0); }
void CEditAnimation::moveRightEffect(const QRect &rect, const QImage &source) { moveEffect(rect, source, 1); }
void CEditAnimation::moveUpEffect(const QRect &rect, const QImage &source) { moveEffect(rect, source, 2); }
void CEditAnimation::moveDownEffect(const QRect &rect, const QImage &source) { moveEffect(rect, source, 3); }

void CEditAnimation::fadeEffect(const QRect &rect, const QImage &source)
{
    Q_UNUSED(rect)
    QImage frame = clearedFrame(source.size());
    if (!frame.isNull()) {
        const float p = m_factor > 1.0f ? 1.0f : m_factor;
        const int a = int(255 * p);
        QPainter painter(&frame);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, source);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.fillRect(frame.rect(), QColor(0, 0, 0, a));
    }
    emit sig_drawFinish(frame);
}

void CEditAnimation::blindsEffect(const QRect &rect, const QImage &source)
{
    const int H = rect.height();
    QImage frame = clearedFrame(rect.size());
    if (!frame.isNull() && !source.isNull()) {
        const int s = int(H / 10.0 + 0.5);
        int v = int(s * m_factor);
        if (v < 1)
            v = 1;
        QPainter painter(&frame);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        for (int i = 0; i < 10; ++i)
            painter.drawImage(QPoint(0, i * s), source, QRect(0, i * s, source.width(), v));
    }
    emit sig_drawFinish(frame);
}

void CEditAnimation::flipRightToLeft(const QRect &rect, const QImage &source)
{
    QImage frame = clearedFrame(source.size());
    if (!frame.isNull()) {
        const float p = m_factor > 1.0f ? 1.0f : m_factor;
        const int W = rect.width();
        const int H = rect.height();
        QPainter painter(&frame);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!m_oldPixmap.isNull()) {
            QTransform t;
            t.translate(int((1 - p) * W), H / 2);
            t.rotate(90 * p, Qt::YAxis);
            t.translate(-W, -(H / 2));
            painter.setTransform(t);
            painter.drawImage(0, 0, m_oldPixmap);
        }
        QTransform t;
        t.translate(int((1 - p) * W), H / 2);
        t.rotate((p - 1) * 90, Qt::YAxis);
        t.translate(0, -(H / 2));
        painter.setTransform(t);
        painter.drawImage(0, 0, source);
    }
    emit sig_drawFinish(frame);
}

void CEditAnimation::upDownClosed(const QRect &rect, const QImage &source)
{
    QImage frame = clearedFrame(source.size());
    if (!frame.isNull()) {
        const int H = rect.height();
        const int half = H / 2;
        int v = int(half * m_factor);
        if (v < 1)
            v = 1;
        QPainter painter(&frame);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QPoint(0, 0), source, QRect(0, 0, source.width(), v));
        int y2 = int(H / 2 + half * (1 - m_factor));
        if (y2 != H / 2)
            ++y2;
        painter.drawImage(QPoint(0, y2), source, QRect(0, H - v, source.width(), v));
    }
    emit sig_drawFinish(frame);
}

void CEditAnimation::moveBottomToLeftUpEffect(const QRect &rect, const QImage &source)
{
    Q_UNUSED(rect)
    Q_UNUSED(source)
}
