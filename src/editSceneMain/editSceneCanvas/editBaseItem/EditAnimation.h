#ifndef EDITANIMATION_H
#define EDITANIMATION_H

// CEditAnimation renders the frames of an item's entrance and scroll animations.
//
// It is given a rectangle (the item's size), a source picture (the item's text)
// and an effect, computes one frame per step from a progress value that grows by
// 0.02 per frame, and hands every frame out through sig_drawFinish. The render
// loop runs on the caller's thread (an OSD item's frame thread); the frames are
// plain images, so they may be painted there and handed to the GUI thread by a
// queued signal.
//
// Thread safety: the source is kept under a lock (setSourceImage may be called
// from any thread while a loop runs; the loop picks it up from its next frame),
// the flags and the pace are atomic, and the sleep between two frames is a wait
// that a stop request ends at once.

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QRect>
#include <QWaitCondition>

#include <atomic>

#include "QorGlobal.h"

class CEditAnimation : public QObject
{
    Q_OBJECT
public:
    explicit CEditAnimation(QObject *parent = nullptr);
    ~CEditAnimation() override;

    // Progress 0, flags cleared. Leaves a pending abort (requestAbort) alone.
    void setAnimaStart();
    // Progress 0, finished and stopped; ends a running loop at its next pass.
    void setAnimaStop();

    // Ends a running loop at once (a sleeping one too) and keeps every loop that
    // starts later from running until clearAbort(); unlike setAnimaStop it
    // survives the setAnimaStart at the beginning of a render.
    void requestAbort();
    void clearAbort();
    bool isAbortRequested() const { return m_bAbort.load(); }

    // The source picture the loop renders from (copied under the lock).
    void setSourceImage(const QImage &source);
    QImage sourceImage() const;

    // The OSD speed that paces a running loop (read at every frame). Values of 0
    // or less pace as speed 1.
    void setPaceSpeed(int nSpeed) { m_nPace.store(nSpeed); }
    int paceSpeed() const { return m_nPace.load(); }
    // The delay in milliseconds between two frames at an OSD speed.
    static int frameDelayMs(int nSpeed);

    // The render loop: renders frames of the effect until stopped; a speed of 0
    // renders exactly one frame. Returns when it ends.
    void renderAnimation(const QRect &rect, AnimationType effect, int nSpeed);
    void renderAnimation(const QRect &rect, const QImage &source, AnimationType effect, int nSpeed);
    // One frame at a given progress (lowered to 1.02).
    void renderAnimationPreview(const QRect &rect, const QImage &source, AnimationType effect, double dProgress);

    // Each renders and emits one frame at the current progress.
    void moveLeftEffect(const QRect &rect, const QImage &source);
    void moveRightEffect(const QRect &rect, const QImage &source);
    void moveUpEffect(const QRect &rect, const QImage &source);
    void moveDownEffect(const QRect &rect, const QImage &source);
    void fadeEffect(const QRect &rect, const QImage &source);
    void blindsEffect(const QRect &rect, const QImage &source);
    void flipRightToLeft(const QRect &rect, const QImage &source);
    void upDownClosed(const QRect &rect, const QImage &source);
    void moveBottomToLeftUpEffect(const QRect &rect, const QImage &source);

    float factor() const { return m_factor; }
    bool isFinish() const { return m_bIsFinish.load(); }
    bool isStopped() const { return m_bStop.load(); }
    // Ends the loop after the current frame with a cleared frame.
    void setChange(bool bChange) { m_bChange.store(bChange); }

signals:
    void sig_drawFinish(QImage image);

private:
    void renderFrame(const QRect &rect, const QImage &source, AnimationType effect);
    void moveEffect(const QRect &rect, const QImage &source, int nDirection);
    void emitCleared(const QRect &rect);
    bool stopRequested() const { return m_bStop.load() || m_bAbort.load(); }
    // Sleeps up to nMs; returns early when a stop is requested.
    void sleepFrame(int nMs);

    float m_factor = 0.0f;       // progress of the current animation
    QImage m_oldPixmap;          // the source of the previous frame (render thread only)
    std::atomic<bool> m_bIsFinish{false};
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bChange{false};
    std::atomic<bool> m_bAbort{false};
    std::atomic<int> m_nPace{1};

    mutable QMutex m_sourceMutex;
    QImage m_source;

    QMutex m_sleepMutex;
    QWaitCondition m_sleepCond;
};

#endif // EDITANIMATION_H
