// Screen bitmaps of the glyphs, kept between paints: resampling the one-bit images for every
// glyph of every paint would cost more than the rest of the paint.
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

namespace zodiara {

// How a glyph is drawn larger than its natural image at a device pixel ratio of 1: its pixels
// repeated, or its vector master antialiased.
enum class GlyphEnlarging { RepeatPixels, Smooth };

// The glyph `id` for a target of `size` logical pixels, in `ink` with its background transparent,
// at the resolution of a device of `devicePixelRatio` (the image carries that ratio). Targets of at
// most half again a pixel master's size come from the masters; larger ones are the artwork
// library's one-bit stretch at ratio 1 and the vector master at higher ratios, or at ratio 1 too
// when `enlarging` is Smooth and the target is wider or taller than the natural image. Null for an
// unknown id or an empty size.
QImage screenGlyph(int id, QSize size, QColor ink, qreal devicePixelRatio = 1,
                   GlyphEnlarging enlarging = GlyphEnlarging::RepeatPixels);

// Drops the kept bitmaps (for measuring the uncached path).
void clearScreenGlyphCache();

}  // namespace zodiara
