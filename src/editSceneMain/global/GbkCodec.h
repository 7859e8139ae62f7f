#ifndef GBKCODEC_H
#define GBKCODEC_H

// Device name fields are GBK on the wire, whatever this machine's locale.

#include <QByteArray>
#include <QString>

class QLineEdit;

// Exactly nFieldSize bytes: the GBK form of the text, cut at a character
// boundary when longer than the field, zero-padded when shorter.
QByteArray g_toGbkField(const QString &strText, int nFieldSize = 12);

// The text of a GBK name field, up to the first zero byte.
QString g_fromGbkField(const QByteArray &field);

// Whole texts, without a field limit.
QByteArray g_toGbk(const QString &strText);
QString g_fromGbk(const QByteArray &data);

// Whether a name the operator gave may go into a name field: no control
// character (the device would take a NUL as the end of the name, a line break
// as part of it), and nothing GBK cannot encode (which would go out as '?').
bool g_isDeviceName(const QString &strName);
// What the operator is told when g_isDeviceName refuses a name.
QString g_deviceNameRefusal();

// A length limit of the edit (maxLength counts UTF-16 units) leaves no half of
// a character behind: a surrogate cut from its pair is dropped.
void g_keepWholeCharacters(QLineEdit *pEdit);

#endif // GBKCODEC_H
