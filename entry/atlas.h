// The plain-text atlas: reading its lines, parsing one line by character positions,
// and finding places in it for the lookup. No widgets here.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zodiara {

inline constexpr auto AtlasFileName = "atlas.txt";
// Beside the atlas and optional: each place's population and common names, one line per atlas line.
inline constexpr auto AtlasIndexFileName = "atlas-index.txt";
// Kept here rather than with the sign texts so that entry/ depends on no other GUI layer.
inline constexpr auto AtlasErrorCaption = "Error";
inline constexpr auto AtlasMissingText =
    "Error:  Atlas data file not found.   Recopy atlas.txt to your working directory.";
inline constexpr auto AtlasEmptyText = "The atlas file %1 lists no place. Each line needs a place name, two spaces, "
                                       "a longitude such as 074W00 and a latitude such as 40N43.";

// Far beyond any real line (the shipped atlas's reach 100 bytes, its index records 1 KiB): a
// longer line is skipped, so that one damaged line cannot take the memory of thousands.
inline constexpr std::size_t AtlasMaxLineBytes = 4096;
// Four times the shipped atlas; a larger file, or anything but a regular file, is not read.
inline constexpr std::int64_t AtlasMaxFileBytes = std::int64_t(64) << 20;

// The atlas file in the program's directory.
QString atlasPath(const QString& programDirectory);

// The lines of an atlas file's bytes, each whole, with only its "\n" or "\r\n" removed; no entry for
// a blank line (white space only) or a line longer than AtlasMaxLineBytes. Valid UTF-8 (an initial
// byte-order mark dropped) is read as UTF-8, anything else as Windows-1252.
QStringList atlasLines(QByteArrayView bytes);

// One line of an atlas's UTF-8 as text. A byte-order mark inside the file stays, where it stands, as
// the zero-width character it is: the blank-line rule counted it as ink.
QString atlasLineText(QByteArrayView utf8);

// One atlas line taken apart by positions: a place name, two or more spaces, "074W00",
// spaces, "40N43", then text naming a zone. Pieces are copied as found, unchecked.
struct AtlasLine {
    QString place;              // at most PlaceMaxChars characters
    bool hasLongitude = false;  // something but spaces follows the place name
    QString longitudeDegrees;   // up to 3 characters
    bool west = false;          // "W" at the direction position; anything else means East
    QString longitudeMinutes;   // up to 2 characters
    bool hasLatitude = false;   // something but spaces follows the longitude
    QString latitudeDegrees;    // up to 2 characters
    bool north = false;         // "N" at the direction position; anything else means South
    QString latitudeMinutes;    // up to 2 characters
    int zone = -1;              // time zone table index, or -1 when the line names none

    static constexpr int PlaceMaxChars = 49;
};

AtlasLine parseAtlasLine(QStringView line);

// The first zone, in table order, whose abbreviation stands in `text` as a whole word
// (not preceded or followed by a letter or digit); -1 when none does.
int zoneNamedIn(QStringView text);

// Lower case without accents, for case- and accent-insensitive matching ("Zürich" -> "zurich"),
// appended to `out` as UTF-8. `utf8` must be well-formed.
void appendFolded(std::string& out, std::string_view utf8);

// The lookup's word when the filter matches nothing, and when it offers the nearest names instead.
inline constexpr auto AtlasNoMatchText = "No place matches";
inline constexpr auto AtlasNearestText = "No place matches. The nearest names:";
// At most this many lines are offered for a misspelt filter.
inline constexpr std::size_t AtlasNearestLimit = 30;
// Names longer than this (in bytes of folded UTF-8) are never offered for a misspelling.
inline constexpr std::size_t AtlasNearestMaxNameBytes = 64;

// Prepared beside the atlas at build time from atlas.txt and atlas-index.txt: the search tables
// ready to be mapped, so that opening the lookup parses nothing. The atlas text stays the source
// of truth: a prepared file that is missing, damaged or made from other texts is not used.
inline constexpr auto AtlasPreparedFileName = "atlas-search.bin";

// The atlas as the lookup offers it: its lines as atlasLines() gives them, numbered from 0 without
// the blank and over-long ones, with the population and common names that the index gives each
// place, and a search over what a user reads as the place.
class Atlas {
public:
    Atlas();
    // `index` holds, per atlas line, "074W00 40N43<TAB>population<TAB>name<TAB>name..."; a record
    // whose coordinates differ from its line's is skipped, so a changed atlas never borrows
    // another place's names. Either text may be UTF-8 or Windows-1252.
    Atlas(QByteArray atlas, QByteArray index);

    int lineCount() const;
    QString line(int number) const;
    // Some line gives a place with both coordinates.
    bool hasPlaces() const;
    // Characters of the longest line (at most its bytes), for sizing a list.
    int longestLine() const;
    // Read from a prepared file rather than parsed from the texts.
    bool isPrepared() const;

    // Lines whose place text (name, region, country; not the coordinates or zones) or common
    // names hold `filter`, case and accents ignored, best first: a name equal to it, a name
    // starting with it, a name holding it at a word's start, the rest; within each, the more
    // populous first, then atlas order. An empty filter finds nothing.
    std::vector<int> find(QStringView filter) const;

    // For a misspelt filter: the lines whose name (the place text up to its first comma) or a
    // common name is a few edits from `filter`, case and accents ignored. An edit inserts,
    // deletes or replaces one character or swaps two adjacent ones; a filter of 3 or 4
    // characters may be 1 edit away, up to 8 characters 2, a longer one 3. The nearest first,
    // then as find() orders them; at most AtlasNearestLimit lines.
    std::vector<int> nearest(QStringView filter) const;

    // What the search reads: the lines, their folded text, the population order and the names.
    struct Tables;

private:
    explicit Atlas(std::shared_ptr<const Tables> tables);
    friend std::optional<Atlas> atlasFromPrepared(QByteArray prepared, QByteArray atlas);
    friend std::optional<Atlas> readAtlas(const QString& path);

    std::shared_ptr<const Tables> m_tables;
};

// The atlas at `path` with the index beside it, or nullopt when the atlas cannot be opened or read,
// is larger than AtlasMaxFileBytes or is not a regular file (a FIFO is never waited on). The
// prepared file beside them is mapped when it was made from these very texts (their sizes and
// a hash of their bytes tell); otherwise the texts are parsed.
std::optional<Atlas> readAtlas(const QString& path);

// The prepared file's bytes for an atlas and its index (nullopt when there is none), naming the
// texts it was made from. Lines are found in `atlas` itself when it is UTF-8, so the file holds no copy.
QByteArray prepareAtlas(QByteArray atlas, std::optional<QByteArray> index);

// The atlas from a prepared file's bytes and the atlas text it was made from, without asking
// whether it was; nullopt when the prepared bytes are not a whole, consistent prepared file.
std::optional<Atlas> atlasFromPrepared(QByteArray prepared, QByteArray atlas);

// Writes the prepared file for the atlas at `atlasPath` (and the index beside it) to
// `preparedPath`, replacing it whole or not at all. An empty text on success, else the reason.
QString writePreparedAtlas(const QString& atlasPath, const QString& preparedPath);

}  // namespace zodiara
