#ifndef BENCHUTIL_H
#define BENCHUTIL_H

// Measuring and sample data shared by the benchmarks.

#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <ctime>
#include <sys/resource.h>

#include "SceneDocument.h"

namespace Bench {

// CPU time of the whole process (user + system, every thread) in seconds.
inline double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// CPU time of the calling thread in nanoseconds: on a shared, loaded machine the wall clock also
// counts the time other programs had the core.
inline qint64 threadCpuNs()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The middle of the samples (the upper of the two middles of an even count), 0 for none.
template <class Samples>
double median(Samples v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// A document of nScenes scenes of nLayers copies of one layer's JSON form, as the canvas writes
// them, and nFiles entries of the source panel's list.
inline QJsonObject makeSceneDocument(int nScenes, int nLayers, const QJsonObject &layer, int nFiles = 0)
{
    QJsonObject view;
    for (int k = 1; k <= nScenes; ++k) {
        QJsonObject scene{{"x", 0}, {"y", 0}, {"Width", 1000}, {"Height", 700}, {"BkColor", "ff2b2b2b"},
                          {"SceneId", k}, {"SceneType", 0}, {"SceneName", QStringLiteral("Scene %1").arg(k)},
                          {"ItemCount", nLayers}};
        for (int i = 1; i <= nLayers; ++i) {
            QJsonObject item = layer;
            item.insert("Id", i);
            scene.insert(QStringLiteral("Item%1").arg(i), item);
        }
        view.insert(QStringLiteral("scene%1").arg(k), scene);
    }
    QJsonObject doc{{"Version", CSceneDocument::VERSION}, {"SceneCount", nScenes}, {"view", view}};
    if (nFiles > 0) {
        QJsonObject list;
        for (int n = 1; n <= nFiles; ++n)
            list.insert(QStringLiteral("filePath%1").arg(n), QStringLiteral("/home/operator/media/clip%1.mp4").arg(n));
        doc.insert("fileCount", nFiles);
        doc.insert("fileList", list);
    }
    return doc;
}

} // namespace Bench

#endif // BENCHUTIL_H
