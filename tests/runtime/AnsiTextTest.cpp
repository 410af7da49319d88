#include "runtime/AnsiText.h"
#include "runtime/RuntimeError.h"
#include "runtime/ErrorNumber.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace runtime;

namespace {

class AnsiFile : public testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("file.txt")) const
    {
        return dir_.filePath(name);
    }
    QString write(const QByteArray& bytes) const
    {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path();
    }
    QByteArray read() const
    {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    static QStringList allLines(AnsiTextReader& reader)
    {
        QStringList lines;
        while (!reader.atEnd())
            lines += reader.readLine();
        return lines;
    }

private:
    QTemporaryDir dir_;
};

TEST(AnsiCodePage, EveryByteRoundTrips)
{
    QByteArray bytes;
    for (int byte = 0; byte < 256; ++byte)
        bytes += static_cast<char>(byte);
    const QString text = fromAnsi(bytes);
    EXPECT_EQ(toAnsi(text), bytes);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x81], QChar(0x0081));
    EXPECT_EQ(text[0x8A], QChar(0x0160));
    EXPECT_EQ(text[0x9D], QChar(0x009D));
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    EXPECT_EQ(text[0xE9], QChar(0x00E9));
}

TEST(AnsiCodePage, ABytePeculiarToTheCodePageIsFoundAnywhere)
{
    // Each byte at each place of texts of every length around a word of
    // eight bytes: those of 0x80-0x9F differ from Latin-1, their neighbours not.
    const std::vector<std::pair<char, QChar>> bytes = {
        {'\x80', QChar(0x20AC)}, {'\x9F', QChar(0x0178)}, {'\x7F', QChar(0x7F)}, {'\xA0', QChar(0xA0)}};
    for (int length = 1; length <= 19; ++length) {
        for (int place = 0; place < length; ++place) {
            for (const auto& [byte, unit] : bytes) {
                QByteArray text(length, 'a');
                text[place] = byte;
                QString expected(length, u'a');
                expected[place] = unit;
                EXPECT_EQ(fromAnsi(text), expected) << length << ' ' << place << ' ' << int(byte);
            }
        }
    }
}

TEST(AnsiCodePage, MissingCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(toAnsi(QStringLiteral("Gr\u00fc\u00dfe \u20ac")), QByteArray("Gr\xfc\xdf" "e \x80"));
    EXPECT_EQ(toAnsi(QStringLiteral("\u0100\u0080x")), QByteArray("??x"));
    EXPECT_EQ(toAnsi(QString::fromUtf8("a\xF0\x9F\x98\x80")), QByteArray("a??"));  // one per unit
}

// Plain text is taken many characters at a time: a character outside ASCII
// is converted wherever it stands, ahead of, inside or after such a stretch.
TEST(AnsiCodePage, ConvertsACharacterOutsideAsciiAnywhereInALine)
{
    const std::pair<char16_t, char> converted[] = {{0x20AC, '\x80'}, {0x0080, '?'}, {0x00E9, '\xE9'}};
    for (const auto& [unit, byte] : converted) {
        for (qsizetype size = 1; size <= 50; ++size) {
            for (qsizetype at = 0; at < size; ++at) {
                QString text(size, u'a');
                QByteArray bytes(size, 'a');
                text[at] = QChar(unit);
                bytes[at] = byte;
                ASSERT_EQ(toAnsi(text), bytes) << "size " << size << ", U+" << std::hex << int(unit) << " at " << at;
            }
        }
    }
}

TEST(AnsiCodePage, LowerCaseAgreesWithUnicode)
{
    const std::pair<int, int> rows[] = {{'A', 'a'}, {'Z', 'z'}, {'[', '['}, {0xC0, 0xE0},
                                        {0xD7, 0xD7}, {0xDE, 0xFE}, {0xDF, 0xDF}, {0x8A, 0x9A},
                                        {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}, {0xFF, 0xFF}};
    for (const auto& [byte, lower] : rows)
        EXPECT_EQ(ansiLower(static_cast<unsigned char>(byte)), lower) << byte;
    for (int byte = 0; byte < 256; ++byte) {
        const QString lower = fromAnsi(QByteArray(1, static_cast<char>(ansiLower(byte))));
        const QString upper = fromAnsi(QByteArray(1, static_cast<char>(byte)));
        if (lower != upper) {
            EXPECT_EQ(lower, upper.toLower()) << byte;
        }
    }
}

TEST_F(AnsiFile, ReadsEveryKindOfLineEnd)
{
    AnsiTextReader reader(write("a\r\nb\nc\rd\r\n\r\n\n\xe9"));
    EXPECT_EQ(allLines(reader), QStringList({"a", "b", "c", "d", "", "", "\u00e9"}));
    EXPECT_EQ(errorNumberOf([&] { reader.readLine(); }), err::InputPastEndOfFile);
}

TEST_F(AnsiFile, LineEndSplitAcrossReadAhead)
{
    const QByteArray longLine(64 * 1024 - 1, 'x');  // CR ends the first read-ahead
    AnsiTextReader reader(write(longLine + "\r\nnext\r\n"));
    EXPECT_EQ(allLines(reader), QStringList({QString::fromLatin1(longLine), "next"}));
}

TEST_F(AnsiFile, EmptyFileIsAtEnd)
{
    AnsiTextReader reader(write(""));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(errorNumberOf([&] { reader.readField(); }), err::InputPastEndOfFile);
}

TEST_F(AnsiFile, ReadsDelimitedFields)
{
    AnsiTextReader reader(write("\"a, b\",\"c\"\r\n  plain text  , next\r\n"
                                "\"quoted\" junk,after\r\n\r\na,,b\n\"open"));
    QStringList fields;
    while (!reader.atEnd())
        fields += reader.readField();
    EXPECT_EQ(fields, QStringList({"a, b", "c", "plain text", "next", "quoted", "after", "a", "",
                                   "b", "open"}));
}

TEST(DelimitedFields, SplitsOneLine)
{
    EXPECT_EQ(delimitedFields("\"My clips\",\"C:\\Art, old\\\""),
              QStringList({"My clips", "C:\\Art, old\\"}));
    EXPECT_EQ(delimitedFields("\"a\"b,c\",\"p\""), QStringList({"a", "c\"", "p"}));
    EXPECT_TRUE(delimitedFields("   ").isEmpty());
}

TEST_F(AnsiFile, WriterAndReaderRoundTrip)
{
    const QStringList lines = {"Gr\u00fc\u00dfe \u20ac", "", "  blanks kept  ", "\"q\",x"};
    {
        AnsiTextWriter writer(path());
        for (const QString& line : lines)
            writer.writeLine(line);
        writer.close();
    }
    {
        AnsiTextWriter writer(path(), AnsiTextWriter::Mode::Append);
        writer.write("tail");
    }
    EXPECT_TRUE(read().startsWith("Gr\xfc\xdf" "e \x80\r\n\r\n"));
    AnsiTextReader reader(path());
    EXPECT_EQ(allLines(reader), lines + QStringList{"tail"});
}

// A file that may turn into UTF-8 stays byte for byte in the code page until
// a line needs more; then all of it, earlier blocks included, is UTF-8 after a
// byte-order mark, in append mode too.
TEST_F(AnsiFile, TurnsIntoUtf8AtTheFirstLineTheCodePageLacks)
{
    const QString latin = QStringLiteral("caf\u00e9 \u0160ka ?");
    const QString greek = QStringLiteral("\u0398\u03ac\u03bb\u03b1\u03c3\u03c3\u03b1");
    const QString longer = QString(latin + u'\n').repeated(200000);  // several blocks of 1 MB once in UTF-8
    struct Case {
        const char* name;
        QStringList lines;
        AnsiTextWriter::Mode mode;
        bool utf8;
    };
    const std::vector<Case> cases = {
        {"Latin only", {latin, longer, latin}, AnsiTextWriter::Mode::Output, false},
        {"Greek first", {greek, latin}, AnsiTextWriter::Mode::Output, true},
        {"Greek after blocks", {latin, longer, greek, latin}, AnsiTextWriter::Mode::Output, true},
        {"Greek appended", {latin, greek}, AnsiTextWriter::Mode::Append, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write(c.mode == AnsiTextWriter::Mode::Append ? "old \xE9\r\n" : "");
        AnsiTextWriter writer(path(), c.mode, AnsiTextWriter::Encoding::AnsiOrUtf8);
        for (const QString& line : c.lines)
            writer.writeLine(line);
        writer.close();
        EXPECT_EQ(writer.isUtf8(), c.utf8);
        const QString text = (c.mode == AnsiTextWriter::Mode::Append ? QStringLiteral("old \u00e9\r\n") : QString()) +
                             c.lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        const QByteArray expected =
            c.utf8 ? QByteArray(Utf8ByteOrderMark.data(), Utf8ByteOrderMark.size()) + text.toUtf8() : toAnsi(text);
        EXPECT_TRUE(read() == expected);
    }
}

TEST_F(AnsiFile, OpenFailuresRaiseTheRuntimeNumbers)
{
    EXPECT_EQ(errorNumberOf([&] { AnsiTextReader reader(path("missing.txt")); }), err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { AnsiTextReader reader(path("")); }), err::PathFileAccessError);
    EXPECT_EQ(errorNumberOf([&] { AnsiTextWriter writer(path("no/such.txt")); }), err::PathNotFound);
    EXPECT_EQ(errorNumberOf([&] { AnsiTextWriter writer(path("")); }), err::PathFileAccessError);
}

}  // namespace
