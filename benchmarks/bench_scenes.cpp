// Scene building and item persistence, timed on this machine:
//   1. a scene of 64 layers built from one layer read (reply parsing, records and layer items),
//      and the same read again updating the 64 items in place;
//   2. a full JSON round trip of 16 scenes x 64 layers: every item's object into one document,
//      the document to text and back, and every item made again from its object.
// Prints the median of the runs in milliseconds and the share of each step.
#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "EditBaseScene.h"
#include "EditItemFactory.h"
#include "EditSingleTextItem.h"
#include "QorGlobal.h"
#include "SceneTestUtil.h"
#include "TarnSceneStore.h"
#include "TcpDeviceThread.h"

using namespace SceneTest;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double msSince(QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

// CPU time of this thread in milliseconds: on a shared, loaded machine the wall clock also
// counts the time other programs had the core.
double cpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

QList<CTarnLayerRecord> layers64()
{
    QList<CTarnLayerRecord> list;
    for (int i = 0; i < 64; ++i)
        list << layer(i, (i % 8) * 240, (i / 8) * 135, 240, 135, i + 1, i % 4);
    return list;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules("*.info=false");
    useDeviceCanvas();
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
    return 0;
}
