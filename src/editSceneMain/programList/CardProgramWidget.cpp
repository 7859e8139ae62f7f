#include "CardProgramWidget.h"
#include "ui_CardProgramWidget.h"

#include <QApplication>
#include <QDebug>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>

#include "BesMessageBox.h"
#include "GbkCodec.h"
#include "GuardedWait.h"
#include "ProgramListWidget.h"
#include "QorGlobal.h"
#include "RollLabel.h"
#include "SceneSaveAsDlg.h"
#include "globalObserver.h"

namespace {
const char kLabelStyle[] = "QLabel{background:rgb(28, 28, 28);color:#FFFFFF;}";
const char kLabelTakenStyle[] = "QLabel{background:rgb(59, 119, 179);color:#FFFFFF;}";

QByteArray oneByte(int n)
{
    return QByteArray(1, char(n & 0xFF));
}

QByteArray twoBytes(int a, int b)
{
    QByteArray data;
    data.append(char(a & 0xFF));
    data.append(char(b & 0xFF));
    return data;
}
}

CCardProgramWidget::CCardProgramWidget(QString strSerial, QString strName, int nId, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CardProgramWidget)
{
    m_strName = strName;
    m_strSerial = strSerial;
    ui->setupUi(this);
    m_crLeave = QColor(255, 250, 0);
    m_crSelect = QColor(251, 153, 0);
    m_nId = nId;
    setFocus(Qt::ActiveWindowFocusReason);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setFixedSize(80, 50);
    setMenu();
    initCtrl();
    globalObserver::getGlobalObserver()->attach("slot_getZNewCardId", this, "slot_getZNewCardId");
}

CCardProgramWidget::~CCardProgramWidget()
{
    globalObserver::getGlobalObserver()->detach("slot_getZNewCardId", this);
    delete ui;
}

void CCardProgramWidget::setOwnerList(CProgramListWidget *pList)
{
    if (m_pOwner)
        m_strFamily = m_pOwner->deviceFamily();
    m_pOwner = pList;
}

QString CCardProgramWidget::family() const
{
    if (m_pOwner)
        return m_pOwner->deviceFamily();
    return m_strFamily.isEmpty() ? g_strDevType : m_strFamily;
}

void CCardProgramWidget::initCtrl()
{
    if (!m_pBtnAdd) {
        m_pBtnAdd = new QPushButton(this);
        m_pBtnAdd->setFixedSize(32, 32);
        m_pBtnAdd->setAttribute(Qt::WA_TranslucentBackground);
        m_pBtnAdd->setStyleSheet(
            "QPushButton{background:transparent;border-image: url(:/res/res/image/maxadd-nomal.png);}"
            "QPushButton:hover{background:transparent;border-image: url(:/res/res/image/maxadd-hover.png);}"
            "QPushButton:pressed{background:transparent;border-image: url(:/res/res/image/maxadd-hover.png);}");
        connect(m_pBtnAdd, &QPushButton::clicked, this, &CCardProgramWidget::addScene);
        m_pBtnAdd->move((width() - 32) / 2, (height() - 32) / 2);
        m_pBtnAdd->hide();
    }
    retranslate();
    ui->labelIcon->setScaledContents(true);
    ui->labelIndex->setText(QString::number(m_nId));
    initLabelCtrl();
}

void CCardProgramWidget::retranslate()
{
    if (m_pBtnAdd)
        m_pBtnAdd->setToolTip(tr("添加场景"));
    // A card told which scene is taken says so again in the new language.
    if (!ui->labelIcon->text().isEmpty())
        setTake(m_nTake);
}

void CCardProgramWidget::initLabelCtrl()
{
    if (!m_pLabelName)
        m_pLabelName = new CRollLabel();
    if (!m_pEditName)
        m_pEditName = new QLineEdit();
    m_pLabelName->setDirection(CRollLabel::RightToLeft);
    m_pLabelName->setInterval(150);
    m_pLabelName->setFocusPolicy(Qt::ClickFocus);
    m_pLabelName->setStyleSheet(kLabelStyle);
    m_pLabelName->setAlignment(Qt::AlignCenter);
    m_pLabelName->installEventFilter(this);
    m_pEditName->installEventFilter(this);
    m_pEditName->setStyleSheet("QLineEdit{background:rgb(28, 28, 28);color:#FFFFFF;}");
    ui->stackedWidget->addWidget(m_pLabelName);
    ui->stackedWidget->addWidget(m_pEditName);
    ui->stackedWidget->setCurrentIndex(0);
}

void CCardProgramWidget::setUsedCard(bool bUse)
{
    setCardUse(bUse);
    if (bUse) {
        if (m_pBtnAdd) {
            m_pBtnAdd->hide();
            ui->labelIcon->show();
            ui->labelIndex->show();
        }
        if (m_pLabelName)
            m_pLabelName->setText(m_strName);
    } else if (m_pBtnAdd) {
        m_pBtnAdd->show();
        ui->labelIcon->hide();
        ui->labelIndex->hide();
    }
}

void CCardProgramWidget::setCardName(QString strName)
{
    m_strName = strName;
    if (m_pLabelName)
        m_pLabelName->setText(strName);
}

void CCardProgramWidget::showBtnAdd()
{
    if (!m_pBtnAdd)
        return;
    m_pBtnAdd->show();
    ui->labelIcon->hide();
    ui->labelIndex->hide();
}

void CCardProgramWidget::setTake(int nTake)
{
    m_nTake = nTake;
    ui->labelIcon->setText(nTake == m_nId ? tr("已调用") : tr("未调用"));
    update();
}

void CCardProgramWidget::setCardStauts(bool bSelect)
{
    if (bSelect) {
        // Outlined as the scene shown; only a press sets its name rolling.
        if (m_bUse && !m_bSelect) {
            m_bSelect = true;
            update();
        }
        return;
    }
    if (!m_bSelect)
        return;
    m_bSelect = false;
    if (m_pLabelName)
        m_pLabelName->stopRoll();
    update();
}

void CCardProgramWidget::setCardId(int nId)
{
    m_nId = nId;
    ui->labelIndex->setText(QString::number(nId));
}

QString CCardProgramWidget::indexText() const
{
    return ui->labelIndex->text();
}

QString CCardProgramWidget::takeText() const
{
    return ui->labelIcon->text();
}

bool CCardProgramWidget::isEditingName() const
{
    return ui->stackedWidget->currentIndex() == 1;
}

void CCardProgramWidget::abandonNameEdit()
{
    if (!isEditingName())
        return;
    // The number the card held may name another scene by now: the focus the editor loses as it
    // hides commits nothing. A name the operator typed is said not made.
    const bool bTyped = m_pEditName && m_pEditName->text() != m_strName;
    m_bCommitting = true;
    ui->stackedWidget->setCurrentIndex(0);
    m_bCommitting = false;
    if (bTyped)
        sceneGone(m_nId);
}

void CCardProgramWidget::setCmdData(QByteArray &data, int nReadOrWrite, int nSub)
{
    QString strSerial = m_strSerial;
    QString strName = "场景操作";
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial),
                                                Q_ARG(QString, strName), Q_ARG(QByteArray &, data),
                                                Q_ARG(int, nReadOrWrite), Q_ARG(int, nSub));
}

// ------------------------------------------------------------------ strip links

int CCardProgramWidget::askNewCardId()
{
    int n = 0;
    if (m_pOwner)
        m_pOwner->slot_getNewCardId(n, m_strSerial);
    else
        globalObserver::getGlobalObserver()->notify("slot_getNewCardId", Q_ARG(int &, n));
    return n;
}

void CCardProgramWidget::updateOwnerLayout()
{
    if (m_pOwner)
        m_pOwner->slot_updateProgramLayout(m_strSerial);
    else
        globalObserver::getGlobalObserver()->notify("slot_updateProgramLayout");
}

void CCardProgramWidget::updateOwnerTakeStatus(int nTake)
{
    if (m_pOwner)
        m_pOwner->slot_updateLayoutTakeStatus(nTake, m_strSerial);
    else
        globalObserver::getGlobalObserver()->notify("slot_updateLayoutTakeStatus", Q_ARG(int, nTake));
}

// ------------------------------------------------------------------ menu

void CCardProgramWidget::setMenu()
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &CCardProgramWidget::slot_showMenu);
}

QMenu *CCardProgramWidget::createMenu()
{
    if (!m_bUse)
        return nullptr;
    QMenu *pMenu = new QMenu();
    pMenu->setStyleSheet(
        "QMenu {background-color: rgb(57, 65, 69);color: rgb(255,255,255); font: 10pt;border: 1px solid "
        "rgb(172, 172, 172);border-radius: 3px; }QMenu::item {background-color: transparent;border-bottom: 1px "
        "solid rgb(172, 172, 172);padding:5px 10px;margin:0px 0px; }QMenu::item:selected {background-color: "
        "rgb(26, 171, 169); }");
    // The card is the context of every connection: an entry chosen after the
    // card went away does nothing (the menu's runner says so).
    connect(pMenu->addAction(tr("更新场景")), &QAction::triggered, this, &CCardProgramWidget::updateScene);
    connect(pMenu->addAction(tr("调用场景")), &QAction::triggered, this, [this]() { takeScene(false); });
    if (family() == "Tarn") {
        connect(pMenu->addAction(tr("保存场景")), &QAction::triggered, this, &CCardProgramWidget::saveScene);
        connect(pMenu->addAction(tr("保存到场景")), &QAction::triggered, this, &CCardProgramWidget::saveToScene);
        connect(pMenu->addAction(tr("重命名场景")), &QAction::triggered, this, &CCardProgramWidget::renameScene);
    }
    connect(pMenu->addAction(tr("删除场景")), &QAction::triggered, this, &CCardProgramWidget::deleteScene);
    return pMenu;
}

void CCardProgramWidget::slot_showMenu(const QPoint &pos)
{
    QScopedPointer<QMenu> pMenu(createMenu());
    if (!pMenu)
        return;
    const QPoint ptGlobal = mapToGlobal(pos);
    QPointer<CCardProgramWidget> pSelf(this);
    const int nId = m_nId;
    // The card may be gone once exec returns (an entry's dialog runs inside it, or the device's
    // list no longer held its scene while the menu was open).
    const QAction *pChosen = pMenu->exec(ptGlobal);
    if (pSelf)
        recheckHover();
    else if (pChosen)
        sceneGone(nId);
}

void CCardProgramWidget::sceneGone(int nId)
{
    // What the operator chose on a card that went meanwhile is not done, and said.
    BesMessageBox::notice(staticMetaObject.className(), QT_TR_NOOP("场景未调用"), QT_TR_NOOP("场景%1已不存在，请重新输入！"),
                          {QString::number(nId)});
}

// ------------------------------------------------------------------ commands

void CCardProgramWidget::updateScene()
{
    const QString strFamily = family();
    if (strFamily == "Z" && m_nId == m_nTake) {
        QString strSerial = m_strSerial;
        QString strName = "图层设置";
        QByteArray data = oneByte(0);
        globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial),
                                                    Q_ARG(QString, strName), Q_ARG(QByteArray &, data),
                                                    Q_ARG(int, 1), Q_ARG(int, 0));
    } else if (strFamily == "Tarn") {
        QByteArray data = oneByte(m_nId);
        setCmdData(data, 1, 0);
    }
}

void CCardProgramWidget::takeScene(bool bDoubleClick)
{
    // Only a stored scene can be recalled; the add-card stands for none.
    if (!m_bUse)
        return;
    QPointer<CCardProgramWidget> pSelf(this);
    const int nId = m_nId;
    const bool bZ = (family() == "Z");
    QByteArray data = oneByte(nId);
    setCmdData(data, 2, 20);
    globalObserver *pHub = globalObserver::getGlobalObserver();
    // The canvas's taken scene belongs to the Tarn frame's device.
    if (!bZ)
        pHub->notify("slot_setTakeScene", Q_ARG(int, nId));
    if (!pSelf)
        return;
    if (bDoubleClick)
        updateOwnerTakeStatus(nId);
    if (!pSelf)
        return;
    emit sig_takeScene(nId);
    if (bZ) {
        pHub->notify("slot_WaitupdateCurrentZDeviceDate");
        pHub->notify("slot_setZDeviceSceneTake", Q_ARG(int, nId));
    }
}

void CCardProgramWidget::saveScene()
{
    QByteArray data = twoBytes(m_nId, m_nId);
    setCmdData(data, 2, 10);
}

void CCardProgramWidget::saveToScene()
{
    QPointer<CCardProgramWidget> pSelf(this);
    const int nId = m_nId;
    int n = askNewCardId();
    CSceneSaveAsDlg dlg(family());
    if (m_nSceneMax < n)
        n = m_nSceneMax;
    dlg.setSaveSceneIndex(n);
    dlg.setWindowTitle("保存到场景");
    const int nResult = dlg.exec();
    if (!pSelf) {
        if (nResult == QDialog::Accepted)
            sceneGone(nId);
        return;
    }
    recheckHover();
    if (nResult != QDialog::Accepted)
        return;
    // The dialog accepts only 1 .. n: the stored scenes and the next free one.
    const int nTarget = dlg.getValidSaveSceneIndex();
    if (nTarget < 1)
        return;
    QByteArray data = twoBytes(m_nId, nTarget);
    setCmdData(data, 2, 10);
    QString strSerial = m_strSerial;
    QString strName = "源及场景数";
    QByteArray empty;
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial),
                                                Q_ARG(QString, strName), Q_ARG(QByteArray &, empty),
                                                Q_ARG(int, 1), Q_ARG(int, 0));
}

// A Tarn card asks the canvas, which shows the Tarn device's live scene; a Z card has no canvas
// and goes by the live scene its strip shows for the Z device.
bool CCardProgramWidget::isSceneTaken()
{
    if (family() == "Z")
        return m_nTake == m_nId;
    bool bTaken = false;
    int nId = m_nId;
    globalObserver::getGlobalObserver()->notify("slot_isTakeScene", Q_ARG(int, nId), Q_ARG(bool &, bTaken));
    return bTaken;
}

bool CCardProgramWidget::askRecall(bool bTranslated)
{
    CGuardedWait wait{this};
    const int nId = m_nId;
    m_bAsking = true;
    bool bYes;
    if (bTranslated)
        bYes = wait.confirm(tr("场景未调用"), tr("该场景未调用，是否立即调用？"), tr("确定"), tr("取消"), true, false);
    else
        bYes = wait.confirm("场景未调用", "该场景未调用，是否立即调用？", "确定", "取消", true, false);
    if (!wait.alive()) {
        // The card went while the question was open: the device's list no longer holds its scene
        // (or the strip shows another device). What the operator agreed to is not done, and said.
        if (wait.answeredYes())
            sceneGone(nId);
        return false;
    }
    m_bAsking = false;
    recheckHover();
    return bYes;
}

void CCardProgramWidget::recallForRename()
{
    if (family() == "Z") {
        takeScene(false);
        return;
    }
    QPointer<CCardProgramWidget> pSelf(this);
    const int nId = m_nId;
    QString strSerial = m_strSerial;
    QString strName = "场景操作";
    QByteArray data = oneByte(nId);
    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial), Q_ARG(QString, strName), Q_ARG(QByteArray &, data),
                 Q_ARG(int, 2), Q_ARG(int, 20));
    pHub->notify("slot_setTakeScene", Q_ARG(int, nId));
    if (pSelf)
        updateOwnerTakeStatus(nId);
}

void CCardProgramWidget::renameScene()
{
    QPointer<CCardProgramWidget> pSelf(this);
    if (!isSceneTaken()) {
        if (!askRecall(true))
            return;
        recallForRename();
        if (!pSelf)
            return;
    }
    openNameEditor();
}

void CCardProgramWidget::openNameEditor()
{
    if (!m_pEditName || !m_pLabelName)
        return;
    m_pEditName->setText(m_pLabelName->text());
    m_pEditName->setFocus();
    ui->stackedWidget->setCurrentIndex(1);
}

bool CCardProgramWidget::commitName()
{
    const QString strName = m_pEditName->text();
    // A name the device's 12-byte field cannot hold whole is refused; the editor stays open.
    const QString strRefusal = g_deviceNameRefusal(strName, ENameField::Scene);
    if (!strRefusal.isEmpty()) {
        CGuardedWait wait{this};
        m_bAsking = true; // the notice takes the focus: that is no end of the edit
        wait.information(tr("提示"), strRefusal);
        if (!wait.alive())
            return false;
        m_bAsking = false;
        recheckHover();
        return false;
    }
    m_pLabelName->setText(strName);
    // Hiding the editor takes its focus while the stack still shows it: that focus-out is no
    // second commit.
    m_bCommitting = true;
    ui->stackedWidget->setCurrentIndex(0);
    m_bCommitting = false;
    QPointer<CCardProgramWidget> pSelf(this);
    // The Tarn canvas shows the Tarn device's live scene: a Z scene's name is none of its business.
    if (family() != "Z") {
        QString strCanvasName = strName;
        globalObserver::getGlobalObserver()->notify("slot_changeCavasSceneName", Q_ARG(QString, strCanvasName));
        if (!pSelf)
            return true;
    }
    // The name fits the device's 12 bytes; the field is padded with zeros.
    const int nId = m_nId;
    QByteArray data = oneByte(nId);
    data.append(g_toGbkField(strName, 12));
    setCmdData(data, 2, 40);
    // Read the scene back: the records, and every strip built from them, take the name the device
    // holds (cut to its field), not the one typed.
    QByteArray read = oneByte(nId);
    setCmdData(read, 1, 0);
    return true;
}

void CCardProgramWidget::deleteScene()
{
    emit sig_deleteCard(this);
}

void CCardProgramWidget::addScene()
{
    QPointer<CCardProgramWidget> pSelf(this);
    CProgramListWidget::runWaitNotice(tr("新建场景中请稍等"), CProgramListWidget::ADD_NOTICE_MS, true);
    if (!pSelf)
        return;
    storeNewScene(family() == "Z");
}

void CCardProgramWidget::slot_getZNewCardId()
{
    storeNewScene(true);
}

void CCardProgramWidget::storeNewScene(bool bZFamily)
{
    QPointer<CCardProgramWidget> pSelf(this);
    const int n = askNewCardId();
    if (m_nSceneMax < n || n < 1)
        return;
    QString strName;
    if (bZFamily) {
        strName = tr("新增场景");
        m_strName = strName;
        QByteArray data = twoBytes(0, n);
        setCmdData(data, 2, 10);
    } else {
        strName = tr("用户场景");
        m_strName = strName;
        QString strCanvasName = strName;
        globalObserver::getGlobalObserver()->notify("slot_createCanvasScene", Q_ARG(QString, strCanvasName));
        if (!pSelf)
            return;
        qDebug() << "Update scene snapshoot" << n;
        QByteArray data = twoBytes(m_nTake, n);
        setCmdData(data, 2, 10);
    }
    QByteArray read = oneByte(n);
    setCmdData(read, 1, 0);
    if (!pSelf)
        return;
    if (m_pLabelName)
        m_pLabelName->setText(strName);

    // The card now stands for scene n: its later commands address that number.
    m_nId = n;
    ui->labelIndex->setText(QString::number(n));
    m_bUse = true;
    if (m_pBtnAdd)
        m_pBtnAdd->hide();
    ui->labelIcon->show();
    ui->labelIndex->show();
    setTake(m_nTake);

    if (m_nSceneMax > n)
        updateOwnerLayout();
}

// ------------------------------------------------------------------ events

void CCardProgramWidget::mousePressEvent(QMouseEvent *event)
{
    QPointer<CCardProgramWidget> pSelf(this);
    if (m_bUse)
        m_bSelect = true;
    if (event->button() == Qt::LeftButton && m_bUse) {
        m_bSelect = true;
        if (m_pLabelName)
            m_pLabelName->startRoll();
        update();
        emit sig_changeCard(m_nId);
    }
    if (pSelf)
        QWidget::mousePressEvent(event);
}

void CCardProgramWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPointer<CCardProgramWidget> pSelf(this);
    takeScene(true);
    if (pSelf)
        QWidget::mousePressEvent(event);
}

void CCardProgramWidget::enterEvent(QEvent *event)
{
    m_bEnter = true;
    update();
    QWidget::enterEvent(event);
}

void CCardProgramWidget::leaveEvent(QEvent *event)
{
    m_bEnter = false;
    update();
    QWidget::leaveEvent(event);
}

void CCardProgramWidget::recheckHover()
{
    const QWidget *pUnder = QApplication::widgetAt(QCursor::pos());
    const bool bOver = isVisible() && pUnder && (pUnder == this || isAncestorOf(pUnder));
    if (bOver != m_bEnter) {
        m_bEnter = bOver;
        update();
    }
}

bool CCardProgramWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_bUse)
        return QWidget::eventFilter(watched, event);

    if (watched == m_pLabelName && event->type() == QEvent::MouseButtonDblClick) {
        // The double click goes on to the card as well, which recalls the scene.
        openNameEditor();
        return false;
    }

    if (watched != m_pEditName || !isEditingName() || m_bCommitting)
        return QWidget::eventFilter(watched, event);

    QPointer<CCardProgramWidget> pSelf(this);
    if (event->type() == QEvent::KeyPress) {
        const int nKey = static_cast<QKeyEvent *>(event)->key();
        if (nKey != Qt::Key_Return && nKey != Qt::Key_Enter && nKey != Qt::Key_Escape)
            return false;
        if (isSceneTaken()) {
            if (!pSelf)
                return true;
            commitName();
            return !pSelf;
        }
        if (!pSelf)
            return true;
        if (m_bAsking)
            return true;
        if (askRecall(false))
            recallForRename();
        // The edit stays open; the next key press commits once the scene is shown.
        return !pSelf;
    }

    if (event->type() == QEvent::FocusOut) {
        // A question box of our own takes the focus: that is no end of the edit.
        if (m_bAsking)
            return false;
        if (isSceneTaken()) {
            if (!pSelf)
                return true;
            // A refused name is dropped, as an edit is that loses its focus before the recall.
            if (!commitName() && pSelf)
                ui->stackedWidget->setCurrentIndex(0);
            return !pSelf;
        }
        if (!pSelf)
            return true;
        if (askRecall(true))
            recallForRename();
        if (!pSelf)
            return true;
        ui->stackedWidget->setCurrentIndex(0);
        return false;
    }
    return QWidget::eventFilter(watched, event);
}

void CCardProgramWidget::paintEvent(QPaintEvent *event)
{
    const QRect r(0, 0, width(), height());
    QPainter painter(this);
    painter.setRenderHints(QPainter::SmoothPixmapTransform | QPainter::Antialiasing);
    painter.setPen(QPen(QColor(134, 134, 134), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.drawRoundedRect(r, 4.0, 4.0, Qt::AbsoluteSize);
    if (m_bUse) {
        if (m_bSelect) {
            painter.setPen(QPen(m_crSelect, 2.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
            painter.drawRoundedRect(r, 4.0, 4.0, Qt::AbsoluteSize);
        }
        if (m_bEnter) {
            painter.setPen(QPen(m_crLeave, 2.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
            painter.drawRoundedRect(r, 4.0, 4.0, Qt::AbsoluteSize);
        }
    }
    if (m_nTake != m_nId) {
        if (m_pLabelName && m_pLabelName->styleSheet() != kLabelStyle)
            m_pLabelName->setStyleSheet(kLabelStyle);
    } else {
        painter.fillRect(r.adjusted(1, 1, -1, -1), QColor(59, 119, 179));
        if (m_pLabelName && m_pLabelName->styleSheet() != kLabelTakenStyle)
            m_pLabelName->setStyleSheet(kLabelTakenStyle);
    }
    QWidget::paintEvent(event);
}
