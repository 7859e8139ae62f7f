// The editing canvas with a large device: saving and loading a scene document
// of 16 scenes x 64 layers, and switching the shown scene between two scenes
// of 64 layers (the switch itself, then with the repaint it causes).
// Run offscreen: QT_QPA_PLATFORM=offscreen ./bench_canvas

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

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

    std::printf("document of %d scenes x %d layers: %lld bytes\n", SCENES, LAYERS,
                static_cast<long long>(QFileInfo(path).size()));
    std::printf("save: %.2f ms (items to JSON %.2f ms, JSON text %.2f ms, the rest the file)\n", dSave, dToJson,
                dText);
    std::printf("load: %.2f ms (of which checking the whole document once takes %.2f ms)\n", dLoad, dParse);
    std::printf("switch between two scenes of %d layers: %.3f ms, with the repaint %.2f ms\n", LAYERS, dSwitch,
                dSwitchPaint);
    return 0;
}
