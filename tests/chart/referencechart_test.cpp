// The reference chart: 1990-01-01 12:00 EST (zone 6), 74W00 40N43, and the Sun/Moon day counts.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "aspects.h"
#include "calendar.h"
#include "ephemeris.h"
#include "pipeline.h"

using namespace zodiara;

// Fields of the packed record are compared as copies (`+field`): the assertion macros bind
// their arguments by reference, and a reference to a misaligned field is undefined.

namespace {

Chart referenceChart()
{
    Chart c;
    c.birthDate = {1990, 1, 1};
    c.localTime = {12, 0, 0, 0};
    c.zone = 6;
    c.longitude = {74, 0, West};
    c.latitude = {40, 43, North};
    return c;
}

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
    EXPECT_EQ(+chart.utDate.year, 1990);
    EXPECT_EQ(+chart.utDate.month, 1);
    EXPECT_EQ(+chart.utDate.day, 1);
    EXPECT_EQ(+chart.universalTime.hour, 17);
    EXPECT_NEAR(+chart.julianDate, 2447893.208333, 1e-6);
    EXPECT_DOUBLE_EQ(+chart.julianDate0h, 2447892.5);
    EXPECT_EQ(+chart.siderealTime.hour, 23);
    EXPECT_EQ(+chart.siderealTime.minute, 44);
    EXPECT_EQ(+chart.siderealTime.second, 20);
    EXPECT_EQ(+chart.localSiderealTime.hour, 18);
    EXPECT_EQ(+chart.localSiderealTime.minute, 48);
    EXPECT_EQ(+chart.localSiderealTime.second, 20);
    EXPECT_NEAR(+chart.centuries1900, 0.90001939, 5e-9);
    EXPECT_NEAR(+chart.obliquity, 23.4405825, 5e-8);
    EXPECT_NEAR(+chart.ramc, 282.08250, 5e-6);
    EXPECT_NEAR(+chart.ascendant, 20.67138, 5e-6);
    EXPECT_NEAR(+chart.midheaven, 281.11125, 5e-6);
    EXPECT_NEAR(+chart.dayNumber, 1.7083333, 5e-8);
}

TEST_F(ReferenceChart, Cusps)
{
    const double expected[12] = {20.6714, 56.0799, 80.1202, 101.1113, 123.9239, 154.4745,
                                 200.6714, 236.0799, 260.1202, 281.1113, 303.9239, 334.4745};
    for (int n = 0; n < 12; ++n) {
        EXPECT_NEAR(+chart.cusps[n].longitude, expected[n], 5e-5) << "cusp " << n + 1;
        EXPECT_EQ(+chart.cusps[n].house, n + 1);
    }
}

struct ExpectedBody {
    double longitude;
    int sign, degrees, minutes, house;
};

TEST_F(ReferenceChart, Bodies)
{
    const ExpectedBody expected[10] = {
        {336.1401, 11, 6, 8, 11}, {281.0297, 9, 11, 2, 8},  {295.2677, 9, 25, 16, 9},
        {306.1960, 10, 6, 12, 10}, {250.0507, 8, 10, 3, 7}, {95.1297, 3, 5, 8, 2},
        {285.5360, 9, 15, 32, 9}, {276.5616, 9, 6, 34, 8},  {281.5175, 9, 11, 31, 9},
        {227.0278, 7, 17, 2, 6}};
    for (int n = 0; n < 10; ++n) {
        const BodyPosition& b = chart.bodies[n];
        SCOPED_TRACE(BodyNames[n]);
        EXPECT_NEAR(+b.longitude, +expected[n].longitude, 5e-5);
        EXPECT_EQ(+b.sign, +expected[n].sign);
        EXPECT_EQ(+b.degrees, +expected[n].degrees);
        EXPECT_EQ(+b.minutes, +expected[n].minutes);
        EXPECT_EQ(+b.house, +expected[n].house);
    }
}

TEST_F(ReferenceChart, SortedOrder)
{
    const int order[10] = {0, 5, 9, 4, 7, 1, 8, 6, 2, 3};
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(+tables.sortedBodies[n].body, order[n]) << "position " << n;
}

TEST_F(ReferenceChart, AspectsFromFoldedSeparations)
{
    int count = 0;
    for (int i = 0; i < 12; ++i)
        for (int j = i + 1; j < 12; ++j)
            count += tables.aspectGrid[i][j].aspect >= 0;
    EXPECT_EQ(count, 37);

    enum { Moon, Sun, Mercury, Venus, Mars, Jupiter, Saturn, Uranus, Neptune, Pluto, Asc, MC };
    struct { int a, b, aspect; } expected[] = {
        {Sun, Saturn, 0}, {Sun, Uranus, 0}, {Sun, Neptune, 0}, {Sun, MC, 0}, {Sun, Jupiter, 10},
        {Moon, Mars, 6}, {Mars, Saturn, 2}, {Mars, Jupiter, 9}, {Sun, Mercury, -1},
        // Found only once the separation is folded around the circle.
        {Moon, Jupiter, 7}, {Moon, Asc, 3}, {Mercury, Asc, 6}, {Venus, Jupiter, 9},
        {Saturn, Asc, 6}, {Pluto, Asc, 9}};
    for (const auto& e : expected)
        EXPECT_EQ(tables.aspectGrid[e.a][e.b].aspect, +e.aspect) << ChartPointNames[e.a] << "-" << ChartPointNames[e.b];
}

TEST_F(ReferenceChart, RecomputingIsBitIdentical)
{
    Chart again = chart;
    DerivedTables againTables;
    computeChart(again, againTables);
    EXPECT_EQ(std::memcmp(&again, &chart, sizeof(Chart)), 0);
    for (int i = 0; i < 12; ++i)
        for (int j = i + 1; j < 12; ++j)
            EXPECT_EQ(againTables.aspectGrid[i][j].aspect, tables.aspectGrid[i][j].aspect);
}

struct SunMoonCase {
    CalendarDate date;
    double sun, moon;
};

class SunAndMoon : public ::testing::TestWithParam<SunMoonCase> {};

TEST_P(SunAndMoon, DayCountsNearTheEpoch)
{
    Chart c;
    c.utDate = GetParam().date;
    computeSunAndMoon(c);
    EXPECT_NEAR(+c.bodies[1].longitude, GetParam().sun, 5e-5);
    EXPECT_NEAR(+c.bodies[0].longitude, GetParam().moon, 5e-5);
    EXPECT_EQ(+c.bodies[0].house, -1);
    if (c.dayNumber == 0) {
        // The Moon's minutes round up from 16.52; the Sun's mean anomaly is not reduced first.
        EXPECT_EQ((std::array{+c.bodies[0].sign, +c.bodies[0].degrees, +c.bodies[0].minutes}), (std::array{10, 13, 17}));
        EXPECT_EQ((std::array{+c.bodies[1].sign, +c.bodies[1].degrees, +c.bodies[1].minutes}), (std::array{9, 9, 17}));
    }
}

INSTANTIATE_TEST_SUITE_P(Epoch, SunAndMoon, ::testing::Values(
    SunMoonCase{{1989, 31, 12}, 279.2885, 313.2754},
    SunMoonCase{{1990, 1, 1}, 280.3077, 326.5928},
    SunMoonCase{{1989, 28, 12}, 276.2310, 274.5126}));

// Far from the epoch the positions stay numbers within a circle, the BC and pre-reform
// calendars included.
TEST(Pipeline, FarDatesStayFiniteAndReduced)
{
    struct { int year, month, day; bool bc; } dates[] = {
        {3000, 12, 31, false}, {1582, 10, 4, false}, {1582, 10, 15, false}, {1, 1, 1, false},
        {1, 12, 31, true}, {44, 3, 15, true}, {3000, 1, 1, true}};
    for (const auto& d : dates) {
        Chart c = referenceChart();
        c.birthDate = {d.year, static_cast<std::int8_t>(d.day), static_cast<std::int8_t>(d.month)};
        c.beforeChrist = d.bc;
        DerivedTables t;
        computeChart(c, t);
        for (const auto& b : c.bodies) {
            EXPECT_TRUE(std::isfinite(b.longitude));
            EXPECT_GE(+b.longitude, 0);
            EXPECT_LE(+b.longitude, 360);
            EXPECT_GE(+b.house, 0);
        }
    }
}

}  // namespace
