#ifndef CONSOLESTART_H
#define CONSOLESTART_H

class MainWindow;
class QApplication;

// The program's start, shared by the entry point and the start-up benchmark
// so that the benchmark measures what the program does.

// Before the application object is made: high-DPI handling.
void g_prepareConsoleApplication();

// With the application object made: font substitutions, the start line of the
// log, the application style sheet, then the device list window built and
// shown. The caller runs the event loop and deletes the window afterwards.
MainWindow *g_startConsole(QApplication &app);

#endif // CONSOLESTART_H
