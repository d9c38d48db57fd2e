// Where crowded bodies go: pushed apart along the body band in their order, clear of each other and
// of the cusps' glyphs and labels, each with a tick to where its longitude lies on the ring. Plain
// arithmetic on the wheel's layout and text extents; nothing here draws.
#pragma once

#include <span>
#include <vector>

#include "display/wheellayout.h"

namespace zodiara {

// A body to draw, in wheel order (house by house, each house's bodies in sorted order).
struct BodyToPlace {
    int house = 0;
    double slotDeg = 0;  // bodySlotAngle
    double ringDeg = 0;  // longitudeAngle: where its longitude lies on the ring
    TextExtent degreeLabel;
    TextExtent minuteLabel;
};

// A cusp glyph or label: bodies must not come to meet its box, ticks must not cross its ink.
struct WheelObstacle {
    IntRect box;
    IntRect ink;
};

// Where a body is drawn. A body away from its slot has a tick: a polyline from the ring where its
// longitude lies (or from just under the ink of a cusp label reaching over the ring there), straight
// down below the ink of the cusp labels it passes, then on to the outer edge of its glyph, away from
// the ring evenly with the angle.
struct PlacedBody {
    double angleDeg = 0;
    int inset = 0;  // as bodyGlyphRect's
    std::vector<Point> tick;
    bool spread() const { return !tick.empty(); }
};

// How much nearer the centre a spread body is drawn than one at its slot: room for the ticks, and
// enough to pass under the obstacles.
int spreadInset(const WheelLayout& layout, std::span<const WheelObstacle> obstacles);

// Whether the polyline passes over a pixel of `r`.
bool polylineMeets(std::span<const Point> line, const IntRect& r);

// Every body at its slot where none crowds another. Otherwise the crowded ones pushed apart along
// the band, in their order, by as little as keeps each body's glyph and labels clear of the others'
// and off every cusp glyph and label they did not meet at their slot, with every tick clear of the
// other bodies and of the cusps' ink.
std::vector<PlacedBody> spreadBodies(const WheelLayout& layout, std::span<const BodyToPlace> bodies,
                                     std::span<const WheelObstacle> obstacles);

}  // namespace zodiara
