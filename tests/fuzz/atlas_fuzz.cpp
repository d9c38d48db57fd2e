// Any bytes at all as an atlas file: every line short enough to keep must parse into pieces no
// longer than their positions allow, and a zone must be one the line really names. The same
// bytes as the atlas and its index: a search and the nearest names give each line at most once,
// and the prepared file made of them reads exactly as they do.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "chart/chart.h"
#include "chart/text1252.h"
#include "entry/atlas.h"

// White space as the atlas reader counts it: a line of nothing else is left out.
template <typename Char>
bool isBlank(Char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zodiara;
    const QStringList lines = atlasLines(QByteArrayView(data, static_cast<qsizetype>(size)));
    // Every line but the blank and over-long ones, which are skipped. The limit counts bytes of UTF-8,
    // which a Windows-1252 byte may take up to three of: a line near it may go either way.
    qsizetype kept = 0, either = 0;
    // A byte-order mark before UTF-8 text is no part of its first line.
    const bool utf8 = isValidUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    const bool mark = utf8 && size >= 3 && std::memcmp(data, "\xef\xbb\xbf", 3) == 0;
    for (std::size_t start = mark ? 3 : 0; start < size;) {
        const auto* end = static_cast<const std::uint8_t*>(std::memchr(data + start, '\n', size - start));
        const std::size_t next = end ? std::size_t(end - data) + 1 : size;
        std::size_t length = (end ? next - 1 : next) - start;
        if (end && length > 0 && data[next - 2] == '\r')
            --length;
        const bool blank = std::all_of(data + start, data + start + length, isBlank<std::uint8_t>);
        kept += !blank && length <= AtlasMaxLineBytes / 3;
        either += !blank && length > AtlasMaxLineBytes / 3 && length <= AtlasMaxLineBytes;
        start = next;
    }
    if (lines.size() < kept || lines.size() > kept + either)
        std::abort();

    for (const QString& line : lines) {
        if (line.contains(u'\n') || std::all_of(line.begin(), line.end(), isBlank<QChar>))
            std::abort();
        const AtlasLine parsed = parseAtlasLine(line);
        if (parsed.place.size() > AtlasLine::PlaceMaxChars || !line.startsWith(parsed.place))
            std::abort();
        if (parsed.longitudeDegrees.size() > 3 || parsed.longitudeMinutes.size() > 2
            || parsed.latitudeDegrees.size() > 2 || parsed.latitudeMinutes.size() > 2)
            std::abort();
        if (!parsed.hasLongitude && (parsed.hasLatitude || !parsed.longitudeDegrees.isEmpty()))
            std::abort();
        if (parsed.zone < -1 || parsed.zone >= ZoneCount || (parsed.zone >= 0 && !parsed.hasLatitude))
            std::abort();
        if (parsed.zone >= 0) {
            const std::string_view name = TimeZoneNames[static_cast<std::size_t>(parsed.zone)];
            const QString abbreviation = QString::fromLatin1(name.substr(0, name.find(',')));
            if (!line.contains(abbreviation))
                std::abort();
        }
    }

    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Atlas atlas(bytes, bytes);
    const std::optional<Atlas> prepared = atlasFromPrepared(prepareAtlas(bytes, bytes), bytes);
    if (atlas.lineCount() != lines.size() || !prepared || prepared->lineCount() != lines.size()
        || prepared->hasPlaces() != atlas.hasPlaces() || prepared->longestLine() != atlas.longestLine())
        std::abort();
    for (int line = 0; line < atlas.lineCount(); ++line)
        if (prepared->line(line) != atlas.line(line))
            std::abort();
    const QString first = lines.value(0).section(QStringLiteral("  "), 0, 0);
    for (const QString& filter : {first, first.left(3), first.left(6) + u'x', QStringLiteral("a")}) {
        for (const auto search : {&Atlas::find, &Atlas::nearest}) {
            std::vector<int> found = (atlas.*search)(filter);
            if (((*prepared).*search)(filter) != found)
                std::abort();
            std::sort(found.begin(), found.end());
            if (std::adjacent_find(found.begin(), found.end()) != found.end()
                || (!found.empty() && (found.front() < 0 || found.back() >= atlas.lineCount())))
                std::abort();
        }
    }
    return 0;
}
