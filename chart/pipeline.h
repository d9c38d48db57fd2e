// One entry turns birth data into a complete chart; a second rebuilds what a loaded chart lacks.
#pragma once

#include <optional>
#include <string_view>

#include "chart.h"

namespace zodiara {

enum class HouseSystem { Placidus, Porphyry };

// Classic: the built-in mean-element theory. Precise: apparent positions from the ephemeris
// library, with its house routine for the angles and cusps.
enum class Ephemeris { Classic, Precise };

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
std::optional<HouseSystem> computeChart(Chart& chart, DerivedTables& tables,
                                        Ephemeris ephemeris = Ephemeris::Classic);

// The sorted bodies, then the aspect grid, from the stored fields (after a chart is loaded).
void rebuildDerivedTables(const Chart& chart, DerivedTables& tables);

std::string_view houseSystemName(HouseSystem system);
std::string_view ephemerisName(Ephemeris ephemeris);  // "classic" or "precise"
std::optional<Ephemeris> ephemerisFromName(std::string_view name);

}  // namespace zodiara
