#include "InputSetDlg.h"
#include "ui_InputSetDlg.h"

#include <QIntValidator>

#include "BesMessageBox.h"
#include "GbkCodec.h"

CInputSetDlg::CInputSetDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::InputSetDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    setWindowOpacity(0.95);
    setStyleSheet("QDialog{background-color:#232326};");

    m_nWidth = 1920;
    m_nHeight = 1080;
    m_nHZ = 60;
    m_nResouIndex = ui->cmbStandard->currentIndex();

    // The device takes width and height as 16-bit numbers and the refresh rate
    // as one byte: only digits go in, and OK checks the range.
    ui->lineEditW->setValidator(new QIntValidator(1, MAX_SIZE, ui->lineEditW));
    ui->lineEditH->setValidator(new QIntValidator(1, MAX_SIZE, ui->lineEditH));
    ui->lineEditHZ->setValidator(new QIntValidator(1, MAX_HZ, ui->lineEditHZ));

    g_fitWholeName(ui->lineEditName, NAME_FIELD_BYTES);

    // The dialog opens in the standard type.
    ui->lineEditW->hide();
    ui->labelX->hide();
    ui->lineEditH->hide();

    connect(ui->cmbType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CInputSetDlg::onTypeChanged);
    connect(ui->lineEditName, &QLineEdit::textChanged, this,
            [this](const QString &strText) { m_strName = strText; });
    connect(ui->lineEditW, &QLineEdit::textChanged, this,
            [this](const QString &strText) { m_nWidth = strText.toInt(); });
    connect(ui->lineEditH, &QLineEdit::textChanged, this,
            [this](const QString &strText) { m_nHeight = strText.toInt(); });
    connect(ui->lineEditHZ, &QLineEdit::textChanged, this,
            [this](const QString &strText) { m_nHZ = strText.toInt(); });
    connect(ui->cmbStandard, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int nIndex) {
                const QStringList parts = ui->cmbStandard->itemText(nIndex).split("X");
                m_nWidth = parts.value(0).toInt();
                m_nHeight = parts.value(1).toInt();
                m_nResouIndex = nIndex;
            });
    connect(ui->btnOk, &QPushButton::clicked, this, &CInputSetDlg::slot_ok);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

CInputSetDlg::~CInputSetDlg()
{
    delete ui;
}

void CInputSetDlg::onTypeChanged(int nIndex)
{
    const bool bCustom = nIndex != 0;
    ui->lineEditW->setVisible(bCustom);
    ui->labelX->setVisible(bCustom);
    ui->lineEditH->setVisible(bCustom);
    ui->cmbStandard->setVisible(!bCustom);
    ui->labelStandard->setText(bCustom ? tr("自定义分辨率：") : tr("标准分辨率："));
}

void CInputSetDlg::setShowType(int type)
{
    if (type == 1) {
        ui->labelType->hide();
        ui->cmbType->hide();
        ui->labelStandard->hide();
        ui->cmbStandard->hide();
        ui->lineEditW->hide();
        ui->lineEditH->hide();
        ui->labelX->hide();
        ui->labelHZ->hide();
        ui->lineEditHZ->hide();
    } else if (type == 2) {
        ui->labelName->hide();
        ui->lineEditName->hide();
        ui->lineEditW->hide();
        ui->lineEditH->hide();
        ui->labelX->hide();
    }
}

void CInputSetDlg::setInputData(InputSource *pInput)
{
    if (!pInput)
        return;
    m_pDeviceInput = pInput;
    m_strName = pInput->strName;
    ui->lineEditName->setText(m_strName);

    m_nWidth = pInput->nWidth < 1 ? 1920 : pInput->nWidth;
    m_nHeight = pInput->nHeight < 1 ? 1080 : pInput->nHeight;
    const int nWidth = m_nWidth;
    const int nHeight = m_nHeight;
    ui->lineEditW->setText(QString::number(nWidth));
    ui->lineEditH->setText(QString::number(nHeight));
    const int nIndex = ui->cmbStandard->findText(QString("%1X%2").arg(nWidth).arg(nHeight));
    if (nIndex >= 0)
        ui->cmbStandard->setCurrentIndex(nIndex);

    m_nHZ = pInput->nHz < 1 ? 60 : pInput->nHz;
    ui->lineEditHZ->setText(QString::number(m_nHZ));
}

QString CInputSetDlg::checkValues() const
{
    if (!ui->lineEditName->isHidden()) {
        // The name travels in a 12-byte GBK field: it must encode whole and fit.
        const QString strRefusal = g_deviceNameRefusal(m_strName, ENameField::Input, NAME_FIELD_BYTES);
        if (!strRefusal.isEmpty())
            return strRefusal;
    }
    const bool bTiming = !ui->cmbType->isHidden();
    if (bTiming && ui->cmbType->currentIndex() != 0) {
        bool bW = false;
        bool bH = false;
        const int nW = ui->lineEditW->text().toInt(&bW);
        const int nH = ui->lineEditH->text().toInt(&bH);
        if (!bW || !bH || nW < 1 || nW > MAX_SIZE || nH < 1 || nH > MAX_SIZE)
            return tr("宽度和高度须为1到65535之间的整数");
    }
    if (!ui->lineEditHZ->isHidden()) {
        bool bOk = false;
        const int nHz = ui->lineEditHZ->text().toInt(&bOk);
        if (!bOk || nHz < 1 || nHz > MAX_HZ)
            return tr("刷新频率须为1到255之间的整数");
    }
    return QString();
}

void CInputSetDlg::slot_ok()
{
    const QString strError = checkValues();
    if (!strError.isEmpty()) {
        BesMessageBox::information(tr("提示"), strError);
        return;
    }

    m_nResouIndex = ui->cmbStandard->currentIndex();
    m_nShowType = ui->cmbType->currentIndex();
    if (!ui->cmbType->isHidden() && m_nShowType != 0) {
        // A custom resolution is what the two fields show, even when a
        // standard entry was picked before the type was switched.
        m_nWidth = ui->lineEditW->text().toInt();
        m_nHeight = ui->lineEditH->text().toInt();
    }
    if (m_pDeviceInput) {
        m_pDeviceInput->nHz = m_nHZ;
        m_pDeviceInput->nWidth = m_nWidth;
        m_pDeviceInput->nHeight = m_nHeight;
        m_pDeviceInput->strName = m_strName;
    }
    accept();
}
