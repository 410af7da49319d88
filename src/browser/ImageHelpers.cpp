#include "browser/ImageHelpers.h"

#include "runtime/Numbers.h"

#include <QPainter>
#include <cmath>

using namespace platform;

namespace {

constexpr int FieldGrey = 240;

int halvedDown(int value) { return static_cast<int>(std::floor(value / 2.0)); }

// A side scaled to nothing would make no image: a hairline picture keeps one pixel.
int atLeastOne(std::int64_t side) { return static_cast<int>(std::max<std::int64_t>(side, 1)); }

}  // namespace

BoxFit fitToBox(int width, int height, std::int32_t BoxW, std::int32_t BoxH, float BoxAspect)
{
    const double r1 = static_cast<double>(width) / height;
    const float r2 = static_cast<float>(static_cast<double>(height) / width);
    if (r1 > BoxAspect) {
        const int newHeight = atLeastOne(runtime::roundHalfEven(BoxW / r1));
        return {BoxW, newHeight, 0, halvedDown(BoxH - newHeight)};
    }
    const int newWidth = atLeastOne(runtime::roundHalfEven(BoxH / static_cast<double>(r2)));
    return {newWidth, BoxH, halvedDown(BoxW - newWidth), 0};
}

std::int32_t CaptureBoxToImage(PictureBox& Box, imgdes& img)
{
    Box.setScaleMode(PictureBox::Pixels);
    const auto w = static_cast<int>(runtime::roundHalfEven(Box.ScaleWidth()));
    const auto h = static_cast<int>(runtime::roundHalfEven(Box.ScaleHeight()));
    imgdes captured;
    const int status = allocimage(captured, w, h, 24);
    if (status == imagestatus::Ok) {
        QPainter painter(captured.bitmap);
        Box.drawContents(painter);
    }
    freeimage(img);
    copyimgdes(captured, img);
    return status;
}

std::int16_t FitImageToBox(imgdes& img, std::int32_t BoxW, std::int32_t BoxH, float BoxAspect)
{
    const BoxFit fit = fitToBox(img.endX + 1, img.endY + 1, BoxW, BoxH, BoxAspect);
    imgdes temporary;
    allocimage(temporary, fit.width, fit.height, 24);
    resizeex(img, temporary, 1);
    freeimage(img);
    allocimage(img, BoxW, BoxH, 24);
    zeroimage(FieldGrey, img);

    img.startX = fit.offsetX;
    img.startY = fit.offsetY;
    const int status = copyimage(temporary, img);
    img.startX = 0;
    img.startY = 0;
    freeimage(temporary);
    return static_cast<std::int16_t>(status);
}

std::optional<Picture> ImageToPicture(imgdes& img)
{
    if (!img.bitmap) {
        imgdes made;
        if (dibtoimage(img.header, made) == imagestatus::Ok) {
            freeimage(img);
            copyimgdes(made, img);
        }
    }
    if (!img.bitmap)
        return std::nullopt;
    // A copy of the pixels: the picture outlives the image.
    const QImage pixels = img.bitmap->convertToFormat(QImage::Format_RGB32);
    return Picture{pixels, himetricFromPixels(pixels.size()), false};
}

Picture loadPictureForBox(const QString& path, std::int32_t BoxW, std::int32_t BoxH, float BoxAspect)
{
    return LoadPicture(path, [=](QSize own) {
        if (own.isEmpty())
            return own;
        const BoxFit fit = fitToBox(own.width(), own.height(), BoxW, BoxH, BoxAspect);
        const bool shrinks = fit.width < own.width() && fit.height < own.height();
        return shrinks ? QSize(fit.width, fit.height) : own;
    });
}
