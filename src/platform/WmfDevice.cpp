#include "platform/WmfDevice.h"

#include "platform/DibReader.h"
#include "platform/WmfStyle.h"
#include "platform/WmfText.h"


#include <QPainterPath>
#include <cmath>
#include <limits>

namespace platform {

namespace {

WmfDevice& deviceOf(wmfAPI* api) { return *static_cast<WmfDevice*>(api->device_data); }

// The device, its frame placed, for drawing with the device context `dc`.
WmfDevice& deviceOf(wmfAPI* api, const wmfDC* dc)
{
    WmfDevice& device = deviceOf(api);
    if (dc)
        device.placeFrame(*dc);
    return device;
}

QPointF point(const wmfD_Coord& coord) { return {coord.x, coord.y}; }

QRectF rectangle(const wmfD_Coord& topLeft, const wmfD_Coord& bottomRight)
{
    return QRectF(point(topLeft), point(bottomRight)).normalized();
}

QPolygonF polygon(const wmfD_Coord* points, unsigned count)
{
    QPolygonF shape;
    shape.reserve(count);
    for (unsigned i = 0; i < count; ++i)
        shape.append(point(points[i]));
    return shape;
}

// The player's size of one of the metafile's units in device coordinates:
// the scaled mapping modes give it with its sign, the fixed ones take the
// sign of the window's extent.
double signedPixel(const wmfDC& dc, double pixel, std::int32_t windowExtent)
{
    constexpr unsigned Isotropic = 7, Anisotropic = 8;  // MM_ISOTROPIC, MM_ANISOTROPIC
    const bool scaled = dc.map_mode == Isotropic || dc.map_mode == Anisotropic;
    return !scaled && windowExtent < 0 ? -pixel : pixel;
}

Qt::FillRule fillRule(const wmfDC& dc) { return dc.polyfillmode == WINDING ? Qt::WindingFill : Qt::OddEvenFill; }

// Draws a shape with the device context's pen, brush and raster operation.
template <typename Draw>
void paintShape(wmfAPI* api, const wmfDC* dc, Draw draw)
{
    WmfDevice& device = deviceOf(api, dc);
    if (dc && wmfstyle::applyShapeStyle(device.painter(), *dc, device.toImage(), device.patternOf(dc->brush)))
        draw(device.painter());
}

// ---- the device's life --------------------------------------------------------

void deviceBegin(wmfAPI* api) { deviceOf(api).begin(); }
void deviceEnd(wmfAPI* api) { deviceOf(api).end(); }

// ---- lines and shapes ---------------------------------------------------------

void drawPixel(wmfAPI* api, wmfDrawPixel_t* pixel)
{
    const QRectF cell(point(pixel->pt), QSizeF(pixel->pixel_width, pixel->pixel_height));
    deviceOf(api, pixel->dc).painter().fillRect(cell, wmfstyle::color(pixel->color));
}

void drawLine(wmfAPI* api, wmfDrawLine_t* line)
{
    paintShape(api, line->dc, [&](QPainter& painter) { painter.drawLine(point(line->from), point(line->to)); });
}

void polyLine(wmfAPI* api, wmfPolyLine_t* line)
{
    paintShape(api, line->dc, [&](QPainter& painter) { painter.drawPolyline(polygon(line->pt, line->count)); });
}

void drawPolygon(wmfAPI* api, wmfPolyLine_t* shape)
{
    paintShape(api, shape->dc, [&](QPainter& painter) {
        painter.drawPolygon(polygon(shape->pt, shape->count), fillRule(*shape->dc));
    });
}

void drawPolyPolygon(wmfAPI* api, wmfPolyPoly_t* shapes)
{
    QPainterPath path;
    path.setFillRule(fillRule(*shapes->dc));
    for (unsigned i = 0; i < shapes->npoly; ++i) {
        if (shapes->pt[i] && shapes->count[i] > 0) {
            path.addPolygon(polygon(shapes->pt[i], shapes->count[i]));
            path.closeSubpath();
        }
    }
    paintShape(api, shapes->dc, [&](QPainter& painter) { painter.drawPath(path); });
}

void drawRectangle(wmfAPI* api, wmfDrawRectangle_t* box)
{
    paintShape(api, box->dc, [&](QPainter& painter) {
        const QRectF rect = rectangle(box->TL, box->BR);
        if (box->width > 0 && box->height > 0)
            painter.drawRoundedRect(rect, box->width / 2, box->height / 2);
        else
            painter.drawRect(rect);
    });
}

void drawEllipse(wmfAPI* api, wmfDrawArc_t* arc)
{
    paintShape(api, arc->dc, [&](QPainter& painter) { painter.drawEllipse(rectangle(arc->TL, arc->BR)); });
}

enum class ArcKind { Open, Chord, Pie };

// The player gives an arc's ends relative to the ellipse's centre, under each
// other's names (its `end` is the record's start). The arc runs
// counter-clockwise from the start to the end, all round when they meet.
QPainterPath arcPath(const wmfDrawArc_t& arc, ArcKind kind)
{
    const QRectF rect = rectangle(arc.TL, arc.BR);
    const double rx = std::max(rect.width() / 2, std::numeric_limits<double>::min());
    const double ry = std::max(rect.height() / 2, std::numeric_limits<double>::min());
    const auto angle = [&](const wmfD_Coord& end) {
        return std::atan2(-end.y / ry, end.x / rx) * 180 / M_PI;
    };
    const double start = angle(arc.end);
    double sweep = angle(arc.start) - start;
    if (sweep <= 0)
        sweep += 360;
    QPainterPath path;
    if (kind == ArcKind::Pie)
        path.moveTo(rect.center());
    else
        path.arcMoveTo(rect, start);
    path.arcTo(rect, start, sweep);
    if (kind != ArcKind::Open)
        path.closeSubpath();
    return path;
}

void drawArc(wmfAPI* api, wmfDrawArc_t* arc)
{
    paintShape(api, arc->dc, [&](QPainter& painter) {
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(arcPath(*arc, ArcKind::Open));
    });
}

void drawChord(wmfAPI* api, wmfDrawArc_t* arc)
{
    paintShape(api, arc->dc, [&](QPainter& painter) { painter.drawPath(arcPath(*arc, ArcKind::Chord)); });
}

void drawPie(wmfAPI* api, wmfDrawArc_t* arc)
{
    paintShape(api, arc->dc, [&](QPainter& painter) { painter.drawPath(arcPath(*arc, ArcKind::Pie)); });
}

// ---- bitmaps and blocks -------------------------------------------------------

void bitmapRead(wmfAPI* api, wmfBMP_Read_t* read)
{
    read->bmp.data = nullptr;
    if (!read->buffer || read->length <= 0)
        return;
    // Metafile blits take no alpha from their bitmaps.
    const QImage bitmap =
        readPackedBitmap(QByteArrayView(read->buffer, read->length)).convertToFormat(QImage::Format_RGB32);
    constexpr int Largest = std::numeric_limits<std::uint16_t>::max();
    if (bitmap.isNull() || bitmap.width() > Largest || bitmap.height() > Largest)
        return;
    read->bmp.width = static_cast<std::uint16_t>(bitmap.width());
    read->bmp.height = static_cast<std::uint16_t>(bitmap.height());
    read->bmp.data = deviceOf(api).keepBitmap(bitmap);
}

void bitmapFree(wmfAPI* api, wmfBMP* bitmap)
{
    deviceOf(api).dropBitmap(bitmap->data);
    bitmap->data = nullptr;
}

// Fills a block with the mix of a raster operation: a plain colour, the
// inverse of what is drawn, or `source`.
template <typename Source>
void paintBlock(QPainter& painter, const QRectF& target, unsigned long rop, Source source)
{
    const wmfstyle::Mix mix = wmfstyle::ternaryMix(rop);
    painter.save();
    wmfstyle::applyMix(painter, mix);
    if (mix.plainColor)
        painter.fillRect(target, *mix.plainColor);
    else if (wmfstyle::invertsDestination(rop))
        painter.fillRect(target, Qt::white);
    else
        source(target);
    painter.restore();
}

// The player lays a bitmap rightwards and downwards from its corner; where
// the mapping runs an axis the other way, the bitmap goes that way,
// mirrored, as its rectangle does.
void bitmapDraw(wmfAPI* api, wmfBMP_Draw_t* draw)
{
    if (!draw->bmp.data || !draw->dc)
        return;
    const wmfDC& dc = *draw->dc;
    const bool mirrorAcross = signedPixel(dc, dc.pixel_width, dc.Window.width) < 0;
    const bool mirrorDown = signedPixel(dc, dc.pixel_height, dc.Window.height) < 0;
    const QImage& bitmap = *static_cast<const QImage*>(draw->bmp.data);
    const QRect source(draw->crop.x, draw->crop.y, draw->crop.w, draw->crop.h);
    const QSizeF size(draw->crop.w * draw->pixel_width * (mirrorAcross ? -1 : 1),
                      draw->crop.h * draw->pixel_height * (mirrorDown ? -1 : 1));
    const QRectF target = QRectF(point(draw->pt), size).normalized();
    QPainter& painter = deviceOf(api, draw->dc).painter();
    paintBlock(painter, target, draw->type, [&](const QRectF& block) {
        // A mask and the image that it lets through must meet pixel for
        // pixel, or their edges leave a fringe: only copies are smoothed.
        const bool copy = painter.compositionMode() == QPainter::CompositionMode_SourceOver;
        painter.setRenderHint(QPainter::SmoothPixmapTransform, copy);
        if (mirrorAcross || mirrorDown)
            painter.drawImage(block, bitmap.copy(source).mirrored(mirrorAcross, mirrorDown));
        else
            painter.drawImage(block, bitmap, source);
    });
}

void ropDraw(wmfAPI* api, wmfROP_Draw_t* block)
{
    WmfDevice& device = deviceOf(api, block->dc);
    const wmfBrush* brush = block->dc ? block->dc->brush : nullptr;
    const QBrush pattern = brush ? wmfstyle::brush(*brush, device.toImage(), device.patternOf(brush)) : QBrush(Qt::black);
    paintBlock(device.painter(), rectangle(block->TL, block->BR), block->ROP,
               [&](const QRectF& target) { device.painter().fillRect(target, pattern); });
}

// ---- regions --------------------------------------------------------------------

QPainterPath regionPath(const wmfPolyRectangle_t& region)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (unsigned i = 0; i < region.count; ++i)
        path.addRect(rectangle(region.TL[i], region.BR[i]));
    return path;
}

void regionClip(wmfAPI* api, wmfPolyRectangle_t* region)
{
    QPainter& painter = deviceOf(api, region->dc).painter();
    if (region->count == 0)
        painter.setClipping(false);
    else
        painter.setClipPath(regionPath(*region));
}

void regionPaint(wmfAPI* api, wmfPolyRectangle_t* region)
{
    paintShape(api, region->dc, [&](QPainter& painter) { painter.fillPath(regionPath(*region), painter.brush()); });
}

// A frame of the brush, `width` by `height` thick, inside each rectangle's edge.
void regionFrame(wmfAPI* api, wmfPolyRectangle_t* region)
{
    paintShape(api, region->dc, [&](QPainter& painter) {
        QPainterPath frame = regionPath(*region);
        for (unsigned i = 0; i < region->count; ++i) {
            const QRectF outer = rectangle(region->TL[i], region->BR[i]);
            frame.addRect(outer.adjusted(region->width, region->height, -region->width, -region->height));
        }
        frame.setFillRule(Qt::OddEvenFill);
        painter.fillPath(frame, painter.brush());
    });
}

// ---- text -----------------------------------------------------------------------

void drawText(wmfAPI* api, wmfDrawText_t* text)
{
    WmfDevice& device = deviceOf(api, text->dc);
    if (text->dc)
        wmftext::drawText(device.painter(), device.toImage(), *text);
}

void mapFont(wmfAPI*, wmfFont*) {}  // faces are chosen as text is drawn

}  // namespace

namespace {

// Stretches `area` over an image of `size`.
QTransform stretched(const QRectF& area, QSize size)
{
    const double width = std::max<double>(area.width(), std::numeric_limits<float>::min());
    const double height = std::max<double>(area.height(), std::numeric_limits<float>::min());
    return QTransform::fromTranslate(-area.left(), -area.top())
           * QTransform::fromScale(size.width() / width, size.height() / height);
}

}  // namespace

WmfDevice::WmfDevice(QSize size, const wmfD_Rect& drawn, std::optional<QRectF> frame)
    : image_(size, QImage::Format_RGB32),
      drawn_(point(drawn.TL), point(drawn.BR)),
      toImage_(stretched(drawn_, size)),
      frame_(frame)
{
    image_.fill(Qt::white);
}

// The player maps a point of the metafile's units to its device coordinates
// by the window's origin and its pixel size (the viewport's origin stays 0).
void WmfDevice::placeFrame(const wmfDC& dc)
{
    if (!frame_)
        return;
    const double across = signedPixel(dc, dc.pixel_width, dc.Window.width);
    const double down = signedPixel(dc, dc.pixel_height, dc.Window.height);
    const auto toDevice = [&](QPointF unit) {
        return QPointF((unit.x() - dc.Window.Ox) * across, (unit.y() - dc.Window.Oy) * down);
    };
    const QRectF placed = QRectF(toDevice(frame_->topLeft()), toDevice(frame_->bottomRight())).normalized();
    frame_.reset();
    // What lies outside the frame falls outside the image. A frame that
    // misses the drawing altogether is taken for a damaged header.
    const QRectF shown = placed.intersected(drawn_);
    if (shown.isEmpty())
        return;
    toImage_ = stretched(shown, image_.size());
    if (painter_.isActive())
        painter_.setTransform(toImage_);
}

void WmfDevice::fillFunctionTable(wmfAPI* api)
{
    auto& table = *static_cast<wmfFunctionReference*>(api->function_reference);
    table.device_begin = deviceBegin;
    table.device_end = deviceEnd;
    table.draw_pixel = drawPixel;
    table.draw_pie = drawPie;
    table.draw_chord = drawChord;
    table.draw_arc = drawArc;
    table.draw_ellipse = drawEllipse;
    table.draw_line = drawLine;
    table.poly_line = polyLine;
    table.draw_polygon = drawPolygon;
    table.draw_polypolygon = drawPolyPolygon;
    table.draw_rectangle = drawRectangle;
    table.rop_draw = ropDraw;
    table.bmp_draw = bitmapDraw;
    table.bmp_read = bitmapRead;
    table.bmp_free = bitmapFree;
    table.draw_text = drawText;
    table.region_frame = regionFrame;
    table.region_paint = regionPaint;
    table.region_clip = regionClip;
}

void WmfDevice::attach(wmfAPI* api)
{
    api->device_data = this;
    fontData_.map = mapFont;
    fontData_.stringwidth = wmftext::stringWidth;
    api->font_data = &fontData_;
}

void WmfDevice::begin()
{
    if (painter_.isActive())
        return;
    image_.fill(Qt::white);
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setTransform(toImage_);
}

void WmfDevice::end()
{
    if (painter_.isActive())
        painter_.end();
}

QImage* WmfDevice::keepBitmap(QImage bitmap) { return &bitmaps_.emplace_back(std::move(bitmap)); }

void WmfDevice::dropBitmap(const void* bitmap)
{
    bitmaps_.remove_if([&](const QImage& kept) { return &kept == bitmap; });
}

const QImage* WmfDevice::patternOf(const wmfBrush* brush) const
{
    if (!brush)
        return nullptr;
    const auto kept = std::find_if(bitmaps_.begin(), bitmaps_.end(),
                                   [&](const QImage& bitmap) { return &bitmap == brush->bmp.data; });
    return kept == bitmaps_.end() ? nullptr : &*kept;
}

}  // namespace platform
