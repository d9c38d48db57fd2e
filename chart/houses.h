// Obliquity, RAMC, Ascendant, MidHeaven, house cusps and the house of each body.
#pragma once

#include "chart/chart.h"
#include "chart/computation.h"

#include <optional>

namespace zodiara {

// The meridian, the obliquity and the two angles for the times and the birth place.
ChartAngles chartAngles(const ChartTimes& times, const GeoAngle& longitude, const GeoAngle& latitude);
// The Ascendant turned by 180 degrees where it lies 180 or more ahead of the MidHeaven, which
// happens only inside the polar circles; the houses then run once round the wheel.
double easternAscendant(double ascendantDeg, double midheavenDeg);

struct Houses {
    HouseCusps cusps;
    HouseSystem system = HouseSystem::Placidus;
};
// Twelve Placidus cusps; Porphyry where a Placidus semi-arc does not exist.
Houses placidusHouses(const ChartAngles& angles);
// Cusps 2, 3, 5, 6 (and those opposite) by trisecting the quadrants between Ascendant,
// IC, Descendant and MidHeaven along the ecliptic; cusps 1, 4, 7, 10 from the angles.
HouseCusps porphyryCusps(double ascendantDeg, double midheavenDeg);
// Placidus cusp for RAMC offset R0 (radians), trisection factor f, diurnal or nocturnal arc.
// Nullopt where the semi-arc does not exist at this latitude.
std::optional<double> placidusCusp(double r0, double f, bool diurnal, double ramcRad, double obliquityRad,
                                   double latitudeRad);
// House index 0..11 of a longitude among the twelve cusps.
int houseOf(double longitudeDeg, const HouseCusps& cusps);
// The bodies with the house each stands in.
BodyPositions withHouses(BodyPositions bodies, const HouseCusps& cusps);

}  // namespace zodiara
