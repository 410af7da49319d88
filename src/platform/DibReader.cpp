#include "platform/DibReader.h"

#include "platform/ByteView.h"

#include <QBuffer>
#include <QImageReader>
#include <QList>
#include <QRgb>
#include <cstdlib>
#include <optional>
#include <vector>

namespace platform {

namespace {

constexpr std::int64_t FileHeaderSize = 14;
constexpr std::int64_t CoreHeaderSize = 12;
constexpr std::int64_t InfoHeaderSize = 40;

enum Compression : std::uint32_t { Uncompressed = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, Jpeg = 4, Png = 5 };

// What the header says about the bytes that follow it, offsets counted from the header's start.
struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = Uncompressed;
    std::int64_t headerSize = 0;
    std::int64_t tableOffset = 0;  // after the header and any masks that follow it
    std::int64_t tableEntries = 0;
    int entrySize = 4;             // 3 in core headers
    std::int64_t imageSize = 0;    // the header's own count, 0 when it gives none

    std::int64_t stride() const { return (width * bitCount + 31) / 32 * 4; }
    std::int64_t pixelOffset() const { return tableOffset + tableEntries * entrySize; }
    bool runLength() const { return compression == Rle8 || compression == Rle4; }
    // The pixels are a whole JPEG or PNG file.
    bool embedded() const { return compression == Jpeg || compression == Png; }
    std::int64_t pixelBytes() const { return runLength() || embedded() ? imageSize : stride() * height; }
};

bool knownHeaderSize(std::int64_t size)
{
    return size == CoreHeaderSize || size == InfoHeaderSize || size == 52 || size == 56
           || size == 108 || size == 124;
}

bool validDepth(const Layout& layout)
{
    switch (layout.compression) {
    case Uncompressed:
        return layout.bitCount == 1 || layout.bitCount == 4 || layout.bitCount == 8
               || layout.bitCount == 16 || layout.bitCount == 24 || layout.bitCount == 32;
    case Rle8: return layout.bitCount == 8 && !layout.topDown;
    case Rle4: return layout.bitCount == 4 && !layout.topDown;
    case BitFields: return layout.bitCount == 16 || layout.bitCount == 32;
    case Jpeg:
    case Png: return layout.headerSize != CoreHeaderSize;
    default: return false;
    }
}

// Reads the header at the start of `header`; nullopt when the reader does not take it.
std::optional<Layout> readLayout(const ByteView& header)
{
    Layout layout;
    layout.headerSize = header.u32(0);
    if (!knownHeaderSize(layout.headerSize) || !header.has(0, layout.headerSize))
        return std::nullopt;
    std::int64_t colorsUsed = 0;
    if (layout.headerSize == CoreHeaderSize) {
        layout.width = header.u16(4);
        layout.height = header.u16(6);
        layout.bitCount = header.u16(10);
        layout.entrySize = 3;
    } else {
        layout.width = header.i32(4);
        const std::int64_t height = header.i32(8);
        layout.topDown = height < 0;
        layout.height = std::abs(height);
        layout.bitCount = header.u16(14);
        layout.compression = header.u32(16);
        layout.imageSize = header.u32(20);
        colorsUsed = header.u32(32);
    }
    if (layout.width <= 0 || layout.height <= 0 || layout.width * layout.height > MaxBitmapPixels
        || !validDepth(layout))
        return std::nullopt;
    const bool masksFollowHeader = layout.compression == BitFields && layout.headerSize == InfoHeaderSize;
    layout.tableOffset = layout.headerSize + (masksFollowHeader ? 12 : 0);
    layout.tableEntries = colorsUsed != 0 || layout.bitCount > 8 || layout.embedded()
                              ? colorsUsed
                              : std::int64_t{1} << layout.bitCount;
    if ((layout.runLength() || layout.embedded()) && layout.imageSize == 0)
        return std::nullopt;
    return layout;
}

std::vector<QRgb> readColorTable(const ByteView& bitmap, const Layout& layout)
{
    std::vector<QRgb> colors;
    if (layout.bitCount > 8)
        return colors;
    const std::int64_t used = std::min(layout.tableEntries, std::int64_t{1} << layout.bitCount);
    colors.reserve(static_cast<std::size_t>(used));
    for (std::int64_t i = 0; i < used; ++i) {
        const std::int64_t at = layout.tableOffset + i * layout.entrySize;
        colors.push_back(qRgb(bitmap.u8(at + 2), bitmap.u8(at + 1), bitmap.u8(at)));
    }
    return colors;
}

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits.
class Channel {
public:
    explicit Channel(std::uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), bits_(std::popcount(mask))
    {
    }
    bool present() const { return bits_ > 0; }
    int value(std::uint32_t pixel) const
    {
        if (bits_ == 0)
            return 0;
        const std::uint32_t raw = (pixel & mask_) >> shift_;
        if (bits_ >= 8)
            return static_cast<int>(raw >> (bits_ - 8));
        const std::uint32_t largest = (1u << bits_) - 1;
        return static_cast<int>((raw * 255 + largest / 2) / largest);
    }

private:
    std::uint32_t mask_;
    int shift_;
    int bits_;
};

struct Masks {
    Channel red, green, blue;
    Channel alpha{0};
};

// Headers from the 56-byte one on carry an alpha mask after the colour masks.
constexpr std::int64_t AlphaMaskHeaderSize = 56;

Masks readMasks(const ByteView& bitmap, const Layout& layout)
{
    if (layout.compression == BitFields) {
        const bool hasAlpha = layout.headerSize >= AlphaMaskHeaderSize;
        return {Channel(bitmap.u32(40)), Channel(bitmap.u32(44)), Channel(bitmap.u32(48)),
                Channel(hasAlpha ? bitmap.u32(52) : 0)};
    }
    if (layout.bitCount == 16)
        return {Channel(0x7C00), Channel(0x03E0), Channel(0x001F)};
    return {Channel(0xFF0000), Channel(0x00FF00), Channel(0x0000FF)};
}

QRgb paletteColor(const std::vector<QRgb>& colors, unsigned index)
{
    return index < colors.size() ? colors[index] : qRgb(0, 0, 0);
}

void decodeRow(const std::uint8_t* row, const Layout& layout, const std::vector<QRgb>& colors,
               const Masks& masks, QRgb* out)
{
    for (std::int64_t x = 0; x < layout.width; ++x) {
        switch (layout.bitCount) {
        case 1: out[x] = paletteColor(colors, (row[x / 8] >> (7 - x % 8)) & 1); break;
        case 4: out[x] = paletteColor(colors, (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF); break;
        case 8: out[x] = paletteColor(colors, row[x]); break;
        case 24: out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]); break;
        default: {
            const std::uint32_t pixel = layout.bitCount == 16
                                            ? std::uint32_t{row[2 * x]} | std::uint32_t{row[2 * x + 1]} << 8
                                            : ByteView({row + 4 * x, 4}).u32(0);
            const int alpha = masks.alpha.present() ? masks.alpha.value(pixel) : 255;
            out[x] = qRgba(masks.red.value(pixel), masks.green.value(pixel), masks.blue.value(pixel), alpha);
        }
        }
    }
}

// An alpha channel is in use when some pixel is not fully transparent and
// some is not fully opaque: one that is all 0 is taken for unused, as
// writers leave it, and the picture is opaque.
QImage withAlphaInUse(QImage image)
{
    bool anyVisible = false, anyTransparent = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            anyVisible = anyVisible || qAlpha(row[x]) != 0;
            anyTransparent = anyTransparent || qAlpha(row[x]) != 255;
        }
    }
    if (anyVisible && anyTransparent)
        return image;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] |= 0xFF000000;
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

QImage decodeUncompressed(const ByteView& bitmap, const Layout& layout, std::int64_t pixelOffset)
{
    const std::int64_t rowBytes = (layout.width * layout.bitCount + 7) / 8;
    if (!bitmap.has(pixelOffset, layout.stride() * (layout.height - 1) + rowBytes))
        return {};
    const Masks masks = readMasks(bitmap, layout);
    QImage image(static_cast<int>(layout.width), static_cast<int>(layout.height),
                 masks.alpha.present() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const std::vector<QRgb> colors = readColorTable(bitmap, layout);
    for (std::int64_t r = 0; r < layout.height; ++r) {
        const std::int64_t y = layout.topDown ? r : layout.height - 1 - r;
        decodeRow(bitmap.data() + pixelOffset + r * layout.stride(), layout, colors, masks,
                  reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y))));
    }
    return masks.alpha.present() ? withAlphaInUse(std::move(image)) : image;
}

// Plays an RLE8 or RLE4 stream into colour indexes, one byte per pixel, rows
// bottom-up. False when the stream leaves the picture or ends without its end marker.
class RunLengthDecoder {
public:
    RunLengthDecoder(const Layout& layout, ByteView stream)
        : width_(layout.width), height_(layout.height), nibbles_(layout.compression == Rle4),
          stream_(stream), indexes_(static_cast<std::size_t>(width_ * height_), 0)
    {
    }

    bool run()
    {
        for (std::int64_t at = 0; stream_.has(at, 2); at += 2) {
            const int count = stream_.u8(at);
            const int value = stream_.u8(at + 1);
            if (count > 0) {
                if (!put(count, [&](int i) { return nibbles_ ? (i % 2 ? value & 0xF : value >> 4) : value; }))
                    return false;
            } else if (value == 0) {
                x_ = 0;
                ++y_;
            } else if (value == 1) {
                return true;
            } else if (value == 2) {
                if (!stream_.has(at + 2, 2))
                    return false;
                x_ += stream_.u8(at + 2);
                y_ += stream_.u8(at + 3);
                if (x_ > width_ || y_ > height_)
                    return false;
                at += 2;
            } else if (!absolute(at + 2, value, at)) {
                return false;
            }
        }
        return false;
    }

    const std::vector<std::uint8_t>& indexes() const { return indexes_; }

private:
    template <typename IndexAt>
    bool put(int count, IndexAt indexAt)
    {
        if (y_ >= height_ || x_ + count > width_)
            return false;
        std::uint8_t* row = indexes_.data() + (height_ - 1 - y_) * width_;
        for (int i = 0; i < count; ++i)
            row[x_ + i] = static_cast<std::uint8_t>(indexAt(i));
        x_ += count;
        return true;
    }

    // A literal run of `count` pixels at `from`; leaves `at` on its last word.
    bool absolute(std::int64_t from, int count, std::int64_t& at)
    {
        const std::int64_t bytes = nibbles_ ? (count + 1) / 2 : count;
        const std::int64_t padded = (bytes + 1) / 2 * 2;
        if (!stream_.has(from, padded))
            return false;
        const bool placed = put(count, [&](int i) {
            if (!nibbles_)
                return int{stream_.u8(from + i)};
            const int pair = stream_.u8(from + i / 2);
            return i % 2 ? pair & 0xF : pair >> 4;
        });
        at = from + padded - 2;
        return placed;
    }

    std::int64_t width_;
    std::int64_t height_;
    bool nibbles_;
    ByteView stream_;
    std::vector<std::uint8_t> indexes_;
    std::int64_t x_ = 0;
    std::int64_t y_ = 0;
};

QImage decodeRunLength(const ByteView& bitmap, const Layout& layout, std::int64_t pixelOffset)
{
    const QByteArrayView stream = bitmap.mid(pixelOffset, layout.imageSize);
    if (stream.isEmpty())
        return {};
    RunLengthDecoder decoder(layout, ByteView(stream));
    if (!decoder.run())
        return {};
    QImage image(static_cast<int>(layout.width), static_cast<int>(layout.height), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const std::vector<QRgb> colors = readColorTable(bitmap, layout);
    const std::uint8_t* index = decoder.indexes().data();
    for (int y = 0; y < image.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            out[x] = paletteColor(colors, *index++);
    }
    return image;
}

// A JPEG or PNG file as a bitmap's pixels, through Qt's readers, no larger
// than the largest bitmap.
QImage decodeEmbedded(const ByteView& bitmap, const Layout& layout, std::int64_t pixelOffset)
{
    QByteArray file = bitmap.mid(pixelOffset, layout.imageSize).toByteArray();
    QBuffer buffer(&file);
    QImageReader reader(&buffer, layout.compression == Jpeg ? "jpeg" : "png");
    const QSize size = reader.size();
    if (file.isEmpty() || !size.isValid() || std::int64_t{size.width()} * size.height() > MaxBitmapPixels)
        return {};
    const QImage image = reader.read();
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

// `bitmap` starts with the info header; the pixels lie at `pixelOffset` within it.
QImage decode(const ByteView& bitmap, const Layout& layout, std::int64_t pixelOffset)
{
    if (!bitmap.has(layout.tableOffset, layout.tableEntries * layout.entrySize))
        return {};
    if (layout.embedded())
        return decodeEmbedded(bitmap, layout, pixelOffset);
    return layout.runLength() ? decodeRunLength(bitmap, layout, pixelOffset)
                              : decodeUncompressed(bitmap, layout, pixelOffset);
}

}  // namespace

QImage readPackedBitmap(QByteArrayView bytes)
{
    const ByteView bitmap(bytes);
    const std::optional<Layout> layout = readLayout(bitmap);
    return layout ? decode(bitmap, *layout, layout->pixelOffset()) : QImage();
}

QImage readBitmapFile(QByteArrayView bytes)
{
    const ByteView file(bytes);
    if (file.u8(0) != 'B' || file.u8(1) != 'M' || !file.has(0, FileHeaderSize))
        return {};
    const ByteView bitmap(bytes.sliced(FileHeaderSize));
    const std::optional<Layout> layout = readLayout(bitmap);
    if (!layout)
        return {};
    // The file header's pixel offset wins when it points past the header;
    // writers that leave it 0 get the pixels right after the colour table.
    const std::int64_t declared = std::int64_t{file.u32(10)} - FileHeaderSize;
    const bool usable = declared >= layout->tableOffset && declared < bitmap.size();
    return decode(bitmap, *layout, usable ? declared : layout->pixelOffset());
}

std::int64_t packedBitmapLength(const BitmapInfoHeader& header)
{
    const ByteView view(QByteArrayView(reinterpret_cast<const char*>(&header), sizeof header));
    if (header.biSize != InfoHeaderSize)
        return 0;
    const std::optional<Layout> layout = readLayout(view);
    return layout ? layout->pixelOffset() + layout->pixelBytes() : 0;
}

QByteArray packedBitmap(const QImage& picture)
{
    const QImage rows = picture.convertToFormat(QImage::Format_BGR888);
    const qsizetype rowBytes = qsizetype{rows.width()} * 3;
    const qsizetype stride = (rowBytes + 3) / 4 * 4;
    BitmapInfoHeader header;
    header.biWidth = rows.width();
    header.biHeight = rows.height();
    header.biBitCount = 24;
    header.biSizeImage = static_cast<std::uint32_t>(stride * rows.height());
    QByteArray bytes(reinterpret_cast<const char*>(&header), sizeof header);
    for (int y = rows.height() - 1; y >= 0; --y) {
        bytes.append(reinterpret_cast<const char*>(rows.constScanLine(y)), rowBytes);
        bytes.append(QByteArray(stride - rowBytes, '\0'));
    }
    return bytes;
}

}  // namespace platform
