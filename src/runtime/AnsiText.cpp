#include "runtime/AnsiText.h"

#include "runtime/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace runtime {

namespace {

constexpr qint64 ReadAheadSize = 64 * 1024;
constexpr int DiskFull = 61;

// Raises 61 when the disk is full, else 75.
[[noreturn]] void raiseWriteFault(const QFileDevice& file)
{
    raise(file.error() == QFileDevice::ResourceError ? DiskFull : err::PathFileAccessError);
}

bool isLineEnd(int c) { return c == '\r' || c == '\n'; }

// Reads one delimited field from a cursor with peek() (-1 at the end) and
// skip(); false when only blanks and line ends were left. A cursor over
// bytes fills a QByteArray, one over a QString fills a QString.
template <typename Cursor, typename Text>
bool takeField(Cursor& in, Text& field)
{
    while (in.peek() == ' ' || in.peek() == '\t' || isLineEnd(in.peek()))
        in.skip();
    if (in.peek() < 0)
        return false;
    auto skipDelimiter = [&in] {
        const int c = in.peek();
        in.skip();
        if (c == '\r' && in.peek() == '\n')
            in.skip();
    };
    if (in.peek() == '"') {
        in.skip();
        for (int c = in.peek(); c >= 0 && c != '"'; c = in.peek()) {
            field += typename Text::value_type(c);
            in.skip();
        }
        if (in.peek() == '"')
            in.skip();
        while (in.peek() >= 0 && in.peek() != ',' && !isLineEnd(in.peek()))
            in.skip();
    } else {
        for (int c = in.peek(); c >= 0 && c != ',' && !isLineEnd(c); c = in.peek()) {
            field += typename Text::value_type(c);
            in.skip();
        }
        while (!field.isEmpty() && (field.back() == ' ' || field.back() == '\t'))
            field.chop(1);
    }
    if (in.peek() >= 0)
        skipDelimiter();
    return true;
}

struct LineCursor {
    const QString& line;
    qsizetype position = 0;
    int peek() const { return position < line.size() ? line[position].unicode() : -1; }
    void skip() { ++position; }
};

}  // namespace

AnsiTextReader::AnsiTextReader(const QString& hostPath) : file_(hostPath)
{
    const QFileInfo info(hostPath);
    if (!info.exists())
        raise(err::FileNotFound);
    if (info.isDir() || !file_.open(QIODevice::ReadOnly))
        raise(err::PathFileAccessError);
}

int AnsiTextReader::peekByte() const
{
    if (position_ == buffer_.size()) {
        buffer_ = file_.read(ReadAheadSize);
        position_ = 0;
        if (buffer_.isEmpty())
            return -1;
    }
    return static_cast<unsigned char>(buffer_[position_]);
}

bool AnsiTextReader::atEnd() const
{
    return peekByte() < 0;
}

QString AnsiTextReader::readLine()
{
    if (atEnd())
        raise(err::InputPastEndOfFile);
    QByteArray line;
    while (peekByte() >= 0) {
        qsizetype end = position_;
        while (end < buffer_.size() && !isLineEnd(buffer_[end]))
            ++end;
        line.append(buffer_.constData() + position_, end - position_);
        position_ = end;
        if (end < buffer_.size()) {
            const char lineEnd = buffer_[position_++];
            if (lineEnd == '\r' && peekByte() == '\n')
                skipByte();
            break;
        }
    }
    return fromAnsi(line);
}

QString AnsiTextReader::readField()
{
    struct FileCursor {
        AnsiTextReader& reader;
        int peek() const { return reader.peekByte(); }
        void skip() { reader.skipByte(); }
    } cursor{*this};
    QByteArray field;
    if (!takeField(cursor, field))
        raise(err::InputPastEndOfFile);
    return fromAnsi(field);
}

QStringList delimitedFields(const QString& line)
{
    LineCursor cursor{line};
    QStringList fields;
    for (QString field; takeField(cursor, field); field.clear())
        fields += field;
    return fields;
}

AnsiTextWriter::AnsiTextWriter(const QString& hostPath, Mode mode, Encoding encoding)
    : file_(hostPath), utf8Allowed_(encoding == Encoding::AnsiOrUtf8)
{
    if (!QFileInfo(hostPath).absoluteDir().exists())
        raise(err::PathNotFound);
    const QIODevice::OpenMode openMode =
        mode == Mode::Append ? QIODevice::WriteOnly | QIODevice::Append
                             : QIODevice::WriteOnly | QIODevice::Truncate;
    if (QFileInfo(hostPath).isDir() || !file_.open(openMode))
        raise(err::PathFileAccessError);
}

// A character the code page lacks comes out as "?", so only a text whose
// bytes hold one needs a second look.
void AnsiTextWriter::write(const QString& text)
{
    if (utf8_) {
        writeBytes(text.toUtf8());
        return;
    }
    const QByteArray bytes = toAnsi(text);
    if (utf8Allowed_ && bytes.contains('?') && fromAnsi(bytes) != text) {
        turnIntoUtf8();
        writeBytes(text.toUtf8());
        return;
    }
    writeBytes(bytes);
}

void AnsiTextWriter::writeBytes(const QByteArray& bytes)
{
    if (file_.write(bytes) != bytes.size())
        raiseWriteFault(file_);
}

// Every byte of the code page has one UTF-8 form of one to three bytes, so
// the file only grows: its blocks are moved from the last to the first, each
// to where its UTF-8 form begins, and no byte is overwritten before it is read.
void AnsiTextWriter::turnIntoUtf8()
{
    if (!file_.flush())
        raiseWriteFault(file_);
    QFile file(file_.fileName());
    if (!file.open(QIODevice::ReadWrite))
        raiseWriteFault(file);
    constexpr qint64 Block = 1024 * 1024;
    const qint64 ansiSize = file.size();
    std::vector<qint64> targets;  // where each block's UTF-8 form begins
    qint64 size = static_cast<qint64>(Utf8ByteOrderMark.size());
    for (QByteArray block; !(block = file.read(Block)).isEmpty(); size += fromAnsi(block).toUtf8().size())
        targets.push_back(size);
    if (file.error() != QFileDevice::NoError || !file.resize(size))
        raiseWriteFault(file);
    for (auto index = static_cast<qint64>(targets.size()); index-- > 0;) {
        if (!file.seek(index * Block))
            raiseWriteFault(file);
        const QByteArray utf8 = fromAnsi(file.read(std::min(Block, ansiSize - index * Block))).toUtf8();
        if (!file.seek(targets[static_cast<std::size_t>(index)]) || file.write(utf8) != utf8.size())
            raiseWriteFault(file);
    }
    if (!file.seek(0) || file.write(Utf8ByteOrderMark.data(), static_cast<qint64>(Utf8ByteOrderMark.size())) !=
                             static_cast<qint64>(Utf8ByteOrderMark.size()) || !file.flush())
        raiseWriteFault(file);
    file.close();
    if (!file_.seek(size))
        raiseWriteFault(file_);
    utf8_ = true;
}

void AnsiTextWriter::writeLine(const QString& line)
{
    write(line + QStringLiteral("\r\n"));
}

void AnsiTextWriter::close()
{
    if (file_.isOpen() && !file_.flush())
        raiseWriteFault(file_);
    file_.close();
}

}  // namespace runtime
