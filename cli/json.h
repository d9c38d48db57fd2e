// The chart as one line of JSON, for scripts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"

namespace zodiara::cli {

// The shortest text that reads back to the same double; "null" for NaN and infinities,
// which JSON cannot carry.
void appendJsonNumber(std::string& out, double value);
void appendJsonString(std::string& out, std::string_view utf8);

// One object without a trailing newline. `houseSystem` and `ephemeris` are absent for a chart
// shown as stored.
void appendChartJson(std::string& out, const Chart& chart, const DerivedTables& tables,
                     std::optional<Computation> computation);

// {"line": N, "error": "..."}
void appendErrorJson(std::string& out, long long line, std::string_view error);

}  // namespace zodiara::cli
