#include "EditBaseView.h"

#include "DeviceItem.h"
#include "EditBaseScene.h"
#include "QorGlobal.h"
#include "globalObserver.h"

#include <QCloseEvent>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsRectItem>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QWheelEvent>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <QtDebug>

namespace {
const qreal ZOOM_STEP = 1.2;
const qreal WHEEL_MAX = 500;
const qreal WHEEL_MIN = 0.01;

QString timeStamp()
{
    return QStringLiteral("[%1]: ").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}
}

CEditBaseView::CEditBaseView(QWidget *parent)
    : QGraphicsView(parent)
{
    setViewport(new QWidget);
    setCacheMode(QGraphicsView::CacheNone);
    setMouseTracking(true);
    setAcceptDrops(true);
}

CEditBaseView::~CEditBaseView() = default;

bool CEditBaseView::decodeMediaDrop(const QByteArray &data, MediaDrop &drop)
{
    QDataStream stream(data);
    qint32 nType = 0;
    qint32 nId = 0;
    QString strFile;
    QString strFileAgain;
    QString strText;
    stream >> nType >> strFile >> strFileAgain >> strText >> nId;
    if (stream.status() != QDataStream::Ok || nType != MediaType_SingleText)
        return false;
    drop.nType = nType;
    drop.strFile = strFile;
    drop.strText = strText;
    drop.nSourceId = nId;
    return true;
}

void CEditBaseView::zoomIn(bool bZoom)
{
    if (bZoom)
        scale(ZOOM_STEP, ZOOM_STEP);
    else
        m_bIsZoomOut = false;
    updateRuler();
}

void CEditBaseView::zoomOut(bool bZoom)
{
    if (bZoom)
        scale(1 / ZOOM_STEP, 1 / ZOOM_STEP);
    else
        m_bIsZoomOut = true;
    updateRuler();
}

void CEditBaseView::setRuler(bool bShow)
{
    m_bIsShowRuler = bShow;
    m_nRulerSize = bShow ? 20 : 0;
}

void CEditBaseView::setRulerScale(double dScale)
{
    if (m_pTimeLineScene)
        m_pTimeLineScene->m_dScaleRate = dScale;
    updateRuler();
}

double CEditBaseView::getTimeWithPos(double)
{
    return 0.0;
}

double CEditBaseView::getItemWidthByTime(double)
{
    return 0.0;
}

double CEditBaseView::getRulerScale(double, int)
{
    return 0.0;
}

void CEditBaseView::updateRuler()
{
    // The ruler belongs to time-line scenes; an editing scene has none to draw.
    if (!scene())
        return;
}

void CEditBaseView::updateNoniusePos(QPoint)
{
}

void CEditBaseView::updateViewNoniusePos()
{
    qInfo().noquote() << timeStamp() + QStringLiteral("view update ");
    if (m_pTimeLineScene)
        m_pTimeLineScene->slot_noniusPosChanged(QPoint(5, 10));
}

void CEditBaseView::getItemMaxWidth()
{
    if (m_pTimeLineScene)
        m_pTimeLineScene->getItemMaxWidth();
}

void CEditBaseView::updateItemTime(bool bShow, CEditBaseItem *pItem)
{
    m_pCurrentItem = pItem;
    if (!bShow) {
        if (m_pPlayWidget) {
            m_pPlayWidget->hide();
            m_pPlayWidget->deleteLater();
        }
        m_pPlayWidget = nullptr;
        return;
    }
    if (!m_pPlayWidget) {
        m_pPlayWidget = new QLabel(this);
        m_pPlayWidget->setFixedSize(400, 32);
        m_pPlayWidget->setFont(QFont(QStringLiteral("Microsoft YaHei"), 14));
        m_pPlayWidget->setStyleSheet(QStringLiteral("color:#FFAA00;"));
        m_pPlayWidget->show();
    }
}

bool CEditBaseView::isTimeLine() const
{
    auto *pScene = qobject_cast<CEditBaseScene *>(scene());
    return pScene && pScene->getSceneType() != 0 && m_bIsShowRuler && !g_bIsPlay;
}

// ------------------------------------------------------------------ mouse

void CEditBaseView::mousePressEvent(QMouseEvent *event)
{
    m_bMousePress = true;
    if (isTimeLine()) {
        const QPointF pt = mapToScene(event->pos());
        QGraphicsItem *pItem = scene()->itemAt(pt, transform());
        if (!pItem || pItem->type() == QGraphicsRectItem::Type)
            static_cast<CEditBaseScene *>(scene())->slot_noniusPosChanged(pt.toPoint());
    }
    QGraphicsView::mousePressEvent(event);
}

void CEditBaseView::mouseReleaseEvent(QMouseEvent *event)
{
    m_bMousePress = false;
    if (isTimeLine())
        static_cast<CEditBaseScene *>(scene())->showNoniusLine(true);
    QGraphicsView::mouseReleaseEvent(event);
}

void CEditBaseView::mouseMoveEvent(QMouseEvent *event)
{
    QGraphicsView::mouseMoveEvent(event);
}

void CEditBaseView::enterEvent(QEvent *event)
{
    if (isTimeLine())
        static_cast<CEditBaseScene *>(scene())->showNoniusLine(true);
    QGraphicsView::enterEvent(event);
}

void CEditBaseView::leaveEvent(QEvent *event)
{
    if (isTimeLine())
        static_cast<CEditBaseScene *>(scene())->showNoniusLine(false);
    QGraphicsView::leaveEvent(event);
}

// The limits apply to the factor recorded at the previous accepted step.
void CEditBaseView::wheelEvent(QWheelEvent *event)
{
    const int nDelta = event->angleDelta().y();
    if (nDelta > 0 && scale_m >= WHEEL_MAX)
        return;
    if (nDelta < 0 && scale_m <= WHEEL_MIN)
        return;
    scale_m = transform().m11();
    if (nDelta > 0)
        scale(ZOOM_STEP, ZOOM_STEP);
    else
        scale(1 / ZOOM_STEP, 1 / ZOOM_STEP);
    viewport()->update();
}

void CEditBaseView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
}

void CEditBaseView::scrollContentsBy(int dx, int dy)
{
    QGraphicsView::scrollContentsBy(dx, dy);
    updateRuler();
}

// ------------------------------------------------------------------- drops

void CEditBaseView::dragEnterEvent(QDragEnterEvent *event)
{
    const QMimeData *pMime = event->mimeData();
    const bool bMedia = pMime->hasFormat(QString::fromLatin1(CDeviceItem::DRAG_MIME_TYPE));
    QGraphicsView::dragEnterEvent(event);
    // An input source is taken whatever the scene says of it.
    if (bMedia || pMime->hasFormat(QStringLiteral("text/plain")))
        event->acceptProposedAction();
}

void CEditBaseView::dragMoveEvent(QDragMoveEvent *event)
{
    QGraphicsView::dragMoveEvent(event);
    if (event->mimeData()->hasFormat(QString::fromLatin1(CDeviceItem::DRAG_MIME_TYPE)))
        event->acceptProposedAction();
}

void CEditBaseView::dropEvent(QDropEvent *event)
{
    const QString strFormat = QString::fromLatin1(CDeviceItem::DRAG_MIME_TYPE);
    if (!event->mimeData()->hasFormat(strFormat)) {
        QGraphicsView::dropEvent(event);
        return;
    }
    MediaDrop drop;
    if (!decodeMediaDrop(event->mimeData()->data(strFormat), drop)) {
        qWarning().noquote() << timeStamp() + QStringLiteral("dropped data is not an input source; ignored");
        event->ignore();
        return;
    }
    QPointF ptPos = mapToScene(event->pos());
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_addCanvasItem"), Q_ARG(QPointF &, ptPos),
                                                Q_ARG(const QString &, drop.strFile),
                                                Q_ARG(const QString &, drop.strText), Q_ARG(int, drop.nType),
                                                Q_ARG(int, drop.nSourceId));
    event->acceptProposedAction();
}

// ---------------------------------------------------------------- XML form

void CEditBaseView::closeEvent(QCloseEvent *event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

bool CEditBaseView::maybeSave()
{
    if (!modified)
        return true;
    const QMessageBox::StandardButton ret = QMessageBox::warning(
        this, tr("MDI"),
        tr("'%1' has been modified.\nDo you want to save your changes?").arg(userFriendlyCurrentFile()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (ret == QMessageBox::Save)
        return save();
    if (ret == QMessageBox::Cancel)
        return false;
    return true;
}

void CEditBaseView::newFile()
{
    static int s_nSequence = 1;
    isUntitled = true;
    curFile = tr("drawing%1.xml").arg(s_nSequence++);
    setWindowTitle(curFile + QStringLiteral("[*]"));
}

bool CEditBaseView::save()
{
    return isUntitled ? saveAs() : saveFile(curFile);
}

bool CEditBaseView::saveAs()
{
    const QString fileName = QFileDialog::getSaveFileName(this, tr("Save As"), curFile);
    if (fileName.isEmpty())
        return false;
    return saveFile(fileName);
}

bool CEditBaseView::saveFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QFile::WriteOnly | QFile::Text)) {
        QMessageBox::warning(this, tr("Qt Drawing"),
                             tr("Cannot write file %1:\n%2.").arg(fileName, file.errorString()));
        return false;
    }
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE qdraw>"));
    xml.writeStartElement(QStringLiteral("canvas"));
    const QRectF rect = scene() ? scene()->sceneRect() : QRectF();
    xml.writeAttribute(QStringLiteral("width"), QString::number(rect.width()));
    xml.writeAttribute(QStringLiteral("height"), QString::number(rect.height()));
    xml.writeEndElement();
    xml.writeEndDocument();
    setCurrentFile(fileName);
    return true;
}

bool CEditBaseView::loadFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QFile::ReadOnly | QFile::Text)) {
        QMessageBox::warning(this, tr("Qt Drawing"),
                             tr("Cannot read file %1:\n%2.").arg(fileName, file.errorString()));
        return false;
    }
    QXmlStreamReader xml(&file);
    if (xml.readNextStartElement() && xml.name() == QLatin1String("canvas")) {
        const qreal width = xml.attributes().value(QStringLiteral("width")).toDouble();
        const qreal height = xml.attributes().value(QStringLiteral("height")).toDouble();
        if (scene())
            scene()->setSceneRect(0, 0, width, height);
        loadCanvas(xml);
    }
    setCurrentFile(fileName);
    qInfo().noquote() << timeStamp() + xml.errorString();
    return !xml.hasError();
}

void CEditBaseView::loadCanvas(QXmlStreamReader &xml)
{
    if (xml.name() != QLatin1String("canvas"))
        return;
    while (xml.readNextStartElement())
        xml.skipCurrentElement();
}

CEditBaseItemGroup *CEditBaseView::loadGroupFromXML(QXmlStreamReader &xml)
{
    (void)xml.attributes().value(QStringLiteral("rotate")).toDouble();
    while (xml.readNextStartElement())
        xml.skipCurrentElement();
    // Nothing is read into items, so there is nothing to group.
    return nullptr;
}

void CEditBaseView::setCurrentFile(const QString &fileName)
{
    curFile = QFileInfo(fileName).canonicalFilePath();
    isUntitled = false;
    modified = false;
    setWindowModified(false);
    setWindowTitle(userFriendlyCurrentFile() + QStringLiteral("[*]"));
}

QString CEditBaseView::userFriendlyCurrentFile()
{
    return strippedName(curFile);
}

QString CEditBaseView::strippedName(const QString &fullFileName)
{
    return QFileInfo(fullFileName).fileName();
}
