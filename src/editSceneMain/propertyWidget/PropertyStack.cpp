#include "PropertyStack.h"
#include "ui_PropertyStack.h"

#include <algorithm>

#include <QApplication>
#include <QPainter>
#include <QSettings>
#include <QStyleOptionGraphicsItem>
#include <QTextCodec>
#include <QTimer>
#include <QTranslator>

#include "BackCanvasWidget.h"
#include "BesMessageBox.h"
#include "DeviceLog.h"
#include "DeviceRecords.h"
#include "DrawerWidget.h"
#include "EditBaseItem.h"
#include "EditBaseProxyWidget.h"
#include "EditBaseScene.h"
#include "EditSingleTextItem.h"
#include "OSDTransfer.h"
#include "OSDWidget.h"
#include "OtherWidget.h"
#include "QorGlobal.h"
#include "SceneBackCanvas.h"
#include "TarnSceneStore.h"
#include "TextWidget.h"
#include "WndLineWidget.h"
#include "WndOSDPosWidget.h"
#include "WndPosWidget.h"
#include "editosditem.h"
#include "globalObserver.h"

namespace {
const char *const kTopics[] = {"slot_updateItemPos", "slot_propertyDataChange", "slot_updateDeviceName",
                               "slot_updatePropertyStacklanguage", "slot_sendOSDdate", "slot_sendbeginOSDdate",
                               "slot_SetOSDTextSpeed"};

// The QObject side of a canvas item, for items of the known classes.
QObject *itemObject(QGraphicsItem *pItem)
{
    if (!pItem)
        return nullptr;
    switch (pItem->type()) {
    case EditItemType_Base:
        return static_cast<CEditBaseItem *>(pItem);
    case EditItemType_Proxy:
        return dynamic_cast<CEditBaseProxyWidget *>(pItem);
    case EditItemType_BackCanvas:
        return dynamic_cast<CSceneBackCanvas *>(pItem);
    default:
        return nullptr;
    }
}

// The media kind of an editable item; -1 for anything else.
int itemKind(QGraphicsItem *pItem)
{
    if (!pItem)
        return -1;
    if (pItem->type() == EditItemType_Base)
        return static_cast<CEditBaseItem *>(pItem)->getItemType();
    if (pItem->type() == EditItemType_Proxy)
        if (auto *pProxy = dynamic_cast<CEditBaseProxyWidget *>(pItem))
            return pProxy->getItemType();
    return -1;
}
}

CPropertyStack::CPropertyStack(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::propertyStack)
{
    ui->setupUi(this);
    m_nCurrentIndex = 0;
    m_ncurrentpack = 0;
    m_nbytescount = 0;
    m_pItem = nullptr;
    m_pOSDTransfer = new COSDTransfer(this);
    connect(m_pOSDTransfer, &COSDTransfer::sig_finished, this, &CPropertyStack::onTransferFinished);
    connect(m_pOSDTransfer, &COSDTransfer::sig_headerSent, this, [this]() {
        // the width as the operator entered it comes back once the cut one is on its way
        if (m_pWndOSDPosWidget && m_nEnteredWidth > 0)
            m_pWndOSDPosWidget->setNCurrentWidth(m_nEnteredWidth);
    });
    m_CurrentfontColor = QColor(255, 255, 255, 255);
    m_CurrentbkColor = QColor(80, 70, 255, 255);
    m_pTranslator = new QTranslator(this);
    ui->stackedWidget->setStyleSheet("background-color:rgb(26,26,26);");
    globalObserver *pHub = globalObserver::getGlobalObserver();
    for (const char *pszTopic : kTopics)
        pHub->attach(pszTopic, this, pszTopic);
    initWidget();
}

CPropertyStack::~CPropertyStack()
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    for (const char *pszTopic : kTopics)
        pHub->detach(pszTopic, this);
    if (m_pTranslator)
        QApplication::removeTranslator(m_pTranslator);
    delete ui;
}

QGraphicsItem *CPropertyStack::selectedItem() const
{
    return m_pItemGuard ? m_pItem : nullptr;
}

void CPropertyStack::initWidget()
{
    // Style sheets go on before the pages are filled: a later one would restyle every child again.
    // Each page is made where it is shown, so that placing it restyles nothing: a widget moved
    // to another parent is restyled with everything in it.
    m_pDrawerWidget = new CDrawerWidget(ui->stackedWidget);
    m_pDrawerWidget->setObjectName("lockerWidget");
    m_pDrawerWidget->setStyleSheet("QWidget#lockerWidget{border: none;}");
    m_pOSDWidget = new OSDWidget(ui->stackedWidget);
    m_pOSDWidget->setObjectName("OSDWidget");
    m_pOSDWidget->setStyleSheet("QWidget#lockerWidget{border: none;}");
    m_pTextWidget = new CTextWidget(m_pOSDWidget->paneContainer());
    m_pTextWidget->setObjectName("textProperty");
    if (!m_pTipsWidget) {
        // The device page is built once: it keeps its device's values across language switches
        // and retranslates itself.
        m_pTipsWidget = new COtherWidget(ui->stackedWidget);
        m_pTipsWidget->setObjectName("tipsWidget");
    }
    m_pWndPosWidget = new CWndPosWidget(m_pDrawerWidget->paneContainer());
    m_pWndPosWidget->setDeviceModel(m_strDeviceModel);
    m_pWndLineWidget = new CWndLineWidget(m_pDrawerWidget->paneContainer());
    m_pBackCanvasWidget = new CBackCanvasWidget(ui->stackedWidget);
    m_pBackCanvasWidget->setObjectName("backCanvasWidget");
    m_pWndOSDPosWidget = new WndOSDPosWidget(m_pOSDWidget->paneContainer());
    m_pWndOSDPosWidget->setObjectName("wndOSDPosWidget");

    m_pDrawerWidget->add_locker({tr("画面参数"), tr("图层设置")}, {m_pWndPosWidget, m_pWndLineWidget});
    m_pOSDWidget->add_OSDLocker({m_pWndOSDPosWidget, m_pTextWidget});

    ui->stackedWidget->insertWidget(0, m_pDrawerWidget);
    ui->stackedWidget->insertWidget(1, m_pBackCanvasWidget);
    if (ui->stackedWidget->indexOf(m_pTipsWidget) < 0)
        ui->stackedWidget->insertWidget(2, m_pTipsWidget);
    ui->stackedWidget->insertWidget(3, m_pOSDWidget);

    m_nCurrentIndex = 2;
    setShowWidget();
    m_bUpdatePos = true;
}

void CPropertyStack::setShowWidget()
{
    switch (m_nCurrentIndex) {
    case 0:
        ui->btnWindow->setText(tr("图层参数"));
        ui->Application->hide();
        ui->ZApplication->hide();
        ui->LayerApplication->show();
        ui->OSDApplication->hide();
        setItemProperty();
        break;
    case 1:
        ui->btnWindow->setText(tr("大屏参数"));
        ui->Application->show();
        ui->ZApplication->hide();
        ui->LayerApplication->hide();
        ui->OSDApplication->hide();
        ui->stackedWidget->setCurrentWidget(m_pBackCanvasWidget);
        break;
    case 2:
        ui->btnWindow->setText(tr("设备参数"));
        ui->Application->hide();
        ui->ZApplication->show();
        ui->LayerApplication->hide();
        ui->OSDApplication->hide();
        ui->stackedWidget->setCurrentWidget(m_pTipsWidget);
        break;
    default:
        break;
    }
}

void CPropertyStack::setItemProperty()
{
    QGraphicsItem *pItem = selectedItem();
    if (!pItem)
        return;
    const int nKind = itemKind(pItem);
    if (nKind == MediaType_Pixmap) {
        ui->btnWindow->setText(tr("OSD设置"));
        ui->stackedWidget->setCurrentWidget(m_pOSDWidget);
        ui->OSDApplication->show();
        ui->LayerApplication->hide();
        m_pWndOSDPosWidget->setItemData(pItem, true);
        if (pItem->type() == EditItemType_Base)
            m_pTextWidget->setItemData(dynamic_cast<EditOSDItem *>(static_cast<CEditBaseItem *>(pItem)));
    } else if (nKind == MediaType_SingleText) {
        ui->stackedWidget->setCurrentWidget(m_pDrawerWidget);
        ui->OSDApplication->hide();
        m_pWndPosWidget->setItemData(pItem);
        m_pWndPosWidget->setItemPos(m_bUpdatePos);
        m_pWndLineWidget->setCurrentItem(pItem);
    }
}

void CPropertyStack::setInputSourceData(QVector<InputSource *> &vec)
{
    if (m_pWndPosWidget)
        m_pWndPosWidget->setInputSource(vec);
}

void CPropertyStack::setDeviceModel(const QString &strModel)
{
    m_strDeviceModel = strModel;
    if (m_pWndPosWidget)
        m_pWndPosWidget->setDeviceModel(strModel);
}

void CPropertyStack::setServedDevice(const QString &strSerial, const QString &strFamily)
{
    const bool bOtherDevice = strSerial != m_strServedSerial;
    m_strServedSerial = strSerial;
    m_strServedFamily = strFamily;
    if (auto *pOther = qobject_cast<COtherWidget *>(m_pTipsWidget))
        pOther->setServedDevice(strSerial, strFamily);
    // The screen page shows the name of the device served now, as its records hold it (none
    // until it is read): never the name another device gave.
    if (bOtherDevice) {
        m_strDeviceName.clear();
        if (const CDeviceRecords *pDevice = servedRecords())
            pDevice->deviceNameRecord(m_strDeviceName);
        if (m_pBackCanvasWidget) {
            m_pBackCanvasWidget->getDeviceName(m_strDeviceName);
            m_pBackCanvasWidget->setServedSerial(strSerial);
        }
        // Nor does the stack keep a layer or OSD item of the device served before selected: it
        // shows the screen page until the canvas shows a scene of this device (none before its
        // scenes are read).
        if (QGraphicsItem *pItem = selectedItem()) {
            auto *pScene = dynamic_cast<CEditBaseScene *>(pItem->scene());
            if (!pScene || pScene->deviceSerial() != strSerial) {
                m_pItem = nullptr;
                m_pItemGuard.clear();
                if (m_nCurrentIndex == 0) {
                    m_nCurrentIndex = 1;
                    setShowWidget();
                }
            }
        }
    }
    // The device page serves the Z family only: a Tarn frame's stack shows a page of its own.
    if (isTarnStack() && m_nCurrentIndex == 2) {
        m_nCurrentIndex = 1;
        setShowWidget();
    }
}

bool CPropertyStack::isTarnStack() const
{
    return m_strServedFamily == QLatin1String("Tarn");
}

// The records of the served device while it is one of the served family: a serial port's worker
// serves whichever device is plugged in, and a Tarn frame still bound to the port shows nothing of
// a Z device that came after.
const CDeviceRecords *CPropertyStack::servedRecords() const
{
    const CDeviceRecords *pDevice = m_strServedSerial.isEmpty() ? nullptr : CDeviceRecords::find(m_strServedSerial);
    if (pDevice && isTarnStack()) {
        const QString &strModel = pDevice->deviceRecord()->strDevName;
        if (!strModel.isEmpty() && !strModel.contains(QLatin1String("Tarn")))
            return nullptr;
    }
    return pDevice;
}

bool CPropertyStack::followsSelection(QGraphicsItem *pItem) const
{
    if (m_strServedSerial.isEmpty() && m_strServedFamily.isEmpty())
        return true;
    auto *pScene = pItem ? dynamic_cast<CEditBaseScene *>(pItem->scene()) : nullptr;
    if (pScene && !pScene->deviceSerial().isEmpty() && !m_strServedSerial.isEmpty())
        return pScene->deviceSerial() == m_strServedSerial;
    // Selections are made and cleared on the editing canvas, which only the Tarn family has.
    return m_strServedFamily == QLatin1String("Tarn");
}

void CPropertyStack::slot_propertyDataChange(QGraphicsItem *item)
{
    if (!followsSelection(item))
        return;
    m_pItem = item;
    m_pItemGuard = itemObject(item);
    if (!item) {
        m_nCurrentIndex = 1;
    } else if (item->type() == EditItemType_BackCanvas && m_pItemGuard) {
        ui->btnWindow->setText(QString::fromUtf8("大屏参数"));
        m_nCurrentIndex = 1;
        ui->stackedWidget->setCurrentWidget(m_pBackCanvasWidget);
        m_pBackCanvasWidget->setWidgetData(item);
    } else {
        m_nCurrentIndex = 0;
    }
    setShowWidget();
}

void CPropertyStack::slot_updateItemPos(bool bUpdataPos)
{
    m_bUpdatePos = bUpdataPos;
    QGraphicsItem *pItem = selectedItem();
    if (!pItem) {
        // Nothing selected (a read-back may clear the selection): the layer page still shows
        // its layer as it is now, never a place the device did not take.
        if (m_pWndPosWidget)
            m_pWndPosWidget->setItemPos(m_bUpdatePos);
        return;
    }
    if (itemKind(pItem) == MediaType_Pixmap)
        m_pWndOSDPosWidget->setItemData(pItem, m_bUpdatePos);
    else
        m_pWndPosWidget->setItemPos(m_bUpdatePos);
}

void CPropertyStack::slot_updateDeviceName(QString DeviceName)
{
    // The topic names the device the Tarn frame edits: a Z frame's stack, or a frame's stack
    // serving no device yet, has no name to show.
    if (!m_strServedFamily.isEmpty() && (!isTarnStack() || m_strServedSerial.isEmpty()))
        return;
    m_strDeviceName = DeviceName;
    if (m_pBackCanvasWidget)
        m_pBackCanvasWidget->getDeviceName(DeviceName);
}

void CPropertyStack::retranslateTexts()
{
    setWindowTitle(QApplication::translate("propertyStack", "Form"));
    ui->btnWindow->setText(QApplication::translate("propertyStack", "大屏参数"));
    ui->OSDApplication->setText(QApplication::translate("propertyStack", "OSD应用"));
    ui->LayerApplication->setText(QApplication::translate("propertyStack", "图层应用"));
    ui->ZApplication->setText(QApplication::translate("propertyStack", "应用"));
    ui->Application->setText(QApplication::translate("propertyStack", "应用"));
}

void CPropertyStack::slot_updatePropertyStacklanguage(int nlanguage)
{
    g_applyLanguage(m_pTranslator, nlanguage);
    retranslateTexts();
    // Pages built in the language they would be rebuilt in stay as they are (the pages are made
    // with the Chinese texts, which the Chinese translation keeps).
    if ((nlanguage == 0 || nlanguage == 1) && nlanguage == m_nPageLanguage) {
        showPageAfterSwitch(m_nCurrentIndex);
        return;
    }
    m_nPageLanguage = nlanguage;
    const int nShown = m_nCurrentIndex;
    // The pages are built again under the new translation (the device page stays and
    // retranslates itself); the new pages carry no item until the next selection, but the screen
    // page, which a cleared selection shows as last filled, shows the canvas the old one showed.
    CSceneBackCanvas *pCanvas = m_pBackCanvasWidget ? m_pBackCanvasWidget->canvas() : nullptr;
    for (QWidget *pPage : {static_cast<QWidget *>(m_pDrawerWidget), static_cast<QWidget *>(m_pBackCanvasWidget),
                           static_cast<QWidget *>(m_pOSDWidget)}) {
        ui->stackedWidget->removeWidget(pPage);
        delete pPage;
    }
    initWidget();
    // The new screen page serves the frame's device, with or without a canvas of it.
    m_pBackCanvasWidget->setServedSerial(m_strServedSerial);
    if (pCanvas)
        m_pBackCanvasWidget->setWidgetData(pCanvas);
    showServedDevice();
    showPageAfterSwitch(nShown);
}

// After a language switch the stack shows the page it showed before, filled as the selection
// fills it: the layer or OSD page for a selected item still there, the screen page for the
// screen or no selection. The Z frame's stack shows its device page, which is its own.
void CPropertyStack::showPageAfterSwitch(int nShown)
{
    if (!m_strServedFamily.isEmpty() && !isTarnStack())
        m_nCurrentIndex = 2;
    else if (nShown == 0 && selectedItem())
        m_nCurrentIndex = 0;
    else if (nShown == 2 && !isTarnStack())
        m_nCurrentIndex = 2;
    else
        m_nCurrentIndex = 1;
    m_bUpdatePos = true;
    setShowWidget();
}

// Pages built again show what pages built with the frame's device show: its inputs on the layer
// page, its name on the screen page (the name the device holds; until it was read, the one the
// page was last given for that device).
void CPropertyStack::showServedDevice()
{
    if (const CDeviceRecords *pDevice = servedRecords()) {
        QVector<InputSource *> vectorInput = pDevice->deviceRecord()->vectorInput;
        m_pWndPosWidget->setInputSource(vectorInput);
        pDevice->deviceNameRecord(m_strDeviceName);
    }
    m_pBackCanvasWidget->getDeviceName(m_strDeviceName);
}

// ---------------------------------------------------------------- apply buttons

void CPropertyStack::on_btnWindow_clicked()
{
    m_nCurrentIndex = 0;
}

void CPropertyStack::on_Application_clicked()
{
    m_pBackCanvasWidget->sendDeviceCmd();
}

void CPropertyStack::on_ZApplication_clicked()
{
    if (auto *pOther = qobject_cast<COtherWidget *>(m_pTipsWidget))
        pOther->sendZDeviceCmd();
}

void CPropertyStack::on_LayerApplication_clicked()
{
    QGraphicsItem *pItem = selectedItem();
    if (!pItem || pItem->type() != EditItemType_Base || itemKind(pItem) != MediaType_SingleText)
        return;
    auto *pLayer = dynamic_cast<CEditSingleTextItem *>(pItem);
    if (pLayer && CWndPosWidget::layerSceneIsLive(this, pLayer))
        pLayer->setLayerPosAndSize();
}

// ---------------------------------------------------------------- OSD bitmap transfer

void CPropertyStack::osdMessage(const QString &strText)
{
    BesMessageBox::information(tr("OSD设置"), strText);
}

QImage CPropertyStack::renderOSDImage(EditOSDItem *pItem, int nWidth, int nHeight)
{
    // The item is drawn at its own size and scaled smoothly to the OSD's size. On a screen smaller
    // than the canvas shows it the item is larger than the OSD itself: then both pictures are drawn
    // at no more than the OSD's size, as a picture at the item's size (then scaled down) would take
    // hundreds of megabytes for a wide OSD.
    const QRectF br = pItem->boundingRect();
    const double dW = std::max(1.0, br.width());
    const double dH = std::max(1.0, br.height());
    const QSize itemSize(std::max(1, int(dW)), std::max(1, int(dH)));
    const QSize osdSize(std::max(1, nWidth), std::max(1, nHeight));
    const bool bBounded = itemSize.width() > osdSize.width() || itemSize.height() > osdSize.height();
    const QSize source = bBounded ? itemSize.boundedTo(osdSize) : itemSize;
    m_CurrentfontColor = pItem->m_fontColor;
    m_CurrentbkColor = pItem->m_bkColor;
    const int nSpeed = pItem->m_nInSpeed;
    pItem->m_nInSpeed = 0; // the text itself, not the latest scroll frame
    QStyleOptionGraphicsItem option;
    auto paintItem = [&](QPaintDevice *pDevice, const QSize &size) {
        QPainter painter(pDevice);
        painter.scale(size.width() / dW, size.height() / dH);
        painter.translate(-br.topLeft());
        pItem->paint(&painter, &option, nullptr);
    };
    {
        // In its own colours: the source of the item's scroll on the canvas.
        QPixmap pixmap(source);
        pixmap.fill(Qt::transparent);
        paintItem(&pixmap, source);
        pItem->setOSDPixmap(pixmap);
    }
    // White on black, what the device is sent.
    pItem->m_fontColor = QColor(Qt::white);
    pItem->m_bkColor = QColor(Qt::black);
    QImage image;
    if (bBounded) {
        image = QImage(osdSize, QImage::Format_RGB32);
        image.fill(Qt::black);
        paintItem(&image, osdSize);
    } else {
        QImage drawn(source, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        paintItem(&drawn, source);
        image = drawn.scaled(osdSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .convertToFormat(QImage::Format_RGB32);
    }
    pItem->m_fontColor = m_CurrentfontColor;
    pItem->m_bkColor = m_CurrentbkColor;
    pItem->m_nInSpeed = nSpeed;
    pItem->update();
    return image;
}

void CPropertyStack::on_OSDApplication_clicked()
{
    EditOSDItem *pItem = m_pTextWidget ? m_pTextWidget->item() : nullptr;
    if (!pItem || !m_pWndOSDPosWidget->item()) {
        osdMessage(tr("请先选择OSD"));
        return;
    }
    if (COSDTransfer::activeTransfer()) {
        osdMessage(tr("OSD数据正在下发，请稍候"));
        return;
    }
    // What was typed reaches the item first; the geometry the item then has, as the pane shows
    // it, is what goes out. A typed value the pane refuses sends nothing.
    const QString strRange = tr("OSD坐标取值0-50000，宽度取值8-50000，高度取值1-256");
    const int nMaxPos = 50000; // the largest position and width the pane takes
    if (!m_pWndOSDPosWidget->applyTypedEdits()) {
        osdMessage(strRange);
        return;
    }
    // Read once: the parameters, the picture, the counts and the stored values all agree.
    const int nEntered = m_pWndOSDPosWidget->getItemCurrentWidth();
    const int nWidth = nEntered / 8 * 8;
    const int nHeight = m_pWndOSDPosWidget->getItemCurrentHeight();
    const int nX = m_pWndOSDPosWidget->getItemCurrentX();
    const int nY = m_pWndOSDPosWidget->getItemCurrentY();
    if (nWidth < 8 || nHeight < 1 || nHeight > 256) {
        osdMessage(tr("OSD宽度至少为8，高度取值1-256"));
        return;
    }
    if (nX < 0 || nX > nMaxPos || nY < 0 || nY > nMaxPos || nWidth > nMaxPos) {
        osdMessage(strRange);
        return;
    }
    ui->OSDApplication->setEnabled(false);
    m_speedHold = SpeedHolding;
    g_nOSDSpeed = 0;
    m_nbytescount = 0;
    m_ncurrentpack = 0;
    g_nOSDSpeed = pItem->m_nInSpeed;
    globalObserver *pHub = globalObserver::getGlobalObserver();
    int nZero = 0;
    pHub->notify("slot_SetOSDTextSpeed", Q_ARG(int, nZero));
    m_list.clear();
    pHub->notify("slot_GetOSDsendprogress", Q_ARG(int, nZero));
    // The poll of the OSD's device pauses for the transfer; the other frame's goes on.
    g_setSourcePoll(false, pItem->m_strSerial);
    m_nEnteredWidth = 0;
    if (nWidth != nEntered) {
        m_nEnteredWidth = nEntered;
        m_pWndOSDPosWidget->setNCurrentWidth(nWidth);
    }

    COSDBitmap::Params params;
    params.nIndex = CTarnSceneStore::osdIndex(pItem->m_strSerial);
    params.nFontTrans = g_fontTransparency;
    params.nBkTrans = pItem->getNBkTransparency();
    params.nSpeed = pItem->m_nInSpeed;
    params.nX = nX;
    params.nY = nY;
    params.nW = nWidth;
    params.nH = nHeight;
    params.fontColor = pItem->m_fontColor;
    params.bkColor = pItem->m_bkColor;

    {
        QSettings settings("Morvane.ini", QSettings::IniFormat);
        settings.setIniCodec(QTextCodec::codecForName("GB2312"));
        settings.setValue("/OSD/g_strOSD", g_strOSD);
        settings.setValue("/OSD/OSDnX", nX);
        settings.setValue("/OSD/OSDnY", nY);
        settings.setValue("/OSD/OSDnW", nWidth);
        settings.setValue("/OSD/OSDnH", nHeight);
        settings.setValue("/OSD/OSDg_fontTransparency", g_fontTransparency);
        settings.setValue("/OSD/OSDg_bkColorTransparency", g_bkColorTransparency);
        settings.setValue("/OSD/OSDfontred", pItem->m_fontColor.red());
        settings.setValue("/OSD/OSDfontblue", pItem->m_fontColor.blue());
        settings.setValue("/OSD/OSDfontblack", pItem->m_fontColor.green());
        settings.setValue("/OSD/OSDBkred", pItem->m_bkColor.red());
        settings.setValue("/OSD/OSDBkgreen", pItem->m_bkColor.green());
        settings.setValue("/OSD/OSDBkblue", pItem->m_bkColor.blue());
    }

    m_OSDimage = renderOSDImage(pItem, nWidth, nHeight);
    m_nbytescount = COSDBitmap::byteCount(nWidth, nHeight);
    m_strOsdSerial = pItem->m_strSerial;
    if (!m_pOSDTransfer->start(pItem->m_strSerial, params, m_OSDimage)) {
        onTransferFinished(false, tr("OSD数据为空"));
        return;
    }
}

void CPropertyStack::slot_SetOSDTextSpeed(int nSpeed)
{
    // The speed hold of a transfer and its restore belong to the stack that started it: another
    // stack's text page may show the same item, and would send the speed and preview again.
    if (m_speedHold == SpeedFree)
        return;
    // the first is the hold, the next the restore once the transfer ended
    m_speedHold = m_speedHold == SpeedHolding ? SpeedHeld : SpeedFree;
    if (m_pTextWidget)
        m_pTextWidget->slot_SetOSDTextSpeed(nSpeed);
}

void CPropertyStack::slot_sendbeginOSDdate()
{
    // Only the stack whose transfer runs answers; another stack has no bitmap of its own.
    if (m_pOSDTransfer->isActive())
        m_pOSDTransfer->sendBegin();
}

void CPropertyStack::slot_sendOSDdate(int pack)
{
    if (m_pOSDTransfer->isActive()) {
        m_ncurrentpack = pack;
        m_pOSDTransfer->sendPacket(pack);
    }
}

void CPropertyStack::onTransferFinished(bool bOk, const QString &strReason)
{
    ui->OSDApplication->setEnabled(true);
    // A transfer that never started gives the held speed back here.
    if (m_speedHold == SpeedHeld)
        slot_SetOSDTextSpeed(g_nOSDSpeed);
    if (bOk)
        return;
    int nFailed = -1;
    if (m_pTextWidget)
        m_pTextWidget->slot_GetOSDsendprogress(nFailed);
    // A failure is mostly found while the device worker handles a reply or the loss of its link:
    // the box (an event loop of its own) opens once that handling is over.
    // Named as every notice names its device.
    const CDeviceRecords *pDevice = CDeviceRecords::find(m_strOsdSerial);
    const QString strDevice = pDevice ? pDevice->noticeName() : m_strOsdSerial;
    const QString strText = BesMessageBox::composeMessage(tr("OSD数据下发失败：%1\n%2"), {strReason, strDevice});
    QTimer::singleShot(0, this, [this, strText]() { osdMessage(strText); });
}
