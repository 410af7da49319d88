#pragma once
// The record walk of enhanced metafiles. A metafile is a header record, then
// records of a type and a byte size each, ending with the end record. The
// structure must be sound or the file is refused: a header that names no
// enhanced metafile or is cut short, a record smaller than its own head, not
// a multiple of four bytes or reaching past the file, or no end record. What a
// record holds is the player's to check (EmfPlayer.h): it passes over a record
// that contradicts itself.

#include "platform/ByteView.h"

#include <QByteArrayView>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>
#include <cstdint>
#include <functional>
#include <optional>

namespace platform::emf {

// The record types the player takes.
namespace record {
inline constexpr std::uint32_t Header = 1, PolyBezier = 2, Polygon = 3, Polyline = 4, PolyBezierTo = 5,
                               PolylineTo = 6, PolyPolyline = 7, PolyPolygon = 8, SetWindowExtEx = 9,
                               SetWindowOrgEx = 10, SetViewportExtEx = 11, SetViewportOrgEx = 12, EndOfFile = 14,
                               SetPixelV = 15, SetMapMode = 17, SetBkMode = 18, SetPolyFillMode = 19, SetRop2 = 20,
                               SetTextAlign = 22, SetTextColor = 24, SetBkColor = 25, OffsetClipRgn = 26,
                               MoveToEx = 27, ExcludeClipRect = 29, IntersectClipRect = 30,
                               ScaleViewportExtEx = 31, ScaleWindowExtEx = 32, SaveDc = 33, RestoreDc = 34,
                               SetWorldTransform = 35, ModifyWorldTransform = 36, SelectObject = 37,
                               CreatePen = 38, CreateBrushIndirect = 39, DeleteObject = 40, AngleArc = 41,
                               Ellipse = 42, Rectangle = 43, RoundRect = 44, Arc = 45, Chord = 46, Pie = 47,
                               SelectPalette = 48, CreatePalette = 49, SetPaletteEntries = 50, LineTo = 54,
                               ArcTo = 55, PolyDraw = 56, SetArcDirection = 57,
                               BeginPath = 59, EndPath = 60, CloseFigure = 61, FillPath = 62,
                               StrokeAndFillPath = 63, StrokePath = 64, FlattenPath = 65, WidenPath = 66,
                               SelectClipPath = 67, AbortPath = 68, FillRgn = 71, FrameRgn = 72, InvertRgn = 73,
                               PaintRgn = 74, ExtSelectClipRgn = 75, BitBlt = 76, StretchBlt = 77, MaskBlt = 78,
                               SetDiBitsToDevice = 80, StretchDiBits = 81, ExtCreateFontIndirectW = 82,
                               ExtTextOutA = 83, ExtTextOutW = 84, PolyBezier16 = 85, Polygon16 = 86,
                               Polyline16 = 87, PolyBezierTo16 = 88, PolylineTo16 = 89, PolyPolyline16 = 90,
                               PolyPolygon16 = 91, PolyDraw16 = 92, CreateMonoBrush = 93,
                               CreateDibPatternBrushPt = 94, ExtCreatePen = 95, PolyTextOutA = 96,
                               PolyTextOutW = 97, AlphaBlend = 114, TransparentBlt = 116, GradientFill = 118;
}  // namespace record

// What the header says about the drawing.
struct Header {
    QRectF bounds;         // the drawn area in device pixels, corners included
    QRectF frameHimetric;  // the picture's frame in hundredths of a millimetre
    QSizeF devicePixels;   // the reference device, in pixels and millimetres
    QSizeF deviceMillimetres;
    std::uint32_t handles = 0;  // the size of the object table the records name
};

struct Metafile {
    QByteArrayView bytes;  // up to and with the end record
    Header header;
};

// True when the bytes start like an enhanced metafile.
bool looksLikeEnhancedMetafile(QByteArrayView bytes);

// The metafile whose structure is sound; nullopt otherwise.
std::optional<Metafile> checkEnhancedMetafile(QByteArrayView bytes);

// The POINTL at `at`: x, then y.
QPointF pointAt(const ByteView& record, std::int64_t at);
// The RECTL at `at` (left, top, right, bottom), its corners as they are.
QRectF cornersAt(const ByteView& record, std::int64_t at);

// Beyond this a transform's value is taken for damaged.
inline constexpr double MaxTransformValue = 1e9;

// The XFORM at `at` (six floats: the matrix by rows, then the offset);
// nullopt when a value is not a finite number or beyond the largest.
std::optional<QTransform> transformAt(const ByteView& record, std::int64_t at);

// Calls `visit` with each record after the header, the end record left out.
// Each view holds the whole record, its type and size included.
void forEachRecord(const Metafile& metafile, const std::function<void(std::uint32_t type, const ByteView&)>& visit);

}  // namespace platform::emf
