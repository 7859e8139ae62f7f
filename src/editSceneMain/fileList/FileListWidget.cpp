#include "FileListWidget.h"
#include "ui_FileListWidget.h"

#include <QApplication>
#include <QDateTime>
#include <QDebug>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QJsonDocument>
#include <QMimeData>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include "DeviceItem.h"
#include "Json.h"
#include "LayoutCardWidget.h"
#include "LayoutListWidget.h"
#include "QorGlobal.h"
#include "globalObserver.h"

namespace {
const char *const kTopics[] = {"slot_startDrag",  "slot_selectItem",
                               "slot_deleteItemById", "slot_getMainSigInputSource",
                               "slot_IsZReflash", "slot_updateFileListlanguage"};

// No kind of material file is admitted to the panel: the list of material
// paths, file drops and the document keys stay inert.
bool isAdmittedMaterial(const QString &)
{
    return false;
}

bool admitsAnyMaterial()
{
    return false;
}
}

CFileListWidget::CFileListWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CFileListWidget)
{
    ui->setupUi(this);
    m_pTranslator = new QTranslator(this);
    initValue();

    m_pTimer = new QTimer(this);
    m_pTimer->start(POLL_INTERVAL_MS);
    connect(m_pTimer, &QTimer::timeout, this, &CFileListWidget::slot_updateInputSrc);

    ui->btnReflash->setToolTip(tr("刷新输入源"));
    applyButtonStyles();

    for (const char *pszTopic : kTopics)
        globalObserver::getGlobalObserver()->attach(pszTopic, this, pszTopic);
}

CFileListWidget::~CFileListWidget()
{
    for (const char *pszTopic : kTopics)
        globalObserver::getGlobalObserver()->detach(pszTopic, this);
    delete ui;
}

void CFileListWidget::applyButtonStyles()
{
    ui->btnMaterial->setStyleSheet(
        m_bOpen ? "QPushButton{background:transparent;border-image: url(:/res/res/image/open.png);}"
                : "QPushButton{background:transparent;border-image: url(:/res/res/image/close.png);}");
    ui->btnReflash->setStyleSheet(
        "QPushButton{background:transparent;border-image: url(:/res/res/image/reset-normal.png);}"
        "QPushButton:hover{background:transparent;border-image: url(:/res/res/image/reset-hover.png);}"
        "QPushButton:pressed{background:transparent;border-image: url(:/res/res/image/reset-hover.png);}");
}

void CFileListWidget::initValue()
{
    if (!m_pLayoutList) {
        m_pLayoutList = new CLayoutListWidget(ui->stackedWidget);
        ui->stackedWidget->addWidget(m_pLayoutList);
    }
    if (!m_pLayoutCard) {
        m_pLayoutCard = new CLayoutCardWidget(ui->stackedWidget);
        ui->stackedWidget->addWidget(m_pLayoutCard);
    }
    ui->stackedWidget->setCurrentIndex(LayoutType_List);
    setAcceptDrops(true);
    initCardLayout();
    initListLayout();
}

void CFileListWidget::initListLayout()
{
    if (m_pLayoutList)
        m_pLayoutList->initValue();
}

void CFileListWidget::initCardLayout()
{
    if (m_pLayoutCard)
        m_pLayoutCard->initValue();
}

void CFileListWidget::setDeviceFamily(const QString &strFamily)
{
    m_strFamily = strFamily;
    if (m_pLayoutList)
        m_pLayoutList->setDeviceFamily(strFamily);
}

QString CFileListWidget::deviceFamily() const
{
    return m_strFamily.isEmpty() ? g_strDevType : m_strFamily;
}

bool CFileListWidget::isPolling() const
{
    return m_pTimer && m_pTimer->isActive();
}

void CFileListWidget::addDeviceToList(DeviceInfo *pDeviceInfo, QString strSerial)
{
    if (!m_pLayoutList || !pDeviceInfo)
        return;
    m_pDeviceInfo = pDeviceInfo;

    // Rows are matched by input id: a row whose input the device does not
    // have (left over from the device bound before) goes, the others keep
    // their places.
    QSet<int> ids;
    for (const InputSource *pInput : qAsConst(pDeviceInfo->vectorInput)) {
        if (pInput)
            ids.insert(pInput->nId);
    }
    m_pLayoutList->deleteItemsNotIn(ids);
    m_pLayoutList->deleteExtraItem(pDeviceInfo->vectorInput.size());
    for (InputSource *pInput : qAsConst(pDeviceInfo->vectorInput)) {
        if (pInput)
            m_pLayoutList->addListItem(pDeviceInfo->strSerial, pInput);
    }
    m_strSerial = strSerial;
}

void CFileListWidget::sendStatusRead()
{
    CDeviceItem::sendStatusRead(m_strSerial);
}

void CFileListWidget::slot_updateInputSrc()
{
    if (deviceFamily() == QLatin1String("Tarn") && m_nrefresh == 10) {
        QString strSerial = m_strSerial;
        globalObserver::getGlobalObserver()->notify("slot_refreshinputName", Q_ARG(QString, strSerial));
        m_nrefresh = 0;
    }
    sendStatusRead();
    ++m_nrefresh;
}

void CFileListWidget::on_btnReflash_clicked()
{
    QString strSerial = m_strSerial;
    globalObserver::getGlobalObserver()->notify("slot_refreshinputName", Q_ARG(QString, strSerial));
    sendStatusRead();
    slot_IsZReflash(true);
}

void CFileListWidget::on_btnMaterial_clicked()
{
    if (m_bOpen) {
        if (g_nOpenCount > 1)
            return; // another section is folded already
        ui->stackedWidget->hide();
        m_nMaxHeight = maximumHeight();
        setMaximumHeight(ui->frame->height());
        ++g_nOpenCount;
        m_bOpen = false;
    } else {
        ui->stackedWidget->show();
        setMaximumHeight(m_nMaxHeight);
        --g_nOpenCount;
        m_bOpen = true;
    }
    applyButtonStyles();
}

bool CFileListWidget::ownsSerial(const QString &strSerial) const
{
    if (!m_pDeviceInfo)
        return false;
    return strSerial == m_strSerial || strSerial == m_pDeviceInfo->strSerial;
}

void CFileListWidget::slot_startDrag(QString strFile, QString strText, int nId, QString strSerial)
{
    if (!ownsSerial(strSerial))
        return; // a row of another panel

    m_strDelFile = strFile;
    const QPixmap pixmap = g_loadImageFunction(strFile, QSize(60, 40));

    QPointer<CFileListWidget> self(this);
    auto *pMime = new QMimeData;
    pMime->setData(CDeviceItem::DRAG_MIME_TYPE, CDeviceItem::makeDragData(strFile, strText, nId));
    auto *pDrag = new QDrag(this);
    pDrag->setMimeData(pMime);
    pDrag->setPixmap(pixmap);
    pDrag->setHotSpot(QPoint(pixmap.width() / 2, pixmap.height()));
    pDrag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    if (!self)
        return;

    if (deviceFamily() == QLatin1String("Z")) {
        m_nMainSig = nId;
        QByteArray payload;
        payload.append('\0');
        payload.append(char(m_nMainSig & 0xFF));
        qInfo().noquote() << QString("[%1]: ").arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss"))
                                 + "drag item22" << m_nMainSig;
        QString strSerialCmd = m_strSerial;
        QString strCmd = QStringLiteral("图层设置");
        int nWrite = 2;
        int nSub = 3;
        globalObserver::getGlobalObserver()->notify(
            "slot_setDeviceCmd", Q_ARG(QString, strSerialCmd), Q_ARG(QString, strCmd),
            Q_ARG(QByteArray &, payload), Q_ARG(int, nWrite), Q_ARG(int, nSub));
        globalObserver::getGlobalObserver()->notify("slot_WaitupdateCurrentZDeviceDate");
        int nMainSig = m_nMainSig;
        globalObserver::getGlobalObserver()->notify("slot_GetZMainSig", Q_ARG(int, nMainSig), Q_ARG(QString, strSerialCmd));
    } else {
        slot_IsZReflash(true);
    }
}

void CFileListWidget::slot_getMainSigInputSource(int nMainSig, QString &retText)
{
    if (!m_pDeviceInfo)
        return;
    retText.clear();
    if (const InputSource *pInput = m_pDeviceInfo->findInput(nMainSig))
        retText = g_inputCaption(*pInput);
}

void CFileListWidget::slot_getMainSigInputSource(int nMainSig, QString &retText, QString strSerial)
{
    if (ownsSerial(strSerial))
        slot_getMainSigInputSource(nMainSig, retText);
}

void CFileListWidget::slot_selectItem(int nIndex)
{
    m_vectorDelItems.clear();
    m_vectorDelItems.append(nIndex);
}

void CFileListWidget::slot_deleteItemById(int nIndex)
{
    if (!m_pLayoutList || !m_pLayoutCard)
        return;
    m_pLayoutList->deleteItemById(nIndex);
    m_pLayoutCard->deleteItemById(nIndex);
    m_vectorItems.removeOne(m_strDelFile);
}

void CFileListWidget::slot_IsZReflash(bool nReflash)
{
    if (nReflash) {
        if (!m_pTimer->isActive())
            m_pTimer->start(POLL_INTERVAL_MS);
    } else if (m_pTimer->isActive()) {
        m_pTimer->stop();
    }
}

void CFileListWidget::slot_IsZReflash(bool nReflash, QString strSerial)
{
    if (ownsSerial(strSerial))
        slot_IsZReflash(nReflash);
}

void CFileListWidget::slot_updateFileListlanguage(int nlanguage)
{
    g_applyLanguage(m_pTranslator, nlanguage);
    ui->retranslateUi(this);
    ui->btnReflash->setToolTip(tr("刷新输入源"));
    for (int nRow = 0; nRow < m_pLayoutList->rowCount(); ++nRow)
        if (CDeviceItem *pItem = m_pLayoutList->itemAt(nRow))
            pItem->setMenuName();
}

void CFileListWidget::fileListToJson(QJsonObject &obj)
{
    if (m_vectorItems.isEmpty())
        return;
    obj.insert("fileCount", m_vectorItems.size());
    QJsonObject list;
    for (int i = 0; i < m_vectorItems.size(); ++i)
        list.insert(QString("filePath%1").arg(i + 1), m_vectorItems.at(i));
    obj.insert("fileList", list);
}

void CFileListWidget::jsonToFileList(QString &strJson)
{
    if (admitsAnyMaterial())
        jsonToFileList(QJsonDocument::fromJson(strJson.toUtf8()).object());
}

void CFileListWidget::jsonToFileList(const QJsonObject &doc)
{
    // Entries of a kind the panel does not admit are not read at all.
    if (!admitsAnyMaterial())
        return;
    const Json json(doc);
    const int nCount = json.getInt("fileCount", 0);
    // The count is the document's word: read no more entries than it holds.
    const QJsonObject list = json.getJsonObject("fileList");
    QStringList listFile;
    for (int n = 1; n <= qMin(nCount, list.size()); ++n)
        listFile.append(json.getString(QString("filePath%1").arg(n), QString(), list));
    loadFile(listFile);
}

void CFileListWidget::deleteAllItem()
{
    if (m_pLayoutList)
        m_pLayoutList->deleteAllItem();
    if (m_pLayoutCard)
        m_pLayoutCard->deleteAllItem();
    m_vectorItems.clear();
    m_vectorDelItems.clear();
}

bool CFileListWidget::checkVectorFile(const QString &strFile)
{
    for (const QString &strItem : qAsConst(m_vectorItems)) {
        if (QString::localeAwareCompare(strItem, strFile) == 0)
            return true;
    }
    return false;
}

void CFileListWidget::loadFile(QStringList &listFile)
{
    if (!m_pLayoutList || !m_pLayoutCard)
        return;
    for (const QString &strFile : qAsConst(listFile)) {
        if (isAdmittedMaterial(strFile) && !checkVectorFile(strFile))
            m_vectorItems.append(strFile);
    }
}

void CFileListWidget::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    event->accept();
    QWidget::dragEnterEvent(event);
}

void CFileListWidget::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty()) {
        const QString strPath = urls.first().toLocalFile();
        if (!strPath.isEmpty()) {
            QStringList listFile{strPath};
            loadFile(listFile);
        }
    }
    QWidget::dropEvent(event);
}
