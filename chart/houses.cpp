#include "chart/houses.h"

#include <cmath>

#include "chart/angles.h"

namespace zodiara {

namespace {

// Newcomb's mean obliquity of the ecliptic for 1900 (23°27'08.26") and its change per century.
constexpr double ObliquityAt1900Deg = 23.452294;
constexpr double ObliquityChangeDegPerCentury = -0.0130125;
// Greenwich sidereal time at 1900 January 0.5: 6h 38m 45.836s.
constexpr double SiderealTimeAt1900Hours = 6.6460656;
// Stands for a latitude of exactly 0, at which the cusp iteration would divide by zero.
constexpr double EquatorLatitudeDeg = 1e-25;
constexpr int PlacidusIterations = 10;

}  // namespace

ChartAngles chartAngles(const ChartTimes& times, const GeoAngle& longitude, const GeoAngle& latitude)
{
    ChartAngles angles;
    int lonDeg = longitude.degrees;
    int lonMin = longitude.minutes;
    if (longitude.direction == East) {
        lonDeg = -lonDeg;
        lonMin = -lonMin;
    }
    angles.longitudeDeg = lonDeg + lonMin / 60.0;

    int latDeg = latitude.degrees;
    int latMin = latitude.minutes;
    if (latitude.direction == South) {
        latDeg = -latDeg;
        latMin = -latMin;
    }

    const double t = times.centuries1900;
    angles.obliquity = ObliquityAt1900Deg + ObliquityChangeDegPerCentury * t;
    angles.latitudeDeg = (latDeg == 0 && latMin == 0) ? EquatorLatitudeDeg : latDeg + latMin / 60.0;
    // The Greenwich sidereal time, in degrees, less the longitude west: the right ascension of the
    // meridian.
    const double siderealHours = SiderealTimeAt1900Hours + 2400.051336 * t + 0.000025862 * t * t + times.utHours;
    angles.ramc = reduce360(siderealHours * 15 - angles.longitudeDeg);
    angles.ramcRad = degToRad(angles.ramc);
    angles.obliquityRad = degToRad(angles.obliquity);
    angles.latitudeRad = degToRad(angles.latitudeDeg);

    // The MidHeaven is the ecliptic point on the meridian, tan MC = tan RAMC / cos obliquity; the
    // Ascendant the one on the eastern horizon, with the quadrant set by the signs below.
    const double ramc = angles.ramcRad;
    const double eps = angles.obliquityRad;
    double m = std::atan2(std::tan(ramc), std::cos(eps));
    if (m < 0)
        m += Pi;
    if (ramc > Pi)
        m += Pi;
    angles.midheaven = reduce360(radToDeg(m));

    double a =
        std::atan(std::cos(ramc) / (-std::sin(ramc) * std::cos(eps) - std::sin(eps) * std::tan(angles.latitudeRad)));
    if (a < 0)
        a += Pi;
    if (std::cos(ramc) < 0)
        a += Pi;
    angles.ascendant = easternAscendant(reduce360(radToDeg(a)), angles.midheaven);
    return angles;
}

double easternAscendant(double ascendantDeg, double midheavenDeg)
{
    // Inside the polar circles the formula can give the western intersection of ecliptic and
    // horizon; the houses then wind round the wheel more than once.
    if (reduce360(ascendantDeg - midheavenDeg) >= 180)
        return reduce360(ascendantDeg + 180);
    return ascendantDeg;
}

std::optional<double> placidusCusp(double r0, double f, bool diurnal, double ramcRad, double obliquityRad,
                                   double latitudeRad)
{
    // Placidus: the cusp lies 1/f of its own semi-arc (in right ascension) from the meridian, and
    // that semi-arc depends on where the cusp is, so the two are iterated.
    const double c = diurnal ? -1 : 1;
    double r = r0;
    for (int i = 0; i < PlacidusIterations; ++i) {
        const double x = c * std::sin(r) * std::tan(obliquityRad) * std::tan(latitudeRad);
        if (!(std::fabs(x) <= 1))
            return std::nullopt;
        double t = std::atan(std::sqrt(1 - x * x) / x);
        if (t < 0)
            t += Pi;
        r = diurnal ? ramcRad + t / f : ramcRad + Pi - t / f;
    }
    double lambda = std::atan2(std::tan(r), std::cos(obliquityRad));
    if (lambda < 0)
        lambda += Pi;
    if (std::sin(r) < 0)
        lambda += Pi;
    const double deg = radToDeg(lambda);
    if (!std::isfinite(deg))
        return std::nullopt;
    return deg;
}

namespace {

HouseCusps emptyCusps()
{
    HouseCusps cusps;
    for (int n = 0; n < 12; ++n)
        cusps[n].house = n + 1;
    return cusps;
}

void setOppositeCusps(HouseCusps& cusps)
{
    for (int k = 6; k < 12; ++k)
        splitCusp(cusps[k], reduce360(cusps[k - 6].longitude + 180));
}

}  // namespace

Houses placidusHouses(const ChartAngles& angles)
{
    Houses houses{emptyCusps(), HouseSystem::Placidus};
    HouseCusps& cusps = houses.cusps;
    const double asc = angles.ascendant;
    const double mc = angles.midheaven;
    splitCusp(cusps[0], asc);
    splitCusp(cusps[9], mc);
    splitCusp(cusps[3], reduce360(mc + 180));
    splitCusp(cusps[6], reduce360(asc + 180));

    const double ramc = angles.ramcRad;
    const double eps = angles.obliquityRad;
    const double phi = angles.latitudeRad;
    const std::optional<double> c11 = placidusCusp(ramc + degToRad(30), 3, true, ramc, eps, phi);
    const std::optional<double> c12 = placidusCusp(ramc + degToRad(60), 1.5, true, ramc, eps, phi);
    const std::optional<double> c2 = placidusCusp(ramc + degToRad(120), 1.5, false, ramc, eps, phi);
    const std::optional<double> c3 = placidusCusp(ramc + degToRad(150), 3, false, ramc, eps, phi);

    if (!(c11 && c12 && c2 && c3)) {
        // Beyond the polar circles the semi-arcs do not exist.
        return {porphyryCusps(asc, mc), HouseSystem::Porphyry};
    }
    splitCusp(cusps[4], reduce360(*c11 + 180));
    splitCusp(cusps[5], reduce360(*c12 + 180));
    splitCusp(cusps[1], *c2);
    splitCusp(cusps[2], *c3);
    setOppositeCusps(cusps);
    return houses;
}

HouseCusps porphyryCusps(double asc, double mc)
{
    HouseCusps cusps = emptyCusps();
    const double ic = reduce360(mc + 180);
    const double desc = reduce360(asc + 180);
    splitCusp(cusps[0], asc);
    splitCusp(cusps[9], mc);
    splitCusp(cusps[3], ic);
    splitCusp(cusps[6], desc);
    const double eastArc = reduce360(ic - asc);
    splitCusp(cusps[1], reduce360(asc + eastArc / 3));
    splitCusp(cusps[2], reduce360(asc + 2 * eastArc / 3));
    const double westArc = reduce360(desc - ic);
    splitCusp(cusps[4], reduce360(ic + westArc / 3));
    splitCusp(cusps[5], reduce360(ic + 2 * westArc / 3));
    setOppositeCusps(cusps);
    return cusps;
}

int houseOf(double p, const HouseCusps& cusps)
{
    for (int j = 0; j < 11; ++j) {
        const double a = cusps[j].longitude;
        const double n = cusps[j + 1].longitude;
        if (a > n) {
            if (p >= a || p < n)
                return j;
        } else if (a <= p && p < n) {
            return j;
        }
    }
    return 11;
}

BodyPositions withHouses(BodyPositions bodies, const HouseCusps& cusps)
{
    for (auto& body : bodies)
        body.house = houseOf(body.longitude, cusps);
    return bodies;
}

}  // namespace zodiara
