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
    auto substitute = [](const QString &strFamily, const QString &strSubstitute) {
        if (!strSubstitute.isEmpty()
            && !QFont::substitutes(strFamily).contains(strSubstitute, Qt::CaseInsensitive))
            QFont::insertSubstitution(strFamily, strSubstitute);
    };
    const QString strCjk = g_cjkSubstituteFamily();
    const QStringList listNamed{"Microsoft YaHei", "Microsoft Yahei", QStringLiteral("微软雅黑"),
                                QStringLiteral("宋体")};
    for (const QString &strFamily : listNamed)
        substitute(strFamily, strCjk);

    // The Z source strip's family. Where it is missing the system's own matching may
    // offer a calligraphic italic; a plain sans reads.
    const QStringList listFamilies = QFontDatabase().families();
    QString strSans = strCjk;
    for (const QString &strFamily : {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")}) {
        if (listFamilies.contains(strFamily, Qt::CaseInsensitive)) {
            strSans = strFamily;
            break;
        }
    }
    substitute(QStringLiteral("Comic Sans MS"), strSans);
}
