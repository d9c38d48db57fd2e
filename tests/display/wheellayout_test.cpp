// The wheel geometry and the texts the reference pictures do not pin, checked against examples
// worked by hand.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "display/chartpaint.h"
#include "display/wheellayout.h"

using namespace zodiara;

namespace {

// Area, beside the table, shrunk for a page; the outer square, centre and radii (outer, sign, number,
// hub, half band). Radii by hand: hh * 0.9f, 0.45f and 0.35f are each a hair below the decimal product.
TEST(WheelLayout, SquareCentreAndRadii)
{
    const std::tuple<IntRect, bool, bool, IntRect, Point, std::array<int, 5>> cases[] = {
        {{0, 0, 420, 580}, true, false, {20, 195, 400, 575}, {210, 385}, {190, 170, 85, 66, 10}},     // table on top
        {{0, 0, 1200, 800}, true, false, {220, 20, 980, 780}, {600, 400}, {380, 341, 170, 132, 19}},  // room enough
        {{0, 0, 500, 500}, true, false, {20, 20, 480, 480}, {250, 250}, {230, 206, 103, 80, 12}},
        {{0, 0, 581, 420}, false, false, {100, 20, 481, 400}, {290, 210}, {190, 170, 85, 66, 10}},  // odd unit kept
        {{0, 0, 2400, 3200}, false, true, {109, 509, 2291, 2691}, {1200, 1600}, {1091, 981, 490, 381, 55}},
    };
    for (const auto& [area, besideTable, pageShrink, outer, centre, radii] : cases) {
        const WheelLayout l = computeWheelLayout(area, besideTable, pageShrink);
        EXPECT_EQ(std::tuple(l.outerSquare, l.centre,
                             std::array{l.outerRadius, l.signRadius, l.numberRadius, l.hubRadius, l.bandHalf}),
                  std::tuple(outer, centre, radii))
            << area.right << "x" << area.bottom << " " << besideTable;
    }
}

// The fonts of the reference wheel are the view's own at any width; above it the wheel's texts
// grow with the radius, the house numbers unless the width gives them more (the band caps them
// when painted). Area; label, data, name, cusp and number heights.
TEST(WheelFonts, GrowWithTheRadiusAboveTheReferenceWheel)
{
    // clang-format off
    const std::pair<IntRect, std::array<int, 5>> cases[] = {
        {{0, 0, 580, 420}, {13, 14, 14, 16, 14}},
        {{0, 0, 600, 420}, {13, 14, 14, 16, 15}},     // same wheel, numbers from the width
        {{0, 0, 2400, 300}, {13, 14, 14, 16, 60}},    // smaller wheel: nothing shrinks
        {{0, 0, 1005, 1005}, {33, 36, 36, 41, 36}},   // radius 482.5, 2.54 times the reference
        {{0, 0, 1600, 1200}, {40, 43, 43, 49, 43}},   // 580: numbers grow past the width's 40
    };
    // clang-format on
    for (const auto& [area, heights] : cases) {
        const ChartFonts f = wheelFonts(screenFonts(area.right), computeWheelLayout(area, false, false));
        EXPECT_EQ((std::array{f.label.height, f.data.height, f.name.height, f.cusp.height, f.number.height}), heights)
            << area.right << "x" << area.bottom;
        EXPECT_EQ(std::tuple(f.name.weight, f.number.face), std::tuple(600, screenFonts(area.right).number.face));
    }
}

// On a wheel of three times the reference wheel's size, fonts tripled, every label and glyph of a
// body or a cusp is where the reference wheel puts it, tripled about the centre, give or take the
// units that the integer steps of the placement rules cost (up to 8 for a minute label).
TEST(WheelLayout, ThreeTimesTheReferenceWheelIsTheReferenceTripled)
{
    const WheelLayout one = computeWheelLayout({0, 0, 580, 420}, false, false);
    WheelLayout three = one;
    for (int* r : {&three.outerRadius, &three.signRadius, &three.numberRadius, &three.hubRadius, &three.bandHalf})
        *r *= 3;
    three.scale = 3;
    const auto tripled = [&](IntRect a, IntRect b) {
        const auto off = [](int x, int y, int c) { return std::abs(3 * (x - c) - (y - c)) <= 8; };
        const Point c = one.centre;
        return off(a.left, b.left, c.x) && off(a.right, b.right, c.x) && off(a.top, b.top, c.y)
               && off(a.bottom, b.bottom, c.y);
    };
    const TextExtent degree{20, 15}, minute{17, 15};
    for (int j = 0; j < 12; ++j) {
        for (const double phi : {cuspAngle(j) - 3, cuspAngle(j) - 15, cuspAngle(j) - 27}) {
            const BodyFootprint a = bodyFootprint(one, j, phi, degree, minute);
            const BodyFootprint b = bodyFootprint(three, j, phi, {3 * degree.width, 3 * degree.height},
                                                  {3 * minute.width, 3 * minute.height});
            EXPECT_TRUE(tripled(a.glyph, b.glyph) && tripled(a.degree, b.degree) && tripled(a.sign, b.sign)
                        && tripled(a.minute, b.minute))
                << "house " << j + 1 << " at " << phi;
        }
        const CuspLabelAnchors a = cuspLabelAnchors(one, j, degree, minute),
                               b = cuspLabelAnchors(three, j, {3 * degree.width, 3 * degree.height},
                                                    {3 * minute.width, 3 * minute.height});
        EXPECT_TRUE(
            tripled({a.degree.x, a.degree.y, a.minute.x, a.minute.y}, {b.degree.x, b.degree.y, b.minute.x, b.minute.y}))
            << "cusp " << j + 1;
    }
}

// What the reference chart does not show: hour 0, BC, east and south, the printed legend.
TEST(ChartTexts, AreFormattedAsTheWheelPrintsThem)
{
    const std::pair<QString, QString> cases[] = {
        {hubTimeText({0, 5, 9}), "00 05m 09s"},
        {hubDateText({44, 3, 15}, true), "March 15, 44 BC"},
        {hubCoordinatesText({2, 5, East}, {33, 51, South}), "2E5,33S51"},
        {legendText(Aspect::Opposition), " = Opposition, 180 degrees"},
    };
    for (const auto& [actual, expected] : cases)
        EXPECT_EQ(actual, expected) << actual.toStdString();
}

}  // namespace
