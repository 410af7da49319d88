#pragma once
// Loads a picture file the way the program's windows show pictures: BMP, GIF
// (first frame), JPEG (turned by its orientation), WMF (placeable or not), EMF
// and the ".dib" files the drawing preview reader writes. The file's content
// decides the format, not its name.

#include <QImage>
#include <QSizeF>
#include <QString>

namespace platform {

struct Picture {
    QImage image;          // the pixels (metafiles rendered at their own size)
    QSizeF sizeHimetric;   // the picture's own size in hundredths of a millimetre
    bool isMetafile = false;
};

// Raises 53 when the file is missing, 481 (invalid picture) when it is no
// picture it can read. `path` is a Windows path.
Picture LoadPicture(const QString& path);

}  // namespace platform
