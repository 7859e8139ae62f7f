#ifndef TESTUTIL_H
#define TESTUTIL_H

#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace TestUtil {
// The build folder (where the program, the .qm files and the tools are).
QString buildDir();
// The checkout's root folder.
QString sourceDir();
// Replaces the text of a line edit or spin box as an operator does: select all, erase, type
// key by key (the field's validator sees each keystroke). The edit is not completed: follow
// with Return or a focus change.
void retype(QWidget *pField, const QString &strText);
// Runs fnLook on the next modal dialog as soon as it is up, then closes it.
void lookAtNextModal(std::function<void(QWidget *)> fnLook);
// The message boxes shown so far (as recorded for tests) of that kind whose text contains
// strText, and of that title when one is given.
int said(const QString &strKind, const QString &strText = QString(), const QString &strTitle = QString());
// The message boxes on the screen now whose text contains strText.
QList<QWidget *> shownBoxes(const QString &strText = QString());

// The program's own style sheet, in force for the application while this lives.
class CProgramStyle
{
public:
    CProgramStyle();
    ~CProgramStyle();
    CProgramStyle(const CProgramStyle &) = delete;
    CProgramStyle &operator=(const CProgramStyle &) = delete;
};
}

#endif // TESTUTIL_H
