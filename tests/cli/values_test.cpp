// The value forms of options and batch columns, the option parser and the JSON primitives.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <tuple>

#include "cli/json.h"
#include "cli/options.h"

namespace {

using namespace zodiara;
using namespace zodiara::cli;

auto fields(const CalendarDate& d) { return std::tuple(d.year, int(d.month), int(d.day)); }
auto fields(const TimeOfDay& t) { return std::tuple(t.hour, t.minute, t.second); }
auto fields(const GeoAngle& a) { return std::tuple(a.degrees, a.minutes, a.direction); }

// A value as compute and batch take it: its form, then the birth rules.
std::string take(std::optional<std::string_view> BirthArgs::*option, std::string_view text, Chart& chart,
                 bool bc = false)
{
    BirthArgs args;
    args.*option = text;
    args.bc = bc;
    return birthChartFrom(args, std::chrono::sys_days(std::chrono::year(2024) / 6 / 1), chart);
}

TEST(ValueForms, DatesAreRealCalendarDatesOnly)
{
    // Julian leap rule before the reform; a BC year stays as entered, and 1 BC is a leap year.
    const std::tuple<const char*, bool, int, int, int> good[] = {{"1990-01-01", false, 1990, 1, 1},
        {"1990-1-1", false, 1990, 1, 1}, {"2000-02-29", false, 2000, 2, 29}, {"1500-02-29", false, 1500, 2, 29},
        {"1582-10-04", false, 1582, 10, 4}, {"1582-10-15", false, 1582, 10, 15}, {"0044-03-15", true, 44, 3, 15},
        {"0001-02-29", true, 1, 2, 29}};
    for (const auto& [text, bc, year, month, day] : good) {
        Chart chart;
        EXPECT_EQ(take(&BirthArgs::date, text, chart, bc), "") << text;
        EXPECT_EQ(fields(chart.birthDate), std::tuple(year, month, day)) << text;
    }
    const std::pair<const char*, bool> bad[] = {{"1582-10-05", false}, {"1582-10-14", false}, {"1900-02-29", false},
        {"0002-02-29", true}, {"0000-01-01", false}, {"1990-13-01", false}, {"1990-04-31", false},
        {"1990/01/01", false}, {"1990-01-01-01", false}, {"-44-03-15", false}, {"19900-01-01", false}, {"", false}};
    for (const auto& [text, bc] : bad) {
        Chart chart;
        chart.birthDate = {7, 7, 7};
        EXPECT_NE(take(&BirthArgs::date, text, chart, bc), "") << text;
        EXPECT_EQ(fields(chart.birthDate), std::tuple(7, 7, 7)) << "a refused date must leave the chart alone: " << text;
    }
}

TEST(ValueForms, TimesZonesAndPlaces)
{
    Chart chart;
    EXPECT_EQ(take(&BirthArgs::time, "23:59:59", chart), "");
    EXPECT_EQ(fields(chart.localTime), std::tuple(23, 59, 59));
    EXPECT_EQ(take(&BirthArgs::time, "7:05", chart), "");
    EXPECT_EQ(fields(chart.localTime), std::tuple(7, 5, 0));
    for (const char* bad : {"24:00", "12:60", "12:00:60", "12", "12:00:00:00", "a:00", "12:-1", ":", ""})
        EXPECT_NE(take(&BirthArgs::time, bad, chart), "") << bad;

    // Index or abbreviation as a whole word; the first in table order wins.
    const std::pair<const char*, int> zones[] = {{"0", 0}, {"28", 28}, {"EST", 6}, {"est", 6}, {"NST", 4},
        {"IT", 25}, {"IST", 22}, {"CET", 28}, {"29", -1}, {"-1", -1}, {"ST", -1}, {"EST,", -1},
        {"Eastern", -1}, {"", -1}, {"6a", -1}};
    for (const auto& [text, index] : zones) {
        chart.zone = -1;
        EXPECT_EQ(take(&BirthArgs::zone, text, chart).empty(), index >= 0) << text;
        EXPECT_EQ(+chart.zone, index) << text;
    }

    const std::tuple<std::optional<std::string_view> BirthArgs::*, const char*, int, int, int> places[] = {
        {&BirthArgs::lon, "74W00", 74, 0, West}, {&BirthArgs::lon, "180e00", 180, 0, East},
        {&BirthArgs::lat, "40N43", 40, 43, North}, {&BirthArgs::lat, "90S00", 90, 0, South}};
    for (const auto& [option, text, degrees, minutes, direction] : places) {
        EXPECT_EQ(take(option, text, chart), "") << text;
        EXPECT_EQ(fields(option == &BirthArgs::lon ? chart.longitude : chart.latitude),
                  std::tuple(degrees, minutes, direction)) << text;
    }
    for (const char* bad : {"181W00", "180W01", "74W60", "74N00", "74W", "W00", "1000W00", "74W000"})
        EXPECT_NE(take(&BirthArgs::lon, bad, chart), "") << bad;
    for (const char* bad : {"91N00", "90N01", "40N60", "40E00", "100N00"})
        EXPECT_NE(take(&BirthArgs::lat, bad, chart), "") << bad;
}

TEST(BirthArgsTest, DefaultsAndWindows1252Texts)
{
    // 2024-02-29 21:15:07 in EST.
    const std::chrono::sys_seconds now = std::chrono::sys_days(std::chrono::year(2024) / 3 / 1) + std::chrono::hours(2)
                                         + std::chrono::minutes(15) + std::chrono::seconds(7);
    Chart chart;
    ASSERT_EQ(birthChartFrom({}, now, chart), "");
    // Absent fields take this moment on the start-up zone's clock and the start-up place.
    EXPECT_EQ(std::tuple_cat(fields(chart.birthDate), fields(chart.localTime), fields(chart.longitude),
                             fields(chart.latitude), std::tuple(chart.zone, chart.beforeChrist)),
              std::tuple(2024, 2, 29, 21, 15, 7, 49, 0, int(West), 24, 0, int(North), 6, 0));

    BirthArgs args;
    args.name = "Zoë";
    ASSERT_EQ(birthChartFrom(args, now, chart), "");
    EXPECT_EQ(std::string(chart.name), "Zo\xEB");
    const std::string fortyNine(49, 'x'), fifty(50, 'y');
    args.name = fortyNine;
    EXPECT_EQ(birthChartFrom(args, now, chart), "");
    for (const char* bad : {fifty.c_str(), "日本", "\xFF\xFE", "Ann\x1b[2J", "Ann\nEve"}) {
        args.name = bad;
        EXPECT_NE(birthChartFrom(args, now, chart), "") << bad;
        EXPECT_EQ(std::string(chart.name), fortyNine) << "a refused chart must leave the chart alone";
    }
}

TEST(OptionParserTest, RefusesWhatAScriptGotWrong)
{
    std::string name;
    bool flag = false;
    OptionParser parser;
    parser.addValue("name", [&](std::string_view v) { name = v; return std::string(); });
    parser.addFlag("dst", [&] { flag = true; });
    std::vector<std::string_view> positionals;

    const std::string_view good[] = {"a", "--name=Ann", "--dst", "--", "--b"};
    ASSERT_EQ(parser.parse(good, positionals), "");
    EXPECT_EQ(std::tuple(name, flag, positionals), std::tuple("Ann", true, std::vector<std::string_view>{"a", "--b"}));

    const std::vector<std::vector<std::string_view>> bad = {{"--name"}, {"--name", "--dst"}, {"--nam", "x"},
        {"--dst=1"}, {"--dst", "--dst"}, {"--name", "a", "--name", "b"}, {"-n"}};
    for (const auto& args : bad)
        EXPECT_NE(parser.parse(args, positionals), "") << args.front();
}

TEST(Json, NumbersReadBackToTheSameDoubleAndStringsAreEscaped)
{
    const double values[] = {0.1, 1.0 / 3, 2447893.2083333335, 360.0, std::nextafter(360.0, 0.0), 1e-300,
                             std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(),
                             -0.0, -23.4405825, 0.90001939425051334};
    for (const double value : values) {
        std::string text;
        appendJsonNumber(text, value);
        const double back = std::strtod(text.c_str(), nullptr);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(value)) << text;
    }
    std::string text;
    appendJsonNumber(text, std::nan(""));
    appendJsonString(text, "a\"b\\c\nd\x01 Zoë");
    EXPECT_EQ(text, "null\"a\\\"b\\\\c\\u000ad\\u0001 Zoë\"");
}

}  // namespace
