#ifndef GBKCODEC_H
#define GBKCODEC_H

// Device name fields are GBK on the wire, whatever this machine's locale.

#include <QByteArray>
#include <QString>

// Exactly nFieldSize bytes: the GBK form of the text, cut at a character
// boundary when longer than the field, zero-padded when shorter.
QByteArray g_toGbkField(const QString &strText, int nFieldSize = 12);

// The text of a GBK name field, up to the first zero byte.
QString g_fromGbkField(const QByteArray &field);

// Whole texts, without a field limit.
QByteArray g_toGbk(const QString &strText);
QString g_fromGbk(const QByteArray &data);

#endif // GBKCODEC_H
