// zodiara-chart batch: CSV rows of birth data in, one JSON line per row out.
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

#include "commands.h"
#include "json.h"

namespace zodiara::cli {

namespace {

inline constexpr std::string_view Header = "name,place,date,time,zone,dst,bc,lon,lat";
// The optional last column chooses the ephemeris of each row (classic when empty).
inline constexpr std::string_view EphemerisColumn = ",ephemeris";
inline constexpr std::size_t MaxColumns = 10;
// Output is handed to the stream in blocks of about this size.
inline constexpr std::size_t FlushSize = 1 << 16;

// Reads lines without their end ("\n" or "\r\n") from a stream, through one growing buffer.
class LineReader {
public:
    explicit LineReader(std::FILE* in) : m_in(in) {}

    // False at the end of the input or on a read error (see failed()).
    bool next(std::string_view& line)
    {
        for (;;) {
            const auto end = m_buffer.find('\n', m_scan);
            if (end != std::string::npos) {
                line = std::string_view(m_buffer).substr(m_start, end - m_start);
                m_start = m_scan = end + 1;
                return trimmed(line);
            }
            if (m_eof) {
                if (m_start == m_buffer.size())
                    return false;
                line = std::string_view(m_buffer).substr(m_start);
                m_start = m_scan = m_buffer.size();
                return trimmed(line);
            }
            refill();
        }
    }
    bool failed() const { return m_failed; }

private:
    static bool trimmed(std::string_view& line)
    {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return true;
    }
    void refill()
    {
        m_buffer.erase(0, m_start);
        m_start = 0;
        m_scan = m_buffer.size();
        const std::size_t old = m_buffer.size();
        m_buffer.resize(old + FlushSize);
        const std::size_t got = std::fread(m_buffer.data() + old, 1, FlushSize, m_in);
        m_buffer.resize(old + got);
        if (got < FlushSize) {
            m_eof = true;
            m_failed = std::ferror(m_in) != 0;
        }
    }

    std::FILE* m_in;
    std::string m_buffer;
    std::size_t m_start = 0;  // first byte of the next line
    std::size_t m_scan = 0;   // where to look for the next '\n'
    bool m_eof = false;
    bool m_failed = false;
};

// Splits one CSV line: fields may be quoted ("New York, NY"), with "" for a quote inside.
// Quoted fields land in `storage`, which must outlive the fields.
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

std::string chartFromRow(std::string_view line, std::chrono::sys_seconds now, std::string_view header,
                         std::vector<std::string_view>& fields, std::array<std::string, MaxColumns>& storage,
                         Chart& chart, Ephemeris& ephemeris)
{
    if (std::string error = splitCsv(line, fields, storage); !error.empty())
        return error;
    const std::size_t columns = header.size() == Header.size() ? 9 : 10;
    if (fields.size() != columns)
        return "expected " + std::to_string(columns) + " fields (" + std::string(header) + "), found "
               + std::to_string(fields.size());
    ephemeris = Ephemeris::Classic;
    if (columns == 10 && !fields[9].empty())
        if (std::string error = parseEphemeris(fields[9], ephemeris); !error.empty())
            return error;
    const auto given = [](std::string_view field) -> std::optional<std::string_view> {
        if (field.empty())
            return std::nullopt;
        return field;
    };
    BirthArgs birth;
    birth.name = fields[0];
    birth.place = fields[1];
    birth.date = given(fields[2]);
    birth.time = given(fields[3]);
    birth.zone = given(fields[4]);
    if (!fields[5].empty())
        if (std::string error = parseFlag(fields[5], birth.dst); !error.empty())
            return "dst: " + error;
    if (!fields[6].empty())
        if (std::string error = parseFlag(fields[6], birth.bc); !error.empty())
            return "bc: " + error;
    birth.lon = given(fields[7]);
    birth.lat = given(fields[8]);
    return birthChartFrom(birth, now, chart);
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
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(nullptr, &std::fclose);
    std::FILE* in = stdin;
    if (source != "-") {
        file.reset(std::fopen(source.c_str(), "rb"));
        if (!file)
            return fail(context, "cannot read " + source + ": " + std::strerror(errno));
        in = file.get();
    }
    const std::string inputName = source == "-" ? "the standard input" : source;

    LineReader reader(in);
    std::string_view line;
    if (!reader.next(line)) {
        if (reader.failed())
            return fail(context, "cannot read " + inputName + ": " + std::strerror(errno));
        return fail(context, inputName + " is empty: it needs the header " + std::string(Header));
    }
    if (line.starts_with("\xEF\xBB\xBF"))
        line.remove_prefix(3);
    const std::string withEphemeris = std::string(Header) + std::string(EphemerisColumn);
    if (line != Header && line != withEphemeris)
        return fail(context, inputName + " does not start with the header " + std::string(Header)
                                 + " (optionally followed by " + std::string(EphemerisColumn) + ")");
    const std::string header(line);

    std::string out;
    out.reserve(FlushSize + 8192);
    std::vector<std::string_view> fields;
    fields.reserve(MaxColumns + 1);
    std::array<std::string, MaxColumns> storage;
    DerivedTables tables;
    bool anyFailed = false;
    for (long long lineNumber = 2; reader.next(line); ++lineNumber) {
        if (line.empty())
            continue;
        Chart chart;
        Ephemeris ephemeris;
        if (std::string error = chartFromRow(line, context.now, header, fields, storage, chart, ephemeris);
            !error.empty()) {
            anyFailed = true;
            appendErrorJson(out, lineNumber, error);
        } else if (const std::optional<HouseSystem> system = computeChart(chart, tables, ephemeris)) {
            appendChartJson(out, chart, tables, Computation{*system, ephemeris});
        } else {
            anyFailed = true;
            appendErrorJson(out, lineNumber, preciseUnavailable());
        }
        out += '\n';
        if (out.size() >= FlushSize) {
            if (!writeOut(context, out))
                return ExitBadInput;
            out.clear();
        }
    }
    if (reader.failed())
        return fail(context, "cannot read " + inputName + ": " + std::strerror(errno));
    if (!writeOut(context, out) || !flushOut(context))
        return ExitBadInput;
    return anyFailed ? ExitRowFailed : ExitOk;
}

}  // namespace zodiara::cli
