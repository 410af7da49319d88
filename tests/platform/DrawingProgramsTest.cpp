// The drawing-program stand-ins: the calls they take and in which order, the
// errors of files, and the drawings they write, checked by other readers:
// Ghostscript renders each ".ai" drawing, and the ".cdr" file is a RIFF file
// whose preview precedes its first list chunk and which carries the drawing.

#include "platform/AiDrawing.h"
#include "platform/DrawingPrograms.h"
#include "runtime/ErrorNumber.h"
#include "support/TestEnvironment.h"

#include <QBuffer>
#include <QProcess>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace platform;

namespace {

const QString Set = QStringLiteral("TalvorenActions");

QImage twoColours(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 40));
    for (int y = size.height() / 2; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(20, 60, 220));
    return image;
}

class DrawingProgramsTest : public ::testing::Test {
protected:
    DrawingProgramsTest()
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        twoColours({60, 40}).save(&buffer, "BMP");
        env.writeFile("art/Lion.bmp", bytes);
        env.writeFile("out/.keep", "");
    }
    QString path(const QString& relative) const { return env.windowsPath(relative); }

    // The conversion of a picture as the distribution makes it.
    void convert(const QString& picture, const QString& ai, const QString& cdr)
    {
        IllustratorApplication illustrator;
        illustrator.Open(picture);
        illustrator.DoScript("Select All", Set);
        illustrator.DoScript("Simplify (100%)", Set);
        illustrator.SaveAs(ai, {8, 1});
        illustrator.Close(2);
        CorelDrawApplication corel;
        corel.Script("FileOpen", ai);
        corel.setSubObjectSetting(2);
        corel.Script("SelectAllObjects");
        CorelSaveOptions options = corel.CreateSaveOptions();
        options.Filter = 1795;
        options.Version = 8;
        corel.SaveAs(cdr, options);
        corel.setDocumentMember(0);
        corel.Close();
    }

    TestEnvironment env;
};

TEST_F(DrawingProgramsTest, TakeTheirCallsOnlyInOrder)
{
    const QString lion = path("art/Lion.bmp");
    const QString ai = path("out/Lion.ai");
    struct Case {
        const char* name;
        std::function<void()> calls;
        int error;
    } cases[] = {
        {"the whole conversion", [&] { convert(lion, ai, path("out/Lion.cdr")); }, 0},
        {"an action with no document open",
         [&] { IllustratorApplication().DoScript("Select All", Set); }, 440},
        {"simplify before select all",
         [&] {
             IllustratorApplication app;
             app.Open(lion);
             app.DoScript("Simplify (100%)", Set);
         },
         440},
        {"an action of another set",
         [&] {
             IllustratorApplication app;
             app.Open(lion);
             app.DoScript("Select All", "Other");
         },
         440},
        {"a save before the actions",
         [&] {
             IllustratorApplication app;
             app.Open(lion);
             app.SaveAs(ai, {8, 1});
         },
         440},
        {"a close before the save",
         [&] {
             IllustratorApplication app;
             app.Open(lion);
             app.Close(2);
         },
         440},
        {"a picture that is missing", [&] { IllustratorApplication().Open(path("art/none.bmp")); }, 53},
        {"a drawing with no file open", [&] { CorelDrawApplication().Script("SelectAllObjects"); }, 440},
        {"an .ai that no stand-in wrote",
         [&] {
             env.writeFile("out/other.ai", "%!PS-Adobe-3.0\nshowpage\n");
             CorelDrawApplication().Script("FileOpen", path("out/other.ai"));
         },
         440},
        {"a save in another format",
         [&] {
             CorelDrawApplication corel;
             corel.Script("FileOpen", ai);
             corel.setSubObjectSetting(2);
             corel.Script("SelectAllObjects");
             corel.SaveAs(path("out/x.cdr"), corel.CreateSaveOptions());
         },
         440},
        {"a close before the save",
         [&] {
             CorelDrawApplication corel;
             corel.Script("FileOpen", ai);
             corel.Close();
         },
         440},
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorNumberOf(c.calls), c.error) << c.name;
}

TEST_F(DrawingProgramsTest, FileErrorsAreTheRuntimes)
{
    struct Case {
        const char* name;
        QString target;
        int error;
    } cases[] = {
        {"a folder that is missing", path("none") + "\\Lion.ai", 76},
        {"a target that is a folder", path("out"), 75},
    };
    for (const Case& c : cases) {
        IllustratorApplication app;
        app.Open(path("art/Lion.bmp"));
        app.DoScript("Select All", Set);
        app.DoScript("Simplify (100%)", Set);
        EXPECT_EQ(errorNumberOf([&] { app.SaveAs(c.target, {8, 1}); }), c.error) << c.name;
    }
}

TEST_F(DrawingProgramsTest, GhostscriptRendersTheAiDrawingAtThePicturesSize)
{
    convert(path("art/Lion.bmp"), path("out/Lion.ai"), path("out/Lion.cdr"));
    QProcess gs;
    gs.start("gs", {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=png16m", "-r72",
                    "-sOutputFile=" + env.hostPath("out/Lion.png"), env.hostPath("out/Lion.ai")});
    ASSERT_TRUE(gs.waitForStarted()) << "Ghostscript (gs) is missing: scripts/setup installs it";
    ASSERT_TRUE(gs.waitForFinished(60000));
    ASSERT_EQ(gs.exitCode(), 0) << gs.readAllStandardError().toStdString();

    const QImage rendered(env.hostPath("out/Lion.png"));
    ASSERT_EQ(rendered.size(), QSize(60, 40));
    EXPECT_LT(qAbs(qRed(rendered.pixel(30, 5)) - 200) + qAbs(qBlue(rendered.pixel(30, 5)) - 40), 12);
    EXPECT_LT(qAbs(qRed(rendered.pixel(30, 35)) - 20) + qAbs(qBlue(rendered.pixel(30, 35)) - 220), 12);
}

TEST_F(DrawingProgramsTest, TheCdrFileIsARiffDrawingWithItsPreviewBeforeItsFirstList)
{
    convert(path("art/Lion.bmp"), path("out/Lion.ai"), path("out/Lion.cdr"));
    const QByteArray cdr = env.readFile("out/Lion.cdr");
    EXPECT_TRUE(cdr.startsWith("RIFF"));
    EXPECT_EQ(cdr.mid(8, 4), "CDR8");
    EXPECT_EQ(qFromLittleEndian<quint32>(cdr.constData() + 4), quint32(cdr.size() - 8));
    const qsizetype disp = cdr.indexOf("DISP");
    ASSERT_GT(disp, 0);
    EXPECT_LT(disp, cdr.indexOf("LIST"));
    EXPECT_TRUE(cdr.contains(env.readFile("out/Lion.ai")));
    EXPECT_EQ(aiDrawingPicture(env.readFile("out/Lion.ai")).convertToFormat(QImage::Format_RGB32),
              twoColours({60, 40}));
}

}  // namespace
