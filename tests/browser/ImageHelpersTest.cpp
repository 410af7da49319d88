// The thumbnail routines: the fit arithmetic, a capture of a picture box,
// the fitted image on its grey field, pictures that outlive their image, and
// the scaled decode that gives the same thumbnail as a full one.

#include "browser/ImageHelpers.h"
#include "platform/BitmapBytes.h"
#include "support/TestEnvironment.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr QRgb Grey = 0xFFF0F0F0;

// A 24-bit picture of one colour.
Picture plainPicture(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return {image, himetricFromPixels(size), false};
}

QRgb pixelOf(const imgdes& img, int x, int y) { return img.bitmap->pixel(x, y) | 0xFF000000; }

// ---- the fit --------------------------------------------------------------------

struct FitCase {
    const char* name;
    QSize picture;
    float aspect;
    BoxFit expected;
};

void PrintTo(const FitCase& c, std::ostream* out) { *out << c.name; }

class FitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTest, PlacesThePictureInTheBox)
{
    const FitCase& c = GetParam();
    const BoxFit fit = fitToBox(c.picture.width(), c.picture.height(), 112, 170, c.aspect);
    EXPECT_EQ(fit.width, c.expected.width);
    EXPECT_EQ(fit.height, c.expected.height);
    EXPECT_EQ(fit.offsetX, c.expected.offsetX);
    EXPECT_EQ(fit.offsetY, c.expected.offsetY);
}

INSTANTIATE_TEST_SUITE_P(
    Thumbnails, FitTest,
    ::testing::Values(FitCase{"wide 300 by 200", {300, 200}, ThumbnailAspect, {112, 75, 0, 47}},
                      FitCase{"square 100 by 100", {100, 100}, ThumbnailAspect, {112, 112, 0, 29}},
                      FitCase{"tall 100 by 300", {100, 300}, ThumbnailAspect, {57, 170, 27, 0}},
                      // 112 / (224 / 149) is 74.5: the half goes to the even 74.
                      FitCase{"height rounded to even", {224, 149}, ThumbnailAspect, {112, 74, 0, 48}},
                      // The ratio 0.5 equals the box ratio given: fitted by height,
                      // even though that box ratio is not the box's own.
                      FitCase{"ratio equal to the box's", {100, 200}, 0.5f, {85, 170, 13, 0}},
                      FitCase{"one pixel high", {300, 1}, ThumbnailAspect, {112, 1, 0, 84}},
                      FitCase{"one pixel wide", {1, 300}, ThumbnailAspect, {1, 170, 55, 0}}));

// ---- capture, fit and picture ---------------------------------------------

class ThumbnailTest : public ::testing::Test {
protected:
    ~ThumbnailTest() override { freeimage(img); }

    // Captures a box showing the picture at its own size, then fits it.
    void thumbnailOf(const Picture& picture)
    {
        box.setAutoSize(true);
        box.setPicture(picture);
        ASSERT_EQ(CaptureBoxToImage(box, img), imagestatus::Ok);
        ASSERT_EQ(FitImageToBox(img, ThumbnailWidth, ThumbnailHeight, ThumbnailAspect), imagestatus::Ok);
    }

    PictureBox box;
    imgdes img;
};

TEST_F(ThumbnailTest, CaptureCopiesWhatTheBoxShowsAndLeavesItInPixels)
{
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(15, 10, 15, 10, Qt::blue);
    box.setPicture({image, himetricFromPixels(image.size()), false});
    box.resize(40, 25);  // larger than the picture: the back colour shows

    ASSERT_EQ(CaptureBoxToImage(box, img), imagestatus::Ok);
    EXPECT_EQ(box.ScaleMode(), PictureBox::Pixels);
    EXPECT_EQ(img.endX, 39);
    EXPECT_EQ(img.endY, 24);
    EXPECT_EQ(pixelOf(img, 0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(pixelOf(img, 29, 19), qRgb(0, 0, 255));
    EXPECT_EQ(pixelOf(img, 35, 5), Grey);
    EXPECT_EQ(pixelOf(img, 5, 22), Grey);
}

// A 32-bit bitmap whose alpha channel is in use: its clear pixels (black
// underneath, as writers leave them) show the box's back colour, not black.
TEST_F(ThumbnailTest, ABitmapsClearPixelsShowTheBoxBehindThem)
{
    platform::BitmapInfoHeader header = bitmapHeader(2, 1, 32, 3);
    header.biSize = 56;  // its red, green, blue and alpha masks follow it
    const QByteArray masks = QByteArray::fromHex("0000ff00" "00ff0000" "ff000000" "000000ff");
    TestEnvironment env;
    env.writeFile("icon.bmp", bitmapFile(header, masks, QByteArray::fromHex("0000ffff" "00000000")));
    box.setAutoSize(true);
    box.setPicture(LoadPicture(env.windowsPath("icon.bmp")));

    ASSERT_EQ(CaptureBoxToImage(box, img), imagestatus::Ok);
    EXPECT_EQ(pixelOf(img, 0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(pixelOf(img, 1, 0), Grey);
}

TEST_F(ThumbnailTest, CaptureReplacesTheImageAndAFailedOneLeavesItEmpty)
{
    thumbnailOf(plainPicture({10, 10}, Qt::red));
    imgdes previous;
    copyimgdes(img, previous);

    box.setAutoSize(false);
    box.resize(0, 0);
    EXPECT_NE(CaptureBoxToImage(box, img), imagestatus::Ok);
    EXPECT_EQ(img.header, nullptr);
    // The previous image was released.
    EXPECT_EQ(zeroimage(0, previous), imagestatus::NoImage);
}

TEST_F(ThumbnailTest, AWidePictureIsCentredVerticallyOnGrey)
{
    thumbnailOf(plainPicture({300, 200}, Qt::red));
    EXPECT_EQ(img.endX + 1, 112);
    EXPECT_EQ(img.endY + 1, 170);
    EXPECT_EQ(img.startX, 0);
    EXPECT_EQ(img.startY, 0);
    for (int x : {0, 111}) {
        EXPECT_EQ(pixelOf(img, x, 46), Grey);
        EXPECT_EQ(pixelOf(img, x, 47), qRgb(255, 0, 0));
        EXPECT_EQ(pixelOf(img, x, 121), qRgb(255, 0, 0));
        EXPECT_EQ(pixelOf(img, x, 122), Grey);
    }
}

TEST_F(ThumbnailTest, ASquarePictureStartsAtRow29)
{
    thumbnailOf(plainPicture({100, 100}, Qt::blue));
    EXPECT_EQ(pixelOf(img, 0, 28), Grey);
    EXPECT_EQ(pixelOf(img, 0, 29), qRgb(0, 0, 255));
    EXPECT_EQ(pixelOf(img, 111, 140), qRgb(0, 0, 255));
    EXPECT_EQ(pixelOf(img, 111, 141), Grey);
}

TEST_F(ThumbnailTest, PicturesOwnTheirPixels)
{
    thumbnailOf(plainPicture({300, 200}, Qt::red));
    const std::optional<Picture> first = ImageToPicture(img);
    const std::optional<Picture> second = ImageToPicture(img);
    ASSERT_TRUE(first && second);
    freeimage(img);
    EXPECT_EQ(first->image.size(), QSize(112, 170));
    EXPECT_EQ(first->image.pixel(0, 0), Grey);
    EXPECT_EQ(first->image.pixel(50, 80), qRgb(255, 0, 0));
    EXPECT_EQ(pixelsFromHimetric(first->sizeHimetric), QSize(112, 170));
    EXPECT_NE(first->image.constBits(), second->image.constBits());
}

TEST_F(ThumbnailTest, AnImageWithoutBitmapIsMadeFromItsPackedBitmap)
{
    imgdes source;
    ASSERT_EQ(allocimage(source, 4, 3, 24), imagestatus::Ok);
    source.bitmap->fill(Qt::green);
    img.header = source.header;  // a packed bitmap only

    const std::optional<Picture> picture = ImageToPicture(img);
    ASSERT_TRUE(picture);
    EXPECT_NE(img.bitmap, nullptr);
    EXPECT_NE(img.header, source.header);
    EXPECT_EQ(picture->image.pixel(3, 2), qRgb(0, 255, 0));
    freeimage(source);
}

TEST_F(ThumbnailTest, AnEmptyImageGivesNoPicture) { EXPECT_FALSE(ImageToPicture(img)); }

// ---- scaled decode gives the same thumbnail -----------------------------------

QByteArray gradientJpeg(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(1, Qt::yellow);
    painter.fillRect(image.rect(), gradient);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(image);
    return bytes;
}

class ScaledThumbnailTest : public ::testing::TestWithParam<QSize> {};

TEST_P(ScaledThumbnailTest, MatchesTheThumbnailOfTheFullPicture)
{
    TestEnvironment env;
    env.writeFile("photo.jpg", gradientJpeg(GetParam()));
    const QString path = env.windowsPath("photo.jpg");

    auto thumbnail = [](const Picture& picture) {
        PictureBox box;
        box.setAutoSize(true);
        box.setPicture(picture);
        imgdes img;
        CaptureBoxToImage(box, img);
        FitImageToBox(img, ThumbnailWidth, ThumbnailHeight, ThumbnailAspect);
        const QImage pixels = ImageToPicture(img)->image;
        freeimage(img);
        return pixels;
    };
    const QImage full = thumbnail(LoadPicture(path));
    const QImage scaled = thumbnail(loadPictureForBox(path, ThumbnailWidth, ThumbnailHeight, ThumbnailAspect));

    ASSERT_EQ(scaled.size(), full.size());
    for (int y = 0; y < full.height(); ++y) {
        for (int x = 0; x < full.width(); ++x) {
            // Same placement: the grey field is exactly where it was.
            ASSERT_EQ(full.pixel(x, y) == Grey, scaled.pixel(x, y) == Grey) << x << "," << y;
            ASSERT_NEAR(qRed(full.pixel(x, y)), qRed(scaled.pixel(x, y)), 24) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScaledThumbnailTest,
                         ::testing::Values(QSize(2000, 1500), QSize(600, 913), QSize(449, 300), QSize(1001, 1523)),
                         [](const ::testing::TestParamInfo<QSize>& size) {
                             return std::to_string(size.param.width()) + "x" + std::to_string(size.param.height());
                         });

}  // namespace
