// Precise positions from the ephemeris library. Only precise.cpp includes the library's headers.
#pragma once

#include <optional>
#include <string>

#include "chart/chart.h"
#include "chart/computation.h"
#include "chart/houses.h"

namespace zodiara {

// The Universal Time dates, whole days, for which the installed library gives every body: its
// data files (1800 to 2399) and around them its analytical theory, which spans Terrestrial Time
// JD 625000.5 to 2818000.5; Delta T moves the ends in Universal Time. Found by probing
// swe_calc_ut; the tests hold these days to the library.
inline constexpr CalendarDate PreciseFirstDay{-3001, 2, 28};  // 28 February 3002 BC (Julian calendar)
inline constexpr CalendarDate PreciseLastDay{3003, 4, 27};    // 27 April 3003
// True when the Universal Time `julianDateUt` falls on one of those days.
bool preciseCovers(double julianDateUt);
// "28 February 3002 BC to 27 April 3003 (Universal Time)".
std::string preciseRangeText();

struct PrecisePositions {
    ChartAngles angles;  // the obliquity of date and the library's RAMC, Ascendant and MidHeaven
    Houses houses;
    BodyPositions bodies;  // houses not yet known
};
// The bodies, angles and cusps at `times.julianDate` for the place of `angles` (whose classic
// values stand where the library gives no finite one). Placidus from the library; Porphyry from
// its angles where Placidus cusps do not exist. Nothing when the library has no positions for the
// date (then `error` is left empty) or reports an error (its own text in `error`, a damaged data
// file say); the chart is then not one to show.
std::optional<PrecisePositions> precisePositions(const ChartTimes& times, const ChartAngles& angles,
                                                 std::string* error = nullptr);

// "Swiss Ephemeris 2.10.03", for the about box and README.
std::string preciseEphemerisVersion();

}  // namespace zodiara
