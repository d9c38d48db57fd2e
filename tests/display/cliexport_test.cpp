// zodiara-chart's drawn outputs as a script sees them: the files, the page count, the glyphs
// on paper being outlines, and a failed write reported as one line with status 2.
#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstring>

#include "chartexport.h"
#include "pipeline.h"

using namespace zodiara;

namespace {

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Outcome runChart(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(ZODIARA_CHART_EXE), args);
    Outcome run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

const QStringList ReferenceArgs = {QStringLiteral("compute"), QStringLiteral("--name"), QStringLiteral("Reference"),
                                   QStringLiteral("--date"),  QStringLiteral("1990-01-01"),
                                   QStringLiteral("--time"),  QStringLiteral("12:00"),
                                   QStringLiteral("--zone"),  QStringLiteral("6"),
                                   QStringLiteral("--lon"),   QStringLiteral("074W00"),
                                   QStringLiteral("--lat"),   QStringLiteral("40N43")};

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

QByteArray contents(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int pageCount(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return int(QString::fromLatin1(pdf).count(page));
}

class ChartCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_F(ChartCommand, PngIsWhatTheWindowShows)
{
    DerivedTables tables;
    const Chart chart = referenceChart(tables);
    struct Case {
        QStringList extra;
        QSize size;
        bool aspects;
    };
    for (const Case& c : {Case{{}, {580, 420}, false}, Case{{QStringLiteral("--aspects")}, {580, 420}, true},
                          Case{{QStringLiteral("--size"), QStringLiteral("800x500")}, {800, 500}, false}}) {
        const QString file = path("chart.png");
        const Outcome run = runChart(ReferenceArgs + QStringList{QStringLiteral("--png"), file} + c.extra);
        ASSERT_EQ(run.status, 0) << run.err.constData();
        const QImage saved(file);
        ASSERT_EQ(saved.size(), c.size);
        EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
                  renderChartImage(chart, tables, c.size, c.aspects).convertToFormat(QImage::Format_RGB32));
    }
}

TEST_F(ChartCommand, ShowDrawsAStoredChartLikeTheComputedOne)
{
    const QString cht = path("reference.cht");
    ASSERT_EQ(runChart(ReferenceArgs + QStringList{QStringLiteral("--save"), cht, QStringLiteral("--png"),
                                                   path("computed.png"), QStringLiteral("--aspects")})
                  .status,
              0);
    const Outcome shown = runChart({QStringLiteral("show"), cht, QStringLiteral("--png"), path("shown.png"),
                                QStringLiteral("--aspects"), QStringLiteral("--svg"), path("shown.svg")});
    ASSERT_EQ(shown.status, 0) << shown.err.constData();
    EXPECT_EQ(QImage(path("shown.png")), QImage(path("computed.png")));
    EXPECT_TRUE(contents(path("shown.svg")).contains("<svg"));
}

TEST_F(ChartCommand, PdfHasOnePageOrTwoWithAspectsAndNoBitmaps)
{
    for (const bool aspects : {false, true}) {
        const QString file = path(aspects ? "two.pdf" : "one.pdf");
        QStringList args = ReferenceArgs + QStringList{QStringLiteral("--pdf"), file};
        if (aspects)
            args << QStringLiteral("--aspects") << QStringLiteral("--paper") << QStringLiteral("letter");
        const Outcome run = runChart(args);
        ASSERT_EQ(run.status, 0) << run.err.constData();
        const QByteArray pdf = contents(file);
        EXPECT_EQ(pageCount(pdf), aspects ? 2 : 1);
        EXPECT_TRUE(pdf.contains(aspects ? "/MediaBox [0 0 612" : "/MediaBox [0 0 595"));
        EXPECT_FALSE(pdf.contains("/Subtype /Image"));
    }
}

// With no image in the file, coloured ink on the rasterised page can only be vector glyphs.
TEST_F(ChartCommand, PdfGlyphsAreColouredOutlines)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    const QString file = path("chart.pdf");
    ASSERT_EQ(runChart(ReferenceArgs + QStringList{QStringLiteral("--pdf"), file}).status, 0);
    ASSERT_FALSE(contents(file).contains("/Subtype /Image"));
    QProcess raster;
    raster.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"),
                            QStringLiteral("-singlefile"), file, path("page")});
    ASSERT_TRUE(raster.waitForFinished(60000));
    const QImage page(path("page.png"));
    ASSERT_FALSE(page.isNull());
    int coloured = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            coloured += c.saturation() > 150 && c.value() > 100;
        }
    }
    EXPECT_GT(coloured, 200);
}

TEST_F(ChartCommand, FailedWriteIsOneLineAndStatusTwo)
{
    const Outcome run = runChart(ReferenceArgs + QStringList{QStringLiteral("--png"), path("missing/chart.png")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith("zodiara-chart: Cannot write file")) << run.err.constData();
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
    EXPECT_FALSE(QFile::exists(path("missing/chart.png")));
}

struct BadOptions {
    const char* name;
    QStringList args;
};

std::ostream& operator<<(std::ostream& os, const BadOptions& c) { return os << c.name; }

class ChartCommandOptions : public ChartCommand, public ::testing::WithParamInterface<BadOptions> {};

TEST_P(ChartCommandOptions, AreRefusedBeforeAnythingIsWritten)
{
    QStringList args = GetParam().args;
    for (QString& a : args)
        a.replace(QStringLiteral("DIR"), dir.path());
    const Outcome run = runChart(QStringList{QStringLiteral("compute")} + args);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith("zodiara-chart: ")) << run.err.constData();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChartCommandOptions,
    ::testing::Values(BadOptions{"size_without_image", {"--size", "100x100"}},
                      BadOptions{"zero_size", {"--png", "DIR/a.png", "--size", "0x100"}},
                      BadOptions{"size_without_x", {"--png", "DIR/a.png", "--size", "100"}},
                      BadOptions{"size_too_large", {"--png", "DIR/a.png", "--size", "9000x100"}},
                      BadOptions{"unknown_paper", {"--pdf", "DIR/a.pdf", "--paper", "a3"}},
                      BadOptions{"paper_without_pdf", {"--png", "DIR/a.png", "--paper", "a4"}},
                      BadOptions{"aspects_alone", {"--aspects"}},
                      BadOptions{"empty_file_name", {"--png="}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
