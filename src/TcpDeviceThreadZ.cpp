// Reply handlers of the Z family: scene count, stored scenes, output ports.
#include "TcpDeviceThread.h"

#include "DeviceLog.h"
#include "GbkCodec.h"
#include "WireBytes.h"
#include "globalObserver.h"

#include <algorithm>

using WireBytes::be16;
using WireBytes::u8;

// Source and scene counts (33), Z family.
void CTcpDeviceThread::getZSceneAndSrcNum(const CReplyFrame &f)
{
    const int nTakeBefore = m_pDeviceInfo->nTakeScene;
    if (!readSceneAndSrcCounts(f))
        return;
    if (!answersCountRead())
        return;
    deleteFateCounted(); // before the scenes beyond the count go
    trimZScenes();
    scenesBeyondCountAnswered();
    // The live scene as the device says it (a recall whose answer was lost, or made elsewhere).
    if (nTakeBefore != m_pDeviceInfo->nTakeScene)
        notifySerial("slot_updateCurrentZDevice");
    if (m_bGetZSencedate) {
        int nNum = m_pDeviceInfo->nSceneNum;
        int nTake = m_pDeviceInfo->nTakeScene;
        QString strSerial = m_strSerial;
        m_bGetZSencedate = false;
        globalObserver::getGlobalObserver()->notify("slot_getZScenedate", Q_ARG(int, nNum), Q_ARG(int, nTake),
                                                    Q_ARG(QString, strSerial));
        return;
    }
    CDeviceLog::write({QString("scenedate"), m_pDeviceInfo->nSceneNum, m_pDeviceInfo->nTakeScene});
    queueStartReads();
}

// The scenes numbered beyond the device's count are gone from the device (another client deleted
// them): their records go, and the strip and the pages' copies follow at once.
void CTcpDeviceThread::trimZScenes()
{
    const int nKeep = m_pDeviceInfo->nSceneNum;
    bool bTrimmed = false;
    for (int i = m_listZScene.size() - 1; i >= 0; --i) {
        if (m_listZScene.at(i)->nSceneIndex > nKeep) {
            delete m_listZScene.takeAt(i);
            bTrimmed = true;
        }
    }
    if (!bTrimmed)
        return;
    notifySerial("slot_updateCurrentZDevice");
    notifyZSceneList();
}

void CTcpDeviceThread::getZSceneRead(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    const int nId = u8(p, 0);
    if (p.size() >= 39) {
        // Kept in scene number order, one record per number, whatever order the answers came in.
        ZSceneInfo *pScene = findZScene(nId);
        if (!pScene) {
            pScene = new ZSceneInfo();
            pScene->nSceneIndex = nId;
            const auto it = std::find_if(m_listZScene.begin(), m_listZScene.end(),
                                         [nId](const ZSceneInfo *s) { return s->nSceneIndex > nId; });
            m_listZScene.insert(it, pScene);
        }
        sceneHeld(nId);
        if (answersSceneRead(nId, 0))
            m_hashSceneReadFailures.remove(nId); // read, in answer to our read
        // The name as the device holds it now: renamed here, by another client, or renumbered.
        pScene->strName = g_fromGbkField(p.mid(2, 12));
        if (isZ()) {
            pScene->nMainSig = u8(p, 25);
            pScene->nBackup = u8(p, 26);
            pScene->nXinput = be16(p, 27);
            pScene->nYinput = be16(p, 29);
            pScene->ninputWidth = be16(p, 31);
            pScene->ninputHeight = be16(p, 33);
            pScene->nScaleMode = u8(p, 35);
            pScene->nsilent = u8(p, 36);
            pScene->nsound = u8(p, 37);
            pScene->nbrightness = u8(p, 38);
        }
        notifySerial("slot_updateCurrentZDevice");
        notifyZSceneList();
    } else {
        CDeviceLog::write({QString("The device"), m_strIp, QString("short scene reply ignored, bytes:"), p.size()});
    }
    QMutexLocker lock(m_pMutexRecv);
    m_nRecvExtraVal = nId;
}

// The scene records are handed out as copies, so that nobody keeps one the worker may free.
void CTcpDeviceThread::notifyZSceneList()
{
    QList<ZSceneInfo> listScene = zSceneValues();
    QString strSerial = m_strSerial;
    globalObserver::getGlobalObserver()->notify("slot_setListZDeviceScene", Q_ARG(QList<ZSceneInfo>, listScene),
                                                Q_ARG(QString, strSerial));
}

ZSceneInfo *CTcpDeviceThread::findZScene(int nSceneIndex) const
{
    for (ZSceneInfo *pScene : m_listZScene)
        if (pScene->nSceneIndex == nSceneIndex)
            return pScene;
    return nullptr;
}

QList<ZSceneInfo> CTcpDeviceThread::zSceneValues() const
{
    QList<ZSceneInfo> listScene;
    listScene.reserve(m_listZScene.size());
    for (const ZSceneInfo *pScene : m_listZScene)
        listScene.append(*pScene);
    return listScene;
}

// Output ports (37), read replies only. The record is filled before the topic goes out: the
// topics name no device, and the dialog shows its own device's record.
void CTcpDeviceThread::getOutletsetting(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.nReadOrWrite != 1 || f.isAck())
        return;
    globalObserver *pHub = globalObserver::getGlobalObserver();
    takeOutputSetting(f.nSub, p);
    switch (f.nSub) {
    case 1:
        if (p.size() >= 4 && u8(p, 3) != 0) {
            QString strType;
            switch (u8(p, 2)) {
            case 0: strType = tr("混合"); break;
            case 1: strType = tr("网口"); break;
            case 2: strType = tr("5G-PHY"); break;
            case 3: strType = tr("光口"); break;
            case 4: strType = tr("HDMI"); break;
            default: break;
            }
            int nCount = be16(p, 0);
            m_outputs.nPortCount = nCount;
            m_outputs.strPortType = strType;
            pHub->notify("InitOutputDate", Q_ARG(int, nCount), Q_ARG(QString, strType));
            notifySetDeviceCmd(g_texing_name[Tx_Outletsetting], QByteArray(1, 1), 1, 10);
        }
        break;
    case 10:
        if (p.size() >= 10) {
            int a = u8(p, 0), b = u8(p, 4), c = be16(p, 5), d = be16(p, 7), e = u8(p, 9);
            pHub->notify("SwitchOutputDate", Q_ARG(int, a), Q_ARG(int, b), Q_ARG(int, c), Q_ARG(int, d), Q_ARG(int, e));
        }
        break;
    case 20:
        if (p.size() >= 18) {
            int v[9];
            for (int i = 0; i < 8; ++i)
                v[i] = be16(p, 1 + 2 * i);
            v[8] = u8(p, 17);
            pHub->notify("InitAdvancedDate", Q_ARG(int, v[0]), Q_ARG(int, v[1]), Q_ARG(int, v[2]), Q_ARG(int, v[3]),
                         Q_ARG(int, v[4]), Q_ARG(int, v[5]), Q_ARG(int, v[6]), Q_ARG(int, v[7]), Q_ARG(int, v[8]));
        }
        break;
    case 21:
        if (p.size() >= 3) {
            int nDelay = be16(p, 1);
            pHub->notify("Delay", Q_ARG(int, nDelay));
        }
        break;
    case 22:
        if (p.size() >= 3) {
            int nValue = be16(p, 1);
            pHub->notify("Noisecancellation", Q_ARG(int, nValue));
        }
        break;
    default:
        break;
    }
}

// ------------------------------------------------------------------ live settings writes

namespace {

// The writes of a Z device's live settings: canvas size (30), main source, offset, input crop,
// output crop, scale mode, mute, sound and brightness (34).
bool isZSettingsWrite(int nCmd, int nSub)
{
    if (nCmd == Tx_LEDWHSet)
        return nSub == 0;
    if (nCmd != Tx_SetLayer)
        return false;
    switch (nSub) {
    case 3: case 10: case 20: case 42: case 43: case 44: case 45: case 46:
        return true;
    default:
        return false;
    }
}

} // namespace

// The settings record holds what the device holds: an acknowledged write goes into it; after a
// refusal, or an acknowledgement that cannot be matched to the command it answers, the settings
// are read again, and their reply fills record and page.
void CTcpDeviceThread::followZSettingsWrite(const CReplyFrame &f, const _mcu_cmd *pSent)
{
    if (!isZ() || !isZSettingsWrite(f.nCmd, f.nSub))
        return;
    // A reply to a read is none of this; an unmatched reply counts as a write's by its frame.
    if (pSent ? pSent->nReadOrWrite != 2 : f.nReadOrWrite != 2)
        return;
    if (f.isAck() && pSent && applyZSettingsWrite(*pSent, *m_pSystemInfo)) {
        if (pSent->nSubIndex3 == 3 && pSent->nCmdIndex == Tx_SetLayer) {
            // The source strip shows the live source the device took.
            notifySerial("slot_updateCurrentZDevice");
        }
        return;
    }
    CDeviceLog::write({QString("The device"), m_strIp, QString("settings write not taken, read again:"), f.nCmd, f.nSub});
    readZSettings();
}

bool CTcpDeviceThread::applyZSettingsWrite(const _mcu_cmd &sent, SystemInfo &settings)
{
    const QByteArray &p = sent.byte;
    SystemInfo *s = &settings;
    if (sent.nCmdIndex == Tx_LEDWHSet) {
        if (p.size() < 4)
            return false;
        s->nLayerWidth = be16(p, 0);
        s->nLayerHeight = be16(p, 2);
        return true;
    }
    switch (sent.nSubIndex3) {
    case 10:
        if (p.size() < 9)
            return false;
        s->nXDeflection = be16(p, 1);
        s->nYDeflection = be16(p, 3);
        s->nLayerWidth = be16(p, 5);
        s->nLayerHeight = be16(p, 7);
        return true;
    case 20:
        if (p.size() < 10)
            return false;
        s->nXinput = be16(p, 2);
        s->nYinput = be16(p, 4);
        s->ninputWidth = be16(p, 6);
        s->ninputHeight = be16(p, 8);
        return true;
    case 42:
        if (p.size() < 9)
            return false;
        s->nXoutput = be16(p, 1);
        s->nYoutput = be16(p, 3);
        s->noutputWidth = be16(p, 5);
        s->noutputHeight = be16(p, 7);
        return true;
    default:
        break;
    }
    if (p.size() < 2)
        return false;
    const int nValue = u8(p, 1);
    switch (sent.nSubIndex3) {
    case 3: s->nMainSignumber = nValue; break;
    case 43: s->nScaleMode = nValue; break;
    case 44: s->nsilent = nValue; break;
    case 45: s->nsound = nValue; break;
    case 46: s->nbrightness = nValue; break;
    default: return false;
    }
    return true;
}

// The live layer's settings (34/0 read); the reply fills the settings record and the page.
void CTcpDeviceThread::readZSettings()
{
    askReadBack(Tx_SetLayer, QByteArray(1, '\0'), 0); // asked again should it fail
}

void CTcpDeviceThread::takeZLiveSettings(const QByteArray &p)
{
    SystemInfo *s = m_pSystemInfo;
    s->nMainSignumber = u8(p, 3);
    s->nXDeflection = be16(p, 6);
    s->nYDeflection = be16(p, 8);
    s->nLayerWidth = be16(p, 10);
    s->nLayerHeight = be16(p, 12);
    s->nXinput = be16(p, 15);
    s->nYinput = be16(p, 17);
    s->ninputWidth = be16(p, 19);
    s->ninputHeight = be16(p, 21);
    s->nScaleMode = u8(p, 23);
    s->nXoutput = be16(p, 24);
    s->nYoutput = be16(p, 26);
    s->noutputWidth = be16(p, 28);
    s->noutputHeight = be16(p, 30);
    s->nsilent = u8(p, 32);
    s->nsound = u8(p, 33);
    s->nbrightness = u8(p, 34);
    m_bSystemRead = true;
    // The device made the answer before it took the writes sent after the read (it answers in
    // order): the page keeps showing what the operator pressed since, until those writes end
    // (taken: the record follows; refused or unanswered: the settings are read again). An answer
    // credited to no read of ours may be the oldest one's: every write pending goes over it.
    const qint64 nAnswerSeq = m_bAnswered && m_answered.nReadOrWrite == 1 ? m_answered.nSeq : -1;
    SystemInfo shown = settingsWithPendingWrites(nAnswerSeq);
    QString strSerial = m_strSerial;
    globalObserver::getGlobalObserver()->notify("slot_initWidgetdate", Q_ARG(SystemInfo *, &shown), Q_ARG(QString, strSerial));
    // The source strip too, as an input-state reply tells it: the main source may have changed.
    notifyZSourceStrip();
}

SystemInfo CTcpDeviceThread::settingsWithPendingWrites(qint64 nAnswerSeq) const
{
    SystemInfo settings = *m_pSystemInfo;
    const auto pending = [](const _mcu_cmd &c) { return c.nReadOrWrite == 2 && isZSettingsWrite(c.nCmdIndex, c.nSubIndex3); };
    {
        QMutexLocker state(m_pMutexRecv);
        for (const _mcu_cmd &cmd : m_ledger.inFlight())
            if (cmd.nSeq > nAnswerSeq && pending(cmd))
                applyZSettingsWrite(cmd, settings);
    }
    QMutexLocker queue(m_pMutexSend);
    for (const _mcu_cmd *pCmd : m_listMcuCmd)
        if (pending(*pCmd))
            applyZSettingsWrite(*pCmd, settings);
    return settings;
}
