// The chart drawing itself: the wheel with its hub text, the aspect table, and the two printed
// pages, all drawn through a ChartCanvas.
#pragma once

#include <QColor>
#include <QSize>
#include <QString>

#include <array>

#include "chart/chart.h"
#include "chart/pipeline.h"
#include "display/chartcanvas.h"
#include "display/wheellayout.h"
#include "resources/glyphs.h"

namespace zodiara {

// Ink of a sign's glyph and of a body in that sign, by the sign's element.
QColor elementInk(Sign sign);
// Ink of an aspect glyph in the table.
QColor aspectInk(Aspect aspect);

struct ChartFonts {
    ChartFont label;   // body degree and minute labels
    ChartFont data;    // date, time and coordinates in the hub
    ChartFont name;    // the person's name; the table title on screen
    ChartFont cusp;    // cusp labels; the table body text
    ChartFont number;  // house numbers
};
// The view's fonts; only the house numbers follow the client width.
ChartFonts screenFonts(int clientWidth);
// The view's fonts on `layout`'s wheel: above the reference wheel the wheel's texts grow with its
// radius, the house numbers from their reference height unless the client width gives more.
ChartFonts wheelFonts(const ChartFonts& view, const WheelLayout& layout);
// The page's fonts, scaled from a unit of a fortieth of the page width.
ChartFonts pageFonts(int pageWidth);

// Label texts, as the wheel prints them.
QString houseNumberText(int house);
QString degreeText(int degrees);                                   // "05º", "15º"
QString minuteText(int minutes);                                   // "07'", "60'"
QString hubDateText(const CalendarDate& date, bool beforeChrist);  // "March 15, 44 BC"
QString hubTimeText(const TimeOfDay& time);
QString hubCoordinatesText(const GeoAngle& longitude, const GeoAngle& latitude);
QString legendText(Aspect aspect);
// The whole name, which the hub may shorten.
QString chartName(const Chart& chart);

// Where a paint of the view put what a click can explain; empty rectangles for what it did not draw.
struct HitAreas {
    std::array<IntRect, BodyCount> bodyGlyphs{};  // by position in the sorted bodies
    std::array<std::array<IntRect, ChartPointCount>, ChartPointCount> aspectCells{};  // as the aspect grid
};

// The view: the wheel in a client area of `client`, the aspect table at the origin when
// `showAspects`. Returns where the body glyphs and the drawn aspects went.
HitAreas paintChartView(ChartCanvas& canvas, const Chart& chart, const DerivedTables& tables, QSize client,
                        bool showAspects);

// The thinnest line the printed page draws.
inline constexpr double MinimumPaperLinePt = 0.25;

// The printed wheel on `page`; records nothing.
void paintChartPage(ChartCanvas& canvas, const Chart& chart, const SortedBodies& sortedBodies, const IntRect& page);

// The printed aspect table with the legend of the eleven aspects; records nothing.
void paintAspectsPage(ChartCanvas& canvas, const Chart& chart, const AspectGrid& grid, const IntRect& page);

// Draws the table with `origin` at its top-left and returns the y just below it. The body font
// is selected on return. The cells of drawn aspects go to `hits` unless it is null.
int drawAspectTable(ChartCanvas& canvas, const Chart& chart, const AspectGrid& grid, Point origin, int textHeight,
                    const ChartFont& titleFont, const ChartFont& bodyFont, HitAreas* hits);

}  // namespace zodiara
