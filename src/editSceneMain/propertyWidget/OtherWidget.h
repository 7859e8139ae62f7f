#ifndef OTHERWIDGET_H
#define OTHERWIDGET_H

// The Z-family device page of the property stack: device name, canvas size and offset,
// brightness, sound and mute, scale mode, input and output crop, preview and take of a stored
// scene, and saving the current values into a stored scene.
//
// The page edits the device whose serial "slot_updateZDeviceName" gave it; the page of a frame's
// property stack edits only its frame's device (setServedDevice): in a Z frame the device the
// frame is bound to, in a Tarn frame none, so it sends nothing. The device worker
// fills it from replies through the hub; the forms of those topics that carry a device serial
// are taken only when the serial is the page's own, so with several Z devices connected each
// page follows its device alone. Every command leaves as "slot_setDeviceCmd" with the page's
// serial.
//
// The page holds no pointer into the worker's records: the stored scenes arrive as copies, and
// the device's system-settings record (SystemInfo) is looked up by the page's serial in
// CDeviceRecords whenever it is read, so a record the worker freed is never touched. The page
// never writes that record: the worker puts a write into it when the device acknowledges it, and
// reads the settings back when the device refuses one, which fills the page with the device's
// values. After a take the page shows the scene's stored values and then what the worker reads
// back. Saving into a stored scene saves the device's live settings; the save-to dialog reads the
// scene back, so its record holds what the device stored, whatever a preview put on the page.
// Until the device's settings have arrived the page sends nothing that needs them (Apply and the
// immediate scale, mute, sound and brightness say so). A page without a device says so on Apply,
// and its sliders do not move.

#include <QList>
#include <QSize>
#include <QString>
#include <QWidget>

#include "QorGlobal.h"

namespace Ui {
class otherWidget;
}

class CSceneSaveAsDlg;
class QLineEdit;
class QSlider;

class COtherWidget : public QWidget
{
    Q_OBJECT
public:
    explicit COtherWidget(QWidget *parent = nullptr);
    ~COtherWidget() override;

    // The apply of the property stack: sends the groups whose fields the operator changed.
    void sendZDeviceCmd();

    QString deviceSerial() const { return m_strSerial; }
    // The device the hosting frame edits and the frame's family. A page served by a frame takes
    // no other device from "slot_updateZDeviceName": a Z frame's page edits the frame's device, a
    // Tarn frame's page none. A page no frame serves takes whatever that topic gives it.
    void setServedDevice(const QString &strSerial, const QString &strFamily);
    // The device's settings record, looked up by the page's serial at each call; null until the
    // settings were read, or when no device of that serial is listed. Not to be kept.
    const SystemInfo *systemInfo() const;
    // The device's live settings as its records hold them (nothing before they were read): no
    // stored scene is previewed any more.
    void showLiveSettings();
    // The save-to-scene dialog (made at the first save, kept for the page's life).
    CSceneSaveAsDlg *sceneSaveAsDlg() const { return m_pSceneSaveAsDlg; }

public slots:
    void slot_updateZDeviceName(QString DeviceName, QString strSerial);
    void slot_initWidgetdate(SystemInfo *SysteminitInfo);
    void slot_initWidgetdate(SystemInfo *SysteminitInfo, QString strSerial);
    void slot_setListZDeviceScene(QList<ZSceneInfo> listZDeviceScene);
    void slot_setListZDeviceScene(QList<ZSceneInfo> listZDeviceScene, QString strSerial);
    void slot_setZDeviceinputname(QList<QString> inputstrname);
    void slot_setZDeviceinputname(QList<QString> inputstrname, QString strSerial);
    void slot_setZDeviceScenepreview(int nId);
    void slot_setZDeviceSceneTake(int nId);
    void slot_getZScenedate(int scenenum, int take);
    void slot_getZScenedate(int scenenum, int take, QString strSerial);

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void on_systemsettoolButton_clicked();
    void on_inputcutButton_clicked();
    void on_OutputcutButton_clicked();
    void on_ScalecomboBox_currentIndexChanged(int index);
    void on_SavescenepushButton_clicked();
    void on_SilenttoolButton_clicked();

private:
    bool isOwnDevice(const QString &strSerial) const;
    void sendCmd(const QString &strName, QByteArray payload, int nReadOrWrite, int nSub);
    void sendLayerCmd(int nSub, const QByteArray &payload);
    // Shows the scene's crop, sliders and scale mode without sending; null when nId is not a
    // stored scene. Points into the page's own copies.
    const ZSceneInfo *showStoredScene(int nId);
    void showSilent(bool bSoundOn);
    // The slider sends (sub-command nSub) each value the operator moves it to; see the source.
    void sendOperatorMoves(QSlider *pSlider, int nSub);
    void setSectionOpen(QWidget *pSection, QWidget *pButton, bool &bOpen);
    void clearDeviceValues();
    // The page's device from now on; another one drops what the page showed of the previous.
    void takeDevice(const QString &strSerial);

    // Apply groups; false ends the apply.
    bool applyName();
    // sizeSent: the canvas size the apply sent, invalid when it sent none.
    bool applySize(QSize &sizeSent);
    bool applyOffset(const QSize &sizeSent);
    bool applyInputCrop();
    bool applyOutputCrop(const QSize &sizeSent);
    // The size sent by this apply, else the device's; invalid before the settings were read.
    QSize canvasSize(const QSize &sizeSent) const;
    bool refuse(const QString &strTitle, const QString &strText, const QList<QLineEdit *> &listEdits,
                const QList<int> &listValues);
    bool needsRecord();
    // A press of scale, mute, sound or brightness sends a value of the device's live settings: as
    // Apply, it needs them read; before, it is not sent and said (a notice: no nested loop inside
    // the control's handler).
    bool pressNeedsRecord();
    // The scale mode shown, not sent.
    void showScale(int nMode);

    QString m_strSerial;
    bool m_bServed = false;   // setServedDevice was called
    QString m_strServedSerial; // empty: no Z device to edit
    int m_nscenenum = -1;
    int m_ntake = -1;
    QList<ZSceneInfo> m_listZDeviceScene; // copies, in scene order
    QList<QString> m_inputstrname;
    Ui::otherWidget *ui = nullptr;
    bool m_bOpen = true;
    bool m_binputOpen = true;
    bool m_boutputOpen = true;
    // What the mute button shows: true for sound on. A click turns it over.
    bool m_bSilent = true;
    bool m_bSystemRead = false; // the device's settings have arrived
    int m_nScaleShown = 0;      // the scale combo's index as the page set it or the operator sent it
    CSceneSaveAsDlg *m_pSceneSaveAsDlg = nullptr;
};

#endif // OTHERWIDGET_H
