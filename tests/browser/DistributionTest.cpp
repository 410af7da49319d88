// Distribution builds from the browser's dialog: the batch window's texts,
// the drawings in the output folder with the pictures' times, previews the
// drawing preview reader finds, links that all resolve, Abort, the browser
// closed during a build, errors of a conversion, and the output folders
// refused because the drawings would land among the pictures.

#include "CatalogueFixture.h"
#include "browser/CdrPreview.h"
#include "browser/Disp.h"
#include "browser/Distribution.h"
#include "platform/AiDrawing.h"

#include <QLabel>
#include <QPushButton>

using platform::Forms;

namespace {

using DistributionTest = CatalogueFixture;

// What the batch window showed, one entry per change, caption and message.
class BatchWindowRecorder {
public:
    BatchWindowRecorder()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const Disp* disp = qobject_cast<Disp*>(Forms::find(DispFormName));
            if (!disp)
                return;
            const QString shown = disp->windowTitle() + " | " + disp->MSG->text();
            if (shown_.isEmpty() || shown_.back() != shown)
                shown_ += shown;
        });
        timer_.start(0);
    }
    const QStringList& shown() const { return shown_; }

private:
    QTimer timer_;
    QStringList shown_;
};

TEST_F(DistributionTest, ReportsEachPictureInTheBatchWindowInOrder)
{
    for (const QString name : {"a", "b", "c", "d", "e"})
        picture("Five/" + name + ".bmp");
    BatchWindowRecorder batch;
    distribute("Five");

    ASSERT_EQ(batch.shown().size(), 1 + 5 * 5);
    EXPECT_EQ(batch.shown()[0], "Distribution Progress | Starting Folder...Five");
    EXPECT_EQ(batch.shown()[1], "Distribution Progress 0 of 4 | Loading a.bmp");
    EXPECT_EQ(batch.shown().mid(21), QStringList({"Distribution Progress 4 of 4 | Loading e.bmp",
                                                  "Distribution Progress 4 of 4 | Loading Illustrator to simplify e.bmp",
                                                  "Distribution Progress 4 of 4 | Illustrator is saving e.ai",
                                                  "Distribution Progress 4 of 4 | Loading CoreDraw to convert e.ai",
                                                  "Distribution Progress 4 of 4 | CoreDraw is saving e.cdr"}));
    EXPECT_FALSE(Forms::isLoaded(DispFormName));
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

TEST_F(DistributionTest, LeavesDrawingsWithThePicturesTimesAndPreviewsBesideTheCatalogue)
{
    picture("Flags/Lion.bmp", {90, 60});
    platform::FileTimes old = env.fs().fileTimes("e:\\Flags\\Lion.bmp");
    old.lastWrite -= 3600 * 10'000'000ll;
    env.fs().setFileTimes("e:\\Flags\\Lion.bmp", old);
    distribute("Flags");

    EXPECT_EQ(env.fs().fileTimes("e:\\out\\Lion.ai").lastWrite, old.lastWrite);
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

TEST_F(DistributionTest, EveryLinkOfEveryPageResolvesAndLikeNamedPicturesKeepTheirOwnDrawings)
{
    picture("Top/Same.bmp", {40, 40});
    picture("Top/Sub/Same.bmp", {30, 50});
    picture("Top/Sub/Deeper/Rose.gif");
    QImage plan(20, 30, QImage::Format_RGB32);
    plan.fill(Qt::yellow);
    env.writeFile("e/Top/Plan.cdr", platform::cdrDrawing(platform::aiDrawing(plan, "Plan.ai"), plan));
    distribute("Top");

    EXPECT_EQ(unresolvedLinks("out/Cat"), QStringList());
    EXPECT_TRUE(page("out/Cat/Sub.htm").contains("href=\"../Same (2).cdr\""));
    EXPECT_EQ(platform::aiDrawingPicture(page("out/Same.ai")).size(), QSize(40, 40));
    EXPECT_EQ(platform::aiDrawingPicture(page("out/Same (2).ai")).size(), QSize(30, 50));
    EXPECT_TRUE(exists("out/Rose.cdr"));
    // A drawing goes through its preview.
    EXPECT_EQ(platform::aiDrawingPicture(page("out/Plan.ai")).pixel(10, 15), QColor(Qt::yellow).rgb());
}

TEST_F(DistributionTest, AbortLetsThePictureInHandFinishThenClosesTheBatchWindow)
{
    picture("Art/a.bmp");
    picture("Art/b.bmp");
    picture("Art/Sub/c.bmp");
    ListSearch.PreviewBusy = true;  // a preview suspended when the build began
    atFirstPump([] {
        if (Disp* disp = qobject_cast<Disp*>(Forms::find(DispFormName)))
            disp->Abort->click();
    });
    distribute("Art");

    EXPECT_TRUE(exists("out/a.cdr"));
    EXPECT_FALSE(exists("out/b.ai"));
    EXPECT_FALSE(exists("out/Cat/Sub.htm"));
    EXPECT_FALSE(Forms::isLoaded(DispFormName));
    EXPECT_FALSE(ListSearch.StopFlag || ListSearch.CatMode || ListSearch.DistribMode);
    // That preview stops when it resumes.
    EXPECT_TRUE(ListSearch.PreviewBusy && ListSearch.PreviewStop);
}

TEST_F(DistributionTest, ClosingTheBrowserDuringABuildEndsItQuietly)
{
    picture("Art/a.bmp");
    picture("Art/b.bmp");
    QPointer<Browser> window = &browser();
    atFirstPump([window] {
        if (window)
            window->Unload();
    });
    distribute("Art");
    EXPECT_FALSE(Forms::isLoaded(QStringLiteral("Browser")));
    EXPECT_FALSE(Forms::isLoaded(QStringLiteral("DistribSettings")));
    EXPECT_FALSE(exists("out/b.ai"));
    EXPECT_FALSE(ListSearch.CatMode || ListSearch.DistribMode);
    EXPECT_TRUE(ListSearch.QuitFlag);
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

TEST_F(DistributionTest, ErrorsOfAConversionReachTheRunByTheirNumber)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QStringList messages;
        bool converted;  // b.bmp, after the file in question
    } cases[] = {
        {"an unreadable picture is passed over",
         [&] { copyTestPicture("bmp/bad-pil-badbitcount.bmp", "e/Art/a.bmp"); }, {}, true},
        {"a drawing that cannot be written ends the run", [&] { folder("out/a.ai"); },
         {"Preview Error: 75 Path/File access error"}, false},
    };
    for (const Case& c : cases) {
        QDir(env.hostPath("e/out")).removeRecursively();
        folder("out");
        picture("Art/a.bmp");
        picture("Art/b.bmp");
        env.dialogs().clear();
        c.arrange();
        distribute("Art");
        EXPECT_EQ(env.dialogs().prompts(), c.messages) << c.name;
        EXPECT_FALSE(exists("out/a.cdr")) << c.name;
        EXPECT_EQ(exists("out/b.cdr"), c.converted) << c.name;
        EXPECT_FALSE(ListSearch.CatMode || ListSearch.DistribMode || ListSearch.StopFlag) << c.name;
    }
}

TEST_F(DistributionTest, ACatalogueAfterADistributionConvertsNothingAndShowsNoBatchWindow)
{
    picture("Art/a.bmp");
    distribute("Art");
    QFile::remove(env.hostPath("e/out/a.ai"));
    BatchWindowRecorder batch;
    build("Art");
    EXPECT_TRUE(batch.shown().isEmpty());
    EXPECT_FALSE(exists("out/a.ai"));
    EXPECT_TRUE(page("Art/Cat/Art.htm").contains("href=\"../a.bmp\""));
}

TEST_F(DistributionTest, AnOutputFolderInsideTheSourceIsRefused)
{
    folder("Art/Sub");
    folder("Elsewhere");
    QFile::link(env.hostPath("e/Art/Sub"), env.hostPath("e/Elsewhere/link"));
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
