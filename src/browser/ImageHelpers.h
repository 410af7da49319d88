#pragma once
// What a picture box shows, turned into a thumbnail through the image
// library: captured into a 24-bit image, fitted into a fixed box with its
// proportions kept, centred on a light grey field (240, 240, 240), and made
// into a picture that windows and grid cells can show. Every picture made
// here owns a copy of its pixels, so it stays valid after the image is freed.

#include "browser/PictureBox.h"
#include "platform/ImageLibrary.h"
#include "platform/PictureLoader.h"

#include <cstdint>
#include <optional>

// The folder thumbnails: 112 by 170 pixels, with the proportions of the
// scratch box's 1670 by 2540 twips.
inline constexpr std::int32_t ThumbnailWidth = 112;
inline constexpr std::int32_t ThumbnailHeight = 170;
inline constexpr float ThumbnailAspect = 1670.0f / 2540.0f;

// Where a picture of width by height pixels lands in a box: its scaled size,
// touching two opposite sides, and its offsets from the box's top left.
struct BoxFit {
    int width = 0;
    int height = 0;
    int offsetX = 0;
    int offsetY = 0;
};
BoxFit fitToBox(int width, int height, std::int32_t BoxW, std::int32_t BoxH, float BoxAspect);

// Replaces img with a 24-bit capture of the box at its size in pixels (the
// box's scale mode is pixels afterwards). Returns allocimage's status; when
// that fails, img is left empty.
std::int32_t CaptureBoxToImage(PictureBox& Box, platform::imgdes& img);

// Replaces img with a BoxW by BoxH image: img scaled to touch two opposite
// sides of the box, centred on light grey. Returns copyimage's status.
std::int16_t FitImageToBox(platform::imgdes& img, std::int32_t BoxW, std::int32_t BoxH, float BoxAspect);

// A picture of img's bitmap (made from its packed bitmap first when it has
// none); nothing when there is no bitmap to show.
std::optional<platform::Picture> ImageToPicture(platform::imgdes& img);

// Loads a picture for a thumbnail of that box. A picture larger than its
// fitted size is decoded straight at that size (the fitted thumbnail is the
// same, the work far less); a smaller one at its own size.
platform::Picture loadPictureForBox(const QString& path, std::int32_t BoxW, std::int32_t BoxH, float BoxAspect);
