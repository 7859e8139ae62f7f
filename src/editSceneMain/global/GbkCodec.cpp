#include "GbkCodec.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
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

namespace {
const char *const kContext = "GbkCodec";

QString translated(const char *pszText)
{
    return QCoreApplication::translate(kContext, pszText);
}

QString fieldWords(ENameField field)
{
    switch (field) {
    case ENameField::Scene:
        return translated("场景名称");
    case ENameField::Device:
        return translated("设备名称");
    case ENameField::Input:
    default:
        return translated("输入名称");
    }
}

// The character as the operator can tell it: a line break or a tab by name, what cannot be
// seen by its code, anything else as it stands.
QString characterWords(const QString &strChar)
{
    const uint uCode = strChar.toUcs4().value(0);
    if (uCode == '\n' || uCode == '\r' || uCode == 0x2028 || uCode == 0x2029)
        return translated("换行");
    if (uCode == '\t')
        return translated("制表符");
    const QString strCode = QStringLiteral("U+%1").arg(QString::number(uCode, 16).toUpper().rightJustified(4, QLatin1Char('0')));
    const QChar::Category category = QChar::category(uCode);
    if (category == QChar::Other_Control)
        return translated("控制字符 %1").arg(strCode);
    if (!QChar::isPrint(uCode) || QChar::isSpace(uCode))
        return translated("字符 %1").arg(strCode);
    return translated("“%1”").arg(strChar);
}

// The first character of the name the field cannot hold; empty when there is none.
QString refusedCharacter(const QString &strName)
{
    for (int i = 0; i < strName.size(); ++i) {
        int nLen = 1;
        if (strName.at(i).isHighSurrogate() && i + 1 < strName.size() && strName.at(i + 1).isLowSurrogate())
            nLen = 2;
        const QString strChar = strName.mid(i, nLen);
        const ushort uFirst = strChar.at(0).unicode();
        // What GBK cannot hold comes back as something else.
        if (uFirst < 0x20 || uFirst == 0x7F || g_fromGbk(g_toGbk(strChar)) != strChar)
            return strChar;
        i += nLen - 1;
    }
    return QString();
}
}

QString g_deviceNameRefusal(const QString &strName, ENameField field, int nFieldBytes)
{
    const QString strChar = refusedCharacter(strName);
    if (!strChar.isEmpty())
        return translated("%1含有设备不支持的字符：%2").arg(fieldWords(field), characterWords(strChar));
    if (g_toGbk(strName).size() > nFieldBytes)
        return translated("%1不能超过%2个字节（一个汉字占2个字节）").arg(fieldWords(field)).arg(nFieldBytes);
    return QString();
}

bool g_isDeviceName(const QString &strName, int nFieldBytes)
{
    return g_deviceNameRefusal(strName, ENameField::Input, nFieldBytes).isEmpty();
}

int g_wholeNameAdvance(const QFontMetrics &metrics, int nFieldBytes)
{
    return std::max(metrics.horizontalAdvance(QString(nFieldBytes / 2, QChar(0x9F98))),
                    metrics.horizontalAdvance(QString(nFieldBytes, QLatin1Char('W'))));
}

void g_fitWholeName(QLineEdit *pEdit, int nFieldBytes)
{
    if (!pEdit)
        return;
    pEdit->ensurePolished(); // the font the style sheet gives it
    const int nText = g_wholeNameAdvance(QFontMetrics(pEdit->font()), nFieldBytes);
    const QMargins text = pEdit->textMargins();
    const QMargins contents = pEdit->contentsMargins();
    const int nFrame = pEdit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, pEdit);
    // 2 x 2: the edit's own margin beside the text; 2 more for the cursor.
    const int nWidth = nText + text.left() + text.right() + contents.left() + contents.right() + 2 * nFrame + 4 + 2;
    if (pEdit->minimumWidth() < nWidth)
        pEdit->setMinimumWidth(nWidth);
    if (pEdit->maximumWidth() < nWidth)
        pEdit->setMaximumWidth(nWidth);
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
