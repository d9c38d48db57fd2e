#include "cli/report.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <span>

#include "chart/calendar.h"
#include "chart/text1252.h"

namespace zodiara::cli {

namespace {

// Integers and texts only: printf's reals follow the locale, which a drawing run changes.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void appendf(std::string& out, const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n <= 0)
        return;
    if (std::size_t(n) < sizeof buffer) {
        out.append(buffer, std::size_t(n));
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + std::size_t(n) + 1);
    va_start(args, format);
    std::vsnprintf(out.data() + start, std::size_t(n) + 1, format, args);
    va_end(args);
    out.resize(start + std::size_t(n));
}

// A real with `decimals` digits after the point, right-aligned in `width`; never a decimal comma,
// never cut short (a stored chart's double may have 309 digits).
void appendFixed(std::string& out, double value, int decimals, std::size_t width = 0)
{
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    const std::string_view text = error == std::errc() ? std::string_view(buffer, std::size_t(end - buffer)) : "?";
    if (text.size() < width)
        out.append(width - text.size(), ' ');
    out += text;
}

// A table index read from a file is checked on reading, but the report never trusts it.
std::string_view nameAt(std::span<const std::string_view> names, long index)
{
    return index >= 0 && std::size_t(index) < names.size() ? names[std::size_t(index)] : "?";
}

void appendLabel(std::string& out, const char* label) { appendf(out, "%-22s", label); }

void appendTimeOfDay(std::string& out, const TimeOfDay& time)
{
    appendf(out, "%02d:%02d:%02d", time.hour, time.minute, time.second);
}

void appendPosition(std::string& out, Sign sign, int degrees, int minutes)
{
    appendf(out, "%-11.*s %2d°%02d'", int(signName(sign).size()), signName(sign).data(), degrees, minutes);
}

void appendDateLine(std::string& out, const CalendarDate& date, bool beforeChrist)
{
    const int year = astronomicalYear(date.year, beforeChrist);
    if (dateExists(year, date.month, date.day)) {
        const auto day = nameAt(WeekdayNames, weekday(year, date.month, date.day));
        appendf(out, "%.*s, ", int(day.size()), day.data());
    }
    const auto month = monthName(date.month - 1);
    appendf(out, "%d %.*s %d%s\n", date.day, int(month.size()), month.data(), date.year, beforeChrist ? " BC" : "");
}

}  // namespace

void appendVisible(std::string& out, std::string_view text)
{
    static constexpr char Hex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // C1 controls, U+0080..U+009F, are 0xc2 0x80..0x9f.
        const bool c1 = byte == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xa0
                        && static_cast<unsigned char>(text[i + 1]) >= 0x80;
        if (byte < 0x20 || byte == 0x7f) {
            out += {'\\', 'x', Hex[byte >> 4], Hex[byte & 15]};
        } else if (c1) {
            const auto code = static_cast<unsigned char>(text[++i]);
            out += {'\\', 'u', '0', '0', Hex[code >> 4], Hex[code & 15]};
        } else if (byte == '\\') {
            out += "\\\\";
        } else {
            out += text[i];
        }
    }
}

void appendChartReport(std::string& out, const Chart& chart, const DerivedTables& tables,
                       std::optional<Computation> computation)
{
    const BirthData& birth = chart.birth;
    const ChartTimes& times = chart.times;
    const ChartAngles& angles = chart.angles;
    appendLabel(out, "Name:");
    appendVisible(out, birth.name);
    out += '\n';
    appendLabel(out, "Place:");
    appendVisible(out, birth.place);
    out += '\n';
    appendLabel(out, "Birth date:");
    appendDateLine(out, birth.birthDate, birth.beforeChrist);
    appendLabel(out, "Local time:");
    appendTimeOfDay(out, birth.localTime);
    out += birth.daylightSaving ? " daylight-saving time\n" : " standard time\n";
    appendLabel(out, "Time zone:");
    const auto zone = nameAt(TimeZoneNames, birth.zone);
    appendf(out, "%d  %.*s\n", birth.zone, int(zone.size()), zone.data());
    appendLabel(out, "Longitude:");
    appendf(out, "%d°%02d' %c\n", birth.longitude.degrees, birth.longitude.minutes,
            compassLetter(birth.longitude.direction));
    appendLabel(out, "Latitude:");
    appendf(out, "%d°%02d' %c\n", birth.latitude.degrees, birth.latitude.minutes,
            compassLetter(birth.latitude.direction));

    out += '\n';
    appendLabel(out, "Universal Time:");
    appendf(out, "%d-%02d-%02d ", times.utDate.year, times.utDate.month, times.utDate.day);
    appendTimeOfDay(out, times.universalTime);
    out += '\n';
    appendLabel(out, "Sidereal time:");
    appendTimeOfDay(out, times.siderealTime);
    out += '\n';
    appendLabel(out, "Local sidereal time:");
    appendTimeOfDay(out, times.localSiderealTime);
    out += '\n';
    appendLabel(out, "Julian date:");
    appendFixed(out, times.julianDate, 6);
    out += '\n';
    appendLabel(out, "Julian date at 0h UT:");
    appendFixed(out, times.julianDate0h, 6);
    out += '\n';
    appendLabel(out, "Days since 1990.0:");
    appendFixed(out, times.dayNumber, 7);
    out += '\n';
    appendLabel(out, "Centuries since 1900:");
    appendFixed(out, times.centuries1900, 8);
    out += '\n';
    appendLabel(out, "Obliquity:");
    appendFixed(out, angles.obliquity, 7);
    out += '\n';
    appendLabel(out, "RAMC:");
    appendFixed(out, angles.ramc, 5);
    out += '\n';
    appendLabel(out, "Ascendant:");
    appendFixed(out, angles.ascendant, 5);
    out += '\n';
    appendLabel(out, "MidHeaven:");
    appendFixed(out, angles.midheaven, 5);
    out += '\n';
    if (computation) {
        appendLabel(out, "House system:");
        const auto system = houseSystemName(computation->houseSystem);
        appendf(out, "%.*s\n", int(system.size()), system.data());
        appendLabel(out, "Ephemeris:");
        const auto ephemeris = ephemerisName(computation->ephemeris);
        appendf(out, "%.*s\n", int(ephemeris.size()), ephemeris.data());
    }

    out += "\nHouse cusps\n";
    for (const HouseCusp& cusp : chart.cusps) {
        appendf(out, "  %2d  ", cusp.house);
        appendPosition(out, cusp.sign, cusp.degrees, cusp.minutes);
        out += "  ";
        appendFixed(out, cusp.longitude, 4, 9);
        out += '\n';
    }

    out += "\nBodies\n";
    for (const Body which : AllBodies) {
        const BodyPosition& body = chart.body(which);
        appendf(out, "  %-8.*s  ", int(bodyName(which).size()), bodyName(which).data());
        appendPosition(out, body.sign, body.degrees, body.minutes);
        out += "  ";
        appendFixed(out, body.longitude, 4, 9);
        if (body.house >= 0)
            appendf(out, "  house %d", body.house + 1);
        out += '\n';
    }

    out += "\nSorted order:         ";
    for (std::size_t i = 0; i < tables.sortedBodies.size(); ++i) {
        if (i)
            out += ", ";
        out += bodyName(tables.sortedBodies[i].body);
    }
    out += '\n';

    out += "\nAspects\n";
    int count = 0;
    for (const auto& [a, b] : ChartPointPairs) {
        const std::optional<Aspect> aspect = tables.aspectGrid[index(a)][index(b)];
        if (!aspect)
            continue;
        ++count;
        const auto first = pointName(a);
        const auto second = pointName(b);
        const auto name = aspectName(*aspect);
        appendf(out, "  %-9.*s  %-9.*s  %.*s\n", int(first.size()), first.data(), int(second.size()), second.data(),
                int(name.size()), name.data());
    }
    if (count == 0)
        out += "  (none)\n";
}

}  // namespace zodiara::cli
