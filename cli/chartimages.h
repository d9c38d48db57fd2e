// The drawn outputs of zodiara-chart: PNG and SVG of the view, PDF of the printed pages.
#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"

namespace zodiara::cli {

// Starts a GUI application that always draws offscreen, whatever display the environment names,
// then draws every file requested into `files`; stops at the first failure and returns its reason.
std::string encodeChartImages(const ChartImageOptions& options, const ChartView& view, std::vector<OutputFile>& files);

}  // namespace zodiara::cli
