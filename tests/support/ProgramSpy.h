#ifndef PROGRAMSPY_H
#define PROGRAMSPY_H

// CProgramSpy - stands in for the canvas, the source panel and the Z settings page towards the
// scene list, its cards and the play window: records what they notify, in order, and answers
// "slot_isTakeScene" from a taken scene id of its own.
//
//   CProgramSpy spy;
//   spy.nTaken = 2;                         // the canvas shows scene 2
//   ... card->renameScene() ...
//   spy.cmds;                               // every "slot_setDeviceCmd", in order
//   spy.events;                             // "topic(args)" texts, e.g. "slot_setTakeScene(3)"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>

class CCardProgramWidget;
class CProgramListWidget;

struct CSpyCmd
{
    QString serial, name;
    QByteArray payload;
    int rw = 0, sub = 0;
};

class CProgramSpy : public QObject
{
    Q_OBJECT
public:
    CProgramSpy();
    ~CProgramSpy() override;

    QList<CSpyCmd> cmds;
    QStringList events;
    int nTaken = -1;      // answer of "slot_isTakeScene": the id counts as taken when equal
    int nMonitorCount = 0;

    // Commands of one name, in order.
    QList<CSpyCmd> cmdsNamed(const QString &strName) const;
    // Events whose text starts with the topic name.
    QStringList eventsOf(const QString &strTopic) const;
    void clear();

public slots:
    void slot_setDeviceCmd(QString strSerial, QString strName, QByteArray &data, int nRw, int nSub);
    void slot_changeCanvasScene(int nId);
    void slot_setTakeScene(int nId);
    void slot_isTakeScene(int nId, bool &bTaken);
    void slot_createCanvasScene(QString strName);
    void slot_changeCavasSceneName(QString strName);
    void slot_IsZReflash(bool bReflash);
    void slot_IsZReflash(bool bReflash, QString strSerial);
    void slot_setZDeviceScenepreview(int nId);
    void slot_setZDeviceSceneTake(int nId);
    void slot_WaitupdateCurrentZDeviceDate();
    void slot_play();
    void slot_stop();
    void slot_activateMain(bool bIsMin);
    void slot_monitor(QPixmap pixmap);
};

// Cards of a strip, as the operator sees them.
namespace ProgramTest {
QList<int> usedIds(const CProgramListWidget &strip);      // ids of the used cards, in order
CCardProgramWidget *card(const CProgramListWidget &strip, int nId);
CCardProgramWidget *addCard(const CProgramListWidget &strip);
// Chooses a context menu entry of a card (by its text) without running the menu.
bool chooseEntry(CCardProgramWidget *pCard, const QString &strText);
}

#endif // PROGRAMSPY_H
