// The reference chart (1990-01-01 12:00 EST, 74W00 40N43) and the Sun and Moon near the epoch.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <tuple>

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
    std::optional<HouseSystem> system;
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
    // The house is an index, 0 for the first.
    const struct { Body body; double longitude; Sign sign; int degrees, minutes, house; } bodies[] = {
        {Body::Moon, 336.1401, Sign::Pisces, 6, 8, 11},      {Body::Sun, 281.0297, Sign::Capricorn, 11, 2, 8},
        {Body::Mercury, 295.2677, Sign::Capricorn, 25, 16, 9}, {Body::Venus, 306.1960, Sign::Aquarius, 6, 12, 10},
        {Body::Mars, 250.0507, Sign::Sagittarius, 10, 3, 7},  {Body::Jupiter, 95.1297, Sign::Cancer, 5, 8, 2},
        {Body::Saturn, 285.5360, Sign::Capricorn, 15, 32, 9}, {Body::Uranus, 276.5616, Sign::Capricorn, 6, 34, 8},
        {Body::Neptune, 281.5175, Sign::Capricorn, 11, 31, 9}, {Body::Pluto, 227.0278, Sign::Scorpio, 17, 2, 6}};
    for (const auto& k : bodies) {
        const BodyPosition& b = chart.body(k.body);
        EXPECT_NEAR(b.longitude, k.longitude, 5e-5) << k.body;
        EXPECT_EQ(std::tuple(Sign{b.sign}, b.degrees, b.minutes, b.house),
                  std::tuple(k.sign, k.degrees, k.minutes, k.house))
            << k.body;
    }
    const Body order[] = {Body::Moon,   Body::Jupiter, Body::Pluto,  Body::Mars,    Body::Uranus,
                          Body::Sun,    Body::Neptune, Body::Saturn, Body::Mercury, Body::Venus};
    for (int n = 0; n < BodyCount; ++n)
        EXPECT_EQ(tables.sortedBodies[n].body, order[n]) << "position " << n;
}

TEST_F(ReferenceChart, AspectsFromFoldedSeparations)
{
    int count = 0;
    for (const auto& [a, b] : ChartPointPairs)
        count += tables.aspectGrid[index(a)][index(b)].has_value();
    EXPECT_EQ(count, 37);

    using enum ChartPoint;
    using enum Aspect;
    const struct { ChartPoint a, b; std::optional<Aspect> aspect; } expected[] = {
        {Sun, Saturn, Conjunction}, {Sun, Uranus, Conjunction}, {Sun, Neptune, Conjunction},
        {Sun, MidHeaven, Conjunction}, {Sun, Jupiter, Opposition}, {Moon, Mars, Square}, {Mars, Saturn, Biquintile},
        {Mars, Jupiter, Inconjunct}, {Sun, Mercury, std::nullopt},
        // Found only once the separation is folded around the circle.
        {Moon, Jupiter, Trine}, {Moon, Ascendant, SemiSquare}, {Mercury, Ascendant, Square},
        {Venus, Jupiter, Inconjunct}, {Saturn, Ascendant, Square}, {Pluto, Ascendant, Inconjunct}};
    for (const auto& e : expected)
        EXPECT_EQ(tables.aspectGrid[index(e.a)][index(e.b)], e.aspect) << pointName(e.a) << "-" << pointName(e.b);
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
        const BodyPosition& sun = c.body(Body::Sun);
        const BodyPosition& moon = c.body(Body::Moon);
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
