// Low-precision positions from mean elements for the epoch 1990 January 0.0.
#pragma once

#include "chart/chart.h"

namespace zodiara {

inline constexpr double TropicalYearDays = 365.242191;
// The Sun's mean motion.
inline constexpr double MeanMotionDegPerDay = 360 / TropicalYearDays;

struct SunAndMoon {
    BodyPosition sun;
    BodyPosition moon;
};
// Needs `dayNumber`.
SunAndMoon sunAndMoonAt(const ChartTimes& times);
// Mercury to Pluto in their places of the chart's order; the Moon and Sun are left empty.
// Needs `dayNumber`, `centuries1900` and the Universal Time.
BodyPositions planetsAt(const ChartTimes& times);
// All ten bodies by the built-in theory, houses not yet known.
BodyPositions classicPositions(const ChartTimes& times);

}  // namespace zodiara
