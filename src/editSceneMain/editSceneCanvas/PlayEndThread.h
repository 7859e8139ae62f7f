#ifndef PLAYENDTHREAD_H
#define PLAYENDTHREAD_H

// Watches a playing scene and sets its play-end flag once every item reports
// that its play has ended; a stop request ends the watch without setting it.
//
// The thread only keeps the pace (a look every 20 ms, asleep in between). Each
// look itself runs on the GUI thread, where the scene and its items live, so
// nothing of them is read from another thread. A stop wakes the thread at
// once, and the watcher is stopped and waited for before it is destroyed.

#include <QMutex>
#include <QPointer>
#include <QThread>
#include <QWaitCondition>

#include <atomic>

class CEditBaseScene;

class CPlayEndThread : public QThread
{
    Q_OBJECT
public:
    static constexpr int LOOK_INTERVAL_MS = 20;

    explicit CPlayEndThread(QObject *parent = nullptr);
    ~CPlayEndThread() override;

    void setPlayScene(CEditBaseScene *pScene) { m_pScene = pScene; }
    CEditBaseScene *playScene() const { return m_pScene.data(); }
    // Clears a stop request; the scene calls it before start().
    void arm() { m_bStop = false; }
    // Stops the watch and waits until the thread has ended.
    void stopAndWait();

public slots:
    void slot_playEndStop();

protected:
    void run() override;

private:
    void look();

    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bLookPending{false};
    QMutex m_mutex;
    QWaitCondition m_wake;
    QPointer<CEditBaseScene> m_pScene;
};

#endif // PLAYENDTHREAD_H
