// Chart files read and replaced where the path is not a plain file: nothing is waited on, and
// a replaced file comes out as the user left it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>

#include "chart/chartfile.h"
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

class FileKinds : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("zodiara-fileio-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_old = test::referenceChart();
        m_new = m_old;
        std::strcpy(m_new.name, "New");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
    Chart m_old, m_new;
};

// Makes the path to read or write in `dir`; empty when this machine cannot make it.
using Maker = std::function<fs::path(const fs::path& dir, const Chart& old)>;

struct Reading {
    const char* what;
    Maker make;
    const char* reason;
};

void PrintTo(const Reading& row, std::ostream* os) { *os << row.what; }

class ReadingNonRegular : public FileKinds, public testing::WithParamInterface<Reading> {};

TEST_P(ReadingNonRegular, IsRefusedAtOnceWithWhatItIs)
{
    const fs::path path = GetParam().make(m_dir, m_old);
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

INSTANTIATE_TEST_SUITE_P(Kinds, ReadingNonRegular, testing::Values(
    Reading{"FIFO", [](const fs::path& dir, const Chart&) {
        return ::mkfifo((dir / "f.cht").c_str(), 0600) == 0 ? dir / "f.cht" : fs::path();
    }, "it is a FIFO"},
    Reading{"endless device", [](const fs::path&, const Chart&) { return fs::path("/dev/zero"); },
            "it is a character device"},
    Reading{"socket", [](const fs::path& dir, const Chart&) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string name = (dir / "s.cht").string();
        std::strncpy(address.sun_path, name.c_str(), sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return bound ? dir / "s.cht" : fs::path();
    }, "it is a socket"}),
    [](const auto& info) { return test::testName(info.param.what); });

struct Writing {
    const char* what;
    Maker make;
    const char* reason;  // empty: the write succeeds
    // What else must hold once the new chart is written.
    std::function<bool(const fs::path& dir)> holds = {};
};

void PrintTo(const Writing& row, std::ostream* os) { *os << row.what; }

class WritingTargets : public FileKinds, public testing::WithParamInterface<Writing> {};

TEST_P(WritingTargets, FollowTheUsersFileOrAreRefusedUntouched)
{
    const Writing& row = GetParam();
    const fs::path path = row.make(m_dir, m_old);
    if (path.empty())
        GTEST_SKIP() << "this machine cannot make the target (it takes root)";
    struct stat before {};
    const bool existed = ::lstat(path.c_str(), &before) == 0;
    const std::string oldBytes = fs::is_regular_file(path) ? contents(path) : std::string();
    const auto entries = std::distance(fs::directory_iterator(m_dir), fs::directory_iterator());

    const std::string reason = writeChartFile(path, m_new);

    const auto added = std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()) - entries;
    EXPECT_EQ(added, existed || !reason.empty() ? 0 : 1) << "a temporary file left behind";
    if (*row.reason == '\0') {
        ASSERT_EQ(reason, "");
        EXPECT_EQ(contents(path), imageOf(m_new));
        EXPECT_TRUE(!row.holds || row.holds(m_dir));
        return;
    }
    EXPECT_NE(reason.find(row.reason), std::string::npos) << reason;
    struct stat after {};
    ASSERT_EQ(::lstat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_ino, before.st_ino);
    if (S_ISREG(after.st_mode)) {
        EXPECT_EQ(contents(path), oldBytes);
    }
}

fs::path saved(const fs::path& path, const Chart& chart)
{
    return writeChartFile(path, chart).empty() ? path : fs::path();
}

INSTANTIATE_TEST_SUITE_P(Targets, WritingTargets, testing::Values(
    Writing{"link is written through", [](const fs::path& dir, const Chart& old) {
        fs::create_symlink("real.cht", dir / "link.cht");
        return saved(dir / "real.cht", old).empty() ? fs::path() : dir / "link.cht";
    }, "", [](const fs::path& dir) { return fs::is_symlink(dir / "link.cht"); }},
    Writing{"device or FIFO is refused, for root too", [](const fs::path& dir, const Chart&) {
        // A copy of /dev/null where root may make one; a FIFO otherwise.
        const fs::path node = dir / "node.cht";
        const bool made = ::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0
                          || ::mkfifo(node.c_str(), 0666) == 0;
        return made ? node : fs::path();
    }, "not a regular file"},
    Writing{"read-only file is refused, for root too", [](const fs::path& dir, const Chart& old) {
        const fs::path file = saved(dir / "ro.cht", old);
        return !file.empty() && ::chmod(file.c_str(), 0444) == 0 ? file : fs::path();
    }, "read-only"},
    Writing{"directory says so", [](const fs::path& dir, const Chart&) { return dir / "."; }, "is a directory"},
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

}  // namespace
