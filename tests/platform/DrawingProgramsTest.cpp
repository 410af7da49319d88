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
#include <map>
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

    // Makes the named calls in order on fresh stand-ins; the error number
    // that ends them, 0 when none does.
    int calls(const QStringList& names)
    {
        IllustratorApplication illustrator;
        CorelDrawApplication corel;
        CorelSaveOptions options = corel.CreateSaveOptions();
        const std::map<QString, std::function<void()>> call = {
            {"open", [&] { illustrator.Open(path("art/Lion.bmp")); }},
            {"open a missing picture", [&] { illustrator.Open(path("art/none.bmp")); }},
            {"select all", [&] { illustrator.DoScript("Select All", Set); }},
            {"select all of another set", [&] { illustrator.DoScript("Select All", "Other"); }},
            {"simplify", [&] { illustrator.DoScript("Simplify (100%)", Set); }},
            {"save", [&] { illustrator.SaveAs(path("out/Lion.ai"), {8, 1}); }},
            {"save into a missing folder", [&] { illustrator.SaveAs(path("none") + "\\Lion.ai", {8, 1}); }},
            {"save onto a folder", [&] { illustrator.SaveAs(path("out"), {8, 1}); }},
            {"close", [&] { illustrator.Close(2); }},
            {"file open", [&] { corel.Script("FileOpen", path("out/Lion.ai")); }},
            {"file open of another drawing",
             [&] {
                 env.writeFile("out/other.ai", "%!PS-Adobe-3.0\nshowpage\n");
                 corel.Script("FileOpen", path("out/other.ai"));
             }},
            {"setting", [&] { corel.setSubObjectSetting(2); }},
            {"select all objects", [&] { corel.Script("SelectAllObjects"); }},
            {"save as version 8",
             [&] {
                 options.Filter = 1795;
                 options.Version = 8;
                 corel.SaveAs(path("out/Lion.cdr"), options);
             }},
            {"save in another format", [&] { corel.SaveAs(path("out/x.cdr"), options); }},
            {"member", [&] { corel.setDocumentMember(0); }},
            {"close drawing", [&] { corel.Close(); }},
        };
        return errorNumberOf([&] {
            for (const QString& name : names)
                call.at(name)();
        });
    }
    // The conversion as a distribution makes it.
    void convert()
    {
        ASSERT_EQ(calls({"open", "select all", "simplify", "save", "close", "file open", "setting",
                         "select all objects", "save as version 8", "member", "close drawing"}),
                  0);
    }

    TestEnvironment env;
};

TEST_F(DrawingProgramsTest, TakeTheirCallsInOrderAndRaiseTheRuntimesFileErrors)
{
    const QStringList simplified = {"open", "select all", "simplify"};
    const QStringList selected = {"open", "select all", "simplify", "save", "close", "file open", "setting",
                                  "select all objects"};
    struct Case {
        const char* name;
        QStringList calls;
        int error;
    } cases[] = {
        {"an action with no document open", {"select all"}, 440},
        {"simplify before select all", {"open", "simplify"}, 440},
        {"an action of another set", {"open", "select all of another set"}, 440},
        {"a save before the actions", {"open", "save"}, 440},
        {"a close before the save", {"open", "close"}, 440},
        {"a picture that is missing", {"open a missing picture"}, 53},
        {"a folder that is missing", simplified + QStringList{"save into a missing folder"}, 76},
        {"a target that is a folder", simplified + QStringList{"save onto a folder"}, 75},
        {"a drawing with no file open", {"select all objects"}, 440},
        {"an .ai that no stand-in wrote", {"file open of another drawing"}, 440},
        {"a save in another format", selected + QStringList{"save in another format"}, 440},
        {"a close of the drawing before its save", selected + QStringList{"close drawing"}, 440},
    };
    for (const Case& c : cases)
        EXPECT_EQ(calls(c.calls), c.error) << c.name;
}

TEST_F(DrawingProgramsTest, GhostscriptRendersTheAiDrawingAtThePicturesSize)
{
    convert();
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
    convert();
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
    // A name's line break stays out of the document's comments.
    EXPECT_TRUE(aiDrawing(twoColours({2, 2}), "a\nb.ai").contains("%%Title: (a?b.ai)\n"));
}

TEST(AiDrawingTest, ClearPartsOfAPictureLieOnWhitePaper)
{
    QImage picture(4, 2, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixel(0, 0, qRgba(200, 0, 0, 255));
    const QImage drawn = aiDrawingPicture(aiDrawing(picture, "clear.ai"));
    ASSERT_EQ(drawn.size(), picture.size());
    EXPECT_EQ(drawn.pixel(0, 0), qRgb(200, 0, 0));
    EXPECT_EQ(drawn.pixel(3, 1), qRgb(255, 255, 255));
}

}  // namespace
