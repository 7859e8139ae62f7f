#ifndef EDITBASESCENE_H
#define EDITBASESCENE_H

// The graphics scene of one scene stored in a Tarn-family device.
//
// Ownership: the scene owns its items (m_listItems, the background canvas, the OSD item). The
// scenes of a device are owned by the one store of Tarn scenes (CTarnSceneStore); everyone else
// holds them by QPointer and never deletes them.
//
// The scene keeps the list of its editable items, hands out item ids, gives each new layer its
// selection colour, passes mouse events to the current mouse tool (CEditBaseItemBorder), moves
// the selection with the arrow keys and draws the snapping guide lines.
//
// Threads: the scene, its item list (m_listItems) and its items are the GUI thread's alone; the
// play-end watcher's thread only keeps the pace and has each look run on the GUI thread.
//
// Waits: a handler of the scene that asks a question, shows a notice or opens a menu, or calls
// something that may (a mouse tool, a hub topic), does so through CGuardedWait and stops when
// the scene went during the wait: the store deletes a removed scene in whatever event loop
// runs next, a box's own included.

#include <QColor>
#include <QGraphicsScene>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QVector>

#include <atomic>

#include "EditBoxSort.h"

class CEditBaseItem;
class CEditBaseItemGroup;
class CEditBaseView;
class CEditSingleTextItem;
class CPlayEndThread;
class CSceneBackCanvas;
class EditGridTool;
class EditOSDItem;
class Json;
class QTimer;

enum SceneType
{
    Scene_Edit = 0,
    Scene_TimeLine = 1,
    Scene_PlayWnd = 2
};

class CEditBaseScene : public QGraphicsScene
{
    Q_OBJECT
public:
    explicit CEditBaseScene(QObject *parent = nullptr);
    ~CEditBaseScene() override;

    // ---- identity and accessors
    unsigned int getSceneID() const { return m_nId; }
    void setSceneID(unsigned int nId) { m_nId = nId; }
    QString getSceneName() const { return m_strSceneName; }
    void setSceneName(const QString &strName) { m_strSceneName = strName; }
    int getSceneType() const { return m_nSceneType; }
    void setSceneType(int nType) { m_nSceneType = nType; }
    // The palette colour for an index; any index is taken modulo the six colours.
    QColor getSelectedColor(int nIndex) const;
    QRect getBackCanvasRect() const { return m_rtCanvas; }
    // The view that shows the scene; null when none (or once that view is gone).
    CEditBaseView *view() const;
    void setView(CEditBaseView *pView);
    bool isEnd() const { return m_bIsEnd; }
    void setPlayEnd(bool bEnd) { m_bIsEnd = bEnd; }
    void setShowNonius(bool bShow) { m_bShowNonius = bShow; }
    void showNoniusLine(bool bShow);
    QString deviceSerial() const { return m_strSerial; }

    // ---- items
    // The smallest id of 0 or more that no editable, proxy or group item of the list has.
    int getNewItemID() const;
    // Creates one layer bound to an input; returns its id, writes its duration into durTime.
    // -1, and nothing made, for a layer the device would not be sent (wholly outside the canvas).
    int createSingleTextItem(QString strFile, QString strText, QSize sz, QPointF pt, qreal &durTime, int nSourceId);
    // The canvas's entry for a new layer (a drop or a tool): placement, then creation for kind 3.
    void addCanvasItem(QPointF &ptPos, QString strFile, QString strText, QSize sz, int nType, int nSourceId, bool bPos);
    void addCanvasItemFromJson(const Json &itemJson, QRect &rtItem, int nType);
    // The editable item (layer, OSD) with this id in the item list, or null.
    CEditBaseItem *itemById(int nId) const;
    // The layer items of the list, in list order.
    QList<CEditSingleTextItem *> layerItems() const;
    // Takes an item out of the list and the scene and deletes it. A selected item first tells
    // the property stack that nothing is selected.
    void removeAndDeleteItem(QGraphicsItem *pItem);
    QColor getItemBackColor(int nType) const;

    // ---- background canvas
    void createBackCanvas(QRect &rt);
    void SetBackCanvas(QRect &rt);

    // ---- groups
    CEditBaseItemGroup *createGroup(const QList<QGraphicsItem *> &items, bool isAdd);
    void destroyGroup(QGraphicsItemGroup *pGroup);

    // ---- mouse tools: the scene's default handling for a press, move or release
    void mouseEvent(QGraphicsSceneMouseEvent *event);

    // ---- alignment and guide lines
    void align(AlignType alignType);
    void setHorMagneticLine(QPoint ptStart, QPoint ptEnd, bool bShow);
    void setVerMagneticLine(QPoint ptStart, QPoint ptEnd, bool bShow);

    // ---- OSD item
    int createOSDItem(QString strText, QSize sz, QPointF pt);
    // The scene's OSD item (an EditOSDItem), null until the first creation. It stays the
    // scene's to free even after it was taken out of the item list.
    CEditBaseItem *osdItem() const { return m_pItem; }
    void setOsdItem(CEditBaseItem *pItem) { m_pItem = pItem; }
    // The OSD item is on the canvas (in the item list), not only kept.
    bool osdShown() const;

    // ---- removal and the cross-canvas check
    void deleteItemById(int nId);
    // With bOsdOff the OSD item going switches the device's OSD off (as the console keeps it).
    void destroyAllItem(bool bOsdOff = true);
    void deleteSelectsItem();
    bool ifCanChangeLayer(CEditBaseItem *pItemChange);

    // ---- playback, preview and copies
    void playItem();
    void previewItem();
    void pauseItem();
    void stopItem();
    void updateAllItem();
    void checkVideoCount();
    qint64 getSceneDuration() const;
    void setSceneData(CEditBaseScene *pScene);
    CEditBaseScene &operator=(CEditBaseScene &newScene);
    void createPreviewItem(CEditBaseScene *pScene);
    void updateItemData(QGraphicsItem *pDes, QGraphicsItem *pSrc, int nType);
    // Every editable and proxy item has ended (the play-end watcher's look, on the GUI thread).
    bool allItemsEnded() const;

    // ---- time-line leftovers
    void startCreat() { m_bStartCreate = true; }
    void createChannel() {}
    void updateChannel() {}
    void deleteChannel(int) {}
    void deleteChannelItemById(int) {}
    qreal addTimeLineItem(QString, QString, int, int) { return 0.0; }
    void createPlayItem(QGraphicsItem *, int) {}
    int getNewChannelItemID() const { return 1; }
    void getItemMaxWidth();

    // ---- device values (set by the store from the device's scene reply)
    QVector<QColor> m_vectorColor;
    int m_nSceneState = 0;
    int m_nLayerCount = 0;
    int m_nLayerUse = 0;
    int m_nCanvasType = 0;
    int m_nCanvasCount = 0;
    int m_nLight = 0;
    int m_nAudio = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nHz = 60;
    QString m_strSerial;
    int m_nVideoCount = 0;
    qreal m_dNoniusPos = 0;
    qreal m_dMaxNoniusPos = 0;
    QList<QGraphicsItem *> m_listItems;
    double m_dScaleRate = 1.0;
    CSceneBackCanvas *m_pBackCanvas = nullptr;
    QColor m_canvasColor = QColor(21, 21, 21, 255);
    QRect m_rtCanvas;
    QPoint m_noniusPos = QPoint(5, 0);

signals:
    void updatePoint(QPointF point, QList<QPointF> list, bool isCenter);
    void createFinshed();
    void sig_playEndStop();
    void itemMoved(QGraphicsItem *item, const QPointF &oldPosition);
    void itemRotate(QGraphicsItem *item, const qreal oldAngle);
    void itemAdded(QGraphicsItem *item);
    void itemResize(QGraphicsItem *item, int handle, const QPointF &scale);
    void itemControl(QGraphicsItem *item, int handle, const QPointF &newPos, const QPointF &lastPos);

public slots:
    void slot_linePosChanged(QPoint newMousePos);
    void slot_noniusPosChanged(QPoint newNoniusPos);

protected:
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void dragEnterEvent(QGraphicsSceneDragDropEvent *event) override;
    void dragMoveEvent(QGraphicsSceneDragDropEvent *event) override;
    void dropEvent(QGraphicsSceneDragDropEvent *event) override;

private slots:
    void slot_guideLineTimeout();

public:
    static constexpr int GUIDE_LINE_MS = 1000;    // a guide line not refreshed for this long goes
    static constexpr int DELETE_NOTICE_MS = 600;  // the notice shown while a layer is deleted
    static constexpr int OSD_ITEM_ID = 1000;      // the OSD item's id in every scene

private:
    // A device command of this scene, to its device serial.
    void sendSceneCmd(const QString &strName, const QByteArray &payload, int nRw, int nSub);
    bool showDeleteNotice();

private:
    QTimer *m_pTimer = nullptr;
    bool m_bRButton = false;
    CEditBaseItem *m_pItem = nullptr; // the OSD item
    std::atomic<bool> m_bIsEnd{false};
    QPointer<CEditBaseView> m_pView;
    qreal m_fDx = 0;
    qreal m_fDy = 0;
    bool m_bMoved = false;
    EditGridTool *m_pGrid = nullptr;
    QPoint m_mousePos = QPoint(5, 0);
    QPoint m_ptVerStart, m_ptVerEnd, m_ptHorStart, m_ptHorEnd;
    bool m_bHorMagnetic = false;
    bool m_bVerMagnetic = false;
    bool m_bShowPosLine = false;
    bool m_bShowNonius = false;
    int m_nSceneType = Scene_Edit;
    unsigned int m_nId = 1;
    QString m_strSceneName;
    CPlayEndThread *m_playThread = nullptr;
    bool m_bStartCreate = false;
};

#endif // EDITBASESCENE_H
