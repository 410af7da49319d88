#pragma once
// Windows metafiles as bytes, checked before the renderer sees them. The
// renderer trusts the sizes in a metafile, so the program walks the records
// first: the header must be sound (its largest record no larger than the
// file), every record must lie inside the file and the records must end with
// the end record, or the file is refused. A record that carries counts
// (polygons, texts, bitmaps, regions) and does not hold what they say is passed over
// (one that makes an object leaves an empty object in its place), and the
// rest is drawn. The header's total and largest-record sizes are then
// rewritten from the walk. Old-style BITBLT and STRETCHBLT records, which
// carry a device-dependent bitmap the renderer cannot draw, become their
// device-independent forms, and records the player would draw wrong are
// rewritten (palette colours as the colours they name; see also
// WmfTextRecords.h and WmfBlitRecords.h).

#include <QByteArray>
#include <QByteArrayView>
#include <QRectF>
#include <QSizeF>
#include <optional>

namespace platform {

struct WindowsMetafile {
    QByteArray bytes;  // the checked metafile, placeable header kept
    // The frame of the placeable header in hundredths of a millimetre; none without one.
    std::optional<QSizeF> placeableHimetric;
    // The same frame in the metafile's own units: what lies outside it is not shown.
    std::optional<QRectF> placeableFrame;
};

// True when the bytes start like a Windows metafile (placeable or not).
bool looksLikeWindowsMetafile(QByteArrayView bytes);

// The metafile ready for the renderer; nullopt when its structure is broken.
std::optional<WindowsMetafile> checkWindowsMetafile(QByteArrayView bytes);

}  // namespace platform
