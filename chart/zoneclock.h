// What the clocks of a time zone show at an instant: how "now" becomes birth data.
#pragma once

#include <chrono>

#include "chart/chart.h"

namespace zodiara {

struct ZoneClock {
    CalendarDate date;  // Gregorian
    TimeOfDay time;
};

// The date and time of day that `zone` (0..28) shows at the UTC instant `utc`: its standard
// time, one hour later with `daylightSaving`, so that computeUniversalTime gives `utc` back.
ZoneClock zoneClockAt(std::chrono::sys_seconds utc, int zone, bool daylightSaving = false);

}  // namespace zodiara
