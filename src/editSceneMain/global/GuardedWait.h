#ifndef GUARDEDWAIT_H
#define GUARDEDWAIT_H

// A nested wait on behalf of a handler of the editor.
//
// A question, a notice, a modal dialog or a menu runs an event loop of its own, and the program
// goes on inside it: device replies are handled and objects freed with deleteLater are deleted.
// The scene, layer, card or panel a handler was working on may therefore be gone when the wait
// returns. A handler names what it holds, waits through this class, and asks alive() before it
// touches any of it again; when something went, it stops at once.
//
//   CGuardedWait wait{pScene, pLayer};
//   const bool bYes = wait.confirm(tr("..."), tr("..."), tr("确定"), tr("取消"));
//   if (!wait.alive())
//       return; // the scene or the layer went while the box was open
//
// A handler that calls something which may wait (a mouse tool, a hub topic answered with a box)
// wraps that call in run(), which tells it whether everything named outlived the call.
//
// The recall question of a scene the device is not showing is asked here as well
// (recallScene): the device serial and scene id it sends are taken before the box opens.

#include <QList>
#include <QPointer>
#include <QString>

#include <initializer_list>
#include <utility>

class QAction;
class QDialog;
class QMenu;
class QObject;
class QPoint;

class CGuardedWait
{
public:
    CGuardedWait(std::initializer_list<QObject *> listGuarded);

    // Names one more object; null is ignored.
    void guard(QObject *pObject);
    // Every named object still exists.
    bool alive() const;

    // ---- the waits; after each, alive() tells whether the handler may go on
    // The question box (BesMessageBox::question): true only when the operator answered OK and
    // everything named outlived the box.
    bool confirm(const QString &strTitle, const QString &strText, const QString &strYes = QString(),
                 const QString &strNo = QString(), bool bShowIcon = true, bool bWordWrap = false);
    // The operator answered the last question OK, whether or not everything named outlived it: a
    // handler whose object went says the choice was not carried out.
    bool answeredYes() const { return m_bAnsweredYes; }
    // The notices of BesMessageBox; both return alive().
    bool information(const QString &strTitle, const QString &strText, bool bWordWrap = false);
    bool tipInfor(const QString &strTitle, const QString &strText, bool bWordWrap = false);
    // A modal dialog run to its end: its result, or QDialog::Rejected when something named went.
    int exec(QDialog &dialog);
    // A menu: the chosen action, or null when none was chosen or something named went.
    QAction *exec(QMenu &menu, const QPoint &ptGlobal);
    // Any other call that may wait; returns alive().
    template <typename Fn>
    bool run(Fn &&fnWait)
    {
        std::forward<Fn>(fnWait)();
        return alive();
    }

    // ---- the recall question
    // Asks, in the caller's words, whether the scene with that device scene id is to be shown
    // now. On OK, and only while everything named is still there, the device with that serial is
    // told to recall it ("场景操作" [id], write, sub 20) and "slot_setTakeScene" and
    // "slot_updateLayoutTakeStatus" (its serial form, for that device's strip) announce it. True
    // when the recall was sent.
    bool recallScene(const QString &strSerial, int nSceneId, const QString &strTitle, const QString &strText,
                     const QString &strYes, const QString &strNo, bool bShowIcon = true, bool bWordWrap = false);

private:
    QList<QPointer<QObject>> m_listGuarded;
    bool m_bAnsweredYes = false;
};

#endif // GUARDEDWAIT_H
