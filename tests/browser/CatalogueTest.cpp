// Catalogue builds of real folder trees on a mapped drive: the pages compared
// byte for byte, the thumbnail files, the walk over the tree, the stop and the
// errors, and the faults the builder guards against (thumbnails made again on
// every build, links broken by "#" or "%", trees that lead back into
// themselves, names a drive path cannot carry).

#include "CatalogueFixture.h"

#include <QImageReader>

namespace {

const QString Break = "</tr><tr>";
const QString TableEnd = "</tr></table><table align=center>";
const QString PageEnd = "</body></html>";

struct PageCase {
    const char* name;
    QStringList pictures;  // in the tree
    QStringList folders;   // empty folders in the tree
    QString catalogued;    // the folder built, below e:\ (empty for the drive root)
    QString page;          // the page checked, below the tree
    QStringList lines;
};

void PrintTo(const PageCase& c, std::ostream* out) { *out << c.name; }

class PageTest : public CatalogueFixture, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PageTest, WritesThePageByteForByte)
{
    const PageCase& c = GetParam();
    for (const QString& name : c.pictures)
        picture(name);
    for (const QString& name : c.folders)
        folder(name);
    build(c.catalogued);
    EXPECT_EQ(page(c.page), pageLines(c.lines));
    EXPECT_TRUE(env.dialogs().prompts().isEmpty()) << env.dialogs().prompts().join("\n").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, PageTest,
    ::testing::Values(
        PageCase{"two pictures",
                 {"Flags/Lion.bmp", "Flags/Rose.gif"}, {}, "Flags", "Flags/Cat/Flags.htm",
                 headOf("Flags") + QStringList{thumbLine("Images/Flags/Lion.jpg"), thumbLine("Images/Flags/Rose.jpg"),
                                               Break, linkLine("../Lion.bmp", "Lion"), linkLine("../Rose.gif", "Rose"),
                                               TableEnd, PageEnd}},
        PageCase{"five pictures",
                 {"Five/a.bmp", "Five/b.bmp", "Five/c.bmp", "Five/d.bmp", "Five/e.bmp"}, {}, "Five", "Five/Cat/Five.htm",
                 headOf("Five") + QStringList{thumbLine("Images/Five/a.jpg"), thumbLine("Images/Five/b.jpg"),
                                              thumbLine("Images/Five/c.jpg"), thumbLine("Images/Five/d.jpg"), Break,
                                              linkLine("../a.bmp", "a"), linkLine("../b.bmp", "b"),
                                              linkLine("../c.bmp", "c"), linkLine("../d.bmp", "d"), Break,
                                              thumbLine("Images/Five/e.jpg"), Break, linkLine("../e.bmp", "e"),
                                              TableEnd, PageEnd}},
        PageCase{"no pictures", {}, {"Empty"}, "Empty", "Empty/Cat/Empty.htm",
                 headOf("Empty") + QStringList{Break, TableEnd, PageEnd}},
        PageCase{"four pictures end on two empty rows",
                 {"Four/a.bmp", "Four/b.bmp", "Four/c.bmp", "Four/d.bmp"}, {}, "Four", "Four/Cat/Four.htm",
                 headOf("Four") + QStringList{thumbLine("Images/Four/a.jpg"), thumbLine("Images/Four/b.jpg"),
                                              thumbLine("Images/Four/c.jpg"), thumbLine("Images/Four/d.jpg"), Break,
                                              linkLine("../a.bmp", "a"), linkLine("../b.bmp", "b"),
                                              linkLine("../c.bmp", "c"), linkLine("../d.bmp", "d"), Break, Break,
                                              TableEnd, PageEnd}},
        PageCase{"a sub-folder's row on its parent's page",
                 {"Flags/Lion.bmp", "Flags/Sub/Rose.gif"}, {}, "Flags", "Flags/Cat/Flags.htm",
                 headOf("Flags") + QStringList{thumbLine("Images/Flags/Lion.jpg"), Break,
                                               linkLine("../Lion.bmp", "Lion"), TableEnd} +
                     folderRows("Sub") + QStringList{PageEnd}},
        PageCase{"a sub-folder's own page with its back link",
                 {"Flags/Lion.bmp", "Flags/Sub/Rose.gif"}, {}, "Flags", "Flags/Cat/Sub.htm",
                 headOf("Sub") + QStringList{thumbLine("Images/Sub/Rose.jpg"), Break,
                                             linkLine("../Sub/Rose.gif", "Rose"), TableEnd,
                                             "<a href=\"Flags.htm\">Back to Flags</a>", PageEnd}},
        PageCase{"two levels down", {"Top/Mid/Deeper/x.bmp"}, {}, "Top", "Top/Cat/Deeper.htm",
                 headOf("Deeper") + QStringList{thumbLine("Images/Deeper/x.jpg"), Break,
                                                linkLine("../Mid/Deeper/x.bmp", "x"), TableEnd,
                                                "<a href=\"Mid.htm\">Back to Mid</a>", PageEnd}},
        PageCase{"a drive root gives the page \".htm\"", {"Lion.bmp"}, {}, "", "Cat/.htm",
                 headOf("") + QStringList{thumbLine("Images//Lion.jpg"), Break, linkLine("../Lion.bmp", "Lion"),
                                          TableEnd, PageEnd}},
        PageCase{"folders named cat and CAT are ordinary and apart", {"Pets/cat/a.bmp"}, {"Pets/CAT", "Pets/Cat"},
                 "Pets", "Pets/Cat/Pets.htm",
                 headOf("Pets") + QStringList{Break, TableEnd} + folderRows("CAT") +
                     QStringList{"<tr><td>", "<img border='0' src=\"Images/folder.gif\"></td>",
                                 "<td><a href=\"cat (2).htm\">cat</a></td></tr>", PageEnd}},
        PageCase{"# and % escaped in link targets only", {"Odd/a#b.bmp", "Odd/100%.bmp"}, {"Odd/c#d"}, "Odd",
                 "Odd/Cat/Odd.htm",
                 headOf("Odd") + QStringList{thumbLine("Images/Odd/100%25.jpg"), thumbLine("Images/Odd/a%23b.jpg"),
                                             Break, linkLine("../100%25.bmp", "100%"), linkLine("../a%23b.bmp", "a#b"),
                                             TableEnd, "<tr><td>", "<img border='0' src=\"Images/folder.gif\"></td>",
                                             "<td><a href=\"c%23d.htm\">c#d</a></td></tr>", PageEnd}}));

QSize imageSize(const QString& hostPath, QByteArray* format = nullptr)
{
    QImageReader reader(hostPath);
    if (format)
        *format = reader.format();
    return reader.size();
}

TEST_F(CatalogueFixture, ThumbnailsAreJpegsOfTheThumbnailSizeAndLikeNamedPicturesHaveTheirOwn)
{
    picture("Flags/Lion.bmp", {300, 200});
    picture("Flags/Lion.wmf");
    picture("Flags/Sub/Rose.gif");
    build("Flags");

    for (const QString thumbnail : {"Flags/Cat/Images/Flags/Lion.jpg", "Flags/Cat/Images/Sub/Rose.jpg"}) {
        QByteArray format;
        EXPECT_EQ(imageSize(env.hostPath("e/" + thumbnail), &format), QSize(112, 170)) << thumbnail.toStdString();
        EXPECT_EQ(format, "jpeg");
    }
    // Each cell shows its own picture's thumbnail.
    EXPECT_EQ(page("Flags/Cat/Flags.htm").count("src=\"Images/Flags/Lion.jpg\""), 1);
    EXPECT_EQ(page("Flags/Cat/Flags.htm").count("src=\"Images/Flags/Lion (2).jpg\""), 1);
    EXPECT_EQ(env.fs().fileTimes("e:\\Flags\\Cat\\Images\\Flags\\Lion (2).jpg").lastWrite,
              env.fs().fileTimes("e:\\Flags\\Lion.wmf").lastWrite);
    for (const QString icon : {"folder.gif", "logo.gif"})
        EXPECT_EQ(page("Flags/Cat/Images/" + icon), env.readFile("program/" + icon));
}

TEST_F(CatalogueFixture, EveryLinkOfEveryPageResolvesWhateverTheNames)
{
    picture("Odd #1/a#b.bmp");
    picture("Odd #1/100%.bmp");
    picture("Odd #1/caf\u00e9 \u03a9.bmp");
    picture("Odd #1/c%d/x y.gif");
    build("Odd #1");
    EXPECT_EQ(unresolvedLinks("Odd #1/Cat"), QStringList());
    EXPECT_EQ(page("Odd #1/Cat/c%d.htm").count("folder.gif"), 0);
}

TEST_F(CatalogueFixture, EndsBackOnTheSourceFolderWithItsPreviewAndItsFlagsReset)
{
    picture("Flags/Lion.bmp");
    picture("Flags/Sub/Rose.gif");
    browser().Dir1->setPath("e:\\Flags");
    ListSearch.PreviewBusy = true;  // a preview suspended in its pumping
    browser().CreateCat_Click();
    EXPECT_EQ(browser().Dir1->Path(), "E:\\Flags");
    EXPECT_EQ(browser().GridCells(0, 0).FileName, "Lion.bmp");
    EXPECT_FALSE(ListSearch.CatMode || ListSearch.PreviewBusy || ListSearch.StopFlag);
    EXPECT_TRUE(ListSearch.PreviewStop);  // that preview stops when it resumes
    EXPECT_EQ(ListSearch.CatHtmlFolder, "E:\\Flags\\Cat\\");
    EXPECT_EQ(ListSearch.CatImageFolder, "E:\\Flags\\Cat\\Images\\");
}

TEST_F(CatalogueFixture, ASecondBuildRewritesEveryPageAndNeverCataloguesCat)
{
    picture("Flags/Lion.bmp");
    picture("Flags/Sub/Rose.gif");
    build("Flags");
    const QByteArray top = page("Flags/Cat/Flags.htm");
    const QByteArray sub = page("Flags/Cat/Sub.htm");
    env.writeFile("e/Flags/Cat/Flags.htm", "old");
    env.writeFile("e/Flags/Cat/Sub.htm", "old");

    build("Flags");
    EXPECT_EQ(page("Flags/Cat/Flags.htm"), top);
    EXPECT_EQ(page("Flags/Cat/Sub.htm"), sub);
    EXPECT_FALSE(exists("Flags/Cat/Cat.htm"));
    EXPECT_FALSE(exists("Flags/Cat/Images/Cat"));
    EXPECT_FALSE(top.contains("Cat.htm"));
}

TEST_F(CatalogueFixture, FoldersOfOneNameKeepPagesOfTheirOwn)
{
    picture("Top/A/Same/x.bmp");
    picture("Top/B/Same/y.bmp");
    build("Top");
    EXPECT_TRUE(page("Top/Cat/Same.htm").contains("../A/Same/x.bmp"));
    EXPECT_TRUE(page("Top/Cat/Same (2).htm").contains("../B/Same/y.bmp"));
    EXPECT_TRUE(page("Top/Cat/B.htm").contains("href=\"Same (2).htm\">Same<"));
    EXPECT_TRUE(exists("Top/Cat/Images/Same/x.jpg"));
    EXPECT_TRUE(exists("Top/Cat/Images/Same (2)/y.jpg"));
    EXPECT_EQ(unresolvedLinks("Top/Cat"), QStringList());
}

// A thumbnail once carried the time of its writing, so no build ever found
// one up to date and every build encoded every picture again. Now the
// thumbnails of an unchanged tree are neither made nor read from the
// pictures again; a damaged one, or one of a changed picture, is made anew.
TEST_F(CatalogueFixture, ASecondBuildTakesUpToDateThumbnailsAsTheyAre)
{
    picture("Flags/Lion.bmp");
    picture("Flags/Rose.bmp");
    picture("Flags/Tulip.bmp");
    build("Flags");
    const QByteArray flags = page("Flags/Cat/Flags.htm");
    const platform::FileTimes lion = env.fs().fileTimes("e:\\Flags\\Lion.bmp");
    EXPECT_EQ(env.fs().fileTimes("e:\\Flags\\Cat\\Images\\Flags\\Lion.jpg").lastWrite, lion.lastWrite);

    QImage red(112, 170, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QByteArray redJpeg = encoded(red, "JPG");
    const auto replaceKeepingTimes = [&](const QString& name, const QByteArray& bytes) {
        const QString thumbnail = "e:\\Flags\\Cat\\Images\\Flags\\" + name;
        const platform::FileTimes kept = env.fs().fileTimes(thumbnail);
        env.writeFile("e/Flags/Cat/Images/Flags/" + name, bytes);
        env.fs().setFileTimes(thumbnail, kept);
    };
    replaceKeepingTimes("Lion.jpg", redJpeg);
    replaceKeepingTimes("Rose.jpg", "damaged");
    replaceKeepingTimes("Tulip.jpg", redJpeg);
    platform::FileTimes changed = env.fs().fileTimes("e:\\Flags\\Tulip.bmp");
    changed.lastWrite += 10'000'000;
    env.fs().setFileTimes("e:\\Flags\\Tulip.bmp", changed);

    build("Flags");
    EXPECT_EQ(page("Flags/Cat/Images/Flags/Lion.jpg"), redJpeg);
    EXPECT_EQ(browser().GridCells(0, 0).FileName, "Lion.bmp");
    for (const QString name : {"Rose", "Tulip"})
        EXPECT_EQ(imageSize(env.hostPath("e/Flags/Cat/Images/Flags/" + name + ".jpg")), QSize(112, 170)) << name.toStdString();
    EXPECT_NE(page("Flags/Cat/Images/Flags/Tulip.jpg"), redJpeg);
    EXPECT_EQ(page("Flags/Cat/Flags.htm"), flags);
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

TEST_F(CatalogueFixture, TheThousandAndSecondSubFolderEndsItsFolderWithError9)
{
    for (int i = 0; i < 1002; ++i)
        folder(QStringLiteral("Many/f%1").arg(i, 4, 10, QChar(u'0')));
    picture("Many/f0000/a.bmp");
    build("Many");

    const QByteArray many = page("Many/Cat/Many.htm");
    EXPECT_EQ(many.count("folder.gif"), 1001);
    EXPECT_TRUE(many.contains("f1000.htm"));
    EXPECT_FALSE(many.contains("f1001"));
    EXPECT_FALSE(many.contains(PageEnd.toLatin1()));
    EXPECT_FALSE(exists("Many/Cat/f0000.htm"));
    EXPECT_EQ(env.dialogs().prompts(), QStringList({"Cat Folder Error: 9 Subscript out of range"}));
    EXPECT_EQ(browser().Dir1->Path(), "E:\\Many");
}

TEST_F(CatalogueFixture, AStopEndsTheBuildAfterTheCurrentPicture)
{
    picture("Flags/a.bmp");
    picture("Flags/b.bmp");
    picture("Flags/Sub/c.bmp");
    atFirstPump([] { ListSearch.StopFlag = true; });
    build("Flags");

    EXPECT_EQ(page("Flags/Cat/Flags.htm"), pageLines(headOf("Flags") + QStringList{thumbLine("Images/Flags/a.jpg")}));
    EXPECT_FALSE(exists("Flags/Cat/Images/Flags/b.jpg"));
    EXPECT_FALSE(exists("Flags/Cat/Sub.htm"));
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
    EXPECT_EQ(browser().Dir1->Path(), "E:\\Flags");
    // The browser shows the folder whole again, not its first picture alone.
    EXPECT_EQ(browser().GridCells(0, 1).FileName, "b.bmp");
    EXPECT_FALSE(ListSearch.StopFlag || ListSearch.CatMode);
}

TEST_F(CatalogueFixture, FailuresEndTheBuildByTheirNumberWithItsFlagsReset)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QStringList messages;
        bool pageWritten;
        bool previewedAfter;
    } cases[] = {
        {"icons missing beside the program end it silently",
         [&] { QFile::remove(env.hostPath("program/logo.gif")); }, {}, false, false},
        {"a file where the page folder belongs", [&] { env.writeFile("e/Flags/Cat", "a file"); },
         {"Create Cat Error: 70 Permission denied: the folder E:\\Flags\\Cat\\ cannot be made"}, false, false},
        {"thumbnails that cannot be saved keep their cells, with one message",
         [&] {
             picture("Flags/Rose.bmp");
             folder("Flags/Cat/Images/Flags/Lion.jpg");
             folder("Flags/Cat/Images/Flags/Rose.jpg");
         },
         {"Thumbnail Save Error: -5"}, true, true},
    };
    for (const Case& c : cases) {
        QDir(env.hostPath("e/Flags")).removeRecursively();
        picture("Flags/Lion.bmp");
        env.dialogs().clear();
        browser().GridCells.clear();
        c.arrange();
        build("Flags");
        EXPECT_EQ(env.dialogs().prompts(), c.messages) << c.name;
        EXPECT_EQ(exists("Flags/Cat/Flags.htm") && page("Flags/Cat/Flags.htm").contains("Lion.jpg"), c.pageWritten)
            << c.name;
        EXPECT_EQ(browser().GridCells(0, 0).FileName == "Lion.bmp", c.previewedAfter) << c.name;
        EXPECT_FALSE(ListSearch.CatMode || ListSearch.StopFlag || ListSearch.PreviewBusy) << c.name;
        QFile::copy(QStringLiteral(BRISCA_BIN_DIR "/logo.gif"), env.hostPath("program/logo.gif"));
    }
}

// Folder links leading back into the tree once made the build go round
// without end; a tree too deep for nested calls once exhausted the stack.
TEST_F(CatalogueFixture, FoldersReachedTwiceAreCataloguedOnceAndDeepTreesWhole)
{
    folder("Loop/a");
    folder("Loop/b");
    picture("Loop/b/pic.bmp");
    QFile::link("../b", env.hostPath("e/Loop/a/x"));
    QFile::link("../a", env.hostPath("e/Loop/b/y"));
    QString deep = "Loop/d";
    for (int level = 0; level < 300; ++level)
        deep += "/d";
    picture(deep + "/bottom.bmp");
    build("Loop");

    EXPECT_EQ(page("Loop/Cat/Loop.htm").count("folder.gif"), 3);  // a, b, d
    EXPECT_EQ(page("Loop/Cat/a.htm").count("folder.gif"), 0);
    EXPECT_EQ(page("Loop/Cat/b.htm").count("folder.gif"), 0);
    EXPECT_FALSE(exists("Loop/Cat/x.htm"));
    EXPECT_FALSE(exists("Loop/Cat/y.htm"));
    EXPECT_TRUE(page("Loop/Cat/d (2).htm").contains("Back to d"));
    EXPECT_TRUE(exists("Loop/Cat/Images/d (301)/bottom.jpg"));
    EXPECT_EQ(unresolvedLinks("Loop/Cat"), QStringList());
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

// A name Windows would refuse is an ordinary name on this disk: the folder
// gets its page, and the link to it escapes the "?".
TEST_F(CatalogueFixture, ASubFolderNamedWithAQuestionMarkGetsItsPage)
{
    folder("Odd/a?b");
    folder("Odd/zed");
    build("Odd");
    const QByteArray odd = page("Odd/Cat/Odd.htm");
    EXPECT_TRUE(odd.endsWith((PageEnd + "\r\n").toLatin1()));
    EXPECT_TRUE(odd.contains("zed.htm"));
    EXPECT_TRUE(odd.contains("a%3Fb.htm"));
    EXPECT_TRUE(exists("Odd/Cat/a?b.htm"));
    EXPECT_TRUE(exists("Odd/Cat/zed.htm"));
}

}  // namespace
