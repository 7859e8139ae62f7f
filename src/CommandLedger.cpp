#include "CommandLedger.h"

#include <algorithm>

void CCommandLedger::tell(const _mcu_cmd &cmd, Event eEvent) const
{
    if (m_fnObserver)
        m_fnObserver(cmd, eEvent);
}

void CCommandLedger::sent(_mcu_cmd &cmd, qint64 nNowMs, bool bWritten)
{
    cmd.nSeq = m_nNextSeq++;
    cmd.nHeartsBefore = m_nHeartsSent;
    cmd.nSentMs = nNowMs;
    cmd.nWrittenMs = bWritten ? nNowMs : -1;
    cmd.nFrontMs = m_listInFlight.isEmpty() ? nNowMs : -1;
    cmd.bEnded = false;
    m_listInFlight.append(cmd);
}

void CCommandLedger::written(qint64 nNowMs)
{
    for (_mcu_cmd &cmd : m_listInFlight) {
        if (cmd.nWrittenMs < 0) {
            cmd.nWrittenMs = nNowMs;
            return;
        }
    }
}

void CCommandLedger::heartbeatSent()
{
    ++m_nHeartsSent;
}

bool CCommandLedger::hasWriteInFlight() const
{
    return std::any_of(m_listInFlight.cbegin(), m_listInFlight.cend(), [](const _mcu_cmd &c) { return c.nReadOrWrite != 1; });
}

void CCommandLedger::keepLate(_mcu_cmd cmd)
{
    cmd.bEnded = true;
    // In sending order, as the device answers.
    auto it = std::upper_bound(m_listLate.begin(), m_listLate.end(), cmd,
                               [](const _mcu_cmd &a, const _mcu_cmd &b) { return a.nSeq < b.nSeq; });
    m_listLate.insert(it, cmd);
    while (m_listLate.size() > MaxInFlight) {
        // Past the bound it is forgotten, but not what it means: it may still be answered, and a
        // reply of its kind and key may be its own.
        const _mcu_cmd dropped = m_listLate.takeFirst();
        auto itKind = std::find_if(m_listDroppedLate.begin(), m_listDroppedLate.end(), [&dropped](const DroppedLate &d) {
            return sameKind(d.kind, dropped) && keyOf(d.kind) == keyOf(dropped);
        });
        if (itKind == m_listDroppedLate.end()) {
            DroppedLate d;
            d.kind = _mcu_cmd(dropped.nCmdIndex, dropped.nReadOrWrite, dropped.nSubIndex3, dropped.byte.left(1));
            d.nFirstSeq = dropped.nSeq;
            itKind = m_listDroppedLate.insert(m_listDroppedLate.end(), d);
        }
        ++itKind->nCount;
        itKind->nFirstSeq = std::min(itKind->nFirstSeq, dropped.nSeq);
        itKind->nSeq = std::max(itKind->nSeq, dropped.nSeq);
    }
}

void CCommandLedger::forgetLateBefore(qint64 nSeq)
{
    m_listLate.erase(std::remove_if(m_listLate.begin(), m_listLate.end(), [nSeq](const _mcu_cmd &c) { return c.nSeq < nSeq; }),
                     m_listLate.end());
    // A kind dropped at the bound goes once the last of it dropped was sent before nSeq.
    m_listDroppedLate.erase(std::remove_if(m_listDroppedLate.begin(), m_listDroppedLate.end(),
                                           [nSeq](const DroppedLate &d) { return d.nSeq < nSeq; }),
                            m_listDroppedLate.end());
}

void CCommandLedger::frontMoved(qint64 nNowMs, qint64 nAnsweredSeq)
{
    if (m_listInFlight.isEmpty())
        return;
    _mcu_cmd &front = m_listInFlight.first();
    if (front.nFrontMs < 0 || (nAnsweredSeq >= 0 && nAnsweredSeq < front.nSeq))
        front.nFrontMs = std::max(front.nFrontMs, nNowMs);
}

void CCommandLedger::ended(const _mcu_cmd &cmd, Event eEvent, Outcome &out)
{
    tell(cmd, eEvent);
    switch (eEvent) {
    case Unanswered:
        out.listUnanswered.append(cmd);
        break;
    case LostInFlight:
        out.listLost.append(cmd);
        break;
    case Unclear:
        out.listUnclear.append(cmd);
        break;
    default:
        break;
    }
    if (cmd.nReadOrWrite == 1)
        return;
    if (eEvent == Answered || eEvent == Refused)
        return;
    for (QList<_mcu_cmd> *pList : {&m_listDoubtDropped, &m_listDoubt}) {
        for (int i = 0; i < pList->size();) {
            if (sameKind(pList->at(i), cmd)) {
                tell(pList->at(i), Doubted);
                out.listDoubted.append(pList->takeAt(i));
            } else {
                ++i;
            }
        }
    }
}

void CCommandLedger::credit(int nFlight, bool bNak, Outcome &out)
{
    // The ones sent before it were skipped, and so were the ended ones sent before it.
    for (int j = 0; j < nFlight; ++j)
        ended(m_listInFlight.takeFirst(), Unanswered, out);
    const _mcu_cmd cmd = m_listInFlight.takeFirst();
    forgetLateBefore(cmd.nSeq);
    // The heartbeats sent before it were answered before it or never will be: one the device
    // missed while it was silent does not hold back the count of those answered later.
    m_nHeartsAnswered = std::max(m_nHeartsAnswered, cmd.nHeartsBefore);
    out.bAnswered = true;
    out.answered = cmd;
    out.nAnswersSeqBy = cmd.nSeq;
    ended(cmd, bNak ? Refused : Answered, out);
    if (cmd.nReadOrWrite == 1)
        return;
    if (std::none_of(m_listInFlight.cbegin(), m_listInFlight.cend(), [&cmd](const _mcu_cmd &c) { return sameKind(c, cmd); })) {
        // None of its kind is left in flight: each one credited took its own reply.
        for (QList<_mcu_cmd> *pList : {&m_listDoubtDropped, &m_listDoubt})
            pList->erase(std::remove_if(pList->begin(), pList->end(), [&cmd](const _mcu_cmd &c) { return sameKind(c, cmd); }),
                         pList->end());
        return;
    }
    m_listDoubt.append(cmd);
    while (m_listDoubt.size() > MaxInFlight) {
        // Past the bound one doubt of each kind and key stands for those dropped: reading back
        // what it wrote reads back what they wrote.
        const _mcu_cmd dropped = m_listDoubt.takeFirst();
        auto it = std::find_if(m_listDoubtDropped.begin(), m_listDoubtDropped.end(), [&dropped](const _mcu_cmd &c) {
            return sameKind(c, dropped) && keyOf(c) == keyOf(dropped);
        });
        if (it == m_listDoubtDropped.end())
            m_listDoubtDropped.append(dropped);
    }
}

CCommandLedger::Outcome CCommandLedger::reply(int nCmd, int nSub, bool bRead, bool bNak, bool bHeartbeat, qint64 nNowMs, int nKey)
{
    Outcome out;
    if (bHeartbeat) {
        // Answered in order: whatever was sent before this heartbeat will not be answered now,
        // unless the device answers a heartbeat ahead of a slow command.
        if (m_nHeartsAnswered < m_nHeartsSent)
            ++m_nHeartsAnswered;
        while (!m_listInFlight.isEmpty() && m_listInFlight.first().nHeartsBefore < m_nHeartsAnswered) {
            const _mcu_cmd cmd = m_listInFlight.takeFirst();
            ended(cmd, Unanswered, out);
            keepLate(cmd);
        }
        frontMoved(nNowMs, -1);
        return out;
    }
    const _mcu_cmd key(nCmd, bRead ? 1 : 2, nSub, QByteArray());
    // Only a command whose bytes are on the line can be answered.
    int nFlight = -1;
    for (int i = 0; i < m_listInFlight.size() && nFlight < 0 && m_listInFlight.at(i).nWrittenMs >= 0; ++i)
        if (mayAnswer(m_listInFlight.at(i), key, nKey))
            nFlight = i;
    QList<int> listLate;
    for (int i = 0; i < m_listLate.size(); ++i)
        if (mayAnswer(m_listLate.at(i), key, nKey))
            listLate.append(i);
    // One dropped at the bound of the late list may be the one answered: it is answered now or
    // never, whoever the reply is credited to.
    bool bDropped = false;
    for (int i = 0; i < m_listDroppedLate.size() && !bDropped; ++i) {
        DroppedLate &d = m_listDroppedLate[i];
        if (!mayAnswer(d.kind, key, nKey))
            continue;
        bDropped = true;
        out.nAnswersSeqBy = d.nSeq;
        out.nAnswersSeqFrom = d.nFirstSeq;
        if (--d.nCount == 0)
            m_listDroppedLate.removeAt(i);
    }
    // The oldest ended one the reply may answer is answered now or never: it leaves the list with
    // those before it (skipped). Those of its kind behind it may still take their own replies.
    const auto forgetLate = [this, &listLate]() {
        m_listLate.erase(m_listLate.begin(), m_listLate.begin() + listLate.first() + 1);
    };
    if (nFlight >= 0) {
        // One of its kind ended unanswered (at the serial time-out, or at a heartbeat's reply that
        // overtook its answer) may be answered now, late, as well as this one: the console cannot
        // tell whose reply it is, and credits neither.
        if (!bDropped && listLate.isEmpty()) {
            credit(nFlight, bNak, out);
            frontMoved(nNowMs, out.answered.nSeq);
            return out;
        }
        const qint64 nOldest = listLate.isEmpty() ? 0 : m_listLate.at(listLate.first()).nSeq;
        const qint64 nFrom = listLate.isEmpty() ? m_listInFlight.at(nFlight).nSeq : nOldest;
        out.nAnswersSeqFrom = bDropped ? std::min(out.nAnswersSeqFrom, nFrom) : nFrom;
        if (!listLate.isEmpty() && !bDropped)
            forgetLate();
        const _mcu_cmd cmd = m_listInFlight.takeAt(nFlight);
        out.nAnswersSeqBy = std::max(out.nAnswersSeqBy, cmd.nSeq);
        ended(cmd, Unclear, out);
        keepLate(cmd); // its own reply may be the next of its kind
        frontMoved(nNowMs, nOldest);
        return out;
    }
    if (bDropped) {
        frontMoved(nNowMs, 0);
        return out; // the late answer of one forgotten, or of one still listed: credited to none
    }
    if (listLate.isEmpty())
        return out; // a reply to nothing open (sent by the device on its own, or answered already)
    if (!bRead && listLate.size() > 1) {
        // Several writes of its kind ended unanswered: whose reply it is cannot be told (they
        // ended of unknown fate already).
        out.nAnswersSeqBy = m_listLate.at(listLate.last()).nSeq;
        frontMoved(nNowMs, m_listLate.at(listLate.first()).nSeq);
        forgetLate();
        return out;
    }
    out.bAnswered = true;
    out.answered = m_listLate.takeAt(listLate.first());
    forgetLateBefore(out.answered.nSeq);
    out.nAnswersSeqBy = out.answered.nSeq;
    tell(out.answered, AnsweredLate);
    frontMoved(nNowMs, out.answered.nSeq);
    return out;
}

CCommandLedger::Outcome CCommandLedger::timedOut(qint64 nNowMs, int nTimeoutMs)
{
    Outcome out;
    // Only the oldest one's time runs: the device works through the line in order. The next one's
    // starts now.
    const qint64 nLeft = msToTimeOut(nNowMs, nTimeoutMs);
    if (nLeft != 0)
        return out;
    const _mcu_cmd cmd = m_listInFlight.takeFirst();
    ended(cmd, Unanswered, out);
    keepLate(cmd);
    frontMoved(nNowMs, -1);
    return out;
}

qint64 CCommandLedger::msToTimeOut(qint64 nNowMs, int nTimeoutMs) const
{
    if (m_listInFlight.isEmpty())
        return -1;
    const _mcu_cmd &cmd = m_listInFlight.first();
    if (cmd.nWrittenMs < 0 || cmd.nFrontMs < 0)
        return -1;
    return std::max<qint64>(0, std::max(cmd.nWrittenMs, cmd.nFrontMs) + nTimeoutMs - nNowMs);
}

void CCommandLedger::linkBegan()
{
    // A doubt stays while those of its kind behind it are in flight: they were handed to this link.
    m_listLate.clear();
    m_listDroppedLate.clear();
}

CCommandLedger::Outcome CCommandLedger::linkEnded()
{
    Outcome out;
    while (!m_listInFlight.isEmpty())
        ended(m_listInFlight.takeFirst(), LostInFlight, out);
    m_listLate.clear();
    m_listDoubt.clear();
    m_listDoubtDropped.clear();
    m_listDroppedLate.clear();
    // The heartbeats sent on this link will not be answered; those sent from now on go out on the
    // next link and are answered there.
    m_nHeartsAnswered = m_nHeartsSent;
    return out;
}
