#ifndef TARNSCENESINK_H
#define TARNSCENESINK_H

// The hand-off between a device worker and the scene editor for the Tarn family.
//
// The worker parses and validates every scene and layer reply itself and keeps the results as
// plain records (CTarnSceneRecord, CTarnLayerRecord). The graphics objects that show them on the
// canvas (CEditBaseScene, CEditSingleTextItem) belong to the scene editor: it installs one
// CTarnSceneSink with CTarnSceneSink::install() and builds and updates its scenes and layer items
// from the calls below. Without a sink the records are all there is.
//
// Every call runs on the GUI thread, after the worker's own records were updated. Coordinates in
// layer records are device pixels; converting them with the program-wide scale factors is the
// editor's part (and it must skip the conversion while a scale factor is still 0).

#include <QList>
#include <QString>
#include <QVector>

class CTcpDeviceThread;

// One layer of a stored scene, as a layer read reports it.
struct CTarnLayerRecord
{
    int nIndex = 0;      // layer index within the scene; the layer item's id
    int nState = 0;      // 0 hidden
    int nLevel = 0;      // stacking order (the item's z value)
    int nMainSig = 0;    // main input source
    int nBackupSig = 0;  // backup input source
    int nTrans = 0;      // transparency
    int nX = 0;          // device pixels
    int nY = 0;
    int nWidth = 0;
    int nHeight = 0;
    int nCut = 0;        // crop on
    int nCutX = 0;       // crop rectangle, device pixels
    int nCutY = 0;
    int nCutWidth = 0;
    int nCutHeight = 0;
};

// One stored scene, as a scene read reports it, with the layers read so far.
struct CTarnSceneRecord
{
    int nId = 0;          // scene id, 1-based
    int nSceneState = 0;
    QString strName;      // as the latest scene read gave it
    int nWidth = 0;
    int nHeight = 0;
    int nHz = 0;
    int nCanvasCount = 0;
    int nLayerCount = 0;
    int nLayerUse = 0;    // layers in use
    int nCanvasType = 0;
    int nLight = 0;
    int nAudio = 0;
    int nMainSig = 0;     // logged only
    QVector<CTarnLayerRecord> vectorLayer; // at most nLayerUse entries, one per layer index, in index order

    const CTarnLayerRecord *layer(int nIndex) const
    {
        for (const CTarnLayerRecord &l : vectorLayer)
            if (l.nIndex == nIndex)
                return &l;
        return nullptr;
    }
    CTarnLayerRecord *layer(int nIndex)
    {
        for (CTarnLayerRecord &l : vectorLayer)
            if (l.nIndex == nIndex)
                return &l;
        return nullptr;
    }
};

class CTarnSceneSink
{
public:
    // A sink that goes away unregisters itself, so no worker can call a destroyed sink.
    virtual ~CTarnSceneSink();

    // A scene read: bCreated when the worker did not hold this scene id before (create the scene
    // with its name), otherwise update its device values (the name stays). The scene then holds
    // at most scene.nLayerUse layers: surplus layer items are to be removed.
    virtual void sceneRead(CTcpDeviceThread *pWorker, const CTarnSceneRecord &scene, bool bCreated) = 0;

    // A layer read for scene nSceneId: the given layers were created or updated (matched by index).
    virtual void layersRead(CTcpDeviceThread *pWorker, int nSceneId, const QVector<CTarnLayerRecord> &layers) = 0;

    // The scene with this id was removed from the device's list (trimmed by a count reply, or
    // deleted). Called before the remaining scenes are renumbered.
    virtual void sceneRemoved(CTcpDeviceThread *pWorker, int nSceneId) = 0;

    // After a delete the remaining scenes got new ids 1, 2, 3 ... in list order.
    virtual void sceneRenumbered(CTcpDeviceThread *pWorker, int nOldId, int nNewId) = 0;

    // The device's OSD state as the worker's records hold it (read, switched by an acknowledged
    // write, or handed back after a write that was not): the editor shows it, OSD item included.
    // The OSD state is each device's own.
    virtual void osdStateHeld(CTcpDeviceThread *pWorker, bool bOn) { Q_UNUSED(pWorker) Q_UNUSED(bOn) }

    // The one sink of the program, which every worker hands its scenes to (null: none).
    static void install(CTarnSceneSink *pSink);
    static CTarnSceneSink *installed();

private:
    static CTarnSceneSink *s_pInstalled;
};

#endif // TARNSCENESINK_H
