#include "EditSingleTextItem.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QTimer>
#include <QtDebug>

#include <algorithm>
#include <cmath>

#include "BesMessageBox.h"
#include "DeviceRecords.h"
#include "EditBaseScene.h"
#include "Json.h"
#include "QorGlobal.h"
#include "globalObserver.h"
#include "WireBytes.h"

using WireBytes::appendBe16;

namespace {

void logLine(const QString &strText)
{
    qInfo().noquote() << QString("[%1]: ").arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss")) + strText;
}

const QString kLayerCmd = QString::fromUtf8("图层设置");

} // namespace

QRectF RecalcBounds(const QPolygonF &polygon)
{
    if (polygon.isEmpty())
        return QRectF();
    QPointF tl = polygon.first(), br = polygon.first();
    for (const QPointF &p : polygon) {
        tl.setX(std::min(tl.x(), p.x()));
        tl.setY(std::min(tl.y(), p.y()));
        br.setX(std::max(br.x(), p.x()));
        br.setY(std::max(br.y(), p.y()));
    }
    return QRectF(tl, br).normalized();
}

CEditSingleTextItem::CEditSingleTextItem(const QRect &rect, bool bShowNormal, QGraphicsItem *parent)
    : CEditBaseItem(parent)
{
    // "00:01" and "00:05" do not match "hh:mm:ss": neither time is valid.
    m_startTime = QTime();
    m_endTime = QTime();
    m_strTextLanguagewidth = QString::fromUtf8("宽");
    m_strTextLanguageheight = QString::fromUtf8("高");
    m_width = rect.width();
    m_height = rect.height();
    m_localRect = rect;
    m_initialRect = rect;
    m_originPoint = QPointF(0, 0);
    m_bShowNormal = bShowNormal;
    m_nFontSize = 12;

    // The timer belongs to the item and ends with it.
    m_pTimer = new QTimer(this);
    connect(m_pTimer, &QTimer::timeout, this, [this]() { onTick(); });
    m_pTimer->start(500);
}

CEditSingleTextItem::~CEditSingleTextItem()
{
    m_pTimer->stop();
}

CEditSingleTextItem &CEditSingleTextItem::operator=(CEditSingleTextItem &other)
{
    if (this != &other)
        setParentData(other);
    return *this;
}

void CEditSingleTextItem::onTick()
{
    --m_nTimer;
    if (m_nTimer > 0 && !m_bUpdateNow)
        return;
    refreshLabel();
}

void CEditSingleTextItem::refreshLabel()
{
    m_nTimer = 10;
    m_bUpdateNow = false;
    globalObserver *pHub = globalObserver::getGlobalObserver();
    int nMainSig = m_nMainSig;
    QString strSerial = m_strSerial;
    pHub->notify("slot_getMainSigInputSource", Q_ARG(int, nMainSig), Q_ARG(QString &, m_strTextContent),
                 Q_ARG(QString, strSerial));
    int nType = 0;
    pHub->notify("slot_getEditSingleTextItemstrTextLanguage", Q_ARG(int, nType),
                 Q_ARG(QString &, m_strTextLanguagewidth), Q_ARG(QString &, m_strTextLanguageheight));
    // A refresh that leaves the item as it was shown at the last one repaints nothing; a change
    // made since without a repaint of its own is shown now, as before.
    const QString strShown = shownState();
    if (strShown == m_strRefreshed)
        return;
    m_strRefreshed = strShown;
    update();
}

QStringList CEditSingleTextItem::labelLines() const
{
    int w, h;
    getItemSize(w, h);
    return {QString("[L%1]").arg(zValue(), 0, 'g', -1),
            QString("[%1:%2 %3:%4]").arg(m_strTextLanguagewidth, QString::number(w), m_strTextLanguageheight, QString::number(h)),
            QString("[%1]").arg(m_strTextContent)};
}

QString CEditSingleTextItem::shownState() const
{
    const QRectF rt = rect();
    return labelLines().join(QLatin1Char('\n'))
           + QStringLiteral("\n%1 %2 %3 %4 %5 %6 %7 %8 %9")
                 .arg(m_nTransNum)
                 .arg(m_nLineWidth)
                 .arg(m_lineColor.rgba())
                 .arg(m_crNormal.rgba())
                 .arg(m_nFontSize)
                 .arg(int(isSelected()))
                 .arg(rt.width())
                 .arg(rt.height())
                 .arg(m_strFontName)
           + QStringLiteral(" %1 %2 %3 %4").arg(rt.x()).arg(rt.y()).arg(m_fontColor.rgba()).arg(m_bkColor.rgba());
}

void CEditSingleTextItem::setItemMainSig(int n)
{
    m_nMainSig = n;
    m_nBackupSig = n == 0 ? n + 1 : n - 1;
}

void CEditSingleTextItem::setItemFile(const QString &strPath)
{
    if (strPath == m_strFilePath)
        return;
    m_strShowName = QFileInfo(strPath).fileName();
    m_strFilePath = strPath;
}

void CEditSingleTextItem::setItemState(EditSelectionHandleState state)
{
    setHandlesState(state);
}

// ---------------------------------------------------------------- geometry

QRectF CEditSingleTextItem::boundingRect() const
{
    // Everything painted: the outline (half the line width outside), the frame of an item
    // without signal one unit right and down, the fill and the selection frame.
    const qreal p = m_nLineWidth / 2 + 1;
    return m_localRect.adjusted(-p, -p, p + 1, p + 1);
}

QPainterPath CEditSingleTextItem::shape() const
{
    QPainterPath path;
    path.addRect(rect());
    return path;
}

QString CEditSingleTextItem::displayName() const
{
    return tr("single item");
}

void CEditSingleTextItem::control(int dir, const QPointF &point)
{
    Q_UNUSED(dir)
    Q_UNUSED(point)
    prepareGeometryChange();
    updatehandles();
}

void CEditSingleTextItem::stretch(int handle, double sx, double sy, const QPointF &origin)
{
    switch (handle) {
    case 2:
    case 6:
        sx = 1.0;
        break;
    case 4:
    case 8:
        sy = 1.0;
        break;
    default:
        break;
    }
    // A handle dragged up to or past the opposite edge leaves the layer at the smallest size a
    // stretch still works from, on its own side: never folded over, never too small to send or to
    // take hold of again.
    const QRectF rtFrom = m_initialRect;
    if (rtFrom.width() >= kMinStretchSize && rtFrom.height() >= kMinStretchSize) {
        sx = std::max(sx, kMinStretchSize / rtFrom.width());
        sy = std::max(sy, kMinStretchSize / rtFrom.height());
    }
    stretchFromInitial(sx, sy, origin);
}

void CEditSingleTextItem::updateCoordinate()
{
    centreTransformOrigin();
}

void CEditSingleTextItem::move(const QPointF &delta)
{
    moveBy(delta.x(), delta.y());
}

QGraphicsItem *CEditSingleTextItem::duplicate() const
{
    CEditSingleTextItem *pItem = new CEditSingleTextItem(rect().toRect(), m_bShowNormal);
    copyPlacementTo(pItem);
    return pItem;
}

void CEditSingleTextItem::updatehandles()
{
    placeHandles(rect());
}

// ---------------------------------------------------------------- device geometry

bool CEditSingleTextItem::isCrossCanvas() const
{
    int x, y, w, h;
    getItemPos(x, y);
    getItemSize(w, h);
    const int m = g_rtBackCanvas.width() / 2;
    return x < m && m < x + w;
}

bool CEditSingleTextItem::clampToCanvas(int &x, int &y, int &w, int &h) const
{
    const int W = g_rtBackCanvas.width();
    const int H = g_rtBackCanvas.height();
    if (x >= 0 && x + w > W)
        w = W - x;
    if (y >= 0 && y + h > H)
        h = H - y;
    if (x < 0) {
        w += x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        y = 0;
    }
    // A layer that overhangs both edges ends at the far edge too.
    if (x + w > W)
        w = W - x;
    if (y + h > H)
        h = H - y;
    return w > 0 && h > 0;
}

void CEditSingleTextItem::showSentGeometry(int x, int y, int w, int h)
{
    int x0, y0, w0, h0;
    getItemPos(x0, y0);
    getItemSize(w0, h0);
    if ((x0 == x && y0 == y && w0 == w && h0 == h) || !(g_dWScale > 0) || !(g_dHScale > 0))
        return;
    // The device holds the part inside its canvas: the canvas and the layer page show that part.
    setWidth(w / g_dWScale);
    setHeight(h / g_dHScale);
    double sx = 0, sy = 0;
    if (getZoomOutPos(x, y, sx, sy))
        moveItem(QPointF(sx, sy));
    bool bPos = true;
    globalObserver::getGlobalObserver()->notify("slot_updateItemPos", Q_ARG(bool, bPos));
}

// ---------------------------------------------------------------- layer commands

void CEditSingleTextItem::sendItemCmd(const QString &strName, QByteArray &payload, int nReadOrWrite, int nSub)
{
    QString strSerial = m_strSerial;
    QString strCmd = strName;
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial), Q_ARG(QString, strCmd),
                                                Q_ARG(QByteArray &, payload), Q_ARG(int, nReadOrWrite),
                                                Q_ARG(int, nSub));
}

bool CEditSingleTextItem::setLayerAllCmd()
{
    int x, y, w, h;
    getItemPos(x, y);
    getItemSize(w, h);
    // The same clamp as the position command: nothing outside the canvas, no wrapped values.
    if (!clampToCanvas(x, y, w, h)) {
        logLine(QString("layer %1 lies outside the device canvas, not sent").arg(m_nId));
        return false;
    }
    QByteArray p;
    p.append(char(m_nId));
    p.append(char(m_nLayerState));
    p.append(char(int(zValue())));
    p.append(char(m_nMainSig));
    p.append(char(m_nBackupSig));
    p.append(char(m_nTransNum));
    appendBe16(p, x);
    appendBe16(p, y);
    appendBe16(p, w);
    appendBe16(p, h);
    p.append(char(m_nCut));
    appendBe16(p, m_nCutX);
    appendBe16(p, m_nCutY);
    appendBe16(p, m_nCutWidth);
    appendBe16(p, m_nCutHeight);
    sendItemCmd(kLayerCmd, p, 2, 0);
    showSentGeometry(x, y, w, h);
    return true;
}

void CEditSingleTextItem::setLayerEnable(int nState)
{
    m_nLayerState = nState;
    QByteArray p;
    p.append(char(m_nId));
    p.append(char(m_nLayerState));
    sendItemCmd(kLayerCmd, p, 2, 1);
}

void CEditSingleTextItem::setLayerLevel(int nLevel)
{
    QByteArray p;
    p.append(char(m_nId));
    p.append(char(nLevel));
    sendItemCmd(kLayerCmd, p, 2, 2);
    readSceneBack();
}

void CEditSingleTextItem::readSceneBack()
{
    if (CEditBaseScene *pScene = dynamic_cast<CEditBaseScene *>(scene())) {
        QByteArray read(1, char(pScene->getSceneID()));
        sendItemCmd(QString::fromUtf8("场景操作"), read, 1, 0);
    }
}

bool CEditSingleTextItem::setLayerSig(int nSource)
{
    if (nSource == m_nMainSig)
        return true;
    // No layer write names an input the device it goes to does not report (one back with fewer
    // inputs); a device that reported none yet is not judged.
    if (const CDeviceRecords *pDevice = CDeviceRecords::find(m_strSerial)) {
        const DeviceInfo *pInfo = pDevice->deviceRecord();
        if (!pInfo->vectorInput.isEmpty() && !pInfo->findInput(nSource)) {
            logLine(QString("layer %1: the device has no input %2, source not sent").arg(m_nId).arg(nSource));
            return false;
        }
    }
    m_nMainSig = nSource;
    QByteArray p;
    p.append(char(m_nId));
    p.append(char(m_nMainSig));
    sendItemCmd(kLayerCmd, p, 2, 3);
    return true;
}

bool CEditSingleTextItem::setLayerPosAndSize()
{
    // What the canvas shows, whichever edge or handle changed last.
    int x, y, w, h;
    getItemPos(x, y);
    getItemSize(w, h);
    if (!clampToCanvas(x, y, w, h)) {
        logLine(QString("layer %1 lies outside the device canvas, position not sent").arg(m_nId));
        // The device keeps the layer where it was: read the scene, and the canvas shows it there.
        readSceneBack();
        return false;
    }
    logLine(QString::fromUtf8("图层设置 - 写图层nid顺序") + QString::number(m_nId));
    QByteArray p;
    p.append(char(m_nId));
    appendBe16(p, x);
    appendBe16(p, y);
    appendBe16(p, w);
    appendBe16(p, h);
    sendItemCmd(kLayerCmd, p, 2, 10);
    showSentGeometry(x, y, w, h);
    return true;
}

bool CEditSingleTextItem::setLayerCut(int x, int y, int w, int h)
{
    int lw, lh;
    getItemSize(lw, lh);
    const bool bEnglish = g_strLanguage == QLatin1String("English");
    const QString strTitle = bEnglish ? QString("Delivery failure") : QString::fromUtf8("下发失败");
    if (x < 0 || y < 0) {
        BesMessageBox::tipInfor(strTitle, bEnglish ? QString("The starting coordinates must not be negative")
                                                   : QString::fromUtf8("起始坐标不得为负数"));
        return false;
    }
    // The crop must be a real rectangle inside the layer.
    if (w <= 0 || h <= 0 || w > lw || h > lh || x + w > lw || y + h > lh) {
        BesMessageBox::tipInfor(strTitle, bEnglish ? QString("The width and height values are out of range")
                                                   : QString::fromUtf8("输入宽高值不在有效范围内"));
        return false;
    }
    QByteArray p;
    p.append(char(m_nId));
    p.append(char(1));
    appendBe16(p, x);
    appendBe16(p, y);
    appendBe16(p, w);
    appendBe16(p, h);
    sendItemCmd(kLayerCmd, p, 2, 20);
    return true;
}

void CEditSingleTextItem::setLayerTrans()
{
    // The device takes 0 to 255; a value outside never wraps round to its low byte.
    m_nTransNum = qBound(0, m_nTransNum, 255);
    QByteArray p;
    p.append(char(m_nId));
    p.append(char(m_nTransNum));
    sendItemCmd(kLayerCmd, p, 2, 30);
}

// ---------------------------------------------------------------- persistence

QJsonObject CEditSingleTextItem::saveToJson()
{
    // Filling a copy of an object that already holds every key replaces values in place
    // instead of growing the object key by key.
    static const QJsonObject s_prototype = [] {
        QJsonObject o;
        for (const char *psz : {"Id", "Type", "X", "Y", "Z", "Width", "Height", "Rotation", "WaitTime", "Marins",
                                "FilePath", "ShowName", "LineColor", "TransColor", "BkColor", "LineWidth", "TransNum",
                                "LightNum", "CmpareNum", "TimeStart", "ShowStyle", "InSpeed", "OutSpeed", "FontSize",
                                "FontName", "Trans", "Round", "InStyle", "Textcontent", "TextFile", "TextFont",
                                "TextFontColor", "TextSpaceing", "TextRowHeight", "TextBkColor"})
            o.insert(QLatin1String(psz), QJsonValue());
        return o;
    }();
    QJsonObject o = s_prototype;
    writeBaseJson(o);
    o["InStyle"] = m_nShowStyle;
    o["Textcontent"] = m_strTextContent;
    o["TextFile"] = m_strFilePath;
    o["TextFont"] = m_font.family();
    o["TextFontColor"] = g_itemColorToText(m_fontColor);
    o["TextSpaceing"] = m_nTextSpaceing;
    o["TextRowHeight"] = m_nRowHeight;
    o["TextBkColor"] = g_itemColorToText(m_bkColor);
    return o;
}

bool CEditSingleTextItem::loadFromJson(const Json &json)
{
    CEditBaseItem::loadFromJson(json);
    QFont font;
    if (font.fromString(json.getString(QStringLiteral("TextFont"))))
        m_font = font;
    setItemFile(json.getString(QStringLiteral("TextFile")));
    m_nShowStyle = json.getInt(QStringLiteral("InStyle"), 0);
    m_strTextContent = json.getString(QStringLiteral("Textcontent"));
    m_nTextSpaceing = json.getInt(QStringLiteral("TextSpaceing"), 0);
    m_nRowHeight = json.getInt(QStringLiteral("TextRowHeight"), 0);
    m_fontColor = g_itemColorFromText(json.getString(QStringLiteral("TextFontColor")));
    m_bkColor = g_itemColorFromText(json.getString(QStringLiteral("TextBkColor")));
    return true;
}

// ---------------------------------------------------------------- painting

void CEditSingleTextItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    Q_UNUSED(option)
    Q_UNUSED(widget)
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (m_nLineWidth > 0) {
        const int p = m_nLineWidth / 2;
        m_penLine.setColor(m_lineColor);
        m_penLine.setWidth(m_nLineWidth);
        painter->setPen(m_penLine);
        painter->drawRect(rect().adjusted(-p, -p, -p, -p));
    }
    const bool bSignal = m_strTextContent.contains(QLatin1Char('@'));
    if (bSignal) {
        m_bkColor = m_crNormal.lighter(isSelected() ? 120 : 100);
        m_fontColor = QColor(255, 255, 255);
    } else {
        m_bkColor = QColor(35, 35, 35);
        m_fontColor = QColor(131, 131, 131);
    }
    drawSingleText(painter);
    if (!bSignal && !isSelected()) {
        painter->setOpacity(1.0);
        painter->setPen(QPen(QColor(169, 169, 169), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect().adjusted(1, 1, 1, 1));
    }
    if (isSelected()) {
        const QRectF mapped = painter->transform().mapRect(QRectF(0, 0, 1, 1));
        const QRectF bound = painter->transform().mapRect(rect());
        if (!qFuzzyIsNull(std::max(mapped.width(), mapped.height())) && std::min(bound.width(), bound.height()) >= 1.0) {
            const int p = m_nLineWidth / 2;
            m_penLine.setColor(m_lineColor);
            m_penLine.setWidth(m_nLineWidth);
            painter->setOpacity(1.0);
            painter->setPen(m_penLine);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(rect().adjusted(-p, -p, p, p));
        }
    }
    setItemState(isSelected() ? EditSelectionHandleActive : EditSelectionHandleOff);
}

void CEditSingleTextItem::drawSingleText(QPainter *painter)
{
    m_font = QFont(m_strFontName, m_nFontSize);
    painter->setOpacity(m_nTransNum / 255.0);
    const int p = m_nLineWidth / 2;
    painter->fillRect(rect().adjusted(p, p, p, p), QBrush(m_bkColor));
    painter->setPen(m_fontColor);
    painter->setFont(m_font);
    const QStringList listLines = labelLines();
    const int nLine = QFontMetrics(m_font).boundingRect(listLines.first()).height();
    const int nLeft = int(rect().x() + 5.0);
    const int nWidth = int(rect().width());
    int nTop = int(rect().y() + 5.0);
    for (const QString &s : listLines) {
        painter->drawText(QRect(nLeft, nTop, nWidth, nLine), Qt::AlignLeft, s);
        nTop += nLine;
    }
    m_bIsEnd = true;
}

CEditSingleTextItem *CEditSingleTextItem::fromItem(QGraphicsItem *pItem)
{
    if (!pItem || pItem->type() != EditItemType_Base)
        return nullptr;
    auto *pBase = static_cast<CEditBaseItem *>(pItem);
    if (pBase->getItemType() != MediaType_SingleText)
        return nullptr;
    return qobject_cast<CEditSingleTextItem *>(pBase);
}
