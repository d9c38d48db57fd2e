#include "aspecttablelayout.h"

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

}  // namespace zodiara
