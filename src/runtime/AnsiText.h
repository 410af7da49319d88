#pragma once
// Text files in the Windows-1252 code page with CR LF line ends, read and
// written line by line as the classic runtime's Line Input and Print do.
// Characters the code page lacks are written as "?". Paths are host paths.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <string_view>

namespace runtime {

// What begins a text file in UTF-8 that would otherwise be taken for one in
// the code page.
inline constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which the code page leaves undefined,
// read as U+0081 etc. and are written back unchanged, so every byte string
// survives the round trip. Each UTF-16 unit the code page lacks becomes one
// "?" (a surrogate pair two), so a text keeps its length in bytes.
QString fromAnsi(const QByteArray& bytes);
QByteArray toAnsi(const QString& text);
// Lower-case of a Windows-1252 byte, as the code page's lower-casing does.
unsigned char ansiLower(unsigned char byte);

class AnsiTextReader {
public:
    // Raises 53 when the file is missing, 75 when it cannot be opened.
    explicit AnsiTextReader(const QString& hostPath);

    bool atEnd() const;
    // One line without its end (CR LF, LF or CR); raises 62 past the end.
    QString readLine();
    // One delimited field as Input # reads it: a field in double quotes is taken
    // unchanged up to the closing quote; an unquoted field runs to the next
    // comma or line end with blanks at its ends dropped; raises 62 past the end.
    QString readField();

private:
    int peekByte() const;  // -1 at the end
    void skipByte() { ++position_; }

    mutable QFile file_;
    mutable QByteArray buffer_;  // the part of the file read ahead
    mutable qsizetype position_ = 0;
};

// The fields of one line under the rules of readField; a line of blanks has none.
QStringList delimitedFields(const QString& line);

class AnsiTextWriter {
public:
    enum class Mode { Output, Append };
    // AnsiOrUtf8: the file stays in the code page until a text holds a
    // character it lacks; then what was written is turned into UTF-8 after a
    // byte-order mark, in place, and everything after it is written in UTF-8.
    enum class Encoding { Ansi, AnsiOrUtf8 };
    // Raises 76 when the folder is missing, 75 when the file cannot be written.
    explicit AnsiTextWriter(const QString& hostPath, Mode mode = Mode::Output,
                            Encoding encoding = Encoding::Ansi);

    void writeLine(const QString& line);  // the line and CR LF
    void write(const QString& text);      // no line end
    void close();
    bool isUtf8() const { return utf8_; }

private:
    void writeBytes(const QByteArray& bytes);
    void turnIntoUtf8();

    QFile file_;
    bool utf8Allowed_;
    bool utf8_ = false;
};

}  // namespace runtime
