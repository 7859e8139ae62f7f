#include "EditItemFactory.h"

#include <QHash>
#include <QJsonDocument>

#include "EditSingleTextItem.h"
#include "Json.h"
#include "QorGlobal.h"

namespace {

QHash<int, CEditItemFactory::Maker> &makers()
{
    static QHash<int, CEditItemFactory::Maker> s_makers{
        {MediaType_SingleText,
         [](const QRect &rect, bool bShowNormal) -> CEditBaseItem * { return new CEditSingleTextItem(rect, bShowNormal); }}};
    return s_makers;
}

} // namespace

void CEditItemFactory::registerKind(int nMediaKind, const Maker &maker)
{
    makers().insert(nMediaKind, maker);
}

bool CEditItemFactory::hasKind(int nMediaKind)
{
    return makers().contains(nMediaKind);
}

CEditBaseItem *CEditItemFactory::create(int nMediaKind, const QRect &rect, bool bShowNormal)
{
    const auto it = makers().constFind(nMediaKind);
    if (it == makers().constEnd())
        return nullptr;
    CEditBaseItem *pItem = (*it)(rect, bShowNormal);
    if (pItem)
        pItem->setItemType(nMediaKind);
    return pItem;
}

CEditBaseItem *CEditItemFactory::createFromJson(const QJsonObject &object)
{
    const QJsonValue type = object.value("Type");
    const QJsonValue width = object.value("Width");
    const QJsonValue height = object.value("Height");
    if (!type.isDouble() || !width.isDouble() || !height.isDouble())
        return nullptr;
    const int w = width.toInt(-1), h = height.toInt(-1);
    if (w <= 0 || h <= 0)
        return nullptr;
    CEditBaseItem *pItem = create(type.toInt(-1), QRect(0, 0, w, h));
    if (!pItem)
        return nullptr;
    const Json json(object);
    pItem->loadFromJson(json);
    return pItem;
}
