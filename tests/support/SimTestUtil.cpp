#include "SimTestUtil.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include "DeviceSimulator.h"
#include "TcpDeviceThread.h"

namespace SimTest {

bool connectWorker(CTcpDeviceThread &worker, CDeviceSimulator &sim, const QString &strSerial)
{
    worker.setDeviceSerial(strSerial);
    worker.setCanConnected(true);
    QSignalSpy connected(&worker, &CTcpDeviceThread::connected);
    worker.connectToServer(sim.address().toString(), sim.port());
    worker.start();
    return connected.count() > 0 || connected.wait(3000);
}

bool linkAgain(CTcpDeviceThread &worker)
{
    QSignalSpy connected(&worker, &CTcpDeviceThread::connected);
    worker.reConnected();
    const bool bConnected = connected.wait(3000);
    worker.start();
    return bConnected;
}

void settle(CTcpDeviceThread &worker, CDeviceSimulator &sim, int nQuietMs)
{
    QElapsedTimer t;
    t.start();
    int nLast = -1;
    QElapsedTimer quiet;
    quiet.start();
    while (t.elapsed() < 8000) {
        QTest::qWait(20);
        const int n = sim.requestCount();
        if (n != nLast) {
            nLast = n;
            quiet.restart();
        }
        // A command the worker took is on its way or awaits its answer until the answer was
        // handled: on a busy machine that can outlast the quiet time.
        if (worker.queuedCommandCount() == 0 && !worker.hasCommandInFlight() && quiet.elapsed() >= nQuietMs)
            return;
    }
}

bool afterUnansweredDelete(CTcpDeviceThread &worker, CDeviceSimulator &sim, int nScene, const std::function<void()> &fnAfter,
                           int nFault, const std::function<bool()> &fnWhen)
{
    bool bMade = false;
    const auto make = [&] {
        bMade = true;
        fnAfter();
    };
    const QMetaObject::Connection made =
        QObject::connect(&sim, &CDeviceSimulator::requestReceived, [&](int nCmd, int nReadOrWrite, int) {
            if (!bMade && !fnWhen && nCmd == 33 && nReadOrWrite == 1 && sim.hasRequest(35, 30))
                make();
        });
    const auto disconnect = qScopeGuard([&made] { QObject::disconnect(made); });
    sim.injectFault(nFault < 0 ? CDeviceSimulator::TakenLate : CDeviceSimulator::Fault(nFault), 35);
    worker.setMcuCommand(QString::fromUtf8("场景操作"), QByteArray(1, char(nScene)), 2, 30);
    const auto done = [&] {
        if (!bMade && fnWhen && sim.hasRequest(35, 30) && fnWhen())
            make();
        return bMade && sim.lateAnswersPending() == 0;
    };
    if (!QTest::qWaitFor(done, 12000))
        return false;
    settle(worker, sim);
    return true;
}

void holdQueue(CTcpDeviceThread &worker, CDeviceSimulator &sim, int nQueued, std::function<void()> fnSend, int nCmd)
{
    // The device falls silent as the read reaches it, not before: a heartbeat it left unanswered
    // would keep the gate shut, and the read would never leave.
    bool bSilent = false;
    const QMetaObject::Connection silence =
        QObject::connect(&sim, &CDeviceSimulator::requestReceived, &sim, [&sim, &bSilent, nCmd](int nGot, int nRw, int nSub) {
            if (nGot == nCmd && nRw == 1 && nSub == (nCmd == 41 ? 10 : 0)) {
                bSilent = true;
                sim.setAnswering(false);
            }
        });
    const auto disconnect = qScopeGuard([&silence] { QObject::disconnect(silence); });
    if (!fnSend)
        fnSend = [&worker] { worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(), 1, 10); };
    fnSend();
    QTRY_VERIFY(bSilent && worker.hasCommandInFlight());
    int i = 0;
    const auto topUp = [&] {
        for (; i < 4096 && worker.queuedCommandCount() < nQueued; ++i)
            worker.setMcuCommand(QString::fromUtf8("系统设置"), QByteArray(1, char(i >> 8)) + char(i & 0xFF), 1, 10);
    };
    topUp();
    if (nQueued == 0)
        return;
    // Behind a read of the command last answered the gate is open, and the reads queued go out
    // until the in-flight bound; once the queue is held it stays as filled.
    QTRY_VERIFY(worker.queueHeld());
    topUp();
}

quint16 freeUdpPort()
{
    QUdpSocket socket;
    socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
    return socket.localPort();
}

void feedScenes(CTcpDeviceThread &worker, CSimDeviceModel &model)
{
    for (int nId = 1; nId <= model.scenes.size(); ++nId)
        worker.injectReceivedData(
            CDeviceSimulator::replyFrame(35, 1, 0, model.answer(35, 1, 0, QByteArray(1, char(nId)))));
}

QList<int> commandOrder(const CDeviceSimulator &sim)
{
    QList<int> listCmd;
    for (const CSimRequest &req : sim.requestsWithoutHeartbeat())
        listCmd << req.nCmd;
    return listCmd;
}

}
