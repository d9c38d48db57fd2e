#include "zones/clockcheck.h"

#include <cctype>
#include <cstdio>
#include <optional>
#include <tuple>

#include "chart/calendar.h"

namespace zodiara {

namespace {

int seconds(const TimeOfDay& t) { return t.hour * 3600 + t.minute * 60 + t.second; }

// The entry with this offset: the entry's own zone with the other flag first, then the atlas's zone,
// then the table in order, without saving before with it.
std::optional<std::pair<int, bool>> entryWithOffset(int offset, const ClockReading& reading, const BirthData& birth,
                                                    int standardZone)
{
    const auto gives = [&](int zone, bool dst) {
        return zone >= 0 && zone < ZoneCount && zone != LmtZone
               && entryOffsetSeconds(zone, dst, birth.longitude) == offset;
    };
    if (gives(birth.zone, !birth.daylightSaving))
        return std::pair(birth.zone, !birth.daylightSaving);
    for (const bool dst : {reading.daylightSaving, !reading.daylightSaving})
        if (gives(standardZone, dst))
            return std::pair(standardZone, dst);
    for (const bool dst : {false, true})
        for (int zone = 0; zone < ZoneCount; ++zone)
            if (gives(zone, dst))
                return std::pair(zone, dst);
    return std::nullopt;
}

bool entryGives(const ClockReading& reading, const BirthData& birth)
{
    if (reading.abbreviation == "LMT")
        return birth.zone == LmtZone && !birth.daylightSaving;
    return entryOffsetSeconds(birth.zone, birth.daylightSaving, birth.longitude) == reading.offsetSeconds;
}

// `birth` read at `offset` east of Greenwich, entered again in Universal Time.
BirthData inUniversalTime(const BirthData& birth, int offset)
{
    int clock = seconds(birth.localTime) - offset;
    int days = 0;
    for (; clock < 0; clock += 86400)
        --days;
    for (; clock >= 86400; clock -= 86400)
        ++days;
    CalendarDate date = birth.birthDate;
    date.year = astronomicalYear(date.year, birth.beforeChrist);
    date = addDays(date, days);
    BirthData ut = birth;
    ut.beforeChrist = date.year < 1;
    ut.birthDate = {ut.beforeChrist ? 1 - date.year : date.year, date.month, date.day};
    ut.localTime = {clock / 3600, clock / 60 % 60, clock % 60};
    ut.zone = 0;
    ut.daylightSaving = false;
    return ut;
}

std::string dateText(const CalendarDate& date, bool beforeChrist)
{
    return std::string(MonthNames[static_cast<std::size_t>(date.month - 1)]) + " " + std::to_string(date.day) + ", "
           + std::to_string(date.year) + (beforeChrist ? " BC" : "");
}

std::string timeText(const TimeOfDay& t)
{
    char text[16];
    if (t.second != 0)
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    else
        std::snprintf(text, sizeof text, "%02d:%02d", t.hour, t.minute);
    return text;
}

}  // namespace

std::string clockReadingText(const ClockReading& r)
{
    return utcOffsetText(r.offsetSeconds) + " (" + r.abbreviation + (r.daylightSaving ? ", daylight saving time" : "")
           + ")";
}

namespace {

std::string zoneChoiceText(const BirthData& birth, const BirthData& proposed)
{
    std::string text =
        "choose the time zone \"" + std::string(TimeZoneNames[static_cast<std::size_t>(proposed.zone)]) + "\"";
    if (proposed.daylightSaving != birth.daylightSaving)
        text += proposed.daylightSaving ? " and check \"Daylight Savings ?\"" : " and uncheck \"Daylight Savings ?\"";
    return text;
}

}  // namespace

int entryOffsetSeconds(int zone, bool daylightSaving, const GeoAngle& longitude)
{
    return -seconds(zoneOffset(zone, longitude)) + (daylightSaving ? 3600 : 0);
}

ClockCheck checkClock(std::string_view ianaZone, const BirthData& birth, int standardZone, bool lookedUp)
{
    ClockCheck check;
    CalendarDate date = birth.birthDate;
    date.year = astronomicalYear(date.year, birth.beforeChrist);
    check.lookup = lookUpClock(ianaZone, date, birth.localTime);
    if (check.lookup.kind == ClockLookup::Kind::Unknown)
        return check;
    check.reading = check.lookup.first;
    if (check.ambiguous() && entryGives(check.lookup.first, birth))
        check.reading = check.lookup.second;
    else if (check.lookup.kind == ClockLookup::Kind::Unique && entryGives(check.reading, birth)) {
        check.verdict = ClockCheck::Verdict::Agrees;
        check.proposed = birth;
        return check;
    }
    check.proposed = birth;
    if (check.reading.abbreviation == "LMT") {
        check.verdict = ClockCheck::Verdict::LocalMeanTime;
        check.proposed.zone = LmtZone;
        check.proposed.daylightSaving = false;
    } else if (const auto entry = entryWithOffset(check.reading.offsetSeconds, check.reading, birth, standardZone)) {
        check.verdict = ClockCheck::Verdict::ChooseZone;
        std::tie(check.proposed.zone, check.proposed.daylightSaving) = *entry;
    } else if (!lookedUp && birth.zone == 0 && !birth.daylightSaving && !check.ambiguous()) {
        // Entered in Universal Time because no entry has the offset, as this check proposes; right after
        // a lookup, UT is only the atlas's zone of today.
        check.verdict = ClockCheck::Verdict::Agrees;
    } else {
        check.verdict = ClockCheck::Verdict::UniversalTime;
        check.proposed = inUniversalTime(birth, check.reading.offsetSeconds);
    }
    return check;
}

std::string birthMomentText(const BirthData& birth)
{
    return dateText(birth.birthDate, birth.beforeChrist) + " at " + timeText(birth.localTime);
}

std::string clockQuestion(const ClockCheck& check, const BirthData& birth, std::string_view place,
                          std::string_view ianaZone)
{
    if (check.verdict == ClockCheck::Verdict::Unknown || check.verdict == ClockCheck::Verdict::Agrees)
        return {};
    const std::string where =
        (place.empty() ? std::string() : std::string(place) + " ") + "(" + std::string(ianaZone) + ")";
    const ClockLookup& lookup = check.lookup;
    const std::string clock =
        "The clock time " + timeText(birth.localTime) + " on " + dateText(birth.birthDate, birth.beforeChrist);
    std::string lead;
    std::string how;  // which reading the offer takes, where there were two
    if (lookup.kind == ClockLookup::Kind::Skipped) {
        lead = clock + " did not exist in " + where + ": the clocks went from " + clockReadingText(lookup.first)
               + " to " + clockReadingText(lookup.second) + ". ";
        how = "Read it as " + clockReadingText(check.reading);
    } else if (lookup.kind == ClockLookup::Kind::Repeated) {
        lead = clock + " happened twice in " + where + ": first at " + clockReadingText(lookup.first) + ", then at "
               + clockReadingText(lookup.second) + ". ";
        const bool second = check.reading == lookup.second && entryGives(lookup.first, birth);
        if (second || entryGives(lookup.second, birth))
            lead += std::string("The entry reads it the ") + (second ? "first" : "second") + " way. ";
        how = std::string("Read it the ") + (second ? "second" : "first") + " way";
    } else if (check.verdict == ClockCheck::Verdict::LocalMeanTime) {
        return "On " + birthMomentText(birth) + " the clocks of " + where
               + " kept local mean time (LMT), before any standard time. Choose the time zone \""
               + std::string(TimeZoneNames[LmtZone]) + "\", which takes its time from the birth place's longitude ("
               + utcOffsetText(entryOffsetSeconds(LmtZone, false, birth.longitude)) + ")?";
    } else {
        lead = "On " + birthMomentText(birth) + " the clocks of " + where + " showed " + clockReadingText(check.reading)
               + ". ";
    }
    if (check.verdict == ClockCheck::Verdict::UniversalTime) {
        return lead + "No time zone of the list has " + utcOffsetText(check.reading.offsetSeconds) + ". "
               + (how.empty() ? "Enter" : how + ", and enter") + " the birth in Universal Time instead, as "
               + birthMomentText(check.proposed) + ", time zone \"" + std::string(TimeZoneNames[0]) + "\"?";
    }
    const std::string choice = zoneChoiceText(birth, check.proposed);
    return lead + (how.empty() ? "C" + choice.substr(1) : how + ", and " + choice) + "?";
}

}  // namespace zodiara
