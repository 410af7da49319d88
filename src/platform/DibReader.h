#pragma once
// Device-independent bitmaps: ".bmp" and ".dib" files (the 14-byte file header
// "BM", then a packed bitmap) and packed bitmaps in memory (an info header,
// its colour masks and colour table, then the pixels). Core, info, V4 and V5
// headers; 1, 4, 8, 16, 24 and 32 bits per pixel; uncompressed, bit fields,
// RLE8 and RLE4; bottom-up and top-down rows; pixels that are a whole JPEG
// or PNG file (as metafiles' bitmap records carry them). A bit-field bitmap
// whose header gives an alpha mask keeps its alpha when the channel is in use
// (the picture then shows what lies behind it, as a box's back colour);
// otherwise bitmaps are opaque.
//
// The reader is strict: a header it does not know, a colour table or pixel
// block that does not fit the bytes, or a run-length stream that leaves the
// picture or stops before its end marker makes it refuse the bitmap.
//
// Pictures the program hands on as bitmaps are written in one plain form.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <bit>
#include <cstdint>

namespace platform {

static_assert(std::endian::native == std::endian::little, "bitmap headers are read in place");

// The 40-byte BITMAPINFOHEADER as it lies in files and in memory.
struct BitmapInfoHeader {
    std::uint32_t biSize = sizeof(BitmapInfoHeader);
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;  // negative for top-down rows
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

// The largest bitmap the reader decodes (the pixels take 4 bytes each).
inline constexpr std::int64_t MaxBitmapPixels = std::int64_t{64} * 1024 * 1024;

// A null image when the bytes are no bitmap the reader takes.
QImage readBitmapFile(QByteArrayView bytes);
QImage readPackedBitmap(QByteArrayView bytes);

// The length of the packed bitmap that starts with this header (the header,
// masks, colour table and pixels); 0 when the reader does not take the header.
std::int64_t packedBitmapLength(const BitmapInfoHeader& header);

// The picture written as a packed 24-bit bitmap, its rows bottom-up and each
// padded to four bytes, as bitmaps are most widely read.
QByteArray packedBitmap(const QImage& picture);

}  // namespace platform
