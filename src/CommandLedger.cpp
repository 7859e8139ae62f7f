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
    cmd.bEnded = false;
    cmd.bTimedOut = false;
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

void CCommandLedger::keepLate(_mcu_cmd cmd, bool bTimedOut)
{
    cmd.bEnded = true;
    cmd.bTimedOut = bTimedOut;
    // In sending order, as the device answers.
    auto it = std::upper_bound(m_listLate.begin(), m_listLate.end(), cmd,
                               [](const _mcu_cmd &a, const _mcu_cmd &b) { return a.nSeq < b.nSeq; });
    m_listLate.insert(it, cmd);
    while (m_listLate.size() > MaxInFlight)
        m_listLate.removeFirst();
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
    for (int i = 0; i < m_listDoubt.size();) {
        if (sameKind(m_listDoubt.at(i), cmd)) {
            tell(m_listDoubt.at(i), Doubted);
            out.listDoubted.append(m_listDoubt.takeAt(i));
        } else {
            ++i;
        }
    }
}

void CCommandLedger::credit(int nFlight, bool bNak, Outcome &out)
{
    // The ones sent before it were skipped, and so were the ended ones sent before it.
    for (int j = 0; j < nFlight; ++j)
        ended(m_listInFlight.takeFirst(), Unanswered, out);
    const _mcu_cmd cmd = m_listInFlight.takeFirst();
    m_listLate.erase(std::remove_if(m_listLate.begin(), m_listLate.end(), [&cmd](const _mcu_cmd &c) { return c.nSeq < cmd.nSeq; }),
                     m_listLate.end());
    // The heartbeats sent before it were answered before it or never will be: one the device
    // missed while it was silent does not hold back the count of those answered later.
    m_nHeartsAnswered = std::max(m_nHeartsAnswered, cmd.nHeartsBefore);
    out.bAnswered = true;
    out.answered = cmd;
    out.nAnswersSentBy = cmd.nSentMs;
    ended(cmd, bNak ? Refused : Answered, out);
    if (cmd.nReadOrWrite == 1)
        return;
    if (std::none_of(m_listInFlight.cbegin(), m_listInFlight.cend(), [&cmd](const _mcu_cmd &c) { return sameKind(c, cmd); })) {
        // None of its kind is left in flight: each one credited took its own reply.
        m_listDoubt.erase(std::remove_if(m_listDoubt.begin(), m_listDoubt.end(), [&cmd](const _mcu_cmd &c) { return sameKind(c, cmd); }),
                          m_listDoubt.end());
        return;
    }
    m_listDoubt.append(cmd);
    while (m_listDoubt.size() > MaxInFlight)
        m_listDoubt.removeFirst();
}

CCommandLedger::Outcome CCommandLedger::reply(int nCmd, int nSub, bool bRead, bool bNak, bool bHeartbeat)
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
            keepLate(cmd, false);
        }
        return out;
    }
    const _mcu_cmd key(nCmd, bRead ? 1 : 2, nSub, QByteArray());
    // Only a command whose bytes are on the line can be answered.
    int nFlight = -1;
    for (int i = 0; i < m_listInFlight.size() && nFlight < 0 && m_listInFlight.at(i).nWrittenMs >= 0; ++i)
        if (sameKind(m_listInFlight.at(i), key))
            nFlight = i;
    QList<int> listLate;
    for (int i = 0; i < m_listLate.size(); ++i)
        if (sameKind(m_listLate.at(i), key))
            listLate.append(i);
    // The oldest ended one the reply may answer is answered now or never: it leaves the list with
    // those before it (skipped). Those of its kind behind it may still take their own replies.
    const auto forgetLate = [this, &listLate]() {
        m_listLate.erase(m_listLate.begin(), m_listLate.begin() + listLate.first() + 1);
    };
    if (nFlight >= 0) {
        // One of its kind ended at the serial time-out may be answered now, late, as well as this
        // one: the console cannot tell whose reply it is, and credits neither.
        const bool bUnclear = std::any_of(listLate.cbegin(), listLate.cend(), [this](int i) {
            return m_listLate.at(i).bTimedOut;
        });
        if (!bUnclear) {
            credit(nFlight, bNak, out);
            return out;
        }
        forgetLate();
        const _mcu_cmd cmd = m_listInFlight.takeAt(nFlight);
        out.nAnswersSentBy = cmd.nSentMs;
        ended(cmd, Unclear, out);
        keepLate(cmd, true); // its own reply may be the next of its kind
        return out;
    }
    if (listLate.isEmpty())
        return out; // a reply to nothing open (sent by the device on its own, or answered already)
    if (!bRead && listLate.size() > 1) {
        // Several writes of its kind ended unanswered: whose reply it is cannot be told (they
        // ended of unknown fate already).
        out.nAnswersSentBy = m_listLate.at(listLate.last()).nSentMs;
        forgetLate();
        return out;
    }
    const int nLate = listLate.first();
    m_listLate.erase(m_listLate.begin(), m_listLate.begin() + nLate);
    out.bAnswered = true;
    out.answered = m_listLate.takeFirst();
    out.nAnswersSentBy = out.answered.nSentMs;
    tell(out.answered, AnsweredLate);
    return out;
}

CCommandLedger::Outcome CCommandLedger::timedOut(qint64 nNowMs, int nTimeoutMs)
{
    Outcome out;
    for (int i = 0; i < m_listInFlight.size();) {
        const _mcu_cmd &cmd = m_listInFlight.at(i);
        if (cmd.nWrittenMs < 0 || nNowMs - cmd.nWrittenMs < nTimeoutMs) {
            ++i;
            continue;
        }
        const _mcu_cmd cmdEnded = m_listInFlight.takeAt(i);
        ended(cmdEnded, Unanswered, out);
        keepLate(cmdEnded, true);
    }
    return out;
}

qint64 CCommandLedger::msToTimeOut(qint64 nNowMs, int nTimeoutMs) const
{
    qint64 nNext = -1;
    for (const _mcu_cmd &cmd : m_listInFlight) {
        if (cmd.nWrittenMs < 0)
            continue;
        const qint64 nLeft = std::max<qint64>(0, cmd.nWrittenMs + nTimeoutMs - nNowMs);
        nNext = nNext < 0 ? nLeft : std::min(nNext, nLeft);
    }
    return nNext;
}

void CCommandLedger::linkBegan()
{
    m_listLate.clear();
    m_listDoubt.clear();
}

CCommandLedger::Outcome CCommandLedger::linkEnded()
{
    Outcome out;
    while (!m_listInFlight.isEmpty())
        ended(m_listInFlight.takeFirst(), LostInFlight, out);
    m_listLate.clear();
    m_listDoubt.clear();
    // The heartbeats sent on this link will not be answered; those sent from now on go out on the
    // next link and are answered there.
    m_nHeartsAnswered = m_nHeartsSent;
    return out;
}
