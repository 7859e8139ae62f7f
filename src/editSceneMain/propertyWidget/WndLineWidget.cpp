#include "WndLineWidget.h"
#include "ui_WndLineWidget.h"

#include <QColorDialog>
#include <QDateTime>
#include <QtDebug>

#include "BesMessageBox.h"
#include "EditSingleTextItem.h"
#include "QorGlobal.h"
#include "WndPosWidget.h"

CWndLineWidget::CWndLineWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::wndLineWidget)
{
    ui->setupUi(this);
    ui->sliderTrans->setRange(0, 255);
    ui->sliderTrans->setSingleStep(15);
    // A typed value is sent once, when the edit completes; an arrow step at each step.
    ui->spinBoxTrans->setKeyboardTracking(false);
    ui->systemsettoolButton->setStyleSheet("QToolButton{background:transparent;border-image: url(:/res/res/image/open.png);}");
    connect(ui->spinBoxTrans, QOverload<int>::of(&QSpinBox::valueChanged), this, &CWndLineWidget::onSpinTrans);
    connect(ui->sliderTrans, &CBaseSlider::rSliderValueManulChange, this, &CWndLineWidget::onSliderTrans);
    connect(ui->spinBoxLine, QOverload<int>::of(&QSpinBox::valueChanged), this, &CWndLineWidget::getLineWidth);
    for (QWidget *w : {static_cast<QWidget *>(ui->lineWidth), static_cast<QWidget *>(ui->spinBoxLine),
                       static_cast<QWidget *>(ui->btnColor), static_cast<QWidget *>(ui->lineTransColor),
                       static_cast<QWidget *>(ui->btnTransColor), static_cast<QWidget *>(ui->systemsettoolButton),
                       static_cast<QWidget *>(ui->systemsetlabel), static_cast<QWidget *>(ui->widget)})
        w->hide();
}

CWndLineWidget::~CWndLineWidget()
{
    delete ui;
}

// False when the layer's scene is not the device's live one (the recall was offered): the page
// then shows the layer's value again.
bool CWndLineWidget::applyTrans(int v)
{
    if (!CWndPosWidget::layerSceneIsLive(this, m_pItem) || !m_pItem) {
        setCurrentItem(m_pItem);
        return false;
    }
    m_pItem->setTrans(v);
    m_pItem->setLayerTrans();
    m_pItem->update();
    return true;
}

void CWndLineWidget::onSpinTrans(int v)
{
    if (!m_pItem || !applyTrans(v))
        return;
    ui->sliderTrans->setValue(v);
}

void CWndLineWidget::onSliderTrans(int v)
{
    if (!m_pItem)
        return;
    // a release outside the slider reports a value outside its range
    v = qBound(ui->sliderTrans->minimum(), v, ui->sliderTrans->maximum());
    if (!applyTrans(v))
        return;
    // the spin box follows without sending the same value a second time
    const bool bBlocked = ui->spinBoxTrans->blockSignals(true);
    ui->spinBoxTrans->setValue(v);
    ui->spinBoxTrans->blockSignals(bBlocked);
    ui->sliderTrans->setValue(v);
    qInfo().noquote() << QString("[%1]: ").arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss"))
                      << "Update the QSlider value";
}

void CWndLineWidget::setCurrentItem(QGraphicsItem *pItem)
{
    if (!pItem)
        return;
    auto *pLayer = dynamic_cast<CEditSingleTextItem *>(pItem);
    const bool bOtherLayer = pLayer && pLayer != m_pItem;
    if (pLayer && pLayer->getItemType() == MediaType_SingleText)
        m_pItem = pLayer;
    if (!m_pItem)
        return;
    if (bOtherLayer)
        showCrop();
    const bool bLine = ui->spinBoxLine->blockSignals(true);
    ui->spinBoxLine->setValue(m_pItem->m_nLineWidth);
    ui->spinBoxLine->blockSignals(bLine);
    m_lineColor = m_pItem->m_lineColor;
    setLineBtnBkColor();
    m_transColor = m_pItem->m_transColor;
    setTransBtnBkColor();
    const bool bTrans = ui->spinBoxTrans->blockSignals(true);
    ui->spinBoxTrans->setValue(m_pItem->m_nTransNum);
    ui->spinBoxTrans->blockSignals(bTrans);
    ui->sliderTrans->setValue(m_pItem->m_nTransNum);
}

void CWndLineWidget::getLineWidth(int nWidth)
{
    if (m_pItem)
        m_pItem->setLineWidth(nWidth);
}

void CWndLineWidget::getLineColor()
{
    if (m_pItem)
        m_pItem->m_lineColor = m_lineColor;
}

void CWndLineWidget::setLineBtnBkColor()
{
    ui->btnColor->setStyleSheet(g_colorToQssString(m_lineColor));
    getLineColor();
}

void CWndLineWidget::setTransBtnBkColor()
{
    ui->btnTransColor->setStyleSheet(g_colorToQssString(m_transColor));
}

void CWndLineWidget::on_btnColor_clicked()
{
    const QColor color = QColorDialog::getColor(m_lineColor, this);
    if (!color.isValid())
        return;
    m_lineColor = color;
    setLineBtnBkColor();
}

void CWndLineWidget::on_btnTransColor_clicked()
{
    const QColor color = QColorDialog::getColor(m_transColor, this);
    if (!color.isValid())
        return;
    m_transColor = color;
    setTransBtnBkColor();
}

void CWndLineWidget::on_systemsettoolButton_clicked()
{
    ui->systemsettoolButton->setStyleSheet(
        QString("QToolButton{background:transparent;border-image: url(:/res/res/image/%1);}").arg(m_bOpen ? "close.png" : "open.png"));
    m_bOpen = !m_bOpen;
}

void CWndLineWidget::on_pushButton_clicked()
{
    if (!m_pItem)
        return;
    const bool bEnglish = g_strLanguage == "English";
    const QList<QLineEdit *> edits{ui->lineEditX, ui->lineEditY, ui->lineEditW, ui->lineEditH};
    QList<int> values;
    for (QLineEdit *e : edits) {
        bool bOk = false;
        const int v = e->text().toInt(&bOk, 10);
        if (e->text().isEmpty() || !bOk) {
            if (bEnglish)
                BesMessageBox::tipInfor("Delivery failure", "The data to be delivered cannot be empty");
            else
                BesMessageBox::tipInfor(QString::fromUtf8("下发失败"), QString::fromUtf8("下发数据不得为空"));
            return;
        }
        values.append(v);
    }
    if (!CWndPosWidget::layerSceneIsLive(this, m_pItem) || !m_pItem) {
        showCrop(); // nothing was sent: the layer's crop again
        return;
    }
    m_pItem->setLayerCut(values.at(0), values.at(1), values.at(2), values.at(3));
    if (m_pItem)
        m_pItem->update();
}

void CWndLineWidget::showCrop()
{
    if (!m_pItem)
        return;
    int nW = 0, nH = 0;
    m_pItem->getItemSize(nW, nH);
    QList<int> values{0, 0, nW, nH};
    if (m_pItem->m_nCut)
        values = {qRound(m_pItem->m_nCutX * g_dWScale), qRound(m_pItem->m_nCutY * g_dHScale),
                  qRound(m_pItem->m_nCutWidth * g_dWScale), qRound(m_pItem->m_nCutHeight * g_dHScale)};
    const QList<QLineEdit *> edits{ui->lineEditX, ui->lineEditY, ui->lineEditW, ui->lineEditH};
    for (int i = 0; i < edits.size(); ++i)
        edits.at(i)->setText(QString::number(values.at(i)));
}

CEditSingleTextItem *CWndLineWidget::item() const
{
    return m_pItem.data();
}
