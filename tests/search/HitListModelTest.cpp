// The hit list's rows: appended in batches, shown in order with their colour,
// cleared, and a million of them without trouble.

#include "search/HitListModel.h"

#include <QBrush>
#include <QSignalSpy>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

HitRow hit(int number, QColor colour)
{
    const QString n = QString::number(number);
    return {{70, "ART", "\\clips\\" + n + "\\", n + ".wmf", 10000, 39793.5}, colour};
}

std::vector<HitRow> hits(int first, int count, QColor colour)
{
    std::vector<HitRow> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = first; i < first + count; ++i)
        rows.push_back(hit(i, colour));
    return rows;
}

TEST(HitListModelTest, RowsStayInTheOrderFoundWithTheirColour)
{
    HitListModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.appendRows(hits(0, 2, Qt::blue));
    model.appendRows({});
    model.appendRows(hits(2, 3, Qt::red));

    EXPECT_EQ(inserted.count(), 2);
    ASSERT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.columnCount(), 6);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);  // no children under a row
    EXPECT_EQ(model.data(model.index(3, HitListModel::Name)).toString(), "3.wmf");
    EXPECT_EQ(model.data(model.index(3, HitListModel::Folder)).toString(), "\\clips\\3\\");
    EXPECT_EQ(model.data(model.index(1, HitListModel::Date), Qt::ForegroundRole).value<QBrush>().color(),
              QColor(0, 0, 255));
    EXPECT_EQ(model.data(model.index(2, HitListModel::Match), Qt::ForegroundRole).value<QBrush>().color(),
              QColor(255, 0, 0));
    QStringList titles;
    for (int column = 0; column < model.columnCount(); ++column)
        titles << model.headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(titles, QStringList({"Match", "Volume", "Folder", "Name", "Size", "Date"}));

    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

// The texts are written when shown, from the hit as found.
struct CellTextCase {
    int match;
    std::int64_t size;
    runtime::Date date;
    QStringList texts;  // Match, Size, Date
};

class HitListCellTexts : public ::testing::TestWithParam<CellTextCase> {};

TEST_P(HitListCellTexts, AreTheMatchSizeAndDateAsTheListShowsThem)
{
    const CellTextCase& c = GetParam();
    const HitRow row{{c.match, "V", "\\F\\", "n.wmf", c.size, c.date}, Qt::red};
    EXPECT_EQ(QStringList({HitListModel::text(row, HitListModel::Match), HitListModel::text(row, HitListModel::Size),
                           HitListModel::text(row, HitListModel::Date)}),
              c.texts);
    EXPECT_EQ(HitListModel::text(row, HitListModel::Volume), "V");
    EXPECT_EQ(HitListModel::text(row, HitListModel::Folder), "\\F\\");
    EXPECT_EQ(HitListModel::text(row, HitListModel::Name), "n.wmf");
}

INSTANTIATE_TEST_SUITE_P(
    Hits, HitListCellTexts,
    ::testing::Values(CellTextCase{5, 0, runtime::ZeroDate, {"005%", "0.00mb", "Dec, 30 99"}},
                      CellTextCase{67, 1048576, 39793.5, {"067%", "1.00mb", "Dec, 11 08"}},
                      CellTextCase{100, 1234567890, 39815, {"100%", "1177.38mb", "Jan, 02 09"}},
                      CellTextCase{71, 5242, 36494.999, {"071%", "0.00mb", "Nov, 30 99"}}));

TEST(HitListModelTest, AMillionRowsShowInAView)
{
    HitListModel model;
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.show();
    for (int batch = 0; batch < 10; ++batch)
        model.appendRows(hits(batch * 100000, 100000, Qt::red));

    ASSERT_EQ(view.model()->rowCount(), 1000000);
    view.scrollToBottom();
    EXPECT_EQ(model.data(model.index(999999, HitListModel::Name)).toString(), "999999.wmf");
    model.clear();
    EXPECT_EQ(view.model()->rowCount(), 0);
}

}  // namespace
