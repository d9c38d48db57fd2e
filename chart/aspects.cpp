#include "aspects.h"

#include <cmath>
#include <utility>

namespace zodiara {

double chartPointLongitude(const Chart& chart, int point)
{
    if (point == AscendantPoint)
        return chart.ascendant;
    if (point == MidheavenPoint)
        return chart.midheaven;
    return chart.bodies[point].longitude;
}

int aspectBetween(double a, double b)
{
    double d = std::fabs(a - b);
    if (d > 180)
        d = 360 - d;
    for (int k = 0; k < static_cast<int>(AspectAngles.size()); ++k) {
        if (AspectAngles[k] - AspectOrbs[k] <= d && d <= AspectAngles[k] + AspectOrbs[k])
            return k;
    }
    return -1;
}

void buildAspectGrid(const Chart& chart, AspectGrid& grid)
{
    for (int i = 0; i < ChartPointCount; ++i) {
        const double a = chartPointLongitude(chart, i);
        for (int j = i + 1; j < ChartPointCount; ++j)
            grid[i][j].aspect = aspectBetween(a, chartPointLongitude(chart, j));
    }
}

namespace {

struct SortKey {
    bool beforeAries;  // in the part of a house between its cusp and 360 when it spans 0° Aries
    double longitude;
    bool operator<(const SortKey& other) const
    {
        if (beforeAries != other.beforeAries)
            return beforeAries;
        return longitude < other.longitude;
    }
};

SortKey keyOf(const Chart& chart, const BodyPosition& body)
{
    // A loaded file may hold -1 (not computed); the next cusp is then the first.
    const int endCusp = (body.house + 1) % 12;
    return {body.longitude > chart.cusps[endCusp].longitude, body.longitude};
}

}  // namespace

void buildSortedBodies(const Chart& chart, SortedBodies& sorted)
{
    for (int n = 0; n < 10; ++n)
        sorted[n] = SortedBody{chart.bodies[n], n};
    // Selection sort: equal keys keep the order the swaps leave, which the wheel relies on.
    for (int i = 0; i < 10; ++i) {
        int best = i;
        SortKey bestKey = keyOf(chart, sorted[i].position);
        for (int j = i; j < 10; ++j) {
            const SortKey key = keyOf(chart, sorted[j].position);
            if (key < bestKey) {
                best = j;
                bestKey = key;
            }
        }
        std::swap(sorted[i], sorted[best]);
    }
}

}  // namespace zodiara
