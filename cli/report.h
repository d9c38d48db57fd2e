// The chart as a readable report for a person at a terminal.
#pragma once

#include <optional>
#include <string>

#include "cli/commands.h"

namespace zodiara::cli {

// Birth data, times, angles, cusps, bodies, the sorted order and the aspects; UTF-8 text
// ending in a newline. How it was computed is absent for a chart shown as stored.
// `text` with its control characters (C0, DEL and C1) as visible escapes ("\x1b", "\u0085") and each
// backslash doubled, so that it cannot move a terminal's cursor or start a line of its own, and a
// typed "\x1b" never reads like a stored escape.
void appendVisible(std::string& out, std::string_view text);

void appendChartReport(std::string& out, const Chart& chart, const DerivedTables& tables,
                       std::optional<Computation> computation);

}  // namespace zodiara::cli
