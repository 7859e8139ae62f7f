// devsim - runs one or more simulated devices for trying the console without hardware.
//
//   devsim                                   one Tarn device on 127.0.0.1:8089, announced to 127.0.0.1:11502
//   devsim --family tarn,z                   a Tarn device on 127.0.0.1 and a Z device on 127.0.0.2
//   devsim --family z --inputs 6 --scenes 3  one Z device with 6 inputs and 3 stored scenes
//   devsim --serial                          one device on a pseudo terminal; its name is printed
//
// Each network device listens on its own loopback address (the console always connects to port
// 8089 of the announced address) and announces itself every --interval milliseconds. Every
// request is printed.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QTextStream>

#include <cstdio>
#include <memory>

#include "DeviceSimulator.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("devsim");
    QCommandLineParser parser;
    parser.setApplicationDescription("Simulated LED video processors for the console.");
    parser.addHelpOption();
    const QCommandLineOption family("family", "Device families, comma separated: tarn, z (default tarn).", "list", "tarn");
    const QCommandLineOption count("count", "Number of devices (default: one per family listed).", "n");
    const QCommandLineOption address("address", "Address of the first device; further devices count up the last number.", "ip", "127.0.0.1");
    const QCommandLineOption port("port", "TCP port of every device (default 8089).", "port", "8089");
    const QCommandLineOption announcePort("announce-port", "UDP port the announcements go to (default 11502).", "port", "11502");
    const QCommandLineOption announceTo("announce-to", "Address the announcements go to (default 127.0.0.1).", "ip", "127.0.0.1");
    const QCommandLineOption interval("interval", "Milliseconds between announcements (default 2000).", "ms", "2000");
    const QCommandLineOption inputs("inputs", "Inputs per device (default 4).", "n", "4");
    const QCommandLineOption scenes("scenes", "Stored scenes per device (default 2).", "n", "2");
    const QCommandLineOption serialPrefix("serial-prefix", "Device serials are this text and a number (default SIM).", "text", "SIM");
    const QCommandLineOption serial("serial", "Serve the first device on a pseudo terminal instead of the network.");
    const QCommandLineOption quiet("quiet", "Do not print the requests.");
    const QCommandLineOption delay("reply-delay", "Milliseconds each reply is delayed (default 0).", "ms", "0");
    const QCommandLineOption inTurn("in-turn", "Work through one request at a time: each reply waits for the one before.");
    const QCommandLineOption lateDeletes("late-deletes",
                                         "Take every scene delete at once and answer it this many milliseconds later, out of turn "
                                         "(default 0: in turn).", "ms", "0");
    const QCommandLineOption lose("lose",
                                  "Leave requests of command <cmd>, sub-command <sub> unanswered: the <nth> one and the <count> - 1 "
                                  "after it (default count 1), e.g. 34:0:2 loses the answer to the second 34/0 request.",
                                  "cmd:sub:nth[:count]");
    parser.addOptions({family, count, address, port, announcePort, announceTo, interval, inputs, scenes, serialPrefix, serial, quiet,
                       delay, inTurn, lateDeletes, lose});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList families = parser.value(family).toLower().split(',', Qt::SkipEmptyParts);
    if (families.isEmpty()) {
        err << "devsim: no family given\n";
        return 2;
    }
    for (const QString &f : families) {
        if (f != "tarn" && f != "z") {
            err << "devsim: unknown family " << f << " (tarn or z)\n";
            return 2;
        }
    }
    bool bOk = true;
    const int nCount = parser.isSet(count) ? parser.value(count).toInt(&bOk) : families.size();
    const int nInputs = parser.value(inputs).toInt();
    const int nScenes = parser.value(scenes).toInt();
    const int nPort = parser.value(port).toInt();
    const int nAnnouncePort = parser.value(announcePort).toInt();
    const int nInterval = parser.value(interval).toInt();
    const int nDelay = parser.value(delay).toInt();
    const int nLateDeletes = parser.value(lateDeletes).toInt();
    QList<int> listLose; // cmd, sub, nth, count
    if (parser.isSet(lose)) {
        // Every part a number: one that is not refuses the whole option (and never hides a bad
        // value given before it).
        bool bLoseOk = true;
        for (const QString &strPart : parser.value(lose).split(':')) {
            bool bPart = false;
            listLose.append(strPart.toInt(&bPart));
            bLoseOk = bLoseOk && bPart;
        }
        if (listLose.size() == 3)
            listLose.append(1);
        bOk = bOk && bLoseOk && listLose.size() == 4 && listLose.at(0) >= 0 && listLose.at(1) >= 0 && listLose.at(2) >= 1
              && listLose.at(3) >= 1;
    }
    QHostAddress first(parser.value(address));
    if (!bOk || nCount < 1 || nCount > 200 || nInputs < 0 || nInputs > 255 || nScenes < 0 || nScenes > 255
        || nPort < 0 || nPort > 65535 || nAnnouncePort < 1 || nAnnouncePort > 65535 || nInterval < 50
        || nDelay < 0 || nDelay > 60000 || nLateDeletes < 0 || nLateDeletes > 60000
        || first.protocol() != QAbstractSocket::IPv4Protocol) {
        err << "devsim: bad option value (see --help)\n";
        return 2;
    }

    QList<CDeviceSimulator *> devices;
    for (int i = 0; i < nCount; ++i) {
        const bool bZ = families.at(i % families.size()) == "z";
        auto *pSim = new CDeviceSimulator(bZ ? CSimDeviceModel::Z : CSimDeviceModel::Tarn, nInputs, nScenes, &app);
        pSim->setSerial(QString("%1%2").arg(parser.value(serialPrefix)).arg(i + 1, 4, 10, QChar('0')));
        const QString strSerial = pSim->serial();
        pSim->setReplyDelay(nDelay);
        pSim->setAnswersInTurn(parser.isSet(inTurn));
        if (nLateDeletes > 0) {
            pSim->setLateAnswerDelay(nLateDeletes);
            QObject::connect(pSim, &CDeviceSimulator::requestReceived, pSim, [pSim](int nCmd, int nRw, int nSub) {
                if (nCmd == 35 && nRw == 2 && nSub == 30)
                    pSim->injectFault(CDeviceSimulator::TakenLate, 35); // the reply to this request
            });
        }
        if (!listLose.isEmpty()) {
            auto pSeen = std::make_shared<int>(0);
            QObject::connect(pSim, &CDeviceSimulator::requestReceived, pSim, [pSim, listLose, pSeen](int nCmd, int, int nSub) {
                if (nCmd != listLose.at(0) || nSub != listLose.at(1))
                    return;
                const int nThis = ++*pSeen;
                if (nThis >= listLose.at(2) && nThis < listLose.at(2) + listLose.at(3))
                    pSim->injectFault(CDeviceSimulator::NoAnswer, nCmd); // the reply to this request
            });
        }
        if (!parser.isSet(quiet)) {
            QObject::connect(pSim, &CDeviceSimulator::requestReceived, pSim, [pSim, strSerial](int nCmd, int nRw, int nSub) {
                if (nCmd == 27)
                    return;
                const CSimRequest r = pSim->requests().last();
                QTextStream(stdout) << strSerial << " <- cmd " << nCmd << (nRw == 1 ? " read" : " write") << " sub " << nSub
                                    << " [" << r.payload.toHex(' ') << "]\n";
            });
        }
        if (i == 0 && parser.isSet(serial)) {
            if (!pSim->openPty()) {
                err << "devsim: cannot open a pseudo terminal\n";
                return 1;
            }
            out << strSerial << " (" << (bZ ? "Z" : "Tarn") << ") on serial port " << pSim->ptyName() << "\n";
        } else {
            const QHostAddress addr(first.toIPv4Address() + quint32(i));
            if (!pSim->listen(addr, quint16(nPort))) {
                err << "devsim: cannot listen on " << addr.toString() << ":" << nPort << "\n";
                return 1;
            }
            pSim->startAnnouncing(quint16(nAnnouncePort), nInterval, QHostAddress(parser.value(announceTo)));
            out << strSerial << " (" << pSim->deviceType() << ") on " << addr.toString() << ":" << pSim->port()
                << ", announced to " << parser.value(announceTo) << ":" << nAnnouncePort << "\n";
        }
        devices << pSim;
    }
    out.flush();
    setvbuf(stdout, nullptr, _IOLBF, 0);
    return app.exec();
}
