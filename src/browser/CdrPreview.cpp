#include "browser/CdrPreview.h"

#include "platform/ByteView.h"
#include "platform/FileSystem.h"
#include "platform/HostNames.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtEndian>
#include <cstdlib>
#include <limits>
#include <optional>
#include <unistd.h>

using platform::ByteView;

namespace {

constexpr qint64 FileHeadSize = 12;
constexpr qint64 ChunkHeadSize = 8;
constexpr qint64 InfoHeaderSize = 40;
constexpr qint64 BitmapFileHeaderSize = 14;

bool acceptedFormType(QByteArrayView formType)
{
    return formType == "CDR8" || formType == "CDRC" || formType == "CDRD";
}

// The colour table's size in bytes: only 1-, 4- and 8-bit previews have one.
qint64 paletteSize(const ByteView& header)
{
    const int bitCount = header.u16(14);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8)
        return 0;
    const qint64 colorsUsed = header.u32(32);
    return 4 * (colorsUsed != 0 ? colorsUsed : qint64{1} << bitCount);
}

// The size of the pixels: the header's own count, or, when it gives 0, the
// rows the width, height and bit count make (at most far more than any file
// holds, never an overflow).
qint64 imageSize(const ByteView& header)
{
    const qint64 stated = header.u32(20);
    if (stated != 0)
        return stated;
    const qint64 width = header.i32(4);
    const qint64 rows = std::abs(qint64{header.i32(8)});
    const qint64 stride = width > 0 ? (width * header.u16(14) + 31) / 32 * 4 : 0;
    constexpr qint64 Beyond = std::numeric_limits<qint64>::max() / 2;
    return rows != 0 && stride > Beyond / rows ? Beyond : stride * rows;
}

// Reads exactly `length` bytes; nullopt when the file ends first.
std::optional<QByteArray> readExactly(QFile& file, qint64 length)
{
    if (length > file.size() - file.pos())
        return std::nullopt;
    QByteArray bytes = file.read(length);
    if (bytes.size() != length)
        return std::nullopt;
    return bytes;
}

// Walks the chunks up to "DISP"; the file stands just past its head then.
bool findPreviewChunk(QFile& drawing)
{
    const std::optional<QByteArray> head = readExactly(drawing, FileHeadSize);
    if (!head || !acceptedFormType(QByteArrayView(*head).sliced(8, 4)))
        return false;
    for (;;) {
        const std::optional<QByteArray> chunk = readExactly(drawing, ChunkHeadSize);
        if (!chunk)
            return false;
        const QByteArrayView id = QByteArrayView(*chunk).first(4);
        if (id == "LIST")
            return false;
        if (id == "DISP")
            return true;
        const qint64 size = ByteView(*chunk).u32(4);
        const qint64 next = drawing.pos() + size + (size % 2);
        if (next >= drawing.size() || !drawing.seek(next))
            return false;
    }
}

// The preview file this thread wrote last, as a Windows path; empty once removed.
QString& lastPreview()
{
    thread_local QString path;
    return path;
}

// The bytes as the whole file, or false with no file left.
bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (file.write(bytes) == bytes.size() && file.flush())
        return true;
    file.remove();
    return false;
}

// The preview goes to the program's folder or, for an installed program whose
// folder cannot be written, to the user's cache folder.
void writePreview(const QByteArray& header, qint64 palette, const QByteArray& colorsAndPixels)
{
    QByteArray fileHeader(BitmapFileHeaderSize, '\0');
    fileHeader[0] = 'B';
    fileHeader[1] = 'M';
    qToLittleEndian<quint32>(static_cast<quint32>(BitmapFileHeaderSize + InfoHeaderSize + palette), fileHeader.data() + 10);
    const QByteArray bytes = fileHeader + header + colorsAndPixels;

    const QString name = QString::number(::gettid()) + ".dib";
    QString written = platform::programHostFolder() + "/" + name;
    if (!writeWhole(written, bytes)) {
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        written = cache + "/" + name;
        if (cache.isEmpty() || !QDir().mkpath(cache) || !writeWhole(written, bytes))
            runtime::raise(runtime::err::PathFileAccessError);
    }
    lastPreview() = platform::fileSystem().windowsPath(written);
}

}  // namespace

bool ExtractCdrPreview(const QString& Folder, const QString& FileName)
{
    const QString path = Folder + FileName;
    platform::FileSystem& files = platform::fileSystem();
    if (!files.fileExists(path))
        runtime::raise(runtime::err::FileNotFound);
    QFile drawing;
    if (!platform::openHostFileForReading(drawing, files.hostPath(path)))
        runtime::raise(runtime::err::PathFileAccessError);
    if (!findPreviewChunk(drawing))
        return false;

    // The chunk's first value is not used.
    const std::optional<QByteArray> start = readExactly(drawing, 4 + InfoHeaderSize);
    if (!start)
        return false;
    const QByteArray header = start->sliced(4);
    const ByteView fields(header);
    const qint64 palette = paletteSize(fields);
    // Sizes beyond what is left of the file are a damaged drawing, never an allocation.
    const std::optional<QByteArray> colorsAndPixels = readExactly(drawing, palette + imageSize(fields));
    if (!colorsAndPixels)
        return false;
    writePreview(header, palette, *colorsAndPixels);
    return true;
}

QString cdrPreviewFile() { return lastPreview(); }

void removeCdrPreview()
{
    if (lastPreview().isEmpty())
        return;
    QFile::remove(platform::fileSystem().hostPath(lastPreview()));
    lastPreview().clear();
}

QString pictureFileToShow(const QString& Folder, const QString& FileName)
{
    if (FileName.right(3).toLower() != u"cdr")
        return Folder + FileName;
    return ExtractCdrPreview(Folder, FileName) ? cdrPreviewFile() : placeholderPicture();
}

QString placeholderPicture() { return programFolderWithBackslash() + QStringLiteral("genfile.jpg"); }
