#include "TestUtil.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include "BesMessageBox.h"

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

int said(const QString &strKind, const QString &strText, const QString &strTitle)
{
    int n = 0;
    for (const BesMessageRecord &r : BesMessageBox::testRecords())
        n += r.kind == strKind && r.text.contains(strText) && (strTitle.isEmpty() || r.title == strTitle) ? 1 : 0;
    return n;
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

QList<QWidget *> shownBoxes(const QString &strText)
{
    QList<QWidget *> list;
    for (QWidget *pBox : QApplication::topLevelWidgets()) {
        QLabel *pText = pBox->isVisible() && pBox->inherits("BesFramelessDialog")
                            ? pBox->findChild<QLabel *>(QStringLiteral("labelMessageContent")) : nullptr;
        if (pText && pText->text().contains(strText))
            list << pBox;
    }
    return list;
}

void lookAtNextModal(std::function<void(QWidget *)> fnLook)
{
    QTimer::singleShot(0, [fnLook] {
        if (QWidget *pModal = QApplication::activeModalWidget()) {
            fnLook(pModal);
            pModal->close();
        }
    });
}

CProgramStyle::CProgramStyle()
{
    QFile qss(QStringLiteral(":/res/res/stylesheet/stylesheet.qss"));
    if (qss.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(QString::fromUtf8(qss.readAll()));
}

CProgramStyle::~CProgramStyle()
{
    qApp->setStyleSheet(QString());
}

}
