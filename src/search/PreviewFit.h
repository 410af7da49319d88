#pragma once
// The preview window's picture arithmetic, in twips. The picture is scaled to
// the viewing box, keeping its proportions, less a 60-twip margin off both
// computed sides, and then centred; a box of 120 twips or less on either side
// (a minimised window) leaves the shown size alone.

#include <QPoint>
#include <QSize>
#include <QSizeF>
#include <optional>

// The shown size of a picture of `picture` (its own size, in whole hundredths
// of a millimetre) in a viewing box of `box` twips. nullopt: keep the size the
// picture is shown at now (the box is too small, or the picture is empty).
// A side that the margin would make negative is 0.
std::optional<QSizeF> fitPreviewPicture(QSizeF box, QSize picture);

// Where the shown picture's top-left goes so that it is centred in a box
// whose client area is `inner` twips: each difference is rounded to a whole
// number (halves to even) and halved, dropping the remainder toward zero. A
// picture larger than the box gets a negative position.
QPoint centrePreviewPicture(QSizeF inner, QSizeF shown);
