#include "ProgramSpy.h"

#include <QMenu>
#include <QScopedPointer>

#include "CardProgramWidget.h"
#include "ProgramListWidget.h"
#include "globalObserver.h"

namespace {
const char *const kTopics[] = {"slot_setDeviceCmd",       "slot_changeCanvasScene",     "slot_setTakeScene",
                               "slot_isTakeScene",        "slot_createCanvasScene",     "slot_changeCavasSceneName",
                               "slot_IsZReflash",         "slot_setZDeviceScenepreview", "slot_setZDeviceSceneTake",
                               "slot_WaitupdateCurrentZDeviceDate", "slot_play",      "slot_stop",
                               "slot_activateMain",       "slot_monitor"};
}

CProgramSpy::CProgramSpy()
{
    for (const char *pszTopic : kTopics)
        globalObserver::getGlobalObserver()->attach(pszTopic, this, pszTopic);
}

CProgramSpy::~CProgramSpy()
{
    for (const char *pszTopic : kTopics)
        globalObserver::getGlobalObserver()->detach(pszTopic, this);
}

QList<CSpyCmd> CProgramSpy::cmdsNamed(const QString &strName) const
{
    QList<CSpyCmd> list;
    for (const CSpyCmd &c : cmds)
        if (c.name == strName)
            list.append(c);
    return list;
}

QStringList CProgramSpy::eventsOf(const QString &strTopic) const
{
    QStringList list;
    for (const QString &e : events)
        if (e.startsWith(strTopic + "("))
            list.append(e);
    return list;
}

void CProgramSpy::clear()
{
    cmds.clear();
    events.clear();
    nMonitorCount = 0;
}

void CProgramSpy::slot_setDeviceCmd(QString strSerial, QString strName, QByteArray &data, int nRw, int nSub)
{
    cmds.append({strSerial, strName, data, nRw, nSub});
    events << QString("slot_setDeviceCmd(%1,%2,%3,%4,%5)")
                  .arg(strSerial, strName, QString::fromLatin1(data.toHex(' ')))
                  .arg(nRw)
                  .arg(nSub);
}

void CProgramSpy::slot_changeCanvasScene(int nId) { events << QString("slot_changeCanvasScene(%1)").arg(nId); }
void CProgramSpy::slot_setTakeScene(int nId) { events << QString("slot_setTakeScene(%1)").arg(nId); }

void CProgramSpy::slot_isTakeScene(int nId, bool &bTaken)
{
    bTaken = (nId == nTaken);
    events << QString("slot_isTakeScene(%1)").arg(nId);
}

void CProgramSpy::slot_createCanvasScene(QString strName) { events << QString("slot_createCanvasScene(%1)").arg(strName); }
void CProgramSpy::slot_changeCavasSceneName(QString strName)
{
    events << QString("slot_changeCavasSceneName(%1)").arg(strName);
}
void CProgramSpy::slot_IsZReflash(bool bReflash) { events << QString("slot_IsZReflash(%1)").arg(bReflash ? "true" : "false"); }
void CProgramSpy::slot_IsZReflash(bool bReflash, QString strSerial)
{
    events << QString("slot_IsZReflash(%1, %2)").arg(bReflash ? "true" : "false", strSerial);
}
void CProgramSpy::slot_setZDeviceScenepreview(int nId) { events << QString("slot_setZDeviceScenepreview(%1)").arg(nId); }
void CProgramSpy::slot_setZDeviceSceneTake(int nId) { events << QString("slot_setZDeviceSceneTake(%1)").arg(nId); }
void CProgramSpy::slot_WaitupdateCurrentZDeviceDate() { events << "slot_WaitupdateCurrentZDeviceDate()"; }
void CProgramSpy::slot_play() { events << "slot_play()"; }
void CProgramSpy::slot_stop() { events << "slot_stop()"; }
void CProgramSpy::slot_activateMain(bool bIsMin) { events << QString("slot_activateMain(%1)").arg(bIsMin ? "true" : "false"); }
void CProgramSpy::slot_monitor(QPixmap) { ++nMonitorCount; }

QList<int> ProgramTest::usedIds(const CProgramListWidget &strip)
{
    QList<int> ids;
    for (CCardProgramWidget *c : strip.cards())
        if (c->checkCardIsUse())
            ids << c->getCardId();
    return ids;
}

CCardProgramWidget *ProgramTest::card(const CProgramListWidget &strip, int nId)
{
    for (CCardProgramWidget *c : strip.cards())
        if (c->checkCardIsUse() && c->getCardId() == nId)
            return c;
    return nullptr;
}

CCardProgramWidget *ProgramTest::addCard(const CProgramListWidget &strip)
{
    for (CCardProgramWidget *c : strip.cards())
        if (!c->checkCardIsUse())
            return c;
    return nullptr;
}

bool ProgramTest::chooseEntry(CCardProgramWidget *pCard, const QString &strText)
{
    QScopedPointer<QMenu> pMenu(pCard ? pCard->createMenu() : nullptr);
    if (!pMenu)
        return false;
    for (QAction *a : pMenu->actions()) {
        if (a->text() == strText) {
            a->trigger();
            return true;
        }
    }
    return false;
}
