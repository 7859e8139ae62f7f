#ifndef TESTMAIN_H
#define TESTMAIN_H

// Shared entry for the test executables: one QApplication, offscreen unless the
// caller chose a platform, and the console's start-up font substitutions. The
// offscreen screen is 800 x 600: the editor frames fit into a desktop's area instead.
#include <QApplication>
#include <QtTest>

#include "EditFrameBase.h"
#include "FontSubstitution.h"

#define VISTEL_TEST_MAIN(TestObject)                                   \
    int main(int argc, char *argv[])                                   \
    {                                                                  \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))            \
            qputenv("QT_QPA_PLATFORM", "offscreen");                   \
        QApplication app(argc, argv);                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                       \
        g_installFontSubstitutions();                                  \
        if (QGuiApplication::platformName() == QLatin1String("offscreen")) \
            CEditFrameBase::setScreenAreaOverride(QRect(0, 0, 1920, 1080)); \
        TestObject tc;                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                     \
        return QTest::qExec(&tc, argc, argv);                          \
    }

#endif // TESTMAIN_H
