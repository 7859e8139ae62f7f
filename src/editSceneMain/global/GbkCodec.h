#ifndef GBKCODEC_H
#define GBKCODEC_H

// Device name fields are GBK on the wire, whatever this machine's locale.

#include <QByteArray>
#include <QString>

class QFontMetrics;
class QLineEdit;

// Exactly nFieldSize bytes: the GBK form of the text, cut at a character
// boundary when longer than the field, zero-padded when shorter.
QByteArray g_toGbkField(const QString &strText, int nFieldSize = 12);

// The text of a GBK name field, up to the first zero byte.
QString g_fromGbkField(const QByteArray &field);

// Whole texts, without a field limit.
QByteArray g_toGbk(const QString &strText);
QString g_fromGbk(const QByteArray &data);

// The name fields the operator fills, as the refusal names them.
enum class ENameField { Input, Scene, Device };

// Whether a name the operator gave may go into a name field of nFieldBytes:
// no control character (the device would take a NUL as the end of the name, a
// line break as part of it), nothing GBK cannot encode (which would go out as
// '?'), and no more bytes than the field holds (the device would cut it).
bool g_isDeviceName(const QString &strName, int nFieldBytes = 12);
// What the operator is told when g_isDeviceName refuses a name, in the current
// language: the field, and the first character refused in words the operator
// can read (a line break, a tab, another control character by its code, or the
// character itself), or the field's length. Empty for a name that fits.
QString g_deviceNameRefusal(const QString &strName, ENameField field, int nFieldBytes = 12);

// A length limit of the edit (maxLength counts UTF-16 units) leaves no half of
// a character behind: a surrogate cut from its pair is dropped.
void g_keepWholeCharacters(QLineEdit *pEdit);

// The width of the widest name of nFieldBytes (wide letters, "W", or Chinese characters) in a font.
int g_wholeNameAdvance(const QFontMetrics &metrics, int nFieldBytes = 12);

// Makes the edit at least as wide as a name of nFieldBytes of wide letters ("W") or of Chinese
// characters, in the font it is shown in: a name the device holds is seen whole.
void g_fitWholeName(QLineEdit *pEdit, int nFieldBytes = 12);

#endif // GBKCODEC_H
