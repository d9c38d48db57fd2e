// Geometry of the staircase aspect table: one column per chart point 0..9, one row per chart
// point 1..11 with the MidHeaven row on top. Device units; nothing here draws.
#pragma once

#include "chart.h"
#include "wheellayout.h"

namespace zodiara {

inline constexpr int AspectTableRows = 13;  // title, header and eleven point rows

struct AspectTableLayout {
    int left = 0;
    int top = 0;
    int nmWidth = 0;  // width of "nm" in the body font: the column pitch
    int wWidth = 0;   // width of "W" in the body font: the glyph width
    int rowHeight = 0;  // row pitch, a quarter more than the text height given

    AspectTableLayout(int left, int top, int nmWidth, int wWidth, int textHeight);

    int height() const { return AspectTableRows * rowHeight; }
    int columnX(int i) const { return left + (2 + i) * nmWidth; }
    int rowY(int j) const { return top + (AspectTableRows - j) * rowHeight; }
    Point titleAnchor() const { return {left + 7 * nmWidth, top}; }
    IntRect headerGlyphRect(int i) const;
    IntRect rowLabelGlyphRect(int j) const;
    Point rowLabelTextAnchor(int j) const { return {left, rowY(j) + 2}; }
    IntRect cellGlyphRect(int i, int j) const;
    Point dashAnchor(int i, int j) const { return {columnX(i), rowY(j)}; }
};

// True for the 65 pairs the table shows: column i < 10, row j > i, never Ascendant-MidHeaven.
constexpr bool aspectCellExists(int i, int j)
{
    return i >= 0 && i < 10 && j > i && j < ChartPointCount;
}

}  // namespace zodiara
