// Chart files: the 846-byte image of a Chart, checked on reading, written atomically.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "chart.h"

namespace zodiara {

// Why a chart image is not acceptable, in words for a person; empty when it is.
std::string validateChartImage(std::span<const std::byte> image);

struct ChartReadResult {
    std::optional<Chart> chart;  // set on success
    std::string error;           // the reason otherwise
};

// Reads and checks a chart file. Nothing is changed by a failure; the caller replaces its chart
// with `chart` only on success, then rebuilds the derived tables.
ChartReadResult readChartFile(const std::filesystem::path& path);
// The same check on bytes already in memory.
ChartReadResult chartFromImage(std::span<const std::byte> image);

// Writes the record through a temporary file in the same directory and renames it over the
// target; on failure the target is untouched. Returns the reason, empty on success.
std::string writeChartFile(const std::filesystem::path& path, const Chart& chart);

}  // namespace zodiara
