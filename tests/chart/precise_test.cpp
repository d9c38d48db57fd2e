// The precise ephemeris is wired to the library: the chart holds what the library returns.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>

#include <swephexp.h>

#include "chart/calendar.h"
#include "chart/pipeline.h"
#include "chart/precise.h"
#include "testcharts.h"
#include "testname.h"

using namespace zodiara;

namespace {

using test::birth;
using test::separation;

constexpr double ArcSecond = 1.0 / 3600;
constexpr std::pair<Body, int> LibraryBodies[] = {
    {Body::Moon, SE_MOON},       {Body::Sun, SE_SUN},         {Body::Mercury, SE_MERCURY}, {Body::Venus, SE_VENUS},
    {Body::Mars, SE_MARS},       {Body::Jupiter, SE_JUPITER}, {Body::Saturn, SE_SATURN},   {Body::Uranus, SE_URANUS},
    {Body::Neptune, SE_NEPTUNE}, {Body::Pluto, SE_PLUTO}};

// `b` born `second` seconds into its minute.
BirthData atSecond(BirthData b, int second)
{
    b.localTime.second = second;
    return b;
}

class PreciseCharts : public ::testing::TestWithParam<BirthData> {};

TEST_P(PreciseCharts, HoldWhatTheLibraryReturns)
{
    const std::optional<ComputedChart> precise = computeChart(GetParam(), Ephemeris::Precise);
    ASSERT_TRUE(precise);
    ASSERT_EQ(precise->houseSystem, HouseSystem::Placidus);
    const Chart& c = precise->chart;
    const Chart classic = test::chartOf(GetParam());
    // The seconds of the birth time count in every time scale.
    const CalendarDate d = c.times.utDate;
    const TimeOfDay ut = c.times.universalTime, st = c.times.siderealTime;
    const int calendar = std::tuple(d.year, +d.month, +d.day) < std::tuple(1582, 10, 15) ? SE_JUL_CAL : SE_GREG_CAL;
    const double jd = swe_julday(d.year, d.month, d.day, ut.hour + ut.minute / 60.0 + ut.second / 3600.0, calendar);
    EXPECT_NEAR(c.times.julianDate, jd, 1e-8);
    EXPECT_NEAR(c.times.dayNumber, jd - swe_julday(1989, 12, 31, 0, SE_GREG_CAL), 1e-8);
    // The times stay those of the classic computation.
    EXPECT_EQ(std::tuple(c.times.julianDate, c.times.dayNumber, c.times.siderealTime),
              std::tuple(classic.times.julianDate, classic.times.dayNumber, classic.times.siderealTime));

    char err[AS_MAXCH];
    for (const auto& [body, libraryBody] : LibraryBodies) {
        double x[6];
        ASSERT_GE(swe_calc_ut(jd, libraryBody, SEFLG_SWIEPH, x, err), 0);
        EXPECT_LT(separation(c.body(body).longitude, x[0]), ArcSecond) << body;
        EXPECT_GE(c.body(body).house, 0);
    }
    const GeoAngle lon = c.birth.longitude, lat = c.birth.latitude;
    const double east = (lon.degrees + lon.minutes / 60.0) * (lon.direction == West ? -1 : 1);
    const double north = (lat.degrees + lat.minutes / 60.0) * (lat.direction == South ? -1 : 1);
    double cusps[13], ascmc[10];
    ASSERT_GE(swe_houses_ex(jd, 0, north, east, 'P', cusps, ascmc), 0);
    for (const auto& [mine, library] :
         {std::pair(c.angles.ascendant, ascmc[0]), {c.angles.midheaven, ascmc[1]}, {c.angles.ramc, ascmc[2]}})
        EXPECT_LT(separation(mine, library), 2 * ArcSecond);
    for (int k = 0; k < 12; ++k)
        EXPECT_LT(separation(c.cusps[k].longitude, cusps[k + 1]), 2 * ArcSecond) << "cusp " << k + 1;
    // Within six centuries of 2000 the classic sidereal times and angles come within 2 s and 1'.
    if (std::fabs(jd - 2451545) < 600 * 365.25) {
        const auto offBy = [&](const TimeOfDay& t, double eastDeg) {
            const double seconds = t.hour * 3600 + t.minute * 60 + t.second - eastDeg * 240;
            return std::fabs(std::remainder(seconds - swe_sidtime(jd) * 3600, 86400));
        };
        EXPECT_LT(std::max(offBy(st, 0), offBy(c.times.localSiderealTime, east)), 2);
        EXPECT_LT(
            std::max(separation(classic.angles.ascendant, ascmc[0]), separation(classic.angles.midheaven, ascmc[1])),
            1.0 / 60);
        for (int k = 0; k < 12; ++k)
            EXPECT_LT(separation(classic.cusps[k].longitude, cusps[k + 1]), 1.0 / 60) << "classic cusp " << k + 1;
    }
    // However far the date, the classic positions stay numbers within a circle.
    for (const BodyPosition& b : classic.bodies)
        EXPECT_TRUE(std::isfinite(b.longitude) && b.longitude >= 0 && b.longitude <= 360 && b.house >= 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Dates, PreciseCharts, ::testing::Values(
    birth(1990, 1, 1, 17, 0, 0, {74, 0, West, 40, 0, North}),
    birth(2001, 6, 15, 7, 0, 0, {10, 0, East, 0, 0, North}),  // on the equator
    atSecond(birth(1975, 11, 3, 23, 59, 6, {74, 0, West, 40, 43, North}), 59),  // into the next day
    atSecond(birth(1850, 3, 1, 0, 0, 28, {13, 24, East, 52, 31, North}), 45),   // back a day
    atSecond(birth(2250, 8, 15, 6, 30, 13, {151, 13, East, 33, 52, South}), 29),
    birth(2400, 12, 31, 23, 59, 0, {151, 0, East, 33, 0, South}),
    birth(1500, 3, 10, 12, 0, 0, {12, 0, East, 41, 0, North}),  // before the reform: Julian calendar
    birth(44, 3, 15, 12, 0, 0, {12, 0, East, 41, 0, North}, false, true),  // no data file: the analytical theory
    birth(3002, 2, 28, 0, 0, 0, {}, false, true),  // the first and last days covered
    birth(3003, 4, 27, 23, 59, 0)),
    [](const auto& info) {
        const BirthData& b = info.param;
        return test::testName(std::to_string(b.birthDate.year) + (b.beforeChrist ? " BC " : " ")
                              + std::to_string(b.birthDate.month) + " " + std::to_string(b.birthDate.day));
    });
// clang-format on

// Outside the covered days the library has no positions: no chart, where there used to be ten
// bodies at 0° Aries.
TEST(Precise, RefusesUniversalTimesTheLibraryDoesNotCover)
{
    const BirthData late = birth(3003, 4, 28, 0, 30, 28);  // CET: still 27 April in Universal Time
    EXPECT_TRUE(computeChart(late, Ephemeris::Precise));
    for (const BirthData& b : {birth(3002, 2, 27, 23, 59, 0, {}, false, true), birth(3003, 4, 28, 0, 0, 0)}) {
        EXPECT_FALSE(computeChart(b, Ephemeris::Precise)) << b.birthDate.year;
        EXPECT_FALSE(preciseCovers(test::chartOf(b).times.julianDate));
    }
}

}  // namespace
