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
BirthData referenceBirth()
{
    BirthData birth;
    birth.name = "Reference";
    birth.place = "New York";
    birth.birthDate = {1990, 1, 1};
    birth.localTime = {12, 0, 0};
    birth.zone = 6;
    birth.longitude = {74, 0, West};
    birth.latitude = {40, 43, North};
    return birth;
}

Chart referenceChart() { return computeChart(referenceBirth())->chart; }

std::filesystem::path scratchDirectory()
{
    auto dir = std::filesystem::temp_directory_path() / ("zodiara-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

void BM_ComputeChart(benchmark::State& state)
{
    const BirthData birth = referenceBirth();
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeChart(birth));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComputeChart);

void BM_ComputeChartPrecise(benchmark::State& state)
{
    const BirthData birth = referenceBirth();
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeChart(birth, Ephemeris::Precise));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComputeChartPrecise);

void BM_RebuildDerivedTables(benchmark::State& state)
{
    const Chart chart = referenceChart();
    for (auto _ : state) {
        DerivedTables tables = derivedTables(chart);
        benchmark::DoNotOptimize(tables);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RebuildDerivedTables);

void BM_ReadChartFile(benchmark::State& state)
{
    const Chart chart = referenceChart();
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
    const Chart chart = referenceChart();
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
