#include "GbkCodec.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTextCodec>

#include <algorithm>

namespace {
// The text without surrogates cut from their pair.
QString wholeCharacters(const QString &strText)
{
    QString out;
    out.reserve(strText.size());
    for (int i = 0; i < strText.size(); ++i) {
        const QChar ch = strText.at(i);
        if (ch.isHighSurrogate() && i + 1 < strText.size() && strText.at(i + 1).isLowSurrogate()) {
            out.append(ch).append(strText.at(++i));
        } else if (!ch.isSurrogate()) {
            out.append(ch);
        }
    }
    return out;
}

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

bool g_isDeviceName(const QString &strName)
{
    for (const QChar ch : strName) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
            return false;
    }
    // What GBK cannot hold comes back as something else.
    return g_fromGbk(g_toGbk(strName)) == strName;
}

QString g_deviceNameRefusal()
{
    return QCoreApplication::translate("CInputSetDlg", "输入名称含有设备不支持的字符");
}

void g_keepWholeCharacters(QLineEdit *pEdit)
{
    if (!pEdit)
        return;
    // Mended after the edit, not by a validator: a validator's change would clear the modified
    // mark, and the name would not be sent.
    QObject::connect(pEdit, &QLineEdit::textChanged, pEdit, [pEdit](const QString &strText) {
        const QString strWhole = wholeCharacters(strText);
        if (strWhole.size() == strText.size())
            return;
        const bool bModified = pEdit->isModified();
        const int nCursor = std::min(pEdit->cursorPosition(), strWhole.size());
        pEdit->setText(strWhole);
        pEdit->setModified(bModified);
        pEdit->setCursorPosition(nCursor);
    });
}
