// Where every part of the chart wheel goes: plain integer arithmetic on rectangles, points and
// text extents, in device units (x right, y down). Nothing here draws.
#pragma once

#include <span>
#include <vector>

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
// The outer radius of the view's wheel at its start-up size, 580 x 420.
inline constexpr int ReferenceOuterRadius = 190;

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
    int bandHalf = 0;  // half the sign band; the unit of every glyph size
    // On screen, how many times the reference wheel's radius this one's is, never below 1: the
    // fonts and the fixed steps between labels and glyphs grow by it. 1 on paper.
    double scale = 1;
};

// `units` device units of the reference wheel on this one.
int scaledUnits(const WheelLayout& layout, int units);

// Squares the drawing area, insets it by the margin, moves it right (or down) to leave the
// top-left corner to the aspect table when `besideTable` and the area is narrower than 1000,
// and shrinks it to 0.925 for a printed page.
WheelLayout computeWheelLayout(const IntRect& drawingArea, bool besideTable, bool pageShrink);

// Space kept between the wheel and the aspect table, as between a moved wheel and the edge.
inline constexpr int TableGap = 5;

// The view's layout with the aspect table drawn over `table` (what it covers, in drawing-area
// units): computeWheelLayout's wherever that keeps TableGap from the table, otherwise the largest
// wheel no larger than that one which does, in the bottom-right corner away from the table.
WheelLayout wheelLayoutBesideTable(const IntRect& drawingArea, std::span<const IntRect> table);

// Whether the ink of house i + 1's label (the pixels `ink` of a text of extent `label`, from its
// top-left corner) keeps a unit from the circles of the number band.
bool houseNumberInsideBand(const WheelLayout& layout, int i, TextExtent label, std::span<const Point> ink);

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

// Top-centre anchors of the degree and minute labels of cusp j, whose texts have the extents given.
// On a wheel smaller than the reference one a label is moved further round from the cusp, as far as
// it takes to keep as clear of the sign glyph as it is on the reference wheel.
struct CuspLabelAnchors {
    Point degree;
    Point minute;
};
CuspLabelAnchors cuspLabelAnchors(const WheelLayout& layout, int j, TextExtent degreeLabel, TextExtent minuteLabel);

// Angle of the m-th (1-based) of the n bodies of house j: the sector split into n + 1 parts.
double bodySlotAngle(int j, int m, int n);

// A body's glyph and labels at angle phi; `inset` moves all of them that much nearer the centre (a
// body spread from its slot is drawn deeper, to leave room for its tick).

// Radius of the centre of a body's glyph.
int bodyGlyphRadius(const WheelLayout& layout, int inset = 0);

// Rectangle of a body glyph; also the body's hit rectangle.
IntRect bodyGlyphRect(const WheelLayout& layout, double phi, int inset = 0);

// Top-centre anchor of a body's degree label in house j.
Point bodyDegreeAnchor(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel, int inset = 0);

// Rectangle of the small sign glyph under a body's degree label.
IntRect bodySignGlyphRect(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel, int inset = 0);

// Top-centre anchor of a body's minute label, beyond the small sign glyph.
Point bodyMinuteAnchor(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel, TextExtent minuteLabel,
                       int inset = 0);

// Moves a body label anchor so the label sits inside its house whatever side of the wheel.
Point offsetBodyLabel(Point anchor, int j, TextExtent label);

// Whether the two boxes come within `gap` of each other (overlap, for a gap of 0); never for an
// empty box.
bool crowded(const IntRect& a, const IntRect& b, int gap);

// The box of a label drawn centred on the top-centre `anchor`, as the canvas draws it.
IntRect labelRect(Point anchor, TextExtent label);

// What one body of house j covers when drawn at angle phi: its glyph, its two labels and the small
// sign glyph between them.
struct BodyFootprint {
    IntRect glyph, degree, sign, minute;
    // True when a part of one comes within `gap` of a part of the other.
    bool crowds(const BodyFootprint& other, int gap) const;
};
BodyFootprint bodyFootprint(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel,
                            TextExtent minuteLabel, int inset = 0);

// The space kept between the parts of different bodies, so that labels never run together.
int bodySpacing(const WheelLayout& layout);

// Where longitude `longitudeDeg` lies on the ring in house j, whose cusp is at `cuspDeg` and the
// next at `nextCuspDeg`: the house's sector read as an even scale from one cusp to the next.
double longitudeAngle(int j, double cuspDeg, double nextCuspDeg, double longitudeDeg);

// Top-centre anchors of the four hub lines, `lineHeight` apart (the height of "W").
struct HubAnchors {
    Point name;
    Point date;
    Point time;
    Point coordinates;
};
HubAnchors hubAnchors(const WheelLayout& layout, int lineHeight);

// The widest text `textHeight` high, drawn centred on the top-centre `anchor`, that keeps two units
// (of the reference wheel) inside the hub circle; 0 where none does.
int hubLineWidth(const WheelLayout& layout, Point anchor, int textHeight);

}  // namespace zodiara
