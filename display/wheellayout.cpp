#include "wheellayout.h"

#include <cmath>

#include "angles.h"

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

bool besideHorizontalAxis(int j) { return j == 0 || j == 5 || j == 6 || j == 11; }

int bodyDegreeRadius(const WheelLayout& layout) { return layout.signRadius - 2 * layout.bandHalf + 2; }

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
    return layout;
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
    return {static_cast<int>(centre.x + radius * std::cos(a)),
            static_cast<int>(centre.y + radius * std::sin(a))};
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

CuspLabelAnchors cuspLabelAnchors(const WheelLayout& layout, int j)
{
    const int r = layout.outerRadius - layout.bandHalf;
    Point a = polarPoint(layout.centre, r, cuspAngle(j) + 7);
    Point b = polarPoint(layout.centre, r, cuspAngle(j) - 7);
    a.y -= 7;
    b.y -= 7;
    // From three o'clock up to twelve the angle runs the other way round the page.
    if (j >= 6 && j <= 9)
        return {b, a};
    return {a, b};
}

double bodySlotAngle(int j, int m, int n)
{
    const double step = 30.0 / (n + 1);
    return cuspAngle(j) - m * step;
}

IntRect bodyGlyphRect(const WheelLayout& layout, double phi)
{
    const Point g = polarPoint(layout.centre, layout.signRadius - layout.bandHalf + 2, phi);
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

Point bodyMinuteAnchor(const WheelLayout& layout, int j, double phi, TextExtent degreeLabel,
                       TextExtent minuteLabel)
{
    const int rs = bodySignRadius(layout, j, degreeLabel);
    const IntRect glyph = bodySignGlyphRect(layout, j, phi, degreeLabel);
    const int gw = glyph.right - glyph.left;
    const int gh = glyph.bottom - glyph.top;
    int rm;
    if (besideHorizontalAxis(j))
        rm = rs - (gw + 3);
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

HubAnchors hubAnchors(const WheelLayout& layout, int lineHeight)
{
    const Point c = layout.centre;
    return {{c.x, c.y - 2 * lineHeight}, {c.x, c.y - lineHeight}, c, {c.x, c.y + lineHeight}};
}

}  // namespace zodiara
