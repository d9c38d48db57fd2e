// The plain-text atlas: reading its lines, parsing one line by character positions,
// and folding text for the lookup filter. No widgets here.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <string>

namespace zodiara {

inline constexpr auto AtlasFileName = "atlas.txt";
// Kept here rather than with the sign texts so that entry/ depends on no other GUI layer.
inline constexpr auto AtlasErrorCaption = "Error";
inline constexpr auto AtlasMissingText =
    "Error:  Atlas data file not found.   Recopy atlas.txt to your working directory.";

// The atlas file in the program's directory.
QString atlasPath(const QString& programDirectory);

// The lines of an atlas file's bytes, each whole, with only its "\n" or "\r\n" removed; no entry
// after a final line end. Valid UTF-8 (an initial byte-order mark dropped) is read as UTF-8,
// anything else as Windows-1252.
QStringList atlasLines(QByteArrayView bytes);

// The lines of the file at `path`, or nullopt when it cannot be opened or read.
std::optional<QStringList> readAtlasFile(const QString& path);

// One atlas line taken apart by positions: a place name, two or more spaces, "074W00",
// spaces, "40N43", then text naming a zone. Pieces are copied as found, unchecked.
struct AtlasLine {
    QString place;             // at most PlaceMaxChars characters
    bool hasLongitude = false; // something but spaces follows the place name
    QString longitudeDegrees;  // up to 3 characters
    bool west = false;         // "W" at the direction position; anything else means East
    QString longitudeMinutes;  // up to 2 characters
    bool hasLatitude = false;  // something but spaces follows the longitude
    QString latitudeDegrees;   // up to 2 characters
    bool north = false;        // "N" at the direction position; anything else means South
    QString latitudeMinutes;   // up to 2 characters
    int zone = -1;             // time zone index 0..28, or -1 when the line names none

    static constexpr int PlaceMaxChars = 49;
};

AtlasLine parseAtlasLine(QStringView line);

// The first zone, in table order, whose abbreviation stands in `text` as a whole word
// (not preceded or followed by a letter or digit); -1 when none does.
int zoneNamedIn(QStringView text);

// Lower case without accents, for case- and accent-insensitive matching ("Zürich" -> "zurich").
QString foldForFilter(QStringView text);
// The same, appended to `out`: the lookup folds a whole atlas into one buffer.
void appendFolded(std::u16string& out, QStringView text);

}  // namespace zodiara
