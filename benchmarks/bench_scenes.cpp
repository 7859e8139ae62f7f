// Scene building and item persistence, timed on this machine:
//   1. a scene of 64 layers built from one layer read (reply parsing, records and layer items),
//      and the same read again updating the 64 items in place;
//   2. a full JSON round trip of 16 scenes x 64 layers: every item's object into one document,
//      the document to text and back, and every item made again from its object;
//   3. scene documents loaded from their files by the Tarn editor's canvas (with its source
//      panel), each against the floor of one read and one parse of the same file, rounds
//      alternating; and the peak memory of each (a child process per figure) against the file.
// Prints the median of the runs in milliseconds and the share of each step.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "BenchUtil.h"
#include "BesMessageBox.h"
#include "EditBaseScene.h"
#include "EditItemFactory.h"
#include "EditSceneCanvas.h"
#include "FileListWidget.h"
#include "SceneDocument.h"
#include "EditSingleTextItem.h"
#include "QorGlobal.h"
#include "SceneTestUtil.h"
#include "TarnSceneStore.h"
#include "TcpDeviceThread.h"

using namespace SceneTest;

namespace {

using Bench::median;

double msSince(QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

// CPU time of this thread in milliseconds.
double cpuMs()
{
    return Bench::threadCpuNs() / 1e6;
}

QList<CTarnLayerRecord> layers64()
{
    QList<CTarnLayerRecord> list;
    for (int i = 0; i < 64; ++i)
        list << layer(i, (i % 8) * 240, (i / 8) * 135, 240, 135, i + 1, i % 4);
    return list;
}

// The floor: one read of the file and one parse of its text.
bool readAndParse(const QString &strPath)
{
    QByteArray bytes;
    QString strError;
    if (CSceneDocument::readFile(strPath, bytes, strError) != CSceneDocument::ReadOk)
        return false;
    return QJsonDocument::fromJson(bytes).isObject();
}

qint64 statusKb(const char *pszField)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(pszField))
            return line.mid(int(qstrlen(pszField))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Child process: the growth of the resident set's peak over what it was before one load
// ("load") or one read and parse ("floor") of the document, in KiB.
int peakChild(const QString &strMode, const QString &strPath)
{
    CEditSceneCanvas canvas;
    CFileListWidget panel;
    BesMessageBox::setTestAnswer(QMessageBox::Cancel);
    QFile reset("/proc/self/clear_refs");
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1)
        return 2;
    reset.close();
    const qint64 nBefore = statusKb("VmRSS:");
    const bool bDone = strMode == "floor" ? readAndParse(strPath) : canvas.loadProjectFile(strPath, &panel);
    std::printf("peak %lld %d\n", static_cast<long long>(statusKb("VmHWM:") - nBefore), bDone ? 1 : 0);
    return 0;
}

double peakOf(const QString &strMode, const QString &strPath)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"peak", strMode, strPath});
    if (!child.waitForFinished(300000))
        return -1;
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    return fields.size() == 3 && fields.at(0) == "peak" ? fields.at(1).toDouble() * 1024 : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules("*.info=false\n*.debug=false\n*.warning=false");
    useDeviceCanvas();
    if (argc == 4 && QByteArray(argv[1]) == "peak")
        return peakChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    const int nRuns = 50;

    // ---- 1. a scene of 64 layers from a layer read
    {
        CTarnSceneStore store;
        CTcpDeviceThread worker;
        worker.setDeviceSerial("SN1");
        store.bindDevice(&worker);
        const QByteArray read = layerReply(1, layers64());
        std::vector<double> build, update, buildCpu;
        for (int r = 0; r < nRuns; ++r) {
            worker.injectReceivedData(sceneReply(scene(1, "S1", 0))); // no layers left
            worker.injectReceivedData(sceneReply(scene(1, "S1", 64)));
            QElapsedTimer t;
            t.start();
            const double c0 = cpuMs();
            worker.injectReceivedData(read);
            buildCpu.push_back(cpuMs() - c0);
            build.push_back(msSince(t));
            t.restart();
            worker.injectReceivedData(read);
            update.push_back(msSince(t));
            if (store.scene("SN1", 1)->layerItems().size() != 64)
                return 1;
        }
        std::printf("layer read of 64 layers: build %.3f ms (CPU %.3f ms), update in place %.3f ms (median of %d)\n",
                    median(build), median(buildCpu), median(update), nRuns);
    }

    // ---- 2. JSON round trip of 16 scenes x 64 layers
    {
        QList<CEditBaseScene *> scenes;
        for (int s = 0; s < 16; ++s) {
            CEditBaseScene *pScene = new CEditBaseScene;
            for (const CTarnLayerRecord &l : layers64()) {
                CEditSingleTextItem *p = new CEditSingleTextItem(QRect(0, 0, l.nWidth / 2, l.nHeight / 2), true);
                p->setItemType(MediaType_SingleText);
                p->updateCoordinate();
                p->setItemId(l.nIndex);
                p->setPos(l.nX / 2 + 60, l.nY / 2 + 40);
                p->setItemContent("IN1 : 1920x1080@60");
                pScene->addItem(p);
                pScene->m_listItems.append(p);
            }
            scenes << pScene;
        }
        std::vector<double> total, save, text, parse, make, totalCpu;
        int nBytes = 0;
        for (int r = 0; r < nRuns; ++r) {
            QElapsedTimer t;
            t.start();
            const double c0 = cpuMs();
            QJsonObject view;
            for (int s = 0; s < scenes.size(); ++s) {
                QJsonObject o;
                int n = 0;
                for (QGraphicsItem *pItem : scenes.at(s)->m_listItems)
                    o.insert(QString("Item%1").arg(++n), static_cast<CEditBaseItem *>(pItem)->saveToJson());
                o.insert("ItemCount", n);
                view.insert(QString("scene%1").arg(s + 1), o);
            }
            QJsonObject doc;
            doc.insert("view", view);
            const double dSave = msSince(t);
            const QByteArray bytes = QJsonDocument(doc).toJson(QJsonDocument::Compact);
            nBytes = bytes.size();
            const double dText = msSince(t);
            const QJsonObject back = QJsonDocument::fromJson(bytes).object().value("view").toObject();
            const double dParse = msSince(t);
            QList<CEditBaseScene *> copies;
            for (int s = 0; s < 16; ++s) {
                const QJsonObject o = back.value(QString("scene%1").arg(s + 1)).toObject();
                CEditBaseScene *pCopy = new CEditBaseScene;
                for (int i = 1; i <= o.value("ItemCount").toInt(); ++i) {
                    CEditBaseItem *pItem = CEditItemFactory::createFromJson(o.value(QString("Item%1").arg(i)).toObject());
                    if (!pItem)
                        return 1;
                    pCopy->addItem(pItem);
                    pCopy->m_listItems.append(pItem);
                }
                copies << pCopy;
            }
            const double dMake = msSince(t);
            totalCpu.push_back(cpuMs() - c0);
            total.push_back(dMake);
            save.push_back(dSave);
            text.push_back(dText - dSave);
            parse.push_back(dParse - dText);
            make.push_back(dMake - dParse);
            qDeleteAll(copies);
        }
        std::printf("JSON round trip of 16 scenes x 64 layers: %.3f ms (CPU %.3f ms; median of %d; %d bytes of text)\n",
                    median(total), median(totalCpu), nRuns, nBytes);
        std::printf("  items to objects %.3f ms, document to text %.3f ms, text to document %.3f ms, "
                    "items made again %.3f ms\n",
                    median(save), median(text), median(parse), median(make));
        qDeleteAll(scenes);
    }

    // ---- 3. scene documents loaded from their files
    {
        QJsonObject layer;
        {
            CEditSingleTextItem item(QRect(0, 0, 120, 68), true);
            item.setItemType(MediaType_SingleText);
            item.updateCoordinate();
            item.setItemId(1);
            item.setItemContent("IN1 : 1920x1080@60");
            layer = item.saveToJson();
        }
        struct Case
        {
            const char *pszName;
            int nScenes;
            int nLayers;
            int nFiles;
            int nRounds;
        };
        const Case cases[] = {{"255 scenes x 64 layers", 255, 64, 0, 7},
                              {"255 scenes x 255 layers, a device filled", 255, 255, 0, 5},
                              {"16 scenes x 64 layers, 400,000 source entries", 16, 64, 400000, 5},
                              {"2,000 scenes x 8 layers, refused by its count", 2000, 8, 0, 7}};
        QTemporaryDir dir;
        CEditSceneCanvas canvas;
        canvas.resize(1000, 700);
        CFileListWidget panel;
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
        std::printf("scene documents loaded from their files (median of alternating rounds; floor = one read "
                    "and one parse of the same file):\n");
        for (const Case &c : cases) {
            const QString strPath = dir.filePath(QStringLiteral("doc%1.smt").arg(&c - cases));
            QString strError;
            if (!CSceneDocument::writeFile(strPath, Bench::makeSceneDocument(c.nScenes, c.nLayers, layer, c.nFiles), strError))
                return 1;
            const double dMB = QFileInfo(strPath).size() / 1e6;
            std::vector<double> floor, load;
            bool bLoaded = false;
            for (int r = 0; r < c.nRounds; ++r) {
                QElapsedTimer t;
                t.start();
                if (!readAndParse(strPath))
                    return 1;
                floor.push_back(msSince(t));
                t.restart();
                bLoaded = canvas.loadProjectFile(strPath, &panel);
                load.push_back(msSince(t));
                canvas.destroyCanvas(); // not timed: the next round starts from an empty canvas
            }
            const double dFloorPeak = peakOf("floor", strPath);
            const double dLoadPeak = peakOf("load", strPath);
            std::printf("  %-48s %7.1f MB: load %8.1f ms, floor %8.1f ms, ratio %.2f (target <= 1.5), %s;\n"
                        "  %-48s peak memory: load %.1fx the file, floor %.1fx (target <= 4)\n",
                        c.pszName, dMB, median(load), median(floor), median(load) / median(floor),
                        bLoaded ? "loaded" : "refused", "", dLoadPeak / (dMB * 1e6), dFloorPeak / (dMB * 1e6));
        }
        BesMessageBox::clearTestAnswer();
    }
    return 0;
}
