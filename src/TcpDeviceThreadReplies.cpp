// Reply handlers shared by both families: device information, inputs, screen size, scene dispatch, name.
#include "TcpDeviceThread.h"

#include "DeviceLog.h"
#include "GbkCodec.h"
#include "WireBytes.h"
#include "globalObserver.h"

#include <algorithm>
#include <tuple>

using WireBytes::be16;
using WireBytes::u8;

namespace {
// The EDID fields of the input settings, as replies and writes lay them out from nAt: resolution
// type, width and height (two bytes each), refresh rate. The caller checked the length.
void readEdid(const QByteArray &p, int nAt, InputSource &input)
{
    input.nResouType = u8(p, nAt);
    input.nEdidWidth = be16(p, nAt + 1);
    input.nEdidHeight = be16(p, nAt + 3);
    input.nEdidHZ = u8(p, nAt + 5);
}

// All settings of an input as the read's answer and the write of them lay them out: [id, type,
// connector, name (12), EDID fields]; name and EDID fields. The caller checked 21 bytes.
void readNameAndEdid(const QByteArray &p, InputSource &input)
{
    input.strName = g_fromGbkField(p.mid(3, 12));
    readEdid(p, 15, input);
}

// The records of the scenes numbered nFirst and above leave the map.
void eraseScenesFrom(QMap<int, CSceneAudioRecord> &map, int nFirst)
{
    for (auto it = map.lowerBound(nFirst); it != map.end();)
        it = map.erase(it);
}
} // namespace

// Device information (0): p[16] = L1, the model text, then L2 and the firmware version.
void CTcpDeviceThread::getDeviceInfo(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.isAck() || p.size() < 17)
        return;
    const int nL1 = u8(p, 16);
    if (17 + nL1 > p.size())
        return;
    const QString strName = g_fromGbk(p.mid(17, nL1));
    m_pDeviceInfo->strDevName = strName;
    g_strSerialDevType = strName;
    CDeviceLog::write({QString::fromUtf8("The osddevice 输出数据"), strName});
    const int nVer = 17 + nL1;
    if (nVer < p.size()) {
        const int nL2 = u8(p, nVer);
        if (nVer + 1 + nL2 <= p.size())
            m_pDeviceInfo->strMcuVer = QString::fromUtf8(p.mid(nVer + 1, nL2));
    }
    // Only the serial line's own answer says what the TypeC device is, whatever links meanwhile.
    if (isSerialMode()) {
        QString strModel = strName;
        globalObserver::getGlobalObserver()->notify("slot_getConnectingType", Q_ARG(QString, strModel));
    }
}

// Screen size (30).
void CTcpDeviceThread::getScreenSize(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.nReadOrWrite != 1) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("set LED screen successfully!")});
        return;
    }
    if (f.isAck() || p.size() < 4)
        return;
    const int nWidth = be16(p, 0);
    const int nHeight = be16(p, 2);
    if (nWidth <= 0 || nHeight <= 0) {
        CDeviceLog::write({QString("The device"), m_strIp, QString("LED screen size ignored:"), nWidth, nHeight});
        return;
    }
    const bool bChanged = m_pDeviceInfo->nScreenWidth > 0
                          && (m_pDeviceInfo->nScreenWidth != nWidth || m_pDeviceInfo->nScreenHeight != nHeight);
    m_pDeviceInfo->nScreenWidth = nWidth;
    m_pDeviceInfo->nScreenHeight = nHeight;
    // The canvas geometry is the edited Tarn device's own; another device's screen leaves it.
    if (drivesTarnCanvas())
        g_setDefaultDesktop(nWidth, nHeight);
    // A screen other than the one held (a write whose answer was lost, read back): the screen page
    // and the canvas of the frame bound to this device show the device's.
    if (bChanged)
        showTarnScreen();
    CDeviceLog::write({QString("The device"), m_strIp, QString("LED screen return data:"), QString(":"), nWidth, nHeight,
                       p.size() > 4 ? u8(p, 4) : 0, p.size() > 5 ? u8(p, 5) : 0});
}

// Input settings (31).
void CTcpDeviceThread::getInputSrcSet(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.isAck() || p.isEmpty())
        return;
    const int nId = u8(p, 0);
    InputSource *pInput = m_pDeviceInfo->findInput(nId);
    if (!pInput)
        return;
    const bool bLast = m_pDeviceInfo->vectorInput.last() == pInput;
    const QString strNameBefore = pInput->strName;
    switch (f.nSub) {
    case 1:
        if (p.size() >= 21) {
            static const char *const s_types[] = {nullptr, "HDMI-2K", "HDMI-4K", "DP-4K", "DVI(2K)", "VGA", "SDI", "CVBS", "USB"};
            pInput->nInputType = u8(p, 1);
            if (pInput->nInputType >= 1 && pInput->nInputType <= 8)
                pInput->strType = QString::fromLatin1(s_types[pInput->nInputType]);
            pInput->nCType = u8(p, 2);
            readNameAndEdid(p, *pInput);
            if (bLast)
                notifyInputs(); // the frame of this device's family, whatever its poll does
        }
        break;
    case 0: // a write of all settings answered with what the device took, laid out as sent
        if (f.nReadOrWrite != 1 && p.size() >= 21) {
            readNameAndEdid(p, *pInput);
        }
        break;
    case 2:
        if (p.size() >= 13) {
            pInput->strName = g_fromGbkField(p.mid(1, 12));
        }
        break;
    case 3:
        if (p.size() >= 7) {
            readEdid(p, 1, *pInput); // no panel shows the EDID fields: nothing to tell
            CDeviceLog::write({QString("The device"), m_strIp, QString("input set edid return data: "), nId,
                               pInput->nResouType, pInput->nEdidWidth, pInput->nEdidHeight, pInput->nEdidHZ});
        }
        break;
    default:
        break;
    }
    {
        QMutexLocker lock(m_pMutexRecv);
        m_nRecvExtraVal = nId;
    }
    CDeviceLog::write({QString("The m_nRecvExtraVal"), nId});
    // A name that changed outside the reading round (a name read or write, a read-back) shows on
    // the device's rows now; the round's last reply tells them above.
    if ((f.nSub == 0 || f.nSub == 2) && pInput->strName != strNameBefore)
        notifyInputs();
    tellZInputNames();
}

// Input state (32): 7-byte records [id, w16, h16, hz, sig] within the payload.
void CTcpDeviceThread::getInputSrcState(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.isAck())
        return;
    const bool bZ = !isTarn();
    for (int i = 0; i + 7 <= p.size(); i += 7) {
        const int nId = u8(p, i);
        int nWidth = be16(p, i + 1);
        int nHeight = be16(p, i + 3);
        int nHz = u8(p, i + 5);
        const int nSig = u8(p, i + 6);
        InputSource *pInput = m_pDeviceInfo->findInput(nId);
        if (!pInput) {
            pInput = new InputSource();
            m_pDeviceInfo->vectorInput.append(pInput);
        }
        if (nWidth <= 99 || nWidth >= 9001 || nHeight <= 99 || nHeight >= 9001 || nHz < 20) {
            nWidth = 0;
            nHeight = 0;
            nHz = 0;
        }
        pInput->nId = nId;
        pInput->nSig = nSig;
        if (nSig == 1) {
            pInput->nWidth = nWidth;
            pInput->nHeight = nHeight;
            pInput->nHz = nHz;
        } else {
            pInput->nWidth = 0;
            pInput->nHeight = 0;
            pInput->nHz = 0;
        }
        if (bZ && pInput->nWidth == 0 && pInput->nHeight == 0)
            pInput->nSig = 0;
    }
    // Every reply asks again for the settings of the inputs without a name: one such read
    // waiting in the queue is enough. A refresh asks for every input's, as asked.
    for (InputSource *pInput : m_pDeviceInfo->vectorInput)
        if (pInput->strName.isEmpty())
            queueRead(Tx_InputSet, QByteArray(1, char(pInput->nId)), 1);
    if (m_bGetEquipmentMessages) {
        for (InputSource *pInput : m_pDeviceInfo->vectorInput)
            queueRead(Tx_InputSet, QByteArray(1, char(pInput->nId)), 1, false);
        m_bGetEquipmentMessages = false;
    }
    notifyInputs();
    if (isZ())
        notifyZSourceStrip();
}

// The source rows of this device's frame (and the Z frame's source panel) take the input records.
void CTcpDeviceThread::notifyInputs()
{
    DeviceInfo *pInfo = m_pDeviceInfo;
    QString strSerial = m_strSerial;
    globalObserver::getGlobalObserver()->notify(isTarn() ? "slot_updateInputSource" : "slot_updateZEquipmentInputSource",
                                                Q_ARG(DeviceInfo *, pInfo), Q_ARG(QString, strSerial));
    tellZInputNames();
}

void CTcpDeviceThread::tellZInputNames()
{
    if (!isZ())
        return;
    QList<QString> listNames;
    for (int nId = 0; nId < m_pDeviceInfo->nSrcNum; ++nId) {
        const InputSource *pInput = m_pDeviceInfo->findInput(nId);
        listNames.append(pInput ? pInput->strName : QString());
    }
    if (listNames == m_inputstrname)
        return;
    m_inputstrname = listNames;
    QString strSerial = m_strSerial;
    globalObserver::getGlobalObserver()->notify("slot_setZDeviceinputname", Q_ARG(QList<QString>, listNames),
                                                Q_ARG(QString, strSerial));
}

// The Z source strip shows the main input of the device edited in the Z frame only, or none when
// none is known (as the frame does).
void CTcpDeviceThread::notifyZSourceStrip()
{
    if (!actsOnSharedTopics())
        return;
    const InputSource *pMain = liveMainInput();
    QString strName = pMain ? pMain->strName : QString();
    int nSig = 0, nW = 0, nH = 0, nHz = 0, nX = 0, nY = 0, nLW = 0, nLH = 0;
    if (pMain) {
        std::tie(nSig, nW, nH, nHz) = std::make_tuple(pMain->nSig, pMain->nWidth, pMain->nHeight, pMain->nHz);
        std::tie(nX, nY, nLW, nLH) = std::make_tuple(m_pSystemInfo->nXDeflection, m_pSystemInfo->nYDeflection,
                                                     m_pSystemInfo->nLayerWidth, m_pSystemInfo->nLayerHeight);
    }
    globalObserver::getGlobalObserver()->notify("slot_updateCurrentZDeviceDate", Q_ARG(QString, strName), Q_ARG(int, nSig),
                                                Q_ARG(int, nW), Q_ARG(int, nH), Q_ARG(int, nHz), Q_ARG(int, nX),
                                                Q_ARG(int, nY), Q_ARG(int, nLW), Q_ARG(int, nLH));
}

// Source and scene counts (33), laid out alike in both families: sources,
// most scenes, stored scenes, scene taken. False for an ack or a short reply,
// which leave the device's counts as they were.
bool CTcpDeviceThread::readSceneAndSrcCounts(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    if (f.isAck() || p.size() < 4)
        return false;
    m_pDeviceInfo->nSrcNum = u8(p, 0);
    m_pDeviceInfo->nSceneMax = u8(p, 1);
    m_pDeviceInfo->nSceneNum = u8(p, 2);
    m_pDeviceInfo->nTakeScene = u8(p, 3);
    return true;
}

// A count reply that answers no count read of ours (sent twice, or sent by the device on its
// own) changes the counts only: it queues no reads and takes no scenes away.
bool CTcpDeviceThread::answersCountRead()
{
    if (takeOpenCountRead()) {
        dropInputsBeyondCount();
        dropSceneAudioBeyondCount();
        return true;
    }
    CDeviceLog::write({QString("The device"), m_strIp, QString("count reply without a count read, counts only:"),
                       m_pDeviceInfo->nSrcNum, m_pDeviceInfo->nSceneNum});
    return false;
}

// A device restarted with fewer inputs (same serial) no longer has the inputs numbered from its
// source count on: their records leave the device's list, so that nothing reads them and the
// source panel drops their rows. The records themselves are kept until the worker goes, because a
// panel not refreshed yet may still point at one.
void CTcpDeviceThread::dropInputsBeyondCount()
{
    QVector<InputSource *> &inputs = m_pDeviceInfo->vectorInput;
    const int nCount = m_pDeviceInfo->nSrcNum;
    bool bDropped = false;
    for (int i = inputs.size() - 1; i >= 0; --i) {
        InputSource *pInput = inputs.at(i);
        if (pInput->nId >= 0 && pInput->nId < nCount)
            continue;
        m_listGoneInputs.emplace_back(inputs.takeAt(i));
        bDropped = true;
    }
    if (!bDropped) {
        tellZInputNames(); // a count other than before lists the inputs it names
        return;
    }
    CDeviceLog::write({QString("The device"), m_strIp, QString("inputs beyond the source count dropped:"), nCount});
    notifyInputs();
}

void CTcpDeviceThread::queueStartReads()
{
    QByteArray range(2, '\0');
    range[1] = char((m_pDeviceInfo->nSrcNum - 1) & 0xFF);
    queueRead(Tx_GetInput, range, 1);
    queueRead(Tx_LEDWHSet, QByteArray(1, '\0'), 0);
    for (int nId = 1; nId <= m_pDeviceInfo->nSceneNum; ++nId)
        readScene(nId);
}

void CTcpDeviceThread::readScene(int nSceneId)
{
    queueRead(Tx_SceneInfo, QByteArray(1, char(nSceneId & 0xFF)), 0);
}

// Scene replies (35).
void CTcpDeviceThread::getSceneInfo(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    int nSendIndex;
    {
        QMutexLocker lock(m_pMutexRecv);
        nSendIndex = m_nSendIndex;
    }
    switch (f.nSub) {
    case 0:
        if (f.isAck() || p.isEmpty())
            return;
        if (isTarn())
            getTarnSceneRead(f);
        else
            getZSceneRead(f);
        break;
    case 80:
        if (f.isAck() || p.isEmpty())
            return;
        getTarnLayerRead(f);
        break;
    case 1:
        CDeviceLog::write({QString("The device"), m_strIp, QString("take the scene1 successfully!"), nSendIndex, f.nSub});
        break;
    case 10:
        CDeviceLog::write({QString("The device"), m_strIp, QString("save the scene successfully!"), nSendIndex, f.nSub});
        break;
    case 20:
    case 30: {
        const int nSceneId = answeredSceneCommand(f.nSub);
        if (nSceneId < 0) {
            CDeviceLog::write({QString("The device"), m_strIp, QString("scene reply without its command, ignored:"), f.nSub});
            break;
        }
        if (f.nSub == 20) {
            m_pDeviceInfo->nTakeScene = nSceneId;
            if (isZ()) {
                // The scene's stored values are live now, as last read (the source strip reads
                // the main source); the live settings read that follows says what the device holds.
                // A write in doubt sent behind the recall compares with them.
                if (const ZSceneInfo *pScene = findZScene(nSceneId)) {
                    SystemInfo &i = *m_pSystemInfo;
                    i.nMainSignumber = pScene->nMainSig;
                    std::tie(i.nXinput, i.nYinput, i.ninputWidth, i.ninputHeight) =
                        std::make_tuple(pScene->nXinput, pScene->nYinput, pScene->ninputWidth, pScene->ninputHeight);
                    std::tie(i.nScaleMode, i.nsilent, i.nsound, i.nbrightness) =
                        std::make_tuple(pScene->nScaleMode, pScene->nsilent, pScene->nsound, pScene->nbrightness);
                }
                // The strips show the live scene and source the records hold now: an answer
                // handled since the card marked the recall (a scene read) showed them the old one.
                notifySerial("slot_updateCurrentZDevice");
                readZSettings();
            }
            CDeviceLog::write({QString("The device"), m_strIp, QString("take the scene successfully!"), nSendIndex, f.nSub});
            // A recalled Tarn scene shows what the device stored, not what the editor last had
            // (unsaved edits, a cleaned copy): read it back, layers and all.
            if (isTarn())
                readScene(nSceneId);
            break;
        }
        // The queued scene reads followed the delete before the worker could send one.
        sceneRecordsFollowDelete(nSceneId);
        CDeviceLog::write({QString("The device"), m_strIp, QString("delete the "), nSceneId, QString("index scene successfully!"),
                           nSendIndex, f.nSub});
        if (isZ())
            notifySetDeviceCmd(g_texing_name[Tx_GetSourceNum], QByteArray(), 1, 0);
        break;
    }
    case 40:
        CDeviceLog::write({QString("The device"), m_strIp, QString("set the scene name successfully!"), nSendIndex, f.nSub});
        break;
    case 50:
    case 51:
        if (p.size() < 2)
            break;
        if (f.nSub == 50)
            CDeviceLog::write({QString("The device"), m_strIp, QString::fromUtf8("set the scene Audiosuccessfully! 音频索引"), u8(p, 1), u8(p, 0), f.nSub});
        // The topics name no scene and no device: the dialog shows its own scene's record.
        if (!f.isAck() && takeSceneAudio(f.nSub, p)) {
            int nValue = u8(p, 1);
            globalObserver::getGlobalObserver()->notify(f.nSub == 50 ? "slot_SetAudioSource" : "slot_SetAudio", Q_ARG(int, nValue));
        }
        break;
    default:
        break;
    }
}

void CTcpDeviceThread::sceneRecordsFollowDelete(int nDeleted)
{
    // The device numbers the scenes behind the deleted one one lower; the records follow by
    // number (they may not know every scene: one read out of turn leaves a gap).
    if (isTarn()) {
        for (int i = 0; i < m_listScene.size(); ++i) {
            if (m_listScene.at(i)->nId == nDeleted) {
                removeTarnScene(i);
                break;
            }
        }
        for (CTarnSceneRecord *pScene : qAsConst(m_listScene)) {
            if (pScene->nId <= nDeleted)
                continue;
            const int nOld = pScene->nId--;
            if (CTarnSceneSink *pSink = CTarnSceneSink::installed())
                pSink->sceneRenumbered(this, nOld, pScene->nId);
        }
        followDeletedScene(nDeleted);
        notifySerial("slot_updateCurrentDevice");
        return;
    }
    for (int i = 0; i < m_listZScene.size(); ++i) {
        if (m_listZScene.at(i)->nSceneIndex == nDeleted) {
            delete m_listZScene.takeAt(i);
            break;
        }
    }
    for (ZSceneInfo *pScene : qAsConst(m_listZScene))
        if (pScene->nSceneIndex > nDeleted)
            --pScene->nSceneIndex;
    followDeletedScene(nDeleted);
    // The strip and the copies held by pages and dialogs take the new numbering and live scene
    // now, not at the re-read: with the last scene gone nothing is read again.
    notifySerial("slot_updateCurrentZDevice");
    notifyZSceneList();
}

int CTcpDeviceThread::answeredSceneCommand(int nSub) const
{
    if (!m_bAnswered || m_answered.nCmdIndex != Tx_SceneInfo || m_answered.nSubIndex3 != nSub || m_answered.byte.isEmpty())
        return -1;
    return u8(m_answered.byte, 0);
}

// After scene nDeleted was deleted the device numbers the scenes behind it one lower: the live
// scene is 0 when it was the deleted one and otherwise follows the scene it named; it holds one
// scene less; the scenes' audio moves with them.
void CTcpDeviceThread::followDeletedScene(int nDeleted)
{
    int &nTake = m_pDeviceInfo->nTakeScene;
    if (nTake == nDeleted)
        nTake = 0;
    else if (nTake > nDeleted)
        --nTake;
    if (nDeleted >= 1 && nDeleted <= m_pDeviceInfo->nSceneNum)
        --m_pDeviceInfo->nSceneNum;
    QMap<int, CSceneAudioRecord> moved;
    for (auto it = m_sceneAudio.constBegin(); it != m_sceneAudio.constEnd(); ++it) {
        if (it.key() != nDeleted)
            moved.insert(it.key() > nDeleted ? it.key() - 1 : it.key(), it.value());
    }
    m_sceneAudio = moved;
}

// The device answered a read of scene nId with the scene: it holds at least as many scenes (a save
// to a new scene whose answer went astray, or another client's).
void CTcpDeviceThread::sceneHeld(int nId)
{
    if (nId > m_pDeviceInfo->nSceneNum)
        m_pDeviceInfo->nSceneNum = nId;
}

// Device name (41), read replies.
void CTcpDeviceThread::getSystemName(const CReplyFrame &f)
{
    if (f.isAck() || f.payload.size() < 12)
        return;
    // The name lands on this device's row, whichever device was switched on last, and in the
    // name field of the frame editing it (a device back after a loss may have another name).
    m_strDeviceName = g_fromGbkField(f.payload.left(12));
    m_bNameRead = true;
    tellDeviceName();
}

QString CTcpDeviceThread::getMainSigInputSource(int nId)
{
    const InputSource *pInput = m_pDeviceInfo->findInput(nId);
    return pInput ? g_inputCaption(*pInput) : QString();
}

// ------------------------------------------------------------------ held state

// A write the device acknowledged: what it holds now. Payload layouts as sent.
void CTcpDeviceThread::followHeldWrite(const _mcu_cmd &sent)
{
    const QByteArray &p = sent.byte;
    switch (sent.nCmdIndex) {
    case Tx_InputSet: {
        // Name (sub 2, unless it restores the factory name: the read that follows tells), all
        // settings (sub 0) or the EDID fields (sub 3), laid out as sent.
        InputSource *pInput = p.isEmpty() ? nullptr : m_pDeviceInfo->findInput(u8(p, 0));
        if (!pInput)
            return;
        if (sent.nSubIndex3 == 2 && p.size() >= 14 && u8(p, 1) == 0) {
            pInput->strName = g_fromGbkField(p.mid(2, 12));
        } else if (sent.nSubIndex3 == 0 && p.size() >= 21) {
            readNameAndEdid(p, *pInput);
        } else if (sent.nSubIndex3 == 3 && p.size() >= 7) {
            readEdid(p, 1, *pInput);
            return; // no panel shows the EDID fields
        } else {
            return;
        }
        notifyInputs();
        break;
    }
    case Tx_SetSystem:
        if (sent.nSubIndex3 == 10 && p.size() >= 12) {
            m_strDeviceName = g_fromGbkField(p.left(12));
            m_bNameRead = true;
            tellDeviceName();
        }
        break;
    case Tx_Outletsetting:
        // The write of an output setting is laid out as its read's answer.
        if (takeOutputSetting(sent.nSubIndex3, p)) {
            notifySerial("slot_outputSettingsHeld");
        }
        break;
    case Tx_SceneInfo:
        if (sent.nSubIndex3 == 10) {
            followSceneSave(p);
        } else if (takeSceneAudio(sent.nSubIndex3, p)) {
            notifySerial("slot_sceneAudioHeld");
        }
        break;
    case Tx_LEDWHSet:
        // The Tarn screen size: [w16, h16, Hz]. The page and the canvas show it already; the
        // records take it now, and so does the canvas of a hand-back that came in between.
        if (isTarn() && sent.nSubIndex3 == 0 && p.size() >= 4 && be16(p, 0) > 0 && be16(p, 2) > 0) {
            m_pDeviceInfo->nScreenWidth = be16(p, 0);
            m_pDeviceInfo->nScreenHeight = be16(p, 2);
            showTarnScreen();
        }
        break;
    case Tx_OSDSet:
        followOsdWrite(sent);
        break;
    default:
        break;
    }
}

// The Tarn screen size the records hold, to the canvas geometry (when this device drives it) and
// to the Tarn frame bound to this device: its screen page and canvas.
void CTcpDeviceThread::showTarnScreen()
{
    const int nWidth = m_pDeviceInfo->nScreenWidth;
    const int nHeight = m_pDeviceInfo->nScreenHeight;
    if (!isTarn() || nWidth <= 0 || nHeight <= 0)
        return;
    if (drivesTarnCanvas())
        g_setDefaultDesktop(nWidth, nHeight);
    QString strSerial = m_strSerial;
    globalObserver::getGlobalObserver()->notify("slot_tarnScreenHeld", Q_ARG(QString, strSerial), Q_ARG(int, nWidth),
                                                Q_ARG(int, nHeight));
}

// Every panel that shows this device's state takes it again as the device holds it.
void CTcpDeviceThread::handBackHeldState()
{
    // The screen size first: the scenes and layers handed back after it are drawn in its geometry.
    showTarnScreen();
    // Source rows: the input records, as read or acknowledged (the Z frame shows its source strip
    // from the records at "slot_updateCurrentZDevice").
    if (!m_pDeviceInfo->vectorInput.isEmpty())
        notifyInputs();
    // The device name: its rows, and the name field of the frame that edits it.
    tellDeviceName();
    // The output and audio dialogs of this device show its records (of their port, of their
    // scene); the topics of the replies name neither device nor scene.
    if (!m_outputs.ports.isEmpty())
        notifySerial("slot_outputSettingsHeld");
    if (!m_sceneAudio.isEmpty())
        notifySerial("slot_sceneAudioHeld");
    // The OSD: its state (the OSD item) and the text page's settings, as read or taken.
    handBackOsd();
}

// ------------------------------------------------------------------ records

bool CTcpDeviceThread::deviceNameRecord(QString &strName) const
{
    if (m_bNameRead)
        strName = m_strDeviceName;
    return m_bNameRead;
}

const CSceneAudioRecord *CTcpDeviceThread::sceneAudioRecord(int nScene) const
{
    const auto it = m_sceneAudio.constFind(nScene);
    return it == m_sceneAudio.constEnd() ? nullptr : &*it;
}

void CTcpDeviceThread::tellDeviceName()
{
    if (!m_bNameRead)
        return;
    globalObserver *pHub = globalObserver::getGlobalObserver();
    QString strName = m_strDeviceName;
    QString strSerial = m_strSerial;
    pHub->notify("slot_getSystemDeviceName", Q_ARG(QString, strName), Q_ARG(QString, strSerial));
    // Only a frame editing this device shows its name: with none edited, none does.
    if (isTarn() && editedDeviceSerial(QStringLiteral("Tarn")) == m_strSerial)
        pHub->notify("slot_updateDeviceName", Q_ARG(QString, strName));
    else if (isZ() && editedDeviceSerial(QStringLiteral("Z")) == m_strSerial)
        pHub->notify("slot_updateZDeviceName", Q_ARG(QString, strName), Q_ARG(QString, strSerial));
}

// [port, ...] as the answers to the reads of sub-commands 10, 20, 21 and 22 lay them out.
bool CTcpDeviceThread::takeOutputSetting(int nSub, const QByteArray &p)
{
    if (p.isEmpty())
        return false;
    const int nPort = u8(p, 0);
    COutputPortRecord port = m_outputs.ports.value(nPort);
    switch (nSub) {
    case 10:
        if (p.size() < 10)
            return false;
        port.bResolution = true;
        port.nStandard = u8(p, 4);
        port.nWidth = be16(p, 5);
        port.nHeight = be16(p, 7);
        port.nHz = u8(p, 9);
        break;
    case 20:
        if (p.size() < 18)
            return false;
        port.bTiming = true;
        for (int i = 0; i < 8; ++i)
            port.anTiming[i] = be16(p, 1 + 2 * i);
        port.anTiming[8] = u8(p, 17);
        break;
    case 21:
    case 22:
        if (p.size() < 3)
            return false;
        (nSub == 21 ? port.bDelay : port.bNoise) = true;
        (nSub == 21 ? port.nDelay : port.nNoise) = be16(p, 1);
        break;
    default:
        return false;
    }
    m_outputs.ports.insert(nPort, port);
    return true;
}

// [scene, value] of sub-commands 50 (source) and 51 (volume); a scene above 99 or a value above
// 100 is none the device holds.
bool CTcpDeviceThread::takeSceneAudio(int nSub, const QByteArray &p)
{
    if ((nSub != 50 && nSub != 51) || p.size() < 2 || u8(p, 0) > 99 || u8(p, 1) > 100)
        return false;
    CSceneAudioRecord &audio = m_sceneAudio[u8(p, 0)];
    (nSub == 50 ? audio.nSource : audio.nVolume) = u8(p, 1);
    return true;
}

// A scene saved [source (0: the live one), target] takes the source's audio. The device stores a
// new scene only right after its last one.
void CTcpDeviceThread::followSceneSave(const QByteArray &p)
{
    if (p.size() < 2)
        return;
    const int nSource = u8(p, 0) > 0 ? u8(p, 0) : m_pDeviceInfo->nTakeScene;
    const int nTarget = u8(p, 1);
    int &nCount = m_pDeviceInfo->nSceneNum;
    if (nTarget == nCount + 1)
        ++nCount;
    else if (nTarget > nCount)
        askReadBack(Tx_GetSourceNum, QByteArray(1, 1), 0); // not the count held: the device's is read
    if (nSource == nTarget)
        return;
    if (m_sceneAudio.contains(nSource))
        m_sceneAudio.insert(nTarget, m_sceneAudio.value(nSource));
    else
        m_sceneAudio.remove(nTarget);
}

void CTcpDeviceThread::forgetSceneAudioInDoubt(const _mcu_cmd &sent)
{
    const QByteArray &p = sent.byte;
    if (sent.nCmdIndex != Tx_SceneInfo || sent.nReadOrWrite == 1 || m_sceneAudio.isEmpty())
        return;
    if (sent.nSubIndex3 == 30 && !p.isEmpty()) {
        // Taken, it numbered the scenes from it on anew: each holds the next one's audio, or none.
        eraseScenesFrom(m_sceneAudio, u8(p, 0));
    } else if (sent.nSubIndex3 == 10 && p.size() >= 2) {
        // Taken, the target holds the source's audio; not taken, its own: known only when alike.
        const int nSource = u8(p, 0) > 0 ? u8(p, 0) : m_pDeviceInfo->nTakeScene;
        const CSceneAudioRecord *pSource = sceneAudioRecord(nSource);
        const CSceneAudioRecord *pTarget = sceneAudioRecord(u8(p, 1));
        const bool bAlike = pSource && pTarget && pSource->nSource == pTarget->nSource && pSource->nVolume == pTarget->nVolume;
        if (!bAlike)
            m_sceneAudio.remove(u8(p, 1));
    }
}

void CTcpDeviceThread::dropSceneAudioBeyondCount()
{
    eraseScenesFrom(m_sceneAudio, m_pDeviceInfo->nSceneNum + 1);
}
