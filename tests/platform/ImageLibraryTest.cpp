// The image library: descriptors, the working area each operation honours,
// scaling, packed bitmaps and JPEG files.

#include "BitmapBytes.h"
#include "platform/ImageLibrary.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// An image of the library filled with one colour; freed at the end of the test.
class Image {
public:
    Image(int width, int height, QColor colour = Qt::black)
    {
        status = allocimage(des, width, height, 24);
        if (status == imagestatus::Ok)
            des.bitmap->fill(colour);
    }
    ~Image() { freeimage(des); }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    QRgb pixel(int x, int y) const { return des.bitmap->pixel(x, y) | 0xFF000000; }

    imgdes des;
    int status;
};

TEST(ImageLibrary, AllocatesA24BitTopDownPackedBitmapWithTheWholeWorkingArea)
{
    Image image(5, 3, Qt::red);
    ASSERT_EQ(image.status, imagestatus::Ok);
    const imgdes& des = image.des;
    EXPECT_EQ(des.startX, 0);
    EXPECT_EQ(des.startY, 0);
    EXPECT_EQ(des.endX, 4);
    EXPECT_EQ(des.endY, 2);
    EXPECT_EQ(des.bufferWidth, 16);  // 15 bytes padded to 4
    EXPECT_EQ(des.imageType, ImageType24Bit);
    EXPECT_EQ(des.header->biWidth, 5);
    EXPECT_EQ(des.header->biHeight, -3);
    EXPECT_EQ(des.header->biBitCount, 24);
    EXPECT_EQ(des.buffer, reinterpret_cast<std::uint8_t*>(des.header + 1));

    // Drawing on the bitmap changes the buffer: blue, green, red bytes.
    QPainter(des.bitmap).fillRect(0, 1, 1, 1, Qt::blue);
    EXPECT_EQ(des.buffer[0], 0x00);
    EXPECT_EQ(des.buffer[2], 0xFF);
    EXPECT_EQ(des.buffer[16], 0xFF);
    EXPECT_EQ(des.buffer[18], 0x00);
}

TEST(ImageLibrary, RefusesSizesAndDepthsItDoesNotMake)
{
    imgdes des;
    EXPECT_EQ(allocimage(des, 10, 10, 8), imagestatus::BadRange);
    EXPECT_EQ(allocimage(des, 0, 10, 24), imagestatus::BadRange);
    EXPECT_EQ(allocimage(des, 10, -1, 24), imagestatus::BadRange);
    EXPECT_EQ(allocimage(des, 100000, 100000, 24), imagestatus::NoMemory);
    EXPECT_EQ(des.header, nullptr);
}

TEST(ImageLibrary, FreeEmptiesTheDescriptorAndACopySharesThePixels)
{
    imgdes original;
    ASSERT_EQ(allocimage(original, 4, 4, 24), imagestatus::Ok);
    imgdes copy;
    copyimgdes(original, copy);
    EXPECT_EQ(copy.buffer, original.buffer);
    EXPECT_EQ(copy.bitmap, original.bitmap);

    freeimage(original);
    EXPECT_EQ(original.header, nullptr);
    EXPECT_EQ(original.bitmap, nullptr);
    freeimage(original);  // already empty: nothing happens
    // The copy describes a freed image: the operations refuse it.
    EXPECT_EQ(zeroimage(0, copy), imagestatus::NoImage);
    freeimage(copy);
}

TEST(ImageLibrary, ZeroImageFillsTheWorkingAreaOnly)
{
    Image image(4, 4, Qt::black);
    image.des.startX = 1;
    image.des.startY = 2;
    image.des.endX = 2;
    ASSERT_EQ(zeroimage(240, image.des), imagestatus::Ok);
    EXPECT_EQ(image.pixel(1, 2), qRgb(240, 240, 240));
    EXPECT_EQ(image.pixel(2, 3), qRgb(240, 240, 240));
    EXPECT_EQ(image.pixel(0, 2), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(3, 3), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(zeroimage(256, image.des), imagestatus::BadRange);
}

TEST(ImageLibrary, CopyImagePlacesTheSourceAtTheDestinationsStartAndClipsToItsArea)
{
    Image source(3, 2, Qt::red);
    Image target(4, 4, Qt::white);
    target.des.startX = 2;
    target.des.startY = 1;
    ASSERT_EQ(copyimage(source.des, target.des), imagestatus::Ok);
    EXPECT_EQ(target.pixel(2, 1), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(3, 2), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(2, 3), qRgb(255, 255, 255));

    target.des.startX = 4;  // a working area outside the image
    EXPECT_EQ(copyimage(source.des, target.des), imagestatus::BadRange);
}

TEST(ImageLibrary, ResizeScalesTheSourceAreaToFillTheDestinationArea)
{
    Image source(2, 2, Qt::blue);
    QPainter(source.des.bitmap).fillRect(0, 0, 1, 2, Qt::red);  // left half red
    Image target(40, 20, Qt::black);
    ASSERT_EQ(resizeex(source.des, target.des, 1), imagestatus::Ok);
    EXPECT_EQ(target.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(39, 19), qRgb(0, 0, 255));
    // Interpolated between the two halves.
    const QRgb middle = target.pixel(20, 10);
    EXPECT_GT(qRed(middle), 0);
    EXPECT_GT(qBlue(middle), 0);

    EXPECT_EQ(resizeex(source.des, target.des, 0), imagestatus::BadRange);
}

TEST(ImageLibrary, DibToImageReadsItsOwnBitmapsAndPackedPaletteBitmaps)
{
    Image original(3, 2, Qt::green);
    QPainter(original.des.bitmap).fillRect(2, 1, 1, 1, Qt::red);
    Image copy(1, 1);
    freeimage(copy.des);
    ASSERT_EQ(dibtoimage(original.des.header, copy.des), imagestatus::Ok);
    EXPECT_NE(copy.des.buffer, original.des.buffer);
    EXPECT_EQ(copy.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(copy.pixel(2, 1), qRgb(255, 0, 0));

    // A bottom-up 8-bit bitmap whose two colours are white and blue.
    QByteArray packed = headerBytes(bitmapHeader(2, 1, 8));
    reinterpret_cast<BitmapInfoHeader*>(packed.data())->biClrUsed = 2;
    packed += QByteArray::fromHex("ffffff00" "ff000000" "01000000");
    Image fromPalette(1, 1);
    freeimage(fromPalette.des);
    ASSERT_EQ(dibtoimage(reinterpret_cast<const BitmapInfoHeader*>(packed.constData()), fromPalette.des), imagestatus::Ok);
    EXPECT_EQ(fromPalette.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(fromPalette.pixel(1, 0), qRgb(255, 255, 255));
}

TEST(ImageLibrary, DibToImageRefusesABadHeaderAndLeavesTheDestination)
{
    Image kept(2, 2);
    const imgdes before = kept.des;
    BitmapInfoHeader header = bitmapHeader(2, 2, 13);
    EXPECT_EQ(dibtoimage(&header, kept.des), imagestatus::BadBitmap);
    EXPECT_EQ(dibtoimage(nullptr, kept.des), imagestatus::BadBitmap);
    EXPECT_EQ(kept.des.header, before.header);
}

TEST(ImageLibrary, SaveJpegWritesTheWorkingArea)
{
    TestEnvironment env;
    Image image(30, 20, QColor(200, 40, 40));
    image.des.endX = 9;
    ASSERT_EQ(savejpgex(env.windowsPath("thumb.jpg"), image.des, 55, 2), imagestatus::Ok);
    QImageReader reader(env.hostPath("thumb.jpg"));
    EXPECT_EQ(reader.format(), "jpeg");
    const QImage saved = reader.read();
    ASSERT_EQ(saved.size(), QSize(10, 20));
    EXPECT_NEAR(qRed(saved.pixel(5, 10)), 200, 8);
    EXPECT_NEAR(qGreen(saved.pixel(5, 10)), 40, 8);
}

TEST(ImageLibrary, SaveJpegReportsWhatItCannotDo)
{
    TestEnvironment env;
    Image image(4, 4);
    EXPECT_EQ(savejpgex(env.windowsPath("no folder/thumb.jpg"), image.des, 55, 2), imagestatus::FileError);
    EXPECT_EQ(savejpgex(env.windowsPath("thumb.jpg"), image.des, 0, 2), imagestatus::BadRange);
    EXPECT_EQ(savejpgex(env.windowsPath("thumb.jpg"), image.des, 55, 1), imagestatus::BadRange);
    imgdes empty;
    EXPECT_EQ(savejpgex(env.windowsPath("thumb.jpg"), empty, 55, 2), imagestatus::NoImage);
    EXPECT_FALSE(QFile::exists(env.hostPath("thumb.jpg")));
}

}  // namespace
