// The sign texts of the string table and the sign attributes that follow fixed rules.
// Sign indexes are those of SignNames: 0 Aries .. 11 Pisces.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zodiara {

// A sign's text has the id base + sign index.
inline constexpr int NegativeTraitsBase = 1000;
inline constexpr int PositiveTraitsBase = 2000;
inline constexpr int LuckyNumbersBase = 3000;
inline constexpr int AnatomyBase = 4000;
inline constexpr int KeyWordBase = 4100;
inline constexpr int KeyPhraseBase = 4200;
inline constexpr int SymbolBase = 4300;
inline constexpr int CompatibilityBase = 5000;

// The atlas lookup's error box: caption and text.
inline constexpr int AtlasErrorCaptionId = 101;
inline constexpr int AtlasNotFoundTextId = 102;

inline constexpr int CompatibilityTextCount = 78;

// The string-table text with that id, verbatim; nullopt for an id the table lacks.
std::optional<std::string_view> stringTableText(int id);

// Text base + sign for a sign 0..11; empty for an id the table lacks.
std::string_view signText(int base, int sign);

// Id of the text for a pair of signs 0..11, in either order: 5000 + 1000 * min + max.
constexpr int compatibilityTextId(int a, int b)
{
    return a <= b ? CompatibilityBase + 1000 * a + b : CompatibilityBase + 1000 * b + a;
}

// The pair's text, headed "<lower sign> and <higher sign>:" and a line feed.
std::string_view compatibilityText(int a, int b);

// Body index (BodyNames) of the planet that rules the sign.
constexpr int rulingBody(int sign)
{
    constexpr int rulers[12] = {4, 3, 2, 0, 1, 2, 3, 9, 5, 6, 7, 8};
    return rulers[sign];
}

constexpr int oppositeSign(int sign) { return (sign + 6) % 12; }

// The three lines of the traits box's answer: "Your sign is", "<sign> the", the symbol.
std::string yourSignText(int sign);

// Everything the traits box shows about one sign, in the box's order.
struct SignTraits {
    int sign = 0;
    std::string_view name, symbol, dateRange;
    std::string_view quality, element, principle, ruler, opposite;
    std::string_view keyPhrase, keyWord, luckyNumbers, anatomy;
    std::string_view positiveTraits, negativeTraits;
};
SignTraits signTraits(int sign);

// The sign for a month 1..12 and day 1..31 (29 February included); nullopt for a date that
// no year has.
std::optional<int> signOfDate(int month, int day);

// A sign as a person types it: its name in any case, its index 0..11, or a birthday "MM-DD".
std::optional<int> parseSign(std::string_view text);

}  // namespace zodiara
