#include "platform/EmfPlayer.h"

#include "platform/WmfStyle.h"
#include "platform/WmfText.h"

#include <QFontMetricsF>
#include <cmath>

namespace platform::emf {

// One string of a text record (EMRTEXT).
struct TextRun {
    QPointF reference;
    std::int64_t count = 0;
    std::int64_t textAt = 0;
    std::uint32_t options = 0;
    QRectF box;
    std::vector<double> advances;  // in logical units, one a character; none: the face's own
};

namespace {

constexpr std::int64_t TextFieldsSize = 40;  // EMRTEXT
constexpr std::int64_t MaxCharacters = 65536;
// A font without a height is this many device pixels high.
constexpr double DefaultHeight = 16;

enum Options : std::uint32_t { Opaque = 0x0002, Clipped = 0x0004, GlyphIndexes = 0x0010, PairedDx = 0x2000 };
enum Align : std::uint32_t { UpdatePosition = 1, Right = 2, Centre = 6, Bottom = 8, Baseline = 24 };

// Symbol faces take their characters from a private area of the character set.
constexpr char16_t SymbolArea = 0xF000;

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

std::optional<TextRun> readRun(const ByteView& record, std::int64_t at, bool wide)
{
    TextRun run;
    run.reference = pointAt(record, at);
    run.count = record.u32(at + 8);
    run.textAt = record.u32(at + 12);
    run.options = record.u32(at + 16);
    run.box = cornersAt(record, at + 20).normalized();
    if (!record.has(at, TextFieldsSize) || run.count > MaxCharacters
        || !record.has(run.textAt, run.count * (wide ? 2 : 1)))
        return std::nullopt;
    // With paired advances each character has an advance across and one down; only the first counts.
    const std::int64_t dxAt = record.u32(at + 36);
    const std::int64_t dxStep = run.options & PairedDx ? 8 : 4;
    if (dxAt != 0 && record.has(dxAt, run.count * dxStep)) {
        for (std::int64_t i = 0; i < run.count; ++i)
            run.advances.push_back(record.i32(dxAt + i * dxStep));
    }
    return run;
}

// Layout units onto the image: the text stands upright along the drawing's
// x axis, turned by the escapement; its height is the cell's (positive) or
// the characters' (negative), in logical units down the drawing's y axis.
struct TextFrame {
    QTransform layoutToImage;  // from the reference point
    double layoutPerLogical = 0;  // along the baseline
};

std::optional<TextFrame> textFrame(const QTransform& toImage, QPointF reference, const Font& font,
                                   const QFontMetricsF& metrics, double defaultHeight)
{
    const QPointF origin = toImage.map(reference);
    const QPointF alongX = toImage.map(reference + QPointF(1, 0)) - origin;
    const double unitX = length(alongX);
    const double unitY = length(toImage.map(reference + QPointF(0, 1)) - origin);
    const double height = font.height == 0 ? defaultHeight : std::abs(font.height) * unitY;
    const double scaleY = height / (font.height > 0 ? metrics.height() : wmftext::LayoutEm);
    const double scaleX = font.width > 0 && metrics.averageCharWidth() > 0
                              ? font.width * unitX / metrics.averageCharWidth()
                              : scaleY;
    if (!std::isfinite(scaleX) || !std::isfinite(scaleY) || scaleX <= 0 || scaleY <= 0)
        return std::nullopt;
    QTransform placed;
    placed.translate(origin.x(), origin.y());
    placed.rotate(std::atan2(alongX.y(), alongX.x()) * 180 / M_PI - font.escapement / 10);
    placed.scale(scaleX, scaleY);
    return TextFrame{placed, unitX / scaleX};
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
    std::optional<TextRun> run = readRun(record, at, wide);
    if (!run)
        return false;
    const bool updatesPosition = dc_.textAlign & UpdatePosition;
    if (updatesPosition)
        run->reference = dc_.position;
    const QTransform toImage = logicalToImage();
    if (!prepare(toImage))
        return true;
    painter_.save();
    wmfstyle::applyMix(painter_, wmfstyle::Mix{});
    // Inside a path bracket only the letters' outlines join the path.
    if ((run->options & Opaque) && !inPath_)
        painter_.fillRect(run->box, color(dc_.backColor));
    if ((run->options & Clipped) && !inPath_)
        painter_.setClipRect(run->box, Qt::IntersectClip);
    // Glyph indexes name glyphs of the face the metafile was made with, which we do not have.
    if (run->count > 0 && !(run->options & GlyphIndexes)) {
        const double advance = paintLetters(record, *run, wide, toImage);
        if (updatesPosition)
            dc_.position = run->reference + QPointF(advance, 0);
    }
    painter_.restore();
    return true;
}

double Player::paintLetters(const ByteView& record, const TextRun& run, bool wide, const QTransform& toImage)
{
    const Font& font = dc_.font;
    const QString family = wmftext::familyFor(font.face, font.pitchAndFamily);
    const QString text = recordText(record, run.textAt, run.count, wide, wmftext::isSymbolFace(family, font.charset));
    const QFont qfont = wmftext::layoutFont(family, font.weight, font.italic);
    const QFontMetricsF metrics(qfont);
    const std::optional<TextFrame> frame = textFrame(toImage, run.reference, font, metrics,
                                                     DefaultHeight * std::sqrt(std::abs(deviceToImage_.determinant())));
    if (!frame)
        return 0;
    // Each character's start along the baseline, in layout units.
    std::vector<double> starts;
    double advance = metrics.horizontalAdvance(text);
    if (!run.advances.empty()) {
        advance = 0;
        for (const double step : run.advances) {
            starts.push_back(advance);
            advance += step * frame->layoutPerLogical;
        }
    }
    const QPointF shift = alignmentShift(dc_.textAlign, metrics, advance);
    const QTransform placed = QTransform::fromTranslate(shift.x(), shift.y()) * frame->layoutToImage;
    QPainterPath letters;
    if (starts.empty())
        letters.addText(QPointF(0, 0), qfont, text);
    for (std::size_t i = 0; i < starts.size(); ++i)
        letters.addText(QPointF(starts[i], 0), qfont, text.mid(qsizetype(i), 1));
    if (inPath_) {
        path_.addPath((placed * deviceToImage_.inverted()).map(letters));
        return advance / frame->layoutPerLogical;
    }
    painter_.setTransform(placed);
    if (dc_.opaqueBackground)
        painter_.fillRect(QRectF(0, -metrics.ascent(), advance, metrics.height()), color(dc_.backColor));
    wmftext::paintLetters(painter_, letters, metrics, advance, font.underline, font.strikeOut, color(dc_.textColor));
    return advance / frame->layoutPerLogical;
}

}  // namespace platform::emf
