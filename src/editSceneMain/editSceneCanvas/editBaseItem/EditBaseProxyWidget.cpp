#include "EditBaseProxyWidget.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QWidget>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

#include "Json.h"
#include "QorGlobal.h"

CEditBaseProxyWidget::CEditBaseProxyWidget(QGraphicsItem *parent)
    : CEditAbstractItem<QGraphicsProxyWidget>(parent)
{
    createHandles();
    setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable | QGraphicsItem::ItemSendsGeometryChanges);
    setAcceptHoverEvents(true);
    initParam();
}

CEditBaseProxyWidget::~CEditBaseProxyWidget()
{
    // The frame is a scene item of its own: it goes with the item.
    if (m_pProxyWidgetFrame) {
        if (m_pProxyWidgetFrame->scene())
            m_pProxyWidgetFrame->scene()->removeItem(m_pProxyWidgetFrame);
        delete m_pProxyWidgetFrame;
        m_pProxyWidgetFrame = nullptr;
    }
}

void CEditBaseProxyWidget::initParam()
{
    m_dAngleRotate = 0.0;
    m_dVolume = 0.0;
    m_pProxyWidgetFrame = nullptr;
    m_bMute = false;
    m_bIsChange = false;
    m_strShowName.clear();
    m_strFilePath.clear();
    m_bShowNormal = true;
    m_lineColor = QColor(0, 255, 0);
    m_transColor = QColor(255, 255, 0);
    m_nLineWidth = 0;
    m_nTransNum = 255;
    m_nLightNum = 255;
    m_nCmpareNum = 10;
    m_timeStart = QTime();
    m_dWaitTime = 2.0;
    m_nShowStyle = 0;
    m_nInSpeed = 5;
    m_bStop = m_bPlay = m_bPause = m_bPreview = false;
    m_penLine = QPen(QBrush(m_lineColor), m_nLineWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QPixmap CEditBaseProxyWidget::image()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    setPen(QPen(QColor(Qt::black)));
    setBrush(QBrush(Qt::white));
    return pixmap;
}

void CEditBaseProxyWidget::setItemState(EditSelectionHandleState state)
{
    setHandlesState(state);
}

void CEditBaseProxyWidget::setItemBorder(QGraphicsScene *pScene, bool bShow)
{
    if (bShow && !m_pProxyWidgetFrame) {
        m_pProxyWidgetFrame = new QGraphicsPathItem(shape());
        m_penLine.setWidth(m_nLineWidth);
        m_pProxyWidgetFrame->setPen(m_penLine);
        m_pProxyWidgetFrame->setPos(pos());
        m_pProxyWidgetFrame->setTransformOriginPoint(transformOriginPoint());
        m_pProxyWidgetFrame->setTransform(transform());
        m_pProxyWidgetFrame->setRotation(rotation());
        m_pProxyWidgetFrame->setScale(scale());
        m_pProxyWidgetFrame->setZValue(zValue() - 1.0);
        if (pScene)
            pScene->addItem(m_pProxyWidgetFrame);
    }
    if (bShow) {
        m_penLine.setColor(m_lineColor);
        m_penLine.setWidth(m_nLineWidth);
        m_pProxyWidgetFrame->setPen(m_penLine);
    } else if (m_pProxyWidgetFrame) {
        if (m_pProxyWidgetFrame->scene())
            m_pProxyWidgetFrame->scene()->removeItem(m_pProxyWidgetFrame);
        delete m_pProxyWidgetFrame;
        m_pProxyWidgetFrame = nullptr;
    }
    setHandlesState(bShow ? EditSelectionHandleActive : EditSelectionHandleOff);
}

void CEditBaseProxyWidget::moveItem(const QPointF &pos)
{
    setChange(true);
    setPos(pos);
    if (m_pProxyWidgetFrame)
        m_pProxyWidgetFrame->setPos(pos);
}

void CEditBaseProxyWidget::setItemRotation(qreal dAngle)
{
    if (dAngle == m_dAngleRotate)
        return;
    m_dAngleRotate = dAngle;
    setRotation(dAngle);
    if (m_pProxyWidgetFrame)
        m_pProxyWidgetFrame->setRotation(dAngle);
}

void CEditBaseProxyWidget::setChange(bool bChanged)
{
    g_bHadChange = bChanged;
    m_bIsChange = bChanged;
    update();
}

void CEditBaseProxyWidget::updatehandles()
{
    placeHandles(boundingRect());
}

void CEditBaseProxyWidget::updateItemData(CEditBaseProxyWidget *pOther)
{
    if (!pOther)
        return;
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
    m_penLine = pOther->m_penLine;
    if (pOther->m_dAngleRotate != m_dAngleRotate)
        setItemRotation(pOther->m_dAngleRotate);
    setZValue(pOther->zValue());
    update();
}

void CEditBaseProxyWidget::setParentData(CEditBaseProxyWidget &other)
{
    m_nId = other.m_nId;
    m_nType = other.m_nType;
    m_bIsChange = other.m_bIsChange;
    copyShownAttributes(other);
    m_bStop = other.m_bStop;
    m_bPlay = other.m_bPlay;
    m_bPause = other.m_bPause;
    m_bPreview = other.m_bPreview;
    const int x = int(other.pos().x() * g_dWScale);
    const int y = int(other.pos().y() * g_dHScale);
    const int w = int(g_dWScale * other.m_width);
    const int h = int(g_dHScale * other.m_height);
    setWidth(w);
    setHeight(h);
    setPos(x, y);
    setItemRotation(other.m_dAngleRotate);
    setZValue(other.zValue());
}

void CEditBaseProxyWidget::setFullScreen(bool bFull)
{
    const double s = m_fScaleFactor;
    int x, y, w, h;
    if (bFull) {
        x = int(pos().x() * s);
        y = int(pos().y() * s);
        w = int(s * m_width);
        h = int(s * m_height);
    } else {
        x = int(pos().x() / s);
        y = int(pos().y() / s);
        w = int(m_width / s);
        h = int(m_height / s);
    }
    setWidth(w);
    setHeight(h);
    setPos(x, y);
    if (widget())
        widget()->move(x, y);
    if (m_pProxyWidgetFrame) {
        m_pProxyWidgetFrame->setPos(x, y);
        m_pProxyWidgetFrame->setPath(shape());
    }
    update();
}

QJsonObject CEditBaseProxyWidget::saveToJson()
{
    // Literal keys: a document written in one language reads back in any other.
    QJsonObject o;
    o.insert("Id", m_nId);
    o.insert("Type", m_nType);
    o.insert("Rotation", rotation());
    o.insert("X", int(pos().x() + 0.5));
    o.insert("Y", int(pos().y() + 0.5));
    o.insert("Z", zValue());
    o.insert("Width", int(m_width + 0.5));
    o.insert("Height", int(m_height + 0.5));
    o.insert("FilePath", m_strFilePath);
    o.insert("LineColor", g_itemColorToText(m_lineColor));
    o.insert("LineWidth", m_nLineWidth);
    o.insert("TransColor", g_itemColorToText(m_transColor));
    o.insert("TranNum", m_nTransNum);
    o.insert("LightNum", m_nLightNum);
    o.insert("CmpareNum", m_nCmpareNum);
    o.insert("TimeStart", m_timeStart.isNull() ? QString() : m_timeStart.toString("HH:mm:ss"));
    return o;
}

bool CEditBaseProxyWidget::loadFromJson(const Json &json)
{
    m_nId = json.getInt("Id", 0);
    moveItem(QPointF(json.getInt("X", 0), json.getInt("Y", 0)));
    setZValue(json.getDouble("Z", 0.0));
    setWidth(json.getInt("Width", 0));
    setHeight(json.getInt("Height", 0));
    setItemRotation(json.getDouble("Rotation", 0.0));
    m_lineColor = g_itemColorFromText(json.getString("LineColor"));
    m_nLineWidth = json.getInt("LineWidth", 0);
    m_transColor = g_itemColorFromText(json.getString("TransColor"));
    m_nTransNum = json.getInt("TranNum", 0);
    m_nLightNum = json.getInt("LightNum", 0);
    m_nCmpareNum = json.getInt("CmpareNum", 0);
    m_timeStart = QTime::fromString(json.getString("TimeStart"), "hh:mm:ss");
    return true;
}

QVariant CEditBaseProxyWidget::itemChange(GraphicsItemChange change, const QVariant &value)
{
    return QGraphicsItem::itemChange(change, value);
}

void CEditBaseProxyWidget::contextMenuEvent(QGraphicsSceneContextMenuEvent *event)
{
    Q_UNUSED(event)
}

bool CEditBaseProxyWidget::writeBaseAttributes(QXmlStreamWriter *pWriter)
{
    if (!pWriter)
        return false;
    pWriter->writeAttribute("rotate", QString("%1").arg(rotation()));
    pWriter->writeAttribute("x", QString("%1").arg(pos().x()));
    pWriter->writeAttribute("y", QString("%1").arg(pos().y()));
    pWriter->writeAttribute("z", QString("%1").arg(zValue()));
    pWriter->writeAttribute("width", QString("%1").arg(m_width));
    pWriter->writeAttribute("height", QString("%1").arg(m_height));
    return true;
}
