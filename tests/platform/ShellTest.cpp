// The desktop shell's command lines and its failure results, and one real
// start of a program, handed a file whose name is not UTF-8.

#include "platform/HostNames.h"
#include "platform/Shell.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

using platform::DesktopShell;
namespace shellresult = platform::shellresult;

namespace {

struct CommandCase {
    const char* name;
    const char* commandLine;
    QStringList expanded;
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

class ExpandCommandTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(ExpandCommandTest, PutsTheFileInItsPlace)
{
    EXPECT_EQ(platform::expandCommand(QString::fromLatin1(GetParam().commandLine), QStringLiteral("/music/my song.mp3")),
              GetParam().expanded);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ExpandCommandTest,
    ::testing::Values(
        CommandCase{"Placeholder", "audacious --enqueue %f", {"audacious", "--enqueue", "/music/my song.mp3"}},
        CommandCase{"AppendedWithoutPlaceholder", "player -a", {"player", "-a", "/music/my song.mp3"}},
        CommandCase{"QuotedProgramAndPlaceholder", "\"/opt/My Player/play\" -q \"%f\"",
                    {"/opt/My Player/play", "-q", "/music/my song.mp3"}},
        CommandCase{"PlaceholderInsideAWord", "cli --file=%f --add", {"cli", "--file=/music/my song.mp3", "--add"}},
        CommandCase{"Empty", "", {}}),
    [](const auto& row) { return std::string(row.param.name); });

class DesktopShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        env.mapDrive(u'e', QStringLiteral("music"));
        env.writeFile(QStringLiteral("music/song.mp3"), "ID3");
    }

    void setPlayer(const QString& commandLine)
    {
        env.settings().save(QStringLiteral("Kest Velmora"), QStringLiteral("Shell"), QStringLiteral("EnqueueCommand"),
                            commandLine);
    }

    TestEnvironment env;
};

TEST_F(DesktopShellTest, EnqueueWithoutThePlayerInstalledFails)
{
    setPlayer(QStringLiteral("no-such-player-for-brisca --enqueue %f"));
    DesktopShell shell(env.settings());
    EXPECT_EQ(shell.execute("enqueue", "e:\\song.mp3", "", "e:\\", 10), shellresult::NoAssociation);

    setPlayer(QString());
    DesktopShell noPlayer(env.settings());
    EXPECT_EQ(noPlayer.execute("enqueue", "e:\\song.mp3", "", "e:\\", 10), shellresult::NoAssociation);
}

TEST_F(DesktopShellTest, MissingFilesFoldersAndVerbsFailBeforeAnythingStarts)
{
    setPlayer(QStringLiteral("no-such-player-for-brisca %f"));
    DesktopShell shell(env.settings());
    env.mapDrive(u'f', QStringLiteral("gone"));
    QDir(env.hostPath(QStringLiteral("gone"))).removeRecursively();

    EXPECT_EQ(shell.execute("open", "e:\\absent.mp3", "", "e:\\", 10), shellresult::FileNotFound);
    EXPECT_EQ(shell.execute("enqueue", "e:\\absent.mp3", "", "e:\\", 10), shellresult::FileNotFound);
    EXPECT_EQ(shell.execute("open", "e:\\song.mp3", "", "e:\\absent\\", 10), shellresult::PathNotFound);
    EXPECT_EQ(shell.execute("open", "f:\\song.mp3", "", "f:\\", 10), shellresult::PathNotFound);
    EXPECT_EQ(shell.execute("open", "e:\\absent|name.mp3", "", "e:\\", 10), shellresult::FileNotFound);
    EXPECT_EQ(shell.execute("print", "e:\\song.mp3", "", "e:\\", 10), shellresult::NoAssociation);
}

// The program gets the file's own bytes and starts in the file's folder.
TEST_F(DesktopShellTest, StartedProgramGetsTheNameAsTheDiskHoldsIt)
{
    env.writeFile(QStringLiteral("music/") + platform::hostText("chanson \xE9t\xE9.mp3"), "ID3 song");
    setPlayer(QStringLiteral("cp %f played.bin"));
    DesktopShell shell(env.settings());
    const QString song = QStringLiteral("e:\\chanson \u00e9t\u00e9.mp3");
    ASSERT_EQ(shell.execute("enqueue", song, "", "e:\\", 10), shellresult::Success);

    QFile played(env.hostPath(QStringLiteral("music/played.bin")));
    for (int wait = 0; wait < 500 && played.size() < 8; ++wait)  // the program runs on its own
        QThread::msleep(10);
    ASSERT_TRUE(played.open(QIODevice::ReadOnly));
    EXPECT_EQ(played.readAll(), "ID3 song");
}

}  // namespace
