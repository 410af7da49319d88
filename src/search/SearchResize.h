#pragma once
// The search window's resize rules, in twips, apart from any widget.

#include <optional>

// The window is never smaller than this (outer size).
inline constexpr double SearchMinHeight = 1500;
inline constexpr double SearchMinWidth = 3000;

struct FolderNameWidths {
    double folder;
    double name;
};

// The Folder and Name columns share what the client width W leaves beside
// the Match, Size and Date columns: R = W - (their widths, each a whole
// number) - 340, folder 0.28 R, name 0.72 R. When the fixed columns leave
// nothing (R negative), nullopt: Folder and Name keep the widths they have and
// the list scrolls sideways.
std::optional<FolderNameWidths> folderNameWidths(double scaleWidth, double matchWidth,
                                                 double sizeWidth, double dateWidth);
