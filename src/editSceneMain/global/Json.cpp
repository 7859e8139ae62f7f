#include "Json.h"

#include <QDebug>
#include <QFile>
#include <QJsonParseError>
#include <QSaveFile>

#include <cmath>
#include <limits>

class JsonPrivate
{
public:
    QJsonObject root;

    static void setValue(QJsonObject &parent, const QString &path, const QJsonValue &value)
    {
        const int dot = path.indexOf('.');
        const QString key = dot < 0 ? path : path.left(dot);
        const QString rest = dot > 0 ? path.mid(dot + 1) : QString();
        QJsonValue member = parent.value(key);
        if (rest.isEmpty()) {
            member = value;
        } else {
            QJsonObject child = member.toObject();
            setValue(child, rest, value);
            member = child;
        }
        parent[key] = member;
    }
};

Json::Json(const QString &jsonOrFilePath, bool fromFile)
    : d(new JsonPrivate)
{
    QByteArray text("{}");
    if (fromFile) {
        QFile file(jsonOrFilePath);
        if (file.open(QIODevice::ReadOnly | QIODevice::Text))
            text = file.readAll();
        else
            qDebug().noquote() << QString("Cannot open the file: %1").arg(jsonOrFilePath);
    } else {
        text = jsonOrFilePath.toUtf8();
    }

    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        qDebug().noquote() << error.errorString() + ", Offset: " + QString::number(error.offset);
        return;
    }
    d->root = doc.object();
}

Json::Json(const QJsonObject &root)
    : d(new JsonPrivate)
{
    d->root = root;
}

Json::~Json()
{
    delete d;
}

QJsonValue Json::getJsonValue(const QString &path, const QJsonObject &fromNode) const
{
    const QJsonObject &start = fromNode.isEmpty() ? d->root : fromNode;
    if (!path.contains(QLatin1Char('.')))
        return start.value(path); // a plain key: no path to walk
    QJsonObject current = start;
    const QStringList keys = path.split('.');
    for (int i = 0; i < keys.size() - 1; ++i) {
        if (current.isEmpty())
            return QJsonValue();
        current = current.value(keys.at(i)).toObject();
    }
    return current.value(keys.last());
}

int Json::getInt(const QString &path, int def, const QJsonObject &fromNode) const
{
    const QJsonValue value = getJsonValue(path, fromNode);
    if (!value.isDouble())
        return def;
    const double number = value.toDouble();
    // Only whole numbers within the int range; anything else gives the default
    // (a cast of an out-of-range double would be undefined).
    if (!std::isfinite(number) || number != std::floor(number)
        || number < double(std::numeric_limits<int>::min())
        || number > double(std::numeric_limits<int>::max()))
        return def;
    return int(number);
}

bool Json::getBool(const QString &path, bool def, const QJsonObject &fromNode) const
{
    const QJsonValue value = getJsonValue(path, fromNode);
    return value.isBool() ? value.toBool() : def;
}

double Json::getDouble(const QString &path, double def, const QJsonObject &fromNode) const
{
    const QJsonValue value = getJsonValue(path, fromNode);
    return value.isDouble() ? value.toDouble() : def;
}

QString Json::getString(const QString &path, const QString &def, const QJsonObject &fromNode) const
{
    const QJsonValue value = getJsonValue(path, fromNode);
    return value.isString() ? value.toString() : def;
}

QStringList Json::getStringList(const QString &path, const QJsonObject &fromNode) const
{
    QStringList result;
    const QJsonArray array = getJsonArray(path, fromNode);
    for (const QJsonValue &v : array)
        result << v.toString();
    return result;
}

QJsonArray Json::getJsonArray(const QString &path, const QJsonObject &fromNode) const
{
    return getJsonValue(path, fromNode).toArray();
}

QJsonObject Json::getJsonObject(const QString &path, const QJsonObject &fromNode) const
{
    return getJsonValue(path, fromNode).toObject();
}

void Json::set(const QString &path, const QJsonValue &value)
{
    JsonPrivate::setValue(d->root, path, value);
}

void Json::set(const QString &path, const QStringList &strings)
{
    set(path, QJsonValue(QJsonArray::fromStringList(strings)));
}

bool Json::save(const QString &path, QJsonDocument::JsonFormat format)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    file.write(QJsonDocument(d->root).toJson(format));
    return file.commit();
}

QString Json::toString(QJsonDocument::JsonFormat format) const
{
    return QString::fromUtf8(QJsonDocument(d->root).toJson(format));
}
