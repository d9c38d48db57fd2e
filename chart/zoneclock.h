// What the clocks of a time zone show at an instant: how "now" becomes birth data.
#pragma once

#include <chrono>

#include "chart/chart.h"

namespace zodiara {

struct ZoneClock {
    CalendarDate date;  // Gregorian
    TimeOfDay time;
};

// The date and time of day that `zone` (a table index) shows at the UTC instant `utc`: its
// standard time, one hour later with `daylightSaving`, so that universalTimeOf gives `utc` back.
// Local mean time is that of `longitude`.
ZoneClock zoneClockAt(std::chrono::sys_seconds utc, int zone, bool daylightSaving = false,
                      const GeoAngle& longitude = {});

}  // namespace zodiara
