#include "TextWidget.h"
#include "ui_TextWidget.h"

#include <QColorDialog>
#include <QSettings>
#include <QTextCodec>

#include "QorGlobal.h"
#include "editosditem.h"
#include "globalObserver.h"

CTextWidget::CTextWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::textWidget)
{
    ui->setupUi(this);
    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->attach("slot_GetOSDsendprogress", this, "slot_GetOSDsendprogress");
    pHub->attach("slot_osdSettingsHeld", this, "slot_osdSettingsHeld");

    for (QWidget *w : {static_cast<QWidget *>(ui->textEdit), static_cast<QWidget *>(ui->label_11),
                       static_cast<QWidget *>(ui->unitLabel), static_cast<QWidget *>(ui->waitTimeLineEdit),
                       static_cast<QWidget *>(ui->waitTimeLabel), static_cast<QWidget *>(ui->cmbShowStyle),
                       static_cast<QWidget *>(ui->spinBoxSpeed), static_cast<QWidget *>(ui->btnBold),
                       static_cast<QWidget *>(ui->btnItalic), static_cast<QWidget *>(ui->btnUnder),
                       static_cast<QWidget *>(ui->OSDProgressBar), static_cast<QWidget *>(ui->OSDProgressLabel)})
        w->hide();
    ui->sliderTrans->setRange(0, 255);
    ui->sliderTrans->setSingleStep(15);
    ui->FontsliderTrans->setRange(0, 255);
    ui->FontsliderTrans->setSingleStep(1);
    ui->spinBoxTrans->setValue(g_bkColorTransparency);
    ui->sliderTrans->setValue(g_bkColorTransparency);
    ui->FontsliderTrans->setValue(g_fontTransparency);
    ui->FontspinBoxTrans->setValue(g_fontTransparency);
    // A typed transparency is sent once, when the edit completes (Return, leaving the field);
    // an arrow step still sends at each step.
    ui->spinBoxTrans->setKeyboardTracking(false);
    ui->FontspinBoxTrans->setKeyboardTracking(false);
    ui->cmbFontName->setFontFilters(QFontComboBox::ScalableFonts);
    connectHandlers();
}

CTextWidget::~CTextWidget()
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->detach("slot_GetOSDsendprogress", this);
    pHub->detach("slot_osdSettingsHeld", this);
    delete ui;
}

void CTextWidget::connectHandlers()
{
    connect(ui->textEdit, &QTextEdit::textChanged, this, &CTextWidget::onTextChanged);
    connect(ui->spinBoxTextSpaceing, QOverload<int>::of(&QSpinBox::valueChanged), this, &CTextWidget::onTextSpacing);
    connect(ui->spinBoxSpeed, QOverload<int>::of(&QSpinBox::valueChanged), this, &CTextWidget::onSpinSpeed);
    connect(ui->FontWithSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &CTextWidget::onFontWidth);
    connect(ui->cmbShowStyle, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CTextWidget::onShowStyle);
    connect(ui->cmbFontName, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CTextWidget::onFontName);
    connect(ui->cmbFontSize, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CTextWidget::onFontSize);
    connect(ui->btnFontColor, &QPushButton::clicked, this, &CTextWidget::onFontColor);
    connect(ui->btnBkColor, &QPushButton::clicked, this, &CTextWidget::onBkColor);
    connect(ui->btnBold, &QPushButton::clicked, this, &CTextWidget::onStyleButton);
    connect(ui->btnItalic, &QPushButton::clicked, this, &CTextWidget::onStyleButton);
    connect(ui->btnUnder, &QPushButton::clicked, this, &CTextWidget::onStyleButton);
    connect(ui->spinBoxTrans, QOverload<int>::of(&QSpinBox::valueChanged), this, &CTextWidget::onBkSpin);
    connect(ui->sliderTrans, &CBaseSlider::rSliderValueManulChange, this, &CTextWidget::onBkSlider);
    connect(ui->FontspinBoxTrans, QOverload<int>::of(&QSpinBox::valueChanged), this, &CTextWidget::onFontSpin);
    connect(ui->FontsliderTrans, &CBaseSlider::rSliderValueManulChange, this, &CTextWidget::onFontSlider);
    connect(ui->SpeedcomboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CTextWidget::onSpeedCombo);
}

void CTextWidget::writeOSDSetting(const QString &strKey, const QVariant &value)
{
    QSettings settings("Morvane.ini", QSettings::IniFormat);
    settings.setIniCodec(QTextCodec::codecForName("GB2312"));
    settings.setValue(strKey, value);
    settings.sync();
}

// Showing an item fills the controls with their signals blocked: a selection sends nothing and
// leaves a running scroll alone.
void CTextWidget::setItemData(EditOSDItem *pItem)
{
    if (!pItem)
        return;
    m_pItem = pItem;
    const QList<QWidget *> controls{ui->cmbFontName, ui->cmbFontSize, ui->textEdit, ui->spinBoxTextSpaceing,
                                    ui->cmbShowStyle, ui->spinBoxSpeed, ui->btnBold, ui->btnItalic, ui->btnUnder,
                                    ui->FontspinBoxTrans, ui->FontsliderTrans, ui->FontWithSpinBox, ui->SpeedcomboBox};
    QList<bool> blocked;
    for (QWidget *w : controls)
        blocked.append(w->blockSignals(true));
    ui->cmbFontName->setEditText(pItem->m_strFontName);
    ui->cmbFontSize->setCurrentText(QString::number(pItem->m_nFontSize));
    ui->btnBkColor->setStyleSheet(g_colorToQssString(pItem->m_bkColor));
    ui->btnFontColor->setStyleSheet(g_colorToQssString(pItem->m_fontColor));
    ui->textEdit->setPlainText(pItem->m_strTextContent);
    ui->spinBoxTextSpaceing->setValue(pItem->m_nTextSpaceing);
    ui->cmbShowStyle->setCurrentIndex(pItem->m_nShowStyle);
    ui->spinBoxSpeed->setValue(pItem->m_nInSpeed);
    ui->btnBold->setChecked(pItem->m_bBold);
    ui->btnItalic->setChecked(pItem->m_bItalic);
    ui->btnUnder->setChecked(pItem->m_bUnder);
    ui->FontspinBoxTrans->setValue(pItem->m_nTexTransparency);
    ui->FontsliderTrans->setValue(pItem->m_nTexTransparency);
    ui->FontWithSpinBox->setValue(pItem->m_nOSDFontWidth);
    if (pItem->m_nInSpeed >= 0 && pItem->m_nInSpeed < ui->SpeedcomboBox->count())
        ui->SpeedcomboBox->setCurrentIndex(pItem->m_nInSpeed);
    for (int i = 0; i < controls.size(); ++i)
        controls.at(i)->blockSignals(blocked.at(i));
}

bool CTextWidget::playing() const
{
    return m_pItem && m_pItem->isPlaying();
}

void CTextWidget::refresh()
{
    if (!m_pItem)
        return;
    m_pItem->dataChange();
    m_pItem->update();
}

void CTextWidget::speedPause()
{
    const int nIndex = ui->SpeedcomboBox->currentIndex();
    if (nIndex > 0) {
        g_nOSDSpeed = nIndex;
        ui->SpeedcomboBox->setCurrentIndex(0);
    }
}

void CTextWidget::slot_GetOSDsendprogress(int nProgress)
{
    if (nProgress < 0 || nProgress >= 100) {
        // 100: done; below 0: the transfer was given up
        ui->OSDProgressBar->hide();
        ui->OSDProgressLabel->hide();
        if (nProgress >= 100)
            ui->OSDProgressBar->setValue(100);
        return;
    }
    ui->OSDProgressBar->setValue(nProgress);
    if (nProgress == 0) {
        ui->OSDProgressBar->show();
        ui->OSDProgressLabel->show();
    }
}

void CTextWidget::slot_SetOSDTextSpeed(int nSpeed)
{
    if (nSpeed < 0 || nSpeed >= ui->SpeedcomboBox->count())
        return;
    ui->SpeedcomboBox->setCurrentIndex(nSpeed);
}

void CTextWidget::slot_osdSettingsHeld(QString strSerial, QByteArray params)
{
    if (!m_pItem || m_pItem->m_strSerial != strSerial || params.size() < 19)
        return;
    auto at = [&params](int i) { return int(uchar(params.at(i))); };
    EditOSDItem *pItem = m_pItem;
    const int nFontTrans = at(2);
    const int nBkTrans = at(3);
    pItem->m_nTexTransparency = nFontTrans;
    pItem->setNFontTransNum(nFontTrans);
    pItem->m_fontColor = QColor(at(13), at(14), at(15), nFontTrans);
    pItem->setNBkTransparency(nBkTrans);
    pItem->m_bkColor = QColor(at(16), at(17), at(18), nBkTrans);
    pItem->m_nInSpeed = at(4);
    setItemData(pItem);
    {
        const QSignalBlocker spinBlocker(ui->spinBoxTrans);
        const QSignalBlocker sliderBlocker(ui->sliderTrans);
        ui->spinBoxTrans->setValue(nBkTrans);
        ui->sliderTrans->setValue(nBkTrans);
    }
    refresh();
}

// ---------------------------------------------------------------- handlers

void CTextWidget::onTextChanged()
{
    if (!m_pItem)
        return;
    const QString strText = ui->textEdit->toPlainText();
    if (strText.isEmpty() || strText == m_pItem->m_strTextContent || playing())
        return;
    m_pItem->m_strTextContent = strText;
    refresh();
}

void CTextWidget::onTextSpacing(int v)
{
    if (!m_pItem)
        return;
    speedPause();
    m_pItem->m_nTextSpaceing = v;
    if (!playing())
        refresh();
}

void CTextWidget::onSpinSpeed(int v)
{
    if (!m_pItem)
        return;
    m_pItem->m_nInSpeed = v;
    if (!playing()) {
        m_pItem->sendFontSpeed(v);
        refresh();
    }
}

void CTextWidget::onFontWidth(int v)
{
    if (!m_pItem)
        return;
    speedPause();
    m_pItem->m_nOSDFontWidth = v;
    refresh();
}

void CTextWidget::onShowStyle(int i)
{
    if (!m_pItem)
        return;
    m_pItem->m_nShowStyle = i;
    if (!playing())
        refresh();
}

void CTextWidget::onFontName(int i)
{
    if (!m_pItem || playing())
        return;
    m_pItem->m_strFontName = ui->cmbFontName->itemText(i);
    refresh();
}

void CTextWidget::onFontSize(int i)
{
    if (!m_pItem || playing())
        return;
    bool bOk = false;
    const int nSize = ui->cmbFontSize->itemText(i).toInt(&bOk);
    if (!bOk)
        return;
    m_pItem->m_nFontSize = nSize;
    writeOSDSetting("/OSD/nFontSize", nSize);
    refresh();
}

void CTextWidget::onFontColor()
{
    if (!m_pItem)
        return;
    QPointer<EditOSDItem> pItem = m_pItem;
    const QColor color = QColorDialog::getColor(pItem->m_fontColor, this);
    if (!color.isValid() || !pItem)
        return;
    QColor c = color;
    c.setAlpha(pItem->m_fontColor.alpha());
    pItem->m_fontColor = c;
    g_fontColor = color;
    ui->btnFontColor->setStyleSheet(g_colorToQssString(c));
    pItem->sendFontColor(c);
    refresh();
}

void CTextWidget::onBkColor()
{
    if (!m_pItem || playing())
        return;
    QPointer<EditOSDItem> pItem = m_pItem;
    const QColor color = QColorDialog::getColor(pItem->m_bkColor, this);
    if (!color.isValid() || !pItem)
        return;
    QColor c = color;
    c.setAlpha(pItem->m_bkColor.alpha());
    pItem->m_bkColor = c;
    g_bkColor = color;
    ui->btnBkColor->setStyleSheet(g_colorToQssString(c));
    pItem->sendbkColor(c);
    refresh();
}

void CTextWidget::onStyleButton()
{
    if (!m_pItem || playing())
        return;
    m_pItem->m_bBold = ui->btnBold->isChecked();
    m_pItem->m_bItalic = ui->btnItalic->isChecked();
    m_pItem->m_bUnder = ui->btnUnder->isChecked();
    refresh();
}

void CTextWidget::onBkSpin(int v)
{
    if (!m_pItem)
        return;
    ui->sliderTrans->setValue(v);
    m_pItem->m_bkColor.setAlpha(v);
    g_bkColorTransparency = v;
    // kept in the item too: the OSD apply sends it
    m_pItem->setNBkTransparency(v);
    m_pItem->setOSDTrans(v);
    refresh();
}

void CTextWidget::onBkSlider(int v)
{
    if (!m_pItem)
        return;
    v = qBound(ui->sliderTrans->minimum(), v, ui->sliderTrans->maximum());
    ui->spinBoxTrans->setValue(v);
    g_bkColorTransparency = v;
    if (!m_pItem)
        return;
    m_pItem->m_bkColor.setAlpha(v);
    m_pItem->setNBkTransparency(v);
    refresh();
}

void CTextWidget::onFontSpin(int v)
{
    if (!m_pItem)
        return;
    ui->FontsliderTrans->setValue(v);
    g_fontTransparency = v;
    m_pItem->setNFontTransNum(v);
    m_pItem->m_nTexTransparency = v;
    m_pItem->m_fontColor.setAlpha(v);
    m_pItem->sendFontTrans();
    refresh();
}

void CTextWidget::onFontSlider(int v)
{
    if (!m_pItem)
        return;
    v = qBound(ui->FontsliderTrans->minimum(), v, ui->FontsliderTrans->maximum());
    m_pItem->m_fontColor.setAlpha(v);
    g_fontTransparency = v;
    ui->FontspinBoxTrans->setValue(v);
    refresh();
}

void CTextWidget::onSpeedCombo(int i)
{
    if (!m_pItem || i < 0)
        return;
    m_pItem->m_nInSpeed = i;
    writeOSDSetting("/OSD/nInSpeed", i);
    if (i != 0) {
        g_nOSDSpeed = i;
        m_pItem->sendFontSpeed(i);
        m_pItem->preview();
        refresh();
    } else {
        // still text: the running scroll ends instead of rendering frames nobody sees
        m_pItem->stopScroll();
        if (!playing()) {
            m_pItem->sendFontSpeed(0);
            refresh();
        }
    }
}

void CTextWidget::on_FontcheckBoxTrans_clicked(bool bChecked)
{
    if (!m_pItem)
        return;
    const int v = bChecked ? 0 : 255;
    ui->FontspinBoxTrans->setValue(v);
    g_fontTransparency = v;
    refresh();
}

void CTextWidget::on_bKcheckBoxTrans_clicked(bool bChecked)
{
    if (!m_pItem)
        return;
    const int v = bChecked ? 0 : 255;
    ui->spinBoxTrans->setValue(v);
    if (!m_pItem)
        return;
    m_pItem->setNBkTransparency(v);
    g_bkColorTransparency = v;
    m_pItem->m_bkColor.setAlpha(v);
    refresh();
}

EditOSDItem *CTextWidget::item() const
{
    return m_pItem.data();
}
