// Geometry of the staircase aspect table: a column for each body, a row for each chart point
// after the Moon, the MidHeaven's on top. Device units; nothing here draws.
#pragma once

#include <array>

#include "chart/chart.h"
#include "display/wheellayout.h"

namespace zodiara {

inline constexpr int AspectTableRows = 13;  // title, header and eleven point rows

struct AspectTableLayout {
    int left = 0;
    int top = 0;
    int nmWidth = 0;    // width of "nm" in the body font: the column pitch
    int wWidth = 0;     // width of "W" in the body font: the glyph width
    int rowHeight = 0;  // row pitch, a quarter more than the text height given

    AspectTableLayout(int left, int top, int nmWidth, int wWidth, int textHeight);

    int height() const { return AspectTableRows * rowHeight; }
    int columnX(ChartPoint column) const { return left + (2 + index(column)) * nmWidth; }
    int rowY(ChartPoint row) const { return top + (AspectTableRows - index(row)) * rowHeight; }
    Point titleAnchor() const { return {left + 7 * nmWidth, top}; }
    IntRect headerGlyphRect(ChartPoint column) const;
    IntRect rowLabelGlyphRect(ChartPoint row) const;
    Point rowLabelTextAnchor(ChartPoint row) const { return {left, rowY(row) + 2}; }
    IntRect cellGlyphRect(ChartPoint column, ChartPoint row) const;
    Point dashAnchor(ChartPoint column, ChartPoint row) const { return {columnX(column), rowY(row)}; }
    // What the table covers, a rectangle a row from its left edge to the last cell drawn in the row
    // (a staircase, the MidHeaven's row the longest), given the extent of the title.
    std::array<IntRect, AspectTableRows> footprint(TextExtent title) const;
};

}  // namespace zodiara
