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

class PreciseCharts : public ::testing::TestWithParam<Chart> { };

TEST_P(PreciseCharts, HoldWhatTheLibraryReturns)
{
    Chart c = GetParam();
    DerivedTables t;
    ASSERT_EQ(computeChart(c, t, Ephemeris::Precise), HouseSystem::Placidus);
    char err[AS_MAXCH];
    for (const auto& [body, libraryBody] : LibraryBodies) {
        double x[6];
        ASSERT_GE(swe_calc_ut(c.julianDate, libraryBody, SEFLG_SWIEPH, x, err), 0);
        EXPECT_LT(separation(c.body(body).longitude, x[0]), ArcSecond) << body;
        EXPECT_GE(c.body(body).house, 0);
    }
    double cusps[13], ascmc[10];
    ASSERT_GE(swe_houses_ex(c.julianDate, 0, c.latitudeDeg, -c.longitudeDeg, 'P', cusps, ascmc), 0);
    for (const auto& [mine, library] : {std::pair(c.ascendant, ascmc[0]), {c.midheaven, ascmc[1]}, {c.ramc, ascmc[2]}})
        EXPECT_LT(separation(mine, library), 2 * ArcSecond);
    for (int k = 0; k < 12; ++k)
        EXPECT_LT(separation(c.cusps[k].longitude, cusps[k + 1]), 2 * ArcSecond) << "cusp " << k + 1;
    EXPECT_DOUBLE_EQ(c.ramcRad, c.ramc * (1.0 / 180) * 3.141592653589793);

    // The times stay those of the classic computation.
    Chart classic = GetParam();
    computeChart(classic, t);
    EXPECT_EQ(std::tuple(c.julianDate, c.dayNumber, c.siderealTime),
              std::tuple(classic.julianDate, classic.dayNumber, classic.siderealTime));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Dates, PreciseCharts, ::testing::Values(
    birth(1990, 1, 1, 17, 0, 0, {74, 0, West, 40, 0, North}),
    birth(2400, 12, 31, 23, 59, 0, {151, 0, East, 33, 0, South}),
    birth(1500, 3, 10, 12, 0, 0, {12, 0, East, 41, 0, North}),  // before the reform: Julian calendar
    birth(44, 3, 15, 12, 0, 0, {12, 0, East, 41, 0, North}, false, true),  // no data file: the analytical theory
    birth(3002, 2, 28, 0, 0, 0, {}, false, true),  // the first and last days covered
    birth(3003, 4, 27, 23, 59, 0)),
    [](const auto& info) {
        const Chart& c = info.param;
        return test::testName(std::to_string(c.birthDate.year) + (c.beforeChrist ? " BC " : " ")
                              + std::to_string(c.birthDate.month) + " " + std::to_string(c.birthDate.day));
    });
// clang-format on

// Outside the covered days the library has no positions: no chart, where there used to be ten
// bodies at 0° Aries. The covered days end within a day of where the library stops.
TEST(Precise, RefusesUniversalTimesTheLibraryDoesNotCover)
{
    Chart late = birth(3003, 4, 28, 0, 30, 28);  // CET: still 27 April in Universal Time
    DerivedTables t;
    EXPECT_EQ(computeChart(late, t, Ephemeris::Precise), HouseSystem::Placidus);
    for (Chart c : {birth(3002, 2, 27, 23, 59, 0, {}, false, true), birth(3003, 4, 28, 0, 0, 0)}) {
        EXPECT_EQ(computeChart(c, t, Ephemeris::Precise), std::nullopt) << c.birthDate.year;
        EXPECT_FALSE(preciseCovers(c.julianDate));
        EXPECT_TRUE(computeChart(c, t, Ephemeris::Classic));
    }
    char err[AS_MAXCH];
    double x[6];
    const double first = julianDay(PreciseFirstDay, 0), afterLast = julianDay(PreciseLastDay, 1);
    for (const auto& [body, libraryBody] : LibraryBodies) {
        EXPECT_LT(swe_calc_ut(first - 1, libraryBody, SEFLG_SWIEPH, x, err), 0) << body;
        EXPECT_LT(swe_calc_ut(afterLast + 1, libraryBody, SEFLG_SWIEPH, x, err), 0) << body;
    }
}

// The seconds of the birth time count in every time scale, checked against the library's own
// Julian date, sidereal time and angles for the same instant.
struct SecondsCase {
    const char* what;
    Chart onTheMinute;
    int second;
};

class SecondsOfTheTime : public ::testing::TestWithParam<SecondsCase> { };

TEST_P(SecondsOfTheTime, CountInEveryTimeScale)
{
    auto [what, onTheMinute, second] = GetParam();
    Chart c = onTheMinute;
    c.localTime.second = second;
    DerivedTables t;
    computeChart(c, t);
    computeChart(onTheMinute, t);
    const TimeOfDay ut = c.universalTime;
    ASSERT_EQ(ut.second, second);
    const double jd = swe_julday(c.utDate.year, c.utDate.month, c.utDate.day,
                                 ut.hour + ut.minute / 60.0 + ut.second / 3600.0, SE_GREG_CAL);
    EXPECT_NEAR(c.julianDate, jd, 1e-8);
    EXPECT_NEAR((c.utHours - onTheMinute.utHours) * 3600, second, 1e-6);
    EXPECT_NEAR((c.dayNumber - onTheMinute.dayNumber) * 86400, second, 1e-4);

    const double gst = swe_sidtime(jd) * 3600;
    const TimeOfDay st = c.siderealTime;
    const double seconds = st.hour * 3600 + st.minute * 60 + st.second;
    EXPECT_LT(std::fabs(std::remainder(seconds - gst, 86400)), 2);

    double cusps[13], ascmc[10];
    ASSERT_GE(swe_houses_ex(jd, 0, c.latitudeDeg, -c.longitudeDeg, 'P', cusps, ascmc), 0);
    EXPECT_LT(std::max(separation(c.ascendant, ascmc[0]), separation(c.midheaven, ascmc[1])), 1.0 / 60);
    EXPECT_GT(separation(c.ascendant, onTheMinute.ascendant), 1.0 / 60);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Instants, SecondsOfTheTime, ::testing::Values(
    SecondsCase{"est_23_59_59_into_the_next_day", birth(1975, 11, 3, 23, 59, 6, {74, 0, West, 40, 43, North}), 59},
    SecondsCase{"cet_00_00_45_back_a_day", birth(1850, 3, 1, 0, 0, 28, {13, 24, East, 52, 31, North}), 45},
    SecondsCase{"aest_06_30_29_southern", birth(2250, 8, 15, 6, 30, 13, {151, 13, East, 33, 52, South}), 29}),
    [](const auto& info) { return std::string(info.param.what); });
// clang-format on

}  // namespace
