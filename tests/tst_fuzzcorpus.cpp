#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>

#include "../fuzz/FuzzHarness.h"
#include "TestUtil.h"

// Replays the checked-in fuzz corpus (fuzz/corpus/<target>/) through the same entry points the
// fuzzers drive, with the ordinary compiler, so every change runs it (and the sanitizer build
// checks it for memory errors).
class TestFuzzCorpus : public QObject
{
    Q_OBJECT

    static QList<QByteArray> corpus(const QString &strTarget)
    {
        QList<QByteArray> list;
        const QDir dir(TestUtil::sourceDir() + "/fuzz/corpus/" + strTarget);
        for (const QFileInfo &info : dir.entryInfoList(QDir::Files, QDir::Name)) {
            QFile file(info.absoluteFilePath());
            if (file.open(QIODevice::ReadOnly))
                list << file.readAll();
        }
        return list;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!TestUtil::sourceDir().isEmpty(), "VISTEL_SOURCE_DIR is not set");
        QLoggingCategory::setFilterRules("*.info=false");
    }

    void replyStreams()
    {
        const QList<QByteArray> inputs = corpus("replies");
        QVERIFY(inputs.size() >= 10);
        for (const QByteArray &input : inputs)
            FuzzHarness::fuzzReplyStream(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
    }

    void discoveryDatagrams()
    {
        const QList<QByteArray> inputs = corpus("discovery");
        QVERIFY(inputs.size() >= 8);
        int nAccepted = 0;
        for (const QByteArray &input : inputs) {
            FuzzHarness::fuzzDiscovery(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
            nAccepted += CRecvDeviceThread::parshUdpData(input, nullptr) ? 1 : 0;
        }
        QVERIFY(nAccepted >= 2);
    }
};

VISTEL_TEST_MAIN(TestFuzzCorpus)
#include "tst_fuzzcorpus.moc"
