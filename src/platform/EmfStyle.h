#pragma once
// The objects of enhanced metafile records (pens, brushes, fonts, palettes)
// read from their records, and pens and brushes made into QPainter's.

#include "platform/ByteView.h"
#include "platform/EmfState.h"

#include <QBrush>
#include <QPen>
#include <optional>

namespace platform::emf {

// Each reads the object a creating record makes; nullopt when the record is
// damaged.
std::optional<Pen> penFromCreatePen(const ByteView& record);
std::optional<Pen> penFromExtCreatePen(const ByteView& record);
std::optional<Brush> brushFromCreateBrush(const ByteView& record);
std::optional<Brush> brushFromPattern(const ByteView& record, const Palette& palette);
std::optional<Font> fontFromLogFont(const ByteView& record);
std::optional<Palette> paletteFromRecord(const ByteView& record);
// Sets the entries a SETPALETTEENTRIES record gives, growing the palette to hold them.
void setPaletteEntries(Palette& palette, const ByteView& record);

// The bitmap a record carries: its info header and colours at the offset and
// of the size at `fieldsAt`, its pixels at the offset and of the size in the
// next two fields; a colour table of palette indexes (`usage` 1) takes its
// colours from `palette`. Given `rows`, the pixels are that many rows of the
// bitmap. A null image when it is missing or damaged.
inline constexpr std::uint32_t PaletteIndexes = 1;  // DIB_PAL_COLORS
QImage recordBitmap(const ByteView& record, std::int64_t fieldsAt, std::uint32_t usage, const Palette& palette,
                    std::int64_t rows = 0);

// The pen `width` painter units wide for a painter whose transform makes
// `scale` image pixels of one painter unit (a pen in logical units with the
// logical scale, or in device units with the device scale).
QPen qtPen(const Pen& pen, const QColor& color, double width, double scale);

// The brush for a painter whose transform is `toImage`: hatches and patterns
// are laid in image pixels.
QBrush qtBrush(const Brush& brush, const QColor& color, const QTransform& toImage);

}  // namespace platform::emf
