#include "chart/pipeline.h"

#include "chart/aspects.h"
#include "chart/calendar.h"
#include "chart/ephemeris.h"
#include "chart/houses.h"
#include "chart/precise.h"

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

}  // namespace zodiara
