#ifndef BASETHREAD_H
#define BASETHREAD_H

// CBaseThread - the frame thread of an item: it calls the item's initData() and
// draw() when asked to by a play state (PlayType).
//
// The thread sleeps on a wait condition while there is nothing to do (idle or
// paused) and wakes when a play state arrives. A play state that arrives while
// draw() runs interrupts it through the interrupt hook (the item's animation
// engine ends its loop), so a running scroll can always be stopped or started
// again. stopAndWait() (and the destructor) ends the loop and waits for it.

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <atomic>
#include <functional>

class CEditBaseItem;
class CEditBaseProxyWidget;

class CBaseThread : public QThread
{
    Q_OBJECT
public:
    explicit CBaseThread(QObject *parent = nullptr);
    ~CBaseThread() override;

    // What the thread drives: its initData() and draw() hooks.
    void setHooks(std::function<void()> initHook, std::function<void()> drawHook);
    // Called under the thread's lock when a play state arrives (interrupt) and
    // when the thread takes the pending states (resume).
    void setInterruptHooks(std::function<void()> interrupt, std::function<void()> resume);

    // Ends the loop (a running draw() is interrupted) and waits for the thread.
    void stopAndWait();

    bool isDrawing() const { return m_bDrawing.load(); }
    bool isIdle() const { return m_bIdle.load(); }
    // Number of draw() calls so far.
    int drawCount() const { return m_nDrawCount.load(); }

signals:
    void runFinish();

public slots:
    void playState(int nType);

protected:
    void run() override;

private:
    std::atomic<bool> m_bPlay{false};
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bPause{false};
    std::atomic<bool> m_bPreview{false};
    std::atomic<bool> m_bInitData{false};
    CEditBaseItem *m_pEditBaseItem = nullptr;
    CEditBaseProxyWidget *m_pEditProxy = nullptr;

    std::atomic<bool> m_bDrawing{false};
    std::atomic<bool> m_bIdle{false};
    std::atomic<int> m_nDrawCount{0};
    std::function<void()> m_initHook;
    std::function<void()> m_drawHook;
    std::function<void()> m_interrupt;
    std::function<void()> m_resume;
    QMutex m_mutex;
    QWaitCondition m_cond;
};

#endif // BASETHREAD_H
