// The folder walk over a temporary tree mapped as a drive, compared byte for
// byte with the listing it must write.

#include "platform/HostNames.h"
#include "runtime/AnsiText.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"
#include "search/ListingReader.h"
#include "search/ListingWriter.h"
#include "support/TestEnvironment.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

const QDateTime Morning(QDate(2008, 12, 11), QTime(10, 30, 0));
const QDateTime Midnight(QDate(2009, 1, 2), QTime(0, 0, 0));
const QString Name70 = QString(66, u'n') + ".gif";

QByteArray fileLine(const QByteArray& name, const QByteArray& sizeField, const QByteArray& date = "12/11/2008 10:30:00 AM")
{
    return name.leftJustified(65, ' ', true) + sizeField + " bytes " + date + "\r\n";
}

QByteArray header(const QByteArray& folder, const QByteArray& volume = "My Art ")
{
    return "\r\nVolume:    " + volume + "\r\nDirectory: " + folder + "\r\n\r\n";
}

class ListingWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        env.mapDrive(u'e', "tree");
    }
    void TearDown() override { ListSearch = ListSearchModule{}; }

    // A file of the given size (sparse) with its last-write time.
    void makeFile(const QString& relative, qint64 size, const QDateTime& time = Morning)
    {
        env.writeFile("tree/" + relative, {});
        QFile file(env.hostPath("tree/" + relative));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.resize(size));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }
    void makeFolder(const QString& relative) { QDir().mkpath(env.hostPath("tree/" + relative)); }

    QByteArray walk(const QString& path, int flags = listingflags::File1Only, const QString& pattern = "*.*")
    {
        {
            runtime::AnsiTextWriter out(env.hostPath("listing.tmp"));
            WriteFolderListing(path, pattern, ListingFiles{&out, nullptr}, "My Art ", flags);
        }
        return env.readFile("listing.tmp");
    }

    TestEnvironment env;
};

TEST_F(ListingWriterTest, WritesEveryFolderBlockInWalkOrder)
{
    makeFile("Art/medium.dat", 1234567);
    makeFile("Art/big.bin", 1000000000);
    makeFile("Art/empty.txt", 0, Midnight);
    makeFile("Art/" + Name70, 5);
    makeFile("Art/pagefile.sys", 1);
    makeFile("Art/PageFile.sys", 2);
    makeFile("Art/Animals/cat.wmf", 12);
    makeFolder("Art/Empty");
    makeFolder("pagefile.sys");
    makeFile("z.txt", 1);
    // A link back to a folder above is a system entry, which no walk lists.
    ASSERT_TRUE(QFile::link(env.hostPath("tree/Art"), env.hostPath("tree/Art/Animals/Back")));

    const QByteArray expected = header("\\") + "<DIR> Art\r\n\r\n" + fileLine("z.txt", "               1") +
        header("\\Art\\") + "<DIR> Animals\r\n<DIR> Empty\r\n\r\n" +
        fileLine("big.bin", "   1,000,000,000") + fileLine("empty.txt", "               0", "1/2/2009") +
        fileLine("medium.dat", "       1,234,567") + fileLine(Name70.toLatin1(), "               5") +
        fileLine("PageFile.sys", "               2") +
        header("\\Art\\Animals\\") + fileLine("cat.wmf", "              12") +
        header("\\Art\\Empty\\");
    EXPECT_EQ(walk("e:"), expected);
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

TEST_F(ListingWriterTest, WhatTheWalkWritesReadsBack)
{
    makeFile("Art/medium.dat", 1234567);
    makeFile("Art/big.bin", 3000000000);
    makeFile("Art/huge.iso", 12345678901);  // written without separators to fit the reader's 13 columns
    makeFile("Art/" + Name70, 5);
    QBuffer listing;
    listing.setData(walk("e:\\Art\\"));
    listing.open(QIODevice::ReadOnly);
    ListingReader reader(listing);

    const std::vector<std::pair<std::string, std::int64_t>> expected = {
        {"big.bin", 3000000000}, {"huge.iso", 12345678901}, {"medium.dat", 1234567}, {Name70.left(65).toStdString(), 5}};
    for (const auto& [name, size] : expected) {
        ASSERT_TRUE(reader.nextEntry());
        EXPECT_EQ(reader.volume(), "My Art");
        EXPECT_EQ(reader.folder(), "\\Art\\");
        EXPECT_EQ(reader.name(), name);
        EXPECT_EQ(reader.takeSizeAndDate().size, size);
    }
    EXPECT_FALSE(reader.nextEntry());
}

TEST_F(ListingWriterTest, SizesAreGroupedAtEveryBoundary)
{
    const std::vector<std::pair<qint64, QByteArray>> sizes = {
        {999, "             999"},           {1000, "           1,000"},
        {999999, "         999,999"},       {1000000, "       1,000,000"},
        {9999999999, "   9,999,999,999"},   {10000000000, "     10000000000"},
        {999999999999, "    999999999999"}};
    QByteArray expected = header("\\Sizes\\");
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const QByteArray name = "size" + QByteArray::number(qulonglong(i)) + ".bin";
        makeFile("Sizes/" + name, sizes[i].first);
        expected += fileLine(name, sizes[i].second);
    }
    EXPECT_EQ(walk("e:\\Sizes"), expected);
}

// Whatever a host name holds, it is listed like any other, in the listing's
// code page ("?" for what it lacks), and each real folder once however many
// links lead to it.
TEST_F(ListingWriterTest, ListsEveryHostNameAndEachRealFolderOnce)
{
    const auto host = [](const QByteArray& bytes) { return platform::hostText(bytes); };
    const auto stamp = [&](const QByteArray& relative) {
        const timespec times[2] = {{0, UTIME_OMIT}, {Morning.toSecsSinceEpoch(), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, platform::hostBytes(env.hostPath("tree/" + host(relative))).constData(),
                              times, 0), 0);
    };
    for (const QByteArray& file : {QByteArray("lat\xE9in1.txt"), QByteArray("b\\c.gif"),
                                   QByteArray("Photos \xE9t\xE9/p.gif"), QByteArray("amp & <lt> \"q\" #hash/x.gif"),
                                   QByteArray("\xCE\xA9mega/o.gif")}) {
        env.writeFile("tree/" + host(file), "12345");
        stamp(file);
    }
    makeFolder("a");
    makeFolder("b");
    ASSERT_TRUE(QFile::link("../b", env.hostPath("tree/a/to_b")));
    ASSERT_TRUE(QFile::link("../a", env.hostPath("tree/b/to_a")));

    const QByteArray five = "               5";
    EXPECT_EQ(walk("e:\\"), header("\\") + "<DIR> a\r\n<DIR> amp & <lt> \"q\" #hash\r\n<DIR> b\r\n"
                                         "<DIR> Photos \xE9t\xE9\r\n<DIR> ?mega\r\n\r\n" +
                                 fileLine("b?c.gif", five) + fileLine("lat\xE9in1.txt", five) + header("\\a\\") +
                                 header("\\amp & <lt> \"q\" #hash\\") + fileLine("x.gif", five) + header("\\b\\") +
                                 header("\\Photos \xE9t\xE9\\") + fileLine("p.gif", five) + header("\\?mega\\") +
                                 fileLine("o.gif", five));
    EXPECT_EQ(env.dialogs().prompts(), QStringList());
}

TEST_F(ListingWriterTest, ShortPathsWriteNothing)
{
    makeFile("a.txt", 1);
    EXPECT_EQ(walk(""), "");
    EXPECT_EQ(walk("e"), "");
}

TEST_F(ListingWriterTest, FoldersOnlyLeavesOutTheFileLines)
{
    makeFile("Art/a.gif", 1);
    makeFile("b.gif", 1);
    EXPECT_EQ(walk("e:\\", listingflags::FoldersOnly | listingflags::File1Only),
              header("\\") + "<DIR> Art\r\n\r\n" + header("\\Art\\"));
}

TEST_F(ListingWriterTest, ThePatternChoosesTheFileLines)
{
    makeFile("a.gif", 1);
    makeFile("b.wmf", 1);
    EXPECT_EQ(walk("e:\\", listingflags::File1Only, "*.wmf"), header("\\") + fileLine("b.wmf", "               1"));
}

TEST_F(ListingWriterTest, StopFlagEndsTheWalkAfterTheSubFolderInHand)
{
    makeFile("A/a.gif", 1);
    makeFile("B/b.gif", 1);
    // Seen when the walk pumps messages after its first sub-folder.
    QTimer::singleShot(0, [] { ListSearch.StopFlag = true; });
    EXPECT_EQ(walk("e:\\"), header("\\") + "<DIR> A\r\n<DIR> B\r\n\r\n" + header("\\A\\") +
                                fileLine("a.gif", "               1"));
    EXPECT_TRUE(ListSearch.StopFlag);
}

TEST_F(ListingWriterTest, PrintListingLineWritesWhereTheFlagsSay)
{
    struct Case {
        int flags;
        QByteArray first, second;
    };
    const std::vector<Case> cases = {{0, "", ""},
                                     {listingflags::File1Only | listingflags::File2Only, "x\r\n", ""},
                                     {listingflags::File2Only | listingflags::BothFiles, "", "x\r\n"},
                                     {listingflags::BothFiles, "x\r\n", "x\r\n"}};
    for (const Case& c : cases) {
        {
            runtime::AnsiTextWriter first(env.hostPath("first.txt"));
            runtime::AnsiTextWriter second(env.hostPath("second.txt"));
            PrintListingLine("x", ListingFiles{&first, &second}, c.flags);
        }
        EXPECT_EQ(env.readFile("first.txt"), c.first) << c.flags;
        EXPECT_EQ(env.readFile("second.txt"), c.second) << c.flags;
    }
    try {
        PrintListingLine("x", ListingFiles{}, listingflags::File2Only);
        FAIL() << "a file that is not open";
    } catch (const runtime::RuntimeError& error) {
        EXPECT_EQ(error.number(), runtime::err::BadFileNameOrNumber);
    }
}

// The walk reads each entry once, through the directory search; what it reads
// must be what the single-file calls give.
TEST_F(ListingWriterTest, EntriesReadInTheSearchAgreeWithTheSingleFileCalls)
{
    makeFile("a.gif", 1234567);
    makeFile("b.txt", 0, Midnight);
    makeFile("c.wmf", 5);
    QFile::setPermissions(env.hostPath("tree/c.wmf"), QFileDevice::ReadOwner);
    makeFolder("Sub");
    const platform::FileSystem& fs = env.fs();
    const QList<platform::DirEntry> entries = fs.dirEntries("e:\\*.*", platform::attr::Directory);
    ASSERT_EQ(entries.size(), 4);
    for (const platform::DirEntry& entry : entries) {
        const QString path = "e:\\" + entry.name;
        EXPECT_TRUE(entry.readable) << entry.name.toStdString();
        EXPECT_EQ(entry.attributes, fs.getAttr(path)) << entry.name.toStdString();
        EXPECT_EQ(entry.size, fs.fileLen(path)) << entry.name.toStdString();
        EXPECT_EQ(entry.lastWrite, fs.fileDateTime(path)) << entry.name.toStdString();
    }
    EXPECT_TRUE(entries[2].attributes & platform::attr::ReadOnly);
    EXPECT_TRUE(entries[3].attributes & platform::attr::Directory);
}

class ListingWriterCapacity : public ListingWriterTest {
protected:
    void SetUp() override
    {
        ListingWriterTest::SetUp();
        // Three more than the list holds: Ignore must not ask again for the others.
        for (int i = 0; i < 1004; ++i)
            makeFolder(QString("many/d%1").arg(i, 4, 10, QChar(u'0')));
    }
    const QString prompt = "Error Number: 9 " + runtime::errorDescription(9) + "\r\nError reading:d1001 Skipping.";
};

TEST_F(ListingWriterCapacity, AbortLeavesTheFolderWithItsHeaderOnly)
{
    env.dialogs().answerNext(platform::MsgResult::Abort);
    EXPECT_EQ(walk("e:\\many"), header("\\many\\"));
    ASSERT_EQ(env.dialogs().messages().size(), 1u);
    EXPECT_EQ(env.dialogs().messages()[0].prompt, prompt);
    EXPECT_EQ(env.dialogs().messages()[0].buttons, platform::MsgButtons::AbortRetryIgnore);
}

TEST_F(ListingWriterTest, AbortOnAFullFileListKeepsTheSubFolderLines)
{
    makeFolder("files/sub");
    for (int i = 0; i < 10002; ++i)
        env.writeFile(QString("tree/files/f%1").arg(i, 5, 10, QChar(u'0')), {});
    env.dialogs().answerNext(platform::MsgResult::Abort);
    EXPECT_EQ(walk("e:\\files"), header("\\files\\") + "<DIR> sub\r\n\r\n");
    EXPECT_EQ(env.dialogs().prompts(), QStringList({"Error Number: 9 " + runtime::errorDescription(9) +
                                                    "\r\nError reading:f10001 Skipping."}));
}

TEST_F(ListingWriterCapacity, RetryRunsTheStepAgainAndIgnoreGoesOn)
{
    env.dialogs().answerNext(platform::MsgResult::Retry);
    env.dialogs().answerNext(platform::MsgResult::Ignore);
    const QByteArray written = walk("e:\\many", listingflags::FoldersOnly | listingflags::File1Only);
    EXPECT_EQ(env.dialogs().prompts(), QStringList({prompt, prompt}));
    EXPECT_EQ(written.count("<DIR> "), 1001);
    EXPECT_TRUE(written.contains("Directory: \\many\\d1000\\"));
    EXPECT_FALSE(written.contains("d1001"));
}

TEST_F(ListingWriterTest, IgnoreOnAFullFileListDropsTheRestAndTheWalkGoesOn)
{
    env.writeFile("tree/files/sub/inner.gif", {});
    for (int i = 0; i < 10004; ++i)
        env.writeFile(QString("tree/files/f%1").arg(i, 5, 10, QChar(u'0')), {});
    env.dialogs().answerNext(platform::MsgResult::Ignore);
    const QByteArray written = walk("e:\\files");
    EXPECT_EQ(env.dialogs().prompts(), QStringList({"Error Number: 9 " + runtime::errorDescription(9) +
                                                    "\r\nError reading:f10001 Skipping."}));
    EXPECT_EQ(written.count(" bytes "), 10001 + 1);
    EXPECT_TRUE(written.contains("\r\nf10000 "));
    EXPECT_FALSE(written.contains("f10001"));
    EXPECT_TRUE(written.contains(header("\\files\\sub\\") + "inner.gif"));
}

}  // namespace
