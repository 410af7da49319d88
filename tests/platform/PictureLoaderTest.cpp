// The picture loader on real files of every format (the samples of
// tests/data/<kind>, whose ORIGINS.tsv says where each comes from and what it
// must give) and on bitmaps built byte by byte. Metafile drawings have their
// own tests (WmfDrawingTest.cpp).

#include "BitmapBytes.h"
#include "runtime/ErrorNumber.h"
#include "platform/PictureLoader.h"
#include "runtime/RuntimeError.h"
#include "support/TestEnvironment.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QSet>
#include <malloc.h>
#include <gtest/gtest.h>

using platform::LoadPicture;
using platform::Picture;
using runtime::err::FileNotFound;
using runtime::err::InvalidPicture;

namespace {

QString dataPath(const QString& relative) { return QStringLiteral(BRISCA_TEST_DATA_DIR "/") + relative; }

QByteArray readData(const QString& relative)
{
    QFile file(dataPath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int distinctColours(const QImage& image)
{
    QSet<QRgb> colours;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            colours.insert(argb.pixel(x, y));
    return static_cast<int>(colours.size());
}

class PictureLoaderTest : public ::testing::Test {
protected:
    // The Windows path of a file written into the sandbox.
    QString file(const QString& name, const QByteArray& bytes)
    {
        env.writeFile(name, bytes);
        return env.windowsPath(name);
    }
    QString sample(const QString& relative) { return env.fs().windowsPath(dataPath(relative)); }

    TestEnvironment env;
};

// ---- every sample gives what its ORIGINS.tsv row says -----------------------

struct SampleRow {
    QString path;    // kind/name
    QString expect;  // renders, renders-quirk, reject, render-or-reject
};

void PrintTo(const SampleRow& row, std::ostream* out) { *out << row.path.toStdString(); }

std::vector<SampleRow> sampleRows()
{
    std::vector<SampleRow> rows;
    for (const char* kind : {"bmp", "gif", "jpeg", "wmf", "emf"}) {
        const QList<QByteArray> lines = readData(QString("%1/ORIGINS.tsv").arg(kind)).split('\n');
        for (const QByteArray& line : lines.mid(1)) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() >= 3)
                rows.push_back({QString("%1/%2").arg(kind, fields[1]), QString::fromLatin1(fields[2])});
        }
    }
    return rows;
}

class SampleTest : public PictureLoaderTest, public ::testing::WithParamInterface<SampleRow> {};

TEST_P(SampleTest, GivesWhatItsRowSays)
{
    const SampleRow& row = GetParam();
    Picture picture;
    const int error = errorNumberOf([&] { picture = LoadPicture(sample(row.path)); });
    if (row.expect == "reject") {
        EXPECT_EQ(error, InvalidPicture);
        return;
    }
    if (row.expect == "render-or-reject" && error == InvalidPicture)
        return;
    ASSERT_EQ(error, 0);
    EXPECT_GT(distinctColours(picture.image), 1) << "blank picture";
    EXPECT_GT(picture.sizeHimetric.width(), 0);
    EXPECT_GT(picture.sizeHimetric.height(), 0);
    EXPECT_LE(std::max(picture.image.width(), picture.image.height()), platform::MaxMetafileRenderSide);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleTest, ::testing::ValuesIn(sampleRows()));

TEST(SampleRows, CoverEveryKind) { EXPECT_EQ(sampleRows().size(), 45u); }

// ---- bitmaps built byte by byte ------------------------------------------------

constexpr QRgb Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF;

// A colour table of red, green, blue and white (indexes 0 to 3).
QByteArray fourColours() { return QByteArray::fromHex("0000ff00" "00ff0000" "ff000000" "ffffff00"); }

// A 56-byte header of 32-bit bit fields, whose red, green, blue and alpha masks follow it.
platform::BitmapInfoHeader alphaMaskHeader()
{
    platform::BitmapInfoHeader header = bitmapHeader(2, 2, 32, 3);
    header.biSize = 56;
    return header;
}
QByteArray alphaMasks() { return QByteArray::fromHex("0000ff00" "00ff0000" "ff000000" "000000ff"); }

struct BitmapCase {
    const char* name;
    platform::BitmapInfoHeader header;
    QByteArray table;
    QByteArray pixels;
    // Top left, top right, bottom left, bottom right.
    std::array<QRgb, 4> expected = {Red, White, Blue, Green};
};

void PrintTo(const BitmapCase& c, std::ostream* out) { *out << c.name; }

// Every case is 2 by 2: red, white on the top row; blue, green below (the
// 1-bit one: white, red below).
std::vector<BitmapCase> twoByTwoBitmaps()
{
    return {
        {"24-bit bottom-up", bitmapHeader(2, 2, 24), {}, QByteArray::fromHex("ff0000" "00ff00" "0000" "0000ff" "ffffff" "0000")},
        {"24-bit top-down", bitmapHeader(2, -2, 24), {}, QByteArray::fromHex("0000ff" "ffffff" "0000" "ff0000" "00ff00" "0000")},
        {"8-bit palette", withColours(bitmapHeader(2, 2, 8), 4), fourColours(), QByteArray::fromHex("02010000" "00030000")},
        {"4-bit palette", withColours(bitmapHeader(2, 2, 4), 4), fourColours(), QByteArray::fromHex("21000000" "03000000")},
        {"1-bit", bitmapHeader(2, 2, 1), QByteArray::fromHex("0000ff00" "ffffff00"), QByteArray::fromHex("80000000" "40000000"),
         {Red, White, White, Red}},
        {"16-bit 5-5-5", bitmapHeader(2, 2, 16), {}, QByteArray::fromHex("1f00" "e003" "007c" "ff7f")},
        {"16-bit 5-6-5 bit fields", bitmapHeader(2, 2, 16, 3), QByteArray::fromHex("00f80000" "e0070000" "1f000000"),
         QByteArray::fromHex("1f00" "e007" "00f8" "ffff")},
        {"32-bit", bitmapHeader(2, 2, 32), {}, QByteArray::fromHex("ff000000" "00ff0000" "0000ff00" "ffffff00")},
        // Bit fields with an alpha mask: an alpha of 0 throughout is taken for unused.
        {"32-bit bit fields, alpha unused", alphaMaskHeader(), alphaMasks(),
         QByteArray::fromHex("ff000000" "00ff0000" "0000ff00" "ffffff00")},
        {"32-bit bit fields, alpha in use", alphaMaskHeader(), alphaMasks(),
         QByteArray::fromHex("ff000080" "00ff00ff" "0000ffff" "ffffff00"), {Red, 0x00FFFFFF, 0x800000FF, Green}},
        {"RLE8", withColours(bitmapHeader(2, 2, 8, 1, 12), 4), fourColours(), QByteArray::fromHex("01020101" "0000" "01000103" "0001")},
        {"RLE4", withColours(bitmapHeader(2, 2, 4, 2, 8), 4), fourColours(), QByteArray::fromHex("0221" "0000" "0203" "0001")},
    };
}

class BitmapTest : public PictureLoaderTest, public ::testing::WithParamInterface<BitmapCase> {};

TEST_P(BitmapTest, ReadsTheFourColoursInPlace)
{
    const BitmapCase& c = GetParam();
    const Picture picture = LoadPicture(file("a.bmp", bitmapFile(c.header, c.table, c.pixels)));
    ASSERT_EQ(picture.image.size(), QSize(2, 2));
    EXPECT_EQ(picture.image.pixel(0, 0), c.expected[0]);
    EXPECT_EQ(picture.image.pixel(1, 0), c.expected[1]);
    EXPECT_EQ(picture.image.pixel(0, 1), c.expected[2]);
    EXPECT_EQ(picture.image.pixel(1, 1), c.expected[3]);
    EXPECT_FALSE(picture.isMetafile);
    EXPECT_DOUBLE_EQ(picture.sizeHimetric.width(), 2 * 2540.0 / 96);
}

INSTANTIATE_TEST_SUITE_P(Formats, BitmapTest, ::testing::ValuesIn(twoByTwoBitmaps()));

TEST_F(PictureLoaderTest, RunLengthLiteralsAndDeltas)
{
    // 4 by 2: a literal run of three on the bottom row (padded to a word),
    // then a delta one row up, then one pixel; the skipped pixels take colour 0.
    const QByteArray stream = QByteArray::fromHex("0003" "020103" "00" "0002" "0001" "0103" "0001");
    const Picture picture = LoadPicture(
        file("rle.bmp", bitmapFile(withColours(bitmapHeader(4, 2, 8, 1, stream.size()), 4), fourColours(), stream)));
    const QImage& image = picture.image;
    EXPECT_EQ(image.pixel(0, 1), Blue);
    EXPECT_EQ(image.pixel(1, 1), Green);
    EXPECT_EQ(image.pixel(2, 1), White);
    EXPECT_EQ(image.pixel(3, 1), Red);
    EXPECT_EQ(image.pixel(0, 0), Red);
    EXPECT_EQ(image.pixel(2, 0), Red);
    EXPECT_EQ(image.pixel(3, 0), White);
}

std::vector<BitmapCase> damagedBitmaps()
{
    return {
        {"RLE8 run past the row", withColours(bitmapHeader(2, 2, 8, 1, 4), 4), fourColours(), QByteArray::fromHex("03010001")},
        {"RLE8 literal past the row", withColours(bitmapHeader(2, 2, 8, 1, 8), 4), fourColours(), QByteArray::fromHex("0003010203000001")},
        {"RLE8 without its end marker", withColours(bitmapHeader(2, 2, 8, 1, 4), 4), fourColours(), QByteArray::fromHex("02010000")},
        {"RLE8 rows past the top", withColours(bitmapHeader(2, 1, 8, 1, 8), 4), fourColours(), QByteArray::fromHex("0201000002010001")},
        {"RLE8 delta out of the picture", withColours(bitmapHeader(2, 2, 8, 1, 6), 4), fourColours(), QByteArray::fromHex("000205000001")},
        {"RLE8 stream longer than the file", withColours(bitmapHeader(2, 2, 8, 1, 4000), 4), fourColours(), QByteArray::fromHex("02010001")},
        {"RLE top-down", withColours(bitmapHeader(2, -2, 8, 1, 2), 4), fourColours(), QByteArray::fromHex("0001")},
        {"pixels cut short", bitmapHeader(2, 2, 24), {}, QByteArray::fromHex("ff000000ff000000")},
        {"zero width", bitmapHeader(0, 2, 24), {}, QByteArray(16, '\0')},
        {"unknown compression", bitmapHeader(2, 2, 24, 0x41414141), {}, QByteArray(16, '\0')},
        {"bit count 30000", bitmapHeader(2, 2, 30000), {}, QByteArray(16, '\0')},
        {"colour table past the end", bitmapHeader(2, 2, 8), QByteArray(8, '\0'), {}},
        {"a billion pixels", bitmapHeader(40000, 40000, 1), {}, QByteArray(64, '\0')},
        {"bit fields at 24 bits", bitmapHeader(2, 2, 24, 3), QByteArray(12, '\0'), QByteArray(16, '\0')},
    };
}

class DamagedBitmapTest : public PictureLoaderTest, public ::testing::WithParamInterface<BitmapCase> {};

TEST_P(DamagedBitmapTest, IsAnInvalidPicture)
{
    const BitmapCase& c = GetParam();
    const QString path = file("a.bmp", bitmapFile(c.header, c.table, c.pixels));
    EXPECT_EQ(errorNumberOf([&] { LoadPicture(path); }), InvalidPicture);
}

INSTANTIATE_TEST_SUITE_P(Damaged, DamagedBitmapTest, ::testing::ValuesIn(damagedBitmaps()));

TEST_F(PictureLoaderTest, ReadsADibWhoseFileHeaderGivesNoSize)
{
    // As the drawing preview reader writes them: file size 0.
    QByteArray bytes = bitmapFile(bitmapHeader(2, 2, 24), {}, twoByTwoBitmaps()[0].pixels);
    bytes.replace(2, 4, QByteArray(4, '\0'));
    const Picture picture = LoadPicture(file("1234.dib", bytes));
    EXPECT_EQ(picture.image.pixel(0, 0), Red);
}

// ---- the file decides the format; missing and foreign files -------------------

TEST_F(PictureLoaderTest, MissingFileIsFileNotFoundAndAnyOtherFileAnInvalidPicture)
{
    EXPECT_EQ(errorNumberOf([&] { LoadPicture(env.windowsPath("nothing.gif")); }), FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { LoadPicture(file("notes.bmp", "just some text")); }), InvalidPicture);
    EXPECT_EQ(errorNumberOf([&] { LoadPicture(file("empty.jpg", {})); }), InvalidPicture);
    EXPECT_EQ(errorNumberOf([&] { LoadPicture(file("png.gif", QByteArray("\x89PNG\r\n\x1a\n", 8))); }), InvalidPicture);
}

TEST_F(PictureLoaderTest, ContentDecidesTheFormatNotTheName)
{
    const Picture picture = LoadPicture(file("really-a-jpeg.bmp", readData("jpeg/go-video-001.rgb.jpeg")));
    EXPECT_EQ(picture.image.size(), QSize(150, 103));
}

// ---- JPEG orientation -------------------------------------------------------

// The mean difference of two pictures' channels, 0 to 255.
double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

TEST_F(PictureLoaderTest, JpegIsTurnedByItsOrientation)
{
    // The same photograph stored plain and stored mirrored with orientation 2.
    const QImage plain = LoadPicture(sample("jpeg/imaging-orientation_0.jpg")).image;
    const QImage mirrored = LoadPicture(sample("jpeg/imaging-orientation_2.jpg")).image;
    ASSERT_EQ(plain.size(), mirrored.size());
    EXPECT_LT(meanDifference(plain, mirrored), 3);
    EXPECT_GT(meanDifference(plain.mirrored(true, false), mirrored), 20);
}

QByteArray rotatedJpeg(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    writer.write(image);
    return bytes;
}

TEST_F(PictureLoaderTest, ScaledDecodeOfATurnedJpegGivesTheWantedSizeUpright)
{
    QImage stored(400, 200, QImage::Format_RGB32);
    stored.fill(Qt::blue);
    const QString path = file("turned.jpg", rotatedJpeg(stored));
    ASSERT_EQ(LoadPicture(path).image.size(), QSize(200, 400));

    QSize asked;
    const Picture small = LoadPicture(path, [&](QSize own) {
        asked = own;
        return QSize(50, 100);
    });
    EXPECT_EQ(asked, QSize(200, 400));
    EXPECT_EQ(small.image.size(), QSize(50, 100));
    EXPECT_EQ(platform::pixelsFromHimetric(small.sizeHimetric), QSize(50, 100));
}

// ---- metafiles draw their text ------------------------------------------------

int darkPixels(const QImage& image, const QRect& area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 80 && qAlpha(image.pixel(x, y)) > 128;
    return dark;
}

// A folder of thumbnails loads metafile after metafile: each load gives back
// what the renderer took (im-clock.wmf draws a megabyte of pixels).
TEST_F(PictureLoaderTest, MetafilesLeaveNoMemoryBehind)
{
    const QString path = sample("wmf/im-clock.wmf");
    LoadPicture(path);  // fonts and caches made once
    const std::size_t before = mallinfo2().uordblks;
    for (int i = 0; i < 10; ++i)
        LoadPicture(path);
    EXPECT_LT(mallinfo2().uordblks, before + 1024 * 1024);
}

// Without its fonts a metafile's text comes out as nothing at all.
TEST_F(PictureLoaderTest, MetafileTextIsDrawn)
{
    // lo-ETO_PDY.wmf holds nothing but the small text "hi": drawn four times larger.
    const Picture wmf = LoadPicture(sample("wmf/lo-ETO_PDY.wmf"), [](QSize own) { return own * 4; });
    EXPECT_GT(darkPixels(wmf.image, wmf.image.rect()), 5);
    // lo-TestCreatePen.emf: the axis labels "TG /%" and "1000" in its top left
    // corner, at the size of the other labels (not two giant digits).
    const Picture emf = LoadPicture(sample("emf/lo-TestCreatePen.emf"));
    const int labels = darkPixels(emf.image, QRect(0, 0, 60, 75));
    EXPECT_GT(labels, 20);
    EXPECT_LT(labels, 300);
}

// ---- metafiles keep their own size ----------------------------------------

TEST_F(PictureLoaderTest, PlaceableWmfTakesItsSizeFromItsFrame)
{
    // lo-beef.wmf: a frame of 2792 by 2172 units at 1000 units an inch.
    const Picture picture = LoadPicture(sample("wmf/lo-beef.wmf"));
    EXPECT_TRUE(picture.isMetafile);
    EXPECT_NEAR(picture.sizeHimetric.width(), 2792 * 2.54, 0.01);
    EXPECT_NEAR(picture.sizeHimetric.height(), 2172 * 2.54, 0.01);
    EXPECT_EQ(picture.image.size(), QSize(268, 209));
}

TEST_F(PictureLoaderTest, EmfTakesItsSizeFromItsFrame)
{
    const Picture picture = LoadPicture(sample("emf/lo-image1.emf"));
    EXPECT_TRUE(picture.isMetafile);
    EXPECT_EQ(picture.sizeHimetric, QSizeF(31619, 16112));
    EXPECT_EQ(picture.image.size(), platform::pixelsFromHimetric(QSizeF(31619, 16112)));
}

TEST_F(PictureLoaderTest, HugeEmfIsDrawnAtTheCapWithItsProportions)
{
    // A frame of 2.54 m square.
    const Picture picture = LoadPicture(sample("emf/bad-lo-CVE-2016-0168-1.emf"));
    EXPECT_EQ(picture.sizeHimetric, QSizeF(254000, 254000));
    EXPECT_EQ(picture.image.size(), QSize(platform::MaxMetafileRenderSide, platform::MaxMetafileRenderSide));
}

TEST_F(PictureLoaderTest, EmfBoundsWiderThanAnySizeStayWide)
{
    // No frame, and bounds from the least to the greatest 32-bit x: 2^32 pixels wide, 101 high.
    QByteArray bytes = readData("emf/lo-TestCreatePen.emf");
    bytes.replace(8, 32, QByteArray::fromHex("00000080" "00000000" "ffffff7f" "64000000") + QByteArray(16, '\0'));
    const Picture picture = LoadPicture(file("wide.emf", bytes));
    EXPECT_EQ(picture.image.size(), QSize(platform::MaxMetafileRenderSide, 1));
    EXPECT_EQ(platform::pixelsFromHimetric(picture.sizeHimetric).width(), std::numeric_limits<int>::max());
}

struct ScaledDecodeCase {
    const char* sample;
    QSize wanted;
};

void PrintTo(const ScaledDecodeCase& c, std::ostream* out) { *out << c.sample; }

class ScaledDecodeTest : public PictureLoaderTest, public ::testing::WithParamInterface<ScaledDecodeCase> {};

TEST_P(ScaledDecodeTest, GivesThePictureAtTheWantedSize)
{
    const Picture full = LoadPicture(sample(GetParam().sample));
    QSize asked;
    const Picture scaled = LoadPicture(sample(GetParam().sample), [&](QSize own) {
        asked = own;
        return GetParam().wanted;
    });
    EXPECT_EQ(asked, platform::pixelsFromHimetric(full.sizeHimetric));
    EXPECT_EQ(scaled.image.size(), GetParam().wanted);
    EXPECT_EQ(platform::pixelsFromHimetric(scaled.sizeHimetric), GetParam().wanted);
    EXPECT_GT(distinctColours(scaled.image), 1);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, ScaledDecodeTest,
                         ::testing::Values(ScaledDecodeCase{"jpeg/go-video-001.progressive.jpeg", {75, 51}},
                                           ScaledDecodeCase{"gif/go-video-001.gif", {75, 51}},
                                           ScaledDecodeCase{"bmp/jt-vgl_6548_0026a.bmp", {64, 47}},
                                           ScaledDecodeCase{"wmf/im-clock.wmf", {111, 112}},
                                           ScaledDecodeCase{"emf/lo-TestCreatePen.emf", {112, 65}}));

}  // namespace
