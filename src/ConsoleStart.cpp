#include "ConsoleStart.h"

#include "FontSubstitution.h"
#include "QorGlobal.h"
#include "mainwindow.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>

void g_prepareConsoleApplication()
{
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "1");
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Unset);
}

MainWindow *g_startConsole(QApplication &app)
{
    // The forms and style sheets name Windows fonts; map them to an installed
    // CJK font before any window is built.
    g_installFontSubstitutions();

    qInfo().noquote() << QStringLiteral("[%1]: ")
                                 .arg(QDateTime::currentDateTime().toString(
                                     QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                             + QStringLiteral("/********** 软件启动 **********/");

    // The style sheet is in force before the window is built: the windows are
    // then styled once, when they are first polished, where a sheet set on a
    // built window restyles every widget it has again. Nothing is painted
    // before the event loop runs, so the window looks the same either way.
    QFile qss(GlobalSpace::STYLE_QSS_FILE_PATH);
    if (qss.open(QFile::ReadOnly)) {
        app.setStyleSheet(QString::fromUtf8(qss.readAll()));
        qss.close();
    }

    auto *pWindow = new MainWindow(nullptr);
    pWindow->show();
    return pWindow;
}
