#include "TestMain.h"

#include <QAction>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <cstdlib>

#include "iconhelper.h"
#include "kitconfig.h"
#include "kitinputbox.h"
#include "kitmessagebox.h"
#include "kitwidget.h"

// Set while a step must not end the program: ending it then fails the run.
static bool g_bMustStayAlive = false;
static void failIfEndedEarly()
{
    if (g_bMustStayAlive) {
        fprintf(stderr, "the program ended while a toolkit dialog closed\n");
        _Exit(3);
    }
}

static void mouse(QWidget *pTarget, QEvent::Type type, const QPoint &global,
                  Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent ev(type, pTarget->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(pTarget, &ev);
}

static QImage iconImage(QToolButton *pBtn)
{
    return pBtn->icon().pixmap(pBtn->iconSize()).toImage().convertToFormat(QImage::Format_ARGB32);
}

static QImage asImage(const QPixmap &pix)
{
    return pix.toImage().convertToFormat(QImage::Format_ARGB32);
}

class TestKitWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        std::atexit(failIfEndedEarly);
    }

    void startState()
    {
        KitWidget w;
        QCOMPARE(w.getTitle(), QString("Kit Demo"));
        QCOMPARE(w.getLabTitle()->text(), QString());
        QCOMPARE(w.windowTitle(), QString());
        w.setTitle("Kit Demo");
        QCOMPARE(w.getLabTitle()->text(), QString());
        w.setTitle("设备");
        QCOMPARE(w.getLabTitle()->text(), QString("设备"));
        QCOMPARE(w.windowTitle(), QString("设备"));
        QCOMPARE(w.property("title").toString(), QString("设备"));

        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(w.getLabIco()->text(), QString(KitConfig::IconMain));
        QCOMPARE(w.getBtnMenuMax()->text(), QString(KitConfig::IconNormal));
        QCOMPARE(w.getBtnMenuMClose()->text(), QString(KitConfig::IconClose));
        QVERIFY(w.getBtnMenu()->isHidden());
        QCOMPARE(w.sizeHint(), QSize(600, 450));
        QCOMPARE(w.minimumSizeHint(), QSize(200, 150));
    }

    void styleMenu()
    {
        KitWidget w;
        const QList<QAction *> actions = w.getBtnMenu()->actions();
        QCOMPARE(actions.count(), 13);
        QCOMPARE(actions.first()->text(), QString("银色"));
        QCOMPARE(actions.last()->text(), QString("白色扁平"));

        QSignalSpy spy(&w, QOverload<const QString &>::of(&KitWidget::changeStyle));
        actions.at(3)->trigger();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString(":/qss/darkblue.css"));
        QFile file(":/res/res/qss/darkblue.css");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(qApp->styleSheet(), QString::fromLatin1(file.readAll()));

        // A choice that names no style applies nothing and announces blue.
        qApp->setStyleSheet(QString());
        QMetaObject::invokeMethod(&w, "changeStyle");
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toString(), QString(":/qss/blue.css"));
        QCOMPARE(qApp->styleSheet(), QString());
    }

    void dragging()
    {
        KitWidget w;
        w.setGeometry(100, 100, 400, 300);
        w.show();
        QWidget *pTitle = w.findChild<QWidget *>("widgetTitle");
        QVERIFY(pTitle);
        const QPoint start = w.pos() + QPoint(60, 10);

        mouse(pTitle, QEvent::MouseButtonPress, start, Qt::MiddleButton, Qt::MiddleButton);
        mouse(pTitle, QEvent::MouseMove, start + QPoint(40, 30), Qt::NoButton, Qt::MiddleButton);
        QCOMPARE(w.pos(), QPoint(100, 100));
        mouse(pTitle, QEvent::MouseButtonRelease, start, Qt::MiddleButton, Qt::NoButton);

        mouse(pTitle, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        mouse(pTitle, QEvent::MouseMove, start + QPoint(40, 30), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(w.pos(), QPoint(140, 130));
        mouse(pTitle, QEvent::MouseButtonRelease, start, Qt::RightButton, Qt::NoButton);
        mouse(pTitle, QEvent::MouseMove, start + QPoint(90, 90), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(w.pos(), QPoint(140, 130));
    }

    void maximiseAndRestore()
    {
        KitWidget w;
        w.setGeometry(50, 60, 300, 200);
        w.show();
        const QRect normal = w.geometry();
        const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();

        w.getBtnMenuMax()->click();
        QCOMPARE(w.geometry(), desk);
        QCOMPARE(w.getBtnMenuMax()->text(), QString(KitConfig::IconMax));

        // No dragging while maximised.
        const QPoint start = w.pos() + QPoint(60, 10);
        mouse(&w, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        mouse(&w, QEvent::MouseMove, start + QPoint(20, 20), Qt::NoButton, Qt::LeftButton);
        mouse(&w, QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(w.geometry(), desk);

        // A double click restores, as the button does.
        mouse(&w, QEvent::MouseButtonDblClick, start, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(w.geometry(), normal);
        QCOMPARE(w.getBtnMenuMax()->text(), QString(KitConfig::IconNormal));

        // Without the maximise button a double click does nothing.
        w.setOnlyCloseBtn();
        mouse(&w, QEvent::MouseButtonDblClick, start, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(w.geometry(), normal);
    }

    void mainWidgetOnce()
    {
        KitWidget w;
        QWidget *pFirst = new QWidget;
        pFirst->resize(320, 200);
        w.setMainWidget(pFirst);
        QCOMPARE(pFirst->parentWidget(), w.findChild<QWidget *>("widget"));
        const QSize size = w.size();
        QCOMPARE(size.width(), 320);

        QWidget *pSecond = new QWidget(&w);
        pSecond->resize(500, 500);
        w.setMainWidget(pSecond);
        QCOMPARE(w.size(), size);
        QCOMPARE(pFirst->parentWidget(), w.findChild<QWidget *>("widget"));
    }

    void minimiseHides()
    {
        KitWidget w;
        w.show();
        w.setMinHide(true);
        w.getBtnMenuMin()->click();
        QVERIFY(!w.isVisible());
    }

    void closeLeavesTheProgramRunning()
    {
        QWidget other;
        other.show();
        KitWidget w;
        w.show();
        QSignalSpy closing(&w, &KitWidget::closing);
        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
        g_bMustStayAlive = true;
        w.getBtnMenuMClose()->click();
        QCoreApplication::processEvents();
        g_bMustStayAlive = false;
        QCOMPARE(closing.count(), 1);
        QVERIFY(!w.isVisible());
        QVERIFY(other.isVisible());
        QCOMPARE(quitting.count(), 0);
    }

    void mainGlyphReachesTheSharedBoxes()
    {
        const QChar old = KitConfig::IconMain;
        KitWidget w;
        w.setIconMain(QChar(0xF013), 12);
        QCOMPARE(KitConfig::IconMain, QChar(0xF013));
        QCOMPARE(w.getLabIco()->text(), QString(QChar(0xF013)));
        QCOMPARE(KitMessageBox::Instance()->findChild<QLabel *>("labIco")->text(),
                 QString(QChar(0xF013)));
        QCOMPARE(KitInputBox::Instance()->findChild<QLabel *>("labIco")->text(),
                 QString(QChar(0xF013)));
        w.setIcon(KitWidget::Lab_Ico, old, 11);
        QCOMPARE(KitConfig::IconMain, old);

        const QChar oldMenu = KitConfig::IconMenu;
        w.setIcon(KitWidget::BtnMenu, QChar(0xF0C9));
        QCOMPARE(w.getBtnMenu()->text(), QString(QChar(0xF0C9)));
        QCOMPARE(KitConfig::IconMenu, QChar(0xF0C9));
        KitConfig::IconMenu = oldMenu;
    }

    // ---- icon font glyphs ----

    void glyphPixels()
    {
        IconHelper *pHelper = IconHelper::Instance();
        QVERIFY(QFontDatabase().families().contains("FontAwesome"));

        // The close cross: arms at the corners, open between them.
        const QImage cross = asImage(pHelper->getPixmap("#FF0000", QChar(0xF00D), 20, 32, 32));
        QCOMPARE(cross.size(), QSize(32, 32));
        for (const QPoint &p : {QPoint(10, 11), QPoint(21, 11), QPoint(16, 17), QPoint(10, 23)}) {
            const QRgb px = cross.pixel(p);
            QVERIFY2(qAlpha(px) > 200 && qRed(px) > 200 && qGreen(px) < 60,
                     qPrintable(QString("(%1,%2)").arg(p.x()).arg(p.y())));
        }
        for (const QPoint &p : {QPoint(16, 9), QPoint(2, 2), QPoint(16, 28), QPoint(10, 17)})
            QCOMPARE(qAlpha(cross.pixel(p)), 0);

        // The minus: a bar through the middle only.
        const QImage minus = asImage(pHelper->getPixmap("#0000FF", QChar(0xF068), 20, 32, 32));
        QVERIFY(qAlpha(minus.pixel(16, 15)) > 200 && qBlue(minus.pixel(16, 15)) > 200);
        QCOMPARE(qAlpha(minus.pixel(10, 11)), 0);
        QCOMPARE(qAlpha(minus.pixel(16, 22)), 0);
    }

    void navigationButtons()
    {
        QWidget bar;
        bar.setObjectName("nav");
        QToolButton *pA = new QToolButton(&bar);
        QToolButton *pB = new QToolButton(&bar);
        pB->setCheckable(true);
        IconHelper *pHelper = IconHelper::Instance();

        // Lists of different lengths, or empty ones, change nothing.
        pHelper->setStyle(&bar, {pA, pB}, {0xF015}, 12, 20, 20);
        pHelper->setStyle(&bar, QList<QToolButton *>(), QList<int>());
        QCOMPARE(bar.styleSheet(), QString());
        QVERIFY(pA->icon().isNull());
        QVERIFY(pHelper->getPixmap(pA, true).isNull());

        pHelper->setStyle(&bar, {pA, pB}, {0xF015, 0xF013}, 12, 20, 20, "top", 2, "#112233",
                          "#000001", "#000002", "#AABBCC", "#DDEEFF");
        const QString qss = bar.styleSheet();
        QVERIFY(qss.startsWith("QWidget[flag=\"top\"] QAbstractButton{border-style:none;"
                               "border-radius:0px;padding:5px;color:#AABBCC;background:#000001;}"));
        QVERIFY(qss.contains("border-style:solid;border-width:2px 0px 0px 0px;"
                             "padding:2px 4px 4px 4px;border-color:#112233;"));
        QVERIFY(qss.contains("QWidget#nav{background:#000001;}"));
        QVERIFY(qss.endsWith("QToolButton:hover,QToolButton:pressed,QToolButton:checked{"
                             "background-color:#000002;color:#DDEEFF;}"));
        QCOMPARE(pA->iconSize(), QSize(20, 20));

        const QImage normal = asImage(pHelper->getPixmap(pB, true));
        const QImage dark = asImage(pHelper->getPixmap(pB, false));
        QVERIFY(normal != dark);
        QCOMPARE(iconImage(pB), normal);

        QEvent enter(QEvent::Enter), leave(QEvent::Leave);
        QApplication::sendEvent(pB, &enter);
        QCOMPARE(iconImage(pB), dark);
        pB->setChecked(true);
        QApplication::sendEvent(pB, &leave);
        QCOMPARE(iconImage(pB), dark);
        pB->setChecked(false);
        QCOMPARE(iconImage(pB), dark); // until the next enter or leave
        QApplication::sendEvent(pB, &leave);
        QCOMPARE(iconImage(pB), normal);

        // A border type outside the four sides gives no border fragment.
        QWidget other;
        IconHelper::setStyle(&other, "middle", 3);
        QVERIFY(other.styleSheet().contains("{border-style:solid;border-color:"));
    }

    void destroyedButtonsAreForgotten()
    {
        IconHelper *pHelper = IconHelper::Instance();
        QFrame frame;
        const int before = pHelper->registeredCount();
        QToolButton *pBtn = new QToolButton(&frame);
        pHelper->setStyle(&frame, {pBtn, pBtn}, {0xF015, 0xF013});
        QCOMPARE(pHelper->registeredCount(), before + 2);
        QVERIFY(frame.styleSheet().startsWith("QToolButton{border-width:0px;}"));
        delete pBtn;
        QCOMPARE(pHelper->registeredCount(), before);

        QToolButton *pFresh = new QToolButton(&frame);
        QVERIFY(pHelper->getPixmap(pFresh, true).isNull());
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(pFresh, &enter);
        QVERIFY(pFresh->icon().isNull());
    }
};

VISTEL_TEST_MAIN(TestKitWidget)
#include "tst_kitwidget.moc"
