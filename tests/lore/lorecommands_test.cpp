// "traits" and "compatibility" as the command line runs them: what they print, and how they refuse.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "lore/lorecommands.h"
#include "lore/signtexts.h"

using namespace zodiara;

namespace {

using Command = int (*)(std::span<const std::string_view>, std::ostream&, std::ostream&);

// Status, output and error output.
std::tuple<int, std::string, std::string> runCommand(Command command, std::vector<std::string_view> args)
{
    std::ostringstream out, err;
    const int status = command(args, out, err);
    return {status, out.str(), err.str()};
}

std::string textLine(int id)
{
    return std::string(*stringTableText(id)) + "\n";
}

TEST(LoreCommands, PrintTheBoxesTextsForAnyFormOfSign)
{
    EXPECT_EQ(
        runCommand(runTraitsCommand, {"aries"}),
        std::tuple(0,
                   "Your sign is Aries the Ram\nBirthdays:       March 21 - April 19\nQuality:         Cardinal\n"
                   "Element:         Fire\nPrinciple:       Active\nRuled by:        Mars\nOpposite sign:   Libra\n"
                   "Key phrase:      I am\nKey word:        activity\nLucky Numbers:   01-10-19-28-37-46-55\n"
                   "Anatomy:         head, face, brain, upper teeth\n"
                   "Positive traits: pioneering, executive, competitive, impulsive, eager, courageous, "
                   "independent, dynamic, lives in present, quick\n"
                   "Negative traits: domineering, quick-tempered, violent, intolerant, hasty, arrogant, "
                   "lacks follow-through\n",
                   ""));
    EXPECT_EQ(runCommand(runTraitsCommand, {"01-05"}), std::tuple(0, traitsReport(9), ""));
    // Either order of a pair, by name, index or birthday.
    for (const auto& pair : {std::vector<std::string_view>{"Pisces", "aries"}, {"0", "03-01"}})
        EXPECT_EQ(runCommand(runCompatibilityCommand, pair), std::tuple(0, textLine(5011), ""));
}

TEST(LoreCommands, RefuseBadInputWithOneLineAndStatusTwo)
{
    // clang-format off
    const std::tuple<Command, std::vector<std::string_view>, std::string_view> cases[] = {
        {runTraitsCommand, {}, "expected one sign"}, {runTraitsCommand, {"Ophiuchus"}, "\"Ophiuchus\" is not a sign"},
        {runCompatibilityCommand, {"Leo", "Virgo", "Libra"}, "expected two signs"},
        {runCompatibilityCommand, {"Lion", "Virgo"}, "\"Lion\" is not a sign"},
        {runCompatibilityCommand, {"Leo", "13-01"}, "\"13-01\" is not a sign"}};
    // clang-format on
    for (const auto& [command, args, mentions] : cases) {
        const auto [status, out, err] = runCommand(command, args);
        const bool oneLine = err.find('\n') == err.size() - 1, mentioned = err.find(mentions) != std::string::npos;
        EXPECT_EQ(std::tie(status, out, oneLine, mentioned), std::tuple(2, "", true, true)) << err;
    }
}

}  // namespace
