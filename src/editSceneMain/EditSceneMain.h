#ifndef EDITSCENEMAIN_H
#define EDITSCENEMAIN_H

#include <QList>
#include <QMainWindow>

struct DeviceInfo;
struct CTarnSceneRecord;
class QLabel;
class QTranslator;

// Editor frame of the Tarn family. For now it carries only what the device
// list window uses: binding a device and its scene records (as the device
// worker keeps them), refreshing the scenes,
// the language switch, bringing the frame up, and closing it (which ends the
// program). The canvas, panels and menus are added with the scene editor.
class CEditSceneMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit CEditSceneMain(QWidget *parent = nullptr);
    ~CEditSceneMain() override;

    void initSceneData(DeviceInfo *device, const QList<CTarnSceneRecord *> &listScene);
    void updateSceneData(QString strSerial, const QList<CTarnSceneRecord *> &listScene);
    void initLanguage(int nIndex);

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
    QTranslator *m_pTranslator = nullptr;
};

#endif // EDITSCENEMAIN_H
