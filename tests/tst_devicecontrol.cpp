// The device row widget and its painted on/off switch.
#include "TestMain.h"

#include "DeviceControl.h"
#include "SwitchButton.h"
#include "globalObserver.h"

#include <QImage>
#include <QPushButton>
#include <QSignalSpy>

namespace {

// Records every "slot_switchDeviceConnect" and whether the slide had started.
class SwitchSpy : public QObject
{
    Q_OBJECT
public:
    QList<QVariantList> calls;
    SwitchButton *pWatched = nullptr;
    SwitchSpy()
    {
        globalObserver::getGlobalObserver()->attach(QStringLiteral("slot_switchDeviceConnect"), this,
                                                    "slot_switchDeviceConnect");
    }
    ~SwitchSpy() override
    {
        globalObserver::getGlobalObserver()->detach(QStringLiteral("slot_switchDeviceConnect"), this);
    }
public slots:
    void slot_switchDeviceConnect(QString strSerial, bool bConnected, int nId)
    {
        calls.append({strSerial, bConnected, nId, pWatched && pWatched->isSliding()});
    }
};

void tick(SwitchButton &sw)
{
    QMetaObject::invokeMethod(&sw, "UpdateValue");
}

QImage paint(SwitchButton &sw)
{
    QImage image(sw.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    sw.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

class TestDeviceControl : public QObject
{
    Q_OBJECT
private slots:
    void pressNotifiesThenSlides();
    void paintsStateAndKnob();
    void rowReportsItsDevice();
};

void TestDeviceControl::pressNotifiesThenSlides()
{
    SwitchSpy spy;
    SwitchButton sw;
    sw.resize(105, 30);
    sw.setDeviceSerial(QStringLiteral("SN1"));
    sw.setDeviceId(4);
    spy.pWatched = &sw;

    // The window is told before the slide starts.
    QTest::mouseClick(&sw, Qt::LeftButton);
    QCOMPARE(spy.calls.size(), 1);
    QCOMPARE(spy.calls.at(0), (QVariantList{QStringLiteral("SN1"), true, 4, false}));
    QCOMPARE(sw.step(), 10);

    // 10 .. 80 passes the end by less than a step, then settles at 75.
    QList<int> listPositions;
    for (int i = 0; i < 12 && sw.isSliding(); ++i) {
        tick(sw);
        listPositions.append(sw.startX());
    }
    QCOMPARE(listPositions, (QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 75}));

    // Any button toggles; a second press turns a running slide back.
    QTest::mouseClick(&sw, Qt::RightButton);
    tick(sw);
    QCOMPARE(sw.startX(), 65);
    QTest::mouseClick(&sw, Qt::LeftButton);
    QCOMPARE(spy.calls.size(), 3);
    QCOMPARE(spy.calls.at(1).at(1).toBool(), false);
    QCOMPARE(spy.calls.at(2).at(1).toBool(), true);
    tick(sw);
    QCOMPARE(sw.startX(), 75);
    // The real 30 ms clock settles it.
    QTRY_VERIFY_WITH_TIMEOUT(!sw.isSliding(), 2000);
    QCOMPARE(sw.startX(), 75);
}

void TestDeviceControl::paintsStateAndKnob()
{
    SwitchSpy spy;
    SwitchButton sw;
    sw.resize(105, 30);
    sw.setAnimation(false);

    const QImage off = paint(sw);
    QCOMPARE(QColor(off.pixel(15, 15)), QColor(Qt::white));   // knob at the left
    QCOMPARE(qAlpha(off.pixel(0, 0)), 0);                      // outside the capsule
    QCOMPARE(qAlpha(off.pixel(52, 2)), 140);                   // translucent while enabled
    QVERIFY(qAbs(qGreen(off.pixel(52, 2)) - qRed(off.pixel(52, 2))) < 30);

    QTest::mouseClick(&sw, Qt::LeftButton);
    const QImage on = paint(sw);
    QCOMPARE(QColor(on.pixel(75 + 15, 15)), QColor(Qt::white));
    QVERIFY(qGreen(on.pixel(52, 2)) > qRed(on.pixel(52, 2)) + 40);

    sw.setEnabled(false);
    QCOMPARE(qAlpha(paint(sw).pixel(52, 2)), 255);
}

void TestDeviceControl::rowReportsItsDevice()
{
    SwitchSpy spy;
    CDeviceControl row;
    row.setDeviceId(2);
    row.setDeviceSerial(QStringLiteral("SN9"));
    row.setStrDeviceType(QStringLiteral("Tarn-3"));
    QSignalSpy editSpy(&row, &CDeviceControl::sig_editScene);
    auto *pEdit = row.findChild<QPushButton *>(QStringLiteral("btnEdit"));
    QVERIFY(row.findChild<QPushButton *>(QStringLiteral("btnDel"))->isHidden());

    // A row whose device never reported its name sends it empty.
    pEdit->click();
    QCOMPARE(editSpy.at(0), (QVariantList{QStringLiteral("SN9"), QString(), QStringLiteral("Tarn-3")}));
    row.setStrDeviceName(QStringLiteral("大厅"));
    pEdit->click();
    QCOMPARE(editSpy.at(1).at(1).toString(), QStringLiteral("大厅"));

    QTest::mouseClick(row.switchButton(), Qt::LeftButton);
    QCOMPARE(spy.calls.at(0).mid(0, 3), (QVariantList{QStringLiteral("SN9"), true, 2}));

    // The status label shows the link; a language change keeps it.
    row.slot_setDeviceStatus(true);
    QCOMPARE(row.statusText(), QStringLiteral("在线"));
    row.slot_setDeviceStatus(false);
    QEvent languageChange(QEvent::LanguageChange);
    QCoreApplication::sendEvent(&row, &languageChange);
    QCOMPARE(row.statusText(), QStringLiteral("离线"));
}

VISTEL_TEST_MAIN(TestDeviceControl)
#include "tst_devicecontrol.moc"
