#ifndef FUZZHARNESS_H
#define FUZZHARNESS_H

// The two fuzzed entry points of the device link, shared by the libFuzzer targets (fuzz/) and
// the corpus replay test (tests/tst_fuzzcorpus.cpp). Both need a QApplication (the worker owns a
// hidden widget); the harness makes an offscreen one on first use when none exists.
//
// Reply stream: byte 0 chooses the device family (bit 0: Z) and the chunking (bits 1..7: the
// largest chunk, 1..128 bytes); the rest is fed to a fresh worker in chunks, as a transport would.
// When the input's length is odd an OSD bitmap transfer of (length % 300, at least 1) packets
// is running, its first packet in flight.
// Discovery: the bytes are one datagram.

#include <QApplication>
#include <QByteArray>
#include <QImage>
#include <QStringList>

#include <cstddef>
#include <cstdint>

#include "OSDTransfer.h"
#include "RecvDeviceThread.h"
#include "TcpDeviceThread.h"

namespace FuzzHarness {

inline void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char arg0[] = "fuzz";
    static char *argv[] = {arg0, nullptr};
    static QApplication *s_pApp = new QApplication(argc, argv);
    Q_UNUSED(s_pApp);
}

// Counts what reaches the scene hand-off, so the sink calls are exercised too.
class CountingSink : public CTarnSceneSink
{
public:
    void sceneRead(CTcpDeviceThread *, const CTarnSceneRecord &scene, bool) override { nCalls += scene.vectorLayer.size() + 1; }
    void layersRead(CTcpDeviceThread *, int, const QVector<CTarnLayerRecord> &layers) override { nCalls += layers.size(); }
    void sceneRemoved(CTcpDeviceThread *, int) override { ++nCalls; }
    void sceneRenumbered(CTcpDeviceThread *, int, int) override { ++nCalls; }
    long nCalls = 0;
};

inline void fuzzReplyStream(const uint8_t *pData, size_t nSize)
{
    ensureApplication();
    if (nSize < 1)
        return;
    static CountingSink s_sink;
    CTarnSceneSink::install(&s_sink);
    const QString strFamily = (pData[0] & 1) ? QStringLiteral("Z") : QStringLiteral("Tarn");
    const size_t nChunk = 1 + (pData[0] >> 1);
    CTcpDeviceThread worker;
    worker.setDeviceSerial(QStringLiteral("FUZZ"));
    worker.setDeviceType(strFamily);
    COSDTransfer transfer;
    if (nSize & 1) {
        QImage image(1024, qMax(1, int(nSize % 300)), QImage::Format_RGB32); // 128 bytes a row
        image.fill(Qt::white);
        transfer.start(QStringLiteral("FUZZ"), COSDBitmap::Params(), image);
        QMetaObject::invokeMethod(&transfer, "slot_sendHeader");
        transfer.sendBegin();
    }
    size_t i = 1;
    while (i < nSize) {
        const size_t n = qMin(nChunk, nSize - i);
        worker.injectReceivedData(QByteArray(reinterpret_cast<const char *>(pData + i), int(n)));
        i += n;
    }
    // Read back what the handlers built, so a corrupt record shows up under the sanitizers.
    long nSum = 0;
    for (InputSource *pInput : worker.getDeviceInfo()->vectorInput)
        nSum += pInput->nId + pInput->strName.size();
    for (CTarnSceneRecord *pScene : worker.getSceneList())
        nSum += pScene->vectorLayer.size();
    for (ZSceneInfo *pScene : worker.getZSceneList())
        nSum += pScene->strName.size();
    for (int nId = 0; nId < 4; ++nId)
        nSum += worker.getMainSigInputSource(nId).size();
    (void)nSum;
}

inline void fuzzDiscovery(const uint8_t *pData, size_t nSize)
{
    QStringList fields;
    const QByteArray datagram(reinterpret_cast<const char *>(pData), int(qMin<size_t>(nSize, 4096)));
    if (CRecvDeviceThread::parshUdpData(datagram, &fields)) {
        // an accepted announcement always has an address and a serial
        if (fields.size() < 4 || fields.at(3).isEmpty() || !CRecvDeviceThread::isVaildIp(fields.at(0)))
            __builtin_trap();
    }
}

} // namespace FuzzHarness

#endif // FUZZHARNESS_H
