#ifndef JSON_H
#define JSON_H

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

class JsonPrivate;

// Read (and write) access to one JSON object by dot-separated key paths, for
// example "view.scene1.Width". Every typed read has a default, returned when
// the path is missing or the value has another type. The start node, when not
// empty, replaces the document's top-level object as the start of the path.
class Json
{
public:
    // jsonOrFilePath is the JSON text itself (UTF-8), or with fromFile the path
    // of a file holding it. An unreadable file or invalid text gives an empty
    // document (and a diagnostic line).
    explicit Json(const QString &jsonOrFilePath = "{}", bool fromFile = false);
    // A reader over an object already parsed (for example one entry of a larger document).
    explicit Json(const QJsonObject &root);
    ~Json();
    Json(const Json &) = delete;
    Json &operator=(const Json &) = delete;

    int getInt(const QString &path, int def = 0, const QJsonObject &fromNode = QJsonObject()) const;
    bool getBool(const QString &path, bool def = false, const QJsonObject &fromNode = QJsonObject()) const;
    double getDouble(const QString &path, double def = 0.0, const QJsonObject &fromNode = QJsonObject()) const;
    QString getString(const QString &path, const QString &def = QString(),
                      const QJsonObject &fromNode = QJsonObject()) const;
    QStringList getStringList(const QString &path, const QJsonObject &fromNode = QJsonObject()) const;
    QJsonArray getJsonArray(const QString &path, const QJsonObject &fromNode = QJsonObject()) const;
    QJsonObject getJsonObject(const QString &path, const QJsonObject &fromNode = QJsonObject()) const;
    QJsonValue getJsonValue(const QString &path, const QJsonObject &fromNode = QJsonObject()) const;

    // Writes a value at the path, creating member objects on the way.
    void set(const QString &path, const QJsonValue &value);
    void set(const QString &path, const QStringList &strings);

    // Writes the document to a file; false when the file cannot be written.
    bool save(const QString &path, QJsonDocument::JsonFormat format = QJsonDocument::Indented);
    QString toString(QJsonDocument::JsonFormat format = QJsonDocument::Indented) const;

private:
    JsonPrivate *d;
};

#endif // JSON_H
