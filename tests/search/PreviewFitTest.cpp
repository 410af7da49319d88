// The preview window's fit and centring rules, case by case.

#include "search/PreviewFit.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>

namespace {

struct FitCase {
    const char* name;
    QSizeF box;       // twips
    QSize picture;    // hundredths of a millimetre
    std::optional<QSizeF> shown;
};

void PrintTo(const FitCase& c, std::ostream* os) { *os << c.name; }

class PreviewFitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(PreviewFitTest, ScalesToTheBoxLessTheMargin)
{
    const FitCase& c = GetParam();
    const std::optional<QSizeF> shown = fitPreviewPicture(c.box, c.picture);
    ASSERT_EQ(shown.has_value(), c.shown.has_value());
    if (shown) {
        EXPECT_NEAR(shown->width(), c.shown->width(), 1e-6);
        EXPECT_NEAR(shown->height(), c.shown->height(), 1e-6);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, PreviewFitTest,
    ::testing::Values(
        FitCase{"WideBoxWidePictureFitsWidth", {6000, 4500}, {400, 200}, QSizeF(5940, 2940)},
        FitCase{"WideBoxPictureTooHighFitsHeight", {6000, 4500}, {4000, 3500}, QSizeF(4500 * 8.0 / 7 - 60, 4440)},
        FitCase{"TallBoxWidePictureFitsWidth", {3000, 6000}, {300, 200}, QSizeF(2940, 1940)},
        FitCase{"TallBoxTallerPictureFitsHeight", {3000, 4000}, {100, 200}, QSizeF(1940, 3940)},
        FitCase{"TallBoxSameProportionsFitsHeight", {3000, 4500}, {200, 300}, QSizeF(2940, 4440)},
        FitCase{"SquareBoxSameProportionsFitsWidth", {3000, 3000}, {500, 500}, QSizeF(2940, 2940)},
        FitCase{"WideBoxSameProportionsFitsWidth", {6000, 3000}, {200, 100}, QSizeF(5940, 2940)},
        FitCase{"SmallPictureIsEnlarged", {6000, 4500}, {10, 10}, QSizeF(4440, 4440)},
        FitCase{"JustLargeEnoughBox", {121, 121}, {10, 10}, QSizeF(61, 61)},
        FitCase{"NarrowBoxKeepsSize", {120, 5000}, {10, 10}, std::nullopt},
        FitCase{"LowBoxKeepsSize", {5000, 120}, {10, 10}, std::nullopt},
        FitCase{"MinimisedKeepsSize", {0, 0}, {10, 10}, std::nullopt},
        FitCase{"EmptyPictureKeepsSize", {6000, 4500}, {0, 0}, std::nullopt},
        FitCase{"PictureWithoutHeightKeepsSize", {6000, 4500}, {300, 0}, std::nullopt},
        FitCase{"StripTooThinForTheMarginHasNoHeight", {1000, 200}, {1000, 1}, QSizeF(940, 0)}),
    [](const auto& row) { return std::string(row.param.name); });

struct CentreCase {
    const char* name;
    QSizeF inner;
    QSizeF shown;
    QPoint topLeft;
};

void PrintTo(const CentreCase& c, std::ostream* os) { *os << c.name; }

class PreviewCentreTest : public ::testing::TestWithParam<CentreCase> {};

TEST_P(PreviewCentreTest, HalvesTheRoundedDifference)
{
    const CentreCase& c = GetParam();
    EXPECT_EQ(centrePreviewPicture(c.inner, c.shown), c.topLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Differences, PreviewCentreTest,
    ::testing::Values(
        CentreCase{"Smaller", {6000, 4500}, {5940, 2940}, {30, 780}},
        CentreCase{"OddDifferenceDropsTheHalf", {6001, 4501}, {5940, 4440}, {30, 30}},
        CentreCase{"HalfRoundsUpToEven", {6000, 4500}, {5940.5, 4440.5}, {30, 30}},
        CentreCase{"HalfRoundsDownToEven", {6000, 4500}, {5941.5, 4441.5}, {29, 29}},
        CentreCase{"LargerGoesNegative", {1000, 1000}, {1500, 1007}, {-250, -3}},
        CentreCase{"NegativeHalfRoundsToEven", {1000, 1000}, {1002.5, 1003.5}, {-1, -2}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
