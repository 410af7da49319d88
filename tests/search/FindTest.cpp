// The search as the window runs it: Find over the location listings and the
// main listing, the rows and labels it leaves, and stops during a search.

#include "platform/Forms.h"
#include "search/HitListModel.h"
#include "search/ListSearch.h"
#include "search/ListingLines.h"
#include "search/SearchForm.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QBrush>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <map>

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
            QStringList cells;
            for (const int column : {HitListModel::Match, HitListModel::Folder, HitListModel::Name,
                                     HitListModel::Size, HitListModel::Date})
                cells << HitListModel::text(row, column);
            texts << QString(row.colour == Blue ? "B:" : row.colour == Red ? "R:" : "?:") + cells.join(" | ");
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
    form->hitModel->appendRows({HitRow{{100, "", "", "kept"}, Red}});
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

// The first checkpoint's hits fill the empty list at once; once it is full,
// the rows below it arrive in a few batches instead of one per checkpoint.
TEST_F(FindTest, AHundredThousandHitsFillTheListAtOnceThenArriveInAFewBatches)
{
    writeListing("main.txt", manyEntries("\\Main\\", 100000));
    form->Show();
    QSignalSpy inserts(form->hitModel, &QAbstractItemModel::rowsInserted);
    std::pair<int, QString> atFirstCheckpoint;
    QMetaObject::invokeMethod(
        form, [&] { atFirstCheckpoint = {form->hitModel->rowCount(), form->lblFound->text()}; },
        Qt::QueuedConnection);

    find("clip");

    EXPECT_EQ(atFirstCheckpoint, std::make_pair(2000, QString("2000")));
    EXPECT_EQ(form->hitModel->rowCount(), 100000);
    EXPECT_LT(inserts.count(), 25);
    EXPECT_EQ(form->lblFound->text(), "100000");
}

// The hit list exactly as the window shows it: every cell's text and colour,
// and both counters, for one fixed pair of listings whose hits cross several
// checkpoints, searched for a few word sets.
struct ShownSearch {
    QString words;
    QString desiredMatch;
    int rows;
    std::map<int, QString> shownRows;  // by row number: colour, then the six cells
    QString found;
    QString searched;
};

void PrintTo(const ShownSearch& search, std::ostream* out) { *out << '"' << search.words.toStdString() << '"'; }

class FindShows : public FindTest, public ::testing::WithParamInterface<ShownSearch> {
protected:
    void writeListings()
    {
        addLocation("Art ");
        writeListing("Art.txt",
                     "\r\nVolume:    Art \r\nDirectory: \\Clips\\\r\n\r\n<DIR> Sub\r\n\r\n" +
                         entryLine("Red Rose.wmf", "1,048,576", "12/11/2008 10:30:00 AM") +
                         entryLine("caf\xE9 rose.gif", "1,234,567,890", "1/2/2009") + "rose short.wmf\r\n" +
                         "rose" + std::string(61, 'x') + "n/a bytes 3/4/2010 5:06:07 AM\r\n");
        std::string main = "---------------\r\nVolume:    CD 1\r\n---------------\r\n";
        for (int folder = 0; folder < 3; ++folder) {
            main += "\r\nVolume:    CD 1\r\nDirectory: \\Roses " + std::to_string(folder) + "\\\r\n\r\n";
            for (int i = 0; i < 1500; ++i)
                main += entryLine("clip" + std::to_string(folder * 1500 + i) + (i % 3 ? ".wmf" : " tulip.gif"),
                                  std::to_string(i * 7 % 1000) + ",000",
                                  "5/" + std::to_string(i % 28 + 1) + "/2007 1:02:03 PM");
        }
        writeListing("main.txt", main);
    }

    // "B|070%|Art|\Clips\|name|1.00mb|Dec, 11 08": the colour, then the
    // texts of the six columns as the list shows them.
    QString shownRow(int row) const
    {
        const HitListModel& model = *form->hitModel;
        const QColor colour =
            model.data(model.index(row, HitListModel::Name), Qt::ForegroundRole).value<QBrush>().color();
        QStringList cells{colour == Blue ? "B" : colour == Red ? "R" : "?"};
        for (int column = 0; column < HitListModel::ColumnCount; ++column)
            cells << model.data(model.index(row, column)).toString();
        return cells.join(u'|');
    }
};

TEST_P(FindShows, EveryCellAndCounter)
{
    const ShownSearch& search = GetParam();
    writeListings();
    find(search.words, search.desiredMatch);
    ASSERT_EQ(form->hitModel->rowCount(), search.rows);
    for (const auto& [row, shown] : search.shownRows)
        EXPECT_EQ(shownRow(row), shown) << "row " << row;
    EXPECT_EQ(form->lblFound->text(), search.found);
    EXPECT_EQ(form->lblSearched->text(), search.searched);
}

INSTANTIATE_TEST_SUITE_P(
    Searches, FindShows,
    ::testing::Values(
        ShownSearch{"rose", "70", 4504,
                    {{0, "B|100%|Art|\\Clips\\|Red Rose.wmf|1.00mb|Dec, 11 08"},
                     {1, "B|100%|Art|\\Clips\\|caf\u00e9 rose.gif|1177.38mb|Jan, 02 09"},
                     {2, "B|100%|Art|\\Clips\\|rose short.wmf|1177.38mb|Jan, 02 09"},
                     {3, "B|100%|Art|\\Clips\\|rose" + QString(61, 'x') + "n/a|1177.38mb|Jan, 02 09"},
                     {4, "R|100%|CD 1|\\Roses 0\\|clip0 tulip.gif|0.00mb|May, 01 07"},
                     {2004, "R|100%|CD 1|\\Roses 1\\|clip2000.wmf|0.48mb|May, 25 07"},
                     {4503, "R|100%|CD 1|\\Roses 2\\|clip4499.wmf|0.47mb|May, 16 07"}},
                    "4500", "4504"},
        ShownSearch{"tulip roses 1", "60", 3313,
                    {{0, "R|067%|CD 1|\\Roses 0\\|clip0 tulip.gif|0.00mb|May, 01 07"},
                     {2, "R|067%|CD 1|\\Roses 0\\|clip3 tulip.gif|0.02mb|May, 04 07"},
                     {2004, "R|100%|CD 1|\\Roses 1\\|clip2490 tulip.gif|0.89mb|May, 11 07"},
                     {3312, "R|067%|CD 1|\\Roses 2\\|clip4497 tulip.gif|0.46mb|May, 14 07"}},
                    "3313", "4504"},
        ShownSearch{"clip44 wmf", "70", 75,
                    {{0, "R|100%|CD 1|\\Roses 0\\|clip44.wmf|0.29mb|May, 17 07"},
                     {1, "R|100%|CD 1|\\Roses 0\\|clip440.wmf|0.08mb|May, 21 07"},
                     {74, "R|100%|CD 1|\\Roses 2\\|clip4499.wmf|0.47mb|May, 16 07"}},
                    "75", "4504"}),
    [](const ::testing::TestParamInfo<ShownSearch>& row) { return "search" + std::to_string(row.index); });

}  // namespace
