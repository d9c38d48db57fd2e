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
