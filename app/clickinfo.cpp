#include "app/clickinfo.h"

#include "chart/chart.h"

namespace zodiara {

QString bodyExplanation(Body body, double longitude)
{
    return QString::asprintf("%s = %10.7f degrees", bodyName(body).data(), longitude);
}

QString aspectExplanation(Aspect aspect, ChartPoint first, ChartPoint second)
{
    // "aproximately" is the message's established spelling.
    return QString::asprintf("%s between %s and %s\n%s occurs when 2 planets are aproximately %2.0f degrees apart.",
                             aspectName(aspect).data(), pointName(first).data(), pointName(second).data(),
                             aspectName(aspect).data(), aspectAngleDeg(aspect));
}

std::optional<QString> clickExplanation(const DerivedTables& tables, const HitAreas& hits, bool showAspects, int x,
                                        int y)
{
    for (std::size_t s = 0; s < tables.sortedBodies.size(); ++s) {
        const SortedBody& entry = tables.sortedBodies[s];
        if (hits.bodyGlyphs[s].contains(x, y))
            return bodyExplanation(entry.body, entry.position.longitude);
    }
    if (!showAspects)
        return std::nullopt;
    for (const auto& [first, second] : ChartPointPairs) {
        if (first == ChartPoint::Ascendant && second == ChartPoint::MidHeaven)
            continue;
        const std::optional<Aspect> aspect = tables.aspectGrid[index(first)][index(second)];
        if (aspect && hits.aspectCells[index(first)][index(second)].contains(x, y))
            return aspectExplanation(*aspect, first, second);
    }
    return std::nullopt;
}

}  // namespace zodiara
