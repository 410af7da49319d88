// The archive check at start on real archives in a temporary data folder:
// the unpack when the listing is missing, the update check on entry times one
// and two minutes after the listing's, damaged archives and nothing-to-do cases.

#include "exchange/CheckListing.h"
#include "exchange/Progress.h"
#include "platform/Forms.h"
#include "platform/ZipControl.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"
#include "search/ListingSearch.h"
#include "search/SearchForm.h"
#include "support/TestEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>
#include <ostream>

using platform::Forms;
using platform::ZipControl;

namespace {

const QDateTime ListingTime(QDate(2026, 3, 2), QTime(10, 30, 59));

class CheckListingTest : public ::testing::Test {
protected:
    TestEnvironment env;
    QPointer<SearchForm> form;
    QStringList shown;  // windows in the order they appeared

    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        form = new SearchForm;
        // What is shown once the unpack moves the progress window's bar.
        Forms::registerForm("Progress", [this] {
            auto* window = new Progress;
            QObject::connect(window->bar, &QProgressBar::valueChanged, window, [this, window](int value) {
                if (value <= 0 || !window->isVisible() || shown.contains("Progress"))
                    return;
                if (form->isVisible())
                    shown << "SearchForm";
                shown << "Progress" << window->Status->text();
            });
            return window;
        });
        useDefaults(QStringLiteral("%1\r\nBrisca.txt\r\nBrisca.zip\r\n127.0.0.1\r\n").arg(dataFolder()));
        ListSearch.LocalFolder = dataFolder();
        ListSearch.TextFile = "Brisca.txt";
        ListSearch.ArchiveFile = "Brisca.zip";
    }
    void TearDown() override
    {
        Forms::reset();
        delete form;
    }

    QString dataFolder() const { return env.windowsPath("data") + u'\\'; }
    void useDefaults(const QString& text) { env.writeFile("program/defaults.txt", text.toLatin1()); }

    void writeListing(const QByteArray& text)
    {
        env.writeFile("data/Brisca.txt", text);
        setModified("data/Brisca.txt", ListingTime);
    }
    void setModified(const QString& relative, const QDateTime& time)
    {
        QFile file(env.hostPath(relative));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }
    // The update archive, holding Brisca.txt and readme.txt dated `entryTime`.
    void writeArchive(const QDateTime& entryTime, const QByteArray& listing = "new listing")
    {
        env.writeFile("stage/Brisca.txt", listing);
        env.writeFile("stage/readme.txt", "readme");
        setModified("stage/Brisca.txt", entryTime);
        setModified("stage/readme.txt", entryTime);
        QDir().mkpath(env.hostPath("data"));
        ZipControl packer;
        packer.ArchiveFolder = env.windowsPath("stage");
        packer.ArchiveName = env.windowsPath("data/Brisca.zip");
        packer.OverwriteFiles = true;
        ASSERT_EQ(packer.PackFiles(), ZipControl::NoError);
    }
    void check() { CheckListing(*form); }
};

TEST_F(CheckListingTest, MissingListingIsUnpackedWithBothWindowsShownThenDefaultsRead)
{
    writeArchive(ListingTime);
    useDefaults(QStringLiteral("%1\r\nBrisca.txt\r\nBrisca.zip\r\nupdates.example\r\n").arg(dataFolder()));
    check();
    EXPECT_EQ(shown, (QStringList{"SearchForm", "Progress", "Decompressing Compressed Data File."}));
    EXPECT_EQ(env.readFile("data/Brisca.txt"), "new listing");
    EXPECT_EQ(env.readFile("data/readme.txt"), "readme");
    EXPECT_FALSE(Forms::isLoaded("Progress"));
    EXPECT_EQ(ListSearch.WebServer, "updates.example");
    EXPECT_EQ(ListSearch.TextFile, "Brisca.txt");
    EXPECT_TRUE(env.dialogs().messages().empty());
}

struct EntryTimeCase {
    QTime entry;
    bool unpacked;
};

void PrintTo(const EntryTimeCase& c, std::ostream* os)
{
    *os << "entry at " << c.entry.toString("hh:mm").toStdString();
}

class EntryTimeTest : public CheckListingTest, public ::testing::WithParamInterface<EntryTimeCase> {};

TEST_P(EntryTimeTest, UnpacksOnlyAnEntryTwoMinuteBoundariesNewer)
{
    writeListing("old listing");
    writeArchive(QDateTime(ListingTime.date(), GetParam().entry));
    check();
    EXPECT_EQ(env.readFile("data/Brisca.txt"), GetParam().unpacked ? "new listing" : "old listing");
    EXPECT_EQ(QFile::exists(env.hostPath("data/readme.txt")), GetParam().unpacked);
    const QStringList progressShown{"Progress", "Decompressing Compressed Data File."};
    EXPECT_EQ(shown, GetParam().unpacked ? progressShown : QStringList());
    EXPECT_FALSE(ListSearch.ArchiveNewer);
    EXPECT_EQ(ListSearch.TextFile, "Brisca.txt");
    EXPECT_EQ(ListSearch.ListFileDate, runtime::fromQDateTime(ListingTime));
}

INSTANTIATE_TEST_SUITE_P(Minutes, EntryTimeTest,
                         ::testing::Values(EntryTimeCase{QTime(10, 29), false},
                                           EntryTimeCase{QTime(10, 30), false},
                                           EntryTimeCase{QTime(10, 31), false},
                                           EntryTimeCase{QTime(10, 32), true},
                                           EntryTimeCase{QTime(11, 0), true}));

TEST_F(CheckListingTest, NothingHappensWithoutTheFilesItNeeds)
{
    check();  // neither listing nor archive
    writeListing("old listing");
    check();  // no archive
    writeArchive(ListingTime.addSecs(3600));
    ListSearch.TextFile.clear();
    check();  // no listing name
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_FALSE(Forms::isLoaded("Progress"));
    EXPECT_EQ(env.readFile("data/Brisca.txt"), "old listing");
    EXPECT_EQ(ListSearch.WebServer, "");  // ReadDefaults never ran
}

TEST_F(CheckListingTest, DamagedArchiveIsReportedAndTheStartGoesOn)
{
    writeListing("old listing");
    env.writeFile("data/Brisca.zip", "PK\x03\x04 this is no archive");
    check();
    EXPECT_EQ(env.readFile("data/Brisca.txt"), "old listing");

    QFile::remove(env.hostPath("data/Brisca.txt"));
    ListSearch.WebServer.clear();
    check();
    EXPECT_EQ(ListSearch.WebServer, "127.0.0.1");  // the unpack still ends with ReadDefaults
    EXPECT_FALSE(Forms::isLoaded("Progress"));
    const QString expected = "Archive Error: The archive is damaged or is not a zip file: "
                             + dataFolder() + "Brisca.zip (Not a zip archive)";
    EXPECT_EQ(env.dialogs().prompts(), (QStringList{expected, expected}));
}

struct DefaultsCase {
    const char* name;
    const char* linesAfterFolder;  // defaults.txt after its data folder line
    int error;
};

class DefaultsErrorTest : public CheckListingTest, public ::testing::WithParamInterface<DefaultsCase> {};

TEST_P(DefaultsErrorTest, RaisesToTheCallerWithTheListingKept)
{
    writeListing("old listing");
    writeArchive(ListingTime.addSecs(3600));
    useDefaults(dataFolder() + QString::fromLatin1(GetParam().linesAfterFolder));
    try {
        check();
        FAIL() << "no error raised";
    } catch (const runtime::RuntimeError& error) {
        EXPECT_EQ(error.number(), GetParam().error);
    }
    EXPECT_EQ(env.readFile("data/Brisca.txt"), "old listing");
    EXPECT_FALSE(Forms::isLoaded("Progress"));
}

INSTANTIATE_TEST_SUITE_P(
    Defaults, DefaultsErrorTest,
    ::testing::Values(DefaultsCase{"TooShort", "\r\nBrisca.txt\r\n", runtime::err::InputPastEndOfFile},
                      DefaultsCase{"ListingItNamesIsMissing", "\r\nOther.txt\r\nBrisca.zip\r\n127.0.0.1\r\n",
                                   runtime::err::FileNotFound}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(CheckListingTest, DemoArchiveGivesASearchableListingAtFirstStart)
{
    QFile installed(QStringLiteral(BRISCA_BIN_DIR "/defaults.txt"));
    ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
    env.writeFile("program/defaults.txt", installed.readAll());
    ListSearch = ListSearchModule{};
    ReadDefaults();
    ASSERT_EQ(ListSearch.LocalFolder, env.windowsPath("program") + u'\\');

    check();

    QFile listing(env.hostPath("program/") + ListSearch.TextFile);
    ASSERT_TRUE(listing.open(QIODevice::ReadOnly));
    std::int32_t linesChecked = 0;
    std::vector<ListingHit> hits;
    SearchListing(listing, "owl", 0, linesChecked, hits, {});
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].volume, "KESTREL CLIPART 1");
    EXPECT_EQ(hits[0].folder, "\\ANIMALS\\BIRDS\\");
    EXPECT_EQ(hits[0].name, "barn_owl.wmf");
    EXPECT_EQ(hits[0].size, 46445);
    EXPECT_EQ(linesChecked, 83);  // the file lines: rule and folder lines are skipped
    EXPECT_TRUE(env.dialogs().messages().empty());
}

}  // namespace
