#include "EditSceneMain.h"
#include "ui_EditSceneMain.h"

#include "AudioSettings.h"
#include "BesMessageBox.h"
#include "EditSceneCanvas.h"
#include "FileListWidget.h"
#include "FrameStyles.h"
#include "LockWidget.h"
#include "OutputSettingDlg.h"
#include "ProgramListWidget.h"
#include "PropertyStack.h"
#include "QorGlobal.h"
#include "SysInfo.h"
#include "TarnSceneStore.h"
#include "TarnSceneSink.h"
#include "TitleHelper.h"
#include "globalObserver.h"
#include "osdsrttingdlg.h"
#include "screenManage/SreenManageDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QSaveFile>
#include <QSplitter>
#include <QStatusBar>
#include <QThread>
#include <QTranslator>
#include <QVBoxLayout>

namespace {
// Topics the frame receives, attached in this order and detached in the same.
const char *const kTopics[] = {
    "slot_unLock",           "slot_showMonitor",            "slot_activateMain",
    "slot_destroySceneMain", "slot_updateInputSource",      "slot_updatecomboxInputSource",
    "on_OSDSettingButton_clicked",
};

// How long the frame waits for its sampler thread to end when it goes.
constexpr unsigned long kSamplerStopWaitMs = 5000;
} // namespace

CEditSceneMain::CEditSceneMain(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::EditSceneMain)
{
    // The window's kind is settled before the form is built: changing it later restyles every
    // widget the frame has.
    m_titleHelper = new CTitleHelper(this, this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    ui->setupUi(this);
    m_pTranslator = new QTranslator(this);

    m_listRtDesktop = g_getDefaultDesktop();
    g_rtSetSize = QRect(0, 0, g_rtBackCanvas.width(), g_rtBackCanvas.height());

    m_strVerDate = QStringLiteral("Vistel-V1.1(20250108)");
    m_strVerNumber = g_strLanguage == QLatin1String("English") ? tr("Version number") : tr("版本号");
    setObjectName(QStringLiteral("EditSceneMain"));

    initNewWindow();
    m_titleHelper->setTitleHeight(ui->widgetTitle->height());
    connect(ui->widgetTitle, &CTitleWidget::doubleClicked, this, &CEditSceneMain::slot_doubleclick_max);
    initMenu();
    setWindowTitle(QStringLiteral("EditScene"));
    changeStatuBar();

    startSampler();

    const int w = g_rtPrimaryScreen.width() * 2 / 3;
    const int h = g_rtPrimaryScreen.height() * 2 / 3;
    setGeometry((g_rtPrimaryScreen.width() - w) / 2, (g_rtPrimaryScreen.height() - h) / 2, w, h);

    ui->btnFile->hide();
    ui->btnSet->hide();
    ui->btnHelp->hide();
    ui->labelLogo->setPixmap(QPixmap(QStringLiteral(":/res/res/image/kelvo.ico"))
                                 .scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    ui->btnMin->setStyleSheet(QLatin1String(FrameStyles::kMin));
    ui->btnNormalMax->setStyleSheet(QLatin1String(FrameStyles::kNormal));
    ui->btnClose->setStyleSheet(QLatin1String(FrameStyles::kClose));
    ui->btnLock->setStyleSheet(QLatin1String(FrameStyles::kLock));

    ui->OutputSettingButton->setText(tr("输出设置"));
    ui->OutputSettingButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_strSaveFile = QStringLiteral("kelvo.smt");

    globalObserver *pHub = globalObserver::getGlobalObserver();
    for (const char *pszTopic : kTopics)
        pHub->attach(QLatin1String(pszTopic), this, pszTopic);
}

// Reads nothing of the bound device: its worker may be gone already when the
// device list window shuts down.
CEditSceneMain::~CEditSceneMain()
{
    stopSampler();
    globalObserver *pHub = globalObserver::getGlobalObserver();
    for (const char *pszTopic : kTopics)
        pHub->detach(QLatin1String(pszTopic), this);
    delete m_pOSDSettingDlg;
    delete ui;
}

// ------------------------------------------------------------------ sampler

void CEditSceneMain::startSampler()
{
    m_pSysThread = CSysInfo::startInThread(m_pSysInfo);
    connect(m_pSysInfo, &CSysInfo::sig_finish, [](const QString &) {});
}

// The thread's end deletes the sampler; one that does not end in time is left running.
void CEditSceneMain::stopSampler()
{
    CSysInfo::stopThread(m_pSysInfo, m_pSysThread, kSamplerStopWaitMs);
}

// ---------------------------------------------------------------- work area

QSplitter *CEditSceneMain::makeSplitter(Qt::Orientation orientation, const QString &strTitle,
                                        QWidget *pParent)
{
    auto *pSplitter = new QSplitter(orientation, pParent);
    pSplitter->setHandleWidth(5);
    pSplitter->setChildrenCollapsible(false);
    pSplitter->setWindowTitle(strTitle);
    return pSplitter;
}

void CEditSceneMain::hostPanel(QWidget *pPlace, QWidget *pPanel)
{
    if (!pPlace || !pPanel)
        return;
    pPlace->layout()->addWidget(pPanel);
}

QWidget *CEditSceneMain::panelPlace(const QString &strName) const
{
    for (QWidget *pPlace : {m_pProgramListPlace, m_pCanvasPlace, m_pPropertyPlace}) {
        if (pPlace && pPlace->objectName() == strName)
            return pPlace;
    }
    return nullptr;
}

static QWidget *makePlace(const QString &strName)
{
    auto *pPlace = new QWidget;
    pPlace->setObjectName(strName);
    auto *pLayout = new QVBoxLayout(pPlace);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    return pPlace;
}

void CEditSceneMain::initNewWindow()
{
    QSplitter *pMain = makeSplitter(Qt::Horizontal, tr("splitter Main"), ui->centralwidget);

    QSplitter *pLeft = makeSplitter(Qt::Vertical, tr("Splitter up Left"), pMain);
    m_pListWidget = new CFileListWidget(pLeft);
    pLeft->addWidget(m_pListWidget);
    m_pProgramListPlace = makePlace(QStringLiteral("programListPlace"));
    pLeft->addWidget(m_pProgramListPlace);
    m_pProgramListWidget = new CProgramListWidget(nullptr);
    m_pProgramListWidget->setDeviceFamily(QStringLiteral("Tarn"));
    hostPanel(m_pProgramListPlace, m_pProgramListWidget);
    pLeft->setStretchFactor(0, 5);
    pLeft->setStretchFactor(1, 3);

    QSplitter *pMiddle = makeSplitter(Qt::Vertical, tr("Splitter Right"), pMain);
    QSplitter *pCanvasSplitter = makeSplitter(Qt::Vertical, tr("Splitter Right"), pMiddle);
    m_pCanvasPlace = makePlace(QStringLiteral("canvasPlace"));
    pCanvasSplitter->addWidget(m_pCanvasPlace);
    m_pCanvas = new CEditSceneCanvas(m_pCanvasPlace);
    hostPanel(m_pCanvasPlace, m_pCanvas);
    m_pCanvas->sendCurrentScene();
    pCanvasSplitter->setStretchFactor(0, 7);
    pMiddle->setStretchFactor(0, 8);

    QSplitter *pRight = makeSplitter(Qt::Vertical, tr("Splitter Right"), pMain);
    m_pPropertyPlace = makePlace(QStringLiteral("propertyPlace"));
    pRight->addWidget(m_pPropertyPlace);
    m_pPropertyStack = new CPropertyStack(m_pPropertyPlace);
    hostPanel(m_pPropertyPlace, m_pPropertyStack);
    pRight->setStretchFactor(0, 4);

    pMain->setStretchFactor(0, 2);
    pMain->setStretchFactor(1, 5);
    pMain->setStretchFactor(2, 2);

    // The main splitter takes the place of the form's placeholder.
    delete ui->centralwidget->layout()->replaceWidget(ui->mainWidget, pMain, Qt::FindChildrenRecursively);
    ui->mainWidget->hide();
}

// A second arrangement of the work area (sources, canvas and properties side
// by side over an empty row), kept for a layout without the scene list.
void CEditSceneMain::initWindow()
{
    QSplitter *pMain = makeSplitter(Qt::Vertical, tr("splitter Main"), ui->mainWidget);
    QSplitter *pUp = makeSplitter(Qt::Horizontal, tr("Splitter up Left"), pMain);
    QSplitter *pDown = makeSplitter(Qt::Horizontal, tr("Splitter Down"), pMain);
    pMain->setStretchFactor(0, 3);
    pMain->setStretchFactor(1, 3);
    Q_UNUSED(pUp)
    Q_UNUSED(pDown)
}

// ------------------------------------------------------------------- menus

void CEditSceneMain::initMenu()
{
    const QString strSetStyle = QStringLiteral(
        "QMenu {border: 2px solid black;background-color:#353535;color:white;}"
        "QMenu::item:selected{ background-color:#606060;}");

    m_pFileMenu = new QMenu(this);
    m_pFileMenu->setStyleSheet(QStringLiteral(
        "QMenu {border: 1px solid #353535;background-color:#353535;color:white;}"
        "QMenu::item:selected{background-color:#606060;}"));
    m_pFileMenu->addAction(tr("新建工程Ctrl+N"), this, [this]() {
        slot_destroySceneMain();
        if (m_pCanvas)
            m_pCanvas->slot_createCanvasScene(tr("节目1"));
    });
    m_pFileMenu->addAction(tr("打开工程Ctrl+O"), this, &CEditSceneMain::openProject);
    m_pFileMenu->addAction(tr("保存工程Ctrl+S"), this, &CEditSceneMain::saveProjectAs);
    m_pFileMenu->addAction(tr("另存为(As)..."));
    m_pFileMenu->addAction(tr("退出程序Ctrl+W"), this, &CEditSceneMain::closeMain);
    ui->btnFile->setMenu(m_pFileMenu);

    m_pSetMenu = new QMenu(this);
    m_pSetMenu->setStyleSheet(strSetStyle);
    m_pSetShow = m_pSetMenu->addAction(tr("隐藏播放窗Ctrl+F4"));
    connect(m_pSetShow, &QAction::triggered, this, [this]() {
        if (!m_bShow) {
            m_bShow = true;
            m_pSetShow->setText(tr("隐藏播放窗Ctrl+F4"));
        } else {
            m_bShow = false;
            m_pSetShow->setText(tr("显示播放窗Ctrl+F3"));
        }
    });
    m_pSetBack = m_pSetMenu->addAction(tr("前台播放Ctrl+F6"));
    connect(m_pSetBack, &QAction::triggered, this, [this]() { m_listRtDesktop = g_getDefaultDesktop(); });
    m_pSetScreen = m_pSetMenu->addAction(tr("屏幕管理"));
    connect(m_pSetScreen, &QAction::triggered, this, [this]() {
        CSreenManageDlg dlg;
        QRect rtPlay;
        dlg.setDlgData(m_listRtDesktop, rtPlay);
        dlg.exec();
    });
    ui->btnSet->setMenu(m_pSetMenu);

    m_pHelpMenu = new QMenu(this);
    m_pHelpMenu->setStyleSheet(strSetStyle);
    m_pHelpMenu->addAction(tr("帮助手册"));
    m_pHelpMenu->addAction(tr("联系我们"));
    ui->btnHelp->setMenu(m_pHelpMenu);
}

// --------------------------------------------------------- scene documents

void CEditSceneMain::saveProjectAs()
{
    const QString strPath = QFileDialog::getSaveFileName(this, tr("Save File"), m_strSaveFile, tr("节目 (*.smt)"));
    if (strPath.isEmpty())
        return;
    m_strSaveFile = strPath;
    saveProject(strPath);
}

void CEditSceneMain::openProject()
{
    const QString strPath = QFileDialog::getOpenFileName(this, tr("Open File"), m_strSaveFile, tr("节目 (*.smt)"));
    if (strPath.isEmpty())
        return;
    m_strSaveFile = strPath;
    loadProject(strPath);
}

// The canvas writes the document (its scenes and the source panel's share)
// through a temporary file and reports how it went.
bool CEditSceneMain::saveProject(const QString &strPath)
{
    if (!m_pCanvas)
        return false;
    return m_pCanvas->saveProjectFile(strPath, m_pListWidget);
}

// A document is checked whole first; a refused one changes nothing.
bool CEditSceneMain::loadProject(const QString &strPath)
{
    if (!m_pCanvas)
        return false;
    return m_pCanvas->loadProjectFile(strPath, m_pListWidget);
}

// ----------------------------------------------------------- device binding

void CEditSceneMain::initSceneData(DeviceInfo *device, const QList<CTarnSceneRecord *> &listScene)
{
    if (!device || !m_pListWidget)
        return;
    m_pCurrentDevice = device;
    m_pListWidget->addDeviceToList(device, device->strSerial);
    fillProgramList(listScene);
    if (m_pPropertyStack)
        m_pPropertyStack->setInputSourceData(device->vectorInput);
    showDeviceScenes();
}

// The bound device's scenes, as the scene store keeps them, go to the canvas.
void CEditSceneMain::showDeviceScenes()
{
    if (!m_pCanvas || !m_pCurrentDevice)
        return;
    QList<CEditBaseScene *> listScene;
    if (CTarnSceneStore *pStore = CTarnSceneStore::instance())
        listScene = pStore->scenes(m_pCurrentDevice->strSerial);
    m_pCanvas->setSceneData(m_pCurrentDevice->strSerial, listScene, false, m_pCurrentDevice->nTakeScene);
}

void CEditSceneMain::updateSceneData(QString strSerial, const QList<CTarnSceneRecord *> &listScene)
{
    if (!m_pCurrentDevice || m_pCurrentDevice->strSerial != strSerial)
        return;
    fillProgramList(listScene);
    showDeviceScenes();
}

// One card per stored scene, in list order, and the add-card while there is room.
void CEditSceneMain::fillProgramList(const QList<CTarnSceneRecord *> &listScene)
{
    if (!m_pProgramListWidget || !m_pCurrentDevice)
        return;
    m_pProgramListWidget->destroyProgram();
    for (const CTarnSceneRecord *pScene : listScene)
        m_pProgramListWidget->addUsedCardItem(pScene->nId, pScene->strName, m_pCurrentDevice->strSerial,
                                              m_pCurrentDevice->nTakeScene, m_pCurrentDevice->nSceneMax);
    if (!listScene.isEmpty() && listScene.size() < m_pCurrentDevice->nSceneMax)
        m_pProgramListWidget->slot_updateProgramLayout(m_pCurrentDevice->strSerial);
}

// Only the bound device's inputs reach the panel, and only while it shows.
void CEditSceneMain::slot_updateInputSource(DeviceInfo *device, QString strSerial)
{
    if (isHidden() || !m_pCurrentDevice || !device || device->strSerial != m_pCurrentDevice->strSerial)
        return;
    if (!m_pListWidget)
        return;
    m_pCurrentDevice = device;
    m_pListWidget->addDeviceToList(device, strSerial);
}

// Hands the bound device's inputs to the property stack again.
void CEditSceneMain::slot_updatecomboxInputSource()
{
    if (m_pPropertyStack && m_pCurrentDevice)
        m_pPropertyStack->setInputSourceData(m_pCurrentDevice->vectorInput);
}

// Empties the canvas and the scene list.
void CEditSceneMain::slot_destroySceneMain()
{
    if (m_pProgramListWidget)
        m_pProgramListWidget->destroyProgram();
    if (m_pCanvas)
        m_pCanvas->destroyCanvas();
}

void CEditSceneMain::slot_showMonitor(bool bShow)
{
    Q_UNUSED(bShow)
}

// --------------------------------------------------------------- language

void CEditSceneMain::initLanguage(int nLanguage)
{
    g_applyLanguage(m_pTranslator, nLanguage);
    ui->retranslateUi(this);
    // The form's re-translation gives back its own title and button texts.
    setWindowTitle(QStringLiteral("EditScene"));
    ui->OutputSettingButton->setText(tr("输出设置"));
    // The OSD settings dialog follows the language it is built in: the old one goes.
    delete m_pOSDSettingDlg;
    m_pOSDSettingDlg = new OSDsrttingdlg;
}

// --------------------------------------------------------------- the show

void CEditSceneMain::showEvent(QShowEvent *event)
{
    setAttribute(Qt::WA_Mapped);
    applyModelButtons();
    changeStatuBar();
    QMainWindow::showEvent(event);
}

void CEditSceneMain::applyModelButtons()
{
    if (g_strSerialDevType.contains(QLatin1String("Tarn-3"))) {
        ui->OSDSettingButton->show();
    } else if (g_strSerialDevType.contains(QLatin1String("Tarn-6"))
               || g_strSerialDevType.contains(QLatin1String("Tarn-4"))) {
        ui->OutputSettingButton->show();
        ui->OSDSettingButton->hide();
    } else {
        ui->OutputSettingButton->hide();
        ui->OSDSettingButton->hide();
    }
}

void CEditSceneMain::changeStatuBar()
{
    m_strVerNumber = g_strLanguage == QLatin1String("English") ? tr("Version number") : tr("版本号");
    if (!m_pVerInfo) {
        m_pVerInfo = new QLabel;
        m_pLabelSysInfo = new QLabel;
        m_pVerInfo->setFrameShape(QFrame::NoFrame);
        m_pLabelSysInfo->setFrameShape(QFrame::NoFrame);
        ui->statusbar->addWidget(m_pVerInfo);
        ui->statusbar->addPermanentWidget(m_pLabelSysInfo, 0);
    }
    m_pVerInfo->setText(QStringLiteral("%1：V1.0.%2  ").arg(m_strVerNumber, m_strVerDate));
}

// While a frame is the active window, the program-wide family text is its
// own, so the panels act by the family of the device the operator works on.
bool CEditSceneMain::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && m_pCurrentDevice)
        g_strDevType = QStringLiteral("Tarn");
    return QMainWindow::event(event);
}

// ------------------------------------------------------ window behaviour

void CEditSceneMain::on_btnNormalMax_clicked()
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    bool bShow = false;
    if (isMaximized()) {
        pHub->notify(QStringLiteral("slot_showToolBar"), Q_ARG(bool, bShow));
        pHub->notify(QStringLiteral("slot_toolBarCenter"));
        showNormal();
        ui->btnNormalMax->setStyleSheet(QLatin1String(FrameStyles::kNormal));
    } else {
        pHub->notify(QStringLiteral("slot_showToolBar"), Q_ARG(bool, bShow));
        showMaximized();
        ui->btnNormalMax->setStyleSheet(QLatin1String(FrameStyles::kMax));
    }
}

void CEditSceneMain::slot_doubleclick_max()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void CEditSceneMain::on_btnMin_clicked()
{
    showMinimized();
}

void CEditSceneMain::slot_activateMain(bool bIsMin)
{
    if (bIsMin && isMinimized())
        return;
    showNormal();
    raise();
    activateWindow();
}

void CEditSceneMain::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick)
        slot_activateMain(false);
}

// The close button, the File menu's exit and a close by the window system all
// end here: every serial port closes, the frame hides and the program ends.
void CEditSceneMain::closeMain()
{
    globalObserver::getGlobalObserver()->notify(QStringLiteral("Slot_DisconnectSerialPort"));
    hide();
    QCoreApplication::quit();
}

void CEditSceneMain::on_btnClose_clicked()
{
    closeMain();
}

void CEditSceneMain::closeEvent(QCloseEvent *event)
{
    event->ignore();
    closeMain();
}

// --------------------------------------------------------------- the lock

void CEditSceneMain::on_btnLock_clicked()
{
    const QRect rect = geometry();
    if (!m_pLockWidget)
        m_pLockWidget = new CLockWidget(rect, window());
    m_bLock = true;
    m_pLockWidget->setGeometry(geometry());
    m_pLockWidget->show();
    bool bLock = true;
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_setLock"), Q_ARG(bool, bLock));
}

void CEditSceneMain::slot_unLock()
{
    if (!m_pLockWidget)
        return;
    m_bLock = false;
    m_pLockWidget->hide();
}

// ------------------------------------------------------ settings buttons

// The edited device's serial and live scene, as the canvas answers them; the
// bound device's serial while no canvas answers.
void CEditSceneMain::askTakeScene(int &nTake, QString &strSerial)
{
    globalObserver::getGlobalObserver()->notify(QStringLiteral("getNTakeScene"), Q_ARG(int &, nTake),
                                                Q_ARG(QString &, strSerial));
    if (strSerial.isEmpty() && m_pCurrentDevice)
        strSerial = m_pCurrentDevice->strSerial;
}

void CEditSceneMain::on_OutputSettingButton_clicked()
{
    int nTake = 0;
    QString strSerial;
    askTakeScene(nTake, strSerial);
    // Reads the device's ports and runs one dialog, destroyed when it closes.
    OutputSettingDlg::run(strSerial);
}

// Also reached as the topic of the same name (a double click on the OSD item).
// Runs the OSD settings dialog that the last language switch made.
void CEditSceneMain::on_OSDSettingButton_clicked()
{
    if (!m_pOSDSettingDlg)
        m_pOSDSettingDlg = new OSDsrttingdlg;
    m_pOSDSettingDlg->exec();
}

void CEditSceneMain::on_AudioSettingsButton_clicked()
{
    int nTake = 0;
    QString strSerial;
    askTakeScene(nTake, strSerial);
    QList<QString> listAudio;
    for (const QString &strName : audioSourceNames(g_strSerialDevType))
        listAudio << tr(strName.toUtf8().constData());
    // One dialog for the live scene, destroyed when it closes.
    AudioSettings::run(nTake, strSerial, listAudio, this);
}

QStringList CEditSceneMain::audioSourceNames(const QString &strModel)
{
    int nWindows = 0;
    if (strModel.contains(QLatin1String("Tarn-1")))
        nWindows = 1;
    else if (strModel.contains(QLatin1String("Tarn-3")))
        nWindows = 3;
    else if (strModel.contains(QLatin1String("Tarn-4")))
        nWindows = 4;
    else if (strModel.contains(QLatin1String("Tarn-6")))
        nWindows = 6;
    else
        return {};
    QStringList list{QStringLiteral("关闭"), QStringLiteral("AudioIn")};
    for (int i = 1; i <= nWindows; ++i)
        list << QStringLiteral("窗口%1").arg(i);
    return list;
}
