// zodiara-chart batch: CSV rows of birth data in, one JSON line per row out.
#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "chart/fileio.h"
#include "cli/batch.h"
#include "cli/batchpool.h"
#include "cli/commands.h"
#include "cli/csvrecords.h"
#include "cli/json.h"
#include "cli/progress.h"

namespace zodiara::cli {

namespace {

inline constexpr unsigned MaxJobs = 256;

// Splits one CSV line: fields may be quoted ("New York, NY"), with "" for a quote inside.
// Quoted fields land in `storage`, which must outlive the fields.
template <std::size_t MaxColumns>
[[nodiscard]] std::string splitCsv(std::string_view line, std::vector<std::string_view>& fields,
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
    std::string libraryError;
    const std::optional<ComputedChart> computed = computeChart(birth, ephemeris, {}, &libraryError);
    if (!computed) {
        appendErrorJson(out, line, preciseUnavailable(libraryError));
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
[[nodiscard]] int openBatchInput(const std::string& path, std::string& reason)
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

// read(2) on `fd`, again after a signal.
CsvRecordReader::Source descriptorSource(int fd)
{
    return [fd](char* data, std::size_t size) {
        ssize_t got = 0;
        do
            got = ::read(fd, data, size);
        while (got < 0 && errno == EINTR);
        return static_cast<std::ptrdiff_t>(got);
    };
}

// On a terminal, one line that says how far the batch is; nothing in a pipe or a log.
class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    ProgressLine(std::FILE* err, std::FILE* out, std::uint64_t inputSize)
        : m_err(::isatty(::fileno(err)) ? err : nullptr), m_sharesTerminal(m_err && ::isatty(::fileno(out)))
    {
        m_figures.bytesTotal = inputSize;
    }

    void advance(std::size_t rows, std::uint64_t bytesDone)
    {
        if (!m_err)
            return;
        m_figures.rows += static_cast<long long>(rows);
        m_figures.bytesDone = bytesDone;
        // A few times a second is enough to read, and costs nothing.
        if (const Clock::time_point now = Clock::now(); now >= m_nextDraw) {
            m_nextDraw = now + std::chrono::milliseconds(250);
            draw(now);
        }
    }
    // Answers to the same terminal go on lines of their own.
    void makeWayForOutput()
    {
        if (m_shown && m_sharesTerminal) {
            std::fputs("\r\x1b[K", m_err);
            m_shown = false;
        }
    }
    // The last figures when the batch `completed`; the line ended either way.
    void finish(bool completed)
    {
        if (!m_err || m_finished)
            return;
        m_finished = true;
        m_figures.finished = completed;
        if (completed)
            draw(Clock::now());
        if (m_shown)
            std::fputc('\n', m_err);
        m_shown = false;
    }

private:
    void draw(Clock::time_point now)
    {
        m_figures.seconds = std::chrono::duration<double>(now - m_start).count();
        std::fprintf(m_err, "\r\x1b[Kzodiara-chart: %s", progressText(m_figures).c_str());
        std::fflush(m_err);
        m_shown = true;
    }

    std::FILE* m_err;  // null when the error stream is no terminal
    bool m_sharesTerminal;
    BatchProgress m_figures;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_nextDraw = m_start + std::chrono::milliseconds(250);
    bool m_shown = false;
    bool m_finished = false;
};

// "N", 1 to MaxJobs threads.
std::string parseJobs(std::string_view text, unsigned& jobs)
{
    unsigned value = 0;
    const char* end = text.data() + text.size();
    if (const auto [at, error] = std::from_chars(text.data(), end, value);
        error != std::errc() || at != end || value < 1 || value > MaxJobs)
        return "--jobs wants a number of threads from 1 to " + std::to_string(MaxJobs) + ", not \"" + std::string(text)
               + "\"";
    jobs = value;
    return {};
}

}  // namespace

int runBatch(CommandContext& context)
{
    OptionParser parser;
    unsigned jobs = availableProcessors();
    parser.addValue("jobs", [&jobs](std::string_view text) { return parseJobs(text, jobs); });
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
    ProgressLine progress(context.err, context.out, regular ? std::uint64_t(status.st_size) : 0);
    CommandContext local = context;
    local.beforeMessage = [&progress] { progress.finish(false); };

    // Declared before the reader, whose wait handler hands blocks to it.
    std::unique_ptr<BatchPool> pool;
    std::unique_ptr<RowBlock> block = std::make_unique<RowBlock>();
    std::vector<std::unique_ptr<RowBlock>> spare;
    std::uint64_t bytesRead = 0;
    bool anyFailed = false;
    const auto write = [&](std::unique_ptr<RowBlock> answered) {
        anyFailed = anyFailed || answered->anyFailed;
        progress.makeWayForOutput();
        const bool written = writeOut(local, answered->answers);
        progress.advance(answered->rows.size(), answered->inputBytes);
        answered->clear();
        spare.push_back(std::move(answered));
        return written;
    };
    // Closes the current block and writes what is answered, waiting only while the pool is full.
    const auto send = [&] {
        if (block->rows.empty())
            return true;
        block->inputBytes = bytesRead;
        while (pool->full())
            if (!write(pool->takeOldest(true)))
                return false;
        pool->submit(std::move(block));
        if (spare.empty()) {
            block = std::make_unique<RowBlock>();
        } else {
            block = std::move(spare.back());
            spare.pop_back();
        }
        while (std::unique_ptr<RowBlock> answered = pool->takeOldest(false))
            if (!write(std::move(answered)))
                return false;
        return true;
    };
    const auto drain = [&] {
        if (!send())
            return false;
        while (!pool->empty())
            if (!write(pool->takeOldest(true)))
                return false;
        return true;
    };
    // From a pipe or a terminal, every answer goes out before the program waits for more.
    const auto flushBeforeWait = [&]() { return !pool || (drain() && flushOut(local)); };
    CsvRecordReader::Source read = descriptorSource(fd);
    CsvRecordReader reader(
        [&read, &bytesRead](char* data, std::size_t size) {
            const std::ptrdiff_t got = read(data, size);
            bytesRead += std::uint64_t(std::max<std::ptrdiff_t>(got, 0));
            return got;
        },
        regular ? std::function<bool()>() : std::function<bool()>(flushBeforeWait));
    const auto readFailed = [&] {
        return fail(local, "cannot read " + inputName + ": " + std::strerror(reader.error()));
    };

    std::string_view record;
    long long lineNumber = 0;
    CsvRecordReader::Result result = reader.next(record, lineNumber);
    if (result == CsvRecordReader::Result::ReadFailed)
        return readFailed();
    if (result == CsvRecordReader::Result::End)
        return fail(local, inputName + " is empty: it needs the header " + std::string(BatchHeader));
    if (record.starts_with("\xEF\xBB\xBF"))
        record.remove_prefix(3);
    const std::string withEphemeris = std::string(BatchHeader) + std::string(BatchEphemerisColumn);
    if (result != CsvRecordReader::Result::Record || (record != BatchHeader && record != withEphemeris))
        return fail(local, inputName + " does not start with the header " + std::string(BatchHeader)
                               + " (optionally followed by " + std::string(BatchEphemerisColumn) + ")");

    pool = std::make_unique<BatchPool>(jobs, record == withEphemeris, local.now);
    for (;;) {
        result = reader.next(record, lineNumber);
        if (result == CsvRecordReader::Result::End)
            break;
        if (result == CsvRecordReader::Result::ReadFailed)
            return readFailed();
        if (result == CsvRecordReader::Result::Stopped)
            return ExitBadInput;
        if (result == CsvRecordReader::Result::TooLong)
            block->addTooLong(lineNumber);
        else if (!record.empty())
            block->add(record, lineNumber);
        if (block->full() && !send())
            return ExitBadInput;
    }
    if (!drain() || !flushOut(local))
        return ExitBadInput;
    progress.finish(true);
    return anyFailed ? ExitRowFailed : ExitOk;
}

}  // namespace zodiara::cli
