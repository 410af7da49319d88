// The location rescan over a temporary tree mapped as drive d:: listings
// written through a .tmp file and put in place only when complete, each packed
// alone into its zip (checked with Info-ZIP unzip), a quit during location 2
// of 3, and the runs that end on errors.

#include "platform/Forms.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"
#include "search/Rescan.h"
#include "search/SearchForm.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString Caption = QStringLiteral("Brisca Viewer - Image Search");

QString unzip(const QStringList& arguments)
{
    QProcess process;
    process.start("unzip", arguments);
    process.waitForFinished(-1);
    return process.exitCode() == 0 ? QString::fromLatin1(process.readAllStandardOutput()) : QStringLiteral("<failed>");
}

class RescanTest : public ::testing::Test {
protected:
    TestEnvironment env;
    SearchForm form;
    // What the tree and the data folder looked like in the middle of a walk.
    QStringList duringWalk;

    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        env.mapDrive(u'd', "pictures");
        ListSearch.LocalFolder = env.windowsPath("data") + u'\\';
        env.writeFile("data/Brisca.txt", "main listing");
        env.writeFile("data/locations.txt", "");
        env.writeFile("data/Other.zip", "another archive");
    }
    void TearDown() override { ListSearch = ListSearchModule{}; }

    void addLocation(const QString& description, const QString& folder)
    {
        ++ListSearch.LocCount;
        ListSearch.Locations[ListSearch.LocCount] = {QString(), description, folder};
    }
    // A location folder with two sub-folders, each holding a picture.
    void makeTree(const QString& folder)
    {
        env.writeFile("pictures/" + folder + "/top.gif", "gif");
        env.writeFile("pictures/" + folder + "/First/one.gif", "gif");
        env.writeFile("pictures/" + folder + "/Second/two.gif", "gif");
    }
    QString data(const QString& name) const { return env.hostPath("data/" + name); }
    QString readData(const QString& name) const { return QString::fromLatin1(env.readFile("data/" + name)); }

    // Runs `look` at the first message pump after the caption reaches `step`,
    // which is inside that location's walk.
    void whenCaptionShows(const QString& step, std::function<void()> look)
    {
        QObject::connect(&form, &QWidget::windowTitleChanged, &form, [step, look](const QString& title) {
            if (title.endsWith(step))
                QTimer::singleShot(0, look);
        });
    }
};

// A description names the location's files: whatever it holds (a leading
// dot, characters Windows forbids, letters beyond Windows-1252), they are
// written and packed, with no message.
TEST_F(RescanTest, EveryDescriptionGetsItsListingAndArchive)
{
    makeTree("Art");
    const QStringList descriptions = {".NET icons", "a<b", QString::fromUtf8("\xCE\xA9mega")};
    for (const QString& description : descriptions)
        addLocation(description, "D:\\Art");

    RescanLocations(form);

    EXPECT_EQ(env.dialogs().prompts(), QStringList());
    EXPECT_FALSE(ListSearch.RescanBusy);
    for (const QString& description : descriptions) {
        SCOPED_TRACE(description.toStdString());
        EXPECT_TRUE(env.readFile("data/" + description + ".txt").contains("two.gif"));
        EXPECT_EQ(unzip({"-Z1", data(description + ".zip")}).toLatin1(), (description + ".txt\n").toUtf8());
    }
}

// Two locations over one folder meet the same trouble: the rescan asks once.
TEST_F(RescanTest, EachWalkMessageIsShownOncePerRescan)
{
    for (int i = 0; i < 1002; ++i)
        QDir().mkpath(env.hostPath(QString("pictures/Many/d%1").arg(i, 4, 10, QChar(u'0'))));
    addLocation("One", "D:\\Many");
    addLocation("Two", "D:\\Many");
    env.dialogs().answerNext(platform::MsgResult::Ignore);

    RescanLocations(form);

    EXPECT_EQ(env.dialogs().prompts().size(), 1);
    EXPECT_EQ(readData("One.txt").count("<DIR> "), 1001);
    EXPECT_EQ(readData("Two.txt").count("<DIR> "), 1001);
}

TEST_F(RescanTest, ListingReplacesTheOldOneWhenCompleteAndIsPackedAlone)
{
    makeTree("Art");
    addLocation("  Art ", "D:\\Art");
    addLocation("Gone", "D:\\Gone");  // a folder that is not there, on a drive that is
    env.writeFile("data/Art.txt", "old listing");
    whenCaptionShows(" Updating online file lists... 1 of 2", [this] {
        duringWalk << form.windowTitle() << readData("Art.txt")
                   << (QFile::exists(data("Art.tmp")) ? "tmp" : "no tmp")
                   << (ListSearch.RescanBusy ? "busy" : "idle");
    });

    RescanLocations(form);

    EXPECT_EQ(duringWalk, (QStringList{Caption + " Updating online file lists... 1 of 2", "old listing", "tmp", "busy"}));
    EXPECT_EQ(form.windowTitle(), Caption);
    EXPECT_FALSE(ListSearch.RescanBusy);
    EXPECT_FALSE(QFile::exists(data("Art.tmp")));
    const QString listing = readData("Art.txt");
    EXPECT_TRUE(listing.startsWith("\r\nVolume:      Art \r\nDirectory: \\Art\\\r\n\r\n<DIR> First\r\n<DIR> Second\r\n\r\ntop.gif"))
        << listing.toStdString();
    EXPECT_EQ(listing.count("Volume:      Art \r\n"), 3);

    EXPECT_NE(unzip({"-t", data("Art.zip")}), "<failed>");
    EXPECT_EQ(unzip({"-Z1", data("Art.zip")}), "Art.txt\n");
    EXPECT_EQ(unzip({"-p", data("Art.zip"), "Art.txt"}), listing);
    EXPECT_EQ(readData("Other.zip"), "another archive");
    EXPECT_EQ(unzip({"-p", data("Gone.zip"), "Gone.txt"}), "\r\nVolume:    Gone\r\nDirectory: \\Gone\\\r\n\r\n");
    EXPECT_TRUE(env.dialogs().messages().empty());
}

// Quitting in the middle of location 2 of 3 leaves locations 2 and 3 with the
// listing and archive they had, byte for byte; a stop left over from an
// earlier operation does not cut a later rescan short.
TEST_F(RescanTest, QuitDuringAWalkKeepsThatLocationsOldFiles)
{
    for (const QString name : {"One", "Two", "Three"}) {
        makeTree(name);
        addLocation(name, "D:\\" + name);
        env.writeFile("data/" + name + ".txt", "old " + name.toLatin1());
        env.writeFile("data/" + name + ".zip", "old archive " + name.toLatin1());
    }
    whenCaptionShows("2 of 3", [] {
        // What closing the search window asks of a running rescan.
        ListSearch.RescanStop = true;
        ListSearch.StopFlag = true;
        ListSearch.QuitFlag = true;
    });

    RescanLocations(form);

    EXPECT_TRUE(readData("One.txt").contains("Directory: \\One\\Second\\"));
    EXPECT_EQ(unzip({"-p", data("One.zip"), "One.txt"}), readData("One.txt"));
    for (const QString name : {"Two", "Three"}) {
        EXPECT_EQ(readData(name + ".txt"), "old " + name);
        EXPECT_EQ(readData(name + ".zip"), "old archive " + name);
    }
    EXPECT_FALSE(QFile::exists(data("Two.tmp")));
    EXPECT_EQ(form.windowTitle(), Caption);
    EXPECT_FALSE(ListSearch.RescanStop);
    EXPECT_TRUE(ListSearch.StopFlag);
    EXPECT_FALSE(ListSearch.RescanBusy);

    QObject::disconnect(&form, &QWidget::windowTitleChanged, nullptr, nullptr);
    ListSearch.QuitFlag = false;  // a stop from before the run, with the program going on
    RescanLocations(form);
    EXPECT_TRUE(readData("Three.txt").contains("Directory: \\Three\\Second\\"));
    EXPECT_EQ(unzip({"-p", data("Three.zip"), "Three.txt"}), readData("Three.txt"));
}

TEST_F(RescanTest, MenuCommandIsDisabledAndThePointerBusyWhileItRuns)
{
    makeTree("Art");
    addLocation("Art", "D:\\Art");
    whenCaptionShows("1 of 1", [this] {
        duringWalk << (form.ReScan->isEnabled() ? "enabled" : "disabled")
                   << (QApplication::overrideCursor() ? QString::number(QApplication::overrideCursor()->shape()) : "none");
    });
    ReScan_Click(form);
    EXPECT_EQ(duringWalk, (QStringList{"disabled", QString::number(Qt::BusyCursor)}));
    EXPECT_TRUE(form.ReScan->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    ListSearch.LocCount = 0;
    RescanLocations(form);
    EXPECT_EQ(form.windowTitle(), Caption);
    EXPECT_FALSE(ListSearch.RescanBusy);
}

TEST_F(RescanTest, HundredthErrorEndsTheRunWithItsMessage)
{
    makeTree("Art");
    addLocation("Art", "D:\\Art");
    ListSearch.LocalFolder = "q:\\data\\";  // a drive that is not there
    RescanLocations(form);
    EXPECT_EQ(env.dialogs().prompts(),
              QStringList{"Error Refreshing Local Lists:" + runtime::errorDescription(runtime::err::DeviceUnavailable)});
    EXPECT_FALSE(ListSearch.RescanBusy);
    EXPECT_EQ(form.windowTitle(), Caption + " Updating online file lists... 1 of 1");

    // A pack that fails is an error of the run too, so a listing and an archive
    // that disagree never pass for success.
    ListSearch.LocalFolder = env.windowsPath("data") + u'\\';
    QDir().mkpath(data("Art.zip"));  // no archive can be written there
    form.setWindowTitle(Caption);
    RescanLocations(form);
    ASSERT_EQ(env.dialogs().prompts().size(), 2);
    EXPECT_TRUE(env.dialogs().prompts()[1].startsWith("Error Refreshing Local Lists:The archive could not be written: "))
        << env.dialogs().prompts()[1].toStdString();
    EXPECT_TRUE(readData("Art.txt").contains("Directory: \\Art\\First\\"));
    EXPECT_FALSE(ListSearch.RescanBusy);
}

// Answers the walk's first question with error 32755, as a cancelled dialog raises it.
class CancellingInteraction : public platform::ScriptedInteraction {
public:
    platform::MsgResult msgBox(const QString& prompt, platform::MsgButtons buttons, platform::MsgIcon icon,
                               const QString& title, QWidget* owner) override
    {
        ScriptedInteraction::msgBox(prompt, buttons, icon, title, owner);
        runtime::raise(runtime::err::CancelSelected);
    }
};

TEST_F(RescanTest, Error32755EndsTheRunSilentlyWithTheOldListingKept)
{
    makeTree("Art");
    // More sub-folders than one folder may hold: the walk asks what to do.
    for (int i = 0; i <= 1001; ++i)
        QDir().mkpath(env.hostPath(QStringLiteral("pictures/Art/First/%1").arg(i)));
    addLocation("Art", "D:\\Art");
    env.writeFile("data/Art.txt", "old listing");
    CancellingInteraction cancelling;
    platform::installInteraction(&cancelling);

    RescanLocations(form);

    platform::installInteraction(&env.dialogs());
    EXPECT_EQ(cancelling.messages().size(), 1u);
    EXPECT_EQ(readData("Art.txt"), "old listing");
    EXPECT_FALSE(QFile::exists(data("Art.zip")));
    EXPECT_FALSE(ListSearch.RescanBusy);
    EXPECT_EQ(form.windowTitle(), Caption + " Updating online file lists... 1 of 1");
}

}  // namespace
