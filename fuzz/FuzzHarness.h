#ifndef FUZZHARNESS_H
#define FUZZHARNESS_H

// The two fuzzed entry points of the device link, shared by the libFuzzer targets (fuzz/) and
// the corpus replay test (tests/tst_fuzzcorpus.cpp). Both need a QApplication (the worker owns a
// hidden widget); the harness makes an offscreen one on first use when none exists.
//
// Reply stream: byte 0 chooses the device family (bit 0: Z) and the chunking (bits 1..7: the
// largest chunk, 1..128 bytes); byte 1 the line (bit 0: serial) and the length of a script of
// what the console does (bits 1..7: 0..127 bytes) that follows it; the rest is fed to a fresh
// worker in chunks, as a transport would, first where the script says so, then to the end.
//
// Script, one step a byte (op = byte % 8):
//   0..2  a command sent: the next byte picks it from the table below, the one after the
//         payload's length (% 24), the payload's bytes follow
//   3     a heartbeat sent (TCP); over a serial line the oldest frame not written yet written
//   4     the clock moved on by (byte >> 3) * 100 ms; over a serial line the reply time-out ends
//         what it ends
//   5     the next chunk of replies taken in
//   6     by (byte >> 3) % 4: 0 the link ends (switched off and on), what was in flight with it;
//         1 the link (or serial line) is up again; 2 an OSD bitmap transfer of (next byte % 16,
//         at least 1) packets starts, its first packet in flight; 3 the link ends and is up again
//   7     any command sent: the next bytes its id and sub-command, read when bit 3 is set, then
//         the payload as for 0..2
// What the commands sent live through is checked as it happens: each ends once, none is answered
// before it was written, a reply is credited to the oldest open command of its kind (and of the
// subject its reply names; never to one sent after it), one ended unanswered takes a late reply
// only when none written and open can be the one answered; at the end every command ended
// exactly once. A broken rule traps.
// Discovery: the bytes are one datagram.

#include <QApplication>
#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QStringList>

#include <cstddef>
#include <cstdint>

#include "OSDTransfer.h"
#include "RecvDeviceThread.h"
#include "TcpDeviceThread.h"

namespace FuzzHarness {

inline void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char arg0[] = "fuzz";
    static char *argv[] = {arg0, nullptr};
    static QApplication *s_pApp = new QApplication(argc, argv);
    Q_UNUSED(s_pApp);
}

// Counts what reaches the scene hand-off, so the sink calls are exercised too.
class CountingSink : public CTarnSceneSink
{
public:
    void sceneRead(CTcpDeviceThread *, const CTarnSceneRecord &scene, bool) override { nCalls += scene.vectorLayer.size() + 1; }
    void layersRead(CTcpDeviceThread *, int, const QVector<CTarnLayerRecord> &layers) override { nCalls += layers.size(); }
    void sceneRemoved(CTcpDeviceThread *, int) override { ++nCalls; }
    void sceneRenumbered(CTcpDeviceThread *, int, int) override { ++nCalls; }
    long nCalls = 0;
};

// The lives of the commands sent, as the ledger reports them.
class LedgerWatch
{
public:
    void sent(const _mcu_cmd &cmd, bool bWritten)
    {
        m_listSent.append(cmd);
        m_listWritten.append(bWritten);
    }
    // Serial: the oldest open command not written yet is written.
    void written()
    {
        for (int i = 0; i < m_listSent.size(); ++i) {
            if (isOpen(i) && !m_listWritten.at(i)) {
                m_listWritten[i] = true;
                return;
            }
        }
    }

    void event(const _mcu_cmd &cmd, CCommandLedger::Event e)
    {
        const int i = int(cmd.nSeq) - 1;
        if (i < 0 || i >= m_listSent.size())
            __builtin_trap(); // a command the ledger never took
        QList<CCommandLedger::Event> &list = m_events[i];
        const bool bEnding = e != CCommandLedger::AnsweredLate && e != CCommandLedger::Doubted;
        if (bEnding && !list.isEmpty())
            __builtin_trap(); // ended twice
        if ((e == CCommandLedger::Answered || e == CCommandLedger::Refused || e == CCommandLedger::Unclear) && !m_listWritten.at(i))
            __builtin_trap(); // answered before it was written
        if (e == CCommandLedger::AnsweredLate) {
            if (list.size() != 1 || (list.first() != CCommandLedger::Unanswered && list.first() != CCommandLedger::Unclear))
                __builtin_trap();
            for (int j = 0; j < m_listSent.size(); ++j)
                if (isOpen(j) && m_listWritten.at(j) && sameSubject(j, i))
                    __builtin_trap(); // a command in flight could have been the one answered
        }
        if (e == CCommandLedger::Doubted
            && (list.size() != 1 || (list.first() != CCommandLedger::Answered && list.first() != CCommandLedger::Refused)))
            __builtin_trap();
        if (e == CCommandLedger::Answered || e == CCommandLedger::Refused)
            for (int j = 0; j < i; ++j)
                if (isOpen(j) && sameSubject(j, i))
                    __builtin_trap(); // credited ahead of an older open command of its kind
        list.append(e);
    }

    void checkAllEnded() const
    {
        for (int i = 0; i < m_listSent.size(); ++i)
            if (isOpen(i))
                __builtin_trap();
    }

private:
    bool isOpen(int i) const { return m_events.value(i).isEmpty(); }
    bool sameKind(int i, int j) const
    {
        const _mcu_cmd &a = m_listSent.at(i), &b = m_listSent.at(j);
        return a.nCmdIndex == b.nCmdIndex && a.nSubIndex3 == b.nSubIndex3 && (a.nReadOrWrite == 1) == (b.nReadOrWrite == 1);
    }
    // Of its kind and, where its replies name their subject, of the same one.
    bool sameSubject(int i, int j) const
    {
        const _mcu_cmd &a = m_listSent.at(i), &b = m_listSent.at(j);
        return sameKind(i, j)
               && (!CReplyFrame::echoesKey(a.nCmdIndex, a.nSubIndex3, a.nReadOrWrite == 1) || a.byte.left(1) == b.byte.left(1));
    }

    QList<_mcu_cmd> m_listSent;
    QList<bool> m_listWritten;
    QHash<int, QList<CCommandLedger::Event>> m_events;
};

inline void fuzzReplyStream(const uint8_t *pData, size_t nSize)
{
    ensureApplication();
    if (nSize < 2)
        return;
    static CountingSink s_sink;
    CTarnSceneSink::install(&s_sink);
    const QString strFamily = (pData[0] & 1) ? QStringLiteral("Z") : QStringLiteral("Tarn");
    const size_t nChunk = 1 + (pData[0] >> 1);
    const bool bSerial = pData[1] & 1;
    const size_t nScriptEnd = qMin(nSize, size_t(2 + (pData[1] >> 1)));
    CTcpDeviceThread worker;
    worker.setDeviceSerial(QStringLiteral("FUZZ"));
    worker.setDeviceType(strFamily);
    worker.injectSerialLine(bSerial);
    LedgerWatch watch;
    worker.commandLedger().setObserver([&watch](const _mcu_cmd &cmd, CCommandLedger::Event e) { watch.event(cmd, e); });
    COSDTransfer transfer;
    size_t i = nScriptEnd; // the replies
    const auto feedChunk = [&]() {
        const size_t n = qMin(nChunk, nSize - i);
        worker.injectReceivedData(QByteArray(reinterpret_cast<const char *>(pData + i), int(n)));
        i += n;
    };
    // The commands the script sends, reads and writes of the kinds the handlers follow.
    static const struct { int nCmd, nSub, nRw; } s_kinds[] = {
        {Tx_SetSystem, 10, 2}, {Tx_SetSystem, 10, 1}, {Tx_SetLayer, 10, 2}, {Tx_SetLayer, 0, 1},  {Tx_SetLayer, 0, 2},
        {Tx_SetLayer, 45, 2},  {Tx_SceneInfo, 0, 1},  {Tx_SceneInfo, 80, 1}, {Tx_SceneInfo, 20, 2}, {Tx_SceneInfo, 30, 2},
        {Tx_SceneInfo, 40, 2},
        {Tx_InputSet, 2, 1},   {Tx_InputSet, 2, 2},   {Tx_Outletsetting, 10, 2}, {Tx_Outletsetting, 10, 1},
        {Tx_OSDSet, 0, 1},     {Tx_GetSourceNum, 0, 1}, {Tx_LEDWHSet, 0, 2}, {Tx_GetInput, 1, 1}};
    size_t s = 2; // the script
    const auto next = [&]() { return s < nScriptEnd ? pData[s++] : uint8_t(0); };
    const auto send = [&](int nCmd, int nSub, int nRw) {
        const int nLen = next() % 24;
        QByteArray payload;
        for (int k = 0; k < nLen; ++k)
            payload.append(char(next()));
        _mcu_cmd cmd(nCmd, nRw, nSub, payload);
        watch.sent(cmd, !bSerial);
        worker.injectSentCommand(g_texing_name[nCmd], payload, nRw, nSub);
    };
    while (s < nScriptEnd) {
        const uint8_t uStep = next();
        switch (uStep % 8) {
        case 0:
        case 1:
        case 2: {
            const auto &kind = s_kinds[next() % (sizeof(s_kinds) / sizeof(s_kinds[0]))];
            send(kind.nCmd, kind.nSub, kind.nRw);
            break;
        }
        case 3:
            if (bSerial) {
                watch.written();
                worker.injectFrameWritten();
            } else {
                worker.injectHeartbeatSent();
            }
            break;
        case 4:
            worker.injectClockStep((uStep >> 3) * 100);
            break;
        case 5:
            if (i < nSize)
                feedChunk();
            break;
        case 6:
            switch ((uStep >> 3) % 4) {
            case 2:
                if (!transfer.isActive()) {
                    QImage image(1024, 1 + next() % 16, QImage::Format_RGB32); // 128 bytes a row
                    image.fill(Qt::white);
                    transfer.start(QStringLiteral("FUZZ"), COSDBitmap::Params(), image);
                    QMetaObject::invokeMethod(&transfer, "slot_sendHeader");
                    transfer.sendBegin();
                }
                break;
            case 1:
                worker.injectLinkUp();
                break;
            default:
                worker.setCanConnected(false);
                worker.setCanConnected(true);
                if ((uStep >> 3) % 4 == 3)
                    worker.injectLinkUp();
                break;
            }
            break;
        default: {
            const int nCmd = next() % TX_COMMAND_COUNT;
            const int nSub = next();
            if (nCmd != Tx_Heart)
                send(nCmd, nSub, (uStep & 8) ? 1 : 2);
            break;
        }
        }
    }
    while (i < nSize)
        feedChunk();
    // The link's end ends what is still in flight.
    worker.setCanConnected(false);
    watch.checkAllEnded();
    // Read back what the handlers built, so a corrupt record shows up under the sanitizers.
    long nSum = 0;
    for (InputSource *pInput : worker.getDeviceInfo()->vectorInput)
        nSum += pInput->nId + pInput->strName.size();
    for (CTarnSceneRecord *pScene : worker.getSceneList())
        nSum += pScene->vectorLayer.size();
    for (ZSceneInfo *pScene : worker.getZSceneList())
        nSum += pScene->strName.size();
    for (int nId = 0; nId < 4; ++nId)
        nSum += worker.getMainSigInputSource(nId).size();
    (void)nSum;
}

inline void fuzzDiscovery(const uint8_t *pData, size_t nSize)
{
    QStringList fields;
    const QByteArray datagram(reinterpret_cast<const char *>(pData), int(qMin<size_t>(nSize, 4096)));
    if (CRecvDeviceThread::parshUdpData(datagram, &fields)) {
        // an accepted announcement always has an address and a serial
        if (fields.size() < 4 || fields.at(3).isEmpty() || !CRecvDeviceThread::isVaildIp(fields.at(0)))
            __builtin_trap();
    }
}

} // namespace FuzzHarness

#endif // FUZZHARNESS_H
