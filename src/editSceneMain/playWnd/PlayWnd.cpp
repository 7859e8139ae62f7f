#include "PlayWnd.h"
#include "ui_PlayWnd.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "EditBaseItem.h"
#include "EditBaseProxyWidget.h"
#include "EditBaseScene.h"
#include "QorGlobal.h"
#include "SceneBackCanvas.h"
#include "globalObserver.h"

namespace {
const char *const kTopics[] = {"slot_setLock", "slot_setPreviewScene", "slot_deletePreviewItem"};

void logInfo(const QString &strText)
{
    qInfo().noquote() << QString("[%1]: ").arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss")) + strText;
}
}

CPlayWnd::CPlayWnd(QRect rect, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::playWnd)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowTitle("Brightpane-playWnd");
    setMouseTracking(true);
    setGeometry(rect);
    setStyleSheet("QWidget{background-color:#000000};");
    setMinimumSize(600, 400);
    ui->playView->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->playView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->playView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_rectLast = rect;

    m_pTimer = new QTimer(this);
    connect(m_pTimer, &QTimer::timeout, this, &CPlayWnd::slot_scenePlayEnd);
    m_pTimer->start(50);
    m_pShowTimer = new QTimer(this);
    connect(m_pShowTimer, &QTimer::timeout, this, &CPlayWnd::hideControlPanel);
    m_pSnapTimer = new QTimer(this);
    connect(m_pSnapTimer, &QTimer::timeout, this, &CPlayWnd::playWndMonitor);

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &CPlayWnd::slot_showMenu);
    initControlPanel();

    for (const char *pszTopic : kTopics)
        globalObserver::getGlobalObserver()->attach(pszTopic, this, pszTopic);
}

CPlayWnd::~CPlayWnd()
{
    m_pSnapTimer->stop();
    m_pTimer->stop();
    for (const char *pszTopic : kTopics)
        globalObserver::getGlobalObserver()->detach(pszTopic, this);
    // The copies are ours: their watchers are stopped and joined as they go.
    destroyPlayScene();
    dropPreviewScene();
    delete ui;
}

QGraphicsView *CPlayWnd::playView() const
{
    return ui->playView;
}

qreal CPlayWnd::panelOpacity() const
{
    return m_pWidgetEffect ? m_pWidgetEffect->opacity() : 0.0;
}

void CPlayWnd::initControlPanel()
{
    const int m = 5;
    QFont font(QString::fromUtf8("宋体"), 12, QFont::Normal);

    m_pPlayWidget = new QWidget(this);
    auto *pSlider = new QSlider(Qt::Horizontal, m_pPlayWidget);
    pSlider->setObjectName("playSlider");
    pSlider->setStyleSheet(
        "QSlider::handle:horizontal{border-image: url(:/res/res/videoTool/Slider-handle.png);width: 30px;height: 30px;}");

    auto *pLabelStart = new QLabel(tr("00:00:00"), m_pPlayWidget);
    auto *pLabelEnd = new QLabel(tr("00:00:01"), m_pPlayWidget);
    for (QLabel *pLabel : {pLabelStart, pLabelEnd}) {
        pLabel->setFont(font);
        pLabel->setFrameShape(QFrame::NoFrame);
        pLabel->setStyleSheet("color: rgb(255, 0, 0);");
    }

    auto makeButton = [&](const char *pszName, const QString &strTip, const QString &strImage) {
        auto *pButton = new QPushButton(m_pPlayWidget);
        pButton->setObjectName(pszName);
        pButton->setFont(font);
        pButton->setFixedSize(30, 30);
        pButton->setToolTip(strTip);
        pButton->setStyleSheet(QString("QPushButton{border-image: url(:/res/res/videoTool/%1-normal.png);}"
                                       "QPushButton:hover{border-image: url(:/res/res/videoTool/%1-hover.png);}")
                                   .arg(strImage));
        return pButton;
    };
    QPushButton *pPlay = makeButton("btnPlay", QString::fromUtf8("播放"), "play");
    QPushButton *pStop = makeButton("btnStop", QString::fromUtf8("停止"), "stop");
    QPushButton *pReturn = makeButton("btnReturn", QString::fromUtf8("返回主界面"), "return");
    connect(pPlay, &QPushButton::clicked, this, &CPlayWnd::slot_playClicked);
    connect(pStop, &QPushButton::clicked, this, &CPlayWnd::slot_stopClicked);
    connect(pReturn, &QPushButton::clicked, this, &CPlayWnd::slot_returnClicked);

    auto *pLayout = new QVBoxLayout(m_pPlayWidget);
    pLayout->setContentsMargins(m, 2 * m, m, m);
    pLayout->addWidget(pSlider);
    auto *pTimeRow = new QHBoxLayout;
    pTimeRow->setContentsMargins(m, 0, m, 0);
    pTimeRow->addWidget(pLabelStart);
    pTimeRow->addStretch();
    pTimeRow->addWidget(pLabelEnd);
    pLayout->addLayout(pTimeRow);
    auto *pButtonRow = new QHBoxLayout;
    pButtonRow->setContentsMargins(m, 0, m, 0);
    pButtonRow->addStretch();
    pButtonRow->addWidget(pPlay);
    pButtonRow->addWidget(pStop);
    pButtonRow->addWidget(pReturn);
    pButtonRow->addStretch();
    pLayout->addLayout(pButtonRow);

    m_pPlayWidget->setMinimumSize(280, 120);
    m_pPlayWidget->setWindowFlags(Qt::FramelessWindowHint);
    m_pPlayWidget->setStyleSheet("background-color:rgba(38, 38, 38, 200);border-radius:3px;");
    m_pWidgetEffect = new QGraphicsOpacityEffect(m_pPlayWidget);
    m_pWidgetEffect->setOpacity(0);
    m_pPlayWidget->setGraphicsEffect(m_pWidgetEffect);
}

// ------------------------------------------------------------------ copies

bool CPlayWnd::isOwnCopy(const CEditBaseScene *pScene) const
{
    return pScene && (pScene == m_pPreviewScene || m_listPlayScene.contains(const_cast<CEditBaseScene *>(pScene)));
}

void CPlayWnd::destroyPlayScene()
{
    const QList<CEditBaseScene *> listCopy = m_listPlayScene;
    m_listPlayScene.clear();
    m_pPlayScene = nullptr;
    for (CEditBaseScene *pScene : listCopy) {
        if (ui->playView->scene() == pScene)
            ui->playView->setScene(nullptr);
        // Stops the copy's play and its watcher (joined) before the items go.
        pScene->destroyAllItem();
        delete pScene;
    }
}

void CPlayWnd::dropPreviewScene()
{
    if (!m_pPreviewScene)
        return;
    CEditBaseScene *pScene = m_pPreviewScene;
    m_pPreviewScene = nullptr;
    m_pPreviewSource = nullptr;
    if (ui->playView->scene() == pScene)
        ui->playView->setScene(nullptr);
    delete pScene;
}

void CPlayWnd::play(const QList<CEditBaseScene *> &listScene)
{
    dropPreviewScene();
    // Copies of an earlier play that no stop ended go first, watchers and all.
    destroyPlayScene();
    m_nCurSceneIndex = 0;
    for (CEditBaseScene *pScene : listScene) {
        if (!pScene || pScene->m_listItems.isEmpty())
            continue;
        auto *pCopy = new CEditBaseScene(nullptr);
        *pCopy = *pScene;
        pCopy->setSceneRect(0, 0, m_rectLast.width(), m_rectLast.height());
        m_listPlayScene.append(pCopy);
    }
    m_pSnapTimer->start(100);
    m_pTimer->start(100);
}

void CPlayWnd::stop()
{
    destroyPlayScene();
    m_pTimer->stop();
}

void CPlayWnd::setSceneChange()
{
    m_bSceneChange = true;
    if (!g_bIsPlay)
        m_pSnapTimer->stop();
}

void CPlayWnd::resizePlayWnd(QRect &rect)
{
    move(rect.topLeft());
    resize(rect.size());
    m_rectLast.setWidth(rect.width());
    m_rectLast.setHeight(rect.height());
    if (m_pPreviewScene) {
        m_pPreviewScene->setSceneRect(0, 0, rect.width(), rect.height());
        if (m_pPreviewScene->m_pBackCanvas) {
            m_pPreviewScene->m_pBackCanvas->setWidth(rect.width());
            m_pPreviewScene->m_pBackCanvas->setHeight(rect.height());
        }
        logInfo(QString("resize play wnd %1 %2 %3 %4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height()));
    }
}

// ------------------------------------------------------------------ switching

void CPlayWnd::slot_scenePlayEnd()
{
    if (m_pPlayScene && !m_pPlayScene->m_listItems.isEmpty()) {
        if (!m_pPlayScene->isEnd())
            return;
        changeViewScene();
        if (m_pPlayScene)
            m_pPlayScene->setPlayEnd(false);
        return;
    }
    changeViewScene();
}

void CPlayWnd::changeViewScene()
{
    if (m_listPlayScene.isEmpty())
        return;
    if (m_nCurSceneIndex >= m_listPlayScene.size())
        m_nCurSceneIndex = 0;
    if (m_pPlayScene && m_listPlayScene.size() == 1) {
        m_pPlayScene->playItem();
        return;
    }
    if (m_pPlayScene)
        m_pPlayScene->stopItem();
    m_pPlayScene = m_listPlayScene.at(m_nCurSceneIndex);
    ui->playView->setScene(m_pPlayScene);
    m_pPlayScene->playItem();
    ++m_nCurSceneIndex;
}

// ------------------------------------------------------------------ preview

void CPlayWnd::slot_setPreviewScene(CEditBaseScene *pScene)
{
    if (g_bIsPlay || m_bDelete || !pScene || isOwnCopy(pScene))
        return;
    if (m_bSceneChange) {
        m_bSceneChange = false;
        dropPreviewScene();
    }
    if (!m_pPreviewScene) {
        m_pPreviewScene = new CEditBaseScene(nullptr);
        m_pSnapTimer->start(100);
    }
    m_pPreviewSource = pScene;
    m_pPreviewScene->setSceneData(pScene);
    ui->playView->setScene(m_pPreviewScene);
    m_pPreviewScene->setSceneRect(0, 0, m_rectLast.width(), m_rectLast.height());
}

void CPlayWnd::slot_deletePreviewItem(CEditBaseScene *pScene, int nId)
{
    if (!m_pPreviewScene)
        return;
    // Our own copies tell of their items as they are destroyed; those are no
    // edits of the previewed scene, and neither are edits of another scene.
    if (isOwnCopy(pScene) || (pScene && m_pPreviewSource && pScene != m_pPreviewSource))
        return;
    m_bDelete = true;
    const QList<QGraphicsItem *> items = m_pPreviewScene->m_listItems;
    for (QGraphicsItem *pItem : items) {
        int nItemId = -1;
        if (pItem->type() == EditItemType_Base)
            nItemId = static_cast<CEditBaseItem *>(pItem)->getItemId();
        else if (pItem->type() == EditItemType_Proxy)
            nItemId = static_cast<CEditBaseProxyWidget *>(pItem)->getItemId();
        if (nItemId == nId)
            m_pPreviewScene->removeAndDeleteItem(pItem);
    }
    m_bDelete = false;
}

void CPlayWnd::slot_setLock(bool bLock)
{
    m_bLock = bLock;
}

void CPlayWnd::playWndMonitor()
{
    QPixmap pixmap(m_rectLast.size());
    pixmap.fill(Qt::black);
    {
        QPainter painter(&pixmap);
        const QRectF target(0, 0, m_rectLast.width(), m_rectLast.height());
        if (m_pPlayScene)
            m_pPlayScene->render(&painter, target, QRectF(), Qt::KeepAspectRatio);
        if (m_pPreviewScene)
            m_pPreviewScene->render(&painter, target, QRectF(), Qt::KeepAspectRatio);
    }
    globalObserver::getGlobalObserver()->notify("slot_monitor", Q_ARG(QPixmap, pixmap));
}

// ------------------------------------------------------------------ control panel

void CPlayWnd::animatePanel(qreal dFrom, qreal dTo, int nMs)
{
    auto *pAnimation = new QPropertyAnimation(m_pWidgetEffect, "opacity", this);
    pAnimation->setDuration(nMs);
    pAnimation->setStartValue(dFrom);
    pAnimation->setEndValue(dTo);
    pAnimation->setEasingCurve(QEasingCurve::Linear);
    pAnimation->start(QAbstractAnimation::DeleteWhenStopped);
}

void CPlayWnd::showControlPanel()
{
    if (!m_pWidgetEffect || !m_bHide || m_bLock)
        return;
    m_pPlayWidget->move(m_rectLast.width() / 2 - m_pPlayWidget->width() / 2,
                        m_rectLast.height() - 2 * m_pPlayWidget->height());
    animatePanel(0, 1, 100);
    setCursor(Qt::ArrowCursor);
    m_pShowTimer->start(10000);
    m_bHide = false;
}

void CPlayWnd::hideControlPanel()
{
    if (!m_pWidgetEffect || m_bLock)
        return;
    animatePanel(1, 0, 1000);
    setCursor(Qt::BlankCursor);
    m_bHide = true;
    m_pShowTimer->stop();
}

void CPlayWnd::slot_playClicked()
{
    globalObserver::getGlobalObserver()->notify("slot_play");
}

void CPlayWnd::slot_stopClicked()
{
    logInfo(QString::fromUtf8("停止 %1").arg(m_bIsTop));
    QPointer<CPlayWnd> pSelf(this);
    globalObserver::getGlobalObserver()->notify("slot_stop");
    if (pSelf && !m_bIsTop)
        globalObserver::getGlobalObserver()->notify("slot_activateMain", Q_ARG(bool, true));
}

void CPlayWnd::slot_returnClicked()
{
    logInfo(QString::fromUtf8("返回主界面"));
    setTopPlayWnd(false);
    globalObserver::getGlobalObserver()->notify("slot_activateMain", Q_ARG(bool, false));
}

void CPlayWnd::setTopPlayWnd(bool bTop)
{
    hide();
    if (bTop) {
        setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    } else {
        // Stays a window of its own even when it has a parent.
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setAttribute(Qt::WA_TranslucentBackground);
    }
    show();
    m_bIsTop = bTop;
}

// ------------------------------------------------------------------ menu

QMenu *CPlayWnd::createMenu()
{
    auto *pMenu = new QMenu();
    pMenu->setStyleSheet(
        "QMenu {background-color: rgb(57, 65, 69);color: rgb(255,255,255); font: 14pt;border: 1px solid rgb(172, "
        "172, 172);border-radius: 3px; }QMenu::item {background-color: transparent;border-bottom: 1px solid rgb(172, "
        "172, 172);padding:5px 10px;margin:0px 0px; }QMenu::item:selected {background-color: rgb(26, 171, 169); }");
    connect(pMenu->addAction(m_bIsLock ? tr("取消锁定") : tr("锁定播放")),
            &QAction::triggered, this, [this]() { m_bIsLock = !m_bIsLock; });
    connect(pMenu->addAction(tr("复原位置")), &QAction::triggered, this,
            [this]() { setGeometry(m_rectLast); });
    connect(pMenu->addAction(m_bIsTop ? tr("取消置顶") : tr("窗口置顶")),
            &QAction::triggered, this, [this]() { setTopPlayWnd(!m_bIsTop); });
    return pMenu;
}

void CPlayWnd::slot_showMenu(const QPoint &pos)
{
    QScopedPointer<QMenu> pMenu(createMenu());
    pMenu->exec(mapToGlobal(pos));
}

// ------------------------------------------------------------------ mouse and keys

void CPlayWnd::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton && !m_bIsTop) {
        globalObserver::getGlobalObserver()->notify("slot_activateMain", Q_ARG(bool, false));
    } else if (event->button() == Qt::LeftButton && !m_bIsLock) {
        m_bDrag = true;
        m_pressPos = event->globalPos();
        m_lastPos = frameGeometry().topLeft();
    }
    QWidget::mousePressEvent(event);
}

void CPlayWnd::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bDrag)
        move(m_lastPos + (event->globalPos() - m_pressPos));
    showControlPanel();
    QWidget::mouseMoveEvent(event);
}

void CPlayWnd::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_bDrag = false;
    QWidget::mouseReleaseEvent(event);
}

void CPlayWnd::enterEvent(QEvent *event)
{
    showControlPanel();
    QWidget::enterEvent(event);
}

void CPlayWnd::leaveEvent(QEvent *event)
{
    hideControlPanel();
    QWidget::leaveEvent(event);
}

void CPlayWnd::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        hide();
}

void CPlayWnd::closeEvent(QCloseEvent *event)
{
    event->ignore();
}
