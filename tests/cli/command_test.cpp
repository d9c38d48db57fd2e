// zodiara-chart as a script sees it: exit statuses, standard output and error, files written,
// also where the world is unkind (a stale display, a comma locale, a full disk, rough CSV, a pipe).
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>
#include <tuple>

#include "chart/chartfile.h"
#include "chartprocess.h"
#include "testname.h"

namespace {

namespace fs = std::filesystem;
using namespace zodiara::test;

struct Outcome {
    int status = -1;
    std::string out, err;
};

class Cli : public testing::Test {
protected:
    void SetUp() override
    {
        static int count = 0;
        m_dir = fs::temp_directory_path() / ("zodiara-cli-" + std::to_string(getpid()) + "-" + std::to_string(++count));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::permissions(m_dir, fs::perms(0755));
    }
    void TearDown() override
    {
        if (!HasFailure())
            fs::remove_all(m_dir);
    }

    // The environment is the test's own with `env` applied; output goes to `stdoutPath` if given.
    // "DIR/" in an argument or a variable stands for the test's folder.
    Outcome run(std::vector<std::string> args, std::string_view input = {}, std::vector<std::string> env = {},
                const std::string& stdoutPath = {}, const char* program = ZODIARA_CHART_EXE) const
    {
        const fs::path in = m_dir / "stdin", out = m_dir / "stdout", err = m_dir / "stderr";
        writeFile(in, input);
        Outcome r;
        r.status = runChart(inDir(args), environmentWith(inDir(env)), in,
                            stdoutPath.empty() ? out : fs::path(stdoutPath), err, program);
        r.out = stdoutPath.empty() ? readFile(out) : "";
        r.err = readFile(err);
        return r;
    }

    // As run(), with standard output a pipe already full: the program waits at its report with
    // its files staged, and gets `signal` once the first of them is there.
    Outcome interrupt(const std::vector<std::string>& args, int signal) const
    {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0)
            return {};
        fcntl(ends[1], F_SETFL, O_NONBLOCK);
        const std::string block(4096, 'x');
        for (const std::size_t size : {block.size(), std::size_t(1)})
            while (write(ends[1], block.data(), size) > 0) {
            }
        fcntl(ends[1], F_SETFL, 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, (m_dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const pid_t pid = spawnChart(inDir(args), environmentWith({}), actions);
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        if (pid < 0) {
            close(ends[0]);
            return {};
        }
        const auto staged = [this] {
            for (const fs::directory_entry& entry : fs::directory_iterator(m_dir))
                if (entry.path().filename().string().starts_with(".zod-"))
                    return true;
            return false;
        };
        for (int ms = 0; ms < 20000 && !staged(); ms += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        kill(pid, staged() ? signal : SIGKILL);
        Outcome r;
        r.status = waitFor(pid);
        close(ends[0]);
        r.err = readFile(m_dir / "stderr");
        return r;
    }

    // "DIR/" in each text stands for the test's folder.
    std::vector<std::string> inDir(std::vector<std::string> texts) const
    {
        for (std::string& text : texts)
            if (const std::size_t at = text.find("DIR/"); at != std::string::npos)
                text.replace(at, 3, m_dir.string());
        return texts;
    }

    fs::path m_dir;
};

const std::string Golden = ZODIARA_TEST_DATA "/reference-chart.cht";

const std::string ReferenceJson = readFile(ZODIARA_TEST_DATA "/reference-chart.json");

// The reference chart with other bytes at `offset`.
std::string storedWith(std::size_t offset, std::string bytes, std::string image = readFile(Golden))
{
    image.replace(offset, bytes.size(), bytes);
    return image;
}

// reference chart: 1990-01-01 12:00 EST, 74W00 40N43
std::vector<std::string> reference(std::initializer_list<std::string> more = {})
{
    std::vector<std::string> args = {"compute", "--name",     "Reference", "--place", "New York",
                                     "--date",  "1990-01-01", "--time",    "12:00",   "--zone",
                                     "EST",     "--lon",      "74W00",     "--lat",   "40N43"};
    args.insert(args.end(), more);
    return args;
}

// Each output against its file in tests/data; ZODIARA_UPDATE_GOLDEN=1 rewrites the files instead.
TEST_F(Cli, ReferenceChartMatchesGolden)
{
    const Outcome json = run(reference({"--json"})), report = run(reference({"--save", "DIR/ref.cht"}));
    EXPECT_EQ(std::tie(json.status, json.err, report.status, report.err), std::tuple(0, "", 0, ""));
    // The chart file has every field at the offset the older program's files have it.
    const std::pair<const char*, std::string> outputs[] = {{"reference-chart.json", json.out},
                                                           {"reference-chart.txt", report.out},
                                                           {"reference-chart.cht", readFile(m_dir / "ref.cht")}};
    for (const auto& [name, bytes] : outputs) {
        const fs::path golden = fs::path(ZODIARA_TEST_DATA) / name;
        if (std::getenv("ZODIARA_UPDATE_GOLDEN"))
            writeFile(golden, bytes);
        else
            EXPECT_EQ(bytes, readFile(golden)) << "differs from " << golden;
    }
}

TEST_F(Cli, ShowSavesByteIdenticallyAndPrintsTheChartWithoutHowItWasComputed)
{
    // What a longer earlier name left after the terminator, and the reserved double (1234.5), must survive.
    const std::string bytes = storedWith(758, std::string("\0\0\0\0\0\x4a\x93\x40", 8), storedWith(604, "remnant"));
    writeFile(m_dir / "a.cht", bytes);
    const Outcome r = run({"show", "--json", "DIR/a.cht", "--save", "DIR/b.cht"});
    EXPECT_EQ(std::tie(r.status, r.err), std::tuple(0, ""));
    EXPECT_EQ(readFile(m_dir / "b.cht"), bytes);
    std::string expected = ReferenceJson;
    const std::string_view computation = ",\"houseSystem\":\"Placidus\",\"ephemeris\":\"classic\"";
    ASSERT_NE(expected.find(computation), std::string::npos);
    EXPECT_EQ(r.out, expected.erase(expected.find(computation), computation.size()));
}

TEST_F(Cli, PreciseEphemerisByOption)
{
    const Outcome precise = run(reference({"--json", "--ephemeris", "precise"}));
    ASSERT_EQ(precise.status, 0) << precise.err;
    EXPECT_NE(precise.out.find("\"ephemeris\":\"precise\""), std::string::npos);
    const std::string_view bodies = "\"bodies\"";
    EXPECT_NE(precise.out.substr(precise.out.find(bodies)), ReferenceJson.substr(ReferenceJson.find(bodies)));
    EXPECT_EQ(run(reference({"--json", "--ephemeris", "classic"})).out, ReferenceJson);
}

// A chart of "now" is of the real instant, whatever zone the machine and the chart are in.
TEST_F(Cli, NowIsTheCurrentInstantOnTheChartsZoneClock)
{
    using namespace std::chrono;
    const Outcome r = run({"compute", "--json", "--zone", "NST", "--dst"}, {}, {"TZ=Pacific/Kiritimati"});
    const double now = duration<double>(system_clock::now().time_since_epoch()).count() / 86400 + 2440587.5;
    double jd = 0;
    const std::size_t at = std::min(r.out.find("\"julianDate\""), r.out.size());
    ASSERT_EQ(std::sscanf(r.out.c_str() + at, "\"julianDate\":%lf", &jd), 1) << r.out << r.err;
    EXPECT_NEAR(jd * 86400, now * 86400, 5) << "seconds";
}

struct Case {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> outHas;  // standard output holds each
    std::string errHas = {};
    std::string input = {};
    std::vector<std::string> env = {};
    std::string stdoutPath = {};  // where standard output goes instead of a file of the test
    std::function<void(const fs::path& dir)> setUp = {};
    std::function<std::string(const fs::path& dir)> check = {};  // what is wrong with the files afterwards
    int signal = 0;                                              // sent while the files are staged (see Cli::interrupt)
};

class CliCases : public Cli, public testing::WithParamInterface<Case> {};

TEST_P(CliCases, OneLineRefusalsAndWholeOutputs)
{
    const Case& row = GetParam();
    if (row.setUp)
        row.setUp(m_dir);
    if (IsSkipped())
        return;
    const Outcome r = row.signal ? interrupt(row.args, row.signal) : run(row.args, row.input, row.env, row.stdoutPath);
    EXPECT_EQ(r.status, row.status) << r.err;
    for (const std::string& part : row.outHas)
        EXPECT_NE(r.out.find(part), std::string::npos) << part << " is not in " << r.out.substr(0, 2000);
    EXPECT_NE(r.err.find(row.errHas), std::string::npos) << r.err;
    // A refusal is one line and writes nothing; anything else says nothing on the error stream but the
    // notes of --at, which say what it took.
    std::string err = r.err;
    for (const std::string note : {"\" took ", ": no time zone of the list has"})
        if (err.substr(0, err.find('\n')).find(note) != std::string::npos)
            err.erase(0, err.find('\n') + 1);
    const bool oneLine = err.starts_with("zodiara-chart: ") && err.find('\n') == err.size() - 1;
    EXPECT_TRUE(r.status == 2 ? oneLine && r.out.empty() : err.empty()) << r.err;
    EXPECT_FALSE(fs::exists(m_dir / "out.cht"));
    EXPECT_EQ(row.check ? row.check(m_dir) : "", "");
}

// Writes DIR/name before the run.
std::function<void(const fs::path&)> fileWith(std::string name, std::string bytes)
{
    return [name, bytes](const fs::path& dir) { writeFile(dir / name, bytes); };
}

// DIR/keep.cht, which each run below would replace, as it was, and no staged file left.
std::string keptOld(const fs::path& dir)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().starts_with(".zod-"))
            return "left " + entry.path().filename().string();
    return readFile(dir / "keep.cht") == "old" ? "" : "keep.cht replaced";
}

// DIR/busy.png, with a file mounted on it in a mount namespace of the test's own.
void busyTarget(const fs::path& dir)
{
    writeFile(dir / "keep.cht", "old");
    writeFile(dir / "busy.png", "busy");
    writeFile(dir / "other.png", "other");
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || mount((dir / "other.png").c_str(), (dir / "busy.png").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "a mount point takes CAP_SYS_ADMIN: " << std::strerror(errno);
}

std::string svgWithoutControls(const fs::path& dir)
{
    const std::string svg = readFile(dir / "x.svg");
    const bool control =
        std::ranges::any_of(svg, [](unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; });
    return !svg.empty() && !control ? "" : "a control character in the SVG";
}

// de_DE.UTF-8 built into the folder, so that the test needs no locale installed system-wide.
void germanLocale(const fs::path& dir)
{
    const std::string command = "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << "localedef needs the locales package";
}

const std::string Header = "name,place,date,time,zone,dst,bc,lon,lat";
const std::string Eve = "Eve,,1990-01-01,12:00,EST,0,0,74W00,40N43";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, CliCases, testing::Values(
    Case{"no command", {}, 2, {}},
    Case{"an unknown command", {"draw"}, 2, {}},
    Case{"an impossible date", {"compute", "--date", "1990-02-30", "--save", "DIR/out.cht"}, 2, {}, "1990-02-30"},
    Case{"an unknown option", reference({"--colour", "--save", "DIR/out.cht"}), 2, {}, "--colour"},
    Case{"a stray argument", reference({"tomorrow"}), 2, {}, "tomorrow"},
    // Image options that cannot be met are refused before anything is written.
    Case{"a PDF into a missing folder", reference({"--pdf", "DIR/missing/chart.pdf", "--save", "DIR/out.cht"}), 2, {}, "missing"},
    Case{"a size without an image", reference({"--size", "100x100", "--save", "DIR/out.cht"}), 2, {}, "--size"},
    Case{"an image too large", reference({"--png", "DIR/a.png", "--size", "9000x100", "--save", "DIR/out.cht"}), 2, {}, "9000"},
    Case{"a paper the PDF does not know", reference({"--pdf", "DIR/a.pdf", "--paper", "a3", "--save", "DIR/out.cht"}), 2, {}, "a3"},
    Case{"a paper for a PNG", reference({"--png", "DIR/a.png", "--paper", "a4", "--save", "DIR/out.cht"}), 2, {}, "--paper"},
    Case{"aspects without an image", reference({"--aspects", "--save", "DIR/out.cht"}), 2, {}, "--aspects"},
    Case{"show without a file", {"show"}, 2, {}},
    Case{"show of a file that is no chart", {"show", ZODIARA_TEST_DATA "/reference-chart.txt", "--save", "DIR/out.cht"}, 2, {}},
    Case{"batch of a missing file", {"batch", "DIR/none.csv"}, 2, {}, "none.csv"},
    Case{"batch without the header", {"batch"}, 2, {}, "header", "name,date\nA,1990-01-01\n"},
    Case{"batch of nothing", {"batch"}, 2, {}, "empty"},
    Case{"batch on no threads", {"batch", "--jobs", "0"}, 2, {}, "--jobs wants a number of threads from 1 to 256, not \"0\""},
    Case{"the lore commands run through the program", {"compatibility", "leo", "aries"}, 0, {"Aries and Leo:\n"}},
    Case{"a sign quoting a line break is one line", {"traits", "a\nb"}, 2, {}, "\"a\\x0ab\""},
    Case{"a refusal naming a file with a line break is one line", reference({"--save", "DIR/no/a\nb.cht"}), 2, {}, "a\\x0ab.cht"},
    // Qt's note on a runtime directory open to others must not lengthen the refusal either.
    Case{"a failed image replaces no chart file", reference({"--save", "DIR/keep.cht", "--png", "DIR/no/x.png"}), 2, {},
         "no/x.png", {}, {"XDG_RUNTIME_DIR=DIR/"}, {}, fileWith("keep.cht", "old"), keptOld},
    Case{"a mount point among the targets replaces no chart file", reference({"--save", "DIR/keep.cht", "--png",
         "DIR/busy.png"}), 2, {}, "busy.png: it is a mount point", "", {}, {}, busyTarget, [](const fs::path& dir) {
         umount2((dir / "busy.png").c_str(), MNT_DETACH); return keptOld(dir); }},
    Case{"two outputs naming one file are refused", reference({"--save", "DIR/same.cht", "--png", "DIR/link.png"}), 2, {},
         "are the same file", "", {}, {}, [](const fs::path& dir) { fs::create_symlink("same.cht", dir / "link.png"); },
         [](const fs::path& dir) { return fs::exists(dir / "same.cht") ? "same.cht written" : ""; }},
    // A descriptor is written where it stands, as a shell user means it; "-" is one.
    Case{"a chart saved to /dev/stdout follows the JSON there", reference({"--json", "--save", "/dev/stdout"}), 0,
         {ReferenceJson + readFile(Golden)}},
    Case{"a chart saved to - (standard output) follows the JSON", reference({"--json", "--save", "-"}), 0,
         {ReferenceJson + readFile(Golden)}},
    Case{"an interrupt leaves no staged file", reference({"--save", "DIR/keep.cht", "--png", "DIR/x.png"}), 128 + SIGINT,
         {}, "", "", {}, {}, fileWith("keep.cht", "old"), keptOld, SIGINT},
    Case{"a termination leaves no staged file", reference({"--save", "DIR/keep.cht", "--png", "DIR/x.png"}), 128 + SIGTERM,
         {}, "", "", {}, {}, fileWith("keep.cht", "old"), keptOld, SIGTERM},
    Case{"a hang-up leaves no staged file", reference({"--save", "DIR/keep.cht", "--png", "DIR/x.png"}), 128 + SIGHUP,
         {}, "", "", {}, {}, fileWith("keep.cht", "old"), keptOld, SIGHUP},
    Case{"a stale display is not opened", reference({"--png", "DIR/x.png"}), 0, {"Julian date:"}, "", "",
         {"DISPLAY=:99", "WAYLAND_DISPLAY=wayland-99", "QT_QPA_PLATFORM"}},
    Case{"a report to a full disk replaces no file", reference({"--save", "DIR/x.cht"}), 2, {}, "No space left on device",
         "", {}, "/dev/full", {}, [](const fs::path& dir) { return fs::exists(dir / "x.cht") ? "x.cht written" : ""; }},
    Case{"help to a full disk fails", {"--help"}, 2, {}, "No space left on device", "", {}, "/dev/full"},
    Case{"numbers ignore a comma locale", reference({"--png", "DIR/x.png"}), 0, {"Julian date:          2447893.208333\n"},
         "", "", {"LOCPATH=DIR/", "LC_ALL=de_DE.UTF-8"}, {}, germanLocale},
    Case{"stored control characters show as escapes and leave the SVG well-formed", {"show", "DIR/odd.cht", "--svg",
         "DIR/x.svg"}, 0, {"Name:                 A\\x01\\x1b[2J\n"}, "", "", {}, {},
         fileWith("odd.cht", storedWith(594, std::string("A\x01\x1b[2J\0", 8))), svgWithoutControls},
    Case{"a huge stored number is printed whole", {"show", "DIR/odd.cht"}, 0, {".000000\nJulian date at 0h UT:"}, "", "",
         {}, {}, fileWith("odd.cht", storedWith(726, std::string("\xa0\xc8\xeb\x85\xf3\xcc\xe1\x7f", 8)))},  // 1e308
    // A place of the atlas brings its clock at the date: a standard offset of its own, local mean time,
    // Universal Time where no zone has the offset; a clock time that happened twice is not guessed.
    Case{"Kathmandu from the atlas", {"compute", "--at", "kathmandu", "--date", "1990-05-01", "--time", "10:00"}, 0,
         {"Time zone:            30  NPT", "Universal Time:       1990-05-01 04:15:00"}, "took Kathmandu, Bagmati"},
    Case{"New York 1870 keeps local mean time", {"compute", "--at", "new york", "--date", "1870-07-04", "--time",
         "12:00"}, 0, {"41  LMT, Local Mean Time", "Universal Time:       1870-07-04 16:56:00"}},
    Case{"Paris 1900 is entered in Universal Time", {"compute", "--at", "paris", "--date", "1900-01-01", "--time",
         "12:00"}, 0, {"Local time:           11:50:39", "Universal Time:       1900-01-01 11:50:39"},
         "no time zone of the list has UTC+00:09:21 (PMT)"},
    Case{"a fall-back hour at a place is refused", {"compute", "--at", "new york", "--date", "2000-10-29", "--time",
         "01:30"}, 2, {}, "happened twice in America/New_York: first at UTC-04:00 (EDT, daylight saving time), then at "
         "UTC-05:00 (EST); say which with --zone and --dst"},
    Case{"--dst says which", {"compute", "--at", "new york", "--date", "2000-10-29", "--time", "01:30", "--dst"}, 0,
         {"Universal Time:       2000-10-29 05:30:00"}},
    Case{"a place the atlas does not know", {"compute", "--at", "xyzzyq"}, 2, {}, "no place of the atlas matches it"},
    // A damaged data file of the ephemeris library is named as the library names it, not taken for a date
    // outside the range.
    Case{"a damaged ephemeris file says so", {"compute", "--date", "1990-01-01", "--time", "12:00", "--ephemeris",
         "precise"}, 2, {}, "sepl_18.se1 is damaged", "", {"SE_EPHE_PATH=DIR/"}, {}, [](const fs::path& dir) {
         writeFile(dir / "sepl_18.se1", readFile("/usr/share/libswe/ephe/sepl_18.se1").substr(0, 5000)); }},
    // Typed text that looks like an escape is told apart from a stored control character; C1 controls on
    // the error stream are escaped like C0.
    Case{"a typed backslash is doubled in the report", {"compute", "--name", "A\\x1b", "--date", "1990-01-01",
         "--time", "12:00"}, 0, {"Name:                 A\\\\x1b\n"}},
    Case{"a C1 control on the error stream is escaped", {"compute", "--date", "1990-01-01\u0085"}, 2, {}, "\\u0085"},
    // What the writer accepts the reader reads: the last evening of 9999 is already 10000 at Greenwich.
    Case{"a chart of the last day of 9999 reopens", {"compute", "--date", "9999-12-31", "--time", "23:59", "--zone",
         "EST", "--save", "DIR/y10k.cht"}, 0, {"Universal Time:       10000-01-01 04:59:00"}, "", "", {}, {}, {},
         [](const fs::path& dir) { return zodiara::readChartFile(dir / "y10k.cht").error; }},
    Case{"Universal Time steps back across the reform", {"compute", "--date", "1582-10-15", "--time", "00:30", "--zone",
         "AEST", "--lon", "151E13", "--lat", "33S52"}, 0, {"Universal Time:       1582-10-04 14:30:00",
         "Julian date:          2299160.104167"}},
    // Where the library has no positions: refused with the range, not ten bodies at 0° Aries.
    Case{"a date beyond the precise positions", {"compute", "--date", "5000-01-01", "--ephemeris", "precise"}, 2, {},
         "precise positions cover only 28 February 3002 BC to 27 April 3003 (Universal Time); use --ephemeris classic"},
    Case{"a polar chart falls back to Porphyry", {"compute", "--date", "1990-06-21", "--lat", "89N00", "--json"}, 0,
         {"\"houseSystem\":\"Porphyry\""}},
    // One JSON line per row in order, blank lines skipped but counted.
    Case{"batch reports bad rows and goes on", {"batch", "DIR/rows.csv"}, 1, {ReferenceJson + "{\"line\":3,\"error\":\"time "
         "\\\"24:00\\\": hour 24 is not within 0..23\"}\n{\"name\":\"Quote \\\"Q\\\", Esq.\",\"place\":\"Paris, France\",\"birthDate\":"
         "{\"year\":44,\"month\":3,\"day\":15},\"beforeChrist\":true,", "\"utDate\":{\"year\":-43,", "}\n{\"line\":6,\"error\":"},
         "", "", {}, {}, fileWith("rows.csv", Header + "\r\nReference,New York,1990-01-01,12:00,EST,0,0,74W00,40N43\r\n"
         "Bad hour,,1990-01-01,24:00,6,0,0,74W00,40N43\r\n\r\n\"Quote \"\"Q\"\", Esq.\",\"Paris, France\",0044-03-15,12:00:30,"
         "CET,1,1,002E20,48N52\r\nToo few,fields\r\n")},
    Case{"an ephemeris column chooses the positions row by row", {"batch"}, 1, {"\"ephemeris\":\"precise\"",
         "\"ephemeris\":\"classic\"", "{\"line\":4,\"error\":\"ephemeris \\\"exact\\\" is neither classic nor precise\"}\n",
         "{\"line\":5,\"error\":\"precise positions cover only"}, "", "name,place,date,time,zone,dst,bc,lon,lat,ephemeris\n"
         + Eve + ",precise\n" + Eve + ",\n" + Eve + ",exact\nFar,,5000-01-01,12:00,EST,0,0,74W00,40N43,precise\n"},
    Case{"an empty needed cell is an error", {"batch"}, 1, {"{\"line\":2,\"error\":\"column date is empty\"}\n"}, "",
         Header + "\nBob,,,,,,,,\n"},
    Case{"a quoted line break is one error", {"batch"}, 1, {"{\"line\":2,\"error\":\"a quoted field holds a line break, "
         "which no column takes\"}\n{\"name\":\"Eve\""}, "", Header + "\n\"Smith\nJohn\",,1990-01-01,12:00,EST,0,0,74W00,40N43\n" + Eve + "\n"},
    Case{"invalid UTF-8 is not echoed", {"batch"}, 1, {"\"date \\\"19\xef\xbf\xbd" "0-01-01\\\" is not"}, "",
         Header + "\nX,,19\xff" "0-01-01,12:00,EST,0,0,74W00,40N43\n"},
    Case{"an over-long row is an error and the run goes on", {"batch"}, 1, {"{\"line\":2,\"error\":\"the row is longer "
         "than 65536 bytes\"}\n{\"name\":\"Eve\""}, "", Header + "\n" + std::string(70000, 'x') + "\n" + Eve + "\n"}),
    [](const auto& info) { return testName(info.param.what); });
// clang-format on

// A program at the other end of a pipe gets each answer before it sends the next question, from
// worker threads too.
TEST_F(Cli, BatchOverAPipeAnswersEachRowBeforeTheInputEnds)
{
    for (const std::string jobs : {"1", "2"}) {
        fs::remove(m_dir / "rows");
        ASSERT_EQ(mkfifo((m_dir / "rows").c_str(), 0600), 0);
        bool answered = false;
        std::thread asker([&] {
            std::ofstream rows(m_dir / "rows");
            rows << Header << '\n' << Eve << std::endl;
            // Long enough for any machine; a batch that waited for the end would never answer.
            for (int tenths = 0; tenths < 200 && !answered; ++tenths) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                answered = readFile(m_dir / "stdout").starts_with("{\"name\":\"Eve\"");
            }
        });
        const Outcome r = run({"batch", "--jobs", jobs, "DIR/rows"});
        asker.join();
        EXPECT_TRUE(answered) << jobs << " jobs";
        EXPECT_EQ(std::tie(r.status, r.err), std::tuple(0, "")) << jobs << " jobs";
    }
}

// Rows of every kind, many blocks of them: the threads' answers come out as one thread's, in input
// order, each error on its own row's line.
TEST_F(Cli, BatchOnSeveralThreadsAnswersAsOneThreadDoes)
{
    std::string csv = "\xEF\xBB\xBF" + Header + ",ephemeris\r\n";
    const std::string rows[] = {
        Eve + ",precise",
        Eve + ",",
        "Bad hour,,1990-01-01,24:00,6,0,0,74W00,40N43,classic",
        "",
        "\"Quote \"\"Q\"\", Esq.\",\"Paris, France\",0044-03-15,12:00:30,CET,1,1,002E20,48N52,",
        std::string(70000, 'x'),
        "\"Smith\nJohn\",,1990-01-01,12:00,EST,0,0,74W00,40N43,",
        "Far,,5000-01-01,12:00,EST,0,0,74W00,40N43,precise",
        "Too few,fields",
    };
    const std::string ends[] = {"\r\n", "\n", "\r"};
    long long answers = 0;
    for (int i = 0; i < 2000; ++i) {
        // Dates and places that differ row by row, so a row answered twice or out of order shows.
        const std::string date =
            std::to_string(1800 + i % 400) + "-" + std::to_string(1 + i % 12) + "-" + std::to_string(1 + i % 28);
        const std::string row = i % 5 == 0
                                    ? rows[std::size_t(i / 5) % std::size(rows)]
                                    : "P" + std::to_string(i) + ",," + date + ",12:00,EST,0,0,"
                                          + std::to_string(i % 180) + "W00,40N43," + (i % 3 ? "classic" : "precise");
        answers += !row.empty();
        csv += row + ends[std::size_t(i) % std::size(ends)];
    }
    writeFile(m_dir / "rows.csv", csv);
    const Outcome one = run({"batch", "--jobs", "1", "DIR/rows.csv"});
    EXPECT_EQ(std::tie(one.status, one.err), std::tuple(1, ""));
    EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), answers);
    for (const std::string jobs : {"2", "7"}) {
        const Outcome several = run({"batch", "--jobs", jobs, "DIR/rows.csv"});
        EXPECT_EQ(std::tie(several.status, several.err), std::tuple(1, "")) << jobs << " jobs";
        EXPECT_TRUE(several.out == one.out) << jobs << " jobs differ from one";
        // Through a FIFO, where every read may wait and so ends a round of blocks.
        fs::remove(m_dir / "rows");
        ASSERT_EQ(mkfifo((m_dir / "rows").c_str(), 0600), 0);
        std::thread writer([&] { std::ofstream(m_dir / "rows", std::ios::binary) << csv; });
        const Outcome piped = run({"batch", "--jobs", jobs, "DIR/rows"});
        writer.join();
        EXPECT_TRUE(piped.out == one.out) << jobs << " jobs through a FIFO differ from one";
    }
}

// On a terminal the error stream gets one line, redrawn in place and ended once; the answers are
// those of a run without one.
TEST_F(Cli, BatchShowsItsProgressOnATerminalOnly)
{
    std::string csv = Header + "\n";
    for (int i = 0; i < 300; ++i)
        csv += Eve + "\n";
    writeFile(m_dir / "rows.csv", csv);
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(terminal, 0) << std::strerror(errno);
    ASSERT_EQ(grantpt(terminal) | unlockpt(terminal), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, (m_dir / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, ptsname(terminal), O_RDWR | O_NOCTTY, 0);
    const pid_t pid = spawnChart(inDir({"batch", "DIR/rows.csv"}), environmentWith({}), actions);
    posix_spawn_file_actions_destroy(&actions);
    // Read until the program's end closes the terminal's other side.
    std::string shown;
    char buffer[4096];
    for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;)
        shown.append(buffer, std::size_t(got));
    const int status = waitFor(pid);
    close(terminal);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(m_dir / "stdout"), run({"batch", "DIR/rows.csv"}).out);
    // The terminal turns the one line end into CR LF.
    const std::size_t last = shown.rfind("\r\x1b[K");
    ASSERT_NE(last, std::string::npos) << shown;
    EXPECT_TRUE(shown.ends_with("\r\n")) << shown;
    EXPECT_EQ(shown.find('\n'), shown.size() - 1) << shown;
    EXPECT_TRUE(shown.substr(last).starts_with("\r\x1b[Kzodiara-chart: 300 rows, ")) << shown;
    EXPECT_NE(shown.find(", done in 0:"), std::string::npos) << shown;
}

// Qt is mapped only by the modules that need it: Qt Gui for images, Qt Core for the atlas of --at;
// every other answer starts without either.
TEST_F(Cli, OnlyImagesAndTheAtlasLoadQt)
{
    writeFile(m_dir / "rows.csv", Header + "\n" + Eve + "\n");
    const struct {
        std::vector<std::string> args;
        bool core, gui;
    } rows[] = {
        {reference({"--json"}), false, false},
        {reference({"--save", "DIR/a.cht"}), false, false},
        {{"show", ZODIARA_TEST_DATA "/reference-chart.cht", "--json"}, false, false},
        {{"batch", "DIR/rows.csv"}, false, false},
        {{"traits", "leo"}, false, false},
        {{"compatibility", "leo", "aries"}, false, false},
        {reference({"--png", "DIR/a.png"}), true, true},
        {{"show", ZODIARA_TEST_DATA "/reference-chart.cht", "--pdf", "DIR/a.pdf"}, true, true},
        {{"compute", "--at", "new york", "--date", "1990-01-01", "--time", "12:00", "--json"}, true, false},
    };
    for (const auto& row : rows) {
        const Outcome r = run(row.args, {}, {"LD_DEBUG=files", "LD_DEBUG_OUTPUT=DIR/loader"});
        EXPECT_EQ(r.status, 0) << row.args[1] << ": " << r.err;
        // The loader's log of the objects it mapped, in DIR/loader.<pid>.
        std::string mapped;
        for (const fs::directory_entry& entry : fs::directory_iterator(m_dir))
            if (entry.path().filename().string().starts_with("loader.")) {
                mapped += readFile(entry.path());
                fs::remove(entry.path());
            }
        ASSERT_NE(mapped.find("libc.so"), std::string::npos) << "no loader log";
        EXPECT_EQ(mapped.find("libQt6Core.so") != std::string::npos, row.core) << row.args[0] << " " << row.args[1];
        EXPECT_EQ(mapped.find("libQt6Gui.so") != std::string::npos, row.gui) << row.args[0] << " " << row.args[1];
    }
}

// The program copied alone still answers in text and JSON; what needs a missing module is refused
// in one line, and nothing is written.
TEST_F(Cli, WithoutItsModulesTheProgramAnswersAllButImagesAndTheAtlas)
{
    fs::copy_file(ZODIARA_CHART_EXE, m_dir / "zodiara-chart");
    const std::string alone = (m_dir / "zodiara-chart").string();
    const Outcome json = run(reference({"--json"}), {}, {}, {}, alone.c_str());
    EXPECT_EQ(std::tie(json.status, json.out, json.err), std::tuple(0, ReferenceJson, ""));
    const Outcome image = run(reference({"--save", "DIR/a.cht", "--png", "DIR/a.png"}), {}, {}, {}, alone.c_str());
    EXPECT_EQ(std::tie(image.status, image.out), std::tuple(2, ""));
    EXPECT_TRUE(image.err.starts_with("zodiara-chart: cannot draw: ")) << image.err;
    EXPECT_NE(image.err.find("zodiara-chart-images.so"), std::string::npos) << image.err;
    EXPECT_FALSE(fs::exists(m_dir / "a.cht") || fs::exists(m_dir / "a.png"));
    const Outcome at = run({"compute", "--at", "new york"}, {}, {}, {}, alone.c_str());
    EXPECT_EQ(at.status, 2);
    EXPECT_TRUE(at.err.starts_with("zodiara-chart: --at \"new york\": no atlas: ")) << at.err;
}

}  // namespace
