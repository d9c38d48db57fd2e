#include "display/wheellayout.h"

#include <algorithm>
#include <cmath>

#include "chart/angles.h"

namespace zodiara {

namespace {

constexpr int half(int n) { return n / 2; }

IntRect inset(const IntRect& r, int d) { return {r.left + d, r.top + d, r.right - d, r.bottom - d}; }

// The product of a small int and a float is exact in double, as it was in extended precision.
int truncatedFraction(int value, float fraction)
{
    return static_cast<int>(static_cast<double>(value) * static_cast<double>(fraction));
}

IntRect circleAt(const IntRect& square, float fraction)
{
    const int hh = half(square.bottom - square.top);
    return inset(square, hh - truncatedFraction(hh, fraction));
}

WheelLayout layoutOfSquare(const IntRect& s, bool screen)
{
    WheelLayout layout;
    layout.outerSquare = s;
    layout.signCircle = circleAt(s, SignCircleFraction);
    layout.numberCircle = circleAt(s, NumberCircleFraction);
    layout.hubCircle = circleAt(s, HubCircleFraction);
    layout.centre = {s.left + half(s.right - s.left), s.top + half(s.bottom - s.top)};
    layout.outerRadius = half(s.right - s.left);
    layout.signRadius = half(layout.signCircle.right - layout.signCircle.left);
    layout.numberRadius = half(layout.numberCircle.right - layout.numberCircle.left);
    layout.hubRadius = half(layout.hubCircle.right - layout.hubCircle.left);
    layout.bandHalf = half(layout.outerRadius - layout.signRadius);
    if (screen)
        layout.scale = std::max(1.0, double(layout.outerRadius) / ReferenceOuterRadius);
    return layout;
}

bool besideHorizontalAxis(int j) { return j == 0 || j == 5 || j == 6 || j == 11; }

int bodyDegreeRadius(const WheelLayout& layout, int inset)
{
    return layout.signRadius - 2 * layout.bandHalf + scaledUnits(layout, 2) - inset;
}

int bodySignRadius(const WheelLayout& layout, int j, TextExtent degreeLabel, int inset)
{
    const int rd = bodyDegreeRadius(layout, inset);
    if (besideHorizontalAxis(j))
        return rd - (degreeLabel.width + degreeLabel.width / 3);
    return rd - (degreeLabel.height + degreeLabel.height / 3);
}

}  // namespace

WheelLayout computeWheelLayout(const IntRect& drawingArea, bool besideTable, bool pageShrink)
{
    IntRect s = drawingArea;
    const int w = drawingArea.right - drawingArea.left;
    const int h = drawingArea.bottom - drawingArea.top;
    if (h > w) {
        const int d = half(h - w);
        s.top += d;
        s.bottom -= d;
    } else {
        const int d = half(w - h);
        s.left += d;
        s.right -= d;
    }
    s = inset(s, WheelMargin);

    if (besideTable && w < 1000 && w != h) {
        const int hw = half(s.right - s.left);
        const int hh = half(s.bottom - s.top);
        int cx = s.left + hw;
        int cy = s.top + hh;
        if (w > h)
            cx = drawingArea.right - hw - 5;
        else
            cy = drawingArea.bottom - hh - 5;
        s = {cx - hw, cy - hh, cx + hw, cy + hh};
    }

    if (pageShrink)
        s = circleAt(s, PageShrinkFraction);
    return layoutOfSquare(s, !pageShrink);
}

int scaledUnits(const WheelLayout& layout, int units) { return static_cast<int>(std::lround(units * layout.scale)); }

WheelLayout wheelLayoutBesideTable(const IntRect& drawingArea, std::span<const IntRect> table)
{
    const auto clear = [&](Point c, int r) {
        for (const IntRect& t : table) {
            const long dx = std::max({t.left - c.x, 0, c.x - (t.right - 1)});
            const long dy = std::max({t.top - c.y, 0, c.y - (t.bottom - 1)});
            if (dx * dx + dy * dy < long(r + TableGap) * (r + TableGap))
                return false;
        }
        return true;
    };
    const WheelLayout standard = computeWheelLayout(drawingArea, true, false);
    if (clear(standard.centre, standard.outerRadius))
        return standard;
    // The table hangs from the top-left corner, so the far corner is the best place for any size.
    const int w = drawingArea.right - drawingArea.left;
    const int h = drawingArea.bottom - drawingArea.top;
    const int largest = std::min(standard.outerRadius, (std::min(w, h) - TableGap - WheelMargin) / 2);
    for (int r = largest; r > 0; --r) {
        const Point c{drawingArea.right - TableGap - r, drawingArea.bottom - TableGap - r};
        if (clear(c, r))
            return layoutOfSquare({c.x - r, c.y - r, c.x + r, c.y + r}, true);
    }
    return standard;
}

bool houseNumberInsideBand(const WheelLayout& layout, int i, TextExtent label, std::span<const Point> ink)
{
    const Point topLeft = houseNumberTopLeft(layout, i, label);
    return std::ranges::all_of(ink, [&](Point p) {
        const double r = std::hypot(topLeft.x + p.x + 0.5 - layout.centre.x, topLeft.y + p.y + 0.5 - layout.centre.y);
        return r >= layout.hubRadius + 1 && r <= layout.numberRadius - 1;
    });
}

Point polarPoint(Point centre, int radius, double angleDeg)
{
    if (angleDeg == 0)
        return {centre.x + radius, centre.y};
    if (angleDeg == 180)
        return {centre.x - radius, centre.y};
    if (angleDeg == 90)
        return {centre.x, centre.y + radius};
    if (angleDeg == 270)
        return {centre.x, centre.y - radius};
    const double a = degToRad(angleDeg);
    return {static_cast<int>(centre.x + radius * std::cos(a)), static_cast<int>(centre.y + radius * std::sin(a))};
}

Segment houseLine(const WheelLayout& layout, int k)
{
    const double a = 30.0 * k;
    return {polarPoint(layout.centre, layout.hubRadius, a), polarPoint(layout.centre, layout.signRadius, a)};
}

double cuspAngle(int j) { return 180.0 - 30.0 * j; }

Point houseNumberTopLeft(const WheelLayout& layout, int i, TextExtent label)
{
    const int r = layout.hubRadius + half(layout.numberRadius - layout.hubRadius);
    const Point p = polarPoint(layout.centre, r, 180.0 - 30.0 * i - 15.0);
    return {p.x - half(label.width), p.y - half(label.height)};
}

IntRect cuspGlyphRect(const WheelLayout& layout, int j)
{
    const Point q = polarPoint(layout.centre, layout.outerRadius - layout.bandHalf, cuspAngle(j));
    const int e = layout.bandHalf - 1;
    return {q.x - e, q.y - e, q.x + e, q.y + e};
}

namespace {

// The cusp labels' angle from their cusp on the reference wheel, and the most any wheel gives them:
// beyond it they would meet the next cusp's.
constexpr double CuspLabelOffsetDeg = 7;
constexpr double MaxCuspLabelOffsetDeg = 13;

// The label on the counter-clockwise side (the larger angle) of cusp j and the one on the other.
std::pair<Point, Point> cuspLabelPoints(const WheelLayout& layout, int j, double offsetDeg)
{
    const int r = layout.outerRadius - layout.bandHalf;
    const int lift = scaledUnits(layout, 7);
    const Point a = polarPoint(layout.centre, r, cuspAngle(j) + offsetDeg);
    const Point b = polarPoint(layout.centre, r, cuspAngle(j) - offsetDeg);
    return {{a.x, a.y - lift}, {b.x, b.y - lift}};
}

// How far apart two boxes are, along the axis that parts them most; negative where they overlap.
int boxGap(const IntRect& a, const IntRect& b)
{
    return std::max({a.left - b.right, b.left - a.right, a.top - b.bottom, b.top - a.bottom});
}

}  // namespace

CuspLabelAnchors cuspLabelAnchors(const WheelLayout& layout, int j, TextExtent degreeLabel, TextExtent minuteLabel)
{
    // From three o'clock up to twelve the angle runs the other way round the page.
    const bool degreeFirst = !(j >= 6 && j <= 9);
    const auto placed = [&](std::pair<Point, Point> points) {
        return degreeFirst ? CuspLabelAnchors{points.first, points.second}
                           : CuspLabelAnchors{points.second, points.first};
    };
    CuspLabelAnchors anchors = placed(cuspLabelPoints(layout, j, CuspLabelOffsetDeg));
    if (layout.outerRadius >= ReferenceOuterRadius)
        return anchors;

    const Point c = layout.centre;
    const WheelLayout reference = layoutOfSquare({c.x - ReferenceOuterRadius, c.y - ReferenceOuterRadius,
                                                  c.x + ReferenceOuterRadius, c.y + ReferenceOuterRadius},
                                                 true);
    const CuspLabelAnchors wanted = placed(cuspLabelPoints(reference, j, CuspLabelOffsetDeg));
    const IntRect glyph = cuspGlyphRect(layout, j);
    const IntRect referenceGlyph = cuspGlyphRect(reference, j);
    const auto keepClear = [&](Point CuspLabelAnchors::*label, TextExtent extent) {
        const int clearance = boxGap(referenceGlyph, labelRect(wanted.*label, extent));
        for (double offset = CuspLabelOffsetDeg; offset <= MaxCuspLabelOffsetDeg; offset += 0.25) {
            anchors.*label = placed(cuspLabelPoints(layout, j, offset)).*label;
            if (boxGap(glyph, labelRect(anchors.*label, extent)) >= clearance)
                break;
        }
    };
    keepClear(&CuspLabelAnchors::degree, degreeLabel);
    keepClear(&CuspLabelAnchors::minute, minuteLabel);
    return anchors;
}

double bodySlotAngle(int j, int m, int n)
{
    const double step = 30.0 / (n + 1);
    return cuspAngle(j) - m * step;
}

int bodyGlyphRadius(const WheelLayout& layout, int inset)
{
    return layout.signRadius - layout.bandHalf + scaledUnits(layout, 2) - inset;
}

IntRect bodyGlyphRect(const WheelLayout& layout, double phi, int inset)
{
    const Point g = polarPoint(layout.centre, bodyGlyphRadius(layout, inset), phi);
    const int hx = half(layout.bandHalf);
    const int hy = half(layout.bandHalf + 1);
    return {g.x - hx, g.y - hy, g.x + hx, g.y + hy};
}

Point bodyDegreeAnchor(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel, int inset)
{
    return offsetBodyLabel(polarPoint(layout.centre, bodyDegreeRadius(layout, inset), phi), j, degreeLabel);
}

IntRect bodySignGlyphRect(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel, int inset)
{
    const Point s = polarPoint(layout.centre, bodySignRadius(layout, j, degreeLabel, inset), phi);
    const int g = (2 * layout.bandHalf) / 3;
    const int g2 = (2 * (layout.bandHalf + 1)) / 3;
    return {s.x - half(g), s.y - half(g2), s.x + half(g), s.y + half(g2)};
}

Point bodyMinuteAnchor(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel, TextExtent minuteLabel,
                       int inset)
{
    const int rs = bodySignRadius(layout, j, degreeLabel, inset);
    const IntRect glyph = bodySignGlyphRect(layout, j, phi, degreeLabel, inset);
    const int gw = glyph.right - glyph.left;
    const int gh = glyph.bottom - glyph.top;
    int rm;
    if (besideHorizontalAxis(j))
        rm = rs - (gw + scaledUnits(layout, 3));
    else if (j == 2 || j == 3 || j == 8 || j == 9)
        rm = rs - gh;
    else
        rm = static_cast<int>(rs - std::sqrt(static_cast<double>(gw * gw + gh * gh)));
    return offsetBodyLabel(polarPoint(layout.centre, rm, phi), j, minuteLabel);
}

Point offsetBodyLabel(Point p, int j, TextExtent label)
{
    const int tw = label.width;
    const int th = label.height;
    if (j == 2 || j == 3)
        p.y -= (2 * th) / 3;
    if (j == 0 || j == 1) {
        p.y -= th / 3;
        p.x += tw / 3;
    }
    if (j == 11) {
        p.y -= half(th);
        p.x += tw / 3;
    }
    if (j == 4 || j == 5 || j == 6) {
        p.y -= (2 * th) / 3;
        p.x -= tw / 3;
    }
    if (j == 8 || j == 9)
        p.y -= th / 4;
    if (j == 1)
        p.y -= th / 4;
    return p;
}

int bodySpacing(const WheelLayout& layout) { return std::max(2, layout.bandHalf / 5); }

IntRect labelRect(Point anchor, TextExtent label)
{
    const int left = anchor.x - label.width / 2;
    return {left, anchor.y, left + label.width, anchor.y + label.height};
}

bool crowded(const IntRect& a, const IntRect& b, int gap)
{
    const bool empty = a.left >= a.right || a.top >= a.bottom || b.left >= b.right || b.top >= b.bottom;
    return !empty && a.left < b.right + gap && b.left < a.right + gap && a.top < b.bottom + gap
           && b.top < a.bottom + gap;
}

bool BodyFootprint::crowds(const BodyFootprint& other, int gap) const
{
    for (const IntRect& mine : {glyph, degree, sign, minute})
        for (const IntRect& theirs : {other.glyph, other.degree, other.sign, other.minute})
            if (crowded(mine, theirs, gap))
                return true;
    return false;
}

BodyFootprint bodyFootprint(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel,
                            TextExtent minuteLabel, int inset)
{
    return {bodyGlyphRect(layout, phi, inset),
            labelRect(bodyDegreeAnchor(layout, j, phi, degreeLabel, inset), degreeLabel),
            bodySignGlyphRect(layout, j, phi, degreeLabel, inset),
            labelRect(bodyMinuteAnchor(layout, j, phi, degreeLabel, minuteLabel, inset), minuteLabel)};
}

double longitudeAngle(int j, double cuspDeg, double nextCuspDeg, double longitudeDeg)
{
    const double span = reduce360(nextCuspDeg - cuspDeg);
    const double into = reduce360(longitudeDeg - cuspDeg);
    const double fraction = span > 0 ? std::clamp(into / span, 0.0, 1.0) : 0.5;
    return cuspAngle(j) - 30.0 * fraction;
}

HubAnchors hubAnchors(const WheelLayout& layout, int lineHeight)
{
    const Point c = layout.centre;
    return {{c.x, c.y - 2 * lineHeight}, {c.x, c.y - lineHeight}, c, {c.x, c.y + lineHeight}};
}

int hubLineWidth(const WheelLayout& layout, Point anchor, int textHeight)
{
    const double r = layout.hubRadius - scaledUnits(layout, 2);
    const double farY =
        std::max(std::abs(anchor.y - layout.centre.y), std::abs(anchor.y + textHeight - layout.centre.y));
    if (farY >= r)
        return 0;
    // Centred on the anchor, the box must fit on its side nearer to the edge.
    const double halfChord = std::sqrt(r * r - farY * farY) - std::abs(anchor.x - layout.centre.x);
    return std::max(0, 2 * static_cast<int>(halfChord));
}

}  // namespace zodiara
