#!/usr/bin/python3
"""Generate the packed Chinese-calendar tables used by CLunarInfo.

Developer tool only: the build and the tests never run it, they use the
generated src/editSceneMain/global/LunarInfoData.h that is committed beside
LunarInfo.cpp.  Re-run it only to regenerate or re-check that file.

Needs two Debian packages (no other downloads):
    apt-get install python3-icu python3-erfa
Run with the system interpreter, e.g.
    /usr/bin/python3 tools/lunar/gen_lunar_tables.py            # write the table file
    /usr/bin/python3 tools/lunar/gen_lunar_tables.py --check    # compare with the committed file

Sources of the facts:
  * Lunar months (first days, leap months, month lengths) are computed from
    the IAU SOFA/ERFA ephemerides: new moons from MOON98 and EPV00, the
    twelve major solar terms from EPV00, days in the calendar's zone (UTC+8,
    Beijing mean time before 1929), months numbered from the one holding the
    winter solstice, and in a year of 13 months (solstice to solstice) the
    first month without a major term is the leap month.
  * ICU's Chinese calendar, read day by day, is the cross check.  ICU's own
    astronomy is approximate, so the two may differ only where a new moon or
    major term lies within 20 minutes of midnight; any other difference stops
    the script.  --verbose lists the accepted differences.
  * Solar terms 1970-2099 are the UTC+8 calendar days on which the apparent
    geocentric solar longitude reaches each multiple of 15 degrees (EPV00,
    annual aberration, IAU 2006 precession to the ecliptic of date, IAU 2000A
    nutation in longitude).  TT-UTC: leap-second table to 2026, then a
    smooth extrapolation.
  * The sample rows and the invariants of the tables are checked before
    anything is written.

Encoding (see LunarInfo.h):
  lunar-year entry: bits 0-4 spring-festival day, bits 5-6 its month (1/2),
    bit (20 - k) set when lunar month k (leap month counted in place) has 30
    days, bits 20-23 leap month number (0 = none).
  solar-term byte: high nibble 15 - day of the month's first term,
    low nibble day of its second term - 15.
"""

import argparse
import datetime
import math
import os
import sys
import warnings

import erfa
import icu

# The term search starts a year before 1901; EPV00 is still good enough there.
warnings.filterwarnings("ignore", message=".*outsidethe range 1900-2100.*")

FIRST_LUNAR_YEAR = 1901
LAST_LUNAR_YEAR = 2099
FIRST_TERM_YEAR = 1970
LAST_TERM_YEAR = 2099

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DEFAULT_OUTPUT = os.path.join(REPO, "src", "editSceneMain", "global", "LunarInfoData.h")

# Sample rows that the tables must reproduce exactly.
SAMPLE_YEARS = {
    1901: 0x04AE53, 1903: 0x5526BD, 2000: 0x0C9645, 2020: 0x474AB9,
    2023: 0x24DAB6, 2024: 0x04B64A, 2033: 0xB4AEBF, 2099: 0x2D92B5,
}
SAMPLE_TERMS = {
    1970: "95 B4 96 A5 96 97 88 78 78 69 78 87",
    2000: "96 B4 A5 B5 A6 A6 87 88 88 78 87 86",
    2024: "95 B4 A5 B4 A5 A6 97 87 87 78 87 96",
    2099: "A5 C3 A5 B5 A6 A6 87 88 88 78 87 86",
}

UTC8 = 8.0 / 24.0
# Before 1929 the calendar was reckoned in the mean solar time of Beijing
# (116 deg 25 min east), 7 h 45 min 40 s ahead of UT; from 1929 on at UTC+8.
BEIJING_MEAN_TIME = (7 * 3600 + 45 * 60 + 40) / 86400.0
UTC8_FROM_JDN = 2425613  # 1929-01-01
ORDINAL_TO_JDN = 1721425  # date.toordinal() + this = Julian day number


def jdn_to_date(jdn):
    return datetime.date.fromordinal(jdn - ORDINAL_TO_JDN)


def date_to_jdn(d):
    return d.toordinal() + ORDINAL_TO_JDN


# --------------------------------------------------------------------------
# Time scales
# --------------------------------------------------------------------------

def _poly_delta_t(y):
    """TT - UT in seconds from the published Espenak-Meeus polynomial fits."""
    if y < 1920:
        t = y - 1900
        return -2.79 + 1.494119 * t - 0.0598939 * t ** 2 + 0.0061966 * t ** 3 - 0.000197 * t ** 4
    if y < 1941:
        t = y - 1920
        return 21.20 + 0.84493 * t - 0.076100 * t ** 2 + 0.0020936 * t ** 3
    if y < 1961:
        t = y - 1950
        return 29.07 + 0.407 * t - t ** 2 / 233.0 + t ** 3 / 2547.0
    if y < 1986:
        t = y - 1975
        return 45.45 + 1.067 * t - t ** 2 / 260.0 - t ** 3 / 718.0
    if y < 2005:
        t = y - 2000
        return (63.86 + 0.3345 * t - 0.060374 * t ** 2 + 0.0017275 * t ** 3
                + 0.000651814 * t ** 4 + 0.00002373599 * t ** 5)
    if y < 2050:
        t = y - 2000
        return 62.92 + 0.32217 * t + 0.005589 * t ** 2
    u = (y - 1820) / 100.0
    return -20.0 + 32.0 * u * u - 0.5628 * (2150 - y)


_LAST_LEAP_SECOND_YEAR = 2026  # TAI-UTC has been 37 s since 2017


def delta_t_seconds(jd_ut):
    """TT minus the civil time scale (UTC since 1972, UT before)."""
    d = jdn_to_date(int(jd_ut + 0.5))
    y = d.year + (d.timetuple().tm_yday - 0.5) / 365.25
    if 1972 <= d.year <= _LAST_LEAP_SECOND_YEAR:
        dat = erfa.dat(d.year, d.month, d.day, 0.5)
        return 32.184 + float(dat)
    if d.year > _LAST_LEAP_SECOND_YEAR:
        # Continue from the last known value with the slope of the fit.
        return 69.184 + max(0.0, _poly_delta_t(y) - _poly_delta_t(_LAST_LEAP_SECOND_YEAR + 1.0))
    return _poly_delta_t(y)


def ut_to_tt(jd_ut):
    return jd_ut + delta_t_seconds(jd_ut) / 86400.0


# --------------------------------------------------------------------------
# Apparent geocentric longitudes (degrees, true equinox and ecliptic of date)
# --------------------------------------------------------------------------

def _ecliptic_longitude(p_gcrs, jd_tt):
    rm = erfa.ecm06(2400000.5, jd_tt - 2400000.5)
    dpsi, _deps = erfa.nut06a(2400000.5, jd_tt - 2400000.5)
    v = rm.dot(p_gcrs)
    lon = math.atan2(v[1], v[0]) + dpsi
    return math.degrees(lon) % 360.0


def sun_longitude(jd_tt):
    pvh, pvb = erfa.epv00(2400000.5, jd_tt - 2400000.5)
    p = -pvh[0]                      # Sun seen from the geocentre (au)
    dist = math.sqrt(p.dot(p))
    vel = pvb[1] / erfa.DC            # Earth's barycentric velocity / c
    bm1 = math.sqrt(1.0 - vel.dot(vel))
    p_app = erfa.ab(p / dist, vel, dist, bm1)   # annual aberration
    return _ecliptic_longitude(p_app, jd_tt)


def moon_longitude(jd_tt):
    pv = erfa.moon98(2400000.5, jd_tt - 2400000.5)
    p = pv[0]
    lt = math.sqrt(p.dot(p)) / erfa.DC            # light time in days
    pv = erfa.moon98(2400000.5, jd_tt - lt - 2400000.5)
    return _ecliptic_longitude(pv[0], jd_tt)


def _wrap180(a):
    return (a + 180.0) % 360.0 - 180.0


def solve_sun(target_deg, jd_tt_guess):
    """TT Julian date when the apparent solar longitude equals target_deg."""
    jd = jd_tt_guess
    for _ in range(50):
        diff = _wrap180(target_deg - sun_longitude(jd))
        jd += diff / 0.98564736
        if abs(diff) < 1e-8:
            break
    return jd


def solve_new_moon(jd_tt_guess):
    jd = jd_tt_guess
    for _ in range(60):
        e = _wrap180(moon_longitude(jd) - sun_longitude(jd))
        h = 0.01
        e2 = _wrap180(moon_longitude(jd + h) - sun_longitude(jd + h))
        rate = _wrap180(e2 - e) / h
        step = -e / rate
        jd += step
        if abs(step) < 1e-7:
            break
    return jd


def tt_to_local_jdn(jd_tt, calendar_zone=False):
    """Julian day number of the civil day (UTC+8) containing jd_tt, or with
    calendar_zone of the calendar's own zone (Beijing mean time before 1929).
    Also returns the distance to the nearest local midnight in minutes."""
    jd_ut = jd_tt - delta_t_seconds(jd_tt) / 86400.0
    offset = UTC8
    if calendar_zone and jd_ut + UTC8 + 0.5 < UTC8_FROM_JDN:
        offset = BEIJING_MEAN_TIME
    local = jd_ut + offset + 0.5
    frac = local - math.floor(local)
    return int(math.floor(local)), min(frac, 1.0 - frac) * 1440.0


def term_jd_tt(year, longitude_deg):
    """TT moment of the solar longitude in the given Gregorian year."""
    # Longitude 280 falls near 1 January; estimate from the mean motion.
    days = ((longitude_deg - 280.0) % 360.0) / 0.98564736
    guess = date_to_jdn(datetime.date(year, 1, 1)) - 0.5 + days
    return solve_sun(longitude_deg, guess)


# --------------------------------------------------------------------------
# Lunar months from ICU
# --------------------------------------------------------------------------

UCAL_EXTENDED_YEAR = 19
UCAL_IS_LEAP_MONTH = 22


def icu_month_starts(first_date, last_date):
    """[(jdn, lunar_year, month 1-12, is_leap)] for every lunar month that
    starts between the two dates, read from ICU's Chinese calendar at UTC+8."""
    tz = icu.SimpleTimeZone(8 * 3600 * 1000, "UTC+8")
    greg = icu.GregorianCalendar(tz)
    chin = icu.Calendar.createInstance(tz, icu.Locale("zh_CN@calendar=chinese"))
    if chin.getType() != "chinese":
        raise SystemExit("ICU has no Chinese calendar")
    starts = []
    d = first_date
    one = datetime.timedelta(days=1)
    while d <= last_date:
        greg.clear()
        greg.set(d.year, d.month - 1, d.day, 12, 0, 0)
        chin.setTime(greg.getTime())
        if chin.get(icu.UCalendarDateFields.DAY_OF_MONTH) == 1:
            # The extended year counts from 2637 BC.
            lunar_year = chin.get(UCAL_EXTENDED_YEAR) - 2637
            month = chin.get(icu.UCalendarDateFields.MONTH) + 1
            leap = bool(chin.get(UCAL_IS_LEAP_MONTH))
            starts.append((date_to_jdn(d), lunar_year, month, leap))
            d += datetime.timedelta(days=28)
        else:
            d += one
    return starts


# --------------------------------------------------------------------------
# Lunar months recomputed from the ephemerides (cross check)
# --------------------------------------------------------------------------

def ephemeris_month_starts(first_date, last_date, marginal):
    """[(jdn, lunar_year, month 1-12, is_leap)] for every lunar month that
    starts between the two dates, from ERFA new moons and major terms and the
    rule that the first month without a major term in a year of 13 months
    (solstice to solstice) is the leap month.  Events within 20 minutes of the
    calendar's midnight are appended to marginal as (jdn, text)."""
    # New moons, from a mean lunation series as first guesses.
    lo = date_to_jdn(first_date) - 400
    hi = date_to_jdn(last_date) + 400
    k = math.floor((lo - 2451550.1) / 29.530588861)
    new_moons = []
    while True:
        guess = 2451550.09766 + 29.530588861 * k
        if guess > hi:
            break
        jd = solve_new_moon(guess)
        jdn, margin = tt_to_local_jdn(jd, True)
        if margin < 20.0:
            marginal.append((jdn, "new moon on %s, %.1f min from midnight"
                             % (jdn_to_date(jdn), margin)))
        new_moons.append(jdn)
        k += 1

    # Major terms (longitudes 0, 30, ... 330): day and which one.
    majors = []
    for year in range(first_date.year - 2, last_date.year + 2):
        for lon in range(0, 360, 30):
            jd = term_jd_tt(year, float(lon))
            jdn, margin = tt_to_local_jdn(jd, True)
            if margin < 20.0:
                marginal.append((jdn, "major term %d deg on %s, %.1f min from midnight"
                                 % (lon, jdn_to_date(jdn), margin)))
            majors.append((jdn, lon))
    majors.sort()

    def has_major(i):
        return any(new_moons[i] <= j < new_moons[i + 1] for j, _ in majors)

    def month_of(jdn):
        for i in range(len(new_moons) - 1):
            if new_moons[i] <= jdn < new_moons[i + 1]:
                return i
        raise ValueError

    solstices = [(j, lon) for j, lon in majors if lon == 270]
    # Index of month 11 (the month holding the winter solstice) per year.
    m11 = {jdn_to_date(j).year: month_of(j) for j, _ in solstices
           if new_moons[0] <= j < new_moons[-1]}
    out = []
    for year in sorted(m11):
        if year + 1 not in m11:
            break
        a, b = m11[year], m11[year + 1]
        leap_allowed = (b - a) == 13
        number = 11
        leap_used = False
        for i in range(a, b):
            if i > a:
                if leap_allowed and not leap_used and not has_major(i):
                    leap_used = True
                    out.append((new_moons[i], None, number, True))
                    continue
                number = number % 12 + 1
            out.append((new_moons[i], None, number, False))
    # Lunar years: a year starts at each regular first month.
    result = []
    current = None
    for jdn, _, month, leap in out:
        if month == 1 and not leap:
            current = jdn_to_date(jdn).year
        if current is not None:
            result.append((jdn, current, month, leap))
    lo_jdn, hi_jdn = date_to_jdn(first_date), date_to_jdn(last_date)
    return [r for r in result if lo_jdn <= r[0] <= hi_jdn]


# --------------------------------------------------------------------------
# Encoding and checks
# --------------------------------------------------------------------------

def build_year_entries(starts):
    """Pack one entry per lunar year FIRST..LAST from a month-start list."""
    entries = {}
    by_year = {}
    for idx, (jdn, ly, month, leap) in enumerate(starts):
        by_year.setdefault(ly, []).append(idx)
    for year in range(FIRST_LUNAR_YEAR, LAST_LUNAR_YEAR + 1):
        idxs = by_year[year]
        first = starts[idxs[0]]
        if first[2] != 1 or first[3]:
            raise SystemExit("lunar year %d does not start with month 1" % year)
        sf = jdn_to_date(first[0])
        if sf.year != year or sf.month not in (1, 2):
            raise SystemExit("spring festival of %d on %s" % (year, sf))
        entry = sf.day | (sf.month << 5)
        leap_month = 0
        for k, i in enumerate(idxs, start=1):
            length = starts[i + 1][0] - starts[i][0]
            if length not in (29, 30):
                raise SystemExit("month of %d lasts %d days" % (year, length))
            if length == 30:
                entry |= 0x80000 >> (k - 1)
            if starts[i][3]:
                leap_month = starts[i][2]
        if len(idxs) != (13 if leap_month else 12):
            raise SystemExit("lunar year %d has %d months" % (year, len(idxs)))
        entries[year] = entry | (leap_month << 20)
    return [entries[y] for y in range(FIRST_LUNAR_YEAR, LAST_LUNAR_YEAR + 1)]


def decode_year(entry):
    month = (entry >> 5) & 3
    day = entry & 31
    leap = (entry >> 20) & 15
    count = 13 if leap else 12
    lengths = [30 if entry & (0x80000 >> (k - 1)) else 29 for k in range(1, count + 1)]
    return month, day, leap, lengths


def check_years(table):
    errors = []
    for year, want in SAMPLE_YEARS.items():
        got = table[year - FIRST_LUNAR_YEAR]
        if got != want:
            errors.append("year %d: %06X, sample row %06X" % (year, got, want))
    leap_years = []
    for i, entry in enumerate(table):
        year = FIRST_LUNAR_YEAR + i
        month, day, leap, lengths = decode_year(entry)
        sf = datetime.date(year, month, day)
        if not datetime.date(year, 1, 21) <= sf <= datetime.date(year, 2, 20):
            errors.append("spring festival %s out of 21 Jan-20 Feb" % sf)
        total = sum(lengths)
        if total not in ((383, 384, 385) if leap else (353, 354, 355)):
            errors.append("year %d has %d days" % (year, total))
        if entry >> 24:
            errors.append("year %d: bits above 23 set" % year)
        # Month bits run from bit 19 down to bit 20 - months; those below are 0.
        unused = ((1 << (20 - len(lengths))) - 1) & ~0x7F
        if entry & unused:
            errors.append("year %d: bits of missing months set" % year)
        if leap:
            leap_years.append((year, leap))
            if not 2 <= leap <= 11:
                errors.append("year %d: leap month %d" % (year, leap))
        if i + 1 < len(table):
            nm, nd, _, _ = decode_year(table[i + 1])
            if sf + datetime.timedelta(days=total) != datetime.date(year + 1, nm, nd):
                errors.append("year %d: spring festival + %d days is not %d's" % (year, total, year + 1))
    if len(leap_years) != 73:
        errors.append("%d leap years, expected 73" % len(leap_years))
    elevens = [y for y, m in leap_years if m == 11]
    if elevens != [2033]:
        errors.append("leap 11th months in %s, expected only 2033" % elevens)
    return errors


def build_term_bytes(notes):
    table = []
    for year in range(FIRST_TERM_YEAR, LAST_TERM_YEAR + 1):
        for month in range(1, 13):
            days = []
            for second in (0, 1):
                index = 2 * (month - 1) + second     # 0 = minor cold at 285 deg
                lon = (285.0 + 15.0 * index) % 360.0
                jd = term_jd_tt(year, lon)
                jdn, margin = tt_to_local_jdn(jd)
                d = jdn_to_date(jdn)
                if (d.year, d.month) != (year, month):
                    raise SystemExit("term %d of %d-%02d falls on %s" % (index, year, month, d))
                if margin < 5.0:
                    notes.append("solar term %d deg on %s within %.1f min of midnight at UTC+8"
                                    % (lon, d, margin))
                days.append(d.day)
            d1, d2 = days
            if not (3 <= d1 <= 9 and 18 <= d2 <= 24):
                raise SystemExit("terms of %d-%02d on days %d and %d" % (year, month, d1, d2))
            table.append(((15 - d1) << 4) | (d2 - 15))
    return table


def check_terms(table):
    errors = []
    for year, row in SAMPLE_TERMS.items():
        want = [int(x, 16) for x in row.split()]
        i = (year - FIRST_TERM_YEAR) * 12
        got = table[i:i + 12]
        if got != want:
            errors.append("terms %d: %s, sample row %s" % (
                year, " ".join("%02X" % b for b in got), row))
    return errors


# --------------------------------------------------------------------------
# Output
# --------------------------------------------------------------------------

def render(years, terms):
    out = []
    out.append("// Packed Chinese-calendar data for CLunarInfo.")
    out.append("// Generated by tools/lunar/gen_lunar_tables.py; do not edit by hand.")
    out.append("// Lunar months: new moons and major solar terms from the ERFA ephemerides")
    out.append("// (UTC+8, Beijing mean time before 1929), cross-checked with ICU's Chinese")
    out.append("// calendar. Solar terms: UTC+8 days of the apparent solar longitude.")
    out.append("#ifndef LUNARINFODATA_H")
    out.append("#define LUNARINFODATA_H")
    out.append("")
    out.append("namespace LunarInfoData {")
    out.append("")
    out.append("inline constexpr int kFirstLunarYear = %d;" % FIRST_LUNAR_YEAR)
    out.append("inline constexpr int kLunarYearCount = %d;" % len(years))
    out.append("inline constexpr int kFirstSolarTermYear = %d;" % FIRST_TERM_YEAR)
    out.append("inline constexpr int kSolarTermYearCount = %d;" % (len(terms) // 12))
    out.append("")
    out.append("// One entry per lunar year whose spring festival falls in that Gregorian year:")
    out.append("// bits 0-4 day and 5-6 month of the spring festival, bit (20 - k) set when")
    out.append("// month k has 30 days, bits 20-23 the leap month (0 = none).")
    out.append("inline constexpr int s_nLunarYears[%d] = {" % len(years))
    for i in range(0, len(years), 8):
        chunk = years[i:i + 8]
        out.append("    " + ", ".join("0x%06X" % v for v in chunk) + ",  // %d-%d"
                   % (FIRST_LUNAR_YEAR + i, FIRST_LUNAR_YEAR + i + len(chunk) - 1))
    out.append("};")
    out.append("")
    out.append("// Twelve bytes per Gregorian year, January to December: high nibble 15 - day")
    out.append("// of the month's first solar term, low nibble day of its second term - 15.")
    out.append("inline constexpr unsigned char s_byteSolarTerms[%d] = {" % len(terms))
    for i in range(0, len(terms), 12):
        out.append("    " + ", ".join("0x%02X" % v for v in terms[i:i + 12]) + ",  // %d"
                   % (FIRST_TERM_YEAR + i // 12))
    out.append("};")
    out.append("")
    out.append("} // namespace LunarInfoData")
    out.append("")
    out.append("#endif // LUNARINFODATA_H")
    return "\n".join(out) + "\n"


def cross_check(eph, icu_starts, marginal, notes):
    """Compare the two month lists.  ICU's own astronomy is approximate (its
    new moons and terms can be off by about a quarter of an hour) and it keeps
    UTC+8 before 1929, so a disagreement is accepted only near an event that
    lies within 20 minutes of the calendar's midnight; any other is an error."""
    errors = []
    icu_set = {(j, m, l) for j, _, m, l in icu_starts}
    eph_set = {(j, m, l) for j, _, m, l in eph}
    lo = max(min(icu_set)[0], min(eph_set)[0])
    hi = min(max(icu_set)[0], max(eph_set)[0])
    for j, m, l in sorted(icu_set ^ eph_set):
        if not lo <= j <= hi:
            continue
        side = "ICU" if (j, m, l) in icu_set else "the ephemerides"
        text = "month start %s (%s%d) only in %s" % (
            jdn_to_date(j), "leap " if l else "", m, side)
        near = [t for mj, t in marginal if abs(mj - j) <= 62]
        if near:
            notes.append(text + "; near " + "; ".join(near))
        else:
            errors.append(text)
    return errors


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--output", default=DEFAULT_OUTPUT, help="table file to write")
    ap.add_argument("--check", action="store_true",
                    help="compare with the existing file instead of writing it")
    ap.add_argument("--verbose", action="store_true",
                    help="list accepted disagreements with ICU and close calls")
    args = ap.parse_args()

    notes = []
    marginal = []
    first = datetime.date(FIRST_LUNAR_YEAR, 1, 1)
    last = datetime.date(LAST_LUNAR_YEAR + 1, 3, 1)
    eph = ephemeris_month_starts(first, last, marginal)
    years = build_year_entries(eph)
    errors = check_years(years)
    errors += cross_check(eph, icu_month_starts(first, last), marginal, notes)

    terms = build_term_bytes(notes)
    errors += check_terms(terms)

    if args.verbose:
        for n in notes:
            print("note:", n)
    if errors:
        for e in errors:
            print("error:", e, file=sys.stderr)
        return 1

    text = render(years, terms)
    if args.check:
        try:
            with open(args.output, encoding="utf-8") as f:
                current = f.read()
        except OSError as exc:
            print("error:", exc, file=sys.stderr)
            return 1
        if current != text:
            print("error: %s differs from the generated tables" % args.output, file=sys.stderr)
            return 1
        print("%s matches" % args.output)
        return 0
    with open(args.output, "w", encoding="utf-8") as f:
        f.write(text)
    print("wrote %s (%d lunar years, %d solar-term bytes)" % (args.output, len(years), len(terms)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
