#include "EditFrameBase.h"

#include "CardProgramWidget.h"
#include "FileListWidget.h"
#include "FrameStyles.h"
#include "LockWidget.h"
#include "ProgramListWidget.h"
#include "PropertyStack.h"
#include "QorGlobal.h"
#include "SysInfo.h"
#include "TitleHelper.h"
#include "TitleWidget.h"
#include "globalObserver.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QThread>
#include <QVBoxLayout>
#include <QtDebug>

namespace {
// How long a frame waits for its sampler thread to end when it goes.
constexpr unsigned long kSamplerStopWaitMs = 5000;
QRect g_rtScreenAreaOverride;
// The least height a scrolling property column keeps.
constexpr int kPropertyColumnFloor = 120;

// The window's layouts take in changed minimums now rather than on the next event loop pass:
// each level of nested splitters and layouts posts its request to the next.
void settleLayouts(QWidget *pWindow)
{
    for (int i = 0; i < 8; ++i)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (pWindow->layout())
        pWindow->layout()->activate();
}
} // namespace

CEditFrameBase::CEditFrameBase(const QString &strFamily, QWidget *parent)
    : QMainWindow(parent)
    , m_strFamily(strFamily)
{
    // The window's kind is settled before the frame builds its form: changing
    // it later styles every widget of the frame again.
    m_titleHelper = new CTitleHelper(this, this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
}

// Reads nothing of the bound device: its worker may be gone already when the
// device list window shuts down.
CEditFrameBase::~CEditFrameBase()
{
    stopSampler();
}

QString CEditFrameBase::deviceModel() const
{
    return m_pCurrentDevice ? m_pCurrentDevice->strDevName : QString();
}

// ----------------------------------------------------------------- set-up

void CEditFrameBase::initFrame(const FormParts &parts)
{
    m_form = parts;
    // The desktop gives the Tarn canvas its first geometry: only the frame that shows that canvas
    // takes it, so a Z frame built later leaves the edited Tarn device's geometry alone.
    if (m_strFamily == QLatin1String("Tarn"))
        m_listRtDesktop = g_getDefaultDesktop();

    m_titleHelper->setTitleHeight(m_form.pTitle->height());
    connect(m_form.pTitle, &CTitleWidget::doubleClicked, this, &CEditFrameBase::slot_doubleclick_max);

    m_form.pFile->hide();
    m_form.pSet->hide();
    m_form.pHelp->hide();
    m_form.pLogo->setPixmap(QPixmap(QStringLiteral(":/res/res/image/kelvo.ico"))
                                .scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    m_form.pMin->setStyleSheet(QLatin1String(FrameStyles::kMin));
    m_form.pNormalMax->setStyleSheet(QLatin1String(FrameStyles::kNormal));
    m_form.pClose->setStyleSheet(QLatin1String(FrameStyles::kClose));
    m_form.pLock->setStyleSheet(QLatin1String(FrameStyles::kLock));

    startSampler();
}

QSplitter *CEditFrameBase::makeSplitter(Qt::Orientation orientation, const QString &strTitle, QWidget *pParent)
{
    auto *pSplitter = new QSplitter(orientation, pParent);
    pSplitter->setHandleWidth(5);
    pSplitter->setChildrenCollapsible(false);
    pSplitter->setWindowTitle(strTitle);
    return pSplitter;
}

void CEditFrameBase::setYieldingPanel(QWidget *pPanel)
{
    m_pYieldingPanel = pPanel;
    m_szYieldingForm = pPanel ? pPanel->minimumSize() : QSize();
}

QWidget *CEditFrameBase::makePlace(const QString &strName, QWidget *pParent)
{
    auto *pPlace = new QWidget(pParent);
    pPlace->setObjectName(strName);
    auto *pLayout = new QVBoxLayout(pPlace);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    return pPlace;
}

void CEditFrameBase::hostPanel(QWidget *pPlace, QWidget *pPanel)
{
    if (pPlace && pPanel)
        pPlace->layout()->addWidget(pPanel);
}

QWidget *CEditFrameBase::panelPlace(const QString &strName) const
{
    for (QWidget *pPlace : m_listPlaces) {
        if (pPlace && pPlace->objectName() == strName)
            return pPlace;
    }
    return nullptr;
}

// Left: the source panel over the scene list (5 : 3). Middle: the family's
// panel in a splitter of its own. Right: the property place. Columns 2 : 5 : 2.
void CEditFrameBase::buildWorkArea(const std::function<QWidget *(QWidget *)> &fnMiddle)
{
    // Made under the widget that will hold it: taking the placeholder's place then moves nothing.
    QSplitter *pMain = makeSplitter(Qt::Horizontal, tr("splitter Main"), m_form.pMainWidget->parentWidget());

    QSplitter *pLeft = makeSplitter(Qt::Vertical, tr("Splitter up Left"), pMain);
    m_pListWidget = new CFileListWidget(pLeft);
    m_pListWidget->setDeviceFamily(m_strFamily);
    pLeft->addWidget(m_pListWidget);
    m_pProgramListPlace = makePlace(QStringLiteral("programListPlace"), pLeft);
    addPlace(m_pProgramListPlace);
    pLeft->addWidget(m_pProgramListPlace);
    m_pProgramListWidget = new CProgramListWidget(m_pProgramListPlace);
    m_pProgramListWidget->setDeviceFamily(m_strFamily);
    hostPanel(m_pProgramListPlace, m_pProgramListWidget);
    pLeft->setStretchFactor(0, 5);
    pLeft->setStretchFactor(1, 3);

    QSplitter *pMiddleColumn = makeSplitter(Qt::Vertical, tr("Splitter Right"), pMain);
    QSplitter *pInner = makeSplitter(Qt::Vertical, tr("Splitter Right"), pMiddleColumn);
    pInner->addWidget(fnMiddle(pInner));
    pInner->setStretchFactor(0, 7);
    pMiddleColumn->setStretchFactor(0, 8);

    QSplitter *pRight = makeSplitter(Qt::Vertical, tr("Splitter Right"), pMain);
    m_pPropertyPlace = makePlace(QStringLiteral("propertyPlace"), pRight);
    addPlace(m_pPropertyPlace);
    pRight->addWidget(m_pPropertyPlace);
    pRight->setStretchFactor(0, 4);

    pMain->setStretchFactor(0, 2);
    pMain->setStretchFactor(1, 5);
    pMain->setStretchFactor(2, 2);

    delete m_form.pCentral->layout()->replaceWidget(m_form.pMainWidget, pMain, Qt::FindChildrenRecursively);
    m_form.pMainWidget->hide();
    m_pMainSplitter = pMain;
    m_pLeftSplitter = pLeft;
}

void CEditFrameBase::scheduleWorkAreaShares()
{
    if (m_bSharesPending || !m_pMainSplitter)
        return;
    m_bSharesPending = true;
    // After the layouts have given the splitters their new sizes.
    QMetaObject::invokeMethod(
        this,
        [this]() {
            m_bSharesPending = false;
            applyWorkAreaShares();
        },
        Qt::QueuedConnection);
}

// The splitters' own distribution follows the panels' size hints, which left the
// scene list one row high and gave a maximised window's room to the property
// panel. A splitter keeps every panel at its minimum whatever it is given.
void CEditFrameBase::applyWorkAreaShares()
{
    if (m_pMainSplitter && m_pMainSplitter->count() == 3) {
        const int nWidth = m_pMainSplitter->width() - 2 * m_pMainSplitter->handleWidth();
        const int nSide = nWidth * 2 / 9;
        m_pMainSplitter->setSizes({nSide, nWidth - 2 * nSide, nSide});
    }
    if (m_pLeftSplitter && m_pLeftSplitter->count() == 2) {
        const int nHeight = m_pLeftSplitter->height() - m_pLeftSplitter->handleWidth();
        const int nSources = nHeight * 5 / 8;
        m_pLeftSplitter->setSizes({nSources, nHeight - nSources});
    }
}

void CEditFrameBase::ensurePropertyStack()
{
    if (m_pPropertyStack || !m_pPropertyPlace)
        return;
    m_pPropertyStack = new CPropertyStack(m_pPropertyPlace);
    m_pPropertyStack->setServedDevice(m_pCurrentDevice ? m_pCurrentDevice->strSerial : QString(), m_strFamily);
    hostPanel(m_pPropertyPlace, m_pPropertyStack);
}

void CEditFrameBase::buildPropertyStack()
{
    if (m_pPropertyStack)
        return;
    ensurePropertyStack();
    if (m_pPropertyStack && m_pCurrentDevice) {
        m_pPropertyStack->setDeviceModel(m_pCurrentDevice->strDevName);
        m_pPropertyStack->setInputSourceData(m_pCurrentDevice->vectorInput);
    }
}

void CEditFrameBase::setVersionText(const QString &strText)
{
    if (!m_pVerInfo) {
        m_pVerInfo = new QLabel;
        m_pLabelSysInfo = new QLabel;
        m_pVerInfo->setFrameShape(QFrame::NoFrame);
        m_pLabelSysInfo->setFrameShape(QFrame::NoFrame);
        m_form.pStatus->addWidget(m_pVerInfo);
        m_form.pStatus->addPermanentWidget(m_pLabelSysInfo, 0);
    }
    m_pVerInfo->setText(strText);
}

// ------------------------------------------------------------------ sampler

// The sampler lives in a thread of its own, whose end deletes it; its text
// goes to a handler that does nothing.
void CEditFrameBase::startSampler()
{
    m_pSysInfo = new CSysInfo;
    m_pSysThread = new QThread;
    m_pSysInfo->moveToThread(m_pSysThread);
    connect(this, &CEditFrameBase::sig_startThread, m_pSysInfo, &CSysInfo::doWork);
    connect(m_pSysThread, &QThread::finished, m_pSysInfo, &QObject::deleteLater);
    connect(m_pSysInfo, &CSysInfo::sig_finish, [](const QString &) {});
    m_pSysThread->start(QThread::InheritPriority);
    emit sig_startThread();
}

// One that does not end in time is left running rather than destroyed while it runs.
void CEditFrameBase::stopSampler()
{
    CSysInfo::stopThread(m_pSysInfo, m_pSysThread, kSamplerStopWaitMs);
}

void CEditFrameBase::destroy()
{
    releaseFamilyPanels();
    delete m_pListWidget;
    m_pListWidget = nullptr;
    delete m_pProgramListWidget;
    m_pProgramListWidget = nullptr;
    delete m_pPropertyStack;
    m_pPropertyStack = nullptr;
    qInfo().noquote() << QStringLiteral("[%1]: ").arg(QDateTime::currentDateTime().toString(
                             QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                             + QStringLiteral("/********** 软件关闭 **********/");
}

// ------------------------------------------------------------------ binding

bool CEditFrameBase::isBoundTo(const QString &strSerial) const
{
    return m_pCurrentDevice && m_pCurrentDevice->strSerial == strSerial;
}

void CEditFrameBase::bindDevice(DeviceInfo *device, const CardList &listCards)
{
    m_pCurrentDevice = device;
    m_pListWidget->addDeviceToList(device, device->strSerial);
    fillProgramCards(listCards);
    if (m_pPropertyStack) {
        m_pPropertyStack->setDeviceModel(device->strDevName);
        m_pPropertyStack->setServedDevice(device->strSerial, m_strFamily);
        m_pPropertyStack->setInputSourceData(device->vectorInput);
    }
}

// One card per stored scene, in list order, and the add-card while there is room.
void CEditFrameBase::fillProgramCards(const CardList &listCards)
{
    if (!m_pProgramListWidget || !m_pCurrentDevice)
        return;
    // The same device: the cards of the scenes it still holds stay, renumbered in place, so a
    // read-back (after a recall, a rename, a refresh) or the end of a delete, taken, refused or
    // left unanswered, leaves a card's open name editor, its menu or its question alone.
    const bool bSameDevice = m_pProgramListWidget->serial() == m_pCurrentDevice->strSerial
                             && m_pProgramListWidget->sceneMax() == m_pCurrentDevice->nSceneMax;
    // The count the device gave tells an empty device (its add-card alone) from one whose scenes
    // are still to be read.
    m_pProgramListWidget->setSceneCount(m_pCurrentDevice->nSceneNum);
    if (bSameDevice) {
        m_pProgramListWidget->followScenes(listCards);
    } else {
        m_pProgramListWidget->destroyProgram();
        // The strip stands for this device, its live scene too, whether or not it holds a scene;
        // an add-card made below is the new device's.
        m_pProgramListWidget->setBoundDevice(m_pCurrentDevice->strSerial, m_pCurrentDevice->nTakeScene,
                                             m_pCurrentDevice->nSceneMax);
    }
    // A card the strip still holds takes its name and the live scene in place.
    for (const QPair<int, QString> &card : listCards)
        m_pProgramListWidget->addUsedCardItem(card.first, card.second, m_pCurrentDevice->strSerial,
                                              m_pCurrentDevice->nTakeScene, m_pCurrentDevice->nSceneMax);
    if (bSameDevice)
        m_pProgramListWidget->slot_updateLayoutTakeStatus(m_pCurrentDevice->nTakeScene, m_pCurrentDevice->strSerial);
    if (m_pProgramListWidget->offersAddCard(listCards.size()))
        m_pProgramListWidget->slot_updateProgramLayout(m_pCurrentDevice->strSerial);
}

// A refresh of any other device would rebind the panel, which would then poll
// and command that device.
bool CEditFrameBase::refreshInputs(DeviceInfo *device, const QString &strSerial)
{
    if (isHidden() || !m_pListWidget || !device || !isBoundTo(device->strSerial))
        return false;
    m_pCurrentDevice = device;
    m_pListWidget->addDeviceToList(device, strSerial);
    // The layer page offers the inputs the device reports now (one back with fewer inputs has
    // dropped the others).
    if (m_pPropertyStack)
        m_pPropertyStack->setInputSourceData(device->vectorInput);
    return true;
}

// While a frame is the active window, the program-wide family text is its
// own: the plain hub topics reach the scene list of the family the operator
// works in. The frame's panels take their family and model from the frame.
bool CEditFrameBase::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && m_pCurrentDevice)
        g_strDevType = m_strFamily;
    if (event->type() == QEvent::Resize)
        scheduleWorkAreaShares();
    // The texts of another language may ask for more room than the frame was placed in: once the
    // panels have taken them, a shown frame that lay within its screen fits it again (one the
    // operator moved partly off the screen stays where it is).
    if (event->type() == QEvent::LanguageChange && isVisible()) {
        QScreen *pScreen = QGuiApplication::screenAt(geometry().center());
        const QRect rtRoom = screenArea(pScreen ? pScreen : QGuiApplication::primaryScreen());
        if (rtRoom.contains(geometry()))
            QMetaObject::invokeMethod(
                this,
                [this]() {
                    if (isVisible() && !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
                        fitIntoScreen();
                },
                Qt::QueuedConnection);
    }
    return QMainWindow::event(event);
}

// ------------------------------------------------------- window behaviour

void CEditFrameBase::setScreenAreaOverride(const QRect &rtArea)
{
    g_rtScreenAreaOverride = rtArea;
}

void CEditFrameBase::showEvent(QShowEvent *event)
{
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
        fitIntoScreen();
    QMainWindow::showEvent(event);
}

// Shown before it is mapped: the layouts have given the frame its minimum, which may have made
// it larger than the size it was placed for.
void CEditFrameBase::fitIntoScreen()
{
    const bool bCentre = m_bOpensCentred && !m_bPlaced;
    QScreen *pScreen = bCentre ? nullptr : QGuiApplication::screenAt(geometry().center());
    if (!pScreen)
        pScreen = QGuiApplication::primaryScreen();
    const QRect rtRoom = screenArea(pScreen);
    if (rtRoom.isEmpty())
        return;
    yieldTo(rtRoom.size());
    settleLayouts(this);

    QRect rt = geometry();
    rt.setSize(rt.size().boundedTo(rtRoom.size()).expandedTo(minimumSize()));
    if (bCentre || !rtRoom.contains(rt))
        rt.moveCenter(rtRoom.center());
    // Larger than the area even so: its title row stays on the screen.
    rt.moveTopLeft(QPoint(qMax(rt.left(), rtRoom.left()), qMax(rt.top(), rtRoom.top())));
    m_bPlaced = true;
    if (rt != geometry())
        setGeometry(rt);
}

// On a screen smaller than the frame's minimum the middle panel gives way first (its form's
// minimum, down to half), then the property column scrolls; on a larger screen nothing changes.
void CEditFrameBase::yieldTo(const QSize &szRoom)
{
    if (!layout())
        return;
    for (int nPass = 0; nPass < 8; ++nPass) {
        settleLayouts(this);
        const QSize szNeed = layout()->totalMinimumSize();
        const int dx = szNeed.width() - szRoom.width();
        const int dy = szNeed.height() - szRoom.height();
        if (dx <= 0 && dy <= 0)
            return;
        bool bChanged = false;
        if (m_pYieldingPanel) {
            const QSize szMin = m_pYieldingPanel->minimumSize();
            const QSize szFloor = m_szYieldingForm / 2;
            const QSize szNew(qMax(szFloor.width(), szMin.width() - qMax(0, dx)),
                              qMax(szFloor.height(), szMin.height() - qMax(0, dy)));
            if (szNew != szMin) {
                m_pYieldingPanel->setMinimumSize(szNew);
                bChanged = true;
            }
        }
        if (!bChanged && dy > 0)
            bChanged = scrollPropertyColumn(dy);
        if (!bChanged)
            return;
    }
}

QRect CEditFrameBase::screenArea(const QScreen *pScreen)
{
    if (!g_rtScreenAreaOverride.isEmpty())
        return g_rtScreenAreaOverride;
    return pScreen ? pScreen->availableGeometry() : QRect();
}

// Bounds the title row fixed while the frame was maximised (as large as the screen's area at
// most) would otherwise take the restored frame past the screen's edge.
void CEditFrameBase::showNormalWithinScreen()
{
    const QRect rtNormal = normalGeometry();
    showNormal();
    const QRect rtRoom = screenArea(screen());
    if (rtNormal.isEmpty() || rtRoom.isEmpty())
        return;
    QRect rt(rtNormal.topLeft(), rtNormal.size().expandedTo(minimumSize()).boundedTo(maximumSize()));
    rt.moveRight(qMin(rt.right(), rtRoom.right()));
    rt.moveBottom(qMin(rt.bottom(), rtRoom.bottom()));
    rt.moveTopLeft(QPoint(qMax(rt.left(), rtRoom.left()), qMax(rt.top(), rtRoom.top())));
    if (rt != rtNormal)
        setGeometry(rt);
}

bool CEditFrameBase::scrollPropertyColumn(int nBy)
{
    if (!m_pPropertyPlace)
        return false;
    if (!m_pPropertyScroll) {
        auto *pColumn = qobject_cast<QSplitter *>(m_pPropertyPlace->parentWidget());
        if (!pColumn)
            return false;
        // The splitter takes it in the place's stead, then it takes the place.
        auto *pScroll = new QScrollArea;
        pScroll->setObjectName(QStringLiteral("propertyScroll"));
        pScroll->setFrameShape(QFrame::NoFrame);
        pScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        pScroll->setWidgetResizable(true);
        pColumn->replaceWidget(pColumn->indexOf(m_pPropertyPlace), pScroll);
        pScroll->setWidget(m_pPropertyPlace);
        // The column keeps the look it had: no backgrounds of the scroll area's own.
        m_pPropertyPlace->setAutoFillBackground(false);
        pScroll->viewport()->setAutoFillBackground(false);
        m_pPropertyScroll = pScroll;
    }
    const QSize szContent = m_pPropertyPlace->minimumSizeHint();
    const int nNow = m_pPropertyScroll->minimumHeight() > 0 ? m_pPropertyScroll->minimumHeight() : szContent.height();
    const QSize szNew(szContent.width() + m_pPropertyScroll->verticalScrollBar()->sizeHint().width(),
                      qMax(qMin(kPropertyColumnFloor, szContent.height()), nNow - nBy));
    if (szNew == m_pPropertyScroll->minimumSize())
        return false;
    m_pPropertyScroll->setMinimumSize(szNew);
    return true;
}

void CEditFrameBase::on_btnNormalMax_clicked()
{
    bool bShow = false;
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_showToolBar"), Q_ARG(bool, bShow));
    if (isMaximized()) {
        leavingMaximised();
        showNormalWithinScreen();
        m_form.pNormalMax->setStyleSheet(QLatin1String(FrameStyles::kNormal));
    } else {
        showMaximized();
        m_form.pNormalMax->setStyleSheet(QLatin1String(FrameStyles::kMax));
    }
}

void CEditFrameBase::slot_doubleclick_max()
{
    if (isMaximized())
        showNormalWithinScreen();
    else
        showMaximized();
}

void CEditFrameBase::on_btnMin_clicked()
{
    showMinimized();
}

void CEditFrameBase::slot_activateMain(bool bIsMin)
{
    if (bIsMin && isMinimized())
        return;
    showNormal();
    raise();
    activateWindow();
}

void CEditFrameBase::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick)
        slot_activateMain(false);
}

// The close button and a close by the window system end here.
void CEditFrameBase::closeMain()
{
    globalObserver::getGlobalObserver()->notify(QStringLiteral("Slot_DisconnectSerialPort"));
    hide();
}

void CEditFrameBase::on_btnClose_clicked()
{
    closeMain();
}

void CEditFrameBase::closeEvent(QCloseEvent *event)
{
    event->ignore();
    closeMain();
}

// ----------------------------------------------------------------- the lock

// One overlay, made on the first lock, laid over the frame as it stands.
void CEditFrameBase::on_btnLock_clicked()
{
    if (!m_pLockWidget)
        m_pLockWidget = new CLockWidget(geometry(), window());
    m_bLock = true;
    m_pLockWidget->setGeometry(geometry());
    m_pLockWidget->show();
    bool bLock = true;
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_setLock"), Q_ARG(bool, bLock));
}

void CEditFrameBase::slot_unLock()
{
    if (!m_pLockWidget)
        return;
    m_bLock = false;
    m_pLockWidget->hide();
}
