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

using Change = std::function<void(BirthData&)>;

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
    BirthData birth{"Ada", "Boston", {1998, 3, 15}, false, {14, 5, 37}, 6, false, {71, 4, West}, {42, 21, North}};
    GetParam().change(birth);
    const std::optional<BirthRefusal> refusal = birthRefusal(birth);
    EXPECT_EQ(refusal ? std::optional(std::pair(refusal->field, refusal->rule)) : std::nullopt, GetParam().refusal);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, BirthRules, testing::Values(
    good("FortyNineCharacters", [](BirthData& b) { b.name = FortyNine; b.place = FortyNineAndEuro; }),
    good("LeapDay2000", [](BirthData& b) { b.birthDate = {2000, 2, 29}; }),
    good("LeapDayOneBC", [](BirthData& b) { b.birthDate = {1, 2, 29}; b.beforeChrist = true; }),
    good("FirstDayOfTheReform", [](BirthData& b) { b.birthDate = {1582, 10, 15}; }),
    good("October1582BC", [](BirthData& b) { b.birthDate = {1582, 10, 10}; b.beforeChrist = true; }),
    good("LastSecondOfTheDay", [](BirthData& b) { b.localTime = {23, 59, 59}; }),
    good("AnglesAtTheirLimits", [](BirthData& b) { b.longitude = {180, 0, East}; b.latitude = {90, 0, South}; }),
    bad("NameWithNul", F::Name, R::TextControlCharacter, [](BirthData& b) { b.name = std::string("A\0B", 3); }),
    bad("PlaceWithDelete", F::Place, R::TextControlCharacter, [](BirthData& b) { b.place = "Boston\x7f"; }),
    bad("PlaceOfFiftyCharacters", F::Place, R::TextTooLong, [](BirthData& b) { b.place = FortyNineAndTwo; }),
    bad("NameInJapanese", F::Name, R::TextNotWindows1252, [](BirthData& b) { b.name = "\u65e5\u672c"; }),
    bad("NameNotUtf8", F::Name, R::TextNotUtf8, [](BirthData& b) { b.name = "\xff\xfe"; }),
    bad("MonthZero", F::Date, R::NoSuchMonth, [](BirthData& b) { b.birthDate.month = 0; }),
    bad("DayZero", F::Date, R::NoSuchDay, [](BirthData& b) { b.birthDate.day = 0; }),
    bad("YearZero", F::Date, R::NoYearZero, [](BirthData& b) { b.birthDate.year = 0; }),
    bad("October5_1582", F::Date, R::ReformGap, [](BirthData& b) { b.birthDate = {1582, 10, 5}; }),
    bad("NoLeapDay1900", F::Date, R::DayBeyondMonth, [](BirthData& b) { b.birthDate = {1900, 2, 29}; }),
    bad("Hour24", F::Time, R::HourRange, [](BirthData& b) { b.localTime.hour = 24; }),
    bad("Minute60", F::Time, R::MinuteRange, [](BirthData& b) { b.localTime.minute = 60; }),
    bad("Second60", F::Time, R::SecondRange, [](BirthData& b) { b.localTime.second = 60; }),
    bad("Zone42", F::Zone, R::NoSuchZone, [](BirthData& b) { b.zone = 42; }),
    bad("LongitudeMinutes60", F::Longitude, R::MinutesRange, [](BirthData& b) { b.longitude.minutes = 60; }),
    bad("Longitude180_01", F::Longitude, R::BeyondLimit, [](BirthData& b) { b.longitude = {180, 1, West}; }),
    bad("LongitudeNegative", F::Longitude, R::BeyondLimit, [](BirthData& b) { b.longitude.degrees = -1; }),
    bad("LatitudeMinutesNegative", F::Latitude, R::MinutesRange, [](BirthData& b) { b.latitude.minutes = -1; }),
    bad("Latitude90_01", F::Latitude, R::BeyondLimit, [](BirthData& b) { b.latitude = {90, 1, North}; }),
    bad("NameBeforeDate", F::Name, R::TextTooLong, [](BirthData& b) { b.name = Fifty; b.birthDate.day = 0; })),
    [](const testing::TestParamInfo<RuleCase>& info) { return info.param.label; });
// clang-format on

}  // namespace
