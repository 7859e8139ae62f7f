// OSD figures:
//   - CPU of one OSD item scrolling a full-width text (1920 x 108) at the highest speeds, and of
//     an idle item, over a few seconds each (process CPU time / wall time; the GUI thread shows
//     the frames as the canvas does);
//   - rendering and packing a full-width bitmap (1920 x 256);
//   - the pace of a bitmap transfer against the simulated device (packets per second from the
//     header to the last packet taken), beside the paced-command rate of plain one-byte writes.

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLoggingCategory>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

#include "BenchUtil.h"
#include "DeviceSimulator.h"
#include "EditAnimation.h"
#include "OSDBitmap.h"
#include "OSDTransfer.h"
#include "QorGlobal.h"
#include "TcpDeviceThread.h"
#include "editosditem.h"
#include "globalObserver.h"

using Bench::cpuSeconds;

static void runFor(int nMs)
{
    QTimer::singleShot(nMs, qApp, &QCoreApplication::quit);
    qApp->exec();
}

// Routes "slot_setDeviceCmd" to one worker and the OSD notifications to one transfer.
class CRoute : public QObject
{
    Q_OBJECT
public:
    CRoute(CTcpDeviceThread *pWorker, COSDTransfer *pTransfer) : m_pWorker(pWorker), m_pTransfer(pTransfer)
    {
        for (const char *t : {"slot_setDeviceCmd", "slot_sendbeginOSDdate", "slot_sendOSDdate"})
            globalObserver::getGlobalObserver()->attach(t, this, t);
    }
    ~CRoute() override
    {
        for (const char *t : {"slot_setDeviceCmd", "slot_sendbeginOSDdate", "slot_sendOSDdate"})
            globalObserver::getGlobalObserver()->detach(t, this);
    }
public slots:
    void slot_setDeviceCmd(QString, QString strCmd, QByteArray &data, int nRw, int nSub) { m_pWorker->setMcuCommand(strCmd, data, nRw, nSub); }
    void slot_sendbeginOSDdate() { m_pTransfer->sendBegin(); }
    void slot_sendOSDdate(int n) { m_pTransfer->sendPacket(n); }
private:
    CTcpDeviceThread *m_pWorker;
    COSDTransfer *m_pTransfer;
};

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules("*.info=false");
    const int nSeconds = argc > 1 ? QByteArray(argv[1]).toInt() : 5;

    // ---- scrolling and idle items
    QPixmap text(1920, 108);
    text.fill(QColor(80, 70, 255));
    {
        QPainter p(&text);
        p.setPen(Qt::white);
        p.setFont(QFont("Sans", 60));
        p.drawText(text.rect(), Qt::AlignLeft | Qt::AlignVCenter, "Welcome to the hall - OSD scroll");
    }
    for (int nSpeed : {5, 10}) {
        QGraphicsScene scene;
        auto *pItem = new EditOSDItem(QRect(0, 0, 1920, 108), true);
        scene.addItem(pItem);
        QGraphicsView view(&scene);
        view.resize(1000, 200);
        view.show();
        pItem->setOSDPixmap(text);
        pItem->m_nInSpeed = nSpeed;
        g_nOSDSpeed = nSpeed;
        pItem->preview();
        runFor(300);
        const double dCpu0 = cpuSeconds();
        QElapsedTimer t;
        t.start();
        runFor(nSeconds * 1000);
        const double dCpu = cpuSeconds() - dCpu0;
        std::printf("scrolling 1920x108 at speed %d (%d ms a frame): %.4f s CPU in %.1f s = %.2f%% of one core\n", nSpeed,
                    CEditAnimation::frameDelayMs(nSpeed), dCpu, t.elapsed() / 1000.0, 100.0 * dCpu / (t.elapsed() / 1000.0));
    }
    {
        QGraphicsScene scene;
        auto *pItem = new EditOSDItem(QRect(0, 0, 1920, 108), true);
        scene.addItem(pItem);
        runFor(300);
        const double dCpu0 = cpuSeconds();
        QElapsedTimer t;
        t.start();
        runFor(nSeconds * 1000);
        const double dCpu = cpuSeconds() - dCpu0;
        std::printf("idle OSD item: %.4f s CPU in %.1f s = %.3f%% of one core\n", dCpu, t.elapsed() / 1000.0,
                    100.0 * dCpu / (t.elapsed() / 1000.0));
    }

    // ---- render and pack a full-width bitmap
    {
        EditOSDItem item(QRect(0, 0, 1920, 256), true);
        item.setItemContent("Welcome to the hall - full width OSD bitmap");
        item.m_nFontSize = 120;
        const int nRuns = 20;
        QElapsedTimer t;
        t.start();
        qint64 nRender = 0;
        int nBytes = 0;
        for (int i = 0; i < nRuns; ++i) {
            QElapsedTimer r;
            r.start();
            QPixmap pixmap(1920, 256);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            QStyleOptionGraphicsItem option;
            item.m_fontColor = Qt::white;
            item.m_bkColor = Qt::black;
            item.paint(&painter, &option, nullptr);
            painter.end();
            const QImage img = pixmap.scaled(1920, 256, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).toImage();
            nRender += r.nsecsElapsed();
            nBytes = COSDBitmap::pack(img).size();
        }
        const double dTotal = t.nsecsElapsed() / 1e6 / nRuns;
        std::printf("full-width bitmap 1920x256 (%d bytes, %d packets): render %.2f ms + pack %.2f ms = %.2f ms\n", nBytes,
                    COSDBitmap::packetCount(nBytes), nRender / 1e6 / nRuns, dTotal - nRender / 1e6 / nRuns, dTotal);
    }

    // ---- transfer pace against the simulator
    {
        CDeviceSimulator sim;
        sim.listen(QHostAddress("127.0.0.1"), 0);
        CTcpDeviceThread worker;
        worker.setDeviceSerial("BENCH");
        worker.setCanConnected(true);
        worker.connectToServer("127.0.0.1", sim.port());
        worker.start();
        QElapsedTimer w;
        w.start();
        while (!worker.isConnected() && w.elapsed() < 3000)
            app.processEvents(QEventLoop::AllEvents, 10);
        runFor(500);
        COSDTransfer transfer;
        transfer.setHeaderDelay(0);
        CRoute route(&worker, &transfer);
        QImage img(1920, 256, QImage::Format_RGB32);
        img.fill(Qt::black);
        COSDBitmap::Params params;
        params.nW = 1920;
        params.nH = 256;
        QElapsedTimer t;
        qint64 nAllTaken = 0;
        QObject::connect(&transfer, &COSDTransfer::sig_allPacketsTaken, [&]() { nAllTaken = t.elapsed(); });
        QObject::connect(&transfer, &COSDTransfer::sig_finished, &app, &QCoreApplication::quit);
        t.start();
        transfer.start("BENCH", params, img);
        QTimer::singleShot(60000, &app, &QCoreApplication::quit);
        app.exec();
        const int nPackets = transfer.packetCount();
        std::printf("transfer of %d packets: all taken after %lld ms = %.0f packets/s; complete (with the finishing delay) after %lld ms\n",
                    nPackets, nAllTaken, nAllTaken > 0 ? nPackets * 1000.0 / nAllTaken : 0.0, t.elapsed());
        // plain paced writes of the same worker, for comparison
        const int nCmds = 500;
        const int nBefore = sim.requestCount();
        t.restart();
        for (int i = 0; i < nCmds; ++i) {
            QByteArray b(1, char(i));
            worker.setMcuCommand(QStringLiteral("图层设置"), b, 2, 2);
        }
        while (sim.requestCount() - nBefore < nCmds && t.elapsed() < 30000)
            app.processEvents(QEventLoop::AllEvents, 5);
        std::printf("paced one-byte writes: %d in %lld ms = %.0f commands/s\n", nCmds, t.elapsed(), nCmds * 1000.0 / t.elapsed());
        worker.slot_stopDeviceThread();
        worker.wait();
    }
    return 0;
}

#include "bench_osd.moc"
