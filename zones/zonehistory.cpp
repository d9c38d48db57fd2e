#include "zones/zonehistory.h"

#include <cctz/civil_time.h>
#include <cctz/time_zone.h>

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include "chart/calendar.h"

namespace zodiara {

namespace {

// Loading a zone reads and parses its file; a dialog and a batch ask the same few again and again.
bool loadZone(std::string_view name, cctz::time_zone& zone)
{
    static std::mutex lock;
    static std::unordered_map<std::string, std::pair<bool, cctz::time_zone>> loaded;
    const std::lock_guard guard(lock);
    auto [it, fresh] = loaded.try_emplace(std::string(name));
    if (fresh)
        it->second.first = cctz::load_time_zone(it->first, &it->second.second);
    zone = it->second.second;
    return it->second.first;
}

ClockReading readingAt(const cctz::time_zone& zone, std::chrono::system_clock::time_point instant)
{
    const cctz::time_zone::absolute_lookup found = zone.lookup(instant);
    return {found.offset, found.is_dst, found.abbr};
}

// The database counts days in the Gregorian calendar throughout.
cctz::civil_day gregorianDay(const CalendarDate& date)
{
    const auto julianDayNumber = static_cast<long long>(std::floor(julianDay(date, 0) + 0.5));
    return cctz::civil_day(1970, 1, 1) + (julianDayNumber - 2440588);
}

}  // namespace

ClockLookup lookUpClock(std::string_view ianaZone, const CalendarDate& date, const TimeOfDay& time)
{
    ClockLookup result;
    cctz::time_zone zone;
    if (ianaZone.empty() || !loadZone(ianaZone, zone))
        return result;
    const cctz::civil_second clock =
        cctz::civil_second(gregorianDay(date)) + time.hour * 3600 + time.minute * 60 + time.second;
    const cctz::time_zone::civil_lookup found = zone.lookup(clock);
    switch (found.kind) {
    case cctz::time_zone::civil_lookup::UNIQUE:
        result.kind = ClockLookup::Kind::Unique;
        result.first = readingAt(zone, found.pre);
        break;
    case cctz::time_zone::civil_lookup::SKIPPED:
        result.kind = ClockLookup::Kind::Skipped;
        result.first = readingAt(zone, found.trans - std::chrono::seconds(1));
        result.second = readingAt(zone, found.trans);
        break;
    case cctz::time_zone::civil_lookup::REPEATED:
        result.kind = ClockLookup::Kind::Repeated;
        result.first = readingAt(zone, found.pre);
        result.second = readingAt(zone, found.post);
        break;
    }
    return result;
}

std::string utcOffsetText(int offsetSecondsEast)
{
    const int total = std::abs(offsetSecondsEast);
    char text[32];
    if (total % 60 != 0)
        std::snprintf(text, sizeof text, "UTC%c%02d:%02d:%02d", offsetSecondsEast < 0 ? '-' : '+', total / 3600,
                      total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "UTC%c%02d:%02d", offsetSecondsEast < 0 ? '-' : '+', total / 3600,
                      total / 60 % 60);
    return text;
}

}  // namespace zodiara
