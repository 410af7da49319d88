#pragma once
// The device context of the enhanced metafile player (EmfPlayer.h) and the
// objects its records make: what a record sets lasts until another record
// sets it again or a restore brings back a saved context.

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QTransform>
#include <QVector>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace platform::emf {

// A colour as records give it: 0x00BBGGRR, or a palette index under 0x01000000.
using ColorRef = std::uint32_t;
inline constexpr ColorRef PaletteIndexFlag = 0x01000000;

struct Pen {
    unsigned style = 0;      // the style with its cap and join bits
    double width = 0;        // in logical units; 0 draws one pixel wide
    bool cosmetic = true;
    ColorRef color = 0;
};

struct Brush {
    unsigned style = 0;  // solid, null, hatched or pattern
    ColorRef color = 0xFFFFFF;
    unsigned hatch = 0;
    QImage pattern;      // for a pattern brush
};

struct Font {
    QString face;
    double height = 0;   // logical units: negative the character's, positive the cell's
    double width = 0;    // the average character width; 0 for the face's own
    double escapement = 0;  // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charset = 0;
    std::uint8_t pitchAndFamily = 0;
};

// Shared between the contexts and objects that hold it until one changes it.
using Palette = QList<QRgb>;

using Object = std::variant<std::monostate, Pen, Brush, Font, Palette>;

// The values the drawing calls read and the state records set.
struct DeviceContext {
    int mapMode = 1;  // MM_TEXT
    QPointF windowOrigin;
    QPointF viewportOrigin;
    QSizeF windowExtent{1, 1};
    QSizeF viewportExtent{1, 1};
    QTransform world;

    Pen pen;
    Brush brush;
    Font font;
    Palette palette;

    ColorRef textColor = 0;
    ColorRef backColor = 0xFFFFFF;
    bool opaqueBackground = true;
    unsigned textAlign = 0;
    bool winding = false;   // the polygon fill mode
    int rop2 = 13;          // R2_COPYPEN
    bool clockwise = false; // the arc direction
    QPointF position;       // the current position, in logical units
    // In device units; none while nothing is clipped.
    std::optional<QPainterPath> clip;

    // Page space to device space, from the mapping mode, extents and origins.
    QTransform pageToDevice() const;
    // Sets the mapping mode; the fixed modes set their own extents.
    void setMapMode(int mode, QSizeF devicePixelsPerMillimetre);
    // The extents follow only the modes that let them be set.
    bool extentsSettable() const;
};

// The colour a record's colour names, a palette index looked up in `palette`.
QColor colorOf(ColorRef color, const Palette& palette);

// The stock objects (index with the high bit set), nullopt for an unknown one.
std::optional<Object> stockObject(std::uint32_t index);

}  // namespace platform::emf
