// The IANA zone an atlas line names, and the atlas line of a place already entered: what the chart
// data dialog needs to ask the time-zone check (zones/clockcheck.h) about a birth. No widgets here.
#pragma once

#include "chart/chart.h"

#include <QString>
#include <QStringView>

namespace zodiara {

// The IANA zone name ("America/New_York") that ends an atlas line after its latitude,
// or an empty text when the line names none.
QString atlasZoneName(QStringView line);

// The line of the atlas at `atlasPath` whose place text is `place` and whose coordinates are
// `longitude` and `latitude`; empty when there is none or the atlas cannot be read.
QString atlasLineOfPlace(const QString& atlasPath, const QString& place, const GeoAngle& longitude,
                         const GeoAngle& latitude);

}  // namespace zodiara
