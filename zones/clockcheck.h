// Whether a birth's zone and daylight-saving entry give the Universal Time the time-zone database
// says the place's clocks kept at that date, and what entry would. The chart data dialog asks it
// at OK, `zodiara-chart compute --at` before computing.
#pragma once

#include <string>
#include <string_view>

#include "chart/chart.h"
#include "zones/zonehistory.h"

namespace zodiara {

struct ClockCheck {
    enum class Verdict {
        Unknown,        // no such zone in the database: nothing to say
        Agrees,         // the entry gives the offset in force
        ChooseZone,     // `proposed` changes the zone and daylight-saving entry only
        LocalMeanTime,  // before the zone's first standard time: the LMT entry
        UniversalTime,  // no entry gives the offset: `proposed` is the birth in Universal Time
    };
    Verdict verdict = Verdict::Unknown;
    ClockLookup lookup;
    ClockReading reading;  // the reading `proposed` follows
    BirthData proposed;

    // A clock time that did not exist or existed twice: never to be settled silently.
    bool ambiguous() const
    {
        return lookup.kind == ClockLookup::Kind::Skipped || lookup.kind == ClockLookup::Kind::Repeated;
    }
};

// What Universal Time offset (east of Greenwich) `zone` and `daylightSaving` give at `longitude`.
int entryOffsetSeconds(int zone, bool daylightSaving, const GeoAngle& longitude);

// The database's answer for `birth` in `ianaZone`, read against its entry. Of several entries with
// the right offset, the entry's own zone with the other daylight-saving flag is proposed, then
// `standardZone`, the zone the atlas gives the place today (-1 for none). Where the clock time existed twice or not at
// all, the reading the entry does not give is proposed (the earlier one where it gives neither). A birth entered in
// Universal Time where no entry has the place's offset agrees, unless `lookedUp`: its zone was just filled in from the
// atlas, and so is today's zone of the place, not a conversion.
ClockCheck checkClock(std::string_view ianaZone, const BirthData& birth, int standardZone = -1, bool lookedUp = false);

// The Yes/No question that offers `check.proposed`, naming the place, the date, the offset and the
// database's abbreviation; empty where there is nothing to ask.
std::string clockQuestion(const ClockCheck& check, const BirthData& birth, std::string_view place,
                          std::string_view ianaZone);

// "UTC-04:00 (EDT, daylight saving time)".
std::string clockReadingText(const ClockReading& reading);

// "May 1, 1990 at 10:00" (seconds where there are some, "BC" after a year before Christ).
std::string birthMomentText(const BirthData& birth);

}  // namespace zodiara
