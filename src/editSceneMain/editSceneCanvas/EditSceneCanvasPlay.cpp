// The play tool, the playback switches and full screen of the editing canvas.

#include "EditSceneCanvas.h"
#include "ui_EditSceneCanvas.h"

#include "BaseSlider.h"
#include "EditBaseItem.h"
#include "EditBaseProxyWidget.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "FrameStyles.h"
#include "QorGlobal.h"
#include "globalObserver.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTime>
#include <QTimer>

namespace {
globalObserver *hub()
{
    return globalObserver::getGlobalObserver();
}

const QString VOLUME_ON_STYLE = QStringLiteral(
    "QPushButton{border-image: url(:/res/res/videoTool/volume-normal.png);}QPushButton:hover{border-image: "
    "url(:/res/res/videoTool/volume-hover.png);}");
const QString VOLUME_MUTE_STYLE = QStringLiteral(
    "QPushButton{border-image: url(:/res/res/videoTool/mute-normal.png);}QPushButton:hover{border-image: "
    "url(:/res/res/videoTool/mute-hover.png);}");

QString enabledStyle(const QString &strName)
{
    return QStringLiteral("QPushButton{border-image: url(:/res/res/videoTool/%1-normal.png);}QPushButton:hover{"
                          "border-image: url(:/res/res/videoTool/%1-hover.png);}")
        .arg(strName);
}

QString disabledStyle(const QString &strName)
{
    return QStringLiteral("QPushButton{border-image: url(:/res/res/videoTool/%1-pressed.png);}").arg(strName);
}

bool anySceneHasItems(const QList<CEditBaseScene *> &listScene)
{
    for (CEditBaseScene *pScene : listScene)
        if (!pScene->m_listItems.isEmpty())
            return true;
    return false;
}
}

void CEditSceneCanvas::createPlayTool()
{
    QFont font(QStringLiteral("宋体"), 12, QFont::Normal);
    m_pPlayWidget = new QWidget(this);
    m_pPlayWidget->setFixedSize(320, 32);
    m_pPlayWidget->setWindowFlags(m_pPlayWidget->windowFlags() | Qt::FramelessWindowHint);
    m_pPlayWidget->setStyleSheet(QString::fromLatin1(FrameStyles::kFloatingTools));

    m_pBtnVolume = new QPushButton(m_pPlayWidget);
    m_pBtnVolume->setFixedSize(30, 30);
    m_pBtnVolume->setStyleSheet(VOLUME_ON_STYLE);
    setVolumeTip();

    m_pVolumeValue = new QLineEdit(m_pPlayWidget);
    m_pVolumeValue->setEnabled(false);
    m_pVolumeValue->setFixedWidth(40);
    m_pVolumeValue->setText(QStringLiteral("60"));

    m_pVolumeSlider = new CBaseSlider(m_pPlayWidget);
    m_pVolumeSlider->setOrientation(Qt::Horizontal);
    m_pVolumeSlider->setObjectName(QStringLiteral("playSlider"));
    m_pVolumeSlider->setFixedWidth(80);
    m_pVolumeSlider->setRange(0, 100);
    m_pVolumeSlider->setSingleStep(10);
    m_pVolumeSlider->setValue(60);

    // The play, stop and update buttons belong to no layout and stay unseen.
    m_pBtnPlay = new QPushButton;
    m_pBtnStop = new QPushButton;
    m_pBtnUpdate = new QPushButton;
    const struct
    {
        QPushButton *pButton;
        QString strTip;
    } buttons[] = {{m_pBtnPlay, tr("播放")}, {m_pBtnStop, tr("停止")}, {m_pBtnUpdate, tr("更新")}};
    for (const auto &b : buttons) {
        b.pButton->setFont(font);
        b.pButton->setFixedSize(30, 30);
        b.pButton->setToolTip(b.strTip);
    }
    setPlayBtnStatus(false);
    setStopBtnStatus(false);
    slot_setBtnUpdateStatus(false);

    auto *pLayout = new QHBoxLayout(m_pPlayWidget);
    pLayout->addStretch();
    pLayout->addWidget(m_pBtnVolume);
    pLayout->addWidget(m_pVolumeSlider);
    pLayout->addWidget(m_pVolumeValue);
    pLayout->addStretch();
    pLayout->setContentsMargins(5, 0, 5, 0);

    connect(m_pBtnVolume, &QPushButton::clicked, this, &CEditSceneCanvas::slot_volumeClicked);
    connect(m_pVolumeSlider, &QSlider::valueChanged, this, &CEditSceneCanvas::slot_volumeChanged);
    connect(m_pBtnPlay, &QPushButton::clicked, this, &CEditSceneCanvas::slot_playClicked);
    connect(m_pBtnStop, &QPushButton::clicked, this, &CEditSceneCanvas::slot_stopClicked);
    connect(m_pBtnUpdate, &QPushButton::clicked, this, &CEditSceneCanvas::slot_updateClicked);
}

void CEditSceneCanvas::applyPlayStyle(QPushButton *pButton, const QString &strName, bool bEnable)
{
    if (!pButton)
        return;
    pButton->setEnabled(bEnable);
    pButton->setStyleSheet(bEnable ? enabledStyle(strName) : disabledStyle(strName));
}

void CEditSceneCanvas::setPlayBtnStatus(bool bEnable)
{
    applyPlayStyle(m_pBtnPlay, QStringLiteral("play"), bEnable);
}

void CEditSceneCanvas::setStopBtnStatus(bool bEnable)
{
    applyPlayStyle(m_pBtnStop, QStringLiteral("stop"), bEnable);
}

void CEditSceneCanvas::slot_setBtnUpdateStatus(bool bEnable)
{
    applyPlayStyle(m_pBtnUpdate, QStringLiteral("update"), bEnable);
}

void CEditSceneCanvas::slot_refreshBtnStatus()
{
    if (g_bIsPlay)
        return;
    if (!anySceneHasItems(m_listScene)) {
        setPlayBtnStatus(false);
        setStopBtnStatus(false);
        slot_setBtnUpdateStatus(false);
    }
}

void CEditSceneCanvas::slot_volumeClicked()
{
    setGlobalMute(m_bVolume);
    g_setGlobalChange();
    m_bVolume = !m_bVolume;
    m_pBtnVolume->setStyleSheet(m_bVolume ? VOLUME_ON_STYLE : VOLUME_MUTE_STYLE);
    setVolumeTip();
}

// The volume button tells what a click does: mute while the sound is on, unmute while muted.
void CEditSceneCanvas::setVolumeTip()
{
    if (m_pBtnVolume)
        m_pBtnVolume->setToolTip(m_bVolume ? tr("静音") : tr("取消静音"));
}

void CEditSceneCanvas::slot_volumeChanged(int nValue)
{
    setGlobalVolume(nValue);
    m_pVolumeValue->setText(QString::number(nValue));
}

void CEditSceneCanvas::slot_playClicked()
{
    if (!g_bIsPlay) {
        slot_play();
        m_pBtnPlay->setStyleSheet(enabledStyle(QStringLiteral("play")));
    } else {
        slot_stop();
        m_pBtnPlay->setStyleSheet(enabledStyle(QStringLiteral("stop")));
    }
}

void CEditSceneCanvas::slot_stopClicked()
{
    slot_stop();
    setPlayBtnStatus(true);
    setStopBtnStatus(false);
    slot_setBtnUpdateStatus(false);
}

void CEditSceneCanvas::slot_updateClicked()
{
    slot_stop();
    slot_play();
    slot_setBtnUpdateStatus(false);
}

void CEditSceneCanvas::play()
{
    if (m_pTimer)
        m_pTimer->stop();
}

void CEditSceneCanvas::stop()
{
    for (CEditBaseScene *pScene : qAsConst(m_listScene))
        pScene->stopItem();
    if (m_pCurrentScene) {
        for (QGraphicsItem *pItem : m_pCurrentScene->m_listItems)
            if (pItem->type() == EditItemType_Base)
                static_cast<CEditBaseItem *>(pItem)->preview();
            else if (pItem->type() == EditItemType_Proxy)
                static_cast<CEditBaseProxyWidget *>(pItem)->preview();
    }
    if (m_pTimer)
        m_pTimer->start(50);
}

void CEditSceneCanvas::slot_play()
{
    if (!anySceneHasItems(m_listScene) || g_bIsPlay)
        return;
    play();
    hub()->notify(QStringLiteral("slot_timeLinePlay"));
    g_bIsPlay = true;
}

void CEditSceneCanvas::slot_stop()
{
    if (!g_bIsPlay)
        return;
    stop();
    hub()->notify(QStringLiteral("slot_timeLineStop"));
    g_bIsPlay = false;
}

void CEditSceneCanvas::slot_playWnd(QList<int> &listPlay)
{
    m_listPlayScene.clear();
    for (int nId : qAsConst(listPlay))
        for (CEditBaseScene *pScene : qAsConst(m_listScene))
            if (int(pScene->getSceneID()) == nId)
                m_listPlayScene.append(pScene);
    if (anySceneHasItems(m_listPlayScene) && !g_bIsPlay)
        g_bIsPlay = true;
}

void CEditSceneCanvas::slot_stopPlayWnd()
{
    if (g_bIsPlay && !m_listPlayScene.isEmpty()) {
        g_setGlobalChange();
        g_bIsPlay = false;
    }
}

// Preview items carry sound; layers and the OSD item take neither value.
void CEditSceneCanvas::setGlobalVolume(int nVolume)
{
    for (CEditBaseScene *pScene : qAsConst(m_listScene))
        for (QGraphicsItem *pItem : pScene->m_listItems)
            if (pItem->type() == EditItemType_Proxy)
                static_cast<CEditBaseProxyWidget *>(pItem)->setVideoVolume(double(nVolume));
}

void CEditSceneCanvas::setGlobalMute(bool bMute)
{
    for (CEditBaseScene *pScene : qAsConst(m_listScene))
        for (QGraphicsItem *pItem : pScene->m_listItems)
            if (pItem->type() == EditItemType_Proxy)
                static_cast<CEditBaseProxyWidget *>(pItem)->setVideoMute(bMute);
}

void CEditSceneCanvas::slot_updateCurPlayTime(double dMillisec)
{
    Q_UNUSED(dMillisec)
}

void CEditSceneCanvas::slot_updateTotalPlayTime(double dMillisec)
{
    (void)QTime(0, 0).addMSecs(int(dMillisec)).toString(QStringLiteral("HH:mm:ss:zzz"));
}

void CEditSceneCanvas::slot_fullScreen()
{
    if (!m_pCurrentScene)
        return;
    for (QGraphicsItem *pItem : m_pCurrentScene->m_listItems) {
        if (pItem->type() == EditItemType_Base) {
            auto *pBase = static_cast<CEditBaseItem *>(pItem);
            pBase->setFullScreen(true);
            pBase->dataChange();
        } else if (pItem->type() == EditItemType_Proxy) {
            auto *pProxy = static_cast<CEditBaseProxyWidget *>(pItem);
            pProxy->setFullScreen(true);
            pProxy->dataChange();
        }
    }
    play();
    m_pBaseView->setParent(nullptr);
    m_pBaseView->showFullScreen();
    m_pCurrentScene->setSceneRect(0, 0, m_pBaseView->width(), m_pBaseView->height());
}

void CEditSceneCanvas::btnCanvasMin()
{
    if (QGraphicsScene *pScene = m_pBaseView->scene()) {
        for (QGraphicsItem *pItem : pScene->items()) {
            if (pItem->type() == EditItemType_Base) {
                auto *pBase = static_cast<CEditBaseItem *>(pItem);
                pBase->setFullScreen(false);
                pBase->dataChange();
            }
        }
    }
    stop();
    // Back into the canvas widget's layout, which sizes it with the canvas.
    ui->verticalLayout_3->addWidget(m_pBaseView);
    m_pBaseView->showNormal();
    if (QGraphicsScene *pScene = m_pBaseView->scene())
        pScene->setSceneRect(0, 0, m_pBaseView->width(), m_pBaseView->height());
}

// The play window's geometry, as the screen dialog last set it.
QRect CEditSceneCanvas::getPlayWndSize()
{
    return g_rtSetSize;
}

void CEditSceneCanvas::showPlayWnd(bool bShow)
{
    Q_UNUSED(bShow)
    (void)QRect(g_rtBackCanvas.topLeft(), g_rtSetSize.size());
}

void CEditSceneCanvas::frontPlayWnd(bool bBack)
{
    Q_UNUSED(bBack)
    (void)QRect(g_rtBackCanvas.topLeft(), g_rtSetSize.size());
}
