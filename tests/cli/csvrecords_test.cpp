// The batch command's CSV record reader: where records end, which line each starts on, the
// limit on a record's length, and reading that fails or is stopped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/csvrecords.h"

namespace {

using namespace zodiara::cli;
using Result = CsvRecordReader::Result;

// What one call of next() gave; the text of a record only, as TooLong may give none.
struct Event {
    Result result;
    long long line = 0;
    std::string record;
    bool operator==(const Event&) const = default;
};

void PrintTo(const Event& e, std::ostream* os)
{
    static constexpr const char* Names[] = {"Record", "TooLong", "End", "ReadFailed", "Stopped"};
    *os << Names[static_cast<int>(e.result)] << '@' << e.line << " \"" << e.record << '"';
}

// `input` handed over at most `chunk` bytes a read.
CsvRecordReader::Source chunked(std::string_view input, std::size_t chunk)
{
    return [input, chunk](char* data, std::size_t size) mutable {
        const std::size_t n = std::min({size, chunk, input.size()});
        std::memcpy(data, input.data(), n);
        input.remove_prefix(n);
        return static_cast<std::ptrdiff_t>(n);
    };
}

// Every event up to and including the first that is not a record.
std::vector<Event> readAll(CsvRecordReader& reader)
{
    std::vector<Event> events;
    for (;;) {
        std::string_view record;
        long long line = 0;
        const Result result = reader.next(record, line);
        events.push_back(
            {result, result == Result::End ? 0 : line, result == Result::Record ? std::string(record) : ""});
        if (result != Result::Record && result != Result::TooLong)
            return events;
    }
}

struct Row {
    const char* what;
    std::string input;
    std::size_t maxRecordBytes;
    std::vector<Event> events;  // End last
};

TEST(CsvRecordReader, GivesTheSameRecordsAndLinesHoweverTheInputArrives)
{
    const Event End{Result::End, 0, ""};
    const auto record = [](long long line, std::string text) { return Event{Result::Record, line, std::move(text)}; };
    const auto tooLong = [](long long line) { return Event{Result::TooLong, line, ""}; };
    // clang-format off
    const Row rows[] = {
        {"every line end, a blank line, no end at the end", "a,b\r\nc\n\nd\re", 100,
         {record(1, "a,b"), record(2, "c"), record(3, ""), record(4, "d"), record(5, "e"), End}},
        {"a last line end gives no empty record", "a\r\nb\r", 100, {record(1, "a"), record(2, "b"), End}},
        {"nothing at all", "", 100, {End}},
        {"quoted line breaks stay in the record and count as lines", "\"x\r\ny\",1\n\"p\rq\"\n\"\"\"\",\"a\nb\"\nz",
         100, {record(1, "\"x\r\ny\",1"), record(3, "\"p\rq\""), record(5, "\"\"\"\",\"a\nb\""), record(7, "z"), End}},
        {"a quote inside an unquoted field quotes nothing", "a\"b\nc\"\n", 100, {record(1, "a\"b"), record(2, "c\""), End}},
        {"an unclosed quote runs to the end", "a\n\"b\nc", 100, {record(1, "a"), record(2, "\"b\nc"), End}},
        {"a record at the limit is given, a longer one skipped", "abcd\nabcde\r\nxy", 4,
         {record(1, "abcd"), tooLong(2), record(3, "xy"), End}},
        {"an over-long last record", "a\nabcdef", 4, {record(1, "a"), tooLong(2), End}},
    };
    // clang-format on
    for (const Row& row : rows) {
        for (const std::size_t chunk : {std::size_t(1), std::size_t(2), std::size_t(3), row.input.size() + 1}) {
            SCOPED_TRACE(testing::Message() << row.what << ", " << chunk << " bytes a read");
            CsvRecordReader reader(chunked(row.input, chunk), {}, row.maxRecordBytes);
            EXPECT_EQ(readAll(reader), row.events);
        }
    }
}

TEST(CsvRecordReader, WaitsOnlyWhenNoWholeRecordIsLeftAndStopsWhenTold)
{
    int waits = 0;
    const auto counted = [&] { return ++waits < 3; };
    std::string_view record;
    long long line = 0;
    // One read brings two records; the third waits for a read that brings the end.
    CsvRecordReader reader(chunked("a\nb\n", 100), counted);
    EXPECT_EQ(reader.next(record, line), Result::Record);
    EXPECT_EQ(reader.next(record, line), Result::Record);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(reader.next(record, line), Result::End);
    EXPECT_EQ(waits, 2);
    CsvRecordReader stopped(chunked("a\n", 100), counted);
    EXPECT_EQ(stopped.next(record, line), Result::Stopped);
}

TEST(CsvRecordReader, KeepsTheReasonOfAFailedRead)
{
    bool first = true;
    CsvRecordReader reader([&](char* data, std::size_t) -> std::ptrdiff_t {
        if (std::exchange(first, false)) {
            std::memcpy(data, "a\nb", 3);
            return 3;
        }
        errno = EIO;
        return -1;
    });
    std::string_view record;
    long long line = 0;
    EXPECT_EQ(reader.next(record, line), Result::Record);
    EXPECT_EQ(record, "a");
    EXPECT_EQ(reader.next(record, line), Result::ReadFailed);
    EXPECT_EQ(reader.error(), EIO);
}

}  // namespace
