// The device list at scale, measured from outside: the program's own window in one process,
// a plain Qt receiver running the same datagram parser in another, and a sender announcing
// N devices (each once a second) to both in a third. Run by hand from the build folder,
// preferably under a real X server: xvfb-run -a ./bench_devicelist [devices] [seconds]
//
// Prints, each with its target:
//   start-up to the first paint: the device list window against a bare widgets window
//   announcements evenly spaced: console CPU against the plain receiver, time until every row
//     exists, datagrams lost by each
//   announcements in bursts (all devices at once, every second): datagrams lost by each
//   closing the window with every row: from the close to the process's exit
//   closing the window with N rows made in process (close and delete), against a bare window
//     whose tree holds N rows of text, closed and deleted the same way (median of alternating rounds)
//   one hub notification with and without 4,000 subscriptions of other topics

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <QUdpSocket>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

#include "BenchUtil.h"
#include "FontSubstitution.h"
#include "QorGlobal.h"
#include "RecvDeviceThread.h"
#include "globalObserver.h"
#include "mainwindow.h"

namespace {

qint64 monoNs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

using Bench::cpuSeconds;

void say(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void applyStyleSheet(QApplication &app)
{
    QFile qss(GlobalSpace::STYLE_QSS_FILE_PATH);
    if (qss.open(QFile::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(qss.readAll()));
}

// Calls back for each command line ("mark", "stop") that arrives on standard input.
void onCommand(QObject *pContext, std::function<void(const QByteArray &)> fn)
{
    auto *pNotifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, pContext);
    QObject::connect(pNotifier, &QSocketNotifier::activated, pContext, [pNotifier, fn]() {
        char buf[256];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            pNotifier->setEnabled(false);
            return;
        }
        for (const QByteArray &line : QByteArray(buf, int(n)).split('\n')) {
            if (!line.trimmed().isEmpty())
                fn(line.trimmed());
        }
    });
}

QByteArray announcementText(int i)
{
    return QStringLiteral("127.%1.%2.%3:x:%4:BENCH%5")
        .arg(1 + i / 62500).arg((i / 250) % 250).arg(1 + i % 250)
        .arg(i % 2 ? QStringLiteral("Z7") : QStringLiteral("Tarn-3"))
        .arg(i, 5, 10, QLatin1Char('0'))
        .toUtf8();
}

QByteArray datagram(const QByteArray &text)
{
    QByteArray d;
    d.append(char(0xAA)).append(char(0x55)).append(char(text.size() >> 8)).append(char(text.size() & 0xFF));
    d.append(text);
    quint32 sum = 0;
    for (char c : d)
        sum += uchar(c);
    d.append(char((sum >> 8) & 0xFF)).append(char(sum & 0xFF));
    return d;
}

// ---------------------------------------------------------------- children

int runConsole(int argc, char **argv, quint16 uPort, int nDevices)
{
    QApplication app(argc, argv);
    g_installFontSubstitutions();
    QLoggingCategory::setFilterRules(QStringLiteral("*.info=false"));
    MainWindow::setDiscoveryPort(uPort, QHostAddress::LocalHost);
    MainWindow::setSerialPortLister([]() { return QStringList(); });
    auto *pWindow = new MainWindow;
    pWindow->show();
    applyStyleSheet(app);
    QElapsedTimer wait;
    wait.start();
    while (pWindow->recvDevice()->boundPort() == 0 && wait.elapsed() < 5000)
        app.processEvents(QEventLoop::AllEvents, 5);

    std::atomic<int> nReceived{0};
    std::atomic<qint64> nFirstNs{0};
    QObject::connect(pWindow->recvDevice(), &CRecvDeviceThread::sig_deviceAnnounced, [&](QStringList) {
        if (nReceived++ == 0)
            nFirstNs = monoNs();
    });
    qint64 nAllRowsNs = 0;
    auto *pPoll = new QTimer(&app);
    QObject::connect(pPoll, &QTimer::timeout, [&]() {
        if (pWindow->rootItem()->childCount() >= nDevices) {
            nAllRowsNs = monoNs();
            pPoll->stop();
        }
    });
    pPoll->start(2);
    const double dCpu0 = cpuSeconds();
    double dCpuMark = 0;
    onCommand(&app, [&](const QByteArray &cmd) {
        if (cmd == "mark") {
            dCpuMark = cpuSeconds();
            return;
        }
        const double dCpu = cpuSeconds();
        say(QByteArray("cpu ") + QByteArray::number(dCpu - dCpu0, 'f', 4));
        say(QByteArray("steadycpu ") + QByteArray::number(dCpu - dCpuMark, 'f', 4));
        say(QByteArray("received ") + QByteArray::number(nReceived.load()));
        say(QByteArray("rows ") + QByteArray::number(pWindow->rootItem()->childCount()));
        say(QByteArray("allrows ") + QByteArray::number(nAllRowsNs ? (nAllRowsNs - nFirstNs) / 1e9 : -1.0, 'f', 3));
        say(QByteArray("closing ") + QByteArray::number(monoNs()));
        pWindow->close();
    });
    say("ready");
    const int nRet = app.exec();
    say(QByteArray("loopended ") + QByteArray::number(monoNs()));
    delete pWindow;
    say(QByteArray("deleted ") + QByteArray::number(monoNs()));
    return nRet;
}

int runPlain(int argc, char **argv, quint16 uPort)
{
    QCoreApplication app(argc, argv);
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::LocalHost, uPort, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint))
        return 1;
    int nReceived = 0;
    QObject::connect(&socket, &QUdpSocket::readyRead, [&]() {
        while (socket.hasPendingDatagrams()) {
            QByteArray d(int(qMax<qint64>(0, socket.pendingDatagramSize())), '\0');
            const qint64 n = socket.readDatagram(d.data(), d.size());
            if (n < 0)
                break;
            d.truncate(int(n));
            QStringList fields;
            if (CRecvDeviceThread::parshUdpData(d, &fields))
                ++nReceived;
        }
    });
    const double dCpu0 = cpuSeconds();
    double dCpuMark = 0;
    onCommand(&app, [&](const QByteArray &cmd) {
        if (cmd == "mark") {
            dCpuMark = cpuSeconds();
            return;
        }
        say(QByteArray("cpu ") + QByteArray::number(cpuSeconds() - dCpu0, 'f', 4));
        say(QByteArray("steadycpu ") + QByteArray::number(cpuSeconds() - dCpuMark, 'f', 4));
        say(QByteArray("received ") + QByteArray::number(nReceived));
        app.quit();
    });
    say("ready");
    return app.exec();
}

int runSender(quint16 uPortA, quint16 uPortB, int nDevices, int nSeconds, bool bBurst)
{
    QUdpSocket socket;
    QList<QByteArray> listDatagrams;
    for (int i = 0; i < nDevices; ++i)
        listDatagrams << datagram(announcementText(i));
    int nSent = 0;
    const qint64 nStart = monoNs();
    auto sleepUntil = [](qint64 nAt) {
        const qint64 nLeft = nAt - monoNs();
        if (nLeft > 0) {
            timespec ts { time_t(nLeft / 1000000000LL), long(nLeft % 1000000000LL) };
            nanosleep(&ts, nullptr);
        }
    };
    for (int s = 0; s < nSeconds; ++s) {
        for (int i = 0; i < nDevices; ++i) {
            if (!bBurst)
                sleepUntil(nStart + s * 1000000000LL + qint64(i) * 1000000000LL / nDevices);
            socket.writeDatagram(listDatagrams.at(i), QHostAddress::LocalHost, uPortA);
            socket.writeDatagram(listDatagrams.at(i), QHostAddress::LocalHost, uPortB);
            ++nSent;
        }
        if (bBurst)
            sleepUntil(nStart + (s + 1) * 1000000000LL);
    }
    say(QByteArray("sent ") + QByteArray::number(nSent));
    return 0;
}

int runStartup(int argc, char **argv, bool bConsole)
{
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.info=false"));
    QWidget *pWindow = nullptr;
    if (bConsole) {
        g_installFontSubstitutions();
        MainWindow::setDiscoveryPort(0, QHostAddress::LocalHost);
        pWindow = new MainWindow;
    } else {
        auto *pBare = new QMainWindow;
        pBare->setCentralWidget(new QLabel(QStringLiteral("bare")));
        pBare->resize(958, 332);
        pWindow = pBare;
    }
    struct PaintSpy : QObject
    {
        QWidget *pWindow = nullptr;
        bool eventFilter(QObject *pObj, QEvent *pEvent) override
        {
            if (pEvent->type() == QEvent::Paint && pObj->isWidgetType()
                && static_cast<QWidget *>(pObj)->window() == pWindow) {
                qApp->removeEventFilter(this);
                QTimer::singleShot(0, qApp, []() {
                    say(QByteArray("painted ") + QByteArray::number(monoNs()));
                    qApp->closeAllWindows();
                });
            }
            return false;
        }
    } spy;
    spy.pWindow = pWindow;
    app.installEventFilter(&spy);
    pWindow->show();
    if (bConsole)
        applyStyleSheet(app);
    const int nRet = app.exec();
    delete pWindow;
    return nRet;
}

// The window with nDevices rows (announced in process, every row built and laid out), then
// closed and deleted as the program does at its end; prints the time of that in ms.
int runClose(int argc, char **argv, int nDevices, bool bConsole)
{
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.info=false"));
    app.setQuitOnLastWindowClosed(false);
    QMainWindow *pWindow = nullptr;
    if (bConsole) {
        g_installFontSubstitutions();
        MainWindow::setDiscoveryPort(0, QHostAddress::LocalHost);
        MainWindow::setSerialPortLister([]() { return QStringList(); });
        auto *pConsole = new MainWindow;
        pWindow = pConsole;
        pWindow->show();
        applyStyleSheet(app);
        for (int i = 0; i < nDevices; ++i)
            pConsole->slot_newDevice(QString::fromUtf8(announcementText(i)).split(QLatin1Char(':')));
    } else {
        pWindow = new QMainWindow;
        auto *pTree = new QTreeWidget;
        pTree->setColumnCount(4);
        auto *pRoot = new QTreeWidgetItem(pTree);
        for (int i = 0; i < nDevices; ++i) {
            const QStringList fields = QString::fromUtf8(announcementText(i)).split(QLatin1Char(':'));
            auto *pItem = new QTreeWidgetItem(pRoot);
            pItem->setText(0, fields.at(0));
            pItem->setText(1, fields.at(2));
            pItem->setText(2, fields.at(3));
        }
        pRoot->setExpanded(true);
        pWindow->setCentralWidget(pTree);
        pWindow->resize(958, 332);
        pWindow->show();
        applyStyleSheet(app);
    }
    for (int i = 0; i < 20; ++i)
        app.processEvents();
    const qint64 nStart = monoNs();
    pWindow->close();
    const qint64 nClosed = monoNs();
    delete pWindow;
    say(QByteArray("closecall ") + QByteArray::number((nClosed - nStart) / 1e6, 'f', 2));
    say(QByteArray("closed ") + QByteArray::number((monoNs() - nStart) / 1e6, 'f', 2));
    return 0;
}

// ---------------------------------------------------------------- in process

class HubSink : public QObject
{
    Q_OBJECT
public slots:
    void slot_bench(int n) { m_nSum += n; }
public:
    qint64 m_nSum = 0;
};

double hubNotifyUs(int nOtherSubscriptions)
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    QList<HubSink *> listOthers;
    for (int i = 0; i < nOtherSubscriptions; ++i) {
        auto *p = new HubSink;
        pHub->attach(QStringLiteral("slot_other%1").arg(i % 100), p, "slot_bench");
        listOthers << p;
    }
    HubSink sink;
    pHub->attach(QStringLiteral("slot_bench"), &sink, "slot_bench");
    // Best of five rounds: the machine may be shared.
    const int nRounds = 20000;
    int n = 1;
    double dUs = 1e9;
    for (int nTry = 0; nTry < 5; ++nTry) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < nRounds; ++i)
            pHub->notify(QStringLiteral("slot_bench"), Q_ARG(int, n));
        dUs = std::min(dUs, t.nsecsElapsed() / 1000.0 / nRounds);
    }
    pHub->detach(QStringLiteral("slot_bench"), &sink);
    for (int i = 0; i < listOthers.size(); ++i)
        pHub->detach(QStringLiteral("slot_other%1").arg(i % 100), listOthers.at(i));
    qDeleteAll(listOthers);
    return dUs;
}

// ---------------------------------------------------------------- orchestration

struct Child
{
    QProcess proc;
    QByteArray out;
    QByteArray value(const char *pszKey)
    {
        for (const QByteArray &line : out.split('\n')) {
            if (line.startsWith(QByteArray(pszKey) + ' '))
                return line.mid(int(qstrlen(pszKey)) + 1).trimmed();
        }
        return QByteArray();
    }
    void start(const QStringList &args)
    {
        proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc.start(QCoreApplication::applicationFilePath(), args);
        proc.waitForStarted();
    }
    bool waitFor(const char *pszLine, int nMs = 15000)
    {
        QElapsedTimer t;
        t.start();
        while (!out.contains(pszLine) && t.elapsed() < nMs) {
            proc.waitForReadyRead(50);
            out += proc.readAllStandardOutput();
        }
        return out.contains(pszLine);
    }
    void command(const char *pszLine)
    {
        proc.write(QByteArray(pszLine) + '\n');
        proc.waitForBytesWritten(1000);
    }
    void finish()
    {
        proc.waitForFinished(30000);
        out += proc.readAllStandardOutput();
    }
};

quint16 freeUdpPort()
{
    QUdpSocket s;
    s.bind(QHostAddress(QHostAddress::LocalHost), 0);
    return s.localPort();
}

using Bench::median;

void startupRound()
{
    QList<double> listBare, listConsole;
    for (int i = 0; i < 7; ++i) {
        for (bool bConsole : {false, true}) {
            Child c;
            const qint64 nStart = monoNs();
            c.start({bConsole ? "startup-console" : "startup-bare"});
            c.waitFor("painted");
            c.finish();
            const double dMs = (c.value("painted").toLongLong() - nStart) / 1e6;
            (bConsole ? listConsole : listBare) << dMs;
        }
    }
    const double dBare = median(listBare), dConsole = median(listConsole);
    std::printf("start-up to first paint (median of 7): bare window %.1f ms, device list %.1f ms, ratio %.2f (target <= 1.5)\n",
                dBare, dConsole, dConsole / dBare);
}

void closeRound(int nDevices)
{
    QList<double> listBare, listConsole, listCloseCall;
    for (int i = 0; i < 5; ++i) {
        for (bool bConsole : {false, true}) {
            Child c;
            c.start({bConsole ? "close-console" : "close-bare", QString::number(nDevices)});
            c.waitFor("closed", 60000);
            c.finish();
            (bConsole ? listConsole : listBare) << c.value("closed").toDouble();
            if (bConsole)
                listCloseCall << c.value("closecall").toDouble();
        }
    }
    std::printf("closing the window with %d rows (median of 5): device list %.1f ms (target <= 50; close() %.1f ms, "
                "the rest deleting the window), bare window with a tree of text rows %.1f ms\n",
                nDevices, median(listConsole), median(listCloseCall), median(listBare));
}

void announceRound(int nDevices, int nSeconds, bool bBurst)
{
    const quint16 uConsole = freeUdpPort();
    quint16 uPlain = freeUdpPort();
    while (uPlain == uConsole)
        uPlain = freeUdpPort();
    Child console, plain, sender;
    console.start({"console", QString::number(uConsole), QString::number(nDevices)});
    plain.start({"plain", QString::number(uPlain)});
    if (!console.waitFor("ready") || !plain.waitFor("ready")) {
        std::printf("a receiver did not start\n");
        return;
    }
    sender.start({"sender", QString::number(uConsole), QString::number(uPlain), QString::number(nDevices),
                  QString::number(nSeconds), bBurst ? "burst" : "even"});
    // From the third second on every row exists: what is left is the steady cost.
    sender.proc.waitForFinished(2000);
    console.command("mark");
    plain.command("mark");
    const qint64 nMarkNs = monoNs();
    sender.finish();
    const double dSteadySeconds = (monoNs() - nMarkNs) / 1e9;
    QThread::msleep(300);
    console.command("stop");
    plain.command("stop");
    console.waitFor("closing");
    plain.waitFor("received");
    console.finish();
    const qint64 nExited = monoNs();
    plain.finish();

    const double nSent = sender.value("sent").toDouble();
    const double dCpuConsole = console.value("cpu").toDouble();
    const double dCpuPlain = plain.value("cpu").toDouble();
    const double dLostConsole = 100.0 * (1.0 - console.value("received").toDouble() / nSent);
    const double dLostPlain = 100.0 * (1.0 - plain.value("received").toDouble() / nSent);
    std::printf("%d devices, %s, %d s: %.0f announcements sent to each receiver\n", nDevices,
                bBurst ? "in bursts" : "evenly spaced", nSeconds, nSent);
    const double dSteadyConsole = console.value("steadycpu").toDouble();
    const double dSteadyPlain = plain.value("steadycpu").toDouble();
    std::printf("  CPU over the whole run (first round included): console %.3f s, plain receiver %.3f s, ratio %.2f\n",
                dCpuConsole, dCpuPlain, dCpuPlain > 0 ? dCpuConsole / dCpuPlain : 0.0);
    std::printf("  CPU once every row exists (%.1f s): console %.3f s = %.2f%% of a core, plain receiver %.3f s = %.2f%%,"
                " ratio %.2f (target <= 3)\n", dSteadySeconds, dSteadyConsole, 100 * dSteadyConsole / dSteadySeconds,
                dSteadyPlain, 100 * dSteadyPlain / dSteadySeconds, dSteadyPlain > 0 ? dSteadyConsole / dSteadyPlain : 0.0);
    std::printf("  lost: console %.1f%%, plain receiver %.1f%% (target: console <= plain)\n", dLostConsole,
                dLostPlain);
    std::printf("  rows %s, every row %s s after the first announcement (target <= 1.5)\n",
                console.value("rows").constData(), console.value("allrows").constData());
    const qint64 nClosing = console.value("closing").toLongLong();
    std::printf("  close to process exit: %.1f ms (target <= 20): event loop ended after %.1f ms, window deleted after %.1f ms\n",
                (nExited - nClosing) / 1e6, (console.value("loopended").toLongLong() - nClosing) / 1e6,
                (console.value("deleted").toLongLong() - nClosing) / 1e6);
}

} // namespace

int main(int argc, char *argv[])
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "console" && argc > 3)
        return runConsole(argc, argv, quint16(atoi(argv[2])), atoi(argv[3]));
    if (mode == "plain" && argc > 2)
        return runPlain(argc, argv, quint16(atoi(argv[2])));
    if (mode == "sender" && argc > 6)
        return runSender(quint16(atoi(argv[2])), quint16(atoi(argv[3])), atoi(argv[4]), atoi(argv[5]),
                         QByteArray(argv[6]) == "burst");
    if (mode == "startup-console" || mode == "startup-bare")
        return runStartup(argc, argv, mode == "startup-console");
    if ((mode == "close-console" || mode == "close-bare") && argc > 2)
        return runClose(argc, argv, atoi(argv[2]), mode == "close-console");

    QCoreApplication app(argc, argv);
    const int nDevices = argc > 1 ? qMax(1, atoi(argv[1])) : 1000;
    const int nSeconds = argc > 2 ? qMax(4, atoi(argv[2])) : 8;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::printf("platform: %s\n", qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? "xcb" : qgetenv("QT_QPA_PLATFORM").constData());
    hubNotifyUs(0); // warm-up
    const double dQuiet = hubNotifyUs(0);
    const double dBusy = hubNotifyUs(4000);
    std::printf("hub notification: %.2f us alone, %.2f us beside 4,000 subscriptions of 100 other topics, ratio %.2f (target ~1)\n",
                dQuiet, dBusy, dBusy / dQuiet);
    startupRound();
    closeRound(nDevices);
    if (qEnvironmentVariableIsSet("BENCH_CLOSE_ONLY"))
        return 0;
    announceRound(nDevices, nSeconds, false);
    announceRound(nDevices, nSeconds, true);
    return 0;
}

#include "bench_devicelist.moc"
