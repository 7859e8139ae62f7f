#ifndef CARDPROGRAMWIDGET_H
#define CARDPROGRAMWIDGET_H

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

class QLineEdit;
class QMenu;
class QPushButton;
class CRollLabel;
class CProgramListWidget;

namespace Ui {
class CardProgramWidget;
}

// One card of the scene list: a stored scene of the device (a used card) or
// the slot where the next scene is added (the empty card with its add
// button). A used card shows its scene number, whether the device shows it,
// and its name, which can be edited in place. The card sends its own scene
// commands ("场景操作" and friends) to the device it was made for, and tells
// its strip about selection, take and delete through its signals.
//
// Every handler that runs a nested loop (wait notice, question, dialog, menu)
// holds a guard on the card: the strip may be rebuilt meanwhile, and then the
// handler stops without touching the card again.
class CCardProgramWidget : public QWidget
{
    Q_OBJECT
public:
    CCardProgramWidget(QString strSerial, QString strName, int nId, QWidget *parent = nullptr);
    ~CCardProgramWidget() override;

    // The strip that made the card: new ids and layout updates come from it,
    // and so does the device family. A card taken off its strip keeps the
    // strip's family; without a strip the card uses the hub topics, and a card
    // that never had one g_strDevType.
    void setOwnerList(CProgramListWidget *pList);
    QString family() const;

    void setUsedCard(bool bUse);
    void setCardUse(bool bUse) { m_bUse = bUse; }
    bool checkCardIsUse() const { return m_bUse; }
    void setSceneMax(int nSceneMax) { m_nSceneMax = nSceneMax; }
    int getSceneMax() const { return m_nSceneMax; }
    int getCardId() const { return m_nId; }
    // The card's scene numbered anew by the device (a scene before it was deleted).
    void setCardId(int nId);
    void setCardName(QString strName);
    QString getCardName() const { return m_strName; }
    QString getSerial() const { return m_strSerial; }
    void showBtnAdd();
    // The texts made in code, in the current language; the strip calls it on a language switch.
    void retranslate();
    void setTake(int nTake);
    int getTake() const { return m_nTake; }
    void setCardStauts(bool bSelect);
    bool isSelected() const { return m_bSelect; }
    bool isHovered() const { return m_bEnter; }
    // Sends "场景操作" with the payload, read (1) or write (2) and sub-command.
    void setCmdData(QByteArray &data, int nReadOrWrite, int nSub);

    // The card's context menu as the operator gets it (null for an empty card);
    // the caller owns it.
    QMenu *createMenu();

    // The commands behind the menu entries, the double click and the add button.
    void updateScene();
    void takeScene(bool bDoubleClick);
    void saveScene();
    void saveToScene();
    void renameScene();
    void deleteScene();
    void addScene();

    // Read access for the strip and tests.
    QPushButton *addButton() const { return m_pBtnAdd; }
    CRollLabel *nameLabel() const { return m_pLabelName; }
    QLineEdit *nameEditor() const { return m_pEditName; }
    QString indexText() const;
    QString takeText() const;
    bool isEditingName() const;
    // The card leaves its strip: an open name edit ends; a name typed in it is not sent, and said.
    void abandonNameEdit();

signals:
    void sig_changeCard(int nId);
    void sig_deleteCard(CCardProgramWidget *pThis);
    void sig_takeScene(int nTake);

public slots:
    void slot_getZNewCardId();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private slots:
    void slot_showMenu(const QPoint &pos);

private:
    void setMenu();
    // The hover frame follows where the cursor is now: a popup menu, a box or a dialog the card
    // raised may have taken the leave the card would have had.
    void recheckHover();
    void initCtrl();
    void initLabelCtrl();
    int askNewCardId();
    void updateOwnerLayout();
    void updateOwnerTakeStatus(int nTake);
    // Recalls the scene after the operator agreed (rename of a scene not shown).
    void recallForRename();
    // Asks whether to recall a scene that is not shown; false when the card
    // is gone or the answer is not OK.
    bool askRecall(bool bTranslated);
    // Says that what was chosen on the card of scene nId was not done: the card went meanwhile.
    static void sceneGone(int nId);
    bool isSceneTaken();
    void openNameEditor();
    // False when the name was refused (the operator was told; the editor is left as it is).
    bool commitName();
    void storeNewScene(bool bZFamily);

    Ui::CardProgramWidget *ui;
    bool m_bSelect = false;
    bool m_bUse = false;
    bool m_bEnter = false;
    bool m_bAsking = false; // a question about the rename is open
    bool m_bCommitting = false; // the name is being committed: the editor is on its way out
    QColor m_crSelect;
    QColor m_crLeave;
    int m_nId = 0;
    QString m_strName;
    QPushButton *m_pBtnAdd = nullptr;
    CRollLabel *m_pLabelName = nullptr;
    QLineEdit *m_pEditName = nullptr;
    QString m_strSerial;
    int m_nTake = 0;
    int m_nSceneMax = 0;
    QPointer<CProgramListWidget> m_pOwner;
    QString m_strFamily; // the family of the strip the card was taken off
};

#endif // CARDPROGRAMWIDGET_H
