// The view of the reference chart (1990-01-01 12:00 EST, 74W00 40N43), checked on its pixels at
// positions worked out from the wheel's proportions rather than taken from the drawing code; and
// the files zodiara-chart makes of it, as a script sees them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "display/chartcanvas.h"
#include "display/chartexport.h"
#include "display/chartpaint.h"
#include "display/glyphbitmap.h"
#include "chart/pipeline.h"
#include "testname.h"

using namespace zodiara;

namespace {

const QRgb ElementInks[4] = {qRgb(255, 61, 1), qRgb(128, 128, 0), qRgb(0, 128, 128), qRgb(0, 0, 255)};
const QRgb Red = qRgb(255, 0, 0), Blue = qRgb(0, 0, 255), Sky = qRgb(0, 128, 255), Pink = qRgb(255, 128, 128);
const QRgb AspectInks[11] = {Red, Sky, Sky, Pink, Blue, Sky, Red, Blue, Pink, Pink, Red};
constexpr QPoint Centre(290, 210);
constexpr QPoint MovedCentre(385, 210);

template <class Test>
int countPixels(const QImage& image, QRect r, Test test)
{
    int n = 0;
    r = r.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += test(image.pixel(x, y));
    return n;
}
int countColour(const QImage& im, QRect r, QRgb ink) { return countPixels(im, r, [=](QRgb p) { return p == ink; }); }
int countDark(const QImage& im, QRect r) { return countPixels(im, r, [](QRgb p) { return qGray(p) < 128; }); }
// Any black among the eight neighbours: an aliased one-pixel outline has diagonal gaps.
bool blackNear(const QImage& im, QPoint p) { return countColour(im, {p - QPoint(1, 1), QSize(3, 3)}, qRgb(0, 0, 0)); }

QPoint onCircle(QPoint c, double r, double deg)
{
    const double a = deg * M_PI / 180;
    return {int(std::trunc(c.x() + r * std::cos(a))), int(std::trunc(c.y() + r * std::sin(a)))};
}

double circleCoverage(const QImage& image, QPoint c, int r)
{
    int hits = 0;
    for (int deg = 0; deg < 360; ++deg)
        hits += blackNear(image, onCircle(c, r, deg));
    return hits / 360.0;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ReferenceImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setBirthData(chart, {.longitude = {74, 0, West}, .latitude = {40, 43, North}, .name = "Reference", .zone = 6,
                             .birthDate = {1990, 1, 1}, .localTime = {12, 0, 0, 0}});
        computeChart(chart, tables);
    }
    // As the window paints, keeping the hit areas. The exported image is the same picture, whether its
    // glyph bitmaps were kept from before or are drawn afresh.
    void render(bool aspects)
    {
        image = QImage(DefaultViewSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            PainterCanvas canvas(painter, GlyphStyle::Bitmap);
            hits = paintChartView(canvas, chart, tables, DefaultViewSize, aspects);
        }
        const QImage warm = renderChartImage(chart, tables, DefaultViewSize, aspects);
        clearScreenGlyphCache();
        EXPECT_EQ(renderChartImage(chart, tables, DefaultViewSize, aspects), warm);
        EXPECT_EQ(warm.convertToFormat(QImage::Format_RGB32), image);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    Chart chart;
    DerivedTables tables;
    HitAreas hits;
    QImage image;
};

TEST_F(ReferenceImage, WheelCirclesHouseLinesGlyphColoursAndHub)
{
    render(false);
    // Four circles at the wheel's radii, nothing else round, nothing outside.
    for (int r : {190, 170, 85, 66})
        EXPECT_GE(circleCoverage(image, Centre, r), 0.95) << "radius " << r;
    for (int r : {128, 76, 40})
        EXPECT_LT(circleCoverage(image, Centre, r), 0.5) << "radius " << r;
    int outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            outside += std::hypot(x - Centre.x(), y - Centre.y()) > 200 && image.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_EQ(outside, 0);
    // Twelve house lines cross the number band.
    for (int k = 0; k < 12; ++k)
        for (int r = 70; r <= 82; r += 4)
            EXPECT_TRUE(blackNear(image, onCircle(Centre, r, 30.0 * k))) << "line " << k << " at radius " << r;

    for (int j = 0; j < 12; ++j) {
        // Middle of the sign band (radius 180) on the line of cusp j, an 18-pixel square.
        const QPoint q = onCircle(Centre, 180, 180.0 - 30.0 * j);
        const QRect box(q.x() - 9, q.y() - 9, 18, 18);
        const int element = chart.cusps[j].sign % 4;
        EXPECT_GE(countColour(image, box, ElementInks[element]), 8) << "cusp " << j;
        for (int other = (element + 1) % 4; other != element; other = (other + 1) % 4)
            EXPECT_EQ(countColour(image, box, ElementInks[other]), 0) << "cusp " << j << " element " << other;

        const auto n = std::ranges::count(chart.bodies, j, &BodyPosition::house);
        int m = 0;
        for (std::size_t k = 0; k < tables.sortedBodies.size(); ++k) {
            const SortedBody& s = tables.sortedBodies[k];
            if (s.position.house != j)
                continue;
            // The m-th of n bodies splits the house sector into n + 1, at radius 170 - 10 + 2.
            const QPoint g = onCircle(Centre, 162, 180.0 - 30.0 * j - ++m * 30.0 / (n + 1));
            EXPECT_GE(countColour(image, QRect(g.x() - 5, g.y() - 5, 10, 10), ElementInks[s.position.sign % 4]), 4)
                << bodyName(s.body);
            EXPECT_EQ(hits.bodyGlyphs[k], (IntRect{g.x() - 5, g.y() - 5, g.x() + 5, g.y() + 5})) << bodyName(s.body);
        }
    }

    // Hub lines 14 pixels apart (the height of "W" in Arial 14 bold), the time line at the centre;
    // without a name the others keep their places.
    for (int line = -2; line <= 1; ++line)
        EXPECT_GT(countDark(image, QRect(Centre.x() - 60, Centre.y() + 14 * line + 2, 120, 10)), 20) << line;
    chart.name[0] = '\0';
    const QImage anonymous = renderChartImage(chart, tables, DefaultViewSize, false);
    EXPECT_EQ(countDark(anonymous, QRect(Centre.x() - 60, Centre.y() - 26, 120, 10)), 0);
    EXPECT_GT(countDark(anonymous, QRect(Centre.x() - 60, Centre.y() - 12, 120, 10)), 20);
}

TEST_F(ReferenceImage, WithAspectsTableAtOriginWheelMovedRightAndSvgAtPixelSize)
{
    render(true);
    EXPECT_GE(circleCoverage(image, MovedCentre, 190), 0.9);
    EXPECT_GE(circleCoverage(image, MovedCentre, 66), 0.95);
    EXPECT_LT(circleCoverage(image, Centre, 190), 0.5);

    // The table's body font is Arial with a cell height of 16: 14 pixels here.
    QFont font("Arial");
    font.setPixelSize(14);
    const QFontMetrics fm(font, &image);
    ASSERT_EQ(fm.ascent() + fm.descent(), 16);
    const int nm = fm.horizontalAdvance("nm"), w = fm.horizontalAdvance("W");
    EXPECT_GT(countDark(image, QRect(7 * nm - 40, 0, 80, 14)), 30) << "title";
    // Row labels: the Moon column's "Asc" and "MC" texts at the left edge.
    for (int row : {2, 3})
        EXPECT_GT(countDark(image, QRect(0, row * 20 + 2, 20, 14)), 10) << "row " << row;
    int aspects = 0;
    for (int i = 0; i < 10; ++i) {
        for (int j = i + 1; j < 12; ++j) {
            const std::optional<Aspect> a = tables.aspectGrid[i][j];
            const int x = (2 + i) * nm;
            const int y = (13 - j) * 20;  // rows 16 + 4 apart, MidHeaven highest
            if (!a) {
                EXPECT_GT(countDark(image, QRect(x - 4, y, 8, 16)), 0) << "dash " << i << "," << j;
            } else {
                ++aspects;
                EXPECT_GE(countColour(image, QRect(x, y + 6, w - 3, 14), AspectInks[index(*a)]), 3) << i << "," << j;
                EXPECT_EQ(hits.aspectCells[i][j], (IntRect{x, y + 6, x + w - 3, y + 20})) << i << "," << j;
            }
        }
    }
    EXPECT_GT(aspects, 0);

    // The SVG export: 96 dpi, so a viewer shows the drawing at its pixel size; glyphs as paths, never images.
    ASSERT_EQ(exportChartSvg(path("chart.svg"), chart, tables, DefaultViewSize, true), QString());
    const QByteArray svg = fileBytes(path("chart.svg"));
    for (const char* part :
         {"width=\"153.458mm\" height=\"111.125mm\"", "viewBox=\"0 0 580 420\"", "Aspect Table", "<path"})
        EXPECT_TRUE(svg.contains(part)) << part;
    EXPECT_FALSE(svg.contains("<image"));
}

#ifdef ZODIARA_CHART_EXE
struct Outcome {
    int status = -1;  // -1: crashed or hung
    QByteArray out, err;
};

Outcome run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

Outcome runChart(const QString& args, const QString& dir)
{
    const QString reference = "compute --name Reference --date 1990-01-01 --time 12:00 --zone 6 "
                              "--lon 074W00 --lat 40N43";
    QStringList list = QString(args).replace("REF", reference).split(' ');
    return run(ZODIARA_CHART_EXE, list.replaceInStrings("DIR", dir));
}

// The PNG is what the window shows. With no image in the PDF, coloured ink on the rasterised page
// can only be vector glyphs.
TEST_F(ReferenceImage, CommandPngIsTheWindowAndPdfHasOnePageOrTwoWithColouredVectorGlyphs)
{
    const Outcome computed = runChart("REF --save DIR/ref.cht --png DIR/computed.png --aspects", dir.path());
    ASSERT_EQ(computed.status, 0) << computed.err.constData();
    const Outcome shown = runChart("show DIR/ref.cht --png DIR/shown.png --size 800x500", dir.path());
    ASSERT_EQ(shown.status, 0) << shown.err.constData();
    EXPECT_EQ(QImage(path("computed.png")).convertToFormat(QImage::Format_RGB32),
              renderChartImage(chart, tables, DefaultViewSize, true));
    EXPECT_EQ(QImage(path("shown.png")).convertToFormat(QImage::Format_RGB32),
              renderChartImage(chart, tables, {800, 500}, false));
    static const QRegularExpression page("/Type\\s*/Page(?!s)");
    for (const bool aspects : {false, true}) {
        const Outcome made =
            runChart(aspects ? "REF --pdf DIR/two.pdf --aspects --paper letter" : "REF --pdf DIR/one.pdf", dir.path());
        ASSERT_EQ(made.status, 0) << made.err.constData();
        const QByteArray pdf = fileBytes(path(aspects ? "two.pdf" : "one.pdf"));
        EXPECT_EQ(QString::fromLatin1(pdf).count(page), aspects ? 2 : 1);
        EXPECT_TRUE(pdf.contains(aspects ? "/MediaBox [0 0 612" : "/MediaBox [0 0 595"));
        EXPECT_FALSE(pdf.contains("/Subtype /Image"));
    }
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    ASSERT_EQ(run(pdftoppm, {"-r", "50", "-png", "-singlefile", path("one.pdf"), path("page")}).status, 0);
    const QImage raster(path("page.png"));
    ASSERT_FALSE(raster.isNull());
    EXPECT_GT(countPixels(raster, raster.rect(),
                          [](QRgb p) { return QColor(p).saturation() > 150 && QColor(p).value() > 100; }),
              200);
}

class CommandRefusals : public ReferenceImage, public ::testing::WithParamInterface<const char*> {};

// Status 2, nothing on standard output, one line on standard error, no file written.
TEST_P(CommandRefusals, AreOneLineWithStatusTwoAndWriteNothing)
{
    const Outcome refused = runChart(GetParam(), dir.path());
    EXPECT_EQ(std::tuple(refused.status, refused.out.isEmpty(), refused.err.startsWith("zodiara-chart: "),
                         refused.err.count('\n'), QDir(dir.path()).isEmpty()),
              std::tuple(2, true, true, 1, true))
        << refused.err.constData();
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandRefusals,
                         ::testing::Values("REF --png DIR/missing/chart.png", "REF --pdf DIR/missing/chart.pdf",
                                           "REF --size 100x100", "REF --png DIR/a.png --size 9000x100",
                                           "REF --pdf DIR/a.pdf --paper a3", "REF --png DIR/a.png --paper a4",
                                           "REF --aspects"),
                         [](const auto& info) { return zodiara::test::testName(info.param); });
#endif

}  // namespace
