#include "TestMain.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QUdpSocket>

#include "DeviceSimulator.h"
#include "HubSpy.h"
#include "RecvDeviceThread.h"

// Device discovery: the datagram and address tests, and announcements received on a live socket.
class TestDiscovery : public QObject
{
    Q_OBJECT

    static QByteArray datagram(const QByteArray &text, bool bStartInCheck = true)
    {
        QByteArray d = QByteArray::fromHex("AA55") + QByteArray(1, char(text.size() >> 8)) + QByteArray(1, char(text.size())) + text;
        quint32 s = 0;
        for (int i = bStartInCheck ? 0 : 2; i < d.size(); ++i)
            s += uchar(d.at(i));
        d.append(char((s >> 8) & 0xFF));
        d.append(char(s & 0xFF));
        return d;
    }

private slots:
    void datagrams_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("valid") << datagram("192.168.1.20:x:Tarn:77") << QStringList({"192.168.1.20", "x", "Tarn", "77"});
        QTest::newRow("wire example") << QByteArray::fromHex("AA5500163139322E3136382E312E32303A783A5461726E3A37370696")
                                      << QStringList({"192.168.1.20", "x", "Tarn", "77"});
        QTest::newRow("more fields passed on") << datagram("10.0.0.5::Z7:SN5:a:") << QStringList({"10.0.0.5", "", "Z7", "SN5", "a", ""});
        QTest::newRow("text ends at zero") << datagram(QByteArray("10.0.0.5:x:Z7:SN5\0junk:1", 24)) << QStringList({"10.0.0.5", "x", "Z7", "SN5"});
        QTest::newRow("UTF-8 text") << datagram(QString::fromUtf8("10.0.0.5:x:Z7:设备一").toUtf8()) << QStringList({"10.0.0.5", "x", "Z7", QString::fromUtf8("设备一")});
        QTest::newRow("not an address") << datagram("a:b") << QStringList();
        QTest::newRow("two fields") << datagram("192.168.1.20:x") << QStringList();
        QTest::newRow("three fields: no serial") << datagram("192.168.1.20:x:Tarn") << QStringList();
        QTest::newRow("empty serial") << datagram("192.168.1.20:x:Tarn:") << QStringList();
        QTest::newRow("check without start bytes") << datagram("192.168.1.20:x:Tarn:77", false) << QStringList();
        QTest::newRow("wrong start") << QByteArray::fromHex("55AA") + datagram("192.168.1.20:x:Tarn:77").mid(2) << QStringList();
        QTest::newRow("length past the end") << datagram("192.168.1.20:x:Tarn:77").left(27) << QStringList();
        QTest::newRow("longer than 256 bytes") << datagram("192.168.1.20:x:Tarn:77:" + QByteArray(240, 'a')) << QStringList();
        QTest::newRow("trailing dot") << datagram("1.2.3.:x:Tarn:9") << QStringList();
        QTest::newRow("empty") << QByteArray() << QStringList();
    }

    void datagrams()
    {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, fields);
        QStringList got;
        const bool bOk = CRecvDeviceThread::parshUdpData(data, &got);
        QCOMPARE(bOk, !fields.isEmpty());
        QCOMPARE(got, fields);
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "192.168.1.20" << true;
        QTest::newRow("zeros") << "0.0.0.0" << true;
        QTest::newRow("top") << "255.255.255.255" << true;
        QTest::newRow("256") << "256.1.1.1" << false;
        QTest::newRow("three groups") << "1.2.3" << false;
        QTest::newRow("trailing dot") << "1.2.3." << false;
        QTest::newRow("empty group") << "10..0.1" << false;
        QTest::newRow("leading dot") << ".1.2.3" << false;
        QTest::newRow("five groups") << "1.2.3.4.5" << false;
        QTest::newRow("letters") << "1.2.3.a" << false;
        QTest::newRow("blank") << "1.2.3.4 " << false;
        QTest::newRow("long group") << "1.2.3.0001" << false;
        QTest::newRow("empty") << "" << false;
    }

    void addresses()
    {
        QFETCH(QString, ip);
        QFETCH(bool, valid);
        QCOMPARE(CRecvDeviceThread::isVaildIp(ip), valid);
    }

    // A live listener on an ephemeral port: valid announcements reach "slot_newDevice" in the
    // GUI thread, invalid ones nothing; the thread stops promptly.
    void liveAnnouncements()
    {
        CHubSpy spy;
        CRecvDeviceThread thread;
        thread.setBindAddress(QHostAddress("127.0.0.1"));
        thread.setListenPort(0);
        QSignalSpy announced(&thread, &CRecvDeviceThread::sig_deviceAnnounced);
        thread.start();
        QTRY_VERIFY(thread.boundPort() != 0);
        const quint16 uPort = thread.boundPort();

        CDeviceSimulator tarn(CSimDeviceModel::Tarn);
        tarn.setSerial("SN-T");
        QVERIFY(tarn.listen(QHostAddress("127.0.0.2"), 0));
        CDeviceSimulator z(CSimDeviceModel::Z);
        z.setSerial("SN-Z");
        z.setAnnouncementText("127.0.0.3:x:Z7:SN-Z");
        tarn.announce(uPort);
        z.announce(uPort);
        QUdpSocket junk;
        junk.writeDatagram(datagram("127.0.0.9:x:Tarn"), QHostAddress("127.0.0.1"), uPort);
        junk.writeDatagram(QByteArray(300, '\xAA'), QHostAddress("127.0.0.1"), uPort);
        QTRY_COMPARE(spy.count("slot_newDevice"), 2);
        QTest::qWait(100);
        QCOMPARE(spy.count("slot_newDevice"), 2);
        QCOMPARE(spy.records("slot_newDevice").at(0).at(0).toStringList(), QStringList({"127.0.0.2", "x", "Tarn-3", "SN-T"}));
        QCOMPARE(spy.records("slot_newDevice").at(1).at(0).toStringList(), QStringList({"127.0.0.3", "x", "Z7", "SN-Z"}));
        QCOMPARE(announced.count(), 2);

        QElapsedTimer t;
        t.start();
        thread.slot_recvStop();
        QVERIFY(thread.wait(2000));
        QVERIFY(t.elapsed() < 1000);
    }
};

VISTEL_TEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
