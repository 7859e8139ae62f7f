// The console's start (g_startConsole) sets the application style sheet before it builds the
// device list window: the window and the Tarn frame must look exactly as when the sheet is
// applied to the built, shown window.
#include "TestMain.h"

#include "ConsoleStart.h"
#include "EditSceneMain.h"
#include "QorGlobal.h"
#include "SimTestUtil.h"
#include "mainwindow.h"

#include <QFile>

#include <memory>

namespace {

QString appStyleSheet()
{
    QFile file(GlobalSpace::STYLE_QSS_FILE_PATH);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The window and its Tarn frame as they are shown (of the frame its work area: the status bar
// shows the machine's load).
struct Looks
{
    QImage window;
    QImage frame;
};

void takeLooks(MainWindow *pWindow, Looks &looks)
{
    QVERIFY(QTest::qWaitForWindowExposed(pWindow));
    QTest::qWait(200);
    looks.window = pWindow->grab().toImage();
    CEditSceneMain *pFrame = pWindow->editSceneMain();
    QVERIFY(pFrame);
    // At the size a full HD screen gives it: where the screen is too small for that the frame
    // opens at its minimum size, which a sheet set after the frame was built leaves larger.
    pFrame->resize(1280, 720);
    pFrame->show();
    QVERIFY(QTest::qWaitForWindowExposed(pFrame));
    QTest::qWait(200); // the posted layout requests
    QWidget *pWorkArea = pFrame->findChild<QWidget *>(QStringLiteral("centralwidget"));
    QVERIFY(pWorkArea);
    looks.frame = pWorkArea->grab().toImage();
    pFrame->hide();
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        MainWindow::setDiscoveryPort(SimTest::freeUdpPort(), QHostAddress(QHostAddress::LocalHost));
        MainWindow::setSerialPortLister([]() { return QStringList(); });
    }
    void cleanup()
    {
        qApp->setStyleSheet(QString());
        QFile::remove(QStringLiteral("Morvane.ini"));
    }

    void styledAsWhenTheSheetComesLast()
    {
        const QString strSheet = appStyleSheet();
        QVERIFY(!strSheet.isEmpty());

        Looks started;
        {
            std::unique_ptr<MainWindow> pWindow(g_startConsole(*qApp));
            QCOMPARE(qApp->styleSheet(), strSheet);
            QVERIFY(pWindow->isVisible());
            takeLooks(pWindow.get(), started);
        }
        qApp->setStyleSheet(QString());

        Looks late;
        {
            std::unique_ptr<MainWindow> pWindow(new MainWindow);
            pWindow->show();
            qApp->setStyleSheet(strSheet);
            takeLooks(pWindow.get(), late);
        }

        QVERIFY(!started.window.isNull() && !started.frame.isNull());
        QCOMPARE(started.window, late.window);
        QCOMPARE(started.frame, late.frame);
    }
};

VISTEL_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
