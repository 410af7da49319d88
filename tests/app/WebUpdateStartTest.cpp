// A new user's first web update: the program starts on its demo archive with
// the update server of defaults.txt on 127.0.0.1, the server's newer archive
// is offered, downloaded and unpacked, and the next search finds what only the
// new listing holds.

#include "app/ProgramHooks.h"
#include "exchange/Progress.h"
#include "platform/Forms.h"
#include "platform/ZipControl.h"
#include "search/FormStubs.h"
#include "search/HitListModel.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "support/HttpTestServer.h"
#include "support/TestEnvironment.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using platform::Forms;

namespace {

TEST(WebUpdateStartTest, NewerArchiveFromTheServerIsFoundByTheNextSearch)
{
    TestEnvironment env;
    HttpTestServer server;
    ListSearch = ListSearchModule{};
    registerStubForms(OpenedWindows);
    Forms::registerForm("Progress", [] { return new Progress; });
    Forms::registerForm("SearchForm", [] { return new SearchForm({}, searchHooks()); });
    env.settings().save(SettingsApp, SettingsSection, "OffLineDrive", "d:");
    env.writeFile("program/defaults.txt", ("\r\nBrisca.txt\r\nBrisca.zip\r\n" + server.host() + "\r\n").toLatin1());

    env.writeFile("stage/Brisca.txt", "\r\nVolume:    KESTREL CLIPART 9\r\nDirectory: \\ANIMALS\\BIRDS\\\r\n\r\n"
                                      "---------------\r\n"
                                      "zebrafinch_song.wav                                                        "
                                      "   46,445 bytes 3/13/2026 8:03:04 PM\r\n");
    env.writeFile("stage/readme.txt", "new");
    platform::ZipControl packer;
    packer.ArchiveFolder = env.windowsPath("stage");
    packer.ArchiveName = env.windowsPath("new.zip");
    packer.OverwriteFiles = true;
    ASSERT_EQ(packer.PackFiles(), 0);
    server.setReply(HttpTestServer::fileReply(env.readFile("new.zip"), QDateTime::currentDateTimeUtc().addDays(1)));

    SearchForm& form = Forms::get<SearchForm>("SearchForm");
    form.SearchStr->setText("zebrafinch");
    form.Find->click();
    EXPECT_EQ(form.hitModel->rowCount(), 0);

    form.WebUpdate->click();  // the question is answered Yes

    ASSERT_EQ(env.dialogs().prompts().size(), 1);
    EXPECT_TRUE(env.dialogs().prompts()[0].startsWith("An updated data file is avaliable at http://" + server.host()));
    EXPECT_EQ(env.readFile("program/Brisca.zip"), env.readFile("new.zip"));
    form.Find->click();
    ASSERT_EQ(form.hitModel->rowCount(), 1);
    EXPECT_EQ(form.hitModel->row(0).name, "zebrafinch_song.wav");
    EXPECT_TRUE(form.WebUpdate->isEnabled());

    Forms::reset();
    ListSearch = ListSearchModule{};
}

}  // namespace
