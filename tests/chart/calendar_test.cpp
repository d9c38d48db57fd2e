#include <gtest/gtest.h>

#include <array>

#include "chart/calendar.h"
#include "testcharts.h"
#include "testname.h"

using namespace zodiara;
using zodiara::test::birth;

namespace {

struct UtCase {
    const char* what;
    Chart chart;
    int year, month, day, hour, minute;
};

class UniversalTime : public ::testing::TestWithParam<UtCase> { };

TEST_P(UniversalTime, StepsTheDateAcrossMidnight)
{
    auto [what, u, year, month, day, hour, minute] = GetParam();
    computeUniversalTime(u);
    EXPECT_EQ((std::array{u.utDate.year, +u.utDate.month, +u.utDate.day, u.universalTime.hour, u.universalTime.minute}),
              (std::array{year, month, day, hour, minute}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Zones, UniversalTime, ::testing::Values(
    UtCase{"EST new year", birth(1999, 12, 31, 22, 0, 6), 2000, 1, 1, 3, 0},
    UtCase{"EST new year, daylight saving", birth(1999, 12, 31, 22, 0, 6, {}, true), 2000, 1, 1, 2, 0},
    UtCase{"AEST back into a leap day", birth(2000, 3, 1, 1, 0, 13), 2000, 2, 29, 15, 0},
    // 1900 is no leap year: there is no February 29 to step back into.
    UtCase{"AEST 1900 skips the false leap day", birth(1900, 3, 1, 1, 0, 13), 1900, 2, 28, 15, 0},
    UtCase{"half-hour zone back a day", birth(2000, 3, 1, 0, 10, 14), 2000, 2, 29, 14, 40},
    // n BC is astronomical year 1 - n.
    UtCase{"44 BC", birth(44, 3, 15, 12, 0, 0, {}, false, true), -43, 3, 15, 12, 0},
    UtCase{"1 BC is year 0, a leap year", birth(1, 3, 1, 1, 0, 13, {}, false, true), 0, 2, 29, 15, 0}),
    [](const auto& info) { return zodiara::test::testName(info.param.what); });
// clang-format on

// Local sidereal time is Greenwich's (6 h 39 m for 2000 January 1, 0 h UT) less the longitude west.
TEST(Calendar, SiderealTimeAtGreenwichAndAwayFromIt)
{
    for (const auto& [longitude, hour] :
         {std::pair(GeoAngle{0, 0, West}, 6), {{90, 0, East}, 12}, {{90, 0, West}, 0}}) {
        Chart c = birth(2000, 1, 1, 0, 0, 0);
        c.longitude = longitude;
        computeUniversalTime(c);
        computeSiderealTime(c);
        EXPECT_EQ((std::array{c.siderealTime.hour, c.siderealTime.minute}), (std::array{6, 39}));
        EXPECT_EQ((std::array{c.localSiderealTime.hour, c.localSiderealTime.minute}), (std::array{hour, 39}));
    }
}

}  // namespace
