#include "platform/EmfPlayer.h"

#include "platform/DibReader.h"
#include "platform/EmfStyle.h"
#include "platform/WmfStyle.h"

#include <QLinearGradient>

namespace platform::emf {

namespace {

// Where a block-transfer record keeps its fields: each bitmap's offsets and
// sizes, after its colour usage (but for the device-independent records').
constexpr std::int64_t TransferBitmapAt = 84;
constexpr std::int64_t DibBitmapAt = 48;
constexpr std::int64_t DibUsageAt = 64;
constexpr std::int64_t MaskBitmapAt = 112;
constexpr std::uint8_t SourceAlpha = 1;  // AC_SRC_ALPHA: the source's own alpha counts
constexpr std::uint32_t GradientVertexSize = 16;
constexpr std::uint32_t MaxGradientParts = 65536;

// The raster operation that leaves the destination as it is.
bool leavesDestination(std::uint32_t rop) { return ((rop >> 16) & 0xFF) == 0xAA; }

QRectF rectangleAt(const ByteView& record, std::int64_t at)
{
    return QRectF(record.i32(at), record.i32(at + 4), record.i32(at + 8), record.i32(at + 12));
}

// The source rectangle of a device-independent bitmap record, whose y counts
// up from the bitmap's last row when its rows run bottom-up.
QRectF dibSource(const ByteView& record, const QImage& bitmap, std::int64_t at)
{
    QRectF source = rectangleAt(record, at);
    const bool bottomUp = record.i32(record.u32(DibBitmapAt) + 8) > 0;
    if (bottomUp)
        source.moveTop(bitmap.height() - source.top() - source.height());
    return source;
}

// A 32-bit bitmap with its alpha, premultiplied, as blending records carry it;
// a null image for any other bitmap.
QImage premultipliedBitmap(const ByteView& record)
{
    const ByteView info(record.mid(record.u32(TransferBitmapAt), record.u32(TransferBitmapAt + 4)));
    const std::int64_t width = info.i32(4);
    const std::int64_t height = info.i32(8);
    const std::int64_t rows = std::abs(height);
    if (info.u32(0) < 40 || info.u16(14) != 32 || info.u32(16) != 0 || width <= 0 || rows == 0
        || width * rows > MaxBitmapPixels)
        return {};
    const QByteArrayView pixels = record.mid(record.u32(TransferBitmapAt + 8), width * rows * 4);
    if (pixels.isEmpty())
        return {};
    const QImage wrapped(reinterpret_cast<const uchar*>(pixels.data()), int(width), int(rows), int(width * 4),
                         QImage::Format_ARGB32_Premultiplied);
    return height > 0 ? wrapped.mirrored() : wrapped.copy();
}

// The source bitmap with what its mask leaves out transparent.
QImage masked(const QImage& source, const QImage& mask)
{
    QImage result = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const bool shown = x < mask.width() && y < mask.height() && qGray(mask.pixel(x, y)) > 127;
            if (!shown)
                row[x] = 0;
        }
    }
    return result;
}

QColor vertexColor(const ByteView& record, std::int64_t vertex)
{
    return QColor(record.u16(vertex + 8) >> 8, record.u16(vertex + 10) >> 8, record.u16(vertex + 12) >> 8);
}

}  // namespace

bool Player::playBitmap(std::uint32_t type, const ByteView& record)
{
    switch (type) {
    case record::BitBlt:
    case record::StretchBlt:
    case record::MaskBlt:
    case record::AlphaBlend:
    case record::TransparentBlt: break;
    case record::StretchDiBits: {
        const QImage bitmap = recordBitmap(record, DibBitmapAt, record.u32(DibUsageAt), dc_.palette);
        const QRectF target(record.i32(24), record.i32(28), record.i32(72), record.i32(76));
        if (!bitmap.isNull())
            blit(target, bitmap, dibSource(record, bitmap, 32), record.u32(68));
        return true;
    }
    case record::SetDiBitsToDevice: playDibitsToDevice(record); return true;
    case record::GradientFill: playGradient(record); return true;
    default: return false;
    }
    const QRectF target = rectangleAt(record, 24);
    const std::uint32_t rop = record.u32(40);
    if (record.u32(TransferBitmapAt + 4) == 0) {
        fillWithBrush(target, rop);
        return true;
    }
    QImage bitmap = recordBitmap(record, TransferBitmapAt, record.u32(TransferBitmapAt - 4), dc_.palette);
    if (type == record::AlphaBlend && record.u8(43) == SourceAlpha) {
        if (const QImage withAlpha = premultipliedBitmap(record); !withAlpha.isNull())
            bitmap = withAlpha;
    }
    if (bitmap.isNull())
        return true;
    const QPointF sourceAt(record.i32(44), record.i32(48));
    const QSizeF sourceSize = type == record::BitBlt || type == record::MaskBlt
                                  ? target.size()
                                  : QSizeF(record.i32(100), record.i32(104));
    // The source rectangle is in the source's logical units, which its transform makes pixels.
    const QRectF source = transformAt(record, 52).value_or(QTransform()).mapRect(QRectF(sourceAt, sourceSize));
    if (type == record::MaskBlt) {
        const QImage mask = recordBitmap(record, MaskBitmapAt, record.u32(MaskBitmapAt - 4), dc_.palette);
        blit(target, mask.isNull() ? bitmap : masked(bitmap, mask), source, mask.isNull() ? rop : 0x00CC0020);
    } else if (type == record::TransparentBlt) {
        QImage keyed = bitmap.convertToFormat(QImage::Format_ARGB32);
        keyed.setAlphaChannel(keyed.createMaskFromColor(color(rop).rgb(), Qt::MaskOutColor)
                                  .convertToFormat(QImage::Format_Grayscale8));
        blit(target, keyed, source, 0x00CC0020);
    } else if (type == record::AlphaBlend) {
        painter_.setOpacity(record.u8(42) / 255.0);
        blit(target, bitmap, source, 0x00CC0020);
        painter_.setOpacity(1);
    } else {
        blit(target, bitmap, source, rop);
    }
    return true;
}

bool Player::playDibitsToDevice(const ByteView& record)
{
    // The pixels may be a band of the bitmap's rows only: `scans` rows from
    // row `first`, counted from the bottom for rows that run bottom-up.
    const bool bottomUp = record.i32(record.u32(DibBitmapAt) + 8) > 0;
    const std::int64_t first = record.u32(68);
    const std::int64_t scans = record.u32(72);
    if (scans == 0)
        return false;
    const QImage band = recordBitmap(record, DibBitmapAt, record.u32(DibUsageAt), dc_.palette, scans);
    if (band.isNull())
        return false;
    QRectF source = rectangleAt(record, 32);
    source.moveTop(bottomUp ? double(scans) - (source.top() - double(first)) - source.height()
                            : source.top() - double(first));
    blit(QRectF(QPointF(record.i32(24), record.i32(28)), source.size()), band, source, 0x00CC0020);
    return true;
}

void Player::blit(const QRectF& target, const QImage& source, const QRectF& sourceRect, std::uint32_t rop)
{
    const QTransform toImage = logicalToImage();
    if (leavesDestination(rop) || !prepare(toImage))
        return;
    // A bitmap drawn larger keeps its pixels square, as the metafile's own
    // device draws it; one drawn smaller is smoothed rather than thinned out.
    const QRectF onImage = toImage.mapRect(target);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, onImage.width() < std::abs(sourceRect.width())
                                                                || onImage.height() < std::abs(sourceRect.height()));
    if (wmfstyle::invertsDestination(rop)) {
        fillWithBrush(target, rop);
        return;
    }
    const wmfstyle::Mix mix = wmfstyle::ternaryMix(rop);
    wmfstyle::applyMix(painter_, mix);
    if (mix.plainColor)
        painter_.fillRect(target, *mix.plainColor);
    else
        painter_.drawImage(target, source, sourceRect);
}

void Player::fillWithBrush(const QRectF& target, std::uint32_t rop)
{
    const QTransform toImage = logicalToImage();
    if (leavesDestination(rop) || !prepare(toImage))
        return;
    const wmfstyle::Mix mix = wmfstyle::ternaryMix(rop);
    wmfstyle::applyMix(painter_, mix);
    if (wmfstyle::invertsDestination(rop) || mix.plainColor)
        painter_.fillRect(target, mix.plainColor.value_or(Qt::white));
    else
        painter_.fillRect(target, qtBrush(dc_.brush, color(dc_.brush.color), toImage));
}

bool Player::playGradient(const ByteView& record)
{
    enum Mode : std::uint32_t { Across = 0, Down = 1, Triangles = 2 };
    const std::uint32_t vertices = record.u32(24);
    const std::uint32_t parts = record.u32(28);
    const std::uint32_t mode = record.u32(32);
    const std::int64_t partSize = mode == Triangles ? 12 : 8;
    const std::int64_t partsAt = 36 + std::int64_t{vertices} * GradientVertexSize;
    if (mode > Triangles || parts > MaxGradientParts || !record.has(partsAt, parts * partSize))
        return false;
    const QTransform toImage = logicalToImage();
    if (!prepare(toImage))
        return true;
    wmfstyle::applyMix(painter_, wmfstyle::Mix{});
    painter_.setPen(Qt::NoPen);
    const auto vertex = [&](std::int64_t at) -> std::optional<std::int64_t> {
        const std::uint32_t index = record.u32(at);
        return index < vertices ? std::optional(36 + std::int64_t{index} * GradientVertexSize) : std::nullopt;
    };
    for (std::uint32_t i = 0; i < parts; ++i) {
        const std::int64_t at = partsAt + i * partSize;
        const auto first = vertex(at);
        const auto second = vertex(at + 4);
        if (!first || !second)
            continue;
        if (mode == Triangles) {
            // Each triangle in the mean of its corners' colours.
            const auto third = vertex(at + 8);
            if (!third)
                continue;
            const QColor a = vertexColor(record, *first), b = vertexColor(record, *second),
                         c = vertexColor(record, *third);
            painter_.setBrush(QColor((a.red() + b.red() + c.red()) / 3, (a.green() + b.green() + c.green()) / 3,
                                     (a.blue() + b.blue() + c.blue()) / 3));
            painter_.drawPolygon(
                QPolygonF({pointAt(record, *first), pointAt(record, *second), pointAt(record, *third)}));
            continue;
        }
        const QRectF box = QRectF(pointAt(record, *first), pointAt(record, *second)).normalized();
        QLinearGradient gradient(box.topLeft(), mode == Across ? box.topRight() : box.bottomLeft());
        gradient.setColorAt(0, vertexColor(record, *first));
        gradient.setColorAt(1, vertexColor(record, *second));
        painter_.fillRect(box, gradient);
    }
    return true;
}

}  // namespace platform::emf
