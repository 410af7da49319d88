#pragma once
// Text files in the Windows-1252 code page with CR LF line ends, read and
// written line by line as the classic runtime's Line Input and Print do.
// Characters the code page lacks are written as "?". Paths are host paths.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace runtime {

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
    int peekByte() const;
    QFile file_;
};

class AnsiTextWriter {
public:
    enum class Mode { Output, Append };
    // Raises 76 when the folder is missing, 75 when the file cannot be written.
    explicit AnsiTextWriter(const QString& hostPath, Mode mode = Mode::Output);

    void writeLine(const QString& line);  // the line and CR LF
    void write(const QString& text);      // no line end
    void close();

private:
    QFile file_;
};

}  // namespace runtime
