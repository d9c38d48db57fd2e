#include "chart/chart.h"

#include <cstring>

namespace zodiara {

Chart::Chart()
{
    for (int n = 0; n < 12; ++n) {
        cusps[n].house = n + 1;
        cusps[n].sign = n;
        cusps[n].longitude = 30.0 * n;  // degrees 0 + 30 x sign + minutes 0
    }
    longitude.direction = West;
}

BirthData birthDataOf(const Chart& chart)
{
    BirthData data;
    data.longitude = chart.longitude;
    data.latitude = chart.latitude;
    std::memcpy(data.place, chart.place, sizeof data.place);
    std::memcpy(data.name, chart.name, sizeof data.name);
    data.zone = chart.zone;
    data.daylightSaving = chart.daylightSaving;
    data.beforeChrist = chart.beforeChrist;
    data.birthDate = chart.birthDate;
    data.localTime = chart.localTime;
    return data;
}

void setBirthData(Chart& chart, const BirthData& data)
{
    chart.longitude = data.longitude;
    chart.latitude = data.latitude;
    std::memcpy(chart.place, data.place, sizeof chart.place);
    std::memcpy(chart.name, data.name, sizeof chart.name);
    chart.zone = data.zone;
    chart.daylightSaving = data.daylightSaving;
    chart.beforeChrist = data.beforeChrist;
    chart.birthDate = data.birthDate;
    chart.localTime = data.localTime;
}

std::string_view zoneAbbreviation(int zone)
{
    if (zone < 0 || zone >= ZoneCount)
        return {};
    std::string_view line = TimeZoneNames[zone];
    return line.substr(0, line.find(','));
}

std::string_view monthName(int monthIndex)
{
    if (monthIndex < 0 || monthIndex >= 12)
        return "Not Found";
    return MonthNames[monthIndex];
}

char compassLetter(std::int32_t direction)
{
    switch (direction) {
    case South: return 'S';
    case East: return 'E';
    case West: return 'W';
    default: return 'N';
    }
}

}  // namespace zodiara
