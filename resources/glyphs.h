#pragma once

// The program's artwork: the one-bit glyph images of the signs, bodies and
// aspects with their SVG masters and the pixel masters of the small sizes,
// the about picture and the program icon.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSize>

#include "chart/chart.h"

class QPainter;

namespace zodiara {

// The numbers the artwork is known by, here alone. Signs 0..11 (Aries first),
// bodies 0..9 (the Moon first) and aspects 0..10 (the Conjunction first), in
// the chart's order.
inline constexpr int SignGlyphCount = 12;
inline constexpr int BodyGlyphCount = 10;
inline constexpr int AspectGlyphCount = 11;
constexpr int signGlyphId(int sign) { return 3 + sign; }
constexpr int bodyGlyphId(int body) { return 20 + body; }
constexpr int signGlyphId(Sign sign) { return signGlyphId(index(sign)); }
constexpr int bodyGlyphId(Body body) { return bodyGlyphId(index(body)); }
constexpr int aspectGlyphId(int aspect) { return 50 + aspect; }
inline constexpr int aboutPictureId = 2;

// True when resourceId names a glyph image.
bool hasGlyph(int resourceId);

// The glyph's own size in pixels; an invalid QSize for an unknown id.
QSize glyphNaturalSize(int resourceId);

// The glyph at its natural size, Format_MonoLSB, colour table {black (0, the
// ink), white}; a null image for an unknown id.
QImage glyphImage(int resourceId);

// The glyph with colour table {ink, transparent white}, so that drawn with the
// default composition it leaves everything under its white unchanged on screen,
// in images and in PDF alike, resampled to size the way a one-bit stretch that combines dropped
// rows and columns by AND does: when reducing, a pixel is ink if any source
// pixel falling into it is ink, so thin strokes never vanish; when enlarging,
// pixels are repeated. A null image for an unknown id or an empty size.
QImage stretchedGlyph(int resourceId, QSize size, QColor ink);

// The same stretch of any one-bit image whose colour index 0 is the ink.
QImage stretchedBitmap(const QImage& mono, QSize size, QColor ink);

// Pixel masters: glyphs drawn dot by dot for the small sizes of the wheel
// (signs at 6 x 6 and 10 x 10, bodies at 10 x 10), where stretching the
// natural image down fills the gaps between strokes. The sizes a glyph has
// masters for, ascending; empty for every other glyph.
QList<QSize> pixelMasterSizes(int resourceId);

// The pixel master at exactly size, formatted as glyphImage; null if none.
QImage pixelMaster(int resourceId, QSize size);

// Draws the glyph's vector master stretched into target (aspect ratio not
// kept) in ink; stays sharp at any resolution and stays vector in PDF and SVG
// output. Draws nothing for an unknown id.
void drawGlyphVector(QPainter& painter, int resourceId, const QRectF& target, QColor ink);

// The about picture: 96 x 66, Format_Indexed8 with its own palette.
QImage aboutPicture();

// The program icon at 16 to 256 pixels.
QIcon programIcon();

}  // namespace zodiara
