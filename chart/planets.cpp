// The planets from mean Keplerian orbits: the heliocentric longitude with the equation of centre to
// first order in the eccentricity, projected onto the ecliptic and seen from the Earth.
#include <array>
#include <cmath>

#include "chart/angles.h"
#include "chart/calendar.h"
#include "chart/ephemeris.h"

namespace zodiara {

namespace {

struct OrbitalElements {
    double period;            // tropical years
    double longitudeAtEpoch;  // degrees
    double perihelion;        // degrees
    double eccentricity;
    double semiMajorAxis;  // AU
    double inclination;    // degrees
    double node;           // degrees
};

// Mean elements for the epoch 1990 January 0.0 (Pluto: 1988 January 0.0). Angular diameter and
// magnitude are not needed for a chart.
inline constexpr OrbitalElements EarthElements = {1.00004, 99.403308, 102.768413, 0.016713, 1.0, 0, 0};

struct Planet {
    Body body;
    OrbitalElements elements;
};
inline constexpr std::array<Planet, 8> Planets = {{
    {Body::Mercury, {0.240852, 60.750646, 77.299833, 0.205633, 0.387099, 7.00454, 48.21274}},
    {Body::Venus, {0.615211, 88.455855, 131.430236, 0.006778, 0.723332, 3.394535, 76.58982}},
    {Body::Mars, {1.880932, 240.739474, 335.874939, 0.093396, 1.523688, 1.849736, 49.480308}},
    {Body::Jupiter, {11.863075, 90.638185, 14.170747, 0.048482, 5.202561, 1.303613, 100.353142}},
    {Body::Saturn, {29.471362, 287.690033, 92.861407, 0.055581, 9.554747, 2.48898, 113.576139}},
    {Body::Uranus, {84.039492, 271.063148, 172.884833, 0.046321, 19.21814, 0.773059, 73.926961}},
    {Body::Neptune, {164.79246, 282.349556, 48.009758, 0.009003, 30.10957, 1.770646, 131.670599}},
    {Body::Pluto, {246.77027, 221.4127, 224.133, 0.24624, 39.3414, 17.142, 110.144}},
}};

double sinDeg(double x) { return std::sin(degToRad(x)); }
double cosDeg(double x) { return std::cos(degToRad(x)); }

// The largest mutual perturbations of Jupiter and Saturn in heliocentric longitude (5Q - 2P is the
// argument of the great inequality); t in centuries from 1900.
double jupiterSaturnCorrection(Body body, double t)
{
    const double a = 0.2 * t + 0.1;
    const double p = 237.47555 + 3034.9061 * t;
    const double q = 265.9165 + 1222.1139 * t;
    const double v = 5 * q - 2 * p;
    const double b = q - p;
    if (body == Body::Jupiter)
        return (0.3314 - 0.0103 * a) * sinDeg(v) - 0.0644 * a * cosDeg(v);
    return (0.1609 * a - 0.0105) * cosDeg(v) + (0.0182 * a - 0.8142) * sinDeg(v) - 0.1488 * sinDeg(b)
           - 0.0408 * sinDeg(2 * b) + 0.0856 * sinDeg(b) * cosDeg(q);
}

}  // namespace

BodyPositions planetsAt(const ChartTimes& times)
{
    BodyPositions bodies;
    const double d = times.dayNumber;

    const OrbitalElements& earth = EarthElements;
    double np = wrapDown360(wrapUp360((d / earth.period) * MeanMotionDegPerDay));
    double m = np + earth.longitudeAtEpoch - earth.perihelion;
    const double earthL =
        wrapUp360(wrapDown360((360 / Pi) * earth.eccentricity * sinDeg(m) + np + earth.longitudeAtEpoch));
    const double earthR =
        (1 - earth.eccentricity * earth.eccentricity) / (1 + earth.eccentricity * cosDeg(earthL - earth.perihelion));

    for (const auto& [body, el] : Planets) {
        const double days = body == Body::Pluto ? dayNumberSinceEpoch(times.utDate, times.universalTime, 1988) : d;
        np = wrapUp360(wrapDown360((days / el.period) * MeanMotionDegPerDay));
        m = np + el.longitudeAtEpoch - el.perihelion;
        double l = (360 / Pi) * el.eccentricity * sinDeg(m) + np + el.longitudeAtEpoch;
        if (body == Body::Jupiter || body == Body::Saturn)
            l += jupiterSaturnCorrection(body, times.centuries1900);
        l = wrapUp360(wrapDown360(l));
        const double r = el.semiMajorAxis * (1 - el.eccentricity * el.eccentricity)
                         / (1 + el.eccentricity * cosDeg(l - el.perihelion));
        const double s = sinDeg(l - el.node) * sinDeg(el.inclination);
        const double psi = std::atan(s / std::sqrt(1 - s * s));
        const double lp =
            el.node + radToDeg(std::atan2(sinDeg(l - el.node) * cosDeg(el.inclination), cosDeg(l - el.node)));
        const double rp = r * std::cos(psi);
        double lambda;
        // Both forms give the geocentric longitude, differing at most in the last bit; Mars stays with
        // the first so that every chart keeps its figures to the bit.
        if (body == Body::Mercury || body == Body::Venus || body == Body::Mars) {
            lambda = 180 + earthL + radToDeg(std::atan2(rp * sinDeg(earthL - lp), earthR - rp * cosDeg(earthL - lp)));
        } else {
            lambda = lp + radToDeg(std::atan2(earthR * sinDeg(lp - earthL), rp - earthR * cosDeg(lp - earthL)));
        }
        lambda = wrapDown360(wrapUp360(lambda));
        splitBody(bodies[index(body)], lambda);
    }
    return bodies;
}

BodyPositions classicPositions(const ChartTimes& times)
{
    BodyPositions bodies = planetsAt(times);
    const SunAndMoon sunAndMoon = sunAndMoonAt(times);
    bodies[index(Body::Sun)] = sunAndMoon.sun;
    bodies[index(Body::Moon)] = sunAndMoon.moon;
    return bodies;
}

}  // namespace zodiara
