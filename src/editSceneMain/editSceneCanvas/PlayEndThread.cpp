#include "PlayEndThread.h"

#include "EditBaseScene.h"

CPlayEndThread::CPlayEndThread(QObject *parent)
    : QThread(parent)
{
}

CPlayEndThread::~CPlayEndThread()
{
    m_bStop = true;
    wait();
}

void CPlayEndThread::slot_playEndStop()
{
    m_bStop = true;
}

void CPlayEndThread::run()
{
    // The scene hands over its end states; polling sleeps between looks, it never spins.
    while (!m_bStop) {
        if (m_pScene && m_pScene->allItemsEnded()) {
            m_pScene->setPlayEnd(true);
            return;
        }
        msleep(10);
    }
}
