#include "EditSceneMain.h"
#include "ui_EditSceneMain.h"

#include "AudioSettings.h"
#include "EditSceneCanvas.h"
#include "FileListWidget.h"
#include "OutputSettingDlg.h"
#include "ProgramListWidget.h"
#include "PropertyStack.h"
#include "QorGlobal.h"
#include "TarnSceneStore.h"
#include "TarnSceneSink.h"
#include "globalObserver.h"
#include "osdsrttingdlg.h"
#include "screenManage/SreenManageDlg.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QToolButton>
#include <QTranslator>

namespace {
// Topics the frame receives, attached in this order and detached in the same.
const char *const kTopics[] = {
    "slot_unLock",           "slot_showMonitor",            "slot_activateMain",
    "slot_destroySceneMain", "slot_updateInputSource",      "slot_updatecomboxInputSource",
    "on_OSDSettingButton_clicked",
};
} // namespace

CEditSceneMain::CEditSceneMain(QWidget *parent, BuildSteps steps)
    : CEditFrameBase(QStringLiteral("Tarn"), parent)
    , ui(new Ui::EditSceneMain)
{
    ui->setupUi(this);
    m_pTranslator = new QTranslator(this);

    initFrame(formParts(ui));
    g_rtSetSize = QRect(0, 0, g_rtBackCanvas.width(), g_rtBackCanvas.height());

    m_strVerDate = QStringLiteral("Vistel-V1.1(20250108)");
    setObjectName(QStringLiteral("EditSceneMain"));

    // The middle column: the canvas in its place.
    buildWorkArea([this](QWidget *pParent) {
        m_pCanvasPlace = makePlace(QStringLiteral("canvasPlace"), pParent);
        addPlace(m_pCanvasPlace);
        m_pCanvas = new CEditSceneCanvas(m_pCanvasPlace);
        hostPanel(m_pCanvasPlace, m_pCanvas);
        return m_pCanvasPlace;
    });
    setYieldingPanel(m_pCanvas->canvasArea());
    // The strip and the canvas name one scene: the card outlined is the scene the canvas shows
    // (a hand-back of the records shows the live scene again, a read given up included).
    connect(m_pCanvas, &CEditSceneCanvas::sig_sceneChage, m_pProgramListWidget, &CProgramListWidget::markShownScene);
    m_pCanvas->sendCurrentScene();
    if (steps == BuildAll)
        ensurePropertyStack();

    initMenu();
    setWindowTitle(QStringLiteral("EditScene"));
    changeStatuBar();

    const int w = g_rtPrimaryScreen.width() * 2 / 3;
    const int h = g_rtPrimaryScreen.height() * 2 / 3;
    setGeometry((g_rtPrimaryScreen.width() - w) / 2, (g_rtPrimaryScreen.height() - h) / 2, w, h);

    ui->OutputSettingButton->setText(tr("输出设置"));
    ui->OutputSettingButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_strSaveFile = QStringLiteral("kelvo.smt");

    globalObserver *pHub = globalObserver::getGlobalObserver();
    for (const char *pszTopic : kTopics)
        pHub->attach(QLatin1String(pszTopic), this, pszTopic);
}

CEditSceneMain::~CEditSceneMain()
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    for (const char *pszTopic : kTopics)
        pHub->detach(QLatin1String(pszTopic), this);
    destroy();
    delete m_pOSDSettingDlg;
    delete ui;
}

// The canvas goes first: it lets go of the scenes the other panels show.
void CEditSceneMain::releaseFamilyPanels()
{
    delete m_pCanvas;
    m_pCanvas = nullptr;
}

// A second arrangement of the work area (sources, canvas and properties side
// by side over an empty row), kept for a layout without the scene list.
void CEditSceneMain::initWindow()
{
    QSplitter *pMain = makeSplitter(Qt::Vertical, tr("splitter Main"), ui->mainWidget);
    makeSplitter(Qt::Horizontal, tr("Splitter up Left"), pMain);
    makeSplitter(Qt::Horizontal, tr("Splitter Down"), pMain);
    pMain->setStretchFactor(0, 3);
    pMain->setStretchFactor(1, 3);
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
        m_bShow = !m_bShow;
        if (m_pCanvas)
            m_pCanvas->showPlayWnd(m_bShow);
        m_pSetShow->setText(m_bShow ? tr("隐藏播放窗Ctrl+F4") : tr("显示播放窗Ctrl+F3"));
    });
    m_pSetBack = m_pSetMenu->addAction(tr("前台播放Ctrl+F6"));
    connect(m_pSetBack, &QAction::triggered, this, [this]() {
        m_listRtDesktop = g_getDefaultDesktop();
        if (!m_pCanvas)
            return;
        m_bBack = !m_bBack;
        m_pCanvas->frontPlayWnd(!m_bBack);
        m_pSetBack->setText(m_bBack ? tr("前台播放Ctrl+F6") : tr("后台播放Ctrl+F5"));
    });
    m_pSetScreen = m_pSetMenu->addAction(tr("屏幕管理"));
    connect(m_pSetScreen, &QAction::triggered, this, [this]() {
        CSreenManageDlg dlg;
        QRect rtPlay = m_pCanvas ? m_pCanvas->getPlayWndSize() : QRect();
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

CEditFrameBase::CardList CEditSceneMain::cardsOf(const QList<CTarnSceneRecord *> &listScene)
{
    CardList listCards;
    for (const CTarnSceneRecord *pScene : listScene)
        listCards.append({pScene->nId, pScene->strName});
    return listCards;
}

void CEditSceneMain::initSceneData(DeviceInfo *device, const QList<CTarnSceneRecord *> &listScene)
{
    if (!device || !m_pListWidget)
        return;
    bindDevice(device, cardsOf(listScene));
    applyModelButtons();
    showDeviceScenes();
}

// The bound device's scenes, as the scene store keeps them, go to the canvas
// together with the device's model, which decides its drop rules.
void CEditSceneMain::showDeviceScenes()
{
    if (!m_pCanvas || !m_pCurrentDevice)
        return;
    QList<CEditBaseScene *> listScene;
    if (CTarnSceneStore *pStore = CTarnSceneStore::instance())
        listScene = pStore->scenes(m_pCurrentDevice->strSerial);
    m_pCanvas->setDeviceModel(deviceModel());
    m_pCanvas->setSceneData(m_pCurrentDevice->strSerial, listScene, false, m_pCurrentDevice->nTakeScene);
}

void CEditSceneMain::updateSceneData(QString strSerial, const QList<CTarnSceneRecord *> &listScene)
{
    if (!isBoundTo(strSerial))
        return;
    fillProgramCards(cardsOf(listScene));
    showDeviceScenes();
}

// Only the bound device's inputs reach the panel, and only while it shows.
void CEditSceneMain::slot_updateInputSource(DeviceInfo *device, QString strSerial)
{
    refreshInputs(device, strSerial);
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
    m_nLanguage = nLanguage;
    g_applyLanguage(m_pTranslator, nLanguage);
    ui->retranslateUi(this);
    // The form's re-translation gives back its own title and button texts.
    setWindowTitle(QStringLiteral("EditScene"));
    ui->OutputSettingButton->setText(tr("输出设置"));
    // The OSD settings dialog follows the language it is built in: the old one goes.
    delete m_pOSDSettingDlg;
    m_pOSDSettingDlg = new OSDsrttingdlg;
    changeStatuBar();
}

// --------------------------------------------------------------- the show

void CEditSceneMain::completeBuild()
{
    if (propertyStack())
        return;
    buildPropertyStack();
    if (CPropertyStack *pStack = propertyStack(); pStack && m_nLanguage >= 0)
        pStack->slot_updatePropertyStacklanguage(m_nLanguage);
}

void CEditSceneMain::setVisible(bool bVisible)
{
    if (bVisible)
        completeBuild();
    CEditFrameBase::setVisible(bVisible);
}

void CEditSceneMain::showEvent(QShowEvent *event)
{
    setAttribute(Qt::WA_Mapped);
    applyModelButtons();
    changeStatuBar();
    CEditFrameBase::showEvent(event);
}

// The settings buttons that suit the bound device's model.
void CEditSceneMain::applyModelButtons()
{
    const QString strModel = deviceModel();
    if (strModel.contains(QLatin1String("Tarn-3"))) {
        ui->OSDSettingButton->show();
    } else if (strModel.contains(QLatin1String("Tarn-6")) || strModel.contains(QLatin1String("Tarn-4"))) {
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
    setVersionText(QStringLiteral("%1：V1.0.%2  ").arg(m_strVerNumber, m_strVerDate));
}

// ------------------------------------------------------ window behaviour

void CEditSceneMain::leavingMaximised()
{
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_toolBarCenter"));
}

// The close button, the File menu's exit and a close by the window system all
// end here: every serial port closes, the frame hides and the program ends.
void CEditSceneMain::closeMain()
{
    CEditFrameBase::closeMain();
    QCoreApplication::quit();
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
    // The dialog is the frame's; the OSD index it shows is the edited device's own.
    m_pOSDSettingDlg->setOsdIndex(g_OSDindex);
    placeOverCanvas(m_pOSDSettingDlg);
    m_pOSDSettingDlg->exec();
}

// The dialog stands over the canvas, its right edge on the canvas's, so the
// property panel beside it stays in view; it never leaves the frame on the left.
void CEditSceneMain::placeOverCanvas(QWidget *pDialog) const
{
    if (!pDialog || !m_pCanvasPlace || !m_pCanvasPlace->isVisible())
        return;
    const QSize size = pDialog->size().expandedTo(pDialog->minimumSizeHint());
    const QRect rtCanvas(m_pCanvasPlace->mapToGlobal(QPoint(0, 0)), m_pCanvasPlace->size());
    const QRect rtFrame = frameGeometry();
    const int x = qMax(rtFrame.left(), rtCanvas.right() + 1 - size.width());
    const int y = rtCanvas.top() + qMax(0, (rtCanvas.height() - size.height()) / 2);
    pDialog->move(x, y);
}

void CEditSceneMain::on_AudioSettingsButton_clicked()
{
    int nTake = 0;
    QString strSerial;
    askTakeScene(nTake, strSerial);
    QList<QString> listAudio;
    for (const QString &strName : audioSourceNames(deviceModel()))
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
