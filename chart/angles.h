// Angles in degrees and radians, wrapping onto the circle, and a longitude split into sign,
// degrees and minutes. Plain values in, plain values out.
#pragma once

#include "chart/chart.h"

namespace zodiara {

inline constexpr double Pi = 3.141592653589793;

// angle - 360 * floor(angle / 360): 0 (inclusive) to 360 (exclusive, up to rounding).
double reduce360(double angleDeg);
double degToRad(double angleDeg);
double radToDeg(double angleRad);

// The same results as the loops `while (x > 360) x -= 360;` and `while (x < 0) x += 360;`,
// in constant time: every step of those loops but the last of wrapUp is exact.
double wrapDown360(double x);
double wrapUp360(double x);

// Sign, whole degrees and minutes of a longitude, rounded to the nearest minute: a minute that
// rounds to 60 carries into the degree and the sign.
void splitCusp(HouseCusp& cusp, double longitudeDeg);
void splitBody(BodyPosition& body, double longitudeDeg);

}  // namespace zodiara
