#include "chart/chartfile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>
#include <unistd.h>

#include "chart/fileio.h"
#include "chart/text1252.h"

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
              && sizeof(CalendarDate::month) == 1 && sizeof(FileRemnants::daylightSavingByte) == 1
              && sizeof(FileRemnants::beforeChristByte) == 1 && sizeof(FileRemnants::placeField) == TextSize
              && sizeof(FileRemnants::nameField) == TextSize);
static_assert(sizeof(Sign) == 4 && sizeof(CompassDirection) == 4);

}  // namespace layout

// Calls field(offset, member...) for every field of the record in file order: the one list that
// both reading and writing follow. `Record` is Chart or const Chart. A text comes with its stored
// field and a flag with its stored byte; everything else is a scalar copied as it lies in memory.
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
    const auto time = [&](std::size_t at, auto& t, auto& spare) {
        field(at + TimeHour, t.hour);
        field(at + TimeMinute, t.minute);
        field(at + TimeSecond, t.second);
        field(at + TimeSpare, spare);
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
    auto& birth = c.birth;
    auto& times = c.times;
    auto& angles = c.angles;
    auto& kept = c.remnants;
    angle(Longitude, birth.longitude);
    angle(Latitude, birth.latitude);
    field(Place, birth.place, kept.placeField);
    field(Name, birth.name, kept.nameField);
    field(Zone, birth.zone);
    field(DaylightSaving, birth.daylightSaving, kept.daylightSavingByte);
    field(BeforeChrist, birth.beforeChrist, kept.beforeChristByte);
    date(BirthDate, birth.birthDate);
    date(UtDate, times.utDate);
    time(LocalTime, birth.localTime, kept.timeSpares[0]);
    time(UniversalTime, times.universalTime, kept.timeSpares[1]);
    time(SiderealTime, times.siderealTime, kept.timeSpares[2]);
    time(LocalSiderealTime, times.localSiderealTime, kept.timeSpares[3]);
    field(JulianDate, times.julianDate);
    field(JulianDate0h, times.julianDate0h);
    field(Ascendant, angles.ascendant);
    field(Midheaven, angles.midheaven);
    field(Reserved, kept.reserved);
    field(Ramc, angles.ramc);
    field(Obliquity, angles.obliquity);
    field(Centuries1900, times.centuries1900);
    field(LongitudeDeg, angles.longitudeDeg);
    field(UtHours, times.utHours);
    field(LatitudeDeg, angles.latitudeDeg);
    field(RamcRad, angles.ramcRad);
    field(ObliquityRad, angles.obliquityRad);
    field(LatitudeRad, angles.latitudeRad);
    field(DayNumber, times.dayNumber);
}

using TextField = std::array<char, layout::TextSize>;

std::string_view storedText(const TextField& field)
{
    return std::string_view(field.data(), strnlen(field.data(), field.size()));
}

struct Decoder {
    std::span<const std::byte> image;

    template <typename Scalar>
    void operator()(std::size_t at, Scalar& value) const
    {
        static_assert(std::is_arithmetic_v<Scalar> || std::is_enum_v<Scalar>);
        std::memcpy(&value, image.data() + at, sizeof value);
    }
    void operator()(std::size_t at, std::string& text, TextField& field) const
    {
        std::memcpy(field.data(), image.data() + at, field.size());
        text = utf8FromWindows1252(storedText(field));
    }
    void operator()(std::size_t at, bool& flag, std::uint8_t& byte) const
    {
        std::memcpy(&byte, image.data() + at, 1);
        flag = byte != 0;
    }
};

struct Encoder {
    ChartImage& image;

    template <typename Scalar>
    void operator()(std::size_t at, const Scalar& value) const
    {
        static_assert(std::is_arithmetic_v<Scalar> || std::is_enum_v<Scalar>);
        std::memcpy(image.data() + at, &value, sizeof value);
    }
    void operator()(std::size_t at, const std::string& text, const TextField& stored) const
    {
        TextField field = stored;
        // A text read from the field and left alone goes back as it came, bytes the code page
        // leaves undefined included.
        if (utf8FromWindows1252(storedText(stored)) != text) {
            const std::string bytes = windows1252Lossy(text, ChartTextMaxChars);
            std::memcpy(field.data(), bytes.data(), bytes.size());
            field[bytes.size()] = '\0';
        }
        std::memcpy(image.data() + at, field.data(), field.size());
    }
    void operator()(std::size_t at, bool flag, std::uint8_t stored) const
    {
        const std::uint8_t byte = (stored != 0) == flag ? stored : std::uint8_t(flag ? 1 : 0);
        std::memcpy(image.data() + at, &byte, 1);
    }
};

// `image` must hold ChartFileSize bytes.
Chart decodeChart(std::span<const std::byte> image)
{
    Chart chart;
    forEachField(chart, Decoder{image});
    return chart;
}

constexpr std::int32_t MaxFileYear = 9999;

std::string describe(const char* what, std::int64_t value, const char* range)
{
    return std::string(what) + " is " + std::to_string(value) + ", not " + range;
}

bool terminated(const TextField& field) { return std::memchr(field.data(), '\0', field.size()) != nullptr; }

bool angleWithin(const GeoAngle& a, int maxDegrees)
{
    return a.degrees >= 0 && a.minutes >= 0 && a.minutes <= 59
           && (a.degrees < maxDegrees || (a.degrees == maxDegrees && a.minutes == 0));
}

bool validLongitude(double x) { return std::isfinite(x) && x >= 0 && x <= 360; }

std::string checkPosition(const char* what, int index, std::int32_t degrees, std::int32_t minutes, double longitude,
                          Sign sign)
{
    const std::string name = std::string(what) + " " + std::to_string(index + 1);
    if (!validLongitude(longitude))
        return name + " has a longitude outside 0 to 360";
    if (zodiara::index(sign) < 0 || zodiara::index(sign) >= SignCount)
        return describe((name + " sign").c_str(), zodiara::index(sign), "0 to 11");
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
    const BirthData& b = c.birth;
    if (b.longitude.direction != East && b.longitude.direction != West)
        return describe("the longitude direction", b.longitude.direction, "East (2) or West (3)");
    if (b.latitude.direction != North && b.latitude.direction != South)
        return describe("the latitude direction", b.latitude.direction, "North (0) or South (1)");
    if (!angleWithin(b.longitude, 180))
        return "the longitude is outside 0\u00b000' to 180\u00b000'";
    if (!angleWithin(b.latitude, 90))
        return "the latitude is outside 0\u00b000' to 90\u00b000'";
    if (!terminated(c.remnants.placeField))
        return "the place name is not terminated within its 50 bytes";
    if (!terminated(c.remnants.nameField))
        return "the name is not terminated within its 50 bytes";
    if (b.zone < 0 || b.zone >= ZoneCount)
        return describe("the time zone", b.zone, ("0 to " + std::to_string(ZoneCount - 1)).c_str());
    if (b.birthDate.month < 1 || b.birthDate.month > 12)
        return describe("the birth month", b.birthDate.month, "1 to 12");
    // Only the range: files from before the day checks hold February 30 and must still open.
    if (b.birthDate.day < 1 || b.birthDate.day > 31)
        return describe("the birth day", b.birthDate.day, "1 to 31");
    // Far beyond any year the program writes, the calendar arithmetic would overflow.
    if (b.birthDate.year < -MaxFileYear || b.birthDate.year > MaxFileYear)
        return describe("the birth year", b.birthDate.year, "-9999 to 9999");
    const ChartTimes& t = c.times;
    const ChartAngles& a = c.angles;
    // A birth on the last evening of 9999 west of Greenwich is already in 10000 at Greenwich.
    if (t.utDate.year < -MaxFileYear || t.utDate.year > MaxFileYear + 1)
        return describe("the Universal Time year", t.utDate.year, "-9999 to 10000");
    if (!validLongitude(a.ascendant) || !validLongitude(a.midheaven))
        return "the Ascendant or MidHeaven is outside 0 to 360";
    // `reserved` is carried as found; every other real must at least be a number.
    for (double x : {t.julianDate, t.julianDate0h, a.ramc, a.obliquity, t.centuries1900, a.longitudeDeg, t.utHours,
                     a.latitudeDeg, a.ramcRad, a.obliquityRad, a.latitudeRad, t.dayNumber}) {
        if (!std::isfinite(x))
            return "a computed value is not a finite number";
    }
    return {};
}

}  // namespace

ChartImage chartImage(const Chart& chart)
{
    ChartImage image{};
    forEachField(chart, Encoder{image});
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
