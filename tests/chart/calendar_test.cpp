#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include "chart/calendar.h"
#include "chart/zoneclock.h"
#include "testcharts.h"

using namespace zodiara;
using zodiara::test::birth;
using namespace std::chrono;

namespace {

// n BC is astronomical year 1 - n; 1900 is no leap year, with no February 29 to step back into.
TEST(UniversalTime, StepsTheDateAcrossMidnight)
{
    // clang-format off
    const struct { const char* what; BirthData birth; std::array<int, 5> ut; } cases[] = {
        {"EST new year, daylight saving", birth(1999, 12, 31, 22, 0, 6, {}, true), {2000, 1, 1, 2, 0}},
        {"AEST 1900 skips the false leap day", birth(1900, 3, 1, 1, 0, 13), {1900, 2, 28, 15, 0}},
        {"half-hour zone back a day", birth(2000, 3, 1, 0, 10, 14), {2000, 2, 29, 14, 40}},
        {"44 BC", birth(44, 3, 15, 12, 0, 0, {}, false, true), {-43, 3, 15, 12, 0}},
        {"1 BC is year 0, a leap year", birth(1, 3, 1, 1, 0, 13, {}, false, true), {0, 2, 29, 15, 0}},
        {"back across the reform", birth(1582, 10, 15, 0, 30, 13), {1582, 10, 4, 14, 30}},
        {"forward across the reform", birth(1582, 10, 4, 20, 0, 6), {1582, 10, 15, 1, 0}}};
    // clang-format on
    for (const auto& [what, b, ut] : cases) {
        const UniversalTime u = universalTimeOf(b);
        const std::array got{u.date.year, +u.date.month, +u.date.day, u.time.hour, u.time.minute};
        EXPECT_EQ(got, ut) << what;
    }
}

// Julian days by Meeus's count, independent of the one the chart uses; February 29 exists by the Julian
// rule up to 1582 and by the Gregorian one after.
TEST(JulianDay, AgreesWithAnIndependentCountAcrossTheEras)
{
    // clang-format off
    const struct { CalendarDate date; double jd; bool exists; } cases[] = {
        {{0, 2, 29}, 1721116.5, true}, {{0, 3, 1}, 1721117.5, true}, {{-4, 2, 29}, 1719655.5, true},
        {{-4, 1, 1}, 1719596.5, true}, {{1500, 2, 29}, 2268991.5, true}, {{1582, 10, 4}, 2299159.5, true},
        {{1582, 10, 15}, 2299160.5, true}, {{1582, 10, 10}, 0, false}, {{1600, 2, 29}, 2305506.5, true},
        {{1700, 2, 28}, 2342030.5, true}, {{1700, 2, 29}, 0, false}, {{1700, 3, 1}, 2342031.5, true},
        {{1900, 2, 28}, 2415078.5, true}, {{1900, 2, 29}, 0, false}, {{1900, 3, 1}, 2415079.5, true},
        {{2000, 2, 29}, 2451603.5, true}, {{2100, 2, 28}, 2488127.5, true}, {{2100, 2, 29}, 0, false},
        {{2100, 3, 1}, 2488128.5, true}};
    // clang-format on
    for (const auto& [date, jd, exists] : cases) {
        EXPECT_EQ(dateExists(date.year, date.month, date.day), exists) << date.year << "-" << +date.month;
        if (exists) {
            EXPECT_EQ(julianDay(date, 0), jd) << date.year << "-" << +date.month << "-" << +date.day;
            EXPECT_EQ(julianDay(addDays(date, 1), 0), jd + 1) << "the day after " << date.year << "-" << +date.month;
            EXPECT_EQ(julianDay(addDays(date, -1), 0), jd - 1) << "the day before " << date.year << "-" << +date.month;
        }
    }
}

// The offset each zone adds is the one its name shows the user, "(+03:30)" or "(-09:30)".
TEST(Zones, AddTheOffsetTheirNamesShow)
{
    for (int zone = 0; zone < ZoneCount; ++zone) {
        if (zone == LmtZone)
            continue;
        const TimeOfDay& o = TimeZoneOffsets[zone];
        char text[32];
        std::snprintf(text, sizeof text, "(%c%02d:%02d)", o.hour < 0 ? '-' : '+', std::abs(o.hour), std::abs(o.minute));
        const std::string shown = text == std::string_view("(+00:00)") ? "(00:00)" : text;
        EXPECT_TRUE(TimeZoneNames[zone].find(shown) != std::string_view::npos && o.hour * o.minute >= 0)
            << TimeZoneNames[zone];
    }
}

// Every zone, with and without daylight saving, at instants whose clocks cross a day, a leap day
// and a year: the clock read as birth data gives the instant back as Universal Time.
TEST(ZoneClock, GivesTheInstantBackAsUniversalTime)
{
    for (const sys_seconds utc : {sys_days(2023y / 12 / 31) + 20h + 0s, sys_days(2024y / 3 / 1) + 2h + 15min + 7s,
                                  sys_days(2024y / 1 / 1) + 0s, sys_days(2100y / 3 / 1) + 10h + 59min + 59s})
        for (int zone = 0; zone < ZoneCount; ++zone)
            for (const bool dst : {false, true}) {
                const ZoneClock clock = zoneClockAt(utc, zone, dst);
                BirthData b;
                std::tie(b.birthDate, b.localTime, b.zone, b.daylightSaving) =
                    std::tuple(clock.date, clock.time, zone, dst);
                const auto [date, ut] = universalTimeOf(b);
                EXPECT_EQ(sys_days(year(date.year) / date.month / date.day) + hours(ut.hour) + minutes(ut.minute)
                              + seconds(ut.second),
                          utc)
                    << "zone " << zone << (dst ? " with daylight saving" : "");
            }
}

}  // namespace
