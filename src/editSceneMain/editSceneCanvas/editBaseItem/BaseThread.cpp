#include "BaseThread.h"

#include "QorGlobal.h"

#include <QMutexLocker>

CBaseThread::CBaseThread(QObject *parent)
    : QThread(nullptr)
{
    Q_UNUSED(parent) // the thread is never parented: its holder deletes it after stopAndWait()
}

CBaseThread::~CBaseThread()
{
    stopAndWait();
    QMutexLocker lock(&m_mutex);
    m_bPlay = false;
    m_bPause = false;
    m_bPreview = false;
    m_bInitData = false;
    m_pEditBaseItem = nullptr;
    m_pEditProxy = nullptr;
}

void CBaseThread::setHooks(std::function<void()> initHook, std::function<void()> drawHook)
{
    QMutexLocker lock(&m_mutex);
    m_initHook = std::move(initHook);
    m_drawHook = std::move(drawHook);
}

void CBaseThread::setInterruptHooks(std::function<void()> interrupt, std::function<void()> resume)
{
    QMutexLocker lock(&m_mutex);
    m_interrupt = std::move(interrupt);
    m_resume = std::move(resume);
}

void CBaseThread::stopAndWait()
{
    {
        QMutexLocker lock(&m_mutex);
        m_bStop = true;
        if (m_interrupt)
            m_interrupt();
        m_cond.wakeAll();
    }
    if (isRunning() && QThread::currentThread() != this)
        wait();
}

void CBaseThread::playState(int nType)
{
    QMutexLocker lock(&m_mutex);
    switch (nType) {
    case ItemPlay:
        m_bPlay = true;
        m_bPause = false;
        m_bStop = false;
        m_bPreview = false;
        break;
    case ItemPause:
        m_bPlay = false;
        m_bPause = true;
        m_bStop = false;
        m_bPreview = false;
        break;
    case ItemStop:
        m_bPlay = false;
        m_bPause = false;
        m_bStop = true;
        m_bPreview = false;
        break;
    case ItemPreview:
        m_bPlay = false;
        m_bPause = false;
        m_bStop = false;
        m_bPreview = true;
        break;
    case ItemInit:
        m_bInitData = true;
        break;
    default:
        return;
    }
    // Whatever runs now gives way to the new state.
    if (m_interrupt)
        m_interrupt();
    m_cond.wakeAll();
}

void CBaseThread::run()
{
    for (;;) {
        bool bInit = false;
        bool bDraw = false;
        std::function<void()> initHook, drawHook;
        {
            QMutexLocker lock(&m_mutex);
            m_bIdle = true;
            while (!m_bStop && (m_bPause || (!m_bInitData && !m_bPreview && !m_bPlay)))
                m_cond.wait(&m_mutex);
            m_bIdle = false;
            if (m_bStop)
                break;
            bInit = m_bInitData.exchange(false);
            bDraw = m_bPlay || m_bPreview.exchange(false);
            if (m_resume)
                m_resume();
            initHook = m_initHook;
            drawHook = m_drawHook;
        }
        if (bInit && initHook)
            initHook();
        if (bDraw && drawHook) {
            m_bDrawing = true;
            ++m_nDrawCount;
            drawHook();
            m_bDrawing = false;
        }
        if (m_bPlay) {
            // A playing item draws again on every pass; give the others a breath in between.
            QMutexLocker lock(&m_mutex);
            if (m_bPlay && !m_bStop)
                m_cond.wait(&m_mutex, 10);
        }
    }
    m_bIdle = false;
    emit runFinish();
}
