#pragma once
// The rows of the search window's hit list: one plain record per hit, held in
// one vector and shown through a table model, so a million hits cost no widget
// item each. Rows are appended in batches and stay in the order found. A row
// keeps the hit as found; its Match, Size and Date texts are written only when
// the list shows them.

#include "search/ListingSearch.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <vector>

struct HitRow : ListingHit {
    QColor colour;  // the text colour of the whole row
};

class HitListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Match, Volume, Folder, Name, Size, Date, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void appendRows(std::vector<HitRow> rows);
    void clear();
    const HitRow& row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }
    // The text the list shows in a cell: the match as "070%", the size in
    // megabytes as "1.25mb", the date as "Dec, 11 08".
    static QString text(const HitRow& row, int column);

private:
    std::vector<HitRow> rows_;
};
