#include "DeviceItem.h"
#include "ui_DeviceItem.h"

#include <QAction>
#include <QCursor>
#include <QDataStream>
#include <QDateTime>
#include <QIODevice>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QtDebug>

#include "GbkCodec.h"
#include "GuardedWait.h"
#include "InputSetDlg.h"
#include "globalObserver.h"
#include "WireBytes.h"

using WireBytes::appendBe16;

const char *const CDeviceItem::DRAG_MIME_TYPE = "editScene/media";

namespace {
const char *const kCmdInputSet = "输入设置";

// Connector words in the order they are tested, with their two icons.
struct PortIcon
{
    const char *word;
    const char *on;
    const char *off;
};
const PortIcon kPortIcons[] = {
    {"HDMI", ":/res/res/image/hdmi-en.png", ":/res/res/image/hdmi-un.png"},
    {"DVI", ":/res/res/image/dvi-en.png", ":/res/res/image/dvi-un.png"},
    {"VGA", ":/res/res/image/vga-en.png", ":/res/res/image/vga-un.png"},
    {"DP", ":/res/res/image/dp-en.png", ":/res/res/image/dp-un.png"},
    {"SDI", ":/res/res/image/sdi-en.png", ":/res/res/image/sdi-un.png"},
    {"CVBS", ":/res/res/image/cvbs-en.png", ":/res/res/image/cvbs-un.png"},
    {"USB", ":/res/res/image/dvi-en.png", ":/res/res/image/dvi-un.png"},
};
}

CDeviceItem::CDeviceItem(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CDeviceItem)
{
    ui->setupUi(this);
    setMouseTracking(true);
    setStyleSheet("QWidget{color:rgb(188, 188, 188);background-color: transparent;}");
    // A name of the device's 12 bytes shows whole, in the font the program's sheet gives it.
    ui->labelName->ensurePolished();
    const int nName = g_wholeNameAdvance(ui->labelName->fontMetrics()) + 2 * ui->labelName->margin() + 2;
    if (ui->labelName->minimumWidth() < nName)
        ui->labelName->setFixedWidth(nName);
    setMenu();
}

CDeviceItem::~CDeviceItem()
{
    delete ui;
}

void CDeviceItem::setDeviceSerial(const QString &strSerial)
{
    m_strSerial = strSerial;
}

QString CDeviceItem::getDeviceSerial() const
{
    return m_strSerial;
}

void CDeviceItem::setDeviceInput(InputSource *pInput)
{
    m_pDeviceInput = pInput;
    if (!pInput)
        return;
    m_shown = *pInput;
    showInput();
}

// Without a signal the timing means nothing: the row shows zeros (the record is the worker's).
void CDeviceItem::showInput()
{
    if (m_shown.nSig == 0) {
        m_shown.nWidth = 0;
        m_shown.nHeight = 0;
        m_shown.nHz = 0;
    }
    ui->labelName->setText(QString("%1\r\n%2x%3@%4")
                               .arg(m_shown.strName, QString::number(m_shown.nWidth),
                                    QString::number(m_shown.nHeight), QString::number(m_shown.nHz)));
    ui->labelIndex->setText(QString::number(m_shown.nId + 1));
}

// The operator's edit shows at once; the next input records the worker hands the row (a read,
// the device's acknowledgement, or what it holds after the write ended otherwise) replace it.
void CDeviceItem::showEdited(const InputSource &edited)
{
    m_shown.strName = edited.strName;
    m_shown.nWidth = edited.nWidth;
    m_shown.nHeight = edited.nHeight;
    m_shown.nHz = edited.nHz;
    showInput();
}

void CDeviceItem::setDeviceType(const QString &strType)
{
    const bool bSignal = m_pDeviceInput && m_shown.nSig == 1;
    for (const PortIcon &icon : kPortIcons) {
        if (strType.contains(QLatin1String(icon.word))) {
            const QString strFile = QString::fromLatin1(bSignal ? icon.on : icon.off);
            // The source poll hands the row its input every few seconds: the icon shown
            // already is not loaded and laid out again (which repaints the row).
            if (strFile == m_strFile && !ui->labelImage->pixmap(Qt::ReturnByValue).isNull())
                return;
            m_strFile = strFile;
            ui->labelImage->setPixmap(QPixmap(m_strFile));
            return;
        }
    }
    m_strFile.clear();
}

QString CDeviceItem::getDeviceImage() const
{
    return m_strFile;
}

int CDeviceItem::getInputSrcIndex() const
{
    return m_pDeviceInput ? m_pDeviceInput->nId : -1;
}

void CDeviceItem::setDeviceFamily(const QString &strFamily)
{
    m_strFamily = strFamily;
    if (!strFamily.isEmpty() && strFamily != m_strMenuFamily)
        setMenu();
}

void CDeviceItem::setMenu()
{
    if (!m_pMenu) {
        m_pMenu = new QMenu(this);
        m_pMenu->setStyleSheet(
            "QMenu {background-color: rgb(57, 65, 69);color: rgb(255,255,255); font: 12pt;"
            "border: 1px solid rgb(172, 172, 172);border-radius: 3px; }"
            "QMenu::item {background-color: transparent;border-bottom: 1px solid rgb(172, 172, 172);"
            "padding:5px 10px;margin:0px 0px; }"
            "QMenu::item:selected {background-color: rgb(26, 171, 169); }");
    }
    m_pMenu->clear();
    actInputAll = actInputName = actInputResolution = nullptr;
    actUpdateName = actUpdateResolution = actResetName = nullptr;
    m_bZMenu = false;
    m_strMenuFamily = m_strFamily.isEmpty() ? g_strDevType : m_strFamily;
    if (m_strMenuFamily == QLatin1String("Tarn")) {
        actInputAll = m_pMenu->addAction(tr("修改输入设置"), this, &CDeviceItem::slot_inputAll);
        actInputName = m_pMenu->addAction(tr("修改输入名称"), this, &CDeviceItem::slot_inputName);
        actInputResolution =
            m_pMenu->addAction(tr("修改分辨率"), this, &CDeviceItem::slot_inputResolution);
        actUpdateName = m_pMenu->addAction(tr("更新输入名称"), this, &CDeviceItem::slot_updateName);
        actUpdateResolution =
            m_pMenu->addAction(tr("更新分辨率"), this, &CDeviceItem::slot_updateResolution);
        actResetName = m_pMenu->addAction(tr("恢复出厂设置名称"), this, &CDeviceItem::slot_resetName);
    } else if (m_strMenuFamily == QLatin1String("Z")) {
        actInputResolution =
            m_pMenu->addAction(tr("修改分辨率"), this, &CDeviceItem::slot_inputResolution);
        actUpdateResolution =
            m_pMenu->addAction(tr("更新分辨率"), this, &CDeviceItem::slot_updateResolution);
        m_bZMenu = true;
    }
}

// The entries of either family read in the language in force.
void CDeviceItem::setMenuName()
{
    if (actInputAll)
        actInputAll->setText(tr("修改输入设置"));
    if (actInputName)
        actInputName->setText(tr("修改输入名称"));
    if (actInputResolution)
        actInputResolution->setText(tr("修改分辨率"));
    if (actUpdateName)
        actUpdateName->setText(tr("更新输入名称"));
    if (actUpdateResolution)
        actUpdateResolution->setText(tr("更新分辨率"));
    if (actResetName)
        actResetName->setText(tr("恢复出厂设置名称"));
}

QString CDeviceItem::dragCaption() const
{
    return m_pDeviceInput ? g_inputCaption(m_shown) : QString();
}

QByteArray CDeviceItem::makeDragData(const QString &strFile, const QString &strText, int nId)
{
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream << qint32(MediaType_SingleText) << strFile << strFile << strText << qint32(nId);
    return data;
}

QByteArray CDeviceItem::nameField(const QString &strName)
{
    return g_toGbkField(strName, CInputSetDlg::NAME_FIELD_BYTES);
}

void CDeviceItem::mousePressEvent(QMouseEvent *event)
{
    QPointer<CDeviceItem> self(this);
    if (event->button() == Qt::RightButton) {
        showMenu(event->globalPos());
    } else if (event->button() == Qt::LeftButton) {
        if (!m_pDeviceInput)
            return;
        // The panel that shows this row starts the drag while the button is
        // still down; the serial tells it the row is its own.
        QString strFile = m_strFile;
        QString strText = dragCaption();
        int nId = m_pDeviceInput->nId;
        QString strSerial = m_strSerial;
        globalObserver::getGlobalObserver()->notify("slot_startDrag", Q_ARG(QString, strFile),
                                                    Q_ARG(QString, strText), Q_ARG(int, nId),
                                                    Q_ARG(QString, strSerial));
    }
    // The menu, a dialog or the drag may have let the row be removed.
    if (self)
        QWidget::mousePressEvent(event);
}

// The menu shown is made for this right-click and belongs to no widget: the row may be removed
// while it, or the dialog of an entry, is open. The chosen entry acts once the menu has closed,
// and only while the row (and the entry) are still there and the row still stands for the input
// and device it was opened on (the panel reuses rows when it is bound to another device).
void CDeviceItem::showMenu(const QPoint &ptGlobal)
{
    if (!m_pMenu || m_pMenu->actions().isEmpty())
        return;
    QMenu menu;
    menu.setStyleSheet(m_pMenu->styleSheet());
    QList<QPointer<QAction>> listEntries;
    for (QAction *pEntry : m_pMenu->actions()) {
        menu.addAction(pEntry->text());
        listEntries.append(pEntry);
    }
    const QString strSerial = m_strSerial;
    const int nInput = getInputSrcIndex();
    CGuardedWait wait{this};
    const int nChosen = menu.actions().indexOf(wait.exec(menu, ptGlobal));
    if (nChosen < 0 || !listEntries.at(nChosen))
        return;
    if (m_strSerial != strSerial || getInputSrcIndex() != nInput) {
        qInfo().noquote() << QString("[%1]: menu of input %2 of %3 chosen after its row changed: nothing sent")
                                 .arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss"),
                                      QString::number(nInput), strSerial);
        return;
    }
    listEntries.at(nChosen)->trigger();
}

void CDeviceItem::sendInputSet(QByteArray &payload, int nRw, int nSub)
{
    QString strSerial = m_strSerial;
    QString strCmd = QString::fromUtf8(kCmdInputSet);
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial),
                                                Q_ARG(QString, strCmd), Q_ARG(QByteArray &, payload),
                                                Q_ARG(int, nRw), Q_ARG(int, nSub));
}

void CDeviceItem::sendStatusRead(const QString &strSerial)
{
    QString strTarget = strSerial;
    QString strCmd = QStringLiteral("获取输入状态");
    QByteArray empty;
    int nRead = 1;
    int nSub = 1;
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, strTarget),
                                                Q_ARG(QString, strCmd), Q_ARG(QByteArray &, empty),
                                                Q_ARG(int, nRead), Q_ARG(int, nSub));
}

// The dialog edits a copy of what the row shows: the row may be rebound to another device or
// input, or removed, while it is open, and the record it was opened on may be gone. True when it
// was accepted and the row still stands for the same input of the same device. No record is
// written: the worker's records take a value when the device acknowledges it.
bool CDeviceItem::execInputDialog(CInputSetDlg &dlg, int nShowType, InputSource &edited)
{
    if (!m_pDeviceInput)
        return false;
    edited = m_shown;
    const QString strSerial = m_strSerial;
    dlg.setInputData(&edited);
    dlg.setShowType(nShowType);
    CGuardedWait wait{this};
    if (wait.exec(dlg) != QDialog::Accepted)
        return false;
    if (m_strSerial != strSerial || !m_pDeviceInput || m_pDeviceInput->nId != edited.nId) {
        qInfo().noquote() << QString("[%1]: input %2 of %3 edited while its row changed: nothing sent")
                                 .arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss"),
                                      QString::number(edited.nId), strSerial);
        return false;
    }
    return true;
}

// A: name, resolution index, width, height and refresh rate in one go.
void CDeviceItem::slot_inputAll()
{
    if (!m_pDeviceInput)
        return;
    CInputSetDlg dlg;
    InputSource edited;
    if (!execInputDialog(dlg, 0, edited))
        return;

    QByteArray payload;
    payload.append(char(edited.nId & 0xFF));
    payload.append('\0');
    payload.append('\0');
    payload.append(nameField(edited.strName));
    payload.append(char(dlg.getResouIndex() & 0xFF));
    appendBe16(payload, edited.nWidth);
    appendBe16(payload, edited.nHeight);
    payload.append(char(edited.nHz & 0xFF));
    showEdited(edited);
    const QString strSerial = m_strSerial; // the row may be rebound or gone once the command went
    sendInputSet(payload, 2, 0);
    g_setSourcePoll(true, strSerial);
}

// B: the name only.
void CDeviceItem::slot_inputName()
{
    if (!m_pDeviceInput)
        return;
    CInputSetDlg dlg;
    InputSource edited;
    if (!execInputDialog(dlg, 1, edited))
        return;

    QByteArray payload;
    payload.append(char(edited.nId & 0xFF));
    payload.append('\0');
    payload.append(nameField(edited.strName));
    showEdited(edited);
    const QString strSerial = m_strSerial; // the row may be rebound or gone once the command went
    sendInputSet(payload, 2, 2);
    g_setSourcePoll(true, strSerial);
}

// C (Tarn) and G (Z): resolution and refresh rate; 255 marks a custom size.
void CDeviceItem::slot_inputResolution()
{
    if (!m_pDeviceInput)
        return;
    const bool bZ = m_bZMenu;
    CInputSetDlg dlg;
    InputSource edited;
    if (!execInputDialog(dlg, 2, edited))
        return;

    QByteArray payload;
    payload.append(char(edited.nId & 0xFF));
    payload.append(char(dlg.getShowType() == 1 ? 0xFF : (dlg.getResouIndex() & 0xFF)));
    appendBe16(payload, dlg.getWidth());
    appendBe16(payload, dlg.getHeight());
    payload.append(char(dlg.getHz() & 0xFF));
    showEdited(edited);
    const QString strSerial = m_strSerial; // the row may be rebound or gone once the command went
    sendInputSet(payload, 2, 3);
    if (!bZ)
        g_setSourcePoll(true, strSerial);
}

// D: re-read the name.
void CDeviceItem::slot_updateName()
{
    if (!m_pDeviceInput)
        return;
    QByteArray payload(1, char(m_pDeviceInput->nId & 0xFF));
    const QString strSerial = m_strSerial; // the row may be rebound or gone once the command went
    sendInputSet(payload, 1, 2);
    g_setSourcePoll(true, strSerial);
}

// E (Tarn) and H (Z): re-read the resolution.
void CDeviceItem::slot_updateResolution()
{
    if (!m_pDeviceInput)
        return;
    const bool bZ = m_bZMenu;
    QByteArray payload(1, char(m_pDeviceInput->nId & 0xFF));
    const QString strSerial = m_strSerial; // the row may be rebound or gone once the command went
    sendInputSet(payload, 1, 3);
    if (!bZ)
        g_setSourcePoll(true, strSerial);
}

// F: restore the factory name (the name field carries the name shown), then read the inputs
// again: their replies show the name the device took.
void CDeviceItem::slot_resetName()
{
    if (!m_pDeviceInput)
        return;
    QByteArray payload;
    payload.append(char(m_pDeviceInput->nId & 0xFF));
    payload.append(char(1));
    payload.append(nameField(m_shown.strName));
    // The receivers may remove this row; keep what is needed on the stack.
    QString strSerial = m_strSerial;
    sendInputSet(payload, 2, 2);

    globalObserver::getGlobalObserver()->notify("slot_refreshinputName", Q_ARG(QString, strSerial));
    sendStatusRead(strSerial);
    g_setSourcePoll(true, strSerial);
}
