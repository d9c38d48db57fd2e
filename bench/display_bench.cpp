// Drawing timings: the 580 x 420 view into an image, a maximised 1600 x 1200 one, the layout's
// harder cases, and each printed page into a 600-dpi PDF.
// Run: build/bin/zodiara_display_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cstdlib>
#include <cstring>

#include "chart/angles.h"
#include "chart/houses.h"
#include "chart/pipeline.h"
#include "display/chartcanvas.h"
#include "display/chartexport.h"
#include "display/chartpaint.h"
#include "display/glyphbitmap.h"

namespace {

using namespace zodiara;

// 1990-01-01 12:00 EST, 74W00 40N43
Chart chartOf(const BirthData& birth, DerivedTables& tables)
{
    ComputedChart computed = *computeChart(birth);
    tables = computed.tables;
    return computed.chart;
}

Chart referenceChart(DerivedTables& tables)
{
    return chartOf({"Reference", "", {1990, 1, 1}, false, {12, 0, 0}, 6, false, {74, 0, West}, {40, 43, North}},
                   tables);
}

// One paint of the view; arg 0 shows the aspect table, arg 1 drops the glyph bitmaps first.
// Paints `chart` into an image of `size` once per iteration; `cold` drops the glyph bitmaps first.
void paintViews(benchmark::State& state, const Chart& chart, const DerivedTables& tables, QSize size, bool aspects,
                bool cold)
{
    QImage image(size, QImage::Format_RGB32);
    for (auto _ : state) {
        if (cold)
            clearScreenGlyphCache();
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterCanvas canvas(painter, GlyphStyle::Bitmap);
        paintChartView(canvas, chart, tables, size, aspects);
    }
    benchmark::DoNotOptimize(image.constBits());
}

void BM_PaintView(benchmark::State& state)
{
    DerivedTables tables;
    const Chart chart = referenceChart(tables);
    paintViews(state, chart, tables, DefaultViewSize, state.range(0) != 0, state.range(1) != 0);
}
// clang-format off
BENCHMARK(BM_PaintView)->ArgNames({"aspects", "cold"})->Args({0, 0})->Args({1, 0})->Args({0, 1})->Args({1, 1})
    ->Unit(benchmark::kMillisecond);
// clang-format on

// Delhi, 1962-02-04 17:30 IST, 77E13 28N36: seven bodies within 17 degrees of Aquarius.
Chart delhiChart(DerivedTables& tables)
{
    return chartOf(
        {"Delhi", "", {1962, 2, 4}, false, {17, 30, 0}, 22 /* IST */, false, {77, 13, East}, {28, 36, North}}, tables);
}

// A maximised view, 1600 x 1200, with the table: arg 0 is 0 for the reference chart, 1 for the Delhi
// chart, whose crowded Aquarius is spread; arg 1 drops the glyph bitmaps first.
void BM_PaintLargeView(benchmark::State& state)
{
    DerivedTables tables;
    const Chart chart = state.range(0) == 0 ? referenceChart(tables) : delhiChart(tables);
    paintViews(state, chart, tables, QSize(1600, 1200), true, state.range(1) != 0);
}
BENCHMARK(BM_PaintLargeView)
    ->ArgNames({"delhi", "cold"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// The layout's harder cases, with the table: arg 0 is 0 for ten bodies within six degrees of one
// house (spread apart) at 580 x 420, 1 for the reference chart at 600 x 600 (the wheel fitted
// beside the table), 2 for the reference chart at a device pixel ratio of 2.
void BM_PaintHardCases(benchmark::State& state)
{
    DerivedTables tables;
    Chart chart = referenceChart(tables);
    QSize size = DefaultViewSize;
    qreal ratio = 1;
    if (state.range(0) == 0) {
        for (int b = 0; b < BodyCount; ++b) {
            splitBody(chart.bodies[b], 284 + 0.6 * b);
            chart.bodies[b].house = houseOf(chart.bodies[b].longitude, chart.cusps);
        }
        tables = derivedTables(chart);
    } else if (state.range(0) == 1) {
        size = {600, 600};
    } else {
        ratio = 2;
    }
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterCanvas canvas(painter, GlyphStyle::Bitmap);
        paintChartView(canvas, chart, tables, size, true);
    }
    benchmark::DoNotOptimize(image.constBits());
}
BENCHMARK(BM_PaintHardCases)->ArgName("case")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// One A4 page at 600 dpi written to a PDF in memory; arg 0 the chart page, 1 the aspects page.
void BM_PdfPage(benchmark::State& state)
{
    DerivedTables tables;
    const Chart chart = referenceChart(tables);
    size_t bytes = 0;
    for (auto _ : state) {
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(PrintResolutionDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        const QRect r = writer.pageLayout().paintRectPixels(writer.resolution());
        const IntRect page{0, 0, r.width(), r.height()};
        {
            PainterCanvas canvas(painter, GlyphStyle::Vector);
            if (state.range(0) == 0)
                paintChartPage(canvas, chart, tables.sortedBodies, page);
            else
                paintAspectsPage(canvas, chart, tables.aspectGrid, page);
        }
        painter.end();
        bytes = size_t(pdf.size());
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_PdfPage)->ArgName("aspectsPage")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
