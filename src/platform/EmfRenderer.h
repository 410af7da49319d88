#pragma once
// Enhanced metafiles, drawn by our own player (EmfPlayer.h) after the record
// walk (EmfRecords.h) has found the structure sound. The picture's own size is
// the header's frame (or, when the frame is empty, its bounds); the frame is
// stretched over the image, what lies outside it is cut off, and what the
// metafile does not draw stays white.

#include "platform/MetafileRender.h"

#include <QByteArrayView>
#include <optional>

namespace platform {

// True when the bytes start like an enhanced metafile.
bool looksLikeEnhancedMetafile(QByteArrayView bytes);

// nullopt when the metafile's structure is broken.
std::optional<RenderedMetafile> renderEnhancedMetafile(QByteArrayView bytes, const RenderSize& renderSize);

}  // namespace platform
