#include "ProgramListWidget.h"
#include "ui_ProgramListWidget.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QVector>

#include "BesMessageBox.h"
#include "CardProgramWidget.h"
#include "FlowLayout.h"
#include "QorGlobal.h"
#include "RollLabel.h"
#include "globalObserver.h"

namespace {
const char *const kTopics[] = {"slot_getNewCardId",        "slot_addUsedCardItem",
                               "slot_addNormalCardItem",   "slot_updateProgramLayout",
                               "slot_updateLayoutTakeStatus", "slot_updatelanguage"};
}

CProgramListWidget::CProgramListWidget(QWidget *parent)
    : QWidget(nullptr)
    , ui(new Ui::programListWidget)
{
    // The frames put the strip into a splitter, which becomes its parent.
    Q_UNUSED(parent);
    ui->setupUi(this);
    initValue();
    m_pTranslator = new QTranslator(this);
    ui->btnAdd->setToolTip(tr("添加场景"));
    applyButtonStyles();
    for (const char *pszTopic : kTopics)
        globalObserver::getGlobalObserver()->attach(pszTopic, this, pszTopic);
}

CProgramListWidget::~CProgramListWidget()
{
    for (const char *pszTopic : kTopics)
        globalObserver::getGlobalObserver()->detach(pszTopic, this);
    // The cards go with the strip: a name still being edited is abandoned, not committed by the
    // focus it loses while the strip is taken down (nor asked of a strip half destroyed).
    for (CCardProgramWidget *pCard : cards()) {
        pCard->setOwnerList(nullptr);
        if (QLineEdit *pEdit = pCard->nameEditor())
            pEdit->removeEventFilter(pCard);
    }
    delete ui;
}

void CProgramListWidget::applyButtonStyles()
{
    ui->btnAdd->setStyleSheet(
        "QPushButton{background:transparent;border-image: url(:/res/res/image/add-normal.png);}"
        "QPushButton:hover{background:transparent;border-image: url(:/res/res/image/add-pressed.png);}"
        "QPushButton:pressed{background:transparent;border-image: url(:/res/res/image/add-pressed.png);}");
    ui->btnProgram->setStyleSheet(
        m_bOpen ? "QPushButton{background:transparent;border-image: url(:/res/res/image/open.png);}"
                : "QPushButton{background:transparent;border-image: url(:/res/res/image/close.png);}");
    ui->btnReflash->setStyleSheet(
        "QPushButton{background:transparent;border-image: url(:/res/res/image/reset-normal.png);}"
        "QPushButton:hover{background:transparent;border-image: url(:/res/res/image/reset-hover.png);}"
        "QPushButton:pressed{background:transparent;border-image: url(:/res/res/image/reset-hover.png);}");
}

void CProgramListWidget::initValue()
{
    ui->btnAdd->hide();
    ui->btnDelete->hide();
    if (!m_pFlowLayout)
        m_pFlowLayout = new FlowLayout(ui->scrollAreaWidgetContents, 1, 10, 10);
    m_pFlowLayout->setMargin(5);
    setAcceptDrops(true);
}

QString CProgramListWidget::deviceFamily() const
{
    return m_strFamily.isEmpty() ? g_strDevType : m_strFamily;
}

QList<CCardProgramWidget *> CProgramListWidget::cards() const
{
    QList<CCardProgramWidget *> list;
    if (!m_pFlowLayout)
        return list;
    for (int i = 0; i < m_pFlowLayout->count(); ++i) {
        QLayoutItem *pItem = m_pFlowLayout->itemAt(i);
        if (auto *pCard = qobject_cast<CCardProgramWidget *>(pItem ? pItem->widget() : nullptr))
            list.append(pCard);
    }
    return list;
}

void CProgramListWidget::runWaitNotice(const QString &strText, int nMs, bool bOnTop)
{
    QMessageBox box;
    if (bOnTop)
        box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    box.setText(strText);
    box.setStyleSheet("QLabel{min-width:240px;min-height:40px; font-size:16px;color:black;}");
    box.addButton(QMessageBox::Ok)->hide();
    QTimer::singleShot(nMs, &box, [&box]() { box.done(QMessageBox::Ok); });
    box.exec();
}

// ------------------------------------------------------------------ filling

void CProgramListWidget::destroyProgram()
{
    m_nMayHold = 0;
    if (!m_pFlowLayout)
        return;
    while (m_pFlowLayout->count() > 0) {
        QLayoutItem *pItem = m_pFlowLayout->takeAt(0);
        if (QWidget *pWidget = pItem->widget())
            deleteCard(qobject_cast<CCardProgramWidget *>(pWidget));
        delete pItem;
    }
}

// A card leaves the strip at once but is freed only when control is back in
// the event loop: its own handler may be the one that asked for this.
void CProgramListWidget::deleteCard(CCardProgramWidget *pCard)
{
    if (!pCard)
        return;
    const bool bPreviewed = pCard->checkCardIsUse() && pCard->isSelected() && deviceFamily() == "Z";
    pCard->disconnect(this);
    pCard->setOwnerList(nullptr);
    pCard->abandonNameEdit();
    pCard->hide();
    pCard->deleteLater();
    if (!bPreviewed)
        return;
    // The page showed that scene's stored values and the poll waited for the preview's end.
    g_setSourcePoll(true, m_strSerial);
    emit sig_previewGone();
}

void CProgramListWidget::addUsedCardItem(int nId, QString strName, QString strSerial, int nTake, int nSceneMax)
{
    if (CCardProgramWidget *pCard = itemIsExits(nId)) {
        pCard->setTake(nTake);
        pCard->setCardName(strName);
        pCard->setSceneMax(nSceneMax);
        return;
    }
    m_nSceneMax = nSceneMax;
    slot_addUsedCardItem(strName, strSerial, nTake);
    m_strSerial = strSerial;
}

void CProgramListWidget::slot_addUsedCardItem(QString strName, QString strSerial, int nTake)
{
    m_strCardName = strName;
    m_nTake = nTake;
    addProgramItem(strSerial, nTake, true);
}

void CProgramListWidget::slot_addUsedCardItem(QString strName, QString strSerial)
{
    slot_addUsedCardItem(strName, strSerial, 0);
}

void CProgramListWidget::slot_addNormalCardItem()
{
    updateLayoutStatus();
}

void CProgramListWidget::initCardItem()
{
    slot_addNormalCardItem();
}

void CProgramListWidget::addProgramItem(QString strSerial, int nTake, bool bUse)
{
    const int nId = nextCardId(0);
    CCardProgramWidget *pCard = makeCard(strSerial, m_strCardName, nId, nTake, bUse);
    if (m_pFlowLayout) {
        m_pFlowLayout->addWidget(pCard);
        m_pFlowLayout->update();
    } else {
        delete pCard;
    }
}

CCardProgramWidget *CProgramListWidget::makeCard(const QString &strSerial, const QString &strName, int nId, int nTake,
                                                 bool bUse)
{
    QString strShown = strName;
    if (strName.isEmpty())
        strShown = QString::fromUtf8("节目") + QString::number(nId);
    else if (g_strLanguage == "English" && strName == QString::fromUtf8("用户场景"))
        strShown = "User scenario";
    auto *pCard = new CCardProgramWidget(strSerial, strShown, nId, nullptr);
    pCard->setOwnerList(this);
    pCard->setUsedCard(bUse);
    pCard->setTake(nTake);
    pCard->setSceneMax(m_nSceneMax);

    connect(pCard, &CCardProgramWidget::sig_takeScene, this, &CProgramListWidget::slot_cardTaken);
    const QString strFamily = deviceFamily();
    if (strFamily == "Tarn") {
        connect(pCard, &CCardProgramWidget::sig_changeCard, this, &CProgramListWidget::slot_tarnCardChanged);
        connect(pCard, &CCardProgramWidget::sig_deleteCard, this, &CProgramListWidget::slot_tarnCardDelete);
    } else if (strFamily == "Z") {
        connect(pCard, &CCardProgramWidget::sig_changeCard, this, &CProgramListWidget::slot_zCardChanged);
        connect(pCard, &CCardProgramWidget::sig_deleteCard, this, &CProgramListWidget::slot_zCardDelete);
    }
    return pCard;
}

void CProgramListWidget::followScenes(const QVector<QPair<int, QString>> &listScenes)
{
    if (!m_pFlowLayout)
        return;
    // The device's list: a delete sent before it is followed in it (its scene gone, or back).
    m_nMayHold = 0;
    QList<CCardProgramWidget *> listUsed, listEmpty;
    for (CCardProgramWidget *pCard : cards())
        (pCard->checkCardIsUse() ? listUsed : listEmpty).append(pCard);
    const int nCards = listUsed.size();
    const int nScenes = listScenes.size();
    // The same numbers: every card stays, and takes its scene's name read (a rename).
    bool bSameNumbers = nCards == nScenes;
    for (int i = 0; bSameNumbers && i < nCards; ++i)
        bSameNumbers = listUsed.at(i)->getCardId() == listScenes.at(i).first;
    if (bSameNumbers)
        return;

    // Otherwise the cards stand for the scenes of the same names in the same order, as many as
    // can, each keeping its own number where it can: a delete the device took numbers the scenes
    // behind it one lower, one it refused or left unanswered leaves every number as it was.
    // What card i standing for scene j is worth: a name matched outweighs every number kept; -1
    // when the names differ.
    const auto gain = [&](int i, int j) {
        if (listUsed.at(i)->getCardName() != listScenes.at(j).second)
            return -1;
        return (1 << 16) + (listUsed.at(i)->getCardId() == listScenes.at(j).first ? 1 : 0);
    };
    QVector<QVector<int>> best(nCards + 1, QVector<int>(nScenes + 1, 0));
    for (int i = nCards - 1; i >= 0; --i) {
        for (int j = nScenes - 1; j >= 0; --j) {
            const int nGain = gain(i, j);
            best[i][j] = qMax(qMax(best[i + 1][j], best[i][j + 1]), nGain < 0 ? 0 : best[i + 1][j + 1] + nGain);
        }
    }
    QList<CCardProgramWidget *> listOrder, listGone;
    int i = 0, j = 0;
    while (j < nScenes) {
        const QPair<int, QString> &scene = listScenes.at(j);
        const int nGain = i < nCards ? gain(i, j) : -1;
        if (nGain >= 0 && best[i][j] == best[i + 1][j + 1] + nGain) {
            listUsed.at(i)->setCardId(scene.first);
            listOrder.append(listUsed.at(i));
            ++i;
            ++j;
        } else if (i < nCards && best[i][j] == best[i + 1][j]) {
            listGone.append(listUsed.at(i++));
        } else {
            listOrder.append(makeCard(m_strSerial, scene.second, scene.first, m_nTake, true));
            ++j;
        }
    }
    while (i < nCards)
        listGone.append(listUsed.at(i++));
    // The add-card, while the strip offers it (as a fill makes it): the same widget, so a click
    // on it still waiting in its notice is not lost.
    for (CCardProgramWidget *pEmpty : qAsConst(listEmpty))
        (offersAddCard(nScenes) ? listOrder : listGone).append(pEmpty);

    // The layout takes the cards in the new order; the cards kept are the same widgets.
    while (QLayoutItem *pItem = m_pFlowLayout->takeAt(0))
        delete pItem;
    for (CCardProgramWidget *pCard : qAsConst(listOrder))
        m_pFlowLayout->addWidget(pCard);
    for (CCardProgramWidget *pCard : qAsConst(listGone))
        deleteCard(pCard);
    // The add-card stands for the next number, as one made now would.
    for (CCardProgramWidget *pCard : qAsConst(listOrder))
        if (!pCard->checkCardIsUse())
            pCard->setCardId(nextCardId(0));
    m_pFlowLayout->update();
}

bool CProgramListWidget::offersAddCard(int nCards) const
{
    return (nCards > 0 || m_nSceneCount == 0) && nCards < m_nSceneMax;
}

void CProgramListWidget::updateLayoutStatus()
{
    if (!m_pFlowLayout)
        return;
    for (CCardProgramWidget *pCard : cards()) {
        if (!pCard->checkCardIsUse()) {
            pCard->showBtnAdd();
            return;
        }
    }
    addProgramItem(m_strSerial, m_nTake, false);
}

// The plain topics carry no device: they come from the editor the operator
// works in, so a strip of the other family leaves them alone.
bool CProgramListWidget::answersPlainTopic() const
{
    return m_strFamily.isEmpty() || m_strFamily == g_strDevType;
}

void CProgramListWidget::slot_updateProgramLayout()
{
    if (answersPlainTopic())
        updateLayoutStatus();
}

void CProgramListWidget::slot_updateProgramLayout(QString strSerial)
{
    if (strSerial == m_strSerial)
        updateLayoutStatus();
}

// ------------------------------------------------------------------ ids and take

void CProgramListWidget::slot_getNewCardId(int &nOutId)
{
    if (answersPlainTopic())
        nOutId = nextCardId(nOutId);
}

int CProgramListWidget::nextCardId(int nDefault) const
{
    if (!m_pFlowLayout)
        return nDefault;
    // A delete not yet followed may be taken or refused: the number after every scene the device
    // may hold is a new scene either way (one lower once the delete is taken).
    if (m_nMayHold > 0)
        return qMax(m_nMayHold, highestUsedId()) + 1;
    const QList<CCardProgramWidget *> listCard = cards();
    for (int nCandidate = 1;; ++nCandidate) {
        bool bTaken = false;
        for (CCardProgramWidget *pCard : listCard) {
            if (pCard->checkCardIsUse() && pCard->getCardId() == nCandidate) {
                bTaken = true;
                break;
            }
        }
        if (!bTaken)
            return nCandidate;
    }
}

void CProgramListWidget::slot_getNewCardId(int &nOutId, QString strSerial)
{
    if (strSerial == m_strSerial)
        nOutId = nextCardId(nOutId);
}

void CProgramListWidget::slot_updateLayoutTakeStatus(int nTake)
{
    if (answersPlainTopic())
        updateTakeStatus(nTake);
}

void CProgramListWidget::updateTakeStatus(int nTake)
{
    if (!m_pFlowLayout)
        return;
    m_nTake = nTake;
    for (CCardProgramWidget *pCard : cards())
        pCard->setTake(nTake);
}

void CProgramListWidget::setBoundDevice(const QString &strSerial, int nTake, int nSceneMax)
{
    m_strSerial = strSerial;
    m_nSceneMax = nSceneMax;
    updateTakeStatus(nTake);
}

void CProgramListWidget::slot_updateLayoutTakeStatus(int nTake, QString strSerial)
{
    if (strSerial == m_strSerial)
        updateTakeStatus(nTake);
}

CCardProgramWidget *CProgramListWidget::itemIsExits(int nId)
{
    for (CCardProgramWidget *pCard : cards())
        if (pCard->checkCardIsUse() && pCard->getCardId() == nId)
            return pCard;
    return nullptr;
}

int CProgramListWidget::getLastUseCard()
{
    int nId = -1;
    for (CCardProgramWidget *pCard : cards())
        if (pCard->checkCardIsUse())
            nId = pCard->getCardId();
    return nId;
}

int CProgramListWidget::highestUsedId() const
{
    int nId = 0;
    for (CCardProgramWidget *pCard : cards())
        if (pCard->checkCardIsUse())
            nId = qMax(nId, pCard->getCardId());
    return nId;
}

int CProgramListWidget::usedCardCount() const
{
    int n = 0;
    for (CCardProgramWidget *pCard : cards())
        if (pCard->checkCardIsUse())
            ++n;
    return n;
}

void CProgramListWidget::changeOtherCardStatus(int nId)
{
    for (CCardProgramWidget *pCard : cards())
        if (pCard->checkCardIsUse() && pCard->getCardId() != nId)
            pCard->setCardStauts(false);
}

void CProgramListWidget::markShownScene(int nId)
{
    for (CCardProgramWidget *pCard : cards())
        pCard->setCardStauts(pCard->checkCardIsUse() && pCard->getCardId() == nId);
}

// ------------------------------------------------------------------ card signals

void CProgramListWidget::slot_cardTaken(int nTake)
{
    QPointer<CProgramListWidget> pSelf(this);
    g_setSourcePoll(true, m_strSerial);
    if (pSelf)
        updateTakeStatus(nTake);
}

void CProgramListWidget::slot_tarnCardChanged(int nId)
{
    changeOtherCardStatus(nId);
    globalObserver::getGlobalObserver()->notify("slot_changeCanvasScene", Q_ARG(int, nId));
}

void CProgramListWidget::slot_zCardChanged(int nId)
{
    changeOtherCardStatus(nId);
    // A preview pauses the poll of this strip's device only; the live scene's card restarts it.
    g_setSourcePoll(nId == m_nTake, m_strSerial);
    globalObserver::getGlobalObserver()->notify("slot_setZDeviceScenepreview", Q_ARG(int, nId));
}

void CProgramListWidget::slot_tarnCardDelete(CCardProgramWidget *pThis)
{
    // The last stored scene stays: refuse unless another one remains.
    const auto refuseLast = [this]() {
        if (usedCardCount() >= 2)
            return false;
        BesMessageBox::information(tr("删除失败"), tr("不能删除最后一个场景！"), false);
        return true;
    };
    if (refuseLast())
        return;
    QPointer<CProgramListWidget> pSelf(this);
    QPointer<CCardProgramWidget> pCard(pThis);
    const int nId = pThis->getCardId();
    const QString strSerial = pThis->getSerial();
    const QString strShown = pThis->nameLabel() ? pThis->nameLabel()->text() : QString();
    runWaitNotice(tr("删除场景中请稍等"), DELETE_NOTICE_MS, false);
    // The notice ran a nested loop: a reply may have rebuilt the strip, or the frame may have
    // bound it to another device. The operator's scene is then the new card of the same device,
    // number and name; when the number names another scene now, nothing is deleted.
    if (!pSelf)
        return;
    if (!pCard || m_pFlowLayout->indexOf(pCard) < 0) {
        pCard = itemIsExits(nId);
        if (!pCard || pCard->getSerial() != strSerial || !pCard->nameLabel()
            || pCard->nameLabel()->text() != strShown || refuseLast())
            return;
    }
    slot_zCardDelete(pCard);
}

void CProgramListWidget::slot_zCardDelete(CCardProgramWidget *pThis)
{
    if (!m_pFlowLayout || !pThis)
        return;
    const int nIndex = m_pFlowLayout->indexOf(pThis);
    if (nIndex < 0)
        return;
    QPointer<CProgramListWidget> pSelf(this);
    const int nId = pThis->getCardId();
    // Until its list is read again the device may hold every scene it held before.
    m_nMayHold = qMax(m_nMayHold, highestUsedId());
    QByteArray data(1, char(nId & 0xFF));
    pThis->setCmdData(data, 2, 30);
    if (!pSelf)
        return;
    const int nNow = m_pFlowLayout->indexOf(pThis);
    if (nNow < 0)
        return;
    deleteCardItem(nNow, nId);
    // The add-card once a new scene surely has room (a full device may still hold every scene).
    if (pSelf && nextCardId(0) <= m_nSceneMax)
        updateLayoutStatus();
}

void CProgramListWidget::deleteCardItem(int nIndex, int nId)
{
    Q_UNUSED(nId);
    if (!m_pFlowLayout)
        return;
    if (QLayoutItem *pItem = m_pFlowLayout->takeAt(nIndex)) {
        deleteCard(qobject_cast<CCardProgramWidget *>(pItem->widget()));
        delete pItem;
        m_pFlowLayout->update();
    }
    if (deviceFamily() == "Tarn") {
        int nLast = getLastUseCard();
        globalObserver::getGlobalObserver()->notify("slot_changeCanvasScene", Q_ARG(int, nLast));
    }
}

// ------------------------------------------------------------------ header buttons

void CProgramListWidget::on_btnProgram_clicked()
{
    if (m_bOpen) {
        if (g_nOpenCount > 1)
            return;
        ui->frameList->hide();
        m_nMaxHeight = maximumHeight();
        setMaximumHeight(ui->frame->height());
        ++g_nOpenCount;
        m_bOpen = false;
    } else {
        ui->frameList->show();
        setMaximumHeight(m_nMaxHeight);
        --g_nOpenCount;
        m_bOpen = true;
    }
    applyButtonStyles();
}

void CProgramListWidget::on_btnReflash_clicked()
{
    QString strSerial = m_strSerial;
    QString strName = "源及场景数";
    QByteArray empty;
    globalObserver *pHub = globalObserver::getGlobalObserver();
    pHub->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial), Q_ARG(QString, strName), Q_ARG(QByteArray &, empty),
                 Q_ARG(int, 1), Q_ARG(int, 0));
    g_setSourcePoll(true, m_strSerial);
}

void CProgramListWidget::slot_updatelanguage(int nlanguage)
{
    g_applyLanguage(m_pTranslator, nlanguage);
    ui->retranslateUi(this);
    ui->btnAdd->setToolTip(tr("添加场景"));
    for (CCardProgramWidget *pCard : cards())
        pCard->retranslate();
}
