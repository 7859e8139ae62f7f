#ifndef EDITITEMFACTORY_H
#define EDITITEMFACTORY_H

// Makes canvas items by their media kind, for whoever rebuilds items from their JSON objects.
// The layer window (kind 3) is known from the start; other item kinds (the OSD text item,
// kind 0) register a maker here once.

#include <QJsonObject>
#include <QRect>

#include <functional>

class CEditBaseItem;

class CEditItemFactory
{
public:
    typedef std::function<CEditBaseItem *(const QRect &rect, bool bShowNormal)> Maker;

    static void registerKind(int nMediaKind, const Maker &maker);
    static bool hasKind(int nMediaKind);
    // A new item of that kind for the rectangle, its kind set; null for an unknown kind.
    static CEditBaseItem *create(int nMediaKind, const QRect &rect, bool bShowNormal = true);
    // A new item from an item object: made by its "Type", then read with loadFromJson. Null for
    // an unknown kind or an object without a positive "Width" and "Height" (a damaged entry).
    static CEditBaseItem *createFromJson(const QJsonObject &object);
};

#endif // EDITITEMFACTORY_H
