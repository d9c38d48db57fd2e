// The Sun and the Moon as in Duffett-Smith, Practical Astronomy with your Calculator, from its
// elements for the epoch 1990 January 0.0.
#include <cmath>

#include "chart/angles.h"
#include "chart/calendar.h"
#include "chart/ephemeris.h"

namespace zodiara {

namespace {

inline constexpr double SunLongitudeAtEpoch = 279.403303;
inline constexpr double SunPerigee = 282.768422;
inline constexpr double SunEccentricity = 0.016713;
inline constexpr double KeplerTolerance = 1e-6;
inline constexpr int KeplerMaxIterations = 100;  // converges in a handful for this eccentricity

inline constexpr double MoonLongitudeAtEpoch = 318.351648;
inline constexpr double MoonPerigeeAtEpoch = 36.34041;
inline constexpr double MoonNodeAtEpoch = 318.510107;
inline constexpr double MoonInclination = 5.145396;
inline constexpr double MoonDailyMotion = 13.1763966;
inline constexpr double MoonPerigeeMotion = 0.1114041;
inline constexpr double MoonNodeMotion = 0.0529539;

// Amplitudes of the Moon's periodic terms, in degrees.
inline constexpr double Evection = 1.2739;
inline constexpr double AnnualEquation = 0.1858;
inline constexpr double ThirdCorrection = 0.37;
inline constexpr double EquationOfCentre = 6.2886;
inline constexpr double FourthCorrection = 0.214;
inline constexpr double Variation = 0.6583;
inline constexpr double NodeCorrection = 0.16;

double reduceBothWays(double x) { return wrapUp360(wrapDown360(x)); }

}  // namespace

SunAndMoon sunAndMoonAt(const ChartTimes& times)
{
    SunAndMoon result;
    const double d = times.dayNumber;

    // Sun: Kepler's equation on the mean anomaly (not reduced).
    const double n = reduceBothWays(MeanMotionDegPerDay * d);
    double e = degToRad(n + SunLongitudeAtEpoch - SunPerigee);
    const double m = e;
    double delta = e - SunEccentricity * std::sin(e) - m;
    for (int i = 0; std::fabs(delta) > KeplerTolerance && i < KeplerMaxIterations; ++i) {
        e = e - delta / (1 - SunEccentricity * std::cos(e));
        delta = e - SunEccentricity * std::sin(e) - m;
    }
    const double nu =
        radToDeg(2 * std::atan(std::sqrt((1 + SunEccentricity) / (1 - SunEccentricity)) * std::tan(e / 2)));
    double sunLon = nu + SunPerigee;
    if (sunLon > 360)
        sunLon -= 360;
    splitBody(result.sun, sunLon);

    // Moon: mean longitude with the periodic terms, projected through the inclined orbit.
    const double sinE = std::sin(e);
    const double l = reduceBothWays(MoonDailyMotion * d + MoonLongitudeAtEpoch);
    const double mm = reduceBothWays(l - MoonPerigeeMotion * d - MoonPerigeeAtEpoch);
    const double node = reduceBothWays(MoonNodeAtEpoch - MoonNodeMotion * d);
    const double ev = Evection * std::sin(degToRad(2 * (l - sunLon) - mm));
    const double ae = AnnualEquation * sinE;
    const double a3 = ThirdCorrection * sinE;
    const double mmCorrected = mm + ev - ae - a3;
    const double ec = EquationOfCentre * std::sin(degToRad(mmCorrected));
    const double a4 = FourthCorrection * std::sin(degToRad(2 * mmCorrected));
    const double l1 = l + ev + ec - ae + a4;
    const double v = Variation * std::sin(degToRad(2 * (l1 - sunLon)));
    const double l2 = l1 + v;
    const double node1 = node - NodeCorrection * sinE;
    const double incl = degToRad(MoonInclination);
    const double arg = degToRad(l2 - node1);
    const double moonLon = reduceBothWays(node1 + radToDeg(std::atan2(std::sin(arg) * std::cos(incl), std::cos(arg))));
    splitBody(result.moon, moonLon);
    return result;
}

}  // namespace zodiara
