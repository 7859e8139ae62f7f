#ifndef QORGLOBAL_H
#define QORGLOBAL_H

// Records, enumerations and program-wide state shared by every part of the
// console, plus the device command name table.

#include <QColor>
#include <QList>
#include <QMetaType>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

class QTranslator;

// ---------------------------------------------------------------- records

// One input of a device.
struct InputSource
{
    QString strName;      // name of the input
    QString strType;      // type text of the input
    int nId = 0;          // input id
    int nWidth = 0;       // current horizontal resolution
    int nHeight = 0;      // current vertical resolution
    int nHz = 0;          // current refresh rate
    int nSig = 0;         // signal state (0 = no signal)
    int nInputType = 0;   // input type
    int nCType = 0;       // connector type
    int nResouType = 0;   // resolution type
    int nEdidWidth = 0;   // EDID horizontal resolution
    int nEdidHeight = 0;  // EDID vertical resolution
    int nEdidHZ = 0;      // EDID refresh rate
};

// One device; owned by its device worker, handed to readers by pointer.
struct DeviceInfo
{
    QString strIp;        // IPv4 address text
    QString strDevName;   // device name
    QString strSerial;    // device serial, the key the console finds the device by
    QString strMcuVer;    // firmware version text
    int nSrcNum = 0;      // number of inputs
    int nSceneNum = 0;    // number of stored scenes
    int nTakeScene = 0;   // the taken (live) scene
    int nCanvasCount = 0; // canvas count
    int nSceneMax = 0;    // maximum number of scenes
    int nScreenWidth = 0; // screen width in device pixels
    int nScreenHeight = 0;// screen height in device pixels
    QVector<InputSource *> vectorInput; // the inputs, in the device's order

    // The input with that id, or null when the device reports none such.
    InputSource *findInput(int nId) const
    {
        for (InputSource *pInput : vectorInput)
            if (pInput && pInput->nId == nId)
                return pInput;
        return nullptr;
    }
};

// System settings of a Z-family device.
struct SystemInfo
{
    QString strMainSig;     // name of the main source
    int nMainSignumber = 0; // number of the main source
    int nXDeflection = 0;   // horizontal deflection
    int nYDeflection = 0;   // vertical deflection
    int nLayerWidth = 0;    // layer width
    int nLayerHeight = 0;   // layer height
    int nXinput = 0;        // input crop, left
    int nYinput = 0;        // input crop, top
    int ninputWidth = 0;    // input crop, width
    int ninputHeight = 0;   // input crop, height
    int nScaleMode = 0;     // scale mode (0 point to point, 1 proportional)
    int nXoutput = 0;       // output rectangle, left
    int nYoutput = 0;       // output rectangle, top
    int noutputWidth = 0;   // output rectangle, width
    int noutputHeight = 0;  // output rectangle, height
    int nsilent = 0;        // mute flag
    int nsound = 0;         // volume
    int nbrightness = 0;    // brightness
};

// One stored scene of a Z-family device.
struct ZSceneInfo
{
    QString strName;      // scene name
    int nSceneIndex = 0;  // scene index
    int nMainSig = 0;     // main source
    int nBackup = 0;      // backup source
    int nXinput = 0;      // input crop, left
    int nYinput = 0;      // input crop, top
    int ninputWidth = 0;  // input crop, width
    int ninputHeight = 0; // input crop, height
    int nScaleMode = 0;   // scale mode
    int nsilent = 0;      // mute flag
    int nsound = 0;       // volume
    int nbrightness = 0;  // brightness
};

Q_DECLARE_METATYPE(InputSource *)
Q_DECLARE_METATYPE(DeviceInfo *)
Q_DECLARE_METATYPE(SystemInfo *)
Q_DECLARE_METATYPE(ZSceneInfo *)

// ----------------------------------------------------------- enumerations

// Kinds of material items; a dragged input source carries it as a plain int.
enum mediaType
{
    MediaType_None = -1,
    MediaType_Pixmap = 0,
    MediaType_Video = 1,
    MediaType_MultiLineText = 2,
    MediaType_SingleText = 3,
    MediaType_Word = 4,
    MediaType_Excel = 5,
    MediaType_Ppt = 6,
    MediaType_Audio = 7,
    MediaType_Back = 8
};

// Tools continue the number space of the media kinds.
enum toolType
{
    ToolType_None = 9,
    ToolType_Analog = 10,
    ToolType_Digital = 11,
    ToolType_RichText = 12,
    ToolType_DataBase = 13,
    ToolType_PositiveTiming = 14,
    ToolType_CoutdownTiming = 15,
    ToolType_Weather = 16,
    ToolType_SingleText = 17,
    ToolType_Phantom = 18,
    ToolType_Table = 19,
    ToolType_Program = 20,
    ToolType_Programs = 21
};

// Animation effects of OSD items.
enum AnimationType
{
    None = 0,
    RandEffect = 1,
    MoveLeftEffect = 2,
    MoveRightEffect = 3,
    MoveUpEffect = 4,
    MoveDownEffect = 5,
    FadeEffect = 6,
    BlindsEffect = 7,
    FlipRightToLeft = 8,
    OutsideToInside = 9,
    MoveBottomToLeftUpEffect = 10
};

// Play states of an item.
enum PlayType
{
    ItemPlay = 0,
    ItemPause = 1,
    ItemStop = 2,
    ItemPreview = 3,
    ItemInit = 4
};

// Device command kinds; the value is the command id on the wire.
enum Tx_Detail
{
    Tx_none = -1,
    Tx_DevInfo = 0,
    Tx_Power,
    Tx_LockPin,
    Tx_FunLight,
    Tx_GuanGan,
    Tx_SeduJiaoZhen,
    Tx_LightJudge,
    Tx_WumaTest,
    Tx_RGBjudge,
    Tx_ManualRgbJudge,
    Tx_AutoRgbJudge,      // 10
    Tx_3DFunction,
    Tx_Frq,
    Tx_DisplayMode,
    Tx_DisplayReslol,
    Tx_HalfFrameOuput,
    Tx_MDA,
    Tx_10BitColor,
    Tx_12BitColor,
    Tx_InputSwitch,
    Tx_Upgrade,           // 20
    Tx_UpgraEnd,
    Tx_Save,
    Tx_PortWH,
    Tx_WHLiantu,
    Tx_SendXy,
    Tx_DefaultSet,
    Tx_Heart,
    Tx_Interaction,
    Tx_SetTime,
    Tx_LEDWHSet,          // 30
    Tx_InputSet,
    Tx_GetInput,
    Tx_GetSourceNum,
    Tx_SetLayer,
    Tx_SceneInfo,
    Tx_SceneOk,
    Tx_Outletsetting,
    Tx_SheSchedule,
    Tx_BackUpNum,
    Tx_OSDSet,            // 40
    Tx_SetSystem          // 41
};

// Number of entries of the command name table.
constexpr int TX_COMMAND_COUNT = 42;

// Command names indexed by command id (filled before main runs, never changed).
extern const QString g_texing_name[TX_COMMAND_COUNT];

// Command id of a command name: exact, case-sensitive match of the whole text;
// a name not in the table gives 0.
int g_getTexingIndex(const QString &strName);

// True when the name is exactly one of the table's names.
bool g_isTexingName(const QString &strName);

// ------------------------------------------------------ program-wide state

extern bool g_bIsPlay;
extern bool g_bHadChange;
extern int g_nOpenCount;
extern qreal g_dWScale;
extern qreal g_dHScale;
extern QRect g_rtBackCanvas;
extern QRect g_rtPrimaryScreen;
extern QRect g_rtSetSize;
extern quint32 g_nWidth;
extern quint32 g_nHeight;
extern int g_nVideoItem;
extern QString g_strDevType;
extern QString g_strSerialDevType;
extern int g_nConnectionType;
extern QString g_strLanguage;
extern bool g_OSDState;
extern int g_OSDindex;
extern QString g_strOSD;
extern QString g_OSDlist;
extern QColor g_fontColor;
extern QColor g_bkColor;
extern int g_fontTransparency;
extern int g_bkColorTransparency;
// Kept for callers outside the console; a bitmap transfer keeps its own packet count and
// packet in flight (COSDTransfer).
extern int g_ncountpack;
extern int g_ncurrentserial;
extern int g_nOSDSpeed;

namespace GlobalSpace {
const QString STYLE_QSS_FILE_PATH = QStringLiteral(":/res/res/stylesheet/stylesheet.qss");
const QString LOGO_PATH = QStringLiteral(":/res/res/image/kelvo.ico");
}

// ------------------------------------------------------------- functions

// "background-color:rgb(r,g,b);" for a colour.
QString g_colorToQssString(const QColor &color);
// An input as the panels name it: "name : WxH@Hz" with a signal, "name : 无输入" (in the language
// in force) without.
QString g_inputCaption(const InputSource &input);

// A panel's translator for UI language 0 (Chinese, "Tranlate_CN.qm") or 1 (English,
// "Tranlate_EN.qm"); another number keeps what it holds. The translator is installed (again) last.
void g_applyLanguage(QTranslator *pTranslator, int nLanguage);
// Starts or stops the input poll of one device's source panel ("slot_IsZReflash" with its serial);
// the other frame's panel goes on polling its own device.
void g_setSourcePoll(bool bPoll, const QString &strSerial);

// Marks the scenes as changed; while playing, enables the canvas update button.
void g_setGlobalChange();
bool g_getGlobalChange();

// Measures the screens, sets the back canvas, the base size and the scales;
// returns every screen's geometry.
QList<QRect> g_getDefaultDesktop();

// The measuring step of g_getDefaultDesktop on given screen geometries
// (index of the primary screen in the list); usable without real screens.
QList<QRect> g_applyDesktopGeometry(const QList<QRect> &screens, int nPrimary);

// Scale factors from a rectangle: width / g_nWidth / 2, height / g_nHeight / 2.
// An empty rectangle leaves the factors unchanged.
void g_getScreenSizeScale(const QRect &rect);

// Makes the back canvas (0, 0, width, height) and recomputes the scales.
// A width or height of 0 or less is refused (logged) and changes nothing.
void g_setDefaultDesktop(int nWidth, int nHeight);

// An image scaled to fit within the bounds, aspect ratio kept.
QPixmap g_loadImageFunction(const QString &strPath, const QSize &size);

// A copy of the source drawn into the given size with rounded corners.
QPixmap g_getRadiusPixmap(const QPixmap &src, const QSize &size, int nRadius);

#endif // QORGLOBAL_H
