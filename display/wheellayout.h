// Where every part of the chart wheel goes: plain integer arithmetic on rectangles, points and
// text extents, in device units (x right, y down). Nothing here draws.
#pragma once

namespace zodiara {

// A rectangle in device units, right and bottom exclusive.
struct IntRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const IntRect&) const = default;
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// Width and height of one string as the font that draws it reports them.
struct TextExtent {
    int width = 0;
    int height = 0;
};

// The circle fractions are the single-precision constants of the original drawing code: the
// product with a half size is exact in double and then truncated, so 190 * 0.9f gives 170.
inline constexpr float SignCircleFraction = 0.9f;
inline constexpr float NumberCircleFraction = 0.45f;
inline constexpr float HubCircleFraction = 0.35f;
inline constexpr float PageShrinkFraction = 0.925f;
inline constexpr int WheelMargin = 20;

struct WheelLayout {
    IntRect outerSquare;
    Point centre;
    int outerRadius = 0;
    IntRect signCircle;    // inner edge of the sign band
    IntRect numberCircle;  // outer edge of the house-number band
    IntRect hubCircle;     // edge of the hub that holds the birth data
    int signRadius = 0;
    int numberRadius = 0;
    int hubRadius = 0;
    int bandHalf = 0;      // half the sign band; the unit of every glyph size
};

// Squares the drawing area, insets it by the margin, moves it right (or down) to leave the
// top-left corner to the aspect table when `besideTable` and the area is narrower than 1000,
// and shrinks it to 0.925 for a printed page.
WheelLayout computeWheelLayout(const IntRect& drawingArea, bool besideTable, bool pageShrink);

// The point at `radius` from `centre` at `angleDeg` (0 right, 90 down); exact on the four
// axis angles, otherwise trunc(centre + r * cos/sin) of the whole sum.
Point polarPoint(Point centre, int radius, double angleDeg);

struct Segment {
    Point from;
    Point to;
};

// House line k = 0..11, from the hub circle to the sign circle at 30k degrees.
Segment houseLine(const WheelLayout& layout, int k);

// Angle of the cusp that begins house j + 1 (j = 0..11): house 1 at nine o'clock.
double cuspAngle(int j);

// Top-left corner of the label of house i + 1 (i = 0..11), centred in the number band.
Point houseNumberTopLeft(const WheelLayout& layout, int i, TextExtent label);

// Square of the sign glyph on cusp j, in the middle of the sign band.
IntRect cuspGlyphRect(const WheelLayout& layout, int j);

// Top-centre anchors of the degree and minute labels of cusp j.
struct CuspLabelAnchors {
    Point degree;
    Point minute;
};
CuspLabelAnchors cuspLabelAnchors(const WheelLayout& layout, int j);

// Angle of the m-th (1-based) of the n bodies of house j: the sector split into n + 1 parts.
double bodySlotAngle(int j, int m, int n);

// Rectangle of a body glyph at angle phi; also the body's hit rectangle.
IntRect bodyGlyphRect(const WheelLayout& layout, double phi);

// Top-centre anchor of a body's degree label in house j.
Point bodyDegreeAnchor(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel);

// Rectangle of the small sign glyph under a body's degree label.
IntRect bodySignGlyphRect(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel);

// Top-centre anchor of a body's minute label, beyond the small sign glyph.
Point bodyMinuteAnchor(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel,
                       TextExtent minuteLabel);

// Moves a body label anchor so the label sits inside its house whatever side of the wheel.
Point offsetBodyLabel(Point anchor, int j, TextExtent label);

// Top-centre anchors of the four hub lines, `lineHeight` apart (the height of "W").
struct HubAnchors {
    Point name;
    Point date;
    Point time;
    Point coordinates;
};
HubAnchors hubAnchors(const WheelLayout& layout, int lineHeight);

}  // namespace zodiara
