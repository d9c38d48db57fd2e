#include "options.h"

#include <algorithm>
#include <charconv>

#include "calendar.h"
#include "text1252.h"
#include "zoneclock.h"

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

std::string parseGeoAngle(std::string_view text, std::string_view what, std::size_t degreeDigits, int maxDegrees,
                          char positive, char negative, CompassDirection positiveDir,
                          CompassDirection negativeDir, GeoAngle& angle)
{
    const std::string form = what == "longitude" ? "DDD(E|W)MM, such as 74W00" : "DD(N|S)MM, such as 40N43";
    const auto letterAt = text.find_first_not_of("0123456789");
    int degrees = 0;
    int minutes = 0;
    if (letterAt == std::string_view::npos
        || !readDigits(text.substr(0, letterAt), degreeDigits, degrees)
        || !readDigits(text.substr(letterAt + 1), 2, minutes))
        return std::string(what) + " " + quoted(text) + " is not in the form " + form;
    const char letter = upper(text[letterAt]);
    if (letter != positive && letter != negative)
        return std::string(what) + " " + quoted(text) + " is not in the form " + form;
    if (minutes > 59)
        return std::string(what) + " " + quoted(text) + ": minutes must be 0..59";
    if (degrees > maxDegrees || (degrees == maxDegrees && minutes > 0))
        return std::string(what) + " " + quoted(text) + " is beyond " + std::to_string(maxDegrees) + "°00'";
    angle.degrees = std::int16_t(degrees);
    angle.minutes = std::int16_t(minutes);
    angle.direction = letter == positive ? positiveDir : negativeDir;
    return {};
}

}  // namespace

std::string parseDate(std::string_view text, bool beforeChrist, CalendarDate& date)
{
    std::vector<std::string_view> parts;
    int year = 0;
    int month = 0;
    int day = 0;
    if (!splitParts(text, '-', 3, parts) || parts.size() != 3 || !readDigits(parts[0], 4, year)
        || !readDigits(parts[1], 2, month) || !readDigits(parts[2], 2, day))
        return "date " + quoted(text) + " is not in the form YYYY-MM-DD";
    if (year == 0)
        return "date " + quoted(text) + ": there is no year 0 (1 BC is followed by AD 1)";
    if (month < 1 || month > 12)
        return "date " + quoted(text) + ": month " + std::to_string(month) + " does not exist";
    if (!dateExists(astronomicalYear(year, beforeChrist), month, day)) {
        if (!beforeChrist && year == 1582 && month == 10 && day >= 5 && day <= 14)
            return "date " + quoted(text) + " does not exist: the calendar reform went from 1582-10-04 to 1582-10-15";
        return "date " + quoted(text) + (beforeChrist ? " BC" : "") + " does not exist";
    }
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
    if (values[0] > 23)
        return "time " + quoted(text) + ": hour " + std::to_string(values[0]) + " is not within 0..23";
    if (values[1] > 59)
        return "time " + quoted(text) + ": minute " + std::to_string(values[1]) + " is not within 0..59";
    if (values[2] > 59)
        return "time " + quoted(text) + ": second " + std::to_string(values[2]) + " is not within 0..59";
    time = TimeOfDay{values[0], values[1], values[2], 0};
    return {};
}

std::string parseZone(std::string_view text, std::int32_t& zone)
{
    int index = 0;
    if (readDigits(text, 3, index)) {
        if (index >= ZoneCount)
            return "zone " + std::to_string(index) + " does not exist: give 0.." + std::to_string(ZoneCount - 1)
                   + " or an abbreviation such as EST";
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
    return parseGeoAngle(text, "longitude", 3, 180, 'E', 'W', East, West, angle);
}

std::string parseLatitude(std::string_view text, GeoAngle& angle)
{
    return parseGeoAngle(text, "latitude", 2, 90, 'N', 'S', North, South, angle);
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

std::string setText(char (&field)[50], std::string_view what, std::string_view utf8)
{
    switch (setChartText(field, utf8)) {
    case SetTextResult::Ok:
        return {};
    case SetTextResult::TooLong:
        return std::string(what) + " " + quoted(utf8) + " is too long: a chart holds at most "
               + std::to_string(ChartTextMaxChars) + " characters";
    case SetTextResult::NotRepresentable:
        break;
    }
    if (!isValidUtf8(utf8))
        return std::string(what) + " is not valid UTF-8 text";
    return std::string(what) + " " + quoted(utf8)
           + " holds a character a chart cannot store (chart texts are Western European, Windows-1252)";
}

}  // namespace

std::string birthChartFrom(const BirthArgs& args, std::chrono::sys_seconds now, Chart& chart)
{
    Chart result;
    std::string error;
    if (args.name && !(error = setText(result.name, "name", *args.name)).empty())
        return error;
    if (args.place && !(error = setText(result.place, "place", *args.place)).empty())
        return error;

    std::int32_t zone = DefaultZone;
    if (args.zone && !(error = parseZone(*args.zone, zone)).empty())
        return error;
    const ZoneClock clock = zoneClockAt(now, zone, args.dst);
    CalendarDate date = clock.date;
    if (args.date && !(error = parseDate(*args.date, args.bc, date)).empty())
        return error;
    if (!args.date && !dateExists(astronomicalYear(date.year, args.bc), date.month, date.day))
        return "today's date does not exist in the years before Christ";
    TimeOfDay time = clock.time;
    if (args.time && !(error = parseTime(*args.time, time)).empty())
        return error;
    GeoAngle longitude = DefaultLongitude;
    if (args.lon && !(error = parseLongitude(*args.lon, longitude)).empty())
        return error;
    GeoAngle latitude = DefaultLatitude;
    if (args.lat && !(error = parseLatitude(*args.lat, latitude)).empty())
        return error;

    result.birthDate = date;
    result.beforeChrist = args.bc ? 1 : 0;
    result.localTime = time;
    result.zone = zone;
    result.daylightSaving = args.dst ? 1 : 0;
    result.longitude = longitude;
    result.latitude = latitude;
    chart = result;
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
        const auto option = std::find_if(m_options.begin(), m_options.end(),
                                         [&](const Option& o) { return o.name == name; });
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
