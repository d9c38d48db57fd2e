// One entry turns birth data into a complete chart; a second rebuilds what a loaded chart lacks.
#pragma once

#include "chart/chart.h"
#include "chart/computation.h"

namespace zodiara {

// The two tables that live beside a chart and are never stored.
struct DerivedTables {
    SortedBodies sortedBodies{};
    AspectGrid aspectGrid{};
};

// Reads the birth data only and overwrites every derived field and both tables.
// Returns the house system: Porphyry where Placidus cusps do not exist (polar latitudes).
// Returns nothing when precise positions are asked for a Universal Time the library does not
// cover (see preciseRangeText), or the library reports an error: the chart and tables are then
// not to be shown.
std::optional<HouseSystem> computeChart(Chart& chart, DerivedTables& tables, Ephemeris ephemeris = Ephemeris::Classic);

// The sorted bodies, then the aspect grid, from the stored fields (after a chart is loaded).
void rebuildDerivedTables(const Chart& chart, DerivedTables& tables);

}  // namespace zodiara
