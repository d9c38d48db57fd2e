// The aspect grid of the twelve chart points and the bodies in wheel order.
#pragma once

#include <optional>

#include "chart/chart.h"

namespace zodiara {

double chartPointLongitude(const Chart& chart, ChartPoint point);
// The aspect between two longitudes, if any. The separation is folded onto 0..180, the orb
// bounds are inclusive and the first aspect in order wins.
std::optional<Aspect> aspectBetween(double a, double b);
AspectGrid aspectGrid(const Chart& chart);
// The bodies in the order the wheel reads them: house by house from the first cusp.
SortedBodies sortedBodies(const Chart& chart);

}  // namespace zodiara
