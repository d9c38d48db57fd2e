// The drawn outputs of zodiara-chart: PNG and SVG of the view, PDF of the printed pages.
#pragma once

#include <string>

#include "commands.h"

namespace zodiara::cli {

// Starts a headless GUI application for the drawing (offscreen when there is no display),
// then writes every file requested; stops at the first failure and returns its reason.
std::string writeChartImages(const ChartImageOptions& options, const ChartView& view);

}  // namespace zodiara::cli
