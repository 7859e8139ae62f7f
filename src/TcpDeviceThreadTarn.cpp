// Reply handlers of the Tarn family: scene count, scenes and layers, layer commands, OSD.
#include "TcpDeviceThread.h"

#include "DeviceLog.h"
#include "GbkCodec.h"
#include "OsdReplySink.h"
#include "WireBytes.h"
#include "globalObserver.h"

#include <algorithm>

using WireBytes::be16;
using WireBytes::u8;

namespace {

bool byLayerIndex(const CTarnLayerRecord &a, const CTarnLayerRecord &b)
{
    return a.nIndex < b.nIndex;
}

// Puts l into layers (kept in layer-index order), in place of the record of the same layer id.
void putLayer(QVector<CTarnLayerRecord> &layers, const CTarnLayerRecord &l)
{
    auto it = std::lower_bound(layers.begin(), layers.end(), l, byLayerIndex);
    if (it != layers.end() && it->nIndex == l.nIndex)
        *it = l;
    else
        layers.insert(it, l);
}

} // namespace

// The Tarn scene record with this device scene id. The records are kept in scene number order,
// one per number, whatever order the answers came in.
CTarnSceneRecord *CTcpDeviceThread::findTarnScene(int nId) const
{
    for (CTarnSceneRecord *s : m_listScene)
        if (s->nId == nId)
            return s;
    return nullptr;
}

void CTcpDeviceThread::removeTarnScene(int nIndex)
{
    CTarnSceneRecord *pScene = m_listScene.takeAt(nIndex);
    if (CTarnSceneSink *pSink = CTarnSceneSink::installed())
        pSink->sceneRemoved(this, pScene->nId);
    delete pScene;
}

// Source and scene counts (33), Tarn family.
void CTcpDeviceThread::getSceneAndSrcNum(const CReplyFrame &f)
{
    const int nTakeBefore = m_pDeviceInfo->nTakeScene;
    if (!readSceneAndSrcCounts(f))
        return;
    if (!answersCountRead())
        return;
    deleteFateCounted(); // before the scenes beyond the count go
    scenesBeyondCountAnswered();
    CDeviceLog::write({QString::fromUtf8("信号源操作，组包发送"), m_pDeviceInfo->nSrcNum});
    CDeviceLog::write({QString::fromUtf8("场景操作，组包发送"), m_pDeviceInfo->nSceneNum});
    queueStartReads();
    const int nKeep = m_pDeviceInfo->nSceneNum;
    // The live scene as the device says it (a recall whose answer was lost, or made elsewhere).
    const bool bTakeChanged = nTakeBefore != m_pDeviceInfo->nTakeScene;
    if (nKeep == 0)
        CDeviceLog::write({QString("The device"), m_strIp, QString("scene number failure!")});
    // The scenes numbered beyond the count are gone (whichever records the answers made first).
    bool bTrimmed = false;
    while (!m_listScene.isEmpty() && m_listScene.last()->nId > nKeep) {
        removeTarnScene(m_listScene.size() - 1);
        bTrimmed = true;
    }
    if (bTrimmed || bTakeChanged) {
        // Let the editor drop the removed scenes, and show the live scene, at once.
        notifySerial("slot_updateCurrentDevice");
    }
    CDeviceLog::write({QString("The device"), m_strIp, QString("get input source and scene number return: "),
                       m_pDeviceInfo->nSrcNum, m_pDeviceInfo->nSceneMax, m_pDeviceInfo->nSceneNum, m_pDeviceInfo->nTakeScene});
}

// Layer replies (34).
void CTcpDeviceThread::getLayerInfo(const CReplyFrame &f)
{
    int nSendIndex;
    {
        QMutexLocker lock(m_pMutexRecv);
        nSendIndex = m_nSendIndex;
    }
    if (nSendIndex == Tx_GetInput && !m_bAnswered)
        return; // answers none of ours, and an input-state poll went out since the layer command
    const QByteArray &p = f.payload;
    const bool bWrite = f.nReadOrWrite == 2;
    QString strText;
    switch (f.nSub) {
    case 0:
        if (bWrite) {
            strText = "set layer all parameter";
        } else if (isZ() && !f.isAck() && p.size() >= 35) {
            takeZLiveSettings(p);
        }
        break;
    case 1:
        strText = "set layer state";
        break;
    case 2:
        strText = "set layer level";
        break;
    case 10: {
        strText = "set layer pos";
        g_setSourcePoll(false, m_strSerial);
        break;
    }
    case 20:
        strText = "set layer cut";
        break;
    case 30:
        if (bWrite) {
            strText = "set layer translate";
            QMutexLocker lock(m_pMutexRecv);
            m_nExtraValue2 = m_nExtraValue1;
        }
        break;
    case 40:
        strText = "delete layer";
        break;
    case 41:
        strText = "delete all layer";
        break;
    default:
        break;
    }
    if (f.nSub <= 41)
        CDeviceLog::write({QString("The device"), m_strIp, strText, QString("successfully!"), nSendIndex, f.nSub});
}

void CTcpDeviceThread::getTarnSceneRead(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    const int nId = u8(p, 0);
    if (p.size() >= 26) {
        CTarnSceneRecord *pScene = findTarnScene(nId);
        const bool bCreated = pScene == nullptr;
        if (bCreated) {
            pScene = new CTarnSceneRecord();
            pScene->nId = nId;
            const auto it = std::find_if(m_listScene.begin(), m_listScene.end(),
                                         [nId](const CTarnSceneRecord *s) { return s->nId > nId; });
            m_listScene.insert(it, pScene);
        }
        sceneHeld(nId);
        // The name as the device holds it now: renamed here, by another client, or renumbered.
        pScene->strName = g_fromGbkField(p.mid(2, 12));
        pScene->nSceneState = u8(p, 1);
        pScene->nWidth = be16(p, 14);
        pScene->nHeight = be16(p, 16);
        pScene->nHz = u8(p, 18);
        pScene->nCanvasCount = u8(p, 19);
        pScene->nLayerCount = u8(p, 20);
        pScene->nLayerUse = u8(p, 21);
        pScene->nCanvasType = u8(p, 22);
        pScene->nLight = u8(p, 23);
        pScene->nAudio = u8(p, 24);
        pScene->nMainSig = u8(p, 25);
        if (pScene->nLayerUse > 0) {
            QByteArray read(3, '\0');
            read[0] = char(nId);
            read[2] = char(pScene->nLayerUse - 1);
            queueRead(Tx_SceneInfo, read, 80);
        } else if (answersSceneRead(nId, 0)) {
            m_hashSceneReadFailures.remove(nId); // read whole, in answer to our read
        }
        std::sort(pScene->vectorLayer.begin(), pScene->vectorLayer.end(), byLayerIndex);
        while (pScene->vectorLayer.size() > pScene->nLayerUse)
            pScene->vectorLayer.removeLast();
        if (CTarnSceneSink *pSink = CTarnSceneSink::installed())
            pSink->sceneRead(this, *pScene, bCreated);
        notifySerial("slot_updateCurrentDevice");
        CDeviceLog::write({QString("Scene return data: "), nId, pScene->nSceneState, pScene->strName, pScene->nWidth,
                           pScene->nHeight, pScene->nHz, pScene->nCanvasCount, pScene->nLayerCount, pScene->nLayerUse,
                           pScene->nCanvasType, pScene->nLight, pScene->nAudio, pScene->nMainSig});
    } else {
        CDeviceLog::write({QString("The device"), m_strIp, QString("short scene reply ignored, bytes:"), p.size()});
    }
    QMutexLocker lock(m_pMutexRecv);
    m_nRecvExtraVal = nId;
}

namespace {
// One 23-byte layer record at p[at] (p holds it whole): the layout of a layer read and of a
// layer's all-parameter write alike.
CTarnLayerRecord layerRecordAt(const QByteArray &p, int at)
{
    CTarnLayerRecord l;
    l.nIndex = u8(p, at);
    l.nState = u8(p, at + 1);
    l.nLevel = u8(p, at + 2);
    l.nMainSig = u8(p, at + 3);
    l.nBackupSig = u8(p, at + 4);
    l.nTrans = u8(p, at + 5);
    l.nX = be16(p, at + 6);
    l.nY = be16(p, at + 8);
    l.nWidth = be16(p, at + 10);
    l.nHeight = be16(p, at + 12);
    l.nCut = u8(p, at + 14);
    l.nCutX = be16(p, at + 15);
    l.nCutY = be16(p, at + 17);
    l.nCutWidth = be16(p, at + 19);
    l.nCutHeight = be16(p, at + 21);
    return l;
}
} // namespace

// Layer read (35, sub 80): p[0] scene id, then 23-byte layer records within the payload.
void CTcpDeviceThread::getTarnLayerRead(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    const int nSceneId = u8(p, 0);
    CTarnSceneRecord *pScene = findTarnScene(nSceneId);
    if (!pScene)
        return; // the gate stays closed, as for any reply that answers nothing held
    if (answersSceneRead(nSceneId, 80))
        m_hashSceneReadFailures.remove(nSceneId); // read whole, in answer to our read
    QVector<CTarnLayerRecord> listRead;
    for (int i = 1; i + 23 <= p.size(); i += 23) {
        const CTarnLayerRecord l = layerRecordAt(p, i);
        listRead.append(l);
        CDeviceLog::write({QString("layer data return: "), nSceneId, l.nIndex, l.nState, l.nLevel, l.nMainSig, l.nBackupSig,
                           l.nTrans, l.nX, l.nY, l.nWidth, l.nHeight, l.nCut, l.nCutX, l.nCutY, l.nCutWidth, l.nCutHeight});
    }
    // One record per layer id; a repeated id counts with its last record.
    QVector<CTarnLayerRecord> listListed;
    for (const CTarnLayerRecord &l : qAsConst(listRead))
        putLayer(listListed, l);
    if (listListed.size() >= pScene->nLayerUse) {
        // As many layers as the scene read said are in use: the device listed them all, and a
        // layer it no longer lists is gone (deleted here or by another client).
        pScene->vectorLayer = listListed;
    } else {
        // A read of part of the scene: update and add, drop nothing.
        for (const CTarnLayerRecord &l : qAsConst(listListed))
            putLayer(pScene->vectorLayer, l);
    }
    if (CTarnSceneSink *pSink = CTarnSceneSink::installed())
        pSink->layersRead(this, nSceneId, listRead);
    QMutexLocker lock(m_pMutexRecv);
    m_nRecvExtraVal = (80 + nSceneId) % 256;
}

// OSD replies (40).
void CTcpDeviceThread::getOSDInfo(const CReplyFrame &f)
{
    const QByteArray &p = f.payload;
    switch (f.nSub) {
    case 0:
        // The read at link-up: p[0] not 0 asks for the OSD's state, 0 is an OSD off; the OSD
        // settings follow it in the parameter write's layout when the device sends them whole.
        if (f.isAck() || p.isEmpty())
            break;
        if (p.size() >= 1 + OsdSettingsSize && p.mid(1, OsdSettingsSize) != m_osdSettings) {
            // Settings other than those held (a write whose answer was lost, read back): the
            // text page shows the device's.
            const bool bHeld = m_osdSettings.size() == OsdSettingsSize;
            m_osdSettings = p.mid(1, OsdSettingsSize);
            if (bHeld) {
                QString strSerial = m_strSerial;
                QByteArray params = m_osdSettings;
                globalObserver::getGlobalObserver()->notify("slot_osdSettingsHeld", Q_ARG(QString, strSerial),
                                                            Q_ARG(QByteArray, params));
            }
        }
        if (u8(p, 0) != 0)
            notifySetDeviceCmd(g_texing_name[Tx_OSDSet], QByteArray(), 1, 2);
        else if (isTarn())
            holdOsdState(false);
        break;
    case 2:
        // The OSD state read: 1 on; any other answer to the read is an OSD off.
        if (f.isAck() || p.isEmpty() || !isTarn())
            break;
        if (u8(p, 0) == 1)
            holdOsdState(true);
        else if (f.nReadOrWrite == 1)
            holdOsdState(false);
        break;
    case 10:
    case 11:
    case 12: {
        // The bitmap transfer keeps its own state: it is told of the reply and decides what follows.
        COsdReplySink *pTransfer = COsdReplySink::forDevice(m_strSerial);
        if (!pTransfer)
            break; // no transfer to this device (a late or foreign reply)
        if (f.nSub == 10)
            pTransfer->headerAnswered();
        else if (f.nSub == 11)
            pTransfer->packetAnswered(p.size() >= 6 && u8(p, 5) == 1);
        else
            pTransfer->endAnswered();
        break;
    }
    default:
        break;
    }
}

void CTcpDeviceThread::holdOsdState(bool bOn)
{
    m_bOsdKnown = true;
    m_bOsdOn = bOn;
    showOsdState();
}

// An OSD write the device acknowledged: the switch, the parameters, or one field of them (laid
// out as [index, value...]) of the OSD the settings are of.
void CTcpDeviceThread::followOsdWrite(const _mcu_cmd &sent)
{
    const QByteArray &p = sent.byte;
    int nAt = -1;
    int nCount = 1;
    switch (sent.nSubIndex3) {
    case 1:
        if (p.size() >= OsdSettingsSize)
            m_osdSettings = p.left(OsdSettingsSize);
        return;
    case 2:
        if (p.isEmpty())
            return;
        if (isTarn())
            holdOsdState(u8(p, 0) == 1);
        // A transfer to the device learns that its switch was taken (it ends on the switch-on).
        if (COsdReplySink *pTransfer = COsdReplySink::forDevice(m_strSerial))
            pTransfer->switchTaken(u8(p, 0) == 1);
        return;
    case 3: nAt = 2; break;
    case 4: nAt = 3; break;
    case 5: nAt = 4; break;
    case 7: nAt = 13; nCount = 3; break;
    case 8: nAt = 16; nCount = 3; break;
    default: return;
    }
    if (m_osdSettings.size() == OsdSettingsSize && p.size() >= 1 + nCount && p.at(0) == m_osdSettings.at(0))
        m_osdSettings.replace(nAt, nCount, p.mid(1, nCount));
}

// The OSD state is each device's own: the editor keeps it for the device and shows it (without an
// editor it is the Tarn canvas's, which only the device it edits sets). A bitmap transfer to the
// device switches its OSD off and on again itself: while it runs over a live link the editor
// keeps showing the OSD being sent.
void CTcpDeviceThread::showOsdState()
{
    if (!m_bOsdKnown || !isTarn() || (COsdReplySink::forDevice(m_strSerial) && !isLinkDown()))
        return;
    if (CTarnSceneSink *pSink = CTarnSceneSink::installed())
        pSink->osdStateHeld(this, m_bOsdOn);
    else if (drivesTarnCanvas())
        g_OSDState = m_bOsdOn;
}

// After a write that was not acknowledged. A transfer to a device whose link is down has had
// its commands refused: it ends now, and the device keeps the OSD it had.
void CTcpDeviceThread::handBackOsd()
{
    if (isTarn() && isLinkDown())
        if (COsdReplySink *pTransfer = COsdReplySink::forDevice(m_strSerial))
            pTransfer->linkLost();
    showOsdState();
    if (m_osdSettings.size() == OsdSettingsSize) {
        QString strSerial = m_strSerial;
        QByteArray params = m_osdSettings;
        globalObserver::getGlobalObserver()->notify("slot_osdSettingsHeld", Q_ARG(QString, strSerial),
                                                    Q_ARG(QByteArray, params));
    }
}

// Layer writes (34) change the live scene. The records follow each one the device takes, so a
// later scene read or a rebuilt canvas never brings back a layer deleted or cleaned here, nor
// an old place of one moved here. Layer ids are in p[0] of every write; layouts as sent.
void CTcpDeviceThread::followTarnLayerWrite(const CReplyFrame &f, const _mcu_cmd *pSent)
{
    if (!isTarn() || f.nCmd != Tx_SetLayer)
        return;
    if (pSent ? pSent->nReadOrWrite != 2 : f.nReadOrWrite != 2)
        return;
    CTarnSceneRecord *pScene = findTarnScene(m_pDeviceInfo ? m_pDeviceInfo->nTakeScene : -1);
    if (!pScene)
        return;
    if (f.isAck() && pSent && applyTarnLayerWrite(*pScene, *pSent))
        return;
    CDeviceLog::write({QString("The device"), m_strIp, QString("layer write not taken, read the scene again:"), f.nSub});
    readScene(pScene->nId);
}

bool CTcpDeviceThread::applyTarnLayerWrite(CTarnSceneRecord &scene, const _mcu_cmd &sent)
{
    const QByteArray &p = sent.byte;
    QVector<CTarnLayerRecord> &layers = scene.vectorLayer;
    if (sent.nSubIndex3 == 41) {
        layers.clear();
        scene.nLayerUse = 0;
        return true;
    }
    if (p.isEmpty())
        return false;
    const int nIndex = u8(p, 0);
    CTarnLayerRecord *pLayer = scene.layer(nIndex);
    switch (sent.nSubIndex3) {
    case 0:
        if (p.size() < 23)
            return false;
        putLayer(layers, layerRecordAt(p, 0));
        if (!pLayer)
            scene.nLayerUse = layers.size();
        return true;
    case 40:
        if (pLayer) {
            layers.remove(int(pLayer - layers.constData()));
            scene.nLayerUse = layers.size();
        }
        return true;
    default:
        break;
    }
    if (!pLayer)
        return false; // a layer the records do not hold: read the scene to learn it
    switch (sent.nSubIndex3) {
    case 1:
        if (p.size() < 2) return false;
        pLayer->nState = u8(p, 1);
        return true;
    case 2:
        if (p.size() < 2) return false;
        pLayer->nLevel = u8(p, 1);
        return true;
    case 3:
        if (p.size() < 2) return false;
        pLayer->nMainSig = u8(p, 1);
        return true;
    case 10:
        if (p.size() < 9) return false;
        pLayer->nX = be16(p, 1);
        pLayer->nY = be16(p, 3);
        pLayer->nWidth = be16(p, 5);
        pLayer->nHeight = be16(p, 7);
        return true;
    case 20:
        if (p.size() < 10) return false;
        pLayer->nCut = u8(p, 1);
        pLayer->nCutX = be16(p, 2);
        pLayer->nCutY = be16(p, 4);
        pLayer->nCutWidth = be16(p, 6);
        pLayer->nCutHeight = be16(p, 8);
        return true;
    case 30:
        if (p.size() < 2) return false;
        pLayer->nTrans = u8(p, 1);
        return true;
    default:
        return true; // nothing the records keep
    }
}
