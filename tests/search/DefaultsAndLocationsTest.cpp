#include "runtime/ErrorNumber.h"
#include "search/ListSearch.h"
#include "search/Settings.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>
#include <vector>

namespace {

class ProgramState : public testing::Test {
protected:
    void SetUp() override { ListSearch = ListSearchModule{}; }

    void writeDefaults(const QByteArray& bytes) { env.writeFile("program/defaults.txt", bytes); }

    static std::vector<std::pair<QString, QString>> rows()
    {
        std::vector<std::pair<QString, QString>> result;
        for (int i = 1; i <= ListSearch.LocCount; ++i)
            result.emplace_back(ListSearch.Locations[i][1], ListSearch.Locations[i][2]);
        return result;
    }
    static void setRows(const std::vector<std::pair<QString, QString>>& list)
    {
        ListSearch.LocCount = 0;
        for (const auto& [description, path] : list) {
            ++ListSearch.LocCount;
            ListSearch.Locations[ListSearch.LocCount][1] = description;
            ListSearch.Locations[ListSearch.LocCount][2] = path;
        }
    }

    TestEnvironment env;
};

TEST_F(ProgramState, ReadsTheFourDefaultLinesAsWritten)
{
    writeDefaults("C:\\Data\r\n main.txt \r\nupdate.zip\r\nweb.example");
    ReadDefaults();
    EXPECT_EQ(ListSearch.LocalFolder, "C:\\Data");  // no backslash added
    EXPECT_EQ(ListSearch.TextFile, " main.txt ");
    EXPECT_EQ(ListSearch.ArchiveFile, "update.zip");
    EXPECT_EQ(ListSearch.WebServer, "web.example");
}

TEST_F(ProgramState, EmptyDataFolderLineMeansTheProgramFolder)
{
    writeDefaults("\r\nmain.txt\r\nupdate.zip\r\nweb.example\r\n");
    ReadDefaults();
    EXPECT_EQ(ListSearch.LocalFolder, env.windowsPath("program") + "\\");
    EXPECT_EQ(programFolderWithBackslash(), env.windowsPath("program") + "\\");
}

TEST_F(ProgramState, MissingDefaultsChangeNothing)
{
    QFile::remove(env.programHostFolder() + "/defaults.txt");
    ListSearch.TextFile = "kept.txt";
    ReadDefaults();
    EXPECT_EQ(ListSearch.TextFile, "kept.txt");
    EXPECT_EQ(ListSearch.LocalFolder, "");
}

TEST_F(ProgramState, ThreeDefaultLinesRaise62KeepingThoseRead)
{
    writeDefaults("C:\\Data\\\r\nmain.txt\r\nupdate.zip\r\n");
    ListSearch.WebServer = "before";
    EXPECT_EQ(errorNumberOf(ReadDefaults), 62);
    EXPECT_EQ(ListSearch.LocalFolder, "C:\\Data\\");
    EXPECT_EQ(ListSearch.ArchiveFile, "update.zip");
    EXPECT_EQ(ListSearch.WebServer, "before");
}

// Rows come back whole: commas and blanks inside the quotes, and characters
// beyond the code page, for which the whole file is written in UTF-8 after a
// byte-order mark (a list the code page holds stays in it, as always).
TEST_F(ProgramState, LocationsRoundTrip)
{
    struct Case {
        std::vector<std::pair<QString, QString>> rows;
        QByteArray file;
    };
    const Case cases[] = {
        {{{"Clips, old ", " C:\\Art, 1\\ "}, {"Caf\u00e9 \u20ac", "d:\\"}, {"", ""}},
         "\"Clips, old \",\" C:\\Art, 1\\ \"\r\n\"Caf\xe9 \x80\",\"d:\\\"\r\n\"\",\"\"\r\n"},
        {{{"Caf\u00e9", "D:\\Caf\u00e9\\"}, {"\u03a9mega", "D:\\\u03a9mega\\"}, {"x", "C:\\\u2192\\"}},
         "\xEF\xBB\xBF\"Caf\xC3\xA9\",\"D:\\Caf\xC3\xA9\\\"\r\n\"\xCE\xA9mega\",\"D:\\\xCE\xA9mega\\\"\r\n"
         "\"x\",\"C:\\\xE2\x86\x92\\\"\r\n"},
    };
    env.mapDrive(u'e', "data");
    for (const Case& c : cases) {
        ListSearch.LocalFolder = "E:\\";
        setRows(c.rows);
        WriteLocations();
        EXPECT_EQ(env.readFile("data/locations.txt"), c.file);
        ListSearch = ListSearchModule{};
        ListSearch.LocalFolder = "E:\\";
        ReadLocations();
        EXPECT_EQ(rows(), c.rows);
    }
}

TEST_F(ProgramState, EmptyListIsAnEmptyFile)
{
    ListSearch.LocalFolder = env.windowsPath("") + "\\";
    WriteLocations();
    EXPECT_EQ(env.readFile("locations.txt"), "");
    ReadLocations();
    EXPECT_EQ(ListSearch.LocCount, 0);
}

TEST_F(ProgramState, MissingLocationsLeaveTheListUnchanged)
{
    ListSearch.LocalFolder = env.windowsPath("") + "\\";
    setRows({{"kept", "C:\\kept\\"}});
    ReadLocations();
    EXPECT_EQ(rows(), (std::vector<std::pair<QString, QString>>{{"kept", "C:\\kept\\"}}));
}

TEST_F(ProgramState, RowAfterTheLastUsableOneRaises9)
{
    QByteArray file;
    for (int i = 1; i <= MaxLocations + 1; ++i)
        file += QStringLiteral("\"row %1\",\"C:\\%1\\\"\r\n").arg(i).toLatin1();
    env.writeFile("locations.txt", file);
    ListSearch.LocalFolder = env.windowsPath("") + "\\";
    EXPECT_EQ(errorNumberOf(ReadLocations), 9);
    EXPECT_EQ(ListSearch.LocCount, MaxLocations);
    EXPECT_EQ(ListSearch.Locations[MaxLocations][1], "row 255");
}

TEST_F(ProgramState, StrayQuoteSpoilsOnlyItsOwnRow)
{
    env.writeFile("locations.txt", "\"a\"b,c\",\"p\"\r\n\r\n\"good\",\"C:\\g\\\"\r\n\"lone");
    ListSearch.LocalFolder = env.windowsPath("") + "\\";
    ReadLocations();
    EXPECT_EQ(rows(), (std::vector<std::pair<QString, QString>>{
                          {"a", "c\""}, {"good", "C:\\g\\"}, {"lone", ""}}));
}

}  // namespace
