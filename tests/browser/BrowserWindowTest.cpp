// The browser window: its load, layout, folder-change rules, menus and close.

#include "BrowserSupport.h"

#include "browser/BrowserLayout.h"
#include "browser/Disp.h"
#include "platform/CurrentFolder.h"
#include "platform/DriveListBox.h"
#include "platform/FileListBox.h"
#include "platform/HostNames.h"
#include "platform/Pump.h"
#include "runtime/Numbers.h"
#include "support/EvenCaptions.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTest>

using platform::Forms;

namespace {

const QString NoCdMessage = QStringLiteral(
    "There is no CD in your selected CD Drive.\r\n\r\n"
    "Make sure that the correct CD is in the drive when opening the image browser.\r\n\r\n"
    "If you want to select a diferent drive letter for files on CD"
    " pick a Select CD Drive on the File menu of the search window.");

struct LoadCase {
    const char* name;
    const char* offLineDrive;
    const char* lastBrowsed;     // "" for none
    bool autoPreview;
    const char* storedLeft;      // "" for none
    const char* message;         // "" for none
    const char* folder;          // the folder shown afterwards; "" for the current folder
    bool boxTicked;
    bool placementApplied;
};

class BrowserLoadTest : public BrowserTestBase, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(BrowserLoadTest, FollowsTheLoadOrderAndItsErrorTable)
{
    const LoadCase& c = GetParam();
    env.mapDrive(u'd', QStringLiteral("cd"), platform::DriveTable::Kind::CdRom);  // no disc: empty
    QDir().mkpath(env.hostPath(QStringLiteral("e/Art/Clips")));
    ListSearch.OffLineDrive = QString::fromLatin1(c.offLineDrive);
    ListSearch.LastBrowsed = QString::fromLatin1(c.lastBrowsed);
    ListSearch.AutoPreview = c.autoPreview;
    saveSetting(QStringLiteral("BTop"), QStringLiteral("300"));
    if (*c.storedLeft)
        saveSetting(QStringLiteral("BLeft"), QString::fromLatin1(c.storedLeft));
    saveSetting(QStringLiteral("BWidth"), QStringLiteral("9750"));
    saveSetting(QStringLiteral("BHeight"), QStringLiteral("7200"));

    Browser& form = browser();

    const QString message = QString::fromLatin1(c.message) == u"no CD" ? NoCdMessage : QString::fromLatin1(c.message);
    EXPECT_EQ(env.dialogs().prompts(), message.isEmpty() ? QStringList{} : QStringList{message})
        << c.name;
    const QString current = platform::currentFolderOf(platform::currentDriveLetter());
    EXPECT_EQ(form.Dir1->Path(), *c.folder ? QString::fromLatin1(c.folder) : current) << c.name;
    EXPECT_EQ(form.AutoPrev->isChecked(), c.boxTicked) << c.name;
    EXPECT_EQ(ListSearch.AutoPreview, c.autoPreview) << c.name;
    EXPECT_EQ(form.Top() == 300, c.placementApplied) << c.name;
    EXPECT_EQ(form.Height() == 7200, c.placementApplied) << c.name;
    // The fixed width is back before the window is shown: resized while the
    // window manager maps it, a window loses its place.
    EXPECT_FALSE(form.isVisible()) << c.name;
    EXPECT_EQ(form.Width() == BrowserWidth, c.placementApplied) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrowserLoadTest,
    ::testing::Values(
        LoadCase{"first start", "", "", false, "", "", "", false, true},
        LoadCase{"last folder restored", "", "e:\\art\\clips", true, "", "", "E:\\Art\\Clips", true, true},
        LoadCase{"another drive replaces the last folder", "e:", "e:\\art", true, "", "", "E:\\", true, true},
        LoadCase{"first start on another drive", "e:", "", false, "", "", "E:\\", false, true},
        LoadCase{"missing last folder", "", "e:\\gone", true, "", "", "", false, false},
        LoadCase{"CD drive without a disc", "d:", "e:\\art", true, "", "no CD", "", false,
                 false},
        LoadCase{"stored left is no number", "", "", false, "abc", "", "", false, true}),
    [](const ::testing::TestParamInfo<LoadCase>& row) {
        QString name = QString::fromLatin1(row.param.name);
        name.replace(u' ', u'_');
        return name.toStdString();
    });

TEST(BrowserLayoutTest, GridFollowsItsRowsUpToTheBottomMargin)
{
    struct Case {
        int rows;
        double clientHeight;
        double gridHeight;
    };
    for (const Case& c : {Case{3, 9000, 7860}, Case{3, 8240, 7860}, Case{3, 8239, 7859}, Case{3, 5655, 5275},
                          Case{4, 9000, 8620}, Case{10, 9000, 8620}}) {
        EXPECT_EQ(previewGridHeight(ThumbnailRowHeight, c.rows, c.clientHeight), c.gridHeight)
            << c.rows << " rows in " << c.clientHeight;
    }
}

class BrowserWindowTest : public BrowserTestBase {};

TEST_F(BrowserWindowTest, ResizeKeepsTheWidthAndSizesTheGridAndHint)
{
    Browser& form = browser();
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.setHeight(12000);
    QTRY_COMPARE(form.Width(), BrowserWidth);
    EXPECT_EQ(platform::pixelsToTwips(form.Preview->height()), 7860);
    form.setWidth(15000);
    form.setHeight(4500);
    QTRY_COMPARE(form.Width(), BrowserWidth);
    const double client = form.ScaleHeight();
    EXPECT_NEAR(platform::pixelsToTwips(form.Preview->height()), client - 380, 15);
    EXPECT_NEAR(platform::pixelsToTwips(form.InfoLbl->y() - form.contentsRect().top()), client - 250, 15);
}

struct FolderChangeCase {
    const char* name;
    bool autoPrev;
    bool busy;
    bool catMode;
    bool quit;
    bool stop;
    bool restart;
    bool unloaded;
};

class FolderChangeTest : public BrowserTestBase, public ::testing::WithParamInterface<FolderChangeCase> {};

TEST_P(FolderChangeTest, StopsRestartsOrClosesAsTheFlagsSay)
{
    const FolderChangeCase& c = GetParam();
    QDir().mkpath(env.hostPath(QStringLiteral("e/Sub")));
    Browser& form = browser();
    QPointer<Browser> alive(&form);
    form.AutoPrev->setChecked(c.autoPrev);
    ListSearch.PreviewBusy = c.busy;
    ListSearch.CatMode = c.catMode;
    ListSearch.QuitFlag = c.quit;

    form.Dir1->setPath(QStringLiteral("e:\\sub"));

    EXPECT_EQ(ListSearch.LastBrowsed, QStringLiteral("E:\\Sub"));
    EXPECT_EQ(ListSearch.PreviewStop, c.stop);
    EXPECT_EQ(ListSearch.PreviewRestart, c.restart);
    EXPECT_EQ(!alive || alive->isUnloaded(), c.unloaded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderChangeTest,
    ::testing::Values(FolderChangeCase{"auto preview during a run", true, true, false, false, true, true, false},
                      FolderChangeCase{"no auto preview during a run", false, true, false, false, true, false, false},
                      FolderChangeCase{"catalogue build during a run", true, true, true, false, true, false, false},
                      FolderChangeCase{"idle without auto preview", false, false, false, false, false, false, false},
                      FolderChangeCase{"auto preview while quitting", true, false, false, true, false, false, true}),
    [](const ::testing::TestParamInfo<FolderChangeCase>& row) {
        QString name = QString::fromLatin1(row.param.name);
        name.replace(u' ', u'_');
        return name.toStdString();
    });

TEST_F(BrowserWindowTest, ListsFollowTheDriveAndFolderWithEveryNameTheFolderHolds)
{
    for (const char* name : {"b.gif", "A.jpg", "a<b>.jpg", "what?.jpg", "say \"hi\".jpg", "c.txt"})
        env.writeFile(QStringLiteral("e/Pics/") + QString::fromUtf8(name), "x");
    env.writeFile(QStringLiteral("e/Pics/") + platform::hostText("Photos \xE9t\xE9/p.gif"), "x");  // Latin-1 bytes
    Browser& form = browser();

    form.Drive1->setCurrentIndex(form.Drive1->findText(QStringLiteral("e: [E]")));
    letQueuedCallsRun();
    EXPECT_EQ(form.Dir1->Path(), QStringLiteral("E:\\"));
    form.Dir1->setPath(QStringLiteral("E:\\pics"));
    EXPECT_EQ(form.File1->names(), QStringList({"A.jpg", "a<b>.jpg", "b.gif", "c.txt", "say \"hi\".jpg", "what?.jpg"}));
    QStringList entries;
    for (int i = 0; i < form.Dir1->count(); ++i)
        entries << form.Dir1->item(i)->text();
    EXPECT_EQ(entries, QStringList({"E:\\", "  Pics", "    Photos \u00e9t\u00e9"}));

    // Enter on a folder opens it; the folder list then shows it.
    form.Dir1->setCurrentRow(2);
    QTest::keyClick(form.Dir1, Qt::Key_Return);
    letQueuedCallsRun();
    EXPECT_EQ(form.Dir1->Path(), QStringLiteral("E:\\Pics\\Photos \u00e9t\u00e9"));
    EXPECT_EQ(ListSearch.LastBrowsed, QStringLiteral("E:\\Pics\\Photos \u00e9t\u00e9"));
    EXPECT_EQ(form.File1->names(), QStringList{"p.gif"});
}

TEST_F(BrowserWindowTest, DriveWithoutADiscKeepsTheFolderAndItsDriveWithAMessage)
{
    env.mapDrive(u'd', QStringLiteral("cd"), platform::DriveTable::Kind::CdRom);
    Browser& form = browser();
    const QString before = form.Dir1->Path();
    form.Drive1->setCurrentIndex(form.Drive1->findText(QStringLiteral("d:"), Qt::MatchStartsWith));
    letQueuedCallsRun();
    EXPECT_EQ(form.Dir1->Path(), before);
    EXPECT_EQ(env.dialogs().prompts(),
              QStringList{"There is no disk in the selected Drive.\r\n\r\nMake sure that the correct disk is in the drive."});
    // The drive list goes back to the drive the folders are on, quietly.
    EXPECT_EQ(form.Drive1->Drive().front().toLower(), before.front().toLower());
    letQueuedCallsRun();
    EXPECT_EQ(env.dialogs().prompts().size(), 1);
}

TEST_F(BrowserWindowTest, EveryControlTheUserTypesIntoOrPicksFromIsNamed)
{
    Browser& form = browser();
    for (QWidget* control : form.findChildren<QWidget*>()) {
        if (!qobject_cast<QAbstractItemView*>(control) && !qobject_cast<QComboBox*>(control))
            continue;
        if (!control->isVisibleTo(&form) || control->x() < 0 || control->parentWidget() != &form)
            continue;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className();
    }
    EXPECT_EQ(form.Label1[0]->buddy(), form.Drive1);
    EXPECT_EQ(form.Label1[2]->buddy(), form.File1);
    QList<QWidget*> chain;
    for (QWidget* next = form.Drive1; chain.size() < 6; next = next->nextInFocusChain()) {
        if (next->focusPolicy() & Qt::TabFocus && next->isVisibleTo(&form) && next->x() >= 0)
            chain << next;
    }
    EXPECT_EQ(chain, (QList<QWidget*>{form.Drive1, form.Dir1, form.Command1, form.AutoPrev, form.File1, form.Preview}));
    expectEvenCaptionsThatFit(form);
}

TEST_F(BrowserWindowTest, MenusKeepTheirHiddenEntriesHidden)
{
    Browser& form = browser();
    QStringList shown;
    for (QAction* action : form.FileMnu->actions())
        shown << action->text() + (action->isVisible() ? "" : " (hidden)");
    EXPECT_EQ(shown, QStringList({"&Select Default Drive", "Enable compatable file naming (hidden)",
                                  "&Create Catalogue (hidden)", "Create &Distribution Folder (hidden)", "&Quit"}));
    EXPECT_FALSE(form.TutorialMnu->isVisible());
    EXPECT_TRUE(form.AboutMnu->isVisible());
}

TEST_F(BrowserWindowTest, ClosingStoresThePlacementUnlessTheSearchWindowIsMinimisedAndEndsTheProgram)
{
    for (bool searchMinimised : {false, true}) {
        StubForm::log.clear();
        Forms::get(QStringLiteral("SearchForm")).Show();
        if (searchMinimised)
            Forms::get(QStringLiteral("SearchForm")).showMinimized();
        env.settings().save(SettingsApp, SettingsSection, QStringLiteral("BWidth"), QStringLiteral("1"));
        Browser& form = browser();
        form.Show();
        form.close();
        EXPECT_TRUE(ListSearch.StopFlag && ListSearch.QuitFlag);
        EXPECT_TRUE(StubForm::log.contains("SearchForm unload"));
        const QString width = env.settings().get(SettingsApp, SettingsSection, QStringLiteral("BWidth"), {});
        EXPECT_EQ(width == u"1", searchMinimised) << width.toStdString();
        Forms::reset();
        SetUp();
    }
}

TEST_F(BrowserWindowTest, QuitUnloadsTheOtherWindowsThenTheBrowser)
{
    Forms::get(QStringLiteral("Disp"));
    Forms::get(QStringLiteral("DistribSettings"));
    Browser& form = browser();
    QPointer<Browser> alive(&form);
    StubForm::log.clear();
    form.QuitMnu->trigger();
    letQueuedCallsRun();
    EXPECT_TRUE(ListSearch.QuitFlag);
    EXPECT_FALSE(Forms::isLoaded(DispFormName));
    EXPECT_EQ(StubForm::log, QStringList({"DistribSettings unload"}));
    EXPECT_TRUE(!alive || alive->isUnloaded());
}

}  // namespace

namespace {

TEST_F(BrowserWindowTest, BatchWindowShowsItsProgressAndAbortAsksToStop)
{
    showBatchProgress(QStringLiteral("Distribution Progress"), QStringLiteral("Starting Folder...Flags"));
    showBatchProgress(QString(), QStringLiteral("Loading a.bmp"));
    auto* batch = static_cast<Disp*>(Forms::find(DispFormName));
    ASSERT_NE(batch, nullptr);
    EXPECT_TRUE(batch->isVisible());
    EXPECT_EQ(batch->windowTitle(), QStringLiteral("Distribution Progress"));
    EXPECT_EQ(batch->MSG->text(), QStringLiteral("Loading a.bmp"));
    EXPECT_FALSE(ListSearch.StopFlag);
    QTest::mouseClick(batch->Abort, Qt::LeftButton);
    EXPECT_TRUE(ListSearch.StopFlag);
    EXPECT_TRUE(batch->isVisible());
}

}  // namespace

namespace {

TEST_F(BrowserWindowTest, AMinimisedBrowserStoresItsLastNormalPlacement)
{
    Forms::get(QStringLiteral("SearchForm")).Show();
    Browser& form = browser();
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.setHeight(7500);
    QTRY_COMPARE(form.Height(), 7500.0);
    form.showMinimized();
    QTRY_VERIFY(form.isMinimized());
    form.close();
    EXPECT_EQ(env.settings().get(SettingsApp, SettingsSection, QStringLiteral("BHeight"), {}), QStringLiteral("7500"));
    EXPECT_EQ(env.settings().get(SettingsApp, SettingsSection, QStringLiteral("BWidth"), {}), QStringLiteral("9720"));
}

}  // namespace
