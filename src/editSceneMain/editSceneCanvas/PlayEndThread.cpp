#include "PlayEndThread.h"

#include "EditBaseScene.h"

CPlayEndThread::CPlayEndThread(QObject *parent)
    : QThread(parent)
{
}

CPlayEndThread::~CPlayEndThread()
{
    stopAndWait();
}

void CPlayEndThread::slot_playEndStop()
{
    QMutexLocker lock(&m_mutex);
    m_bStop = true;
    m_wake.wakeAll();
}

void CPlayEndThread::stopAndWait()
{
    slot_playEndStop();
    wait();
}

void CPlayEndThread::run()
{
    for (;;) {
        {
            QMutexLocker lock(&m_mutex);
            if (m_bStop)
                return;
            m_wake.wait(&m_mutex, LOOK_INTERVAL_MS);
            if (m_bStop)
                return;
        }
        // One look at a time: a busy GUI thread does not pile them up.
        if (!m_bLookPending.exchange(true))
            QMetaObject::invokeMethod(this, [this]() { look(); }, Qt::QueuedConnection);
    }
}

// GUI thread.
void CPlayEndThread::look()
{
    m_bLookPending = false;
    if (m_bStop)
        return;
    CEditBaseScene *pScene = m_pScene.data();
    if (!pScene) {
        slot_playEndStop();
        return;
    }
    if (pScene->allItemsEnded()) {
        pScene->setPlayEnd(true);
        slot_playEndStop();
    } else {
        pScene->setPlayEnd(false);
    }
}
