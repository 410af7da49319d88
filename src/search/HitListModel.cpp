#include "search/HitListModel.h"

#include "runtime/DateTime.h"
#include "runtime/Numbers.h"

#include <QBrush>
#include <array>
#include <iterator>

namespace {

const std::array<QString, HitListModel::ColumnCount> columnTitles = {
    QStringLiteral("Match"), QStringLiteral("Volume"), QStringLiteral("Folder"),
    QStringLiteral("Name"),  QStringLiteral("Size"),   QStringLiteral("Date")};

}  // namespace

// A table model has no children: rows exist only under the invisible root.
int HitListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HitListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HitListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const HitRow& hit = row(index.row());
    switch (role) {
    case Qt::DisplayRole: return text(hit, index.column());
    case Qt::ForegroundRole: return QBrush(hit.colour);
    default: return {};
    }
}

QVariant HitListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return columnTitles[static_cast<std::size_t>(section)];
}

QString HitListModel::text(const HitRow& row, int column)
{
    switch (column) {
    case Match: return runtime::formatNumber(row.match, QStringLiteral("000")) + u'%';
    case Volume: return row.volume;
    case Folder: return row.folder;
    case Name: return row.name;
    case Size:
        return runtime::formatNumber(static_cast<double>(row.size) / 1024 / 1024, QStringLiteral("##0.00")) +
            QStringLiteral("mb");
    default: return runtime::formatDate(row.date, QStringLiteral("mmm, dd yy"));
    }
}

void HitListModel::appendRows(std::vector<HitRow> rows)
{
    if (rows.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    if (rows_.empty())
        rows_ = std::move(rows);
    else
        rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
}

void HitListModel::clear()
{
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    endResetModel();
}
