#ifndef TARNSCENESTORE_H
#define TARNSCENESTORE_H

// The one owner of every Tarn-family CEditBaseScene and its layer items.
//
// Scenes are kept per device serial and device scene id (the id the device numbers its stored
// scenes by; the canvas may number its own view of them differently). They are built for a
// device when the editor opens it (bindDevice, from its worker's records) and kept current from
// then on by the worker's hand-off (this store is the worker's CTarnSceneSink):
// - a scene read creates or updates the scene (the name only on creation) and trims surplus
//   layer items;
// - a layer read creates or updates the layer items matched by layer id and removes the items
//   the record no longer holds; device pixels are converted with the program-wide scale
//   factors, and the conversion waits while one of them is still 0;
// - a removed scene is announced (sig_sceneRemoved) and then deleted later, on the event loop,
//   so that a handler further up the stack that still works on it is not cut short.
//
// Nothing outside the store deletes a scene or an item: others hold them by QPointer. A
// selected item tells the property stack that nothing is selected before it goes.
//
// Lifetime: the store registers itself as the worker's sink when made and unregisters when
// destroyed, so workers that outlive it call nothing; workers that go first remove their
// device's scenes through the hand-off. The scenes are the store's QObject children.

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include "TarnSceneSink.h"

class CEditBaseScene;
class CEditSingleTextItem;
class CTcpDeviceThread;

class CTarnSceneStore : public QObject, public CTarnSceneSink
{
    Q_OBJECT
public:
    explicit CTarnSceneStore(QObject *parent = nullptr);
    ~CTarnSceneStore() override;

    // The store in use (the last one made that still lives), or null.
    static CTarnSceneStore *instance();

    // Builds, or brings up to date, the scenes of the worker's device from its records, and
    // keeps them current from then on.
    void bindDevice(CTcpDeviceThread *pWorker);
    // Drops a device's scenes (announced, then deleted).
    void releaseDevice(const QString &strSerial);
    bool isBound(const QString &strSerial) const;
    QStringList boundSerials() const;

    // The device's scenes in the device's order.
    QList<CEditBaseScene *> scenes(const QString &strSerial) const;
    // The scene with this device scene id, or null.
    CEditBaseScene *scene(const QString &strSerial, int nDeviceSceneId) const;
    // The device scene id a scene is kept under, -1 for a scene the store does not hold.
    int deviceSceneId(const CEditBaseScene *pScene) const;
    QString serialOf(const CEditBaseScene *pScene) const;
    bool contains(const CEditBaseScene *pScene) const;

    // A scene the editor makes itself (for example from a scene document): owned here too,
    // appended to the device's list under the given id.
    CEditBaseScene *createScene(const QString &strSerial, int nDeviceSceneId, const QString &strName);
    // Removes one scene (announced, then deleted).
    void deleteScene(CEditBaseScene *pScene);

    // ---- the worker's hand-off
    void sceneRead(CTcpDeviceThread *pWorker, const CTarnSceneRecord &scene, bool bCreated) override;
    void layersRead(CTcpDeviceThread *pWorker, int nSceneId, const QVector<CTarnLayerRecord> &layers) override;
    void sceneRemoved(CTcpDeviceThread *pWorker, int nSceneId) override;
    void sceneRenumbered(CTcpDeviceThread *pWorker, int nOldId, int nNewId) override;
    void osdStateHeld(CTcpDeviceThread *pWorker, bool bOn) override;

    // A Tarn device's OSD state and OSD index. The edited device's (the last one bound) are
    // g_OSDState and g_OSDindex, which binding another device saves here and sets from that
    // device's own; another device's are kept here. Without a store, or for an empty serial,
    // they are the globals.
    static bool osdOn(const QString &strSerial);
    static int osdIndex(const QString &strSerial);
    static void setOsdOn(const QString &strSerial, bool bOn);

signals:
    // The device's list of scenes or one of its scenes changed.
    void sig_scenesChanged(const QString &strSerial);
    // The scene is leaving the store; it is deleted once control returns to the event loop.
    void sig_sceneRemoved(CEditBaseScene *pScene);
    // The device's OSD as its worker holds it: the canvas showing the device shows it too.
    void sig_osdStateHeld(const QString &strSerial, bool bOn);

private:
    struct Entry
    {
        int nDeviceId = 0;
        CEditBaseScene *pScene = nullptr;
    };
    struct Device
    {
        QPointer<CTcpDeviceThread> pWorker;
        QList<Entry> listScene;
    };

    Device *device(const QString &strSerial);
    const Device *device(const QString &strSerial) const;
    CEditBaseScene *newScene(const QString &strSerial, int nDeviceId, const QString &strName);
    void applySceneValues(CEditBaseScene *pScene, const CTarnSceneRecord &record) const;
    void trimLayers(CEditBaseScene *pScene, const CTarnSceneRecord &record);
    // Makes the scene's layer items match the record; false (nothing changed) while a scale
    // factor is still 0.
    bool syncLayers(CEditBaseScene *pScene, const CTarnSceneRecord &record, const QString &strSerial);
    void applyLayer(CEditSingleTextItem *pItem, const CTarnLayerRecord &layer, const QString &strSerial) const;
    void dropScene(CEditBaseScene *pScene);
    static const CTarnSceneRecord *findRecord(CTcpDeviceThread *pWorker, int nSceneId);

    struct Osd
    {
        bool bOn = false;
        int nIndex = 0;
    };
    // The OSD of the devices not edited; the edited device's is in the globals.
    Osd *keptOsd(const QString &strSerial);

    QHash<QString, Device> m_devices;
    QHash<QString, Osd> m_osd;
    QString m_strEdited; // the device bound last
    static QPointer<CTarnSceneStore> s_pInstance;
};

#endif // TARNSCENESTORE_H
