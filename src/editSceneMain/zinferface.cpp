#include "zinferface.h"
#include "ui_zinferface.h"

#include "FileListWidget.h"
#include "OtherWidget.h"
#include "ProgramListWidget.h"
#include "PropertyStack.h"
#include "QorGlobal.h"
#include "globalObserver.h"
#include "zmiddlecontrol.h"

#include <QApplication>
#include <QEvent>
#include <QPushButton>

Zinferface::Zinferface(QWidget *parent)
    : CEditFrameBase(QStringLiteral("Z"), parent)
    , ui(new Ui::Zinferface)
{
    ui->setupUi(this);

    initFrame(formParts(ui));
    ui->btnLock->hide();

    m_strVerDate = QStringLiteral("Vistel-V1.1(20240604)");
    setObjectName(QStringLiteral("Zinferface"));

    buildWorkArea([this](QWidget *pParent) {
        m_pZMiddleControl = new ZMiddleControl(pParent);
        return m_pZMiddleControl;
    });
    setYieldingPanel(m_pZMiddleControl);
    setOpensCentred(true);
    setWindowTitle(QStringLiteral("Zinferface"));

    applyVersionText();

    // The card previewed went (deleted, or its scene gone from the device's list): the page and
    // the source strip show what the device runs, not the scene's stored values.
    connect(m_pProgramListWidget, &CProgramListWidget::sig_previewGone, this, [this]() {
        if (m_pPropertyStack)
            if (auto *pPage = qobject_cast<COtherWidget *>(m_pPropertyStack->tipsWidget()))
                pPage->showLiveSettings();
        if (m_pZMiddleControl)
            m_pZMiddleControl->showDeviceSource(m_pProgramListWidget->serial());
    });

    globalObserver::getGlobalObserver()->attach(QStringLiteral("slot_updateZEquipmentInputSource"), this,
                                                "slot_updateZEquipmentInputSource");
}

Zinferface::~Zinferface()
{
    globalObserver::getGlobalObserver()->detach(QStringLiteral("slot_updateZEquipmentInputSource"), this);
    destroy();
    delete ui;
}

CEditFrameBase::CardList Zinferface::cardsOf(const QList<ZSceneInfo *> &listScene)
{
    CardList listCards;
    for (const ZSceneInfo *pScene : listScene)
        listCards.append({pScene->nSceneIndex, pScene->strName});
    return listCards;
}

void Zinferface::initSceneData(DeviceInfo *device, const QList<ZSceneInfo *> &listScene)
{
    if (!device || !m_pListWidget)
        return;
    // Made when a device is first edited here; it holds the Z device settings page.
    ensurePropertyStack();
    bindDevice(device, cardsOf(listScene));
    // The source strip shows the device's live source as its records hold it, not the last
    // device's or none until a recall.
    if (m_pZMiddleControl)
        m_pZMiddleControl->showDeviceSource(device->strSerial);
}

void Zinferface::updateZSceneData(QString strSerial, const QList<ZSceneInfo *> &listScene)
{
    if (!isBoundTo(strSerial))
        return;
    fillProgramCards(cardsOf(listScene));
    // The source strip too: a recall the device did not take leaves the live source as it was.
    if (m_pZMiddleControl)
        m_pZMiddleControl->showDeviceSource(strSerial);
}

void Zinferface::linkBegan(const QString &strSerial)
{
    if (!isBoundTo(strSerial))
        return;
    if (m_pProgramListWidget)
        m_pProgramListWidget->markShownScene(-1);
    if (m_pZMiddleControl)
        m_pZMiddleControl->showDeviceSource(strSerial);
}

// Only the bound device's input refresh reaches the panel, and only while the frame shows.
void Zinferface::slot_updateZEquipmentInputSource(DeviceInfo *device, QString strSerial)
{
    refreshInputs(device, strSerial);
}

// Empties the scene list.
void Zinferface::slot_destroySceneMain()
{
    if (m_pProgramListWidget)
        m_pProgramListWidget->destroyProgram();
}

// The version text in the language in force; a language switch posts the change
// event after g_strLanguage is set.
void Zinferface::applyVersionText()
{
    if (g_strLanguage == QLatin1String("English"))
        setVersionText(QStringLiteral("  Version number：V1.0.%1  ").arg(m_strVerDate));
    else
        setVersionText(QStringLiteral("  版本号：V1.0.%1  ").arg(m_strVerDate));
}

void Zinferface::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && versionLabel())
        applyVersionText();
    CEditFrameBase::changeEvent(event);
}

void Zinferface::showEvent(QShowEvent *event)
{
    setAttribute(Qt::WA_Mapped);
    CEditFrameBase::showEvent(event);
}

// On a serial line the whole program closes; otherwise the frame only hides
// and stays for the next open.
void Zinferface::closeMain()
{
    CEditFrameBase::closeMain();
    if (g_nConnectionType == 1)
        QMetaObject::invokeMethod(qApp, &QApplication::closeAllWindows, Qt::QueuedConnection);
}
