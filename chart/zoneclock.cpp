#include "chart/zoneclock.h"

namespace zodiara {

ZoneClock zoneClockAt(std::chrono::sys_seconds utc, int zone, bool daylightSaving, const GeoAngle& longitude)
{
    using namespace std::chrono;
    const TimeOfDay offset = zoneOffset(zone, longitude);
    // The offset is added to the clock to give Universal Time, so the clock is UTC minus it.
    const sys_seconds local =
        utc - hours(offset.hour) - minutes(offset.minute) - seconds(offset.second) + hours(daylightSaving ? 1 : 0);
    const sys_days day = floor<days>(local);
    const year_month_day ymd(day);
    const hh_mm_ss<seconds> clock(local - day);
    ZoneClock result;
    result.date.year = static_cast<int>(ymd.year());
    result.date.month = static_cast<std::int8_t>(static_cast<unsigned>(ymd.month()));
    result.date.day = static_cast<std::int8_t>(static_cast<unsigned>(ymd.day()));
    result.time = {static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                   static_cast<int>(clock.seconds().count())};
    return result;
}

}  // namespace zodiara
