// How a chart is computed: the house system it got and the ephemeris it was asked for.
#pragma once

#include <optional>
#include <string_view>

namespace zodiara {

enum class HouseSystem { Placidus, Porphyry };

// Classic: the built-in mean-element theory. Precise: apparent positions from the ephemeris
// library, with its house routine for the angles and cusps.
enum class Ephemeris { Classic, Precise };

constexpr std::string_view houseSystemName(HouseSystem system)
{
    return system == HouseSystem::Porphyry ? "Porphyry" : "Placidus";
}

// "classic" or "precise".
constexpr std::string_view ephemerisName(Ephemeris ephemeris)
{
    return ephemeris == Ephemeris::Precise ? "precise" : "classic";
}

constexpr std::optional<Ephemeris> ephemerisFromName(std::string_view name)
{
    if (name == "classic")
        return Ephemeris::Classic;
    if (name == "precise")
        return Ephemeris::Precise;
    return std::nullopt;
}

}  // namespace zodiara
