// Any bytes at all as the rows of a batch CSV, read as the batch command reads them. The first
// byte chooses the header (with or without the ephemeris column) and how many bytes each read
// brings. Each row gives exactly one line of JSON in well-formed UTF-8, a chart or the error
// object for its line; the lines rise; and without an over-long row, the records and their
// lines are the same as when the input comes in one read.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "chart/text1252.h"
#include "cli/batch.h"
#include "cli/csvrecords.h"

namespace {

using namespace zodiara;
using Result = cli::CsvRecordReader::Result;

// Small, so that inputs within -max_len reach the over-long paths.
constexpr std::size_t MaxRecordBytes = 256;

struct Event {
    Result result;
    long long line;
    std::string record;
    bool operator==(const Event&) const = default;
};

// Every event up to the end; whether a record was over-long.
bool readAll(std::string_view input, std::size_t chunk, std::vector<Event>& events)
{
    cli::CsvRecordReader reader(
        [&input, chunk](char* data, std::size_t size) {
            const std::size_t n = std::min({size, chunk, input.size()});
            std::memcpy(data, input.data(), n);
            input.remove_prefix(n);
            return static_cast<std::ptrdiff_t>(n);
        },
        {}, MaxRecordBytes);
    const std::size_t limit = input.size() + 1;
    bool tooLong = false;
    for (;;) {
        std::string_view record;
        long long line = 0;
        const Result result = reader.next(record, line);
        if (result == Result::End)
            return tooLong;
        // Nothing else can end a read from memory; each event takes at least one byte.
        if ((result != Result::Record && result != Result::TooLong) || events.size() == limit)
            std::abort();
        if (result == Result::Record && record.size() > MaxRecordBytes)
            std::abort();
        if (!events.empty() && line <= events.back().line)
            std::abort();
        tooLong |= result == Result::TooLong;
        events.push_back({result, line, result == Result::Record ? std::string(record) : std::string()});
    }
}

void checkRow(cli::BatchRows& rows, const Event& event)
{
    std::string out;
    const bool chart = rows.append(out, event.record, event.line);
    const std::string error = "{\"line\":" + std::to_string(event.line) + ",\"error\":\"";
    if (!isValidUtf8(out)
        || std::any_of(out.begin(), out.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        std::abort();
    if (!out.ends_with('}') || !out.starts_with(chart ? "{\"name\":" : error))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const std::chrono::sys_seconds now = std::chrono::sys_days(std::chrono::year(2024) / 6 / 1);
    const bool withEphemeris = data[0] & 1;
    const std::size_t chunk = 1 + (data[0] >> 1);
    std::string input(cli::BatchHeader);
    if (withEphemeris)
        input += cli::BatchEphemerisColumn;
    const std::string header = input;
    input += '\n';
    input.append(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::vector<Event> events, inOneRead;
    const bool tooLong = readAll(input, chunk, events);
    if (events.empty() || events.front() != Event{Result::Record, 1, header})
        std::abort();
    if (!readAll(input, input.size(), inOneRead) && !tooLong && events != inOneRead)
        std::abort();

    cli::BatchRows rows(withEphemeris, now);
    for (auto event = events.begin() + 1; event != events.end(); ++event)
        if (event->result == Result::Record && !event->record.empty())
            checkRow(rows, *event);
    return 0;
}
