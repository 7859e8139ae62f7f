// Start-up of the console as a person meets it, against a bare QMainWindow program built the same
// way (the same libraries, the same application set-up), under X (an Xvfb of its own when no
// display is set):
//   ./bench_startup [runs]      (default 9)
// Each run launches a child process; the launcher takes the time right before exec. A child runs
// until it is idle: its first paint is done, and (the console) the Tarn frame is built with every
// start-up read queued, and its event loop is about to sleep. There it reports, from the time
// before exec: the time to idle, its CPU (user + sys, all threads) and peak memory at that moment,
// the first paint, and the longest stretch the GUI thread worked without sleeping after the first
// paint; then it closes down as the program does. The children run in turn, so that both see the
// same machine load, after one warm-up run each; each figure is the median.
// A child is this program with --child bare|console <fd>; it writes its figures to the descriptor
// <fd>. For a profile to idle and no further, run a child alone with BENCH_STARTUP_EXIT_AT_IDLE set:
//   QT_QPA_PLATFORM=offscreen BENCH_STARTUP_EXIT_AT_IDLE=1 valgrind --tool=callgrind ./bench_startup --child console 1

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QMainWindow>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ConsoleStart.h"
#include "mainwindow.h"

namespace {

qint64 monotonicNs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void writeLine(int nFd, const char *pszKey, qint64 nValue)
{
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "%s %lld\n", pszKey, static_cast<long long>(nValue));
    if (n > 0)
        (void)!write(nFd, buf, size_t(n));
}

qint64 cpuUs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000 + usage.ru_utime.tv_usec
           + usage.ru_stime.tv_usec;
}

// Times each event the GUI thread delivers at the top level (a handler's nested deliveries are
// part of it): the longest one after the first paint is the longest the window did not respond.
class TimingApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *pReceiver, QEvent *event) override
    {
        if (QThread::currentThread() != thread()) // the other threads' deliveries are not the window's
            return QApplication::notify(pReceiver, event);
        if (event->type() == QEvent::Paint && !m_nPainted)
            m_nPainted = monotonicNs();
        if (m_nDepth > 0 || !m_nPainted)
            return deliver(pReceiver, event);
        const qint64 nStart = monotonicNs();
        const bool bResult = deliver(pReceiver, event);
        m_nLongest = std::max(m_nLongest, monotonicNs() - nStart);
        return bResult;
    }

    qint64 painted() const { return m_nPainted; }
    qint64 longest() const { return m_nLongest; }

private:
    bool deliver(QObject *pReceiver, QEvent *event)
    {
        ++m_nDepth;
        const bool bResult = QApplication::notify(pReceiver, event);
        --m_nDepth;
        return bResult;
    }

    int m_nDepth = 0;
    qint64 m_nPainted = 0;
    qint64 m_nLongest = 0;
};

// Notes the moment the program is idle: the first time the event loop is about to sleep with the
// first paint done and the caller's condition met. There it writes its figures and ends the loop.
class IdleWatch : public QObject
{
public:
    IdleWatch(TimingApplication &app, int nFd, std::function<bool()> fnReady)
        : m_app(app)
        , m_nFd(nFd)
        , m_fnReady(std::move(fnReady))
    {
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                [this]() { aboutToBlock(); });
    }

private:
    void aboutToBlock()
    {
        if (!m_app.painted() || m_bDone || !m_fnReady())
            return;
        m_bDone = true;
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        writeLine(m_nFd, "idle", monotonicNs());
        writeLine(m_nFd, "cpu", cpuUs());
        writeLine(m_nFd, "rss", usage.ru_maxrss);
        writeLine(m_nFd, "painted", m_app.painted());
        writeLine(m_nFd, "block", m_app.longest());
        if (qEnvironmentVariableIsSet("BENCH_STARTUP_EXIT_AT_IDLE"))
            _exit(0); // nothing of the close-down in a profile
        QTimer::singleShot(0, []() { QCoreApplication::exit(0); });
    }

    TimingApplication &m_app;
    int m_nFd;
    std::function<bool()> m_fnReady;
    bool m_bDone = false;
};

int runChild(int argc, char *argv[], const QByteArray &mode, int nFd)
{
    g_prepareConsoleApplication();
    TimingApplication app(argc, argv);
    if (mode == "bare") {
        IdleWatch watcher(app, nFd, []() { return true; });
        QMainWindow w;
        w.resize(958, 332);
        w.show();
        return app.exec();
    }
    // Discovery on a port of its own, so that runs in parallel with the tests bind nothing
    // they use.
    MainWindow::setDiscoveryPort(0, QHostAddress::LocalHost);
    MainWindow *pWindow = nullptr;
    IdleWatch watcher(app, nFd, [&pWindow]() { return pWindow && pWindow->hasEditSceneMain(); });
    pWindow = g_startConsole(app);
    const int nRet = app.exec();
    delete pWindow;
    return nRet;
}

struct Sample
{
    double dWallMs = 0;
    double dCpuMs = 0;
    double dPaintMs = 0;
    double dPeakMiB = 0;
    double dBlockMs = 0;
};

bool runOnce(const char *pszSelf, const char *pszMode, Sample &sample)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        close(fds[0]);
        const int nNull = open("/dev/null", O_RDWR);
        dup2(nNull, STDIN_FILENO);
        dup2(nNull, STDOUT_FILENO);
        dup2(nNull, STDERR_FILENO);
        char szFd[16];
        std::snprintf(szFd, sizeof szFd, "%d", fds[1]);
        writeLine(fds[1], "exec", monotonicNs());
        execl(pszSelf, pszSelf, "--child", pszMode, szFd, static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    int nStatus = 0;
    const pid_t done = waitpid(pid, &nStatus, 0);
    QByteArray out;
    char buf[256];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        out.append(buf, int(n));
    close(fds[0]);
    if (done != pid || !WIFEXITED(nStatus) || WEXITSTATUS(nStatus) != 0)
        return false;
    QHash<QByteArray, qint64> values;
    for (const QByteArray &line : out.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 2)
            values.insert(parts.at(0), parts.at(1).toLongLong());
    }
    const qint64 nExec = values.value("exec");
    if (!nExec || !values.value("idle") || !values.value("painted"))
        return false;
    sample.dWallMs = (values.value("idle") - nExec) / 1e6;
    sample.dPaintMs = (values.value("painted") - nExec) / 1e6;
    sample.dCpuMs = values.value("cpu") / 1e3;
    sample.dPeakMiB = values.value("rss") / 1024.0;
    sample.dBlockMs = values.value("block") / 1e6;
    return true;
}

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    if (v.isEmpty())
        return 0;
    const int n = v.size();
    return n % 2 ? v.at(n / 2) : (v.at(n / 2 - 1) + v.at(n / 2)) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4 && QByteArray(argv[1]) == "--child")
        return runChild(argc, argv, QByteArray(argv[2]), std::atoi(argv[3]));

    QCoreApplication app(argc, argv);
    const int nRuns = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 9;

    QProcess xvfb;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        const QString strDisplay = QStringLiteral(":%1").arg(90 + QCoreApplication::applicationPid() % 9);
        xvfb.start(QStringLiteral("Xvfb"), {strDisplay, QStringLiteral("-screen"), QStringLiteral("0"),
                                           QStringLiteral("1920x1080x24"), QStringLiteral("-nolisten"),
                                           QStringLiteral("tcp")});
        if (!xvfb.waitForStarted(5000)) {
            std::fprintf(stderr, "no display and Xvfb could not be started\n");
            return 1;
        }
        const QString strSocket = QStringLiteral("/tmp/.X11-unix/X%1").arg(strDisplay.mid(1));
        for (int i = 0; i < 100 && !QFile::exists(strSocket); ++i)
            QThread::msleep(50);
        qputenv("DISPLAY", strDisplay.toLatin1());
    }
    qputenv("QT_QPA_PLATFORM", "xcb");

    const QByteArray self = QCoreApplication::applicationFilePath().toLocal8Bit();
    const char *const modes[] = {"bare", "console"};
    constexpr int kModes = 2;
    QVector<double> wall[kModes], cpu[kModes], paint[kModes], peak[kModes], block[kModes];
    Sample s;
    bool bOk = true;
    // one warm-up of each, then in turn
    for (const char *pszMode : modes)
        bOk = bOk && runOnce(self.constData(), pszMode, s);
    for (int i = 0; i < nRuns && bOk; ++i) {
        for (int m = 0; m < kModes && bOk; ++m) {
            bOk = runOnce(self.constData(), modes[m], s);
            wall[m] << s.dWallMs;
            cpu[m] << s.dCpuMs;
            paint[m] << s.dPaintMs;
            peak[m] << s.dPeakMiB;
            block[m] << s.dBlockMs;
        }
    }
    if (xvfb.state() != QProcess::NotRunning) {
        xvfb.terminate();
        xvfb.waitForFinished(3000);
    }
    if (!bOk) {
        std::fprintf(stderr, "a child failed\n");
        return 1;
    }

    std::printf("from exec to idle, median of %d runs:\n", nRuns);
    std::printf("  %-26s %8s %8s %13s %9s %14s\n", "", "wall ms", "CPU ms", "1st paint ms", "peak MiB",
                "longest GUI ms");
    const char *const names[] = {"bare QMainWindow", "console"};
    for (int m = 0; m < kModes; ++m) {
        std::printf("  %-26s %8.0f %8.0f %13.0f %9.1f %14.1f\n", names[m], median(wall[m]), median(cpu[m]),
                    median(paint[m]), median(peak[m]), median(block[m]));
        if (m > 0)
            std::printf("  %-26s %7.2fx %7.2fx %12.2fx %+8.1f\n", "  against the bare window",
                        median(wall[m]) / median(wall[0]), median(cpu[m]) / median(cpu[0]),
                        median(paint[m]) / median(paint[0]), median(peak[m]) - median(peak[0]));
    }
    return 0;
}
