// The device row widget and its painted on/off switch.
#include "TestMain.h"

#include "DeviceControl.h"
#include "SwitchButton.h"
#include "globalObserver.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

namespace {

// Records every "slot_switchDeviceConnect" notification.
class SwitchSpy : public QObject
{
    Q_OBJECT
public:
    struct Call
    {
        QString strSerial;
        bool bConnected;
        int nId;
    };
    QList<Call> calls;
    int nStartXAtCall = -1;
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
        calls.append({strSerial, bConnected, nId});
        if (pWatched)
            nStartXAtCall = pWatched->isSliding() ? 1 : 0;
    }
};

void tick(SwitchButton *pSwitch)
{
    QMetaObject::invokeMethod(pSwitch, "UpdateValue");
}

} // namespace

class TestDeviceControl : public QObject
{
    Q_OBJECT
private slots:
    void pressNotifiesBeforeSliding();
    void anyButtonTogglesAndSecondPressRetargets();
    void slideStepsAndSettles();
    void jumpWithoutAnimation();
    void paintsCapsuleTextAndKnob();
    void rowCarriesSerialNameTypeAndId();
    void rowStatusAndLanguageChange();
};

void TestDeviceControl::pressNotifiesBeforeSliding()
{
    SwitchSpy spy;
    SwitchButton sw;
    sw.resize(105, 30);
    sw.setDeviceSerial(QStringLiteral("SN1"));
    sw.setDeviceId(4);
    spy.pWatched = &sw;

    QTest::mouseClick(&sw, Qt::LeftButton);
    QCOMPARE(spy.calls.size(), 1);
    QCOMPARE(spy.calls.at(0).strSerial, QStringLiteral("SN1"));
    QCOMPARE(spy.calls.at(0).bConnected, true);
    QCOMPARE(spy.calls.at(0).nId, 4);
    // The window is told before the slide starts.
    QCOMPARE(spy.nStartXAtCall, 0);
    QVERIFY(sw.isSliding());
    QVERIFY(sw.switchBtnState());
    QCOMPARE(sw.toolTip(), QStringLiteral("设备连接"));
}

void TestDeviceControl::anyButtonTogglesAndSecondPressRetargets()
{
    SwitchSpy spy;
    SwitchButton sw;
    sw.resize(105, 30);
    sw.setDeviceSerial(QStringLiteral("SN2"));

    QTest::mouseClick(&sw, Qt::RightButton);
    QCOMPARE(sw.endX(), 75);
    tick(&sw);
    tick(&sw);
    QCOMPARE(sw.startX(), 20);
    QTest::mouseClick(&sw, Qt::LeftButton);
    QCOMPARE(spy.calls.size(), 2);
    QCOMPARE(spy.calls.at(0).bConnected, true);
    QCOMPARE(spy.calls.at(1).bConnected, false);
    // The running slide turns back towards the off end.
    QCOMPARE(sw.endX(), 0);
    tick(&sw);
    QCOMPARE(sw.startX(), 10);
    tick(&sw);
    tick(&sw);
    QCOMPARE(sw.startX(), 0);
    QVERIFY(!sw.isSliding());
}

void TestDeviceControl::slideStepsAndSettles()
{
    SwitchSpy spy;
    SwitchButton sw;
    sw.resize(105, 30);
    QTest::mouseClick(&sw, Qt::LeftButton);
    QCOMPARE(sw.step(), 10);

    QList<int> listPositions;
    for (int i = 0; i < 12 && sw.isSliding(); ++i) {
        tick(&sw);
        listPositions.append(sw.startX());
    }
    // 10 .. 80 passes the end by less than a step, then settles at 75.
    QCOMPARE(listPositions, (QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 75}));
    QVERIFY(!sw.isSliding());

    // The real 30 ms clock brings it back as well.
    QTest::mouseClick(&sw, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!sw.isSliding(), 2000);
    QCOMPARE(sw.startX(), 0);
}

void TestDeviceControl::jumpWithoutAnimation()
{
    SwitchSpy spy;
    SwitchButton sw;
    sw.resize(105, 30);
    sw.setAnimation(false);
    QTest::mouseClick(&sw, Qt::LeftButton);
    QVERIFY(!sw.isSliding());
    QCOMPARE(sw.startX(), 75);
    QCOMPARE(spy.calls.size(), 1);
}

void TestDeviceControl::paintsCapsuleTextAndKnob()
{
    SwitchSpy spy;
    SwitchButton sw;
    sw.resize(105, 30);
    sw.setAnimation(false);

    QImage off(sw.size(), QImage::Format_ARGB32);
    off.fill(Qt::transparent);
    sw.render(&off, QPoint(), QRegion(), QWidget::DrawChildren);
    // Off: the knob (white) at the left, the capsule grey with alpha 140,
    // corners outside the capsule untouched.
    QCOMPARE(QColor(off.pixel(15, 15)), QColor(Qt::white));
    QCOMPARE(qAlpha(off.pixel(0, 0)), 0);
    const QRgb bgOff = off.pixel(52, 2);
    QCOMPARE(qAlpha(bgOff), 140);

    QTest::mouseClick(&sw, Qt::LeftButton);
    QImage on(sw.size(), QImage::Format_ARGB32);
    on.fill(Qt::transparent);
    sw.render(&on, QPoint(), QRegion(), QWidget::DrawChildren);
    QCOMPARE(QColor(on.pixel(75 + 15, 15)), QColor(Qt::white));
    const QRgb bgOn = on.pixel(52, 2);
    QCOMPARE(qAlpha(bgOn), 140);
    // Greenish when on, grey when off.
    QVERIFY(qGreen(bgOn) > qRed(bgOn) + 40);
    QVERIFY(qAbs(qGreen(bgOff) - qRed(bgOff)) < 30);

    // Disabled: the background is fully opaque.
    sw.setEnabled(false);
    QImage disabled(sw.size(), QImage::Format_ARGB32);
    disabled.fill(Qt::transparent);
    sw.render(&disabled, QPoint(), QRegion(), QWidget::DrawChildren);
    QCOMPARE(qAlpha(disabled.pixel(52, 2)), 255);
}

void TestDeviceControl::rowCarriesSerialNameTypeAndId()
{
    SwitchSpy spy;
    CDeviceControl row;
    row.resize(366, 38);
    row.setDeviceId(2);
    row.setDeviceSerial(QStringLiteral("SN9"));
    row.setStrDeviceType(QStringLiteral("Tarn-3"));
    QSignalSpy editSpy(&row, &CDeviceControl::sig_editScene);

    auto *pEdit = row.findChild<QPushButton *>(QStringLiteral("btnEdit"));
    QVERIFY(pEdit);
    QCOMPARE(pEdit->text(), QStringLiteral("场景编辑"));
    pEdit->click();
    QCOMPARE(editSpy.size(), 1);
    // A row that never got its device name sends it empty.
    QCOMPARE(editSpy.at(0).at(0).toString(), QStringLiteral("SN9"));
    QCOMPARE(editSpy.at(0).at(1).toString(), QString());
    QCOMPARE(editSpy.at(0).at(2).toString(), QStringLiteral("Tarn-3"));

    row.setStrDeviceName(QStringLiteral("大厅"));
    pEdit->click();
    QCOMPARE(editSpy.at(1).at(1).toString(), QStringLiteral("大厅"));
    QCOMPARE(row.switchButton()->deviceName(), QStringLiteral("大厅"));

    auto *pDel = row.findChild<QPushButton *>(QStringLiteral("btnDel"));
    QVERIFY(pDel && pDel->isHidden());
    QCOMPARE(row.switchButton()->width(), 105);

    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    QTest::mouseClick(row.switchButton(), Qt::LeftButton);
    QCOMPARE(spy.calls.size(), 1);
    QCOMPARE(spy.calls.at(0).strSerial, QStringLiteral("SN9"));
    QCOMPARE(spy.calls.at(0).nId, 2);
    QVERIFY(row.getSwitchBtnState());
}

void TestDeviceControl::rowStatusAndLanguageChange()
{
    CDeviceControl row;
    row.slot_setDeviceStatus(false);
    QCOMPARE(row.statusText(), QStringLiteral("离线"));
    row.slot_setDeviceStatus(true);
    QCOMPARE(row.statusText(), QStringLiteral("在线"));
    row.slot_setDeviceStatus(false);
    // A language change re-applies the form's texts but keeps the link state.
    QEvent languageChange(QEvent::LanguageChange);
    QCoreApplication::sendEvent(&row, &languageChange);
    QCOMPARE(row.statusText(), QStringLiteral("离线"));
}

VISTEL_TEST_MAIN(TestDeviceControl)
#include "tst_devicecontrol.moc"
