#include "BackCanvasWidget.h"
#include "ui_BackCanvasWidget.h"

#include <QCoreApplication>
#include <QIntValidator>
#include <QLinearGradient>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include "BesMessageBox.h"
#include "DeviceRecords.h"
#include "EditBaseScene.h"
#include "GbkCodec.h"
#include "GuardedWait.h"
#include "QorGlobal.h"
#include "SceneBackCanvas.h"
#include "globalObserver.h"

namespace {
const char *kOpenStyle = "QToolButton{background:transparent;border-image: url(:/res/res/image/open.png);}";
const char *kCloseStyle = "QToolButton{background:transparent;border-image: url(:/res/res/image/close.png);}";
const char *kReadOnlyStyle = "QLineEdit{color:rgb(125, 125, 125);}";
const char *kEditableStyle = "QLineEdit{color:rgb(255, 255, 255);}";

bool inScreenRange(int w, int h)
{
    return w >= 500 && w <= 18600 && h >= 100 && h <= 8192;
}

void notifyCmd(const QString &strSerial, const QString &strName, const QByteArray &payload, int nSub)
{
    QString s = strSerial, n = strName;
    QByteArray p = payload;
    int nWrite = 2;
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, s), Q_ARG(QString, n),
                                                Q_ARG(QByteArray &, p), Q_ARG(int, nWrite), Q_ARG(int, nSub));
}
}

CBackCanvasWidget::CBackCanvasWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::backCanvasWidget)
{
    ui->setupUi(this);
    ui->labelHz->hide();
    ui->lineEditHz->hide();
    ui->lineEditW->setValidator(new QIntValidator(this));
    ui->lineEditH->setValidator(new QIntValidator(this));
    ui->systemsettoolButton->setStyleSheet(kOpenStyle);
    ui->lineEditW->setStyleSheet(kReadOnlyStyle);
    ui->lineEditH->setStyleSheet(kReadOnlyStyle);
    // The note in rainbow colours.
    QLinearGradient gradient(0, 0, 300, 0);
    const QList<QColor> colors{Qt::red, QColor(255, 165, 0), Qt::yellow, Qt::green, Qt::cyan, Qt::blue, QColor(139, 0, 255)};
    for (int i = 0; i < colors.size(); ++i)
        gradient.setColorAt(double(i) / (colors.size() - 1), colors.at(i));
    QPalette pal = ui->label_3->palette();
    pal.setBrush(QPalette::WindowText, QBrush(gradient));
    ui->label_3->setPalette(pal);
    ui->label_3->setMinimumHeight(40);
    // The name is held whole: what does not fit the device's 12 bytes is refused on Apply with
    // the notice that says why, never cut by a character count.
    g_keepWholeCharacters(ui->lineEditstrSerial);
    g_fitWholeName(ui->lineEditstrSerial);
    const QRegularExpression digits("[0-9]+$");
    ui->lineScreenEditW->setValidator(new QRegularExpressionValidator(digits, this));
    ui->lineScreenEditH->setValidator(new QRegularExpressionValidator(digits, this));
    ui->lineScreenEditW->setPlaceholderText(tr("大屏宽"));
    ui->lineScreenEditH->setPlaceholderText(tr("大屏高"));
    m_nHZ = 60;
    ui->automaticcalculateButton->hide();
    connect(ui->lineScreenEditW, &QLineEdit::textChanged, this, &CBackCanvasWidget::onScreenSizeChanged);
    connect(ui->lineScreenEditH, &QLineEdit::textChanged, this, &CBackCanvasWidget::onScreenSizeChanged);
    ui->lineEditW->setReadOnly(true);
    ui->lineEditH->setReadOnly(true);
    globalObserver::getGlobalObserver()->attach(QStringLiteral("slot_tarnScreenHeld"), this, "slot_tarnScreenHeld");
}

CBackCanvasWidget::~CBackCanvasWidget()
{
    globalObserver::getGlobalObserver()->detach(QStringLiteral("slot_tarnScreenHeld"), this);
    delete ui;
}

void CBackCanvasWidget::slot_tarnScreenHeld(QString strSerial, int nWidth, int nHeight)
{
    Q_UNUSED(nWidth)
    Q_UNUSED(nHeight)
    if (strSerial.isEmpty() || strSerial != m_strSerial)
        return;
    // The fields show the canvas in the geometry the worker has just set, or with no canvas the
    // screen the device holds.
    if (canvas())
        setWidgetData(nullptr);
    else
        letGoOfCanvas();
}

int CBackCanvasWidget::canvasWidthFor(int W, int H, int &nHz)
{
    nHz = 60;
    auto width = [H](int hz) { return (((150000000 / hz) / (H + 30) - 100) / 16) * 16 * 8; };
    int C = width(nHz);
    if (C < W) {
        nHz = (150000000 / (H + 30)) / (W / 8 + 100);
        if (nHz < 1)
            nHz = 1;
        C = width(nHz);
    }
    return C;
}

bool CBackCanvasWidget::screenFieldsValid() const
{
    bool bwOk = false, bhOk = false;
    const int W = ui->lineScreenEditW->text().toInt(&bwOk);
    const int H = ui->lineScreenEditH->text().toInt(&bhOk);
    return bwOk && bhOk && inScreenRange(W, H);
}

bool CBackCanvasWidget::applyScreenRule()
{
    if (!screenFieldsValid())
        return false;
    const QString strW = ui->lineScreenEditW->text();
    const QString strH = ui->lineScreenEditH->text();
    const int W = strW.toInt();
    const int H = strH.toInt();
    if (qint64(W) * H <= 13000000) {
        ui->lineEditW->setText(strW);
        ui->lineEditH->setText(strH);
        m_nHZ = 60; // a normal screen never keeps a rate lowered for a large one
    } else {
        const int C = canvasWidthFor(W, H, m_nHZ);
        ui->lineEditW->setText(QString::number(C));
        ui->lineEditH->setText(strH);
    }
    return true;
}

void CBackCanvasWidget::onScreenSizeChanged()
{
    if (applyScreenRule())
        m_baccent = true;
}

void CBackCanvasWidget::setWidgetData(QGraphicsItem *pItem)
{
    auto *pCanvas = dynamic_cast<CSceneBackCanvas *>(pItem);
    if (pItem && pItem->type() == 3 && pCanvas) {
        m_pCanvas = pCanvas;
        m_pCanvasGuard = static_cast<QObject *>(pCanvas);
    }
    if (!canvas())
        return;
    const int w = int(m_pCanvas->getWidth() * g_dWScale);
    const int h = int(m_pCanvas->getHeight() * g_dHScale);
    ui->lineEditW->setText(QString::number(w));
    ui->lineEditH->setText(QString::number(h));
    ui->lineEditHz->setText(QString::number(m_pCanvas->getHz()));
    m_strSerial = m_pCanvas->getDeviceSerial();
    // Filled with their signals blocked: showing a canvas arms nothing.
    const bool bw = ui->lineScreenEditW->blockSignals(true);
    const bool bh = ui->lineScreenEditH->blockSignals(true);
    if (qint64(w) * h <= 13000000) {
        ui->lineScreenEditW->setText(QString::number(w));
        ui->lineScreenEditH->setText(QString::number(h));
    } else if (m_pCanvas->getNFactScreenWidth() != 0) {
        ui->lineScreenEditW->setText(QString::number(m_pCanvas->getNFactScreenWidth()));
        ui->lineScreenEditH->setText(QString::number(h));
    } else {
        ui->lineScreenEditW->clear();
        ui->lineScreenEditH->clear();
    }
    ui->lineScreenEditW->blockSignals(bw);
    ui->lineScreenEditH->blockSignals(bh);
    ui->lineEditW->setModified(false);
    ui->lineEditH->setModified(false);
    m_baccent = false;
}

void CBackCanvasWidget::setServedSerial(const QString &strSerial)
{
    m_strSerial = strSerial;
    auto *pScene = canvas() ? dynamic_cast<CEditBaseScene *>(m_pCanvas->scene()) : nullptr;
    if (!canvas() || !pScene || pScene->deviceSerial() != strSerial)
        letGoOfCanvas();
}

void CBackCanvasWidget::letGoOfCanvas()
{
    m_pCanvas = nullptr;
    m_pCanvasGuard.clear();
    // With no canvas the screen fields show the screen the device holds, when its records know it.
    const CDeviceRecords *pDevice = CDeviceRecords::find(m_strSerial);
    const DeviceInfo *pInfo = pDevice ? pDevice->deviceRecord() : nullptr;
    const bool bScreen = pInfo && pInfo->nScreenWidth > 0 && pInfo->nScreenHeight > 0;
    // Filled with their signals blocked: letting go arms nothing.
    const QSignalBlocker blockScreenW(ui->lineScreenEditW), blockScreenH(ui->lineScreenEditH);
    const QSignalBlocker blockW(ui->lineEditW), blockH(ui->lineEditH);
    ui->lineScreenEditW->setText(bScreen ? QString::number(pInfo->nScreenWidth) : QString());
    ui->lineScreenEditH->setText(bScreen ? QString::number(pInfo->nScreenHeight) : QString());
    ui->lineEditW->clear();
    ui->lineEditH->clear();
    m_baccent = false;
    m_nHZ = 60;
}

void CBackCanvasWidget::getDeviceName(QString strName)
{
    m_strHeldName = strName;
    ui->lineEditstrSerial->setText(strName);
}

void CBackCanvasWidget::showHeldName()
{
    QString strName = m_strHeldName;
    if (const CDeviceRecords *pDevice = CDeviceRecords::find(m_strSerial))
        pDevice->deviceNameRecord(strName);
    ui->lineEditstrSerial->setText(strName); // clears the modified mark too
}

void CBackCanvasWidget::sendName()
{
    if (!g_isDeviceName(ui->lineEditstrSerial->text()))
        return;
    notifyCmd(m_strSerial, QStringLiteral("系统设置"), g_toGbkField(ui->lineEditstrSerial->text(), 12), 10);
}

void CBackCanvasWidget::sendDeviceNameChangeCmd()
{
    sendName();
}

void CBackCanvasWidget::sendDeviceCmd()
{
    // No scene of the device is shown (none read, or it holds none): nothing typed here goes out,
    // and the operator is told; the fields show the device's screen and name again.
    if (!canvas()) {
        const CDeviceRecords *pDevice = CDeviceRecords::find(m_strSerial);
        BesMessageBox::information(QCoreApplication::translate("COtherWidget", "修改失败"),
                                   QCoreApplication::translate("CTcpDeviceThread", "设备 %1 未返回场景，画布显示的可能不是设备上的内容。")
                                       .arg(pDevice ? pDevice->noticeName() : m_strSerial),
                                   false);
        letGoOfCanvas();
        showHeldName();
        return;
    }
    auto *pScene = dynamic_cast<CEditBaseScene *>(m_pCanvas->scene());
    globalObserver *pHub = globalObserver::getGlobalObserver();
    int nSceneId = pScene ? int(pScene->getSceneID()) : 0;
    if (pScene) {
        bool bTaken = false;
        pHub->notify("slot_isTakeScene", Q_ARG(int, nSceneId), Q_ARG(bool &, bTaken));
        if (!bTaken) {
            CGuardedWait wait{this, pScene};
            wait.recallScene(pScene->m_strSerial, nSceneId, tr("场景未调用"), tr("该场景未调用，是否立即调用？"), tr("确定"),
                             tr("取消"), true, false);
            // Nothing was applied: the page shows the screen, and the device's name, as they are
            // again (a name typed went out no more than a size did).
            if (wait.alive()) {
                setWidgetData(nullptr);
                showHeldName();
            }
            return;
        }
    }
    // A name the device cannot hold is refused before anything goes out.
    const QString strNameRefusal = ui->lineEditstrSerial->isModified()
                                       ? g_deviceNameRefusal(ui->lineEditstrSerial->text(), ENameField::Device)
                                       : QString();
    if (!strNameRefusal.isEmpty()) {
        BesMessageBox::information(tr("提示"), strNameRefusal);
        return;
    }
    // The screen fields as they stand now: a value typed after the last valid one (which armed
    // the step and filled the canvas size) is refused before any layer is cleared.
    const bool bScreenTyped = ui->lineScreenEditW->isModified() || ui->lineScreenEditH->isModified();
    if ((m_baccent || bScreenTyped) && !screenFieldsValid()) {
        BesMessageBox::information(tr("提示"), tr("大屏宽度取值:[500,18600]，大屏高度取值:[100,8192]"));
        return;
    }
    if (ui->lineEditW->isModified() || ui->lineEditH->isModified() || m_baccent) {
        bool bwOk = false, bhOk = false;
        const int W = ui->lineEditW->text().toInt(&bwOk);
        const int H = ui->lineEditH->text().toInt(&bhOk);
        // Checked before anything is cleared: a refused size costs no layer.
        if (!bwOk || !bhOk || !inScreenRange(W, H)) {
            BesMessageBox::information(tr("提示"), tr("画布宽度取值:[500,18600]，画布高度取值:[100,8192]"));
            return;
        }
        if (pScene)
            pScene->destroyAllItem();
        pHub->notify("slot_destroyAllItem");
        notifyCmd(m_strSerial, QStringLiteral("图层设置"), QByteArray(), 41);
        QGraphicsItem *pNull = nullptr;
        pHub->notify("slot_propertyDataChange", Q_ARG(QGraphicsItem *, pNull));
        if (pScene) {
            pScene->m_nWidth = W;
            pScene->m_nHeight = H;
        }
        QByteArray size;
        size.append(char((W >> 8) & 0xFF));
        size.append(char(W & 0xFF));
        size.append(char((H >> 8) & 0xFF));
        size.append(char(H & 0xFF));
        size.append(char(m_nHZ & 0xFF));
        notifyCmd(m_strSerial, QStringLiteral("大屏宽高"), size, 0);
        QRect rect(0, 0, W, H);
        pHub->notify("slot_resizePlayWnd", Q_ARG(QRect &, rect));
        if (canvas()) {
            if (qint64(W) * H > 13000000) {
                m_pCanvas->setCanvasCount(1);
                m_pCanvas->m_nFactScreenWidth = m_baccent ? ui->lineScreenEditW->text().toInt() : 0;
            } else {
                m_pCanvas->setCanvasCount(0);
            }
        }
        if (pScene)
            pScene->m_nLayerUse = 0;
        ui->lineEditW->setModified(false);
        ui->lineEditH->setModified(false);
        ui->lineScreenEditW->setModified(false);
        ui->lineScreenEditH->setModified(false);
        m_baccent = false;
        m_nHZ = 60;
    }
    if (ui->lineEditstrSerial->isModified()) {
        sendName();
        ui->lineEditstrSerial->setModified(false);
    }
}

void CBackCanvasWidget::on_systemsettoolButton_clicked()
{
    if (m_bOpen) {
        ui->systemsettwidget->hide();
        ui->systemsettoolButton->setStyleSheet(kCloseStyle);
    } else {
        ui->systemsettwidget->show();
        ui->systemsettoolButton->setStyleSheet(kOpenStyle);
    }
    m_bOpen = !m_bOpen;
}

void CBackCanvasWidget::on_checkBox_stateChanged(int arg1)
{
    if (arg1 == 2) {
        ui->lineEditW->setReadOnly(false);
        ui->lineEditH->setReadOnly(false);
        ui->lineEditW->setStyleSheet(kEditableStyle);
        ui->lineEditH->setStyleSheet(kEditableStyle);
    } else if (arg1 == 0) {
        ui->lineEditW->setReadOnly(true);
        ui->lineEditH->setReadOnly(true);
        ui->lineEditW->setStyleSheet(kReadOnlyStyle);
        ui->lineEditH->setStyleSheet(kReadOnlyStyle);
    }
}
