#include "pipeline.h"

#include "aspects.h"
#include "calendar.h"
#include "ephemeris.h"
#include "houses.h"
#include "precise.h"

namespace zodiara {

std::optional<HouseSystem> computeChart(Chart& chart, DerivedTables& tables, Ephemeris ephemeris)
{
    computeUniversalTime(chart);
    computeJulianDate(chart);
    computeSiderealTime(chart);
    computeAngles(chart);
    HouseSystem system;
    if (ephemeris == Ephemeris::Precise) {
        computeDayNumber(chart);
        const std::optional<HouseSystem> precise = computePrecisePositions(chart);
        if (!precise)
            return std::nullopt;
        system = *precise;
    } else {
        system = computeCusps(chart);
        computeSunAndMoon(chart);
        computePlanets(chart);
    }
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

std::string_view ephemerisName(Ephemeris ephemeris)
{
    return ephemeris == Ephemeris::Precise ? "precise" : "classic";
}

std::optional<Ephemeris> ephemerisFromName(std::string_view name)
{
    if (name == "classic")
        return Ephemeris::Classic;
    if (name == "precise")
        return Ephemeris::Precise;
    return std::nullopt;
}

}  // namespace zodiara
