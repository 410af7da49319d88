// Catalogue and distribution builds started from the real browser window,
// with its thumbnail run and batch window: the page of the browser's folder,
// Abort in the batch window, and the browser closed while a build runs.

#include "BrowserSupport.h"
#include "CatalogueFixture.h"

#include "browser/Disp.h"
#include "browser/DistribSettings.h"

#include <QBuffer>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using platform::Forms;

namespace {

class BuildFromBrowserTest : public BrowserTestBase {
protected:
    void SetUp() override
    {
        BrowserTestBase::SetUp();
        Forms::registerForm(QStringLiteral("DistribSettings"), [] { return new DistribSettings; });
        QDir().mkpath(env.hostPath("e/out"));
    }
    void distribute(const QString& folder)
    {
        browser().Dir1->setPath("e:\\" + folder);
        DistribSettings& settings = Forms::get<DistribSettings>(QStringLiteral("DistribSettings"));
        settings.OutFolder->setText("e:\\out");
        settings.MakeIt_Click();
    }
    bool exists(const QString& relative) const { return QFile::exists(env.hostPath("e/" + relative)); }
};

TEST_F(BuildFromBrowserTest, CreateCatalogueWritesThePageOfTheFolderShownAndPreviewsItAgain)
{
    copyTestPicture("bmp/pil-pal8.bmp", "e/Flags/Lion.bmp");
    copyTestPicture("gif/go-triangle-001.gif", "e/Flags/Rose.gif");
    browser().Dir1->setPath("e:\\Flags");
    browser().CreateCat_Click();

    EXPECT_EQ(env.readFile("e/Flags/Cat/Flags.htm"),
              pageLines(headOf("Flags") + QStringList{thumbLine("Images/Flags/Lion.jpg"),
                                                      thumbLine("Images/Flags/Rose.jpg"), "</tr><tr>",
                                                      linkLine("../Lion.bmp", "Lion"), linkLine("../Rose.gif", "Rose"),
                                                      "</tr></table><table align=center>", "</body></html>"}));
    QImageReader thumbnail(env.hostPath("e/Flags/Cat/Images/Flags/Rose.jpg"));
    EXPECT_EQ(thumbnail.format(), "jpeg");
    EXPECT_EQ(thumbnail.size(), QSize(112, 170));
    EXPECT_EQ(browser().Dir1->Path(), "E:\\Flags");
    EXPECT_EQ(browser().GridCells(0, 1).FileName, "Rose.gif");
    EXPECT_FALSE(ListSearch.CatMode || ListSearch.StopFlag || ListSearch.PreviewBusy);
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

// The thumbnails of an unchanged tree are neither made nor read from the
// pictures again; a damaged one is made again.
TEST_F(BuildFromBrowserTest, ASecondBuildTakesTheThumbnailsAsTheyAreUnlessDamaged)
{
    copyTestPicture("bmp/pil-pal8.bmp", "e/Flags/Lion.bmp");
    copyTestPicture("gif/go-triangle-001.gif", "e/Flags/Rose.gif");
    browser().Dir1->setPath("e:\\Flags");
    browser().CreateCat_Click();
    const QByteArray page = env.readFile("e/Flags/Cat/Flags.htm");

    QImage red(112, 170, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray redJpeg;
    QBuffer buffer(&redJpeg);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "JPG");
    const auto replaceKeepingTimes = [&](const QString& name, const QByteArray& bytes) {
        const QString thumbnail = "e:\\Flags\\Cat\\Images\\Flags\\" + name;
        const platform::FileTimes kept = env.fs().fileTimes(thumbnail);
        env.writeFile("e/Flags/Cat/Images/Flags/" + name, bytes);
        env.fs().setFileTimes(thumbnail, kept);
    };
    replaceKeepingTimes("Lion.jpg", redJpeg);
    replaceKeepingTimes("Rose.jpg", "damaged");
    browser().CreateCat_Click();

    EXPECT_EQ(env.readFile("e/Flags/Cat/Images/Flags/Lion.jpg"), redJpeg);
    EXPECT_EQ(QImageReader(env.hostPath("e/Flags/Cat/Images/Flags/Rose.jpg")).size(), QSize(112, 170));
    EXPECT_EQ(env.readFile("e/Flags/Cat/Flags.htm"), page);
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

TEST_F(BuildFromBrowserTest, AbortLetsThePictureInHandFinishThenClosesTheBatchWindow)
{
    copyTestPicture("bmp/pil-pal8.bmp", "e/Art/a.bmp");
    copyTestPicture("bmp/pil-pal8.bmp", "e/Art/b.bmp");
    copyTestPicture("bmp/pil-pal8.bmp", "e/Art/Sub/c.bmp");
    // Pressed at the batch window's first showing, before the first picture.
    QTimer::singleShot(0, [] {
        if (Disp* disp = qobject_cast<Disp*>(Forms::find(DispFormName)))
            disp->Abort->click();
    });
    distribute("Art");

    EXPECT_TRUE(exists("out/a.cdr"));
    EXPECT_FALSE(exists("out/b.ai"));
    EXPECT_FALSE(exists("out/Cat/Sub.htm"));
    EXPECT_FALSE(Forms::isLoaded(DispFormName));
    EXPECT_FALSE(ListSearch.StopFlag || ListSearch.CatMode || ListSearch.DistribMode || ListSearch.PreviewBusy);
}

TEST_F(BuildFromBrowserTest, ErrorsOfAConversionReachTheRunByTheirNumber)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QStringList messages;
        bool converted;  // b.bmp, after the file in question
    } cases[] = {
        {"an unreadable picture is passed over",
         [&] { copyTestPicture("bmp/bad-pil-badbitcount.bmp", "e/Art/a.bmp"); }, {}, true},
        {"a drawing that cannot be written ends the run", [&] { QDir().mkpath(env.hostPath("e/out/a.ai")); },
         {"Preview Error: 75 Path/File access error"}, false},
    };
    for (const Case& c : cases) {
        QDir(env.hostPath("e/out")).removeRecursively();
        QDir().mkpath(env.hostPath("e/out"));
        copyTestPicture("bmp/pil-pal8.bmp", "e/Art/a.bmp");
        copyTestPicture("bmp/pil-pal8.bmp", "e/Art/b.bmp");
        env.dialogs().clear();
        c.arrange();
        distribute("Art");
        EXPECT_EQ(env.dialogs().prompts(), c.messages) << c.name;
        EXPECT_FALSE(exists("out/a.cdr")) << c.name;
        EXPECT_EQ(exists("out/b.cdr"), c.converted) << c.name;
        EXPECT_FALSE(ListSearch.CatMode || ListSearch.DistribMode || ListSearch.StopFlag) << c.name;
    }
}

TEST_F(BuildFromBrowserTest, ClosingTheBrowserDuringABuildEndsItQuietly)
{
    copyTestPicture("bmp/pil-pal8.bmp", "e/Art/a.bmp");
    copyTestPicture("bmp/pil-pal8.bmp", "e/Art/b.bmp");
    QPointer<Browser> window = &browser();
    QTimer::singleShot(0, [window] {
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

TEST_F(BuildFromBrowserTest, ACatalogueAfterADistributionConvertsNothingAndShowsNoBatchWindow)
{
    copyTestPicture("bmp/pil-pal8.bmp", "e/Art/a.bmp");
    distribute("Art");
    QFile::remove(env.hostPath("e/out/a.ai"));
    bool batchWindowShown = false;
    QTimer::singleShot(0, [&] { batchWindowShown = Forms::isLoaded(DispFormName); });
    browser().CreateCat_Click();
    EXPECT_FALSE(batchWindowShown);
    EXPECT_FALSE(exists("out/a.ai"));
    EXPECT_TRUE(env.readFile("e/Art/Cat/Art.htm").contains("href=\"../a.bmp\""));
}

}  // namespace
