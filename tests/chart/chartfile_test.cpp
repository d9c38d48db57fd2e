#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <tuple>

#include "chart/chartfile.h"
#include "chart/fileio.h"
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
        m_chart = test::chartOf(test::referenceBirth());
        m_new = m_chart;
        m_new.birth.name = "New";
    }
    void TearDown() override { fs::remove_all(m_dir); }
    long entries() const { return std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()); }

    fs::path m_dir;
    Chart m_chart, m_new;
};

// Every byte survives, hidden ones included: remnants after a shorter name, a byte the code page
// leaves undefined, a flag byte other than 1, the reserved double, the spare fields. Edited
// positions are shown as stored; older versions' February 30 and the outermost years still open.
TEST_F(ChartFiles, RoundTripIsByteIdenticalIncludingHiddenBytes)
{
    m_chart.birth.name = "Alexandra Longname";
    m_chart.remnants.nameField = chartFromImage(chartImage(m_chart)).chart->remnants.nameField;
    m_chart.birth.name = "Ann";
    m_chart.remnants.placeField = {'a', '\x81', 'b'};
    m_chart.birth.place = "a\xEF\xBF\xBD"
                          "b";  // as read: U+FFFD stands for 0x81
    m_chart.remnants.daylightSavingByte = 2;
    m_chart.birth.daylightSaving = true;
    m_chart.remnants.reserved = 1234.5;
    m_chart.remnants.timeSpares[1] = 7;
    m_chart.body(Body::Moon).longitude = m_chart.body(Body::Sun).longitude + 1;
    m_chart.birth.birthDate = {9999, 2, 30};
    m_chart.times.utDate.year = -9999;
    const ChartImage image = chartImage(m_chart);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data()) + 594, 20),
              std::string("Ann\0andra Longname\0", 20));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data()) + 544, 4), std::string("a\x81"
                                                                                             "b\0",
                                                                                             4));
    EXPECT_EQ(std::to_integer<int>(image[648]), 2);
    const fs::path a = m_dir / "a.cht", b = m_dir / "b.cht";
    ASSERT_EQ(writeChartFile(a, m_chart), "");
    ASSERT_EQ(fs::file_size(a), 846u);
    const ChartReadResult read = readChartFile(a);
    ASSERT_TRUE(read.chart) << read.error;
    EXPECT_EQ(chartImage(*read.chart), chartImage(m_chart));
    ASSERT_EQ(writeChartFile(b, *read.chart), "");
    EXPECT_EQ(contents(a), contents(b));
    const DerivedTables t = derivedTables(*read.chart);
    EXPECT_EQ(t.aspectGrid[index(ChartPoint::Moon)][index(ChartPoint::Sun)], Aspect::Conjunction);
}

struct Corruption {
    const char* what;
    std::size_t offset;
    std::vector<unsigned char> bytes;
    const char* reasonPart;
};

class CorruptFiles : public ChartFiles, public testing::WithParamInterface<Corruption> {};

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
    Corruption{"zone 42", 644, {42, 0, 0, 0}, "time zone"},
    Corruption{"zone -1", 644, {0xff, 0xff, 0xff, 0xff}, "time zone"},
    Corruption{"sign 12", 288 + 16, {12, 0, 0, 0}, "sign"},
    Corruption{"cusp house 0", 24, {0, 0, 0, 0}, "house"},
    Corruption{"body house 12", 288 + 20, {12, 0, 0, 0}, "house"},
    Corruption{"month 13", 655, {13}, "birth month"},
    Corruption{"birth year -2147483648", 650, {0, 0, 0, 0x80}, "the birth year is -2147483648, not -9999 to 9999"},
    Corruption{"UT year -10000", 656, {0xf0, 0xd8, 0xff, 0xff}, "Universal Time year"},
    Corruption{"UT year 10001", 656, {0x11, 0x27, 0, 0}, "Universal Time year"},
    Corruption{"birth year 10000", 650, {0x10, 0x27, 0, 0}, "the birth year is 10000"},
    Corruption{"longitude 361", 320, {0, 0, 0, 0, 0, 0x90, 0x76, 0x40}, "longitude"},
    Corruption{"latitude direction East", 540, {2, 0, 0, 0}, "latitude direction"},
    Corruption{"minutes 61", 288 + 4, {61, 0, 0, 0}, "minutes"},
    Corruption{"NaN Ascendant", 742, nan, "Ascendant"},
    Corruption{"NaN day number", 838, nan, "finite"},
    Corruption{"longitude 181 degrees", 528, {181, 0}, "longitude is outside"},
    Corruption{"unterminated name", 594, std::vector<unsigned char>(50, 'x'), "name is not terminated"}),
    [](const auto& info) { return test::testName(info.param.what); });
// clang-format on

// Nothing is waited on: a FIFO would wait for a writer, a device never end.
TEST_F(ChartFiles, WhatIsNotAChartIsRefusedAtOnceWithWhatItIs)
{
    const fs::path fifo = m_dir / "fifo.cht", small = m_dir / "small.cht", large = m_dir / "large.cht";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(small) << std::string(10, '\0');
    std::ofstream(large) << std::string(5000, '\0');
    for (const auto& [path, reason] : {std::pair(fifo, "it is a FIFO"),
                                       {"/dev/zero", "it is a character device"},
                                       {small, "not a chart file: 10 bytes, a chart file has 846"},
                                       {large, "not a chart file: 5000 bytes, a chart file has 846"},
                                       {m_dir / "missing.cht", "No such file"}}) {
        auto reading = std::async(std::launch::async, [&path] { return readChartFile(path); });
        if (reading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            // A reader stuck on the FIFO is let go, to fail on its reason rather than hang.
            const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
        const ChartReadResult read = reading.get();
        EXPECT_FALSE(read.chart) << path;
        EXPECT_NE(read.error.find(reason), std::string::npos) << read.error;
    }
}

TEST_F(ChartFiles, AShortWriteIsReportedAndTheOldFileSurvives)
{
    const fs::path p = m_dir / "keep.cht";
    ASSERT_EQ(writeChartFile(p, m_chart), "");

    // A file-size limit makes the write itself fail, as a full disk would, even for root.
    struct rlimit saved {};
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

// Makes the path to write in `dir`; empty when this machine cannot make it.
struct Writing {
    const char* what;
    std::function<fs::path(const fs::path& dir)> make;
    const char* reason;                                          // empty: the write succeeds
    std::function<std::string(const fs::path& dir)> check = {};  // what else is wrong afterwards
};

class WritingTargets : public ChartFiles, public testing::WithParamInterface<Writing> {};

TEST_P(WritingTargets, FollowTheUsersFileOrAreRefusedUntouched)
{
    const Writing& row = GetParam();
    const fs::path path = row.make(m_dir);
    if (path.empty())
        GTEST_SKIP() << "this machine cannot make the target (it takes root, or a file system with ACLs)";
    // The name itself (a link stays a link) and the file it leads to.
    struct stat name = {}, file = {};
    const bool existed = ::lstat(path.c_str(), &name) == 0;
    ::stat(path.c_str(), &file);
    const std::string oldBytes = fs::is_regular_file(path) ? contents(path) : std::string();
    const long entriesBefore = entries();

    const std::string reason = writeChartFile(path, m_new);

    EXPECT_EQ(entries() - entriesBefore, existed || !reason.empty() ? 0 : 1) << "a temporary file left behind";
    struct stat nameAfter = {}, fileAfter = {};
    EXPECT_EQ(::lstat(path.c_str(), &nameAfter) == 0, existed || reason.empty());
    ::stat(path.c_str(), &fileAfter);
    if (existed) {
        EXPECT_EQ(std::tuple(nameAfter.st_mode, fileAfter.st_mode, fileAfter.st_uid, fileAfter.st_gid),
                  std::tuple(name.st_mode, file.st_mode, file.st_uid, file.st_gid));
    }
    if (*row.reason == '\0') {
        EXPECT_EQ(reason, "");
        EXPECT_EQ(contents(path), imageOf(m_new));
    } else {
        EXPECT_NE(reason.find(row.reason), std::string::npos) << reason;
        EXPECT_EQ(nameAfter.st_ino, name.st_ino);
        EXPECT_EQ(fs::is_regular_file(path) ? contents(path) : std::string(), oldBytes);
    }
    EXPECT_EQ(row.check ? row.check(m_dir) : "", "");
}

// `path` holding a chart with `mode`; empty when that cannot be made.
fs::path saved(const fs::path& path, mode_t mode = 0644)
{
    return writeChartFile(path, test::chartOf(test::referenceBirth())).empty() && ::chmod(path.c_str(), mode) == 0
               ? path
               : fs::path();
}

// A POSIX access control list as the kernel keeps it: version 2, then each entry's tag,
// permissions and user (none but for a named user's entry).
constexpr unsigned AclOwner = 1, AclUser = 2, AclGroup = 4, AclMask = 0x10, AclOther = 0x20;
std::string acl(std::initializer_list<std::array<unsigned, 3>> entries)
{
    std::string bytes{2, 0, 0, 0};
    const auto put = [&bytes](unsigned value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += char((value >> (8 * i)) & 0xff);
    };
    for (const auto& [tag, permissions, user] : entries) {
        put(tag, 2);
        put(permissions, 2);
        put(tag == AclUser ? user : 0xffffffffu, 4);
    }
    return bytes;
}

// Another user may read and write; the owning group, left out, must stay so.
const std::string NamedUserAcl =
    acl({{AclOwner, 6, 0}, {AclUser, 6, 4321}, {AclGroup, 0, 0}, {AclMask, 6, 0}, {AclOther, 0, 0}});

std::optional<std::string> attribute(const fs::path& path, const char* name)
{
    std::string value(256, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    return size < 0 ? std::nullopt : std::optional(value.substr(0, std::size_t(size)));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Targets, WritingTargets, testing::Values(
    Writing{"link is written through, keeping the mode", [](const fs::path& dir) {
        fs::create_symlink("real.cht", dir / "link.cht");
        return saved(dir / "real.cht", 0640).empty() ? fs::path() : dir / "link.cht";
    }, ""},
    Writing{"device or FIFO is refused, for root too", [](const fs::path& dir) {
        const fs::path node = dir / "node.cht";  // a copy of /dev/null where root may make one
        return ::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 || ::mkfifo(node.c_str(), 0666) == 0 ? node : fs::path();
    }, "not a regular file"},
    Writing{"read-only file is refused, for root too", [](const fs::path& dir) { return saved(dir / "ro.cht", 0444); }, "read-only"},
    Writing{"directory says so", [](const fs::path& dir) { return dir / "."; }, "is a directory"},
    Writing{"missing folder says so", [](const fs::path& dir) { return dir / "no" / "x.cht"; }, "No such file"},
    Writing{"longest name", [](const fs::path& dir) { return dir / (std::string(251, 'a') + ".cht"); }, ""},
    Writing{"owner and group are kept", [](const fs::path& dir) {
        const fs::path file = saved(dir / "theirs.cht");
        return !file.empty() && ::chown(file.c_str(), 4321, 4322) == 0 ? file : fs::path();
    }, ""},
    Writing{"hard links stay one file", [](const fs::path& dir) {
        const fs::path file = saved(dir / "h1.cht");
        return !file.empty() && ::link(file.c_str(), (dir / "h2.cht").c_str()) == 0 ? file : fs::path();
    }, "", [](const fs::path& dir) {
        return fs::hard_link_count(dir / "h1.cht") == 2 && contents(dir / "h2.cht") == contents(dir / "h1.cht") ? "" : "h2.cht parted from h1.cht";
    }},
    Writing{"access control list and extended attributes are kept", [](const fs::path& dir) {
        const fs::path file = saved(dir / "acl.cht");
        return !file.empty() && ::setxattr(file.c_str(), "user.zodiara", "kept", 4, 0) == 0
            && ::setxattr(file.c_str(), "system.posix_acl_access", NamedUserAcl.data(), NamedUserAcl.size(), 0) == 0 ? file : fs::path();
    }, "", [](const fs::path& dir) {
        return std::string(attribute(dir / "acl.cht", "user.zodiara") == "kept" ? "" : "user.zodiara lost")
            + (attribute(dir / "acl.cht", "system.posix_acl_access") == NamedUserAcl ? "" : " ACL changed");
    }},
    Writing{"the folder's default access control list grants nothing", [](const fs::path& dir) {
        fs::create_directory(dir / "shared");
        const fs::path file = saved(dir / "shared" / "plain.cht", 0640);
        const std::string inherited = acl({{AclOwner, 7, 0}, {AclUser, 7, 4321}, {AclGroup, 5, 0}, {AclMask, 7, 0}, {AclOther, 5, 0}});
        return !file.empty() && ::setxattr((dir / "shared").c_str(), "system.posix_acl_default", inherited.data(), inherited.size(), 0) == 0 ? file : fs::path();
    }, "", [](const fs::path& dir) {
        return attribute(dir / "shared" / "plain.cht", "system.posix_acl_access") ? "an ACL was taken on" : "";
    }}),
    [](const auto& info) { return test::testName(info.param.what); });
// clang-format on

struct Obstacle {
    const char* what;
    RenameSite site;
    const char* reason;  // empty: the rename goes ahead
};

class RenameObstacles : public testing::TestWithParam<Obstacle> {};

// What the system decides at the rename, known before the first of several files is replaced:
// a test running as root could not build the sticky cases.
TEST_P(RenameObstacles, AreKnownBeforeAnyFileIsReplaced)
{
    EXPECT_EQ(renameObstacle(GetParam().site), GetParam().reason);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sites, RenameObstacles, testing::Values(
    Obstacle{"another's file in another's sticky folder", {.user = 1000, .folderMode = 01777, .targetExists = true}, "it belongs to another user in a sticky folder"},
    Obstacle{"one's own file in a sticky folder", {.user = 1000, .folderMode = 01777, .targetExists = true, .targetOwner = 1000}, ""},
    Obstacle{"another's file in one's own sticky folder", {.user = 1000, .folderMode = 01777, .folderOwner = 1000, .targetExists = true}, ""},
    Obstacle{"another's file in a sticky folder with CAP_FOWNER", {.user = 1000, .overridesOwners = true, .folderMode = 01777, .targetExists = true}, ""},
    Obstacle{"a file of another device", {.folderDevice = 1, .targetExists = true, .targetDevice = 2}, "it is a mount point"},
    Obstacle{"a file mounted from the same device", {.targetExists = true, .targetIsMountRoot = true}, "it is a mount point"},
    Obstacle{"a new file on a read-only file system", {.readOnly = true}, "its file system is read-only"}),
    [](const auto& info) { return test::testName(info.param.what); });
// clang-format on

}  // namespace
