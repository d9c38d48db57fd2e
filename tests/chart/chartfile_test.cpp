#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "chart/chartfile.h"
#include "chart/pipeline.h"
#include "testcharts.h"
#include "testname.h"

using namespace zodiara;

namespace fs = std::filesystem;

namespace {

class ChartFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("zodiara-test-" + std::to_string(::getpid()) + "-"
                                           + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        DerivedTables t;
        computeChart(chart, t);
    }
    void TearDown() override
    {
        ::chmod(dir.c_str(), 0700);
        fs::remove_all(dir);
    }
    std::vector<char> bytesOf(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void writeBytes(const fs::path& p, const void* data, std::size_t size)
    {
        std::ofstream out(p, std::ios::binary);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    fs::path dir;
    Chart chart = test::referenceChart();
};

TEST_F(ChartFiles, RoundTripIsByteIdenticalIncludingHiddenBytes)
{
    // Remnants after a shorter name, the reserved double and the spare fields all survive.
    std::strcpy(chart.name, "Alexandra Longname");
    std::strcpy(chart.name, "Ann");
    chart.reserved = 1234.5;
    chart.universalTime.spare = 7;
    const fs::path a = dir / "a.cht";
    ASSERT_EQ(writeChartFile(a, chart), "");
    ASSERT_EQ(fs::file_size(a), 846u);
    const ChartReadResult read = readChartFile(a);
    ASSERT_TRUE(read.chart) << read.error;
    EXPECT_EQ(chartImage(*read.chart), chartImage(chart));
    const fs::path b = dir / "b.cht";
    ASSERT_EQ(writeChartFile(b, *read.chart), "");
    EXPECT_EQ(bytesOf(a), bytesOf(b));
    EXPECT_EQ(std::string(read.chart->name), "Ann");

    // The derived tables of a loaded chart equal those of the computed one.
    DerivedTables computed, loaded;
    rebuildDerivedTables(chart, computed);
    rebuildDerivedTables(*read.chart, loaded);
    for (int n = 0; n < BodyCount; ++n)
        EXPECT_EQ(loaded.sortedBodies[n].body, computed.sortedBodies[n].body);
}

TEST_F(ChartFiles, EditedPositionsAreShownAsStored)
{
    Chart edited = chart;
    edited.body(Body::Moon).longitude = chart.body(Body::Sun).longitude + 1;
    // Older versions let February 30 be entered; such files open, as do the outermost years.
    edited.birthDate = {9999, 30, 2};
    edited.utDate.year = -9999;
    const fs::path p = dir / "edited.cht";
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

class CorruptFiles : public ChartFiles, public ::testing::WithParamInterface<Corruption> {};

TEST_P(CorruptFiles, AreRefusedWithAReason)
{
    ChartImage image = chartImage(chart);
    const Corruption& c = GetParam();
    std::memcpy(image.data() + c.offset, c.bytes.data(), c.bytes.size());
    const fs::path p = dir / "bad.cht";
    writeBytes(p, image.data(), image.size());
    const ChartReadResult read = readChartFile(p);
    EXPECT_FALSE(read.chart);
    EXPECT_NE(read.error.find(c.reasonPart), std::string::npos) << read.error;
}

const std::vector<unsigned char> nan{0, 0, 0, 0, 0, 0, 0xf8, 0x7f};
const std::vector<unsigned char> minusOne{0xff, 0xff, 0xff, 0xff};

INSTANTIATE_TEST_SUITE_P(Fields, CorruptFiles, ::testing::Values(
    Corruption{"zone 29", 644, {29, 0, 0, 0}, "time zone"},
    Corruption{"negative zone", 644, minusOne, "time zone"},
    Corruption{"sign 12", 288 + 16, {12, 0, 0, 0}, "sign"},
    Corruption{"cusp house 0", 24, {0, 0, 0, 0}, "house"},
    Corruption{"body house 12", 288 + 20, {12, 0, 0, 0}, "house"},
    Corruption{"month 13", 655, {13}, "birth month"},
    Corruption{"birth year -2147483648", 650, {0, 0, 0, 0x80}, "the birth year is -2147483648, not -9999 to 9999"},
    Corruption{"birth year 10000", 650, {0x10, 0x27, 0, 0}, "birth year"},
    Corruption{"UT year -10000", 656, {0xf0, 0xd8, 0xff, 0xff}, "Universal Time year"},
    Corruption{"NaN longitude", 320, nan, "longitude"},
    Corruption{"longitude 361", 320, {0, 0, 0, 0, 0, 0x90, 0x76, 0x40}, "longitude"},
    Corruption{"latitude direction East", 540, {2, 0, 0, 0}, "latitude direction"},
    Corruption{"minutes 61", 288 + 4, {61, 0, 0, 0}, "minutes"},
    Corruption{"NaN Ascendant", 742, nan, "Ascendant"},
    Corruption{"NaN day number", 838, nan, "finite"},
    Corruption{"longitude 181 degrees", 528, {181, 0}, "longitude is outside"},
    Corruption{"unterminated name", 594, std::vector<unsigned char>(50, 'x'), "name is not terminated"}),
    [](const auto& info) { return zodiara::test::testName(info.param.what); });

TEST_F(ChartFiles, WrongSizesAreRefused)
{
    const fs::path p = dir / "short.cht";
    writeBytes(p, chartImage(chart).data(), 10);
    ChartReadResult read = readChartFile(p);
    EXPECT_FALSE(read.chart);
    EXPECT_EQ(read.error, "not a chart file: 10 bytes, a chart file has 846");
    const std::vector<char> longer(5000, 0);
    writeBytes(p, longer.data(), longer.size());
    read = readChartFile(p);
    EXPECT_EQ(read.error, "not a chart file: 5000 bytes, a chart file has 846");
    read = readChartFile(dir / "missing.cht");
    EXPECT_NE(read.error.find("No such file"), std::string::npos) << read.error;
    read = readChartFile(dir);
    EXPECT_FALSE(read.chart);
}

TEST_F(ChartFiles, AShortWriteIsReportedAndTheOldFileSurvives)
{
    const fs::path p = dir / "keep.cht";
    ASSERT_EQ(writeChartFile(p, chart), "");
    const std::vector<char> before = bytesOf(p);

    // A file-size limit makes the write itself fail, as a full disk would, even for root.
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Chart other = chart;
    other.zone = 7;
    const std::string reason = writeChartFile(p, other);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(reason, "");
    EXPECT_EQ(bytesOf(p), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(ChartFiles, WritesThatCannotHappenSayWhy)
{
    const std::string missing = writeChartFile(dir / "no" / "such" / "x.cht", chart);
    EXPECT_NE(missing.find("No such file"), std::string::npos) << missing;
    fs::create_directories(dir / "taken.cht" / "inside");
    EXPECT_NE(writeChartFile(dir / "taken.cht", chart), "");
    EXPECT_TRUE(fs::is_directory(dir / "taken.cht" / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(ChartFiles, ReplacingKeepsPermissions)
{
    const fs::path p = dir / "perm.cht";
    ASSERT_EQ(writeChartFile(p, chart), "");
    ::chmod(p.c_str(), 0640);
    ASSERT_EQ(writeChartFile(p, chart), "");
    struct stat st {};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace
