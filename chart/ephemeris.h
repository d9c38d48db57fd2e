// Low-precision positions from mean elements for the epoch 1990 January 0.0.
#pragma once

#include "chart/chart.h"

namespace zodiara {

inline constexpr double TropicalYearDays = 365.242191;
// The Sun's mean motion.
inline constexpr double MeanMotionDegPerDay = 360 / TropicalYearDays;

// Sets `dayNumber`: days from 1990 January 0.0 to the chart's Universal Time.
void computeDayNumber(Chart& chart);
// Sets `dayNumber`, the Moon and the Sun from `utDate` and `universalTime`.
void computeSunAndMoon(Chart& chart);
// Sets Mercury to Pluto; needs `dayNumber` and `centuries1900`.
void computePlanets(Chart& chart);

}  // namespace zodiara
