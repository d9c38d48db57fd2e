#include "chart/chartfile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <unistd.h>

#include "chart/fileio.h"

namespace zodiara {

namespace {

// Each scalar is copied as it lies in memory, which is the file's byte order here.
static_assert(std::endian::native == std::endian::little, "chart files are little-endian");
static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559);

// Byte offsets of the packed file layout: within a cusp, a body, an angle, a date, a time of day,
// then in the record. Each field follows the one before without a gap.
namespace layout {

constexpr std::size_t PositionSize = 24;  // a cusp or a body
constexpr std::size_t CuspHouse = 0, CuspDegrees = 4, CuspMinutes = 8, CuspLongitude = 12, CuspSign = 20;
constexpr std::size_t BodyDegrees = 0, BodyMinutes = 4, BodyLongitude = 8, BodySign = 16, BodyHouse = 20;
static_assert(CuspLongitude + 8 == CuspSign && CuspSign + 4 == PositionSize);
static_assert(BodyLongitude + 8 == BodySign && BodyHouse + 4 == PositionSize);

constexpr std::size_t AngleDegrees = 0, AngleMinutes = 2, AngleDirection = 4, AngleSize = 8;
constexpr std::size_t DateYear = 0, DateDay = 4, DateMonth = 5, DateSize = 6;
constexpr std::size_t TimeHour = 0, TimeMinute = 4, TimeSecond = 8, TimeSpare = 12, TimeSize = 16;
constexpr std::size_t TextSize = 50;

constexpr std::size_t Cusps = 0, Bodies = 288, Longitude = 528, Latitude = 536, Place = 544, Name = 594;
constexpr std::size_t Zone = 644, DaylightSaving = 648, BeforeChrist = 649, BirthDate = 650, UtDate = 656;
constexpr std::size_t LocalTime = 662, UniversalTime = 678, SiderealTime = 694, LocalSiderealTime = 710;
constexpr std::size_t JulianDate = 726, JulianDate0h = 734, Ascendant = 742, Midheaven = 750;
constexpr std::size_t Reserved = 758, Ramc = 766, Obliquity = 774, Centuries1900 = 782, LongitudeDeg = 790;
constexpr std::size_t UtHours = 798, LatitudeDeg = 806, RamcRad = 814, ObliquityRad = 822, LatitudeRad = 830;
constexpr std::size_t DayNumber = 838;

static_assert(Bodies == Cusps + 12 * PositionSize && Longitude == Bodies + 10 * PositionSize);
static_assert(Latitude == Longitude + AngleSize && Place == Latitude + AngleSize);
static_assert(Name == Place + TextSize && Zone == Name + TextSize);
static_assert(DaylightSaving == Zone + 4 && BeforeChrist == DaylightSaving + 1 && BirthDate == BeforeChrist + 1);
static_assert(UtDate == BirthDate + DateSize && LocalTime == UtDate + DateSize);
static_assert(UniversalTime == LocalTime + TimeSize && SiderealTime == UniversalTime + TimeSize);
static_assert(LocalSiderealTime == SiderealTime + TimeSize && JulianDate == LocalSiderealTime + TimeSize);
static_assert(JulianDate0h == JulianDate + 8 && Ascendant == JulianDate0h + 8 && Midheaven == Ascendant + 8);
static_assert(Reserved == Midheaven + 8 && Ramc == Reserved + 8 && Obliquity == Ramc + 8);
static_assert(Centuries1900 == Obliquity + 8 && LongitudeDeg == Centuries1900 + 8 && UtHours == LongitudeDeg + 8);
static_assert(LatitudeDeg == UtHours + 8 && RamcRad == LatitudeDeg + 8 && ObliquityRad == RamcRad + 8);
static_assert(LatitudeRad == ObliquityRad + 8 && DayNumber == LatitudeRad + 8 && DayNumber + 8 == ChartFileSize);

// The record's fields that are not 4 or 8 bytes wide.
static_assert(sizeof(GeoAngle::degrees) == 2 && sizeof(GeoAngle::minutes) == 2 && sizeof(CalendarDate::day) == 1
              && sizeof(CalendarDate::month) == 1 && sizeof(Chart::daylightSaving) == 1
              && sizeof(Chart::beforeChrist) == 1 && sizeof(Chart::place) == TextSize
              && sizeof(Chart::name) == TextSize);

}  // namespace layout

// Calls field(offset, member) for every field of the record in file order: the one list that
// both reading and writing follow. `Record` is Chart or const Chart.
template <typename Record, typename Field>
void forEachField(Record& c, Field&& field)
{
    using namespace layout;
    const auto angle = [&](std::size_t at, auto& a) {
        field(at + AngleDegrees, a.degrees);
        field(at + AngleMinutes, a.minutes);
        field(at + AngleDirection, a.direction);
    };
    const auto date = [&](std::size_t at, auto& d) {
        field(at + DateYear, d.year);
        field(at + DateDay, d.day);
        field(at + DateMonth, d.month);
    };
    const auto time = [&](std::size_t at, auto& t) {
        field(at + TimeHour, t.hour);
        field(at + TimeMinute, t.minute);
        field(at + TimeSecond, t.second);
        field(at + TimeSpare, t.spare);
    };
    for (std::size_t n = 0; n < 12; ++n) {
        auto& cusp = c.cusps[n];
        const std::size_t at = Cusps + n * PositionSize;
        field(at + CuspHouse, cusp.house);
        field(at + CuspDegrees, cusp.degrees);
        field(at + CuspMinutes, cusp.minutes);
        field(at + CuspLongitude, cusp.longitude);
        field(at + CuspSign, cusp.sign);
    }
    for (std::size_t n = 0; n < BodyCount; ++n) {
        auto& body = c.bodies[n];
        const std::size_t at = Bodies + n * PositionSize;
        field(at + BodyDegrees, body.degrees);
        field(at + BodyMinutes, body.minutes);
        field(at + BodyLongitude, body.longitude);
        field(at + BodySign, body.sign);
        field(at + BodyHouse, body.house);
    }
    angle(Longitude, c.longitude);
    angle(Latitude, c.latitude);
    field(Place, c.place);
    field(Name, c.name);
    field(Zone, c.zone);
    field(DaylightSaving, c.daylightSaving);
    field(BeforeChrist, c.beforeChrist);
    date(BirthDate, c.birthDate);
    date(UtDate, c.utDate);
    time(LocalTime, c.localTime);
    time(UniversalTime, c.universalTime);
    time(SiderealTime, c.siderealTime);
    time(LocalSiderealTime, c.localSiderealTime);
    field(JulianDate, c.julianDate);
    field(JulianDate0h, c.julianDate0h);
    field(Ascendant, c.ascendant);
    field(Midheaven, c.midheaven);
    field(Reserved, c.reserved);
    field(Ramc, c.ramc);
    field(Obliquity, c.obliquity);
    field(Centuries1900, c.centuries1900);
    field(LongitudeDeg, c.longitudeDeg);
    field(UtHours, c.utHours);
    field(LatitudeDeg, c.latitudeDeg);
    field(RamcRad, c.ramcRad);
    field(ObliquityRad, c.obliquityRad);
    field(LatitudeRad, c.latitudeRad);
    field(DayNumber, c.dayNumber);
}

// `image` must hold ChartFileSize bytes.
Chart decodeChart(std::span<const std::byte> image)
{
    Chart chart;
    forEachField(chart, [&](std::size_t at, auto& value) { std::memcpy(&value, image.data() + at, sizeof value); });
    return chart;
}

constexpr std::int32_t MaxFileYear = 9999;

std::string describe(const char* what, std::int64_t value, const char* range)
{
    return std::string(what) + " is " + std::to_string(value) + ", not " + range;
}

bool terminated(const char (&field)[50]) { return std::memchr(field, '\0', sizeof field) != nullptr; }

bool angleWithin(const GeoAngle& a, int maxDegrees)
{
    return a.degrees >= 0 && a.minutes >= 0 && a.minutes <= 59
           && (a.degrees < maxDegrees || (a.degrees == maxDegrees && a.minutes == 0));
}

bool validLongitude(double x) { return std::isfinite(x) && x >= 0 && x <= 360; }

std::string checkPosition(const char* what, int index, std::int32_t degrees, std::int32_t minutes, double longitude,
                          std::int32_t sign)
{
    const std::string name = std::string(what) + " " + std::to_string(index + 1);
    if (!validLongitude(longitude))
        return name + " has a longitude outside 0 to 360";
    if (sign < 0 || sign >= SignCount)
        return describe((name + " sign").c_str(), sign, "0 to 11");
    if (degrees < 0 || degrees > 30)
        return describe((name + " degrees").c_str(), degrees, "0 to 30");
    if (minutes < 0 || minutes > 60)
        return describe((name + " minutes").c_str(), minutes, "0 to 60");
    return {};
}

std::string checkChart(const Chart& c)
{
    for (int n = 0; n < 12; ++n) {
        const HouseCusp& cusp = c.cusps[n];
        if (cusp.house < 1 || cusp.house > 12)
            return describe(("cusp " + std::to_string(n + 1) + " house").c_str(), cusp.house, "1 to 12");
        if (auto e = checkPosition("cusp", n, cusp.degrees, cusp.minutes, cusp.longitude, cusp.sign); !e.empty())
            return e;
    }
    for (int n = 0; n < BodyCount; ++n) {
        const BodyPosition& body = c.bodies[n];
        if (body.house < -1 || body.house > 11)
            return describe((std::string(bodyName(AllBodies[n])) + " house").c_str(), body.house, "-1 to 11");
        if (auto e = checkPosition("body", n, body.degrees, body.minutes, body.longitude, body.sign); !e.empty())
            return e;
    }
    if (c.longitude.direction != East && c.longitude.direction != West)
        return describe("the longitude direction", c.longitude.direction, "East (2) or West (3)");
    if (c.latitude.direction != North && c.latitude.direction != South)
        return describe("the latitude direction", c.latitude.direction, "North (0) or South (1)");
    if (!angleWithin(c.longitude, 180))
        return "the longitude is outside 0\u00b000' to 180\u00b000'";
    if (!angleWithin(c.latitude, 90))
        return "the latitude is outside 0\u00b000' to 90\u00b000'";
    if (!terminated(c.place))
        return "the place name is not terminated within its 50 bytes";
    if (!terminated(c.name))
        return "the name is not terminated within its 50 bytes";
    if (c.zone < 0 || c.zone >= ZoneCount)
        return describe("the time zone", c.zone, "0 to 28");
    if (c.birthDate.month < 1 || c.birthDate.month > 12)
        return describe("the birth month", c.birthDate.month, "1 to 12");
    // Only the range: files from before the day checks hold February 30 and must still open.
    if (c.birthDate.day < 1 || c.birthDate.day > 31)
        return describe("the birth day", c.birthDate.day, "1 to 31");
    // Far beyond any year the program writes, the calendar arithmetic would overflow.
    if (c.birthDate.year < -MaxFileYear || c.birthDate.year > MaxFileYear)
        return describe("the birth year", c.birthDate.year, "-9999 to 9999");
    if (c.utDate.year < -MaxFileYear || c.utDate.year > MaxFileYear)
        return describe("the Universal Time year", c.utDate.year, "-9999 to 9999");
    if (!validLongitude(c.ascendant) || !validLongitude(c.midheaven))
        return "the Ascendant or MidHeaven is outside 0 to 360";
    // `reserved` is carried as found; every other real must at least be a number.
    for (double x : {c.julianDate, c.julianDate0h, c.ramc, c.obliquity, c.centuries1900, c.longitudeDeg, c.utHours,
                     c.latitudeDeg, c.ramcRad, c.obliquityRad, c.latitudeRad, c.dayNumber}) {
        if (!std::isfinite(x))
            return "a computed value is not a finite number";
    }
    return {};
}

}  // namespace

ChartImage chartImage(const Chart& chart)
{
    ChartImage image{};
    forEachField(chart,
                 [&](std::size_t at, const auto& value) { std::memcpy(image.data() + at, &value, sizeof value); });
    return image;
}

std::string validateChartImage(std::span<const std::byte> image) { return chartFromImage(image).error; }

ChartReadResult chartFromImage(std::span<const std::byte> image)
{
    if (image.size() != ChartFileSize)
        return {std::nullopt, "not a chart file: " + std::to_string(image.size()) + " bytes, a chart file has "
                                  + std::to_string(ChartFileSize)};
    Chart chart = decodeChart(image);
    if (std::string reason = checkChart(chart); !reason.empty())
        return {std::nullopt, "not a valid chart file: " + reason};
    return {std::move(chart), {}};
}

ChartReadResult readChartFile(const std::filesystem::path& path)
{
    std::string reason;
    std::uintmax_t size = 0;
    const int fd = openRegularFile(path, reason, size);
    if (fd < 0)
        return {std::nullopt, reason};
    // One byte more than a chart tells a longer file from an exact one without reading it all.
    std::array<std::byte, ChartFileSize + 1> buffer{};
    std::size_t got = 0;
    while (got < buffer.size()) {
        const ssize_t n = ::read(fd, buffer.data() + got, buffer.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            reason = std::string("cannot read it: ") + std::strerror(errno);
            break;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (!reason.empty())
        return {std::nullopt, reason};
    if (got > ChartFileSize)
        return {std::nullopt, "not a chart file: " + std::to_string(std::max<std::uintmax_t>(size, got))
                                  + " bytes, a chart file has " + std::to_string(ChartFileSize)};
    return chartFromImage(std::span<const std::byte>(buffer.data(), got));
}

std::string writeChartFile(const std::filesystem::path& path, const Chart& chart)
{
    const ChartImage image = chartImage(chart);
    return replaceFile(path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
}

}  // namespace zodiara
