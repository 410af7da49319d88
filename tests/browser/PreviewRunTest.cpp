// The folder thumbnail run as the browser starts it: which files get cells,
// the grid's rows, the stop, restart and error rules, and the grid's actions
// on the cells it made.

#include "BrowserSupport.h"

#include "browser/PreviewRun.h"
#include "search/ImgPre.h"
#include "search/ShowImagePreview.h"

#include "platform/AiDrawing.h"
#include "platform/FileListBox.h"
#include "runtime/RuntimeError.h"
#include "support/ReadOnlyFolder.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>

using platform::Forms;

namespace {

QByteArray pictureBytes(const char* format, QColor colour = Qt::darkBlue)
{
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

class PreviewRunTest : public BrowserTestBase {
protected:
    void SetUp() override
    {
        BrowserTestBase::SetUp();
        Forms::registerForm(ImgPreFormName, [] { return new ImgPre; });
    }

    // Writes the files into e:\Pics; a name ending in ".bad" is written as a
    // picture name holding no picture (the ".bad" dropped).
    void writeFolder(const QString& folder, const QStringList& names)
    {
        for (const QString& name : names) {
            const QString file = QStringLiteral("e/") + folder + u'/';
            if (name.endsWith(QStringLiteral(".bad")))
                env.writeFile(file + name.chopped(4), "no picture here");
            else if (name.endsWith(QStringLiteral(".gif"), Qt::CaseInsensitive))
                copyTestPicture(QStringLiteral("gif/pil-chi.gif"), file + name);
            else if (name.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive))
                env.writeFile(file + name, pictureBytes("JPG"));
            else
                env.writeFile(file + name, pictureBytes("BMP"));
        }
        QDir().mkpath(env.hostPath(QStringLiteral("e/") + folder));
    }

    Browser& runOn(const QString& folder)
    {
        Browser& form = browser();
        form.Dir1->setPath(QStringLiteral("e:\\") + folder);
        form.Command1_Click();
        return form;
    }

    static QStringList cellNames(const Browser& form, int count)
    {
        QStringList names;
        for (int n = 0; n < count; ++n)
            names << form.GridCells(n / 3, n % 3).FileName;
        return names;
    }
};

struct FolderCase {
    const char* name;
    QStringList files;
    QStringList cells;  // the first cells' file names, "" for an empty cell
    int rows;
    QString message = {};
    QString removedAtFirstPump = {};  // a file that vanishes while the run works
};

class FolderRunTest : public PreviewRunTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(FolderRunTest, PlacesEachPictureInTheNextCell)
{
    const FolderCase& c = GetParam();
    writeFolder(QStringLiteral("Pics"), c.files);
    if (!c.removedAtFirstPump.isEmpty())
        QTimer::singleShot(0, [&] { QFile::remove(env.hostPath(QStringLiteral("e/Pics/") + c.removedAtFirstPump)); });
    Browser& form = runOn(QStringLiteral("Pics"));

    EXPECT_EQ(cellNames(form, static_cast<int>(c.cells.size()) + 1), c.cells + QStringList{""});
    EXPECT_EQ(form.Preview->Rows(), c.rows);
    EXPECT_EQ(env.dialogs().prompts(), c.message.isEmpty() ? QStringList{} : QStringList{c.message});
    EXPECT_TRUE(form.Command1->isEnabled());
    EXPECT_FALSE(ListSearch.PreviewBusy);
    // Screen readers name each cell by its file.
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(form.Preview)->tableInterface();
    for (int n = 0; n < c.cells.size(); ++n) {
        form.Preview->setRow(n / 3);
        form.Preview->setCol(n % 3);
        EXPECT_EQ(form.Preview->CellPicture().isNull(), c.cells[n].isEmpty()) << n;
        EXPECT_EQ(table->cellAt(n / 3, n % 3)->text(QAccessible::Name), c.cells[n]) << n;
    }
    if (!c.cells.isEmpty()) {
        EXPECT_EQ(form.GridCells(0, 0).Folder, QStringLiteral("E:\\Pics\\"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderRunTest,
    ::testing::Values(
        FolderCase{"pictures_and_a_drawing", {"a.bmp", "b.txt", "c.JPG", "d.cdr.bad"}, {"a.bmp", "c.JPG", "d.cdr"}, 3},
        FolderCase{"no_pictures", {"b.txt", "x.jpeg"}, {}, 3},
        FolderCase{"seven_pictures", {"1.bmp", "2.bmp", "3.gif", "4.bmp", "5.jpg", "6.bmp", "7.bmp"},
                   {"1.bmp", "2.bmp", "3.gif", "4.bmp", "5.jpg", "6.bmp", "7.bmp"}, 3},
        FolderCase{"ten_pictures", {"01.bmp", "02.bmp", "03.bmp", "04.bmp", "05.bmp", "06.bmp", "07.bmp", "08.bmp",
                                    "09.bmp", "10.bmp"},
                   {"01.bmp", "02.bmp", "03.bmp", "04.bmp", "05.bmp", "06.bmp", "07.bmp", "08.bmp", "09.bmp", "10.bmp"},
                   4},
        FolderCase{"invalid_picture_shows_the_placeholder_and_its_name", {"a.bmp", "b.jpg.bad", "c.bmp", "d.bmp"},
                   {"a.bmp", "b.jpg", "c.bmp", "d.bmp"}, 3},
        FolderCase{"name_shorter_than_four_characters", {"a.bmp", "gif.bad", "h.bmp"}, {"a.bmp", "", "h.bmp"}, 3,
                   "Preview Error: 5 Invalid procedure call or argument: E:\\Pics\\gif"},
        FolderCase{"picture_removed_during_the_run", {"a.bmp", "b.bmp", "c.bmp"}, {"a.bmp", "", "c.bmp"}, 3,
                   "Preview Error: 53 File not found: E:\\Pics\\b.bmp", "b.bmp"},
        FolderCase{"names_holding_characters_windows_forbids", {"a<b>.jpg", "b.bmp", "what?.jpg", "x\"y\".bmp",
                                                                "z.gif"},
                   {"a<b>.jpg", "b.bmp", "what?.jpg", "x\"y\".bmp", "z.gif"}, 3}),
    [](const ::testing::TestParamInfo<FolderCase>& row) { return std::string(row.param.name); });

TEST_F(PreviewRunTest, AFolderWithoutPicturesKeepsTheRowsOfThePreviousRunAndEmptiesEveryCell)
{
    writeFolder(QStringLiteral("Many"), {"01.bmp", "02.bmp", "03.bmp", "04.bmp", "05.bmp", "06.bmp", "07.bmp",
                                         "08.bmp", "09.bmp", "10.bmp", "11.bmp", "12.bmp", "13.bmp"});
    writeFolder(QStringLiteral("None"), {"read.txt"});
    Browser& form = runOn(QStringLiteral("Many"));
    EXPECT_EQ(form.Preview->Rows(), 5);
    runOn(QStringLiteral("None"));
    EXPECT_EQ(form.Preview->Rows(), 5);
    EXPECT_TRUE(form.Preview->CellPicture().isNull());
    EXPECT_TRUE(form.GridCells(0, 0).FileName.isEmpty());
}

TEST_F(PreviewRunTest, ADrawingWithoutAPreviewAndAPictureThatCannotBeDrawnShowThePlaceholder)
{
    writeFolder(QStringLiteral("Pics"), {"b.jpg.bad", "d.cdr.bad"});
    Browser& form = runOn(QStringLiteral("Pics"));
    const QImage drawing = form.Preview->CellPicture();
    ASSERT_FALSE(drawing.isNull());
    // The placeholder is a picture of its own, not the grey field alone.
    EXPECT_NE(drawing.pixelColor(drawing.width() / 2, drawing.height() / 2), QColor(240, 240, 240));
    form.Preview->setCol(0);
    EXPECT_EQ(form.Preview->CellPicture(), drawing);
    form.Preview_Click();
    EXPECT_EQ(form.FileDesc->text(), QStringLiteral("b.jpg"));
}

// An installed program's folder cannot be written: the drawing's preview goes
// to the user's cache folder instead. Either way no preview file is left.
class DrawingPreviewPlaceTest : public PreviewRunTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DrawingPreviewPlaceTest, EveryCellIsFilledAndNoPreviewFileIsLeft)
{
    QImage drawn(90, 60, QImage::Format_RGB32);
    drawn.fill(Qt::darkCyan);
    env.writeFile(QStringLiteral("e/Art/a.cdr"), platform::cdrDrawing(platform::aiDrawing(drawn, "a.ai"), drawn));
    writeFolder(QStringLiteral("Art"), {"b.bmp"});
    const QByteArray cacheBefore = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", env.hostPath(QStringLiteral("cache")).toLocal8Bit());
    const QStringList programFiles = QDir(env.programHostFolder()).entryList(QDir::Files);
    {
        std::optional<ReadOnlyFolder> installed;
        if (GetParam())
            installed.emplace(env.programHostFolder());
        EXPECT_EQ(cellNames(runOn(QStringLiteral("Art")), 3), QStringList({"a.cdr", "b.bmp", ""}));
    }
    qputenv("XDG_CACHE_HOME", cacheBefore);
    EXPECT_EQ(env.dialogs().prompts(), QStringList{});
    EXPECT_EQ(QDir(env.programHostFolder()).entryList(QDir::Files), programFiles);
    QDirIterator cached(env.hostPath(QStringLiteral("cache")), {"*.dib"}, QDir::Files, QDirIterator::Subdirectories);
    EXPECT_FALSE(cached.hasNext()) << cached.next().toStdString();
}

INSTANTIATE_TEST_SUITE_P(ProgramFolder, DrawingPreviewPlaceTest, ::testing::Values(false, true),
                         [](const auto& row) { return std::string(row.param ? "read_only" : "writable"); });

TEST_F(PreviewRunTest, AStopRequestEndsTheRunAfterTheFileInHand)
{
    writeFolder(QStringLiteral("Pics"), {"a.bmp", "b.bmp", "c.bmp"});
    ListSearch.StopFlag = true;
    Browser& form = runOn(QStringLiteral("Pics"));
    EXPECT_EQ(cellNames(form, 2), QStringList({"a.bmp", ""}));
    EXPECT_TRUE(ListSearch.StopFlag);
    EXPECT_FALSE(ListSearch.PreviewBusy || ListSearch.PreviewStop || ListSearch.PreviewRestart);
    EXPECT_TRUE(form.Command1->isEnabled());
}

struct ChangeDuringRunCase {
    const char* name;
    bool autoPreview;
    QStringList cells;
};

class FolderChangeDuringRunTest : public PreviewRunTest,
                                  public ::testing::WithParamInterface<ChangeDuringRunCase> {};

TEST_P(FolderChangeDuringRunTest, RestartsOnTheNewFolderOrStops)
{
    writeFolder(QStringLiteral("Old"), {"o1.bmp", "o2.bmp", "o3.bmp"});
    writeFolder(QStringLiteral("New"), {"n1.bmp", "n2.bmp"});
    Browser& form = browser();
    form.Dir1->setPath(QStringLiteral("e:\\Old"));
    form.AutoPrev->setChecked(GetParam().autoPreview);
    // The user picks another folder while the run pumps after its first picture.
    QTimer::singleShot(0, &form, [&form] { form.Dir1->setPath(QStringLiteral("e:\\New")); });
    form.Command1_Click();

    EXPECT_EQ(cellNames(form, 3), GetParam().cells);
    EXPECT_FALSE(ListSearch.PreviewBusy || ListSearch.PreviewStop || ListSearch.PreviewRestart);
    EXPECT_EQ(form.Dir1->Path(), QStringLiteral("E:\\New"));
}

INSTANTIATE_TEST_SUITE_P(Cases, FolderChangeDuringRunTest,
                         ::testing::Values(ChangeDuringRunCase{"auto_preview_on", true, {"n1.bmp", "n2.bmp", ""}},
                                           ChangeDuringRunCase{"auto_preview_off", false, {"o1.bmp", "", ""}}),
                         [](const ::testing::TestParamInfo<ChangeDuringRunCase>& row) {
                             return std::string(row.param.name);
                         });

TEST_F(PreviewRunTest, ClosingTheBrowserDuringARunEndsItQuietlyAndTheProgram)
{
    writeFolder(QStringLiteral("Pics"), {"a.bmp", "b.bmp", "c.bmp"});
    Forms::get(QStringLiteral("SearchForm"));
    Browser& form = browser();
    QPointer<Browser> alive(&form);
    form.Dir1->setPath(QStringLiteral("e:\\Pics"));
    QTimer::singleShot(0, &form, [&form] { form.close(); });
    form.Command1_Click();
    EXPECT_TRUE(!alive || alive->isUnloaded());
    EXPECT_TRUE(StubForm::log.contains("SearchForm unload"));
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
    EXPECT_TRUE(QFile::exists(env.hostPath(QStringLiteral("e/Pics/c.bmp"))));
}

TEST_F(PreviewRunTest, AStartWithAutoPreviewShowsTheWindowBeforeTheFirstThumbnail)
{
    writeFolder(QStringLiteral("Pics"), {"a.bmp", "b.bmp"});
    ListSearch.LastBrowsed = QStringLiteral("e:\\Pics");
    ListSearch.AutoPreview = true;
    Browser& form = browser();
    form.Show();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.Preview->CellPicture().isNull());
    EXPECT_TRUE(form.GridCells(0, 0).FileName.isEmpty());
    QTRY_COMPARE(form.GridCells(0, 1).FileName, QStringLiteral("b.bmp"));
}

TEST_F(PreviewRunTest, PastTheCellTableTheRunEndsWithError9)
{
    const QByteArray tiny = [] {
        QImage image(2, 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "BMP");
        return bytes;
    }();
    for (int i = 0; i < 6005; ++i)
        env.writeFile(QStringLiteral("e/Big/%1.bmp").arg(i, 5, 10, QLatin1Char('0')), tiny);
    Browser& form = runOn(QStringLiteral("Big"));
    EXPECT_EQ(env.dialogs().prompts(), QStringList{"Preview Error: 9 Subscript out of range"});
    EXPECT_EQ(form.Preview->Rows(), 2002);
    EXPECT_EQ(form.GridCells(2000, 2).FileName, QStringLiteral("06002.bmp"));
    EXPECT_TRUE(form.Command1->isEnabled());
}

TEST(PicturesToProcessTest, TakesTheLastThreeCharactersUpToTheFirstEmptyName)
{
    const std::vector<QString> names = {"a.BMP", "b.jpeg", "abmp", "c.cdr", "d.emf", "e.Wmf", "f.txt",
                                        "g?.gif", "", "after.gif"};
    EXPECT_EQ(picturesToProcess(names), QStringList({"a.BMP", "abmp", "c.cdr", "d.emf", "e.Wmf", "g?.gif"}));
}

TEST(RunErrorActionTest, DecidesByTheErrorNumber)
{
    struct Case {
        int number;
        int retries;
        std::int16_t ConvertStage;
        bool stopAsked;
        RunErrorAction action;
    };
    const Case cases[] = {
        {UnspecifiedFailure, 0, 0, false, RunErrorAction::Retry},
        {UnspecifiedFailure, 99, 0, false, RunErrorAction::Retry},
        {UnspecifiedFailure, 100, 0, false, RunErrorAction::EndWithMessage},
        {UnspecifiedFailure, 100, 0, true, RunErrorAction::End},
        {481, 0, 0, false, RunErrorAction::SkipPicture},
        {380, 0, 0, false, RunErrorAction::GoOn},
        {76, 0, 2, false, RunErrorAction::GoOn},
        {1000, 0, 3, false, RunErrorAction::GoOn},
        {1000, 0, 2, false, RunErrorAction::End},
        {1000, 0, 0, false, RunErrorAction::End},
        {53, 0, 0, false, RunErrorAction::End},
        {5, 0, 0, false, RunErrorAction::EndWithMessage},
        {9, 0, 3, true, RunErrorAction::End},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(runErrorAction(c.number, c.retries, c.ConvertStage, c.stopAsked), c.action)
            << c.number << " after " << c.retries << " in stage " << c.ConvertStage;
    }
}

// ---- the grid's actions on the cells a run made ----

struct PopUpCase {
    const char* name;
    const char* file;
    QStringList entries;
    const char* defaultEntry;
};

class PopUpTest : public PreviewRunTest, public ::testing::WithParamInterface<PopUpCase> {};

TEST_P(PopUpTest, OffersTheEntriesForItsKindOfFile)
{
    writeFolder(QStringLiteral("Pics"), {QString::fromLatin1(GetParam().file)});
    Browser& form = runOn(QStringLiteral("Pics"));
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect cell = form.Preview->visualRect(form.Preview->model()->index(0, 0));
    QTest::mouseClick(form.Preview->viewport(), Qt::RightButton, {}, cell.center());

    QStringList entries;
    for (QAction* action : form.BrPopUp->actions()) {
        if (action->isVisible())
            entries << action->text();
    }
    EXPECT_EQ(entries, GetParam().entries);
    EXPECT_EQ(form.BrPopUp->defaultAction() ? form.BrPopUp->defaultAction()->text() : QString(),
              QString::fromLatin1(GetParam().defaultEntry));
    EXPECT_EQ(form.SelFolder, QStringLiteral("E:\\Pics\\\\"));
    form.BrPopUp->hide();
    if (form.BrCopy->isVisible()) {
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        form.BrCopy->trigger();
        letQueuedCallsRun();
        EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(60, 40));
    }
    form.BrOpen->trigger();
    letQueuedCallsRun();
    ASSERT_EQ(env.shell().calls.size(), 1u);
    EXPECT_EQ(env.shell().calls[0].file, QStringLiteral("E:\\Pics\\\\") + GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PopUpTest,
    ::testing::Values(PopUpCase{"picture", "a.BMP",
                                {"Open (with Associated Program)", "Open Containing Folder", "Copy to Clipboard",
                                 "Preview"},
                                "Preview"},
                      PopUpCase{"drawing", "d.cdr", {"Open (with Associated Program)", "Open Containing Folder"}, ""}),
    [](const ::testing::TestParamInfo<PopUpCase>& row) { return std::string(row.param.name); });

TEST_F(PreviewRunTest, DoubleClickPreviewsAPictureAndDoesNothingForAFileMovedAway)
{
    writeFolder(QStringLiteral("Pics"), {"a.bmp", "b.bmp"});
    Browser& form = runOn(QStringLiteral("Pics"));
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QFile::remove(env.hostPath(QStringLiteral("e/Pics/b.bmp")));
    const auto cellCentre = [&form](int col) {
        return form.Preview->visualRect(form.Preview->model()->index(0, col)).center();
    };

    QTest::mouseDClick(form.Preview->viewport(), Qt::LeftButton, {}, cellCentre(1));
    letQueuedCallsRun();
    EXPECT_FALSE(Forms::isLoaded(ImgPreFormName));
    QTest::mouseClick(form.Preview->viewport(), Qt::LeftButton, {}, cellCentre(1));
    EXPECT_EQ(form.FileDesc->text(), QStringLiteral("b.bmp"));

    QTest::mouseDClick(form.Preview->viewport(), Qt::LeftButton, {}, cellCentre(0));
    letQueuedCallsRun();
    ASSERT_TRUE(Forms::isLoaded(ImgPreFormName));
    EXPECT_EQ(Forms::find(ImgPreFormName)->windowTitle(), QStringLiteral("Brisca Image Preview: a.bmp"));
    EXPECT_TRUE(env.shell().calls.empty());
    QTest::mouseClick(form.Preview->viewport(), Qt::LeftButton, {}, cellCentre(2));
    EXPECT_EQ(form.FileDesc->text(), QString());
}

// The keys a user presses in the grid after tabbing into it, in order, and
// what each leaves: the focus, the name under the grid (as a screen reader
// reads it too), and the popup's entries (0: no popup).
struct GridKey {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* focus;  // "grid", "files" or "other"
    const char* shown;
    int popUpEntries;
};

TEST_F(PreviewRunTest, TheKeyboardMovesThroughTheCellsActsOnThemAndLeavesTheGrid)
{
    writeFolder(QStringLiteral("Pics"), {"a.bmp", "b.bmp", "d.cdr.bad"});
    Browser& form = runOn(QStringLiteral("Pics"));
    form.Show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.File1->setFocus();
    const GridKey keys[] = {
        {Qt::Key_Tab, {}, "grid", "", 0},
        {Qt::Key_Left, {}, "grid", "b.bmp", 0},
        {Qt::Key_F10, Qt::ShiftModifier, "grid", "b.bmp", 4},
        {Qt::Key_Right, {}, "grid", "d.cdr", 0},
        {Qt::Key_Menu, {}, "grid", "d.cdr", 2},
        {Qt::Key_F10, {}, "grid", "d.cdr", 0},
        {Qt::Key_Down, {}, "grid", "", 0},
        {Qt::Key_Backtab, Qt::ShiftModifier, "files", "", 0},
        {Qt::Key_Tab, {}, "grid", "", 0},
        {Qt::Key_Tab, {}, "other", "", 0},
    };
    for (const GridKey& k : keys) {
        QTest::keyClick(QApplication::focusWidget(), k.key, k.modifiers);
        letQueuedCallsRun();
        const QWidget* focus = QApplication::focusWidget();
        const int step = static_cast<int>(&k - keys);
        EXPECT_EQ(focus == form.Preview ? "grid" : focus == form.File1 ? "files" : "other", std::string(k.focus)) << step;
        EXPECT_EQ(form.FileDesc->text(), k.shown) << step;
        EXPECT_EQ(QAccessible::queryAccessibleInterface(form.FileDesc)->text(QAccessible::Name), k.shown) << step;
        const QList<QAction*> entries = form.BrPopUp->actions();
        const auto offered = std::count_if(entries.begin(), entries.end(), [](QAction* a) { return a->isVisible(); });
        EXPECT_EQ(form.BrPopUp->isVisible() ? offered : 0, k.popUpEntries) << step;
        form.BrPopUp->hide();
    }
    // Enter on a cell does what a double click does.
    form.Preview->setFocus();
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Left, Qt::Key_Return})
        QTest::keyClick(form.Preview, key);
    letQueuedCallsRun();
    ASSERT_TRUE(Forms::isLoaded(ImgPreFormName));
    EXPECT_EQ(Forms::find(ImgPreFormName)->windowTitle(), QStringLiteral("Brisca Image Preview: b.bmp"));
}

}  // namespace

namespace {

TEST_F(PreviewRunTest, ClosingDuringARunTheUserStartedByOpeningAFolderEndsQuietly)
{
    writeFolder(QStringLiteral("Pics"), {"a.bmp", "b.bmp", "c.bmp"});
    Forms::get(QStringLiteral("SearchForm"));
    Browser& form = browser();
    QPointer<Browser> alive(&form);
    form.AutoPrev->setChecked(true);
    form.Dir1->setPath(QStringLiteral("e:\\"));
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QListWidgetItem* pics = form.Dir1->item(form.Dir1->count() - 1);
    ASSERT_EQ(pics->text().trimmed(), QStringLiteral("Pics"));
    QTimer::singleShot(0, &form, [&form] {
        // The run is under way: the folder opened, its first picture placed.
        QTimer::singleShot(0, &form, [&form] { form.close(); });
    });
    QTest::mouseDClick(form.Dir1->viewport(), Qt::LeftButton, {}, form.Dir1->visualItemRect(pics).center());
    QTRY_VERIFY(!alive || alive->isUnloaded());
    EXPECT_TRUE(StubForm::log.contains("SearchForm unload"));
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

}  // namespace
