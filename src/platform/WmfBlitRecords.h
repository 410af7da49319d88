#pragma once
// Stretched bitmap records (STRETCHDIB, DIBSTRETCHBLT) whose destination runs
// backwards, rewritten by the metafile record walk (WmfRecords.h). A negative
// destination width or height lays the bitmap leftwards or upwards from the
// record's corner, mirrored across that axis; libwmf's player reads the
// extents as unsigned and stretches the bitmap far beyond the picture.

#include "platform/ByteView.h"

#include <QByteArray>
#include <cstdint>

namespace platform::wmfblitrecords {

// The parameters of a bitmap-carrying stretch record whose bitmap starts at
// `bitmapAt`, with its destination running forwards and its bitmap mirrored
// where the destination ran backwards; the parameters as they are otherwise.
QByteArray forwards(std::uint16_t function, const ByteView& params, std::int64_t bitmapAt);

}  // namespace platform::wmfblitrecords
