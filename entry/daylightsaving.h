// Daylight saving and standard time of a place, asked of the system's time-zone database and
// compared with what the chart data dialog holds. No widgets here.
#pragma once

#include "chart/chart.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace zodiara {

// Years before this get no answer: clocks then kept local mean time, which the database
// gives only for a zone's main city and no zone of the table can hold.
inline constexpr int FirstCheckedYear = 1900;

// The IANA zone name ("America/New_York") that ends an atlas line after its latitude,
// or an empty text when the line names none.
QString atlasZoneName(QStringView line);

struct DaylightSavingCheck {
    bool known = false;             // the database answered for this place, date and time
    bool inForce = false;           // clocks were ahead of standard time
    int standardOffsetSeconds = 0;  // standard time east of UTC
    int standardZone = -1;          // table zone 0..28 with that standard offset, -1 for none
    // Set only where the entry would give a wrong Universal Time and the change gives the right one.
    std::optional<int> zone;
    std::optional<bool> daylightSaving;

    bool disagrees() const { return zone.has_value() || daylightSaving.has_value(); }
};

// `ianaZone` at the local clock time `date` (as entered, with `beforeChrist`) `hour`:`minute`,
// against table zone `zone` (0..28) and the daylight-saving flag. Unknown (and so no change)
// for an unknown zone name, a date before FirstCheckedYear or BC, and a clock time that a
// change of clocks skipped or repeated.
DaylightSavingCheck checkDaylightSaving(const QString& ianaZone, const CalendarDate& date, bool beforeChrist, int hour,
                                        int minute, int zone, bool daylightSaving);

// The Yes/No question that offers the changes of `check`; empty when nothing disagrees.
QString daylightSavingQuestion(const QString& ianaZone, const CalendarDate& date, const DaylightSavingCheck& check);

}  // namespace zodiara
