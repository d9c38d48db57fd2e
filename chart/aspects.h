// The aspect grid of the twelve chart points and the bodies in wheel order.
#pragma once

#include "chart.h"

namespace zodiara {

// Longitude of chart point 0..11 (bodies, Ascendant, MidHeaven).
double chartPointLongitude(const Chart& chart, int point);
// Aspect index 0..10 between two longitudes, or -1. The separation is folded onto 0..180,
// the orb bounds are inclusive and the first aspect in index order wins.
int aspectBetween(double a, double b);
void buildAspectGrid(const Chart& chart, AspectGrid& grid);
void buildSortedBodies(const Chart& chart, SortedBodies& sorted);

}  // namespace zodiara
