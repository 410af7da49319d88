// The Zip control's handlers: the newer-entry test on minute boundaries, the
// archive error message, the progress bar, and the progress window itself.

#include "exchange/Progress.h"
#include "exchange/UpdateZip.h"
#include "exchange/ZipEvents.h"
#include "platform/Forms.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>
#include <ostream>

using platform::Forms;
using runtime::makeDate;

namespace {

class ZipEventsTest : public ::testing::Test {
protected:
    TestEnvironment env;

    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        Forms::registerForm("Progress", [] { return new Progress; });
    }
    void TearDown() override { Forms::reset(); }
};

struct MinuteCase {
    runtime::Date listing;
    runtime::Date entry;
    qint64 boundaries;
};

void PrintTo(const MinuteCase& c, std::ostream* os)
{
    *os << runtime::generalDateText(c.listing).toStdString() << " to "
        << runtime::generalDateText(c.entry).toStdString();
}

class MinuteBoundaryTest : public ZipEventsTest, public ::testing::WithParamInterface<MinuteCase> {};

TEST_P(MinuteBoundaryTest, EntryIsNewerFromTheSecondBoundaryOn)
{
    const MinuteCase& c = GetParam();
    EXPECT_EQ(minuteBoundaries(c.listing, c.entry), c.boundaries);

    ListSearch.ListFileDate = c.listing;
    ListSearch.TextFile = "Brisca.txt";
    const runtime::DateParts at = runtime::splitDate(c.entry);
    Zip_EntryInfo("Update.txt", 10, 5, 0, at.month, at.day, at.year, at.hour, at.minute);
    const bool newer = c.boundaries > 1;
    EXPECT_EQ(ListSearch.ArchiveNewer, newer);
    EXPECT_EQ(ListSearch.TextFile, newer ? "Update.txt" : "Brisca.txt");
}

INSTANTIATE_TEST_SUITE_P(
    Times, MinuteBoundaryTest,
    ::testing::Values(MinuteCase{makeDate(2026, 3, 2, 10, 30, 59), makeDate(2026, 3, 2, 10, 30), 0},
                      MinuteCase{makeDate(2026, 3, 2, 10, 30, 59), makeDate(2026, 3, 2, 10, 31), 1},
                      MinuteCase{makeDate(2026, 3, 2, 10, 30, 59), makeDate(2026, 3, 2, 10, 32), 2},
                      MinuteCase{makeDate(2026, 3, 2, 10, 30, 0), makeDate(2026, 3, 2, 10, 32), 2},
                      MinuteCase{makeDate(2026, 3, 2, 10, 32, 0), makeDate(2026, 3, 2, 10, 29), -3},
                      MinuteCase{makeDate(2025, 12, 31, 23, 59, 59), makeDate(2026, 1, 1, 0, 1), 2},
                      MinuteCase{runtime::ZeroDate, makeDate(1899, 12, 30, 0, 1), 1},
                      MinuteCase{runtime::ZeroDate, makeDate(2026, 1, 1, 0, 0), 46023LL * 1440}));

TEST_F(ZipEventsTest, EntryInfoNeverClearsArchiveNewer)
{
    ListSearch.ListFileDate = makeDate(2026, 3, 2, 10, 30);
    ListSearch.ArchiveNewer = true;
    Zip_EntryInfo("Old.txt", 0, 0, 0, 3, 2, 2026, 9, 0);
    EXPECT_TRUE(ListSearch.ArchiveNewer);
    EXPECT_EQ(ListSearch.TextFile, "");
}

TEST_F(ZipEventsTest, ArchiveErrorShowsTheControlsText)
{
    SearchForm form;
    UpdateZip Zip(form);
    Zip.ZipOperation = platform::ZipControl::Inspect;
    Zip.ArchiveName = env.windowsPath("absent.zip");
    Zip.RunOperation();
    ASSERT_EQ(env.dialogs().messages().size(), 1u);
    const auto& message = env.dialogs().messages().front();
    EXPECT_EQ(message.prompt, "Archive Error: The archive was not found: " + env.windowsPath("absent.zip"));
    EXPECT_EQ(message.buttons, platform::MsgButtons::Ok);
    EXPECT_EQ(message.title, QCoreApplication::applicationName());  // none of its own
}

TEST_F(ZipEventsTest, ProgressMovesTheBarOfAHiddenWindow)
{
    Zip_Progress(42.6, 0, 0, 0, 0);
    auto& window = Forms::get<Progress>("Progress");
    EXPECT_EQ(window.bar->value(), 43);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ZipEventsTest, ProgressWindowStartsReadyAndCancelOnlyAsksToStop)
{
    auto& window = Forms::get<Progress>("Progress");
    EXPECT_EQ(window.windowTitle(), "Brisca Viewer -  Working, Please Wait...");
    EXPECT_EQ(window.Status->text(), "Download Progress");
    EXPECT_EQ(window.bar->minimum(), 0);
    EXPECT_EQ(window.bar->maximum(), 100);
    EXPECT_EQ(window.CancelButton->text(), "Cancel");
    window.Show();
    window.CancelButton->click();
    EXPECT_TRUE(ListSearch.StopFlag);
    EXPECT_TRUE(window.isVisible());
}

}  // namespace
