#include "ConsoleStart.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    g_prepareConsoleApplication();
    auto *pApp = new QApplication(argc, argv);
    MainWindow *pWindow = g_startConsole(*pApp);

    const int nRet = pApp->exec();
    delete pWindow;
    delete pApp;
    return nRet;
}
