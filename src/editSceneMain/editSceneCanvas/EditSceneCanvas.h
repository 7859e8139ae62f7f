#ifndef EDITSCENECANVAS_H
#define EDITSCENECANVAS_H

// The Tarn editor's editing canvas: every stored scene of the edited device,
// the one view that shows the current scene, and the live (taken) scene the
// device is showing.
//
// Scenes: the device's scenes come from their owner (the Tarn scene store) and
// are only shown and edited here; the canvas never deletes them, and drops any
// of them from its lists the moment it is destroyed elsewhere. Scenes the
// canvas makes itself (a new card, a loaded document) are its children and are
// deleted by it.
//
// Its other duties: drops of input sources with the live-scene check, the OSD
// check, the layer limit and the input-source conflicts; the tool commands and
// the tool strips; the OSD item re-created from "Morvane.ini"; the play tool and
// full screen; and the scene document (".smt").
//
// Other parts reach it through the hub topics it attaches (named after the
// slots below); the frame also calls it directly.

#include <QJsonObject>
#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

class CEditBaseScene;
class CEditBaseView;
class CFileListWidget;
class CToolBar;
class QGraphicsItem;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;
class QTranslator;
class CBaseSlider;

namespace Ui {
class CEditSceneCanvas;
}

class CEditSceneCanvas : public QWidget
{
    Q_OBJECT
public:
    // Tool command numbers ("slot_selectToolBar").
    enum toolBarType {
        ToolBar_Delete = 0,
        ToolBar_Clean,
        ToolBar_Drag,
        ToolBar_Center,
        ToolBar_ZoomIn,
        ToolBar_ZoomOut,
        ToolBar_LeftAlign,
        ToolBar_RightAlign,
        ToolBar_HorCenter,
        ToolBar_TopAlign,
        ToolBar_BottomAlign,
        ToolBar_VerCenter,
        ToolBar_UpItem,
        ToolBar_DownItem,
        ToolBar_AutoExpand,
        ToolBar_VerticalExpand,
        ToolBar_HorizontalExpand
    };

    explicit CEditSceneCanvas(QWidget *parent = nullptr);
    ~CEditSceneCanvas() override;

    // ---- scenes and the live scene
    // The model text of the edited device ("Tarn-3", ...): it decides which
    // drops are checked for input-source conflicts.
    void setDeviceModel(const QString &strModel) { m_strModel = strModel; }
    QString deviceModel() const { return m_strModel; }
    void setSceneData(QString strSerial, QList<CEditBaseScene *> &listScene, bool bIsChange, int nCurScene);
    // A new empty scene, made current; nId 0 gives it the lowest free id.
    void createScene(QString strName, int nId = 0);
    void changeSceneById(int nIndex);
    int getNewSceneID();
    void sendCurrentScene();
    void destroyCanvas();
    void createView();
    void createCanvas();
    void newCanvas();

    // ---- scene document
    QJsonObject programToJson();
    int jsonToPropgram(QString &strJson);
    // The frame's save and load below its file dialogs: the canvas's part and
    // the source panel's share (when given) in one file. Both tell the operator
    // how it went and return whether it succeeded; a failed load changes nothing.
    bool saveProjectFile(const QString &strPath, CFileListWidget *pFileList);
    bool loadProjectFile(const QString &strPath, CFileListWidget *pFileList);

    // ---- drops, limits, conflicts
    bool isMaxLayer();
    void getLayerInSrcConflict(int nInId, int nInSrc, QVector<int> &vectorOutId, bool &bReturn);
    void checkSceneVideoCount();
    void setMenu(QPoint pos);

    // ---- tool commands
    void createCanvasTool();
    bool offerRecallUnlessLive(CEditBaseScene *pScene);
    void toolBarDelete();
    void toolBarClean();
    void toolBarDrag();
    void toolBarCenter();
    void toolBarZoomIn();
    void toolBarZoomOut();
    void toolBarLeftAlign();
    void toolBarRightAlign();
    void toolBarHorCenter();
    void toolBarTopAlign();
    void toolBarBottomAlign();
    void toolBarVerCenter();
    void toolBarUpItem();
    void toolBarDownItem();
    void toolBarTopItem();
    void toolBarBottomItem();
    void toolBarAuto();
    void toolBarVertical();
    void toolBarHorizontal();

    // ---- play tool
    void createPlayTool();
    void setPlayBtnStatus(bool bEnable);
    void setStopBtnStatus(bool bEnable);
    void play();
    void stop();
    void setGlobalVolume(int nVolume);
    void setGlobalMute(bool bMute);
    void btnCanvasMin();
    QRect getPlayWndSize();
    void showPlayWnd(bool bShow);
    void frontPlayWnd(bool bBack);

    // ---- read access (frame, scene list, tests)
    CEditBaseScene *currentScene() const { return m_pCurrentScene; }
    CEditBaseView *view() const { return m_pBaseView; }
    // The canvas area: the form gives it its minimum, which a frame on a small screen may lower.
    QWidget *canvasArea() const;
    const QList<CEditBaseScene *> &sceneList() const { return m_listScene; }
    int takeScene() const { return m_nTakeScene; }
    QString serial() const { return m_strSerial; }
    bool isToolBarShown() const { return m_bShowToolBar; }
    CToolBar *toolStrip() const { return m_pToolWidget; }
    QWidget *canvasToolColumn() const { return m_pCanvasWidget; }
    QWidget *playTool() const { return m_pPlayWidget; }
    QPushButton *playButton() const { return m_pBtnPlay; }
    QPushButton *stopButton() const { return m_pBtnStop; }
    QPushButton *updateButton() const { return m_pBtnUpdate; }
    QPushButton *volumeButton() const { return m_pBtnVolume; }
    CBaseSlider *volumeSlider() const { return m_pVolumeSlider; }
    QLineEdit *volumeValue() const { return m_pVolumeValue; }
    QToolButton *cleanButton() const { return pBtnClean; }
    bool isVolumeOn() const { return m_bVolume; }

    // Scene rectangle of a scene in a widget of the given size: the canvas
    // centred, whole numbers truncated toward zero.
    static QRectF sceneRectFor(const QRect &rtCanvas, const QSize &szWidget);

signals:
    void sig_sceneChage(int nScene);

public slots:
    void slot_showItemMenu(QPoint pos);
    void slot_play();
    void slot_stop();
    void slot_playWnd(QList<int> &listPlay);
    void slot_stopPlayWnd();
    void slot_itemPress(int nId);
    void slot_showToolBar(bool bShow);
    void slot_isTakeScene(int nSceneId, bool &bTake);
    void slot_setTakeScene(int nTake);
    void slot_showSceneList(QList<CEditBaseScene *> &pSceneList);
    void slot_addCanvasItem(QPointF &ptPos, const QString &strFile, const QString &strText, int nType,
                            int nSourceId, bool bPos = true);
    void slot_selectToolBar(int nType);
    void slot_resizePlayWnd(QRect &rectPlayWnd);
    // The screen size the device holds (after a write of it went unanswered or was taken): the
    // current scene of the canvas's device is drawn in it again.
    void slot_tarnScreenHeld(QString strSerial, int nWidth, int nHeight);
    void slot_horMagneticLine(QPoint ptStart, QPoint ptEnd, bool bShow);
    void slot_verMagneticLine(QPoint ptStart, QPoint ptEnd, bool bShow);
    void slot_changeItemInSrc(int nInId, int nInSrc, bool &bRet);
    void slot_deleteSceneById(int nId);
    void slot_refreshBtnStatus();
    void slot_getSceneSnapshoot(int nId, QPixmap **outPixmap);
    void slot_createCanvasScene(QString strName);
    void slot_changeCanvasScene(int nId);
    void slot_updateCurPlayTime(double dMillisec);
    void slot_updateCurrentData();
    void slot_setBtnUpdateStatus(bool bEnable);
    void slot_updateTotalPlayTime(double dMillisec);
    void slot_getSceneItemListName(QStringList &strList);
    void slot_changeCavasSceneName(QString strName);
    void slot_updateEditSceneCanvaslanguage(int nlanguage);
    void slot_toolBarCenter();
    void slot_addCanvasOSDItem(QPointF &ptPos, const QString &strText, int nselect);
    void slot_OSDitemPress();
    void getNTakeScene(int &nTake, QString &strSerial);
    void slot_fullScreen();

protected:
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void slot_volumeClicked();
    void slot_volumeChanged(int nValue);
    void slot_playClicked();
    void slot_stopClicked();
    void slot_updateClicked();

private:
    // Level commands without a tool number (item menu only).
    enum { LevelTop = 100, LevelBottom = 101 };

    static const QStringList &topics();
    void createToolStrip();
    void forgetScene(CEditBaseScene *pScene);
    void releaseScene(CEditBaseScene *pScene);
    void sendLayerRead(CEditBaseScene *pScene);
    void refreshOSDItem(int nIndex);
    void removeOSDItem(CEditBaseScene *pScene);
    void showHeldOsd(const QString &strSerial, bool bOn);
    void alignCommand(int nAlign);
    CEditBaseScene *sceneById(int nId) const;
    void adoptScene(CEditBaseScene *pScene);
    void makeCurrent(CEditBaseScene *pScene);
    void applySceneRect(CEditBaseScene *pScene);
    double roomScale() const;
    void makeBackCanvas(CEditBaseScene *pScene);
    void sendSceneCmd(int nRw, int nSub, const QByteArray &payload);
    void sendCmd(const QString &strName, int nRw, int nSub, const QByteArray &payload);
    void levelCommand(int nCommand);
    void stretchCommand(int nCommand);
    void applyPlayStyle(QPushButton *pButton, const QString &strName, bool bEnable);
    void setToolTips();
    void setVolumeTip();
    int loadDocument(const QJsonObject &root);
    void refuseDocument(int nResult); // the box for a refused document (CSceneDocument::Result)

    int m_nTakeScene = 0;
    QTimer *m_pTimer = nullptr;
    CEditBaseView *m_pBaseView = nullptr;
    double m_dRoomScale = 1.0; // the view's scale last set for the room the canvas area has
    QSize m_szFormRoom;        // the canvas area's size in the form, drawn at 100 %
    QList<CEditBaseScene *> m_listScene;
    QList<CEditBaseScene *> m_listPlayScene;
    QList<CEditBaseView *> m_listView;
    bool m_bVolume = true;
    QPushButton *m_pBtnPlay = nullptr;
    QPushButton *m_pBtnStop = nullptr;
    QPushButton *m_pBtnUpdate = nullptr;
    QPushButton *m_pBtnVolume = nullptr;
    CBaseSlider *m_pVolumeSlider = nullptr;
    QLineEdit *m_pVolumeValue = nullptr;
    bool m_bShowToolBar = false;
    QToolButton *pBtnClean = nullptr;
    QToolButton *pBtnDrag = nullptr;
    QToolButton *pBtnCenter = nullptr;
    QToolButton *pBtnZoomIn = nullptr;
    QToolButton *pBtnZoomOut = nullptr;
    int m_nItemType = -100;
    Ui::CEditSceneCanvas *ui = nullptr;
    bool m_bShowPlayWnd = false;
    bool m_bStop = false;
    bool m_bPause = false;
    CEditBaseScene *m_pCurrentScene = nullptr;
    QWidget *m_pPlayWidget = nullptr;
    QWidget *m_pCanvasWidget = nullptr;
    CToolBar *m_pToolWidget = nullptr;
    QString m_strSerial;
    QString m_strModel;
    QTranslator *m_pTranslator = nullptr;
    QSet<CEditBaseScene *> m_setWatched; // scenes whose destruction the canvas follows
};

#endif // EDITSCENECANVAS_H
