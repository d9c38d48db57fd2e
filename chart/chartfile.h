// Chart files: an 846-byte packed little-endian image of a Chart, checked on reading, written
// atomically.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "chart/chart.h"

namespace zodiara {

inline constexpr std::size_t ChartFileSize = 846;
using ChartImage = std::array<std::byte, ChartFileSize>;

// The bytes a chart file holds for `chart`; equal images mean equal charts, bit for bit.
ChartImage chartImage(const Chart& chart);

// Why a chart image is not acceptable, in words for a person; empty when it is.
std::string validateChartImage(std::span<const std::byte> image);

struct ChartReadResult {
    std::optional<Chart> chart;  // set on success
    std::string error;           // the reason otherwise
};

// Reads and checks a chart file; anything but a regular file is refused at once. Nothing is
// changed by a failure; the caller replaces its chart with `chart` only on success, then
// rebuilds the derived tables.
ChartReadResult readChartFile(const std::filesystem::path& path);
// The same check on bytes already in memory.
ChartReadResult chartFromImage(std::span<const std::byte> image);

// Writes the record through a temporary file in the same directory and renames it over the
// target (see FileReplacement, also for the targets written in place); on failure the target is
// untouched. Returns the reason, empty on success.
std::string writeChartFile(const std::filesystem::path& path, const Chart& chart);

}  // namespace zodiara
