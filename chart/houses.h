// Obliquity, RAMC, Ascendant, MidHeaven, house cusps and the house of each body.
#pragma once

#include "chart/chart.h"
#include "chart/computation.h"

#include <optional>

namespace zodiara {

// Sets the angle fields from the place, `universalTime` and `julianDate0h`.
void computeAngles(Chart& chart);
// The Ascendant turned by 180 degrees where it lies 180 or more ahead of the MidHeaven, which
// happens only inside the polar circles; the houses then run once round the wheel.
double easternAscendant(double ascendantDeg, double midheavenDeg);
// Twelve Placidus cusps; Porphyry where a Placidus semi-arc does not exist.
HouseSystem computeCusps(Chart& chart);
// Cusps 2, 3, 5, 6 (and those opposite) by trisecting the quadrants between Ascendant,
// IC, Descendant and MidHeaven along the ecliptic; cusps 1, 4, 7, 10 from the angles.
void setPorphyryCusps(Chart& chart);
// Placidus cusp for RAMC offset R0 (radians), trisection factor f, diurnal or nocturnal arc.
// Nullopt where the semi-arc does not exist at this latitude.
std::optional<double> placidusCusp(double r0, double f, bool diurnal, double ramcRad, double obliquityRad,
                                   double latitudeRad);
// House index 0..11 of a longitude among the twelve cusps.
int houseOf(double longitudeDeg, const HouseCusp (&cusps)[12]);
void computeBodyHouses(Chart& chart);

}  // namespace zodiara
