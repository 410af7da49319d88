#include "platform/EmfRenderer.h"

#include "platform/ByteView.h"
#include "platform/PictureLoader.h"

#include <QPainter>
#include <QSvgRenderer>
#include <cstdlib>
#include <emf2svg.h>
#include <memory>

namespace platform {

namespace {

constexpr std::uint32_t HeaderRecord = 1;
constexpr std::uint32_t EndRecord = 14;
constexpr std::uint32_t Signature = 0x464D4520;  // " EMF"
constexpr std::int64_t MinHeaderSize = 88;

// The length of the metafile up to and with its end record; 0 when a record
// leaves the file or the end record is missing.
std::int64_t checkedLength(const ByteView& file)
{
    const std::int64_t headerSize = file.u32(4);
    if (headerSize < MinHeaderSize || !file.has(0, headerSize))
        return 0;
    std::int64_t at = 0;
    while (file.has(at, 8)) {
        const std::uint32_t type = file.u32(at);
        const std::int64_t size = file.u32(at + 4);
        if (size < 8 || size % 4 != 0 || !file.has(at, size))
            return 0;
        at += size;
        if (type == EndRecord)
            return at;
    }
    return 0;
}

// The header's frame (in hundredths of a millimetre), or its bounds (inclusive
// device pixels) when the frame is empty.
QSizeF ownSize(const ByteView& file)
{
    const QSizeF frame(file.i32(32) - std::int64_t{file.i32(24)}, file.i32(36) - std::int64_t{file.i32(28)});
    if (frame.width() > 0 && frame.height() > 0)
        return frame;
    const QSizeF bounds(file.i32(16) - std::int64_t{file.i32(8)} + 1, file.i32(20) - std::int64_t{file.i32(12)} + 1);
    return bounds.width() > 0 && bounds.height() > 0 ? himetricFromPixels(bounds) : QSizeF();
}

struct FreeDeleter {
    void operator()(char* text) const { std::free(text); }
};

QByteArray convertToSvg(QByteArrayView metafile)
{
    generatorOptions options{};
    options.nameSpace = nullptr;
    options.svgDelimiter = true;
    QByteArray input = metafile.toByteArray();  // the converter reads through a non-const pointer
    char* raw = nullptr;
    std::size_t length = 0;
    const int converted = emf2svg(input.data(), static_cast<std::size_t>(input.size()), &raw, &length, &options);
    const std::unique_ptr<char, FreeDeleter> svg(raw);
    return converted && svg ? QByteArray(svg.get(), static_cast<qsizetype>(length)) : QByteArray();
}

}  // namespace

bool looksLikeEnhancedMetafile(QByteArrayView bytes)
{
    const ByteView file(bytes);
    return file.u32(0) == HeaderRecord && file.u32(40) == Signature;
}

std::optional<RenderedMetafile> renderEnhancedMetafile(QByteArrayView bytes, const RenderSize& renderSize)
{
    const ByteView file(bytes);
    const std::int64_t length = looksLikeEnhancedMetafile(bytes) ? checkedLength(file) : 0;
    const QSizeF ownHimetric = ownSize(file);
    if (length == 0 || ownHimetric.isEmpty())
        return std::nullopt;
    const QByteArray svg = convertToSvg(bytes.first(length));
    if (svg.isEmpty())
        return std::nullopt;
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return std::nullopt;

    const QSize own = pixelsFromHimetric(ownHimetric).expandedTo(QSize(1, 1));
    QImage image(renderSize(own).expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return std::nullopt;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), image.size()));
    painter.end();
    return RenderedMetafile{image, ownHimetric};
}

}  // namespace platform
