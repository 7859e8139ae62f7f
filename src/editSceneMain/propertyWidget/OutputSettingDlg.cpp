#include "OutputSettingDlg.h"
#include "ui_OutputSettingDlg.h"

#include <QIcon>
#include <QIntValidator>
#include <QPointer>

#include "BesMessageBox.h"
#include "QorGlobal.h"
#include "globalObserver.h"
#include "WireBytes.h"

using WireBytes::appendBe16;

namespace {

const char *const kTopics[] = {"InitOutputDate", "Noisecancellation", "SwitchOutputDate", "InitAdvancedDate", "Delay",
                               "slot_outputSettingsHeld"};

const char *const kRadioStyle = "QRadioButton{color: rgb(255, 255, 255); font-size: 16px;}"
                                "QRadioButton:checked{color: rgb(255, 255, 255);}"
                                "QRadioButton:unchecked{color: rgb(255, 255, 255);}"
                                "QRadioButton::indicator{width: 20px; height: 20px;}";

} // namespace

OutputSettingDlg::OutputSettingDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::OutputSettingDlg)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(QIcon(":/res/res/image/kelvo.ico"));
    ui->preinstallradioButton->setStyleSheet(kRadioStyle);
    ui->customradioButton->setStyleSheet(kRadioStyle);

    // 16-bit fields and one-byte refresh rates.
    const QList<QLineEdit *> listWide = {ui->CustomWidthlineEdit, ui->CustomHeightlineEdit, ui->HorizontalActivelineEdit,
                                         ui->HorizontalAlllineEdit, ui->HorizontalStartlineEdit, ui->HorizontalEndlineEdit,
                                         ui->VeticalActivelineEdit, ui->VeticalAlllineEdit, ui->VeticalStartlineEdit,
                                         ui->VeticalEndlineEdit, ui->DelaylineEdit, ui->NoiselineEdit};
    for (QLineEdit *pEdit : listWide)
        pEdit->setValidator(new QIntValidator(0, 0xFFFF, pEdit));
    for (QLineEdit *pEdit : {ui->CustomHzlineEdit, ui->MaxHzlineEdit})
        pEdit->setValidator(new QIntValidator(0, 0xFF, pEdit));

    globalObserver *pHub = globalObserver::getGlobalObserver();
    for (const char *pszTopic : kTopics)
        pHub->attach(pszTopic, this, pszTopic);
}

OutputSettingDlg::~OutputSettingDlg()
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    for (const char *pszTopic : kTopics)
        pHub->detach(pszTopic, this);
    delete ui;
}

void OutputSettingDlg::run(const QString &strSerial, QWidget *parent)
{
    // The parent may go while the dialog runs; then it took the dialog with it.
    QPointer<OutputSettingDlg> pDlg = new OutputSettingDlg(parent);
    pDlg->m_strSerial = strSerial;
    pDlg->sendCmd(QByteArray(), 1, 1);
    pDlg->exec();
    delete pDlg.data();
}

// ------------------------------------------------------------------ commands

void OutputSettingDlg::sendCmd(QByteArray payload, int nReadOrWrite, int nSub)
{
    QString strName = g_texing_name[Tx_Outletsetting];
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, m_strSerial), Q_ARG(QString, strName),
                                                Q_ARG(QByteArray &, payload), Q_ARG(int, nReadOrWrite), Q_ARG(int, nSub));
}

void OutputSettingDlg::readPort(int nSub, int nPort)
{
    sendCmd(QByteArray(1, char(nPort & 0xFF)), 1, nSub);
}

bool OutputSettingDlg::timingPageShown() const
{
    return ui->AdvancedStackedWidget->currentIndex() == 1;
}

void OutputSettingDlg::updateApplyButtons()
{
    // No port, nothing to write to.
    const bool bPort = ui->selectioncomboBox->currentIndex() >= 0;
    ui->ApplePushButton->setEnabled(bPort);
    ui->Advancedapplication->setEnabled(bPort);
    ui->SetuppushButton->setEnabled(ui->AdvancedcomboBox->currentIndex() >= 0);
}

bool OutputSettingDlg::readField(QLineEdit *pEdit, int nMax, int &nValue)
{
    bool bOk = false;
    nValue = pEdit->text().trimmed().toInt(&bOk, 10);
    if (bOk && nValue >= 0 && nValue <= nMax)
        return true;
    BesMessageBox::information(tr("设置失败"), tr("请输入0到%1之间的整数！").arg(nMax), false);
    pEdit->setFocus();
    return false;
}

// ------------------------------------------------------------------ device answers

const COutputPortRecord *OutputSettingDlg::portRecord(int nPort) const
{
    const CDeviceRecords *pDevice = CDeviceRecords::find(m_strSerial);
    if (!pDevice)
        return nullptr;
    const auto &ports = pDevice->outputsRecord().ports;
    const auto it = ports.constFind(nPort);
    return it == ports.constEnd() ? nullptr : &*it;
}

void OutputSettingDlg::InitOutputDate(int count, QString Type)
{
    // The count and type this device answered, whoever's answer the topic carries.
    const CDeviceRecords *pDevice = CDeviceRecords::find(m_strSerial);
    if (!pDevice || pDevice->outputsRecord().nPortCount < 0)
        return;
    count = pDevice->outputsRecord().nPortCount;
    Type = pDevice->outputsRecord().strPortType;
    ui->Typelabel->setText(Type);
    m_list.clear();
    ui->selectioncomboBox->clear();
    ui->AdvancedcomboBox->clear();
    // The port travels in one byte.
    const int nCount = qBound(0, count, 255);
    for (int n = 1; n <= nCount; ++n)
        m_list.append(tr("输出口%1").arg(n));
    ui->selectioncomboBox->addItems(m_list);
    ui->AdvancedcomboBox->addItems(m_list);
    updateApplyButtons();
    if (ui->selectioncomboBox->currentIndex() >= 0) {
        const int nPort = ui->selectioncomboBox->currentIndex() + 1;
        readPort(21, nPort);
        readPort(22, nPort);
    }
}

void OutputSettingDlg::SwitchOutputDate(int Index, int, int, int, int)
{
    const COutputPortRecord *pPort = portRecord(Index);
    if (!pPort || !pPort->bResolution)
        return;
    const COutputPortRecord port = *pPort;
    // A port the selector does not list leaves the selector where it is.
    if (Index >= 1 && Index <= ui->selectioncomboBox->count())
        ui->selectioncomboBox->setCurrentIndex(Index - 1);
    showResolution(port);
}

void OutputSettingDlg::showResolution(const COutputPortRecord &port)
{
    const int Serial = port.nStandard;
    if (Serial >= 0 && Serial < ui->cmbStandard->count()) {
        ui->preinstallradioButton->setChecked(true);
        ui->OutSettingstackedWidget->setCurrentIndex(0);
        ui->CustomWidthlineEdit->setText("1920");
        ui->CustomHeightlineEdit->setText("1080");
        ui->CustomHzlineEdit->setText("60");
        ui->cmbStandard->setCurrentIndex(Serial);
    } else {
        // Custom (255), or a standard this dialog does not know: show the device's own values.
        ui->customradioButton->setChecked(true);
        ui->OutSettingstackedWidget->setCurrentIndex(1);
        ui->CustomWidthlineEdit->setText(QString::number(port.nWidth));
        ui->CustomHeightlineEdit->setText(QString::number(port.nHeight));
        ui->CustomHzlineEdit->setText(QString::number(port.nHz));
    }
}

// The timing of the port the resolution tab shows (the topic names no port).
void OutputSettingDlg::InitAdvancedDate(int, int, int, int, int, int, int, int, int)
{
    if (const COutputPortRecord *pPort = portRecord(ui->selectioncomboBox->currentIndex() + 1))
        showTiming(*pPort);
}

void OutputSettingDlg::showTiming(const COutputPortRecord &port)
{
    if (!port.bTiming)
        return;
    const QList<QLineEdit *> listEdits = {ui->HorizontalActivelineEdit, ui->HorizontalAlllineEdit, ui->HorizontalStartlineEdit,
                                          ui->HorizontalEndlineEdit,    ui->VeticalActivelineEdit, ui->VeticalAlllineEdit,
                                          ui->VeticalStartlineEdit,     ui->VeticalEndlineEdit,    ui->MaxHzlineEdit};
    for (int i = 0; i < listEdits.size(); ++i)
        listEdits.at(i)->setText(QString::number(port.anTiming[i]));
}

// The delay and noise cancellation of the port the second tab shows (the topics name no port).
void OutputSettingDlg::Delay(int)
{
    const COutputPortRecord *pPort = portRecord(ui->AdvancedcomboBox->currentIndex() + 1);
    if (pPort && pPort->bDelay)
        ui->DelaylineEdit->setText(QString::number(pPort->nDelay));
}

void OutputSettingDlg::Noisecancellation(int)
{
    const COutputPortRecord *pPort = portRecord(ui->AdvancedcomboBox->currentIndex() + 1);
    if (pPort && pPort->bNoise)
        ui->NoiselineEdit->setText(QString::number(pPort->nNoise));
}

void OutputSettingDlg::slot_outputSettingsHeld(QString strSerial)
{
    if (strSerial != m_strSerial)
        return;
    if (const COutputPortRecord *pPort = portRecord(ui->selectioncomboBox->currentIndex() + 1)) {
        const COutputPortRecord port = *pPort;
        if (port.bResolution)
            showResolution(port);
        showTiming(port);
    }
    Delay(0);
    Noisecancellation(0);
}

// ------------------------------------------------------------------ form handlers

void OutputSettingDlg::on_preinstallradioButton_clicked()
{
    ui->OutSettingstackedWidget->setCurrentIndex(0);
}

void OutputSettingDlg::on_customradioButton_clicked()
{
    ui->OutSettingstackedWidget->setCurrentIndex(1);
}

void OutputSettingDlg::on_AdvancedpushButton_clicked()
{
    ui->AdvancedStackedWidget->setCurrentIndex(1);
    const int nIndex = ui->selectioncomboBox->currentIndex();
    if (nIndex >= 0)
        readPort(20, nIndex + 1);
}

void OutputSettingDlg::on_Backfirstpace_clicked()
{
    ui->AdvancedStackedWidget->setCurrentIndex(0);
}

void OutputSettingDlg::on_selectioncomboBox_currentIndexChanged(int index)
{
    updateApplyButtons();
    if (index < 0)
        return;
    readPort(timingPageShown() ? 20 : 10, index + 1);
}

void OutputSettingDlg::on_AdvancedcomboBox_currentIndexChanged(int index)
{
    updateApplyButtons();
    if (index < 0)
        return;
    readPort(21, index + 1);
    readPort(22, index + 1);
}

void OutputSettingDlg::on_ApplePushButton_clicked()
{
    const int nIndex = ui->selectioncomboBox->currentIndex();
    if (nIndex < 0)
        return;
    int nStandard = 255, nWidth = 0, nHeight = 0, nHz = 60;
    if (ui->preinstallradioButton->isChecked()) {
        nStandard = ui->cmbStandard->currentIndex();
        const QStringList listSize = ui->cmbStandard->currentText().split('X');
        if (nStandard < 0 || listSize.size() != 2) {
            BesMessageBox::information(tr("设置失败"), tr("请选择标准分辨率！"), false);
            return;
        }
        nWidth = listSize.at(0).toInt();
        nHeight = listSize.at(1).toInt();
    } else if (!readField(ui->CustomWidthlineEdit, 0xFFFF, nWidth) || !readField(ui->CustomHeightlineEdit, 0xFFFF, nHeight)
               || !readField(ui->CustomHzlineEdit, 0xFF, nHz)) {
        return;
    }
    QByteArray payload;
    payload.append(char(nIndex + 1));
    payload.append(char(0));
    payload.append(char(0));
    payload.append(char(1));
    payload.append(char(nStandard));
    appendBe16(payload, nWidth);
    appendBe16(payload, nHeight);
    payload.append(char(nHz));
    sendCmd(payload, 2, 10);
}

void OutputSettingDlg::on_Advancedapplication_clicked()
{
    const int nIndex = ui->selectioncomboBox->currentIndex();
    if (nIndex < 0)
        return;
    const QList<QLineEdit *> listEdits = {ui->HorizontalActivelineEdit, ui->HorizontalAlllineEdit, ui->HorizontalStartlineEdit,
                                          ui->HorizontalEndlineEdit,    ui->VeticalActivelineEdit, ui->VeticalAlllineEdit,
                                          ui->VeticalStartlineEdit,     ui->VeticalEndlineEdit};
    QByteArray payload(1, char(nIndex + 1));
    for (QLineEdit *pEdit : listEdits) {
        int nValue = 0;
        if (!readField(pEdit, 0xFFFF, nValue))
            return;
        appendBe16(payload, nValue);
    }
    int nMaxHz = 0;
    if (!readField(ui->MaxHzlineEdit, 0xFF, nMaxHz))
        return;
    payload.append(char(nMaxHz));
    sendCmd(payload, 2, 20);
}

void OutputSettingDlg::on_SetuppushButton_clicked()
{
    const int nIndex = ui->AdvancedcomboBox->currentIndex();
    if (nIndex < 0)
        return;
    int nDelay = 0, nNoise = 0;
    if (!readField(ui->DelaylineEdit, 0xFFFF, nDelay) || !readField(ui->NoiselineEdit, 0xFFFF, nNoise))
        return;
    QByteArray delay(1, char(nIndex + 1));
    appendBe16(delay, nDelay);
    sendCmd(delay, 2, 21);
    QByteArray noise(1, char(nIndex + 1));
    appendBe16(noise, nNoise);
    sendCmd(noise, 2, 22);
}

void OutputSettingDlg::on_pushButton_8_clicked()
{
    close();
}

void OutputSettingDlg::on_pushButton_6_clicked()
{
    close();
}
