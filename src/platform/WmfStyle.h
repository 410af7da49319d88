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

// A pen of a style as both kinds of metafile give it (its dashes, end cap
// and join), `pixels` image pixels wide whatever the painter's transform. A
// hairline (1.5 pixels or thinner) is one pixel wide and the only width that
// takes dashes; the null style draws nothing.
QPen styledPen(unsigned penStyle, const QColor& color, double pixels);
// A brush of a style (solid, null, hatched or pattern) as both kinds of
// metafile give it, its hatches and pattern laid in image pixels under the
// painter's `toImage` transform. A pattern brush paints `pattern` (none: its
// colour).
QBrush styledBrush(unsigned brushStyle, unsigned hatchStyle, const QColor& color, const QTransform& toImage,
                   const QImage* pattern);

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

// Sets the painter's pen and brush in the mix of the binary raster operation
// `rop2`, and its background; false when the operation leaves the image as
// it is.
bool applyShapeStyle(QPainter& painter, QPen pen, QBrush brush, unsigned rop2, bool opaqueBackground,
                     const QColor& background);
// The same for a shape of the device context, with its brush (see `brush`).
bool applyShapeStyle(QPainter& painter, const wmfDC& dc, const QTransform& toImage, const QImage* pattern);

}  // namespace platform::wmfstyle
