// The pair rule and the form of the compatibility texts, the sign rules and lookups built on
// them, and the "traits" and "compatibility" commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "chart/chart.h"
#include "lore/compatibilitytexts.h"
#include "lore/lorecommands.h"
#include "lore/signtexts.h"

using namespace zodiara;

namespace {

// One text per unordered pair, headed "<earlier sign> and <later sign>:" and one line feed.
TEST(CompatibilityText, PairRuleAndFormOfEveryText)
{
    std::set<std::string_view> texts;
    for (int a = 0; a < SignCount; ++a) {
        for (int b = 0; b < SignCount; ++b) {
            const std::string_view text = compatibilityText(Sign{a}, Sign{b});
            const std::string heading =
                std::string(SignNames[std::min(a, b)]) + " and " + std::string(SignNames[std::max(a, b)]) + ":\n";
            EXPECT_TRUE(text.starts_with(heading) && std::count(text.begin(), text.end(), '\n') == 1) << text;
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
    // Both ends of each range text, so the date lookup cannot drift from what the boxes show.
    for (int i = 0; i < SignCount; ++i) {
        std::istringstream range{std::string(SignDateRanges[i])};
        std::string first, dash, last;
        int firstDay = 0, lastDay = 0;
        range >> first >> firstDay >> dash >> last >> lastDay;
        EXPECT_EQ(signOfDate(month(first), firstDay), Sign{i}) << SignDateRanges[i];
        EXPECT_EQ(signOfDate(month(last), lastDay), Sign{i}) << SignDateRanges[i];
    }
}

TEST(ParseSign, ReadsNamesIndexesAndBirthdaysAndRefusesTheRest)
{
    // clang-format off
    constexpr std::pair<std::string_view, int> cases[] = {  // -1: refused
        {"pIsCeS", 11}, {"07", 7}, {"12", -1}, {"-1", -1}, {"3-21", 0}, {"12-31", 9}, {"02-29", 11},
        {"04-31", -1}, {"13-01", -1}, {"03-021", -1}, {"03-", -1}, {"", -1}, {"Ari", -1}, {"+1", -1}};
    // clang-format on
    for (auto [text, sign] : cases) {
        const std::optional<Sign> parsed = parseSign(text);
        EXPECT_EQ(parsed ? index(*parsed) : -1, sign) << '"' << text << '"';
    }
}

using Command = LoreAnswer (*)(std::span<const std::string_view>);

// Status, output and refusal.
std::tuple<int, std::string, std::string> runCommand(Command command, std::vector<std::string_view> args)
{
    LoreAnswer answer = command(args);
    return {answer.status, std::move(answer.output), std::move(answer.refusal)};
}

TEST(LoreCommands, PrintTheBoxesTextsForAnyFormOfSign)
{
    const std::string aries = "Your sign is Aries the Ram\nBirthdays:       March 21 - April 19\n"
                              "Quality:         Cardinal\nElement:         Fire\nPrinciple:       Active\n"
                              "Ruled by:        Mars\nOpposite sign:   Libra\nKey phrase:      I am\n"
                              "Key word:        activity\nLucky Numbers:   01-10-19-28-37-46-55\n"
                              "Anatomy:         head, face, brain, upper teeth\n"
                              "Positive traits: pioneering, executive, competitive, impulsive, eager, courageous, "
                              "independent, dynamic, lives in present, quick\n"
                              "Negative traits: domineering, quick-tempered, violent, intolerant, hasty, arrogant, "
                              "lacks follow-through\n";
    EXPECT_EQ(runCommand(runTraitsCommand, {"aries"}), std::tuple(0, aries, ""));
    EXPECT_EQ(runCommand(runTraitsCommand, {"01-05"}), std::tuple(0, traitsReport(Sign::Capricorn), ""));
    // Either order of a pair, by name, index or birthday.
    for (const auto& pair : {std::vector<std::string_view>{"Pisces", "aries"}, {"0", "03-01"}})
        EXPECT_EQ(runCommand(runCompatibilityCommand, pair),
                  std::tuple(0, std::string(compatibilityText(Sign::Aries, Sign::Pisces)) + "\n", ""));
}

// The program's name and the line end are the caller's; the refusal opens with the command's name.
TEST(LoreCommands, RefuseBadInputWithOneLineAndStatusTwo)
{
    // clang-format off
    const std::tuple<Command, std::vector<std::string_view>, std::string_view> cases[] = {
        {runTraitsCommand, {}, "traits: expected one sign"},
        {runTraitsCommand, {"Ophiuchus"}, "traits: \"Ophiuchus\" is not a sign"},
        {runCompatibilityCommand, {"Leo", "Virgo", "Libra"}, "compatibility: expected two signs"},
        {runCompatibilityCommand, {"Lion", "Virgo"}, "compatibility: \"Lion\" is not a sign"},
        {runCompatibilityCommand, {"Leo", "13-01"}, "compatibility: \"13-01\" is not a sign"}};
    // clang-format on
    for (const auto& [command, args, opening] : cases) {
        const auto [status, out, refusal] = runCommand(command, args);
        const bool oneLine = refusal.find_first_of("\r\n") == std::string::npos;
        EXPECT_EQ(std::tie(status, out, oneLine), std::tuple(2, "", true)) << refusal;
        EXPECT_TRUE(refusal.starts_with(opening)) << refusal;
    }
}

}  // namespace
