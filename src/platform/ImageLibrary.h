#pragma once
// The image library the browser's thumbnails go through: 24-bit images
// described by an `imgdes`, made, filled, scaled, copied, turned into bitmaps
// and saved as JPEG by eight operations. Every operation returns a status, 0
// for success and one of the negative codes below for failure.
//
// An image is one block: a BITMAPINFOHEADER followed by the pixel rows (top
// down, blue-green-red, each row padded to 4 bytes), so the header address is
// a packed device-independent bitmap. Its bitmap is a QImage over the same
// pixels. The library owns every block it makes; a descriptor only points at
// one, and `freeimage` releases it and empties the descriptor, so freeing an
// empty or freed descriptor does nothing. Of two descriptors that `copyimgdes`
// made alike, only one may be freed.

#include "platform/DibReader.h"

#include <QImage>
#include <QString>
#include <cstdint>

namespace platform {

// The image descriptor: eleven fields, in this order.
struct imgdes {
    std::uint8_t* buffer = nullptr;       // the first pixel row
    std::int32_t startX = 0;              // the working area, inclusive
    std::int32_t startY = 0;
    std::int32_t endX = 0;
    std::int32_t endY = 0;
    std::int32_t bufferWidth = 0;         // bytes per pixel row
    std::uint8_t* palette = nullptr;      // none for 24-bit images
    std::int32_t colors = 0;
    std::int32_t imageType = 0;           // ImageType24Bit for every image made here
    BitmapInfoHeader* header = nullptr;   // the packed bitmap: header, then the pixels
    QImage* bitmap = nullptr;             // the pixels as a bitmap that can be drawn on
};

inline constexpr std::int32_t ImageType24Bit = 24;

namespace imagestatus {
inline constexpr int Ok = 0;
inline constexpr int BadRange = -1;      // a size, area or argument out of range
inline constexpr int NoImage = -2;       // the descriptor holds no image
inline constexpr int NoMemory = -3;      // the image would be too large
inline constexpr int BadBitmap = -4;     // the packed bitmap cannot be read
inline constexpr int FileError = -5;     // the file cannot be written
}  // namespace imagestatus

// The largest image the library makes, in pixels.
inline constexpr std::int64_t MaxImagePixels = MaxBitmapPixels;

// A new image of width by height pixels; only 24 bits per pixel. The working
// area is the whole image; the pixels start black.
int allocimage(imgdes& image, int width, int height, int bitsPerPixel);
// Releases the image and empties the descriptor.
int freeimage(imgdes& image);
// Copies the descriptor's fields, not the pixels.
int copyimgdes(const imgdes& source, imgdes& destination);
// A new image holding the packed bitmap that starts with `header`.
int dibtoimage(const BitmapInfoHeader* header, imgdes& destination);
// Scales the source's working area into the destination's; mode 1 interpolates.
int resizeex(const imgdes& source, imgdes& destination, int mode);
// Sets every byte of the working area to `level`.
int zeroimage(int level, imgdes& image);
// Copies the source's working area into the destination at its start x and
// start y, as much as fits inside the destination.
int copyimage(const imgdes& source, imgdes& destination);
// Writes the working area as a JPEG file (a Windows path) of that quality
// (1 to 100). Mode 2, the only mode, is a baseline JPEG.
int savejpgex(const QString& fileName, const imgdes& image, int quality, int mode);

}  // namespace platform
