// A real disk's worth of awkward names, end to end: a tree holding names in
// Latin-1 bytes, names with the characters Windows forbids and two folders
// linked to each other, under a location whose description starts with a dot,
// and two locations named and filled in Greek, Cyrillic and Chinese, go
// through the rescan, the search and the hit actions without one message box.

#include "platform/Forms.h"
#include "platform/HostNames.h"
#include "platform/Shell.h"
#include "runtime/AnsiText.h"
#include "search/HitListModel.h"
#include "search/ImgPre.h"
#include "search/ListSearch.h"
#include "search/Rescan.h"
#include "search/SearchForm.h"
#include "search/ShowImagePreview.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <gtest/gtest.h>

using platform::Forms;

namespace {

struct DiskFile {
    const char* word;     // what the user searches for, in UTF-8
    QByteArray hostPath;  // the bytes on disk, below the mapped drive
    const char* folder;   // the hit's folder as the listing gives it (UTF-8 here)
};

const DiskFile Files[] = {
    {"lat\xC3\xA9in1", "Pics/lat\xE9in1.gif", "\\Pics\\"},
    {"sunset", "Pics/Photos \xE9t\xE9/sunset.gif", "\\Pics\\Photos \xC3\xA9t\xC3\xA9\\"},
    {"owl", "Pics/amp & <lt> \"q\" #hash/owl|star?.gif", "\\Pics\\amp & <lt> \"q\" #hash\\"},
    {"bee", "Pics/b/bee.gif", "\\Pics\\b\\"},
    // Greek and Cyrillic have letter case, Chinese has none.
    {"omega", "\xCE\x95\xCE\xB9\xCE\xBA\xCF\x8C\xCE\xBD\xCE\xB5\xCF\x82/\xCE\xA9mega/omega.gif",
     "\\\xCE\x95\xCE\xB9\xCE\xBA\xCF\x8C\xCE\xBD\xCE\xB5\xCF\x82\\\xCE\xA9mega\\"},
    {"\xCE\xB8\xCE\xAC\xCE\xBB\xCE\xB1\xCF\x83\xCF\x83\xCE\xB1",
     "\xCE\x95\xCE\xB9\xCE\xBA\xCF\x8C\xCE\xBD\xCE\xB5\xCF\x82/\xCE\x98\xCE\xAC\xCE\xBB\xCE\xB1\xCF\x83\xCF\x83\xCE\xB1_markerg.gif",
     "\\\xCE\x95\xCE\xB9\xCE\xBA\xCF\x8C\xCE\xBD\xCE\xB5\xCF\x82\\"},
    {"\xD0\xBC\xD0\xBE\xD1\x80\xD0\xB5", "\xE5\x9B\xBE\xE7\x89\x87/\xD0\x9A\xD0\xB0\xD1\x80\xD1\x82\xD0\xB8\xD0\xBD\xD0\xBA\xD0\xB8/\xD0\x9C\xD0\xBE\xD1\x80\xD0\xB5.gif",
     "\\\xE5\x9B\xBE\xE7\x89\x87\\\xD0\x9A\xD0\xB0\xD1\x80\xD1\x82\xD0\xB8\xD0\xBD\xD0\xBA\xD0\xB8\\"},
    {"\xE6\xB5\xB7\xE6\xBB\xA9", "\xE5\x9B\xBE\xE7\x89\x87/\xE6\xB5\xB7\xE6\xBB\xA9 2008.gif", "\\\xE5\x9B\xBE\xE7\x89\x87\\"},
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
        env.writeFile("disk/" + platform::hostText(file.hostPath), picture);
    QDir().mkpath(env.hostPath("disk/Pics/a"));
    ASSERT_TRUE(QFile::link("../b", env.hostPath("disk/Pics/a/to_b")));
    ASSERT_TRUE(QFile::link("../a", env.hostPath("disk/Pics/b/to_a")));

    env.writeFile("data/main.txt", "");
    Forms::registerForm("SearchForm", [&env] { return new SearchForm(env.hostPath("data/main.txt")); });
    Forms::registerForm(ImgPreFormName, [] { return new ImgPre; });
    auto& form = Forms::get<SearchForm>("SearchForm");
    ListSearch.LocalFolder = env.windowsPath("data") + "\\";
    ListSearch.TextFile = "main.txt";
    const QString greek = QString::fromUtf8("\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC");
    const QString chinese = QString::fromUtf8("\xE4\xB8\xAD\xE6\x96\x87");
    ListSearch.LocCount = 3;
    ListSearch.Locations[1] = {QString(), ".NET icons", "e:\\Pics"};
    ListSearch.Locations[2] = {QString(), greek, "e:\\" + QString::fromUtf8("\xCE\x95\xCE\xB9\xCE\xBA\xCF\x8C\xCE\xBD\xCE\xB5\xCF\x82")};
    ListSearch.Locations[3] = {QString(), chinese, "e:\\" + QString::fromUtf8("\xE5\x9B\xBE\xE7\x89\x87")};

    RescanLocations(form);
    EXPECT_FALSE(ListSearch.RescanBusy);
    // Latin names keep the code page; the others are written in UTF-8.
    const QByteArray latin = env.readFile("data/.NET icons.txt");
    EXPECT_EQ(latin.count("Directory: "), 5);  // Pics, a, b and two named folders
    EXPECT_TRUE(latin.contains("Photos \xE9t\xE9"));
    const QByteArray bom(runtime::Utf8ByteOrderMark.data(), runtime::Utf8ByteOrderMark.size());
    for (const QString& description : {greek, chinese}) {
        const QByteArray listing = env.readFile("data/" + description + ".txt");
        EXPECT_TRUE(listing.startsWith(bom + "\r\nVolume:    " + description.toUtf8() + "\r\n"));
    }

    for (const DiskFile& file : Files) {
        for (const QString& typed : {QString::fromUtf8(file.word), QString::fromUtf8(file.word).toUpper()}) {
            SCOPED_TRACE(typed.toStdString());
            form.SearchStr->setText(typed);
            form.DesMatch->setText("70");
            form.Find->click();
            ASSERT_EQ(form.hitModel->rowCount(), 1);
            EXPECT_EQ(HitListModel::text(form.hitModel->row(0), HitListModel::Folder), QString::fromUtf8(file.folder));
        }
        form.HitList->setCurrentIndex(form.hitModel->index(0, 0));

        env.shell().calls.clear();
        form.CtLaunch_Click();
        ASSERT_EQ(env.shell().calls.size(), 1u);
        const QString opened = env.shell().calls[0].file;
        EXPECT_EQ(HitListModel::text(form.hitModel->row(0), HitListModel::Name),
                  opened.mid(opened.lastIndexOf(u'\\') + 1));
        EXPECT_EQ(platform::hostBytes(env.fs().hostPath(opened)),
                  platform::hostBytes(env.hostPath("disk/")) + file.hostPath);

        env.shell().calls.clear();
        form.CTOpFolder_Click();
        ASSERT_EQ(env.shell().calls.size(), 1u);
        EXPECT_EQ(env.shell().calls[0].file, opened.left(opened.lastIndexOf(u'\\') + 1));

        form.HitList_MouseUp(2, 0, 0, 0);
        EXPECT_TRUE(form.ItemMenu->isVisible());
        EXPECT_TRUE(form.ShowPreview->isVisible());
        form.ItemMenu->close();

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
