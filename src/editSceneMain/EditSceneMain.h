#ifndef EDITSCENEMAIN_H
#define EDITSCENEMAIN_H

#include <QList>
#include <QString>
#include <QStringList>

#include "EditFrameBase.h"

struct CTarnSceneRecord;
class CEditSceneCanvas;
class OSDsrttingdlg;
class QAction;
class QMenu;
class QTranslator;

namespace Ui {
class EditSceneMain;
}

// The window in which a Tarn-family device is edited: the shared editor frame
// (CEditFrameBase) with a row of settings buttons that suit the bound
// device's model and the editing canvas in the middle column. One instance
// lives for the whole run; the device list window binds a device to it,
// refreshes its scenes, switches its language and brings it up. Closing it
// ends the program.
//
// Its places: programListPlace, canvasPlace, propertyPlace.
class CEditSceneMain : public CEditFrameBase
{
    Q_OBJECT
public:
    // What the constructor builds: the whole frame, or all but the property
    // stack, which completeBuild() adds on first need (before the frame is
    // first shown at the latest).
    enum BuildSteps { BuildAll, PropertyStackLater };

    explicit CEditSceneMain(QWidget *parent = nullptr, BuildSteps steps = BuildAll);
    ~CEditSceneMain() override;

    void initSceneData(DeviceInfo *device, const QList<CTarnSceneRecord *> &listScene);
    void updateSceneData(QString strSerial, const QList<CTarnSceneRecord *> &listScene);
    void initLanguage(int nLanguage);
    // Adds the property stack to a frame built without it, in the language
    // the frame was last given; nothing when the frame has one.
    void completeBuild();
    // A frame that is shown has its property stack, made before the frame appears.
    void setVisible(bool bVisible) override;

    // Scene documents. Saving reports success only when the whole file was
    // written; both report failures to the operator and return false.
    bool saveProject(const QString &strPath);
    bool loadProject(const QString &strPath);

    // The audio source names offered for a model text (first match wins).
    static QStringList audioSourceNames(const QString &strModel);

    CEditSceneCanvas *canvas() const { return m_pCanvas; }
    QMenu *fileMenu() const { return m_pFileMenu; }
    QMenu *setMenu() const { return m_pSetMenu; }
    // The OSD settings dialog of the language in force (built anew at each language switch).
    OSDsrttingdlg *osdSettingDialog() const { return m_pOSDSettingDlg; }

public slots:
    void slot_destroySceneMain();
    void slot_updateInputSource(DeviceInfo *device, QString strSerial);
    void slot_updatecomboxInputSource();
    void slot_showMonitor(bool bShow);
    void on_OutputSettingButton_clicked();
    void on_OSDSettingButton_clicked();
    void on_AudioSettingsButton_clicked();

protected:
    void showEvent(QShowEvent *event) override;
    void closeMain() override;
    void leavingMaximised() override;
    void releaseFamilyPanels() override;

private:
    void initWindow();
    void initMenu();
    void changeStatuBar();
    void applyModelButtons();
    void saveProjectAs();
    void openProject();
    void askTakeScene(int &nTake, QString &strSerial);
    void showDeviceScenes();
    void placeOverCanvas(QWidget *pDialog) const;
    static CardList cardsOf(const QList<CTarnSceneRecord *> &listScene);

    CEditSceneCanvas *m_pCanvas = nullptr;
    QWidget *m_pCanvasPlace = nullptr;
    OSDsrttingdlg *m_pOSDSettingDlg = nullptr;
    QString m_strSaveFile;
    int m_nLanguage = -1; // the last one initLanguage was given
    bool m_bShow = true;
    bool m_bBack = true;
    QString m_strVerDate;
    QString m_strVerNumber;
    Ui::EditSceneMain *ui;
    QMenu *m_pFileMenu = nullptr;
    QMenu *m_pSetMenu = nullptr;
    QMenu *m_pHelpMenu = nullptr;
    QAction *m_pSetShow = nullptr;
    QAction *m_pSetBack = nullptr;
    QAction *m_pSetScreen = nullptr;
    QTranslator *m_pTranslator = nullptr;
};

#endif // EDITSCENEMAIN_H
