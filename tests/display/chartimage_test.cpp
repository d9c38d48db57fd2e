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

using namespace zodiara;

namespace {

const QRgb ElementInks[4] = {qRgb(255, 61, 1), qRgb(128, 128, 0), qRgb(0, 128, 128), qRgb(0, 0, 255)};
constexpr QPoint Centre(290, 210);

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

QPoint onCircle(QPoint c, double r, double deg)
{
    const double a = deg * M_PI / 180;
    return {int(std::trunc(c.x() + r * std::cos(a))), int(std::trunc(c.y() + r * std::sin(a)))};
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

// The circles, house lines, cusp glyphs, hub and table are pinned down by the stored pictures
// (readablewheel_test), which allow changes inside the small glyphs: those are checked here, and
// the hit areas, which no picture shows.
TEST_F(ReferenceImage, BodyGlyphColoursAndPlacesAndHubWithoutAName)
{
    render(false);
    for (int j = 0; j < 12; ++j) {
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
    // Hub lines 14 pixels apart (the height of "W" in Arial 14 bold); without a name the others keep their places.
    chart.name[0] = '\0';
    const QImage anonymous = renderChartImage(chart, tables, DefaultViewSize, false);
    EXPECT_EQ(countDark(anonymous, QRect(Centre.x() - 60, Centre.y() - 26, 120, 10)), 0);
    EXPECT_GT(countDark(anonymous, QRect(Centre.x() - 60, Centre.y() - 12, 120, 10)), 20);
}

TEST_F(ReferenceImage, WithAspectsTableCellsWhereClicksFindThemAndSvgAtPixelSize)
{
    render(true);
    // The table's body font is Arial with a cell height of 16: 14 pixels here. Cells are found from it.
    QFont font("Arial");
    font.setPixelSize(14);
    const QFontMetrics fm(font, &image);
    ASSERT_EQ(fm.ascent() + fm.descent(), 16);
    const int nm = fm.horizontalAdvance("nm"), w = fm.horizontalAdvance("W");
    int aspects = 0;
    for (int i = 0; i < 10; ++i) {
        for (int j = i + 1; j < 12; ++j) {
            const int x = (2 + i) * nm, y = (13 - j) * 20;  // rows 16 + 4 apart, MidHeaven highest
            if (tables.aspectGrid[i][j]) {
                ++aspects;
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

// The reference chart is REF, the test's directory DIR.
Outcome runChart(QString args, const QTemporaryDir& dir)
{
    args.replace("REF", "compute --name Reference --date 1990-01-01 --time 12:00 --zone 6 --lon 074W00 --lat 40N43");
    return run(ZODIARA_CHART_EXE, args.replace("DIR", dir.path()).split(' '));
}

// The PNG is what the window shows. With no image in the PDF, coloured ink on the rasterised page
// can only be vector glyphs.
TEST_F(ReferenceImage, CommandPngIsTheWindowAndPdfHasOnePageOrTwoWithColouredVectorGlyphs)
{
    const Outcome computed = runChart("REF --save DIR/ref.cht --png DIR/computed.png --aspects", dir);
    ASSERT_EQ(computed.status, 0) << computed.err.constData();
    const Outcome shown = runChart("show DIR/ref.cht --png DIR/shown.png --size 800x500", dir);
    ASSERT_EQ(shown.status, 0) << shown.err.constData();
    EXPECT_EQ(QImage(path("computed.png")).convertToFormat(QImage::Format_RGB32),
              renderChartImage(chart, tables, DefaultViewSize, true));
    EXPECT_EQ(QImage(path("shown.png")).convertToFormat(QImage::Format_RGB32),
              renderChartImage(chart, tables, {800, 500}, false));
    static const QRegularExpression page("/Type\\s*/Page(?!s)");
    for (const bool aspects : {false, true}) {
        const Outcome made =
            runChart(aspects ? "REF --pdf DIR/two.pdf --aspects --paper letter" : "REF --pdf DIR/one.pdf", dir);
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

// Status 2, nothing on standard output, one line on standard error, no file written.
TEST_F(ReferenceImage, CommandRefusalsAreOneLineWithStatusTwoAndWriteNothing)
{
    for (const char* args : {"REF --png DIR/missing/chart.png", "REF --pdf DIR/missing/chart.pdf", "REF --size 100x100",
                             "REF --png DIR/a.png --size 9000x100", "REF --pdf DIR/a.pdf --paper a3",
                             "REF --png DIR/a.png --paper a4", "REF --aspects"}) {
        const Outcome refused = runChart(args, dir);
        EXPECT_EQ(std::tuple(refused.status, refused.out.isEmpty(), refused.err.startsWith("zodiara-chart: "),
                             refused.err.count('\n'), QDir(dir.path()).isEmpty()),
                  std::tuple(2, true, true, 1, true))
            << args << ": " << refused.err.constData();
    }
}
#endif

}  // namespace
