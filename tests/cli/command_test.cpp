// zodiara-chart as a script sees it: exit statuses, standard output and error, files written.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "chart.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

class Cli : public testing::Test {
protected:
    void SetUp() override
    {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        m_dir = fs::temp_directory_path() / ("zodiara-cli-" + std::to_string(::getpid()) + "-" + name);
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
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> argv{const_cast<char*>(ZODIARA_CHART_EXE)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        pid_t pid = 0;
        Outcome result;
        if (posix_spawn(&pid, ZODIARA_CHART_EXE, &actions, nullptr, argv.data(), environ) == 0) {
            int status = 0;
            waitpid(pid, &status, 0);
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        posix_spawn_file_actions_destroy(&actions);
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

// Compares with a file in tests/data; ZODIARA_UPDATE_GOLDEN=1 rewrites the file instead.
void expectGolden(const std::string& actual, const char* name)
{
    const fs::path golden = fs::path(ZODIARA_TEST_DATA) / name;
    if (std::getenv("ZODIARA_UPDATE_GOLDEN")) {
        writeFile(golden, actual);
        return;
    }
    EXPECT_EQ(actual, readFile(golden)) << "differs from " << golden;
}

TEST_F(Cli, ReferenceChartJsonMatchesGolden)
{
    const Outcome r = run(referenceWith({"--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    expectGolden(r.out, "reference-chart.json");
}

TEST_F(Cli, ReferenceChartReportMatchesGolden)
{
    const Outcome r = run(ReferenceArgs);
    ASSERT_EQ(r.status, 0) << r.err;
    expectGolden(r.out, "reference-chart.txt");
}

TEST_F(Cli, ZoneByAbbreviationOrIndexGivesTheSameChart)
{
    std::vector<std::string> byIndex = referenceWith({"--json"});
    byIndex[10] = "6";
    EXPECT_EQ(run(byIndex).out, run(referenceWith({"--json"})).out);
}

TEST_F(Cli, ShowSaveIsByteIdenticalIncludingUnusedBytes)
{
    ASSERT_EQ(run(referenceWith({"--save", path("a.cht").string()})).status, 0);
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
}

TEST_F(Cli, ShowJsonIsTheComputedChartWithoutHouseSystem)
{
    const Outcome computed = run(referenceWith({"--json", "--save", path("a.cht").string()}));
    ASSERT_EQ(computed.status, 0) << computed.err;
    const Outcome shown = run({"show", "--json", path("a.cht").string()});
    ASSERT_EQ(shown.status, 0) << shown.err;
    std::string expected = computed.out;
    const std::string_view computation = ",\"houseSystem\":\"Placidus\",\"ephemeris\":\"classic\"";
    const auto at = expected.find(computation);
    ASSERT_NE(at, std::string::npos);
    expected.erase(at, computation.size());
    EXPECT_EQ(shown.out, expected);
}

TEST_F(Cli, BatchReportsBadRowsAndGoesOn)
{
    const std::string csv =
        "name,place,date,time,zone,dst,bc,lon,lat\r\n"
        "Reference,New York,1990-01-01,12:00,EST,0,0,74W00,40N43\r\n"
        "Bad hour,,1990-01-01,24:00,6,0,0,74W00,40N43\r\n"
        "\r\n"
        "\"Quote \"\"Q\"\", Esq.\",\"Paris, France\",0044-03-15,12:00:30,CET,1,1,002E20,48N52\r\n"
        "Too few,fields\r\n"
        "Bad zone,,1990-01-01,12:00,29,0,0,74W00,40N43\r\n";
    const Outcome r = run({"batch", "-"}, csv);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    std::vector<std::string> lines;
    std::istringstream out(r.out);
    for (std::string line; std::getline(out, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0] + "\n", run(referenceWith({"--json"})).out);
    EXPECT_TRUE(lines[1].starts_with("{\"line\":3,\"error\":\"")) << lines[1];
    EXPECT_NE(lines[1].find("hour 24"), std::string::npos) << lines[1];
    EXPECT_TRUE(lines[2].starts_with("{\"name\":\"Quote \\\"Q\\\", Esq.\",\"place\":\"Paris, France\","
                                     "\"birthDate\":{\"year\":44,\"month\":3,\"day\":15},\"beforeChrist\":true,"))
        << lines[2];
    EXPECT_NE(lines[2].find("\"utDate\":{\"year\":-43,"), std::string::npos) << lines[2];
    EXPECT_TRUE(lines[3].starts_with("{\"line\":6,")) << lines[3];
    EXPECT_TRUE(lines[4].starts_with("{\"line\":7,")) << lines[4];

    const Outcome good = run({"batch", "-"}, csv.substr(0, csv.find("Bad hour")));
    EXPECT_EQ(good.status, 0) << good.err;
}

TEST_F(Cli, BatchFromFileAndEmptyInput)
{
    writeFile(path("rows.csv"), "name,place,date,time,zone,dst,bc,lon,lat\nA,,2000-01-01,00:00,0,0,0,0E00,0N00\n");
    const Outcome r = run({"batch", path("rows.csv").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
    EXPECT_EQ(run({"batch"}, "name,place,date,time,zone,dst,bc,lon,lat\n").out, "");
}

TEST_F(Cli, PreciseEphemerisByOptionAndByColumn)
{
    const Outcome precise = run(referenceWith({"--json", "--ephemeris", "precise"}));
    ASSERT_EQ(precise.status, 0) << precise.err;
    EXPECT_NE(precise.out.find("\"ephemeris\":\"precise\""), std::string::npos);
    const Outcome classic = run(referenceWith({"--json", "--ephemeris", "classic"}));
    EXPECT_EQ(classic.out, run(referenceWith({"--json"})).out);
    EXPECT_NE(precise.out, classic.out);

    const std::string csv = "name,place,date,time,zone,dst,bc,lon,lat,ephemeris\n"
                            "Reference,New York,1990-01-01,12:00,EST,0,0,74W00,40N43,precise\n"
                            "Reference,New York,1990-01-01,12:00,EST,0,0,74W00,40N43,\n"
                            "Reference,New York,1990-01-01,12:00,EST,0,0,74W00,40N43,exact\n"
                            "Nine,fields,1990-01-01,12:00,EST,0,0,74W00,40N43\n";
    const Outcome rows = run({"batch", "-"}, csv);
    EXPECT_EQ(rows.status, 1);
    std::istringstream out(rows.out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(out, line);)
        lines.push_back(line + "\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], precise.out);
    EXPECT_EQ(lines[1], classic.out);
    EXPECT_NE(lines[2].find("neither classic nor precise"), std::string::npos) << lines[2];
    EXPECT_TRUE(lines[3].starts_with("{\"line\":5,")) << lines[3];
}

TEST_F(Cli, PolarChartSaysPorphyryAndHasNoNonFiniteNumbers)
{
    const Outcome r = run({"compute", "--date", "1990-06-21", "--time", "12:00", "--lat", "89N00", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"houseSystem\":\"Porphyry\""), std::string::npos);
    EXPECT_EQ(r.out.find("null"), std::string::npos);
}

struct BadInput {
    const char* label;
    std::vector<std::string> args;
    std::string stdinText;
};

void PrintTo(const BadInput& bad, std::ostream* os) { *os << bad.label; }

class CliBadInput : public Cli, public testing::WithParamInterface<BadInput> {};

TEST_P(CliBadInput, OneLineOnStderrExitTwoNothingWritten)
{
    BadInput bad = GetParam();
    writeFile(path("short.cht"), "0123456789");
    std::string invalid(zodiara::ChartFileSize, '\0');
    invalid[644] = 40;  // zone 40
    writeFile(path("invalid.cht"), invalid);
    for (std::string& arg : bad.args) {
        if (arg == "DIR/")
            arg = m_dir.string() + "/";
        else if (arg.starts_with("DIR/"))
            arg = path(arg.substr(4)).string();
    }
    const Outcome r = run(bad.args, bad.stdinText);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(r.err.starts_with("zodiara-chart: ")) << r.err;
    EXPECT_FALSE(fs::exists(path("out.cht")));
}

std::vector<std::string> computeWith(std::initializer_list<std::string> more)
{
    std::vector<std::string> args = {"compute", "--save", "DIR/out.cht", "--json"};
    args.insert(args.end(), more);
    return args;
}

INSTANTIATE_TEST_SUITE_P(Classes, CliBadInput, testing::Values(
    BadInput{"ImpossibleDate", computeWith({"--date", "1990-02-30"}), ""},
    BadInput{"ReformGap", computeWith({"--date", "1582-10-10"}), ""},
    BadInput{"YearZero", computeWith({"--date", "0000-06-01", "--bc"}), ""},
    BadInput{"Hour24", computeWith({"--time", "24:00"}), ""},
    BadInput{"Minute60", computeWith({"--time", "12:60"}), ""},
    BadInput{"Zone29", computeWith({"--zone", "29"}), ""},
    BadInput{"UnknownZone", computeWith({"--zone", "XYZ"}), ""},
    BadInput{"UnknownEphemeris", computeWith({"--ephemeris", "exact"}), ""},
    BadInput{"Longitude181", computeWith({"--lon", "181W00"}), ""},
    BadInput{"LatitudeMinutes60", computeWith({"--lat", "40N60"}), ""},
    BadInput{"Latitude91", computeWith({"--lat", "91N00"}), ""},
    BadInput{"MalformedDate", computeWith({"--date", "01/01/1990"}), ""},
    BadInput{"UnknownOption", computeWith({"--colour"}), ""},
    BadInput{"MissingValue", computeWith({"--date"}), ""},
    BadInput{"OptionTwice", computeWith({"--zone", "6", "--zone", "7"}), ""},
    BadInput{"StrayArgument", computeWith({"tomorrow"}), ""},
    BadInput{"NameTooLong", computeWith({"--name", std::string(50, 'n')}), ""},
    BadInput{"NameNotWindows1252", computeWith({"--name", "名前"}), ""},
    BadInput{"SaveIntoMissingDirectory", {"compute", "--save", "DIR/missing/out.cht"}, ""},
    BadInput{"SaveOntoDirectory", {"compute", "--save", "DIR/"}, ""},
    BadInput{"NoCommand", {}, ""},
    BadInput{"UnknownCommand", {"draw"}, ""},
    BadInput{"ShowMissingFile", {"show", "DIR/none.cht", "--save", "DIR/out.cht"}, ""},
    BadInput{"ShowShortFile", {"show", "DIR/short.cht", "--save", "DIR/out.cht"}, ""},
    BadInput{"ShowInvalidFile", {"show", "DIR/invalid.cht", "--save", "DIR/out.cht"}, ""},
    BadInput{"ShowNoFile", {"show"}, ""},
    BadInput{"BatchMissingFile", {"batch", "DIR/none.csv"}, ""},
    BadInput{"BatchWrongHeader", {"batch"}, "name,date\nA,1990-01-01\n"},
    BadInput{"BatchEmptyInput", {"batch", "-"}, ""}),
    [](const testing::TestParamInfo<BadInput>& info) { return info.param.label; });

}  // namespace
