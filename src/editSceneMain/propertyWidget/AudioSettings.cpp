#include "AudioSettings.h"
#include "ui_AudioSettings.h"

#include <QIcon>
#include <QPointer>
#include <QTimer>

#include "QorGlobal.h"
#include "globalObserver.h"

namespace {
const int kVolumeMax = 100;
}

AudioSettings::AudioSettings(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AudioSettings)
{
    ui->setupUi(this);
    // The captions share one width, the form's or the widest text's in the language in force.
    int nCaption = ui->label->minimumWidth();
    for (QLabel *pLabel : {ui->label, ui->label_2, ui->labelH_4}) {
        pLabel->ensurePolished();
        nCaption = qMax(nCaption, pLabel->sizeHint().width());
    }
    for (QLabel *pLabel : {ui->label, ui->label_2, ui->labelH_4})
        pLabel->setFixedWidth(nCaption);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(QIcon(":/res/res/image/kelvo.ico"));
    InitWidget();
    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->attach("slot_SetAudio", this, "slot_SetAudio");
    pHub->attach("slot_SetAudioSource", this, "slot_SetAudioSource");
    pHub->attach("slot_sceneAudioHeld", this, "slot_sceneAudioHeld");
}

AudioSettings::~AudioSettings()
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->detach("slot_SetAudio", this);
    pHub->detach("slot_SetAudioSource", this);
    pHub->detach("slot_sceneAudioHeld", this);
    delete ui;
}

void AudioSettings::InitWidget()
{
    m_nSeneceindex = 0;
    ui->VoiceSliderTrans->setRange(0, kVolumeMax);
    ui->VoiceSpinBox->setRange(0, kVolumeMax);
    connect(ui->VoiceSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this, [this](int nValue) {
        ui->VoiceSliderTrans->setValue(nValue);
        QByteArray payload = scenePayload();
        payload.append(char(nValue & 0xFF));
        sendCmd(payload, 2, 51);
    });
    // A drag writes once, on release, through the spin box.
    connect(ui->VoiceSliderTrans, &CBaseSlider::rSliderValueManulChange, ui->VoiceSpinBox, &QSpinBox::setValue);
    connect(ui->AudioComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int nIndex) {
        if (nIndex < 0 || nIndex > 10)
            return;
        QByteArray payload = scenePayload();
        payload.append(char(nIndex));
        sendCmd(payload, 2, 50);
    });
}

QByteArray AudioSettings::scenePayload() const
{
    return QByteArray(1, char(m_nSeneceindex & 0xFF));
}

void AudioSettings::sendCmd(QByteArray payload, int nReadOrWrite, int nSub)
{
    QString strName = g_texing_name[Tx_SceneInfo];
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, m_strSerial), Q_ARG(QString, strName),
                                                Q_ARG(QByteArray &, payload), Q_ARG(int, nReadOrWrite), Q_ARG(int, nSub));
}

void AudioSettings::GetSeneceDate(int index, QString strSerial)
{
    m_nSeneceindex = index;
    m_strSerial = strSerial;
    const QString strFormat = g_strLanguage == QLatin1String("English") ? QStringLiteral("Scene%1") : QString::fromUtf8("场景%1");
    ui->scenenumberlabel->setText(strFormat.arg(index));
    sendCmd(scenePayload(), 1, 51);
}

void AudioSettings::GetAudioDate(QList<QString> list)
{
    ui->AudioComboBox->clear();
    {
        const QSignalBlocker blocker(ui->AudioComboBox);
        ui->AudioComboBox->addItems(list);
    }
    QTimer::singleShot(400, this, [this]() { sendCmd(scenePayload(), 1, 50); });
}

const CSceneAudioRecord *AudioSettings::sceneRecord() const
{
    const CDeviceRecords *pDevice = CDeviceRecords::find(m_strSerial);
    return pDevice ? pDevice->sceneAudioRecord(m_nSeneceindex) : nullptr;
}

// The volume this scene of this device holds, whichever answer the topic carries.
void AudioSettings::slot_SetAudio(int)
{
    if (const CSceneAudioRecord *pAudio = sceneRecord())
        showVolume(pAudio->nVolume);
}

void AudioSettings::slot_SetAudioSource(int)
{
    if (const CSceneAudioRecord *pAudio = sceneRecord())
        showSource(pAudio->nSource);
}

void AudioSettings::slot_sceneAudioHeld(QString strSerial)
{
    if (strSerial != m_strSerial)
        return;
    if (const CSceneAudioRecord *pAudio = sceneRecord()) {
        const CSceneAudioRecord audio = *pAudio;
        showVolume(audio.nVolume);
        showSource(audio.nSource);
    }
}

void AudioSettings::showVolume(int nVolume)
{
    if (nVolume < 0)
        return;
    const QSignalBlocker sliderBlocker(ui->VoiceSliderTrans);
    const QSignalBlocker spinBlocker(ui->VoiceSpinBox);
    ui->VoiceSliderTrans->setValue(nVolume);
    ui->VoiceSpinBox->setValue(nVolume);
}

void AudioSettings::showSource(int nSource)
{
    if (nSource < 0)
        return;
    const QSignalBlocker blocker(ui->AudioComboBox);
    ui->AudioComboBox->setCurrentIndex(nSource);
}

void AudioSettings::on_CancelpushButton_clicked()
{
    close();
}

void AudioSettings::on_OKPushButton_clicked()
{
    close();
}

void AudioSettings::run(int nScene, const QString &strSerial, const QList<QString> &listSources, QWidget *parent)
{
    // The parent may go while the dialog runs; then it took the dialog with it.
    QPointer<AudioSettings> pDlg = new AudioSettings(parent);
    pDlg->GetSeneceDate(nScene, strSerial);
    pDlg->GetAudioDate(listSources);
    pDlg->exec();
    delete pDlg.data();
}
