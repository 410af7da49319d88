#include "runtime/ErrorNumber.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::SettingsStore;

namespace {

const QString App = QStringLiteral("Kest Velmora");
const QString Section = QStringLiteral("Settings");

class SettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("conf/brisca/settings.ini")); }
};

class AwkwardValue : public SettingsStoreTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(AwkwardValue, SurvivesReopeningByteForByte)
{
    const QString value = QString::fromUtf8(GetParam());
    SettingsStore(path()).save(App, Section, QStringLiteral("Value"), value);
    SettingsStore(path()).save(App, Section, QStringLiteral("After"), QStringLiteral("next"));

    const SettingsStore reopened(path());
    EXPECT_EQ(reopened.get(App, Section, QStringLiteral("Value")), value);
    EXPECT_EQ(reopened.get(App, Section, QStringLiteral("After")), QStringLiteral("next"));
}

INSTANTIATE_TEST_SUITE_P(
    Values, AwkwardValue,
    ::testing::Values("", "a, b, c", "  leading and trailing  ", "\"quoted\"", "\"", "x=y; z=w",
                      "; looks like a comment", "[Not\\A Section]", "C:\\Art\\Clips\\",
                      "back\\\\slashes\\n", "two\nlines\r\nand CR", "Größe № 5 – ünïcödé",
                      "tab\there", "ends with backslash\\"));

TEST_F(SettingsStoreTest, MissingFileKeyOrSectionGivesTheDefault)
{
    SettingsStore store(path());
    EXPECT_EQ(store.get(App, Section, QStringLiteral("Top"), QStringLiteral("1200")), u"1200");
    store.save(App, Section, QStringLiteral("Top"), QStringLiteral("300"));
    EXPECT_EQ(store.get(App, Section, QStringLiteral("Left"), QStringLiteral("d")), u"d");
    EXPECT_EQ(store.get(App, QStringLiteral("Other"), QStringLiteral("Top")), QString());
    EXPECT_EQ(store.get(QStringLiteral("Other App"), Section, QStringLiteral("Top")), QString());
}

TEST_F(SettingsStoreTest, NamesMatchIgnoringCaseAndOverwriteInPlace)
{
    SettingsStore store(path());
    store.save(App, Section, QStringLiteral("LocalFolder"), QStringLiteral("C:\\one\\"));
    store.save(App, Section, QStringLiteral("TextFile"), QStringLiteral("list.txt"));
    store.save(QStringLiteral("KEST VELMORA"), QStringLiteral("settings"), QStringLiteral("localfolder"),
               QStringLiteral("C:\\two\\"));

    EXPECT_EQ(store.get(App, Section, QStringLiteral("LOCALFOLDER")), u"C:\\two\\");
    EXPECT_EQ(store.keys(App, Section), (QStringList{QStringLiteral("LocalFolder"), QStringLiteral("TextFile")}));
}

TEST_F(SettingsStoreTest, SectionsAreSeparate)
{
    SettingsStore store(path());
    store.save(App, Section, QStringLiteral("e"), QStringLiteral("settings value"));
    store.save(App, QStringLiteral("Drives"), QStringLiteral("e"), QStringLiteral("/srv/clips"));
    EXPECT_EQ(store.get(App, Section, QStringLiteral("e")), u"settings value");
    EXPECT_EQ(store.get(App, QStringLiteral("Drives"), QStringLiteral("e")), u"/srv/clips");
    EXPECT_EQ(store.keys(App, QStringLiteral("Drives")), QStringList{QStringLiteral("e")});
    EXPECT_TRUE(store.keys(App, QStringLiteral("None")).isEmpty());
}

TEST_F(SettingsStoreTest, ReadsAHandWrittenFileAndKeepsWhatItDoesNotKnow)
{
    const QString file = dir.filePath(QStringLiteral("hand.ini"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("\xEF\xBB\xBF; my drives\r\n[Kest Velmora\\Drives]\r\ne=/srv/clips\r\nnot a line\r\n"
              "[Other\\Thing]\r\nkey= spaced \r\n");
    out.close();

    SettingsStore store(file);
    EXPECT_EQ(store.get(App, QStringLiteral("Drives"), QStringLiteral("e")), u"/srv/clips");
    store.save(App, Section, QStringLiteral("NickName"), QStringLiteral("Jo"));
    EXPECT_EQ(store.get(QStringLiteral("Other"), QStringLiteral("Thing"), QStringLiteral("key")), u" spaced ");
    EXPECT_EQ(store.get(App, QStringLiteral("Drives"), QStringLiteral("e")), u"/srv/clips");
}

TEST_F(SettingsStoreTest, AnUnwritableStoreRaisesInsteadOfLosingTheValue)
{
    // A folder where the file should be: the save cannot succeed.
    QDir().mkpath(path());
    SettingsStore store(path());
    EXPECT_EQ(errorNumberOf([&] { store.save(App, Section, QStringLiteral("Top"), QStringLiteral("1")); }),
              runtime::err::PathFileAccessError);
}

TEST(SettingsStorePath, FollowsXdgConfigHome)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/xdg-test");
    EXPECT_EQ(SettingsStore::defaultPath(), u"/tmp/xdg-test/brisca/settings.ini");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(SettingsStore::defaultPath().endsWith(u"/.config/brisca/settings.ini"));
    if (!saved.isEmpty())
        qputenv("XDG_CONFIG_HOME", saved);
}

}  // namespace
