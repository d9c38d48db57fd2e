// "traits" and "compatibility" from the command line: what they print, and how they refuse.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <sys/wait.h>
#include <string>
#include <tuple>
#include <vector>

#include "lorecommands.h"
#include "signtexts.h"

using namespace zodiara;

namespace {

using Command = int (*)(std::span<const std::string_view>, std::ostream&, std::ostream&);

struct CommandRun {
    int status;
    std::string out, err;
};

CommandRun runCommand(Command command, std::vector<std::string_view> args)
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
    EXPECT_EQ(runCommand(runTraitsCommand, {"01-05"}).out, traitsReport(9));
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

TEST(LoreCommands, RefuseBadInputWithOneLineAndStatusTwo)
{
    const std::tuple<Command, std::vector<std::string_view>, std::string_view> cases[] = {
        {runTraitsCommand, {}, "expected one sign"},
        {runTraitsCommand, {"Ophiuchus"}, "\"Ophiuchus\" is not a sign"},
        {runCompatibilityCommand, {"Leo", "Virgo", "Libra"}, "expected two signs"},
        {runCompatibilityCommand, {"Lion", "Virgo"}, "\"Lion\" is not a sign"},
        {runCompatibilityCommand, {"Leo", "13-01"}, "\"13-01\" is not a sign"}};
    for (const auto& [command, args, mentions] : cases) {
        const CommandRun run = runCommand(command, args);
        SCOPED_TRACE(run.err);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1);
        EXPECT_NE(run.err.find(mentions), std::string::npos);
    }
}

#ifdef ZODIARA_CHART_EXE
// The commands as a script meets them, through the program itself.
std::string runProgram(const std::string& arguments, int& status)
{
    std::FILE* pipe = popen((std::string(ZODIARA_CHART_EXE) + " " + arguments + " 2>&1").c_str(), "r");
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
    EXPECT_NE(runProgram("traits Ophiuchus", status).find("not a sign"), std::string::npos);
    EXPECT_EQ(status, 2);
}
#endif

}  // namespace
