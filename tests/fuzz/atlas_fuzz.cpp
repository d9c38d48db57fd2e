// Any bytes at all as an atlas file: every line it yields must parse into pieces no longer than
// their positions allow, and a zone must be one the line really names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "atlas.h"
#include "chart.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zodiara;
    const QStringList lines = atlasLines(QByteArrayView(data, static_cast<qsizetype>(size)));
    qsizetype lineEnds = 0;
    for (std::size_t i = 0; i < size; ++i)
        lineEnds += data[i] == '\n';
    if (lines.size() != lineEnds && lines.size() != lineEnds + 1)
        std::abort();

    for (const QString& line : lines) {
        if (line.contains(u'\n'))
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
        (void)foldForFilter(line);
    }
    return 0;
}
