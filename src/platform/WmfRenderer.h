#pragma once
// Draws a checked Windows metafile (see WmfRecords.h) through libwmf's
// player and our own drawing device (WmfDevice.h). The drawing covers the
// whole image, on white.

#include "platform/MetafileRender.h"
#include "platform/WmfRecords.h"

#include <optional>

namespace platform {

// nullopt when libwmf cannot play the metafile.
std::optional<RenderedMetafile> renderWindowsMetafile(const WindowsMetafile& metafile, const RenderSize& renderSize);

}  // namespace platform
