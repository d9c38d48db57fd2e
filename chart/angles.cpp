#include "chart/angles.h"

#include <cmath>

namespace zodiara {

double reduce360(double angleDeg) { return angleDeg - 360 * std::floor(angleDeg / 360); }

double degToRad(double angleDeg) { return angleDeg * (1.0 / 180) * Pi; }

double radToDeg(double angleRad) { return angleRad * 180 / Pi; }

double wrapDown360(double x)
{
    if (!(x > 360))
        return x;
    // x - 360 n is exact for every n that keeps it within (-360, x], so one step equals many.
    double r = x - 360 * std::floor(x / 360);
    // clang-format off
    while (r > 360) r -= 360;
    while (r <= 0) r += 360;
    // clang-format on
    return r;
}

double wrapUp360(double x)
{
    if (!(x < 0))
        return x;
    double k = std::floor(-x / 360) - 1;
    if (k < 0)
        k = 0;
    double y = x + 360 * k;  // exact: still negative and no larger in magnitude than x
    while (y + 360 < 0)
        y += 360;
    return y + 360;  // the one step that may round
}

template <typename Position>
static void splitLongitude(Position& p, double longitudeDeg)
{
    p.longitude = longitudeDeg;
    int degrees = static_cast<int>(std::trunc(std::floor(longitudeDeg)));
    const double x = (longitudeDeg - degrees) * 60;
    int minutes = static_cast<int>(std::floor(x));
    if (x - std::floor(x) >= 0.5)
        minutes += 1;
    // 29.9999 degrees is 30°00', the next sign's 0°00', never 29°60'.
    if (minutes == 60) {
        minutes = 0;
        degrees += 1;
    }
    int sign = 0;
    while (sign < index(Sign::Pisces) && degrees >= 30) {
        sign += 1;
        degrees -= 30;
    }
    if (degrees >= 30) {  // past 359°59'30": 0° Aries
        sign = 0;
        degrees -= 30;
    }
    p.degrees = degrees;
    p.minutes = minutes;
    p.sign = static_cast<Sign>(sign);
}

void splitCusp(HouseCusp& cusp, double longitudeDeg) { splitLongitude(cusp, longitudeDeg); }

void splitBody(BodyPosition& body, double longitudeDeg)
{
    splitLongitude(body, longitudeDeg);
    body.house = -1;
}

}  // namespace zodiara
