// CPU time of a process holding one connected, heartbeating worker for 10 s (the simulated
// device in the same process answers the heartbeats).

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

#include "DeviceSimulator.h"
#include "TcpDeviceThread.h"

static double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules("*.info=false");
    const int nSeconds = argc > 1 ? QByteArray(argv[1]).toInt() : 10;
    CDeviceSimulator sim;
    sim.listen(QHostAddress("127.0.0.1"), 0);
    CTcpDeviceThread worker;
    worker.setDeviceSerial("IDLE");
    worker.setCanConnected(true);
    worker.connectToServer("127.0.0.1", sim.port());
    worker.start();
    QElapsedTimer w;
    w.start();
    while (!worker.isConnected() && w.elapsed() < 3000)
        app.processEvents(QEventLoop::AllEvents, 10);
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
    return 0;
}
