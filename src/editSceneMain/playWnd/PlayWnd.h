#ifndef PLAYWND_H
#define PLAYWND_H

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QGraphicsOpacityEffect;
class QGraphicsView;
class QMenu;
class QTimer;
class CEditBaseScene;

namespace Ui {
class playWnd;
}

// A frameless playback window: plays copies of a list of editor scenes one
// after another in a given screen rectangle, or previews a copy of one scene;
// publishes a snapshot of what it shows ("slot_monitor"), and offers a fading
// control panel (play, stop, back to the editor) and a context menu (position
// lock, restore position, top-most). The window owns every copy it makes and
// frees them, with their play-end watchers, when it plays again, stops or
// goes away; it never shows a caller's scene itself.
//
// Hub topics attached: "slot_setLock", "slot_setPreviewScene",
// "slot_deletePreviewItem". Notified: "slot_play", "slot_stop",
// "slot_activateMain", "slot_monitor".
class CPlayWnd : public QWidget
{
    Q_OBJECT
public:
    CPlayWnd(QRect rect, QWidget *parent = nullptr);
    ~CPlayWnd() override;

    void play(const QList<CEditBaseScene *> &listScene);
    void stop();
    void setSceneChange();
    void resizePlayWnd(QRect &rect);
    void setTopPlayWnd(bool bTop);

    // Read access for the editor and tests.
    QRect lastRect() const { return m_rectLast; }
    QList<CEditBaseScene *> playScenes() const { return m_listPlayScene; }
    CEditBaseScene *currentPlayScene() const { return m_pPlayScene; }
    CEditBaseScene *previewScene() const { return m_pPreviewScene; }
    QGraphicsView *playView() const;
    QWidget *controlPanel() const { return m_pPlayWidget; }
    qreal panelOpacity() const;
    bool isPositionLocked() const { return m_bIsLock; }
    bool isTopMost() const { return m_bIsTop; }
    bool isPanelHidden() const { return m_bHide; }
    bool isPanelLocked() const { return m_bLock; }
    QTimer *sceneTimer() const { return m_pTimer; }
    QTimer *snapTimer() const { return m_pSnapTimer; }
    QTimer *showTimer() const { return m_pShowTimer; }
    // The context menu as the operator gets it; the caller owns it.
    QMenu *createMenu();

public slots:
    void slot_setPreviewScene(CEditBaseScene *pScene);
    void slot_deletePreviewItem(CEditBaseScene *pScene, int nId);
    void slot_setLock(bool bLock);
    void slot_scenePlayEnd();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void slot_showMenu(const QPoint &pos);
    void playWndMonitor();
    void showControlPanel();
    void hideControlPanel();
    void slot_playClicked();
    void slot_stopClicked();
    void slot_returnClicked();

private:
    void initControlPanel();
    void changeViewScene();
    void destroyPlayScene();
    void dropPreviewScene();
    bool isOwnCopy(const CEditBaseScene *pScene) const;
    void animatePanel(qreal dFrom, qreal dTo, int nMs);

    QRect m_rectLast;
    QTimer *m_pTimer = nullptr;
    QTimer *m_pShowTimer = nullptr;
    QTimer *m_pSnapTimer = nullptr;
    bool m_bIsLock = true;
    bool m_bIsTop = false;
    bool m_bSceneChange = true;
    bool m_bHide = true;
    bool m_bDelete = false;
    bool m_bLock = false;
    int m_nCurSceneIndex = 0;
    bool m_bDrag = false;
    QPoint m_pressPos;
    QPoint m_lastPos;
    QWidget *m_pPlayWidget = nullptr;
    QGraphicsOpacityEffect *m_pWidgetEffect = nullptr;
    Ui::playWnd *ui;
    QList<CEditBaseScene *> m_listPlayScene;
    CEditBaseScene *m_pPlayScene = nullptr;
    CEditBaseScene *m_pPreviewScene = nullptr;
    // The scene the preview copy was taken from: item removals are matched against it.
    QPointer<CEditBaseScene> m_pPreviewSource;
};

#endif // PLAYWND_H
