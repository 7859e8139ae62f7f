#include "TestMain.h"

#include "kitwidget.h"

static QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

class TestKitConvert : public QObject
{
    Q_OBJECT
private slots:
    void numberTexts_data()
    {
        QTest::addColumn<QString>("fn");
        QTest::addColumn<QString>("in");
        QTest::addColumn<int>("out");
        QTest::newRow("hex") << "hex" << "1F" << 31;
        QTest::newRow("hex lower") << "hex" << "ff" << 255;
        QTest::newRow("hex prefix") << "hex" << "0x1F" << 31;
        QTest::newRow("hex negative") << "hex" << "-1" << -1;
        QTest::newRow("hex empty") << "hex" << "" << 0;
        QTest::newRow("hex not a number") << "hex" << "G1" << 0;
        QTest::newRow("dec") << "dec" << "255" << 255;
        QTest::newRow("dec negative") << "dec" << "-42" << -42;
        QTest::newRow("dec not a number") << "dec" << "12a" << 0;
        QTest::newRow("bin") << "bin" << "101" << 5;
        QTest::newRow("bin bad digit") << "bin" << "102" << 0;
    }
    void numberTexts()
    {
        QFETCH(QString, fn);
        QFETCH(QString, in);
        QFETCH(int, out);
        const int got = fn == "hex"   ? KitWidget::strHexToDecimal(in)
                        : fn == "dec" ? KitWidget::strDecimalToDecimal(in)
                                      : KitWidget::strBinToDecimal(in);
        QCOMPARE(got, out);
    }

    void numbersToTexts()
    {
        QCOMPARE(KitWidget::strHexToStrBin("1F"), QString("00011111"));
        QCOMPARE(KitWidget::strHexToStrBin("1FF"), QString("11111111"));
        QCOMPARE(KitWidget::strHexToStrBin("zz"), QString("00000000"));
        QCOMPARE(KitWidget::decimalToStrBin1(5), QString("00000101"));
        QCOMPARE(KitWidget::decimalToStrBin1(300), QString("100101100"));
        QCOMPARE(KitWidget::decimalToStrBin1(0), QString("00000000"));
        QCOMPARE(KitWidget::decimalToStrBin2(5), QString("0000000000000101"));
        QCOMPARE(KitWidget::decimalToStrHex(10), QString("0a"));
        QCOMPARE(KitWidget::decimalToStrHex(255), QString("ff"));
        QCOMPARE(KitWidget::decimalToStrHex(256), QString("100"));
        QCOMPARE(KitWidget::decimalToStrHex(0), QString("00"));
    }

    void bigEndianBytes()
    {
        QCOMPARE(KitWidget::intToByte(258), hex("00000102"));
        QCOMPARE(KitWidget::byteToInt(hex("00000102")), 258);
        QCOMPARE(KitWidget::intToByte(-1), hex("ffffffff"));
        QCOMPARE(KitWidget::byteToInt(hex("ffffffff")), -1);
        QCOMPARE(KitWidget::byteToInt(hex("8000000001")), int(0x80000000u));
        QCOMPARE(KitWidget::ushortToByte(258), hex("0102"));
        QCOMPARE(KitWidget::byteToUShort(hex("0102")), 258);
        QCOMPARE(KitWidget::byteToUShort(hex("ffff")), 65535);
    }

    void shortArraysReadAsZero()
    {
        // Never a read past the array: a short one gives 0.
        QCOMPARE(KitWidget::byteToInt(QByteArray()), 0);
        QCOMPARE(KitWidget::byteToInt(hex("010203")), 0);
        QCOMPARE(KitWidget::byteToUShort(QByteArray()), 0);
        QCOMPARE(KitWidget::byteToUShort(hex("01")), 0);
    }

    void checksums_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("xorCode");
        QTest::addColumn<int>("sumCode");
        QTest::newRow("empty") << QByteArray() << 0 << 0;
        QTest::newRow("01 02 04") << hex("010204") << 0x07 << 0x07;
        QTest::newRow("ff ff") << hex("ffff") << 0x00 << 0xFE;
        QTest::newRow("ff 02") << hex("ff02") << 0xFD << 0x01;
        QTest::newRow("300 x 01") << QByteArray(300, 0x01) << 0x00 << 0x2C;
    }
    void checksums()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, xorCode);
        QFETCH(int, sumCode);
        QCOMPARE(int(KitWidget::getOrCode(data)), xorCode);
        QCOMPARE(int(KitWidget::getCheckCode(data)), sumCode);
    }

    void xorScrambling()
    {
        const QString text = QString::fromLatin1("Hello \xe9t\xe9 0123");
        const QString once = KitWidget::getXorEncryptDecrypt(text, 0x5A);
        QVERIFY(once != text);
        QCOMPARE(once.length(), text.length());
        QCOMPARE(KitWidget::getXorEncryptDecrypt(once, 0x5A), text);

        // A character equal to the key scrambles to a zero character and does
        // not cut the text.
        const QString withKey = "abKcd";
        const QString scrambled = KitWidget::getXorEncryptDecrypt(withKey, 'K');
        QCOMPARE(scrambled.length(), 5);
        QCOMPARE(scrambled.at(2), QChar(0));
        QCOMPARE(KitWidget::getXorEncryptDecrypt(scrambled, 'K'), withKey);
        QCOMPARE(KitWidget::getXorEncryptDecrypt(QString(), 'K'), QString());
    }

    void hexTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("spaced") << "01 ab FF" << hex("01abff");
        QTest::newRow("packed") << "01abFF" << hex("01abff");
        QTest::newRow("leading and double spaces") << "  01  02" << hex("0102");
        QTest::newRow("space inside a pair") << "0 1" << QByteArray();
        QTest::newRow("bad digit stops") << "01 0G 02" << hex("01");
        QTest::newRow("lone last digit dropped") << "123" << hex("12");
        QTest::newRow("empty") << "" << QByteArray();
        QTest::newRow("non latin") << QString::fromUtf8("0你") << QByteArray();
    }
    void hexTexts()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(KitWidget::hexStrToByteArray(text), bytes);
    }

    void hexOfBytes()
    {
        QCOMPARE(KitWidget::byteArrayToHexStr(hex("01abff")), QString("01 AB FF"));
        QCOMPARE(KitWidget::byteArrayToHexStr(hex("00")), QString("00"));
        QCOMPARE(KitWidget::byteArrayToHexStr(QByteArray()), QString());
        QCOMPARE(int(KitWidget::convertHexChar('7')), 7);
        QCOMPARE(int(KitWidget::convertHexChar('a')), 10);
        QCOMPARE(int(KitWidget::convertHexChar('F')), 15);
        QCOMPARE(int(KitWidget::convertHexChar('g')), -1);
        QCOMPARE(int(KitWidget::convertHexChar(' ')), -1);
    }

    void escapeTextOfBytes()
    {
        QCOMPARE(KitWidget::byteArrayToAsciiStr(hex("41200d0a5c7fab")),
                 QString("A\\x20\\CR\\LF\\x5C\\x7F\\xab"));
        QCOMPARE(KitWidget::byteArrayToAsciiStr(hex("0001")), QString("\\NUL\\SOH"));
        QCOMPARE(KitWidget::byteArrayToAsciiStr(hex("1f80ff")), QString("\\US\\x80\\xff"));
        QCOMPARE(KitWidget::byteArrayToAsciiStr(QByteArray()), QString());
    }

    void bytesOfEscapeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("mixed") << "A\\x20\\CR\\LF\\x5C\\x7F\\xab" << hex("41200d0a5c7fab");
        QTest::newRow("SOH") << "\\SOH" << hex("01");
        QTest::newRow("SO then LF") << "\\SO\\LF" << hex("0e0a");
        QTest::newRow("SO then letter") << "\\SOX" << hex("0e58");
        QTest::newRow("SO at end") << "\\SO" << hex("0e");
        QTest::newRow("DC3") << "\\DC3" << hex("13");
        QTest::newRow("unknown escape") << "\\q" << hex("5c71");
        QTest::newRow("broken name") << "\\NX" << hex("58");
        QTest::newRow("broken DC") << "\\DC9" << hex("39");
        QTest::newRow("two backslashes") << "\\\\" << hex("5c");
        QTest::newRow("short x at end") << "\\x4" << hex("04");
        QTest::newRow("x not hex") << "\\xZZ" << hex("00");
        QTest::newRow("name cut at end") << "\\N" << QByteArray();
        QTest::newRow("backslash at end") << "a\\" << hex("615c");
        QTest::newRow("non latin") << QString::fromUtf8("你") << QByteArray("?");
    }
    void bytesOfEscapeText()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(KitWidget::asciiStrToByteArray(text), bytes);
    }

    void escapeRoundTrip()
    {
        // Every byte value comes back, alone and between letters.
        for (int b = 0; b < 256; ++b) {
            const QByteArray one(1, char(b));
            QCOMPARE(KitWidget::asciiStrToByteArray(KitWidget::byteArrayToAsciiStr(one)), one);
            const QByteArray framed = "a" + one + "z";
            QCOMPARE(KitWidget::asciiStrToByteArray(KitWidget::byteArrayToAsciiStr(framed)),
                     framed);
        }
        // The one exception the format holds: SO followed by H.
        QCOMPARE(KitWidget::asciiStrToByteArray(KitWidget::byteArrayToAsciiStr(hex("0e48"))),
                 hex("01"));
    }
};

VISTEL_TEST_MAIN(TestKitConvert)
#include "tst_kitconvert.moc"
