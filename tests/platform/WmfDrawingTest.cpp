// Windows metafiles as the program draws them: the clip-art samples against
// the drawings an independent renderer made of them (tests/data/wmf/reference,
// 96 pixels a side), drawings built record by record, and damaged files
// (a damaged record is passed over, a broken structure refused).

#include "MetafileBytes.h"
#include "runtime/ErrorNumber.h"
#include "platform/DibReader.h"
#include "platform/PictureLoader.h"
#include "platform/WmfRecords.h"
#include "platform/WmfRenderer.h"
#include "support/TestEnvironment.h"

#include <QBuffer>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

using platform::LoadPicture;
using platform::Picture;
using runtime::err::InvalidPicture;
namespace rec = wmfrecord;

namespace {

QString dataPath(const QString& relative) { return QStringLiteral(BRISCA_TEST_DATA_DIR "/") + relative; }

QByteArray readData(const QString& relative)
{
    QFile file(dataPath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The metafile drawn straight at `size`, its drawn area filling the image.
QImage drawn(const QByteArray& bytes, QSize size = QSize(64, 64))
{
    const auto checked = platform::checkWindowsMetafile(bytes);
    if (!checked)
        return {};
    const auto rendered = platform::renderWindowsMetafile(*checked, [&](QSize) { return size; });
    return rendered ? rendered->image : QImage();
}

QImage sampleDrawing(const QString& name, QSize size)
{
    const auto checked = platform::checkWindowsMetafile(readData("wmf/" + name + ".wmf"));
    if (!checked)
        return {};
    const auto rendered = platform::renderWindowsMetafile(
        *checked, [&](QSize own) { return own.scaled(size, Qt::KeepAspectRatio); });
    return rendered ? rendered->image : QImage();
}

QColor centre(const QImage& image) { return image.pixelColor(image.width() / 2, image.height() / 2); }

// ---- the clip art draws what the reference shows ------------------------------

// Each drawing and its reference are boiled down to a grid of mean colours:
// anti-aliasing, font faces and a pixel here or there vanish in the means; a
// missing wheel, a missing fill or a wrong colour does not.
constexpr int GridCells = 12;
constexpr int CellTolerance = 64;  // per colour channel, of 255

struct ReferenceCase {
    const char* name;
    // Where the reference renderer is known to be wrong, in fractions of the
    // picture: it leaves out the van's grille (eight two-point lines).
    QRectF knownWrong;
};

void PrintTo(const ReferenceCase& c, std::ostream* out) { *out << c.name; }

class ReferenceTest : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceTest, DrawsWhatTheReferenceShows)
{
    const QImage reference(dataPath(QString("wmf/reference/%1.png").arg(GetParam().name)));
    ASSERT_FALSE(reference.isNull());
    const QImage ours = sampleDrawing(GetParam().name, QSize(600, 600));
    ASSERT_FALSE(ours.isNull());
    const auto grid = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_RGB32)
            .scaled(GridCells, GridCells, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    const QImage theirs = grid(reference);
    const QImage mine = grid(ours);
    for (int y = 0; y < GridCells; ++y) {
        for (int x = 0; x < GridCells; ++x) {
            const QPointF cellCentre((x + 0.5) / GridCells, (y + 0.5) / GridCells);
            if (GetParam().knownWrong.contains(cellCentre))
                continue;
            const QColor a = theirs.pixelColor(x, y), b = mine.pixelColor(x, y);
            const int difference = std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                             std::abs(a.blue() - b.blue())});
            EXPECT_LE(difference, CellTolerance) << "cell " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ClipArt, ReferenceTest,
                         ::testing::Values(ReferenceCase{"im-clock", {}}, ReferenceCase{"im-wizard", {}},
                                           ReferenceCase{"libwmf-2doorvan", QRectF(0, 0.4, 0.2, 0.25)},
                                           ReferenceCase{"libwmf-fjftest", {}}, ReferenceCase{"lo-beef", {}},
                                           ReferenceCase{"lo-burger", {}}));

// The reference renderer draws palette entries black: lo-TestPalette.wmf
// fills its first square with entry 1 (yellow) and outlines it with entry 0 (red).
TEST(WmfDrawing, PaletteSampleTakesItsPaletteColours)
{
    const QImage drawing = sampleDrawing("lo-TestPalette", QSize(600, 600));
    ASSERT_FALSE(drawing.isNull());
    EXPECT_EQ(drawing.pixelColor(150, 150), QColor(Qt::yellow));
    EXPECT_EQ(drawing.pixelColor(5, 150), QColor(Qt::red));
}

// A thumbnail's edges are blended into what lies behind them: the flat
// colours of the clip art come out with hundreds of shades between them.
TEST(WmfDrawing, ThumbnailsAreAntiAliased)
{
    for (const char* name : {"libwmf-2doorvan", "lo-beef", "im-clock"}) {
        const QImage thumbnail = sampleDrawing(name, QSize(112, 170));
        QSet<QRgb> shades;
        for (int y = 0; y < thumbnail.height(); ++y)
            for (int x = 0; x < thumbnail.width(); ++x)
                shades.insert(thumbnail.pixel(x, y));
        EXPECT_GT(shades.size(), 200) << name;
    }
}

// libwmf-text.wmf writes "I am a string" on 17 lines, one font each (the
// reference renderer measures no text, so its frame differs from ours): each
// line's band of the drawing's left half holds dark text.
TEST(WmfDrawing, EveryLineOfTextIsDrawn)
{
    const QImage text = sampleDrawing("libwmf-text", QSize(600, 600));
    ASSERT_FALSE(text.isNull());
    constexpr int Lines = 17;
    for (int line = 0; line < Lines; ++line) {
        int dark = 0;
        for (int y = line * text.height() / Lines; y < (line + 1) * text.height() / Lines; ++y)
            for (int x = 0; x < text.width() / 2; ++x)
                dark += qGray(text.pixel(x, y)) < 100;
        EXPECT_GT(dark, 40) << "line " << line;
    }
}

// ---- drawings built record by record -------------------------------------------

constexpr quint32 Red = 0x0000FF, Blue = 0xFF0000;

struct BuiltCase {
    const char* name;
    std::vector<MetafileRecord> records;
    QColor centre;  // of the image the drawn area fills
};

void PrintTo(const BuiltCase& c, std::ostream* out) { *out << c.name; }

QByteArray pngOrJpeg(const char* format)
{
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, format, 100);
    return bytes;
}

constexpr quint32 SourceCopy = 0x00CC0020, SourceInvert = 0x00660046;

// STRETCHDIB of a red 4 by 4 bitmap whose bits are a PNG or JPEG file, onto the 10 by 10 square.
MetafileRecord stretchDibOf(const char* format, quint32 rop = SourceCopy)
{
    const QByteArray file = pngOrJpeg(format);
    QByteArray header = words({40, 0, 4, 0, 4, 0, 1, 0, QByteArrayView(format) == "png" ? 5 : 4, 0});
    header += words({int(file.size() & 0xFFFF), int(file.size() >> 16), 0, 0, 0, 0, 0, 0, 0, 0});
    return {0x0F43, words({int(rop & 0xFFFF), int(rop >> 16), 0, 4, 4, 0, 0, 10, 10, 0, 0}) + header + file};
}

std::vector<BuiltCase> builtDrawings()
{
    const std::vector<MetafileRecord> redBrush = {rec::brush(0, Red), rec::select(0)};
    const auto with = [](std::vector<MetafileRecord> records, std::initializer_list<MetafileRecord> more) {
        records.insert(records.end(), more);
        return records;
    };
    // Two squares, one inside the other, run the same way round.
    const MetafileRecord nested = {0x0538, words({2, 4, 4, 0, 0, 10, 0, 10, 10, 0, 10, 3, 3, 7, 3, 7, 7, 3, 7})};
    return {
        {"a solid brush fills", with(redBrush, {rec::rectangle()}), Qt::red},
        {"a null brush leaves the inside", {rec::brush(1, Red), rec::select(0), rec::rectangle()}, Qt::white},
        // The player leaves such a brush's bitmap unset: it once made the device read through garbage.
        {"a pattern brush made without a bitmap paints its colour", {rec::brush(5, Red), rec::select(0), rec::rectangle()}, Qt::red},
        {"the no-operation mix leaves the image", with(redBrush, {rec::setRop2(11), rec::rectangle()}), Qt::white},
        {"the black mix draws black", with(redBrush, {rec::setRop2(1), rec::rectangle()}), Qt::black},
        {"the inverting mix inverts", with(redBrush, {rec::setRop2(6), rec::rectangle()}), Qt::black},
        {"the masking mix keeps what both hold",
         with(redBrush, {rec::rectangle(), rec::brush(0, 0x00FF00FF), rec::select(1), rec::setRop2(9), rec::rectangle()}),
         Qt::red},
        {"a pattern block fills with the brush", {rec::brush(0, Blue), rec::select(0), rec::patBlt(0x00F00021)}, Qt::blue},
        {"a destination-inverting block inverts", with(redBrush, {rec::rectangle(), rec::patBlt(0x00550009)}), Qt::cyan},
        {"the alternate fill leaves a nested square empty", with(redBrush, {nested}), Qt::white},
        {"the winding fill fills a nested square", with(redBrush, {{0x0106, words({2})}, nested}), Qt::red},
        {"a bitmap of PNG bits", {stretchDibOf("png")}, Qt::red},
        {"a bitmap of JPEG bits", {stretchDibOf("jpeg")}, Qt::red},
        {"a bitmap inverting the same colours leaves black",
         with(redBrush, {rec::rectangle(), stretchDibOf("png", SourceInvert)}), Qt::black},
        {"a clip keeps the shape out of what it leaves out",
         with(redBrush, {{0x0416, words({10, 4, 0, 0})}, rec::rectangle()}), Qt::white},
    };
}

class BuiltDrawingTest : public ::testing::TestWithParam<BuiltCase> {};

TEST_P(BuiltDrawingTest, DrawsWhatItsRecordsSay)
{
    const QImage image = drawn(windowsMetafile(GetParam().records));
    ASSERT_FALSE(image.isNull());
    const QColor got = centre(image);
    const QColor want = GetParam().centre;
    EXPECT_LE(std::max({std::abs(got.red() - want.red()), std::abs(got.green() - want.green()),
                        std::abs(got.blue() - want.blue())}),
              8)
        << got.name().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Records, BuiltDrawingTest, ::testing::ValuesIn(builtDrawings()));

// ---- records the player alone would draw wrong, on a coarse grid ---------------

// A 40 by 40 unit drawing, drawn at 64 by 64 pixels and boiled down to a
// 4 by 4 grid of mean colours: a missing shape, a wrong colour, a lost clip or
// lost text changes whole cells, while anti-aliasing and faces do not.
struct GridCase {
    const char* name;
    QByteArray metafile;
    // The grid's rows, top first: W paper, K some ink, R red, Y yellow, B blue.
    std::array<const char*, 4> cells;
};

void PrintTo(const GridCase& c, std::ostream* out) { *out << c.name; }

// An empty rectangle (a null pen and a null brush, objects 0 and 1) fixes
// the frame at 0..40 both ways; the objects of `records` start at 2.
std::vector<MetafileRecord> framed(std::vector<MetafileRecord> records)
{
    std::vector<MetafileRecord> all = {{0x02FA, words({5, 0, 0, 0, 0})}, rec::select(0), rec::brush(1, 0),
                                       rec::select(1), {0x041B, words({40, 40, 0, 0})}};
    all.insert(all.end(), records.begin(), records.end());
    return all;
}

MetafileRecord box(int left, int top, int right, int bottom) { return {0x041B, words({bottom, right, top, left})}; }

// TEXTOUT at (0, 0), or at the current position.
MetafileRecord textOut(const QByteArray& text)
{
    return {0x0521, words({int(text.size())}) + text + QByteArray(text.size() % 2, '\0') + words({0, 0})};
}

MetafileRecord font(const char* face, int height)
{
    return {0x02FB, words({height, 0, 0, 0, 400, 0, 0, 0, 0}) + QByteArray(face) + QByteArray(1, '\0')};
}

// STRETCHBLT of an old-style 4 by 4 device bitmap (rows of two bytes, top
// first, whatever bytes per row it says) over the whole frame.
MetafileRecord deviceStretchBlt(quint32 rop, int bitsPerPixel, const QByteArray& rows, int rowBytes = 2)
{
    return {0x0B23, words({int(rop & 0xFFFF), int(rop >> 16), 4, 4, 0, 0, 40, 40, 0, 0, 0, 4, 4, rowBytes})
                        + QByteArray(1, '\1') + QByteArray(1, char(bitsPerPixel)) + rows};
}

// STRETCHDIB of a bitmap one pixel wide, two red over two blue, onto the frame's
// upper half as its units run.
MetafileRecord redOverBlue()
{
    const QByteArray header = words({40, 0, 1, 0, 4, 0, 1, 24, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    return {0x0F43, words({0x0020, 0x00CC, 0, 4, 1, 0, 0, 20, 40, 0, 0}) + header
                        + QByteArray::fromHex("ff000000" "ff000000" "0000ff00" "0000ff00")};
}

// STRETCHDIB of an 8 by 8 bitmap in quarters, red and yellow over blue and
// black, onto the rectangle from (x, y) as wide and high as given.
MetafileRecord quarters(int x, int y, int width, int height)
{
    const QByteArray header = words({40, 0, 8, 0, 8, 0, 1, 24, 0, 0, 192, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    QByteArray rows;  // bottom-up, blue green red
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column)
            rows += QByteArray::fromHex(row < 4 ? (column < 4 ? "ff0000" : "000000") : (column < 4 ? "0000ff" : "00ffff"));
    return {0x0F43, words({0x0020, 0x00CC, 0, 8, 8, 0, 0, height, width, y, x}) + header + rows};
}

std::vector<GridCase> gridDrawings()
{
    constexpr quint32 PaletteIndex = 0x01000000;
    const MetafileRecord palette = {0x00F7, words({0x0300, 2}) + QByteArray::fromHex("ff000000" "ffff0000")};
    const MetafileRecord shortRegion = {0x06FF, words({0, 6, 0, 0, 0, 3})};
    const MetafileRecord redBrush = rec::brush(0, Red);
    const QByteArray clipped = placeable(
        windowsMetafile({{0x02FA, words({5, 0, 0, 0, 0})}, rec::select(0), rec::brush(0, Red), rec::select(1),
                         box(-40, 0, 80, 40), rec::brush(0, Blue), rec::select(2), box(0, 0, 20, 40)}),
        0, 0, 40, 40, 1440);
    return {
        {"pens and brushes given as palette entries",
         windowsMetafile(framed({palette, {0x0234, words({2})}, rec::brush(0, PaletteIndex | 1), rec::select(3),
                                 box(0, 0, 20, 40), {0x02FA, words({0x0100, 20, 0, 0, 0x0100})}, rec::select(4),
                                 {0x0214, words({10, 30})}, {0x0213, words({30, 30})}})),
         {"YYRR", "YYRR", "YYRR", "YYRR"}},
        {"an opaque rectangle with no text takes the background colour",
         windowsMetafile(framed({{0x0201, words({0, 0xFF})}, {0x0A32, words({0, 0, 0, 2, 0, 20, 40, 40})}})),
         {"WWWW", "WWWW", "BBBB", "BBBB"}},
        {"characters placed by steps across and down",
         windowsMetafile(framed({font("Arial", -10), rec::select(2),
                                 {0x0A32, words({0, 0, 2, 0x2000}) + QByteArray("HH") + words({30, -30, 0, 0})}})),
         {"KWWW", "WWWW", "WWWW", "WWWK"}},
        // At the current position: "H" stepped 20 on, "H" after it; "HHHHH" by the font's measure, "H" after it.
        {"text at the current position moves it on by its steps or by the font's measure",
         windowsMetafile(framed({font("Arial", -12), rec::select(2), {0x012E, words({25})}, {0x0214, words({19, 0})},
                                 {0x0A32, words({0, 0, 1, 0}) + QByteArray("H", 2) + words({20})}, textOut("H"),
                                 {0x0214, words({37, 0})}, textOut("HHHHH"), textOut("H")})),
         {"WWWW", "KWKW", "WWWW", "KKKK"}},
        {"a face the program lacks falls back to one it has, at the record's height",
         windowsMetafile(framed({font("No Such Face", -20), rec::select(2), textOut("H")})),
         {"KWWW", "KWWW", "WWWW", "WWWW"}},
        {"a region record cut short is passed over",
         windowsMetafile(framed({shortRegion, redBrush, rec::select(3), box(0, 0, 40, 40)})),
         {"RRRR", "RRRR", "RRRR", "RRRR"}},
        {"a placeable frame clips what reaches beyond it", clipped, {"BBRR", "BBRR", "BBRR", "BBRR"}},
        {"a bitmap where the units run up the page is laid upwards, mirrored",
         windowsMetafile(framed({{0x020B, words({40, 0})}, {0x020C, words({-40, 40})}, redOverBlue()})),
         {"WWWW", "WWWW", "BBBB", "RRRR"}},
        {"a bitmap stretched to a negative width and height is mirrored across both",
         windowsMetafile(framed({quarters(40, 40, -40, -40)})),
         {"KKBB", "KKBB", "YYRR", "YYRR"}},
        {"a mask and an inverted image of device bitmaps leave paper around the image",
         windowsMetafile(framed({deviceStretchBlt(0x008800C6, 1, QByteArray::fromHex("f000" "9000" "9000" "f000")),
                                 deviceStretchBlt(0x00660046, 4, QByteArray::fromHex("0000" "0990" "0990" "0000"))})),
         {"WWWW", "WRRW", "WRRW", "WWWW"}},
        // Saying 8 bytes a row, a monochrome mask read 8 bytes a row would be black throughout.
        {"a device bitmap's rows lie as its width makes them, whatever bytes per row it says",
         windowsMetafile(framed({deviceStretchBlt(0x008800C6, 1, QByteArray::fromHex("0000" "0000" "f000" "f000")
                                                                      + QByteArray(24, '\0'), 8)})),
         {"KKKK", "KKKK", "WWWW", "WWWW"}},
    };
}

bool cellMatches(QColor mean, char expected)
{
    const auto near = [&](QColor want) {
        return std::max({std::abs(mean.red() - want.red()), std::abs(mean.green() - want.green()),
                         std::abs(mean.blue() - want.blue())})
               <= 48;
    };
    switch (expected) {
    case 'W': return std::min({mean.red(), mean.green(), mean.blue()}) >= 250;
    case 'K': return qGray(mean.rgb()) < 245;
    case 'R': return near(Qt::red);
    case 'Y': return near(Qt::yellow);
    case 'B': return near(Qt::blue);
    default: return false;
    }
}

class GridDrawingTest : public ::testing::TestWithParam<GridCase> {};

TEST_P(GridDrawingTest, FillsEachCellAsItsRecordsSay)
{
    const QImage image = drawn(GetParam().metafile); 
    ASSERT_FALSE(image.isNull());
    const QImage grid = image.scaled(4, 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_TRUE(cellMatches(grid.pixelColor(x, y), GetParam().cells[y][x]))
                << "cell " << x << "," << y << " is " << grid.pixelColor(x, y).name().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Records, GridDrawingTest, ::testing::ValuesIn(gridDrawings()));

// ---- text placed by its alignment and angle ------------------------------------

struct TextCase {
    const char* name;
    int align;       // SETTEXTALIGN
    int escapement;  // tenths of a degree
    double leftmost, rightmost;  // where the middle of the text's ink may lie, across the frame
    bool upright;    // the ink is taller than it is wide
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.name; }

// "HHHH" in a 40-unit Arial at the middle of a 400 by 100 frame (an empty
// rectangle fixes the frame), underlined or struck out when asked.
QByteArray textDrawing(const TextCase& c, bool underline = false, bool strikeOut = false)
{
    const MetafileRecord font = {0x02FB, words({-40, 0, c.escapement, c.escapement, 400, underline << 8, strikeOut, 0, 0})
                                             + QByteArray("Arial\0", 6)};
    const MetafileRecord nullPen = {0x02FA, words({5, 0, 0, 0, 0})};
    return windowsMetafile({font, rec::select(0), nullPen, rec::select(1), rec::brush(1, 0), rec::select(2),
                            {0x041B, words({100, 400, 0, 0})}, {0x012E, words({c.align})},
                            {0x0521, words({4}) + QByteArray("HHHH") + words({50, 200})}});
}

class TextPlacementTest : public ::testing::TestWithParam<TextCase> {};

struct Ink {
    QRect bounds;
    double sumX = 0;
    int count = 0;
};

Ink inkOf(const QImage& image)
{
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                ink.bounds |= QRect(x, y, 1, 1);
                ink.sumX += x;
                ++ink.count;
            }
    return ink;
}

TEST_P(TextPlacementTest, PutsTheTextWhereItsAlignmentSays)
{
    const QImage image = drawn(textDrawing(GetParam()), QSize(400, 100));
    ASSERT_FALSE(image.isNull());
    const Ink ink = inkOf(image);
    ASSERT_GT(ink.count, 50);
    const double middle = ink.sumX / ink.count / image.width();
    EXPECT_GE(middle, GetParam().leftmost);
    EXPECT_LE(middle, GetParam().rightmost);
    EXPECT_EQ(ink.bounds.height() > ink.bounds.width(), GetParam().upright);
}

INSTANTIATE_TEST_SUITE_P(Alignments, TextPlacementTest,
                         ::testing::Values(TextCase{"left: starts at the point", 0, 0, 0.55, 0.8, false},
                                           TextCase{"centre: around the point", 6, 0, 0.45, 0.55, false},
                                           TextCase{"right: ends at the point", 2, 0, 0.2, 0.45, false},
                                           TextCase{"turned a quarter: runs up", 0, 900, 0.45, 0.6, true}));

// An underline runs below the letters; a strike-out crosses the gaps between them.
TEST(WmfDrawing, UnderlineAndStrikeOutAreDrawn)
{
    const TextCase left{"left", 0, 0, 0, 1, false};
    const Ink plain = inkOf(drawn(textDrawing(left), QSize(400, 100)));
    const Ink underlined = inkOf(drawn(textDrawing(left, true), QSize(400, 100)));
    const Ink struck = inkOf(drawn(textDrawing(left, false, true), QSize(400, 100)));
    EXPECT_GT(underlined.bounds.bottom(), plain.bounds.bottom());
    EXPECT_EQ(struck.bounds.bottom(), plain.bounds.bottom());
    EXPECT_GT(struck.count, plain.count);
}

// ---- the record walk ---------------------------------------------------------------

TEST(WmfRecords, RewritesTheHeaderSizesFromTheWalk)
{
    QByteArray bytes = windowsMetafile({rec::rectangle()});
    bytes.append("trailing junk");
    const auto checked = platform::checkWindowsMetafile(bytes);
    ASSERT_TRUE(checked);
    EXPECT_EQ(checked->bytes.size(), 18 + 14 + 6);
    EXPECT_EQ(qFromLittleEndian<quint32>(checked->bytes.constData() + 6), 19u);   // words in all
    EXPECT_EQ(qFromLittleEndian<quint32>(checked->bytes.constData() + 12), 7u);   // the largest record
}

TEST(WmfRecords, TurnsAnOldStyleBlitIntoItsDeviceIndependentForm)
{
    // BITBLT of a 2 by 1 monochrome bitmap: raster operation, six words, then the bitmap.
    const QByteArray blit = QByteArray::fromHex("2000cc00" "0000" "0000" "0100" "0200" "0000" "0000"
                                                "0000" "0200" "0100" "0200" "01" "01" "4000");
    const auto checked = platform::checkWindowsMetafile(windowsMetafile({{0x0922, blit}}));
    ASSERT_TRUE(checked);
    EXPECT_EQ(qFromLittleEndian<quint16>(checked->bytes.constData() + 18 + 4), 0x0940);
    const QImage bitmap = platform::readPackedBitmap(checked->bytes.mid(18 + 6 + 16));
    ASSERT_EQ(bitmap.size(), QSize(2, 1));
    EXPECT_EQ(bitmap.pixel(0, 0), 0xFF000000);
    EXPECT_EQ(bitmap.pixel(1, 0), 0xFFFFFFFF);
}

class WmfLoadTest : public ::testing::Test {
protected:
    // Loads the bytes as a metafile file; 0 or the error number raised.
    int load(const QByteArray& bytes, Picture& picture)
    {
        env.writeFile("drawing.wmf", bytes);
        return errorNumberOf([&] { picture = LoadPicture(env.windowsPath("drawing.wmf")); });
    }
    TestEnvironment env;
};

// A file whose structure is broken never reaches the player.
struct BrokenCase {
    const char* name;
    QByteArray bytes;
};

void PrintTo(const BrokenCase& c, std::ostream* out) { *out << c.name; }

std::vector<BrokenCase> brokenMetafiles()
{
    const QByteArray sound = windowsMetafile({rec::rectangle()});
    QByteArray recordPastEnd = sound;
    recordPastEnd[18] = char(200);
    QByteArray zeroSizeRecord = sound;
    zeroSizeRecord[18] = 0;
    QByteArray largestTooLarge = sound;
    largestTooLarge[13] = 1;
    QByteArray badVersion = sound;
    badVersion[4] = 7;
    const QByteArray placeableWithoutUnits =
        QByteArray::fromHex("d7cdc69a" "0000" "00000000" "64006400" "0000" "00000000" "0000") + sound;
    return {
        {"no end record", sound.first(sound.size() - 6)},
        {"a largest record larger than the file", largestTooLarge},
        {"a record past the end", recordPastEnd},
        {"a record of no size", zeroSizeRecord},
        {"an unknown version", badVersion},
        {"a placeable header without units", placeableWithoutUnits},
    };
}

class BrokenMetafileTest : public WmfLoadTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenMetafileTest, IsRefusedAsAnInvalidPicture)
{
    EXPECT_FALSE(platform::checkWindowsMetafile(GetParam().bytes));
    Picture picture;
    EXPECT_EQ(load(GetParam().bytes, picture), InvalidPicture);
}

INSTANTIATE_TEST_SUITE_P(Broken, BrokenMetafileTest, ::testing::ValuesIn(brokenMetafiles()));

// A record that does not hold what its counts say is passed over, and the
// red square drawn after it still comes out.
struct DamagedRecordCase {
    const char* name;
    MetafileRecord damaged;
};

void PrintTo(const DamagedRecordCase& c, std::ostream* out) { *out << c.name; }

class DamagedRecordTest : public WmfLoadTest, public ::testing::WithParamInterface<DamagedRecordCase> {};

TEST_P(DamagedRecordTest, IsPassedOverAndTheRestDrawn)
{
    // The damaged record makes an object or not; the brush is selected by its own number.
    const bool makesObject = GetParam().damaged.function == 0x00F7 || GetParam().damaged.function == 0x0142;
    const QByteArray bytes = windowsMetafile(
        {GetParam().damaged, rec::brush(0, Red), rec::select(makesObject ? 1 : 0), rec::rectangle()});
    Picture picture;
    ASSERT_EQ(load(bytes, picture), 0);
    EXPECT_EQ(centre(drawn(bytes)), QColor(Qt::red));
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, DamagedRecordTest,
    ::testing::Values(
        DamagedRecordCase{"a text claiming 65,027 characters in 18 bytes", {0x0521, words({65027, 0, 0, 0, 0, 0, 0, 0, 0})}},
        DamagedRecordCase{"more polygon points than the record holds", {0x0324, words({255, 0, 0})}},
        DamagedRecordCase{"more polygons than the record holds", {0x0538, words({2, 3, 0})}},
        DamagedRecordCase{"an extended text longer than its record", {0x0A32, words({0, 0, 64, 0, 0x4241})}},
        DamagedRecordCase{"a palette longer than its record", {0x00F7, words({0x0300, 16, 0, 0})}},
        DamagedRecordCase{"a pattern brush whose bitmap is cut short", {0x0142, words({5, 0, 40, 0, 100, 0, 100, 0, 1, 24})}},
        DamagedRecordCase{"a bitmap longer than its record", {0x0F43, QByteArray(22, '\0') + words({40, 0, 100, 0, 100, 0, 1, 24})}}));

}  // namespace
