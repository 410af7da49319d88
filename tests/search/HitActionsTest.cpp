// Hit rows turned into real files (under their location, then on the CD
// drive), the hit list's popup menu and double click, the launch handlers over
// a recording shell, and the collector of directory names.

#include "platform/Forms.h"
#include "platform/HostNames.h"
#include "platform/Shell.h"
#include "runtime/RuntimeError.h"
#include "search/HitActions.h"
#include "search/HitListModel.h"
#include "search/ImgPre.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "search/ShowImagePreview.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using platform::Forms;
using Kind = platform::DriveTable::Kind;

namespace {

// The message a search on a drive without a readable disc gives, with %1 for
// the folder and name the file was expected at.
const QString NoDiscMessage = QStringLiteral(
    "Could not find the requested file. \r\n\r\n"
    "If the file is on a CD make sure that the correct CD is in the drive.\r\n\r\n"
    "The file was expected at: %1\r\n\r\n"
    "If you want to select a diferent drive letter for files on CD pick a Select CD Drive on the File menu.");

const HitFile TreeHit{QStringLiteral("Art"), QStringLiteral("\\Clip\\Sub\\"), QStringLiteral("tree.gif")};

class HitActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        env.mapDrive(u'e', QStringLiteral("local"));
        env.mapDrive(u'd', QStringLiteral("cd"), Kind::CdRom);
        ListSearch.OffLineDrive = QStringLiteral("d:");
    }

    void TearDown() override
    {
        Forms::reset();
        ListSearch = ListSearchModule{};
    }

    static void addLocation(const QString& description, const QString& path)
    {
        ++ListSearch.LocCount;
        ListSearch.Locations[ListSearch.LocCount] = {QString(), description, path};
    }

    void put(const QString& relative, const QByteArray& bytes = "x") { env.writeFile(relative, bytes); }

    TestEnvironment env;
    platform::RecordingShell& shell = env.shell();
};

// ---- Finding the file ----

struct ResolveCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> locations;
    std::vector<const char*> files;  // sandbox paths: local/ is e:, cd/ is d:
    HitFile hit;
    const char* foundName;
    const char* foundFolder;
    const char* expectedAt;  // the no-disc message's file, when it shows
};

void PrintTo(const ResolveCase& c, std::ostream* os) { *os << c.name; }

class ResolveHitPathTest : public HitActionsTest, public ::testing::WithParamInterface<ResolveCase> {};

TEST_P(ResolveHitPathTest, FindsTheFileOrSaysWhereItWasExpected)
{
    const ResolveCase& c = GetParam();
    for (const auto& [description, path] : c.locations)
        addLocation(QString::fromLatin1(description), QString::fromLatin1(path));
    for (const char* file : c.files)
        put(platform::hostText(file));  // the bytes as the disk holds them

    QString folder;
    const QString name = ResolveHitPath(c.hit, folder);

    EXPECT_EQ(name, QString::fromUtf8(c.foundName));
    EXPECT_EQ(folder, QString::fromUtf8(c.foundFolder));
    const QStringList expected =
        c.expectedAt ? QStringList{NoDiscMessage.arg(QString::fromLatin1(c.expectedAt))} : QStringList{};
    EXPECT_EQ(env.dialogs().prompts(), expected);
}

const char* const LongName = "Sunset over the harbour with fishing boats and gulls in flight num";  // 66 characters

INSTANTIATE_TEST_SUITE_P(
    Hits, ResolveHitPathTest,
    ::testing::Values(
        ResolveCase{"InItsLocation", {{"Art", "e:\\Clip"}}, {"local/Clip/Sub/tree.gif"}, TreeHit,
                    "tree.gif", "e:\\Clip\\Sub\\", nullptr},
        ResolveCase{"LocationPathEndingInBackslash", {{"Art", "e:\\Clip\\"}}, {"local/Clip/Sub/tree.gif"}, TreeHit,
                    "tree.gif", "e:\\Clip\\Sub\\", nullptr},
        ResolveCase{"AtTheLocationsTop", {{"Art", "e:\\Clip"}}, {"local/Clip/tree.gif"},
                    {"Art", "\\Clip\\", "tree.gif"}, "tree.gif", "e:\\Clip\\", nullptr},
        ResolveCase{"MissingInItsLocationButOnTheCd", {{"Art", "e:\\Clip"}},
                    {"local/Clip/Sub/other.gif", "cd/Clip/Sub/tree.gif"}, TreeHit, "tree.gif", "d:\\Clip\\Sub\\",
                    nullptr},
        ResolveCase{"DescriptionWithOuterBlanksIsNeverMatched", {{" Art ", "e:\\Clip"}},
                    {"local/Clip/Sub/tree.gif", "cd/Clip/Sub/tree.gif"}, TreeHit, "tree.gif", "d:\\Clip\\Sub\\",
                    nullptr},
        ResolveCase{"DescriptionMatchedWithCase", {{"ART", "e:\\Clip"}},
                    {"local/Clip/Sub/tree.gif", "cd/Clip/Sub/tree.gif"}, TreeHit, "tree.gif", "d:\\Clip\\Sub\\",
                    nullptr},
        ResolveCase{"OnlyTheFirstOfTwoEqualDescriptionsIsSearched", {{"Art", "e:\\Clip"}, {"Art", "e:\\Copy"}},
                    {"local/Clip/Sub/x.gif", "local/Copy/Sub/tree.gif", "cd/Clip/Sub/tree.gif"}, TreeHit,
                    "tree.gif", "d:\\Clip\\Sub\\", nullptr},
        ResolveCase{"MissingEverywhere", {{"Art", "e:\\Clip"}}, {"local/Clip/Sub/x.gif", "cd/Clip/x.gif"}, TreeHit,
                    "", "", nullptr},
        ResolveCase{"CdDriveWithoutDisc", {}, {}, TreeHit, "", "", "d:\\Clip\\Sub\\tree.gif"},
        // The listing wrote "?" for each character its code page lacks.
        ResolveCase{"FolderListedWithQuestionMarks", {{"Art", "e:\\Clip"}}, {"local/Clip/\xCE\xA9mega/tree.gif"},
                    {"Art", "\\Clip\\?mega\\", "tree.gif"}, "tree.gif", "e:\\Clip\\\xCE\xA9mega\\", nullptr},
        ResolveCase{"FolderNamedWithAQuestionMarkIsTakenAsItIs", {{"Art", "e:\\Clip"}},
                    {"local/Clip/\xCE\xA9mega/x.gif", "local/Clip/?mega/tree.gif"},
                    {"Art", "\\Clip\\?mega\\", "tree.gif"}, "tree.gif", "e:\\Clip\\?mega\\", nullptr},
        // Names in Latin-1 bytes on an old disc, read from a listing in Windows-1252.
        ResolveCase{"Latin1NamesOnTheCd", {}, {"cd/Photos \xE9t\xE9/lat\xE9in1.gif"},
                    {"Art", "\\Photos \xC3\xA9t\xC3\xA9\\", "lat\xC3\xA9in1"}, "lat\xC3\xA9in1.gif",
                    "d:\\Photos \xC3\xA9t\xC3\xA9\\", nullptr},
        ResolveCase{"LocationOnADriveWithoutDiscEndsTheSearch", {{"Art", "f:\\Clip"}}, {"cd/Clip/Sub/tree.gif"},
                    TreeHit, "", "", "f:\\Clip\\Sub\\tree.gif"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(HitActionsTest, NameCutShortFindsTheFileSystemsFirstLongerName)
{
    const QString base = QString::fromLatin1(LongName);
    put("local/Clip/Sub/" + base + "ber 2.gif");
    put("local/Clip/Sub/" + base + "ber 1.gif");
    addLocation(QStringLiteral("Art"), QStringLiteral("e:\\Clip"));

    QString folder;
    const QString name = ResolveHitPath(HitFile{"Art", "\\Clip\\Sub\\", base.left(65)}, folder);

    EXPECT_EQ(name, base + "ber 1.gif");
    EXPECT_EQ(folder, u"e:\\Clip\\Sub\\");
}

TEST_F(HitActionsTest, WithoutACdDriveTheFolderIsTakenOnTheCurrentDrive)
{
    put(QStringLiteral("disc/Clip/tree.gif"));
    ListSearch.OffLineDrive.clear();
    // The listing's folder as it would stand on the current drive (c:, the host root).
    const QString folder = env.windowsPath(QStringLiteral("disc/Clip")).mid(2) + "\\";

    QString found;
    EXPECT_EQ(ResolveHitPath(HitFile{"Art", folder, "tree.gif"}, found), u"tree.gif");
    EXPECT_EQ(found, folder);
}

TEST_F(HitActionsTest, OtherErrorsAndNoRow)
{
    QString folder;
    EXPECT_EQ(ResolveHitPath(std::nullopt, folder), u"");
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());

    // A location path too short for the folder arithmetic.
    addLocation(QStringLiteral("Art"), QStringLiteral("e"));
    EXPECT_EQ(ResolveHitPath(TreeHit, folder), u"");
    EXPECT_EQ(env.dialogs().prompts(), QStringList{"Launch Error: 5 Invalid procedure call or argument"});
}

// ---- The hit list's popup menu and double click ----

class HitListTest : public HitActionsTest {
protected:
    void SetUp() override
    {
        HitActionsTest::SetUp();
        Forms::registerForm(ImgPreFormName, [] { return new ImgPre; });
        addLocation(QStringLiteral("Art"), QStringLiteral("e:\\Clip"));
        put(QStringLiteral("cd/readme.txt"));  // a disc is in the CD drive
        form = std::make_unique<SearchForm>();
        form->show();
    }

    void TearDown() override
    {
        form->ItemMenu->close();
        form.reset();
        HitActionsTest::TearDown();
    }

    // Lists one hit named `name` in e:\Clip\Sub\; `onDisk` puts the file there.
    void listHit(const QString& name, bool onDisk = true, const QByteArray& bytes = "x")
    {
        if (onDisk)
            put("local/Clip/Sub/" + name, bytes);
        form->hitModel->appendRows({HitRow{{100, "Art", "\\Clip\\Sub\\", name}, Qt::blue}});
    }

    QPoint firstRowCentre() const
    {
        return form->HitList->visualRect(form->hitModel->index(0, HitListModel::Name)).center();
    }

    void release(Qt::MouseButton button)
    {
        QTest::mouseClick(form->HitList->viewport(), button, {}, firstRowCentre());
    }

    // As the window system delivers a double click: press, release, double click, release.
    void doubleClick()
    {
        QWidget* viewport = form->HitList->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, firstRowCentre());
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, firstRowCentre());
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, firstRowCentre());
    }

    void selectFirstRow() { form->HitList->setCurrentIndex(form->hitModel->index(0, 0)); }

    std::unique_ptr<SearchForm> form;
};

struct MenuCase {
    const char* name;
    bool preview;
    bool enqueue;
};

void PrintTo(const MenuCase& c, std::ostream* os) { *os << c.name; }

class ItemMenuTest : public HitListTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(ItemMenuTest, RightReleaseShowsTheEntriesForTheExtension)
{
    listHit(QString::fromLatin1(GetParam().name));

    release(Qt::RightButton);

    ASSERT_TRUE(form->ItemMenu->isVisible());
    EXPECT_EQ(form->ItemMenu->pos(), form->HitList->viewport()->mapToGlobal(firstRowCentre()));
    EXPECT_TRUE(form->CtLaunch->isVisible());
    EXPECT_TRUE(form->CTOpFolder->isVisible());
    EXPECT_EQ(form->ShowPreview->isVisible(), GetParam().preview);
    EXPECT_EQ(form->CTQueue->isVisible(), GetParam().enqueue);
    EXPECT_EQ(form->ItemMenu->defaultAction(), form->ShowPreview);
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Extensions, ItemMenuTest,
                         ::testing::Values(MenuCase{"tree.JPG", true, false}, MenuCase{"tree.jpeg", false, false},
                                           MenuCase{"map.wmf", true, false}, MenuCase{"song.mp3", false, true},
                                           MenuCase{"bell.wav", false, true}, MenuCase{"notes.txt", false, false}),
                         [](const auto& row) { return QString::fromLatin1(row.param.name).replace('.', '_').toStdString(); });

TEST_F(HitListTest, EitherButtonChoosesAnEntry)
{
    listHit(QStringLiteral("tree.gif"));
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        release(Qt::RightButton);
        ASSERT_TRUE(form->ItemMenu->isVisible());
        const QPoint entry = form->ItemMenu->actionGeometry(form->CTOpFolder).center();
        QTest::mouseMove(form->ItemMenu, entry);
        QTest::mouseClick(form->ItemMenu, button, {}, entry);
        EXPECT_FALSE(form->ItemMenu->isVisible());
    }

    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[1].verb, u"open");
    EXPECT_EQ(shell.calls[1].file, u"e:\\Clip\\Sub\\");
}

TEST_F(HitListTest, OnlyTheRightButtonActsAndAMissingFileShowsNoMenu)
{
    QDir(env.hostPath(QStringLiteral("cd"))).removeRecursively();  // a CD drive whose folder is gone has no disc
    listHit(QStringLiteral("tree.gif"), false);

    release(Qt::LeftButton);
    release(Qt::MiddleButton);
    EXPECT_FALSE(form->ItemMenu->isVisible());
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());

    release(Qt::RightButton);
    EXPECT_FALSE(form->ItemMenu->isVisible());
    EXPECT_EQ(env.dialogs().prompts(), QStringList{NoDiscMessage.arg("d:\\Clip\\Sub\\tree.gif")});
}

TEST_F(HitListTest, RightReleaseOnAFileFoundNowhereIsSilent)
{
    listHit(QStringLiteral("tree.gif"), false);
    release(Qt::RightButton);
    EXPECT_FALSE(form->ItemMenu->isVisible());
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

TEST_F(HitListTest, DoubleClickPreviewsAPicture)
{
    QFile picture(QStringLiteral(BRISCA_TEST_DATA_DIR "/gif/go-triangle-001.gif"));
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    listHit(QStringLiteral("triangle.gif"), true, picture.readAll());

    doubleClick();

    platform::FormWindow* preview = Forms::find(ImgPreFormName);
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->windowTitle(), u"Brisca Image Preview: triangle.gif");
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

TEST_F(HitListTest, DoubleClickOnASoundFileEndsInTheErrorAfterTheRetries)
{
    listHit(QStringLiteral("song.mp3"), true, QByteArray("ID3\x03\x00\x00\x00\x00\x00\x0a", 10) + QByteArray(64, '\xff'));

    doubleClick();

    EXPECT_EQ(env.dialogs().prompts(), QStringList{"Error:Invalid picture"});
    platform::FormWindow* preview = Forms::find(ImgPreFormName);
    EXPECT_TRUE(preview == nullptr || !preview->isVisible());
}

// ---- The launch handlers ----

struct LaunchCase {
    const char* name;
    QAction* SearchForm::*entry;
    const char* verb;
    const char* file;
};

void PrintTo(const LaunchCase& c, std::ostream* os) { *os << c.name; }

class LaunchTest : public HitListTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(LaunchTest, HandsTheFoundFileToTheShell)
{
    listHit(QStringLiteral("Song.MP3"));
    selectFirstRow();

    (form.get()->*GetParam().entry)->trigger();

    ASSERT_EQ(shell.calls.size(), 1u);
    const platform::RecordingShell::Call& call = shell.calls.front();
    EXPECT_EQ(call.verb, QString::fromLatin1(GetParam().verb));
    EXPECT_EQ(call.file, QString::fromLatin1(GetParam().file));
    EXPECT_EQ(call.parameters, u"");
    EXPECT_EQ(call.directory, u"e:\\Clip\\Sub\\");
    EXPECT_EQ(call.showCommand, 10);
}

TEST_P(LaunchTest, DoesNothingWithoutAFileOrARow)
{
    listHit(QStringLiteral("Song.MP3"), false);
    (form.get()->*GetParam().entry)->trigger();  // no row selected
    selectFirstRow();
    (form.get()->*GetParam().entry)->trigger();  // the file is nowhere

    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, LaunchTest,
    ::testing::Values(LaunchCase{"Open", &SearchForm::CtLaunch, "open", "e:\\Clip\\Sub\\Song.MP3"},
                      LaunchCase{"OpenFolder", &SearchForm::CTOpFolder, "open", "e:\\Clip\\Sub\\"},
                      LaunchCase{"Enqueue", &SearchForm::CTQueue, "enqueue", "e:\\Clip\\Sub\\Song.MP3"}),
    [](const auto& row) { return std::string(row.param.name); });

// A shell that fails as the runtime would inside a launch.
class FailingShell : public platform::Shell {
public:
    explicit FailingShell(int error) : error_(error) {}
    int execute(const QString&, const QString&, const QString&, const QString&, int) override
    {
        runtime::raise(error_);
    }

private:
    int error_;
};

TEST_F(HitListTest, LaunchErrorsAreTrappedWithTheirMessages)
{
    listHit(QStringLiteral("tree.gif"));
    selectFirstRow();

    FailingShell badName(runtime::err::BadFileNameOrNumber);
    platform::installShell(&badName);
    form->CtLaunch->trigger();
    FailingShell refused(runtime::err::PathFileAccessError);
    platform::installShell(&refused);
    form->CTQueue->trigger();

    EXPECT_EQ(env.dialogs().prompts(),
              (QStringList{"Bad file name Launching: e:\\Clip\\Sub\\tree.gif\r\n"
                           "The file may have been renamed, deleted or moved. Try rescanning the file lists.",
                           "Launch Error: 75Path/File access error"}));
}

// ---- Directory names ----

class ListDirNamesTest : public HitActionsTest {
protected:
    void SetUp() override
    {
        HitActionsTest::SetUp();
        for (const char* file : {"pics/b.gif", "pics/A.gif", "pics/c.txt", "pics/d.gif/inner.gif", "pics/.e.gif"})
            put(QStringLiteral("local/") + QString::fromLatin1(file));
    }
};

TEST_F(ListDirNamesTest, StoresTheNamesFromTheIndexOnAndStopsAtTheEmptyOne)
{
    std::vector<QString> names(6, QStringLiteral("old"));
    int index = 1;
    ListDirNames(QStringLiteral("e:\\pics\\*.gif"), names, index);

    EXPECT_EQ(index, 3);
    EXPECT_EQ(names, (std::vector<QString>{"old", "A.gif", "b.gif", "", "old", "old"}));
}

TEST_F(ListDirNamesTest, NoMatchLeavesTheIndexOnAnEmptyName)
{
    std::vector<QString> names(3, QStringLiteral("old"));
    int index = 1;
    ListDirNames(QStringLiteral("e:\\pics\\*.bmp"), names, index);

    EXPECT_EQ(index, 1);
    EXPECT_EQ(names, (std::vector<QString>{"old", "", "old"}));
}

TEST_F(ListDirNamesTest, AFullArrayStopsOnePastItsEnd)
{
    std::vector<QString> names(2);
    int index = 0;
    ListDirNames(QStringLiteral("e:\\pics\\*"), names, index);

    EXPECT_EQ(index, 2);
    EXPECT_EQ(names, (std::vector<QString>{"A.gif", "b.gif"}));
}

TEST_F(ListDirNamesTest, ErrorsEndItSilently)
{
    std::vector<QString> names(2, QStringLiteral("old"));
    int index = 0;
    ListDirNames(QStringLiteral("d:\\*.gif"), names, index);  // no disc
    EXPECT_EQ(index, 0);
    index = 2;
    ListDirNames(QStringLiteral("e:\\pics\\*.gif"), names, index);  // past the end
    EXPECT_EQ(index, 2);
    EXPECT_EQ(names, (std::vector<QString>{"old", "old"}));
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

}  // namespace
