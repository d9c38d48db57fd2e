// Engine timings: one chart computed, the derived tables rebuilt, a chart file read and written.
// Run: build/bin/zodiara_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "chart/chartfile.h"
#include "chart/pipeline.h"

namespace {

using namespace zodiara;

// 1990-01-01 12:00 EST, 74W00 40N43
Chart referenceChart()
{
    Chart chart;
    std::strcpy(chart.name, "Reference");
    std::strcpy(chart.place, "New York");
    chart.birthDate = {1990, 1, 1};
    chart.localTime = {12, 0, 0, 0};
    chart.zone = 6;
    chart.longitude = {74, 0, West};
    chart.latitude = {40, 43, North};
    return chart;
}

std::filesystem::path scratchDirectory()
{
    auto dir = std::filesystem::temp_directory_path() / ("zodiara-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

void BM_ComputeChart(benchmark::State& state)
{
    Chart chart = referenceChart();
    DerivedTables tables;
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeChart(chart, tables));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComputeChart);

void BM_ComputeChartPrecise(benchmark::State& state)
{
    Chart chart = referenceChart();
    DerivedTables tables;
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeChart(chart, tables, Ephemeris::Precise));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComputeChartPrecise);

void BM_RebuildDerivedTables(benchmark::State& state)
{
    Chart chart = referenceChart();
    DerivedTables tables;
    computeChart(chart, tables);
    for (auto _ : state) {
        rebuildDerivedTables(chart, tables);
        benchmark::DoNotOptimize(tables);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RebuildDerivedTables);

void BM_ReadChartFile(benchmark::State& state)
{
    Chart chart = referenceChart();
    DerivedTables tables;
    computeChart(chart, tables);
    const auto path = scratchDirectory() / "read.cht";
    if (std::string error = writeChartFile(path, chart); !error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        ChartReadResult result = readChartFile(path);
        benchmark::DoNotOptimize(result);
    }
    std::filesystem::remove_all(path.parent_path());
}
BENCHMARK(BM_ReadChartFile);

void BM_WriteChartFile(benchmark::State& state)
{
    Chart chart = referenceChart();
    DerivedTables tables;
    computeChart(chart, tables);
    const auto path = scratchDirectory() / "write.cht";
    for (auto _ : state) {
        std::string error = writeChartFile(path, chart);
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    std::filesystem::remove_all(path.parent_path());
}
BENCHMARK(BM_WriteChartFile);

}  // namespace

BENCHMARK_MAIN();
