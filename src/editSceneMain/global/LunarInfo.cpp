#include "LunarInfo.h"

#include <QMutex>
#include <QMutexLocker>

#include <cstddef>
#include <initializer_list>

#include "LunarInfoData.h"

namespace {

constexpr int kFirstYear = LunarInfoData::kFirstLunarYear;
constexpr int kLastYear = LunarInfoData::kFirstLunarYear + LunarInfoData::kLunarYearCount - 1;
constexpr int kFirstTermYear = LunarInfoData::kFirstSolarTermYear;
constexpr int kLastTermYear =
    LunarInfoData::kFirstSolarTermYear + LunarInfoData::kSolarTermYearCount - 1;

struct KeyedText
{
    int nKey;
    const char *pText;
};

// Gregorian commemorative days, key = month * 256 + day.
const KeyedText s_holidays[] = {
    {0x0101, "元旦"},       {0x020E, "情人节"},     {0x0303, "爱耳日"},
    {0x0305, "志愿者服务日"}, {0x0308, "妇女节"},     {0x0309, "保护母亲河"},
    {0x030C, "植树节"},     {0x030F, "消费者权益日"}, {0x0401, "愚人节"},
    {0x0501, "劳动节"},     {0x0504, "青年节"},     {0x0601, "儿童节"},
    {0x0606, "全国爱眼日"},   {0x0701, "建党节"},     {0x0707, "抗战纪念日"},
    {0x0801, "建军节"},     {0x090A, "教师节"},     {0x0910, "脑健康日"},
    {0x0914, "爱牙日"},     {0x0A01, "国庆节"},     {0x0A0A, "高血压日"},
    {0x0A1C, "男性健康日"},   {0x0B08, "记者节"},     {0x0B09, "消防宣传日"},
    {0x0C04, "法制宣传日"},   {0x0C18, "平安夜"},     {0x0C19, "圣诞节"},
};

// Lunar festivals, key = lunar month * 256 + lunar day. A leap month's days
// match the rows of the regular month of the same number.
const KeyedText s_lunarFestivals[] = {
    {0x0101, "春节"},   {0x010F, "元宵节"}, {0x0202, "龙抬头"},
    {0x0505, "端午节"}, {0x0707, "七夕节"}, {0x080F, "中秋节"},
    {0x0909, "重阳节"}, {0x0C08, "腊八节"}, {0x0C1E, "除夕"},
};

template <std::size_t N>
QString lookUp(const KeyedText (&table)[N], int nKey)
{
    for (const KeyedText &row : table) {
        if (row.nKey == nKey)
            return QString::fromUtf8(row.pText);
    }
    return QString();
}

QList<QString> toList(std::initializer_list<const char *> texts)
{
    QList<QString> list;
    list.reserve(int(texts.size()));
    for (const char *p : texts)
        list.append(QString::fromUtf8(p));
    return list;
}

// Non-negative remainder, also for years before the cycle's reference year.
// Takes 64 bits so that year arithmetic near the int limits cannot overflow.
int positiveMod(qint64 n, int m)
{
    return int(((n % m) + m) % m);
}

const char *const kLeapMark = "闰";

} // namespace

QScopedPointer<CLunarInfo> CLunarInfo::self;
QAtomicPointer<CLunarInfo> CLunarInfo::s_pInstance;

CLunarInfo::CLunarInfo(QObject *parent)
    : QObject(parent)
{
    lunarCalendarTable.reserve(LunarInfoData::kLunarYearCount);
    for (int nEntry : LunarInfoData::s_nLunarYears)
        lunarCalendarTable.append(nEntry);

    chineseTwentyFourData.reserve(int(sizeof(LunarInfoData::s_byteSolarTerms)));
    for (unsigned char byTerm : LunarInfoData::s_byteSolarTerms)
        chineseTwentyFourData.append(int(byTerm));

    monthAdd = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

    listDayName = toList({"*",
                          "初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八", "初九", "初十",
                          "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九", "二十",
                          "廿一", "廿二", "廿三", "廿四", "廿五", "廿六", "廿七", "廿八", "廿九", "三十"});
    listMonthName = toList({"*", "正月", "二月", "三月", "四月", "五月", "六月",
                            "七月", "八月", "九月", "十月", "冬月", "腊月"});
    listSolarTerm = toList({"小寒", "大寒", "立春", "雨水", "惊蛰", "春分",
                            "清明", "谷雨", "立夏", "小满", "芒种", "夏至",
                            "小暑", "大暑", "立秋", "处暑", "白露", "秋分",
                            "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"});
    listTianGan = toList({"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"});
    listDiZhi = toList({"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"});
    listShuXiang = toList({"鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗", "猪"});
}

CLunarInfo *CLunarInfo::Instance()
{
    CLunarInfo *pInstance = s_pInstance.loadAcquire();
    if (pInstance)
        return pInstance;

    static QMutex mutex;
    QMutexLocker locker(&mutex);
    pInstance = s_pInstance.loadAcquire();
    if (!pInstance) {
        self.reset(new CLunarInfo);
        pInstance = self.data();
        s_pInstance.storeRelease(pInstance);
    }
    return pInstance;
}

bool CLunarInfo::isLoopYear(int year) const
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int CLunarInfo::getMonthDays(int year, int month) const
{
    switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
        return 31;
    case 2:
        return isLoopYear(year) ? 29 : 28;
    default:
        return 30;
    }
}

int CLunarInfo::getTotalMonthDays(int year, int month) const
{
    static const int s_nBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    if (month < 1 || month > 12)
        return 0;
    return s_nBefore[month - 1] + ((month > 2 && isLoopYear(year)) ? 1 : 0);
}

int CLunarInfo::getFirstDayOfWeek(int year, int month) const
{
    const qint64 y = year;
    const qint64 w = (y + (y - 1) / 4 - (y - 1) / 100 + (y - 1) / 400) % 7;
    return positiveMod(w + getTotalMonthDays(year, month), 7);
}

QString CLunarInfo::getHoliday(int month, int day) const
{
    // Out-of-range parts would make the packed key alias another date.
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return QString();
    return lookUp(s_holidays, (month << 8) | day);
}

QString CLunarInfo::getSolarTerms(int year, int month, int day) const
{
    // A day outside its month has no term (and 15 - day stays in range).
    if (year < kFirstTermYear || year > kLastTermYear || month < 1 || month > 12 || day < 1
        || day > getMonthDays(year, month))
        return QString();
    const int index = (year - kFirstTermYear) * 12 + month - 1;
    if (index < 0 || index >= chineseTwentyFourData.size())
        return QString();
    const int nEntry = chineseTwentyFourData.at(index);
    if (day < 15) {
        if (15 - day == (nEntry >> 4))
            return listSolarTerm.at(2 * (month - 1));
    } else if (day > 15) {
        if (day - 15 == (nEntry & 0x0F))
            return listSolarTerm.at(2 * (month - 1) + 1);
    }
    return QString();
}

QString CLunarInfo::getLunarFestival(int month, int day) const
{
    if (month < 1 || month > 12 || day < 1 || day > 30)
        return QString();
    return lookUp(s_lunarFestivals, (month << 8) | day);
}

QString CLunarInfo::getLunarYear(int year) const
{
    // Stems and branches run on without end; index 0 of each list is 1924.
    const qint64 t = qint64(year) - 1924;
    return listTianGan.at(positiveMod(t, listTianGan.size()))
         + listDiZhi.at(positiveMod(t, listDiZhi.size()))
         + listShuXiang.at(positiveMod(t, listShuXiang.size()));
}

int CLunarInfo::lunarMonthLength(int nEntry, int k)
{
    if (k < 1 || k > 13)
        return 29;
    return (nEntry & (0x80000 >> (k - 1))) ? 30 : 29;
}

bool CLunarInfo::isValidDate(int year, int month, int day) const
{
    return year >= kFirstYear && year <= kLastYear && month >= 1 && month <= 12
        && day >= 1 && day <= getMonthDays(year, month);
}

void CLunarInfo::getCLunarInfo(int year, int month, int day,
                               QString &strHoliday, QString &strSolarTerms,
                               QString &strLunarFestival, QString &strLunarYear,
                               QString &strLunarMonth, QString &strLunarDay) const
{
    if (!isValidDate(year, month, day))
        return;

    // Days from 1 January to the spring festival and to the date.
    int nEntry = lunarCalendarTable.at(year - kFirstYear);
    const int nSpring = ((nEntry >> 5) & 3) == 1 ? (nEntry & 31) - 1 : (nEntry & 31) + 30;
    const int nOffset = monthAdd.at(month - 1) + day - 1 + ((month > 2 && isLoopYear(year)) ? 1 : 0);

    // Before the spring festival the date belongs to the previous lunar year,
    // which the table doesn't hold for the first year.
    if (nOffset < nSpring && year == kFirstYear)
        return;

    int nLunarYear = year;
    int nMonth = 0;
    int nDay = 0;
    bool bLeap = false;

    if (nOffset >= nSpring) {
        const int nLeapMonth = (nEntry >> 20) & 0xF;
        const int nMonths = nLeapMonth ? 13 : 12;
        int d = nOffset - nSpring;
        int k = 1;
        nMonth = 1;
        int len = lunarMonthLength(nEntry, k);
        while (d >= len && k < nMonths) {
            d -= len;
            ++k;
            if (nMonth == nLeapMonth) {
                bLeap = !bLeap;
                if (!bLeap)
                    ++nMonth;
            } else {
                ++nMonth;
            }
            len = lunarMonthLength(nEntry, k);
        }
        if (d >= len)
            return; // past the year's last month: cannot happen with a consistent table
        nDay = d + 1;
    } else {
        nLunarYear = year - 1;
        nEntry = lunarCalendarTable.at(nLunarYear - kFirstYear);
        const int nLeapMonth = (nEntry >> 20) & 0xF;
        int d = nSpring - nOffset;
        int k = nLeapMonth ? 13 : 12;
        nMonth = 12;
        int len = lunarMonthLength(nEntry, k);
        while (d > len && k > 1) {
            d -= len;
            --k;
            if (!bLeap)
                --nMonth;
            if (nMonth == nLeapMonth)
                bLeap = !bLeap;
            len = lunarMonthLength(nEntry, k);
        }
        if (d > len)
            return; // before the year's first month: cannot happen with a consistent table
        nDay = len - d + 1;
    }

    if (nMonth < 1 || nMonth >= listMonthName.size() || nDay < 1 || nDay >= listDayName.size())
        return;

    strHoliday = getHoliday(month, day);
    strSolarTerms = getSolarTerms(year, month, day);
    strLunarYear = getLunarYear(nLunarYear);
    strLunarMonth = bLeap ? QString::fromUtf8(kLeapMark) + listMonthName.at(nMonth)
                          : listMonthName.at(nMonth);
    strLunarDay = listDayName.at(nDay);
    strLunarFestival = getLunarFestival(nMonth, nDay);
}

QString CLunarInfo::getLunarInfo(int year, int month, int day,
                                 bool yearInfo, bool monthInfo, bool dayInfo) const
{
    QString strHoliday, strSolarTerms, strLunarFestival;
    QString strLunarYear, strLunarMonth, strLunarDay;
    Instance()->getCLunarInfo(year, month, day, strHoliday, strSolarTerms, strLunarFestival,
                              strLunarYear, strLunarMonth, strLunarDay);

    QString strDay = strLunarDay;
    if (!strLunarFestival.isEmpty())
        strDay = strLunarFestival;
    else if (!strSolarTerms.isEmpty())
        strDay = strSolarTerms;
    else if (!strHoliday.isEmpty())
        strDay = strHoliday;

    // The year mark only follows an actual year text.
    const QString strYear = (yearInfo && !strLunarYear.isEmpty())
                                ? strLunarYear + QString::fromUtf8("年") : QString();
    return QStringLiteral("%1%2%3").arg(strYear,
                                        monthInfo ? strLunarMonth : QString(),
                                        dayInfo ? strDay : QString());
}

QString CLunarInfo::getLunarYearMonthDay(int year, int month, int day) const
{
    return getLunarInfo(year, month, day, true, true, true);
}

QString CLunarInfo::getLunarMonthDay(int year, int month, int day) const
{
    return getLunarInfo(year, month, day, false, true, true);
}

QString CLunarInfo::getLunarDay(int year, int month, int day) const
{
    return getLunarInfo(year, month, day, false, false, true);
}
