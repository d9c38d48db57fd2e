// The clocks of the world against the time-zone database: cases whose history has been stable for
// years. Each row is a birth as a user would enter it after looking the place up (the atlas's zone,
// no daylight saving), and the entry the check proposes, read back as Universal Time. Asked again
// later, without a lookup, the check agrees with what it proposed.
#include <gtest/gtest.h>

#include <string>

#include "chart/calendar.h"
#include "testname.h"
#include "zones/clockcheck.h"

using namespace zodiara;

namespace {

struct ClockRow {
    const char* what;
    const char* zone;
    CalendarDate date;
    TimeOfDay time;
    int tableZone;  // as the lookup fills it in
    GeoAngle longitude;
    ClockCheck::Verdict verdict;
    const char* proposedZone;  // the abbreviation of the proposed entry
    bool proposedDst;
    const char* universalTime;  // "YYYY-MM-DD HH:MM:SS" of the proposed entry
    bool dst = false;           // the daylight-saving box
};

int zoneNamed(std::string_view abbreviation)
{
    for (int zone = 0; zone < ZoneCount; ++zone)
        if (zoneAbbreviation(zone) == abbreviation)
            return zone;
    return -1;
}

class Clocks : public testing::TestWithParam<ClockRow> {};

TEST_P(Clocks, ProposeTheEntryThatGivesTheDatabasesUniversalTime)
{
    const ClockRow& row = GetParam();
    BirthData birth;
    birth.birthDate = row.date;
    birth.localTime = row.time;
    birth.zone = row.tableZone;
    birth.daylightSaving = row.dst;
    birth.longitude = row.longitude;
    const ClockCheck check = checkClock(row.zone, birth, row.tableZone, true);
    EXPECT_EQ(check.verdict, row.verdict);
    EXPECT_EQ(zoneAbbreviation(check.proposed.zone), row.proposedZone);
    EXPECT_EQ(check.proposed.daylightSaving, row.proposedDst);
    const UniversalTime ut = universalTimeOf(check.proposed);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", ut.date.year, ut.date.month, ut.date.day,
                  ut.time.hour, ut.time.minute, ut.time.second);
    EXPECT_EQ(std::string(text), row.universalTime);
    // What the check proposes, it agrees with when asked again, but for a clock time that did not
    // exist or existed twice: that it asks about every time.
    if (!check.ambiguous()) {
        EXPECT_EQ(checkClock(row.zone, check.proposed, row.tableZone).verdict, ClockCheck::Verdict::Agrees);
    }
    EXPECT_EQ(clockQuestion(check, birth, "", row.zone).empty(), check.verdict == ClockCheck::Verdict::Agrees);
}

using V = ClockCheck::Verdict;
const int NPT = zoneNamed("NPT"), NZST = zoneNamed("NZST"), CHAST = zoneNamed("CHAST"), BET = zoneNamed("BET"),
          TOT = zoneNamed("TOT"), EST = zoneNamed("EST"), CET = zoneNamed("CET"), UT = zoneNamed("UT");

// clang-format off
INSTANTIATE_TEST_SUITE_P(Places, Clocks, testing::Values(
    ClockRow{"Kathmandu 1990", "Asia/Kathmandu", {1990, 5, 1}, {10, 0, 0}, 6, {85, 19, East}, V::ChooseZone, "NPT", false, "1990-05-01 04:15:00"},
    ClockRow{"Kathmandu 1980", "Asia/Kathmandu", {1980, 5, 1}, {10, 0, 0}, NPT, {85, 19, East}, V::ChooseZone, "IST", false, "1980-05-01 04:30:00"},
    ClockRow{"Auckland winter", "Pacific/Auckland", {2015, 7, 1}, {12, 0, 0}, NZST, {174, 46, East}, V::Agrees, "NZST", false, "2015-07-01 00:00:00"},
    ClockRow{"Auckland summer", "Pacific/Auckland", {2015, 1, 1}, {12, 0, 0}, NZST, {174, 46, East}, V::ChooseZone, "NZST", true, "2014-12-31 23:00:00"},
    ClockRow{"Chatham winter", "Pacific/Chatham", {2015, 7, 1}, {12, 0, 0}, CHAST, {176, 34, West}, V::Agrees, "CHAST", false, "2015-06-30 23:15:00"},
    ClockRow{"Apia 2010", "Pacific/Apia", {2010, 7, 1}, {12, 0, 0}, TOT, {171, 46, West}, V::ChooseZone, "BET", false, "2010-07-01 23:00:00"},
    ClockRow{"Apia 2013", "Pacific/Apia", {2013, 7, 1}, {12, 0, 0}, BET, {171, 46, West}, V::ChooseZone, "TOT", false, "2013-06-30 23:00:00"},
    ClockRow{"New York 1870, local mean time", "America/New_York", {1870, 7, 4}, {12, 0, 0}, EST, {74, 0, West}, V::LocalMeanTime, "LMT", false, "1870-07-04 16:56:00"},
    ClockRow{"Paris 1900, no entry", "Europe/Paris", {1900, 1, 1}, {12, 0, 0}, CET, {2, 20, East}, V::UniversalTime, "UT", false, "1900-01-01 11:50:39"},
    ClockRow{"Dublin 1910 across midnight", "Europe/Dublin", {1910, 12, 31}, {23, 50, 0}, UT, {6, 15, West}, V::UniversalTime, "UT", false, "1911-01-01 00:15:21"},
    // Irish winters are negative saving to the database: to the table, standard time.
    ClockRow{"Dublin winter, box ticked", "Europe/Dublin", {2000, 1, 15}, {12, 0, 0}, UT, {6, 15, West}, V::ChooseZone, "UT", false, "2000-01-15 12:00:00", true},
    ClockRow{"Berlin 1945, double summer time", "Europe/Berlin", {1945, 7, 1}, {12, 0, 0}, CET, {13, 24, East}, V::ChooseZone, "BAT", false, "1945-07-01 09:00:00"},
    ClockRow{"New York 1976, summer", "America/New_York", {1976, 7, 4}, {12, 0, 0}, EST, {74, 0, West}, V::ChooseZone, "EST", true, "1976-07-04 16:00:00"},
    ClockRow{"New York fall-back hour", "America/New_York", {2000, 10, 29}, {1, 30, 0}, EST, {74, 0, West}, V::ChooseZone, "EST", true, "2000-10-29 05:30:00"},
    ClockRow{"Berlin spring-forward gap", "Europe/Berlin", {2000, 3, 26}, {2, 30, 0}, CET, {13, 24, East}, V::ChooseZone, "CET", true, "2000-03-26 00:30:00"}),
    [](const auto& info) { return test::testName(info.param.what); });
// clang-format on

TEST(ClockQuestion, NamesPlaceDateOffsetAbbreviationAndZoneLine)
{
    BirthData birth;
    birth.birthDate = {1990, 5, 1};
    birth.localTime = {10, 0, 0};
    birth.zone = 6;
    birth.longitude = {85, 19, East};
    const ClockCheck check = checkClock("Asia/Kathmandu", birth);
    EXPECT_EQ(clockQuestion(check, birth, "Kathmandu, Nepal", "Asia/Kathmandu"),
              "On May 1, 1990 at 10:00 the clocks of Kathmandu, Nepal (Asia/Kathmandu) showed UTC+05:45 (+0545). "
              "Choose the time zone \"NPT, (-05:45), Nepal Time\"?");
    EXPECT_EQ(checkClock("Nowhere/Atlantis", birth).verdict, ClockCheck::Verdict::Unknown);
    EXPECT_EQ(utcOffsetText(-(25 * 60 + 21)), "UTC-00:25:21");
}

}  // namespace
