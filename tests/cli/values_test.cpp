// The value forms of options and batch columns, the option parser, the JSON texts and the batch's
// progress line.
// The birth rules behind the forms have their own tests in tests/chart.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "cli/json.h"
#include "cli/options.h"
#include "cli/progress.h"

namespace {

using namespace zodiara;
using namespace zodiara::cli;

// A birth's fields, in the order of BirthArgs: date, BC, time, zone, longitude, latitude.
auto birth(const BirthData& c)
{
    return std::tuple(c.birthDate.year, int(c.birthDate.month), int(c.birthDate.day), int(c.beforeChrist),
                      c.localTime.hour, c.localTime.minute, c.localTime.second, c.zone, int(c.longitude.degrees),
                      int(c.longitude.minutes), c.longitude.direction, int(c.latitude.degrees), int(c.latitude.minutes),
                      c.latitude.direction);
}

TEST(BirthArgsTest, DefaultsFormsAndRefusals)
{
    // 2024-02-29 21:15:07 in EST.
    const std::chrono::sys_seconds now = std::chrono::sys_days(std::chrono::year(2024) / 3 / 1) + std::chrono::hours(2)
                                         + std::chrono::minutes(15) + std::chrono::seconds(7);
    BirthData chart;
    // Absent fields take this moment on the start-up zone's clock and the start-up place.
    ASSERT_EQ(birthDataFrom({}, now, chart), "");
    EXPECT_EQ(birth(chart), std::tuple(2024, 2, 29, 0, 21, 15, 7, 6, 49, 0, West, 24, 0, North));
    // Fields: name, place, date, time, zone, lon, lat, dst, bc. The clock is that of the chart's zone, an hour
    // on with daylight saving (02:15:07 UT is 23:45 in NST).
    ASSERT_EQ(birthDataFrom({"Zoë", {}, {}, {}, "NST", {}, {}, true, false}, now, chart), "");
    EXPECT_EQ(birth(chart), std::tuple(2024, 2, 29, 0, 23, 45, 7, 4, 49, 0, West, 24, 0, North));
    EXPECT_EQ(chart.name, "Zoë");
    // Abbreviations in any case, the first in table order winning; leap years before the reform are
    // Julian; a BC year stays as entered, and the rules see it as BC: 1 BC is a leap year.
    BirthArgs args{{}, {}, "1500-2-29", "7:05", "nst", "180e00", "90S00", false, false};
    ASSERT_EQ(birthDataFrom(args, now, chart), "");
    EXPECT_EQ(birth(chart), std::tuple(1500, 2, 29, 0, 7, 5, 0, 4, 180, 0, East, 90, 0, South));
    args = {{}, {}, "0001-02-29", "23:59:59", "28", "74W00", "40N43", false, true};
    ASSERT_EQ(birthDataFrom(args, now, chart), "");
    EXPECT_EQ(birth(chart), std::tuple(1, 2, 29, 1, 23, 59, 59, 28, 74, 0, West, 40, 43, North));

    // clang-format off
    const std::pair<std::optional<std::string_view> BirthArgs::*, const char*> bad[] = {
        {&BirthArgs::date, "0000-01-01"}, {&BirthArgs::date, "1900-02-29"}, {&BirthArgs::date, "1990/01/01"},
        {&BirthArgs::date, "1990-01-01-01"}, {&BirthArgs::date, "19900-01-01"},
        {&BirthArgs::time, "24:00"}, {&BirthArgs::time, "12"}, {&BirthArgs::time, "12:00:00:00"}, {&BirthArgs::time, "a:00"},
        {&BirthArgs::zone, "42"}, {&BirthArgs::zone, "ST"}, {&BirthArgs::name, "Ann\nEve"}, {&BirthArgs::place, "\xff"},
        {&BirthArgs::lon, "181W00"}, {&BirthArgs::lon, "74N00"}, {&BirthArgs::lon, "74W"}, {&BirthArgs::lon, "1000W00"},
        {&BirthArgs::lat, "40E00"}, {&BirthArgs::lat, "100N00"}};
    // clang-format on
    for (const auto& [option, text] : bad) {
        BirthArgs one;
        one.*option = text;
        EXPECT_NE(birthDataFrom(one, now, chart), "") << text;
        EXPECT_EQ(birth(chart), std::tuple(1, 2, 29, 1, 23, 59, 59, 28, 74, 0, West, 40, 43, North))
            << "a refusal must leave the birth alone: " << text;
    }
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

// Numbers are pinned by the golden JSON of the reference chart.
TEST(Json, NotANumberIsNullAndStringsAreEscaped)
{
    std::string text;
    appendJsonNumber(text, std::nan(""));
    appendJsonString(text, "a\"b\\c\nd\x01 Zoë");
    EXPECT_EQ(text, "null\"a\\\"b\\\\c\\u000ad\\u0001 Zoë\"");
}

TEST(Progress, SaysRowsRateShareAndTimeLeft)
{
    // Fields: rows, seconds, bytes done, bytes in all (0 for a pipe), finished.
    // clang-format off
    const std::pair<BatchProgress, const char*> rows[] = {
        {{0, 0, 0, 0, false}, "0 rows"},
        {{1, 0.5, 0, 0, false}, "1 row, 2 rows/s"},
        {{1, 0.25, 10, 100, false}, "1 row, 4 rows/s, 10%, 0:02 left"},
        {{5000, 2, 25, 100, false}, "5000 rows, 2500 rows/s, 25%, 0:06 left"},
        {{5000, 2, 0, 100, false}, "5000 rows, 2500 rows/s, 0%"},
        {{120000, 1000, 1, 4, false}, "120000 rows, 120 rows/s, 25%, 50:00 left"},
        {{120000, 1000, 1, 40, false}, "120000 rows, 120 rows/s, 2%, 10:50:00 left"},
        // A file that grew meanwhile is done, not past done.
        {{7, 1, 300, 200, false}, "7 rows, 7 rows/s, 100%, 0:00 left"},
        {{100000, 61.5, 100, 100, true}, "100000 rows, 1626 rows/s, done in 1:02"},
        {{3, 0, 0, 0, true}, "3 rows, done in 0:00"},
    };
    // clang-format on
    for (const auto& [progress, text] : rows)
        EXPECT_EQ(progressText(progress), text);
}

}  // namespace
