// zodiara-chart batch on generated rows (100 000 classic, 10 000 precise), through the command's
// own code, with the JSON lines written to a file, on one thread and then on one per processor.
// The counter charts/s is the figure to watch; speed-up is the second's against the first.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>

#include "cli/batchpool.h"
#include "cli/commands.h"

namespace {

using namespace zodiara::cli;

// Varied but repeatable rows: all zones, both hemispheres, dates from 1700 to 2199, a few BC.
std::string generatedCsv(int rowCount, bool precise)
{
    std::mt19937 random(1990);
    const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::string csv =
        precise ? "name,place,date,time,zone,dst,bc,lon,lat,ephemeris\n" : "name,place,date,time,zone,dst,bc,lon,lat\n";
    char row[160];
    for (int i = 0; i < rowCount; ++i) {
        const bool bc = pick(0, 99) == 0;
        std::snprintf(row, sizeof row,
                      "Person %d,\"Place %d, Land\",%04d-%02d-%02d,%02d:%02d:%02d,%d,%d,%d,%03d%c%02d,%02d%c%02d\n", i,
                      i % 977, bc ? pick(1, 3000) : pick(1700, 2199), pick(1, 12), pick(1, 28), pick(0, 23),
                      pick(0, 59), pick(0, 59), pick(0, 28), pick(0, 1), bc ? 1 : 0, pick(0, 179),
                      pick(0, 1) ? 'E' : 'W', pick(0, 59), pick(0, 65), pick(0, 1) ? 'N' : 'S', pick(0, 59));
        csv += row;
        if (precise) {
            csv.back() = ',';
            csv += "precise\n";
        }
    }
    return csv;
}

void BM_Batch(benchmark::State& state)
{
    const int rowCount = int(state.range(0));
    const bool precise = state.range(1) != 0;
    const std::string jobs = std::to_string(state.range(2));
    const auto dir = std::filesystem::temp_directory_path() / ("zodiara-bench-batch-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string input = (dir / "rows.csv").string();
    const std::string output = (dir / "charts.jsonl").string();
    {
        const std::string csv = generatedCsv(rowCount, precise);
        std::FILE* file = std::fopen(input.c_str(), "wb");
        if (!file || std::fwrite(csv.data(), 1, csv.size(), file) != csv.size() || std::fclose(file) != 0) {
            state.SkipWithError("cannot write the generated rows");
            return;
        }
    }
    const std::string_view args[] = {"--jobs", jobs, input};
    std::chrono::duration<double> elapsed{};
    for (auto _ : state) {
        std::FILE* out = std::fopen(output.c_str(), "wb");
        if (!out) {
            state.SkipWithError("cannot open the output file");
            break;
        }
        CommandContext context;
        context.args = args;
        context.now = std::chrono::sys_days(std::chrono::year(2024) / 6 / 1) + std::chrono::hours(17);
        context.out = out;
        const auto start = std::chrono::steady_clock::now();
        const int status = runBatch(context);
        std::fclose(out);
        elapsed += std::chrono::steady_clock::now() - start;
        if (status != ExitOk) {
            state.SkipWithError("batch refused rows");
            break;
        }
    }
    state.counters["charts/s"] = benchmark::Counter(double(rowCount), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["output MB"] = double(std::filesystem::file_size(output)) / 1e6;
    std::filesystem::remove_all(dir);
    // The one-thread run of the same rows comes first.
    static double oneThreadSeconds[2] = {};
    if (jobs == "1")
        oneThreadSeconds[precise] = elapsed.count();
    else if (oneThreadSeconds[precise] > 0)
        state.counters["speed-up"] = oneThreadSeconds[precise] / elapsed.count();
}

const long long Processors = zodiara::cli::availableProcessors();

BENCHMARK(BM_Batch)
    ->ArgNames({"rows", "precise", "jobs"})
    ->Args({100000, 0, 1})
    ->Args({100000, 0, Processors})
    ->Args({10000, 1, 1})
    ->Args({10000, 1, Processors})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
