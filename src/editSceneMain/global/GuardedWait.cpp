#include "GuardedWait.h"

#include <QByteArray>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>

#include <algorithm>

#include "BesMessageBox.h"
#include "globalObserver.h"

CGuardedWait::CGuardedWait(std::initializer_list<QObject *> listGuarded)
{
    for (QObject *pObject : listGuarded)
        guard(pObject);
}

void CGuardedWait::guard(QObject *pObject)
{
    if (pObject)
        m_listGuarded.append(QPointer<QObject>(pObject));
}

bool CGuardedWait::alive() const
{
    return std::all_of(m_listGuarded.cbegin(), m_listGuarded.cend(),
                       [](const QPointer<QObject> &p) { return !p.isNull(); });
}

bool CGuardedWait::confirm(const QString &strTitle, const QString &strText, const QString &strYes,
                           const QString &strNo, bool bShowIcon, bool bWordWrap)
{
    const int nAnswer = BesMessageBox::question(strTitle, strText, strYes, strNo, bShowIcon, bWordWrap);
    m_bAnsweredYes = nAnswer == QMessageBox::Ok;
    return alive() && m_bAnsweredYes;
}

bool CGuardedWait::information(const QString &strTitle, const QString &strText, bool bWordWrap)
{
    BesMessageBox::information(strTitle, strText, bWordWrap);
    return alive();
}

bool CGuardedWait::tipInfor(const QString &strTitle, const QString &strText, bool bWordWrap)
{
    BesMessageBox::tipInfor(strTitle, strText, bWordWrap);
    return alive();
}

int CGuardedWait::exec(QDialog &dialog)
{
    const int nResult = dialog.exec();
    return alive() ? nResult : int(QDialog::Rejected);
}

QAction *CGuardedWait::exec(QMenu &menu, const QPoint &ptGlobal)
{
    QAction *pChosen = menu.exec(ptGlobal);
    return alive() ? pChosen : nullptr;
}

bool CGuardedWait::recallScene(const QString &strSerial, int nSceneId, const QString &strTitle,
                               const QString &strText, const QString &strYes, const QString &strNo, bool bShowIcon,
                               bool bWordWrap)
{
    // Copies: the box may outlive whatever the caller took them from.
    QString strDevice = strSerial;
    int nScene = nSceneId;
    if (!confirm(strTitle, strText, strYes, strNo, bShowIcon, bWordWrap))
        return false;
    globalObserver *pHub = globalObserver::getGlobalObserver();
    QString strCmd = QStringLiteral("场景操作");
    QByteArray payload(1, char(nScene & 0xFF));
    int nWrite = 2;
    int nSub = 20;
    pHub->notify(QStringLiteral("slot_setDeviceCmd"), Q_ARG(QString, strDevice), Q_ARG(QString, strCmd),
                 Q_ARG(QByteArray &, payload), Q_ARG(int, nWrite), Q_ARG(int, nSub));
    pHub->notify(QStringLiteral("slot_setTakeScene"), Q_ARG(int, nScene));
    // The serial form: only the strip of the device that recalled follows.
    pHub->notify(QStringLiteral("slot_updateLayoutTakeStatus"), Q_ARG(int, nScene), Q_ARG(QString, strDevice));
    return true;
}
