#include "zinferface.h"
#include "ui_zinferface.h"

#include "FileListWidget.h"
#include "FrameStyles.h"
#include "LockWidget.h"
#include "PropertyStack.h"
#include "ProgramListWidget.h"
#include "QorGlobal.h"
#include "SysInfo.h"
#include "TitleHelper.h"
#include "globalObserver.h"
#include "zmiddlecontrol.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QThread>
#include <QVBoxLayout>

namespace {
constexpr unsigned long kSamplerStopWaitMs = 5000;

QSplitter *makeSplitter(Qt::Orientation orientation, const QString &strTitle, QWidget *pParent)
{
    auto *pSplitter = new QSplitter(orientation, pParent);
    pSplitter->setHandleWidth(5);
    pSplitter->setChildrenCollapsible(false);
    pSplitter->setWindowTitle(strTitle);
    return pSplitter;
}

QWidget *makePlace(const QString &strName)
{
    auto *pPlace = new QWidget;
    pPlace->setObjectName(strName);
    auto *pLayout = new QVBoxLayout(pPlace);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    return pPlace;
}
} // namespace

Zinferface::Zinferface(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::Zinferface)
{
    ui->setupUi(this);
    m_listRtDesktop = g_getDefaultDesktop();
    m_strVerDate = QStringLiteral("Vistel-V1.1(20240604)");
    setObjectName(QStringLiteral("Zinferface"));

    initNewWindow();
    m_titleHelper = new CTitleHelper(this, this);
    m_titleHelper->setTitleHeight(ui->widgetTitle->height());
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    connect(ui->widgetTitle, &CTitleWidget::doubleClicked, this, &Zinferface::slot_doubleclick_max);
    setWindowTitle(QStringLiteral("Zinferface"));
    changeStatuBar();

    startSampler();

    ui->btnFile->hide();
    ui->btnSet->hide();
    ui->btnHelp->hide();
    ui->labelLogo->setPixmap(QPixmap(QStringLiteral(":/res/res/image/kelvo.ico"))
                                 .scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    ui->btnMin->setStyleSheet(QLatin1String(FrameStyles::kMin));
    ui->btnNormalMax->setStyleSheet(QLatin1String(FrameStyles::kNormal));
    ui->btnClose->setStyleSheet(QLatin1String(FrameStyles::kClose));
    ui->btnLock->setStyleSheet(QLatin1String(FrameStyles::kLock));
    m_strSaveFile = QStringLiteral("kelvo.smt");
    ui->btnLock->hide();

    globalObserver::getGlobalObserver()->attach(QStringLiteral("slot_updateZEquipmentInputSource"), this,
                                                "slot_updateZEquipmentInputSource");
}

// Reads nothing of the bound device: its worker may be gone already.
Zinferface::~Zinferface()
{
    stopSampler();
    globalObserver::getGlobalObserver()->detach(QStringLiteral("slot_updateZEquipmentInputSource"), this);
    delete ui;
}

void Zinferface::startSampler()
{
    m_pSysThread = CSysInfo::startInThread(m_pSysInfo);
    connect(m_pSysInfo, &CSysInfo::sig_finish, [](const QString &) {});
}

// The thread's end deletes the sampler; one that does not end in time is left running.
void Zinferface::stopSampler()
{
    CSysInfo::stopThread(m_pSysInfo, m_pSysThread, kSamplerStopWaitMs);
}

void Zinferface::initNewWindow()
{
    QSplitter *pMain = makeSplitter(Qt::Horizontal, tr("splitter Main"), ui->mainWidget);

    QSplitter *pLeft = makeSplitter(Qt::Vertical, tr("Splitter up Left"), pMain);
    m_pListWidget = new CFileListWidget(this);
    pLeft->addWidget(m_pListWidget);
    m_pProgramListPlace = makePlace(QStringLiteral("programListPlace"));
    pLeft->addWidget(m_pProgramListPlace);
    m_pProgramListWidget = new CProgramListWidget(nullptr);
    m_pProgramListWidget->setDeviceFamily(QStringLiteral("Z"));
    m_pProgramListPlace->layout()->addWidget(m_pProgramListWidget);
    pLeft->setStretchFactor(0, 5);
    pLeft->setStretchFactor(1, 3);

    QSplitter *pMiddle = makeSplitter(Qt::Vertical, tr("Splitter Right"), pMain);
    QSplitter *pStripSplitter = makeSplitter(Qt::Vertical, tr("Splitter Right"), pMiddle);
    m_pZMiddleControl = new ZMiddleControl;
    pStripSplitter->addWidget(m_pZMiddleControl);
    pStripSplitter->setStretchFactor(0, 7);
    pMiddle->setStretchFactor(0, 8);

    QSplitter *pRight = makeSplitter(Qt::Vertical, tr("Splitter Right"), pMain);
    m_pPropertyPlace = makePlace(QStringLiteral("propertyPlace"));
    pRight->addWidget(m_pPropertyPlace);
    pRight->setStretchFactor(0, 4);

    pMain->setStretchFactor(0, 2);
    pMain->setStretchFactor(1, 5);
    pMain->setStretchFactor(2, 2);

    delete ui->centralwidget->layout()->replaceWidget(ui->mainWidget, pMain, Qt::FindChildrenRecursively);
    ui->mainWidget->hide();
}

QWidget *Zinferface::panelPlace(const QString &strName) const
{
    for (QWidget *pPlace : {m_pProgramListPlace, m_pPropertyPlace}) {
        if (pPlace && pPlace->objectName() == strName)
            return pPlace;
    }
    return nullptr;
}

// The version text keeps the language in force when the frame was made.
void Zinferface::changeStatuBar()
{
    if (!m_pVerInfo) {
        m_pVerInfo = new QLabel;
        m_pLabelSysInfo = new QLabel;
        m_pVerInfo->setFrameShape(QFrame::NoFrame);
        m_pLabelSysInfo->setFrameShape(QFrame::NoFrame);
        ui->statusbar->addWidget(m_pVerInfo);
        ui->statusbar->addPermanentWidget(m_pLabelSysInfo, 0);
    }
    if (g_strLanguage == QLatin1String("English"))
        m_pVerInfo->setText(QStringLiteral("  Version number：V1.0.%1  ").arg(m_strVerDate));
    else
        m_pVerInfo->setText(QStringLiteral("  版本号：V1.0.%1  ").arg(m_strVerDate));
}

void Zinferface::initSceneData(DeviceInfo *device, const QList<ZSceneInfo *> &listScene)
{
    if (!device || !m_pListWidget)
        return;
    m_pCurrentDevice = device;
    m_pListWidget->addDeviceToList(device, device->strSerial);
    fillProgramList(listScene);
    if (!m_pPropertyStack && m_pPropertyPlace) {
        // Made when a device is first edited here; it holds the Z device settings page.
        m_pPropertyStack = new CPropertyStack;
        m_pPropertyPlace->layout()->addWidget(m_pPropertyStack);
    }
    if (m_pPropertyStack)
        m_pPropertyStack->setInputSourceData(device->vectorInput);
}

void Zinferface::updateZSceneData(QString strSerial, const QList<ZSceneInfo *> &listScene)
{
    if (!m_pCurrentDevice || m_pCurrentDevice->strSerial != strSerial)
        return;
    fillProgramList(listScene);
}

// One card per stored scene, in list order, and the add-card while there is room.
void Zinferface::fillProgramList(const QList<ZSceneInfo *> &listScene)
{
    if (!m_pProgramListWidget || !m_pCurrentDevice)
        return;
    m_pProgramListWidget->destroyProgram();
    for (const ZSceneInfo *pScene : listScene)
        m_pProgramListWidget->addUsedCardItem(pScene->nSceneIndex, pScene->strName, m_pCurrentDevice->strSerial,
                                              m_pCurrentDevice->nTakeScene, m_pCurrentDevice->nSceneMax);
    if (!listScene.isEmpty() && listScene.size() < m_pCurrentDevice->nSceneMax)
        m_pProgramListWidget->slot_updateProgramLayout(m_pCurrentDevice->strSerial);
}

// Only the bound device's input refresh reaches the panel: a refresh of any
// other Z device would rebind the panel, which would then poll and command
// that device.
void Zinferface::slot_updateZEquipmentInputSource(DeviceInfo *device, QString strSerial)
{
    if (isHidden() || !m_pListWidget || !m_pCurrentDevice || !device
        || device->strSerial != m_pCurrentDevice->strSerial)
        return;
    m_pListWidget->addDeviceToList(device, strSerial);
}

// Empties the scene list.
void Zinferface::slot_destroySceneMain()
{
    if (m_pProgramListWidget)
        m_pProgramListWidget->destroyProgram();
}

void Zinferface::showEvent(QShowEvent *event)
{
    setAttribute(Qt::WA_Mapped);
    QMainWindow::showEvent(event);
}

bool Zinferface::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && m_pCurrentDevice)
        g_strDevType = QStringLiteral("Z");
    return QMainWindow::event(event);
}

void Zinferface::on_btnNormalMax_clicked()
{
    bool bShow = false;
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_showToolBar"), Q_ARG(bool, bShow));
    if (isMaximized()) {
        showNormal();
        ui->btnNormalMax->setStyleSheet(QLatin1String(FrameStyles::kNormal));
    } else {
        showMaximized();
        ui->btnNormalMax->setStyleSheet(QLatin1String(FrameStyles::kMax));
    }
}

void Zinferface::slot_doubleclick_max()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void Zinferface::on_btnMin_clicked()
{
    showMinimized();
}

void Zinferface::slot_activateMain(bool bIsMin)
{
    if (bIsMin && isMinimized())
        return;
    showNormal();
    raise();
    activateWindow();
}

void Zinferface::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick)
        slot_activateMain(false);
}

void Zinferface::on_btnLock_clicked()
{
    if (!m_pLockWidget)
        m_pLockWidget = new CLockWidget(geometry(), window());
    m_bLock = true;
    m_pLockWidget->setGeometry(geometry());
    m_pLockWidget->show();
    bool bLock = true;
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_setLock"), Q_ARG(bool, bLock));
}

// The close button and a close by the window system end here: every serial
// port closes; on a serial line the whole program closes, otherwise the frame
// only hides and stays for the next open.
void Zinferface::closeMain()
{
    globalObserver::getGlobalObserver()->notify(QStringLiteral("Slot_DisconnectSerialPort"));
    hide();
    if (g_nConnectionType == 1)
        QMetaObject::invokeMethod(qApp, &QApplication::closeAllWindows, Qt::QueuedConnection);
}

void Zinferface::on_btnClose_clicked()
{
    closeMain();
}

void Zinferface::closeEvent(QCloseEvent *event)
{
    event->ignore();
    closeMain();
}
