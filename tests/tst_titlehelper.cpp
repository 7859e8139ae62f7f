#include "TestMain.h"

#include <QHoverEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

#include "TitleHelper.h"

// A top-level window that counts the presses it receives.
class CountingWindow : public QWidget
{
public:
    int m_nPresses = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        ++m_nPresses;
        QWidget::mousePressEvent(event);
    }
};

class TestTitleHelper : public QObject
{
    Q_OBJECT

    CountingWindow *m_pWin = nullptr;
    CTitleHelper *m_pHelper = nullptr;

    // Window-local to global positions from the window's geometry (the offscreen
    // platform does not always keep mapToGlobal in step with it).
    QPoint toGlobal(const QPoint &local) const { return local + m_pWin->geometry().topLeft(); }
    QPoint fromGlobal(const QPoint &global) const { return global - m_pWin->geometry().topLeft(); }

    // Mouse events at window-local positions, with matching global positions.
    void mouse(QEvent::Type type, const QPoint &local, Qt::MouseButton button,
               Qt::MouseButtons buttons)
    {
        const QPoint global = toGlobal(local);
        QMouseEvent ev(type, QPointF(local), QPointF(local), QPointF(global), button, buttons,
                       Qt::NoModifier);
        QApplication::sendEvent(m_pWin, &ev);
    }
    // A move by the given global travel from a press at a local point.
    void mouseMoveGlobal(const QPoint &global)
    {
        const QPoint local = fromGlobal(global);
        QMouseEvent ev(QEvent::MouseMove, QPointF(local), QPointF(local), QPointF(global),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_pWin, &ev);
    }
    void hover(const QPoint &local)
    {
        QHoverEvent ev(QEvent::HoverMove, QPointF(local), QPointF(local));
        QApplication::sendEvent(m_pWin, &ev);
    }
    // Press at a local point, drag by (dx, dy), release.
    void drag(const QPoint &local, int dx, int dy)
    {
        const QPoint global = toGlobal(local);
        mouse(QEvent::MouseButtonPress, local, Qt::LeftButton, Qt::LeftButton);
        mouseMoveGlobal(global + QPoint(dx / 2, dy / 2));
        mouseMoveGlobal(global + QPoint(dx, dy));
        const QPoint end = fromGlobal(global + QPoint(dx, dy));
        mouse(QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
    }

private slots:
    void init()
    {
        m_pWin = new CountingWindow;
        m_pHelper = new CTitleHelper(m_pWin, m_pWin);
        m_pWin->setGeometry(50, 60, 400, 300);
        m_pWin->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWin));
        QCOMPARE(m_pWin->geometry(), QRect(50, 60, 400, 300));
    }
    void cleanup()
    {
        delete m_pWin;
        m_pWin = nullptr;
    }

    void framelessAndTracking()
    {
        QCOMPARE(m_pWin->windowFlags() & Qt::FramelessWindowHint, Qt::FramelessWindowHint);
        QVERIFY(m_pWin->hasMouseTracking());
    }

    void noTitleBeforeHeightIsSet()
    {
        drag(QPoint(100, 10), 30, 20);
        QCOMPARE(m_pWin->geometry(), QRect(50, 60, 400, 300));
        QCOMPARE(m_pWin->m_nPresses, 1); // the press still reached the window
    }

    void moveByTitleAreaAndFixBounds()
    {
        m_pHelper->setTitleHeight(40);
        drag(QPoint(100, 20), 30, 25);
        // The bounds clipped to the screen's available area (offscreen: 800 x 600); the window
        // they made larger was moved back within the area before the drag moved it.
        const QRect rtRoom = m_pWin->screen()->availableGeometry();
        QCOMPARE(m_pWin->minimumSize(), QSize(1200, 800).boundedTo(rtRoom.size()));
        QCOMPARE(m_pWin->maximumSize(), QSize(1600, 1000).boundedTo(rtRoom.size()));
        const QPoint at(qMin(50, rtRoom.right() + 1 - m_pWin->width()), qMin(60, rtRoom.bottom() + 1 - m_pWin->height()));
        QCOMPARE(m_pWin->pos(), at + QPoint(30, 25));
        QCOMPARE(m_pWin->m_nPresses, 1);
        // A move no longer happens once the button is up.
        mouse(QEvent::MouseMove, QPoint(200, 20), Qt::NoButton, Qt::NoButton);
        QCOMPARE(m_pWin->pos(), at + QPoint(30, 25));
    }

    void pressNearEdgesStartsNoMove_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::newRow("left edge") << QPoint(2, 20);
        QTest::newRow("right edge") << QPoint(400 - 2, 20);
        QTest::newRow("top edge") << QPoint(100, 2);
        QTest::newRow("below title") << QPoint(100, 41);
    }
    void pressNearEdgesStartsNoMove()
    {
        QFETCH(QPoint, press);
        m_pHelper->setTitleHeight(40);
        const QRect before = m_pWin->geometry();
        drag(press, 30, 25);
        QCOMPARE(m_pWin->pos(), before.topLeft());
        QCOMPARE(m_pWin->minimumSize(), QSize(0, 0));
    }

    void maximisedWindowRestoresWhenDragged()
    {
        m_pHelper->setTitleHeight(40);
        m_pWin->showMaximized();
        QTRY_VERIFY(m_pWin->isMaximized());
        const QPoint global = toGlobal(QPoint(100, 20));
        mouse(QEvent::MouseButtonPress, QPoint(100, 20), Qt::LeftButton, Qt::LeftButton);
        mouseMoveGlobal(global + QPoint(10, 10));
        QVERIFY(!m_pWin->isMaximized());
        QCOMPARE(m_pWin->pos(), QPoint(60, 70));
    }

    void resizeAtBorders_data()
    {
        QTest::addColumn<QPoint>("grab");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::addColumn<QRect>("result");
        QTest::addColumn<int>("cursor");
        // window 50,60 400x300
        QTest::newRow("right") << QPoint(399, 150) << 40 << 7 << QRect(50, 60, 440, 300)
                               << int(Qt::SizeHorCursor);
        QTest::newRow("left") << QPoint(0, 150) << 40 << 7 << QRect(90, 60, 360, 300)
                              << int(Qt::SizeHorCursor);
        QTest::newRow("top") << QPoint(200, 1) << 9 << -20 << QRect(50, 40, 400, 320)
                             << int(Qt::SizeVerCursor);
        QTest::newRow("bottom") << QPoint(200, 299) << 9 << 20 << QRect(50, 60, 400, 320)
                                << int(Qt::SizeVerCursor);
        QTest::newRow("left top") << QPoint(1, 1) << -10 << -20 << QRect(40, 40, 410, 320)
                                  << int(Qt::SizeFDiagCursor);
        QTest::newRow("right top") << QPoint(399, 0) << 10 << 20 << QRect(50, 80, 410, 280)
                                   << int(Qt::SizeBDiagCursor);
        QTest::newRow("right bottom") << QPoint(398, 298) << 10 << 20 << QRect(50, 60, 410, 320)
                                      << int(Qt::SizeFDiagCursor);
        QTest::newRow("left bottom") << QPoint(2, 298) << 10 << 20 << QRect(60, 60, 390, 320)
                                     << int(Qt::SizeBDiagCursor);
    }
    void resizeAtBorders()
    {
        QFETCH(QPoint, grab);
        QFETCH(int, dx);
        QFETCH(int, dy);
        QFETCH(QRect, result);
        QFETCH(int, cursor);
        m_pHelper->setTitleHeight(40);
        hover(grab);
        QCOMPARE(int(m_pWin->cursor().shape()), cursor);
        drag(grab, dx, dy);
        QCOMPARE(m_pWin->geometry(), result);
        // Inside again: the default cursor comes back.
        hover(QPoint(200, 150));
        QCOMPARE(int(m_pWin->cursor().shape()), int(Qt::ArrowCursor));
    }

    void plainMoveAlsoFindsTheZone()
    {
        mouse(QEvent::MouseMove, QPoint(399, 150), Qt::NoButton, Qt::NoButton);
        drag(QPoint(399, 150), 25, 0);
        QCOMPARE(m_pWin->geometry(), QRect(50, 60, 425, 300));
    }

    void zoneStaysDuringResize()
    {
        hover(QPoint(399, 150));
        const QPoint global = toGlobal(QPoint(399, 150));
        mouse(QEvent::MouseButtonPress, QPoint(399, 150), Qt::LeftButton, Qt::LeftButton);
        hover(QPoint(200, 150)); // ignored while the button is held
        mouseMoveGlobal(global + QPoint(20, 0));
        QCOMPARE(m_pWin->width(), 420);
        mouse(QEvent::MouseButtonRelease, QPoint(419, 150), Qt::LeftButton, Qt::NoButton);
    }

    void tooSmallResizeChangesNothing()
    {
        hover(QPoint(0, 150));
        mouse(QEvent::MouseButtonPress, QPoint(0, 150), Qt::LeftButton, Qt::LeftButton);
        mouseMoveGlobal(toGlobal(QPoint(400, 150))); // width would be 0
        QCOMPARE(m_pWin->geometry(), QRect(50, 60, 400, 300));
        mouseMoveGlobal(toGlobal(QPoint(399, 150))); // width 1 is fine
        QCOMPARE(m_pWin->geometry(), QRect(449, 60, 1, 300));
        mouse(QEvent::MouseButtonRelease, QPoint(0, 150), Qt::LeftButton, Qt::NoButton);
    }

    void boundsLimitResizeAfterTitlePress()
    {
        m_pHelper->setTitleHeight(40);
        m_pWin->setGeometry(0, 0, 1300, 900);
        drag(QPoint(300, 20), 0, 0); // fixes the bounds
        hover(QPoint(1299, 450));
        drag(QPoint(1299, 450), 600, 0);
        QCOMPARE(m_pWin->width(), qMin(1600, m_pWin->screen()->availableGeometry().width()));
    }

    void otherButtonsRecordNothing()
    {
        m_pHelper->setTitleHeight(40);
        mouse(QEvent::MouseButtonPress, QPoint(100, 20), Qt::RightButton, Qt::RightButton);
        mouseMoveGlobal(toGlobal(QPoint(150, 60)));
        QCOMPARE(m_pWin->pos(), QPoint(50, 60));
        QCOMPARE(m_pWin->m_nPresses, 1);
    }
};

VISTEL_TEST_MAIN(TestTitleHelper)
#include "tst_titlehelper.moc"
