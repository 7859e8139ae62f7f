#include "WndOSDPosWidget.h"
#include "ui_WndOSDPosWidget.h"

#include <QIntValidator>

#include "BaseIntValidator.h"
#include "DeviceLog.h"
#include "EditBaseItem.h"
#include "EditBaseProxyWidget.h"
#include "QorGlobal.h"

namespace {
// The edit's value when its validator takes it as it stands.
bool acceptable(const QLineEdit *pEdit, const QString &strText, int &nValue)
{
    QString s = strText;
    int nPos = 0;
    if (pEdit->validator() && pEdit->validator()->validate(s, nPos) != QValidator::Acceptable)
        return false;
    bool bOk = false;
    nValue = s.toInt(&bOk);
    return bOk;
}

QObject *asObject(QGraphicsItem *pItem)
{
    if (!pItem)
        return nullptr;
    if (pItem->type() == EditItemType_Base)
        return static_cast<CEditBaseItem *>(pItem);
    if (pItem->type() == EditItemType_Proxy)
        return dynamic_cast<CEditBaseProxyWidget *>(pItem);
    return nullptr;
}
}

WndOSDPosWidget::WndOSDPosWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::WndOSDPosWidget)
{
    ui->setupUi(this);
    ui->editX->setValidator(new QIntValidator(-50000, 50000, this));
    ui->editY->setValidator(new QIntValidator(-50000, 50000, this));
    ui->editW->setValidator(new QIntValidator(0, 50000, this));
    ui->editH->setValidator(new BaseIntValidator(1, 256, this));
    ui->editH->setPlaceholderText(tr("请输入1-256"));
    // A typed value reaches the item when the edit completes (Return, leaving the field), not
    // at every keystroke.
    for (QLineEdit *pEdit : {ui->editX, ui->editY, ui->editW, ui->editH})
        connect(pEdit, &QLineEdit::editingFinished, this, [this, pEdit]() { onEditingFinished(pEdit); });
}

WndOSDPosWidget::~WndOSDPosWidget()
{
    delete ui;
}

QGraphicsItem *WndOSDPosWidget::boundItem() const
{
    return m_pItemGuard ? m_pItem : nullptr;
}

QGraphicsItem *WndOSDPosWidget::item() const
{
    return boundItem();
}

QPointF WndOSDPosWidget::centreOffset(QGraphicsItem *pItem) const
{
    QRectF r;
    if (pItem->type() == EditItemType_Base)
        r = static_cast<CEditBaseItem *>(pItem)->rect();
    const QRectF R(0, 0, r.width(), r.height());
    return pItem->mapToScene(R.center()) - pItem->scenePos();
}

void WndOSDPosWidget::setCurrentItem(QGraphicsItem *pItem)
{
    QObject *pObject = asObject(pItem);
    if (!pObject)
        return;
    m_pItem = pItem;
    m_pItemGuard = pObject;
}

void WndOSDPosWidget::readItem(QGraphicsItem *p)
{
    if (p->type() == EditItemType_Base) {
        auto *pBase = static_cast<CEditBaseItem *>(p);
        const QPointF o = centreOffset(p);
        m_dX = p->pos().x() - o.x();
        m_dY = p->pos().y() - o.y();
        m_dWidth = pBase->rect().width();
        m_dHeight = pBase->rect().height();
        m_dRota = p->rotation();
    } else if (auto *pProxy = dynamic_cast<CEditBaseProxyWidget *>(p)) {
        m_dX = p->scenePos().x();
        m_dY = p->scenePos().y();
        m_dWidth = pProxy->rect().width();
        m_dHeight = pProxy->rect().height();
        m_dRota = p->rotation();
    }
}

QString WndOSDPosWidget::shownText(QLineEdit *pEdit) const
{
    int v = 0;
    if (pEdit == ui->editX)
        v = int(g_dWScale * m_dX + 0.5);
    else if (pEdit == ui->editY)
        v = int(g_dHScale * m_dY + 0.5);
    else if (pEdit == ui->editW)
        v = int(g_dWScale * m_dWidth + 0.5);
    else
        v = int(g_dHScale * m_dHeight + 0.5);
    return QString::number(v);
}

bool WndOSDPosWidget::showField(QLineEdit *pEdit)
{
    const QString strText = shownText(pEdit);
    if (pEdit->text() == strText)
        return false;
    pEdit->setText(strText);
    return true;
}

void WndOSDPosWidget::setItemData(QGraphicsItem *pItem, bool bShowPos)
{
    if (pItem)
        setCurrentItem(pItem);
    QGraphicsItem *p = boundItem();
    if (!p)
        return; // nothing bound (or it is gone): nothing to show
    readItem(p);
    if (bShowPos) {
        showField(ui->editX);
        showField(ui->editY);
    }
    // A changed size is given back to the item as shown: whole device pixels, at most 256 high.
    if (showField(ui->editW))
        getW(ui->editW->text());
    if (showField(ui->editH))
        getH(ui->editH->text());
}

void WndOSDPosWidget::onEditingFinished(QLineEdit *pEdit)
{
    // Reported again when the field loses the focus after Return: a value the item already
    // has is not applied a second time.
    QGraphicsItem *p = boundItem();
    if (!p)
        return;
    readItem(p);
    if (pEdit->isModified() || pEdit->text() != shownText(pEdit))
        applyEdit(pEdit);
}

void WndOSDPosWidget::applyEdit(QLineEdit *pEdit)
{
    pEdit->setModified(false);
    const QString strText = pEdit->text();
    if (pEdit == ui->editX)
        getX(strText);
    else if (pEdit == ui->editY)
        getY(strText);
    else if (pEdit == ui->editW)
        getW(strText);
    else
        getH(strText);
    // The field shows what the item took (a move keeps the left and top edges at 0).
    if (QGraphicsItem *p = boundItem()) {
        readItem(p);
        showField(pEdit);
    }
}

bool WndOSDPosWidget::applyTypedEdits()
{
    const QList<QLineEdit *> edits{ui->editX, ui->editY, ui->editW, ui->editH};
    for (QLineEdit *pEdit : edits) {
        if (pEdit->isModified() && !pEdit->hasAcceptableInput())
            return false;
    }
    if (!boundItem())
        return false;
    for (QLineEdit *pEdit : edits) {
        if (pEdit->isModified())
            applyEdit(pEdit);
    }
    setItemData(nullptr, true);
    return true;
}

void WndOSDPosWidget::getX(const QString &strText)
{
    QGraphicsItem *p = boundItem();
    int nValue = 0;
    if (!p || !(g_dWScale > 0) || !acceptable(ui->editX, strText, nValue))
        return;
    if (p->type() == EditItemType_Base) {
        auto *pBase = static_cast<CEditBaseItem *>(p);
        const QPointF o = centreOffset(p);
        const QPointF centre(nValue / g_dWScale + o.x(), p->pos().y());
        pBase->moveItem(centre);
        CDeviceLog::write({QString::fromUtf8("设定角度后，起始点和中心点的差距"), centre.x(), centre.y(),
                           pBase->rect().width(), pBase->rect().height()});
    } else if (auto *pProxy = dynamic_cast<CEditBaseProxyWidget *>(p)) {
        const QPointF o = centreOffset(p) - QPointF(pProxy->rect().width() / 2, 0);
        pProxy->moveItem(QPointF(nValue / g_dWScale + o.x(), p->pos().y()));
        CDeviceLog::write({QString::fromUtf8("设定角度后，起始点和中心点的差距"), o.x(), o.y()});
    }
}

void WndOSDPosWidget::getY(const QString &strText)
{
    QGraphicsItem *p = boundItem();
    int nValue = 0;
    if (!p || !(g_dHScale > 0) || !acceptable(ui->editY, strText, nValue))
        return;
    if (p->type() == EditItemType_Base) {
        const QPointF o = centreOffset(p);
        static_cast<CEditBaseItem *>(p)->moveItem(QPointF(p->pos().x(), nValue / g_dHScale + o.y()));
    } else if (auto *pProxy = dynamic_cast<CEditBaseProxyWidget *>(p)) {
        const QPointF o = centreOffset(p) - QPointF(0, pProxy->rect().height() / 2);
        pProxy->moveItem(QPointF(p->pos().x(), nValue / g_dHScale + o.y()));
    }
}

void WndOSDPosWidget::getW(const QString &strText)
{
    QGraphicsItem *p = boundItem();
    int nValue = 0;
    if (!p || !(g_dWScale > 0) || !acceptable(ui->editW, strText, nValue) || nValue < 1)
        return; // a width of nothing is never applied
    if (p->type() == EditItemType_Base) {
        auto *pBase = static_cast<CEditBaseItem *>(p);
        pBase->setWidth(nValue / g_dWScale);
        pBase->dataChange();
    } else if (auto *pProxy = dynamic_cast<CEditBaseProxyWidget *>(p)) {
        pProxy->setWidth(nValue / g_dWScale);
        pProxy->dataChange();
    }
}

void WndOSDPosWidget::getH(const QString &strText)
{
    QGraphicsItem *p = boundItem();
    if (!p || !(g_dHScale > 0))
        return;
    bool bOk = false;
    int h = int(strText.toDouble(&bOk));
    if (!bOk)
        return; // empty or not a number: the item keeps its height
    h = qBound(0, h, 256);
    const QString strH = QString::number(h);
    if (strH != ui->editH->text())
        ui->editH->setText(strH);
    if (h < 1)
        return;
    if (p->type() == EditItemType_Base) {
        auto *pBase = static_cast<CEditBaseItem *>(p);
        pBase->setHeight(h / g_dHScale);
        pBase->dataChange();
    } else if (auto *pProxy = dynamic_cast<CEditBaseProxyWidget *>(p)) {
        pProxy->setHeight(h / g_dHScale);
        pProxy->dataChange();
    }
}

int WndOSDPosWidget::getItemCurrentX()
{
    m_nCurrentX = ui->editX->text().toInt();
    return m_nCurrentX;
}

int WndOSDPosWidget::getItemCurrentY()
{
    m_nCurrentY = ui->editY->text().toInt();
    return m_nCurrentY;
}

int WndOSDPosWidget::getItemCurrentWidth()
{
    m_nCurrentWidth = ui->editW->text().toInt();
    return m_nCurrentWidth;
}

int WndOSDPosWidget::getItemCurrentHeight()
{
    m_nCurrentHeight = ui->editH->text().toInt();
    return m_nCurrentHeight;
}

void WndOSDPosWidget::setNCurrentWidth(int nWidth)
{
    m_nCurrentWidth = nWidth;
    const QString strWidth = QString::number(nWidth);
    if (ui->editW->text() == strWidth)
        return;
    ui->editW->setText(strWidth);
    getW(strWidth);
}

void WndOSDPosWidget::getItemRotation(double dAngle)
{
    QGraphicsItem *p = boundItem();
    if (!p)
        return;
    if (p->type() == EditItemType_Base)
        static_cast<CEditBaseItem *>(p)->setItemRotation(dAngle);
    else if (auto *pProxy = dynamic_cast<CEditBaseProxyWidget *>(p))
        pProxy->setItemRotation(dAngle);
}
