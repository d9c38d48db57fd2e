#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <tuple>

#include "chart/chartfile.h"
#include "chart/pipeline.h"
#include "testcharts.h"
#include "testname.h"

using namespace zodiara;

namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string imageOf(const Chart& chart)
{
    const ChartImage image = chartImage(chart);
    return {reinterpret_cast<const char*>(image.data()), image.size()};
}

class ChartFiles : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("zodiara-chartfiles-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        DerivedTables t;
        computeChart(m_chart, t);
        m_new = m_chart;
        std::strcpy(m_new.name, "New");
    }
    void TearDown() override { fs::remove_all(m_dir); }
    long entries() const { return std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()); }

    fs::path m_dir;
    Chart m_chart = test::referenceChart(), m_new;
};

TEST_F(ChartFiles, RoundTripIsByteIdenticalIncludingHiddenBytes)
{
    // Remnants after a shorter name, the reserved double and the spare fields all survive.
    std::strcpy(m_chart.name, "Alexandra Longname");
    std::strcpy(m_chart.name, "Ann");
    m_chart.reserved = 1234.5;
    m_chart.universalTime.spare = 7;
    const fs::path a = m_dir / "a.cht", b = m_dir / "b.cht";
    ASSERT_EQ(writeChartFile(a, m_chart), "");
    ASSERT_EQ(fs::file_size(a), 846u);
    const ChartReadResult read = readChartFile(a);
    ASSERT_TRUE(read.chart) << read.error;
    EXPECT_EQ(chartImage(*read.chart), chartImage(m_chart));
    ASSERT_EQ(writeChartFile(b, *read.chart), "");
    EXPECT_EQ(contents(a), contents(b));
}

TEST_F(ChartFiles, EditedPositionsAreShownAsStored)
{
    Chart edited = m_chart;
    edited.body(Body::Moon).longitude = m_chart.body(Body::Sun).longitude + 1;
    // Older versions let February 30 be entered; such files open, as do the outermost years.
    edited.birthDate = {9999, 30, 2};
    edited.utDate.year = -9999;
    const fs::path p = m_dir / "edited.cht";
    ASSERT_EQ(writeChartFile(p, edited), "");
    const ChartReadResult read = readChartFile(p);
    ASSERT_TRUE(read.chart);
    EXPECT_EQ(read.chart->body(Body::Moon).longitude, edited.body(Body::Moon).longitude);
    DerivedTables t;
    rebuildDerivedTables(*read.chart, t);
    EXPECT_EQ(t.aspectGrid[index(ChartPoint::Moon)][index(ChartPoint::Sun)], Aspect::Conjunction);
}

struct Corruption {
    const char* what;
    std::size_t offset;
    std::vector<unsigned char> bytes;
    const char* reasonPart;
};

void PrintTo(const Corruption& c, std::ostream* os)
{
    *os << c.what;
}

class CorruptFiles : public ChartFiles, public testing::WithParamInterface<Corruption> { };

TEST_P(CorruptFiles, AreRefusedWithAReason)
{
    ChartImage image = chartImage(m_chart);
    const Corruption& c = GetParam();
    std::memcpy(image.data() + c.offset, c.bytes.data(), c.bytes.size());
    const fs::path p = m_dir / "bad.cht";
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
    const ChartReadResult read = readChartFile(p);
    EXPECT_FALSE(read.chart);
    EXPECT_NE(read.error.find(c.reasonPart), std::string::npos) << read.error;
}

const std::vector<unsigned char> nan{0, 0, 0, 0, 0, 0, 0xf8, 0x7f};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Fields, CorruptFiles, testing::Values(
    Corruption{"zone 29", 644, {29, 0, 0, 0}, "time zone"},
    Corruption{"sign 12", 288 + 16, {12, 0, 0, 0}, "sign"},
    Corruption{"cusp house 0", 24, {0, 0, 0, 0}, "house"},
    Corruption{"body house 12", 288 + 20, {12, 0, 0, 0}, "house"},
    Corruption{"month 13", 655, {13}, "birth month"},
    Corruption{"birth year -2147483648", 650, {0, 0, 0, 0x80}, "the birth year is -2147483648, not -9999 to 9999"},
    Corruption{"UT year -10000", 656, {0xf0, 0xd8, 0xff, 0xff}, "Universal Time year"},
    Corruption{"longitude 361", 320, {0, 0, 0, 0, 0, 0x90, 0x76, 0x40}, "longitude"},
    Corruption{"latitude direction East", 540, {2, 0, 0, 0}, "latitude direction"},
    Corruption{"minutes 61", 288 + 4, {61, 0, 0, 0}, "minutes"},
    Corruption{"NaN Ascendant", 742, nan, "Ascendant"},
    Corruption{"NaN day number", 838, nan, "finite"},
    Corruption{"longitude 181 degrees", 528, {181, 0}, "longitude is outside"},
    Corruption{"unterminated name", 594, std::vector<unsigned char>(50, 'x'), "name is not terminated"}),
    [](const auto& info) { return test::testName(info.param.what); });
// clang-format on

TEST_F(ChartFiles, WrongSizesAreRefused)
{
    const fs::path p = m_dir / "sized.cht";
    for (const std::size_t size : {10, 5000}) {
        std::ofstream(p, std::ios::binary) << std::string(size, '\0');
        const ChartReadResult read = readChartFile(p);
        EXPECT_FALSE(read.chart);
        EXPECT_EQ(read.error, "not a chart file: " + std::to_string(size) + " bytes, a chart file has 846");
    }
    const std::string missing = readChartFile(m_dir / "missing.cht").error;
    EXPECT_NE(missing.find("No such file"), std::string::npos) << missing;
}

TEST_F(ChartFiles, AShortWriteIsReportedAndTheOldFileSurvives)
{
    const fs::path p = m_dir / "keep.cht";
    ASSERT_EQ(writeChartFile(p, m_chart), "");

    // A file-size limit makes the write itself fail, as a full disk would, even for root.
    struct rlimit saved { };
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string reason = writeChartFile(p, m_new);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(reason, "");
    EXPECT_EQ(contents(p), imageOf(m_chart));
    EXPECT_EQ(entries(), 1);
}

// Makes the path to read or write in `dir`; empty when this machine cannot make it.
using Maker = std::function<fs::path(const fs::path& dir, const Chart& old)>;

struct Reading {
    const char* what;
    Maker make;
    const char* reason;
};

void PrintTo(const Reading& row, std::ostream* os)
{
    *os << row.what;
}

class ReadingNonRegular : public ChartFiles, public testing::WithParamInterface<Reading> { };

TEST_P(ReadingNonRegular, IsRefusedAtOnceWithWhatItIs)
{
    const fs::path path = GetParam().make(m_dir, m_chart);
    auto reading = std::async(std::launch::async, [&path] { return readChartFile(path); });
    if (reading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // A reader stuck on the FIFO is let go, to fail on its reason rather than hang.
        const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    const ChartReadResult read = reading.get();
    EXPECT_FALSE(read.chart);
    EXPECT_NE(read.error.find(GetParam().reason), std::string::npos) << read.error;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Kinds, ReadingNonRegular, testing::Values(
    Reading{"FIFO", [](const fs::path& dir, const Chart&) {
        return ::mkfifo((dir / "f.cht").c_str(), 0600) == 0 ? dir / "f.cht" : fs::path();
    }, "it is a FIFO"},
    Reading{"endless device", [](const fs::path&, const Chart&) { return fs::path("/dev/zero"); },
            "it is a character device"},
    Reading{"directory", [](const fs::path& dir, const Chart&) { return dir; }, "it is a directory"}),
    [](const auto& info) { return test::testName(info.param.what); });
// clang-format on

struct Writing {
    const char* what;
    Maker make;
    const char* reason;  // empty: the write succeeds
    // What else must hold once the new chart is written.
    std::function<bool(const fs::path& dir)> holds = {};
};

void PrintTo(const Writing& row, std::ostream* os)
{
    *os << row.what;
}

class WritingTargets : public ChartFiles, public testing::WithParamInterface<Writing> { };

TEST_P(WritingTargets, FollowTheUsersFileOrAreRefusedUntouched)
{
    const Writing& row = GetParam();
    const fs::path path = row.make(m_dir, m_chart);
    if (path.empty())
        GTEST_SKIP() << "this machine cannot make the target (it takes root)";
    struct stat before { };
    const bool existed = ::lstat(path.c_str(), &before) == 0;
    const std::string oldBytes = fs::is_regular_file(path) ? contents(path) : std::string();
    const long entriesBefore = entries();

    const std::string reason = writeChartFile(path, m_new);

    EXPECT_EQ(entries() - entriesBefore, existed || !reason.empty() ? 0 : 1) << "a temporary file left behind";
    if (*row.reason == '\0') {
        ASSERT_EQ(reason, "");
        EXPECT_EQ(contents(path), imageOf(m_new));
        EXPECT_TRUE(!row.holds || row.holds(m_dir));
        return;
    }
    EXPECT_NE(reason.find(row.reason), std::string::npos) << reason;
    struct stat after { };
    EXPECT_EQ(::lstat(path.c_str(), &after) == 0, existed);
    EXPECT_EQ(std::tuple(after.st_mode, after.st_ino), std::tuple(before.st_mode, before.st_ino));
    if (S_ISREG(after.st_mode)) {
        EXPECT_EQ(contents(path), oldBytes);
    }
}

// `path` holding `chart` with `mode`; empty when that cannot be made.
fs::path saved(const fs::path& path, const Chart& chart, mode_t mode = 0644)
{
    return writeChartFile(path, chart).empty() && ::chmod(path.c_str(), mode) == 0 ? path : fs::path();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Targets, WritingTargets, testing::Values(
    Writing{"link is written through, keeping the mode", [](const fs::path& dir, const Chart& old) {
        fs::create_symlink("real.cht", dir / "link.cht");
        return saved(dir / "real.cht", old, 0640).empty() ? fs::path() : dir / "link.cht";
    }, "", [](const fs::path& dir) {
        return fs::is_symlink(dir / "link.cht") && fs::status(dir / "real.cht").permissions() == fs::perms(0640);
    }},
    Writing{"device or FIFO is refused, for root too", [](const fs::path& dir, const Chart&) {
        // A copy of /dev/null where root may make one; a FIFO otherwise.
        const fs::path node = dir / "node.cht";
        const bool made = ::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0
                          || ::mkfifo(node.c_str(), 0666) == 0;
        return made ? node : fs::path();
    }, "not a regular file"},
    Writing{"read-only file is refused, for root too", [](const fs::path& dir, const Chart& old) {
        return saved(dir / "ro.cht", old, 0444);
    }, "read-only"},
    Writing{"directory says so", [](const fs::path& dir, const Chart&) { return dir / "."; }, "is a directory"},
    Writing{"missing folder says so", [](const fs::path& dir, const Chart&) { return dir / "no" / "x.cht"; },
            "No such file"},
    Writing{"longest name", [](const fs::path& dir, const Chart&) {
        return dir / (std::string(251, 'a') + ".cht");
    }, ""},
    Writing{"owner and group are kept", [](const fs::path& dir, const Chart& old) {
        const fs::path file = saved(dir / "theirs.cht", old);
        return !file.empty() && ::chown(file.c_str(), 4321, 4322) == 0 ? file : fs::path();
    }, "", [](const fs::path& dir) {
        struct stat status {};
        return ::stat((dir / "theirs.cht").c_str(), &status) == 0 && status.st_uid == 4321 && status.st_gid == 4322;
    }}),
    [](const auto& info) { return test::testName(info.param.what); });
// clang-format on

}  // namespace
