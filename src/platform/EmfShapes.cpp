#include "platform/EmfPlayer.h"

#include <bit>
#include <cmath>
#include <limits>

namespace platform::emf {

namespace {

enum PointType : std::uint8_t { CloseFigure = 1, LineTo = 2, BezierTo = 4, MoveTo = 6 };

constexpr std::int64_t MaxPoints = std::int64_t{4} << 20;

std::int64_t pointSize(bool small) { return small ? 4 : 8; }

QPointF pointAt(const ByteView& record, std::int64_t at, bool small)
{
    return small ? QPointF(record.i16(at), record.i16(at + 2)) : emf::pointAt(record, at);
}

// `count` points from `at`; nullopt when they do not lie inside the record
// or are more than any drawing holds.
std::optional<QPolygonF> pointsAt(const ByteView& record, std::int64_t at, std::int64_t count, bool small)
{
    if (count < 0 || count > MaxPoints || !record.has(at, count * pointSize(small)))
        return std::nullopt;
    QPolygonF points;
    points.reserve(count);
    for (std::int64_t i = 0; i < count; ++i)
        points.append(pointAt(record, at + i * pointSize(small), small));
    return points;
}

// Cubic curves through `points` from the path's current position, three points each.
void addBeziers(QPainterPath& path, const QPolygonF& points, qsizetype from)
{
    for (qsizetype i = from; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
}

bool isSmall(std::uint32_t type)
{
    return type >= record::PolyBezier16 && type <= record::PolyDraw16;
}

// The type of the record with 32-bit points that a record with 16-bit points stands for.
std::uint32_t withLongPoints(std::uint32_t type)
{
    return isSmall(type) ? type - (record::PolyBezier16 - record::PolyBezier) : type;
}

// The angle of `point` on the ellipse `box`, as QPainterPath's arcs take it.
double angleOf(const QRectF& box, QPointF point)
{
    const double rx = std::max(box.width() / 2, std::numeric_limits<double>::min());
    const double ry = std::max(box.height() / 2, std::numeric_limits<double>::min());
    const QPointF fromCentre = point - box.center();
    return std::atan2(-fromCentre.y() / ry, fromCentre.x() / rx) * 180 / M_PI;
}

}  // namespace

bool Player::playShape(std::uint32_t type, const ByteView& record)
{
    const bool small = isSmall(type);
    switch (type) {
    case record::Polygon:
    case record::Polygon16:
    case record::Polyline:
    case record::Polyline16:
    case record::PolyBezier:
    case record::PolyBezier16:
    case record::PolylineTo:
    case record::PolylineTo16:
    case record::PolyBezierTo:
    case record::PolyBezierTo16: playPoly(withLongPoints(type), record, small); return true;
    case record::PolyPolygon:
    case record::PolyPolygon16:
    case record::PolyPolyline:
    case record::PolyPolyline16: playPolyPoly(withLongPoints(type), record, small); return true;
    case record::PolyDraw:
    case record::PolyDraw16: playPolyDraw(record, small); return true;
    case record::LineTo: {
        const QPointF to(record.i32(8), record.i32(12));
        QPainterPath line(dc_.position);
        line.lineTo(to);
        extendFigure(line);
        dc_.position = to;
        return true;
    }
    case record::Rectangle:
    case record::Ellipse:
    case record::RoundRect: {
        QPainterPath shape;
        const QRectF box = cornersAt(record, 8).normalized();
        if (type == record::Rectangle)
            shape.addRect(box);
        else if (type == record::Ellipse)
            shape.addEllipse(box);
        else
            shape.addRoundedRect(box, std::abs(record.i32(24)) / 2.0, std::abs(record.i32(28)) / 2.0);
        drawShape(shape, true);
        return true;
    }
    case record::Arc:
    case record::ArcTo:
    case record::Chord:
    case record::Pie:
    case record::AngleArc: playArc(type, record); return true;
    case record::SetPixelV: {
        const QPointF at = logicalToDevice().map(QPointF(record.i32(8), record.i32(12)));
        if (prepare(deviceToImage_))
            painter_.fillRect(QRectF(at, QSizeF(1, 1)), color(record.u32(16)));
        return true;
    }
    default: return false;
    }
}

bool Player::playPoly(std::uint32_t type, const ByteView& record, bool small)
{
    const std::optional<QPolygonF> points = pointsAt(record, 28, record.u32(24), small);
    if (!points || points->isEmpty())
        return false;
    QPainterPath shape;
    switch (type) {
    case record::Polygon:
        shape.addPolygon(*points);
        shape.closeSubpath();
        drawShape(shape, true);
        return true;
    case record::Polyline:
        shape.addPolygon(*points);
        drawShape(shape, false);
        return true;
    case record::PolyBezier:
        shape.moveTo(points->first());
        addBeziers(shape, *points, 1);
        drawShape(shape, false);
        return true;
    case record::PolylineTo:
        shape.moveTo(dc_.position);
        for (const QPointF& point : *points)
            shape.lineTo(point);
        break;
    default:  // PolyBezierTo
        shape.moveTo(dc_.position);
        addBeziers(shape, *points, 0);
        break;
    }
    extendFigure(shape);
    dc_.position = shape.currentPosition();
    return true;
}

bool Player::playPolyPoly(std::uint32_t type, const ByteView& record, bool small)
{
    const std::int64_t polygons = record.u32(24);
    const std::int64_t total = record.u32(28);
    if (!record.has(32, polygons * 4))
        return false;
    const std::optional<QPolygonF> points = pointsAt(record, 32 + polygons * 4, total, small);
    if (!points)
        return false;
    QPainterPath shape;
    std::int64_t used = 0;
    for (std::int64_t i = 0; i < polygons; ++i) {
        const std::int64_t count = record.u32(32 + i * 4);
        if (count > total - used)
            return false;
        shape.addPolygon(points->mid(used, count));
        if (type == record::PolyPolygon)
            shape.closeSubpath();
        used += count;
    }
    drawShape(shape, type == record::PolyPolygon);
    return true;
}

bool Player::playPolyDraw(const ByteView& record, bool small)
{
    const std::int64_t count = record.u32(24);
    const std::optional<QPolygonF> points = pointsAt(record, 28, count, small);
    const std::int64_t typesAt = 28 + count * pointSize(small);
    if (!points || !record.has(typesAt, count))
        return false;
    QPainterPath figure(dc_.position);
    for (std::int64_t i = 0; i < count; ++i) {
        const std::uint8_t pointType = record.u8(typesAt + i);
        if ((pointType & ~CloseFigure) == MoveTo) {
            figure.moveTo(points->at(i));
        } else if ((pointType & ~CloseFigure) == BezierTo && i + 2 < count) {
            figure.cubicTo(points->at(i), points->at(i + 1), points->at(i + 2));
            i += 2;
        } else {
            figure.lineTo(points->at(i));
        }
        if (pointType & CloseFigure)
            figure.closeSubpath();
    }
    extendFigure(figure);
    dc_.position = figure.currentPosition();
    return true;
}

bool Player::playArc(std::uint32_t type, const ByteView& record)
{
    QPainterPath shape;
    QRectF box;
    double start = 0;
    double sweep = 0;
    if (type == record::AngleArc) {
        const QPointF centre(record.i32(8), record.i32(12));
        const double radius = record.u32(16);
        box = QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        start = std::bit_cast<float>(record.u32(20));
        sweep = std::bit_cast<float>(record.u32(24));
        if (!std::isfinite(start) || !std::isfinite(sweep))
            return false;
        sweep = std::clamp(sweep, -360.0, 360.0);
    } else {
        box = cornersAt(record, 8).normalized();
        start = angleOf(box, QPointF(record.i32(24), record.i32(28)));
        const double end = angleOf(box, QPointF(record.i32(32), record.i32(36)));
        // From the start to the end in the context's direction as the device
        // shows it (a mapping whose y runs up turns it), all round when they meet.
        const bool clockwise = dc_.clockwise != (logicalToDevice().determinant() < 0);
        sweep = std::fmod(end - start + 720, 360);
        if (clockwise)
            sweep -= 360;
        else if (sweep == 0)
            sweep = 360;
    }
    const bool continues = type == record::ArcTo || type == record::AngleArc;
    if (type == record::Pie) {
        shape.moveTo(box.center());
        shape.arcTo(box, start, sweep);
    } else {
        if (continues)
            shape.moveTo(dc_.position);
        else
            shape.arcMoveTo(box, start);
        shape.arcTo(box, start, sweep);
    }
    if (continues) {
        extendFigure(shape);
        dc_.position = shape.currentPosition();
        return true;
    }
    if (type != record::Arc)
        shape.closeSubpath();
    drawShape(shape, type != record::Arc);
    return true;
}

void Player::drawShape(const QPainterPath& shape, bool fill)
{
    if (inPath_) {
        path_.addPath(logicalToDevice().map(shape));
        return;
    }
    const QTransform toImage = logicalToImage();
    if (!prepare(toImage) || !applyStyle(toImage, 1, true, fill))
        return;
    QPainterPath filled = shape;
    filled.setFillRule(dc_.winding ? Qt::WindingFill : Qt::OddEvenFill);
    painter_.drawPath(filled);
}

void Player::extendFigure(const QPainterPath& figure)
{
    if (!inPath_) {
        drawShape(figure, false);
        return;
    }
    // A figure that goes on from where the path stands continues its last figure.
    const QPainterPath mapped = logicalToDevice().map(figure);
    if (!path_.isEmpty() && path_.currentPosition() == mapped.elementAt(0))
        path_.connectPath(mapped);
    else
        path_.addPath(mapped);
}

}  // namespace platform::emf
