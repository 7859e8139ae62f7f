#include "TestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QThread>

#include "SysInfo.h"

namespace {
const QByteArray kStat0 = "cpu  100 0 50 800 50 0 0 0 0 0\ncpu0 1 2 3 4\n";
// +30 user, +20 system, +45 idle, +5 iowait: busy 50 of 100
const QByteArray kStat1 = "cpu  130 0 70 845 55 0 0 0 0 0\ncpu0 1 2 3 4\n";
const QByteArray kMeminfo = "MemTotal:       16384000 kB\nMemFree:         1000000 kB\n"
                            "MemAvailable:    9011200 kB\nBuffers:          100 kB\n";

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

// How often the thread named "sampler" has gone to sleep and been woken so far; -1 when there
// is no such thread.
qint64 samplerWakeups()
{
    const QString strTasks = QStringLiteral("/proc/self/task");
    for (const QString &strTask : QDir(strTasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(strTasks + "/" + strTask + "/comm");
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "sampler")
            continue;
        QFile status(strTasks + "/" + strTask + "/status");
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:"))
                return line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    }
    return -1;
}

// Runs a sampler the way its owners do: in a thread of its own, started by a
// queued call, stopped and waited for at the end.
struct SamplerRun
{
    CSysInfo *info = new CSysInfo;
    QThread thread;
    QSignalSpy spy{info, &CSysInfo::sig_finish};
    QElapsedTimer started;
    QPointer<CSysInfo> guard{info}; // the thread's end deletes the sampler

    void start()
    {
        thread.setObjectName(QStringLiteral("sampler")); // the name the system gives the thread
        info->moveToThread(&thread);
        QObject::connect(&thread, &QThread::finished, info, &QObject::deleteLater);
        thread.start();
        started.start();
        QMetaObject::invokeMethod(info, "doWork", Qt::QueuedConnection);
    }
    ~SamplerRun()
    {
        if (guard)
            info->stopUpdateInfo();
        thread.quit();
        thread.wait();
    }
};
}

class TestSysInfo : public QObject
{
    Q_OBJECT
private slots:
    void cpuLoadFromPreparedStat()
    {
        double rate = 0;
        QVERIFY(CSysInfo::cpuLoadFromStat(kStat0, kStat1, rate));
        QCOMPARE(rate, 50.0);

        // no time passed: a zero divisor is a failed measurement, not a crash
        QVERIFY(!CSysInfo::cpuLoadFromStat(kStat0, kStat0, rate));
        QCOMPARE(rate, -1.0);
        QVERIFY(!CSysInfo::cpuLoadFromStat(kStat1, kStat0, rate)); // counters reset
        QVERIFY(!CSysInfo::cpuLoadFromStat("", kStat1, rate));
        QVERIFY(!CSysInfo::cpuLoadFromStat("cpu a b c d\n", kStat1, rate));

        // load is rounded up
        QVERIFY(CSysInfo::cpuLoadFromStat("cpu 0 0 0 0\n", "cpu 1 0 0 299\n", rate));
        QCOMPARE(rate, 1.0);
    }

    void memoryFromPreparedMeminfo()
    {
        double total = 0, used = 0;
        QVERIFY(CSysInfo::memFromMeminfo(kMeminfo, total, used));
        QCOMPARE(total, 16000.0);
        QCOMPARE(used, 16000.0 - 8800.0);
        // without MemAvailable: free + buffers + cached
        QVERIFY(CSysInfo::memFromMeminfo("MemTotal: 2048 kB\nMemFree: 512 kB\nBuffers: 256 kB\nCached: 256 kB\n",
                                         total, used));
        QCOMPARE(total, 2.0);
        QCOMPARE(used, 1.0);
        QVERIFY(!CSysInfo::memFromMeminfo("", total, used));
        QVERIFY(!CSysInfo::memFromMeminfo("MemTotal: 0 kB\nMemAvailable: 0 kB\n", total, used));
    }

    void sampleText()
    {
        QCOMPARE(CSysInfo::formatSample(true, 7, true, 100, 45.9), QString::fromUtf8("CPU占用：07% | 内存占用：45% "));
        QCOMPARE(CSysInfo::formatSample(true, 0, true, 100, 100), QString::fromUtf8("CPU占用：00% | 内存占用：100% "));
        QCOMPARE(CSysInfo::formatSample(true, 100, true, 100, 5), QString::fromUtf8("CPU占用：100% | 内存占用：05% "));
        QCOMPARE(CSysInfo::formatSample(false, -1, false, 0, 0), QString::fromUtf8("CPU占用：--% | 内存占用：--% "));
        QCOMPARE(CSysInfo::formatSample(true, 12, true, 0, 0), QString::fromUtf8("CPU占用：12% | 内存占用：--% "));
    }

    void measurementsThroughProcFolder()
    {
        QDir().mkpath("proc");
        writeFile("proc/stat", kStat0);
        writeFile("proc/meminfo", kMeminfo);
        CSysInfo info;
        info.setProcRoot("proc");
        double total = 0, used = 0;
        QVERIFY(info.GetMemUsage(total, used));
        QCOMPARE(total, 16000.0);
        double rate = 0;
        QVERIFY(!info.GetCpuUsage(rate)); // unchanged counters over the 500 ms
        info.setProcRoot("no-such-proc");
        QVERIFY(!info.GetMemUsage(total, used));
        QElapsedTimer period;
        period.start();
        QVERIFY(!info.GetCpuUsage(rate));
        // unreadable counters still take the measuring period: the rhythm stays
        QVERIFY2(period.elapsed() >= 450, qPrintable(QString::number(period.elapsed())));

        // the real machine
        info.setProcRoot("/proc");
        QVERIFY(info.GetMemUsage(total, used));
        QVERIFY(total > 0 && used >= 0 && used <= total);
        unsigned long freeMb = 0, totalMb = 0;
        if (info.GetdiskSpace(freeMb, totalMb))
            QVERIFY(totalMb >= freeMb && totalMb > 0);
        QVERIFY(info.GetNetUsage());
        QVERIFY(info.GetPathSpace("/"));
        QVERIFY(!info.GetDiskSpeed());
    }

    // Between two samples the thread sleeps: it wakes for the measurement and the sample, not
    // to look for a stop request.
    void sleepsBetweenSamples()
    {
        SamplerRun run;
        run.start();
        QVERIFY(run.spy.wait(4000));
        const qint64 nBefore = samplerWakeups();
        QVERIFY(nBefore >= 0);
        QElapsedTimer waited;
        waited.start();
        QTest::qWait(1500); // one whole round: 500 ms of measurement and 1000 ms of wait
        const qint64 nWakeups = samplerWakeups() - nBefore;
        // A busy machine stretches the wait: every round begun may wake the thread as often.
        const qint64 nRounds = 1 + waited.elapsed() / 1500;
        QVERIFY2(nWakeups <= 8 * nRounds, qPrintable(QString("%1 in %2 rounds").arg(nWakeups).arg(nRounds)));
    }

    void loopRhythmAndStop()
    {
        const QString dir = QDir::currentPath();
        SamplerRun run;
        run.start();
        QVERIFY(run.spy.wait(4000));
        const qint64 first = run.started.elapsed();
        QVERIFY2(first >= 1400 && first < 3000, qPrintable(QString::number(first)));
        const QString text = run.spy.at(0).at(0).toString();
        QVERIFY2(QRegularExpression("^CPU占用：(\\d{2,3}|--)% \\| 内存占用：\\d{2,3}% $").match(text).hasMatch(),
                 qPrintable(text));

        // a stop request during the wait ends the loop at once, without a further sample (a busy
        // machine may have let the second one out before the stop)
        QTest::qWait(700); // now within the 1000 ms wait of the second sample
        QElapsedTimer stopTimer;
        stopTimer.start();
        const int nSamples = run.spy.count();
        run.info->stopUpdateInfo();
        run.thread.quit();
        QVERIFY(run.thread.wait(2000));
        QVERIFY2(stopTimer.elapsed() < 500, qPrintable(QString::number(stopTimer.elapsed())));
        QVERIFY(nSamples <= 2);
        QCOMPARE(run.spy.count(), nSamples);
        QCOMPARE(QDir::currentPath(), dir); // the working folder is never changed
    }
};

VISTEL_TEST_MAIN(TestSysInfo)
#include "tst_sysinfo.moc"
