// CSV records read one at a time from a stream of bytes, as the batch command takes its rows:
// RFC 4180, so a quoted field may hold commas, "" for a quote and line breaks; a record ends
// at "\r\n", "\n" or a lone "\r" outside quotes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace zodiara::cli {

// A longer record is refused, so that no input can make the buffer grow without end.
inline constexpr std::size_t MaxCsvRecordBytes = 1 << 16;

// The buffer never holds more than one record and one block of input.
class CsvRecordReader {
public:
    enum class Result { Record, TooLong, End, ReadFailed, Stopped };

    // Reads up to `size` bytes into `data` as read(2) does: how many, 0 at the end of the input,
    // or -1 with the reason in errno.
    using Source = std::function<std::ptrdiff_t(char* data, std::size_t size)>;

    // `beforeWait` runs before each read that may wait for input; false stops the reading.
    // `maxRecordBytes` is the longest record given; tests and the fuzzer make it small.
    explicit CsvRecordReader(Source source, std::function<bool()> beforeWait = {},
                             std::size_t maxRecordBytes = MaxCsvRecordBytes);

    // The next record without its line end (valid until the next call), and the number of the
    // line it starts on, counting the line breaks quoted in earlier records. TooLong gives only
    // the line of a record longer than the limit; the reading goes on after it.
    [[nodiscard]] Result next(std::string_view& record, long long& line);
    // The errno of the read that failed.
    int error() const { return m_error; }

private:
    enum State { FieldStart, Unquoted, Quoted, QuoteInQuoted };

    std::size_t findRecordEnd();
    void consumeLineEnd(std::size_t end);
    void skipToLineEnd();
    Result refill();

    Source m_source;
    std::function<bool()> m_beforeWait;
    std::size_t m_maxRecordBytes;
    std::string m_buffer;
    std::size_t m_start = 0;  // first byte of the next record
    std::size_t m_scan = 0;   // where findRecordEnd goes on
    State m_state = FieldStart;
    long long m_line = 1;
    bool m_breakInQuotes = false;        // the record so far holds a quoted line break
    bool m_afterCarriageReturn = false;  // a "\n" next belongs to the line end before it
    bool m_skipping = false;             // in a record too long to keep
    bool m_eof = false;
    int m_error = 0;
};

}  // namespace zodiara::cli
