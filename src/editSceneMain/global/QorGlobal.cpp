#include "QorGlobal.h"

#include "globalObserver.h"

#include <QDateTime>
#include <QDebug>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTranslator>

// ------------------------------------------------------ program-wide state

bool g_bIsPlay = false;
bool g_bHadChange = true;
int g_nOpenCount = 1;
qreal g_dWScale = 0.0;
qreal g_dHScale = 0.0;
QRect g_rtBackCanvas(0, 0, 0, 0);
QRect g_rtPrimaryScreen(0, 0, 0, 0);
QRect g_rtSetSize(0, 0, 0, 0);
quint32 g_nWidth = 480;
quint32 g_nHeight = 320;
int g_nVideoItem = 0;
QString g_strDevType = QStringLiteral("Tarn");
QString g_strSerialDevType = QStringLiteral("Tarn");
int g_nConnectionType = 0;
QString g_strLanguage = QStringLiteral("Chinaese");
bool g_OSDState = false;
int g_OSDindex = 0;
QString g_strOSD = QStringLiteral("Welcome");
QString g_OSDlist;
QColor g_fontColor(255, 255, 255);
QColor g_bkColor(80, 70, 255);
int g_fontTransparency = 255;
int g_bkColorTransparency = 255;
int g_ncountpack = 0;
int g_ncurrentserial = 0;
int g_nOSDSpeed = 0;

// ---------------------------------------------------- command name table

const QString g_texing_name[TX_COMMAND_COUNT] = {
    QStringLiteral("设备信息"),         // 0  Tx_DevInfo
    QStringLiteral("电源"),             // 1  Tx_Power
    QStringLiteral("锁屏"),             // 2  Tx_LockPin
    QStringLiteral("功能卡亮度"),       // 3  Tx_FunLight
    QStringLiteral("光感亮度"),         // 4  Tx_GuanGan
    QStringLiteral("色度校正"),         // 5  Tx_SeduJiaoZhen
    QStringLiteral("亮度校正"),         // 6  Tx_LightJudge
    QStringLiteral("误码测试"),         // 7  Tx_WumaTest
    QStringLiteral("红绿蓝亮度调整"),   // 8  Tx_RGBjudge
    QStringLiteral("手动色温调整"),     // 9  Tx_ManualRgbJudge
    QStringLiteral("自动色温调整"),     // 10 Tx_AutoRgbJudge
    QStringLiteral("3D"),               // 11 Tx_3DFunction
    QStringLiteral("显卡频率"),         // 12 Tx_Frq
    QStringLiteral("显示模式"),         // 13 Tx_DisplayMode
    QStringLiteral("显卡分辨率自定义"), // 14 Tx_DisplayReslol
    QStringLiteral("半帧输出"),         // 15 Tx_HalfFrameOuput
    QStringLiteral("单色显示"),         // 16 Tx_MDA
    QStringLiteral("10位颜色"),         // 17 Tx_10BitColor
    QStringLiteral("12位颜色"),         // 18 Tx_12BitColor
    QStringLiteral("输入视频切换"),     // 19 Tx_InputSwitch
    QStringLiteral("升级程序"),         // 20 Tx_Upgrade
    QStringLiteral("升级结束标志"),     // 21 Tx_UpgraEnd
    QStringLiteral("保存功能"),         // 22 Tx_Save
    QStringLiteral("网口宽高"),         // 23 Tx_PortWH
    QStringLiteral("连线图总宽高"),     // 24 Tx_WHLiantu
    QStringLiteral("设置起点XY"),       // 25 Tx_SendXy
    QStringLiteral("默认设置"),         // 26 Tx_DefaultSet
    QStringLiteral("心跳包"),           // 27 Tx_Heart
    QStringLiteral("互动通知"),         // 28 Tx_Interaction
    QStringLiteral("校正时间"),         // 29 Tx_SetTime
    QStringLiteral("大屏宽高"),         // 30 Tx_LEDWHSet
    QStringLiteral("输入设置"),         // 31 Tx_InputSet
    QStringLiteral("获取输入状态"),     // 32 Tx_GetInput
    QStringLiteral("源及场景数"),       // 33 Tx_GetSourceNum
    QStringLiteral("图层设置"),         // 34 Tx_SetLayer
    QStringLiteral("场景操作"),         // 35 Tx_SceneInfo
    QStringLiteral("日程个数"),         // 36 Tx_SceneOk
    QStringLiteral("输出口设置"),       // 37 Tx_Outletsetting
    QStringLiteral("备份个数"),         // 38 Tx_SheSchedule
    QStringLiteral("备份"),             // 39 Tx_BackUpNum
    QStringLiteral("OSD参数设置"),      // 40 Tx_OSDSet
    QStringLiteral("系统设置"),         // 41 Tx_SetSystem
};

int g_getTexingIndex(const QString &strName)
{
    for (int i = 0; i < TX_COMMAND_COUNT; ++i) {
        if (strName == g_texing_name[i])
            return i;
    }
    return 0;
}

bool g_isTexingName(const QString &strName)
{
    for (int i = 0; i < TX_COMMAND_COUNT; ++i) {
        if (strName == g_texing_name[i])
            return true;
    }
    return false;
}

// ------------------------------------------------------------- functions

QString g_colorToQssString(const QColor &color)
{
    const QString rgb = QString("rgb(%1,%2,%3)").arg(color.red()).arg(color.green()).arg(color.blue());
    return QString("background-color:%1;").arg(rgb);
}

void g_setGlobalChange()
{
    g_bHadChange = true;
    if (g_bIsPlay) {
        bool bEnable = true;
        globalObserver::getGlobalObserver()->notify("slot_setBtnUpdateStatus", Q_ARG(bool, bEnable));
    }
}

bool g_getGlobalChange()
{
    return g_bHadChange;
}

QList<QRect> g_applyDesktopGeometry(const QList<QRect> &screens, int nPrimary)
{
    if (screens.isEmpty())
        return screens;
    if (nPrimary < 0 || nPrimary >= screens.size())
        nPrimary = 0;

    g_rtPrimaryScreen = screens.at(nPrimary);
    QRect candidate = screens.size() >= 2 ? screens.at(1) : g_rtPrimaryScreen;

    if (g_rtPrimaryScreen.width() <= 1920)
        g_nWidth = 240;
    if (g_rtPrimaryScreen.height() <= 1080)
        g_nHeight = 160;

    g_rtBackCanvas = candidate;
    if (screens.size() == 1) {
        // The background play window lies just left of the only screen.
        g_rtBackCanvas.setLeft(-screens.at(0).width());
        g_rtBackCanvas.setWidth(screens.at(0).width());
    }
    g_getScreenSizeScale(candidate);
    return screens;
}

QList<QRect> g_getDefaultDesktop()
{
    QList<QRect> screens;
    const QList<QScreen *> list = QGuiApplication::screens();
    int nPrimary = 0;
    QScreen *primary = QGuiApplication::primaryScreen();
    for (int i = 0; i < list.size(); ++i) {
        screens.append(list.at(i)->geometry());
        if (list.at(i) == primary)
            nPrimary = i;
    }
    return g_applyDesktopGeometry(screens, nPrimary);
}

void g_getScreenSizeScale(const QRect &rect)
{
    if (rect.width() <= 0 || rect.height() <= 0 || g_nWidth == 0 || g_nHeight == 0) {
        qInfo().noquote() << QString("[%1]: ").arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss"))
                                 + QString("ignored canvas size %1x%2 for the scale factors")
                                       .arg(rect.width()).arg(rect.height());
        return;
    }
    g_dWScale = rect.width() / double(g_nWidth) / 2.0;
    g_dHScale = rect.height() / double(g_nHeight) / 2.0;
}

void g_setDefaultDesktop(int nWidth, int nHeight)
{
    if (nWidth <= 0 || nHeight <= 0) {
        qInfo().noquote() << QString("[%1]: ").arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss"))
                                 + QString("ignored screen size %1x%2").arg(nWidth).arg(nHeight);
        return;
    }
    g_rtBackCanvas = QRect(0, 0, nWidth, nHeight);
    g_getScreenSizeScale(g_rtBackCanvas);
}

QPixmap g_loadImageFunction(const QString &strPath, const QSize &size)
{
    QImageReader reader(strPath);
    reader.setAutoTransform(true);
    QSize imageSize = reader.size();
    if (imageSize.isValid()) {
        imageSize.scale(size, Qt::KeepAspectRatio);
        reader.setScaledSize(imageSize);
    }
    return QPixmap::fromImage(reader.read(), Qt::AutoColor);
}

QPixmap g_getRadiusPixmap(const QPixmap &src, const QSize &size, int nRadius)
{
    if (src.isNull())
        return src;
    QPixmap dest(size);
    dest.fill(Qt::transparent);
    QPainter painter(&dest);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, size.width(), size.height()), nRadius, nRadius, Qt::AbsoluteSize);
    painter.setClipPath(path);
    painter.drawPixmap(QRect(QPoint(0, 0), size), src);
    painter.end();
    return dest;
}

QString g_inputCaption(const InputSource &input)
{
    if (input.nSig != 0)
        return QString("%1 : %2x%3@%4")
            .arg(input.strName, QString::number(input.nWidth), QString::number(input.nHeight), QString::number(input.nHz));
    return QString("%1 : %2").arg(input.strName, QCoreApplication::translate("InputSource", "无输入"));
}

void g_applyLanguage(QTranslator *pTranslator, int nLanguage)
{
    if (nLanguage == 0 || nLanguage == 1) {
        QCoreApplication::removeTranslator(pTranslator);
        (void)pTranslator->load(nLanguage == 0 ? QStringLiteral("Tranlate_CN.qm") : QStringLiteral("Tranlate_EN.qm"));
    }
    QCoreApplication::installTranslator(pTranslator);
}

void g_setSourcePoll(bool bPoll, const QString &strSerial)
{
    // Copies: a receiver may take down whatever held the serial.
    bool bReflash = bPoll;
    QString strTarget = strSerial;
    globalObserver::getGlobalObserver()->notify("slot_IsZReflash", Q_ARG(bool, bReflash), Q_ARG(QString, strTarget));
}
