// The files made of the reference chart (1990-01-01 12:00 EST, 74W00 40N43): the SVG, and what
// zodiara-chart writes, as a script sees it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <tuple>

#include "chart/pipeline.h"
#include "display/chartexport.h"

using namespace zodiara;

namespace {

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
        setBirthData(chart, {.longitude = {74, 0, West},
                             .latitude = {40, 43, North},
                             .name = "Reference",
                             .zone = 6,
                             .birthDate = {1990, 1, 1},
                             .localTime = {12, 0, 0, 0}});
        computeChart(chart, tables);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    Chart chart;
    DerivedTables tables;
};

// 96 dpi, so a viewer shows the drawing at its pixel size; glyphs as paths, never images.
TEST_F(ReferenceImage, SvgAtPixelSizeWithVectorGlyphs)
{
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
    int coloured = 0;
    for (int y = 0; y < raster.height(); ++y)
        for (int x = 0; x < raster.width(); ++x)
            coloured += QColor(raster.pixel(x, y)).saturation() > 150 && QColor(raster.pixel(x, y)).value() > 100;
    EXPECT_GT(coloured, 200);
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
