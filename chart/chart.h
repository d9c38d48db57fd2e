// The chart record, its derived tables and the reference tables every layer shares.
//
// `Chart` is an ordinary value type; the packed layout of a chart file lives in chartfile.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zodiara {

enum CompassDirection : std::int32_t { North = 0, South = 1, East = 2, West = 3 };

// What the record's integers stand for. The stored fields stay int32, as files hold them; code that
// compares or indexes uses these, through index() and the lists below.
// clang-format off
enum class Sign : std::int32_t {
    Aries, Taurus, Gemini, Cancer, Leo, Virgo, Libra, Scorpio, Sagittarius, Capricorn, Aquarius, Pisces
};
// In the chart's order, the Moon first.
enum class Body : std::int32_t { Moon, Sun, Mercury, Venus, Mars, Jupiter, Saturn, Uranus, Neptune, Pluto };
// The points of the aspect grid: the ten bodies, then the two angles.
enum class ChartPoint : std::int32_t {
    Moon, Sun, Mercury, Venus, Mars, Jupiter, Saturn, Uranus, Neptune, Pluto, Ascendant, MidHeaven
};
// In order of angle; where two orbs overlap, the first wins.
enum class Aspect : std::int32_t {
    Conjunction, SemiSextile, Biquintile, SemiSquare, Sextile, Quintile, Square, Trine, Sesquiquadrate,
    Inconjunct, Opposition
};
// clang-format on

inline constexpr int SignCount = 12;
inline constexpr int BodyCount = 10;
inline constexpr int ChartPointCount = 12;
inline constexpr int AspectCount = 11;

constexpr int index(Sign sign) { return static_cast<int>(sign); }
constexpr int index(Body body) { return static_cast<int>(body); }
constexpr int index(ChartPoint point) { return static_cast<int>(point); }
constexpr int index(Aspect aspect) { return static_cast<int>(aspect); }
constexpr ChartPoint chartPoint(Body body) { return static_cast<ChartPoint>(body); }

namespace detail {
template <typename Enum, int Count>
constexpr std::array<Enum, Count> allOf()
{
    std::array<Enum, Count> all{};
    for (int i = 0; i < Count; ++i)
        all[i] = static_cast<Enum>(i);
    return all;
}
}  // namespace detail

inline constexpr auto AllBodies = detail::allOf<Body, BodyCount>();
inline constexpr auto AllChartPoints = detail::allOf<ChartPoint, ChartPointCount>();
inline constexpr auto AllAspects = detail::allOf<Aspect, AspectCount>();

struct PointPair {
    ChartPoint first;
    ChartPoint second;
};
// Every pair of chart points with `first` before `second`, ordered by first, then second.
inline constexpr int ChartPointPairCount = ChartPointCount * (ChartPointCount - 1) / 2;
inline constexpr auto ChartPointPairs = [] {
    std::array<PointPair, ChartPointPairCount> pairs{};
    std::size_t n = 0;
    for (int i = 0; i < ChartPointCount; ++i)
        for (int j = i + 1; j < ChartPointCount; ++j)
            pairs[n++] = {AllChartPoints[i], AllChartPoints[j]};
    return pairs;
}();

struct TimeOfDay {
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;
    bool operator==(const TimeOfDay&) const = default;
};

// A longitude or latitude as typed: degrees and minutes non-negative, the sign in `direction`.
struct GeoAngle {
    std::int16_t degrees = 0;
    std::int16_t minutes = 0;
    CompassDirection direction = North;
    bool operator==(const GeoAngle&) const = default;
};

struct CalendarDate {
    std::int32_t year = 0;
    std::int8_t month = 0;  // 1..12
    std::int8_t day = 0;    // 1..31
    bool operator==(const CalendarDate&) const = default;
};

// A longitude on the ecliptic split as the wheel reads it.
struct HouseCusp {
    std::int32_t house = 0;    // 1..12, the house that begins here
    std::int32_t degrees = 0;  // 0..29 (older files: 30 at exactly 360)
    std::int32_t minutes = 0;  // 0..59 (older files: 60, rounded but not carried)
    double longitude = 0;      // 0..360
    Sign sign = Sign::Aries;
};

struct BodyPosition {
    std::int32_t degrees = 0;
    std::int32_t minutes = 0;
    double longitude = 0;
    Sign sign = Sign::Aries;
    std::int32_t house = -1;  // house index 0..11, -1 until computed
};

using HouseCusps = std::array<HouseCusp, 12>;
using BodyPositions = std::array<BodyPosition, BodyCount>;

// What a person enters: everything else in a chart is derived from it.
struct BirthData {
    std::string name;        // UTF-8; a chart holds at most 49 Windows-1252 characters
    std::string place;       // likewise
    CalendarDate birthDate;  // as entered: year from 1, with its era in `beforeChrist`
    bool beforeChrist = false;
    TimeOfDay localTime;
    std::int32_t zone = 0;  // index into the zone table
    bool daylightSaving = false;
    GeoAngle longitude{0, 0, West};
    GeoAngle latitude;
    bool operator==(const BirthData&) const = default;
};

// The times of a birth: what Universal Time, the Julian date and sidereal time make of it.
struct ChartTimes {
    CalendarDate utDate;  // astronomical year (1 BC is 0)
    TimeOfDay universalTime;
    TimeOfDay siderealTime;
    TimeOfDay localSiderealTime;
    double julianDate = 0;
    double julianDate0h = 0;
    double utHours = 0;
    double centuries1900 = 0;  // Julian centuries since 1900 January 0.5
    double dayNumber = 0;      // days since 1990 January 0.0
};

// The sky's frame at the birth place: the meridian, the ecliptic's tilt and the two angles.
struct ChartAngles {
    double longitudeDeg = 0;  // positive West
    double latitudeDeg = 0;   // positive North
    double latitudeRad = 0;
    double obliquity = 0;
    double obliquityRad = 0;
    double ramc = 0;
    double ramcRad = 0;
    double ascendant = 0;
    double midheaven = 0;
};

// What a chart file holds that nothing computes or reads, carried so that a file read and written
// again is unchanged. Only the file codec looks inside.
struct FileRemnants {
    double reserved = 0;
    // Each text field as last stored: a stored text overlays its start, the bytes after its
    // terminator stay (a shorter name leaves the end of a longer one).
    std::array<char, 50> placeField{};
    std::array<char, 50> nameField{};
    // The flag bytes as stored, kept while they still mean the flag (any non-zero byte is set).
    std::uint8_t daylightSavingByte = 0;
    std::uint8_t beforeChristByte = 0;
    // The fourth word of each time of day: local, universal, sidereal, local sidereal.
    std::array<std::int32_t, 4> timeSpares{};
    bool operator==(const FileRemnants&) const = default;
};

struct Chart {
    BirthData birth;
    ChartTimes times;
    ChartAngles angles;
    HouseCusps cusps;
    BodyPositions bodies;
    FileRemnants remnants;

    Chart();
    BodyPosition& body(Body b) { return bodies[index(b)]; }
    const BodyPosition& body(Body b) const { return bodies[index(b)]; }
};

struct SortedBody {
    BodyPosition position;
    Body body = Body::Moon;
};

// The bodies in the order the wheel reads them.
using SortedBodies = std::array<SortedBody, BodyCount>;
// The aspect of each pair of chart points, [first][second] with first before second; none where
// the separation is within no orb.
using AspectGrid = std::array<std::array<std::optional<Aspect>, ChartPointCount>, ChartPointCount>;

// ---- Reference tables -------------------------------------------------------

// clang-format off
inline constexpr std::array<std::string_view, SignCount> SignNames = {
    "Aries", "Taurus", "Gemini", "Cancer", "Leo", "Virgo",
    "Libra", "Scorpio", "Sagittarius", "Capricorn", "Aquarius", "Pisces"};

inline constexpr std::array<std::string_view, 3> QualityNames = {"Cardinal", "Fixed", "Mutable"};
inline constexpr std::array<std::string_view, 4> ElementNames = {"Fire", "Earth", "Air", "Water"};
inline constexpr std::array<std::string_view, 2> PrincipleNames = {"Active", "Passive"};

inline constexpr int signQuality(Sign sign) { return static_cast<int>(sign) % 3; }
inline constexpr int signElement(Sign sign) { return static_cast<int>(sign) % 4; }
inline constexpr int signPrinciple(Sign sign) { return static_cast<int>(sign) % 2; }
inline constexpr int signQuality(int sign) { return sign % 3; }
inline constexpr int signElement(int sign) { return sign % 4; }
inline constexpr int signPrinciple(int sign) { return sign % 2; }

inline constexpr std::array<std::string_view, 12> SignDateRanges = {
    "March 21 - April 19", "April 20 - May 20", "May 21 - June 21",
    "June 22 - July 22", "July 23 - August 22", "August 23 - September 22",
    "September 23 - October 23", "October 24 - November 21", "November 22 - December 21",
    "December 22 - January 19", "January 20 - February 18", "February 19 - March 20"};

inline constexpr std::array<std::string_view, 12> SignDateRangesWithName = {
    "March 21 - April 19, Aries", "April 20 - May 20, Taurus", "May 21 - June 21, Gemini",
    "June 22 - July 22, Cancer", "July 23 - August 22, Leo", "August 23 - September 22, Virgo",
    "September 23 - October 23, Libra", "October 24 - November 21, Scorpio",
    "November 22 - December 21, Sagittarius", "December 22 - January 19, Capricorn",
    "January 20 - February 18, Aquarius", "February 19 - March 20, Pisces"};

inline constexpr std::array<std::string_view, BodyCount> BodyNames = {
    "Moon", "Sun", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto"};

inline constexpr std::array<std::string_view, ChartPointCount> ChartPointNames = {
    "Moon", "Sun", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto",
    "Ascendant", "MidHeaven"};

inline constexpr std::array<std::string_view, AspectCount> AspectNames = {
    "Conjunction", "SemiSextile", "Biquintile", "SemiSquare", "Sextile", "Quintile",
    "Square", "Trine", "Sesquiquadrate", "Inconjunct", "Opposition"};
inline constexpr std::array<double, AspectCount> AspectAngles = {0, 30, 36, 45, 60, 72, 90, 120, 135, 150, 180};
inline constexpr std::array<double, AspectCount> AspectOrbs = {8, 2, 2, 2, 6, 2, 8, 8, 2, 6, 8};

// The names are NUL-terminated literals, so their data() may go to %s.
constexpr std::string_view signName(Sign sign) { return SignNames[index(sign)]; }
constexpr std::string_view bodyName(Body body) { return BodyNames[index(body)]; }
constexpr std::string_view pointName(ChartPoint point) { return ChartPointNames[index(point)]; }
constexpr std::string_view aspectName(Aspect aspect) { return AspectNames[index(aspect)]; }
constexpr double aspectAngleDeg(Aspect aspect) { return AspectAngles[index(aspect)]; }
constexpr double aspectOrbDeg(Aspect aspect) { return AspectOrbs[index(aspect)]; }

inline constexpr std::array<std::string_view, 7> WeekdayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

inline constexpr std::array<std::string_view, 12> MonthNames = {
    "January", "February", "March", "April", "May", "June",
    "July", "August", "September", "October", "November", "December"};

// Zones 0..28 are those chart files have always held; later ones are appended, never inserted.
inline constexpr int ZoneCount = 42;
// Local mean time: the offset is the birth longitude's own (see zoneOffset).
inline constexpr int LmtZone = 41;
inline constexpr std::array<std::string_view, ZoneCount> TimeZoneNames = {
    "UT, (00:00), Universal Time",
    "WAT, (+01:00), West Africa Time",
    "AT, (+02:00), Azores Time",
    "BZT2, (+03:00), Brazil Zone 2",
    "NST, (+03:30), Newfoundland Standard Time",
    "AST, (+04:00), Atlantic Standard Time",
    "EST, (+05:00), Eastern Standard Time",
    "CST, (+06:00), Central Standard Time",
    "MST, (+07:00), Mountain Standard Time",
    "PST, (+08:00), Pacific Standard Time",
    "YST, (+09:00), Yukon Standard Time",
    "AHST, (+10:00), Alaska-Hawaii Standard Time",
    "BET, (+11:00), Bering Standard Time",
    "AEST, (-10:00), Australian Eastern Standard Time",
    "ACST, (-09:30), Australian Central Standard Time",
    "JST, (-09:00), Japan Standard Time",
    "MT, (-08:30), Moluccas Time",
    "AWST, (-08:00), Australian Western Standard Time",
    "JT, (-07:30), Java Time",
    "USZ6, (-07:00), USSR Zone 6",
    "NST, (-06:30), North Sumatra Time",
    "USZ5, (-06:00), USSR Zone 5",
    "IST, (-05:30), Indian Time",
    "USZ4, (-05:00), USSR Zone 4",
    "USZ3, (-04:00), USSR Zone 3",
    "IT, (-03:30), Iran Time",
    "BAT, (-03:00), Baghdad Time",
    "EET, (-02:00), Eastern European Time",
    "CET, (-01:00), Central European Time",
    "AFT, (-04:30), Afghanistan Time",
    "NPT, (-05:45), Nepal Time",
    "MMT, (-06:30), Myanmar Time",
    "ACWST, (-08:45), Australian Central Western Standard Time",
    "LHST, (-10:30), Lord Howe Standard Time",
    "SBT, (-11:00), Solomon Islands Time",
    "NZST, (-12:00), New Zealand Standard Time",
    "CHAST, (-12:45), Chatham Standard Time",
    "TOT, (-13:00), Tonga Time",
    "LINT, (-14:00), Line Islands Time",
    "MART, (+09:30), Marquesas Time",
    "IDLW, (+12:00), International Date Line West",
    "LMT, Local Mean Time"};

// Added to local standard time to give Universal Time; hour and minute carry the same sign.
inline constexpr std::array<TimeOfDay, ZoneCount> TimeZoneOffsets = {{
    {0, 0, 0},   {1, 0, 0},   {2, 0, 0},   {3, 0, 0},   {3, 30, 0},
    {4, 0, 0},   {5, 0, 0},   {6, 0, 0},   {7, 0, 0},   {8, 0, 0},
    {9, 0, 0},   {10, 0, 0},  {11, 0, 0},  {-10, 0, 0}, {-9, -30, 0},
    {-9, 0, 0},  {-8, -30, 0}, {-8, 0, 0}, {-7, -30, 0}, {-7, 0, 0},
    {-6, -30, 0}, {-6, 0, 0}, {-5, -30, 0}, {-5, 0, 0}, {-4, 0, 0},
    {-3, -30, 0}, {-3, 0, 0}, {-2, 0, 0},  {-1, 0, 0},
    {-4, -30, 0}, {-5, -45, 0}, {-6, -30, 0}, {-8, -45, 0}, {-10, -30, 0}, {-11, 0, 0},
    {-12, 0, 0}, {-12, -45, 0}, {-13, 0, 0}, {-14, 0, 0}, {9, 30, 0}, {12, 0, 0},
    {0, 0, 0}}};  // LMT: see zoneOffset
// clang-format on

// The zone's abbreviation: the text of its line before the first comma ("EST").
std::string_view zoneAbbreviation(int zone);

// What `zone` adds to local standard time to give Universal Time at `longitude`; hour, minute and
// second carry the same sign. Local mean time runs 4 minutes of time per degree (4 seconds per
// minute of arc) ahead of Greenwich for each degree east: 74°00' W gives +04:56:00.
TimeOfDay zoneOffset(int zone, const GeoAngle& longitude);

// Month index 0..11 to its name; anything else to "Not Found".
std::string_view monthName(int monthIndex);

// "N", "S", "E" or "W"; values outside 1..3 print as "N".
char compassLetter(CompassDirection direction);

}  // namespace zodiara
