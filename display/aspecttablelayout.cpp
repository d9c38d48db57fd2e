#include "display/aspecttablelayout.h"

#include <algorithm>

namespace zodiara {

AspectTableLayout::AspectTableLayout(int left, int top, int nmWidth, int wWidth, int textHeight)
    : left(left), top(top), nmWidth(nmWidth), wWidth(wWidth), rowHeight(textHeight + textHeight / 4)
{
}

IntRect AspectTableLayout::headerGlyphRect(ChartPoint column) const
{
    const int x = columnX(column);
    return {x, top + rowHeight, x + wWidth - 1, top + 2 * rowHeight - 2};
}

IntRect AspectTableLayout::rowLabelGlyphRect(ChartPoint row) const
{
    const int y = rowY(row);
    return {left + 3, y + 2, left + wWidth + 2, y + rowHeight};
}

IntRect AspectTableLayout::cellGlyphRect(ChartPoint column, ChartPoint row) const
{
    const int x = columnX(column);
    const int y = rowY(row);
    return {x, y + 6, x + wWidth - 3, y + rowHeight};
}

std::array<IntRect, AspectTableRows> AspectTableLayout::footprint(TextExtent title) const
{
    std::array<IntRect, AspectTableRows> rows;
    const Point t = titleAnchor();
    rows[0] = {left, top, t.x - title.width / 2 + title.width, top + title.height};
    rows[1] = headerGlyphRect(ChartPoint::Pluto);
    rows[1].left = left;
    for (int j = 1; j < ChartPointCount; ++j) {
        // A row holds the cells of the columns before it, the Pluto column at most.
        const ChartPoint last = AllChartPoints[std::min(j - 1, index(ChartPoint::Pluto))];
        const int y = rowY(AllChartPoints[j]);
        rows[AspectTableRows - j] = {left, y, columnX(last) + wWidth - 1, y + rowHeight};
    }
    return rows;
}

}  // namespace zodiara
