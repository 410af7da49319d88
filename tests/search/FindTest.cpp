// The search as the window runs it: Find over the location listings and the
// main listing, the rows and labels it leaves, and stops during a search.

#include "platform/Forms.h"
#include "search/HitListModel.h"
#include "search/ListSearch.h"
#include "search/ListingLines.h"
#include "search/SearchForm.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

using platform::Forms;

namespace {

const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);

std::string manyEntries(const std::string& folder, int count)
{
    std::string listing = "\r\nVolume:    Bulk\r\nDirectory: " + folder + "\r\n\r\n";
    for (int i = 0; i < count; ++i)
        listing += entryLine("clip" + std::to_string(i) + ".wmf", "1,024", "1/2/2009 3:04:05 PM");
    return listing;
}

class FindTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        writeListing("main.txt", "");
        // Command-line mode: the window loads without opening other windows.
        Forms::registerForm("SearchForm", [this] { return new SearchForm(env.hostPath("data/main.txt")); });
        form = &Forms::get<SearchForm>("SearchForm");
        ListSearch.LocalFolder = env.windowsPath("data") + "\\";
        ListSearch.TextFile = "main.txt";
    }

    void TearDown() override
    {
        Forms::reset();
        ListSearch = ListSearchModule{};
    }

    void writeListing(const QString& name, const std::string& text)
    {
        env.writeFile("data/" + name, QByteArray::fromStdString(text));
    }

    void addLocation(const QString& description)
    {
        ++ListSearch.LocCount;
        ListSearch.Locations[ListSearch.LocCount][1] = description;
    }

    void find(const QString& words, const QString& desiredMatch = "70")
    {
        form->SearchStr->setText(words);
        form->DesMatch->setText(desiredMatch);
        form->Find->click();
    }

    // "Match | Folder | Name | Size | Date", blue rows marked "B:".
    QStringList rows() const
    {
        QStringList texts;
        for (int i = 0; i < form->hitModel->rowCount(); ++i) {
            const HitRow& row = form->hitModel->row(i);
            texts << QString(row.colour == Blue ? "B:" : row.colour == Red ? "R:" : "?:") +
                    QStringList{row.match, row.folder, row.name, row.size, row.date}.join(" | ");
        }
        return texts;
    }

    TestEnvironment env;
    SearchForm* form = nullptr;
};

TEST_F(FindTest, SearchesLocationsInBlueThenTheMainListingInRed)
{
    addLocation(" Art ");
    addLocation("Gone");
    writeListing("Art.txt", "\r\nVolume:     Art \r\nDirectory: \\Clips\\\r\n\r\n" +
                                entryLine("Red Rose.wmf", "1,048,576", "12/11/2008 10:30:00 AM") +
                                entryLine("blue.gif", "10", "12/11/2008 10:30:00 AM"));
    writeListing("main.txt", "Volume:    CD 1\r\nDirectory: \\Roses\\\r\n" +
                                 entryLine("garden.wmf", "3,145,728", "1/2/2009 3:04:05 PM") +
                                 entryLine("tree.wmf", "5", "1/2/2009 3:04:05 PM"));

    find("rose");

    EXPECT_EQ(rows(), QStringList({"B:100% | \\Clips\\ | Red Rose.wmf | 1.00mb | Dec, 11 08",
                                   "R:100% | \\Roses\\ | garden.wmf | 3.00mb | Jan, 02 09",
                                   "R:100% | \\Roses\\ | tree.wmf | 0.00mb | Jan, 02 09"}));
    EXPECT_EQ(form->hitModel->row(0).volume, "Art");
    EXPECT_EQ(env.dialogs().prompts(),
              QStringList({"Listing file not found: " + ListSearch.LocalFolder + "Gone.txt"}));
    EXPECT_EQ(form->lblFound->text(), "2");
    EXPECT_EQ(form->lblSearched->text(), "4");
    EXPECT_EQ(form->Find->text(), "Find");
}

TEST_F(FindTest, ItemsFoundShowsTheListingOfTheLatestHit)
{
    addLocation("Art");
    writeListing("Art.txt", entryLine("a rose.wmf", "1", "1/1/2001 1:00:00 AM") +
                                entryLine("b rose.wmf", "1", "1/1/2001 1:00:00 AM"));
    writeListing("main.txt", entryLine("tulip.wmf", "1", "1/1/2001 1:00:00 AM"));
    find("rose");
    EXPECT_EQ(form->lblFound->text(), "2");
    EXPECT_EQ(form->lblSearched->text(), "3");
}

TEST_F(FindTest, HitsWithoutTheirOwnSizeAndDateShowThePreviousHitsOrZero)
{
    writeListing("main.txt", "rose one.wmf\r\n" + entryLine("rose two.wmf", "2,097,152", "3/4/2010 5:06:07 AM") +
                                 std::string(65, 'x') + "n/a bytes 3/4/2010 5:06:07 AM\r\n" + "rose three.wmf\r\n");
    find("rose x", "40");
    EXPECT_EQ(rows(), QStringList({"R:050% |  | rose one.wmf | 0.00mb | Dec, 30 99",
                                   "R:050% |  | rose two.wmf | 2.00mb | Mar, 04 10",
                                   "R:050% |  | " + QString(65, 'x') + "n/a | 2.00mb | Mar, 04 10",
                                   "R:050% |  | rose three.wmf | 2.00mb | Mar, 04 10"}));
}

struct DesiredMatchCase {
    QString typed;
    QString held;
};

class FindDesiredMatch : public FindTest, public ::testing::WithParamInterface<DesiredMatchCase> {};

TEST_P(FindDesiredMatch, IsHeldAndWrittenBackEvenWithoutSearchText)
{
    form->hitModel->appendRows({HitRow{"100%", "", "", "kept", "", "", Red}});
    form->lblFound->setText("7");
    find("", GetParam().typed);
    EXPECT_EQ(form->DesMatch->text(), GetParam().held);
    EXPECT_EQ(form->hitModel->rowCount(), 1);
    EXPECT_EQ(form->lblFound->text(), "7");
    EXPECT_EQ(form->Find->text(), "Find");
}

INSTANTIATE_TEST_SUITE_P(Typed, FindDesiredMatch,
                         ::testing::Values(DesiredMatchCase{"", "1"}, DesiredMatchCase{"abc", "1"},
                                           DesiredMatchCase{"150", "100"}, DesiredMatchCase{"70.5", "70"},
                                           DesiredMatchCase{"71.5", "72"}, DesiredMatchCase{"7 5x", "75"},
                                           DesiredMatchCase{"-3", "1"}, DesiredMatchCase{"0.5", "1"},
                                           DesiredMatchCase{"99999999999999999999", "100"}),
                         [](const ::testing::TestParamInfo<DesiredMatchCase>& row) {
                             return "case" + std::to_string(row.index);
                         });

TEST_F(FindTest, DesiredMatchOfOneHundredFindsNothing)
{
    writeListing("main.txt", entryLine("rose.wmf", "1", "1/1/2001 1:00:00 AM"));
    find("rose", "100");
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(form->lblSearched->text(), "1");
}

TEST_F(FindTest, AMissingMainListingEndsTheSearch)
{
    QFile::remove(env.hostPath("data/main.txt"));
    form->lblSearched->setText("5");
    find("rose");
    EXPECT_EQ(env.dialogs().prompts(), QStringList({"Listing file not found: " + ListSearch.LocalFolder + "main.txt"}));
    EXPECT_EQ(form->lblSearched->text(), "5");
    EXPECT_EQ(form->Find->text(), "Find");
}

TEST_F(FindTest, AnUnreadableListingGetsAMessageAndTheSearchGoesOn)
{
    addLocation("Locked");
    // Exists as an ordinary file, but every read of it fails.
    ASSERT_TRUE(QFile::link("/proc/self/mem", env.hostPath("data/Locked.txt")));
    writeListing("main.txt", entryLine("rose.wmf", "1", "1/1/2001 1:00:00 AM"));
    find("rose");
    ASSERT_EQ(env.dialogs().prompts().size(), 1);
    EXPECT_TRUE(env.dialogs().prompts()[0].startsWith(
        "Listing file could not be read: " + ListSearch.LocalFolder + "Locked.txt\r\n"));
    EXPECT_EQ(rows().size(), 1);
}

// The Stop press waits in the event queue until the search pumps messages at
// its first checkpoint, after 2000 entries.
TEST_F(FindTest, AStopDuringTheFirstOfTwoListingsEndsOnlyThatListing)
{
    addLocation("Bulk");
    writeListing("Bulk.txt", manyEntries("\\Bulk\\", 5000));
    writeListing("main.txt", manyEntries("\\Main\\", 30));
    QMetaObject::invokeMethod(form->Find, &QPushButton::click, Qt::QueuedConnection);

    find("clip");

    EXPECT_EQ(form->hitModel->rowCount(), 2030);
    EXPECT_EQ(form->hitModel->row(1999).colour, Blue);
    EXPECT_EQ(form->hitModel->row(2000).colour, Red);
    EXPECT_EQ(form->lblSearched->text(), "2030");
    EXPECT_EQ(form->lblFound->text(), "30");
    EXPECT_FALSE(ListSearch.StopFlag);
    EXPECT_EQ(form->Find->text(), "Find");
}

TEST_F(FindTest, ImageDescriptionsDuringASearchReplacesTheWordsAndStops)
{
    writeListing("main.txt", manyEntries("\\Main\\", 4500));
    QMetaObject::invokeMethod(form->MenuListAll, &QAction::trigger, Qt::QueuedConnection);

    find("clip1");

    EXPECT_EQ(form->SearchStr->text(), "wmf");
    EXPECT_EQ(form->lblSearched->text(), "2000");
    EXPECT_EQ(form->hitModel->rowCount(), 1111);  // clip1, clip10-19, clip100-199, clip1000-1999
    EXPECT_FALSE(ListSearch.StopFlag);
}

TEST_F(FindTest, ClosingTheWindowDuringASearchEndsItWithoutTheWindow)
{
    addLocation("Bulk");
    writeListing("Bulk.txt", manyEntries("\\Bulk\\", 5000));
    writeListing("main.txt", manyEntries("\\Main\\", 9000));
    ListSearch.NoSaveOnExit = true;
    QMetaObject::invokeMethod(form, [this] { form->Unload(); }, Qt::QueuedConnection);
    find("clip");
    EXPECT_TRUE(ListSearch.QuitFlag);
}

TEST_F(FindTest, ImageDescriptionsSearchesForWmf)
{
    writeListing("main.txt", entryLine("a.wmf", "1", "1/1/2001 1:00:00 AM") + entryLine("b.gif", "1", "1/1/2001 1:00:00 AM"));
    form->MenuListAll->trigger();
    EXPECT_EQ(form->SearchStr->text(), "wmf");
    EXPECT_EQ(rows().size(), 1);
}

TEST_F(FindTest, AHundredThousandHitsArriveInBatchesAtTheCheckpoints)
{
    writeListing("main.txt", manyEntries("\\Main\\", 100000));
    QSignalSpy inserts(form->hitModel, &QAbstractItemModel::rowsInserted);
    find("clip");
    EXPECT_EQ(form->hitModel->rowCount(), 100000);
    EXPECT_EQ(inserts.count(), 50);
    EXPECT_EQ(form->lblFound->text(), "100000");
}

}  // namespace
