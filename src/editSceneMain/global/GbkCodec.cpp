#include "GbkCodec.h"

#include <QTextCodec>

namespace {
QTextCodec *gbkCodec()
{
    static QTextCodec *codec = [] {
        QTextCodec *c = QTextCodec::codecForName("GBK");
        if (!c)
            c = QTextCodec::codecForName("GB18030");
        if (!c)
            c = QTextCodec::codecForLocale();
        return c;
    }();
    return codec;
}
}

QByteArray g_toGbk(const QString &strText)
{
    return gbkCodec()->fromUnicode(strText);
}

QString g_fromGbk(const QByteArray &data)
{
    return gbkCodec()->toUnicode(data);
}

QByteArray g_toGbkField(const QString &strText, int nFieldSize)
{
    if (nFieldSize <= 0)
        return QByteArray();

    QByteArray out;
    out.reserve(nFieldSize);
    // Encode one character (a surrogate pair counts as one) at a time, so that
    // a character that does not fit whole is left out rather than split.
    int i = 0;
    while (i < strText.size()) {
        int len = 1;
        if (strText.at(i).isHighSurrogate() && i + 1 < strText.size() && strText.at(i + 1).isLowSurrogate())
            len = 2;
        const QByteArray bytes = gbkCodec()->fromUnicode(strText.mid(i, len));
        if (out.size() + bytes.size() > nFieldSize)
            break;
        out.append(bytes);
        i += len;
    }
    out.append(QByteArray(nFieldSize - out.size(), '\0'));
    return out;
}

QString g_fromGbkField(const QByteArray &field)
{
    const int nEnd = field.indexOf('\0');
    return g_fromGbk(nEnd < 0 ? field : field.left(nEnd));
}
