#ifndef AUDIOSETTINGS_H
#define AUDIOSETTINGS_H

// The audio settings dialog: the audio source and the volume of the scene a Tarn-family device
// is showing. It reads both when it opens and writes every change at once ("场景操作", sub 50
// for the source, 51 for the volume); the device's answers arrive on "slot_SetAudioSource" and
// "slot_SetAudio" and are shown without being written back. OK and Cancel only close it.
//
// Those topics name neither the device nor the scene: the worker puts each answer into its
// device's record of the scene's audio before it notifies, and on each topic the dialog shows its
// own scene's record (looked up by the serial in CDeviceRecords), never the topic's value; a
// topic its scene has no record for is ignored. After a write went nowhere, or one was
// acknowledged, the worker notifies "slot_sceneAudioHeld" with the serial, and the dialog of that
// device shows its scene's record.
//
// The volume runs 0-100, the device's own range.

#include <QDialog>
#include <QList>
#include <QString>

#include "DeviceRecords.h"

namespace Ui {
class AudioSettings;
}

class AudioSettings : public QDialog
{
    Q_OBJECT
public:
    explicit AudioSettings(QWidget *parent = nullptr);
    ~AudioSettings() override;

    void InitWidget();
    // The scene and the device; shows the scene number and reads its volume.
    void GetSeneceDate(int index, QString strSerial);
    // The audio sources offered; reads the scene's source 400 ms later.
    void GetAudioDate(QList<QString> list);

    // The whole opening: a new dialog for the scene and device offering listSources, run
    // modally and destroyed.
    static void run(int nScene, const QString &strSerial, const QList<QString> &listSources, QWidget *parent = nullptr);

public slots:
    void slot_SetAudio(int Audio);
    void slot_SetAudioSource(int AudioSource);
    void slot_sceneAudioHeld(QString strSerial);

private slots:
    void on_CancelpushButton_clicked();
    void on_OKPushButton_clicked();

private:
    void sendCmd(QByteArray payload, int nReadOrWrite, int nSub);
    QByteArray scenePayload() const;
    // The record of this dialog's scene of its device, or null.
    const CSceneAudioRecord *sceneRecord() const;
    void showVolume(int nVolume);
    void showSource(int nSource);

    int m_nSeneceindex = 0;
    QString m_strSerial;
    Ui::AudioSettings *ui = nullptr;
};

#endif // AUDIOSETTINGS_H
