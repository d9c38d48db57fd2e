#include "chart/precise.h"

#include <cmath>
#include <mutex>
#include <unordered_set>

#include <swephexp.h>

#include "chart/angles.h"
#include "chart/calendar.h"
#include "chart/houses.h"

namespace zodiara {

namespace {

// The library numbers the Sun 0 and the Moon 1; the chart the other way round.
constexpr int LibraryBody[BodyCount] = {SE_MOON,    SE_SUN,    SE_MERCURY, SE_VENUS,   SE_MARS,
                                        SE_JUPITER, SE_SATURN, SE_URANUS,  SE_NEPTUNE, SE_PLUTO};

// The library keeps global state, per thread unless it was built without (the build checks which).
// Per thread, each thread (a batch worker) has its own, set up on its first call and closed when
// the thread ends, which frees its files and buffers; shared, it is set up once and the threads
// take turns.
#ifdef ZODIARA_EPHEMERIS_PER_THREAD
inline constexpr bool LibraryPerThread = true;
#else
inline constexpr bool LibraryPerThread = false;
#endif
std::mutex libraryLock;

void ensurePath()
{
    // The library falls back to its analytical theory where no data file covers a date.
    if constexpr (LibraryPerThread) {
        thread_local const struct Instance {
            Instance() { swe_set_ephe_path(nullptr); }
            ~Instance() { swe_close(); }
        } instance;
    } else {
        static const bool done = [] {
            swe_set_ephe_path(nullptr);
            return true;
        }();
        (void)done;
    }
}

double finiteOr(double x, double fallback) { return std::isfinite(x) ? x : fallback; }

struct PreciseAngles {
    double ascendant, midheaven, armc, obliquity;
    bool placidus;
    double cusps[12];
};

// Each data file covers 600 years from 1800 onwards (and backwards). Where one is missing the
// library silently uses its analytical theory, but only after looking for the file on every call;
// remembering the miss makes such charts several times faster, with the same result. Each thread
// remembers its own, as the library's state may be.
constexpr double FileSpanDays = 600 * 365.25;
constexpr double FileEpoch = 2378496.5;  // 1800 January 1
std::unordered_set<long long>& blocksWithoutFile()
{
    thread_local std::unordered_set<long long> blocks;
    return blocks;
}

// Nothing where the library reports an error (its text in `why`): a failed call leaves zeros, not a
// position.
std::optional<double> preciseBodyLongitude(double julianDateUt, Body body, std::string& why)
{
    ensurePath();
    const long long block = static_cast<long long>(std::floor((julianDateUt - FileEpoch) / FileSpanDays));
    const bool knownMissing = blocksWithoutFile().contains(block);
    double x[6] = {};
    char error[AS_MAXCH] = {};
    const int flags =
        swe_calc_ut(julianDateUt, LibraryBody[index(body)], knownMissing ? SEFLG_MOSEPH : SEFLG_SWIEPH, x, error);
    if (flags < 0 || !std::isfinite(x[0])) {
        why = error;
        return std::nullopt;
    }
    if (!knownMissing && (flags & SEFLG_MOSEPH))
        blocksWithoutFile().insert(block);
    return x[0];
}

std::optional<PreciseAngles> preciseAngles(double julianDateUt, double latitudeDeg, double eastLongitudeDeg,
                                           std::string& why)
{
    ensurePath();
    PreciseAngles a{};
    double nutation[6] = {};
    char error[AS_MAXCH] = {};
    if (swe_calc_ut(julianDateUt, SE_ECL_NUT, SEFLG_SWIEPH, nutation, error) < 0 || !std::isfinite(nutation[0])) {
        why = error;
        return std::nullopt;
    }
    a.obliquity = nutation[0];  // true obliquity of date
    double cusps[13] = {};
    double ascmc[10] = {};
    const int rc = swe_houses_ex(julianDateUt, 0, latitudeDeg, eastLongitudeDeg, 'P', cusps, ascmc);
    a.ascendant = ascmc[SE_ASC];
    a.midheaven = ascmc[SE_MC];
    a.armc = ascmc[SE_ARMC];
    a.placidus = rc >= 0;
    for (int k = 0; k < 12; ++k) {
        a.cusps[k] = cusps[k + 1];
        a.placidus = a.placidus && std::isfinite(cusps[k + 1]);
    }
    return a;
}

}  // namespace

bool preciseCovers(double julianDateUt)
{
    return julianDateUt >= julianDay(PreciseFirstDay, 0) && julianDateUt < julianDay(PreciseLastDay, 1);
}

std::string preciseRangeText()
{
    const auto text = [](const CalendarDate& d) {
        const int year = d.year > 0 ? d.year : 1 - d.year;
        return std::to_string(d.day) + " " + std::string(MonthNames[d.month - 1]) + " " + std::to_string(year)
               + (d.year > 0 ? "" : " BC");
    };
    return text(PreciseFirstDay) + " to " + text(PreciseLastDay) + " (Universal Time)";
}

std::optional<PrecisePositions> precisePositions(const ChartTimes& times, const ChartAngles& classic,
                                                 std::string* error)
{
    std::string why;
    const auto fail = [&]() -> std::optional<PrecisePositions> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const double jd = times.julianDate;
    // Outside the range the library would look for data files that do not exist, then fail.
    if (!preciseCovers(jd))
        return std::nullopt;
    double longitudes[10];
    std::unique_lock lock(libraryLock, std::defer_lock);
    if (!LibraryPerThread)
        lock.lock();
    for (const Body body : AllBodies) {
        const std::optional<double> lon = preciseBodyLongitude(jd, body, why);
        if (!lon)
            return fail();
        longitudes[index(body)] = *lon;
    }
    const std::optional<PreciseAngles> library = preciseAngles(jd, classic.latitudeDeg, -classic.longitudeDeg, why);
    if (lock.owns_lock())
        lock.unlock();
    if (!library)
        return fail();
    const PreciseAngles& a = *library;
    PrecisePositions result;
    ChartAngles& angles = result.angles;
    angles = classic;
    angles.obliquity = a.obliquity;
    angles.ramc = reduce360(finiteOr(a.armc, classic.ramc));
    angles.ascendant = reduce360(finiteOr(a.ascendant, classic.ascendant));
    angles.midheaven = reduce360(finiteOr(a.midheaven, classic.midheaven));
    angles.ramcRad = degToRad(angles.ramc);
    angles.obliquityRad = degToRad(angles.obliquity);

    if (a.placidus) {
        for (int k = 0; k < 12; ++k) {
            result.houses.cusps[k].house = k + 1;
            splitCusp(result.houses.cusps[k], reduce360(a.cusps[k]));
        }
    } else {
        result.houses = {porphyryCusps(angles.ascendant, angles.midheaven), HouseSystem::Porphyry};
    }

    for (const Body body : AllBodies)
        splitBody(result.bodies[index(body)], reduce360(longitudes[index(body)]));
    return result;
}

std::string preciseEphemerisVersion()
{
    char version[AS_MAXCH] = {};
    swe_version(version);
    return std::string("Swiss Ephemeris ") + version;
}

}  // namespace zodiara
