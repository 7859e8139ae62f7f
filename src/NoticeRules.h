#ifndef NOTICERULES_H
#define NOTICERULES_H

// What the operator is told of one device's writes and reads: which ending is said, when, and
// only once. The worker keeps the transport and the records and tells this class how each write
// ended and what the reads back of the doubtful ones answered; it returns what to say.
//
// No widgets, no socket, no lock of its own (GUI thread); the clock is passed in, in
// milliseconds. Which of a read and a write left first, or whether a write left before the link
// came up, is told by the ledger's numbers (_mcu_cmd::nSeq), never the clock: both may fall in one
// millisecond.
//
// The rules:
// - A write refused on the spot, refused by the device or dropped from the queue never reached
//   the device: said at once. Endings that follow within BurstMs of the one before (and no write
//   taken in between) are the same event repeated: said once.
// - Contact lost is one event until the device is heard again (a good frame on a new link), not
//   when a link is merely made: the writes lost with, or dropped from, a link on which the device
//   said nothing (a device that accepts connections but does not answer) belong to the loss said
//   before, however long the console went on trying.
// - A write left unanswered, or lost in flight with the link, may have been taken all the same:
//   nothing is said until the read back of what it wrote answers (with the link down, on the next
//   link; meanwhile the loss box names the device). When the records, filled by that answer, hold
//   what they held when the write ended, the device kept the old value: "not made", once. When
//   they changed, or the write was answered late, the device took it: nothing is said. A write of
//   what the records hold already is no doubt: its read back cannot tell. A doubt settled so is an
//   event of its own, said whenever it is settled (on the next link too): it is no ending of a
//   burst, and ends none. So is the ending, on a new link, of a write sent before it came up.
// - What no answer showed is not guessed: a read back given up, or a write left unanswered or lost
//   in flight that no read can tell about, is said as not answered, its fate unknown. A scene the
//   device does not hold (its read refused, or beyond the device's count) was not saved or
//   renamed: "not made".
// - Every give-up of a scene read is said.
//
// A read back is named by its key (command, sub-command, payload); what the records hold for it
// by a print the worker makes.

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class CNoticeRules
{
public:
    // What to say (the worker words it and names the device).
    enum Notice {
        Nothing,
        NotConnected,  // switched off or link lost: not sent, lost in flight, dropped
        Busy,          // the queue at its bound
        Refused,       // the device refused it
        NotMade,        // the device did not answer, and its read back shows the old value
        CanvasNotShown, // a scene read given up: the canvas may not show what the device holds
        Unconfirmed,    // the device did not answer, and nothing told what became of the write
        SettingsNotRead // a read the operator asked for given up: a page may not show what the device holds
    };
    // How a write ended that is known at once.
    enum Ending { NotSent, QueueFull, DeviceRefused, LostInFlight, Dropped };

    enum { BurstMs = 2000, MaxDoubts = 64 };

    // A write ended not taken (lost in flight: of unknown fate, no read telling about it).
    // nWriteSeq: the write's number on the ledger (0: never sent, refused on the spot or dropped
    // from the queue, which is of the present link).
    Notice writeNotTaken(Ending eEnding, qint64 nNowMs, qint64 nWriteSeq);
    // The write numbered nWriteSeq ended unanswered or went with the link; the read readKey (asked
    // now, or on the next link) will say what the device holds, printRecords is what the records
    // hold for it now. target names what the write changes (a field, a port, a layer). At MaxDoubts
    // the oldest doubt is given up: what it returns is said of it.
    // printTaken, when given, is what the records would hold had the write been taken: an answer
    // showing neither (a device back with a third value) did not take it either. Known only while
    // the write's target is the one of its read in doubt. printWrote, when given, is the same for
    // a read that prints beside the written value what others may change (printTaken counts as
    // one): an answer showing it shows the device holds what the write wrote, whoever's answer it is.
    Notice writeInDoubt(const QByteArray &readKey, const QByteArray &target, const QByteArray &printRecords, qint64 nWriteSeq,
                        const QByteArray &printTaken = QByteArray(), const QByteArray &printWrote = QByteArray());
    // The write numbered nWriteSeq, ended unanswered, was refused late: the device did not take
    // it. Its doubt (of read readKey and target) ends, and the refusal is said, an event of its own
    // (what was said of it before, unanswered, was true then).
    Notice writeRefusedLate(const QByteArray &readKey, const QByteArray &target, qint64 nWriteSeq);
    // A write ended unanswered that no read can tell about: its fate is not known.
    Notice writeUnanswered(qint64 nNowMs, qint64 nWriteSeq) { return say(Unconfirmed, nNowMs, nWriteSeq); }
    // Writes dropped from the queue behind a command the device did not take: not made.
    Notice writeWithdrawn(qint64 nNowMs) { return say(NotMade, nNowMs, 0); }
    // A write of target ended of unclear fate: had it been taken, the device holds it, so what it
    // would hold had the doubted writes of that target been taken is not known any more.
    void writeUnclear(const QByteArray &readKey, const QByteArray &target)
    {
        const int nIndex = indexOf(readKey, target);
        if (nIndex >= 0) {
            m_listDoubts[nIndex].printTaken.clear();
            m_listDoubts[nIndex].printWrote.clear();
        }
    }
    // What the records hold now for the read, as a doubt of the write target given compares it
    // (a read that tells several fields: the target's own, where others may change the rest).
    // Null, to writeTaken: the doubt keeps its print (a field of its own the taken write left alone).
    using PrintOf = std::function<QByteArray(const QByteArray &target)>;
    // The write numbered nWriteSeq was taken (answered, in time or late): the burst ends. A doubt
    // of its read (readKey) about writes of the same target, the last sent no later, is settled:
    // the device holds what came after them, whatever became of those in doubt. Any other doubt of
    // that read now compares with the records as the taken write left them (fnPrint), unless
    // fnPrint gives it none.
    void writeTaken(const QByteArray &readKey, const QByteArray &target, const PrintOf &fnPrint, qint64 nWriteSeq);
    void writeTaken(const QByteArray &readKey, const QByteArray &target, const QByteArray &printRecords, qint64 nWriteSeq)
    {
        writeTaken(readKey, target, [&printRecords](const QByteArray &) { return printRecords; }, nWriteSeq);
    }
    // The read readKey numbered nReadSeq was answered; fnPrint gives what the records hold now. A
    // read sent before the (last) doubtful write tells what the device held before it.
    Notice readAnswered(const QByteArray &readKey, const PrintOf &fnPrint, qint64 nReadSeq, qint64 nNowMs);
    Notice readAnswered(const QByteArray &readKey, const QByteArray &printRecords, qint64 nReadSeq, qint64 nNowMs)
    {
        return readAnswered(readKey, [&printRecords](const QByteArray &) { return printRecords; }, nReadSeq, nNowMs);
    }
    // The read readKey is not asked again on this link, unanswered: what it was to settle is said
    // as of unknown fate.
    Notice readGivenUp(const QByteArray &readKey, qint64 nNowMs);
    // A read the console asked itself, no doubt waiting on it (the Z live settings after a recall),
    // is not asked again on this link, unanswered: what the device holds was never reported.
    // Said as not confirmed, once per burst.
    Notice ownReadGivenUp(qint64 nNowMs) { return say(Unconfirmed, nNowMs, 0); }
    // A read the operator asked for (a frame bound), with no write of theirs behind it, given up.
    Notice askedReadGivenUp() const { return SettingsNotRead; }
    // The device holds no scene of the read readKey (refused, or beyond its count): a save to it
    // or a rename of it was not made.
    Notice sceneNotHeld(const QByteArray &readKey) { return settle(readKey) ? NotMade : Nothing; }
    Notice sceneReadGivenUp() const { return CanvasNotShown; }
    // The device numbered its records anew (a scene deleted) on the command numbered nSeq: the
    // doubts of writes sent before it follow, their read and target named as fnNow names them now.
    // A doubt whose read fnNow names no more (the deleted scene's) is moot: it ends unsaid. A
    // target fnNow names no more stays as it is (its read still tells). Returns the reads the
    // doubts that moved now wait for.
    QList<QByteArray> renumbered(qint64 nSeq, const std::function<QByteArray(const QByteArray &)> &fnNow);
    // A new link is made (doubts wait for their reads, which go to this link); nLastSentSeq: the
    // ledger's last number then, the writes numbered up to it are of the links before. Nothing is
    // news again before the device is heard on it.
    void linkBegan(qint64 nLastSentSeq)
    {
        m_bHeard = false;
        m_nLinkBeganSeq = nLastSentSeq;
    }
    // A good frame came from the device. The first one on a link regains contact: a refusal is
    // news again.
    void deviceHeard(qint64 nNowMs)
    {
        m_nLastHeardMs = nNowMs;
        if (m_bHeard)
            return;
        m_bHeard = true;
        m_bSaid = false;
    }

    bool hasDoubt(const QByteArray &readKey) const { return indexOf(readKey) >= 0; }
    int doubtCount() const { return m_listDoubts.size(); }

private:
    struct Doubt
    {
        QByteArray key;
        QByteArray target;
        QByteArray print;
        qint64 nWriteSeq = 0;  // the last write of its target in doubt, its number
        QByteArray printTaken; // empty: not known, a changed print counts as taken
        QByteArray printWrote; // empty: not known
    };
    int indexOf(const QByteArray &readKey) const;
    int indexOf(const QByteArray &readKey, const QByteArray &target) const;
    // The doubts of that read end; false when there were none.
    bool settle(const QByteArray &readKey);
    // nWriteSeq: as writeNotTaken's. bOnLink: a write lost with the link or dropped from its queue.
    Notice say(Notice eNotice, qint64 nNowMs, qint64 nWriteSeq, bool bOnLink = false);

    QList<Doubt> m_listDoubts;
    bool m_bSaid = false;        // the present burst was said
    qint64 m_nLastEndingMs = -1; // the last ending said or repeated
    qint64 m_nLinkBeganSeq = -1; // the ledger's last number when the present link came up (-1: none)
    bool m_bHeard = false;       // the device was heard on the present link
    qint64 m_nLastHeardMs = -1;  // the last good frame came then
};

#endif // NOTICERULES_H
