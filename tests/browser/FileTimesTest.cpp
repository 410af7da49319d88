// The file-time helpers on real files in a sandbox: times read, records left
// untouched, files left alone, and the exact comparison.

#include "browser/FileTimes.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

const FILETIME Sentinel{0x12345678, 0x9ABCDEF0};

struct Times {
    FILETIME creation = Sentinel;
    FILETIME lastWrite = Sentinel;
    FILETIME lastAccess = Sentinel;
};

Times read(const QString& name)
{
    Times times;
    GetFileTimes(name, times.creation, times.lastWrite, times.lastAccess);
    return times;
}

bool untouched(const Times& times)
{
    return FileTimesMatch(times.creation, Sentinel) && FileTimesMatch(times.lastWrite, Sentinel)
           && FileTimesMatch(times.lastAccess, Sentinel);
}

// 1 January 2001, and ten days and a fraction of a second later, as file times.
constexpr std::uint64_t Earlier = 126227808000000000;
constexpr std::uint64_t Later = Earlier + 10 * 864000000000ull + 1234567;

FILETIME fileTime(std::uint64_t count)
{
    return {static_cast<std::uint32_t>(count), static_cast<std::uint32_t>(count >> 32)};
}

class FileTimesTest : public ::testing::Test {
protected:
    FileTimesTest() { env.writeFile("pictures/a.gif", "GIF89a"); }
    QString path(const QString& name) { return env.windowsPath("pictures/" + name); }

    TestEnvironment env;
};

TEST_F(FileTimesTest, ReadsTheTimesOfAFileNamedWithBlanksAround)
{
    const Times times = read("  " + path("a.gif") + " ");
    EXPECT_FALSE(untouched(times));
    const platform::FileTimes host = env.fs().fileTimes(path("a.gif"));
    EXPECT_TRUE(FileTimesMatch(times.lastWrite, fileTime(host.lastWrite)));
    EXPECT_TRUE(FileTimesMatch(times.lastAccess, fileTime(host.lastAccess)));
    EXPECT_TRUE(FileTimesMatch(times.creation, fileTime(host.creation)));
}

TEST_F(FileTimesTest, AMissingOrHiddenFileLeavesTheRecordsAsTheyWere)
{
    env.writeFile("pictures/.hidden.gif", "GIF89a");
    EXPECT_TRUE(untouched(read(path("none.gif"))));
    EXPECT_TRUE(untouched(read(path(".hidden.gif"))));

    FILETIME zero;
    FILETIME alsoZero;
    FILETIME stillZero;
    GetFileTimes(path("none.gif"), zero, alsoZero, stillZero);
    EXPECT_EQ(zero.low | zero.high | alsoZero.low | alsoZero.high | stillZero.low | stillZero.high, 0u);
}

TEST_F(FileTimesTest, StampedTimesReadBackExactly)
{
    SetFileTimes(path("a.gif"), fileTime(Earlier), fileTime(Later), fileTime(Earlier));
    const Times times = read(path("a.gif"));
    EXPECT_TRUE(FileTimesMatch(times.lastWrite, fileTime(Later)));
    EXPECT_TRUE(FileTimesMatch(times.lastAccess, fileTime(Earlier)));

    // Copying one file's times to another makes their last writes match.
    env.writeFile("pictures/b.ai", "drawing");
    SetFileTimes(path("b.ai"), times.creation, times.lastWrite, times.lastAccess);
    EXPECT_TRUE(FileTimesMatch(read(path("b.ai")).lastWrite, times.lastWrite));
}

TEST_F(FileTimesTest, MissingHiddenAndReadOnlyFilesKeepTheirTimes)
{
    SetFileTimes(path("none.gif"), fileTime(Earlier), fileTime(Earlier), fileTime(Earlier));
    EXPECT_FALSE(QFile::exists(env.hostPath("pictures/none.gif")));

    env.writeFile("pictures/.hidden.gif", "GIF89a");
    const platform::FileTimes hiddenBefore = env.fs().fileTimes(path(".hidden.gif"));
    SetFileTimes(path(".hidden.gif"), fileTime(Earlier), fileTime(Earlier), fileTime(Earlier));
    EXPECT_EQ(env.fs().fileTimes(path(".hidden.gif")).lastWrite, hiddenBefore.lastWrite);

    const Times before = read(path("a.gif"));
    QFile::setPermissions(env.hostPath("pictures/a.gif"), QFileDevice::ReadOwner);
    SetFileTimes(path("a.gif"), fileTime(Earlier), fileTime(Earlier), fileTime(Earlier));
    QFile::setPermissions(env.hostPath("pictures/a.gif"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_TRUE(FileTimesMatch(read(path("a.gif")).lastWrite, before.lastWrite));
}

TEST(FileTimesMatch, IsExactEqualityOfBothHalves)
{
    EXPECT_TRUE(FileTimesMatch(FILETIME{}, FILETIME{}));
    EXPECT_TRUE(FileTimesMatch(fileTime(Later), fileTime(Later)));
    EXPECT_FALSE(FileTimesMatch(FILETIME{1, 7}, FILETIME{2, 7}));
    EXPECT_FALSE(FileTimesMatch(FILETIME{1, 7}, FILETIME{1, 8}));
}

}  // namespace
