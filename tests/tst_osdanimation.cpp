#include "TestMain.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QSignalSpy>

#include "BaseThread.h"
#include "EditAnimation.h"

#include <memory>

// A W x H picture whose every row has its own colour (red = row), opaque.
static QImage rowImage(int w, int h, int nBlue)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(y % 256, 100, nBlue));
    return img;
}

static QImage solid(int w, int h, QColor c)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(c);
    return img;
}

// Renders one frame at progress p, with an earlier frame of old (when not null) as the old picture.
static QImage frameAt(AnimationType effect, const QImage &old, const QImage &source, double p, QRect rect = QRect())
{
    if (rect.isNull())
        rect = source.rect();
    CEditAnimation engine;
    QImage last;
    bool bEmitted = false;
    QObject::connect(&engine, &CEditAnimation::sig_drawFinish, [&](const QImage &img) {
        last = img;
        bEmitted = true;
    });
    if (!old.isNull())
        engine.renderAnimationPreview(rect, old, None, 0.0);
    bEmitted = false;
    engine.renderAnimationPreview(rect, source, effect, p);
    return bEmitted ? last : QImage(1, 1, QImage::Format_Mono);
}

static QImage expectedMove(const QImage &old, const QImage &src, QPoint oldAt, QPoint srcAt)
{
    QImage img(src.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.drawImage(oldAt, old);
    p.drawImage(srcAt, src);
    return img;
}

class TestOsdAnimation : public QObject
{
    Q_OBJECT
private slots:
    // Move effects: the old picture moves out as the source moves in.
    void moveEffects_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<double>("progress");
        QTest::addColumn<QPoint>("oldAt");
        QTest::addColumn<QPoint>("srcAt");
        QTest::newRow("left 0") << int(MoveLeftEffect) << 0.0 << QPoint(0, 0) << QPoint(200, 0);
        QTest::newRow("left 0.5") << int(MoveLeftEffect) << 0.5 << QPoint(-100, 0) << QPoint(100, 0);
        QTest::newRow("left 1") << int(MoveLeftEffect) << 1.0 << QPoint(-200, 0) << QPoint(0, 0);
        QTest::newRow("left 2 draws at 1") << int(MoveLeftEffect) << 2.0 << QPoint(-200, 0) << QPoint(0, 0);
        QTest::newRow("right 0.25") << int(MoveRightEffect) << 0.25 << QPoint(50, 0) << QPoint(-150, 0);
        QTest::newRow("up 0.5") << int(MoveUpEffect) << 0.5 << QPoint(0, -20) << QPoint(0, 20);
        QTest::newRow("down 0.75") << int(MoveDownEffect) << 0.75 << QPoint(0, 30) << QPoint(0, -10);
    }
    void moveEffects()
    {
        QFETCH(int, effect);
        QFETCH(double, progress);
        QFETCH(QPoint, oldAt);
        QFETCH(QPoint, srcAt);
        const QImage old = rowImage(200, 40, 255);
        const QImage src = rowImage(200, 40, 0);
        QCOMPARE(frameAt(AnimationType(effect), old, src, progress), expectedMove(old, src, oldAt, srcAt));
        // a fresh engine has no old picture: only the source is drawn
        QCOMPARE(frameAt(AnimationType(effect), QImage(), src, progress), expectedMove(QImage(), src, oldAt, srcAt));
    }

    void fade()
    {
        const QImage src = solid(20, 10, QColor(200, 100, 0));
        QCOMPARE(frameAt(FadeEffect, solid(20, 10, Qt::blue), src, 1.0), src);
        const QImage half = frameAt(FadeEffect, QImage(), src, 0.5);
        QCOMPARE(qAlpha(half.pixel(5, 5)), 127);
        QCOMPARE(qAlpha(frameAt(FadeEffect, QImage(), src, 0.0).pixel(5, 5)), 0);
    }

    // Blinds: ten slats, each showing its top rows; the slat height is rounded from H / 10.
    void blinds_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<double>("progress");
        QTest::addColumn<int>("slat");
        QTest::addColumn<int>("visible");
        QTest::newRow("100 at 0.5") << 100 << 0.5 << 10 << 5;
        QTest::newRow("33 at 1") << 33 << 1.0 << 3 << 3;
        QTest::newRow("100 at 0 shows one row") << 100 << 0.0 << 10 << 1;
    }
    void blinds()
    {
        QFETCH(int, height);
        QFETCH(double, progress);
        QFETCH(int, slat);
        QFETCH(int, visible);
        const QImage src = rowImage(30, height, 0);
        const QImage frame = frameAt(BlindsEffect, QImage(), src, progress);
        QImage expected(30, height, QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::transparent);
        for (int i = 0; i < 10; ++i)
            for (int y = i * slat; y < i * slat + visible && y < height; ++y)
                for (int x = 0; x < 30; ++x)
                    expected.setPixel(x, y, src.pixel(x, y));
        QCOMPARE(frame, expected);
    }

    // Up-down: the top strip at the top, the bottom strip moving up towards the middle.
    void upDown()
    {
        const QImage src = rowImage(10, 100, 0);
        const QImage frame = frameAt(OutsideToInside, QImage(), src, 0.5);
        QImage expected(10, 100, QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::transparent);
        for (int x = 0; x < 10; ++x) {
            for (int y = 0; y < 25; ++y)
                expected.setPixel(x, y, src.pixel(x, y));
            for (int y = 0; y < 24; ++y) // rows 75.. drawn from y 76 (the last one falls outside)
                expected.setPixel(x, 76 + y, src.pixel(x, 75 + y));
        }
        QCOMPARE(frame, expected);
        // fully closed: the whole picture
        QCOMPARE(frameAt(OutsideToInside, QImage(), src, 1.0), src);
    }

    // Flip: the old picture at the start, the source at the end, split at the hinge between.
    void flip()
    {
        const QImage old = solid(100, 40, Qt::blue);
        const QImage src = solid(100, 40, Qt::red);
        QCOMPARE(frameAt(FlipRightToLeft, old, src, 0.0), old);
        QCOMPARE(frameAt(FlipRightToLeft, old, src, 1.0), src);
        const QImage half = frameAt(FlipRightToLeft, old, src, 0.5);
        QCOMPARE(QColor(half.pixel(45, 20)), QColor(Qt::blue));
        QCOMPARE(QColor(half.pixel(55, 20)), QColor(Qt::red));
        // turned in perspective: full height at the hinge, shorter towards the far edges
        QCOMPARE(qAlpha(half.pixel(50, 0)), 255);
        QCOMPARE(qAlpha(half.pixel(2, 0)), 0);
        QCOMPARE(qAlpha(half.pixel(97, 0)), 0);
    }

    void plainAndSilentEffects()
    {
        const QImage src = rowImage(20, 10, 7);
        for (int e : {int(None), int(RandEffect), 11, 99})
            QCOMPARE(frameAt(AnimationType(e), QImage(), src, 0.5), src);
        QCOMPARE(frameAt(MoveBottomToLeftUpEffect, QImage(), src, 0.5).format(), QImage::Format_Mono); // nothing emitted
    }

    void paceAndProgress()
    {
        const QList<int> delays{1100, 550, 366, 275, 220, 183, 157, 137, 122, 110};
        for (int s = 1; s <= 10; ++s)
            QCOMPARE(CEditAnimation::frameDelayMs(s), delays.at(s - 1));
        QCOMPARE(CEditAnimation::frameDelayMs(0), 1100); // no division by zero
        // a still item (speed 0) gets exactly one frame and leaves the engine stopped
        CEditAnimation engine;
        QSignalSpy frames(&engine, &CEditAnimation::sig_drawFinish);
        engine.renderAnimation(QRect(0, 0, 20, 10), rowImage(20, 10, 0), MoveLeftEffect, 0);
        QCOMPARE(frames.count(), 1);
        QVERIFY(engine.isStopped());
        QVERIFY(engine.isFinish());
        // the cleared-frame request ends a loop with a transparent frame
        engine.setChange(true);
        // setAnimaStart clears it: a change set before a render has no effect on it
        engine.renderAnimation(QRect(0, 0, 20, 10), rowImage(20, 10, 0), MoveLeftEffect, 0);
        QCOMPARE(frames.count(), 2);
    }

    // The progress goes 0, 0.02, ... 1.0199996 and back to 0.02: 51 values after the first frame.
    void progressCycle()
    {
        CEditAnimation engine;
        QList<float> seen;
        connect(&engine, &CEditAnimation::sig_drawFinish, this, [&]() {
            seen.append(engine.factor());
            if (seen.size() == 54)
                engine.setAnimaStop();
        });
        engine.setPaceSpeed(1000000); // ~0 ms between frames; the frame handler stops the loop
        engine.renderAnimation(QRect(0, 0, 4, 4), rowImage(4, 4, 0), None, 1);
        QCOMPARE(seen.size(), 54);
        QCOMPARE(seen.at(0), 0.0f);
        QCOMPARE(seen.at(1), 0.02f);
        QVERIFY(qAbs(seen.at(51) - 1.0199996f) < 1e-6f);
        QCOMPARE(seen.at(52), 0.02f);
    }

    // The frame thread: a running scroll is interrupted at once by a new play state, by a stop and
    // by the thread's destruction; idle and paused, it sleeps.
    void frameThreadStopsAndRestarts()
    {
        auto engine = std::make_unique<CEditAnimation>();
        engine->setPaceSpeed(1); // 1100 ms between frames: a stop must not wait for it
        std::atomic<int> frames{0};
        connect(engine.get(), &CEditAnimation::sig_drawFinish, engine.get(), [&]() { ++frames; }, Qt::DirectConnection);
        auto thread = std::make_unique<CBaseThread>();
        CEditAnimation *pEngine = engine.get();
        thread->setHooks([pEngine]() { pEngine->setAnimaStop(); },
                         [pEngine]() { pEngine->renderAnimation(QRect(0, 0, 40, 10), solid(40, 10, Qt::red), MoveLeftEffect, 3); });
        thread->setInterruptHooks([pEngine]() { pEngine->requestAbort(); }, [pEngine]() { pEngine->clearAbort(); });
        thread->start();
        QTRY_VERIFY(thread->isIdle());
        QCOMPARE(thread->drawCount(), 0);

        thread->playState(ItemInit);
        thread->playState(ItemPreview);
        QTRY_VERIFY(thread->isDrawing());
        QTRY_COMPARE(frames.load(), 1);
        // a new preview stops the running scroll and starts it again, without waiting a frame delay
        QElapsedTimer t;
        t.start();
        thread->playState(ItemInit);
        thread->playState(ItemPreview);
        QTRY_COMPARE(thread->drawCount(), 2);
        QTRY_COMPARE(frames.load(), 2);
        QVERIFY(t.elapsed() < 900);
        QVERIFY(thread->isDrawing());
        // pause: the scroll ends and the thread sleeps
        thread->playState(ItemPause);
        QTRY_VERIFY(thread->isIdle());
        QVERIFY(!thread->isDrawing());
        // destroyed while scrolling: stopped and waited for, at once
        thread->playState(ItemPreview);
        QTRY_VERIFY(thread->isDrawing());
        t.restart();
        thread.reset();
        QVERIFY(t.elapsed() < 900);
        engine.reset();
    }
};

VISTEL_TEST_MAIN(TestOsdAnimation)
#include "tst_osdanimation.moc"
