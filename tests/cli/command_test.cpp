// zodiara-chart as a script sees it: exit statuses, standard output and error, files written.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "chart/chartfile.h"
#include "chartprocess.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

using zodiara::test::readFile;
using zodiara::test::writeFile;

class Cli : public testing::Test {
protected:
    void SetUp() override
    {
        static int count = 0;
        m_dir = fs::temp_directory_path() / ("zodiara-cli-" + std::to_string(getpid()) + "-" + std::to_string(++count));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        if (!HasFailure())
            fs::remove_all(m_dir);
    }

    fs::path path(std::string_view name) const { return m_dir / name; }

    // Runs the command with `input` on its standard input.
    Outcome run(const std::vector<std::string>& args, std::string_view input = {}) const
    {
        const fs::path in = path("stdin"), out = path("stdout"), err = path("stderr");
        writeFile(in, input);
        Outcome result;
        // The environment as it is now: the time-zone rows set TZ for the run.
        result.status = zodiara::test::runChart(args, zodiara::test::environmentWith({}), in, out, err);
        result.out = readFile(out);
        result.err = readFile(err);
        return result;
    }

    fs::path m_dir;
};

// reference chart: 1990-01-01 12:00 EST, 74W00 40N43
const std::vector<std::string> ReferenceArgs = {"compute", "--name", "Reference", "--place", "New York",
                                                "--date", "1990-01-01", "--time", "12:00", "--zone", "EST",
                                                "--lon", "74W00", "--lat", "40N43"};

std::vector<std::string> referenceWith(std::initializer_list<std::string> more)
{
    std::vector<std::string> args = ReferenceArgs;
    args.insert(args.end(), more);
    return args;
}

// Each output line, line feed included, must start with its prefix.
void expectLines(const std::string& out, const std::vector<std::string>& prefixes)
{
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line + "\n");
    ASSERT_EQ(lines.size(), prefixes.size()) << out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].starts_with(prefixes[i])) << lines[i] << "does not start with " << prefixes[i];
}

// Compares with a file in tests/data; ZODIARA_UPDATE_GOLDEN=1 rewrites the file instead.
void expectGolden(const Outcome& r, const char* name)
{
    ASSERT_EQ(std::tie(r.status, r.err), std::tuple(0, "")) << r.err;
    const fs::path golden = fs::path(ZODIARA_TEST_DATA) / name;
    if (std::getenv("ZODIARA_UPDATE_GOLDEN"))
        writeFile(golden, r.out);
    else
        EXPECT_EQ(r.out, readFile(golden)) << "differs from " << golden;
}

TEST_F(Cli, ReferenceChartMatchesGolden)
{
    expectGolden(run(referenceWith({"--json"})), "reference-chart.json");
    expectGolden(run(ReferenceArgs), "reference-chart.txt");
    // The chart file, every field at the offset the older program's files have it.
    Outcome saved = run(referenceWith({"--save", path("ref.cht").string()}));
    saved.out = readFile(path("ref.cht"));
    expectGolden(saved, "reference-chart.cht");
}

TEST_F(Cli, ShowSavesByteIdenticallyAndPrintsTheChartWithoutHowItWasComputed)
{
    const Outcome computed = run(referenceWith({"--json", "--save", path("a.cht").string()}));
    ASSERT_EQ(computed.status, 0) << computed.err;
    // What a longer earlier name left after the terminator, and the reserved double, must survive.
    std::string bytes = readFile(path("a.cht"));
    ASSERT_EQ(bytes.size(), zodiara::ChartFileSize);
    std::memcpy(bytes.data() + 594 + 10, "remnant", 7);
    const double reserved = 1234.5;
    std::memcpy(bytes.data() + 758, &reserved, sizeof reserved);
    writeFile(path("a.cht"), bytes);
    const Outcome r = run({"show", path("a.cht").string(), "--save", path("b.cht").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(path("b.cht")), bytes);

    const Outcome shown = run({"show", "--json", path("b.cht").string()});
    std::string expected = computed.out;
    const std::string_view computation = ",\"houseSystem\":\"Placidus\",\"ephemeris\":\"classic\"";
    ASSERT_NE(expected.find(computation), std::string::npos);
    expected.erase(expected.find(computation), computation.size());
    EXPECT_EQ(std::tie(shown.status, shown.out), std::tie(computed.status, expected)) << shown.err;
}

TEST_F(Cli, BatchReportsBadRowsAndGoesOn)
{
    const std::string header = "name,place,date,time,zone,dst,bc,lon,lat\r\n";
    const std::string csv = header + "Reference,New York,1990-01-01,12:00,EST,0,0,74W00,40N43\r\n"
        "Bad hour,,1990-01-01,24:00,6,0,0,74W00,40N43\r\n\r\n"
        "\"Quote \"\"Q\"\", Esq.\",\"Paris, France\",0044-03-15,12:00:30,CET,1,1,002E20,48N52\r\n"
        "Too few,fields\r\nBad zone,,1990-01-01,12:00,29,0,0,74W00,40N43\r\n"
        "\x1b[2JEve,,1990-01-01,12:00,EST,0,0,74W00,40N43\r\n";
    const Outcome r = run({"batch", "-"}, csv);
    EXPECT_EQ(std::tie(r.status, r.err), std::tuple(1, ""));
    expectLines(r.out, {run(referenceWith({"--json"})).out,
                        "{\"line\":3,\"error\":\"time \\\"24:00\\\": hour 24 is not within 0..23\"}\n",
                        "{\"name\":\"Quote \\\"Q\\\", Esq.\",\"place\":\"Paris, France\",\"birthDate\":{\"year\":44,"
                        "\"month\":3,\"day\":15},\"beforeChrist\":true,",
                        "{\"line\":6,", "{\"line\":7,\"error\":\"zone 29 does not exist",
                        "{\"line\":8,\"error\":\"name holds a control character"});
    EXPECT_NE(r.out.find("\"utDate\":{\"year\":-43,"), std::string::npos) << "1 BC is astronomical year 0";

    EXPECT_EQ(run({"batch", "-"}, csv.substr(0, csv.find("Bad hour"))).status, 0);
    writeFile(path("rows.csv"), csv);
    EXPECT_EQ(run({"batch", path("rows.csv").string()}).out, r.out);
    EXPECT_EQ(run({"batch"}, header).out, "");
}

TEST_F(Cli, PreciseEphemerisByOptionAndByColumn)
{
    const Outcome precise = run(referenceWith({"--json", "--ephemeris", "precise"}));
    ASSERT_EQ(precise.status, 0) << precise.err;
    EXPECT_NE(precise.out.find("\"ephemeris\":\"precise\""), std::string::npos);
    const Outcome classic = run(referenceWith({"--json", "--ephemeris", "classic"}));
    EXPECT_EQ(classic.out, run(referenceWith({"--json"})).out);
    EXPECT_NE(precise.out.substr(precise.out.find("\"bodies\"")), classic.out.substr(classic.out.find("\"bodies\"")));

    // Where the library has no positions: refused with the range, not ten bodies at 0° Aries.
    const std::string range = "precise positions cover only 28 February 3002 BC to 27 April 3003 (Universal Time)";
    const Outcome far = run({"compute", "--date", "5000-01-01", "--ephemeris", "precise"});
    EXPECT_EQ(std::tie(far.status, far.out, far.err),
              std::tuple(2, "", "zodiara-chart: " + range + "; use --ephemeris classic for this date\n"));

    const std::string row = "Reference,New York,1990-01-01,12:00,EST,0,0,74W00,40N43";
    const Outcome rows = run({"batch", "-"}, "name,place,date,time,zone,dst,bc,lon,lat,ephemeris\n" + row
        + ",precise\n" + row + ",\n" + row + ",exact\n" + row + "\nFar,,5000-01-01,12:00,EST,0,0,74W00,40N43,precise\n"
        + row + ",precise\n");
    EXPECT_EQ(rows.status, 1);
    expectLines(rows.out, {precise.out, classic.out,
                           "{\"line\":4,\"error\":\"ephemeris \\\"exact\\\" is neither classic nor precise\"}\n",
                           "{\"line\":5,", "{\"line\":6,\"error\":\"" + range + "\"}\n", precise.out});
}

TEST_F(Cli, PolarChartSaysPorphyryAndHasNoNonFiniteNumbers)
{
    const Outcome r = run({"compute", "--date", "1990-06-21", "--time", "12:00", "--lat", "89N00", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"houseSystem\":\"Porphyry\""), std::string::npos);
    EXPECT_EQ(r.out.find("null"), std::string::npos);
}

// A chart of "now" is of the real instant whatever zone the machine is set to: its Universal
// Time is the UTC clock, for the default zone (EST), for UT and for a half-hour zone with
// daylight saving. Whole instants are compared, so a run across midnight passes too.
TEST_F(Cli, NowIsTheCurrentInstantOnTheChartsZoneClock)
{
    using namespace std::chrono;
    const char* const savedTz = std::getenv("TZ");
    const std::string saved = savedTz ? savedTz : "";
    const std::vector<std::vector<std::string>> zones = {{}, {"--zone", "0"}, {"--zone", "NST", "--dst"}};
    for (const char* tz : {"UTC", "Pacific/Kiritimati", "America/St_Johns"}) {
        setenv("TZ", tz, 1);
        for (const std::vector<std::string>& zone : zones) {
            std::vector<std::string> args = {"compute", "--json"};
            args.insert(args.end(), zone.begin(), zone.end());
            const sys_seconds before = floor<seconds>(system_clock::now());
            const Outcome r = run(args);
            const sys_seconds after = ceil<seconds>(system_clock::now());
            int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
            const std::size_t at = std::min(r.out.find("\"utDate\""), r.out.size());
            const char* form = "\"utDate\":{\"year\":%d,\"month\":%d,\"day\":%d},"
                               "\"universalTime\":{\"hour\":%d,\"minute\":%d,\"second\":%d";
            ASSERT_EQ(std::sscanf(r.out.c_str() + at, form, &y, &mo, &d, &h, &mi, &s), 6) << r.out << r.err;
            const sys_seconds ut = sys_days(year(y) / mo / d) + hours(h) + minutes(mi) + seconds(s);
            EXPECT_TRUE(ut >= before - 2s && ut <= after + 2s)
                << "TZ=" << tz << " " << testing::PrintToString(zone) << ": " << (ut - before).count() << " s off";
        }
    }
    savedTz ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
}

struct BadInput {
    const char* label;
    std::vector<std::string> args;
    std::string stdinText = {};
};

class CliBadInput : public Cli, public testing::WithParamInterface<BadInput> {};

TEST_P(CliBadInput, OneLineOnStderrExitTwoNothingWritten)
{
    BadInput bad = GetParam();
    for (std::string& arg : bad.args) {
        if (arg.starts_with("DIR/"))
            arg = path(arg.substr(4)).string();
    }
    const Outcome r = run(bad.args, bad.stdinText);
    EXPECT_EQ(std::tie(r.status, r.out), std::tuple(2, ""));
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(r.err.starts_with("zodiara-chart: ")) << r.err;
    EXPECT_FALSE(fs::exists(path("out.cht")));
}

BadInput compute(const char* label, std::initializer_list<std::string> more)
{
    std::vector<std::string> args = {"compute", "--save", "DIR/out.cht", "--json"};
    args.insert(args.end(), more);
    return {label, args};
}

// One row per class; the value parsers' own tests hold the other refused forms.
INSTANTIATE_TEST_SUITE_P(Classes, CliBadInput, testing::Values(
    compute("ImpossibleDate", {"--date", "1990-02-30"}), compute("Hour24", {"--time", "24:00"}),
    compute("Zone29", {"--zone", "29"}), compute("Longitude181", {"--lon", "181W00"}),
    compute("NameTooLong", {"--name", std::string(50, 'n')}), compute("NameWithLineBreak", {"--name", "Ada\nEve"}),
    compute("PlaceWithEscape", {"--place", "\x1b[2JParis"}), compute("UnknownOption", {"--colour"}),
    compute("StrayArgument", {"tomorrow"}),
    BadInput{"SaveIntoMissingDirectory", {"compute", "--save", "DIR/no/out.cht"}},
    BadInput{"NoCommand", {}}, BadInput{"UnknownCommand", {"draw"}}, BadInput{"ShowNoFile", {"show"}},
    BadInput{"ShowInvalidFile", {"show", ZODIARA_TEST_DATA "/reference-chart.txt", "--save", "DIR/out.cht"}},
    BadInput{"BatchMissingFile", {"batch", "DIR/none.csv"}},
    BadInput{"BatchWrongHeader", {"batch"}, "name,date\nA,1990-01-01\n"}, BadInput{"BatchEmptyInput", {"batch"}, ""}),
    [](const testing::TestParamInfo<BadInput>& info) { return info.param.label; });

}  // namespace
