#include "platform/EmfStyle.h"

#include "platform/DibReader.h"
#include "platform/WmfStyle.h"

#include <QtEndian>
#include <cmath>

namespace platform::emf {

namespace {

// A pen more than this many image pixels wide is drawn this wide: a damaged
// width must not make the stroker work for minutes.
constexpr double MaxPenPixels = 4096;
constexpr int MaxPaletteEntries = 4096;
constexpr std::int64_t MaxPatternSide = 1024;
constexpr std::int64_t LogFontSize = 92;

// A PALETTEENTRY: red, green, blue and flags.
QRgb entryAt(const ByteView& record, std::int64_t at) { return qRgb(record.u8(at), record.u8(at + 1), record.u8(at + 2)); }

// A bitmap's colour table of 16-bit palette indexes made into one of colours;
// empty when it does not fit the bytes.
QByteArray withPaletteColours(const QByteArray& info, const Palette& palette)
{
    const ByteView header(info);
    const std::int64_t headerSize = header.u32(0);
    const int bitCount = header.u16(14);
    if (headerSize < 40 || bitCount < 1 || bitCount > 8)
        return info;
    const std::int64_t entries = std::min<std::int64_t>(header.u32(32) ? header.u32(32) : 1 << bitCount, 1 << bitCount);
    if (!header.has(headerSize, entries * 2))
        return {};
    QByteArray colours = info.first(headerSize);
    qToLittleEndian<quint32>(static_cast<quint32>(entries), colours.data() + 32);
    for (std::int64_t i = 0; i < entries; ++i) {
        const QColor colour = colorOf(PaletteIndexFlag | header.u16(headerSize + 2 * i), palette);
        colours.append(char(colour.blue())).append(char(colour.green())).append(char(colour.red())).append('\0');
    }
    return colours;
}

}  // namespace

std::optional<Pen> penFromCreatePen(const ByteView& record)
{
    if (!record.has(0, 28))
        return std::nullopt;
    const unsigned style = record.u32(12);
    const double width = std::abs(double(record.i32(16)));
    return Pen{style, width, width == 0 && !(style & PS_GEOMETRIC), record.u32(24)};
}

std::optional<Pen> penFromExtCreatePen(const ByteView& record)
{
    if (!record.has(0, 52))
        return std::nullopt;
    unsigned style = record.u32(28);
    // A pen painted with no brush draws nothing.
    if (record.u32(36) == BS_NULL)
        style = (style & ~unsigned{PS_STYLE_MASK}) | PS_NULL;
    const double width = record.u32(32);
    const bool cosmetic = (style & PS_TYPE_MASK) != PS_GEOMETRIC;
    return Pen{style, cosmetic ? 0.0 : width, cosmetic, record.u32(40)};
}

std::optional<Brush> brushFromCreateBrush(const ByteView& record)
{
    if (!record.has(0, 24))
        return std::nullopt;
    return Brush{record.u32(12), record.u32(16), record.u32(20), {}};
}

std::optional<Brush> brushFromPattern(const ByteView& record, const Palette& palette)
{
    // A brush's pattern is a small tile: a larger one is taken for damaged.
    const ByteView info(record.mid(record.u32(16), record.u32(20)));
    if (std::abs(std::int64_t{info.i32(4)}) > MaxPatternSide || std::abs(std::int64_t{info.i32(8)}) > MaxPatternSide)
        return std::nullopt;
    const QImage pattern = recordBitmap(record, 16, record.u32(12), palette);
    if (pattern.isNull())
        return std::nullopt;
    return Brush{BS_DIBPATTERNPT, 0, 0, pattern};
}

std::optional<Font> fontFromLogFont(const ByteView& record)
{
    if (!record.has(0, 12 + LogFontSize))
        return std::nullopt;
    Font font;
    font.height = record.i32(12);
    font.width = std::abs(double(record.i32(16)));
    font.escapement = record.i32(20);
    font.weight = record.i32(28);
    font.italic = record.u8(32) != 0;
    font.underline = record.u8(33) != 0;
    font.strikeOut = record.u8(34) != 0;
    font.charset = record.u8(35);
    font.pitchAndFamily = record.u8(39);
    for (int i = 0; i < 32 && record.u16(40 + 2 * i) != 0; ++i)
        font.face.append(QChar(record.u16(40 + 2 * i)));
    return font;
}

std::optional<Palette> paletteFromRecord(const ByteView& record)
{
    const std::int64_t count = record.u16(14);
    if (count > MaxPaletteEntries || !record.has(16, count * 4))
        return std::nullopt;
    Palette palette;
    for (std::int64_t i = 0; i < count; ++i)
        palette.push_back(entryAt(record, 16 + i * 4));
    return palette;
}

void setPaletteEntries(Palette& palette, const ByteView& record)
{
    const std::int64_t first = record.u32(12);
    const std::int64_t count = record.u32(16);
    if (first + count > MaxPaletteEntries || !record.has(20, count * 4))
        return;
    if (palette.size() < first + count)
        palette.resize(first + count);
    for (std::int64_t i = 0; i < count; ++i)
        palette[first + i] = entryAt(record, 20 + i * 4);
}

QImage recordBitmap(const ByteView& record, std::int64_t fieldsAt, std::uint32_t usage, const Palette& palette,
                    std::int64_t rows)
{
    QByteArray packed = record.mid(record.u32(fieldsAt), record.u32(fieldsAt + 4)).toByteArray();
    const QByteArrayView pixels = record.mid(record.u32(fieldsAt + 8), record.u32(fieldsAt + 12));
    if (usage == PaletteIndexes)
        packed = withPaletteColours(packed, palette);
    if (packed.size() < 40)
        return {};
    if (rows > 0) {
        // The header is made to describe the band of rows alone.
        const std::int32_t height = ByteView(packed).i32(8);
        qToLittleEndian<qint32>(static_cast<qint32>(height < 0 ? -rows : rows), packed.data() + 8);
    }
    // The reader takes the header, colours and pixels as one block.
    packed.append(pixels);
    return readPackedBitmap(packed);
}

QPen qtPen(const Pen& pen, const QColor& color, double width, double scale)
{
    // A damaged width draws a hairline; a huge one is drawn at most MaxPenPixels wide.
    const double pixels = pen.cosmetic ? 0 : width * scale;
    return wmfstyle::styledPen(pen.style, color, std::isfinite(pixels) ? std::min(pixels, MaxPenPixels) : 0);
}

QBrush qtBrush(const Brush& brush, const QColor& color, const QTransform& toImage)
{
    return wmfstyle::styledBrush(brush.style, brush.hatch, color, toImage,
                                 brush.pattern.isNull() ? nullptr : &brush.pattern);
}

}  // namespace platform::emf
