// The zip control on real archives: packs checked by Info-ZIP unzip, archives
// made by Info-ZIP zip read back, damaged and hostile archives, and the sample
// archives of tests/data/zip (ORIGINS.tsv there says where each comes from).

#include "platform/ZipControl.h"
#include "support/TestEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>
#include <ostream>
#include <zip.h>

using platform::ZipControl;

namespace {

struct ToolRun {
    int exitCode;
    QString output;
};

ToolRun runTool(const QString& program, const QStringList& arguments, const QString& folder = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(-1);
    return {process.exitCode(), QString::fromLocal8Bit(process.readAll())};
}

void setModified(const QString& hostPath, const QDateTime& time)
{
    QFile file(hostPath);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

// Everything the control reports during its calls.
struct EventLog {
    QStringList entries;  // "name month/day/year hour:minute"
    std::vector<int> errors;
    QStringList errorTexts;
    int idles = 0;
    double lastPercent = -1;

    explicit EventLog(ZipControl& zip)
    {
        QObject::connect(&zip, &ZipControl::EntryInfo,
                         [this](const QString& name, qint64, qint64, quint32, int month, int day,
                                int year, int hour, int minute) {
                             entries << QStringLiteral("%1 %2/%3/%4 %5:%6")
                                            .arg(name).arg(month).arg(day).arg(year).arg(hour)
                                            .arg(minute, 2, 10, QChar(u'0'));
                         });
        QObject::connect(&zip, &ZipControl::ArchiveError, [this, &zip](int code) {
            errors.push_back(code);
            errorTexts << zip.ErrorText(code);
        });
        QObject::connect(&zip, &ZipControl::Idle, [this] { ++idles; });
        QObject::connect(&zip, &ZipControl::Progress,
                         [this](double percent, qint64, qint64, int, int) { lastPercent = percent; });
    }
};

class ZipControlTest : public ::testing::Test {
protected:
    TestEnvironment env;
    ZipControl zip;
    EventLog log{zip};

    QString host(const QString& relative) const { return env.hostPath(relative); }
    QString win(const QString& relative) const { return env.windowsPath(relative); }

    void inspect(const QString& archive, const QString& mask = QStringLiteral("*.*"))
    {
        zip.ZipOperation = ZipControl::Inspect;
        zip.ArchiveName = archive;
        zip.FileMask = mask;
        zip.RunOperation();
    }
    void extract(const QString& archive, const QString& target)
    {
        zip.ZipOperation = ZipControl::Extract;
        zip.ArchiveName = archive;
        zip.TargetFolder = target;
        zip.FileMask = QStringLiteral("*.*");
        zip.OverwriteFiles = true;
        zip.RunOperation();
    }
    int pack(const QString& folder, const QString& mask, const QString& archive)
    {
        zip.ZipOperation = ZipControl::Pack;
        zip.ArchiveFolder = folder;
        zip.FileMask = mask;
        zip.ExcludeMask = QStringLiteral("*.zip");
        zip.ArchiveName = archive;
        zip.OverwriteFiles = true;
        zip.CompressionLevel = 9;
        return zip.PackFiles();
    }
    // Copies a sample archive into the sandbox; returns its Windows path.
    QString sample(const QString& name)
    {
        EXPECT_TRUE(QFile::copy(QStringLiteral(BRISCA_TEST_DATA_DIR "/zip/") + name, host(name)));
        return win(name);
    }
};

TEST_F(ZipControlTest, PackHoldsTheMatchingFilesAndInfoZipAcceptsIt)
{
    const QByteArray listing = QByteArray("\r\nVolume:    Art\r\nDirectory: \\Clips\\\r\n").repeated(200);
    env.writeFile("data/Art.txt", listing);
    env.writeFile("data/Brisca.txt", "main");
    env.writeFile("data/Old.zip", "not packed");
    setModified(host("data/Art.txt"), QDateTime(QDate(2024, 3, 5), QTime(10, 31, 0)));

    EXPECT_EQ(pack(win("data"), QStringLiteral("Art.txt"), win("data/Art.zip")), ZipControl::NoError);
    EXPECT_TRUE(log.errors.empty());
    EXPECT_EQ(log.lastPercent, 100.0);

    EXPECT_EQ(runTool("unzip", {"-t", host("data/Art.zip")}).exitCode, 0);
    const QString listed = runTool("unzip", {"-l", host("data/Art.zip")}).output;
    EXPECT_TRUE(listed.contains("2024-03-05 10:31   Art.txt")) << listed.toStdString();
    EXPECT_TRUE(listed.contains("1 file")) << listed.toStdString();
    EXPECT_EQ(runTool("unzip", {"-p", host("data/Art.zip"), "Art.txt"}).output.toLatin1(), listing);

    // Every file but the zip files, in a new archive that replaces the old one.
    EXPECT_EQ(pack(win("data") + u'\\', QStringLiteral("*.*"), win("data/Art.zip")), ZipControl::NoError);
    inspect(win("data/Art.zip"));
    EXPECT_EQ(log.entries.size(), 2);
    EXPECT_TRUE(log.entries.contains("Art.txt 3/5/2024 10:31"));
}

TEST_F(ZipControlTest, PackFailuresAreReportedAndKeepTheOldArchive)
{
    env.writeFile("data/Art.txt", "new");
    env.writeFile("data/Art.zip", "old archive");
    zip.OverwriteFiles = false;
    zip.ArchiveFolder = win("data");
    zip.FileMask = QStringLiteral("Art.txt");
    zip.ArchiveName = win("data/Art.zip");
    EXPECT_EQ(zip.PackFiles(), ZipControl::ArchiveExists);
    EXPECT_EQ(env.readFile("data/Art.zip"), "old archive");

    EXPECT_EQ(pack(win("data"), QStringLiteral("Nothing.txt"), win("data/Art.zip")), ZipControl::NothingToPack);
    EXPECT_EQ(pack(win("data"), QStringLiteral("Art.txt"), win("missing/Art.zip")), ZipControl::CannotWriteArchive);
    EXPECT_EQ(env.readFile("data/Art.zip"), "old archive");
    ASSERT_EQ(log.errorTexts.size(), 3);
    EXPECT_TRUE(log.errorTexts[2].startsWith("The archive could not be written: ")) << log.errorTexts[2].toStdString();
}

TEST_F(ZipControlTest, ReadsBackWhatInfoZipWrote)
{
    env.writeFile("src/Brisca.txt", "listing");
    env.writeFile("src/sub/readme.txt", QByteArray(100000, 'r'));
    setModified(host("src/Brisca.txt"), QDateTime(QDate(2023, 12, 31), QTime(23, 59, 30)));
    ASSERT_EQ(runTool("zip", {"-q", "-r", "-X", host("made.zip"), "Brisca.txt", "sub"}, host("src")).exitCode, 0);

    inspect(win("made.zip"), QStringLiteral("Brisca.txt"));
    EXPECT_EQ(log.entries, QStringList{"Brisca.txt 12/31/2023 23:59"});

    extract(win("made.zip"), win("out"));
    EXPECT_TRUE(log.errors.empty());
    EXPECT_EQ(env.readFile("out/Brisca.txt"), "listing");
    EXPECT_EQ(env.readFile("out/sub/readme.txt"), QByteArray(100000, 'r'));
    EXPECT_EQ(QFileInfo(host("out/Brisca.txt")).lastModified(), QDateTime(QDate(2023, 12, 31), QTime(23, 59, 30)));
    EXPECT_GT(log.idles, 0);
    EXPECT_EQ(log.lastPercent, 100.0);
}

TEST_F(ZipControlTest, TruncatedArchiveIsReportedAndTouchesNothing)
{
    env.writeFile("src/Brisca.txt", QByteArray(5000, 'n'));
    ASSERT_EQ(runTool("zip", {"-q", "-X", host("whole.zip"), "Brisca.txt"}, host("src")).exitCode, 0);
    const QByteArray whole = env.readFile("whole.zip");
    env.writeFile("cut.zip", whole.left(whole.size() / 2));
    env.writeFile("out/Brisca.txt", "the good listing");

    inspect(win("cut.zip"));
    extract(win("cut.zip"), win("out"));
    EXPECT_EQ(log.errors, (std::vector<int>{ZipControl::ArchiveUnreadable, ZipControl::ArchiveUnreadable}));
    EXPECT_TRUE(log.errorTexts[0].startsWith("The archive is damaged or is not a zip file: " + win("cut.zip")));
    EXPECT_TRUE(log.entries.isEmpty());
    EXPECT_EQ(env.readFile("out/Brisca.txt"), "the good listing");

    extract(win("absent.zip"), win("out"));
    EXPECT_EQ(log.errors.back(), ZipControl::ArchiveNotFound);
}

TEST_F(ZipControlTest, EntriesThatClimbOutAreSkippedAndTheRestExtracted)
{
    {
        int code = 0;
        zip_t* archive = zip_open(QFile::encodeName(host("evil.zip")).constData(), ZIP_CREATE, &code);
        ASSERT_NE(archive, nullptr);
        for (const char* name : {"../evil.txt", "/abs.txt", "C:/drive.txt", "sub\\..\\..\\up.txt",
                                 "good.txt", "./sub//ok.txt"}) {
            zip_source_t* source = zip_source_buffer(archive, name, strlen(name), 0);
            ASSERT_GE(zip_file_add(archive, name, source, 0), 0);
        }
        ASSERT_EQ(zip_close(archive), 0);
    }
    extract(win("evil.zip"), win("deep/target"));

    EXPECT_EQ(env.readFile("deep/target/good.txt"), "good.txt");
    EXPECT_EQ(env.readFile("deep/target/sub/ok.txt"), "./sub//ok.txt");
    EXPECT_FALSE(QFileInfo::exists(host("deep/evil.txt")));
    EXPECT_FALSE(QFileInfo::exists(host("up.txt")));
    EXPECT_FALSE(QFileInfo::exists(host("deep/up.txt")));
    EXPECT_FALSE(QFileInfo::exists("/abs.txt"));
    EXPECT_EQ(QDir(host("deep")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"target"});
    EXPECT_EQ(QDir(host("deep/target")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"good.txt", "sub"}));
    EXPECT_EQ(log.errors, std::vector<int>(4, ZipControl::UnsafeEntryName));
    EXPECT_EQ(log.errorTexts[0],
              "An entry would be written outside the target folder and was skipped: ../evil.txt");
}

TEST_F(ZipControlTest, EntryPackedWithAMethodThisProgramLacksIsSaidSo)
{
    extract(sample("made-lzma.zip"), win("out"));
    EXPECT_EQ(log.errors, std::vector<int>{ZipControl::MethodUnsupported});
    EXPECT_TRUE(log.errorTexts.value(0).startsWith("Compression method not supported")) << log.errorTexts.value(0).toStdString();
    EXPECT_FALSE(QFileInfo::exists(host("out/packed.txt")));
}

// An entry whose name differs from what the disk holds only in letter case
// replaces it under the disk's spelling, folders included.
TEST_F(ZipControlTest, EntriesReplaceFilesSpelledInAnotherCase)
{
    env.writeFile("src/LIST.TXT", "new listing");
    env.writeFile("src/ART/CLIPS.TXT", "new clips");
    ASSERT_EQ(runTool("zip", {"-r", host("update.zip"), "LIST.TXT", "ART"}, host("src")).exitCode, 0);
    env.writeFile("data/list.txt", "old listing");
    env.writeFile("data/art/clips.txt", "old clips");

    extract(win("update.zip"), win("data"));
    EXPECT_TRUE(log.errors.empty());
    EXPECT_EQ(QDir(host("data")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"art", "list.txt"}));
    EXPECT_EQ(env.readFile("data/list.txt"), "new listing");
    EXPECT_EQ(env.readFile("data/art/clips.txt"), "new clips");
}

TEST_F(ZipControlTest, EntryFailingItsCheckNeverReplacesTheGoodFile)
{
    env.writeFile("out/file2", "good file2");
    extract(sample("bad-la-badcrc.zip"), win("out"));
    EXPECT_EQ(log.errors, std::vector<int>{ZipControl::EntryUnreadable});
    EXPECT_TRUE(log.errorTexts[0].contains("file2")) << log.errorTexts[0].toStdString();
    EXPECT_EQ(env.readFile("out/file2"), "good file2");
    EXPECT_EQ(QDir(host("out")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"dir", "file1", "file2"}));
}

struct StopCase {
    const char* name;
    int stopAtIdle;     // the idle event whose handler calls Stop
    bool firstWritten;  // the first entry was whole before it
};

void PrintTo(const StopCase& c, std::ostream* os)
{
    *os << c.name;
}

class ZipStopTest : public ZipControlTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(ZipStopTest, StopEndsTheExtractionThereAndKeepsTheFilesNotFinished)
{
    const QByteArray big(200 * 1024, 'a');  // read in four parts, an idle event after each
    env.writeFile("src/a.txt", big);
    env.writeFile("src/b.txt", "new b");
    ASSERT_EQ(runTool("zip", {"-q", "-X", host("two.zip"), "a.txt", "b.txt"}, host("src")).exitCode, 0);
    env.writeFile("out/a.txt", "old a");
    env.writeFile("out/b.txt", "old b");
    int progressEvents = 0;
    QObject::connect(&zip, &ZipControl::Progress, [&] { ++progressEvents; });
    QObject::connect(&zip, &ZipControl::Idle, [&] {
        if (log.idles == GetParam().stopAtIdle)
            zip.Stop();
    });

    extract(win("two.zip"), win("out"));

    EXPECT_EQ(log.idles, GetParam().stopAtIdle);
    EXPECT_EQ(progressEvents, GetParam().stopAtIdle - 1);
    EXPECT_TRUE(log.errors.empty());
    EXPECT_EQ(env.readFile("out/a.txt"), GetParam().firstWritten ? big : QByteArray("old a"));
    EXPECT_EQ(env.readFile("out/b.txt"), "old b");
    EXPECT_EQ(QDir(host("out")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"a.txt", "b.txt"}));

    // The next operation runs whole.
    QObject::disconnect(&zip, &ZipControl::Idle, nullptr, nullptr);
    extract(win("two.zip"), win("out"));
    EXPECT_EQ(env.readFile("out/b.txt"), "new b");
}

INSTANTIATE_TEST_SUITE_P(Stops, ZipStopTest,
                         ::testing::Values(StopCase{"InTheFirstEntry", 1, false},
                                           StopCase{"AtItsLastPart", 4, false},
                                           StopCase{"AfterIt", 5, true}),
                         [](const auto& row) { return std::string(row.param.name); });

struct SampleCase {
    const char* name;
    int entries;          // reported by an inspection
    int extractErrors;    // raised by an extraction
    const char* firstFile;  // a file the extraction writes ("" when none)
};

void PrintTo(const SampleCase& c, std::ostream* os)
{
    *os << c.name;
}

class ZipSampleTest : public ZipControlTest, public ::testing::WithParamInterface<SampleCase> {};

TEST_P(ZipSampleTest, GivesWhatTheSampleListSays)
{
    const SampleCase& c = GetParam();
    const QString archive = sample(c.name);
    inspect(archive);
    EXPECT_EQ(log.entries.size(), c.entries);
    if (c.entries == 0) {
        EXPECT_EQ(log.errors, std::vector<int>{ZipControl::ArchiveUnreadable});
        return;
    }
    EXPECT_TRUE(log.errors.empty());
    extract(archive, win("out"));
    EXPECT_EQ(int(log.errors.size()), c.extractErrors);
    EXPECT_TRUE(QFileInfo(host(QStringLiteral("out/") + c.firstFile)).isFile()) << c.firstFile;
}

INSTANTIATE_TEST_SUITE_P(
    Samples, ZipSampleTest,
    ::testing::Values(SampleCase{"go-crc32-not-streamed.zip", 2, 0, "bar.txt"},
                      SampleCase{"go-dupdir.zip", 4, 2, "a/b"},
                      SampleCase{"go-subdir.zip", 3, 0, "a/b/c"},
                      SampleCase{"go-test-prefix.zip", 2, 0, "gophercolor16x16.png"},
                      SampleCase{"go-test.zip", 2, 0, "test.txt"},
                      SampleCase{"bad-go-readme.notzip", 0, 0, ""},
                      SampleCase{"bad-la-badcrc.zip", 3, 1, "file1"},
                      SampleCase{"bad-la-malformed1.zip", 0, 0, ""},
                      SampleCase{"made-zip64-prefix.zip", 1, 0, "list.txt"},
                      SampleCase{"made-dos-folder.zip", 2, 0, "Clips/owl.txt"},
                      SampleCase{"made-lzma.zip", 2, 1, "plain.txt"}),
    [](const auto& row) {
        QString name = QString::fromLatin1(row.param.name);
        return name.replace(u'-', u'_').replace(u'.', u'_').toStdString();
    });

}  // namespace
