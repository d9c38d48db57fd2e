#include "chart/chart.h"

namespace zodiara {

Chart::Chart()
{
    for (int n = 0; n < 12; ++n) {
        cusps[n].house = n + 1;
        cusps[n].sign = static_cast<Sign>(n);
        cusps[n].longitude = 30.0 * n;  // degrees 0 + 30 x sign + minutes 0
    }
}

std::string_view zoneAbbreviation(int zone)
{
    if (zone < 0 || zone >= ZoneCount)
        return {};
    std::string_view line = TimeZoneNames[zone];
    return line.substr(0, line.find(','));
}

TimeOfDay zoneOffset(int zone, const GeoAngle& longitude)
{
    if (zone != LmtZone)
        return TimeZoneOffsets[static_cast<std::size_t>(zone)];
    const int seconds = 240 * longitude.degrees + 4 * longitude.minutes;
    const int sign = longitude.direction == East ? -1 : 1;
    return {sign * (seconds / 3600), sign * (seconds / 60 % 60), sign * (seconds % 60)};
}

std::string_view monthName(int monthIndex)
{
    if (monthIndex < 0 || monthIndex >= 12)
        return "Not Found";
    return MonthNames[monthIndex];
}

char compassLetter(CompassDirection direction)
{
    switch (direction) {
    case South: return 'S';
    case East: return 'E';
    case West: return 'W';
    default: return 'N';
    }
}

}  // namespace zodiara
