// Closing the program while a rescan still runs: the search window hides at
// once and the send-queue timer closes everything once the rescan has ended.

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

}  // namespace
