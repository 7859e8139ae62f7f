#ifndef COMMANDLEDGER_H
#define COMMANDLEDGER_H

// The lives of the commands sent to one device: sent (and, over a serial line, written), then
// ended exactly once - answered, refused, unanswered (a later heartbeat's reply, the serial reply
// time-out, or a reply that showed it skipped), lost with the link, or of unclear fate (a reply
// that may be its own or that of an earlier one of its kind) - and perhaps answered late after it
// ended unanswered. The ledger decides what each event ends; the worker keeps the transport, the
// records and the handlers, and acts on what the ledger says.
//
// It has no socket, no widgets and no lock of its own: the worker calls it under its state lock.
// Its clock is passed in, in milliseconds.
//
// The device answers in order. A reply answers the oldest command in flight of its command,
// sub-command and kind (read or write, which the device echoes) and, where the reply names its
// subject (the key the request carried in its first byte: an input, a scene, an output port), of
// that key; the ones sent before that were skipped. A heartbeat's reply ends every command sent
// before that heartbeat. Over a serial line a command ends at the reply time-out, counted from
// when the device could start on it: from when its bytes were written or the command before it
// ended or was answered, whichever is later. One ended so is kept a while: a reply still answers
// it late, but only when no command in flight can be the one answered. Where the console cannot
// tell which of several writes of one kind a reply answers it credits none, and says which writes
// it may concern; a write that was credited while another of its kind was in flight behind it is
// doubted once that one ends unanswered, for the reply it took may have been that one's. Writes of
// unknown fate (unanswered, lost, unclear, doubted) are read back by the worker.
//
// The bounds forget nothing silently: doubts dropped at the bound leave one of each kind and key,
// doubted when theirs would have been (what it wrote is read back), and a command dropped from
// the late list while it could still be answered late makes the next reply of its kind (and key)
// of unclear fate, until a command sent after it is answered (the device answers in order).

#include <QByteArray>
#include <QList>

#include <functional>

// One command, queued or sent.
struct _mcu_cmd
{
    _mcu_cmd() = default;
    _mcu_cmd(int nCmd, int nRw, int nSub, const QByteArray &payload)
        : nCmdIndex(nCmd), nReadOrWrite(nRw), nSubIndex3(nSub), byte(payload)
    {
    }
    bool isRead(int nCmd, int nSub, const QByteArray &payload) const
    {
        return nReadOrWrite == 1 && nCmdIndex == nCmd && nSubIndex3 == nSub && byte == payload;
    }

    int nCmdIndex = 0;     // command id
    int nReadOrWrite = 1;  // 1 read, 2 write
    int nSubIndex3 = 0;    // sub-command
    QByteArray byte;       // payload (a copy of the caller's)
    bool bKeep = false;    // queued while handling a loss: waits for the next link, switch-off or not
    qint64 nSeq = 0;       // sent: its number in sending order on the ledger
    int nHeartsBefore = 0; // sent: heartbeats sent on this link before it
    qint64 nSentMs = 0;    // sent: when, on the worker's clock
    qint64 nWrittenMs = -1; // serial: when its bytes were written to the line (-1: not yet)
    qint64 nFrontMs = -1;   // serial: when the one before it ended or was answered (-1: in flight)
    bool bEnded = false;   // ended as unanswered already: a reply to it came late
};

class CCommandLedger
{
public:
    // What befell a command (the first five end it; the others come after its ending).
    enum Event {
        Answered,     // a reply other than a NAK answered it
        Refused,      // a NAK answered it
        Unanswered,   // skipped, a later heartbeat's reply, or the serial time-out
        LostInFlight, // the link ended with it in flight
        Unclear,      // a reply of its kind came that may be its own or an ended one's (a read's
                      // reply fills the records whoever asked it)
        AnsweredLate, // ended unanswered, then answered (a NAK: refused) after all
        Doubted       // answered or refused on a reply that may have been a later one's
    };

    // What one event ended and answered, oldest first in each list.
    struct Outcome
    {
        bool bAnswered = false;
        _mcu_cmd answered;                // bEnded: answered late
        QList<_mcu_cmd> listUnanswered;   // ended unanswered now
        QList<_mcu_cmd> listLost;         // ended with the link
        QList<_mcu_cmd> listUnclear;      // ended of unclear fate
        QList<_mcu_cmd> listDoubted;      // writes ended before whose answer is in doubt now
        // The reply answers a command of ours numbered no later than this (nSeq), credited or not;
        // -1: none of ours.
        qint64 nAnswersSeqBy = -1;
        // Credited to none: the oldest of ours it may answer, its number (-1: none of ours).
        qint64 nAnswersSeqFrom = -1;
    };

    // At most this many commands in flight, and as many kept for a late reply or in doubt.
    enum { MaxInFlight = 256 };
    // A reply that names no subject.
    enum { NoKey = -1 };

    // The command leaves (stamped with its number, the heartbeats before it and the time).
    // bWritten: its bytes are on the line already (over TCP always: there no time-out counts
    // from them); else written() says when they are. Until then no reply answers it.
    void sent(_mcu_cmd &cmd, qint64 nNowMs, bool bWritten);
    // Serial: the bytes of the oldest command not written yet were written to the line.
    void written(qint64 nNowMs);
    void heartbeatSent();
    // A reply (bHeartbeat: a heartbeat's, whose other fields do not count). nKey: the subject the
    // reply names (the first byte of the request it answers), or NoKey.
    Outcome reply(int nCmd, int nSub, bool bRead, bool bNak, bool bHeartbeat, qint64 nNowMs, int nKey = NoKey);
    // Serial: the oldest command in flight, written and waited for nTimeoutMs since the device
    // could start on it, ends unanswered.
    Outcome timedOut(qint64 nNowMs, int nTimeoutMs);
    // Milliseconds until the oldest command reaches its time-out (0: it has), -1: none counts.
    qint64 msToTimeOut(qint64 nNowMs, int nTimeoutMs) const;
    // The link ended (lost, switched off): what was in flight is lost, nothing can be answered
    // late.
    Outcome linkEnded();
    // A new link is up: nothing of the old one can be answered late. What is in flight was handed
    // to this link's socket while it came up (written once connected), and so were the heartbeats
    // sent since the old link ended: they are answered on this one.
    void linkBegan();

    // The number of the last command sent (0: none yet): those numbered up to it left before now.
    qint64 lastSentSeq() const { return m_nNextSeq - 1; }
    bool hasInFlight() const { return !m_listInFlight.isEmpty(); }
    int inFlightCount() const { return m_listInFlight.size(); }
    // The commands in flight, oldest first.
    const QList<_mcu_cmd> &inFlight() const { return m_listInFlight; }
    bool hasWriteInFlight() const;
    // Writes that end so may or may not have been taken: read back what they wrote.
    static bool unknownFate(Event eEvent) { return eEvent == Unanswered || eEvent == LostInFlight || eEvent == Unclear || eEvent == Doubted; }

    // Told every event, with the command it befell (tests).
    void setObserver(const std::function<void(const _mcu_cmd &, Event)> &fnObserver) { m_fnObserver = fnObserver; }

private:
    static bool sameKind(const _mcu_cmd &a, const _mcu_cmd &b)
    {
        return a.nCmdIndex == b.nCmdIndex && a.nSubIndex3 == b.nSubIndex3 && (a.nReadOrWrite == 1) == (b.nReadOrWrite == 1);
    }
    static int keyOf(const _mcu_cmd &cmd) { return cmd.byte.isEmpty() ? NoKey : int(uchar(cmd.byte.at(0))); }
    // cmd may be the one a reply of kind key answers (nKey: the subject it names, or NoKey).
    static bool mayAnswer(const _mcu_cmd &cmd, const _mcu_cmd &key, int nKey)
    {
        return sameKind(cmd, key) && (nKey == NoKey || keyOf(cmd) == nKey);
    }
    void tell(const _mcu_cmd &cmd, Event eEvent) const;
    // cmd ended as eEvent: a write of a kind in doubt ended without an answer dooms the doubts.
    void ended(const _mcu_cmd &cmd, Event eEvent, Outcome &out);
    void keepLate(_mcu_cmd cmd);
    // A reply to the command numbered nSeq came: the device answers in order, so those ended
    // unanswered before it, listed or dropped at the bound, will not be answered any more.
    void forgetLateBefore(qint64 nSeq);
    void credit(int nFlight, bool bNak, Outcome &out);
    // Serial: the oldest command in flight may be started on from nNowMs, once the one before it
    // ended, or once a reply to a command sent before it came (nAnsweredSeq, -1: none).
    void frontMoved(qint64 nNowMs, qint64 nAnsweredSeq);

    qint64 m_nNextSeq = 1;
    QList<_mcu_cmd> m_listInFlight;
    QList<_mcu_cmd> m_listLate;
    // Writes credited while writes of their kind sent after them were in flight: should one of
    // those end without an answer before none of the kind is left in flight behind a credited one,
    // the replies they took may have been the later ones'.
    QList<_mcu_cmd> m_listDoubt;
    // Past its bound: one doubt kept for each kind and key of those dropped, doubted with them.
    QList<_mcu_cmd> m_listDoubtDropped;
    // Commands ended unanswered and dropped from the late list at its bound, by kind and key
    // (their count): a reply that may be theirs is of unclear fate.
    struct DroppedLate
    {
        _mcu_cmd kind;
        int nCount = 0;
        qint64 nFirstSeq = 0; // the oldest sent, its number: a reply may be its answer
        qint64 nSeq = 0;      // the latest sent, its number
    };
    QList<DroppedLate> m_listDroppedLate;
    int m_nHeartsSent = 0;
    int m_nHeartsAnswered = 0; // never more than were sent
    std::function<void(const _mcu_cmd &, Event)> m_fnObserver;
};

#endif // COMMANDLEDGER_H
