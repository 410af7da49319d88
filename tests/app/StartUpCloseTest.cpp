// Closing the search window at each pump of the start-up in turn (the load's
// own pumps and every pump of the archive unpack): the start ends quietly, no
// window is loaded again, and the archive and the listing are left whole.

#include "app/ProgramHooks.h"
#include "app/StartSearchWindow.h"
#include "exchange/Progress.h"
#include "platform/Forms.h"
#include "platform/ZipControl.h"
#include "search/FormStubs.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

using platform::Forms;

namespace {

// Large enough for the unpack to pump several times while writing it.
const QByteArray NewListing = QByteArray("new listing line\r\n").repeated(20000);
const QByteArray OldListing = "old listing";

struct StartCase {
    const char* name;
    bool oldListing;  // false: the first start unpacks; true: the newer archive replaces it
};

void PrintTo(const StartCase& c, std::ostream* os)
{
    *os << c.name;
}

class StartUpCloseTest : public ::testing::TestWithParam<StartCase> {
protected:
    void TearDown() override { endRun(); }

    void prepare()
    {
        env = std::make_unique<TestEnvironment>();
        ListSearch = ListSearchModule{};
        registerStubForms(OpenedWindows);
        Forms::registerForm("Progress", [] { return new Progress; });
        Forms::registerForm("SearchForm", [] { return new SearchForm({}, searchHooks()); });
        env->writeFile("stage/Brisca.txt", NewListing);
        env->writeFile("stage/readme.txt", "readme");
        platform::ZipControl packer;
        packer.ArchiveFolder = env->windowsPath("stage");
        packer.ArchiveName = env->windowsPath("program/Brisca.zip");
        packer.OverwriteFiles = true;
        ASSERT_EQ(packer.PackFiles(), 0);
        archive = env->readFile("program/Brisca.zip");
        if (GetParam().oldListing) {
            env->writeFile("program/Brisca.txt", OldListing);
            QFile listing(env->hostPath("program/Brisca.txt"));
            ASSERT_TRUE(listing.open(QIODevice::ReadWrite));
            listing.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(12, 0)), QFileDevice::FileModificationTime);
        }
    }
    void endRun()
    {
        Forms::reset();
        ListSearch = ListSearchModule{};
        env.reset();
    }

    // Starts the program and closes the search window at the `pump`th pump;
    // false when the start was over before it.
    bool startClosingAt(int pump)
    {
        int pumps = 0;
        bool closed = false;
        QTimer hook;
        hook.setInterval(0);
        QObject::connect(&hook, &QTimer::timeout, [&] {
            if (++pumps < pump)
                return;
            hook.stop();
            closed = true;
            const auto* progress = Forms::find("Progress");
            closedDuringUnpack |= progress && progress->isVisible();
            windowsOpenedBeforeClose = StubForm::log.filter(" load").size();
            Forms::find("SearchForm")->close();
        });
        hook.start();
        EXPECT_FALSE(startSearchWindow() && closed);
        hook.stop();
        return closed;
    }

    std::unique_ptr<TestEnvironment> env;
    QByteArray archive;
    bool closedDuringUnpack = false;
    qsizetype windowsOpenedBeforeClose = 0;
};

TEST_P(StartUpCloseTest, ClosingAtAnyPumpEndsQuietlyWithTheFilesWhole)
{
    for (int pump = 1;; ++pump) {
        SCOPED_TRACE(testing::Message() << "closed at pump " << pump);
        prepare();
        const bool closed = startClosingAt(pump);
        const QString listingPath = env->hostPath("program/Brisca.txt");
        const QByteArray listing = QFile::exists(listingPath) ? env->readFile("program/Brisca.txt") : QByteArray();
        EXPECT_EQ(env->readFile("program/Brisca.zip"), archive);
        if (!closed) {
            // The start ran to its end: the listing is the archive's.
            EXPECT_EQ(listing, NewListing);
            EXPECT_GT(pump, 3);
            break;
        }
        EXPECT_TRUE(listing == NewListing || listing == (GetParam().oldListing ? OldListing : QByteArray()))
            << listing.size() << " bytes";
        const QStringList left = QDir(env->hostPath("program")).entryList({"Brisca.txt.*", "readme.txt.*"});
        EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
        for (const QString& name : OpenedWindows + QStringList{"SearchForm"})
            EXPECT_FALSE(Forms::isLoaded(name)) << name.toStdString();
        EXPECT_EQ(StubForm::log.filter(" load").size(), windowsOpenedBeforeClose) << "a window loaded again";
        EXPECT_TRUE(env->dialogs().messages().empty());
        endRun();
    }
    EXPECT_TRUE(closedDuringUnpack);
}

INSTANTIATE_TEST_SUITE_P(Starts, StartUpCloseTest,
                         ::testing::Values(StartCase{"FirstStartUnpacksTheArchive", false},
                                           StartCase{"NewerArchiveReplacesTheListing", true}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
