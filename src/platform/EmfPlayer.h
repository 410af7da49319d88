#pragma once
// Our enhanced metafile player: walks the records (EmfRecords.h) and paints
// them with QPainter, anti-aliased, into an image over which the header's
// frame is stretched. The device context (EmfState.h) follows the state
// records, with save and restore; the drawing records paint with its pen,
// brush, font, colours, mapping and world transform, inside its clip.
//
// A record that contradicts itself (counts or offsets past its own end, an
// object slot outside the table) is passed over and the rest drawn. Nothing a
// record says can make the player read outside the record, allocate without
// bound or loop: counts are checked against the record's size, the object
// table and the saved contexts are capped, bitmaps are capped by the reader.
// Records of the extended format inside comments are passed over; the
// records beside them draw.
//
// The player's work lies in one file a family: EmfPlayer.cpp (the walk,
// state and objects), EmfShapes.cpp (lines, curves and shapes),
// EmfPaths.cpp (paths and clipping), EmfText.cpp (text) and EmfBitmaps.cpp
// (bitmaps and raster operations); the objects themselves are read and made
// into QPainter's pens and brushes in EmfStyle.h.

#include "platform/ByteView.h"
#include "platform/EmfRecords.h"
#include "platform/EmfState.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <vector>

namespace platform::emf {

struct TextRun;

class Player {
public:
    // Paints on `image`, which the header's frame (or its bounds) fills.
    Player(const Header& header, QImage& image);
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    void play(const Metafile& metafile);

private:
    // Each family's play... answers whether the record's type is one of its
    // own (whether or not the record was sound enough to play); the helpers
    // that read one record answer false for a damaged one.

    // ---- EmfPlayer.cpp: the walk, the device context and the objects ----
    void playRecord(std::uint32_t type, const ByteView& record);
    bool playState(std::uint32_t type, const ByteView& record);
    bool playObject(std::uint32_t type, const ByteView& record);
    void restore(std::int32_t which);
    void modifyWorld(const QTransform& transform, std::uint32_t mode);
    void keepObject(std::uint32_t index, Object object);
    void selectObject(std::uint32_t index);

    // The transforms from logical units (or device units) to the image.
    QTransform logicalToDevice() const { return dc_.world * dc_.pageToDevice(); }
    QTransform logicalToImage() const { return logicalToDevice() * deviceToImage_; }
    QColor color(ColorRef ref) const { return colorOf(ref, dc_.palette); }
    // Sets the painter's transform and the context's clip; false when the
    // transform cannot draw (a damaged one).
    bool prepare(const QTransform& toImage);
    // Sets the pen, brush and mix for a shape drawn under `toImage`, whose
    // painter units are `unitsPerLogical` of the pen's logical width; false
    // when the raster operation leaves the image as it is.
    bool applyStyle(const QTransform& toImage, double unitsPerLogical, bool stroke, bool fill);

    // ---- EmfShapes.cpp: lines, curves and shapes ----
    bool playShape(std::uint32_t type, const ByteView& record);
    bool playPoly(std::uint32_t type, const ByteView& record, bool small);
    bool playPolyPoly(std::uint32_t type, const ByteView& record, bool small);
    bool playPolyDraw(const ByteView& record, bool small);
    bool playArc(std::uint32_t type, const ByteView& record);
    // Draws a shape given in logical units (inside a path bracket, adds it to the path).
    void drawShape(const QPainterPath& shape, bool fill);
    // Adds a line or curve from the current position (or draws it).
    void extendFigure(const QPainterPath& figure);

    // ---- EmfPaths.cpp: paths and clipping ----
    bool playPath(std::uint32_t type, const ByteView& record);
    bool playClip(std::uint32_t type, const ByteView& record);
    bool playRegion(std::uint32_t type, const ByteView& record);
    void drawDevicePath(const QPainterPath& path, bool stroke, bool fill);
    void combineClip(const QPainterPath& devicePath, std::uint32_t mode);

    // ---- EmfText.cpp: text ----
    bool playText(std::uint32_t type, const ByteView& record);
    // The text of an EMRTEXT at `at`, in 16-bit (wide) or 8-bit characters.
    bool drawTextRecord(const ByteView& record, std::int64_t at, bool wide);
    // Paints the run's letters (inside a path bracket, adds their outlines to
    // the path); answers their advance in logical units.
    double paintLetters(const ByteView& record, const TextRun& run, bool wide, const QTransform& toImage);

    // ---- EmfBitmaps.cpp: bitmaps and raster operations ----
    bool playBitmap(std::uint32_t type, const ByteView& record);
    bool playDibitsToDevice(const ByteView& record);
    void blit(const QRectF& target, const QImage& source, const QRectF& sourceRect, std::uint32_t rop);
    void fillWithBrush(const QRectF& target, std::uint32_t rop);
    bool playGradient(const ByteView& record);

    QImage& image_;
    QPainter painter_;
    QTransform deviceToImage_;
    QSizeF pixelsPerMillimetre_;
    DeviceContext dc_;
    std::vector<DeviceContext> saved_;
    std::vector<Object> objects_;
    bool inPath_ = false;
    QPainterPath path_;  // the path bracket's figures, in device units
};

}  // namespace platform::emf
