#include "TestMain.h"

#include "GbkCodec.h"

class TestGbk : public QObject
{
    Q_OBJECT
private slots:
    void knownBytes()
    {
        QCOMPARE(g_toGbk(QString::fromUtf8("用户场景")).toHex(), QByteArray("d3c3bba7b3a1beb0"));
        QCOMPARE(g_fromGbk(QByteArray::fromHex("d3c3bba7b3a1beb0")), QString::fromUtf8("用户场景"));
    }

    void fieldExactFitAndPadding()
    {
        const QString six = QString::fromUtf8("输入信号源一");
        QByteArray field = g_toGbkField(six);
        QCOMPARE(field.size(), 12);
        QVERIFY(!field.contains('\0'));
        QCOMPARE(g_fromGbkField(field), six);

        field = g_toGbkField("HDMI1");
        QCOMPARE(field, QByteArray("HDMI1\0\0\0\0\0\0\0", 12));
        QCOMPARE(g_fromGbkField(field), QString("HDMI1"));
        QCOMPARE(g_toGbkField(QString()), QByteArray(12, '\0'));
        QCOMPARE(g_toGbkField("abc", 0), QByteArray());
    }

    void overlongCutAtCharacterBoundary()
    {
        // 11 ASCII bytes, then a 2-byte character that no longer fits
        QByteArray field = g_toGbkField(QString::fromUtf8("abcdefghijk场景"));
        QCOMPARE(field, QByteArray("abcdefghijk\0", 12));
        QCOMPARE(g_fromGbkField(field), QString("abcdefghijk"));

        field = g_toGbkField(QString::fromUtf8("一二三四五六七"));
        QCOMPARE(g_fromGbkField(field), QString::fromUtf8("一二三四五六"));

        field = g_toGbkField(QString::fromUtf8("a一二三四五六"), 12);
        QCOMPARE(field.size(), 12);
        QCOMPARE(g_fromGbkField(field), QString::fromUtf8("a一二三四五"));
        QCOMPARE(field.at(11), '\0');
    }

    void decodeStopsAtFirstZero()
    {
        QByteArray raw = g_toGbk(QString::fromUtf8("场景")) + QByteArray("\0xyz", 4);
        QCOMPARE(g_fromGbkField(raw), QString::fromUtf8("场景"));
        QCOMPARE(g_fromGbkField(QByteArray()), QString());
    }
};

VISTEL_TEST_MAIN(TestGbk)
#include "tst_gbk.moc"
