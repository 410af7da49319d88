// A real disk's worth of awkward names, end to end: a tree holding names in
// Latin-1 bytes, names with the characters Windows forbids, a Greek folder
// and two folders linked to each other, under a location whose description
// starts with a dot, goes through the rescan, the search and the hit actions
// without one message box.

#include "platform/Forms.h"
#include "platform/HostNames.h"
#include "platform/Shell.h"
#include "search/HitListModel.h"
#include "search/ImgPre.h"
#include "search/ListSearch.h"
#include "search/Rescan.h"
#include "search/SearchForm.h"
#include "search/ShowImagePreview.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <gtest/gtest.h>

using platform::Forms;

namespace {

struct DiskFile {
    const char* word;     // what the user searches for
    QByteArray hostPath;  // the bytes on disk, below the location's folder
    const char* folder;   // the hit's folder as the listing gives it (UTF-8 here)
};

const DiskFile Files[] = {
    {"lat\xC3\xA9in1", "lat\xE9in1.gif", "\\Pics\\"},
    {"sunset", "Photos \xE9t\xE9/sunset.gif", "\\Pics\\Photos \xC3\xA9t\xC3\xA9\\"},
    {"owl", "amp & <lt> \"q\" #hash/owl|star?.gif", "\\Pics\\amp & <lt> \"q\" #hash\\"},
    {"omega", "\xCE\xA9mega/omega.gif", "\\Pics\\?mega\\"},
    {"bee", "b/bee.gif", "\\Pics\\b\\"},
};

TEST(RealDiskTest, AwkwardNamesGoThroughRescanSearchAndHitActions)
{
    TestEnvironment env;
    ListSearch = ListSearchModule{};
    env.mapDrive(u'e', "disk");
    QFile gif(QStringLiteral(BRISCA_TEST_DATA_DIR "/gif/go-triangle-001.gif"));
    ASSERT_TRUE(gif.open(QIODevice::ReadOnly));
    const QByteArray picture = gif.readAll();
    for (const DiskFile& file : Files)
        env.writeFile("disk/Pics/" + platform::hostText(file.hostPath), picture);
    QDir().mkpath(env.hostPath("disk/Pics/a"));
    ASSERT_TRUE(QFile::link("../b", env.hostPath("disk/Pics/a/to_b")));
    ASSERT_TRUE(QFile::link("../a", env.hostPath("disk/Pics/b/to_a")));

    env.writeFile("data/main.txt", "");
    Forms::registerForm("SearchForm", [&env] { return new SearchForm(env.hostPath("data/main.txt")); });
    Forms::registerForm(ImgPreFormName, [] { return new ImgPre; });
    auto& form = Forms::get<SearchForm>("SearchForm");
    ListSearch.LocalFolder = env.windowsPath("data") + "\\";
    ListSearch.TextFile = "main.txt";
    ListSearch.LocCount = 1;
    ListSearch.Locations[1] = {QString(), ".NET icons", "e:\\Pics"};

    RescanLocations(form);
    EXPECT_FALSE(ListSearch.RescanBusy);
    EXPECT_EQ(env.readFile("data/.NET icons.txt").count("Directory: "), 6);  // Pics, a, b and three named folders

    for (const DiskFile& file : Files) {
        SCOPED_TRACE(file.word);
        form.SearchStr->setText(QString::fromUtf8(file.word));
        form.DesMatch->setText("70");
        form.Find->click();
        ASSERT_EQ(form.hitModel->rowCount(), 1);
        EXPECT_EQ(HitListModel::text(form.hitModel->row(0), HitListModel::Folder), QString::fromUtf8(file.folder));
        form.HitList->setCurrentIndex(form.hitModel->index(0, 0));

        env.shell().calls.clear();
        form.CtLaunch_Click();
        ASSERT_EQ(env.shell().calls.size(), 1u);
        const QString opened = env.shell().calls[0].file;
        EXPECT_EQ(platform::hostBytes(env.fs().hostPath(opened)),
                  platform::hostBytes(env.hostPath("disk/Pics/")) + file.hostPath);

        form.ShowPreview_Click();
        platform::FormWindow* preview = Forms::find(ImgPreFormName);
        ASSERT_NE(preview, nullptr);
        EXPECT_TRUE(preview->isVisible());
        EXPECT_EQ(preview->windowTitle(), "Brisca Image Preview: " + opened.mid(opened.lastIndexOf(u'\\') + 1));
    }
    EXPECT_EQ(env.dialogs().prompts(), QStringList());
    Forms::reset();
    ListSearch = ListSearchModule{};
}

}  // namespace
