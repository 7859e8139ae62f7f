#ifndef EDITSCENEMAIN_H
#define EDITSCENEMAIN_H

#include <QList>
#include <QMainWindow>
#include <QRect>
#include <QSystemTrayIcon>

struct DeviceInfo;
struct CTarnSceneRecord;
class CFileListWidget;
class CLockWidget;
class CPropertyStack;
class OSDsrttingdlg;
class CSysInfo;
class CTitleHelper;
class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QThread;
class QTranslator;
class CProgramListWidget;
class CEditSceneCanvas;

namespace Ui {
class EditSceneMain;
}

// The window in which a Tarn-family device is edited: a frameless main window
// with its own title row, a row of settings buttons that suit the connected
// model, a three-column work area (source panel over the scene list, the
// editing canvas, the property stack) and a status line. One instance lives
// for the whole run; the device list window binds a device to it, refreshes
// its scenes, switches its language and brings it up. It runs a CPU/memory
// sampler in a thread of its own, locks itself under an overlay, and closing
// it ends the program.
//
// Panels that other parts of the editor provide are hosted in named places of
// the work area (programListPlace, canvasPlace, propertyPlace): a panel goes
// into its place with hostPanel().
class CEditSceneMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit CEditSceneMain(QWidget *parent = nullptr);
    ~CEditSceneMain() override;

    void initSceneData(DeviceInfo *device, const QList<CTarnSceneRecord *> &listScene);
    void updateSceneData(QString strSerial, const QList<CTarnSceneRecord *> &listScene);
    void initLanguage(int nLanguage);

    // Scene documents. Saving reports success only when the whole file was
    // written; both report failures to the operator and return false.
    bool saveProject(const QString &strPath);
    bool loadProject(const QString &strPath);

    // The audio source names offered for a model text (first match wins).
    static QStringList audioSourceNames(const QString &strModel);

    DeviceInfo *currentDevice() const { return m_pCurrentDevice; }
    CFileListWidget *fileListWidget() const { return m_pListWidget; }
    CProgramListWidget *programListWidget() const { return m_pProgramListWidget; }
    CEditSceneCanvas *canvas() const { return m_pCanvas; }
    CLockWidget *lockWidget() const { return m_pLockWidget; }
    bool isLocked() const { return m_bLock; }
    QThread *samplerThread() const { return m_pSysThread; }
    QLabel *versionLabel() const { return m_pVerInfo; }
    QMenu *fileMenu() const { return m_pFileMenu; }
    QMenu *setMenu() const { return m_pSetMenu; }
    // The named place that hosts a panel ("programListPlace", "canvasPlace", "propertyPlace").
    QWidget *panelPlace(const QString &strName) const;
    CPropertyStack *propertyStack() const { return m_pPropertyStack; }
    // The OSD settings dialog of the language in force (built anew at each language switch).
    OSDsrttingdlg *osdSettingDialog() const { return m_pOSDSettingDlg; }

public slots:
    void slot_destroySceneMain();
    void slot_unLock();
    void slot_activateMain(bool bIsMin);
    void slot_updateInputSource(DeviceInfo *device, QString strSerial);
    void slot_updatecomboxInputSource();
    void slot_showMonitor(bool bShow);
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void slot_doubleclick_max();
    void on_btnMin_clicked();
    void on_btnNormalMax_clicked();
    void on_btnClose_clicked();
    void on_btnLock_clicked();
    void on_OutputSettingButton_clicked();
    void on_OSDSettingButton_clicked();
    void on_AudioSettingsButton_clicked();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void initNewWindow();
    void initWindow();
    void initMenu();
    void changeStatuBar();
    void applyModelButtons();
    void startSampler();
    void stopSampler();
    void closeMain();
    void saveProjectAs();
    void openProject();
    void askTakeScene(int &nTake, QString &strSerial);
    void showDeviceScenes();
    static void hostPanel(QWidget *pPlace, QWidget *pPanel);
    QSplitter *makeSplitter(Qt::Orientation orientation, const QString &strTitle, QWidget *pParent);
    void fillProgramList(const QList<CTarnSceneRecord *> &listScene);

    QList<QRect> m_listRtDesktop;
    CFileListWidget *m_pListWidget = nullptr;
    CEditSceneCanvas *m_pCanvas = nullptr;
    QWidget *m_pProgramListPlace = nullptr;
    CProgramListWidget *m_pProgramListWidget = nullptr;
    QWidget *m_pCanvasPlace = nullptr;
    QWidget *m_pPropertyPlace = nullptr;
    CPropertyStack *m_pPropertyStack = nullptr;
    OSDsrttingdlg *m_pOSDSettingDlg = nullptr;
    QString m_strSaveFile;
    bool m_bShow = true;
    bool m_bBack = true;
    bool m_bLock = false;
    CLockWidget *m_pLockWidget = nullptr;
    QLabel *m_pLabelSysInfo = nullptr;
    QLabel *m_pVerInfo = nullptr;
    QString m_strVerDate;
    QString m_strVerNumber;
    CSysInfo *m_pSysInfo = nullptr;
    QThread *m_pSysThread = nullptr;
    DeviceInfo *m_pCurrentDevice = nullptr; // not owned: its worker owns it
    Ui::EditSceneMain *ui;
    CTitleHelper *m_titleHelper = nullptr;
    QMenu *m_pFileMenu = nullptr;
    QMenu *m_pSetMenu = nullptr;
    QMenu *m_pHelpMenu = nullptr;
    QAction *m_pSetShow = nullptr;
    QAction *m_pSetBack = nullptr;
    QAction *m_pSetScreen = nullptr;
    QTranslator *m_pTranslator = nullptr;
};

#endif // EDITSCENEMAIN_H
