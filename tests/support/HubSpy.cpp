#include "HubSpy.h"

#include "TcpDeviceThread.h"
#include "globalObserver.h"

const QStringList &CHubSpy::spiedTopics()
{
    static const QStringList s_topics = {
        "slot_setDeviceCmd", "slot_getSystemDeviceName", "slot_getConnectingType", "slot_updateInputSource",
        "slot_updateZEquipmentInputSource", "slot_updateCurrentZDeviceDate", "slot_setZDeviceinputname",
        "slot_getZScenedate", "slot_updateCurrentDevice", "slot_updateCurrentZDevice", "slot_setListZDeviceScene",
        "slot_initWidgetdate", "slot_IsZReflash", "slot_SetAudioSource", "slot_SetAudio", "InitOutputDate",
        "SwitchOutputDate", "InitAdvancedDate", "Delay", "Noisecancellation", "slot_sendbeginOSDdate",
        "slot_sendOSDdate", "slot_GetOSDsendprogress", "slot_itemPress", "slot_SetOSDTextSpeed", "slot_newDevice",
        "slot_setButtonEnable", "slot_osdSettingsHeld", "slot_outputSettingsHeld", "slot_sceneAudioHeld",
        "slot_tarnScreenHeld", "slot_previewCurrentZDeviceDate"};
    return s_topics;
}

CHubSpy::CHubSpy(QObject *parent)
    : QObject(parent)
{
    for (const QString &strTopic : spiedTopics()) {
        // The hub copies the slot name.
        const QByteArray name = strTopic.toLatin1();
        globalObserver::getGlobalObserver()->attach(strTopic, this, name.constData());
    }
}

CHubSpy::~CHubSpy()
{
    for (const QString &strTopic : spiedTopics())
        globalObserver::getGlobalObserver()->detach(strTopic, this);
}

QList<QVariantList> CHubSpy::records(const QString &strTopic) const
{
    QList<QVariantList> list;
    for (const auto &r : m_listRecord)
        if (r.first == strTopic)
            list.append(r.second);
    return list;
}

QVariantList CHubSpy::last(const QString &strTopic) const
{
    const QList<QVariantList> list = records(strTopic);
    return list.isEmpty() ? QVariantList() : list.last();
}

QStringList CHubSpy::topics() const
{
    QStringList list;
    for (const auto &r : m_listRecord)
        list.append(r.first);
    return list;
}

void CHubSpy::record(const QString &strTopic, const QVariantList &args)
{
    m_listRecord.append(qMakePair(strTopic, args));
}

void CHubSpy::slot_setDeviceCmd(QString strSerial, QString strCmd, QByteArray &data, int nReadOrWrite, int nSub)
{
    record("slot_setDeviceCmd", {strSerial, strCmd, data, nReadOrWrite, nSub});
    for (const QPointer<CTcpDeviceThread> &pRoute : qAsConst(m_listRoute)) {
        if (!pRoute || pRoute->getDeviceSerial() != strSerial)
            continue;
        // As the device list window does: the worker builds the input-state read for all its inputs.
        if (strCmd == QString::fromUtf8("获取输入状态"))
            pRoute->setInputSrcCmd();
        else
            pRoute->setMcuCommand(strCmd, data, nReadOrWrite, nSub);
        return;
    }
}

void CHubSpy::slot_getSystemDeviceName(QString strName, QString strSerial)
{
    record("slot_getSystemDeviceName", {strName, strSerial});
}
void CHubSpy::slot_getConnectingType(QString strModel) { record("slot_getConnectingType", {strModel}); }
void CHubSpy::slot_updateInputSource(DeviceInfo *pInfo, QString strSerial)
{
    record("slot_updateInputSource", {quintptr(pInfo), strSerial});
}
void CHubSpy::slot_updateZEquipmentInputSource(DeviceInfo *pInfo, QString strSerial)
{
    record("slot_updateZEquipmentInputSource", {quintptr(pInfo), strSerial});
}
void CHubSpy::slot_updateCurrentZDeviceDate(QString strName, int nSig, int nW, int nH, int nHz, int nX, int nY, int nLW, int nLH)
{
    record("slot_updateCurrentZDeviceDate", {strName, nSig, nW, nH, nHz, nX, nY, nLW, nLH});
}
void CHubSpy::slot_setZDeviceinputname(QList<QString> listNames) { record("slot_setZDeviceinputname", {QStringList(listNames)}); }
void CHubSpy::slot_setZDeviceinputname(QList<QString> listNames, QString strSerial)
{
    record("slot_setZDeviceinputname", {QStringList(listNames), strSerial});
}
void CHubSpy::slot_getZScenedate(int nNum, int nTake) { record("slot_getZScenedate", {nNum, nTake}); }
void CHubSpy::slot_getZScenedate(int nNum, int nTake, QString strSerial) { record("slot_getZScenedate", {nNum, nTake, strSerial}); }
void CHubSpy::slot_updateCurrentDevice(QString strSerial) { record("slot_updateCurrentDevice", {strSerial}); }
void CHubSpy::slot_updateCurrentZDevice(QString strSerial) { record("slot_updateCurrentZDevice", {strSerial}); }
void CHubSpy::slot_setListZDeviceScene(QList<ZSceneInfo> listScene) { record("slot_setListZDeviceScene", {listScene.size()}); }
void CHubSpy::slot_setListZDeviceScene(QList<ZSceneInfo> listScene, QString strSerial)
{
    record("slot_setListZDeviceScene", {listScene.size(), strSerial});
}
void CHubSpy::slot_initWidgetdate(SystemInfo *pInfo) { record("slot_initWidgetdate", {quintptr(pInfo)}); }
void CHubSpy::slot_initWidgetdate(SystemInfo *pInfo, QString strSerial) { record("slot_initWidgetdate", {quintptr(pInfo), strSerial}); }
void CHubSpy::slot_IsZReflash(bool bReflash) { record("slot_IsZReflash", {bReflash}); }
void CHubSpy::slot_IsZReflash(bool bReflash, QString strSerial) { record("slot_IsZReflash", {bReflash, strSerial}); }
void CHubSpy::slot_SetAudioSource(int nValue) { record("slot_SetAudioSource", {nValue}); }
void CHubSpy::slot_SetAudio(int nValue) { record("slot_SetAudio", {nValue}); }
void CHubSpy::InitOutputDate(int nCount, QString strType) { record("InitOutputDate", {nCount, strType}); }
void CHubSpy::SwitchOutputDate(int a, int b, int c, int d, int e) { record("SwitchOutputDate", {a, b, c, d, e}); }
void CHubSpy::InitAdvancedDate(int a, int b, int c, int d, int e, int f, int g, int h, int i)
{
    record("InitAdvancedDate", {a, b, c, d, e, f, g, h, i});
}
void CHubSpy::Delay(int nValue) { record("Delay", {nValue}); }
void CHubSpy::Noisecancellation(int nValue) { record("Noisecancellation", {nValue}); }
void CHubSpy::slot_sendbeginOSDdate() { record("slot_sendbeginOSDdate", {}); }
void CHubSpy::slot_sendOSDdate(int nSerial) { record("slot_sendOSDdate", {nSerial}); }
void CHubSpy::slot_GetOSDsendprogress(int nProgress) { record("slot_GetOSDsendprogress", {nProgress}); }
void CHubSpy::slot_osdSettingsHeld(QString strSerial, QByteArray params) { record("slot_osdSettingsHeld", {strSerial, params}); }
void CHubSpy::slot_outputSettingsHeld(QString strSerial) { record("slot_outputSettingsHeld", {strSerial}); }
void CHubSpy::slot_sceneAudioHeld(QString strSerial) { record("slot_sceneAudioHeld", {strSerial}); }
void CHubSpy::slot_tarnScreenHeld(QString strSerial, int nWidth, int nHeight) { record("slot_tarnScreenHeld", {strSerial, nWidth, nHeight}); }
void CHubSpy::slot_previewCurrentZDeviceDate(QString strName) { record("slot_previewCurrentZDeviceDate", {strName}); }
void CHubSpy::slot_itemPress(int nId) { record("slot_itemPress", {nId}); }
void CHubSpy::slot_SetOSDTextSpeed(int nSpeed) { record("slot_SetOSDTextSpeed", {nSpeed}); }
void CHubSpy::slot_newDevice(QStringList fields) { record("slot_newDevice", {fields}); }
void CHubSpy::slot_setButtonEnable() { record("slot_setButtonEnable", {}); }
