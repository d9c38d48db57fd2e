// The reference chart (1990-01-01 12:00 EST, 74W00 40N43) and the Sun and Moon near the epoch.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "chartfile.h"
#include "ephemeris.h"
#include "pipeline.h"
#include "testcharts.h"

using namespace zodiara;
using namespace zodiara::test;

namespace {

class ReferenceChart : public ::testing::Test {
protected:
    void SetUp() override { system = computeChart(chart, tables); }
    Chart chart = referenceChart();
    DerivedTables tables;
    HouseSystem system{};
};

TEST_F(ReferenceChart, TimesAndAngles)
{
    EXPECT_EQ(system, HouseSystem::Placidus);
    const Chart& c = chart;
    EXPECT_EQ((std::array{c.utDate.year, int(c.utDate.month), int(c.utDate.day), c.universalTime.hour,
                          c.siderealTime.hour, c.siderealTime.minute, c.siderealTime.second,
                          c.localSiderealTime.hour, c.localSiderealTime.minute, c.localSiderealTime.second}),
              (std::array{1990, 1, 1, 17, 23, 44, 20, 18, 48, 20}));
    const struct { double got, expected, tolerance; const char* what; } reals[] = {
        {c.julianDate, 2447893.208333, 1e-6, "julianDate"},   {c.julianDate0h, 2447892.5, 0, "julianDate0h"},
        {c.centuries1900, 0.90001939, 5e-9, "centuries1900"}, {c.obliquity, 23.4405825, 5e-8, "obliquity"},
        {c.ramc, 282.08250, 5e-6, "ramc"},                    {c.ascendant, 20.67138, 5e-6, "ascendant"},
        {c.midheaven, 281.11125, 5e-6, "midheaven"},          {c.dayNumber, 1.7083333, 5e-8, "dayNumber"}};
    for (const auto& r : reals)
        EXPECT_NEAR(r.got, r.expected, r.tolerance) << r.what;
}

TEST_F(ReferenceChart, CuspsBodiesAndWheelOrder)
{
    const double cusps[12] = {20.6714, 56.0799, 80.1202, 101.1113, 123.9239, 154.4745,
                              200.6714, 236.0799, 260.1202, 281.1113, 303.9239, 334.4745};
    for (int n = 0; n < 12; ++n) {
        EXPECT_NEAR(chart.cusps[n].longitude, cusps[n], 5e-5) << "cusp " << n + 1;
        EXPECT_EQ(chart.cusps[n].house, n + 1);
    }
    // Longitude, then sign, degrees, minutes and house index.
    const struct { double longitude; std::array<int, 4> split; } bodies[10] = {
        {336.1401, {11, 6, 8, 11}}, {281.0297, {9, 11, 2, 8}}, {295.2677, {9, 25, 16, 9}},
        {306.1960, {10, 6, 12, 10}}, {250.0507, {8, 10, 3, 7}}, {95.1297, {3, 5, 8, 2}},
        {285.5360, {9, 15, 32, 9}}, {276.5616, {9, 6, 34, 8}}, {281.5175, {9, 11, 31, 9}},
        {227.0278, {7, 17, 2, 6}}};
    for (int n = 0; n < 10; ++n) {
        const BodyPosition& b = chart.bodies[n];
        EXPECT_NEAR(b.longitude, bodies[n].longitude, 5e-5) << BodyNames[n];
        EXPECT_EQ((std::array{b.sign, b.degrees, b.minutes, b.house}), bodies[n].split) << BodyNames[n];
    }
    const int order[10] = {0, 5, 9, 4, 7, 1, 8, 6, 2, 3};
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(tables.sortedBodies[n].body, order[n]) << "position " << n;
}

TEST_F(ReferenceChart, AspectsFromFoldedSeparations)
{
    int count = 0;
    for (int i = 0; i < 12; ++i)
        for (int j = i + 1; j < 12; ++j)
            count += tables.aspectGrid[i][j].aspect >= 0;
    EXPECT_EQ(count, 37);

    enum { Moon, Sun, Mercury, Venus, Mars, Jupiter, Saturn, Uranus, Neptune, Pluto, Asc, MC };
    const struct { int a, b, aspect; } expected[] = {
        {Sun, Saturn, 0}, {Sun, Uranus, 0}, {Sun, Neptune, 0}, {Sun, MC, 0}, {Sun, Jupiter, 10},
        {Moon, Mars, 6}, {Mars, Saturn, 2}, {Mars, Jupiter, 9}, {Sun, Mercury, -1},
        // Found only once the separation is folded around the circle.
        {Moon, Jupiter, 7}, {Moon, Asc, 3}, {Mercury, Asc, 6}, {Venus, Jupiter, 9},
        {Saturn, Asc, 6}, {Pluto, Asc, 9}};
    for (const auto& e : expected)
        EXPECT_EQ(tables.aspectGrid[e.a][e.b].aspect, e.aspect) << ChartPointNames[e.a] << "-" << ChartPointNames[e.b];
}

TEST_F(ReferenceChart, RecomputingIsBitIdentical)
{
    Chart again = chart;
    DerivedTables againTables;
    computeChart(again, againTables);
    EXPECT_EQ(chartImage(again), chartImage(chart));
}

// Day counts 0, 1 and -3 from 1990 January 0.0 at 0 h UT.
TEST(SunAndMoon, NearTheEpoch)
{
    const struct { CalendarDate date; double sun, moon; } cases[] = {
        {{1989, 31, 12}, 279.2885, 313.2754}, {{1990, 1, 1}, 280.3077, 326.5928}, {{1989, 28, 12}, 276.2310, 274.5126}};
    for (const auto& k : cases) {
        Chart c;
        c.utDate = k.date;
        computeSunAndMoon(c);
        EXPECT_NEAR(c.bodies[1].longitude, k.sun, 5e-5);
        EXPECT_NEAR(c.bodies[0].longitude, k.moon, 5e-5);
        EXPECT_EQ(c.bodies[0].house, -1);
        if (c.dayNumber == 0) {
            // The Moon's minutes round up from 16.52; the Sun's mean anomaly is not reduced first.
            EXPECT_EQ((std::array{c.bodies[0].sign, c.bodies[0].degrees, c.bodies[0].minutes}), (std::array{10, 13, 17}));
            EXPECT_EQ((std::array{c.bodies[1].sign, c.bodies[1].degrees, c.bodies[1].minutes}), (std::array{9, 9, 17}));
        }
    }
}

// Far from the epoch the positions stay numbers within a circle, BC and pre-reform dates included.
TEST(Pipeline, FarDatesStayFiniteAndReduced)
{
    const struct { int year, month, day; bool bc; } dates[] = {
        {3000, 12, 31, false}, {1582, 10, 4, false}, {1582, 10, 15, false}, {1, 1, 1, false},
        {1, 12, 31, true}, {44, 3, 15, true}, {3000, 1, 1, true}};
    for (const auto& d : dates) {
        Chart c = referenceChart();
        c.birthDate = {d.year, static_cast<std::int8_t>(d.day), static_cast<std::int8_t>(d.month)};
        c.beforeChrist = d.bc;
        DerivedTables t;
        computeChart(c, t);
        for (const auto& b : c.bodies)
            EXPECT_TRUE(std::isfinite(b.longitude) && b.longitude >= 0 && b.longitude <= 360 && b.house >= 0);
    }
}

}  // namespace
