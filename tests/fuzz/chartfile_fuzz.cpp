// Any bytes at all go to the chart-file reader. A chart it accepts must be exactly the bytes it
// was given, and everything that a shown chart then runs on it must hold up.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "chartfile.h"
#include "pipeline.h"
#include "text1252.h"

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

    DerivedTables tables;
    rebuildDerivedTables(chart, tables);
    bool seen[BodyCount] = {};
    for (const SortedBody& entry : tables.sortedBodies) {
        if (seen[index(entry.body)])
            std::abort();  // the sorted list is a permutation of the bodies
        seen[index(entry.body)] = true;
    }

    if (!isValidUtf8(chartText(chart.name)) || !isValidUtf8(chartText(chart.place)))
        std::abort();
    return 0;
}
