#include "runtime/AnsiText.h"
#include "runtime/DateTime.h"
#include "search/ByteSearch.h"
#include "search/ListingLines.h"
#include "search/ListingSearch.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Two volumes; the words "red" and "cat" sit in folders, names and a volume.
const std::string Listing = "\r\nVolume:    Red Collection\r\nDirectory: \\Animals\\\r\n\r\n" +
    entryLine("Cat.wmf", "1,048,576", "12/11/2008 10:30:00 AM") +
    entryLine("dog.wmf", "2,048", "1/2/2009 3:04:05 PM") +
    "\r\nVolume:    Blue\r\nDirectory: \\Red Cars\\\r\n\r\n" +
    entryLine("ford.gif", "10", "5/6/2007 1:02:03 AM") + "CAT\xC9.gif\r\n";

struct Row {
    int match;
    std::string folder;
    std::string name;
    bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << "{" << row.match << "% " << row.folder << " | " << row.name << "}";
}

std::vector<ListingHit> search(const std::string& listing, const QString& text, int minMatch,
                               std::int32_t& linesChecked, const SearchCheckpoint& checkpoint = {})
{
    QBuffer buffer;
    buffer.setData(QByteArray::fromStdString(listing));
    buffer.open(QIODevice::ReadOnly);
    std::vector<ListingHit> hits;
    const SearchCheckpoint never = [](std::int32_t) { return false; };
    const std::int32_t found =
        SearchListing(buffer, text, minMatch, linesChecked, hits, checkpoint ? checkpoint : never);
    EXPECT_EQ(found, static_cast<std::int32_t>(hits.size()));
    return hits;
}

std::vector<Row> rows(const QString& text, int minMatch)
{
    std::int32_t linesChecked = 0;
    std::vector<Row> result;
    for (const ListingHit& hit : search(Listing, text, minMatch, linesChecked))
        result.push_back({hit.match, hit.folder.toStdString(), hit.name.toStdString()});
    EXPECT_EQ(linesChecked, 4);
    return result;
}

struct SplitCase {
    QString text;
    QStringList words;
};

TEST(SearchWords, everyBlankAfterTheFirstCharacterEndsAWord)
{
    const std::vector<SplitCase> cases = {
        {"red cat", {"red", "cat"}},
        {"red  cat", {"red", "", "cat"}},
        {"red cat ", {"red", "cat", ""}},
        {" ", {""}},
        {" red", {"red"}},
        {"  red", {"", "red"}},
        {"red\tcat", {"red\tcat"}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(splitSearchWords(c.text), c.words) << c.text.toStdString();
}

TEST(SearchWords, percentageRoundsHalvesToEven)
{
    EXPECT_EQ(matchPercentage(1, 8), 12);
    EXPECT_EQ(matchPercentage(3, 8), 38);
    EXPECT_EQ(matchPercentage(1, 3), 33);
    EXPECT_EQ(matchPercentage(2, 3), 67);
    EXPECT_EQ(matchPercentage(0, 3), 0);
    EXPECT_EQ(matchPercentage(5, 5), 100);
}

struct ScoreCase {
    const char* title;
    QString text;
    int minMatch;
    std::vector<Row> hits;
};

class ListingSearchScores : public ::testing::TestWithParam<ScoreCase> {};

TEST_P(ListingSearchScores, giveTheseHits)
{
    EXPECT_EQ(rows(GetParam().text, GetParam().minMatch), GetParam().hits);
}

const std::string RedCars = "\\Red Cars\\";
const std::string Cate = "CAT\u00C9.gif";  // as the hit's text gives it, in UTF-8

INSTANTIATE_TEST_SUITE_P(
    Examples, ListingSearchScores,
    ::testing::Values(
        ScoreCase{"one word in a name or a folder", "cat", 70,
                  {{100, "\\Animals\\", "Cat.wmf"}, {100, RedCars, Cate}}},
        ScoreCase{"one word at 100", "cat", 100, {}},
        ScoreCase{"the folder and the name together", "red cat", 70, {{100, RedCars, Cate}}},
        ScoreCase{"two words, one found, at 70", "dog ford", 70, {}},
        ScoreCase{"1 of 8 words gives 12", "dog a1 a2 a3 a4 a5 a6 a7", 11, {{12, "\\Animals\\", "dog.wmf"}}},
        ScoreCase{"1 of 8 is not above 12", "dog a1 a2 a3 a4 a5 a6 a7", 12, {}},
        ScoreCase{"3 of 8 words gives 38", "ford red cars a1 a2 a3 a4 a5", 37, {{38, RedCars, "ford.gif"}}},
        ScoreCase{"two blanks make an empty word", "ford  zzz", 32,
                  {{33, "\\Animals\\", "Cat.wmf"}, {33, "\\Animals\\", "dog.wmf"},
                   {67, RedCars, "ford.gif"}, {33, RedCars, Cate}}},
        ScoreCase{"one blank is one empty word", " ", 99,
                  {{100, "\\Animals\\", "Cat.wmf"}, {100, "\\Animals\\", "dog.wmf"},
                   {100, RedCars, "ford.gif"}, {100, RedCars, Cate}}},
        ScoreCase{"a word only in the volume scores nothing", "collection", 1, {}},
        ScoreCase{"a repeated word counts twice", "cat cat red", 50,
                  {{67, "\\Animals\\", "Cat.wmf"}, {100, RedCars, Cate}}},
        ScoreCase{"code-page letters compare lower-cased", "cat\u00E9", 1, {{100, RedCars, Cate}}},
        ScoreCase{"a word across folder and name does not occur", "\\ford", 1, {}},
        ScoreCase{"a word the code page lacks never occurs", QString("cat ") + QChar(0x0436), 49,
                  {{50, "\\Animals\\", "Cat.wmf"}, {50, RedCars, Cate}}}),
    [](const ::testing::TestParamInfo<ScoreCase>& row) { return "case" + std::to_string(row.index); });

TEST(ListingSearch, entriesBeforeTheFirstFolderHaveAnEmptyFolder)
{
    std::int32_t linesChecked = 0;
    const std::vector<ListingHit> hits = search("loose.gif\r\n", "loose", 1, linesChecked);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].folder, "");
    EXPECT_EQ(hits[0].volume, "");
}

TEST(ListingSearch, hitsCarryVolumeSizeAndDate)
{
    std::int32_t linesChecked = 0;
    const std::vector<ListingHit> hits = search(Listing, "cat", 70, linesChecked);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].volume, "Red Collection");
    EXPECT_EQ(hits[0].size, 1048576);
    EXPECT_EQ(hits[0].date, runtime::makeDate(2008, 12, 11, 10, 30, 0));
    // A short line: the info part of "ford.gif" is in force.
    EXPECT_EQ(hits[1].volume, "Blue");
    EXPECT_EQ(hits[1].name, QString::fromUtf8("CAT\u00C9.gif"));
    EXPECT_EQ(hits[1].size, 10);
    EXPECT_EQ(hits[1].date, runtime::makeDate(2007, 5, 6, 1, 2, 3));
}

TEST(ListingSearch, shortInfoPartsKeepThePreviousHitsValues)
{
    const std::string name(65, 'n');
    const std::string listing = "first.gif\r\n" + entryLine("skip.gif", "7", "1/1/2001 1:00:00 AM") +
        name + "n/a bytes 1/1/2001 1:00:00 AM\r\n" + entryLine("next.gif", "9", "2/2/2002 2:00:00 AM") +
        name + "n/a bytes 3/3/2003 3:00:00 AM\r\n";
    std::int32_t linesChecked = 0;
    const std::vector<ListingHit> hits = search(listing, "first nnn next", 30, linesChecked);
    ASSERT_EQ(hits.size(), 4u);
    EXPECT_EQ(hits[0].size, 0);  // the first hit of the file: nothing taken yet
    EXPECT_EQ(hits[0].date, runtime::ZeroDate);
    EXPECT_EQ(hits[1].size, 0);  // "n/a" after a non-hit line: still nothing taken
    EXPECT_EQ(hits[1].name.toStdString(), name + "n/a");
    EXPECT_EQ(hits[2].size, 9);
    EXPECT_EQ(hits[3].size, 9);
    EXPECT_EQ(hits[3].date, runtime::makeDate(2002, 2, 2, 2, 0, 0));
}

TEST(ListingSearch, checkpointsCountOverTheWholeSearch)
{
    std::string listing = "Directory: \\A\\\r\n";
    for (int i = 0; i < 2500; ++i)
        listing += "a" + std::to_string(i) + ".gif\r\n";

    std::int32_t linesChecked = 1500;
    std::vector<std::int32_t> checkpoints;
    const std::vector<ListingHit> hits = search(listing, "a1", 70, linesChecked, [&](std::int32_t count) {
        checkpoints.push_back(count);
        return false;
    });
    EXPECT_EQ(linesChecked, 4000);
    EXPECT_EQ(checkpoints, (std::vector<std::int32_t>{2000, 4000}));
    EXPECT_EQ(hits.size(), 1111u);  // a1, a10-a19, a100-a199, a1000-a1999
}

TEST(ListingSearch, aStopAtACheckpointEndsTheListing)
{
    std::string listing;
    for (int i = 0; i < 5000; ++i)
        listing += "x.gif\r\n";
    std::int32_t linesChecked = 0;
    const std::vector<ListingHit> hits = search(listing, "x", 70, linesChecked, [](std::int32_t) { return true; });
    EXPECT_EQ(linesChecked, 2000);
    EXPECT_EQ(hits.size(), 2000u);  // the checkpoint's own entry is searched first
}

TEST(ListingSearch, manyWordsAreAllSearched)
{
    QString text = "dog";
    for (int i = 0; i < 150; ++i)
        text += " w" + QString::number(i);
    std::int32_t linesChecked = 0;
    // 1 of 151 words: 0.66 % rounds to 1; the 151st word, beyond 101, still counts.
    EXPECT_EQ(search(Listing, text, 0, linesChecked).size(), 1u);
    EXPECT_EQ(search(Listing, text.mid(4) + " ford", 0, linesChecked).size(), 1u);
}

// ---- Listings in UTF-8 ----

std::vector<ListingHit> searchAll(const std::string& listing, const QString& lowerCasedText, int minMatch)
{
    std::int32_t linesChecked = 0;
    return search(listing, lowerCasedText, minMatch, linesChecked);
}

// Every field of each hit, in UTF-8.
std::vector<std::string> fieldsOf(const std::vector<ListingHit>& hits)
{
    std::vector<std::string> fields;
    for (const ListingHit& hit : hits) {
        fields.push_back(std::to_string(hit.match) + "% " + hit.volume.toStdString() + " | " +
                         hit.folder.toStdString() + " | " + hit.name.toStdString() + " | " +
                         std::to_string(hit.size) + " | " + std::to_string(hit.date));
    }
    return fields;
}

std::string inUtf8(const std::string& windows1252)
{
    return "\xEF\xBB\xBF" + runtime::fromAnsi(QByteArray::fromStdString(windows1252)).toStdString();
}

// Folders and names of code-page letters, long lines and short ones (some of
// more than 69 bytes in UTF-8 but not more than 69 characters), enough of
// them for the search to pass over lines in bulk.
std::string windows1252Listing()
{
    const std::vector<std::string> words = {"caf\xE9", "owl", "\x9Cuvre", "\x8Aka", "na\xEFve", "rose", "eagle"};
    std::uint32_t seed = 2008;
    const auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % bound;
    };
    std::string listing;
    for (int folder = 0; folder < 60; ++folder) {
        listing += "\r\nVolume:    CD \xC9t\xE9\r\nDirectory: \\" + words[next(7)] + "\\" + std::to_string(folder) +
            "\\\r\n\r\n";
        for (int entry = 0; entry < 100; ++entry) {
            std::string name = words[next(7)] + " " + words[next(7)] + std::to_string(entry) + ".gif";
            if (next(4) == 0)
                listing += name + std::string(60 - name.size() + next(10), '\xE9') + "\r\n";
            else
                listing += entryLine(name, std::to_string(next(90000)), std::to_string(1 + next(12)) + "/2/2009");
        }
    }
    return listing;
}

TEST(ListingSearch, aUtf8ListingGivesTheHitsOfItsCodePageForm)
{
    const std::string listing = windows1252Listing();
    for (const QString& text : {QString("owl"), QString("caf\u00e9"), QString("\u0153uvre eagle"), QString("ka"),
                                QString("\u00e9\u00e9\u00e9\u00e9\u00e9"), QString("na\u00efve 2 7")}) {
        const std::vector<std::string> hits = fieldsOf(searchAll(listing, text, 40));
        EXPECT_GT(hits.size(), 10u) << text.toStdString();
        EXPECT_EQ(fieldsOf(searchAll(inUtf8(listing), text, 40)), hits) << text.toStdString();
    }
}

// Words of every script match in either letter case where the script has
// one. The filler around the names is passed over in bulk, which must not
// pass over a name whose letters lower-case to a different length.
TEST(ListingSearch, wordsOfEveryScriptMatchInEitherCase)
{
    struct Case {
        const char* typed;
        const char* name;  // the one hit, in UTF-8
    };
    const std::vector<Case> cases = {
        {"\xCE\xB8\xCE\xAC\xCE\xBB\xCE\xB1\xCF\x83\xCF\x83\xCE\xB1", "\xCE\x98\xCE\x86\xCE\x9B\xCE\x91\xCE\xA3\xCE\xA3\xCE\x91_markerg.jpg"},
        {"\xCE\x98\xCE\x86\xCE\x9B\xCE\x91\xCE\xA3\xCE\xA3\xCE\x91", "\xCE\x98\xCE\x86\xCE\x9B\xCE\x91\xCE\xA3\xCE\xA3\xCE\x91_markerg.jpg"},
        {"\xCE\xB5\xCE\xB9\xCE\xBA\xCF\x8C\xCE\xBD\xCE\xB5\xCF\x82", "\xCE\x98\xCE\x86\xCE\x9B\xCE\x91\xCE\xA3\xCE\xA3\xCE\x91_markerg.jpg"},  // the folder
        {"\xD0\x9C\xD0\x9E\xD0\xA0\xD0\x95", "\xD0\xBC\xD0\xBE\xD1\x80\xD0\xB5.gif"},
        {"\xE6\xB5\xB7\xE6\xBB\xA9", "\xE6\xB5\xB7\xE6\xBB\xA9 2008.gif"},
        {"KAT", "\xE2\x84\xAA" "at.gif"},  // KELVIN SIGN lower-cases to "k"
        {"Z\xC8\xBAQ", "z\xE2\xB1\xA5q.gif"},  // two bytes in capitals, three in small letters
    };
    std::string filler;
    for (int entry = 0; entry < 300; ++entry)
        filler += entryLine("filler " + std::to_string(entry) + ".gif", "1,024", "1/2/2009");
    std::string listing = "\xEF\xBB\xBF\r\nVolume:    \xE4\xB8\xAD\xE6\x96\x87\r\nDirectory: \\Fill\\\r\n\r\n" + filler +
        "\r\nVolume:    \xE4\xB8\xAD\xE6\x96\x87\r\nDirectory: \\\xCE\x95\xCE\xB9\xCE\xBA\xCF\x8C\xCE\xBD\xCE\xB5\xCF\x82\\\r\n\r\n" +
        entryLine(cases[0].name, "2,048", "1/2/2009") + "\r\nVolume:    x\r\nDirectory: \\Fill\\\r\n\r\n" + filler;
    for (std::size_t c = 3; c < cases.size(); ++c)
        listing += entryLine(cases[c].name, "1", "1/2/2009") + filler;
    for (const Case& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        const std::vector<ListingHit> hits = searchAll(listing, typed.toLower(), 70);
        ASSERT_EQ(hits.size(), 1u) << c.typed;
        EXPECT_EQ(hits[0].name, QString::fromUtf8(c.name)) << c.typed;
    }
}

}  // namespace

namespace {

TEST(ByteSearch, findsWordsAtEveryPlaceOfLongerTexts)
{
    const std::string text = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ!";
    std::string padded = text + std::string(WordSearchPadding, 'z');
    for (std::size_t start = 0; start < text.size(); ++start) {
        for (std::size_t length = 1; start + length <= text.size() && length <= 20; ++length)
            ASSERT_TRUE(containsWord(std::string_view(padded.data(), text.size()), text.substr(start, length)));
    }
    const std::string_view view(padded.data(), text.size());
    EXPECT_TRUE(containsWord(view, ""));
    EXPECT_FALSE(containsWord(view, "!z"));  // not past the text's end, whatever lies there
    EXPECT_FALSE(containsWord(view, "az"));
    EXPECT_FALSE(containsWord(std::string_view(padded.data(), 3), "abcd"));
}

TEST(ByteSearch, lowerCasesByTheCodePageAtAnyLength)
{
    const AnsiLowerCase lowerCase;
    const std::string upper = "ABC\xC9\x8A\xD7[@]XYZ-Caf\xC9 MIXED Case Text 0123 \x9F";
    const std::string lower = "abc\xE9\x9A\xD7[@]xyz-caf\xE9 mixed case text 0123 \xFF";
    for (std::size_t length = 0; length <= upper.size(); ++length) {
        std::string out(length, '\0');
        lowerCase.apply(std::string_view(upper).substr(0, length), out.data());
        ASSERT_EQ(out, lower.substr(0, length)) << length;
    }
}

TEST(ByteSearch, comparesLowerCasedOnTheFlyAsAfterLowerCasing)
{
    AnsiLowerCase lowerCase;
    const std::string text = "Red ROSE border \xC9t\xE9 -- CAF\xC9 \x8Aka r\xD6se end-of-a-longer-name.WMF";
    const std::string padded = text + std::string(WordSearchPadding, 'E');
    std::string lower(text.size(), '\0');
    lowerCase.apply(text, lower.data());
    const std::vector<std::string> words = {"r", "ro", "rose", "border", "\xE9t\xE9", "caf\xE9", "\x9Aka", "r\xF6se",
                                            ".wmf", "wmfe", "e", "-a-", "rosa", "", "\xE9", "name.wmf"};
    for (std::size_t length = 0; length <= text.size(); ++length) {
        const std::string_view view(padded.data(), length);
        for (const std::string& word : words) {
            ASSERT_EQ(lowerCase.contains(view, word), std::string_view(lower).substr(0, length).find(word) != std::string::npos)
                << word << " in " << length;
        }
    }
}

TEST(ByteSearch, dropsTrailingBlanksOnly)
{
    EXPECT_EQ(lengthWithoutTrailingBlanks(""), 0u);
    EXPECT_EQ(lengthWithoutTrailingBlanks(std::string(68, ' ')), 0u);
    for (std::size_t length = 1; length <= 68; ++length) {
        const std::string field = std::string(length - 1, ' ') + "x" + std::string(68 - length, ' ');
        ASSERT_EQ(lengthWithoutTrailingBlanks(field), length);
    }
    EXPECT_EQ(lengthWithoutTrailingBlanks("a\tb \t"), 5u);
}

}  // namespace
