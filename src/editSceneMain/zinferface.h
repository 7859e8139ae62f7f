#ifndef ZINFERFACE_H
#define ZINFERFACE_H

#include <QList>
#include <QMainWindow>

struct DeviceInfo;
struct ZSceneInfo;
class QLabel;

// Editor frame of the Z family. For now it carries only what the device list
// window uses: binding a device and its scene records, refreshing them,
// bringing the frame up and closing it (hidden on a network connection, the
// whole program on a serial one). The panels are added with the scene editor.
class Zinferface : public QMainWindow
{
    Q_OBJECT
public:
    explicit Zinferface(QWidget *parent = nullptr);
    ~Zinferface() override;

    void initSceneData(DeviceInfo *device, const QList<ZSceneInfo *> &listScene);
    void updateZSceneData(QString strSerial, const QList<ZSceneInfo *> &listScene);

    DeviceInfo *currentDevice() const { return m_pCurrentDevice; }
    int sceneCount() const { return m_nSceneCount; }

public slots:
    void slot_activateMain(bool bIsMin);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showDeviceText();

    DeviceInfo *m_pCurrentDevice = nullptr; // not owned: its worker owns it
    int m_nSceneCount = 0;
    QLabel *m_pLabel = nullptr;
};

#endif // ZINFERFACE_H
