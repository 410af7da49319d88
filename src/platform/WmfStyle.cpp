#include "platform/WmfStyle.h"


#include <cmath>

namespace platform::wmfstyle {

namespace {

using Mode = QPainter::CompositionMode;

Qt::PenStyle dashes(unsigned style)
{
    switch (style) {
    case PS_DASH: return Qt::DashLine;
    case PS_DOT:
    case PS_ALTERNATE: return Qt::DotLine;
    case PS_DASHDOT: return Qt::DashDotLine;
    case PS_DASHDOTDOT: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

Qt::PenCapStyle cap(unsigned style)
{
    switch (style & PS_ENDCAP_MASK) {
    case PS_ENDCAP_SQUARE: return Qt::SquareCap;
    case PS_ENDCAP_FLAT: return Qt::FlatCap;
    default: return Qt::RoundCap;
    }
}

Qt::PenJoinStyle join(unsigned style)
{
    switch (style & PS_JOIN_MASK) {
    case PS_JOIN_BEVEL: return Qt::BevelJoin;
    case PS_JOIN_MITER: return Qt::MiterJoin;
    default: return Qt::RoundJoin;
    }
}

Qt::BrushStyle hatch(unsigned hatchStyle)
{
    switch (hatchStyle) {
    case HS_HORIZONTAL: return Qt::HorPattern;
    case HS_VERTICAL: return Qt::VerPattern;
    case HS_FDIAGONAL: return Qt::FDiagPattern;
    case HS_BDIAGONAL: return Qt::BDiagPattern;
    case HS_CROSS: return Qt::CrossPattern;
    default: return Qt::DiagCrossPattern;
    }
}

// Lays a brush's pattern in image pixels, whatever the drawing's scale.
QBrush inImagePixels(QBrush brush, const QTransform& toImage)
{
    const QTransform scale = QTransform::fromScale(toImage.m11(), toImage.m22());
    if (scale.isInvertible())
        brush.setTransform(scale.inverted());
    return brush;
}

}  // namespace

QColor color(const wmfRGB& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

QPen styledPen(unsigned penStyle, const QColor& color, double pixels)
{
    const unsigned style = penStyle & PS_STYLE_MASK;
    if (style == PS_NULL)
        return Qt::NoPen;
    QPen qpen(color);
    qpen.setCosmetic(true);
    qpen.setCapStyle(cap(penStyle));
    qpen.setJoinStyle(join(penStyle));
    const bool hairline = pixels <= 1.5;
    qpen.setWidthF(hairline ? 1 : pixels);
    qpen.setStyle(hairline ? dashes(style) : Qt::SolidLine);
    return qpen;
}

QBrush styledBrush(unsigned brushStyle, unsigned hatchStyle, const QColor& color, const QTransform& toImage,
                   const QImage* pattern)
{
    switch (brushStyle) {
    case BS_NULL: return Qt::NoBrush;
    case BS_HATCHED: return inImagePixels(QBrush(color, hatch(hatchStyle)), toImage);
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
        if (pattern)
            return inImagePixels(QBrush(*pattern), toImage);
        [[fallthrough]];
    default: return QBrush(color);
    }
}

QPen pen(const wmfPen& pen, const QTransform& toImage)
{
    // The player gives the width in the device's units across and down,
    // which need not be alike: the pen is as wide in the image either way.
    const double width = std::sqrt(std::abs(pen.width * toImage.m11() * pen.height * toImage.m22()));
    return styledPen(pen.lopnStyle, color(pen.lopnColor), width);
}

QBrush brush(const wmfBrush& brush, const QTransform& toImage, const QImage* pattern)
{
    return styledBrush(brush.lbStyle, brush.lbHatch, color(brush.lbColor), toImage, pattern);
}

std::optional<Mix> binaryMix(unsigned rop2)
{
    switch (rop2) {
    case R2_BLACK: return Mix{Mode::CompositionMode_SourceOver, QColor(Qt::black)};
    case R2_WHITE: return Mix{Mode::CompositionMode_SourceOver, QColor(Qt::white)};
    case R2_NOP: return std::nullopt;
    case R2_NOTMERGEPEN: return Mix{Mode::RasterOp_NotSourceAndNotDestination, {}};
    case R2_MASKNOTPEN: return Mix{Mode::RasterOp_NotSourceAndDestination, {}};
    case R2_NOTCOPYPEN: return Mix{Mode::RasterOp_NotSource, {}};
    case R2_MASKPENNOT: return Mix{Mode::RasterOp_SourceAndNotDestination, {}};
    case R2_NOT: return Mix{Mode::RasterOp_NotDestination, {}};
    case R2_XORPEN: return Mix{Mode::RasterOp_SourceXorDestination, {}};
    case R2_NOTMASKPEN: return Mix{Mode::RasterOp_NotSourceOrNotDestination, {}};
    case R2_MASKPEN: return Mix{Mode::RasterOp_SourceAndDestination, {}};
    case R2_NOTXORPEN: return Mix{Mode::RasterOp_NotSourceXorDestination, {}};
    case R2_MERGENOTPEN: return Mix{Mode::RasterOp_NotSourceOrDestination, {}};
    case R2_MERGEPENNOT: return Mix{Mode::RasterOp_SourceOrNotDestination, {}};
    case R2_MERGEPEN: return Mix{Mode::RasterOp_SourceOrDestination, {}};
    default: return Mix{};
    }
}

Mix ternaryMix(unsigned long rop3)
{
    // The operation's index byte names it; the low word only says how to compute it.
    switch ((rop3 >> 16) & 0xFF) {
    case 0x00: return Mix{Mode::CompositionMode_SourceOver, QColor(Qt::black)};
    case 0xFF: return Mix{Mode::CompositionMode_SourceOver, QColor(Qt::white)};
    case 0xEE: return Mix{Mode::RasterOp_SourceOrDestination, {}};
    case 0x88: return Mix{Mode::RasterOp_SourceAndDestination, {}};
    case 0x66:
    case 0x5A: return Mix{Mode::RasterOp_SourceXorDestination, {}};
    case 0x44: return Mix{Mode::RasterOp_SourceAndNotDestination, {}};
    case 0x33: return Mix{Mode::RasterOp_NotSource, {}};
    case 0x11: return Mix{Mode::RasterOp_NotSourceAndNotDestination, {}};
    case 0xBB: return Mix{Mode::RasterOp_NotSourceOrDestination, {}};
    case 0x55: return Mix{Mode::RasterOp_NotDestination, {}};
    default: return Mix{};
    }
}

bool invertsDestination(unsigned long rop3) { return ((rop3 >> 16) & 0xFF) == 0x55; }

void applyMix(QPainter& painter, const Mix& mix)
{
    painter.setCompositionMode(mix.mode);
    painter.setRenderHint(QPainter::Antialiasing, mix.mode == Mode::CompositionMode_SourceOver);
}

bool applyShapeStyle(QPainter& painter, QPen pen, QBrush brush, unsigned rop2, bool opaqueBackground,
                     const QColor& background)
{
    const std::optional<Mix> mix = binaryMix(rop2);
    if (!mix)
        return false;
    if (mix->plainColor) {
        if (pen.style() != Qt::NoPen)
            pen.setColor(*mix->plainColor);
        if (brush.style() != Qt::NoBrush)
            brush = QBrush(*mix->plainColor);
    }
    painter.setPen(pen);
    painter.setBrush(brush);
    applyMix(painter, *mix);
    painter.setBackgroundMode(opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    painter.setBackground(background);
    return true;
}

bool applyShapeStyle(QPainter& painter, const wmfDC& dc, const QTransform& toImage, const QImage* pattern)
{
    return applyShapeStyle(painter, dc.pen ? pen(*dc.pen, toImage) : QPen(Qt::NoPen),
                           dc.brush ? brush(*dc.brush, toImage, pattern) : QBrush(Qt::NoBrush), dc.ROPmode,
                           dc.bgmode == OPAQUE, color(dc.bgcolor));
}

}  // namespace platform::wmfstyle
