#include "platform/EmfPlayer.h"

#include "platform/EmfStyle.h"
#include "platform/WmfStyle.h"

#include <QPainterPathStroker>
#include <cmath>

namespace platform::emf {

namespace {

enum RegionMode : std::uint32_t { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

constexpr std::int64_t RegionHeaderSize = 32;
constexpr std::int64_t MaxRegionRectangles = 4096;
// Clips of more elements than this are not combined: the combining would take too long.
constexpr int MaxCombinedElements = 20000;

// The rectangles of a region's data (RGNDATA) of `size` bytes at `at`, as one
// path; nullopt when the data is damaged.
std::optional<QPainterPath> regionAt(const ByteView& record, std::int64_t at, std::int64_t size)
{
    const std::int64_t count = record.u32(at + 8);
    if (record.u32(at) != RegionHeaderSize || count > MaxRegionRectangles || size < RegionHeaderSize + count * 16
        || !record.has(at, RegionHeaderSize + count * 16))
        return std::nullopt;
    QPainterPath region;
    region.setFillRule(Qt::WindingFill);
    for (std::int64_t i = 0; i < count; ++i)
        region.addRect(cornersAt(record, at + RegionHeaderSize + i * 16).normalized());
    return region;
}

}  // namespace

bool Player::playPath(std::uint32_t type, const ByteView& record)
{
    switch (type) {
    case record::BeginPath:
        inPath_ = true;
        path_ = QPainterPath();
        return true;
    case record::EndPath: inPath_ = false; return true;
    case record::AbortPath:
        inPath_ = false;
        path_ = QPainterPath();
        return true;
    case record::CloseFigure: path_.closeSubpath(); return true;
    case record::FlattenPath: return true;  // curves are drawn as curves either way
    case record::WidenPath: {
        QPainterPathStroker stroker;
        stroker.setWidth(std::max(1.0, dc_.pen.width * std::sqrt(std::abs(logicalToDevice().determinant()))));
        path_ = stroker.createStroke(path_);
        return true;
    }
    case record::FillPath:
    case record::StrokePath:
    case record::StrokeAndFillPath:
        inPath_ = false;
        drawDevicePath(path_, type != record::FillPath, type != record::StrokePath);
        path_ = QPainterPath();
        return true;
    case record::SelectClipPath:
        inPath_ = false;
        combineClip(path_, record.u32(8));
        path_ = QPainterPath();
        return true;
    default: return false;
    }
}

void Player::drawDevicePath(const QPainterPath& path, bool stroke, bool fill)
{
    const double unitsPerLogical = std::sqrt(std::abs(logicalToDevice().determinant()));
    if (!prepare(deviceToImage_) || !applyStyle(deviceToImage_, unitsPerLogical, stroke, fill))
        return;
    QPainterPath filled = path;
    filled.setFillRule(dc_.winding ? Qt::WindingFill : Qt::OddEvenFill);
    painter_.drawPath(filled);
}

bool Player::playClip(std::uint32_t type, const ByteView& record)
{
    switch (type) {
    case record::IntersectClipRect:
    case record::ExcludeClipRect: {
        QPainterPath box;
        box.addRect(cornersAt(record, 8).normalized());
        combineClip(logicalToDevice().map(box), type == record::IntersectClipRect ? And : Diff);
        return true;
    }
    case record::OffsetClipRgn:
        if (dc_.clip) {
            const QTransform toDevice = logicalToDevice();
            dc_.clip->translate(toDevice.map(QPointF(record.i32(8), record.i32(12))) - toDevice.map(QPointF(0, 0)));
        }
        return true;
    case record::ExtSelectClipRgn: {
        const std::int64_t size = record.u32(8);
        const std::uint32_t mode = record.u32(12);
        if (mode == Copy && size == 0) {
            dc_.clip.reset();
            return true;
        }
        if (const std::optional<QPainterPath> region = regionAt(record, 16, size))
            combineClip(*region, mode);
        return true;
    }
    default: return playRegion(type, record);
    }
}

void Player::combineClip(const QPainterPath& devicePath, std::uint32_t mode)
{
    if (mode == Copy || (mode == And && !dc_.clip)) {
        dc_.clip = devicePath;
        return;
    }
    // Where nothing is clipped yet, the clip is all of the picture and well around it.
    const QRectF everywhere = deviceToImage_.inverted().mapRect(QRectF(image_.rect())).adjusted(-1e4, -1e4, 1e4, 1e4);
    QPainterPath current;
    if (dc_.clip)
        current = *dc_.clip;
    else
        current.addRect(everywhere);
    if (current.elementCount() + devicePath.elementCount() > MaxCombinedElements)
        return;
    switch (mode) {
    case And: dc_.clip = current.intersected(devicePath); break;
    case Or: dc_.clip = current.united(devicePath); break;
    case Xor: dc_.clip = current.subtracted(devicePath).united(devicePath.subtracted(current)); break;
    case Diff: dc_.clip = current.subtracted(devicePath); break;
    default: break;
    }
}

bool Player::playRegion(std::uint32_t type, const ByteView& record)
{
    const std::int64_t size = record.u32(24);
    std::optional<QPainterPath> region;
    switch (type) {
    case record::FillRgn:
    case record::PaintRgn:
    case record::InvertRgn:
    case record::FrameRgn: {
        const std::int64_t dataAt = type == record::FrameRgn ? 40 : type == record::FillRgn ? 32 : 28;
        region = regionAt(record, dataAt, size);
        break;
    }
    default: return false;
    }
    const QTransform toImage = logicalToImage();
    if (!region || !prepare(toImage))
        return true;
    const DeviceContext kept = dc_;
    if (type == record::FillRgn || type == record::FrameRgn)
        selectObject(record.u32(28));
    if (type == record::InvertRgn) {
        wmfstyle::applyMix(painter_, *wmfstyle::binaryMix(R2_NOT));
        painter_.fillPath(*region, Qt::white);
    } else if (type == record::FrameRgn) {
        // The frame lies inside the region, as wide as the record says.
        QPainterPathStroker stroker;
        stroker.setWidth(2 * std::max(1, std::abs(record.i32(32))));
        if (applyStyle(toImage, 1, false, true)) {
            painter_.setClipPath(*region, Qt::IntersectClip);
            painter_.fillPath(stroker.createStroke(*region), painter_.brush());
        }
    } else if (applyStyle(toImage, 1, false, true)) {
        painter_.fillPath(*region, painter_.brush());
    }
    dc_ = kept;
    return true;
}

}  // namespace platform::emf
