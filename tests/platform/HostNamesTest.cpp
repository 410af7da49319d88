// Names as the host holds them (bytes in any code page, characters Windows
// forbids) and the drive paths that reach them: the name forms, and every
// file call over a folder of such names.

#include "platform/FileSystem.h"
#include "platform/HostNames.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace attr = platform::attr;

namespace {

struct NameCase {
    const char* name;
    QByteArray bytes;
    QString drivePathName;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

const NameCase Names[] = {
    {"Ascii", "plain.txt", "plain.txt"},
    {"Utf8Greek", "\xCE\xA9mega", QString::fromUtf8("\xCE\xA9mega")},
    {"Latin1", "lat\xE9in1.txt", QString::fromUtf8("lat\xC3\xA9in1.txt")},
    {"Cp1252Only", "\x80 \x93q\x94", QString::fromUtf8("\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D")},
    {"UndefinedInCp1252", "x\x81y", QStringLiteral("x\u0081y")},
    {"Utf8AndLatin1Mixed", "\xC3\xA9\xE9", QString::fromUtf8("\xC3\x83\xC2\xA9\xC3\xA9")},
    {"Overlong", "\xC0\xAF", QString::fromUtf8("\xC3\x80\xC2\xAF")},
    {"EncodedSurrogate", "\xED\xA0\x80", QString::fromUtf8("\xC3\xAD\xC2\xA0\xE2\x82\xAC")},
    {"ForbiddenOnWindows", "amp & <lt> \"q\" #hash|*?:", "amp & <lt> \"q\" #hash|*?:"},
    {"Backslash", "b\\c.gif", QStringLiteral("b\uFF3Cc.gif")},
};

class NameForms : public ::testing::TestWithParam<NameCase> {};

TEST_P(NameForms, DrivePathNameAndHostTextThatGivesTheBytesBack)
{
    const NameCase& c = GetParam();
    EXPECT_EQ(platform::drivePathName(c.bytes), c.drivePathName);
    EXPECT_EQ(platform::hostBytes(platform::hostText(c.bytes)), c.bytes);
    EXPECT_EQ(platform::drivePathNameOfHostText(platform::hostText(c.bytes)), c.drivePathName);
}

INSTANTIATE_TEST_SUITE_P(Names, NameForms, ::testing::ValuesIn(Names),
                         [](const auto& row) { return std::string(row.param.name); });

class HostileNames : public ::testing::TestWithParam<NameCase> {
protected:
    TestEnvironment env;
    QString eRoot = env.mapDrive(u'e', QStringLiteral("cd"));
    platform::FileSystem& fs = env.fs();
};

// Each name, as a file and as a folder holding a file, is listed, reached,
// measured and converted back by its drive path.
TEST_P(HostileNames, AreListedAndReachedByTheirDrivePath)
{
    const NameCase& c = GetParam();
    const QString host = platform::hostText(c.bytes);
    env.writeFile(QStringLiteral("cd/Files/") + host, "12345");
    env.writeFile(QStringLiteral("cd/Folders/") + host + QStringLiteral("/inner.gif"), "123");

    const QString file = QStringLiteral("e:\\Files\\") + c.drivePathName;
    const QString folder = QStringLiteral("e:\\Folders\\") + c.drivePathName;
    EXPECT_EQ(fs.dir(QStringLiteral("e:\\Files\\*")), QStringList{c.drivePathName});
    EXPECT_EQ(fs.dir(QStringLiteral("e:\\Folders\\*"), attr::Directory), QStringList{c.drivePathName});
    EXPECT_EQ(fs.dir(folder + QStringLiteral("\\*")), QStringList{"inner.gif"});

    EXPECT_TRUE(fs.fileExists(file));
    EXPECT_EQ(fs.fileLen(file), 5);
    EXPECT_EQ(fs.fileLen(file.toUpper()), 5);  // ignoring case, as every lookup
    EXPECT_EQ(fs.getAttr(file), attr::Archive);
    EXPECT_EQ(fs.getAttr(folder), attr::Directory);
    EXPECT_EQ(fs.fileLen(folder + QStringLiteral("\\inner.gif")), 3);

    const QList<platform::DirEntry> entries = fs.dirEntries(QStringLiteral("e:\\Files\\*"));
    ASSERT_EQ(entries.size(), 1);
    EXPECT_TRUE(entries[0].readable);
    EXPECT_EQ(entries[0].size, 5);

    EXPECT_EQ(platform::hostBytes(fs.hostPath(file)), platform::hostBytes(eRoot + QStringLiteral("/Files/")) + c.bytes);
    EXPECT_EQ(fs.windowsPath(fs.hostPath(file)), file);
}

INSTANTIATE_TEST_SUITE_P(Names, HostileNames, ::testing::ValuesIn(Names),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
