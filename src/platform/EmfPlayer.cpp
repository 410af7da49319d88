#include "platform/EmfPlayer.h"

#include "platform/EmfStyle.h"
#include "platform/PictureLoader.h"
#include "platform/WmfStyle.h"

#include <cmath>

namespace platform::emf {

namespace {

// Beyond these the records are taken for damaged.
constexpr std::uint32_t MaxObjects = 65535;
constexpr std::size_t MaxSavedContexts = 4096;

enum WorldMode : std::uint32_t { Identity = 1, LeftMultiply = 2, RightMultiply = 3, Set = 4 };

// A non-zero extent at `at`; nullopt for an empty one, which would divide by zero.
std::optional<QSizeF> extentAt(const ByteView& record, std::int64_t at)
{
    const QSizeF extent(record.i32(at), record.i32(at + 4));
    return extent.width() != 0 && extent.height() != 0 ? std::optional(extent) : std::nullopt;
}

bool drawable(const QTransform& transform)
{
    const double entries[] = {transform.m11(), transform.m12(), transform.m21(), transform.m22(), transform.dx(),
                              transform.dy()};
    return transform.isInvertible()
           && std::all_of(std::begin(entries), std::end(entries),
                          [](double value) { return std::isfinite(value) && std::abs(value) < MaxTransformValue; });
}

// The device pixels the frame covers, or the bounds when the frame is empty.
QRectF drawnArea(const Header& header, QSizeF pixelsPerMillimetre)
{
    const QRectF frame = header.frameHimetric;
    if (frame.width() > 0 && frame.height() > 0)
        return QTransform::fromScale(pixelsPerMillimetre.width() / 100, pixelsPerMillimetre.height() / 100)
            .mapRect(frame);
    return header.bounds.adjusted(0, 0, 1, 1);
}

}  // namespace

Player::Player(const Header& header, QImage& image) : image_(image)
{
    const bool known = header.devicePixels.width() > 0 && header.devicePixels.height() > 0
                       && header.deviceMillimetres.width() > 0 && header.deviceMillimetres.height() > 0;
    const double screen = PixelsPerInch / 25.4;
    pixelsPerMillimetre_ = known ? QSizeF(header.devicePixels.width() / header.deviceMillimetres.width(),
                                          header.devicePixels.height() / header.deviceMillimetres.height())
                                 : QSizeF(screen, screen);
    const QRectF area = drawnArea(header, pixelsPerMillimetre_);
    if (area.width() > 0 && area.height() > 0)
        deviceToImage_ = QTransform::fromTranslate(-area.left(), -area.top())
                         * QTransform::fromScale(image.width() / area.width(), image.height() / area.height());
    objects_.resize(std::min(header.handles, MaxObjects));
}

void Player::play(const Metafile& metafile)
{
    if (!drawable(deviceToImage_) || !painter_.begin(&image_))
        return;
    painter_.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    forEachRecord(metafile, [this](std::uint32_t type, const ByteView& record) { playRecord(type, record); });
    painter_.end();
}

void Player::playRecord(std::uint32_t type, const ByteView& record)
{
    // Each family takes its own records and passes over those it finds damaged.
    playState(type, record) || playObject(type, record) || playShape(type, record) || playPath(type, record)
        || playClip(type, record) || playText(type, record) || playBitmap(type, record);
}

bool Player::playState(std::uint32_t type, const ByteView& record)
{
    switch (type) {
    case record::SetWindowExtEx:
        if (const auto extent = extentAt(record, 8); extent && dc_.extentsSettable())
            dc_.windowExtent = *extent;
        return true;
    case record::SetViewportExtEx:
        if (const auto extent = extentAt(record, 8); extent && dc_.extentsSettable())
            dc_.viewportExtent = *extent;
        return true;
    case record::ScaleWindowExtEx:
    case record::ScaleViewportExtEx: {
        const double xNumerator = record.i32(8), xDenominator = record.i32(12);
        const double yNumerator = record.i32(16), yDenominator = record.i32(20);
        if (xNumerator == 0 || xDenominator == 0 || yNumerator == 0 || yDenominator == 0 || !dc_.extentsSettable())
            return true;
        QSizeF& extent = type == record::ScaleWindowExtEx ? dc_.windowExtent : dc_.viewportExtent;
        extent = QSizeF(extent.width() * xNumerator / xDenominator, extent.height() * yNumerator / yDenominator);
        return true;
    }
    case record::SetWindowOrgEx: dc_.windowOrigin = pointAt(record, 8); return true;
    case record::SetViewportOrgEx: dc_.viewportOrigin = pointAt(record, 8); return true;
    case record::SetMapMode: dc_.setMapMode(record.i32(8), pixelsPerMillimetre_); return true;
    case record::SetBkMode: dc_.opaqueBackground = record.u32(8) == OPAQUE; return true;
    case record::SetPolyFillMode: dc_.winding = record.u32(8) == WINDING; return true;
    case record::SetRop2: dc_.rop2 = record.i32(8); return true;
    case record::SetTextAlign: dc_.textAlign = record.u32(8); return true;
    case record::SetTextColor: dc_.textColor = record.u32(8); return true;
    case record::SetBkColor: dc_.backColor = record.u32(8); return true;
    case record::MoveToEx: dc_.position = pointAt(record, 8); return true;
    case record::SetArcDirection: dc_.clockwise = record.u32(8) == 2; return true;
    case record::SaveDc:
        if (saved_.size() < MaxSavedContexts)
            saved_.push_back(dc_);
        return true;
    case record::RestoreDc: restore(record.i32(8)); return true;
    case record::SetWorldTransform:
        if (const auto transform = transformAt(record, 8))
            dc_.world = *transform;
        return true;
    case record::ModifyWorldTransform:
        if (const auto transform = transformAt(record, 8))
            modifyWorld(*transform, record.u32(32));
        return true;
    default: return false;
    }
}

void Player::restore(std::int32_t which)
{
    // Negative: that many saves back; positive: the save of that number.
    const std::int64_t level = which < 0 ? std::int64_t(saved_.size()) + which : std::int64_t(which) - 1;
    if (which == 0 || level < 0 || level >= std::int64_t(saved_.size()))
        return;
    dc_ = saved_[level];
    saved_.resize(level);
}

void Player::modifyWorld(const QTransform& transform, std::uint32_t mode)
{
    switch (mode) {
    case Identity: dc_.world.reset(); break;
    case LeftMultiply: dc_.world = transform * dc_.world; break;
    case RightMultiply: dc_.world = dc_.world * transform; break;
    case Set: dc_.world = transform; break;
    default: break;
    }
}

bool Player::playObject(std::uint32_t type, const ByteView& record)
{
    const std::uint32_t index = record.u32(8);
    const auto keep = [&](auto object) {
        if (object)
            keepObject(index, *object);
    };
    switch (type) {
    case record::CreatePen: keep(penFromCreatePen(record)); return true;
    case record::ExtCreatePen: keep(penFromExtCreatePen(record)); return true;
    case record::CreateBrushIndirect: keep(brushFromCreateBrush(record)); return true;
    case record::CreateMonoBrush:
    case record::CreateDibPatternBrushPt: keep(brushFromPattern(record, dc_.palette)); return true;
    case record::ExtCreateFontIndirectW: keep(fontFromLogFont(record)); return true;
    case record::CreatePalette: keep(paletteFromRecord(record)); return true;
    case record::SetPaletteEntries:
        if (auto* palette = index < objects_.size() ? std::get_if<Palette>(&objects_[index]) : nullptr)
            setPaletteEntries(*palette, record);
        return true;
    case record::SelectObject:
    case record::SelectPalette: selectObject(index); return true;
    case record::DeleteObject:
        if (index < objects_.size())
            objects_[index] = std::monostate{};
        return true;
    default: return false;
    }
}

void Player::keepObject(std::uint32_t index, Object object)
{
    if (index < objects_.size())
        objects_[index] = std::move(object);
}

void Player::selectObject(std::uint32_t index)
{
    const bool stock = index & 0x80000000;
    const std::optional<Object> object =
        stock ? stockObject(index) : index < objects_.size() ? std::optional(objects_[index]) : std::nullopt;
    if (!object)
        return;
    if (const auto* pen = std::get_if<Pen>(&*object))
        dc_.pen = *pen;
    else if (const auto* brush = std::get_if<Brush>(&*object))
        dc_.brush = *brush;
    else if (const auto* font = std::get_if<Font>(&*object))
        dc_.font = *font;
    else if (const auto* palette = std::get_if<Palette>(&*object))
        dc_.palette = *palette;
}

bool Player::prepare(const QTransform& toImage)
{
    if (!drawable(toImage))
        return false;
    painter_.resetTransform();
    if (dc_.clip) {
        painter_.setTransform(deviceToImage_);
        painter_.setClipPath(*dc_.clip);
    } else {
        painter_.setClipping(false);
    }
    painter_.setTransform(toImage);
    return true;
}

bool Player::applyStyle(const QTransform& toImage, double unitsPerLogical, bool stroke, bool fill)
{
    const double scale = std::sqrt(std::abs(toImage.determinant()));
    const QPen pen = stroke ? qtPen(dc_.pen, color(dc_.pen.color), dc_.pen.width * unitsPerLogical, scale)
                            : QPen(Qt::NoPen);
    const QBrush brush = fill ? qtBrush(dc_.brush, color(dc_.brush.color), toImage) : QBrush(Qt::NoBrush);
    return wmfstyle::applyShapeStyle(painter_, pen, brush, unsigned(dc_.rop2), dc_.opaqueBackground,
                                     color(dc_.backColor));
}

}  // namespace platform::emf
