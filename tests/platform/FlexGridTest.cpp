// The picture grid keeps the user's view where it is while code fills it:
// neither a current cell set from code nor rows added or taken away scroll it.

#include "platform/FlexGrid.h"

#include <QScrollBar>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

using platform::FlexGrid;

namespace {

// Places the cells of a run as the thumbnail run does, three to a row.
void fill(FlexGrid& grid, int cells)
{
    for (int n = 0; n < cells; ++n) {
        const int row = n / 3;
        grid.setRows(row > 2 ? row + 1 : 3);
        grid.setRow(row);
        grid.setCol(n % 3);
    }
}

struct ViewCase {
    const char* name;
    std::function<void(FlexGrid&)> change;
};

void PrintTo(const ViewCase& c, std::ostream* os) { *os << c.name; }

class FlexGridViewTest : public ::testing::TestWithParam<ViewCase> {};

TEST_P(FlexGridViewTest, TheViewStaysAtTheTop)
{
    FlexGrid grid;
    grid.resize(360, 360);
    grid.setCols(3);
    grid.setRowHeightMin(2600);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    GetParam().change(grid);
    EXPECT_EQ(grid.verticalScrollBar()->value(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, FlexGridViewTest,
    ::testing::Values(ViewCase{"ARunAddsRows", [](FlexGrid& grid) { fill(grid, 90); }},
                      ViewCase{"TheNextRunTakesTheRowsAway",
                               [](FlexGrid& grid) {
                                   fill(grid, 90);
                                   fill(grid, 4);
                               }}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
