#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "chart/angles.h"
#include "chart/aspects.h"
#include "chart/houses.h"
#include "chart/pipeline.h"
#include "testcharts.h"

using namespace zodiara;

namespace {

using test::separation;

// The houses run once round the wheel, opposite cusps 180 degrees apart, in both ephemerides and
// at every latitude. Inside the polar circles the formula's Ascendant can be the western horizon
// point: at 80N 20E, 1990-06-21 03:00 UT that gave cusps 2 and 6 both at 273.44.
TEST(Houses, RunOnceRoundTheWheelAtEveryLatitudeInBothEphemerides)
{
    const CalendarDate dates[] = {{1990, 6, 21}, {1990, 12, 21}, {2001, 3, 20}, {1850, 9, 23}, {2150, 2, 5}};
    std::vector<std::string> bad;
    int porphyry[2] = {};  // classic, precise
    const auto check = [&bad](const Chart& c, HouseSystem system, int lat, const std::string& where) {
        std::array<double, 12> arcs;
        double total = 0;
        const ChartAngles& a = c.angles;
        bool ok = separation(c.cusps[0].longitude, a.ascendant) < 1e-9
                  && separation(c.cusps[9].longitude, a.midheaven) < 1e-9 && reduce360(a.ascendant - a.midheaven) < 180
                  && (lat > 60 || system == HouseSystem::Placidus);
        for (int n = 0; n < 12; ++n) {
            total += arcs[n] = reduce360(c.cusps[(n + 1) % 12].longitude - c.cusps[n].longitude);
            ok = ok && c.cusps[n].house == n + 1
                 && std::fabs(separation(c.cusps[n].longitude, c.cusps[(n + 6) % 12].longitude) - 180) < 1e-9;
        }
        ok = ok && std::ranges::min(arcs) > 0 && std::fabs(total - 360) < 1e-9;
        // Porphyry trisects each quadrant.
        if (system == HouseSystem::Porphyry)
            for (int n : {0, 1, 3, 4})
                ok = ok && std::fabs(arcs[n] - arcs[n + 1]) < 1e-9;
        ok = ok && std::ranges::all_of(c.bodies, [](const BodyPosition& b) { return b.house >= 0 && b.house <= 11; });
        if (!ok)
            bad.push_back(where);
    };
    for (const CalendarDate& date : dates)
        for (int lat = 0; lat <= 90; lat += lat < 60 ? 3 : 1)
            for (CompassDirection ns : {North, South})
                for (int hour = 0; hour < 24; ++hour) {
                    const BirthData b =
                        test::birth(date.year, date.month, date.day, hour, 0, 0, {20, 0, East, lat, 0, ns});
                    const ComputedChart classicChart = computeChart(b).value();
                    const ComputedChart preciseChart = computeChart(b, Ephemeris::Precise).value();
                    const Chart &classic = classicChart.chart, &precise = preciseChart.chart;
                    const HouseSystem classicSystem = classicChart.houseSystem;
                    const HouseSystem preciseSystem = preciseChart.houseSystem;
                    const std::string where = std::to_string(lat) + (ns == North ? "N " : "S ") + std::to_string(hour)
                                              + "h on " + std::to_string(date.year) + "-" + std::to_string(date.month);
                    check(classic, classicSystem, lat, where + " classic");
                    check(precise, preciseSystem, lat, where + " precise");
                    if (separation(classic.angles.ascendant, precise.angles.ascendant) >= 90)
                        bad.push_back(where + " Ascendants apart");
                    porphyry[0] += classicSystem == HouseSystem::Porphyry;
                    porphyry[1] += preciseSystem == HouseSystem::Porphyry;
                }
    EXPECT_GT(std::min(porphyry[0], porphyry[1]), 1000);
    EXPECT_EQ(bad.size(), 0u) << bad.size() << " charts, first " << (bad.empty() ? "" : bad.front());
}

TEST(Houses, BodiesOnCuspsBelongToTheHouseThatBeginsThere)
{
    HouseCusps cusps;
    for (int n = 0; n < 12; ++n)
        cusps[n].longitude = 10 + 30.0 * n;
    EXPECT_EQ((std::array{houseOf(359.5, cusps), houseOf(10, cusps), houseOf(40, cusps)}), (std::array{11, 0, 1}));
    cusps[0].longitude = 359.5;
    EXPECT_EQ(houseOf(359.5, cusps), 0);
    // A body in none of the first eleven houses is in the twelfth.
    cusps[0].longitude = 10;
    cusps[11].longitude = 320;
    EXPECT_EQ((std::array{houseOf(5, cusps), houseOf(330, cusps)}), (std::array{11, 11}));
}

// The separation is folded, the orbs are inclusive, and where two orbs overlap the first aspect wins.
TEST(Aspects, FoldedSeparationWithInclusiveOrbs)
{
    using enum Aspect;
    const std::optional<Aspect> None;
    // clang-format off
    const struct { double a, b; std::optional<Aspect> aspect; } cases[] = {
        {10, 130, Trine}, {10, 138.5, None}, {10, 138, Trine}, {100, 136, Biquintile}, {0, 90, Square},
        {350, 170, Opposition}, {359, 1, Conjunction}, {350, 110, Trine}, {355, 25, SemiSextile},
        {0, 32, SemiSextile}, {0, 33, None}, {0, 34, Biquintile}, {0, 52, None}};
    // clang-format on
    for (const auto& [a, b, aspect] : cases)
        EXPECT_EQ(std::pair(aspectBetween(a, b), aspectBetween(b, a)), std::pair(aspect, aspect)) << a << " and " << b;
}

}  // namespace
