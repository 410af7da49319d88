#include "platform/ImageLibrary.h"

#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"

#include <QImageWriter>
#include <QSaveFile>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>

namespace platform {

namespace {

using namespace imagestatus;

// One image: its header and pixels in one allocation, and a bitmap over the pixels.
struct ImageBlock {
    std::unique_ptr<std::uint8_t[]> bytes;
    QImage bitmap;
};

// Every image the library has made and not yet freed, by header address.
std::unordered_map<const BitmapInfoHeader*, std::unique_ptr<ImageBlock>>& liveImages()
{
    static std::unordered_map<const BitmapInfoHeader*, std::unique_ptr<ImageBlock>> images;
    return images;
}

bool holdsImage(const imgdes& image)
{
    return image.header && image.bitmap && liveImages().contains(image.header);
}

// The working area, or an empty rectangle when it is not inside the image.
QRect workingArea(const imgdes& image)
{
    const QRect area(QPoint(image.startX, image.startY), QPoint(image.endX, image.endY));
    return area.isValid() && image.bitmap->rect().contains(area) ? area : QRect();
}

std::uint8_t* firstByte(const imgdes& image, QPoint at)
{
    return image.buffer + static_cast<std::ptrdiff_t>(at.y()) * image.bufferWidth + at.x() * 3;
}

// The working area's pixels, not copied.
QImage areaView(const imgdes& image, const QRect& area)
{
    return QImage(static_cast<const uchar*>(firstByte(image, area.topLeft())), area.width(), area.height(),
                  image.bufferWidth, QImage::Format_BGR888);
}

// Writes the pixels of `source` (any format) into the image, its top left at `at`.
void writePixels(const imgdes& image, QPoint at, const QImage& source)
{
    const QImage rows = source.convertToFormat(QImage::Format_BGR888);
    for (int y = 0; y < rows.height(); ++y)
        std::memcpy(firstByte(image, at + QPoint(0, y)), rows.constScanLine(y), static_cast<std::size_t>(rows.width()) * 3);
}

// An image's working area, with Ok or why it cannot be used.
struct Area {
    int status;
    QRect rect;
};

Area usableArea(const imgdes& image)
{
    if (!holdsImage(image))
        return {NoImage, {}};
    const QRect area = workingArea(image);
    return {area.isEmpty() ? BadRange : Ok, area};
}

// The working areas of a source and a destination, with Ok or why they cannot be used.
struct Areas {
    int status;
    QRect from;
    QRect to;
};

Areas workingAreas(const imgdes& source, const imgdes& destination)
{
    if (!holdsImage(source) || !holdsImage(destination))
        return {NoImage, {}, {}};
    const QRect from = workingArea(source);
    const QRect to = workingArea(destination);
    return {from.isEmpty() || to.isEmpty() ? BadRange : Ok, from, to};
}

}  // namespace

int allocimage(imgdes& image, int width, int height, int bitsPerPixel)
{
    if (bitsPerPixel != 24 || width <= 0 || height <= 0)
        return BadRange;
    if (std::int64_t{width} * height > MaxImagePixels)
        return NoMemory;
    const int stride = (width * 3 + 3) / 4 * 4;
    const std::size_t pixelBytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    auto block = std::make_unique<ImageBlock>();
    block->bytes.reset(new (std::nothrow) std::uint8_t[sizeof(BitmapInfoHeader) + pixelBytes]());
    if (!block->bytes)
        return NoMemory;

    auto* header = new (block->bytes.get()) BitmapInfoHeader;
    header->biWidth = width;
    header->biHeight = -height;  // top-down rows
    header->biBitCount = 24;
    header->biSizeImage = static_cast<std::uint32_t>(pixelBytes);
    std::uint8_t* pixels = block->bytes.get() + sizeof(BitmapInfoHeader);
    block->bitmap = QImage(pixels, width, height, stride, QImage::Format_BGR888);

    image = imgdes{pixels, 0, 0, width - 1, height - 1, stride, nullptr, 0, ImageType24Bit, header, &block->bitmap};
    liveImages().emplace(header, std::move(block));
    return Ok;
}

int freeimage(imgdes& image)
{
    if (image.header)
        liveImages().erase(image.header);
    image = imgdes{};
    return Ok;
}

int copyimgdes(const imgdes& source, imgdes& destination)
{
    destination = source;
    return Ok;
}

int dibtoimage(const BitmapInfoHeader* header, imgdes& destination)
{
    const std::int64_t length = header ? packedBitmapLength(*header) : 0;
    if (length == 0)
        return BadBitmap;
    const QImage picture = readPackedBitmap(QByteArrayView(reinterpret_cast<const char*>(header), length));
    if (picture.isNull())
        return BadBitmap;
    imgdes made;
    if (const int status = allocimage(made, picture.width(), picture.height(), 24); status != Ok)
        return status;
    writePixels(made, QPoint(0, 0), picture);
    destination = made;
    return Ok;
}

int resizeex(const imgdes& source, imgdes& destination, int mode)
{
    if (mode != 1)
        return BadRange;
    const auto [status, from, to] = workingAreas(source, destination);
    if (status != Ok)
        return status;
    const QImage view = areaView(source, from);
    writePixels(destination, to.topLeft(),
                from.size() == to.size() ? view.copy() : view.scaled(to.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return Ok;
}

int zeroimage(int level, imgdes& image)
{
    if (level < 0 || level > 255)
        return BadRange;
    const auto [status, area] = usableArea(image);
    if (status != Ok)
        return status;
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memset(firstByte(image, QPoint(area.left(), y)), level, static_cast<std::size_t>(area.width()) * 3);
    return Ok;
}

int copyimage(const imgdes& source, imgdes& destination)
{
    const auto [status, from, to] = workingAreas(source, destination);
    if (status != Ok)
        return status;
    const QSize fits = from.size().boundedTo(to.size());
    writePixels(destination, to.topLeft(), areaView(source, QRect(from.topLeft(), fits)).copy());
    return Ok;
}

int savejpgex(const QString& fileName, const imgdes& image, int quality, int mode)
{
    if (mode != 2 || quality < 1 || quality > 100)
        return BadRange;
    const auto [status, area] = usableArea(image);
    if (status != Ok)
        return status;
    QString hostPath;
    try {
        hostPath = fileSystem().hostPath(fileName);
    } catch (const runtime::RuntimeError&) {
        return FileError;
    }
    QSaveFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly))
        return FileError;
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(areaView(image, area)) || !file.commit())
        return FileError;
    return Ok;
}

}  // namespace platform
