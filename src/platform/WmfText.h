#pragma once
// Metafile text for the drawing device (WmfDevice.h): the face a record names
// mapped to a face the program installs (Arial and Helvetica to a sans face,
// Times to a serif face, Courier to a mono face, Symbol to a symbol face),
// the string's width the player needs to align it, and the text drawn as
// outlines at its height, weight, slant, width, angle and decorations.

#include "platform/ByteView.h"
#include "platform/LibWmf.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace platform::wmftext {

// The installed family a metafile font is drawn with, from the face the
// record names and its pitch and family byte.
QString familyFor(const QString& faceName, std::uint8_t pitchAndFamily);
QString familyFor(const wmfFont& font);
// True when text in the font is symbols (the symbol character set or face).
bool isSymbolFace(const QString& family, std::uint8_t charset);
// Bytes of text as characters: Windows-1252, or for symbols the bytes as they are.
QString textFromBytes(QByteArrayView bytes, bool symbol);
// The record's bytes as text (Windows-1252; the symbol face takes them as they are).
QString textFor(const wmfFont& font, QByteArrayView bytes);

// Text is laid out in pixels of this size, then scaled to the record's height.
inline constexpr double LayoutEm = 64;
// The font text is laid out in: the family at the layout size, of the weight
// (none: normal) and slant a record gives.
QFont layoutFont(const QString& family, int weight, bool italic);
// Paints laid-out letters and their underline and strike-out lines, `advance`
// long, with the baseline on y = 0 from x = 0. The lines are painted apart
// from the letters, whose outlines would cut holes where they cross.
void paintLetters(QPainter& painter, const QPainterPath& letters, const QFontMetricsF& metrics, double advance,
                  bool underline, bool strikeOut, const QColor& colour);

// The player's measure (wmfFontData::stringwidth): the width of `text` in
// the font, per unit of the font's height and width ratio.
float stringWidth(wmfAPI* api, wmfFont* font, char* text);

// How far `bytes` written in the font that a font record's parameters
// (CREATEFONTINDIRECT's) make reach along the baseline, in the metafile's
// units, as drawText draws them; the units are taken to be as wide as high.
double advanceInUnits(const ByteView& fontRecord, QByteArrayView bytes);

// Draws one text record (or one character of a spaced one) in the device
// coordinates `toImage` maps onto the image.
void drawText(QPainter& painter, const QTransform& toImage, const wmfDrawText_t& text);

}  // namespace platform::wmftext
