#ifndef PLAYENDTHREAD_H
#define PLAYENDTHREAD_H

// Watches a playing scene and sets its play-end flag once every item reports that its play
// has ended. A stop request ends the watch without setting the flag. The watcher is stopped and
// waited for before it is destroyed.

#include <QThread>

#include <atomic>

class CEditBaseScene;

class CPlayEndThread : public QThread
{
    Q_OBJECT
public:
    explicit CPlayEndThread(QObject *parent = nullptr);
    ~CPlayEndThread() override;

    void setPlayScene(CEditBaseScene *pScene) { m_pScene = pScene; }
    CEditBaseScene *playScene() const { return m_pScene; }
    // Clears a stop request; the scene calls it before start().
    void arm() { m_bStop = false; }

public slots:
    void slot_playEndStop();

protected:
    void run() override;

private:
    std::atomic<bool> m_bStop{false};
    CEditBaseScene *m_pScene = nullptr;
};

#endif // PLAYENDTHREAD_H
