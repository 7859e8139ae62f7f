#include "TarnSceneStore.h"

#include <QDateTime>
#include <QtDebug>

#include <algorithm>

#include "EditBaseScene.h"
#include "EditSingleTextItem.h"
#include "globalObserver.h"
#include "SceneBackCanvas.h"
#include "QorGlobal.h"
#include "TcpDeviceThread.h"

QPointer<CTarnSceneStore> CTarnSceneStore::s_pInstance;

namespace {

void logLine(const QString &strText)
{
    qInfo().noquote() << QString("[%1]: ").arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss")) + strText;
}

bool scalesKnown()
{
    return g_dWScale > 0 && g_dHScale > 0;
}

} // namespace

CTarnSceneStore::CTarnSceneStore(QObject *parent)
    : QObject(parent)
{
    s_pInstance = this;
    install(this);
}

CTarnSceneStore::~CTarnSceneStore()
{
    if (installed() == this)
        install(nullptr);
    for (Device &d : m_devices)
        for (const Entry &e : d.listScene)
            delete e.pScene;
    m_devices.clear();
    // Scenes already announced as removed are children still waiting for the event loop;
    // QObject deletes them with the store.
}

CTarnSceneStore *CTarnSceneStore::instance()
{
    return s_pInstance.data();
}

CTarnSceneStore::Device *CTarnSceneStore::device(const QString &strSerial)
{
    auto it = m_devices.find(strSerial);
    return it == m_devices.end() ? nullptr : &it.value();
}

const CTarnSceneStore::Device *CTarnSceneStore::device(const QString &strSerial) const
{
    auto it = m_devices.constFind(strSerial);
    return it == m_devices.constEnd() ? nullptr : &it.value();
}

bool CTarnSceneStore::isBound(const QString &strSerial) const
{
    return m_devices.contains(strSerial);
}

QStringList CTarnSceneStore::boundSerials() const
{
    return m_devices.keys();
}

QList<CEditBaseScene *> CTarnSceneStore::scenes(const QString &strSerial) const
{
    QList<CEditBaseScene *> list;
    if (const Device *d = device(strSerial))
        for (const Entry &e : d->listScene)
            list << e.pScene;
    return list;
}

CEditBaseScene *CTarnSceneStore::scene(const QString &strSerial, int nDeviceSceneId) const
{
    if (const Device *d = device(strSerial))
        for (const Entry &e : d->listScene)
            if (e.nDeviceId == nDeviceSceneId)
                return e.pScene;
    return nullptr;
}

int CTarnSceneStore::deviceSceneId(const CEditBaseScene *pScene) const
{
    for (const Device &d : m_devices)
        for (const Entry &e : d.listScene)
            if (e.pScene == pScene)
                return e.nDeviceId;
    return -1;
}

QString CTarnSceneStore::serialOf(const CEditBaseScene *pScene) const
{
    for (auto it = m_devices.constBegin(); it != m_devices.constEnd(); ++it)
        for (const Entry &e : it.value().listScene)
            if (e.pScene == pScene)
                return it.key();
    return QString();
}

bool CTarnSceneStore::contains(const CEditBaseScene *pScene) const
{
    return deviceSceneId(pScene) != -1;
}

CEditBaseScene *CTarnSceneStore::newScene(const QString &strSerial, int nDeviceId, const QString &strName)
{
    CEditBaseScene *pScene = new CEditBaseScene(this);
    pScene->setSceneID(unsigned(nDeviceId));
    pScene->setSceneName(strName);
    pScene->m_strSerial = strSerial;
    QRect rt(0, 0, int(2 * g_nWidth), int(2 * g_nHeight));
    pScene->createBackCanvas(rt);
    Entry e;
    e.nDeviceId = nDeviceId;
    e.pScene = pScene;
    // In device scene order, whatever order the reads came in.
    QList<Entry> &list = m_devices[strSerial].listScene;
    const auto it = std::find_if(list.begin(), list.end(), [nDeviceId](const Entry &o) { return o.nDeviceId > nDeviceId; });
    list.insert(it, e);
    return pScene;
}

CEditBaseScene *CTarnSceneStore::createScene(const QString &strSerial, int nDeviceSceneId, const QString &strName)
{
    CEditBaseScene *pScene = newScene(strSerial, nDeviceSceneId, strName);
    emit sig_scenesChanged(strSerial);
    return pScene;
}

void CTarnSceneStore::dropScene(CEditBaseScene *pScene)
{
    emit sig_sceneRemoved(pScene);
    // Whatever is selected there leaves the property stack first.
    for (QGraphicsItem *pItem : pScene->m_listItems)
        CEditBaseItem::releaseSelection(pItem);
    pScene->deleteLater();
}

void CTarnSceneStore::deleteScene(CEditBaseScene *pScene)
{
    for (auto it = m_devices.begin(); it != m_devices.end(); ++it) {
        QList<Entry> &list = it.value().listScene;
        for (int i = 0; i < list.size(); ++i) {
            if (list.at(i).pScene == pScene) {
                list.removeAt(i);
                dropScene(pScene);
                emit sig_scenesChanged(it.key());
                return;
            }
        }
    }
}

void CTarnSceneStore::releaseDevice(const QString &strSerial)
{
    auto it = m_devices.find(strSerial);
    if (it == m_devices.end())
        return;
    const QList<Entry> list = it.value().listScene;
    m_devices.erase(it);
    for (const Entry &e : list)
        dropScene(e.pScene);
    emit sig_scenesChanged(strSerial);
}

const CTarnSceneRecord *CTarnSceneStore::findRecord(CTcpDeviceThread *pWorker, int nSceneId)
{
    if (!pWorker)
        return nullptr;
    const CTarnSceneRecord *pFound = nullptr;
    for (const CTarnSceneRecord *r : pWorker->getSceneList())
        if (r->nId == nSceneId)
            pFound = r;
    return pFound;
}

// ---------------------------------------------------------------- building

void CTarnSceneStore::applySceneValues(CEditBaseScene *pScene, const CTarnSceneRecord &record) const
{
    pScene->setSceneName(record.strName);
    pScene->m_nSceneState = record.nSceneState;
    pScene->m_nWidth = record.nWidth;
    pScene->m_nHeight = record.nHeight;
    pScene->m_nHz = record.nHz;
    pScene->m_nCanvasCount = record.nCanvasCount;
    pScene->m_nLayerCount = record.nLayerCount;
    pScene->m_nLayerUse = record.nLayerUse;
    pScene->m_nCanvasType = record.nCanvasType;
    pScene->m_nLight = record.nLight;
    pScene->m_nAudio = record.nAudio;
    if (pScene->m_pBackCanvas)
        pScene->m_pBackCanvas->setCanvasCount(record.nCanvasCount);
}

void CTarnSceneStore::trimLayers(CEditBaseScene *pScene, const CTarnSceneRecord &record)
{
    QList<CEditSingleTextItem *> layers = pScene->layerItems();
    if (layers.size() <= record.nLayerUse)
        return;
    // Layers the record no longer holds go first, then the highest ids.
    std::stable_sort(layers.begin(), layers.end(), [&record](CEditSingleTextItem *a, CEditSingleTextItem *b) {
        const bool bHeldA = record.layer(a->getItemId()) != nullptr;
        const bool bHeldB = record.layer(b->getItemId()) != nullptr;
        if (bHeldA != bHeldB)
            return bHeldB; // not held before held
        return a->getItemId() > b->getItemId();
    });
    const int nRemove = layers.size() - std::max(0, record.nLayerUse);
    for (int i = 0; i < nRemove; ++i)
        pScene->removeAndDeleteItem(layers.at(i));
}

void CTarnSceneStore::applyLayer(CEditSingleTextItem *pItem, const CTarnLayerRecord &layer, const QString &strSerial) const
{
    pItem->setWidth(layer.nWidth / g_dWScale);
    pItem->setHeight(layer.nHeight / g_dHScale);
    double sx = 0, sy = 0;
    if (pItem->getZoomOutPos(layer.nX, layer.nY, sx, sy))
        pItem->moveItem(QPointF(sx, sy));
    pItem->m_strSerial = strSerial;
    pItem->m_nLayerState = layer.nState;
    pItem->m_nMainSig = layer.nMainSig;
    pItem->m_nBackupSig = layer.nBackupSig;
    pItem->m_nTransNum = layer.nTrans;
    pItem->m_nCut = layer.nCut;
    pItem->m_nCutX = int(layer.nCutX / g_dWScale);
    pItem->m_nCutY = int(layer.nCutY / g_dHScale);
    pItem->m_nCutWidth = int(layer.nCutWidth / g_dWScale);
    pItem->m_nCutHeight = int(layer.nCutHeight / g_dHScale);
    pItem->setZValue(layer.nLevel);
}

bool CTarnSceneStore::syncLayers(CEditBaseScene *pScene, const CTarnSceneRecord &record, const QString &strSerial)
{
    if (!scalesKnown()) {
        logLine(QString("layers of scene %1 wait for the screen size").arg(record.nId));
        return false;
    }
    bool bMoved = false;
    for (const CTarnLayerRecord &layer : record.vectorLayer) {
        CEditSingleTextItem *pItem = nullptr;
        for (CEditSingleTextItem *p : pScene->layerItems())
            if (p->getItemId() == layer.nIndex)
                pItem = p;
        if (!pItem) {
            const QRect rt(0, 0, int(layer.nWidth / g_dWScale), int(layer.nHeight / g_dHScale));
            pItem = new CEditSingleTextItem(rt, true);
            pItem->setItemType(MediaType_SingleText);
            pItem->updateCoordinate();
            pItem->setFlag(QGraphicsItem::ItemIsMovable, true);
            pItem->setFlag(QGraphicsItem::ItemIsSelectable, true);
            pItem->setFlag(QGraphicsItem::ItemIsFocusable, true);
            pItem->setSelected(false);
            pScene->addItem(pItem);
            pScene->m_listItems.append(pItem);
            pItem->setItemId(layer.nIndex);
        }
        pItem->setItemSelectColor(pScene->getSelectedColor(layer.nIndex));
        const QRectF rtBefore = pItem->sceneBoundingRect();
        applyLayer(pItem, layer, strSerial);
        if (pItem->sceneBoundingRect() != rtBefore)
            bMoved = true;
    }
    for (CEditSingleTextItem *p : pScene->layerItems())
        if (!record.layer(p->getItemId()))
            pScene->removeAndDeleteItem(p);
    // A layer put back where the device keeps it: the layer page showing it shows that place too.
    if (bMoved) {
        bool bPos = true;
        globalObserver::getGlobalObserver()->notify("slot_updateItemPos", Q_ARG(bool, bPos));
    }
    return true;
}

void CTarnSceneStore::bindDevice(CTcpDeviceThread *pWorker)
{
    if (!pWorker)
        return;
    const QString strSerial = pWorker->getDeviceSerial();
    // The editor now edits this device: its layers are drawn and sent in its screen's geometry,
    // whatever another device answered meanwhile.
    if (const DeviceInfo *pInfo = pWorker->getDeviceInfo())
        if (pInfo->nScreenWidth > 0 && pInfo->nScreenHeight > 0)
            g_setDefaultDesktop(pInfo->nScreenWidth, pInfo->nScreenHeight);
    // ... and its OSD state and index are its own: the previous device's are kept for it.
    if (strSerial != m_strEdited) {
        if (!m_strEdited.isEmpty())
            m_osd.insert(m_strEdited, Osd{g_OSDState, g_OSDindex});
        const Osd osd = m_osd.take(strSerial);
        g_OSDState = osd.bOn;
        g_OSDindex = osd.nIndex;
        m_strEdited = strSerial;
    }
    Device &d = m_devices[strSerial];
    d.pWorker = pWorker;
    const QList<CTarnSceneRecord *> &records = pWorker->getSceneList();
    // Scenes the device no longer has leave first.
    for (int i = d.listScene.size() - 1; i >= 0; --i) {
        const int nId = d.listScene.at(i).nDeviceId;
        const bool bHeld = std::any_of(records.begin(), records.end(),
                                       [nId](const CTarnSceneRecord *r) { return r->nId == nId; });
        if (!bHeld) {
            CEditBaseScene *pScene = d.listScene.takeAt(i).pScene;
            dropScene(pScene);
        }
    }
    for (const CTarnSceneRecord *r : records) {
        CEditBaseScene *pScene = scene(strSerial, r->nId);
        if (!pScene)
            pScene = newScene(strSerial, r->nId, r->strName);
        applySceneValues(pScene, *r);
        trimLayers(pScene, *r);
        syncLayers(pScene, *r, strSerial);
    }
    emit sig_scenesChanged(strSerial);
}

// ---------------------------------------------------------------- each device's OSD

CTarnSceneStore::Osd *CTarnSceneStore::keptOsd(const QString &strSerial)
{
    if (strSerial.isEmpty() || strSerial == m_strEdited)
        return nullptr;
    return &m_osd[strSerial];
}

bool CTarnSceneStore::osdOn(const QString &strSerial)
{
    const Osd *pOsd = s_pInstance ? s_pInstance->keptOsd(strSerial) : nullptr;
    return pOsd ? pOsd->bOn : g_OSDState;
}

int CTarnSceneStore::osdIndex(const QString &strSerial)
{
    const Osd *pOsd = s_pInstance ? s_pInstance->keptOsd(strSerial) : nullptr;
    return pOsd ? pOsd->nIndex : g_OSDindex;
}

void CTarnSceneStore::setOsdOn(const QString &strSerial, bool bOn)
{
    if (Osd *pOsd = s_pInstance ? s_pInstance->keptOsd(strSerial) : nullptr)
        pOsd->bOn = bOn;
    else
        g_OSDState = bOn;
}

void CTarnSceneStore::osdStateHeld(CTcpDeviceThread *pWorker, bool bOn)
{
    // Before any device is edited every device's state is kept here.
    const QString strSerial = pWorker->getDeviceSerial();
    setOsdOn(strSerial, bOn);
    emit sig_osdStateHeld(strSerial, bOn);
}

// ---------------------------------------------------------------- the worker's hand-off

void CTarnSceneStore::sceneRead(CTcpDeviceThread *pWorker, const CTarnSceneRecord &record, bool bCreated)
{
    Q_UNUSED(bCreated)
    const QString strSerial = pWorker->getDeviceSerial();
    if (!isBound(strSerial))
        return; // built from the records when the editor opens the device
    CEditBaseScene *pScene = scene(strSerial, record.nId);
    if (!pScene)
        pScene = newScene(strSerial, record.nId, record.strName);
    applySceneValues(pScene, record);
    trimLayers(pScene, record);
    emit sig_scenesChanged(strSerial);
}

void CTarnSceneStore::layersRead(CTcpDeviceThread *pWorker, int nSceneId, const QVector<CTarnLayerRecord> &layers)
{
    Q_UNUSED(layers)
    const QString strSerial = pWorker->getDeviceSerial();
    CEditBaseScene *pScene = scene(strSerial, nSceneId);
    const CTarnSceneRecord *pRecord = findRecord(pWorker, nSceneId);
    if (!pScene || !pRecord)
        return;
    if (syncLayers(pScene, *pRecord, strSerial))
        emit sig_scenesChanged(strSerial);
}

void CTarnSceneStore::sceneRemoved(CTcpDeviceThread *pWorker, int nSceneId)
{
    const QString strSerial = pWorker->getDeviceSerial();
    Device *d = device(strSerial);
    if (!d)
        return;
    for (int i = 0; i < d->listScene.size(); ++i) {
        if (d->listScene.at(i).nDeviceId == nSceneId) {
            CEditBaseScene *pScene = d->listScene.takeAt(i).pScene;
            dropScene(pScene);
            emit sig_scenesChanged(strSerial);
            return;
        }
    }
}

void CTarnSceneStore::sceneRenumbered(CTcpDeviceThread *pWorker, int nOldId, int nNewId)
{
    Device *d = device(pWorker->getDeviceSerial());
    if (!d)
        return;
    for (Entry &e : d->listScene) {
        if (e.nDeviceId == nOldId) {
            e.nDeviceId = nNewId;
            e.pScene->setSceneID(unsigned(nNewId));
            return;
        }
    }
}
