// The rules a birth must meet to become a chart, the same for the dialog, compute and batch.
#pragma once

#include <optional>
#include <string_view>

#include "chart/chart.h"

namespace zodiara {

enum class BirthField { Name, Place, Date, Time, Zone, Longitude, Latitude };

enum class BirthRule {
    TextNotUtf8,           // malformed UTF-8
    TextNotWindows1252,    // a character a chart file cannot store
    TextControlCharacter,  // a byte below 0x20, or 0x7F
    TextTooLong,           // more than ChartTextMaxChars characters
    NoSuchMonth,           // month outside 1..12
    NoSuchDay,             // day outside 1..31
    NoYearZero,            // year below 1
    ReformGap,             // 1582 October 5..14
    DayBeyondMonth,        // beyond the days of the month in its year and calendar
    HourRange,             // outside 0..23
    MinuteRange,           // outside 0..59
    SecondRange,           // outside 0..59
    NoSuchZone,            // outside the zone table
    MinutesRange,          // minutes of arc outside 0..59
    BeyondLimit,           // negative degrees, or beyond 180°00' (longitude) or 90°00' (latitude)
};

struct BirthRefusal {
    BirthField field;
    BirthRule rule;
};

// The first rule `birth` breaks, fields taken in the order of BirthField; nothing when it can
// become a chart.
[[nodiscard]] std::optional<BirthRefusal> birthRefusal(const BirthData& birth);

}  // namespace zodiara
