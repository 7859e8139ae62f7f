// Start-up to the first paint, and peak memory, of the console with both editor frames built,
// against a bare Qt Widgets window, measured in the same run under X (Xvfb when no display is
// set). Each figure is the median, and the fastest, of several runs of a child process:
//   ./bench_startup [runs]      (default 7)
// A child is this program with --child bare|frames|console; it reports when its first window
// painted. "frames" is the bare window with both editor frames built beside it, which tells the
// frames' own share.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

#include "FontSubstitution.h"
#include "EditSceneMain.h"
#include "mainwindow.h"
#include "zinferface.h"

namespace {

class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_bDone) {
            m_bDone = true;
            QTimer::singleShot(0, []() {
                rusage u {};
                getrusage(RUSAGE_SELF, &u);
                std::printf("painted %ld\n", u.ru_maxrss);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_bDone = false;
};

int runChild(int argc, char *argv[], const QByteArray &mode)
{
    const bool bConsole = mode == "console";
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules("*.info=false");
    FirstPaint watcher;
    if (mode == "frames") {
        // the bare window with both editor frames built (hidden) beside it
        g_installFontSubstitutions();
        CEditSceneMain tarn;
        Zinferface z;
        QWidget w;
        w.resize(958, 332);
        w.installEventFilter(&watcher);
        w.show();
        return app.exec();
    }
    if (!bConsole) {
        QWidget w;
        w.resize(958, 332);
        w.installEventFilter(&watcher);
        w.show();
        return app.exec();
    }
    g_installFontSubstitutions();
    MainWindow::setDiscoveryPort(0, QHostAddress::LocalHost);
    int nRet = 0;
    {
        MainWindow w; // builds the Tarn frame
        Zinferface z;  // and the Z frame, as on the first Z device
        w.installEventFilter(&watcher);
        w.show();
        app.setStyleSheet(QString::fromUtf8([]() {
            QFile f(QStringLiteral(":/res/res/stylesheet/stylesheet.qss"));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }()));
        nRet = app.exec();
    }
    return nRet;
}

struct Sample
{
    double dMs = 0;
    double dMiB = 0;
};

bool runOnce(const QString &strSelf, const QString &strMode, Sample &sample)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer t;
    t.start();
    child.start(strSelf, {QStringLiteral("--child"), strMode});
    if (!child.waitForStarted(5000))
        return false;
    QByteArray out;
    while (!out.contains('\n') && child.waitForReadyRead(20000))
        out += child.readAllStandardOutput();
    sample.dMs = t.nsecsElapsed() / 1e6;
    child.waitForFinished(20000);
    const QList<QByteArray> parts = out.trimmed().split(' ');
    if (parts.size() != 2 || parts.at(0) != "painted")
        return false;
    sample.dMiB = parts.at(1).toDouble() / 1024.0;
    return true;
}

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && QByteArray(argv[1]) == "--child")
        return runChild(argc, argv, QByteArray(argv[2]));

    QCoreApplication app(argc, argv);
    const int nRuns = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 7;

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

    const QString strSelf = QCoreApplication::applicationFilePath();
    const QStringList modes{QStringLiteral("bare"), QStringLiteral("frames"), QStringLiteral("console")};
    QVector<QVector<double>> ms(modes.size()), mib(modes.size());
    Sample s;
    // one warm-up of each, then in turn so that all see the same machine load
    for (const QString &strMode : modes)
        runOnce(strSelf, strMode, s);
    for (int i = 0; i < nRuns; ++i) {
        for (int m = 0; m < modes.size(); ++m) {
            if (!runOnce(strSelf, modes.at(m), s))
                return 1;
            ms[m] << s.dMs;
            mib[m] << s.dMiB;
        }
    }
    const char *const names[] = {"bare window", "bare window + both frames", "console with both frames"};
    std::printf("start-up to first paint, median (fastest) of %d runs; peak memory, median:\n", nRuns);
    for (int m = 0; m < modes.size(); ++m) {
        const double dMin = *std::min_element(ms[m].begin(), ms[m].end());
        std::printf("  %-27s %5.0f ms (%4.0f ms) = %.2fx (%.2fx)   %5.1f MiB = %+.1f MiB\n", names[m], median(ms[m]),
                    dMin, median(ms[m]) / median(ms[0]),
                    dMin / *std::min_element(ms[0].begin(), ms[0].end()), median(mib[m]),
                    median(mib[m]) - median(mib[0]));
    }
    if (xvfb.state() != QProcess::NotRunning) {
        xvfb.terminate();
        xvfb.waitForFinished(3000);
    }
    return 0;
}
