// "Now" as birth data: the clock of the chart's zone at a UTC instant.
#include <gtest/gtest.h>

#include <tuple>

#include "chart/calendar.h"
#include "chart/zoneclock.h"

using namespace zodiara;
using namespace std::chrono;

// Every zone, with and without daylight saving, at instants whose clocks cross a day, a leap day
// and a year: the clock read as birth data gives the instant back as Universal Time.
TEST(ZoneClock, GivesTheInstantBackAsUniversalTime)
{
    for (const sys_seconds utc : {sys_days(2023y / 12 / 31) + 20h + 0s, sys_days(2024y / 3 / 1) + 2h + 15min + 7s,
                                  sys_days(2024y / 1 / 1) + 0s, sys_days(2100y / 3 / 1) + 10h + 59min + 59s})
        for (int zone = 0; zone < ZoneCount; ++zone)
            for (const bool dst : {false, true}) {
                const ZoneClock clock = zoneClockAt(utc, zone, dst);
                Chart c;
                std::tie(c.birthDate, c.localTime, c.zone, c.daylightSaving) =
                    std::tuple(clock.date, clock.time, zone, dst);
                computeUniversalTime(c);
                const TimeOfDay ut = c.universalTime;
                EXPECT_EQ(sys_days(year(c.utDate.year) / c.utDate.month / c.utDate.day) + hours(ut.hour)
                              + minutes(ut.minute) + seconds(ut.second),
                          utc)
                    << "zone " << zone << (dst ? " with daylight saving" : "");
            }
}
