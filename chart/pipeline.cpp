#include "chart/pipeline.h"

#include "chart/aspects.h"
#include "chart/calendar.h"
#include "chart/ephemeris.h"
#include "chart/houses.h"
#include "chart/precise.h"

namespace zodiara {

std::optional<ComputedChart> computeChart(const BirthData& birth, Ephemeris ephemeris, const FileRemnants& carried,
                                          std::string* preciseError)
{
    ComputedChart result;
    Chart& chart = result.chart;
    chart.birth = birth;
    chart.remnants = carried;
    chart.remnants.timeSpares = {carried.timeSpares[0], 0, 0, 0};

    chart.times = chartTimes(birth);
    chart.angles = chartAngles(chart.times, birth.longitude, birth.latitude);
    Houses houses;
    BodyPositions bodies;
    if (ephemeris == Ephemeris::Precise) {
        std::optional<PrecisePositions> precise = precisePositions(chart.times, chart.angles, preciseError);
        if (!precise)
            return std::nullopt;
        chart.angles = precise->angles;
        houses = precise->houses;
        bodies = precise->bodies;
    } else {
        houses = placidusHouses(chart.angles);
        bodies = classicPositions(chart.times);
    }
    chart.cusps = houses.cusps;
    chart.bodies = withHouses(bodies, houses.cusps);
    result.houseSystem = houses.system;
    result.tables = derivedTables(chart);
    return result;
}

DerivedTables derivedTables(const Chart& chart) { return {sortedBodies(chart), aspectGrid(chart)}; }

}  // namespace zodiara
