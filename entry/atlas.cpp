#include "entry/atlas.h"

#include "chart/chart.h"
#include "chart/fileio.h"
#include "chart/text1252.h"
#include "ui/textconversion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <numeric>
#include <span>

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

QString atlasLineText(QByteArrayView utf8)
{
    // QString::fromUtf8 would drop a mark at the start of every line, leaving some lines blank.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(utf8);
}

QStringList atlasLines(QByteArrayView bytes)
{
    const QByteArray text = utf8Text(bytes.toByteArray());
    QStringList lines;
    forEachLine(view(text), [&](std::size_t start, std::size_t length) {
        lines.append(atlasLineText(QByteArrayView(text.constData() + start, static_cast<qsizetype>(length))));
    });
    return lines;
}

namespace {

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

constexpr std::size_t MaxNameBytes = AtlasNearestMaxNameBytes;

// Which kinds of byte a name holds, one bit each: the 26 letters, digits, space, other ASCII, and
// three classes of the rest. An edit changes at most two bits, so names whose bits differ in more
// than twice the edits allowed need no closer look.
std::uint32_t lettersOf(std::string_view name)
{
    std::uint32_t bits = 0;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        const int bit = u >= 'a' && u <= 'z'   ? u - 'a'
                        : u >= '0' && u <= '9' ? 26
                        : u == ' '             ? 27
                        : u < 0x80             ? 28
                                               : 29 + u % 3;
        bits |= std::uint32_t(1) << bit;
    }
    return bits;
}

// The edits (insert, delete, replace a byte, swap two adjacent ones) that turn `a` into `b`, or
// limit + 1 as soon as more are needed. Both are at most MaxNameBytes + 3 bytes.
int editDistance(std::string_view a, std::string_view b, int limit)
{
    const int m = static_cast<int>(a.size());
    const int n = static_cast<int>(b.size());
    if (std::abs(m - n) > limit)
        return limit + 1;
    // Three rows of the table over b: two back (for a swap), the last, and the one being filled.
    std::array<int, MaxNameBytes + 4> rows[3];
    int* before = rows[0].data();
    int* last = rows[1].data();
    int* row = rows[2].data();
    for (int j = 0; j <= n; ++j)
        last[j] = j;
    for (int i = 1; i <= m; ++i) {
        row[0] = i;
        int best = i;
        for (int j = 1; j <= n; ++j) {
            int cost = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                cost = std::min(cost, before[j - 2] + 1);
            row[j] = cost;
            best = std::min(best, cost);
        }
        if (best > limit)
            return limit + 1;
        std::swap(before, last);
        std::swap(last, row);
    }
    return std::min(last[n], limit + 1);
}

int editsAllowed(std::size_t filterBytes)
{
    return filterBytes <= 2 ? 0 : filterBytes <= 4 ? 1 : filterBytes <= 8 ? 2 : 3;
}

// A hash of `bytes` continuing from `seed`: four lanes of multiply and rotate, the tail a word
// and then a byte at a time. It tells an edited text from the one a prepared file was made from.
std::uint64_t hashBytes(std::string_view bytes, std::uint64_t seed)
{
    constexpr std::uint64_t P1 = 0x9e3779b185ebca87, P2 = 0xc2b2ae3d27d4eb4f, P3 = 0x165667b19e3779f9;
    const auto word = [](const char* at) {
        std::uint64_t w = 0;
        std::memcpy(&w, at, sizeof w);
        return w;
    };
    const auto round = [](std::uint64_t lane, std::uint64_t w) { return std::rotl(lane + w * P2, 31) * P1; };
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    std::uint64_t lanes[4] = {seed + P1 + P2, seed + P2, seed, seed - P1};
    for (; end - at >= 32; at += 32)
        for (int k = 0; k < 4; ++k)
            lanes[k] = round(lanes[k], word(at + 8 * k));
    std::uint64_t h = std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12)
                      + std::rotl(lanes[3], 18) + bytes.size();
    for (; end - at >= 8; at += 8)
        h = std::rotl(h ^ round(0, word(at)), 27) * P1 + P3;
    for (; at < end; ++at)
        h = std::rotl(h ^ (static_cast<unsigned char>(*at) * P3), 11) * P1;
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    h *= P3;
    return h ^ (h >> 32);
}

// A text's hash, taken a block at a time so that a file need never be held whole to be hashed.
constexpr std::size_t HashBlockBytes = std::size_t(1) << 20;

std::uint64_t hashText(std::string_view bytes)
{
    std::uint64_t h = 0;
    for (std::size_t at = 0; at < bytes.size(); at += HashBlockBytes)
        h = hashBytes(bytes.substr(at, HashBlockBytes), h);
    return h;
}

}  // namespace

struct Atlas::Tables {
    struct Line {
        std::uint32_t start = 0;
        std::uint32_t length = 0;
    };
    // A line's searchable text in `folded`, which runs to the next line's: the place text, '\n',
    // then each common name and '\n'. Its rank in population order is kept with it, so that a
    // search reads one table.
    struct Entry {
        std::uint32_t start = 0;
        std::uint32_t populationRank = 0;
        std::uint16_t nameLength = 0;  // the name: the place text up to its first comma
        std::uint16_t placeLength = 0;
    };
    struct Fields {
        std::size_t start, nameEnd, placeEnd, end;
    };
    // What the parse makes; the views below point into it.
    struct Built {
        QByteArray text;  // the lines kept, as UTF-8, end to end
        std::vector<Line> lines;
        std::string folded;
        std::vector<Entry> entries;
        std::vector<std::uint32_t> byPopulation;
        std::vector<std::uint32_t> namesByLength, nameLetters, nameLinesEnd, nameLines;
        std::string names;
    };

    Tables() = default;
    Tables(const Tables&) = delete;
    Tables& operator=(const Tables&) = delete;
    ~Tables()
    {
        if (mapping)
            ::munmap(mapping, mappedBytes);
        if (atlasFile >= 0)
            ::close(atlasFile);
    }

    void pointInto(const Built& built);
    // Points the views into a prepared file's bytes; false when they do not make whole tables.
    bool adopt(const char* bytes, std::size_t size);
    std::string_view nameText(std::size_t name, std::size_t length) const;
    Fields fieldsOf(std::size_t line) const
    {
        const Entry& entry = entries[line];
        return {entry.start, entry.start + entry.nameLength, entry.start + entry.placeLength,
                line + 1 < entries.size() ? entries[line + 1].start : folded.size()};
    }

    std::string_view text;  // where the lines are; empty when they are read from atlasFile
    std::span<const Line> lines;
    std::string_view folded;
    std::span<const Entry> entries;
    std::span<const std::uint32_t> byPopulation;  // line numbers, most populous first
    // The distinct names of `folded` (place names and common names) of 1 to MaxNameBytes bytes,
    // shortest first: those of n bytes are numbered from namesByLength[n] and stand end to end
    // in `names`; their lines are in nameLines, up to nameLinesEnd of each. A parse makes them
    // when they are first asked for, so that opening does not wait for them.
    void needNames() const;
    mutable std::once_flag namesMade;
    mutable std::span<const std::uint32_t> namesByLength;  // MaxNameBytes + 2 numbers
    mutable std::string_view names;
    mutable std::span<const std::uint32_t> nameLetters;  // lettersOf() each name
    mutable std::span<const std::uint32_t> nameLinesEnd;
    mutable std::span<const std::uint32_t> nameLines;
    mutable std::array<std::size_t, MaxNameBytes + 1> namesOfLengthStart{};  // where names of each length start
    bool hasPlaces = false;
    int longestLine = 0;
    bool prepared = false;

    std::unique_ptr<Built> built;
    std::unique_ptr<std::uint64_t[]> held;  // a prepared file's bytes, aligned
    QByteArray heldAtlas;
    void* mapping = nullptr;
    std::size_t mappedBytes = 0;
    int atlasFile = -1;  // read a line at a time when the text is not in memory
    std::uint64_t atlasFileBytes = 0;
};

namespace {

using Tables = Atlas::Tables;

template <typename T>
std::span<const T> spanOf(const std::vector<T>& v)
{
    return {v.data(), v.size()};
}

void placeNames(const Tables& tables)
{
    std::size_t at = 0;
    for (std::size_t length = 1; length <= MaxNameBytes && length + 1 < tables.namesByLength.size(); ++length) {
        tables.namesOfLengthStart[length] = at;
        at += (tables.namesByLength[length + 1] - tables.namesByLength[length]) * length;
    }
}

// The distinct names of the folded text, by length, with the lines that bear each.
void buildNames(Tables::Built& built, const Tables& tables)
{
    std::size_t fields = 0;
    for (const char c : built.folded)
        fields += c == '\n';
    std::vector<std::string_view> distinct;
    struct Use {
        std::uint32_t name;
        std::uint32_t line;
    };
    std::vector<Use> uses;
    uses.reserve(fields);
    // Open addressing: each slot holds a name's number + 1, or 0.
    std::vector<std::uint32_t> buckets(std::bit_ceil(std::max<std::size_t>(16, fields * 2)), 0);
    const std::size_t mask = buckets.size() - 1;
    const auto numberOf = [&](std::string_view name) {
        std::uint64_t h = 0xcbf29ce484222325;
        for (const char c : name)
            h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3;
        for (std::size_t slot = h & mask;; slot = (slot + 1) & mask) {
            if (buckets[slot] == 0) {
                distinct.push_back(name);
                buckets[slot] = static_cast<std::uint32_t>(distinct.size());
                return buckets[slot] - 1;
            }
            if (distinct[buckets[slot] - 1] == name)
                return buckets[slot] - 1;
        }
    };
    const std::string_view folded(built.folded);
    for (std::size_t line = 0; line < built.entries.size(); ++line) {
        const Tables::Fields entry = tables.fieldsOf(line);
        const auto use = [&](std::size_t from, std::size_t to) {
            if (to > from && to - from <= MaxNameBytes)
                uses.push_back({numberOf(folded.substr(from, to - from)), static_cast<std::uint32_t>(line)});
        };
        use(entry.start, entry.nameEnd);
        for (std::size_t from = entry.placeEnd + 1; from < entry.end;) {
            const std::size_t to = folded.find('\n', from);
            use(from, to);
            from = to + 1;
        }
    }
    buckets = {};

    // Numbered anew, shortest first.
    built.namesByLength.assign(MaxNameBytes + 2, 0);
    for (const std::string_view name : distinct)
        ++built.namesByLength[name.size() + 1];
    std::partial_sum(built.namesByLength.begin(), built.namesByLength.end(), built.namesByLength.begin());
    std::vector<std::uint32_t> next(built.namesByLength.begin(), built.namesByLength.end() - 1);
    std::vector<std::uint32_t> renumbered(distinct.size());
    std::vector<std::string_view> ordered(distinct.size());
    for (std::size_t name = 0; name < distinct.size(); ++name) {
        renumbered[name] = next[distinct[name].size()]++;
        ordered[renumbered[name]] = distinct[name];
    }
    built.names.clear();
    built.nameLetters.resize(ordered.size());
    for (std::size_t name = 0; name < ordered.size(); ++name) {
        built.names += ordered[name];
        built.nameLetters[name] = lettersOf(ordered[name]);
    }

    // Each name's lines in atlas order, each once.
    std::vector<std::uint32_t> counts(ordered.size() + 1, 0);
    for (const Use& use : uses)
        ++counts[renumbered[use.name] + 1];
    std::partial_sum(counts.begin(), counts.end(), counts.begin());
    built.nameLines.assign(uses.size(), 0);
    std::vector<std::uint32_t> fill(counts.begin(), counts.end() - 1);
    for (const Use& use : uses)
        built.nameLines[fill[renumbered[use.name]]++] = use.line;
    built.nameLinesEnd.resize(ordered.size());
    std::size_t kept = 0;
    for (std::size_t name = 0; name < ordered.size(); ++name) {
        for (std::size_t at = counts[name]; at < counts[name + 1]; ++at)
            if (at == counts[name] || built.nameLines[at] != built.nameLines[at - 1])
                built.nameLines[kept++] = built.nameLines[at];
        built.nameLinesEnd[name] = static_cast<std::uint32_t>(kept);
    }
    built.nameLines.resize(kept);
}

// The tables of an atlas and its index. With `sourceStarts`, each kept line's start in the
// UTF-8 text read (before lines are moved together) is recorded there.
std::shared_ptr<Tables> buildTables(QByteArray atlas, QByteArray index, std::vector<std::uint32_t>* sourceStarts)
{
    auto tables = std::make_shared<Tables>();
    tables->built = std::make_unique<Tables::Built>();
    Tables::Built& built = *tables->built;
    built.text = utf8Text(std::move(atlas));
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
    char* const bytes = built.text.data();
    const std::string_view text(bytes, static_cast<std::size_t>(built.text.size()));
    std::size_t lineCount = 0;
    std::size_t keptBytes = 0;
    forEachLine(text, [&](std::size_t, std::size_t length) {
        ++lineCount;
        keptBytes += length;
    });
    built.lines.reserve(lineCount);
    built.entries.reserve(lineCount);
    built.folded.reserve(keptBytes / 2 + std::min(records.size(), keptBytes));
    std::vector<std::uint32_t> population;
    population.reserve(lineCount);
    std::size_t kept = 0;
    forEachLine(text, [&](std::size_t start, std::size_t length) {
        if (sourceStarts)
            sourceStarts->push_back(static_cast<std::uint32_t>(start));
        // Each line kept moves down over those skipped; the scan reads only bytes after it.
        std::memmove(bytes + kept, bytes + start, length);
        const std::string_view lineText(bytes + kept, length);
        const Pieces pieces = piecesOf(lineText);
        tables->hasPlaces = tables->hasPlaces || (pieces.placeLength > 0 && pieces.latitude.size() == 5);
        tables->longestLine = std::max(tables->longestLine, static_cast<int>(std::min<std::size_t>(length, INT_MAX)));
        built.lines.push_back({static_cast<std::uint32_t>(kept), static_cast<std::uint32_t>(length)});
        kept += length;
        std::uint32_t people = 0;
        std::string_view names;
        // Records pair with lines in order; a few lines removed from the atlas are stepped over.
        std::string_view ahead = records;
        for (int step = 0; step < 8 && !ahead.empty(); ++step) {
            if (const auto found = recordFor(takeRecord(ahead), pieces)) {
                std::tie(people, names) = *found;
                records = ahead;
                break;
            }
        }
        population.push_back(people);

        Tables::Entry entry;
        entry.start = static_cast<std::uint32_t>(built.folded.size());
        appendFolded(built.folded, lineText.substr(0, pieces.placeLength));
        // Beyond any line of AtlasMaxLineBytes, however folding lengthens it.
        built.folded.resize(std::min<std::size_t>(built.folded.size(), entry.start + UINT16_MAX));
        entry.placeLength = static_cast<std::uint16_t>(built.folded.size() - entry.start);
        entry.nameLength = static_cast<std::uint16_t>(std::min(built.folded.find(',', entry.start), built.folded.size())
                                                      - entry.start);
        built.folded.push_back('\n');
        while (!names.empty()) {
            const std::size_t tab = std::min(names.find('\t'), names.size());
            if (tab > 0) {
                appendFolded(built.folded, names.substr(0, tab));
                built.folded.push_back('\n');
            }
            names.remove_prefix(std::min(tab + 1, names.size()));
        }
        built.entries.push_back(entry);
    });
    built.text.truncate(static_cast<qsizetype>(kept));
    built.text.squeeze();

    // The most populous first, then in atlas order: the order within each rank of matches.
    // For a large atlas a radix sort on the population, 16 bits at a time: a comparison sort
    // takes longer than all the rest of the ordering. A small one sorts faster than the radix
    // sort clears its counts.
    std::vector<std::uint64_t> order(population.size());
    for (std::size_t i = 0; i < population.size(); ++i)
        order[i] = (std::uint64_t(~population[i]) << 32) | i;
    if (order.size() < 0x10000) {
        std::sort(order.begin(), order.end());
    } else {
        std::vector<std::uint64_t> sorted(order.size());
        for (const int shift : {32, 48}) {
            std::vector<std::size_t> next(0x10001, 0);
            for (const std::uint64_t key : order)
                ++next[((key >> shift) & 0xffff) + 1];
            std::partial_sum(next.begin(), next.end(), next.begin());
            for (const std::uint64_t key : order)
                sorted[next[(key >> shift) & 0xffff]++] = key;
            order.swap(sorted);
        }
    }
    built.byPopulation.resize(order.size());
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        built.byPopulation[rank] = static_cast<std::uint32_t>(order[rank]);
        built.entries[built.byPopulation[rank]].populationRank = static_cast<std::uint32_t>(rank);
    }
    tables->pointInto(built);
    return tables;
}

}  // namespace

void Tables::pointInto(const Built& from)
{
    text = view(from.text);
    lines = spanOf(from.lines);
    folded = from.folded;
    entries = spanOf(from.entries);
    byPopulation = spanOf(from.byPopulation);
}

void Tables::needNames() const
{
    std::call_once(namesMade, [this] {
        if (!built)
            return;
        buildNames(*built, *this);
        namesByLength = spanOf(built->namesByLength);
        names = built->names;
        nameLetters = spanOf(built->nameLetters);
        nameLinesEnd = spanOf(built->nameLinesEnd);
        nameLines = spanOf(built->nameLines);
        placeNames(*this);
    });
}

std::string_view Tables::nameText(std::size_t name, std::size_t length) const
{
    return names.substr(namesOfLengthStart[length] + (name - namesByLength[length]) * length, length);
}

namespace {

// The prepared file: a header, then the tables one after another, each at a multiple of 8 bytes.
constexpr char PreparedMagic[8] = {'Z', 'o', 'd', 'A', 't', 'l', 'a', 's'};
constexpr std::uint32_t PreparedByteOrder = 0x01020304;
constexpr std::uint32_t PreparedVersion = 1;
constexpr std::uint64_t NoIndex = ~std::uint64_t(0);
// Far beyond what an atlas of AtlasMaxFileBytes and its index make.
constexpr std::uint64_t MaxPreparedBytes = std::uint64_t(AtlasMaxFileBytes) * 8;

// clang-format off
enum Section { Text, Lines, Folded, Entries, ByPopulation, NamesByLength, Names, NameLetters, NameLinesEnd, NameLines,
               SectionCount };
// clang-format on

// Flags: some line gives a place; the lines' text is in the file rather than read from the atlas.
constexpr std::uint32_t HasPlaces = 1;
constexpr std::uint32_t TextInside = 2;

struct PreparedHeader {
    char magic[8];
    std::uint32_t byteOrder;
    std::uint32_t version;
    std::uint64_t atlasBytes;
    std::uint64_t atlasHash;
    std::uint64_t indexBytes;  // NoIndex when there was none
    std::uint64_t indexHash;
    std::uint32_t lineCount;
    std::uint32_t flags;
    std::uint32_t longestLine;
    std::uint32_t nameCount;
    struct {
        std::uint64_t offset;
        std::uint64_t bytes;
    } sections[SectionCount];
};
static_assert(sizeof(PreparedHeader) % 8 == 0);

std::optional<PreparedHeader> headerOf(const char* bytes, std::size_t size)
{
    PreparedHeader header;
    if (size < sizeof header)
        return std::nullopt;
    std::memcpy(&header, bytes, sizeof header);
    if (std::memcmp(header.magic, PreparedMagic, sizeof PreparedMagic) != 0 || header.byteOrder != PreparedByteOrder
        || header.version != PreparedVersion)
        return std::nullopt;
    return header;
}

}  // namespace

bool Tables::adopt(const char* bytes, std::size_t size)
{
    const std::optional<PreparedHeader> header = headerOf(bytes, size);
    if (!header)
        return false;
    const std::size_t count = header->lineCount;
    const auto section = [&]<typename T>(Section which, std::span<const T>& into, std::size_t expected) {
        const auto& s = header->sections[which];
        if (s.offset % 8 != 0 || s.offset > size || s.bytes > size - s.offset || s.bytes % sizeof(T) != 0
            || (expected != SIZE_MAX && s.bytes / sizeof(T) != expected))
            return false;
        into = {reinterpret_cast<const T*>(bytes + s.offset), static_cast<std::size_t>(s.bytes / sizeof(T))};
        return true;
    };
    std::span<const char> textBytes, foldedBytes, nameBytes;
    if (!section(Text, textBytes, SIZE_MAX) || !section(Lines, lines, count) || !section(Folded, foldedBytes, SIZE_MAX)
        || !section(Entries, entries, count) || !section(ByPopulation, byPopulation, count)
        || !section(NamesByLength, namesByLength, MaxNameBytes + 2) || !section(Names, nameBytes, SIZE_MAX)
        || !section(NameLetters, nameLetters, header->nameCount)
        || !section(NameLinesEnd, nameLinesEnd, header->nameCount) || !section(NameLines, nameLines, SIZE_MAX))
        return false;
    text = (header->flags & TextInside) ? std::string_view(textBytes.data(), textBytes.size()) : std::string_view();
    folded = {foldedBytes.data(), foldedBytes.size()};
    names = {nameBytes.data(), nameBytes.size()};
    hasPlaces = (header->flags & HasPlaces) != 0;
    longestLine = static_cast<int>(std::min<std::uint32_t>(header->longestLine, INT_MAX));

    // The search trusts what follows: every field inside the folded text, which ends a field, and
    // the population order a true ordering of the lines. Line texts and names are checked where
    // they are read, so that opening touches no more of the file than this.
    if ((count > 0 && entries[0].start != 0) || (count == 0 && !folded.empty())
        || (!folded.empty() && folded.back() != '\n'))
        return false;
    for (std::size_t line = 0; line < count; ++line) {
        const Entry& entry = entries[line];
        const std::size_t end = line + 1 < count ? entries[line + 1].start : folded.size();
        if (entry.start > end || entry.nameLength > entry.placeLength || entry.start + entry.placeLength >= end
            || entry.populationRank >= count || byPopulation[entry.populationRank] != line)
            return false;
    }
    if (namesByLength[0] != 0 || namesByLength[1] != 0 || namesByLength.back() != header->nameCount
        || !std::is_sorted(namesByLength.begin(), namesByLength.end()))
        return false;
    placeNames(*this);
    const std::size_t last = namesByLength[MaxNameBytes + 1] - namesByLength[MaxNameBytes];
    return namesOfLengthStart[MaxNameBytes] + last * MaxNameBytes == names.size();
}

Atlas::Atlas() : m_tables(std::make_shared<const Tables>()) {}

Atlas::Atlas(std::shared_ptr<const Tables> tables) : m_tables(std::move(tables)) {}

Atlas::Atlas(QByteArray atlas, QByteArray index) : m_tables(buildTables(std::move(atlas), std::move(index), nullptr)) {}

int Atlas::lineCount() const { return static_cast<int>(m_tables->lines.size()); }
bool Atlas::hasPlaces() const { return m_tables->hasPlaces; }
int Atlas::longestLine() const { return m_tables->longestLine; }
bool Atlas::isPrepared() const { return m_tables->prepared; }

QString Atlas::line(int number) const
{
    const Tables& t = *m_tables;
    const Tables::Line line = t.lines[static_cast<std::size_t>(number)];
    const std::uint64_t size = t.atlasFile >= 0 ? t.atlasFileBytes : t.text.size();
    if (line.start > size || line.length > size - line.start)
        return {};
    if (t.atlasFile < 0)
        return atlasLineText(QByteArrayView(t.text.data() + line.start, static_cast<qsizetype>(line.length)));
    // Read where it stands: a line is all the list needs of the file at a time.
    QByteArray bytes(static_cast<qsizetype>(line.length), Qt::Uninitialized);
    const ssize_t read = ::pread(t.atlasFile, bytes.data(), line.length, static_cast<off_t>(line.start));
    bytes.truncate(std::max<ssize_t>(read, 0));
    return atlasLineText(bytes);
}

namespace {

enum Rank { Equal, Start, WordStart, Elsewhere, Unmatched };

int rankOfHit(std::string_view folded, const Tables::Fields& entry, std::size_t at, std::size_t length)
{
    // Every field ends with '\n', and a hit lies inside one field.
    const bool reachesEnd = folded[at + length] == '\n';
    if (at > entry.placeEnd) {  // a common name: all of it is a name
        if (folded[at - 1] == '\n')
            return reachesEnd ? Equal : Start;
        return isWordByte(folded[at - 1]) ? Elsewhere : WordStart;
    }
    if (at == entry.start)
        return reachesEnd || at + length == entry.nameEnd ? Equal : Start;
    return at < entry.nameEnd && !isWordByte(folded[at - 1]) ? WordStart : Elsewhere;
}

// What a filter is searched as: folded, its spaces as the atlas writes them (single, none at
// either end); empty when it can match nothing.
std::string needleOf(QStringView filter)
{
    std::string needle;
    const QByteArray typed = filter.toString().simplified().toUtf8();
    appendFolded(needle, view(typed));
    if (needle.find('\n') != std::string::npos)
        needle.clear();
    return needle;
}

}  // namespace

std::vector<int> Atlas::find(QStringView filter) const
{
    const Tables& t = *m_tables;
    const std::string needle = needleOf(filter);
    if (needle.empty())
        return {};

    // Each line's rank, kept at its place in population order so that one pass lists them.
    std::vector<std::uint8_t> rankByPopulation(t.lines.size(), Unmatched);
    std::array<std::size_t, Unmatched> counts{};
    const auto rankLine = [&](std::size_t line, int rank) {
        if (rank != Unmatched) {
            rankByPopulation[t.entries[line].populationRank] = static_cast<std::uint8_t>(rank);
            ++counts[static_cast<std::size_t>(rank)];
        }
    };
    const std::string_view text = t.folded;
    const auto findFrom = [&](std::size_t from) {
        return needle.size() == 1 ? text.find(needle.front(), from) : text.find(needle, from);
    };
    std::size_t entry = 0;
    Tables::Fields current = t.entries.empty() ? Tables::Fields{} : t.fieldsOf(0);
    int best = Unmatched;
    for (std::size_t at = findFrom(0); at != std::string_view::npos;) {
        while (current.end <= at) {
            rankLine(entry, best);
            best = Unmatched;
            current = t.fieldsOf(++entry);
        }
        best = std::min(best, rankOfHit(text, current, at, needle.size()));
        // Skip the hits that cannot rank better: a field ranks Equal or Start only from its first
        // character, and WordStart only within a name.
        std::size_t from = at + 1;
        if (best == Equal)
            from = current.end;
        else if (at < current.placeEnd && (best <= WordStart || at >= current.nameEnd))
            from = current.placeEnd + 1;
        else if (at > current.placeEnd && best <= WordStart)
            from = std::min(text.find('\n', at), text.size() - 1) + 1;
        at = findFrom(from);
    }
    if (entry < t.entries.size())
        rankLine(entry, best);

    std::array<std::size_t, Unmatched> next{};
    for (std::size_t rank = 1; rank < Unmatched; ++rank)
        next[rank] = next[rank - 1] + counts[rank - 1];
    std::vector<int> found(next[Unmatched - 1] + counts[Unmatched - 1]);
    for (std::size_t position = 0; position < rankByPopulation.size(); ++position)
        if (const std::uint8_t rank = rankByPopulation[position]; rank != Unmatched)
            found[next[rank]++] = static_cast<int>(t.byPopulation[position]);
    return found;
}

std::vector<int> Atlas::nearest(QStringView filter) const
{
    const Tables& t = *m_tables;
    const std::string needle = needleOf(filter);
    const int limit = editsAllowed(needle.size());
    t.needNames();
    if (limit == 0 || needle.size() > MaxNameBytes + 3 || t.namesByLength.size() != MaxNameBytes + 2)
        return {};
    const std::uint32_t letters = lettersOf(needle);
    // Each line near enough as its distance above its rank in population order: sorted, they
    // read nearest first, then as find() orders them.
    std::vector<std::uint64_t> near;
    const std::size_t shortest = std::max<std::size_t>(1, needle.size() - std::min<std::size_t>(needle.size(), limit));
    const std::size_t longest = std::min(MaxNameBytes, needle.size() + limit);
    for (std::size_t length = shortest; length <= longest; ++length) {
        for (std::size_t name = t.namesByLength[length]; name < t.namesByLength[length + 1]; ++name) {
            if (std::popcount(letters ^ t.nameLetters[name]) > 2 * limit)
                continue;
            const int distance = editDistance(needle, t.nameText(name, length), limit);
            if (distance > limit)
                continue;
            const std::size_t end = std::min<std::size_t>(t.nameLinesEnd[name], t.nameLines.size());
            for (std::size_t at = name > 0 ? t.nameLinesEnd[name - 1] : 0; at < end; ++at)
                if (t.nameLines[at] < t.lines.size())
                    near.push_back((std::uint64_t(distance) << 32) | t.entries[t.nameLines[at]].populationRank);
        }
    }
    std::sort(near.begin(), near.end());
    std::vector<int> found;
    std::vector<bool> taken(t.lines.size());
    for (const std::uint64_t key : near) {
        const std::uint32_t line = t.byPopulation[static_cast<std::uint32_t>(key)];
        if (!taken[line]) {
            taken[line] = true;
            found.push_back(static_cast<int>(line));
            if (found.size() == AtlasNearestLimit)
                break;
        }
    }
    return found;
}

namespace {

template <typename T>
void appendSection(QByteArray& out, PreparedHeader& header, Section which, std::span<const T> items)
{
    out.append(QByteArray((8 - out.size() % 8) % 8, '\0'));
    header.sections[which] = {static_cast<std::uint64_t>(out.size()), items.size_bytes()};
    out.append(reinterpret_cast<const char*>(items.data()), static_cast<qsizetype>(items.size_bytes()));
}

}  // namespace

QByteArray prepareAtlas(QByteArray atlas, std::optional<QByteArray> index)
{
    PreparedHeader header{};
    std::memcpy(header.magic, PreparedMagic, sizeof PreparedMagic);
    header.byteOrder = PreparedByteOrder;
    header.version = PreparedVersion;
    header.atlasBytes = static_cast<std::uint64_t>(atlas.size());
    header.atlasHash = hashText(view(atlas));
    header.indexBytes = index ? static_cast<std::uint64_t>(index->size()) : NoIndex;
    header.indexHash = index ? hashText(view(*index)) : hashText({});
    // Valid UTF-8 is read from the atlas itself, where its lines stand.
    const bool inPlace = atlas.isValidUtf8();
    const std::uint32_t byteOrderMark = inPlace && atlas.startsWith("\xef\xbb\xbf") ? 3 : 0;
    std::vector<std::uint32_t> starts;
    const std::shared_ptr<const Tables> tables =
        buildTables(std::move(atlas), std::move(index).value_or(QByteArray()), &starts);
    const Tables& t = *tables;
    t.needNames();
    std::vector<Tables::Line> lines(t.lines.begin(), t.lines.end());
    if (inPlace)
        for (std::size_t line = 0; line < lines.size(); ++line)
            lines[line].start = starts[line] + byteOrderMark;

    header.lineCount = static_cast<std::uint32_t>(lines.size());
    header.flags = (t.hasPlaces ? HasPlaces : 0u) | (inPlace ? 0u : TextInside);
    header.longestLine = static_cast<std::uint32_t>(t.longestLine);
    header.nameCount = static_cast<std::uint32_t>(t.nameLetters.size());
    QByteArray out(sizeof header, '\0');
    const std::string_view text = inPlace ? std::string_view() : t.text;
    appendSection(out, header, Text, std::span<const char>(text.data(), text.size()));
    appendSection(out, header, Lines, spanOf(lines));
    appendSection(out, header, Folded, std::span<const char>(t.folded.data(), t.folded.size()));
    appendSection(out, header, Entries, t.entries);
    appendSection(out, header, ByPopulation, t.byPopulation);
    appendSection(out, header, NamesByLength, t.namesByLength);
    appendSection(out, header, Names, std::span<const char>(t.names.data(), t.names.size()));
    appendSection(out, header, NameLetters, t.nameLetters);
    appendSection(out, header, NameLinesEnd, t.nameLinesEnd);
    appendSection(out, header, NameLines, t.nameLines);
    std::memcpy(out.data(), &header, sizeof header);
    return out;
}

std::optional<Atlas> atlasFromPrepared(QByteArray prepared, QByteArray atlas)
{
    auto tables = std::make_shared<Tables>();
    const auto size = static_cast<std::size_t>(prepared.size());
    tables->held = std::make_unique<std::uint64_t[]>(size / 8 + 1);
    std::memcpy(tables->held.get(), prepared.constData(), size);
    if (!tables->adopt(reinterpret_cast<const char*>(tables->held.get()), size))
        return std::nullopt;
    if (tables->text.empty()) {
        tables->heldAtlas = std::move(atlas);
        tables->text = view(tables->heldAtlas);
    }
    tables->prepared = true;
    return Atlas(std::move(tables));
}

namespace {

// The bytes of an open regular file, at most AtlasMaxFileBytes of them.
std::optional<QByteArray> readOpenFile(int fd, std::uintmax_t size)
{
    if (size > std::uintmax_t(AtlasMaxFileBytes))
        return std::nullopt;
    // What was measured, however the file changes meanwhile.
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t read = ::pread(fd, bytes.data() + done, size - done, static_cast<off_t>(done));
        if (read <= 0)
            return std::nullopt;
        done += static_cast<std::size_t>(read);
    }
    return bytes;
}

// The hash of an open file's first `size` bytes as hashText() takes it, or nullopt when it has fewer.
std::optional<std::uint64_t> hashOpenFile(int fd, std::uint64_t size)
{
    std::vector<char> block(HashBlockBytes);
    std::uint64_t h = 0;
    for (std::uint64_t at = 0; at < size; at += HashBlockBytes) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(HashBlockBytes, size - at));
        std::size_t done = 0;
        while (done < want) {
            const ssize_t read = ::pread(fd, block.data() + done, want - done, static_cast<off_t>(at + done));
            if (read <= 0)
                return std::nullopt;
            done += static_cast<std::size_t>(read);
        }
        h = hashBytes(std::string_view(block.data(), want), h);
    }
    return h;
}

struct OpenFile {
    int fd = -1;
    std::uintmax_t size = 0;
    OpenFile(const QString& path)
    {
        std::string reason;
        fd = openRegularFile(QFile::encodeName(path).toStdString(), reason, size);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

QString beside(const QString& atlasPath, const char* name)
{
    return QFileInfo(atlasPath).dir().filePath(QString::fromLatin1(name));
}

// The prepared file beside the atlas, when it was made from the atlas open as `atlas` and from
// the index beside it as they are now.
std::shared_ptr<Tables> mapPrepared(const QString& atlasPath, const OpenFile& atlas)
{
    const OpenFile prepared(beside(atlasPath, AtlasPreparedFileName));
    if (prepared.fd < 0 || prepared.size > MaxPreparedBytes)
        return nullptr;
    char bytes[sizeof(PreparedHeader)];
    if (::pread(prepared.fd, bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes))
        return nullptr;
    const std::optional<PreparedHeader> header = headerOf(bytes, sizeof bytes);
    const OpenFile index(beside(atlasPath, AtlasIndexFileName));
    const bool indexRead = index.fd >= 0 && index.size <= std::uintmax_t(AtlasMaxFileBytes);
    if (!header || header->atlasBytes != atlas.size
        || header->indexBytes != (indexRead ? std::uint64_t(index.size) : NoIndex)
        || hashOpenFile(atlas.fd, atlas.size) != header->atlasHash
        || (indexRead ? hashOpenFile(index.fd, index.size) : hashText({})) != header->indexHash)
        return nullptr;

    void* mapping = ::mmap(nullptr, prepared.size, PROT_READ, MAP_PRIVATE, prepared.fd, 0);
    if (mapping == MAP_FAILED)
        return nullptr;
    auto tables = std::make_shared<Tables>();
    tables->mapping = mapping;
    tables->mappedBytes = prepared.size;
    if (!tables->adopt(static_cast<const char*>(mapping), prepared.size))
        return nullptr;
    if (tables->text.empty()) {
        tables->atlasFile = ::dup(atlas.fd);
        tables->atlasFileBytes = atlas.size;
        if (tables->atlasFile < 0)
            return nullptr;
    }
    tables->prepared = true;
    return tables;
}

}  // namespace

std::optional<Atlas> readAtlas(const QString& path)
{
    const OpenFile atlas(path);
    if (atlas.fd < 0 || atlas.size > std::uintmax_t(AtlasMaxFileBytes))
        return std::nullopt;
    if (std::shared_ptr<Tables> prepared = mapPrepared(path, atlas))
        return Atlas(std::move(prepared));
    std::optional<QByteArray> bytes = readOpenFile(atlas.fd, atlas.size);
    if (!bytes)
        return std::nullopt;
    const OpenFile index(beside(path, AtlasIndexFileName));
    std::optional<QByteArray> indexBytes = index.fd >= 0 ? readOpenFile(index.fd, index.size) : std::nullopt;
    return Atlas(std::move(*bytes), std::move(indexBytes).value_or(QByteArray()));
}

QString writePreparedAtlas(const QString& atlasPath, const QString& preparedPath)
{
    const OpenFile atlas(atlasPath);
    if (atlas.fd < 0)
        return QStringLiteral("cannot read the atlas %1").arg(atlasPath);
    std::optional<QByteArray> bytes = readOpenFile(atlas.fd, atlas.size);
    if (!bytes)
        return QStringLiteral("cannot read the atlas %1 (at most %2 bytes)").arg(atlasPath).arg(AtlasMaxFileBytes);
    const OpenFile index(beside(atlasPath, AtlasIndexFileName));
    std::optional<QByteArray> indexBytes = index.fd >= 0 ? readOpenFile(index.fd, index.size) : std::nullopt;
    if (index.fd >= 0 && !indexBytes)
        return QStringLiteral("cannot read the index beside %1").arg(atlasPath);
    const QByteArray prepared = prepareAtlas(std::move(*bytes), std::move(indexBytes));
    FileReplacement replacement;
    std::string reason = replacement.stage(QFile::encodeName(preparedPath).toStdString(), view(prepared));
    if (reason.empty())
        reason = replacement.commit();
    return reason.empty() ? QString() : QStringLiteral("cannot write %1: %2").arg(preparedPath, toQString(reason));
}

}  // namespace zodiara
