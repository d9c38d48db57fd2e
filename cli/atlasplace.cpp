// The atlas module: the atlas beside the program, searched as the lookup's filter does.
#include "cli/modules.h"

#include <QString>

#include <filesystem>

#include "entry/atlas.h"
#include "entry/daylightsaving.h"

using namespace zodiara::cli;

void zodiaraFindAtlasPlace(std::string_view text, PlaceSearch& search)
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    const QString path = zodiara::atlasPath(QString::fromStdString(program.parent_path().string()));
    const std::optional<zodiara::Atlas> atlas = zodiara::readAtlas(path);
    if (!atlas) {
        search = {std::nullopt, "cannot read the atlas " + path.toStdString()};
        return;
    }
    const std::vector<int> found = atlas->find(QString::fromUtf8(text.data(), qsizetype(text.size())));
    for (const int number : found) {
        const QString line = atlas->line(number);
        const zodiara::AtlasLine parsed = zodiara::parseAtlasLine(line);
        if (!parsed.hasLatitude)
            continue;
        const auto angle = [](const QString& degrees, bool positive, char yes, char no, const QString& minutes) {
            return (degrees + QChar::fromLatin1(positive ? yes : no) + minutes).toStdString();
        };
        AtlasPlace place;
        place.line = line.simplified().toStdString();
        place.place = parsed.place.toStdString();
        place.longitude = angle(parsed.longitudeDegrees, parsed.west, 'W', 'E', parsed.longitudeMinutes);
        place.latitude = angle(parsed.latitudeDegrees, parsed.north, 'N', 'S', parsed.latitudeMinutes);
        place.zone = parsed.zone;
        place.ianaZone = zodiara::atlasZoneName(line).toStdString();
        search = {std::move(place), {}};
        return;
    }
    search = {std::nullopt, "no place of the atlas matches it"};
}
