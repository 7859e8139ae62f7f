#ifndef HUBSPY_H
#define HUBSPY_H

// CHubSpy - records the hub topics that the device link notifies, for tests.
//
//   CHubSpy spy;                                  // attaches every topic below
//   spy.count("slot_updateInputSource");
//   spy.last("slot_getSystemDeviceName").at(0).toString();
//   spy.setRouteTo(&worker);                      // "slot_setDeviceCmd" of that worker's serial is
//                                                 // queued on it, as the device list window does
//                                                 // ("获取输入状态" -> setInputSrcCmd())
//   spy.addRouteTo(&worker2);                     // and that of a second device to its worker
// Each record is the topic and its arguments as QVariants (pointers as quintptr, a QByteArray&
// payload as QByteArray). Detaches everything when destroyed.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include "QorGlobal.h"
#include "TcpDeviceThread.h"



class CHubSpy : public QObject
{
    Q_OBJECT
public:
    explicit CHubSpy(QObject *parent = nullptr);
    ~CHubSpy() override;

    QList<QVariantList> records(const QString &strTopic) const;
    int count(const QString &strTopic) const { return records(strTopic).size(); }
    QVariantList last(const QString &strTopic) const;
    QStringList topics() const;   // every notification's topic, in order
    void clear() { m_listRecord.clear(); }
    void setRouteTo(CTcpDeviceThread *pWorker)
    {
        m_listRoute.clear();
        addRouteTo(pWorker);
    }
    // One more worker to route to (several devices connected at once).
    void addRouteTo(CTcpDeviceThread *pWorker) { m_listRoute.append(pWorker); }

    static const QStringList &spiedTopics();

public slots:
    void slot_setDeviceCmd(QString strSerial, QString strCmd, QByteArray &data, int nReadOrWrite, int nSub);
    void slot_getSystemDeviceName(QString strName, QString strSerial);
    void slot_getConnectingType(QString strModel);
    void slot_updateInputSource(DeviceInfo *pInfo, QString strSerial);
    void slot_updateZEquipmentInputSource(DeviceInfo *pInfo, QString strSerial);
    void slot_updateCurrentZDeviceDate(QString strName, int nSig, int nW, int nH, int nHz, int nX, int nY, int nLW, int nLH);
    // The Z topics in both forms: without and with the device serial (recorded last).
    void slot_setZDeviceinputname(QList<QString> listNames);
    void slot_setZDeviceinputname(QList<QString> listNames, QString strSerial);
    void slot_getZScenedate(int nNum, int nTake);
    void slot_getZScenedate(int nNum, int nTake, QString strSerial);
    void slot_updateCurrentDevice(QString strSerial);
    void slot_updateCurrentZDevice(QString strSerial);
    void slot_setListZDeviceScene(QList<ZSceneInfo> listScene);
    void slot_setListZDeviceScene(QList<ZSceneInfo> listScene, QString strSerial);
    void slot_initWidgetdate(SystemInfo *pInfo);
    void slot_initWidgetdate(SystemInfo *pInfo, QString strSerial);
    void slot_IsZReflash(bool bReflash);
    void slot_IsZReflash(bool bReflash, QString strSerial);
    void slot_SetAudioSource(int nValue);
    void slot_SetAudio(int nValue);
    void InitOutputDate(int nCount, QString strType);
    void SwitchOutputDate(int a, int b, int c, int d, int e);
    void InitAdvancedDate(int a, int b, int c, int d, int e, int f, int g, int h, int i);
    void Delay(int nValue);
    void Noisecancellation(int nValue);
    void slot_sendbeginOSDdate();
    void slot_sendOSDdate(int nSerial);
    void slot_GetOSDsendprogress(int nProgress);
    void slot_osdSettingsHeld(QString strSerial, QByteArray params);
    void slot_outputSettingsHeld(QString strSerial);
    void slot_sceneAudioHeld(QString strSerial);
    void slot_tarnScreenHeld(QString strSerial, int nWidth, int nHeight);
    void slot_previewCurrentZDeviceDate(QString strName);
    void slot_itemPress(int nId);
    void slot_SetOSDTextSpeed(int nSpeed);
    void slot_newDevice(QStringList fields);
    void slot_setButtonEnable();

private:
    void record(const QString &strTopic, const QVariantList &args);

    QList<QPair<QString, QVariantList>> m_listRecord;
    QList<QPointer<CTcpDeviceThread>> m_listRoute;
};

#endif // HUBSPY_H
