// Distribution builds on a mapped drive: the progress texts, the drawings in
// the output folder with the pictures' times, previews the drawing preview
// reader finds, name links that all resolve, the stop, and the output folders
// that are refused because the drawings would land among the pictures.

#include "CatalogueFixture.h"
#include "browser/CdrPreview.h"
#include "platform/AiDrawing.h"


namespace {

class DistributionTest : public CatalogueFixture {
protected:
    DistributionTest() { folder("out"); }

    void distribute(const QString& source, const QString& out = "e:\\out")
    {
        host.path = "e:\\" + source;
        ListSearch.DistribOutFolder = out;
        MakeDistribution(host);
    }
};

TEST_F(DistributionTest, ReportsEachPictureInTheBatchWindowInOrder)
{
    for (const QString name : {"a", "b", "c", "d", "e"})
        picture("Five/" + name + ".bmp");
    distribute("Five");

    EXPECT_EQ(host.captions, QStringList({"Distribution Progress", "Distribution Progress 0 of 4",
                                          "Distribution Progress 1 of 4", "Distribution Progress 2 of 4",
                                          "Distribution Progress 3 of 4", "Distribution Progress 4 of 4"}));
    ASSERT_EQ(host.messages.size(), 1 + 5 * 5);
    EXPECT_EQ(host.messages[0], "Starting Folder...Five");
    EXPECT_EQ(host.messages.mid(21), QStringList({"Loading e.bmp", "Loading Illustrator to simplify e.bmp",
                                                  "Illustrator is saving e.ai", "Loading CoreDraw to convert e.ai",
                                                  "CoreDraw is saving e.cdr"}));
    EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(DistributionTest, LeavesDrawingsWithThePicturesTimesAndPreviewsBesideTheCatalogue)
{
    picture("Flags/Lion.bmp", {90, 60});
    platform::FileTimes old = env.fs().fileTimes("e:\\Flags\\Lion.bmp");
    old.lastWrite -= 3600 * 10'000'000ll;
    env.fs().setFileTimes("e:\\Flags\\Lion.bmp", old);
    distribute("Flags");

    const platform::FileTimes ai = env.fs().fileTimes("e:\\out\\Lion.ai");
    EXPECT_EQ(ai.lastWrite, old.lastWrite);
    EXPECT_EQ(platform::aiDrawingPicture(page("out/Lion.ai")).size(), QSize(90, 60));

    ASSERT_TRUE(ExtractCdrPreview("e:\\out\\", "Lion.cdr"));
    const platform::Picture preview = platform::LoadPicture(cdrPreviewFile());
    EXPECT_EQ(preview.image.size(), QSize(90, 60));
    EXPECT_EQ(preview.image.pixel(45, 30) | 0xFF000000, QColor(Qt::darkCyan).rgb());

    EXPECT_TRUE(page("out/Cat/Flags.htm").contains("<a href=\"../Lion.cdr\">Lion</a>"));
    EXPECT_TRUE(exists("out/Cat/Images/Flags/Lion.jpg"));
    EXPECT_FALSE(exists("Flags/Cat"));
    EXPECT_FALSE(ListSearch.CatMode || ListSearch.DistribMode || ListSearch.StopFlag);
}

TEST_F(DistributionTest, EveryLinkOfEveryPageResolvesAndLikeNamedPicturesShareADrawing)
{
    picture("Top/Same.bmp", {40, 40});
    picture("Top/Sub/Same.bmp", {30, 50});
    picture("Top/Sub/Deeper/Rose.gif");
    distribute("Top");

    EXPECT_EQ(unresolvedLinks("out/Cat"), QStringList());
    EXPECT_TRUE(page("out/Cat/Sub.htm").contains("href=\"../Same.cdr\""));
    // The sub-folder's picture was converted last.
    EXPECT_EQ(platform::aiDrawingPicture(page("out/Same.ai")).size(), QSize(30, 50));
    EXPECT_TRUE(exists("out/Rose.cdr"));
}

TEST_F(DistributionTest, AStopLetsThePictureInHandFinish)
{
    picture("Flags/a.bmp");
    picture("Flags/b.bmp");
    host.afterPicture = [](int) { ListSearch.StopFlag = true; };
    distribute("Flags");
    EXPECT_TRUE(exists("out/a.cdr"));
    EXPECT_FALSE(exists("out/b.ai"));
    EXPECT_FALSE(ListSearch.StopFlag || ListSearch.CatMode || ListSearch.DistribMode);
}

TEST_F(DistributionTest, ACatalogueAfterADistributionConvertsNothing)
{
    picture("Flags/Lion.bmp");
    distribute("Flags");
    QFile::remove(env.hostPath("tree/out/Lion.ai"));
    host.messages.clear();
    build("Flags");
    EXPECT_FALSE(exists("out/Lion.ai"));
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_TRUE(page("Flags/Cat/Flags.htm").contains("href=\"../Lion.bmp\""));
}

TEST_F(DistributionTest, AnErrorOfADrawingProgramReachesTheRunWithItsNumber)
{
    picture("Flags/Lion.bmp");
    folder("out/Lion.ai");  // the drawing cannot be written
    distribute("Flags");
    EXPECT_EQ(host.errors, QList<int>({75}));
    EXPECT_FALSE(ListSearch.CatMode || ListSearch.DistribMode);
}

TEST_F(DistributionTest, AnOutputFolderInsideTheSourceIsRefused)
{
    folder("Art/Sub");
    folder("Elsewhere");
    QFile::link(env.hostPath("tree/Art/Sub"), env.hostPath("tree/Elsewhere/link"));
    struct Case {
        const char* name;
        QString out;
        QString source;
        bool inside;
    } cases[] = {
        {"the source itself", "e:\\Art\\", "e:\\Art", true},
        {"a folder below it, not made yet", "e:\\Art\\Sub\\New", "e:\\Art", true},
        {"a link into it", "e:\\Elsewhere\\link\\Out", "e:\\Art", true},
        {"a folder whose name starts alike", "e:\\Artwork", "e:\\Art", false},
        {"a sibling", "e:\\Elsewhere", "e:\\Art", false},
        {"anywhere on a catalogued drive", "e:\\out", "e:\\", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(outputLiesInSource(c.out, c.source), c.inside) << c.name;
}

}  // namespace
