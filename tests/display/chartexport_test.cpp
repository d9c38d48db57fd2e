// Image and page files: a failure says so and leaves no file; the SVG stays vector.
// (The files themselves are checked through zodiara-chart in cliexport_test.)
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstring>

#include "chartexport.h"
#include "pipeline.h"

using namespace zodiara;

namespace {

class Export : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        chart.birthDate = {1990, 1, 1};
        chart.localTime = {12, 0, 0, 0};
        chart.zone = 6;
        chart.longitude = {74, 0, West};
        chart.latitude = {40, 43, North};
        std::strcpy(chart.name, "Reference");
        computeChart(chart, tables);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static QByteArray contents(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    Chart chart;
    DerivedTables tables;
};

TEST_F(Export, PaintingAnImageLeavesTheCallersHitAreasAlone)
{
    const DerivedTables before = tables;
    renderChartImage(chart, tables, DefaultViewSize, true);
    for (size_t i = 0; i < tables.sortedBodies.size(); ++i)
        EXPECT_EQ(tables.sortedBodies[i].glyphRect, before.sortedBodies[i].glyphRect);
    EXPECT_EQ(tables.aspectGrid[0][1].cell, before.aspectGrid[0][1].cell);
}

struct FailureCase {
    const char* name;
    const char* file;  // relative to the temporary directory
    QSize size;
};

std::ostream& operator<<(std::ostream& os, const FailureCase& c) { return os << c.name; }

class ExportFailures : public Export, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ExportFailures, ReportTheReasonAndLeaveNoFile)
{
    const QString file = path(GetParam().file);
    const QString png = exportChartPng(file, chart, tables, GetParam().size, false);
    const QString svg = exportChartSvg(file, chart, tables, GetParam().size, false);
    EXPECT_FALSE(png.isEmpty());
    EXPECT_FALSE(svg.isEmpty());
    EXPECT_FALSE(QFile::exists(file));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportFailures,
    ::testing::Values(FailureCase{"missing_directory", "no/such/dir/chart.png", {580, 420}},
                      FailureCase{"empty_size", "empty.png", {0, 420}},
                      FailureCase{"negative_size", "negative.png", {-5, 10}},
                      FailureCase{"oversized", "huge.png", {MaxExportSide + 1, 420}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Export, FailedWriteKeepsTheOldFile)
{
    const QString file = path("kept.png");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    EXPECT_FALSE(exportChartPng(file, chart, tables, {0, 0}, false).isEmpty());
    EXPECT_EQ(contents(file), QByteArray("old"));
    const QString error = exportChartPdf(path("missing/x.pdf"), chart, tables, PaperSize::A4, false);
    EXPECT_TRUE(error.contains(QStringLiteral("x.pdf"))) << qPrintable(error);
}

TEST_F(Export, SvgIsTheViewWithVectorGlyphs)
{
    const QString file = path("chart.svg");
    ASSERT_EQ(exportChartSvg(file, chart, tables, DefaultViewSize, true), QString());
    const QByteArray svg = contents(file);
    EXPECT_TRUE(svg.contains("<svg"));
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 580 420\""));
    EXPECT_TRUE(svg.contains("Aspect Table"));
    EXPECT_TRUE(svg.contains("<path"));
    EXPECT_FALSE(svg.contains("<image"));
}

}  // namespace
