// The editing canvas with a large device: saving and loading a scene document
// of 16 scenes x 64 layers, and switching the shown scene between two scenes
// of 64 layers (the switch itself, then with the repaint it causes).
// Then loading documents of 16, 255 and 2,000 scenes of 8 layers each from
// their files (the last holds more scenes than a device and is refused), and
// the largest document a device can fill: 255 scenes x 255 layers.
// Run offscreen: QT_QPA_PLATFORM=offscreen ./bench_canvas

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "BenchUtil.h"
#include "BesMessageBox.h"
#include "EditBaseItem.h"
#include "EditBaseScene.h"
#include "EditSceneCanvas.h"
#include "QorGlobal.h"
#include "SceneDocument.h"

namespace {
const int SCENES = 16;
const int LAYERS = 64;

double ms(const QElapsedTimer &timer, int nRuns)
{
    return timer.nsecsElapsed() / 1e6 / nRuns;
}
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.info=false\n*.debug=false\n*.warning=false"));
    g_setDefaultDesktop(1920, 1080);

    std::vector<std::unique_ptr<CEditBaseScene>> owner;
    QList<CEditBaseScene *> listScene;
    for (int s = 1; s <= SCENES; ++s) {
        owner.emplace_back(new CEditBaseScene);
        CEditBaseScene *pScene = owner.back().get();
        pScene->setSceneID(unsigned(s));
        pScene->setSceneName(QStringLiteral("S%1").arg(s));
        pScene->m_nLayerCount = 255;
        pScene->m_nWidth = 1920;
        pScene->m_nHeight = 1080;
        for (int i = 0; i < LAYERS; ++i) {
            qreal dDuration = 0;
            pScene->createSingleTextItem(QString(), QStringLiteral("IN%1").arg(i % 8),
                                         QSize(int(g_nWidth) / 4, int(g_nHeight) / 4),
                                         QPointF((i % 8) * 50, (i / 8) * 40), dDuration, i % 8);
        }
    }

    CEditSceneCanvas canvas;
    canvas.resize(1000, 700);
    canvas.show();
    for (auto &p : owner)
        listScene.append(p.get());
    canvas.setSceneData(QStringLiteral("SN1"), listScene, false, 1);
    app.processEvents();

    QTemporaryDir dir;
    const QString path = dir.filePath(CSceneDocument::DEFAULT_FILE);
    const int RUNS = 20;

    // Saving: the canvas's part (every item's JSON form), the JSON text, and
    // the file written through a temporary file and renamed into place.
    QElapsedTimer timer;
    qint64 nToJson = 0;
    qint64 nText = 0;
    timer.start();
    for (int r = 0; r < RUNS; ++r) {
        QElapsedTimer part;
        part.start();
        const QJsonObject doc = canvas.programToJson();
        nToJson += part.nsecsElapsed();
        part.restart();
        const QByteArray text = QJsonDocument(doc).toJson(QJsonDocument::Indented);
        nText += part.nsecsElapsed();
        QString strError;
        if (!CSceneDocument::writeFile(path, doc, strError))
            std::fprintf(stderr, "write failed: %s\n", qPrintable(strError));
    }
    // writeFile makes the text again; it is counted once.
    const double dSave = ms(timer, RUNS) - nText / 1e6 / RUNS;
    const double dToJson = nToJson / 1e6 / RUNS;
    const double dText = nText / 1e6 / RUNS;

    // Loading: reading and checking the whole file, then the scenes it names.
    QString strText;
    QString strError;
    CSceneDocument::readFile(path, strText, strError);
    qint64 nParse = 0;
    qint64 nLoad = 0;
    for (int r = 0; r < RUNS; ++r) {
        QElapsedTimer part;
        part.start();
        QVector<CSceneDocument::Scene> scenes;
        CSceneDocument::parse(strText, scenes);
        nParse += part.nsecsElapsed();
        part.restart();
        QString strRead;
        CSceneDocument::readFile(path, strRead, strError);
        canvas.jsonToPropgram(strRead);
        nLoad += part.nsecsElapsed();
        // Back to the device's scenes for the next round (not timed).
        canvas.setSceneData(QStringLiteral("SN1"), listScene, false, 1);
    }
    const double dLoad = nLoad / 1e6 / RUNS;
    const double dParse = nParse / 1e6 / RUNS;

    // Switching the shown scene between two scenes of 64 layers.
    const int SWITCHES = 200;
    timer.restart();
    for (int r = 0; r < SWITCHES; ++r)
        canvas.slot_changeCanvasScene(1 + (r % 2));
    const double dSwitch = ms(timer, SWITCHES);
    timer.restart();
    for (int r = 0; r < SWITCHES / 4; ++r) {
        canvas.slot_changeCanvasScene(1 + (r % 2));
        canvas.repaint();
    }
    const double dSwitchPaint = ms(timer, SWITCHES / 4);

    // Documents of growing scene counts, each loaded from its file: reading,
    // checking and the scenes it names (or the refusal).
    BesMessageBox::setTestAnswer(QMessageBox::Cancel);
    QJsonObject layer;
    for (QGraphicsItem *pItem : listScene.first()->m_listItems)
        if (pItem->type() == EditItemType_Base) {
            layer = static_cast<CEditBaseItem *>(pItem)->saveToJson();
            break;
        }
    struct Load
    {
        int nScenes;
        int nLayers;
        qint64 nBytes;
        double dMs;
        bool bLoaded;
    };
    std::vector<Load> loads;
    for (const auto &size : std::vector<std::pair<int, int>>{{16, 8}, {255, 8}, {2000, 8}, {255, 255}}) {
        const QString strDoc = dir.filePath(QStringLiteral("doc%1x%2.smt").arg(size.first).arg(size.second));
        if (!CSceneDocument::writeFile(strDoc, Bench::makeSceneDocument(size.first, size.second, layer), strError))
            std::fprintf(stderr, "write failed: %s\n", qPrintable(strError));
        const int nRuns = size.first * size.second > 10000 ? 3 : 10;
        std::vector<double> times;
        bool bLoaded = false;
        for (int r = 0; r < nRuns; ++r) {
            QElapsedTimer part;
            part.start();
            bLoaded = canvas.loadProjectFile(strDoc, nullptr);
            times.push_back(part.nsecsElapsed() / 1e6);
            canvas.setSceneData(QStringLiteral("SN1"), listScene, false, 1);
        }
        std::sort(times.begin(), times.end());
        loads.push_back({size.first, size.second, QFileInfo(strDoc).size(), times[times.size() / 2], bLoaded});
    }
    BesMessageBox::clearTestAnswer();

    std::printf("document of %d scenes x %d layers: %lld bytes\n", SCENES, LAYERS,
                static_cast<long long>(QFileInfo(path).size()));
    std::printf("save: %.2f ms (items to JSON %.2f ms, JSON text %.2f ms, the rest the file)\n", dSave, dToJson,
                dText);
    std::printf("load: %.2f ms (of which checking the whole document once takes %.2f ms)\n", dLoad, dParse);
    std::printf("switch between two scenes of %d layers: %.3f ms, with the repaint %.2f ms\n", LAYERS, dSwitch,
                dSwitchPaint);
    std::printf("loading a document from its file (median):\n");
    for (const Load &l : loads)
        std::printf("  %5d scenes x %3d layers, %9lld bytes: %9.2f ms, %7.2f us per scene, %s\n", l.nScenes,
                    l.nLayers, static_cast<long long>(l.nBytes), l.dMs, l.dMs * 1000.0 / l.nScenes,
                    l.bLoaded ? "loaded" : "refused");
    return 0;
}
