#ifndef SCENETESTUTIL_H
#define SCENETESTUTIL_H

// Helpers for tests of the scene editor: reply frames of a Tarn device's scene and layer reads
// (fed to a worker with injectReceivedData) and a spy on the editor's hub topics.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

#include "TarnSceneSink.h"

class CEditBaseScene;
class CEditBaseView;
class QGraphicsItem;

namespace SceneTest {

// A whole reply frame of a scene read (35, sub 0) for the record's values.
QByteArray sceneReply(const CTarnSceneRecord &scene);
// A whole reply frame of a layer read (35, sub 80) of a scene with these layers.
QByteArray layerReply(int nSceneId, const QList<CTarnLayerRecord> &layers);
// A layer record at device pixels.
CTarnLayerRecord layer(int nIndex, int x, int y, int w, int h, int nLevel = 1, int nSource = 0);
// A scene record with that id, name and layers in use.
CTarnSceneRecord scene(int nId, const QString &strName, int nLayerUse);

// Drags data of the input-source kind ("editScene/media") into the view's viewport at pt and
// drops it there, as the platform delivers a drag and drop; false when the drag was refused.
bool dropOn(CEditBaseView *pView, const QByteArray &data, const QPoint &pt);

// Presses the left button at ptFrom in the view's viewport, moves through the midpoint to ptTo
// and releases there, as a mouse does.
void dragInView(CEditBaseView *pView, const QPoint &ptFrom, const QPoint &ptTo);
// Presses at ptFrom, moves to ptAway in four steps and back to ptFrom at once, and releases there.
void dragAwayAndBack(CEditBaseView *pView, const QPoint &ptFrom, const QPoint &ptAway);
// "L<id> x,y wxh t<transparency>" (device pixels) of each layer item of the scene, sorted.
QStringList layerTexts(CEditBaseScene *pScene);

// The device canvas 1920 x 1080 with the base canvas 480 x 320: scales 2.0 and 1.6875.
void useDeviceCanvas(int nWidth = 1920, int nHeight = 1080);

// Once the next box, dialog or menu is open, runs fnWhileOpen (say, the store removing a scene,
// as a device reply would) and 100 ms later answers it: the button with that object name, or the
// menu entry with that text; an empty answer leaves a notice to close by itself. bSeen is set
// when a wait opens within 5 s.
void whenNextWaitOpens(const std::function<void()> &fnWhileOpen, const QString &strAnswer, bool &bSeen);

}

// Records the editor's hub topics: "slot_propertyDataChange", "slot_updateItemPos",
// "slot_showItemMenu", "slot_selectToolBar", "slot_itemPress", "slot_setDeviceCmd" and the
// layer caption question "slot_getMainSigInputSource" (answered with a fixed text).
class CSceneSpy : public QObject
{
    Q_OBJECT
public:
    explicit CSceneSpy(QObject *parent = nullptr);
    ~CSceneSpy() override;

    QList<QVariantList> records(const QString &strTopic) const;
    int count(const QString &strTopic) const { return records(strTopic).size(); }
    QVariantList last(const QString &strTopic) const;
    // Payloads of "slot_setDeviceCmd" with that command name and sub-command, in order.
    QList<QByteArray> payloads(const QString &strCmd, int nSub) const;
    void clear() { m_listRecord.clear(); }
    QString m_strCaption = "IN1 : 1920x1080@60";

public slots:
    void slot_propertyDataChange(QGraphicsItem *pItem);
    void slot_updateItemPos(bool bPos);
    void slot_showItemMenu(QPoint pt);
    void slot_selectToolBar(int nTool);
    void slot_itemPress(int nId);
    void slot_setDeviceCmd(QString strSerial, QString strCmd, QByteArray &data, int nReadOrWrite, int nSub);
    void slot_getMainSigInputSource(int nMainSig, QString &retText, QString strSerial);

private:
    QList<QPair<QString, QVariantList>> m_listRecord;
};

#endif // SCENETESTUTIL_H
