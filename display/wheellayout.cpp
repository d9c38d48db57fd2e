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

int bodyGlyphRadius(const WheelLayout& layout) { return layout.signRadius - layout.bandHalf + scaledUnits(layout, 2); }

int bodyDegreeRadius(const WheelLayout& layout)
{
    return layout.signRadius - 2 * layout.bandHalf + scaledUnits(layout, 2);
}

int bodySignRadius(const WheelLayout& layout, int j, TextExtent degreeLabel)
{
    const int rd = bodyDegreeRadius(layout);
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

IntRect bodyGlyphRect(const WheelLayout& layout, double phi)
{
    const Point g = polarPoint(layout.centre, bodyGlyphRadius(layout), phi);
    const int hx = half(layout.bandHalf);
    const int hy = half(layout.bandHalf + 1);
    return {g.x - hx, g.y - hy, g.x + hx, g.y + hy};
}

Point bodyDegreeAnchor(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel)
{
    return offsetBodyLabel(polarPoint(layout.centre, bodyDegreeRadius(layout), phi), j, degreeLabel);
}

IntRect bodySignGlyphRect(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel)
{
    const Point s = polarPoint(layout.centre, bodySignRadius(layout, j, degreeLabel), phi);
    const int g = (2 * layout.bandHalf) / 3;
    const int g2 = (2 * (layout.bandHalf + 1)) / 3;
    return {s.x - half(g), s.y - half(g2), s.x + half(g), s.y + half(g2)};
}

Point bodyMinuteAnchor(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel, TextExtent minuteLabel)
{
    const int rs = bodySignRadius(layout, j, degreeLabel);
    const IntRect glyph = bodySignGlyphRect(layout, j, phi, degreeLabel);
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

namespace {

// Closer than `gap`, as two boxes of text whose letters would run together.
bool crowd(const IntRect& a, const IntRect& b, int gap)
{
    const bool empty = a.left >= a.right || a.top >= a.bottom || b.left >= b.right || b.top >= b.bottom;
    return !empty && a.left < b.right + gap && b.left < a.right + gap && a.top < b.bottom + gap
           && b.top < a.bottom + gap;
}

// Step by which a pushed-apart pair is separated further until it clears.
constexpr double SpreadStepDeg = 0.25;
constexpr int MaxSpreadRounds = 200;

// Least squares under order: the nondecreasing sequence nearest to z (pool adjacent violators).
// `pooled` tells which entries were averaged with a neighbour.
std::vector<double> nondecreasingFit(const std::vector<double>& z, std::vector<bool>& pooled)
{
    struct Block {
        double sum;
        int count;
        double mean() const { return sum / count; }
    };
    std::vector<Block> blocks;
    for (const double v : z) {
        blocks.push_back({v, 1});
        while (blocks.size() > 1 && blocks[blocks.size() - 2].mean() > blocks.back().mean()) {
            blocks[blocks.size() - 2].sum += blocks.back().sum;
            blocks[blocks.size() - 2].count += blocks.back().count;
            blocks.pop_back();
        }
    }
    std::vector<double> fit;
    pooled.clear();
    for (const Block& b : blocks) {
        fit.insert(fit.end(), std::size_t(b.count), b.mean());
        pooled.insert(pooled.end(), std::size_t(b.count), b.count > 1);
    }
    return fit;
}

}  // namespace

bool BodyFootprint::crowds(const BodyFootprint& other, int gap) const
{
    for (const IntRect& mine : {glyph, degree, sign, minute})
        for (const IntRect& theirs : {other.glyph, other.degree, other.sign, other.minute})
            if (crowd(mine, theirs, gap))
                return true;
    return false;
}

BodyFootprint bodyFootprint(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel,
                            TextExtent minuteLabel)
{
    return {bodyGlyphRect(layout, phi), labelRect(bodyDegreeAnchor(layout, j, phi, degreeLabel), degreeLabel),
            bodySignGlyphRect(layout, j, phi, degreeLabel),
            labelRect(bodyMinuteAnchor(layout, j, phi, degreeLabel, minuteLabel), minuteLabel)};
}

std::vector<double> spreadBodies(const WheelLayout& layout, std::span<const BodyToPlace> bodies)
{
    const std::size_t n = bodies.size();
    std::vector<double> slots(n);
    for (std::size_t i = 0; i < n; ++i)
        slots[i] = bodies[i].slotDeg;
    if (n < 2)
        return slots;

    // Positions run the other way from angles: clockwise on the page is increasing angle, and the
    // wheel order runs counter-clockwise. Cut the circle at the widest gap and unroll it from there.
    std::size_t first = 0;
    double widest = -1;
    for (std::size_t i = 0; i < n; ++i) {
        const double gap = i + 1 < n ? slots[i] - slots[i + 1] : slots[n - 1] + 360 - slots[0];
        if (gap > widest) {
            widest = gap;
            first = (i + 1) % n;
        }
    }
    std::vector<std::size_t> order(n);
    std::vector<double> target(n);
    for (std::size_t k = 0; k < n; ++k) {
        order[k] = (first + k) % n;
        target[k] = -slots[order[k]] + (order[k] < first ? 360 : 0);
    }
    const int gap = bodySpacing(layout);
    const auto footprint = [&](std::size_t k, double position) {
        const BodyToPlace& b = bodies[order[k]];
        return bodyFootprint(layout, b.house, -position, b.degreeLabel, b.minuteLabel);
    };

    // The least distance at which entries k and k + 1 clear each other, about their midpoint.
    const auto clearing = [&](std::size_t k, double a, double b) {
        const double mid = (a + b) / 2;
        double d = b - a + SpreadStepDeg;
        while (d < 180 && footprint(k, mid - d / 2).crowds(footprint(k + 1, mid + d / 2), gap))
            d += SpreadStepDeg;
        return d;
    };

    std::vector<double> position = target;
    std::vector<double> need(n - 1, 0.0);  // least distance from entry k to k + 1
    std::vector<bool> moved(n, false);
    std::vector<BodyFootprint> covers(n);
    for (int round = 0; round < MaxSpreadRounds; ++round) {
        for (std::size_t k = 0; k < n; ++k)
            covers[k] = footprint(k, position[k]);
        bool clash = false;
        for (std::size_t k = 0; k + 1 < n; ++k) {
            for (std::size_t m = k + 1; m < n; ++m) {
                if (!covers[k].crowds(covers[m], gap))
                    continue;
                clash = true;
                // Only neighbours are held apart; a clash further along widens the last gap before it.
                const double least =
                    m == k + 1 ? clearing(k, position[k], position[m]) : position[m] - position[m - 1] + SpreadStepDeg;
                need[m - 1] = std::max(need[m - 1], least);
            }
        }
        if (!clash)
            break;
        std::vector<double> z(n);
        double offset = 0;
        for (std::size_t k = 0; k < n; ++k) {
            z[k] = target[k] - offset;
            if (k + 1 < n)
                offset += need[k];
        }
        std::vector<bool> pooled;
        const std::vector<double> fit = nondecreasingFit(z, pooled);
        offset = 0;
        for (std::size_t k = 0; k < n; ++k) {
            moved[k] = pooled[k];
            position[k] = pooled[k] ? fit[k] + offset : target[k];
            if (k + 1 < n)
                offset += need[k];
        }
    }

    std::vector<double> angles = slots;
    for (std::size_t k = 0; k < n; ++k)
        if (moved[k])
            angles[order[k]] = -position[k] + (order[k] < first ? 360 : 0);
    return angles;
}

Segment bodyTick(const WheelLayout& layout, double phi, double ringDeg)
{
    return {polarPoint(layout.centre, layout.signRadius, ringDeg),
            polarPoint(layout.centre, bodyGlyphRadius(layout), phi)};
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
