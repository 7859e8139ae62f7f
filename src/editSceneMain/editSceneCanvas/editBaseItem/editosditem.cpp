#include "editosditem.h"

#include <QFileInfo>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include <cmath>

#include "BaseThread.h"
#include "DeviceLog.h"
#include "EditAnimation.h"
#include "EditBaseScene.h"
#include "EditItemFactory.h"
#include "globalObserver.h"
#include "TarnSceneStore.h"
#include "WireBytes.h"

using WireBytes::appendBe16;

namespace {

// The OSD item is the factory's kind 0.
const bool s_bRegistered = [] {
    CEditItemFactory::registerKind(MediaType_Pixmap, [](const QRect &rect, bool bShowNormal) -> CEditBaseItem * {
        return new EditOSDItem(rect, bShowNormal);
    });
    return true;
}();

} // namespace

EditOSDItem::EditOSDItem(const QRect &rect, bool bShowNormal, QGraphicsItem *parent)
    : CEditBaseItem(parent)
{
    Q_UNUSED(s_bRegistered)
    m_startTime = QTime::fromString("00:01", "hh:mm:ss");
    m_endTime = QTime::fromString("00:05", "hh:mm:ss");
    m_strTextLanguagewidth = QString::fromUtf8("宽");
    m_strTextLanguageheight = QString::fromUtf8("高");
    m_nId = 0;
    m_width = rect.width();
    m_height = rect.height();
    m_localRect = rect;
    m_initialRect = rect;
    m_originPoint = QPointF(0, 0);
    m_nFontSize = 12;
    m_bPreview = true;
    m_bShowNormal = bShowNormal;
    setAcceptedMouseButtons(Qt::LeftButton);
    setFlag(QGraphicsItem::ItemIsSelectable, true);

    m_pEditAnimation = new CEditAnimation(nullptr);
    // Frames are painted on the frame thread and arrive here queued, as copies.
    connect(m_pEditAnimation, &CEditAnimation::sig_drawFinish, this, &EditOSDItem::slot_getDrawPixmap);

    m_pThread = new CBaseThread(nullptr);
    CEditAnimation *pEngine = m_pEditAnimation;
    m_pThread->setHooks([this]() { initData(); }, [this]() { draw(); });
    m_pThread->setInterruptHooks([pEngine]() { pEngine->requestAbort(); }, [pEngine]() { pEngine->clearAbort(); });
    connect(this, &EditOSDItem::sig_playState, m_pThread, &CBaseThread::playState);
    m_pThread->start(QThread::InheritPriority);
}

EditOSDItem::~EditOSDItem()
{
    // The frame thread renders from this item: stop it and wait before anything goes.
    m_pThread->stopAndWait();
    delete m_pThread;
    m_pThread = nullptr;
    delete m_pEditAnimation;
    m_pEditAnimation = nullptr;
}

EditOSDItem &EditOSDItem::operator=(EditOSDItem &other)
{
    if (this != &other)
        setParentData(other);
    return *this;
}

// ---------------------------------------------------------------- frames

void EditOSDItem::setOSDPixmap(const QPixmap &pixmap)
{
    m_OSDPixmap = pixmap;
    m_pEditAnimation->setSourceImage(pixmap.toImage());
}

void EditOSDItem::initData()
{
    m_pEditAnimation->setAnimaStop();
}

void EditOSDItem::draw()
{
    QRect rect;
    {
        QMutexLocker lock(&m_drawMutex);
        rect = m_drawRect;
    }
    m_pEditAnimation->renderAnimation(rect, MoveLeftEffect, m_nDrawSpeed.load());
}

void EditOSDItem::preview()
{
    m_bPreview = true;
    {
        QMutexLocker lock(&m_drawMutex);
        m_drawRect = rect().toRect();
    }
    m_nDrawSpeed.store(m_nInSpeed);
    m_pEditAnimation->setPaceSpeed(g_nOSDSpeed);
    m_pEditAnimation->setSourceImage(m_OSDPixmap.toImage());
    emit sig_playState(ItemInit);
    emit sig_playState(ItemPreview);
    // a thread that was stopped is started again, after the states cleared its stop
    if (m_pThread && !m_pThread->isRunning())
        m_pThread->start(QThread::InheritPriority);
}

void EditOSDItem::stopScroll()
{
    // A pause, not a mere reset: it also takes back a preview the thread has not started yet.
    emit sig_playState(ItemPause);
}

bool EditOSDItem::isScrolling() const
{
    return m_pThread && m_pThread->isDrawing();
}

void EditOSDItem::slot_getDrawPixmap(QImage image)
{
    m_drawPixmap = QPixmap::fromImage(image);
    update();
}

// ---------------------------------------------------------------- painting

QRectF EditOSDItem::boundingRect() const
{
    return m_localRect;
}

QPainterPath EditOSDItem::shape() const
{
    QPainterPath path;
    path.addRect(rect());
    return path;
}

void EditOSDItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    Q_UNUSED(widget)
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_nLineWidth > 0) {
        const int h = m_nLineWidth / 2;
        m_penLine.setColor(m_lineColor);
        m_penLine.setWidth(m_nLineWidth);
        painter->setPen(m_penLine);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect().translated(-h, -h));
    }
    drawText(painter);
    const bool bSelected = option && (option->state & QStyle::State_Selected);
    if (bSelected)
        drawSelection(painter, option);
    setItemState(bSelected ? EditSelectionHandleActive : EditSelectionHandleOff);
}

void EditOSDItem::drawText(QPainter *painter)
{
    m_font = QFont();
    m_font.setFamily(m_strFontName);
    m_font.setPixelSize(std::max(1, m_nFontSize));
    m_font.setWeight(m_nOSDFontWidth);
    m_font.setLetterSpacing(QFont::AbsoluteSpacing, m_nTextSpaceing);
    painter->save();
    painter->setOpacity(m_nTransNum / 255.0);
    const int h = m_nLineWidth / 2;
    painter->fillRect(rect().translated(h, h), QBrush(m_bkColor));
    painter->setPen(QPen(m_fontColor));
    painter->setFont(m_font);
    if (m_nInSpeed != 0)
        painter->drawPixmap(rect().toRect(), m_drawPixmap);
    else
        painter->drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, m_strTextContent);
    painter->restore();
}

void EditOSDItem::drawSelection(QPainter *painter, const QStyleOptionGraphicsItem *option)
{
    Q_UNUSED(option)
    const QRectF unit = painter->transform().mapRect(QRectF(0, 0, 1, 1));
    if (qFuzzyIsNull(std::max(unit.width(), unit.height())))
        return;
    const QRectF mapped = painter->transform().mapRect(boundingRect());
    if (std::min(mapped.width(), mapped.height()) < 1.0)
        return;
    const double h = m_nLineWidth / 2.0;
    m_penLine.setColor(m_lineColor);
    m_penLine.setWidth(1);
    painter->setPen(m_penLine);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(boundingRect().adjusted(-h, -h, h, h));
}

void EditOSDItem::mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    globalObserver::getGlobalObserver()->notify("on_OSDSettingButton_clicked");
    CEditBaseItem::mouseDoubleClickEvent(event);
}

// ---------------------------------------------------------------- geometry

QString EditOSDItem::displayName() const
{
    return tr("single item");
}

void EditOSDItem::setItemState(EditSelectionHandleState state)
{
    setHandlesState(state);
}

void EditOSDItem::setItemFile(const QString &strPath)
{
    if (strPath == m_strFilePath)
        return;
    m_strShowName = QFileInfo(strPath).fileName();
    m_strFilePath = strPath;
}

void EditOSDItem::setItemMainSig(int s)
{
    m_nMainSig = s;
    m_nBackupSig = s == 0 ? 1 : s - 1;
}

void EditOSDItem::control(int dir, const QPointF &point)
{
    Q_UNUSED(dir)
    Q_UNUSED(point)
    prepareGeometryChange();
    updatehandles();
}

void EditOSDItem::stretch(int handle, double sx, double sy, const QPointF &origin)
{
    switch (handle) {
    case 1:
    case 3:
    case 7:
        m_bIsMove = true;
        break;
    case 2:
        sx = 1;
        m_bIsMove = true;
        break;
    case 4:
        sy = 1;
        break;
    case 6:
        sx = 1;
        break;
    case 8:
        sy = 1;
        m_bIsMove = true;
        break;
    default:
        break;
    }
    stretchFromInitial(sx, sy, origin);
}

void EditOSDItem::updateCoordinate()
{
    centreTransformOrigin();
}

void EditOSDItem::move(const QPointF &delta)
{
    moveBy(delta.x(), delta.y());
}

QGraphicsItem *EditOSDItem::duplicate() const
{
    auto *pItem = new EditOSDItem(rect().toRect(), m_bShowNormal);
    copyPlacementTo(pItem);
    return pItem;
}

void EditOSDItem::updatehandles()
{
    placeHandles(boundingRect());
}

// ---------------------------------------------------------------- commands

void EditOSDItem::sendItemCmd(const QString &strName, QByteArray &payload, int nReadOrWrite, int nSub)
{
    QString strSerial = m_strSerial;
    QString strCmd = strName;
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial), Q_ARG(QString, strCmd),
                                                Q_ARG(QByteArray &, payload), Q_ARG(int, nReadOrWrite), Q_ARG(int, nSub));
    CDeviceLog::write({strName, nSub, m_strSerial});
}

namespace {
// The first byte is the OSD index of the item's own device.
QByteArray osdPayload(const QString &strSerial, std::initializer_list<int> values)
{
    QByteArray out;
    out.append(char(CTarnSceneStore::osdIndex(strSerial) & 0xFF));
    for (int v : values)
        out.append(char(v & 0xFF));
    return out;
}
}

void EditOSDItem::sendFontTrans()
{
    QByteArray p = osdPayload(m_strSerial, {m_nFontTransNum});
    sendItemCmd(QStringLiteral("OSD参数设置"), p, 2, 3);
}

void EditOSDItem::setOSDTrans(int nValue)
{
    QByteArray p = osdPayload(m_strSerial, {nValue});
    sendItemCmd(QStringLiteral("OSD参数设置"), p, 2, 4);
}

void EditOSDItem::setLayerTrans()
{
    QByteArray p = osdPayload(m_strSerial, {m_nTransNum});
    sendItemCmd(QStringLiteral("OSD参数设置"), p, 2, 4);
}

void EditOSDItem::sendFontSpeed(int nValue)
{
    QByteArray p = osdPayload(m_strSerial, {nValue});
    sendItemCmd(QStringLiteral("OSD参数设置"), p, 2, 5);
}

void EditOSDItem::sendFontColor(QColor color)
{
    QByteArray p = osdPayload(m_strSerial, {color.red(), color.green(), color.blue()});
    sendItemCmd(QStringLiteral("OSD参数设置"), p, 2, 7);
}

void EditOSDItem::sendbkColor(QColor color)
{
    QByteArray p = osdPayload(m_strSerial, {color.red(), color.green(), color.blue()});
    sendItemCmd(QStringLiteral("OSD参数设置"), p, 2, 8);
}

void EditOSDItem::setLayerLevel(int nLevel)
{
    QByteArray p;
    p.append(char(m_nId & 0xFF));
    p.append(char(nLevel & 0xFF));
    sendItemCmd(QStringLiteral("图层设置"), p, 2, 2);
    auto *pScene = qobject_cast<CEditBaseScene *>(scene());
    QByteArray read(1, char(pScene ? pScene->getSceneID() & 0xFF : 0));
    sendItemCmd(QStringLiteral("场景操作"), read, 1, 0);
}

void EditOSDItem::setLayerSig(int nSource)
{
    if (nSource == m_nMainSig)
        return;
    m_nMainSig = nSource;
    QByteArray p;
    p.append(char(m_nId & 0xFF));
    p.append(char(m_nMainSig & 0xFF));
    sendItemCmd(QStringLiteral("图层设置"), p, 2, 3);
}

void EditOSDItem::setLayerCut()
{
    QByteArray p;
    p.append(char(m_nId & 0xFF));
    p.append(char(m_nCut & 0xFF));
    appendBe16(p, m_nCutX);
    appendBe16(p, m_nCutY);
    appendBe16(p, m_nCutWidth);
    appendBe16(p, m_nCutHeight);
    sendItemCmd(QStringLiteral("图层设置"), p, 2, 20);
}

void EditOSDItem::setLayerPosAndSize()
{
    // The OSD's place reaches the device through the OSD pages, not through layer commands.
}
