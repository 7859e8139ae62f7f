#include "TestUtil.h"

#include <QAbstractSpinBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QtTest>

namespace TestUtil {

QString buildDir()
{
    const QString dir = qEnvironmentVariable("VISTEL_BUILD_DIR");
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() + "/.." : dir;
}

QString sourceDir()
{
    return qEnvironmentVariable("VISTEL_SOURCE_DIR");
}

void retype(QWidget *pField, const QString &strText)
{
    if (auto *pEdit = qobject_cast<QLineEdit *>(pField))
        pEdit->selectAll();
    else if (auto *pSpin = qobject_cast<QAbstractSpinBox *>(pField))
        pSpin->selectAll();
    QTest::keyClick(pField, Qt::Key_Backspace);
    QTest::keyClicks(pField, strText);
}

}
