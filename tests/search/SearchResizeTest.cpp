// The search window's resize: the smallest size it keeps, and the hit list's
// columns sharing the width.

#include "platform/Forms.h"
#include "platform/Pump.h"
#include "search/FormStubs.h"
#include "search/HitListModel.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "search/SearchResize.h"
#include "support/TestEnvironment.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>
#include <optional>

using platform::pixelsToTwips;

namespace {

struct ShareCase {
    double scaleWidth, match, size, date;
    std::optional<double> rest;  // R, when the columns get their shares
};

class FolderNameShareTest : public ::testing::TestWithParam<ShareCase> {};

TEST_P(FolderNameShareTest, SplitsTheRest28To72)
{
    const ShareCase& c = GetParam();
    const auto widths = folderNameWidths(c.scaleWidth, c.match, c.size, c.date);
    ASSERT_EQ(widths.has_value(), c.rest.has_value());
    if (c.rest) {
        EXPECT_DOUBLE_EQ(widths->folder, 0.28 * *c.rest);
        EXPECT_DOUBLE_EQ(widths->name, 0.72 * *c.rest);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Widths, FolderNameShareTest,
    ::testing::Values(ShareCase{9570, 750, 900, 1050, 6530},
                      // Each fixed width, then R, is a whole number, halves to the even neighbour.
                      ShareCase{9570, 750.5, 900.5, 1049.5, 6530}, ShareCase{9570, 751.5, 900, 1050, 6528},
                      ShareCase{4040.5, 750, 900, 1050, 1000}, ShareCase{4041.5, 750, 900, 1050, 1002},
                      ShareCase{3040, 750, 900, 1050, 0},
                      // Nothing left beside the fixed columns: Folder and Name keep their widths.
                      ShareCase{3000, 750, 900, 1050, std::nullopt},
                      ShareCase{9570, 750, 900, 9000, std::nullopt}));

class SearchResizeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerStubForms(OpenedWindows);
        env.settings().save(SettingsApp, SettingsSection, "OffLineDrive", "d:");
        platform::Forms::registerForm("SearchForm", [] { return new SearchForm; });
        platform::Forms::get("SearchForm").Show();
    }
    void TearDown() override
    {
        platform::Forms::reset();
        ListSearch = ListSearchModule{};
    }

    // Resizing a shown window arrives as an event.
    void resizeTo(double widthTwips, double heightTwips)
    {
        form().setWidth(widthTwips);
        form().setHeight(heightTwips);
        platform::doEvents();
    }

    TestEnvironment env;
    static SearchForm& form() { return platform::Forms::get<SearchForm>("SearchForm"); }
};

TEST_F(SearchResizeTest, SnapsBackToTheSmallestSize)
{
    resizeTo(6000, 900);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form().Height() == SearchMinHeight; }));
    resizeTo(1200, 4500);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form().Width() == SearchMinWidth; }));
    EXPECT_EQ(form().Height(), 4500);
}

TEST_F(SearchResizeTest, LaysOutTheSearchBoxAndTheHitList)
{
    resizeTo(12000, 7500);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form().Width() == 12000; }));
    const double width = form().ScaleWidth();
    const QHeaderView* header = form().HitList->header();
    const auto column = [&](int section) { return pixelsToTwips(header->sectionSize(section)); };

    EXPECT_EQ(form().SearchStr->width(), platform::twipsToPixels(width - 1080 - 40));
    EXPECT_EQ(form().HitList->width(), form().width());
    EXPECT_EQ(form().HitList->geometry().bottom(), form().height() - 1);
    EXPECT_EQ(column(HitListModel::Volume), 0);
    const double rest = width - column(HitListModel::Match) - column(HitListModel::Size) -
                        column(HitListModel::Date) - 340;
    EXPECT_NEAR(column(HitListModel::Folder), 0.28 * rest, 8);
    EXPECT_NEAR(column(HitListModel::Name), 0.72 * rest, 8);
}

TEST_F(SearchResizeTest, AMinimisedWindowIsLeftAlone)
{
    resizeTo(12000, 7500);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form().Width() == 12000; }));
    const QRect hitList = form().HitList->geometry();
    form().showMinimized();
    resizeTo(1200, 900);
    EXPECT_EQ(form().HitList->geometry(), hitList);
}

}  // namespace
