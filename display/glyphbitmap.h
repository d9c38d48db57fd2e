// Screen bitmaps of the glyphs, kept between paints: resampling the one-bit images for every
// glyph of every paint would cost more than the rest of the paint.
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

namespace zodiara {

// The glyph `id` stretched to `size` in `ink` with its background transparent, the same
// image the artwork library resamples; null for an unknown id or an empty size.
QImage screenGlyph(int id, QSize size, QColor ink);

// Drops the kept bitmaps (for measuring the uncached path).
void clearScreenGlyphCache();

}  // namespace zodiara
