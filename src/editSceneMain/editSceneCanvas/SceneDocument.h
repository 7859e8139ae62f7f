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
// entries they count.

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

    enum Result {
        Ok = 0,
        BadVersion,   // "Version" missing or another text
        Damaged       // a count, a scene or an item that does not hold together
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
    // order; otherwise scenes is left empty.
    static Result parse(const QString &strJson, QVector<Scene> &scenes);

    // The colour as the document writes it: ffRRGGBB, lower case, no prefix.
    static QString colorText(const QColor &color);

    // Writes the document as indented JSON through a temporary file that
    // replaces the target only once it is complete. On failure strError says
    // why and the target is as it was.
    static bool writeFile(const QString &strPath, const QJsonObject &doc, QString &strError);

    // Reads a file's whole text; false (with the reason) when it cannot be read.
    static bool readFile(const QString &strPath, QString &strText, QString &strError);

    // True when the text is a JSON object at all.
    static bool isJsonObject(const QString &strText);
};

#endif // SCENEDOCUMENT_H
