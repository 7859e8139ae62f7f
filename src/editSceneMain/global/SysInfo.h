#ifndef SYSINFO_H
#define SYSINFO_H

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWaitCondition>

class QThread;

#include <atomic>

// Measures the processor load and memory use about every 1.5 s in a thread of
// its own and delivers them as one line of text, "CPU占用：07% | 内存占用：45% ".
// On this platform the figures come from <proc>/stat and <proc>/meminfo, the
// disk space from the mounted volumes.
//
// Owner's duty: move the sampler to a QThread, run doWork there; on shutdown
// call stopUpdateInfo(), then quit() and wait() the thread before deleting it.
class CSysInfo : public QObject
{
    Q_OBJECT
public:
    explicit CSysInfo(QObject *parent = nullptr);
    ~CSysInfo() override;

    // Asks the sampling loop to end; safe from any thread. A loop that is
    // waiting wakes and returns at once; one that is reading the figures
    // returns when it has read them. It emits nothing further.
    void stopUpdateInfo();

    // One processor-load measurement over 500 ms; false when it cannot be
    // measured (no readable counters, or no time passed between the readings).
    bool GetCpuUsage(double &nCpuRate);
    // Physical memory in MiB; false when the figures cannot be read.
    bool GetMemUsage(double &nMemTotal, double &nMemUsed);
    // Free and total space of the mounted disks in MiB.
    bool GetdiskSpace(unsigned long &lFreeAll, unsigned long &lTotalAll);
    bool GetNetUsage();
    bool GetPathSpace(const QString &strPath);
    bool GetDiskSpeed();

    // The owner's side of shut-down: asks the loop to end, quits the thread and waits up to
    // nWaitMs. A thread that ended is deleted; one that did not is left running (and leaked)
    // rather than destroyed while it runs. Both pointers are cleared.
    static void stopThread(CSysInfo *&pInfo, QThread *&pThread, unsigned long nWaitMs = 5000);

    // Folder that holds "stat" and "meminfo" ("/proc" by default).
    void setProcRoot(const QString &strRoot);
    QString procRoot() const;

    // The parts of a measurement, usable on prepared content.
    static bool cpuLoadFromStat(const QByteArray &before, const QByteArray &after, double &nCpuRate);
    static bool memFromMeminfo(const QByteArray &meminfo, double &nMemTotal, double &nMemUsed);
    static QString formatSample(bool bCpuOk, double nCpuRate, bool bMemOk, double nMemTotal, double nMemUsed);

signals:
    void sig_finish(QString strInfo);

public slots:
    // The sampling loop; returns only after a stop request.
    void doWork();

private slots:
    void GetResource();

private:
    // Sleeps nMs milliseconds, or until a stop is requested (then false).
    bool waitUnlessQuit(int nMs);
    QByteArray readProcFile(const QString &strName) const;

    const int m_timer_interval__ = 1000;
    QTimer monitor_timer__;
    double m_send_bytes__ = 0.0;
    double m_recv_bytes__ = 0.0;
    double m_disk_read__ = 0.0;
    double m_disk_write__ = 0.0;
    double m_cpu_total__ = 0.0;
    double m_cpu_use__ = 0.0;
    std::atomic<bool> m_bQuit{false};
    QMutex m_mutexWait; // guards the sleep on m_condWait against a stop request
    QWaitCondition m_condWait;
    QString m_strProcRoot;
};

#endif // SYSINFO_H
