#include "entry/atlas.h"

#include "chart/chart.h"
#include "chart/fileio.h"
#include "chart/text1252.h"
#include "ui/textconversion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstring>
#include <numeric>
#include <unistd.h>

namespace zodiara {

QString atlasPath(const QString& programDirectory)
{
    return QDir(programDirectory).filePath(QString::fromLatin1(AtlasFileName));
}

namespace {

// Valid UTF-8 (an initial byte-order mark dropped) stays, unshared; anything else is read as
// Windows-1252.
QByteArray utf8Text(QByteArray bytes)
{
    if (bytes.isValidUtf8())
        return bytes.startsWith("\xef\xbb\xbf") ? bytes.sliced(3) : bytes;
    const std::string converted =
        utf8FromWindows1252(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return QByteArray(converted.data(), static_cast<qsizetype>(converted.size()));
}

// Spaces and line ends; a line of nothing else names no place.
bool isBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Calls `take(start, length)` for each line of `text` without its "\n" or "\r\n", skipping blank lines and
// lines longer than AtlasMaxLineBytes.
template <typename Take>
void forEachLine(std::string_view text, Take take)
{
    std::size_t start = 0;
    while (start < text.size()) {
        // Blank lines are stepped over a byte at a time: a search per line would cost as much as a place.
        std::size_t ink = start;
        for (; ink < text.size() && isBlankByte(text[ink]); ++ink)
            if (text[ink] == '\n')
                start = ink + 1;
        if (ink == text.size())
            return;
        const void* found = std::memchr(text.data() + ink, '\n', text.size() - ink);
        const std::size_t next =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) + 1 : text.size();
        std::size_t end = found ? next - 1 : next;
        if (found && text[end - 1] == '\r')
            --end;
        if (end - start <= AtlasMaxLineBytes)
            take(start, end - start);
        start = next;
    }
}

std::string_view view(const QByteArray& bytes) { return {bytes.constData(), static_cast<std::size_t>(bytes.size())}; }

}  // namespace

QStringList atlasLines(QByteArrayView bytes)
{
    const QByteArray text = utf8Text(bytes.toByteArray());
    QStringList lines;
    forEachLine(view(text), [&](std::size_t start, std::size_t length) {
        lines.append(QString::fromUtf8(text.constData() + start, static_cast<qsizetype>(length)));
    });
    return lines;
}

namespace {

// The bytes of a regular file of at most AtlasMaxFileBytes.
std::optional<QByteArray> readBounded(const QString& path)
{
    std::string reason;
    std::uintmax_t size = 0;
    const int fd = openRegularFile(QFile::encodeName(path).toStdString(), reason, size);
    if (fd < 0)
        return std::nullopt;
    QFile file;
    if (size > std::uintmax_t(AtlasMaxFileBytes) || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    // What was measured, however the file changes meanwhile.
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    if (file.read(bytes.data(), bytes.size()) != bytes.size())
        return std::nullopt;
    return bytes;
}

// Positions past the end of the line read as empty text or as "any other character".
struct Cursor {
    QStringView text;
    qsizetype pos = 0;

    QString take(qsizetype count)
    {
        const qsizetype from = std::min(pos, text.size());
        const qsizetype n = std::min(count, text.size() - from);
        pos += count;
        return text.mid(from, n).toString();
    }
    QChar next()
    {
        const QChar c = pos < text.size() ? text.at(pos) : QChar();
        ++pos;
        return c;
    }
    // False when only spaces (or nothing) remain.
    bool skipSpaces()
    {
        while (pos < text.size() && text.at(pos) == u' ')
            ++pos;
        return pos < text.size();
    }
    QStringView rest() const { return text.mid(std::min(pos, text.size())); }
};

bool isWordChar(QChar c) { return c.isLetterOrNumber(); }

}  // namespace

AtlasLine parseAtlasLine(QStringView line)
{
    AtlasLine parsed;
    const qsizetype separator = line.indexOf(u"  ");
    const QStringView place = separator < 0 ? line : line.left(separator);
    parsed.place = place.left(AtlasLine::PlaceMaxChars).toString();
    if (separator < 0)
        return parsed;

    Cursor cursor{line.mid(separator)};
    if (!cursor.skipSpaces())
        return parsed;
    parsed.hasLongitude = true;
    parsed.longitudeDegrees = cursor.take(3);
    parsed.west = cursor.next() == u'W';
    parsed.longitudeMinutes = cursor.take(2);

    if (!cursor.skipSpaces())
        return parsed;
    parsed.hasLatitude = true;
    parsed.latitudeDegrees = cursor.take(2);
    parsed.north = cursor.next() == u'N';
    parsed.latitudeMinutes = cursor.take(2);

    parsed.zone = zoneNamedIn(cursor.rest());
    return parsed;
}

int zoneNamedIn(QStringView text)
{
    for (int zone = 0; zone < ZoneCount; ++zone) {
        const std::string_view name = TimeZoneNames[static_cast<std::size_t>(zone)];
        const std::string_view abbreviation = name.substr(0, name.find(','));
        const QString needle = toQString(abbreviation);
        for (qsizetype at = text.indexOf(needle); at >= 0; at = text.indexOf(needle, at + 1)) {
            const qsizetype end = at + needle.size();
            const bool wordStart = at == 0 || !isWordChar(text.at(at - 1));
            const bool wordEnd = end == text.size() || !isWordChar(text.at(end));
            if (wordStart && wordEnd)
                return zone;
        }
    }
    return -1;
}

namespace {

std::string foldedChar(QStringView character)
{
    // Letters with a stroke have no decomposition but are read as their plain letter.
    static const QHash<char16_t, const char*> strokes = {
        {u'\u0141', "l"},  {u'\u0142', "l"},  {u'\u00d8', "o"}, {u'\u00f8', "o"},  {u'\u0110', "d"},
        {u'\u0111', "d"},  {u'\u0126', "h"},  {u'\u0127', "h"}, {u'\u00c6', "ae"}, {u'\u00e6', "ae"},
        {u'\u0152', "oe"}, {u'\u0153', "oe"}, {u'\u0131', "i"}};
    if (character.size() == 1)
        if (const auto stroke = strokes.constFind(character.front().unicode()); stroke != strokes.constEnd())
            return *stroke;
    QString stripped;
    for (const QChar part : character.toString().normalized(QString::NormalizationForm_KD))
        if (!part.isMark())
            stripped.append(part);
    return stripped.toCaseFolded().toStdString();
}

bool isWordByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z');
}

}  // namespace

void appendFolded(std::string& out, std::string_view utf8)
{
    // Atlases are mostly ASCII; the cache keeps the slow Unicode path to once per character.
    static thread_local QHash<std::uint32_t, std::string> folded;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead >= 'A' && lead <= 'Z' ? lead + 32 : lead));
            ++i;
            continue;
        }
        const std::size_t length = std::min<std::size_t>(lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2, utf8.size() - i);
        std::uint32_t key = 0;
        std::memcpy(&key, utf8.data() + i, length);
        auto it = folded.constFind(key);
        if (it == folded.constEnd())
            it = folded.insert(key, foldedChar(QString::fromUtf8(utf8.data() + i, static_cast<qsizetype>(length))));
        out += *it;
        i += length;
    }
}

namespace {

// Where a line's place text ends and its coordinates stand, found as parseAtlasLine finds them.
struct Pieces {
    std::size_t placeLength = 0;
    std::string_view longitude;
    std::string_view latitude;
};

Pieces piecesOf(std::string_view line)
{
    Pieces pieces;
    const void* separator = memmem(line.data(), line.size(), "  ", 2);
    pieces.placeLength =
        separator ? static_cast<std::size_t>(static_cast<const char*>(separator) - line.data()) : line.size();
    std::size_t at = pieces.placeLength;
    for (std::string_view* piece : {&pieces.longitude, &pieces.latitude}) {
        while (at < line.size() && line[at] == ' ')
            ++at;
        *piece = line.substr(std::min(at, line.size()), piece == &pieces.longitude ? 6 : 5);
        at += piece->size();
    }
    return pieces;
}

// An index record's population and common names, when its coordinates are the line's.
std::optional<std::pair<std::uint32_t, std::string_view>> recordFor(std::string_view record, const Pieces& line)
{
    if (record.size() < 12 || record.substr(0, 6) != line.longitude || record[6] != ' '
        || record.substr(7, 5) != line.latitude)
        return std::nullopt;
    const std::string_view rest = record.substr(std::min<std::size_t>(record.size(), 13));
    const std::size_t tab = rest.find('\t');
    const std::string_view digits = rest.substr(0, tab);
    std::uint32_t population = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), population);
    return std::pair(population, tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1));
}

}  // namespace

Atlas::Atlas(QByteArray atlas, QByteArray index) : m_text(utf8Text(std::move(atlas)))
{
    const QByteArray indexText = utf8Text(std::move(index));
    std::string_view records = view(indexText);  // those not yet paired
    const auto takeRecord = [](std::string_view& rest) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view record = rest.substr(0, end > 0 && rest[end - 1] == '\r' ? end - 1 : end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        // An over-long record pairs with no line.
        return record.size() <= AtlasMaxLineBytes ? record : std::string_view();
    };

    // Memory follows the lines kept, never the bytes: a file of blank lines costs nothing once read.
    char* const bytes = m_text.data();
    const std::string_view text(bytes, static_cast<std::size_t>(m_text.size()));
    std::size_t lineCount = 0;
    std::size_t keptBytes = 0;
    forEachLine(text, [&](std::size_t, std::size_t length) {
        ++lineCount;
        keptBytes += length;
    });
    m_lines.reserve(lineCount);
    m_entries.reserve(lineCount);
    m_folded.reserve(keptBytes / 2 + std::min(records.size(), keptBytes));
    std::size_t kept = 0;
    forEachLine(text, [&](std::size_t start, std::size_t length) {
        // Each line kept moves down over those skipped; the scan reads only bytes after it.
        std::memmove(bytes + kept, bytes + start, length);
        const std::string_view lineText(bytes + kept, length);
        const Pieces pieces = piecesOf(lineText);
        m_hasPlaces = m_hasPlaces || (pieces.placeLength > 0 && pieces.latitude.size() == 5);
        m_longestLine = std::max(m_longestLine, static_cast<int>(std::min<std::size_t>(length, INT_MAX)));
        Line line{static_cast<std::uint32_t>(kept), static_cast<std::uint32_t>(length), 0};
        kept += length;
        std::string_view names;
        // Records pair with lines in order; a few lines removed from the atlas are stepped over.
        std::string_view ahead = records;
        for (int step = 0; step < 8 && !ahead.empty(); ++step) {
            if (const auto found = recordFor(takeRecord(ahead), pieces)) {
                std::tie(line.population, names) = *found;
                records = ahead;
                break;
            }
        }
        m_lines.push_back(line);

        Entry entry;
        entry.start = static_cast<std::uint32_t>(m_folded.size());
        appendFolded(m_folded, lineText.substr(0, pieces.placeLength));
        entry.placeEnd = static_cast<std::uint32_t>(m_folded.size());
        entry.nameEnd = static_cast<std::uint32_t>(std::min(m_folded.find(',', entry.start), m_folded.size()));
        m_folded.push_back('\n');
        while (!names.empty()) {
            const std::size_t tab = std::min(names.find('\t'), names.size());
            if (tab > 0) {
                appendFolded(m_folded, names.substr(0, tab));
                m_folded.push_back('\n');
            }
            names.remove_prefix(std::min(tab + 1, names.size()));
        }
        entry.end = static_cast<std::uint32_t>(m_folded.size());
        m_entries.push_back(entry);
    });
    m_text.truncate(static_cast<qsizetype>(kept));
    m_text.squeeze();

    // The most populous first, then in atlas order: the order within each rank of matches.
    // A stable radix sort on the population, 16 bits at a time: a comparison sort takes longer
    // than all the rest of the ordering.
    std::vector<std::uint64_t> order(m_lines.size());
    std::vector<std::uint64_t> sorted(m_lines.size());
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        order[i] = (std::uint64_t(~m_lines[i].population) << 32) | i;
    for (const int shift : {32, 48}) {
        std::vector<std::size_t> next(0x10001, 0);
        for (const std::uint64_t key : order)
            ++next[((key >> shift) & 0xffff) + 1];
        std::partial_sum(next.begin(), next.end(), next.begin());
        for (const std::uint64_t key : order)
            sorted[next[(key >> shift) & 0xffff]++] = key;
        order.swap(sorted);
    }
    m_byPopulation.resize(m_lines.size());
    m_populationRank.resize(m_lines.size());
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        m_byPopulation[rank] = static_cast<std::uint32_t>(order[rank]);
        m_populationRank[m_byPopulation[rank]] = static_cast<std::uint32_t>(rank);
    }
}

QString Atlas::line(int number) const
{
    const Line& line = m_lines[static_cast<std::size_t>(number)];
    return QString::fromUtf8(m_text.constData() + line.start, static_cast<qsizetype>(line.length));
}

namespace {
enum Rank { Equal, Start, WordStart, Elsewhere, Unmatched };
}

int Atlas::rankOfHit(const Entry& entry, std::size_t at, std::size_t length) const
{
    // Every field ends with '\n', and a hit lies inside one field.
    const bool reachesEnd = m_folded[at + length] == '\n';
    if (at > entry.placeEnd) {  // a common name: all of it is a name
        if (m_folded[at - 1] == '\n')
            return reachesEnd ? Equal : Start;
        return isWordByte(m_folded[at - 1]) ? Elsewhere : WordStart;
    }
    if (at == entry.start)
        return reachesEnd || at + length == entry.nameEnd ? Equal : Start;
    return at < entry.nameEnd && !isWordByte(m_folded[at - 1]) ? WordStart : Elsewhere;
}

std::vector<int> Atlas::find(QStringView filter) const
{
    // Spaces as the atlas writes them: single, none at either end.
    std::string needle;
    const QByteArray typed = filter.toString().simplified().toUtf8();
    appendFolded(needle, view(typed));
    if (needle.empty() || needle.find('\n') != std::string::npos)
        return {};

    // Each line's rank, kept at its place in population order so that one pass lists them.
    std::vector<std::uint8_t> rankByPopulation(m_lines.size(), Unmatched);
    std::array<std::size_t, Unmatched> counts{};
    const auto rankLine = [&](std::size_t line, int rank) {
        if (rank != Unmatched) {
            rankByPopulation[m_populationRank[line]] = static_cast<std::uint8_t>(rank);
            ++counts[static_cast<std::size_t>(rank)];
        }
    };
    const std::string_view text(m_folded);
    const auto findFrom = [&](std::size_t from) {
        return needle.size() == 1 ? text.find(needle.front(), from) : text.find(needle, from);
    };
    std::size_t entry = 0;
    int best = Unmatched;
    for (std::size_t at = findFrom(0); at != std::string_view::npos;) {
        while (m_entries[entry].end <= at) {
            rankLine(entry, best);
            best = Unmatched;
            ++entry;
        }
        const Entry& current = m_entries[entry];
        best = std::min(best, rankOfHit(current, at, needle.size()));
        // Skip the hits that cannot rank better: a field ranks Equal or Start only from its first
        // character, and WordStart only within a name.
        std::size_t from = at + 1;
        if (best == Equal)
            from = current.end;
        else if (at < current.placeEnd && (best <= WordStart || at >= current.nameEnd))
            from = current.placeEnd + 1;
        else if (at > current.placeEnd && best <= WordStart)
            from = text.find('\n', at) + 1;
        at = findFrom(from);
    }
    if (entry < m_entries.size())
        rankLine(entry, best);

    std::array<std::size_t, Unmatched> next{};
    for (std::size_t rank = 1; rank < Unmatched; ++rank)
        next[rank] = next[rank - 1] + counts[rank - 1];
    std::vector<int> found(next[Unmatched - 1] + counts[Unmatched - 1]);
    for (std::size_t position = 0; position < rankByPopulation.size(); ++position)
        if (const std::uint8_t rank = rankByPopulation[position]; rank != Unmatched)
            found[next[rank]++] = static_cast<int>(m_byPopulation[position]);
    return found;
}

std::optional<Atlas> readAtlas(const QString& path)
{
    std::optional<QByteArray> bytes = readBounded(path);
    if (!bytes)
        return std::nullopt;
    std::optional<QByteArray> index =
        readBounded(QFileInfo(path).dir().filePath(QString::fromLatin1(AtlasIndexFileName)));
    return Atlas(std::move(*bytes), std::move(index).value_or(QByteArray()));
}

}  // namespace zodiara
