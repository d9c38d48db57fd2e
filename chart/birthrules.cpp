#include "chart/birthrules.h"

#include <algorithm>

#include "chart/calendar.h"
#include "chart/text1252.h"

namespace zodiara {

namespace {

std::optional<BirthRule> textRule(std::string_view utf8)
{
    const std::optional<std::string> bytes = windows1252FromUtf8(utf8);
    if (!bytes)
        return isValidUtf8(utf8) ? BirthRule::TextNotWindows1252 : BirthRule::TextNotUtf8;
    // They would reach the report, the JSON and the drawing as they are.
    const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
    if (std::any_of(bytes->begin(), bytes->end(), control))
        return BirthRule::TextControlCharacter;
    if (bytes->size() > static_cast<std::size_t>(ChartTextMaxChars))
        return BirthRule::TextTooLong;
    return std::nullopt;
}

std::optional<BirthRule> dateRule(const CalendarDate& date, bool beforeChrist)
{
    if (date.month < 1 || date.month > 12)
        return BirthRule::NoSuchMonth;
    if (date.day < 1 || date.day > 31)
        return BirthRule::NoSuchDay;
    if (date.year < 1)
        return BirthRule::NoYearZero;
    const int year = astronomicalYear(date.year, beforeChrist);
    if (dateExists(year, date.month, date.day))
        return std::nullopt;
    return year == 1582 && date.month == 10 ? BirthRule::ReformGap : BirthRule::DayBeyondMonth;
}

std::optional<BirthRule> timeRule(const TimeOfDay& time)
{
    if (time.hour < 0 || time.hour > 23)
        return BirthRule::HourRange;
    if (time.minute < 0 || time.minute > 59)
        return BirthRule::MinuteRange;
    if (time.second < 0 || time.second > 59)
        return BirthRule::SecondRange;
    return std::nullopt;
}

std::optional<BirthRule> angleRule(const GeoAngle& angle, int limitDegrees)
{
    if (angle.minutes < 0 || angle.minutes > 59)
        return BirthRule::MinutesRange;
    if (angle.degrees < 0 || angle.degrees * 60 + angle.minutes > limitDegrees * 60)
        return BirthRule::BeyondLimit;
    return std::nullopt;
}

}  // namespace

std::optional<BirthRefusal> birthRefusal(const BirthData& birth)
{
    const std::pair<BirthField, std::optional<BirthRule>> checks[] = {
        {BirthField::Name, textRule(birth.name)},
        {BirthField::Place, textRule(birth.place)},
        {BirthField::Date, dateRule(birth.birthDate, birth.beforeChrist)},
        {BirthField::Time, timeRule(birth.localTime)},
        {BirthField::Zone,
         birth.zone >= 0 && birth.zone < ZoneCount ? std::nullopt : std::optional(BirthRule::NoSuchZone)},
        {BirthField::Longitude, angleRule(birth.longitude, 180)},
        {BirthField::Latitude, angleRule(birth.latitude, 90)},
    };
    for (const auto& [field, rule] : checks)
        if (rule)
            return BirthRefusal{field, *rule};
    return std::nullopt;
}

}  // namespace zodiara
