// Seeded random operator sequences on the Tarn editor against the simulated device. An operator
// drops inputs, drags and resizes layers by the mouse, deletes them from the item menu, shows,
// recalls, adds, renames and updates scenes on the strip, cleans the canvas and refreshes the
// strip (the two-device run also types a layer's transparency on the layer page); every
// question is answered yes or no as the step drew it. After every step, once the console is
// quiet, the strip and the canvas show what the device holds (live scene, scene ids and names,
// the live scene's layers in device pixels) and the device changed only as the step allows. A
// failure names the seed, the step and the latest steps; VISTEL_RANDOM_SEEDS (e.g. "1-200" or
// "4,9") and VISTEL_RANDOM_STEPS replay or widen the run by hand.
//
// The two-device run switches a Z device on beside the Tarn one (each on an address of its own,
// with a smaller screen) and interleaves steps on both frames: Z cards previewed, recalled,
// updated, added and deleted, its strip refreshed, a source pressed, the settings page's scale,
// mute, brightness and sound, canvas size and input crop applied, the live values saved to a
// stored scene. After every step each strip, canvas and page shows what its device holds, and
// the device the step did not address did not change at all.
//
// The two-Tarn run switches a second Tarn device on (a 1280 x 720 screen, on an address of its
// own) and moves the Tarn frame between the two (a row's 场景编辑); the device not edited is also
// restarted and switched off and on. OSD steps join in: an OSD made in the OSD settings dialog and
// sent, its delete from the item menu. After every step the edited device's OSD is what the
// console keeps for it, every OSD switch carried that device's own OSD index, a drop while its
// OSD is shown changed nothing, and the device not edited did not change.
//
// In every run some steps meet an ending on their device: the link drops at its next scene,
// layer or settings command and the device announces itself again; the device stops answering
// for less than the silence that loses the link, or until the link is lost, and is back; or
// steps joined without a wait are followed at once by a switch-off and on. They are judged as
// the others, and besides: a step whose write was not taken said so in a notice naming its
// device, and no step said anything naming a device it did not address.
#include "TestMain.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "BesMessageBox.h"
#include "CardProgramWidget.h"
#include "DeviceControl.h"
#include "DeviceItem.h"
#include "DeviceSimulator.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSceneCanvas.h"
#include "EditSceneMain.h"
#include "EditSingleTextItem.h"
#include "EditSizeHandle.h"
#include "FileListWidget.h"
#include "LayoutListWidget.h"
#include "OtherWidget.h"
#include "ProgramListWidget.h"
#include "OSDTransfer.h"
#include "ProgramSpy.h"
#include "PropertyStack.h"
#include "QorGlobal.h"
#include "RollLabel.h"
#include "SceneSaveAsDlg.h"
#include "SceneTestUtil.h"
#include "SimTestUtil.h"
#include "TestUtil.h"
#include "SwitchButton.h"
#include "TestUtil.h"
#include "TarnSceneStore.h"
#include "TcpDeviceThread.h"
#include "WndLineWidget.h"
#include "WndOSDPosWidget.h"
#include "mainwindow.h"
#include "zinferface.h"

// The seeds every run replays, and the steps of each.
static const QList<int> kSeeds = {1, 2, 3};
static const int kSteps = 25;
// The same for the run with both devices switched on.
static const QList<int> kTwoDeviceSeeds = {1, 2, 3};
static const int kTwoDeviceSteps = 30;
// The same for the run with two Tarn devices.
static const QList<int> kTwoTarnSeeds = {1, 2};
static const int kTwoTarnSteps = 20;

namespace {

enum Kind {
    Drop, Drag, Resize, Delete, Show, Recall, Add, Rename, Clean, Update, Refresh, Trans,
    // steps on the Z frame
    ZShow, ZRecall, ZUpdate, ZAdd, ZDelete, ZRefresh, ZSource, ZScale, ZMute, ZBright, ZSound, ZSize, ZCrop, ZSaveTo,
    // with two Tarn devices
    OsdOn, OsdDelete, Switch, OtherRestart, OtherOffOn,
    // steps joined to a write's ending on the step's device
    Lost, Silent, OffQueued
};

// One operator step as drawn, and what it came to act on.
struct Step
{
    Kind kind = Drop;
    bool bYes = false;  // the answer to every question of the step
    int nScene = 0;     // the scene shown (layer steps, Clean, Drop) or the card's scene
    int nLayer = -1;
    bool bOsd = false;  // the edited device's OSD was shown when the step began
    QString strText;    // what the step did, for the failure report
    std::vector<Step> joined; // an ending's steps
    QString strSerial;        // an ending's device
    bool bUntaken = false;    // an ending's write was not taken
    bool bRelinked = false;   // an ending's device lost its link and was linked again
};

// What the device changed between two of its states: "take", "name", "scene+", "scene-",
// "stored" (a scene's stored layers), and, while the same scene stays live, the live layers:
// "layer+", "layer-", "geometry", "layer" (source, level, ...).
struct Change
{
    QString strKind;
    int nScene = 0;
    int nLayer = -1;
    QString text() const { return QString("%1 %2.%3").arg(strKind).arg(nScene).arg(nLayer); }
};

struct DeviceState
{
    int nTake = 0;
    QStringList names;
    QList<QVector<CSimLayer>> stored;
    QVector<CSimLayer> live;

    explicit DeviceState(const CSimDeviceModel &m)
        : nTake(m.nTakeScene)
    {
        for (int i = 0; i < m.scenes.size(); ++i) {
            names << m.scenes.at(i).strName;
            stored << (m.scenes.at(i).bUnsaved ? m.scenes.at(i).savedLayers : m.scenes.at(i).layers);
            if (i + 1 == nTake)
                live = m.scenes.at(i).layers;
        }
    }
};

QString layerText(const CSimLayer &l)
{
    return QString("L%1 %2,%3 %4x%5 state %6 level %7 source %8/%9 trans %10 cut %11")
        .arg(l.nIndex).arg(l.nX).arg(l.nY).arg(l.nWidth).arg(l.nHeight).arg(l.nState).arg(l.nLevel)
        .arg(l.nMainSig).arg(l.nBackupSig).arg(l.nTrans).arg(l.nCut);
}

QStringList layerTexts(const QVector<CSimLayer> &layers)
{
    QStringList list;
    for (const CSimLayer &l : layers)
        list << layerText(l);
    list.sort();
    return list;
}

const CSimLayer *layerOf(const QVector<CSimLayer> &layers, int nIndex)
{
    for (const CSimLayer &l : layers)
        if (l.nIndex == nIndex)
            return &l;
    return nullptr;
}

QList<Change> changes(const DeviceState &before, const DeviceState &after)
{
    QList<Change> list;
    if (before.nTake != after.nTake)
        list.append({"take", after.nTake});
    for (int i = 0; i < qMax(before.names.size(), after.names.size()); ++i) {
        if (i >= before.names.size())
            list.append({"scene+", i + 1});
        else if (i >= after.names.size())
            list.append({"scene-", i + 1});
        else if (before.names.at(i) != after.names.at(i))
            list.append({"name", i + 1});
        if (i < before.names.size() && i < after.names.size()
            && layerTexts(before.stored.at(i)) != layerTexts(after.stored.at(i)))
            list.append({"stored", i + 1});
    }
    if (before.nTake != after.nTake)
        return list;
    for (const CSimLayer &l : before.live)
        if (!layerOf(after.live, l.nIndex))
            list.append({"layer-", after.nTake, l.nIndex});
    for (const CSimLayer &l : after.live) {
        const CSimLayer *pOld = layerOf(before.live, l.nIndex);
        if (!pOld)
            list.append({"layer+", after.nTake, l.nIndex});
        else if (QRect(pOld->nX, pOld->nY, pOld->nWidth, pOld->nHeight) != QRect(l.nX, l.nY, l.nWidth, l.nHeight))
            list.append({"geometry", after.nTake, l.nIndex});
        else if (layerText(*pOld) != layerText(l))
            list.append({"layer", after.nTake, l.nIndex});
    }
    return list;
}

// Whether the step allows the change; nTake is the live scene when the step began. A step on a
// scene the device is not showing asks to recall it first, and goes on after a yes.
bool allowed(const Step &step, int nTake, const Change &c)
{
    const bool bGoesOn = step.nScene == nTake || step.bYes;
    if (c.strKind == "take")
        return c.nScene == step.nScene && (step.kind == Recall || (step.bYes && step.kind != Show && step.kind != Add));
    if (c.nScene != step.nScene && c.strKind != "scene+")
        return false;
    switch (step.kind) {
    case Drop:
        return bGoesOn && !step.bOsd && c.strKind == "layer+";
    case Drag:
    case Resize:
        // A layer coming to cross the middle of a one-canvas screen takes the others that do not
        // cross with it on the device; the console asks first.
        return bGoesOn && ((c.strKind == "geometry" && c.nLayer == step.nLayer) || (c.strKind == "layer-" && step.bYes));
    case Delete:
        return bGoesOn && c.strKind == "layer-" && c.nLayer == step.nLayer;
    case Trans:
        return bGoesOn && c.strKind == "layer" && c.nLayer == step.nLayer;
    case Clean:
        return step.nScene == nTake && c.strKind == "layer-";
    case Recall:
        // The recall of the scene already live shows its stored layers again.
        return c.strKind.startsWith("layer") || c.strKind == "geometry";
    case Add:
        return c.strKind == "scene+";
    case Rename:
        return bGoesOn && c.strKind == "name";
    default:
        return false;
    }
}

// A Z device's state: its live scene, its scenes' names and stored values, and its live values
// by group ("main", "size", "screen", "offset", "crop", "out", "scale", "mute", "sound", "bright").
struct ZDeviceState
{
    int nTake = 0;
    QStringList names;
    QStringList stored;
    QMap<QString, QString> live;

    explicit ZDeviceState(const CSimDeviceModel &m)
        : nTake(m.nTakeScene)
    {
        for (const CSimScene &s : m.scenes) {
            names << s.strName;
            stored << QString("main %1 crop %2,%3 %4x%5 scale %6 mute %7 sound %8 bright %9")
                          .arg(s.nMainSig).arg(s.nCropX).arg(s.nCropY).arg(s.nCropW).arg(s.nCropH)
                          .arg(s.nScaleMode).arg(s.nSilent).arg(s.nSound).arg(s.nBrightness);
        }
        const auto pair = [](int a, int b) { return QString("%1,%2").arg(a).arg(b); };
        live["main"] = QString::number(m.nMainSig);
        live["size"] = pair(m.nLayerWidth, m.nLayerHeight);
        live["screen"] = pair(m.nScreenWidth, m.nScreenHeight);
        live["offset"] = pair(m.nXDeflection, m.nYDeflection);
        live["crop"] = pair(m.nInX, m.nInY) + " " + pair(m.nInW, m.nInH);
        live["out"] = pair(m.nOutX, m.nOutY) + " " + pair(m.nOutW, m.nOutH);
        live["scale"] = QString::number(m.nScaleMode);
        live["mute"] = QString::number(m.nSilent);
        live["sound"] = QString::number(m.nSound);
        live["bright"] = QString::number(m.nBrightness);
    }
};

QList<Change> zChanges(const ZDeviceState &before, const ZDeviceState &after)
{
    QList<Change> list;
    if (before.nTake != after.nTake)
        list.append({"take", after.nTake});
    for (int i = 0; i < qMax(before.names.size(), after.names.size()); ++i) {
        if (i >= before.names.size())
            list.append({"scene+", i + 1});
        else if (i >= after.names.size())
            list.append({"scene-", i + 1});
        else if (before.names.at(i) != after.names.at(i))
            list.append({"name", i + 1});
        else if (before.stored.at(i) != after.stored.at(i))
            list.append({"stored", i + 1});
    }
    for (auto it = before.live.cbegin(); it != before.live.cend(); ++it)
        if (after.live.value(it.key()) != it.value())
            list.append({"live " + it.key(), after.nTake});
    return list;
}

// Whether a Z step allows the change. A recall makes the scene's stored values live; a delete
// renumbers the scenes after it and may leave no scene live.
bool zAllowed(const Step &step, const Change &c)
{
    const QString strLive = c.strKind.startsWith("live ") ? c.strKind.mid(5) : QString();
    switch (step.kind) {
    case ZRecall:
        return (c.strKind == "take" && c.nScene == step.nScene)
               || QStringList({"main", "crop", "scale", "mute", "sound", "bright"}).contains(strLive);
    case ZAdd:
        return c.strKind == "scene+";
    case ZDelete:
        return c.strKind == "take" || c.strKind == "scene-"
               || ((c.strKind == "name" || c.strKind == "stored") && c.nScene >= step.nScene);
    case ZSource:
        return strLive == "main";
    case ZScale:
        return strLive == "scale";
    case ZMute:
        return strLive == "mute";
    case ZSound:
        return strLive == "sound";
    case ZBright:
        return strLive == "bright";
    case ZSize:
        return strLive == "size" || strLive == "screen";
    case ZCrop:
        return strLive == "crop";
    case ZSaveTo:
        // The live values stored into the scene named, or into a new one after the last.
        return (c.strKind == "stored" && c.nScene == step.nScene) || c.strKind == "scene+";
    default:
        return false;
    }
}

// Whether the step, or a step the ending joined (after those before it, whose scene may be live
// by then), allows the change.
bool allowedJoined(const Step &step, int nTake, const Change &c)
{
    if (step.joined.empty())
        return allowed(step, nTake, c);
    QList<int> takes{nTake};
    for (const Step &s : step.joined) {
        for (int n : takes)
            if (allowed(s, n, c))
                return true;
        takes << s.nScene;
    }
    return false;
}

bool zAllowedJoined(const Step &step, const Change &c)
{
    for (const Step &s : step.joined)
        if (zAllowed(s, c))
            return true;
    return zAllowed(step, c);
}

void sendMouse(QWidget *pWidget, QEvent::Type type, const QPoint &pt, Qt::MouseButton button = Qt::NoButton,
               Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent e(type, pt, pWidget->mapToGlobal(pt), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(pWidget, &e);
}

// Replaces the field's text as an operator does: select all, erase, type; characters outside
// ASCII come as an input method commits them.
void typeName(QLineEdit *pEdit, const QString &strText)
{
    QTest::keyClick(pEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(pEdit, Qt::Key_Backspace);
    for (const QChar ch : strText) {
        if (ch.unicode() < 128) {
            QTest::keyClick(pEdit, ch.toLatin1());
        } else {
            QInputMethodEvent e;
            e.setCommitString(ch);
            QApplication::sendEvent(pEdit, &e);
        }
    }
}

// Chooses the entry with that text in the next menu that opens while it lives.
class CMenuChooser : public QObject
{
public:
    explicit CMenuChooser(const QString &strEntry)
    {
        auto *pPoll = new QTimer(this);
        connect(pPoll, &QTimer::timeout, this, [this, strEntry]() {
            auto *pMenu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!pMenu || m_bDone)
                return;
            m_bDone = true;
            for (QAction *pAction : pMenu->actions())
                if (pAction->text() == strEntry)
                    pMenu->setActiveAction(pAction);
            QTest::keyClick(pMenu, pMenu->activeAction() ? Qt::Key_Return : Qt::Key_Escape);
        });
        pPoll->start(5);
    }
    bool m_bDone = false;
};

} // namespace

class TestOperatorRandom : public QObject
{
    Q_OBJECT

    std::unique_ptr<CDeviceSimulator> m_pSim;
    std::unique_ptr<CDeviceSimulator> m_pSimZ;
    std::unique_ptr<CDeviceSimulator> m_pSimT2; // the second Tarn device, "RT2"
    QString m_strEdited = "RSN";                // the Tarn device the Tarn frame edits
    QMap<QString, int> m_osdIndex;              // each Tarn device's OSD index, as last chosen for it
    MainWindow *m_pWindow = nullptr;
    // Settings page fields showing a previewed scene's stored value rather than the live one.
    QMap<QString, int> m_zPreviewed;
    std::mt19937 m_rng;
    QStringList m_listDone;  // the steps so far
    QStringList m_listAsked; // questions and notices of the current step
    bool m_bYes = false;
    QElapsedTimer m_stepTime;
    QMap<QString, QElapsedTimer> m_lastEnding; // by device: since it last said something, unless linked again

    CEditSceneMain *frame() const { return m_pWindow->editSceneMain(); }
    CEditSceneCanvas *canvas() const { return frame()->canvas(); }
    CEditBaseView *view() const { return canvas()->view(); }
    CProgramListWidget *strip() const { return frame()->programListWidget(); }
    CTcpDeviceThread *worker() const { return m_pWindow->getCurrentDevice(m_strEdited); }
    CDeviceSimulator *tarnSim(bool bEdited = true) const
    {
        return (m_strEdited == "RT2") == bEdited && m_pSimT2 ? m_pSimT2.get() : m_pSim.get();
    }
    QString otherSerial() const { return m_strEdited == "RSN" ? "RT2" : "RSN"; }
    Zinferface *zframe() const { return m_pWindow->zInterface(); }
    CProgramListWidget *zstrip() const { return zframe()->programListWidget(); }
    COtherWidget *zpage() const { return qobject_cast<COtherWidget *>(zframe()->propertyStack()->tipsWidget()); }
    CTcpDeviceThread *zworker() const { return m_pWindow->getCurrentDevice("RZS"); }
    int pick(int n) { return n > 0 ? int(m_rng() % unsigned(n)) : 0; }
    int between(int a, int b) { return a + pick(b - a + 1); }

    // ------------------------------------------------------------------ the console

    // The Tarn device, and with bZ a Z device beside it on the next address (same port, a smaller
    // screen, scenes stored with values unlike each other's), switched on and edited in both frames.
    // With bT2 a second Tarn device instead (a 1280 x 720 screen), edited after the first.
    bool start(bool bZ = false, bool bT2 = false)
    {
        m_pSim.reset(new CDeviceSimulator(CSimDeviceModel::Tarn, 4, 3));
        m_pSim->setSerial("RSN");
        m_pSim->model().bSplitScreen = true;
        m_strEdited = "RSN";
        if (bZ) {
            m_pSimZ.reset(new CDeviceSimulator(CSimDeviceModel::Z, 3, 3));
            m_pSimZ->setSerial("RZS");
        }
        if (bT2) {
            m_pSimT2.reset(new CDeviceSimulator(CSimDeviceModel::Tarn, 4, 3));
            m_pSimT2->setSerial("RT2");
            CSimDeviceModel &t = m_pSimT2->model();
            t.nScreenWidth = 1280;
            t.nScreenHeight = 720;
            t.nOsdOn = 1; // said at switch-on, before any editor opens
            for (CSimScene &sc : t.scenes) {
                sc.nWidth = 1280;
                sc.nHeight = 720;
                for (CSimLayer &l : sc.layers) {
                    l.nX = l.nIndex * 640;
                    l.nWidth = 640;
                    l.nHeight = 360;
                }
            }
        }
        CDeviceSimulator *pSecond = bZ ? m_pSimZ.get() : m_pSimT2.get();
        const bool bListening = pSecond ? CDeviceSimulator::listenOnOnePort(*m_pSim, QHostAddress("127.0.0.9"), *pSecond,
                                                                            QHostAddress("127.0.0.10"))
                                        : m_pSim->listen(QHostAddress("127.0.0.9"), 0);
        if (!bListening)
            return false;
        if (bZ) {
            CSimDeviceModel &z = m_pSimZ->model();
            z.nScreenWidth = z.nLayerWidth = z.nOutW = 1280;
            z.nScreenHeight = z.nLayerHeight = z.nOutH = 720;
            for (int i = 0; i < z.scenes.size(); ++i) {
                CSimScene &s = z.scenes[i];
                s.nMainSig = i;
                s.nCropX = 10 * i;
                s.nCropW = 1280 - 20 * i;
                s.nScaleMode = i % 2;
                s.nSilent = (i + 1) % 2;
                s.nSound = 30 + 20 * i;
                s.nBrightness = 90 - 15 * i;
            }
        }
        MainWindow::setDevicePort(m_pSim->port());
        m_pWindow = new MainWindow;
        m_pWindow->slot_newDevice({"127.0.0.9", QString(), "Tarn-3", "RSN"});
        QTest::mouseClick(m_pWindow->checkR4Exist("RSN")->switchButton(), Qt::LeftButton);
        if (bZ) {
            m_pWindow->slot_newDevice({"127.0.0.10", QString(), "Z7", "RZS"});
            QTest::mouseClick(m_pWindow->checkR4Exist("RZS")->switchButton(), Qt::LeftButton);
        }
        if (bT2) {
            m_pWindow->slot_newDevice({"127.0.0.10", QString(), "Tarn-3", "RT2"});
            QTest::mouseClick(m_pWindow->checkR4Exist("RT2")->switchButton(), Qt::LeftButton);
        }
        if (!QTest::qWaitFor([this, bZ, bT2]() {
                return worker()->getDeviceInfo()->vectorInput.size() == 4
                       && (!bZ || zworker()->getDeviceInfo()->vectorInput.size() == 3)
                       && (!bT2 || m_pWindow->getCurrentDevice("RT2")->getDeviceInfo()->vectorInput.size() == 4);
            }, 5000))
            return false;
        m_pWindow->checkR4Exist("RSN")->findChild<QPushButton *>("btnEdit")->click();
        frame()->resize(1400, 1000);
        if (!QTest::qWaitForWindowExposed(frame()))
            return false;
        if (bZ) {
            m_pWindow->checkR4Exist("RZS")->findChild<QPushButton *>("btnEdit")->click();
            if (!QTest::qWaitForWindowExposed(zframe()))
                return false;
        }
        settle();
        return ProgramTest::usedIds(*strip()).size() == 3 && (!bZ || ProgramTest::usedIds(*zstrip()).size() == 3);
    }

    // Both devices quiet, then (on a loaded machine the console may still be on its way) until the
    // console shows what the devices hold, or long enough that it never will.
    void settle()
    {
        QElapsedTimer sinceStart, sinceRequest;
        sinceStart.start();
        sinceRequest.start();
        int nLast = -1;
        while (sinceStart.elapsed() < 8000 && !(quiet() && sinceRequest.elapsed() >= 200)) {
            QTest::qWait(20);
            const int n = m_pSim->requestCount() + (m_pSimZ ? m_pSimZ->requestCount() : 0)
                          + (m_pSimT2 ? m_pSimT2->requestCount() : 0);
            if (n != nLast) {
                nLast = n;
                sinceRequest.restart();
            }
        }
        // The checks that follow tell what, if anything, never came.
        (void)QTest::qWaitFor([this]() { return quiet() && mismatch().isEmpty() && zMismatch().isEmpty(); }, 5000);
    }

    // Every device's worker (null for one switched off) and its simulator.
    QList<QPair<CTcpDeviceThread *, CDeviceSimulator *>> links() const
    {
        QList<QPair<CTcpDeviceThread *, CDeviceSimulator *>> list{{m_pWindow->getCurrentDevice("RSN"), m_pSim.get()}};
        if (m_pSimZ)
            list.append({zworker(), m_pSimZ.get()});
        if (m_pSimT2)
            list.append({m_pWindow->getCurrentDevice("RT2"), m_pSimT2.get()});
        return list;
    }

    // What keeps a link busy, for the failure report.
    QString busyText() const
    {
        QStringList list;
        for (const auto &link : links()) {
            CTcpDeviceThread *pWorker = link.first;
            if (!pWorker)
                continue;
            const CDeviceSimulator &sim = *link.second;
            QStringList last;
            const QList<CSimRequest> requests = sim.requestsWithoutHeartbeat();
            for (int i = qMax(0, requests.size() - 4); i < requests.size(); ++i)
                last << QString("%1/%2/%3").arg(requests.at(i).nCmd).arg(requests.at(i).nReadOrWrite).arg(requests.at(i).nSub);
            list << QString("%1: %2 queued%3, last requests %4")
                        .arg(pWorker->getDeviceSerial())
                        .arg(pWorker->queuedCommandCount())
                        .arg(pWorker->hasCommandInFlight() ? ", one in flight" : "")
                        .arg(last.join(" "));
        }
        return list.join("; ");
    }

    // Nothing queued and nothing sent that the console has not taken the answer of, no write not
    // ended yet, on any link, and no OSD transfer running.
    bool quiet() const
    {
        for (const auto &link : links())
            if (link.first && (link.first->queuedCommandCount() > 0 || link.first->hasCommandInFlight()
                               || link.first->hasWritePending()))
                return false;
        return !COSDTransfer::activeTransfer();
    }

    DeviceState deviceState(bool bEdited = true) { return DeviceState(tarnSim(bEdited)->model()); }

    CEditBaseScene *shownScene() const { return canvas()->currentScene(); }

    QPoint toView(const QPointF &pt) const { return view()->mapFromScene(pt); }

    QString devicePoint(const QPointF &pt) const
    {
        return QString("(%1, %2)").arg(qRound(pt.x() * g_dWScale)).arg(qRound(pt.y() * g_dHScale));
    }

    // The layer the operator hits at that scene point: the topmost one whose own body is there.
    CEditSingleTextItem *layerAt(const QPointF &pt) const
    {
        const QList<QGraphicsItem *> under = shownScene()->items(pt, Qt::IntersectsItemShape, Qt::DescendingOrder);
        return under.isEmpty() ? nullptr : CEditSingleTextItem::fromItem(under.first());
    }

    // A layer of the shown scene and a point on it that hits it, or null.
    CEditSingleTextItem *pickLayer(QPointF &ptOn)
    {
        if (!shownScene())
            return nullptr;
        const QList<CEditSingleTextItem *> layers = shownScene()->layerItems();
        if (layers.isEmpty())
            return nullptr;
        CEditSingleTextItem *pLayer = layers.at(pick(layers.size()));
        ptOn = pLayer->sceneBoundingRect().center();
        return layerAt(ptOn) == pLayer && view()->viewport()->rect().contains(toView(ptOn)) ? pLayer : nullptr;
    }

    CCardProgramWidget *pickCard()
    {
        const QList<int> ids = ProgramTest::usedIds(*strip());
        return ids.isEmpty() ? nullptr : ProgramTest::card(*strip(), ids.at(pick(ids.size())));
    }

    void chooseFromCardMenu(CCardProgramWidget *pCard, const QString &strEntry)
    {
        CMenuChooser chooser(strEntry);
        const QPoint pt = pCard->rect().center();
        QContextMenuEvent e(QContextMenuEvent::Mouse, pt, pCard->mapToGlobal(pt));
        QApplication::sendEvent(pCard, &e);
    }

    // ------------------------------------------------------------------ the steps

    // Draws one step the console's present state allows and performs it; false when the drawn
    // step found nothing to act on.
    bool perform(Step &step)
    {
        CEditBaseScene *pShown = shownScene();
        step.nScene = pShown ? int(pShown->getSceneID()) : 0;
        step.nLayer = -1;
        QWidget *pViewport = view()->viewport();
        switch (step.kind) {
        case Drop: {
            if (!pShown)
                return false;
            const int nInput = pick(4);
            const QRect rtCanvas = pShown->getBackCanvasRect();
            // Mostly on the canvas, now and then in the margin beside it.
            QPointF pt(between(rtCanvas.left() + 1, rtCanvas.right() - 1), between(rtCanvas.top() + 1, rtCanvas.bottom() - 1));
            if (pick(6) == 0)
                pt.setX(rtCanvas.right() + between(5, 20));
            CDeviceItem *pRow = nullptr;
            for (int r = 0; r < frame()->fileListWidget()->layoutList()->rowCount(); ++r)
                if (frame()->fileListWidget()->layoutList()->itemAt(r)->getInputSrcIndex() == nInput)
                    pRow = frame()->fileListWidget()->layoutList()->itemAt(r);
            if (!pRow || !pViewport->rect().contains(toView(pt)))
                return false;
            step.strText = QString("drop IN%1 on scene %2 at %3").arg(nInput + 1).arg(step.nScene).arg(devicePoint(pt));
            SceneTest::dropOn(view(), CDeviceItem::makeDragData(pRow->getDeviceImage(), pRow->dragCaption(), nInput),
                              toView(pt));
            return true;
        }
        case Drag:
        case Resize: {
            QPointF ptOn;
            CEditSingleTextItem *pLayer = pickLayer(ptOn);
            if (!pLayer)
                return false;
            step.nLayer = pLayer->getItemId();
            const QPoint delta(between(-120, 120), between(-90, 90));
            const int nHandle = step.kind == Resize ? between(1, 8) : 0;
            step.strText = QString("%1 L%2 of scene %3%4 by (%5, %6)")
                               .arg(step.kind == Drag ? "drag" : "resize")
                               .arg(step.nLayer)
                               .arg(step.nScene)
                               .arg(nHandle ? QString(" at handle %1").arg(nHandle) : QString())
                               .arg(qRound(delta.x() * g_dWScale))
                               .arg(qRound(delta.y() * g_dHScale));
            QPoint from = toView(ptOn);
            if (step.kind == Resize) {
                // Select it with a click, then take one of its handles.
                QPointer<CEditSingleTextItem> pStill(pLayer);
                QTest::mouseClick(pViewport, Qt::LeftButton, Qt::NoModifier, from);
                if (!pStill || !pLayer->isSelected()) {
                    step.strText += " (the click selected nothing)";
                    return true;
                }
                for (QGraphicsItem *pChild : pLayer->childItems())
                    if (auto *pHandle = dynamic_cast<CEditSizeHandleRect *>(pChild))
                        if (pHandle->dir() == nHandle)
                            from = toView(pHandle->sceneBoundingRect().center());
            }
            sendMouse(pViewport, QEvent::MouseMove, from);
            sendMouse(pViewport, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
            for (int i = 1; i <= 4; ++i)
                sendMouse(pViewport, QEvent::MouseMove, from + delta * i / 4, Qt::NoButton, Qt::LeftButton);
            sendMouse(pViewport, QEvent::MouseButtonRelease, from + delta, Qt::LeftButton, Qt::NoButton);
            return true;
        }
        case Delete: {
            QPointF ptOn;
            CEditSingleTextItem *pLayer = pickLayer(ptOn);
            if (!pLayer)
                return false;
            step.nLayer = pLayer->getItemId();
            step.strText = QString("delete L%1 of scene %2 from its menu").arg(step.nLayer).arg(step.nScene);
            CMenuChooser chooser(QString::fromUtf8("删除图层"));
            sendMouse(pViewport, QEvent::MouseButtonPress, toView(ptOn), Qt::RightButton, Qt::RightButton);
            sendMouse(pViewport, QEvent::MouseButtonRelease, toView(ptOn), Qt::RightButton, Qt::NoButton);
            return true;
        }
        case Trans: {
            // Selected with a click, then a value typed on the layer page.
            QPointF ptOn;
            CEditSingleTextItem *pLayer = pickLayer(ptOn);
            if (!pLayer)
                return false;
            step.nLayer = pLayer->getItemId();
            const int nValue = between(0, 255);
            step.strText = QString("transparency of L%1 of scene %2 to %3").arg(step.nLayer).arg(step.nScene).arg(nValue);
            QPointer<CEditSingleTextItem> pStill(pLayer);
            QTest::mouseClick(pViewport, Qt::LeftButton, Qt::NoModifier, toView(ptOn));
            if (!pStill || !pLayer->isSelected()) {
                step.strText += " (the click selected nothing)";
                return true;
            }
            QSpinBox *pSpin = frame()->propertyStack()->wndLineWidget()->findChild<QSpinBox *>("spinBoxTrans");
            QTest::keyClick(pSpin, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(pSpin, Qt::Key_Backspace);
            QTest::keyClicks(pSpin, QString::number(nValue));
            QTest::keyClick(pSpin, Qt::Key_Return);
            return true;
        }
        case Clean:
            if (!pShown)
                return false;
            step.strText = QString("clean scene %1").arg(step.nScene);
            QTest::mouseClick(canvas()->cleanButton(), Qt::LeftButton);
            return true;
        case Show:
        case Recall:
        case Rename:
        case Update: {
            CCardProgramWidget *pCard = pickCard();
            if (!pCard)
                return false;
            step.nScene = pCard->getCardId();
            if (step.kind == Show) {
                step.strText = QString("show scene %1").arg(step.nScene);
                QTest::mouseClick(pCard, Qt::LeftButton);
            } else if (step.kind == Recall) {
                step.strText = QString("recall scene %1 (double click)").arg(step.nScene);
                QTest::mouseClick(pCard, Qt::LeftButton);
                QPointer<CCardProgramWidget> pStill(pCard);
                if (pStill)
                    QTest::mouseDClick(pCard, Qt::LeftButton);
            } else if (step.kind == Update) {
                step.strText = QString("update scene %1").arg(step.nScene);
                chooseFromCardMenu(pCard, QString::fromUtf8("更新场景"));
            } else {
                static const QStringList names = {"Hall", "Stage A", QString::fromUtf8("大厅"),
                                                  QString::fromUtf8("大厅舞台灯光控制"), "Lobby-2nd-floor"};
                const QString strName = names.at(pick(names.size()));
                step.strText = QString("rename scene %1 to \"%2\"").arg(step.nScene).arg(strName);
                QPointer<CCardProgramWidget> pStill(pCard);
                chooseFromCardMenu(pCard, QString::fromUtf8("重命名场景"));
                if (pStill && pStill->isEditingName()) {
                    typeName(pStill->nameEditor(), strName);
                    if (pStill)
                        QTest::keyClick(pStill->nameEditor(), Qt::Key_Return);
                }
            }
            return true;
        }
        case Add: {
            CCardProgramWidget *pAdd = ProgramTest::addCard(*strip());
            if (!pAdd)
                return false;
            step.strText = "add a scene";
            QTest::mouseClick(pAdd->addButton(), Qt::LeftButton);
            return true;
        }
        case Refresh:
            step.strText = "refresh the strip";
            QTest::mouseClick(strip()->findChild<QPushButton *>("btnReflash"), Qt::LeftButton);
            return true;
        default:
            break;
        }
        return false;
    }

    // Waits until the device's worker is connected (bOn) or gone or not connected.
    bool waitForLink(const QString &strSerial, bool bOn)
    {
        return QTest::qWaitFor([&]() {
            CTcpDeviceThread *pWorker = m_pWindow->getCurrentDevice(strSerial);
            return bOn == (pWorker && pWorker->isConnected());
        }, 5000);
    }

    CDeviceSimulator *simOf(const QString &strSerial) const
    {
        return strSerial == "RSN" ? m_pSim.get() : strSerial == "RZS" ? m_pSimZ.get() : m_pSimT2.get();
    }

    // The device announces itself again (after a restart or a lost link).
    void announce(const QString &strSerial)
    {
        m_pWindow->slot_newDevice({strSerial == "RSN" ? "127.0.0.9" : "127.0.0.10", QString(),
                                   strSerial == "RZS" ? "Z7" : "Tarn-3", strSerial});
    }

    // A step drawn from kinds and performed by fnPerform, or an ending on strSerial joined to such
    // steps (those that address that device only).
    bool performOrEnding(Step &step, const QString &strSerial, const QList<Kind> &kinds,
                         const std::function<bool(Step &)> &fnPerform)
    {
        if (step.kind < Lost)
            return fnPerform(step);
        const auto fnKind = [&]() {
            Kind k;
            do
                k = kinds.at(pick(kinds.size()));
            while (k >= Switch || k == ZSaveTo);
            return k;
        };
        return performEnding(step, strSerial, [&](Step &s) { return makeStep(s, fnKind, fnPerform); });
    }

    // The ending step on the device strSerial: lost in flight (the link drops at the device's next
    // scene, layer or settings command; it announces itself again), silent (it stops answering
    // for a while shorter than the silence that loses the link, or until the link is lost, and
    // answers again), or switched off at once after steps joined without a wait, then on.
    // step.bUntaken: a write the device got in flight or silent, or queued at the switch-off.
    bool performEnding(Step &step, const QString &strSerial, const std::function<bool(Step &)> &fnJoin)
    {
        CDeviceSimulator *pSim = simOf(strSerial);
        CTcpDeviceThread *pWorker = m_pWindow->getCurrentDevice(strSerial);
        if (!pWorker || !pWorker->isConnected())
            return false;
        // Endings less than two seconds apart are one burst, said once.
        const bool bNews = !m_lastEnding.contains(strSerial) || m_lastEnding[strSerial].elapsed() >= 2000;
        step.strSerial = strSerial;
        const int nFirst = pSim->requests().size();
        const bool bLong = pick(4) == 0;
        // A long silence loses the link after 1.5 s; a short one sees no heartbeat, mostly.
        pWorker->setHeartbeatInterval(step.kind == Silent && !bLong ? 3000 : 300);
        if (step.kind == Lost)
            for (int nCmd : {30, 34, 35, 36})
                pSim->injectFault(CDeviceSimulator::DropConnection, nCmd);
        pSim->setAnswering(step.kind != Silent);
        QStringList texts;
        for (int i = step.kind == OffQueued ? between(2, 3) : 1; i > 0; --i) {
            Step s;
            s.bYes = pick(2) == 0;
            s.bOsd = step.bOsd;
            if (!fnJoin(s))
                continue;
            noteAsked(s);
            texts << s.strText;
            step.joined.push_back(s);
        }
        const auto writesFrom = [pSim](int nFrom) {
            const QList<CSimRequest> sent = pSim->requests();
            QList<int> rw;
            for (int i = nFrom; i < sent.size(); ++i)
                if (sent.at(i).nCmd != 27)
                    rw << sent.at(i).nReadOrWrite;
            return rw;
        };
        QString strHow;
        if (step.kind == Lost) {
            (void)QTest::qWaitFor([&]() { return !pWorker->isConnected() || quiet(); }, 5000);
            const QList<int> rw = writesFrom(nFirst); // the last went unanswered with the link
            step.bUntaken = !pWorker->isConnected() && !rw.isEmpty() && rw.last() == 2;
            strHow = pWorker->isConnected() ? "no link lost" : step.bUntaken ? "lost with a write" : "lost with a read";
            pSim->clearFaults();
        } else if (step.kind == Silent) {
            strHow = bLong ? "silent until the link is lost" : "silent for a while";
            // Silent until the link is lost, a write pending then is never taken; for a while,
            // one the device got then is never answered, those queued behind go through.
            step.bUntaken = bLong && pWorker->hasWritePending();
            if (bLong)
                (void)waitForLink(strSerial, false);
            else
                QTest::qWait(between(150, 450));
            step.bUntaken = step.bUntaken || writesFrom(nFirst).contains(2);
            pSim->setAnswering(true);
            pWorker->setHeartbeatInterval(300); // the next heartbeat's reply ends what is unanswered
        } else {
            // One in flight may have been taken: read back on the next link, said if it was not.
            // What is queued at the switch-off is known once the worker thread can send nothing
            // more before a reply, which this thread takes in.
            (void)QTest::qWaitFor([pWorker]() { return !pWorker->hasWriteQueued() || pWorker->queueHeld(); }, 5000);
            step.bUntaken = pWorker->hasWriteQueued();
            strHow = pWorker->hasWritePending() ? "switched off with writes pending" : "switched off";
            QTest::mouseClick(m_pWindow->checkR4Exist(strSerial)->switchButton(), Qt::LeftButton);
            (void)waitForLink(strSerial, false);
            QTest::mouseClick(m_pWindow->checkR4Exist(strSerial)->switchButton(), Qt::LeftButton);
        }
        step.bUntaken = step.bUntaken && bNews;
        if (!bNews)
            strHow += ", in the last burst";
        step.bRelinked = !pWorker->isConnected();
        if (step.bRelinked && step.kind != OffQueued)
            announce(strSerial);
        if (!waitForLink(strSerial, true))
            strHow += ", it did not come back";
        step.strText = QString("%1 (%2): %3").arg(strSerial, strHow, texts.join(" + "));
        return true;
    }

    // Said wrongly: a notice naming a device the step did not address, or none naming the device
    // whose write the step's ending did not take (one that went with the link is in doubt until
    // the next link reads it back: its loss box names the device meanwhile).
    QString noticeMismatch(const Step &step, const QStringList &addressed)
    {
        QStringList bad;
        for (const QString strSerial : {"RSN", "RZS", "RT2"}) {
            const int n = TestUtil::said("notice", strSerial);
            // What it says next is news after a new link or two seconds without endings.
            if (step.bRelinked && step.strSerial == strSerial)
                m_lastEnding.remove(strSerial);
            else if (n || step.strSerial == strSerial)
                m_lastEnding[strSerial].start();
            if (n && !addressed.contains(strSerial))
                bad << QString("%1 notices naming %2, which the step did not address").arg(n).arg(strSerial);
            if (!n && step.bUntaken && step.strSerial == strSerial && !TestUtil::said("tipInfor", strSerial))
                bad << QString("no notice naming %1, which did not take a write").arg(strSerial);
        }
        return bad.join("; ");
    }

    // A step of the two-Tarn run; the Tarn frame's own steps are perform()'s.
    bool performT2(Step &step)
    {
        CEditBaseScene *pShown = shownScene();
        step.nScene = pShown ? int(pShown->getSceneID()) : 0;
        const QString strOther = otherSerial();
        switch (step.kind) {
        case OsdOn: {
            if (!pShown)
                return false;
            const int nIndex = pick(6);
            step.strText = QString("OSD %1 on scene %2 from the OSD dialog, then sent").arg(nIndex + 1).arg(step.nScene);
            TestUtil::lookAtNextModal([nIndex](QWidget *pDialog) {
                if (auto *pTabs = pDialog->findChild<QTabWidget *>("tabWidget")) {
                    pTabs->setCurrentIndex(nIndex);
                    QTest::mouseClick(pDialog->findChild<QPushButton *>("ApplyButton"), Qt::LeftButton);
                }
            });
            QPointer<CEditBaseScene> pStill(pShown);
            const bool bChosen = !COSDTransfer::activeTransfer(); // not while an OSD goes out
            QTest::mouseClick(frame()->findChild<QPushButton *>("OSDSettingButton"), Qt::LeftButton);
            if (bChosen)
                m_osdIndex[m_strEdited] = nIndex;
            // The strip clicked (an OSD already there is refreshed, not selected), then a small
            // OSD typed on its position page, which keeps the bitmap short.
            if (!pStill || pStill != shownScene())
                return true;
            if (CEditBaseItem *pOsd = pShown->osdItem())
                QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier, toView(pOsd->sceneBoundingRect().center()));
            CPropertyStack *pStack = frame()->propertyStack();
            typeName(pStack->wndOSDPosWidget()->findChild<QLineEdit *>("editW"), QString::number(8 * between(8, 40)));
            typeName(pStack->wndOSDPosWidget()->findChild<QLineEdit *>("editH"), QString::number(between(8, 32)));
            QTest::mouseClick(pStack->findChild<QPushButton *>("OSDApplication"), Qt::LeftButton);
            return true;
        }
        case OsdDelete: {
            CEditBaseItem *pOsd = pShown ? pShown->osdItem() : nullptr;
            const QPoint pt = pOsd ? toView(pOsd->sceneBoundingRect().center()) : QPoint(-1, -1);
            if (!view()->viewport()->rect().contains(pt))
                return false;
            step.strText = QString("delete the OSD of scene %1 from its menu").arg(step.nScene);
            CMenuChooser chooser(QString::fromUtf8("删除图层"));
            sendMouse(view()->viewport(), QEvent::MouseButtonPress, pt, Qt::RightButton, Qt::RightButton);
            sendMouse(view()->viewport(), QEvent::MouseButtonRelease, pt, Qt::RightButton, Qt::NoButton);
            return true;
        }
        case Switch:
            if (!m_pWindow->getCurrentDevice(strOther) || !m_pWindow->getCurrentDevice(strOther)->isConnected())
                return false;
            step.strText = QString::fromUtf8("edit %1 (its row's 场景编辑)").arg(strOther);
            m_pWindow->checkR4Exist(strOther)->findChild<QPushButton *>("btnEdit")->click();
            m_strEdited = strOther;
            return true;
        case OtherRestart:
        case OtherOffOn: {
            if (!waitForLink(strOther, true))
                return false;
            const bool bRestart = step.kind == OtherRestart;
            step.strText = QString("%1 %2").arg(strOther, bRestart ? "restarts" : "switched off and on");
            if (bRestart) {
                // The link drops; the device announces itself again once it is up.
                tarnSim(false)->dropClients();
                if (!waitForLink(strOther, false))
                    step.strText += " (the link stayed)";
                announce(strOther);
            } else {
                QTest::mouseClick(m_pWindow->checkR4Exist(strOther)->switchButton(), Qt::LeftButton);
                if (!waitForLink(strOther, false))
                    step.strText += " (it stayed on)";
                QTest::mouseClick(m_pWindow->checkR4Exist(strOther)->switchButton(), Qt::LeftButton);
            }
            if (!waitForLink(strOther, true))
                step.strText += " (it did not come back)";
            return true;
        }
        default:
            return perform(step);
        }
    }

    // What the console keeps of a Tarn device's OSD and the device disagree on, or empty; since
    // nRequest, each OSD switch it was sent carried its own OSD index.
    QString osdMismatch(const QString &strSerial, int nRequests)
    {
        CDeviceSimulator *pSim = strSerial == "RSN" ? m_pSim.get() : m_pSimT2.get();
        const bool bOn = CTarnSceneStore::osdOn(strSerial);
        if (bOn != (pSim->model().nOsdOn == 1))
            return QString("%1 OSD: console %2, device %3").arg(strSerial).arg(bOn).arg(pSim->model().nOsdOn);
        const QList<CSimRequest> sent = pSim->requests(40, 2);
        for (int i = nRequests; i < sent.size(); ++i)
            if (sent.at(i).nReadOrWrite == 2 && sent.at(i).payload.size() >= 2
                && sent.at(i).payload.at(1) != char(m_osdIndex.value(strSerial)))
                return QString("%1 OSD switch with index %2 (its own %3)")
                    .arg(strSerial).arg(int(sent.at(i).payload.at(1))).arg(m_osdIndex.value(strSerial));
        // Without an OSD only the live scene may keep its OSD item, and only when the device had one.
        CEditBaseScene *pShown = shownScene();
        const bool bNeverHadOne = strSerial == "RSN" && !m_osdIndex.contains(strSerial);
        if (strSerial == m_strEdited && !bOn && pShown && pShown->osdItem() && pShown->osdItem()->scene() == pShown
            && (bNeverHadOne || int(pShown->getSceneID()) != canvas()->takeScene()))
            return QString("%1 OSD off, yet scene %2 shows an OSD").arg(strSerial).arg(pShown->getSceneID());
        return QString();
    }

    CCardProgramWidget *pickZCard()
    {
        const QList<int> ids = ProgramTest::usedIds(*zstrip());
        return ids.isEmpty() ? nullptr : ProgramTest::card(*zstrip(), ids.at(pick(ids.size())));
    }

    QLineEdit *zedit(const char *pszName) const { return zpage()->findChild<QLineEdit *>(pszName); }

    // Types the values into the page's fields and applies the page.
    void applyZFields(const QList<const char *> &fields, const QList<int> &values)
    {
        for (int i = 0; i < fields.size(); ++i)
            typeName(zedit(fields.at(i)), QString::number(values.at(i)));
        QTest::mouseClick(zframe()->propertyStack()->findChild<QPushButton *>("ZApplication"), Qt::LeftButton);
    }

    // A step on the Z frame, drawn and performed as perform() does for the Tarn frame.
    bool performZ(Step &step)
    {
        step.nScene = 0;
        switch (step.kind) {
        case ZShow:
        case ZRecall:
        case ZUpdate:
        case ZDelete: {
            CCardProgramWidget *pCard = pickZCard();
            if (!pCard)
                return false;
            step.nScene = pCard->getCardId();
            if (step.kind == ZUpdate) {
                step.strText = QString("Z: update scene %1").arg(step.nScene);
                chooseFromCardMenu(pCard, QString::fromUtf8("更新场景"));
                return true;
            }
            if (step.kind == ZDelete) {
                step.strText = QString("Z: delete scene %1").arg(step.nScene);
                chooseFromCardMenu(pCard, QString::fromUtf8("删除场景"));
                return true;
            }
            // A click shows the scene's stored values on the settings page.
            const CSimScene &stored = m_pSimZ->model().scenes.at(step.nScene - 1);
            m_zPreviewed = {{"lineEditCutX", stored.nCropX}, {"lineEditCutY", stored.nCropY},
                            {"lineEditCutW", stored.nCropW}, {"lineEditCutH", stored.nCropH},
                            {"scale", stored.nScaleMode}, {"sound", stored.nSound}, {"bright", stored.nBrightness}};
            QPointer<CCardProgramWidget> pStill(pCard);
            QTest::mouseClick(pCard, Qt::LeftButton);
            if (step.kind == ZShow) {
                step.strText = QString("Z: show scene %1").arg(step.nScene);
            } else {
                step.strText = QString("Z: recall scene %1 (double click)").arg(step.nScene);
                if (pStill)
                    QTest::mouseDClick(pCard, Qt::LeftButton);
            }
            return true;
        }
        case ZAdd: {
            CCardProgramWidget *pAdd = ProgramTest::addCard(*zstrip());
            if (!pAdd)
                return false;
            step.strText = "Z: add a scene";
            QTest::mouseClick(pAdd->addButton(), Qt::LeftButton);
            return true;
        }
        case ZRefresh:
            step.strText = "Z: refresh the strip";
            QTest::mouseClick(zstrip()->findChild<QPushButton *>("btnReflash"), Qt::LeftButton);
            return true;
        case ZSource: {
            CLayoutListWidget *pRows = zframe()->fileListWidget()->layoutList();
            if (pRows->rowCount() == 0)
                return false;
            CDeviceItem *pRow = pRows->itemAt(pick(pRows->rowCount()));
            step.strText = QString("Z: press source IN%1").arg(pRow->getInputSrcIndex() + 1);
            QTest::mouseClick(pRow, Qt::LeftButton);
            return true;
        }
        case ZScale: {
            auto *pCombo = zpage()->findChild<QComboBox *>("ScalecomboBox");
            const bool bDown = pCombo->currentIndex() + 1 < pCombo->count();
            step.strText = QString("Z: scale mode %1").arg(pCombo->currentIndex() + (bDown ? 1 : -1));
            m_zPreviewed.remove("scale");
            QTest::keyClick(pCombo, bDown ? Qt::Key_Down : Qt::Key_Up);
            return true;
        }
        case ZMute:
            step.strText = "Z: mute button";
            QTest::mouseClick(zpage()->findChild<QToolButton *>("SilenttoolButton"), Qt::LeftButton);
            return true;
        case ZBright:
        case ZSound: {
            const bool bBright = step.kind == ZBright;
            auto *pSlider = zpage()->findChild<QSlider *>(bBright ? "brightnessSlider" : "SoundSlider");
            const int nValue = between(pSlider->minimum(), pSlider->maximum());
            step.strText = QString("Z: %1 slider to %2").arg(bBright ? "brightness" : "sound").arg(nValue);
            m_zPreviewed.remove(bBright ? "bright" : "sound");
            pSlider->setValue(nValue);
            emit pSlider->sliderReleased();
            return true;
        }
        case ZSize: {
            static const QList<QSize> sizes = {{1280, 720}, {1920, 1080}, {1024, 768}, {1600, 900}};
            const QSize size = sizes.at(pick(sizes.size()));
            step.strText = QString("Z: canvas size %1x%2").arg(size.width()).arg(size.height());
            applyZFields({"lineEditW", "lineEditH"}, {size.width(), size.height()});
            return true;
        }
        case ZCrop: {
            const QList<int> crop = {between(0, 100), between(0, 50), between(640, 1280), between(360, 720)};
            step.strText = QString("Z: input crop %1,%2 %3x%4").arg(crop[0]).arg(crop[1]).arg(crop[2]).arg(crop[3]);
            for (const char *pszField : {"lineEditCutX", "lineEditCutY", "lineEditCutW", "lineEditCutH"})
                m_zPreviewed.remove(pszField);
            applyZFields({"lineEditCutX", "lineEditCutY", "lineEditCutW", "lineEditCutH"}, crop);
            return true;
        }
        case ZSaveTo: {
            const int nCount = m_pSimZ->model().scenes.size();
            step.nScene = between(1, qMin(nCount + 1, m_pSimZ->model().nSceneMax));
            step.strText = QString("Z: save to scene %1").arg(step.nScene);
            // The dialog shows the device's count once it answered; then the number is typed.
            QElapsedTimer waited;
            waited.start();
            bool bAnswered = false;
            QTimer poll;
            connect(&poll, &QTimer::timeout, this, [&]() {
                CSceneSaveAsDlg *pDlg = zpage()->sceneSaveAsDlg();
                if (bAnswered || !pDlg || !pDlg->isVisible())
                    return;
                if (pDlg->sceneCount() != nCount && waited.elapsed() < 10000)
                    return;
                bAnswered = true;
                if (pDlg->sceneCount() != nCount) {
                    step.strText += " (the dialog never had the count)";
                    QTest::mouseClick(pDlg->findChild<QPushButton *>("pushButtonExit"), Qt::LeftButton);
                    return;
                }
                typeName(pDlg->findChild<QLineEdit *>("lineEditIndex"), QString::number(step.nScene));
                QTest::mouseClick(pDlg->findChild<QPushButton *>("pushButtonOk"), Qt::LeftButton);
            });
            poll.start(10);
            QTest::mouseClick(zpage()->findChild<QPushButton *>("SavescenepushButton"), Qt::LeftButton);
            return true;
        }
        default:
            return false;
        }
    }

    // ------------------------------------------------------------------ the checks

    // What the console and the device disagree on, or empty.
    QString mismatch()
    {
        const CSimDeviceModel &m = tarnSim()->model();
        if (canvas()->takeScene() != m.nTakeScene || strip()->takeScene() != m.nTakeScene)
            return QString("live scene: canvas %1, strip %2, device %3")
                .arg(canvas()->takeScene())
                .arg(strip()->takeScene())
                .arg(m.nTakeScene);
        QStringList cards, held;
        for (int nId : ProgramTest::usedIds(*strip()))
            cards << QString("%1 %2").arg(nId).arg(ProgramTest::card(*strip(), nId)->nameLabel()->text());
        for (int i = 0; i < m.scenes.size(); ++i)
            held << QString("%1 %2").arg(i + 1).arg(m.scenes.at(i).strName);
        if (cards != held)
            return QString("cards [%1], device [%2]").arg(cards.join(", "), held.join(", "));
        if (m.nTakeScene < 1 || m.nTakeScene > m.scenes.size())
            return QString();
        const CSimScene &live = m.scenes.at(m.nTakeScene - 1);
        CEditBaseScene *pLive = nullptr;
        for (CEditBaseScene *pScene : canvas()->sceneList())
            if (int(pScene->getSceneID()) == m.nTakeScene)
                pLive = pScene;
        if (!pLive)
            return QString("the canvas has no scene %1").arg(m.nTakeScene);
        // The part of each layer that lies on the screen, which is what the device can hold.
        const QRect rtScreen(0, 0, live.nWidth, live.nHeight);
        QStringList shown, device;
        for (CEditSingleTextItem *pLayer : pLive->layerItems()) {
            int x, y, w, h;
            pLayer->getItemPos(x, y);
            pLayer->getItemSize(w, h);
            const QRect rt = QRect(x, y, w, h).intersected(rtScreen);
            shown << QString("L%1 %2,%3 %4x%5").arg(pLayer->getItemId()).arg(rt.x()).arg(rt.y()).arg(rt.width()).arg(rt.height());
        }
        for (const CSimLayer &l : live.layers)
            device << QString("L%1 %2,%3 %4x%5").arg(l.nIndex).arg(l.nX).arg(l.nY).arg(l.nWidth).arg(l.nHeight);
        shown.sort();
        device.sort();
        if (shown != device)
            return QString("scene %1 layers: canvas [%2], device [%3]").arg(m.nTakeScene).arg(shown.join("; "), device.join("; "));
        return QString();
    }

    // What the Z frame and the Z device disagree on, or empty: live scene, cards, and the settings
    // page's fields (a field still showing a previewed scene may show that scene's stored value).
    QString zMismatch()
    {
        if (!m_pSimZ)
            return QString();
        const CSimDeviceModel &m = m_pSimZ->model();
        if (zstrip()->takeScene() != m.nTakeScene)
            return QString("Z live scene: strip %1, device %2").arg(zstrip()->takeScene()).arg(m.nTakeScene);
        QStringList cards, held;
        for (int nId : ProgramTest::usedIds(*zstrip()))
            cards << QString("%1 %2").arg(nId).arg(ProgramTest::card(*zstrip(), nId)->nameLabel()->text());
        for (int i = 0; i < m.scenes.size(); ++i)
            held << QString("%1 %2").arg(i + 1).arg(m.scenes.at(i).strName);
        if (cards != held)
            return QString("Z cards [%1], device [%2]").arg(cards.join(", "), held.join(", "));
        const QList<QPair<QString, int>> fields = {
            {"lineEditW", m.nLayerWidth}, {"lineEditH", m.nLayerHeight},
            {"lineEditXDeflection", m.nXDeflection}, {"lineEditYDeflection", m.nYDeflection},
            {"lineEditCutX", m.nInX}, {"lineEditCutY", m.nInY}, {"lineEditCutW", m.nInW}, {"lineEditCutH", m.nInH},
            {"lineEditoutCutX", m.nOutX}, {"lineEditoutCutY", m.nOutY}, {"lineEditoutCutW", m.nOutW},
            {"lineEditoutCutH", m.nOutH}};
        const auto shows = [this](const QString &strField, int nShown, int nLive) {
            return nShown == nLive || (m_zPreviewed.contains(strField) && m_zPreviewed.value(strField) == nShown);
        };
        QStringList bad;
        for (const auto &f : fields) {
            const QString strText = zedit(qPrintable(f.first))->text();
            if (!shows(f.first, strText.toInt(), f.second) || strText.isEmpty())
                bad << QString("%1 %2 (device %3)").arg(f.first, strText).arg(f.second);
        }
        const int nScale = zpage()->findChild<QComboBox *>("ScalecomboBox")->currentIndex();
        const int nBright = zpage()->findChild<QSlider *>("brightnessSlider")->value();
        const int nSound = zpage()->findChild<QSlider *>("SoundSlider")->value();
        const int nSoundOn = zpage()->findChild<QToolButton *>("SilenttoolButton")->styleSheet().contains("volume.png");
        if (!shows("scale", nScale, m.nScaleMode))
            bad << QString("scale %1 (device %2)").arg(nScale).arg(m.nScaleMode);
        if (!shows("bright", nBright, m.nBrightness))
            bad << QString("brightness %1 (device %2)").arg(nBright).arg(m.nBrightness);
        if (!shows("sound", nSound, m.nSound))
            bad << QString("sound %1 (device %2)").arg(nSound).arg(m.nSound);
        if (nSoundOn != m.nSilent)
            bad << QString("sound on %1 (device %2)").arg(nSoundOn).arg(m.nSilent);
        return bad.isEmpty() ? QString() : "Z page: " + bad.join(", ");
    }

    int zLiveReads() const
    {
        int n = 0;
        for (const CSimRequest &req : m_pSimZ->requests(34, 0))
            n += req.nReadOrWrite == 1;
        return n;
    }

    QString report(int nSeed, int nStep, const QString &strWhat) const
    {
        // The test's message is cut at 1 kB: the latest steps, the earlier ones counted.
        const int nFirst = qMax(0, m_listDone.size() - 10);
        return QString("seed %1, step %2: %3\nsteps%4:\n  %5")
            .arg(nSeed)
            .arg(nStep)
            .arg(strWhat, nFirst ? QString(" (%1 earlier left out)").arg(nFirst) : QString(),
                 m_listDone.mid(nFirst).join("\n  "));
    }

    static QList<int> seedsFromEnvironment()
    {
        QList<int> seeds;
        for (const QString &strPart : qEnvironmentVariable("VISTEL_RANDOM_SEEDS").split(',', Qt::SkipEmptyParts)) {
            const QStringList range = strPart.split('-');
            const int nFrom = range.first().toInt();
            const int nTo = range.last().toInt();
            for (int n = nFrom; n <= nTo; ++n)
                seeds << n;
        }
        return seeds;
    }

    // The seed rows: those of VISTEL_RANDOM_SEEDS, else the run's own.
    static void addSeedRows(const QList<int> &defaults)
    {
        QTest::addColumn<int>("seed");
        const QList<int> seeds = seedsFromEnvironment();
        for (int nSeed : seeds.isEmpty() ? defaults : seeds)
            QTest::newRow(qPrintable(QString("seed %1").arg(nSeed))) << nSeed;
    }

    static int stepCount(int nDefault)
    {
        return qEnvironmentVariableIsSet("VISTEL_RANDOM_STEPS") ? qEnvironmentVariableIntValue("VISTEL_RANDOM_STEPS") : nDefault;
    }

    // A step of a kind fnKind picks that fnPerform can make (at most 20 tries); the questions it
    // raises are answered step.bYes.
    bool makeStep(Step &step, const std::function<Kind()> &fnKind, const std::function<bool(Step &)> &fnPerform)
    {
        m_listAsked.clear();
        m_bYes = step.bYes;
        for (int nTry = 0; nTry < 20; ++nTry) {
            step.kind = fnKind();
            if (fnPerform(step))
                return true;
        }
        return false;
    }

    void beginStep()
    {
        BesMessageBox::clearTestRecords();
        m_stepTime.start();
    }

    // The questions and notices the step raised, and the answer given, join its text.
    void noteAsked(Step &step)
    {
        if (!m_listAsked.isEmpty())
            step.strText += QString(" [%1: %2]").arg(step.bYes ? "yes" : "no", m_listAsked.join("; "));
        m_listAsked.clear();
    }

    // The step's line in the report.
    void noteStep(int nStep, Step &step, const QString &strPrefix = QString())
    {
        noteAsked(step);
        m_listDone << QString("%1. %2%3").arg(nStep).arg(strPrefix, step.strText);
        if (qEnvironmentVariableIsSet("VISTEL_RANDOM_VERBOSE"))
            qInfo().noquote() << "step" << m_listDone.last().simplified() << m_stepTime.elapsed() << "ms";
    }

private slots:
    void initTestCase()
    {
        MainWindow::setDiscoveryPort(0, QHostAddress::LocalHost);
        MainWindow::setSerialPortLister([]() { return QStringList(); });
    }

    void init()
    {
        BesMessageBox::setTestAnswerHook([this](const BesMessageRecord &r) {
            m_listAsked << QString("%1 \"%2\"").arg(r.kind, r.text);
            return m_bYes ? QMessageBox::Ok : QMessageBox::Cancel;
        });
    }

    void cleanup()
    {
        BesMessageBox::clearTestAnswer();
        delete m_pWindow;
        m_pWindow = nullptr;
        m_pSim.reset();
        m_pSimZ.reset();
        m_pSimT2.reset();
        m_osdIndex.clear();
        m_zPreviewed.clear();
        CTcpDeviceThread::setEditedDeviceSerial(QString());
        QFile::remove("Morvane.ini");
    }

    void operatorSequence_data()
    {
        addSeedRows(kSeeds);
    }

    void operatorSequence()
    {
        QFETCH(int, seed);
        const int nSteps = stepCount(kSteps);
        m_rng.seed(unsigned(seed));
        m_listDone.clear();
        QVERIFY(start());
        QString strBad = mismatch();
        QVERIFY2(strBad.isEmpty(), qPrintable(report(seed, 0, strBad)));
        static const QList<Kind> weighted = {Drop, Drop, Drag, Drag, Resize, Resize, Delete, Delete, Show, Show,
                                             Recall, Add, Rename, Clean, Update, Refresh, Lost, Silent, OffQueued};
        for (int nStep = 1; nStep <= nSteps; ++nStep) {
            Step step;
            step.bYes = pick(2) == 0;
            const DeviceState before = deviceState();
            beginStep();
            const bool bDone = makeStep(step, [&]() { return weighted.at(pick(weighted.size())); }, [&](Step &s) {
                return performOrEnding(s, "RSN", weighted, [this](Step &j) { return perform(j); });
            });
            QVERIFY2(bDone, qPrintable(report(seed, nStep, "no step could be made")));
            settle();
            noteStep(nStep, step);
            QVERIFY2(quiet(), qPrintable(report(seed, nStep, "the console did not quieten: " + busyText())));
            QStringList listBad;
            for (const Change &c : changes(before, deviceState()))
                if (!allowedJoined(step, before.nTake, c))
                    listBad << c.text();
            QVERIFY2(listBad.isEmpty(), qPrintable(report(seed, nStep, "the device changed " + listBad.join(", "))));
            strBad = mismatch() + noticeMismatch(step, {"RSN"});
            QVERIFY2(strBad.isEmpty(), qPrintable(report(seed, nStep, strBad)));
        }
    }

    void twoDeviceSequence_data()
    {
        addSeedRows(kTwoDeviceSeeds);
    }

    void twoDeviceSequence()
    {
        QFETCH(int, seed);
        const int nSteps = stepCount(kTwoDeviceSteps);
        m_rng.seed(unsigned(seed));
        m_listDone.clear();
        QVERIFY(start(true));
        QString strBad = mismatch() + zMismatch();
        QVERIFY2(strBad.isEmpty(), qPrintable(report(seed, 0, strBad)));
        static const QList<Kind> tarnSteps = {Drop, Drop, Drag, Drag, Resize, Delete, Show, Recall, Add, Rename, Clean, Update,
                                              Refresh, Trans, Lost, Silent, OffQueued};
        static const QList<Kind> zSteps = {ZShow, ZShow, ZRecall, ZRecall, ZUpdate, ZAdd, ZDelete, ZRefresh, ZSource,
                                           ZScale, ZMute, ZBright, ZSound, ZSize, ZCrop, ZSaveTo, Lost, Silent, OffQueued};
        for (int nStep = 1; nStep <= nSteps; ++nStep) {
            Step step;
            step.bYes = pick(2) == 0;
            const bool bZ = pick(2) == 0;
            const DeviceState before = deviceState();
            const ZDeviceState zBefore(m_pSimZ->model());
            const int nLiveReads = zLiveReads();
            const QList<Kind> &kinds = bZ ? zSteps : tarnSteps;
            const QString strSerial = bZ ? "RZS" : "RSN";
            beginStep();
            const bool bDone = makeStep(step, [&]() { return kinds.at(pick(kinds.size())); }, [&](Step &s) {
                return performOrEnding(s, strSerial, kinds, [&](Step &j) { return bZ ? performZ(j) : perform(j); });
            });
            QVERIFY2(bDone, qPrintable(report(seed, nStep, "no step could be made")));
            settle();
            if (zLiveReads() != nLiveReads)
                m_zPreviewed.clear(); // the page was filled with the live values again
            noteStep(nStep, step);
            QVERIFY2(quiet(), qPrintable(report(seed, nStep, "the console did not quieten: " + busyText())));
            QStringList listBad;
            for (const Change &c : changes(before, deviceState()))
                if (bZ || !allowedJoined(step, before.nTake, c))
                    listBad << "Tarn " + c.text();
            for (const Change &c : zChanges(zBefore, ZDeviceState(m_pSimZ->model())))
                if (!bZ || !zAllowedJoined(step, c))
                    listBad << "Z " + c.text();
            QVERIFY2(listBad.isEmpty(), qPrintable(report(seed, nStep, "the device changed " + listBad.join(", "))));
            strBad = mismatch() + noticeMismatch(step, {strSerial});
            QVERIFY2(strBad.isEmpty(), qPrintable(report(seed, nStep, strBad)));
            strBad = zMismatch();
            QVERIFY2(strBad.isEmpty(), qPrintable(report(seed, nStep, strBad)));
        }
    }

    void twoTarnSequence_data()
    {
        addSeedRows(kTwoTarnSeeds);
    }

    void twoTarnSequence()
    {
        QFETCH(int, seed);
        const int nSteps = stepCount(kTwoTarnSteps);
        m_rng.seed(unsigned(seed));
        m_listDone.clear();
        QVERIFY(start(false, true));
        QString strBad = mismatch();
        QVERIFY2(strBad.isEmpty(), qPrintable(report(seed, 0, strBad)));
        static const QList<Kind> steps = {Drop, Drop, Drag, Resize, Delete, Show, Recall, Add, Rename, Clean, Clean, Trans,
                                          OsdOn, OsdOn, OsdDelete, Switch, Switch, Switch, OtherRestart, OtherOffOn,
                                          Lost, Silent, OffQueued};
        for (int nStep = 1; nStep <= nSteps; ++nStep) {
            Step step;
            step.bYes = pick(2) == 0;
            const QString strEdited = m_strEdited;
            const DeviceState before = deviceState();
            const DeviceState otherBefore = deviceState(false);
            const int nOsdSent = m_pSim->requests(40, 2).size();
            const int nOsdSent2 = m_pSimT2->requests(40, 2).size();
            step.bOsd = CTarnSceneStore::osdOn(m_strEdited);
            beginStep();
            const bool bDone = makeStep(step, [&]() { return steps.at(pick(steps.size())); }, [&](Step &s) {
                return performOrEnding(s, strEdited, steps, [this](Step &j) { return performT2(j); });
            });
            QVERIFY2(bDone, qPrintable(report(seed, nStep, "no step could be made")));
            settle();
            noteStep(nStep, step, strEdited + ": ");
            QVERIFY2(quiet(), qPrintable(report(seed, nStep, "the console did not quieten: " + busyText())));
            // The devices as they were edited when the step began.
            const bool bSwitched = strEdited != m_strEdited;
            QStringList listBad;
            for (const Change &c : changes(before, deviceState(!bSwitched)))
                if (!allowedJoined(step, before.nTake, c))
                    listBad << strEdited + " " + c.text();
            for (const Change &c : changes(otherBefore, deviceState(bSwitched)))
                listBad << "the other " + c.text();
            QVERIFY2(listBad.isEmpty(), qPrintable(report(seed, nStep, "the device changed " + listBad.join(", "))));
            const bool bBoth = step.kind >= Switch && step.kind < Lost;
            strBad = mismatch() + osdMismatch("RSN", nOsdSent) + osdMismatch("RT2", nOsdSent2)
                     + noticeMismatch(step, bBoth ? QStringList{"RSN", "RT2"} : QStringList{strEdited});
            QVERIFY2(strBad.isEmpty(), qPrintable(report(seed, nStep, strBad)));
        }
    }
};

VISTEL_TEST_MAIN(TestOperatorRandom)
#include "tst_operator_random.moc"
