#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication a(argc, argv);
    QMainWindow w;
    w.show();
    return a.exec();
}
