#include "TestMain.h"

#include <climits>

#include <QDate>
#include <QHash>

#include <atomic>
#include <limits>
#include <thread>
#include <vector>

#include "LunarInfo.h"
#include "LunarInfoData.h"

namespace {

struct DecodedYear
{
    QDate springFestival;
    int nLeapMonth = 0;
    QList<int> lengths;   // month lengths in order, the leap month in place
    int days() const
    {
        int n = 0;
        for (int len : lengths)
            n += len;
        return n;
    }
};

DecodedYear decodeYear(int year)
{
    const int nEntry = LunarInfoData::s_nLunarYears[year - LunarInfoData::kFirstLunarYear];
    DecodedYear y;
    y.springFestival = QDate(year, (nEntry >> 5) & 3, nEntry & 31);
    y.nLeapMonth = (nEntry >> 20) & 0xF;
    const int nMonths = y.nLeapMonth ? 13 : 12;
    for (int k = 1; k <= nMonths; ++k)
        y.lengths.append((nEntry & (0x80000 >> (k - 1))) ? 30 : 29);
    return y;
}

// Every text written by getCLunarInfo, with the strings pre-filled so that an
// untouched result can be told from an empty one.
struct Lunar
{
    QString holiday = "?", solarTerm = "?", festival = "?", year = "?", month = "?", day = "?";
    bool untouched() const
    {
        return holiday == "?" && solarTerm == "?" && festival == "?" && year == "?"
            && month == "?" && day == "?";
    }
};

Lunar convert(int year, int month, int day)
{
    Lunar r;
    CLunarInfo::Instance()->getCLunarInfo(year, month, day, r.holiday, r.solarTerm, r.festival,
                                          r.year, r.month, r.day);
    return r;
}

const QStringList kDayNames = QString("* 初一 初二 初三 初四 初五 初六 初七 初八 初九 初十 "
                                      "十一 十二 十三 十四 十五 十六 十七 十八 十九 二十 "
                                      "廿一 廿二 廿三 廿四 廿五 廿六 廿七 廿八 廿九 三十")
                                  .split(' ');
const QStringList kMonthNames =
    QString("* 正月 二月 三月 四月 五月 六月 七月 八月 九月 十月 冬月 腊月").split(' ');

} // namespace

class TestLunar : public QObject
{
    Q_OBJECT
private slots:
    // Runs first, while no instance exists yet: concurrent first calls must
    // agree on one object.
    void instanceIsCreatedOnceAcrossThreads()
    {
        std::atomic<bool> go{false};
        std::vector<CLunarInfo *> seen(8, nullptr);
        std::vector<std::thread> threads;
        for (int i = 0; i < 8; ++i) {
            threads.emplace_back([&go, &seen, i] {
                while (!go.load())
                    std::this_thread::yield();
                seen[i] = CLunarInfo::Instance();
            });
        }
        go = true;
        for (std::thread &t : threads)
            t.join();
        for (CLunarInfo *p : seen)
            QCOMPARE(p, CLunarInfo::Instance());
        QVERIFY(CLunarInfo::Instance() != nullptr);
    }

    void sampleYearRowsDecode()
    {
        const struct
        {
            int year, entry;
            QDate spring;
            int leap;
            const char *lengths;
            int days;
        } rows[] = {
            {1901, 0x04AE53, QDate(1901, 2, 19), 0, "sLssLsLsLLLs", 354},
            {1903, 0x5526BD, QDate(1903, 1, 29), 5, "sLsLssLssLLsL", 383},
            {2000, 0x0C9645, QDate(2000, 2, 5), 0, "LLssLssLsLLs", 354},
            {2020, 0x474AB9, QDate(2020, 1, 25), 4, "sLLLsLssLsLsL", 384},
            {2023, 0x24DAB6, QDate(2023, 1, 22), 2, "sLssLLsLLsLsL", 384},
            {2024, 0x04B64A, QDate(2024, 2, 10), 0, "sLssLsLLsLLs", 354},
            {2033, 0xB4AEBF, QDate(2033, 1, 31), 11, "sLssLsLsLLLsL", 384},
            {2099, 0x2D92B5, QDate(2099, 1, 21), 2, "LLsLLssLssLsL", 384},
        };
        for (const auto &row : rows) {
            QCOMPARE(LunarInfoData::s_nLunarYears[row.year - 1901], row.entry);
            const DecodedYear y = decodeYear(row.year);
            QCOMPARE(y.springFestival, row.spring);
            QCOMPARE(y.nLeapMonth, row.leap);
            QString lengths;
            for (int len : y.lengths)
                lengths += len == 30 ? 'L' : 's';
            QCOMPARE(lengths, QString(row.lengths));
            QCOMPARE(y.days(), row.days);
        }
    }

    void yearTableInvariants()
    {
        QCOMPARE(LunarInfoData::kLunarYearCount, 199);
        int nLeapYears = 0;
        QList<int> elevenths;
        for (int year = 1901; year <= 2099; ++year) {
            const int nEntry = LunarInfoData::s_nLunarYears[year - 1901];
            QCOMPARE(nEntry >> 24, 0);
            const DecodedYear y = decodeYear(year);
            QVERIFY2(y.springFestival >= QDate(year, 1, 21) && y.springFestival <= QDate(year, 2, 20),
                     qPrintable(QString::number(year)));
            if (y.nLeapMonth) {
                ++nLeapYears;
                QVERIFY2(y.nLeapMonth >= 2 && y.nLeapMonth <= 11, qPrintable(QString::number(year)));
                if (y.nLeapMonth == 11)
                    elevenths.append(year);
                QVERIFY(y.days() >= 383 && y.days() <= 385);
            } else {
                QVERIFY(y.days() >= 353 && y.days() <= 355);
                QCOMPARE(nEntry & 0x80, 0);   // no 13th month bit
            }
            if (year < 2099)
                QVERIFY2(y.springFestival.addDays(y.days()) == decodeYear(year + 1).springFestival,
                         qPrintable(QString::number(year)));
        }
        QCOMPARE(nLeapYears, 73);
        QCOMPARE(elevenths, QList<int>{2033});
    }

    void solarTermTable()
    {
        QCOMPARE(int(sizeof(LunarInfoData::s_byteSolarTerms)), 1560);
        const struct
        {
            int year;
            const char *bytes;
        } rows[] = {
            {1970, "95 B4 96 A5 96 97 88 78 78 69 78 87"},
            {2000, "96 B4 A5 B5 A6 A6 87 88 88 78 87 86"},
            {2024, "95 B4 A5 B4 A5 A6 97 87 87 78 87 96"},
            {2099, "A5 C3 A5 B5 A6 A6 87 88 88 78 87 86"},
        };
        for (const auto &row : rows) {
            QByteArray got;
            for (int m = 0; m < 12; ++m)
                got.append(char(LunarInfoData::s_byteSolarTerms[(row.year - 1970) * 12 + m]));
            QCOMPARE(got.toHex(' ').toUpper(), QByteArray(row.bytes));
        }
        for (unsigned char b : LunarInfoData::s_byteSolarTerms) {
            const int d1 = 15 - (b >> 4), d2 = 15 + (b & 0xF);
            QVERIFY(d1 >= 3 && d1 <= 9);
            QVERIFY(d2 >= 18 && d2 <= 24);
        }

        // The 2024 row read back through getSolarTerms, every day of the year.
        const QStringList names = QString("小寒 大寒 立春 雨水 惊蛰 春分 清明 谷雨 立夏 小满 芒种 夏至 "
                                          "小暑 大暑 立秋 处暑 白露 秋分 寒露 霜降 立冬 小雪 大雪 冬至")
                                      .split(' ');
        const int days2024[24] = {6, 20, 4, 19, 5, 20, 4, 19, 5, 20, 5, 21,
                                  6, 22, 7, 22, 7, 22, 8, 23, 7, 22, 6, 21};
        CLunarInfo *p = CLunarInfo::Instance();
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= p->getMonthDays(2024, m); ++d) {
                QString want;
                if (d == days2024[2 * (m - 1)])
                    want = names.at(2 * (m - 1));
                else if (d == days2024[2 * (m - 1) + 1])
                    want = names.at(2 * (m - 1) + 1);
                QCOMPARE(p->getSolarTerms(2024, m, d), want);
            }
        }
    }

    void solarTermsOutsideTheTableAreEmpty()
    {
        CLunarInfo *p = CLunarInfo::Instance();
        QCOMPARE(p->getSolarTerms(1970, 1, 6), QString("小寒"));
        QCOMPARE(p->getSolarTerms(2099, 12, 21), QString("冬至"));
        QVERIFY(p->getSolarTerms(1969, 12, 22).isEmpty());
        QVERIFY(p->getSolarTerms(2100, 1, 5).isEmpty());
        QVERIFY(p->getSolarTerms(100000, 1, 5).isEmpty());
        QVERIFY(p->getSolarTerms(2024, 0, 6).isEmpty());
        QVERIFY(p->getSolarTerms(2024, 13, 6).isEmpty());
        QVERIFY(p->getSolarTerms(2024, -5, 6).isEmpty());
        QVERIFY(p->getSolarTerms(2024, 1, 15).isEmpty());
        // days far outside the month: no term, and no overflow on the way
        QVERIFY(p->getSolarTerms(2024, 1, INT_MIN).isEmpty());
        QVERIFY(p->getSolarTerms(2024, 1, INT_MAX).isEmpty());
        QVERIFY(p->getSolarTerms(2024, 2, 30).isEmpty());
    }

    void gregorianHelpers()
    {
        CLunarInfo *p = CLunarInfo::Instance();
        QVERIFY(p->isLoopYear(2000));
        QVERIFY(p->isLoopYear(2024));
        QVERIFY(!p->isLoopYear(1900));
        QVERIFY(!p->isLoopYear(2023));
        QCOMPARE(p->getMonthDays(1900, 2), 28);
        QCOMPARE(p->getMonthDays(2000, 2), 29);
        QCOMPARE(p->getMonthDays(2024, 13), 30);
        QCOMPARE(p->getMonthDays(2024, 12), 31);
        QCOMPARE(p->getTotalMonthDays(2024, 3), 60);
        QCOMPARE(p->getTotalMonthDays(2023, 3), 59);
        QCOMPARE(p->getTotalMonthDays(2024, 13), 0);
        QCOMPARE(p->getFirstDayOfWeek(2001, 1), 1);
        QCOMPARE(p->getFirstDayOfWeek(2024, 2), 4);
        for (int year : {1901, 1999, 2000, 2024, 2099}) {
            for (int m = 1; m <= 12; ++m)
                QCOMPARE(p->getFirstDayOfWeek(year, m), QDate(year, m, 1).dayOfWeek() % 7);
        }
    }

    void lookups()
    {
        CLunarInfo *p = CLunarInfo::Instance();
        QCOMPARE(p->getHoliday(12, 24), QString("平安夜"));
        QCOMPARE(p->getHoliday(9, 16), QString("脑健康日"));
        QVERIFY(p->getHoliday(1, 2).isEmpty());
        // Out-of-range parts must not alias another key (1 << 8 | 257 == 0x0101).
        QVERIFY(p->getHoliday(1, 257).isEmpty());
        QVERIFY(p->getHoliday(0, 0x0101).isEmpty());
        QCOMPARE(p->getLunarFestival(12, 30), QString("除夕"));
        QVERIFY(p->getLunarFestival(12, 29).isEmpty());
        QVERIFY(p->getLunarFestival(0, 0x0101).isEmpty());

        QCOMPARE(p->getLunarYear(2024), QString("甲辰龙"));
        QCOMPARE(p->getLunarYear(1924), QString("甲子鼠"));
        QCOMPARE(p->getLunarYear(1925), QString("乙丑牛"));
        QCOMPARE(p->getLunarYear(1901), QString("辛丑牛"));
        QCOMPARE(p->getLunarYear(1900), QString("庚子鼠"));

        // Years at the int limits stay defined (no overflow, index in range).
        QCOMPARE(p->getLunarYear(std::numeric_limits<int>::min()).size(), 3);
        QCOMPARE(p->getLunarYear(std::numeric_limits<int>::max()).size(), 3);
        for (int year : {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
            const int w = p->getFirstDayOfWeek(year, 3);
            QVERIFY(w >= 0 && w <= 6);
        }
    }

    void conversions_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("festival");
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("holiday");

        QTest::newRow("spring 2024") << QDate(2024, 2, 10) << "甲辰龙" << "正月" << "初一" << "春节" << "" << "";
        QTest::newRow("new year's eve 2024") << QDate(2024, 2, 9) << "癸卯兔" << "腊月" << "三十" << "除夕" << "" << "";
        QTest::newRow("1 Jan 2024") << QDate(2024, 1, 1) << "癸卯兔" << "冬月" << "二十" << "" << "" << "元旦";
        QTest::newRow("mid-autumn national day") << QDate(2020, 10, 1) << "庚子鼠" << "八月" << "十五" << "中秋节" << "" << "国庆节";
        QTest::newRow("before leap 2nd 2023") << QDate(2023, 3, 21) << "癸卯兔" << "二月" << "三十" << "" << "春分" << "";
        QTest::newRow("leap 2nd 2023") << QDate(2023, 3, 22) << "癸卯兔" << "闰二月" << "初一" << "" << "" << "";
        QTest::newRow("after leap 2nd 2023") << QDate(2023, 4, 20) << "癸卯兔" << "三月" << "初一" << "" << "谷雨" << "";
        QTest::newRow("leap 11th 2033") << QDate(2033, 12, 22) << "癸丑牛" << "闰冬月" << "初一" << "" << "" << "";
        QTest::newRow("regular 11th 2033") << QDate(2033, 12, 21) << "癸丑牛" << "冬月" << "三十" << "" << "冬至" << "";
        QTest::newRow("12th after leap 11th") << QDate(2034, 1, 20) << "癸丑牛" << "腊月" << "初一" << "" << "大寒" << "";
        QTest::newRow("first supported day") << QDate(1901, 2, 19) << "辛丑牛" << "正月" << "初一" << "春节" << "" << "";
        QTest::newRow("1925 eve") << QDate(1925, 1, 23) << "甲子鼠" << "腊月" << "廿九" << "" << "" << "";
        QTest::newRow("1925 spring") << QDate(1925, 1, 24) << "乙丑牛" << "正月" << "初一" << "春节" << "" << "";
        QTest::newRow("last supported day") << QDate(2099, 12, 31) << "己未羊" << "冬月" << "二十" << "" << "" << "";
        QTest::newRow("dragon boat leap 5th") << QDate(2009, 6, 27) << "己丑牛" << "闰五月" << "初五" << "端午节" << "" << "";
        QTest::newRow("dragon boat 5th") << QDate(2009, 5, 28) << "己丑牛" << "五月" << "初五" << "端午节" << "" << "";
        QTest::newRow("short 12th month, no eve") << QDate(2025, 1, 28) << "甲辰龙" << "腊月" << "廿九" << "" << "" << "";
        QTest::newRow("1 Mar 2024") << QDate(2024, 3, 1) << "甲辰龙" << "正月" << "廿一" << "" << "" << "";
        QTest::newRow("1 May 2024") << QDate(2024, 5, 1) << "甲辰龙" << "三月" << "廿三" << "" << "" << "劳动节";
    }

    void conversions()
    {
        QFETCH(QDate, date);
        const Lunar r = convert(date.year(), date.month(), date.day());
        QTEST(r.year, "year");
        QTEST(r.month, "month");
        QTEST(r.day, "day");
        QTEST(r.festival, "festival");
        QTEST(r.solarTerm, "term");
        QTEST(r.holiday, "holiday");
    }

    // Every day of the supported range, walked in order: the lunar day moves
    // on by one or starts a new month after day 29 or 30, months follow each
    // other (a leap month right after its regular month), and the year text
    // changes exactly on the first day of the first month.
    void everyDayFollowsOnFromTheDayBefore()
    {
        QHash<QString, int> dayNumber;
        for (int i = 1; i < kDayNames.size(); ++i)
            dayNumber.insert(kDayNames.at(i), i);
        const QString leapMark = QString::fromUtf8("闰");

        Lunar prev = convert(1901, 2, 19);
        int nLeapMonths = 0;
        int nYears = 1;
        for (QDate d(1901, 2, 20); d <= QDate(2099, 12, 31); d = d.addDays(1)) {
            const Lunar cur = convert(d.year(), d.month(), d.day());
            QVERIFY2(!cur.untouched(), qPrintable(d.toString(Qt::ISODate)));
            const int prevDay = dayNumber.value(prev.day), curDay = dayNumber.value(cur.day);
            QVERIFY(curDay >= 1);
            if (curDay != 1) {
                QVERIFY2(curDay == prevDay + 1 && cur.month == prev.month && cur.year == prev.year,
                         qPrintable(d.toString(Qt::ISODate)));
                prev = cur;
                continue;
            }
            QVERIFY2(prevDay == 29 || prevDay == 30, qPrintable(d.toString(Qt::ISODate)));
            const bool bLeap = cur.month.startsWith(leapMark);
            const int curMonth = kMonthNames.indexOf(bLeap ? cur.month.mid(1) : cur.month);
            const QString prevName = prev.month.startsWith(leapMark) ? prev.month.mid(1) : prev.month;
            const int prevMonth = kMonthNames.indexOf(prevName);
            QVERIFY(curMonth >= 1);
            if (bLeap) {
                ++nLeapMonths;
                QCOMPARE(cur.month.mid(1), prev.month);   // right after the regular month
                QCOMPARE(cur.year, prev.year);
            } else if (curMonth == 1) {
                QCOMPARE(prevMonth, 12);
                QVERIFY(cur.year != prev.year);
                QCOMPARE(cur.festival, QString("春节"));
                QVERIFY(d == decodeYear(d.year()).springFestival);
                ++nYears;
            } else {
                QCOMPARE(curMonth, prevMonth + 1);
                QCOMPARE(cur.year, prev.year);
            }
            prev = cur;
        }
        QCOMPARE(nLeapMonths, 73);
        QCOMPARE(nYears, 199);
    }

    void datesOutsideTheTablesAreLeftUntouched()
    {
        // Before the first spring festival the lunar year isn't in the table.
        QVERIFY(convert(1901, 1, 1).untouched());
        QVERIFY(convert(1901, 2, 18).untouched());
        QVERIFY(convert(1900, 12, 31).untouched());
        QVERIFY(convert(2100, 1, 1).untouched());
        // Impossible days are refused instead of counted into the next month.
        QVERIFY(convert(2024, 2, 30).untouched());
        QVERIFY(convert(2023, 2, 29).untouched());
        QVERIFY(convert(2024, 4, 31).untouched());
        QVERIFY(convert(2024, 1, 0).untouched());
        QVERIFY(convert(2024, 0, 1).untouched());
        QVERIFY(convert(2024, 13, 1).untouched());
        QVERIFY(!convert(2024, 2, 29).untouched());
    }

    void oneLineTexts()
    {
        CLunarInfo *p = CLunarInfo::Instance();
        QCOMPARE(p->getLunarYearMonthDay(2024, 2, 10), QString("甲辰龙年正月春节"));
        QCOMPARE(p->getLunarDay(2024, 2, 10), QString("春节"));
        QCOMPARE(p->getLunarMonthDay(2024, 1, 1), QString("冬月元旦"));
        QCOMPARE(p->getLunarDay(2020, 10, 1), QString("中秋节"));
        QCOMPARE(p->getLunarDay(2023, 4, 20), QString("谷雨"));
        QCOMPARE(p->getLunarDay(2024, 1, 6), QString("小寒"));
        QCOMPARE(p->getLunarDay(2024, 1, 15), QString("初五"));
        QCOMPARE(p->getLunarMonthDay(2023, 3, 24), QString("闰二月初三"));
        QCOMPARE(p->getLunarDay(2023, 3, 23), QString("龙抬头"));   // festivals match leap months
        QCOMPARE(p->getLunarYearMonthDay(1901, 2, 19), QString("辛丑牛年正月春节"));
        QCOMPARE(p->getLunarInfo(2024, 3, 2, true, false, false), QString("甲辰龙年"));
        QCOMPARE(p->getLunarInfo(2024, 3, 2, false, false, false), QString());
        // Outside the tables: no lone year mark.
        QCOMPARE(p->getLunarYearMonthDay(2100, 1, 1), QString());
        QCOMPARE(p->getLunarMonthDay(2100, 1, 1), QString());
        QCOMPARE(p->getLunarDay(1901, 1, 1), QString());
        QCOMPARE(p->getLunarYearMonthDay(2024, 2, 30), QString());

        // A separate object answers the same as the shared one.
        CLunarInfo own;
        QCOMPARE(own.getLunarYearMonthDay(2033, 12, 22), QString("癸丑牛年闰冬月初一"));
        QCOMPARE(own.getLunarYear(2024), p->getLunarYear(2024));
    }
};

VISTEL_TEST_MAIN(TestLunar)
#include "tst_lunar.moc"
