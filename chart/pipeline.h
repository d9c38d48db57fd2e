// One entry turns birth data into a complete chart; a second gives what a loaded chart lacks.
#pragma once

#include <optional>
#include <string>

#include "chart/chart.h"
#include "chart/computation.h"

namespace zodiara {

// The two tables that live beside a chart and are never stored.
struct DerivedTables {
    SortedBodies sortedBodies{};
    AspectGrid aspectGrid{};
};

struct ComputedChart {
    Chart chart;
    DerivedTables tables;
    HouseSystem houseSystem = HouseSystem::Placidus;  // Porphyry where Placidus cusps do not exist
};

// The chart of `birth`: its times, angles, cusps, bodies and both tables. `carried` is what a
// chart file held beside the birth (kept, but for the spare words of the derived times, which
// are new). Nothing when precise positions are asked for a Universal Time the library does not
// cover (see preciseRangeText), or the library reports an error (its text in `preciseError`).
// `birth` must meet the birth rules (birthRefusal).
std::optional<ComputedChart> computeChart(const BirthData& birth, Ephemeris ephemeris = Ephemeris::Classic,
                                          const FileRemnants& carried = {}, std::string* preciseError = nullptr);

// The sorted bodies and the aspect grid of the stored fields (after a chart is loaded).
DerivedTables derivedTables(const Chart& chart);

}  // namespace zodiara
