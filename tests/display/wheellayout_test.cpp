// The wheel and aspect-table geometry, checked against worked examples computed by hand.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "aspecttablelayout.h"
#include "wheellayout.h"

using namespace zodiara;

namespace {

int width(const IntRect& r) { return r.right - r.left; }
int height(const IntRect& r) { return r.bottom - r.top; }

struct LayoutCase {
    const char* name;
    IntRect area;
    bool besideTable;
    bool pageShrink;
    IntRect outer;
    Point centre;
    int outerRadius, signRadius, numberRadius, hubRadius, bandHalf;
};

std::ostream& operator<<(std::ostream& os, const LayoutCase& c) { return os << c.name; }

class LayoutExamples : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutExamples, SquareCentreAndRadii)
{
    const LayoutCase& c = GetParam();
    const WheelLayout l = computeWheelLayout(c.area, c.besideTable, c.pageShrink);
    EXPECT_EQ(l.outerSquare, c.outer);
    EXPECT_EQ(l.centre, c.centre);
    EXPECT_EQ(l.outerRadius, c.outerRadius);
    EXPECT_EQ(l.signRadius, c.signRadius);
    EXPECT_EQ(l.numberRadius, c.numberRadius);
    EXPECT_EQ(l.hubRadius, c.hubRadius);
    EXPECT_EQ(l.bandHalf, c.bandHalf);
    // Every circle is concentric with the outer square.
    for (const IntRect& r : {l.signCircle, l.numberCircle, l.hubCircle}) {
        EXPECT_EQ(r.left - l.outerSquare.left, l.outerSquare.right - r.right);
        EXPECT_EQ(r.top - l.outerSquare.top, l.outerSquare.bottom - r.bottom);
    }
}

// Radii by hand: hh * 0.9f, 0.45f and 0.35f are each a hair below the decimal product.
INSTANTIATE_TEST_SUITE_P(
    Examples, LayoutExamples,
    ::testing::Values(
        LayoutCase{"view_580x420", {0, 0, 580, 420}, false, false, {100, 20, 480, 400}, {290, 210}, 190, 170, 85, 66, 10},
        LayoutCase{"view_580x420_table_moves_right", {0, 0, 580, 420}, true, false, {195, 20, 575, 400}, {385, 210}, 190, 170, 85, 66, 10},
        LayoutCase{"view_420x580_table_moves_down", {0, 0, 420, 580}, true, false, {20, 195, 400, 575}, {210, 385}, 190, 170, 85, 66, 10},
        LayoutCase{"view_1200x800_table_stays_centred", {0, 0, 1200, 800}, true, false, {220, 20, 980, 780}, {600, 400}, 380, 341, 170, 132, 19},
        LayoutCase{"square_view_with_table_stays_centred", {0, 0, 500, 500}, true, false, {20, 20, 480, 480}, {250, 250}, 230, 206, 103, 80, 12},
        LayoutCase{"odd_difference_keeps_extra_unit", {0, 0, 581, 420}, false, false, {100, 20, 481, 400}, {290, 210}, 190, 170, 85, 66, 10},
        LayoutCase{"half_height_20_number_circle_is_8", {0, 0, 80, 80}, false, false, {20, 20, 60, 60}, {40, 40}, 20, 17, 8, 6, 1},
        LayoutCase{"page_2400x3200_shrinks", {0, 0, 2400, 3200}, false, true, {109, 509, 2291, 2691}, {1200, 1600}, 1091, 981, 490, 381, 55}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WheelLayout, GlyphSizesOfTheStartUpView)
{
    const WheelLayout l = computeWheelLayout({0, 0, 580, 420}, false, false);
    for (int j = 0; j < 12; ++j) {
        const IntRect cusp = cuspGlyphRect(l, j);
        EXPECT_EQ(width(cusp), 18);
        EXPECT_EQ(height(cusp), 18);
        const double phi = bodySlotAngle(j, 1, 1);
        const IntRect body = bodyGlyphRect(l, phi);
        EXPECT_EQ(width(body), 10);
        EXPECT_EQ(height(body), 10);
        const IntRect sign = bodySignGlyphRect(l, j, phi, {22, 15});
        EXPECT_EQ(width(sign), 6);
        EXPECT_EQ(height(sign), 6);
    }
}

struct PolarCase {
    double angle;
    int radius;
    Point expected;
};

class PolarPoints : public ::testing::TestWithParam<PolarCase> {};

TEST_P(PolarPoints, TruncatesTheSumTowardZero)
{
    EXPECT_EQ(polarPoint({100, 100}, GetParam().radius, GetParam().angle), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Angles, PolarPoints,
    ::testing::Values(PolarCase{45, 10, {107, 107}},     // 107.07 both ways
                      PolarCase{135, 10, {92, 107}},     // 92.93 truncates down
                      PolarCase{0, 10, {110, 100}}, PolarCase{90, 10, {100, 110}},
                      PolarCase{180, 10, {90, 100}}, PolarCase{270, 10, {100, 90}},
                      PolarCase{-90, 10, {100, 90}},     // through cos/sin, same point
                      PolarCase{-180, 10, {90, 100}}));

TEST(WheelLayout, HouseLinesRunFromHubToSignCircleEveryThirtyDegrees)
{
    const WheelLayout l = computeWheelLayout({0, 0, 580, 420}, false, false);
    EXPECT_EQ(houseLine(l, 0).from, (Point{356, 210}));
    EXPECT_EQ(houseLine(l, 0).to, (Point{460, 210}));
    EXPECT_EQ(houseLine(l, 3).to, (Point{290, 380}));  // 90 degrees points down
    EXPECT_EQ(houseLine(l, 6).from, (Point{224, 210}));
    // 60 degrees: 290 + 170 * 0.5, 210 + 170 * 0.866 = 357.2
    EXPECT_EQ(houseLine(l, 2).to, (Point{375, 357}));
}

TEST(WheelLayout, CuspAnglesRunCounterClockwiseFromNineOClock)
{
    EXPECT_EQ(cuspAngle(0), 180);
    EXPECT_EQ(cuspAngle(3), 90);
    EXPECT_EQ(cuspAngle(6), 0);
    EXPECT_EQ(cuspAngle(9), -90);
    EXPECT_EQ(cuspAngle(11), -150);
}

TEST(WheelLayout, CuspLabelsSwapSidesFromThreeToTwelveOClock)
{
    const WheelLayout l = computeWheelLayout({0, 0, 580, 420}, false, false);
    for (int j = 0; j < 12; ++j) {
        Point plus = polarPoint(l.centre, 180, cuspAngle(j) + 7);
        Point minus = polarPoint(l.centre, 180, cuspAngle(j) - 7);
        plus.y -= 7;
        minus.y -= 7;
        const CuspLabelAnchors a = cuspLabelAnchors(l, j);
        const bool swapped = j >= 6 && j <= 9;
        EXPECT_EQ(a.degree, swapped ? minus : plus) << "cusp " << j;
        EXPECT_EQ(a.minute, swapped ? plus : minus) << "cusp " << j;
    }
    // Cusp 1 at nine o'clock: 180 +/- 7 degrees at radius 180 from (290, 210), lifted by 7.
    EXPECT_EQ(cuspLabelAnchors(l, 0).degree, (Point{111, 181}));
    EXPECT_EQ(cuspLabelAnchors(l, 0).minute, (Point{111, 224}));
    EXPECT_EQ(cuspGlyphRect(l, 0), (IntRect{101, 201, 119, 219}));
}

TEST(WheelLayout, BodySlotsSplitTheSectorEvenly)
{
    EXPECT_DOUBLE_EQ(bodySlotAngle(0, 1, 1), 165);
    EXPECT_DOUBLE_EQ(bodySlotAngle(3, 1, 2), 80);
    EXPECT_DOUBLE_EQ(bodySlotAngle(3, 2, 2), 70);
    for (int m = 1; m <= 10; ++m)
        EXPECT_NEAR(bodySlotAngle(9, m, 10), -90 - m * 30.0 / 11, 1e-12);
    // The last of ten bodies stays inside the house, short of the next cusp.
    EXPECT_GT(bodySlotAngle(9, 10, 10), cuspAngle(10));
}

struct OffsetCase {
    int house;
    Point expected;
};

class LabelOffsets : public ::testing::TestWithParam<OffsetCase> {};

// A 30 x 15 label at (100, 100): a third of the width is 10, two thirds of the height 10, a
// third 5, a quarter 3, a half 7.
TEST_P(LabelOffsets, MoveTheLabelIntoItsHouse)
{
    EXPECT_EQ(offsetBodyLabel({100, 100}, GetParam().house, {30, 15}), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Houses, LabelOffsets,
    ::testing::Values(OffsetCase{0, {110, 95}}, OffsetCase{1, {110, 92}}, OffsetCase{2, {100, 90}},
                      OffsetCase{3, {100, 90}}, OffsetCase{4, {90, 90}}, OffsetCase{5, {90, 90}},
                      OffsetCase{6, {90, 90}}, OffsetCase{7, {100, 100}}, OffsetCase{8, {100, 97}},
                      OffsetCase{9, {100, 97}}, OffsetCase{10, {100, 100}}, OffsetCase{11, {110, 93}}));

TEST(WheelLayout, BodyLabelsStepInwardsFromTheGlyph)
{
    const WheelLayout l = computeWheelLayout({0, 0, 580, 420}, false, false);
    // House 1 (j = 0) at 165 degrees; label 21 x 15: rd = 152, rs = 152 - 28 = 124.
    const TextExtent label{21, 15};
    EXPECT_EQ(bodyGlyphRect(l, 165), (IntRect{128, 246, 138, 256}));  // G = (133.5, 251.9)
    EXPECT_EQ(bodyDegreeAnchor(l, 0, 165, label), (Point{143 + 7, 249 - 5}));
    EXPECT_EQ(bodySignGlyphRect(l, 0, 165, label), (IntRect{167, 239, 173, 245}));  // S = (170, 242)
    // rm = 124 - (6 + 3) = 115 -> (178, 239), then the house-1 offset.
    EXPECT_EQ(bodyMinuteAnchor(l, 0, 165, label, {14, 15}), (Point{178 + 4, 239 - 5}));
    // House 2 (j = 1): rm = rs - trunc(sqrt(72)) with rs = 152 - 20 = 132, i.e. 123.515 -> 123.
    const Point p = polarPoint(l.centre, 123, 135);
    EXPECT_EQ(bodyMinuteAnchor(l, 1, 135, label, {14, 15}), (Point{p.x + 4, p.y - 5 - 3}));
}

TEST(WheelLayout, HouseNumbersAndHubLines)
{
    const WheelLayout l = computeWheelLayout({0, 0, 580, 420}, false, false);
    // House 1 at 165 degrees, radius 66 + 9 = 75: (217.55, 229.41) truncated.
    EXPECT_EQ(houseNumberTopLeft(l, 0, {14, 16}), (Point{210, 221}));
    const HubAnchors hub = hubAnchors(l, 16);
    EXPECT_EQ(hub.name, (Point{290, 178}));
    EXPECT_EQ(hub.date, (Point{290, 194}));
    EXPECT_EQ(hub.time, (Point{290, 210}));
    EXPECT_EQ(hub.coordinates, (Point{290, 226}));
}

TEST(AspectTableLayout, SixtyFiveCellsInAStaircase)
{
    std::set<std::pair<int, int>> cells;
    for (int i = 0; i < ChartPointCount; ++i)
        for (int j = 0; j < ChartPointCount; ++j)
            if (aspectCellExists(i, j))
                cells.insert({i, j});
    EXPECT_EQ(cells.size(), 65u);
    EXPECT_FALSE(aspectCellExists(AscendantPoint, MidheavenPoint));
    EXPECT_TRUE(aspectCellExists(9, MidheavenPoint));
    EXPECT_FALSE(aspectCellExists(3, 3));
    int moonCells = 0;
    for (const auto& cell : cells)
        moonCells += cell.first == 0;
    EXPECT_EQ(moonCells, 11);
}

TEST(AspectTableLayout, RowsOfSixteenArePitchedTwentyAndTheTableIs260High)
{
    const AspectTableLayout t(0, 0, 19, 13, 16);
    EXPECT_EQ(t.rowHeight, 20);
    EXPECT_EQ(t.height(), 260);
    EXPECT_EQ(t.rowY(MidheavenPoint), 40);  // just under the header row
    EXPECT_EQ(t.rowY(1), 240);              // the Sun row is the lowest
    EXPECT_EQ(t.columnX(0), 38);
    EXPECT_EQ(t.titleAnchor(), (Point{133, 0}));
    EXPECT_EQ(t.headerGlyphRect(2), (IntRect{76, 20, 88, 38}));
    EXPECT_EQ(t.cellGlyphRect(0, 1), (IntRect{38, 246, 48, 260}));
    EXPECT_EQ(t.rowLabelGlyphRect(2), (IntRect{3, 222, 15, 240}));
}

TEST(AspectTableLayout, TitleStaysOverTheColumnsAtAnyOrigin)
{
    const AspectTableLayout t(300, 500, 40, 30, 100);
    EXPECT_EQ(t.rowHeight, 125);
    EXPECT_EQ(t.titleAnchor(), (Point{580, 500}));
    EXPECT_EQ(t.top + t.height(), 500 + 1625);
}

}  // namespace
