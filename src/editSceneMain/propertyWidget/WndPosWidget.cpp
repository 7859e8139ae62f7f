#include "WndPosWidget.h"
#include "ui_WndPosWidget.h"

#include "EditBaseScene.h"
#include "EditSingleTextItem.h"
#include "GbkCodec.h"
#include "GuardedWait.h"
#include "globalObserver.h"

#include <QStyle>
#include <QStyleOptionComboBox>

namespace {
int toDevice(qreal v, qreal dScale)
{
    return int(dScale * v + (v > 0 ? 0.5 : -0.5));
}
}

CWndPosWidget::CWndPosWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::wndPosWidget)
{
    ui->setupUi(this);
    ui->spinBoxX->setRange(0, 500000);
    ui->spinBoxY->setRange(0, 500000);
    ui->spinBoxW->setRange(10, 500000);
    ui->spinBoxH->setRange(10, 500000);
    // A value reaches the layer when it is complete, not at every keystroke.
    for (QSpinBox *s : {ui->spinBoxX, ui->spinBoxY, ui->spinBoxW, ui->spinBoxH}) {
        s->setKeyboardTracking(false);
        s->installEventFilter(this);
    }
    connect(ui->spinBoxX, QOverload<int>::of(&QSpinBox::valueChanged), this, &CWndPosWidget::onX);
    connect(ui->spinBoxY, QOverload<int>::of(&QSpinBox::valueChanged), this, &CWndPosWidget::onY);
    connect(ui->spinBoxW, QOverload<int>::of(&QSpinBox::valueChanged), this, &CWndPosWidget::onW);
    connect(ui->spinBoxH, QOverload<int>::of(&QSpinBox::valueChanged), this, &CWndPosWidget::onH);
    connect(ui->cmbMainSig, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CWndPosWidget::onMainSig);
    connect(ui->cmbLayerState, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CWndPosWidget::onLayerState);
    ui->labelLayerState->hide();
    ui->cmbLayerState->hide();
    // The source box shows an input's name of the device's 12 bytes whole.
    ui->cmbMainSig->ensurePolished();
    QStyleOptionComboBox option;
    option.initFrom(ui->cmbMainSig);
    const QSize sizeSource = ui->cmbMainSig->style()->sizeFromContents(
        QStyle::CT_ComboBox, &option,
        QSize(g_wholeNameAdvance(ui->cmbMainSig->fontMetrics()), ui->cmbMainSig->fontMetrics().height()),
        ui->cmbMainSig);
    if (ui->cmbMainSig->minimumWidth() < sizeSource.width())
        ui->cmbMainSig->setFixedWidth(sizeSource.width());
    ui->RefreshPushButton->setStyleSheet(
        "QPushButton{background:transparent;border-image: url(:/res/res/image/reset-normal.png);}"
        "QPushButton:hover{background:transparent;border-image: url(:/res/res/image/reset-hover.png);}"
        "QPushButton:pressed{background:transparent;border-image: url(:/res/res/image/reset-hover.png);}");
    globalObserver::getGlobalObserver()->attach("slot_Getposinformation", this, "slot_Getposinformation");
}

CWndPosWidget::~CWndPosWidget()
{
    globalObserver::getGlobalObserver()->detach("slot_Getposinformation", this);
    delete ui;
}

bool CWndPosWidget::eventFilter(QObject *watched, QEvent *event)
{
    return QWidget::eventFilter(watched, event);
}

void CWndPosWidget::slot_Getposinformation(int &dPosX, int &dPosY)
{
    dPosX = ui->spinBoxX->value();
    dPosY = ui->spinBoxY->value();
}

CEditBaseScene *CWndPosWidget::layerScene() const
{
    return m_pItem ? dynamic_cast<CEditBaseScene *>(m_pItem->scene()) : nullptr;
}

QPointF CWndPosWidget::centreOffset() const
{
    const QRectF r = m_pItem->rect();
    return m_pItem->mapToScene(QRectF(0, 0, r.width(), r.height()).center()) - m_pItem->scenePos();
}

void CWndPosWidget::setInputSource(QVector<InputSource *> &vec)
{
    m_vectorInput = vec;
    QVector<QPair<int, QString>> listOffered;
    for (InputSource *pSource : qAsConst(m_vectorInput))
        if (pSource)
            listOffered.insert(qBound(0, pSource->nId, listOffered.size()), {pSource->nId, pSource->strName});
    // Handed again at every input refresh: the same inputs leave the list (and an open popup)
    // alone.
    QVector<QPair<int, QString>> listShown;
    for (int i = 0; i < ui->cmbMainSig->count(); ++i)
        listShown.append({ui->cmbMainSig->itemData(i).toInt(), ui->cmbMainSig->itemText(i)});
    if (listShown == listOffered)
        return;
    const bool bBlocked = ui->cmbMainSig->blockSignals(true);
    ui->cmbMainSig->clear();
    for (const QPair<int, QString> &source : qAsConst(listOffered))
        ui->cmbMainSig->addItem(source.second, source.first);
    if (m_pItem)
        ui->cmbMainSig->setCurrentIndex(comboIndexOfSource(m_pItem->m_nMainSig));
    ui->cmbMainSig->blockSignals(bBlocked);
}

int CWndPosWidget::comboIndexOfSource(int nId) const
{
    return ui->cmbMainSig->findData(nId);
}

void CWndPosWidget::selectSource(int nId)
{
    const bool bBlocked = ui->cmbMainSig->blockSignals(true);
    ui->cmbMainSig->setCurrentIndex(comboIndexOfSource(nId));
    ui->cmbMainSig->blockSignals(bBlocked);
}

void CWndPosWidget::setItemData(QGraphicsItem *pItem)
{
    if (!pItem) {
        m_pItem = nullptr;
        return;
    }
    auto *pLayer = dynamic_cast<CEditSingleTextItem *>(pItem);
    if (!pLayer || pLayer->getItemType() != MediaType_SingleText)
        return;
    m_pItem = pLayer;
    m_strName = pLayer->getItemShowName();
    if (CEditBaseScene *pScene = layerScene()) {
        int nId = int(pScene->getSceneID());
        globalObserver::getGlobalObserver()->notify("slot_isTakeScene", Q_ARG(int, nId), Q_ARG(bool &, m_bTake));
    }
    // Showing a source the list does not hold selects nothing; the layer keeps its source.
    selectSource(pLayer->m_nMainSig);
    const bool bBlocked = ui->cmbLayerState->blockSignals(true);
    ui->cmbLayerState->setCurrentIndex(pLayer->m_nLayerState);
    ui->cmbLayerState->blockSignals(bBlocked);
}

void CWndPosWidget::setItemPos(bool bUpdatePos)
{
    if (!m_pItem)
        return;
    const QRectF r = m_pItem->rect();
    // The corner as drawn, also while a handle is being dragged.
    const QPointF tl = m_pItem->mapToScene(r.topLeft());
    m_strName = m_pItem->getItemShowName();
    m_dX = tl.x();
    m_dY = tl.y();
    m_dWidth = r.width();
    m_dHeight = r.height();
    m_dRota = m_pItem->rotation();
    if (bUpdatePos) {
        const bool bx = ui->spinBoxX->blockSignals(true);
        const bool by = ui->spinBoxY->blockSignals(true);
        ui->spinBoxX->setValue(toDevice(m_dX, g_dWScale));
        ui->spinBoxY->setValue(toDevice(m_dY, g_dHScale));
        ui->spinBoxX->blockSignals(bx);
        ui->spinBoxY->blockSignals(by);
    }
    const bool bw = ui->spinBoxW->blockSignals(true);
    const bool bh = ui->spinBoxH->blockSignals(true);
    ui->spinBoxW->setValue(toDevice(m_dWidth, g_dWScale));
    ui->spinBoxH->setValue(toDevice(m_dHeight, g_dHScale));
    ui->spinBoxW->blockSignals(bw);
    ui->spinBoxH->blockSignals(bh);
}

bool CWndPosWidget::layerSceneIsLive(QWidget *pPanel, CEditSingleTextItem *pLayer)
{
    if (!pLayer)
        return false;
    auto *pScene = dynamic_cast<CEditBaseScene *>(pLayer->scene());
    if (!pScene)
        return true; // a layer outside any scene has nothing to recall
    // Asked at every edit: another scene may have been recalled since the binding.
    int nId = int(pScene->getSceneID());
    bool bTake = false;
    globalObserver::getGlobalObserver()->notify("slot_isTakeScene", Q_ARG(int, nId), Q_ARG(bool &, bTake));
    if (bTake)
        return true;
    CGuardedWait wait{pPanel, pScene};
    wait.recallScene(pScene->m_strSerial, nId, tr("场景未调用"), tr("该场景未调用，是否立即调用？"), tr("确定"), tr("取消"),
                     true, false);
    return false;
}

bool CWndPosWidget::takeSceneCheck()
{
    if (!m_pItem)
        return false;
    m_bTake = layerSceneIsLive(this, m_pItem);
    return m_bTake;
}

bool CWndPosWidget::geometryEditAllowed()
{
    if (takeSceneCheck())
        return true;
    // Nothing was sent and the layer stays where it is: so does the page.
    if (m_pItem)
        setItemPos(true);
    return false;
}

void CWndPosWidget::sendGeometry(bool bCanvasRule)
{
    if (!m_pItem)
        return;
    CEditBaseScene *pScene = layerScene();
    if (bCanvasRule && pScene && pScene->m_nCanvasCount == 1 && m_pItem->isCrossCanvas())
        pScene->ifCanChangeLayer(m_pItem);
    else
        m_pItem->setLayerPosAndSize();
    // What the device was sent: a layer that overhung the canvas was cut to it.
    if (m_pItem)
        setItemPos(true);
}

void CWndPosWidget::onX(int v)
{
    if (!m_pItem || !(g_dWScale > 0) || !geometryEditAllowed() || !m_pItem)
        return;
    const QPointF o = centreOffset();
    m_pItem->moveItem(QPointF(v / g_dWScale + o.x(), m_pItem->pos().y()));
    g_setGlobalChange();
    sendGeometry(true);
}

void CWndPosWidget::onY(int v)
{
    if (!m_pItem || !(g_dHScale > 0) || !geometryEditAllowed() || !m_pItem)
        return;
    const QPointF o = centreOffset();
    m_pItem->moveItem(QPointF(m_pItem->pos().x(), v / g_dHScale + o.y()));
    g_setGlobalChange();
    sendGeometry(false);
}

void CWndPosWidget::onW(int v)
{
    if (!m_pItem || !(g_dWScale > 0) || !geometryEditAllowed() || !m_pItem)
        return;
    m_pItem->setWidth(v / g_dWScale);
    m_pItem->dataChange();
    g_setGlobalChange();
    sendGeometry(true);
}

void CWndPosWidget::onH(int v)
{
    if (!m_pItem || !(g_dHScale > 0) || !geometryEditAllowed() || !m_pItem)
        return;
    m_pItem->setHeight(v / g_dHScale);
    m_pItem->dataChange();
    g_setGlobalChange();
    sendGeometry(false);
}

void CWndPosWidget::onMainSig(int i)
{
    // The cheap checks first: a refill or an unchanged source never asks the operator.
    if (!m_pItem || i < 0)
        return;
    const int nSource = ui->cmbMainSig->itemData(i).toInt();
    const int nOld = m_pItem->m_nMainSig;
    if (nSource == nOld)
        return;
    if (!takeSceneCheck() || !m_pItem) {
        selectSource(nOld);
        return;
    }
    if (m_strModel.contains(QLatin1String("Tarn-3"))) {
        if (!m_pItem->setLayerSig(nSource))
            selectSource(nOld);
        m_pItem->setItemUpdateNow();
        return;
    }
    bool bOk = false;
    int nLayer = m_pItem->getItemId();
    int nArg = nSource;
    globalObserver::getGlobalObserver()->notify("slot_changeItemInSrc", Q_ARG(int, nLayer), Q_ARG(int, nArg), Q_ARG(bool &, bOk));
    if (!m_pItem)
        return;
    if (bOk && m_pItem->setLayerSig(nSource)) {
        m_pItem->setItemUpdateNow();
    } else {
        selectSource(nOld);
    }
}

void CWndPosWidget::onLayerState(int i)
{
    if (!m_pItem || i < 0 || i == m_pItem->m_nLayerState)
        return;
    if (!takeSceneCheck()) {
        if (m_pItem) {
            const bool bBlocked = ui->cmbLayerState->blockSignals(true);
            ui->cmbLayerState->setCurrentIndex(m_pItem->m_nLayerState);
            ui->cmbLayerState->blockSignals(bBlocked);
        }
        return;
    }
    m_pItem->setLayerEnable(i);
}

void CWndPosWidget::on_RefreshPushButton_clicked()
{
    if (!m_pItem)
        return;
    const int nSource = m_pItem->m_nMainSig;
    globalObserver::getGlobalObserver()->notify("slot_updatecomboxInputSource");
    ui->cmbMainSig->setCurrentIndex(comboIndexOfSource(nSource));
}

QString CWndPosWidget::getMainSigInputSource(int nId) const
{
    for (InputSource *p : m_vectorInput) {
        if (p && p->nId == nId)
            return g_inputCaption(*p);
    }
    return QString();
}

void CWndPosWidget::getItemRotation(double dAngle)
{
    if (m_pItem)
        m_pItem->setItemRotation(dAngle);
}

CEditSingleTextItem *CWndPosWidget::item() const
{
    return m_pItem.data();
}
