// KitWidget: number texts, byte arrays, escape texts and checksums.
#include "kitwidget.h"

namespace {
// ASCII names of the control characters 0 to 31.
const char *const g_controlNames[32] = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT", "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

char latin1Byte(QChar ch)
{
    return ch.unicode() < 256 ? char(ch.unicode()) : '?';
}

// The control name that is exactly prefix, or -1; whether a longer name
// begins with prefix.
int controlNameIndex(const QString &prefix, bool *pLonger)
{
    int exact = -1;
    bool longer = false;
    for (int i = 0; i < 32; ++i) {
        const QString name = QString::fromLatin1(g_controlNames[i]);
        if (name == prefix)
            exact = i;
        else if (name.startsWith(prefix))
            longer = true;
    }
    if (pLonger)
        *pLonger = longer;
    return exact;
}
} // namespace

int KitWidget::strHexToDecimal(const QString &strHex)
{
    bool ok = false;
    return strHex.toInt(&ok, 16);
}

int KitWidget::strDecimalToDecimal(const QString &strDecimal)
{
    bool ok = false;
    return strDecimal.toInt(&ok, 10);
}

int KitWidget::strBinToDecimal(const QString &strBin)
{
    bool ok = false;
    return strBin.toInt(&ok, 2);
}

QString KitWidget::strHexToStrBin(const QString &strHex)
{
    const uchar value = uchar(strHexToDecimal(strHex));
    return QString::number(value, 2).rightJustified(8, '0');
}

QString KitWidget::decimalToStrBin1(int decimal)
{
    return QString::number(decimal, 2).rightJustified(8, '0');
}

QString KitWidget::decimalToStrBin2(int decimal)
{
    return QString::number(decimal, 2).rightJustified(16, '0');
}

QString KitWidget::decimalToStrHex(int decimal)
{
    QString temp = QString::number(decimal, 16);
    if (temp.length() == 1)
        temp = "0" + temp;
    return temp;
}

QByteArray KitWidget::intToByte(int i)
{
    const quint32 value = quint32(i);
    QByteArray result(4, 0);
    result[0] = char((value >> 24) & 0xFF);
    result[1] = char((value >> 16) & 0xFF);
    result[2] = char((value >> 8) & 0xFF);
    result[3] = char(value & 0xFF);
    return result;
}

int KitWidget::byteToInt(const QByteArray &data)
{
    if (data.size() < 4)
        return 0;
    const quint32 value = (quint32(uchar(data.at(0))) << 24) | (quint32(uchar(data.at(1))) << 16) |
                          (quint32(uchar(data.at(2))) << 8) | quint32(uchar(data.at(3)));
    return int(value);
}

QByteArray KitWidget::ushortToByte(unsigned short i)
{
    QByteArray result(2, 0);
    result[0] = char((i >> 8) & 0xFF);
    result[1] = char(i & 0xFF);
    return result;
}

int KitWidget::byteToUShort(const QByteArray &data)
{
    if (data.size() < 2)
        return 0;
    return (int(uchar(data.at(0))) << 8) | int(uchar(data.at(1)));
}

QString KitWidget::getXorEncryptDecrypt(const QString &str, char key)
{
    // The scrambled bytes are read back with their full length: a character
    // equal to the key becomes a zero character, not the end of the text.
    QByteArray data = str.toLatin1();
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(data.at(i) ^ key);
    return QString::fromLatin1(data.constData(), data.size());
}

uchar KitWidget::getOrCode(const QByteArray &data)
{
    uchar result = 0;
    for (const char b : data)
        result ^= uchar(b);
    return result;
}

uchar KitWidget::getCheckCode(const QByteArray &data)
{
    uchar result = 0;
    for (const char b : data)
        result = uchar(result + uchar(b));
    return result;
}

QString KitWidget::byteArrayToAsciiStr(const QByteArray &data)
{
    QString temp;
    for (const char c : data) {
        const int b = static_cast<signed char>(c);
        if (b >= 0 && b < 32)
            temp += QString("\\%1").arg(QLatin1String(g_controlNames[b]));
        else if (b == 0x7F)
            temp += QStringLiteral("\\x7F");
        else if (b == 0x5C)
            temp += QStringLiteral("\\x5C");
        else if (b > 0x20 && b < 0x7F)
            temp += QChar(b);
        else
            temp += QString("\\x%1").arg(decimalToStrHex(uchar(c)));
    }
    return temp.trimmed();
}

QByteArray KitWidget::hexStrToByteArray(const QString &str)
{
    QByteArray result;
    const int len = str.length();
    int i = 0;
    while (i < len) {
        const QChar high = str.at(i);
        if (high == ' ') {
            ++i;
            continue;
        }
        if (i + 1 >= len)
            break;
        const QChar low = str.at(i + 1);
        const char hi = convertHexChar(latin1Byte(high));
        const char lo = convertHexChar(latin1Byte(low));
        if (hi < 0 || lo < 0)
            break;
        result.append(char(hi * 16 + lo));
        i += 2;
    }
    return result;
}

char KitWidget::convertHexChar(char ch)
{
    if (ch >= '0' && ch <= '9')
        return char(ch - '0');
    if (ch >= 'A' && ch <= 'F')
        return char(ch - 'A' + 10);
    if (ch >= 'a' && ch <= 'f')
        return char(ch - 'a' + 10);
    return -1;
}

QByteArray KitWidget::asciiStrToByteArray(const QString &str)
{
    static const QString nameStarts = QStringLiteral("NSEABCDFHLGRUV");
    QByteArray buffer;
    const int len = str.length();
    int i = 0;
    while (i < len) {
        const QChar ch = str.at(i);
        if (ch != '\\') {
            buffer.append(latin1Byte(ch));
            ++i;
            continue;
        }
        if (i + 1 >= len) {
            buffer.append(char(0x5C));
            ++i;
            continue;
        }

        const QChar next = str.at(i + 1);
        if (next == 'x') {
            const QString hex = str.mid(i + 2, 2);
            buffer.append(char(strHexToDecimal(hex) & 0xFF));
            i += 2 + hex.length();
        } else if (nameStarts.contains(next)) {
            // Match the longest control name; SO and SOH share their start.
            QString matched;
            int j = i + 1;
            for (;;) {
                if (j >= len) {
                    // The text ends inside a name; a complete one still counts.
                    const int index = controlNameIndex(matched, nullptr);
                    if (index >= 0)
                        buffer.append(char(index));
                    i = len;
                    break;
                }
                const QString candidate = matched + str.at(j);
                bool longer = false;
                const int exact = controlNameIndex(candidate, &longer);
                if (exact < 0 && !longer) {
                    const int index = controlNameIndex(matched, nullptr);
                    if (index >= 0) {
                        // A complete name followed by a letter that does not
                        // continue it (\SO followed by anything but H).
                        buffer.append(char(index));
                        i = j;
                    } else {
                        buffer.append(latin1Byte(str.at(j)));
                        i = j + 1;
                    }
                    break;
                }
                matched = candidate;
                ++j;
                if (exact >= 0 && !longer) {
                    buffer.append(char(exact));
                    i = j;
                    break;
                }
            }
        } else if (next == '\\') {
            buffer.append(char(0x5C));
            i += 2;
        } else {
            buffer.append(char(0x5C));
            buffer.append(latin1Byte(next));
            i += 2;
        }
    }
    return buffer;
}

QString KitWidget::byteArrayToHexStr(const QByteArray &data)
{
    return QString::fromLatin1(data.toHex(' ').toUpper());
}
