// The value forms of options and batch columns, the option parser and the JSON primitives.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "json.h"
#include "options.h"

namespace {

using namespace zodiara;
using namespace zodiara::cli;

struct DateRow {
    const char* text;
    bool bc;
    int year, month, day;  // expected; month 0 means refused
};

class DateForms : public testing::TestWithParam<DateRow> {};

TEST_P(DateForms, AcceptsRealDatesOnly)
{
    const DateRow row = GetParam();
    CalendarDate date{7, 7, 7};
    const std::string error = parseDate(row.text, row.bc, date);
    if (row.month == 0) {
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(+date.year, 7) << "a refused date must leave the output alone";
    } else {
        ASSERT_EQ(error, "");
        EXPECT_EQ(+date.year, row.year);
        EXPECT_EQ(+date.month, row.month);
        EXPECT_EQ(+date.day, row.day);
    }
}

INSTANTIATE_TEST_SUITE_P(Calendar, DateForms, testing::Values(
    DateRow{"1990-01-01", false, 1990, 1, 1},
    DateRow{"2000-02-29", false, 2000, 2, 29},     // Gregorian leap century
    DateRow{"1900-02-29", false, 0, 0, 0},         // not a leap year
    DateRow{"1500-02-29", false, 1500, 2, 29},     // Julian rule before the reform
    DateRow{"1582-10-04", false, 1582, 10, 4},
    DateRow{"1582-10-05", false, 0, 0, 0},         // skipped by the reform
    DateRow{"1582-10-14", false, 0, 0, 0},
    DateRow{"1582-10-15", false, 1582, 10, 15},
    DateRow{"0044-03-15", true, 44, 3, 15},        // the entered year stays positive
    DateRow{"0001-02-29", true, 1, 2, 29},         // 1 BC is astronomical year 0, a leap year
    DateRow{"0002-02-29", true, 0, 0, 0},
    DateRow{"0000-01-01", false, 0, 0, 0},         // no year 0
    DateRow{"1990-13-01", false, 0, 0, 0},
    DateRow{"1990-04-31", false, 0, 0, 0},
    DateRow{"1990-1-1", false, 1990, 1, 1},
    DateRow{"1990/01/01", false, 0, 0, 0},
    DateRow{"1990-01-01-01", false, 0, 0, 0},
    DateRow{"-44-03-15", false, 0, 0, 0},
    DateRow{"19900-01-01", false, 0, 0, 0},
    DateRow{"", false, 0, 0, 0}));

TEST(TimeForms, RangesAndForms)
{
    TimeOfDay time;
    EXPECT_EQ(parseTime("23:59:59", time), "");
    EXPECT_EQ(+time.hour, 23);
    EXPECT_EQ(+time.second, 59);
    EXPECT_EQ(parseTime("7:05", time), "");
    EXPECT_EQ(+time.hour, 7);
    EXPECT_EQ(+time.minute, 5);
    EXPECT_EQ(+time.second, 0);
    for (const char* bad : {"24:00", "12:60", "12:00:60", "12", "12:00:00:00", "a:00", "12:-1", ":", ""})
        EXPECT_NE(parseTime(bad, time), "") << bad;
}

TEST(ZoneForms, IndexOrAbbreviationAsAWholeWord)
{
    const std::pair<const char*, int> good[] = {
        {"0", 0}, {"28", 28}, {"EST", 6}, {"est", 6}, {"NST", 4}, {"IT", 25}, {"IST", 22}, {"CET", 28}};
    for (const auto& [text, index] : good) {
        std::int32_t zone = -1;
        EXPECT_EQ(parseZone(text, zone), "") << text;
        EXPECT_EQ(zone, index) << text;
    }
    for (const char* bad : {"29", "-1", "ST", "EST,", "Eastern", "", "6a"}) {
        std::int32_t zone = -1;
        EXPECT_NE(parseZone(bad, zone), "") << bad;
        EXPECT_EQ(zone, -1) << bad;
    }
}

TEST(PlaceForms, LongitudeAndLatitudeLimits)
{
    GeoAngle angle;
    EXPECT_EQ(parseLongitude("74W00", angle), "");
    EXPECT_EQ(+angle.degrees, 74);
    EXPECT_EQ(+angle.direction, West);
    EXPECT_EQ(parseLongitude("180e00", angle), "");
    EXPECT_EQ(+angle.direction, East);
    EXPECT_EQ(parseLatitude("40N43", angle), "");
    EXPECT_EQ(+angle.minutes, 43);
    EXPECT_EQ(parseLatitude("90S00", angle), "");
    EXPECT_EQ(+angle.direction, South);
    for (const char* bad : {"181W00", "180W01", "74W60", "74N00", "74W", "W00", "1000W00", "74W000"})
        EXPECT_NE(parseLongitude(bad, angle), "") << bad;
    for (const char* bad : {"91N00", "90N01", "40N60", "40E00", "100N00"})
        EXPECT_NE(parseLatitude(bad, angle), "") << bad;
}

TEST(BirthArgsTest, AbsentFieldsTakeThisMomentAndTheStartUpPlace)
{
    const Moment now{{.year = 2024, .day = 29, .month = 2}, {21, 15, 7, 0}};
    Chart chart;
    ASSERT_EQ(birthChartFrom({}, now, chart), "");
    EXPECT_EQ(+chart.birthDate.year, 2024);
    EXPECT_EQ(+chart.birthDate.month, 2);
    EXPECT_EQ(+chart.birthDate.day, 29);
    EXPECT_EQ(+chart.localTime.hour, 21);
    EXPECT_EQ(+chart.localTime.second, 7);
    EXPECT_EQ(+chart.zone, 6);
    EXPECT_EQ(+chart.longitude.degrees, 49);
    EXPECT_EQ(+chart.longitude.direction, West);
    EXPECT_EQ(+chart.latitude.degrees, 24);
    EXPECT_EQ(+chart.latitude.direction, North);
    EXPECT_EQ(+chart.beforeChrist, 0);
}

TEST(BirthArgsTest, TextsAreStoredAsWindows1252OrRefused)
{
    const Moment now{{.year = 2024, .day = 1, .month = 1}, {0, 0, 0, 0}};
    Chart chart;
    BirthArgs args;
    args.name = "Zoë";
    ASSERT_EQ(birthChartFrom(args, now, chart), "");
    EXPECT_EQ(std::string(chart.name), "Zo\xEB");

    const std::string fortyNine(49, 'x');
    args.name = fortyNine;
    EXPECT_EQ(birthChartFrom(args, now, chart), "");
    const std::string fifty(50, 'y');
    args.name = fifty;
    EXPECT_NE(birthChartFrom(args, now, chart), "");
    EXPECT_EQ(std::string(chart.name), fortyNine) << "a refused chart must leave the chart alone";
    args.name = "日本";
    EXPECT_NE(birthChartFrom(args, now, chart), "");
    args.name = "\xFF\xFE";
    EXPECT_NE(birthChartFrom(args, now, chart), "");
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
    EXPECT_EQ(name, "Ann");
    EXPECT_TRUE(flag);
    EXPECT_EQ(positionals, (std::vector<std::string_view>{"a", "--b"}));

    const std::vector<std::vector<std::string_view>> bad = {
        {"--name"}, {"--name", "--dst"}, {"--nam", "x"}, {"--dst=1"}, {"--dst", "--dst"},
        {"--name", "a", "--name", "b"}, {"-n"}};
    for (const auto& args : bad)
        EXPECT_NE(parser.parse(args, positionals), "") << args.front();
}

TEST(JsonNumbers, ReadBackToTheSameDouble)
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
    EXPECT_EQ(text, "null");
}

TEST(JsonStrings, EscapeWhatJsonForbids)
{
    std::string text;
    appendJsonString(text, "a\"b\\c\nd\x01 Zoë");
    EXPECT_EQ(text, "\"a\\\"b\\\\c\\u000ad\\u0001 Zoë\"");
}

}  // namespace
