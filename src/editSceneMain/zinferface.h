#ifndef ZINFERFACE_H
#define ZINFERFACE_H

#include <QList>
#include <QMainWindow>
#include <QRect>
#include <QSystemTrayIcon>

struct DeviceInfo;
struct ZSceneInfo;
class CFileListWidget;
class CPropertyStack;
class CProgramListWidget;
class CLockWidget;
class CSysInfo;
class CTitleHelper;
class QAction;
class QLabel;
class QThread;
class ZMiddleControl;

namespace Ui {
class Zinferface;
}

// The window in which a Z-family device is edited: the Tarn frame cut down.
// The middle column shows the source information strip instead of a canvas;
// there are no settings buttons, menus or documents, and the lock button is
// hidden. Closing it hides it, unless the device is on a serial line, when the
// whole program closes. It follows only the device bound to it.
//
// Panels that other parts of the editor provide are hosted in named places of
// the work area (programListPlace, propertyPlace).
class Zinferface : public QMainWindow
{
    Q_OBJECT
public:
    explicit Zinferface(QWidget *parent = nullptr);
    ~Zinferface() override;

    void initSceneData(DeviceInfo *device, const QList<ZSceneInfo *> &listScene);
    void updateZSceneData(QString strSerial, const QList<ZSceneInfo *> &listScene);

    DeviceInfo *currentDevice() const { return m_pCurrentDevice; }
    CFileListWidget *fileListWidget() const { return m_pListWidget; }
    CProgramListWidget *programListWidget() const { return m_pProgramListWidget; }
    ZMiddleControl *middleControl() const { return m_pZMiddleControl; }
    CLockWidget *lockWidget() const { return m_pLockWidget; }
    QThread *samplerThread() const { return m_pSysThread; }
    QLabel *versionLabel() const { return m_pVerInfo; }
    QWidget *panelPlace(const QString &strName) const;
    CPropertyStack *propertyStack() const { return m_pPropertyStack; }

public slots:
    void slot_destroySceneMain();
    void slot_activateMain(bool bIsMin);
    void slot_updateZEquipmentInputSource(DeviceInfo *device, QString strSerial);
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void slot_doubleclick_max();
    void on_btnMin_clicked();
    void on_btnNormalMax_clicked();
    void on_btnClose_clicked();
    void on_btnLock_clicked();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void initNewWindow();
    void changeStatuBar();
    void startSampler();
    void stopSampler();
    void closeMain();
    void fillProgramList(const QList<ZSceneInfo *> &listScene);

    QList<QRect> m_listRtDesktop;
    CFileListWidget *m_pListWidget = nullptr;
    QWidget *m_pProgramListPlace = nullptr;
    CProgramListWidget *m_pProgramListWidget = nullptr;
    QWidget *m_pPropertyPlace = nullptr;
    CPropertyStack *m_pPropertyStack = nullptr;
    ZMiddleControl *m_pZMiddleControl = nullptr;
    QString m_strSaveFile;
    bool m_bShow = true;
    bool m_bBack = true;
    bool m_bLock = false;
    CLockWidget *m_pLockWidget = nullptr;
    QLabel *m_pLabelSysInfo = nullptr;
    QLabel *m_pVerInfo = nullptr;
    QString m_strVerDate;
    CSysInfo *m_pSysInfo = nullptr;
    QThread *m_pSysThread = nullptr;
    DeviceInfo *m_pCurrentDevice = nullptr; // not owned: its worker owns it
    CTitleHelper *m_titleHelper = nullptr;
    QAction *m_pSetShow = nullptr;
    QAction *m_pSetBack = nullptr;
    QAction *m_pSetScreen = nullptr;
    Ui::Zinferface *ui;
};

#endif // ZINFERFACE_H
