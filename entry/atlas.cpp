#include "atlas.h"

#include "chart.h"
#include "textconversion.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <string_view>

namespace zodiara {

QString atlasPath(const QString& programDirectory)
{
    return QDir(programDirectory).filePath(QString::fromLatin1(AtlasFileName));
}

static QString decodeAtlas(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return toQString(utf8FromWindows1252(std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size()))));
}

QStringList atlasLines(QByteArrayView bytes)
{
    const QString text = decodeAtlas(bytes);
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        else if (end > start && text.at(end - 1) == u'\r')
            --end;
        lines.append(text.mid(start, end - start));
        start = next;
    }
    return lines;
}

std::optional<QStringList> readAtlasFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return atlasLines(bytes);
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

void appendFolded(std::u16string& out, QStringView text)
{
    // Atlases are mostly ASCII; the cache keeps the slow Unicode path to once per character.
    static thread_local QHash<char16_t, std::u16string> foldedChars;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out.push_back(u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u);
            continue;
        }
        if (c.isSurrogate()) {
            out.push_back(u);
            continue;
        }
        auto it = foldedChars.constFind(u);
        if (it == foldedChars.constEnd()) {
            // Letters with a stroke have no decomposition but are read as their plain letter.
            static const QHash<char16_t, std::u16string> strokes = {
                {u'\u0141', u"l"}, {u'\u0142', u"l"}, {u'\u00d8', u"o"}, {u'\u00f8', u"o"},
                {u'\u0110', u"d"}, {u'\u0111', u"d"}, {u'\u0126', u"h"}, {u'\u0127', u"h"},
                {u'\u00c6', u"ae"}, {u'\u00e6', u"ae"}, {u'\u0152', u"oe"}, {u'\u0153', u"oe"},
                {u'\u0131', u"i"}};
            std::u16string plain;
            if (const auto stroke = strokes.constFind(u); stroke != strokes.constEnd()) {
                plain = *stroke;
            } else {
                QString stripped;
                for (const QChar part : QString(c).normalized(QString::NormalizationForm_KD))
                    if (!part.isMark())
                        stripped.append(part);
                plain = stripped.toCaseFolded().toStdU16String();
            }
            it = foldedChars.insert(u, plain);
        }
        out += *it;
    }
}

QString foldForFilter(QStringView text)
{
    std::u16string folded;
    folded.reserve(static_cast<std::size_t>(text.size()));
    appendFolded(folded, text);
    return QString::fromStdU16String(folded);
}

}  // namespace zodiara
