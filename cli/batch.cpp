// zodiara-chart batch: CSV rows of birth data in, one JSON line per row out.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "chart/fileio.h"
#include "cli/batch.h"
#include "cli/commands.h"
#include "cli/json.h"

namespace zodiara::cli {

namespace {

// Input is read and output handed to the stream in blocks of about this size.
inline constexpr std::size_t BlockSize = 1 << 16;
// A longer row is refused, so that no input can make the buffer grow without end.
inline constexpr std::size_t MaxRecordBytes = 1 << 16;

// Reads CSV records from a file descriptor: RFC 4180, so a quoted field may hold commas, "" for
// a quote and line breaks; a record ends at "\r\n", "\n" or a lone "\r" outside quotes. The
// buffer never holds more than one record and one block.
class RecordReader {
public:
    enum class Result { Record, TooLong, End, ReadFailed, Stopped };

    // `beforeWait` runs before each read that may wait for input; false stops the reading.
    RecordReader(int fd, std::function<bool()> beforeWait) : m_fd(fd), m_beforeWait(std::move(beforeWait)) {}

    // The next record without its line end, and the number of the line it starts on.
    Result next(std::string_view& record, long long& line)
    {
        for (;;) {
            if (m_afterCarriageReturn && m_start < m_buffer.size()) {
                m_afterCarriageReturn = false;
                if (m_buffer[m_start] == '\n')
                    m_scan = ++m_start;
            }
            if (m_skipping) {
                skipToLineEnd();
            } else if (const std::size_t end = findRecordEnd(); end != std::string::npos) {
                line = m_line;
                record = std::string_view(m_buffer).substr(m_start, end - m_start);
                m_line += 1 + (m_breakInQuotes ? lineBreaks(record) : 0);
                m_breakInQuotes = false;
                m_state = FieldStart;
                consumeLineEnd(end);
                return record.size() > MaxRecordBytes ? Result::TooLong : Result::Record;
            } else if (m_buffer.size() - m_start > MaxRecordBytes) {
                // Whatever made it this long, the next line end is the best place to go on.
                line = m_line;
                if (m_breakInQuotes)
                    m_line += lineBreaks(std::string_view(m_buffer).substr(m_start));
                m_skipping = true;
                m_state = FieldStart;
                m_breakInQuotes = false;
                m_start = m_scan = m_buffer.size();
                return Result::TooLong;
            }
            if (m_afterCarriageReturn || m_skipping || m_scan == m_buffer.size()) {
                if (m_eof) {
                    if (m_skipping || m_start == m_buffer.size())
                        return Result::End;
                    line = m_line;
                    record = std::string_view(m_buffer).substr(m_start);
                    m_start = m_scan = m_buffer.size();
                    return record.size() > MaxRecordBytes ? Result::TooLong : Result::Record;
                }
                if (const Result result = refill(); result != Result::Record)
                    return result;
            }
        }
    }
    int error() const { return m_error; }

private:
    enum State { FieldStart, Unquoted, Quoted, QuoteInQuoted };

    // The position of the line end that ends the record begun at m_start, or npos when the
    // buffer holds no such end yet; the scan resumes where it stopped.
    std::size_t findRecordEnd()
    {
        const char* data = m_buffer.data();
        const std::size_t size = m_buffer.size();
        State state = m_state;
        for (std::size_t at = m_scan; at < size; ++at) {
            const char c = data[at];
            switch (state) {
            case Quoted:
                if (c == '"')
                    state = QuoteInQuoted;
                else if (c == '\n' || c == '\r')
                    m_breakInQuotes = true;
                continue;
            case QuoteInQuoted:
                if (c == '"') {
                    state = Quoted;
                    continue;
                }
                break;
            case FieldStart:
                if (c == '"') {
                    state = Quoted;
                    continue;
                }
                break;
            case Unquoted: break;
            }
            if (c == '\n' || c == '\r') {
                m_scan = at;
                m_state = state;
                return at;
            }
            state = c == ',' ? FieldStart : Unquoted;
        }
        m_scan = size;
        m_state = state;
        return std::string::npos;
    }

    void consumeLineEnd(std::size_t end)
    {
        m_start = m_scan = end + 1;
        if (m_buffer[end] == '\r')
            m_afterCarriageReturn = true;
    }

    void skipToLineEnd()
    {
        const std::size_t end = m_buffer.find_first_of("\r\n", m_start);
        if (end == std::string::npos) {
            m_start = m_scan = m_buffer.size();
            return;
        }
        m_skipping = false;
        ++m_line;
        consumeLineEnd(end);
    }

    static long long lineBreaks(std::string_view text)
    {
        long long count = 0;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
                ++count;
        return count;
    }

    Result refill()
    {
        if (m_beforeWait && !m_beforeWait())
            return Result::Stopped;
        m_buffer.erase(0, m_start);
        m_scan -= m_start;
        m_start = 0;
        const std::size_t old = m_buffer.size();
        m_buffer.resize(old + BlockSize);
        ssize_t got = 0;
        do
            got = ::read(m_fd, m_buffer.data() + old, BlockSize);
        while (got < 0 && errno == EINTR);
        m_buffer.resize(old + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        if (got < 0) {
            m_error = errno;
            return Result::ReadFailed;
        }
        m_eof = got == 0;
        return Result::Record;
    }

    int m_fd;
    std::function<bool()> m_beforeWait;
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

// Splits one CSV line: fields may be quoted ("New York, NY"), with "" for a quote inside.
// Quoted fields land in `storage`, which must outlive the fields.
template <std::size_t MaxColumns>
std::string splitCsv(std::string_view line, std::vector<std::string_view>& fields,
                     std::array<std::string, MaxColumns>& storage)
{
    fields.clear();
    std::size_t at = 0;
    for (;;) {
        if (at < line.size() && line[at] == '"') {
            if (fields.size() >= storage.size())
                return "too many fields: a row has at most " + std::to_string(MaxColumns);
            std::string& field = storage[fields.size()];
            field.clear();
            ++at;
            for (;;) {
                if (at >= line.size())
                    return "a quoted field is not closed";
                if (line[at] == '"') {
                    if (at + 1 < line.size() && line[at + 1] == '"') {
                        field += '"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                field += line[at++];
            }
            fields.push_back(field);
            if (at == line.size())
                return {};
            if (line[at] != ',')
                return "a quoted field is followed by text other than a comma";
            ++at;
        } else {
            const auto comma = line.find(',', at);
            fields.push_back(line.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at));
            if (comma == std::string_view::npos)
                return {};
            at = comma + 1;
        }
    }
}

}  // namespace

BatchRows::BatchRows(bool withEphemeris, std::chrono::sys_seconds now)
    : m_columns(withEphemeris ? MaxColumns : MaxColumns - 1), m_now(now)
{
    m_fields.reserve(MaxColumns + 1);
}

bool BatchRows::append(std::string& out, std::string_view record, long long line)
{
    BirthData birth;
    Ephemeris ephemeris = Ephemeris::Classic;
    if (std::string error = birthFromRow(record, birth, ephemeris); !error.empty()) {
        appendErrorJson(out, line, error);
        return false;
    }
    const std::optional<ComputedChart> computed = computeChart(birth, ephemeris);
    if (!computed) {
        appendErrorJson(out, line, preciseUnavailable());
        return false;
    }
    appendChartJson(out, computed->chart, computed->tables, Computation{computed->houseSystem, ephemeris});
    return true;
}

std::string BatchRows::birthFromRow(std::string_view record, BirthData& birth, Ephemeris& ephemeris)
{
    std::vector<std::string_view>& fields = m_fields;
    if (std::string error = splitCsv(record, fields, m_storage); !error.empty())
        return error;
    if (fields.size() != m_columns)
        return "expected " + std::to_string(m_columns) + " fields (" + std::string(BatchHeader)
               + (m_columns == MaxColumns ? std::string(BatchEphemerisColumn) : "") + "), found "
               + std::to_string(fields.size());
    for (const std::string_view field : fields)
        if (field.find_first_of("\r\n") != std::string_view::npos)
            return "a quoted field holds a line break, which no column takes";
    // An empty cell is a mistake, not a wish for this moment or the default place.
    static constexpr std::pair<std::size_t, std::string_view> Needed[] = {
        {2, "date"}, {3, "time"}, {4, "zone"}, {7, "lon"}, {8, "lat"}};
    for (const auto& [column, name] : Needed)
        if (fields[column].empty())
            return "column " + std::string(name) + " is empty";
    if (m_columns == MaxColumns && !fields[9].empty())
        if (std::string error = parseEphemeris(fields[9], ephemeris); !error.empty())
            return error;
    BirthArgs args;
    args.name = fields[0];
    args.place = fields[1];
    args.date = fields[2];
    args.time = fields[3];
    args.zone = fields[4];
    if (!fields[5].empty())
        if (std::string error = parseFlag(fields[5], args.dst); !error.empty())
            return "dst: " + error;
    if (!fields[6].empty())
        if (std::string error = parseFlag(fields[6], args.bc); !error.empty())
            return "bc: " + error;
    args.lon = fields[7];
    args.lat = fields[8];
    return birthDataFrom(args, m_now, birth);
}

namespace {

// A regular file, or a FIFO read as it comes, like a pipe; a device, directory or socket is
// refused at once. The descriptor, or -1 and the reason.
int openBatchInput(const std::string& path, std::string& reason)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode)) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            reason = std::strerror(errno);
        return fd;
    }
    std::uintmax_t size = 0;
    return openRegularFile(path, reason, size);
}

}  // namespace

int runBatch(CommandContext& context)
{
    OptionParser parser;
    std::vector<std::string_view> positionals;
    if (std::string error = parser.parse(context.args, positionals); !error.empty())
        return fail(context, error);
    if (positionals.size() > 1)
        return fail(context, "batch: give one CSV file or -, not " + std::to_string(positionals.size()));

    const std::string source = positionals.empty() ? "-" : std::string(positionals.front());
    const std::string inputName = source == "-" ? "the standard input" : source;
    std::string reason;
    const int fd = source == "-" ? STDIN_FILENO : openBatchInput(source, reason);
    if (fd < 0)
        return fail(context, "cannot read " + source + ": " + reason);
    const struct Closer {
        int fd;
        ~Closer()
        {
            if (fd != STDIN_FILENO)
                ::close(fd);
        }
    } closer{fd};
    struct stat status {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);

    std::string out;
    out.reserve(BlockSize + 8192);
    // From a pipe or a terminal, every answer goes out before the program waits for more.
    const auto flushBeforeWait = [&]() {
        if (out.empty())
            return true;
        const bool written = writeOut(context, out) && flushOut(context);
        out.clear();
        return written;
    };
    RecordReader reader(fd, regular ? std::function<bool()>() : std::function<bool()>(flushBeforeWait));
    const auto readFailed = [&] {
        return fail(context, "cannot read " + inputName + ": " + std::strerror(reader.error()));
    };

    std::string_view record;
    long long lineNumber = 0;
    RecordReader::Result result = reader.next(record, lineNumber);
    if (result == RecordReader::Result::ReadFailed)
        return readFailed();
    if (result == RecordReader::Result::End)
        return fail(context, inputName + " is empty: it needs the header " + std::string(BatchHeader));
    if (record.starts_with("\xEF\xBB\xBF"))
        record.remove_prefix(3);
    const std::string withEphemeris = std::string(BatchHeader) + std::string(BatchEphemerisColumn);
    if (result != RecordReader::Result::Record || (record != BatchHeader && record != withEphemeris))
        return fail(context, inputName + " does not start with the header " + std::string(BatchHeader)
                                 + " (optionally followed by " + std::string(BatchEphemerisColumn) + ")");

    BatchRows rows(record == withEphemeris, context.now);
    bool anyFailed = false;
    for (;;) {
        result = reader.next(record, lineNumber);
        if (result == RecordReader::Result::End)
            break;
        if (result == RecordReader::Result::ReadFailed)
            return readFailed();
        if (result == RecordReader::Result::Stopped)
            return ExitBadInput;
        if (result == RecordReader::Result::TooLong) {
            anyFailed = true;
            appendErrorJson(out, lineNumber, "the row is longer than " + std::to_string(MaxRecordBytes) + " bytes");
        } else if (record.empty()) {
            continue;
        } else if (!rows.append(out, record, lineNumber)) {
            anyFailed = true;
        }
        out += '\n';
        if (out.size() >= BlockSize) {
            if (!writeOut(context, out))
                return ExitBadInput;
            out.clear();
        }
    }
    if (!writeOut(context, out) || !flushOut(context))
        return ExitBadInput;
    return anyFailed ? ExitRowFailed : ExitOk;
}

}  // namespace zodiara::cli
