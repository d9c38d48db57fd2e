#include "clickinfo.h"

#include "chart.h"

namespace zodiara {

QString bodyExplanation(int body, double longitude)
{
    // BodyNames are NUL-terminated literals, so %s may read them.
    return QString::asprintf("%s = %10.7f degrees", BodyNames[body].data(), longitude);
}

QString aspectExplanation(int aspect, int first, int second)
{
    // "aproximately" is the message's established spelling.
    return QString::asprintf("%s between %s and %s\n%s occurs when 2 planets are aproximately %2.0f degrees apart.",
                             AspectNames[aspect].data(), ChartPointNames[first].data(),
                             ChartPointNames[second].data(), AspectNames[aspect].data(), AspectAngles[aspect]);
}

std::optional<QString> clickExplanation(const DerivedTables& tables, const HitAreas& hits, bool showAspects,
                                        int x, int y)
{
    for (std::size_t s = 0; s < tables.sortedBodies.size(); ++s) {
        const SortedBody& entry = tables.sortedBodies[s];
        if (hits.bodyGlyphs[s].contains(x, y) && entry.body >= 0 && entry.body < 10)
            return bodyExplanation(entry.body, entry.position.longitude);
    }
    if (!showAspects)
        return std::nullopt;
    for (int i = 0; i < ChartPointCount; ++i) {
        for (int j = i + 1; j < ChartPointCount; ++j) {
            if (i == AscendantPoint && j == MidheavenPoint)
                continue;
            const AspectEntry& cell = tables.aspectGrid[i][j];
            if (cell.aspect >= 0 && cell.aspect < 11 && hits.aspectCells[i][j].contains(x, y))
                return aspectExplanation(cell.aspect, i, j);
        }
    }
    return std::nullopt;
}

}  // namespace zodiara
