#ifndef LUNARINFO_H
#define LUNARINFO_H

#include <QAtomicPointer>
#include <QList>
#include <QObject>
#include <QScopedPointer>
#include <QString>

// Chinese lunisolar calendar for Gregorian dates from the spring festival of
// 1901 to the end of 2099: lunar year, month and day, solar terms (1970-2099),
// lunar festivals and a set of Gregorian commemorative days.
//
// The lunar years are packed one int each (see LunarInfoData.h):
//   bits 0-4   day of month of the spring festival
//   bits 5-6   its Gregorian month (1 = January, 2 = February)
//   bits 7-19  month lengths: month k (the leap month counted in place, right
//              after the regular month of the same number) has 30 days when
//              bit (20 - k) is set, else 29
//   bits 20-23 the leap month's number, 0 when the year has none
// A solar-term byte per Gregorian month holds 15 - day of the month's first
// term in its high nibble and day of its second term - 15 in its low nibble.
//
// The object never changes after construction; every query is read-only and
// may run in several threads at once. Input outside the tables gives empty
// texts and never reads outside a table.
class CLunarInfo : public QObject
{
    Q_OBJECT
public:
    explicit CLunarInfo(QObject *parent = nullptr);

    // The shared instance, created on first use (thread safe).
    static CLunarInfo *Instance();

    bool isLoopYear(int year) const;
    int getMonthDays(int year, int month) const;
    int getTotalMonthDays(int year, int month) const;
    int getFirstDayOfWeek(int year, int month) const;

    QString getHoliday(int month, int day) const;
    QString getSolarTerms(int year, int month, int day) const;
    QString getLunarFestival(int month, int day) const;
    QString getLunarYear(int year) const;

    // Converts a Gregorian date. A date that is not a valid Gregorian date, or
    // lies outside the tables (before the 1901 spring festival, after 2099),
    // leaves all six strings as they were.
    void getCLunarInfo(int year, int month, int day,
                       QString &strHoliday, QString &strSolarTerms,
                       QString &strLunarFestival, QString &strLunarYear,
                       QString &strLunarMonth, QString &strLunarDay) const;

    // One-line text: year part ("<stem><branch><animal>年"), month name and the
    // day's most notable name (festival, solar term, commemorative day, or the
    // lunar day), each part only when asked for.
    QString getLunarInfo(int year, int month, int day,
                         bool yearInfo, bool monthInfo, bool dayInfo) const;
    QString getLunarYearMonthDay(int year, int month, int day) const;
    QString getLunarMonthDay(int year, int month, int day) const;
    QString getLunarDay(int year, int month, int day) const;

private:
    // Length (29/30) of month position k (1-based) of a packed year entry.
    static int lunarMonthLength(int nEntry, int k);
    bool isValidDate(int year, int month, int day) const;

    static QScopedPointer<CLunarInfo> self;
    // Lock-free view of self for the fast path of Instance().
    static QAtomicPointer<CLunarInfo> s_pInstance;

    QList<int> lunarCalendarTable;
    QList<int> chineseTwentyFourData;
    QList<int> monthAdd;
    QList<QString> listDayName;
    QList<QString> listMonthName;
    QList<QString> listSolarTerm;
    QList<QString> listTianGan;
    QList<QString> listDiZhi;
    QList<QString> listShuXiang;
};

#endif // LUNARINFO_H
