#include "NoticeRules.h"

#include <algorithm>

int CNoticeRules::indexOf(const QByteArray &readKey) const
{
    for (int i = 0; i < m_listDoubts.size(); ++i)
        if (m_listDoubts.at(i).key == readKey)
            return i;
    return -1;
}

int CNoticeRules::indexOf(const QByteArray &readKey, const QByteArray &target) const
{
    for (int i = 0; i < m_listDoubts.size(); ++i)
        if (m_listDoubts.at(i).key == readKey && m_listDoubts.at(i).target == target)
            return i;
    return -1;
}

CNoticeRules::Notice CNoticeRules::say(Notice eNotice, qint64 nNowMs, qint64 nWriteSeq, bool bOnLink)
{
    // Lost with a link on which the device never answered: the contact lost before was not
    // regained, and what was said of its loss says this too.
    const bool bUnheardLink = bOnLink && !m_bHeard && m_nLinkBeganSeq >= 0;
    // A write of an earlier link ending on this one: news of its own, the burst goes on as it was.
    // Sent before the link came up is told by the ledger's numbers: both may fall in one
    // millisecond.
    if (nWriteSeq > 0 && nWriteSeq <= m_nLinkBeganSeq && !bUnheardLink)
        return eNotice;
    const bool bSameBurst = m_bSaid && m_nLastEndingMs >= 0
                            && (nNowMs - m_nLastEndingMs < BurstMs || (bUnheardLink && m_nLastEndingMs >= m_nLastHeardMs));
    m_nLastEndingMs = nNowMs;
    if (bSameBurst)
        return Nothing;
    m_bSaid = true;
    return eNotice;
}

CNoticeRules::Notice CNoticeRules::writeNotTaken(Ending eEnding, qint64 nNowMs, qint64 nWriteSeq)
{
    switch (eEnding) {
    case QueueFull:
        return say(Busy, nNowMs, nWriteSeq);
    case DeviceRefused:
        return say(Refused, nNowMs, nWriteSeq);
    case LostInFlight:
        return say(Unconfirmed, nNowMs, nWriteSeq, true);
    case Dropped:
        return say(NotConnected, nNowMs, nWriteSeq, true);
    default:
        return say(NotConnected, nNowMs, nWriteSeq);
    }
}

CNoticeRules::Notice CNoticeRules::writeInDoubt(const QByteArray &readKey, const QByteArray &target, const QByteArray &printRecords,
                                                qint64 nWriteSeq, const QByteArray &printTaken, const QByteArray &printWrote)
{
    const QByteArray &wrote = printWrote.isEmpty() ? printTaken : printWrote;
    // Doubts of another target of the read: had the device taken some of them and not others,
    // what it holds is not one write's print.
    bool bOtherTarget = false;
    for (Doubt &doubt : m_listDoubts) {
        if (doubt.key == readKey && doubt.target != target) {
            doubt.printTaken.clear();
            doubt.printWrote.clear();
            bOtherTarget = true;
        }
    }
    // Doubts of one write target keep the first print: the records change by reads and taken
    // writes only, which update it. What the device holds had it taken them is the last one's,
    // and so is the number a read must follow to tell of it: one sent before the last write tells
    // only what the device held before it.
    const int nIndex = indexOf(readKey, target);
    if (nIndex >= 0) {
        m_listDoubts[nIndex].printTaken = bOtherTarget ? QByteArray() : printTaken;
        m_listDoubts[nIndex].printWrote = bOtherTarget ? QByteArray() : wrote;
        m_listDoubts[nIndex].nWriteSeq = std::max(m_listDoubts.at(nIndex).nWriteSeq, nWriteSeq);
        return Nothing;
    }
    Notice eNotice = Nothing;
    if (m_listDoubts.size() >= MaxDoubts) {
        m_listDoubts.removeFirst(); // no longer waited for: not known
        eNotice = Unconfirmed;
    }
    m_listDoubts.append({readKey, target, printRecords, nWriteSeq, bOtherTarget ? QByteArray() : printTaken,
                         bOtherTarget ? QByteArray() : wrote});
    return eNotice;
}

CNoticeRules::Notice CNoticeRules::writeRefusedLate(const QByteArray &readKey, const QByteArray &target, qint64 nWriteSeq)
{
    const int nIndex = indexOf(readKey, target);
    if (nIndex >= 0 && m_listDoubts.at(nIndex).nWriteSeq == nWriteSeq)
        m_listDoubts.removeAt(nIndex);
    return Refused;
}

void CNoticeRules::writeTaken(const QByteArray &readKey, const QByteArray &target, const PrintOf &fnPrint, qint64 nWriteSeq)
{
    m_bSaid = false;
    for (int i = m_listDoubts.size() - 1; i >= 0; --i) {
        Doubt &doubt = m_listDoubts[i];
        if (doubt.key != readKey)
            continue;
        if (doubt.target == target && nWriteSeq >= doubt.nWriteSeq) {
            m_listDoubts.removeAt(i);
        } else {
            const QByteArray print = fnPrint(doubt.target);
            if (print.isNull())
                continue; // it compares a field that write left as it was
            doubt.print = print;
            doubt.printTaken.clear(); // what it would hold now is not known
            doubt.printWrote.clear();
        }
    }
}

CNoticeRules::Notice CNoticeRules::readAnswered(const QByteArray &readKey, const PrintOf &fnPrint, qint64 nReadSeq, qint64 nNowMs)
{
    bool bOld = false;
    for (int i = m_listDoubts.size() - 1; i >= 0; --i) {
        Doubt &doubt = m_listDoubts[i];
        if (doubt.key != readKey)
            continue;
        const QByteArray printRecords = fnPrint(doubt.target);
        if (nReadSeq < doubt.nWriteSeq) {
            // What the device held before the write, unless it is the answer of a read sent after
            // it: showing what the write leaves, it shows the device holds that either way.
            if (!doubt.printWrote.isEmpty() && doubt.printWrote == printRecords) {
                m_listDoubts.removeAt(i);
                continue;
            }
            doubt.print = printRecords;
            doubt.printTaken.clear();
            doubt.printWrote.clear();
            continue;
        }
        bOld = bOld || (doubt.printTaken.isEmpty() ? doubt.print == printRecords : doubt.printTaken != printRecords);
        m_listDoubts.removeAt(i);
    }
    (void)nNowMs;
    return bOld ? NotMade : Nothing;
}

CNoticeRules::Notice CNoticeRules::readGivenUp(const QByteArray &readKey, qint64 nNowMs)
{
    (void)nNowMs;
    // No answer showed what the device holds: that it did not answer is all there is to say.
    return settle(readKey) ? Unconfirmed : Nothing;
}

QList<QByteArray> CNoticeRules::renumbered(qint64 nSeq, const std::function<QByteArray(const QByteArray &)> &fnNow)
{
    QList<QByteArray> listMoved;
    for (int i = m_listDoubts.size() - 1; i >= 0; --i) {
        Doubt &doubt = m_listDoubts[i];
        if (doubt.nWriteSeq >= nSeq)
            continue; // sent after it: the device took its numbers in the new numbering
        const QByteArray key = fnNow(doubt.key);
        if (key.isEmpty()) {
            m_listDoubts.removeAt(i);
            continue;
        }
        if (key != doubt.key && !listMoved.contains(key))
            listMoved.append(key);
        doubt.key = key;
        const QByteArray target = fnNow(doubt.target);
        if (!target.isEmpty())
            doubt.target = target;
    }
    return listMoved;
}

bool CNoticeRules::settle(const QByteArray &readKey)
{
    bool bDoubt = false;
    for (int i = m_listDoubts.size() - 1; i >= 0; --i) {
        if (m_listDoubts.at(i).key == readKey) {
            m_listDoubts.removeAt(i);
            bDoubt = true;
        }
    }
    return bDoubt;
}
