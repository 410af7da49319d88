// The locations dialog: its controls, the Add checks, the list edits, Save
// with its rescan question, Cancel and the folder picker, driven as a user
// would through the scripted dialogs.

#include "platform/Forms.h"
#include "platform/Pump.h"
#include "search/ListSearch.h"
#include "search/LocalLoc.h"
#include "search/LocationRules.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using platform::Forms;
using platform::MsgButtons;
using platform::MsgResult;
using platform::OpenFileResult;

namespace {

// Names each case of a parameterised test after its `name` field.
constexpr auto caseName = [](const auto& testInfo) { return std::string(testInfo.param.name); };

const QString PathMessage = QStringLiteral("The Path must be at lease 3 characters long. (ex: C:\\)");
const QString DescriptionMessage =
    QStringLiteral("Description must not be left blank or contain the characters /?\\:|*");
const QString RescanQuestion = QStringLiteral("Rescan Local Search Locations?");

struct Location {
    QString description;
    QString path;
};

// ---- The Add checks, without the window --------------------------------------

struct RefusalCase {
    const char* name;
    QString description;
    QString path;
    int rowCount;
    std::optional<QString> message;  // nullopt: accepted
};

class LocationRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(LocationRefusal, GivesTheFirstFailingCheck)
{
    const RefusalCase& c = GetParam();
    EXPECT_EQ(locationRefusal(c.description, c.path, c.rowCount), c.message);
}

const std::optional<QString> Accepted;

INSTANTIATE_TEST_SUITE_P(
    Checks, LocationRefusal,
    ::testing::Values(
        RefusalCase{"ThreeCharacterPath", "Clips", "C:\\", 0, Accepted},
        RefusalCase{"TwoCharacterPath", "Clips", "C:", 0, PathMessage},
        RefusalCase{"PathCheckedBeforeDescription", "a/b", "C:", 0, PathMessage},
        RefusalCase{"EmptyPath", "", "", 0, PathMessage},
        RefusalCase{"EmptyDescription", "", "C:\\Art", 0, DescriptionMessage},
        RefusalCase{"DriveAsDescription", "C:", "C:\\Art", 0, DescriptionMessage},
        RefusalCase{"Slash", "a/b", "C:\\Art", 0, DescriptionMessage},
        RefusalCase{"QuestionMark", "a?", "C:\\Art", 0, DescriptionMessage},
        RefusalCase{"Backslash", "a\\b", "C:\\Art", 0, DescriptionMessage},
        RefusalCase{"Bar", "a|b", "C:\\Art", 0, DescriptionMessage},
        RefusalCase{"Asterisk", "*", "C:\\Art", 0, DescriptionMessage},
        RefusalCase{"BlanksOnly", "   ", "C:\\Art", 0, Accepted},
        RefusalCase{"CommaAndBlanksKept", " Art, old ", "C:\\Art, old", 0, Accepted},
        RefusalCase{"QuoteInDescription", "My \"best\"", "C:\\Art", 0,
                    QStringLiteral("Description and Path must not contain double quotes (\").")},
        RefusalCase{"QuoteInPath", "Art", "C:\\\"Art\"", 0,
                    QStringLiteral("Description and Path must not contain double quotes (\").")},
        RefusalCase{"LastFreeRow", "Art", "C:\\Art", MaxLocations - 1, Accepted},
        RefusalCase{"ListFull", "Art", "C:\\Art", MaxLocations,
                    QStringLiteral("The search list is full: it holds at most 255 locations.")}),
    caseName);

// ---- The dialog ----------------------------------------------------------------

class LocalLocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        Forms::registerForm(QStringLiteral("LocalLoc"), [] { return new LocalLoc; });
    }

    void TearDown() override
    {
        Forms::reset();
        ListSearch = ListSearchModule{};
    }

    static void setLocations(const std::vector<Location>& locations)
    {
        ListSearch.LocCount = static_cast<int>(locations.size());
        for (std::size_t i = 0; i < locations.size(); ++i) {
            ListSearch.Locations[i + 1][1] = locations[i].description;
            ListSearch.Locations[i + 1][2] = locations[i].path;
        }
    }

    static std::vector<Location> fiveLocations()
    {
        return {{"One", "C:\\1"}, {"Two", "C:\\2"}, {"Three", "C:\\3"}, {"Four", "C:\\4"}, {"Five", "C:\\5"}};
    }

    static LocalLoc& open()
    {
        auto& dialog = Forms::get<LocalLoc>(QStringLiteral("LocalLoc"));
        dialog.Show();
        return dialog;
    }

    // "description|path" for each row of the list, in order.
    static QStringList rows(const LocalLoc& dialog)
    {
        QStringList texts;
        for (int i = 0; i < dialog.Online->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = dialog.Online->topLevelItem(i);
            texts << row->text(0) + "|" + row->text(1);
        }
        return texts;
    }

    static QStringList savedLocations()
    {
        QStringList texts;
        for (int i = 1; i <= ListSearch.LocCount; ++i)
            texts << ListSearch.Locations[i][1] + "|" + ListSearch.Locations[i][2];
        return texts;
    }

    // The selected row counted from 1, 0 for none.
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

    TestEnvironment env;
};

TEST_F(LocalLocTest, ControlsStandAtTheirDesignPlaces)
{
    LocalLoc& dialog = open();
    EXPECT_EQ(dialog.windowTitle(), "Brisca Viewer - Local File Search Locations");
    EXPECT_EQ(dialog.size(), QSize(523, 326));  // 7845 by 4890 twips
    EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    struct Expected {
        QWidget* control;
        QString text;
        QRect pixels;  // the twips divided by 15
    };
    const Expected controls[] = {
        {dialog.Online, {}, {4, 4, 517, 233}},
        {dialog.Label1, "Description", {4, 240, 93, 17}},
        {dialog.Label2, "Path", {160, 240, 133, 17}},
        {dialog.Desc, "Online", {4, 260, 153, 21}},
        {dialog.LocalDataFolder, "", {160, 260, 285, 21}},
        {dialog.GetListName, "...", {448, 260, 21, 21}},
        {dialog.LocAdd, "Add", {476, 260, 41, 21}},
        {dialog.OK, "Save", {8, 296, 45, 21}},
        {dialog.Cancel, "Cancel", {60, 296, 53, 21}},
        {dialog.MvUp, "Move Selected Up", {176, 296, 117, 21}},
        {dialog.MvDn, "Move Selected Down", {300, 296, 117, 21}},
        {dialog.LocDel, "Delete Selected", {424, 296, 93, 21}},
    };
    for (const Expected& c : controls) {
        EXPECT_EQ(c.control->geometry(), c.pixels) << c.control->metaObject()->className() << " " << c.text.toStdString();
        if (auto* label = qobject_cast<QLabel*>(c.control)) {
            EXPECT_EQ(label->text(), c.text);
        } else if (auto* button = qobject_cast<QPushButton*>(c.control)) {
            EXPECT_EQ(button->text(), c.text);
        } else if (auto* field = qobject_cast<QLineEdit*>(c.control)) {
            EXPECT_EQ(field->text(), c.text);
        }
    }
    EXPECT_TRUE(dialog.GetListName->font().bold());
    EXPECT_EQ(dialog.GetListName->toolTip(), "Browse for a File Location Path");
    EXPECT_EQ(dialog.Online->headerItem()->text(0), "Description");
    EXPECT_EQ(dialog.Online->headerItem()->text(1), "Path");
    EXPECT_EQ(dialog.Online->header()->sectionSize(0), 167);  // 2500 twips
    EXPECT_EQ(dialog.Online->header()->sectionSize(1), 327);  // 4900 twips
}

TEST_F(LocalLocTest, ListHasTheFocusAndTabRunsInDesignOrder)
{
    LocalLoc& dialog = open();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog.Online);

    const QWidget* expected[] = {dialog.LocAdd, dialog.LocDel, dialog.Desc, dialog.LocalDataFolder,
                                 dialog.GetListName, dialog.MvDn, dialog.MvUp, dialog.OK, dialog.Cancel,
                                 dialog.Online};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
}

TEST_F(LocalLocTest, FieldsAreNamedByTheirCaptions)
{
    LocalLoc& dialog = open();
    EXPECT_EQ(dialog.Label1->buddy(), dialog.Desc);
    EXPECT_EQ(dialog.Label2->buddy(), dialog.LocalDataFolder);
    EXPECT_FALSE(dialog.Online->accessibleName().isEmpty());
}

TEST_F(LocalLocTest, OpeningShowsTheSavedLocationsWithNothingSelected)
{
    setLocations({{"Clip Art", "C:\\Art\\"}, {" Photos ", "D:\\Pics"}});
    LocalLoc& dialog = open();
    EXPECT_EQ(rows(dialog), QStringList({"Clip Art|C:\\Art\\", " Photos |D:\\Pics"}));
    EXPECT_EQ(selectedRow(dialog), 0);
    EXPECT_EQ(dialog.Desc->text(), "Online");
    EXPECT_TRUE(dialog.LocalDataFolder->text().isEmpty());
}

TEST_F(LocalLocTest, AddAppendsAsTypedAndKeepsFieldsAndSelection)
{
    setLocations({{"One", "C:\\1"}});
    LocalLoc& dialog = open();
    select(dialog, 1);
    add(dialog, "   ", "C:\\");
    add(dialog, "   ", "C:\\");
    EXPECT_EQ(rows(dialog), QStringList({"One|C:\\1", "   |C:\\", "   |C:\\"}));
    EXPECT_EQ(dialog.Desc->text(), "   ");
    EXPECT_EQ(dialog.LocalDataFolder->text(), "C:\\");
    EXPECT_EQ(selectedRow(dialog), 1);
    EXPECT_TRUE(env.dialogs().messages().empty());
}

TEST_F(LocalLocTest, RefusedAddShowsTheMessageAndKeepsTheFields)
{
    LocalLoc& dialog = open();
    add(dialog, "a/b", "C:");
    add(dialog, "C:", "C:\\Art");
    EXPECT_EQ(dialog.Online->topLevelItemCount(), 0);
    EXPECT_EQ(env.dialogs().prompts(), QStringList({PathMessage, DescriptionMessage}));
    EXPECT_EQ(env.dialogs().messages().front().buttons, MsgButtons::Ok);
    EXPECT_EQ(dialog.Desc->text(), "C:");
    EXPECT_EQ(dialog.LocalDataFolder->text(), "C:\\Art");
}

TEST_F(LocalLocTest, AFullListRefusesAddAndSaveKeepsEveryRow)
{
    std::vector<Location> full;
    for (int i = 1; i <= MaxLocations; ++i)
        full.push_back({QString("L%1").arg(i), QString("C:\\%1").arg(i)});
    setLocations(full);
    LocalLoc& dialog = open();
    add(dialog, "More", "C:\\More");
    EXPECT_EQ(dialog.Online->topLevelItemCount(), MaxLocations);
    EXPECT_EQ(env.dialogs().prompts(),
              QStringList("The search list is full: it holds at most 255 locations."));

    env.dialogs().answerNext(MsgResult::No);
    dialog.OK->click();
    EXPECT_EQ(ListSearch.LocCount, MaxLocations);
    EXPECT_EQ(ListSearch.Locations[MaxLocations][1], "L255");
}

TEST_F(LocalLocTest, DeletingRowThreeOfFiveSelectsRowTwo)
{
    setLocations(fiveLocations());
    LocalLoc& dialog = open();
    select(dialog, 3);
    dialog.LocDel->click();
    EXPECT_EQ(rows(dialog), QStringList({"One|C:\\1", "Two|C:\\2", "Four|C:\\4", "Five|C:\\5"}));
    EXPECT_EQ(selectedRow(dialog), 2);
}

TEST_F(LocalLocTest, DeletingRowOneRemovesIt)
{
    setLocations(fiveLocations());
    LocalLoc& dialog = open();
    select(dialog, 1);
    dialog.LocDel->click();
    EXPECT_EQ(rows(dialog).first(), "Two|C:\\2");
    EXPECT_EQ(dialog.Online->topLevelItemCount(), 4);
}

TEST_F(LocalLocTest, EditsWithoutASelectionDoNothing)
{
    LocalLoc& empty = open();
    for (QPushButton* button : {empty.LocDel, empty.MvUp, empty.MvDn})
        button->click();
    EXPECT_EQ(empty.Online->topLevelItemCount(), 0);
    empty.Cancel->click();

    setLocations(fiveLocations());
    LocalLoc& dialog = open();
    for (QPushButton* button : {dialog.LocDel, dialog.MvUp, dialog.MvDn})
        button->click();
    EXPECT_EQ(dialog.Online->topLevelItemCount(), 5);
    EXPECT_EQ(rows(dialog).first(), "One|C:\\1");
}

struct MoveCase {
    const char* name;
    int selected;
    bool up;
    QStringList order;  // descriptions afterwards
    int selectedAfter;
};

class LocalLocMove : public LocalLocTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(LocalLocMove, ExchangesTextsWithTheNeighbourAndFollowsThem)
{
    const MoveCase& c = GetParam();
    setLocations({{"One", "C:\\1"}, {"Two", "C:\\2"}, {"Three", "C:\\3"}});
    LocalLoc& dialog = open();
    QTreeWidgetItem* const firstRow = dialog.Online->topLevelItem(0);
    select(dialog, c.selected);
    (c.up ? dialog.MvUp : dialog.MvDn)->click();

    QStringList order;
    for (const QString& row : rows(dialog))
        order << row.section('|', 0, 0);
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(selectedRow(dialog), c.selectedAfter);
    // Paths travel with their descriptions; the rows themselves stay.
    EXPECT_TRUE(rows(dialog).contains("Two|C:\\2"));
    EXPECT_EQ(dialog.Online->topLevelItem(0), firstRow);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, LocalLocMove,
    ::testing::Values(MoveCase{"UpOnFirstRow", 1, true, {"One", "Two", "Three"}, 1},
                      MoveCase{"DownOnLastRow", 3, false, {"One", "Two", "Three"}, 3},
                      MoveCase{"UpFromMiddle", 2, true, {"Two", "One", "Three"}, 1},
                      MoveCase{"UpFromLast", 3, true, {"One", "Three", "Two"}, 2},
                      MoveCase{"DownFromFirst", 1, false, {"Two", "One", "Three"}, 2},
                      MoveCase{"DownFromMiddle", 2, false, {"One", "Three", "Two"}, 3}),
    caseName);

TEST_F(LocalLocTest, SaveStoresTheRowsAsksTheRescanQuestionAndCloses)
{
    setLocations({{"Old", "C:\\Old"}});
    LocalLoc& dialog = open();
    add(dialog, "New", "D:\\New\\");
    select(dialog, 2);
    dialog.MvUp->click();
    env.dialogs().answerNext(MsgResult::No);
    dialog.OK->click();

    EXPECT_EQ(savedLocations(), QStringList({"New|D:\\New\\", "Old|C:\\Old"}));
    ASSERT_EQ(env.dialogs().messages().size(), 1u);
    EXPECT_EQ(env.dialogs().messages().front().prompt, RescanQuestion);
    EXPECT_EQ(env.dialogs().messages().front().buttons, MsgButtons::YesNo);
    EXPECT_FALSE(Forms::isLoaded("LocalLoc"));
    EXPECT_FALSE(ListSearch.RescanBusy);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(LocalLocTest, SavingAnEmptyListClearsTheLocationsAndStillAsks)
{
    setLocations({{"One", "C:\\1"}});
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
    EXPECT_EQ(env.dialogs().prompts(),
              QStringList("The locations were saved. A rescan is already running, so no second rescan was started."));
    EXPECT_FALSE(Forms::isLoaded("LocalLoc"));
}

struct CloseCase {
    const char* name;
    std::function<void(LocalLoc&)> close;
};

class LocalLocDiscard : public LocalLocTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(LocalLocDiscard, ClosingAfterEditsKeepsTheSavedListForTheNextOpening)
{
    setLocations(fiveLocations());
    LocalLoc& dialog = open();
    add(dialog, "Six", "C:\\6");
    select(dialog, 2);
    dialog.MvDn->click();
    select(dialog, 5);
    dialog.LocDel->click();
    GetParam().close(dialog);

    EXPECT_FALSE(Forms::isLoaded("LocalLoc"));
    EXPECT_EQ(ListSearch.LocCount, 5);
    EXPECT_EQ(savedLocations().join(','), "One|C:\\1,Two|C:\\2,Three|C:\\3,Four|C:\\4,Five|C:\\5");
    EXPECT_EQ(rows(open()), savedLocations());
}

INSTANTIATE_TEST_SUITE_P(
    Closes, LocalLocDiscard,
    ::testing::Values(CloseCase{"Cancel", [](LocalLoc& d) { d.Cancel->click(); }},
                      CloseCase{"Escape", [](LocalLoc& d) { QTest::keyClick(d.Desc, Qt::Key_Escape); }},
                      CloseCase{"CloseBox", [](LocalLoc& d) { d.close(); }}),
    caseName);

TEST_F(LocalLocTest, ShowingItAgainKeepsUnsavedEdits)
{
    LocalLoc& dialog = open();
    add(dialog, "Art", "C:\\Art");
    EXPECT_EQ(&open(), &dialog);
    EXPECT_EQ(rows(dialog), QStringList("Art|C:\\Art"));
}

struct PickCase {
    const char* name;
    OpenFileResult chosen;
    QString field;
};

class LocalLocPicker : public LocalLocTest, public ::testing::WithParamInterface<PickCase> {};

TEST_P(LocalLocPicker, TheChosenFilesFolderFillsThePath)
{
    LocalLoc& dialog = open();
    dialog.LocalDataFolder->setText("C:\\Start\\");
    env.dialogs().chooseNextFile(GetParam().chosen);
    dialog.GetListName->click();

    EXPECT_EQ(dialog.LocalDataFolder->text(), GetParam().field);
    ASSERT_EQ(env.dialogs().openRequests().size(), 1u);
    const platform::OpenFileRequest& request = env.dialogs().openRequests().front();
    EXPECT_EQ(request.fileName, "All Files");
    EXPECT_EQ(request.defaultExt, ".txt");
    EXPECT_EQ(request.initDir, "C:\\Start\\");
    EXPECT_TRUE(request.filter.isEmpty());
    EXPECT_TRUE(request.title.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Picks, LocalLocPicker,
    ::testing::Values(PickCase{"FileInAFolder", {"D:\\Pics\\a.bmp", "a.bmp"}, "D:\\Pics\\"},
                      PickCase{"FileInTheRoot", {"D:\\a.bmp", "a.bmp"}, "D:\\"},
                      PickCase{"ThePresetName", {"C:\\Art\\Clips\\All Files", "All Files"}, "C:\\Art\\Clips\\"},
                      PickCase{"TitleLongerThanName", {"a.bmp", "D:\\a.bmp"}, "C:\\Start\\"}),
    caseName);

TEST_F(LocalLocTest, CancelledPickerLeavesThePath)
{
    LocalLoc& dialog = open();
    dialog.LocalDataFolder->setText("C:\\Keep");
    env.dialogs().chooseNextFile(std::nullopt);
    dialog.GetListName->click();
    EXPECT_EQ(dialog.LocalDataFolder->text(), "C:\\Keep");
    EXPECT_TRUE(env.dialogs().messages().empty());
}

}  // namespace
