#include "platform/SettingsStore.h"
#include "runtime/Numbers.h"
#include "search/ListSearch.h"
#include "search/Settings.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class SettingsKeys : public testing::Test {
protected:
    void SetUp() override { ListSearch = ListSearchModule{}; }

    void store(const QString& key, const QString& value)
    {
        env.settings().save(SettingsApp, SettingsSection, key, value);
    }
    QString stored(const QString& key)
    {
        return env.settings().get(SettingsApp, SettingsSection, key, "<missing>");
    }

    TestEnvironment env;
};

TEST_F(SettingsKeys, WrittenInOrderAndReadBack)
{
    ListSearch.LocalFolder = "C:\\Data, 1\\";
    ListSearch.TextFile = "main.txt";
    ListSearch.ArchiveFile = "update.zip";
    ListSearch.WebServer = "web.example";
    ListSearch.JoinDate = runtime::makeDate(2008, 12, 11, 12, 0, 0);
    ListSearch.NickName = " Nick \"N\" ";
    ListSearch.OffLineDrive = "d:";
    ListSearch.LastBrowsed = "C:\\Art\\";
    ListSearch.AutoPreview = true;
    WriteSettings();
    EXPECT_EQ(env.settings().keys(SettingsApp, SettingsSection),
              QStringList({"LocalFolder", "TextFile", "ArchiveFile", "WebServer", "JoinDate",
                           "NickName", "OffLineDrive", "LastBrowsed", "AutoPreview"}));
    EXPECT_EQ(stored("JoinDate"), "12/11/2008 12:00:00 PM");
    EXPECT_EQ(stored("AutoPreview"), "True");

    const ListSearchModule written = ListSearch;
    ListSearch = ListSearchModule{};
    ReadSettings();
    EXPECT_EQ(ListSearch.LocalFolder, written.LocalFolder);
    EXPECT_EQ(ListSearch.WebServer, written.WebServer);
    EXPECT_EQ(ListSearch.JoinDate, written.JoinDate);
    EXPECT_EQ(ListSearch.NickName, written.NickName);
    EXPECT_EQ(ListSearch.OffLineDrive, written.OffLineDrive);
    EXPECT_EQ(ListSearch.LastBrowsed, written.LastBrowsed);
    EXPECT_TRUE(ListSearch.AutoPreview);
}

TEST_F(SettingsKeys, MissingKeysTakeTheirDefaults)
{
    ListSearch.TextFile = "from defaults.txt";
    ListSearch.NickName = "not a default";
    const runtime::Date before = runtime::now();
    ReadSettings();
    EXPECT_EQ(ListSearch.TextFile, "from defaults.txt");
    EXPECT_EQ(ListSearch.NickName, "");
    EXPECT_FALSE(ListSearch.AutoPreview);
    EXPECT_GE(ListSearch.JoinDate, before - 1.0 / 86400);
    EXPECT_LE(ListSearch.JoinDate, runtime::now());
}

TEST_F(SettingsKeys, PlacementWrittenAsSingleTextAndAppliedInOrder)
{
    writePlacement("B", {1.5f, 120, 9570, 7200});
    EXPECT_EQ(env.settings().keys(SettingsApp, SettingsSection),
              QStringList({"BTop", "BLeft", "BWidth", "BHeight"}));
    EXPECT_EQ(stored("BTop"), "1.5");
    EXPECT_EQ(stored("BWidth"), "9570");

    std::vector<std::pair<PlacementKey, float>> applied;
    const auto record = [&applied](PlacementKey key, float value) { applied.emplace_back(key, value); };
    readPlacement("B", {}, record);
    readPlacement("", {10, 20, 30, 40}, record);  // no keys: the current values
    const std::vector<std::pair<PlacementKey, float>> expected = {
        {PlacementKey::Top, 1.5f},  {PlacementKey::Left, 120},   {PlacementKey::Width, 9570},
        {PlacementKey::Height, 7200}, {PlacementKey::Top, 10},   {PlacementKey::Left, 20},
        {PlacementKey::Width, 30},  {PlacementKey::Height, 40}};
    EXPECT_EQ(applied, expected);

    // A value that is no number gives the current one; the keys after it still apply.
    applied.clear();
    store("BLeft", "wide");
    readPlacement("B", {10, 20, 30, 40}, record);
    const std::vector<std::pair<PlacementKey, float>> withBadLeft = {
        {PlacementKey::Top, 1.5f}, {PlacementKey::Left, 20}, {PlacementKey::Width, 9570}, {PlacementKey::Height, 7200}};
    EXPECT_EQ(applied, withBadLeft);
}

}  // namespace
