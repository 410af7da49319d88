// Enhanced metafiles as the program draws them: drawings built record by
// record, one record family a row, looked at on a coarse grid of mean colours;
// the clip-art samples, looked at where they draw something telling; and
// damaged files (a damaged record is passed over, a broken structure refused).

#include "EnhancedMetafileBytes.h"
#include "platform/EmfRenderer.h"

#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

namespace rec = emfrecord;

namespace {

constexpr quint32 Red = 0x0000FF, Blue = 0xFF0000;

QImage drawn(const QByteArray& bytes)
{
    const auto rendered = platform::renderEnhancedMetafile(bytes, [](QSize) { return QSize(100, 100); });
    return rendered ? rendered->image : QImage();
}

// The drawing in 4 by 4 cells of 25 by 25 pixels, each cell a letter: r red,
// b blue, p pink (half red over white), k black, w white, i ink (anything well
// darker than white), m mixed (ink, but well lighter than black), R reddish
// and G greenish (the channel well above the others), ? any.
// A cell matches when its mean colour lies within the tolerance.
constexpr int Cells = 4;
constexpr int Tolerance = 48;

bool cellMatches(QColor mean, char expected)
{
    const auto above = [](int channel, int other1, int other2) {
        return channel > other1 + Tolerance / 2 && channel > other2 + Tolerance / 2;
    };
    const auto near = [&](int r, int g, int b) {
        return std::abs(mean.red() - r) <= Tolerance && std::abs(mean.green() - g) <= Tolerance
               && std::abs(mean.blue() - b) <= Tolerance;
    };
    switch (expected) {
    case 'r': return near(255, 0, 0);
    case 'b': return near(0, 0, 255);
    case 'p': return near(255, 128, 128);
    case 'k': return near(0, 0, 0);
    case 'w': return near(255, 255, 255);
    case 'i': return qGray(mean.rgb()) < 235;
    case 'm': return qGray(mean.rgb()) < 235 && qGray(mean.rgb()) > 60;
    case 'R': return above(mean.red(), mean.green(), mean.blue());
    case 'G': return above(mean.green(), mean.red(), mean.blue());
    default: return true;
    }
}

struct DrawingCase {
    const char* name;
    std::vector<EnhancedRecord> records;
    const char* cells;  // four rows of four letters, top row first
};

void PrintTo(const DrawingCase& c, std::ostream* out) { *out << c.name; }

class EmfDrawingTest : public ::testing::TestWithParam<DrawingCase> {};

TEST_P(EmfDrawingTest, DrawsWhatItsRecordsSay)
{
    const QImage image = drawn(enhancedMetafile(GetParam().records));
    ASSERT_EQ(image.size(), QSize(100, 100));
    const QImage grid = image.scaled(Cells, Cells, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QByteArray cells = QByteArray(GetParam().cells).replace(' ', "");
    for (int y = 0; y < Cells; ++y)
        for (int x = 0; x < Cells; ++x)
            EXPECT_TRUE(cellMatches(grid.pixelColor(x, y), cells[y * Cells + x]))
                << "cell " << x << "," << y << " is " << grid.pixelColor(x, y).name().toStdString();
}

// Red fill, no outline: what most rows draw with.
std::vector<EnhancedRecord> redFill(std::vector<EnhancedRecord> records)
{
    records.insert(records.begin(), {rec::solidBrush(1, Red), rec::select(1), rec::nullPen()});
    return records;
}

const QByteArray Region = ints({32, 1, 1, 16, 50, 0, 100, 100, 50, 0, 100, 100});  // x 50..100
const QByteArray RedPixel = ints({40, 1, 1, 0x180001, 0, 4, 0, 0, 0, 0}) + QByteArray::fromHex("0000ff00");
const QByteArray Pixels2x2 = ints({40, 2, 2, 0x180001, 0, 16, 0, 0, 0, 0})        // 24-bit, bottom-up
                             + QByteArray::fromHex("ff0000" "ffffff" "0000" "0000ff" "ffffff" "0000");

INSTANTIATE_TEST_SUITE_P(
    RecordFamilies, EmfDrawingTest,
    ::testing::Values(
        DrawingCase{"Rectangle", redFill({rec::rectangle(0, 0, 50, 50)}), "rrww rrww wwww wwww"},
        DrawingCase{"Ellipse", redFill({rec::rectangle(0, 0, 0, 0), {42, ints({0, 0, 100, 100})}}),
                    "???? ?rr? ?rr? ????"},
        DrawingCase{"Polygon16", redFill({{86, ints({0, 0, 0, 0, 4}) + ints({0x0, 50, 0x640032, 100 << 16})}}),
                    "rrww rrww rrww rrww"},
        DrawingCase{"PolyPolygonOddEven",
                    redFill({{8, ints({0, 0, 0, 0, 2, 8, 4, 4, 0, 0, 100, 0, 100, 100, 0, 100, 25, 25, 75, 25, 75,
                                       75, 25, 75})}}),
                    "rrrr rwwr rwwr rrrr"},
        DrawingCase{"PolyPolygonWinding",
                    redFill({{19, ints({2})},
                             {8, ints({0, 0, 0, 0, 2, 8, 4, 4, 0, 0, 100, 0, 100, 100, 0, 100, 25, 25, 75, 25, 75,
                                       75, 25, 75})}}),
                    "rrrr rrrr rrrr rrrr"},
        DrawingCase{"AnisotropicMapping",
                    redFill({{17, ints({8})}, {9, ints({10, 20})}, {11, ints({100, 100})},
                             rec::rectangle(0, 0, 5, 20)}),
                    "rrww rrww rrww rrww"},
        DrawingCase{"WindowOrigin", redFill({{10, ints({50, 50})}, rec::rectangle(50, 50, 100, 100)}),
                    "rrww rrww wwww wwww"},
        DrawingCase{"YUpMapping", redFill({{17, ints({2})}, rec::rectangle(0, -500, 500, -1000)}),
                    "wwww wwww rrww rrww"},
        DrawingCase{"WorldTransform", redFill({{35, floats({2, 0, 0, 2, 50, 0})}, rec::rectangle(0, 0, 25, 25)}),
                    "wwrr wwrr wwww wwww"},
        DrawingCase{"ModifyWorldTransform",
                    redFill({{35, floats({2, 0, 0, 2, 0, 0})}, {36, floats({1, 0, 0, 1, 0, 25}) + ints({2})},
                             rec::rectangle(0, 0, 25, 25)}),
                    "wwww wwww rrww rrww"},
        DrawingCase{"SaveAndRestore",
                    redFill({{33, {}}, {35, floats({4, 0, 0, 4, 0, 0})}, {34, ints({-1})},
                             rec::rectangle(0, 0, 50, 50)}),
                    "rrww rrww wwww wwww"},
        DrawingCase{"GeometricPen",
                    {rec::widePen(1, 50, Blue), rec::select(1), rec::moveTo(0, 50), rec::lineTo(100, 50)},
                    "wwww bbbb bbbb wwww"},
        DrawingCase{"Pie", redFill({{47, ints({0, 0, 100, 100, 100, 50, 0, 50})}}), "???? ?rr? wwww wwww"},
        DrawingCase{"ClockwiseChord", redFill({{57, ints({2})}, {46, ints({0, 0, 100, 100, 100, 50, 0, 50})}}),
                    "wwww wwww ?rr? ????"},
        DrawingCase{"PieWithYUp", redFill({{17, ints({2})}, {47, ints({0, 0, 1000, -1000, 1000, -500, 0, -500})}}),
                    "???? ?rr? wwww wwww"},
        DrawingCase{"FilledPath",
                    redFill({{59, {}}, rec::moveTo(0, 0), rec::lineTo(50, 0), rec::lineTo(50, 100), rec::lineTo(0, 100),
                             {61, {}}, {60, {}}, {62, ints({0, 0, 0, 0})}}),
                    "rrww rrww rrww rrww"},
        DrawingCase{"PolyDrawnPath",
                    redFill({{59, {}},
                             {56, ints({0, 0, 0, 0, 4, 0, 0, 50, 0, 50, 100, 0, 100}) + QByteArray::fromHex("06020203")},
                             {60, {}}, {62, ints({0, 0, 0, 0})}}),
                    "rrww rrww rrww rrww"},
        DrawingCase{"IntersectClip", redFill({{30, ints({0, 0, 50, 100})}, rec::rectangle(0, 0, 100, 100)}),
                    "rrww rrww rrww rrww"},
        DrawingCase{"ExcludeClip", redFill({{29, ints({0, 0, 100, 50})}, rec::rectangle(0, 0, 100, 100)}),
                    "wwww wwww rrrr rrrr"},
        DrawingCase{"RegionClip", redFill({{75, ints({48, 5}) + Region}, rec::rectangle(0, 0, 100, 100)}),
                    "wwrr wwrr wwrr wwrr"},
        DrawingCase{"PathClip",
                    redFill({{59, {}}, rec::rectangle(0, 0, 100, 50), {60, {}}, {67, ints({5})},
                             {30, ints({0, 0, 50, 100})}, rec::rectangle(0, 0, 100, 100)}),
                    "rrww rrww wwww wwww"},
        DrawingCase{"ClipLiftedByRestore",
                    redFill({{33, {}}, {30, ints({0, 0, 10, 10})}, {34, ints({-1})}, rec::rectangle(0, 0, 100, 100)}),
                    "rrrr rrrr rrrr rrrr"},
        DrawingCase{"OpaqueTextBox", {{25, ints({Red})}, rec::text(0, 0, "", 2, {}, QRect(0, 50, 100, 50))},
                    "wwww wwww rrrr rrrr"},
        DrawingCase{"Text", {rec::font(1, -40), rec::select(1), {18, ints({1})}, rec::text(0, 0, "MMMMMMMM", 0)},
                    "iiii iiii wwww wwww"},
        DrawingCase{"TextSpacedByAdvances",
                    {rec::font(1, -40), rec::select(1), {18, ints({1})}, rec::text(0, 0, "MM", 0, {75, 25})},
                    "i?wi i?wi wwww wwww"},
        DrawingCase{"ClippedText",
                    {rec::font(1, -40), rec::select(1), {18, ints({1})},
                     rec::text(0, 0, "MMMMMMMM", 4, {}, QRect(0, 0, 50, 100))},
                    "iiww iiww wwww wwww"},
        DrawingCase{"TextAsClipPath",
                    redFill({rec::font(2, -40), rec::select(2), {59, {}}, rec::text(0, 0, "MMMMMMMM", 0), {60, {}},
                             {67, ints({5})}, rec::rectangle(0, 0, 100, 100)}),
                    "RRRR ???? wwww wwww"},
        DrawingCase{"StretchedBitmap",
                    {{81, ints({0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0xCC0020, 100, 100}) + Pixels2x2}},
                    "rrww rrww bbww bbww"},
        DrawingCase{"BandOfRows",
                    {{17, ints({8})}, {9, ints({2, 2})}, {11, ints({100, 100})},
                     {80, ints({0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 76, 40, 116, 8, 0, 1, 1})
                              + ints({40, 2, 2, 0x180001, 0, 0, 0, 0, 0, 0}) + QByteArray::fromHex("0000ff" "ffffff" "0000")}},
                    "rrww rrww wwww wwww"},
        DrawingCase{"BlitThroughTheSourceTransform",
                    {{76, ints({0, 0, 0, 0, 0, 0, 100, 100, 0xCC0020, 0, 0}) + floats({0.02f, 0, 0, 0.02f, 0, 0})
                              + ints({0, 0, 100, 40, 140, 16}) + Pixels2x2}},
                    "rrww rrww bbww bbww"},
        DrawingCase{"PatternBlit", redFill({{76, ints({0, 0, 0, 0, 0, 50, 100, 50, 0xF00021}) + QByteArray(56, '\0')}}),
                    "wwww wwww rrrr rrrr"},
        DrawingCase{"Blackness", {{76, ints({0, 0, 0, 0, 50, 0, 50, 100, 0x000042}) + QByteArray(56, '\0')}},
                    "wwkk wwkk wwkk wwkk"},
        DrawingCase{"PaletteIndexColour",
                    {{49, ints({2}) + QByteArray::fromHex("0003" "0100") + QByteArray::fromHex("0000ff00")},
                     {48, ints({2})}, rec::solidBrush(1, 0x01000000), rec::select(1), rec::nullPen(),
                     rec::rectangle(0, 0, 100, 50)},
                    "bbbb bbbb wwww wwww"},
        DrawingCase{"ChangedPaletteEntry",
                    {{49, ints({2}) + QByteArray::fromHex("0003" "0100") + QByteArray::fromHex("ff000000")},
                     {50, ints({2, 0, 1}) + QByteArray::fromHex("0000ff00")}, {48, ints({2})},
                     rec::solidBrush(1, 0x01000000), rec::select(1), rec::nullPen(), rec::rectangle(0, 0, 100, 50)},
                    "bbbb bbbb wwww wwww"},
        DrawingCase{"BitmapOfPaletteIndexes",
                    {{49, ints({2}) + QByteArray::fromHex("0003" "0100") + QByteArray::fromHex("0000ff00")},
                     {48, ints({2})},
                     {81, ints({0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 80, 42, 124, 4, 1, 0xCC0020, 100, 50})
                              + ints({40, 1, 1, 0x080001, 0, 4, 0, 0, 1, 0}) + QByteArray(8, '\0')}},
                    "bbbb bbbb wwww wwww"},
        DrawingCase{"BlackRasterOperation", redFill({{20, ints({1})}, rec::rectangle(0, 0, 100, 50)}),
                    "kkkk kkkk wwww wwww"},
        DrawingCase{"RoundRect", redFill({{44, ints({0, 0, 100, 100, 50, 50})}}), "?rr? rrrr rrrr ?rr?"},
        DrawingCase{"StrokedPathIsNotFilled",
                    redFill({rec::select(0x80000007), {59, {}}, rec::rectangle(10, 10, 90, 90), {60, {}},
                             {64, ints({0, 0, 0, 0})}}),
                    "???? ?ww? ?ww? ????"},
        DrawingCase{"StrokedAndFilledPath",
                    redFill({rec::select(0x80000007), {59, {}}, rec::rectangle(10, 10, 90, 90), {60, {}},
                             {63, ints({0, 0, 0, 0})}}),
                    "???? ?rr? ?rr? ????"},
        DrawingCase{"HatchedBrush", {{18, ints({1})}, {39, ints({1, 2, 0, 4})}, rec::select(1), rec::nullPen(),
                                     rec::rectangle(0, 0, 100, 100)},
                    "mmmm mmmm mmmm mmmm"},
        DrawingCase{"PatternBrush", {{94, ints({1, 0, 32, 40, 72, 4}) + RedPixel}, rec::select(1), rec::nullPen(),
                                     rec::rectangle(0, 50, 100, 100)},
                    "wwww wwww rrrr rrrr"},
        DrawingCase{"HorizontalGradient",
                    {{118, ints({0, 0, 0, 0, 2, 1, 0, 0, 0, 0xFF00, 0, 100, 100, 0, 0xFF00, 0, 1})}},
                    "r??b r??b r??b r??b"},
        DrawingCase{"OffsetClip",
                    redFill({{30, ints({0, 0, 50, 50})}, {26, ints({50, 50})}, rec::rectangle(0, 0, 100, 100)}),
                    "wwww wwww wwrr wwrr"},
        DrawingCase{"RegionClipUnited",
                    redFill({{30, ints({0, 0, 50, 50})}, {75, ints({48, 2}) + Region}, rec::rectangle(0, 0, 100, 100)}),
                    "rrrr rrrr wwrr wwrr"},
        DrawingCase{"RegionClipTakenAway", redFill({{75, ints({48, 4}) + Region}, rec::rectangle(0, 0, 100, 100)}),
                    "rrww rrww rrww rrww"},
        DrawingCase{"FilledRegion", {rec::solidBrush(1, Red), {71, ints({0, 0, 0, 0, 48, 1}) + Region}},
                    "wwrr wwrr wwrr wwrr"},
        DrawingCase{"EscapedText",
                    {{82, ints({1, -40, 0, 900, 900, 400, 0, 0}) + QByteArray(64, '\0')}, rec::select(1),
                     {18, ints({1})}, {22, ints({24})}, rec::text(40, 100, "MMMMMMMM", 0)},
                    "?iww ?iww ?iww ?iww"},
        DrawingCase{"TextAlignedRightAndBottom",
                    {rec::font(1, -40), rec::select(1), {18, ints({1})}, {22, ints({10})},
                     rec::text(100, 100, "MM", 0)},
                    "wwww wwww w??? w?ii"},
        DrawingCase{"HalfTransparentBlend",
                    {{114, ints({0, 0, 0, 0, 0, 0, 100, 100, 0x00800000, 0, 0}) + floats({1, 0, 0, 1, 0, 0})
                               + ints({0, 0, 108, 40, 148, 4, 1, 1}) + RedPixel}},
                    "pppp pppp pppp pppp"},
        DrawingCase{"TransparentColourBlit",
                    {{76, ints({0, 0, 0, 0, 0, 0, 100, 100, 0x000042}) + QByteArray(56, '\0')},
                     {116, ints({0, 0, 0, 0, 0, 0, 100, 100, Blue, 0, 0}) + floats({1, 0, 0, 1, 0, 0})
                               + ints({0, 0, 108, 40, 148, 16, 2, 2}) + Pixels2x2}},
                    "rrww rrww kkww kkww"},
        DrawingCase{"ObjectOutsideTheTable", redFill({rec::select(100), rec::rectangle(0, 0, 50, 50)}),
                    "rrww rrww wwww wwww"},
        DrawingCase{"ExtendedRecordsInCommentsPassedOver",
                    redFill({{70, ints({16, 0x2B464D45, 0x4001, 12, 12})}, rec::rectangle(0, 0, 50, 50)}),
                    "rrww rrww wwww wwww"},
        DrawingCase{"DamagedRecordPassedOver",
                    redFill({{3, ints({0, 0, 0, 0, 1000, 0, 0})}, rec::rectangle(0, 0, 50, 50)}),
                    "rrww rrww wwww wwww"}));

// A record whose counts or offsets reach past its end is passed over, and the
// records after it draw.
struct DamagedCase {
    const char* name;
    EnhancedRecord record;
};

void PrintTo(const DamagedCase& c, std::ostream* out) { *out << c.name; }

class EmfDamagedRecordTest : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(EmfDamagedRecordTest, IsPassedOver)
{
    const std::vector<EnhancedRecord> records = redFill({GetParam().record, rec::rectangle(0, 0, 50, 50)});
    const QImage image = drawn(enhancedMetafile(records));
    ASSERT_EQ(image.size(), QSize(100, 100));
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(90, 90), QColor(Qt::white));
}

INSTANTIATE_TEST_SUITE_P(
    Records, EmfDamagedRecordTest,
    ::testing::Values(
        DamagedCase{"PolyPolygonCounts", {8, ints({0, 0, 0, 0, 2, 4, 3, 3, 0, 0, 1, 1, 2, 2, 3, 3})}},
        DamagedCase{"PolyPolygonMany", {8, ints({0, 0, 0, 0, 0x40000000, 0x40000000})}},
        DamagedCase{"TextPastItsRecord", rec::text(0, 0, "MMMM", 0, {10, 10, 10, 10})},
        DamagedCase{"TextOffset", {84, ints({0, 0, -1, -1, 1, 0, 0, 0, 0, 4, 0x7FFFFFF0, 0, 0, 0, 0, 0, 0})}},
        DamagedCase{"BitmapOffset", {81, ints({0, 0, 0, 0, 0, 0, 0, 0, 2, 2, -8, 40, 120, 16, 0, 0xCC0020, 100, 100})}},
        DamagedCase{"RegionCount", {75, ints({48, 5, 32, 1, 0x10000000, 16, 0, 0, 1, 1})}},
        DamagedCase{"PaletteCount", {49, ints({2}) + QByteArray::fromHex("0003" "ffff")}},
        DamagedCase{"GradientCounts", {118, ints({0, 0, 0, 0, 0x7FFFFFFF, 0x7FFFFFFF, 0})}},
        DamagedCase{"RestoreBeyondTheSaves", {34, ints({-5})}},
        DamagedCase{"WorldTransformNotANumber", {35, floats({NAN, 0, 0, 1, 0, 0})}}));

// ---- the clip-art samples ---------------------------------------------------------

struct SampleProbe {
    QRectF area;  // in fractions of the picture
    char expected;
};

struct SampleCase {
    const char* name;
    std::vector<SampleProbe> probes;
};

void PrintTo(const SampleCase& c, std::ostream* out) { *out << c.name; }

class EmfSampleTest : public ::testing::TestWithParam<SampleCase> {};

TEST_P(EmfSampleTest, DrawsWhatTheSampleShows)
{
    QFile file(QStringLiteral(BRISCA_TEST_DATA_DIR "/emf/%1.emf").arg(GetParam().name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto rendered = platform::renderEnhancedMetafile(
        file.readAll(), [](QSize own) { return own.scaled(600, 600, Qt::KeepAspectRatio); });
    ASSERT_TRUE(rendered);
    const QImage& image = rendered->image;
    for (const auto& [area, expected] : GetParam().probes) {
        const QRect pixels = QTransform::fromScale(image.width(), image.height()).mapRect(area).toRect();
        const QColor mean =
            image.copy(pixels).scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixelColor(0, 0);
        EXPECT_TRUE(cellMatches(mean, expected)) << "area " << area.x() << "," << area.y() << " is "
                                                 << mean.name().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    ClipArt, EmfSampleTest,
    ::testing::Values(
        // A red triangle and a green sun low on the right, nothing above them.
        SampleCase{"lo-fdo77229", {{{0.6, 0.66, 0.06, 0.06}, 'r'}, {{0.83, 0.63, 0.04, 0.05}, 'G'},
                                   {{0, 0, 1, 0.5}, 'w'}}},
        // Bars, pink above green, and the labels under them.
        SampleCase{"lo-image1", {{{0.08, 0.3, 0.04, 0.3}, 'R'}, {{0.72, 0.3, 0.04, 0.5}, 'G'},
                                 {{0.85, 0.2, 0.15, 0.6}, 'w'}}},
        // A curve on axes, the y axis named by turned text; nothing above the curve's right end.
        SampleCase{"lo-TestEmfPlusDrawBeziers", {{{0.07, 0.15, 0.05, 0.35}, 'i'}, {{0.5, 0.02, 0.4, 0.15}, 'w'}}},
        // "Cu" at the heart of the molecule.
        SampleCase{"lo-TextMapMode", {{{0.45, 0.49, 0.05, 0.03}, 'i'}}}));

// ---- damaged files ---------------------------------------------------------------

struct BrokenCase {
    const char* name;
    int at;              // where the bytes are overwritten (negative: from the end)
    QByteArray bytes;    // empty: the file is cut there
};

void PrintTo(const BrokenCase& c, std::ostream* out) { *out << c.name; }

class BrokenStructureTest : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenStructureTest, IsRefused)
{
    QByteArray file = enhancedMetafile(redFill({rec::rectangle(0, 0, 50, 50)}));
    const int at = GetParam().at < 0 ? file.size() + GetParam().at : GetParam().at;
    if (GetParam().bytes.isEmpty())
        file.truncate(at);
    else
        file.replace(at, GetParam().bytes.size(), GetParam().bytes);
    EXPECT_FALSE(platform::renderEnhancedMetafile(file, [](QSize own) { return own; }));
}

INSTANTIATE_TEST_SUITE_P(
    Structures, BrokenStructureTest,
    ::testing::Values(BrokenCase{"HeaderTooSmall", 4, ints({40})},
                      BrokenCase{"RecordPastTheEnd", 92, ints({0x7FFFFFF0})},
                      BrokenCase{"RecordSizeNotWhole", 92, ints({18})},
                      BrokenCase{"RecordSmallerThanItsHead", 92, ints({4})},
                      BrokenCase{"NoEndRecord", -20, {}}, BrokenCase{"NoSignature", 40, ints({0})}));

}  // namespace
