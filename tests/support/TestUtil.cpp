#include "TestUtil.h"

#include <QCoreApplication>

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

}
