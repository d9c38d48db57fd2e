// The sign texts and the sign attributes that follow fixed rules.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "chart/chart.h"

namespace zodiara {

// The texts the traits box shows for each sign besides its name and the fixed rules.
enum class TraitKind { Symbol, KeyPhrase, KeyWord, LuckyNumbers, Anatomy, PositiveTraits, NegativeTraits };

// The sign's text of that kind, verbatim.
std::string_view signTrait(Sign sign, TraitKind kind);

// The planet that rules the sign.
constexpr Body rulingBody(Sign sign)
{
    constexpr Body rulers[SignCount] = {Body::Mars,    Body::Venus,   Body::Mercury, Body::Moon,
                                        Body::Sun,     Body::Mercury, Body::Venus,   Body::Pluto,
                                        Body::Jupiter, Body::Saturn,  Body::Uranus,  Body::Neptune};
    return rulers[index(sign)];
}

constexpr Sign oppositeSign(Sign sign) { return Sign{(index(sign) + 6) % SignCount}; }

// The three lines of the traits box's answer: "Your sign is", "<sign> the", the symbol.
std::string yourSignText(Sign sign);

// Everything the traits box shows about one sign, in the box's order.
struct SignTraits {
    Sign sign = Sign::Aries;
    std::string_view name, symbol, dateRange;
    std::string_view quality, element, principle, ruler, opposite;
    std::string_view keyPhrase, keyWord, luckyNumbers, anatomy;
    std::string_view positiveTraits, negativeTraits;
};
SignTraits signTraits(Sign sign);

// The sign for a month 1..12 and day 1..31 (29 February included); nullopt for a date that
// no year has.
[[nodiscard]] std::optional<Sign> signOfDate(int month, int day);

// A sign as a person types it: its name in any case, its index 0..11, or a birthday "MM-DD".
[[nodiscard]] std::optional<Sign> parseSign(std::string_view text);

}  // namespace zodiara
