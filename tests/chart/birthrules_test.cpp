// The birth rules every way in shares: each row changes one field of a good birth.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "chart/birthrules.h"

using namespace zodiara;

namespace {

using F = BirthField;
using R = BirthRule;

using Change = std::function<void(BirthEntry&)>;

struct RuleCase {
    const char* label;
    Change change;
    std::optional<std::pair<F, R>> refusal;  // none: the birth is taken
};

const std::string FortyNine(49, 'x'), Fifty(50, 'x');
const std::string FortyNineAndEuro = FortyNine.substr(1) + "\u20ac";  // 49 characters, 51 bytes
const std::string FortyNineAndTwo = FortyNine + "\u20ac";

RuleCase good(const char* label, Change change) { return {label, std::move(change), {}}; }
RuleCase bad(const char* label, F field, R rule, Change c) { return {label, std::move(c), std::pair(field, rule)}; }

class BirthRules : public testing::TestWithParam<RuleCase> {};

TEST_P(BirthRules, RefuseWhatNoChartCanHold)
{
    // 15 March 1998, 14:05:37 EST, 71W04 42N21.
    BirthEntry birth{"Ada", "Boston", {1998, 15, 3}, false, {14, 5, 37, 0}, 6, {71, 4, West}, {42, 21, North}};
    GetParam().change(birth);
    const std::optional<BirthRefusal> refusal = birthRefusal(birth);
    EXPECT_EQ(refusal ? std::optional(std::pair(refusal->field, refusal->rule)) : std::nullopt, GetParam().refusal);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, BirthRules, testing::Values(
    good("FortyNineCharacters", [](BirthEntry& b) { b.name = FortyNine; b.place = FortyNineAndEuro; }),
    good("LeapDay2000", [](BirthEntry& b) { b.date = {2000, 29, 2}; }),
    good("LeapDayOneBC", [](BirthEntry& b) { b.date = {1, 29, 2}; b.beforeChrist = true; }),
    good("FirstDayOfTheReform", [](BirthEntry& b) { b.date = {1582, 15, 10}; }),
    good("October1582BC", [](BirthEntry& b) { b.date = {1582, 10, 10}; b.beforeChrist = true; }),
    good("LastSecondOfTheDay", [](BirthEntry& b) { b.time = {23, 59, 59, 0}; }),
    good("AnglesAtTheirLimits", [](BirthEntry& b) { b.longitude = {180, 0, East}; b.latitude = {90, 0, South}; }),
    bad("NameWithNul", F::Name, R::TextControlCharacter, [](BirthEntry& b) { b.name = std::string_view("A\0B", 3); }),
    bad("PlaceWithDelete", F::Place, R::TextControlCharacter, [](BirthEntry& b) { b.place = "Boston\x7f"; }),
    bad("PlaceOfFiftyCharacters", F::Place, R::TextTooLong, [](BirthEntry& b) { b.place = FortyNineAndTwo; }),
    bad("NameInJapanese", F::Name, R::TextNotWindows1252, [](BirthEntry& b) { b.name = "\u65e5\u672c"; }),
    bad("NameNotUtf8", F::Name, R::TextNotUtf8, [](BirthEntry& b) { b.name = "\xff\xfe"; }),
    bad("MonthZero", F::Date, R::NoSuchMonth, [](BirthEntry& b) { b.date.month = 0; }),
    bad("DayZero", F::Date, R::NoSuchDay, [](BirthEntry& b) { b.date.day = 0; }),
    bad("YearZero", F::Date, R::NoYearZero, [](BirthEntry& b) { b.date.year = 0; }),
    bad("October5_1582", F::Date, R::ReformGap, [](BirthEntry& b) { b.date = {1582, 5, 10}; }),
    bad("NoLeapDay1900", F::Date, R::DayBeyondMonth, [](BirthEntry& b) { b.date = {1900, 29, 2}; }),
    bad("Hour24", F::Time, R::HourRange, [](BirthEntry& b) { b.time.hour = 24; }),
    bad("Minute60", F::Time, R::MinuteRange, [](BirthEntry& b) { b.time.minute = 60; }),
    bad("Second60", F::Time, R::SecondRange, [](BirthEntry& b) { b.time.second = 60; }),
    bad("Zone29", F::Zone, R::NoSuchZone, [](BirthEntry& b) { b.zone = 29; }),
    bad("LongitudeMinutes60", F::Longitude, R::MinutesRange, [](BirthEntry& b) { b.longitude.minutes = 60; }),
    bad("Longitude180_01", F::Longitude, R::BeyondLimit, [](BirthEntry& b) { b.longitude = {180, 1, West}; }),
    bad("LongitudeNegative", F::Longitude, R::BeyondLimit, [](BirthEntry& b) { b.longitude.degrees = -1; }),
    bad("LatitudeMinutesNegative", F::Latitude, R::MinutesRange, [](BirthEntry& b) { b.latitude.minutes = -1; }),
    bad("Latitude90_01", F::Latitude, R::BeyondLimit, [](BirthEntry& b) { b.latitude = {90, 1, North}; }),
    bad("NameBeforeDate", F::Name, R::TextTooLong, [](BirthEntry& b) { b.name = Fifty; b.date.day = 0; })),
    [](const testing::TestParamInfo<RuleCase>& info) { return info.param.label; });
// clang-format on

}  // namespace
