#include "DeviceSimModel.h"

#include <QTextCodec>

#include <algorithm>

namespace {

QTextCodec *gbk()
{
    static QTextCodec *s_pCodec = QTextCodec::codecForName("GBK");
    return s_pCodec;
}

QByteArray nameField(const QString &strName)
{
    QByteArray bytes = gbk()->fromUnicode(strName);
    // Cut at a character boundary: GBK lead bytes are 0x81..0xFE followed by one trail byte.
    int nCut = 0;
    while (nCut < bytes.size()) {
        const int nLen = (uchar(bytes.at(nCut)) >= 0x81) ? 2 : 1;
        if (nCut + nLen > 12)
            break;
        nCut += nLen;
    }
    bytes.truncate(nCut);
    bytes.append(QByteArray(12 - bytes.size(), '\0'));
    return bytes;
}

QString fromNameField(const QByteArray &field)
{
    QByteArray bytes = field;
    const int nZero = bytes.indexOf('\0');
    if (nZero >= 0)
        bytes.truncate(nZero);
    return gbk()->toUnicode(bytes);
}

void put8(QByteArray &out, int v)
{
    out.append(char(v & 0xFF));
}

void put16(QByteArray &out, int v)
{
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
}

int at8(const QByteArray &p, int i, int nDefault = 0)
{
    return i < p.size() ? uchar(p.at(i)) : nDefault;
}

int at16(const QByteArray &p, int i, int nDefault = 0)
{
    return i + 1 < p.size() ? ((uchar(p.at(i)) << 8) | uchar(p.at(i + 1))) : nDefault;
}

int at32(const QByteArray &p, int i)
{
    return (at16(p, i) << 16) | at16(p, i + 2);
}

} // namespace

CSimDeviceModel::CSimDeviceModel(Family f, int nInputs, int nScenes)
{
    reset(f, nInputs, nScenes);
}

void CSimDeviceModel::reset(Family f, int nInputs, int nScenes)
{
    family = f;
    strModel = (f == Tarn) ? QStringLiteral("Tarn-3") : QStringLiteral("Z7");
    inputs.clear();
    for (int i = 0; i < nInputs; ++i) {
        CSimInput in;
        in.nId = i;
        in.strName = QString("IN%1").arg(i + 1);
        in.strFactoryName = in.strName;
        in.nType = 1 + (i % 8);
        in.nSig = (i % 3 == 2) ? 0 : 1;
        inputs.append(in);
    }
    scenes.clear();
    for (int i = 0; i < nScenes; ++i) {
        CSimScene s;
        s.strName = QString("S%1").arg(i + 1);
        if (f == Tarn) {
            for (int l = 0; l < 2; ++l) {
                CSimLayer layer;
                layer.nIndex = l;
                layer.nLevel = l + 1;
                layer.nMainSig = nInputs > 0 ? l % nInputs : 0;
                layer.nX = l * 960;
                s.layers.append(layer);
            }
        }
        s.nMainSig = 0;
        scenes.append(s);
    }
    nTakeScene = nScenes > 0 ? 1 : 0;
    outputs.clear();
    outputs.resize(2);
    osdPacketsTaken.clear();
}

QByteArray CSimDeviceModel::ack()
{
    return QByteArray("\xC5\xC3", 2);
}

QByteArray CSimDeviceModel::nak()
{
    return QByteArray("\xC5\xC0", 2);
}

CSimInput *CSimDeviceModel::input(int nId)
{
    for (CSimInput &in : inputs)
        if (in.nId == nId)
            return &in;
    return nullptr;
}

CSimScene *CSimDeviceModel::scene(int nId)
{
    return (nId >= 1 && nId <= scenes.size()) ? &scenes[nId - 1] : nullptr;
}

CSimScene *CSimDeviceModel::editLive()
{
    CSimScene *pLive = scene(nTakeScene);
    if (pLive && !pLive->bUnsaved) {
        pLive->savedLayers = pLive->layers;
        pLive->bUnsaved = true;
    }
    return pLive;
}

QByteArray CSimDeviceModel::deviceInfo() const
{
    QByteArray out(16, '\0');
    const QByteArray model = gbk()->fromUnicode(strModel);
    put8(out, model.size());
    out.append(model);
    const QByteArray fw = strFirmware.toUtf8();
    put8(out, fw.size());
    out.append(fw);
    return out;
}

QByteArray CSimDeviceModel::inputSettings(const CSimInput &in) const
{
    QByteArray out;
    put8(out, in.nId);
    put8(out, in.nType);
    put8(out, in.nConnector);
    out.append(nameField(in.strName));
    put8(out, in.nResType);
    put16(out, in.nEdidWidth);
    put16(out, in.nEdidHeight);
    put8(out, in.nEdidHz);
    return out;
}

QByteArray CSimDeviceModel::sceneRecord(int nId) const
{
    const CSimScene &s = scenes.at(nId - 1);
    QByteArray out;
    put8(out, nId);
    put8(out, s.nState);
    out.append(nameField(s.strName));
    put16(out, s.nWidth);
    put16(out, s.nHeight);
    put8(out, s.nHz);
    put8(out, s.nCanvasCount);
    put8(out, s.nLayerCount);
    put8(out, s.layers.size());
    put8(out, s.nCanvasType);
    put8(out, s.nLight);
    put8(out, s.nAudio);
    put8(out, s.nMainSig);
    put8(out, s.nBackup);
    put16(out, s.nCropX);
    put16(out, s.nCropY);
    put16(out, s.nCropW);
    put16(out, s.nCropH);
    put8(out, s.nScaleMode);
    put8(out, s.nSilent);
    put8(out, s.nSound);
    put8(out, s.nBrightness);
    return out;
}

QByteArray CSimDeviceModel::layerRecords(int nId, int nFirst, int nLast) const
{
    QByteArray out;
    put8(out, nId);
    // The range counts the layers in use (first to last, in layer-id order), not layer ids: a
    // scene holding L1 alone answers [id, 0, 0] with L1.
    QVector<CSimLayer> sorted = scenes.at(nId - 1).layers;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const CSimLayer &a, const CSimLayer &b) { return a.nIndex < b.nIndex; });
    for (int i = 0; i < sorted.size(); ++i) {
        if (i < nFirst || i > nLast)
            continue;
        const CSimLayer &l = sorted.at(i);
        put8(out, l.nIndex);
        put8(out, l.nState);
        put8(out, l.nLevel);
        put8(out, l.nMainSig);
        put8(out, l.nBackupSig);
        put8(out, l.nTrans);
        put16(out, l.nX);
        put16(out, l.nY);
        put16(out, l.nWidth);
        put16(out, l.nHeight);
        put8(out, l.nCut);
        put16(out, l.nCutX);
        put16(out, l.nCutY);
        put16(out, l.nCutWidth);
        put16(out, l.nCutHeight);
    }
    return out;
}

bool CSimDeviceModel::crossesMiddle(const CSimScene &s, const CSimLayer &l)
{
    const int nMiddle = s.nWidth / 2;
    return l.nX < nMiddle && nMiddle < l.nX + l.nWidth;
}

void CSimDeviceModel::dropLayersBesideCrossing(CSimScene &s, int nIndex) const
{
    const CSimLayer *pLayer = nullptr;
    for (const CSimLayer &l : s.layers)
        if (l.nIndex == nIndex)
            pLayer = &l;
    if (!bSplitScreen || s.nCanvasCount != 1 || !pLayer || !crossesMiddle(s, *pLayer))
        return;
    QVector<CSimLayer> kept;
    for (const CSimLayer &l : s.layers)
        if (l.nIndex == nIndex || crossesMiddle(s, l))
            kept.append(l);
    s.layers = kept;
}

bool CSimDeviceModel::osdComplete() const
{
    if (nOsdPackets <= 0 || nOsdEnds == 0)
        return false;
    for (int i = 0; i < nOsdPackets; ++i)
        if (!osdPacketsTaken.contains(i))
            return false;
    return true;
}

QByteArray CSimDeviceModel::answer(int nCmd, int nReadOrWrite, int nSub, const QByteArray &p)
{
    const bool bRead = nReadOrWrite == 1;
    QByteArray out;
    switch (nCmd) {
    case 0: // device information
        return deviceInfo();
    case 27: // heartbeat
        return QByteArray();
    case 30: // screen size
        if (bRead) {
            put16(out, nScreenWidth);
            put16(out, nScreenHeight);
            put8(out, nScreenHz);
            put8(out, 0);
            return out;
        }
        if (p.size() >= 4) {
            nScreenWidth = at16(p, 0);
            nScreenHeight = at16(p, 2);
            nScreenHz = at8(p, 4, nScreenHz);
            if (family == Z) {
                nLayerWidth = nScreenWidth;
                nLayerHeight = nScreenHeight;
            }
        }
        return ack();
    case 31: { // input settings
        CSimInput *pIn = input(at8(p, 0, -1));
        if (!pIn)
            return nak();
        // Reads answer in the sub-command's own layout: 1 everything, 2 [id, name field],
        // 3 [id, resolution index, width16, height16, Hz].
        if (bRead && nSub == 2)
            return QByteArray(1, char(pIn->nId)) + nameField(pIn->strName);
        if (bRead && nSub == 3)
            return QByteArray(1, char(pIn->nId)) + inputSettings(*pIn).mid(15, 6);
        if (bRead)
            return inputSettings(*pIn);
        switch (nSub) {
        case 0: // [id, 0, 0, name field, resolution index, width16, height16, Hz]
            if (p.size() < 21)
                return nak();
            pIn->strName = fromNameField(p.mid(3, 12));
            pIn->nResType = at8(p, 15);
            pIn->nEdidWidth = at16(p, 16);
            pIn->nEdidHeight = at16(p, 18);
            pIn->nEdidHz = at8(p, 20);
            break;
        case 2: // [id, restore flag (1 = factory name), name field]
            if (p.size() < 14)
                return nak();
            pIn->strName = at8(p, 1) == 1 ? pIn->strFactoryName : fromNameField(p.mid(2, 12));
            // the reply carries the name the input now has
            return QByteArray(1, char(pIn->nId)) + nameField(pIn->strName);
        case 3: // [id, resolution index, width16, height16, Hz]
            if (p.size() < 7)
                return nak();
            pIn->nResType = at8(p, 1);
            pIn->nEdidWidth = at16(p, 2);
            pIn->nEdidHeight = at16(p, 4);
            pIn->nEdidHz = at8(p, 6);
            break;
        default:
            break;
        }
        return p; // the device echoes the settings it took, input id first
    }
    case 32: { // input state
        const int nFirst = at8(p, 0, 0);
        const int nLast = at8(p, 1, 255);
        for (const CSimInput &in : inputs) {
            if (in.nId < nFirst || in.nId > nLast)
                continue;
            put8(out, in.nId);
            put16(out, in.nSig ? in.nWidth : 0);
            put16(out, in.nSig ? in.nHeight : 0);
            put8(out, in.nSig ? in.nHz : 0);
            put8(out, in.nSig);
        }
        return out;
    }
    case 33: // source and scene counts
        put8(out, inputs.size());
        put8(out, nSceneMax);
        put8(out, scenes.size());
        put8(out, nTakeScene);
        return out;
    case 34: { // layer settings
        if (bRead) {
            QByteArray z(35, '\0');
            z[3] = char(nMainSig);
            auto set16 = [&z](int i, int v) { z[i] = char((v >> 8) & 0xFF); z[i + 1] = char(v & 0xFF); };
            set16(6, nXDeflection);
            set16(8, nYDeflection);
            set16(10, nLayerWidth);
            set16(12, nLayerHeight);
            set16(15, nInX);
            set16(17, nInY);
            set16(19, nInW);
            set16(21, nInH);
            z[23] = char(nScaleMode);
            set16(24, nOutX);
            set16(26, nOutY);
            set16(28, nOutW);
            set16(30, nOutH);
            z[32] = char(nSilent);
            z[33] = char(nSound);
            z[34] = char(nBrightness);
            return z;
        }
        CSimScene *pLive = family == Tarn ? editLive() : scene(nTakeScene);
        CSimLayer *pLayer = nullptr;
        if (pLive)
            for (CSimLayer &l : pLive->layers)
                if (l.nIndex == at8(p, 0, -1))
                    pLayer = &l;
        switch (nSub) {
        case 1:
            if (pLayer) pLayer->nState = at8(p, 1);
            break;
        case 2:
            if (pLayer) pLayer->nLevel = at8(p, 1);
            break;
        case 3:
            if (family == Z) nMainSig = at8(p, 1);
            else if (pLayer) pLayer->nMainSig = at8(p, 1);
            break;
        case 10:
            if (family == Z) {
                nXDeflection = at16(p, 1); nYDeflection = at16(p, 3);
                nLayerWidth = at16(p, 5); nLayerHeight = at16(p, 7);
            } else if (pLayer) {
                const bool bCrossed = crossesMiddle(*pLive, *pLayer);
                pLayer->nX = at16(p, 1); pLayer->nY = at16(p, 3);
                pLayer->nWidth = at16(p, 5); pLayer->nHeight = at16(p, 7);
                if (!bCrossed)
                    dropLayersBesideCrossing(*pLive, pLayer->nIndex);
            }
            break;
        case 20:
            if (family == Z) {
                nInX = at16(p, 2); nInY = at16(p, 4);
                nInW = at16(p, 6); nInH = at16(p, 8);
            } else if (pLayer) {
                pLayer->nCut = at8(p, 1);
                pLayer->nCutX = at16(p, 2); pLayer->nCutY = at16(p, 4);
                pLayer->nCutWidth = at16(p, 6); pLayer->nCutHeight = at16(p, 8);
            }
            break;
        case 30:
            if (pLayer) pLayer->nTrans = at8(p, 1);
            break;
        case 40:
            if (pLive)
                for (int i = 0; i < pLive->layers.size(); ++i)
                    if (pLive->layers.at(i).nIndex == at8(p, 0, -1)) {
                        pLive->layers.removeAt(i);
                        break;
                    }
            break;
        case 41:
            if (pLive) pLive->layers.clear();
            break;
        case 42:
            nOutX = at16(p, 1); nOutY = at16(p, 3); nOutW = at16(p, 5); nOutH = at16(p, 7);
            break;
        case 43: nScaleMode = at8(p, 1); break;
        case 44: nSilent = at8(p, 1); break;
        case 45: nSound = at8(p, 1); break;
        case 46: nBrightness = at8(p, 1); break;
        case 0:
            if (pLayer && p.size() >= 23) {
                const bool bCrossed = crossesMiddle(*pLive, *pLayer);
                pLayer->nState = at8(p, 1); pLayer->nLevel = at8(p, 2); pLayer->nMainSig = at8(p, 3);
                pLayer->nBackupSig = at8(p, 4); pLayer->nTrans = at8(p, 5);
                pLayer->nX = at16(p, 6); pLayer->nY = at16(p, 8); pLayer->nWidth = at16(p, 10); pLayer->nHeight = at16(p, 12);
                pLayer->nCut = at8(p, 14); pLayer->nCutX = at16(p, 15); pLayer->nCutY = at16(p, 17);
                pLayer->nCutWidth = at16(p, 19); pLayer->nCutHeight = at16(p, 21);
                if (!bCrossed)
                    dropLayersBesideCrossing(*pLive, pLayer->nIndex);
            } else if (pLive && p.size() >= 23 && at8(p, 0) < pLive->nLayerCount
                       && pLive->layers.size() < pLive->nLayerCount) {
                // A new layer under any free id below the scene's layer count, while the scene has room.
                CSimLayer l;
                l.nIndex = at8(p, 0);
                pLive->layers.append(l);
                return answer(nCmd, nReadOrWrite, nSub, p);
            }
            break;
        default:
            break;
        }
        return ack();
    }
    case 35: { // scene operation
        const int nId = at8(p, 0, -1);
        switch (nSub) {
        case 0:
            if (!scene(nId))
                return nak();
            return sceneRecord(nId);
        case 80:
            if (!scene(nId))
                return nak();
            return layerRecords(nId, at8(p, 1, 0), at8(p, 2, 255));
        case 10: { // save [source, target]
            const int nTarget = at8(p, 1, -1);
            CSimScene copy;
            if (CSimScene *pSrc = scene(nId > 0 ? nId : nTakeScene))
                copy = *pSrc;
            if (family == Z) {
                copy.nMainSig = nMainSig;
                copy.nCropX = nInX; copy.nCropY = nInY; copy.nCropW = nInW; copy.nCropH = nInH;
                copy.nScaleMode = nScaleMode; copy.nSilent = nSilent;
                copy.nSound = nSound; copy.nBrightness = nBrightness;
            }
            copy.savedLayers.clear();
            copy.bUnsaved = false;
            if (scene(nTarget)) {
                const QString strName = scene(nTarget)->strName;
                *scene(nTarget) = copy;
                scene(nTarget)->strName = strName;
            } else if (nTarget == scenes.size() + 1 && scenes.size() < nSceneMax) {
                copy.strName = QString("S%1").arg(nTarget);
                scenes.append(copy);
            } else {
                return nak();
            }
            return ack();
        }
        case 20:
            if (!scene(nId))
                return nak();
            // Whatever was not saved is lost; the recalled scene shows its stored layers.
            for (CSimScene &s : scenes) {
                if (s.bUnsaved)
                    s.layers = s.savedLayers;
                s.bUnsaved = false;
            }
            nTakeScene = nId;
            if (family == Z) {
                const CSimScene &t = *scene(nId);
                nMainSig = t.nMainSig;
                nInX = t.nCropX; nInY = t.nCropY; nInW = t.nCropW; nInH = t.nCropH;
                nScaleMode = t.nScaleMode; nSilent = t.nSilent;
                nSound = t.nSound; nBrightness = t.nBrightness;
            }
            return ack();
        case 30:
            if (!scene(nId))
                return nak();
            scenes.removeAt(nId - 1);
            if (nTakeScene == nId)
                nTakeScene = 0;
            else if (nTakeScene > nId)
                --nTakeScene;
            return ack();
        case 40:
            if (!scene(nId) || p.size() < 2)
                return nak();
            scene(nId)->strName = fromNameField(p.mid(1, 12));
            return ack();
        case 50:
        case 51:
            if (!scene(nId))
                return nak();
            if (bRead) {
                put8(out, nId);
                put8(out, nSub == 50 ? scene(nId)->nAudioSource : scene(nId)->nSound);
                return out;
            }
            if (nSub == 50)
                scene(nId)->nAudioSource = at8(p, 1);
            else
                scene(nId)->nSound = at8(p, 1);
            return ack();
        default:
            return ack();
        }
    }
    case 37: { // output ports
        const int nPort = at8(p, 0, 1);
        CSimOutput *pOut = (nPort >= 1 && nPort <= outputs.size()) ? &outputs[nPort - 1] : nullptr;
        if (bRead) {
            if (nSub == 1) {
                put16(out, outputs.size());
                put8(out, nOutputType);
                put8(out, outputs.size());
                return out;
            }
            if (!pOut)
                return nak();
            put8(out, nPort);
            if (nSub == 10) {
                put8(out, 0); put8(out, 0); put8(out, 1);
                put8(out, pOut->nStdIndex);
                put16(out, pOut->nWidth); put16(out, pOut->nHeight); put8(out, pOut->nHz);
            } else if (nSub == 20) {
                for (int v : pOut->timing)
                    put16(out, v);
                put8(out, pOut->nMaxHz);
            } else if (nSub == 21) {
                put16(out, pOut->nDelay);
            } else if (nSub == 22) {
                put16(out, pOut->nNoise);
            }
            return out;
        }
        if (!pOut)
            return nak();
        if (nSub == 10 && p.size() >= 10) {
            pOut->nStdIndex = at8(p, 4);
            pOut->nWidth = at16(p, 5); pOut->nHeight = at16(p, 7); pOut->nHz = at8(p, 9);
        } else if (nSub == 20 && p.size() >= 18) {
            for (int i = 0; i < 8; ++i)
                pOut->timing[i] = at16(p, 1 + 2 * i);
            pOut->nMaxHz = at8(p, 17);
        } else if (nSub == 21) {
            pOut->nDelay = at16(p, 1);
        } else if (nSub == 22) {
            pOut->nNoise = at16(p, 1);
        }
        return ack();
    }
    case 40: { // OSD
        if (bRead) {
            put8(out, nOsdOn);
            if (nSub == 0)
                out.append(osdSettings);
            return out;
        }
        switch (nSub) {
        case 1:
            if (p.size() >= osdSettings.size())
                osdSettings = p.left(osdSettings.size());
            return ack();
        case 2:
            nOsdOn = at8(p, 0);
            return ack();
        case 3: case 4: case 5: case 7: case 8: { // one field of the OSD of that index
            const int nAt = nSub == 7 ? 13 : nSub == 8 ? 16 : nSub - 1;
            const int nCount = nSub >= 7 ? 3 : 1;
            if (p.size() >= 1 + nCount && p.at(0) == osdSettings.at(0))
                osdSettings.replace(nAt, nCount, p.mid(1, nCount));
            return ack();
        }
        case 10:
            nOsdPackets = at32(p, 1);
            nOsdBytes = at32(p, 5);
            osdBitmap = QByteArray(qBound(0, nOsdBytes, 1 << 24), '\0');
            osdPacketsTaken.clear();
            nOsdEnds = 0;
            return ack();
        case 11: {
            const int nNumber = at32(p, 1);
            out = p.left(5);
            out.append(QByteArray(5 - out.size(), '\0'));
            if (nOsdRefusePackets > 0) {
                --nOsdRefusePackets;
                put8(out, 0);
                return out;
            }
            const int nLen = at16(p, 5);
            const QByteArray data = p.mid(7, nLen);
            const qint64 nAt = qint64(nNumber) * 128;
            if (nNumber < 0 || nNumber >= nOsdPackets || data.size() != nLen || nAt + nLen > osdBitmap.size()) {
                put8(out, 0); // a packet outside the announced bitmap is refused
                return out;
            }
            osdBitmap.replace(int(nAt), nLen, data);
            osdPacketsTaken.append(nNumber);
            put8(out, 1);
            return out;
        }
        case 12:
            if (bOsdRefuseEnd)
                return nak();
            ++nOsdEnds;
            return ack();
        default:
            return ack();
        }
    }
    case 41: // system settings
        if (bRead)
            return nameField(strDeviceName);
        if (p.size() >= 1)
            strDeviceName = fromNameField(p.left(12));
        return ack();
    default:
        if (bRead) {
            put8(out, 0);
            return out;
        }
        return ack();
    }
}
