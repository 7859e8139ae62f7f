#include "TestUtil.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

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

void lookAtNextModal(std::function<void(QWidget *)> fnLook)
{
    QTimer::singleShot(0, [fnLook] {
        if (QWidget *pModal = QApplication::activeModalWidget()) {
            fnLook(pModal);
            pModal->close();
        }
    });
}

}
