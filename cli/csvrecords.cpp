#include "cli/csvrecords.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace zodiara::cli {

namespace {

// Input is asked for in blocks of this size.
inline constexpr std::size_t ReadBlockSize = 1 << 16;

long long lineBreaks(std::string_view text)
{
    long long count = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++count;
    return count;
}

}  // namespace

CsvRecordReader::CsvRecordReader(Source source, std::function<bool()> beforeWait, std::size_t maxRecordBytes)
    : m_source(std::move(source)), m_beforeWait(std::move(beforeWait)), m_maxRecordBytes(maxRecordBytes)
{
}

CsvRecordReader::Result CsvRecordReader::next(std::string_view& record, long long& line)
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
            return record.size() > m_maxRecordBytes ? Result::TooLong : Result::Record;
        } else if (m_buffer.size() - m_start > m_maxRecordBytes) {
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
                return record.size() > m_maxRecordBytes ? Result::TooLong : Result::Record;
            }
            if (const Result result = refill(); result != Result::Record)
                return result;
        }
    }
}

// The position of the line end that ends the record begun at m_start, or npos when the buffer
// holds no such end yet; the scan resumes where it stopped.
std::size_t CsvRecordReader::findRecordEnd()
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

void CsvRecordReader::consumeLineEnd(std::size_t end)
{
    m_start = m_scan = end + 1;
    if (m_buffer[end] == '\r')
        m_afterCarriageReturn = true;
}

void CsvRecordReader::skipToLineEnd()
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

// Record means that the buffer has more input, or that the input has ended.
CsvRecordReader::Result CsvRecordReader::refill()
{
    if (m_beforeWait && !m_beforeWait())
        return Result::Stopped;
    m_buffer.erase(0, m_start);
    m_scan -= m_start;
    m_start = 0;
    const std::size_t old = m_buffer.size();
    m_buffer.resize(old + ReadBlockSize);
    const std::ptrdiff_t got = m_source(m_buffer.data() + old, ReadBlockSize);
    const int error = errno;
    m_buffer.resize(old + static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(got, 0, ReadBlockSize)));
    if (got < 0) {
        m_error = error;
        return Result::ReadFailed;
    }
    m_eof = got == 0;
    return Result::Record;
}

}  // namespace zodiara::cli
