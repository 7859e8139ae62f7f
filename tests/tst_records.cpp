#include "TestMain.h"

#include <cmath>

#include "QorGlobal.h"
#include "globalObserver.h"

class ButtonSpy : public QObject
{
    Q_OBJECT
public:
    QList<bool> calls;
public slots:
    void slot_setBtnUpdateStatus(bool b) { calls << b; }
};

class TestRecords : public QObject
{
    Q_OBJECT

    void resetCanvas()
    {
        g_nWidth = 480;
        g_nHeight = 320;
        g_dWScale = 0.0;
        g_dHScale = 0.0;
        g_rtBackCanvas = QRect(0, 0, 0, 0);
    }

private slots:
    void startValues()
    {
        QCOMPARE(g_strDevType, QString("Tarn"));
        QCOMPARE(g_strLanguage, QString("Chinaese"));
        QCOMPARE(g_nOpenCount, 1);
        QVERIFY(g_bHadChange);
        QVERIFY(!g_bIsPlay);
        QCOMPARE(g_strOSD, QString("Welcome"));
        QCOMPARE(g_bkColor, QColor(80, 70, 255));
        QCOMPARE(g_colorToQssString(g_bkColor), QString("background-color:rgb(80,70,255);"));
        QCOMPARE(g_colorToQssString(QColor(0, 7, 255, 10)), QString("background-color:rgb(0,7,255);"));

        DeviceInfo dev;
        QVERIFY(dev.strSerial.isEmpty() && dev.vectorInput.isEmpty());
        QCOMPARE(dev.nTakeScene, 0);
        QCOMPARE(InputSource().nEdidHZ, 0);
        QCOMPARE(SystemInfo().nbrightness, 0);
        QCOMPARE(ZSceneInfo().nSceneIndex, 0);
    }

    void commandTable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("id");
        const char *names[] = {
            "设备信息", "电源", "锁屏", "功能卡亮度", "光感亮度", "色度校正", "亮度校正", "误码测试",
            "红绿蓝亮度调整", "手动色温调整", "自动色温调整", "3D", "显卡频率", "显示模式",
            "显卡分辨率自定义", "半帧输出", "单色显示", "10位颜色", "12位颜色", "输入视频切换",
            "升级程序", "升级结束标志", "保存功能", "网口宽高", "连线图总宽高", "设置起点XY",
            "默认设置", "心跳包", "互动通知", "校正时间", "大屏宽高", "输入设置", "获取输入状态",
            "源及场景数", "图层设置", "场景操作", "日程个数", "输出口设置", "备份个数", "备份",
            "OSD参数设置", "系统设置"};
        QCOMPARE(int(sizeof(names) / sizeof(names[0])), TX_COMMAND_COUNT);
        for (int i = 0; i < TX_COMMAND_COUNT; ++i)
            QTest::addRow("%d", i) << QString::fromUtf8(names[i]) << i;
    }
    void commandTable()
    {
        QFETCH(QString, name);
        QFETCH(int, id);
        QCOMPARE(g_texing_name[id], name);
        QCOMPARE(g_getTexingIndex(name), id);
        QVERIFY(g_isTexingName(name));
    }

    void commandLookupIsExact()
    {
        QCOMPARE(g_getTexingIndex(QString::fromUtf8("心跳包 ")), 0);
        QCOMPARE(g_getTexingIndex(QString::fromUtf8(" 心跳包")), 0);
        QCOMPARE(g_getTexingIndex(QString::fromUtf8("osd参数设置")), 0);
        QCOMPARE(g_getTexingIndex(QString::fromUtf8("备份")), int(Tx_BackUpNum));
        QCOMPARE(g_getTexingIndex(QString::fromUtf8("备份个数")), int(Tx_SheSchedule));
        QCOMPARE(g_getTexingIndex(QString()), 0);
        QCOMPARE(g_getTexingIndex("no such command"), 0);
        QVERIFY(!g_isTexingName("no such command"));
        QVERIFY(!g_isTexingName(QString()));
        QCOMPARE(int(Tx_SetSystem), 41);
        QCOMPARE(int(Tx_none), -1);
    }

    void desktopSingleFullHd()
    {
        resetCanvas();
        g_applyDesktopGeometry({QRect(0, 0, 1920, 1080)}, 0);
        QCOMPARE(g_nWidth, 240u);
        QCOMPARE(g_nHeight, 160u);
        QCOMPARE(g_rtBackCanvas, QRect(-1920, 0, 1920, 1080));
        QCOMPARE(g_rtPrimaryScreen, QRect(0, 0, 1920, 1080));
        QCOMPARE(g_dWScale, 4.0);
        QCOMPARE(g_dHScale, 3.375);

        // then the device reports its screen
        g_setDefaultDesktop(3840, 2160);
        QCOMPARE(g_rtBackCanvas, QRect(0, 0, 3840, 2160));
        QCOMPARE(g_dWScale, 8.0);
        QCOMPARE(g_dHScale, 6.75);
    }

    void desktopWideAndTwoScreens()
    {
        resetCanvas();
        g_applyDesktopGeometry({QRect(0, 0, 1921, 1080)}, 0);
        QCOMPARE(g_nWidth, 480u);
        QCOMPARE(g_nHeight, 160u);

        resetCanvas();
        g_applyDesktopGeometry({QRect(0, 0, 2560, 1440), QRect(2560, 0, 1280, 720)}, 1);
        QCOMPARE(g_rtBackCanvas, QRect(2560, 0, 1280, 720));
        QCOMPARE(g_rtPrimaryScreen, QRect(2560, 0, 1280, 720));
        QCOMPARE(g_nWidth, 240u);
        QCOMPARE(g_dWScale, 1280 / 240.0 / 2.0);
        QCOMPARE(g_dHScale, 720 / 160.0 / 2.0);

        // the real screens (offscreen platform) give finite, positive scales
        resetCanvas();
        QVERIFY(!g_getDefaultDesktop().isEmpty());
        QVERIFY(g_dWScale > 0 && std::isfinite(g_dWScale));
        QVERIFY(g_dHScale > 0 && std::isfinite(g_dHScale));
    }

    void zeroScreenSizeKeepsScales()
    {
        resetCanvas();
        g_applyDesktopGeometry({QRect(0, 0, 1920, 1080)}, 0);
        g_setDefaultDesktop(0, 0);
        g_setDefaultDesktop(1920, 0);
        g_setDefaultDesktop(-5, 100);
        QCOMPARE(g_dWScale, 4.0);
        QCOMPARE(g_dHScale, 3.375);
        QCOMPARE(g_rtBackCanvas, QRect(-1920, 0, 1920, 1080));

        g_getScreenSizeScale(QRect());
        QCOMPARE(g_dWScale, 4.0);
        QVERIFY(g_applyDesktopGeometry({}, 0).isEmpty());
    }

    void globalChangeNotifiesOnlyWhilePlaying()
    {
        ButtonSpy spy;
        globalObserver::getGlobalObserver()->attach("slot_setBtnUpdateStatus", &spy, "slot_setBtnUpdateStatus");
        g_bHadChange = false;
        g_bIsPlay = false;
        g_setGlobalChange();
        QVERIFY(g_getGlobalChange());
        QVERIFY(spy.calls.isEmpty());
        g_bIsPlay = true;
        g_setGlobalChange();
        g_bIsPlay = false;
        QCOMPARE(spy.calls, QList<bool>({true}));
        globalObserver::getGlobalObserver()->detach("slot_setBtnUpdateStatus", &spy);
    }

    void loadImageKeepsAspect()
    {
        QImage img(200, 100, QImage::Format_RGB32);
        img.fill(Qt::blue);
        QVERIFY(img.save("aspect.png"));
        QCOMPARE(g_loadImageFunction("aspect.png", QSize(50, 50)).size(), QSize(50, 25));
        QVERIFY(g_loadImageFunction("missing.png", QSize(50, 50)).isNull());
    }
};

VISTEL_TEST_MAIN(TestRecords)
#include "tst_records.moc"
