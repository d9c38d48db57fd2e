#include "chartfile.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace zodiara {

namespace {

constexpr std::int32_t MaxFileYear = 9999;

std::string describe(const char* what, std::int64_t value, const char* range)
{
    return std::string(what) + " is " + std::to_string(value) + ", not " + range;
}

bool terminated(const char (&field)[50])
{
    return std::memchr(field, '\0', sizeof field) != nullptr;
}

bool angleWithin(const GeoAngle& a, int maxDegrees)
{
    return a.degrees >= 0 && a.minutes >= 0 && a.minutes <= 59
           && (a.degrees < maxDegrees || (a.degrees == maxDegrees && a.minutes == 0));
}

bool validLongitude(double x)
{
    return std::isfinite(x) && x >= 0 && x <= 360;
}

std::string checkPosition(const char* what, int index, std::int32_t degrees, std::int32_t minutes,
                          double longitude, std::int32_t sign)
{
    const std::string name = std::string(what) + " " + std::to_string(index + 1);
    if (!validLongitude(longitude))
        return name + " has a longitude outside 0 to 360";
    if (sign < 0 || sign > 11)
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
    for (int n = 0; n < 10; ++n) {
        const BodyPosition& body = c.bodies[n];
        if (body.house < -1 || body.house > 11)
            return describe((std::string(BodyNames[n]) + " house").c_str(), body.house, "-1 to 11");
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
    for (double x : {c.julianDate, c.julianDate0h, c.ramc, c.obliquity, c.centuries1900, c.longitudeDeg,
                     c.utHours, c.latitudeDeg, c.ramcRad, c.obliquityRad, c.latitudeRad, c.dayNumber}) {
        if (!std::isfinite(x))
            return "a computed value is not a finite number";
    }
    return {};
}

std::string systemReason(int error)
{
    return std::strerror(error);
}

}  // namespace

std::string validateChartImage(std::span<const std::byte> image)
{
    if (image.size() != ChartFileSize)
        return "not a chart file: " + std::to_string(image.size()) + " bytes, a chart file has "
               + std::to_string(ChartFileSize);
    Chart chart;
    std::memcpy(static_cast<void*>(&chart), image.data(), ChartFileSize);
    const std::string reason = checkChart(chart);
    return reason.empty() ? reason : "not a valid chart file: " + reason;
}

ChartReadResult chartFromImage(std::span<const std::byte> image)
{
    ChartReadResult result;
    result.error = validateChartImage(image);
    if (result.error.empty()) {
        result.chart.emplace();
        std::memcpy(static_cast<void*>(&*result.chart), image.data(), ChartFileSize);
    }
    return result;
}

ChartReadResult readChartFile(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return {std::nullopt, "it is a folder, not a file"};
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int error = errno;
        return {std::nullopt, "cannot open it: " + systemReason(error)};
    }
    // One byte more than a chart tells a longer file from an exact one without reading it all.
    std::array<std::byte, ChartFileSize + 1> buffer{};
    in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
    if (in.bad())
        return {std::nullopt, "cannot read it"};
    std::size_t size = static_cast<std::size_t>(in.gcount());
    if (size > ChartFileSize) {
        const auto full = std::filesystem::file_size(path, ec);
        if (!ec)
            size = static_cast<std::size_t>(full);
        return {std::nullopt, "not a chart file: " + std::to_string(size) + " bytes, a chart file has "
                                  + std::to_string(ChartFileSize)};
    }
    return chartFromImage(std::span<const std::byte>(buffer.data(), size));
}

std::string writeChartFile(const std::filesystem::path& path, const Chart& chart)
{
    const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : ".";
    std::string temp = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return "cannot create a file in " + dir.string() + ": " + systemReason(errno);

    const auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temp.c_str());
        return systemReason(error);
    };

    // A replaced file keeps its permissions; a new one gets what the umask allows.
    struct stat existing {};
    mode_t mode;
    if (::stat(path.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0)
        return fail(errno);

    const char* bytes = reinterpret_cast<const char*>(&chart);
    std::size_t written = 0;
    while (written < ChartFileSize) {
        const ssize_t n = ::write(fd, bytes + written, ChartFileSize - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return systemReason(error);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return systemReason(error);
    }
    return {};
}

}  // namespace zodiara
