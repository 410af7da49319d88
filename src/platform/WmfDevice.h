#pragma once
// Our drawing device behind libwmf's metafile player. The player walks the
// records, keeps the objects and the device context, and calls a table of
// device functions for every shape, bitmap and text; this device paints what
// they name with QPainter into an image, anti-aliased. The drawn area (what
// the player's scan finds, in its device coordinates) is stretched over the
// whole image; a metafile's frame (a placeable header's, in the metafile's
// own units) cuts off what reaches beyond it.

#include "platform/LibWmf.h"

#include <QImage>
#include <QPainter>
#include <list>
#include <optional>

namespace platform {

class WmfDevice {
public:
    WmfDevice(QSize size, const wmfD_Rect& drawn, std::optional<QRectF> frame = std::nullopt);
    WmfDevice(const WmfDevice&) = delete;
    WmfDevice& operator=(const WmfDevice&) = delete;

    // Fills the player's table of device functions; given to wmf_lite_create.
    static void fillFunctionTable(wmfAPI* api);
    // Makes this device the one a created player draws on (and measures text with).
    void attach(wmfAPI* api);

    // The drawing, once the player has played the metafile.
    QImage image() const { return image_; }

    // For the device functions. Before the first drawing the frame is placed
    // by the device context's mapping of the metafile's units.
    void placeFrame(const wmfDC& dc);
    QPainter& painter() { return painter_; }
    const QTransform& toImage() const { return toImage_; }
    void begin();
    void end();
    // Bitmaps the player reads stay with the device until it goes (brushes keep theirs).
    QImage* keepBitmap(QImage bitmap);
    void dropBitmap(const void* bitmap);
    // The pattern of a brush: the player leaves a pattern brush's bitmap
    // unset when the record that made it named no bitmap, so only a bitmap
    // this device read is taken.
    const QImage* patternOf(const wmfBrush* brush) const;

private:
    QImage image_;
    QPainter painter_;
    QRectF drawn_;  // what the player's scan found, in its device coordinates
    QTransform toImage_;
    std::optional<QRectF> frame_;  // until it is placed
    std::list<QImage> bitmaps_;
    wmfFontData fontData_{};
};

}  // namespace platform
