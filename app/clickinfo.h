// What a click on the view explains: a body glyph's longitude, or an aspect cell's aspect.
#pragma once

#include <QString>

#include <optional>

#include "chart/pipeline.h"
#include "display/chartpaint.h"

namespace zodiara {

// The explanation for a click at (x, y) in view coordinates, from where the last paint put the
// glyphs and cells; bodies win over aspect cells, which count only while aspects are shown.
std::optional<QString> clickExplanation(const DerivedTables& tables, const HitAreas& hits, bool showAspects, int x,
                                        int y);

QString bodyExplanation(Body body, double longitude);
QString aspectExplanation(Aspect aspect, ChartPoint first, ChartPoint second);

}  // namespace zodiara
