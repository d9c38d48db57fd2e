// zodiara-chart where the world is unkind: a stale display, a comma locale, a full disk, stored
// texts with control characters, outputs that cannot all be written, rough CSV, a waiting pipe.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "chartprocess.h"
#include "testname.h"

namespace {

namespace fs = std::filesystem;
using namespace zodiara::test;

// "DIR/" at the start of an argument or after '=' in a variable stands for the test's folder.
std::string inDir(std::string text, const fs::path& dir)
{
    const std::size_t at = text.starts_with("DIR/") ? 0 : text.find("=DIR/");
    if (at != std::string::npos)
        text.replace(at == 0 ? 0 : at + 1, 3, dir.string());
    return text;
}

struct Case {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::string outHas;  // standard output holds this
    std::string errHas = {};
    std::string input = {};
    std::vector<std::string> env = {};
    std::string stdoutPath = {};  // where standard output goes instead of a file of the test
    std::function<void(const fs::path& dir)> setUp = {};
    // What must hold of the files afterwards; the failure, or empty.
    std::function<std::string(const fs::path& dir)> check = {};
};

void PrintTo(const Case& row, std::ostream* os) { *os << row.what; }

class Robustness : public testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("zodiara-robust-" + std::to_string(getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::permissions(m_dir, fs::perms(0755));
    }
    void TearDown() override
    {
        if (!HasFailure())
            fs::remove_all(m_dir);
    }
    fs::path m_dir;
};

TEST_P(Robustness, OneLineRefusalsAndWholeOutputs)
{
    const Case& row = GetParam();
    if (row.setUp)
        row.setUp(m_dir);
    std::vector<std::string> args, env;
    for (const std::string& arg : row.args)
        args.push_back(inDir(arg, m_dir));
    for (const std::string& variable : row.env)
        env.push_back(inDir(variable, m_dir));
    const fs::path in = m_dir / "stdin", out = m_dir / "stdout", err = m_dir / "stderr";
    writeFile(in, row.input);
    const std::string outPath = row.stdoutPath.empty() ? out.string() : row.stdoutPath;
    const int status = runChart(args, environmentWith(env), in, outPath, err);
    const std::string stdoutText = row.stdoutPath.empty() ? readFile(out) : "";
    const std::string stderrText = readFile(err);

    EXPECT_EQ(status, row.status) << stderrText;
    EXPECT_NE(stdoutText.find(row.outHas), std::string::npos) << stdoutText.substr(0, 2000);
    EXPECT_NE(stderrText.find(row.errHas), std::string::npos) << stderrText;
    // A refusal is one line; a success says nothing on the error stream.
    EXPECT_EQ(stderrText, status == 0 ? "" : stderrText.substr(0, stderrText.find('\n') + 1)) << stderrText;
    EXPECT_EQ(row.check ? row.check(m_dir) : "", "");
}

const std::vector<std::string> Reference = {"--date", "1990-01-01", "--time", "12:00", "--zone", "EST",
                                            "--lon", "74W00", "--lat", "40N43"};

std::vector<std::string> compute(std::vector<std::string> more)
{
    std::vector<std::string> args{"compute"};
    args.insert(args.end(), Reference.begin(), Reference.end());
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

const std::string Golden = ZODIARA_TEST_DATA "/reference-chart.cht";

// The reference chart with other bytes at `offset`, as DIR/odd.cht.
std::function<void(const fs::path&)> storedWith(std::size_t offset, std::string bytes)
{
    return [offset, bytes](const fs::path& dir) {
        std::string image = readFile(Golden);
        image.replace(offset, bytes.size(), bytes);
        writeFile(dir / "odd.cht", image);
    };
}

// de_DE.UTF-8 built into the folder, so that the test needs no locale installed system-wide.
void germanLocale(const fs::path& dir)
{
    const std::string command = "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << "localedef needs the locales package";
}

const std::string Header = "name,place,date,time,zone,dst,bc,lon,lat";
const std::string EveRow = "Eve,,1990-01-01,12:00,EST,0,0,74W00,40N43";
const std::string Eve = EveRow + "\n";

INSTANTIATE_TEST_SUITE_P(Cases, Robustness, testing::Values(
    Case{"a failed image replaces no chart file", compute({"--name", "New", "--save", "DIR/keep.cht", "--png",
         "DIR/no/x.png"}), 2, "", "no/x.png", {}, {}, {},
         [](const fs::path& dir) { fs::copy_file(Golden, dir / "keep.cht"); },
         [](const fs::path& dir) { return readFile(dir / "keep.cht") == readFile(Golden) ? "" : "keep.cht replaced"; }},
    Case{"a stale display is not opened", compute({"--png", "DIR/x.png"}), 0, "Julian date:", "", "",
         {"DISPLAY=:99", "WAYLAND_DISPLAY=wayland-99", "QT_QPA_PLATFORM"}},
    Case{"Qt's notes do not lengthen a refusal", compute({"--png", "DIR/no/x.png"}), 2, "", "no/x.png", "",
         {"XDG_RUNTIME_DIR=DIR/"}},
    Case{"a report to a full disk replaces no file", compute({"--save", "DIR/x.cht"}), 2, "",
         "No space left on device", "", {}, "/dev/full", {},
         [](const fs::path& dir) { return fs::exists(dir / "x.cht") ? "x.cht written" : ""; }},
    Case{"help to a full disk fails", {"--help"}, 2, "", "No space left on device", "", {}, "/dev/full"},
    Case{"a refusal naming a file with a line break is one line", compute({"--save", "DIR/no/a\nb.cht"}), 2, "",
         "a\\x0ab.cht"},
    Case{"a sign quoting a line break is one line", {"traits", "a\nb"}, 2, "", "\"a\\x0ab\""},
    Case{"numbers ignore a comma locale", compute({"--png", "DIR/x.png"}), 0,
         "Julian date:          2447893.208333\n", "", "", {"LOCPATH=DIR/", "LC_ALL=de_DE.UTF-8"}, {}, germanLocale},
    Case{"stored control characters show as escapes", {"show", "DIR/odd.cht"}, 0,
         "Name:                 A\\x01\\x1b[2J\n", "", "", {}, {}, storedWith(594, std::string("A\x01\x1b[2J\0", 8))},
    Case{"stored control characters leave the SVG well-formed", {"show", "DIR/odd.cht", "--svg", "DIR/x.svg"}, 0,
         "", "", "", {}, {}, storedWith(594, std::string("A\x01\x1b[2J\0", 8)), [](const fs::path& dir) {
             const std::string svg = readFile(dir / "x.svg");
             const bool clean = !svg.empty() && std::none_of(svg.begin(), svg.end(), [](char c) {
                 return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
             });
             return clean ? "" : "a control character in the SVG";
         }},
    Case{"a huge stored number is printed whole", {"show", "DIR/odd.cht"}, 0, ".000000\nJulian date at 0h UT:", "", "",
         {}, {}, storedWith(726, std::string("\xa0\xc8\xeb\x85\xf3\xcc\xe1\x7f", 8))},  // 1e308
    Case{"an empty needed cell is an error", {"batch"}, 1, "{\"line\":2,\"error\":\"column date is empty\"}\n", "",
         Header + "\nBob,,,,,,,,\n"},
    Case{"a quoted line break is one error", {"batch"}, 1,
         "{\"line\":2,\"error\":\"a quoted field holds a line break, which no column takes\"}\n{\"name\":\"Eve\"", "",
         Header + "\n\"Smith\nJohn\",,1990-01-01,12:00,EST,0,0,74W00,40N43\n" + Eve},
    Case{"lone carriage returns end lines", {"batch"}, 0, "{\"name\":\"Eve\"", "", Header + "\r" + EveRow + "\r"},
    Case{"invalid UTF-8 is not echoed", {"batch"}, 1, "\"date \\\"19\xef\xbf\xbd" "0-01-01\\\" is not", "",
         Header + "\nX,,19\xff" "0-01-01,12:00,EST,0,0,74W00,40N43\n"},
    Case{"an over-long row is an error and the run goes on", {"batch"}, 1,
         "{\"line\":2,\"error\":\"the row is longer than 65536 bytes\"}\n{\"name\":\"Eve\"", "",
         Header + "\n" + std::string(70000, 'x') + "\n" + Eve}),
    [](const auto& info) { return zodiara::test::testName(info.param.what); });

// A program at the other end of a pipe gets each answer before it sends the next question.
TEST(BatchOverAPipe, AnswersEachRowBeforeTheInputEnds)
{
    int toBatch[2], fromBatch[2];
    ASSERT_EQ(pipe(toBatch), 0);
    ASSERT_EQ(pipe(fromBatch), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toBatch[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromBatch[1], 1);
    for (const int fd : {toBatch[0], toBatch[1], fromBatch[0], fromBatch[1]})
        posix_spawn_file_actions_addclose(&actions, fd);
    const pid_t pid = spawnChart({"batch"}, environmentWith({}), actions);
    posix_spawn_file_actions_destroy(&actions);
    close(toBatch[0]);
    close(fromBatch[1]);
    const std::string question = Header + "\n" + Eve;
    ASSERT_EQ(write(toBatch[1], question.data(), question.size()), ssize_t(question.size()));

    // Long enough for any machine; without the answer the pipe would wait here for ever.
    pollfd answer{fromBatch[0], POLLIN, 0};
    const bool answered = poll(&answer, 1, 20000) == 1;
    close(toBatch[1]);
    std::string out;
    char block[4096];
    for (ssize_t n; (n = ::read(fromBatch[0], block, sizeof block)) > 0;)
        out.append(block, std::size_t(n));
    close(fromBatch[0]);
    EXPECT_EQ(waitFor(pid), 0);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(out.starts_with("{\"name\":\"Eve\"")) << out;
}

}  // namespace
