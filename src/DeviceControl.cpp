#include "DeviceControl.h"
#include "ui_DeviceControl.h"

#include "SwitchButton.h"

#include <QEvent>

CDeviceControl::CDeviceControl(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CDeviceControl)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    ui->btnDel->hide();
}

CDeviceControl::~CDeviceControl()
{
    delete ui;
}

void CDeviceControl::setDeviceId(int nId)
{
    ui->btnSwitch->setDeviceId(nId);
}

int CDeviceControl::getDeviceId() const
{
    return ui->btnSwitch->deviceId();
}

void CDeviceControl::setDeviceSerial(const QString &strSerial)
{
    m_strSerial = strSerial;
    ui->btnSwitch->setDeviceSerial(strSerial);
}

void CDeviceControl::setStrDeviceName(const QString &strName)
{
    m_strDeviceName = strName;
    ui->btnSwitch->setDeviceName(strName);
}

bool CDeviceControl::getSwitchBtnState() const
{
    return ui->btnSwitch->switchBtnState();
}

SwitchButton *CDeviceControl::switchButton() const
{
    return ui->btnSwitch;
}

QString CDeviceControl::statusText() const
{
    return ui->labelStatus->text();
}

void CDeviceControl::slot_setDeviceStatus(bool bStatus)
{
    m_bOnline = bStatus;
    applyStatusText();
}

void CDeviceControl::applyStatusText()
{
    ui->labelStatus->setText(m_bOnline ? tr("在线") : tr("离线"));
}

// A language switch re-applies the form texts; the status label keeps the
// link state it shows.
void CDeviceControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        applyStatusText();
    }
    QWidget::changeEvent(event);
}

void CDeviceControl::on_btnEdit_clicked()
{
    emit sig_editScene(m_strSerial, m_strDeviceName, m_strDeviceType);
}

void CDeviceControl::on_btnDel_clicked()
{
}
