#include "platform/EmfRenderer.h"

#include "platform/EmfPlayer.h"
#include "platform/EmfRecords.h"
#include "platform/PictureLoader.h"

namespace platform {

namespace {

// The header's frame (in hundredths of a millimetre), or its bounds (inclusive
// device pixels) when the frame is empty.
QSizeF ownSize(const emf::Header& header)
{
    const QSizeF frame = header.frameHimetric.size();
    if (frame.width() > 0 && frame.height() > 0)
        return frame;
    const QSizeF bounds = header.bounds.size() + QSizeF(1, 1);
    return bounds.width() > 0 && bounds.height() > 0 ? himetricFromPixels(bounds) : QSizeF();
}

}  // namespace

bool looksLikeEnhancedMetafile(QByteArrayView bytes) { return emf::looksLikeEnhancedMetafile(bytes); }

std::optional<RenderedMetafile> renderEnhancedMetafile(QByteArrayView bytes, const RenderSize& renderSize)
{
    const std::optional<emf::Metafile> metafile = emf::checkEnhancedMetafile(bytes);
    const QSizeF ownHimetric = metafile ? ownSize(metafile->header) : QSizeF();
    if (ownHimetric.isEmpty())
        return std::nullopt;
    const QSize own = pixelsFromHimetric(ownHimetric).expandedTo(QSize(1, 1));
    QImage image(renderSize(own).expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    image.fill(Qt::white);
    emf::Player player(metafile->header, image);
    player.play(*metafile);
    return RenderedMetafile{image, ownHimetric};
}

}  // namespace platform
