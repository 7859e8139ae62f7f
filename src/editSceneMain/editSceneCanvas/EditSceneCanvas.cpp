#include "EditSceneCanvas.h"
#include "ui_EditSceneCanvas.h"

#include "EditBaseItem.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSingleTextItem.h"
#include "SceneBackCanvas.h"
#include "ToolBar.h"
#include "QorGlobal.h"
#include "TarnSceneStore.h"
#include "globalObserver.h"

#include <QApplication>
#include <QDateTime>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QSettings>
#include <QTextCodec>
#include <QToolButton>
#include <QTranslator>
#include <QtDebug>

namespace {
QString timeStamp()
{
    return QStringLiteral("[%1]: ").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

globalObserver *hub()
{
    return globalObserver::getGlobalObserver();
}

void notifyProperty(QGraphicsItem *pItem)
{
    hub()->notify(QStringLiteral("slot_propertyDataChange"), Q_ARG(QGraphicsItem *, pItem));
}

int itemIdOf(QGraphicsItem *pItem)
{
    switch (pItem->type()) {
    case EditItemType_Base:
        return static_cast<CEditBaseItem *>(pItem)->getItemId();
    default:
        return -1;
    }
}
}

const QStringList &CEditSceneCanvas::topics()
{
    static const QStringList s_topics = {
        QStringLiteral("slot_showItemMenu"), QStringLiteral("slot_play"), QStringLiteral("slot_stop"),
        QStringLiteral("slot_playWnd"), QStringLiteral("slot_stopPlayWnd"), QStringLiteral("slot_itemPress"),
        QStringLiteral("slot_showToolBar"), QStringLiteral("slot_isTakeScene"), QStringLiteral("slot_setTakeScene"),
        QStringLiteral("slot_showSceneList"), QStringLiteral("slot_addCanvasItem"),
        QStringLiteral("slot_selectToolBar"), QStringLiteral("slot_resizePlayWnd"),
        QStringLiteral("slot_horMagneticLine"), QStringLiteral("slot_verMagneticLine"),
        QStringLiteral("slot_changeItemInSrc"), QStringLiteral("slot_deleteSceneById"),
        QStringLiteral("slot_refreshBtnStatus"), QStringLiteral("slot_getSceneSnapshoot"),
        QStringLiteral("slot_createCanvasScene"), QStringLiteral("slot_changeCanvasScene"),
        QStringLiteral("slot_updateCurPlayTime"), QStringLiteral("slot_updateCurrentData"),
        QStringLiteral("slot_setBtnUpdateStatus"), QStringLiteral("slot_updateTotalPlayTime"),
        QStringLiteral("slot_getSceneItemListName"), QStringLiteral("slot_changeCavasSceneName"),
        QStringLiteral("slot_updateEditSceneCanvaslanguage"), QStringLiteral("slot_toolBarCenter"),
        QStringLiteral("slot_addCanvasOSDItem"), QStringLiteral("slot_OSDitemPress"),
        QStringLiteral("getNTakeScene"), QStringLiteral("slot_tarnScreenHeld")};
    return s_topics;
}

CEditSceneCanvas::CEditSceneCanvas(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CEditSceneCanvas)
{
    ui->setupUi(this);
    m_szFormRoom = ui->canvasWidget->minimumSize();
    m_pTranslator = new QTranslator(this);
    pBtnClean = new QToolButton;
    pBtnDrag = new QToolButton;
    pBtnCenter = new QToolButton;
    pBtnZoomIn = new QToolButton;
    pBtnZoomOut = new QToolButton;
    createView();
    createPlayTool();
    createCanvasTool();
    createToolStrip();
    for (const QString &strTopic : topics())
        hub()->attach(strTopic, this, strTopic.toLatin1().constData());
    if (CTarnSceneStore *pStore = CTarnSceneStore::instance())
        connect(pStore, &CTarnSceneStore::sig_osdStateHeld, this, &CEditSceneCanvas::showHeldOsd);
}

CEditSceneCanvas::~CEditSceneCanvas()
{
    for (const QString &strTopic : topics())
        hub()->detach(strTopic, this);
    destroyCanvas();
    // The drag button never joins the column and so has no parent.
    delete pBtnDrag;
    delete m_pBtnPlay;
    delete m_pBtnStop;
    delete m_pBtnUpdate;
    delete ui;
}

void CEditSceneCanvas::createView()
{
    m_pBaseView = new CEditBaseView(ui->canvasWidget);
    ui->verticalLayout_3->addWidget(m_pBaseView);
    m_pBaseView->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    m_pBaseView->setAlignment(Qt::AlignLeft);
    m_pBaseView->setStyleSheet(QStringLiteral("padding: 0px; border: 0px;"));
    m_pBaseView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pBaseView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pBaseView->setRuler(false);
}

// ------------------------------------------------------------------ scenes

QRectF CEditSceneCanvas::sceneRectFor(const QRect &rtCanvas, const QSize &szWidget)
{
    const int nLeft = (rtCanvas.width() - szWidget.width()) / 2;
    const int nTop = (rtCanvas.height() - szWidget.height()) / 2;
    return QRectF(nLeft, nTop, szWidget.width(), szWidget.height());
}

void CEditSceneCanvas::applySceneRect(CEditBaseScene *pScene)
{
    if (!pScene)
        return;
    const double dScale = roomScale();
    const QSize szShown(int(ui->canvasWidget->width() / dScale), int(ui->canvasWidget->height() / dScale));
    pScene->setSceneRect(sceneRectFor(pScene->getBackCanvasRect(), szShown));
}

QWidget *CEditSceneCanvas::canvasArea() const
{
    return ui->canvasWidget;
}

// The screen canvas is drawn at 100 % in the canvas area of the form's size (and in a smaller
// one, on a small screen); a larger area (a maximised frame) draws it larger in the same proportion.
double CEditSceneCanvas::roomScale() const
{
    const QSize szForm = m_szFormRoom;
    const QSize szArea = ui->canvasWidget->size();
    if (szForm.isEmpty() || szArea.isEmpty())
        return 1.0;
    return qMax(1.0, qMin(double(szArea.width()) / szForm.width(), double(szArea.height()) / szForm.height()));
}

void CEditSceneCanvas::makeBackCanvas(CEditBaseScene *pScene)
{
    QRect rt = g_rtBackCanvas;
    rt.setWidth(int(2.0 * double(g_nWidth)));
    rt.setHeight(int(2.0 * double(g_nHeight)));
    pScene->createBackCanvas(rt);
}

CEditBaseScene *CEditSceneCanvas::sceneById(int nId) const
{
    for (CEditBaseScene *pScene : m_listScene)
        if (int(pScene->getSceneID()) == nId)
            return pScene;
    return nullptr;
}

// Watches a scene so that one destroyed elsewhere leaves every list at once.
void CEditSceneCanvas::adoptScene(CEditBaseScene *pScene)
{
    if (m_setWatched.contains(pScene))
        return;
    m_setWatched.insert(pScene);
    connect(pScene, &QObject::destroyed, this, [this, pScene]() { forgetScene(pScene); });
}

void CEditSceneCanvas::forgetScene(CEditBaseScene *pScene)
{
    m_setWatched.remove(pScene);
    m_listScene.removeAll(pScene);
    m_listPlayScene.removeAll(pScene);
    if (m_pCurrentScene == pScene)
        m_pCurrentScene = nullptr;
}

void CEditSceneCanvas::makeCurrent(CEditBaseScene *pScene)
{
    if (m_pCurrentScene && m_pCurrentScene != pScene)
        m_pCurrentScene->stopItem();
    m_pCurrentScene = pScene;
}

void CEditSceneCanvas::releaseScene(CEditBaseScene *pScene)
{
    if (m_pBaseView->scene() == pScene)
        m_pBaseView->setScene(nullptr);
    if (pScene->parent() == this) {
        // A scene of the canvas's own (new card, loaded document). Letting go of it switches
        // nothing on the device: its OSD item goes, the device's OSD stays as it is.
        pScene->destroyAllItem(false);
        delete pScene;
    } else {
        // A device scene stays with its owner; the canvas only lets go of it.
        forgetScene(pScene);
        disconnect(pScene, &QObject::destroyed, this, nullptr);
        if (pScene->view() == m_pBaseView)
            pScene->setView(nullptr);
    }
}

void CEditSceneCanvas::setSceneData(QString strSerial, QList<CEditBaseScene *> &listScene, bool bIsChange,
                                    int nCurScene)
{
    Q_UNUSED(bIsChange)
    // Scenes of the canvas's own that leave the canvas now are deleted; the
    // device's scenes are only let go.
    const QList<CEditBaseScene *> listOld = m_listScene;
    m_pCurrentScene = nullptr;
    m_listScene.clear();
    for (CEditBaseScene *pOld : listOld)
        if (!listScene.contains(pOld))
            releaseScene(pOld);
    m_nTakeScene = nCurScene;
    m_strSerial = strSerial;

    for (CEditBaseScene *pScene : listScene) {
        if (!pScene)
            continue;
        pScene->m_strSerial = strSerial;
        // The same scene twice, or two scenes under one device id: the first
        // one stands. Distinct scenes keep the device's ids, which every
        // scene command sends.
        if (m_listScene.contains(pScene) || (pScene->getSceneID() > 0 && sceneById(int(pScene->getSceneID())))) {
            qWarning().noquote() << timeStamp() + QStringLiteral("scene %1 handed over twice; the first one stands")
                                                       .arg(pScene->getSceneID());
            continue;
        }
        if (int(pScene->getSceneID()) <= 0)
            pScene->setSceneID(unsigned(getNewSceneID()));
        adoptScene(pScene);
        makeCurrent(pScene);
        makeBackCanvas(pScene);
        applySceneRect(pScene);
        m_pBaseView->setScene(pScene);
        pScene->setView(m_pBaseView);
        sendCurrentScene();
        m_listScene.append(pScene);
    }
    changeSceneById(nCurScene);
}

void CEditSceneCanvas::createScene(QString strName, int nId)
{
    auto *pScene = new CEditBaseScene(this);
    adoptScene(pScene);
    makeCurrent(pScene);
    pScene->setSceneID(unsigned(nId > 0 ? nId : getNewSceneID()));
    pScene->m_strSerial = m_strSerial;
    makeBackCanvas(pScene);
    applySceneRect(pScene);
    pScene->setSceneName(strName);
    m_pBaseView->setScene(pScene);
    pScene->setView(m_pBaseView);
    m_listScene.append(pScene);
    sendCurrentScene();
}

// The lowest id no scene holds. Of 1..n+1 one is free with n scenes, so a
// single pass over the scenes marks all that matter.
int CEditSceneCanvas::getNewSceneID()
{
    QVector<bool> vectorUsed(m_listScene.size() + 2, false);
    for (CEditBaseScene *pScene : qAsConst(m_listScene)) {
        const int nUsed = int(pScene->getSceneID());
        if (nUsed > 0 && nUsed < vectorUsed.size())
            vectorUsed[nUsed] = true;
    }
    int nId = 1;
    while (vectorUsed.at(nId))
        ++nId;
    return nId;
}

void CEditSceneCanvas::sendCurrentScene()
{
    if (m_pCurrentScene)
        hub()->notify(QStringLiteral("slot_recvCanvasScene"), Q_ARG(CEditBaseScene *, m_pCurrentScene));
}

void CEditSceneCanvas::changeSceneById(int nIndex)
{
    if (nIndex < 0)
        return;
    CEditBaseScene *pScene = sceneById(nIndex);
    if (pScene) {
        makeCurrent(pScene);
        m_pBaseView->setScene(pScene);
        g_setDefaultDesktop(pScene->m_nWidth, pScene->m_nHeight);
        applySceneRect(pScene);
        pScene->previewItem();
        pScene->updateAllItem();
        hub()->notify(QStringLiteral("slot_changeTLScene"), Q_ARG(int, nIndex));
    }
    slot_showToolBar(false);
    if (m_pCurrentScene)
        notifyProperty(m_pCurrentScene->m_pBackCanvas);
    sendCurrentScene();
    // Showing a scene reads nothing: the records handed over (a hand-back, a binding) are what the
    // device last said. The operator's change of scene reads it (slot_changeCanvasScene).
    refreshOSDItem(nIndex);
    // The scene strip outlines the card of the scene shown, whichever way it came to be shown.
    emit sig_sceneChage(m_pCurrentScene ? int(m_pCurrentScene->getSceneID()) : -1);
}

void CEditSceneCanvas::sendLayerRead(CEditBaseScene *pScene)
{
    QByteArray payload;
    payload.append(char(pScene->getSceneID() & 0xFF));
    payload.append(char(0));
    payload.append(char((pScene->m_nLayerUse - 1) & 0xFF));
    sendCmd(QStringLiteral("场景操作"), 1, 80, payload);
}

// The OSD item follows the scenes: without OSD a scene that is not live loses
// its item; with OSD the current scene gets it, with the stored text.
void CEditSceneCanvas::refreshOSDItem(int nIndex)
{
    if (!CTarnSceneStore::osdOn(m_strSerial)) {
        if (nIndex != m_nTakeScene && m_pCurrentScene)
            removeOSDItem(m_pCurrentScene);
        return;
    }
    QSettings settings(QStringLiteral("Morvane.ini"), QSettings::IniFormat);
    settings.setIniCodec("GB2312");
    g_strOSD = settings.value(QStringLiteral("/OSD/g_strOSD")).toString();
    if (g_strOSD.isEmpty())
        g_strOSD = QStringLiteral("Welcome");
    QPointF pt(0, 0);
    QString strText = g_strOSD;
    hub()->notify(QStringLiteral("slot_addCanvasOSDItem"), Q_ARG(QPointF &, pt), Q_ARG(const QString &, strText),
                  Q_ARG(int, 0));
}

// The OSD as the device holds it (read, or handed back after a write that was not taken): the
// current scene gets its OSD item when it is on, and no scene keeps one when it is off.
void CEditSceneCanvas::showHeldOsd(const QString &strSerial, bool bOn)
{
    if (strSerial != m_strSerial || !m_pCurrentScene)
        return;
    if (!bOn) {
        for (CEditBaseScene *pScene : qAsConst(m_listScene))
            if (pScene->osdShown())
                removeOSDItem(pScene);
        return;
    }
    if (!m_pCurrentScene->osdShown())
        refreshOSDItem(int(m_pCurrentScene->getSceneID()));
}

// The scene's OSD item leaves the scene and is freed, shown or hidden.
void CEditSceneCanvas::removeOSDItem(CEditBaseScene *pScene)
{
    CEditBaseItem *pOSD = pScene->osdItem();
    if (!pOSD)
        return;
    pScene->setOsdItem(nullptr);
    if (pScene->m_listItems.contains(pOSD)) {
        pScene->removeAndDeleteItem(pOSD);
        return;
    }
    if (pOSD->scene() == pScene)
        pScene->removeItem(pOSD);
    delete pOSD;
}

void CEditSceneCanvas::destroyCanvas()
{
    if (m_listScene.isEmpty())
        return;
    // The list is emptied first, so that a scene leaving does not search it.
    const QList<CEditBaseScene *> listOld = m_listScene;
    m_listScene.clear();
    m_pCurrentScene = nullptr;
    for (CEditBaseScene *pScene : listOld)
        releaseScene(pScene);
    g_setGlobalChange();
    slot_showToolBar(false);
    slot_itemPress(-1);
}

void CEditSceneCanvas::slot_deleteSceneById(int nId)
{
    CEditBaseScene *pScene = sceneById(nId);
    if (!pScene)
        return;
    m_listScene.removeAll(pScene);
    releaseScene(pScene);
    m_pCurrentScene = nullptr;
    g_setGlobalChange();
}

void CEditSceneCanvas::createCanvas()
{
    if (m_pBaseView)
        m_pBaseView->hide();
    const int nW = ui->canvasWidget->width();
    const int nH = ui->canvasWidget->height();
    auto *pView = new CEditBaseView(ui->canvasWidget);
    auto *pScene = new CEditBaseScene(this);
    adoptScene(pScene);
    m_pCurrentScene = pScene;
    pView->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    pView->setAlignment(Qt::AlignLeft);
    pView->setStyleSheet(QStringLiteral("background-color: rgb(122, 0, 0);"));
    pView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pView->setRuler(false);
    pView->setScene(pScene);
    pScene->setView(pView);
    pView->setGeometry(0, 0, nW, nH);
    pScene->setSceneRect(-nW / 2, -nH / 2, nW, nH);
    pScene->setBackgroundBrush(QColor(43, 43, 43));
    pScene->setSceneName(QStringLiteral("scene%1").arg(m_listScene.size() + 1));
    pView->show();
    m_listView.append(pView);
}

void CEditSceneCanvas::newCanvas()
{
    qInfo().noquote() << timeStamp() + QStringLiteral("new canvas had come in");
    destroyCanvas();
    createScene(QString());
    hub()->notify(QStringLiteral("slot_destroyAllItem"));
}

// ----------------------------------------------------------- taken scene

void CEditSceneCanvas::slot_isTakeScene(int nSceneId, bool &bTake)
{
    bTake = (nSceneId == m_nTakeScene);
}

void CEditSceneCanvas::slot_setTakeScene(int nTake)
{
    m_nTakeScene = nTake;
}

void CEditSceneCanvas::getNTakeScene(int &nTake, QString &strSerial)
{
    nTake = m_nTakeScene;
    strSerial = m_strSerial;
}

void CEditSceneCanvas::slot_createCanvasScene(QString strName)
{
    createScene(strName);
    g_setGlobalChange();
}

void CEditSceneCanvas::slot_changeCanvasScene(int nId)
{
    if (m_pCurrentScene && int(m_pCurrentScene->getSceneID()) == nId) {
        g_setGlobalChange();
        return;
    }
    changeSceneById(nId);
    // A scene that is not there is not read from the device either.
    CEditBaseScene *pScene = sceneById(nId);
    if (pScene && pScene->m_nLayerUse > 0)
        sendLayerRead(pScene);
    g_setGlobalChange();
}

void CEditSceneCanvas::slot_changeCavasSceneName(QString strName)
{
    // A card renames the live scene (it recalls it first): the scene shown takes the name only when
    // it is that one. The canvas may show another, or not the recalled one yet; the read back that
    // follows the rename names it then.
    if (m_pCurrentScene && int(m_pCurrentScene->getSceneID()) == m_nTakeScene)
        m_pCurrentScene->setSceneName(strName);
}

void CEditSceneCanvas::slot_updateCurrentData()
{
    if (!m_pCurrentScene)
        return;
    sendCmd(QStringLiteral("场景操作"), 1, 0, QByteArray(1, char(m_pCurrentScene->getSceneID() & 0xFF)));
}

// -------------------------------------------------------------- selection

void CEditSceneCanvas::slot_itemPress(int nId)
{
    if (!m_pCurrentScene) {
        slot_showToolBar(nId >= 0);
        return;
    }
    const QList<QGraphicsItem *> listItems = m_pCurrentScene->m_listItems;
    for (QGraphicsItem *pItem : listItems) {
        if (nId == -1) {
            pItem->setSelected(false);
            if (CEditBaseItem *pOSD = m_pCurrentScene->osdItem())
                pOSD->setSelected(false);
            notifyProperty(nullptr);
        } else if (nId != -2) {
            if (itemIdOf(pItem) == nId) {
                if (pItem->type() == EditItemType_Base || pItem->type() == EditItemType_Proxy)
                    notifyProperty(pItem);
                pItem->setSelected(true);
            } else {
                pItem->setSelected(false);
            }
        }
    }
    if (nId == 1000) {
        for (QGraphicsItem *pItem : listItems) {
            if (pItem->type() == EditItemType_Base)
                pItem->setSelected(false);
            else
                notifyProperty(pItem);
        }
    }
    slot_showToolBar(nId >= 0);
}

void CEditSceneCanvas::slot_OSDitemPress()
{
    if (!m_pCurrentScene)
        return;
    if (CEditBaseItem *pOSD = m_pCurrentScene->osdItem()) {
        pOSD->setSelected(true);
        notifyProperty(pOSD);
    }
    for (QGraphicsItem *pItem : m_pCurrentScene->m_listItems)
        pItem->setSelected(false);
}

void CEditSceneCanvas::slot_horMagneticLine(QPoint ptStart, QPoint ptEnd, bool bShow)
{
    if (m_pCurrentScene)
        m_pCurrentScene->setHorMagneticLine(ptStart, ptEnd, bShow);
}

void CEditSceneCanvas::slot_verMagneticLine(QPoint ptStart, QPoint ptEnd, bool bShow)
{
    if (m_pCurrentScene)
        m_pCurrentScene->setVerMagneticLine(ptStart, ptEnd, bShow);
}

void CEditSceneCanvas::slot_resizePlayWnd(QRect &rectPlayWnd)
{
    g_rtSetSize = rectPlayWnd;
    g_setDefaultDesktop(rectPlayWnd.width(), rectPlayWnd.height());
    g_setGlobalChange();
    if (m_pCurrentScene && m_pCurrentScene->view())
        m_pCurrentScene->view()->update();
}

void CEditSceneCanvas::slot_tarnScreenHeld(QString strSerial, int nWidth, int nHeight)
{
    if (strSerial.isEmpty() || strSerial != m_strSerial)
        return;
    // The screen page's apply gave the current scene the size it sent; the scene is shown in the
    // device's size from now on (the hand-back's scene reads then draw its layers in it).
    g_rtSetSize = QRect(0, 0, nWidth, nHeight);
    if (m_pCurrentScene) {
        m_pCurrentScene->m_nWidth = nWidth;
        m_pCurrentScene->m_nHeight = nHeight;
        if (m_pCurrentScene->view())
            m_pCurrentScene->view()->update();
    }
}

// ---------------------------------------------------------------- queries

void CEditSceneCanvas::slot_getSceneSnapshoot(int nId, QPixmap **outPixmap)
{
    if (!outPixmap || !m_pCurrentScene || int(m_pCurrentScene->getSceneID()) != nId)
        return;
    QRect rt = m_pCurrentScene->getBackCanvasRect();
    rt.moveTo(0, 0);
    if (rt.isEmpty())
        return;
    auto *pPixmap = new QPixmap(rt.size());
    pPixmap->fill(Qt::transparent);
    QPainter painter(pPixmap);
    m_pCurrentScene->render(&painter, QRectF(), rt, Qt::KeepAspectRatio);
    painter.end();
    *outPixmap = pPixmap;
}

void CEditSceneCanvas::slot_getSceneItemListName(QStringList &strList)
{
    if (!m_pCurrentScene)
        return;
    for (QGraphicsItem *pItem : m_pCurrentScene->m_listItems) {
        if (pItem->type() == EditItemType_Base) {
            auto *pBase = static_cast<CEditBaseItem *>(pItem);
            if (pBase->getItemType() == MediaType_SingleText)
                strList.append(pBase->getItemShowName());
        }
    }
}

void CEditSceneCanvas::slot_showSceneList(QList<CEditBaseScene *> &pSceneList)
{
    pSceneList.append(m_listScene);
}

// ------------------------------------------------------------------ layout

void CEditSceneCanvas::resizeEvent(QResizeEvent *event)
{
    const int nW = ui->canvasWidget->width();
    const int nH = ui->canvasWidget->height();
    // The room changed: the view takes the scale for it (a zoom chosen by the
    // operator stays while the room does not change).
    const double dScale = roomScale();
    if (m_pBaseView && !qFuzzyCompare(dScale, m_dRoomScale)) {
        m_pBaseView->setTransform(QTransform::fromScale(dScale, dScale));
        m_dRoomScale = dScale;
    }
    applySceneRect(m_pCurrentScene);
    if (m_pPlayWidget)
        m_pPlayWidget->move((nW - m_pPlayWidget->width()) / 2, nH);
    if (m_pCanvasWidget)
        m_pCanvasWidget->move(nW - m_pCanvasWidget->width(), nH - m_pCanvasWidget->height());
    if (m_pToolWidget)
        m_pToolWidget->move(m_bShowToolBar ? nW : -nW, (nH - m_pToolWidget->height()) / 2);
    QWidget::resizeEvent(event);
}

void CEditSceneCanvas::slot_updateEditSceneCanvaslanguage(int nlanguage)
{
    g_applyLanguage(m_pTranslator, nlanguage);
    ui->retranslateUi(this);
    setToolTips();
    // The layers' labels name their size in the new language now, not at their next refresh.
    if (m_pCurrentScene)
        for (CEditSingleTextItem *pLayer : m_pCurrentScene->layerItems())
            pLayer->refreshLabel();
}

void CEditSceneCanvas::setToolTips()
{
    pBtnClean->setToolTip(tr("清空画布"));
    pBtnCenter->setToolTip(tr("画布居中"));
    pBtnZoomIn->setToolTip(tr("放大"));
    pBtnZoomOut->setToolTip(tr("缩小"));
    setVolumeTip();
    if (m_pToolWidget)
        m_pToolWidget->setBtnTip();
}

// ---------------------------------------------------------------- commands

void CEditSceneCanvas::sendCmd(const QString &strName, int nRw, int nSub, const QByteArray &payload)
{
    QString strSerial = m_strSerial;
    QString strCmd = strName;
    QByteArray data = payload;
    hub()->notify(QStringLiteral("slot_setDeviceCmd"), Q_ARG(QString, strSerial), Q_ARG(QString, strCmd),
                  Q_ARG(QByteArray &, data), Q_ARG(int, nRw), Q_ARG(int, nSub));
}
