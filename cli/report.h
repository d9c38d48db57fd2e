// The chart as a readable report for a person at a terminal.
#pragma once

#include <optional>
#include <string>

#include "cli/commands.h"

namespace zodiara::cli {

// Birth data, times, angles, cusps, bodies, the sorted order and the aspects; UTF-8 text
// ending in a newline. How it was computed is absent for a chart shown as stored.
void appendChartReport(std::string& out, const Chart& chart, const DerivedTables& tables,
                       std::optional<Computation> computation);

}  // namespace zodiara::cli
