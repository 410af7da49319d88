// The search passes over plain entry lines in bulk: the chunk scans agree with
// each other, the reader passes exactly the lines it may, and a search finds
// exactly what a plain reading of every line finds.

#include "search/ChunkScan.h"
#include "search/ListingReader.h"
#include "search/ListingSearch.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

const std::vector<WatchedWord> Words = {
    {{0, 'e', 'E'}, {4, 'e', 'E'}}, {{0, 'r', 'R'}, {2, 'd', 'D'}}, {{0, '-', '-'}, {1, 'x', 'X'}}};

TEST(ChunkScan, everyScanGivesTheMasksOfTheByteByByteOne)
{
    const ChunkScan bytes = chunkScanNumber(0);
    std::string text;
    std::mt19937 random(7);
    const std::string alphabet = "eEaglrRdD-x:<\r\n \xC9y";
    for (int i = 0; i < 4096; ++i)
        text += alphabet[random() % alphabet.size()];
    for (std::size_t number = 1; number < ChunkScanCount; ++number) {
        const ChunkScan scan = chunkScanNumber(number);
        if (!scan)
            continue;
        for (std::size_t words = 0; words <= Words.size(); ++words) {
            for (std::size_t at = 1; at + 64 + 8 < text.size(); at += 7) {
                const ChunkMasks expected = bytes(text.data() + at, Words.data(), words);
                const ChunkMasks masks = scan(text.data() + at, Words.data(), words);
                ASSERT_EQ(masks.lineEnds, expected.lineEnds) << number << " at " << at;
                ASSERT_EQ(masks.marks, expected.marks) << number << " at " << at;
                ASSERT_EQ(masks.wordStarts, expected.wordStarts) << number << " at " << at << " words " << words;
            }
        }
    }
}

// What the reader passes over before the search reads its next entry.
struct SkipCase {
    const char* name;
    std::string listing;
    std::vector<std::string_view> words;
    std::int32_t most;
    std::int32_t passed;
    std::string nextName;   // the entry read after the skip
    std::int64_t sizeInForce;
};

void PrintTo(const SkipCase& c, std::ostream* out) { *out << c.name; }

std::string longLine(const std::string& name, const std::string& size)
{
    return name + std::string(68 - name.size(), ' ') + std::string(13 - size.size(), ' ') + size +
        " bytes 1/2/2009 3:04:05 PM";
}

std::string lines(const std::vector<std::string>& texts, const std::string& ending = "\r\n")
{
    std::string joined;
    for (const std::string& text : texts)
        joined += text + ending;
    return joined + std::string(200, 'z') + ending;  // more than a chunk's reach
}

class ReaderSkips : public ::testing::TestWithParam<SkipCase> {};

TEST_P(ReaderSkips, PlainEntriesOnly)
{
    const SkipCase& c = GetParam();
    QBuffer buffer;
    buffer.setData(QByteArray::fromStdString(c.listing));
    buffer.open(QIODevice::ReadOnly);
    ListingReader reader(buffer);
    ASSERT_TRUE(reader.nextEntry());  // the first line is read as an entry, filling the buffer
    AnsiLowerCase lowerCase;
    WordStarts words;
    ASSERT_TRUE(words.watch(c.words, lowerCase));
    EXPECT_EQ(reader.skipEntriesWithout(words, c.most), c.passed);
    ASSERT_TRUE(reader.nextEntry());
    EXPECT_EQ(reader.name(), c.nextName);
    EXPECT_EQ(reader.takeSizeAndDate().size, c.sizeInForce);
}

const std::string First = longLine("first.wmf", "1");

INSTANTIATE_TEST_SUITE_P(
    Lines, ReaderSkips,
    ::testing::Values(
        SkipCase{"toAWordInAnyCase", lines({First, longLine("a.gif", "2"), "b.gif", longLine("EagLE.gif", "3")}),
                 {"eagle"}, 100, 2, "EagLE.gif", 3},
        SkipCase{"shortLinesKeepTheLongOnesInfo", lines({First, longLine("a.gif", "22"), "b", "c", "eagle"}),
                 {"eagle"}, 100, 3, "eagle", 22},
        SkipCase{"emptyLinesAreNoEntries", lines({First, "", "a", "", "", "b", "red"}), {"red"}, 100, 2, "red", 1},
        SkipCase{"toAVolumeLine", lines({First, "a", "Volume:    V", "b"}), {"zz"}, 100, 1, "b", 1},
        SkipCase{"toADirectoryLine", lines({First, "a", "x Directory: \\D\\", "b"}), {"zz"}, 100, 1, "b", 1},
        SkipCase{"toASubFolderLine", lines({First, "a", "<DIR> Sub", "b"}), {"zz"}, 100, 1, "b", 1},
        SkipCase{"toARule", lines({First, "a", "x --------------- y", "b"}), {"zz"}, 100, 1, "b", 1},
        SkipCase{"pastColonsAndSingleHyphens", lines({First, "b:c - d", "time 10:30:00", "red"}), {"red"}, 100, 2,
                 "red", 1},
        // Bytes that only may be marks stop the pass, and are read as entries.
        SkipCase{"toAColonAfterALookalike", lines({First, "a", "drama: act", "b"}), {"zz"}, 100, 1, "drama: act", 1},
        SkipCase{"toALessThanSign", lines({First, "a", "x<y", "b"}), {"zz"}, 100, 1, "x<y", 1},
        SkipCase{"atMostAsMany", lines({First, "a", "b", "c", "d"}), {"zz"}, 2, 2, "c", 1},
        SkipCase{"lineFeedsAlone", lines({First, "a", longLine("b", "5"), "red"}, "\n"), {"red"}, 100, 2, "red", 5},
        SkipCase{"carriageReturnsAlone", lines({First, "a", "", "b", "red"}, "\r"), {"red"}, 100, 2, "red", 1},
        SkipCase{"noWordsPassEverythingPlain", lines({First, "eagle", "red", "Volume: V", "x"}), {}, 100, 2, "x", 1},
        // The pass starts after First and its CR LF: this CR ends the first
        // chunk and its LF begins the next.
        SkipCase{"aLineEndSplitAcrossChunks", lines({First, std::string(63, 'a'), "b", "", "c", "red"}), {"red"}, 100,
                 3, "red", 1},
        SkipCase{"aLongLineFarBackKeepsItsInfo",
                 lines({First, longLine("far", "44"), "s1", "s2", "s3", "s4", "s5", "s6", "s7", "s8", "s9",
                        std::string(60, 's'), "eagle"}),
                 {"eagle"}, 100, 11, "eagle", 44},
        SkipCase{"aWordAcrossTheLineEndIsNoBlocker",
                 lines({First, "ab ea", "gle", longLine("x" + std::string(60, 'y'), "7"), "eagle"}), {"eagle"}, 100,
                 3, "eagle", 7}),
    [](const ::testing::TestParamInfo<SkipCase>& row) { return row.param.name; });

// A listing of many volumes, folders, marks, short, long and empty lines in
// every line ending, with capitals; searched for a few word sets.
std::string randomListing(std::mt19937& random)
{
    const std::vector<std::string> words = {"eagle", "Red", "rose", "BORDER", "cat", "x", "caf\xE9", "e--e", "tree"};
    const std::vector<std::string> endings = {"\r\n", "\n", "\r"};
    auto pick = [&](const auto& list) { return list[random() % list.size()]; };
    std::string listing;
    for (int line = 0; line < 6000; ++line) {
        const std::string ending = random() % 20 ? "\r\n" : pick(endings);
        switch (random() % 40) {
        case 0: listing += "Volume:    " + pick(words) + ending; break;
        case 1: listing += "Directory: \\" + pick(words) + "\\" + pick(words) + "\\" + ending; break;
        case 2: listing += "<DIR> " + pick(words) + ending; break;
        case 3: listing += ending; break;
        case 4: listing += "---------------" + ending; break;
        case 5: listing += pick(words) + " short" + ending; break;
        default: {
            std::string name = pick(words) + (random() % 2 ? "_" : " ") + pick(words) + std::to_string(random() % 100);
            listing += longLine(name, std::to_string(random() % 9000)) + ending;
        }
        }
    }
    return listing;
}

TEST(ChunkScan, everyPassPassesWhatTheByteByByteOneDoes)
{
    std::mt19937 random(11);
    const std::string text = randomListing(random);
    const LinePass bytes = linePassNumber(0);
    const char* const end = text.data() + text.size();
    for (std::size_t number = 1; number < ChunkScanCount; ++number) {
        const LinePass pass = linePassNumber(number);
        if (!pass)
            continue;
        // From every 13th line start, with few words and many, for a few entries and for all.
        int lineStart = 0;
        for (std::size_t at = 1; at < text.size(); ++at) {
            const bool startsLine = text[at - 1] == '\n' || (text[at - 1] == '\r' && text[at] != '\n');
            if (!startsLine || ++lineStart % 13 != 0)
                continue;
            for (std::size_t words = 0; words <= Words.size(); ++words) {
                for (const std::int32_t most : {3, 100000}) {
                    const PassedLines expected = bytes(text.data() + at, end, Words.data(), words, most, 69);
                    const PassedLines passed = pass(text.data() + at, end, Words.data(), words, most, 69);
                    ASSERT_EQ(passed.next, expected.next) << number << " at " << at << " words " << words;
                    ASSERT_EQ(passed.entries, expected.entries) << number << " at " << at << " words " << words;
                    ASSERT_EQ(passed.longLine, expected.longLine) << number << " at " << at;
                    ASSERT_EQ(passed.longLineLength, expected.longLineLength) << number << " at " << at;
                }
            }
        }
    }
}

struct Found {
    std::vector<std::string> hits;  // "70% folder | name | size | date"
    std::int32_t linesChecked = 0;
    std::vector<std::int32_t> checkpoints;
};

std::string hitText(int match, const QString& folder, const QString& name, std::int64_t size, double date)
{
    return std::to_string(match) + "% " + folder.toStdString() + " | " + name.toStdString() + " | " +
        std::to_string(size) + " | " + std::to_string(date);
}

Found searched(const std::string& listing, const QString& text, int minMatch)
{
    QBuffer buffer;
    buffer.setData(QByteArray::fromStdString(listing));
    buffer.open(QIODevice::ReadOnly);
    Found found;
    std::vector<ListingHit> hits;
    SearchListing(buffer, text, minMatch, found.linesChecked, hits, [&](std::int32_t count) {
        found.checkpoints.push_back(count);
        return false;
    });
    for (const ListingHit& hit : hits)
        found.hits.push_back(hitText(hit.match, hit.folder, hit.name, hit.size, hit.date));
    return found;
}

// Every line read and scored on its own, as the rules say.
Found readPlainly(const std::string& listing, const QString& text, int minMatch)
{
    QBuffer buffer;
    buffer.setData(QByteArray::fromStdString(listing));
    buffer.open(QIODevice::ReadOnly);
    ListingReader reader(buffer);
    const QStringList words = splitSearchWords(text);
    Found found;
    while (reader.nextEntry()) {
        const QString entry = (reader.folderText() + " " + reader.nameText()).toLower();
        int count = 0;
        for (const QString& word : words)
            count += entry.contains(word) ? 1 : 0;
        const int match = matchPercentage(count, static_cast<int>(words.size()));
        if (match > minMatch) {
            const ListingSizeAndDate sizeAndDate = reader.takeSizeAndDate();
            found.hits.push_back(hitText(match, reader.folderText(), reader.nameText(), sizeAndDate.size,
                                         sizeAndDate.date));
        }
        if (++found.linesChecked % CheckpointEntries == 0)
            found.checkpoints.push_back(found.linesChecked);
    }
    return found;
}

TEST(PlainEntries, ASearchFindsWhatAPlainReadingOfEveryLineFinds)
{
    std::mt19937 random(20081211);
    const std::vector<std::pair<QString, int>> searches = {
        {"eagle", 70}, {"red rose", 40}, {"red rose", 70}, {"eagle border cat", 60}, {"x", 70}, {"caf\u00e9", 70},
        {"e--e", 70},  {"tree  red", 20}, {"zzz", 70},      {"eagle red rose tree", 70}, {"rose", 100}};
    for (int round = 0; round < 3; ++round) {
        const std::string listing = randomListing(random);
        for (const auto& [text, minMatch] : searches) {
            const Found expected = readPlainly(listing, text, minMatch);
            const Found found = searched(listing, text, minMatch);
            ASSERT_EQ(found.hits, expected.hits) << text.toStdString() << " at " << minMatch;
            ASSERT_EQ(found.linesChecked, expected.linesChecked) << text.toStdString();
            ASSERT_EQ(found.checkpoints, expected.checkpoints) << text.toStdString();
        }
    }
}

}  // namespace
