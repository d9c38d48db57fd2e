// Calendar and time scales. Plain values in, plain values out.
#pragma once

#include "chart/chart.h"

namespace zodiara {

inline constexpr double JulianDateJ2000 = 2451545.0;    // 2000 January 1.5
inline constexpr double JulianDate1900 = 2415020.0;     // 1900 January 0.5
inline constexpr double CenturiesPerDay = 1.0 / 36525;  // Julian centuries
// Sidereal time gained per unit of Universal Time.
inline constexpr double SiderealPerSolarTime = 1.002737909;

// Julian rule up to 1582, Gregorian after; astronomical years (0 is 1 BC).
bool isLeapYear(int year);
// Days in month 1..12 of the year (any other month counts as February).
int daysInMonth(int month, int year);
// True on or after 1582 October 15.
bool isGregorian(int year, int month, int day);
// True when the astronomical date exists: months 1..12, days within the month,
// and not 1582 October 5..14, which the reform skipped.
bool dateExists(int year, int month, int day);
// Astronomical year of a date as entered: n BC is 1 - n.
int astronomicalYear(int enteredYear, bool beforeChrist);
// Julian date of the date at the given fraction of its day (0 = 0 h UT). Duffett-Smith, Practical
// Astronomy with your Calculator, "Converting calendar date to Julian day number".
double julianDay(const CalendarDate& date, double dayFraction);
double julianDay(int year, int month, int day, double dayFraction);
// The date `days` days later (earlier where negative), astronomical years; 4 October 1582 is
// followed by 15 October.
CalendarDate addDays(CalendarDate date, int days);
// 0 Sunday .. 6 Saturday.
int weekday(int year, int month, int day);

// The date and clock time at Greenwich of a birth's local clock time.
struct UniversalTime {
    CalendarDate date;  // astronomical year (1 BC is 0)
    TimeOfDay time;
};
UniversalTime universalTimeOf(const BirthData& birth);
// Greenwich mean sidereal time at `ut`, and the local one at the birth's longitude.
struct SiderealTimes {
    double julianDate0h = 0;
    TimeOfDay greenwich;
    TimeOfDay local;
};
SiderealTimes siderealTimesAt(const UniversalTime& ut, const GeoAngle& longitude);
// Every time of a birth: Universal Time, Julian dates, sidereal times and the day counts the
// theories start from.
ChartTimes chartTimes(const BirthData& birth);

// Hours since 0 h of a time of day, seconds included.
double decimalHours(const TimeOfDay& time);
// Days from January 0.0 (0 h on December 31 of the year before) of epochYear to the instant.
double dayNumberSinceEpoch(const CalendarDate& date, const TimeOfDay& time, int epochYear);

TimeOfDay addTime(const TimeOfDay& a, const TimeOfDay& b);
TimeOfDay subtractTime(TimeOfDay a, const TimeOfDay& b);
// Four minutes of time per degree; the direction is ignored.
TimeOfDay longitudeToTime(const GeoAngle& angle);

}  // namespace zodiara
