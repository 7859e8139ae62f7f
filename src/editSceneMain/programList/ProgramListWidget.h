#ifndef PROGRAMLISTWIDGET_H
#define PROGRAMLISTWIDGET_H

#include <QList>
#include <QPair>
#include <QVector>
#include <QString>
#include <QWidget>

class QTranslator;
class FlowLayout;
class CCardProgramWidget;

namespace Ui {
class programListWidget;
}

// The collapsible "场景列表" strip of an editor frame: one card per stored
// scene of the device being edited, in the order the frame hands them over,
// and one add-card while the device has room for more. The frame fills it
// (destroyProgram, addUsedCardItem per scene, slot_updateProgramLayout), follows
// its device's list read again in place (followScenes) and empties it on teardown.
//
// Card ids are the smallest positive numbers no used card holds, so a fresh
// fill numbers the cards 1..n as the device numbers its scenes. A card deleted
// goes at once, but until the device's list is read again the device may still
// hold its scene: meanwhile a new card takes the number after every scene the
// device may hold (the worker renumbers what waits behind the delete, as it
// does a queued save), never the number freed.
//
// Hub topics attached: "slot_getNewCardId", "slot_addUsedCardItem",
// "slot_addNormalCardItem", "slot_updateProgramLayout",
// "slot_updateLayoutTakeStatus", "slot_updatelanguage". Their plain forms
// reach the strip of the family being edited (g_strDevType) or a strip with
// no family set; the forms that carry a device serial as last argument
// ("slot_getNewCardId"(int&, QString), "slot_updateProgramLayout"(QString),
// "slot_updateLayoutTakeStatus"(int, QString)) are answered only by the strip
// showing that device. The strip's own cards talk to it directly.
//
// Cards are removed from the layout at once and destroyed later (deleteLater),
// so a card whose handler is still running, or that waits in a nested loop,
// is never freed under it.
class CProgramListWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int DELETE_NOTICE_MS = 600;
    static constexpr int ADD_NOTICE_MS = 1000;

    explicit CProgramListWidget(QWidget *parent = nullptr);
    ~CProgramListWidget() override;

    void initValue();
    void destroyProgram();
    void addUsedCardItem(int nId, QString strName, QString strSerial, int nTake, int nSceneMax);
    // The device the frame is bound to, its live scene and scene maximum, given before its cards
    // are filled: a device with no scene leaves no card, and the strip still stands for it.
    void setBoundDevice(const QString &strSerial, int nTake, int nSceneMax);
    // The device's count of stored scenes as last read, given before a fill (-1: not known). With
    // none held the add-card stands alone, for the device's first scene; an empty list while the
    // count says there are scenes is one still to be read, and offers no card.
    void setSceneCount(int nCount) { m_nSceneCount = nCount; }
    // Whether a strip showing nCards of the device's scenes offers the add-card: the device has
    // room, and the cards are its scenes (some, or none because it holds none).
    bool offersAddCard(int nCards) const;
    // The device's scenes read again, (number, name) in its order, for the device the strip shows:
    // a card whose scene the list still holds stays, taking the scene's number in place (so a
    // menu, question or name editor open on it acts on its scene); a card whose scene is gone
    // goes, and a scene no card shows gets one in its place. The add-card stays last while the
    // strip offers it (offersAddCard). The names and live scene follow in addUsedCardItem.
    void followScenes(const QVector<QPair<int, QString>> &listScenes);
    // Outlines the card of the scene the frame shows (none for an id no card has), and only it.
    void markShownScene(int nId);

    // The family ("Tarn" or "Z") of the device the strip shows, set by its
    // frame. While empty, g_strDevType decides at the moment of use.
    void setDeviceFamily(const QString &strFamily) { m_strFamily = strFamily; }
    QString deviceFamily() const;

    QString serial() const { return m_strSerial; }
    int takeScene() const { return m_nTake; }
    int sceneMax() const { return m_nSceneMax; }
    bool isOpen() const { return m_bOpen; }
    // The cards in layout order.
    QList<CCardProgramWidget *> cards() const;
    FlowLayout *flowLayout() const { return m_pFlowLayout; }

    // A waiting notice: a message box without buttons, closed after nMs.
    static void runWaitNotice(const QString &strText, int nMs, bool bOnTop);

public slots:
    void slot_updateLayoutTakeStatus(int nTake);
    void slot_updateLayoutTakeStatus(int nTake, QString strSerial);
    void slot_addUsedCardItem(QString strName, QString strSerial, int nTake);
    void slot_addUsedCardItem(QString strName, QString strSerial);
    void slot_addNormalCardItem();
    void slot_getNewCardId(int &nOutId);
    void slot_getNewCardId(int &nOutId, QString strSerial);
    void slot_updateProgramLayout();
    void slot_updateProgramLayout(QString strSerial);
    void slot_updatelanguage(int nlanguage);
    void on_btnProgram_clicked();
    void on_btnReflash_clicked();

private slots:
    void slot_cardTaken(int nTake);
    void slot_tarnCardChanged(int nId);
    void slot_zCardChanged(int nId);
    void slot_tarnCardDelete(CCardProgramWidget *pThis);
    void slot_zCardDelete(CCardProgramWidget *pThis);

signals:
    // The Z card the operator previewed left the strip: no scene is previewed now.
    void sig_previewGone();

private:
    void addProgramItem(QString strSerial, int nTake, bool bUse);
    CCardProgramWidget *makeCard(const QString &strSerial, const QString &strName, int nId, int nTake, bool bUse);
    void updateLayoutStatus();
    bool answersPlainTopic() const;
    int nextCardId(int nDefault) const;
    int highestUsedId() const;
    void updateTakeStatus(int nTake);
    void deleteCard(CCardProgramWidget *pCard);
    void deleteCardItem(int nIndex, int nId);
    int getLastUseCard();
    int usedCardCount() const;
    CCardProgramWidget *itemIsExits(int nId);
    void changeOtherCardStatus(int nId);
    void initCardItem();
    void applyButtonStyles();

    int m_nTake = 0;
    int m_nSceneMax = 0;
    int m_nSceneCount = -1;
    // The highest scene number the device may still hold while a delete sent from the strip is
    // not yet shown by the device's list (0: none pending).
    int m_nMayHold = 0;
    QString m_strSerial;
    QString m_strCardName = "";
    int m_nMaxHeight = 0;
    bool m_bOpen = true;
    FlowLayout *m_pFlowLayout = nullptr;
    Ui::programListWidget *ui;
    QTranslator *m_pTranslator = nullptr;
    QString m_strFamily;
};

#endif // PROGRAMLISTWIDGET_H
