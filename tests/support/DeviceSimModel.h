#ifndef DEVICESIMMODEL_H
#define DEVICESIMMODEL_H

// The state of one simulated device and the answers it gives: a small, widget-free model used
// by CDeviceSimulator (tests/support/DeviceSimulator.h) and tools/devsim.
//
// answer() turns one request (command id, rw, sub-command, payload) into the reply payload a
// device sends back; writes are applied to the model and acknowledged (payload C5 C3), reads
// are answered from it. Byte layouts follow the device protocol; names travel as 12-byte GBK
// fields.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

struct CSimInput
{
    int nId = 0;
    QString strName;           // may be empty: the console then asks for it
    QString strFactoryName;    // what "restore the factory name" sets ("IN1".."INn")
    int nType = 1;             // 1 HDMI-2K ... 8 USB
    int nConnector = 0;
    int nWidth = 1920;
    int nHeight = 1080;
    int nHz = 60;
    int nSig = 1;              // 1 = signal present
    int nResType = 0;
    int nEdidWidth = 1920;
    int nEdidHeight = 1080;
    int nEdidHz = 60;
};

struct CSimLayer
{
    int nIndex = 0;
    int nState = 1;
    int nLevel = 1;
    int nMainSig = 0;
    int nBackupSig = 0;
    int nTrans = 255;
    int nX = 0, nY = 0, nWidth = 960, nHeight = 540;
    int nCut = 0, nCutX = 0, nCutY = 0, nCutWidth = 0, nCutHeight = 0;
};

struct CSimScene
{
    QString strName;
    int nState = 1;
    int nWidth = 1920, nHeight = 1080, nHz = 60;
    int nCanvasCount = 1;
    int nLayerCount = 4;
    int nCanvasType = 0;
    int nLight = 100;
    int nAudio = 0;
    int nMainSig = 0, nBackup = 0;
    int nCropX = 0, nCropY = 0, nCropW = 1920, nCropH = 1080;
    int nScaleMode = 0, nSilent = 0, nSound = 50, nBrightness = 100;
    int nAudioSource = 0;
    // The scene's layers as the device shows them: for the live scene the working copy that layer
    // commands change. bUnsaved is set by the first layer command after a recall or a save, and
    // savedLayers then keeps what was stored; a recall brings the stored layers back (unsaved
    // edits are lost), a save stores the working copy.
    QVector<CSimLayer> layers;
    QVector<CSimLayer> savedLayers;
    bool bUnsaved = false;
};

struct CSimOutput
{
    int nStdIndex = 8;         // 1920x1080
    int nWidth = 1920, nHeight = 1080, nHz = 60;
    int timing[8] = {1920, 2200, 2008, 2052, 1080, 1125, 1084, 1089};
    int nMaxHz = 60;
    int nDelay = 0;
    int nNoise = 0;
};

class CSimDeviceModel
{
public:
    enum Family { Tarn, Z };

    // A device of the family with nInputs inputs (named "IN1".."INn") and nScenes scenes
    // (named "S1".."Sn", two layers each for Tarn).
    explicit CSimDeviceModel(Family family = Tarn, int nInputs = 4, int nScenes = 2);

    void reset(Family family, int nInputs, int nScenes);

    // The reply payload to one request. bAnswer is cleared for requests a device leaves unanswered
    // (none at present; every request is answered).
    QByteArray answer(int nCmd, int nReadOrWrite, int nSub, const QByteArray &payload);

    Family family;
    QString strModel;          // device-information model text ("Tarn-3", "Z7")
    QString strFirmware = "V1.0.7";
    QString strDeviceName = QString::fromUtf8("演示设备");
    int nScreenWidth = 1920, nScreenHeight = 1080, nScreenHz = 60;
    int nSceneMax = 8;
    int nTakeScene = 1;
    // A scene of canvas count 1 is split in the middle (two outputs drive it): with this set, a
    // layer that comes to cross the middle takes every other layer that does not cross it off
    // the scene, as such a device does. Off by default for tests that place layers freely.
    bool bSplitScreen = false;
    QVector<CSimInput> inputs;
    QList<CSimScene> scenes;   // scene id = position + 1
    // Z-family live layer (layer settings read 34/0). A Z device's screen size write (30) sets the
    // layer size; saving a scene (35/10) stores the live crop, main source, scale, sound and
    // brightness into it, and taking a scene (35/20) makes them live again.
    int nMainSig = 0;
    int nXDeflection = 0, nYDeflection = 0, nLayerWidth = 1920, nLayerHeight = 1080;
    int nInX = 0, nInY = 0, nInW = 1920, nInH = 1080;
    int nOutX = 0, nOutY = 0, nOutW = 1920, nOutH = 1080;
    int nScaleMode = 0, nSilent = 1, nSound = 50, nBrightness = 100;   // nSilent: 0 muted, 1 sound on
    // outputs
    int nOutputType = 1;       // 1 网口
    QVector<CSimOutput> outputs;
    // OSD
    int nOsdOn = 0;
    // the OSD settings as the parameter write lays them out (index, 0, font and background
    // transparency, speed, x, y, w, h, font and background colour), read after the state byte
    QByteArray osdSettings = QByteArray::fromHex("0000FFFF00000000000780006CFFFFFF5046FF");
    int nOsdPackets = 0;
    int nOsdBytes = 0;
    QByteArray osdBitmap;          // the bitmap as reassembled: byte count of the header, packets at their place
    QVector<int> osdPacketsTaken;  // packet numbers accepted, in order
    int nOsdRefusePackets = 0;     // refuse (status 0) this many packet writes before taking them
    int nOsdEnds = 0;              // end commands (sub 12) taken
    bool bOsdRefuseEnd = false;    // refuse (NAK) every end command
    // True when every packet the header announced was taken and the end command followed.
    bool osdComplete() const;

    static QByteArray ack();
    static QByteArray nak();

private:
    QByteArray deviceInfo() const;
    QByteArray inputSettings(const CSimInput &in) const;
    QByteArray sceneRecord(int nId) const;
    QByteArray layerRecords(int nId, int nFirst, int nLast) const;
    static bool crossesMiddle(const CSimScene &s, const CSimLayer &l);
    void dropLayersBesideCrossing(CSimScene &s, int nIndex) const;
    CSimInput *input(int nId);
    CSimScene *scene(int nId);
    // The live Tarn scene, about to be changed by a layer command (its stored layers kept).
    CSimScene *editLive();
};

#endif // DEVICESIMMODEL_H
