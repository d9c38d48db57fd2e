#include "chart/calendar.h"

#include <cmath>

namespace zodiara {

bool isLeapYear(int year)
{
    if (year <= 1582)
        return year % 4 == 0;
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int month, int year)
{
    switch (month) {
    // clang-format off
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
        return 31;
    case 4: case 6: case 9: case 11:
        return 30;
    default:
        return isLeapYear(year) ? 29 : 28;
        // clang-format on
    }
}

bool isGregorian(int year, int month, int day)
{
    if (year != 1582)
        return year > 1582;
    return month > 10 || (month == 10 && day >= 15);
}

bool dateExists(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(month, year))
        return false;
    return !(year == 1582 && month == 10 && day > 4 && day < 15);
}

int astronomicalYear(int enteredYear, bool beforeChrist) { return beforeChrist ? 1 - enteredYear : enteredYear; }

double julianDay(int year, int month, int day, double dayFraction)
{
    int y = year;
    int m = month;
    if (m == 1 || m == 2) {
        y -= 1;
        m += 12;
    }
    double b = 0;
    if (isGregorian(year, month, day)) {
        const int a = y / 100;
        b = 2 - a + a / 4;
    }
    // Before the year 0 the truncation has to round down.
    const double k = y < 0 ? std::trunc(365.25 * y - 0.75) : std::trunc(365.25 * y);
    const double e = std::trunc(30.6001 * (m + 1));
    return b + k + e + day + dayFraction + 1720994.5;
}

double julianDay(const CalendarDate& date, double dayFraction)
{
    return julianDay(date.year, date.month, date.day, dayFraction);
}

int weekday(int year, int month, int day)
{
    // Julian day 0 began at noon on a Monday.
    const long long jdn = static_cast<long long>(std::floor(julianDay(year, month, day, 0) + 0.5));
    return static_cast<int>(((jdn + 1) % 7 + 7) % 7);
}

TimeOfDay addTime(const TimeOfDay& a, const TimeOfDay& b)
{
    TimeOfDay t{a.hour + b.hour, a.minute + b.minute, a.second + b.second};
    // clang-format off
    while (t.second > 59) { t.second -= 60; t.minute += 1; }
    while (t.minute > 59) { t.minute -= 60; t.hour += 1; }
    while (t.second < 0) { t.second += 60; t.minute -= 1; }
    while (t.minute < 0) { t.minute += 60; t.hour -= 1; }
    // clang-format on
    return t;
}

TimeOfDay subtractTime(TimeOfDay a, const TimeOfDay& b)
{
    TimeOfDay t;
    // clang-format off
    while (a.second < b.second) { a.minute -= 1; a.second += 60; }
    t.second = a.second - b.second;
    while (a.minute < b.minute) { a.hour -= 1; a.minute += 60; }
    // clang-format on
    t.minute = a.minute - b.minute;
    t.hour = a.hour - b.hour;
    return t;
}

TimeOfDay longitudeToTime(const GeoAngle& angle)
{
    const int d = angle.degrees;
    const int m = angle.minutes;
    TimeOfDay t;
    t.hour = (4 * d) / 60;
    t.minute = (4 * d) % 60;
    t.minute += (4 * m) / 60;
    t.second = (4 * m) % 60;
    // clang-format off
    while (t.second > 59) { t.second -= 60; t.minute += 1; }
    while (t.minute > 59) { t.minute -= 60; t.hour += 1; }
    // clang-format on
    return t;
}

namespace {

// The reform followed Thursday 4 October 1582 with Friday 15 October.
constexpr CalendarDate LastJulianDay{1582, 10, 4};
constexpr CalendarDate FirstGregorianDay{1582, 10, 15};

void stepBackOneDay(CalendarDate& date)
{
    if (date == FirstGregorianDay) {
        date = LastJulianDay;
        return;
    }
    date.day = static_cast<std::int8_t>(date.day - 1);
    if (date.day < 1) {
        date.month = static_cast<std::int8_t>(date.month - 1);
        if (date.month < 1) {
            date.year -= 1;
            date.month = 12;
        }
        date.day = static_cast<std::int8_t>(daysInMonth(date.month, date.year));
    }
}

void stepForwardOneDay(CalendarDate& date)
{
    if (date == LastJulianDay) {
        date = FirstGregorianDay;
        return;
    }
    date.day = static_cast<std::int8_t>(date.day + 1);
    if (date.day > daysInMonth(date.month, date.year)) {
        date.day = 1;
        date.month = static_cast<std::int8_t>(date.month + 1);
        if (date.month > 12) {
            date.month = 1;
            date.year += 1;
        }
    }
}

}  // namespace

CalendarDate addDays(CalendarDate date, int days)
{
    for (; days > 0; --days)
        stepForwardOneDay(date);
    for (; days < 0; ++days)
        stepBackOneDay(date);
    return date;
}

UniversalTime universalTimeOf(const BirthData& birth)
{
    CalendarDate date = birth.birthDate;
    date.year = astronomicalYear(date.year, birth.beforeChrist);
    TimeOfDay ut = addTime(birth.localTime, zoneOffset(birth.zone, birth.longitude));
    if (birth.daylightSaving)
        ut.hour -= 1;
    while (ut.hour < 0) {
        ut.hour += 24;
        stepBackOneDay(date);
    }
    while (ut.hour >= 24) {
        ut.hour -= 24;
        stepForwardOneDay(date);
    }
    return {date, ut};
}

SiderealTimes siderealTimesAt(const UniversalTime& ut, const GeoAngle& longitude)
{
    SiderealTimes result;
    const double jd0 = julianDay(ut.date, 0);
    result.julianDate0h = jd0;
    // Duffett-Smith, Practical Astronomy with your Calculator, "Conversion of UT to GST".
    const double s = jd0 - JulianDateJ2000;
    const double t = s * CenturiesPerDay;
    double t0 = 6.697374558 + 2400.051336 * t + 0.000025862 * t * t;
    if (t0 >= 0) {
        while (t0 > 24)
            t0 -= 24;
    } else {
        while (t0 < 0)
            t0 += 24;
    }
    const double u = decimalHours(ut.time) * SiderealPerSolarTime;
    double g = t0 + u;
    if (g > 24)
        g -= 24;
    else if (g < 0)
        g += 24;

    TimeOfDay& st = result.greenwich;
    st.hour = static_cast<int>(std::trunc(g));
    const double r = g - st.hour;
    st.minute = static_cast<int>(std::trunc(r * 60));
    const double x = (r - st.minute / 60.0) * 60 * 60;
    st.second = static_cast<int>(std::trunc(x));
    if (x - st.second >= 0.5)
        st.second += 1;

    const TimeOfDay l = longitudeToTime(longitude);
    TimeOfDay lst = longitude.direction == West ? subtractTime(st, l) : addTime(st, l);
    if (lst.hour >= 24)
        lst.hour -= 24;
    else if (lst.hour < 0)
        lst.hour += 24;
    result.local = lst;
    return result;
}

ChartTimes chartTimes(const BirthData& birth)
{
    const UniversalTime ut = universalTimeOf(birth);
    const SiderealTimes sidereal = siderealTimesAt(ut, birth.longitude);
    ChartTimes times;
    times.utDate = ut.date;
    times.universalTime = ut.time;
    const TimeOfDay& t = ut.time;
    const double f = t.hour * (1.0 / 24) + t.minute * (1.0 / 1440) + t.second * (1.0 / 86400);
    times.julianDate = julianDay(ut.date, f);
    times.julianDate0h = sidereal.julianDate0h;
    times.siderealTime = sidereal.greenwich;
    times.localSiderealTime = sidereal.local;
    times.utHours = decimalHours(t);
    times.centuries1900 = (times.julianDate0h - JulianDate1900 + times.utHours / 24) * CenturiesPerDay;
    times.dayNumber = dayNumberSinceEpoch(ut.date, t, 1990);
    return times;
}

double decimalHours(const TimeOfDay& time) { return time.hour + time.minute / 60.0 + time.second / 3600.0; }

double dayNumberSinceEpoch(const CalendarDate& date, const TimeOfDay& time, int epochYear)
{
    // Whole days by Julian day numbers, exact in doubles; then the time of day.
    const double days = julianDay(date, 0) - julianDay(epochYear - 1, 12, 31, 0);
    return days + decimalHours(time) / 24;
}

}  // namespace zodiara
