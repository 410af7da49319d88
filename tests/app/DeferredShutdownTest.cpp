// Closing the program while a rescan still runs: the search window hides at
// once, the send-queue timer closes everything once the rescan has ended, and
// the location being walked keeps its files as they were.

#include "app/ProgramHooks.h"
#include "platform/Forms.h"
#include "search/FormStubs.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

using platform::FormWindow;
using platform::Forms;

namespace {

class DeferredShutdownTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        registerStubForms(OpenedWindows);
        // No demo archive in the data folder: the start has nothing to unpack.
        QFile::remove(env.hostPath("program/Brisca.zip"));
        env.settings().save(SettingsApp, SettingsSection, "OffLineDrive", "d:");
        Forms::registerForm("SearchForm", [] { return new SearchForm({}, searchHooks()); });
    }
    void TearDown() override
    {
        Forms::reset();
        ListSearch = ListSearchModule{};
    }

    TestEnvironment env;
};

TEST_F(DeferredShutdownTest, ClosingDuringARescanEndsOnceTheRescanHasEnded)
{
    SearchForm& form = Forms::get<SearchForm>("SearchForm");
    form.AboutMenu_Click();
    form.AddLocal_Click();
    form.Show();
    ListSearch.NickName = "ann";
    ListSearch.RescanBusy = true;
    QSignalSpy unloaded(&form, &FormWindow::unloaded);
    StubForm::log.clear();

    EXPECT_FALSE(form.close());

    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(Forms::isLoaded("SearchForm"));
    EXPECT_TRUE(ListSearch.RescanStop);
    EXPECT_TRUE(form.SndQTime->isActive());
    EXPECT_EQ(StubForm::log, QStringList({"Browser unload"}));
    EXPECT_EQ(env.settings().get(SettingsApp, SettingsSection, "NickName"), "ann");

    // While the rescan runs, ticks wait and other requests to close are ignored.
    form.SndQTime_Timer();
    EXPECT_FALSE(Forms::unload("SearchForm"));
    EXPECT_TRUE(Forms::isLoaded("SearchForm"));
    EXPECT_TRUE(Forms::isLoaded("frmSplash"));

    ListSearch.NickName = "changed after the save";
    ListSearch.RescanBusy = false;
    ASSERT_TRUE(unloaded.wait(5000));

    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_EQ(StubForm::log, QStringList({"Browser unload", "frmSplash unload", "LocalLoc unload"}));
    for (const QString& name : OpenedWindows)
        EXPECT_FALSE(Forms::isLoaded(name)) << name.toStdString();
    EXPECT_EQ(env.settings().get(SettingsApp, SettingsSection, "NickName"), "ann");
}

TEST_F(DeferredShutdownTest, WithoutARescanTheCloseCompletesAtOnce)
{
    SearchForm& form = Forms::get<SearchForm>("SearchForm");
    QSignalSpy unloaded(&form, &FormWindow::unloaded);
    EXPECT_TRUE(Forms::unload("SearchForm"));
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_FALSE(Forms::isLoaded("Browser"));
}

// Quitting while the rescan walks a large location: the walk is cut short,
// and the location keeps the listing and archive it had, byte for byte.
TEST_F(DeferredShutdownTest, QuitDuringARescanKeepsTheLocationsFilesWhole)
{
    env.mapDrive(u'e', "pictures");
    for (int i = 0; i < 300; ++i)
        env.writeFile(QString("pictures/Big/%1/clip.gif").arg(i), "gif");
    env.writeFile("data/Big.txt", "old listing");
    env.writeFile("data/Big.zip", "old archive");
    SearchForm& form = Forms::get<SearchForm>("SearchForm");
    form.Show();
    ListSearch.LocalFolder = env.windowsPath("data") + u'\\';
    ListSearch.LocCount = 1;
    ListSearch.Locations[1] = {QString(), "Big", "E:\\Big"};
    QSignalSpy unloaded(&form, &FormWindow::unloaded);
    QTimer::singleShot(0, &form, [&form] { form.MenuQuit_Click(); });  // at the walk's first pump

    form.ReScan_Click();

    EXPECT_EQ(env.readFile("data/Big.txt"), "old listing");
    EXPECT_EQ(env.readFile("data/Big.zip"), "old archive");
    EXPECT_FALSE(QFile::exists(env.hostPath("data/Big.tmp")));
    ASSERT_TRUE(unloaded.wait(5000));
}

}  // namespace
