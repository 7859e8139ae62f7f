// Idle CPU, run by hand:
//   ./bench_idle [seconds]      (default 10)
// 1. A process holding one connected, heartbeating worker (the simulated device in the same
//    process answers the heartbeats).
// 2. The console with two devices switched on (a Tarn and a Z device, simulated in the same
//    process on a thread of their own, whose CPU is counted apart) and both editor frames open,
//    doing nothing, against a bare QMainWindow shown in the same process before it: the median of
//    three rounds, how often the GUI thread woke, the threads that used the CPU and the events
//    the GUI thread handled (timers, queued calls, sockets, repaints) with the time they took.

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QMap>
#include <QMouseEvent>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <functional>
#include <cstdio>
#include <memory>
#include <pthread.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include "BenchUtil.h"
#include "DeviceControl.h"
#include "DeviceSimulator.h"
#include "SwitchButton.h"
#include "EditSceneMain.h"
#include "TcpDeviceThread.h"
#include "mainwindow.h"
#include "zinferface.h"

using Bench::cpuSeconds;

// CPU seconds of each thread of the process, by thread name and id.
static QMap<QString, double> threadCpu()
{
    QMap<QString, double> map;
    const long nTicks = sysconf(_SC_CLK_TCK);
    const QStringList listTasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &strTask : listTasks) {
        QFile file(QStringLiteral("/proc/self/task/%1/stat").arg(strTask));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray stat = file.readAll();
        const int nOpen = stat.indexOf('(');
        const int nClose = stat.lastIndexOf(')');
        if (nOpen < 0 || nClose < nOpen)
            continue;
        const QList<QByteArray> fields = stat.mid(nClose + 2).split(' ');
        if (fields.size() < 13)
            continue;
        // after the name: state is field 0, utime 11, stime 12
        const double dCpu = double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) / nTicks;
        map.insert(QString::fromLatin1(stat.mid(nOpen + 1, nClose - nOpen - 1)) + "/" + strTask, dCpu);
    }
    return map;
}

// Counts the timer events, queued calls, socket activations and repaints the GUI thread delivers,
// by receiver class, and the time spent in each kind (top-level deliveries only).
class WakeCounter : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *pReceiver, QEvent *event) override
    {
        if (QThread::currentThread() != thread())
            return QApplication::notify(pReceiver, event);
        if (m_bCounting && event->type() == QEvent::Paint)
            ++m_counts[QString::fromLatin1(pReceiver->metaObject()->className()) + QStringLiteral(" \"")
                       + pReceiver->objectName() + QStringLiteral("\" painted")]
                  .n;
        if (!m_bCounting || m_nDepth > 0 || !(event->type() == QEvent::Timer || event->type() == QEvent::MetaCall
                                             || event->type() == QEvent::SockAct
                                             || event->type() == QEvent::UpdateRequest))
            return deliver(pReceiver, event);
        const QString strKey = QString::fromLatin1(pReceiver->metaObject()->className())
                               + (pReceiver->parent() ? QStringLiteral(" of ")
                                                            + QString::fromLatin1(pReceiver->parent()->metaObject()->className())
                                                      : QString())
                               + QStringLiteral(", ") + QString::number(int(event->type()));
        QElapsedTimer t;
        t.start();
        const bool bResult = deliver(pReceiver, event);
        Count &count = m_counts[strKey];
        ++count.n;
        count.ns += t.nsecsElapsed();
        return bResult;
    }

    struct Count
    {
        int n = 0;
        qint64 ns = 0;
    };
    QMap<QString, Count> m_counts;
    bool m_bCounting = false;

private:
    bool deliver(QObject *pReceiver, QEvent *event)
    {
        ++m_nDepth;
        const bool bResult = QApplication::notify(pReceiver, event);
        --m_nDepth;
        return bResult;
    }
    int m_nDepth = 0;
};

// A left click in the middle of the widget, as a person makes it.
static void click(QWidget *pWidget)
{
    const QPointF pos = QRectF(pWidget->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, pos, pWidget->mapToGlobal(pos.toPoint()), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pWidget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, pWidget->mapToGlobal(pos.toPoint()), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pWidget, &release);
}

static double runFor(QApplication &app, int nMs)
{
    const double dCpu0 = cpuSeconds();
    QElapsedTimer t;
    t.start();
    QTimer::singleShot(nMs, &app, &QCoreApplication::quit);
    app.exec();
    return 100.0 * (cpuSeconds() - dCpu0) / (t.elapsed() / 1000.0);
}

static bool waitFor(QApplication &app, const std::function<bool()> &fnDone, int nMs)
{
    QElapsedTimer w;
    w.start();
    while (!fnDone() && w.elapsed() < nMs)
        app.processEvents(QEventLoop::AllEvents, 10);
    return fnDone();
}

static void oneWorker(WakeCounter &app, int nSeconds)
{
    CDeviceSimulator sim;
    sim.listen(QHostAddress("127.0.0.1"), 0);
    CTcpDeviceThread worker;
    worker.setDeviceSerial("IDLE");
    worker.setCanConnected(true);
    worker.connectToServer("127.0.0.1", sim.port());
    worker.start();
    waitFor(app, [&]() { return worker.isConnected(); }, 3000);
    const double dCpu0 = cpuSeconds();
    QElapsedTimer t;
    t.start();
    QTimer::singleShot(nSeconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double dCpu = cpuSeconds() - dCpu0;
    const double dWall = t.elapsed() / 1000.0;
    std::printf("idle connected worker: %.1f s wall, %.4f s CPU = %.3f%% of one core, %d heartbeats\n",
                dWall, dCpu, 100.0 * dCpu / dWall, sim.requests(27).size());
    worker.slot_stopDeviceThread();
    worker.wait();
}

// The two simulated devices, on a thread of their own: what they spend answering is the devices'
// share, not the console's.
class SimThread : public QThread
{
public:
    void run() override
    {
        clockid_t clock {};
        pthread_getcpuclockid(pthread_self(), &clock);
        m_clock = clock;
        m_pSimT.reset(new CDeviceSimulator(CSimDeviceModel::Tarn, 4, 2));
        m_pSimZ.reset(new CDeviceSimulator(CSimDeviceModel::Z, 3, 2));
        m_pSimT->setSerial(QStringLiteral("TSN"));
        m_pSimZ->setSerial(QStringLiteral("ZSN"));
        const bool bListening = CDeviceSimulator::listenOnOnePort(*m_pSimT, QHostAddress(QStringLiteral("127.0.0.4")),
                                                                  *m_pSimZ, QHostAddress(QStringLiteral("127.0.0.5")));
        m_nPort = bListening ? m_pSimT->port() : 0;
        m_bReady = true;
        if (bListening)
            exec();
        m_pSimT.reset();
        m_pSimZ.reset();
    }

    // Requests the devices received so far (read on their thread).
    int requestCount()
    {
        int n = 0;
        QMetaObject::invokeMethod(
            m_pSimT.get(), [this]() { return m_pSimT->requestCount() + m_pSimZ->requestCount(); },
            Qt::BlockingQueuedConnection, &n);
        return n;
    }

    double cpuSeconds() const
    {
        timespec ts {};
        clock_gettime(m_clock, &ts);
        return ts.tv_sec + ts.tv_nsec / 1e9;
    }

    std::atomic<bool> m_bReady {false};
    quint16 m_nPort = 0;

private:
    std::unique_ptr<CDeviceSimulator> m_pSimT, m_pSimZ;
    clockid_t m_clock {};
};

static void twoDevicesBothFrames(WakeCounter &app, int nSeconds)
{
    double dBare = 0;
    {
        QMainWindow bare;
        bare.resize(958, 332);
        bare.show();
        waitFor(app, [&]() { return false; }, 300);
        dBare = runFor(app, nSeconds * 1000);
    }

    SimThread sims;
    sims.start();
    while (!sims.m_bReady)
        QThread::msleep(5);
    if (!sims.m_nPort) {
        sims.wait();
        std::printf("two devices: the simulators could not listen\n");
        return;
    }
    MainWindow::setDiscoveryPort(0, QHostAddress::LocalHost);
    MainWindow::setSerialPortLister([]() { return QStringList(); });
    MainWindow::setDevicePort(sims.m_nPort);
    auto *pWindow = new MainWindow;
    pWindow->show();
    pWindow->slot_newDevice({"127.0.0.4", QString(), "Tarn-3", "TSN"});
    pWindow->slot_newDevice({"127.0.0.5", QString(), "Z7", "ZSN"});
    for (const char *pszSerial : {"TSN", "ZSN"})
        click(pWindow->checkR4Exist(pszSerial)->switchButton());
    const bool bRead = waitFor(
        app,
        [&]() {
            CTcpDeviceThread *pT = pWindow->getCurrentDevice("TSN");
            CTcpDeviceThread *pZ = pWindow->getCurrentDevice("ZSN");
            return pT && pZ && pT->getDeviceInfo()->vectorInput.size() == 4
                   && pZ->getDeviceInfo()->vectorInput.size() == 3;
        },
        8000);
    for (const char *pszSerial : {"TSN", "ZSN"})
        pWindow->checkR4Exist(pszSerial)->findChild<QPushButton *>(QStringLiteral("btnEdit"))->click();
    // Quiet: nothing but heartbeats for a second.
    int nLast = -1;
    QElapsedTimer quiet;
    quiet.start();
    waitFor(
        app,
        [&]() {
            const int n = sims.requestCount();
            if (n != nLast) {
                nLast = n;
                quiet.restart();
            }
            return quiet.elapsed() > 1000;
        },
        15000);
    const bool bFrames = pWindow->hasEditSceneMain() && pWindow->editSceneMain()->isVisible()
                         && pWindow->zInterface() && pWindow->zInterface()->isVisible();

    QVector<double> rounds, roundsAll;
    const QMap<QString, double> before = threadCpu();
    int nWakes = 0;
    const QMetaObject::Connection wakes = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, [&nWakes]() { ++nWakes; });
    app.m_bCounting = true;
    for (int i = 0; i < 3; ++i) {
        const double dSim0 = sims.cpuSeconds();
        const double dAll = runFor(app, nSeconds * 1000 / 3);
        roundsAll << dAll;
        rounds << dAll - 100.0 * (sims.cpuSeconds() - dSim0) / (nSeconds / 3.0);
    }
    app.m_bCounting = false;
    QObject::disconnect(wakes);
    const QMap<QString, double> after = threadCpu();
    std::sort(rounds.begin(), rounds.end());
    std::sort(roundsAll.begin(), roundsAll.end());
    std::printf("idle, %d s:\n  bare QMainWindow                       %.3f%% of one core\n"
                "  two devices on, both frames open%s %.3f%% of one core (median of 3 rounds: %.3f %.3f %.3f)\n"
                "    with the simulated devices' thread   %.3f%%\n",
                nSeconds, dBare, bRead && bFrames ? "      " : " (!)  ", rounds.at(1), rounds.at(0),
                rounds.at(1), rounds.at(2), roundsAll.at(1));
    std::printf("  the GUI thread went to sleep %.1f times a second\n", nWakes / double(nSeconds));
    std::printf("  threads (CPU s over the %d s):\n", nSeconds);
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const double d = it.value() - before.value(it.key());
        if (d > 0)
            std::printf("    %-32s %.3f\n", qPrintable(it.key()), d);
    }
    std::printf("  events the GUI thread handled (receiver, event type: count, ms in all):\n");
    for (auto it = app.m_counts.cbegin(); it != app.m_counts.cend(); ++it)
        std::printf("    %-50s %5d %8.2f\n", qPrintable(it.key()), it.value().n, it.value().ns / 1e6);
    delete pWindow;
    sims.quit();
    sims.wait();
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    WakeCounter app(argc, argv);
    QLoggingCategory::setFilterRules("*.info=false");
    const int nSeconds = argc > 1 ? std::max(3, QByteArray(argv[1]).toInt()) : 10;
    oneWorker(app, nSeconds);
    twoDevicesBothFrames(app, nSeconds);
    return 0;
}
