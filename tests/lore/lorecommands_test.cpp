// "traits" and "compatibility" from the command line: what they print, and how they refuse.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <sys/wait.h>
#include <string>
#include <vector>

#include "lorecommands.h"
#include "signtexts.h"

using namespace zodiara;

namespace {

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

CommandRun runCommand(int (*command)(std::span<const std::string_view>, std::ostream&, std::ostream&),
               std::vector<std::string_view> args)
{
    std::ostringstream out, err;
    const int status = command(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(TraitsCommand, PrintsTheFactsOfTheTraitsBox)
{
    const CommandRun run = runCommand(runTraitsCommand, {"aries"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "Your sign is Aries the Ram\n"
              "Birthdays:       March 21 - April 19\n"
              "Quality:         Cardinal\n"
              "Element:         Fire\n"
              "Principle:       Active\n"
              "Ruled by:        Mars\n"
              "Opposite sign:   Libra\n"
              "Key phrase:      I am\n"
              "Key word:        activity\n"
              "Lucky Numbers:   01-10-19-28-37-46-55\n"
              "Anatomy:         head, face, brain, upper teeth\n"
              "Positive traits: pioneering, executive, competitive, impulsive, eager, courageous, "
              "independent, dynamic, lives in present, quick\n"
              "Negative traits: domineering, quick-tempered, violent, intolerant, hasty, arrogant, "
              "lacks follow-through\n");
}

TEST(TraitsCommand, NameIndexAndBirthdayAgree)
{
    const std::string byName = runCommand(runTraitsCommand, {"Capricorn"}).out;
    EXPECT_NE(byName.find("Ruled by:        Saturn\n"), std::string::npos);
    EXPECT_EQ(runCommand(runTraitsCommand, {"9"}).out, byName);
    EXPECT_EQ(runCommand(runTraitsCommand, {"01-05"}).out, byName);
    EXPECT_EQ(runCommand(runTraitsCommand, {"12-22"}).out, byName);
}

TEST(CompatibilityCommand, PrintsThePairsTextInEitherOrder)
{
    const CommandRun run = runCommand(runCompatibilityCommand, {"Pisces", "aries"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, std::string(*stringTableText(5011)) + "\n");
    EXPECT_EQ(runCommand(runCompatibilityCommand, {"0", "03-01"}).out, run.out);
    EXPECT_EQ(runCommand(runCompatibilityCommand, {"taurus", "05-20"}).out,
              std::string(*stringTableText(6001)) + "\n");
}

struct Refusal {
    bool compatibility;
    std::vector<std::string_view> args;
    std::string_view mentions;
};

class LoreCommandRefuses : public testing::TestWithParam<Refusal> {};

TEST_P(LoreCommandRefuses, WithOneLineAndStatusTwo)
{
    const Refusal row = GetParam();
    const CommandRun run = runCommand(row.compatibility ? runCompatibilityCommand : runTraitsCommand, row.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_NE(run.err.find(row.mentions), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(BadInput, LoreCommandRefuses, testing::Values(
    Refusal{false, {}, "expected one sign"},
    Refusal{false, {"Leo", "Virgo"}, "expected one sign"},
    Refusal{false, {"Ophiuchus"}, "\"Ophiuchus\" is not a sign"},
    Refusal{false, {"02-30"}, "\"02-30\" is not a sign"},
    Refusal{false, {"12"}, "\"12\" is not a sign"},
    Refusal{true, {"Leo"}, "expected two signs"},
    Refusal{true, {"Leo", "Virgo", "Libra"}, "expected two signs"},
    Refusal{true, {"Leo", "13-01"}, "\"13-01\" is not a sign"},
    Refusal{true, {"Lion", "Virgo"}, "\"Lion\" is not a sign"}));

#ifdef ZODIARA_CHART_EXE
// The commands as a script meets them, through the program itself.
std::string runProgram(const std::string& arguments, int& status)
{
    const std::string command = std::string(ZODIARA_CHART_EXE) + " " + arguments + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[512];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    const int raw = pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

TEST(ZodiaraChart, RunsBothLoreCommands)
{
    int status = -1;
    EXPECT_EQ(runProgram("compatibility leo aries", status), std::string(*stringTableText(5004)) + "\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(runProgram("traits 07-23", status), traitsReport(4));
    EXPECT_EQ(status, 0);
    const std::string refusal = runProgram("traits Ophiuchus", status);
    EXPECT_EQ(status, 2);
    EXPECT_NE(refusal.find("not a sign"), std::string::npos) << refusal;
}
#endif

}  // namespace
