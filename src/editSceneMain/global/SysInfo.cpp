#include "SysInfo.h"

#include <QDebug>
#include <QDeadlineTimer>
#include <QFile>
#include <QSet>
#include <QStorageInfo>
#include <QThread>

#include <cmath>

namespace {
const int kMeasureMs = 500; // processor-load measuring period

// The first "cpu" line of a stat text, split into idle, kernel (which, as the
// load formula expects, includes the idle time) and user times.
bool parseCpuLine(const QByteArray &stat, quint64 &idle, quint64 &kernel, quint64 &user)
{
    for (const QByteArray &line : stat.split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.isEmpty() || f.at(0) != "cpu")
            continue;
        if (f.size() < 5)
            return false;
        quint64 v[8] = {0, 0, 0, 0, 0, 0, 0, 0}; // user nice system idle iowait irq softirq steal
        for (int i = 0; i < 8 && i + 1 < f.size(); ++i) {
            bool ok = false;
            v[i] = f.at(i + 1).toULongLong(&ok);
            if (!ok)
                return false;
        }
        idle = v[3] + v[4];
        kernel = v[2] + v[5] + v[6] + v[7] + idle;
        user = v[0] + v[1];
        return true;
    }
    return false;
}

QString percentText(double value)
{
    // truncated, at least two digits
    return QString("%1").arg(int(value), 2, 10, QChar('0'));
}
}

CSysInfo::CSysInfo(QObject *parent)
    : QObject(parent), monitor_timer__(this), m_strProcRoot("/proc")
{
}

CSysInfo::~CSysInfo() = default;

void CSysInfo::stopUpdateInfo()
{
    QMutexLocker lock(&m_mutexWait);
    m_bQuit = true;
    m_condWait.wakeAll();
}

void CSysInfo::setProcRoot(const QString &strRoot)
{
    m_strProcRoot = strRoot;
}

QString CSysInfo::procRoot() const
{
    return m_strProcRoot;
}

QByteArray CSysInfo::readProcFile(const QString &strName) const
{
    QFile file(m_strProcRoot + "/" + strName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// The thread sleeps on the condition for the whole period: it wakes when the
// period is over or when a stop is asked for, and at no other time.
bool CSysInfo::waitUnlessQuit(int nMs)
{
    const QDeadlineTimer deadline(nMs, Qt::PreciseTimer);
    QMutexLocker lock(&m_mutexWait);
    while (!m_bQuit) {
        if (deadline.hasExpired())
            return true;
        m_condWait.wait(&m_mutexWait, deadline);
    }
    return false;
}

bool CSysInfo::cpuLoadFromStat(const QByteArray &before, const QByteArray &after, double &nCpuRate)
{
    nCpuRate = -1.0;
    quint64 idle0, kernel0, user0, idle1, kernel1, user1;
    if (!parseCpuLine(before, idle0, kernel0, user0) || !parseCpuLine(after, idle1, kernel1, user1))
        return false;
    if (idle1 < idle0 || kernel1 < kernel0 || user1 < user0)
        return false; // counters went backwards: no meaningful difference
    const double idle = double(idle1 - idle0);
    const double kernel = double(kernel1 - kernel0);
    const double user = double(user1 - user0);
    const double total = kernel + user;
    if (total <= 0.0)
        return false;
    nCpuRate = std::ceil((total - idle) * 100.0 / total);
    return true;
}

bool CSysInfo::memFromMeminfo(const QByteArray &meminfo, double &nMemTotal, double &nMemUsed)
{
    qint64 total = -1, available = -1, memFree = -1, buffers = 0, cached = 0;
    for (const QByteArray &line : meminfo.split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 2)
            continue;
        bool ok = false;
        const qint64 kb = f.at(1).toLongLong(&ok);
        if (!ok)
            continue;
        if (f.at(0) == "MemTotal:")
            total = kb;
        else if (f.at(0) == "MemAvailable:")
            available = kb;
        else if (f.at(0) == "MemFree:")
            memFree = kb;
        else if (f.at(0) == "Buffers:")
            buffers = kb;
        else if (f.at(0) == "Cached:")
            cached = kb;
    }
    if (available < 0 && memFree >= 0)
        available = memFree + buffers + cached;
    if (total <= 0 || available < 0)
        return false;
    available = qMin(available, total);
    nMemTotal = total / 1024.0;
    nMemUsed = nMemTotal - available / 1024.0;
    return true;
}

QString CSysInfo::formatSample(bool bCpuOk, double nCpuRate, bool bMemOk, double nMemTotal, double nMemUsed)
{
    const QString cpu = bCpuOk ? percentText(nCpuRate) : QString("--");
    const QString mem = (bMemOk && nMemTotal > 0.0) ? percentText(100.0 * nMemUsed / nMemTotal) : QString("--");
    return QString("CPU占用：%1% | ").arg(cpu) + QString("内存占用：%1% ").arg(mem);
}

bool CSysInfo::GetCpuUsage(double &nCpuRate)
{
    nCpuRate = -1.0;
    const QByteArray before = readProcFile("stat");
    // The measuring period passes even when the counters cannot be read, so
    // that the samples keep their rhythm.
    if (!waitUnlessQuit(kMeasureMs) || before.isEmpty())
        return false;
    return cpuLoadFromStat(before, readProcFile("stat"), nCpuRate);
}

bool CSysInfo::GetMemUsage(double &nMemTotal, double &nMemUsed)
{
    return memFromMeminfo(readProcFile("meminfo"), nMemTotal, nMemUsed);
}

bool CSysInfo::GetdiskSpace(unsigned long &lFreeAll, unsigned long &lTotalAll)
{
    lFreeAll = 0;
    lTotalAll = 0;
    QSet<QByteArray> seen;
    bool bAny = false;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || volume.bytesTotal() <= 0)
            continue;
        if (seen.contains(volume.device()))
            continue; // the same disk mounted more than once
        seen.insert(volume.device());
        lFreeAll += ulong(std::ceil(volume.bytesFree() / 1048576.0));
        lTotalAll += ulong(std::ceil(volume.bytesTotal() / 1048576.0));
        bAny = true;
    }
    if (!bAny)
        qDebug() << "GetDiskFreeSpaceEx Filed!";
    return bAny;
}

bool CSysInfo::GetNetUsage()
{
    return true;
}

bool CSysInfo::GetPathSpace(const QString &strPath)
{
    Q_UNUSED(strPath)
    return true;
}

bool CSysInfo::GetDiskSpeed()
{
    return false;
}

void CSysInfo::GetResource()
{
    double cpu = 0.0, memTotal = 0.0, memUsed = 0.0;
    unsigned long diskFree = 0, diskTotal = 0;
    GetCpuUsage(cpu);
    GetDiskSpeed();
    GetMemUsage(memTotal, memUsed);
    GetNetUsage();
    GetdiskSpace(diskFree, diskTotal);
    GetPathSpace("/");
}

void CSysInfo::doWork()
{
    while (!m_bQuit) {
        double cpu = 0.0;
        const bool bCpuOk = GetCpuUsage(cpu);
        if (m_bQuit)
            return;
        double memTotal = 0.0, memUsed = 0.0;
        const bool bMemOk = GetMemUsage(memTotal, memUsed);
        const QString strInfo = formatSample(bCpuOk, cpu, bMemOk, memTotal, memUsed);
        if (!waitUnlessQuit(m_timer_interval__))
            return;
        emit sig_finish(strInfo);
    }
}

void CSysInfo::stopThread(CSysInfo *&pInfo, QThread *&pThread, unsigned long nWaitMs)
{
    if (!pThread)
        return;
    if (pInfo)
        pInfo->stopUpdateInfo();
    pThread->quit();
    if (pThread->wait(nWaitMs))
        delete pThread;
    else
        qWarning() << "A sampler thread did not stop; it is left running";
    pThread = nullptr;
    pInfo = nullptr;
}
