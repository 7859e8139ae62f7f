// Start-up of the console as a person meets it, against a bare QMainWindow program built the same
// way (the same libraries, the same application set-up), under X (an Xvfb of its own when no
// display is set):
//   ./bench_startup [runs]      (default 9)
// Each run launches a child process: the launcher takes the time right before exec, and the child
// quits one event-loop turn after its first paint. The console child starts as the program does
// (g_prepareConsoleApplication, g_startConsole), the bare one makes a QMainWindow of the device
// list's size after the same application set-up. The whole process is measured: wall time from
// before exec to its exit, CPU (user + sys) and peak memory from the kernel's account of the child,
// and the first paint from before exec. The children run in turn, so that both see the same
// machine load, after one warm-up run each; each figure is the median.
// A child is this program with --child bare|console <fd>; it writes the time of its first paint
// to the descriptor <fd>.

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <algorithm>
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

// Notes the first paint of any widget and quits one event-loop turn later.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(int nFd)
        : m_nFd(nFd)
    {
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_bPainted) {
            m_bPainted = true;
            writeLine(m_nFd, "painted", monotonicNs());
            QTimer::singleShot(0, []() { QCoreApplication::exit(0); });
        }
        return false;
    }

private:
    int m_nFd;
    bool m_bPainted = false;
};

int runChild(int argc, char *argv[], const QByteArray &mode, int nFd)
{
    g_prepareConsoleApplication();
    QApplication app(argc, argv);
    FirstPaint watcher(nFd);
    app.installEventFilter(&watcher);
    if (mode == "bare") {
        QMainWindow w;
        w.resize(958, 332);
        w.show();
        return app.exec();
    }
    // Discovery on a port of its own, so that runs in parallel with the tests bind nothing
    // they use.
    MainWindow::setDiscoveryPort(0, QHostAddress::LocalHost);
    MainWindow *pWindow = g_startConsole(app);
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
    rusage usage {};
    const pid_t done = wait4(pid, &nStatus, 0, &usage);
    const qint64 nEnd = monotonicNs();
    QByteArray out;
    char buf[256];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        out.append(buf, int(n));
    close(fds[0]);
    if (done != pid || !WIFEXITED(nStatus) || WEXITSTATUS(nStatus) != 0)
        return false;
    qint64 nExec = 0;
    qint64 nPainted = 0;
    for (const QByteArray &line : out.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 2 && parts.at(0) == "exec")
            nExec = parts.at(1).toLongLong();
        else if (parts.size() == 2 && parts.at(0) == "painted")
            nPainted = parts.at(1).toLongLong();
    }
    if (!nExec || !nPainted)
        return false;
    sample.dWallMs = (nEnd - nExec) / 1e6;
    sample.dPaintMs = (nPainted - nExec) / 1e6;
    sample.dCpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
                    + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    sample.dPeakMiB = usage.ru_maxrss / 1024.0;
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
    QVector<double> wall[kModes], cpu[kModes], paint[kModes], peak[kModes];
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

    std::printf("whole process from exec, median of %d runs:\n", nRuns);
    std::printf("  %-26s %8s %8s %13s %9s\n", "", "wall ms", "CPU ms", "1st paint ms", "peak MiB");
    const char *const names[] = {"bare QMainWindow", "console"};
    for (int m = 0; m < kModes; ++m) {
        std::printf("  %-26s %8.0f %8.0f %13.0f %9.1f\n", names[m], median(wall[m]), median(cpu[m]),
                    median(paint[m]), median(peak[m]));
        if (m > 0)
            std::printf("  %-26s %7.2fx %7.2fx %12.2fx %+8.1f\n", "  against the bare window",
                        median(wall[m]) / median(wall[0]), median(cpu[m]) / median(cpu[0]),
                        median(paint[m]) / median(paint[0]), median(peak[m]) - median(peak[0]));
    }
    return 0;
}
