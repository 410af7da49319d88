#include "runtime/DateTime.h"
#include "search/ListingReader.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ReadEntry {
    std::string volume;
    std::string folder;
    std::string name;
    std::string info;
    bool operator==(const ReadEntry&) const = default;
};

void PrintTo(const ReadEntry& entry, std::ostream* out)
{
    *out << "{" << entry.volume << " | " << entry.folder << " | " << entry.name << " | " << entry.info << "}";
}

std::vector<ReadEntry> readAll(const QByteArray& bytes, std::size_t stretch = ListingInput::DefaultStretch)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ListingReader reader(buffer, stretch);
    std::vector<ReadEntry> entries;
    while (reader.nextEntry()) {
        entries.push_back({std::string(reader.volume()), std::string(reader.folder()),
                           std::string(reader.name()), std::string(reader.info())});
    }
    return entries;
}

std::string padded(const std::string& name, std::size_t width = 65)
{
    return name + std::string(width - name.size(), ' ');
}

const std::string Date = "12/11/2008 10:30:00 AM";

// A location listing as the folder walk writes it.
const std::string WalkedListing = "\r\n"
                                  "Volume:     My Clip Art \r\n"
                                  "Directory: \\Art\\\r\n"
                                  "\r\n"
                                  "<DIR> Animals\r\n"
                                  "\r\n" +
    padded("cat.wmf") + "       1,234,567 bytes " + Date + "\r\n" +
    padded("huge.bin") + "   1,000,000,000 bytes 1/2/2009 3:04:05 PM\r\n" +
    std::string(65, 'L') + "               0 bytes " + Date + "\r\n" +
    padded("gone.gif") + "n/a bytes " + Date + "\r\n"
    "\r\n"
    "Volume:     My Clip Art \r\n"
    "Directory: \\Art\\Animals\\\r\n"
    "\r\n" +
    padded("dog.wmf") + "              12 bytes 3/4/2010\r\n";

TEST(ListingReader, readsTheBlocksTheWalkWrites)
{
    const std::string volume = "My Clip Art";
    const std::vector<ReadEntry> expected = {
        {volume, "\\Art\\", "cat.wmf", "    1,234,567 bytes " + Date},
        {volume, "\\Art\\", "huge.bin", "1,000,000,000 bytes 1/2/2009 3:04:05 PM"},
        {volume, "\\Art\\", std::string(65, 'L'), "            0 bytes " + Date},
        {volume, "\\Art\\", padded("gone.gif") + "n/a", " bytes " + Date},
        {volume, "\\Art\\Animals\\", "dog.wmf", "           12 bytes 3/4/2010"},
    };
    EXPECT_EQ(readAll(QByteArray::fromStdString(WalkedListing)), expected);
}

TEST(ListingReader, takesSizeAndDateOnlyFromInfoPartsThatHoldThem)
{
    QBuffer buffer;
    buffer.setData(QByteArray::fromStdString(WalkedListing));
    buffer.open(QIODevice::ReadOnly);
    ListingReader reader(buffer);

    const std::vector<std::pair<std::int64_t, runtime::Date>> expected = {
        {1234567, runtime::makeDate(2008, 12, 11, 10, 30, 0)},
        {1000000000, runtime::makeDate(2009, 1, 2, 15, 4, 5)},
        {0, runtime::makeDate(2008, 12, 11, 10, 30, 0)},
        {0, runtime::makeDate(2008, 12, 11, 10, 30, 0)},  // "n/a": the values taken last
        // A midnight date is written alone, which leaves the info part short,
        // but " bytes " after a full size field still marks its own values.
        {12, runtime::makeDate(2010, 3, 4)},
    };
    for (const auto& [size, date] : expected) {
        ASSERT_TRUE(reader.nextEntry());
        const ListingSizeAndDate taken = reader.takeSizeAndDate();
        EXPECT_EQ(taken.size, size) << reader.name();
        EXPECT_EQ(taken.date, date) << reader.name();
    }
    EXPECT_FALSE(reader.nextEntry());
}

TEST(ListingReader, shortLinesKeepTheInfoPartOfTheLastLongLine)
{
    const std::string longLine = padded("first.gif", 68) + "           42 bytes 5/6/2007 1:02:03 AM";
    const std::string listing = "short.gif\r\n" + longLine + "\r\n" + std::string(69, 'x') + "\r\nend\r\n";
    QBuffer buffer;
    buffer.setData(QByteArray::fromStdString(listing));
    buffer.open(QIODevice::ReadOnly);
    ListingReader reader(buffer);

    ASSERT_TRUE(reader.nextEntry());
    EXPECT_EQ(reader.name(), "short.gif");
    EXPECT_EQ(reader.info(), "");
    ListingSizeAndDate taken = reader.takeSizeAndDate();
    EXPECT_EQ(taken.size, 0);
    EXPECT_EQ(taken.date, runtime::ZeroDate);
    EXPECT_EQ(runtime::formatDate(taken.date, "mmm, dd yy"), "Dec, 30 99");

    ASSERT_TRUE(reader.nextEntry());
    EXPECT_EQ(reader.name(), "first.gif");
    ASSERT_TRUE(reader.nextEntry());
    EXPECT_EQ(reader.name(), std::string(69, 'x'));  // 69 characters: the name as a whole
    ASSERT_TRUE(reader.nextEntry());
    EXPECT_EQ(reader.name(), "end");
    taken = reader.takeSizeAndDate();
    EXPECT_EQ(taken.size, 42);
    EXPECT_EQ(taken.date, runtime::makeDate(2007, 5, 6, 1, 2, 3));
}

struct LineCase {
    const char* title;
    std::string listing;
    std::vector<ReadEntry> entries;
};

class ListingReaderLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(ListingReaderLines, followTheReadingRules)
{
    EXPECT_EQ(readAll(QByteArray::fromStdString(GetParam().listing)), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ListingReaderLines,
    ::testing::Values(
        LineCase{"rule lines and sub-folder lines are no entries",
                 "Volume:    CD 12\r\n---------------\r\n  <DIR> x\r\nlogo ----------------- copy.gif\r\nkept.gif\r\n",
                 {{"CD 12", "", "kept.gif", ""}}},
        LineCase{"marks anywhere in the line, every one removed",
                 "CD Volume: One Volume: \r\nx Directory: \\A\\ Directory:\r\nname.gif\r\n",
                 {{"CD  One", "x  \\A\\", "name.gif", ""}}},
        LineCase{"a line with both marks sets the volume",
                 "Volume: Directory: \\X\\\r\nname.gif\r\n",
                 {{"Directory: \\X\\", "", "name.gif", ""}}},
        LineCase{"marks are case-sensitive",
                 "volume: a\r\nDIRECTORY: b\r\n<dir> c\r\n",
                 {{"", "", "volume: a", ""}, {"", "", "DIRECTORY: b", ""}, {"", "", "<dir> c", ""}}},
        LineCase{"LF, CR and a last line without an end",
                 "Directory: \\A\\\na.gif\rb.gif\r\n\r\nc.gif",
                 {{"", "\\A\\", "a.gif", ""}, {"", "\\A\\", "b.gif", ""}, {"", "\\A\\", "c.gif", ""}}},
        LineCase{"code-page bytes pass unchanged",
                 "Directory: \\Caf\xE9\\\r\n\x8A\xFF.gif\r\n",
                 {{"", "\\Caf\xE9\\", "\x8A\xFF.gif", ""}}},
        LineCase{"a mark with nothing but blanks beside it leaves an empty folder, and the next folder's is whole",
                 "Directory: \\Long Folder Name\\\r\na.gif\r\nDirectory:   \r\nb.gif\r\n  Directory: \\C\\  \r\nc.gif\r\n",
                 {{"", "\\Long Folder Name\\", "a.gif", ""}, {"", "", "b.gif", ""}, {"", "\\C\\", "c.gif", ""}}},
        LineCase{"an empty listing", "", {}}),
    [](const ::testing::TestParamInfo<LineCase>& row) { return "case" + std::to_string(row.index); });

TEST(ListingReader, readsLinesLongerThanItsBlock)
{
    const std::string longName(2 * ListingInput::DefaultStretch + 1000, 'n');
    const std::string listing = "Directory: \\Big\\\r\n" + longName + "\r\nafter.gif\r\n";
    const std::vector<ReadEntry> entries = readAll(QByteArray::fromStdString(listing));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, longName.substr(0, 68));
    EXPECT_EQ(entries[0].info.size(), longName.size() - 68);
    EXPECT_EQ(entries[1], (ReadEntry{"", "\\Big\\", "after.gif", longName.substr(68)}));
}

TEST(ListingReader, sizeOrDateThatDoesNotConvertReadsAsZero)
{
    // An "n/a" line whose date text is longer than 25 characters: its info part
    // begins with " bytes ".
    EXPECT_EQ(readSizeAndDate(" bytes Thursday, December 11, 2008 10:30:00 AM").size, 0);

    struct Case {
        std::string info;
        std::int64_t size;
        runtime::Date date;
    };
    const runtime::Date date = runtime::makeDate(2008, 12, 11, 1, 0, 0);
    const std::vector<Case> cases = {
        {"       12,345 bytes not a date at all", 12345, runtime::ZeroDate},
        {"   -not-a-num bytes 12/11/2008 1:00:00 AM", 0, date},
        {"           -5 bytes 12/11/2008 1:00:00 AM", -5, date},
        {"2,147,483,648 bytes 12/11/2008 1:00:00 AM", 2147483648, date},
        {"9,999,999,999 bytes 12/11/2008 1:00:00 AM", 9999999999, date},
    };
    for (const Case& c : cases) {
        const ListingSizeAndDate values = readSizeAndDate(c.info);
        EXPECT_EQ(values.size, c.size) << c.info;
        EXPECT_EQ(values.date, c.date) << c.info;
    }
}

}  // namespace

namespace {

// The reading rules written plainly, to check the block-wise reader against;
// in UTF-8 the columns count UTF-16 units, and a character that would be cut
// in two goes to the info part.
std::vector<ReadEntry> readPlainly(const std::string& listing, bool utf8 = false)
{
    std::vector<ReadEntry> entries;
    std::string volume, folder, info;
    auto removed = [](std::string line, const std::string& mark) {
        for (std::size_t at = line.find(mark); at != std::string::npos; at = line.find(mark, at))
            line.erase(at, mark.size());
        const std::size_t first = line.find_first_not_of(' ');
        return first == std::string::npos ? std::string() : line.substr(first, line.find_last_not_of(' ') - first + 1);
    };
    std::size_t start = 0;
    while (start < listing.size()) {
        const std::size_t end = std::min(listing.find_first_of("\r\n", start), listing.size());
        const std::string line = listing.substr(start, end - start);
        start = end + (listing.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (line.empty())
            continue;
        if (line.find("Volume:") != std::string::npos)
            volume = removed(line, "Volume:");
        else if (line.find("Directory:") != std::string::npos)
            folder = removed(line, "Directory:");
        else if (line.find("<DIR>") == std::string::npos && line.find("---------------") == std::string::npos) {
            std::string name = line;
            const QString units = QString::fromStdString(line);
            if (utf8 && units.size() > 69) {
                const qsizetype cut = units[67].isHighSurrogate() ? 67 : 68;
                name = units.left(cut).toStdString();
                name.erase(name.find_last_not_of(' ') + 1);
                info = units.mid(cut).toStdString();
            } else if (!utf8 && line.size() > 69) {
                name = line.substr(0, 68);
                name.erase(name.find_last_not_of(' ') + 1);
                info = line.substr(68);
            }
            entries.push_back({volume, folder, name, info});
        }
    }
    return entries;
}

// Lines of every kind and length, with marks at every place, at least `size`
// bytes; `more` pieces join the usual ones.
std::string randomListing(std::size_t size, const std::vector<std::string>& more = {})
{
    std::vector<std::string> pieces = {
        "Volume:    CD ", "Directory: \\A\\B\\", "<DIR> sub", "---------------", "--------------",
        "x-y--z", "e:y:", "drama:", "a<b", "<D", "<DIR", "time 10:30:00 AM", std::string(60, ' '), "\xC9\x8A", "Volume", "Directory"};
    pieces.insert(pieces.end(), more.begin(), more.end());
    const std::vector<std::string> endings = {"\r\n", "\n", "\r", "\r\n\r\n"};
    std::string listing;
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % bound;
    };
    while (listing.size() < size) {
        std::string line;
        for (std::uint32_t parts = next(6); parts > 0; --parts)
            line += pieces[next(static_cast<std::uint32_t>(pieces.size()))] + std::string(next(30), 'n');
        listing += line + endings[next(static_cast<std::uint32_t>(endings.size()))];
    }
    return listing;
}

TEST(ListingReader, agreesWithThePlainRulesAcrossBlockBoundaries)
{
    const std::string listing = randomListing(1200 * 1024);  // several blocks
    const std::vector<ReadEntry> expected = readPlainly(listing);
    ASSERT_GT(expected.size(), 5000u);
    EXPECT_EQ(readAll(QByteArray::fromStdString(listing)), expected);
}

// Greek and Chinese take two and three bytes a character, the laughing face
// four bytes and two units.
TEST(ListingReader, countsTheColumnsOfAUtf8ListingInUnits)
{
    const std::string listing =
        randomListing(1200 * 1024, {"\xCE\x98\xCE\xAC\xCE\xBB", "\xE6\xB5\xB7\xE6\xBB\xA9", "\xF0\x9F\x98\x80",
                                    std::string(50, 'g')});
    const std::vector<ReadEntry> expected = readPlainly(listing, true);
    ASSERT_GT(expected.size(), 5000u);
    EXPECT_EQ(readAll("\xEF\xBB\xBF" + QByteArray::fromStdString(listing)), expected);
    // The byte-order mark is found in however small a stretch.
    const std::string start = listing.substr(0, 4000);
    EXPECT_EQ(readAll("\xEF\xBB\xBF" + QByteArray::fromStdString(start), 2), readPlainly(start, true));
}

// A listing file read through the reader, `stretch` bytes in hand at a time:
// a regular file is mapped a window at a time.
class ListingFile {
public:
    explicit ListingFile(const std::string& listing)
    {
        EXPECT_TRUE(folder_.isValid());
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(listing.data(), static_cast<qint64>(listing.size()));
    }
    QString path() const { return folder_.filePath("listing.txt"); }

    // Reads `first` entries, cuts the file to `cutTo` bytes when that is not
    // negative, and reads the rest.
    std::vector<ReadEntry> read(std::size_t stretch, std::size_t first = 0, qint64 cutTo = -1) const
    {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        ListingReader reader(file, stretch);
        std::vector<ReadEntry> entries;
        for (bool more = true; more;) {
            if (entries.size() == first && cutTo >= 0) {
                EXPECT_TRUE(QFile::resize(path(), cutTo));
            }
            more = reader.nextEntry();
            if (more) {
                entries.push_back({std::string(reader.volume()), std::string(reader.folder()),
                                   std::string(reader.name()), std::string(reader.info())});
            }
        }
        return entries;
    }

private:
    QTemporaryDir folder_;
};

TEST(ListingReader, readsAFileAsItsBytesWhereverAWindowEnds)
{
    const std::string listing = randomListing(64 * 1024);
    const std::vector<ReadEntry> expected = readPlainly(listing);
    const ListingFile file(listing);
    // Each window begins with a line; as its size grows by one byte, its end
    // moves through every place of the lines it ends in.
    for (std::size_t stretch = 4096; stretch < 4096 + 200; ++stretch)
        ASSERT_EQ(file.read(stretch), expected) << stretch;
}

TEST(ListingReader, endsAFileCutShortWhileItIsReadWhereItEndsNow)
{
    const std::string listing = randomListing(1200 * 1024);
    struct Cut {
        const char* where;
        qint64 size;
    };
    // The first window holds the first 256 KB; a touch of its pages past the
    // cut would end the program without the reader's guard.
    for (const Cut& cut : {Cut{"inside the window in hand", 100 * 1000 + 7}, Cut{"beyond it", 700 * 1000}}) {
        const std::vector<ReadEntry> expected = readPlainly(listing.substr(0, static_cast<std::size_t>(cut.size)));
        EXPECT_EQ(ListingFile(listing).read(256 * 1024, 10, cut.size), expected) << cut.where;
    }
}

TEST(ListingReader, readsTheWalksFormsAsTheRuntimeConvertsThem)
{
    const std::vector<std::string> dates = {"12/11/2008 10:30:00 AM", "1/2/2009 12:04:05 PM", "1/2/2009 12:04:05 AM",
                                            "2/29/2008", "12/31/1999 11:59:59 PM", "2/30/2008", "13/1/2008",
                                            "1/1/2008 13:00:00 PM", "1/1/0998", "Dec 11, 2008"};
    for (const std::string& date : dates) {
        const ListingSizeAndDate values = readSizeAndDate("    1,234,567 bytes " + date);
        EXPECT_EQ(values.date, runtime::parseDate(QString::fromStdString(date)).value_or(runtime::ZeroDate)) << date;
        EXPECT_EQ(values.size, 1234567);
    }
}

}  // namespace
