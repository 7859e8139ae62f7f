#include "QorLog.h"

#include "QLogToNet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <cstdio>

QScopedPointer<CQorLog> CQorLog::m_instance;

namespace {
// Guards the installed handler and the logger it writes to. Held while one
// message is handled, so that a logger is never destroyed under a message.
QMutex &activeMutex()
{
    static QMutex mutex;
    return mutex;
}
CQorLog *s_pActive = nullptr;                 // the logger whose handler is installed
QtMessageHandler s_previousHandler = nullptr; // the output in force before it

// Set while this thread handles a message: a message written from inside the
// handling (a file or socket warning, a slot of sig_newLog) must not re-enter.
thread_local bool t_bInLog = false;

// Holds a lock of the logger and marks this thread as inside logging, so that
// a message written meanwhile (a file warning, say) goes to the plain output
// instead of waiting for the lock this thread already holds.
class GuardedLock
{
public:
    explicit GuardedLock(QMutex *mutex) : m_locker(mutex), m_bPrevious(t_bInLog) { t_bInLog = true; }
    ~GuardedLock() { t_bInLog = m_bPrevious; }
    GuardedLock(const GuardedLock &) = delete;
    GuardedLock &operator=(const GuardedLock &) = delete;

private:
    QMutexLocker m_locker;
    bool m_bPrevious;
};

void writePlain(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (s_previousHandler)
        s_previousHandler(type, context, msg);
    else
        std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
}
}

class CQorLog::QLogPrivate
{
public:
    quint16 m_netPort = 34353;
    int m_saveday = 30;
    int m_maxLogsize = 52428800;
    mutable QMutex m_handlermutex;
    QString m_path;
    QString m_appname;
    QFile m_file;
    QString m_fileName;
    QLogToNet *mp_toNet = nullptr;
    QThread *mp_netThread = nullptr;
    CQorLog::HandlerFlags m_flags;
    std::function<QDateTime()> m_now;

    QDateTime now() const { return m_now ? m_now() : QDateTime::currentDateTime(); }
    QString fileName(const QString &stamp) const
    {
        return QString("%1/%2_log_%3.txt").arg(m_path, m_appname, stamp);
    }
    // A rotated name not yet taken: a second rotation within the same second
    // gets a counter.
    QString rotatedName() const
    {
        const QString stamp = now().toString("yyyy-MM-dd-hhmmss");
        QString name = fileName(stamp);
        for (int n = 1; QFile::exists(name) && n < 100000; ++n)
            name = fileName(QString("%1_%2").arg(stamp).arg(n));
        return name;
    }
};

CQorLog *CQorLog::instance()
{
    if (!m_instance) {
        static QMutex mutex;
        QMutexLocker locker(&mutex);
        if (!m_instance)
            m_instance.reset(new CQorLog);
    }
    return m_instance.data();
}

CQorLog::CQorLog(QObject *parent)
    : QObject(parent), d(new QLogPrivate)
{
    d->m_appname = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    if (d->m_appname.isEmpty())
        d->m_appname = "app";
    setLogPath(QCoreApplication::applicationDirPath() + "/log");
    GuardedLock locker(&d->m_handlermutex);
    autoDeleteLog();
}

CQorLog::~CQorLog()
{
    {
        GuardedLock active(&activeMutex());
        if (s_pActive == this) {
            qInstallMessageHandler(s_previousHandler);
            s_pActive = nullptr;
            s_previousHandler = nullptr;
        }
    }
    QLogToNet *server = nullptr;
    QThread *thread = nullptr;
    {
        GuardedLock locker(&d->m_handlermutex);
        server = d->mp_toNet;
        thread = d->mp_netThread;
        d->mp_toNet = nullptr;
        d->mp_netThread = nullptr;
        d->m_file.close();
    }
    if (server)
        server->deleteLater();
    if (thread) {
        thread->quit();
        thread->wait();
        delete thread;
    }
    delete d;
}

void CQorLog::handler(HandlerFlags flags)
{
    QLogToNet *server = nullptr;
    QThread *thread = nullptr;
    {
        GuardedLock active(&activeMutex());
        GuardedLock locker(&d->m_handlermutex);
        if (flags == d->m_flags && (s_pActive == this) == bool(flags))
            return;

        if (s_pActive == this) {
            qInstallMessageHandler(s_previousHandler);
            s_pActive = nullptr;
            s_previousHandler = nullptr;
        }
        d->m_flags = flags;
        if (!(flags & eNet)) {
            server = d->mp_toNet;
            thread = d->mp_netThread;
            d->mp_toNet = nullptr;
            d->mp_netThread = nullptr;
        }
        if (!(flags & eSave)) {
            d->m_file.close();
            d->m_fileName.clear();
        }
        if (flags) {
            if (s_pActive) // another logger had the output: take it over
                s_pActive->d->m_flags = HandlerFlags();
            QtMessageHandler previous = qInstallMessageHandler(&CQorLog::LogMessage);
            if (!s_pActive)
                s_previousHandler = previous;
            s_pActive = this;
        }
    }
    // The server thread is stopped outside the locks: a message it writes while
    // stopping must be able to get through.
    if (server)
        server->deleteLater();
    if (thread) {
        thread->quit();
        thread->wait();
        delete thread;
    }
}

CQorLog::HandlerFlags CQorLog::flags() const
{
    GuardedLock locker(&d->m_handlermutex);
    return d->m_flags;
}

int CQorLog::saveDay() const
{
    GuardedLock locker(&d->m_handlermutex);
    return d->m_saveday;
}

void CQorLog::setSaveDay(int nDays)
{
    GuardedLock locker(&d->m_handlermutex);
    d->m_saveday = nDays;
    autoDeleteLog();
}

int CQorLog::maxLogSize() const
{
    GuardedLock locker(&d->m_handlermutex);
    return d->m_maxLogsize;
}

void CQorLog::setMaxLogSize(int nBytes)
{
    GuardedLock locker(&d->m_handlermutex);
    d->m_maxLogsize = nBytes;
}

QString CQorLog::logPath() const
{
    GuardedLock locker(&d->m_handlermutex);
    return d->m_path;
}

void CQorLog::setLogPath(const QString &strPath)
{
    GuardedLock locker(&d->m_handlermutex);
    d->m_path = QDir::toNativeSeparators(strPath);
    QDir().mkpath(d->m_path);
}

quint16 CQorLog::netPort() const
{
    GuardedLock locker(&d->m_handlermutex);
    return d->m_netPort;
}

void CQorLog::setPort(quint16 port)
{
    GuardedLock locker(&d->m_handlermutex);
    d->m_netPort = port;
}

QString CQorLog::currentFileName() const
{
    GuardedLock locker(&d->m_handlermutex);
    return d->m_fileName;
}

quint16 CQorLog::netServerPort() const
{
    GuardedLock locker(&d->m_handlermutex);
    return d->mp_toNet ? d->mp_toNet->serverPort() : 0;
}

void CQorLog::setTimeSource(std::function<QDateTime()> now)
{
    GuardedLock locker(&d->m_handlermutex);
    d->m_now = std::move(now);
}

void CQorLog::newLog(const QString &log)
{
    emit sig_newLog(log);
}

void CQorLog::toNet(const QString &log)
{
    emit sig_toNet(log);
}

// Called with m_handlermutex held.
void CQorLog::createLogNet()
{
    d->mp_toNet = new QLogToNet(d->m_netPort);
    connect(this, &CQorLog::sig_toNet, d->mp_toNet, &QLogToNet::slot_toNet);
    d->mp_netThread = new QThread;
    d->mp_toNet->moveToThread(d->mp_netThread);
    connect(d->mp_netThread, &QThread::started, d->mp_toNet, &QLogToNet::slot_listen);
    d->mp_netThread->start(QThread::InheritPriority);
}

// Called with m_handlermutex held.
void CQorLog::autoDeleteLog()
{
    const QDateTime limit = d->now().addDays(-d->m_saveday);
    QDir dir(d->m_path);
    const QFileInfoList files = dir.entryInfoList(QStringList("*.txt"), QDir::Files);
    if (files.size() < d->m_saveday)
        return;
    const QString current = QFileInfo(d->m_fileName).absoluteFilePath();
    for (const QFileInfo &info : files) {
        if (!info.fileName().contains(d->m_appname, Qt::CaseSensitive))
            continue;
        if (!d->m_fileName.isEmpty() && info.absoluteFilePath() == current)
            continue; // never the file being written
        // Not every file system records a creation time: fall back to the
        // last change.
        const QDateTime created = info.birthTime().isValid() ? info.birthTime() : info.lastModified();
        if (created <= limit)
            QFile::remove(info.absoluteFilePath());
    }
}

void CQorLog::handleMessage(QtMsgType type, const QString &msg)
{
    QString text;
    switch (type) {
    case QtDebugMsg:
    case QtWarningMsg:
    case QtCriticalMsg:
    case QtFatalMsg:
    case QtInfoMsg:
        text = msg;
        break;
    }

    bool bNet = false;
    bool bNewLog = false;
    {
        GuardedLock locker(&d->m_handlermutex);
        if (!d->m_flags)
            return;
        if (d->m_flags & eSave) {
            const QString name = d->fileName(d->now().toString("yyyy-MM-dd"));
            if (name != d->m_fileName) {
                d->m_fileName = name;
                d->m_file.close();
                autoDeleteLog();
                d->m_file.setFileName(name);
            }
            // Opened here rather than only on a new name: a file that could not
            // be opened (folder missing for a while) is tried again with the
            // next message instead of losing the rest of the day.
            if (!d->m_file.isOpen())
                d->m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
            if (d->m_file.isOpen()) {
                d->m_file.write(text.toUtf8());
                d->m_file.write("\n");
                d->m_file.flush();
                if (d->m_file.size() > d->m_maxLogsize) {
                    d->m_file.rename(d->rotatedName());
                    d->m_file.close();
                    d->m_fileName.clear();
                }
            }
        }
        if (d->m_flags & eNet) {
            if (!d->mp_toNet)
                createLogNet();
            bNet = true;
        }
        bNewLog = d->m_flags & eNewLog;
    }
    if (bNet)
        toNet(text);
    if (bNewLog)
        newLog(text);
}

void CQorLog::LogMessage(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (t_bInLog) {
        writePlain(type, context, msg);
        return;
    }
    t_bInLog = true;
    {
        QMutexLocker active(&activeMutex());
        if (s_pActive)
            s_pActive->handleMessage(type, msg);
        else
            writePlain(type, context, msg);
    }
    t_bInLog = false;
}
