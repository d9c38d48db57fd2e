// The value forms of options and batch columns, the option parser and the JSON primitives.
// The birth rules behind the forms have their own tests in tests/chart.
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

using Option = std::optional<std::string_view> BirthArgs::*;

auto fields(const CalendarDate& d)
{
    return std::tuple(d.year, int(d.month), int(d.day));
}
auto fields(const TimeOfDay& t)
{
    return std::tuple(t.hour, t.minute, t.second);
}
auto fields(const GeoAngle& a)
{
    return std::tuple(a.degrees, a.minutes, a.direction);
}

// A value as compute and batch take it: its form, then the birth rules.
std::string take(Option option, std::string_view text, Chart& chart, bool bc = false)
{
    BirthArgs args;
    args.*option = text;
    args.bc = bc;
    return birthChartFrom(args, std::chrono::sys_days(std::chrono::year(2024) / 6 / 1), chart);
}

TEST(ValueForms, TakesEachFormAndLeavesTheChartAloneOnRefusal)
{
    Chart chart;
    EXPECT_EQ(take(&BirthArgs::date, "1990-1-1", chart), "");
    EXPECT_EQ(fields(chart.birthDate), std::tuple(1990, 1, 1));
    // A BC year stays as entered, and the rules see it as BC: 1 BC is a leap year.
    EXPECT_EQ(take(&BirthArgs::date, "0001-02-29", chart, true), "");
    EXPECT_EQ(std::tuple_cat(fields(chart.birthDate), std::tuple(chart.beforeChrist)), std::tuple(1, 2, 29, 1));
    EXPECT_EQ(take(&BirthArgs::time, "7:05", chart), "");
    EXPECT_EQ(fields(chart.localTime), std::tuple(7, 5, 0));
    // Index or abbreviation as a whole word, in any case; the first in table order wins.
    for (const auto& [text, index] : {std::pair{"28", 28}, {"est", 6}, {"NST", 4}}) {
        EXPECT_EQ(take(&BirthArgs::zone, text, chart), "") << text;
        EXPECT_EQ(+chart.zone, index) << text;
    }
    // clang-format off
    const std::tuple<Option, const char*, int, int, int> places[] = {
        {&BirthArgs::lon, "74W00", 74, 0, West},  {&BirthArgs::lon, "180e00", 180, 0, East},
        {&BirthArgs::lat, "40N43", 40, 43, North}, {&BirthArgs::lat, "90S00", 90, 0, South}};
    // clang-format on
    for (const auto& [option, text, degrees, minutes, direction] : places) {
        EXPECT_EQ(take(option, text, chart), "") << text;
        EXPECT_EQ(fields(option == &BirthArgs::lon ? chart.longitude : chart.latitude),
                  std::tuple(degrees, minutes, direction))
            << text;
    }

    // clang-format off
    const std::pair<Option, const char*> bad[] = {
        {&BirthArgs::date, "0000-01-01"}, {&BirthArgs::date, "1900-02-29"}, {&BirthArgs::date, "1990/01/01"},
        {&BirthArgs::date, "1990-01-01-01"}, {&BirthArgs::date, "19900-01-01"},
        {&BirthArgs::time, "24:00"}, {&BirthArgs::time, "12"}, {&BirthArgs::time, "12:00:00:00"}, {&BirthArgs::time, "a:00"},
        {&BirthArgs::zone, "29"}, {&BirthArgs::zone, "ST"},
        {&BirthArgs::lon, "181W00"}, {&BirthArgs::lon, "74N00"}, {&BirthArgs::lon, "74W"}, {&BirthArgs::lon, "1000W00"},
        {&BirthArgs::lat, "40E00"}, {&BirthArgs::lat, "100N00"}};
    // clang-format on
    for (const auto& [option, text] : bad) {
        EXPECT_NE(take(option, text, chart), "") << text;
        EXPECT_EQ(fields(chart.latitude), std::tuple(90, 0, South)) << "a refusal must leave the chart alone: " << text;
    }
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

    // The clock is that of the chart's zone, an hour on with daylight saving: 02:15:07 UT is 23:45:07 in NST.
    BirthArgs args;
    args.name = "Zoë";
    args.zone = "NST";
    args.dst = true;
    ASSERT_EQ(birthChartFrom(args, now, chart), "");
    EXPECT_EQ(std::tuple_cat(fields(chart.localTime), std::tuple(std::string(chart.name))),
              std::tuple(23, 45, 7, "Zo\xEB"));
}

TEST(OptionParserTest, RefusesWhatAScriptGotWrong)
{
    std::string name;
    bool flag = false;
    OptionParser parser;
    parser.addValue("name", [&](std::string_view v) {
        name = v;
        return std::string();
    });
    parser.addFlag("dst", [&] { flag = true; });
    std::vector<std::string_view> positionals;

    const std::string_view good[] = {"a", "--name=Ann", "--dst", "--", "--b"};
    ASSERT_EQ(parser.parse(good, positionals), "");
    EXPECT_EQ(std::tuple(name, flag, positionals), std::tuple("Ann", true, std::vector<std::string_view>{"a", "--b"}));

    const std::vector<std::vector<std::string_view>> bad = {{"--name"},  {"--name", "--dst"}, {"--nam", "x"},
                                                            {"--dst=1"}, {"--dst", "--dst"},  {"-n"}};
    for (const auto& args : bad)
        EXPECT_NE(parser.parse(args, positionals), "") << args.front();
}

TEST(Json, NumbersReadBackToTheSameDoubleAndStringsAreEscaped)
{
    for (const double value : {0.1, 2447893.2083333335, std::numeric_limits<double>::denorm_min(), -0.0}) {
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
