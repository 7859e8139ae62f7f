#ifndef EDITSINGLETEXTITEM_H
#define EDITSINGLETEXTITEM_H

// The layer window: one layer of a Tarn device scene, a rectangle on the scene canvas bound to
// one input source (its main source). It shows three label lines (level, size in device
// pixels, source text), follows the source's name and signal state by asking the source panel
// every 5 s, and builds every layer command that reaches the device.
//
// Device pixels: a length in scene units times g_dWScale (horizontal) or g_dHScale (vertical),
// rounded half away from zero. The device canvas is g_rtBackCanvas.

#include <QColor>
#include <QFont>
#include <QStringList>
#include <QTime>

#include "EditBaseItem.h"

class QTimer;

// The rectangle from the first point widened to every other point, normalised.
QRectF RecalcBounds(const QPolygonF &polygon);

class CEditSingleTextItem : public CEditBaseItem
{
    Q_OBJECT
public:
    CEditSingleTextItem(const QRect &rect, bool bShowNormal, QGraphicsItem *parent = nullptr);
    ~CEditSingleTextItem() override;

    CEditSingleTextItem &operator=(CEditSingleTextItem &other);

    // ---- content and binding
    void setItemContent(const QString &strText) { m_strTextContent = strText; }
    QString itemContent() const { return m_strTextContent; }
    void setItemSelectColor(const QColor &color) { m_crNormal = color; }
    QColor itemSelectColor() const { return m_crNormal; }
    // Main source n; the backup becomes n + 1 for 0, else n - 1. Sends nothing.
    void setItemMainSig(int n);
    void setItemUpdateNow() { m_bUpdateNow = true; }
    // The label (source name, size words in the language in force) taken again at once.
    void refreshLabel();
    // The three label lines as painted: level, size in device pixels, source text.
    QStringList labelLines() const;
    void setItemFile(const QString &strPath) override;
    void setItemState(EditSelectionHandleState state) override;

    // ---- geometry
    QRectF rect() const override { return m_localRect; }
    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    QString displayName() const override;
    void control(int dir, const QPointF &point) override;
    void stretch(int handle, double sx, double sy, const QPointF &origin) override;
    void updateCoordinate() override;
    void move(const QPointF &delta) override;
    QGraphicsItem *duplicate() const override;
    // The layer window behind a scene item, or null for any other kind of item.
    static CEditSingleTextItem *fromItem(QGraphicsItem *pItem);
    void updatehandles() override;

    // ---- device geometry (getItemPos, getItemSize, getZoomOutPos: the base item's)
    // True when the layer straddles the vertical middle of the device canvas.
    bool isCrossCanvas() const;

    // ---- layer commands ("图层设置", write); each returns false when nothing was sent.
    // Position and size are the layer's shown rectangle at the moment of sending, clipped to the
    // device canvas; nothing of it is kept between sends.
    bool setLayerAllCmd();
    void setLayerEnable(int nState);
    void setLayerLevel(int nLevel);
    // False (nothing sent) for an input the device does not report.
    bool setLayerSig(int nSource);
    bool setLayerPosAndSize();
    bool setLayerCut(int x, int y, int w, int h);
    void setLayerTrans();
    void sendItemCmd(const QString &strName, QByteArray &payload, int nReadOrWrite, int nSub);
    // Reads the layer's scene from the device ("场景操作" [id], read, sub 0); the canvas follows.
    void readSceneBack();

    // ---- persistence
    QJsonObject saveToJson() override;
    bool loadFromJson(const Json &json) override;
    virtual void loadFromXml(QXmlStreamReader *pReader) { Q_UNUSED(pReader) }
    virtual void saveToXml(QXmlStreamWriter *pWriter) { Q_UNUSED(pWriter) }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    void drawSingleText(QPainter *painter);

    bool m_bUpdateNow = false;
    int m_nTimer = 0;
    bool m_bBold = false;
    bool m_bItalic = false;
    bool m_bUnder = false;
    int m_nTextSpaceing = 5;
    int m_nShowStyle = 1;
    int m_nInSpeed = 5;
    int m_nRowHeight = 5;
    QTime m_startTime;
    QTime m_endTime;
    QColor m_fontColor = QColor(255, 255, 255);
    QColor m_bkColor = QColor(35, 35, 35);
    QString m_strTextContent;
    QString m_strTextLanguagewidth;
    QString m_strTextLanguageheight;
    QFont m_font;
    QColor m_crNormal;
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

private:
    void onTick();
    // Everything the item's picture depends on, as one text.
    QString shownState() const;
    // The geometry clamped to the device canvas; false when nothing of it is left to send.
    bool clampToCanvas(int &x, int &y, int &w, int &h) const;
    // Gives the layer the device rectangle it was sent with, when the clamp changed it.
    void showSentGeometry(int x, int y, int w, int h);

    QTimer *m_pTimer = nullptr;
    // shownState() at the last refresh that repainted the item.
    QString m_strRefreshed;
};

#endif // EDITSINGLETEXTITEM_H
