// Reply handlers shared by both families: device information, inputs, screen size, scene dispatch, name.
#include "TcpDeviceThread.h"

#include "DeviceLog.h"
#include "GbkCodec.h"
#include "WireBytes.h"
#include "globalObserver.h"

#include <algorithm>

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
} // namespace

InputSource *CTcpDeviceThread::findInput(int nId) const
{
    for (InputSource *pInput : m_pDeviceInfo->vectorInput)
        if (pInput->nId == nId)
            return pInput;
    return nullptr;
}

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
    // Only the serial line's own answer says what the TypeC device is.
    if (g_nConnectionType == 1 && isSerialMode()) {
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
    m_pDeviceInfo->nScreenWidth = nWidth;
    m_pDeviceInfo->nScreenHeight = nHeight;
    // The canvas geometry is the edited Tarn device's own; another device's screen leaves it.
    if (drivesTarnCanvas())
        g_setDefaultDesktop(nWidth, nHeight);
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
    InputSource *pInput = findInput(nId);
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
            pInput->strName = g_fromGbkField(p.mid(3, 12));
            readEdid(p, 15, *pInput);
            if (bLast) {
                DeviceInfo *pInfo = m_pDeviceInfo;
                QString strSerial = m_strSerial;
                globalObserver::getGlobalObserver()->notify("slot_updateInputSource", Q_ARG(DeviceInfo *, pInfo), Q_ARG(QString, strSerial));
            }
            if (isZ() && m_inputstrname.size() < m_pDeviceInfo->nSrcNum) {
                m_inputstrname.append(pInput->strName);
                QList<QString> listNames = m_inputstrname;
                QString strSerial = m_strSerial;
                globalObserver::getGlobalObserver()->notify("slot_setZDeviceinputname", Q_ARG(QList<QString>, listNames),
                                                            Q_ARG(QString, strSerial));
            }
        }
        break;
    case 0: // a write of all settings answered with what the device took, laid out as sent
        if (f.nReadOrWrite != 1 && p.size() >= 21) {
            pInput->strName = g_fromGbkField(p.mid(3, 12));
            readEdid(p, 15, *pInput);
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
        InputSource *pInput = findInput(nId);
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
}

// The Z source strip shows the main input of the device edited in the Z frame only.
void CTcpDeviceThread::notifyZSourceStrip()
{
    InputSource *pMain = actsOnSharedTopics() ? findInput(m_pSystemInfo->nMainSignumber) : nullptr;
    if (!pMain)
        return;
    QString strName = pMain->strName;
    int nSig = pMain->nSig, nW = pMain->nWidth, nH = pMain->nHeight, nHz = pMain->nHz;
    int nX = m_pSystemInfo->nXDeflection, nY = m_pSystemInfo->nYDeflection;
    int nLW = m_pSystemInfo->nLayerWidth, nLH = m_pSystemInfo->nLayerHeight;
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
    if (takeOpenCountRead())
        return true;
    CDeviceLog::write({QString("The device"), m_strIp, QString("count reply without a count read, counts only:"),
                       m_pDeviceInfo->nSrcNum, m_pDeviceInfo->nSceneNum});
    return false;
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
                // The scene's stored values are live now: its main source at once (the source
                // strip reads it), and everything else as the device reports it.
                if (const ZSceneInfo *pScene = findZScene(nSceneId))
                    m_pSystemInfo->nMainSignumber = pScene->nMainSig;
                readZSettings();
            }
            CDeviceLog::write({QString("The device"), m_strIp, QString("take the scene successfully!"), nSendIndex, f.nSub});
            // A recalled Tarn scene shows what the device stored, not what the editor last had
            // (unsaved edits, a cleaned copy): read it back, layers and all.
            if (isTarn())
                readScene(nSceneId);
            break;
        }
        if (isTarn()) {
            for (int i = 0; i < m_listScene.size(); ++i) {
                if (m_listScene.at(i)->nId == nSceneId) {
                    removeTarnScene(i);
                    break;
                }
            }
            for (int i = 0; i < m_listScene.size(); ++i) {
                const int nOld = m_listScene.at(i)->nId;
                m_listScene.at(i)->nId = i + 1;
                CTarnSceneSink *pSink = CTarnSceneSink::installed();
                if (nOld != i + 1 && pSink)
                    pSink->sceneRenumbered(this, nOld, i + 1);
            }
            followDeletedScene(nSceneId);
            QString strSerial = m_strSerial;
            globalObserver::getGlobalObserver()->notify("slot_updateCurrentDevice", Q_ARG(QString, strSerial));
            CDeviceLog::write({QString("The device"), m_strIp, QString("delete the "), nSceneId, QString("index scene successfully!"),
                               nSendIndex, f.nSub, m_listScene.size()});
        } else {
            for (int i = 0; i < m_listZScene.size(); ++i) {
                if (m_listZScene.at(i)->nSceneIndex == nSceneId) {
                    delete m_listZScene.takeAt(i);
                    break;
                }
            }
            for (int i = 0; i < m_listZScene.size(); ++i)
                m_listZScene.at(i)->nSceneIndex = i + 1;
            followDeletedScene(nSceneId);
            // The strip and the copies held by pages and dialogs take the new numbering and live
            // scene now, not at the re-read: with the last scene gone nothing is read again.
            QString strSerial = m_strSerial;
            globalObserver::getGlobalObserver()->notify("slot_updateCurrentZDevice", Q_ARG(QString, strSerial));
            notifyZSceneList();
            notifySetDeviceCmd(g_texing_name[Tx_GetSourceNum], QByteArray(), 1, 0);
        }
        break;
    }
    case 40:
        CDeviceLog::write({QString("The device"), m_strIp, QString("set the scene name successfully!"), nSendIndex, f.nSub});
        break;
    case 50:
    case 51:
        if (p.size() < 2)
            break;
        if (!f.isAck())
            holdReply(f);
        if (f.nSub == 50)
            CDeviceLog::write({QString("The device"), m_strIp, QString::fromUtf8("set the scene Audiosuccessfully! 音频索引"), u8(p, 1), u8(p, 0), f.nSub});
        if (u8(p, 0) <= 99 && u8(p, 1) <= 100) {
            int nValue = u8(p, 1);
            globalObserver::getGlobalObserver()->notify(f.nSub == 50 ? "slot_SetAudioSource" : "slot_SetAudio", Q_ARG(int, nValue));
        }
        break;
    default:
        break;
    }
}

int CTcpDeviceThread::answeredSceneCommand(int nSub) const
{
    if (!m_bAnswered || m_answered.nCmdIndex != Tx_SceneInfo || m_answered.nSubIndex3 != nSub || m_answered.byte.isEmpty())
        return -1;
    return u8(m_answered.byte, 0);
}

// After scene nDeleted was deleted the device numbers the scenes behind it one lower: the live
// scene is 0 when it was the deleted one and otherwise follows the scene it named.
void CTcpDeviceThread::followDeletedScene(int nDeleted)
{
    int &nTake = m_pDeviceInfo->nTakeScene;
    if (nTake == nDeleted)
        nTake = 0;
    else if (nTake > nDeleted)
        --nTake;
}

// Device name (41), read replies.
void CTcpDeviceThread::getSystemName(const CReplyFrame &f)
{
    if (f.isAck() || f.payload.size() < 12)
        return;
    // With the serial the device list puts the name on this device's row, whichever device was
    // switched on last.
    QString strName = g_fromGbkField(f.payload.left(12));
    m_strHeldName = strName;
    m_bNameHeld = true;
    QString strSerial = m_strSerial;
    globalObserver::getGlobalObserver()->notify("slot_getSystemDeviceName", Q_ARG(QString, strName),
                                                Q_ARG(QString, strSerial));
}

QString CTcpDeviceThread::getMainSigInputSource(int nId)
{
    InputSource *pInput = findInput(nId);
    if (!pInput)
        return QString();
    if (pInput->nSig == 1)
        return QString("%1 : %2x%3@%4").arg(pInput->strName, QString::number(pInput->nWidth), QString::number(pInput->nHeight),
                                                  QString::number(pInput->nHz));
    return QString("%1 : %2").arg(pInput->strName, tr("无输入"));
}

// ------------------------------------------------------------------ held state

void CTcpDeviceThread::holdReply(const CReplyFrame &f)
{
    m_heldReplies.insert(f.nCmd * 256 + f.nSub, f);
}

// A write the device acknowledged: what it holds now. Payload layouts as sent.
void CTcpDeviceThread::followHeldWrite(const _mcu_cmd &sent)
{
    const QByteArray &p = sent.byte;
    switch (sent.nCmdIndex) {
    case Tx_InputSet: {
        // Name (sub 2, unless it restores the factory name: the read that follows tells), all
        // settings (sub 0) or the EDID fields (sub 3), laid out as sent.
        InputSource *pInput = p.isEmpty() ? nullptr : findInput(u8(p, 0));
        if (!pInput)
            return;
        if (sent.nSubIndex3 == 2 && p.size() >= 14 && u8(p, 1) == 0) {
            pInput->strName = g_fromGbkField(p.mid(2, 12));
        } else if (sent.nSubIndex3 == 0 && p.size() >= 21) {
            pInput->strName = g_fromGbkField(p.mid(3, 12));
            readEdid(p, 15, *pInput);
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
            m_strHeldName = g_fromGbkField(p.left(12));
            m_bNameHeld = true;
        }
        break;
    case Tx_Outletsetting:
    case Tx_SceneInfo:
        // The write of an output or audio setting is laid out as its read reply.
        if ((sent.nCmdIndex == Tx_Outletsetting && sent.nSubIndex3 >= 10 && sent.nSubIndex3 <= 22)
            || (sent.nCmdIndex == Tx_SceneInfo && (sent.nSubIndex3 == 50 || sent.nSubIndex3 == 51))) {
            CReplyFrame f;
            f.nCmd = sent.nCmdIndex;
            f.nReadOrWrite = 1;
            f.nSub = sent.nSubIndex3;
            f.payload = p;
            holdReply(f);
        }
        break;
    case Tx_OSDSet: {
        // Parameter layout: index, 0, font and background transparency, speed, x, y, w, h (two
        // bytes each), font colour, background colour.
        enum { Size = 19 };
        if (sent.nSubIndex3 == 1 && p.size() >= Size) {
            m_heldOsd = p.left(Size);
            break;
        }
        if (m_heldOsd.size() != Size || p.size() < 2)
            break;
        auto put = [&](int nAt, int nCount) {
            if (p.size() >= 1 + nCount)
                m_heldOsd.replace(nAt, nCount, p.mid(1, nCount));
        };
        switch (sent.nSubIndex3) {
        case 3: put(2, 1); break;
        case 4: put(3, 1); break;
        case 5: put(4, 1); break;
        case 7: put(13, 3); break;
        case 8: put(16, 3); break;
        default: break;
        }
        break;
    }
    default:
        break;
    }
}

// Every panel that shows this device's state takes it again as the device holds it.
void CTcpDeviceThread::handBackHeldState()
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    QString strSerial = m_strSerial;
    // Source rows and the Z source strip: the input records, as read or acknowledged.
    if (!m_pDeviceInfo->vectorInput.isEmpty()) {
        notifyInputs();
        if (isZ())
            notifyZSourceStrip();
    }
    // The device name: its row, and the name field of the frame that edits it.
    if (m_bNameHeld) {
        QString strName = m_strHeldName;
        pHub->notify("slot_getSystemDeviceName", Q_ARG(QString, strName), Q_ARG(QString, strSerial));
        if (isTarn() && actsOnSharedTopics())
            pHub->notify("slot_updateDeviceName", Q_ARG(QString, strName));
        else if (isZ() && editedDeviceSerial(QStringLiteral("Z")) == m_strSerial)
            pHub->notify("slot_updateZDeviceName", Q_ARG(QString, strName), Q_ARG(QString, strSerial));
    }
    // The output and audio dialogs: their last replies again (these queue nothing).
    const QList<CReplyFrame> listReplies = m_heldReplies.values();
    for (const CReplyFrame &f : listReplies) {
        if (f.nCmd == Tx_Outletsetting)
            getOutletsetting(f);
        else
            getSceneInfo(f);
    }
    // The OSD text page: colours, transparencies and speed the device took.
    if (!m_heldOsd.isEmpty()) {
        QByteArray params = m_heldOsd;
        pHub->notify("slot_osdSettingsHeld", Q_ARG(QString, strSerial), Q_ARG(QByteArray, params));
    }
}
