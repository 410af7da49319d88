#pragma once
// Loads a picture file the way the program's windows show pictures: BMP, GIF
// (first frame), JPEG (turned by its orientation), WMF (placeable or not), EMF
// and the ".dib" files the drawing preview reader writes. The file's content
// decides the format, not its name.

#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <functional>

namespace platform {

struct Picture {
    QImage image;          // the pixels (metafiles rendered at their own size)
    QSizeF sizeHimetric;   // the picture's own size in hundredths of a millimetre
    bool isMetafile = false;
};

// Screen pictures are measured at 96 pixels to the inch.
inline constexpr double HimetricPerInch = 2540;
inline constexpr double PixelsPerInch = 96;
QSizeF himetricFromPixels(QSizeF pixels);
// Rounded to whole pixels, halves to the even neighbour; at most the largest int.
QSize pixelsFromHimetric(QSizeF himetric);

// Metafiles are never rendered larger than this on either side; a larger one
// is drawn at this size and keeps its own size and proportions.
inline constexpr int MaxMetafileRenderSide = 2048;

// Raises 53 when the file is missing, 75 when it cannot be read, 481 (invalid
// picture) when it is no picture it can read. `path` is a Windows path.
Picture LoadPicture(const QString& path);

// Answers, for a picture's own size in pixels, the size in pixels it is wanted
// at (same proportions or not).
using DecodeSize = std::function<QSize(QSize ownSize)>;
// The same picture, decoded straight at the wanted size: JPEG files are
// scaled by the decoder and metafiles rendered at that size, which is much
// cheaper than decoding everything and shrinking afterwards. The result is a
// picture of the wanted size (its sizeHimetric is that size).
Picture LoadPicture(const QString& path, const DecodeSize& decodeSize);

}  // namespace platform
