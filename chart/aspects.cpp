#include "chart/aspects.h"

#include <cmath>
#include <utility>

namespace zodiara {

double chartPointLongitude(const Chart& chart, ChartPoint point)
{
    switch (point) {
    case ChartPoint::Ascendant: return chart.angles.ascendant;
    case ChartPoint::MidHeaven: return chart.angles.midheaven;
    default: return chart.bodies[index(point)].longitude;
    }
}

std::optional<Aspect> aspectBetween(double a, double b)
{
    double d = std::fabs(a - b);
    if (d > 180)
        d = 360 - d;
    for (const Aspect aspect : AllAspects) {
        const double angle = aspectAngleDeg(aspect);
        const double orb = aspectOrbDeg(aspect);
        if (angle - orb <= d && d <= angle + orb)
            return aspect;
    }
    return std::nullopt;
}

AspectGrid aspectGrid(const Chart& chart)
{
    AspectGrid grid{};
    for (const auto& [first, second] : ChartPointPairs)
        grid[index(first)][index(second)] =
            aspectBetween(chartPointLongitude(chart, first), chartPointLongitude(chart, second));
    return grid;
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

SortedBodies sortedBodies(const Chart& chart)
{
    SortedBodies sorted;
    std::array<Body, BodyCount> order = AllBodies;
    std::array<SortKey, BodyCount> keys;
    for (const Body body : AllBodies)
        keys[index(body)] = keyOf(chart, chart.body(body));
    // Selection sort: equal keys keep the order the swaps leave, which the wheel relies on.
    for (int i = 0; i < BodyCount; ++i) {
        int best = i;
        for (int j = i; j < BodyCount; ++j) {
            if (keys[index(order[j])] < keys[index(order[best])])
                best = j;
        }
        std::swap(order[i], order[best]);
    }
    for (int n = 0; n < BodyCount; ++n)
        sorted[n] = SortedBody{chart.body(order[n]), order[n]};
    return sorted;
}

}  // namespace zodiara
