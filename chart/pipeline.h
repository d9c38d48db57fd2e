// One entry turns birth data into a complete chart; a second rebuilds what a loaded chart lacks.
#pragma once

#include "chart.h"
#include "computation.h"

namespace zodiara {

// The two tables that live beside a chart and are never stored.
struct DerivedTables {
    SortedBodies sortedBodies{};
    AspectGrid aspectGrid{};
};

// Reads the birth data only and overwrites every derived field and both tables.
// Returns Porphyry where Placidus cusps do not exist (polar latitudes).
HouseSystem computeChart(Chart& chart, DerivedTables& tables, Ephemeris ephemeris = Ephemeris::Classic);

// The sorted bodies, then the aspect grid, from the stored fields (after a chart is loaded).
void rebuildDerivedTables(const Chart& chart, DerivedTables& tables);

}  // namespace zodiara
