// Precise positions from the ephemeris library. Only precise.cpp includes the library's headers.
#pragma once

#include <string>

#include "chart.h"
#include "computation.h"

namespace zodiara {

// Fills the bodies, `obliquity`, `ramc`, the Ascendant, MidHeaven and cusps (with their radian
// forms) for the chart's `julianDate` and place; the times must already be computed.
// Placidus from the library; Porphyry from its angles where Placidus cusps do not exist.
HouseSystem computePrecisePositions(Chart& chart);

// "Swiss Ephemeris 2.10.03", for the about box and README.
std::string preciseEphemerisVersion();

}  // namespace zodiara
