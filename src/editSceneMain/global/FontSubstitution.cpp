#include "FontSubstitution.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

QString g_cjkSubstituteFamily()
{
    const QFontDatabase db;
    const QStringList listFamilies = db.families();
    const QStringList listPreferred{"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Source Han Sans SC",
                                    "WenQuanYi Zen Hei", "Droid Sans Fallback"};
    for (const QString &strFamily : listPreferred) {
        if (listFamilies.contains(strFamily, Qt::CaseInsensitive))
            return strFamily;
    }
    const QStringList listChinese = db.families(QFontDatabase::SimplifiedChinese);
    return listChinese.isEmpty() ? QString() : listChinese.first();
}

void g_installFontSubstitutions()
{
    const QString strSubstitute = g_cjkSubstituteFamily();
    if (strSubstitute.isEmpty())
        return;
    const QStringList listNamed{"Microsoft YaHei", "Microsoft Yahei", QStringLiteral("微软雅黑"),
                                QStringLiteral("宋体")};
    for (const QString &strFamily : listNamed) {
        if (!QFont::substitutes(strFamily).contains(strSubstitute, Qt::CaseInsensitive))
            QFont::insertSubstitution(strFamily, strSubstitute);
    }
}
