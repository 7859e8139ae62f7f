#ifndef EDITOSDITEM_H
#define EDITOSDITEM_H

// EditOSDItem - the OSD text of a device scene: one line of text the device
// overlays on its output, shown on the canvas as a rectangle in the OSD colours.
//
// With speed 0 it draws its text still. preview() starts a right-to-left scroll:
// the item's frame thread (CBaseThread) runs the animation engine
// (CEditAnimation) on the item's source picture (m_OSDPixmap) and the frames
// come back to the GUI thread by a queued signal. A new preview() interrupts a
// running scroll and starts it again; stopScroll() ends it, even right after a
// preview() the thread has not taken up yet. The source, the rectangle and the
// speed are handed to the engine when the scroll starts (copies, never shared
// pixmaps); setOSDPixmap() also hands a running scroll the new source. The
// destructor stops the thread and waits for it before anything of the item goes.
//
// The live OSD settings (text and background transparency, speed, colours) go
// to the device as "OSD参数设置" writes, first byte the device OSD slot
// (the OSD index of the item's device, CTarnSceneStore::osdIndex).

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMutex>
#include <QPixmap>
#include <QTime>

#include <atomic>

#include "EditBaseItem.h"
#include "QorGlobal.h"

class CBaseThread;
class CEditAnimation;

class EditOSDItem : public CEditBaseItem
{
    Q_OBJECT
public:
    EditOSDItem(const QRect &rect, bool bShowNormal, QGraphicsItem *parent = nullptr);
    ~EditOSDItem() override;

    EditOSDItem &operator=(EditOSDItem &other);

    // ---- QGraphicsItem
    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // ---- the item template
    QRectF rect() const override { return m_localRect; }
    QString displayName() const override;
    void control(int dir, const QPointF &point) override;
    void stretch(int handle, double sx, double sy, const QPointF &origin) override;
    void updateCoordinate() override;
    void move(const QPointF &delta) override;
    QGraphicsItem *duplicate() const override;
    void draw() override;
    void preview() override;
    void initData() override;
    void updatehandles() override;
    void setItemState(EditSelectionHandleState state) override;
    void setItemFile(const QString &strPath) override;

    // ---- content
    void setItemContent(const QString &strText) { m_strTextContent = strText; }
    void setItemSelectColor(const QColor &color) { m_crNormal = color; }
    // Main source s; the backup becomes s - 1, or 1 for 0.
    void setItemMainSig(int s);
    int getNBkTransparency() const { return m_nBkTransparency; }
    void setNBkTransparency(int n) { m_nBkTransparency = n; }
    void setNFontTransNum(int n) { m_nFontTransNum = n; }
    // The source picture of the scroll; a running scroll takes it from its next frame.
    void setOSDPixmap(const QPixmap &pixmap);

    // Ends a running scroll, or one asked for that has not started yet (the thread pauses until
    // the next preview()); the item shows its still text.
    void stopScroll();
    // True while the frame thread renders a scroll.
    bool isScrolling() const;
    CBaseThread *frameThread() const { return m_pThread; }
    CEditAnimation *animation() const { return m_pEditAnimation; }

    // ---- device geometry: getItemPos, getItemSize, getZoomOutPos are the base item's

    // ---- live OSD commands ("OSD参数设置", write)
    void sendFontTrans();
    void setOSDTrans(int nValue);
    void setLayerTrans();
    void sendFontSpeed(int nValue);
    void sendFontColor(QColor color);
    void sendbkColor(QColor color);
    // ---- layer commands, as the layer window offers them
    void setLayerLevel(int nLevel);
    void setLayerSig(int nSource);
    void setLayerCut();
    void setLayerPosAndSize();
    void setLayerAllCmd() {}
    void sendItemCmd(const QString &strName, QByteArray &payload, int nReadOrWrite, int nSub);

    bool m_bUpdateNow = false;
    int m_nTimer = 0;
    bool m_bBold = false;
    bool m_bItalic = false;
    bool m_bUnder = false;
    int m_nTextSpaceing = 0;
    int m_nShowStyle = 1;
    int m_nInSpeed = 0;
    int m_nRowHeight = 5;
    QTime m_startTime;
    QTime m_endTime;
    int m_nFontTransNum = 255;
    QColor m_fontColor = QColor(255, 255, 255, 255);
    QColor m_bkColor = QColor(80, 70, 255, 255);
    QString m_strTextContent;
    QString m_strTextLanguagewidth;
    QString m_strTextLanguageheight;
    QFont m_font;
    QColor m_crNormal;
    QList<QPixmap> m_listOSDPixmap;
    QPixmap m_OSDPixmap;
    QString m_strSerial;
    int m_nSceneIndex = 0;
    int m_nLayerState = 1;
    int m_nMainSig = 0;
    int m_nBackupSig = 0;
    int m_nCut = 0;
    int m_nCutX = 0;
    int m_nCutY = 0;
    int m_nCutWidth = 0;
    int m_nCutHeight = 0;
    int m_nTexTransparency = 255;
    int m_nBkTransparency = 255;
    int m_nOSDFontWidth = 25;

signals:
    void sig_playState(int nType);

public slots:
    void slot_getDrawPixmap(QImage image);

protected:
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event) override;

private:
    void drawText(QPainter *painter);
    void drawSelection(QPainter *painter, const QStyleOptionGraphicsItem *option);

    CBaseThread *m_pThread = nullptr;
    CEditAnimation *m_pEditAnimation = nullptr;
    // What the frame thread renders, handed over when a scroll starts.
    mutable QMutex m_drawMutex;
    QRect m_drawRect;
    std::atomic<int> m_nDrawSpeed{0};
};

#endif // EDITOSDITEM_H
