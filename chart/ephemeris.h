// Low-precision positions from mean elements for the epoch 1990 January 0.0.
#pragma once

#include "chart.h"

namespace zodiara {

// Sets `dayNumber`: days from 1990 January 0.0 to the chart's Universal Time.
void computeDayNumber(Chart& chart);
// Sets `dayNumber` and bodies 0 (Moon) and 1 (Sun) from `utDate` and `universalTime`.
void computeSunAndMoon(Chart& chart);
// Sets bodies 2..9 (Mercury..Pluto); needs `dayNumber` and `centuries1900`.
void computePlanets(Chart& chart);

}  // namespace zodiara
