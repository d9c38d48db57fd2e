// Atlas lookup timings with a generated 150 000-line atlas: opening the list, and one keystroke
// in its filter (the list redrawn after each).
#include "atlas.h"
#include "atlaslookupdialog.h"
#include "messageservice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int AtlasLines = 150'000;

class SilentMessages final : public zodiara::MessageService {
public:
    Result show(QWidget*, const QString&, const QString&, Buttons) override { return Result::Ok; }
};

const QString& atlasPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("atlas.txt"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            std::abort();
        static const char* const Stems[] = {"Spring", "Lake", "Mount", "Port", "New", "San", "Saint", "Fort",
                                            "Z\xc3\xbcrich", "K\xc3\xb6ln", "Malm\xc3\xb6", "\xc5\x81\xc3\xb3\x64\xc5\xba"};
        static const char* const Zones[] = {"EST", "CST", "MST", "PST", "CET", "AEST", "JST", "UT"};
        QRandomGenerator random(1998);
        QByteArray text;
        for (int i = 0; i < AtlasLines; ++i) {
            text += QByteArray(Stems[random.bounded(12)]) + ' ' + QByteArray(Stems[random.bounded(12)])
                    + QByteArray::number(i) + ", Region " + QByteArray::number(random.bounded(60))
                    + QStringLiteral("  %1W%2  %3N%4 ")
                          .arg(random.bounded(180), 3, 10, QLatin1Char('0'))
                          .arg(random.bounded(60), 2, 10, QLatin1Char('0'))
                          .arg(random.bounded(90), 2, 10, QLatin1Char('0'))
                          .arg(random.bounded(60), 2, 10, QLatin1Char('0'))
                          .toLatin1()
                    + Zones[random.bounded(8)] + '\n';
        }
        out.write(text);
        return file;
    }();
    return path;
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
            benchmark::DoNotOptimize(dialog.findChild<QListView*>()->model()->rowCount());
        }
    }
}
BENCHMARK(BM_OpenLookup)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The parts of opening: reading and decoding the file, and the model's folded copy.
void BM_ReadAtlas(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(zodiara::readAtlasFile(atlasPath()));
}
BENCHMARK(BM_ReadAtlas)->Unit(benchmark::kMillisecond);

void BM_ListModel(benchmark::State& state)
{
    const QStringList lines = *zodiara::readAtlasFile(atlasPath());
    for (auto _ : state) {
        zodiara::AtlasListModel model(lines);
        if (state.range(0))
            model.setFilter(QStringLiteral("s"));
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_ListModel)->ArgName("filtered")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
BENCHMARK_CAPTURE(BM_FilterKeystroke, first_letter, "", 's')
    ->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, narrowing, "spring lak", 'e')
    ->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, accented, "zuric", 'h')
    ->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, no_match, "qqq", 'q')
    ->UseManualTime()->Unit(benchmark::kMillisecond);

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
