#pragma once
// Enhanced metafiles: checked record by record, converted to SVG by
// libemf2svg and drawn by Qt Svg. The records must lie inside the file and end
// with the end record before the converter sees them; the converter gets the
// bytes up to that record only. The picture's own size is the header's frame
// (or, when the frame is empty, its bounds); the drawing is stretched over it.
// What the metafile does not draw stays transparent.

#include "platform/MetafileRender.h"

#include <QByteArrayView>
#include <optional>

namespace platform {

// True when the bytes start like an enhanced metafile.
bool looksLikeEnhancedMetafile(QByteArrayView bytes);

// nullopt when the metafile is damaged or cannot be converted.
std::optional<RenderedMetafile> renderEnhancedMetafile(QByteArrayView bytes, const RenderSize& renderSize);

}  // namespace platform
