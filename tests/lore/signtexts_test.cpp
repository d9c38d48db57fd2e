// The string table's ids and texts, the pair rule, the form of the compatibility texts, and
// the sign rules and lookups built on them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "chart/chart.h"
#include "lore/signtexts.h"

using namespace zodiara;

namespace {

// Twelve texts under each sign base, the lookup's two error texts and the pairs; nothing else.
// The texts themselves are checked where the boxes and the command line show them.
TEST(StringTable, HoldsTwelveTextsPerBaseTheErrorsAndTheSeventyEightPairs)
{
    constexpr int bases[] = {NegativeTraitsBase, PositiveTraitsBase, LuckyNumbersBase, AnatomyBase,
                             KeyWordBase,        KeyPhraseBase,      SymbolBase};
    for (int base : bases)
        for (int sign = 0; sign < 12; ++sign)
            EXPECT_FALSE(signText(base, sign).empty()) << base + sign;
    int present = 0;
    for (int id = -1; id <= 20000; ++id)
        present += stringTableText(id).has_value();
    EXPECT_EQ(present, 12 * int(std::size(bases)) + 2 + CompatibilityTextCount);
    // Out-of-range signs must not index past the tables.
    EXPECT_TRUE(signText(SymbolBase, 12).empty() && signText(SymbolBase, -1).empty());
    EXPECT_TRUE(compatibilityText(0, 12).empty() && compatibilityText(-1, 3).empty());
}

// One text per unordered pair, headed "<lower sign> and <higher sign>:" and one line feed.
TEST(compatibilityText, PairRuleAndFormOfEveryText)
{
    std::set<std::string_view> texts;
    for (int a = 0; a < 12; ++a) {
        for (int b = 0; b < 12; ++b) {
            const std::string_view text = stringTableText(compatibilityTextId(b, a)).value_or("");
            EXPECT_EQ(compatibilityText(a, b), text);
            if (a > b)
                continue;
            const std::string heading = std::string(SignNames[a]) + " and " + std::string(SignNames[b]) + ":\n";
            EXPECT_EQ(std::tuple(text.starts_with(heading), std::count(text.begin(), text.end(), '\n')),
                      std::tuple(true, 1))
                << text;
            texts.insert(text.substr(text.find('\n') + 1));
        }
    }
    EXPECT_EQ(texts.size(), std::size_t(CompatibilityTextCount)) << "two pairs share the same advice";
}

TEST(SignRules, DateRangesAgreeWithTheDateLookup)
{
    const auto month = [](const std::string& name) {
        return int(std::find(MonthNames.begin(), MonthNames.end(), name) - MonthNames.begin()) + 1;
    };
    for (int sign = 0; sign < 12; ++sign) {
        // Both ends of each range text, so the date lookup cannot drift from what the boxes show.
        std::istringstream range{std::string(SignDateRanges[sign])};
        std::string firstMonth, dash, lastMonth;
        int firstDay = 0, lastDay = 0;
        range >> firstMonth >> firstDay >> dash >> lastMonth >> lastDay;
        EXPECT_EQ(std::tuple(signOfDate(month(firstMonth), firstDay), signOfDate(month(lastMonth), lastDay)),
                  std::tuple(sign, sign))
            << SignDateRanges[sign];
    }
}

TEST(ParseSign, ReadsNamesIndexesAndBirthdaysAndRefusesTheRest)
{
    // clang-format off
    constexpr std::pair<std::string_view, int> cases[] = {  // -1: refused
        {"pIsCeS", 11}, {"07", 7}, {"12", -1}, {"-1", -1}, {"3-21", 0}, {"12-31", 9}, {"02-29", 11},
        {"04-31", -1}, {"13-01", -1}, {"03-021", -1}, {"03-", -1}, {"", -1}, {"Ari", -1}, {"+1", -1}};
    // clang-format on
    for (auto [text, sign] : cases)
        EXPECT_EQ(parseSign(text).value_or(-1), sign) << '"' << text << '"';
}

}  // namespace
