// Any bytes at all go to the chart-file reader. A chart it accepts must be exactly the bytes it
// was given, and everything a shown chart then goes through must hold up: the derived tables,
// the readable report, the JSON and the painted view.
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include "chart/chartfile.h"
#include "chart/pipeline.h"
#include "chart/text1252.h"
#include "cli/json.h"
#include "cli/report.h"
#include "display/chartexport.h"

namespace {

// Well-formed UTF-8 without control characters; a terminal also reads DEL as one, JSON does not.
bool plainText(const std::string& text, bool forTerminal)
{
    return zodiara::isValidUtf8(text) && std::none_of(text.begin(), text.end(), [&](char c) {
               const auto byte = static_cast<unsigned char>(c);
               return (byte < 0x20 && !(forTerminal && c == '\n')) || (forTerminal && byte == 0x7f);
           });
}

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

// Fontconfig keeps its pattern caches to the end of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 3;
    static char name[] = "chartfile_fuzz", option[] = "-platform", offscreen[] = "offscreen";
    static char* argv[] = {name, option, offscreen, nullptr};
    qInstallMessageHandler(quiet);
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zodiara;
    const std::span<const std::byte> image(reinterpret_cast<const std::byte*>(data), size);
    const ChartReadResult result = chartFromImage(image);
    if (result.chart.has_value() != result.error.empty())
        std::abort();  // exactly one of a chart and a reason
    if (validateChartImage(image).empty() != result.chart.has_value())
        std::abort();
    if (!result.chart)
        return 0;

    const Chart& chart = *result.chart;
    if (size != ChartFileSize || std::memcmp(chartImage(chart).data(), data, ChartFileSize) != 0)
        std::abort();  // taken byte for byte, so it is written back unchanged

    const DerivedTables tables = derivedTables(chart);
    bool seen[BodyCount] = {};
    for (const SortedBody& entry : tables.sortedBodies) {
        if (seen[index(entry.body)])
            std::abort();  // the sorted list is a permutation of the bodies
        seen[index(entry.body)] = true;
    }

    if (!isValidUtf8(chart.birth.name) || !isValidUtf8(chart.birth.place))
        std::abort();

    std::string report;
    cli::appendChartReport(report, chart, tables, std::nullopt);
    if (!plainText(report, true) || !report.ends_with('\n'))
        std::abort();
    std::string json;
    cli::appendChartJson(json, chart, tables, std::nullopt);
    if (!plainText(json, false) || !json.starts_with('{') || !json.ends_with('}'))
        std::abort();
    // The stored texts and numbers through the whole painting, the aspect table included.
    if (renderChartImage(chart, tables, DefaultViewSize, true).isNull())
        std::abort();
    return 0;
}
