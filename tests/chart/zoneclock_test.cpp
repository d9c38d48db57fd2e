// "Now" as birth data: the clock of the chart's zone at a UTC instant.
#include <gtest/gtest.h>

#include <tuple>

#include "calendar.h"
#include "zoneclock.h"

using namespace zodiara;
using namespace std::chrono;

namespace {

auto fields(const ZoneClock& c)
{
    return std::tuple(+c.date.year, +c.date.month, +c.date.day, +c.time.hour, +c.time.minute, +c.time.second);
}

// Every zone, with and without daylight saving, at instants whose clocks cross a day, a leap day
// and a year: the clock read as birth data gives the instant back as Universal Time.
TEST(ZoneClock, GivesTheInstantBackAsUniversalTime)
{
    const sys_seconds instants[] = {sys_days(2023y / 12 / 31) + 20h, sys_days(2024y / 3 / 1) + 2h + 15min + 7s,
                                    sys_days(2024y / 1 / 1) + 0s, sys_days(2100y / 3 / 1) + 10h + 59min + 59s};
    for (const sys_seconds utc : instants) {
        const auto day = floor<days>(utc);
        const year_month_day ymd(day);
        const hh_mm_ss<seconds> time(utc - day);
        const auto expected = std::tuple(int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())),
                                         int(time.hours().count()), int(time.minutes().count()),
                                         int(time.seconds().count()));
        for (int zone = 0; zone < ZoneCount; ++zone) {
            for (const bool dst : {false, true}) {
                const ZoneClock clock = zoneClockAt(utc, zone, dst);
                Chart chart;
                chart.birthDate = clock.date;
                chart.localTime = clock.time;
                chart.zone = zone;
                chart.daylightSaving = dst;
                computeUniversalTime(chart);
                EXPECT_EQ(std::tuple(+chart.utDate.year, +chart.utDate.month, +chart.utDate.day,
                                     +chart.universalTime.hour, +chart.universalTime.minute, +chart.universalTime.second),
                          expected) << "zone " << zone << (dst ? " with daylight saving" : "");
            }
        }
    }
    // The start-up zone, EST, is five hours behind: back into the leap day.
    EXPECT_EQ(fields(zoneClockAt(sys_days(2024y / 3 / 1) + 2h + 15min + 7s, 6)), std::tuple(2024, 2, 29, 21, 15, 7));
    EXPECT_EQ(fields(zoneClockAt(sys_days(2023y / 12 / 31) + 20h, 13)), std::tuple(2024, 1, 1, 6, 0, 0));
}

}  // namespace
