// The locations dialog: its controls, the Add checks, the list edits, Save
// with its rescan question, Cancel and the folder picker, driven as a user
// would through the scripted dialogs.

#include "platform/Forms.h"
#include "search/ListSearch.h"
#include "search/LocalLoc.h"
#include "search/LocationRules.h"
#include "search/SearchForm.h"
#include "support/TabChain.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using platform::Forms;
using platform::MsgResult;
using platform::OpenFileResult;

namespace {

const QString PathMessage = "The Path must be at lease 3 characters long. (ex: C:\\)";
const QString DescriptionMessage = "Description must not be left blank or contain the characters /?\\:|*";
const QString QuoteMessage = "Description and Path must not contain double quotes (\").";
const QString RescanQuestion = "Rescan Local Search Locations?";
const QString BusyMessage = "The locations were saved. A rescan is already running, so no second rescan was started.";

TEST(LocationRefusal, GivesTheFirstFailingCheck)
{
    const struct {
        QString description, path;
        int rowCount;
        std::optional<QString> message;  // nullopt: accepted
    } cases[] = {
        {"Clips", "C:\\", 0, std::nullopt},
        {"Clips", "C:", 0, PathMessage},
        {"a/b", "C:", 0, PathMessage},
        {"", "C:\\Art", 0, DescriptionMessage},
        {"C:", "C:\\Art", 0, DescriptionMessage},
        {"   ", "C:\\Art", 0, std::nullopt},
        {" Art, old ", "C:\\Art, old", 0, std::nullopt},
        {"My \"best\"", "C:\\Art", 0, QuoteMessage},
        {"Art", "C:\\\"Art\"", 0, QuoteMessage},
        {"Art", "C:\\Art", MaxLocations - 1, std::nullopt},
        {"Art", "C:\\Art", MaxLocations, "The search list is full: it holds at most 255 locations."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(locationRefusal(c.description, c.path, c.rowCount), c.message) << c.description.toStdString();
    for (const QChar forbidden : QStringView(u"/?\\:|*"))
        EXPECT_EQ(locationRefusal(QString("a") + forbidden, "C:\\Art", 0), DescriptionMessage);
}

class LocalLocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        Forms::registerForm("LocalLoc", [] { return new LocalLoc; });
    }

    void TearDown() override
    {
        Forms::reset();
        ListSearch = ListSearchModule{};
    }

    // Each entry "description|path".
    static void setLocations(const QStringList& locations)
    {
        ListSearch.LocCount = static_cast<int>(locations.size());
        for (int i = 1; i <= ListSearch.LocCount; ++i) {
            ListSearch.Locations[i][1] = locations[i - 1].section('|', 0, 0);
            ListSearch.Locations[i][2] = locations[i - 1].section('|', 1);
        }
    }

    static QStringList savedLocations()
    {
        QStringList texts;
        for (int i = 1; i <= ListSearch.LocCount; ++i)
            texts << ListSearch.Locations[i][1] + "|" + ListSearch.Locations[i][2];
        return texts;
    }

    static LocalLoc& open()
    {
        auto& dialog = Forms::get<LocalLoc>("LocalLoc");
        dialog.Show();
        return dialog;
    }

    static QStringList rows(const LocalLoc& dialog)
    {
        QStringList texts;
        for (int i = 0; i < dialog.Online->topLevelItemCount(); ++i)
            texts << dialog.Online->topLevelItem(i)->text(0) + "|" + dialog.Online->topLevelItem(i)->text(1);
        return texts;
    }

    // Counted from 1; 0 for none.
    static int selectedRow(const LocalLoc& dialog)
    {
        const auto selected = dialog.Online->selectedItems();
        return selected.isEmpty() ? 0 : dialog.Online->indexOfTopLevelItem(selected.first()) + 1;
    }

    static void select(LocalLoc& dialog, int row)
    {
        dialog.Online->setCurrentItem(dialog.Online->topLevelItem(row - 1));
    }

    static void add(LocalLoc& dialog, const QString& description, const QString& path)
    {
        dialog.Desc->setText(description);
        dialog.LocalDataFolder->setText(path);
        dialog.LocAdd->click();
    }

    const QStringList five{"1|C:\\1", "2|C:\\2", "3|C:\\3", "4|C:\\4", "5|C:\\5"};
    TestEnvironment env;
};

TEST_F(LocalLocTest, ControlsStandAtTheirDesignPlacesInTabOrder)
{
    LocalLoc& dialog = open();
    EXPECT_EQ(dialog.windowTitle(), "Brisca Viewer - Local File Search Locations");
    EXPECT_EQ(dialog.size(), QSize(523, 326));  // 7845 by 4890 twips
    EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog.Online->header()->sectionSize(0), 167);  // 2500 twips
    EXPECT_EQ(dialog.Online->header()->sectionSize(1), 327);  // 4900 twips
    EXPECT_EQ(dialog.Label1->buddy(), dialog.Desc);
    EXPECT_EQ(dialog.Label2->buddy(), dialog.LocalDataFolder);
    EXPECT_EQ(dialog.Desc->text(), "Online");
    EXPECT_TRUE(dialog.GetListName->font().bold());
    EXPECT_EQ(dialog.GetListName->toolTip(), "Browse for a File Location Path");

    // In tab order, with the place in pixels (the twips divided by 15).
    const std::pair<QWidget*, QRect> controls[] = {
        {dialog.Online, {4, 4, 517, 233}},       {dialog.LocAdd, {476, 260, 41, 21}},
        {dialog.LocDel, {424, 296, 93, 21}},     {dialog.Desc, {4, 260, 153, 21}},
        {dialog.LocalDataFolder, {160, 260, 285, 21}}, {dialog.GetListName, {448, 260, 21, 21}},
        {dialog.MvDn, {300, 296, 117, 21}},      {dialog.MvUp, {176, 296, 117, 21}},
        {dialog.OK, {8, 296, 45, 21}},           {dialog.Cancel, {60, 296, 53, 21}},
    };
    expectTabChain(dialog, controls);
    EXPECT_EQ(dialog.Label1->geometry(), QRect(4, 240, 93, 17));
    EXPECT_EQ(dialog.Label2->geometry(), QRect(160, 240, 133, 17));

    // No caption is cut off in the desktop font.
    for (const QLabel* label : {dialog.Label1, dialog.Label2})
        EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect textPlace = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), textPlace.width())
            << button->text().toStdString();
    }
}

TEST_F(LocalLocTest, AddAppendsAsTypedAndRefusesWithTheMessage)
{
    setLocations({" Old |C:\\Old"});
    LocalLoc& dialog = open();
    EXPECT_EQ(selectedRow(dialog), 0);
    select(dialog, 1);
    add(dialog, "   ", "C:\\");
    add(dialog, "   ", "C:\\");
    add(dialog, "a/b", "C:");
    add(dialog, "C:", "C:\\Art");

    EXPECT_EQ(rows(dialog), QStringList({" Old |C:\\Old", "   |C:\\", "   |C:\\"}));
    EXPECT_EQ(env.dialogs().prompts(), QStringList({PathMessage, DescriptionMessage}));
    EXPECT_EQ(env.dialogs().messages().front().buttons, platform::MsgButtons::Ok);
    EXPECT_EQ(dialog.Desc->text(), "C:");
    EXPECT_EQ(dialog.LocalDataFolder->text(), "C:\\Art");
    EXPECT_EQ(selectedRow(dialog), 1);
}

TEST_F(LocalLocTest, AFullListRefusesAddAndSaveKeepsEveryRow)
{
    QStringList full;
    for (int i = 1; i <= MaxLocations; ++i)
        full << QString("L%1|C:\\%1").arg(i);
    setLocations(full);
    LocalLoc& dialog = open();
    add(dialog, "More", "C:\\More");
    EXPECT_EQ(dialog.Online->topLevelItemCount(), MaxLocations);
    EXPECT_EQ(env.dialogs().prompts(), QStringList("The search list is full: it holds at most 255 locations."));

    env.dialogs().answerNext(MsgResult::No);
    dialog.OK->click();
    EXPECT_EQ(savedLocations(), full);
}

TEST_F(LocalLocTest, DeleteSelectsTheRowAbove)
{
    setLocations(five);
    LocalLoc& dialog = open();
    dialog.LocDel->click();  // nothing selected
    select(dialog, 3);
    dialog.LocDel->click();
    EXPECT_EQ(rows(dialog), QStringList({"1|C:\\1", "2|C:\\2", "4|C:\\4", "5|C:\\5"}));
    EXPECT_EQ(selectedRow(dialog), 2);
    select(dialog, 1);
    dialog.LocDel->click();
    EXPECT_EQ(rows(dialog), QStringList({"2|C:\\2", "4|C:\\4", "5|C:\\5"}));
}

TEST_F(LocalLocTest, MovesExchangeTextsWithTheNeighbourAndFollowThem)
{
    const struct {
        int selected;
        bool up;
        QString order;  // descriptions afterwards
        int selectedAfter;
    } cases[] = {{0, true, "123", 0}, {0, false, "123", 0}, {1, true, "123", 1}, {3, false, "123", 3},
                 {2, true, "213", 1}, {3, true, "132", 2},  {1, false, "213", 2}, {2, false, "132", 3}};
    setLocations({"1|C:\\1", "2|C:\\2", "3|C:\\3"});
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.selected << (c.up ? " up" : " down"));
        LocalLoc& dialog = open();
        QTreeWidgetItem* const firstRow = dialog.Online->topLevelItem(0);
        if (c.selected)
            select(dialog, c.selected);
        (c.up ? dialog.MvUp : dialog.MvDn)->click();

        QString order;
        for (const QString& row : rows(dialog)) {
            order += row.section('|', 0, 0);
            EXPECT_EQ(row.section('|', 1), "C:\\" + row.section('|', 0, 0));  // paths travel along
        }
        EXPECT_EQ(order, c.order);
        EXPECT_EQ(selectedRow(dialog), c.selectedAfter);
        EXPECT_EQ(dialog.Online->topLevelItem(0), firstRow);  // the rows themselves stay
        dialog.Cancel->click();
    }
}

TEST_F(LocalLocTest, SaveStoresTheRowsAndNoSkipsTheRescan)
{
    setLocations({"Old|C:\\Old"});
    LocalLoc& dialog = open();
    add(dialog, "New", "D:\\New\\");
    select(dialog, 2);
    dialog.MvUp->click();
    env.dialogs().answerNext(MsgResult::No);
    dialog.OK->click();

    EXPECT_EQ(savedLocations(), QStringList({"New|D:\\New\\", "Old|C:\\Old"}));
    ASSERT_EQ(env.dialogs().prompts(), QStringList(RescanQuestion));
    EXPECT_EQ(env.dialogs().messages().front().buttons, platform::MsgButtons::YesNo);
    EXPECT_FALSE(Forms::isLoaded("LocalLoc"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(LocalLocTest, SavingAnEmptyListClearsTheLocationsAndStillAsks)
{
    setLocations({"1|C:\\1"});
    LocalLoc& dialog = open();
    select(dialog, 1);
    dialog.LocDel->click();
    env.dialogs().answerNext(MsgResult::No);
    dialog.OK->click();
    EXPECT_EQ(ListSearch.LocCount, 0);
    EXPECT_EQ(env.dialogs().prompts(), QStringList(RescanQuestion));
}

TEST_F(LocalLocTest, SaveDuringARescanSavesWithoutStartingAnother)
{
    LocalLoc& dialog = open();
    add(dialog, "Art", "C:\\Art");
    ListSearch.RescanBusy = true;
    dialog.OK->click();
    EXPECT_EQ(savedLocations(), QStringList("Art|C:\\Art"));
    EXPECT_EQ(env.dialogs().prompts(), QStringList(BusyMessage));
    EXPECT_FALSE(Forms::isLoaded("LocalLoc"));
}

TEST_F(LocalLocTest, YesRescansUnderTheHourglassAndASecondSaveStartsNoOtherRescan)
{
    env.writeFile("list.txt", "");
    env.writeFile("art/sub/star.wmf", "star");
    env.mapDrive(u'e', "data");
    Forms::registerForm("SearchForm", [this] { return new SearchForm(env.hostPath("list.txt")); });
    auto& search = Forms::get<SearchForm>("SearchForm");
    ListSearch.LocalFolder = "E:\\";
    LocalLoc& dialog = open();
    add(dialog, "Art", env.windowsPath("art"));

    // Runs in the message pump of the walk, while the rescan is in hand.
    std::optional<Qt::CursorShape> pointer;
    bool rescanCommandEnabled = true;
    QTimer::singleShot(0, &dialog, [&] {
        if (const QCursor* cursor = QApplication::overrideCursor())
            pointer = cursor->shape();
        rescanCommandEnabled = search.ReScan->isEnabled();
        dialog.OK->click();
    });
    env.dialogs().answerNext(MsgResult::Yes);
    dialog.OK->click();

    EXPECT_EQ(pointer, Qt::WaitCursor);
    EXPECT_FALSE(rescanCommandEnabled);
    EXPECT_EQ(env.dialogs().prompts(), QStringList({RescanQuestion, BusyMessage}));
    EXPECT_TRUE(env.readFile("data/Art.txt").contains("star.wmf"));
    EXPECT_FALSE(env.readFile("data/Art.zip").isEmpty());
    EXPECT_TRUE(search.ReScan->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(ListSearch.RescanBusy);
    EXPECT_FALSE(Forms::isLoaded("LocalLoc"));
}

TEST_F(LocalLocTest, ClosingAfterEditsKeepsTheSavedListForTheNextOpening)
{
    const std::function<void(LocalLoc&)> closes[] = {
        [](LocalLoc& d) { d.Cancel->click(); },
        [](LocalLoc& d) { QTest::keyClick(d.Desc, Qt::Key_Escape); },
        [](LocalLoc& d) { QTest::keyClick(d.Online, Qt::Key_Escape); },
        [](LocalLoc& d) { QTest::keyClick(d.Cancel, Qt::Key_Return); },  // a focused button takes Enter
        [](LocalLoc& d) { d.close(); },
    };
    setLocations(five);
    for (const auto& close : closes) {
        LocalLoc& dialog = open();
        add(dialog, "6", "C:\\6");
        select(dialog, 2);
        dialog.MvDn->click();
        select(dialog, 5);
        dialog.LocDel->click();
        close(dialog);
        EXPECT_FALSE(Forms::isLoaded("LocalLoc"));
        EXPECT_EQ(savedLocations(), five);
    }
    EXPECT_EQ(rows(open()), five);
}

TEST_F(LocalLocTest, PickerPutsTheChosenFilesFolderIntoThePath)
{
    const std::pair<std::optional<OpenFileResult>, QString> picks[] = {
        {OpenFileResult{"D:\\Pics\\a.bmp", "a.bmp"}, "D:\\Pics\\"},
        {OpenFileResult{"D:\\a.bmp", "a.bmp"}, "D:\\"},
        {OpenFileResult{"C:\\Art\\All Files", "All Files"}, "C:\\Art\\"},
        {std::nullopt, "C:\\Start"},                          // cancelled
        {OpenFileResult{"a.bmp", "D:\\a.bmp"}, "C:\\Start"},  // a name that cannot be split
    };
    LocalLoc& dialog = open();
    for (const auto& [chosen, field] : picks) {
        dialog.LocalDataFolder->setText("C:\\Start");
        env.dialogs().chooseNextFile(chosen);
        dialog.GetListName->click();
        EXPECT_EQ(dialog.LocalDataFolder->text(), field);
    }
    const platform::OpenFileRequest& request = env.dialogs().openRequests().front();
    EXPECT_EQ(request.fileName, "All Files");
    EXPECT_EQ(request.defaultExt, ".txt");
    EXPECT_EQ(request.initDir, "C:\\Start");
    EXPECT_TRUE(request.filter.isEmpty() && request.title.isEmpty());
    EXPECT_TRUE(env.dialogs().messages().empty());
}

TEST_F(LocalLocTest, SearchWindowMenuOpensItModelessAndKeepsUnsavedEdits)
{
    env.writeFile("list.txt", "");
    Forms::registerForm("SearchForm", [this] { return new SearchForm(env.hostPath("list.txt")); });
    auto& search = Forms::get<SearchForm>("SearchForm");
    search.setGeometry(200, 150, 640, 430);
    search.AddLocal->trigger();
    ASSERT_TRUE(Forms::isLoaded("LocalLoc"));
    auto& dialog = Forms::get<LocalLoc>("LocalLoc");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_LE((dialog.frameGeometry().center() - search.frameGeometry().center()).manhattanLength(), 2);

    add(dialog, "Art", "C:\\Art");
    search.AddLocal->trigger();
    EXPECT_EQ(&Forms::get<LocalLoc>("LocalLoc"), &dialog);
    EXPECT_EQ(rows(dialog), QStringList("Art|C:\\Art"));
}

}  // namespace
