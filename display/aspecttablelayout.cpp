#include "aspecttablelayout.h"

namespace zodiara {

AspectTableLayout::AspectTableLayout(int left, int top, int nmWidth, int wWidth, int textHeight)
    : left(left), top(top), nmWidth(nmWidth), wWidth(wWidth), rowHeight(textHeight + textHeight / 4)
{
}

IntRect AspectTableLayout::headerGlyphRect(int i) const
{
    const int x = columnX(i);
    return {x, top + rowHeight, x + wWidth - 1, top + 2 * rowHeight - 2};
}

IntRect AspectTableLayout::rowLabelGlyphRect(int j) const
{
    const int y = rowY(j);
    return {left + 3, y + 2, left + wWidth + 2, y + rowHeight};
}

IntRect AspectTableLayout::cellGlyphRect(int i, int j) const
{
    const int x = columnX(i);
    const int y = rowY(j);
    return {x, y + 6, x + wWidth - 3, y + rowHeight};
}

}  // namespace zodiara
