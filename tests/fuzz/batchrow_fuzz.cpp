// Any bytes at all as one batch CSV record (the first byte chooses the header with or without the
// ephemeris column): the row gives exactly one line of JSON in well-formed UTF-8, a chart or
// the error object for its line.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chart/text1252.h"
#include "cli/batch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zodiara;
    if (size == 0)
        return 0;
    static const std::chrono::sys_seconds now = std::chrono::sys_days(std::chrono::year(2024) / 6 / 1);
    static cli::BatchRows withEphemeris(true, now), without(false, now);
    const std::string_view record(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string out;
    const bool chart = (data[0] & 1 ? withEphemeris : without).append(out, record, 7);

    if (!isValidUtf8(out)
        || std::any_of(out.begin(), out.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        std::abort();
    if (!out.ends_with('}') || !out.starts_with(chart ? "{\"name\":" : "{\"line\":7,\"error\":\""))
        std::abort();
    return 0;
}
