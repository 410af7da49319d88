#pragma once
// The browser window's layout rules, in twips.

// The window's outer width; the user changes only its height.
inline constexpr double BrowserWidth = 9720;
// The grid's cells: three columns of thumbnails.
inline constexpr double ThumbnailColWidth = 1730;
inline constexpr double ThumbnailRowHeight = 2600;

// The grid is as high as its rows (each row and its line, 20 twips) when they
// fit above the bottom margin of 380 twips, else down to that margin.
double previewGridHeight(double rowHeightMin, int rows, double clientHeight);
// The hint under the grid stays 250 twips above the bottom.
inline double infoLabelTop(double clientHeight) { return clientHeight - 250; }
