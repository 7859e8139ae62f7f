#include "GbkCodec.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTextCodec>
#include <QValidator>

namespace {
// Drops surrogates without their pair; everything else is acceptable.
class CWholeCharValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        for (int i = 0; i < input.size();) {
            const bool bHigh = input.at(i).isHighSurrogate();
            if (bHigh && i + 1 < input.size() && input.at(i + 1).isLowSurrogate()) {
                i += 2;
            } else if (bHigh || input.at(i).isLowSurrogate()) {
                input.remove(i, 1);
                if (pos > i)
                    --pos;
            } else {
                ++i;
            }
        }
        return Acceptable;
    }
};

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
    if (pEdit)
        pEdit->setValidator(new CWholeCharValidator(pEdit));
}
