#include "SceneDocument.h"

#include "Json.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

const QString CSceneDocument::VERSION = QStringLiteral("20230420-V0.1");
const QString CSceneDocument::DEFAULT_FILE = QStringLiteral("kelvo.smt");
const QString CSceneDocument::SUFFIX = QStringLiteral("smt");

CSceneDocument::Result CSceneDocument::parse(const QString &strJson, QVector<Scene> &scenes)
{
    return parse(QJsonDocument::fromJson(strJson.toUtf8()).object(), scenes);
}

CSceneDocument::Result CSceneDocument::parse(const QJsonObject &root, QVector<Scene> &scenes)
{
    scenes.clear();
    const Json json(root);
    if (json.getString(QStringLiteral("Version")) != VERSION)
        return BadVersion;

    const int nSceneCount = json.getInt(QStringLiteral("SceneCount"), 0);
    const QJsonObject view = json.getJsonObject(QStringLiteral("view"));
    // A count is believed only as far as the document holds what it counts.
    if (nSceneCount < 1 || nSceneCount > view.size())
        return Damaged;
    if (nSceneCount > MAX_SCENES)
        return TooManyScenes;

    QVector<Scene> result;
    result.reserve(nSceneCount);
    for (int n = 1; n <= nSceneCount; ++n) {
        const QJsonObject sceneObj = view.value(QStringLiteral("scene%1").arg(n)).toObject();
        Scene scene;
        // An empty start node would be read as the document root, whose own "SceneName" is none of
        // this scene's: a scene without a name of its own has none.
        scene.strName = sceneObj.isEmpty() ? QString() : json.getString(QStringLiteral("SceneName"), QString(), sceneObj);
        int nItemCount = sceneObj.isEmpty() ? 0 : json.getInt(QStringLiteral("ItemCount"), 0, sceneObj);
        if (nItemCount < 0)
            nItemCount = 0;
        if (nItemCount > sceneObj.size())
            return Damaged;
        scene.items.reserve(nItemCount);
        for (int i = 1; i <= nItemCount; ++i) {
            const QJsonObject itemObj = sceneObj.value(QStringLiteral("Item%1").arg(i)).toObject();
            const int nWidth = itemObj.isEmpty() ? 0 : json.getInt(QStringLiteral("Width"), 0, itemObj);
            const int nHeight = itemObj.isEmpty() ? 0 : json.getInt(QStringLiteral("Height"), 0, itemObj);
            if (nWidth < 1 || nHeight < 1)
                return Damaged;
            Item item;
            item.obj = itemObj;
            item.rect = QRect(0, 0, nWidth, nHeight);
            item.nType = json.getInt(QStringLiteral("Type"), 0, itemObj);
            scene.items.append(item);
        }
        result.append(scene);
    }
    scenes = result;
    return Ok;
}

QString CSceneDocument::colorText(const QColor &color)
{
    return QString::number(qRgb(color.red(), color.green(), color.blue()), 16);
}

bool CSceneDocument::writeFile(const QString &strPath, const QJsonObject &doc, QString &strError)
{
    QSaveFile file(strPath);
    if (!file.open(QIODevice::WriteOnly)) {
        strError = file.errorString();
        return false;
    }
    const QByteArray bytes = QJsonDocument(doc).toJson(QJsonDocument::Indented);
    if (file.write(bytes) != bytes.size()) {
        strError = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        strError = file.errorString();
        return false;
    }
    return true;
}

CSceneDocument::ReadResult CSceneDocument::readFile(const QString &strPath, QString &strText, QString &strError)
{
    QByteArray bytes;
    const ReadResult result = readFile(strPath, bytes, strError);
    strText = QString::fromUtf8(bytes);
    return result;
}

CSceneDocument::ReadResult CSceneDocument::readFile(const QString &strPath, QByteArray &bytes, QString &strError)
{
    bytes.clear();
    const QFileInfo info(strPath);
    if (strPath.isEmpty() || !info.exists()) {
        strError = QStringLiteral("no such file");
        return NotFound;
    }
    if (info.isDir()) {
        strError = QStringLiteral("a folder");
        return IsFolder;
    }
    // A pipe or a device would block on opening or never end.
    if (!info.isFile()) {
        strError = QStringLiteral("not a plain file");
        return NotReadable;
    }
    if (info.size() > MAX_FILE_BYTES) {
        strError = QStringLiteral("larger than %1 bytes").arg(MAX_FILE_BYTES);
        return TooLarge;
    }
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        strError = file.errorString();
        return NotReadable;
    }
    // Read in pieces up to the bound: the file may have grown since it was
    // looked at, and some plain files (under /proc) tell no size.
    bytes.reserve(int(info.size()));
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 nRead = file.read(chunk.data(), chunk.size());
        if (nRead < 0) {
            bytes.clear();
            strError = file.errorString();
            return NotReadable;
        }
        if (nRead == 0)
            break;
        if (bytes.size() + nRead > MAX_FILE_BYTES) {
            bytes.clear();
            strError = QStringLiteral("larger than %1 bytes").arg(MAX_FILE_BYTES);
            return TooLarge;
        }
        bytes.append(chunk.constData(), int(nRead));
    }
    return ReadOk;
}
