#include "cli/options.h"

#include <algorithm>
#include <charconv>

#include "chart/birthrules.h"
#include "chart/text1252.h"
#include "chart/zoneclock.h"

namespace zodiara::cli {

namespace {

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A run of 1..maxDigits decimal digits and nothing else.
bool readDigits(std::string_view text, std::size_t maxDigits, int& value)
{
    if (text.empty() || text.size() > maxDigits)
        return false;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return true;
}

// Splits "a<sep>b<sep>c" into at most `maxParts` parts; false when there are more.
bool splitParts(std::string_view text, char sep, std::size_t maxParts, std::vector<std::string_view>& parts)
{
    parts.clear();
    for (;;) {
        const auto at = text.find(sep);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return true;
        if (parts.size() == maxParts)
            return false;
        text.remove_prefix(at + 1);
    }
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upper(x) == upper(y); });
}

std::string parseGeoAngle(std::string_view text, std::string_view what, std::size_t degreeDigits, char positive,
                          char negative, CompassDirection positiveDir, CompassDirection negativeDir, GeoAngle& angle)
{
    const std::string form = what == "longitude" ? "DDD(E|W)MM, such as 74W00" : "DD(N|S)MM, such as 40N43";
    const auto letterAt = text.find_first_not_of("0123456789");
    int degrees = 0;
    int minutes = 0;
    if (letterAt == std::string_view::npos || !readDigits(text.substr(0, letterAt), degreeDigits, degrees)
        || !readDigits(text.substr(letterAt + 1), 2, minutes))
        return std::string(what) + " " + quoted(text) + " is not in the form " + form;
    const char letter = upper(text[letterAt]);
    if (letter != positive && letter != negative)
        return std::string(what) + " " + quoted(text) + " is not in the form " + form;
    angle.degrees = std::int16_t(degrees);
    angle.minutes = std::int16_t(minutes);
    angle.direction = letter == positive ? positiveDir : negativeDir;
    return {};
}

}  // namespace

std::string parseDate(std::string_view text, CalendarDate& date)
{
    std::vector<std::string_view> parts;
    int year = 0;
    int month = 0;
    int day = 0;
    if (!splitParts(text, '-', 3, parts) || parts.size() != 3 || !readDigits(parts[0], 4, year)
        || !readDigits(parts[1], 2, month) || !readDigits(parts[2], 2, day))
        return "date " + quoted(text) + " is not in the form YYYY-MM-DD";
    date.year = year;
    date.month = std::int8_t(month);
    date.day = std::int8_t(day);
    return {};
}

std::string parseTime(std::string_view text, TimeOfDay& time)
{
    std::vector<std::string_view> parts;
    int values[3] = {0, 0, 0};
    if (!splitParts(text, ':', 3, parts) || parts.size() < 2)
        return "time " + quoted(text) + " is not in the form HH:MM or HH:MM:SS";
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (!readDigits(parts[i], 2, values[i]))
            return "time " + quoted(text) + " is not in the form HH:MM or HH:MM:SS";
    time = TimeOfDay{values[0], values[1], values[2]};
    return {};
}

std::string parseZone(std::string_view text, std::int32_t& zone)
{
    int index = 0;
    if (readDigits(text, 3, index)) {
        zone = index;
        return {};
    }
    for (int i = 0; i < ZoneCount; ++i) {
        if (equalsIgnoringCase(zoneAbbreviation(i), text)) {
            zone = i;
            return {};
        }
    }
    return "unknown time zone " + quoted(text) + ": give 0.." + std::to_string(ZoneCount - 1)
           + " or an abbreviation such as EST";
}

std::string parseLongitude(std::string_view text, GeoAngle& angle)
{
    return parseGeoAngle(text, "longitude", 3, 'E', 'W', East, West, angle);
}

std::string parseLatitude(std::string_view text, GeoAngle& angle)
{
    return parseGeoAngle(text, "latitude", 2, 'N', 'S', North, South, angle);
}

std::string parseFlag(std::string_view text, bool& flag)
{
    if (text != "0" && text != "1")
        return "flag " + quoted(text) + " must be 0 or 1";
    flag = text == "1";
    return {};
}

std::string parseEphemeris(std::string_view text, Ephemeris& ephemeris)
{
    const std::optional<Ephemeris> parsed = ephemerisFromName(text);
    if (!parsed)
        return "ephemeris \"" + std::string(text) + "\" is neither classic nor precise";
    ephemeris = *parsed;
    return {};
}

namespace {

// The message of a refused birth, naming the argument or column as it was given.
std::string refusalText(const BirthRefusal& refusal, const BirthArgs& args, const BirthData& birth)
{
    const auto given = [](const std::optional<std::string_view>& value) { return quoted(value.value_or("")); };
    const bool isName = refusal.field == BirthField::Name;
    const std::string text = isName ? "name" : "place";
    const std::string date = "date " + given(args.date);
    const std::string time = "time " + given(args.time);
    const bool isLongitude = refusal.field == BirthField::Longitude;
    const std::string angle = isLongitude ? "longitude " + given(args.lon) : "latitude " + given(args.lat);
    if (refusal.field == BirthField::Date && !args.date)
        return "today's date does not exist in the years before Christ";
    switch (refusal.rule) {
    case BirthRule::TextNotUtf8: return text + " is not valid UTF-8 text";
    case BirthRule::TextNotWindows1252:
        return text + " " + given(isName ? args.name : args.place)
               + " holds a character a chart cannot store (chart texts are Western European, Windows-1252)";
    case BirthRule::TextControlCharacter:  // not quoted: it would break the line
        return text + " holds a control character (a tab, line break, escape or the like), which a chart cannot hold";
    case BirthRule::TextTooLong:
        return text + " " + given(isName ? args.name : args.place) + " is too long: a chart holds at most "
               + std::to_string(ChartTextMaxChars) + " characters";
    case BirthRule::NoSuchMonth: return date + ": month " + std::to_string(birth.birthDate.month) + " does not exist";
    case BirthRule::NoYearZero: return date + ": there is no year 0 (1 BC is followed by AD 1)";
    case BirthRule::ReformGap: return date + " does not exist: the calendar reform went from 1582-10-04 to 1582-10-15";
    case BirthRule::NoSuchDay:
    case BirthRule::DayBeyondMonth: return date + (args.bc ? " BC" : "") + " does not exist";
    case BirthRule::HourRange: return time + ": hour " + std::to_string(birth.localTime.hour) + " is not within 0..23";
    case BirthRule::MinuteRange:
        return time + ": minute " + std::to_string(birth.localTime.minute) + " is not within 0..59";
    case BirthRule::SecondRange:
        return time + ": second " + std::to_string(birth.localTime.second) + " is not within 0..59";
    case BirthRule::NoSuchZone:
        return "zone " + std::to_string(birth.zone) + " does not exist: give 0.." + std::to_string(ZoneCount - 1)
               + " or an abbreviation such as EST";
    case BirthRule::MinutesRange: return angle + ": minutes must be 0..59";
    case BirthRule::BeyondLimit: return angle + " is beyond " + (isLongitude ? "180" : "90") + "°00'";
    }
    return "the birth cannot be taken";
}

}  // namespace

std::string birthDataFrom(const BirthArgs& args, std::chrono::sys_seconds now, BirthData& out)
{
    std::string error;
    BirthData birth;
    birth.zone = DefaultZone;
    birth.longitude = DefaultLongitude;
    if (args.zone && !(error = parseZone(*args.zone, birth.zone)).empty())
        return error;
    // Local mean time needs the longitude for its clock; a bad one is refused below, in its turn.
    if (args.lon)
        (void)parseLongitude(*args.lon, birth.longitude);
    // A zone that does not exist is refused below; what its clock would show does not matter.
    const ZoneClock clock =
        zoneClockAt(now, birth.zone >= 0 && birth.zone < ZoneCount ? birth.zone : 0, args.dst, birth.longitude);
    birth.name = args.name.value_or("");
    birth.place = args.place.value_or("");
    birth.birthDate = clock.date;
    birth.beforeChrist = args.bc;
    birth.localTime = clock.time;
    birth.daylightSaving = args.dst;
    birth.latitude = DefaultLatitude;
    if (args.date && !(error = parseDate(*args.date, birth.birthDate)).empty())
        return error;
    if (args.time && !(error = parseTime(*args.time, birth.localTime)).empty())
        return error;
    if (args.lon && !(error = parseLongitude(*args.lon, birth.longitude)).empty())
        return error;
    if (args.lat && !(error = parseLatitude(*args.lat, birth.latitude)).empty())
        return error;
    if (const std::optional<BirthRefusal> refusal = birthRefusal(birth))
        return refusalText(*refusal, args, birth);
    out = std::move(birth);
    return {};
}

void OptionParser::addValue(std::string_view name, ValueHandler handler)
{
    m_options.push_back({std::string(name), std::move(handler), {}});
}

void OptionParser::addFlag(std::string_view name, FlagHandler handler)
{
    m_options.push_back({std::string(name), {}, std::move(handler)});
}

std::string OptionParser::parse(std::span<const std::string_view> args,
                                std::vector<std::string_view>& positionals) const
{
    std::vector<const Option*> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--") {
            positionals.insert(positionals.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
            break;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            positionals.push_back(arg);
            continue;
        }
        if (arg[1] != '-')
            return "unknown option " + std::string(arg);
        const auto eq = arg.find('=');
        const std::string_view name = arg.substr(2, eq == std::string_view::npos ? std::string_view::npos : eq - 2);
        const auto option =
            std::find_if(m_options.begin(), m_options.end(), [&](const Option& o) { return o.name == name; });
        if (option == m_options.end())
            return "unknown option --" + std::string(name);
        if (std::find(seen.begin(), seen.end(), &*option) != seen.end())
            return "option --" + std::string(name) + " is given twice";
        seen.push_back(&*option);
        if (option->onFlag) {
            if (eq != std::string_view::npos)
                return "option --" + std::string(name) + " takes no value";
            option->onFlag();
            continue;
        }
        std::string_view value;
        if (eq != std::string_view::npos) {
            value = arg.substr(eq + 1);
        } else {
            if (i + 1 == args.size() || args[i + 1].starts_with("--"))
                return "option --" + std::string(name) + " needs a value";
            value = args[++i];
        }
        if (std::string error = option->onValue(value); !error.empty())
            return error;
    }
    return {};
}

}  // namespace zodiara::cli
