#pragma once
// Shows a picture file in the image preview window (ImgPre), loading the
// window on first use: loads the picture, titles the window "Brisca Image
// Preview: " and the file name, pumps messages once and shows it modeless.
// A failing step is repeated, with message pumping, until it has failed 1000
// times in the call; then "Error:" and the error's description is shown and
// the steps after it do not run (the window keeps its previous picture and
// caption). Other events, another preview among them, can run inside the call.

#include <QString>

// The name the preview window is registered under in Forms.
inline const QString ImgPreFormName = QStringLiteral("ImgPre");

void ShowImagePreview(const QString& path);
