#include "OtherWidget.h"
#include "ui_OtherWidget.h"

#include <QDateTime>
#include <QEvent>
#include <QSlider>
#include <QtDebug>

#include <algorithm>
#include <memory>

#include "BesMessageBox.h"
#include "DeviceRecords.h"
#include "GbkCodec.h"
#include "SceneSaveAsDlg.h"
#include "globalObserver.h"
#include "WireBytes.h"

using WireBytes::appendBe16;

namespace {

const char *const kOpenLook = "QToolButton{background:transparent;border-image: url(:/res/res/image/open.png);}";
const char *const kClosedLook = "QToolButton{background:transparent;border-image: url(:/res/res/image/close.png);}";
const char *const kSoundOnLook = "QToolButton{background:transparent;border-image: url(:/res/res/videoTool/volume.png);}";
const char *const kMuteLook = "QToolButton{background:transparent;border-image: url(:/res/res/videoTool/mute.png);}";

// The topics the page takes, each on the slot of the same name.
const char *const kTopics[] = {"slot_updateZDeviceName", "slot_initWidgetdate", "slot_setListZDeviceScene",
                               "slot_setZDeviceScenepreview", "slot_setZDeviceinputname", "slot_setZDeviceSceneTake",
                               "slot_getZScenedate"};

// A field's decimal number; false for anything else (empty text included).
bool readNumber(const QLineEdit *pEdit, int &nValue)
{
    bool bOk = false;
    nValue = pEdit->text().trimmed().toInt(&bOk, 10);
    return bOk;
}

void setNumber(QLineEdit *pEdit, int nValue)
{
    pEdit->setText(QString::number(nValue)); // clears the modified mark too
}

} // namespace

COtherWidget::COtherWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::otherWidget)
{
    ui->setupUi(this);
    ui->systemsettoolButton->setStyleSheet(kOpenLook);
    ui->inputcutButton->setStyleSheet(kOpenLook);
    ui->OutputcutButton->setStyleSheet(kOpenLook);
    g_keepWholeCharacters(ui->lineEditstrSerial);
    g_fitWholeName(ui->lineEditstrSerial);
    showSilent(true);
    sendOperatorMoves(ui->brightnessSlider, 46);
    sendOperatorMoves(ui->SoundSlider, 45);
    takeDevice(QString());

    globalObserver *pHub = globalObserver::getGlobalObserver();
    for (const char *pszTopic : kTopics)
        pHub->attach(pszTopic, this, pszTopic);
}

COtherWidget::~COtherWidget()
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    for (const char *pszTopic : kTopics)
        pHub->detach(pszTopic, this);
    delete m_pSceneSaveAsDlg;
    delete ui;
}

void COtherWidget::changeEvent(QEvent *event)
{
    // A language switch retranslates the page in place: the values shown stay.
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}

// ------------------------------------------------------------------ filling

bool COtherWidget::isOwnDevice(const QString &strSerial) const
{
    return !m_strSerial.isEmpty() && strSerial == m_strSerial;
}

const SystemInfo *COtherWidget::systemInfo() const
{
    if (!m_bSystemRead)
        return nullptr;
    const CDeviceRecords *pDevice = CDeviceRecords::find(m_strSerial);
    return pDevice ? pDevice->systemRecord() : nullptr;
}

void COtherWidget::clearDeviceValues()
{
    m_bSystemRead = false;
    m_listZDeviceScene.clear();
    m_inputstrname.clear();
    m_nscenenum = -1;
    m_ntake = -1;
    const QList<QLineEdit *> listEdits = {ui->lineEditW, ui->lineEditH, ui->lineEditXDeflection, ui->lineEditYDeflection,
                                          ui->lineEditCutX, ui->lineEditCutY, ui->lineEditCutW, ui->lineEditCutH,
                                          ui->lineEditoutCutX, ui->lineEditoutCutY, ui->lineEditoutCutW, ui->lineEditoutCutH};
    for (QLineEdit *pEdit : listEdits)
        pEdit->clear();
    // Nothing of the previous device stays on the page.
    showScale(0);
    ui->brightnessSlider->setValue(ui->brightnessSlider->minimum());
    ui->SoundSlider->setValue(ui->SoundSlider->minimum());
    showSilent(true);
}

void COtherWidget::takeDevice(const QString &strSerial)
{
    // A slider or scale choice moved here would send nowhere: without a device it stays where it
    // is. Set before anything else: the page is made without a device, and a frame that has none
    // for it gives it none again.
    ui->brightnessSlider->setEnabled(!strSerial.isEmpty());
    ui->SoundSlider->setEnabled(!strSerial.isEmpty());
    ui->ScalecomboBox->setEnabled(!strSerial.isEmpty());
    if (strSerial == m_strSerial)
        return;
    // Another device: nothing of the previous one may be checked against or written any more;
    // the page shows what the new one's records hold (its settings arrive again when read).
    clearDeviceValues();
    ui->lineEditstrSerial->clear();
    m_strSerial = strSerial;
    const CDeviceRecords *pDevice = CDeviceRecords::find(strSerial);
    if (!pDevice)
        return;
    QString strName;
    if (pDevice->deviceNameRecord(strName))
        ui->lineEditstrSerial->setText(strName);
    if (pDevice->systemRecordRead()) {
        SystemInfo settings = *pDevice->systemRecord();
        slot_initWidgetdate(&settings);
    }
}

void COtherWidget::setServedDevice(const QString &strSerial, const QString &strFamily)
{
    m_bServed = true;
    m_strServedSerial = strFamily == QLatin1String("Z") ? strSerial : QString();
    takeDevice(m_strServedSerial);
}

void COtherWidget::slot_updateZDeviceName(QString DeviceName, QString strSerial)
{
    // The name of a device this frame does not edit is not this page's.
    if (m_bServed && (m_strServedSerial.isEmpty() || strSerial != m_strServedSerial))
        return;
    takeDevice(strSerial);
    ui->lineEditstrSerial->setText(DeviceName);
}

void COtherWidget::slot_initWidgetdate(SystemInfo *SysteminitInfo)
{
    if (!SysteminitInfo)
        return;
    // Shown now; read again through the worker whenever it is needed.
    m_bSystemRead = true;
    const SystemInfo *s = SysteminitInfo;
    setNumber(ui->lineEditW, s->nLayerWidth);
    setNumber(ui->lineEditH, s->nLayerHeight);
    setNumber(ui->lineEditXDeflection, s->nXDeflection);
    setNumber(ui->lineEditYDeflection, s->nYDeflection);
    setNumber(ui->lineEditCutX, s->nXinput);
    setNumber(ui->lineEditCutY, s->nYinput);
    setNumber(ui->lineEditCutW, s->ninputWidth);
    setNumber(ui->lineEditCutH, s->ninputHeight);
    setNumber(ui->lineEditoutCutX, s->nXoutput);
    setNumber(ui->lineEditoutCutY, s->nYoutput);
    setNumber(ui->lineEditoutCutW, s->noutputWidth);
    setNumber(ui->lineEditoutCutH, s->noutputHeight);
    showScale(s->nScaleMode);
    ui->brightnessSlider->setValue(s->nbrightness);
    ui->SoundSlider->setValue(s->nsound);
    showSilent(s->nsilent != 0);
    update();
}

void COtherWidget::slot_initWidgetdate(SystemInfo *SysteminitInfo, QString strSerial)
{
    if (isOwnDevice(strSerial))
        slot_initWidgetdate(SysteminitInfo);
}

void COtherWidget::slot_setListZDeviceScene(QList<ZSceneInfo> listZDeviceScene)
{
    m_listZDeviceScene = listZDeviceScene;
}

void COtherWidget::slot_setListZDeviceScene(QList<ZSceneInfo> listZDeviceScene, QString strSerial)
{
    if (isOwnDevice(strSerial))
        m_listZDeviceScene = listZDeviceScene;
}

void COtherWidget::slot_setZDeviceinputname(QList<QString> inputstrname)
{
    m_inputstrname = inputstrname;
}

void COtherWidget::slot_setZDeviceinputname(QList<QString> inputstrname, QString strSerial)
{
    if (isOwnDevice(strSerial))
        m_inputstrname = inputstrname;
}

const ZSceneInfo *COtherWidget::showStoredScene(int nId)
{
    // By scene number: a scene not read (yet) leaves a gap in the list, not a shift.
    const auto it = std::find_if(m_listZDeviceScene.cbegin(), m_listZDeviceScene.cend(),
                                 [nId](const ZSceneInfo &scene) { return scene.nSceneIndex == nId; });
    if (nId < 1 || it == m_listZDeviceScene.cend())
        return nullptr;
    const ZSceneInfo *s = &*it;
    setNumber(ui->lineEditCutX, s->nXinput);
    setNumber(ui->lineEditCutY, s->nYinput);
    setNumber(ui->lineEditCutW, s->ninputWidth);
    setNumber(ui->lineEditCutH, s->ninputHeight);
    ui->brightnessSlider->setValue(s->nbrightness);
    ui->SoundSlider->setValue(s->nsound);
    showScale(s->nScaleMode);
    return s;
}

void COtherWidget::slot_setZDeviceScenepreview(int nId)
{
    const ZSceneInfo *s = showStoredScene(nId);
    if (!s)
        return;
    // The device's input names by input number; one not read yet is empty.
    if (s->nMainSig >= 0 && s->nMainSig < m_inputstrname.size() && !m_inputstrname.at(s->nMainSig).isEmpty()) {
        QString strName = m_inputstrname.at(s->nMainSig);
        globalObserver::getGlobalObserver()->notify("slot_previewCurrentZDeviceDate", Q_ARG(QString, strName));
    }
}

void COtherWidget::showLiveSettings()
{
    const CDeviceRecords *pDevice = CDeviceRecords::find(m_strSerial);
    if (!pDevice || !pDevice->systemRecordRead())
        return;
    SystemInfo settings = *pDevice->systemRecord();
    slot_initWidgetdate(&settings);
}

void COtherWidget::slot_setZDeviceSceneTake(int nId)
{
    // The device makes the scene's stored values live: the page shows them, mute included, at
    // once. The records are the worker's: it takes the scene's main source on the device's
    // acknowledgement and reads the live values back, which fill the page again.
    if (const ZSceneInfo *s = showStoredScene(nId))
        showSilent(s->nsilent != 0);
}

// ------------------------------------------------------------------ sections

void COtherWidget::setSectionOpen(QWidget *pSection, QWidget *pButton, bool &bOpen)
{
    if (bOpen) {
        pSection->hide();
        pButton->setStyleSheet(kClosedLook);
    } else {
        pSection->show();
        pButton->setStyleSheet(kOpenLook);
    }
    bOpen = !bOpen;
}

void COtherWidget::on_systemsettoolButton_clicked()
{
    setSectionOpen(ui->systemsettwidget, ui->systemsettoolButton, m_bOpen);
}

void COtherWidget::on_inputcutButton_clicked()
{
    setSectionOpen(ui->inputcutwidget, ui->inputcutButton, m_binputOpen);
}

void COtherWidget::on_OutputcutButton_clicked()
{
    setSectionOpen(ui->outputcutwidget, ui->OutputcutButton, m_boutputOpen);
}

// ------------------------------------------------------------------ commands

void COtherWidget::sendCmd(const QString &strName, QByteArray payload, int nReadOrWrite, int nSub)
{
    if (m_strSerial.isEmpty()) {
        qInfo().noquote() << QString("[%1]: settings page without a device: %2 not sent")
                                 .arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss"), strName);
        return;
    }
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, m_strSerial), Q_ARG(QString, strName),
                                                Q_ARG(QByteArray &, payload), Q_ARG(int, nReadOrWrite), Q_ARG(int, nSub));
}

void COtherWidget::sendLayerCmd(int nSub, const QByteArray &payload)
{
    sendCmd(g_texing_name[Tx_SetLayer], payload, 2, nSub);
}

void COtherWidget::showScale(int nMode)
{
    // Showing a value is not a change to send back.
    const QSignalBlocker blocker(ui->ScalecomboBox);
    ui->ScalecomboBox->setCurrentIndex(nMode);
    m_nScaleShown = ui->ScalecomboBox->currentIndex();
}

void COtherWidget::on_ScalecomboBox_currentIndexChanged(int index)
{
    if (index < 0)
        return;
    if (!pressNeedsRecord()) {
        showScale(m_nScaleShown);
        return;
    }
    m_nScaleShown = index;
    QByteArray payload(2, '\0');
    payload[1] = char(index & 0xFF);
    sendLayerCmd(43, payload);
}

// Every move of the operator's (a page step on the groove, the wheel, a key, a drag) sends the
// value the slider comes to show; a drag sends once, on release, and only when the value changed
// while the handle was held. Values the page sets (the device's, a stored scene's) send nothing.
// Before the device's settings are read a move is not sent: the slider goes back.
void COtherWidget::sendOperatorMoves(QSlider *pSlider, int nSub)
{
    const auto send = [this, nSub](int nValue) {
        QByteArray payload(2, '\0');
        payload[1] = char(nValue & 0xFF);
        sendLayerCmd(nSub, payload);
    };
    // Emitted with the new position, before the value follows it (it follows the position as it
    // stands once this returns).
    connect(pSlider, &QAbstractSlider::actionTriggered, this, [this, pSlider, send](int) {
        if (pSlider->isSliderDown() || pSlider->sliderPosition() == pSlider->value())
            return;
        if (pressNeedsRecord())
            send(pSlider->sliderPosition());
        else
            pSlider->setSliderPosition(pSlider->value());
    });
    auto pPressed = std::make_shared<int>(-1);
    connect(pSlider, &QAbstractSlider::sliderPressed, this, [pSlider, pPressed]() { *pPressed = pSlider->sliderPosition(); });
    connect(pSlider, &QAbstractSlider::sliderReleased, this, [this, pSlider, pPressed, send]() {
        if (pSlider->sliderPosition() == *pPressed)
            return;
        if (pressNeedsRecord())
            send(pSlider->sliderPosition());
        else
            pSlider->setValue(*pPressed);
    });
}

void COtherWidget::showSilent(bool bSoundOn)
{
    m_bSilent = bSoundOn;
    ui->SilenttoolButton->setStyleSheet(bSoundOn ? kSoundOnLook : kMuteLook);
}

void COtherWidget::on_SilenttoolButton_clicked()
{
    // Turn over what the button shows: the device's state as read, taken or last sent (a
    // refusal has the device's state read back and shown); never a guess before it was read.
    if (m_strSerial.isEmpty() || !pressNeedsRecord())
        return;
    const int nNew = m_bSilent ? 0 : 1;
    QByteArray payload(2, '\0');
    payload[1] = char(nNew);
    sendLayerCmd(44, payload);
    showSilent(nNew != 0);
}

// ------------------------------------------------------------------ apply

bool COtherWidget::refuse(const QString &strTitle, const QString &strText, const QList<QLineEdit *> &listEdits,
                          const QList<int> &listValues)
{
    BesMessageBox::information(strTitle, strText, false);
    for (int i = 0; i < listEdits.size() && i < listValues.size(); ++i)
        setNumber(listEdits.at(i), listValues.at(i));
    return false;
}

bool COtherWidget::needsRecord()
{
    if (systemInfo())
        return true;
    BesMessageBox::information(tr("修改失败"), tr("设备参数尚未读取，请稍候再试！"), false);
    return false;
}

bool COtherWidget::pressNeedsRecord()
{
    if (systemInfo())
        return true;
    BesMessageBox::notice(staticMetaObject.className(), QT_TR_NOOP("修改失败"), QT_TR_NOOP("设备参数尚未读取，请稍候再试！"), {});
    return false;
}

bool COtherWidget::applyName()
{
    if (!ui->lineEditstrSerial->isModified())
        return true;
    const QString strRefusal = g_deviceNameRefusal(ui->lineEditstrSerial->text(), ENameField::Device);
    if (!strRefusal.isEmpty()) {
        BesMessageBox::information(tr("修改失败"), strRefusal, false);
        return false;
    }
    sendCmd(g_texing_name[Tx_SetSystem], g_toGbkField(ui->lineEditstrSerial->text(), 12), 2, 10);
    ui->lineEditstrSerial->setModified(false);
    return true;
}

bool COtherWidget::applySize(QSize &sizeSent)
{
    if (!ui->lineEditW->isModified() && !ui->lineEditH->isModified())
        return true;
    if (!needsRecord())
        return false;
    const SystemInfo *s = systemInfo();
    int nW = 0, nH = 0;
    if (!readNumber(ui->lineEditW, nW) || !readNumber(ui->lineEditH, nH) || nW < 0 || nW > 3840 || nH < 0 || nH > 2160)
        return refuse(tr("修改失败"), tr("请输入正确屏幕宽高！"), {ui->lineEditW, ui->lineEditH},
                      {s->nLayerWidth, s->nLayerHeight});
    // The device refuses a canvas without width or height.
    if (nW == 0 || nH == 0)
        return refuse(tr("修改失败"), tr("画布宽高不能为0！"), {ui->lineEditW, ui->lineEditH},
                      {s->nLayerWidth, s->nLayerHeight});
    sizeSent = QSize(nW, nH);
    QByteArray payload;
    appendBe16(payload, nW);
    appendBe16(payload, nH);
    payload.append(char(60));
    sendCmd(g_texing_name[Tx_LEDWHSet], payload, 2, 0);
    ui->lineEditW->setModified(false);
    ui->lineEditH->setModified(false);
    globalObserver::getGlobalObserver()->notify("slot_ChangeScenesize", Q_ARG(int, nW), Q_ARG(int, nH));
    return true;
}

QSize COtherWidget::canvasSize(const QSize &sizeSent) const
{
    if (sizeSent.isValid())
        return sizeSent;
    const SystemInfo *s = systemInfo();
    return s ? QSize(s->nLayerWidth, s->nLayerHeight) : QSize();
}

bool COtherWidget::applyOffset(const QSize &sizeSent)
{
    if (!ui->lineEditXDeflection->isModified() && !ui->lineEditYDeflection->isModified())
        return true;
    if (!needsRecord())
        return false;
    const SystemInfo *s = systemInfo();
    const QSize canvas = canvasSize(sizeSent);
    int nX = 0, nY = 0;
    if (!readNumber(ui->lineEditXDeflection, nX) || !readNumber(ui->lineEditYDeflection, nY) || nX < 0
        || nX > canvas.width() || nY < 0 || nY > canvas.height())
        return refuse(tr("修改失败"), tr("偏移点需在画布范围内！"), {ui->lineEditXDeflection, ui->lineEditYDeflection},
                      {s->nXDeflection, s->nYDeflection});
    QByteArray payload(1, '\0');
    appendBe16(payload, nX);
    appendBe16(payload, nY);
    appendBe16(payload, canvas.width());
    appendBe16(payload, canvas.height());
    sendLayerCmd(10, payload);
    ui->lineEditXDeflection->setModified(false);
    ui->lineEditYDeflection->setModified(false);
    globalObserver::getGlobalObserver()->notify("slot_ChangeXPos", Q_ARG(int, nX), Q_ARG(int, nY));
    return true;
}

bool COtherWidget::applyInputCrop()
{
    const QList<QLineEdit *> listEdits = {ui->lineEditCutX, ui->lineEditCutY, ui->lineEditCutW, ui->lineEditCutH};
    bool bModified = false;
    for (QLineEdit *pEdit : listEdits)
        bModified = bModified || pEdit->isModified();
    if (!bModified)
        return true;
    if (!needsRecord())
        return false;
    const SystemInfo *s = systemInfo();
    int v[4];
    for (int i = 0; i < 4; ++i) {
        if (!readNumber(listEdits.at(i), v[i]) || v[i] < 0 || v[i] > 0xFFFF)
            return refuse(tr("截取失败"), tr("截取值需为0到65535的整数！"), listEdits,
                          {s->nXinput, s->nYinput, s->ninputWidth, s->ninputHeight});
    }
    QByteArray payload;
    payload.append(char(0));
    payload.append(char(1));
    for (int n : v)
        appendBe16(payload, n);
    sendLayerCmd(20, payload);
    for (QLineEdit *pEdit : listEdits)
        pEdit->setModified(false);
    return true;
}

bool COtherWidget::applyOutputCrop(const QSize &sizeSent)
{
    const QList<QLineEdit *> listEdits = {ui->lineEditoutCutX, ui->lineEditoutCutY, ui->lineEditoutCutW, ui->lineEditoutCutH};
    bool bModified = false;
    for (QLineEdit *pEdit : listEdits)
        bModified = bModified || pEdit->isModified();
    if (!bModified)
        return true;
    if (!needsRecord())
        return false;
    const SystemInfo *s = systemInfo();
    const QSize canvas = canvasSize(sizeSent);
    int nX = 0, nY = 0, nW = 0, nH = 0;
    const bool bNumbers = readNumber(ui->lineEditoutCutX, nX) && readNumber(ui->lineEditoutCutY, nY)
                          && readNumber(ui->lineEditoutCutW, nW) && readNumber(ui->lineEditoutCutH, nH);
    // The crop lies wholly inside the canvas (summed in 64 bits: large values cannot wrap round).
    if (!bNumbers || nX < 0 || nY < 0 || nW < 0 || nH < 0 || qint64(nX) + nW > canvas.width()
        || qint64(nY) + nH > canvas.height())
        return refuse(tr("截取失败"), tr("截取图像需在画布范围内！"), listEdits,
                      {s->nXoutput, s->nYoutput, s->noutputWidth, s->noutputHeight});
    QByteArray payload(1, '\0');
    appendBe16(payload, nX);
    appendBe16(payload, nY);
    appendBe16(payload, nW);
    appendBe16(payload, nH);
    sendLayerCmd(42, payload);
    for (QLineEdit *pEdit : listEdits)
        pEdit->setModified(false);
    return true;
}

void COtherWidget::sendZDeviceCmd()
{
    // The Tarn frame's page edits no device: nothing typed there can go anywhere.
    if (m_strSerial.isEmpty()) {
        BesMessageBox::information(tr("修改失败"), tr("此页面在本窗口中没有对应的设备！"), false);
        return;
    }
    // In order; a refused group ends the apply, groups already sent stay sent. The groups after
    // the size are checked against, and sent with, the size this apply sent.
    QSize sizeSent;
    if (applyName() && applySize(sizeSent) && applyOffset(sizeSent) && applyInputCrop())
        applyOutputCrop(sizeSent);
}

// ------------------------------------------------------------------ save to a stored scene

void COtherWidget::on_SavescenepushButton_clicked()
{
    if (m_strSerial.isEmpty())
        return;
    // The page only saves Z scenes.
    if (!m_pSceneSaveAsDlg)
        m_pSceneSaveAsDlg = new CSceneSaveAsDlg(QStringLiteral("Z"));
    // Only this page's device answers with its counts.
    QString strSerial = m_strSerial;
    globalObserver::getGlobalObserver()->notify("slot_GetZSencedate", Q_ARG(QString, strSerial));
    sendCmd(g_texing_name[Tx_GetSourceNum], QByteArray(1, 1), 1, 2);
    m_pSceneSaveAsDlg->setStrSerial(m_strSerial);
    // Always the current list (an empty one too): an earlier device's records may be gone.
    m_pSceneSaveAsDlg->setListZDeviceScene(m_listZDeviceScene);
    // The page is not touched after the run: it may have gone with its property stack meanwhile.
    m_pSceneSaveAsDlg->exec();
}

void COtherWidget::slot_getZScenedate(int scenenum, int take)
{
    m_nscenenum = scenenum;
    m_ntake = take;
    if (m_pSceneSaveAsDlg)
        m_pSceneSaveAsDlg->setZsencedate(m_nscenenum, m_ntake);
}

void COtherWidget::slot_getZScenedate(int scenenum, int take, QString strSerial)
{
    if (isOwnDevice(strSerial))
        slot_getZScenedate(scenenum, take);
}
