// The search window as the program's start and end: the load with defaults,
// settings, locations and the command line, the menus that open the other
// windows, and the shutdown that saves and closes everything.

#include "platform/Forms.h"
#include "runtime/DateTime.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"
#include "search/FormStubs.h"
#include "search/HitListModel.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "support/TestEnvironment.h"

#include <QAccessible>
#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

using platform::FormWindow;
using platform::Forms;

namespace {

const QString Missing = QStringLiteral("<missing>");
const QByteArray TwoLocations = "\"Art\",\"C:\\Art\"\r\n\"Sounds, old\",\"C:\\Snd\"\r\n";

class SearchFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        registerStubForms(OpenedWindows, [this](FormWindow& form, QWidget* owner) {
            modalOwners[form.objectName()] = owner;
        });
        dataFolder = env.windowsPath("data") + "\\";
        env.writeFile("data/Brisca.zip", "PK");
        writeDefaults(dataFolder);
    }

    void TearDown() override
    {
        Forms::reset();
        ListSearch = ListSearchModule{};
    }

    void writeDefaults(const QString& localFolder)
    {
        env.writeFile("program/defaults.txt",
                      (localFolder + "\r\nmain.txt\r\nBrisca.zip\r\nupdate.example\r\n").toLatin1());
    }

    SearchForm& start(const QString& commandLine = {})
    {
        SearchHooks hooks;
        hooks.CheckListing = [](SearchForm&) {
            StubForm::log << "CheckListing";
            return false;
        };
        hooks.ReScan_Click = [](SearchForm&) { StubForm::log << "ReScan"; };
        Forms::registerForm("SearchForm", [=] { return new SearchForm(commandLine, hooks); });
        return Forms::get<SearchForm>("SearchForm");
    }

    void store(const QString& key, const QString& value) { env.settings().save(SettingsApp, SettingsSection, key, value); }
    QString stored(const QString& key) { return env.settings().get(SettingsApp, SettingsSection, key, Missing); }

    static bool closeWindow(SearchForm& form)
    {
        form.Show();
        return form.close();
    }

    TestEnvironment env;
    QString dataFolder;
    QMap<QString, QWidget*> modalOwners;
};

// ---- Start-up ----

TEST_F(SearchFormTest, NormalStartReadsDefaultsSettingsAndLocationsThenOpensTheWindows)
{
    store("JoinDate", "3/4/2021 5:06:07 PM");
    store("NickName", "ann");
    store("Top", "1200");
    store("Left", "2400");
    store("Width", "9000");
    store("Height", "6000");
    env.writeFile("data/locations.txt", TwoLocations);

    SearchForm& form = start();

    EXPECT_EQ(StubForm::log, QStringList({"CheckListing", "SelectDrive load", "SelectDrive modal",
                                          "Browser load", "Browser show"}));
    EXPECT_EQ(modalOwners.value("SelectDrive"), nullptr);
    EXPECT_EQ(form.lblVer->text(), QString("Ver:%1.%2(%3)")
                                       .arg(BRISCA_VERSION_MAJOR)
                                       .arg(BRISCA_VERSION_MINOR)
                                       .arg(BRISCA_VERSION_PATCH));
    EXPECT_EQ(ListSearch.LocalFolder, dataFolder);
    EXPECT_EQ(ListSearch.TextFile, "main.txt");
    EXPECT_EQ(ListSearch.WebServer, "update.example");
    EXPECT_EQ(ListSearch.NickName, "ann");
    EXPECT_EQ(ListSearch.JoinDate, runtime::makeDate(2021, 3, 4, 17, 6, 7));
    ASSERT_EQ(ListSearch.LocCount, 2);
    EXPECT_EQ(ListSearch.Locations[2][1], "Sounds, old");
    EXPECT_EQ(form.Top(), 1200);
    EXPECT_EQ(form.Left(), 2400);
    EXPECT_EQ(form.Width(), 9000);
    EXPECT_EQ(form.Height(), 6000);
    EXPECT_TRUE(form.WebUpdate->isEnabled());
    EXPECT_TRUE(form.OptionsMenu->isEnabled());
    EXPECT_FALSE(ListSearch.NoSaveOnExit);
}

struct DataFolderCase {
    const char* name;
    const char* defaultsFolder;  // nullptr: no defaults.txt
    bool archivePresent;
    bool programFolderExpected;
};

class DataFolderTest : public SearchFormTest, public ::testing::WithParamInterface<DataFolderCase> {};

TEST_P(DataFolderTest, FallsBackToTheProgramFolderWithoutTheArchive)
{
    const DataFolderCase& c = GetParam();
    if (!c.archivePresent)
        QFile::remove(env.hostPath("data/Brisca.zip"));
    if (c.defaultsFolder)
        writeDefaults(c.defaultsFolder == QString("data") ? dataFolder : QString(c.defaultsFolder));
    else
        QFile::remove(env.hostPath("program/defaults.txt"));
    store("OffLineDrive", "d:");

    start();

    EXPECT_EQ(ListSearch.LocalFolder, c.programFolderExpected ? programFolderWithBackslash() : dataFolder);
    EXPECT_EQ(ListSearch.OffLineDrive, "d:");
    EXPECT_EQ(StubForm::log, QStringList({"CheckListing", "Browser load", "Browser show"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, DataFolderTest,
                         ::testing::Values(DataFolderCase{"ArchiveThere", "data", true, false},
                                           DataFolderCase{"ArchiveMissing", "data", false, true},
                                           DataFolderCase{"EmptyFirstLine", "", true, true},
                                           DataFolderCase{"NoDefaultsFile", nullptr, true, true}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(SearchFormTest, ExistingCommandLineListingIsAllTheRunUsesAndNothingIsSaved)
{
    env.writeFile("lists/my art.txt", "Volume: ART\r\n");
    env.writeFile("data/locations.txt", TwoLocations);
    store("Top", "1200");

    SearchForm& form = start(env.hostPath("lists/my art.txt"));

    EXPECT_EQ(ListSearch.TextFile, env.windowsPath("lists/my art.txt"));
    EXPECT_TRUE(StubForm::log.isEmpty());
    EXPECT_FALSE(form.WebUpdate->isEnabled());
    EXPECT_FALSE(form.OptionsMenu->isEnabled());
    EXPECT_EQ(ListSearch.LocalFolder, "");
    EXPECT_EQ(ListSearch.LocCount, 0);
    EXPECT_EQ(form.Top(), 1200);

    form.setTop(3000);
    ASSERT_TRUE(closeWindow(form));
    EXPECT_EQ(stored("Top"), "1200");
    EXPECT_EQ(stored("TextFile"), Missing);
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
    EXPECT_FALSE(Forms::isLoaded("SearchForm"));
}

TEST_F(SearchFormTest, MissingCommandLineFileIsReportedOnceAndTheStartGoesOn)
{
    store("OffLineDrive", "d:");
    start(env.hostPath("nothing here.txt"));

    EXPECT_EQ(env.dialogs().prompts(),
              QStringList({"Could not find file specified on command line. Using default file."}));
    EXPECT_EQ(ListSearch.TextFile, "main.txt");
    EXPECT_EQ(StubForm::log, QStringList({"CheckListing", "Browser load", "Browser show"}));
}

// ---- Controls and menus ----

QString accessibleName(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

TEST_F(SearchFormTest, TypedControlsAreNamedAndThePopupIsNotOnTheMenuBar)
{
    store("OffLineDrive", "d:");
    SearchForm& form = start();
    EXPECT_EQ(accessibleName(form.SearchStr), "Search words");
    EXPECT_EQ(accessibleName(form.DesMatch), "Desired Match %:");
    EXPECT_EQ(form.DesMatch->text(), "70");

    QStringList barEntries;
    for (QAction* action : form.menuBar()->actions())
        barEntries << action->text();
    EXPECT_EQ(barEntries, QStringList({"&File", "&Tutorial", "&About"}));
    EXPECT_EQ(form.ItemMenu->title(), "PopUP");
    EXPECT_EQ(form.ItemMenu->actions().size(), 4);
    EXPECT_EQ(form.MenuQuit->shortcut(), QKeySequence("Ctrl+Q"));

    QSignalSpy findPressed(form.Find, &QPushButton::clicked);
    QTest::keyClick(form.SearchStr, Qt::Key_Return);
    QTest::keyClick(form.DesMatch, Qt::Key_Enter);
    EXPECT_EQ(findPressed.count(), 2);

    for (const QLabel* label : form.findChildren<QLabel*>())
        EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();

    // The match box and the web update button keep their places, a pixel
    // (15 twips) above the hit list.
    const int clientTop = form.contentsRect().top();
    EXPECT_EQ(form.DesMatch->geometry().translated(0, -clientTop), QRect(380, 32, 33, 19));
    EXPECT_EQ(form.WebUpdate->geometry().translated(0, -clientTop), QRect(416, 32, 85, 17));
    EXPECT_EQ(form.HitList->y() - (form.DesMatch->y() + form.DesMatch->height()), 1);

    // The columns the resize leaves alone hold their widest texts uncut: the
    // widest size is the one that fills the listing's thirteen size columns.
    form.hitModel->appendRows({{{100, "ART", "\\BIRDS\\", "owl.wmf", 1048565187, 39596}, Qt::red},
                               {{70, "ART", "\\BIRDS\\", "owl.wmf", 41943, 36494}, Qt::red},
                               {{70, "ART", "\\BIRDS\\", "dvd.iso", 3000000000, 36494}, Qt::red},
                               {{70, "ART", "\\BIRDS\\", "disk.img", 9999999999999, 36494}, Qt::red}});
    EXPECT_EQ(HitListModel::text(form.hitModel->row(3), HitListModel::Size), "9536743.16mb");
    form.Show();
    const QAbstractItemView* view = form.HitList;  // where the width a column's texts need is public
    for (const int column : {HitListModel::Match, HitListModel::Size, HitListModel::Date})
        EXPECT_LE(view->sizeHintForColumn(column), form.HitList->header()->sectionSize(column)) << column;
}

struct MenuCase {
    const char* name;
    void (SearchForm::*command)();
    QStringList log;
    bool ownedBySearchWindow;
};

class MenuTest : public SearchFormTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuTest, OpensItsWindow)
{
    store("OffLineDrive", "d:");
    SearchForm& form = start();
    Forms::unload("Browser");
    StubForm::log.clear();

    (form.*GetParam().command)();

    QStringList expected = GetParam().log;
    expected.replaceInStrings("<tutorial>", programFolderWithBackslash() + "ViewerTut.htm");
    EXPECT_EQ(StubForm::log, expected);
    const QString window = expected.first().section(' ', 0, 0);
    if (modalOwners.contains(window)) {
        EXPECT_EQ(modalOwners.value(window), GetParam().ownedBySearchWindow ? &form : nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MenuTest,
    ::testing::Values(
        MenuCase{"Browse", &SearchForm::MnuBrowse_Click, {"Browser load", "Browser show"}, false},
        MenuCase{"SelectCD", &SearchForm::MnuSelectCD_Click, {"SelectDrive load", "SelectDrive modal"}, false},
        MenuCase{"AddLocal", &SearchForm::AddLocal_Click, {"LocalLoc load", "LocalLoc show"}, false},
        MenuCase{"Options", &SearchForm::OptionsMenu_Click, {"ListOptions load", "ListOptions modal"}, true},
        MenuCase{"About", &SearchForm::AboutMenu_Click, {"frmSplash load", "frmSplash modal"}, true},
        MenuCase{"Tutorial", &SearchForm::MenuTutorial_Click, {"frmBrowser load at <tutorial>", "frmBrowser show"},
                 false}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(SearchFormTest, MenuCommandsOpenNothingOnceTheProgramIsClosing)
{
    store("OffLineDrive", "d:");
    SearchForm& form = start();
    for (const char* window : {"Browser", "SelectDrive", "LocalLoc", "ListOptions", "frmSplash", "frmBrowser"})
        Forms::unload(window);
    StubForm::log.clear();
    Forms::setClosing(true);

    for (QAction* command : {form.MnuBrowse, form.MnuSelectCD, form.AddLocal, form.OptionsMenu, form.AboutMenu,
                             form.MenuTutorial})
        EXPECT_NO_THROW(command->trigger()) << qPrintable(command->text());
    EXPECT_TRUE(StubForm::log.isEmpty()) << qPrintable(StubForm::log.join(", "));
}

struct ShortcutCase {
    const char* name;
    QKeyCombination key;
    const char* logged;  // nullptr: the window closes
};

void PrintTo(const ShortcutCase& c, std::ostream* os) { *os << c.name; }

class ShortcutTest : public SearchFormTest, public ::testing::WithParamInterface<ShortcutCase> {};

// A key typed into either text box, with the box focused in the active window,
// reaches the menu entry that carries it as its shortcut.
TEST_P(ShortcutTest, MenuShortcutWinsOverTheFocusedTextBox)
{
    store("OffLineDrive", "d:");
    for (const bool inSearchBox : {true, false}) {
        SearchForm& form = start();
        form.Show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QLineEdit* box = inSearchBox ? form.SearchStr : form.DesMatch;
        box->setText("owl");
        box->setFocus();
        box->setCursorPosition(1);
        QSignalSpy unloaded(&form, &FormWindow::unloaded);
        StubForm::log.clear();

        QTest::keyClick(box, GetParam().key.key(), GetParam().key.keyboardModifiers());

        if (GetParam().logged) {
            EXPECT_TRUE(StubForm::log.contains(GetParam().logged)) << StubForm::log.join(", ").toStdString();
            EXPECT_EQ(box->text(), "owl");
            EXPECT_FALSE(box->hasSelectedText());
        } else {
            EXPECT_EQ(unloaded.count(), 1);
        }
        Forms::reset();
        registerStubForms(OpenedWindows);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ShortcutTest,
    ::testing::Values(ShortcutCase{"AddLocal", Qt::CTRL | Qt::Key_A, "LocalLoc show"},
                      ShortcutCase{"Options", Qt::CTRL | Qt::Key_O, "ListOptions modal"},
                      ShortcutCase{"ReScan", Qt::CTRL | Qt::Key_R, "ReScan"},
                      ShortcutCase{"Quit", Qt::CTRL | Qt::Key_Q, nullptr}),
    [](const auto& test) { return std::string(test.param.name); });

// ---- Shutdown ----

TEST_F(SearchFormTest, CloseSavesSettingsAndLocationsAndClosesEveryWindow)
{
    store("OffLineDrive", "d:");
    SearchForm& form = start();
    ListSearch.NickName = "bob";
    ListSearch.LocCount = 2;
    ListSearch.Locations[1] = {"", "Art", "C:\\Art"};
    ListSearch.Locations[2] = {"", "Sounds, old", "C:\\Snd"};
    form.AboutMenu_Click();
    form.AddLocal_Click();
    bool browserReached = true;
    static_cast<StubForm*>(Forms::find("Browser"))->onUnload = [&](bool&) {
        browserReached = Forms::unload("SearchForm");
    };
    form.Show();
    form.setLeft(1500);
    QSignalSpy unloaded(&form, &FormWindow::unloaded);
    StubForm::log.clear();

    ASSERT_TRUE(form.close());

    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_FALSE(browserReached);  // its request to unload the search window is ignored
    EXPECT_EQ(StubForm::log, QStringList({"Browser unload", "frmSplash unload", "LocalLoc unload"}));
    for (const QString& name : OpenedWindows)
        EXPECT_FALSE(Forms::isLoaded(name)) << name.toStdString();
    EXPECT_TRUE(ListSearch.QuitFlag);
    EXPECT_TRUE(ListSearch.StopFlag);
    EXPECT_EQ(stored("NickName"), "bob");
    EXPECT_EQ(stored("LocalFolder"), dataFolder);
    EXPECT_EQ(stored("AutoPreview"), "False");
    EXPECT_EQ(stored("Left"), "1500");
    EXPECT_EQ(env.readFile("data/locations.txt"), TwoLocations);
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

struct FailedStartCase {
    const char* name;
    const char* defaults;  // defaults.txt; nullptr: the usual four lines
    int locations;         // rows in locations.txt
};

void PrintTo(const FailedStartCase& c, std::ostream* os) { *os << c.name; }

class FailedStartTest : public SearchFormTest, public ::testing::WithParamInterface<FailedStartCase> {};

// A start that ends before it has read the settings or the whole location list
// leaves the stored values as they were; what the run changes is still saved.
TEST_P(FailedStartTest, CloseKeepsTheStoredValuesTheLoadNeverRead)
{
    const FailedStartCase& c = GetParam();
    QMap<QString, QString> storedValues = {
        {"LocalFolder", dataFolder}, {"TextFile", "stored.txt"}, {"JoinDate", "3/4/2021 5:06:07 PM"},
        {"NickName", "ann"},         {"OffLineDrive", "d:"},     {"AutoPreview", "True"},
        {"LastBrowsed", "C:\\Old\\"}};
    for (auto it = storedValues.cbegin(); it != storedValues.cend(); ++it)
        store(it.key(), it.value());
    if (c.defaults)
        env.writeFile("program/defaults.txt", c.defaults);
    QByteArray locations;
    for (int i = 1; i <= c.locations; ++i)
        locations += QString("\"L%1\",\"C:\\L%1\"\r\n").arg(i).toLatin1();
    env.writeFile("data/locations.txt", locations);

    SearchForm& form = start();
    ListSearch.LastBrowsed = "C:\\Changed\\";
    ASSERT_TRUE(closeWindow(form));

    storedValues["LastBrowsed"] = "C:\\Changed\\";
    storedValues.remove("Top");  // the placement of the window shown is saved
    for (auto it = storedValues.cbegin(); it != storedValues.cend(); ++it)
        EXPECT_EQ(stored(it.key()).toStdString(), it.value().toStdString()) << it.key().toStdString();
    EXPECT_EQ(env.readFile("data/locations.txt"), locations);
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Starts, FailedStartTest,
    ::testing::Values(FailedStartCase{"ShortDefaults", "C:\\Elsewhere\\\r\nother.txt\r\n", 2},
                      FailedStartCase{"TooManyLocations", nullptr, MaxLocations + 1},
                      FailedStartCase{"CompleteStart", nullptr, 2}),
    [](const auto& test) { return std::string(test.param.name); });

struct BadValueCase {
    const char* name;
    const char* key;
    const char* value;
};

class BadStoredValueTest : public SearchFormTest, public ::testing::WithParamInterface<BadValueCase> {};

// A stored value that cannot be read as its type counts as missing: the start
// goes on with the other settings and the locations, and the close stores a
// value that reads.
TEST_P(BadStoredValueTest, StartGoesOnAndTheCloseStoresAGoodValue)
{
    const BadValueCase& c = GetParam();
    store("NickName", "ann");
    store("OffLineDrive", "d:");
    store("JoinDate", "3/4/2021 5:06:07 PM");
    store(c.key, c.value);
    env.writeFile("data/locations.txt", TwoLocations);

    SearchForm& form = start();

    EXPECT_TRUE(StubForm::log.contains("Browser show"));
    EXPECT_EQ(ListSearch.NickName, "ann");
    EXPECT_EQ(ListSearch.LocCount, 2);
    ASSERT_TRUE(closeWindow(form));
    const QString saved = stored(c.key);
    EXPECT_NE(saved, c.value);
    const QString key = c.key;
    EXPECT_NO_THROW(key == "JoinDate" ? void(runtime::cdate(saved))
                    : key == "AutoPreview" ? void(runtime::cbool(saved))
                                           : void(runtime::csng(saved)));
    EXPECT_EQ(stored("NickName"), "ann");
    EXPECT_EQ(env.readFile("data/locations.txt"), TwoLocations);
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Values, BadStoredValueTest,
                         ::testing::Values(BadValueCase{"Date", "JoinDate", "31/31/2008"},
                                           BadValueCase{"Boolean", "AutoPreview", "maybe"},
                                           BadValueCase{"Number", "Top", "abc"},
                                           BadValueCase{"Placement", "Left", "far"}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(SearchFormTest, CloseWhileMinimisedKeepsTheStoredPlacement)
{
    store("OffLineDrive", "d:");
    store("Left", "1200");
    SearchForm& form = start();
    form.Show();
    form.setLeft(4500);
    form.showMinimized();
    ASSERT_TRUE(form.isMinimized());
    ListSearch.NickName = "bob";

    ASSERT_TRUE(form.close());

    EXPECT_EQ(stored("Left"), "1200");
    EXPECT_EQ(stored("NickName"), "bob");
}

TEST_F(SearchFormTest, MissingDataFolderAtCloseCostsOnlyTheLocationList)
{
    store("OffLineDrive", "d:");
    SearchForm& form = start();
    ListSearch.LocalFolder = env.windowsPath("gone") + "\\";

    ASSERT_TRUE(closeWindow(form));

    ASSERT_EQ(env.dialogs().prompts().size(), 1);
    EXPECT_TRUE(env.dialogs().prompts().first().startsWith(
        "Could not save the search locations in " + ListSearch.LocalFolder + "locations.txt"));
    EXPECT_EQ(stored("LocalFolder"), ListSearch.LocalFolder);
    EXPECT_FALSE(Forms::isLoaded("Browser"));
}

TEST_F(SearchFormTest, QuitMenuClosesTheProgramAndNoWindowComesBackAfterwards)
{
    store("OffLineDrive", "d:");
    SearchForm& form = start();
    QSignalSpy unloaded(&form, &FormWindow::unloaded);

    form.MenuQuit_Click();

    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_TRUE(ListSearch.QuitFlag);
    EXPECT_FALSE(Forms::isLoaded("Browser"));
    EXPECT_THROW(Forms::get("Browser"), runtime::RuntimeError);
}

}  // namespace
