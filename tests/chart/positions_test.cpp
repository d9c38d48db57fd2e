// Positions: near the epoch they are the published ones; they are split into signs, degrees and minutes.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "chart/angles.h"
#include "chart/calendar.h"
#include "chart/ephemeris.h"
#include "testcharts.h"

using namespace zodiara;

namespace {

// Day counts 0, 1 and -3 from 1990 January 0.0 at 0 h UT.
TEST(SunAndMoon, NearTheEpoch)
{
    // clang-format off
    const struct { CalendarDate date; double sun, moon; } cases[] = {
        {{1989, 12, 31}, 279.2885, 313.2754}, {{1990, 1, 1}, 280.3077, 326.5928}, {{1989, 12, 28}, 276.2310, 274.5126}};
    // clang-format on
    for (const auto& k : cases) {
        ChartTimes t;
        t.utDate = k.date;
        t.dayNumber = dayNumberSinceEpoch(k.date, {}, 1990);
        const auto [sun, moon] = sunAndMoonAt(t);
        EXPECT_NEAR(sun.longitude, k.sun, 5e-5);
        EXPECT_NEAR(moon.longitude, k.moon, 5e-5);
        if (t.dayNumber == 0) {
            // The Moon's minutes round up from 16.52; the Sun's mean anomaly is not reduced first.
            EXPECT_EQ(std::tuple(moon.sign, moon.degrees, moon.minutes), std::tuple(Sign::Aquarius, 13, 17));
            EXPECT_EQ(std::tuple(sun.sign, sun.degrees, sun.minutes), std::tuple(Sign::Capricorn, 9, 17));
        }
    }
}

// A minute that rounds to 60 carries into the degree and the sign: London 1990-02-15 14:30 UT has cusps 3
// and 9 at 154.9931, which read 5°00' Virgo, not 4°60'.
TEST(Angles, SplittingRoundsMinutesAndCarries)
{
    // clang-format off
    const struct { double longitude; Sign sign; int degrees, minutes; } cases[] = {
        {154.9931, Sign::Virgo, 5, 0}, {359.999, Sign::Aries, 0, 0}, {29.9999, Sign::Taurus, 0, 0},
        {30.0, Sign::Taurus, 0, 0}, {360.0, Sign::Aries, 0, 0}, {45.5083, Sign::Taurus, 15, 30}};
    // clang-format on
    for (const auto& [longitude, sign, degrees, minutes] : cases) {
        BodyPosition b;
        splitBody(b, longitude);
        EXPECT_EQ(std::tuple(b.sign, b.degrees, b.minutes, b.house, b.longitude),
                  std::tuple(sign, degrees, minutes, -1, longitude));
    }
}

TEST(Angles, WrappingMatchesRepeatedSteps)
{
    for (double x : {-1e-20, -0.3, -360.0, -720.5, -2.4e7 - 0.1, 0.0, 359.9, 360.0, 360.25, 720.0, 2.4e7 + 0.3}) {
        double down = x, up = x;
        while (down > 360)
            down -= 360;
        while (up < 0)
            up += 360;
        EXPECT_EQ(std::pair(wrapDown360(x), wrapUp360(x)), std::pair(down, up)) << x;
    }
    EXPECT_EQ(std::pair(reduce360(-30), reduce360(725)), std::pair(330.0, 5.0));
}

}  // namespace
