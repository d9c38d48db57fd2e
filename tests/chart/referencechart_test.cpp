// The reference chart (1990-01-01 12:00 EST, 74W00 40N43) and the Sun and Moon near the epoch.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "chart/chartfile.h"
#include "chart/ephemeris.h"
#include "chart/pipeline.h"
#include "testcharts.h"

using namespace zodiara;
using namespace zodiara::test;

namespace {

// Its numbers are pinned by the golden report and JSON in tests/data. Computing a computed chart
// again must change nothing: no derived field may feed back into the computation.
TEST(ReferenceChart, RecomputingIsBitIdentical)
{
    Chart chart = referenceChart();
    DerivedTables tables;
    computeChart(chart, tables);
    Chart again = chart;
    computeChart(again, tables);
    EXPECT_EQ(chartImage(again), chartImage(chart));
}

// Day counts 0, 1 and -3 from 1990 January 0.0 at 0 h UT.
TEST(SunAndMoon, NearTheEpoch)
{
    const struct {
        CalendarDate date;
        double sun, moon;
    } cases[] = {
        {{1989, 31, 12}, 279.2885, 313.2754}, {{1990, 1, 1}, 280.3077, 326.5928}, {{1989, 28, 12}, 276.2310, 274.5126}};
    for (const auto& k : cases) {
        Chart c;
        c.utDate = k.date;
        computeSunAndMoon(c);
        const BodyPosition &sun = c.body(Body::Sun), &moon = c.body(Body::Moon);
        EXPECT_NEAR(sun.longitude, k.sun, 5e-5);
        EXPECT_NEAR(moon.longitude, k.moon, 5e-5);
        EXPECT_EQ(moon.house, -1);
        if (c.dayNumber == 0) {
            // The Moon's minutes round up from 16.52; the Sun's mean anomaly is not reduced first.
            EXPECT_EQ(std::tuple(Sign{moon.sign}, moon.degrees, moon.minutes), std::tuple(Sign::Aquarius, 13, 17));
            EXPECT_EQ(std::tuple(Sign{sun.sign}, sun.degrees, sun.minutes), std::tuple(Sign::Capricorn, 9, 17));
        }
    }
}

// Far from the epoch the positions stay numbers within a circle, BC and pre-reform dates included.
TEST(Pipeline, FarDatesStayFiniteAndReduced)
{
    for (const auto& [date, bc] : {std::pair(CalendarDate{3000, 31, 12}, false),
                                   {{1582, 4, 10}, false},
                                   {{1, 31, 12}, true},
                                   {{3000, 1, 1}, true}}) {
        Chart c = referenceChart();
        c.birthDate = date;
        c.beforeChrist = bc;
        DerivedTables t;
        computeChart(c, t);
        for (const auto& b : c.bodies)
            EXPECT_TRUE(std::isfinite(b.longitude) && b.longitude >= 0 && b.longitude <= 360 && b.house >= 0);
    }
}

}  // namespace
