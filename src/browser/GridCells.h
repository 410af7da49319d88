#pragma once
// Which file each thumbnail cell of the browser's grid shows, and where the
// n-th thumbnail of a run goes.

#include <QString>
#include <array>
#include <vector>

struct GridCell {
    QString Folder;    // the folder the file was read from, normally ending with "\"
    QString FileName;  // the file's name with its extension; "" for a cell that shows nothing
};

// Rows 0 to 2000 of three cells: 6,003 thumbnails. Every access is checked: a
// row or column outside the table raises 9 and nothing is read or written.
class GridCellTable {
public:
    static constexpr int RowCount = 2001;
    static constexpr int ColCount = 3;

    GridCellTable() : cells_(RowCount) {}

    GridCell& operator()(int row, int col);
    const GridCell& operator()(int row, int col) const;
    // Every field an empty string.
    void clear();

private:
    std::vector<std::array<GridCell, ColCount>> cells_;
};

// Where the n-th thumbnail of a run goes (n from 0), three to a row, and the
// grid's row count then: row + 1 once past the third row, else 3.
struct GridPlace {
    int row = 0;
    int col = 0;
    int rows = 3;
};
GridPlace placeOfThumbnail(int n);

// A picture the grid previews: the last four characters of the name, lower
// cased, are ".wmf", ".emf", ".bmp", ".jpg" or ".gif".
bool hasPictureExtension(const QString& name);
