#include "platform/WmfText.h"

#include "platform/WmfStyle.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <array>
#include <cmath>

namespace platform::wmftext {

namespace {

constexpr std::uint8_t SymbolCharset = 2;
constexpr std::uint8_t FixedPitch = 1;
constexpr std::uint8_t FamilyRoman = 0x10, FamilyModern = 0x30;
constexpr std::uint16_t ClippedToRectangle = 0x0004;  // ETO_CLIPPED
constexpr std::uint16_t OpaqueRectangle = 0x0002;     // ETO_OPAQUE

const QString Sans = QStringLiteral("Nimbus Sans");
const QString Serif = QStringLiteral("Nimbus Roman");
const QString Mono = QStringLiteral("Nimbus Mono PS");
const QString Symbol = QStringLiteral("Standard Symbols PS");

bool isSymbolFont(const wmfFont& font)
{
    return isSymbolFace(familyFor(font), font.lfCharSet);
}

QFont layoutFont(const wmfFont& font)
{
    return wmftext::layoutFont(familyFor(font), font.lfWeight, font.lfItalic != 0);
}

// The player's width to height ratio of the font: 1 when the record gives no width.
double playerRatio(const wmfFont& font)
{
    return font.lfHeight == 0 ? 1.0 : double(font.lfWidth) / font.lfHeight;
}

// How much wider than its own shape the record asks the font to be: a given
// width is the average character width.
double widthStretch(const wmfFont& font, const QFontMetricsF& metrics)
{
    if (font.lfWidth == font.lfHeight || metrics.averageCharWidth() <= 0)
        return 1.0;
    return playerRatio(font) / (metrics.averageCharWidth() / metrics.height());
}

// Windows-1252 in 0x80..0x9F, where it differs from Latin-1 (0 for unused codes).
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The symbol face maps the bytes themselves (a is alpha), so they pass as they are.
QChar decodeByte(std::uint8_t byte, bool symbol)
{
    if (!symbol && byte >= 0x80 && byte < 0xA0 && Windows1252High[byte - 0x80] != 0)
        return QChar(Windows1252High[byte - 0x80]);
    return QChar(byte);
}

// Where the text starts, at the layout size, from the point the player gives.
// The player puts the baseline a whole cell below a top-aligned point and a
// third of a cell above a bottom-aligned one; the face's own ascent and
// descent place it where it belongs. The player takes right alignment for
// centring (their flags share a bit) and moves the text only half its width.
QPointF alignmentShift(unsigned textAlign, const QFontMetricsF& metrics, double advance)
{
    const double across = (textAlign & TA_CENTER) == TA_RIGHT ? -advance / 2 : 0;
    if ((textAlign & TA_BASELINE) == TA_BASELINE)
        return {across, 0};
    if (textAlign & TA_BOTTOM)
        return {across, metrics.height() / 3 - metrics.descent()};
    return {across, metrics.ascent() - metrics.height()};
}

QRectF rectangle(const wmfD_Coord& topLeft, const wmfD_Coord& bottomRight)
{
    return QRectF(QPointF(topLeft.x, topLeft.y), QPointF(bottomRight.x, bottomRight.y)).normalized();
}

}  // namespace

QFont layoutFont(const QString& family, int weight, bool italic)
{
    QFont qfont(family);
    qfont.setPixelSize(static_cast<int>(LayoutEm));
    qfont.setHintingPreference(QFont::PreferNoHinting);
    qfont.setWeight(QFont::Weight(weight <= 0 ? 400 : std::clamp(weight, 100, 900)));
    qfont.setItalic(italic);
    return qfont;
}

void paintLetters(QPainter& painter, const QPainterPath& letters, const QFontMetricsF& metrics, double advance,
                  bool underline, bool strikeOut, const QColor& colour)
{
    painter.fillPath(letters, colour);
    const double thickness = std::max(metrics.lineWidth(), 1.0);
    if (underline)
        painter.fillRect(QRectF(0, metrics.underlinePos(), advance, thickness), colour);
    if (strikeOut)
        painter.fillRect(QRectF(0, -metrics.strikeOutPos(), advance, thickness), colour);
}

QString familyFor(const QString& faceName, std::uint8_t pitchAndFamily)
{
    const QString name = faceName.toLower();
    const auto named = [&](std::initializer_list<const char*> words) {
        return std::any_of(words.begin(), words.end(), [&](const char* word) { return name.contains(word); });
    };
    if (named({"symbol"}))
        return Symbol;
    if (named({"courier", "mono", "consol", "fixed", "terminal"}))
        return Mono;
    if (named({"arial", "helvetica", "swiss", "sans", "verdana", "tahoma", "univers", "geneva"}))
        return Sans;
    if (named({"times", "roman", "serif", "georgia", "garamond", "book", "century", "palatino"}))
        return Serif;
    if ((pitchAndFamily & 0x03) == FixedPitch || (pitchAndFamily & 0xF0) == FamilyModern)
        return Mono;
    return (pitchAndFamily & 0xF0) == FamilyRoman ? Serif : Sans;
}

QString familyFor(const wmfFont& font)
{
    return familyFor(QString::fromLatin1(font.lfFaceName ? font.lfFaceName : ""), font.lfPitchAndFamily);
}

bool isSymbolFace(const QString& family, std::uint8_t charset) { return charset == SymbolCharset || family == Symbol; }

QString textFromBytes(QByteArrayView bytes, bool symbol)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text.append(decodeByte(static_cast<std::uint8_t>(byte), symbol));
    return text;
}

QString textFor(const wmfFont& font, QByteArrayView bytes) { return textFromBytes(bytes, isSymbolFont(font)); }

float stringWidth(wmfAPI*, wmfFont* font, char* text)
{
    if (!font || !text)
        return 0;
    const QFont qfont = layoutFont(*font);
    const QFontMetricsF metrics(qfont);
    const double advance = metrics.horizontalAdvance(textFor(*font, text)) / metrics.height();
    return static_cast<float>(advance * widthStretch(*font, metrics) / playerRatio(*font));
}

double advanceInUnits(const ByteView& fontRecord, QByteArrayView bytes)
{
    constexpr std::int64_t FaceAt = 18;
    QByteArray face = fontRecord.mid(FaceAt, fontRecord.size() - FaceAt).toByteArray();
    face.truncate(face.indexOf('\0') < 0 ? face.size() : face.indexOf('\0'));
    // The player's reading of the record: heights and widths without their signs, no width the height.
    wmfFont font{};
    font.lfHeight = static_cast<std::uint16_t>(std::abs(fontRecord.i16(0)));
    font.lfWidth = fontRecord.i16(2) == 0 ? font.lfHeight : static_cast<std::uint16_t>(std::abs(fontRecord.i16(2)));
    font.lfWeight = fontRecord.u16(8);
    font.lfItalic = fontRecord.u8(10);
    font.lfCharSet = fontRecord.u8(13);
    font.lfPitchAndFamily = fontRecord.u8(17);
    font.lfFaceName = face.data();
    const QFontMetricsF metrics(layoutFont(font));
    const double advance = metrics.horizontalAdvance(textFor(font, bytes));
    const bool givenWidth = font.lfWidth != font.lfHeight && metrics.averageCharWidth() > 0;
    return givenWidth ? advance * font.lfWidth / metrics.averageCharWidth() : advance * font.lfHeight / metrics.height();
}

void drawText(QPainter& painter, const QTransform& toImage, const wmfDrawText_t& text)
{
    const wmfDC& dc = *text.dc;
    if (!dc.font || !text.str || text.font_height <= 0)
        return;
    const wmfFont& font = *dc.font;
    const QFont qfont = layoutFont(font);
    const QFontMetricsF metrics(qfont);
    const QString string = textFor(font, text.str);

    painter.save();
    wmfstyle::applyMix(painter, wmfstyle::Mix{});
    if (text.flags & OpaqueRectangle)
        painter.fillRect(rectangle(text.TL, text.BR), wmfstyle::color(dc.bgcolor));
    if (text.flags & ClippedToRectangle)
        painter.setClipRect(rectangle(text.TL, text.BR), Qt::IntersectClip);

    // The height is the character cell's. Characters keep their own shape
    // in the image however unevenly the drawing is stretched, unless the
    // record gives their width; they stand upright whatever way the
    // drawing's axes run.
    const double scaleY = text.font_height * std::abs(toImage.m22()) / metrics.height();
    const bool givenWidth = font.lfWidth != font.lfHeight && metrics.averageCharWidth() > 0;
    const double scaleX = givenWidth ? font.lfWidth * std::abs(dc.pixel_width * toImage.m11()) / metrics.averageCharWidth()
                                     : scaleY;
    const QPointF origin = toImage.map(QPointF(text.pt.x, text.pt.y));
    QTransform placed;
    placed.translate(origin.x(), origin.y());
    placed.rotate(-font.lfEscapement / 10.0);
    placed.scale(scaleX, scaleY);
    const double advance = metrics.horizontalAdvance(string);
    const QPointF shift = alignmentShift(dc.textalign, metrics, advance);
    placed.translate(shift.x(), shift.y());
    painter.setTransform(placed);
    if (dc.bgmode == OPAQUE)
        painter.fillRect(QRectF(0, -metrics.ascent(), advance, metrics.height()), wmfstyle::color(dc.bgcolor));
    QPainterPath letters;
    letters.addText(QPointF(0, 0), qfont, string);
    paintLetters(painter, letters, metrics, advance, font.lfUnderline, font.lfStrikeOut,
                 wmfstyle::color(dc.textcolor));
    painter.restore();
}

}  // namespace platform::wmftext
