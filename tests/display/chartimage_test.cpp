// The rendered view of the reference chart, checked on its pixels at positions worked out here
// from the wheel's proportions rather than taken from the drawing code.
// Reference chart: 1990-01-01 12:00 EST (zone 6), 74W00 40N43.
#include <gtest/gtest.h>

#include <QDir>
#include <QFontMetrics>
#include <QImage>

#include <cmath>
#include <cstring>

#include "chartexport.h"
#include "chartpaint.h"
#include "glyphbitmap.h"
#include "pipeline.h"

using namespace zodiara;

namespace {

Chart referenceChart(DerivedTables& tables)
{
    Chart c;
    c.birthDate = {1990, 1, 1};
    c.localTime = {12, 0, 0, 0};
    c.zone = 6;
    c.longitude = {74, 0, West};
    c.latitude = {40, 43, North};
    std::strcpy(c.name, "Reference");
    computeChart(c, tables);
    return c;
}

const QRgb ElementInks[4] = {qRgb(255, 61, 1), qRgb(128, 128, 0), qRgb(0, 128, 128), qRgb(0, 0, 255)};
const QRgb AspectInks[11] = {qRgb(255, 0, 0),     qRgb(0, 128, 255),     qRgb(0, 128, 255), qRgb(255, 128, 128),
                             qRgb(0, 0, 255),     qRgb(0, 128, 255),     qRgb(255, 0, 0),   qRgb(0, 0, 255),
                             qRgb(255, 128, 128), qRgb(255, 128, 128),   qRgb(255, 0, 0)};

bool isBlack(QRgb p) { return (p & 0xffffff) == 0; }
bool isDark(QRgb p) { return qGray(p) < 128; }

int countColour(const QImage& image, QRect r, QRgb colour)
{
    int n = 0;
    r = r.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return n;
}

int countDark(const QImage& image, QRect r)
{
    int n = 0;
    r = r.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += isDark(image.pixel(x, y));
    return n;
}

QPoint onCircle(QPoint c, double r, double deg)
{
    const double a = deg * M_PI / 180;
    return {int(std::trunc(c.x() + r * std::cos(a))), int(std::trunc(c.y() + r * std::sin(a)))};
}

// Share of whole-degree points at radius r with a black pixel among their eight neighbours
// (an aliased one-pixel outline has diagonal gaps a ray can slip through).
double circleCoverage(const QImage& image, QPoint c, int r)
{
    int hits = 0;
    for (int deg = 0; deg < 360; ++deg) {
        const double a = deg * M_PI / 180;
        const QPoint p(int(std::lround(c.x() + r * std::cos(a))), int(std::lround(c.y() + r * std::sin(a))));
        bool hit = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                hit = hit || (image.rect().contains(p + QPoint(dx, dy)) && isBlack(image.pixel(p + QPoint(dx, dy))));
        hits += hit;
    }
    return hits / 360.0;
}

class ReferenceImage : public ::testing::Test {
protected:
    void render(bool aspects)
    {
        chart = referenceChart(tables);
        image = renderChartImage(chart, tables, {580, 420}, aspects);
        ASSERT_FALSE(image.isNull());
        image = image.convertToFormat(QImage::Format_RGB32);
    }
    void TearDown() override
    {
        if (HasFailure() && !image.isNull()) {
            const QString path = QDir::temp().filePath(
                QStringLiteral("display-%1.png")
                    .arg(QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name())));
            image.save(path);
            std::fprintf(stderr, "rendered image kept in %s\n", qPrintable(path));
        }
    }

    Chart chart;
    DerivedTables tables;
    QImage image;
};

constexpr QPoint Centre(290, 210);
constexpr QPoint MovedCentre(385, 210);

TEST_F(ReferenceImage, FourCirclesAtTheWheelRadiiAndNoneBetween)
{
    render(false);
    for (int r : {190, 170, 85, 66})
        EXPECT_GE(circleCoverage(image, Centre, r), 0.95) << "radius " << r;
    for (int r : {128, 76, 40})
        EXPECT_LT(circleCoverage(image, Centre, r), 0.5) << "radius " << r;
}

TEST_F(ReferenceImage, NothingOutsideTheWheel)
{
    render(false);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (std::hypot(x - Centre.x(), y - Centre.y()) > 200)
                ink += (image.pixel(x, y) & 0xffffff) != 0xffffff;
    EXPECT_EQ(ink, 0);
}

TEST_F(ReferenceImage, TwelveHouseLinesCrossTheNumberBand)
{
    render(false);
    for (int k = 0; k < 12; ++k) {
        for (int r = 70; r <= 82; r += 4) {
            const QPoint p = onCircle(Centre, r, 30.0 * k);
            bool black = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    black = black || isBlack(image.pixel(p + QPoint(dx, dy)));
            EXPECT_TRUE(black) << "line " << k << " at radius " << r;
        }
    }
}

TEST_F(ReferenceImage, CuspGlyphsInTheirElementColours)
{
    render(false);
    for (int j = 0; j < 12; ++j) {
        // Middle of the sign band (radius 180) on the line of cusp j, an 18-pixel square.
        const QPoint q = onCircle(Centre, 180, 180.0 - 30.0 * j);
        const QRect box(q.x() - 9, q.y() - 9, 18, 18);
        const int element = chart.cusps[j].sign % 4;
        EXPECT_GE(countColour(image, box, ElementInks[element]), 8) << "cusp " << j;
        for (int other = 0; other < 4; ++other) {
            if (other != element) {
                EXPECT_EQ(countColour(image, box, ElementInks[other]), 0) << "cusp " << j << " element " << other;
            }
        }
    }
}

TEST_F(ReferenceImage, BodyGlyphsInTheColourOfTheirSign)
{
    render(false);
    for (int j = 0; j < 12; ++j) {
        int n = 0;
        for (const BodyPosition& b : chart.bodies)
            n += b.house == j;
        int m = 0;
        for (const SortedBody& s : tables.sortedBodies) {
            if (s.position.house != j)
                continue;
            ++m;
            // The m-th of n bodies splits the house sector into n + 1, at radius 170 - 10 + 2.
            const QPoint g = onCircle(Centre, 162, 180.0 - 30.0 * j - m * 30.0 / (n + 1));
            const QRect box(g.x() - 5, g.y() - 5, 10, 10);
            EXPECT_GE(countColour(image, box, ElementInks[s.position.sign % 4]), 4) << "body " << s.body;
        }
    }
}

TEST_F(ReferenceImage, HubHoldsFourLinesOfText)
{
    render(false);
    // Lines 14 pixels apart (the height of "W" in Arial 14 bold), the time line at the centre.
    for (int line = -2; line <= 1; ++line) {
        const QRect band(Centre.x() - 60, Centre.y() + 14 * line + 2, 120, 10);
        EXPECT_GT(countDark(image, band), 20) << "hub line " << line;
    }
    chart.name[0] = '\0';
    const QImage anonymous = renderChartImage(chart, tables, {580, 420}, false);
    EXPECT_EQ(countDark(anonymous, QRect(Centre.x() - 60, Centre.y() - 26, 120, 10)), 0);
    EXPECT_GT(countDark(anonymous, QRect(Centre.x() - 60, Centre.y() - 12, 120, 10)), 20);
}

// Keeping glyph bitmaps between paints must not change a single pixel.
TEST_F(ReferenceImage, KeptGlyphBitmapsDrawTheSamePicture)
{
    for (const bool aspects : {false, true}) {
        render(aspects);
        const QImage warm = renderChartImage(chart, tables, {580, 420}, aspects);
        clearScreenGlyphCache();
        const QImage cold = renderChartImage(chart, tables, {580, 420}, aspects);
        EXPECT_EQ(warm, cold);
        EXPECT_EQ(warm.convertToFormat(QImage::Format_RGB32), image);
    }
}

TEST_F(ReferenceImage, WithoutAspectsTheTopLeftCornerIsEmpty)
{
    render(false);
    EXPECT_EQ(countDark(image, QRect(0, 0, 90, 120)), 0);
    for (QRgb ink : {AspectInks[0], AspectInks[1], AspectInks[3]})
        EXPECT_EQ(countColour(image, image.rect(), ink), 0);
}

TEST_F(ReferenceImage, WithAspectsTheTableIsAtTheOriginAndTheWheelMovesRight)
{
    render(true);
    EXPECT_GE(circleCoverage(image, MovedCentre, 190), 0.9);
    EXPECT_GE(circleCoverage(image, MovedCentre, 66), 0.95);
    EXPECT_LT(circleCoverage(image, Centre, 190), 0.5);

    // The table's body font is Arial with a cell height of 16: 14 pixels here.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    const QFontMetrics fm(font, &image);
    ASSERT_EQ(fm.ascent() + fm.descent(), 16);
    const int nm = fm.horizontalAdvance(QStringLiteral("nm"));
    const int w = fm.horizontalAdvance(QStringLiteral("W"));

    EXPECT_GT(countDark(image, QRect(7 * nm - 40, 0, 80, 14)), 30) << "title";
    int aspects = 0;
    for (int i = 0; i < 10; ++i) {
        for (int j = i + 1; j < 12; ++j) {
            const int a = tables.aspectGrid[i][j].aspect;
            const int x = (2 + i) * nm;
            const int y = (13 - j) * 20;  // rows 16 + 4 apart, MidHeaven highest
            if (a < 0) {
                EXPECT_GT(countDark(image, QRect(x - 4, y, 8, 16)), 0) << "dash " << i << "," << j;
                continue;
            }
            ++aspects;
            const QRect cell(x, y + 6, w - 3, 14);
            EXPECT_GE(countColour(image, cell, AspectInks[a]), 3) << "aspect " << a << " at " << i << "," << j;
        }
    }
    EXPECT_GT(aspects, 0);
    // Row labels: the Moon column's "Asc" and "MC" texts at the left edge.
    EXPECT_GT(countDark(image, QRect(0, 2 * 20 + 2, 20, 14)), 10);
    EXPECT_GT(countDark(image, QRect(0, 3 * 20 + 2, 20, 14)), 10);
}

}  // namespace
