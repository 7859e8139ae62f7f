#include "EditBaseItem.h"

#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

#include "Json.h"
#include "QorGlobal.h"
#include "globalObserver.h"

namespace {

// Half up: add 0.5 and cut toward zero (so a negative value rounds toward zero).
int roundHalfUp(double v)
{
    return int(v + 0.5);
}

// A width or height in whole units: an item that exists is at least 1 wide and
// high, however thin it is on the canvas (a layer of one device pixel on a
// large screen, or one the device reported with no size), as a reader takes
// no item of size 0.
int sizeUnits(double v)
{
    return v >= 1.0 ? roundHalfUp(v) : 1;
}

const char *kTimePrefix = "yyyy-MM-dd ";

QString timeToText(const QTime &t)
{
    if (t.isNull())
        return QString();
    // The stored form keeps the literal date letters in front of the time of day.
    return QLatin1String(kTimePrefix) + t.toString(QStringLiteral("hh:mm:ss"));
}

QTime timeFromText(const QString &strText)
{
    const QString strPrefix = QLatin1String(kTimePrefix);
    if (!strText.startsWith(strPrefix))
        return QTime();
    return QTime::fromString(strText.mid(strPrefix.size()), QStringLiteral("hh:mm:ss"));
}

QString realText(double v)
{
    return QString::number(v, 'g', 6);
}

} // namespace

QString g_itemColorToText(const QColor &color)
{
    return QString::number(qRgb(color.red(), color.green(), color.blue()), 16);
}

double g_itemXmlNumber(const QXmlStreamAttributes &attrs, const char *pszName)
{
    bool bOk = false;
    const double v = attrs.value(QLatin1String(pszName)).toDouble(&bOk);
    return bOk && std::isfinite(v) ? v : 0.0;
}

QColor g_itemColorFromText(const QString &strText)
{
    bool bOk = false;
    const uint v = strText.toUInt(&bOk, 16);
    if (!bOk)
        return QColor(0, 0, 0);
    return QColor(qRed(v), qGreen(v), qBlue(v));
}

CEditBaseItem::CEditBaseItem(QGraphicsItem *parent)
    : QObject(nullptr)
    , CEditAbstractItem<QGraphicsItem>(parent)
{
    createHandles();
    setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable | QGraphicsItem::ItemSendsGeometryChanges);
    setAcceptHoverEvents(true);
    initParam();
}

CEditBaseItem::~CEditBaseItem() = default;

void CEditBaseItem::initParam()
{
    m_bIsMove = false;
    m_dAngleRotate = 0;
    m_nFontSize = 16;
    m_strFontName = QString::fromUtf8("仿宋");
    m_strShowName.clear();
    m_strFilePath.clear();
    m_bIsChange = false;
    m_nMarins = 0;
    m_bShowNormal = true;
    m_lineColor = QColor(0, 255, 0);
    m_transColor = QColor(255, 255, 0);
    m_nLineWidth = 0;
    m_nTransNum = 255;
    m_nLightNum = 255;
    m_nCmpareNum = 10;
    m_timeStart = QTime(); // "00:00" does not match "hh:mm:ss": no start time
    m_dWaitTime = 2.0;
    m_nShowStyle = 0;
    m_nInSpeed = 5;
    m_nOutSpeed = 0;
    m_nRound = 0;
    m_bStop = m_bPlay = m_bPause = m_bPreview = false;
    m_bTrans = true;
    m_bkColor = QColor(129, 180, 210);
    m_penLine = QPen(QBrush(m_lineColor), m_nLineWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QPixmap CEditBaseItem::image()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    setPen(QPen(QColor(Qt::black)));
    setBrush(QBrush(Qt::white));
    QStyleOptionGraphicsItem option;
    paint(&painter, &option, nullptr);
    return pixmap;
}

void CEditBaseItem::setFullScreen(bool bFull)
{
    const double f = m_fScaleFactor;
    double x, y, w, h;
    float fFont;
    if (bFull) {
        x = pos().x() * f;
        y = pos().y() * f;
        w = f * m_width;
        h = f * m_height;
        fFont = float(m_nFontSize) * m_fScaleFactor;
    } else {
        x = pos().x() / f;
        y = pos().y() / f;
        w = m_width / f;
        h = m_height / f;
        fFont = float(m_nFontSize) / m_fScaleFactor;
    }
    m_nFontSize = int(fFont);
    setWidth(int(w));
    setHeight(int(h));
    setPos(int(x), int(y));
    update();
}

void CEditBaseItem::updateItemData(CEditBaseItem *pOther)
{
    if (!pOther)
        return;
    const int x = int(pOther->pos().x() * g_dWScale);
    const int y = int(pOther->pos().y() * g_dHScale);
    const int w = int(pOther->width() * g_dWScale);
    const int h = int(pOther->height() * g_dHScale);
    m_nType = pOther->m_nType;
    m_nId = pOther->m_nId;
    m_nMarins = pOther->m_nMarins;
    m_bShowNormal = pOther->m_bShowNormal;
    m_lineColor = pOther->m_lineColor;
    m_transColor = pOther->m_transColor;
    m_nLineWidth = pOther->m_nLineWidth;
    m_nTransNum = pOther->m_nTransNum;
    m_nLightNum = pOther->m_nLightNum;
    m_nCmpareNum = pOther->m_nCmpareNum;
    m_timeStart = pOther->m_timeStart;
    m_dWaitTime = pOther->m_dWaitTime;
    m_nShowStyle = pOther->m_nShowStyle;
    m_nInSpeed = pOther->m_nInSpeed;
    m_bTrans = pOther->m_bTrans;
    m_bkColor = pOther->m_bkColor;
    m_penLine = pOther->m_penLine;
    setWidth(w);
    setHeight(h);
    setPos(x, y);
    if (!qFuzzyCompare(pOther->m_dAngleRotate + 1.0, m_dAngleRotate + 1.0)) {
        m_dAngleRotate = pOther->m_dAngleRotate;
        setRotation(m_dAngleRotate);
    }
    setZValue(pOther->zValue());
}

void CEditBaseItem::setParentData(CEditBaseItem &other)
{
    const int x = int(other.pos().x() * g_dWScale);
    const int y = int(other.pos().y() * g_dHScale);
    const int w = int(other.m_width * g_dWScale);
    const int h = int(other.m_height * g_dHScale);
    m_nType = other.m_nType;
    m_nId = other.m_nId;
    m_nMarins = other.m_nMarins;
    copyShownAttributes(other);
    m_bTrans = other.m_bTrans;
    m_bkColor = other.m_bkColor;
    setWidth(w);
    setHeight(h);
    setPos(x, y);
    m_dAngleRotate = other.m_dAngleRotate;
    setRotation(m_dAngleRotate);
    setZValue(other.zValue());
}

QVariant CEditBaseItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    // Inside a group the group is selected, never the member by itself.
    if (change == QGraphicsItem::ItemSelectedHasChanged && dynamic_cast<QGraphicsItemGroup *>(parentItem())) {
        if (value.toBool())
            setSelected(false);
        return QVariant(false);
    }
    return QGraphicsItem::itemChange(change, value);
}

void CEditBaseItem::updatehandles()
{
    placeHandles(boundingRect());
}

void CEditBaseItem::contextMenuEvent(QGraphicsSceneContextMenuEvent *event)
{
    Q_UNUSED(event)
}

void CEditBaseItem::moveItem(const QPointF &point)
{
    QPointF p = point;
    setChange(true);
    if (m_bShowNormal) {
        m_bIsMove = true;
        if (p.x() < m_width / 2)
            p.setX(m_width / 2);
        if (p.y() < m_height / 2)
            p.setY(m_height / 2);
    } else {
        if (p.x() < m_width / 2 + 5)
            p.setX(m_width / 2 + 5);
        if (p.y() < m_height / 2 + 20)
            p.setY(m_height / 2 + 20);
    }
    setPos(p);
}

void CEditBaseItem::setItemRotation(double dAngle)
{
    if (dAngle == m_dAngleRotate)
        return;
    m_dAngleRotate = dAngle;
    setRotation(dAngle);
}

void CEditBaseItem::setChange(bool bChanged)
{
    g_bHadChange = bChanged;
    m_bIsChange = bChanged;
    update();
}

void CEditBaseItem::releaseSelection(QGraphicsItem *pItem)
{
    if (pItem && pItem->isSelected()) {
        QGraphicsItem *pNone = nullptr;
        globalObserver::getGlobalObserver()->notify("slot_propertyDataChange", Q_ARG(QGraphicsItem *, pNone));
    }
}

// ---------------------------------------------------------------- persistence

QJsonObject CEditBaseItem::saveToJson()
{
    QJsonObject o;
    writeBaseJson(o);
    return o;
}

void CEditBaseItem::writeBaseJson(QJsonObject &o)
{
    o["Id"] = m_nId;
    o["Type"] = m_nType;
    o["X"] = roundHalfUp(pos().x() - m_width / 2);
    o["Y"] = roundHalfUp(pos().y() - m_height / 2);
    o["Z"] = zValue();
    o["Width"] = sizeUnits(m_width);
    o["Height"] = sizeUnits(m_height);
    o["Rotation"] = rotation();
    o["WaitTime"] = m_dWaitTime;
    o["Marins"] = m_nMarins;
    o["FilePath"] = m_strFilePath;
    o["ShowName"] = m_strShowName;
    o["LineColor"] = g_itemColorToText(m_lineColor);
    o["TransColor"] = g_itemColorToText(m_transColor);
    o["BkColor"] = g_itemColorToText(m_bkColor);
    o["LineWidth"] = m_nLineWidth;
    o["TransNum"] = m_nTransNum;
    o["LightNum"] = m_nLightNum;
    o["CmpareNum"] = m_nCmpareNum;
    o["TimeStart"] = timeToText(m_timeStart);
    o["ShowStyle"] = m_nShowStyle;
    o["InSpeed"] = m_nInSpeed;
    o["OutSpeed"] = m_nOutSpeed;
    o["FontSize"] = m_nFontSize;
    o["FontName"] = m_strFontName;
    o["Trans"] = m_bTrans;
    o["Round"] = m_nRound;
}

bool CEditBaseItem::loadFromJson(const Json &json)
{
    m_nId = json.getInt(QStringLiteral("Id"), 0);
    // Width and height, then one geometry rebuild (as setWidth and setHeight would give).
    m_width = json.getInt(QStringLiteral("Width"), 0);
    m_height = json.getInt(QStringLiteral("Height"), 0);
    updateCoordinate();
    setPos(json.getInt(QStringLiteral("X"), 0) + m_width / 2, json.getInt(QStringLiteral("Y"), 0) + m_height / 2);
    setZValue(json.getDouble(QStringLiteral("Z"), 0.0));
    setItemRotation(json.getDouble(QStringLiteral("Rotation"), 0.0));
    m_dWaitTime = json.getDouble(QStringLiteral("WaitTime"), 0.0);
    m_nMarins = json.getInt(QStringLiteral("Marins"), 0);
    m_strShowName = json.getString(QStringLiteral("ShowName"));
    m_lineColor = g_itemColorFromText(json.getString(QStringLiteral("LineColor")));
    m_nLineWidth = json.getInt(QStringLiteral("LineWidth"), 0);
    m_transColor = g_itemColorFromText(json.getString(QStringLiteral("TransColor")));
    m_bkColor = g_itemColorFromText(json.getString(QStringLiteral("BkColor")));
    m_nTransNum = json.getInt(QStringLiteral("TransNum"), 0);
    m_nLightNum = json.getInt(QStringLiteral("LightNum"), 0);
    m_nCmpareNum = json.getInt(QStringLiteral("CmpareNum"), 0);
    m_timeStart = timeFromText(json.getString(QStringLiteral("TimeStart")));
    m_nShowStyle = json.getInt(QStringLiteral("ShowStyle"), 0);
    m_nInSpeed = json.getInt(QStringLiteral("InSpeed"), 0);
    m_nOutSpeed = json.getInt(QStringLiteral("OutSpeed"), 0);
    m_nFontSize = json.getInt(QStringLiteral("FontSize"), 0);
    m_strFontName = json.getString(QStringLiteral("FontName"));
    m_bTrans = json.getBool(QStringLiteral("Trans"), false);
    m_nRound = json.getInt(QStringLiteral("Round"), 0);
    return true;
}

bool CEditBaseItem::writeBaseAttributes(QXmlStreamWriter *pWriter)
{
    if (!pWriter)
        return false;
    pWriter->writeAttribute("rotate", realText(rotation()));
    pWriter->writeAttribute("x", realText(pos().x()));
    pWriter->writeAttribute("y", realText(pos().y()));
    pWriter->writeAttribute("z", realText(zValue()));
    pWriter->writeAttribute("width", realText(m_width));
    pWriter->writeAttribute("height", realText(m_height));
    return true;
}

void CEditBaseItem::stretchFromInitial(double sx, double sy, const QPointF &origin)
{
    m_opposite_ = origin;
    if (!std::isfinite(sx) || !std::isfinite(sy))
        return;
    QTransform trans;
    trans.translate(origin.x(), origin.y());
    trans.scale(sx, sy);
    trans.translate(-origin.x(), -origin.y());
    if (m_initialRect.width() < kMinStretchSize || m_initialRect.height() < kMinStretchSize)
        return;
    prepareGeometryChange();
    m_localRect = trans.mapRect(m_initialRect);
    m_width = m_localRect.width();
    m_height = m_localRect.height();
    updatehandles();
}

void CEditBaseItem::centreTransformOrigin()
{
    prepareGeometryChange();
    m_localRect.setWidth(m_width);
    m_localRect.setHeight(m_height);
    const QPointF o = mapToScene(transformOriginPoint());
    const QPointF c = mapToScene(m_localRect.center());
    const QPointF d = o - c;
    m_initialRect = m_localRect;
    setTransform(transform().translate(d.x(), d.y()));
    setTransformOriginPoint(m_localRect.center());
    moveBy(-d.x(), -d.y());
    updatehandles();
}

int CEditBaseItem::toDevice(double v, double dScale)
{
    const double d = v * dScale;
    return v > 0 ? int(d + 0.5) : int(d - 0.5);
}

QPointF CEditBaseItem::centreOffset() const
{
    const QRectF r = rect();
    return mapToScene(QPointF(r.width() / 2, r.height() / 2)) - mapToScene(QPointF(0, 0));
}

void CEditBaseItem::getItemPos(int &x, int &y) const
{
    // The corner as drawn: during a resize the rectangle changes before the position is
    // re-centred at the release, so the position alone would be off by half the change.
    const QPointF tl = mapToScene(rect().topLeft());
    x = toDevice(tl.x(), g_dWScale);
    y = toDevice(tl.y(), g_dHScale);
}

void CEditBaseItem::getItemSize(int &w, int &h) const
{
    w = toDevice(rect().width(), g_dWScale);
    h = toDevice(rect().height(), g_dHScale);
}

bool CEditBaseItem::getZoomOutPos(int x, int y, double &px, double &py) const
{
    if (!(g_dWScale > 0) || !(g_dHScale > 0))
        return false;
    const QPointF d = centreOffset();
    px = x / g_dWScale + d.x();
    py = y / g_dHScale + d.y();
    return true;
}

void CEditBaseItem::copyPlacementTo(CEditBaseItem *pItem) const
{
    pItem->m_width = m_width;
    pItem->m_height = m_height;
    pItem->setPos(pos());
    pItem->setPen(pen());
    pItem->setBrush(brush());
    pItem->setTransform(transform());
    pItem->setTransformOriginPoint(transformOriginPoint());
    pItem->setRotation(rotation());
    pItem->setScale(scale());
    pItem->setZValue(zValue() + 0.1);
    pItem->m_fRatioY = m_fRatioY;
    pItem->m_fRatioX = m_fRatioX;
    pItem->updateCoordinate();
}
