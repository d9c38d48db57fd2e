#include "pipeline.h"

#include "aspects.h"
#include "calendar.h"
#include "ephemeris.h"
#include "houses.h"

namespace zodiara {

HouseSystem computeChart(Chart& chart, DerivedTables& tables)
{
    computeUniversalTime(chart);
    computeJulianDate(chart);
    computeSiderealTime(chart);
    computeAngles(chart);
    const HouseSystem system = computeCusps(chart);
    computeSunAndMoon(chart);
    computePlanets(chart);
    buildAspectGrid(chart, tables.aspectGrid);
    computeBodyHouses(chart);
    buildSortedBodies(chart, tables.sortedBodies);
    return system;
}

void rebuildDerivedTables(const Chart& chart, DerivedTables& tables)
{
    buildSortedBodies(chart, tables.sortedBodies);
    buildAspectGrid(chart, tables.aspectGrid);
}

std::string_view houseSystemName(HouseSystem system)
{
    return system == HouseSystem::Porphyry ? "Porphyry" : "Placidus";
}

}  // namespace zodiara
