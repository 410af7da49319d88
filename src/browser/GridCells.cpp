#include "browser/GridCells.h"

#include "runtime/RuntimeError.h"

#include <QStringList>

GridCell& GridCellTable::operator()(int row, int col)
{
    if (row < 0 || row >= RowCount || col < 0 || col >= ColCount)
        runtime::raise(runtime::err::SubscriptOutOfRange);
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

const GridCell& GridCellTable::operator()(int row, int col) const
{
    return const_cast<GridCellTable&>(*this)(row, col);
}

void GridCellTable::clear()
{
    for (auto& row : cells_)
        row.fill(GridCell{});
}

GridPlace placeOfThumbnail(int n)
{
    const int row = n / 3;
    return {row, n % 3, row > 2 ? row + 1 : 3};
}

bool hasPictureExtension(const QString& name)
{
    static const QStringList extensions = {".wmf", ".emf", ".bmp", ".jpg", ".gif"};
    return extensions.contains(name.right(4).toLower());
}
