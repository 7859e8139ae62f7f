// Paced commands through a connected worker against the simulator on loopback, against a raw
// TCP ping-pong of the same frame sizes.
//
// Worker: N commands alternate between two read commands (different ids, so each waits for the
// reply of the one before: one command in flight). Each carries its number: a read already
// queued is not queued again, and N stays below the queue's bound. The simulator runs in a thread of its own,
// like a device would be elsewhere. Raw: a client thread writes the same request frame and
// blocks until it has read a reply of the same size from a server thread, N times.
// Logging is off for both.

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "DeviceFrame.h"
#include "DeviceSimulator.h"
#include "TcpDeviceThread.h"

namespace {

class SimThread : public QThread
{
public:
    quint16 port = 0;
    std::atomic<int> requests{0};
    int target = 0;
    void run() override
    {
        CDeviceSimulator sim;
        QObject::connect(&sim, &CDeviceSimulator::requestReceived, [this](int nCmd, int, int) {
            if (nCmd != 27 && ++requests == target)
                QMetaObject::invokeMethod(qApp, "quit", Qt::QueuedConnection);
        });
        sim.listen(QHostAddress("127.0.0.1"), 0);
        port = sim.port();
        exec();
    }
};

class RawServer : public QThread
{
public:
    explicit RawServer(int nRequest, int nReply) : m_nRequest(nRequest), m_nReply(nReply) {}
    quint16 port = 0;
    std::atomic<bool> ready{false};
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress("127.0.0.1"), 0);
        port = server.serverPort();
        ready = true;
        if (!server.waitForNewConnection(10000))
            return;
        QTcpSocket *s = server.nextPendingConnection();
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        const QByteArray reply(m_nReply, 'r');
        QByteArray buf;
        for (;;) {
            if (!s->waitForReadyRead(5000))
                return;
            buf += s->readAll();
            while (buf.size() >= m_nRequest) {
                buf.remove(0, m_nRequest);
                s->write(reply);
                s->flush();
            }
        }
    }
private:
    int m_nRequest;
    int m_nReply;
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules("*.info=false");
    const int N = std::min(argc > 1 ? QByteArray(argv[1]).toInt() : 1000, 1000);

    // ---- worker
    SimThread sim;
    sim.target = N;
    sim.start();
    while (sim.port == 0)
        QThread::msleep(1);
    CTcpDeviceThread worker;
    worker.setDeviceSerial("BENCH");
    worker.setCanConnected(true);
    worker.connectToServer("127.0.0.1", sim.port);
    worker.start();
    QElapsedTimer wait;
    wait.start();
    while (!worker.isConnected() && wait.elapsed() < 3000)
        app.processEvents(QEventLoop::AllEvents, 10);
    const QString strA = QString::fromUtf8("系统设置");     // 41 read: 21-byte request, 31-byte reply
    const QString strB = QString::fromUtf8("大屏宽高");     // 30 read: 21-byte request, 25-byte reply
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < N; ++i) {
        const QByteArray number = QByteArray(1, char(i >> 8)) + char(i & 0xFF);
        worker.setMcuCommand(i % 2 == 0 ? strA : strB, number, 1, i % 2 == 0 ? 10 : 0);
    }
    // the GUI thread sleeps in its event loop, as in the console; done when the last request
    // has reached the device (its reply is one round trip more)
    app.exec();
    const double dWorker = t.nsecsElapsed() / 1e9;
    const double dWorkerRate = N / dWorker;
    worker.slot_stopDeviceThread();
    worker.wait();
    sim.quit();
    sim.wait();

    // ---- raw ping-pong, same sizes (average of the two commands)
    const int nRequest = 21, nReply = 28;
    RawServer server(nRequest, nReply);
    server.start();
    while (!server.ready)
        QThread::msleep(1);
    QTcpSocket client;
    client.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    client.connectToHost("127.0.0.1", server.port);
    client.waitForConnected(3000);
    const QByteArray request(nRequest, 'q');
    QElapsedTimer r;
    r.start();
    for (int i = 0; i < N; ++i) {
        client.write(request);
        client.flush();
        int nGot = 0;
        while (nGot < nReply && client.waitForReadyRead(3000))
            nGot += int(client.readAll().size());
    }
    const double dRaw = r.nsecsElapsed() / 1e9;
    const double dRawRate = N / dRaw;
    client.close();
    server.wait();

    std::printf("paced worker: %d commands in %.3f s = %.0f commands/s\n", N, dWorker, dWorkerRate);
    std::printf("raw TCP ping-pong: %d round trips in %.3f s = %.0f round trips/s\n", N, dRaw, dRawRate);
    std::printf("ratio raw/worker: %.2f\n", dRawRate / dWorkerRate);
    return 0;
}
