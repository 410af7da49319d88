// Windows paths over a temporary folder mapped as drive e: (and the host root
// as c:): conversion both ways, case-insensitive lookup, the directory search,
// drives that are not ready, the file calls' errors and file times.

#include "platform/FileSystem.h"
#include "platform/HostNames.h"
#include "runtime/ErrorNumber.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using platform::FileSystem;
using platform::HostFolder;
using platform::HostFolderEntry;
namespace attr = platform::attr;
namespace err = runtime::err;

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    TestEnvironment env;
    QString eRoot = env.mapDrive(u'e', QStringLiteral("cd"));
    FileSystem& fs = env.fs();

    void write(const QString& relativeToE, const QByteArray& bytes = "x")
    {
        env.writeFile(QStringLiteral("cd/") + relativeToE, bytes);
    }
};

TEST_F(FileSystemTest, MapsPathsBothWays)
{
    write(QStringLiteral("Art/Clips/x.gif"));
    EXPECT_EQ(fs.hostPath(QStringLiteral("E:\\Art\\Clips\\x.gif")), eRoot + QStringLiteral("/Art/Clips/x.gif"));
    EXPECT_EQ(fs.hostPath(QStringLiteral("e:/Art/Clips/")), eRoot + QStringLiteral("/Art/Clips"));
    EXPECT_EQ(fs.hostPath(QStringLiteral("e:\\")), eRoot);
    EXPECT_EQ(fs.hostPath(QStringLiteral("e:\\Art\\.\\Clips\\..\\New\\y.gif")), eRoot + QStringLiteral("/Art/New/y.gif"));
    EXPECT_EQ(fs.hostPath(QStringLiteral("C:\\usr\\bin")), u"/usr/bin");
    EXPECT_EQ(fs.hostPath(QStringLiteral("\\usr")), u"/usr");

    // The mapped folder lies under the host root too: the closest root wins.
    EXPECT_EQ(fs.windowsPath(eRoot + QStringLiteral("/Art/Clips/x.gif")), u"e:\\Art\\Clips\\x.gif");
    EXPECT_EQ(fs.windowsPath(eRoot), u"e:\\");
    EXPECT_EQ(fs.windowsPath(eRoot + QStringLiteral("/Art/")), u"e:\\Art");
    // A sibling whose name merely starts like the mapped folder stays on c:.
    EXPECT_EQ(fs.windowsPath(eRoot + QStringLiteral("x/y")), QStringLiteral("C:") + QString(eRoot + QStringLiteral("x/y")).replace(u'/', u'\\'));
    EXPECT_EQ(fs.windowsPath(QStringLiteral("/")), u"C:\\");
    EXPECT_EQ(fs.windowsPath(QStringLiteral("/usr/bin")), u"C:\\usr\\bin");
}

// A path without a drive or a leading "\" is relative to the current
// folder, as a relative path is; one with a leading "\" starts at the root.
TEST_F(FileSystemTest, PathsWithoutADriveAreRelativeToTheCurrentFolder)
{
    write(QStringLiteral("Data/Lists/a.txt"));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(eRoot + QStringLiteral("/Data")));
    EXPECT_EQ(fs.hostPath(QStringLiteral("locations.txt")), eRoot + QStringLiteral("/Data/locations.txt"));
    EXPECT_EQ(fs.hostPath(QStringLiteral("lists\\A.TXT")), eRoot + QStringLiteral("/Data/Lists/a.txt"));
    EXPECT_TRUE(fs.fileExists(QStringLiteral("Lists\\a.txt")));
    EXPECT_EQ(fs.dir(QStringLiteral("Lists\\*")), QStringList{"a.txt"});
    EXPECT_EQ(fs.hostPath(QStringLiteral("\\usr")), u"/usr");
    QDir::setCurrent(before);
}

TEST_F(FileSystemTest, LooksUpNamesIgnoringCaseButPrefersTheExactOne)
{
    write(QStringLiteral("Art/Clips/Photo.GIF"));
    write(QStringLiteral("Art/both.txt"), "lower");
    write(QStringLiteral("Art/BOTH.txt"), "upper");

    EXPECT_EQ(fs.hostPath(QStringLiteral("e:\\ART\\clips\\photo.gif")), eRoot + QStringLiteral("/Art/Clips/Photo.GIF"));
    EXPECT_EQ(fs.hostPath(QStringLiteral("e:\\art\\BOTH.txt")), eRoot + QStringLiteral("/Art/BOTH.txt"));
    EXPECT_EQ(fs.hostPath(QStringLiteral("e:\\art\\both.txt")), eRoot + QStringLiteral("/Art/both.txt"));
    // Missing components are kept as written, below the part that exists.
    EXPECT_EQ(fs.hostPath(QStringLiteral("e:\\art\\New Folder\\A.txt")), eRoot + QStringLiteral("/Art/New Folder/A.txt"));
    EXPECT_TRUE(fs.fileExists(QStringLiteral("E:\\art\\CLIPS\\photo.gif")));
    EXPECT_FALSE(fs.fileExists(QStringLiteral("E:\\art\\CLIPS")));
    EXPECT_TRUE(fs.folderExists(QStringLiteral("E:\\art\\CLIPS\\")));
    EXPECT_TRUE(fs.folderExists(QStringLiteral("e:")));
    EXPECT_FALSE(fs.folderExists(QStringLiteral("e:\\art\\clips\\photo.gif")));
}

struct DirCase {
    const char* pattern;
    int attributes;
    QStringList names;
};

class DirSearch : public FileSystemTest, public ::testing::WithParamInterface<DirCase> {};

TEST_P(DirSearch, MatchesSortsAndFilters)
{
    for (const char* name : {"b.TXT", "a.txt", "C.txt", "README", "notes.txt.bak", ".hidden.txt", "Zeta.gif",
                             "a.txt2"})
        write(QStringLiteral("Dir/") + QString::fromUtf8(name));
    QDir().mkpath(eRoot + QStringLiteral("/Dir/Sub.txt"));
    QDir().mkpath(eRoot + QStringLiteral("/Dir/.git"));

    EXPECT_EQ(fs.dir(QString::fromUtf8(GetParam().pattern), GetParam().attributes), GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, DirSearch,
    ::testing::Values(
        DirCase{"e:\\dir\\*.*", attr::Normal,
                {"a.txt", "a.txt2", "b.TXT", "C.txt", "notes.txt.bak", "README", "Zeta.gif"}},
        DirCase{"e:\\dir\\*", attr::Normal,
                {"a.txt", "a.txt2", "b.TXT", "C.txt", "notes.txt.bak", "README", "Zeta.gif"}},
        DirCase{"e:\\dir\\", attr::Normal,
                {"a.txt", "a.txt2", "b.TXT", "C.txt", "notes.txt.bak", "README", "Zeta.gif"}},
        DirCase{"E:/DIR/*.txt", attr::Normal, {"a.txt", "b.TXT", "C.txt"}},
        DirCase{"e:\\dir\\?.txt", attr::Normal, {"a.txt", "b.TXT", "C.txt"}},
        DirCase{"e:\\dir\\readme.*", attr::Normal, {"README"}},
        DirCase{"e:\\dir\\*.", attr::Normal, {"README"}},
        DirCase{"e:\\dir\\notes*", attr::Normal, {"notes.txt.bak"}},
        DirCase{"e:\\dir\\ZETA.GIF", attr::Normal, {"Zeta.gif"}},
        DirCase{"e:\\dir\\*.txt", attr::Directory, {"a.txt", "b.TXT", "C.txt", "Sub.txt"}},
        DirCase{"e:\\dir\\*.txt", attr::Hidden, {".hidden.txt", "a.txt", "b.TXT", "C.txt"}},
        DirCase{"e:\\dir\\*", attr::Directory | attr::Hidden,
                {".git", ".hidden.txt", "a.txt", "a.txt2", "b.TXT", "C.txt", "notes.txt.bak", "README", "Sub.txt",
                 "Zeta.gif"}},
        DirCase{"e:\\dir\\nothing*", attr::Normal, {}},
        DirCase{"e:\\missing\\*.*", attr::Normal, {}}));

TEST_F(FileSystemTest, DirOrdersNamesThatDifferOnlyInCaseTheSameEveryTime)
{
    for (const char* name : {"abc", "ABC", "Abc", "abd"})
        write(QStringLiteral("Same/") + QString::fromUtf8(name));
    EXPECT_EQ(fs.dir(QStringLiteral("e:\\same\\*")), (QStringList{"ABC", "Abc", "abc", "abd"}));
}

// Case is folded character by character, the ASCII ones and the others
// alike, and names equal but for case keep their exact order.
TEST_F(FileSystemTest, DirOrdersNamesIgnoringCaseThenExactly)
{
    const QString capitalE = QString::fromUtf8("\xC3\x89");
    const QString smallE = QString::fromUtf8("\xC3\xA9");
    const QStringList ordered = {"[y", "_x", "A", "a", "ab", "a" + capitalE, "a" + smallE,
                                 "b", "zeb", "Zeta", capitalE + "a", smallE + "b"};
    for (const QString& name : ordered)
        write(QStringLiteral("Order/") + name);
    EXPECT_EQ(fs.dir(QStringLiteral("e:\\order\\*")), ordered);
}

// A folder too big for one read of its entries is read whole, and again from
// its start after a look at whether it is empty.
TEST_F(FileSystemTest, ReadsABigFolderWholeEveryTime)
{
    QStringList names;
    for (int i = 0; i < 1000; ++i)
        names += QStringLiteral("a clip-art picture with a long name %1.wmf").arg(i, 4, 10, QChar(u'0'));
    for (const QString& name : names)
        write(QStringLiteral("Big/") + name);
    const HostFolder folder(eRoot + QStringLiteral("/Big"));
    EXPECT_FALSE(folder.isEmpty());
    for (int reading = 0; reading < 2; ++reading) {
        QStringList read;
        for (const HostFolderEntry& entry : folder.entries())
            read += entry.name;
        read.sort();
        EXPECT_EQ(read, names) << "reading " << reading;
    }
    QDir().mkpath(eRoot + QStringLiteral("/Empty"));
    EXPECT_TRUE(HostFolder(eRoot + QStringLiteral("/Empty")).isEmpty());
}

TEST_F(FileSystemTest, DrivesThatAreNotReady)
{
    const QString gone = env.mapDrive(u'f', QStringLiteral("gone"));
    QDir(gone).removeRecursively();
    env.fs().drives().mapDevice(u'g', QStringLiteral("/dev/no-such-disc"));

    for (const char* pattern : {"f:\\*.*", "g:\\*.*", "q:\\Art\\*"})
        EXPECT_EQ(errorNumberOf([&] { fs.dir(QString::fromUtf8(pattern)); }), err::BadFileNameOrNumber) << pattern;
    for (const char* path : {"f:\\x.txt", "g:\\", "q:\\x.txt"})
        EXPECT_EQ(errorNumberOf([&] { fs.hostPath(QString::fromUtf8(path)); }), err::DeviceUnavailable) << path;
    EXPECT_FALSE(fs.fileExists(QStringLiteral("q:\\x.txt")));
    EXPECT_FALSE(fs.folderExists(QStringLiteral("f:\\")));
    EXPECT_EQ(fs.windowsPath(gone + QStringLiteral("/x.txt")), QStringLiteral("C:") + QString(gone + QStringLiteral("/x.txt")).replace(u'/', u'\\'));
}

TEST_F(FileSystemTest, CdDriveWhoseFolderIsEmptyHoldsNoDisc)
{
    env.mapDrive(u'd', QStringLiteral("disc"), platform::DriveTable::Kind::CdRom);
    env.mapDrive(u'f', QStringLiteral("emptyFixed"));

    EXPECT_EQ(errorNumberOf([&] { fs.dir(QStringLiteral("d:\\Art\\*")); }), err::BadFileNameOrNumber);
    EXPECT_EQ(fs.dir(QStringLiteral("f:\\*")), QStringList());
    env.writeFile(QStringLiteral("disc/Art/x.gif"), "x");
    EXPECT_EQ(fs.dir(QStringLiteral("d:\\Art\\*")), QStringList{"x.gif"});
    EXPECT_EQ(fs.dir(QStringLiteral("d:\\*")), QStringList());
}

TEST_F(FileSystemTest, AttributesAndLengths)
{
    write(QStringLiteral("a.txt"), "12345");
    write(QStringLiteral(".secret"));
    write(QStringLiteral("locked.txt"));
    QFile::setPermissions(eRoot + QStringLiteral("/locked.txt"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    QDir().mkpath(eRoot + QStringLiteral("/Folder"));

    EXPECT_EQ(fs.getAttr(QStringLiteral("e:\\A.TXT")), attr::Archive);
    EXPECT_EQ(fs.getAttr(QStringLiteral("e:\\.secret")), attr::Archive | attr::Hidden);
    EXPECT_EQ(fs.getAttr(QStringLiteral("e:\\locked.txt")), attr::Archive | attr::ReadOnly);
    EXPECT_EQ(fs.getAttr(QStringLiteral("e:\\folder")), attr::Directory);
    EXPECT_EQ(fs.getAttr(QStringLiteral("e:\\")), attr::Directory);
    EXPECT_EQ(fs.fileLen(QStringLiteral("e:\\a.txt")), 5);

    // A link back to a folder above it is no folder to walk into; a link elsewhere is.
    QDir().mkpath(eRoot + QStringLiteral("/Folder/Sub"));
    QFile::link(eRoot + QStringLiteral("/Folder"), eRoot + QStringLiteral("/Folder/Sub/Back"));
    QFile::link(eRoot + QStringLiteral("/Folder/Sub"), eRoot + QStringLiteral("/Across"));
    EXPECT_EQ(fs.getAttr(QStringLiteral("e:\\folder\\sub\\back")), attr::System);
    EXPECT_EQ(fs.getAttr(QStringLiteral("e:\\across")), attr::Directory);
    const QList<platform::DirEntry> entries = fs.dirEntries(QStringLiteral("e:\\*.*"), attr::Directory);
    const auto across = std::find_if(entries.begin(), entries.end(), [](const auto& e) { return e.name == u"Across"; });
    ASSERT_NE(across, entries.end());
    EXPECT_EQ(across->attributes, attr::Directory);
    EXPECT_EQ(fs.dirEntries(QStringLiteral("e:\\folder\\sub\\*.*"), attr::Directory).front().attributes, attr::System);
    EXPECT_EQ(errorNumberOf([&] { fs.getAttr(QStringLiteral("e:\\none")); }), err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { fs.fileLen(QStringLiteral("e:\\none")); }), err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { fs.fileDateTime(QStringLiteral("e:\\none")); }), err::FileNotFound);
}

TEST_F(FileSystemTest, ChangingCallsRaiseTheRuntimeErrors)
{
    write(QStringLiteral("a.txt"), "A");
    write(QStringLiteral("b.txt"), "B");
    QDir().mkpath(eRoot + QStringLiteral("/Folder"));

    EXPECT_EQ(errorNumberOf([&] { fs.mkDir(QStringLiteral("e:\\FOLDER")); }), err::PathFileAccessError);
    EXPECT_EQ(errorNumberOf([&] { fs.mkDir(QStringLiteral("e:\\a.txt")); }), err::PathFileAccessError);
    EXPECT_EQ(errorNumberOf([&] { fs.mkDir(QStringLiteral("e:\\no\\new")); }), err::PathNotFound);
    EXPECT_EQ(errorNumberOf([&] { fs.kill(QStringLiteral("e:\\none.txt")); }), err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { fs.kill(QStringLiteral("e:\\folder")); }), err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { fs.name(QStringLiteral("e:\\none.txt"), QStringLiteral("e:\\c.txt")); }),
              err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { fs.name(QStringLiteral("e:\\a.txt"), QStringLiteral("e:\\B.TXT")); }), 58);
    EXPECT_EQ(errorNumberOf([&] { fs.name(QStringLiteral("e:\\a.txt"), QStringLiteral("e:\\no\\a.txt")); }),
              err::PathNotFound);
    EXPECT_EQ(errorNumberOf([&] { fs.fileCopy(QStringLiteral("e:\\none.txt"), QStringLiteral("e:\\c.txt")); }),
              err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { fs.fileCopy(QStringLiteral("e:\\a.txt"), QStringLiteral("e:\\no\\c.txt")); }),
              err::PathNotFound);
    EXPECT_EQ(errorNumberOf([&] { fs.fileCopy(QStringLiteral("e:\\a.txt"), QStringLiteral("e:\\folder")); }),
              err::PathFileAccessError);
    EXPECT_EQ(errorNumberOf([&] { fs.kill(QStringLiteral("q:\\a.txt")); }), err::DeviceUnavailable);

    // Nothing was lost on the way.
    EXPECT_EQ(env.readFile(QStringLiteral("cd/a.txt")), "A");
    EXPECT_EQ(env.readFile(QStringLiteral("cd/b.txt")), "B");
}

TEST_F(FileSystemTest, ChangingCallsDoTheirWork)
{
    write(QStringLiteral("a.txt"), "A");
    write(QStringLiteral("old.txt"), "old");

    fs.mkDir(QStringLiteral("E:\\New"));
    EXPECT_TRUE(QFileInfo(eRoot + QStringLiteral("/New")).isDir());
    fs.fileCopy(QStringLiteral("e:\\A.TXT"), QStringLiteral("e:\\new\\copy.txt"));
    EXPECT_EQ(env.readFile(QStringLiteral("cd/New/copy.txt")), "A");
    fs.fileCopy(QStringLiteral("e:\\a.txt"), QStringLiteral("e:\\OLD.TXT"));  // overwrites the existing file
    EXPECT_EQ(env.readFile(QStringLiteral("cd/old.txt")), "A");
    EXPECT_FALSE(QFileInfo::exists(eRoot + QStringLiteral("/OLD.TXT")));

    fs.name(QStringLiteral("e:\\new\\copy.txt"), QStringLiteral("e:\\moved.txt"));
    EXPECT_EQ(env.readFile(QStringLiteral("cd/moved.txt")), "A");
    fs.name(QStringLiteral("e:\\moved.txt"), QStringLiteral("e:\\MOVED.txt"));  // a change of case only
    EXPECT_EQ(QDir(eRoot).entryList({QStringLiteral("*oved*")}), QStringList{QStringLiteral("MOVED.txt")});

    fs.kill(QStringLiteral("e:\\moved.TXT"));
    EXPECT_FALSE(fs.fileExists(QStringLiteral("e:\\moved.txt")));
}

TEST_F(FileSystemTest, FileTimesRoundTripAndCopiesKeepTheirWriteTime)
{
    write(QStringLiteral("t.txt"));
    // 1 March 2008 12:00:00.1234567 UTC and a day later, in 100 ns since 1601.
    const std::uint64_t march2008 = 128488464001234567ULL;
    const std::uint64_t dayLater = march2008 + 864000000000ULL;
    const platform::FileTimes before = fs.fileTimes(QStringLiteral("e:\\t.txt"));
    EXPECT_GT(before.creation, 0u);

    fs.setFileTimes(QStringLiteral("e:\\T.TXT"), {0, march2008, dayLater});
    const platform::FileTimes after = fs.fileTimes(QStringLiteral("e:\\t.txt"));
    EXPECT_EQ(after.lastAccess, march2008);
    EXPECT_EQ(after.lastWrite, dayLater);
    EXPECT_EQ(QFileInfo(eRoot + QStringLiteral("/t.txt")).lastModified().toUTC(),
              QDateTime(QDate(2008, 3, 2), QTime(12, 0, 0, 123), Qt::UTC));
    EXPECT_EQ(fs.fileDateTime(QStringLiteral("e:\\t.txt")),
              runtime::fromQDateTime(QDateTime(QDate(2008, 3, 2), QTime(12, 0), Qt::UTC).toLocalTime()));

    fs.setFileTimes(QStringLiteral("e:\\t.txt"), {0, 0, march2008});  // zero leaves a time alone
    EXPECT_EQ(fs.fileTimes(QStringLiteral("e:\\t.txt")).lastAccess, march2008);

    fs.fileCopy(QStringLiteral("e:\\t.txt"), QStringLiteral("e:\\copy.txt"));
    EXPECT_EQ(fs.fileTimes(QStringLiteral("e:\\copy.txt")).lastWrite, march2008);
    EXPECT_EQ(errorNumberOf([&] { fs.fileTimes(QStringLiteral("e:\\none")); }), err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { fs.setFileTimes(QStringLiteral("e:\\none"), {}); }), err::FileNotFound);
}

// A walk's open folders give what the directory search of their path gives,
// sub-folders opened from the folder above; a folder that has gone gives
// nothing, and a drive that is not ready raises as the search does.
TEST_F(FileSystemTest, OpenFoldersListAsTheirPathsDo)
{
    for (const char* name : {"Art/b.gif", "Art/A.wmf", "Art/.hidden", "Art/Sub/c.gif", "Art/Gone/d.gif", "top.txt"})
        write(QString::fromUtf8(name));
    const auto names = [](const QList<platform::DirEntry>& entries) {
        QStringList texts;
        for (const platform::DirEntry& entry : entries)
            texts += entry.name + (entry.attributes & attr::Directory ? "\\" : "") + QString::number(entry.size);
        return texts;
    };
    const platform::OpenFolder root = fs.openFolder(QStringLiteral("e:\\"));
    const QList<platform::DirEntry> top = fs.dirEntries(root, attr::Directory);
    EXPECT_EQ(names(top), names(fs.dirEntries(QStringLiteral("e:\\*.*"), attr::Directory)));
    ASSERT_EQ(names(top), QStringList({"Art\\0", "top.txt1"}));

    const platform::OpenFolder art = fs.openFolder(root, top[0]);
    const QList<platform::DirEntry> inArt = fs.dirEntries(art, attr::Directory);
    EXPECT_EQ(names(inArt), QStringList({"A.wmf1", "b.gif1", "Gone\\0", "Sub\\0"}));
    EXPECT_EQ(names(fs.dirEntries(fs.openFolder(art, inArt[3]), attr::Directory)), QStringList({"c.gif1"}));

    QDir(eRoot + QStringLiteral("/Art/Gone")).removeRecursively();
    const platform::OpenFolder gone = fs.openFolder(art, inArt[2]);
    EXPECT_FALSE(gone.isOpen());
    EXPECT_TRUE(fs.dirEntries(gone, attr::Directory).isEmpty());
    EXPECT_FALSE(fs.openFolder(QStringLiteral("e:\\Missing")).isOpen());

    env.mapDrive(u'd', QStringLiteral("disc"), platform::DriveTable::Kind::CdRom);
    EXPECT_EQ(errorNumberOf([&] { fs.openFolder(QStringLiteral("d:\\Art")); }), err::BadFileNameOrNumber);
}

}  // namespace
