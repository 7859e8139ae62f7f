#ifndef EDITBASEITEM_H
#define EDITBASEITEM_H

// The item model shared by every editable thing on a device scene's canvas.
//
// CEditAbstractItem<T> sits on a graphics-item base T (QGraphicsItem, QGraphicsItemGroup or
// QGraphicsProxyWidget) and carries the attributes all canvas items share, the eight resize
// handles, the local rectangle, the item id, the item kind (a mediaType) and the virtual
// operations the mouse tools and property pages call without knowing the concrete item.
//
// Geometry: an item's position (pos()) is the centre of its rectangle; its edges lie at the
// position minus and plus half its width and height. The derived items keep their local
// rectangle at (0, 0, width, height) and re-anchor through the item transform in
// updateCoordinate(), so that the transform origin (rotation centre) is the middle.
//
// CEditBaseItem (QObject first, then CEditAbstractItem<QGraphicsItem>) is the base of the two
// items the editor creates: the layer window CEditSingleTextItem and the OSD text item
// EditOSDItem. It has no paint() of its own.

#include <QBrush>
#include <QColor>
#include <QGraphicsItem>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPen>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTime>
#include <QXmlStreamReader>

#include <cstdlib>

#include "EditSizeHandle.h"

class Json;
class QXmlStreamWriter;

// Graphics-item types of the canvas items.
enum EditItemGraphicsType
{
    EditItemType_Base = QGraphicsItem::UserType + 1,   // 0x10001: CEditBaseItem and derived
    EditItemType_Proxy = QGraphicsItem::UserType + 2,  // 0x10002: CEditBaseProxyWidget
    EditItemType_Group = QGraphicsItem::UserType + 3,  // 0x10003: CEditBaseItemGroup
    EditItemType_BackCanvas = 3                        // QGraphicsRectItem::Type
};

// Colour text of the item documents: 0xFFRRGGBB as lower-case hex without prefix; read back as
// RGB with full opacity (the top byte is ignored), black when the text is no hex number.
QString g_itemColorToText(const QColor &color);
QColor g_itemColorFromText(const QString &strText);

// A number attribute of an item's XML element; 0 where it is missing, unreadable or not finite.
double g_itemXmlNumber(const QXmlStreamAttributes &attrs, const char *pszName);

template <typename T>
class CEditAbstractItem : public T
{
public:
    typedef QList<CEditSizeHandleRect *> Handles;

    explicit CEditAbstractItem(QGraphicsItem *parent = nullptr);
    ~CEditAbstractItem() override = default;

    // ---- the virtual item interface
    virtual QString displayName() const { return QStringLiteral("AbstractType"); }
    virtual void control(int dir, const QPointF &point) { Q_UNUSED(dir) Q_UNUSED(point) }
    virtual void stretch(int handle, double sx, double sy, const QPointF &origin)
    {
        Q_UNUSED(handle) Q_UNUSED(sx) Q_UNUSED(sy) Q_UNUSED(origin)
    }
    virtual QRectF rect() const { return m_localRect; }
    virtual void updateCoordinate() {}
    virtual void move(const QPointF &point) { Q_UNUSED(point) }
    virtual QGraphicsItem *duplicate() const { return nullptr; }
    virtual int handleCount() const { return m_handles.size(); }
    virtual QPointF handlePos(int nDirection) const;
    virtual QPointF opposite(int handle) const;
    virtual void setTrans(int value) { m_nTransNum = value; }
    virtual void setKeepAspectRatio(bool bKeep) { Q_UNUSED(bKeep) }
    virtual void setLineWidth(int value) { m_nLineWidth = value; }
    virtual void dataChange() {}
    virtual void draw() {}
    virtual void play() {}
    virtual void stop() {}
    virtual void pause() {}
    virtual void preview() {}
    virtual void drawPreview(double dValue) { Q_UNUSED(dValue) }
    virtual void initData() {}
    virtual void updatehandles() {}

    // ---- plain accessors
    QPen pen() const { return m_pen; }
    void setPen(const QPen &pen) { m_pen = pen; }
    QColor penColor() const { return m_pen.color(); }
    QBrush brush() const { return m_brush; }
    void setBrush(const QBrush &brush) { m_brush = brush; }
    QColor brushColor() const { return m_brush.color(); }
    void setBrushColor(const QColor &color) { m_brush.setColor(color); }
    qreal width() const { return m_width; }
    qreal height() const { return m_height; }
    void setWidth(double width)
    {
        m_width = width;
        updateCoordinate();
    }
    void setHeight(double height)
    {
        m_height = height;
        updateCoordinate();
    }
    int getItemId() const { return m_nId; }
    void setItemId(int nId) { m_nId = nId; }
    int getItemType() const { return m_nType; }
    void setItemType(int nType) { m_nType = nType; }
    qint64 getItemDuraTime() const { return qint64(m_dWaitTime); }
    QString getItemShowName() const { return m_strShowName; }
    bool isEnd() const { return m_bIsEnd; }
    const Handles &handles() const { return m_handles; }

    // Direction of the handle under a scene point (last handle first), 0 when none. Hidden
    // handles are found too.
    int collidesWithHandle(const QPointF &scenePoint) const;

    // ---- attributes (public: the device worker, the scene and the pages set them directly)
    double m_dWaitTime = 3.0;
    int m_nMarins = 0;
    bool m_bShowNormal = true;
    QPen m_penLine;
    QString m_strFilePath;
    QString m_strShowName;
    QColor m_lineColor;
    QColor m_transColor;
    int m_nLineWidth = 0;
    int m_nTransNum = 255;
    int m_nLightNum = 255;
    int m_nCmpareNum = 0;
    QTime m_timeStart;
    bool m_bIsChange = false;
    int m_nShowStyle = 0;
    int m_nInSpeed = 0;
    int m_nOutSpeed = 0;
    bool m_bStop = false;
    bool m_bPlay = false;
    bool m_bPause = false;
    bool m_bPreview = false;
    int m_nFontSize = 0;
    QString m_strFontName;
    QColor m_bkColor;
    bool m_bTrans = false;
    int m_nRound = 0;
    bool m_bKeep = false;
    QBrush m_brush;
    QPen m_pen;
    Handles m_handles;
    QRectF m_localRect;
    double m_width = 0;
    double m_height = 0;
    int m_nId = 0;
    int m_nType = 0;
    bool m_bIsEnd = false;
    float m_fScaleFactor = 3.0f;

    // Reads position, stacking, rotation and size from the item's XML element.
    bool readBaseAttributes(QXmlStreamReader *pReader);
    // Takes the other item's frame, colours, transparency, brightness, timing, entry style and pen.
    void copyShownAttributes(const CEditAbstractItem<T> &other);

protected:
    // The eight dot handles, directions 1 to 8 in list order, children of this item.
    void createHandles();
    // Every handle takes the state.
    void setHandlesState(EditSelectionHandleState state);
    // Places the handles on a rectangle by direction; bAll false places only 4 and 8.
    void placeHandles(const QRectF &r, bool bAll = true);
};

// ---------------------------------------------------------------- template implementation

template <typename T>
CEditAbstractItem<T>::CEditAbstractItem(QGraphicsItem *parent)
    : T(parent)
    , m_pen(Qt::NoPen)
{
    // A random opaque colour in steps of 8, drawn blue first, then green, then red.
    const int b = (std::rand() % 32) * 8;
    const int g = (std::rand() % 32) * 8;
    const int r = (std::rand() % 32) * 8;
    m_brush = QBrush(QColor(r, g, b), Qt::SolidPattern);
}

template <typename T>
QPointF CEditAbstractItem<T>::handlePos(int nDirection) const
{
    for (int i = m_handles.size() - 1; i >= 0; --i)
        if (m_handles.at(i)->dir() == nDirection)
            return m_handles.at(i)->pos();
    return QPointF();
}

template <typename T>
QPointF CEditAbstractItem<T>::opposite(int handle) const
{
    if (handle < 1 || handle > 8)
        return QPointF();
    const int nIndex = (handle + 3) % 8;
    if (nIndex >= m_handles.size())
        return QPointF();
    return m_handles.at(nIndex)->pos();
}

template <typename T>
int CEditAbstractItem<T>::collidesWithHandle(const QPointF &scenePoint) const
{
    for (int i = m_handles.size() - 1; i >= 0; --i) {
        CEditSizeHandleRect *h = m_handles.at(i);
        if (h->contains(h->mapFromScene(scenePoint)))
            return h->dir();
    }
    return 0;
}

template <typename T>
bool CEditAbstractItem<T>::readBaseAttributes(QXmlStreamReader *pReader)
{
    if (!pReader)
        return false;
    const QXmlStreamAttributes attrs = pReader->attributes();
    const double x = g_itemXmlNumber(attrs, "x");
    const double y = g_itemXmlNumber(attrs, "y");
    m_width = g_itemXmlNumber(attrs, "width");
    m_height = g_itemXmlNumber(attrs, "height");
    T::setZValue(g_itemXmlNumber(attrs, "z"));
    T::setRotation(g_itemXmlNumber(attrs, "rotate"));
    T::setPos(x, y);
    return true;
}

template <typename T>
void CEditAbstractItem<T>::copyShownAttributes(const CEditAbstractItem<T> &other)
{
    m_bShowNormal = other.m_bShowNormal;
    m_lineColor = other.m_lineColor;
    m_transColor = other.m_transColor;
    m_nLineWidth = other.m_nLineWidth;
    m_nTransNum = other.m_nTransNum;
    m_nLightNum = other.m_nLightNum;
    m_nCmpareNum = other.m_nCmpareNum;
    m_timeStart = other.m_timeStart;
    m_dWaitTime = other.m_dWaitTime;
    m_nShowStyle = other.m_nShowStyle;
    m_nInSpeed = other.m_nInSpeed;
    m_penLine = other.m_penLine;
}

template <typename T>
void CEditAbstractItem<T>::createHandles()
{
    m_handles.reserve(8);
    for (int d = 1; d <= 8; ++d)
        m_handles.append(new CEditSizeHandleRect(this, d, true));
}

template <typename T>
void CEditAbstractItem<T>::setHandlesState(EditSelectionHandleState state)
{
    for (CEditSizeHandleRect *h : m_handles)
        h->setState(state);
}

template <typename T>
void CEditAbstractItem<T>::placeHandles(const QRectF &r, bool bAll)
{
    const qreal x = r.x(), y = r.y(), w = r.width(), h = r.height();
    for (CEditSizeHandleRect *hd : m_handles) {
        const int d = hd->dir();
        if (!bAll && d != 4 && d != 8)
            continue;
        switch (d) {
        case 1: hd->move(x, y); break;
        case 2: hd->move(x + w / 2, y); break;
        case 3: hd->move(x + w, y); break;
        case 4: hd->move(x + w, y + h / 2); break;
        case 5: hd->move(x + w, y + h); break;
        case 6: hd->move(x + w / 2, y + h); break;
        case 7: hd->move(x, y + h); break;
        case 8: hd->move(x, y + h / 2); break;
        default: break;
        }
    }
}

// ---------------------------------------------------------------- CEditBaseItem

class CEditBaseItem : public QObject, public CEditAbstractItem<QGraphicsItem>
{
    Q_OBJECT
public:
    enum { Type = EditItemType_Base };

    explicit CEditBaseItem(QGraphicsItem *parent = nullptr);
    ~CEditBaseItem() override;

    int type() const override { return Type; }
    virtual QPixmap image();
    virtual void setItemState(EditSelectionHandleState state) = 0;
    virtual void setItemFile(const QString &strFile) = 0;
    virtual void setFullScreen(bool bFull);
    virtual void updateItemData(CEditBaseItem *pOther);
    virtual QJsonObject saveToJson();
    virtual bool loadFromJson(const Json &json);
    virtual void setParentData(CEditBaseItem &other);
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    void updatehandles() override;
    void contextMenuEvent(QGraphicsSceneContextMenuEvent *event) override;

    // Sets the 27 keys of the base item object in o (keys already there are replaced).
    void writeBaseJson(QJsonObject &o);
    bool writeBaseAttributes(QXmlStreamWriter *pWriter);
    void initParam();
    // Moves the centre to p; the top-left corner stays at or right of and below (0, 0), or
    // (5, 20) outside normal show mode. The right and bottom edges are not limited.
    void moveItem(const QPointF &p);
    void setItemRotation(double dAngle);
    void setChange(bool bChanged);
    bool isPlaying() const { return m_bPlay; }

    // Safe deletion helper for the scene's owner: a selected item first tells the property
    // stack that nothing is selected, so no page keeps pointing at it.
    static void releaseSelection(QGraphicsItem *pItem);

    // A stretch scales from a rectangle at least this wide and high (scene units).
    static constexpr double kMinStretchSize = 10.0;

    bool m_bIsMove = false;
    double m_fRatioY = 0;
    double m_fRatioX = 0;
    QRectF m_initialRect;
    QPointF m_opposite_;
    QPointF m_originPoint;
    QPixmap m_drawPixmap;
    double m_dAngleRotate = 0;

    // ---- device geometry (device pixels = scene units x g_dWScale / g_dHScale, half away from zero)
    // Top-left of the item as drawn, in device pixels (right during a resize gesture too).
    void getItemPos(int &x, int &y) const;
    // Size of rect() in device pixels.
    void getItemSize(int &w, int &h) const;
    // The scene position (centre) that moveItem takes for an item whose top-left lies at these
    // device pixels; the item's size must be set first. False (and nothing written) while a
    // scale factor is still 0.
    bool getZoomOutPos(int x, int y, double &px, double &py) const;
    // Scene length to device pixels, half away from zero.
    static int toDevice(double v, double dScale);

signals:
    void selectedChange(QGraphicsItem *item);

protected:
    // From the item's position to its top-left, in scene units.
    QPointF centreOffset() const;
    // A duplicate takes the item's size, place, pen, brush, transform and ratios, one step above it.
    void copyPlacementTo(CEditBaseItem *pItem) const;
    // A window item's stretch once its handle has fixed sx and sy: scales the rectangle the
    // gesture started from about origin. Non-finite factors and starts under 10 change nothing.
    void stretchFromInitial(double sx, double sy, const QPointF &origin);
    // After a size change: the transform origin (rotation centre) goes back to the middle
    // without the item moving on the scene.
    void centreTransformOrigin();
};

#endif // EDITBASEITEM_H
