#include "platform/PictureLoader.h"

#include "platform/DibReader.h"
#include "platform/EmfRenderer.h"
#include "platform/FileSystem.h"
#include "platform/HostNames.h"
#include "platform/Services.h"
#include "platform/WmfRenderer.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <limits>

namespace platform {

namespace {

// Larger files are not taken for pictures (the decoders' own limit is alike).
constexpr qint64 MaxPictureFileSize = qint64{256} * 1024 * 1024;

// Enough of a file's start to tell every format apart.
constexpr qint64 SniffedBytes = 64;

enum class Format { Bitmap, Gif, Jpeg, WindowsMetafile, EnhancedMetafile, Unknown };

Format sniff(QByteArrayView bytes)
{
    if (bytes.startsWith("BM"))
        return Format::Bitmap;
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return Format::Gif;
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return Format::Jpeg;
    if (looksLikeEnhancedMetafile(bytes))
        return Format::EnhancedMetafile;
    if (looksLikeWindowsMetafile(bytes))
        return Format::WindowsMetafile;
    return Format::Unknown;
}

[[noreturn]] void invalidPicture() { runtime::raise(runtime::err::InvalidPicture); }

QByteArray readPictureFile(const QString& path)
{
    FileSystem& files = fileSystem();
    if (!files.fileExists(path))
        runtime::raise(runtime::err::FileNotFound);
    QFile file;
    if (!openHostFileForReading(file, files.hostPath(path)))
        runtime::raise(runtime::err::PathFileAccessError);
    // A file that is no picture (a sound file double-clicked in the hit list,
    // retried many times) is refused from its first bytes, not read whole.
    if (file.size() > MaxPictureFileSize || sniff(file.peek(SniffedBytes)) == Format::Unknown)
        invalidPicture();
    return file.readAll();
}

QSize capped(QSize size)
{
    const int side = std::max(size.width(), size.height());
    return side > MaxMetafileRenderSide ? size.scaled(MaxMetafileRenderSide, MaxMetafileRenderSide, Qt::KeepAspectRatio)
                                        : size;
}

Picture bitmapPicture(const QImage& image)
{
    if (image.isNull())
        invalidPicture();
    return {image, himetricFromPixels(image.size()), false};
}

// GIF and JPEG through Qt's readers, turned by the JPEG's orientation.
Picture readWithQt(QByteArray bytes, const char* format, const DecodeSize& decodeSize)
{
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(true);
    if (decodeSize) {
        // The decoder scales before it turns the picture.
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        const QSize stored = reader.size();
        const QSize wanted = decodeSize(turned ? stored.transposed() : stored);
        if (stored.isValid() && wanted.isValid() && !wanted.isEmpty())
            reader.setScaledSize(turned ? wanted.transposed() : wanted);
    }
    return bitmapPicture(reader.read());
}

Picture readBitmap(const QByteArray& bytes, const DecodeSize& decodeSize)
{
    QImage image = readBitmapFile(bytes);
    if (decodeSize && !image.isNull()) {
        const QSize wanted = decodeSize(image.size());
        if (wanted.isValid() && !wanted.isEmpty() && wanted != image.size())
            image = image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return bitmapPicture(image);
}

Picture metafilePicture(const std::optional<RenderedMetafile>& rendered, bool resized)
{
    if (!rendered)
        invalidPicture();
    const QSizeF size = resized ? himetricFromPixels(rendered->image.size()) : rendered->ownHimetric;
    return {rendered->image, size, true};
}

Picture readMetafile(const QByteArray& bytes, Format format, const DecodeSize& decodeSize)
{
    const RenderSize renderSize = [&](QSize own) { return capped(decodeSize ? decodeSize(own) : own); };
    if (format == Format::EnhancedMetafile)
        return metafilePicture(renderEnhancedMetafile(bytes, renderSize), bool(decodeSize));
    const std::optional<WindowsMetafile> checked = checkWindowsMetafile(bytes);
    if (!checked)
        invalidPicture();
    return metafilePicture(renderWindowsMetafile(*checked, renderSize), bool(decodeSize));
}

}  // namespace

QSizeF himetricFromPixels(QSizeF pixels) { return pixels * (HimetricPerInch / PixelsPerInch); }

QSize pixelsFromHimetric(QSizeF himetric)
{
    // A damaged metafile's frame can name more pixels than a size holds: it stays the largest.
    const auto pixels = [](double himetricSide) {
        const std::int64_t side = runtime::roundHalfEven(himetricSide * (PixelsPerInch / HimetricPerInch));
        return static_cast<int>(std::min<std::int64_t>(side, std::numeric_limits<int>::max()));
    };
    return {pixels(himetric.width()), pixels(himetric.height())};
}

Picture LoadPicture(const QString& path) { return LoadPicture(path, DecodeSize()); }

Picture LoadPicture(const QString& path, const DecodeSize& decodeSize)
{
    const QByteArray bytes = readPictureFile(path);
    const Format format = sniff(bytes);
    switch (format) {
    case Format::Bitmap: return readBitmap(bytes, decodeSize);
    case Format::Gif: return readWithQt(bytes, "gif", decodeSize);
    case Format::Jpeg: return readWithQt(bytes, "jpeg", decodeSize);
    case Format::WindowsMetafile:
    case Format::EnhancedMetafile: return readMetafile(bytes, format, decodeSize);
    case Format::Unknown: break;
    }
    invalidPicture();
}

}  // namespace platform
