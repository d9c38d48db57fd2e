#include "report.h"

#include <cstdarg>
#include <cstdio>
#include <span>

#include "calendar.h"
#include "text1252.h"

namespace zodiara::cli {

namespace {

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
    if (n > 0)
        out.append(buffer, std::size_t(n) < sizeof buffer ? std::size_t(n) : sizeof buffer - 1);
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

void appendPosition(std::string& out, int sign, int degrees, int minutes)
{
    appendf(out, "%-11.*s %2d°%02d'", int(nameAt(SignNames, sign).size()), nameAt(SignNames, sign).data(),
            degrees, minutes);
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

void appendChartReport(std::string& out, const Chart& chart, const DerivedTables& tables,
                       std::optional<Computation> computation)
{
    appendLabel(out, "Name:");
    out += chartText(chart.name) + "\n";
    appendLabel(out, "Place:");
    out += chartText(chart.place) + "\n";
    appendLabel(out, "Birth date:");
    appendDateLine(out, chart.birthDate, chart.beforeChrist != 0);
    appendLabel(out, "Local time:");
    appendTimeOfDay(out, chart.localTime);
    out += chart.daylightSaving ? " daylight-saving time\n" : " standard time\n";
    appendLabel(out, "Time zone:");
    const auto zone = nameAt(TimeZoneNames, chart.zone);
    appendf(out, "%d  %.*s\n", chart.zone, int(zone.size()), zone.data());
    appendLabel(out, "Longitude:");
    appendf(out, "%d°%02d' %c\n", chart.longitude.degrees, chart.longitude.minutes,
            compassLetter(chart.longitude.direction));
    appendLabel(out, "Latitude:");
    appendf(out, "%d°%02d' %c\n", chart.latitude.degrees, chart.latitude.minutes,
            compassLetter(chart.latitude.direction));

    out += '\n';
    appendLabel(out, "Universal Time:");
    appendf(out, "%d-%02d-%02d ", chart.utDate.year, chart.utDate.month, chart.utDate.day);
    appendTimeOfDay(out, chart.universalTime);
    out += '\n';
    appendLabel(out, "Sidereal time:");
    appendTimeOfDay(out, chart.siderealTime);
    out += '\n';
    appendLabel(out, "Local sidereal time:");
    appendTimeOfDay(out, chart.localSiderealTime);
    out += '\n';
    appendLabel(out, "Julian date:");
    appendf(out, "%.6f\n", chart.julianDate);
    appendLabel(out, "Julian date at 0h UT:");
    appendf(out, "%.6f\n", chart.julianDate0h);
    appendLabel(out, "Days since 1990.0:");
    appendf(out, "%.7f\n", chart.dayNumber);
    appendLabel(out, "Centuries since 1900:");
    appendf(out, "%.8f\n", chart.centuries1900);
    appendLabel(out, "Obliquity:");
    appendf(out, "%.7f\n", chart.obliquity);
    appendLabel(out, "RAMC:");
    appendf(out, "%.5f\n", chart.ramc);
    appendLabel(out, "Ascendant:");
    appendf(out, "%.5f\n", chart.ascendant);
    appendLabel(out, "MidHeaven:");
    appendf(out, "%.5f\n", chart.midheaven);
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
        appendf(out, "  %9.4f\n", cusp.longitude);
    }

    out += "\nBodies\n";
    for (const Body which : AllBodies) {
        const BodyPosition& body = chart.body(which);
        appendf(out, "  %-8.*s  ", int(bodyName(which).size()), bodyName(which).data());
        appendPosition(out, body.sign, body.degrees, body.minutes);
        appendf(out, "  %9.4f", body.longitude);
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
        appendf(out, "  %-9.*s  %-9.*s  %.*s\n", int(first.size()), first.data(), int(second.size()),
                second.data(), int(name.size()), name.data());
    }
    if (count == 0)
        out += "  (none)\n";
}

}  // namespace zodiara::cli
