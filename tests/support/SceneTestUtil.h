#ifndef SCENETESTUTIL_H
#define SCENETESTUTIL_H

// Helpers for tests of the scene editor: reply frames of a Tarn device's scene and layer reads
// (fed to a worker with injectReceivedData) and a spy on the editor's hub topics.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVariantList>
#include <QWidget>

#include <functional>

#include "TarnSceneSink.h"

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

// The device canvas 1920 x 1080 with the base canvas 480 x 320: scales 2.0 and 1.6875.
void useDeviceCanvas(int nWidth = 1920, int nHeight = 1080);

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

// Drives the next modal wait the code under test opens (a box, a dialog, a menu). Once the wait
// is up, fnWhileOpen runs (for example the store removing a scene, as a device reply would), and
// ANSWER_MS later the wait is answered: the button with that object name or text is clicked, or
// the menu entry with that text chosen. An empty answer leaves a notice to close by itself; an
// answer not found closes the wait.
class CModalDriver : public QObject
{
    Q_OBJECT
public:
    static constexpr int ANSWER_MS = 100;

    CModalDriver(std::function<void()> fnWhileOpen, const QString &strAnswer, QObject *parent = nullptr);

    // A wait was seen open, and the answer found what it was to choose.
    bool sawWait() const { return m_bSeen; }
    bool answered() const { return m_bAnswered; }

private:
    void poll();
    void answer();

    std::function<void()> m_fnWhileOpen;
    QString m_strAnswer;
    QTimer m_poll;
    QPointer<QWidget> m_pWait;
    bool m_bSeen = false;
    bool m_bAnswered = false;
};

#endif // SCENETESTUTIL_H
