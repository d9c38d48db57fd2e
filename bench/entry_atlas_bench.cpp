// Atlas lookup timings on the shipped atlas and its index: opening the list, and one keystroke
// in its filter (the list redrawn after each). Beside the time, "cpu_ms" gives the processor
// time of the timed part, which other work on the machine does not inflate; "worst_ms" the
// slowest iteration; "held_MB" the resident memory the open lookup holds beyond the closed one
// ("anon_MB" the part of it not backed by a file), after opening and after a first letter typed.
#include "entry/atlas.h"
#include "entry/atlaslookupdialog.h"
#include "entry/daylightsaving.h"
#include "ui/messageservice.h"
#include "zones/clockcheck.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

namespace {

// Wall and thread processor time of one timed part, added to the state.
class Stopwatch {
public:
    Stopwatch() { m_wall.start(), m_cpu = cpuSeconds(); }
    void stop(benchmark::State& state)
    {
        const double seconds = static_cast<double>(m_wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        state.counters["cpu_ms"] += (cpuSeconds() - m_cpu) * 1e3;
        state.counters["worst_ms"] = std::max<double>(state.counters["worst_ms"], seconds * 1e3);
    }

private:
    static double cpuSeconds()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
    }
    QElapsedTimer m_wall;
    double m_cpu = 0;
};

// The counters summed over the iterations, reported per iteration.
void averageCounters(benchmark::State& state)
{
    state.counters["cpu_ms"] = benchmark::Counter(state.counters["cpu_ms"], benchmark::Counter::kAvgIterations);
}

// The process's resident memory in MB: all of it, and the part not backed by a file.
struct Resident {
    double total = 0;
    double anonymous = 0;
};

Resident resident()
{
    Resident mb;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            mb.total = std::stod(line.substr(6)) / 1024;
        else if (line.rfind("RssAnon:", 0) == 0)
            mb.anonymous = std::stod(line.substr(8)) / 1024;
    }
    return mb;
}

// What the process holds beyond `before`, kept as the largest over the iterations.
void recordHeld(benchmark::State& state, const Resident& before, const char* suffix)
{
    const Resident now = resident();
    for (const auto& [name, value] : {std::pair{std::string("held_MB") + suffix, now.total - before.total},
                                      std::pair{std::string("anon_MB") + suffix, now.anonymous - before.anonymous}})
        state.counters[name] = std::max<double>(state.counters[name], value);
}

class SilentMessages final : public zodiara::MessageService {
public:
    Result show(QWidget*, const QString&, const QString&, Buttons, Result) override { return Result::Ok; }
};

// The build's copy, with the file prepared beside it; or the source's, which has none and is parsed.
QString atlasPath(bool prepared = true)
{
    return QDir(QString::fromUtf8(prepared ? ZODIARA_BUILT_DIR : ZODIARA_RESOURCES_DIR))
        .filePath(QString::fromLatin1(zodiara::AtlasFileName));
}

void BM_OpenLookup(benchmark::State& state, bool prepared)
{
    SilentMessages messages;
    const QString path = atlasPath(prepared);
    for (auto _ : state) {
        // Memory freed by the last iteration goes back first, so that the baseline is the closed lookup's.
        malloc_trim(0);
        const Resident closed = resident();
        Stopwatch watch;
        zodiara::AtlasLookupDialog dialog(nullptr, path, messages);
        dialog.show();
        auto* list = dialog.findChild<QAbstractItemView*>();
        list->viewport()->repaint();
        QCoreApplication::processEvents();
        watch.stop(state);
        state.counters["lines"] = list->model()->rowCount();
        recordHeld(state, closed, "");
        QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("filter")), 'a');
        list->viewport()->repaint();
        recordHeld(state, closed, "_typed");
    }
    averageCounters(state);
}
BENCHMARK_CAPTURE(BM_OpenLookup, prepared, true)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_OpenLookup, parsed, false)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The part of opening that reads the files: checks and maps the prepared file, or parses the texts.
void BM_ReadAtlas(benchmark::State& state, bool prepared)
{
    for (auto _ : state)
        if (zodiara::readAtlas(atlasPath(prepared))->isPrepared() != prepared)
            state.SkipWithError("the prepared file was not used as expected");
}
BENCHMARK_CAPTURE(BM_ReadAtlas, prepared, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadAtlas, parsed, false)->Unit(benchmark::kMillisecond);

// The search alone, without the list.
// What OK adds for a chart whose place the atlas knows: its line found by text and coordinates, then
// the time-zone database asked for the clock at the birth. Target: under 20 ms.
void BM_ClockCheckAtOk(benchmark::State& state)
{
    zodiara::BirthData birth;
    birth.place = "Kathmandu, Bagmati Province, Nepal";
    birth.birthDate = {1990, 5, 1};
    birth.localTime = {10, 0, 0};
    birth.longitude = {85, 19, zodiara::East};
    birth.latitude = {27, 42, zodiara::North};
    const QString atlas = atlasPath();
    for (auto _ : state) {
        const QString line =
            zodiara::atlasLineOfPlace(atlas, QString::fromStdString(birth.place), birth.longitude, birth.latitude);
        const zodiara::ClockCheck check =
            zodiara::checkClock(zodiara::atlasZoneName(line).toStdString(), birth, zodiara::parseAtlasLine(line).zone);
        if (check.verdict != zodiara::ClockCheck::Verdict::ChooseZone)
            state.SkipWithError("the atlas line or the database did not answer");
        benchmark::DoNotOptimize(check);
    }
}
BENCHMARK(BM_ClockCheckAtOk)->Unit(benchmark::kMillisecond);

void BM_Find(benchmark::State& state, const char* filter)
{
    static const zodiara::Atlas atlas = *zodiara::readAtlas(atlasPath());
    const QString text = QString::fromUtf8(filter);
    for (auto _ : state)
        state.counters["rows"] = static_cast<double>(atlas.find(text).size());
}
BENCHMARK_CAPTURE(BM_Find, a, "a")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Find, london, "london")->Unit(benchmark::kMillisecond);

// One character typed after `prefix`, then taken back untimed.
void BM_FilterKeystroke(benchmark::State& state, const char* prefix, char typed)
{
    SilentMessages messages;
    zodiara::AtlasLookupDialog dialog(nullptr, atlasPath(), messages);
    dialog.show();
    auto* filter = dialog.findChild<QLineEdit*>(QStringLiteral("filter"));
    auto* list = dialog.findChild<QAbstractItemView*>();
    QTest::keyClicks(filter, QString::fromLatin1(prefix));
    QCoreApplication::processEvents();
    int rows = 0;
    for (auto _ : state) {
        Stopwatch watch;
        QTest::keyClick(filter, typed);
        list->viewport()->repaint();
        watch.stop(state);
        rows = list->model()->rowCount();
        QTest::keyClick(filter, Qt::Key_Backspace);
    }
    state.counters["rows"] = rows;
    averageCounters(state);
}
// The first letters match the most places; the rest narrow a real lookup.
BENCHMARK_CAPTURE(BM_FilterKeystroke, first_letter_a, "", 'a')->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, first_letter_e, "", 'e')->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, second_letter, "a", 'n')->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, narrowing, "lond", 'o')->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, two_words, "new yor", 'k')->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, no_match, "qqq", 'q')->UseManualTime()->Unit(benchmark::kMillisecond);
// Misspellings: nothing matches, so the nearest names are looked for.
BENCHMARK_CAPTURE(BM_FilterKeystroke, misspelt_short, "lodno", 'n')->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, misspelt_long, "frankfru", 't')->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, misspelt_longest, "massachusets bay", 'x')
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // Offscreen, every dialog says it cannot propagate size hints; nothing else is hidden.
    static const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (message != QLatin1String("This plugin does not support propagateSizeHints()"))
                previous(type, context, message);
        });
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
