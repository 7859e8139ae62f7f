#ifndef SCENEDOCUMENT_H
#define SCENEDOCUMENT_H

// The scene document of the Tarn editor: one JSON object in a ".smt" file.
//
//   "Version"     "20230420-V0.1" (any other text is refused)
//   "SceneCount"  N
//   "view"        { "scene1": {...}, ... "sceneN": {...} }
//   "fileCount", "fileList"   the source panel's keys (absent when it has none)
//
// A scene object holds "x", "y", "Width", "Height" (the view's geometry),
// "BkColor" (ffRRGGBB in lower-case hex), "SceneId", "SceneType", "SceneName",
// "ItemCount" M and "Item1" ... "ItemM", each the item's own JSON form with at
// least "Width", "Height" (1 or more) and "Type".
//
// Reading is all or nothing: parse() checks the whole text and hands back what
// a load would build, so the caller replaces nothing until the document has
// been found whole. Counts are believed only as far as the document holds the
// entries they count, and a document never holds more scenes than a device
// stores. readFile() takes no file larger than MAX_FILE_BYTES.

#include <QJsonObject>
#include <QRect>
#include <QString>
#include <QVector>

class CSceneDocument
{
public:
    static const QString VERSION;       // "20230420-V0.1"
    static const QString DEFAULT_FILE;  // "kelvo.smt"
    static const QString SUFFIX;        // "smt"

    // The most scenes a device stores: a scene id is one byte, 0 is no scene.
    static constexpr int MAX_SCENES = 255;
    // The largest file read as a document. A device filled to the brim (255
    // scenes of 255 layers) writes about 77 MB.
    static constexpr qint64 MAX_FILE_BYTES = 128 * 1024 * 1024;

    enum Result {
        Ok = 0,
        BadVersion,    // "Version" missing or another text
        Damaged,       // a count, a scene or an item that does not hold together
        TooManyScenes  // more than MAX_SCENES scenes
    };

    enum ReadResult {
        ReadOk = 0,
        NotFound,      // nothing at the path
        IsFolder,      // the path names a folder
        NotReadable,   // not a plain file, or opening or reading it failed
        TooLarge       // more than MAX_FILE_BYTES
    };

    struct Item
    {
        QJsonObject obj;  // the item's own JSON form
        QRect rect;       // (0, 0, Width, Height)
        int nType = 0;    // media kind
    };

    struct Scene
    {
        QString strName;
        QVector<Item> items;
    };

    // Reads a whole document. On Ok, scenes holds every scene in document
    // order; otherwise scenes is left empty. Text that is no JSON object
    // reads as an empty object.
    static Result parse(const QString &strJson, QVector<Scene> &scenes);
    static Result parse(const QJsonObject &root, QVector<Scene> &scenes);

    // A look at a document's text before it is parsed: when its first
    // "SceneCount" says it holds no scene or more than MAX_SCENES, the text is
    // scanned (nothing built) and the refusal parse() would give is returned.
    // Ok means no early answer: the text is to be parsed.
    static Result precheck(const QByteArray &bytes);

    // The colour as the document writes it: ffRRGGBB, lower case, no prefix.
    static QString colorText(const QColor &color);

    // Writes the document as indented JSON through a temporary file that
    // replaces the target only once it is complete. On failure strError says
    // why and the target is as it was.
    static bool writeFile(const QString &strPath, const QJsonObject &doc, QString &strError);

    // Reads a file's whole text. Anything but ReadOk leaves strText empty and
    // says why in strError (the system's own words, for NotReadable).
    static ReadResult readFile(const QString &strPath, QString &strText, QString &strError);
    static ReadResult readFile(const QString &strPath, QByteArray &bytes, QString &strError);
};

#endif // SCENEDOCUMENT_H
