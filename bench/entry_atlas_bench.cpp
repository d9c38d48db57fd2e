// Atlas lookup timings on the shipped atlas and its index: opening the list, and one keystroke
// in its filter (the list redrawn after each).
#include "atlas.h"
#include "atlaslookupdialog.h"
#include "messageservice.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

class SilentMessages final : public zodiara::MessageService {
public:
    Result show(QWidget*, const QString&, const QString&, Buttons) override { return Result::Ok; }
};

QString atlasPath()
{
    return QDir(QStringLiteral(ZODIARA_RESOURCES_DIR)).filePath(QString::fromLatin1(zodiara::AtlasFileName));
}

void BM_OpenLookup(benchmark::State& state)
{
    SilentMessages messages;
    const QString path = atlasPath();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        {
            zodiara::AtlasLookupDialog dialog(nullptr, path, messages);
            dialog.show();
            dialog.findChild<QListView*>()->viewport()->repaint();
            QCoreApplication::processEvents();
            state.SetIterationTime(timer.nsecsElapsed() / 1e9);
            state.counters["lines"] = dialog.findChild<QListView*>()->model()->rowCount();
        }
    }
}
BENCHMARK(BM_OpenLookup)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The part of opening that reads both files and builds the search.
void BM_ReadAtlas(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(zodiara::readAtlas(atlasPath()));
}
BENCHMARK(BM_ReadAtlas)->Unit(benchmark::kMillisecond);

// The search alone, without the list.
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
    auto* list = dialog.findChild<QListView*>();
    QTest::keyClicks(filter, QString::fromLatin1(prefix));
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(filter, typed);
        list->viewport()->repaint();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        benchmark::DoNotOptimize(list->model()->rowCount());
        QTest::keyClick(filter, Qt::Key_Backspace);
    }
    state.counters["rows"] = list->model()->rowCount();
}
// The first letters match the most places; the rest narrow a real lookup.
BENCHMARK_CAPTURE(BM_FilterKeystroke, first_letter_a, "", 'a')->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, first_letter_e, "", 'e')->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, second_letter, "a", 'n')->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, narrowing, "lond", 'o')->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, two_words, "new yor", 'k')->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, no_match, "qqq", 'q')->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
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
