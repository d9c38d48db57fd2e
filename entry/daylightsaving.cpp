#include "entry/daylightsaving.h"

#include "entry/atlas.h"

#include <QFile>

#include <unistd.h>

#include "chart/fileio.h"

#include <algorithm>

namespace zodiara {

namespace {

bool isZoneNameChar(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'/' || c == u'_'
           || c == u'-' || c == u'+';
}

bool sameAngle(const QString& degrees, const QString& minutes, bool positive, const GeoAngle& angle,
               CompassDirection positiveDirection)
{
    return degrees.trimmed().toInt() == angle.degrees && minutes.trimmed().toInt() == angle.minutes
           && positive == (angle.direction == positiveDirection);
}

}  // namespace

QString atlasZoneName(QStringView line)
{
    // Walk the fields the lookup reads: spaces, "074W00", spaces, "40N43"; the name follows.
    qsizetype pos = line.indexOf(u"  ");
    if (pos < 0)
        return {};
    for (const int width : {6, 5}) {
        while (pos < line.size() && line.at(pos) == u' ')
            ++pos;
        pos += width;
    }
    // The name is a field of its own, after a space.
    if (pos >= line.size() || line.at(pos) != u' ')
        return {};
    const QStringView rest = line.mid(pos).trimmed();
    const QStringView name = rest.mid(rest.lastIndexOf(u' ') + 1);
    // Abbreviations such as "EST" are zone names too, but an atlas line names its IANA zone as Area/Place.
    if (!name.contains(u'/') || !std::all_of(name.begin(), name.end(), isZoneNameChar))
        return {};
    return name.toString();
}

QString atlasLineOfPlace(const QString& atlasPath, const QString& place, const GeoAngle& longitude,
                         const GeoAngle& latitude)
{
    if (place.trimmed().isEmpty())
        return {};
    // Never waited on: a FIFO in the atlas's place would hold OK forever.
    std::string reason;
    std::uintmax_t size = 0;
    const int fd = openRegularFile(QFile::encodeName(atlasPath).toStdString(), reason, size);
    QFile file;
    if (fd < 0 || size > std::uintmax_t(AtlasMaxFileBytes)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return {};
    }
    // The whole file is read once and searched for the place at a line's start: a few milliseconds,
    // where parsing every line for the lookup takes a tenth of a second.
    const QByteArray text = file.readAll();
    const QByteArray key = place.toUtf8() + "  ";
    for (qsizetype at = text.startsWith(key) ? 0 : text.indexOf("\n" + key); at >= 0;
         at = text.indexOf("\n" + key, at + 1)) {
        const qsizetype start = text.at(at) == '\n' ? at + 1 : at;
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        const QString line = atlasLineText(QByteArrayView(text.constData() + start, end - start)).trimmed();
        const AtlasLine parsed = parseAtlasLine(line);
        if (parsed.place == place && parsed.hasLatitude
            && sameAngle(parsed.longitudeDegrees, parsed.longitudeMinutes, parsed.west, longitude, West)
            && sameAngle(parsed.latitudeDegrees, parsed.latitudeMinutes, parsed.north, latitude, North))
            return line;
    }
    return {};
}

}  // namespace zodiara
