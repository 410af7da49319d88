#pragma once
// What the metafile renderers give back, and how they are told the size to
// draw at.

#include <QImage>
#include <QSize>
#include <QSizeF>
#include <functional>

namespace platform {

struct RenderedMetafile {
    QImage image;         // drawn at the size the caller chose
    QSizeF ownHimetric;   // the metafile's own size, in hundredths of a millimetre
};

// Given the metafile's own size in pixels, answers the size to draw it at.
using RenderSize = std::function<QSize(QSize ownPixels)>;

}  // namespace platform
