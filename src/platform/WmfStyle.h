#pragma once
// How the metafile player's pens, brushes, colours and raster operations
// become QPainter state for the metafile drawing device (WmfDevice.h).

#include "platform/LibWmf.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPen>
#include <optional>

namespace platform::wmfstyle {

QColor color(const wmfRGB& rgb);

// The parts of a pen's or brush's style, as both kinds of metafile give them.
Qt::PenStyle dashes(unsigned penStyle);
Qt::PenCapStyle cap(unsigned penStyle);
Qt::PenJoinStyle join(unsigned penStyle);
Qt::BrushStyle hatch(unsigned hatchStyle);
// Lays a brush's pattern in image pixels, whatever the drawing's scale
// (`toImage`, the painter's transform).
QBrush inImagePixels(QBrush brush, const QTransform& toImage);

// The pen of a device context, its width in image pixels under the
// painter's `toImage` transform and never thinner than one pixel.
QPen pen(const wmfPen& pen, const QTransform& toImage);
// The brush of a device context, its hatches and patterns laid in image
// pixels under the painter's `toImage` transform. A pattern brush paints
// `pattern`, the bitmap the device read for it (none: its colour).
QBrush brush(const wmfBrush& brush, const QTransform& toImage, const QImage* pattern);

// How new pixels meet what is already drawn for a raster operation.
struct Mix {
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    std::optional<QColor> plainColor;  // black or white in place of the source
};
// For a binary raster operation (SETROP2, on pens and brushes); nullopt for
// the one that leaves the image as it is.
std::optional<Mix> binaryMix(unsigned rop2);
// For a ternary raster operation (BITBLT, PATBLT): the copy and the common
// masking ones; others draw as a copy.
Mix ternaryMix(unsigned long rop3);
// DSTINVERT inverts what is drawn, whatever the source.
bool invertsDestination(unsigned long rop3);

// Sets the painter's mix and anti-aliasing (which raster operations do not
// take) for a raster operation.
void applyMix(QPainter& painter, const Mix& mix);

// Sets the painter's pen, brush (see `brush`) and mix for a shape of the
// device context; false when its raster operation leaves the image as it is.
bool applyShapeStyle(QPainter& painter, const wmfDC& dc, const QTransform& toImage, const QImage* pattern);

}  // namespace platform::wmfstyle
