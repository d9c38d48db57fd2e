// The readings of a local clock time in a zone of the system's time-zone database, history
// included: daylight saving, changed standard offsets, and local mean time before a zone's first
// standard time. Only zonehistory.cpp sees the database library.
#pragma once

#include <string>
#include <string_view>

#include "chart/chart.h"

namespace zodiara {

struct ClockReading {
    int offsetSeconds = 0;  // east of Greenwich
    bool daylightSaving = false;
    std::string abbreviation;  // as the database gives it: "EST", "+0545", "LMT"
    bool operator==(const ClockReading&) const = default;
};

struct ClockLookup {
    enum class Kind {
        Unknown,   // no such zone in the database
        Unique,    // `first` is the reading
        Skipped,   // the clocks jumped over it: `first` before the change, `second` after
        Repeated,  // the clocks showed it twice: `first` the earlier reading, `second` the later
    };
    Kind kind = Kind::Unknown;
    ClockReading first;
    ClockReading second;
};

// The readings of the clock time `time` on `date` (astronomical year; Julian calendar before
// 1582 October 15, as everywhere in the chart) in the zone `ianaZone` ("Asia/Kathmandu").
ClockLookup lookUpClock(std::string_view ianaZone, const CalendarDate& date, const TimeOfDay& time);

// "UTC+05:45", "UTC-00:25:21" (seconds only where there are some), "UTC+00:00".
std::string utcOffsetText(int offsetSecondsEast);

}  // namespace zodiara
