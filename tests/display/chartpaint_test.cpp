// What the painting routine draws and records, seen through a canvas that logs every call, and
// the texts and fonts it draws with.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>

#include <vector>

#include "chartpaint.h"
#include "wheellayout.h"

using namespace zodiara;

namespace {

struct GlyphCall {
    int id;
    IntRect target;
    QColor ink;
};
struct TextCall {
    Point anchor;
    QString text;
    TextAlign align;
    ChartFont font;
};

// Logs the drawing; every character is 7 units wide and the font's height is its cell height.
class LoggingCanvas final : public ChartCanvas {
public:
    void setFont(const ChartFont& f) override { font = f; }
    TextExtent textExtent(const QString& text) override { return {7 * int(text.size()), font.height}; }
    void drawText(Point a, const QString& t, TextAlign al) override { texts.push_back({a, t, al, font}); }
    void drawEllipse(const IntRect& r) override { ellipses.push_back(r); }
    void drawLine(Point a, Point b) override { lines.push_back({a, b}); }
    void drawGlyph(int id, const IntRect& r, QColor ink) override { glyphs.push_back({id, r, ink}); }

    int countText(const QString& t) const
    {
        int n = 0;
        for (const TextCall& c : texts)
            n += c.text == t;
        return n;
    }
    std::vector<GlyphCall> glyphsIn(int firstId, int lastId) const
    {
        std::vector<GlyphCall> out;
        for (const GlyphCall& g : glyphs)
            if (g.id >= firstId && g.id <= lastId)
                out.push_back(g);
        return out;
    }

    ChartFont font;
    std::vector<TextCall> texts;
    std::vector<IntRect> ellipses;
    std::vector<Segment> lines;
    std::vector<GlyphCall> glyphs;
};

// Two bodies in each of houses 0..4, at increasing longitudes.
Chart spreadChart(DerivedTables& tables)
{
    Chart chart;
    std::snprintf(chart.name, sizeof chart.name, "Test Person");
    chart.birthDate = {1970, 5, 3};
    for (int b = 0; b < 10; ++b) {
        chart.bodies[b] = {b, b * 6, b * 30.0 + b, b, b / 2};
        tables.sortedBodies[b] = {chart.bodies[b], b, {}};
    }
    return chart;
}

struct TextCase {
    const char* name;
    QString actual;
    QString expected;
};

std::ostream& operator<<(std::ostream& os, const TextCase& c) { return os << c.name; }

class Texts : public ::testing::TestWithParam<TextCase> {};

TEST_P(Texts, AreFormattedAsTheWheelPrintsThem) { EXPECT_EQ(GetParam().actual, GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Labels, Texts,
    ::testing::Values(
        TextCase{"degree_one_digit_padded", degreeText(5), QStringLiteral("05\u00ba")},
        TextCase{"degree_two_digits", degreeText(15), QStringLiteral("15\u00ba")},
        TextCase{"degree_nine_padded", degreeText(9), QStringLiteral("09\u00ba")},
        TextCase{"minute_padded", minuteText(7), QStringLiteral("07'")},
        TextCase{"minute_two_digits", minuteText(30), QStringLiteral("30'")},
        TextCase{"minute_sixty_prints_as_sixty", minuteText(60), QStringLiteral("60'")},
        TextCase{"house_one_has_leading_space", houseNumberText(1), QStringLiteral(" 1")},
        TextCase{"house_twelve", houseNumberText(12), QStringLiteral("12")},
        TextCase{"time_after_midnight", hubTimeText({0, 5, 9, 0}), QStringLiteral("00 05m 09s")},
        TextCase{"time_noon", hubTimeText({12, 0, 0, 0}), QStringLiteral("12h 00m 00s")},
        TextCase{"time_single_digit_hour", hubTimeText({7, 5, 0, 0}), QStringLiteral("7h 05m 00s")},
        TextCase{"time_half_past_midnight", hubTimeText({0, 30, 15, 0}), QStringLiteral("00 30m 15s")},
        TextCase{"date", hubDateText({1970, 5, 3}), QStringLiteral("March 5, 1970")},
        TextCase{"date_bad_month", hubDateText({2000, 1, 13}), QStringLiteral("Not Found 1, 2000")},
        TextCase{"coordinates", hubCoordinatesText({49, 0, West}, {24, 0, North}), QStringLiteral("49W0,24N0")},
        TextCase{"coordinates_unpadded", hubCoordinatesText({74, 0, West}, {40, 43, North}),
                 QStringLiteral("74W0,40N43")},
        TextCase{"coordinates_east_south", hubCoordinatesText({2, 5, East}, {33, 51, South}),
                 QStringLiteral("2E5,33S51")},
        TextCase{"legend_conjunction", legendText(0), QStringLiteral(" = Conjunction,   0 degrees")},
        TextCase{"legend_opposition", legendText(10), QStringLiteral(" = Opposition, 180 degrees")}),
    [](const auto& info) { return std::string(info.param.name); });

class CellHeights : public ::testing::TestWithParam<ChartFont> {};

// Heights are cell heights: the chosen font's ascent + descent must be the height asked for,
// since every anchor is computed from extents measured in that font.
TEST_P(CellHeights, FontAscentPlusDescentIsTheHeight)
{
    QImage device(10, 10, QImage::Format_RGB32);
    const ChartFont choice = GetParam();
    const QFont font = fontForCellHeight(choice, &device);
    const QFontMetrics fm(font, &device);
    EXPECT_LE(fm.ascent() + fm.descent(), choice.height);
    EXPECT_GE(fm.ascent() + fm.descent(), choice.height - 1);
    QFont larger = font;
    larger.setPixelSize(font.pixelSize() + 1);
    const QFontMetrics lfm(larger, &device);
    EXPECT_GT(lfm.ascent() + lfm.descent(), choice.height);
    EXPECT_EQ(font.weight(), QFont::Weight(choice.weight));
}

INSTANTIATE_TEST_SUITE_P(Fonts, CellHeights,
                         ::testing::Values(ChartFont{"Arial", 13, 400}, ChartFont{"Arial", 14, 400},
                                           ChartFont{"Arial", 14, 600}, ChartFont{"Arial", 16, 400},
                                           ChartFont{"System", 14, 400}, ChartFont{"Arial", 99, 400},
                                           ChartFont{"Arial", 111, 600}));

TEST(ChartFonts, PageFontsFollowAFortiethOfThePageWidth)
{
    const ChartFonts f = pageFonts(2400);
    EXPECT_EQ(f.label.height, 48);
    EXPECT_EQ(f.data.height, 54);
    EXPECT_EQ(f.name.height, 54);
    EXPECT_EQ(f.name.weight, 600);
    EXPECT_EQ(f.cusp.height, 60);
    EXPECT_EQ(f.number.height, 60);
    EXPECT_EQ(screenFonts(580).number.height, 14);
    EXPECT_EQ(screenFonts(1000).number.height, 25);
    EXPECT_EQ(screenFonts(1000).cusp.height, 16);
}

TEST(AspectTable, WithoutAspectsDrawsDashesAndRecordsNothing)
{
    DerivedTables tables;
    Chart chart = spreadChart(tables);
    LoggingCanvas canvas;
    const int bottom = drawAspectTable(canvas, chart, tables.aspectGrid, {0, 0}, 16, {"Arial", 14, 600},
                                       {"Arial", 16, 400}, true);
    EXPECT_EQ(bottom, 260);
    EXPECT_EQ(canvas.countText(QStringLiteral("-")), 65);
    EXPECT_EQ(canvas.countText(QStringLiteral("Asc")), 1);
    EXPECT_EQ(canvas.countText(QStringLiteral("MC")), 1);
    ASSERT_EQ(canvas.countText(QStringLiteral("Aspect Table")), 1);
    EXPECT_EQ(canvas.texts.front().font.weight, 600);
    EXPECT_EQ(canvas.glyphsIn(50, 60).size(), 0u);
    EXPECT_EQ(canvas.glyphsIn(20, 29).size(), 19u);  // ten column heads, nine row labels
    for (const auto& row : tables.aspectGrid)
        for (const AspectEntry& e : row)
            EXPECT_EQ(e.cell, IntRect{});
}

TEST(AspectTable, RecordsTheRectangleOfEveryAspectGlyphDrawn)
{
    DerivedTables tables;
    Chart chart = spreadChart(tables);
    for (int i = 0; i < 12; ++i)
        for (int j = i + 1; j < 12; ++j)
            tables.aspectGrid[i][j].aspect = (i + j) % 11;
    LoggingCanvas canvas;
    drawAspectTable(canvas, chart, tables.aspectGrid, {0, 0}, 16, {"Arial", 14, 600}, {"Arial", 16, 400}, true);

    const auto drawn = canvas.glyphsIn(50, 60);
    ASSERT_EQ(drawn.size(), 65u);
    EXPECT_EQ(canvas.countText(QStringLiteral("-")), 0);
    size_t n = 0;
    for (int i = 0; i < 10; ++i) {
        for (int j = i + 1; j < 12; ++j, ++n) {
            const int a = (i + j) % 11;
            EXPECT_EQ(drawn[n].id, 50 + a);
            EXPECT_EQ(drawn[n].ink, aspectInk(a));
            EXPECT_EQ(tables.aspectGrid[i][j].cell, drawn[n].target) << i << "," << j;
        }
    }
    EXPECT_EQ(tables.aspectGrid[10][11].cell, IntRect{});  // Ascendant-MidHeaven is never drawn

    // The printed table records nothing.
    DerivedTables again;
    Chart other = spreadChart(again);
    again.aspectGrid = tables.aspectGrid;
    for (auto& row : again.aspectGrid)
        for (AspectEntry& e : row)
            e.cell = {};
    drawAspectTable(canvas, other, again.aspectGrid, {0, 0}, 16, {"Arial", 14, 600}, {"Arial", 16, 400}, false);
    for (const auto& row : again.aspectGrid)
        for (const AspectEntry& e : row)
            EXPECT_EQ(e.cell, IntRect{});
}

TEST(ChartView, DrawsCirclesLinesNumbersAndRecordsEveryBodyGlyph)
{
    DerivedTables tables;
    Chart chart = spreadChart(tables);
    LoggingCanvas canvas;
    paintChartView(canvas, chart, tables, {580, 420}, false);

    ASSERT_EQ(canvas.ellipses.size(), 4u);
    EXPECT_EQ(canvas.ellipses[0], (IntRect{100, 20, 480, 400}));
    for (size_t k = 1; k < 4; ++k)  // each circle inside the one before
        EXPECT_GT(canvas.ellipses[k].left, canvas.ellipses[k - 1].left);
    EXPECT_EQ(canvas.lines.size(), 12u);
    for (int h = 1; h <= 12; ++h)
        EXPECT_EQ(canvas.countText(houseNumberText(h)), 1);
    EXPECT_EQ(canvas.countText(QStringLiteral("Test Person")), 1);
    EXPECT_EQ(canvas.countText(QStringLiteral("March 5, 1970")), 1);

    const auto bodyGlyphs = canvas.glyphsIn(20, 29);
    ASSERT_EQ(bodyGlyphs.size(), 10u);
    for (const SortedBody& s : tables.sortedBodies) {
        EXPECT_NE(s.glyphRect, IntRect{});
        bool found = false;
        for (const GlyphCall& g : bodyGlyphs)
            found = found || (g.id == 20 + s.body && g.target == s.glyphRect && g.ink == elementInk(s.position.sign));
        EXPECT_TRUE(found) << "body " << s.body;
    }
    // 12 cusp glyphs and a small sign glyph for each body.
    EXPECT_EQ(canvas.glyphsIn(3, 14).size(), 22u);
    EXPECT_EQ(canvas.glyphsIn(50, 60).size(), 0u);
}

TEST(ChartView, BodyOutsideEveryHouseIsNotDrawnAndKeepsAZeroRectangle)
{
    DerivedTables tables;
    Chart chart = spreadChart(tables);
    chart.bodies[9].house = 12;
    tables.sortedBodies[9].position.house = 12;
    LoggingCanvas canvas;
    paintChartView(canvas, chart, tables, {580, 420}, false);
    EXPECT_EQ(canvas.glyphsIn(20, 29).size(), 9u);
    EXPECT_EQ(tables.sortedBodies[9].glyphRect, IntRect{});
    EXPECT_NE(tables.sortedBodies[8].glyphRect, IntRect{});
}

TEST(ChartView, EmptyNameKeepsTheOtherHubLinesInPlace)
{
    DerivedTables tables;
    Chart named = spreadChart(tables);
    Chart anonymous = named;
    anonymous.name[0] = '\0';
    LoggingCanvas a, b;
    paintChartView(a, named, tables, {580, 420}, false);
    paintChartView(b, anonymous, tables, {580, 420}, false);
    EXPECT_EQ(b.countText(QString()), 1);
    for (const QString& line : {hubDateText(named.birthDate), hubTimeText(named.localTime)}) {
        Point pa, pb;
        for (const TextCall& t : a.texts)
            if (t.text == line)
                pa = t.anchor;
        for (const TextCall& t : b.texts)
            if (t.text == line)
                pb = t.anchor;
        EXPECT_EQ(pa, pb);
        EXPECT_NE(pa, Point{});
    }
}

TEST(ChartView, WithAspectsTheTableSitsAtTheOriginAndTheWheelMovesRight)
{
    DerivedTables tables;
    Chart chart = spreadChart(tables);
    LoggingCanvas canvas;
    paintChartView(canvas, chart, tables, {580, 420}, true);
    EXPECT_EQ(canvas.ellipses[0], (IntRect{195, 20, 575, 400}));
    ASSERT_EQ(canvas.countText(QStringLiteral("Aspect Table")), 1);
    for (const TextCall& t : canvas.texts) {
        if (t.text == QStringLiteral("Aspect Table")) {
            EXPECT_EQ(t.anchor.y, 0);
            EXPECT_EQ(t.anchor.x, 7 * 14);  // 7 x width of "nm"
        }
    }
    EXPECT_EQ(canvas.countText(QStringLiteral("-")), 65);
}

TEST(PrintedPages, ChartPageIsShrunkAndRecordsNothing)
{
    DerivedTables tables;
    Chart chart = spreadChart(tables);
    LoggingCanvas canvas;
    paintChartPage(canvas, chart, tables.sortedBodies, {0, 0, 2400, 3200});
    ASSERT_EQ(canvas.ellipses.size(), 4u);
    EXPECT_EQ(canvas.ellipses[0], (IntRect{109, 509, 2291, 2691}));
    EXPECT_EQ(canvas.glyphsIn(20, 29).size(), 10u);
    for (const SortedBody& s : tables.sortedBodies)
        EXPECT_EQ(s.glyphRect, IntRect{});
    for (const TextCall& t : canvas.texts) {
        if (t.text == houseNumberText(1)) {
            EXPECT_EQ(t.font.height, 60);
        }
    }
}

TEST(PrintedPages, AspectsPageHasTheTableThenABlackLegendInTwoColumns)
{
    DerivedTables tables;
    Chart chart = spreadChart(tables);
    tables.aspectGrid[0][1].aspect = 7;
    LoggingCanvas canvas;
    paintAspectsPage(canvas, chart, tables.aspectGrid, {0, 0, 2400, 3200});

    // "W" is 7 wide and 60 high in the logging canvas: table at (21, 180), 13 rows of 75.
    const int legendTop = 180 + 13 * 75 + 60;
    const auto aspects = canvas.glyphsIn(50, 60);
    ASSERT_EQ(aspects.size(), 12u);  // the one table cell, then the legend
    EXPECT_EQ(aspects[0].ink, aspectInk(7));
    EXPECT_EQ(tables.aspectGrid[0][1].cell, IntRect{});
    for (int k = 0; k < 11; ++k) {
        const GlyphCall& g = aspects[1 + k];
        EXPECT_EQ(g.id, 50 + k);
        EXPECT_EQ(g.ink, QColor(Qt::black));
        const int column = k < 6 ? 0 : 1;
        const int row = k < 6 ? k : k - 6;
        EXPECT_EQ(g.target.left, column == 0 ? 21 : 1200) << k;
        EXPECT_EQ(g.target.top, legendTop + row * 65) << k;
        EXPECT_EQ(g.target.right - g.target.left, 7);
        EXPECT_EQ(g.target.bottom - g.target.top, 60);
        EXPECT_EQ(canvas.countText(legendText(k)), 1);
    }
}

}  // namespace
