#include "platform/EmfPlayer.h"

#include "platform/WmfStyle.h"
#include "platform/WmfText.h"

#include <QFontMetricsF>
#include <cmath>

namespace platform::emf {

namespace {

// Text is laid out at this size, then scaled to the record's height.
constexpr double LayoutEm = 64;
constexpr std::int64_t TextFieldsSize = 40;  // EMRTEXT
constexpr std::int64_t MaxCharacters = 65536;
// A font without a height is this many device pixels high.
constexpr double DefaultHeight = 16;

enum Options : std::uint32_t { Opaque = 0x0002, Clipped = 0x0004, GlyphIndexes = 0x0010, PairedDx = 0x2000 };
enum Align : std::uint32_t { UpdatePosition = 1, Right = 2, Centre = 6, Bottom = 8, Baseline = 24 };

// Symbol faces take their characters from a private area of the character set.
constexpr char16_t SymbolArea = 0xF000;

QFont layoutFont(const Font& font, const QString& family)
{
    QFont qfont(family);
    qfont.setPixelSize(static_cast<int>(LayoutEm));
    qfont.setHintingPreference(QFont::PreferNoHinting);
    qfont.setWeight(QFont::Weight(font.weight <= 0 ? 400 : std::clamp(font.weight, 100, 900)));
    qfont.setItalic(font.italic);
    return qfont;
}

QString recordText(const ByteView& record, std::int64_t at, std::int64_t count, bool wide, bool symbol)
{
    if (!wide)
        return wmftext::textFromBytes(record.mid(at, count), symbol);
    QString text;
    text.reserve(count);
    for (std::int64_t i = 0; i < count; ++i) {
        char16_t unit = record.u16(at + 2 * i);
        if (symbol && unit >= SymbolArea && unit <= SymbolArea + 0xFF)
            unit -= SymbolArea;
        text.append(QChar(unit));
    }
    return text;
}

double length(QPointF vector) { return std::hypot(vector.x(), vector.y()); }

// How far, in layout units, the text's start lies from its reference point.
QPointF alignmentShift(unsigned align, const QFontMetricsF& metrics, double advance)
{
    const double across = (align & Centre) == Centre ? -advance / 2 : (align & Centre) == Right ? -advance : 0;
    if ((align & Baseline) == Baseline)
        return {across, 0};
    return {across, (align & Bottom) ? -metrics.descent() : metrics.ascent()};
}

}  // namespace

bool Player::playText(std::uint32_t type, const ByteView& record)
{
    switch (type) {
    case record::ExtTextOutA:
    case record::ExtTextOutW: drawTextRecord(record, 36, type == record::ExtTextOutW); return true;
    case record::PolyTextOutA:
    case record::PolyTextOutW: {
        const std::int64_t count = record.u32(36);
        if (!record.has(40, count * TextFieldsSize))
            return true;
        for (std::int64_t i = 0; i < count; ++i)
            drawTextRecord(record, 40 + i * TextFieldsSize, type == record::PolyTextOutW);
        return true;
    }
    default: return false;
    }
}

bool Player::drawTextRecord(const ByteView& record, std::int64_t at, bool wide)
{
    const std::int64_t count = record.u32(at + 8);
    const std::int64_t textAt = record.u32(at + 12);
    const std::uint32_t options = record.u32(at + 16);
    const QRectF box =
        QRectF(QPointF(record.i32(at + 20), record.i32(at + 24)), QPointF(record.i32(at + 28), record.i32(at + 32)))
            .normalized();
    const std::int64_t dxAt = record.u32(at + 36);
    const std::int64_t dxStep = options & PairedDx ? 8 : 4;
    if (!record.has(at, TextFieldsSize) || count > MaxCharacters || !record.has(textAt, count * (wide ? 2 : 1)))
        return false;
    const bool spaced = dxAt != 0 && record.has(dxAt, count * dxStep);
    const bool updatesPosition = dc_.textAlign & UpdatePosition;
    const QPointF reference = updatesPosition ? dc_.position : QPointF(record.i32(at), record.i32(at + 4));

    const QTransform toImage = logicalToImage();
    if (!prepare(toImage))
        return true;
    painter_.save();
    wmfstyle::applyMix(painter_, wmfstyle::Mix{});
    if (options & Opaque)
        painter_.fillRect(box, color(dc_.backColor));
    if (options & Clipped)
        painter_.setClipRect(box, Qt::IntersectClip);
    // Glyph indexes name glyphs of the face the metafile was made with, which we do not have.
    if (count == 0 || (options & GlyphIndexes)) {
        painter_.restore();
        return true;
    }

    const Font& font = dc_.font;
    const QString family = wmftext::familyFor(font.face, font.pitchAndFamily);
    const QString text = recordText(record, textAt, count, wide, wmftext::isSymbolFace(family, font.charset));
    const QFont qfont = layoutFont(font, family);
    const QFontMetricsF metrics(qfont);

    // The text stands upright along the drawing's x axis, turned by the
    // escapement; the height is the cell's (positive) or the character's
    // (negative), in logical units down the drawing's y axis.
    const QPointF origin = toImage.map(reference);
    const QPointF alongX = toImage.map(reference + QPointF(1, 0)) - origin;
    const double unitX = length(alongX);
    const double unitY = length(toImage.map(reference + QPointF(0, 1)) - origin);
    const double height = font.height == 0 ? DefaultHeight * std::sqrt(std::abs(deviceToImage_.determinant()))
                                           : std::abs(font.height) * unitY;
    const double scaleY = height / (font.height > 0 ? metrics.height() : LayoutEm);
    const double scaleX = font.width > 0 && metrics.averageCharWidth() > 0
                              ? font.width * unitX / metrics.averageCharWidth()
                              : scaleY;
    // Each character's start along the baseline, in image pixels.
    std::vector<double> starts;
    double advance = metrics.horizontalAdvance(text) * scaleX;
    if (spaced) {
        double start = 0;
        for (std::int64_t i = 0; i < count; ++i) {
            starts.push_back(start);
            start += record.i32(dxAt + i * dxStep) * unitX;
        }
        advance = start;
    }
    if (!std::isfinite(scaleX) || !std::isfinite(scaleY) || scaleX <= 0 || scaleY <= 0) {
        painter_.restore();
        return true;
    }

    QTransform placed;
    placed.translate(origin.x(), origin.y());
    placed.rotate(std::atan2(alongX.y(), alongX.x()) * 180 / M_PI - font.escapement / 10);
    const QPointF shift = alignmentShift(dc_.textAlign, metrics, advance / scaleX);
    placed.scale(scaleX, scaleY);
    placed.translate(shift.x(), shift.y());
    painter_.setTransform(placed);
    const QColor ink = color(dc_.textColor);
    if (dc_.opaqueBackground)
        painter_.fillRect(QRectF(0, -metrics.ascent(), advance / scaleX, metrics.height()), color(dc_.backColor));
    QPainterPath letters;
    if (spaced) {
        for (std::int64_t i = 0; i < count; ++i)
            letters.addText(QPointF(starts[i] / scaleX, 0), qfont, text.mid(i, 1));
    } else {
        letters.addText(QPointF(0, 0), qfont, text);
    }
    painter_.fillPath(letters, ink);
    // The lines are painted apart from the letters, whose outlines would cut holes where they cross.
    const double thickness = std::max(metrics.lineWidth(), 1.0);
    if (font.underline)
        painter_.fillRect(QRectF(0, metrics.underlinePos(), advance / scaleX, thickness), ink);
    if (font.strikeOut)
        painter_.fillRect(QRectF(0, -metrics.strikeOutPos(), advance / scaleX, thickness), ink);
    painter_.restore();
    if (updatesPosition)
        dc_.position = reference + QPointF(advance / unitX, 0);
    return true;
}

}  // namespace platform::emf
